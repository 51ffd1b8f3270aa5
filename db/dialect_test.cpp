// The translation of the suite's SQL for each engine: pinned texts, and SQLite's results.
#include "db/dialect.h"
#include "db/sqlite/sqlite_internal.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace vx::db {
namespace {

struct Pinned {
    const char* in;
    const char* sqlite; // nullptr: as for PostgreSQL; "table|column|type": rebuilt (AlterColumn)
    const char* postgres;
};

// clang-format off
const Pinned kStatements[] = {
    {"SELECT TOP 1 * FROM jov.invt2", nullptr, "SELECT * FROM invt2 LIMIT 1"},
    // A keyword glued to a literal keeps a blank after the collation.
    {"SELECT * FROM POHeader WHERE (STATUS = 'C' or Status = 'B'or Status = 'U')",
     "SELECT * FROM POHeader WHERE (STATUS = 'C' COLLATE RTRIM or Status = 'B' COLLATE RTRIM or "
     "Status = 'U' COLLATE RTRIM)",
     "SELECT * FROM POHeader WHERE (STATUS = 'C' or Status = 'B'or Status = 'U')"},
    {"SELECT TOP (3) a FROM (SELECT TOP 2 a FROM T ORDER BY a) x ; ",
     "SELECT a FROM (SELECT a FROM T ORDER BY a COLLATE RTRIM LIMIT 2) x LIMIT 3 ; ",
     "SELECT a FROM (SELECT a FROM T ORDER BY a LIMIT 2) x LIMIT 3 ; "},
    // Keyed reads on the inventory table compare ltrim(ItemID).
    {"SELECT TOP 1 * FROM invt WHERE LTRIM ( itemid )='A' ORDER BY ltrim(ItemID)",
     "SELECT * FROM invt WHERE (LTRIM ( itemid ) COLLATE RTRIM)='A' ORDER BY (ltrim(ItemID) COLLATE RTRIM) LIMIT 1",
     "SELECT * FROM invt WHERE CAST(LTRIM ( itemid ) AS bpchar)='A' ORDER BY CAST(ltrim(ItemID) AS bpchar) LIMIT 1"},
    // Literal text and quoted names are never touched.
    {"SELECT TOP 1 * FROM invt WHERE Notes='TOP 1 jov.x ltrim(ItemID) DECIMAL CHAR (5); O''Brien' ORDER BY [a b]",
     "SELECT * FROM invt WHERE Notes='TOP 1 jov.x ltrim(ItemID) DECIMAL CHAR (5); O''Brien' COLLATE RTRIM "
     "ORDER BY [a b] COLLATE RTRIM LIMIT 1",
     "SELECT * FROM invt WHERE Notes='TOP 1 jov.x ltrim(ItemID) DECIMAL CHAR (5); O''Brien' ORDER BY [a b] LIMIT 1"},
    // SQLite: only comparisons and sort terms get the blank-insensitive rule.
    {"UPDATE T SET a = 'x', T.b='y', c=CASE WHEN d<>'z' THEN 'w' END, e=(SELECT f FROM U WHERE g!='v') "
     "WHERE 'k'=h AND i>='j' OR k==' ' OR m->>'$.n' = 'o'",
     "UPDATE T SET a = 'x', T.b='y', c=CASE WHEN d<>'z' COLLATE RTRIM THEN 'w' END, e=(SELECT f FROM U "
     "WHERE g!='v' COLLATE RTRIM) WHERE 'k' COLLATE RTRIM=h AND i>='j' COLLATE RTRIM OR k==' ' COLLATE RTRIM "
     "OR m->>'$.n' COLLATE RTRIM = 'o' COLLATE RTRIM",
     "UPDATE T SET a = 'x', T.b='y', c=CASE WHEN d<>'z' THEN 'w' END, e=(SELECT f FROM U WHERE g!='v') "
     "WHERE 'k'=h AND i>='j' OR k==' ' OR m->>'$.n' = 'o'"},
    {"INSERT INTO T (a, b) SELECT a, 'x' FROM U WHERE b<'y' ORDER BY a; INSERT INTO T VALUES('a', 'b')",
     "INSERT INTO T (a, b) SELECT a, 'x' FROM U WHERE b<'y' COLLATE RTRIM ORDER BY a COLLATE RTRIM; "
     "INSERT INTO T VALUES('a', 'b')",
     "INSERT INTO T (a, b) SELECT a, 'x' FROM U WHERE b<'y' ORDER BY a; INSERT INTO T VALUES('a', 'b')"},
    {"SELECT a FROM T ORDER BY a||'x' ASC NULLS LAST, b COLLATE NOCASE, CASE WHEN c='d' THEN 0 END, "
     "f(g, h) DESC",
     "SELECT a FROM T ORDER BY a||'x' COLLATE RTRIM ASC NULLS LAST, b COLLATE NOCASE, CASE WHEN c='d' "
     "COLLATE RTRIM THEN 0 END COLLATE RTRIM, f(g, h) COLLATE RTRIM DESC",
     "SELECT a FROM T ORDER BY a||'x' ASC NULLS LAST, b COLLATE NOCASE, CASE WHEN c='d' THEN 0 END, "
     "f(g, h) DESC"},
    // LIKE and IN keep their literals.
    {"DELETE FROM T WHERE b='1' AND c LIKE 'a%' AND d IN ('a','b') OR a IN (SELECT a FROM U ORDER BY 1 DESC LIMIT 2 OFFSET 1)",
     "DELETE FROM T WHERE b='1' COLLATE RTRIM AND c LIKE 'a%' AND d IN ('a','b') OR a IN (SELECT a FROM U ORDER BY 1 "
     "COLLATE RTRIM DESC LIMIT 2 OFFSET 1)",
     "DELETE FROM T WHERE b='1' AND c LIKE 'a%' AND d IN ('a','b') OR a IN (SELECT a FROM U ORDER BY 1 DESC LIMIT 2 "
     "OFFSET 1)"},
    // CREATE TABLE: trailing ", " before ");", bare DECIMAL, CHAR types.
    {"Create Table VENDOR (VendorID INTEGER NOT NULL, VENDCODE CHAR (15) NOT NULL, BUSINESS CHAR (40)  "
     "DEFAULT  ' ' CHECK (BUSINESS<>'y'), Limit1 decimal, );",
     "Create Table VENDOR (VendorID INTEGER NOT NULL, VENDCODE CHAR (15) COLLATE RTRIM NOT NULL, BUSINESS "
     "CHAR (40) COLLATE RTRIM  DEFAULT  ' ' CHECK (BUSINESS<>'y'), Limit1 decimal(18,0) );",
     "Create Table VENDOR (VendorID INTEGER NOT NULL, VENDCODE CHAR (15) NOT NULL, BUSINESS CHAR (40)  "
     "DEFAULT  ' ' CHECK (BUSINESS<>'y'), Limit1 decimal(18,0) );"},
    // Index, rename and column forms the inventory upgrade (tables_test) does not send.
    {"DROP INDEX idx_3 ON invt", nullptr, "DROP INDEX invt_idx_3"},
    {"sp_RENAME 'POLine', 'POLineOld'", nullptr, "ALTER TABLE POLine RENAME TO POLineOld"},
    {"sp_RENAME 'invt.Flg2', 'Never Order', 'COLUMN'", nullptr,
     "sp_RENAME 'invt.Flg2', 'Never Order', 'COLUMN'"},
    {"ALTER TABLE invt2 ADD Code CHAR (5) DEFAULT ' '", "ALTER TABLE invt2 ADD Code CHAR (5) COLLATE RTRIM DEFAULT ' '",
     "ALTER TABLE invt2 ADD Code CHAR (5) DEFAULT ' '"},
    {"alter table jov.invt2 alter column Cost decimal not null;", "invt2|Cost|decimal(18,0) not null",
     "alter table invt2 alter column Cost TYPE decimal(18,0) USING Cost::decimal(18,0), ALTER COLUMN Cost "
     "SET NOT NULL;"},
};
// clang-format on

TEST(DialectTest, PinsTheTranslationForEachEngine) {
    for (const Pinned& p : kStatements) {
        SCOPED_TRACE(p.in);
        const Translated pg = translate(QString::fromUtf8(p.in), Dialect::PostgreSQL);
        EXPECT_EQ(pg.kind, Translated::Kind::Statement);
        EXPECT_EQ(pg.sql.toStdString(), p.postgres);
        const Translated lite = translate(QString::fromUtf8(p.in), Dialect::SQLite);
        if (lite.kind == Translated::Kind::AlterColumn)
            EXPECT_EQ(QStringList({lite.table, lite.column, lite.type}).join(u'|'), p.sqlite);
        else
            EXPECT_EQ(lite.sql.toStdString(), p.sqlite ? p.sqlite : p.postgres);
    }
}

// An in-memory SQLite database that runs statements of the suite's dialect.
class SqliteDialect : public ::testing::Test {
  protected:
    SqliteDialect() { sqlite3_open(":memory:", &db_); }
    ~SqliteDialect() override { sqlite3_close(db_); }
    void raw(const char* sql) {
        ASSERT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    }
    // The first column of the rows of `sql` translated, or its plan's lines.
    QString run(const QString& sql, bool plan = false) {
        numbers_.refresh(db_);
        const auto isNumber = [this](const QString& name) { return numbers_.contains(name); };
        const QString text = translate(sql, Dialect::SQLite, isNumber).sql;
        DbError error;
        sqlite::Statement st =
            sqlite::prepare(db_, (plan ? "EXPLAIN QUERY PLAN " : "") + text, error);
        EXPECT_TRUE(st) << text.toStdString() << ": " << error.description.toStdString();
        QStringList out;
        while (st && sqlite3_step(st.get()) == SQLITE_ROW)
            out << sqlite::columnText(st.get(), plan ? 3 : 0);
        return out.join(u',');
    }
    sqlite3* db_ = nullptr;
    sqlite::NumberColumns numbers_;
};

// Plain CHAR columns of another tool's table: translated queries still ignore trailing blanks.
TEST_F(SqliteDialect, IgnoresTrailingBlanksOnTablesMadeByOtherTools) {
    raw("CREATE TABLE POLine (id INTEGER, PO CHAR (8), LineNum INTEGER, Note CHAR (8));"
        "INSERT INTO POLine VALUES (1, 'ABC', 2, 'x'), (2, 'ABC     ', 10, 'y  '),"
        "  (3, 'ABD ', 5, 'x '), (4, 'AB', 7, ''), (5, 'ABC  ', 3, 'z');");
    const std::pair<const char*, const char*> cases[] = {
        {"WHERE 'ABC'=PO AND Note<>'x     '", "2,5"},
        {"WHERE PO>'ABC '", "3"},
        {"WHERE PO<='ABC  ' AND PO>='ABC'", "1,2,5"},
        {"WHERE Note=' ' OR Note!='y'", "1,3,4,5"},
        {"ORDER BY PO DESC, id DESC", "3,5,2,1,4"},
        {"WHERE LineNum>'5 ' OR LineNum<'3' ORDER BY LineNum DESC", "2,4,1"},
        // Get Next on the key (PO, LineNum), with the guard of a first value held once.
        {"WHERE (SELECT COUNT(*) FROM POLine WHERE PO='ABC') > 1 AND PO='ABC' AND LineNum>'2' OR "
         "PO>'ABC' ORDER BY PO,LineNum",
         "5,2,3"},
    };
    for (const auto& [where, ids] : cases) {
        const QString sql = QStringLiteral("SELECT id FROM POLine ") + where +
                            (QString(where).contains("ORDER BY") ? "" : " ORDER BY rowid");
        EXPECT_EQ(run(sql), ids) << sql.toStdString();
    }
}

// A literal compared with a number column keeps its index usable; others keep the collation.
TEST_F(SqliteDialect, NumberColumnsOfEveryTableKeepTheirIndexes) {
    raw("CREATE TABLE invt (RecordNum INTEGER, ItemID CHAR(20) COLLATE RTRIM, Cost MONEY, Qty "
        "FLOAT, Mixed CHAR(2)); CREATE INDEX invt_idx_0 ON invt (RecordNum);"
        "CREATE TABLE hist (InvUID INTEGER, Dated DATETIME, Mixed SMALLINT);"
        "INSERT INTO invt VALUES (7, 'A1', 2.5, 1, 'x')");
    for (const char* where : {"invt.RecordNum = '7'", "'7'=[RecordNum]", "\"RecordNum\" >'7'"})
        EXPECT_TRUE(
            run(QStringLiteral("SELECT * FROM invt WHERE ") + where, true).contains("USING INDEX"))
            << where;
    EXPECT_EQ(run("SELECT ItemID FROM invt WHERE RecordNum='7' AND ItemID='A1   '"), "A1");
    EXPECT_EQ(
        translate("SELECT * FROM hist WHERE RecordNum || 'x'='7x' AND Cost+1 = '3.5' AND Qty='7' "
                  "ORDER BY hist.InvUID DESC, InvUID+0, Dated",
                  Dialect::SQLite, [this](const QString& n) { return numbers_.contains(n); })
            .sql.toStdString(),
        "SELECT * FROM hist WHERE RecordNum || 'x' COLLATE RTRIM='7x' COLLATE RTRIM AND Cost+1 = "
        "'3.5' COLLATE RTRIM AND Qty='7' ORDER BY hist.InvUID DESC, InvUID+0 COLLATE RTRIM, Dated "
        "COLLATE RTRIM");
    // A name that is a CHAR column of any table is none; the names follow schema changes.
    EXPECT_FALSE(numbers_.contains("Mixed"));
    raw("ALTER TABLE hist ADD Later INTEGER; DROP TABLE invt");
    numbers_.refresh(db_);
    EXPECT_TRUE(numbers_.contains("LATER") && numbers_.contains("Mixed"));
    EXPECT_FALSE(numbers_.contains("Qty"));
}

} // namespace
} // namespace vx::db
