#include "tables/po_header.h"

#include "platform/paths.h"

namespace vx::tables {

POHeaderRec& poHeader() {
    static POHeaderRec rec;
    return rec;
}

namespace jovDBSM_POHeader {

const TableDef<POHeaderRec>& definition() {
    using R = POHeaderRec;
    static const TableDef<R> def{
        {
            {"PO", "PO CHAR (8), ", &R::PO},
            {"VendorPONum", "VendorPONum CHAR (12),", &R::VendorPONum},
            {"SENTOUT", "SENTOUT CHAR (1) , ", &R::SENTOUT},
            // The vendor code keeps its apostrophes: RecordValues doubles them.
            {"VENDORCODE", "VENDORCODE CHAR (15),", &R::VENDORCODE, kNoClean},
            {"WHO", "WHO CHAR (15) , ", &R::WHO},
            {"ETADATE", "ETADATE CHAR (8) ,", &R::ETADATE},
            {"REMARKS", "REMARKS CHAR (1) , ", &R::REMARKS},
            {"SCODE", "SCODE CHAR (8) , ", &R::SCODE},
            {"ORDERDATE", "ORDERDATE CHAR (8), ", &R::ORDERDATE},
            {"TOTAL", "TOTAL Decimal (18,2) NOT NULL,  ", &R::TOTAL},
            {"CHANGEDATE", "CHANGEDATE CHAR(8), ", &R::CHANGEDATE},
            {"STATUS", "STATUS CHAR(1) , ", &R::STATUS},
            {"POTYPE", "POTYPE CHAR(1) , ", &R::POTYPE},
            {"Store", "Store SMALLINT NOT NULL, ", &R::Store},
            {"SHIPDATE", "SHIPDATE CHAR(8) DEFAULT  ' ' , ", &R::SHIPDATE},
            {"CANCELDATE", "CANCELDATE CHAR(8), ", &R::CANCELDATE},
            {"CostCenter", "CostCenter CHAR(2), ", &R::CostCenter},
            {"ApprovedBy", "ApprovedBy CHAR(8), ", &R::ApprovedBy},
            {"BillTo", "BillTo CHAR (15), ", &R::BillTo},
            {"ShippingMethod", "ShippingMethod CHAR(16), ", &R::ShippingMethod},
            {"ShipUID", "ShipUID integer NOT NULL , ", &R::ShipUID},
            {"POLL", "POLL CHAR(1), ", &R::POLL},
            {"Spare1", "Spare1  CHAR(19) ", &R::Spare1},
        },
        {
            {"Create Unique Index Index0 On ", "(PO);"},
            {"Create Unique Index Index1 On ", "(VendorPONum);"},
            {"Create Unique Index Index2 On ", "(SentOut, VendorCode, PO);"},
            {"Create Unique Index Index3 On ", "(Who, SentOut, PO);"},
            {"Create Index Index4 On ", "(Status,PO);"},
            {"Create Unique Index Index5 On ", "(Status,POType, PO);"},
            {"Create Index Index6 On ", "(Poll,PO);"},
        },
        {{0}, {1}, {2, 3, 0}, {4, 2, 0}, {11, 0}, {11, 12, 0}, {21, 0}},
    };
    return def;
}

void FillRecord(std::int16_t table) {
    POHeaderRec& rec = poHeader();
    fillRecord(table, definition(), rec);
    // A spare field holding only a zero is empty.
    if (rec.Spare1.trimmed() == QStringLiteral("0"))
        rec.Spare1 = QString();
}

void StoreRecord(std::int16_t table) {
    storeRecord(table, definition(), poHeader());
}
void CleanRecordText() {
    cleanRecordText(definition(), poHeader());
}

QString RecordValues() {
    POHeaderRec& rec = poHeader();
    // Vendor codes such as O'NEIL are kept: the apostrophe is doubled for the literal (and the
    // field keeps the doubled form, cut to its width).
    rec.VENDORCODE = QString(rec.VENDORCODE.str()).replace(u'\'', QStringLiteral("''"));
    return recordValues(definition(), rec);
}

void LoadKey(std::int16_t table, std::int16_t key) {
    loadKey(table, definition(), poHeader(), key);
}
void DefineTable(std::int16_t table) {
    defineTable(table, definition());
}

void PrepareTable(std::int16_t table, const QString& dataPath, const QString& store) {
    const QString name = QStringLiteral("POHeader");
    setDescriptor(table, {name, joinPath(dataPath, name + store + QStringLiteral(".JOV")),
                          name + store, name});
    prepareTable(table, definition());
}

} // namespace jovDBSM_POHeader
} // namespace vx::tables
