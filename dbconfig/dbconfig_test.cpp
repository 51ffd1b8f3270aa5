#include "dbconfig/connection_check.h"
#include "dbconfig/dbconfig.h"
#include "dbconfig/server_fields.h"
#include "testsupport/test_env.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(DbConfig, OptionsAreParsed) {
    struct Case {
        QStringList args;
        bool config, error;
    };
    const Case cases[] = {
        {{}, false, false},
        {{"--server", "sqlite:", "--database", "JOV"}, true, false},
        {{"/APP=x", "/DATAPATH=C:\\TK ", "--server", "sqlite:/d", "--database", "S"}, true, false},
        {{"--server", "sqlite:"}, false, true},
        {{"--user", "sa"}, false, true},
        {{"--server"}, false, true},
        {{"bogus"}, false, true},
    };
    for (const Case& c : cases) {
        const DbConfigOptions o = parseDbConfigOptions(c.args);
        EXPECT_EQ(o.config.has_value(), c.config) << c.args.join(u' ').toStdString();
        EXPECT_EQ(!o.error.isEmpty(), c.error) << c.args.join(u' ').toStdString();
    }
}

TEST(DbConfig, TerminalAnswersWithDefaults) {
    test::TestEnv env;
    struct Case {
        const char* input;
        std::optional<QString> server, database, user;
    };
    const Case cases[] = {
        {"\n\n\n", QStringLiteral("sqlite:"), QStringLiteral("JOV"), std::nullopt},
        {"1\n/srv/shop\nStore7\n", QStringLiteral("sqlite:/srv/shop"), QStringLiteral("Store7"),
         std::nullopt},
        {"2\npostgresql://db:5433\nclerk\nsecret\nShop\n", QStringLiteral("postgresql://db:5433"),
         QStringLiteral("Shop"), QStringLiteral("clerk")},
        {"2\n", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        FILE* in = fmemopen(const_cast<char*>(c.input), std::strlen(c.input), "r");
        FILE* out = std::fopen("/dev/null", "w");
        const auto cfg = askOnTerminal(in, out);
        std::fclose(in);
        std::fclose(out);
        ASSERT_EQ(cfg.has_value(), c.server.has_value()) << c.input;
        if (!cfg)
            continue;
        EXPECT_EQ(cfg->server, *c.server);
        EXPECT_EQ(cfg->database, *c.database);
        EXPECT_EQ(cfg->user, c.user);
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

} // namespace
} // namespace vx
