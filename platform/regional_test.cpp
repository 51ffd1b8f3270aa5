#include "platform/regional.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

using vx::test::TestEnv;

namespace {

struct DateCase {
    const char* text;
    QDate expected; // invalid: no date
};

void expectParses(const char* locale, std::initializer_list<DateCase> cases) {
    TestEnv env;
    env.setEnv("LC_ALL", locale);
    for (const DateCase& c : cases) {
        const auto d = vx::parseDate(c.text);
        if (c.expected.isValid()) {
            EXPECT_EQ(d, c.expected) << locale << " \"" << c.text << "\"";
        } else {
            EXPECT_EQ(d, std::nullopt) << locale << " \"" << c.text << "\"";
        }
    }
}

const std::initializer_list<DateCase> kMonthFirst = {
    {"3/7/2024", QDate(2024, 3, 7)},
    {"03/07/2024", QDate(2024, 3, 7)},
    {" 12/31/1999 ", QDate(1999, 12, 31)},
    {"3-7-24", QDate(2024, 3, 7)},
    {"1/2/29", QDate(2029, 1, 2)},     // two-digit years: 00-29 this century
    {"1/2/30", QDate(1930, 1, 2)},     // 30-99 the last one
    {"2024-03-07", QDate(2024, 3, 7)}, // ISO whatever the locale
    {"2/29/2024", QDate(2024, 2, 29)},
    {"2/29/2023", QDate()},
    {"2/30/2024", QDate()},
    {"13/1/2024", QDate(2024, 1, 13)}, // only day first makes a date: day first
    {"13/03/2024", QDate(2024, 3, 13)},
    {"13/13/2024", QDate()},
    {"0/1/2024", QDate()},
    {"1/2/123", QDate()},
    {"123/1/2024", QDate()},
    {"2024-13-01", QDate()},
    {"", QDate()},
    {"abc", QDate()},
    {"3/7", QDate()},
    {"3/7/2024x", QDate()},
    {"yyyymmdd", QDate()},
    {"20240307", QDate()},
};

} // namespace

TEST(Regional, ParsesMonthFirstDates) {
    expectParses("C", kMonthFirst);
    expectParses("en_US.UTF-8", kMonthFirst);
    expectParses("POSIX", kMonthFirst);
    expectParses("C.UTF-8", kMonthFirst);
}

TEST(Regional, ParsesDayFirstDates) {
    expectParses("en_GB.UTF-8", {
                                    {"7/3/2024", QDate(2024, 3, 7)},
                                    {"31/12/99", QDate(1999, 12, 31)},
                                    {"12/31/1999", QDate(1999, 12, 31)},
                                    {"31/31/1999", QDate()},
                                    {"2024-03-07", QDate(2024, 3, 7)},
                                });
    expectParses("de_DE.UTF-8", {{"07.03.2024", QDate(2024, 3, 7)}});
}

TEST(Regional, ShortDatePatternHasFourDigitYears) {
    TestEnv env;
    const std::pair<const char*, const char*> cases[] = {
        {"C", "M/d/yyyy"}, {"en_US.UTF-8", "M/d/yyyy"}, {"en_GB", "dd/MM/yyyy"}};
    for (const auto& [locale, pattern] : cases) {
        env.setEnv("LC_ALL", locale);
        EXPECT_EQ(vx::shortDatePattern(), pattern) << locale;
    }
    // LC_ALL wins over LC_TIME, which wins over LANG.
    env.setEnv("LC_ALL", "");
    env.setEnv("LC_TIME", "en_GB.UTF-8");
    env.setEnv("LANG", "en_US.UTF-8");
    EXPECT_EQ(vx::shortDatePattern(), "dd/MM/yyyy");
}

TEST(Regional, FormatsDatePatterns) {
    TestEnv env;
    const QDate d(2024, 3, 7);
    struct Case {
        const char* locale;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"C", "yyyymmdd", "20240307"},
        {"C", "YYYYMMDD", "20240307"},
        {"C", "dd-mm-yyyy", "07-03-2024"},
        {"C", "mm-dd-yyyy", "03-07-2024"},
        {"C", "d/m/yy", "7/3/24"},
        {"C", "Short Date", "3/7/2024"},
        {"C", "short date", "3/7/2024"},
        {"en_GB.UTF-8", "Short Date", "07/03/2024"},
        {"de_DE.UTF-8", "dd/mm/yyyy", "07.03.2024"}, // "/" is the locale's separator
        {"C", "h:mm AM/PM", "12:00 AM"},
        {"C", "mmm d, yyyy", "Mar 7, 2024"},
    };
    for (const Case& c : cases) {
        env.setEnv("LC_ALL", c.locale);
        EXPECT_EQ(vx::formatDate(d, c.pattern), c.expected) << c.locale << " " << c.pattern;
    }
}

TEST(Regional, FormatsTimes) {
    TestEnv env;
    env.setEnv("LC_ALL", "C");
    const QDate d(2024, 3, 7);
    struct Case {
        QTime time;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {QTime(13, 5), "h:mm AM/PM", "1:05 PM"},
        {QTime(0, 7), "h:mm AM/PM", "12:07 AM"},
        {QTime(12, 0), "hh:mm am/pm", "12:00 pm"},
        {QTime(13, 5, 9), "hh:nn:ss", "13:05:09"},
        {QTime(9, 5), "yyyymmdd hh:mm", "20240307 09:05"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vx::formatDateTime(QDateTime(d, c.time), c.pattern), c.expected) << c.pattern;
}

TEST(Regional, FormatsDateTexts) {
    TestEnv env;
    env.setEnv("LC_ALL", "C");
    EXPECT_EQ(vx::formatDateText("3/7/2024", "yyyymmdd"), "20240307");
    EXPECT_EQ(vx::formatDateText("2024-03-07", "yyyymmdd"), "20240307");
    EXPECT_EQ(vx::formatDateText("not a date", "yyyymmdd"), "not a date");
    EXPECT_EQ(vx::formatDateText("", "yyyymmdd"), "");
}

TEST(Regional, FormatsNumbers) {
    TestEnv env;
    struct Case {
        const char* locale;
        double value;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"C", 0, "#,###.00", ".00"},
        {"C", 0.004, "#,###.00", ".00"},
        {"C", 0.005, "#,###.00", ".01"},
        {"C", 1234.5, "#,###.00", "1,234.50"},
        {"C", -1234.5, "#,###.00", "-1,234.50"},
        {"C", 1234567.891, "#,###.00", "1,234,567.89"},
        {"C", 999.999, "#,###.00", "1,000.00"},
        // Money holds four decimals: halves round up as written in decimal, even where the
        // binary double lies just below the half (1.005, 2.675).
        {"C", 1.005, "#,###.00", "1.01"},
        {"C", 1234.565, "#,###.00", "1,234.57"},
        {"C", 2.675, "#.00", "2.68"},
        {"C", 1234.5, "#.00", "1234.50"},
        {"C", -0.5, "#.00", "-.50"},
        {"C", 1.5, "#.00#", "1.50"},
        {"C", 1.2346, "#.00#", "1.235"},
        {"C", 0.5, "0.00", "0.50"},
        {"C", 1234.5, "General Number", "1234.5"},
        {"C", 0.1, "General Number", "0.1"},
        {"de_DE.UTF-8", 1234.5, "#,###.00", "1.234,50"},
        {"de_DE.UTF-8", 1234.5, "General Number", "1234,5"},
    };
    for (const Case& c : cases) {
        env.setEnv("LC_ALL", c.locale);
        EXPECT_EQ(vx::formatNumber(c.value, c.pattern), c.expected)
            << c.locale << " " << c.value << " " << c.pattern;
    }
}
