#include "tables/po_history.h"

#include "platform/paths.h"

namespace vx::tables {

POHistoryRec& poHistory() {
    static POHistoryRec rec;
    return rec;
}

namespace jovDBSM_POHistory {

const TableDef<POHistoryRec>& definition() {
    using R = POHistoryRec;
    static const TableDef<R> def{
        {
            {"DateReceived", "DateReceived CHAR(8), ", &R::DateReceived},
            {"PONumber", "PONumber CHAR (10), ", &R::PONumber},
            {"InvUID", "InvUID INTEGER NOT NULL,", &R::InvUID},
            {"Spare", "Spare SMALLINT NOT NULL, ", &R::Spare},
            {"UnitQty", "UnitQty REAL NOT NULL, ", &R::UnitQty},
            {"UnitCost", "UnitCost DECIMAL (18,3) NOT NULL, ", &R::UnitCost},
            {"Pack", "Pack SMALLINT NOT NULL, ", &R::Pack},
            {"VendorCode", "VendorCode CHAR (15), ", &R::VendorCode},
            {"Status", "Status CHAR (1), ", &R::Status},
            {"Poll", "Poll CHAR (1), ", &R::Poll},
            {"ARCode", "ARCode CHAR (15), ", &R::ARCode},
            {"SalesCode", "SalesCode CHAR (8), ", &R::SalesCode},
            {"UniqueID", "UniqueID INTEGER NOT NULL, ", &R::UniqueID},
            {"DateOrdered", "DateOrdered CHAR(8), ", &R::DateOrdered},
            {"SPARE2", "SPARE2 CHAR(20) ", &R::SPARE2},
        },
        {
            {"Create Index idx_0 On ", "(Status, DateReceived, PONumber, InvUID);"},
            {"Create Index idx_1 On ", "(Status, InvUID, DateReceived);"},
            {"Create Index idx_2 On ", "(PONumber,InvUID);"},
            {"Create Index idx_3 On ", "(ARCode,DateReceived,InvUID);"},
            {"Create UNIQUE Index idx_4 On ", "(UniqueID);"},
            {"Create unique Index idx_5 On ", "(VendorCode, UniqueID);"},
            {"Create unique Index idx_6 On ", "(Poll, UniqueID);"},
            {"Create UNIQUE Index idx_7 On ", "(Status, InvUID, DateReceived,UniqueID);"},
        },
        // Key 7 orders by vendor, while index 7 is built on the item.
        {{8, 0, 1, 2}, {8, 2, 0}, {1, 2}, {10, 0, 2}, {12}, {7, 12}, {9, 12}, {8, 7, 0, 12}},
    };
    return def;
}

void FillRecord(std::int16_t table) {
    fillRecord(table, definition(), poHistory());
}
void StoreRecord(std::int16_t table) {
    storeRecord(table, definition(), poHistory());
}
void CleanRecordText() {
    cleanRecordText(definition(), poHistory());
}
QString RecordValues() {
    return recordValues(definition(), poHistory());
}
void LoadKey(std::int16_t table, std::int16_t key) {
    loadKey(table, definition(), poHistory(), key);
}
void DefineTable(std::int16_t table) {
    defineTable(table, definition());
}

void PrepareTable(std::int16_t table, const QString& dataPath, const QString& store) {
    const QString suffix = store;
    setDescriptor(
        table, {QStringLiteral("POHistory"),
                joinPath(dataPath, QStringLiteral("POHistory") + suffix + QStringLiteral(".JOV")),
                QStringLiteral("POHistory") + suffix, QStringLiteral("PO History")});
    prepareTable(table, definition());
}

} // namespace jovDBSM_POHistory
} // namespace vx::tables
