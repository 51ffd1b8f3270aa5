// One suite, run on every backend: what the record manager relies on, whatever the engine.
#include "db/testing/backends.h"

#include <QFileInfo>

namespace vx::dbtest {
namespace {

class EngineConformance : public BackendTest {
  protected:
    bool isPostgres() const { return onPostgresServer(GetParam()); }
    std::optional<long> exec(const QString& sql) {
        const auto r = conn->execute(sql);
        EXPECT_TRUE(r) << sql.toStdString() << ": " << conn->lastError().description.toStdString();
        return r;
    }
    std::unique_ptr<Recordset> open(const QString& sql) {
        auto rs = conn->openRecordset(sql);
        EXPECT_TRUE(rs) << sql.toStdString() << ": " << conn->lastError().description.toStdString();
        return rs;
    }
    QString rows(const QString& sql) {
        QStringList out;
        for (auto rs = open(sql); rs && !rs->eof(); rs->moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs->fieldCount(); ++i)
                fields << rs->value(i).toString();
            out << fields.join(u'|');
        }
        return out.join(u',');
    }
    DbValue first(const QString& sql) {
        auto rs = open(sql);
        return rs && !rs->eof() ? rs->value(0) : DbValue();
    }
    void fails(const QString& sql, long number = db::kErrEngine) {
        EXPECT_FALSE(conn->execute(sql)) << sql.toStdString();
        EXPECT_EQ(conn->lastError().number, number) << sql.toStdString();
    }
};

TEST_P(EngineConformance, ExecuteReportsRowsAffected) {
    EXPECT_EQ(conn->state(), 1);
    auto closed = db().engine().connection();
    EXPECT_EQ(closed->state(), 0);
    EXPECT_FALSE(closed->execute(QStringLiteral("CREATE TABLE t (a INT)")));
    EXPECT_NE(closed->lastError().number, 0);
    EXPECT_FALSE(closed->openRecordset(QStringLiteral("SELECT 1")));
    // clang-format off
    const std::pair<const char*, long> steps[] = {
        {"CREATE TABLE Vendor (VendorID CHAR(6), Name CHAR(20), Balance DECIMAL(18,4),)", -1},
        {"Create Index idx_0 On Vendor (VendorID)", -1}, {"INSERT INTO Vendor VALUES('V1', 'One', 1)", 1},
        {"INSERT INTO Vendor VALUES('V2', 'Two', 2)", 1}, {"INSERT INTO jov.Vendor VALUES('V3', 'x', 3)", 1},
        {"UPDATE Vendor SET Balance = Balance + 1", 3}, {"DELETE FROM Vendor WHERE VendorID = 'V2'", 1},
        {"UPDATE Vendor SET Balance = 0 WHERE VendorID = 'none'", 0}, {"SELECT * FROM Vendor", -1},
        {"ALTER TABLE Vendor ADD Phone CHAR(12)", -1}, {"Drop index Vendor.idx_0", -1},
        {"DELETE FROM Vendor", 2}, {"DROP TABLE Vendor", -1}};
    // clang-format on
    for (const auto& [sql, n] : steps)
        EXPECT_EQ(exec(sql), n) << sql;
}

TEST_P(EngineConformance, FailuresAreError3078ForAMissingTableElseTheEngines) {
    for (const char* sql : {"SELECT TOP 1 * FROM NoSuch", "SELECT * FROM jov.NoSuch ORDER BY a"}) {
        EXPECT_FALSE(conn->openRecordset(sql)) << sql;
        EXPECT_EQ(conn->lastError().number, db::kErrInvalidObject) << sql;
        EXPECT_TRUE(conn->lastError().description.startsWith("Invalid object name")) << sql;
        EXPECT_TRUE(conn->lastError().description.contains("nosuch", Qt::CaseInsensitive));
    }
    fails(QStringLiteral("DELETE FROM NoSuch"), db::kErrInvalidObject);
    fails(QStringLiteral("CREATE TABLE ("));
    EXPECT_FALSE(conn->lastError().description.isEmpty());
    // A query that fails on its first row fails to open; it is no empty result.
    exec(QStringLiteral("CREATE TABLE t (n INT)"));
    ASSERT_TRUE(db().raw(QStringLiteral("INSERT INTO t VALUES(%1)")
                             .arg(isPostgres() ? "-2147483648" : "-9223372036854775807 - 1")));
    EXPECT_FALSE(conn->openRecordset(QStringLiteral("SELECT abs(n) FROM t")));
    EXPECT_EQ(conn->lastError().number, db::kErrEngine);
    EXPECT_EQ(exec(QStringLiteral("DELETE FROM t")), 1); // the connection still works
}

TEST_P(EngineConformance, CharValuesReadPaddedAndCompareIgnoringTrailingBlanks) {
    exec(QStringLiteral("CREATE TABLE invt2 (ItemID CHAR(8), Descr CHAR(10), Qty INT)"));
    // Another program stores the values as it likes: padded, unpadded, with leading blanks.
    ASSERT_TRUE(db().raw(QStringLiteral(
        "INSERT INTO invt2 VALUES ('ab', 'x', 1); INSERT INTO invt2 VALUES ('cd      ', 'y ', 2);"
        "INSERT INTO invt2 VALUES ('  ef', 'Grüße €', 3); INSERT INTO invt2 VALUES ('g', '𝄞', "
        "4)")));
    EXPECT_EQ(rows(QStringLiteral("SELECT ItemID, Descr FROM invt2 ORDER BY Qty")),
              "ab      |x         ,cd      |y         ,  ef    |Grüße €   ,g       |𝄞         ");
    const std::pair<const char*, const char*> lookups[] = {
        {"ItemID = 'ab      ' AND Descr = 'x         '", "1"},
        {"ItemID = 'cd ' AND Descr = 'y'", "2"},
        {"ItemID >= 'cd' ORDER BY ItemID", "2,4"},
        {"ltrim(ItemID) = 'ef'", "3"}};
    for (const auto& [where, qty] : lookups)
        EXPECT_EQ(rows(QStringLiteral("SELECT Qty FROM invt2 WHERE ") + where), qty) << where;

    exec(QStringLiteral("CREATE TABLE keys (k CHAR(4), n INT)"));
    exec(QStringLiteral("Create Unique Index idx_0 On keys (k)"));
    // With trailing blanks counted, "a  " would sort after "a\t" and "a" would not clash with it.
    exec(QStringLiteral("INSERT INTO keys VALUES('a\t', 1)"));
    exec(QStringLiteral("INSERT INTO keys VALUES('a', 2)"));
    EXPECT_FALSE(conn->execute(QStringLiteral("INSERT INTO keys VALUES('a  ', 3)")));
    EXPECT_EQ(rows(QStringLiteral("SELECT n FROM keys ORDER BY k")), "2,1");
    EXPECT_EQ(rows(QStringLiteral("SELECT TOP 1 n FROM keys ORDER BY k DESC")), "1");
}

TEST_P(EngineConformance, ValuesKeepTheirColumnsTypeAndScale) {
    exec(QStringLiteral("CREATE TABLE nums (id INT, d4 DECIMAL(18,4), d3 DECIMAL(18,3), "
                        "d2 DECIMAL(10,2), d0 DECIMAL, r REAL, s SMALLINT, i INT, t VARCHAR(40))"));
    const struct {
        const char *column, *literal;
        DbValue expected;
    } cases[] = {// clang-format off
        {"d4", "12.5", DbValue::decimal(125000, 4)}, {"d4", "-0.00005", DbValue::decimal(-1, 4)},
        {"d2", "1.005", DbValue::decimal(101, 2)}, {"d2", "-3", DbValue::decimal(-300, 2)},
        {"d0", "-12.5", DbValue::decimal(-13, 0)}, {"r", "-1.5", DbValue::real(-1.5)},
        {"d0", "123456789012345678", DbValue::decimal(123456789012345678, 0)},
        {"s", "-32768", DbValue::integer(-32768)}, {"i", "2147483647", DbValue::integer(2147483647)},
        {"d4", "NULL", DbValue()}, {"t", "''", DbValue::text("")}, {"t", "'O''Brien'", DbValue::text("O'Brien")},
        {"t", "'Grüße, €5 — 中文 \"q\"'", DbValue::text("Grüße, €5 — 中文 \"q\"")}};
    // clang-format on
    int id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " " + c.literal);
        exec(QStringLiteral("INSERT INTO nums (id, %1) VALUES(%2, %3)")
                 .arg(c.column)
                 .arg(++id)
                 .arg(QString::fromUtf8(c.literal)));
        const DbValue v =
            first(QStringLiteral("SELECT %1 FROM nums WHERE id = %2").arg(c.column).arg(id));
        EXPECT_EQ(v, c.expected) << v.toString().toStdString();
        EXPECT_EQ(v.scale(), c.expected.scale());
    }
    EXPECT_EQ(first(QStringLiteral("SELECT id FROM nums WHERE t = 'O''Brien'")).toInt(), 12);
}

TEST_P(EngineConformance, RecordCountBofEofMovesAndFields) {
    exec(QStringLiteral("CREATE TABLE po (n INT, vendor CHAR(4), Total DECIMAL(18,4))"));
    for (int n = 1; n <= 5; ++n)
        exec(QStringLiteral("INSERT INTO po VALUES(%1, 'v%2', %1)").arg(n).arg(n % 2));
    const std::pair<const char*, QStringList> queries[] = {
        {"SELECT * FROM po WHERE n > 9", {}},
        {"SELECT TOP 1 * FROM po WHERE n > 9", {}},
        {"SELECT TOP 1 * FROM po ORDER BY n DESC", {"5"}},
        {"SELECT * FROM po WHERE vendor = 'v0' ORDER BY n", {"2", "4"}},
        {"SELECT n FROM po ORDER BY n", {"1", "2", "3", "4", "5"}},
    };
    for (const auto& [sql, ns] : queries) {
        SCOPED_TRACE(sql);
        auto rs = open(sql);
        ASSERT_TRUE(rs);
        EXPECT_EQ(rs->bof(), ns.isEmpty());
        EXPECT_EQ(rs->eof(), ns.isEmpty());
        EXPECT_EQ(rs->recordCount(), ns.size());
        QStringList walked;
        for (; !rs->eof(); rs->moveNext())
            walked << rs->value(rs->fieldIndex("N")).toString();
        EXPECT_EQ(walked, ns); // counting read ahead, yet every row is still delivered
        EXPECT_FALSE(rs->moveNext());
        EXPECT_EQ(rs->recordCount(), ns.size());
        EXPECT_TRUE(rs->moveFirst());
        EXPECT_EQ(rs->eof(), ns.isEmpty());
        EXPECT_EQ(rs->value(0).toString(), ns.value(0));
        EXPECT_TRUE(rs->value(99).isNull());
    }
    auto rs = open(QStringLiteral("SELECT * FROM po WHERE n = 1"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->fieldCount(), 3); // the hidden row locator is not a field
    EXPECT_EQ(rs->fieldName(1).toLower(), "vendor");
    EXPECT_EQ(rs->fieldIndex("VENDOR"), 1);
    EXPECT_EQ(rs->fieldIndex("vx_row_locator"), -1);
    EXPECT_EQ(rs->fieldIndex("nope"), -1);
    EXPECT_EQ(rs->value(2).toCurrency(), 10000);
}

TEST_P(EngineConformance, LargeResultStreamsWhileOtherStatementsRun) {
    exec(QStringLiteral("CREATE TABLE big (n INT, name CHAR(12))"));
    exec(QStringLiteral("CREATE TABLE side (n INT)"));
    ASSERT_TRUE(db().raw(QStringLiteral(
        "WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < 20000) "
        "INSERT INTO big SELECT n, 'row' || n FROM s")));
    // On PostgreSQL the rows come from a server cursor, a part at a time (6000 is past the first).
    const QString fetching = "SELECT COUNT(*) FROM pg_stat_activity WHERE datname = "
                             "current_database() AND pid <> pg_backend_pid() AND query ILIKE "
                             "'%fetch %'";
    auto rs = open(QStringLiteral("SELECT * FROM big ORDER BY n"));
    ASSERT_TRUE(rs);
    long walked = 0;
    for (; !rs->eof(); rs->moveNext()) {
        const long n = rs->value(0).toInt();
        ASSERT_EQ(n, ++walked);
        EXPECT_TRUE(n != 6000 || !isPostgres() || db().rawValue(fetching) == "1");
        // Another long result read whole in the middle of this one; other tables read and written.
        EXPECT_TRUE(n != 7000 || rows("SELECT n FROM big WHERE n > 15000").count(u',') == 4999);
        if (n % 1000 == 0) {
            exec(QStringLiteral("INSERT INTO side VALUES(%1)").arg(n));
            EXPECT_EQ(rows("SELECT TOP 1 n FROM side ORDER BY n DESC"), QString::number(n));
            EXPECT_EQ(rows(QStringLiteral("SELECT name FROM big WHERE n = %1").arg(n)),
                      QStringLiteral("row%1").arg(n).leftJustified(12));
        }
    }
    EXPECT_EQ(walked, 20000);
    // Started again, it reads from row one; let go half read, it leaves the table free.
    ASSERT_TRUE(rs->moveFirst());
    for (int i = 0; i < 6000; ++i)
        rs->moveNext();
    EXPECT_EQ(rs->value(0).toInt(), 6001);
    rs.reset();
    exec(QStringLiteral("ALTER TABLE big ADD extra INT"));
    EXPECT_EQ(first(QStringLiteral("SELECT COUNT(*) FROM big")).toInt(), 20000);

    // Queries in a transaction see its changes.
    exec(QStringLiteral("BEGIN TRANSACTION"));
    exec(QStringLiteral("INSERT INTO side VALUES(1)"));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM side")), "21");
    exec(QStringLiteral("ROLLBACK TRANSACTION"));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM side")), "20");
}

TEST_P(EngineConformance, AScanGivesWhatMovesGiveAndStopsWhereItIsTold) {
    exec(QStringLiteral("CREATE TABLE scanned (n INT, code CHAR(6), cost DECIMAL(18,3), "
                        "qty REAL, note VARCHAR(20))"));
    // Past the first part of a server cursor and of an ODBC fetch; some CHARs stored unpadded,
    // NULLs and texts beyond ASCII.
    ASSERT_TRUE(db().raw(QStringLiteral(
        "WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < 12000) "
        "INSERT INTO scanned SELECT n, CASE WHEN n % 3 = 0 THEN 'c' || n ELSE 'é' || n END, "
        "n * 1.125, n * 0.5, CASE WHEN n % 5 = 0 THEN NULL ELSE 'x' || n END FROM s")));
    const QString sql = QStringLiteral("SELECT * FROM scanned ORDER BY n");
    const QStringList moved = rows(sql).split(u',');
    ASSERT_EQ(moved.size(), 12000);
    const auto line = [](const db::RowView& row) {
        QStringList fields;
        for (int i = 0; i < 5; ++i)
            fields << row.value(i).toString();
        return fields.join(u'|');
    };
    struct Case {
        const char* what;
        int movesFirst;  // rows moved over before the scan
        bool countFirst; // recordCount() (which reads ahead) before the scan
        long stopAfter;  // the scan stops after this many visits (0: never)
    };
    const Case cases[] = {{"whole", 0, false, 0},           {"after moves", 3, false, 0},
                          {"after a count", 0, true, 0},    {"stopped at once", 0, false, 1},
                          {"stopped late", 2, false, 5001}, {"counted, stopped", 0, true, 4999}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto rs = open(sql);
        ASSERT_TRUE(rs);
        if (c.countFirst) {
            EXPECT_EQ(rs->recordCount(), 12000);
        }
        for (int i = 0; i < c.movesFirst; ++i)
            rs->moveNext();
        QStringList scanned;
        bool textsAgree = true;
        const bool ok = rs->scan([&](const db::RowView& row) {
            scanned << line(row);
            // The CHAR's bytes are its value without the padding.
            const QString code = row.value(1).toString();
            textsAgree =
                textsAgree &&
                QString::fromUtf8(row.utf8(1).data(), qsizetype(row.utf8(1).size())).trimmed() ==
                    code.trimmed();
            return c.stopAfter == 0 || scanned.size() < c.stopAfter;
        });
        EXPECT_TRUE(ok) << rs->lastError().description.toStdString();
        EXPECT_TRUE(textsAgree);
        const long seen = static_cast<long>(scanned.size());
        EXPECT_EQ(scanned, moved.mid(c.movesFirst, seen));
        if (c.stopAfter == 0) {
            EXPECT_EQ(seen, 12000 - c.movesFirst);
            EXPECT_TRUE(rs->eof());
            EXPECT_EQ(rs->recordCount(), 12000);
            continue;
        }
        // Stopped: the row after the last one visited is current, and the walk goes on from it.
        ASSERT_FALSE(rs->eof());
        EXPECT_EQ(rs->value(0).toInt(), c.movesFirst + seen + 1);
        long rest = 0;
        EXPECT_TRUE(rs->scan([&](const db::RowView&) { return ++rest > 0; }));
        EXPECT_EQ(c.movesFirst + seen + rest, 12000);
        EXPECT_TRUE(rs->eof());
    }
}

TEST_P(EngineConformance, UpdateAndDeleteActOnTheRowRead) {
    exec(QStringLiteral("CREATE TABLE Vendor (id INT, Name CHAR(10), Balance DECIMAL(10,2))"));
    for (int id = 1; id <= 3; ++id)
        exec(QStringLiteral("INSERT INTO Vendor VALUES(%1, 'v%1', %1)").arg(id));
    auto rs = open(QStringLiteral("SELECT TOP 1 * FROM Vendor WHERE id = 2"));
    ASSERT_TRUE(rs);
    rs->setValue(1, DbValue::text(QStringLiteral("Zed's")));
    rs->setValue(2, DbValue::decimal(12345, 3));
    ASSERT_TRUE(rs->update()) << rs->lastError().description.toStdString();
    EXPECT_EQ(rs->value(1), DbValue::text(QStringLiteral("Zed's     "))); // read back as stored
    EXPECT_EQ(rs->value(2), DbValue::decimal(1235, 2));
    EXPECT_EQ(db().rawValue(QStringLiteral("SELECT Name FROM Vendor WHERE id = 2"))->trimmed(),
              "Zed's");
    rs->setValue(1, DbValue::text(QString())); // a second change of the same row
    rs->setValue(2, DbValue::integer(7));
    ASSERT_TRUE(rs->update()) << rs->lastError().description.toStdString();
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM Vendor ORDER BY id")),
              "1|v1        |1,2|          |7,3|v3        |3");
    EXPECT_EQ(db().rawValue("SELECT COUNT(*) FROM Vendor WHERE id = 2 AND Name IS NOT NULL"), "1");
    {
        auto last = open(QStringLiteral("SELECT * FROM Vendor ORDER BY id DESC"));
        ASSERT_TRUE(last);
        ASSERT_TRUE(last->deleteCurrent()) << last->lastError().description.toStdString();
        EXPECT_FALSE(last->deleteCurrent()); // already gone
        last->moveNext();
        EXPECT_EQ(last->value(0).toInt(), 2);
    } // (a recordset still being walked keeps SQLite's read lock; the raw client writes below)
    EXPECT_EQ(db().rawValue(QStringLiteral("SELECT COUNT(*) FROM Vendor WHERE id = 3")), "0");

    // A row deleted by another cannot be updated; a count is read-only; past the end, no row.
    auto gone = open(QStringLiteral("SELECT * FROM Vendor WHERE id = 1"));
    ASSERT_TRUE(db().raw(QStringLiteral("DELETE FROM Vendor WHERE id = 1")));
    gone->setValue(1, DbValue::text(QStringLiteral("x")));
    EXPECT_FALSE(gone->update());
    EXPECT_TRUE(gone->lastError().description.contains("Row cannot be located"));
    auto count = open(QStringLiteral("SELECT COUNT(*) FROM Vendor"));
    count->setValue(0, DbValue::integer(9));
    EXPECT_FALSE(count->update());
    EXPECT_FALSE(count->deleteCurrent());
    auto empty = open(QStringLiteral("SELECT * FROM Vendor WHERE id = 42"));
    EXPECT_FALSE(empty->deleteCurrent());
    EXPECT_EQ(empty->lastError().number, 3021);
    if (GetParam() == BackendKind::ODBC) {
        // Through ODBC a row is found by the values read: of two identical rows, neither.
        for (int i = 0; i < 2; ++i)
            exec(QStringLiteral("INSERT INTO Vendor VALUES(5, 'twin', 5)"));
        auto twin = open(QStringLiteral("SELECT TOP 1 * FROM Vendor WHERE id = 5"));
        twin->setValue(2, DbValue::integer(6));
        EXPECT_FALSE(twin->update());
        EXPECT_TRUE(twin->lastError().description.contains("2 rows hold the same values"));
        EXPECT_FALSE(twin->deleteCurrent());
        EXPECT_EQ(db().rawValue(QStringLiteral("SELECT COUNT(*) FROM Vendor WHERE Balance = 5")),
                  "2");
    }
}

TEST_P(EngineConformance, AlterColumnKeepsEveryRowAndTheIndexes) {
    exec(QStringLiteral("CREATE TABLE invt2 (ItemID CHAR(8) NOT NULL, Descr CHAR(6), "
                        "Price DECIMAL(10,2), Qty INT)"));
    exec(QStringLiteral("Create Unique Index idx_0 On invt2 (ItemID)"));
    exec(QStringLiteral("Create Index idx_1 On invt2 (Descr, Qty)"));
    for (int i = 1; i <= 50; ++i)
        exec(QStringLiteral("INSERT INTO invt2 VALUES('I%1', 'd%1', %1.25, %1)").arg(i));
    EXPECT_EQ(exec(QStringLiteral("ALTER TABLE invt2 ALTER COLUMN Descr CHAR(20)")), -1);
    EXPECT_EQ(exec(QStringLiteral("ALTER TABLE invt2 ALTER COLUMN Price DECIMAL(18,4)")), -1);
    EXPECT_EQ(db().rawValue(QStringLiteral("SELECT COUNT(*) FROM invt2")), "50");
    auto rs = open(QStringLiteral("SELECT * FROM invt2 WHERE Descr = 'd7'"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->recordCount(), 1); // still compared ignoring trailing blanks
    EXPECT_EQ(rs->value(1), DbValue::text(QStringLiteral("d7").leftJustified(20)));
    EXPECT_EQ(rs->value(2), DbValue::decimal(72500, 4));
    EXPECT_EQ(
        db().rawValue(
            QStringLiteral("SELECT COUNT(*) FROM %1 IN ('invt2_idx_0', 'invt2_idx_1')")
                .arg(isPostgres() ? "pg_indexes WHERE indexname" : "sqlite_master WHERE name")),
        "2");
    EXPECT_FALSE(conn->execute(QStringLiteral("INSERT INTO invt2 VALUES('I7 ', 'x', 1, 1)")))
        << "the unique index still holds, ignoring trailing blanks";
    EXPECT_FALSE(conn->execute(QStringLiteral("ALTER TABLE invt2 ALTER COLUMN Nope INT")));
    fails(QStringLiteral("ALTER TABLE NoSuch ALTER COLUMN a INT"), db::kErrInvalidObject);
}

TEST_P(EngineConformance, ServerListsDatabasesAndTablesAndRefusesBadLogins) {
    exec(QStringLiteral("CREATE TABLE POHeader (a INT)"));
    exec(QStringLiteral("CREATE TABLE POLine (a INT)"));
    auto server = db().engine().server();
    EXPECT_EQ(server->status(), 0);
    EXPECT_FALSE(isPostgres() && server->createDatabase("vx_never", false)) << "not connected";
    ASSERT_EQ(server->connect(db().login()), 1) << server->lastError().description.toStdString();
    EXPECT_EQ(server->status(), 1);
    const auto databases = server->databases();
    ASSERT_TRUE(databases);
    EXPECT_TRUE(databases->contains(db().login().database));
    EXPECT_FALSE(databases->contains("postgres") || databases->contains("template1"));
    const auto tables = server->tables(db().login().database);
    ASSERT_TRUE(tables);
    EXPECT_EQ(tables->join(u',').toLower(), "poheader,poline");
    EXPECT_FALSE(server->tables("nosuch_db"));
    // Refused logins fail with clear reasons.
    for (const FailingLogin& f : db().failingLogins()) {
        SCOPED_TRACE(f.what);
        const auto engine = db::engineFor(f.login.server, QString());
        ASSERT_TRUE(engine);
        auto c = engine->connection();
        EXPECT_FALSE(c->open(f.login));
        EXPECT_EQ(c->state(), 0);
        const QString why = c->lastError().description;
        EXPECT_TRUE(why.contains(f.expected)) << why.toStdString();
        EXPECT_TRUE(f.login.password.isEmpty() || !why.contains(f.login.password));
        EXPECT_TRUE(f.mustNotExist.isEmpty() || !QFileInfo::exists(f.mustNotExist));
        EXPECT_FALSE(c->execute(QStringLiteral("CREATE TABLE t (a INT)")));
        auto server = engine->server();
        EXPECT_EQ(server->connect(f.login) != 1, f.serverRefuses);
        EXPECT_TRUE(!f.serverRefuses || !server->lastError().description.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, EngineConformance, ::testing::ValuesIn(allBackends()),
                         backendName);

} // namespace
} // namespace vx::dbtest
