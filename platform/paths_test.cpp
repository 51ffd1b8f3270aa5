// Paths, text files and programs started through the shell.
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "testsupport/test_env.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    // executable, XDG_DATA_HOME (empty: not set), program folder, shipped files' folder
    const std::tuple<const char*, const char*, QString, QString> cases[] = {
        {"/usr/bin/vantrex-report", "", local, "/usr/share/vantrex-report"},
        {"/usr/bin/vantrex-report", "/srv/data/", "/srv/data/jov", "/usr/share/vantrex-report"},
        {"/usr/bin/vantrex-report", "relative", local, "/usr/share/vantrex-report"},
        {"/usr/local/bin/vantrex-report", "", local, "/usr/local/share/vantrex-report"},
        {"/opt/vantrex/vantrex-report", "/srv/data", "/opt/vantrex", ""},
        {"/usrx/bin/vantrex-report", "", "/usrx/bin", ""}};
    for (const auto& [exe, xdgDataHome, programDir, shipped] : cases) {
        SCOPED_TRACE(std::string(exe) + " " + xdgDataHome);
        env.setEnv("XDG_DATA_HOME", xdgDataHome);
        EXPECT_EQ(vx::programDirOf(exe), programDir);
        EXPECT_EQ(vx::shippedFilesDirOf(exe), shipped);
    }

    // Preparing the program folder adds only the shipped files it lacks.
    const QString shipped = env.mkdir("shipped");
    TestEnv::writeFile(shipped + "/upper.alt", "SHIPPED");
    TestEnv::writeFile(shipped + "/other.txt", "OTHER");
    env.mkdir("shipped/sample");
    QString error;
    ASSERT_TRUE(vx::prepareProgramDir(local, shipped, &error));
    EXPECT_EQ(QDir(local).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"other.txt", "upper.alt"}));

    TestEnv::writeFile(local + "/upper.alt", "MINE");
    QFile::remove(local + "/other.txt");
    ASSERT_TRUE(vx::prepareProgramDir(local, shipped, &error));
    EXPECT_EQ(TestEnv::readFile(local + "/upper.alt") + TestEnv::readFile(local + "/other.txt"),
              "MINEOTHER");

    TestEnv::writeFile(env.root() + "/plainfile", "x");
    EXPECT_FALSE(vx::prepareProgramDir(env.root() + "/plainfile/jov", shipped, &error));
    EXPECT_EQ(error, "The program folder " + env.root() + "/plainfile/jov could not be created.");
}

TEST(TextFile, ReadsTheFirstLine) {
    TestEnv env;
    const QString file = env.root() + "/f.txt";
    const std::pair<QByteArray, QString> cases[] = {
        {"[ID]0001[TITLE]x\r\nsecond\r\n", "[ID]0001[TITLE]x"},
        {"first\rsecond", "first"},
        {"", ""},
        {"\nsecond", ""},
        {"  Caf\xc3\xa9  \n", QString::fromUtf8("  Café  ")},
        {QByteArray(10000, 'y') + "\nz", QString(10000, u'y')},     // an end beyond the first chunk
        {QByteArray(5 << 20, 'x') + "\r\n", QString(1 << 20, u'x')} // long lines are capped
    };
    for (const auto& [content, line] : cases) {
        TestEnv::writeFile(file, content);
        EXPECT_EQ(vx::readFirstLine(file), line) << content.left(20).toStdString();
    }
    EXPECT_EQ(vx::readFirstLine(file, 10), QString(10, u'x'));
    EXPECT_EQ(vx::readFirstLine(env.root() + "/missing.txt"), std::nullopt);
    EXPECT_EQ(vx::readFirstLine(env.root()), std::nullopt) << "a folder is no text file";
}

TEST(TextFile, WritesAndAppendsWithCrLfOrSaysWhyNot) {
    TestEnv env;
    const QString file = env.root() + "/out.txt";
    TestEnv::writeFile(file, "old content that is longer\n");
    ASSERT_TRUE(vx::writeLines(file, {"a", "", QString::fromUtf8("é")}));
    ASSERT_TRUE(vx::appendLines(file, {"b", "c"}));
    EXPECT_EQ(TestEnv::readFile(file), "a\r\n\r\n\xc3\xa9\r\nb\r\nc\r\n");
    const QString fresh = env.root() + "/log.txt";
    ASSERT_TRUE(vx::appendLines(fresh, {"1"}));
    EXPECT_EQ(TestEnv::readFile(fresh), "1\r\n");

    // Failures say why: a missing folder, a full disk (the line that does not fit is reported,
    // not lost in silence), a folder standing where the file should be (and not replaced).
    QString error;
    EXPECT_FALSE(vx::writeLines(env.root() + "/missing/out.txt", {"a"}, &error));
    EXPECT_FALSE(error.isEmpty());
    {
        vx::test::FileSizeLimit limit(4);
        EXPECT_FALSE(vx::appendLines(fresh, {"2"}, &error));
        EXPECT_EQ(error, "File too large");
    }
    const QString folder = env.mkdir("taken");
    EXPECT_FALSE(vx::writeLines(folder, {"a"}, &error));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(Shell, SplitsCommandLinesLikeAShell) {
    const std::pair<const char*, QStringList> cases[] = {
        {"", {}},
        {"  a  b\tc  ", {"a", "b", "c"}},
        {"a 'b  c' d", {"a", "b  c", "d"}},
        {"'a\\b \"c\"'", {"a\\b \"c\""}},                 // nothing is special in single quotes
        {"\"a \\\"b\\\" \\\\ \\n\"", {"a \"b\" \\ \\n"}}, // only \" and \\ escape in double
        {"a\\ b c", {"a b", "c"}},
        {"x\"y z\"w", {"xy zw"}},
        {"\"unterminated quote", {"unterminated quote"}},
        {"trailing\\", {"trailing\\"}}};
    for (const auto& [line, words] : cases)
        EXPECT_EQ(vx::splitCommandLine(line), words) << line;
}

TEST(Shell, SyncShellWaitsAndReturnsTheStatus) {
    const std::pair<const char*, int> cases[] = {
        {"sh -c 'exit 3'", 3},           // found through PATH
        {"/bin/sh -c 'kill -9 $$'", -1}, // killed, no exit status
        {"no-such-program-anywhere", -1}};
    for (const auto& [line, status] : cases) // the status tells the program has ended
        EXPECT_EQ(vx::SyncShell(line), status) << line;
}
