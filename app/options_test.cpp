#include "app/options.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(ProgramOptions, Parse) {
    struct Case {
        QStringList args;
        bool display;
        bool batch, yes;
        QString pdf, line;
        bool error;
        QString text = QString();
    };
    const Case cases[] = {
        {{"START=1/1/2024|END=2"}, true, false, false, "", "START=1/1/2024|END=2", false},
        {{"--batch", "--yes", "START=1"}, true, true, true, "", "START=1", false},
        {{"--pdf", "out.pdf", "START=1"}, true, true, false, "out.pdf", "START=1", false},
        {{"--pdf=out.pdf"}, true, true, false, "out.pdf", "", false},
        {{"START=1|", "END=2"}, true, false, false, "", "START=1| END=2", false},
        {{"--", "--batch", "x"}, true, false, false, "", "--batch x", false},
        {{"START=1"}, false, true, false, "", "START=1", false},
        {{"--pdf"}, true, false, false, "", "", true},
        {{"--frobnicate"}, true, false, false, "", "", true},
        {{"--text", "p.txt", "START=1"}, true, true, false, "", "START=1", false, "p.txt"},
        {{"--text=p.txt", "--pdf", "o.pdf"}, true, true, false, "o.pdf", "", false, "p.txt"},
        {{"--text="}, true, false, false, "", "", true},
    };
    for (const Case& c : cases) {
        const ProgramOptions o = parseProgramOptions(c.args, c.display);
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        EXPECT_EQ(o.batch, c.batch);
        EXPECT_EQ(o.yes, c.yes);
        EXPECT_EQ(o.pdfFile, c.pdf);
        EXPECT_EQ(o.textFile, c.text);
        EXPECT_EQ(o.commandLine, c.line);
        EXPECT_EQ(!o.error.isEmpty(), c.error);
    }
}

} // namespace
} // namespace vx
