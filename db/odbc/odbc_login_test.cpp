// SQL Server logins through FreeTDS where no server exists: each failure told plainly, in time.
#include "db/odbc/odbc_login.h"
#include "db/odbc/sql_browser.h"

#include <QElapsedTimer>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vx::db::odbc {
namespace {

// A loopback TCP port that accepts connections (the kernel does) and never says a word.
struct SilentPort {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    SilentPort() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        ::listen(fd, 16);
        port = QString::number(ntohs(address.sin_port));
    }
    ~SilentPort() { ::close(fd); }
    QString port;
};

// A SQL Browser's answer (SVR_RESP) for the given instances' records.
QByteArray browserAnswer(const QByteArray& records) {
    return QByteArray(1, '\x05') + char(records.size() & 0xff) + char(records.size() >> 8) +
           records;
}

struct Attempt {
    LoginFailure why = LoginFailure::Other;
    QString message;
    qint64 ms = 0;
};

Attempt attempt(const QString& server, int timeoutSeconds = kLoginTimeoutSeconds) {
    Attempt a;
    const auto address = parseOdbcServer(server);
    if (!address) {
        ADD_FAILURE() << "not an ODBC address: " << server.toStdString();
        return a;
    }
    const Login login{server, QStringLiteral("JOV"), QStringLiteral("sa"),
                      QStringLiteral("Secr3t-pw")};
    DbError error;
    QElapsedTimer clock;
    clock.start();
    const DbcHandle dbc = logIn(*address, login, login.database, error,
                                {.timeoutSeconds = timeoutSeconds, .why = &a.why});
    a.ms = clock.elapsed();
    EXPECT_FALSE(dbc);
    a.message = error.description;
    EXPECT_FALSE(a.message.contains(login.password)) << a.message.toStdString();
    return a;
}

TEST(SqlServerLogin, EachFailureIsToldInPlainWordsWithinTheTimeout) {
    ASSERT_FALSE(sqlServerDriver().isEmpty()) << "the FreeTDS ODBC driver (tdsodbc) is missing";
    const SilentPort silent;
    const QString at = QStringLiteral("127.0.0.1,");
    const struct {
        QString server;
        int timeout;
        LoginFailure why;
        QString says;
        const char* driver = nullptr; // the SQL Server driver named instead of FreeTDS
    } cases[] = {
        {at + "1", 15, LoginFailure::Refused,
         "Cannot reach the SQL Server 127.0.0.1,1: 127.0.0.1 refused the connection to port 1"},
        {at + silent.port, 2, LoginFailure::NoAnswer, "no answer within 2 seconds"},
        // Nothing answers on the loopback's SQL Browser port.
        {"127.0.0.1\\NOSUCH", 15, LoginFailure::NoBrowser,
         "the SQL Browser of 127.0.0.1 (UDP port 1434) did not answer for the instance NOSUCH"},
        {"nosuchhost.invalid\\JOVSERVER", 15, LoginFailure::UnknownHost,
         "the computer \"nosuchhost.invalid\" is not known on the network"},
        {"127.0.0.1,1", 15, LoginFailure::MissingDriver,
         "its ODBC driver (FreeTDS, Debian package tdsodbc) is not installed", "No Such Driver"},
        {"odbc:Driver={No Such Driver};Server=x;PWD=Secr3t-pw", 15, LoginFailure::MissingDriver,
         "the ODBC driver it names is not installed"},
        {"odbc:NoSuchSource", 15, LoginFailure::NoDataSource,
         "there is no ODBC data source of that name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server.toStdString());
        if (c.driver)
            qputenv("VANTREX_SQLSERVER_DRIVER", c.driver);
        const Attempt a = attempt(c.server, c.timeout);
        qunsetenv("VANTREX_SQLSERVER_DRIVER");
        EXPECT_EQ(a.why, c.why);
        EXPECT_TRUE(a.message.contains(c.says)) << a.message.toStdString();
        EXPECT_LT(a.ms, c.timeout * 1000 + 4000);
    }
}

TEST(SqlServerLogin, DriverRecordsAreReadAsTheirCause) {
    using F = LoginFailure;
    const std::pair<QList<Diag>, LoginFailure> cases[] = {
        // clang-format off
        {{{"28000", 18456, "[FreeTDS][SQL Server]Login failed for user 'sa'."}}, F::WrongLogin},
        {{{"08001", 101, "FATAL:  password authentication failed for user \"x\""}}, F::WrongLogin},
        {{{"42000", 4060, "Cannot open database \"JOV\" requested by the login."}}, F::NoDatabase},
        {{{"08001", 0, "Unable to connect"}, {"01000", 20013, "Unknown host"}}, F::UnknownHost},
        {{{"HYT00", 0, "[FreeTDS][SQL Server]Timeout expired"}}, F::NoAnswer},
        {{{"01000", 0, "[unixODBC][Driver Manager]Can't open lib 'x' : file not found"}}, F::MissingDriver},
        {{{"IM002", 0, "Data source name not found"}}, F::NoDataSource},
        {{{"08001", 20009, "Unable to connect: Adaptive Server is unavailable"}}, F::Other}};
    // A missing table is error 3078 with the server's own words; any other error the engine's.
    const std::pair<Diag, long> errors[] = {
        {{"42S02", 208, "[FreeTDS][SQL Server]Invalid object name 'invt1'."}, kErrInvalidObject},
        {{"42000", 156, "[FreeTDS][SQL Server]Incorrect syntax near 'FROM'."}, kErrEngine}};
    // clang-format on
    for (const auto& [records, why] : cases)
        EXPECT_EQ(classifyLoginFailure(records), why) << records.last().message.toStdString();
    for (const auto& [diag, number] : errors) {
        EXPECT_EQ(statementError({diag}).number, number);
        EXPECT_EQ(statementError({diag}).description, diag.message.mid(21)); // no driver prefix
    }
    const auto a = parseOdbcServer(QStringLiteral("odbc:DSN=Shop;UID=x;PWD={p;w};Port=1"));
    EXPECT_EQ(shownAddress(a.value()), QStringLiteral("odbc:DSN=Shop;UID=x;PWD=****;Port=1"));
}

TEST(SqlBrowser, FindsTheInstancePortInTheAnswer) {
    const QByteArray two = "ServerName;SHOP;InstanceName;OTHER;IsClustered;No;Version;15.0;tcp;"
                           "1600;;ServerName;SHOP;InstanceName;JOVSERVER;IsClustered;No;Version;"
                           "15.0;tcp;1501;np;\\\\SHOP\\pipe\\sql\\query;;";
    EXPECT_EQ(instancePortOf(browserAnswer(two), QStringLiteral("jovserver")), "1501");
    EXPECT_EQ(instancePortOf(browserAnswer(two), QStringLiteral("NONE")), "");
}

} // namespace
} // namespace vx::db::odbc
