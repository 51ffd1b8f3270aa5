// The record manager's statements and reactions, against a scripted engine.
#include "db/codecs.h"
#include "db/hooks.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "db/testing/fake_engine.h"
#include "platform/err.h"
#include "testsupport/scripted_messages.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx::db {
namespace {

using fake::FakeConnection;
using fake::FakeRecordset;
using fake::FakeResult;

constexpr std::int16_t kTable = 2, kInvt = 3;
const QStringList kCols{"A", "B", "C", "D", "E", "F"};

// Hooks keyed on the first `segments` columns = "a", "b", ...; the record is the row's texts.
struct RecordingHooks : TableHooks {
    int segments = 1;
    QStringList record;
    int fills = 0, stores = 0;
    void gpFillRecord(std::int16_t t) override {
        ++fills;
        record.clear();
        for (int i = 0; i < currentRecordset(t)->fieldCount(); ++i)
            record << gvDB_FieldValue(t, i).toString();
    }
    void gpStoreRecord(std::int16_t) override { ++stores; }
    QString gsRecordValues(std::int16_t) override { return QStringLiteral("'x''y',1"); }
    void gpLoadKey(std::int16_t t, std::int16_t) override {
        std::array<KeyPart, 9> parts;
        for (int i = 0; i < segments; ++i)
            parts[size_t(i)] = keyPart(std::int16_t(i), kCols[i].toLower());
        gpDB_SetKey(t, std::int16_t(segments), parts);
    }
};

FakeResult oneRow(const QStringList& cols = kCols) {
    fake::Row row;
    for (const QString& c : cols)
        row.push_back(DbValue::text(c.toLower() + QStringLiteral("-row")));
    return FakeResult{cols, {row}, {}};
}
const FakeResult kMissing{
    {}, {}, {kErrInvalidObject, QStringLiteral("Invalid object name 'invt'.")}};

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
        DBTableInfo& t = tableInfo(kInvt);
        t.TableName = QStringLiteral("invt");
        t.CreateSQL = QStringLiteral("Create Table invt (SL CHAR (8));");
        t.IndexSQL =
            QStringLiteral("Create Index idx_0 On invt (SL); ;  Create Index idx_1 On invt (SL);");
        setTableHooks(&hooks);
        setRecallFolder(env.mkdir(QStringLiteral("data")));
    }
    void TearDown() override {
        setTableHooks(nullptr);
        resetDbState();
    }
    QString lastOpened() const { return fake->opened.value(fake->opened.size() - 1); }
    void failExecutes() {
        fake->onExecute = [](const QString&) { return std::optional<long>(); };
    }

    vx::test::TestEnv env;
    FakeConnection* fake = nullptr;
    RecordingHooks hooks;
    ScopedScriptedMessages boxes;
};

TEST_F(RecordManager, StatementsOfTheReads) {
    const QString g = QStringLiteral("(SELECT COUNT(*) FROM T WHERE A='a') > 1 AND ");
    const QString next = QStringLiteral("SELECT  TOP 1 * FROM T WHERE "),
                  top = "SELECT TOP 1 * FROM T";
    // clang-format off
    const std::tuple<int, int, QString> cases[] = {
        {1, kOpGetNext, next + "A>'a' ORDER BY A"}, {1, kOpGetPrevious, next + "A<'a' ORDER BY A DESC"},
        {2, kOpGetNext2, next + g + "A='a' AND B>'b' OR A>'a' ORDER BY A,B"},
        {2, kOpGetPrevious2, next + g + "A='a' AND B<'b' OR A<'a' ORDER BY A DESC,B DESC"},
        {3, kOpGetNext, next + g + "A='a' AND B='b' AND C> 'c' OR A='a' AND B> 'b' OR A>'a' ORDER BY A,B,C"},
        {4, kOpGetNext, next + g + "A='a' AND B>='b' AND C>='c' AND D>'d' OR A>'a' ORDER BY A,B,C,D"},
        {5, kOpGetPrevious, next + g + "A='a' AND B<='b' AND C<='c' AND D<='d' AND E<'e' OR A<'a' "
                                       "ORDER BY A DESC,B DESC,C DESC,D DESC,E DESC"},
        {1, kOpEqual, top + " WHERE A='a' ORDER BY A"}, {2, kOpGreater, top + " WHERE A>'a' AND B>'b' ORDER BY A"},
        {3, kOpGreaterOrEqual, top + " WHERE A>='a' AND B>='b' AND C>='c' ORDER BY A"},
        {4, kOpLess, top + " WHERE A<'a' AND B<'b' AND C<'c' AND D<'d' ORDER BY A DESC"},
        {2, kOpGetFirst, top + " ORDER BY A,B"}, {2, kOpGetLast2, top + " ORDER BY A DESC,B DESC"},
        {0, kOpGetFirst2, top}};
    // clang-format on
    for (const auto& [segments, op, sql] : cases) {
        hooks.segments = segments;
        ASSERT_TRUE(gfbDB_Operation(kTable, std::int16_t(op), 0)) << op;
        EXPECT_EQ(lastOpened(), sql);
    }
    // A keyed read hands its statement back and takes it as it stands the next time.
    std::int16_t op = kOpLess, key = 0;
    bool raw = false, lock = false;
    QString text;
    hooks.segments = 2;
    ASSERT_TRUE(gfbDB_Operation(kTable, op, key, raw, lock, text));
    hooks.segments = 1;
    ASSERT_TRUE(gfbDB_Operation(kTable, op, key, raw, lock, text));
    EXPECT_EQ(lastOpened(), top + " WHERE A<'a' AND B<'b' ORDER BY A DESC");
    // Item ids compare without leading blanks.
    currentRecordset(kTable) = std::make_unique<FakeRecordset>(oneRow({"ItemID", "SL"}));
    ASSERT_TRUE(gfbDB_Operation(kTable, kOpEqual, 0));
    EXPECT_EQ(lastOpened(), top + " WHERE ltrim(ItemID)='a' ORDER BY ltrim(ItemID)");
    // Raw mode: the key number is a column of the current row, whose quote is doubled.
    currentRecordset(kTable) =
        std::make_unique<FakeRecordset>(FakeResult{{"Name"}, {{DbValue::text("O'Brien")}}, {}});
    op = kOpLessOrEqual;
    raw = true;
    text.clear();
    const int fills = hooks.fills;
    EXPECT_TRUE(gfbDB_Operation(kTable, op, key, raw, lock, text));
    EXPECT_EQ(lastOpened(), "SELECT TOP 1 * FROM T WHERE Name<='O''Brien' ORDER BY Name DESC");
    EXPECT_EQ(hooks.fills, fills) << "raw reads leave the record buffer alone";
    op = kOpBySQL;
    raw = false;
    text = QStringLiteral("SELECT * FROM T WHERE x = 1");
    EXPECT_TRUE(gfbDB_Operation(kTable, op, key, raw, lock, text));
    EXPECT_EQ(lastOpened(), text);
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
    EXPECT_FALSE(gfbDB_Query(QStringLiteral("SELECT * FROM T WHERE x"), kTable));
    EXPECT_EQ(lastOpened(), QStringLiteral("SELECT TOP 1 * FROM T")) << "the base is reopened";
    EXPECT_TRUE(gfbDB_Query(QStringLiteral("SELECT * FROM T"), kTable));
    EXPECT_FALSE(gfbDB_Query(QStringLiteral("SELECT * FROM T"), kTable, true));
    fake->answer = [](const QString&) { return FakeResult{{"n"}, {{DbValue::integer(42)}}, {}}; };
    EXPECT_EQ(glDB_Count(kTable, QStringLiteral("T WHERE x='1'")), 42);
    EXPECT_EQ(lastOpened(), QStringLiteral("SELECT COUNT(*) FROM T WHERE x='1'"));
    // A table gone from under the read fails it with the engine's error.
    fake->answer = [](const QString&) { return kMissing; };
    EXPECT_FALSE(gfbDB_Operation(kTable, kOpGetFirst, 0));
    EXPECT_EQ(Err().Number, kErrInvalidObject);
    EXPECT_EQ(glDB_Count(kTable, QStringLiteral("T")), 0);
}

TEST_F(RecordManager, InsertUpdateDeleteAndOperationsWithoutStatements) {
    for (int op : std::initializer_list<int>{kOpOpen, kOpClose, kOpBeginTrans, kOpEndTrans, 99})
        EXPECT_TRUE(gfbDB_Operation(kTable, std::int16_t(op), 0)) << op;
    tableInfo(kTable).PositionFlag = 5;
    EXPECT_TRUE(gfbDB_Operation(kTable, kOpAbortTrans, 0));
    EXPECT_EQ(tableInfo(kTable).PositionFlag, 0);
    EXPECT_TRUE(fake->opened.isEmpty() && fake->executed.isEmpty());

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

TEST_F(RecordManager, MissingTableIsCreatedWithItsIndexesAndOpenedAgain) {
    bool created = false;
    fake->answer = [&](const QString&) { return created ? FakeResult{{"SL"}, {}, {}} : kMissing; };
    fake->onExecute = [&](const QString& sql) {
        created = created || sql.startsWith(QLatin1String("Create Table"));
        return std::optional<long>(-1);
    };
    EXPECT_TRUE(gfbDB_OpenTable(kInvt));
    EXPECT_TRUE(tableInfo(kInvt).IsOpen);
    EXPECT_EQ(fake->executed,
              QStringList({"Create Table invt (SL CHAR (8));", "Create Index idx_0 On invt (SL)",
                           "Create Index idx_1 On invt (SL)"}));
    EXPECT_EQ(fake->opened,
              QStringList({"SELECT TOP 1 * FROM invt", "SELECT TOP 1 * FROM jov.invt"}));
    EXPECT_TRUE(boxes.boxes().isEmpty());
    // A create that fails fails the open.
    created = false;
    failExecutes();
    EXPECT_FALSE(gfbDB_OpenTable(kInvt));
}

TEST_F(RecordManager, InventoryDeletesAreLoggedForRecall) {
    EXPECT_EQ(glDB_Execute(QStringLiteral("DELETE FROM invt WHERE SL='X'")), 1);
    EXPECT_EQ(glDB_Execute(QStringLiteral("UPDATE invt SET SL='Y'")), 1);
    failExecutes();
    EXPECT_EQ(glDB_Execute(QStringLiteral("DELETE FROM Invt2")), 0) << "logged even when it fails";
    const QList<QByteArray> lines =
        vx::test::TestEnv::readFile(env.root() + "/data/DeleteRecall.txt").split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].endsWith("   db_test\r")) << lines[0].constData();
    EXPECT_EQ(lines[1], QByteArray("INSERT INTO invt VALUES('x''y',1)\r"));
    EXPECT_EQ(lines[3], lines[1]);
}

TEST(Codecs, SqlTextAndKeySegments) {
    const std::tuple<QString, bool, QString> cases[] = {
        {"O'Brien", true, "O''Brien"}, {"O'Brien", false, "O Brien"},
        {"A, B's", true, "A,B''s"},    {" x'  y ", true, "x'' y"},
        {"it''s", true, "it''s"},      {QString(4, QChar(0)), true, "    "},
    };
    for (const auto& [in, dbl, out] : cases)
        EXPECT_EQ(gsDB_SQLText(in, dbl, 0), out) << in.toStdString();
    EXPECT_EQ(gsDB_SQLText("A, B's", true, 100), "A, B''s");
    // Key segments one to three double their quotes, the rest blank them.
    resetDbState();
    std::array<KeyPart, 9> parts;
    for (int i = 0; i < 9; ++i)
        parts[size_t(i)] = keyPart(std::int16_t(i + 10), QStringLiteral("O'B"));
    parts[8] = keyPart(19, DbValue::integer(7));
    gpDB_SetKey(4, 9, parts);
    EXPECT_EQ(tableInfo(4).KeySegments, 9);
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(dbState().giDBKeyCol[i], i + 9);
        EXPECT_EQ(dbState().gvDBKeyVal[i].toString(), i <= 3 ? "O''B" : "O B") << i;
    }
    EXPECT_EQ(dbState().gvDBKeyVal[9], DbValue::integer(7));
}

TEST(Codecs, PutField) {
    resetDbState();
    auto rs = std::make_unique<FakeRecordset>(
        FakeResult{{"a", "b", "c"}, {{DbValue::text("x"), DbValue(), DbValue::integer(5)}}, {}});
    FakeRecordset* r = rs.get();
    currentRecordset(1) = std::move(rs);
    gpDB_PutField(1, 0, DbValue::text("   "));
    EXPECT_EQ(gvDB_FieldValue(1, 0), DbValue::text(""));
    gpDB_PutField(1, 1, DbValue::text("new"));
    EXPECT_EQ(gvDB_FieldValue(1, QStringLiteral("B")), DbValue::text("new"));
    gpDB_PutField(1, 2, DbValue::decimal(50, 1)); // 5.0 equals 5: nothing written
    gpDB_PutField(1, 1, DbValue::text("new"));    // nor the same text again
    EXPECT_EQ(r->writes, 2);
    gpDB_PutField(1, 2, DbValue::integer(6));
    EXPECT_EQ(gvDB_FieldValue(1, 2), DbValue::integer(6));
    EXPECT_EQ(gvDB_FieldName(1, 2), QStringLiteral("c"));
    currentRecordset(1) = std::make_unique<FakeRecordset>(FakeResult{{"a"}, {}, {}});
    gpDB_PutField(1, 0, DbValue::text("x")); // no rows: nothing to write into
    EXPECT_TRUE(gvDB_FieldValue(1, 0).isNull());
}

} // namespace
} // namespace vx::db
