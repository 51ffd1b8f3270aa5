// The record manager on real engines: tables created through the layer, the end of a walk,
// keyed reads with quotes and UTF-8, Update/Delete of the row last read (blank texts written as
// empty texts), and the recall log of inventory deletions. Walks over every key are in the tables'
// own tests.
#include "db/codecs.h"
#include "db/hooks.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "db/testing/backends.h"
#include "platform/err.h"
#include "platform/scripted_messages.h"

#include <gtest/gtest.h>

namespace vx::dbtest {
namespace {

using namespace vx::db;

constexpr std::int16_t kNav = 1;
constexpr std::int16_t kInv = 3; // an inventory slot: its deletions are logged

struct Record {
    QString k1, k2;
    qint64 k3 = 0;
    QString name;
};

// A small table module: K1 CHAR(4), K2 CHAR(4), K3 INTEGER, NAME CHAR(20). Keys: 0 → K3;
// 1 → K1, K2; 2 → K1, K2, K3.
struct NavHooks : TableHooks {
    Record rec;
    static QString pad(const QString& s, int w) { return s.leftJustified(w, u' ', true); }
    void gpFillRecord(std::int16_t t) override {
        rec = {gvDB_FieldValue(t, 0).toString(), gvDB_FieldValue(t, 1).toString(),
               gvDB_FieldValue(t, 2).toInt(), gvDB_FieldValue(t, 3).toString()};
    }
    void gpStoreRecord(std::int16_t t) override {
        gpDB_PutField(t, 3, DbValue::text(pad(rec.name, 20)));
    }
    QString gsRecordValues(std::int16_t) override {
        auto q = [](const QString& s, int w) { return gsDB_SQLText(pad(s, w), false, 0); };
        return u'\'' + q(rec.k1, 4) + QStringLiteral("','") + q(rec.k2, 4) + QStringLiteral("',") +
               QString::number(rec.k3) + QStringLiteral(",'") + q(rec.name, 20) + u'\'';
    }
    void gpLoadKey(std::int16_t t, std::int16_t key) override {
        std::array<KeyPart, 9> p;
        if (key == 0) {
            p[0] = keyPart(2, DbValue::integer(rec.k3));
            gpDB_SetKey(t, 1, p);
            return;
        }
        p[0] = keyPart(0, pad(rec.k1, 4));
        p[1] = keyPart(1, pad(rec.k2, 4));
        p[2] = keyPart(2, DbValue::integer(rec.k3));
        gpDB_SetKey(t, key == 1 ? 2 : 3, p);
    }
};

const char* kCreate = "Create Table %1 (K1 CHAR (4), K2 CHAR (4), K3 INTEGER NOT NULL, "
                      "NAME CHAR (20) DEFAULT  ' ', );";
const char* kIndexes = "Create UNIQUE  CLUSTERED Index idx_0 On %1 (K3);;"
                       "Create unique Index idx_1 On %1 (K1, K2);";

class RecordManagerOnEngine : public BackendTest {
  protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        resetDbState();
        Err().Clear();
        dbState().gcnDatabase = connect();
        dbState().gbDBConnected = true;
        for (auto [slot, name] : {std::pair{kNav, "nav"}, std::pair{kInv, "invtnav"}}) {
            DBTableInfo& t = tableInfo(slot);
            t.TableName = QString::fromLatin1(name);
            t.CreateSQL = QString::fromLatin1(kCreate).arg(t.TableName);
            t.IndexSQL = QString::fromLatin1(kIndexes).arg(t.TableName);
        }
        setTableHooks(&hooks);
        setRecallFolder(env_.root());
        ASSERT_TRUE(gfbDB_OpenTable(kNav)) << Err().Description.toStdString();
        const Record rows[] = {{"C", "d", 5, "five"}, {"A", "b", 2, "two"},
                               {"D", "a", 6, "six"},  {"A", "a", 1, "one"},
                               {"C", "c", 4, "four"}, {"B", "a", 3, "three"}};
        for (const Record& r : rows) {
            hooks.rec = r;
            ASSERT_TRUE(gfbDB_Operation(kNav, kOpInsert, 0)) << Err().Description.toStdString();
        }
    }
    void TearDown() override {
        setTableHooks(nullptr);
        resetDbState();
        BackendTest::TearDown();
    }
    NavHooks hooks;
    ScopedScriptedMessages boxes;
};

TEST_P(RecordManagerOnEngine, NextAfterTheLastKeepsTheRecord) {
    ASSERT_TRUE(gfbDB_Operation(kNav, kOpGetLast, 1));
    EXPECT_EQ(hooks.rec.k1, QStringLiteral("D   "));
    EXPECT_FALSE(gfbDB_Operation(kNav, kOpGetNext, 1));
    EXPECT_EQ(hooks.rec.k3, 6);
    EXPECT_EQ(hooks.rec.name, QStringLiteral("six").leftJustified(20));
    // A key whose first value occurs once: only "K1 > 'B'" can match.
    hooks.rec = {"B", "a", 3, ""};
    ASSERT_TRUE(gfbDB_Operation(kNav, kOpGetNext, 1));
    EXPECT_EQ(hooks.rec.k3, 4);
}

TEST_P(RecordManagerOnEngine, KeyedReadsWithQuotesAndUtf8) {
    hooks.rec = {"O'B", "x", 7, QString::fromUtf8("Łódź ☕ O'Neil")};
    ASSERT_TRUE(gfbDB_Operation(kNav, kOpInsert, 0));
    hooks.rec = {"O'B", "x", 0, ""};
    EXPECT_FALSE(gfbDB_Operation(kNav, kOpEqual, 1)) << "stored with a blank, not the quote";
    hooks.rec = {"O B", "x", 0, ""};
    ASSERT_TRUE(gfbDB_Operation(kNav, kOpEqual, 1)) << Err().Description.toStdString();
    EXPECT_EQ(hooks.rec.k1, QStringLiteral("O B ")) << "inserted quotes are stored as blanks";
    EXPECT_EQ(hooks.rec.name, QString::fromUtf8("Łódź ☕ O Neil").leftJustified(20));

    ASSERT_TRUE(db().raw(QStringLiteral("INSERT INTO nav VALUES('Q''R', 'y', 8, 'raw')")));
    hooks.rec = {"Q'R", "y", 0, ""};
    EXPECT_TRUE(gfbDB_Operation(kNav, kOpEqual, 1)) << "a quote in a key is doubled";
    hooks.rec = {"A", "a", 0, ""};
    ASSERT_TRUE(gfbDB_Operation(kNav, kOpGreaterOrEqual, 1));
    EXPECT_EQ(hooks.rec.k3, 1);
    hooks.rec = {"C", "zz", 0, ""};
    ASSERT_TRUE(gfbDB_Operation(kNav, kOpLess, 1));
    EXPECT_EQ(hooks.rec.k1, QStringLiteral("B   "));
}

TEST_P(RecordManagerOnEngine, UpdateAndDeleteActOnTheRowLastRead) {
    hooks.rec.k3 = 3;
    ASSERT_TRUE(gfbDB_Operation(kNav, kOpEqual, 0));
    hooks.rec.name = QStringLiteral("changed");
    ASSERT_TRUE(gfbDB_Operation(kNav, kOpUpdate, 0)) << Err().Description.toStdString();
    EXPECT_EQ(
        db().rawValue(QStringLiteral("SELECT NAME FROM nav WHERE K3 = 3")).value_or("").trimmed(),
        QStringLiteral("changed"));
    EXPECT_EQ(db().rawValue(QStringLiteral("SELECT COUNT(*) FROM nav WHERE NAME = 'changed'")),
              QStringLiteral("1"));

    // A blank text is written as an empty text, never as NULL, and a number equal to the one
    // read is not written at all.
    hooks.rec.name.clear();
    ASSERT_TRUE(gfbDB_Operation(kNav, kOpUpdate, 0)) << Err().Description.toStdString();
    gpDB_PutField(kNav, 2, DbValue::decimal(30, 1));
    gpDB_PutField(kNav, 0, DbValue::text(QString()));
    ASSERT_TRUE(currentRecordset(kNav)->update()) << Err().Description.toStdString();
    EXPECT_EQ(db().rawValue(QStringLiteral("SELECT COUNT(*) FROM nav WHERE K3 = 3 AND NAME IS NOT "
                                           "NULL AND K1 IS NOT NULL")),
              QStringLiteral("1"));
    EXPECT_EQ(db().rawValue(QStringLiteral("SELECT K1 || NAME FROM nav WHERE K3 = 3"))
                  .value_or("<null>")
                  .trimmed(),
              QString());

    ASSERT_TRUE(gfbDB_Operation(kNav, kOpDelete, 0));
    EXPECT_EQ(db().rawValue(QStringLiteral("SELECT COUNT(*) FROM nav")), QStringLiteral("5"));
    EXPECT_EQ(db().rawValue(QStringLiteral("SELECT COUNT(*) FROM nav WHERE K3 = 3")),
              QStringLiteral("0"));
}

TEST_P(RecordManagerOnEngine, DeletedInventoryRowsCanBePutBack) {
    ASSERT_TRUE(gfbDB_OpenTable(kInv));
    hooks.rec = {"IT'1", "b", 9, "Widget"};
    ASSERT_TRUE(gfbDB_Operation(kInv, kOpInsert, 0));
    hooks.rec = {};
    hooks.rec.k3 = 9;
    ASSERT_TRUE(gfbDB_Operation(kInv, kOpEqual, 0));
    ASSERT_TRUE(gfbDB_Operation(kInv, kOpDelete, 0));
    EXPECT_EQ(db().rawValue(QStringLiteral("SELECT COUNT(*) FROM invtnav")), QStringLiteral("0"));

    const QList<QByteArray> lines =
        vx::test::TestEnv::readFile(env_.root() + "/DeleteRecall.txt").split('\n');
    ASSERT_GE(lines.size(), 2);
    const QString insert = QString::fromUtf8(lines[1]).trimmed();
    EXPECT_TRUE(insert.startsWith(QLatin1String("INSERT INTO invtnav VALUES(")))
        << insert.toStdString();
    EXPECT_GT(glDB_Execute(insert), 0) << Err().Description.toStdString();
    EXPECT_EQ(db().rawValue(QStringLiteral("SELECT NAME FROM invtnav WHERE K3 = 9"))
                  .value_or("")
                  .trimmed(),
              QStringLiteral("Widget"));
}

TEST_P(RecordManagerOnEngine, ADroppedTableFailsReadsWithoutACrash) {
    ASSERT_TRUE(db().raw(QStringLiteral("DROP TABLE nav")));
    EXPECT_FALSE(gfbDB_Operation(kNav, kOpGetFirst, 0));
    EXPECT_EQ(Err().Number, kErrInvalidObject);
    EXPECT_TRUE(Err().Description.startsWith(QLatin1String("Invalid object name")));
    EXPECT_EQ(glDB_Count(kNav, QStringLiteral("nav")), 0);
    EXPECT_FALSE(gfbDB_Query(QStringLiteral("SELECT * FROM nav"), kNav));
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordManagerOnEngine, ::testing::ValuesIn(allBackends()),
                         backendName);

} // namespace
} // namespace vx::dbtest
