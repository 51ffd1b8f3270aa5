#include "output/table_format.h"

#include <gtest/gtest.h>

namespace vx::output {
namespace {

// "L2700 C~1400 R-1": alignment, no-wrap mark and width of each column.
QString describe(const QList<Column>& columns) {
    QStringList out;
    for (const Column& c : columns)
        out << QStringLiteral("%1%2%3")
                   .arg(QLatin1String(c.align == Align::Left     ? "L"
                                      : c.align == Align::Centre ? "C"
                                                                 : "R"),
                        QLatin1String(c.oneLine ? "~" : ""))
                   .arg(c.width);
    return out.join(u' ');
}

TEST(TableFormat, ParsesFormatsAndCells) {
    const struct {
        const char *text, *columns, *rows;
    } cases[] = {
        {"<2700|^1400|>1400;a|b|c;", "L2700 C1400 R1400", "[a,b,c]"},
        {"^10000;Company #3", "C10000", "[Company #3]"},
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
    // The formats of added tables stand alone, after the line feeds that start them.
    EXPECT_EQ(describe(parseColumnFormat("^~10775")), QStringLiteral("C~10775"));
    EXPECT_EQ(describe(parseColumnFormat("<~1200|<~2000;")), QStringLiteral("L~1200 L~2000"));
    EXPECT_EQ(describe(parseColumnFormat("\n<~1800|>~700")), QStringLiteral("L~1800 R~700"));
    EXPECT_EQ(leadingLineFeeds("\n<~1800|>~700"), 1);
    EXPECT_EQ(leadingLineFeeds("<100"), 0);
    EXPECT_TRUE(parseColumnFormat(QString()).isEmpty());
}

} // namespace
} // namespace vx::output
