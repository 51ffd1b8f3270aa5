#include "platform/settings.h"
#include "testsupport/test_env.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using vx::test::TestEnv;

namespace {
const QString kApp = QStringLiteral("JOV Settings");

unsigned modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 0777;
}
} // namespace

TEST(Settings, FileLivesUnderTheConfigHome) {
    TestEnv env;
    EXPECT_EQ(vx::settingsFile(kApp), env.configDir() + "/jov/JOV Settings.ini");
    env.setEnv("XDG_CONFIG_HOME", env.root() + "/xdg");
    EXPECT_EQ(vx::settingsFile(kApp), env.root() + "/xdg/jov/JOV Settings.ini");
    // An empty or relative XDG_CONFIG_HOME is ignored, as the XDG rules ask.
    for (const char* xdg : {"", "relative/dir"}) {
        env.setEnv("XDG_CONFIG_HOME", xdg);
        EXPECT_EQ(vx::settingsFile(kApp), env.home() + "/.config/jov/JOV Settings.ini") << xdg;
    }
}

TEST(Settings, StoreIsPrivateToTheUser) {
    TestEnv env;
    ASSERT_TRUE(vx::SaveSetting(kApp, "DATABASE", "Password", "secret"));
    EXPECT_EQ(modeOf(vx::settingsFile(kApp)), 0600u);
    EXPECT_EQ(modeOf(env.configDir() + "/jov"), 0700u);

    // A file some other tool left readable is tightened on the next save.
    ::chmod(QFile::encodeName(vx::settingsFile(kApp)).constData(), 0644);
    ASSERT_TRUE(vx::SaveSetting(kApp, "DATABASE", "Server", "sqlite:"));
    EXPECT_EQ(modeOf(vx::settingsFile(kApp)), 0600u);
}

TEST(Settings, ValuesSurviveARoundTrip) {
    TestEnv env;
    const QString values[] = {"plain",      "  leading", "trailing  ", " both ",
                              "\"quoted\"", "'single'",  "",           "a=b;c",
                              "[x]",        "C:\\TK",    "\"",         " \"half"};
    int i = 0;
    for (const QString& v : values) {
        const QString key = QString("K%1").arg(i++);
        ASSERT_TRUE(vx::SaveSetting(kApp, "DATABASE", key, v)) << v.toStdString();
        EXPECT_EQ(vx::GetSetting(kApp, "DATABASE", key, "dflt"), v) << v.toStdString();
    }
    // Overwriting keeps one entry, names compare in any case.
    ASSERT_TRUE(vx::SaveSetting(kApp, "database", "k0", "new"));
    EXPECT_EQ(vx::GetSetting(kApp, "DATABASE", "K0"), "new");
    EXPECT_EQ(TestEnv::readFile(vx::settingsFile(kApp)).toLower().count("k0="), 1);
}

// A line break inside a value would end the line and let the rest become entries of its own.
TEST(Settings, LineBreaksCannotInjectEntries) {
    TestEnv env;
    vx::SaveSetting(kApp, "DATABASE", "Password", "a\r\n[X]\r\nk=v");
    EXPECT_EQ(vx::GetSetting(kApp, "X", "k", "none"), "none");
    const QString stored = vx::GetSetting(kApp, "DATABASE", "Password", "none");
    EXPECT_TRUE(stored == "none" || stored == "a\r\n[X]\r\nk=v") << stored.toStdString();
}

TEST(Settings, MissingAndDeleted) {
    TestEnv env;
    EXPECT_EQ(vx::GetSetting(kApp, "DATABASE", "Station", "1"), "1");
    vx::DeleteSetting(kApp, "DATABASE", "Station"); // nothing to delete: harmless
    EXPECT_FALSE(QFile::exists(vx::settingsFile(kApp)));

    ASSERT_TRUE(vx::SaveSetting(kApp, "DATABASE", "Station", "3"));
    ASSERT_TRUE(vx::SaveSetting(kApp, "DATABASE", "DataPath", "C:\\TK"));
    vx::DeleteSetting(kApp, "database", "STATION");
    EXPECT_EQ(vx::GetSetting(kApp, "DATABASE", "Station", "none"), "none");
    EXPECT_EQ(vx::GetSetting(kApp, "DATABASE", "DataPath"), "C:\\TK");
    EXPECT_EQ(vx::GetSetting("Other App", "DATABASE", "DataPath", "none"), "none");
}
