// The sample store: the sample's files, the dates it is moved to, and a store created from it
// that reads back through the record manager.
#include "datapath/clsdatapath.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/testing/backends.h"
#include "output/po_print.h"
#include "output/recording_printer.h"
#include "platform/scripted_messages.h"
#include "platform/settings.h"
#include "runstate/runstate.h"
#include "sample/csv.h"
#include "sample/sample_data.h"
#include "sample/sample_store.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/po_line.h"
#include "tables/vendors.h"
#include "testsupport/test_env.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>

namespace vx::sample {
namespace {

using namespace vx::tables;

TEST(SampleCsv, ReadsQuotedFieldsAndRejectsMalformedText) {
    struct Case {
        const char* text;
        bool ok;
        std::vector<QStringList> rows;
    };
    const Case cases[] = {
        {"a,b\r\n1,2\r\n", true, {{"1", "2"}}},
        {"a,b\n\"Trikes, Inc.\",\"say \"\"hi\"\"\"\n3,",
         true,
         {{"Trikes, Inc.", "say \"hi\""}, {"3", ""}}},
        {"a,b\r\n\"two\r\nlines\",x\r\n\r\n", true, {{"two\r\nlines", "x"}}},
        {"a,b\r\n1,2,3\r\n", false, {}},
        {"a,b\r\n\"open,2\r\n", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        QString error;
        const auto table = parseCsv(QString::fromUtf8(c.text), &error);
        ASSERT_EQ(table.has_value(), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_FALSE(error.isEmpty()) << c.text;
            continue;
        }
        EXPECT_EQ(table->columns, (QStringList{"a", "b"}));
        EXPECT_EQ(table->rows, c.rows) << c.text;
    }
}

TEST(SampleData, AmountsAndTheMoveToRecentDates) {
    EXPECT_EQ(parseAmount(QStringLiteral("45.3705")), 453705);
    EXPECT_EQ(parseAmount(QStringLiteral("0.0000")), 0);
    EXPECT_EQ(parseAmount(QStringLiteral("x")), std::nullopt);

    SampleData data;
    data.orders = {{1, OrderStatus::Complete, 1, QDate(2025, 9, 21)},
                   {2, OrderStatus::Pending, 1, QDate(2025, 7, 1)}};
    struct Case {
        QDate today;
        qint64 days;
    };
    for (const Case& c : {Case{QDate(2025, 9, 21), 0}, Case{QDate(2025, 9, 27), 0},
                          Case{QDate(2025, 9, 28), 7}, Case{QDate(2025, 12, 1), 70},
                          Case{QDate(2025, 9, 20), -7}, Case{QDate(2025, 9, 14), -7}}) {
        const qint64 shift = recentShiftDays(data, c.today);
        EXPECT_EQ(shift, c.days) << c.today.toString().toStdString();
        const QDate newest = QDate(2025, 9, 21).addDays(shift);
        EXPECT_LE(newest, c.today);
        EXPECT_GT(newest, c.today.addDays(-7));
    }
}

TEST(SampleData, AmountsAreRoundedToTheirColumnsAHalfToTheEvenNeighbour) {
    struct Case {
        std::int64_t amount;
        int places;
        std::int64_t rounded;
    };
    const Case cases[] =
        {
            {18146835, 2, 18146800},   // 1814.6835 to the cent
            {361226250, 2, 361226200}, // 36122.625: the half goes to the even cent, .62
            {7103350, 2, 7103400},     // 710.335: and here to .34
            {453705, 3, 453700},       // 45.3705 in three decimals: 45.370
            {455815, 3, 455820},       // 45.5815: 45.582
            {453706, 3, 453710},       {-12250, 2, -12200}, {-12350, 2, -12400},
            {-12349, 2, -12300},       {25000, 0, 20000},   {35000, 0, 40000},
            {453705, 4, 453705}, // four decimals keep every amount
        };
    for (const Case& c : cases)
        EXPECT_EQ(roundAmount(c.amount, c.places), c.rounded) << c.amount << " " << c.places;

    const std::int64_t divisions[][3] = {{7, 2, 4}, {5, 2, 2},  {-5, 2, -2}, {-7, 2, -4},
                                         {9, 4, 2}, {11, 4, 3}, {10, 4, 2},  {0, 3, 0}};
    for (const auto& [numerator, denominator, quotient] : divisions)
        EXPECT_EQ(divideRounded(numerator, denominator), quotient)
            << numerator << "/" << denominator;
}

TEST(SampleData, AnInstalledProgramReadsThePackagedSample) {
    const QString packaged = QStringLiteral("/usr/share/vantrex-report/sample");
    const QString sources = QStringLiteral(VANTREX_SAMPLE_DATA_DIR);
    const std::pair<const char*, QString> cases[] = {
        {"/usr/bin/vantrex-sample-store", packaged},
        {"/usr/lib/vantrex-report/vantrex-sample-store", packaged},
        {"/home/ann/vantrex/build/bin/vantrex-sample-store", sources},
        {"/usrlocal/bin/vantrex-sample-store", sources},
        {"/opt/usr/bin/vantrex-sample-store", sources},
        {"/usr/../home/ann/bin/vantrex-sample-store", sources},
        {"", sources},
    };
    for (const auto& [executable, folder] : cases)
        EXPECT_EQ(defaultSampleFolder(QString::fromUtf8(executable)), folder) << executable;
}

TEST(SampleData, EveryVendorHasItsMainOfficeAndAContact) {
    QString error;
    const auto data = loadSampleData(QStringLiteral(VANTREX_SAMPLE_DATA_DIR), &error);
    ASSERT_TRUE(data) << error.toStdString();
    ASSERT_EQ(data->vendors.size(), 104u);
    for (const SampleVendor& v : data->vendors) {
        SCOPED_TRACE(v.account.toStdString());
        for (const QString* field :
             {&v.address1, &v.city, &v.postalCode, &v.firstName, &v.lastName, &v.phone})
            EXPECT_FALSE(field->isEmpty());
        EXPECT_EQ(v.state.size(), 2);
        EXPECT_EQ(v.country, QStringLiteral("US"));
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
    SampleStoreResult load(bool replace = false) {
        return createSampleStore(
            {dataPath, QStringLiteral(VANTREX_SAMPLE_DATA_DIR), QDate(2025, 12, 1), replace});
    }
    // Rows of a table, read with the engine's own client.
    int count(const char* table) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(sampleDatabaseFile(dataPath)).constData(), &db);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QByteArray("SELECT COUNT(*) FROM ") + table;
        int n = -1;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
        return n;
    }
    // Opens the store as the report does.
    void openStore() {
        resetRunState();
        resetDataPath();
        gDataPath().setDataPath(dataPath);
        ASSERT_TRUE(gfbOpenReportTables());
        ASSERT_TRUE(gfbOpenReportRecordsets());
    }
    QString setting(const char* key) {
        return GetSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"),
                          QLatin1String(key));
    }

    test::TestEnv env;
    ScopedScriptedMessages boxes;
    QString dataPath;
};

TEST_F(SampleStore, CreatesTheStoreAndItsSettings) {
    const SampleStoreResult r = load();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    // The counts the loader reports are the rows in the tables.
    struct Table {
        const char* name;
        int reported, rows;
    };
    for (const Table& t : {Table{"COMMON", 1, 1}, Table{"VENDOR", r.vendors, 104},
                           Table{"invt1", r.items, 204}, Table{"POHeader", r.orders, 300},
                           Table{"POLine", r.lines, 630}, Table{"POHistory1", r.receipts, 546}}) {
        EXPECT_EQ(count(t.name), t.rows) << t.name;
        EXPECT_EQ(t.reported, t.rows) << t.name;
    }
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

    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_F(SampleStore, AnOrderReadsBackThroughTheRecordManager) {
    ASSERT_TRUE(load().ok);
    openStore();

    // Order 3625 of Bergeron Off-Roads: ordered 2025-07-08, shipped 2025-07-17, 14 lines.
    poHeader().PO = QStringLiteral("3625");
    ASSERT_TRUE(db::gfbDB_Operation(kPOHeader, db::kOpEqual, 0));
    EXPECT_EQ(poHeader().VENDORCODE.trimmed(), QStringLiteral("BERGERON0001"));
    EXPECT_EQ(poHeader().ORDERDATE.str(), QStringLiteral("20250916"));
    EXPECT_EQ(poHeader().TOTAL, 18146800); // 1814.6835 in a column of two decimals

    poLine().PO = QStringLiteral("3625");
    poLine().LineNum = 1;
    ASSERT_TRUE(db::gfbDB_Operation(kPOLine, db::kOpEqual, 0));
    EXPECT_EQ(poLine().InvUID, 448);
    EXPECT_EQ(poLine().Cost, 455805);
    int lines = 1;
    while (db::gfbDB_Operation(kPOLine, db::kOpGetNext, 0) && poLine().PO.trimmed() == "3625")
        ++lines;
    EXPECT_EQ(lines, 14);

    poHistory().UniqueID = 7992;
    ASSERT_TRUE(db::gfbDB_Operation(kPOHistory, db::kOpEqual, 4));
    EXPECT_EQ(poHistory().DateReceived.str(), QStringLiteral("20250925"));
    EXPECT_EQ(poHistory().Status.str(), QStringLiteral("R"));
    EXPECT_EQ(poHistory().InvUID, 448);
    EXPECT_EQ(poHistory().UnitCost, 455800); // 45.5805 in a column of three decimals

    inventory().RecordNum = 448;
    ASSERT_TRUE(db::gfbDB_Operation(kInventory, db::kOpEqual, 0));
    EXPECT_EQ(inventory().ItemID.trimmed(), QStringLiteral("LN-3824"));
    EXPECT_EQ(inventory().SL.str(), QStringLiteral("00000448"));
}

TEST_F(SampleStore, VendorsHaveTheirAddressPhoneAndContact) {
    ASSERT_TRUE(load().ok);
    openStore();
    // The fields as read, padded to their widths.
    struct Case {
        const char* code;
        const char *business, *address, *address2, *city, *state, *zip, *country, *phone, *first,
            *last;
    };
    const Case cases[] = {
        {"HILLSBI0001", "Hill's Bicycle Service", "3664 Colt Ct.", "", "Richmond", "CA", "94801",
         "US", "362-555-0100", "Amir", "Netz"},
        {"WESTAMER0001", "WestAmerica Bicycle Co.", "8040 Erie Dr", "6 Monteira", "Houston", "TX",
         "77003", "US", "360-555-0100", "Tim", "O'Brien"},
        {"PREMIER0001", "Premier Sport, Inc.", "7682 Fern Leaf Lane", "", "Boston", "MA", "02113",
         "US", "537-555-0100", "Constance", "Remmington"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        vendor() = VendorRec{};
        vendor().VENDCODE = QString::fromUtf8(c.code);
        ASSERT_TRUE(db::gfbDB_Operation(kVendors, db::kOpEqual, 1));
        const VendorRec& v = vendor();
        const std::pair<const FixedText*, const char*> fields[] = {
            {&v.BUSINESS, c.business}, {&v.ADDRESS, c.address}, {&v.ADDRESS2, c.address2},
            {&v.CITY, c.city},         {&v.STATE, c.state},     {&v.ZIP, c.zip},
            {&v.COUNTRY, c.country},   {&v.PHONE, c.phone},     {&v.FIRSTNAME, c.first},
            {&v.LASTNAME, c.last}};
        for (const auto& [field, value] : fields)
            EXPECT_EQ(field->str(), FixedText::fit(QString::fromUtf8(value), field->width()));
    }
}

TEST_F(SampleStore, ValuesReadBackAsTheLoaderWroteThem) {
    ASSERT_TRUE(load().ok);
    const auto data = loadSampleData(QStringLiteral(VANTREX_SAMPLE_DATA_DIR));
    ASSERT_TRUE(data);
    openStore();

    // Order totals keep cents, receipt costs three decimals: what the loader wrote is already
    // rounded, so the column has nothing left to round.
    int orders = 0;
    for (bool found = db::gfbDB_Operation(kPOHeader, db::kOpGetFirst, 0); found;
         found = db::gfbDB_Operation(kPOHeader, db::kOpGetNext, 0), ++orders) {
        const SampleOrder* o = data->order(poHeader().PO.trimmed().toInt());
        ASSERT_NE(o, nullptr) << poHeader().PO.str().toStdString();
        EXPECT_EQ(poHeader().TOTAL, roundAmount(o->subTotal, 2)) << o->id;
    }
    EXPECT_EQ(orders, 300);

    std::map<std::int32_t, std::int64_t> unitPrices;
    for (const SampleLine& l : data->lines)
        unitPrices[l.detailId] = l.unitPrice;
    int receipts = 0;
    for (bool found = db::gfbDB_Operation(kPOHistory, db::kOpGetFirst, 4); found;
         found = db::gfbDB_Operation(kPOHistory, db::kOpGetNext, 4), ++receipts)
        EXPECT_EQ(poHistory().UnitCost, roundAmount(unitPrices[poHistory().UniqueID], 3))
            << poHistory().UniqueID;
    EXPECT_EQ(receipts, 546);

    // Items: S/L codes of eight digits, prices to the cent.
    int items = 0;
    for (bool found = db::gfbDB_Operation(kInventory, db::kOpGetFirst, 0); found;
         found = db::gfbDB_Operation(kInventory, db::kOpGetNext, 0), ++items) {
        const InventoryRec& i = inventory();
        EXPECT_EQ(i.SL.str(), QStringLiteral("%1").arg(i.RecordNum, 8, 10, QLatin1Char('0')));
        EXPECT_EQ(i.Price % 100, 0) << i.RecordNum;
    }
    EXPECT_EQ(items, 204);
}

TEST_F(SampleStore, TheReceivedOrderPrintoutShowsTheVendorsAddress) {
    ASSERT_TRUE(load().ok);
    openStore();
    output::RecordingPrinter doc;
    const output::POPrintTarget target{[&]() -> output::ReportPrinter& { return doc; }, [] {}};
    ASSERT_TRUE(output::sm_POPrint::gfbFindPO(QStringLiteral("AW3625"), target));
    const QString block = QStringLiteral("table <900|<4000|>920|<2500;");
    EXPECT_EQ(
        doc.calls(QStringLiteral("table ")),
        (QStringList{block + "Vendor:|Bergeron Off-Roads;",
                     block + "|9830 May Way|Phone:|905-555-0100;",
                     block + "|Mill Valley, MT 59715|Fax:|;", block + "|Attention:  Jan Nelsen;"}));
}

TEST_F(SampleStore, AnExistingDatabaseIsReplacedOnlyWhenAsked) {
    ASSERT_TRUE(load().ok);
    const SampleStoreResult again = load();
    EXPECT_FALSE(again.ok);
    EXPECT_TRUE(again.error.contains(QStringLiteral("already exists")))
        << again.error.toStdString();
    EXPECT_EQ(count("POHistory1"), 546);

    const SampleStoreResult replaced = load(true);
    ASSERT_TRUE(replaced.ok) << replaced.error.toStdString();
    EXPECT_EQ(count("POHistory1"), 546);
    EXPECT_EQ(count("VENDOR"), 104);
}

TEST_F(SampleStore, AMissingSampleFolderIsReported) {
    const SampleStoreResult r =
        createSampleStore({dataPath, env.root() + QStringLiteral("/none"), QDate(2025, 12, 1)});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("vendors.csv"))) << r.error.toStdString();
    EXPECT_FALSE(QFile::exists(sampleDatabaseFile(dataPath)));
}

TEST_F(SampleStore, OnAServerThroughOdbcTheReportPrintsAsThroughLibpq) {
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
    SampleStoreOptions o{dataPath, QStringLiteral(VANTREX_SAMPLE_DATA_DIR), QDate(2025, 12, 1),
                         true};
    o.server = db->login().server;
    o.database = db->login().database;
    o.user = db->login().user;
    o.password = db->login().password;
    const SampleStoreResult r = createSampleStore(o);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(setting("Server"), o.server);
    EXPECT_EQ(setting("DBName"), o.database);
    EXPECT_FALSE(r.location.contains(o.password));
    o.replace = false;
    EXPECT_FALSE(createSampleStore(o).ok) << "an existing database is kept";

    const QString range = QStringLiteral("START=9/16/2025|END=10/5/2025");
    const QString throughOdbc = test::reportTextPages(range, env.root() + "/odbc.txt");
    SaveSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"),
                QStringLiteral("Server"),
                dbtest::testServerSetting(dbtest::BackendKind::PostgreSQL));
    const QString throughLibpq = test::reportTextPages(range, env.root() + "/libpq.txt");
    EXPECT_GT(throughOdbc.count(u'\f'), 3);
    EXPECT_TRUE(throughOdbc.contains(QStringLiteral("Bergeron Off-Roads")));
    EXPECT_EQ(throughOdbc, throughLibpq);
}

} // namespace
} // namespace vx::sample
