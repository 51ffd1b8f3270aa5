#include "dbconfig/dbconfig.h"

#include "dbconfig/server_fields.h"
#include "platform/settings.h"

namespace vx {

namespace {
const QString kApp = QStringLiteral("JOV Settings");
const QString kSection = QStringLiteral("DATABASE");

QString current(const QString& key, const QString& def = QString()) {
    return GetSetting(kApp, kSection, key, def);
}
} // namespace

DbConfigOptions parseDbConfigOptions(const QStringList& args) {
    DbConfigOptions o;
    DbConfig c;
    bool any = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&]() -> std::optional<QString> {
            if (i + 1 < args.size())
                return args[++i];
            o.error = a + QStringLiteral(" needs a value");
            return std::nullopt;
        };
        if (a == QLatin1String("--help")) {
            o.help = true;
        } else if (a == QLatin1String("--server")) {
            c.server = next().value_or(QString()).trimmed();
            any = true;
        } else if (a == QLatin1String("--database")) {
            c.database = next().value_or(QString()).trimmed();
            any = true;
        } else if (a == QLatin1String("--user")) {
            c.user = next().value_or(QString());
        } else if (a == QLatin1String("--password")) {
            c.password = next().value_or(QString());
            // "-": from standard input, so that the password stays off the command line.
            o.passwordFromInput = c.password == QLatin1String("-");
            if (o.passwordFromInput)
                c.password = QString();
        } else if (a.startsWith(u'/') && a.contains(u'=')) {
            // The suite's common switches (/APP=, /DATAPATH= ...) carry nothing for this program.
        } else {
            o.error = QStringLiteral("unknown argument %1").arg(a);
        }
    }
    if (!o.error.isEmpty() || !(any || c.user || c.password))
        return o;
    if (c.server.isEmpty() || c.database.isEmpty())
        o.error = QStringLiteral("--server and --database are both needed");
    else if (parseServerSetting(c.server).engine == DbEngine::Embedded &&
             !c.server.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        o.error = QStringLiteral("--server \"%1\" names no database server (the forms are below)")
                      .arg(shownServer(c.server));
    else
        o.config = c;
    return o;
}

QString dbConfigUsage() {
    return QStringLiteral(
        "Usage: JOVDataConfiguration [--server S --database D [--user U]\n"
        "                             [--password P | --password -]]\n"
        "\n"
        "Sets the database of the suite's programs (settings \"JOV Settings\", section DATABASE).\n"
        "  S = sqlite:            the embedded database in the data path (file <data "
        "path>/D.sqlite)\n"
        "      sqlite:/folder     the embedded database in that folder\n"
        "      postgresql://host[:port][?host=/socket/dir]   a PostgreSQL server\n"
        "      SHOPPC\\JOVSERVER   a SQL Server as machine\\instance, machine or machine,port\n"
        "                         (quote the backslash in the shell: 'SHOPPC\\JOVSERVER')\n"
        "      odbc:Shop          an ODBC data source by its name (odbcinst -q -s lists them)\n"
        "      odbc:Driver={...};Server=...   an ODBC connection string; its own UID and PWD\n"
        "                         are used instead of U and P\n"
        "  U, P  the login of a server; the stored ones stay when not given (user sa when none)\n"
        "  --password -   reads P from standard input (one line), so that it stays off the\n"
        "                 command line and the shell's history; typed without echo on a terminal\n"
        "\n"
        "Without options it opens its window when a display can be seen, else asks on the\n"
        "terminal; with nobody to ask it sets the embedded default (sqlite:, database JOV).\n");
}

DbConfig embeddedDefault() {
    return DbConfig{QStringLiteral("sqlite:"), QStringLiteral("JOV"), {}, {}};
}

DbConfig presentDbConfig() {
    DbConfig c = embeddedDefault();
    const QString server = current(QStringLiteral("Server")).trimmed();
    if (!server.isEmpty()) {
        c.server = server;
        c.database = current(QStringLiteral("DBName"));
    }
    c.user = current(QStringLiteral("UserName"), QStringLiteral("sa"));
    c.password = current(QStringLiteral("Password"));
    return c;
}

bool userCanSeeWindows() {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    // "offscreen:fontengine=freetype" names the platform before its options.
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM").section(u':', 0, 0).trimmed();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

bool saveDbConfig(const DbConfig& config) {
    bool ok = SaveSetting(kApp, kSection, QStringLiteral("Server"), config.server) &&
              SaveSetting(kApp, kSection, QStringLiteral("DBName"), config.database);
    if (ok && config.user)
        ok = SaveSetting(kApp, kSection, QStringLiteral("UserName"), *config.user);
    if (ok && config.password)
        ok = SaveSetting(kApp, kSection, QStringLiteral("Password"), *config.password);
    return ok;
}

} // namespace vx
