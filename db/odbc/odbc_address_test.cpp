// The "Server" setting read as an ODBC address, and the connection strings built from it.
#include "db/odbc/odbc_address.h"

#include <gtest/gtest.h>

namespace vx::db::odbc {
namespace {

TEST(OdbcAddress, ConnectionStringOfEachServerForm) {
    const Login sa{{}, QStringLiteral("JOV"), QStringLiteral("sa"), QStringLiteral("pw")};
    const QString tail = QStringLiteral(";Database=JOV;UID=sa;PWD=pw;TDS_Version=7.3;"
                                        "ClientCharset=UTF-8;APP=Vantrex Report");
    const struct {
        QString server;
        QString browserPort; // the SQL Browser's answer for a named instance
        QString expected;
    } cases[] = {
        {"SHOPPC\\JOVSERVER", "1501", "Driver={FreeTDS};Server=SHOPPC;Port=1501" + tail},
        {"SHOPPC\\JOVSERVER", "", "Driver={FreeTDS};Server=SHOPPC\\JOVSERVER" + tail},
        {" shoppc , 1500 ", "", "Driver={FreeTDS};Server=shoppc;Port=1500" + tail},
        {"tcp:10.0.0.5,1433", "", "Driver={FreeTDS};Server=10.0.0.5;Port=1433" + tail},
        {"(local)\\SQLEXPRESS", "50000", "Driver={FreeTDS};Server=localhost;Port=50000" + tail},
        {".", "", "Driver={FreeTDS};Server=localhost;Port=1433" + tail},
        // Any data source: a DSN name, a connection string; the login is added unless given.
        {"odbc: DSN=Shop ", "", "DSN=Shop;Database=JOV;UID=sa;PWD=pw"},
        {"odbc:Driver={PostgreSQL Unicode};Servername=/run/pg;Port=5432", "",
         "Driver={PostgreSQL Unicode};Servername=/run/pg;Port=5432;Database=JOV;UID=sa;PWD=pw"},
        {"odbc:DSN=Shop;uid=report;pwd={a;b}", "", "DSN=Shop;uid=report;pwd={a;b};Database=JOV"},
        {"odbc:DSN=Shop;Database=Other;", "", "DSN=Shop;Database=Other;UID=sa;PWD=pw"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server.toStdString());
        const auto a = parseOdbcServer(c.server);
        ASSERT_TRUE(a);
        EXPECT_EQ(odbcConnectionString(*a, sa, QStringLiteral("JOV"), QStringLiteral("FreeTDS"),
                                       c.browserPort),
                  c.expected);
    }
}

TEST(OdbcAddress, ReservedCharactersTravelInBracesAndTheDatabaseMayBeLeftOut) {
    const auto a = parseOdbcServer(QStringLiteral("SHOPPC,1433"));
    ASSERT_TRUE(a);
    const Login login{{}, {}, QStringLiteral("clerk"), QStringLiteral(" p;w}x=")};
    EXPECT_EQ(odbcConnectionString(*a, login, QString(), QStringLiteral("/usr/lib/odbc/tds.so")),
              QStringLiteral("Driver={/usr/lib/odbc/tds.so};Server=SHOPPC;Port=1433;UID=clerk;"
                             "PWD={ p;w}}x=};TDS_Version=7.3;ClientCharset=UTF-8;"
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
