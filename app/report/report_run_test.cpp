// The run and the page header without a database: document set-up, heading lines for each
// report, the VAT question, the footer, and the runs that find nothing. Each report's column
// headers show on the end-to-end test's pages.
#include "app/report/deleted_orders.h"
#include "app/report/received_summary.h"
#include "app/report/testing/report_fixture.h"
#include "db/state.h"
#include "platform/regional.h"
#include "reportspec/reports_common.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx::report::test {
namespace {

class ReportRun : public ::testing::Test {
  protected:
    void SetUp() override {
        env.setEnv("LC_ALL", QStringLiteral("C"));
        db::resetDbState();
        resetRunState();
        resetReportSpec();
        resetReceivedSummaryState();
        resetDeletedOrdersState();
        tables::common() = tables::CommonRec{};
        RunState& run = runState();
        run.gsCompanyName = QStringLiteral("Corner Hardware");
        run.gsStartDate = QStringLiteral("1/1/2024");
        run.gsEndDate = QStringLiteral("1/31/2024");
        reportSpec().gsReportTitle = QStringLiteral("My Title");
        reportSpec().gsReportSubtitle = QStringLiteral("My Subtitle");
        setReportHost(&host);
    }
    void TearDown() override { setReportHost(nullptr); }
    QStringList heading() {
        output::RecordingPrinter doc;
        gpPrintHeading(doc);
        return doc.calls(QStringLiteral("table "));
    }
    static QString line(const QString& text) { return QStringLiteral("table ^10000;") + text; }

    vx::test::TestEnv env;
    ScopedScriptedMessages boxes;
    RecordingHost host;
};

TEST_F(ReportRun, TheCompanyLineShowsTheStoreNumberByTheRules) {
    struct Case {
        std::int16_t store;
        bool store1Option;
        bool vat;
        const char* company;
    };
    const Case cases[] = {
        {1, false, false, "Corner Hardware"},    {1, true, false, "Corner Hardware #1"},
        {3, false, false, "Corner Hardware #3"}, {3, true, true, "Corner Hardware"},
        {0, true, false, "Corner Hardware #0"},
    };
    for (const Case& c : cases) {
        tables::common().StoreNumber = c.store;
        runState().gbShowStore1Number = c.store1Option;
        runState().gbVatReport = c.vat;
        EXPECT_EQ(heading().first(), line(QString::fromLatin1(c.company))) << c.store << c.vat;
    }
}

TEST_F(ReportRun, HeadingLinesOfEachReport) {
    const QString today = formatDate(QDate::currentDate(), QStringLiteral("Short Date"));
    const QString c = line(QStringLiteral("Corner Hardware"));
    const QString blank = line(QStringLiteral(" "));
    const QString range = line(QStringLiteral("1/1/2024 to 1/31/2024"));
    EXPECT_EQ(heading(), (QStringList{c, line(QStringLiteral("Purchase Orders Received")),
                                      line(QStringLiteral("My Subtitle")), range, blank, blank}));
    EXPECT_EQ(reportSpec().gsReportTitle, QStringLiteral("Purchase Orders Received"));

    runState().gbShowDeleted = true;
    EXPECT_EQ(heading(), (QStringList{c, line(QStringLiteral("Deleted Purchase Orders")),
                                      line(QStringLiteral("1/1/2024 to ") + today), blank, blank}));
    runState().gbVatReport = true; // the VAT report also when the deleted flag is set
    EXPECT_EQ(heading(), (QStringList{c, line(QStringLiteral("Input VAT")), range, blank, blank}));
}

TEST_F(ReportRun, ThePageHeaderSetsFontsAndAsksTheVatQuestionOnEveryPage) {
    output::RecordingPrinter doc;
    gpPrintPageHeader(doc);
    EXPECT_EQ(doc.calls().mid(0, 3), (QStringList{"font Arial", "size 10", "bold on"}));
    EXPECT_EQ(doc.calls().last(), QStringLiteral("bold off"));
    EXPECT_TRUE(boxes.boxes().isEmpty());

    runState().gbVatReport = true;
    runState().gbShowDeleted = true; // the VAT report's columns also when this flag is set
    for (MsgAnswer a : {MsgAnswer::No, MsgAnswer::Yes, MsgAnswer::No})
        boxes.answer(a);
    const bool expected[] = {false, true, true}; // the first Yes stays
    for (bool summaryOnly : expected) {
        doc.clear();
        gpPrintPageHeader(doc);
        EXPECT_EQ(receivedSummaryState().gbVatSummaryOnly, summaryOnly);
        EXPECT_TRUE(doc.calls().contains(QStringLiteral("size 11")));
        EXPECT_TRUE(doc.calls().join(u'\n').contains(QStringLiteral("|Input VAT ;")));
    }
    ASSERT_EQ(boxes.boxes().size(), 3);
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("Print Summary Only"));
    EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("VAT Report"));
    EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::YesNo);

    doc.setHeaderStyle(1);
    doc.clear();
    boxes.answer(MsgAnswer::No);
    gpPrintPageHeader(doc);
    EXPECT_TRUE(doc.calls().contains(QStringLiteral("size 6")));
}

TEST_F(ReportRun, TheFooterNamesTitlePageAndTime) {
    const QDateTime at(QDate(2024, 3, 7), QTime(15, 4));
    EXPECT_EQ(gsPageFooter(at), QStringLiteral("My Title|Page %d|3/7/2024 3:04 PM"));
}

TEST_F(ReportRun, ARunSetsUpTheDocumentAndWritesTheSpecification) {
    runState().gbShowDeleted = true; // no database: nothing to report
    runState().gsCompanyName = QStringLiteral("Corner Shop");
    gpRunReport();
    const QStringList& calls = host.doc.calls();
    ASSERT_GE(calls.size(), 5);
    EXPECT_EQ(calls[0], QStringLiteral("header style 0"));
    EXPECT_TRUE(calls[1].startsWith(QStringLiteral("footer Deleted Purchase Orders|Page %d|")));
    EXPECT_EQ(calls[2], QStringLiteral("margins 720 720 720 720"));
    EXPECT_EQ(calls[3], QStringLiteral("info Deleted Purchase Orders|Corner Shop"));
    EXPECT_EQ(calls[4], QStringLiteral("start"));
    EXPECT_EQ(calls.last(), QStringLiteral("end"));
    EXPECT_TRUE(runState().gbShowPOButton);
    EXPECT_EQ(reportSpec().gsReportID, QStringLiteral("0001"));
    EXPECT_TRUE(QFile::exists(env.programDir() + QStringLiteral("/RptVantrex.RSF")));
}

TEST_F(ReportRun, RunsThatFindNothingSaySoAndEndTheirDocument) {
    struct Case {
        bool vat, deleted;
        const char* message;
        const char* title;
        int unloads;
        bool abandoned;
    };
    const Case cases[] = {
        // Without its database the history cannot even be counted: that is said, not taken for
        // an empty range (the end-to-end runs show the empty range's message).
        {false, false,
         "The received purchase orders could not be read to the end.\r\rThe database is not "
         "connected.",
         "", 1, false},
        {false, true, "Nothing to report", "", 1, false},
        {true, false, "No Matching PO's Found", "", 0, true},
    };
    for (const Case& c : cases) {
        runState().gbVatReport = c.vat;
        runState().gbShowDeleted = c.deleted;
        runState().gbPreviewDone = false;
        host.unloads = 0;
        boxes.clear();
        boxes.answer(MsgAnswer::No); // the VAT question of the first page
        host.simulate = true;
        gpRunReport();
        const QString title = *c.title ? QString::fromLatin1(c.title) : productName();
        ASSERT_FALSE(boxes.boxes().isEmpty()) << c.message;
        EXPECT_EQ(boxes.boxes().last().text, QString::fromLatin1(c.message));
        EXPECT_EQ(boxes.boxes().last().title, title);
        EXPECT_EQ(host.unloads, c.unloads) << c.message;
        EXPECT_EQ(runState().gbPreviewDone, c.unloads == 1) << c.message;
        EXPECT_EQ(host.doc.abandoned(), c.abandoned) << c.message;
        EXPECT_TRUE(host.doc.ended());
    }
}

} // namespace
} // namespace vx::report::test
