#include "util/launcher.h"

#include "testsupport/test_env.h"

#include <QFile>
#include <gtest/gtest.h>
#include <vector>

using namespace vx;

namespace {

using Field = QString SuiteProgramArgs::*;
using S = SuiteProgramArgs;

S programIn(const QString& folder, const QString& program) {
    S a;
    a.folder = folder;
    a.program = program;
    return a;
}

} // namespace

TEST(SuiteCommandLine, Switches) {
    const QString path = "/opt/jov/JOVDataConfiguration ";
    const std::pair<std::vector<std::pair<Field, const char*>>, const char*> cases[] = {
        {{}, ""},
        {{{&S::station, "3"}, {&S::dataPath, "C:\\TK"}}, "/STATION=3 /DATAPATH=C:\\TK "},
        {{{&S::extra, "/X"},
          {&S::maxStations, "9"},
          {&S::network, "n"},
          {&S::tkSC, "t"},
          {&S::appVer, "v"},
          {&S::appDesc, "d"},
          {&S::stationPath, "sp"},
          {&S::app, "a"}},
         "/APP=a /STATIONPATH=sp /APPDESC=d /APPVER=v /TKSC=t /NETWORK=n /MAXSTATIONS=9 /X"},
        {{{&S::maxStations, "5"}, {&S::extra, " more "}}, "/MAXSTATIONS=5  more "},
        {{{&S::app, " "}}, ""},          // one blank is no value
        {{{&S::app, "  "}}, "/APP=   "}, // two blanks are
        {{{&S::network, " x"}}, "/NETWORK= x "},
        {{{&S::tkSC, "\t1"}}, ""} // below a blank in character order
    };
    for (const auto& [values, switches] : cases) {
        S a = programIn("/opt/jov", "JOVDataConfiguration");
        for (const auto& [field, value] : values)
            a.*field = value;
        EXPECT_EQ(gsSuiteCommandLine(a), path + switches) << switches;
    }
}

TEST(RunSuiteProgram, RunsAndWaits) {
    test::TestEnv env;
    const QString folder = env.mkdir("my programs");
    const QString script = folder + "/echoargs";
    test::TestEnv::writeFile(script,
                             "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.txt\"\n");
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    S a = programIn(folder, "echoargs");
    a.station = "3";
    a.dataPath = "C:\\TK";
    a.extra = "it's \"quoted\"";
    gpRunSuiteProgram(a);
    // The program has ended when the launcher returns, and got its words unchanged.
    EXPECT_EQ(test::TestEnv::readFile(folder + "/args.txt"),
              QByteArray("/STATION=3\n/DATAPATH=C:\\TK\nit's\n\"quoted\"\n"));

    gpRunSuiteProgram(programIn(folder, "missing")); // returns without a word
}
