#include "output/recording_printer.h"

#include <gtest/gtest.h>

namespace vx::output {
namespace {

TEST(RecordingPrinter, RecordsCallsAndSimulatesPagesOnlyWhenTold) {
    for (const bool simulate : {false, true}) {
        RecordingPrinter p;
        p.simulatePages(simulate);
        int headers = 0;
        p.setPageStartHandler([&](ReportPrinter& printer) {
            ++headers;
            printer.setFontBold(true);
        });
        p.setFontName(QStringLiteral("Arial"));
        p.setFontSize(10);
        p.setFooter(QStringLiteral("left|Page %d|right"));
        p.startDoc();
        p.tableText(QStringLiteral("<2700|^1400;a|b;"));
        p.addTable(QStringLiteral("^~10775"), QString(), QStringLiteral("___- - - \r"));
        p.newPage();
        p.endDoc();

        const QStringList expected = simulate ? QStringList{"font Arial",
                                                            "size 10",
                                                            "footer left|Page %d|right",
                                                            "start",
                                                            "page 1",
                                                            "bold on",
                                                            "table <2700|^1400;a|b;",
                                                            "add ^~10775 [] ___- - - \\r",
                                                            "page 2",
                                                            "bold on",
                                                            "end"}
                                              : QStringList{"font Arial",
                                                            "size 10",
                                                            "footer left|Page %d|right",
                                                            "start",
                                                            "table <2700|^1400;a|b;",
                                                            "add ^~10775 [] ___- - - \\r",
                                                            "end"};
        EXPECT_EQ(p.calls(), expected);
        EXPECT_EQ(p.pageCount(), simulate ? 2 : 0);
        EXPECT_EQ(headers, simulate ? 2 : 0);
        EXPECT_EQ(p.calls(QStringLiteral("table ")).size(), 1);
        EXPECT_TRUE(p.ended());
    }
}

} // namespace
} // namespace vx::output
