#include "dbconfig/server_fields.h"

#include "db/odbc/odbc_address.h"
#include "db/odbc/odbc_login.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace vx {

namespace {

const QLatin1String kSqlite("sqlite:");
const QLatin1String kPostgres("postgresql://");
const QLatin1String kOdbc("odbc:");

QString decoded(const QString& text) {
    return QUrl::fromPercentEncoding(text.toUtf8());
}

// Address parts are written percent-encoded where the address syntax needs it; slashes stay,
// so a socket folder reads as a path.
QString encoded(const QString& text, const QByteArray& keep = {}) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

// "postgresql://host[:port][/db][?key=value&...]"; false when the text is not one.
bool parsePostgres(const QString& text, ServerFields& f) {
    static const QRegularExpression shape(
        QStringLiteral("^postgres(?:ql)?://(?:[^@/?]*@)?(\\[[^\\]]*\\]|[^:/?]*)(?::(\\d*))?"
                       "(?:/[^?]*)?(?:\\?(.*))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return false;
    f.engine = DbEngine::PostgreSQL;
    f.host = decoded(m.captured(1));
    if (f.host.startsWith(u'['))
        f.host = f.host.mid(1, f.host.size() - 2);
    f.port = m.captured(2);
    QStringList others;
    for (const QString& pair : m.captured(3).split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        const QString key = decoded(pair.left(eq < 0 ? pair.size() : eq));
        const QString value = eq < 0 ? QString() : decoded(pair.mid(eq + 1));
        if (key == QLatin1String("host") && value.startsWith(u'/'))
            f.socket = value;
        else if (key == QLatin1String("host"))
            f.host = value;
        else if (key == QLatin1String("port"))
            f.port = value;
        else
            others << pair;
    }
    f.extra = others.join(u'&');
    return true;
}

QString composePostgres(const ServerFields& f) {
    QString host = f.host.trimmed();
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    QString address = kPostgres + (host.contains(u':') ? u'[' + host + u']' : encoded(host));
    if (!f.port.trimmed().isEmpty())
        address += u':' + f.port.trimmed();
    QStringList query;
    if (!f.socket.trimmed().isEmpty())
        query << QStringLiteral("host=") + encoded(f.socket.trimmed(), "/");
    if (!f.extra.isEmpty())
        query << f.extra;
    if (!query.isEmpty())
        address += u'?' + query.join(u'&');
    return address;
}

} // namespace

ServerFields parseServerSetting(const QString& server) {
    ServerFields f;
    const QString text = server.trimmed();
    if (text.startsWith(kSqlite, Qt::CaseInsensitive)) {
        f.folder = text.mid(kSqlite.size()).trimmed();
        return f;
    }
    if (text.startsWith(QLatin1String("postgres"), Qt::CaseInsensitive) && parsePostgres(text, f))
        return f;
    const std::optional<db::odbc::OdbcAddress> odbc = db::odbc::parseOdbcServer(text);
    if (!odbc)
        return f; // no engine takes it
    if (odbc->kind == db::odbc::OdbcAddress::Kind::DataSource) {
        f.engine = DbEngine::OdbcSource;
        f.source = odbc->source;
    } else {
        f.engine = DbEngine::SqlServer;
        f.sqlServer = text;
    }
    return f;
}

QString composeServerSetting(const ServerFields& f) {
    switch (f.engine) {
    case DbEngine::Embedded:
        break;
    case DbEngine::PostgreSQL:
        return composePostgres(f);
    case DbEngine::SqlServer:
        return f.sqlServer.trimmed();
    case DbEngine::OdbcSource: {
        // A source typed with its "odbc:" is taken as meant, not prefixed twice.
        QString source = f.source.trimmed();
        if (source.startsWith(kOdbc, Qt::CaseInsensitive))
            source = source.mid(kOdbc.size()).trimmed();
        return kOdbc + source;
    }
    }
    return kSqlite + f.folder.trimmed();
}

QString serverFieldsProblem(const ServerFields& f) {
    switch (f.engine) {
    case DbEngine::Embedded:
    case DbEngine::PostgreSQL:
        break;
    case DbEngine::SqlServer:
        if (f.sqlServer.trimmed().isEmpty())
            return QStringLiteral("Enter the name of the SQL Server, as SHOPPC\\JOVSERVER, SHOPPC "
                                  "or SHOPPC,1433.");
        if (parseServerSetting(composeServerSetting(f)).engine != DbEngine::SqlServer)
            return QStringLiteral("\"%1\" is not a SQL Server name; write it as "
                                  "SHOPPC\\JOVSERVER (machine and instance), SHOPPC or "
                                  "SHOPPC,1433 (machine and port).")
                .arg(shownServer(f.sqlServer));
        break;
    case DbEngine::OdbcSource:
        if (parseServerSetting(composeServerSetting(f)).engine != DbEngine::OdbcSource)
            return QStringLiteral("Choose an ODBC data source, or type a connection string.");
        break;
    }
    return QString();
}

QString shownServer(const QString& server) {
    const std::optional<db::odbc::OdbcAddress> odbc = db::odbc::parseOdbcServer(server);
    return odbc ? db::odbc::shownAddress(*odbc) : server.trimmed();
}

} // namespace vx
