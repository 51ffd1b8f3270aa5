#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <unistd.h>

namespace vx {

namespace {
// An installed program's executable lies under /usr (/usr/bin, /usr/local/bin).
bool isInstalled(const QString& exe) {
    return exe.startsWith(QLatin1String("/usr/"));
}

QString exePath() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? QString::fromLocal8Bit(buf, n) : QString();
}

QString dropTrailingBlanksAndDots(QString path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    while (path.size() > slash + 1 && (path.back() == u' ' || path.back() == u'.')) {
        // "." and ".." are folder names, not a name with a trailing dot.
        const QString last = path.mid(slash + 1);
        if (last == QLatin1String(".") || last == QLatin1String(".."))
            break;
        path.chop(1);
    }
    return path;
}
// A path the suite wrote on Windows, where names do not differ by case: when it does not exist
// as written, each missing folder name is looked for ignoring case ("c:\tk" finds ~/TK). File
// names keep their case, and so does the rest of the path from the first name not found.
QString matchingCase(const QString& path) {
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const QStringList names = path.split(u'/');
    QStringList found; // the names of the path so far, as they exist
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& name = names[i];
        const QString folder = found.join(u'/');
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
            QFileInfo::exists(folder + u'/' + name)) {
            found << name;
            continue;
        }
        const QStringList folders =
            QDir(i == 0 ? QStringLiteral(".") : folder + u'/')
                .entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        const auto match = std::find_if(folders.begin(), folders.end(), [&](const QString& f) {
            return f.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (match == folders.end())
            return (found + names.mid(i)).join(u'/');
        found << *match;
    }
    return found.join(u'/');
}

} // namespace

QString programDir() {
    const QString env = qEnvironmentVariable("JOV_PROGRAM_DIR");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    return programDirOf(exePath());
}

QString programDirOf(const QString& exe) {
    if (!isInstalled(exe))
        return QFileInfo(exe).absolutePath();
    // A relative XDG_DATA_HOME is to be ignored, as the base directory rules say.
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data))
        data = homeDir() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/jov"));
}

QString shippedFilesDirOf(const QString& exe) {
    if (!isInstalled(exe))
        return QString();
    return QDir::cleanPath(QFileInfo(exe).absolutePath() +
                           QStringLiteral("/../share/vantrex-report"));
}

bool prepareProgramDir(const QString& folder, const QString& shipped, QString* error) {
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("The program folder ") + folder +
                     QStringLiteral(" could not be created.");
        return false;
    }
    if (shipped.isEmpty())
        return true;
    const QDir from(shipped);
    for (const QString& name : from.entryList(QDir::Files)) {
        const QString target = folder + u'/' + name;
        if (!QFileInfo::exists(target))
            QFile::copy(from.filePath(name), target); // a copy that fails is missed as before
    }
    return true;
}

bool prepareProgramDir(QString* error) {
    return prepareProgramDir(programDir(), shippedFilesDirOf(exePath()), error);
}

QString executableName() {
    return QFileInfo(exePath()).fileName();
}

QString computerName() {
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0)
        return QString();
    return QString::fromLocal8Bit(buf);
}

QString homeDir() {
    const QString home = qEnvironmentVariable("HOME");
    return home.isEmpty() ? QDir::homePath() : QDir::cleanPath(home);
}

QString nativePath(const QString& path) {
    QString p = path;
    static const QRegularExpression drive(QStringLiteral("^[cC]:([\\\\/]|$)"));
    const auto m = drive.match(p);
    if (m.hasMatch())
        p = homeDir() + (m.capturedLength(1) ? QStringLiteral("/") : QString()) +
            p.mid(m.capturedLength());
    const bool windows = m.hasMatch() || p.contains(u'\\');
    p.replace(u'\\', u'/');
    p = dropTrailingBlanksAndDots(p);
    return windows ? matchingCase(p) : p;
}

QString joinPath(const QString& folder, const QString& name) {
    QString f = folder;
    if (f.endsWith(u'/') && f.size() > 1)
        f.chop(1);
    return dropTrailingBlanksAndDots(f + u'/' + name);
}

bool dirExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool fileExists(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && !info.isDir();
}

} // namespace vx
