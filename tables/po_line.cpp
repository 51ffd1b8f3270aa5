#include "tables/po_line.h"

#include "platform/paths.h"

namespace vx::tables {

POLineRec& poLine() {
    static POLineRec rec;
    return rec;
}

namespace jovDBSM_POLine {

const TableDef<POLineRec>& definition() {
    using R = POLineRec;
    static const TableDef<R> def{
        {
            {"PO", "PO CHAR (8), ", &R::PO},
            {"LineNum", "LineNum SMALLINT NOT NULL, ", &R::LineNum},
            {"ARCode", "ARCode CHAR (15), ", &R::ARCode},
            {"SCode", "SCode CHAR (8), ", &R::SCode},
            {"OrderDate", "OrderDate CHAR (8), ", &R::OrderDate},
            {"Quantity2Order", "Quantity2Order DECIMAL (12,4) NOT NULL, ", &R::Quantity2Order},
            {"Cost", "Cost DECIMAL (18,4) NOT NULL, ", &R::Cost},
            {"LineTotal", "LineTotal DECIMAL (18,4) NOT NULL, ", &R::LineTotal},
            {"Tags", "Tags REAL NOT NULL, ", &R::Tags},
            {"ChangeDate", "ChangeDate CHAR (8), ", &R::ChangeDate},
            {"Status", "Status CHAR (1), ", &R::Status},
            {"Store", "Store SMALLINT NOT NULL, ", &R::Store},
            {"InvUID", "InvUID INTEGER NOT NULL, ", &R::InvUID},
            {"Spare", "Spare INTEGER NOT NULL, ", &R::Spare},
            {"OnOrder", "OnOrder DECIMAL (12,4) NOT NULL, ", &R::OnOrder},
            {"Received", "Received DECIMAL (12,4) NOT NULL, ", &R::Received},
            {"Poll", "Poll CHAR (1), ", &R::Poll},
            {"Spare1", "Spare1 CHAR (19) ", &R::Spare1},
        },
        {
            {"Create Unique Index Index0 On ", "(PO,LineNUM);"},
            {"Create Unique Index Index1 On ", "(InvUID,PO);"},
            {"Create Unique Index Index2 On ", "(ARCode,PO,LineNUM);"},
            {"Create Unique Index Index3 On ", "(Status,PO,LineNUM);"},
            {"Create Unique Index Index4 On ", "(Poll,PO,LineNUM);"},
        },
        // Key 3 orders by purchase order first, while index 3 leads with the status.
        {{0, 1}, {12, 0}, {2, 0, 1}, {0, 10, 1}, {16, 0, 1}},
    };
    return def;
}

void FillRecord(std::int16_t table) {
    fillRecord(table, definition(), poLine());
}
void StoreRecord(std::int16_t table) {
    storeRecord(table, definition(), poLine());
}
void CleanRecordText() {
    cleanRecordText(definition(), poLine());
}
QString RecordValues() {
    return recordValues(definition(), poLine());
}
void LoadKey(std::int16_t table, std::int16_t key) {
    loadKey(table, definition(), poLine(), key);
}
void DefineTable(std::int16_t table) {
    defineTable(table, definition());
}

void PrepareTable(std::int16_t table, const QString& dataPath, const QString& store) {
    const QString name = QStringLiteral("POLine");
    setDescriptor(table, {name, joinPath(dataPath, name + store + QStringLiteral(".JOV")),
                          name + store, name});
    prepareTable(table, definition());
}

} // namespace jovDBSM_POLine
} // namespace vx::tables
