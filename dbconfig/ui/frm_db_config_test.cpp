#include "dbconfig/ui/testing/frm_db_config_testing.h"

#include <QFileInfo>
#include <sys/stat.h>

namespace vx {
namespace {

using namespace dbconfigtest;

TEST(DbConfigWindow, OpensFilledWithThePresentSettings) {
    struct Case {
        const char *server, *database;
        DbEngine engine;
        const char* user;  // stored (nullptr: none)
        const char* shown; // the user name the window shows
        const char* where; // the engine's own field: folder, host, SQL Server or data source
        const char* saves; // what Save would write back as the server; nullptr: the same
        bool warned;
    };
    const Case cases[] = {
        {nullptr, "JOV", DbEngine::Embedded, nullptr, "sa", "", "sqlite:", false},
        {"sqlite:/srv/shop", "Store7", DbEngine::Embedded, "clerk", "clerk", "/srv/shop", nullptr,
         false},
        {"postgresql://db.example:5433", "Shop", DbEngine::PostgreSQL, "clerk", "clerk",
         "db.example", nullptr, false},
        {"SHOPPC\\JOVSERVER", "JOV", DbEngine::SqlServer, nullptr, "sa", "SHOPPC\\JOVSERVER",
         nullptr, false},
        {"odbc:Driver={FreeTDS};Server=db", "Shop", DbEngine::OdbcSource, "clerk", "clerk",
         "Driver={FreeTDS};Server=db", nullptr, false},
        {"SHOPPC,notaport", "Shop", DbEngine::Embedded, "clerk", "clerk", "", "sqlite:", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server ? c.server : "no settings");
        test::TestEnv env;
        if (c.server) {
            store("Server", QString::fromUtf8(c.server));
            store("DBName", QString::fromUtf8(c.database));
            store("Password", QStringLiteral("s3cret!"));
        }
        if (c.user)
            store("UserName", QString::fromUtf8(c.user));
        Window w;
        frmDBConfig& d = w.dialog;
        EXPECT_EQ(d.cboEngine->currentIndex(), static_cast<int>(c.engine));
        EXPECT_EQ(d.txtDatabase->text(), QString::fromUtf8(c.database));
        EXPECT_EQ(d.txtUser->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(d.txtPassword->echoMode(), QLineEdit::Password);
        EXPECT_EQ(textOf(whereField(d, c.engine)), QString::fromUtf8(c.where));
        EXPECT_EQ(d.config().server, QString::fromUtf8(c.saves ? c.saves : c.server));
        EXPECT_EQ(d.lblResult->text().contains("not an engine this program offers"), c.warned);
    }
}

TEST(DbConfigWindow, EachEngineEnablesItsOwnFields) {
    test::TestEnv env;
    Window w;
    struct Case {
        DbEngine engine;
        const char* socket; // typed into the socket folder (nullptr: nothing)
        const char* enabled;
    };
    const Case cases[] = {
        {DbEngine::PostgreSQL, "", "txtDatabase txtHost txtPort txtSocket txtUser txtPassword"},
        // The socket folder replaces the host.
        {DbEngine::PostgreSQL, "/run/pg", "txtDatabase txtPort txtSocket txtUser txtPassword"},
        {DbEngine::SqlServer, nullptr, "txtDatabase txtSqlServer txtUser txtPassword"},
        {DbEngine::OdbcSource, nullptr,
         "txtDatabase cboDataSource lblSourceHint txtUser txtPassword"},
        {DbEngine::Embedded, nullptr, "txtDatabase txtFolder lblDataPath"},
    };
    const char* all[] = {"txtDatabase",   "txtFolder", "lblDataPath",  "txtHost",
                         "txtPort",       "txtSocket", "txtSqlServer", "cboDataSource",
                         "lblSourceHint", "txtUser",   "txtPassword"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.enabled);
        w.choose(c.engine);
        if (c.socket)
            retype(w.dialog.txtSocket, QString::fromUtf8(c.socket));
        const QStringList enabled = QString::fromUtf8(c.enabled).split(u' ');
        for (const char* name : all)
            EXPECT_EQ(w.named(name)->isEnabled(), enabled.contains(QLatin1String(name))) << name;
    }
}

TEST(DbConfigWindow, OffersTheOdbcDataSourcesOfTheComputer) {
    test::TestEnv env;
    // The user's data sources, as the driver manager finds them.
    const QString userSources = env.home() + QStringLiteral("/.odbc.ini");
    test::TestEnv::writeFile(userSources,
                             "[AaaTestShop]\nDriver=PostgreSQL Unicode\nServername=localhost\n");
    env.setEnv("ODBCINI", userSources);
    Window w;
    w.choose(DbEngine::OdbcSource);
    QComboBox* sources = w.dialog.cboDataSource;
    EXPECT_TRUE(sources->currentText().isEmpty()); // nothing chosen for the user
    ASSERT_GE(sources->findText(QStringLiteral("AaaTestShop")), 0);
    focus(sources);
    while (sources->currentText() != QLatin1String("AaaTestShop") &&
           sources->currentIndex() < sources->count() - 1)
        QTest::keyClick(sources, Qt::Key_Down);
    EXPECT_EQ(w.dialog.config().server, QStringLiteral("odbc:AaaTestShop"));
}

TEST(DbConfigWindow, TestConnectionOnTheEmbeddedEngine) {
    test::TestEnv env;
    const QString data = env.mkdir(QStringLiteral("data"));
    QString error;
    const auto db = dbtest::createTestDatabase(dbtest::BackendKind::SQLite, data, error);
    ASSERT_TRUE(db) << error.toStdString();
    ASSERT_TRUE(db->raw(QStringLiteral("CREATE TABLE VENDOR (VendorId CHAR(6))")));
    test::TestEnv::writeFile(data + QStringLiteral("/junk.sqlite"), QByteArray(4096, 'x'));

    struct Case {
        const char* dataPath; // the station's data path setting; "*" is the prepared folder
        const char* folder;   // typed into the folder box
        QString database;
        const char* says;
    };
    const Case cases[] = {
        {"*", "", db->login().database, "(1 table)"},
        {"*", "", db->login().database.toUpper() + "  ", "Connection succeeded"},
        {"", "*", db->login().database, "Connection succeeded"},
        {"*", "", "Nosuch", "no database \"Nosuch\""},
        {"*", "", "junk", "cannot be opened"},
        {"", "", db->login().database, "No data path is set"},
        {"*", "/nowhere/at/all", "JOV", "does not exist"},
        {"*", "", "", "Enter the name of the database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const auto resolved = [&](const char* s) { return *s == '*' ? data : QString(s); };
        store("DATAPATH", resolved(c.dataPath));
        Window w;
        retype(w.dialog.txtFolder, resolved(c.folder));
        retype(w.dialog.txtDatabase, c.database);
        const QString said = w.test();
        EXPECT_TRUE(said.contains(QString::fromUtf8(c.says))) << said.toStdString();
        EXPECT_FALSE(QFileInfo::exists(data + "/Nosuch.sqlite")); // a test never creates one
    }
}

TEST(DbConfigWindow, SaveWritesTheSettingsAndCancelWritesNothing) {
    struct Case {
        DbEngine engine;
        bool save;
        const char* where; // typed into the engine's own field
        const char *server, *user, *password;
    };
    const Case cases[] = {
        {DbEngine::Embedded, true, "/srv/shop", "sqlite:/srv/shop", "<none>", "<none>"},
        {DbEngine::PostgreSQL, true, "db.example", "postgresql://db.example:5433?host=/run/pg",
         "clerk", " pass word "},
        {DbEngine::SqlServer, true, " SHOPPC\\JOVSERVER ", "SHOPPC\\JOVSERVER", "clerk",
         " pass word "},
        {DbEngine::OdbcSource, true, "DSN=Shop", "odbc:DSN=Shop", "clerk", " pass word "},
        {DbEngine::PostgreSQL, false, "db.example", "<none>", "<none>", "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        test::TestEnv env;
        Window w;
        frmDBConfig& d = w.dialog;
        w.choose(c.engine);
        retype(whereField(d, c.engine), QString::fromUtf8(c.where));
        if (c.engine == DbEngine::PostgreSQL) {
            retype(d.txtPort, QStringLiteral("5433"));
            retype(d.txtSocket, QStringLiteral("/run/pg"));
        }
        if (d.txtUser->isEnabled()) {
            retype(d.txtUser, QStringLiteral("clerk"));
            retype(d.txtPassword, QStringLiteral(" pass word "));
        }
        retype(d.txtDatabase, QStringLiteral("Store7"));
        QTest::mouseClick(c.save ? d.cmdSave : d.cmdCancel, Qt::LeftButton);

        EXPECT_EQ(d.result(), c.save ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(stored("Server"), QString::fromUtf8(c.server));
        EXPECT_EQ(stored("DBName"), c.save ? QStringLiteral("Store7") : "<none>");
        EXPECT_EQ(stored("UserName"), QString::fromUtf8(c.user));
        EXPECT_EQ(stored("Password"), QString::fromUtf8(c.password));
        struct stat st {};
        const bool written = ::stat(QFile::encodeName(settingsFile(kApp)).constData(), &st) == 0;
        EXPECT_EQ(written, c.save);
        if (written) {
            EXPECT_EQ(st.st_mode & 0777, 0600u);
        }
    }
}

TEST(DbConfigWindow, SaveStaysOpenWhenNothingCanBeWritten) {
    test::TestEnv env;
    // A settings folder that cannot be written to.
    test::TestEnv::writeFile(env.configDir() + QStringLiteral("/jov"), "not a folder");
    Window w;
    for (const char* database : {"", "JOV"}) {
        retype(w.dialog.txtDatabase, QString::fromUtf8(database));
        QTest::mouseClick(w.dialog.cmdSave, Qt::LeftButton);
        EXPECT_TRUE(w.dialog.isVisible());
        EXPECT_TRUE(w.dialog.lblResult->text().contains(*database ? "cannot be written"
                                                                  : "Enter the name"));
    }
}

} // namespace
} // namespace vx
