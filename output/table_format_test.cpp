#include "output/table_format.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx::output {
namespace {

QString describe(const QList<Column>& columns) {
    QStringList out;
    for (const Column& c : columns) {
        const char* align = c.align == Align::Left ? "L" : c.align == Align::Centre ? "C" : "R";
        out.append(QStringLiteral("%1%2%3")
                       .arg(QLatin1String(align), c.oneLine ? QStringLiteral("~") : QString())
                       .arg(c.width));
    }
    return out.join(QLatin1Char(' '));
}

QString describe(const QList<QStringList>& rows) {
    QStringList out;
    for (const QStringList& r : rows)
        out.append(QLatin1Char('[') + r.join(QLatin1Char(',')) + QLatin1Char(']'));
    return out.join(QString());
}

TEST(TableFormat, ParsesFormatsAndCells) {
    struct Case {
        const char* text;
        const char* columns;
        const char* rows;
    } cases[] = {
        {"<2700|^1400|>1400;a|b|c;", "L2700 C1400 R1400", "[a,b,c]"},
        {"^10000;Company #3", "C10000", "[Company #3]"},
        {"<2700|<2700|<1300|^1400|>1400|>1400;|||||;", "L2700 L2700 L1300 C1400 R1400 R1400",
         "[,,,,,]"},
        {"<~1200|<~2000;x|y;z|w;", "L~1200 L~2000", "[x,y][z,w]"},
        {"^10000; ", "C10000", "[ ]"},
        {"^10000;", "C10000", "[]"},
        {"<2300|<3000;||TOTAL||1.00", "L2300 L3000", "[,,TOTAL,,1.00]"},
        {"just text", "L-1", "[just text]"},
        {"~>1000|x;a|b;", "R~1000 L-1", "[a,b]"},
    };
    for (const Case& c : cases) {
        const TableText t = parseTableText(QString::fromUtf8(c.text));
        EXPECT_EQ(describe(t.columns), QString::fromUtf8(c.columns)) << c.text;
        EXPECT_EQ(describe(t.rows), QString::fromUtf8(c.rows)) << c.text;
    }
}

TEST(TableFormat, SeparateFormatsOfAddedTables) {
    EXPECT_EQ(describe(parseColumnFormat(QStringLiteral("^~10775"))), QStringLiteral("C~10775"));
    EXPECT_EQ(describe(parseColumnFormat(QStringLiteral("<~1200|<~2000;"))),
              QStringLiteral("L~1200 L~2000"));
    const QString lf = QStringLiteral("\n<~1800|>~700");
    EXPECT_EQ(describe(parseColumnFormat(lf)), QStringLiteral("L~1800 R~700"));
    EXPECT_EQ(leadingLineFeeds(lf), 1);
    EXPECT_EQ(leadingLineFeeds(QStringLiteral("<100")), 0);
    EXPECT_TRUE(parseColumnFormat(QString()).isEmpty());
}

} // namespace
} // namespace vx::output
