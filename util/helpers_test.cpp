// The small helpers: field values and blanks in texts, the date forms, file existence, and the
// launcher of the suite's other programs.
#include "util/dates.h"
#include "util/files.h"
#include "util/launcher.h"
#include "util/text.h"

#include "testsupport/test_env.h"

#include <QFile>
#include <gtest/gtest.h>
#include <tuple>

using namespace vx;
using test::TestEnv;

TEST(Text, FieldValues) {
    const QString line = "START=03/01/2024|END=03/31/2024|STORE=  2  |TAX=Y";
    const std::tuple<QString, const char*, const char*, const char*> cases[] = {
        {line, "START=", "|", "03/01/2024"},
        {line, "TAX=", "|", "Y"},          // the value runs to the end of the text
        {line, "STORE=", "|", "  2"},      // leading blanks kept, trailing dropped
        {line, "EXPORT=", "|", ""},        // missing tag
        {"END=1|END=2", "END=", "|", "1"}, // first occurrence only
        {"/STATION=3 /DATAPATH=C:\\TK", "/DATAPATH=", " ", "C:\\TK"}};
    for (const auto& [text, keyword, terminator, expected] : cases)
        EXPECT_EQ(gsFieldValue(text, keyword, terminator), expected) << keyword;
    // Only spaces are blanks.
    for (const char* blanks : {" a", "a ", " "})
        EXPECT_TRUE(gvHasOuterBlanks(blanks)) << blanks;
    for (const char* none : {"a b", "", "\ta\t"})
        EXPECT_FALSE(gvHasOuterBlanks(none)) << none;
    EXPECT_EQ(trimBlanks("  a b \t "), "a b \t");
}

TEST(Dates, DisplayForms) {
    EXPECT_EQ(gsDisplayDate("20240307", "E"), "07/03/2024");
    EXPECT_EQ(gsDisplayDate("20240307", "e"), "03/07/2024"); // only "E" means day first
    EXPECT_EQ(gsDisplayDate("        ", "U"), QString(10, u' '));
}

TEST(Dates, StoredFormReformatsInTheLocaleThenTakesThePositions) {
    // locale, style, display text, stored form, the caller's display text afterwards
    const std::tuple<const char*, const char*, const char*, const char*, const char*> cases[] = {
        {"en_GB.UTF-8", "E", "7/3/24", "20240307", "07/03/2024"},
        {"C", "U", "3/7/2024", "20240307", "03/07/2024"},
        // Not a date (no 31 February): the one-digit part is padded by hand.
        {"en_GB.UTF-8", "E", "31/2/2024", "20240231", "31/02/2024"},
        {"en_US.UTF-8", "U", "2/31/2024", "20240231", "02/31/2024"},
        // Another separator: the characters are taken where they stand.
        {"de_DE.UTF-8", "E", "7.3.2024", "20240307", "07.03.2024"},
        {"en_GB.UTF-8", "E", "   ", "   ", "   "} // blank values come back as they are
    };
    for (const auto& [locale, style, shown, stored, rewritten] : cases) {
        SCOPED_TRACE(std::string(locale) + " " + style + " " + shown);
        TestEnv env;
        env.setEnv("LC_ALL", locale);
        QString display = shown;
        EXPECT_EQ(gsStoredDate(display, style), stored);
        EXPECT_EQ(display, rewritten);
    }
}

TEST(Files, ExistsOnlyForFiles) {
    TestEnv env;
    TestEnv::writeFile(env.home() + "/jovsafe/JOVREMOTE.MDF", "x");
    TestEnv::writeFile(env.root() + "/a.txt", "x");
    const std::pair<QString, bool> cases[] = {
        {env.root() + "/a.txt", true},
        {"c:\\jovsafe\\JOVREMOTE.MDF", true},  // written the Windows way
        {"C:\\jovsafe\\jovremote.mdf", false}, // names keep their case here
        {env.root() + "/*.txt", false},        // no wildcards
        {env.root(), false}};                  // a folder is no file
    for (const auto& [path, exists] : cases)
        EXPECT_EQ(gfbFileExists(path), exists) << path.toStdString();
}

// A switch is given only when its value sorts above a single blank; MAXSTATIONS has no blank
// after it, and the extra text goes last as it is unless it is blank.
TEST(SuiteCommandLine, Switches) {
    using S = SuiteProgramArgs;
    const std::pair<S, const char*> cases[] = {
        {{.app = " ", .tkSC = "\t1", .extra = "  "}, ""},
        {{.app = "  ", .network = " x"}, "/APP=   /NETWORK= x "},
        // every field in declaration order: folder, program, the switches, extra
        {{"", "", "a", "3", "sp", "C:\\TK", "d", "v", "t", "n", "9", " /X "},
         "/APP=a /STATION=3 /STATIONPATH=sp /DATAPATH=C:\\TK /APPDESC=d /APPVER=v /TKSC=t "
         "/NETWORK=n /MAXSTATIONS=9  /X "}};
    for (auto [args, switches] : cases) {
        args.folder = "/opt/jov";
        args.program = "JOVDataConfiguration";
        EXPECT_EQ(gsSuiteCommandLine(args), "/opt/jov/JOVDataConfiguration " + QString(switches));
    }
}

TEST(RunSuiteProgram, RunsAndWaits) {
    TestEnv env;
    const QString folder = env.mkdir("my programs");
    const QString script = folder + "/echoargs";
    TestEnv::writeFile(script,
                       "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.txt\"\n");
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    gpRunSuiteProgram({.folder = folder,
                       .program = "echoargs",
                       .station = "3",
                       .dataPath = "C:\\TK",
                       .extra = "it's \"quoted\""});
    // The program has ended when the launcher returns, and got its words unchanged.
    EXPECT_EQ(TestEnv::readFile(folder + "/args.txt"),
              QByteArray("/STATION=3\n/DATAPATH=C:\\TK\nit's\n\"quoted\"\n"));
    gpRunSuiteProgram({.folder = folder, .program = "missing"}); // returns without a word
}
