#include "platform/profile.h"
#include "testsupport/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using vx::profile::getString;
using vx::profile::OptText;
using vx::profile::readValue;
using vx::profile::writeString;
using vx::test::FileSizeLimit;
using vx::test::TestEnv;

namespace {

// The buffer's text up to its first NUL, as the callers of the engine read it.
QString upToNul(const QString& buffer) {
    const qsizetype nul = buffer.indexOf(QChar(0));
    return nul < 0 ? buffer : buffer.left(nul);
}

QString value(const QString& file, const QString& section, const QString& key,
              const QString& def = {}, int size = 255) {
    QString buffer;
    getString(section, key, def, buffer, size, file);
    return upToNul(buffer);
}

const QByteArray kSample = "; suite settings\n"
                           "[Database]\n"
                           "Server = SHOPPC\\JOVSERVER  \n"
                           "server=second\n"
                           "Quoted = \"  spaced  \"\n"
                           "Single='x'\n"
                           "Mismatch=\"abc'\n"
                           "Empty=\n"
                           "  Indented Key  =  v  \n"
                           "not an entry\n"
                           "\n"
                           "[Other]\n"
                           "Key=other\n";

} // namespace

TEST(Profile, ReadsValuesWithProfileRules) {
    TestEnv env;
    const QString file = env.root() + "/a.ini";
    TestEnv::writeFile(file, kSample);
    struct Case {
        const char* section;
        const char* key;
        const char* def;
        QString expected;
    } cases[] = {
        {"DATABASE", "SERVER", "", "SHOPPC\\JOVSERVER"}, // any case, first match, trimmed
        {"database", "quoted", "", "  spaced  "},        // quotes removed, inside kept
        {"Database", "Single", "", "x"},
        {"Database", "Mismatch", "", "\"abc'"}, // quotes that do not match stay
        {"Database", "Empty", "dflt", ""},      // an empty value is no missing key
        {"Database", "Indented Key", "", "v"},
        {"Other", "Key", "", "other"},
        {"Other", "Server", "dflt", "dflt"},  // keys belong to their own section
        {"Missing", "Key", "dflt  ", "dflt"}, // trailing blanks of the default dropped
        {"Database", "not an entry", "d", "d"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(value(file, c.section, c.key, c.def), c.expected) << c.section << "/" << c.key;
    }
    EXPECT_EQ(readValue(file, "database", "server"), QString("SHOPPC\\JOVSERVER"));
    EXPECT_EQ(readValue(file, "Database", "Nope"), std::nullopt);
}

TEST(Profile, ValuesAreCutToTheBuffer) {
    TestEnv env;
    const QString file = env.root() + "/a.ini";
    const QString longValue = QString(300, u'v');
    TestEnv::writeFile(file, "[S]\nk=" + longValue.toUtf8() + "\n");
    QString buffer;
    EXPECT_EQ(getString(QString("S"), QString("k"), {}, buffer, 255, file), 254);
    ASSERT_EQ(buffer.size(), 255);
    EXPECT_EQ(upToNul(buffer), longValue.left(254));
    // The default is cut the same way; a buffer of one character holds only the NUL.
    EXPECT_EQ(getString(QString("S"), QString("x"), longValue, buffer, 255, file), 254);
    EXPECT_EQ(getString(QString("S"), QString("k"), {}, buffer, 1, file), 0);
    EXPECT_EQ(buffer, QString(1, QChar(0)));
    // The whole value is still there for readers without a buffer.
    EXPECT_EQ(readValue(file, "S", "k"), longValue);
}

TEST(Profile, NameListsAreNulSeparatedAndCut) {
    TestEnv env;
    const QString file = env.root() + "/a.ini";
    TestEnv::writeFile(file, "[Alpha]\none=1\ntwo=2\n[Beta]\n");
    const QString nul(1, QChar(0));
    struct Case {
        OptText section;
        int size;
        int count;
        QString text; // the first `count` characters; NULs follow up to `size`
    } cases[] = {
        {std::nullopt, 255, 11, "Alpha" + nul + "Beta" + nul},
        {std::nullopt, 12, 11, "Alpha" + nul + "Beta" + nul}, // exactly fits with its final NUL
        {std::nullopt, 11, 9, "Alpha" + nul + "Bet"},         // cut: size - 2, two NULs behind
        {std::nullopt, 2, 0, ""},
        {QString("ALPHA"), 255, 8, "one" + nul + "two" + nul},
        {QString("Beta"), 255, 0, ""},
        {QString("Gamma"), 255, 0, ""},
    };
    for (const Case& c : cases) {
        QString buffer;
        const int n = getString(c.section, std::nullopt, "ignored", buffer, c.size, file);
        EXPECT_EQ(n, c.count) << c.size;
        ASSERT_EQ(buffer.size(), c.size);
        EXPECT_EQ(buffer.left(n), c.text);
        EXPECT_EQ(buffer.mid(n), QString(c.size - n, QChar(0))) << c.size;
    }
}

TEST(Profile, MissingOrFolderFileReadsAsEmpty) {
    TestEnv env;
    for (const QString& file : {env.root() + "/none.ini", env.root()}) {
        EXPECT_EQ(value(file, "S", "k", "dflt"), "dflt");
        QString buffer;
        EXPECT_EQ(getString(std::nullopt, std::nullopt, {}, buffer, 255, file), 0);
        EXPECT_EQ(readValue(file, "S", "k"), std::nullopt);
    }
}

TEST(Profile, WritesTouchOnlyTheirLine) {
    TestEnv env;
    const QString file = env.root() + "/a.ini";
    struct Case {
        const char* name;
        QByteArray before;
        OptText section, key, value;
        QByteArray after;
    } cases[] = {
        {"replace keeps the rest", "; c\n[A]\nx = 1 \n junk line\n[B]\nx=9\n", QString("a"),
         QString("x"), QString("2"), "; c\n[A]\nx=2\n junk line\n[B]\nx=9\n"},
        {"new key after last non-blank line", "[A]\nx=1\n; note\n\n\n[B]\ny=2\n", QString("A"),
         QString("z"), QString("3"), "[A]\nx=1\n; note\nz=3\n\n\n[B]\ny=2\n"},
        {"new key in the last section", "[A]\nx=1\n", QString("A"), QString("y"), QString("2"),
         "[A]\nx=1\ny=2\n"},
        {"new section appended", "[A]\nx=1\n", QString("B"), QString("k"), QString("v"),
         "[A]\nx=1\n[B]\nk=v\n"},
        {"CR LF kept", "[A]\r\nx=1\r\n", QString("A"), QString("y"), QString("2"),
         "[A]\r\nx=1\r\ny=2\r\n"},
        {"delete key", "[A]\nx=1\ny=2\n[B]\nx=3\n", QString("A"), QString("x"), std::nullopt,
         "[A]\ny=2\n[B]\nx=3\n"},
        {"delete missing key", "[A]\nx=1\n", QString("A"), QString("q"), std::nullopt,
         "[A]\nx=1\n"},
        {"delete section", "[A]\nx=1\n; a's\n[B]\ny=2\n[C]\n", QString("b"), std::nullopt,
         std::nullopt, "[A]\nx=1\n; a's\n[C]\n"},
        {"first of duplicate keys", "[A]\nk=1\nk=2\n", QString("A"), QString("k"), QString("3"),
         "[A]\nk=3\nk=2\n"},
    };
    for (const Case& c : cases) {
        TestEnv::writeFile(file, c.before);
        EXPECT_TRUE(writeString(c.section, c.key, c.value, file)) << c.name;
        EXPECT_EQ(TestEnv::readFile(file), c.after) << c.name;
    }
}

TEST(Profile, WriteCreatesFileAndRefusesUnusablePaths) {
    TestEnv env;
    const QString file = env.root() + "/new.ini";
    EXPECT_FALSE(writeString(QString("A"), QString("k"), std::nullopt, file));
    EXPECT_FALSE(writeString(QString("A"), std::nullopt, std::nullopt, file));
    EXPECT_FALSE(QFile::exists(file)) << "a delete must not create the file";

    ASSERT_TRUE(writeString(QString("A"), QString("k"), QString("v"), file));
    EXPECT_EQ(TestEnv::readFile(file), "[A]\r\nk=v\r\n"); // a new file gets CR LF
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    // A later write keeps the mode the file has.
    ::chmod(QFile::encodeName(file).constData(), 0600);
    ASSERT_TRUE(writeString(QString("A"), QString("k2"), QString("v"), file));
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    EXPECT_FALSE(writeString(QString("A"), QString("k"), QString("v"), env.root()));
    EXPECT_FALSE(writeString(QString("A"), QString("k"), QString("v"), env.root() + "/no/a.ini"));
    // No temporary file is left behind.
    EXPECT_EQ(QDir(env.root()).entryList(QDir::Files | QDir::Hidden), QStringList{"new.ini"});
}

TEST(Profile, GarbageAndHugeLinesAreSurvivable) {
    TestEnv env;
    const QString file = env.root() + "/a.ini";
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    const QByteArray huge = "k=" + QByteArray(1 << 20, 'h');
    TestEnv::writeFile(file, garbage + "\n[S]\n" + huge + "\n");
    EXPECT_EQ(value(file, "S", "k").size(), 254);
    EXPECT_EQ(readValue(file, "S", "k")->size(), 1 << 20);
    QString buffer;
    getString(std::nullopt, std::nullopt, {}, buffer, 255, file);

    ASSERT_TRUE(writeString(QString("S"), QString("n"), QString("1"), file));
    const QByteArray after = TestEnv::readFile(file);
    EXPECT_TRUE(after.startsWith(garbage.left(garbage.indexOf('\n'))));
    EXPECT_TRUE(after.contains(huge + "\nn=1\n"));
}

TEST(Profile, FailedWriteLeavesOldFile) {
    TestEnv env;
    const QString file = env.root() + "/a.ini";
    const QByteArray old = "[A]\nx=1\n";
    TestEnv::writeFile(file, old);
    {
        FileSizeLimit limit(4); // the new content cannot be written
        EXPECT_FALSE(writeString(QString("A"), QString("y"), QString("2"), file));
    }
    EXPECT_EQ(TestEnv::readFile(file), old);
    EXPECT_EQ(QDir(env.root()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.ini"});
}

TEST(Profile, ReadOnlyFolderRefusesWrite) {
    TestEnv env;
    const QString dir = env.mkdir("ro");
    const QString file = dir + "/a.ini";
    TestEnv::writeFile(file, "[A]\nx=1\n");
    ::chmod(QFile::encodeName(dir).constData(), 0555);
    vx::test::asOrdinaryUser(
        env, [&] { EXPECT_FALSE(writeString(QString("A"), QString("x"), QString("2"), file)); });
    ::chmod(QFile::encodeName(dir).constData(), 0755);
    EXPECT_EQ(TestEnv::readFile(file), "[A]\nx=1\n");
}

TEST(Profile, KeepsTheFilesEncodingAndWritesThroughLinks) {
    TestEnv env;
    const QString file = env.root() + "/company.ini";
    // Written by a Windows program: Windows-1252, not UTF-8.
    TestEnv::writeFile(file, "[Company]\r\nName=M\xfcller \x80 \x93Q\x94\r\n");
    EXPECT_EQ(value(file, "Company", "Name"), QStringLiteral("Müller € “Q”"));
    ASSERT_TRUE(writeString(QString("Company"), QString("City"), QStringLiteral("Köln"), file));
    EXPECT_EQ(TestEnv::readFile(file),
              "[Company]\r\nName=M\xfcller \x80 \x93Q\x94\r\nCity=K\xf6ln\r\n");
    // A UTF-8 file stays UTF-8.
    TestEnv::writeFile(file, "[Company]\nName=Müller\n");
    ASSERT_TRUE(writeString(QString("Company"), QString("City"), QStringLiteral("Köln"), file));
    EXPECT_EQ(TestEnv::readFile(file), "[Company]\nName=Müller\nCity=Köln\n");

    // A link to the file stays a link; the file it leads to gets the change.
    const QString link = env.root() + "/link.ini";
    ASSERT_TRUE(QFile::link(file, link));
    ASSERT_TRUE(writeString(QString("Company"), QString("City"), QStringLiteral("Bonn"), link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(value(file, "Company", "City"), "Bonn");
}

TEST(Profile, LineBreaksAreRefused) {
    TestEnv env;
    const QString file = env.root() + "/a.ini";
    const QByteArray before = "[A]\nx=1\n";
    TestEnv::writeFile(file, before);
    const struct {
        OptText section, key, value;
    } cases[] = {
        {QString("A"), QString("x"), QString("2\n[B]\ny=3")},
        {QString("A"), QString("x"), QString("2\r")},
        {QString("A"), QString("x\ny"), QString("2")},
        {QString("A\r\n[B"), QString("x"), QString("2")},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(writeString(c.section, c.key, c.value, file));
    EXPECT_EQ(TestEnv::readFile(file), before);
}
