// A test ODBC driver that says it is SQL Server: it passes every call on to the PostgreSQL ODBC
// driver, and it writes each statement it receives, exactly as it arrives, to the file named by
// VANTREX_SHIM_LOG (one line per statement, as the program's own SQL trace writes them). So a
// test can run the program against the test server as if it were the store's SQL Server and
// check that the statements reach the driver unchanged. Only here are they rewritten for the
// server underneath, with the program's own translator.
#include "db/dialect.h"
#include "db/sql_trace.h"

#include <sql.h>
#include <sqlext.h>

#include <QFile>
#include <QRegularExpression>
#include <cstring>
#include <dlfcn.h>

namespace {

void* real(const char* name) {
    static void* driver = dlopen(VANTREX_SHIM_TARGET, RTLD_NOW | RTLD_LOCAL);
    return driver ? dlsym(driver, name) : nullptr;
}

QString text(const SQLWCHAR* sql, SQLINTEGER length) {
    if (length == SQL_NTS) {
        length = 0;
        while (sql[length])
            ++length;
    }
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(sql), length);
}

void record(const QString& sql) {
    QFile log(qEnvironmentVariable("VANTREX_SHIM_LOG"));
    if (!log.fileName().isEmpty() && log.open(QIODevice::Append))
        log.write((vx::db::traceLine(sql) + u'\n').toUtf8());
}

// The statement as the PostgreSQL server runs it; SQL Server's catalogue answered from its own.
QString forServer(const QString& sql) {
    if (sql.startsWith(QLatin1String("SELECT name FROM sys.databases")))
        return QStringLiteral("SELECT datname FROM pg_database WHERE NOT datistemplate AND "
                              "datname <> 'postgres' ORDER BY datname");
    // The column list: PostgreSQL has the same INFORMATION_SCHEMA view, with its names folded.
    if (sql.startsWith(QLatin1String("SELECT COLUMN_NAME, CONCAT(DATA_TYPE"))) {
        static const QRegularExpression name(QStringLiteral("TABLE_NAME = ('[^']*')"));
        return QString(sql)
            .replace(QLatin1String("SCHEMA_NAME()"), QLatin1String("current_schema()"))
            .replace(name, QStringLiteral("TABLE_NAME = lower(\\1)"));
    }
    // Schema-bound objects on the column: the views PostgreSQL has on it stand in for them.
    static const QRegularExpression bound(QStringLiteral(
        "^SELECT DISTINCT OBJECT_NAME\\(referencing_id\\).*OBJECT_ID\\(('[^']*')\\), ('[^']*')"));
    if (const auto m = bound.match(sql); m.hasMatch())
        return QStringLiteral(
                   "SELECT DISTINCT v.relname FROM pg_depend d JOIN pg_rewrite r ON r.oid = "
                   "d.objid JOIN pg_class v ON v.oid = r.ev_class JOIN pg_attribute a ON "
                   "a.attrelid = d.refobjid AND a.attnum = d.refobjsubid WHERE d.classid = "
                   "'pg_rewrite'::regclass AND d.refobjid = to_regclass(%1) AND v.oid <> "
                   "d.refobjid AND lower(a.attname) = lower(%2)")
            .arg(m.captured(1), m.captured(2));
    return vx::db::translate(sql, vx::db::Dialect::PostgreSQL).sql;
}

} // namespace

#define FORWARD(name, params, args)                                                                \
    extern "C" SQLRETURN SQL_API name params {                                                     \
        using Fn = SQLRETURN(SQL_API*) params;                                                     \
        static const Fn fn = reinterpret_cast<Fn>(real(#name));                                    \
        return fn ? fn args : SQL_ERROR;                                                           \
    }

FORWARD(SQLAllocHandle, (SQLSMALLINT t, SQLHANDLE p, SQLHANDLE* h), (t, p, h))
FORWARD(SQLFreeHandle, (SQLSMALLINT t, SQLHANDLE h), (t, h))
FORWARD(SQLSetEnvAttr, (SQLHENV e, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l), (e, a, v, l))
FORWARD(SQLGetEnvAttr, (SQLHENV e, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l, SQLINTEGER* o),
        (e, a, v, l, o))
FORWARD(SQLSetConnectAttrW, (SQLHDBC c, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l), (c, a, v, l))
FORWARD(SQLGetConnectAttrW, (SQLHDBC c, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l, SQLINTEGER* o),
        (c, a, v, l, o))
FORWARD(SQLDriverConnectW,
        (SQLHDBC c, SQLHWND w, SQLWCHAR* in, SQLSMALLINT inl, SQLWCHAR* out, SQLSMALLINT outl,
         SQLSMALLINT* len, SQLUSMALLINT how),
        (c, w, in, inl, out, outl, len, how))
FORWARD(SQLDisconnect, (SQLHDBC c), (c))
FORWARD(SQLRowCount, (SQLHSTMT s, SQLLEN* n), (s, n))
FORWARD(SQLMoreResults, (SQLHSTMT s), (s))
FORWARD(SQLNumResultCols, (SQLHSTMT s, SQLSMALLINT* n), (s, n))
FORWARD(SQLDescribeColW,
        (SQLHSTMT s, SQLUSMALLINT c, SQLWCHAR* n, SQLSMALLINT nl, SQLSMALLINT* l, SQLSMALLINT* t,
         SQLULEN* z, SQLSMALLINT* d, SQLSMALLINT* u),
        (s, c, n, nl, l, t, z, d, u))
FORWARD(SQLColAttributeW,
        (SQLHSTMT s, SQLUSMALLINT c, SQLUSMALLINT f, SQLPOINTER p, SQLSMALLINT l, SQLSMALLINT* o,
         SQLLEN* n),
        (s, c, f, p, l, o, n))
FORWARD(SQLFetch, (SQLHSTMT s), (s))
FORWARD(SQLFetchScroll, (SQLHSTMT s, SQLSMALLINT o, SQLLEN n), (s, o, n))
FORWARD(SQLGetData, (SQLHSTMT s, SQLUSMALLINT c, SQLSMALLINT t, SQLPOINTER p, SQLLEN l, SQLLEN* i),
        (s, c, t, p, l, i))
FORWARD(SQLBindCol, (SQLHSTMT s, SQLUSMALLINT c, SQLSMALLINT t, SQLPOINTER p, SQLLEN l, SQLLEN* i),
        (s, c, t, p, l, i))
FORWARD(SQLFreeStmt, (SQLHSTMT s, SQLUSMALLINT o), (s, o))
FORWARD(SQLCloseCursor, (SQLHSTMT s), (s))
FORWARD(SQLCancel, (SQLHSTMT s), (s))
FORWARD(SQLBindParameter,
        (SQLHSTMT s, SQLUSMALLINT n, SQLSMALLINT io, SQLSMALLINT ct, SQLSMALLINT st, SQLULEN z,
         SQLSMALLINT d, SQLPOINTER p, SQLLEN l, SQLLEN* i),
        (s, n, io, ct, st, z, d, p, l, i))
FORWARD(SQLNumParams, (SQLHSTMT s, SQLSMALLINT* n), (s, n))
FORWARD(SQLEndTran, (SQLSMALLINT t, SQLHANDLE h, SQLSMALLINT c), (t, h, c))
FORWARD(SQLTablesW,
        (SQLHSTMT s, SQLWCHAR* c, SQLSMALLINT cl, SQLWCHAR* o, SQLSMALLINT ol, SQLWCHAR* t,
         SQLSMALLINT tl, SQLWCHAR* y, SQLSMALLINT yl),
        (s, c, cl, o, ol, t, tl, y, yl))
FORWARD(SQLGetDiagRecW,
        (SQLSMALLINT t, SQLHANDLE h, SQLSMALLINT r, SQLWCHAR* st, SQLINTEGER* n, SQLWCHAR* m,
         SQLSMALLINT ml, SQLSMALLINT* l),
        (t, h, r, st, n, m, ml, l))
FORWARD(SQLGetDiagFieldW,
        (SQLSMALLINT t, SQLHANDLE h, SQLSMALLINT r, SQLSMALLINT f, SQLPOINTER p, SQLSMALLINT l,
         SQLSMALLINT* o),
        (t, h, r, f, p, l, o))
FORWARD(SQLSetStmtAttrW, (SQLHSTMT s, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l), (s, a, v, l))
FORWARD(SQLGetStmtAttrW, (SQLHSTMT s, SQLINTEGER a, SQLPOINTER v, SQLINTEGER l, SQLINTEGER* o),
        (s, a, v, l, o))
FORWARD(SQLExecute, (SQLHSTMT s), (s))

extern "C" SQLRETURN SQL_API SQLGetInfoW(SQLHDBC c, SQLUSMALLINT what, SQLPOINTER value,
                                         SQLSMALLINT length, SQLSMALLINT* out) {
    if (what == SQL_DBMS_NAME) {
        const QString name = QStringLiteral("Microsoft SQL Server");
        const auto bytes = static_cast<SQLSMALLINT>(name.size() * sizeof(SQLWCHAR));
        if (value && length > bytes)
            std::memcpy(value, name.utf16(), static_cast<size_t>(bytes) + sizeof(SQLWCHAR));
        if (out)
            *out = bytes;
        return SQL_SUCCESS;
    }
    using Fn = SQLRETURN(SQL_API*)(SQLHDBC, SQLUSMALLINT, SQLPOINTER, SQLSMALLINT, SQLSMALLINT*);
    static const Fn fn = reinterpret_cast<Fn>(real("SQLGetInfoW"));
    return fn(c, what, value, length, out);
}

// Records a statement and hands it, rewritten for the server, to the real driver's `function`.
static SQLRETURN passStatement(const char* function, SQLHSTMT s, SQLWCHAR* sql, SQLINTEGER length) {
    const QString received = text(sql, length);
    record(received);
    const QString run = forServer(received);
    using Fn = SQLRETURN(SQL_API*)(SQLHSTMT, SQLWCHAR*, SQLINTEGER);
    const auto fn = reinterpret_cast<Fn>(real(function));
    return fn(s, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(run.utf16())), SQL_NTS);
}

extern "C" SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT s, SQLWCHAR* sql, SQLINTEGER length) {
    return passStatement("SQLExecDirectW", s, sql, length);
}

extern "C" SQLRETURN SQL_API SQLPrepareW(SQLHSTMT s, SQLWCHAR* sql, SQLINTEGER length) {
    return passStatement("SQLPrepareW", s, sql, length);
}
