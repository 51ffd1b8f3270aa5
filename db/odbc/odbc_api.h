#pragma once
// The ODBC calls the backend makes, wrapped: handles that free themselves, wide-character text
// (the driver manager's SQLWCHAR is UTF-16, as QString is), and the diagnostic records of a
// failed call turned into the engine interface's errors.

#include "db/engine.h"

#include <sql.h>
#include <sqlext.h>

#include <QList>
#include <memory>

namespace vx::db::odbc {

// One diagnostic record: SQLSTATE, the source's native error number, its message.
struct Diag {
    QString state;
    long native = 0;
    QString message;
};
// Every diagnostic record of a handle, most relevant first (as the driver orders them).
QList<Diag> diagnostics(SQLSMALLINT type, SQLHANDLE handle);

// A driver's message without the "[unixODBC][FreeTDS][SQL Server]" source tags, on one line.
QString plainMessage(const QString& message);

// The error of a failed statement: a missing table (SQL Server error 208 / SQLSTATE 42S02,
// PostgreSQL 42P01) is error 3078 with the server's "Invalid object name ..." text; anything
// else the engine error with the driver's message.
DbError statementError(const QList<Diag>& records);

// The error of a failed call on `handle` (of connection `dbc`, on the server messages show as
// `server`): the statement's error, or the server's failure when the wait for it was ended or
// the connection is gone (db/server_watch.h).
DbError callError(SQLSMALLINT type, SQLHANDLE handle, SQLHDBC dbc, const QString& server);

// Texts for the ODBC calls.
inline const SQLWCHAR* wide(const QString& text) {
    return reinterpret_cast<const SQLWCHAR*>(text.utf16());
}
inline QString fromWide(const SQLWCHAR* text, qsizetype characters) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), characters);
}

struct HandleDeleter {
    SQLSMALLINT type;
    void operator()(void* handle) const;
};
using Handle = std::unique_ptr<void, HandleDeleter>;

// The process's ODBC environment (ODBC 3 behaviour), made on first use.
SQLHENV environment();
// A new handle of `type` under `parent`; empty when the driver manager refuses.
Handle allocate(SQLSMALLINT type, SQLHANDLE parent);

// An open connection handle; the driver is disconnected before the handle is freed.
class DbcHandle {
  public:
    DbcHandle() = default;
    explicit DbcHandle(Handle dbc) : dbc_(std::move(dbc)) {}
    DbcHandle(DbcHandle&&) = default;
    DbcHandle& operator=(DbcHandle&& other);
    ~DbcHandle();
    SQLHDBC get() const { return dbc_.get(); }
    explicit operator bool() const { return dbc_ != nullptr; }
    void markConnected() { connected_ = true; }
    bool connected() const { return connected_; }

  private:
    void disconnect();
    Handle dbc_;
    bool connected_ = false;
};

inline bool succeeded(SQLRETURN r) {
    return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO;
}

// A string answer of SQLGetInfo ("Microsoft SQL Server", "PostgreSQL").
QString infoText(SQLHDBC dbc, SQLUSMALLINT what);

} // namespace vx::db::odbc
