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
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}
} // namespace

// The file holds the database password: only its user may read it, even after another tool
// left it readable.
TEST(Settings, StoreIsPrivateToTheUserUnderTheConfigHome) {
    TestEnv env;
    ASSERT_TRUE(vx::SaveSetting(kApp, "DATABASE", "Password", "secret"));
    EXPECT_EQ(vx::settingsFile(kApp), env.configDir() + "/jov/JOV Settings.ini");
    EXPECT_EQ(modeOf(vx::settingsFile(kApp)), 0600u);
    EXPECT_EQ(modeOf(env.configDir() + "/jov"), 0700u);
    ::chmod(QFile::encodeName(vx::settingsFile(kApp)).constData(), 0644);
    ASSERT_TRUE(vx::SaveSetting(kApp, "DATABASE", "Server", "sqlite:"));
    EXPECT_EQ(modeOf(vx::settingsFile(kApp)), 0600u);
    env.setEnv("XDG_CONFIG_HOME", env.root() + "/xdg");
    EXPECT_EQ(vx::settingsFile(kApp), env.root() + "/xdg/jov/JOV Settings.ini");
    env.setEnv("XDG_CONFIG_HOME", "relative/dir"); // ignored, as the XDG rules ask
    EXPECT_EQ(vx::settingsFile(kApp), env.configDir() + "/jov/JOV Settings.ini");
}

// Values come back exactly, though the profile file trims blanks and strips matching quotes.
TEST(Settings, ValuesSurviveARoundTrip) {
    TestEnv env;
    EXPECT_EQ(vx::GetSetting(kApp, "DATABASE", "K0", "dflt"), "dflt");
    vx::DeleteSetting(kApp, "DATABASE", "K0"); // nothing to delete: harmless
    EXPECT_FALSE(QFile::exists(vx::settingsFile(kApp)));
    const QString values[] = {"plain", "  leading", "trailing  ", "\"quoted\"", "'single'",
                              "",      "a=b;c",     "C:\\TK",     "\"",         " \"half"};
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
    vx::DeleteSetting(kApp, "database", "K0");
    EXPECT_EQ(vx::GetSetting(kApp, "DATABASE", "K0", "none"), "none");
    // A line break would end the line and let the rest become entries of its own.
    vx::SaveSetting(kApp, "DATABASE", "K1", "a\r\n[X]\r\nk=v");
    EXPECT_EQ(vx::GetSetting(kApp, "X", "k", "none"), "none");
}
