// One suite, run on every backend: what the record manager relies on, whatever the engine.
// Reads and values here; changes, table rebuilds, the server object and failing logins in
// engine_conformance_changes_test.cpp.
#include "db/testing/conformance.h"

namespace vx::dbtest {
namespace {

TEST_P(EngineConformance, OpenConnectionStateAndAClosedOne) {
    EXPECT_EQ(conn->state(), 1);
    auto closed = db().engine().connection();
    EXPECT_EQ(closed->state(), 0);
    EXPECT_FALSE(closed->execute(QStringLiteral("CREATE TABLE t (a INT)")));
    EXPECT_NE(closed->lastError().number, 0);
    EXPECT_FALSE(closed->openRecordset(QStringLiteral("SELECT 1")));
}

TEST_P(EngineConformance, ExecuteReportsRowsAffected) {
    const struct {
        const char* sql;
        long rows;
    } steps[] = {
        {"CREATE TABLE Vendor (VendorID CHAR(6), Name CHAR(20), Balance DECIMAL(18,4),)", -1},
        {"Create Index idx_0 On Vendor (VendorID)", -1},
        {"INSERT INTO Vendor VALUES('V1', 'One', 1)", 1},
        {"INSERT INTO Vendor VALUES('V2', 'Two', 2)", 1},
        {"INSERT INTO jov.Vendor VALUES('V3', 'Three', 3)", 1},
        {"UPDATE Vendor SET Balance = Balance + 1", 3},
        {"UPDATE Vendor SET Balance = 0 WHERE VendorID = 'none'", 0},
        {"DELETE FROM Vendor WHERE VendorID = 'V2'", 1},
        {"SELECT * FROM Vendor", -1},
        {"ALTER TABLE Vendor ADD Phone CHAR(12)", -1},
        {"Drop index Vendor.idx_0", -1},
        {"DELETE FROM Vendor", 2},
        {"DROP TABLE Vendor", -1},
    };
    for (const auto& s : steps)
        EXPECT_EQ(exec(s.sql), s.rows) << s.sql;
}

TEST_P(EngineConformance, MissingTableIsError3078) {
    for (const char* sql : {"SELECT TOP 1 * FROM NoSuch", "SELECT * FROM jov.NoSuch ORDER BY a"}) {
        EXPECT_FALSE(conn->openRecordset(sql)) << sql;
        EXPECT_EQ(conn->lastError().number, db::kErrInvalidObject) << sql;
        EXPECT_TRUE(conn->lastError().description.startsWith("Invalid object name")) << sql;
        EXPECT_TRUE(conn->lastError().description.contains("nosuch", Qt::CaseInsensitive));
    }
    EXPECT_FALSE(conn->execute(QStringLiteral("DELETE FROM NoSuch")));
    EXPECT_EQ(conn->lastError().number, db::kErrInvalidObject);
    // Any other failure is the engine's, with its own text.
    EXPECT_FALSE(conn->execute(QStringLiteral("CREATE TABLE (")));
    EXPECT_EQ(conn->lastError().number, db::kErrEngine);
    EXPECT_FALSE(conn->lastError().description.isEmpty());
    exec(QStringLiteral("CREATE TABLE Later (a INT)")); // the connection still works
}

TEST_P(EngineConformance, CharValuesReadPaddedAndCompareIgnoringTrailingBlanks) {
    exec(QStringLiteral("CREATE TABLE invt2 (ItemID CHAR(8), Descr CHAR(10), Qty INT)"));
    // Another program stores the values as it likes: padded, unpadded, with leading blanks.
    ASSERT_TRUE(db().raw(QStringLiteral(
        "INSERT INTO invt2 VALUES ('ab', 'x', 1); INSERT INTO invt2 VALUES ('cd      ', 'y ', 2);"
        "INSERT INTO invt2 VALUES ('  ef', 'Grüße €', 3); INSERT INTO invt2 VALUES ('g', '𝄞', "
        "4)")));
    EXPECT_EQ(rows(QStringLiteral("SELECT ItemID, Descr FROM invt2 ORDER BY Qty")),
              QStringList({"ab      |x         ", "cd      |y         ", "  ef    |Grüße €   ",
                           "g       |𝄞         "}));

    const struct {
        const char* where;
        const char* qty; // the Qty values found, in order
    } lookups[] = {
        {"ItemID = 'ab'", "1"},
        {"ItemID = 'ab      '", "1"},
        {"ItemID = 'cd'", "2"},
        {"ItemID = 'cd '", "2"},
        {"ItemID >= 'cd' ORDER BY ItemID", "2|4"},
        {"ltrim(ItemID) = 'ef'", "3"},
        {"Descr = 'y'", "2"},
        {"ItemID = 'ab' AND Descr = 'x         '", "1"},
    };
    for (const auto& l : lookups) {
        QStringList found;
        for (const QString& r : rows(QStringLiteral("SELECT Qty FROM invt2 WHERE ") + l.where))
            found << r;
        EXPECT_EQ(found.join(u'|'), QString(l.qty)) << l.where;
    }
}

TEST_P(EngineConformance, OrderAndUniquenessIgnoreTrailingBlanks) {
    exec(QStringLiteral("CREATE TABLE keys (k CHAR(4), n INT)"));
    exec(QStringLiteral("Create Unique Index idx_0 On keys (k)"));
    // With trailing blanks counted, "a  " would sort after "a\t" and "a" would not clash with it.
    exec(QStringLiteral("INSERT INTO keys VALUES('a\t', 1)"));
    exec(QStringLiteral("INSERT INTO keys VALUES('a', 2)"));
    EXPECT_FALSE(conn->execute(QStringLiteral("INSERT INTO keys VALUES('a  ', 3)")));
    EXPECT_EQ(rows(QStringLiteral("SELECT n FROM keys ORDER BY k")), QStringList({"2", "1"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT TOP 1 n FROM keys ORDER BY k DESC")), QStringList({"1"}));
}

TEST_P(EngineConformance, NumbersKeepTheirColumnsTypeAndScale) {
    exec(QStringLiteral("CREATE TABLE nums (id INT, d4 DECIMAL(18,4), d3 DECIMAL(18,3), "
                        "d2 DECIMAL(10,2), d0 DECIMAL, r REAL, s SMALLINT, i INT)"));
    const struct {
        const char* column;
        const char* literal;
        DbValue expected;
    } cases[] = {
        {"d4", "12.5", DbValue::decimal(125000, 4)},
        {"d4", "-0.00005", DbValue::decimal(-1, 4)},
        {"d4", "7", DbValue::decimal(70000, 4)},
        {"d3", "1234.5678", DbValue::decimal(1234568, 3)},
        {"d2", "1.005", DbValue::decimal(101, 2)},
        {"d2", "-3", DbValue::decimal(-300, 2)},
        {"d0", "12.5", DbValue::decimal(13, 0)},
        {"d0", "-12.5", DbValue::decimal(-13, 0)},
        {"d0", "123456789012345678", DbValue::decimal(123456789012345678, 0)},
        {"r", "1.5", DbValue::real(1.5)},
        {"r", "-2", DbValue::real(-2)},
        {"s", "-32768", DbValue::integer(-32768)},
        {"i", "2147483647", DbValue::integer(2147483647)},
        {"d4", "NULL", DbValue()},
        {"r", "NULL", DbValue()},
        {"s", "NULL", DbValue()},
    };
    int id = 0;
    for (const auto& c : cases) {
        ++id;
        exec(QStringLiteral("INSERT INTO nums (id, %1) VALUES(%2, %3)")
                 .arg(c.column)
                 .arg(id)
                 .arg(c.literal));
        const DbValue v =
            first(QStringLiteral("SELECT %1 FROM nums WHERE id = %2").arg(c.column).arg(id));
        EXPECT_EQ(v, c.expected) << c.column << " " << c.literal << " read "
                                 << v.toString().toStdString();
        EXPECT_EQ(v.scale(), c.expected.scale()) << c.column << " " << c.literal;
    }
}

TEST_P(EngineConformance, TextKeepsUnicodeAndQuotes) {
    exec(QStringLiteral("CREATE TABLE notes (id INT, body VARCHAR(100))"));
    const QString texts[] = {QStringLiteral("O''Brien"), QStringLiteral("Grüße, €5 — ok"),
                             QStringLiteral("中文 \"q\""), QStringLiteral("")};
    int id = 0;
    for (const QString& t : texts) {
        exec(QStringLiteral("INSERT INTO notes VALUES(%1, '%2')").arg(++id).arg(t));
        EXPECT_EQ(first(QStringLiteral("SELECT body FROM notes WHERE id = %1").arg(id)),
                  DbValue::text(QString(t).replace("''", "'")));
    }
    EXPECT_EQ(first(QStringLiteral("SELECT id FROM notes WHERE body = 'O''Brien'")).toInt(), 1);
    // NULL stays NULL, apart from the empty text.
    exec(QStringLiteral("INSERT INTO notes VALUES(9, NULL)"));
    EXPECT_TRUE(first(QStringLiteral("SELECT body FROM notes WHERE id = 9")).isNull());
    EXPECT_FALSE(first(QStringLiteral("SELECT body FROM notes WHERE id = 4")).isNull());
}

TEST_P(EngineConformance, RecordCountBofEofAndMoves) {
    exec(QStringLiteral("CREATE TABLE po (n INT, vendor CHAR(4))"));
    for (int n = 1; n <= 5; ++n)
        exec(QStringLiteral("INSERT INTO po VALUES(%1, 'v%2')").arg(n).arg(n % 2));
    const struct {
        const char* sql;
        QStringList ns;
    } queries[] = {
        {"SELECT * FROM po WHERE n > 9", {}},
        {"SELECT TOP 1 * FROM po WHERE n > 9", {}},
        {"SELECT TOP 1 * FROM po ORDER BY n DESC", {"5"}},
        {"SELECT TOP 1 n FROM po WHERE vendor = 'v1' ORDER BY n DESC", {"5"}},
        {"SELECT * FROM po WHERE vendor = 'v0' ORDER BY n", {"2", "4"}},
        {"SELECT n FROM po ORDER BY n", {"1", "2", "3", "4", "5"}},
    };
    for (const auto& q : queries) {
        SCOPED_TRACE(q.sql);
        auto rs = open(q.sql);
        ASSERT_TRUE(rs);
        const bool empty = q.ns.isEmpty();
        EXPECT_EQ(rs->bof(), empty);
        EXPECT_EQ(rs->eof(), empty);
        EXPECT_EQ(rs->recordCount(), q.ns.size());
        QStringList walked;
        for (; !rs->eof(); rs->moveNext())
            walked << rs->value(rs->fieldIndex("N")).toString();
        EXPECT_EQ(walked, q.ns); // counting read ahead, yet every row is still delivered
        EXPECT_FALSE(rs->moveNext());
        EXPECT_EQ(rs->recordCount(), q.ns.size());
        EXPECT_TRUE(rs->moveFirst());
        EXPECT_EQ(rs->eof(), empty);
        if (!empty) {
            EXPECT_EQ(rs->value(rs->fieldIndex("n")).toString(), q.ns.first());
        }
        EXPECT_TRUE(rs->value(99).isNull());
    }
}

TEST_P(EngineConformance, FieldsByOrdinalAndNameIgnoringCase) {
    exec(QStringLiteral(
        "CREATE TABLE POHeader (PONumber CHAR(8), Vendor CHAR(6), Total DECIMAL(18,4))"));
    exec(QStringLiteral("INSERT INTO POHeader VALUES('P1', 'V1', 10)"));
    auto rs = open(QStringLiteral("SELECT * FROM POHeader"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->fieldCount(), 3); // the hidden row locator is not a field
    EXPECT_EQ(rs->fieldName(1).toLower(), "vendor");
    EXPECT_EQ(rs->fieldIndex("VENDOR"), 1);
    EXPECT_EQ(rs->fieldIndex("total"), 2);
    EXPECT_EQ(rs->fieldIndex("vx_row_locator"), -1);
    EXPECT_EQ(rs->fieldIndex("nope"), -1);
    EXPECT_EQ(rs->value(2).toCurrency(), 100000);
}

INSTANTIATE_TEST_SUITE_P(Backends, EngineConformance, ::testing::ValuesIn(allBackends()),
                         backendName);

} // namespace
} // namespace vx::dbtest
