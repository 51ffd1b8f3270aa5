// The document engine below what the end-to-end pages show, and the PDF's properties.
#include "output/document.h"
#include "output/pdf_info.h"
#include "output/table_format.h"
#include "platform/messages.h"
#include "testsupport/test_env.h"

#include <QFontInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace vx::output {
namespace {

// "L2700 C~1400 R-1": alignment, no-wrap mark and width of each column.
QString describe(const QList<Column>& columns) {
    QStringList out;
    for (const Column& c : columns)
        out << QLatin1Char("LCR"[static_cast<int>(c.align)]) + QString(c.oneLine ? "~" : "") +
                   QString::number(c.width);
    return out.join(u' ');
}

TEST(TableFormat, ParsesFormatsAndCells) {
    const struct {
        const char *text, *columns, *rows;
    } cases[] = {
        {"<2700|^1400|>1400;a|b|c;", "L2700 C1400 R1400", "[a,b,c]"},
        {"<2700|<1300|^1400;||;", "L2700 L1300 C1400", "[,,]"},
        {"<~1200|<~2000;x|y;z|w;", "L~1200 L~2000", "[x,y][z,w]"},
        {"^10000; ", "C10000", "[ ]"},
        {"^10000;", "C10000", "[]"},
        {"<2300|<3000;||TOTAL||1.00", "L2300 L3000", "[,,TOTAL,,1.00]"},
        {"just text", "L-1", "[just text]"},
        {"~>1000|x;a|b;", "R~1000 L-1", "[a,b]"},
    };
    for (const auto& c : cases) {
        const TableText t = parseTableText(QString::fromUtf8(c.text));
        QString rows;
        for (const QStringList& r : t.rows)
            rows += u'[' + r.join(u',') + u']';
        EXPECT_EQ(describe(t.columns), QLatin1String(c.columns)) << c.text;
        EXPECT_EQ(rows, QLatin1String(c.rows)) << c.text;
    }
}

class DocumentTest : public ::testing::Test {
  protected:
    DocumentTest() { env.setEnv("LC_ALL", QStringLiteral("en_US.UTF-8")); }
    // A started document with margins of half an inch holding `tableText`.
    static void write(Document& doc, const QString& tableText) {
        doc.setMargins(720, 720, 720, 720);
        doc.startDoc();
        doc.tableText(tableText);
    }
    test::TestEnv env;
};

TEST_F(DocumentTest, PaperFollowsTheLocaleAndArialIsMeasuredWithARealFont) {
    for (const auto& [locale, size] :
         {std::pair{"C", QSizeF(12240, 15840)}, std::pair{"de_DE.UTF-8", QSizeF(11906, 16838)}}) {
        env.setEnv("LC_ALL", QString::fromLatin1(locale));
        Document doc;
        doc.startDoc();
        EXPECT_EQ(doc.pageSize(), size) << locale;
    }
    EXPECT_EQ(QFontInfo(layoutFont(FontSpec{})).family(), QStringLiteral("Liberation Sans"));
    EXPECT_GT(TextMeasure(FontSpec{"Arial", 20, false}).width("abc"),
              1.9 * TextMeasure(FontSpec{}).width("abc"));
}

TEST_F(DocumentTest, TextsTooWideForTheirColumnWrapAtBlanksOrShrinkButStayWhole) {
    const FontSpec normal;
    const auto narrower = [&](const char* align, const QString& text, int by) {
        return QLatin1String(align) +
               QString::number(static_cast<int>(TextMeasure(normal).width(text)) + by);
    };
    const QString total = QStringLiteral("491,265,804.58");
    const QString name = QStringLiteral("a rather long vendor name that cannot fit");
    const struct {
        QString format, text;
        bool smaller; // drawn below the column's size
    } cases[] = {
        {narrower(">", total, -200), total, true},
        {narrower("<", "~SPECIAL", -100), "~SPECIAL", true},
        {narrower("<~", "1000003.3", -100), "1000003.3", true},
        {narrower(">", total, 60), total, false}, // wider than the text, not its padding
        {narrower("<", total, -200), "Total " + total, true},
        {"<1500", name, false},
    };
    const double line = TextMeasure(normal).lineHeight();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format.toStdString() + " " + c.text.toStdString());
        Document doc;
        write(doc, c.format + u';' + c.text + u';');
        doc.tableText("<1000;next");
        QStringList shown;
        const QList<TextItem> lines = doc.page(1).items.mid(0, doc.page(1).items.size() - 1);
        for (const TextItem& i : lines) {
            EXPECT_FALSE(i.clipped);
            EXPECT_LE(TextMeasure(i.font).width(i.text), i.box.width() + 0.5);
            EXPECT_GE(i.box.left(), 720);
            EXPECT_LE(i.box.right(),
                      720 + c.format.mid(c.format.startsWith(u"<~") ? 2 : 1).toInt());
            EXPECT_EQ(i.font.size < normal.size, c.smaller);
            EXPECT_GE(i.font.size, 6);
            shown << i.text;
        }
        EXPECT_EQ(shown.join(u' '), c.text);
        // The row is as tall as its lines.
        EXPECT_DOUBLE_EQ(doc.page(1).items.last().box.top(), 720 + lines.size() * line);
    }

    // A no-wrap text too wide even at the smallest size is clipped; the dump shows its start.
    Document doc;
    const QString wide = QStringLiteral("Bergeron Off-Field Supplies of the North");
    write(doc, "<~1000;" + wide);
    const TextItem& item = doc.page(1).items[0];
    ASSERT_TRUE(item.clipped);
    EXPECT_EQ(item.font.size, 6);
    const QString dumped = doc.textDump().section(u'\n', 0, 0).trimmed();
    EXPECT_TRUE(wide.startsWith(dumped) && !dumped.isEmpty()) << dumped.toStdString();

    // Drawn, the clipped text stops at its column.
    QImage image((doc.pageSize() * 0.05).toSize(), QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    doc.renderPage(painter, 1, 0.05);
    painter.end();
    int inkRight = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                inkRight = std::max(inkRight, x);
    EXPECT_EQ(qGray(image.pixel(image.width() - 1, image.height() - 1)), 255); // white paper
    EXPECT_TRUE(inkRight > 61 && inkRight <= 87) << inkRight;                  // 720 + 1000 twips
}

TEST_F(DocumentTest, ParagraphsTallRowsAndAddedTablesBreakPages) {
    Document doc;
    doc.setPageStartHandler([](ReportPrinter& p) { p.paragraph(QStringLiteral("header")); });
    doc.setMargins(360, 1000, 360, 1000);
    doc.setFontSize(9);
    doc.startDoc();
    doc.paragraph(QStringLiteral("words ").repeated(60));

    // A row taller than a page goes on a page of its own rather than looping over pages.
    doc.tableText(QStringLiteral("<3000;") + QString(QStringLiteral("line\n")).repeated(90));
    EXPECT_EQ(doc.pageCount(), 2);

    Document table;
    table.setFontSize(9);
    table.startDoc();
    QString body;
    for (int i = 1; i <= 120; ++i)
        body += QStringLiteral("ITEM%1|desc|;").arg(i);
    table.addTable("\n<~1800|<~2200|>~1200", "Item ID|Description|Total", body);
    ASSERT_EQ(table.pageCount(), 2);
    for (int n = 1; n <= 2; ++n) { // the header starts every page, bold
        EXPECT_EQ(table.page(n).items[0].text, QStringLiteral("Item ID"));
        EXPECT_TRUE(table.page(n).items[0].font.bold);
    }
    EXPECT_GT(table.page(1).items[0].box.top(), 720); // the line feed left an empty line
    EXPECT_DOUBLE_EQ(table.page(2).items[0].box.top(), 720);
    EXPECT_FALSE(table.page(1).items[3].font.bold);
}

TEST_F(DocumentTest, ThePdfSaysWhatItIsAndNothingIsWrittenWhereItCannotBe) {
    Document doc;
    doc.setDocumentInfo(QStringLiteral("Purchase Orders Received"),
                        QStringLiteral("M\u00fcller & S\u00f6hne (K\u00f6ln) <1>"));
    doc.startDoc();
    for (int i = 1; i <= 80; ++i)
        doc.tableText(QStringLiteral("<2700|>1400;Acme Supply PO%1|1,234.50").arg(i));
    doc.endDoc();
    const QString pdf = env.root() + QStringLiteral("/report.pdf");
    QString error;
    ASSERT_TRUE(doc.writePdf(pdf, &error)) << error.toStdString();
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished());
    const QString meta = QString::fromUtf8(info.readAllStandardOutput());
    for (const QString& field :
         {QStringLiteral("Title:\\s+Purchase Orders Received\\n"),
          QStringLiteral("Author:\\s+M\u00fcller & S\u00f6hne \\(K\u00f6ln\\) <1>\\n"),
          "Creator:\\s+Vantrex Report " + productVersion() + u'\n',
          QStringLiteral("Pages:\\s+2\\n"), QStringLiteral("612 x 792 pts")})
        EXPECT_TRUE(meta.contains(QRegularExpression(field))) << meta.toStdString();
    // The added properties leave the file whole: no repair is needed to read it.
    EXPECT_EQ(QString::fromUtf8(info.readAllStandardError()), QString());

    EXPECT_FALSE(doc.writePdf(env.root() + QStringLiteral("/missing/report.pdf"), &error));
    doc.abandonDoc(); // drops every page
    EXPECT_EQ(doc.pageCount(), 0);
    EXPECT_TRUE(doc.textDump().isEmpty());
    error.clear();
    EXPECT_FALSE(doc.writePdf(pdf, &error));
    EXPECT_FALSE(error.isEmpty());
}

const QByteArray kHead =
    "%PDF-1.4\n%\xe2\xe3\n1 0 obj\n<<\n/Title (Old)\n/Producer (Qt)\n>>\nendobj\n";
const QByteArray kTail = "0000000015 00000 n \ntrailer\n<<\n/Size 55 \n/Info 1 0 R\n/Root 2 0 R\n"
                         ">>\nstartxref\n40928 \n%%EOF\n";
const PdfInfo kInfo{QStringLiteral("T"), QStringLiteral("A"), QStringLiteral("C")};

TEST(PdfInfo, TheUpdateAddsTheAuthorToTheDictionaryThePdfHas) {
    const QByteArray update = pdfAuthorUpdate(kHead, kTail, 1000, kInfo);
    EXPECT_EQ(update,
              QByteArray("\n1 0 obj\n<<\n/Title (Old)\n/Producer (Qt)\n\n/Author "
                         "<feff0041>\n>>\nendobj\n"
                         "xref\n1 1\n0000001001 00000 n \n"
                         "trailer\n<<\n/Size 55\n/Info 1 0 R\n/Root 2 0 R\n/Prev 40928\n>>\n"
                         "startxref\n1070\n%%EOF\n"));
    // The cross-reference entry and startxref point where the object and the section begin.
    EXPECT_EQ(update.indexOf("1 0 obj"), 1001 - 1000);
    EXPECT_EQ(update.indexOf("xref\n1 1"), 1070 - 1000);

    // The dictionary beyond the kept head: a new one with the title and the creator.
    const QByteArray fresh = pdfAuthorUpdate("%PDF-1.4\n", kTail, 1000, kInfo);
    EXPECT_TRUE(fresh.startsWith("\n1 0 obj\n<<\n/Title <feff0054>\n/Creator <feff0043>\n/Author "
                                 "<feff0041>\n>>"));
    // No information dictionary yet: the next free number.
    QByteArray noInfo = kTail;
    noInfo.replace("/Info 1 0 R\n", "");
    const QByteArray added = pdfAuthorUpdate(kHead, noInfo, 1000, kInfo);
    EXPECT_TRUE(added.startsWith("\n55 0 obj\n") && added.contains("/Size 56\n/Info 55 0 R"));
    EXPECT_EQ(pdfAuthorUpdate(kHead, "not a pdf", 1000, kInfo), QByteArray()); // no PDF's end
}

} // namespace
} // namespace vx::output
