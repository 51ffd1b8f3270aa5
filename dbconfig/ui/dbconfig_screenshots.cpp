// Pictures of the configuration window for a look at how it appears: the embedded engine, a
// PostgreSQL server filled in, and the same after a failed connection test. Everything it shows
// lives in a throw-away home folder; the failed test knocks on local port 1, where no server
// listens.
//
//   dbconfig-screenshots FOLDER   (runs without a display: QT_QPA_PLATFORM=offscreen)
#include "dbconfig/connection_check.h"
#include "dbconfig/ui/frm_db_config.h"
#include "platform/settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

bool save(QWidget& window, const QString& path) {
    window.show();
    QApplication::processEvents();
    const bool ok = window.grab().save(path);
    window.hide();
    std::fprintf(ok ? stdout : stderr, ok ? "%s\n" : "cannot write %s\n", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dbconfig-screenshots FOLDER\n");
        return 3;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    QTemporaryDir root;
    const QString home = root.path() + QStringLiteral("/home/ann");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    QDir().mkpath(home + QStringLiteral("/TK"));
    vx::SaveSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"),
                    QStringLiteral("DATAPATH"), QStringLiteral("C:\\TK"));
    bool ok = true;

    vx::frmDBConfig embedded(vx::presentDbConfig(), vx::stationDataPath());
    ok &= save(embedded, out.filePath(QStringLiteral("dbconfig-embedded.png")));

    const vx::DbConfig server{QStringLiteral("postgresql://127.0.0.1:1"), QStringLiteral("Shop"),
                              QStringLiteral("clerk"), QStringLiteral("not-shown")};
    vx::frmDBConfig postgres(server, vx::stationDataPath());
    ok &= save(postgres, out.filePath(QStringLiteral("dbconfig-postgresql.png")));

    postgres.cmdTest_Click();
    ok &= save(postgres, out.filePath(QStringLiteral("dbconfig-failed-test.png")));
    return ok ? 0 : 1;
}
