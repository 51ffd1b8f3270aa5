// Pictures of the configuration window for a look at how it appears: the embedded engine, a
// PostgreSQL server filled in, the same after a failed connection test, a SQL Server after a
// failed test and an ODBC connection string. Everything it shows lives in a throw-away home
// folder; the failed tests knock on local port 1, where no server listens.
//
//   dbconfig-screenshots FOLDER   (runs without a display: QT_QPA_PLATFORM=offscreen)
#include "dbconfig/connection_check.h"
#include "dbconfig/ui/frm_db_config.h"
#include "platform/settings.h"
#include "util/ui/screenshot_tool.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    vx::ScreenshotTool tool("dbconfig-screenshots");
    QApplication app(argc, argv);
    if (!tool.start(argc, argv))
        return 3;
    const QString home = tool.makeHome();
    QDir().mkpath(home + QStringLiteral("/TK"));
    vx::SaveSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"),
                    QStringLiteral("DATAPATH"), QStringLiteral("C:\\TK"));
    bool ok = true;

    vx::frmDBConfig embedded(vx::presentDbConfig(), vx::stationDataPath());
    ok &= tool.save(embedded, QStringLiteral("dbconfig-embedded.png"));

    const vx::DbConfig server{QStringLiteral("postgresql://127.0.0.1:1"), QStringLiteral("Shop"),
                              QStringLiteral("clerk"), QStringLiteral("not-shown")};
    vx::frmDBConfig postgres(server, vx::stationDataPath());
    ok &= tool.save(postgres, QStringLiteral("dbconfig-postgresql.png"));

    postgres.cmdTest_Click();
    ok &= tool.save(postgres, QStringLiteral("dbconfig-failed-test.png"));

    const vx::DbConfig sqlServer{QStringLiteral("127.0.0.1,1"), QStringLiteral("JOV"),
                                 QStringLiteral("sa"), QStringLiteral("not-shown")};
    vx::frmDBConfig sql(sqlServer, vx::stationDataPath());
    sql.cmdTest_Click();
    ok &= tool.save(sql, QStringLiteral("dbconfig-sqlserver.png"));

    const vx::DbConfig source{
        QStringLiteral("odbc:Driver={PostgreSQL Unicode};Servername=db.example;Port=5432"),
        QStringLiteral("JOV"), QStringLiteral("clerk"), QStringLiteral("not-shown")};
    vx::frmDBConfig odbc(source, vx::stationDataPath());
    ok &= tool.save(odbc, QStringLiteral("dbconfig-odbc.png"));
    return ok ? 0 : 1;
}
