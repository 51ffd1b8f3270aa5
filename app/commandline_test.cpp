#include "app/commandline.h"
#include "runstate/runstate.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

struct TagCase {
    const char* line;
    const char* start;
    const char* end;
    bool deleted;
    bool vat;
    const char* store;
    bool exportFile;
};

class CommandLineTest : public ::testing::TestWithParam<TagCase> {
  protected:
    void SetUp() override {
        env.setEnv("LC_ALL", QStringLiteral("C"));
        resetRunState();
    }
    test::TestEnv env;
};

TEST_P(CommandLineTest, SetsTheRunParameters) {
    const TagCase& c = GetParam();
    gpParseCommandLine(QString::fromUtf8(c.line));
    const RunState& rs = runState();
    EXPECT_EQ(rs.gsStartDate, QString::fromUtf8(c.start));
    EXPECT_EQ(rs.gsEndDate, QString::fromUtf8(c.end));
    EXPECT_EQ(rs.gsExportDate, QString::fromUtf8(c.end));
    EXPECT_EQ(rs.gbShowDeleted, c.deleted);
    EXPECT_EQ(rs.gbVatReport, c.vat);
    EXPECT_EQ(rs.gsStore, QString::fromUtf8(c.store));
    EXPECT_EQ(rs.gbWriteExport, c.exportFile);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, CommandLineTest,
    ::testing::Values(
        TagCase{"START=03/01/2024|END=03/31/2024|DELETED=D|TAX=Y|STORE=5|EXPORT=Y", "03/01/2024",
                "03/31/2024", true, true, "5", true},
        // Any order; anything else on the line is ignored.
        TagCase{"junk|EXPORT=Y|STORE=2|END=1/2/2024|START=1/1/2024|more", "1/1/2024", "1/2/2024",
                false, false, "2", true},
        // Flags compare exactly and case-sensitively.
        TagCase{"START=1/1/2024|DELETED=d|TAX=y|EXPORT=YES", "1/1/2024", "", false, false, "",
                false},
        TagCase{"START=1/1/2024|DELETED=D |TAX=Y  ", "1/1/2024", "", true, true, "", false},
        // Leading blanks stay, trailing ones go.
        TagCase{"START=  1/1/2024  |END= x", "  1/1/2024", " x", false, false, "", false},
        // A tag that ends the line, or is followed by "|", gives the empty value.
        TagCase{"END=2/2/2024|START=", "", "2/2/2024", false, false, "", false},
        TagCase{"START=|END=2/2/2024", "", "2/2/2024", false, false, "", false},
        // The first occurrence wins; a tag also matches where it ends a longer word.
        TagCase{"START=1/1/2024|END=1/5/2024|END=9/9/2024", "1/1/2024", "1/5/2024", false, false,
                "", false},
        TagCase{"RESTART=7/7/2024|START=1/1/2024", "7/7/2024", "", false, false, "", false},
        TagCase{"", "", "", false, false, "", false},
        TagCase{"START=\"quoted\" 'x'|STORE=\xc3\xa9\xff", "\"quoted\" 'x'", "", false, false,
                "\xc3\xa9\xef\xbf\xbd", false}));

TEST(CommandLine, VatRunDerivesTheStoredDateKeys) {
    test::TestEnv env;
    env.setEnv("LC_ALL", QStringLiteral("C"));
    resetRunState();
    gpParseCommandLine(QStringLiteral("START=3/1/2024|END=03/31/2024|TAX=Y"));
    EXPECT_EQ(runState().gsStartKey, QStringLiteral("20240301"));
    EXPECT_EQ(runState().gsEndKey, QStringLiteral("20240331"));

    resetRunState();
    gpParseCommandLine(QStringLiteral("START=3/1/2024|END=03/31/2024"));
    EXPECT_TRUE(runState().gsStartKey.isEmpty());
}

TEST(CommandLine, LongLinesParse) {
    resetRunState();
    const QString filler(200000, u'|');
    gpParseCommandLine(filler + QStringLiteral("START=1/1/2024") + filler);
    EXPECT_EQ(runState().gsStartDate, QStringLiteral("1/1/2024"));
}

} // namespace
} // namespace vx
