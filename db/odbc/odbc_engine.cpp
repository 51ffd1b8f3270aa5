#include "db/odbc/odbc_engine.h"

#include "db/backend_support.h"
#include "db/odbc/odbc_internal.h"
#include "db/server_watch.h"
#include "platform/paths.h"

#include <array>

namespace vx::db {
namespace {

using namespace odbc;

// The names of a query's first column.
std::optional<QStringList> firstColumn(SQLHDBC dbc, const QString& sql, DbError& error,
                                       const QString& server) {
    const ServerWait wait;
    const Handle stmt = newStatement(dbc, error);
    if (!stmt)
        return std::nullopt;
    if (!succeeded(SQLExecDirectW(stmt.get(), const_cast<SQLWCHAR*>(wide(sql)), SQL_NTS))) {
        error = callError(SQL_HANDLE_STMT, stmt.get(), dbc, server);
        return std::nullopt;
    }
    QStringList out;
    std::array<SQLWCHAR, 512> text{};
    while (succeeded(SQLFetch(stmt.get()))) {
        SQLLEN length = 0;
        if (succeeded(SQLGetData(stmt.get(), 1, SQL_C_WCHAR, text.data(), sizeof(text), &length)) &&
            length >= 0)
            out << fromWide(text.data(), std::min<qsizetype>(length / 2, text.size() - 1));
    }
    return out;
}

// The tables of the session's database (ODBC's catalogue function), without system schemas.
std::optional<QStringList> catalogTables(SQLHDBC dbc, DbError& error, const QString& server) {
    const ServerWait wait;
    const Handle stmt = newStatement(dbc, error);
    if (!stmt)
        return std::nullopt;
    const QString type = QStringLiteral("TABLE");
    if (!succeeded(SQLTablesW(stmt.get(), nullptr, 0, nullptr, 0, nullptr, 0,
                              const_cast<SQLWCHAR*>(wide(type)), SQL_NTS))) {
        error = callError(SQL_HANDLE_STMT, stmt.get(), dbc, server);
        return std::nullopt;
    }
    QStringList out;
    std::array<SQLWCHAR, 256> schema{}, name{};
    while (succeeded(SQLFetch(stmt.get()))) {
        SQLLEN schemaLength = 0, nameLength = 0;
        SQLGetData(stmt.get(), 2, SQL_C_WCHAR, schema.data(), sizeof(schema), &schemaLength);
        SQLGetData(stmt.get(), 3, SQL_C_WCHAR, name.data(), sizeof(name), &nameLength);
        const QString owner =
            schemaLength > 0 ? fromWide(schema.data(), schemaLength / 2) : QString();
        if (owner.compare(QLatin1String("sys"), Qt::CaseInsensitive) == 0 ||
            owner.compare(QLatin1String("INFORMATION_SCHEMA"), Qt::CaseInsensitive) == 0 ||
            owner.startsWith(QLatin1String("pg_")) || nameLength <= 0)
            continue;
        out << fromWide(name.data(), std::min<qsizetype>(nameLength / 2, name.size() - 1));
    }
    return out;
}

// The management side (what SQL-DMO was): a login on the server, its databases and tables.
class OdbcServer final : public Server {
  public:
    explicit OdbcServer(OdbcAddress address) : address_(std::move(address)) {}

    int connect(const Login& login) override {
        login_ = login;
        // The management session needs some database of the server, not the store's (which may
        // be the missing one the existence check is about to tell): SQL Server's login default,
        // else master; a data source's own default, else the store's, else the maintenance
        // database of the usual servers. The first failure is the one reported.
        const bool sqlServer = address_.kind == OdbcAddress::Kind::SqlServer;
        const QStringList candidates =
            sqlServer ? QStringList{QString(), QStringLiteral("master")}
                      : QStringList{login.database, QString(), QStringLiteral("postgres"),
                                    QStringLiteral("master")};
        DbError first;
        for (const QString& database : candidates) {
            LoginFailure why = LoginFailure::Other;
            session_ = logIn(address_, login, database, error_, {.why = &why});
            if (first.number == 0)
                first = error_;
            if (session_ || why != LoginFailure::NoDatabase)
                break;
        }
        if (!session_)
            error_ = first;
        if (session_)
            dialect_ = dialectOfDbms(infoText(session_.get(), SQL_DBMS_NAME));
        return status();
    }

    int status() const override { return session_ ? 1 : 0; }

    std::optional<QStringList> databases() override {
        if (!session_) {
            error_ = engineError(QStringLiteral("Not connected to the server."));
            return std::nullopt;
        }
        switch (dialect_) {
        case SourceDialect::SqlServer:
            // master..sysdatabases: every release from SQL Server 2000 on has it.
            return firstColumn(session_.get(),
                               QStringLiteral("SELECT name FROM master..sysdatabases WHERE name "
                                              "NOT IN ('master', 'tempdb', 'model', 'msdb') "
                                              "ORDER BY name"),
                               error_, shownAddress(address_));
        case SourceDialect::PostgreSQL:
            return firstColumn(session_.get(),
                               QStringLiteral("SELECT datname FROM pg_database WHERE NOT "
                                              "datistemplate AND datname <> 'postgres' ORDER "
                                              "BY datname"),
                               error_, shownAddress(address_));
        case SourceDialect::Other:
            break;
        }
        // Another source: the database its session is on.
        const QString current = infoText(session_.get(), SQL_DATABASE_NAME);
        return current.isEmpty() ? QStringList() : QStringList{current};
    }

    std::optional<QStringList> tables(const QString& database) override {
        if (!session_) {
            error_ = engineError(QStringLiteral("Not connected to the server."));
            return std::nullopt;
        }
        if (!tablesSession_ || tablesDatabase_ != database) {
            tablesSession_ = logIn(address_, login_, database, error_);
            tablesDatabase_ = database;
            if (!tablesSession_)
                return std::nullopt;
        }
        if (dialect_ == SourceDialect::SqlServer)
            return firstColumn(tablesSession_.get(),
                               QStringLiteral("SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES "
                                              "WHERE TABLE_TYPE = 'BASE TABLE' ORDER BY "
                                              "TABLE_NAME"),
                               error_, shownAddress(address_));
        return catalogTables(tablesSession_.get(), error_, shownAddress(address_));
    }

    QString machine() const override {
        // A DSN, a socket folder or the loopback: this computer.
        const QString host = addressMachine(address_);
        if (address_.kind == OdbcAddress::Kind::DataSource &&
            (host.isEmpty() || host.startsWith(u'/') || host == QLatin1String("localhost") ||
             host == QLatin1String("127.0.0.1")))
            return computerName();
        return host;
    }

    DbError lastError() const override { return error_; }

    bool createDatabase(const QString& name, bool replace) override;

  private:
    OdbcAddress address_;
    Login login_;
    DbcHandle session_;
    SourceDialect dialect_ = SourceDialect::Other;
    DbcHandle tablesSession_;
    QString tablesDatabase_;
    DbError error_;
};

// On a session of the server's maintenance database (the one to be dropped must not be in use
// by it): SQL Server's master, PostgreSQL's postgres; other data sources make none.
bool OdbcServer::createDatabase(const QString& name, bool replace) {
    if (!session_) {
        error_ = engineError(QStringLiteral("Not connected to the server."));
        return false;
    }
    const bool sqlServer = dialect_ == SourceDialect::SqlServer;
    if (!sqlServer && dialect_ != SourceDialect::PostgreSQL) {
        error_ = engineError(QStringLiteral("This data source makes no databases here; create "
                                            "%1 with its own tools.")
                                 .arg(name));
        return false;
    }
    const DbcHandle admin =
        logIn(address_, login_, sqlServer ? QStringLiteral("master") : QStringLiteral("postgres"),
              error_);
    if (!admin)
        return false;
    const QString quoted = sqlServer
                               ? u'[' + QString(name).replace(u']', QLatin1String("]]")) + u']'
                               : u'"' + QString(name).replace(u'"', QLatin1String("\"\"")) + u'"';
    const auto names =
        firstColumn(admin.get(),
                    sqlServer ? QStringLiteral("SELECT name FROM master..sysdatabases")
                              : QStringLiteral("SELECT datname FROM pg_database"),
                    error_, shownAddress(address_));
    if (!names)
        return false;
    if (names->contains(name)) {
        if (!replace) {
            error_ = engineError(QStringLiteral("The database %1 already exists.").arg(name));
            return false;
        }
        const QString drop = sqlServer
                                 ? QStringLiteral("ALTER DATABASE %1 SET SINGLE_USER WITH ROLLBACK "
                                                  "IMMEDIATE; DROP DATABASE %1")
                                       .arg(quoted)
                                 : QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(quoted);
        if (!execute(admin.get(), drop, error_, shownAddress(address_)))
            return false;
    }
    return execute(admin.get(), QStringLiteral("CREATE DATABASE ") + quoted, error_,
                   shownAddress(address_))
        .has_value();
}

class OdbcEngine final : public Engine {
  public:
    explicit OdbcEngine(OdbcAddress address) : address_(std::move(address)) {}
    std::unique_ptr<Connection> connection() override { return makeConnection(address_); }
    std::unique_ptr<Server> server() override { return std::make_unique<OdbcServer>(address_); }

  private:
    OdbcAddress address_;
};

} // namespace

QStringList odbcDataSources() {
    QStringList out;
    std::array<SQLWCHAR, 256> name{};
    std::array<SQLWCHAR, 512> description{};
    SQLSMALLINT nameLength = 0, descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (
        succeeded(SQLDataSourcesW(environment(), direction, name.data(), name.size(), &nameLength,
                                  description.data(), description.size(), &descriptionLength))) {
        out << fromWide(name.data(), std::min<qsizetype>(nameLength, name.size() - 1));
        direction = SQL_FETCH_NEXT;
    }
    out.sort(Qt::CaseInsensitive);
    out.removeDuplicates();
    return out;
}

std::unique_ptr<Engine> makeOdbcEngine(const QString& serverSetting) {
    const auto address = parseOdbcServer(serverSetting);
    if (!address)
        return nullptr;
    return std::make_unique<OdbcEngine>(*address);
}

} // namespace vx::db
