#include "util/ini_services.h"

#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/profile.h"

#include <exception>
#include <new>

namespace vx {

namespace {

using profile::OptText;

std::function<void()>& faultHook() {
    static std::function<void()> hook;
    return hook;
}

// Every profile access of the class goes through these two, so a test can make one fail. Paths
// written the Windows way reach the profile engine as paths of this machine.
int readProfile(const OptText& section, const OptText& key, const QString& def, QString& buffer,
                const QString& file) {
    if (faultHook())
        faultHook()();
    buffer.fill(QChar(0), clsINI_Services::kBufferSize);
    return profile::getString(section, key, def, buffer, clsINI_Services::kBufferSize,
                              nativePath(file));
}

bool writeProfile(const OptText& section, const OptText& key, const OptText& value,
                  const QString& file) {
    if (faultHook())
        faultHook()();
    return profile::writeString(section, key, value, nativePath(file));
}

// The text a read left in the buffer: nothing when no character was copied, else everything up
// to the first NUL.
QString bufferText(const QString& buffer, int copied) {
    if (copied <= 0)
        return QString();
    const qsizetype nul = buffer.indexOf(QChar(0));
    return nul < 0 ? buffer : buffer.left(nul);
}

bool sameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct ErrorInfo {
    int number;
    QString description;
};

// Number and description of the error being handled; only to be called inside a catch block.
ErrorInfo currentError() {
    try {
        throw;
    } catch (const detail::IniRuntimeError& e) {
        return {e.number, e.description};
    } catch (const std::bad_alloc&) {
        return {7, QStringLiteral("Out of memory")};
    } catch (const std::exception& e) {
        return {51, QString::fromLocal8Bit(e.what())};
    } catch (...) {
        return {51, QStringLiteral("Internal error")};
    }
}

// Reports the error being handled in the "INI Class" box with the operation's label.
void reportError(const QString& label) {
    const ErrorInfo e = currentError();
    ShowIniError(e.number, e.description, label);
}

// Appends a search hit: the first one replaces the empty element 0.
void addHit(QStringList& hits, bool& any, const QString& hit) {
    if (any)
        hits.append(hit);
    else
        hits[0] = hit;
    any = true;
}

} // namespace

namespace detail {
void setIniFaultHook(std::function<void()> hook) {
    faultHook() = std::move(hook);
}
} // namespace detail

void clsINI_Services::File_Name(const QString& path) {
    file_ = Checkexist(path);
}

// The probe deletes the section with the empty name: a request that leaves any usable file as
// it is and fails for a file that is missing, unreadable or unwritable, or a folder.
QString clsINI_Services::Checkexist(const QString& path) {
    fileOpen_ = true;
    try {
        if (!writeProfile(QString(), std::nullopt, std::nullopt, path)) {
            fileOpen_ = false;
            return QString();
        }
        return path;
    } catch (...) {
        // The check did not succeed, so the object must not write through the empty path.
        fileOpen_ = false;
        const ErrorInfo e = currentError();
        if (e.number != 52) // bad file name: no message
            ShowIniError(e.number, e.description + QStringLiteral("Checkexist"), QString());
        return QString();
    }
}

bool clsINI_Services::WriteData(const QString& section, const QString& key, const QString& value) {
    if (!fileOpen_)
        return false;
    const auto lineBreak = [](const QString& t) { return t.contains(u'\n') || t.contains(u'\r'); };
    if (lineBreak(section) || lineBreak(key) || lineBreak(value)) {
        // It would add lines, even sections, to the file.
        MsgBox(QStringLiteral("\"%1\" was not written to %2: the value holds a line break, "
                              "which an INI file cannot keep.")
                   .arg(key, file_),
               MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("INI Class"));
        return false;
    }
    bool done = false;
    try {
        done = writeProfile(section, key, value, file_);
    } catch (...) {
        reportError(QStringLiteral("Write Date Class INI"));
    }
    return done;
}

bool clsINI_Services::DeleteData(const QString& section, const std::optional<QString>& key,
                                 const std::optional<QString>& value) {
    if (!fileOpen_)
        return false;
    bool done = false;
    try {
        done = writeProfile(section, key, value, file_);
    } catch (...) {
        reportError(QStringLiteral("Delete Data Class INI"));
    }
    return done;
}

// Walks the NUL-separated list the profile read leaves in the buffer. Characters 1 to n - 1 are
// taken: the n-th is the terminator of the last name. A character 0 starts the next name.
QStringList clsINI_Services::nameList(const std::optional<QString>& section) {
    QString buffer;
    const int n = readProfile(section, std::nullopt, QString(), buffer, file_);
    QStringList names{QString()};
    for (int i = 0; i < n - 1; ++i) {
        if (buffer[i] == QChar(0))
            names.append(QString());
        else
            names.last() += buffer[i];
    }
    return names;
}

QString clsINI_Services::readValue(const QString& section, const QString& key, const QString& def,
                                   QString& buffer) {
    const int n = readProfile(section, key, def, buffer, file_);
    return bufferText(buffer, n);
}

QStringList clsINI_Services::GetAllSections() {
    if (!fileOpen_)
        return {};
    QStringList names{QString()};
    try {
        names = nameList(std::nullopt);
    } catch (...) {
        reportError(QStringLiteral("GetAllSections Class INI "));
    }
    return names;
}

QStringList clsINI_Services::GetAllKeysInSection(const QString& section) {
    if (!fileOpen_)
        return {};
    QStringList names{QString()};
    try {
        names = nameList(section);
    } catch (...) {
        reportError(QStringLiteral("KeysIn Section Class INI"));
    }
    return names;
}

QList<std::array<QString, 2>> clsINI_Services::GetAllKeysValuesInSection(const QString& section) {
    QList<std::array<QString, 2>> rows;
    if (!fileOpen_)
        return rows;
    try {
        const QStringList keys = nameList(section);
        for (const QString& key : keys)
            rows.append({key, QString()});
        QString buffer;
        for (qsizetype i = 0; i < keys.size(); ++i)
            rows[i][1] = readValue(section, keys[i], QString(), buffer);
    } catch (...) {
        reportError(QStringLiteral("Get All KeyValues Class INI"));
    }
    return rows;
}

QString clsINI_Services::getvalue(const QString& section, const QString& key, const QString& def) {
    QString value;
    try {
        QString buffer;
        value = readValue(section, key, def, buffer);
    } catch (...) {
        reportError(QStringLiteral("Get Value Class ini"));
    }
    return value;
}

QStringList clsINI_Services::FindKeyInFile(const QString& key) {
    if (!fileOpen_)
        return {};
    QStringList hits{QString()};
    bool any = false;
    try {
        for (const QString& section : nameList(std::nullopt)) {
            for (const QString& name : nameList(section)) {
                if (sameText(name, key)) {
                    addHit(hits, any, section);
                    break;
                }
            }
        }
    } catch (...) {
        reportError(QStringLiteral("Find Key IN File Class ini"));
    }
    return hits;
}

bool clsINI_Services::FindKeyInSection(const QString& section, const QString& key) {
    if (!fileOpen_)
        return false;
    try {
        for (const QString& name : nameList(section))
            if (sameText(name, key))
                return true;
    } catch (...) {
        reportError(QStringLiteral("Find Key In Section Class INI"));
    }
    return false;
}

QStringList clsINI_Services::FindValueInSection(const QString& section, const QString& value) {
    if (!fileOpen_)
        return {};
    QStringList hits{QString()};
    bool any = false;
    try {
        const QStringList keys = nameList(section);
        QString buffer;
        for (const QString& key : keys)
            if (sameText(readValue(section, key, QString(), buffer), value))
                addHit(hits, any, key);
    } catch (...) {
        reportError(QStringLiteral("Find Value in Section"));
    }
    return hits;
}

// Section by section through the public search, which reports its own errors.
QStringList clsINI_Services::FindValueInFile(const QString& value) {
    if (!fileOpen_)
        return {};
    QStringList hits{QString()};
    bool any = false;
    for (const QString& section : GetAllSections())
        for (const QString& key : FindValueInSection(section, value))
            if (!key.isEmpty())
                addHit(hits, any, section + u'|' + key);
    return hits;
}

bool clsINI_Services::RenameSection(const QString& section, const QString& newSection) {
    if (!fileOpen_)
        return false;
    try {
        const QList<std::array<QString, 2>> pairs = GetAllKeysValuesInSection(section);
        if (!DeleteData(section))
            return false;
        const bool noKeys = pairs.size() <= 1 && (pairs.isEmpty() || pairs[0][0].isEmpty());
        if (noKeys) {
            // A section exists only with a key in it: write one and take it out again.
            const QString dummy = QStringLiteral("dummy");
            WriteData(newSection, dummy, QString());
            DeleteData(newSection, dummy);
        } else {
            for (const auto& [key, value] : pairs)
                WriteData(newSection, key, value);
        }
        return true;
    } catch (...) {
        reportError(QString());
    }
    return false;
}

bool clsINI_Services::RenameKey(const QString& section, const QString& key, const QString& newKey) {
    if (!fileOpen_)
        return false;
    bool deleted = false;
    try {
        const QString value = getvalue(section, key);
        deleted = DeleteData(section, key);
        if (deleted)
            WriteData(section, newKey, value);
    } catch (...) {
        reportError(QString());
    }
    return deleted;
}

QString gsIniErrorText(int number, const QString& text1, const QString& text2) {
    QString text = QStringLiteral("Error Number: ") + QString::number(number) + u'\r' + text1;
    if (!text2.isEmpty())
        text += QStringLiteral("\r\r") + text2;
    return text;
}

void ShowIniError(int number, const QString& text1, const QString& text2) {
    MsgBox(gsIniErrorText(number, text1, text2), MsgButtons::Ok, MsgIcon::Critical,
           QStringLiteral("INI Class"));
}

clsINI_Services& gIni() {
    static clsINI_Services ini;
    return ini;
}

void resetIni() {
    gIni() = clsINI_Services{};
}

} // namespace vx
