#include "db/engine.h"
#include "db/odbc/odbc_engine.h"
#include "db/postgres/pg_engine.h"
#include "db/sql_trace.h"
#include "db/sqlite/sqlite_engine.h"
#include "platform/paths.h"

namespace vx::db {

namespace {

std::unique_ptr<Engine> backendFor(const QString& serverSetting, const QString& dataPath) {
    const QString server = serverSetting.trimmed();
    if (server.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        const QString folder = server.mid(7).trimmed();
        return makeSqliteEngine(nativePath(folder.isEmpty() ? dataPath : folder));
    }
    if (server.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
        server.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive))
        return makePostgresEngine(server);
    // "odbc:..." and the suite's SQL Server names; nullptr for a blank or unreadable setting.
    return makeOdbcEngine(server);
}

} // namespace

std::unique_ptr<Engine> engineFor(const QString& serverSetting, const QString& dataPath) {
    return tracedWhenAsked(backendFor(serverSetting, dataPath));
}

} // namespace vx::db
