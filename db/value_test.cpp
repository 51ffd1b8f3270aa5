#include "db/value.h"

#include <gtest/gtest.h>

namespace vx::db {
namespace {

using V = DbValue;

struct TextCase {
    const char* name;
    DbValue value;
    QString expected;
};

TEST(DbValue, ToStringAsTheRuntimePrintsNumbers) {
    const TextCase cases[] = {
        {"integer", V::integer(-42), "-42"},
        {"real half", V::real(12.5), "12.5"},
        {"real tenth", V::real(0.1), "0.1"},
        {"real whole", V::real(3), "3"},
        {"real huge", V::real(1e20), "1E+20"},
        {"real 15 digits", V::real(2.0 / 3.0), "0.666666666666667"},
        {"decimal trailing zeros", V::decimal(125000, 4), "12.5"},
        {"decimal whole", V::decimal(1200, 2), "12"},
        {"decimal below one", V::decimal(-5, 1), "-0.5"},
        {"decimal zero", V::decimal(0, 4), "0"},
        {"decimal small", V::decimal(7, 4), "0.0007"},
        {"text", V::text("a'b "), "a'b "},
        {"null", V(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.toString(), c.expected) << c.name;
}

struct IntCase {
    const char* name;
    DbValue value;
    std::int64_t toInt;
    std::int64_t toCurrency;
};

TEST(DbValue, WholeNumbersRoundHalfToEvenAndCurrencyIsExact) {
    const IntCase cases[] = {
        {"real 2.5", V::real(2.5), 2, 25000},
        {"real 3.5", V::real(3.5), 4, 35000},
        {"real -2.5", V::real(-2.5), -2, -25000},
        {"real 0.1", V::real(0.1), 0, 1000},
        {"real tie at 4 decimals", V::real(1.00005), 1, 10000},
        {"decimal 2.5", V::decimal(25, 1), 2, 25000},
        {"decimal -3.5", V::decimal(-35, 1), -4, -35000},
        {"decimal 1.23455", V::decimal(123455, 5), 1, 12346},
        {"decimal 1.23445", V::decimal(123445, 5), 1, 12344},
        {"decimal 2 places", V::decimal(123456, 2), 1235, 12345600},
        {"integer", V::integer(3), 3, 30000},
        {"text leading number", V::text("12.5abc"), 12, 125000},
        {"text blanks and sign", V::text("  -7"), -7, -70000},
        {"text exponent", V::text("1e3"), 1000, 10000000},
        {"text no number", V::text("abc"), 0, 0},
        {"text empty", V::text(""), 0, 0},
        {"null", V(), 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.toInt(), c.toInt) << c.name;
        EXPECT_EQ(c.value.toCurrency(), c.toCurrency) << c.name;
    }
}

TEST(DbValue, ToDouble) {
    EXPECT_DOUBLE_EQ(V::text("-.5x").toDouble(), -0.5);
    EXPECT_DOUBLE_EQ(V::decimal(125, 1).toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(V::integer(-3).toDouble(), -3.0);
    EXPECT_DOUBLE_EQ(V().toDouble(), 0.0);
}

struct RoundCase {
    const char* name;
    DbValue value;
    int scale;
    DbValue expected;
};

TEST(DbValue, RoundedToHalvesAwayFromZeroAsADecimalColumnStores) {
    const RoundCase cases[] = {
        {"real 2.675 (binary just below)", V::real(2.675), 2, V::decimal(268, 2)},
        {"real -2.675", V::real(-2.675), 2, V::decimal(-268, 2)},
        {"real 12.5 to whole", V::real(12.5), 0, V::decimal(13, 0)},
        {"decimal -12.5 to whole", V::decimal(-125, 1), 0, V::decimal(-13, 0)},
        {"decimal widened", V::decimal(5, 0), 2, V::decimal(500, 2)},
        {"decimal 1.005", V::decimal(1005, 3), 2, V::decimal(101, 2)},
        {"integer unchanged", V::integer(7), 2, V::integer(7)},
        {"text unchanged", V::text("1.55"), 1, V::text("1.55")},
        {"null unchanged", V(), 2, V()},
    };
    for (const auto& c : cases) {
        const DbValue r = c.value.roundedTo(c.scale);
        EXPECT_EQ(r, c.expected) << c.name << ": " << r.toString().toStdString();
        if (c.expected.type() == DbValue::Type::Decimal) {
            EXPECT_EQ(r.scale(), c.scale) << c.name;
        }
    }
}

struct ParseCase {
    const char* text;
    DbValue expected;
};

TEST(DbValue, DecimalFromTextIsExact) {
    const ParseCase cases[] = {
        {"-12.5000", V::decimal(-125000, 4)},
        {" 3 ", V::decimal(3, 0)},
        {"0.0001", V::decimal(1, 4)},
        {"99999999999999.9999", V::decimal(999999999999999999, 4)},
        {"abc", V()},
        {"1.2.3", V()},
        {"12abc", V()},
        {"", V()},
        {"NaN", V()},
    };
    for (const auto& c : cases) {
        const DbValue v = V::decimalFromText(c.text);
        EXPECT_EQ(v, c.expected) << c.text;
        if (!v.isNull()) {
            EXPECT_EQ(v.scale(), c.expected.scale()) << c.text;
        }
    }
    // Beyond 18 digits the value is still a number, if no longer exact.
    EXPECT_DOUBLE_EQ(V::decimalFromText("123456789012345678901234").toDouble(),
                     1.2345678901234568e23);
}

TEST(DbValue, EqualityComparesTypeAndValue) {
    EXPECT_EQ(V::decimal(125, 1), V::decimal(1250, 2));
    EXPECT_NE(V::decimal(125, 1), V::decimal(126, 1));
    EXPECT_NE(V::integer(1), V::decimal(1, 0));
    EXPECT_NE(V::text(""), V());
    EXPECT_EQ(V(), V());
    EXPECT_TRUE(V::real(1).isNumber());
    EXPECT_FALSE(V::text("1").isNumber());
}

} // namespace
} // namespace vx::db
