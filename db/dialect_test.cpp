#include "db/dialect.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace vx::db {
namespace {

struct Pinned {
    const char* in;
    const char* sqlite; // nullptr: the same text as for PostgreSQL
    const char* postgres;
};

// clang-format off
const Pinned kStatements[] = {
    // Base recordset, its retry with the schema owner, Get First / Get Last.
    {"SELECT TOP 1 * FROM jov.invt2", nullptr, "SELECT * FROM invt2 LIMIT 1"},
    {"SELECT TOP 1 * FROM POLine ORDER BY PO DESC,LineNum DESC",
     "SELECT * FROM POLine ORDER BY PO COLLATE RTRIM DESC,LineNum COLLATE RTRIM DESC LIMIT 1",
     "SELECT * FROM POLine ORDER BY PO DESC,LineNum DESC LIMIT 1"},
    // A keyword glued to a literal keeps a blank after the collation.
    {"SELECT * FROM POHeader WHERE (STATUS = 'C' or Status = 'B'or Status = 'U')",
     "SELECT * FROM POHeader WHERE (STATUS = 'C' COLLATE RTRIM or Status = 'B' COLLATE RTRIM or "
     "Status = 'U' COLLATE RTRIM)",
     "SELECT * FROM POHeader WHERE (STATUS = 'C' or Status = 'B'or Status = 'U')"},
    {"select top 5 * from jov.POHeader where PO='1';", "select * from POHeader where PO='1' COLLATE RTRIM LIMIT 5;",
     "select * from POHeader where PO='1' LIMIT 5;"},
    {"SELECT TOP (3) a FROM (SELECT TOP 2 a FROM T ORDER BY a) x ; ",
     "SELECT a FROM (SELECT a FROM T ORDER BY a COLLATE RTRIM LIMIT 2) x LIMIT 3 ; ",
     "SELECT a FROM (SELECT a FROM T ORDER BY a LIMIT 2) x LIMIT 3 ; "},
    // Get Next on a three-segment key, with the group guard.
    {"SELECT  TOP 1 * FROM POLine WHERE (SELECT COUNT(*) FROM POLine WHERE Poll='Y') > 1 AND Poll='Y' "
     "AND PO='P1' AND LineNum> '3' OR Poll='Y' AND PO> 'P1' OR Poll>'Y' ORDER BY Poll,PO,LineNum",
     "SELECT  * FROM POLine WHERE (SELECT COUNT(*) FROM POLine WHERE Poll='Y' COLLATE RTRIM) > 1 AND "
     "Poll='Y' COLLATE RTRIM AND PO='P1' COLLATE RTRIM AND LineNum> '3' COLLATE RTRIM OR Poll='Y' COLLATE "
     "RTRIM AND PO> 'P1' COLLATE RTRIM OR Poll>'Y' COLLATE RTRIM ORDER BY Poll COLLATE RTRIM,PO COLLATE "
     "RTRIM,LineNum COLLATE RTRIM LIMIT 1",
     "SELECT  * FROM POLine WHERE (SELECT COUNT(*) FROM POLine WHERE Poll='Y') > 1 AND Poll='Y' "
     "AND PO='P1' AND LineNum> '3' OR Poll='Y' AND PO> 'P1' OR Poll>'Y' ORDER BY Poll,PO,LineNum LIMIT 1"},
    // Keyed reads on the inventory table compare ltrim(ItemID).
    {"SELECT TOP 1 * FROM invt2 WHERE VendorCode<='ACME' AND ltrim(ItemID)<='X1' ORDER BY VendorCode DESC",
     "SELECT * FROM invt2 WHERE VendorCode<='ACME' COLLATE RTRIM AND (ltrim(ItemID) COLLATE RTRIM)<='X1' "
     "ORDER BY VendorCode COLLATE RTRIM DESC LIMIT 1",
     "SELECT * FROM invt2 WHERE VendorCode<='ACME' AND CAST(ltrim(ItemID) AS bpchar)<='X1' ORDER BY VendorCode DESC LIMIT 1"},
    {"SELECT TOP 1 * FROM invt WHERE LTRIM ( itemid )='A' ORDER BY ltrim(ItemID)",
     "SELECT * FROM invt WHERE (LTRIM ( itemid ) COLLATE RTRIM)='A' ORDER BY (ltrim(ItemID) COLLATE RTRIM) LIMIT 1",
     "SELECT * FROM invt WHERE CAST(LTRIM ( itemid ) AS bpchar)='A' ORDER BY CAST(ltrim(ItemID) AS bpchar) LIMIT 1"},
    // Literal text is never touched.
    {"SELECT TOP 1 * FROM invt WHERE Notes='TOP 1 jov.x ltrim(ItemID) DECIMAL CHAR (5); O''Brien' ORDER BY Notes",
     "SELECT * FROM invt WHERE Notes='TOP 1 jov.x ltrim(ItemID) DECIMAL CHAR (5); O''Brien' COLLATE RTRIM "
     "ORDER BY Notes COLLATE RTRIM LIMIT 1",
     "SELECT * FROM invt WHERE Notes='TOP 1 jov.x ltrim(ItemID) DECIMAL CHAR (5); O''Brien' ORDER BY Notes LIMIT 1"},
    {"INSERT INTO invt2 VALUES('SL1 ','It''s TOP 1 ',12.5, 'CHAR (5) DECIMAL;','jov.invt ItemID','''')",
     nullptr,
     "INSERT INTO invt2 VALUES('SL1 ','It''s TOP 1 ',12.5, 'CHAR (5) DECIMAL;','jov.invt ItemID','''')"},
    {"UPDATE invt SET Spare1 = PriceFactor where PriceFactor > ' '",
     "UPDATE invt SET Spare1 = PriceFactor where PriceFactor > ' ' COLLATE RTRIM",
     "UPDATE invt SET Spare1 = PriceFactor where PriceFactor > ' '"},
    // SQLite: only comparisons and sort terms get the blank-insensitive rule; assignments,
    // inserted values and definitions keep their literals as they are.
    {"UPDATE T SET a = 'x', T.b='y', c=CASE WHEN d<>'z' THEN 'w' END, e=(SELECT f FROM U WHERE g!='v') "
     "WHERE 'k'=h AND i>='j' OR k==' ' OR m->>'$.n' = 'o'",
     "UPDATE T SET a = 'x', T.b='y', c=CASE WHEN d<>'z' COLLATE RTRIM THEN 'w' END, e=(SELECT f FROM U "
     "WHERE g!='v' COLLATE RTRIM) WHERE 'k' COLLATE RTRIM=h AND i>='j' COLLATE RTRIM OR k==' ' COLLATE RTRIM "
     "OR m->>'$.n' COLLATE RTRIM = 'o' COLLATE RTRIM",
     "UPDATE T SET a = 'x', T.b='y', c=CASE WHEN d<>'z' THEN 'w' END, e=(SELECT f FROM U WHERE g!='v') "
     "WHERE 'k'=h AND i>='j' OR k==' ' OR m->>'$.n' = 'o'"},
    {"DELETE FROM POLine WHERE PO='P1' AND Note LIKE 'a%' AND Kind IN ('a','b')",
     "DELETE FROM POLine WHERE PO='P1' COLLATE RTRIM AND Note LIKE 'a%' AND Kind IN ('a','b')",
     "DELETE FROM POLine WHERE PO='P1' AND Note LIKE 'a%' AND Kind IN ('a','b')"},
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
    {"SELECT a FROM T WHERE b='1' UNION SELECT a FROM U ORDER BY 1 DESC LIMIT 2 OFFSET 1",
     "SELECT a FROM T WHERE b='1' COLLATE RTRIM UNION SELECT a FROM U ORDER BY 1 COLLATE RTRIM DESC LIMIT 2 "
     "OFFSET 1",
     "SELECT a FROM T WHERE b='1' UNION SELECT a FROM U ORDER BY 1 DESC LIMIT 2 OFFSET 1"},
    {"Create Table K (a CHAR (2) DEFAULT 'x' CHECK (a<>'y'))",
     "Create Table K (a CHAR (2) COLLATE RTRIM DEFAULT 'x' CHECK (a<>'y'))",
     "Create Table K (a CHAR (2) DEFAULT 'x' CHECK (a<>'y'))"},
    // CREATE TABLE: trailing ", " before ");", bare DECIMAL, CHAR types.
    {"Create Table VENDOR (VendorID INTEGER NOT NULL, VENDCODE CHAR (15) NOT NULL, BUSINESS CHAR (40)  "
     "DEFAULT  ' ', CELLPHONE CHAR (14) DEFAULT  ' ', );",
     "Create Table VENDOR (VendorID INTEGER NOT NULL, VENDCODE CHAR (15) COLLATE RTRIM NOT NULL, BUSINESS "
     "CHAR (40) COLLATE RTRIM  DEFAULT  ' ', CELLPHONE CHAR (14) COLLATE RTRIM DEFAULT  ' ' );",
     "Create Table VENDOR (VendorID INTEGER NOT NULL, VENDCODE CHAR (15) NOT NULL, BUSINESS CHAR (40)  "
     "DEFAULT  ' ', CELLPHONE CHAR (14) DEFAULT  ' ' );"},
    {"Create Table COMMON (DupID CHAR (1), BreakPoint DECIMAL, NoTaxOnFirst decimal, Spare CHAR (65) );",
     "Create Table COMMON (DupID CHAR (1) COLLATE RTRIM, BreakPoint DECIMAL(18,0), NoTaxOnFirst "
     "decimal(18,0), Spare CHAR (65) COLLATE RTRIM );",
     "Create Table COMMON (DupID CHAR (1), BreakPoint DECIMAL(18,0), NoTaxOnFirst decimal(18,0), Spare "
     "CHAR (65) );"},
    // Indexes.
    {"Create UNIQUE CLUSTERED Index idx_0 On invt2 (RecordNum)", nullptr,
     "Create UNIQUE Index invt2_idx_0 On invt2 (RecordNum)"},
    {"Create unique Index idx_5 On jov.POHistory4 (VendorCode, UniqueID)", nullptr,
     "Create unique Index POHistory4_idx_5 On POHistory4 (VendorCode, UniqueID)"},
    {"CREATE NONCLUSTERED INDEX Index4 ON POHeader5 (Status,PO);", nullptr,
     "CREATE INDEX POHeader5_Index4 ON POHeader5 (Status,PO);"},
    {"Drop index invt2.idx_0", nullptr, "Drop index invt2_idx_0"},
    {"Drop index jov.invt2.idx_12", nullptr, "Drop index invt2_idx_12"},
    {"DROP INDEX idx_3 ON invt", nullptr, "DROP INDEX invt_idx_3"},
    // Renames.
    {"EXEC sp_rename 'jov.invt3.PriceFactor', 'NotUsed ', 'column';", nullptr,
     "ALTER TABLE invt3 RENAME COLUMN PriceFactor TO NotUsed"},
    {"sp_RENAME 'POLine', 'POLineOld'", nullptr, "ALTER TABLE POLine RENAME TO POLineOld"},
    {"sp_RENAME 'invt.Flg2', 'Never Order', 'COLUMN'", nullptr,
     "sp_RENAME 'invt.Flg2', 'Never Order', 'COLUMN'"},
    // Columns added and altered.
    {"ALTER TABLE VENDOR ADD PenLiqorUnit SMALLINT ", nullptr, "ALTER TABLE VENDOR ADD PenLiqorUnit SMALLINT "},
    {"ALTER TABLE invt2 ADD Code CHAR (5) DEFAULT ' '", "ALTER TABLE invt2 ADD Code CHAR (5) COLLATE RTRIM DEFAULT ' '",
     "ALTER TABLE invt2 ADD Code CHAR (5) DEFAULT ' '"},
    {"ALTER TABLE invt ALTER COLUMN QtyOnHand Decimal(18,4)", "",
     "ALTER TABLE invt ALTER COLUMN QtyOnHand TYPE Decimal(18,4) USING QtyOnHand::Decimal(18,4)"},
    {"ALTER TABLE invt ALTER COLUMN itemID CHAR(25)", "",
     "ALTER TABLE invt ALTER COLUMN itemID TYPE CHAR(25) USING itemID::CHAR(25)"},
    {"alter table jov.invt2 alter column Cost decimal not null;", "",
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
        if (p.sqlite && !*p.sqlite) { // SQLite rebuilds the table instead (next test)
            EXPECT_EQ(lite.kind, Translated::Kind::AlterColumn);
            continue;
        }
        EXPECT_EQ(lite.kind, Translated::Kind::Statement);
        EXPECT_EQ(lite.sql.toStdString(), p.sqlite ? p.sqlite : p.postgres);
    }
}

TEST(DialectTest, SQLiteAltersAColumnByRebuildingTheTable) {
    const struct {
        const char *in, *table, *column, *type;
    } cases[] = {
        {"ALTER TABLE invt ALTER COLUMN QtyOnHand Decimal(18,4)", "invt", "QtyOnHand",
         "Decimal(18,4)"},
        {"ALTER TABLE invt ALTER COLUMN itemID CHAR(25)", "invt", "itemID",
         "CHAR(25) COLLATE RTRIM"},
        {"alter table jov.invt2 alter column Cost decimal not null;", "invt2", "Cost",
         "decimal(18,0) not null"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        const Translated t = translate(QString::fromUtf8(c.in), Dialect::SQLite);
        ASSERT_EQ(t.kind, Translated::Kind::AlterColumn);
        EXPECT_EQ(t.table.toStdString(), c.table);
        EXPECT_EQ(t.column.toStdString(), c.column);
        EXPECT_EQ(t.type.toStdString(), c.type);
    }
}

TEST(DialectTest, SQLiteColumnTypeAddsTheCharComparisonRule) {
    const std::pair<const char*, const char*> cases[] = {
        {"CHAR(8)", "CHAR(8) COLLATE RTRIM"},
        {"char (8) NOT NULL", "char (8) COLLATE RTRIM NOT NULL"},
        {"CHAR(8) COLLATE RTRIM", "CHAR(8) COLLATE RTRIM"},
        {"DECIMAL", "DECIMAL(18,0)"},
        {"DECIMAL (18,4)", "DECIMAL (18,4)"},
        {"SMALLINT", "SMALLINT"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(sqliteColumnType(QString::fromUtf8(in)).toStdString(), out) << in;
}

// An in-memory SQLite database that runs statements of the suite's dialect.
class MemoryDb {
  public:
    MemoryDb() {
        sqlite3* db = nullptr;
        sqlite3_open(":memory:", &db);
        db_.reset(db);
    }
    // The first column of the rows of a statement, translated first; an engine error fails the
    // test.
    QStringList rows(const QString& sql) {
        const Translated t = translate(sql, Dialect::SQLite);
        EXPECT_EQ(t.kind, Translated::Kind::Statement) << sql.toStdString();
        const QByteArray text = t.sql.toUtf8();
        QStringList out;
        sqlite3_stmt* stmt = nullptr;
        int rc = sqlite3_prepare_v2(db_.get(), text.constData(), -1, &stmt, nullptr);
        while (rc == SQLITE_OK || rc == SQLITE_ROW) {
            if ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
                out << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        }
        sqlite3_finalize(stmt);
        EXPECT_EQ(rc, SQLITE_DONE) << text.constData() << ": " << sqlite3_errmsg(db_.get());
        return out;
    }
    // Runs a statement as it is, as another tool would.
    void raw(const char* sql) {
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db_.get(), sql, nullptr, nullptr, &message), SQLITE_OK)
            << sql << ": " << (message ? message : "");
        sqlite3_free(message);
    }

  private:
    struct Close {
        void operator()(sqlite3* db) const { sqlite3_close(db); }
    };
    std::unique_ptr<sqlite3, Close> db_;
};

// Get Next on a key of two segments as the record manager builds it.
QString next(const QString& table, const QStringList& col, const QStringList& val) {
    const QString first = col[0] + "='" + val[0] + "'";
    return "SELECT  TOP 1 * FROM " + table + " WHERE (SELECT COUNT(*) FROM " + table + " WHERE " +
           first + ") > 1 AND " + first + " AND " + col[1] + ">'" + val[1] + "' OR " + col[0] +
           ">'" + val[0] + "' ORDER BY " + col.join(",");
}

// A table made by another tool has plain CHAR columns that compare byte for byte; the
// translated queries still ignore trailing blanks on it, and numbers still compare as numbers.
TEST(DialectTest, SQLiteIgnoresTrailingBlanksOnTablesMadeByOtherTools) {
    MemoryDb db;
    db.raw("CREATE TABLE POLine (id INTEGER, PO CHAR (8), LineNum INTEGER, Note CHAR (8));"
           "INSERT INTO POLine VALUES (1, 'ABC', 2, 'x'), (2, 'ABC     ', 10, 'y  '),"
           "  (3, 'ABD ', 5, 'x '), (4, 'AB', 7, ''), (5, 'ABC  ', 3, 'z');");
    const struct {
        const char* where; // the condition, or the ORDER BY after "ORDER BY"
        const char* ids;   // the ids of the rows in the order they come
    } cases[] = {
        {"WHERE PO='ABC     '", "1,2,5"},
        {"WHERE 'ABC'=PO AND Note<>'x     '", "2,5"},
        {"WHERE PO>'ABC '", "3"},
        {"WHERE PO<'ABC'", "4"},
        {"WHERE PO<='ABC  ' AND PO>='ABC'", "1,2,5"},
        {"WHERE Note=' ' OR Note!='y'", "1,3,4,5"},
        {"ORDER BY PO DESC, id DESC", "3,5,2,1,4"},
        {"ORDER BY PO, Note DESC, id", "4,5,2,1,3"},
        {"WHERE LineNum='5'", "3"},
        {"WHERE LineNum>'5 '", "2,4"},
        {"WHERE LineNum<'10' ORDER BY LineNum DESC", "4,3,5,1"},
        {"ORDER BY LineNum", "1,5,3,4,2"},
        {"WHERE (SELECT COUNT(*) FROM POLine WHERE PO='ABC') > 1 AND PO='ABC' AND LineNum>'2' OR "
         "PO>'ABC' ORDER BY PO,LineNum",
         "5,2,3"},
        {"WHERE (SELECT COUNT(*) FROM POLine WHERE PO='ABD     ') > 1 AND PO='ABD' OR PO>'ABD' "
         "ORDER BY PO,LineNum",
         ""},
    };
    for (const auto& c : cases) {
        const QString sql =
            QLatin1String("SELECT id FROM POLine ") + QString::fromLatin1(c.where) +
            (QString::fromLatin1(c.where).contains("ORDER BY") ? "" : " ORDER BY rowid");
        SCOPED_TRACE(sql.toStdString());
        EXPECT_EQ(db.rows(sql).join(","), QString::fromLatin1(c.ids));
    }
    // Get Next walks every row once in key order (PO, LineNum), from the first to the last.
    QStringList walked = db.rows("SELECT TOP 1 * FROM POLine ORDER BY PO,LineNum");
    for (int guard = 0; guard < 10 && !walked.isEmpty(); ++guard) {
        const QStringList po = db.rows("SELECT PO FROM POLine WHERE id=" + walked.last());
        const QStringList line = db.rows("SELECT LineNum FROM POLine WHERE id=" + walked.last());
        const QStringList found = db.rows(
            next("POLine", {"PO", "LineNum"}, {po.value(0).leftJustified(8), line.value(0)}));
        if (found.isEmpty())
            break;
        walked << found;
    }
    EXPECT_EQ(walked.join(","), QStringLiteral("4,1,5,2,3"));
}

} // namespace
} // namespace vx::db
