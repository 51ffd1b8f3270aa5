#include "util/launcher.h"

#include "testsupport/test_env.h"

#include <QFile>
#include <gtest/gtest.h>
#include <vector>

namespace vx {
namespace {

using Field = QString SuiteProgramArgs::*;
using S = SuiteProgramArgs;

S programIn(const QString& folder, const QString& program) {
    S a;
    a.folder = folder;
    a.program = program;
    return a;
}

TEST(SuiteCommandLine, Switches) {
    const QString path = QStringLiteral("/opt/jov/JOVDataConfiguration ");
    const struct {
        std::vector<std::pair<Field, const char*>> values;
        const char* switches;
    } cases[] = {
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
        {{{&S::extra, "   "}}, ""},
        {{{&S::app, " "}}, ""},          // one blank is no value
        {{{&S::app, "  "}}, "/APP=   "}, // two blanks are
        {{{&S::network, " x"}}, "/NETWORK= x "},
        {{{&S::tkSC, "\t1"}}, ""}, // below a blank in character order
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.switches);
        S a = programIn(QStringLiteral("/opt/jov"), QStringLiteral("JOVDataConfiguration"));
        for (const auto& [field, value] : c.values)
            a.*field = QLatin1String(value);
        EXPECT_EQ(gsSuiteCommandLine(a), path + QLatin1String(c.switches));
    }
}

TEST(RunSuiteProgram, RunsAndWaits) {
    test::TestEnv env;
    const QString folder = env.mkdir(QStringLiteral("my programs"));
    const QString script = folder + QStringLiteral("/echoargs");
    test::TestEnv::writeFile(script,
                             "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.txt\"\n");
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    S a = programIn(folder, QStringLiteral("echoargs"));
    a.station = QStringLiteral("3");
    a.dataPath = QStringLiteral("C:\\TK");
    a.extra = QStringLiteral("it's \"quoted\"");
    gpRunSuiteProgram(a);
    // The program has ended when the launcher returns, and got its words unchanged.
    EXPECT_EQ(test::TestEnv::readFile(folder + QStringLiteral("/args.txt")),
              QByteArray("/STATION=3\n/DATAPATH=C:\\TK\nit's\n\"quoted\"\n"));

    gpRunSuiteProgram(programIn(folder, QStringLiteral("missing"))); // returns without a word
}

} // namespace
} // namespace vx
