#include "util/dates.h"

#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(DisplayDate, BothStyles) {
    EXPECT_EQ(gsDisplayDate(QStringLiteral("20240307"), QStringLiteral("E")),
              QStringLiteral("07/03/2024"));
    EXPECT_EQ(gsDisplayDate(QStringLiteral("20240307"), QStringLiteral("U")),
              QStringLiteral("03/07/2024"));
    EXPECT_EQ(gsDisplayDate(QStringLiteral("20240307"), QStringLiteral("e")),
              QStringLiteral("03/07/2024")); // only "E" means day first
    EXPECT_EQ(gsDisplayDate(QString(), QStringLiteral("E")), QStringLiteral("  "));
    EXPECT_EQ(gsDisplayDate(QStringLiteral("        "), QStringLiteral("U")), QString(10, u' '));
}

struct StoredCase {
    const char* locale;
    const char* style;
    const char* display;
    const char* stored;
    const char* rewritten; // the caller's variable afterwards
};

TEST(StoredDate, ReformatsInTheLocaleThenTakesThePositions) {
    const StoredCase cases[] = {
        {"en_GB.UTF-8", "E", "07/03/2024", "20240307", "07/03/2024"},
        {"en_GB.UTF-8", "E", "7/3/2024", "20240307", "07/03/2024"},
        {"en_GB.UTF-8", "E", "7/3/24", "20240307", "07/03/2024"},
        {"en_GB.UTF-8", "E", "2024-03-07", "20240307", "07/03/2024"},
        {"en_US.UTF-8", "U", "3/7/2024", "20240307", "03/07/2024"},
        {"en_US.UTF-8", "U", "12/31/1999", "19991231", "12/31/1999"},
        {"C", "U", "3/7/2024", "20240307", "03/07/2024"},
        // A date only with day and month swapped is read that way, never as month 13.
        {"en_US.UTF-8", "U", "13/03/2024", "20240313", "03/13/2024"},
        // Not a date (no 31 February): the one-digit part is padded by hand.
        {"en_GB.UTF-8", "E", "31/2/2024", "20240231", "31/02/2024"},
        {"en_US.UTF-8", "U", "2/31/2024", "20240231", "02/31/2024"},
        // Another separator: the characters are taken where they stand.
        {"de_DE.UTF-8", "E", "7.3.2024", "20240307", "07.03.2024"},
        // Blank values come back as they are.
        {"en_GB.UTF-8", "E", "   ", "   ", "   "},
        {"en_US.UTF-8", "U", "", "", ""},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.style + " " + c.display);
        test::TestEnv env;
        env.setEnv("LC_ALL", QLatin1String(c.locale));
        QString display = QLatin1String(c.display);
        EXPECT_EQ(gsStoredDate(display, QLatin1String(c.style)), QLatin1String(c.stored));
        EXPECT_EQ(display, QLatin1String(c.rewritten));
    }
}

} // namespace
} // namespace vx
