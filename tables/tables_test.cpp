// The six tables on every backend: round trips, rows another program wrote, key walks, upgrades
// of older tables and the table set the report opens for its store.
#include "datapath/clsdatapath.h"
#include "db/dialect.h"
#include "db/operations.h"
#include "db/state.h"
#include "platform/err.h"
#include "platform/settings.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/po_line.h"
#include "tables/testing/table_test.h"
#include "tables/vendors.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace vx::dbtest {
namespace {

using namespace vx::tables;

const auto rstrip = [](QString s) { return s.remove(QRegularExpression(QStringLiteral(" +$"))); };

// The table's columns ("NAME TYPE[ NOT NULL][ DEFAULT d]|..." in column order) or its indexes
// ("name[ UNIQUE] (COLUMNS)|..." by name), alike on every engine.
QString catalogue(TestDatabase& db, const QString& table, bool indexes) {
    const char* sql[2][2] = {{"SELECT group_concat(upper(name) || ' ' || "
                              "replace(replace(upper(type), ' COLLATE RTRIM', ''), ' ', '') "
                              "|| CASE WHEN \"notnull\" THEN ' NOT NULL' ELSE '' END || "
                              "coalesce(' DEFAULT ' || dflt_value, ''), '|') FROM "
                              "(SELECT * FROM pragma_table_info('%1') ORDER BY cid)",
                              "SELECT group_concat(x, '|') FROM (SELECT lower(il.name) || "
                              "CASE WHEN il.\"unique\" THEN ' UNIQUE' ELSE '' END || ' (' "
                              "|| (SELECT group_concat(upper(name), ', ') FROM (SELECT name "
                              "FROM pragma_index_info(il.name) ORDER BY seqno)) || ')' AS x "
                              "FROM pragma_index_list('%1') il ORDER BY il.name)"},
                             {"SELECT string_agg(upper(column_name) || ' ' || CASE data_type WHEN "
                              "'character' THEN 'CHAR(' || character_maximum_length || ')' WHEN "
                              "'numeric' THEN 'DECIMAL(' || numeric_precision || ',' || "
                              "numeric_scale || ')' ELSE upper(data_type) END || CASE WHEN "
                              "is_nullable = 'NO' THEN ' NOT NULL' ELSE '' END || coalesce(' "
                              "DEFAULT ' || replace(column_default, '::bpchar', ''), ''), '|' "
                              "ORDER BY ordinal_position) FROM information_schema.columns WHERE "
                              "table_name = lower('%1')",
                              "SELECT string_agg(indexname || CASE WHEN indexdef LIKE "
                              "'CREATE UNIQUE%' THEN ' UNIQUE' ELSE '' END || ' ' || "
                              "upper(substring(indexdef from '\\(.*\\)$')), '|' ORDER "
                              "BY indexname) FROM pg_indexes WHERE tablename = "
                              "lower('%1')"}};
    return db.rawValue(QString::fromLatin1(sql[onPostgresServer(db.kind())][indexes]).arg(table))
        .value_or(QString());
}

// A table's record buffer seen column by column as text: numbers as plain numbers (currency in
// ten-thousandths), texts at their width.
struct Table {
    std::int16_t id;
    std::function<void(const QString& dataPath)> prepare; // for the shared tables
    std::function<QString(int)> get;
    std::function<void(int, const QString&)> set;
    std::function<void()> clear;
    QStringList columns, fragments; // upper-case names; create fragments
    QString types; // per column 'T'ext, 'I'nteger, 'F'loat or 'C'urrency; lower case: never read
    std::vector<std::vector<int>> keys; // each key's column numbers
    int column(const QString& name) const { return columns.indexOf(name.toUpper()); }
    // Checks "column=value|..." against the record buffer, trailing blanks aside.
    void expect(const QString& pairs) const {
        for (const QString& p : pairs.split(u'|', Qt::SkipEmptyParts))
            EXPECT_EQ(rstrip(get(column(p.section(u'=', 0, 0)))), p.section(u'=', 1))
                << p.toStdString();
    }
    // The row of `lookup` by `key` (no lookup: the first row); fields never read hold "x".
    bool read(std::int16_t key, const QString& lookup) const {
        clear();
        for (int i = 0; i < columns.size(); ++i)
            if (types[i].isLower())
                set(i, QStringLiteral("x"));
        for (const QString& p : lookup.split(u'|', Qt::SkipEmptyParts))
            set(column(p.section(u'=', 0, 0)), p.section(u'=', 1));
        return db::gfbDB_Operation(id, lookup.isEmpty() ? db::kOpGetFirst : db::kOpEqual, key);
    }
};

template <class Rec, class... Store>
Table tableOf(std::int16_t id, const TableDef<Rec>& def, Rec& rec,
              void (*prepare)(std::int16_t, const QString&, Store...)) {
    const auto field = [&def](int i) { return def.fields[static_cast<size_t>(i)].field; };
    Table t{.id = id, .clear = [&rec] { rec = Rec{}; }, .keys = def.keys};
    t.prepare = [=](const QString& path) { prepare(id, path, std::remove_cvref_t<Store>()...); };
    t.get = [&rec, field](int i) {
        return std::visit(
            [&](auto p) {
                if constexpr (std::is_same_v<std::remove_cvref_t<decltype(rec.*p)>, FixedText>)
                    return (rec.*p).str();
                else
                    return QString::number(rec.*p);
            },
            field(i));
    };
    t.set = [&rec, field](int i, const QString& v) {
        std::visit(
            [&](auto p) {
                using M = std::remove_cvref_t<decltype(rec.*p)>;
                if constexpr (std::is_same_v<M, FixedText>)
                    rec.*p = v;
                else if constexpr (std::is_same_v<M, float>)
                    rec.*p = v.toFloat();
                else
                    rec.*p = static_cast<M>(v.toLongLong());
            },
            field(i));
    };
    for (const auto& f : def.fields) {
        t.columns << QString::fromLatin1(f.column).toUpper();
        t.fragments << QString::fromUtf8(f.fragment);
        const QChar type = std::visit(
            [](auto p) {
                using M = std::remove_cvref_t<decltype(std::declval<Rec>().*p)>;
                return std::is_same_v<M, FixedText>      ? u'T'
                       : std::is_same_v<M, float>        ? u'F'
                       : std::is_same_v<M, std::int64_t> ? u'C'
                                                         : u'I';
            },
            f.field);
        t.types += f.flags & kNotFilled ? type.toLower() : type;
    }
    return t;
}

const std::vector<Table> kTables{
    tableOf(kCommon, jovDBSM_Common::definition(), common(), jovDBSM_Common::PrepareTable),
    tableOf(kVendors, jovDBSM_Vendors::definition(), vendor(), jovDBSM_Vendors::PrepareTable),
    tableOf(kPOHistory, jovDBSM_POHistory::definition(), poHistory(),
            jovDBSM_POHistory::PrepareTable),
    tableOf(kInventory, jovDBSM_Inventory::definition(), inventory(),
            jovDBSM_Inventory::PrepareTable),
    tableOf(kPOHeader, jovDBSM_POHeader::definition(), poHeader(), jovDBSM_POHeader::PrepareTable),
    tableOf(kPOLine, jovDBSM_POLine::definition(), poLine(), jovDBSM_POLine::PrepareTable),
};

class Tables : public TableTest {
  protected:
    const Table& prepare(std::int16_t id) {
        const Table& t = kTables[static_cast<size_t>(id)];
        t.prepare(env_.root());
        openTable(id);
        return t;
    }
    QString raw(const QString& sql) { return db().rawValue(sql).value_or("<null>"); }
};

// Every field gets a value of its own; then each table's rules on some, "column=written[>read]".
TEST_P(Tables, EveryFieldSurvivesARoundTripWithItsTablesRules) {
    const struct {
        std::int16_t table, key;
        const char *rules, *values; // what the INSERT's value list matches
    } cases[] = {
        // FullBackTime is a number column the text goes to as it is; BreakPoint a DECIMAL without
        // decimals; every value is quoted, with a blank before the last quote.
        {kCommon, 0,
         "Cname=Joe's Hardware>Joe s Hardware|Ccity=Kraków ☕|ShippingSL1=UPS GROUND>UPS GROU|"
         "FullBackTime=4|BreakPoint=125000>130000",
         "^'[^']*'(,'[^']*'){96},'[^']* '$"},
        // A name with blanks after it keeps its apostrophe, one that fills its width does not.
        {kVendors, 1,
         "VendorID=-7|VENDCODE=ACME-LONGER-THAN-15>ACME-LONGER-THA|BUSINESS=O'Brien Supply|"
         "LASTNAME=O'Sullivan-Mark>O Sullivan-Mark|CITY=O'Fallon>O Fallon|ADDRESS=Łódź ☕ Street|"
         "ZIP=ZIP-1234567890>ZIP-123456|BALANCE=12345600|LASTPAIDAMT=-505000",
         "^-7,'ACME-LONGER-THA','O''Brien Supply {25}','O Sullivan-Mark',"},
        {kPOHistory, 4,
         "PONumber=PO'12>PO 12|VendorCode=Łódź ☕ Supplies Ltd.>Łódź ☕ Supplies|"
         "SPARE2=a spare text longer than twenty>a spare text longer|"
         "UnitCost=123456>123460|Spare=-3",
         "^'[^']*','PO 12 {5}',.*,12\\.3456,"},
        // NotUsed is never read: the buffer keeps what it held.
        {kInventory, 0,
         "SL=SL'1>SL 1|ItemID=ITEM-0123456789-0123456789-XYZ>ITEM-0123456789-012345678|"
         "Description=O'Neil's Łódź ☕|StoreRef=Joe's shelf>Joe s shelf|NotUsed=Z>x|"
         "PriceIncTax=123456>123500|RegionID=4|MinQ=-1|MaxQ=100000|QtyOnHand=2.5",
         "^'SL 1    ','ITEM-0123456789-012345678','O''Neil''s Łódź ☕ +',.*, 2.5, -1, 100000, "
         ".*,'Z', .*,'4',12\\.3456,.*'Joe s shelf"},
        {kPOHeader, 2,
         "PO=R1|SENTOUT=Y|VENDORCODE=O'NEIL|WHO=O'BRIEN>O BRIEN|TOTAL=1234567>1234600|"
         "CostCenter=CCX>CC|BillTo=Łódź ☕ Warehouse North>Łódź ☕ Warehous|Store=-2|ShipUID=-32768|"
         "Spare1=00",
         "^'R1 {6}','\\w+ *','Y','O''NEIL {8}','O BRIEN {8}',.*,123\\.4567,.*,-2,.*,'CC','\\w+ "
         "*','Łódź ☕ Warehous',.*,-32768,.*,'00 {17}'$"},
        // No zero rule on lines.
        {kPOLine, 0,
         "PO=L'1>L 1|ARCode=AR-Grüße-123456789>AR-Grüße-123456|SCode=S'C>S C|Spare1=0|Cost=123456|"
         "LineTotal=-308640|InvUID=100000|Spare=-5|Quantity2Order=2.5",
         "^'L 1 {5}',\\d+,'AR-Grüße-123456','S C {5}',"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const Table& t = prepare(c.table);
        t.clear();
        QStringList expected;
        // Currency in whole units: bare DECIMAL columns keep no decimals.
        for (int i = 0; i < t.columns.size(); ++i) {
            const char type = t.types[i].toUpper().toLatin1();
            t.set(i, type == 'T'   ? QChar(u'a' + i % 26) + QString::number(i)
                     : type == 'F' ? QString::number(i) + QStringLiteral(".25")
                                   : QString::number((i + 1) * (type == 'C' ? 10000 : 3)));
            expected << rstrip(t.get(i));
        }
        for (const QString& rule : QString::fromUtf8(c.rules).split(u'|')) {
            const int i = t.column(rule.section(u'=', 0, 0));
            t.set(i, rule.section(u'=', 1).section(u'>', 0, 0));
            expected[i] = rule.section(u'=', 1).section(u'>', -1);
        }
        ASSERT_TRUE(insert(c.table)) << Err().Description.toStdString();
        EXPECT_TRUE(
            QRegularExpression(QString::fromUtf8(c.values)).match(hooks.lastValues).hasMatch())
            << hooks.lastValues.toStdString();

        QStringList lookup;
        for (int k : c.key < std::ssize(t.keys) ? t.keys[c.key] : std::vector<int>())
            lookup << t.columns[k] + u'=' + expected[k];
        ASSERT_TRUE(t.read(c.key, lookup.join(u'|'))) << Err().Description.toStdString();
        for (int i = 0; i < t.columns.size(); ++i)
            EXPECT_EQ(rstrip(t.get(i)), expected[i]) << t.columns[i].toStdString();
        EXPECT_FALSE(insert(c.table)) << "every table has a unique key";
    }
}

// Rows another program wrote: NULLs, values out of a field's range, the tables' reading rules.
TEST_P(Tables, RowsOfAnotherProgramFollowTheReadingRules) {
    for (std::int16_t id : {kCommon, kPOHeader, kInventory})
        prepare(id);
    const struct {
        std::int16_t table;
        const char* insert; // the rows, before the reads that follow
        std::int16_t key;
        const char *lookup, *read;
    } cases[] = {
        {kCommon,
         "INSERT INTO COMMON (DupID, Cname, StoreNumber, FullBackTime, ShippingSL1, TaxRate5, "
         "TaxRate6, BreakPoint, MaxStations) VALUES ('1', NULL, 7, 23, 'ABCDEFGHI', 5.5, 6.5, "
         "12.5, NULL)",
         3, "", // the company table has no keys: any key number reads the first row
         "StoreNumber=7|FullBackTime=2|ShippingSL1=ABCDEFGH|TaxRate5=5.5|TaxRate6=6.5|"
         "BreakPoint=130000|MaxStations=0|Cname=|Spare="},
        // A spare field holding only a zero is empty; the 16-bit field holds the nearest value.
        {kPOHeader,
         "INSERT INTO POHeader (PO, TOTAL, Store, ShipUID, Spare1, WHO) VALUES ('A', 1.5, 2, 5, "
         "'0', NULL), ('B', 1.5, 2, 70000, '0      ', NULL), ('C', 1.5, 2, -70000, '00', NULL), "
         "('D', 1.5, 2, -1, ' 0', NULL), ('E', 1.5, 2, 0, NULL, NULL)",
         0, "PO=A", "Spare1=|ShipUID=5|WHO=|TOTAL=15000|Store=2"},
        {kPOHeader, nullptr, 0, "PO=B", "Spare1=|ShipUID=32767"},
        {kPOHeader, nullptr, 0, "PO=C", "Spare1=00|ShipUID=-32768"},
        {kPOHeader, nullptr, 0, "PO=D", "Spare1=|ShipUID=-1"},
        {kPOHeader, nullptr, 0, "PO=E", "Spare1=|ShipUID=0"},
        // No pack is a pack of one; the two later columns read a NULL as 0.
        {kInventory,
         "INSERT INTO invt (SL, ItemID, Description, QTYINPACK, PenLiqorUnit, BPL3, RecordNum) "
         "VALUES ('N1', 'NULLS', NULL, 0, NULL, NULL, 50), ('L1', '   LEAD', 'x', NULL, 2, 5, "
         "51), ('I1', ' ItemID-7', 'y', 1, 0, 0, 52)",
         0, "RecordNum=50", "QTYINPACK=1|PenLiqorUnit=0|BPL3=0|Description=|SL=N1"},
        // "=" on the item id ignores the leading blanks a stored id may carry; only the column is
        // trimmed, so an id that holds the column's name is searched as it is.
        {kInventory, nullptr, 2, "ItemID=LEAD",
         "RecordNum=51|QTYINPACK=1|PenLiqorUnit=2|BPL3=5|ItemID=   LEAD"},
        {kInventory, nullptr, 2, "ItemID=ItemID-7", "RecordNum=52"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lookup);
        if (c.insert) {
            ASSERT_TRUE(db().raw(QString::fromLatin1(c.insert)));
        }
        const Table& t = kTables[static_cast<size_t>(c.table)];
        ASSERT_TRUE(t.read(c.key, QString::fromLatin1(c.lookup)))
            << Err().Description.toStdString();
        t.expect(QString::fromLatin1(c.read));
    }
    EXPECT_EQ(raw("SELECT COUNT(*) FROM POHeader WHERE SHIPDATE IS NULL"), QStringLiteral("0"))
        << "SHIPDATE defaults to a blank";
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

// Rows unique on every key, with repeating leading segments. Each walk lists the rows by `id`,
// forward; backward it is the reverse unless given after " / ".
TEST_P(Tables, EveryKeyWalksInOrderBothWays) {
    const struct {
        std::int16_t table;
        const char *id, *columns, *rows, *walks; // rows split at blanks, walks at commas
        std::int16_t key;
        const char *lookup, *found; // a keyed read
    } cases[] = {
        {kVendors, "VendorID", "VendorID|VENDCODE|BUSINESS|LASTNAME|ZIP|MAILCODE",
         "1|V300|Acme|Brown|30000|E 2|V100|Beta|Jones|10000|D 3|V200|Acme|Jones|50000|C "
         "4|V050|Zed|Adams|20000|B 5|V400|Beta|Smith|40000|A",
         "1 2 3 4 5, 4 2 3 1 5, 3 1 2 5 4, 4 1 2 3 5, 2 4 1 5 3, 5 4 3 2 1", 3,
         "LASTNAME=Jones|VENDCODE=V200", "VendorID=3"},
        // Key 0 has four segments: its middle ones compare with ">=" / "<=", so a row whose item
        // number is below the current one's within the same status is passed over.
        {kPOHistory, "UniqueID", "DateReceived|PONumber|InvUID|Status|UniqueID|VendorCode|Poll",
         "20240103|P2|4|R|14|V1|N 20240101|P1|2|U|11|V1|N 20240102|P1|1|R|12|V1|N "
         "20240104|P3|3|R|13|V1|N 20240105|P2|5|X|15|V1|N",
         "12 14 11 15 / 15 11 13 12, 12 13 14 11 15, 12 11 14 15 13, 11 12 14 13 15, "
         "11 12 13 14 15, 11 12 13 14 15, 11 12 13 14 15",
         6, "Poll=N|UniqueID=13", "PONumber=P3"},
        {kInventory, "RecordNum",
         "RecordNum|SL|ItemID|Description|SubDescription|VendorCode|DeptCode|PriceFactor|LocFront|"
         "LocBack|Poll",
         "1|S3|I-B|Cola|Big|V2|D1|X|F2|B1|N 2|S1|I-D|Apple|Small|V1|D2|X|F1|B2|Y "
         "3|S5|I-A|Bread|Big|V2|D1||F1|B1|N 4|S2|I-C|Apple|Small|V2|D1|Y|F2|B2|N "
         "5|S4|I-E|Dates|Big|V3|D2|X|F1|B1|Y",
         "1 2 3 4 5, 2 4 1 5 3, 3 1 4 2 5, 2 4 3 1 5, 1 5 3 2 4, 2 4 3 1 5, 2 4 1 3 5, 2 3 1 4 5, "
         "3 1 4 2 5, 3 2 1 5 4, 1 3 5 2 4, 2 3 5 1 4, 1 3 4 2 5",
         12, "Poll=Y|RecordNum=5", "ItemID=I-E"},
        {kPOHeader, "PO", "PO|VendorPONum|SENTOUT|VENDORCODE|WHO|STATUS|POTYPE|POLL",
         "P1|V5|Y|ACME|BOB|O|S|N P2|V3|N|ACME|ANN|R|S|Y P3|V1|Y|BETA|BOB|O|D|N "
         "P4|V4|N|BETA|ANN|R|D|N P5|V2|Y|ACME|ANN|O|S|Y",
         "P1 P2 P3 P4 P5, P3 P5 P2 P4 P1, P2 P4 P1 P5 P3, P2 P4 P5 P1 P3, P1 P3 P5 P2 P4, "
         "P3 P1 P5 P4 P2, P1 P3 P4 P2 P5",
         3, "WHO=ANN|SENTOUT=Y|PO=P5", "VendorPONum=V2"},
        // Key 3 orders by PO, Status, LineNum, not as index 3 (Status first).
        {kPOLine, "PO|LineNum", "PO|LineNum|ARCode|Status|InvUID|Poll",
         "X|1|B|R|20|N X|2|A|O|10|Y X|3|B|R|30|N W|1|A|R|10|N W|2|B|O|30|Y",
         "W1 W2 X1 X2 X3, W1 X2 X1 W2 X3, W1 X2 W2 X1 X3, W2 W1 X2 X1 X3, W1 X1 X3 W2 X2", 3,
         "PO=X|Status=R|LineNum=3", "InvUID=30"},
    };
    for (const auto& c : cases) {
        const Table& t = prepare(c.table);
        SCOPED_TRACE(t.columns[0].toStdString());
        const QStringList columns = QString::fromLatin1(c.columns).split(u'|');
        for (const QString& row : QString::fromLatin1(c.rows).split(u' ')) {
            t.clear();
            const QStringList values = row.split(u'|');
            for (qsizetype i = 0; i < columns.size(); ++i)
                t.set(t.column(columns[i]), values[i]);
            ASSERT_TRUE(insert(c.table)) << Err().Description.toStdString();
        }
        const QStringList id = QString::fromLatin1(c.id).split(u'|'); // W1: PO W, line 1
        const auto rowId = [&] {
            return t.get(t.column(id[0])).trimmed() + (id.size() > 1 ? t.get(t.column(id[1])) : "");
        };
        const QStringList walks = QString::fromLatin1(c.walks).split(QStringLiteral(", "));
        for (std::int16_t key = 0; key < walks.size(); ++key) {
            const QStringList ways = walks[key].split(QStringLiteral(" / "));
            const QStringList forward = ways[0].split(u' ');
            QStringList backward = ways.value(1, ways[0]).split(u' ');
            if (ways.size() == 1)
                std::reverse(backward.begin(), backward.end());
            EXPECT_EQ(walkKey(c.table, key, true, rowId), forward) << "key " << key;
            EXPECT_EQ(walkKey(c.table, key, false, rowId), backward) << "key " << key;
        }
        ASSERT_TRUE(t.read(c.key, QString::fromLatin1(c.lookup)));
        t.expect(QString::fromLatin1(c.found));
    }
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

// A table of the older inventory layout, with the indexes of the current one.
class Inventory : public Tables {
  protected:
    void oldTable(const QString& t) {
        const std::map<int, QString> changed{{1, "ItemID CHAR (15) NOT NULL DEFAULT  ' ', "},
                                             {10, "QtyOnHand REAL, "},
                                             {16, "PriceFactor CHAR (1) DEFAULT  ' ', "},
                                             {47, "Flg2 CHAR(1) DEFAULT  ' ', "},
                                             {50, "Spare1 CHAR(6) DEFAULT  ' ', "}};
        QString create = "CREATE TABLE " + t + " (";
        for (int i = 0; i <= 54; ++i)
            create += changed.count(i) ? changed.at(i) : kTables[kInventory].fragments[i];
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
    void upgrade(const QString& s) { jovDBSM_Inventory::PrepareTable(kInventory, env_.root(), s); }
    QString indexes(QString t) { return catalogue(db(), t, true).remove(t.toLower() + u'_'); }
    QString columns(QString t) { // names and types
        return catalogue(db(), t, false).remove(QRegularExpression(" NOT NULL| DEFAULT [^|]*"));
    }
};

TEST_P(Inventory, AnOlderTableIsUpgradedKeepingItsRowsAnEmptyOneIsLeftAsItIs) {
    upgrade(QStringLiteral("5")); // a new table of the current layout, to compare with
    QString current = columns("invt5"), currentIndexes = indexes("invt5");
    oldTable("invt7");
    const QString empty = columns("invt7");
    upgrade(QStringLiteral("7"));
    EXPECT_EQ(columns("invt7"), empty);

    oldTable("invt");
    ASSERT_TRUE(db().raw(
        "INSERT INTO invt (SL, ItemID, Description, QtyOnHand, QTYINPACK, PriceFactor, Flg2, "
        "Spare1, RecordNum, Price, Class) VALUES "
        "('S1', 'ITEM-1', 'Widget', 2.5, 0, 'A', 'Y', ' ', 1, 1.25, 'C1'), "
        "('S2      ', 'ITEM-2         ', 'O''Neil', 10, 6, ' ', NULL, 'KEEP', 2, NULL, NULL)"));
    // Another program's view and trigger. SQLite rebuilds the table to widen ItemID and keeps
    // them; PostgreSQL cannot change a column that a view reads, so the user is told what stands
    // in the way, nothing is dropped for it, and the rest of the upgrade is made.
    ASSERT_TRUE(db().raw("CREATE VIEW items AS SELECT SL, ItemID FROM invt"));
    ASSERT_TRUE(db().raw("CREATE TABLE sold (sl CHAR(8))"));
    if (!pg()) {
        ASSERT_TRUE(db().raw("CREATE TRIGGER invt_sold AFTER UPDATE ON invt BEGIN "
                             "INSERT INTO sold VALUES (NEW.SL); END"));
    }
    upgrade({});
    ASSERT_EQ(boxes.boxes().size(), pg() ? 1 : 0) << boxes.texts().join(u'\n').toStdString();
    if (pg()) {
        current.replace(QLatin1String("ITEMID CHAR(25)"), QLatin1String("ITEMID CHAR(15)"));
        currentIndexes.replace(QLatin1String("(PRICEFACTOR"), QLatin1String("(NOTUSED"));
        for (const char* part : {"itemID", "invt", "view items"})
            EXPECT_TRUE(boxes.texts()[0].contains(QLatin1String(part))) << part;
    }
    EXPECT_EQ(columns("invt"), current);
    EXPECT_EQ(indexes("invt"), currentIndexes);
    EXPECT_EQ(raw("SELECT ItemID FROM items WHERE SL = 'S1'").trimmed(), QStringLiteral("ITEM-1"));
    EXPECT_EQ(raw("SELECT COUNT(*) FROM invt"), QStringLiteral("2"));
    EXPECT_EQ(raw("SELECT NotUsed FROM invt WHERE RecordNum = 1"), QStringLiteral("A"));
    // The old price factor codes move to the new column; the old flag means nothing any more.
    openTable(kInventory);
    for (const char* row :
         {"RecordNum=1|ItemID=ITEM-1|Description=Widget|PriceFactor=A|Class=C1|NeverOrder=|"
          "QtyOnHand=2.5|QTYINPACK=1|Price=12500|PenLiqorUnit=0|BPL3=0",
          "RecordNum=2|ItemID=ITEM-2|Description=O'Neil|PriceFactor=KEEP|Class=|NeverOrder=|"
          "QtyOnHand=10|QTYINPACK=6|Price=0"}) {
        ASSERT_TRUE(kTables[kInventory].read(0, QString::fromLatin1(row).section(u'|', 0, 0)));
        kTables[kInventory].expect(QString::fromUtf8(row));
    }
    const int fired = raw("SELECT COUNT(*) FROM sold").toInt();
    ASSERT_TRUE(db().raw("UPDATE invt SET NeverOrder = 'Y' WHERE RecordNum = 2"));
    EXPECT_EQ(raw("SELECT COUNT(*) FROM sold").toInt(), fired + (pg() ? 0 : 1)) << "trigger kept";
}

// gfbOpenReportTables starts the database layer itself, from the settings written here.
class ReportTables : public TableTest {
  protected:
    ReportTables() : TableTest(false) {}
    void SetUp() override {
        TableTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        resetRunState();
        resetDataPath();
        gDataPath().setDataPath(env_.mkdir(QStringLiteral("data")));
        const Login& l = db().login();
        for (const auto& [key, value] :
             {std::pair{"Server", l.server}, std::pair{"DBName", l.database},
              std::pair{"UserName", l.user}, std::pair{"Password", l.password}})
            SaveSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"),
                        QString::fromLatin1(key), value);
    }
    void companyStore(int number) {
        ASSERT_TRUE(gfbOpenReportTables());
        ASSERT_TRUE(db().raw(
            QStringLiteral("INSERT INTO COMMON (DupID, StoreNumber) VALUES('1', %1)").arg(number)));
        db::resetDbState();
    }
    QString name(std::int16_t t) { return db::tableInfo(t).TableName; }
};

TEST_P(ReportTables, TheStoreChoosesTheTables) {
    ASSERT_TRUE(gfbOpenReportTables());
    EXPECT_EQ(name(kPOHeader), QStringLiteral("POHeader"));
    EXPECT_TRUE(name(kPOHistory).isEmpty() && name(kInventory).isEmpty()) << "no company record";
    EXPECT_TRUE(runState().gsStore.isEmpty());
    db::resetDbState();
    companyStore(3);
    for (const char* c :
         {"|POHistory3|invt3|POHeader|POLine", "5|POHistory5|invt5|POHeader5|POLine5",
          "03|POHistory03|invt03|POHeader|POLine"}) {
        const QStringList names = QString::fromLatin1(c).split(u'|');
        db::resetDbState();
        runState().gsStore = names[0];
        ASSERT_TRUE(gfbOpenReportTables()) << c;
        EXPECT_EQ(common().StoreNumber, 3);
        EXPECT_EQ(QStringList({names[0], name(kPOHistory), name(kInventory), name(kPOHeader),
                               name(kPOLine)}),
                  names);
        ASSERT_TRUE(gfbOpenReportRecordsets()) << c;
        for (const QString& n : names.mid(1))
            EXPECT_TRUE(db().rawValue("SELECT COUNT(*) FROM " + n)) << n.toStdString() << " made";
    }
    EXPECT_EQ(runState().gsStore, QStringLiteral("03"));
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_P(ReportTables, StartUpBringsTablesUpToDateAndASecondStartChangesNothing) {
    // An older VENDOR table (COUNTRY was EXPENSECD) with another program's rows, padded or not.
    QString create = "CREATE TABLE VENDOR (" + kTables[kVendors].fragments.join(QString()) + u')';
    create.replace(QStringLiteral("COUNTRY CHAR"), QStringLiteral("EXPENSECD CHAR"));
    ASSERT_TRUE(
        db().raw(db::translate(create, pg() ? db::Dialect::PostgreSQL : db::Dialect::SQLite).sql));
    ASSERT_TRUE(db().raw(QStringLiteral(
        "INSERT INTO VENDOR (VendorID, VENDCODE, BUSINESS, LASTNAME, EXPENSECD) VALUES "
        "(1, 'B2', 'Beta', 'Xu', 'Canada'), (3, 'C3 ', 'Alpha', 'Xu ', NULL), "
        "(2, 'A1             ', 'Alpha                   ', 'Yates          ', 'Mexico      ')")));

    companyStore(3); // the first start, as the program starts
    const QString vendorColumns = catalogue(db(), QStringLiteral("VENDOR"), false);
    EXPECT_EQ(vendorColumns.split(u'|').value(15), QStringLiteral("COUNTRY CHAR(12) DEFAULT ' '"));
    EXPECT_FALSE(vendorColumns.contains(QLatin1String("EXPENSECD")));

    // On the next start, with rows in the inventory, the upgrade steps only read the catalogue.
    ASSERT_TRUE(gfbOpenReportTables());
    ASSERT_TRUE(db().raw(QStringLiteral("INSERT INTO invt3 (SL, ItemID, RecordNum) VALUES "
                                        "('S1', 'I1', 1)")));
    const QString trace = env_.root() + QStringLiteral("/trace.sql");
    env_.setEnv("VANTREX_SQL_TRACE", trace);
    db::resetDbState();
    ASSERT_TRUE(gfbOpenReportTables());
    ASSERT_TRUE(gfbOpenReportRecordsets());
    EXPECT_TRUE(QFile::exists(trace));
    EXPECT_EQ(changingStatements(trace), QStringList());

    const Table& vendors = kTables[kVendors];
    for (const char* row :
         {"VENDCODE=A1|VendorID=2|COUNTRY=Mexico", "VENDCODE=B2|VendorID=1|COUNTRY=Canada"}) {
        ASSERT_TRUE(vendors.read(1, QString::fromLatin1(row).section(u'|', 0, 0)));
        vendors.expect(QString::fromLatin1(row));
    }
    const auto id = [] { return vendor().VendorID; };
    EXPECT_EQ(walkKey(kVendors, 2, true, id), QList<int>({2, 3, 1}));
    EXPECT_EQ(walkKey(kVendors, 3, false, id), QList<int>({2, 3, 1}));
    jovDBSM_Vendors::PrepareTable(kVendors, env_.root());
    EXPECT_EQ(Err().Number, 0) << "a failed rename is not an error of the open";
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, Tables, ::testing::ValuesIn(allBackends()), backendName);
INSTANTIATE_TEST_SUITE_P(Engines, Inventory, ::testing::ValuesIn(allBackends()), backendName);
INSTANTIATE_TEST_SUITE_P(Engines, ReportTables, ::testing::ValuesIn(allBackends()), backendName);

} // namespace
} // namespace vx::dbtest
