#pragma once
// What the tests of the configuration window share: the settings they read and write, typing
// into focused fields, and the window as the program opens it.

#include "db/testing/backends.h"
#include "dbconfig/connection_check.h"
#include "dbconfig/ui/frm_db_config.h"
#include "platform/settings.h"
#include "testsupport/test_env.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vx::dbconfigtest {

inline const QString kApp = QStringLiteral("JOV Settings");
inline const QString kSection = QStringLiteral("DATABASE");

inline QString stored(const char* key) {
    return GetSetting(kApp, kSection, QLatin1String(key), QStringLiteral("<none>"));
}

inline void store(const char* key, const QString& value) {
    ASSERT_TRUE(SaveSetting(kApp, kSection, QLatin1String(key), value));
}

// Gives `w` the keyboard focus, as a click or Tab would.
inline void focus(QWidget* w) {
    w->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(w->hasFocus()) << w->objectName().toStdString();
}

// Replaces the text of a line edit, or of an editable combo box, by typing.
inline void retype(QWidget* w, const QString& text) {
    auto* combo = qobject_cast<QComboBox*>(w);
    QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(w);
    ASSERT_TRUE(edit) << w->objectName().toStdString();
    focus(w);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// The field that says where an engine's database is: folder, host, SQL Server, data source.
inline QWidget* whereField(frmDBConfig& d, DbEngine engine) {
    QWidget* fields[] = {d.txtFolder, d.txtHost, d.txtSqlServer, d.cboDataSource};
    return fields[static_cast<int>(engine)];
}

inline QString textOf(QWidget* w) {
    auto* combo = qobject_cast<QComboBox*>(w);
    return combo ? combo->currentText() : qobject_cast<QLineEdit*>(w)->text();
}

// The window as the program opens it: filled from the settings, shown off screen and active.
struct Window {
    frmDBConfig dialog{presentDbConfig(), stationDataPath()};
    Window() {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    // Picks the engine with the arrow keys in the focused engine list.
    void choose(DbEngine engine) {
        const int wanted = static_cast<int>(engine);
        focus(dialog.cboEngine);
        for (int i = 0; i < 4 && dialog.cboEngine->currentIndex() != wanted; ++i)
            QTest::keyClick(dialog.cboEngine,
                            dialog.cboEngine->currentIndex() > wanted ? Qt::Key_Up : Qt::Key_Down);
        EXPECT_EQ(dialog.cboEngine->currentIndex(), wanted);
    }
    QWidget* named(const char* name) {
        auto* w = dialog.findChild<QWidget*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    QString test() {
        QTest::mouseClick(dialog.cmdTest, Qt::LeftButton);
        return dialog.lblResult->text();
    }
};

// Skips a test of the PostgreSQL test server where there is none (fails in CI).
#define REQUIRE_SERVER(kind)                                                                       \
    if (const auto why = dbtest::unavailable(kind)) {                                              \
        if (why->mustFail)                                                                         \
            FAIL() << why->reason.toStdString();                                                   \
        GTEST_SKIP() << why->reason.toStdString();                                                 \
    }

} // namespace vx::dbconfigtest
