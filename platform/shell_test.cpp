#include "platform/shell.h"
#include "testsupport/test_env.h"

#include <QFile>
#include <gtest/gtest.h>

using vx::test::TestEnv;

TEST(Shell, SplitsCommandLinesLikeAShell) {
    struct Case {
        const char* line;
        QStringList words;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"prog", {"prog"}},
        {"  a  b\tc  ", {"a", "b", "c"}},
        {"a 'b  c' d", {"a", "b  c", "d"}},
        {"'it''s'", {"its"}},
        {"'a\\b \"c\"'", {"a\\b \"c\""}},                 // nothing is special in single quotes
        {"\"a \\\"b\\\" \\\\ \\n\"", {"a \"b\" \\ \\n"}}, // only \" and \\ escape in double
        {"a\\ b c", {"a b", "c"}},
        {"x\"y z\"w", {"xy zw"}},
        {"\"\" ''", {"", ""}},
        {"\"unterminated quote", {"unterminated quote"}},
        {"trailing\\", {"trailing\\"}},
        {"JOVDataConfiguration --server S --database D",
         {"JOVDataConfiguration", "--server", "S", "--database", "D"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vx::splitCommandLine(c.line), c.words) << c.line;
}

TEST(Shell, SyncShellWaitsAndReturnsTheStatus) {
    struct Case {
        const char* line;
        int status;
    } cases[] = {
        {"/bin/sh -c 'exit 3'", 3},
        {"sh -c 'exit 0'", 0}, // found through PATH
        {"sh -c 'test \"$1\" = \"a b\"' sh \"a b\"", 0},
        {"/bin/sh -c 'kill -9 $$'", -1}, // killed, no exit status
        {"/no/such/program", -1},
        {"no-such-program-anywhere", -1},
        {"", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vx::SyncShell(c.line), c.status) << c.line;
}

TEST(Shell, SyncShellReturnsOnlyWhenTheProgramHasEnded) {
    TestEnv env;
    const QString marker = env.root() + "/done";
    EXPECT_EQ(vx::SyncShell("/bin/sh -c 'sleep 0.2; echo x > \"$0\"' '" + marker + "'"), 0);
    EXPECT_TRUE(QFile::exists(marker));
}
