#pragma once
// Shared by the ODBC backend's files: what a connection and its recordsets share (the login, the
// data source's dialect, the main session and the idle sessions that stream large results), and
// statements run on a session.

#include "db/odbc/odbc_login.h"

#include <vector>

namespace vx::db::odbc {

// What the driver says it is connected to; it decides how statements are rewritten.
enum class SourceDialect {
    SqlServer,  // the suite's statements run as they are built
    PostgreSQL, // rewritten as for the PostgreSQL backend
    Other,      // run as they are built
};
SourceDialect dialectOfDbms(const QString& dbmsName);

// The statement as the data source runs it.
QString forSource(const QString& sql, SourceDialect dialect);

// A statement that reads at most a few rows ("SELECT TOP n", "SELECT COUNT(*)"): it is read
// whole on the main session. Other queries stream on a session of their own, so that the main
// session stays free for the reads made while their rows are walked (a SQL Server connection
// runs one statement at a time).
bool shortQuery(const QString& sql);

// Whether `sql` begins a transaction (true), ends one (false) or neither (nullopt).
std::optional<bool> beginsTransaction(const QString& sql);

struct Source {
    OdbcAddress address;
    Login login;
    QString database;
    SourceDialect dialect = SourceDialect::Other;
    QString quote = QStringLiteral("\""); // around column names in the statements made here
    DbcHandle main;
    std::vector<DbcHandle> idle; // stream sessions not in use
    // A transaction begun by a statement is open on the main session: queries run there too,
    // where its changes are seen (another session would not see them, and on SQL Server would
    // wait for their locks).
    bool inTransaction = false;

    // A session for a streaming query: an idle one, or a new login (empty with `error` set).
    DbcHandle takeSession(DbError& error);
    // The server as messages name it.
    QString shown() const { return shownAddress(address); }
    void giveBack(DbcHandle session);
};
using SharedSource = std::shared_ptr<Source>;

// A statement handle with its cursor closed before it is freed.
Handle newStatement(SQLHDBC dbc, DbError& error);

// Runs a statement; the rows it changed (-1 when it changes none), nullopt with `error` set.
// `server` names the server in the messages of a failure.
std::optional<long> execute(SQLHDBC dbc, const QString& sql, DbError& error, const QString& server);

std::unique_ptr<Recordset> openRecordset(const SharedSource& source, const QString& sql,
                                         DbError& error);

std::unique_ptr<Connection> makeConnection(const OdbcAddress& address);

} // namespace vx::db::odbc
