#include "db/odbc/odbc_api.h"

#include "db/backend_support.h"
#include "db/server_watch.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>

namespace vx::db::odbc {

QList<Diag> diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    QList<Diag> out;
    if (!handle)
        return out;
    for (SQLSMALLINT i = 1;; ++i) {
        std::array<SQLWCHAR, 6> state{};
        SQLINTEGER native = 0;
        std::array<SQLWCHAR, 2048> text{};
        SQLSMALLINT length = 0;
        const SQLRETURN r = SQLGetDiagRecW(type, handle, i, state.data(), &native, text.data(),
                                           static_cast<SQLSMALLINT>(text.size()), &length);
        if (!succeeded(r))
            break;
        const qsizetype shown = std::min<qsizetype>(length, text.size() - 1);
        out.append({fromWide(state.data(), 5), native, fromWide(text.data(), shown)});
    }
    return out;
}

QString plainMessage(const QString& message) {
    static const QRegularExpression tags(QStringLiteral("^(\\s*\\[[^\\]]*\\])+\\s*"));
    QString text = message;
    text.remove(tags);
    // PostgreSQL's driver adds a line of its own after the server's message.
    static const QRegularExpression pgTail(
        QStringLiteral(";?\\s*\\n?\\s*Error while (executing|preparing) the query\\s*$"));
    text.remove(pgTail);
    static const QRegularExpression pgLevel(QStringLiteral("^(ERROR|FATAL):\\s+"));
    text.remove(pgLevel);
    return text.simplified();
}

DbError statementError(const QList<Diag>& records) {
    if (records.isEmpty())
        return engineError(QStringLiteral("The database driver reported a failure without a "
                                          "message."));
    for (const Diag& d : records) {
        if (d.state == QLatin1String("42S02") || d.native == 208)
            return {kErrInvalidObject, plainMessage(d.message)};
        if (d.state == QLatin1String("42P01")) {
            static const QRegularExpression name(QStringLiteral("\"([^\"]*)\""));
            const auto m = name.match(d.message);
            return invalidObject(m.hasMatch() ? m.captured(1) : plainMessage(d.message));
        }
    }
    // The first record that is an error, not a mere note ("01..." states are warnings).
    for (const Diag& d : records)
        if (!d.state.startsWith(QLatin1String("01")))
            return engineError(plainMessage(d.message));
    return engineError(plainMessage(records.first().message));
}

DbError callError(SQLSMALLINT type, SQLHANDLE handle, SQLHDBC dbc, const QString& server) {
    const QList<Diag> records = diagnostics(type, handle);
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (dbc)
        SQLGetConnectAttrW(dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    // 08S01: the link to the server failed under the call.
    const bool lost = dead == SQL_CD_TRUE ||
                      std::any_of(records.begin(), records.end(),
                                  [](const Diag& d) { return d.state == QLatin1String("08S01"); });
    return serverFailure(server, lost, statementError(records));
}

void HandleDeleter::operator()(void* handle) const {
    SQLFreeHandle(type, handle);
}

// Never freed: connections held by process-wide state outlive every other static object.
SQLHENV environment() {
    static const SQLHENV env = [] {
        SQLHANDLE h = SQL_NULL_HANDLE;
        if (!succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h)))
            return SQLHENV(SQL_NULL_HANDLE);
        SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return SQLHENV(h);
    }();
    return env;
}

Handle allocate(SQLSMALLINT type, SQLHANDLE parent) {
    SQLHANDLE h = SQL_NULL_HANDLE;
    if (!parent || !succeeded(SQLAllocHandle(type, parent, &h)))
        return Handle(nullptr, HandleDeleter{type});
    return Handle(h, HandleDeleter{type});
}

DbcHandle& DbcHandle::operator=(DbcHandle&& other) {
    if (this != &other) {
        disconnect();
        dbc_ = std::move(other.dbc_);
        connected_ = other.connected_;
        other.connected_ = false;
    }
    return *this;
}

DbcHandle::~DbcHandle() {
    disconnect();
}

void DbcHandle::disconnect() {
    if (dbc_ && connected_) {
        const ServerWait wait;
        SQLDisconnect(dbc_.get());
    }
    connected_ = false;
}

QString infoText(SQLHDBC dbc, SQLUSMALLINT what) {
    std::array<SQLWCHAR, 256> text{};
    SQLSMALLINT bytes = 0;
    if (!succeeded(SQLGetInfoW(dbc, what, text.data(), sizeof(text), &bytes)))
        return QString();
    const qsizetype chars = std::min<qsizetype>(bytes / sizeof(SQLWCHAR), text.size() - 1);
    return fromWide(text.data(), chars);
}

} // namespace vx::db::odbc
