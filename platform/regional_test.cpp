#include "platform/regional.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>
#include <tuple>

using vx::test::TestEnv;

TEST(Regional, ParsesDatesInTheLocalesOrder) {
    TestEnv env;
    const std::tuple<const char*, const char*, QDate> cases[] = {
        // invalid QDate: no date
        {"C", " 3/7/2024 ", QDate(2024, 3, 7)},
        {"POSIX", "03-07-24", QDate(2024, 3, 7)},
        {"C", "1/2/29", QDate(2029, 1, 2)},           // two-digit years: 00-29 this century
        {"C", "1/2/30", QDate(1930, 1, 2)},           // 30-99 the last one
        {"C.UTF-8", "2024-03-07", QDate(2024, 3, 7)}, // ISO whatever the locale
        {"C", "2/29/2023", QDate()},
        {"C", "13/03/2024", QDate(2024, 3, 13)}, // only day first makes a date: day first
        {"C", "1/2/123", QDate()},
        {"C", "20240307", QDate()},
        {"en_GB.UTF-8", "7/3/2024", QDate(2024, 3, 7)},
        {"de_DE.UTF-8", "07.03.2024", QDate(2024, 3, 7)}};
    for (const auto& [locale, text, expected] : cases) {
        env.setEnv("LC_ALL", locale);
        const auto d = vx::parseDate(text);
        EXPECT_EQ(d.value_or(QDate()), expected) << locale << " \"" << text << "\"";
        EXPECT_EQ(d.has_value(), expected.isValid()) << locale << " \"" << text << "\"";
    }
}

TEST(Regional, FormatsDatesAndTimes) {
    TestEnv env;
    const QDate d(2024, 3, 7);
    const std::tuple<const char*, QTime, const char*, const char*> cases[] = {
        {"C", QTime(0, 0), "d/m/yy", "7/3/24"},
        {"POSIX", QTime(0, 0), "short date", "3/7/2024"}, // four-digit years
        {"en_GB.UTF-8", QTime(0, 0), "Short Date", "07/03/2024"},
        {"de_DE.UTF-8", QTime(0, 0), "dd/mm/yyyy", "07.03.2024"}, // "/": the locale's separator
        {"C", QTime(13, 5), "h:mm AM/PM", "1:05 PM"},
        {"C", QTime(0, 7), "h:mm AM/PM", "12:07 AM"},
        {"C", QTime(12, 0), "hh:mm am/pm", "12:00 pm"},
        {"C", QTime(13, 5, 9), "hh:nn:ss", "13:05:09"},
        {"C", QTime(9, 5), "YYYYMMDD hh:mm", "20240307 09:05"}};
    for (const auto& [locale, time, pattern, expected] : cases) {
        env.setEnv("LC_ALL", locale);
        EXPECT_EQ(vx::formatDateTime(QDateTime(d, time), pattern), expected) << locale << pattern;
    }
    // LC_ALL wins over LC_TIME, which wins over LANG.
    env.setEnv("LC_ALL", "");
    env.setEnv("LC_TIME", "en_GB.UTF-8");
    env.setEnv("LANG", "en_US.UTF-8");
    EXPECT_EQ(vx::formatDate(d, "Short Date"), "07/03/2024");
}

TEST(Regional, FormatsNumbers) {
    TestEnv env;
    const std::tuple<const char*, double, const char*, const char*> cases[] = {
        {"C", 0.004, "#,###.00", ".00"},
        {"C", 0.005, "#,###.00", ".01"},
        {"C", -1234.5, "#,###.00", "-1,234.50"},
        {"C", 1234567.891, "#,###.00", "1,234,567.89"},
        {"C", 999.999, "#,###.00", "1,000.00"},
        // Money holds four decimals: halves round up as written in decimal, even where the
        // binary double lies just below the half.
        {"C", 1.005, "#,###.00", "1.01"},
        {"C", 1234.5, ".00", "1234.50"}, // nothing before the point
        {"C", -0.5, "#.00", "-.50"},
        {"C", 1.2346, "#.00#", "1.235"},
        {"C", 0.5, "0.00", "0.50"},
        {"C", 1234.5, "General Number", "1234.5"},
        {"de_DE.UTF-8", 1234.5, "#,###.00", "1.234,50"},
        {"de_DE.UTF-8", 1234.5, "General Number", "1234,5"}};
    for (const auto& [locale, value, pattern, expected] : cases) {
        env.setEnv("LC_ALL", locale);
        EXPECT_EQ(vx::formatNumber(value, pattern), expected) << locale << value << pattern;
    }
}
