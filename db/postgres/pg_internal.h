#pragma once
// Shared by the PostgreSQL backend's files: the server address, the session a connection and its
// recordsets share, results and error mapping.

#include "db/engine.h"

#include <libpq-fe.h>
#include <memory>
#include <utility>
#include <vector>

namespace vx::db::pg {

// A "postgresql://host[:port][?key=value&...]" address as libpq connection keywords.
struct Address {
    std::vector<std::pair<QByteArray, QByteArray>> keywords; // host, port and the query's keys
    QString machine; // the server's machine: the host, or this computer for a local server
};
// nullopt (problem set) when the text is no such address.
std::optional<Address> parseAddress(const QString& server, QString& problem);

struct ConnDeleter {
    void operator()(PGconn* c) const { PQfinish(c); }
};
struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// One open login on a database; shared by a connection and the recordsets it opened.
struct Session {
    std::unique_ptr<PGconn, ConnDeleter> conn;
    long cursors = 0; // numbers the cursors of this session
    bool ok() const { return conn && PQstatus(conn.get()) == CONNECTION_OK; }
};
using SharedSession = std::shared_ptr<Session>;

// Logs in to `database` of `server`; nullptr (error set) on failure. The password never
// appears in the error.
SharedSession connectTo(const QString& server, const Login& login, const QString& database,
                        DbError& error);

// The error of a failed statement: SQLSTATE 42P01 (missing table) becomes error 3078.
DbError errorOf(PGconn* conn, const PGresult* result);
// Runs a statement without parameters; nullptr (error set) unless it succeeded.
Result exec(PGconn* conn, const QString& sql, DbError& error);
// Runs a statement with text parameters (a null QByteArray is NULL).
Result execParams(PGconn* conn, const QString& sql, const std::vector<QByteArray>& params,
                  DbError& error);

std::unique_ptr<Recordset> openRecordset(const SharedSession& session, const QString& sql,
                                         DbError& error);

std::unique_ptr<Connection> makeConnection(const QString& server);

} // namespace vx::db::pg
