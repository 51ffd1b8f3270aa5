#include "platform/paths.h"
#include "testsupport/test_env.h"

#include <QCoreApplication>
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
