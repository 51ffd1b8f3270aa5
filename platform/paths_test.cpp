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
