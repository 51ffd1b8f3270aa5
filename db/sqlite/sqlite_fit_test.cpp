// The SQLite connection fits each written value to its column's DECIMAL scale or CHAR length.
#include "db/sqlite/sqlite_fit.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vx::db::sqlite {
namespace {

// Columns made by another tool; `src` (no type) keeps values as written.
const QStringList kColumns = {"whole", "four", "two", "bare", "code", "note"};

struct Case {
    const char* column;
    const char* value;  // an SQL literal
    const char* stored; // typeof:quote() of the value in the file
};

// clang-format off
const Case kCases[] = {
    {"whole", "-2.5", "integer:-3"},        {"whole", "'12.5'", "integer:13"},
    {"whole", "1.55e1", "integer:16"},      {"four", "'0.123456'", "real:0.1235"},
    {"four", "2.5", "real:2.5"},            {"two", "2.675", "real:2.68"},
    {"two", "'abc'", "text:'abc'"},         {"bare", "0.5", "integer:1"},
    {"bare", "NULL", "null:NULL"},          {"code", "'abcdefg'", "text:'abcde'"},
    {"code", "'ab''cdef'", "text:'ab''cd'"}, {"code", "'abcd''ef'", "text:'abcd'''"},
    {"code", "'𝄞𝄞𝄞𝄞𝄞𝄞'", "text:'𝄞𝄞𝄞𝄞𝄞'"},    {"code", "'ab'", "text:'ab'"},
    {"code", "123456", "text:'12345'"},     {"note", "'abcdefghij'", "text:'abcdefghij'"},
};
// clang-format on

// The value a program would hand a recordset for the literal.
DbValue valueOf(const QString& literal) {
    if (literal == QLatin1String("NULL"))
        return DbValue();
    if (literal.startsWith(u'\''))
        return DbValue::text(literal.mid(1, literal.size() - 2).replace("''", "'"));
    return DbValue::decimalFromText(literal);
}

class SqliteFitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(sqlite3_open((dir_.path() + "/fit.sqlite").toUtf8().constData(), &raw_),
                  SQLITE_OK);
        raw("CREATE TABLE t (id INTEGER, whole DECIMAL(10,0), four DECIMAL(18,4), two "
            "DECIMAL(10,2), bare DECIMAL, code CHAR(5), note TEXT, src); PRAGMA synchronous = OFF");
        conn_ = makeConnection(dir_.path());
        ASSERT_TRUE(conn_->open({QString(), QStringLiteral("fit"), QString(), QString()}));
        exec("PRAGMA synchronous = OFF"); // the test needs no durable file, only a quick one
    }
    void TearDown() override { sqlite3_close_v2(raw_); }

    void raw(const QString& sql, sqlite3_callback row = nullptr, void* out = nullptr) {
        ASSERT_EQ(sqlite3_exec(raw_, sql.toUtf8().constData(), row, out, nullptr), SQLITE_OK)
            << sql.toStdString() << ": " << sqlite3_errmsg(raw_);
    }
    void exec(const QString& sql) {
        ASSERT_TRUE(conn_->execute(sql))
            << sql.toStdString() << ": " << conn_->lastError().description.toStdString();
    }
    // What the file holds in `column` of row `id`, read without this project's layer.
    std::string stored(const QString& column, int id) {
        std::string out = "no row";
        const auto keep = [](void* o, int, char** v, char**) {
            return *static_cast<std::string*>(o) = v[0], 0;
        };
        raw(QStringLiteral("SELECT typeof(%1) || ':' || quote(%1) FROM t WHERE id = %2")
                .arg(column)
                .arg(id),
            keep, &out);
        return out;
    }

    QTemporaryDir dir_;
    sqlite3* raw_ = nullptr;
    std::unique_ptr<Connection> conn_;
};

// Every way the program writes a row (INSERTs, UPDATEs, a recordset's update) fits the value.
TEST_F(SqliteFitTest, EveryWritePathStoresTheValueAsTheColumnTypeSays) {
    const int n = static_cast<int>(std::size(kCases));
    QStringList rows;
    for (int i = 0; i < n; ++i) {
        const QString value = QString::fromUtf8(kCases[i].value), column = kCases[i].column;
        QStringList row(kColumns.size() + 2, QStringLiteral("NULL"));
        row[0] = QString::number(100 + i);
        row[kColumns.indexOf(column) + 1] = value;
        rows << QLatin1Char('(') + row.join(u',') + QLatin1Char(')');
        const QString id = QString::number(100 + i).mid(1); // rows 2xx, 3xx, 4xx, 5xx
        exec("INSERT INTO t (id, " + column + ") VALUES (2" + id + ", " + value + ")");
        raw("INSERT INTO t (id, src) VALUES (3" + id + ", NULL), (4" + id + ", " + value + "), (5" +
            id + ", NULL)");
        exec("UPDATE t SET " + column + " = " + value + " WHERE id = 3" + id);
        exec("UPDATE t SET note = note, " + column + " = src WHERE id = 4" + id);
        auto rs = conn_->openRecordset("SELECT * FROM t WHERE id = 5" + id);
        ASSERT_TRUE(rs && !rs->eof());
        rs->setValue(rs->fieldIndex(column), valueOf(value));
        ASSERT_TRUE(rs->update()) << rs->lastError().description.toStdString();
    }
    exec("INSERT INTO t VALUES " + rows.join(u','));
    for (int p = 1; p <= 5; ++p)
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(stored(kCases[i].column, p * 100 + i), kCases[i].stored)
                << "path " << p << ": " << kCases[i].value << " into " << kCases[i].column;
}

// The columns are read again when the schema changes, by this connection or another tool.
TEST_F(SqliteFitTest, FollowsSchemaChangesAndAlteredColumns) {
    exec("INSERT INTO t (id, whole, code) VALUES (1, 2.5, 'abcdefg')");
    exec("ALTER TABLE t ADD later CHAR(2)");
    raw("ALTER TABLE t ADD rate REAL; UPDATE t SET rate = 2.675 WHERE id = 1");
    exec("UPDATE t SET later = 'xyz' WHERE id = 1");
    exec("ALTER TABLE t ALTER COLUMN rate DECIMAL(18,2)");
    EXPECT_EQ(stored("later", 1), "text:'xy'");
    EXPECT_EQ(stored("rate", 1), "real:2.68");
    raw("DROP TABLE t; CREATE TABLE t (id INT, code CHAR(3), whole DECIMAL(18,1))");
    exec("INSERT INTO t VALUES (2, 'abcdefg', 2.25)");
    EXPECT_EQ(stored("code", 2), "text:'abc'");
    EXPECT_EQ(stored("whole", 2), "real:2.3");
}

} // namespace
} // namespace vx::db::sqlite
