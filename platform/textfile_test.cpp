#include "platform/textfile.h"
#include "testsupport/test_env.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using vx::test::TestEnv;

TEST(TextFile, ReadsTheFirstLine) {
    TestEnv env;
    const QString file = env.root() + "/f.txt";
    const std::pair<QByteArray, QString> cases[] = {
        {"[ID]0001[TITLE]x\r\nsecond\r\n", "[ID]0001[TITLE]x"},
        {"first\rsecond", "first"},
        {"only", "only"},
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
