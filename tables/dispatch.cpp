#include "tables/dispatch.h"

#include "datapath/clsdatapath.h"
#include "db/connect.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "platform/paths.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/po_line.h"
#include "tables/vendors.h"

namespace vx::tables {

void PO_ReportDBSM_Interface::gpFillRecord(std::int16_t table) {
    switch (table) {
    case kCommon:
        jovDBSM_Common::FillRecord(table);
        break;
    case kVendors:
        jovDBSM_Vendors::FillRecord(table);
        break;
    case kPOHistory:
        jovDBSM_POHistory::FillRecord(table);
        break;
    case kInventory:
        jovDBSM_Inventory::FillRecord(table);
        break;
    case kPOHeader:
        jovDBSM_POHeader::FillRecord(table);
        break;
    case kPOLine:
        jovDBSM_POLine::FillRecord(table);
        break;
    default:
        break;
    }
}

void PO_ReportDBSM_Interface::gpStoreRecord(std::int16_t table) {
    switch (table) {
    case kCommon:
        jovDBSM_Common::StoreRecord(table);
        break;
    case kVendors:
        jovDBSM_Vendors::StoreRecord(table);
        break;
    case kPOHistory:
        jovDBSM_POHistory::StoreRecord(table);
        break;
    case kInventory:
        jovDBSM_Inventory::StoreRecord(table);
        break;
    case kPOHeader:
        jovDBSM_POHeader::StoreRecord(table);
        break;
    case kPOLine:
        jovDBSM_POLine::StoreRecord(table);
        break;
    default:
        break;
    }
}

QString PO_ReportDBSM_Interface::gsRecordValues(std::int16_t table) {
    switch (table) {
    case kCommon:
        jovDBSM_Common::CleanRecordText();
        return jovDBSM_Common::RecordValues();
    case kVendors:
        jovDBSM_Vendors::CleanRecordText();
        return jovDBSM_Vendors::RecordValues();
    case kPOHistory:
        jovDBSM_POHistory::CleanRecordText();
        return jovDBSM_POHistory::RecordValues();
    case kInventory:
        jovDBSM_Inventory::CleanRecordText();
        return jovDBSM_Inventory::RecordValues();
    case kPOHeader:
        jovDBSM_POHeader::CleanRecordText();
        return jovDBSM_POHeader::RecordValues();
    case kPOLine:
        jovDBSM_POLine::CleanRecordText();
        return jovDBSM_POLine::RecordValues();
    default:
        return QString();
    }
}

void PO_ReportDBSM_Interface::gpLoadKey(std::int16_t table, std::int16_t key) {
    switch (table) {
    case kCommon:
        break; // the company table has no keys
    case kVendors:
        jovDBSM_Vendors::LoadKey(table, key);
        break;
    case kPOHistory:
        jovDBSM_POHistory::LoadKey(table, key);
        break;
    case kInventory:
        jovDBSM_Inventory::LoadKey(table, key);
        break;
    case kPOHeader:
        jovDBSM_POHeader::LoadKey(table, key);
        break;
    case kPOLine:
        jovDBSM_POLine::LoadKey(table, key);
        break;
    default:
        break;
    }
}

void installTableHooks() {
    static PO_ReportDBSM_Interface hooks;
    db::setTableHooks(&hooks);
}

bool gfbOpenReportTables() {
    installTableHooks();
    const QString dataPath = nativePath(gDataPath().DataPath());
    db::dbState().gnDBTables = kTableCount;
    if (!db::gfbDB_Startup())
        return false;

    jovDBSM_Common::PrepareTable(kCommon, dataPath);
    jovDBSM_Vendors::PrepareTable(kVendors, dataPath);
    jovDBSM_POHeader::PrepareTable(kPOHeader, dataPath);
    jovDBSM_POLine::PrepareTable(kPOLine, dataPath);

    if (!db::gfbDB_OpenTable(kCommon))
        return false;
    if (!db::gfbDB_Operation(kCommon, db::kOpGetFirst, 0))
        return true; // no company record: the store's tables stay unprepared

    QString& store = runState().gsStore;
    const std::int16_t storeNumber = common().StoreNumber;
    if (store < QStringLiteral(" "))
        store = QString::number(storeNumber);

    jovDBSM_Inventory::PrepareTable(kInventory, dataPath, store);
    jovDBSM_POHistory::PrepareTable(kPOHistory, dataPath, store);

    // Another store's orders live in its own header and line tables.
    if (db::DbValue::text(store).toDouble() != storeNumber) {
        jovDBSM_POHeader::PrepareTable(kPOHeader, dataPath, store);
        jovDBSM_POLine::PrepareTable(kPOLine, dataPath, store);
    }
    return true;
}

bool gfbOpenReportRecordsets() {
    for (std::int16_t t = kVendors; t <= kPOLine; ++t)
        if (!db::gfbDB_OpenTable(t))
            return false;
    return true;
}

void gpCloseReportTables() {
    // Closing a table has no effect in this program: recordsets and descriptors stay as they are.
}

} // namespace vx::tables
