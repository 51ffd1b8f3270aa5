#include "reportspec/reports_common.h"

#include "platform/regional.h"
#include "platform/scripted_messages.h"
#include "runstate/runstate.h"
#include "testsupport/test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace vx;
using vx::test::FileSizeLimit;
using vx::test::TestEnv;

namespace {

class ReportSpecFile : public ::testing::Test {
  protected:
    void SetUp() override {
        env.setEnv("LC_ALL", "C");
        resetReportSpec();
        resetRunState();
    }
    void TearDown() override {
        resetReportSpec();
        resetRunState();
    }
    QString path() const { return env.programDir() + "/RptVantrex.RSF"; }
    void writeSpec(const QByteArray& content) const { TestEnv::writeFile(path(), content); }
    static QString yesterday() { return formatDate(QDate::currentDate().addDays(-1), "M/d/yyyy"); }
    static QString today() { return formatDate(QDate::currentDate(), "M/d/yyyy"); }

    TestEnv env;
    ScopedScriptedMessages boxes;
};

} // namespace

TEST_F(ReportSpecFile, RoundTripKeepsEveryField) {
    ReportSpec& spec = reportSpec();
    spec.gsReportID = "0001";
    spec.gsReportCompany = "Acme Foods";
    spec.gsReportTitle = "Received POs";
    spec.gsReportSubtitle = "By vendor";
    spec.giReportDates = -12;
    spec.gsSpec3Label = "Label 3";
    spec.gsSpec3 = "Value 3";
    spec.gsSpec4Label = "Label 4";
    spec.gsSpec4 = "Value 4";
    spec.gbReportPriors = true;
    spec.gsReportReg = "R-1";
    spec.gsReportFileName = "out.txt";
    runState().gsStartDate = "3/1/2024";
    runState().gsEndDate = "3/31/2024";

    ASSERT_TRUE(gfbWriteReportSpec(QString(kReportSpecFileName)));
    EXPECT_EQ(runState().gsStartKey, "20240301");
    EXPECT_EQ(runState().gsEndKey, "20240331");
    EXPECT_TRUE(boxes.boxes().isEmpty());

    const ReportSpec written = spec;
    resetReportSpec();
    resetRunState();
    runState().gsCompanyName = "Acme Foods";
    ASSERT_TRUE(gfbReadReportSpec(QString(kReportSpecFileName)));
    EXPECT_TRUE(spec == written);
    EXPECT_EQ(runState().gsStartDate, "3/1/2024");
    EXPECT_EQ(runState().gsEndDate, yesterday()) << "the file's end date is never read";
}

TEST_F(ReportSpecFile, KeysFollowTheLocaleDateOrderAndKeepTextsThatAreNoDates) {
    const struct {
        const char *locale, *start, *end, *startKey, *endKey;
    } cases[] = {
        {"en_GB.UTF-8", "07-03-2024", "2024-03-31", "20240307", "20240331"},
        {"C", "garbage", "", "garbage", ""},
    };
    for (const auto& c : cases) {
        env.setEnv("LC_ALL", c.locale);
        runState().gsStartDate = c.start;
        runState().gsEndDate = c.end;
        ASSERT_TRUE(gfbWriteReportSpec(QString(kReportSpecFileName)));
        EXPECT_EQ(runState().gsStartKey, c.startKey);
        EXPECT_EQ(runState().gsEndKey, c.endKey);
    }
}

TEST_F(ReportSpecFile, DateRangeRules) {
    struct Case {
        QString startBefore, endBefore;
        QByteArray line;
        QString start, end;
    } cases[] = {
        {"", "", "[START]3/1/2024[END]3/9/2024", "3/1/2024", yesterday()},
        {"   ", "   ", "[START]3/1/2024", "3/1/2024", yesterday()},
        {"\t", " ", "[START]3/1/2024", "3/1/2024", yesterday()}, // below a blank counts too
        {"    ", "", "[START]3/1/2024", "    ", yesterday()},    // four blanks are a value
        {"5/1/2024", "5/9/2024", "[START]3/1/2024[END]3/9/2024", "5/1/2024", "5/9/2024"},
        {"", "", "[ID]0001", yesterday(), yesterday()},
        {"  ", "", "[START][END]", yesterday(), yesterday()},
        {"", "", "[START]  3/1/2024  [END]", "  3/1/2024", yesterday()},
    };
    for (const Case& c : cases) {
        resetRunState();
        runState().gsStartDate = c.startBefore;
        runState().gsEndDate = c.endBefore;
        writeSpec(c.line + "\r\n");
        ASSERT_TRUE(gfbReadReportSpec(QString(kReportSpecFileName))) << c.line.constData();
        EXPECT_EQ(runState().gsStartDate, c.start) << c.line.constData();
        EXPECT_EQ(runState().gsEndDate, c.end) << c.line.constData();
    }
}

TEST_F(ReportSpecFile, DatesValueIsAWholeNumber) {
    const std::pair<QByteArray, int16_t> cases[] = {
        {"12abc", 12}, {"-3", -3}, {"", 0},    {"2.5", 2},       {"3.5", 4},
        {"-2.5", -2},  {"1.5", 2}, {".5", 0},  {"0.51", 1},      {" 7", 7},
        {"+5", 5},     {"abc", 0}, {"-", 0},   {"99999", 32767}, {"-99999", -32768},
        {"7 ", 7},     {"5.", 5},  {"1,5", 1},
    };
    for (const auto& [text, expected] : cases) {
        writeSpec("[DATES]" + text + "[SPEC3]x");
        ASSERT_TRUE(gfbReadReportSpec(QString(kReportSpecFileName)));
        EXPECT_EQ(reportSpec().giReportDates, expected) << text.constData();
    }
}

TEST_F(ReportSpecFile, PriorsMustBeExactlyY) {
    const std::pair<QByteArray, bool> cases[] = {
        {"Y", true},  {"y", false}, {" Y", false}, {"YES", false},
        {"N", false}, {"", false},  {"Y ", true}, // the field reader drops trailing blanks; the
                                                  // converter itself does not
    };
    for (const auto& [text, expected] : cases) {
        writeSpec("[PRIORS]" + text + "[REG]r");
        ASSERT_TRUE(gfbReadReportSpec(QString(kReportSpecFileName)));
        EXPECT_EQ(reportSpec().gbReportPriors, expected) << '"' << text.constData() << '"';
    }
    EXPECT_FALSE(gfbYesNo("Y "));
    EXPECT_EQ(gfsYesNo(false), "N");
}

TEST_F(ReportSpecFile, PartialLineLeavesOtherFieldsEmpty) {
    reportSpec().gsReportSubtitle = "old";
    reportSpec().giReportDates = 5;
    reportSpec().gbReportPriors = true;
    runState().gsCompanyName = "Acme";
    writeSpec("[ID]0002[TITLE]Summary[START]1/2/2024[COMPANY]File Co\r\n[SUBTITLE]second line\r\n");
    ASSERT_TRUE(gfbReadReportSpec(QString(kReportSpecFileName)));
    const ReportSpec& spec = reportSpec();
    EXPECT_EQ(spec.gsReportID, "0002");
    EXPECT_EQ(spec.gsReportTitle, "Summary");
    EXPECT_EQ(spec.gsReportCompany, "Acme");
    EXPECT_EQ(runState().gsStartDate, "1/2/2024");
    EXPECT_EQ(spec.gsReportSubtitle, "");
    EXPECT_EQ(spec.giReportDates, 0);
    EXPECT_FALSE(spec.gbReportPriors);
}

TEST_F(ReportSpecFile, ValuesCannotHoldBracketsOrTrailingBlanks) {
    reportSpec().gsReportTitle = "Sales [draft] list";
    reportSpec().gsReportSubtitle = "  padded  ";
    ASSERT_TRUE(gfbWriteReportSpec(QString(kReportSpecFileName)));
    resetReportSpec();
    ASSERT_TRUE(gfbReadReportSpec(QString(kReportSpecFileName)));
    EXPECT_EQ(reportSpec().gsReportTitle, "Sales");
    EXPECT_EQ(reportSpec().gsReportSubtitle, "  padded");
}

TEST_F(ReportSpecFile, MissingFileChangesNothing) {
    reportSpec().gsReportTitle = "kept";
    EXPECT_FALSE(gfbReadReportSpec(QString(kReportSpecFileName)));
    EXPECT_EQ(reportSpec().gsReportTitle, "kept");
    EXPECT_EQ(runState().gsStartDate, "");
    EXPECT_EQ(runState().gsEndDate, "");
    QDir().mkpath(path()); // a folder of that name is no file either
    EXPECT_FALSE(gfbReadReportSpec(QString(kReportSpecFileName)));
    EXPECT_EQ(runState().gsStartDate, "");
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(ReportSpecFile, OddFilesAreReadWithoutHarm) {
    QByteArray garbage;
    for (int i = 0; i < 8192; ++i)
        garbage += static_cast<char>((i * 131) % 256);
    const QByteArray huge = "[TITLE]Big" + QByteArray(5 << 20, 'x');
    const QByteArray contents[] = {"", "\r\n", garbage, huge, "[ID]" + QByteArray(300, '\0')};
    for (const QByteArray& content : contents) {
        resetRunState();
        writeSpec(content);
        EXPECT_TRUE(gfbReadReportSpec(QString(kReportSpecFileName)));
        EXPECT_FALSE(runState().gsStartDate.isEmpty());
        EXPECT_EQ(runState().gsEndDate, yesterday());
    }
    EXPECT_TRUE(reportSpec().gsReportTitle.isEmpty());
    writeSpec(huge);
    ASSERT_TRUE(gfbReadReportSpec(QString(kReportSpecFileName)));
    EXPECT_TRUE(reportSpec().gsReportTitle.startsWith("Bigxxx"));
}

TEST_F(ReportSpecFile, UnwritableFileIsReportedAndRefused) {
    TestEnv::writeFile(env.root() + "/plainfile", "x");
    env.setEnv("JOV_PROGRAM_DIR", env.root() + "/plainfile/program");
    runState().gsStartDate = "3/1/2024";
    EXPECT_FALSE(gfbWriteReportSpec(QString(kReportSpecFileName)));
    ASSERT_EQ(boxes.boxes().size(), 1);
    const RecordedBox& box = boxes.boxes().first();
    EXPECT_TRUE(box.text.contains(env.root() + "/plainfile/program/RptVantrex.RSF"))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains("\rNot a directory")) << box.text.toStdString();
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.title, "Vantrex Report");
    EXPECT_EQ(runState().gsStartKey, "20240301") << "the run still gets its keys";
}

TEST_F(ReportSpecFile, FailedWriteKeepsTheOldFile) {
    writeSpec("[ID]0001[TITLE]Old\r\n");
    reportSpec().gsReportTitle = "New";
    {
        FileSizeLimit limit(8);
        EXPECT_FALSE(gfbWriteReportSpec(QString(kReportSpecFileName)));
    }
    EXPECT_EQ(TestEnv::readFile(path()), "[ID]0001[TITLE]Old\r\n");
    EXPECT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(QDir(env.programDir()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"RptVantrex.RSF"});
}
