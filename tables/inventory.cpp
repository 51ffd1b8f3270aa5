#include "tables/inventory.h"

#include "db/codecs.h"
#include "db/table_ops.h"
#include "platform/err.h"
#include "platform/paths.h"

namespace vx::tables {

InventoryRec& inventory() {
    static InventoryRec rec;
    return rec;
}

namespace jovDBSM_Inventory {

namespace {

constexpr unsigned kSpace = kSpaceBefore;

// Steps that bring a table of an older layout up to date; each failure is ignored and the next
// step runs.
void upgrade(std::int16_t table);

} // namespace

const TableDef<InventoryRec>& definition() {
    using R = InventoryRec;
    static const TableDef<R> def{
        {
            {"SL", "SL CHAR (8) NOT NULL DEFAULT  ' ', ", &R::SL},
            {"ItemID", "ItemID CHAR (25) NOT NULL DEFAULT  ' ', ", &R::ItemID},
            {"Description", "Description CHAR (30) DEFAULT  ' ', ", &R::Description, kNameField},
            {"SubDescription", "SubDescription CHAR (20) DEFAULT  ' ', ", &R::SubDescription,
             kNameField},
            {"ReorderFlag", "ReorderFlag CHAR (1) DEFAULT  ' ', ", &R::ReorderFlag},
            {"Serialized", "Serialized CHAR (1) DEFAULT  ' ', ", &R::Serialized},
            {"HasSold", "HasSold CHAR (1) DEFAULT  ' ', ", &R::HasSold},
            {"VendorCode", "VendorCode CHAR (15) DEFAULT  ' ', ", &R::VendorCode},
            {"Price", "Price DECIMAL (18,4), ", &R::Price},
            {"Cost", "Cost DECIMAL (18,4) , ", &R::Cost, kSpace},
            {"QtyOnHand", "QtyOnHand DECIMAL (18,4), ", &R::QtyOnHand, kSpace},
            {"MinQ", "MinQ SMALLINT, ", &R::MinQ, kSpace},
            {"MaxQ", "MaxQ INT, ", &R::MaxQ, kSpace},
            {"QTYINPACK", "QTYINPACK SMALLINT, ", &R::QTYINPACK, kSpace},
            {"TaxCode", "TaxCode CHAR (1) DEFAULT  ' ', ", &R::TaxCode},
            {"DeptCode", "DeptCode CHAR (11) DEFAULT  ' ', ", &R::DeptCode},
            {"NotUsed", "NotUsed CHAR (1) DEFAULT  ' ', ", &R::NotUsed, kNotFilled},
            {"OnOrder", "OnOrder SMALLINT, ", &R::OnOrder, kSpace},
            {"AvgCost", "AvgCost DECIMAL (18,4), ", &R::AvgCost, kSpace},
            {"Notes", "Notes CHAR (1) DEFAULT  ' ', ", &R::Notes, kSpace},
            {"Kit", "Kit CHAR (1) DEFAULT  ' ', ", &R::Kit},
            {"Poll", "Poll CHAR (1) DEFAULT  ' ', ", &R::Poll},
            {"Scalable", "Scalable CHAR(1) DEFAULT  ' ', ", &R::Scalable},
            {"FoodStamp", "FoodStamp CHAR(1) DEFAULT  ' ', ", &R::FoodStamp},
            {"LinkBreakPack", "LinkBreakPack CHAR(8) DEFAULT  ' ', ", &R::LinkBreakPack},
            {"LinkItem", "LinkItem CHAR(8) DEFAULT  ' ', ", &R::LinkItem},
            {"LinkStock", "LinkStock CHAR(8) DEFAULT  ' ', ", &R::LinkStock},
            {"FlgMatrix", "FlgMatrix CHAR(1) DEFAULT  ' ', ", &R::FlgMatrix},
            {"FlgMatrixItem", "FlgMatrixItem CHAR(1) DEFAULT  ' ', ", &R::FlgMatrixItem},
            {"AllowDiscounts", "AllowDiscounts CHAR(1) DEFAULT  ' ', ", &R::AllowDiscounts},
            {"FLAGS", "FLAGS CHAR(20) DEFAULT  ' ', ", &R::FLAGS},
            {"RegionID", "RegionID SMALLINT, ", &R::RegionID, kQuoted},
            {"PriceIncTax", "PriceIncTax DECIMAL(18,2), ", &R::PriceIncTax},
            {"LastSold", "LastSold CHAR(8) DEFAULT  ' ',", &R::LastSold},
            {"Status", "Status CHAR(1) DEFAULT  ' ',", &R::Status},
            {"VolumetrcUnit", "VolumetrcUnit CHAR(6) DEFAULT  ' ',", &R::VolumetrcUnit},
            {"UOM", "UOM CHAR(5) DEFAULT  ' ',", &R::UOM},
            {"StoreRef", "StoreRef CHAR(30) DEFAULT  ' ', ", &R::StoreRef},
            {"LocFront", "LocFront CHAR(8) DEFAULT  ' ', ", &R::LocFront},
            {"LocBack", "LocBack CHAR(8) DEFAULT  ' ', ", &R::LocBack},
            {"RecordNum", "RecordNum INTEGER, ", &R::RecordNum},
            {"NonDecrement", "NonDecrement CHAR(1) DEFAULT  ' ', ", &R::NonDecrement},
            {"FlgPromoPrice", "FlgPromoPrice CHAR(1) DEFAULT  ' ', ", &R::FlgPromoPrice},
            {"FlgQtyPrice", "FlgQtyPrice CHAR(1) DEFAULT  ' ', ", &R::FlgQtyPrice},
            {"FlgWebEnable", "FlgWebEnable CHAR(1) DEFAULT  ' ', ", &R::FlgWebEnable},
            {"FlgPriceLevel", "FlgPriceLevel CHAR(1) DEFAULT  ' ', ", &R::FlgPriceLevel},
            {"FlgBPL", "FlgBPL CHAR(1) DEFAULT  ' ', ", &R::FlgBPL},
            {"NeverOrder", "NeverOrder CHAR(1) DEFAULT  ' ', ", &R::NeverOrder},
            {"SaleCommission", "SaleCommission CHAR(5) DEFAULT  ' ', ", &R::SaleCommission},
            {"Class", "Class CHAR(2) DEFAULT  ' ', ", &R::Class},
            {"PriceFactor", "PriceFactor CHAR(6) DEFAULT  ' ', ", &R::PriceFactor},
            {"Price2", "Price2 DECIMAL (18,4), ", &R::Price2},
            {"UnitsPerUOM", "UnitsPerUOM SMALLINT, ", &R::UnitsPerUOM},
            {"BPL1", "BPL1 INTEGER, ", &R::BPL1},
            {"BPL2", "BPL2 INTEGER, ", &R::BPL2},
            {"PenLiqorUnit", "PenLiqorUnit SMALLINT DEFAULT 0,", &R::PenLiqorUnit, kNullIsZero},
            {"BPL3", "BPL3 INTEGER DEFAULT 0", &R::BPL3, kNullIsZero},
        },
        {
            {"Create UNIQUE CLUSTERED Index idx_0 On ", "(RecordNum);"},
            {"Create UNIQUE  Index idx_1 On ", "(SL);"},
            {"Create UNIQUE  Index idx_2 On ", "(ItemID);"},
            {"Create UNIQUE  Index idx_3 On ", "(Description, SL);"},
            {"Create UNIQUE  Index idx_4 On ", "(SubDescription, SL);"},
            {"Create UNIQUE Index idx_5 On ", "(VendorCode, SL);"},
            {"Create UNIQUE Index idx_6 On ", "(VendorCode, ItemID);"},
            {"Create Index idx_7 On ", "(VendorCode, Description);"},
            {"Create UNIQUE Index idx_8 On ", "(DeptCode, ItemID);"},
            {"Create Index idx_9 On ", "(PriceFactor, Description);"},
            {"Create UNIQUE Index idx_10 on ", "(LocFront, RecordNum);"},
            {"Create UNIQUE Index idx_11 on ", "(LocBack, RecordNum);"},
            {"Create UNIQUE Index idx_12 on ", "(Poll, RecordNum);"},
        },
        // Keys 5, 6, 7, 10 and 11 are not numbered like the indexes with the same columns.
        {{40},
         {0},
         {1},
         {2, 0},
         {3, 0},
         {7, 2},
         {7, 0},
         {7, 1},
         {15, 1},
         {50, 2},
         {39, 40},
         {38, 40},
         {21, 40}},
    };
    return def;
}

void FillRecord(std::int16_t table) {
    InventoryRec& rec = inventory();
    // NotUsed is left as it is; PenLiqorUnit and BPL3, added to older tables without a default,
    // read a NULL as 0.
    fillRecord(table, definition(), rec);
    if (rec.QTYINPACK == 0)
        rec.QTYINPACK = 1;
}

void StoreRecord(std::int16_t table) {
    storeRecord(table, definition(), inventory());
}
void CleanRecordText() {
    cleanRecordText(definition(), inventory());
}
QString RecordValues() {
    return recordValues(definition(), inventory());
}
void LoadKey(std::int16_t table, std::int16_t key) {
    loadKey(table, definition(), inventory(), key);
}
void DefineTable(std::int16_t table) {
    defineTable(table, definition());
}

void PrepareTable(std::int16_t table, const QString& dataPath, const QString& store) {
    const QString name = QStringLiteral("invt") + store;
    setDescriptor(table,
                  {QStringLiteral("INVENTRY"), joinPath(dataPath, name + QStringLiteral(".JOV")),
                   name, QStringLiteral("Inventory")});
    if (prepareTable(table, definition()))
        upgrade(table);
}

namespace {

// Renames a column; true when the engine accepted the rename.
bool renamed(const QString& tableName, const QString& from, const QString& to) {
    Err().Clear();
    db::gpDB_RenameColumn(tableName, from, to);
    return Err().Number == 0;
}

void upgrade(std::int16_t table) {
    const QString t = db::tableInfo(table).TableName;
    // An empty table is left as it is.
    if (db::glDB_Count(table, t) < 1)
        return;

    // The quantity on hand was once a REAL column; the two columns at the end came later.
    db::glDB_Execute(QStringLiteral("ALTER TABLE ") + t +
                     QStringLiteral(" ALTER COLUMN QtyOnHand Decimal(18,4)"));
    db::gfbDB_AddColumn(table, QStringLiteral("PenLiqorUnit"), QStringLiteral("SMALLINT "));
    db::gfbDB_AddColumn(table, QStringLiteral("BPL3"), QStringLiteral("INTEGER "));

    // The flag Flg2 became NeverOrder; its old values mean nothing for the new flag.
    if (renamed(t, QStringLiteral("Flg2"), QStringLiteral("NeverOrder")))
        db::glDB_Execute(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET NeverOrder = ' '"));

    if (!db::gfbDB_OpenTable(table))
        return;

    // Older tables kept the price factor in column 16 and had a spare column 50. The codes move
    // to the spare column, which then takes the name PriceFactor; column 16 becomes NotUsed.
    // Engines that fold names to lower case report "spare1", so the name is compared ignoring
    // case.
    if (db::gvDB_FieldName(table, 50).compare(QLatin1String("Spare1"), Qt::CaseInsensitive) == 0) {
        db::glDB_Execute(QStringLiteral("UPDATE ") + t +
                         QStringLiteral(" SET Spare1 = PriceFactor where PriceFactor > ' '"));
        if (renamed(t, QStringLiteral("PriceFactor"), QStringLiteral("NotUsed")))
            renamed(t, QStringLiteral("Spare1"), QStringLiteral("PriceFactor"));
    }

    // An item id of 15 characters (the column's old width) calls for the wider column; the
    // indexes go first and are built again afterwards.
    if (db::gvDB_FieldValue(table, 1).toString().size() != 15)
        return;
    // Nothing is dropped when the wider column cannot be made (a view of another program
    // depends on it): the table stays usable as it is.
    if (!db::gfbDB_CanChangeColumn(table, QStringLiteral("itemID"), QStringLiteral("CHAR(25)")))
        return;
    for (int i = 0; i <= 12; ++i)
        db::glDB_Execute(QStringLiteral("Drop index ") + t + QStringLiteral(".idx_") +
                         QString::number(i));
    db::glDB_Execute(QStringLiteral("ALTER TABLE ") + t +
                     QStringLiteral(" ALTER COLUMN itemID CHAR(25)"));
    DefineTable(table);
    for (const QString& piece : db::tableInfo(table).IndexSQL.split(u';')) {
        const QString statement = piece.trimmed();
        if (!statement.isEmpty())
            db::glDB_Execute(statement);
    }
}

} // namespace

} // namespace jovDBSM_Inventory
} // namespace vx::tables
