// The common table on both engines: its unique key, round trips of the company record, its INSERT
// text that quotes every value, and rows written by another program.
#include "db/operations.h"
#include "db/state.h"
#include "platform/err.h"
#include "tables/common.h"
#include "tables/testing/table_test.h"

#include <gtest/gtest.h>

namespace vx::dbtest {
namespace {

using namespace vx::tables;

class CommonTable : public TableTest {
  protected:
    void open() {
        jovDBSM_Common::PrepareTable(kCommon, env_.root());
        openTable(kCommon);
    }
    // The company record, as the report reads it at start-up.
    bool readFirst() { return db::gfbDB_Operation(kCommon, db::kOpGetFirst, 0); }
};

// The columns themselves are proven by the round trip below; here only the unique key.
TEST_P(CommonTable, NewTableIsUniqueOnItsDupId) {
    open();
    EXPECT_EQ(indexesOf(db(), QStringLiteral("COMMON")),
              QStringLiteral("common_idx_0 UNIQUE (DUPID)"));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_P(CommonTable, AnExistingTableIsLeftAsItIs) {
    ASSERT_TRUE(
        db().raw(QStringLiteral("CREATE TABLE COMMON (DupID CHAR(1), StoreNumber SMALLINT)")));
    open();
    EXPECT_EQ(columnsOf(db(), QStringLiteral("COMMON")),
              QStringLiteral("DUPID CHAR(1)|STORENUMBER SMALLINT"));
    EXPECT_TRUE(db::tableInfo(kCommon).CreateSQL.isEmpty());
}

// Every field gets a value of its own (text "t<column>", numbers from the column number), so a
// field read from or written to the wrong column shows.
TEST_P(CommonTable, EveryFieldSurvivesARoundTrip) {
    open();
    CommonRec& c = common();
    const auto& fields = jovDBSM_Common::definition().fields;
    ASSERT_EQ(fields.size(), 98u);
    auto assign = [&](int i) {
        std::visit(
            [&](auto p) {
                using M = std::remove_cvref_t<decltype(c.*p)>;
                if constexpr (std::is_same_v<M, FixedText>)
                    c.*p = QStringLiteral("t%1").arg(i);
                else if constexpr (std::is_same_v<M, float>)
                    c.*p = static_cast<float>(i) + 0.25f;
                else if constexpr (std::is_same_v<M, std::int64_t>)
                    c.*p = i * 10000 + 4000; // i.4: bare DECIMAL columns keep no decimals
                else
                    c.*p = static_cast<M>(i * 3);
            },
            fields[static_cast<size_t>(i)].field);
    };
    for (int i = 0; i < 98; ++i)
        assign(i);
    c.FullBackTime = QStringLiteral("4"); // its column is a number
    c.MaxStations = 5;
    c.BreakPoint = 125000; // 12.5
    c.Cname = QStringLiteral("Joe's Hardware");
    c.Ccity = QString::fromUtf8("Kraków ☕");
    c.ShippingSL1 = QStringLiteral("UPS GROUND");

    const QString values = hooks.gsRecordValues(kCommon);
    const QStringList parts = values.split(QStringLiteral("','"));
    EXPECT_EQ(parts.size(), 98) << "every value between quotes: " << values.toStdString();
    EXPECT_TRUE(values.startsWith(QLatin1String("'t0        ','t','Joe s Hardware  ")));
    EXPECT_TRUE(values.endsWith(QStringLiteral("t97") + QString(62, u' ') + QStringLiteral(" '")));
    EXPECT_EQ(parts.value(11), QStringLiteral("5")) << "MaxStations";
    EXPECT_EQ(parts.value(36), QStringLiteral("12.5")) << "BreakPoint";
    EXPECT_EQ(parts.value(67), QStringLiteral("4")) << "FullBackTime";
    EXPECT_EQ(parts.value(74), QStringLiteral("74.25")) << "TaxRate6 in its column";
    EXPECT_EQ(parts.value(2).trimmed(), QStringLiteral("Joe s Hardware"));
    const CommonRec sent = c;

    ASSERT_TRUE(db::gfbDB_Operation(kCommon, db::kOpInsert, 0)) << Err().Description.toStdString();
    c = CommonRec{};
    ASSERT_TRUE(readFirst()) << Err().Description.toStdString();
    for (size_t i = 0; i < fields.size(); ++i) {
        std::visit(
            [&](auto p) {
                using M = std::remove_cvref_t<decltype(c.*p)>;
                if constexpr (std::is_same_v<M, FixedText>)
                    EXPECT_EQ((c.*p).str(), (sent.*p).str()) << fields[i].column;
                else if constexpr (std::is_same_v<M, float>)
                    EXPECT_FLOAT_EQ(c.*p, sent.*p) << fields[i].column;
                else if constexpr (std::is_same_v<M, std::int64_t>)
                    EXPECT_EQ(c.*p, &(c.*p) == &c.BreakPoint ? 130000 : std::int64_t(i) * 10000)
                        << fields[i].column;
                else
                    EXPECT_EQ(c.*p, sent.*p) << fields[i].column;
            },
            fields[i].field);
    }
    EXPECT_EQ(c.ShippingSL1.str(), QStringLiteral("UPS GROU"));
    EXPECT_EQ(c.Ccity.trimmed(), QString::fromUtf8("Kraków ☕"));
}

TEST_P(CommonTable, RowsOfAnotherProgramRead) {
    open();
    ASSERT_TRUE(db().raw(QStringLiteral(
        "INSERT INTO COMMON (DupID, Cname, StoreNumber, FullBackTime, ShippingSL1, TaxRate5, "
        "TaxRate6, BreakPoint, MaxStations) VALUES ('1', NULL, 7, 23, 'ABCDEFGHI', 5.5, 6.5, "
        "12.5, NULL)")));
    const CommonRec& c = common();
    ASSERT_TRUE(readFirst()) << Err().Description.toStdString();
    EXPECT_EQ(c.StoreNumber, 7);
    EXPECT_EQ(c.FullBackTime.str(), QStringLiteral("2"));
    EXPECT_EQ(c.ShippingSL1.str(), QStringLiteral("ABCDEFGH"));
    EXPECT_FLOAT_EQ(c.TaxRate5, 5.5f);
    EXPECT_FLOAT_EQ(c.TaxRate6, 6.5f);
    EXPECT_EQ(c.BreakPoint, 130000);
    EXPECT_EQ(c.MaxStations, 0);
    EXPECT_EQ(c.Cname.str(), QString(40, u' '));
    EXPECT_EQ(c.Spare.str(), QString(65, u' '));
    // Key numbers mean nothing here: the keyed read of any number finds the same first row.
    for (std::int16_t key : {0, 3})
        EXPECT_TRUE(db::gfbDB_Operation(kCommon, db::kOpGetFirst, key));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, CommonTable, ::testing::ValuesIn(allBackends()), backendName);

} // namespace
} // namespace vx::dbtest
