// Opening the report's table set on both engines: which tables the store chooses, and the
// dispatch of the hooks by table id.
#include "datapath/clsdatapath.h"
#include "db/dialect.h"
#include "db/operations.h"
#include "db/state.h"
#include "platform/settings.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/dispatch.h"
#include "tables/po_history.h"
#include "tables/testing/table_test.h"
#include "tables/vendors.h"

#include <QFile>
#include <gtest/gtest.h>

namespace vx::dbtest {
namespace {

using namespace vx::tables;

// gfbOpenReportTables starts the database layer itself, from the settings written here.
class ReportTables : public TableTest {
  protected:
    ReportTables() : TableTest(false) {}
    void SetUp() override {
        TableTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        resetRunState();
        resetDataPath();
        gDataPath().setDataPath(env_.mkdir(QStringLiteral("data")));
        const Login& l = db().login();
        for (const auto& [key, value] :
             {std::pair{"Server", l.server}, std::pair{"DBName", l.database},
              std::pair{"UserName", l.user}, std::pair{"Password", l.password}})
            SaveSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"),
                        QString::fromLatin1(key), value);
    }
    // A company table holding one record with this store number.
    void companyStore(int number) {
        // The program creates the company table; its record comes with plain SQL.
        ASSERT_TRUE(gfbOpenReportTables());
        ASSERT_TRUE(db().raw(
            QStringLiteral("INSERT INTO COMMON (DupID, StoreNumber) VALUES('1', %1)").arg(number)));
        db::resetDbState();
    }
    QString name(std::int16_t t) { return db::tableInfo(t).TableName; }
};

TEST_P(ReportTables, TheStoreChoosesTheTables) {
    companyStore(3);
    struct Case {
        const char* store;
        const char* history;
        const char* inventory;
        const char* header;
        const char* line;
    };
    const Case cases[] = {
        {"", "POHistory3", "invt3", "POHeader", "POLine"},
        {"5", "POHistory5", "invt5", "POHeader5", "POLine5"},
        {"03", "POHistory03", "invt03", "POHeader", "POLine"},
    };
    for (const Case& c : cases) {
        db::resetDbState();
        runState().gsStore = QString::fromLatin1(c.store);
        ASSERT_TRUE(gfbOpenReportTables()) << c.store;
        EXPECT_EQ(common().StoreNumber, 3);
        EXPECT_EQ(name(kPOHistory), QString::fromLatin1(c.history));
        EXPECT_EQ(name(kInventory), QString::fromLatin1(c.inventory));
        EXPECT_EQ(name(kPOHeader), QString::fromLatin1(c.header));
        EXPECT_EQ(name(kPOLine), QString::fromLatin1(c.line));
        ASSERT_TRUE(gfbOpenReportRecordsets()) << c.store;
        for (const char* t : {c.history, c.inventory, c.header, c.line})
            EXPECT_TRUE(
                db().rawValue(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(t))))
                << t << " was created";
    }
    EXPECT_EQ(runState().gsStore, QStringLiteral("03"));
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_P(ReportTables, AnEmptyCompanyTableLeavesTheStoreTablesUnprepared) {
    ASSERT_TRUE(gfbOpenReportTables());
    EXPECT_EQ(name(kCommon), QStringLiteral("COMMON"));
    EXPECT_EQ(name(kVendors), QStringLiteral("VENDOR"));
    EXPECT_EQ(name(kPOHeader), QStringLiteral("POHeader"));
    EXPECT_TRUE(name(kPOHistory).isEmpty());
    EXPECT_TRUE(name(kInventory).isEmpty());
    EXPECT_TRUE(runState().gsStore.isEmpty());
}

TEST_P(ReportTables, StartUpBringsTablesUpToDateAndASecondStartChangesNothing) {
    // A VENDOR table of an older release, there before the program first starts: the country
    // column is still called EXPENSECD.
    QString create = QStringLiteral("Create Table VENDOR (");
    for (const auto& f : jovDBSM_Vendors::definition().fields)
        create += QString::fromUtf8(f.fragment);
    create.replace(QStringLiteral("COUNTRY CHAR"), QStringLiteral("EXPENSECD CHAR")) += u')';
    const db::Dialect dialect = pg() ? db::Dialect::PostgreSQL : db::Dialect::SQLite;
    ASSERT_TRUE(db().raw(db::translate(create, dialect).sql));

    companyStore(3); // the first start, as the program starts
    const QString vendorColumns = columnsOf(db(), QStringLiteral("VENDOR"));
    EXPECT_TRUE(vendorColumns.contains(QLatin1String("COUNTRY CHAR(12)")))
        << vendorColumns.toStdString();
    EXPECT_FALSE(vendorColumns.contains(QLatin1String("EXPENSECD")));

    // The store's own tables come with the next start. With rows in the inventory its upgrade
    // steps run; on an up-to-date store they only read the catalogue.
    ASSERT_TRUE(gfbOpenReportTables());
    ASSERT_TRUE(db().raw(QStringLiteral("INSERT INTO invt3 (SL, ItemID, RecordNum) VALUES "
                                        "('S1', 'I1', 1)")));
    const QString trace = env_.root() + QStringLiteral("/trace.sql");
    env_.setEnv("VANTREX_SQL_TRACE", trace);
    db::resetDbState();
    ASSERT_TRUE(gfbOpenReportTables());
    ASSERT_TRUE(gfbOpenReportRecordsets());
    EXPECT_TRUE(QFile::exists(trace));
    EXPECT_EQ(changingStatements(trace), QStringList());
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST(Dispatch, UnknownTableIdsDoNothing) {
    PO_ReportDBSM_Interface hooks;
    poHistory().PONumber = QStringLiteral("keep");
    hooks.gpFillRecord(6);
    hooks.gpStoreRecord(-1);
    hooks.gpLoadKey(7, 0);
    EXPECT_TRUE(hooks.gsRecordValues(7).isEmpty());
    EXPECT_EQ(poHistory().PONumber.trimmed(), QStringLiteral("keep"));
}

INSTANTIATE_TEST_SUITE_P(Engines, ReportTables, ::testing::ValuesIn(allBackends()), backendName);

} // namespace
} // namespace vx::dbtest
