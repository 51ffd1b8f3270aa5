#include "datapath/clsdatapath.h"

#include "datapath/testing/datapath_testing.h"
#include "platform/messages.h"

#include <vector>

namespace vx {
namespace {

const QString kSection = QStringLiteral("DATABASE");

class ClsDataPathTest : public test::DataPathTest {
  protected:
    ClsDataPathTest() { dp.setAppLabel(kJovSettings); }
    clsDataPath dp;
};

TEST_F(ClsDataPathTest, StationLabelFollowsOnlyCreationReadAndSave) {
    EXPECT_EQ(dp.StationLabel(), "Station 1 of 4");
    dp.setStation(QStringLiteral("3"));
    dp.setMaxStations(50);
    EXPECT_EQ(dp.StationLabel(), "Station 1 of 4");
    dp.Save();
    EXPECT_EQ(dp.StationLabel(), "Station 3 of 50");
    store("STATION", QStringLiteral("7"));
    dp.Read(true);
    EXPECT_EQ(dp.StationLabel(), "Station 7 of 50");
}

TEST_F(ClsDataPathTest, ReadWithoutDefaults) {
    struct Case {
        const char* network; // nullptr: key absent
        bool expected;
    };
    for (const Case& c : {Case{nullptr, false}, Case{"   ", false}, Case{"True", true},
                          Case{"False", false}, Case{"true", true}, Case{"-1", true}}) {
        SCOPED_TRACE(c.network ? c.network : "(absent)");
        DeleteSetting(kJovSettings, kSection, QStringLiteral("NETWORK"));
        if (c.network)
            store("NETWORK", QLatin1String(c.network));
        dp.setNetwork(!c.expected);
        dp.Read(true);
        EXPECT_EQ(dp.Network(), c.expected);
    }

    store("STATION", QStringLiteral("2"));
    store("DATAPATH", QStringLiteral("  C:\\TK  "));
    store("TESTDATA", QStringLiteral("Y"));
    dp.setStationPath(QStringLiteral("old"));
    dp.setDefaultStationPath(QStringLiteral("C:\\DEF"));
    dp.Read(true);
    EXPECT_EQ(dp.Station(), "2");
    EXPECT_EQ(dp.DataPath(), "C:\\TK");
    EXPECT_EQ(dp.StationPath(), ""); // no default stands in
    EXPECT_EQ(dp.TestPath(), "Y");
}

TEST_F(ClsDataPathTest, ReadWithDefaults) {
    dp.setDefaultNetwork(true);
    dp.setDefaultStation(QStringLiteral("3"));
    dp.setDefaultDataPath(QStringLiteral("C:\\TK "));
    dp.setDefaultStationPath(QStringLiteral("C:\\ST"));
    dp.setTestPath(QStringLiteral("Y"));
    store("TESTDATA", QString());
    dp.Read();
    EXPECT_TRUE(dp.Network());
    EXPECT_EQ(dp.Station(), "3");
    EXPECT_EQ(dp.DataPath(), "C:\\TK");
    EXPECT_EQ(dp.StationPath(), "C:\\ST");
    EXPECT_EQ(dp.TestPath(), "Y"); // TESTDATA is not read in this form

    store("NETWORK", QStringLiteral("False"));
    store("STATION", QStringLiteral("4"));
    dp.Read();
    EXPECT_FALSE(dp.Network());
    EXPECT_EQ(dp.Station(), "4");
}

TEST_F(ClsDataPathTest, SaveStoresSettingsAndIniDatapath) {
    const QString ini = env.home() + QStringLiteral("/TK/JOV.INI");
    test::TestEnv::writeFile(ini, "[MISCELLANEOUS]\r\nOther=1\r\n");
    gIni().File_Name(ini);
    ASSERT_TRUE(gIni().FileOpen());

    dp.setNetwork(true);
    dp.setStation(QStringLiteral("2"));
    dp.setStationPath(QStringLiteral("C:\\ST"));
    dp.setDataPath(QStringLiteral("C:\\TK"));
    dp.setTestPath(QStringLiteral("Y"));
    dp.Save();
    EXPECT_EQ(stored("NETWORK"), "True");
    EXPECT_EQ(stored("STATION"), "2");
    EXPECT_EQ(stored("STATIONPATH"), "C:\\ST");
    EXPECT_EQ(stored("DATAPATH"), "C:\\TK");
    EXPECT_EQ(stored("TESTDATA"), "Y");
    EXPECT_EQ(gIni().getvalue(QStringLiteral("MISCELLANEOUS"), QStringLiteral("Datapath")),
              "C:\\TK");
    EXPECT_EQ(gIni().getvalue(QStringLiteral("MISCELLANEOUS"), QStringLiteral("Other")), "1");

    dp.setNetwork(false);
    dp.setTestPath(QString());
    dp.Save();
    EXPECT_EQ(stored("NETWORK"), "False");
    EXPECT_EQ(stored("TESTDATA"), "");
    EXPECT_TRUE(msgs.boxes().isEmpty());
}

TEST_F(ClsDataPathTest, DeleteRemovesOnlyItsKeys) {
    dp.setDataPath(QStringLiteral("C:\\TK"));
    dp.setTestPath(QStringLiteral("Y"));
    dp.Save(); // no INI file is open: the settings alone are written
    EXPECT_EQ(stored("DATAPATH"), "C:\\TK");
    EXPECT_TRUE(msgs.boxes().isEmpty());
    store("Server", QStringLiteral("sqlite:"));
    dp.Delete();
    for (const char* key : {"NETWORK", "STATION", "STATIONPATH", "DATAPATH", "TESTDATA"})
        EXPECT_EQ(stored(key), "<none>") << key;
    EXPECT_EQ(stored("Server"), "sqlite:");
}

TEST_F(ClsDataPathTest, FileExistsTakesWindowsPathsAndOnlyFiles) {
    test::TestEnv::writeFile(env.home() + QStringLiteral("/TK/a.dat"), "x");
    EXPECT_TRUE(dp.gfb_FileExists(QStringLiteral("C:\\TK\\a.dat")));
    EXPECT_TRUE(dp.gfb_FileExists(env.home() + QStringLiteral("/TK/a.dat")));
    EXPECT_FALSE(dp.gfb_FileExists(QStringLiteral("C:\\TK")));
    EXPECT_FALSE(dp.gfb_FileExists(QStringLiteral("C:\\TK\\b.dat")));
    EXPECT_FALSE(dp.gfb_FileExists(QString()));
}

TEST_F(ClsDataPathTest, ChangeReportsOnlyStationAndPathChanges) {
    struct Case {
        const char* name;
        std::function<void(clsDataPath&)> edit;
        bool changed;
    };
    const std::vector<Case> cases = {
        {"nothing", [](clsDataPath&) {}, false},
        {"cancelled", [](clsDataPath& d) { d.setCancelled(true); }, false},
        {"network only", [](clsDataPath& d) { d.setNetwork(!d.Network()); }, false},
        {"station", [](clsDataPath& d) { d.setStation(QStringLiteral("2")); }, true},
        {"station path", [](clsDataPath& d) { d.setStationPath(QStringLiteral("C:\\S2")); }, true},
        {"data path case", [](clsDataPath& d) { d.setDataPath(QStringLiteral("c:\\tk")); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dp.setAppLabel(QStringLiteral("Other"));
        dp.setStation(QStringLiteral("1"));
        dp.setStationPath(QStringLiteral("C:\\TK"));
        dp.setDataPath(QStringLiteral("C:\\TK"));
        test::FakeDataPathDialog dialog(c.edit);
        EXPECT_EQ(dp.gfbJOV_DataPath_change(true), c.changed);
        EXPECT_EQ(dialog.shown, 1);
        EXPECT_TRUE(dialog.sawCreatePath);
        EXPECT_EQ(dp.AppLabel(), kJovSettings);
    }
}

TEST_F(ClsDataPathTest, ChangeWithoutDialogChangesNothing) {
    dp.setDataPath(QStringLiteral("C:\\TK"));
    EXPECT_FALSE(dp.gfbJOV_DataPath_change());
    EXPECT_EQ(dp.DataPath(), "C:\\TK");
    EXPECT_FALSE(dp.CreatePath());
}

TEST_F(ClsDataPathTest, DataPathReadReadsTheSharedObjectWithDefaults) {
    store("DATAPATH", QStringLiteral("C:\\TK"));
    gDataPath().setDefaultStation(QStringLiteral("2"));
    gpDataPathRead();
    EXPECT_EQ(gDataPath().AppLabel(), kJovSettings);
    EXPECT_EQ(gDataPath().DataPath(), "C:\\TK");
    EXPECT_EQ(gDataPath().Station(), "2");
}

} // namespace
} // namespace vx
