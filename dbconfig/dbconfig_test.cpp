#include "dbconfig/connection_check.h"
#include "dbconfig/dbconfig.h"
#include "dbconfig/server_fields.h"
#include "platform/settings.h"
#include "testsupport/test_env.h"

#include <QFile>
#include <QProcess>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {
namespace {

TEST(DbConfig, OptionsAreParsed) {
    struct Case {
        QStringList args;
        bool config, error;
        bool fromInput = false;
    };
    const Case cases[] = {
        {{}, false, false},
        {{"--server", "sqlite:", "--database", "JOV"}, true, false},
        {{"/APP=x", "/DATAPATH=C:\\TK ", "--server", "sqlite:/d", "--database", "S"}, true, false},
        {{"--server", "SHOPPC\\JOVSERVER", "--database", "JOV", "--password", "-"},
         true,
         false,
         true},
        {{"--server", "odbc:DSN=Shop", "--database", "JOV", "--password", "-x"}, true, false},
        {{"--server", "SHOPPC,1433", "--database", "JOV"}, true, false},
        {{"--server", "SHOPPC,notaport", "--database", "JOV"}, false, true},
        {{"--server", "odbc:", "--database", "JOV"}, false, true},
        {{"--server", "sqlite:"}, false, true},
        {{"--user", "sa"}, false, true},
        {{"--password", "-"}, false, true, true},
        {{"--server"}, false, true},
        {{"bogus"}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const DbConfigOptions o = parseDbConfigOptions(c.args);
        EXPECT_EQ(o.config.has_value(), c.config);
        EXPECT_EQ(!o.error.isEmpty(), c.error) << o.error.toStdString();
        EXPECT_EQ(o.passwordFromInput, c.fromInput);
        if (o.config && o.passwordFromInput) {
            EXPECT_NE(o.config->password, QStringLiteral("-"));
        }
    }
}

// What the terminal shows while `input` answers askOnTerminal, and what it returns.
std::optional<DbConfig> answerOnTerminal(const char* input, QByteArray& shown) {
    FILE* in = fmemopen(const_cast<char*>(input), std::strlen(input), "r");
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    const auto cfg = askOnTerminal(in, out);
    std::fclose(in);
    std::fclose(out);
    shown = QByteArray(buffer, static_cast<qsizetype>(size));
    std::free(buffer);
    return cfg;
}

TEST(DbConfig, TerminalAnswersWithDefaults) {
    struct Case {
        const char* present; // the Server setting before (nullptr: none)
        const char* input;
        std::optional<QString> server, database, user, password;
    };
    const Case cases[] = {
        {nullptr, "\n\n\n", QStringLiteral("sqlite:"), QStringLiteral("JOV"), {}, {}},
        {nullptr,
         "1\n/srv/shop\nStore7\n",
         QStringLiteral("sqlite:/srv/shop"),
         QStringLiteral("Store7"),
         {},
         {}},
        {nullptr, "2\npostgresql://db:5433\nclerk\n pass word \nShop\n",
         QStringLiteral("postgresql://db:5433"), QStringLiteral("Shop"), QStringLiteral("clerk"),
         QStringLiteral(" pass word ")},
        {nullptr, "2\n", {}, {}, {}, {}},
        // A wrong engine number and a malformed SQL Server name are asked again.
        {nullptr, "9\n3\nSHOPPC,x\n SHOPPC\\JOVSERVER \n\nsecret\n\n",
         QStringLiteral("SHOPPC\\JOVSERVER"), QStringLiteral("JOV"), QStringLiteral("sa"),
         QStringLiteral("secret")},
        {nullptr, "4\n\nDSN=Shop\nclerk\npw\nShop\n", QStringLiteral("odbc:DSN=Shop"),
         QStringLiteral("Shop"), QStringLiteral("clerk"), QStringLiteral("pw")},
        // The present setting's engine and values are the defaults.
        {"SHOPPC,1433", "\n\n\n\n\n", QStringLiteral("SHOPPC,1433"), QStringLiteral("Kept"),
         QStringLiteral("kept-user"), QStringLiteral("kept-pw")},
        {"postgresql://db:5433", "\n\n\n\n\n", QStringLiteral("postgresql://db:5433"),
         QStringLiteral("Kept"), QStringLiteral("kept-user"), QStringLiteral("kept-pw")},
        {"odbc:Driver={FreeTDS};Server=db;PWD={in;string}", "\n\n\n\n\n",
         QStringLiteral("odbc:Driver={FreeTDS};Server=db;PWD={in;string}"), QStringLiteral("Kept"),
         QStringLiteral("kept-user"), QStringLiteral("kept-pw")},
        {"SHOPPC,1433", "3\n\n", {}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        test::TestEnv env;
        if (c.present) {
            SaveSetting("JOV Settings", "DATABASE", "Server", QString::fromUtf8(c.present));
            SaveSetting("JOV Settings", "DATABASE", "DBName", "Kept");
            SaveSetting("JOV Settings", "DATABASE", "UserName", "kept-user");
            SaveSetting("JOV Settings", "DATABASE", "Password", "kept-pw");
        }
        QByteArray shown;
        const auto cfg = answerOnTerminal(c.input, shown);
        // Passwords are never shown, the present one nor one inside a connection string.
        EXPECT_FALSE(shown.contains("kept-pw") || shown.contains("in;string")) << shown.data();
        ASSERT_EQ(cfg.has_value(), c.server.has_value()) << shown.data();
        if (!cfg)
            continue;
        EXPECT_EQ(cfg->server, *c.server);
        EXPECT_EQ(cfg->database, *c.database);
        EXPECT_EQ(cfg->user, c.user);
        EXPECT_EQ(cfg->password, c.password);
    }
}

TEST(DbConfig, ServerSettingsComeApartAndGoBackTogether) {
    struct Case {
        const char* setting;
        DbEngine engine;
        const char *folder, *host, *port, *socket;
        const char* where;    // SQL Server: the name; ODBC: the source
        const char* composed; // nullptr: the setting itself
    };
    const Case cases[] = {
        {"sqlite:", DbEngine::Embedded, "", "", "", "", "", nullptr},
        {" SQLite: /srv/shop ", DbEngine::Embedded, "/srv/shop", "", "", "", "",
         "sqlite:/srv/shop"},
        {"postgresql://db.example:5433", DbEngine::PostgreSQL, "", "db.example", "5433", "", "",
         nullptr},
        {"postgresql://localhost?host=/run/pg", DbEngine::PostgreSQL, "", "localhost", "",
         "/run/pg", "", nullptr},
        {"postgresql://localhost:5433?host=/run/my%20pg&sslmode=disable", DbEngine::PostgreSQL, "",
         "localhost", "5433", "/run/my pg", "", nullptr},
        {"postgres://clerk@db?port=6000", DbEngine::PostgreSQL, "", "db", "6000", "", "",
         "postgresql://db:6000"},
        {"postgresql://[::1]:5432", DbEngine::PostgreSQL, "", "::1", "5432", "", "", nullptr},
        {"SHOPPC\\JOVSERVER", DbEngine::SqlServer, "", "", "", "", "SHOPPC\\JOVSERVER", nullptr},
        {" SHOPPC,1433 ", DbEngine::SqlServer, "", "", "", "", "SHOPPC,1433", "SHOPPC,1433"},
        {"SHOPPC", DbEngine::SqlServer, "", "", "", "", "SHOPPC", nullptr},
        {"odbc:DSN=Shop", DbEngine::OdbcSource, "", "", "", "", "DSN=Shop", nullptr},
        {"ODBC: Driver={FreeTDS};Server=db ", DbEngine::OdbcSource, "", "", "", "",
         "Driver={FreeTDS};Server=db", "odbc:Driver={FreeTDS};Server=db"},
        // Values no engine takes read as the embedded engine in the data path.
        {"SHOPPC,notaport", DbEngine::Embedded, "", "", "", "", "", "sqlite:"},
        {"odbc:", DbEngine::Embedded, "", "", "", "", "", "sqlite:"},
        {"SHOP PC", DbEngine::Embedded, "", "", "", "", "", "sqlite:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        const ServerFields f = parseServerSetting(QString::fromUtf8(c.setting));
        EXPECT_EQ(f.engine, c.engine);
        EXPECT_EQ(f.folder, QString::fromUtf8(c.folder));
        EXPECT_EQ(f.host, QString::fromUtf8(c.host));
        EXPECT_EQ(f.port, QString::fromUtf8(c.port));
        EXPECT_EQ(f.socket, QString::fromUtf8(c.socket));
        EXPECT_EQ(f.engine == DbEngine::SqlServer ? f.sqlServer : f.source,
                  QString::fromUtf8(c.where));
        EXPECT_EQ(composeServerSetting(f), QString::fromUtf8(c.composed ? c.composed : c.setting));
    }
}

TEST(DbConfig, TypedServersAreCheckedBeforeUse) {
    struct Case {
        DbEngine engine;
        const char* typed;
        const char* problem; // "": none
        const char* composed;
    };
    const Case cases[] = {
        {DbEngine::SqlServer, "SHOPPC\\JOVSERVER", "", "SHOPPC\\JOVSERVER"},
        {DbEngine::SqlServer, "  ", "Enter the name of the SQL Server", ""},
        {DbEngine::SqlServer, "SHOPPC,99999", "not a SQL Server name", "SHOPPC,99999"},
        {DbEngine::SqlServer, "SHOP PC", "not a SQL Server name", "SHOP PC"},
        {DbEngine::SqlServer, "odbc:Shop;PWD=hunter22", "not a SQL Server name",
         "odbc:Shop;PWD=hunter22"},
        {DbEngine::OdbcSource, "Shop", "", "odbc:Shop"},
        {DbEngine::OdbcSource, "odbc:DSN=Shop", "", "odbc:DSN=Shop"}, // typed with its prefix
        {DbEngine::OdbcSource, "", "Choose an ODBC data source", "odbc:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ServerFields f;
        f.engine = c.engine;
        (c.engine == DbEngine::SqlServer ? f.sqlServer : f.source) = QString::fromUtf8(c.typed);
        const QString problem = serverFieldsProblem(f);
        EXPECT_EQ(problem.isEmpty(), !*c.problem) << problem.toStdString();
        EXPECT_TRUE(problem.contains(QString::fromUtf8(c.problem))) << problem.toStdString();
        EXPECT_FALSE(problem.contains("hunter22"));
        EXPECT_EQ(composeServerSetting(f), QString::fromUtf8(c.composed));
    }
}

TEST(DbConfig, ConnectionStringPasswordsStayOutOfMessages) {
    test::TestEnv env;
    struct Case {
        const char* server;
        const char* says;
    };
    const Case cases[] = {
        {"odbc:Driver={No Such Driver};Servername=x;PWD=hunter22",
         "the ODBC driver it names is not installed"},
        {"odbc:DSN=NoSuchSource;Password={hunter22}", "no ODBC data source of that name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        const QString server = QString::fromUtf8(c.server);
        EXPECT_FALSE(shownServer(server).contains("hunter22"));
        const ConnectionCheck check = checkConnection(
            {server, QStringLiteral("JOV"), QStringLiteral("sa"), QStringLiteral("other")}, {});
        EXPECT_FALSE(check.ok);
        EXPECT_TRUE(check.message.contains(QString::fromUtf8(c.says)))
            << check.message.toStdString();
        EXPECT_FALSE(check.message.contains("hunter22")) << check.message.toStdString();
    }
}

TEST(DbConfig, AWindowIsShownOnlyWhereSomeoneCanSeeIt) {
    struct Case {
        const char *display, *wayland, *platform;
        bool window;
    };
    const Case cases[] = {
        {":0", "", "", true},
        {"", "wayland-0", "wayland", true},
        {"", "", "", false},
        {":0", "", "offscreen", false},
        {":0", "", "offscreen:fontengine=freetype", false},
        {"", "wayland-0", "minimal", false},
    };
    for (const Case& c : cases) {
        test::TestEnv env;
        env.setEnv("DISPLAY", QString::fromUtf8(c.display));
        env.setEnv("WAYLAND_DISPLAY", QString::fromUtf8(c.wayland));
        env.setEnv("QT_QPA_PLATFORM", QString::fromUtf8(c.platform));
        EXPECT_EQ(userCanSeeWindows(), c.window) << c.display << c.wayland << c.platform;
    }
}

// The built program, started in the test's throw-away home.
void startProgram(QProcess& p, const QStringList& args) {
    p.start(test::binDir() + QStringLiteral("/JOVDataConfiguration"), args);
    EXPECT_TRUE(p.waitForStarted(5000));
}

struct ProgramRun {
    int status = -1;
    QByteArray out, err;
};

ProgramRun finish(QProcess& p) {
    if (!p.waitForFinished(10000)) {
        ADD_FAILURE() << "JOVDataConfiguration did not end";
        p.kill();
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QString stored(const char* key) {
    return GetSetting("JOV Settings", "DATABASE", QLatin1String(key), "<none>");
}

TEST(DbConfigProgram, ThePasswordComesFromStandardInput) {
    struct Case {
        QByteArray input;
        int status;
        const char* password; // stored; nullptr: nothing saved
    };
    const Case cases[] = {
        {"secret\n", 0, "secret"},
        {" pass word \r\nmore\n", 0, " pass word "},
        {"last-line-without-newline", 0, "last-line-without-newline"},
        {"", 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        test::TestEnv env;
        QProcess p;
        startProgram(p, {"--server", "SHOPPC\\JOVSERVER", "--database", "JOV", "--user", "sa",
                         "--password", "-"});
        p.write(c.input);
        p.closeWriteChannel();
        const ProgramRun run = finish(p);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        if (c.password) {
            EXPECT_FALSE(run.out.contains(c.password) || run.err.contains(c.password));
            EXPECT_FALSE(run.err.contains("Password:")); // no prompt when nobody types
        }
        EXPECT_EQ(stored("Server"), c.password ? "SHOPPC\\JOVSERVER" : "<none>");
        EXPECT_EQ(stored("DBName"), c.password ? "JOV" : "<none>");
        EXPECT_EQ(stored("UserName"), c.password ? "sa" : "<none>");
        EXPECT_EQ(stored("Password"), c.password ? c.password : "<none>");
        const QString file = env.configDir() + QStringLiteral("/jov/JOV Settings.ini");
        struct stat st {};
        const bool written = ::stat(QFile::encodeName(file).constData(), &st) == 0;
        EXPECT_EQ(written, c.password != nullptr);
        if (written) {
            EXPECT_EQ(st.st_mode & 0777, 0600u);
        }
    }
}

// What the terminal shows: everything written to the pseudo-terminal's other side.
QByteArray terminalShows(int master, int waitMs) {
    QByteArray shown;
    pollfd fd{master, POLLIN, 0};
    char buffer[256];
    while (::poll(&fd, 1, waitMs) > 0) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        shown.append(buffer, n);
    }
    return shown;
}

TEST(DbConfigProgram, APasswordTypedOnATerminalIsNotEchoed) {
    test::TestEnv env;
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    QProcess p;
    p.setStandardInputFile(QString::fromLocal8Bit(::ttyname(slave)));
    startProgram(p, {"--server", "odbc:DSN=Shop", "--database", "JOV", "--password", "-"});
    // The prompt comes once the echo is off; what is typed after it must not show.
    QByteArray err;
    p.setReadChannel(QProcess::StandardError);
    while (!err.contains("Password: ") && p.waitForReadyRead(5000))
        err += p.readAllStandardError();
    ASSERT_TRUE(err.contains("Password: ")) << err.toStdString();
    ASSERT_EQ(::write(master, "typed-secret\n", 13), 13);
    const ProgramRun run = finish(p);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_FALSE(terminalShows(master, 200).contains("typed-secret"));
    EXPECT_EQ(stored("Password"), "typed-secret");
    EXPECT_EQ(stored("Server"), "odbc:DSN=Shop");
    ::close(master);
    ::close(slave);
}

} // namespace
} // namespace vx
