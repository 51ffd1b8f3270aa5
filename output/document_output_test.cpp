#include "output/document.h"
#include "testsupport/test_env.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace vx::output {
namespace {

class DocumentOutputTest : public ::testing::Test {
  protected:
    DocumentOutputTest() { env.setEnv("LC_ALL", QStringLiteral("en_US.UTF-8")); }

    // A small report: a heading on every page, a column header, rows and totals.
    void buildReport(Document& doc, int rows) {
        doc.setFontName(QStringLiteral("Arial"));
        doc.setFooter(QStringLiteral("Purchase Orders Received|Page %d|1/2/2024 9:05 AM"));
        doc.setMargins(720, 720, 720, 720);
        doc.setPageStartHandler([](ReportPrinter& p) {
            p.setFontSize(10);
            p.setFontBold(true);
            p.tableText(QStringLiteral("^10000;Main Street Store"));
            p.tableText(QStringLiteral("^10000; "));
            p.tableText(QStringLiteral("<2700|<2700|<1500|^1400|>1400|>1400;Vendor No.|Vendor "
                                       "Name|P.O.#|Date Rec'd|Cost|Retail Price;"));
            p.setFontBold(false);
        });
        doc.startDoc();
        const QString format = QStringLiteral("<2700|<2700|<1300|^1400|>1400|>1400;");
        for (int i = 1; i <= rows; ++i)
            doc.tableText(
                format + QStringLiteral("ACME|Acme Supply|PO%1|1/2/2024|1,234.50|2,000.00").arg(i));
        doc.tableText(format + QStringLiteral("|||||;"));
        doc.setFontBold(true);
        doc.tableText(format + QStringLiteral("|||Final Total:|1,234.50|2,000.00"));
        doc.endDoc();
    }

    test::TestEnv env;
};

TEST_F(DocumentOutputTest, ArialIsMeasuredWithARealFont) {
    const QFontInfo info(layoutFont(FontSpec{}));
    EXPECT_EQ(info.family(), QStringLiteral("Liberation Sans"));
    // 10 points are 200 twips; a text's width grows with the size.
    EXPECT_GT(
        TextMeasure(FontSpec{QStringLiteral("Arial"), 20, false}).width(QStringLiteral("abc")),
        1.9 * TextMeasure(FontSpec{}).width(QStringLiteral("abc")));
}

TEST_F(DocumentOutputTest, TextDumpReadsLikeThePage) {
    Document doc;
    buildReport(doc, 2);
    const QString expected =
        QStringLiteral("                                          Main Street Store\n"
                       "\n"
                       "Vendor No.                 Vendor Name                P.O.#            "
                       "Date Rec'd           Cost  Retail Price\n"
                       "ACME                       Acme Supply                PO1             "
                       "1/2/2024        1,234.50      2,000.00\n"
                       "ACME                       Acme Supply                PO2             "
                       "1/2/2024        1,234.50      2,000.00\n"
                       "\n"
                       "                                                                    Final "
                       "Total:      1,234.50      2,000.00\n"
                       "\n"
                       "Purchase Orders Received                           Page 1                  "
                       "                 1/2/2024 9:05 AM\n");
    EXPECT_EQ(doc.textDump(), expected);
}

TEST_F(DocumentOutputTest, TextDumpSeparatesPagesWithFormFeeds) {
    Document doc;
    buildReport(doc, 80);
    ASSERT_EQ(doc.pageCount(), 2);
    const QStringList pages = doc.textDump().split(QLatin1Char('\f'));
    ASSERT_EQ(pages.size(), 2);
    for (int n = 1; n <= 2; ++n) {
        EXPECT_TRUE(pages[n - 1].trimmed().startsWith(QStringLiteral("Main Street Store")));
        EXPECT_TRUE(pages[n - 1].contains(QStringLiteral("Page %1 ").arg(n)));
    }
    EXPECT_TRUE(pages[1].contains(QStringLiteral("PO80 ")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Final Total:")));
}

TEST_F(DocumentOutputTest, PdfHoldsThePagesAsText) {
    Document doc;
    buildReport(doc, 80);
    const QString pdf = env.root() + QStringLiteral("/report.pdf");
    QString error;
    ASSERT_TRUE(doc.writePdf(pdf, &error)) << error.toStdString();

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished());
    const QString meta = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(meta.contains(QStringLiteral("612 x 792 pts"))) << meta.toStdString();
    EXPECT_TRUE(meta.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished());
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    const QStringList pages = out.split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 2);
    for (const char* expected : {"Main Street Store", "Retail Price", "Page 1", "Acme Supply",
                                 "PO1 ", "1,234.50", "9:05 AM"})
        EXPECT_TRUE(pages[0].contains(QLatin1String(expected))) << expected;
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Final Total:")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Page 2")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("PO80")));
}

TEST_F(DocumentOutputTest, PdfToAFolderThatDoesNotExistFails) {
    Document doc;
    buildReport(doc, 1);
    QString error;
    EXPECT_FALSE(doc.writePdf(env.root() + QStringLiteral("/missing/report.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(DocumentOutputTest, RenderedPageShowsTextOnlyWhereItIsPlaced) {
    env.setEnv("LC_ALL", QStringLiteral("de_DE.UTF-8"));
    Document doc;
    doc.startDoc();
    doc.tableText(QStringLiteral("<~1000;") + QString(60, QLatin1Char('W'))); // clipped
    const double scale = 0.05;                                                // 72 pixels per inch
    QImage image((doc.pageSize() * scale).toSize(), QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    doc.renderPage(painter, 1, scale);
    painter.end();
    int inkLeft = image.width(), inkRight = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
    EXPECT_EQ(qGray(image.pixel(image.width() - 1, image.height() - 1)), 255); // white paper
    EXPECT_GE(inkLeft, int(720 * scale));
    EXPECT_LE(inkRight, int((720 + 1000) * scale) + 1); // cut at the column
    EXPECT_GT(inkRight, int((720 + 500) * scale));
}

} // namespace
} // namespace vx::output
