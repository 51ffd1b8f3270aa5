#include "fuzz/fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace vx::fuzz {

QString setUpOnce() {
    static QuietMessages quiet;
    static QTemporaryDir dir;
    static const QString root = [] {
        setMessageService(&quiet);
        const QString r = dir.path();
        for (const char* sub : {"home/.config", "program"})
            QDir().mkpath(r + u'/' + QLatin1String(sub));
        qputenv("HOME", (r + QStringLiteral("/home")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (r + QStringLiteral("/home/.config")).toUtf8());
        qputenv("JOV_PROGRAM_DIR", (r + QStringLiteral("/program")).toUtf8());
        return r;
    }();
    return root;
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}

} // namespace vx::fuzz
