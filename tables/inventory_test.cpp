// The inventory table on both engines: the upgrade of older tables, round trips,
// the reading rules of its record, and navigation by its keys.
#include "db/operations.h"
#include "db/state.h"
#include "platform/err.h"
#include "tables/inventory.h"
#include "tables/testing/table_test.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

namespace vx::dbtest {
namespace {

using namespace vx::tables;

class InventoryTable : public TableTest {
  protected:
    void prepare(const QString& store = QString()) {
        jovDBSM_Inventory::PrepareTable(kInventory, env_.root(), store);
        openTable(kInventory);
    }

    // The table's columns as columnsOf gives them; without `full` only names and types.
    QString columns(const QString& table, bool full = true) {
        QString c = columnsOf(db(), table);
        if (!full)
            c.remove(QRegularExpression(QStringLiteral(" NOT NULL| DEFAULT [^|]*")));
        return c;
    }
    // The table's indexes without the table's name in theirs.
    QString indexes(const QString& table) {
        return indexesOf(db(), table).remove(table.toLower() + u'_');
    }

    // Builds a table of the older layout with the raw client: ItemID CHAR(15), QtyOnHand REAL,
    // the price factor code in column 16, Flg2 where NeverOrder is now, Spare1 as column 50, and
    // neither PenLiqorUnit nor BPL3.
    void oldTable(const QString& t) {
        const auto& fields = jovDBSM_Inventory::definition().fields;
        const std::map<int, QString> changed{{1, "ItemID CHAR (15) NOT NULL DEFAULT  ' ', "},
                                             {10, "QtyOnHand REAL, "},
                                             {16, "PriceFactor CHAR (1) DEFAULT  ' ', "},
                                             {47, "Flg2 CHAR(1) DEFAULT  ' ', "},
                                             {50, "Spare1 CHAR(6) DEFAULT  ' ', "}};
        QString create = "CREATE TABLE " + t + " (";
        for (int i = 0; i <= 54; ++i)
            create += changed.count(i) ? changed.at(i) : QString::fromLatin1(fields[i].fragment);
        create.chop(2);
        ASSERT_TRUE(db().raw(create + u')'));
        int n = 0;
        for (const IndexDef& ix : jovDBSM_Inventory::definition().indexes) {
            const QString head = QString::fromLatin1(ix.head);
            ASSERT_TRUE(db().raw(QStringLiteral("CREATE %1 INDEX %2_idx_%3 ON %2 %4")
                                     .arg(head.contains("UNIQUE") ? "UNIQUE" : "", t)
                                     .arg(n++)
                                     .arg(QString::fromLatin1(ix.columns).chopped(1))));
        }
    }
    QString raw(const QString& sql) { return db().rawValue(sql).value_or("<null>"); }
    bool readRecord(int recordNum) {
        inventory().RecordNum = recordNum;
        return db::gfbDB_Operation(kInventory, db::kOpEqual, 0);
    }
    QList<int> walk(std::int16_t key, bool forward) {
        return walkKey(kInventory, key, forward, [] { return inventory().RecordNum; });
    }
};

TEST_P(InventoryTable, AnOlderTableIsUpgradedKeepingItsRows) {
    prepare(QStringLiteral("5")); // a new table of the current layout, to compare with
    const QString current = columns("invt5", false), currentIndexes = indexes("invt5");
    oldTable("invt");
    ASSERT_TRUE(db().raw(
        "INSERT INTO invt (SL, ItemID, Description, QtyOnHand, QTYINPACK, PriceFactor, Flg2, "
        "Spare1, RecordNum, Price, Class) VALUES "
        "('S1', 'ITEM-1', 'Widget', 2.5, 0, 'A', 'Y', ' ', 1, 1.25, 'C1'), "
        "('S2      ', 'ITEM-2         ', 'O''Neil', 10, 6, ' ', 'N', 'KEEP', 2, 3, 'C2'), "
        "('S3', 'ITEM-3', 'Gadget', 0.125, 12, 'B', NULL, NULL, 3, NULL, NULL)"));
    jovDBSM_Inventory::PrepareTable(kInventory, env_.root(), QString());
    EXPECT_EQ(columns("invt", false), current);
    EXPECT_EQ(indexes("invt"), currentIndexes);
    EXPECT_EQ(raw("SELECT COUNT(*) FROM invt"), QStringLiteral("3"));
    EXPECT_EQ(raw("SELECT NotUsed FROM invt WHERE RecordNum = 1"), QStringLiteral("A"));

    const struct {
        int num;
        const char *item, *description, *priceFactor, *klass;
        float qty;
        std::int16_t pack;
        std::int64_t price;
    } rows[] = {{1, "ITEM-1", "Widget", "A", "C1", 2.5f, 1, 12500},
                {2, "ITEM-2", "O'Neil", "KEEP", "C2", 10, 6, 30000},
                {3, "ITEM-3", "Gadget", "B", "", 0.125f, 12, 0}};
    for (const auto& r : rows) {
        ASSERT_TRUE(readRecord(r.num)) << r.num;
        const InventoryRec& rec = inventory();
        EXPECT_EQ(rec.ItemID.trimmed(), r.item);
        EXPECT_EQ(rec.ItemID.str().size(), 25);
        EXPECT_EQ(rec.Description.trimmed(), r.description);
        EXPECT_EQ(rec.PriceFactor.str(), QString(r.priceFactor).leftJustified(6));
        EXPECT_EQ(rec.Class.trimmed(), r.klass);
        EXPECT_EQ(rec.NeverOrder.str(), QStringLiteral(" ")) << r.num;
        EXPECT_FLOAT_EQ(rec.QtyOnHand, r.qty);
        EXPECT_EQ(rec.QTYINPACK, r.pack);
        EXPECT_EQ(rec.Price, r.price);
        EXPECT_EQ(rec.PenLiqorUnit, 0);
        EXPECT_EQ(rec.BPL3, 0);
    }

    // Once up to date, opening it again changes nothing.
    ASSERT_TRUE(db().raw("UPDATE invt SET NeverOrder = 'Y' WHERE RecordNum = 2"));
    const QString before = columns("invt");
    jovDBSM_Inventory::PrepareTable(kInventory, env_.root(), QString());
    EXPECT_EQ(columns("invt"), before);
    EXPECT_EQ(indexes("invt"), currentIndexes);
    EXPECT_EQ(
        raw("SELECT NeverOrder || PriceFactor || NotUsed FROM invt WHERE RecordNum = 2").trimmed(),
        QStringLiteral("YKEEP"));
    EXPECT_EQ(raw("SELECT PriceFactor || NotUsed FROM invt WHERE RecordNum = 1").trimmed(),
              QStringLiteral("AA"));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_P(InventoryTable, AnEmptyOlderTableIsLeftAsItIs) {
    oldTable("invt7");
    const QString before = columns("invt7");
    jovDBSM_Inventory::PrepareTable(kInventory, env_.root(), QStringLiteral("7"));
    EXPECT_EQ(columns("invt7"), before);
    EXPECT_FALSE(before.contains(QLatin1String("PENLIQORUNIT")));
}

TEST_P(InventoryTable, RecordsRoundTripWithTheTablesRules) {
    prepare();
    InventoryRec& r = inventory();
    r.SL = QStringLiteral("SL'1");
    r.ItemID = QStringLiteral("ITEM-0123456789-0123456789-XYZ"); // cut to 25
    r.Description = QString::fromUtf8("O'Neil's Łódź ☕");
    r.StoreRef = QStringLiteral("Joe's shelf");
    r.VendorCode = QStringLiteral("V1");
    r.NotUsed = QStringLiteral("Z");
    r.FLAGS = QStringLiteral("F");
    r.PriceFactor = QStringLiteral("PF1");
    r.Price = 12500;
    r.Cost = 5000;
    r.QtyOnHand = 2.5f;
    r.MinQ = -1;
    r.MaxQ = 100000;
    r.QTYINPACK = 6;
    r.OnOrder = 7;
    r.AvgCost = 35000;
    r.Notes = QStringLiteral("N");
    r.RegionID = 4;
    r.PriceIncTax = 123456; // 12.3456 in a DECIMAL(18,2) column
    r.RecordNum = 11;
    r.Price2 = 95000;
    r.UnitsPerUOM = 2;
    r.BPL1 = 10;
    r.BPL2 = 20;
    r.PenLiqorUnit = 3;
    r.BPL3 = 30;
    const QString values = hooks.gsRecordValues(kInventory);
    for (const char* part :
         {"'SL 1    ','ITEM-0123456789-012345678','O''Neil''s ",
          "'V1             ',1.25, 0.5, 2.5, -1, 100000, 6,' ',", "'Z', 7, 3.5, 'N',",
          "'F                   ','4',12.3456,", "'Joe s shelf", "'PF1   ',9.5,2,10,20,3,30"})
        EXPECT_TRUE(values.contains(QString::fromUtf8(part)))
            << part << "\n in " << values.toStdString();
    ASSERT_TRUE(db::gfbDB_Operation(kInventory, db::kOpInsert, 0))
        << Err().Description.toStdString();

    const InventoryRec sent = r;
    r = InventoryRec{};
    r.NotUsed = QStringLiteral("x");
    ASSERT_TRUE(readRecord(11));
    EXPECT_EQ(r.NotUsed.str(), QStringLiteral("x")) << "NotUsed is not read";
    EXPECT_EQ(r.PriceIncTax, 123500);
    EXPECT_EQ(r.Description.str(), QString::fromUtf8("O'Neil's Łódź ☕").leftJustified(30));
    EXPECT_EQ(r.StoreRef.trimmed(), QStringLiteral("Joe s shelf"));
    for (auto p : {&InventoryRec::SL, &InventoryRec::ItemID, &InventoryRec::VendorCode,
                   &InventoryRec::FLAGS, &InventoryRec::PriceFactor, &InventoryRec::Notes,
                   &InventoryRec::Poll, &InventoryRec::LastSold})
        EXPECT_EQ((r.*p).str(), (sent.*p).str());
    for (auto [a, b] : {std::pair{r.Price, sent.Price},
                        {r.Cost, sent.Cost},
                        {r.AvgCost, sent.AvgCost},
                        {r.Price2, sent.Price2},
                        {std::int64_t{r.MinQ}, std::int64_t{sent.MinQ}},
                        {std::int64_t{r.MaxQ}, std::int64_t{sent.MaxQ}},
                        {std::int64_t{r.QTYINPACK}, std::int64_t{sent.QTYINPACK}},
                        {std::int64_t{r.OnOrder}, std::int64_t{sent.OnOrder}},
                        {std::int64_t{r.RegionID}, std::int64_t{sent.RegionID}},
                        {std::int64_t{r.UnitsPerUOM}, std::int64_t{sent.UnitsPerUOM}},
                        {std::int64_t{r.BPL1}, std::int64_t{sent.BPL1}},
                        {std::int64_t{r.BPL2}, std::int64_t{sent.BPL2}},
                        {std::int64_t{r.PenLiqorUnit}, std::int64_t{sent.PenLiqorUnit}},
                        {std::int64_t{r.BPL3}, std::int64_t{sent.BPL3}}})
        EXPECT_EQ(a, b);
    EXPECT_FLOAT_EQ(r.QtyOnHand, 2.5f);
}

TEST_P(InventoryTable, RowsOfAnotherProgramFollowTheReadingRules) {
    prepare();
    ASSERT_TRUE(db().raw(
        "INSERT INTO invt (SL, ItemID, Description, QTYINPACK, PenLiqorUnit, BPL3, RecordNum) "
        "VALUES ('N1', 'NULLS', NULL, 0, NULL, NULL, 50), ('L1', '   LEAD', 'x', NULL, 2, 5, 51), "
        "('I1', ' ItemID-7', 'y', 1, 0, 0, 52)"));
    ASSERT_TRUE(readRecord(50));
    EXPECT_EQ(inventory().QTYINPACK, 1);
    EXPECT_EQ(inventory().PenLiqorUnit, 0);
    EXPECT_EQ(inventory().BPL3, 0);
    EXPECT_EQ(inventory().Description.str(), QString(30, u' '));
    EXPECT_EQ(inventory().SL.str(), QStringLiteral("N1      "));
    // "=" on the item id ignores the leading blanks a stored id may carry.
    inventory().ItemID = QStringLiteral("LEAD");
    ASSERT_TRUE(db::gfbDB_Operation(kInventory, db::kOpEqual, 2));
    EXPECT_EQ(inventory().RecordNum, 51);
    EXPECT_EQ(inventory().QTYINPACK, 1);
    EXPECT_EQ(inventory().PenLiqorUnit, 2);
    EXPECT_EQ(inventory().ItemID.str(), QStringLiteral("   LEAD").leftJustified(25));
    // Only the column is trimmed: an id that holds the column's name is searched as it is.
    inventory().ItemID = QStringLiteral("ItemID-7");
    ASSERT_TRUE(db::gfbDB_Operation(kInventory, db::kOpEqual, 2))
        << Err().Description.toStdString();
    EXPECT_EQ(inventory().RecordNum, 52);
}

// Another program's trigger and views on an old inventory table. SQLite rebuilds the table to
// widen ItemID and keeps them; PostgreSQL cannot change a column that a view reads, so nothing
// is dropped or changed for it, the user is told what stands in the way, and the rest of the
// upgrade is made.
TEST_P(InventoryTable, AnUpgradeKeepsOrRespectsWhatOtherProgramsOwn) {
    oldTable("invt");
    ASSERT_TRUE(db().raw("INSERT INTO invt (SL, ItemID, RecordNum, QtyOnHand) VALUES "
                         "('S1', 'ITEM-1', 1, 2.5)"));
    ASSERT_TRUE(db().raw("CREATE TABLE sold (sl CHAR(8))"));
    ASSERT_TRUE(db().raw("CREATE VIEW shelf AS SELECT SL, Description FROM invt"));
    ASSERT_TRUE(db().raw("CREATE VIEW items AS SELECT SL, ItemID FROM invt"));
    if (!pg()) {
        ASSERT_TRUE(db().raw("CREATE TRIGGER invt_sold AFTER UPDATE ON invt BEGIN "
                             "INSERT INTO sold VALUES (NEW.SL); END"));
    }
    const QString indexesBefore = indexes("invt");

    jovDBSM_Inventory::PrepareTable(kInventory, env_.root(), QString());

    const QString after = columns("invt", false);
    EXPECT_TRUE(after.contains(QLatin1String("QTYONHAND DECIMAL(18,4)"))) << after.toStdString();
    EXPECT_TRUE(after.contains(QLatin1String("BPL3 INTEGER"))) << after.toStdString();
    EXPECT_EQ(raw("SELECT COUNT(*) FROM shelf"), QStringLiteral("1"));
    EXPECT_EQ(raw("SELECT ItemID FROM items").trimmed(), QStringLiteral("ITEM-1"));
    if (pg()) {
        EXPECT_TRUE(after.contains(QLatin1String("ITEMID CHAR(15)"))) << after.toStdString();
        // No index was dropped; the old price factor column is now called NotUsed.
        EXPECT_EQ(indexes("invt"),
                  QString(indexesBefore).replace(QLatin1String("PRICEFACTOR"), "NOTUSED"));
        ASSERT_EQ(boxes.boxes().size(), 1);
        const QString text = boxes.boxes()[0].text;
        for (const char* part : {"itemID", "invt", "view items"})
            EXPECT_TRUE(text.contains(QLatin1String(part))) << text.toStdString();
        EXPECT_FALSE(text.contains(QLatin1String("shelf"))) << "shelf does not read ItemID";
    } else {
        EXPECT_TRUE(after.contains(QLatin1String("ITEMID CHAR(25)"))) << after.toStdString();
        ASSERT_TRUE(db().raw("UPDATE invt SET Notes = 'Y'"));
        EXPECT_EQ(raw("SELECT sl FROM sold").trimmed(), QStringLiteral("S1")) << "trigger kept";
        EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
    }
}

TEST_P(InventoryTable, KeysWalkInOrderBothWays) {
    prepare();
    const struct {
        int num;
        const char *sl, *item, *desc, *sub, *vendor, *dept, *pf, *front, *back, *poll;
    } rows[] = {{1, "S3", "I-B", "Cola", "Big", "V2", "D1", "X", "F2", "B1", "N"},
                {2, "S1", "I-D", "Apple", "Small", "V1", "D2", "X", "F1", "B2", "Y"},
                {3, "S5", "I-A", "Bread", "Big", "V2", "D1", "", "F1", "B1", "N"},
                {4, "S2", "I-C", "Apple", "Small", "V2", "D1", "Y", "F2", "B2", "N"},
                {5, "S4", "I-E", "Dates", "Big", "V3", "D2", "X", "F1", "B1", "Y"}};
    for (const auto& x : rows) {
        InventoryRec& r = inventory();
        r = InventoryRec{};
        r.RecordNum = x.num;
        for (auto [field, value] : {std::pair{&InventoryRec::SL, x.sl},
                                    {&InventoryRec::ItemID, x.item},
                                    {&InventoryRec::Description, x.desc},
                                    {&InventoryRec::SubDescription, x.sub},
                                    {&InventoryRec::VendorCode, x.vendor},
                                    {&InventoryRec::DeptCode, x.dept},
                                    {&InventoryRec::PriceFactor, x.pf},
                                    {&InventoryRec::LocFront, x.front},
                                    {&InventoryRec::LocBack, x.back},
                                    {&InventoryRec::Poll, x.poll}})
            r.*field = QString::fromLatin1(value);
        ASSERT_TRUE(db::gfbDB_Operation(kInventory, db::kOpInsert, 0)) << x.num;
    }
    const std::pair<std::int16_t, QList<int>> keys[] = {
        {0, {1, 2, 3, 4, 5}},  {1, {2, 4, 1, 5, 3}}, {2, {3, 1, 4, 2, 5}},  {3, {2, 4, 3, 1, 5}},
        {4, {1, 5, 3, 2, 4}},  {5, {2, 4, 3, 1, 5}}, {6, {2, 4, 1, 3, 5}},  {7, {2, 3, 1, 4, 5}},
        {8, {3, 1, 4, 2, 5}},  {9, {3, 2, 1, 5, 4}}, {10, {1, 3, 5, 2, 4}}, {11, {2, 3, 5, 1, 4}},
        {12, {1, 3, 4, 2, 5}},
    };
    for (const auto& [key, order] : keys) {
        EXPECT_EQ(walk(key, true), order) << "key " << key;
        EXPECT_EQ(walk(key, false), QList<int>(order.rbegin(), order.rend())) << "key " << key;
    }
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, InventoryTable, ::testing::ValuesIn(allBackends()), backendName);

} // namespace
} // namespace vx::dbtest
