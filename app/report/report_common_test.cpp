// The pure helpers of the report: money, currency products, number reading, date literals, S/L.
#include "app/report/deleted_orders.h"
#include "app/report/report_common.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx::report {
namespace {

TEST(ReportCommon, MoneyPrintsTwoDecimalsWithThousandsSeparators) {
    vx::test::TestEnv env;
    env.setEnv("LC_ALL", QStringLiteral("C"));
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, ".00"},
        {49, ".00"},
        {50, ".01"},
        {12345000, "1,234.50"},
        {-12345000, "-1,234.50"},
        {9999999, "1,000.00"},
        {123456789012, "12,345,678.90"},
    };
    for (const auto& [amount, text] : cases)
        EXPECT_EQ(gsMoney(amount), QString::fromLatin1(text)) << amount;
}

TEST(ReportCommon, ProductsRoundToTheNearestTenThousandthHalvesToEven) {
    struct Case {
        std::int64_t amount;
        float qty;
        std::int64_t expected;
    };
    const Case cases[] = {
        {12345, 2.0f, 24690}, {5, 0.5f, 2},   {15, 0.5f, 8},     {25000, 1.5f, 37500},
        {10000, 0.1f, 1000},  {3, -0.5f, -2}, {100000, 0.0f, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gcyTimes(c.amount, c.qty), c.expected) << c.amount << " x " << c.qty;
    EXPECT_EQ(gcyFromNumber(1234.5), 12345000);
}

TEST(ReportCommon, LeadingNumberReadsAsTheSuiteDoes) {
    const std::pair<const char*, double> cases[] = {
        {"12.50", 12.5}, {" 7", 7},        {"1 234.5", 1234.5}, {"3.2abc", 3.2}, {"abc", 0},
        {"", 0},         {"-4.25", -4.25}, {"1e2", 100},        {"5-", 5},       {"2.5.1", 2.5},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(gdLeadingNumber(QString::fromLatin1(text)), value) << text;
}

TEST(ReportCommon, DateLiteralsCannotEndTheQuote) {
    const std::pair<const char*, const char*> cases[] = {
        {"20240131", "20240131"},
        {"2024'--", "2024 --"},
        {"x'' OR ''1''=''1", "x   OR   1  =  1"},
        {"x''' OR 1=1 --", "x    OR 1=1 --"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(gsDateLiteral(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
}

TEST(ReportCommon, SLCodesPrintWithAPointBeforeTheirLastCharacter) {
    const std::pair<const char*, const char*> cases[] = {
        {"12345678", "1234567.8"},
        {"~ABC    ", "~ABC    "},
        {"  ~X", "  ~X"},
        {"123     ", "123    . "},
        {"", "."},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(gsFormatSL(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
}

} // namespace
} // namespace vx::report
