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
        const char* composed; // nullptr: the setting itself
    };
    const Case cases[] = {
        {"sqlite:", DbEngine::Embedded, "", "", "", "", nullptr},
        {" SQLite: /srv/shop ", DbEngine::Embedded, "/srv/shop", "", "", "", "sqlite:/srv/shop"},
        {"postgresql://db.example:5433", DbEngine::PostgreSQL, "", "db.example", "5433", "",
         nullptr},
        {"postgresql://localhost?host=/run/pg", DbEngine::PostgreSQL, "", "localhost", "",
         "/run/pg", nullptr},
        {"postgresql://localhost:5433?host=/run/my%20pg&sslmode=disable", DbEngine::PostgreSQL, "",
         "localhost", "5433", "/run/my pg", nullptr},
        {"postgres://clerk@db?port=6000", DbEngine::PostgreSQL, "", "db", "6000", "",
         "postgresql://db:6000"},
        {"postgresql://[::1]:5432", DbEngine::PostgreSQL, "", "::1", "5432", "", nullptr},
        {"SHOPPC\\JOVSERVER", DbEngine::Embedded, "", "", "", "", "sqlite:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        const ServerFields f = parseServerSetting(QString::fromUtf8(c.setting));
        EXPECT_EQ(f.engine, c.engine);
        EXPECT_EQ(f.folder, QString::fromUtf8(c.folder));
        EXPECT_EQ(f.host, QString::fromUtf8(c.host));
        EXPECT_EQ(f.port, QString::fromUtf8(c.port));
        EXPECT_EQ(f.socket, QString::fromUtf8(c.socket));
        EXPECT_EQ(composeServerSetting(f), QString::fromUtf8(c.composed ? c.composed : c.setting));
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
