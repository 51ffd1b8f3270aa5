// The common table on both engines: its layout, round trips of the company record, its INSERT
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

TEST_P(CommonTable, NewTableHasTheSuitesLayout) {
    open();
    const db::DBTableInfo& info = db::tableInfo(kCommon);
    EXPECT_EQ(info.TableKey, QStringLiteral("COMMON"));
    EXPECT_EQ(info.Description, QStringLiteral("Common"));
    EXPECT_TRUE(info.FilePath.endsWith(QLatin1String("/COMMON.JOV")));
    EXPECT_TRUE(info.CreateSQL.endsWith(QLatin1String("Email CHAR (35), Spare CHAR (65) );")));
    EXPECT_EQ(info.IndexSQL, QStringLiteral("Create UNIQUE Index idx_0 On COMMON (DupID);"));
    EXPECT_EQ(
        columnsOf(db(), QStringLiteral("COMMON")),
        "PROGRAMVERSION CHAR(10)|DUPID CHAR(1)|CNAME CHAR(40)|WEBADDRESS CHAR(40)|CCITY CHAR(25)|"
        "CSTATE CHAR(3)|CZIP CHAR(10)|CPHONE CHAR(14)|CFAX CHAR(14)|MANDATORYNAME CHAR(1)|"
        "REQUESTEDTICKET INTEGER|MAXSTATIONS SMALLINT|USEUROPE CHAR(1)|CUPS CHAR(11)|"
        "SHIPPINGSL1 CHAR(9)|SHIPPINGSL2 CHAR(9)|SHIPPINGSL3 CHAR(9)|EXCHANGERATE REAL|"
        "BACK_UP CHAR(1)|PACKMODE CHAR(3)|SECURITY CHAR(1)|PONUMBER INTEGER|STORENUMBER SMALLINT|"
        "ACCOUNTING CHAR(2)|AUTOPHONEFORMAT CHAR(1)|AUTOPROPERNAMES CHAR(1)|"
        "ORDEROFLOOKUP CHAR(1)|DEFAULTARCODE CHAR(1)|D2 CHAR(9)|MULTISTORE CHAR(1)|D5 CHAR(2)|"
        "TAXRATE1 REAL|TAXRATE2 REAL|TAXRATE3 REAL|TAXRATE4 REAL|TAXRATE5 REAL|"
        "BREAKPOINT DECIMAL(18,0)|TAXRATEABOVE REAL|TAXRATE2ND REAL|TAXCITY CHAR(1)|"
        "TAXROUND CHAR(1)|TAXLINETOT CHAR(1)|NOTAXONFIRST DECIMAL(18,0)|TAXADJUST DECIMAL(18,0)|"
        "PRTAGTAX CHAR(1)|CREDITSERVICE CHAR(1)|CREDITUSERID CHAR(20)|CREDITPWD CHAR(20)|"
        "ACCESSACOUNT CHAR(1)|ACCESSINVENTORY CHAR(1)|ACCESSCONFIG CHAR(1)|ACCESSORDER CHAR(1)|"
        "ACCESSVOID CHAR(1)|ACCESSREPORTS CHAR(1)|ACCESSMARGIN CHAR(1)|ACCESSCOST CHAR(1)|"
        "ACCESSQTY CHAR(1)|CRLIMMITACTIVE CHAR(1)|SLIPPRINT CHAR(6)|UPPERCASEITEMID CHAR(1)|"
        "UPPERCASESL CHAR(1)|POEXPORTTYPE CHAR(1)|NAMEPREFILL CHAR(1)|CHECKSTATCODE CHAR(2)|"
        "CHECKCOMPANY CHAR(3)|FULLBACK CHAR(1)|STAFULLBACK SMALLINT|FULLBACKTIME SMALLINT|"
        "TAXSEARCH2ND CHAR(1)|TAXLABEL2ND CHAR(3)|MERCHANTID CHAR(14)|PARTNERID CHAR(14)|"
        "REPRINTMESSAGE CHAR(15)|NICKELADJUST CHAR(1)|TAXRATE6 REAL|STARTUPFEE DECIMAL(18,0)|"
        "CANCELFEE DECIMAL(18,0)|MINPERCENT DECIMAL(18,0)|MINDOLLAR DECIMAL(18,0)|"
        "PULLLAYAWAY CHAR(1)|NEWQTY CHAR(1)|TAXCODERATEABOVE CHAR(1)|BACKTIME CHAR(1)|"
        "WEEKLYNUM SMALLINT|DAILYNUM SMALLINT|MINFREESPACE SMALLINT|POPRINTPM CHAR(1)|"
        "MINPRICEWARN CHAR(1)|PRICEMETHOD CHAR(1)|DMARGIN REAL|ICV CHAR(1)|WINPOFLAG CHAR(1)|"
        "ALLOWCHANGEDISCOUNT CHAR(1)|CCOUNTRY CHAR(20)|INCREMENTITEMS CHAR(1)|COUNTRYID SMALLINT|"
        "EMAIL CHAR(35)|SPARE CHAR(65)");
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
