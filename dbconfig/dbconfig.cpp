#include "dbconfig/dbconfig.h"

#include "platform/settings.h"

#include <termios.h>
#include <unistd.h>

namespace vx {

namespace {
const QString kApp = QStringLiteral("JOV Settings");
const QString kSection = QStringLiteral("DATABASE");

QString current(const QString& key, const QString& def = QString()) {
    return GetSetting(kApp, kSection, key, def);
}

std::optional<QString> readLine(FILE* in) {
    QByteArray line;
    int c;
    while ((c = std::fgetc(in)) != EOF && c != '\n')
        line += static_cast<char>(c);
    if (c == EOF && line.isEmpty())
        return std::nullopt;
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

std::optional<QString> ask(FILE* in, FILE* out, const QString& prompt, const QString& def,
                           bool secret = false) {
    const QString shown = secret ? (def.isEmpty() ? QString() : QStringLiteral("keep")) : def;
    std::fprintf(out, "%s%s: ", prompt.toUtf8().constData(),
                 shown.isEmpty() ? "" : (" [" + shown + "]").toUtf8().constData());
    std::fflush(out);
    termios saved{};
    const bool hide = secret && ::isatty(fileno(in)) && ::tcgetattr(fileno(in), &saved) == 0;
    if (hide) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(fileno(in), TCSANOW, &quiet);
    }
    const std::optional<QString> answer = readLine(in);
    if (hide) {
        ::tcsetattr(fileno(in), TCSANOW, &saved);
        std::fputc('\n', out);
    }
    if (!answer)
        return std::nullopt;
    return answer->trimmed().isEmpty() ? def : answer->trimmed();
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
            c.server = next().value_or(QString());
            any = true;
        } else if (a == QLatin1String("--database")) {
            c.database = next().value_or(QString());
            any = true;
        } else if (a == QLatin1String("--user")) {
            c.user = next().value_or(QString());
        } else if (a == QLatin1String("--password")) {
            c.password = next().value_or(QString());
        } else if (a.startsWith(u'/') && a.contains(u'=')) {
            // The suite's common switches (/APP=, /DATAPATH= ...) carry nothing for this program.
        } else {
            o.error = QStringLiteral("unknown argument %1").arg(a);
        }
    }
    if (any || c.user || c.password) {
        if (c.server.trimmed().isEmpty() || c.database.trimmed().isEmpty())
            o.error = QStringLiteral("--server and --database are both needed");
        else
            o.config = c;
    }
    return o;
}

QString dbConfigUsage() {
    return QStringLiteral(
        "Usage: JOVDataConfiguration [--server S --database D [--user U] [--password P]]\n"
        "\n"
        "Sets the database of the suite's programs (settings \"JOV Settings\", section DATABASE).\n"
        "  S = sqlite:            the embedded database in the data path (file <data "
        "path>/D.sqlite)\n"
        "      sqlite:/folder     the embedded database in that folder\n"
        "      postgresql://host[:port][?host=/socket/dir]   a PostgreSQL server\n"
        "Without options it asks on the terminal; with nobody to ask it sets the embedded\n"
        "default (sqlite:, database JOV).\n");
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

std::optional<DbConfig> askOnTerminal(FILE* in, FILE* out) {
    std::fputs("Database configuration of the JOV programs\n"
               "  1  embedded database (SQLite, in the data path or a folder)\n"
               "  2  PostgreSQL server\n",
               out);
    const QString present = current(QStringLiteral("Server"));
    const QString defKind = present.startsWith(QLatin1String("postgresql:")) ? QStringLiteral("2")
                                                                             : QStringLiteral("1");
    const auto kind = ask(in, out, QStringLiteral("Engine"), defKind);
    if (!kind)
        return std::nullopt;
    DbConfig c;
    if (*kind == QLatin1String("2")) {
        const QString def = present.startsWith(QLatin1String("postgresql:"))
                                ? present
                                : QStringLiteral("postgresql://localhost");
        const auto server = ask(in, out, QStringLiteral("Server (postgresql://host[:port])"), def);
        if (!server)
            return std::nullopt;
        c.server = *server;
        const auto user = ask(in, out, QStringLiteral("User name"),
                              current(QStringLiteral("UserName"), QStringLiteral("sa")));
        if (!user)
            return std::nullopt;
        c.user = *user;
        const auto password =
            ask(in, out, QStringLiteral("Password"), current(QStringLiteral("Password")), true);
        if (!password)
            return std::nullopt;
        c.password = *password;
    } else {
        const QString def =
            present.startsWith(QLatin1String("sqlite:")) ? present.mid(7) : QString();
        const auto folder = ask(in, out, QStringLiteral("Folder (empty: the data path)"), def);
        if (!folder)
            return std::nullopt;
        c.server = QStringLiteral("sqlite:") + *folder;
    }
    const auto db = ask(in, out, QStringLiteral("Database"),
                        current(QStringLiteral("DBName"), QStringLiteral("JOV")));
    if (!db)
        return std::nullopt;
    c.database = *db;
    return c;
}

} // namespace vx
