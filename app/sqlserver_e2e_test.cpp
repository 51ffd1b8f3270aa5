// The program against SQL Server as each release answers it, played by a stand-in that speaks
// the protocol to the real FreeTDS driver and serves the end-to-end store: every release gives
// the same pages as the store gives on SQLite, with no setting; pins, a frozen server and a
// dropped connection end with one clear message, in time.
#include "app/testing/e2e_fixture.h"
#include "db/odbc/testing/standin_process.h"

namespace vx::report::test {
namespace {

class SqlServerEndToEnd : public EndToEnd {
  protected:
    // The store of the SQLite run, served by a stand-in playing `profile`.
    std::unique_ptr<dbtest::TdsStandIn> serve(const QString& profile) {
        const db::Login& l = db().login();
        auto server = std::make_unique<dbtest::TdsStandIn>(
            QStringLiteral(VANTREX_TDS_STANDIN), profile,
            l.server.mid(QStringLiteral("sqlite:").size()) + u'/' + l.database +
                QStringLiteral(".sqlite"),
            l.database, QStringLiteral("sa"), kPassword, cert_);
        return server;
    }

    static constexpr char kPassword[] = "Str0ng-Secret";
    dbtest::Certificate cert_;
};

TEST_P(SqlServerEndToEnd, EveryReleaseGivesTheReportAndFailuresSayWhy) {
    cert_ = dbtest::makeSelfSignedCertificate(env_.mkdir(QStringLiteral("cert")));
    ASSERT_FALSE(cert_.certFile.isEmpty());
    const QString otherCa = dbtest::makeSelfSignedCertificate(env_.mkdir("other")).certFile;
    struct Case {
        const char* profile;
        QString pins; // [SQL SERVER] of the program's own settings
        int status = 0;
        const char* message = "";
        int withinSeconds = 20;
        const char* password = kPassword;
    };
    const Case cases[] = {
        {"2000", ""},
        {"2000-strict", ""}, // ends the connection on a 7.4 login: asked again in 7.1
        {"2005", ""},
        {"2008", ""},
        {"2017", ""},
        {"2022-encrypt", ""},
        {"2022-encrypt", "CAFile=" + cert_.certFile}, // checked, and the name is its own
        {"2000-strict", "TDSVersion=7.1"},
        {"2000-strict", "TDSVersion=7.4", 2, "does not speak the protocol version TDS 7.4"},
        {"2022-encrypt", "Encryption=off", 2, "requires encrypted connections"},
        {"2022-encrypt", "CAFile=" + otherCa, 2, "certificate is not trusted"},
        {"2017", "", 2, "refused the login of user \"sa\"", 20, "wrong-password"},
        {"stalls", "", 2, "stopped answering: it gave no answer within 30 seconds.", 45},
        {"drops", "", 2, "The connection to the database server localhost,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.profile) + " " + c.pins.toStdString());
        const auto server = serve(QString::fromLatin1(c.profile));
        ASSERT_GT(server->port(), 0) << server->logText().toStdString();
        // The certificate names "localhost".
        setting("Server", QStringLiteral("localhost,%1").arg(server->port()));
        setting("UserName", QStringLiteral("sa"));
        setting("Password", QString::fromLatin1(c.password));
        env_.writeFile(programSettingsFile(), "[SQL SERVER]\n" + c.pins.toUtf8() + '\n');
        QElapsedTimer clock;
        clock.start();
        const ProgramRun r = run(QStringLiteral("START=01/01/2024|END=01/31/2024"));
        EXPECT_LT(clock.elapsed(), c.withinSeconds * 1000);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QString::fromLatin1(c.password)));
        if (c.status == 0) {
            expectPages("received", r);
            continue;
        }
        EXPECT_EQ(r.err.count(QString::fromLatin1(c.message)), 1) << r.err.toStdString();
        EXPECT_TRUE(r.pages.isEmpty());
        EXPECT_TRUE(r.pdfText.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(StandIn, SqlServerEndToEnd, ::testing::Values(dbtest::BackendKind::SQLite),
                         dbtest::backendName);

} // namespace
} // namespace vx::report::test
