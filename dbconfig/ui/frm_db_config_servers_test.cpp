#include "dbconfig/ui/testing/frm_db_config_testing.h"

#include <QApplication>
#include <QElapsedTimer>

namespace vx {
namespace {

using namespace dbconfigtest;

TEST(DbConfigWindow, TestConnectionOnAPostgreSQLServer) {
    test::TestEnv env;
    const QString password = QStringLiteral("Pa55-word-not-shown");
    Window w;
    w.choose(DbEngine::PostgreSQL);
    retype(w.dialog.txtHost, QStringLiteral("127.0.0.1"));
    retype(w.dialog.txtPort, QStringLiteral("1")); // no server listens there
    retype(w.dialog.txtUser, QStringLiteral("clerk"));
    retype(w.dialog.txtPassword, password);
    retype(w.dialog.txtDatabase, QStringLiteral("Shop"));
    const QString refused = w.test();
    EXPECT_TRUE(refused.startsWith(QStringLiteral("Cannot connect to the server: ")))
        << refused.toStdString();
    EXPECT_FALSE(refused.contains(password));

    REQUIRE_SERVER(dbtest::BackendKind::PostgreSQL);
    QString error;
    const auto db = dbtest::createTestDatabase(dbtest::BackendKind::PostgreSQL,
                                               env.mkdir(QStringLiteral("scratch")), error);
    ASSERT_TRUE(db) << error.toStdString();
    const db::Login& login = db->login();
    store("Server", login.server);
    store("UserName", login.user);
    store("Password", login.password);
    struct Case {
        QString database, password;
        const char* says;
        bool lists; // names the server's databases, the test database among them
    };
    const Case cases[] = {
        {login.database, login.password, "Connection succeeded", true},
        {QStringLiteral("nosuch_db"), login.password, "has no database \"nosuch_db\"", true},
        {login.database, password, "password authentication failed", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        store("DBName", c.database);
        store("Password", c.password);
        Window pg;
        const QString said = pg.test();
        EXPECT_TRUE(said.contains(QString::fromUtf8(c.says))) << said.toStdString();
        EXPECT_EQ(said.contains("Databases on the server: ") && said.contains(login.database),
                  c.lists)
            << said.toStdString();
        EXPECT_FALSE(said.contains(c.password));
    }
}

TEST(DbConfigWindow, SqlServerNamesAreCheckedAndTried) {
    const QString password = QStringLiteral("Pa55-word-not-shown");
    struct Case {
        const char* typed;
        const char* says;
        bool valid; // a SQL Server name, tried on the network
    };
    const Case cases[] = {
        {"SHOPPC,notaport", "\"SHOPPC,notaport\" is not a SQL Server name", false},
        // No server listens on port 1: refused at once.
        {"127.0.0.1,1", "127.0.0.1 refused the connection to port 1", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        test::TestEnv env;
        Window w;
        w.choose(DbEngine::SqlServer);
        retype(w.dialog.txtSqlServer, QString::fromUtf8(c.typed));
        retype(w.dialog.txtPassword, password);
        retype(w.dialog.txtDatabase, QStringLiteral("JOV"));
        QElapsedTimer clock;
        clock.start();
        const QString said = w.test();
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_TRUE(said.contains(QString::fromUtf8(c.says))) << said.toStdString();
        EXPECT_FALSE(said.contains(password));
        QApplication::processEvents();
        EXPECT_LE(w.dialog.frameGeometry().width(), 1024);
        EXPECT_LE(w.dialog.frameGeometry().height(), 768);
        if (c.valid)
            continue;
        // Save keeps the window open on the name to correct, and writes nothing.
        EXPECT_TRUE(w.dialog.txtSqlServer->hasFocus());
        QTest::mouseClick(w.dialog.cmdSave, Qt::LeftButton);
        EXPECT_TRUE(w.dialog.isVisible());
        EXPECT_EQ(stored("Server"), "<none>");
    }
}

TEST(DbConfigWindow, TestConnectionOnAnOdbcDataSource) {
    REQUIRE_SERVER(dbtest::BackendKind::ODBC);
    test::TestEnv env;
    QString error;
    const auto db = dbtest::createTestDatabase(dbtest::BackendKind::ODBC,
                                               env.mkdir(QStringLiteral("scratch")), error);
    ASSERT_TRUE(db) << error.toStdString();
    ASSERT_TRUE(db->raw(QStringLiteral("CREATE TABLE VENDOR (VendorId CHAR(6))")));
    const db::Login& login = db->login();
    // The test server's connection string, as a user would type it (without "odbc:").
    const QString source = login.server.mid(QStringLiteral("odbc:").size());
    const QString wrong = QStringLiteral("Wr0ng-pass-word");
    const QString ownLogin =
        source + QStringLiteral(";UID=%1;PWD={%2}").arg(login.user, login.password);
    struct Case {
        QString source, database, user, password;
        QStringList says;
    };
    const Case cases[] = {
        {source,
         login.database,
         login.user,
         login.password,
         {"Connection succeeded", "(1 table)", "Databases on the server: ", login.database}},
        {source, QStringLiteral("nosuch_db"), login.user, login.password, {"has no database"}},
        {source,
         login.database,
         login.user,
         wrong,
         {QStringLiteral("refused the login of user \"%1\"").arg(login.user)}},
        // The connection string's own login is the one used.
        {ownLogin, login.database, QStringLiteral("nobody"), wrong, {"Connection succeeded"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says.first().toStdString());
        Window w;
        w.choose(DbEngine::OdbcSource);
        retype(w.dialog.cboDataSource, c.source);
        retype(w.dialog.txtUser, c.user);
        retype(w.dialog.txtPassword, c.password);
        retype(w.dialog.txtDatabase, c.database);
        const QString said = w.test();
        for (const QString& part : c.says)
            EXPECT_TRUE(said.contains(part)) << said.toStdString();
        EXPECT_FALSE(said.contains(login.password) || said.contains(wrong)) << said.toStdString();
    }
}

} // namespace
} // namespace vx
