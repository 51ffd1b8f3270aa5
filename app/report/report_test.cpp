// What the end-to-end pages cannot show: helper edges, the heading's rules and VAT question,
// failed reads, the VAT summary's vendor table past ten, and a run cancelled from its progress.
#include "app/report/deleted_orders.h"
#include "app/report/received_summary.h"
#include "app/report/report_common.h"
#include "app/report/testing/report_fixture.h"
#include "db/state.h"
#include "db/testing/failing_connection.h"
#include "output/progress.h"
#include "platform/runtime.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "testsupport/test_env.h"

#include <QDir>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

namespace vx::report::test {
namespace {

TEST(ReportHelpers, NumbersMoneyDatesAndSLCodes) {
    vx::test::TestEnv env;
    env.setEnv("LC_ALL", QStringLiteral("C"));
    EXPECT_EQ(gsMoney(50), QStringLiteral(".01")); // the format's own cases: the regional test
    // Products round to the nearest ten-thousandth, halves to even.
    const std::tuple<std::int64_t, float, std::int64_t> products[] = {
        {12345, 2.0f, 24690}, {5, 0.5f, 2}, {15, 0.5f, 8}, {10000, 0.1f, 1000}, {3, -0.5f, -2}};
    for (const auto& [amount, qty, expected] : products)
        EXPECT_EQ(gcyTimes(amount, qty), expected) << amount << " x " << qty;
    EXPECT_EQ(gcyFromNumber(1234.5), 12345000);
    // Numbers are read as the suite reads them.
    const std::pair<const char*, double> numbers[] = {
        {"12.50", 12.5},  {" 7", 7},    {"1 234.5", 1234.5}, {"3.2abc", 3.2}, {"abc", 0},
        {"-4.25", -4.25}, {"1e2", 100}, {"5-", 5},           {"2.5.1", 2.5}};
    for (const auto& [text, value] : numbers)
        EXPECT_DOUBLE_EQ(gdLeadingNumber(QString::fromLatin1(text)), value) << text;
    // No quote in a date can end the statement's literal; special S/L codes ("~") get no point.
    const std::tuple<QString (*)(const QString&), const char*, const char*> texts[] = {
        {gsDateLiteral, "2024'--", "2024 --"},
        {gsDateLiteral, "x''' OR 1=1 --", "x    OR 1=1 --"},
        {gsFormatSL, "~ABC    ", "~ABC    "},
        {gsFormatSL, "  ~X", "  ~X"},
        {gsFormatSL, "", "."}};
    for (const auto& [f, in, out] : texts)
        EXPECT_EQ(f(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
    resetRunState(); // the range statement's end date goes through the same
    runState().gsEndDate = QStringLiteral("!'' OR ''1''=''1");
    EXPECT_TRUE(gsReceivedOrdersSQL(QStringLiteral("20240101"))
                    .contains(QStringLiteral("DateReceived <= '!   OR   1  =  1')")));
}

class ReportHeading : public ::testing::Test {
  protected:
    void SetUp() override {
        resetRunState();
        resetReceivedSummaryState();
        tables::common() = tables::CommonRec{};
        runState().gsCompanyName = QStringLiteral("Corner Hardware");
    }
    QString heading(int line) {
        output::RecordingPrinter doc;
        gpPrintHeading(doc);
        return doc.calls(QStringLiteral("table ")).value(line).section(u';', 1);
    }
    ScopedScriptedMessages boxes;
};

TEST_F(ReportHeading, TheCompanyLineShowsTheStoreNumberByTheRules) {
    const std::tuple<std::int16_t, bool, bool, const char*> cases[] = {
        {3, false, false, "Corner Hardware #3"},
        {3, true, true, "Corner Hardware"},
        {0, true, false, "Corner Hardware #0"}};
    for (const auto& [store, store1Option, vat, company] : cases) {
        tables::common().StoreNumber = store;
        runState().gbShowStore1Number = store1Option;
        runState().gbVatReport = vat;
        EXPECT_EQ(heading(0), QString::fromLatin1(company)) << store << vat;
    }
    runState().gbVatReport = runState().gbShowDeleted = true; // VAT wins over deleted
    EXPECT_EQ(heading(1), QStringLiteral("Input VAT"));
}

TEST_F(ReportHeading, EveryPageAsksTheVatQuestionAndTheFirstYesStays) {
    runState().gbVatReport = true;
    for (MsgAnswer a : {MsgAnswer::No, MsgAnswer::Yes, MsgAnswer::No})
        boxes.answer(a);
    for (bool summaryOnly : {false, true, true}) {
        output::RecordingPrinter doc;
        gpPrintPageHeader(doc);
        EXPECT_EQ(receivedSummaryState().gbVatSummaryOnly, summaryOnly);
    }
    EXPECT_EQ(boxes.texts(), QStringList(3, QStringLiteral("Print Summary Only")));
    EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("VAT Report"));
}

class ReportStore : public ReportDb {
  protected:
    void SetUp() override {
        ReportDb::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        openStore();
        runState().gsStartDate = QStringLiteral("1/1/2024");
        runState().gsEndDate = QStringLiteral("1/31/2024");
        runState().gsStartKey = QStringLiteral("20240101");
        runState().gsEndKey = QStringLiteral("20240131");
    }
};

TEST_P(ReportStore, AReadThatCannotEndPrintsNothingAndSaysWhy) {
    addVendor("V1", "Acme Supply");
    for (const char* po : {"100", "200", "300", "400", "500"})
        addHistory({po, "V1", "20240105", 1, 1, 10000});
    runState().gbWriteExport = true;
    const QString folder = env_.mkdir(QStringLiteral("data/export"));
    auto& db = db::dbState().gcnDatabase;
    db = std::make_unique<dbtest::FailingConnection>(std::move(db), QStringLiteral("POHistory"), 3);
    for (const char* reason : {"server closed the connection unexpectedly", // after three rows
                               "The database is not connected."}) {
        boxes.clear();
        gpPrintReceivedSummary(host.doc);
        EXPECT_TRUE(host.doc.calls(QStringLiteral("table ")).isEmpty());
        EXPECT_EQ(boxes.texts(),
                  QStringList{"The received purchase orders could not be read to the end.\r\r" +
                              QString::fromLatin1(reason)});
        EXPECT_TRUE(QDir(folder).isEmpty()); // no export of a part
        db::resetDbState();
    }
}

TEST_P(ReportStore, TheVatSummaryTotalsEveryVendor) {
    runState().gbVatReport = true;
    QStringList rows;
    for (int v = 10; v < 22; ++v) {
        const QByteArray code = "V" + QByteArray::number(v);
        const char* c = code.constData();
        addVendor(c, ("Vendor " + code).constData());
        addHeader({c, c, c, "C", "", "20240110", "1"});
        if (v != 10 && v != 21)
            continue;
        host.doc.clear();
        receivedSummaryState().gbVatSummaryOnly = true;
        EXPECT_TRUE(gfbPrintVatReport(host.doc));
        rows = host.doc.calls(QStringLiteral("table "))
                   .replaceInStrings(QRegularExpression(QStringLiteral("^[^;]*;")), QString());
        if (v == 10) { // one vendor gets its total also in the summary-only form
            EXPECT_EQ(rows, (QStringList{"||TOTAL||1.00", "||||", "|SUMMARY|||",
                                         "|Vendor V10|||1.00", "||||", "|TOTAL INPUT VAT|||1.00"}));
        }
    }
    ASSERT_EQ(rows.size(), 12 + 3); // no vendor totals in this form
    // The eleventh vendor and those after it are totalled like the others.
    EXPECT_EQ(rows.mid(11, 2), (QStringList{"|Vendor V20|||1.00", "|Vendor V21|||1.00"}));
    EXPECT_EQ(rows.back(), QStringLiteral("|TOTAL INPUT VAT|||12.00"));
}

// A progress display whose user presses cancel as soon as it appears.
struct CancellingView : output::ProgressView {
    void show(const QString& processing, std::int64_t) override {
        seen << processing;
        QTimer::singleShot(0, [] { output::reportProgress().gbCancelReport = true; });
    }
    void close() override {}
    QStringList seen;
};

// Cancelled while reading or printing, the run drops its document and unloads the preview.
TEST_P(ReportStore, ACancelledRunDropsItsDocument) {
    CancellingView view;
    runtimeOptions().batch = false; // the pump really runs events
    output::setProgressTiming(0, 0);
    output::setProgressView(&view);
    runState().gsEndDate = QStringLiteral("12/31/2024");
    addVendor("V1", "Acme Supply");
    // 1000 history rows of 250 orders: the loader offers its first progress after 1000 rows.
    for (int i = 0; i < 1000; ++i)
        addHistory({("P" + QByteArray::number(i / 4)).constData(), "V1", "20240301", 1, 1, 10000});
    for (const char* po : {"P1", "P2"})
        addHeader({po, po, "V1", "X", "20240110", "", "", "BOB", "20240102"});
    for (const bool deleted : {false, true}) {
        runState().gbShowDeleted = deleted;
        runState().gbPreviewDone = false;
        host.unloads = 0;
        view.seen.clear();
        gpRunReport();
        EXPECT_EQ(view.seen, QStringList{deleted ? "Printing" : "Processing"});
        EXPECT_TRUE(host.doc.calls().contains(u"abandon") && !host.doc.calls().contains(u"end"));
        EXPECT_EQ(host.unloads, 1);
        EXPECT_TRUE(runState().gbPreviewDone);
        EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
    }
    output::setProgressView(nullptr);
    output::setProgressTiming(500, 100);
    runtimeOptions().batch = true;
}

INSTANTIATE_TEST_SUITE_P(Engines, ReportStore, ::testing::ValuesIn(dbtest::allBackends()),
                         dbtest::backendName);

} // namespace
} // namespace vx::report::test
