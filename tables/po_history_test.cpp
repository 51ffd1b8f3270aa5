// The purchase-order history table on both engines: its unique key, round trips and navigation.
#include "db/operations.h"
#include "db/state.h"
#include "platform/err.h"
#include "tables/po_history.h"
#include "tables/testing/table_test.h"

#include <gtest/gtest.h>

namespace vx::dbtest {
namespace {

using namespace vx::tables;

class POHistoryTable : public TableTest {
  protected:
    void SetUp() override {
        TableTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        jovDBSM_POHistory::PrepareTable(kPOHistory, env_.root(), QStringLiteral("4"));
        ASSERT_TRUE(db::gfbDB_OpenTable(kPOHistory));
    }
    static void row(const char* date, const char* po, int item, const char* status, int id) {
        POHistoryRec& r = poHistory();
        r = POHistoryRec{};
        r.DateReceived = QString::fromLatin1(date);
        r.PONumber = QString::fromLatin1(po);
        r.InvUID = item;
        r.Status = QString::fromLatin1(status);
        r.UniqueID = id;
        r.VendorCode = QStringLiteral("V1");
        r.Poll = QStringLiteral("N");
    }
    QList<int> walk(std::int16_t key, bool forward) {
        return walkKey(
            kPOHistory, key, forward, [] { return poHistory().UniqueID; }, 50);
    }
};

TEST_P(POHistoryTable, NewTableIsNamedForTheStoreAndUniqueOnUniqueId) {
    EXPECT_EQ(db::tableInfo(kPOHistory).TableName, QStringLiteral("POHistory4"));
    row("20240301", "P1", 1, "R", 7);
    EXPECT_TRUE(db::gfbDB_Operation(kPOHistory, db::kOpInsert, 0));
    EXPECT_FALSE(db::gfbDB_Operation(kPOHistory, db::kOpInsert, 0));
}

TEST_P(POHistoryTable, EveryFieldSurvivesARoundTrip) {
    POHistoryRec& r = poHistory();
    row("20240301", "PO'12", 42, "R", 9);
    r.Spare = -3;
    r.UnitQty = 2.5f;
    r.UnitCost = 123456; // 12.3456 → 12.346 in a DECIMAL(18,3) column
    r.Pack = 12;
    r.VendorCode = QString::fromUtf8("Łódź ☕ Supplies Ltd.");
    r.ARCode = QStringLiteral("AR");
    r.SalesCode = QStringLiteral("CLERK");
    r.DateOrdered = QStringLiteral("20240220");
    r.SPARE2 = QStringLiteral("a spare text longer than twenty");
    ASSERT_TRUE(db::gfbDB_Operation(kPOHistory, db::kOpInsert, 0))
        << Err().Description.toStdString();
    const POHistoryRec sent = r;
    r = POHistoryRec{};
    r.UniqueID = 9;
    ASSERT_TRUE(db::gfbDB_Operation(kPOHistory, db::kOpEqual, 4));
    EXPECT_EQ(r.PONumber.str(), QStringLiteral("PO 12     ")) << "quotes are stored as blanks";
    EXPECT_EQ(r.VendorCode.str(), QString::fromUtf8("Łódź ☕ Supplies"));
    EXPECT_EQ(r.SPARE2.str(), QStringLiteral("a spare text longer "));
    EXPECT_EQ(r.SPARE2.str().size(), 20);
    EXPECT_EQ(r.UnitCost, 123460);
    for (auto [a, b] :
         {std::pair{r.InvUID, sent.InvUID}, std::pair{qint32(r.Spare), qint32(sent.Spare)},
          std::pair{qint32(r.Pack), qint32(sent.Pack)}})
        EXPECT_EQ(a, b);
    EXPECT_FLOAT_EQ(r.UnitQty, 2.5f);
    for (auto p : {&POHistoryRec::DateReceived, &POHistoryRec::Status, &POHistoryRec::Poll,
                   &POHistoryRec::ARCode, &POHistoryRec::SalesCode, &POHistoryRec::DateOrdered})
        EXPECT_EQ((r.*p).str(), (sent.*p).str());
}

TEST_P(POHistoryTable, KeysWalkInOrderBothWays) {
    // Unique on each key used below, with repeating leading segments.
    const struct {
        const char* date;
        const char* po;
        int item;
        const char* status;
        int id;
    } rows[] = {{"20240103", "P2", 4, "R", 14},
                {"20240101", "P1", 2, "U", 11},
                {"20240102", "P1", 1, "R", 12},
                {"20240104", "P3", 3, "R", 13},
                {"20240105", "P2", 5, "X", 15}};
    for (const auto& r : rows) {
        row(r.date, r.po, r.item, r.status, r.id);
        ASSERT_TRUE(db::gfbDB_Operation(kPOHistory, db::kOpInsert, 0));
    }
    const std::pair<std::int16_t, QList<int>> keys[] = {
        {4, {11, 12, 13, 14, 15}}, // UniqueID
        {2, {12, 11, 14, 15, 13}}, // PONumber, InvUID
        {1, {12, 13, 14, 11, 15}}, // Status, InvUID, DateReceived
        {5, {11, 12, 13, 14, 15}}, // VendorCode, UniqueID
        {3, {11, 12, 14, 13, 15}}, // ARCode (all blank), DateReceived, InvUID
        {6, {11, 12, 13, 14, 15}}, // Poll (all "N"), UniqueID
    };
    // Key 0 has four segments: its middle segments compare with ">=" / "<=", so a row whose
    // item number is below the current one's within the same status is passed over.
    EXPECT_EQ(walk(0, true), QList<int>({12, 14, 11, 15}));
    EXPECT_EQ(walk(0, false), QList<int>({15, 11, 13, 12}));
    for (const auto& [key, order] : keys) {
        EXPECT_EQ(walk(key, true), order) << "key " << key;
        EXPECT_EQ(walk(key, false), QList<int>(order.rbegin(), order.rend())) << "key " << key;
    }
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, POHistoryTable, ::testing::ValuesIn(allBackends()), backendName);

} // namespace
} // namespace vx::dbtest
