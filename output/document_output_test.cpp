#include "output/document.h"
#include "platform/messages.h"
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

    // A document of `rows` rows of two cells.
    static void buildReport(Document& doc, int rows) {
        doc.startDoc();
        for (int i = 1; i <= rows; ++i)
            doc.tableText(QStringLiteral("<2700|>1400;Acme Supply PO%1|1,234.50").arg(i));
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

TEST_F(DocumentOutputTest, PdfHasThePagesOnLetterPaperAndSaysWhatItIs) {
    Document doc;
    doc.setDocumentInfo(QStringLiteral("Purchase Orders Received"),
                        QStringLiteral("M\u00fcller & S\u00f6hne (K\u00f6ln) <1>"));
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
    EXPECT_TRUE(
        meta.contains(QRegularExpression(QStringLiteral("Title:\\s+Purchase Orders Received\\n"))))
        << meta.toStdString();
    EXPECT_TRUE(meta.contains(QRegularExpression(
        QStringLiteral("Author:\\s+M\u00fcller & S\u00f6hne \\(K\u00f6ln\\) <1>\\n"))))
        << meta.toStdString();
    EXPECT_TRUE(meta.contains(QRegularExpression(QStringLiteral("Creator:\\s+Vantrex Report ") +
                                                 productVersion() + u'\n')))
        << meta.toStdString();
    // The added properties leave the file whole: no repair is needed to read it.
    EXPECT_EQ(QString::fromUtf8(info.readAllStandardError()), QString());
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
