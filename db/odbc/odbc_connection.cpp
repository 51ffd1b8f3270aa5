#include "db/backend_support.h"
#include "db/dialect.h"
#include "db/odbc/odbc_internal.h"
#include "db/server_watch.h"

#include <QRegularExpression>

namespace vx::db::odbc {

SourceDialect dialectOfDbms(const QString& dbmsName) {
    if (dbmsName.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive))
        return SourceDialect::SqlServer;
    if (dbmsName.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive))
        return SourceDialect::PostgreSQL;
    return SourceDialect::Other;
}

QString forSource(const QString& sql, SourceDialect dialect) {
    if (dialect != SourceDialect::PostgreSQL)
        return sql;
    return translate(sql, Dialect::PostgreSQL).sql;
}

bool shortQuery(const QString& sql) {
    static const QRegularExpression top(
        QStringLiteral("^\\s*SELECT\\s+TOP\\s*\\(?\\s*(\\d+)\\s*\\)?\\s"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression count(QStringLiteral("^\\s*SELECT\\s+COUNT\\s*\\("),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression grouped(QStringLiteral("\\bGROUP\\s+BY\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (const auto m = top.match(sql); m.hasMatch())
        return m.captured(1).toLongLong() <= 100;
    return count.match(sql).hasMatch() && !grouped.match(sql).hasMatch();
}

std::optional<bool> beginsTransaction(const QString& sql) {
    static const QRegularExpression begin(
        QStringLiteral("^\\s*(BEGIN|START)(\\s+(TRAN|TRANSACTION|WORK)\\b.*)?\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression end(QStringLiteral("^\\s*(COMMIT|ROLLBACK|END)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (begin.match(sql).hasMatch())
        return true;
    if (end.match(sql).hasMatch())
        return false;
    return std::nullopt;
}

DbcHandle Source::takeSession(DbError& error) {
    if (!idle.empty()) {
        DbcHandle session = std::move(idle.back());
        idle.pop_back();
        return session;
    }
    // PostgreSQL's driver reads a whole result into memory unless told to fetch it in parts; 5,000
    // rows at a time, as the PostgreSQL backend fetches them (a year's range in 200 round trips).
    const QString streaming =
        dialect == SourceDialect::PostgreSQL && !hasOdbcKey(address.source, {"UseDeclareFetch"})
            ? QStringLiteral("UseDeclareFetch=1;Fetch=5000")
            : QString();
    return logIn(address, login, database, error, {.extra = streaming});
}

void Source::giveBack(DbcHandle session) {
    if (session)
        idle.push_back(std::move(session));
}

Handle newStatement(SQLHDBC dbc, DbError& error) {
    Handle stmt = allocate(SQL_HANDLE_STMT, dbc);
    if (!stmt) {
        const QList<Diag> records = diagnostics(SQL_HANDLE_DBC, dbc);
        error = records.isEmpty() ? engineError(QStringLiteral("The connection is not open."))
                                  : statementError(records);
    }
    return stmt;
}

std::optional<long> execute(SQLHDBC dbc, const QString& sql, DbError& error,
                            const QString& server) {
    const ServerWait wait;
    const Handle stmt = newStatement(dbc, error);
    if (!stmt)
        return std::nullopt;
    const SQLRETURN r = SQLExecDirectW(stmt.get(), const_cast<SQLWCHAR*>(wide(sql)), SQL_NTS);
    if (!succeeded(r) && r != SQL_NO_DATA) {
        error = callError(SQL_HANDLE_STMT, stmt.get(), dbc, server);
        return std::nullopt;
    }
    SQLLEN rows = -1;
    if (r != SQL_NO_DATA)
        SQLRowCount(stmt.get(), &rows);
    else
        rows = 0;
    // Whatever else the statement returned (messages, further results) is read and dropped; a
    // later part of it that failed fails the statement.
    SQLRETURN more = SQL_SUCCESS;
    while (succeeded(more = SQLMoreResults(stmt.get()))) {
    }
    if (more == SQL_ERROR) {
        error = callError(SQL_HANDLE_STMT, stmt.get(), dbc, server);
        return std::nullopt;
    }
    error = DbError();
    return changesRows(sql) ? std::max<long>(rows, 0) : -1;
}

namespace {

class OdbcConnection final : public Connection {
  public:
    explicit OdbcConnection(OdbcAddress address) : address_(std::move(address)) {}

    bool open(const Login& login) override {
        source_.reset();
        auto source = std::make_shared<Source>();
        source->address = address_;
        source->login = login;
        source->database = login.database;
        source->main = logIn(address_, login, login.database, error_);
        if (!source->main)
            return false;
        source->dialect = dialectOfDbms(infoText(source->main.get(), SQL_DBMS_NAME));
        const QString quote = infoText(source->main.get(), SQL_IDENTIFIER_QUOTE_CHAR).trimmed();
        if (!quote.isEmpty())
            source->quote = quote;
        source_ = std::move(source);
        return true;
    }

    int state() const override {
        if (!source_ || !source_->main)
            return 0;
        SQLUINTEGER dead = SQL_CD_FALSE;
        SQLGetConnectAttrW(source_->main.get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
        return dead == SQL_CD_TRUE ? 0 : 1;
    }

    std::optional<long> execute(const QString& sql) override {
        if (!connected())
            return std::nullopt;
        const auto result = odbc::execute(source_->main.get(), forSource(sql, source_->dialect),
                                          error_, source_->shown());
        if (const auto begins = beginsTransaction(sql); begins && result)
            source_->inTransaction = *begins;
        return result;
    }

    std::unique_ptr<Recordset> openRecordset(const QString& sql) override {
        if (!connected())
            return nullptr;
        return odbc::openRecordset(source_, sql, error_);
    }

    DbError lastError() const override { return error_; }

    Catalogue catalogue() const override {
        if (!source_)
            return Catalogue::None;
        switch (source_->dialect) {
        case SourceDialect::SqlServer:
            return Catalogue::SqlServer;
        case SourceDialect::PostgreSQL:
            return Catalogue::PostgreSQL;
        default:
            return Catalogue::None;
        }
    }

  private:
    bool connected() {
        if (state() == 1)
            return true;
        error_ = source_ ? serverFailure(source_->shown(), true,
                                         engineError(QStringLiteral("it is closed.")))
                         : engineError(QStringLiteral("The connection is not open."));
        return false;
    }

    OdbcAddress address_;
    SharedSource source_;
    DbError error_;
};

} // namespace

std::unique_ptr<Connection> makeConnection(const OdbcAddress& address) {
    return std::make_unique<OdbcConnection>(address);
}

} // namespace vx::db::odbc
