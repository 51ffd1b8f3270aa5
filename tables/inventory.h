#pragma once
// The inventory table (table id 3): one row per stock item, per store ("invt" + store). Opening
// it brings an older table up to the current layout.

#include "tables/record_codec.h"

namespace vx::tables {

struct InventoryRec {
    FixedText SL{8};
    FixedText ItemID{25};
    FixedText Description{30};
    FixedText SubDescription{20};
    FixedText ReorderFlag{1};
    FixedText Serialized{1};
    FixedText HasSold{1};
    FixedText VendorCode{15};
    std::int64_t Price = 0; // currency
    std::int64_t Cost = 0;  // currency
    float QtyOnHand = 0;
    std::int16_t MinQ = 0;
    std::int32_t MaxQ = 0;
    std::int16_t QTYINPACK = 0; // a 0 in the row reads as 1
    FixedText TaxCode{1};
    FixedText DeptCode{11};
    FixedText NotUsed{1}; // never read from the row
    std::int16_t OnOrder = 0;
    std::int64_t AvgCost = 0; // currency
    FixedText Notes{1};
    FixedText Kit{1};
    FixedText Poll{1};
    FixedText Scalable{1};
    FixedText FoodStamp{1};
    FixedText LinkBreakPack{8};
    FixedText LinkItem{8};
    FixedText LinkStock{8};
    FixedText FlgMatrix{1};
    FixedText FlgMatrixItem{1};
    FixedText AllowDiscounts{1};
    FixedText FLAGS{20};
    std::int16_t RegionID = 0;
    std::int64_t PriceIncTax = 0; // currency
    FixedText LastSold{8};
    FixedText Status{1};
    FixedText VolumetrcUnit{6};
    FixedText UOM{5};
    FixedText StoreRef{30};
    FixedText LocFront{8};
    FixedText LocBack{8};
    std::int32_t RecordNum = 0;
    FixedText NonDecrement{1};
    FixedText FlgPromoPrice{1};
    FixedText FlgQtyPrice{1};
    FixedText FlgWebEnable{1};
    FixedText FlgPriceLevel{1};
    FixedText FlgBPL{1};
    FixedText NeverOrder{1};
    FixedText SaleCommission{5};
    FixedText Class{2};
    FixedText PriceFactor{6};
    std::int64_t Price2 = 0; // currency
    std::int16_t UnitsPerUOM = 0;
    std::int32_t BPL1 = 0;
    std::int32_t BPL2 = 0;
    std::int16_t PenLiqorUnit = 0; // NULL reads as 0
    std::int32_t BPL3 = 0;         // NULL reads as 0
};

// The module's record buffer.
InventoryRec& inventory();

namespace jovDBSM_Inventory {
const TableDef<InventoryRec>& definition();
void FillRecord(std::int16_t table);
void StoreRecord(std::int16_t table);
void CleanRecordText();
QString RecordValues();
void LoadKey(std::int16_t table, std::int16_t key);
void DefineTable(std::int16_t table);
// Names the descriptor after the store's table, creates the table when it is missing and
// otherwise runs the upgrade steps of older layouts.
void PrepareTable(std::int16_t table, const QString& dataPath, const QString& store);
} // namespace jovDBSM_Inventory

} // namespace vx::tables
