#pragma once
// The purchase-order history table (table id 2): one row per received (or otherwise booked)
// purchase-order item, per store ("POHistory" + store).

#include "tables/record_codec.h"

namespace vx::tables {

struct POHistoryRec {
    FixedText DateReceived{8};
    FixedText PONumber{10};
    std::int32_t InvUID = 0;
    std::int16_t Spare = 0;
    float UnitQty = 0;
    std::int64_t UnitCost = 0; // currency
    std::int16_t Pack = 0;
    FixedText VendorCode{15};
    FixedText Status{1};
    FixedText Poll{1};
    FixedText ARCode{15};
    FixedText SalesCode{8};
    std::int32_t UniqueID = 0;
    FixedText DateOrdered{8};
    FixedText SPARE2{20};
};

// The module's record buffer.
POHistoryRec& poHistory();

namespace jovDBSM_POHistory {
const TableDef<POHistoryRec>& definition();
void FillRecord(std::int16_t table);
void StoreRecord(std::int16_t table);
void CleanRecordText();
QString RecordValues();
void LoadKey(std::int16_t table, std::int16_t key);
void DefineTable(std::int16_t table);
void PrepareTable(std::int16_t table, const QString& dataPath, const QString& store);
} // namespace jovDBSM_POHistory

} // namespace vx::tables
