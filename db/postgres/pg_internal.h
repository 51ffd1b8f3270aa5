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

using Conn = std::unique_ptr<PGconn, ConnDeleter>;

// One open login on a database; shared by a connection and the recordsets it opened.
struct Session {
    Conn conn;
    long cursors = 0;           // numbers the cursors of this session
    std::vector<Conn> siblings; // idle connections of the same login, for cursors of their own
    bool ok() const { return conn && PQstatus(conn.get()) == CONNECTION_OK; }
};
using SharedSession = std::shared_ptr<Session>;

// A query's rows, fetched in batches of `batch` rows through a cursor.
//
// While the session is in no transaction of its own, the cursor runs on a sibling connection of
// the same login, in a transaction of its own: the server produces the rows as they are fetched,
// and the next batch is asked for as soon as one arrives, so the server works on it while the
// caller reads the current one. The transaction ends (and its locks go) when the last batch has
// come or the cursor is closed. Otherwise, or when no sibling can be had, the cursor is declared
// WITH HOLD on the session itself, where the server computes every row at once.
class Cursor {
  public:
    explicit Cursor(int batch) : batch_(batch) {}
    ~Cursor() { close(); }
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // Declares the cursor for `sql` and returns its first batch; nullptr (error set) on failure.
    Result open(const SharedSession& session, const QString& sql, DbError& error);
    // The next batch; an empty result once the last has come; nullptr (error set) on failure.
    Result next(DbError& error);
    bool isOpen() const { return !name_.isEmpty(); }
    void close();

  private:
    Result fetchNow(DbError& error);
    QString fetchStatement() const;
    Result settled(Result batch);

    int batch_;
    SharedSession session_;
    Conn sibling_;         // the cursor's own connection; null when it runs on the session
    QString name_;         // empty when no cursor is open
    bool pending_ = false; // a FETCH has been sent on the sibling and not yet read
};

// Opens a connection with libpq keywords and their values (the server's notices are not shown);
// check its status.
Conn connectWith(std::vector<const char*> keys, std::vector<const char*> values);
// Logs in to `database` of `server`; nullptr (error set) on failure. The password never
// appears in the error.
SharedSession connectTo(const QString& server, const Login& login, const QString& database,
                        DbError& error);

// The server of a connection as messages name it: "postgresql://host:port".
QString shownServer(PGconn* conn);
// The error of a failed statement: SQLSTATE 42P01 (missing table) becomes error 3078.
DbError errorOf(PGconn* conn, const PGresult* result);
// A statement's result; nullptr (error set) unless the statement succeeded.
Result checked(PGconn* conn, PGresult* raw, DbError& error);
// Runs a statement without parameters; nullptr (error set) unless it succeeded.
Result exec(PGconn* conn, const QString& sql, DbError& error);
// Runs a statement with text parameters (a null QByteArray is NULL).
Result execParams(PGconn* conn, const QString& sql, const std::vector<QByteArray>& params,
                  DbError& error);

std::unique_ptr<Recordset> openRecordset(const SharedSession& session, const QString& sql,
                                         DbError& error);

std::unique_ptr<Connection> makeConnection(const QString& server);

} // namespace vx::db::pg
