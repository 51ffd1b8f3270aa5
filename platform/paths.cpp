#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <climits>
#include <unistd.h>

namespace vx {

namespace {
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
} // namespace

QString programDir() {
    const QString env = qEnvironmentVariable("JOV_PROGRAM_DIR");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    return QFileInfo(exePath()).absolutePath();
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
    if (const auto m = drive.match(p); m.hasMatch())
        p = homeDir() + (m.capturedLength(1) ? QStringLiteral("/") : QString()) +
            p.mid(m.capturedLength());
    p.replace(u'\\', u'/');
    return dropTrailingBlanksAndDots(p);
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
