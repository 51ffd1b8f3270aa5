#include "dbconfig/connection_check.h"
#include "dbconfig/ui/frm_db_config.h"
#include "platform/settings.h"
#include "testsupport/test_env.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vx {
namespace {

const QString kApp = QStringLiteral("JOV Settings"), kSection = QStringLiteral("DATABASE");

QString stored(const char* key) {
    return GetSetting(kApp, kSection, QLatin1String(key), QStringLiteral("<none>"));
}

// The window as the program opens it: filled from the settings, shown off screen and active.
struct Window {
    frmDBConfig d{presentDbConfig(), stationDataPath()};
    Window() {
        d.show();
        d.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
    }
    // Gives `w` the focus as Tab would, then types `text` over what it holds.
    static void retype(QWidget* w, const QString& text) {
        w->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), w) << w->objectName().toStdString();
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w, Qt::Key_Delete);
        QTest::keyClicks(w, text);
    }
    // Picks the engine with the arrow keys in the focused engine list.
    void choose(DbEngine engine) {
        d.cboEngine->setFocus(Qt::TabFocusReason);
        const int wanted = static_cast<int>(engine);
        for (int i = 0; i < 4 && d.cboEngine->currentIndex() != wanted; ++i)
            QTest::keyClick(d.cboEngine,
                            d.cboEngine->currentIndex() > wanted ? Qt::Key_Up : Qt::Key_Down);
        ASSERT_EQ(d.cboEngine->currentIndex(), wanted);
    }
    QString enabled() const {
        QStringList names;
        for (QWidget* w : d.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isEnabled() && w->objectName().startsWith(u't'))
                names << w->objectName();
        for (QWidget* w :
             std::initializer_list<QWidget*>{d.cboDataSource, d.lblDataPath, d.lblSourceHint})
            if (w->isEnabled())
                names << w->objectName();
        return names.join(u' ');
    }
    QString click(QPushButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        return d.lblResult->text();
    }
};

TEST(DbConfigWindow, OpensFilledWithThePresentSettings) {
    // clang-format off
    // The Server stored (nullptr: no settings), the engine shown, its own field, what Save would
    // write as the server, whether the window warns of the stored one.
    const struct { const char* server; DbEngine engine; const char *where, *saves; bool warned; } cases[] = {
        {nullptr, DbEngine::Embedded, "", "sqlite:", false},
        {"odbc:Driver={FreeTDS};Server=db", DbEngine::OdbcSource, "Driver={FreeTDS};Server=db",
         "odbc:Driver={FreeTDS};Server=db", false},
        {"SHOPPC,notaport", DbEngine::Embedded, "", "sqlite:", true},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server ? c.server : "no settings");
        test::TestEnv env;
        if (c.server) {
            SaveSetting(kApp, kSection, "Server", QString::fromUtf8(c.server));
            SaveSetting(kApp, kSection, "DBName", "Store7");
            SaveSetting(kApp, kSection, "UserName", "clerk");
            SaveSetting(kApp, kSection, "Password", "s3cret!");
        }
        Window w;
        QLineEdit* where[] = {w.d.txtFolder, w.d.txtHost, w.d.txtSqlServer,
                              w.d.cboDataSource->lineEdit()};
        EXPECT_EQ(w.d.cboEngine->currentIndex(), static_cast<int>(c.engine));
        EXPECT_EQ(w.d.txtDatabase->text(), c.server ? "Store7" : "JOV");
        EXPECT_EQ(w.d.txtUser->text(), c.server ? "clerk" : "sa");
        EXPECT_EQ(where[static_cast<int>(c.engine)]->text(), QString::fromUtf8(c.where));
        EXPECT_EQ(w.d.config().server, QString::fromUtf8(c.saves));
        EXPECT_EQ(w.d.lblResult->text().contains("not an engine this program offers"), c.warned);
        // Cancel leaves the settings as they were.
        Window::retype(w.d.txtDatabase, QStringLiteral("Other"));
        w.click(w.d.cmdCancel);
        EXPECT_FALSE(w.d.isVisible());
        EXPECT_EQ(stored("DBName"), c.server ? "Store7" : "<none>");
    }
}

// The user walks the engines with the keyboard, each enabling its own fields, is refused what
// cannot be saved, and saves an ODBC data source picked from the computer's list.
TEST(DbConfigWindow, AKeyboardWalkThroughTheEnginesEndingInSave) {
    test::TestEnv env;
    const QString userSources = env.home() + QStringLiteral("/.odbc.ini");
    test::TestEnv::writeFile(userSources,
                             "[AaaTestShop]\nDriver=PostgreSQL Unicode\nServername=localhost\n");
    env.setEnv("ODBCINI", userSources);
    Window w;
    frmDBConfig& d = w.d;
    EXPECT_EQ(w.enabled(), "txtDatabase txtFolder lblDataPath");
    EXPECT_TRUE(w.click(d.cmdTest).contains("No data path is set")); // the check's own words

    w.choose(DbEngine::PostgreSQL);
    EXPECT_EQ(w.enabled(), "txtDatabase txtHost txtPort txtSocket txtUser txtPassword");
    Window::retype(d.txtSocket, QStringLiteral("/run/pg")); // replaces the host
    EXPECT_EQ(w.enabled(), "txtDatabase txtPort txtSocket txtUser txtPassword");
    Window::retype(d.txtPort, QStringLiteral("5433x"));
    Window::retype(d.txtUser, QStringLiteral("clerk"));
    Window::retype(d.txtPassword, QStringLiteral(" pass word "));
    EXPECT_EQ(d.config().server, QStringLiteral("postgresql://localhost:5433?host=/run/pg"));

    w.choose(DbEngine::SqlServer);
    EXPECT_EQ(w.enabled(), "txtDatabase txtSqlServer txtUser txtPassword");
    Window::retype(d.txtSqlServer, QStringLiteral("SHOPPC,notaport"));
    Window::retype(d.txtDatabase, QString());
    EXPECT_TRUE(w.click(d.cmdSave).contains("Enter the name of the database"));
    EXPECT_EQ(QApplication::focusWidget(), d.txtDatabase);
    QTest::keyClicks(d.txtDatabase, QStringLiteral("Store7"));
    EXPECT_TRUE(w.click(d.cmdSave).contains("\"SHOPPC,notaport\" is not a SQL Server name"));
    EXPECT_EQ(QApplication::focusWidget(), d.txtSqlServer);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(stored("Server"), "<none>");

    w.choose(DbEngine::OdbcSource);
    EXPECT_EQ(w.enabled(), "txtDatabase txtUser txtPassword cboDataSource lblSourceHint");
    QComboBox* sources = d.cboDataSource;
    EXPECT_TRUE(sources->currentText().isEmpty()); // nothing chosen for the user
    ASSERT_GE(sources->findText(QStringLiteral("AaaTestShop")), 0);
    sources->setFocus(Qt::TabFocusReason);
    while (sources->currentText() != QLatin1String("AaaTestShop") &&
           sources->currentIndex() < sources->count() - 1)
        QTest::keyClick(sources, Qt::Key_Down);
    // A settings folder that cannot be written to keeps the window open; once mended, it saves.
    const QString folder = env.configDir() + QStringLiteral("/jov");
    QDir(folder).removeRecursively();
    test::TestEnv::writeFile(folder, "not a folder");
    EXPECT_TRUE(w.click(d.cmdSave).contains("cannot be written"));
    EXPECT_TRUE(d.isVisible());
    QFile::remove(folder);
    QTest::mouseClick(d.cmdSave, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
    const std::pair<const char*, const char*> saved[] = {{"Server", "odbc:AaaTestShop"},
                                                         {"DBName", "Store7"},
                                                         {"UserName", "clerk"},
                                                         {"Password", " pass word "}};
    for (const auto& [key, value] : saved)
        EXPECT_EQ(stored(key), QLatin1String(value)) << key;
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(settingsFile(kApp)).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

} // namespace
} // namespace vx
