#include "db/testing/backends.h"
#include "dbconfig/connection_check.h"
#include "dbconfig/dbconfig.h"
#include "dbconfig/server_fields.h"
#include "platform/settings.h"
#include "testsupport/test_env.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace vx {
namespace {

QString stored(const char* key) {
    return GetSetting("JOV Settings", "DATABASE", QLatin1String(key), "<none>");
}

TEST(DbConfig, OptionsAreParsed) {
    // clang-format off
    const struct { QStringList args; bool config, error, fromInput; } cases[] = {
        {{}, false, false, false},
        {{"--server", "sqlite:", "--database", "JOV"}, true, false, false},
        {{"--server", "SHOPPC\\JOVSERVER", "--database", "JOV", "--password", "-"}, true, false, true},
        {{"--server", "SHOPPC,notaport", "--database", "JOV"}, false, true, false},
        {{"--server", "sqlite:"}, false, true, false},
        {{"bogus"}, false, true, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const DbConfigOptions o = parseDbConfigOptions(c.args);
        EXPECT_EQ(o.config.has_value(), c.config);
        EXPECT_EQ(!o.error.isEmpty(), c.error) << o.error.toStdString();
        EXPECT_EQ(o.passwordFromInput, c.fromInput);
    }
}

TEST(DbConfig, TerminalAnswersWithDefaults) {
    // clang-format off
    // The Server setting before (nullptr: none), the answers, the configuration read as
    // "server|database|user|password" ("-": none; nullptr: no configuration).
    const struct { const char *present, *input, *config; } cases[] = {
        {nullptr, "\n\n\n", "sqlite:|JOV|-|-"},
        {nullptr, "2\npostgresql://db:5433\nclerk\n pass word \nShop\n", "postgresql://db:5433|Shop|clerk| pass word "},
        {nullptr, "2\n", nullptr},
        // A wrong engine number and a malformed SQL Server name are asked again.
        {nullptr, "9\n3\nSHOPPC,x\n SHOPPC\\JOVSERVER \n\nsecret\n\n", "SHOPPC\\JOVSERVER|JOV|sa|secret"},
        // The present setting's engine and values are the defaults.
        {"SHOPPC,1433", "\n\n\n\n\n", "SHOPPC,1433|Kept|kept-user|kept-pw"},
        {"odbc:Driver={FreeTDS};Server=db;PWD={in;string}", "\n\n\n\n\n",
         "odbc:Driver={FreeTDS};Server=db;PWD={in;string}|Kept|kept-user|kept-pw"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        test::TestEnv env;
        const std::pair<const char*, const char*> present[] = {{"Server", c.present},
                                                               {"DBName", "Kept"},
                                                               {"UserName", "kept-user"},
                                                               {"Password", "kept-pw"}};
        for (const auto& [key, value] : present)
            if (c.present)
                SaveSetting("JOV Settings", "DATABASE", key, QString::fromUtf8(value));
        FILE* in = fmemopen(const_cast<char*>(c.input), std::strlen(c.input), "r");
        char* buffer = nullptr;
        size_t size = 0;
        FILE* out = open_memstream(&buffer, &size);
        const auto cfg = askOnTerminal(in, out);
        std::fclose(in);
        std::fclose(out);
        const QByteArray shown(buffer, static_cast<qsizetype>(size));
        std::free(buffer);
        // Passwords are never shown, the present one nor one inside a connection string.
        EXPECT_FALSE(shown.contains("kept-pw") || shown.contains("in;string")) << shown.data();
        ASSERT_EQ(cfg.has_value(), c.config != nullptr) << shown.data();
        if (cfg) {
            EXPECT_EQ(QStringList({cfg->server, cfg->database, cfg->user.value_or("-"),
                                   cfg->password.value_or("-")})
                          .join(u'|'),
                      QString::fromUtf8(c.config));
        }
    }
}

// A Server setting comes apart into the window's fields ("engine|folder|host|port|socket|where",
// where: the SQL Server name or the ODBC source) and goes back together.
TEST(DbConfig, ServerSettingsComeApartAndGoBackTogether) {
    // clang-format off
    const char* cases[][3] = { // setting, fields, composed again (nullptr: the setting itself)
        {"sqlite:", "0|||||", nullptr},
        {" SQLite: /srv/shop ", "0|/srv/shop||||", "sqlite:/srv/shop"},
        {"postgresql://localhost:5433?host=/run/my%20pg&sslmode=disable", "1||localhost|5433|/run/my pg|", nullptr},
        {"postgres://clerk@db?port=6000", "1||db|6000||", "postgresql://db:6000"},
        {"SHOPPC\\JOVSERVER", "2|||||SHOPPC\\JOVSERVER", nullptr},
        {"ODBC: Driver={FreeTDS};Server=db ", "3|||||Driver={FreeTDS};Server=db", "odbc:Driver={FreeTDS};Server=db"},
        // Values no engine takes read as the embedded engine in the data path.
        {"SHOPPC,notaport", "0|||||", "sqlite:"},
    };
    // clang-format on
    for (const auto& [setting, fields, composed] : cases) {
        const ServerFields f = parseServerSetting(QString::fromUtf8(setting));
        const QString where = f.engine == DbEngine::SqlServer ? f.sqlServer : f.source;
        EXPECT_EQ(
            QStringList({QString::number(int(f.engine)), f.folder, f.host, f.port, f.socket, where})
                .join(u'|'),
            fields)
            << setting;
        EXPECT_EQ(composeServerSetting(f), QString::fromUtf8(composed ? composed : setting));
    }
}

TEST(DbConfig, TypedServersAreCheckedBeforeUse) {
    // clang-format off
    const struct { DbEngine engine; const char *typed, *problem, *composed; } cases[] = { // problem "": none
        {DbEngine::SqlServer, "  ", "Enter the name of the SQL Server", ""},
        {DbEngine::SqlServer, "odbc:Shop;PWD=hunter22", "not a SQL Server name", "odbc:Shop;PWD=hunter22"},
        {DbEngine::OdbcSource, "Shop", "", "odbc:Shop"},
        {DbEngine::OdbcSource, "", "Choose an ODBC data source", "odbc:"},
    };
    // clang-format on
    for (const auto& c : cases) {
        ServerFields f;
        f.engine = c.engine;
        (c.engine == DbEngine::SqlServer ? f.sqlServer : f.source) = QString::fromUtf8(c.typed);
        const QString problem = serverFieldsProblem(f);
        EXPECT_EQ(problem.isEmpty(), !*c.problem) << c.typed << problem.toStdString();
        EXPECT_TRUE(problem.contains(QString::fromUtf8(c.problem)) && !problem.contains("hunter22"))
            << c.typed << problem.toStdString();
        EXPECT_EQ(composeServerSetting(f), QString::fromUtf8(c.composed));
    }
}

// Test connection on every backend's test database: found, missing, a wrong password. Beside
// the embedded engine, what is wrong with its folder or name, and servers that cannot be reached:
// each said at once, without the password, and no check creates a database.
class ConnectionCheckOn : public dbtest::BackendTest {};

TEST_P(ConnectionCheckOn, SaysWhatIsFoundOrWrong) {
    ASSERT_TRUE(db().raw(QStringLiteral("CREATE TABLE VENDOR (VendorId CHAR(6))")));
    const db::Login& login = db().login();
    const QString data = env_.root() + QStringLiteral("/data"), wrong = "Wr0ng-pass-word";
    const bool server = dbtest::onPostgresServer(GetParam());
    const QString wrongSays =
        GetParam() == dbtest::BackendKind::PostgreSQL
            ? QStringLiteral("password authentication failed")
            : QStringLiteral("refused the login of user \"%1\"").arg(login.user);
    const QString list = server ? QStringLiteral("Databases on the server: ") : QString();
    const QString ownLogin =
        QStringLiteral("%1;UID=%2;PWD={%3}").arg(login.server, login.user, login.password);
    struct Case {
        QString server, database, password, dataPath;
        QStringList says;
    };
    // clang-format off
    std::vector<Case> cases = {
        {login.server, login.database, login.password, data, {"Connection succeeded", "(1 table)", list, login.database}},
        {login.server, "nosuch_db", login.password, data, {"no database \"nosuch_db\"", list}},
    };
    if (server)
        cases.push_back({login.server, login.database, wrong, data, {wrongSays}});
    if (GetParam() == dbtest::BackendKind::ODBC) // a connection string's own login is used
        cases.push_back({ownLogin, login.database, wrong, data, {"Connection succeeded"}});
    if (GetParam() == dbtest::BackendKind::SQLite) {
        test::TestEnv::writeFile(data + QStringLiteral("/junk.sqlite"), QByteArray(4096, 'x'));
        cases.insert(cases.end(), {
            {"sqlite:" + data, login.database, wrong, "", {"Connection succeeded"}},
            {"sqlite:", "junk", wrong, data, {"cannot be opened"}},
            {"sqlite:", login.database, wrong, "", {"No data path is set"}},
            {"sqlite:", "", wrong, data, {"Enter the name of the database"}},
            {"postgresql://127.0.0.1:1", "Shop", wrong, "", {"Cannot connect to the server: "}},
            {"127.0.0.1,1", "JOV", wrong, "", {"127.0.0.1 refused the connection to port 1"}},
            {"odbc:Driver={No Such Driver};Servername=x;PWD=" + wrong, "JOV", wrong, "",
             {"the ODBC driver it names is not installed"}},
        });
    }
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server.toStdString() + " " + c.database.toStdString());
        QElapsedTimer clock;
        clock.start();
        const ConnectionCheck check = checkConnection(
            {c.server, c.database, server ? login.user : QString(), c.password}, c.dataPath);
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_EQ(check.ok, c.says.first() == "Connection succeeded");
        for (const QString& part : c.says)
            EXPECT_TRUE(check.message.contains(part)) << check.message.toStdString();
        EXPECT_FALSE(check.message.contains(wrong) ||
                     (!login.password.isEmpty() && check.message.contains(login.password)));
    }
    EXPECT_FALSE(QFileInfo::exists(data + "/nosuch_db.sqlite"));
}

INSTANTIATE_TEST_SUITE_P(Backends, ConnectionCheckOn, ::testing::ValuesIn(dbtest::allBackends()),
                         dbtest::backendName);

TEST(DbConfig, AWindowIsShownOnlyWhereSomeoneCanSeeIt) {
    const std::tuple<const char*, const char*, const char*, bool> cases[] = {
        {":0", "", "", true},
        {"", "wayland-0", "wayland", true},
        {"", "", "", false},
        {":0", "", "offscreen:fontengine=freetype", false}};
    for (const auto& [display, wayland, platform, window] : cases) {
        test::TestEnv env;
        env.setEnv("DISPLAY", QString::fromUtf8(display));
        env.setEnv("WAYLAND_DISPLAY", QString::fromUtf8(wayland));
        env.setEnv("QT_QPA_PLATFORM", QString::fromUtf8(platform));
        EXPECT_EQ(userCanSeeWindows(), window) << display << wayland << platform;
    }
}

// The built program with "--password -": the password comes from standard input (its first line)
// or is typed on a terminal after the prompt, and is never shown.
TEST(DbConfigProgram, ThePasswordComesFromInputAndIsNeverShown) {
    for (const char* input : {" pass word \r\nmore\n", static_cast<const char*>(nullptr)}) {
        const QByteArray password = input ? " pass word " : "typed-secret";
        test::TestEnv env;
        int master = -1, slave = -1;
        QProcess p;
        if (!input) {
            ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
            p.setStandardInputFile(QString::fromLocal8Bit(::ttyname(slave)));
        }
        p.start(test::binDir() + QStringLiteral("/JOVDataConfiguration"),
                {"--server", "SHOPPC\\JOVSERVER", "--database", "JOV", "--password", "-"});
        ASSERT_TRUE(p.waitForStarted(5000));
        QByteArray shown;
        if (input) {
            p.write(input);
            p.closeWriteChannel();
        } else { // the prompt comes once the echo is off
            p.setReadChannel(QProcess::StandardError);
            while (!shown.contains("Password: ") && p.waitForReadyRead(5000))
                shown += p.readAllStandardError();
            ASSERT_TRUE(shown.contains("Password: ")) << shown.toStdString();
            ASSERT_EQ(::write(master, "typed-secret\n", 13), 13);
        }
        EXPECT_TRUE(p.waitForFinished(10000));
        shown += p.readAllStandardError() + p.readAllStandardOutput();
        EXPECT_EQ(p.exitCode(), 0) << shown.toStdString();
        if (!input) {
            pollfd fd{master, POLLIN, 0};
            char buffer[256];
            for (ssize_t n; ::poll(&fd, 1, 200) > 0 && (n = ::read(master, buffer, 256)) > 0;)
                shown.append(buffer, n);
            ::close(master);
            ::close(slave);
        }
        EXPECT_FALSE(shown.contains(password)) << shown.toStdString();
        EXPECT_EQ(stored("Password"), QString::fromUtf8(password));
    }
}

} // namespace
} // namespace vx
