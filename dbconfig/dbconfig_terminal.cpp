// The configuration program on a terminal: the engine and its values asked one by one, and a
// password read without echo.
#include "db/odbc/odbc_engine.h"
#include "dbconfig/dbconfig.h"
#include "dbconfig/server_fields.h"
#include "platform/settings.h"
#include "platform/terminal.h"

#include <functional>

namespace vx {

namespace {

QString current(const QString& key, const QString& def = QString()) {
    return GetSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"), key, def);
}

void print(FILE* out, const QString& text) {
    std::fputs(text.toUtf8().constData(), out);
    std::fflush(out);
}

// One question; an empty answer takes `def`. `shown` is how the default is offered (the
// default itself when empty). A secret answer is read without echo and kept as typed.
std::optional<QString> ask(FILE* in, FILE* out, const QString& prompt, const QString& def,
                           bool secret = false, const QString& shown = QString()) {
    const QString offered = secret ? (def.isEmpty() ? QString() : QStringLiteral("keep"))
                                   : (shown.isEmpty() ? def : shown);
    print(out, prompt + (offered.isEmpty() ? QString() : " [" + offered + "]") + ": ");
    std::optional<QString> answer;
    {
        const EchoOff quiet(in, secret);
        answer = readLine(in);
        if (quiet.active())
            print(out, QStringLiteral("\n"));
    }
    if (!answer)
        return std::nullopt;
    if (secret)
        return answer->isEmpty() ? def : *answer;
    return answer->trimmed().isEmpty() ? def : answer->trimmed();
}

// Asks until `problem` finds nothing wrong with the answer, telling what was wrong each time.
std::optional<QString> askUntil(FILE* in, FILE* out, const QString& prompt, const QString& def,
                                const std::function<QString(const QString&)>& problem,
                                const QString& shown = QString()) {
    for (;;) {
        const std::optional<QString> answer = ask(in, out, prompt, def, false, shown);
        if (!answer)
            return std::nullopt;
        const QString wrong = problem(*answer);
        if (wrong.isEmpty())
            return answer;
        print(out, QStringLiteral("  ") + wrong + u'\n');
    }
}

// Where the engine's database is: the Server setting, asked the way the engine writes it.
std::optional<QString> askServer(FILE* in, FILE* out, DbEngine engine, const QString& present) {
    const ServerFields now = parseServerSetting(present);
    const bool same = now.engine == engine;
    ServerFields f;
    f.engine = engine;
    switch (engine) {
    case DbEngine::Embedded: {
        const auto folder = ask(in, out, QStringLiteral("Folder (empty: the data path)"),
                                same ? now.folder : QString());
        if (!folder)
            return std::nullopt;
        f.folder = *folder;
        return composeServerSetting(f);
    }
    case DbEngine::PostgreSQL:
        return askUntil(in, out, QStringLiteral("Server (postgresql://host[:port])"),
                        same ? present.trimmed() : QStringLiteral("postgresql://localhost"),
                        [](const QString& a) {
                            return parseServerSetting(a).engine == DbEngine::PostgreSQL
                                       ? QString()
                                       : QStringLiteral("Write it as postgresql://host or "
                                                        "postgresql://host:port.");
                        });
    case DbEngine::SqlServer:
        return askUntil(in, out,
                        QStringLiteral("Server (SHOPPC\\JOVSERVER, SHOPPC or SHOPPC,port)"),
                        same ? now.sqlServer : QString(), [](const QString& a) {
                            ServerFields typed;
                            typed.engine = DbEngine::SqlServer;
                            typed.sqlServer = a;
                            return serverFieldsProblem(typed);
                        });
    case DbEngine::OdbcSource: {
        const QStringList sources = db::odbcDataSources();
        if (!sources.isEmpty())
            print(out, QStringLiteral("  Data sources here: ") +
                           sources.join(QStringLiteral(", ")) + u'\n');
        const QString def = same ? now.source : QString();
        const auto source = askUntil(
            in, out, QStringLiteral("Data source (DSN name or connection string)"), def,
            [](const QString& a) {
                ServerFields typed;
                typed.engine = DbEngine::OdbcSource;
                typed.source = a;
                return serverFieldsProblem(typed);
            },
            shownServer(QStringLiteral("odbc:") + def).mid(5));
        if (!source)
            return std::nullopt;
        f.source = *source;
        return composeServerSetting(f);
    }
    }
    return std::nullopt;
}

} // namespace

std::optional<DbConfig> askOnTerminal(FILE* in, FILE* out) {
    print(out, QStringLiteral("Database configuration of the JOV programs\n"
                              "  1  embedded database (SQLite, in the data path or a folder)\n"
                              "  2  PostgreSQL server\n"
                              "  3  SQL Server (server as SHOPPC\\JOVSERVER or SHOPPC,port)\n"
                              "  4  ODBC data source (DSN name or connection string)\n"));
    const QString present = current(QStringLiteral("Server"));
    const ServerFields now = parseServerSetting(present);
    const auto kind =
        askUntil(in, out, QStringLiteral("Engine"),
                 QString::number(static_cast<int>(now.engine) + 1), [](const QString& a) {
                     const int n = a.toInt();
                     return n >= 1 && n <= 4 ? QString() : QStringLiteral("Answer 1, 2, 3 or 4.");
                 });
    if (!kind)
        return std::nullopt;
    const auto engine = static_cast<DbEngine>(kind->toInt() - 1);
    DbConfig c;
    const auto server = askServer(in, out, engine, present);
    if (!server)
        return std::nullopt;
    c.server = *server;
    if (engine != DbEngine::Embedded) {
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
    }
    const auto db = ask(in, out, QStringLiteral("Database"),
                        current(QStringLiteral("DBName"), QStringLiteral("JOV")));
    if (!db)
        return std::nullopt;
    c.database = *db;
    return c;
}

} // namespace vx
