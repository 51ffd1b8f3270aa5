#pragma once
// The purchase-order header table (table id 4): one row per purchase order, for the home store
// ("POHeader") or another store ("POHeader" + store).

#include "tables/record_codec.h"

namespace vx::tables {

struct POHeaderRec {
    FixedText PO{8};
    FixedText VendorPONum{12};
    FixedText SENTOUT{1};
    FixedText VENDORCODE{15};
    FixedText WHO{15};
    FixedText ETADATE{8};
    FixedText REMARKS{1};
    FixedText SCODE{8};
    FixedText ORDERDATE{8};
    std::int64_t TOTAL = 0; // currency
    FixedText CHANGEDATE{8};
    FixedText STATUS{1};
    FixedText POTYPE{1};
    std::int16_t Store = 0;
    FixedText SHIPDATE{8};
    FixedText CANCELDATE{8};
    FixedText CostCenter{2};
    FixedText ApprovedBy{8};
    FixedText BillTo{15};
    FixedText ShippingMethod{16};
    std::int16_t ShipUID = 0; // the column is 32-bit; values outside 16 bits read clamped
    FixedText POLL{1};
    FixedText Spare1{19};
};

// The module's record buffer.
POHeaderRec& poHeader();

namespace jovDBSM_POHeader {
const TableDef<POHeaderRec>& definition();
void FillRecord(std::int16_t table);
void StoreRecord(std::int16_t table);
void CleanRecordText();
QString RecordValues();
void LoadKey(std::int16_t table, std::int16_t key);
void DefineTable(std::int16_t table);
// An empty store names the home store's table.
void PrepareTable(std::int16_t table, const QString& dataPath, const QString& store = {});
} // namespace jovDBSM_POHeader

} // namespace vx::tables
