#pragma once
// The purchase-order line table (table id 5): one row per ordered item of a purchase order, for
// the home store ("POLine") or another store ("POLine" + store).

#include "tables/record_codec.h"

namespace vx::tables {

struct POLineRec {
    FixedText PO{8};
    std::int16_t LineNum = 0;
    FixedText ARCode{15};
    FixedText SCode{8};
    FixedText OrderDate{8};
    float Quantity2Order = 0;
    std::int64_t Cost = 0;      // currency
    std::int64_t LineTotal = 0; // currency
    float Tags = 0;
    FixedText ChangeDate{8};
    FixedText Status{1};
    std::int16_t Store = 0;
    std::int32_t InvUID = 0;
    std::int32_t Spare = 0;
    float OnOrder = 0;
    float Received = 0;
    FixedText Poll{1};
    FixedText Spare1{19};
};

// The module's record buffer.
POLineRec& poLine();

namespace jovDBSM_POLine {
const TableDef<POLineRec>& definition();
void FillRecord(std::int16_t table);
void StoreRecord(std::int16_t table);
void CleanRecordText();
QString RecordValues();
void LoadKey(std::int16_t table, std::int16_t key);
void DefineTable(std::int16_t table);
// An empty store names the home store's table.
void PrepareTable(std::int16_t table, const QString& dataPath, const QString& store = {});
} // namespace jovDBSM_POLine

} // namespace vx::tables
