#include "output/pdf_info.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace vx::output {
namespace {

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
}

TEST(PdfInfo, WithoutItsDictionaryOrTrailerAtHand) {
    // The dictionary beyond the kept head: a new one with the title and the creator.
    const QByteArray update = pdfAuthorUpdate("%PDF-1.4\n", kTail, 1000, kInfo);
    EXPECT_TRUE(update.startsWith("\n1 0 obj\n<<\n/Title <feff0054>\n/Creator <feff0043>\n/Author "
                                  "<feff0041>\n>>"));
    // No information dictionary yet: the next free number.
    QByteArray noInfo = kTail;
    noInfo.replace("/Info 1 0 R\n", "");
    EXPECT_TRUE(pdfAuthorUpdate(kHead, noInfo, 1000, kInfo).startsWith("\n55 0 obj\n"));
    EXPECT_TRUE(pdfAuthorUpdate(kHead, noInfo, 1000, kInfo).contains("/Size 56\n/Info 55 0 R"));
    // Not a PDF's end: nothing to add.
    EXPECT_EQ(pdfAuthorUpdate(kHead, "not a pdf", 1000, kInfo), QByteArray());
}

TEST(PdfInfo, TheDeviceKeepsBothEndsOfWhatPassesThrough) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    EndsKeepingDevice ends(out);
    ends.open(QIODevice::WriteOnly);
    const QByteArray data = QByteArray(3000, 'a') + QByteArray(3000, 'b') + QByteArray(3000, 'c');
    for (qsizetype at = 0; at < data.size(); at += 700)
        ends.write(data.mid(at, 700));
    EXPECT_EQ(out.data(), data);
    EXPECT_EQ(ends.written(), data.size());
    EXPECT_EQ(ends.head(), data.left(EndsKeepingDevice::kKept));
    EXPECT_EQ(ends.tail(), data.right(EndsKeepingDevice::kKept));
}

} // namespace
} // namespace vx::output
