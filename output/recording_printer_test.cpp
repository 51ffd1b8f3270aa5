#include "output/recording_printer.h"

#include <gtest/gtest.h>

namespace vx::output {
namespace {

// Without simulated pages (what most report tests use) the calls are recorded alone; with them,
// each new page is recorded and runs the page start handler.
TEST(RecordingPrinter, SimulatesPagesOnlyWhenTold) {
    for (const bool simulate : {false, true}) {
        RecordingPrinter p;
        p.simulatePages(simulate);
        int headers = 0;
        p.setPageStartHandler([&](ReportPrinter& printer) {
            ++headers;
            printer.setFontBold(true);
        });
        p.startDoc();
        p.tableText(QStringLiteral("<2700;a"));
        p.newPage();
        p.endDoc();
        const QStringList expected =
            simulate ? QStringList{"start",  "page 1",  "bold on", "table <2700;a",
                                   "page 2", "bold on", "end"}
                     : QStringList{"start", "table <2700;a", "end"};
        EXPECT_EQ(p.calls(), expected);
        EXPECT_EQ(p.pageCount(), simulate ? 2 : 0);
        EXPECT_EQ(headers, simulate ? 2 : 0);
    }
}

} // namespace
} // namespace vx::output
