#include "platform/profile.h"
#include "platform/settings.h"
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

const QString kApp = QStringLiteral("JOV Settings");

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
        {std::nullopt, std::nullopt, "", 255, 26,
         "Database" + nul + "Other" + nul + "Alpha" + nul + "Long" + nul},
        {"ALPHA", std::nullopt, "ignored", 9, 8, "one" + nul + "two" + nul}, // fits with final NUL
        {"Alpha", std::nullopt, "", 8, 6, "one" + nul + "tw"}};              // cut: size - 2
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
        {"new section appended", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n"},
        {"CR LF kept", "[A]\r\nx=1\r\n", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
        {"delete key", "[A]\nx=1\ny=2\n[B]\nx=3\n", "A", "x", std::nullopt, "[A]\ny=2\n[B]\nx=3\n"},
        {"delete section", "[A]\nx=1\n; a's\n[B]\ny=2\n[C]\n", "b", std::nullopt, std::nullopt,
         "[A]\nx=1\n; a's\n[C]\n"},
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

// A new file gets CR LF and mode 0644; a write that cannot be done whole leaves the old file as
// it was, and no temporary file; a later write keeps the mode the file has.
TEST(Profile, WritesCreateFilesAndRefuseUnusablePaths) {
    TestEnv env;
    const QString dir = env.mkdir("ro");
    const QString file = dir + "/a.ini";
    const auto write = [&](OptText section, OptText key, OptText value) {
        return writeString(section, key, value, file);
    };
    EXPECT_FALSE(write("A", "k", std::nullopt));
    EXPECT_FALSE(write("A", std::nullopt, std::nullopt));
    EXPECT_FALSE(QFile::exists(file)) << "a delete must not create the file";
    ASSERT_TRUE(write("A", "k", "v"));
    EXPECT_EQ(TestEnv::readFile(file), "[A]\r\nk=v\r\n");
    EXPECT_EQ(modeOf(file), 0644u);
    EXPECT_FALSE(writeString(QString("A"), QString("k"), QString("v"), env.root()));
    EXPECT_FALSE(writeString(QString("A"), QString("k"), QString("v"), env.root() + "/no/a.ini"));
    {
        vx::test::FileSizeLimit limit(4); // the new content cannot be written
        EXPECT_FALSE(write("A", "y", "2"));
    }
    // A line break anywhere would add lines to the file.
    EXPECT_FALSE(write("A", "k", "2\n[B]\ny=3"));
    EXPECT_FALSE(write("A\r\n[B", "k", "2"));
    ::chmod(QFile::encodeName(dir).constData(), 0555);
    vx::test::asOrdinaryUser(env, [&] { EXPECT_FALSE(write("A", "k", "2")); });
    ::chmod(QFile::encodeName(dir).constData(), 0755);
    EXPECT_EQ(TestEnv::readFile(file), "[A]\r\nk=v\r\n");
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"a.ini"});

    ::chmod(QFile::encodeName(file).constData(), 0600);
    ASSERT_TRUE(write("A", "k2", "v"));
    EXPECT_EQ(modeOf(file), 0600u);
}

// The settings file holds the database password: only its user may read it, even after another
// tool left it readable.
TEST(Settings, StoreIsPrivateToTheUserUnderTheConfigHome) {
    TestEnv env;
    ASSERT_TRUE(vx::SaveSetting(kApp, "DATABASE", "Password", "secret"));
    EXPECT_EQ(modeOf(vx::settingsFile(kApp)), 0600u);
    EXPECT_EQ(modeOf(env.configDir() + "/jov"), 0700u);
    ::chmod(QFile::encodeName(vx::settingsFile(kApp)).constData(), 0644);
    ASSERT_TRUE(vx::SaveSetting(kApp, "DATABASE", "Server", "sqlite:"));
    EXPECT_EQ(modeOf(vx::settingsFile(kApp)), 0600u);
    env.setEnv("XDG_CONFIG_HOME", env.root() + "/xdg");
    EXPECT_EQ(vx::settingsFile(kApp), env.root() + "/xdg/jov/JOV Settings.ini");
    env.setEnv("XDG_CONFIG_HOME", "relative/dir"); // ignored, as the XDG rules ask
    EXPECT_EQ(vx::settingsFile(kApp), env.configDir() + "/jov/JOV Settings.ini");
}

// Values come back exactly, though the profile file trims blanks and strips matching quotes.
TEST(Settings, ValuesSurviveARoundTrip) {
    TestEnv env;
    const QString values[] = {"  leading", "trailing  ", "\"quoted\"", "'single'", "", "a=b;c"};
    int i = 0;
    for (const QString& v : values) {
        const QString key = QString("K%1").arg(i++);
        ASSERT_TRUE(vx::SaveSetting(kApp, "DATABASE", key, v)) << v.toStdString();
        EXPECT_EQ(vx::GetSetting(kApp, "DATABASE", key, "dflt"), v) << v.toStdString();
    }
    vx::DeleteSetting(kApp, "database", "K0");
    EXPECT_EQ(vx::GetSetting(kApp, "DATABASE", "K0", "none"), "none");
    // A line break would end the line and let the rest become entries of its own.
    EXPECT_FALSE(vx::SaveSetting(kApp, "DATABASE", "K1", "a\r\n[X]\r\nk=v"));
    EXPECT_EQ(vx::GetSetting(kApp, "X", "k", "none"), "none");
}
