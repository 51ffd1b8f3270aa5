#include "db/testing/backends.h"
#include "dbconfig/connection_check.h"
#include "dbconfig/ui/frm_db_config.h"
#include "platform/settings.h"
#include "testsupport/test_env.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vx {
namespace {

const QString kApp = QStringLiteral("JOV Settings");
const QString kSection = QStringLiteral("DATABASE");

QString stored(const char* key) {
    return GetSetting(kApp, kSection, QLatin1String(key), QStringLiteral("<none>"));
}

void store(const char* key, const QString& value) {
    ASSERT_TRUE(SaveSetting(kApp, kSection, QLatin1String(key), value));
}

void retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// The window as the program opens it: filled from the settings, shown off screen.
struct Window {
    frmDBConfig dialog{presentDbConfig(), stationDataPath()};
    Window() { dialog.show(); }
    void choose(DbEngine engine) {
        const int wanted = engine == DbEngine::PostgreSQL ? 1 : 0;
        QTest::keyClick(dialog.cboEngine, wanted ? Qt::Key_Down : Qt::Key_Up);
        EXPECT_EQ(dialog.cboEngine->currentIndex(), wanted);
    }
    QString test() {
        QTest::mouseClick(dialog.cmdTest, Qt::LeftButton);
        return dialog.lblResult->text();
    }
};

TEST(DbConfigWindow, OpensFilledWithThePresentSettings) {
    struct Case {
        const char *server, *database;
        int engine;
        const char *user, *saves; // what Save would write back as the server
        bool warned;
    };
    const Case cases[] = {
        {nullptr, "JOV", 0, "sa", "sqlite:", false},
        {"sqlite:/srv/shop", "Store7", 0, "clerk", "sqlite:/srv/shop", false},
        {"postgresql://db.example:5433", "Shop", 1, "clerk", nullptr, false},
        {"SHOPPC\\JOVSERVER", "Shop", 0, "clerk", "sqlite:", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server ? c.server : "no settings");
        test::TestEnv env;
        if (c.server) {
            store("Server", QString::fromUtf8(c.server));
            store("DBName", QString::fromUtf8(c.database));
            store("UserName", QStringLiteral("clerk"));
            store("Password", QStringLiteral("s3cret!"));
        }
        Window w;
        frmDBConfig& d = w.dialog;
        EXPECT_EQ(d.cboEngine->currentIndex(), c.engine);
        EXPECT_EQ(d.txtDatabase->text(), QString::fromUtf8(c.database));
        EXPECT_EQ(d.txtUser->text(), QString::fromUtf8(c.user));
        EXPECT_EQ(d.txtPassword->echoMode(), QLineEdit::Password);
        EXPECT_EQ(d.config().server, QString::fromUtf8(c.saves ? c.saves : c.server));
        EXPECT_EQ(d.lblResult->text().contains("SHOPPC"), c.warned);
    }
}

TEST(DbConfigWindow, EachEngineEnablesItsOwnFields) {
    test::TestEnv env;
    Window w;
    frmDBConfig& d = w.dialog;
    struct Case {
        DbEngine engine;
        const char* socket;
        bool folder, host, server;
    };
    const Case cases[] = {
        {DbEngine::PostgreSQL, "", false, true, true},
        {DbEngine::PostgreSQL, "/run/pg", false, false, true}, // the socket replaces the host
        {DbEngine::Embedded, "", true, false, false},
    };
    for (const Case& c : cases) {
        w.choose(c.engine);
        retype(d.txtSocket, QString::fromUtf8(c.socket));
        EXPECT_TRUE(d.txtDatabase->isEnabled());
        EXPECT_EQ(d.txtFolder->isEnabled(), c.folder);
        EXPECT_EQ(d.txtHost->isEnabled(), c.host) << c.socket;
        for (QLineEdit* e : {d.txtPort, d.txtSocket, d.txtUser, d.txtPassword})
            EXPECT_EQ(e->isEnabled(), c.server) << e->objectName().toStdString();
    }
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

    if (const auto why = dbtest::unavailable(dbtest::BackendKind::PostgreSQL)) {
        if (why->mustFail)
            FAIL() << why->reason.toStdString();
        GTEST_SKIP() << why->reason.toStdString();
    }
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
    };
    const Case cases[] = {
        {login.database, login.password, "Connection succeeded"},
        {QStringLiteral("nosuch_db"), login.password, "has no database \"nosuch_db\""},
        {login.database, password, "password authentication failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        store("DBName", c.database);
        store("Password", c.password);
        Window pg;
        const QString said = pg.test();
        EXPECT_TRUE(said.contains(QString::fromUtf8(c.says))) << said.toStdString();
        EXPECT_FALSE(said.contains(c.password));
    }
}

TEST(DbConfigWindow, SaveWritesTheSettingsAndCancelWritesNothing) {
    struct Case {
        DbEngine engine;
        bool save;
        const char *server, *user, *password;
    };
    const Case cases[] = {
        {DbEngine::Embedded, true, "sqlite:/srv/shop", "<none>", "<none>"},
        {DbEngine::PostgreSQL, true, "postgresql://db.example:5433?host=/run/pg", "clerk",
         " pass word "},
        {DbEngine::PostgreSQL, false, "<none>", "<none>", "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        test::TestEnv env;
        Window w;
        frmDBConfig& d = w.dialog;
        w.choose(c.engine);
        retype(d.txtFolder, QStringLiteral("/srv/shop"));
        retype(d.txtHost, QStringLiteral("db.example"));
        retype(d.txtPort, QStringLiteral("5433"));
        retype(d.txtSocket, QStringLiteral("/run/pg"));
        retype(d.txtUser, QStringLiteral("clerk"));
        retype(d.txtPassword, QStringLiteral(" pass word "));
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
