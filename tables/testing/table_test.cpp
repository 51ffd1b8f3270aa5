#include "tables/testing/table_test.h"

#include "db/hooks.h"
#include "db/state.h"
#include "platform/err.h"
#include "tables/common.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/po_line.h"
#include "tables/vendors.h"

namespace vx::dbtest {

QString RecordingDispatch::gsRecordValues(std::int16_t table) {
    return lastValues = PO_ReportDBSM_Interface::gsRecordValues(table);
}

void TableTest::SetUp() {
    BackendTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    db::resetDbState();
    Err().Clear();
    tables::common() = tables::CommonRec{};
    tables::vendor() = tables::VendorRec{};
    tables::poHistory() = tables::POHistoryRec{};
    tables::inventory() = tables::InventoryRec{};
    tables::poHeader() = tables::POHeaderRec{};
    tables::poLine() = tables::POLineRec{};
    db::setTableHooks(&hooks);
    if (!connect_)
        return;
    db::DbState& s = db::dbState();
    s.gcnDatabase = connect();
    s.gbDBConnected = true;
    s.gsDBName = db().login().database;
    s.goDBServer = db().engine().server();
    ASSERT_EQ(s.goDBServer->connect(db().login()), 1);
}

void TableTest::TearDown() {
    db::setTableHooks(nullptr);
    db::resetDbState();
    BackendTest::TearDown();
}

void TableTest::openTable(std::int16_t table) {
    ASSERT_TRUE(db::gfbDB_OpenTable(table)) << Err().Description.toStdString();
}

} // namespace vx::dbtest
