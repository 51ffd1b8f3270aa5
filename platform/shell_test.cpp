#include "platform/shell.h"

#include <gtest/gtest.h>

TEST(Shell, SplitsCommandLinesLikeAShell) {
    const std::pair<const char*, QStringList> cases[] = {
        {"", {}},
        {"  a  b\tc  ", {"a", "b", "c"}},
        {"a 'b  c' d", {"a", "b  c", "d"}},
        {"'it''s'", {"its"}},
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
        {"/bin/sh -c 'exit 3'", 3},
        {"sh -c 'exit 0'", 0}, // found through PATH
        {"sh -c 'test \"$1\" = \"a b\"' sh \"a b\"", 0},
        {"/bin/sh -c 'kill -9 $$'", -1}, // killed, no exit status
        {"no-such-program-anywhere", -1}};
    for (const auto& [line, status] : cases) // the status tells the program has ended
        EXPECT_EQ(vx::SyncShell(line), status) << line;
}
