#include "db/backend_support.h"
#include "db/postgres/pg_internal.h"
#include "db/server_watch.h"
#include "platform/paths.h"

#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

namespace vx::db::pg {
namespace {

QByteArray decoded(QStringView text) {
    return QUrl::fromPercentEncoding(text.toUtf8()).toUtf8();
}

bool isLocal(const QString& host) {
    return host.isEmpty() || host.startsWith(u'/') || host == QLatin1String("localhost") ||
           host == QLatin1String("127.0.0.1") || host == QLatin1String("::1");
}

// The login's own keywords come from the login, never from the address.
bool loginKeyword(const QByteArray& key) {
    return key == "dbname" || key == "user" || key == "password" || key == "passfile" ||
           key == "service";
}

// libpq's messages run over several lines ("...failed: Connection refused\n\tIs the server
// running...?"); a message box gets them as one line of sentences.
QString oneLine(const QString& text) {
    QStringList parts;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QString part = line.simplified();
        if (part.isEmpty())
            continue;
        if (!parts.isEmpty() && !QStringLiteral(".!?:;").contains(parts.last().back()))
            parts.last() += u'.';
        parts << part;
    }
    return parts.join(u' ');
}

} // namespace

std::optional<Address> parseAddress(const QString& server, QString& problem) {
    static const QRegularExpression shape(
        QStringLiteral("^postgres(?:ql)?://(?:[^@/?]*@)?(\\[[^\\]]*\\]|[^:/?]*)(?::(\\d*))?"
                       "(?:/[^?]*)?(?:\\?(.*))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = shape.match(server.trimmed());
    if (!m.hasMatch()) {
        problem = QStringLiteral("The server setting is not a postgresql:// address.");
        return std::nullopt;
    }
    Address a;
    QString host = m.captured(1);
    if (host.startsWith(u'['))
        host = host.mid(1, host.size() - 2);
    QByteArray hostKey = decoded(host);
    QByteArray portKey = m.captured(2).toUtf8();
    std::vector<std::pair<QByteArray, QByteArray>> options;
    for (const QString& pair : m.captured(3).split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        const QByteArray key = decoded(pair.left(eq < 0 ? pair.size() : eq));
        const QByteArray value = eq < 0 ? QByteArray() : decoded(QStringView(pair).mid(eq + 1));
        if (key == "host")
            hostKey = value; // as in libpq: the query's host wins
        else if (key == "port")
            portKey = value;
        else if (!loginKeyword(key))
            options.emplace_back(key, value);
    }
    if (!hostKey.isEmpty())
        a.keywords.emplace_back("host", hostKey);
    if (!portKey.isEmpty())
        a.keywords.emplace_back("port", portKey);
    a.keywords.insert(a.keywords.end(), options.begin(), options.end());
    const QString machine = QString::fromUtf8(hostKey);
    a.machine = isLocal(machine) ? computerName() : machine;
    return a;
}

Conn connectWith(std::vector<const char*> keys, std::vector<const char*> values) {
    keys.push_back(nullptr);
    values.push_back(nullptr);
    Conn c;
    {
        const ServerWait wait;
        // expand_dbname 0: the database name is a name, never read as connection parameters.
        c.reset(PQconnectdbParams(keys.data(), values.data(), 0));
    }
    if (PQstatus(c.get()) == CONNECTION_OK) {
        PQsetNoticeProcessor(
            c.get(), [](void*, const char*) {}, nullptr);
        watchSocket(PQsocket(c.get()));
    }
    return c;
}

SharedSession connectTo(const QString& server, const Login& login, const QString& database,
                        DbError& error) {
    QString problem;
    const auto address = parseAddress(server, problem);
    if (!address) {
        error = engineError(problem);
        return nullptr;
    }
    std::vector<std::pair<QByteArray, QByteArray>> kv = address->keywords;
    kv.emplace_back("dbname", database.toUtf8());
    kv.emplace_back("user", login.user.toUtf8());
    kv.emplace_back("password", login.password.toUtf8());
    kv.emplace_back("client_encoding", "UTF8");
    kv.emplace_back("application_name", "vantrex-report");
    const bool timeoutGiven = std::any_of(
        kv.begin(), kv.end(), [](const auto& p) { return p.first == "connect_timeout"; });
    if (!timeoutGiven)
        kv.emplace_back("connect_timeout", "25");
    std::vector<const char*> keys, values;
    for (const auto& [k, v] : kv) {
        keys.push_back(k.constData());
        values.push_back(v.constData());
    }

    auto session = std::make_shared<Session>();
    session->conn = connectWith(std::move(keys), std::move(values));
    if (!session->ok()) {
        QString why = session->conn ? QString::fromUtf8(PQerrorMessage(session->conn.get()))
                                    : QStringLiteral("out of memory");
        error = engineError(oneLine(withoutPassword(why, login.password)));
        return nullptr;
    }
    error = DbError();
    return session;
}

DbError errorOf(PGconn* conn, const PGresult* result) {
    if (!result)
        return engineError(oneLine(QString::fromUtf8(PQerrorMessage(conn))));
    const QString state = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    const QString message =
        QString::fromUtf8(primary ? primary : PQresultErrorMessage(result)).simplified();
    if (state == QLatin1String("42P01")) {
        static const QRegularExpression name(QStringLiteral("\"([^\"]*)\""));
        const auto m = name.match(message);
        return invalidObject(m.hasMatch() ? m.captured(1) : message);
    }
    return engineError(message);
}

QString shownServer(PGconn* conn) {
    const QString host = QString::fromUtf8(PQhost(conn));
    const QString port = QString::fromUtf8(PQport(conn));
    return QStringLiteral("postgresql://") + (host.contains(u':') ? u'[' + host + u']' : host) +
           (port.isEmpty() ? QString() : u':' + port);
}

Result checked(PGconn* conn, PGresult* raw, DbError& error) {
    Result r(raw);
    const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return r;
    error =
        serverFailure(shownServer(conn), PQstatus(conn) == CONNECTION_BAD, errorOf(conn, r.get()));
    return nullptr;
}

Result exec(PGconn* conn, const QString& sql, DbError& error) {
    const ServerWait wait;
    return checked(conn, PQexec(conn, sql.toUtf8().constData()), error);
}

Result execParams(PGconn* conn, const QString& sql, const std::vector<QByteArray>& params,
                  DbError& error) {
    std::vector<const char*> values;
    for (const QByteArray& p : params)
        values.push_back(p.isNull() ? nullptr : p.constData());
    const ServerWait wait;
    return checked(conn,
                   PQexecParams(conn, sql.toUtf8().constData(), static_cast<int>(values.size()),
                                nullptr, values.data(), nullptr, nullptr, 0),
                   error);
}

} // namespace vx::db::pg
