// A test ODBC driver posing as SQL Server: it logs each statement as it arrives (VANTREX_SHIM_LOG)
// and passes it, translated, to the PostgreSQL ODBC driver.
#include "db/dialect.h"
#include "db/sql_trace.h"

#include <sql.h>
#include <sqlext.h>

#include <QFile>
#include <QRegularExpression>
#include <cstring>
#include <dlfcn.h>
#include <string>

namespace {

void* real(const char* name) {
    static void* driver = dlopen(VANTREX_SHIM_TARGET, RTLD_NOW | RTLD_LOCAL);
    return driver ? dlsym(driver, name) : nullptr;
}

QString text(const SQLWCHAR* sql, SQLINTEGER length) {
    const auto* chars = reinterpret_cast<const char16_t*>(sql);
    return QString::fromUtf16(
        chars, length == SQL_NTS ? qsizetype(std::char_traits<char16_t>::length(chars)) : length);
}

void record(const QString& sql) {
    QFile log(qEnvironmentVariable("VANTREX_SHIM_LOG"));
    if (!log.fileName().isEmpty() && log.open(QIODevice::Append))
        log.write((vx::db::traceLine(sql) + u'\n').toUtf8());
}

// The statement as the PostgreSQL server runs it; SQL Server's catalogue answered from its own.
QString forServer(const QString& sql) {
    if (sql.startsWith(QLatin1String("SELECT name FROM master..sysdatabases")))
        return QStringLiteral("SELECT datname FROM pg_database WHERE NOT datistemplate AND "
                              "datname <> 'postgres' ORDER BY datname");
    if (sql.startsWith(QLatin1String("SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES")))
        return QStringLiteral("SELECT table_name FROM information_schema.tables WHERE "
                              "table_type = 'BASE TABLE' AND table_schema = current_schema() "
                              "ORDER BY 1");
    // The column list: PostgreSQL has the same INFORMATION_SCHEMA view, with its names folded.
    static const QRegularExpression columns(
        QStringLiteral("^SELECT COLUMN_NAME, DATA_TYPE \\+.*TABLE_NAME = ('[^']*')"));
    if (const auto m = columns.match(sql); m.hasMatch())
        return QStringLiteral(
                   "SELECT column_name, data_type || CASE WHEN data_type IN ('decimal', "
                   "'numeric') THEN '(' || numeric_precision || ',' || numeric_scale || ')' WHEN "
                   "character_maximum_length > 0 THEN '(' || character_maximum_length || ')' ELSE "
                   "'' END FROM information_schema.columns WHERE table_schema = current_schema() "
                   "AND table_name = lower(%1) ORDER BY ordinal_position")
            .arg(m.captured(1));
    // Schema-bound objects on the column: the views PostgreSQL has on it stand in for them.
    static const QRegularExpression bound(QStringLiteral(
        "^SELECT DISTINCT OBJECT_NAME\\(d.id\\).*OBJECT_ID\\(('[^']*')\\), ('[^']*')"));
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

// Statements go through passStatement, every other call to the real driver as it is.
#define FORWARD(name, params, args)                                                                \
    extern "C" SQLRETURN SQL_API name params {                                                     \
        using Fn = SQLRETURN(SQL_API*) params;                                                     \
        static const Fn fn = reinterpret_cast<Fn>(real(#name));                                    \
        return fn ? fn args : SQL_ERROR;                                                           \
    }
#define FORWARD_ONE(name) FORWARD(name, (H h), (h))

// clang-format off
using H = SQLHANDLE; using S = SQLSMALLINT; using U = SQLUSMALLINT; using I = SQLINTEGER;
using L = SQLLEN; using P = SQLPOINTER; using W = SQLWCHAR*;
#define PASS(name) extern "C" SQLRETURN SQL_API name(H s, W sql, I n) { return passStatement(#name, s, sql, n); }
PASS(SQLExecDirectW) PASS(SQLPrepareW)
FORWARD_ONE(SQLDisconnect) FORWARD_ONE(SQLMoreResults) FORWARD_ONE(SQLFetch)
FORWARD_ONE(SQLCloseCursor) FORWARD_ONE(SQLCancel) FORWARD_ONE(SQLExecute)
FORWARD(SQLAllocHandle, (S t, H p, H* h), (t, p, h))
FORWARD(SQLFreeHandle, (S t, H h), (t, h))
FORWARD(SQLEndTran, (S t, H h, S c), (t, h, c))
FORWARD(SQLSetEnvAttr, (H e, I a, P v, I l), (e, a, v, l))
FORWARD(SQLGetEnvAttr, (H e, I a, P v, I l, I* o), (e, a, v, l, o))
FORWARD(SQLSetConnectAttrW, (H c, I a, P v, I l), (c, a, v, l))
FORWARD(SQLGetConnectAttrW, (H c, I a, P v, I l, I* o), (c, a, v, l, o))
FORWARD(SQLSetStmtAttrW, (H s, I a, P v, I l), (s, a, v, l))
FORWARD(SQLGetStmtAttrW, (H s, I a, P v, I l, I* o), (s, a, v, l, o))
FORWARD(SQLDriverConnectW, (H c, H w, W in, S il, W out, S ol, S* n, U how), (c, w, in, il, out, ol, n, how))
FORWARD(SQLRowCount, (H s, L* n), (s, n))
FORWARD(SQLNumResultCols, (H s, S* n), (s, n))
FORWARD(SQLNumParams, (H s, S* n), (s, n))
FORWARD(SQLFreeStmt, (H s, U o), (s, o))
FORWARD(SQLFetchScroll, (H s, S o, L n), (s, o, n))
FORWARD(SQLDescribeColW, (H s, U c, W n, S nl, S* l, S* t, SQLULEN* z, S* d, S* u), (s, c, n, nl, l, t, z, d, u))
FORWARD(SQLColAttributeW, (H s, U c, U f, P p, S l, S* o, L* n), (s, c, f, p, l, o, n))
FORWARD(SQLGetData, (H s, U c, S t, P p, L l, L* i), (s, c, t, p, l, i))
FORWARD(SQLBindCol, (H s, U c, S t, P p, L l, L* i), (s, c, t, p, l, i))
FORWARD(SQLBindParameter, (H s, U n, S io, S c, S t, SQLULEN z, S d, P p, L l, L* i), (s, n, io, c, t, z, d, p, l, i))
FORWARD(SQLTablesW, (H s, W c, S cl, W o, S ol, W t, S tl, W y, S yl), (s, c, cl, o, ol, t, tl, y, yl))
FORWARD(SQLGetDiagRecW, (S t, H h, S r, W st, I* n, W m, S ml, S* l), (t, h, r, st, n, m, ml, l))
FORWARD(SQLGetDiagFieldW, (S t, H h, S r, S f, P p, S l, S* o), (t, h, r, f, p, l, o))
