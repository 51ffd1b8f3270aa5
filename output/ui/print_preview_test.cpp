// The print preview window offscreen, driven by keys typed into the focused control and clicks.
#include "datapath/clsdatapath.h"
#include "output/ui/print_preview.h"
#include "runstate/runstate.h"
#include "testsupport/scripted_messages.h"
#include "testsupport/test_env.h"

#include <QTest>
#include <QtPrintSupport>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace vx::output::test {
namespace {

constexpr int kManyRows = 160; // three pages

// Writes "Row 001", ... (" Widget" after the `marked`) into `doc`; returns its page count.
int writeRows(Document& doc, int rows, const QSet<int>& marked = {}, bool end = true) {
    doc.setMargins(720, 720, 720, 720);
    doc.startDoc();
    for (int i = 1; i <= rows; ++i)
        doc.tableText(QStringLiteral("<5000|>2000;Row %1%2|x")
                          .arg(i, 3, 10, QLatin1Char('0'))
                          .arg(QLatin1String(marked.contains(i) ? " Widget" : "")));
    if (end)
        doc.endDoc();
    return doc.pageCount();
}

int pdfPages(const QString& path) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page\\b(?!s)"));
    const QByteArray pdf = vx::test::TestEnv::readFile(path);
    EXPECT_TRUE(pdf.startsWith("%PDF")) << path.toStdString();
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

class PreviewTest : public ::testing::Test {
  protected:
    PreviewTest() {
        env.setEnv("LC_ALL", QStringLiteral("en_US.UTF-8"));
        resetRunState();
        resetDataPath();
        gDataPath().setDataPath(env.mkdir(QStringLiteral("data")));
        services.saveFileName = [this](QWidget*, const auto&... folderFilterSuffix) {
            return dialogs.append(QStringList{folderFilterSuffix...}.join(u'|')), chosenFile;
        };
        window.setServices(services);
    }
    ~PreviewTest() override { resetRunState(); }

    // `w` with a finished document of `rows` rows, shown and made active; returns its pages.
    static int open(frmSMPRNT_PREVIEW& w, int rows, const QSet<int>& marked = {}) {
        const int pages = writeRows(w.newDocument(), rows, marked);
        QApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return pages;
    }
    static void type(QWidget* widget, Qt::Key key, const char* text = "") {
        widget->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), QLatin1String(text));
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    QString data(const char* name) const {
        return gDataPath().DataPath() + u'/' + QLatin1String(name);
    }

    vx::test::TestEnv env;
    ScopedScriptedMessages messages;
    PreviewServices services;
    QStringList dialogs;
    QString chosenFile;
    frmSMPRNT_PREVIEW window;
};

TEST_F(PreviewTest, TheDocumentsEventsShowTheWindowAndEnablePrintingAtItsEnd) {
    Document& doc = window.newDocument();
    QStringList seen; // the window as each page starts, i.e. right after one was finished
    doc.setPageStartHandler([&](ReportPrinter&) {
        seen << QString::asprintf("%d %d %d ", window.isVisible(), window.documentInProgress(),
                                  window.cmdPrint->isEnabled()) +
                    window.lblPageOf->text();
    });
    writeRows(doc, kManyRows, {}, false);
    QApplication::processEvents(); // the window becomes active meanwhile
    EXPECT_FALSE(window.cmdPrint->isEnabled()) << "activation must not enable printing early";
    EXPECT_EQ(seen, QStringList({"0 0 1 Page 0 of 0", "1 1 0 Page 1 of 1", "1 1 0 Page 1 of 2"}));
    doc.endDoc();
    EXPECT_TRUE(window.isVisible() && !window.documentInProgress());
    EXPECT_TRUE(window.cmdPrint->isEnabled() && window.mnuPrint_item[1]->isEnabled());
    EXPECT_EQ(window.lblPageOf->text(), QStringLiteral("Page 1 of 3"));

    // A new document (a purchase order shown while a report runs) leaves the old one to its
    // writer, which finishes it unseen.
    Document& old = window.newDocument();
    writeRows(old, kManyRows, {}, false);
    Document& order = window.newDocument();
    old.tableText(QStringLiteral("<5000;last row"));
    old.endDoc();
    EXPECT_FALSE(window.documentInProgress());
    EXPECT_EQ(window.pageCount(), 0);
    writeRows(order, 3);
    EXPECT_EQ(window.lblPageOf->text(), QStringLiteral("Page 1 of 1"));

    const struct {
        const char* name;
        int rows;
        std::function<void(frmSMPRNT_PREVIEW&, Document&)> then;
    } cases[] = {
        // One page ended; the rest after pages were shown: abandoned, closed, unloaded.
        {"ended", 5, [](auto&, Document& d) { d.endDoc(); }},
        {"abandoned", kManyRows, [](auto&, Document& d) { d.abandonDoc(), d.endDoc(); }},
        {"closed", kManyRows, [](auto& w, auto& d) { w.cmdClose_Click(), writeRows(d, 20); }},
        {"unloaded", kManyRows, [](auto& w, Document& d) { w.unload(), d.endDoc(); }},
    };
    for (const auto& c : cases) {
        frmSMPRNT_PREVIEW w;
        Document& d = w.newDocument();
        writeRows(d, c.rows, {}, false);
        c.then(w, d);
        EXPECT_EQ(w.isVisible(), &c == cases) << c.name; // only the ended one stays shown
        EXPECT_FALSE(w.documentInProgress()) << c.name;
    }
}

TEST_F(PreviewTest, KeysAndButtonsWalkThePagesAndTheZoomBoxTakesTypedNumbers) {
    const std::function<void(frmSMPRNT_PREVIEW&)> steps[] = {
        [](auto& w) { type(w.vsvPrinter, Qt::Key_End); },
        [](auto& w) { type(w.txtFind, Qt::Key_PageUp); },
        [](auto& w) { type(w.cboZoom, Qt::Key_Home); },
        [](auto& w) { type(w.cmdPrint, Qt::Key_PageUp); }, // stays on page 1
        [](auto& w) { type(w.vsvPrinter, Qt::Key_PageDown); },
        [](auto& w) { QTest::mouseClick(w.cmdMove[3], Qt::LeftButton); },
        [](auto& w) { QTest::mouseClick(w.cmdMove[1], Qt::LeftButton); }, // stays on the last
        [](auto& w) { QTest::mouseClick(w.cmdMove[2], Qt::LeftButton); },
        [](auto& w) { QTest::mouseClick(w.cmdMove[0], Qt::LeftButton); },
    };
    const int manyPages[] = {3, 2, 1, 1, 2, 3, 3, 2, 1};
    for (int rows : {5, kManyRows}) {
        frmSMPRNT_PREVIEW w;
        const int pages = open(w, rows);
        for (QPushButton* move : w.cmdMove)
            EXPECT_EQ(move->isEnabled(), pages > 1);
        for (size_t i = 0; i < std::size(steps); ++i) {
            steps[i](w);
            const int expected = pages > 1 ? manyPages[i] : 1;
            EXPECT_EQ(w.lblPageOf->text(), QStringLiteral("Page %1 of %2").arg(expected).arg(pages))
                << rows << " rows, step " << i;
        }
    }

    open(window, 5);
    const struct {
        const char *typed, *shown;
    } zooms[] = {
        {"5", " 10%"}, {"400", "300%"}, {"75", " 75%"},  {"1x2", " 12%"},
        {"0", " 10%"}, {"125", "125%"}, {"250", "250%"}, // texts a list entry starts with
    };
    for (const auto& z : zooms) {
        window.cboZoom->setCurrentIndex(3);
        type(window.cboZoom, Qt::Key_Return, z.typed);
        EXPECT_EQ(window.cboZoom->currentText(), QLatin1String(z.shown)) << z.typed;
        EXPECT_EQ(window.zoom(), QString::fromLatin1(z.shown).chopped(1).trimmed().toInt())
            << z.typed;
    }
    // Down steps a quarter on from the zoom shown, typed as it may be.
    type(window.cboZoom, Qt::Key_Return, "150");
    type(window.cboZoom, Qt::Key_Down);
    EXPECT_EQ(window.zoom(), 175);
}

TEST_F(PreviewTest, FindAndF3WalkTheMatchesAndF6ShowsThePurchaseOrder) {
    runState().gbShowPOButton = true;
    ASSERT_EQ(open(window, kManyRows, {5, 80, 150}), 3);
    EXPECT_FALSE(window.cmdFind[3]->isHidden());
    window.txtFind->setText(QStringLiteral("  "));
    QTest::mouseClick(window.cmdFind[0], Qt::LeftButton); // blanks are no search text
    EXPECT_EQ(messages.texts(), QStringList{"Please enter value for which to search"});

    messages.clear();
    window.txtFind->clear();
    QTest::keyClicks(window.txtFind, QStringLiteral("widget"));
    QTest::mouseClick(window.cmdFind[0], Qt::LeftButton);
    for (int page : {1, 2, 3, 0, 1, 2}) {
        EXPECT_EQ(window.searchPage(), page);
        if (page == 0) {
            EXPECT_EQ(messages.texts(), QStringList{"The document has been searched.\rCannot "
                                                    "find the string 'widget'"});
        } else {
            EXPECT_EQ(window.previewPage(), page);
            EXPECT_EQ(window.vsvPrinter->highlightPage(), page);
            const QRectF r = window.vsvPrinter->highlightRect();
            EXPECT_EQ(window.searchPosition(), r.bottom());
            const auto found = window.document()->find(QStringLiteral("Widget"), page, r.top());
            ASSERT_TRUE(found);
            EXPECT_EQ(found->rect, r);
        }
        type(window.txtFind, Qt::Key_F3);
    }
    EXPECT_EQ(messages.boxes().size(), 1);

    // F6 asks for the typed number, upper-cased, only while the button is shown.
    for (const auto& [showButton, found] : {std::pair{true, true}, {true, false}, {false, true}}) {
        runState().gbShowPOButton = showButton;
        messages.clear();
        frmSMPRNT_PREVIEW w;
        QStringList asked;
        w.setShowPOHandler([&](const QString& number) { return asked.append(number), found; });
        open(w, 5);
        w.txtFind->setText(QStringLiteral("po-12a"));
        type(w.vsvPrinter, Qt::Key_F6);
        EXPECT_EQ(asked, showButton ? QStringList{"PO-12A"} : QStringList{});
        EXPECT_EQ(messages.texts(), found ? QStringList{} : QStringList{"PO Not found"});
        EXPECT_EQ(QApplication::focusWidget() == w.txtFind, !found && showButton);
    }
}

TEST_F(PreviewTest, EscAndTheCloseCommandsHideTheWindowAndTellTheStartUp) {
    runState().gbDirectRun = true;
    open(window, kManyRows);
    ASSERT_TRUE(window.activated());
    type(window.txtFind, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible() || window.activated());
    EXPECT_TRUE(runState().gbPreviewDone);
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
    type(window.txtFind, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());

    // A one-page document closes by each; only a direct run waits for Close, unloading always.
    const struct {
        std::function<void(frmSMPRNT_PREVIEW&)> close;
        bool directRun, done;
    } cases[] = {
        {[](auto&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }, true, true},
        {[](auto& w) { QTest::mouseClick(w.cmdClose, Qt::LeftButton); }, false, false},
        {[](auto& w) { w.close(); }, false, true},
    };
    for (const auto& c : cases) {
        resetRunState();
        runState().gbDirectRun = c.directRun;
        frmSMPRNT_PREVIEW w;
        EXPECT_EQ(open(w, 5), 1);
        c.close(w);
        EXPECT_FALSE(w.isVisible()) << &c - cases;
        EXPECT_EQ(runState().gbPreviewDone, c.done) << &c - cases;
    }
}

TEST_F(PreviewTest, F7SavesAPdfOrTheCsvExportAnotherReportLeft) {
    const int pages = open(window, kManyRows);
    env.mkdir(QStringLiteral("out"));
    chosenFile = env.root() + QStringLiteral("/out/report.pdf");
    type(window.txtFind, Qt::Key_F7);
    EXPECT_EQ(dialogs, QStringList{gDataPath().DataPath() + QStringLiteral("|(*.pdf)|pdf")});
    EXPECT_EQ(pdfPages(chosenFile), pages);
    chosenFile.clear(); // cancelled: nothing written, nothing said
    window.mnuPrint_Save->trigger();
    EXPECT_EQ(dialogs.size(), 2);
    EXPECT_TRUE(messages.boxes().isEmpty());
    chosenFile = env.root() + QStringLiteral("/missing/report.pdf");
    QTest::mouseClick(window.cmdSave, Qt::LeftButton);
    ASSERT_EQ(messages.boxes().size(), 1);
    EXPECT_TRUE(messages.boxes()[0].text.startsWith("The document could not be written to " +
                                                    chosenFile + u'\r'));
    chosenFile.clear();

    const struct {
        const char* answers; // to the questions in turn; a leading '!' puts an old export there
        QStringList typed;   // into the boxes asking for a name; null: the proposed name
        qsizetype boxes;     // the questions and errors shown
        const char* savedAs; // where the export ends up (nullptr: nowhere)
    } cases[] = {
        {"N", {}, 1, nullptr}, // the PDF dialog instead
        {"Y", {}, 2, "priceLevel.csv"},
        {"!YN", {QString(), "other.csv"}, 4, "other.csv"}, // not overwritten: another name
        {"!YNY", {}, 5, "priceLevel.csv"},                 // overwritten at the second ask
        {"Y", {QStringLiteral("")}, 2, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        messages.clear();
        dialogs.clear();
        for (const char* name : {"priceLevel.csv", "other.csv"})
            QFile::remove(data(name));
        vx::test::TestEnv::writeFile(data("priceLevel.tmp"), "export");
        const bool csvExists = c.answers[0] == '!';
        if (csvExists)
            vx::test::TestEnv::writeFile(data("priceLevel.csv"), "old");
        for (const char* a = c.answers + csvExists; *a; ++a)
            messages.answer(*a == 'Y' ? MsgAnswer::Yes : MsgAnswer::No);
        for (const QString& t : c.typed)
            messages.type(t.isNull() ? data("priceLevel.csv") : t);
        type(window.txtFind, Qt::Key_F7);
        EXPECT_EQ(messages.boxes().size(), c.boxes);
        EXPECT_EQ(messages.pendingAnswers(), 0u);
        if (c.savedAs) {
            EXPECT_EQ(vx::test::TestEnv::readFile(data(c.savedAs)), "export");
        }
        if (csvExists && qstrcmp(c.savedAs, "priceLevel.csv") != 0) {
            EXPECT_EQ(vx::test::TestEnv::readFile(data("priceLevel.csv")), "old");
        }
        const bool pdfDialog = c.answers[0] == 'N';
        EXPECT_EQ(QFile::exists(data("priceLevel.tmp")), !c.savedAs && !pdfDialog);
        EXPECT_EQ(dialogs.size(), pdfDialog ? 1 : 0);
    }
}

TEST_F(PreviewTest, F9PrintsAllPagesOrThePageShownAndNeedsAPrinter) {
    const QString out = env.root() + QStringLiteral("/printed.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    int asked = 0;
    services.printer = [&] { return ++asked, &printer; };
    window.setServices(services);
    ASSERT_EQ(open(window, kManyRows), 3);
    const struct {
        std::function<void()> print;
        int pages;
    } cases[] = {
        {[&] { type(window.cmdSave, Qt::Key_F9); }, 3},
        {[&] { type(window.vsvPrinter, Qt::Key_PageDown), window.mnuPrint_item[1]->trigger(); }, 1},
        {[&] { QTest::mouseClick(window.cmdPrint, Qt::LeftButton); }, 3},
    };
    for (const auto& c : cases) {
        QFile::remove(out);
        asked = 0;
        c.print();
        EXPECT_EQ(asked, 1) << &c - cases; // F9 goes on to the control but prints once
        EXPECT_EQ(pdfPages(out), c.pages) << &c - cases;
        EXPECT_TRUE(window.cmdPrint->isEnabled());
    }
    EXPECT_TRUE(messages.boxes().isEmpty());

    services.printer = [] { return static_cast<QPrinter*>(nullptr); };
    window.setServices(services);
    type(window.txtFind, Qt::Key_F9);
    EXPECT_EQ(messages.boxes().size(), 1); // no printer
    for (QAction* item : window.mnuPrint_item)
        EXPECT_FALSE(window.cmdPrint->isEnabled() || item->isEnabled());
    type(window.txtFind, Qt::Key_F9); // refused while disabled
    EXPECT_EQ(messages.boxes().size(), 1);
}

TEST_F(PreviewTest, F8HandsAPdfToXdgEmailAndSaysWhyWhenThatFails) {
    const struct {
        const char* script; // the xdg-email found on the path; nullptr: none
        const char* said;   // after "Sending Mail failed due to "; nullptr: sent
    } cases[] = {
        {"[ \"$1\" = --attach ] && head -c 4 \"$2\" | grep -q PDF", nullptr},
        {"echo 'no mail client' >&2\nexit 3", "no mail client"},
        {"exit 4", "xdg-email ended with status 4"},
        {nullptr, "no mail program being set up on this computer."},
    };
    open(window, 5);
    const QString tmp = env.mkdir(QStringLiteral("tmp"));
    env.setEnv("TMPDIR", tmp); // where the attachment is written
    for (const auto& c : cases) {
        const QString bin = env.mkdir(QStringLiteral("bin%1").arg(&c - cases));
        if (c.script) {
            const QString path = bin + QStringLiteral("/xdg-email");
            vx::test::TestEnv::writeFile(path, QByteArray("#!/bin/sh\n") + c.script + '\n');
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        env.setEnv("PATH", c.script ? bin + QStringLiteral(":/usr/bin:/bin") : bin);
        messages.clear();
        type(window.txtFind, Qt::Key_F8);
        const QStringList said = messages.texts();
        EXPECT_EQ(said.size(), c.said ? 1 : 0);
        EXPECT_TRUE(said.isEmpty() ||
                    said[0].startsWith("Sending Mail failed due to " + QLatin1String(c.said)));
        // A sent attachment stays for the mail program, which reads it later; others go.
        EXPECT_EQ(QDir(tmp).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    }
}

} // namespace
} // namespace vx::output::test
