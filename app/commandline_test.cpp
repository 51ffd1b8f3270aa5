// The program's options, and the tags of the command line that set the run's parameters.
#include "app/commandline.h"
#include "app/options.h"
#include "runstate/runstate.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(ProgramOptions, Parse) {
    struct Case {
        QStringList args;
        bool display, batch, yes;
        QString pdf, line;
        bool error;
        QString text = QString();
    };
    const Case cases[] = {
        {{"START=1/1/2024|END=2"}, true, false, false, "", "START=1/1/2024|END=2", false},
        {{"--batch", "--yes", "START=1"}, true, true, true, "", "START=1", false},
        {{"START=1|", "END=2"}, true, false, false, "", "START=1| END=2", false},
        {{"--", "--batch", "x"}, true, false, false, "", "--batch x", false},
        {{"START=1"}, false, true, false, "", "START=1", false},
        {{"--pdf"}, true, false, false, "", "", true},
        {{"--text", "p.txt", "START=1"}, true, true, false, "", "START=1", false, "p.txt"},
        {{"--text=p.txt", "--pdf", "o.pdf"}, true, true, false, "o.pdf", "", false, "p.txt"},
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

TEST(CommandLine, TagsSetTheRunParameters) {
    test::TestEnv env;
    env.setEnv("LC_ALL", QStringLiteral("C"));
    struct Case {
        const char* line;
        const char* start;
        const char* end;
        bool deleted, vat;
        const char* store;
        bool exportFile;
    };
    const Case cases[] = {
        // Any order; anything else on the line is ignored.
        {"junk|EXPORT=Y|STORE=2|END=1/2/2024|START=1/1/2024|more", "1/1/2024", "1/2/2024", false,
         false, "2", true},
        // Flags compare exactly and case-sensitively, after trailing blanks go.
        {"START=1/1/2024|DELETED=d|TAX=y|EXPORT=YES", "1/1/2024", "", false, false, "", false},
        // A tag that ends the line gives the empty value.
        {"END=2/2/2024|START=", "", "2/2/2024", false, false, "", false},
        // A tag also matches where it ends a longer word.
        {"RESTART=7/7/2024|START=1/1/2024", "7/7/2024", "", false, false, "", false},
        {"START=\"quoted\" 'x'|STORE=\xc3\xa9\xff", "\"quoted\" 'x'", "", false, false,
         "\xc3\xa9\xef\xbf\xbd", false},
        {"START=3/1/2024|END=03/31/2024|DELETED=D |TAX=Y  ", "3/1/2024", "03/31/2024", true, true,
         "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        resetRunState();
        gpParseCommandLine(QString::fromUtf8(c.line));
        const RunState& rs = runState();
        EXPECT_EQ(rs.gsStartDate, QString::fromUtf8(c.start));
        EXPECT_EQ(rs.gsEndDate, QString::fromUtf8(c.end));
        EXPECT_EQ(rs.gbShowDeleted, c.deleted);
        EXPECT_EQ(rs.gbVatReport, c.vat);
        EXPECT_EQ(rs.gsStore, QString::fromUtf8(c.store));
        EXPECT_EQ(rs.gbWriteExport, c.exportFile);
        // A VAT run derives the stored date keys.
        EXPECT_EQ(rs.gsStartKey.isEmpty(), !c.vat);
    }
    EXPECT_EQ(runState().gsStartKey, QStringLiteral("20240301"));
    EXPECT_EQ(runState().gsEndKey, QStringLiteral("20240331"));
}

} // namespace
} // namespace vx
