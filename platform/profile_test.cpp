#include "platform/profile.h"
#include "testsupport/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

using vx::profile::getString;
using vx::profile::OptText;
using vx::profile::readValue;
using vx::profile::writeString;
using vx::test::TestEnv;

namespace {

unsigned modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}

} // namespace

// getString copies a value, or a list of names each followed by a NUL, into a buffer of exactly
// `size` characters, NUL-filled behind the copied text.
TEST(Profile, ReadsWithProfileRules) {
    TestEnv env;
    const QString file = env.root() + "/a.ini";
    TestEnv::writeFile(file, "; suite settings\n[Database]\nServer = SHOPPC\\JOVSERVER  \n"
                             "server=second\nQuoted = \"  spaced  \"\nSingle='x'\n"
                             "Mismatch=\"abc'\nEmpty=\n  Indented Key  =  v  \nnot an entry\n"
                             "Name=M\xfcller \x80\n\n[Other]\nKey=other\n[Alpha]\none=1\ntwo=2\n"
                             "[Long]\nk=" +
                                 QByteArray(300, 'v') + "\n");
    const QString nul(1, QChar(0)), v254(254, u'v');
    // section, key, default, buffer size; characters copied and their text, NULs up to the size
    const std::tuple<OptText, OptText, QString, int, int, QString> cases[] = {
        {"DATABASE", "SERVER", "", 255, 16, "SHOPPC\\JOVSERVER"}, // any case, first, trimmed
        {"database", "quoted", "", 255, 10, "  spaced  "},        // quotes removed, inside kept
        {"Database", "Mismatch", "", 255, 5, "\"abc'"},           // quotes that do not match stay
        {"Database", "Empty", "dflt", 255, 0, ""}, // an empty value is no missing key
        {"Database", "Indented Key", "", 255, 1, "v"},
        {"Database", "Name", "", 255, 8, "Müller €"}, // not UTF-8: Windows-1252
        {"Other", "Server", "dflt", 255, 4, "dflt"},  // keys belong to their own section
        {"Missing", "Key", "dflt  ", 255, 4, "dflt"}, // trailing blanks of the default dropped
        {"Long", "k", "", 255, 254, v254},            // cut to size - 1
        {"Long", "x", QString(300, u'v'), 255, 254, v254},
        {"Long", "k", "", 1, 0, ""},
        {std::nullopt, std::nullopt, "", 255, 26,
         "Database" + nul + "Other" + nul + "Alpha" + nul + "Long" + nul},
        {std::nullopt, std::nullopt, "", 2, 0, ""},
        {"ALPHA", std::nullopt, "ignored", 255, 8, "one" + nul + "two" + nul},
        {"Alpha", std::nullopt, "", 9, 8, "one" + nul + "two" + nul}, // fits with its final NUL
        {"Alpha", std::nullopt, "", 8, 6, "one" + nul + "tw"},        // cut: size - 2
        {"Gamma", std::nullopt, "", 255, 0, ""}};
    for (const auto& [section, key, def, size, count, text] : cases) {
        SCOPED_TRACE((section.value_or("-") + "/" + key.value_or("-") + " " + QString::number(size))
                         .toStdString());
        QString buffer;
        EXPECT_EQ(getString(section, key, def, buffer, size, file), count);
        EXPECT_EQ(buffer, text + QString(size - count, QChar(0)));
    }
    // The whole value is there for readers without a buffer.
    EXPECT_EQ(readValue(file, "long", "K"), QString(300, u'v'));
    EXPECT_EQ(readValue(file, "Database", "Nope"), std::nullopt);
    // A missing file or a folder reads as an empty file.
    for (const QString& none : {env.root() + "/none.ini", env.root()}) {
        QString buffer;
        EXPECT_EQ(getString(std::nullopt, std::nullopt, {}, buffer, 255, none), 0);
        EXPECT_EQ(readValue(none, "Database", "Server"), std::nullopt);
    }
}

TEST(Profile, WritesTouchOnlyTheirLine) {
    TestEnv env;
    const QString file = env.root() + "/a.ini";
    // what the case shows, the file before, section, key, value, the file after
    const std::tuple<const char*, QByteArray, OptText, OptText, OptText, QByteArray> cases[] = {
        {"replace keeps the rest", "; c\n[A]\nx = 1 \n junk line\n[B]\nx=9\n", "a", "x", "2",
         "; c\n[A]\nx=2\n junk line\n[B]\nx=9\n"},
        {"new key after last non-blank line", "[A]\nx=1\n; note\n\n\n[B]\ny=2\n", "A", "z", "3",
         "[A]\nx=1\n; note\nz=3\n\n\n[B]\ny=2\n"},
        {"new key in the last section", "[A]\nx=1\n", "A", "y", "2", "[A]\nx=1\ny=2\n"},
        {"new section appended", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n"},
        {"CR LF kept", "[A]\r\nx=1\r\n", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
        {"delete key", "[A]\nx=1\ny=2\n[B]\nx=3\n", "A", "x", std::nullopt, "[A]\ny=2\n[B]\nx=3\n"},
        {"delete section", "[A]\nx=1\n; a's\n[B]\ny=2\n[C]\n", "b", std::nullopt, std::nullopt,
         "[A]\nx=1\n; a's\n[C]\n"},
        {"first of duplicate keys", "[A]\nk=1\nk=2\n", "A", "k", "3", "[A]\nk=3\nk=2\n"},
        {"Windows-1252 stays", "[C]\r\nN=M\xfcller \x93Q\x94\r\n", "C", "City", "Köln",
         "[C]\r\nN=M\xfcller \x93Q\x94\r\nCity=K\xf6ln\r\n"},
        {"UTF-8 stays", "[C]\nN=Müller\n", "C", "City", "Köln", "[C]\nN=Müller\nCity=Köln\n"}};
    for (const auto& [name, before, section, key, value, after] : cases) {
        TestEnv::writeFile(file, before);
        EXPECT_TRUE(writeString(section, key, value, file)) << name;
        EXPECT_EQ(TestEnv::readFile(file), after) << name;
    }
    // A link to the file stays a link; the file it leads to gets the change.
    const QString link = env.root() + "/link.ini";
    ASSERT_TRUE(QFile::link(file, link));
    ASSERT_TRUE(writeString(QString("C"), QString("City"), QString("Bonn"), link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readValue(file, "C", "City"), QString("Bonn"));
}

TEST(Profile, WriteCreatesFileAndRefusesUnusablePaths) {
    TestEnv env;
    const QString file = env.root() + "/new.ini";
    EXPECT_FALSE(writeString(QString("A"), QString("k"), std::nullopt, file));
    EXPECT_FALSE(writeString(QString("A"), std::nullopt, std::nullopt, file));
    EXPECT_FALSE(QFile::exists(file)) << "a delete must not create the file";

    ASSERT_TRUE(writeString(QString("A"), QString("k"), QString("v"), file));
    EXPECT_EQ(TestEnv::readFile(file), "[A]\r\nk=v\r\n"); // a new file gets CR LF
    EXPECT_EQ(modeOf(file), 0644u);
    // A later write keeps the mode the file has.
    ::chmod(QFile::encodeName(file).constData(), 0600);
    ASSERT_TRUE(writeString(QString("A"), QString("k2"), QString("v"), file));
    EXPECT_EQ(modeOf(file), 0600u);

    EXPECT_FALSE(writeString(QString("A"), QString("k"), QString("v"), env.root()));
    EXPECT_FALSE(writeString(QString("A"), QString("k"), QString("v"), env.root() + "/no/a.ini"));
}

// A write that cannot be done whole leaves the old file as it was, and no temporary file.
TEST(Profile, RefusedWritesLeaveTheOldFile) {
    TestEnv env;
    const QString dir = env.mkdir("ro");
    const QString file = dir + "/a.ini";
    const QByteArray old = "[A]\nx=1\n";
    TestEnv::writeFile(file, old);
    const auto write = [&](OptText section, OptText key, OptText value) {
        return writeString(section, key, value, file);
    };
    {
        vx::test::FileSizeLimit limit(4); // the new content cannot be written
        EXPECT_FALSE(write("A", "y", "2"));
    }
    // A line break anywhere would add lines to the file.
    EXPECT_FALSE(write("A", "x", "2\n[B]\ny=3"));
    EXPECT_FALSE(write("A\r\n[B", "x", "2"));
    ::chmod(QFile::encodeName(dir).constData(), 0555);
    vx::test::asOrdinaryUser(env, [&] { EXPECT_FALSE(write("A", "x", "2")); });
    ::chmod(QFile::encodeName(dir).constData(), 0755);
    EXPECT_EQ(TestEnv::readFile(file), old);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"a.ini"});
}
