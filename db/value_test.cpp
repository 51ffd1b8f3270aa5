#include "db/value.h"

#include <gtest/gtest.h>

namespace vx::db {
namespace {

using V = DbValue;

// Text as the runtime prints numbers; whole numbers half to even; currency exact.
TEST(DbValue, TextWholeNumberAndCurrency) {
    const struct {
        DbValue value;
        QString text;
        std::int64_t toInt, toCurrency;
    } cases[] = {
        {V::integer(-42), "-42", -42, -420000},
        {V::real(2.5), "2.5", 2, 25000},
        {V::real(1.00005), "1.00005", 1, 10000},
        {V::real(1e20), "1E+20", 0, 0},
        {V::real(2.0 / 3.0), "0.666666666666667", 1, 6667},
        {V::decimal(125000, 4), "12.5", 12, 125000},
        {V::decimal(-35, 1), "-3.5", -4, -35000},
        {V::decimal(123455, 5), "1.23455", 1, 12346},
        {V::decimal(123445, 5), "1.23445", 1, 12344},
        {V::text("12.5abc"), "12.5abc", 12, 125000},
        {V::text("1e3"), "1e3", 1000, 10000000},
        {V(), "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(c.value.toString(), c.text);
        if (c.text != "1E+20") {
            EXPECT_EQ(c.value.toInt(), c.toInt);
            EXPECT_EQ(c.value.toCurrency(), c.toCurrency);
        }
    }
    EXPECT_DOUBLE_EQ(V::text("-.5x").toDouble(), -0.5);
    EXPECT_DOUBLE_EQ(V::decimal(125, 1).toDouble(), 12.5);
}

// Read from text exactly; equal values of one type compare equal whatever their scale.
TEST(DbValue, ReadFromTextAndCompared) {
    const std::pair<const char*, DbValue> texts[] = {
        {"-12.5000", V::decimal(-125000, 4)},
        {"99999999999999.9999", V::decimal(999999999999999999, 4)},
        {"1.2.3", V()},
        {"", V()},
    };
    for (const auto& [text, expected] : texts) {
        EXPECT_EQ(V::decimalFromText(text), expected) << text;
        EXPECT_EQ(V::decimalFromText(text).scale(), expected.scale()) << text;
    }
    // Beyond 18 digits the value is still a number, if no longer exact.
    EXPECT_DOUBLE_EQ(V::decimalFromText("123456789012345678901234").toDouble(),
                     1.2345678901234568e23);
    EXPECT_EQ(V::decimal(125, 1), V::decimal(1250, 2));
    EXPECT_NE(V::decimal(125, 1), V::decimal(126, 1));
    EXPECT_NE(V::integer(1), V::decimal(1, 0));
    EXPECT_NE(V::text(""), V());
}

} // namespace
} // namespace vx::db
