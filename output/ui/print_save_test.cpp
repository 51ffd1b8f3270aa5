#include "output/ui/testing/preview_testing.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace vx::output::test {
namespace {

constexpr int kManyRows = 160; // three pages

int pdfPages(const QString& path) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page\\b(?!s)"));
    const QByteArray pdf = vx::test::TestEnv::readFile(path);
    EXPECT_TRUE(pdf.startsWith("%PDF")) << path.toStdString();
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

// The words of each page, in reading order: of the PDF through pdftotext, or of the preview's
// text dump, so that the two compare whatever the spacing.
QList<QStringList> pageWords(const QString& text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QList<QStringList> pages;
    for (const QString& page : text.split(u'\f'))
        pages << page.split(blanks, Qt::SkipEmptyParts);
    while (!pages.isEmpty() && pages.last().isEmpty())
        pages.removeLast();
    return pages;
}

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    return QString::fromUtf8(p.readAllStandardOutput());
}

class PrintSaveTest : public PreviewTest {
  protected:
    PrintSaveTest() {
        dataPath = gDataPath().DataPath();
        services.saveFileName = [this](QWidget*, const QString& folder, const QString& filter,
                                       const QString& suffix) {
            dialogs.append(folder + u'|' + filter + u'|' + suffix);
            return chosenFile;
        };
        window.setServices(services);
    }
    QString data(const QString& name) const { return dataPath + u'/' + name; }

    QString dataPath;
    PreviewServices services;
    QStringList dialogs;
    QString chosenFile;
};

TEST_F(PrintSaveTest, SaveWritesTheDocumentAsPdf) {
    Document& doc = window.newDocument();
    const int pages = writeRows(doc, kManyRows, {42});
    const QString dump = doc.textDump();

    chosenFile = env.root() + QStringLiteral("/out/report.pdf");
    env.mkdir(QStringLiteral("out"));
    QTest::mouseClick(window.cmdSave, Qt::LeftButton);
    EXPECT_EQ(dialogs, QStringList{dataPath + QStringLiteral("|(*.pdf)|pdf")});
    EXPECT_EQ(pdfPages(chosenFile), pages);
    EXPECT_EQ(pageWords(pdfText(chosenFile)), pageWords(dump));
    EXPECT_TRUE(messages.boxes().isEmpty());

    // A cancelled dialog writes nothing.
    chosenFile.clear();
    window.mnuPrint_Save->trigger();
    EXPECT_EQ(dialogs.size(), 2);
    EXPECT_TRUE(messages.boxes().isEmpty());
}

TEST_F(PrintSaveTest, WaitingCsvExportIsSavedUnderTheChosenName) {
    struct Case {
        const char* name;
        bool csvExists;
        QList<MsgAnswer> answers;
        QStringList typed;
        QStringList titles;  // the boxes shown, in order
        const char* savedAs; // where the export ends up (nullptr: stays in place)
        bool csvKept;        // an existing priceLevel.csv is untouched
        bool pdfDialog;
    } cases[] = {
        {"No: the export is dropped, the PDF dialog follows",
         false,
         {MsgAnswer::No},
         {},
         {"Save Option"},
         nullptr,
         true,
         true},
        {"Yes: the proposal is taken",
         false,
         {MsgAnswer::Yes},
         {},
         {"Save Option", "Save as"},
         "priceLevel.csv",
         true,
         false},
        {"Yes, existing file kept: asked again, another name",
         true,
         {MsgAnswer::Yes, MsgAnswer::No},
         {QString(), QStringLiteral("other.csv")},
         {"Save Option", "Save as", "File save error", "Save as"},
         "other.csv",
         true,
         false},
        {"Yes, existing file kept, same name again, then overwritten",
         true,
         {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Yes},
         {},
         {"Save Option", "Save as", "File save error", "Save as", "File save error"},
         "priceLevel.csv",
         false,
         false},
        {"Yes, input box cancelled",
         false,
         {MsgAnswer::Yes},
         {QStringLiteral("")},
         {"Save Option", "Save as"},
         nullptr,
         true,
         false},
    };
    writeRows(window.newDocument(), 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        dialogs.clear();
        QFile::remove(data(QStringLiteral("priceLevel.csv")));
        QFile::remove(data(QStringLiteral("other.csv")));
        vx::test::TestEnv::writeFile(data(QStringLiteral("priceLevel.tmp")), "export");
        if (c.csvExists)
            vx::test::TestEnv::writeFile(data(QStringLiteral("priceLevel.csv")), "old");
        for (MsgAnswer a : c.answers)
            messages.answer(a);
        for (const QString& t : c.typed)
            messages.type(t.isNull() ? data(QStringLiteral("priceLevel.csv")) : t);

        QTest::keyClick(window.txtFind, Qt::Key_F7);

        QStringList titles;
        for (const RecordedBox& b : messages.boxes())
            titles.append(b.title);
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(messages.pendingAnswers(), 0u);
        const bool tmpLeft = QFile::exists(data(QStringLiteral("priceLevel.tmp")));
        if (c.savedAs) {
            EXPECT_EQ(vx::test::TestEnv::readFile(data(QLatin1String(c.savedAs))), "export");
        }
        EXPECT_EQ(tmpLeft, !c.savedAs && !c.pdfDialog);
        if (c.csvExists && c.csvKept) {
            EXPECT_EQ(vx::test::TestEnv::readFile(data(QStringLiteral("priceLevel.csv"))), "old");
        }
        EXPECT_EQ(dialogs.size(), c.pdfDialog ? 1 : 0);
    }
}

TEST_F(PrintSaveTest, CsvQuestionsUseTheirExactWords) {
    writeRows(window.newDocument(), 5);
    vx::test::TestEnv::writeFile(data(QStringLiteral("priceLevel.tmp")), "export");
    vx::test::TestEnv::writeFile(data(QStringLiteral("priceLevel.csv")), "old");
    messages.answer(MsgAnswer::Yes);
    messages.answer(MsgAnswer::Yes);
    window.cmdSave_Click();
    const QString csv = data(QStringLiteral("priceLevel.csv"));
    ASSERT_EQ(messages.boxes().size(), 3);
    EXPECT_EQ(messages.boxes()[0].text, QStringLiteral("Save as csv file for import into Excel"));
    EXPECT_EQ(messages.boxes()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.boxes()[1].text, QStringLiteral("Save file as:"));
    EXPECT_TRUE(messages.boxes()[1].isInput);
    EXPECT_EQ(messages.boxes()[2].text, csv + QStringLiteral("already exists. Overwrite?"));
    EXPECT_EQ(vx::test::TestEnv::readFile(csv), "export");
}

TEST_F(PrintSaveTest, PrintsAllPagesOrThePageShown) {
    const QString out = env.root() + QStringLiteral("/printed.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    int asked = 0;
    services.printer = [&] {
        ++asked;
        return &printer;
    };
    window.setServices(services);
    const int pages = writeRows(window.newDocument(), kManyRows);
    ASSERT_EQ(pages, 3);
    struct Case {
        const char* name;
        std::function<void()> print;
        int pages;
    } cases[] = {
        {"F9", [&] { QTest::keyClick(window.cmdSave, Qt::Key_F9); }, 3},
        {"All Pages", [&] { window.mnuPrint_item[0]->trigger(); }, 3},
        {"Current Page",
         [&] {
             window.cmdMove_Click(1);
             window.mnuPrint_item[1]->trigger();
         },
         1},
        {"F9 Print", [&] { QTest::mouseClick(window.cmdPrint, Qt::LeftButton); }, 3},
    };
    for (const Case& c : cases) {
        QFile::remove(out);
        asked = 0;
        c.print();
        EXPECT_EQ(asked, 1) << c.name; // F9 goes on to the control but prints once
        EXPECT_EQ(pdfPages(out), c.pages) << c.name;
        EXPECT_TRUE(window.cmdPrint->isEnabled()) << c.name;
    }
    EXPECT_TRUE(messages.boxes().isEmpty());
}

TEST_F(PrintSaveTest, WithoutAPrinterThePrintCommandsStayDisabled) {
    services.printer = [] { return static_cast<QPrinter*>(nullptr); };
    window.setServices(services);
    writeRows(window.newDocument(), 5);
    window.cmdPrint_Click();
    EXPECT_EQ(
        messages.texts(),
        QStringList{QStringLiteral("No Windows Printers setup you must setup a Printer to Print")});
    EXPECT_FALSE(window.cmdPrint->isEnabled());
    EXPECT_FALSE(window.mnuPrint_item[0]->isEnabled());
    EXPECT_FALSE(window.mnuPrint_item[1]->isEnabled());
    QTest::keyClick(window.txtFind, Qt::Key_F9); // refused while disabled
    EXPECT_EQ(messages.boxes().size(), 1);
}

TEST_F(PrintSaveTest, MailHandsAPdfToXdgEmail) {
    // Stand-ins for xdg-email on the search path.
    struct Case {
        const char* script; // nullptr: no xdg-email at all
        bool sent;
        const char* said;
    } cases[] = {
        {"#!/bin/sh\n[ \"$1\" = --attach ] && head -c 4 \"$2\" | grep -q PDF\n", true, ""},
        {"#!/bin/sh\necho 'no mail client' >&2\nexit 3\n", false, "no mail client"},
        {"#!/bin/sh\nexit 4\n", false, "xdg-email ended with status 4"},
        {nullptr, false,
         "no mail program being set up on this computer. Ask whoever looks after it to install "
         "one (xdg-utils)."},
    };
    writeRows(window.newDocument(), 5);
    const QString tmp = env.mkdir(QStringLiteral("tmp"));
    env.setEnv("TMPDIR", tmp); // where the attachment is written
    for (const Case& c : cases) {
        const QString bin = env.mkdir(QStringLiteral("bin%1").arg(&c - cases));
        if (c.script) {
            const QString path = bin + QStringLiteral("/xdg-email");
            vx::test::TestEnv::writeFile(path, c.script);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        // The scripts need the usual tools; the last case finds no xdg-email anywhere.
        env.setEnv("PATH", c.script ? bin + QStringLiteral(":/usr/bin:/bin") : bin);
        messages.clear();
        QTest::keyClick(window.txtFind, Qt::Key_F8);
        if (c.sent) {
            EXPECT_TRUE(messages.boxes().isEmpty());
            // The attachment stays for the mail program, which reads it later.
            EXPECT_EQ(QDir(tmp).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
            continue;
        }
        ASSERT_EQ(messages.boxes().size(), 1);
        const QString text = messages.boxes()[0].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("Sending Mail failed due to ")))
            << text.toStdString();
        EXPECT_EQ(text, QStringLiteral("Sending Mail failed due to ") + QLatin1String(c.said));
    }
}

} // namespace
} // namespace vx::output::test
