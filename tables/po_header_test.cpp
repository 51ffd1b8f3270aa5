// The purchase-order header and line tables on both engines: naming, round trips, the header's
// own codec rules, and navigation on every key, also over tables another program made.
#include "db/dialect.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "platform/err.h"
#include "tables/po_header.h"
#include "tables/po_line.h"
#include "tables/testing/table_test.h"

#include <gtest/gtest.h>

// Readable lists in failure messages.
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << "[" << list.join(QStringLiteral(", ")).toStdString() << "]";
}

namespace vx::dbtest {
namespace {

using namespace vx::tables;

// Every field of a record as text, in column order.
template <class Rec> QStringList texts(const TableDef<Rec>& def, const Rec& rec) {
    QStringList out;
    for (const auto& f : def.fields)
        std::visit(
            [&](auto p) {
                using M = std::remove_cvref_t<decltype(rec.*p)>;
                if constexpr (std::is_same_v<M, FixedText>)
                    out << (rec.*p).str();
                else
                    out << QString::number(rec.*p);
            },
            f.field);
    return out;
}

// The table's CREATE statement as another program would run it: the suite's columns, no indexes.
// On SQLite the columns are written as the suite writes them there (CHAR with its blank-ignoring
// comparison); a plain SQLite CHAR column compares trailing blanks.
template <class Rec>
QString foreignCreate(const TableDef<Rec>& def, const QString& name, bool sqlite) {
    QString sql = QStringLiteral("CREATE TABLE ") + name + QStringLiteral(" (");
    for (const auto& f : def.fields)
        sql += QString::fromUtf8(f.fragment);
    sql += u')';
    return sqlite ? db::translate(sql, db::Dialect::SQLite).sql : sql;
}

QString q(const QString& s, int width) {
    return u'\'' + s.leftJustified(width) + u'\'';
}

class POTables : public TableTest {
  protected:
    void prepare(const QString& store) {
        jovDBSM_POHeader::PrepareTable(kPOHeader, env_.root(), store);
        jovDBSM_POLine::PrepareTable(kPOLine, env_.root(), store);
        openTable(kPOHeader);
        openTable(kPOLine);
    }
    // The rows met walking `key` from Get First (or Get Last), as "P1" (header) or "X2" (line).
    QStringList walk(std::int16_t table, std::int16_t key, bool forward) {
        return walkKey(table, key, forward, [table] {
            return table == kPOHeader ? poHeader().PO.trimmed()
                                      : poLine().PO.trimmed() + QString::number(poLine().LineNum);
        });
    }
};

TEST_P(POTables, StoreTablesAreNamedForTheStoreAndShipDateDefaultsToABlank) {
    for (const QString store : {"", "5"}) {
        SCOPED_TRACE(store.toStdString());
        prepare(store);
        for (auto [table, base] :
             {std::pair{kPOHeader, "POHeader"}, std::pair{kPOLine, "POLine"}}) {
            const QString sqlName = QString::fromLatin1(base) + store;
            EXPECT_EQ(db::tableInfo(table).TableName, sqlName);
            EXPECT_EQ(db::tableInfo(table).FilePath,
                      env_.root() + u'/' + sqlName + QStringLiteral(".JOV"));
        }
        // SHIPDATE gets its blank default when another program leaves it out.
        ASSERT_TRUE(db().raw(QStringLiteral("INSERT INTO POHeader%1 (PO, TOTAL, Store, ShipUID) "
                                            "VALUES ('D', 0, 0, 0)")
                                 .arg(store)));
        EXPECT_EQ(db().rawValue(QStringLiteral("SELECT count(*) FROM POHeader%1 WHERE SHIPDATE "
                                               "IS NOT NULL")
                                    .arg(store)),
                  QStringLiteral("1"));
    }
}

TEST_P(POTables, HeaderFieldsSurviveARoundTripWithItsQuoteRules) {
    prepare({});
    POHeaderRec& r = poHeader();
    const QStringList values =
        QString::fromUtf8("R1|VPO-0001|Y|O'NEIL|O'BRIEN|20240310|Z|SC1|20240301|20240302|O|S|"
                          "20240305|20240401|CCX|MGR|Łódź ☕ Warehouse North|Ground|N|00")
            .split(u'|');
    auto text = values.begin();
    for (FixedText* f :
         {&r.PO,         &r.VendorPONum, &r.SENTOUT,        &r.VENDORCODE, &r.WHO,
          &r.ETADATE,    &r.REMARKS,     &r.SCODE,          &r.ORDERDATE,  &r.CHANGEDATE,
          &r.STATUS,     &r.POTYPE,      &r.SHIPDATE,       &r.CANCELDATE, &r.CostCenter,
          &r.ApprovedBy, &r.BillTo,      &r.ShippingMethod, &r.POLL,       &r.Spare1})
        *f = *text++;
    r.TOTAL = 1234567; // 123.4567 → 123.46 in a DECIMAL(18,2) column
    r.Store = -2;
    r.ShipUID = -32768;
    QStringList expected = texts(jovDBSM_POHeader::definition(), r);
    expected[4] = QStringLiteral("O BRIEN").leftJustified(15);
    expected[9] = QStringLiteral("1234600");

    ASSERT_TRUE(insert(kPOHeader)) << Err().Description.toStdString();
    // clang-format off
    const QString sent = QStringList{
        q("R1", 8), q("VPO-0001", 12), q("Y", 1), q("O''NEIL", 15), q("O BRIEN", 15),
        q("20240310", 8), q("Z", 1), q("SC1", 8), q("20240301", 8), "123.4567", q("20240302", 8),
        q("O", 1), q("S", 1), "-2", q("20240305", 8), q("20240401", 8), q("CC", 2), q("MGR", 8),
        q(QString::fromUtf8("Łódź ☕ Warehous"), 15), q("Ground", 16), "-32768", q("N", 1),
        q("00", 19)}.join(u',');
    // clang-format on
    EXPECT_EQ(hooks.lastValues, sent);

    // Read back by the key holding the vendor code, with its apostrophe.
    r = POHeaderRec{};
    r.SENTOUT = QStringLiteral("Y");
    r.VENDORCODE = QStringLiteral("O'NEIL");
    r.PO = QStringLiteral("R1");
    ASSERT_TRUE(db::gfbDB_Operation(kPOHeader, db::kOpEqual, 2)) << Err().Description.toStdString();
    EXPECT_EQ(texts(jovDBSM_POHeader::definition(), r), expected);
}

TEST_P(POTables, LineFieldsSurviveARoundTrip) {
    prepare({});
    POLineRec& r = poLine();
    r.PO = QStringLiteral("L'1");
    r.LineNum = 7;
    r.ARCode = QString::fromUtf8("AR-Grüße-123456789");
    r.SCode = QStringLiteral("S'C");
    r.OrderDate = QStringLiteral("20240301");
    r.Quantity2Order = 2.5f;
    r.Cost = 123456;
    r.LineTotal = -308640;
    r.Tags = 1.25f;
    r.ChangeDate = QStringLiteral("20240302");
    r.Status = QStringLiteral("R");
    r.Store = 3;
    r.InvUID = 100000;
    r.Spare = -5;
    r.OnOrder = 0.5f;
    r.Received = 2;
    r.Poll = QStringLiteral("Y");
    r.Spare1 = QStringLiteral("0"); // no zero rule on lines
    QStringList expected = texts(jovDBSM_POLine::definition(), r);
    expected.replaceInStrings(QStringLiteral("'"), QStringLiteral(" "));
    ASSERT_TRUE(insert(kPOLine)) << Err().Description.toStdString();
    r = POLineRec{};
    r.PO = QStringLiteral("L 1");
    r.LineNum = 7;
    ASSERT_TRUE(db::gfbDB_Operation(kPOLine, db::kOpEqual, 0)) << Err().Description.toStdString();
    EXPECT_EQ(texts(jovDBSM_POLine::definition(), r), expected);
}

TEST_P(POTables, HeaderRowsOfAnotherProgramFollowTheReadRules) {
    prepare({});
    const struct {
        const char* po;
        const char* spare1;
        const char* shipUID;
        const char* readSpare1;
        int readShipUID; // the 16-bit field holds the nearest value
    } rows[] = {{"A", "'0'", "5", "", 5},
                {"B", "'0      '", "70000", "", 32767},
                {"C", "'00'", "-70000", "00", -32768},
                {"D", "' 0'", "-1", "", -1},
                {"E", "NULL", "0", "", 0},
                {"F", "'01'", "32767", "01", 32767}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.po);
        ASSERT_TRUE(db().raw(QStringLiteral("INSERT INTO POHeader (PO, TOTAL, Store, ShipUID, "
                                            "Spare1, WHO) VALUES ('%1', 1.5, 2, %2, %3, NULL)")
                                 .arg(row.po, row.shipUID, row.spare1)));
        poHeader().PO = QString::fromLatin1(row.po);
        ASSERT_TRUE(db::gfbDB_Operation(kPOHeader, db::kOpEqual, 0));
        EXPECT_EQ(poHeader().Spare1.str(), QString::fromLatin1(row.readSpare1).leftJustified(19));
        EXPECT_EQ(poHeader().ShipUID, row.readShipUID);
        EXPECT_EQ(poHeader().WHO.str(), QString(15, u' '));
        EXPECT_EQ(poHeader().TOTAL, 15000);
    }
}

// Unique on every key, with repeating leading segments; made through the record manager or, for
// store 7, by another program in tables of its own, padded and unpadded.
TEST_P(POTables, EveryKeyWalksInOrderBothWays) {
    const struct {
        const char *po, *vendorPO, *sentOut, *vendor, *who, *status, *type, *poll;
    } headers[] = {{"P1", "V5", "Y", "ACME", "BOB", "O", "S", "N"},
                   {"P2", "V3", "N", "ACME", "ANN", "R", "S", "Y"},
                   {"P3", "V1", "Y", "BETA", "BOB", "O", "D", "N"},
                   {"P4", "V4", "N", "BETA", "ANN", "R", "D", "N"},
                   {"P5", "V2", "Y", "ACME", "ANN", "O", "S", "Y"}};
    const struct {
        const char* po;
        int line;
        const char *arCode, *status;
        int invUID;
        const char* poll;
    } lines[] = {{"X", 1, "B", "R", 20, "N"},
                 {"X", 2, "A", "O", 10, "Y"},
                 {"X", 3, "B", "R", 30, "N"},
                 {"W", 1, "A", "R", 10, "N"},
                 {"W", 2, "B", "O", 30, "Y"}};
    const struct {
        std::int16_t table, key;
        const char* order;
    } walks[] = {
        {kPOHeader, 0, "P1 P2 P3 P4 P5"}, {kPOHeader, 1, "P3 P5 P2 P4 P1"},
        {kPOHeader, 2, "P2 P4 P1 P5 P3"}, {kPOHeader, 3, "P2 P4 P5 P1 P3"},
        {kPOHeader, 4, "P1 P3 P5 P2 P4"}, {kPOHeader, 5, "P3 P1 P5 P4 P2"},
        {kPOHeader, 6, "P1 P3 P4 P2 P5"}, {kPOLine, 0, "W1 W2 X1 X2 X3"},
        {kPOLine, 1, "W1 X2 X1 W2 X3"},   {kPOLine, 2, "W1 X2 W2 X1 X3"},
        {kPOLine, 3, "W2 W1 X2 X1 X3"}, // by PO, Status, LineNum, not as index 3 (Status first)
        {kPOLine, 4, "W1 X1 X3 W2 X2"},
    };
    for (const QString store : {"", "7"}) {
        SCOPED_TRACE(store.toStdString());
        const bool foreign = !store.isEmpty();
        if (foreign) {
            ASSERT_TRUE(
                db().raw(foreignCreate(jovDBSM_POHeader::definition(), "POHeader7", !pg())));
            ASSERT_TRUE(db().raw(foreignCreate(jovDBSM_POLine::definition(), "POLine7", !pg())));
        }
        prepare(store);
        bool pad = false;
        auto t = [&](const char* s, int w) {
            pad = !pad;
            return pad ? q(QString::fromLatin1(s), w) : q(QString::fromLatin1(s), 0);
        };
        for (const auto& h : headers) {
            POHeaderRec& r = poHeader();
            r = POHeaderRec{};
            if (foreign) {
                ASSERT_TRUE(db().raw(
                    QStringLiteral("INSERT INTO POHeader7 (PO, VendorPONum, SENTOUT, VENDORCODE, "
                                   "WHO, STATUS, POTYPE, POLL, TOTAL, Store, ShipUID) VALUES (") +
                    QStringList{t(h.po, 8), t(h.vendorPO, 12), t(h.sentOut, 1), t(h.vendor, 15),
                                t(h.who, 15), t(h.status, 1), t(h.type, 1), t(h.poll, 1), "0", "0",
                                "0"}
                        .join(u',') +
                    u')'));
                continue;
            }
            const std::pair<FixedText*, const char*> fields[] = {
                {&r.PO, h.po},           {&r.VendorPONum, h.vendorPO},
                {&r.SENTOUT, h.sentOut}, {&r.VENDORCODE, h.vendor},
                {&r.WHO, h.who},         {&r.STATUS, h.status},
                {&r.POTYPE, h.type},     {&r.POLL, h.poll}};
            for (auto [f, v] : fields)
                *f = QString::fromLatin1(v);
            ASSERT_TRUE(insert(kPOHeader)) << Err().Description.toStdString();
        }
        for (const auto& l : lines) {
            if (foreign) {
                ASSERT_TRUE(db().raw(
                    QStringLiteral("INSERT INTO POLine7 VALUES(%1, %2, %3, '', NULL, 1, 2, 2, 0, "
                                   "NULL, %4, 0, %5, 0, 0, 0, %6, '')")
                        .arg(t(l.po, 8))
                        .arg(l.line)
                        .arg(t(l.arCode, 15), t(l.status, 1))
                        .arg(l.invUID)
                        .arg(t(l.poll, 1))));
                continue;
            }
            POLineRec& r = poLine();
            r = POLineRec{};
            r.PO = QString::fromLatin1(l.po);
            r.LineNum = static_cast<std::int16_t>(l.line);
            r.ARCode = QString::fromLatin1(l.arCode);
            r.Status = QString::fromLatin1(l.status);
            r.InvUID = l.invUID;
            r.Poll = QString::fromLatin1(l.poll);
            ASSERT_TRUE(insert(kPOLine)) << Err().Description.toStdString();
        }
        for (const auto& w : walks) {
            const QStringList order = QString::fromLatin1(w.order).split(u' ');
            EXPECT_EQ(walk(w.table, w.key, true), order) << "table " << w.table << " key " << w.key;
            EXPECT_EQ(walk(w.table, w.key, false), QStringList(order.rbegin(), order.rend()))
                << "table " << w.table << " key " << w.key;
        }
        // A keyed lookup in the middle of each table.
        poLine().PO = QStringLiteral("X");
        poLine().Status = QStringLiteral("R");
        poLine().LineNum = 3;
        ASSERT_TRUE(db::gfbDB_Operation(kPOLine, db::kOpEqual, 3));
        EXPECT_EQ(poLine().InvUID, 30);
        poHeader().WHO = QStringLiteral("ANN");
        poHeader().SENTOUT = QStringLiteral("Y");
        poHeader().PO = QStringLiteral("P5");
        ASSERT_TRUE(db::gfbDB_Operation(kPOHeader, db::kOpEqual, 3));
        EXPECT_EQ(poHeader().VendorPONum.trimmed(), QStringLiteral("V2"));
    }
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, POTables, ::testing::ValuesIn(allBackends()), backendName);

} // namespace
} // namespace vx::dbtest
