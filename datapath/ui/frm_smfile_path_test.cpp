#include "datapath/ui/testing/datapath_ui_testing.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace vx {
namespace {

using BrowserTest = test::DialogTest;

TEST_F(BrowserTest, AcceptIsEnabledByTheFilesOfTheFolderWhenTheyAreShown) {
    const struct {
        bool showFiles;
        const char* folder;
        const char* pattern;
        bool enabled;
        int files;
    } cases[] = {
        {false, "empty", "", true, 0},        {false, "TK", "*.XYZ", true, 0},
        {true, "empty", "", false, 0},        {true, "TK", "", true, 3},
        {true, "TK", "*.*", true, 3},         {true, "TK", "*.jov", true, 2},
        {true, "TK", "*.XYZ", false, 0},      {true, "TK", "*.xyz; *.txt", true, 1},
        {true, "TK/export", "*.*", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + " " + c.pattern);
        resetPathBrowserState();
        PathBrowserState& state = pathBrowserState();
        state.ShowFiles = c.showFiles;
        state.Pattern = QString::fromLatin1(c.pattern);
        state.Path = home(QString::fromLatin1(c.folder));
        frmSMFILE_PATH browser;
        browser.show();
        EXPECT_EQ(browser.folder(), state.Path);
        EXPECT_EQ(browser.lblPath->text(), state.Path);
        EXPECT_EQ(browser.fileBrowse->isVisible(), c.showFiles);
        EXPECT_EQ(browser.txtFileSpec->isVisible(), c.showFiles);
        EXPECT_EQ(browser.fileBrowse->count(), c.files);
        EXPECT_EQ(browser.cmdOkCancel[0]->isEnabled(), c.enabled);
        if (c.showFiles && c.files > 0) {
            EXPECT_EQ(browser.fileBrowse->currentRow(), 0);
        }
    }
}

TEST_F(BrowserTest, ChangingFolderOrPatternChecksAcceptAgain) {
    pathBrowserState().ShowFiles = true;
    pathBrowserState().Path = home(QStringLiteral("TK"));
    frmSMFILE_PATH browser;
    browser.show();
    ASSERT_TRUE(browser.cmdOkCancel[0]->isEnabled());
    browser.dirBrowse_DblClick(browser.folderItem(home(QStringLiteral("TK/export"))));
    EXPECT_EQ(browser.folder(), home(QStringLiteral("TK/export")));
    EXPECT_FALSE(browser.cmdOkCancel[0]->isEnabled());
    // The open folders above are listed: double-clicking one goes back up.
    browser.dirBrowse_DblClick(browser.folderItem(home(QStringLiteral("TK"))));
    EXPECT_TRUE(browser.cmdOkCancel[0]->isEnabled());
    QTest::keyClicks(browser.txtFileSpec, QStringLiteral("x"));
    EXPECT_EQ(browser.fileBrowse->count(), 0);
    EXPECT_FALSE(browser.cmdOkCancel[0]->isEnabled());
}

TEST_F(BrowserTest, StartingPointFallsBackQuietlyToTheCurrentFolder) {
    const struct {
        const char* drive;
        QString path;
        QString expected;
    } cases[] = {
        {"C:", "C:\\TK", home("TK")},
        {"c:", "c:\\tk\\..\\empty", home("empty")},
        {"C:", "C:\\MISSING", home()},  // the drive is found, the folder is not
        {"Q:", "Q:\\DATA", env.root()}, // no such drive: the current drive and folder
        {"", env.root() + "/srv/Jov", env.root() + "/srv/Jov"},
        {"/S", env.root() + "/srv/Jov/", env.root() + "/srv/Jov"},
        {"", "", env.root()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        pathBrowserState().Drive = QString::fromLatin1(c.drive);
        pathBrowserState().Path = c.path;
        frmSMFILE_PATH browser;
        EXPECT_EQ(browser.folder(), c.expected);
        EXPECT_EQ(browser.drvBrowse->currentIndex(), driveIndexOf(browseDrives(), c.expected));
        EXPECT_EQ(browser.windowTitle(), QStringLiteral("Path Browser"));
    }
    EXPECT_TRUE(msgs.boxes().isEmpty());
}

TEST_F(BrowserTest, CancelKeepsTheCallersPathAcceptGivesTheFolder) {
    const struct {
        bool accept;
        bool result;
        QString folder;
    } cases[] = {
        {false, false, "C:\\TK"},
        {true, true, home("TK/export")},
    };
    for (const auto& c : cases) {
        QString folder = QStringLiteral("C:\\TK");
        const bool accept = c.accept;
        const QString h = home();
        whenModal<frmSMFILE_PATH>([accept, h](frmSMFILE_PATH& browser) {
            browser.drvBrowse->setCurrentIndex(0); // "/"
            EXPECT_EQ(browser.folder(), QStringLiteral("/"));
            browser.setFolder(h + QStringLiteral("/TK"));
            browser.dirBrowse_DblClick(browser.folderItem(h + QStringLiteral("/TK/export")));
            browser.cmdOkCancel[accept ? 0 : 1]->click();
        });
        EXPECT_EQ(frmSMFILE_PATH::browse(folder, QStringLiteral("C:")), c.result);
        EXPECT_EQ(folder, c.folder);
        EXPECT_EQ(pathBrowserState().Cancelled, !c.accept);
        if (c.accept) {
            EXPECT_EQ(pathBrowserState().Drive, QStringLiteral("C:"));
        }
    }
}

TEST_F(BrowserTest, KeysPressTheButtonsTheyAreWrittenOn) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool showFiles;
        bool closed;
        bool cancelled;
        int boxes;
    } cases[] = {
        {Qt::Key_F10, Qt::NoModifier, false, true, false, 0},
        {Qt::Key_F10, Qt::ShiftModifier, false, false, true, 0},
        {Qt::Key_F10, Qt::NoModifier, true, false, true, 0}, // Accept disabled: no files
        {Qt::Key_Escape, Qt::NoModifier, false, true, true, 0},
        {Qt::Key_F1, Qt::NoModifier, false, false, true, 1},
        {Qt::Key_F2, Qt::NoModifier, false, false, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        msgs.clear();
        pathBrowserState().ShowFiles = c.showFiles;
        pathBrowserState().Path = home(QStringLiteral("empty"));
        frmSMFILE_PATH browser;
        browser.show();
        QTest::keyClick(browser.dirBrowse, c.key, c.modifiers);
        EXPECT_EQ(!browser.isVisible(), c.closed);
        EXPECT_EQ(pathBrowserState().Cancelled, c.cancelled);
        ASSERT_EQ(msgs.boxes().size(), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(msgs.boxes()[0].title, QStringLiteral("Path Browser Help"));
            EXPECT_TRUE(msgs.boxes()[0].text.startsWith(
                "A path is sometimes refered to as a folder or a directory.\rOnly a folder"));
            EXPECT_TRUE(msgs.boxes()[0].text.endsWith("\rCANCEL - Discards changes and exits."));
        }
    }
}

TEST_F(BrowserTest, EveryCharacterTypesIntoThePatternAndHelpNamesTheDataPath) {
    pathBrowserState().ShowFiles = true;
    pathBrowserState().Path = home(QStringLiteral("empty"));
    gDataPath().setDataPath(home(QStringLiteral("TK")));
    frmSMFILE_PATH browser;
    browser.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&browser));
    browser.txtFileSpec->setFocus();
    browser.txtFileSpec->clear();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("*.jov;a-b_c?."));
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_Eacute,
                        QStringLiteral("é"), Qt::NoModifier);
    EXPECT_EQ(browser.txtFileSpec->text(), QStringLiteral("*.jov;a-b_c?.é"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    ASSERT_EQ(msgs.boxes().size(), 1);
    EXPECT_TRUE(
        msgs.boxes()[0].text.contains(QStringLiteral("\rYour data files are installed in ") +
                                      home(QStringLiteral("TK")) + QStringLiteral(".\r")))
        << msgs.boxes()[0].text.toStdString();
}

TEST_F(BrowserTest, DoubleClickingAFileAcceptsIt) {
    PathBrowserState& state = pathBrowserState();
    state.ShowFiles = true;
    state.Pattern = QStringLiteral("*.JOV");
    state.Title = QStringLiteral("Find the Data Files");
    state.Path = QStringLiteral("C:\\TK");
    frmSMFILE_PATH browser;
    browser.show();
    EXPECT_EQ(browser.windowTitle(), QStringLiteral("Find the Data Files"));
    EXPECT_EQ(browser.txtFileSpec->text(), QStringLiteral("*.JOV"));
    QListWidgetItem* vendor = browser.fileBrowse->item(1);
    ASSERT_NE(vendor, nullptr);
    browser.fileBrowse->setCurrentItem(vendor);
    emit browser.fileBrowse->itemDoubleClicked(vendor);
    EXPECT_FALSE(browser.isVisible());
    EXPECT_FALSE(state.Cancelled);
    EXPECT_EQ(state.Path, home(QStringLiteral("TK")));
    EXPECT_EQ(state.FileName, QStringLiteral("VENDOR.JOV"));
}

} // namespace
} // namespace vx
