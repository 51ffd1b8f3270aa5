// The sample store: the sample's amounts and the dates it is moved to, and a store created from it
// whose counts, keys and amounts read back through the record manager as the loader wrote them,
// on the embedded database; on a server through ODBC the report prints it.
#include "datapath/clsdatapath.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/testing/backends.h"
#include "platform/settings.h"
#include "runstate/runstate.h"
#include "sample/sample_data.h"
#include "sample/sample_store.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/po_line.h"
#include "tables/vendors.h"
#include "testsupport/scripted_messages.h"
#include "testsupport/test_env.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace vx::sample {
namespace {

using namespace vx::tables;

TEST(SampleData, AmountsDatesAndTheSampleFolder) {
    const std::int64_t rounding[][3] = {{361226250, 2, 361226200}, {7103350, 2, 7103400},
                                        {455815, 3, 455820},       {-12350, 2, -12400},
                                        {-12349, 2, -12300},       {453705, 4, 453705}};
    for (const auto& [amount, places, rounded] : rounding)
        EXPECT_EQ(roundAmount(amount, static_cast<int>(places)), rounded) << amount;

    // An installed program reads the packaged sample, any other the one of its sources.
    for (const auto& [executable, packaged] : {std::pair{"/usr/bin/vantrex-sample-store", true},
                                               {"/usr/lib/vantrex-report/bin/x", true},
                                               {"/usrlocal/bin/x", false},
                                               {"/usr/../home/ann/bin/x", false}})
        EXPECT_EQ(defaultSampleFolder(QString::fromUtf8(executable)),
                  packaged ? QStringLiteral("/usr/share/vantrex-report/sample")
                           : QStringLiteral(VANTREX_SAMPLE_DATA_DIR))
            << executable;

    // The newest order falls in the week that ends today, and every date keeps its weekday.
    SampleData data;
    data.orders = {{1, OrderStatus::Complete, 1, QDate(2025, 9, 21)},
                   {2, OrderStatus::Pending, 1, QDate(2025, 7, 1)}};
    for (const QDate today : {QDate(2025, 9, 21), QDate(2025, 9, 27), QDate(2025, 9, 28),
                              QDate(2025, 12, 1), QDate(2025, 9, 14)}) {
        const qint64 shift = recentShiftDays(data, today);
        EXPECT_EQ(shift % 7, 0);
        EXPECT_LE(QDate(2025, 9, 21).addDays(shift), today);
        EXPECT_GT(QDate(2025, 9, 21).addDays(shift), today.addDays(-7));
    }
}

class SampleStore : public ::testing::Test {
  protected:
    void SetUp() override {
        db::resetDbState();
        dataPath = env.root() + QStringLiteral("/store");
    }
    void TearDown() override {
        db::setTableHooks(nullptr);
        db::resetDbState();
    }
    SampleStoreOptions options(bool replace = false) {
        return {dataPath, QStringLiteral(VANTREX_SAMPLE_DATA_DIR), QDate(2025, 12, 1), replace};
    }
    SampleStoreResult load(bool replace = false) { return createSampleStore(options(replace)); }
    // Opens the store as the report does.
    void openStore() {
        resetRunState();
        resetDataPath();
        gDataPath().setDataPath(dataPath);
        ASSERT_TRUE(gfbOpenReportTables());
        ASSERT_TRUE(gfbOpenReportRecordsets());
    }
    // The rows of `table` along `key`, each handed to `row`; how many there were.
    template <class Row> int walk(std::int16_t table, std::int16_t key, Row row) {
        int n = 0;
        for (bool found = db::gfbDB_Operation(table, db::kOpGetFirst, key); found;
             found = db::gfbDB_Operation(table, db::kOpGetNext, key), ++n)
            row();
        return n;
    }
    QString setting(const char* key) {
        return GetSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"),
                          QLatin1String(key));
    }

    test::TestEnv env;
    ScopedScriptedMessages boxes;
    QString dataPath;
};

TEST_F(SampleStore, CreatesTheStoreItsSettingsAndKeepsItUnlessToldToReplaceIt) {
    const SampleStoreResult r = load();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(std::vector<int>({r.vendors, r.items, r.orders, r.lines, r.receipts}),
              std::vector<int>({104, 204, 300, 630, 546}));
    // Ship dates 2025-07-08 to 2025-07-27, ten weeks later.
    EXPECT_EQ(r.firstReceipt, QDate(2025, 9, 16));
    EXPECT_EQ(r.lastReceipt, QDate(2025, 10, 5));
    EXPECT_EQ(setting("Server"), QStringLiteral("sqlite:"));
    EXPECT_EQ(setting("DBName"), QStringLiteral("JOV"));
    EXPECT_EQ(setting("DATAPATH"), dataPath);
    EXPECT_EQ(test::TestEnv::readFile(dataPath + "/JOV.INI"),
              "[DAILY REPORTS]\r\nShow Store Number for Store 1 on Reports=No\r\n");
    EXPECT_EQ(test::TestEnv::readFile(dataPath + "/WINREGS.INI"),
              "[JOVURM]\r\nCompany=Adventure Works Cycles\r\n");

    const SampleStoreResult again = load();
    EXPECT_FALSE(again.ok);
    EXPECT_TRUE(again.error.contains(QStringLiteral("already exists")))
        << again.error.toStdString();
    EXPECT_EQ(load(true).receipts, 546);

    const SampleStoreResult missing =
        createSampleStore({env.root() + "/other", env.root() + "/none", QDate(2025, 12, 1)});
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains(QStringLiteral("vendors.csv")))
        << missing.error.toStdString();
    EXPECT_FALSE(QFile::exists(sampleDatabaseFile(env.root() + "/other")));
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

// Every row as the report reads it: the counts the loader reported, totals that are the sum of
// their lines to the cent, amounts already rounded to their columns, every vendor's main office
// and contact.
TEST_F(SampleStore, EveryRowReadsBackAsTheLoaderWroteIt) {
    const SampleStoreResult r = load();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const auto data = loadSampleData(QStringLiteral(VANTREX_SAMPLE_DATA_DIR));
    ASSERT_TRUE(data);
    openStore();

    std::map<QString, std::int64_t> lineTotals;
    std::map<std::int32_t, std::int64_t> unitPrices;
    for (const SampleLine& l : data->lines)
        unitPrices[l.detailId] = l.unitPrice;
    const auto line = [&] { lineTotals[poLine().PO.trimmed()] += poLine().LineTotal; };
    const auto order = [&] {
        const SampleOrder* o = data->order(poHeader().PO.trimmed().toInt());
        ASSERT_NE(o, nullptr) << poHeader().PO.str().toStdString();
        EXPECT_EQ(poHeader().TOTAL, roundAmount(o->subTotal, 2)) << o->id;
        EXPECT_EQ(poHeader().TOTAL, roundAmount(lineTotals[poHeader().PO.trimmed()], 2)) << o->id;
        EXPECT_EQ(poHeader().VENDORCODE.trimmed(), data->vendor(o->vendorId)->account) << o->id;
    };
    const auto receipt = [&] {
        const POHistoryRec& h = poHistory();
        EXPECT_EQ(h.UnitCost, roundAmount(unitPrices[h.UniqueID], 3)) << h.UniqueID;
    };
    const auto item = [&] { // S/L codes of eight digits, prices to the cent
        const InventoryRec& i = inventory();
        EXPECT_EQ(i.SL.str(), QString::number(i.RecordNum).rightJustified(8, u'0'));
        EXPECT_EQ(i.Price % 100, 0) << i.RecordNum;
    };
    EXPECT_EQ(walk(kPOLine, 0, line), r.lines);
    EXPECT_EQ(walk(kPOHeader, 0, order), r.orders);
    EXPECT_EQ(walk(kPOHistory, 4, receipt), r.receipts);
    EXPECT_EQ(walk(kInventory, 0, item), r.items);

    for (const SampleVendor& v : data->vendors) {
        SCOPED_TRACE(v.account.toStdString());
        vendor() = VendorRec{};
        vendor().VENDCODE = v.account;
        ASSERT_TRUE(db::gfbDB_Operation(kVendors, db::kOpEqual, 1));
        const VendorRec& read = vendor();
        const std::pair<const FixedText*, QString> fields[] = {
            {&read.BUSINESS, v.name},       {&read.ADDRESS, v.address1},
            {&read.ADDRESS2, v.address2},   {&read.CITY, v.city},
            {&read.STATE, v.state},         {&read.ZIP, v.postalCode},
            {&read.COUNTRY, v.country},     {&read.PHONE, v.phone},
            {&read.FIRSTNAME, v.firstName}, {&read.LASTNAME, v.lastName}};
        for (const auto& [field, value] : fields)
            EXPECT_EQ(field->str(), FixedText::fit(value, field->width()));
    }
}

TEST_F(SampleStore, OnAServerThroughOdbcTheReportPrintsTheStore) {
    if (const auto why = dbtest::unavailable(dbtest::BackendKind::ODBC)) {
        if (why->mustFail)
            FAIL() << why->reason.toStdString();
        GTEST_SKIP() << why->reason.toStdString();
    }
    // A database of the test server that the test removes when it ends; the store replaces it.
    QString error;
    const auto db = dbtest::createTestDatabase(dbtest::BackendKind::ODBC,
                                               env.mkdir(QStringLiteral("scratch")), error);
    ASSERT_TRUE(db) << error.toStdString();
    const db::Login& l = db->login();
    SampleStoreOptions o = options(true);
    std::tie(o.server, o.database, o.user, o.password) =
        std::tie(l.server, l.database, l.user, l.password);
    const SampleStoreResult r = createSampleStore(o);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(setting("Server"), o.server);
    EXPECT_EQ(setting("DBName"), o.database);
    EXPECT_FALSE(r.location.contains(o.password));
    o.replace = false;
    EXPECT_FALSE(createSampleStore(o).ok) << "an existing database is kept";

    const QString pages =
        test::reportTextPages(QStringLiteral("START=9/16/2025|END=10/5/2025"), env.root() + "/p");
    EXPECT_GT(pages.count(u'\f'), 3);
    EXPECT_TRUE(pages.contains(QStringLiteral("Bergeron Off-Roads")));
}

} // namespace
} // namespace vx::sample
