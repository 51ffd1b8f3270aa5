#include "datapath/ui/testing/datapath_ui_testing.h"
#include "platform/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
    // Replaces the data path box's text as the user would type it.
    static void typeDataPath(frmSM_DATAPATH2& dialog, const QString& text) {
        dialog.txtEdit[1]->selectAll();
        QTest::keyClick(dialog.txtEdit[1], Qt::Key_Delete);
        QTest::keyClicks(dialog.txtEdit[1], text);
    }
};

TEST_F(DataPathDialogTest, FirstRunShowsTheUsualDataPathAndWaitsForAnEdit) {
    frmSM_DATAPATH2 dialog(settings());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Set Data Path"));
    EXPECT_EQ(dialog.txtEdit[1]->text(), QStringLiteral("C:\\TK"));
    EXPECT_EQ(dialog.txtEdit[0]->text(), QStringLiteral("C:\\TK"));
    EXPECT_FALSE(dialog.txtEdit[0]->isVisible());
    EXPECT_FALSE(dialog.cmdBrowsePath[0]->isVisible());
    EXPECT_FALSE(dialog.chkNetwork->isChecked());
    EXPECT_FALSE(dialog.ckTest->isChecked());
    EXPECT_EQ(dialog.cboEdit->count(), 50);
    EXPECT_EQ(dialog.cboEdit->currentText(), QStringLiteral("1"));
    EXPECT_FALSE(dialog.cmdOkCancel[0]->isEnabled());

    QTest::keyClicks(dialog.txtEdit[1], QStringLiteral("X"));
    EXPECT_TRUE(dialog.cmdOkCancel[0]->isEnabled());
    typeDataPath(dialog, QStringLiteral("   "));
    EXPECT_FALSE(dialog.cmdOkCancel[0]->isEnabled()); // blanks are no data path
    typeDataPath(dialog, QStringLiteral("C:\\TK"));
    dialog.cmdOkCancel[0]->setEnabled(false);
    emit dialog.cboEdit->activated(2); // choosing a station checks again
    EXPECT_TRUE(dialog.cmdOkCancel[0]->isEnabled());
}

TEST_F(DataPathDialogTest, StationSelection) {
    const struct {
        const char* station;
        const char* defaultStation;
        int maxStations;
        const char* selected;
    } cases[] = {
        {"3", "1", 4, "3"},    {"4", "1", 4, "4"},   {" 2x", "1", 4, "2"}, {"0", "2", 4, "2"},
        {"-1", "3", 4, "3"},   {"abc", "1", 4, "1"}, {"", "1", 50, "1"},   {"5", "1", 4, "4"},
        {"60", "1", 50, "50"}, {"0", "9", 4, "4"}, // a default beyond the list takes the nearest
                                                   // entry
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.station);
        settings().setStation(QString::fromLatin1(c.station));
        settings().setDefaultStation(QString::fromLatin1(c.defaultStation));
        settings().setMaxStations(static_cast<qint16>(c.maxStations));
        frmSM_DATAPATH2 dialog(settings());
        EXPECT_EQ(dialog.cboEdit->count(), c.maxStations);
        EXPECT_EQ(dialog.cboEdit->currentText(), QString::fromLatin1(c.selected));
    }
}

TEST_F(DataPathDialogTest, ImportExportRowAppearsWhenItsPathDiffersFromTheDataPath) {
    const struct {
        const char* dataPath;
        const char* importExport;
        bool shown;
        const char* text;
    } cases[] = {
        {"C:\\TK", "C:\\TK\\export", true, "C:\\TK\\export"},
        {"C:\\TK", "c:\\tk", false, "C:\\TK"},
        {"C:\\TK", "", true, ""},
        {"", "C:\\TK\\export", false, "C:\\TK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.importExport);
        settings().setDataPath(QString::fromLatin1(c.dataPath));
        dataPathUiState().gsImportExportPath = QString::fromLatin1(c.importExport);
        frmSM_DATAPATH2 dialog(settings());
        EXPECT_EQ(!dialog.txtEdit[0]->isHidden(), c.shown);
        EXPECT_EQ(!dialog.lblEdit[1]->isHidden(), c.shown);
        EXPECT_EQ(!dialog.cmdBrowsePath[0]->isHidden(), c.shown);
        EXPECT_EQ(dialog.txtEdit[0]->text(), QString::fromLatin1(c.text));
    }
}

TEST_F(DataPathDialogTest, AcceptSavesValidSettingsAndCloses) {
    settings().setStation(QStringLiteral("2"));
    settings().setDataPath(QStringLiteral("C:\\TK"));
    dataPathUiState().gsImportExportPath = QStringLiteral("C:\\OLD");
    frmSM_DATAPATH2 dialog(settings());
    dialog.show();
    dialog.cboEdit->setCurrentIndex(6);
    dialog.chkNetwork->setChecked(true);
    dialog.ckTest->setChecked(true);
    typeDataPath(dialog, QStringLiteral("C:\\TK\\export"));
    dialog.txtEdit[0]->setText(QStringLiteral("C:\\TK\\export"));
    msgs.clear(); // the training-data caution
    dialog.cmdOkCancel[0]->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(msgs.boxes().isEmpty());
    EXPECT_FALSE(settings().Cancelled());
    EXPECT_EQ(settings().DataPath(), QStringLiteral("C:\\TK\\export"));
    EXPECT_EQ(settings().StationPath(), QStringLiteral("C:\\TK\\export"));
    EXPECT_EQ(stored("STATION"), QStringLiteral("7"));
    EXPECT_EQ(stored("DATAPATH"), QStringLiteral("C:\\TK\\export"));
    EXPECT_EQ(stored("STATIONPATH"), QStringLiteral("C:\\TK\\export"));
    EXPECT_EQ(stored("NETWORK"), QStringLiteral("True"));
    EXPECT_EQ(stored("TESTDATA"), QStringLiteral("Y"));
    EXPECT_EQ(dataPathUiState().gsImportExportPath, QStringLiteral("C:\\TK\\export"));
}

TEST_F(DataPathDialogTest, AcceptWithAMissingDataPath) {
    const QString question =
        QStringLiteral("C:\\NEWDATA\rData Path Does Not Exist\rDo you want to create it?");
    const QString notFound =
        QStringLiteral("Data Path Not Found.\r\rUse the Browse method to find a valid path.");
    const struct {
        bool createPath;
        MsgAnswer answer;
        bool accepted;
        QStringList boxes;
    } cases[] = {
        {true, MsgAnswer::Yes, true, {question}},
        {true, MsgAnswer::No, false, {question, notFound}},
        {false, MsgAnswer::Yes, false, {notFound}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.boxes.join(" / ").toStdString());
        test::DialogTest::resetAll();
        QDir(home(QStringLiteral("NEWDATA"))).removeRecursively();
        DeleteSetting(kJovSettings, QStringLiteral("DATABASE"), QStringLiteral("DATAPATH"));
        settings().setAppLabel(kJovSettings);
        settings().setDataPath(QStringLiteral("C:\\TK"));
        settings().setCreatePath(c.createPath);
        msgs.clear();
        msgs.answer(c.answer);
        frmSM_DATAPATH2 dialog(settings());
        dialog.show();
        dialog.cboEdit->setFocus();
        typeDataPath(dialog, QStringLiteral("C:\\NEWDATA"));
        dialog.cmdOkCancel[0]->click();

        EXPECT_EQ(msgs.texts(), c.boxes);
        EXPECT_EQ(dialog.isVisible(), !c.accepted);
        EXPECT_EQ(QFileInfo(home(QStringLiteral("NEWDATA"))).isDir(), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(stored("DATAPATH"), QStringLiteral("C:\\NEWDATA"));
            continue;
        }
        EXPECT_EQ(msgs.boxes().last().title, QStringLiteral("Validation"));
        EXPECT_EQ(dialog.focusWidget(), dialog.txtEdit[1]);
        // The settings keep what they held; nothing is stored.
        EXPECT_EQ(settings().DataPath(), QStringLiteral("C:\\TK"));
        EXPECT_EQ(stored("DATAPATH"), QStringLiteral("<none>"));
    }
}

TEST_F(DataPathDialogTest, APathThatCannotBeAFolderIsRefusedWithOneMessage) {
    vx::test::TestEnv::writeFile(home(QStringLiteral("afile")), "not a folder");
    const struct {
        const char* typed;
        const char* box;
    } cases[] = {
        {"TK", "Data Path Not Found.\r\r\"TK\" is not a full path: a path starts with / or "
               "with C:\\."},
        {"D:\\TK", "Data Path Not Found.\r\r\"D:\\TK\" is not a full path: a path starts "
                   "with / or with C:\\."},
        {"C:\\afile", "Data Path Not Found.\r\rC:\\afile is a file, not a folder."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        settings().setDataPath(QStringLiteral("C:\\TK"));
        settings().setCreatePath(true);
        msgs.clear();
        msgs.answer(MsgAnswer::Yes); // were a folder offered for creation
        frmSM_DATAPATH2 dialog(settings());
        dialog.show();
        typeDataPath(dialog, QLatin1String(c.typed));
        dialog.cmdOkCancel[0]->click();
        EXPECT_EQ(msgs.texts(), QStringList{QLatin1String(c.box)});
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(stored("DATAPATH"), QStringLiteral("<none>"));
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("TK"))); // nothing made where the program runs
}

TEST_F(DataPathDialogTest, SettingsThatCannotBeSavedAreReportedAndTheDialogStays) {
    QDir(env.configDir() + QStringLiteral("/jov")).removeRecursively();
    vx::test::TestEnv::writeFile(env.configDir() + QStringLiteral("/jov"), "a file, no folder");
    settings().setDataPath(QStringLiteral("C:\\TK"));
    frmSM_DATAPATH2 dialog(settings());
    dialog.show();
    typeDataPath(dialog, QStringLiteral("C:\\TK\\export"));
    msgs.clear();
    dialog.cmdOkCancel[0]->click();
    ASSERT_EQ(msgs.texts().size(), 1);
    EXPECT_TRUE(msgs.texts()[0].startsWith(QStringLiteral("The settings could not be saved in ")))
        << msgs.texts()[0].toStdString();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(settings().DataPath(), QStringLiteral("C:\\TK")); // as it was
}

TEST_F(DataPathDialogTest, CancelLeavesTheSettingsAsTheyWere) {
    settings().setStation(QStringLiteral("3"));
    settings().setDataPath(QStringLiteral("C:\\TK"));
    frmSM_DATAPATH2 dialog(settings());
    dialog.show();
    typeDataPath(dialog, QStringLiteral("C:\\NOWHERE"));
    dialog.cboEdit->setCurrentIndex(9);
    dialog.cmdOkCancel[0]->click(); // refused: no such folder
    ASSERT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.txtEdit[1], Qt::Key_Escape);

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(settings().Cancelled());
    EXPECT_EQ(settings().DataPath(), QStringLiteral("C:\\TK"));
    EXPECT_EQ(settings().Station(), QStringLiteral("3"));
    EXPECT_EQ(stored("DATAPATH"), QStringLiteral("<none>"));
}

TEST_F(DataPathDialogTest, TrainingFlagCautionsWhenItIsChecked) {
    const QString caution =
        QStringLiteral("Checking this box does not set up a traning directory or change your "
                       "data path \r\nIt is a manual switch that turns on or off the training "
                       "flag on the main screen ");
    settings().setTestPath(QStringLiteral("Y"));
    frmSM_DATAPATH2 dialog(settings());
    dialog.show();
    EXPECT_TRUE(dialog.ckTest->isChecked());
    EXPECT_TRUE(msgs.boxes().isEmpty()); // loading a stored flag says nothing
    dialog.ckTest->click();
    EXPECT_TRUE(msgs.boxes().isEmpty()); // clearing it says nothing either
    dialog.ckTest->click();
    ASSERT_EQ(msgs.boxes().size(), 1);
    EXPECT_EQ(msgs.boxes()[0].text, caution);
    EXPECT_EQ(msgs.boxes()[0].title, QStringLiteral("Caution"));
    EXPECT_EQ(msgs.boxes()[0].icon, MsgIcon::Information);
}

TEST_F(DataPathDialogTest, KeysAreSeenBeforeTheControls) {
    const struct {
        Qt::Key key;
        bool edited; // Accept enabled by an edit first
        bool closed;
        QDialog::DialogCode result;
        const char* boxTitle;
    } cases[] = {
        {Qt::Key_F10, true, true, QDialog::Accepted, nullptr},
        {Qt::Key_F10, false, false, QDialog::Rejected, nullptr}, // Accept still disabled
        {Qt::Key_Escape, true, true, QDialog::Rejected, nullptr},
        {Qt::Key_F1, false, false, QDialog::Rejected, "Station and Data Path Help"},
        {Qt::Key_F2, false, false, QDialog::Rejected, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        msgs.clear();
        settings().setDataPath(QStringLiteral("C:\\TK"));
        frmSM_DATAPATH2 dialog(settings());
        dialog.show();
        if (c.edited)
            typeDataPath(dialog, QStringLiteral("C:\\TK"));
        QTest::keyClick(dialog.cboEdit, c.key);
        EXPECT_EQ(!dialog.isVisible(), c.closed);
        EXPECT_EQ(dialog.result(), c.result);
        ASSERT_EQ(msgs.boxes().size(), c.boxTitle ? 1 : 0);
        if (c.boxTitle) {
            const QString help = msgs.boxes()[0].text;
            EXPECT_EQ(msgs.boxes()[0].title, QLatin1String(c.boxTitle));
            EXPECT_TRUE(help.startsWith(
                "A valid data path is necessary before an application can run.\r"
                "A path is also sometimes refered to as a folder or a directory.\r\r"
                "DATA PATH - The location of the JOV database files, usually C:\\TK.\r"));
            EXPECT_TRUE(help.endsWith("\rCANCEL - Discards changes and exits.\r\r"));
        }
    }
}

TEST_F(DataPathDialogTest, BrowseFillsThePathBoxUnlessCancelled) {
    const struct {
        QString choose; // empty: cancel
        QString shown;
    } cases[] = {
        {home("TK/export"), "C:\\TK\\export"},
        {env.root() + "/srv/Jov", env.root() + "/srv/Jov"},
        {"", "C:\\TK "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choose.toStdString());
        settings().setDataPath(QStringLiteral("C:\\TK "));
        frmSM_DATAPATH2 dialog(settings());
        dialog.show();
        QString startedAt, startDrive;
        const QString choose = c.choose;
        whenModal<frmSMFILE_PATH>([&, choose](frmSMFILE_PATH& browser) {
            startedAt = browser.folder();
            startDrive = pathBrowserState().Drive;
            if (choose.isEmpty())
                QTest::keyClick(browser.dirBrowse, Qt::Key_Escape);
            else if (browser.setFolder(choose))
                browser.cmdOkCancel[0]->click();
        });
        dialog.cmdBrowsePath[1]->click();
        EXPECT_EQ(startedAt, home(QStringLiteral("TK")));
        EXPECT_EQ(startDrive, QStringLiteral("C:"));
        EXPECT_EQ(dialog.txtEdit[1]->text(), c.shown);
        EXPECT_TRUE(dialog.isVisible());
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
