#include "reportspec/reports_common.h"

#include "platform/regional.h"
#include "runstate/runstate.h"
#include "testsupport/scripted_messages.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

using namespace vx;
using vx::test::TestEnv;

namespace {

class ReportSpecFile : public ::testing::Test {
  protected:
    void SetUp() override { env.setEnv("LC_ALL", "C"), resetReportSpec(), resetRunState(); }
    QString path() const { return env.programDir() + "/RptVantrex.RSF"; }
    bool read(const QByteArray& content) const {
        TestEnv::writeFile(path(), content);
        return gfbReadReportSpec(QString(kReportSpecFileName));
    }
    static QString yesterday() { return formatDate(QDate::currentDate().addDays(-1), "M/d/yyyy"); }

    TestEnv env;
    ScopedScriptedMessages boxes;
};

} // namespace

TEST_F(ReportSpecFile, RoundTripKeepsEveryFieldAndGivesTheRunItsKeys) {
    ReportSpec& spec = reportSpec();
    spec = {"0001",    "Acme Foods", "Received POs", "By vendor", -12,   "Label 3",
            "Value 3", "Label 4",    "Value 4",      true,        "R-1", "out.txt"};
    runState().gsStartDate = "3/1/2024", runState().gsEndDate = "3/31/2024";
    ASSERT_TRUE(gfbWriteReportSpec(QString(kReportSpecFileName)));
    EXPECT_EQ(runState().gsStartKey + u'|' + runState().gsEndKey, "20240301|20240331");
    const ReportSpec written = spec;
    resetReportSpec(), resetRunState();
    runState().gsCompanyName = "Acme Foods";
    ASSERT_TRUE(gfbReadReportSpec(QString(kReportSpecFileName)));
    EXPECT_TRUE(spec == written);
    EXPECT_EQ(runState().gsStartDate, "3/1/2024");
    EXPECT_EQ(runState().gsEndDate, yesterday()) << "the file's end date is never read";

    env.setEnv("LC_ALL", "en_GB.UTF-8"); // keys follow the locale; no date is kept as it is
    runState().gsStartDate = "07-03-2024", runState().gsEndDate = "garbage";
    ASSERT_TRUE(gfbWriteReportSpec(QString(kReportSpecFileName)));
    EXPECT_EQ(runState().gsStartKey + u'|' + runState().gsEndKey, "20240307|garbage");
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(ReportSpecFile, DateRangeRules) {
    const struct {
        QString startBefore, endBefore;
        QByteArray line;
        QString start, end;
    } cases[] = {
        {"\t", " ", "[START]3/1/2024", "3/1/2024", yesterday()}, // below a blank counts too
        {"    ", "", "[START]3/1/2024", "    ", yesterday()},    // four blanks are a value
        {"5/1/2024", "5/9/2024", "[START]3/1/2024[END]3/9/2024", "5/1/2024", "5/9/2024"},
        {"  ", "", "[START][END]", yesterday(), yesterday()},
        {"", "", "[START]  3/1/2024  [END]", "  3/1/2024", yesterday()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.constData());
        resetRunState();
        runState().gsStartDate = c.startBefore, runState().gsEndDate = c.endBefore;
        ASSERT_TRUE(read(c.line + "\r\n"));
        EXPECT_EQ(runState().gsStartDate + u'|' + runState().gsEndDate, c.start + u'|' + c.end);
    }
}

TEST_F(ReportSpecFile, DatesIsAWholeNumberPriorsExactlyYAndMissingFieldsEmpty) {
    const std::pair<QByteArray, int16_t> dates[] = {
        {"12abc", 12},    {"-3", -3},         {"", 0},   {"2.5", 2}, {"3.5", 4}, {"-2.5", -2},
        {".5", 0},        {"0.51", 1},        {" 7", 7}, {"+5", 5},  {"abc", 0}, {"-", 0},
        {"99999", 32767}, {"-99999", -32768}, {"7 ", 7}, {"5.", 5},  {"1,5", 1},
    };
    for (const auto& [text, expected] : dates) {
        ASSERT_TRUE(read("[DATES]" + text + "[SPEC3]x"));
        EXPECT_EQ(reportSpec().giReportDates, expected) << text.constData();
    }
    // The field reader drops trailing blanks ("Y ").
    const std::pair<QByteArray, bool> priors[] = {{"Y", true},    {"y", false}, {" Y", false},
                                                  {"YES", false}, {"", false},  {"Y ", true}};
    for (const auto& [text, expected] : priors) {
        ASSERT_TRUE(read("[PRIORS]" + text + "[REG]r"));
        EXPECT_EQ(reportSpec().gbReportPriors, expected) << '"' << text.constData() << '"';
    }

    // Only the first line counts; the company is the run's, never the file's.
    runState().gsCompanyName = "Acme";
    ASSERT_TRUE(read("[ID]0002[TITLE]Summary[COMPANY]File Co\r\n[SUBTITLE]second line\r\n"));
    EXPECT_TRUE(reportSpec() == (ReportSpec{"0002", "Acme", "Summary"}));
}

TEST_F(ReportSpecFile, MissingAndUnwritableFiles) {
    reportSpec().gsReportTitle = "kept";
    EXPECT_FALSE(gfbReadReportSpec(QString(kReportSpecFileName)));
    EXPECT_EQ(reportSpec().gsReportTitle + runState().gsStartDate, "kept");
    EXPECT_TRUE(boxes.boxes().isEmpty());

    TestEnv::writeFile(env.root() + "/plainfile", "x");
    env.setEnv("JOV_PROGRAM_DIR", env.root() + "/plainfile/program");
    runState().gsStartDate = "3/1/2024";
    EXPECT_FALSE(gfbWriteReportSpec(QString(kReportSpecFileName)));
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_TRUE(boxes.boxes()[0].text.contains("/plainfile/program/RptVantrex.RSF\r"));
    EXPECT_EQ(runState().gsStartKey, "20240301") << "the run still gets its keys";
}
