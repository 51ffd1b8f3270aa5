#include "util/files.h"

#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(FileExists, Paths) {
    test::TestEnv env;
    test::TestEnv::writeFile(env.home() + QStringLiteral("/jovsafe/JOVREMOTE.MDF"), "x");
    test::TestEnv::writeFile(env.root() + QStringLiteral("/a.txt"), "x");
    const struct {
        QString path;
        bool exists;
    } cases[] = {
        {env.root() + QStringLiteral("/a.txt"), true},
        {QStringLiteral("c:\\jovsafe\\JOVREMOTE.MDF"), true},  // written the Windows way
        {QStringLiteral("C:\\jovsafe\\jovremote.mdf"), false}, // names keep their case here
        {env.root() + QStringLiteral("/*.txt"), false},        // no wildcards
        {env.root(), false},                                   // a folder is no file
        {QString(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(gfbFileExists(c.path), c.exists);
    }
}

} // namespace
} // namespace vx
