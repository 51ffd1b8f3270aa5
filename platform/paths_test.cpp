#include "platform/paths.h"
#include "testsupport/test_env.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using vx::test::TestEnv;

TEST(Paths, NativePathMapsWindowsPaths) {
    TestEnv env;
    const QString home = env.home();
    struct Case {
        const char* windows;
        QString native;
    } cases[] = {
        {"C:\\TK", home + "/TK"},
        {"c:\\jovsafe\\JOVRemote.mdf", home + "/jovsafe/JOVRemote.mdf"},
        {"C:/TK/data", home + "/TK/data"},
        {"C:\\", home + "/"},
        {"C:", home},
        {"C:\\TK\\export\\PO 0301.txt ", home + "/TK/export/PO 0301.txt"},
        {"C:\\TK\\name. . ", home + "/TK/name"},
        {"export\\a.txt", "export/a.txt"},
        {"\\\\SHOPPC\\share", "//SHOPPC/share"},
        {"/abs/path", "/abs/path"},
        {"/abs/path/.", "/abs/path/."},
        {"../up/..", "../up/.."},
        {"D:\\data", "D:/data"}, // only the system drive has a home here
        {"CC:\\x", "CC:/x"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vx::nativePath(c.windows), c.native) << c.windows;
}

TEST(Paths, AWindowsPathFindsANameThatDiffersInCase) {
    TestEnv env;
    const QString home = env.home();
    env.mkdir("home/TK/Export");
    env.mkdir("home/both/tk");
    env.mkdir("home/both/TK");
    const std::pair<const char*, QString> cases[] = {
        {"c:\\tk", home + "/TK"},
        {"C:\\TK\\EXPORT\\new.txt", home + "/TK/Export/new.txt"}, // a missing file keeps its name
        {"C:\\both\\tk", home + "/both/tk"},                      // the exact name wins
        {"C:\\none\\tk", home + "/none/tk"},
    };
    for (const auto& [windows, native] : cases)
        EXPECT_EQ(vx::nativePath(windows), native) << windows;
    // A path written the Linux way is taken as it is.
    EXPECT_EQ(vx::nativePath(home + "/tk"), home + "/tk");
}

TEST(Paths, JoinPath) {
    struct Case {
        const char* folder;
        const char* name;
        const char* joined;
    } cases[] = {
        {"/a/b", "RptVantrex.RSF", "/a/b/RptVantrex.RSF"},
        {"/a/b/", "c.txt", "/a/b/c.txt"},
        {"/a", "c.txt  ", "/a/c.txt"},
        {"/a", "c.txt.", "/a/c.txt"},
        {"/a", "..", "/a/.."},
        {"rel", "x", "rel/x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vx::joinPath(c.folder, c.name), c.joined) << c.folder << " + " << c.name;
}

TEST(Paths, ProgramDirHonoursTheEnvironment) {
    TestEnv env;
    EXPECT_EQ(vx::programDir(), env.programDir());
    env.setEnv("JOV_PROGRAM_DIR", env.root() + "/other/");
    EXPECT_EQ(vx::programDir(), env.root() + "/other");
    env.setEnv("JOV_PROGRAM_DIR", "");
    EXPECT_EQ(vx::programDir(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(vx::executableName(), "platform_test");
}

TEST(Paths, AnInstalledProgramKeepsItsFilesInTheUsersDataFolder) {
    TestEnv env;
    struct Case {
        const char* exe;
        const char* xdgDataHome; // nullptr: not set
        QString programDir, shipped;
    } cases[] = {
        {"/usr/bin/vantrex-report", nullptr, env.home() + "/.local/share/jov",
         "/usr/share/vantrex-report"},
        {"/usr/bin/vantrex-report", "/srv/data/", "/srv/data/jov", "/usr/share/vantrex-report"},
        {"/usr/bin/vantrex-report", "relative", env.home() + "/.local/share/jov",
         "/usr/share/vantrex-report"},
        {"/usr/local/bin/vantrex-report", nullptr, env.home() + "/.local/share/jov",
         "/usr/local/share/vantrex-report"},
        {"/opt/vantrex/vantrex-report", "/srv/data", "/opt/vantrex", ""},
        {"/usrx/bin/vantrex-report", nullptr, "/usrx/bin", ""},
    };
    for (const Case& c : cases) {
        env.setEnv("XDG_DATA_HOME", c.xdgDataHome ? QString::fromLatin1(c.xdgDataHome) : "");
        if (!c.xdgDataHome)
            qunsetenv("XDG_DATA_HOME");
        EXPECT_EQ(vx::programDirOf(c.exe), c.programDir)
            << c.exe << " " << (c.xdgDataHome ? c.xdgDataHome : "(unset)");
        EXPECT_EQ(vx::shippedFilesDirOf(c.exe), c.shipped) << c.exe;
    }
}

TEST(Paths, PreparingTheProgramFolderAddsOnlyTheShippedFilesItLacks) {
    TestEnv env;
    const QString shipped = env.mkdir("shipped");
    TestEnv::writeFile(shipped + "/upper.alt", "SHIPPED");
    TestEnv::writeFile(shipped + "/other.txt", "OTHER");
    env.mkdir("shipped/sample");
    const QString folder = env.root() + "/home/.local/share/jov";
    QString error;
    ASSERT_TRUE(vx::prepareProgramDir(folder, shipped, &error));
    EXPECT_EQ(TestEnv::readFile(folder + "/upper.alt"), "SHIPPED");
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"other.txt", "upper.alt"}));

    TestEnv::writeFile(folder + "/upper.alt", "MINE");
    QFile::remove(folder + "/other.txt");
    ASSERT_TRUE(vx::prepareProgramDir(folder, shipped, &error));
    EXPECT_EQ(TestEnv::readFile(folder + "/upper.alt"), "MINE");
    EXPECT_EQ(TestEnv::readFile(folder + "/other.txt"), "OTHER");
    ASSERT_TRUE(vx::prepareProgramDir(folder, QString(), &error)); // not installed: nothing to copy

    TestEnv::writeFile(env.root() + "/plainfile", "x");
    EXPECT_FALSE(vx::prepareProgramDir(env.root() + "/plainfile/jov", shipped, &error));
    EXPECT_EQ(error, "The program folder " + env.root() + "/plainfile/jov could not be created.");
}
