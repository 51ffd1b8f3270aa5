// The PDF writers, each engine held to the same contract: the text read back by poppler's tools,
// the embedded fonts, the document information, where the glyphs stand, and what is left at the
// path when writing fails or is abandoned.
#include "output/page_paint.h"
#include "output/pdf_writer.h"
#include "testsupport/test_env.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <thread>

namespace vx::output {
namespace {

const QSizeF kLetter(12240, 15840);
const PdfInfo kInfo{QStringLiteral("Purchase Orders Received"),
                    QStringLiteral("M\u00fcller & S\u00f6hne (K\u00f6ln)"),
                    QStringLiteral("Vantrex Report 1.0")};

TextItem item(double left, double top, double width, const QString& text, Align align = Align::Left,
              bool bold = false, double size = 10) {
    return TextItem{QRectF(left, top, width, 240), FontSpec{QStringLiteral("Arial"), size, bold},
                    align, text, false};
}

// A page with what a report page holds: plain, right-aligned (with kerned pairs, so that a width
// taken without kerning shows), centred, bold and clipped items, and a footer.
Page samplePage(int number) {
    Page p;
    p.leftMargin = 720;
    p.items << item(720, 720, 10800, QStringLiteral("Purchase Orders Received"), Align::Centre,
                    true, 12)
            << item(720, 1200, 3000, QStringLiteral("Plain words here"))
            << item(7000, 1200, 3000, QStringLiteral("AVATAR WAY 1,234.56"), Align::Right)
            << item(720, 1600, 3000, QStringLiteral("Bold Vendor"), Align::Left, true);
    TextItem clipped = item(720, 2000, 1500, QStringLiteral("Clipped beyond the edge"));
    clipped.clipped = true;
    p.items << clipped;
    // Cells side by side, as in a table row: the glyphs of one go on from the one before.
    for (int i = 0; i < 3; ++i)
        p.items << item(720 + 1800 * i, 2400, 1800,
                        QStringLiteral("WAVY %1.%1").arg(QString(i + 1, u'7')), Align::Right);
    p.footer << item(720, 15200, 3600, QStringLiteral("Footer left"))
             << item(4320, 15200, 3600, QStringLiteral("Page %1").arg(number), Align::Centre)
             << item(7920, 15200, 3600, QStringLiteral("12/6/2026"), Align::Right);
    return p;
}

QString tool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct WordBox {
    QString text;
    double xMin, xMax; // twips
};

// The words of page `page` with their horizontal edges, as pdftotext reads them.
QList<WordBox> wordBoxes(const QString& pdf, int page) {
    static const QRegularExpression re(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\"[^>]*>([^<]*)<"));
    QList<WordBox> words;
    const QString n = QString::number(page);
    const QString html =
        tool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), n,
                                           QStringLiteral("-l"), n, pdf, QStringLiteral("-")});
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(3), m.captured(1).toDouble() * kTwipsPerPoint,
                      m.captured(2).toDouble() * kTwipsPerPoint});
    }
    return words;
}

struct EngineCase {
    PdfEngine engine;
    const char* name;
};

class PdfWriterTest : public ::testing::TestWithParam<EngineCase> {
  protected:
    QString path(const char* name) const { return env.root() + u'/' + QLatin1String(name); }
    // Writes `pages` sample pages to `file`; false with the error recorded when that failed.
    bool write(const QString& file, int pages = 2) {
        const auto writer = makePdfPageWriter(GetParam().engine);
        if (!writer->begin(file, kLetter, kInfo, &error))
            return false;
        for (int n = 1; n <= pages; ++n)
            writer->addPage(samplePage(n));
        return writer->finish(&error);
    }
    test::TestEnv env;
    QString error;
};

TEST_P(PdfWriterTest, TheTextReadsBackWordForWordInReadingOrder) {
    const QString pdf = path("sample.pdf");
    ASSERT_TRUE(write(pdf)) << error.toStdString();
    const QString shown = visiblePart(samplePage(1).items[4]).text;
    ASSERT_TRUE(shown.startsWith(QLatin1String("Clipped b")) && shown.size() < 20)
        << shown.toStdString();
    const QString expected = QStringLiteral("Purchase Orders Received\nPlain words here AVATAR WAY "
                                            "1,234.56\nBold Vendor\n%1\nWAVY 7.7 WAVY 77.77 "
                                            "WAVY 777.777\nFooter left Page %2 "
                                            "12/6/2026");
    static const QRegularExpression blank(QStringLiteral("\\s+"));
    const QStringList pages =
        tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    for (int n = 1; n <= 2; ++n)
        EXPECT_EQ(pages[n - 1].split(blank, Qt::SkipEmptyParts),
                  expected.arg(shown).arg(n).split(blank, Qt::SkipEmptyParts));
}

TEST_P(PdfWriterTest, FontsAreEmbeddedSubsetsAndTheInformationIsSet) {
    const QString pdf = path("sample.pdf");
    ASSERT_TRUE(write(pdf)) << error.toStdString();
    const QStringList fonts =
        tool(QStringLiteral("pdffonts"), {pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_EQ(fonts.size(), 2) << fonts.join(u'\n').toStdString(); // regular and bold
    // Embedded, with their map to Unicode; cairo also tags the names of its subsets.
    static const QRegularExpression embedded(
        QStringLiteral("^([A-Z]{6}\\+)?LiberationSans(-Bold)?\\s.*\\syes\\s+(yes|no)\\s+yes\\s"));
    for (const QString& font : fonts)
        EXPECT_TRUE(embedded.match(font).hasMatch()) << font.toStdString();
    // Subsets: the whole file is smaller than either font file alone.
    EXPECT_LT(QFileInfo(pdf).size(), 100000);

    const QString info = tool(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& field :
         {"Title:\\s+" + kInfo.title + u'\n',
          QStringLiteral("Author:\\s+M\u00fcller & S\u00f6hne \\(K\u00f6ln\\)\\n"),
          "Creator:\\s+" + kInfo.creator + u'\n', QStringLiteral("Pages:\\s+2\\n"),
          QStringLiteral("612 x 792 pts")})
        EXPECT_TRUE(info.contains(QRegularExpression(field))) << info.toStdString();
}

TEST_P(PdfWriterTest, GlyphsStandWhereTheLayoutPutsThem) {
    const QString pdf = path("sample.pdf");
    ASSERT_TRUE(write(pdf, 1)) << error.toStdString();
    const Page page = samplePage(1);
    const auto left = [&](const TextItem& i) {
        return textLeft(i, TextMeasure(i.font).width(i.text));
    };
    const TextItem& right = page.items[2];
    const TextItem& centred = page.items[0];
    const TextItem& clipped = page.items[4];
    const struct {
        const char* word;
        double edge; // twips
        bool rightEdge;
    } cases[] = {
        {"Plain", page.items[1].box.left(), false},
        {"AVATAR", left(right), false}, // where a kerned width puts the start
        {"1,234.56", right.box.right(), true},
        {"Purchase", left(centred), false},
        {"Received", left(centred) + TextMeasure(centred.font).width(centred.text), true},
        {"Clipped", clipped.box.left() + visiblePart(clipped).left, false},
        {"777.777", page.items[7].box.right(), true},
        {"12/6/2026", page.footer[2].box.right(), true},
    };
    const QList<WordBox> words = wordBoxes(pdf, 1);
    for (const auto& c : cases) {
        const auto it = std::find_if(words.begin(), words.end(), [&](const WordBox& w) {
            return w.text == QLatin1String(c.word);
        });
        ASSERT_NE(it, words.end()) << c.word;
        EXPECT_NEAR(c.rightEdge ? it->xMax : it->xMin, c.edge, 1.5) << c.word;
    }
}

TEST_P(PdfWriterTest, AFileThatCannotBeWrittenFailsAndLeavesNothing) {
    EXPECT_FALSE(write(path("missing/sample.pdf")));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path("missing")));

    // A disk that fills up part way: the error is told and the old file stays as it was.
    const QString pdf = path("old.pdf");
    test::TestEnv::writeFile(pdf, "old");
    error.clear();
    {
        test::FileSizeLimit full(2000);
        EXPECT_FALSE(write(pdf, 20));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(test::TestEnv::readFile(pdf), QByteArray("old"));
    EXPECT_EQ(QDir(env.root()).entryList(QDir::Files), QStringList{QStringLiteral("old.pdf")});
}

TEST_P(PdfWriterTest, AbandonKeepsTheOldFileAndFinishReplacesIt) {
    const QString pdf = path("report.pdf");
    test::TestEnv::writeFile(pdf, "old");
    {
        const auto writer = makePdfPageWriter(GetParam().engine);
        ASSERT_TRUE(writer->begin(pdf, kLetter, kInfo, &error)) << error.toStdString();
        writer->addPage(samplePage(1));
        writer->abandon();
    }
    EXPECT_EQ(test::TestEnv::readFile(pdf), QByteArray("old"));
    EXPECT_EQ(QDir(env.root()).entryList(QDir::Files), QStringList{QStringLiteral("report.pdf")});

    ASSERT_TRUE(write(pdf)) << error.toStdString();
    EXPECT_TRUE(test::TestEnv::readFile(pdf).startsWith("%PDF-"));
}

TEST_P(PdfWriterTest, PaintsOnAWorkerThreadAsOnTheMainOne) {
    ASSERT_TRUE(write(path("main.pdf"))) << error.toStdString();
    bool ok = false;
    std::thread worker([&] { ok = write(path("worker.pdf")); });
    worker.join();
    ASSERT_TRUE(ok) << error.toStdString();
    const auto text = [](const QString& pdf) {
        return tool(QStringLiteral("pdftotext"),
                    {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    };
    EXPECT_EQ(text(path("worker.pdf")), text(path("main.pdf")));
}

INSTANTIATE_TEST_SUITE_P(Engines, PdfWriterTest,
                         ::testing::Values(EngineCase{PdfEngine::Qt, "Qt"},
                                           EngineCase{PdfEngine::Cairo, "Cairo"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PdfWriter, CairoIsTheDefaultUnlessTheEnvironmentAsksForQt) {
    const struct {
        const char* value;
        PdfEngine engine;
    } cases[] = {{"", PdfEngine::Cairo},
                 {"qt", PdfEngine::Qt},
                 {"Qt", PdfEngine::Qt},
                 {"cairo", PdfEngine::Cairo},
                 {"unknown", PdfEngine::Cairo}};
    test::TestEnv env;
    for (const auto& c : cases) {
        env.setEnv("VANTREX_PDF_ENGINE", QString::fromLatin1(c.value));
        EXPECT_EQ(defaultPdfEngine(), c.engine) << c.value;
    }
}

} // namespace
} // namespace vx::output
