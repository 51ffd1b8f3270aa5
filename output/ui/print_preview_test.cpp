#include "output/ui/testing/preview_testing.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace vx::output::test {
namespace {

constexpr int kManyRows = 160; // three pages

TEST_F(PreviewTest, DocumentEventsShowTheWindowAtTheFirstFinishedPage) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Print Preview"));
    EXPECT_EQ(window.zoom(), 100);
    Document& doc = window.newDocument();
    struct Seen {
        bool visible, inProgress, printEnabled;
        QString pageText;
    };
    QList<Seen> seen; // the window as each new page starts, i.e. right after a page was finished
    doc.setPageStartHandler([&](ReportPrinter&) {
        seen.append({window.isVisible(), window.documentInProgress(), window.cmdPrint->isEnabled(),
                     window.lblPageOf->text()});
    });
    writeRows(doc, kManyRows, {}, false);
    settle(); // the report lets events run: the window becomes active meanwhile
    EXPECT_FALSE(window.cmdPrint->isEnabled()) << "activation must not enable printing early";
    ASSERT_EQ(seen.size(), 3);
    EXPECT_FALSE(seen[0].visible); // the first page was just started
    EXPECT_TRUE(seen[1].visible && seen[1].inProgress && !seen[1].printEnabled);
    EXPECT_EQ(seen[1].pageText, QStringLiteral("Page 1 of 1"));
    EXPECT_EQ(seen[2].pageText, QStringLiteral("Page 1 of 2"));

    doc.endDoc();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.documentInProgress());
    EXPECT_TRUE(window.cmdPrint->isEnabled());
    EXPECT_TRUE(window.mnuPrint_item[1]->isEnabled());
    EXPECT_EQ(window.lblPageOf->text(), QStringLiteral("Page 1 of 3"));
    for (QPushButton* move : window.cmdMove)
        EXPECT_TRUE(move->isEnabled());
}

TEST_F(PreviewTest, WhatTheWriterDoesDecidesWhetherTheWindowAppears) {
    struct Case {
        const char* name;
        int rows;
        std::function<void(frmSMPRNT_PREVIEW&, Document&)> afterRows;
        bool visible;
    } cases[] = {
        {"one page, ended", 5, [](auto&, Document& d) { d.endDoc(); }, true},
        {"abandoned on its first page", 5,
         [](auto&, Document& d) {
             d.abandonDoc();
             d.endDoc();
         },
         false},
        {"abandoned after pages were shown", kManyRows,
         [](auto&, Document& d) {
             d.abandonDoc();
             d.endDoc();
         },
         false},
        {"closed by the user while produced", kManyRows,
         [](frmSMPRNT_PREVIEW& w, Document& d) {
             w.cmdClose_Click();
             writeRows(d, 20); // the report goes on writing into the dropped document
         },
         false},
        {"unloaded while produced", kManyRows,
         [](frmSMPRNT_PREVIEW& w, Document& d) {
             w.unload();
             d.endDoc();
         },
         false},
    };
    for (const Case& c : cases) {
        frmSMPRNT_PREVIEW w;
        Document& doc = w.newDocument();
        writeRows(doc, c.rows, {}, false);
        c.afterRows(w, doc);
        EXPECT_EQ(w.isVisible(), c.visible) << c.name;
        EXPECT_FALSE(w.documentInProgress()) << c.name;
    }
}

TEST_F(PreviewTest, ANewDocumentLeavesTheOldOneUsableForItsWriter) {
    Document& first = window.newDocument();
    writeRows(first, kManyRows, {}, false);
    Document& second = window.newDocument(); // e.g. a purchase order shown while a report runs
    writeRows(first, 40);                    // the report finishes its own document
    EXPECT_FALSE(window.documentInProgress());
    EXPECT_EQ(window.pageCount(), 0);
    writeRows(second, 3);
    EXPECT_EQ(window.lblPageOf->text(), QStringLiteral("Page 1 of 1"));
    EXPECT_EQ(window.document(), &second);
}

TEST_F(PreviewTest, ZoomBoxTakesDigitsAndEnterAndKeepsTheZoomInRange) {
    struct Case {
        const char* typed;
        int zoom;
        const char* shown;
    } cases[] = {
        {"5", 10, " 10%"},    {"400", 300, "300%"}, {"75", 75, " 75%"},   {"1x2", 12, " 12%"},
        {"0", 10, " 10%"},    {"300", 300, "300%"}, {"100", 100, "100%"}, {"125", 125, "125%"},
        {"150", 150, "150%"}, {"200", 200, "200%"}, {"250", 250, "250%"}, // texts a list entry
                                                                          // starts with
    };
    writeRows(window.newDocument(), 5);
    settle();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (const Case& c : cases) {
        window.cboZoom->setCurrentIndex(3);
        window.cboZoom->setFocus();
        QWidget* typing = QApplication::focusWidget();
        ASSERT_TRUE(typing == window.cboZoom || typing == window.cboZoom->lineEdit());
        QTest::keyClicks(typing, QLatin1String(c.typed));
        QTest::keyClick(typing, Qt::Key_Return);
        EXPECT_EQ(window.zoom(), c.zoom) << c.typed;
        EXPECT_EQ(window.cboZoom->currentText(), QLatin1String(c.shown)) << c.typed;
    }
}

TEST_F(PreviewTest, ZoomListEntriesGoInStepsOfAQuarterAndIgnoreEnter) {
    for (int i = 0; i < window.cboZoom->count(); ++i) {
        window.cboZoom->setCurrentIndex(i);
        emit window.cboZoom->activated(i);
        EXPECT_EQ(window.zoom(), (i + 1) * 25);
        EXPECT_EQ(window.cboZoom->currentText(), window.cboZoom->itemText(i));
    }
    window.cboZoom->setCurrentIndex(1);
    emit window.cboZoom->activated(1);
    QTest::keyClick(window.cboZoom, Qt::Key_Return);
    QTest::keyClick(window.cboZoom, Qt::Key_Backspace); // not a digit: ignored
    EXPECT_EQ(window.zoom(), 50);
    EXPECT_EQ(window.cboZoom->currentText(), QStringLiteral(" 50%"));
}

TEST_F(PreviewTest, NavigationWorksOnlyForSeveralPages) {
    struct Step {
        std::function<void(frmSMPRNT_PREVIEW&)> act;
        int manyPages;
    } steps[] = {
        {[](auto& w) { QTest::keyClick(w.vsvPrinter, Qt::Key_End); }, 3},
        {[](auto& w) { QTest::keyClick(w.txtFind, Qt::Key_PageUp); }, 2},
        {[](auto& w) { QTest::keyClick(w.cboZoom, Qt::Key_Home); }, 1},
        {[](auto& w) { QTest::keyClick(w.cmdPrint, Qt::Key_PageUp); }, 1}, // stays on page 1
        {[](auto& w) { QTest::keyClick(w.vsvPrinter, Qt::Key_PageDown); }, 2},
        {[](auto& w) { QTest::mouseClick(w.cmdMove[3], Qt::LeftButton); }, 3},
        {[](auto& w) { QTest::mouseClick(w.cmdMove[1], Qt::LeftButton); }, 3}, // stays on last
        {[](auto& w) { QTest::mouseClick(w.cmdMove[2], Qt::LeftButton); }, 2},
        {[](auto& w) { QTest::mouseClick(w.cmdMove[0], Qt::LeftButton); }, 1},
    };
    for (int rows : {kManyRows, 5}) {
        frmSMPRNT_PREVIEW w;
        const int pages = writeRows(w.newDocument(), rows);
        for (QPushButton* move : w.cmdMove)
            EXPECT_EQ(move->isEnabled(), pages > 1);
        for (const Step& s : steps) {
            s.act(w);
            const int expected = pages > 1 ? s.manyPages : 1;
            EXPECT_EQ(w.previewPage(), expected) << rows << " rows";
            EXPECT_EQ(w.lblPageOf->text(),
                      QStringLiteral("Page %1 of %2").arg(expected).arg(pages));
        }
    }
}

TEST_F(PreviewTest, EscClosesOnceUntilTheNextActivation) {
    runState().gbDirectRun = true;
    writeRows(window.newDocument(), kManyRows);
    settle();
    ASSERT_TRUE(window.activated());
    QTest::keyClick(window.txtFind, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(runState().gbPreviewDone);
    EXPECT_FALSE(window.activated());
    EXPECT_EQ(window.pageCount(), 0); // Close drops the document

    // Shown again without becoming active: a held Esc does not close it again.
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    window.show();
    QApplication::processEvents();
    QTest::keyClick(window.txtFind, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());

    // Another window comes and goes; the preview becomes active again.
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(window.activated());
    QTest::keyClick(window.txtFind, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(PreviewTest, OnePageDocumentClosesByEscAndByItsCommands) {
    struct Case {
        const char* name;
        std::function<void(frmSMPRNT_PREVIEW&)> close;
    } cases[] = {
        {"Esc", [](auto&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }},
        {"Esc Cancel", [](auto& w) { QTest::mouseClick(w.cmdClose, Qt::LeftButton); }},
        {"E&xit", [](auto& w) { w.mnuPrint_exit->trigger(); }},
    };
    for (const Case& c : cases) {
        frmSMPRNT_PREVIEW w;
        writeRows(w.newDocument(), 5);
        settle();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w)) << c.name;
        ASSERT_TRUE(QApplication::focusWidget()) << c.name;
        EXPECT_EQ(w.pageCount(), 1) << c.name;
        c.close(w);
        EXPECT_FALSE(w.isVisible()) << c.name;
    }
}

TEST_F(PreviewTest, ClosingSignalsTheStartUpOnlyInADirectRunButUnloadingAlways) {
    struct Case {
        bool directRun;
        bool unload;
        bool done;
    } cases[] = {
        {true, false, true}, {false, false, false}, {true, true, true}, {false, true, true}};
    for (const Case& c : cases) {
        resetRunState();
        runState().gbDirectRun = c.directRun;
        frmSMPRNT_PREVIEW w;
        writeRows(w.newDocument(), 5);
        if (c.unload)
            w.close();
        else
            w.cmdClose_Click();
        EXPECT_EQ(runState().gbPreviewDone, c.done) << c.directRun << c.unload;
        EXPECT_FALSE(w.isVisible());
    }
}

TEST_F(PreviewTest, FindThenF3WalksTheMatchesAndStartsOverAfterTheLast) {
    const int pages = writeRows(window.newDocument(), kManyRows, {5, 80, 150});
    ASSERT_EQ(pages, 3);
    settle();
    const QString notFound =
        QStringLiteral("The document has been searched.\rCannot find the string 'widget'");
    QTest::keyClicks(window.txtFind, QStringLiteral("widget"));
    QTest::mouseClick(window.cmdFind[0], Qt::LeftButton);
    const int expectedPages[] = {1, 2, 3, 0, 1, 2};
    for (int i = 0; i < 6; ++i) {
        if (i > 0)
            QTest::keyClick(window.txtFind, Qt::Key_F3);
        const int page = expectedPages[i];
        EXPECT_EQ(window.searchPage(), page) << i;
        if (page == 0) {
            ASSERT_EQ(messages.boxes().size(), 1);
            EXPECT_EQ(messages.boxes()[0].text, notFound);
            EXPECT_EQ(messages.boxes()[0].title, QStringLiteral("Not Found"));
            EXPECT_EQ(messages.boxes()[0].icon, MsgIcon::Information);
            continue;
        }
        EXPECT_EQ(window.previewPage(), page);
        EXPECT_EQ(window.vsvPrinter->highlightPage(), page);
        const QRectF r = window.vsvPrinter->highlightRect();
        EXPECT_EQ(window.searchPosition(), r.bottom());
        const auto found = window.document()->find(QStringLiteral("Widget"), page, r.top());
        ASSERT_TRUE(found);
        EXPECT_EQ(found->rect, r);
    }
    EXPECT_EQ(messages.boxes().size(), 1);
}

TEST_F(PreviewTest, SearchTextEnablesTheSearchButtons) {
    runState().gbShowPOButton = true;
    writeRows(window.newDocument(), 5);
    settle();
    ASSERT_FALSE(window.cmdFind[3]->isHidden());
    const std::pair<QString, bool> steps[] = {
        {QStringLiteral("a"), true}, {QString(), false}, {QStringLiteral("  "), true}};
    for (const auto& [text, enabled] : steps) {
        window.txtFind->setText(text);
        for (int i : {0, 1, 3})
            EXPECT_EQ(window.cmdFind[i]->isEnabled(), enabled) << i << " '" << text.toStdString();
    }
    // A blank search text is no search text.
    QTest::mouseClick(window.cmdFind[0], Qt::LeftButton);
    ASSERT_EQ(messages.boxes().size(), 1);
    EXPECT_EQ(messages.boxes()[0].text, QStringLiteral("Please enter value for which to search"));
    EXPECT_EQ(messages.boxes()[0].title, QStringLiteral("Search for ???"));
}

TEST_F(PreviewTest, F6ShowsThePurchaseOrderNamedInTheSearchBox) {
    struct Case {
        bool showButton;
        bool found;
        bool settled; // false: the user is quicker than the window system's activation
        QStringList asked;
        QStringList boxes;
    } cases[] = {
        {true, true, true, {QStringLiteral("PO-12A")}, {}},
        {true, true, false, {QStringLiteral("PO-12A")}, {}},
        {true, false, true, {QStringLiteral("PO-12A")}, {QStringLiteral("PO Not found")}},
        {false, true, true, {}, {}},
    };
    for (const Case& c : cases) {
        resetRunState();
        runState().gbShowPOButton = c.showButton;
        messages.clear();
        frmSMPRNT_PREVIEW w;
        QStringList asked;
        w.setShowPOHandler([&](const QString& number) {
            asked.append(number);
            return c.found;
        });
        writeRows(w.newDocument(), 5);
        if (c.settled)
            settle();
        w.txtFind->setText(QStringLiteral("po-12a"));
        QTest::keyClick(&w, Qt::Key_F6);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(messages.texts(), c.boxes);
        if (!c.found && c.showButton) {
            EXPECT_EQ(QApplication::focusWidget(), w.txtFind);
        }
    }
}

TEST_F(PreviewTest, RightHandButtonsLineUpAtTheStripsRightEdge) {
    writeRows(window.newDocument(), 5);
    settle();
    const int gap = 7; // 100 twips
    int right = window.elsButtons->width();
    for (QPushButton* b : {window.cmdClose, window.cmdPrint, window.cmdSave, window.cmdSendMail}) {
        EXPECT_EQ(b->geometry().right() + 1, right - gap) << b->objectName().toStdString();
        right = b->x();
    }
    // Nothing on the left reaches under them.
    for (QWidget* w : std::initializer_list<QWidget*>{window.txtFind, window.cmdFind[1]})
        EXPECT_LT(w->geometry().right(), window.cmdSendMail->x());
}

} // namespace
} // namespace vx::output::test
