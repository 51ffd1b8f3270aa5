// The "Server" setting read as an ODBC address, and the connection strings built from it.
#include "db/odbc/odbc_address.h"
#include "platform/settings.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx::db::odbc {
namespace {

TEST(OdbcAddress, ConnectionStringOfEachServerFormAndPin) {
    const Login sa{{}, QStringLiteral("JOV"), QStringLiteral("sa"), QStringLiteral("pw")};
    const QString tail = QStringLiteral(";Database=JOV;UID=sa;PWD=pw;TDS_Version=7.4;"
                                        "ClientCharset=UTF-8;APP=Vantrex Report");
    const QString login = QStringLiteral(";Database=JOV;UID=sa;PWD=pw;");
    const QString app = QStringLiteral("ClientCharset=UTF-8;APP=Vantrex Report");
    const TdsOptions none;
    const TdsOptions old{"7.1", "off", ""};
    const TdsOptions checked{"", "require", "/etc/ssl/shop ca.pem"};
    const struct {
        QString server;
        QString browserPort; // the SQL Browser's answer for a named instance
        TdsOptions tds;
        QString expected;
    } cases[] = {
        {"SHOPPC\\JOVSERVER", "1501", none, "Driver={FreeTDS};Server=SHOPPC;Port=1501" + tail},
        {"SHOPPC\\JOVSERVER", "", none, "Driver={FreeTDS};Server=SHOPPC\\JOVSERVER" + tail},
        {" shoppc , 1500 ", "", none, "Driver={FreeTDS};Server=shoppc;Port=1500" + tail},
        {"tcp:10.0.0.5,1433", "", none, "Driver={FreeTDS};Server=10.0.0.5;Port=1433" + tail},
        {"(local)\\SQLEXPRESS", "50000", none,
         "Driver={FreeTDS};Server=localhost;Port=50000" + tail},
        {".", "", none, "Driver={FreeTDS};Server=localhost;Port=1433" + tail},
        // The administrator's pins, in the driver's words.
        {"SHOPPC", "", old,
         "Driver={FreeTDS};Server=SHOPPC;Port=1433" + login + "TDS_Version=7.1;Encryption=off;" +
             app},
        {"SHOPPC", "", checked,
         "Driver={FreeTDS};Servername=vantrex-report" + login +
             "TDS_Version=7.4;Encryption=require;" + app}, // the file goes in the driver's own
        // Any data source: a DSN name, a connection string; the login is added unless given,
        // and the pins are not: the string says what it means.
        {"odbc: DSN=Shop ", "", old, "DSN=Shop;Database=JOV;UID=sa;PWD=pw"},
        {"odbc:Driver={PostgreSQL Unicode};Servername=/run/pg;Port=5432", "", none,
         "Driver={PostgreSQL Unicode};Servername=/run/pg;Port=5432;Database=JOV;UID=sa;PWD=pw"},
        {"odbc:DSN=Shop;uid=report;pwd={a;b}", "", none,
         "DSN=Shop;uid=report;pwd={a;b};Database=JOV"},
        {"odbc:Driver=FreeTDS;Server=s;TDS_Version=7.2;Database=Other;", "", checked,
         "Driver=FreeTDS;Server=s;TDS_Version=7.2;Database=Other;UID=sa;PWD=pw"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server.toStdString());
        const auto a = parseOdbcServer(c.server);
        ASSERT_TRUE(a);
        EXPECT_EQ(odbcConnectionString(*a, sa, QStringLiteral("JOV"), QStringLiteral("FreeTDS"),
                                       c.browserPort, c.tds),
                  c.expected);
    }
}

// The pins live in the program's own settings, never in the suite's; a value the driver would
// not understand is named, not passed on.
TEST(OdbcAddress, PinsComeFromTheProgramsOwnSettingsOnly) {
    const struct {
        const char* own;   // vantrex-report.ini
        const char* suite; // JOV Settings.ini
        TdsOptions expected;
        const char* problem;
    } cases[] = {
        {"", "[SQL SERVER]\nTDSVersion=7.1\n", {}, ""},
        {"[SQL SERVER]\nTDSVersion = 7.2\nEncryption=REQUIRE\nCAFile= /x/ca.pem \n",
         "",
         {"7.2", "require", "/x/ca.pem"},
         ""},
        {"[sql server]\ntdsversion=Auto\nencryption=off\n", "", {"", "off", ""}, ""},
        {"[SQL SERVER]\nTDSVersion=8.0\nEncryption=yes\n",
         "",
         {},
         "TDSVersion=8.0 (allowed: 7.1, 7.2, 7.3, 7.4); Encryption=yes (allowed: off, "
         "request, require)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.own);
        test::TestEnv env;
        env.writeFile(programSettingsFile(), c.own);
        env.writeFile(settingsFile(QStringLiteral("JOV Settings")), c.suite);
        QString problem;
        const TdsOptions got = tdsOptionsFromSettings(&problem);
        EXPECT_EQ(got.version, c.expected.version);
        EXPECT_EQ(got.encryption, c.expected.encryption);
        EXPECT_EQ(got.caFile, c.expected.caFile);
        EXPECT_EQ(problem.isEmpty(), !*c.problem);
        EXPECT_TRUE(!*c.problem || problem.endsWith(QString::fromUtf8(c.problem)))
            << problem.toStdString();
    }
}

TEST(OdbcAddress, ReservedCharactersTravelInBracesAndTheDatabaseMayBeLeftOut) {
    const auto a = parseOdbcServer(QStringLiteral("SHOPPC,1433"));
    ASSERT_TRUE(a);
    const Login login{{}, {}, QStringLiteral("clerk"), QStringLiteral(" p;w}x=")};
    EXPECT_EQ(odbcConnectionString(*a, login, QString(), QStringLiteral("/usr/lib/odbc/tds.so")),
              QStringLiteral("Driver={/usr/lib/odbc/tds.so};Server=SHOPPC;Port=1433;UID=clerk;"
                             "PWD={ p;w}}x=};TDS_Version=7.4;ClientCharset=UTF-8;"
                             "APP=Vantrex Report"));
    EXPECT_EQ(odbcKeyValue(QStringLiteral("DSN=x; PWD = { p;w}}x=} ;Port=1"), "pwd"),
              QStringLiteral(" p;w}x="));
    EXPECT_EQ(odbcKeyValue(QStringLiteral("Server=a;Port=1"), "server"), QStringLiteral("a"));
    EXPECT_TRUE(odbcKeyValue(QStringLiteral("Server=a"), "Port").isEmpty());
}

TEST(OdbcAddress, OtherEnginesAndUnreadableNamesAreNotOdbc) {
    for (const char* server : {"  ", "SQLite:/data", "postgres://h", "odbc:  ", "SHOPPC,port",
                               "SHOPPC,70000", "a\\b\\c", "two words", "mysql://x", "host/path"}) {
        EXPECT_FALSE(parseOdbcServer(QString::fromUtf8(server))) << server;
    }
    const auto named = parseOdbcServer(QStringLiteral("SHOPPC\\JOVSERVER,1502"));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->machine, QStringLiteral("SHOPPC"));
    EXPECT_EQ(named->instance, QStringLiteral("JOVSERVER"));
    EXPECT_EQ(named->port, QStringLiteral("1502"));
}

} // namespace
} // namespace vx::db::odbc
