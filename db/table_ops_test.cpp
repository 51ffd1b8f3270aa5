// Opening, creating and the recall log, against a scripted engine.
#include "db/codecs.h"
#include "db/testing/fake_engine.h"
#include "db/hooks.h"
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

struct ValuesHooks : TableHooks {
    void gpFillRecord(std::int16_t) override {}
    void gpStoreRecord(std::int16_t) override {}
    QString gsRecordValues(std::int16_t) override { return QStringLiteral("'ITEM1   ',5"); }
    void gpLoadKey(std::int16_t, std::int16_t) override {}
};

class TableOps : public ::testing::Test {
  protected:
    void SetUp() override {
        resetDbState();
        Err().Clear();
        auto conn = std::make_unique<FakeConnection>();
        fake = conn.get();
        dbState().gcnDatabase = std::move(conn);
        DBTableInfo& t = tableInfo(3);
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
    vx::test::TestEnv env;
    ValuesHooks hooks;
    FakeConnection* fake = nullptr;
    ScopedScriptedMessages boxes;
};

TEST_F(TableOps, MissingTableIsCreatedWithItsIndexesAndOpenedAgain) {
    bool created = false;
    fake->answer = [&](const QString&) {
        if (!created)
            return FakeResult{
                {}, {}, {kErrInvalidObject, QStringLiteral("Invalid object name 'invt'.")}};
        return FakeResult{{"SL"}, {}, {}};
    };
    fake->onExecute = [&](const QString& sql) {
        created = created || sql.startsWith(QLatin1String("Create Table"));
        return std::optional<long>(-1);
    };
    EXPECT_TRUE(gfbDB_OpenTable(3));
    EXPECT_TRUE(tableInfo(3).IsOpen);
    EXPECT_EQ(fake->executed,
              QStringList({"Create Table invt (SL CHAR (8));", "Create Index idx_0 On invt (SL)",
                           "Create Index idx_1 On invt (SL)"}));
    EXPECT_EQ(fake->opened,
              QStringList({"SELECT TOP 1 * FROM invt", "SELECT TOP 1 * FROM jov.invt"}));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(TableOps, FailedCreateFailsTheOpen) {
    fake->answer = [](const QString&) {
        return FakeResult{
            {}, {}, {kErrInvalidObject, QStringLiteral("Invalid object name 'invt'.")}};
    };
    fake->onExecute = [](const QString&) { return std::optional<long>(); };
    EXPECT_FALSE(gfbDB_OpenTable(3));
    EXPECT_FALSE(tableInfo(3).IsOpen);
    EXPECT_EQ(fake->opened.size(), 1);
}

TEST_F(TableOps, OtherOpenErrorsAreReported) {
    fake->answer = [](const QString&) {
        return FakeResult{{}, {}, {-2147467259, QStringLiteral("file is not a database")}};
    };
    EXPECT_FALSE(gfbDB_OpenTable(3));
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].text,
              QStringLiteral("-2147467259    Open Table Error    file is not a database\r"));
}

TEST_F(TableOps, NoConnectionIsReported) {
    fake->isOpen = false;
    EXPECT_FALSE(gfbDB_OpenTable(3));
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("Failed to connect to database. "));
    EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("Database Connection Error"));
    EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Critical);
}

TEST_F(TableOps, InventoryDeletesAreLoggedForRecall) {
    EXPECT_EQ(glDB_Execute(QStringLiteral("DELETE FROM invt WHERE SL='X'")), 1);
    EXPECT_EQ(glDB_Execute(QStringLiteral("UPDATE invt SET SL='Y'")), 1);
    fake->onExecute = [](const QString&) { return std::optional<long>(); };
    EXPECT_EQ(glDB_Execute(QStringLiteral("DELETE FROM Invt2")), 0) << "logged even when it fails";
    const QList<QByteArray> lines =
        vx::test::TestEnv::readFile(env.root() + "/data/DeleteRecall.txt").split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].endsWith("   db_test\r")) << lines[0].constData();
    EXPECT_EQ(lines[1], QByteArray("INSERT INTO invt VALUES('ITEM1   ',5)\r"));
    EXPECT_EQ(lines[3], lines[1]);
}

TEST_F(TableOps, AddAndRenameColumns) {
    fake->onExecute = [](const QString&) { return std::optional<long>(-1); };
    EXPECT_TRUE(gfbDB_AddColumn(3, QStringLiteral("BPL3"), QStringLiteral("INTEGER ")));
    EXPECT_EQ(fake->executed.last(), QStringLiteral("ALTER TABLE invt ADD BPL3 INTEGER "));
    gpDB_RenameColumn(QStringLiteral("invt"), QStringLiteral("Flg2"), QStringLiteral("NeverOrder"));
    EXPECT_EQ(fake->executed.last(),
              QStringLiteral("sp_RENAME 'invt.Flg2', 'NeverOrder ', 'COLUMN'"));
    fake->onExecute = [](const QString&) { return std::optional<long>(); };
    EXPECT_FALSE(gfbDB_AddColumn(3, QStringLiteral("BPL3"), QStringLiteral("INTEGER ")));
    EXPECT_NE(Err().Number, 0);
}

TEST(Codecs, SqlText) {
    const std::tuple<QString, bool, QString> cases[] = {
        {"O'Brien", true, "O''Brien"},
        {"O'Brien", false, "O Brien"},
        {"A, B's", true, "A,B''s"},
        {" x'  y ", true, "x'' y"},
        {"it''s", true, "it''s"},
        {"plain  text, here", true, "plain  text, here"},
        {QString(4, QChar(0)), true, "    "},
        {"", true, ""},
    };
    for (const auto& [in, dbl, out] : cases)
        EXPECT_EQ(gsDB_SQLText(in, dbl, 0), out) << in.toStdString();
    EXPECT_EQ(gsDB_SQLText("A, B's", true, 100), "A, B''s");
}

TEST(Codecs, KeySegmentsOneToThreeDoubleQuotesTheRestBlankThem) {
    resetDbState();
    std::array<KeyPart, 9> parts;
    for (int i = 0; i < 9; ++i)
        parts[static_cast<size_t>(i)] =
            keyPart(static_cast<std::int16_t>(i + 10), QStringLiteral("O'B"));
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
    const int writes = r->writes;
    gpDB_PutField(1, 2, DbValue::decimal(50, 1)); // 5.0 equals 5: nothing written
    EXPECT_EQ(r->writes, writes);
    gpDB_PutField(1, 2, DbValue::integer(6));
    EXPECT_EQ(gvDB_FieldValue(1, 2), DbValue::integer(6));
    EXPECT_EQ(gvDB_FieldName(1, 2), QStringLiteral("c"));

    currentRecordset(1) = std::make_unique<FakeRecordset>(FakeResult{{"a"}, {}, {}});
    gpDB_PutField(1, 0, DbValue::text("x")); // no rows: nothing to write into
    EXPECT_TRUE(gvDB_FieldValue(1, 0).isNull());
}

} // namespace
} // namespace vx::db
