#include "datapath/clsdatapath.h"

#include "datapath/datapath_dialog.h"
#include "datapath/datapath_internal.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "util/ini_services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

const QString kSection = QStringLiteral("DATABASE");
const QString kBrowseHint = QStringLiteral("Use the Browse method to find a valid path.");
// How often a folder the user asked for is tried before giving up.
constexpr int kCreateAttempts = 2;

// Blanks are the space character only, as the suite's stored texts know them.
QString trimBlanks(const QString& text) {
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

// The number a text begins with (blanks ignored), 0 when it begins with none: "60abc" is 60.
double leadingNumber(const QString& text) {
    QString t = text;
    t.remove(u' ').remove(u'\t');
    qsizetype end = 0;
    if (end < t.size() && (t[end] == u'+' || t[end] == u'-'))
        ++end;
    while (end < t.size() && t[end].isDigit())
        ++end;
    if (end < t.size() && t[end] == u'.')
        for (++end; end < t.size() && t[end].isDigit();)
            ++end;
    bool ok = false;
    const double value = t.left(end).toDouble(&ok);
    return ok ? value : 0.0;
}

// A stored flag: "True"/"False" in any case, or a number (non-zero is true); anything else is
// false.
bool textAsFlag(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const double number = t.toDouble(&ok);
    return ok && number != 0.0;
}

QString flagText(bool flag) {
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}

// A file name as a literal name filter: "[" would otherwise open a character class.
QString literalPattern(const QString& name) {
    QString pattern = name;
    return pattern.replace(u'[', QLatin1String("[[]"));
}

} // namespace

namespace detail {
QString dropOneTrailingSeparator(const QString& path) {
    if (path.size() > 1 && (path.endsWith(u'\\') || path.endsWith(u'/')))
        return path.left(path.size() - 1);
    return path;
}
} // namespace detail

clsDataPath::clsDataPath() : stationLabel_(StationLabelFor(station_, maxStations_)) {}

void clsDataPath::Read(bool bSuppressDefaults, const QString& sAppLabel) {
    if (!sAppLabel.isEmpty())
        appLabel_ = sAppLabel;
    const auto stored = [this](const char* key, const QString& def) {
        return GetSetting(appLabel_, kSection, QLatin1String(key), def);
    };
    if (bSuppressDefaults) {
        const QString network = stored("NETWORK", {});
        network_ = trimBlanks(network).isEmpty() ? false : textAsFlag(network);
        station_ = stored("STATION", {});
        stationPath_ = stored("STATIONPATH", {});
        dataPath_ = trimBlanks(stored("DATAPATH", {}));
        testPath_ = stored("TESTDATA", {});
    } else {
        network_ = textAsFlag(stored("NETWORK", flagText(defaultNetwork_)));
        station_ = stored("STATION", defaultStation_);
        stationPath_ = stored("STATIONPATH", defaultStationPath_);
        dataPath_ = trimBlanks(stored("DATAPATH", defaultDataPath_));
    }
    stationLabel_ = StationLabelFor(station_, maxStations_);
}

bool clsDataPath::Save() {
    bool saved = SaveSetting(appLabel_, kSection, QStringLiteral("NETWORK"), flagText(network_));
    saved = SaveSetting(appLabel_, kSection, QStringLiteral("STATION"), station_) && saved;
    saved = SaveSetting(appLabel_, kSection, QStringLiteral("STATIONPATH"), stationPath_) && saved;
    saved = SaveSetting(appLabel_, kSection, QStringLiteral("DATAPATH"), dataPath_) && saved;
    gIni().WriteData(QStringLiteral("MISCELLANEOUS"), QStringLiteral("Datapath"), dataPath_);
    saved = SaveSetting(appLabel_, kSection, QStringLiteral("TESTDATA"), testPath_) && saved;
    stationLabel_ = StationLabelFor(station_, maxStations_);
    return saved;
}

void clsDataPath::Delete() {
    for (const char* key : {"NETWORK", "STATION", "STATIONPATH", "DATAPATH", "TESTDATA"})
        DeleteSetting(appLabel_, kSection, QLatin1String(key));
}

bool clsDataPath::Validate(bool quiet) {
    const bool network = network_;
    const QString station = station_, stationPath = stationPath_, dataPath = dataPath_;
    valid_ = true;
    QString message, hint;
    const auto fail = [&](const char* key, const QString& m, const QString& h) {
        fieldKey_ = QLatin1String(key);
        message = m;
        hint = h;
    };

    // A station beyond the maximum is corrected, not reported.
    if (leadingNumber(station_) > maxStations_) {
        fieldKey_ = QStringLiteral("STATION");
        station_ = QStringLiteral("1");
    }
    // A path that cannot be a folder of this user's is said so once; only a missing folder may
    // be created.
    const auto checkFolder = [&](const char* key, const QString& path, const QString& label) {
        if (const auto problem = folderProblem(path, label))
            fail(key, problem->first, problem->second);
        else if (!PathOrCreate(path, label))
            fail(key, label + QStringLiteral(" Path Not Found."), kBrowseHint);
    };
    if (stationPathEnabled_)
        checkFolder("STATIONPATH", stationPath_, QStringLiteral("Station"));
    if (message.isEmpty())
        checkFolder("DATAPATH", dataPath_, QStringLiteral("Data"));
    if (message.isEmpty() && stationPathEnabled_ && !supressFileCheck_ &&
        !FileInFolder(stationPath_, QStringLiteral("STA") + station_ + QStringLiteral(".JOV")))
        fail("STATIONPATH",
             QStringLiteral("Station ") + station_ + QStringLiteral(" not in Station Path."),
             QStringLiteral("Select another Station or change the Station Path."));
    if (message.isEmpty() && !checkFile_.isEmpty() && !supressFileCheck_ &&
        !FileInFolder(dataPath_, checkFile_))
        fail("DATAPATH", QStringLiteral("Primary Data File Not Found."),
             QStringLiteral("There is no '") + checkFile_ +
                 QStringLiteral("' file in the specified data path."));

    if (!message.isEmpty()) {
        valid_ = false;
        if (!quiet)
            ShowValidationMessage(message, hint);
        network_ = network;
        station_ = station;
        stationPath_ = stationPath;
        dataPath_ = dataPath;
    }
    return valid_;
}

bool clsDataPath::gfb_FileExists(const QString& sFile) const {
    return fileExists(nativePath(sFile));
}

bool clsDataPath::gfbJOV_DataPath_open(bool bStationPathEnabled, int iMaxStations,
                                       const QString& sAltDefaultPath, bool bStationNumberEnabled) {
    return detail::runDataPathOpener(
        *this, detail::OpenerForm::Object,
        {bStationPathEnabled, iMaxStations, sAltDefaultPath, bStationNumberEnabled});
}

bool clsDataPath::gfbJOV_DataPath_change(bool bCreatePath) {
    const QString station = station_, stationPath = stationPath_, dataPath = dataPath_;
    appLabel_ = kJovSettings;
    createPath_ = bCreatePath;
    showDataPathDialog(*this);
    return station_ != station || stationPath_ != stationPath || dataPath_ != dataPath;
}

QString clsDataPath::StationLabelFor(const QString& station, qint16 maximum) {
    return QStringLiteral("Station ") + station + QStringLiteral(" of ") + QString::number(maximum);
}

bool clsDataPath::FileInFolder(const QString& folder, const QString& file) {
    QString f = folder;
    if (!f.endsWith(u'\\') && !f.endsWith(u'/'))
        f += u'\\';
    const QFileInfo full(nativePath(f + file));
    const QString name = full.fileName();
    const QDir dir(full.path());
    const QStringList filters =
        name.isEmpty() ? QStringList{QStringLiteral("*")} : QStringList{literalPattern(name)};
    // Name filters match without regard to case, as the suite's file names always have.
    return !dir.entryList(filters, QDir::Files).isEmpty();
}

std::optional<std::pair<QString, QString>> clsDataPath::folderProblem(const QString& path,
                                                                      const QString& label) {
    const QString native = nativePath(path);
    if (trimBlanks(path).isEmpty())
        return std::nullopt;
    const QString notFound = label + QStringLiteral(" Path Not Found.");
    // A relative path would name a different folder depending on where the program started.
    if (!QDir::isAbsolutePath(native))
        return std::pair{notFound, QStringLiteral("\"") + path +
                                       QStringLiteral("\" is not a full path: a path starts "
                                                      "with / or with C:\\.")};
    const QFileInfo info(native);
    if (info.exists() && !info.isDir())
        return std::pair{notFound, path + QStringLiteral(" is a file, not a folder.")};
    if (info.isDir() && ::access(QFile::encodeName(native).constData(), R_OK | W_OK | X_OK) != 0)
        return std::pair{label + QStringLiteral(" Path cannot be used."),
                         QStringLiteral("You may not read and write in ") + path +
                             QStringLiteral(". Ask whoever looks after this computer for the "
                                            "right, or choose another path.")};
    return std::nullopt;
}

bool clsDataPath::PathOrCreate(const QString& path, const QString& label) {
    if (dirExists(nativePath(path)))
        return true;
    return createPath_ && PromptCreatePath(path, label);
}

bool clsDataPath::PromptCreatePath(const QString& path, const QString& label) {
    const QString question = path + u'\r' + label + QStringLiteral(" Path Does Not Exist") + u'\r' +
                             QStringLiteral("Do you want to create it?");
    if (MsgBox(question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    const QByteArray folder = QFile::encodeName(nativePath(detail::dropOneTrailingSeparator(path)));
    for (int attempt = 1;; ++attempt) {
        if (::mkdir(folder.constData(), 0777) == 0)
            return true;
        const QString error = QString::fromLocal8Bit(std::strerror(errno));
        MsgBox(QStringLiteral("Unable To Create Path") + u'\r' + error, MsgButtons::Ok,
               MsgIcon::Critical);
        if (attempt == kCreateAttempts)
            return false;
    }
}

void clsDataPath::ShowValidationMessage(const QString& message, const QString& hint) {
    MsgBox(message + QStringLiteral("\r\r") + hint, MsgButtons::Ok, MsgIcon::Information,
           QStringLiteral("Validation"));
}

namespace {
std::unique_ptr<clsDataPath>& dataPathSlot() {
    static std::unique_ptr<clsDataPath> slot;
    return slot;
}
} // namespace

clsDataPath& gDataPath() {
    auto& slot = dataPathSlot();
    if (!slot)
        slot = std::make_unique<clsDataPath>();
    return *slot;
}

void resetDataPath() {
    dataPathSlot() = std::make_unique<clsDataPath>();
}

void gpDataPathRead() {
    gDataPath().Read(false, kJovSettings);
}

} // namespace vx
