#include "app/report/testing/report_fixture.h"

#include "app/report/deleted_orders.h"
#include "app/report/received_summary.h"
#include "datapath/clsdatapath.h"
#include "db/operations.h"
#include "db/state.h"
#include "platform/settings.h"
#include "reportspec/reports_common.h"
#include "runstate/runstate.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/po_line.h"
#include "tables/vendors.h"

namespace vx::report::test {

using namespace vx::tables;

void ReportDb::SetUp() {
    BackendTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    env_.setEnv("LC_ALL", QStringLiteral("C")); // the pages are compared in the C locale's forms
    db::resetDbState();
    resetRunState();
    resetReportSpec();
    resetDataPath();
    resetReceivedSummaryState();
    resetDeletedOrdersState();
    gDataPath().setDataPath(env_.mkdir(QStringLiteral("data")));
    const dbtest::Login& l = db().login();
    for (const auto& [key, value] :
         {std::pair{"Server", l.server}, std::pair{"DBName", l.database},
          std::pair{"UserName", l.user}, std::pair{"Password", l.password}})
        SaveSetting("JOV Settings", "DATABASE", key, value);
    setReportHost(&host);
}

void ReportDb::TearDown() {
    setReportHost(nullptr);
    db::setTableHooks(nullptr);
    db::resetDbState();
    BackendTest::TearDown();
}

void ReportDb::openStore() {
    ASSERT_TRUE(gfbOpenReportTables());
    ASSERT_TRUE(db().raw(
        QStringLiteral("INSERT INTO COMMON (DupID, StoreNumber, USEurope) VALUES('1', 1, 'U')")));
    db::resetDbState();
    ASSERT_TRUE(gfbOpenReportTables());
    ASSERT_TRUE(gfbOpenReportRecordsets());
}

void ReportDb::addVendor(const char* code, const char* name) {
    VendorRec& v = vendor() = VendorRec{};
    v.VendorID = nextId_++;
    v.VENDCODE = QString::fromUtf8(code);
    v.BUSINESS = QString::fromUtf8(name);
    ASSERT_TRUE(db::gfbDB_Operation(kVendors, db::kOpInsert, 0)) << code;
}

void ReportDb::addItem(std::int32_t recordNum, std::int64_t price, const char* sl,
                       const char* itemId, const char* description, std::int64_t avgCost,
                       std::int16_t qtyInPack) {
    InventoryRec& i = inventory() = InventoryRec{};
    i.RecordNum = recordNum;
    i.Price = price;
    i.SL = QString::fromUtf8(sl);
    i.ItemID = QString::fromUtf8(itemId);
    i.Description = QString::fromUtf8(description);
    i.AvgCost = avgCost;
    i.QTYINPACK = qtyInPack;
    ASSERT_TRUE(db::gfbDB_Operation(kInventory, db::kOpInsert, 0)) << recordNum;
}

void ReportDb::addHistory(const History& h) {
    POHistoryRec& r = poHistory() = POHistoryRec{};
    r.PONumber = QString::fromUtf8(h.po);
    r.VendorCode = QString::fromUtf8(h.vendor);
    r.DateReceived = QString::fromUtf8(h.received);
    r.InvUID = h.item;
    r.UnitQty = h.qty;
    r.UnitCost = h.unitCost;
    r.Status = QString::fromUtf8(h.status);
    r.UniqueID = nextId_++;
    ASSERT_TRUE(db::gfbDB_Operation(kPOHistory, db::kOpInsert, 0)) << h.po;
}

void ReportDb::addHeader(const Header& h) {
    POHeaderRec& r = poHeader() = POHeaderRec{};
    r.PO = QString::fromUtf8(h.po);
    r.VendorPONum = QString::fromUtf8(h.vendorPO);
    r.VENDORCODE = QString::fromUtf8(h.vendor);
    r.STATUS = QString::fromUtf8(h.status);
    r.CANCELDATE = QString::fromUtf8(h.cancelDate);
    r.CHANGEDATE = QString::fromUtf8(h.changeDate);
    r.Spare1 = QString::fromUtf8(h.vat);
    r.SCODE = QString::fromUtf8(h.scode);
    r.ORDERDATE = QString::fromUtf8(h.orderDate);
    r.POTYPE = QString::number(nextId_++ % 10);
    ASSERT_TRUE(db::gfbDB_Operation(kPOHeader, db::kOpInsert, 0)) << h.po;
}

void ReportDb::addLine(const char* po, std::int16_t lineNum, std::int32_t item, float onOrder) {
    POLineRec& l = poLine() = POLineRec{};
    l.PO = QString::fromUtf8(po);
    l.LineNum = lineNum;
    l.InvUID = item;
    l.OnOrder = onOrder;
    ASSERT_TRUE(db::gfbDB_Operation(kPOLine, db::kOpInsert, 0)) << po;
}

} // namespace vx::report::test
