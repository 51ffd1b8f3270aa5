#include "db/odbc/odbc_address.h"

#include "platform/settings.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

namespace vx::db::odbc {

namespace {

bool isOtherEngine(const QString& text) {
    return text.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

// SQL Server's own names for the computer it runs on.
QString machineName(const QString& machine) {
    if (machine == QLatin1String(".") ||
        machine.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("localhost");
    return machine;
}

// The pairs of a connection string: "key=value" separated by ";", a value in braces may hold
// ";" (a "}" inside it doubled).
QList<std::pair<QString, QString>> pairs(const QString& connection) {
    QList<std::pair<QString, QString>> out;
    qsizetype i = 0;
    while (i < connection.size()) {
        const qsizetype eq = connection.indexOf(u'=', i);
        const qsizetype semi = connection.indexOf(u';', i);
        if (eq < 0 || (semi >= 0 && semi < eq)) { // a piece without "=": skipped
            if (semi < 0)
                break;
            i = semi + 1;
            continue;
        }
        const QString key = connection.mid(i, eq - i).trimmed();
        qsizetype at = eq + 1;
        while (at < connection.size() && connection[at] == u' ')
            ++at;
        QString value;
        if (at < connection.size() && connection[at] == u'{') {
            for (++at; at < connection.size(); ++at) {
                if (connection[at] == u'}') {
                    if (at + 1 < connection.size() && connection[at + 1] == u'}') {
                        value += u'}';
                        ++at;
                        continue;
                    }
                    ++at;
                    break;
                }
                value += connection[at];
            }
            const qsizetype end = connection.indexOf(u';', at);
            i = end < 0 ? connection.size() : end + 1;
        } else {
            const qsizetype end = connection.indexOf(u';', at);
            value = connection.mid(at, (end < 0 ? connection.size() : end) - at).trimmed();
            i = end < 0 ? connection.size() : end + 1;
        }
        out.append({key, value});
    }
    return out;
}

void add(QString& connection, const char* key, const QString& value) {
    if (!connection.isEmpty() && !connection.endsWith(u';'))
        connection += u';';
    connection += QLatin1String(key) + u'=' + odbcValue(value);
}

} // namespace

std::optional<OdbcAddress> parseOdbcServer(const QString& serverSetting) {
    const QString text = serverSetting.trimmed();
    if (text.isEmpty() || isOtherEngine(text))
        return std::nullopt;
    OdbcAddress a;
    a.shown = text;
    if (text.startsWith(QLatin1String("odbc:"), Qt::CaseInsensitive)) {
        a.kind = OdbcAddress::Kind::DataSource;
        a.source = text.mid(5).trimmed();
        if (a.source.isEmpty())
            return std::nullopt;
        return a;
    }
    // machine[\instance][,port], as SQL Server's own clients write it ("tcp:" allowed).
    static const QRegularExpression shape(
        QStringLiteral("^(?:tcp:)?([A-Za-z0-9_.\\-]+|\\(local\\))(?:\\\\([A-Za-z0-9_$#]+))?"
                       "(?:\\s*,\\s*(\\d{1,5}))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    a.machine = machineName(m.captured(1));
    a.instance = m.captured(2);
    a.port = m.captured(3);
    if (!a.port.isEmpty() && (a.port.toInt() < 1 || a.port.toInt() > 65535))
        return std::nullopt;
    return a;
}

QString addressMachine(const OdbcAddress& a) {
    if (a.kind == OdbcAddress::Kind::SqlServer)
        return a.machine;
    QString host = odbcKeyValue(a.source, "Server");
    if (host.isEmpty())
        host = odbcKeyValue(a.source, "Servername");
    return host.section(u'\\', 0, 0).section(u',', 0, 0);
}

QString odbcValue(const QString& value) {
    static const QRegularExpression reserved(QStringLiteral("[;{}=]|^\\s|\\s$"));
    if (!reserved.match(value).hasMatch())
        return value;
    return u'{' + QString(value).replace(u'}', QLatin1String("}}")) + u'}';
}

bool hasOdbcKey(const QString& connection, std::initializer_list<const char*> keys) {
    for (const auto& [key, value] : pairs(connection)) {
        for (const char* k : keys)
            if (key.compare(QLatin1String(k), Qt::CaseInsensitive) == 0)
                return true;
    }
    return false;
}

QString odbcKeyValue(const QString& connection, const char* key) {
    for (const auto& [k, value] : pairs(connection))
        if (k.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
            return value;
    return QString();
}

bool useCertificateAuthorities(const QString& machine, const QString& port, const QString& instance,
                               const QString& caFile) {
    static QTemporaryDir folder;
    if (!folder.isValid())
        return false;
    QFile conf(folder.filePath(QStringLiteral("freetds.conf")));
    if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray text = "[" + QByteArray(kCheckedServer) + "]\n\thost = " + machine.toUtf8() + '\n';
    if (!port.isEmpty() || instance.isEmpty())
        text += "\tport = " + (port.isEmpty() ? QByteArray("1433") : port.toUtf8()) + '\n';
    else
        text += "\tinstance = " + instance.toUtf8() + '\n';
    text += "\tca file = " + caFile.toUtf8() + "\n\tcheck certificate hostname = yes\n";
    if (conf.write(text) != text.size() || !conf.flush())
        return false;
    conf.close();
    return qputenv("FREETDSCONF", QFile::encodeName(conf.fileName()));
}

QString tdsSettingsPlace() {
    return QStringLiteral("the section [SQL SERVER] of ") + programSettingsFile();
}

TdsOptions tdsOptionsFromSettings(QString* problem) {
    const QString section = QStringLiteral("SQL SERVER");
    TdsOptions o;
    QStringList wrong;
    const auto pick = [&](const char* key, const QStringList& allowed) {
        const QString value = GetProgramSetting(section, QLatin1String(key)).trimmed();
        if (value.isEmpty() || value.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0)
            return QString();
        for (const QString& a : allowed)
            if (value.compare(a, Qt::CaseInsensitive) == 0)
                return a;
        wrong << QStringLiteral("%1=%2 (allowed: %3)")
                     .arg(QLatin1String(key), value, allowed.join(QStringLiteral(", ")));
        return QString();
    };
    o.version = pick("TDSVersion", {"7.1", "7.2", "7.3", "7.4"});
    o.encryption = pick("Encryption", {"off", "request", "require"});
    o.caFile = GetProgramSetting(section, QStringLiteral("CAFile")).trimmed();
    if (problem)
        *problem = wrong.isEmpty() ? QString()
                                   : QStringLiteral("These settings in %1 are not used: %2.")
                                         .arg(tdsSettingsPlace(), wrong.join(QStringLiteral("; ")));
    return o;
}

QString odbcConnectionString(const OdbcAddress& address, const Login& login,
                             const QString& database, const QString& driver, const QString& port,
                             const TdsOptions& tds) {
    QString c;
    if (address.kind == OdbcAddress::Kind::SqlServer) {
        c = QStringLiteral("Driver={") + QString(driver).replace(u'}', QLatin1String("}}")) + u'}';
        const QString tcpPort = !port.isEmpty() ? port : address.port;
        if (!tds.caFile.isEmpty()) {
            add(c, "Servername", QLatin1String(kCheckedServer)); // where the file is named
        } else if (tcpPort.isEmpty() && !address.instance.isEmpty()) {
            // No port known: the driver asks the SQL Browser itself.
            add(c, "Server", address.machine + u'\\' + address.instance);
        } else {
            add(c, "Server", address.machine);
            add(c, "Port", tcpPort.isEmpty() ? QStringLiteral("1433") : tcpPort);
        }
        if (!database.isEmpty())
            add(c, "Database", database);
        add(c, "UID", login.user);
        add(c, "PWD", login.password);
        // A fixed protocol version: with "auto" the driver tries one version after another,
        // each with the full login timeout.
        add(c, "TDS_Version", tds.version.isEmpty() ? QLatin1String(kNewestTds) : tds.version);
        if (!tds.encryption.isEmpty())
            add(c, "Encryption", tds.encryption);
        add(c, "ClientCharset", QStringLiteral("UTF-8"));
        add(c, "APP", QStringLiteral("Vantrex Report"));
        return c;
    }
    c = address.source.contains(u'=') ? address.source
                                      : QStringLiteral("DSN=") + odbcValue(address.source);
    if (!database.isEmpty() && !hasOdbcKey(c, {"Database", "DB"}))
        add(c, "Database", database);
    const bool hasLogin = hasOdbcKey(c, {"UID", "PWD", "User", "Username", "User ID", "Password"});
    if (!hasLogin && !login.user.isEmpty()) {
        add(c, "UID", login.user);
        add(c, "PWD", login.password);
    }
    return c;
}

} // namespace vx::db::odbc
