#include "platform/textfile.h"
#include "testsupport/test_env.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using vx::test::TestEnv;

TEST(TextFile, ReadsTheFirstLine) {
    TestEnv env;
    const QString file = env.root() + "/f.txt";
    struct Case {
        const char* name;
        QByteArray content;
        QString line;
    } cases[] = {
        {"LF", "first\nsecond\n", "first"},
        {"CR LF", "[ID]0001[TITLE]x\r\nsecond\r\n", "[ID]0001[TITLE]x"},
        {"lone CR", "first\rsecond", "first"},
        {"no line end", "only", "only"},
        {"empty file", "", ""},
        {"empty first line", "\r\nsecond", ""},
        {"UTF-8", "Caf\xc3\xa9 M\xc3\xbcller\r\n", QString::fromUtf8("Café Müller")},
        {"blanks kept", "  a  \n", "  a  "},
    };
    for (const Case& c : cases) {
        TestEnv::writeFile(file, c.content);
        EXPECT_EQ(vx::readFirstLine(file), c.line) << c.name;
    }
    EXPECT_EQ(vx::readFirstLine(env.root() + "/missing.txt"), std::nullopt);
    EXPECT_EQ(vx::readFirstLine(env.root()), std::nullopt) << "a folder is no text file";
}

TEST(TextFile, LongLinesAreCapped) {
    TestEnv env;
    const QString file = env.root() + "/big.txt";
    TestEnv::writeFile(file, QByteArray(5 << 20, 'x') + "\r\nnext\r\n");
    const auto line = vx::readFirstLine(file);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->size(), 1 << 20);
    EXPECT_EQ(vx::readFirstLine(file, 10), QString(10, u'x'));
    // A line end found beyond the first read chunk still ends the line.
    TestEnv::writeFile(file, QByteArray(10000, 'y') + "\nz");
    EXPECT_EQ(vx::readFirstLine(file), QString(10000, u'y'));
}

TEST(TextFile, WritesAndAppendsWithCrLf) {
    TestEnv env;
    const QString file = env.root() + "/out.txt";
    TestEnv::writeFile(file, "old content that is longer\n");
    ASSERT_TRUE(vx::writeLines(file, {"a", "", QString::fromUtf8("é")}));
    EXPECT_EQ(TestEnv::readFile(file), "a\r\n\r\n\xc3\xa9\r\n");
    ASSERT_TRUE(vx::appendLines(file, {"b"}));
    EXPECT_EQ(TestEnv::readFile(file), "a\r\n\r\n\xc3\xa9\r\nb\r\n");

    const QString fresh = env.root() + "/log.txt";
    ASSERT_TRUE(vx::appendLines(fresh, {"1"}));
    ASSERT_TRUE(vx::appendLines(fresh, {"2", "3"}));
    EXPECT_EQ(TestEnv::readFile(fresh), "1\r\n2\r\n3\r\n");

    ASSERT_TRUE(vx::writeLines(file, {}));
    EXPECT_EQ(TestEnv::readFile(file), "");
}

TEST(TextFile, WriteFailuresSayWhy) {
    TestEnv env;
    const QString nowhere = env.root() + "/missing/out.txt";
    QString error;
    EXPECT_FALSE(vx::writeLines(nowhere, {"a"}, &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(vx::appendLines(nowhere, {"a"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(nowhere));
    // A full disk: the line that does not fit is reported, not lost in silence.
    const QString log = env.root() + "/log.txt";
    TestEnv::writeFile(log, "1\r\n");
    {
        vx::test::FileSizeLimit limit(4);
        error.clear();
        EXPECT_FALSE(vx::appendLines(log, {"2"}, &error));
        EXPECT_EQ(error, "File too large");
    }
    // A folder standing where the file should be is not replaced.
    const QString folder = env.mkdir("taken");
    EXPECT_FALSE(vx::writeLines(folder, {"a"}, &error));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}
