#include "util/text.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(FieldValue, Cases) {
    const QString line =
        QStringLiteral("START=03/01/2024|END=03/31/2024|DELETED=|STORE=  2  |TAX=Y");
    const struct {
        QString text;
        const char* keyword;
        const char* terminator;
        const char* expected;
    } cases[] = {
        {line, "START=", "|", "03/01/2024"},
        {line, "TAX=", "|", "Y"},                          // the value runs to the end of the text
        {line, "DELETED=", "|", ""},                       // terminator right after the tag
        {line, "STORE=", "|", "  2"},                      // leading blanks kept, trailing dropped
        {line, "EXPORT=", "|", ""},                        // missing tag
        {line, "start=", "|", ""},                         // case-sensitive
        {line, "ART=", "|", "03/01/2024"},                 // a plain substring search
        {QStringLiteral("END=1|END=2"), "END=", "|", "1"}, // first occurrence only
        {QStringLiteral("A=1|B="), "B=", "|", ""},         // tag at the very end
        {QStringLiteral("/STATION=3 /DATAPATH=C:\\TK"), "/STATION=", " ", "3"},
        {QStringLiteral("/STATION=3 /DATAPATH=C:\\TK"), "/DATAPATH=", " ", "C:\\TK"},
        {QStringLiteral("[TITLE]Summary  [SUB]x"), "[TITLE]", "[", "Summary"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyword);
        EXPECT_EQ(gsFieldValue(c.text, QLatin1String(c.keyword), QLatin1String(c.terminator)),
                  QLatin1String(c.expected));
    }
}

TEST(OuterBlanks, OnlySpacesCount) {
    EXPECT_TRUE(gvHasOuterBlanks(QStringLiteral(" a")));
    EXPECT_TRUE(gvHasOuterBlanks(QStringLiteral("a ")));
    EXPECT_TRUE(gvHasOuterBlanks(QStringLiteral(" ")));
    EXPECT_FALSE(gvHasOuterBlanks(QStringLiteral("a b")));
    EXPECT_FALSE(gvHasOuterBlanks(QString()));
    EXPECT_FALSE(gvHasOuterBlanks(QStringLiteral("\ta\t")));
    EXPECT_EQ(trimBlanks(QStringLiteral("  a b \t ")), QStringLiteral("a b \t"));
}

} // namespace
} // namespace vx
