#include "db/sqlite/sqlite_internal.h"

#include <gtest/gtest.h>

namespace vx::db::sqlite {
namespace {

class NumberColumnsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
        db_.reset(raw);
    }
    void exec(const char* sql) {
        ASSERT_EQ(sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    }
    // The query plan of `sql` as SQLite runs it after the dialect's translation.
    QString plan(const QString& sql) {
        numbers_.refresh(db_.get());
        const Translated t = translate(
            sql, Dialect::SQLite, [this](const QString& name) { return numbers_.contains(name); });
        DbError error;
        Statement st = prepare(db_.get(), "EXPLAIN QUERY PLAN " + t.sql, error);
        QString out;
        while (st && sqlite3_step(st.get()) == SQLITE_ROW)
            out += columnText(st.get(), 3) + QLatin1Char('\n');
        return out;
    }
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db_{nullptr, sqlite3_close};
    NumberColumns numbers_;
};

TEST_F(NumberColumnsTest, NamesNumberColumnsOfEveryTableAndFollowsSchemaChanges) {
    exec("CREATE TABLE a (RecordNum INTEGER, Code CHAR(4), Qty DECIMAL(18,4), Price MONEY, "
         "Rate FLOAT, Note TEXT, Mixed CHAR(2))");
    exec("CREATE TABLE b (recordnum INT, Mixed SMALLINT, Dated DATETIME)");
    const struct {
        const char* name;
        bool number;
    } cases[] = {{"RecordNum", true}, {"RECORDNUM", true}, {"Qty", true},   {"Price", true},
                 {"Rate", true},      {"Code", false},     {"Note", false}, {"Mixed", false},
                 {"Dated", false},    {"Missing", false},  {"Later", false}};
    numbers_.refresh(db_.get());
    for (const auto& c : cases)
        EXPECT_EQ(numbers_.contains(c.name), c.number) << c.name;

    exec("ALTER TABLE b ADD Later INTEGER");
    numbers_.refresh(db_.get());
    EXPECT_TRUE(numbers_.contains("Later"));
    exec("DROP TABLE a");
    numbers_.refresh(db_.get());
    EXPECT_TRUE(numbers_.contains("Mixed")); // only b has it now
}

// A text literal compared with a number column keeps the column's index usable; compared with
// a CHAR column it still gets the collation that ignores trailing blanks.
TEST_F(NumberColumnsTest, ComparisonsWithNumberColumnsUseTheirIndex) {
    exec(
        "CREATE TABLE invt (RecordNum INTEGER, ItemID CHAR(20) COLLATE RTRIM, Cost DECIMAL(18,4))");
    exec("CREATE INDEX invt_idx_0 ON invt (RecordNum)");
    exec("CREATE INDEX invt_idx_2 ON invt (ItemID)");
    exec("INSERT INTO invt VALUES (7, 'A1', 2.5)");
    for (const char* where : {"RecordNum='7'", "invt.RecordNum = '7'", "'7'=RecordNum",
                              "[RecordNum]<='7'", "\"RecordNum\" >'7'", "ItemID='A1  '"}) {
        const QString p = plan(QStringLiteral("SELECT * FROM invt WHERE ") + where);
        EXPECT_TRUE(p.contains("USING INDEX")) << where << ": " << p.toStdString();
    }
    // An expression over the column is no longer a number column alone: the literal keeps
    // its collation (and no index is promised).
    const Translated t = translate(
        "SELECT * FROM invt WHERE RecordNum || 'x'='7x' AND Cost+1 = "
        "'3.5' AND RecordNum='7' AND '7'=RecordNum+0",
        Dialect::SQLite, [](const QString& n) { return n == "RecordNum" || n == "Cost"; });
    EXPECT_EQ(t.sql.toStdString(),
              "SELECT * FROM invt WHERE RecordNum || 'x' COLLATE RTRIM='7x' COLLATE RTRIM AND "
              "Cost+1 = '3.5' COLLATE RTRIM AND RecordNum='7' AND '7' COLLATE RTRIM=RecordNum+0");

    DbError error;
    numbers_.refresh(db_.get());
    Statement st = prepare(db_.get(),
                           translate("SELECT ItemID FROM invt WHERE RecordNum='7' AND "
                                     "ItemID='A1   '",
                                     Dialect::SQLite,
                                     [this](const QString& n) { return numbers_.contains(n); })
                               .sql,
                           error);
    ASSERT_TRUE(st);
    ASSERT_EQ(sqlite3_step(st.get()), SQLITE_ROW);
    EXPECT_EQ(columnText(st.get(), 0), "A1");
}

// Ordered by CHAR columns and then a number column, the rows come in an index's order without
// a sort of their own (a collation on the number column would keep SQLite from using it).
TEST_F(NumberColumnsTest, OrderByANumberColumnFollowsItsIndex) {
    exec("CREATE TABLE hist (Status CHAR(1) COLLATE RTRIM, PONumber CHAR(10) COLLATE RTRIM, "
         "InvUID INTEGER)");
    exec("CREATE INDEX hist_idx_0 ON hist (Status, PONumber, InvUID)");
    const QString p =
        plan("SELECT * FROM hist WHERE Status = 'R' ORDER BY Status, PONumber, InvUID");
    EXPECT_TRUE(p.contains("INDEX hist_idx_0")) << p.toStdString();
    EXPECT_FALSE(p.contains("TEMP B-TREE")) << p.toStdString();
    const Translated t =
        translate("SELECT * FROM hist ORDER BY hist.InvUID DESC, InvUID+0, PONumber",
                  Dialect::SQLite, [](const QString& n) { return n == "InvUID"; });
    EXPECT_EQ(t.sql.toStdString(), "SELECT * FROM hist ORDER BY hist.InvUID DESC, InvUID+0 "
                                   "COLLATE RTRIM, PONumber COLLATE RTRIM");
}

} // namespace
} // namespace vx::db::sqlite
