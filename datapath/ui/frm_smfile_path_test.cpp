#include "datapath/ui/testing/datapath_ui_testing.h"

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

// Where the browser starts: the caller's drive and folder, else quietly the current folder. Accept
// waits for a file only when the files are shown; patterns match without regard to case.
TEST_F(BrowserTest, StartingPointAndTheFilesThatEnableAccept) {
    const struct {
        const char* drive;
        QString path, folder;
        const char* pattern; // nullptr: the files are not shown
        int files;
    } cases[] = {
        {"c:", "c:\\tk\\..\\empty", home("empty"), nullptr, 0},
        {"C:", "C:\\MISSING", home(), nullptr, 0},  // the drive is found, the folder is not
        {"Q:", "Q:\\DATA", env.root(), nullptr, 0}, // no such drive: the current drive and folder
        {"C:", "C:\\TK", home("TK"), "", 3},
        {"C:", "C:\\TK", home("TK"), "*.jov; *.xyz", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString() + " " + (c.pattern ? c.pattern : "-"));
        resetPathBrowserState();
        PathBrowserState& state = pathBrowserState();
        std::tie(state.Drive, state.Path) = std::pair(QString::fromLatin1(c.drive), c.path);
        state.ShowFiles = c.pattern;
        state.Pattern = QString::fromLatin1(c.pattern);
        frmSMFILE_PATH browser;
        browser.show();
        EXPECT_EQ(browser.lblPath->text(), c.folder);
        EXPECT_EQ(browser.drvBrowse->currentIndex(), driveIndexOf(browseDrives(), c.folder));
        EXPECT_EQ(browser.fileBrowse->isVisible(), state.ShowFiles);
        EXPECT_EQ(browser.fileBrowse->currentRow(), c.files ? 0 : -1);
        if (c.pattern) {
            EXPECT_EQ(browser.fileBrowse->count(), c.files);
        }
        EXPECT_TRUE(browser.cmdOkCancel[0]->isEnabled());
    }
    EXPECT_TRUE(msgs.boxes().isEmpty());
}

// The user walks the folders and the pattern with the keyboard, asks for help, then picks a
// file with a double click.
TEST_F(BrowserTest, AKeyboardWalkThroughFoldersPatternAndFiles) {
    PathBrowserState& state = pathBrowserState();
    state.ShowFiles = true;
    state.Pattern = QStringLiteral("*.JOV");
    state.Title = QStringLiteral("Find the Data Files");
    state.Path = QStringLiteral("C:\\TK");
    gDataPath().setDataPath(home(QStringLiteral("TK")));
    frmSMFILE_PATH browser;
    browser.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&browser));
    EXPECT_EQ(browser.windowTitle(), QStringLiteral("Find the Data Files"));
    EXPECT_TRUE(browser.cmdOkCancel[0]->isEnabled());

    // Enter opens the highlighted folder: no files there, no Accept; F10 does nothing then.
    browser.dirBrowse->setFocus();
    browser.dirBrowse->setCurrentItem(browser.folderItem(home(QStringLiteral("TK/export"))));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(browser.folder(), home(QStringLiteral("TK/export")));
    EXPECT_FALSE(browser.cmdOkCancel[0]->isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
    EXPECT_TRUE(browser.isVisible());
    // The open folders above are listed: going back up finds the files again.
    browser.dirBrowse->setCurrentItem(browser.folderItem(home(QStringLiteral("TK"))));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(browser.cmdOkCancel[0]->isEnabled());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1); // the help names the data path
    ASSERT_EQ(msgs.boxes().size(), 1);
    EXPECT_TRUE(msgs.texts()[0].contains("Your data files are installed in " + home("TK") + "."));
    EXPECT_TRUE(browser.isVisible());

    // Characters type into the pattern, those without a key code of their own too.
    browser.txtFileSpec->setFocus();
    browser.txtFileSpec->clear();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("*.d;"));
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_Eacute,
                        QStringLiteral("é"), Qt::NoModifier);
    EXPECT_EQ(browser.txtFileSpec->text(), QStringLiteral("*.d;é"));
    EXPECT_EQ(browser.fileBrowse->count(), 0);
    EXPECT_FALSE(browser.cmdOkCancel[0]->isEnabled());

    browser.txtFileSpec->setText(QStringLiteral("*.JOV"));
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
