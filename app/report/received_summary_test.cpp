// The received-order summary on both engines: grouping of history rows into orders in the
// server's order, the export file named from END=, its failure, and the quoting of the range.
// The printed pages of the same store are compared whole by the end-to-end test.
#include "app/report/received_summary.h"
#include "app/report/testing/report_fixture.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/testing/failing_connection.h"
#include "runstate/runstate.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/vendors.h"

#include <QDir>
#include <gtest/gtest.h>

namespace vx::report::test {
namespace {

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

TEST_P(ReceivedSummary, RowsBecomeOrdersInTheHistoryKeysOrder) {
    addOrders();
    addHistory({"090", "V1", "20240102", 1, 1, 100}); // written last, read first
    ASSERT_EQ(giLoadReceivedOrders(), 6);

    // Status, date, PO number: the same order on every engine; the "U" row of PO 100 comes
    // apart from its "R" rows and makes an entry of its own.
    const ReceivedSummaryState& st = receivedSummaryState();
    QStringList found;
    for (size_t i = 1; i < st.gReceivedOrders.size(); ++i)
        found << st.gReceivedOrders[i].PONumber.trimmed();
    EXPECT_EQ(found, QStringList({"090", "100", "200", "300", "150", "100"}));

    // Each order once per run of rows, the first entry left empty.
    ASSERT_EQ(st.gSortedOrders.size(), 7u);
    EXPECT_EQ(st.gSortedOrders[0].PONumber, QString());

    // Both end days of the range count.
    runState().gsStartDate = QStringLiteral("1/5/2024");
    runState().gsEndDate = QStringLiteral("1/7/2024");
    EXPECT_EQ(giLoadReceivedOrders(), 3);
}

TEST_P(ReceivedSummary, TheExportVariantPrintsNoTotalsAndWritesTheFile) {
    addOrders();
    RunState& run = runState();
    run.gbWriteExport = true;
    run.gsExportDate = QStringLiteral("1/15/2024"); // END= as given; the range end differs
    const QString folder = env_.mkdir(QStringLiteral("data/export"));
    gpPrintReceivedSummary(host.doc);

    EXPECT_FALSE(host.doc.calls().join(u'\n').contains(QStringLiteral("Total:")));
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

TEST_P(ReceivedSummary, ARangeThatStopsPartWayPrintsNothingAndSaysWhy) {
    addOrders();
    // The server goes away after three of the range's rows.
    db::DbState& db = db::dbState();
    db.gcnDatabase = std::make_unique<dbtest::FailingConnection>(std::move(db.gcnDatabase),
                                                                 QStringLiteral("POHistory"), 3);
    runState().gbWriteExport = true;
    const QString folder = env_.mkdir(QStringLiteral("data/export"));
    gpPrintReceivedSummary(host.doc);
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(boxes.texts(),
              QStringList{QStringLiteral("The received purchase orders could not be read to the "
                                         "end.\r\rserver closed the connection unexpectedly")});
    EXPECT_TRUE(QDir(folder).isEmpty()); // no export of a part
}

TEST_P(ReceivedSummary, AfterTheRunTheLookedUpTablesAreReadByKeyAsBefore) {
    using namespace vx::tables;
    addOrders();
    gpPrintReceivedSummary(host.doc);
    ASSERT_FALSE(rows().isEmpty());
    // What a received order's printout reads next: a vendor, an item and a header by their keys,
    // with every field.
    vendor() = VendorRec{};
    vendor().VENDCODE = QStringLiteral("V2");
    ASSERT_TRUE(db::gfbDB_Operation(kVendors, db::kOpEqual, 1));
    EXPECT_EQ(vendor().BUSINESS.trimmed(), QStringLiteral("Beta Co"));
    inventory() = InventoryRec{};
    inventory().RecordNum = 2;
    ASSERT_TRUE(db::gfbDB_Operation(kInventory, db::kOpEqual, 0));
    EXPECT_EQ(inventory().Price, 50000);
    EXPECT_EQ(inventory().ItemID.trimmed(), QStringLiteral("ITEM2"));
    poHeader() = POHeaderRec{};
    poHeader().VendorPONum = QStringLiteral("VP-200");
    ASSERT_TRUE(db::gfbDB_Operation(kPOHeader, db::kOpEqual, 1));
    EXPECT_EQ(poHeader().VENDORCODE.trimmed(), QStringLiteral("V1"));
}

TEST_P(ReceivedSummary, QuotesInADateCannotChangeTheRangeStatement) {
    // Run as written, this end date would select every row.
    runState().gsEndDate = QStringLiteral("!'' OR ''1''=''1");
    EXPECT_TRUE(gsReceivedOrdersSQL(QStringLiteral("20240101"))
                    .endsWith(QStringLiteral("DateReceived <= '!   OR   1  =  1') "
                                             "ORDER BY Status, DateReceived, PONumber, InvUID")));
    addHistory({"100", "V2", "20240105", 1, 2, 12500});
    EXPECT_EQ(giLoadReceivedOrders(), 0); // the text is only compared
}

INSTANTIATE_TEST_SUITE_P(Engines, ReceivedSummary, ::testing::ValuesIn(dbtest::allBackends()),
                         dbtest::backendName);

} // namespace
} // namespace vx::report::test
