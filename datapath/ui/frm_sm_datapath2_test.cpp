#include "datapath/ui/testing/datapath_ui_testing.h"
#include "platform/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace vx {
namespace {

class DataPathDialogTest : public test::DialogTest {
  protected:
    DataPathDialogTest() {
        settings().setAppLabel(kJovSettings);
        settings().setMaxStations(50);
        settings().setStationNumberEnabled(true);
    }
    static clsDataPath& settings() { return gDataPath(); }
    static QString stored(const char* key) {
        return GetSetting(kJovSettings, QStringLiteral("DATABASE"), QLatin1String(key),
                          QStringLiteral("<none>"));
    }
    // Shows the dialog active, its data path box focused as the dialog leaves it.
    static void showActive(frmSM_DATAPATH2& dialog) {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        ASSERT_EQ(QApplication::focusWidget(), dialog.txtEdit[1]);
    }
    // Replaces the text of the focused box as the user would type it.
    static void retype(const QString& text) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
};

// First run: nothing stored yet. The user tries keys, edits, is refused a missing folder and
// cancels.
TEST_F(DataPathDialogTest, FirstRunWalkEndingInCancel) {
    settings().setStation(QStringLiteral("3"));
    settings().setNetwork(true);
    frmSM_DATAPATH2 dialog(settings());
    showActive(dialog);
    EXPECT_EQ(dialog.txtEdit[1]->text(), QStringLiteral("C:\\TK"));
    EXPECT_EQ(dialog.txtEdit[0]->text(), QStringLiteral("C:\\TK"));
    EXPECT_FALSE(dialog.txtEdit[0]->isVisible());
    EXPECT_FALSE(dialog.chkNetwork->isChecked());
    EXPECT_EQ(dialog.cboEdit->currentText(), QStringLiteral("3"));
    EXPECT_FALSE(dialog.cmdOkCancel[0]->isEnabled()); // until an edit

    press(Qt::Key_F10); // waits for an edit
    press(Qt::Key_F1);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(msgs.boxes().size(), 1);
    EXPECT_EQ(msgs.boxes()[0].title, QLatin1String("Station and Data Path Help"));

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("X"));
    EXPECT_TRUE(dialog.cmdOkCancel[0]->isEnabled());
    retype(QStringLiteral("   "));
    EXPECT_FALSE(dialog.cmdOkCancel[0]->isEnabled()); // blanks are no data path
    retype(QStringLiteral("C:\\NOWHERE"));
    dialog.cboEdit->setFocus();
    press(Qt::Key_Down);

    // No such folder and none may be made: refused, back in the path box, nothing changed.
    msgs.clear();
    press(Qt::Key_F10);
    ASSERT_EQ(msgs.boxes().size(), 1);
    EXPECT_TRUE(msgs.boxes()[0].text.startsWith(QStringLiteral("Data Path Not Found.")));
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dialog.txtEdit[1]);
    EXPECT_EQ(settings().DataPath(), QString());
    EXPECT_EQ(settings().Station(), QStringLiteral("3"));

    press(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(settings().Cancelled());
    EXPECT_EQ(stored("DATAPATH"), QStringLiteral("<none>"));
    EXPECT_FALSE(QFileInfo::exists(home(QStringLiteral("NOWHERE"))));
}

// A station with settings: the user picks a station, the flags and a new folder the dialog
// makes; settings that cannot be saved are reported and the dialog stays; then it accepts.
TEST_F(DataPathDialogTest, AcceptMakesTheNewFolderAndSavesEverything) {
    settings().setStation(QStringLiteral("2"));
    settings().setDataPath(QStringLiteral("C:\\TK"));
    settings().setTestPath(QStringLiteral("Y"));
    settings().setCreatePath(true);
    dataPathUiState().gsImportExportPath = QStringLiteral("C:\\OLD");
    frmSM_DATAPATH2 dialog(settings());
    showActive(dialog);
    EXPECT_TRUE(dialog.ckTest->isChecked());
    dialog.ckTest->click();
    dialog.ckTest->click(); // only checking it warns, not loading or clearing it
    ASSERT_EQ(msgs.boxes().size(), 1);
    EXPECT_EQ(msgs.boxes()[0].title, QStringLiteral("Caution"));
    dialog.chkNetwork->click();

    // The import/export row shows as its path differs. Its browser starts in the box's folder
    // and can change drives; a cancel keeps the box, a choice is written the suite's way.
    EXPECT_FALSE(dialog.txtEdit[0]->isHidden());
    EXPECT_EQ(dialog.txtEdit[0]->text(), QStringLiteral("C:\\OLD"));
    dialog.txtEdit[0]->setFocus();
    retype(QStringLiteral("c:\\tk "));
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_F10}) {
        whenModal<frmSMFILE_PATH>([this, key](frmSMFILE_PATH& browser) {
            EXPECT_EQ(browser.folder(), home(QStringLiteral("TK")));
            EXPECT_EQ(pathBrowserState().Drive, QStringLiteral("C:"));
            browser.drvBrowse->setCurrentIndex(0); // another drive: "/"
            EXPECT_EQ(browser.folder(), QStringLiteral("/"));
            browser.setFolder(home(QStringLiteral("TK/export")));
            QTest::keyClick(browser.dirBrowse, key);
        });
        dialog.cmdBrowsePath[0]->click();
        EXPECT_EQ(dialog.txtEdit[0]->text(), key == Qt::Key_F10 ? "C:\\TK\\export" : "c:\\tk ");
    }
    dialog.activateWindow(); // back from the browser
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.cboEdit->setFocus();
    for (int i = 0; i < 5; ++i)
        press(Qt::Key_Down);
    dialog.txtEdit[1]->setFocus();
    retype(QStringLiteral("C:\\NEWDATA"));
    msgs.clear();
    msgs.answer(MsgAnswer::Yes);
    const QString folder = env.configDir() + QStringLiteral("/jov");
    QDir(folder).removeRecursively();
    test::TestEnv::writeFile(folder, "a file, no folder");
    press(Qt::Key_F10);
    ASSERT_EQ(msgs.texts().size(), 2);
    EXPECT_TRUE(msgs.texts()[0].startsWith(QStringLiteral("C:\\NEWDATA\rData Path Does Not")));
    EXPECT_TRUE(msgs.texts()[1].startsWith(QStringLiteral("The settings could not be saved in ")));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(settings().DataPath(), QStringLiteral("C:\\TK")); // as it was
    QFile::remove(folder);
    press(Qt::Key_F10);
    EXPECT_EQ(msgs.texts().size(), 2);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(QFileInfo(home(QStringLiteral("NEWDATA"))).isDir());
    EXPECT_FALSE(settings().Cancelled());
    const std::pair<const char*, const char*> saved[] = {{"STATION", "7"},
                                                         {"DATAPATH", "C:\\NEWDATA"},
                                                         {"STATIONPATH", "C:\\NEWDATA"},
                                                         {"NETWORK", "True"},
                                                         {"TESTDATA", "Y"}};
    for (const auto& [key, value] : saved)
        EXPECT_EQ(stored(key), QLatin1String(value)) << key;
    EXPECT_EQ(dataPathUiState().gsImportExportPath, QStringLiteral("C:\\TK\\export"));
}

TEST_F(DataPathDialogTest, StationSelection) {
    // station, default station, selected; a default beyond the list takes the nearest entry
    const char* cases[][3] = {
        {" 2x", "1", "2"}, {"abc", "2", "2"}, {"5", "1", "4"}, {"0", "9", "4"}};
    settings().setMaxStations(4);
    for (const auto& [station, defaultStation, selected] : cases) {
        settings().setStation(QString::fromLatin1(station));
        settings().setDefaultStation(QString::fromLatin1(defaultStation));
        frmSM_DATAPATH2 dialog(settings());
        EXPECT_EQ(dialog.cboEdit->count(), 4);
        EXPECT_EQ(dialog.cboEdit->currentText(), QString::fromLatin1(selected)) << station;
    }
}

TEST_F(DataPathDialogTest, InstalledDialogRunsModallyOverTheSettings) {
    installQtDataPathDialog();
    settings().setDataPath(QStringLiteral("C:\\TK"));
    whenModal<frmSM_DATAPATH2>(
        [](frmSM_DATAPATH2& dialog) { QTest::keyClick(dialog.txtEdit[1], Qt::Key_Escape); });
    EXPECT_FALSE(settings().gfbJOV_DataPath_change(true));
    EXPECT_TRUE(settings().Cancelled());
    setDataPathDialog(nullptr);
}

} // namespace
} // namespace vx
