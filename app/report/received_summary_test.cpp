// The received-order summary on both engines: grouping of history rows into orders, amounts,
// vendor order and breaks, totals, the export variant and its file, and the empty range.
#include "app/report/received_summary.h"
#include "app/report/report_fixture.h"
#include "db/state.h"
#include "platform/paths.h"
#include "runstate/runstate.h"
#include "tables/dispatch.h"

#include <gtest/gtest.h>

namespace vx::report::test {
namespace {

const QString F = QStringLiteral("<2700|<2700|<1300|^1400|>1400|>1400;");
const QString kBlank = QStringLiteral("table ") + F + QStringLiteral("|||||;");

QString row(const QString& cells) {
    return QStringLiteral("table ") + F + cells;
}

class ReceivedSummary : public ReportDb {
  protected:
    void SetUp() override {
        ReportDb::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        env_.setEnv("LC_ALL", QStringLiteral("C"));
        openStore();
        RunState& run = runState();
        run.gsStartDate = QStringLiteral("1/1/2024");
        run.gsEndDate = QStringLiteral("1/31/2024");
    }
    // Two vendors and one that is missing; an item that is missing; rows of one order adjacent
    // and apart; rows outside the range or of another status.
    void addOrders() {
        addVendor("V1", "Acme Supply");
        addVendor("V2", "Beta Co");
        addItem(1, 20000);
        addItem(2, 50000);
        addHeader({"200", "VP-200", "V1", "R"});
        addHistory({"100", "V2", "20240105", 1, 2, 12500});
        addHistory({"100", "V2", "20240105", 99, 1, 30000}); // no such item: cost only
        addHistory({"200", "V1", "20240106", 2, 3, 10000});
        addHistory({"300", "V9", "20240108", 2, 1, 40}); // no such vendor
        addHistory({"150", "V1", "20240109", 2, 1, 12345000});
        addHistory({"100", "V2", "20240107", 1, 1, 5000, "U"});  // the same PO again, apart
        addHistory({"050", "V1", "20231231", 1, 1, 10000});      // before the range
        addHistory({"060", "V1", "20240110", 1, 1, 10000, "X"}); // not received
    }
    QStringList rows() const { return host.doc.calls(QStringLiteral("table ")); }
};

TEST_P(ReceivedSummary, RowsBecomeOrdersInTheOrderTheServerReturnsThem) {
    addOrders();
    ASSERT_EQ(giLoadReceivedOrders(), 5);

    // The server's own order of the range query decides which rows are adjacent.
    QStringList serverOrder;
    auto rs = conn->openRecordset(gsReceivedOrdersSQL(QStringLiteral("20240101")));
    ASSERT_TRUE(rs);
    for (; !rs->eof(); rs->moveNext()) {
        const QString po = rs->value(rs->fieldIndex(QStringLiteral("PONumber"))).toString();
        if (serverOrder.isEmpty() || serverOrder.back() != po)
            serverOrder << po;
    }
    const ReceivedSummaryState& st = receivedSummaryState();
    QStringList found;
    for (size_t i = 1; i < st.gReceivedOrders.size(); ++i)
        found << st.gReceivedOrders[i].PONumber;
    EXPECT_EQ(found, serverOrder);

    struct Expect {
        const char* po;
        const char* vendor;
        const char* name;
        std::int64_t cost, retail;
    };
    const Expect sorted[] = {
        {"200", "V1", "Acme Supply", 30000, 150000},
        {"150", "V1", "Acme Supply", 12345000, 50000},
        {"100", "V2", "Beta Co", 55000, 40000},
        {"100", "V2", "Beta Co", 5000, 20000},
        {"300", "V9", "", 40, 50000},
    };
    ASSERT_EQ(st.gSortedOrders.size(), 6u);
    EXPECT_EQ(st.gSortedOrders[0].PONumber, QString());
    for (int i = 0; i < 5; ++i) {
        const ReceivedOrderRec& o = st.gSortedOrders[i + 1];
        EXPECT_EQ(o.PONumber, pad(sorted[i].po, 10)) << i;
        EXPECT_EQ(o.VendorCode, pad(sorted[i].vendor, 15)) << i;
        EXPECT_EQ(o.VendorName, QString::fromUtf8(sorted[i].name)) << i;
        EXPECT_EQ(o.Cost, sorted[i].cost) << i;
        EXPECT_EQ(o.Retail, sorted[i].retail) << i;
    }
}

TEST_P(ReceivedSummary, PrintsVendorsWithTotalsAndTheFinalTotal) {
    addOrders();
    output::RecordingPrinter& doc = host.doc;
    gpPrintReceivedSummary(doc);
    const QString v1 = pad("V1", 15), v2 = pad("V2", 15), v9 = pad("V9", 15);
    const QStringList expected{
        row(v1 + "|Acme Supply|VP-200      |01/06/2024|3.00|15.00"),
        row(v1 + "|Acme Supply|150       |01/09/2024|1,234.50|5.00"),
        kBlank,
        QStringLiteral("bold on"),
        row("|||Total:|1,237.50|20.00"),
        kBlank,
        QStringLiteral("bold off"),
        row(v2 + "|Beta Co|100       |01/05/2024|5.50|4.00"),
        row(v2 + "|Beta Co|100       |01/07/2024|.50|2.00"),
        kBlank,
        QStringLiteral("bold on"),
        row("|||Total:|6.00|6.00"),
        kBlank,
        QStringLiteral("bold off"),
        row(v9 + "||300       |01/08/2024|.00|5.00"),
        QStringLiteral("bold on"),
        kBlank,
        row("|||Total:|.00|5.00"),
        kBlank,
        row("|||Final Total:|1,243.50|31.00"),
    };
    EXPECT_EQ(doc.calls(), expected);
    EXPECT_EQ(receivedSummaryState().giOrderCount, 5);
    EXPECT_FALSE(runState().gbPreviewDone);
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_P(ReceivedSummary, TheExportVariantPrintsNoTotalsAndWritesTheFile) {
    addOrders();
    RunState& run = runState();
    run.gbWriteExport = true;
    run.gsExportDate = QStringLiteral("1/15/2024"); // END= as given; the range end differs
    const QString folder = env_.mkdir(QStringLiteral("data/export"));
    gpPrintReceivedSummary(host.doc);

    const QStringList expected{
        row("V1|Acme Supply|VP-200      |01/06/2024|3.00"),
        row("V1|Acme Supply|150       |01/09/2024|1,234.50"),
        kBlank,
        row("V2|Beta Co|100       |01/05/2024|5.50"),
        row("V2|Beta Co|100       |01/07/2024|.50"),
        kBlank,
        row("V9||300       |01/08/2024|.00"),
        QStringLiteral("bold on"),
        kBlank,
    };
    EXPECT_EQ(host.doc.calls(), expected);
    EXPECT_EQ(gsExportFilePath(), folder + QStringLiteral("/Vantrex20240115.txt"));
    EXPECT_EQ(vx::test::TestEnv::readFile(folder + QStringLiteral("/Vantrex20240115.txt")),
              QByteArray("V1|VP-200      |01/06/2024|3.00\r\n"
                         "V1|150       |01/09/2024|1,234.50\r\n"
                         "V2|100       |01/05/2024|5.50\r\n"
                         "V2|100       |01/07/2024|.50\r\n"
                         "V9|300       |01/08/2024|.00\r\n"));
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_P(ReceivedSummary, AnExportThatCannotBeWrittenIsReportedAndTheReportStillPrinted) {
    addOrders();
    runState().gbWriteExport = true; // no END=: the name has no date; no export folder
    gpPrintReceivedSummary(host.doc);
    EXPECT_EQ(rows().size(), 8);
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_TRUE(boxes.boxes()[0].text.contains(gsExportFilePath()));
    EXPECT_TRUE(gsExportFilePath().endsWith(QStringLiteral("/data/export/Vantrex.txt")));
}

TEST_P(ReceivedSummary, AnEmptyRangeSaysSoAndUnloadsThePreview) {
    for (bool withRows : {false, true}) {
        if (withRows)
            addHistory({"050", "V1", "20231231", 1, 1, 10000});
        boxes.clear();
        host.unloads = 0;
        runState().gbPreviewDone = false;
        gpPrintReceivedSummary(host.doc);
        ASSERT_EQ(boxes.boxes().size(), 1) << withRows;
        EXPECT_EQ(boxes.boxes()[0].text,
                  QStringLiteral("No PO's found in selected Range. Please select a new range."));
        EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("Vantrex Report Summary"));
        EXPECT_EQ(host.unloads, 1);
        EXPECT_TRUE(runState().gbPreviewDone);
        EXPECT_TRUE(host.doc.calls().isEmpty());
    }
}

TEST_P(ReceivedSummary, TheRangeStatementIsBuiltExactlyAndQuotesCannotChangeIt) {
    const QString table = db::tableInfo(tables::kPOHistory).TableName;
    EXPECT_EQ(gsReceivedOrdersSQL(QStringLiteral("20240101")),
              QStringLiteral("SELECT * FROM ") + table +
                  " WHERE (status = 'R' or status = 'U') AND (DateReceived >= '20240101'  AND "
                  "DateReceived <= '20240131') ");
    // Run as written, this end date would select every row.
    runState().gsEndDate = QStringLiteral("!'' OR ''1''=''1");
    EXPECT_TRUE(gsReceivedOrdersSQL(QStringLiteral("20240101"))
                    .endsWith(QStringLiteral("DateReceived <= '!   OR   1  =  1') ")));
    addHistory({"100", "V2", "20240105", 1, 2, 12500});
    EXPECT_EQ(giLoadReceivedOrders(), 0); // the text is only compared
}

INSTANTIATE_TEST_SUITE_P(Engines, ReceivedSummary, ::testing::ValuesIn(dbtest::allBackends()),
                         dbtest::backendName);

} // namespace
} // namespace vx::report::test
