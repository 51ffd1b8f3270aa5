#include "sample/store_setup.h"

#include "datapath/clsdatapath.h"
#include "db/odbc/odbc_login.h"
#include "db/operations.h"
#include "db/state.h"
#include "platform/err.h"
#include "platform/textfile.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/dispatch.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <utility>

namespace vx::sample {

QString startStoreDataPath(const QString& dataPath, QString* error) {
    const QString path = QDir(dataPath).absolutePath();
    if (!QDir().mkpath(path)) {
        *error = path + QStringLiteral(" cannot be created.");
        return {};
    }
    resetRunState();
    resetDataPath();
    gDataPath().setDataPath(path);
    return path;
}

QString writeStoreIniFiles(const QString& dataPath, const QString& company) {
    const std::pair<const char*, QStringList> files[] = {
        {"JOV.INI",
         {QStringLiteral("[DAILY REPORTS]"),
          QStringLiteral("Show Store Number for Store 1 on Reports=No")}},
        {"WINREGS.INI", {QStringLiteral("[JOVURM]"), QStringLiteral("Company=") + company}},
    };
    for (const auto& [name, lines] : files) {
        QString why;
        if (!writeLines(QDir(dataPath).filePath(QLatin1String(name)), lines, &why))
            return why;
    }
    return QString();
}

QString createStoreDatabase(const db::Login& login, const QString& dataPath, bool replace,
                            QString* location) {
    const QString server = login.server.trimmed();
    if (server.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        const QString folder = server.mid(7).trimmed();
        *location = QDir(folder.isEmpty() ? dataPath : folder)
                        .absoluteFilePath(login.database + QStringLiteral(".sqlite"));
    } else {
        const auto odbc = db::odbc::parseOdbcServer(server);
        *location = QStringLiteral("the database %1 on %2")
                        .arg(login.database, odbc ? db::odbc::shownAddress(*odbc) : server);
    }
    const auto engine = db::engineFor(server, dataPath);
    if (!engine)
        return server + QStringLiteral(" is no database server this program reaches.");
    const auto host = engine->server();
    if (host->connect(login) != 1)
        return host->lastError().description;
    if (host->createDatabase(login.database, replace))
        return {};
    QString why = host->lastError().description;
    if (!replace && why.contains(QLatin1String("already exists"))) {
        if (why.endsWith(u'.'))
            why.chop(1);
        why += QStringLiteral(" (use --replace to replace it).");
    }
    return why;
}

bool insertStoreCompany(const QString& name, int storeNumber, QString* error) {
    tables::CommonRec& c = tables::common();
    c = tables::CommonRec{};
    c.DupID = QStringLiteral("1");
    c.Cname = name;
    c.StoreNumber = static_cast<std::int16_t>(storeNumber);
    c.USEurope = QStringLiteral(" ");
    // A SMALLINT column kept as text: its first character is written as it is, so it needs one.
    c.FullBackTime = QStringLiteral("0");
    Err().Clear();
    if (db::gfbDB_Operation(tables::kCommon, db::kOpInsert, 0))
        return true;
    if (error)
        *error = QStringLiteral("The company record cannot be added: ") + Err().Description;
    return false;
}

QString openStoreTables() {
    db::resetDbState();
    Err().Clear();
    if (!tables::gfbOpenReportTables())
        return QStringLiteral("The tables cannot be opened: ") + Err().Description;
    return QString();
}

} // namespace vx::sample
