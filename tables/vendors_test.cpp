// The vendors table on both engines: the old-column upgrade, round trips with the
// table's apostrophe rule, rows of other programs, and navigation on its keys.
#include "db/dialect.h"
#include "db/operations.h"
#include "db/state.h"
#include "platform/err.h"
#include "tables/testing/table_test.h"
#include "tables/vendors.h"

#include <gtest/gtest.h>

namespace vx::dbtest {
namespace {

using namespace vx::tables;

class VendorsTable : public TableTest {
  protected:
    void open() {
        jovDBSM_Vendors::PrepareTable(kVendors, env_.root());
        openTable(kVendors);
    }
    static void row(int id, const QString& code, const QString& business, const QString& last) {
        jovDBSM_Vendors::ClearRecord();
        vendor().VendorID = id;
        vendor().VENDCODE = code;
        vendor().BUSINESS = business;
        vendor().LASTNAME = last;
    }
    bool insert() { return TableTest::insert(kVendors); }
    // Reads the vendor of `code` by key 1.
    bool find(const QString& code) {
        vendor().VENDCODE = code;
        return db::gfbDB_Operation(kVendors, db::kOpEqual, 1);
    }
    QList<int> walk(std::int16_t key, bool forward) {
        return walkKey(kVendors, key, forward, [] { return vendor().VendorID; });
    }
};

TEST_P(VendorsTable, EveryFieldSurvivesARoundTrip) {
    open();
    VendorRec& v = vendor();
    row(-7, QStringLiteral("ACME-LONGER-THAN-15"), QString::fromUtf8("Łódź ☕ Supplies"),
        QStringLiteral("Smith"));
    const QStringList texts =
        QString::fromUtf8("ZIP-1234567890|M1|Ann|1 Main St|Gdańsk|PL|555-0100|555-0101|20240301|Y|"
                          "Poland|REF|C|N|ext 12|2/10|Suite 5|orders@example.com|555-0199")
            .split(u'|');
    FixedText VendorRec::*fields[] = {
        &VendorRec::ZIP,      &VendorRec::MAILCODE, &VendorRec::FIRSTNAME, &VendorRec::ADDRESS,
        &VendorRec::CITY,     &VendorRec::STATE,    &VendorRec::PHONE,     &VendorRec::FAX,
        &VendorRec::DATE,     &VendorRec::NOTES,    &VendorRec::COUNTRY,   &VendorRec::REFERENCE,
        &VendorRec::CODEFLAG, &VendorRec::POLL,     &VendorRec::PHONEEXT,  &VendorRec::DISCOUNTTERM,
        &VendorRec::ADDRESS2, &VendorRec::EMAIL,    &VendorRec::CELLPHONE};
    ASSERT_EQ(texts.size(), qsizetype(std::size(fields)));
    for (size_t i = 0; i < std::size(fields); ++i)
        v.*fields[i] = texts[qsizetype(i)];
    v.BALANCE = 12345600;    // 1234.56
    v.LASTPAIDAMT = -505000; // -50.50
    v.PAYMENTTERM = 30;
    v.SPLITBALANC = 10000;
    v.RECURAMT = 99990000;
    ASSERT_TRUE(insert()) << Err().Description.toStdString();
    const VendorRec sent = v;

    v = VendorRec{};
    ASSERT_TRUE(find(QStringLiteral("ACME-LONGER-THA")));
    EXPECT_EQ(v.VENDCODE.str(), QStringLiteral("ACME-LONGER-THA"));
    EXPECT_EQ(v.ZIP.str(), QStringLiteral("ZIP-123456"));
    for (size_t i = 0; i < std::size(fields); ++i)
        EXPECT_EQ((v.*fields[i]).str(), (sent.*fields[i]).str()) << i;
    EXPECT_EQ(v.BUSINESS.str(), sent.BUSINESS.str());
    EXPECT_EQ(v.LASTNAME.str(), sent.LASTNAME.str());
    const std::pair<std::int64_t, std::int64_t> numbers[] = {
        {v.VendorID, -7},    {v.BALANCE, 12345600},  {v.LASTPAIDAMT, -505000},
        {v.PAYMENTTERM, 30}, {v.SPLITBALANC, 10000}, {v.RECURAMT, 99990000}};
    for (const auto& [got, want] : numbers)
        EXPECT_EQ(got, want);
    // Key 0 finds the same row.
    v = VendorRec{};
    v.VendorID = -7;
    ASSERT_TRUE(db::gfbDB_Operation(kVendors, db::kOpEqual, 0));
    EXPECT_EQ(v.VENDCODE.str(), QStringLiteral("ACME-LONGER-THA"));
}

TEST_P(VendorsTable, ApostrophesSurviveOnlyInPaddedNameFields) {
    open();
    const QString forty = QStringLiteral("Fitzgerald's Farm & Garden Supply Co Ltd");
    ASSERT_EQ(forty.size(), 40);
    const struct {
        QString code, business, city;
        QString businessLiteral; // as the INSERT text carries it
        QString businessRead, cityRead;
    } cases[] = {
        {"OBRIEN", "O'Brien Supply", "O'Fallon", "'O''Brien Supply" + QString(25, u' ') + "'",
         "O'Brien Supply", "O Fallon"},
        {"FITZ", forty, "Coeur d'Alene", u'\'' + QString(forty).replace(u'\'', u' ') + u'\'',
         QString(forty).replace(u'\'', u' '), "Coeur d Alene"},
    };
    for (const auto& c : cases) {
        row(1 + static_cast<int>(&c - cases), c.code, c.business, QStringLiteral("L"));
        vendor().CITY = c.city;
        const QString values = hooks.gsRecordValues(kVendors);
        EXPECT_TRUE(values.startsWith(QString::number(vendor().VendorID) + ",'" + c.code))
            << values.toStdString();
        EXPECT_TRUE(values.contains(c.businessLiteral)) << values.toStdString();
        row(vendor().VendorID, c.code, c.business, QStringLiteral("L"));
        vendor().CITY = c.city;
        ASSERT_TRUE(insert()) << Err().Description.toStdString();
        vendor() = VendorRec{};
        ASSERT_TRUE(find(c.code));
        EXPECT_EQ(vendor().BUSINESS.trimmed(), c.businessRead);
        EXPECT_EQ(vendor().CITY.trimmed(), c.cityRead);
    }
}

TEST_P(VendorsTable, ClearRecordBlanksTextsAndZeroesNumbers) {
    VendorRec& v = vendor();
    v.VendorID = 5;
    v.BALANCE = v.LASTPAIDAMT = v.SPLITBALANC = v.RECURAMT = 1;
    v.PAYMENTTERM = 2;
    v.CITY = QStringLiteral("Anywhere");
    jovDBSM_Vendors::ClearRecord();
    for (auto n : {std::int64_t{v.VendorID}, v.BALANCE, v.LASTPAIDAMT, v.SPLITBALANC, v.RECURAMT,
                   std::int64_t{v.PAYMENTTERM}})
        EXPECT_EQ(n, 0);
    // Every text, never assigned (NUL) or assigned, is blank at its width.
    for (const auto& f : jovDBSM_Vendors::definition().fields) {
        if (const auto* p = std::get_if<FixedText VendorRec::*>(&f.field)) {
            EXPECT_EQ((v.**p).str(), QString((v.**p).width(), u' ')) << f.column;
        }
    }
}

TEST_P(VendorsTable, AnOldTableGetsCountryAndKeepsItsRows) {
    // A table of an older release, created by another program of the suite: the country column
    // still called EXPENSECD, values stored padded and unpadded.
    QString create = QStringLiteral("Create Table VENDOR (");
    for (const auto& f : jovDBSM_Vendors::definition().fields)
        create += QString::fromUtf8(f.fragment);
    create.replace(QStringLiteral("COUNTRY CHAR"), QStringLiteral("EXPENSECD CHAR")) +=
        QStringLiteral(");");
    const db::Dialect dialect =
        GetParam() == BackendKind::SQLite ? db::Dialect::SQLite : db::Dialect::PostgreSQL;
    ASSERT_TRUE(db().raw(db::translate(create, dialect).sql));
    ASSERT_TRUE(db().raw(QStringLiteral(
        "INSERT INTO VENDOR (VendorID, VENDCODE, BUSINESS, LASTNAME, EXPENSECD) VALUES (1, 'B2', "
        "'Beta', 'Xu', 'Canada'); INSERT INTO VENDOR (VendorID, VENDCODE, BUSINESS, LASTNAME, "
        "EXPENSECD) VALUES (2, 'A1             ', 'Alpha                                   ', "
        "'Yates          ', 'Mexico      '); INSERT INTO VENDOR (VendorID, VENDCODE, BUSINESS, "
        "LASTNAME, EXPENSECD) VALUES (3, 'C3 ', 'Alpha', 'Xu ', NULL)")));

    for (int pass = 0; pass < 2; ++pass) {
        open();
        EXPECT_EQ(Err().Number, 0) << "a failed rename is not an error of the open";
        const QString columns = columnsOf(db(), QStringLiteral("VENDOR"));
        EXPECT_EQ(columns.split(u'|').value(15), QStringLiteral("COUNTRY CHAR(12) DEFAULT ' '"))
            << "pass " << pass;
        EXPECT_FALSE(columns.contains(QLatin1String("EXPENSECD")));
        EXPECT_EQ(db().rawValue(QStringLiteral("SELECT COUNT(*) FROM VENDOR")),
                  QStringLiteral("3"));
        ASSERT_TRUE(find(QStringLiteral("A1")));
        EXPECT_EQ(vendor().VendorID, 2);
        EXPECT_EQ(vendor().COUNTRY.str(), QStringLiteral("Mexico      "));
        ASSERT_TRUE(find(QStringLiteral("B2")));
        EXPECT_EQ(vendor().COUNTRY.str(), QStringLiteral("Canada      "));
        EXPECT_EQ(walk(1, true), QList<int>({2, 1, 3}));
        EXPECT_EQ(walk(2, true), QList<int>({2, 3, 1}));
        EXPECT_EQ(walk(3, false), QList<int>({2, 3, 1}));
    }
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_P(VendorsTable, KeysWalkInOrderBothWays) {
    open();
    // Unique on every key; business and last names repeat.
    const struct {
        int id;
        const char* code;
        const char* business;
        const char* last;
    } rows[] = {{1, "V300", "Acme", "Brown"},
                {2, "V100", "Beta", "Jones"},
                {3, "V200", "Acme", "Jones"},
                {4, "V050", "Zed", "Adams"},
                {5, "V400", "Beta", "Smith"}};
    const char* zips[] = {"30000", "10000", "50000", "20000", "40000"};
    const char* mailCodes[] = {"E", "D", "C", "B", "A"};
    for (const auto& r : rows) {
        row(r.id, r.code, r.business, r.last);
        vendor().ZIP = QString::fromLatin1(zips[r.id - 1]);
        vendor().MAILCODE = QString::fromLatin1(mailCodes[r.id - 1]);
        ASSERT_TRUE(insert()) << Err().Description.toStdString();
    }
    const std::pair<std::int16_t, QList<int>> keys[] = {
        {4, {2, 4, 1, 5, 3}}, // ZIP
        {5, {5, 4, 3, 2, 1}}, // MAILCODE
        {0, {1, 2, 3, 4, 5}}, // VendorID
        {1, {4, 2, 3, 1, 5}}, // VENDCODE
        {2, {3, 1, 2, 5, 4}}, // BUSINESS, VENDCODE
        {3, {4, 1, 2, 3, 5}}, // LASTNAME, VENDCODE
    };
    for (const auto& [key, order] : keys) {
        EXPECT_EQ(walk(key, true), order) << "key " << key;
        EXPECT_EQ(walk(key, false), QList<int>(order.rbegin(), order.rend())) << "key " << key;
    }
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, VendorsTable, ::testing::ValuesIn(allBackends()), backendName);

} // namespace
} // namespace vx::dbtest
