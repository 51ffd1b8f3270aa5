// The record manager's statements and reactions, pinned against a scripted engine.
#include "db/codecs.h"
#include "db/testing/fake_engine.h"
#include "db/hooks.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "platform/err.h"
#include "platform/scripted_messages.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx::db {
namespace {

using fake::FakeConnection;
using fake::FakeRecordset;
using fake::FakeResult;

constexpr std::int16_t kTable = 2;
const QStringList kCols{"A", "B", "C", "D", "E", "F"};
const QStringList kVals{"a", "b", "c", "d", "e", "f"};

// Hooks whose key is the first `segments` columns with the values kVals, and whose record is
// the list of the row's texts.
struct RecordingHooks : TableHooks {
    int segments = 1;
    QStringList record;
    int fills = 0, stores = 0, loads = 0;
    void gpFillRecord(std::int16_t t) override {
        ++fills;
        record.clear();
        for (int i = 0; i < currentRecordset(t)->fieldCount(); ++i)
            record << gvDB_FieldValue(t, i).toString();
    }
    void gpStoreRecord(std::int16_t) override { ++stores; }
    QString gsRecordValues(std::int16_t) override { return QStringLiteral("'x''y',1"); }
    void gpLoadKey(std::int16_t t, std::int16_t) override {
        ++loads;
        std::array<KeyPart, 9> parts;
        for (int i = 0; i < segments; ++i)
            parts[static_cast<size_t>(i)] = keyPart(static_cast<std::int16_t>(i), kVals[i]);
        gpDB_SetKey(t, static_cast<std::int16_t>(segments), parts);
    }
};

FakeResult oneRow(const QStringList& cols = kCols) {
    fake::Row row;
    for (const QString& c : cols)
        row.push_back(DbValue::text(c.toLower() + QStringLiteral("-row")));
    return FakeResult{cols, {row}, {}};
}

class RecordManager : public ::testing::Test {
  protected:
    void SetUp() override {
        resetDbState();
        Err().Clear();
        auto conn = std::make_unique<FakeConnection>();
        fake = conn.get();
        fake->answer = [](const QString&) { return oneRow(); };
        dbState().gcnDatabase = std::move(conn);
        tableInfo(kTable).TableName = QStringLiteral("T");
        currentRecordset(kTable) = std::make_unique<FakeRecordset>(oneRow());
        setTableHooks(&hooks);
    }
    void TearDown() override {
        setTableHooks(nullptr);
        resetDbState();
    }
    QString lastOpened() const { return fake->opened.isEmpty() ? QString() : fake->opened.last(); }

    vx::test::TestEnv env;
    FakeConnection* fake = nullptr;
    RecordingHooks hooks;
};

// The names error messages give the operations: aliases share a name, unknown codes have none.
TEST(OperationNames, AliasesAndUnknownCodes) {
    // clang-format off
    const std::pair<int, const char*> names[] = {
        {0, "Open"}, {5, "="}, {6, "Get Next"}, {24, "Get Next"}, {35, "Get Previous"},
        {11, "<="}, {33, "Get First"}, {34, "Get Last"}, {20, "End Trans"}, {21, "21"},
        {36, "BySQL"}, {14, ""}, {-1, ""}};
    // clang-format on
    for (const auto& [code, name] : names)
        EXPECT_EQ(gsDB_OperationName(static_cast<std::int16_t>(code)), QString::fromLatin1(name))
            << code;
}

TEST_F(RecordManager, NextAndPreviousStatements) {
    const QString g = QStringLiteral("(SELECT COUNT(*) FROM T WHERE A='a') > 1 AND ");
    const QString head = QStringLiteral("SELECT  TOP 1 * FROM T WHERE ");
    const std::tuple<int, bool, QString> cases[] = {
        {1, true, "A>'a' ORDER BY A"},
        {1, false, "A<'a' ORDER BY A DESC"},
        {2, true, g + "A='a' AND B>'b' OR A>'a' ORDER BY A,B"},
        {2, false, g + "A='a' AND B<'b' OR A<'a' ORDER BY A DESC,B DESC"},
        {3, true, g + "A='a' AND B='b' AND C> 'c' OR A='a' AND B> 'b' OR A>'a' ORDER BY A,B,C"},
        {3, false,
         g + "A='a' AND B='b' AND C< 'c' OR A='a' AND B< 'b' OR A<'a' ORDER BY A DESC,B DESC,C "
             "DESC"},
        {4, true, g + "A='a' AND B>='b' AND C>='c' AND D>'d' OR A>'a' ORDER BY A,B,C,D"},
        {4, false,
         g + "A='a' AND B<='b' AND C<='c' AND D<'d' OR A<'a' ORDER BY A DESC,B DESC,C DESC,D DESC"},
        {5, true,
         g + "A='a' AND B>='b' AND C>='c' AND D>='d' AND E>'e' OR A>'a' ORDER BY A,B,C,D,E"},
        {5, false,
         g + "A='a' AND B<='b' AND C<='c' AND D<='d' AND E<'e' OR A<'a' ORDER BY A DESC,B DESC,C "
             "DESC,D DESC,E DESC"},
    };
    for (const auto& [segments, next, condition] : cases) {
        hooks.segments = segments;
        std::int16_t op = next ? kOpGetNext : kOpGetPrevious;
        ASSERT_TRUE(gfbDB_Operation(kTable, op, 0));
        EXPECT_EQ(lastOpened(), head + condition) << segments << (next ? " next" : " previous");
    }
}

TEST_F(RecordManager, KeyedReadStatements) {
    const std::tuple<int, std::int16_t, QString> cases[] = {
        {1, kOpEqual, "SELECT TOP 1 * FROM T WHERE A='a' ORDER BY A"},
        {2, kOpGreater, "SELECT TOP 1 * FROM T WHERE A>'a' AND B>'b' ORDER BY A"},
        {3, kOpGreaterOrEqual,
         "SELECT TOP 1 * FROM T WHERE A>='a' AND B>='b' AND C>='c' ORDER BY A"},
        {4, kOpLess,
         "SELECT TOP 1 * FROM T WHERE A<'a' AND B<'b' AND C<'c' AND D<'d' ORDER BY A DESC"},
        {5, kOpLessOrEqual,
         "SELECT TOP 1 * FROM T WHERE A<='a' AND B<='b' AND C<='c' AND D<='d' AND E<='e' ORDER BY "
         "A "
         "DESC"},
        {6, kOpEqual,
         "SELECT TOP 1 * FROM T WHERE A='a' AND B='b' AND C='c' AND D='d' AND E='e' AND F='f' "
         "ORDER BY A"},
    };
    for (const auto& [segments, opCode, sql] : cases) {
        hooks.segments = segments;
        std::int16_t op = opCode, key = 0;
        bool raw = false, lock = false;
        QString text;
        ASSERT_TRUE(gfbDB_Operation(kTable, op, key, raw, lock, text));
        EXPECT_EQ(lastOpened(), sql);
        // The built statement is handed back without " DESC" and reused as it stands.
        EXPECT_FALSE(text.endsWith(QLatin1String(" DESC")));
        hooks.segments = 1;
        ASSERT_TRUE(gfbDB_Operation(kTable, op, key, raw, lock, text));
        EXPECT_EQ(lastOpened(), sql);
    }
}

TEST_F(RecordManager, ItemIdsCompareWithoutLeadingBlanks) {
    currentRecordset(kTable) = std::make_unique<FakeRecordset>(oneRow({"ItemID", "SL"}));
    hooks.segments = 2;
    std::int16_t op = kOpEqual;
    ASSERT_TRUE(gfbDB_Operation(kTable, op, 0));
    EXPECT_EQ(lastOpened(), QStringLiteral("SELECT TOP 1 * FROM T WHERE ltrim(ItemID)='a' AND "
                                           "SL='b' ORDER BY ltrim(ItemID)"));
}

TEST_F(RecordManager, FirstLastRawAndBySql) {
    hooks.segments = 2;
    EXPECT_TRUE(gfbDB_Operation(kTable, kOpGetFirst, 0));
    EXPECT_EQ(lastOpened(), QStringLiteral("SELECT TOP 1 * FROM T ORDER BY A,B"));
    EXPECT_TRUE(gfbDB_Operation(kTable, kOpGetLast, 0));
    EXPECT_EQ(lastOpened(), QStringLiteral("SELECT TOP 1 * FROM T ORDER BY A DESC,B DESC"));
    hooks.segments = 0;
    EXPECT_TRUE(gfbDB_Operation(kTable, kOpGetFirst2, 0));
    EXPECT_EQ(lastOpened(), QStringLiteral("SELECT TOP 1 * FROM T"));

    // Raw mode: the key number is a column of the current row, whose quote is doubled.
    currentRecordset(kTable) =
        std::make_unique<FakeRecordset>(FakeResult{{"Name"}, {{DbValue::text("O'Brien")}}, {}});
    std::int16_t op = kOpLessOrEqual, column = 0;
    bool raw = true, lock = false;
    QString sql;
    const int fills = hooks.fills;
    EXPECT_TRUE(gfbDB_Operation(kTable, op, column, raw, lock, sql));
    EXPECT_EQ(lastOpened(),
              QStringLiteral("SELECT TOP 1 * FROM T WHERE Name<='O''Brien' ORDER BY Name DESC"));
    EXPECT_EQ(hooks.fills, fills) << "raw reads leave the record buffer alone";

    op = kOpBySQL;
    raw = false;
    sql = QStringLiteral("SELECT * FROM T WHERE x = 1");
    EXPECT_TRUE(gfbDB_Operation(kTable, op, column, raw, lock, sql));
    EXPECT_EQ(lastOpened(), sql);
}

TEST_F(RecordManager, AMissKeepsTheRecordAndReopensTheBase) {
    hooks.segments = 2;
    ASSERT_TRUE(gfbDB_Operation(kTable, kOpGetFirst, 0));
    const QStringList before = hooks.record;
    fake->answer = [](const QString& sql) {
        return sql.contains(QLatin1String("WHERE")) ? FakeResult{kCols, {}, {}} : oneRow();
    };
    EXPECT_FALSE(gfbDB_Operation(kTable, kOpGetNext, 0));
    EXPECT_EQ(hooks.record, before);
    EXPECT_EQ(lastOpened(), QStringLiteral("SELECT TOP 1 * FROM T"));
}

TEST_F(RecordManager, OperationsWithoutStatements) {
    for (std::int16_t op :
         {std::int16_t(kOpOpen), std::int16_t(kOpClose), std::int16_t(kOpBeginTrans),
          std::int16_t(kOpEndTrans), std::int16_t(99)})
        EXPECT_TRUE(gfbDB_Operation(kTable, op, 0)) << op;
    tableInfo(kTable).PositionFlag = 5;
    EXPECT_TRUE(gfbDB_Operation(kTable, kOpAbortTrans, 0));
    EXPECT_EQ(tableInfo(kTable).PositionFlag, 0);
    EXPECT_TRUE(fake->opened.isEmpty());
    EXPECT_TRUE(fake->executed.isEmpty());
}

TEST_F(RecordManager, InsertUpdateDelete) {
    EXPECT_TRUE(gfbDB_Operation(kTable, kOpInsert, 0));
    EXPECT_EQ(fake->executed.last(), QStringLiteral("INSERT INTO T VALUES('x''y',1)"));
    fake->onExecute = [](const QString&) { return std::optional<long>(0); };
    EXPECT_FALSE(gfbDB_Operation(kTable, kOpInsert, 0));

    auto* rs = static_cast<FakeRecordset*>(currentRecordset(kTable).get());
    EXPECT_TRUE(gfbDB_Operation(kTable, kOpUpdate, 0));
    EXPECT_EQ(hooks.stores, 1);
    EXPECT_EQ(rs->updates, 1);
    EXPECT_TRUE(gfbDB_Operation(kTable, kOpDelete, 0));
    EXPECT_EQ(rs->deletes, 1);
}

TEST_F(RecordManager, CountsAndQueries) {
    fake->answer = [](const QString&) { return FakeResult{{"n"}, {{DbValue::integer(42)}}, {}}; };
    EXPECT_EQ(glDB_Count(kTable, QStringLiteral("T WHERE x='1'")), 42);
    EXPECT_EQ(lastOpened(), QStringLiteral("SELECT COUNT(*) FROM T WHERE x='1'"));

    fake->answer = [](const QString& sql) {
        return sql.startsWith(QLatin1String("SELECT *")) ? FakeResult{kCols, {}, {}} : oneRow();
    };
    EXPECT_FALSE(gfbDB_Query(QStringLiteral("SELECT * FROM T"), kTable));
    EXPECT_EQ(lastOpened(), QStringLiteral("SELECT TOP 1 * FROM T")) << "the base is reopened";
    fake->answer = [](const QString&) { return oneRow(); };
    EXPECT_TRUE(gfbDB_Query(QStringLiteral("SELECT * FROM T"), kTable));
    EXPECT_FALSE(gfbDB_Query(QStringLiteral("SELECT * FROM T"), kTable, true));
}

} // namespace
} // namespace vx::db
