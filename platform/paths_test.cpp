#include "platform/paths.h"
#include "testsupport/test_env.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <tuple>

using vx::test::TestEnv;

TEST(Paths, NativePathMapsWindowsPaths) {
    TestEnv env;
    const QString home = env.home();
    env.mkdir("home/TK/Export");
    env.mkdir("home/both/tk");
    env.mkdir("home/both/TK");
    const std::pair<const char*, QString> cases[] = {
        {"c:\\jovsafe\\JOVRemote.mdf", home + "/jovsafe/JOVRemote.mdf"},
        {"C:", home},
        {"C:\\TK\\name. . ", home + "/TK/name"},
        {"export\\a.txt", "export/a.txt"},
        {"\\\\SHOPPC\\share", "//SHOPPC/share"},
        {"D:\\data", "D:/data"}, // only the system drive has a home here
        {"CC:\\x", "CC:/x"},
        // Names that do not exist as written are found ignoring case.
        {"c:\\tk", home + "/TK"},
        {"C:\\TK\\EXPORT\\new.txt", home + "/TK/Export/new.txt"}, // a missing file keeps its name
        {"C:\\both\\tk", home + "/both/tk"}                       // the exact name wins
    };
    for (const auto& [windows, native] : cases)
        EXPECT_EQ(vx::nativePath(windows), native) << windows;
    EXPECT_EQ(vx::nativePath(home + "/tk"), home + "/tk"); // a Linux path is taken as it is
    EXPECT_EQ(vx::joinPath("/a/b/", "c.txt. "), "/a/b/c.txt");
    EXPECT_EQ(vx::joinPath("rel", ".."), "rel/..");
}

TEST(Paths, AnInstalledProgramKeepsItsFilesInTheUsersDataFolder) {
    TestEnv env;
    EXPECT_EQ(vx::programDir(), env.programDir());
    env.setEnv("JOV_PROGRAM_DIR", "");
    EXPECT_EQ(vx::programDir(), QCoreApplication::applicationDirPath());
    const QString local = env.home() + "/.local/share/jov";
    // executable, XDG_DATA_HOME (nullptr: not set), program folder, shipped files' folder
    const std::tuple<const char*, const char*, QString, QString> cases[] = {
        {"/usr/bin/vantrex-report", nullptr, local, "/usr/share/vantrex-report"},
        {"/usr/bin/vantrex-report", "/srv/data/", "/srv/data/jov", "/usr/share/vantrex-report"},
        {"/usr/bin/vantrex-report", "relative", local, "/usr/share/vantrex-report"},
        {"/usr/local/bin/vantrex-report", nullptr, local, "/usr/local/share/vantrex-report"},
        {"/opt/vantrex/vantrex-report", "/srv/data", "/opt/vantrex", ""},
        {"/usrx/bin/vantrex-report", nullptr, "/usrx/bin", ""}};
    for (const auto& [exe, xdgDataHome, programDir, shipped] : cases) {
        SCOPED_TRACE(std::string(exe) + " " + (xdgDataHome ? xdgDataHome : "(unset)"));
        env.setEnv("XDG_DATA_HOME", xdgDataHome);
        if (!xdgDataHome)
            qunsetenv("XDG_DATA_HOME");
        EXPECT_EQ(vx::programDirOf(exe), programDir);
        EXPECT_EQ(vx::shippedFilesDirOf(exe), shipped);
    }

    // Preparing the program folder adds only the shipped files it lacks.
    const QString shipped = env.mkdir("shipped");
    TestEnv::writeFile(shipped + "/upper.alt", "SHIPPED");
    TestEnv::writeFile(shipped + "/other.txt", "OTHER");
    env.mkdir("shipped/sample");
    const QString folder = local;
    QString error;
    ASSERT_TRUE(vx::prepareProgramDir(folder, shipped, &error));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"other.txt", "upper.alt"}));

    TestEnv::writeFile(folder + "/upper.alt", "MINE");
    QFile::remove(folder + "/other.txt");
    ASSERT_TRUE(vx::prepareProgramDir(folder, shipped, &error));
    EXPECT_EQ(TestEnv::readFile(folder + "/upper.alt") + TestEnv::readFile(folder + "/other.txt"),
              "MINEOTHER");

    TestEnv::writeFile(env.root() + "/plainfile", "x");
    EXPECT_FALSE(vx::prepareProgramDir(env.root() + "/plainfile/jov", shipped, &error));
    EXPECT_EQ(error, "The program folder " + env.root() + "/plainfile/jov could not be created.");
}
