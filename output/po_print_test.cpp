// The received purchase-order printout: the order a typed number finds, its lines, the refusals.
#include "output/po_print.h"
#include "output/testing/recording_printer.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/po_line.h"
#include "tables/testing/table_test.h"
#include "tables/vendors.h"

#include <gtest/gtest.h>

namespace vx::dbtest {
namespace {

using namespace vx::tables;
using output::POPrintTarget;

class POPrint : public TableTest {
  protected:
    void SetUp() override {
        TableTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        env_.setEnv("LC_ALL", QStringLiteral("C"));
        output::resetPOPrintState();
        resetRunState();
        runState().gsCompanyName = QStringLiteral("Corner Shop");
        common().USEurope = QStringLiteral("U");
        jovDBSM_Vendors::PrepareTable(kVendors, env_.root());
        jovDBSM_Inventory::PrepareTable(kInventory, env_.root(), {});
        jovDBSM_POHistory::PrepareTable(kPOHistory, env_.root(), {});
        jovDBSM_POHeader::PrepareTable(kPOHeader, env_.root());
        jovDBSM_POLine::PrepareTable(kPOLine, env_.root());
        for (std::int16_t t : {kVendors, kInventory, kPOHistory, kPOHeader, kPOLine})
            openTable(t);
        // The store as another program of the suite writes it.
        const struct {
            const char* into;   // table and columns
            const char* filled; // the values of the NOT NULL columns the printout does not read
            std::initializer_list<const char*> rows;
        } store[] = {
            {"VENDOR (VENDCODE, BUSINESS, ADDRESS, CITY, STATE, ZIP, PHONE, FAX, FIRSTNAME, "
             "LASTNAME, VendorID",
             "",
             {"'ACME', 'Acme Supply', '12 Main St', 'Springfield', 'IL', '62701', '555-0100', "
              "'555-0101', 'Jo', 'Smith', 1"}},
            {"invt (RecordNum, SL, ItemID, Description, SubDescription",
             "",
             {"101, '101', 'HAM-1', 'Claw hammer', '16 oz'",
              "102, '102', 'NAIL-2', 'Nails', '2 inch'"}},
            {"POHeader (PO, VendorPONum, VENDORCODE, SCODE, ApprovedBy, TOTAL, Store, ShipUID",
             ", 0, 0, 0",
             {"'00000123', 'V-77', 'ACME', 'ANN', 'BOB'", "'456', 'X-1', 'ACME', 'ANN', 'BOB'",
              "'789', '456', '', 'CAL', ''",                 // a manual order: no vendor
              "'00000555', 'EMPTY', 'ACME', 'ANN', 'BOB'"}}, // an order without lines
            {"POLine (PO, LineNum, InvUID, Quantity2Order, ChangeDate, SCode, Cost, LineTotal, "
             "Tags, Store, Spare, OnOrder, Received",
             ", 0, 0, 0, 0, 0, 0, 0",
             {"'00000123', 1, 101, 10, '20240307', 'CLK'",
              "'00000123', 2, 102, 5, '20240308', 'DAN'",
              "'00000124', 1, 101, 7, '20240301', 'ZED'", // the next order
              "'789', 1, 999, 2, '', 'CAL'"}},            // an item no longer on file
            {"POHistory (PONumber, InvUID, DateReceived, UnitQty, Pack, UnitCost, SalesCode, "
             "UniqueID, Spare",
             ", 0",
             {"'00000123', 101, '20240307', 6, 1, 2.5, 'DAN', 1",
              "'00000123', 102, '20240308', 24, 12, 0.125, 'CLK', 2",
              "'00000123', 101, '20240305', 4, 1, 2.5, 'CLK', 3",
              "'00000123', 103, '20240305', 9, 1, 1, 'CLK', 4", // on no line of the order
              "'789', 999, '20240301', 2, 0, 1.25, 'CAL', 6"}}, // a pack of 0
        };
        for (const auto& t : store)
            for (const char* row : t.rows)
                ASSERT_TRUE(db().raw(QStringLiteral("INSERT INTO %1) VALUES (%2%3)")
                                         .arg(QString::fromUtf8(t.into), QString::fromUtf8(row),
                                              QString::fromUtf8(t.filled))));
    }
};

const QString kItems = QStringLiteral("add \\n<~1800|<~2200|>~1200|>~700|>~700|>~500|>~900|>~1000|"
                                      ">~800|>~1100 [Item ID|Description|Sub-Desc|Order|Rcv'd|"
                                      "/Pkg|Cost|Total|Clerk|Date] ");
const QString kVendor = QStringLiteral("table <900|<4000|>920|<2500;");

// The printout's calls around its body; its properties name the number its heading shows.
QStringList printout(const QStringList& body) {
    const QString number = body.first().section(QStringLiteral("# "), 1);
    return QStringLiteral(
               "margins 360 1000 360 1000/size 9/footer |Page %d|/info Received Purchase "
               "Order %1|Corner Shop/start/page 1")
               .arg(number)
               .split(u'/') +
           body + QStringList{"end"};
}

struct Case {
    const char* typed;
    bool found;
    QString message;   // the one box shown, empty for none
    QStringList calls; // the printout; empty when none may be started
};

TEST_P(POPrint, FindsThePurchaseOrderAndPrintsItAsReceived) {
    const QStringList order123 = printout({
        "paragraph RECEIVED PURCHASE ORDER # V-77",
        kVendor + "Vendor:|Acme Supply;",
        kVendor + "|12 Main St|Phone:|555-0100;",
        kVendor + "|Springfield, IL 62701|Fax:|555-0101;",
        kVendor + "|Attention:  Jo Smith;",
        "paragraph Received on Thursday, March 7, 2024 by CLK",
        kItems + "HAM-1|Claw hammer|16 oz|10|4|1|2.50|10.00|CLK|03/05/2024;"
                 "||||6|1|2.50|15.00|DAN|03/07/2024;"
                 "NAIL-2|Nails|2 inch|5|2|12|.125|3.00|CLK|03/08/2024;"
                 "||||||Total|28.00;Ordered by|ANN||||||;Approved by|BOB||||||;",
    });
    // The vendor's PO number 456 (order 789) wins over the PO number 456. Without a vendor
    // code, the item gone and a pack of 0.
    const QStringList order789 = printout(
        {"paragraph RECEIVED PURCHASE ORDER # 456", kVendor + "Vendor:|Manual P.O.;",
         kVendor + "||Phone:|;", kVendor + "|,  |Fax:|;", "paragraph Received on  by CAL",
         kItems + "|||2|2|0|1.25|2.50|CAL|03/01/2024;||||||Total|2.50;Ordered by|CAL||||||;"
                  "Approved by|||||||;"});
    const Case cases[] = {
        {"V-77", true, {}, order123},      // the vendor's PO number
        {"00000123", true, {}, order123},  // the PO number as stored
        {" 123 ", true, {}, order123},     // zero-padded to eight characters
        {"900000123", true, {}, order123}, // or cut to its last eight
        {"456", true, {}, order789},
        {"999", false, "PO Number not found please reenter", {}},
        {"EMPTY", true, "PO not found, not yet implemented", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        boxes.clear();
        output::RecordingPrinter doc;
        doc.simulatePages(true);
        QList<bool> flagAtPageStart;
        doc.setPageStartHandler(
            [&](output::ReportPrinter&) { flagAtPageStart << output::poPrintState().gbPOPrint; });
        int started = 0, shown = 0;
        const POPrintTarget target{[&]() -> output::ReportPrinter& { return ++started, doc; },
                                   [&] { ++shown; }};
        EXPECT_EQ(output::sm_POPrint::gfbFindPO(QString::fromUtf8(c.typed), target), c.found);
        EXPECT_EQ(boxes.texts(), c.message.isEmpty() ? QStringList{} : QStringList{c.message});
        EXPECT_EQ(doc.calls(), c.calls);
        EXPECT_EQ(started, c.calls.isEmpty() ? 0 : 1);
        EXPECT_EQ(shown, started);
        EXPECT_EQ(flagAtPageStart, c.calls.isEmpty() ? QList<bool>{} : QList<bool>{true});
        EXPECT_FALSE(output::poPrintState().gbPOPrint);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, POPrint, ::testing::ValuesIn(allBackends()), backendName);

} // namespace
} // namespace vx::dbtest
