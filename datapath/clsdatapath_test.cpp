#include "datapath/clsdatapath.h"

#include "datapath/testing/datapath_testing.h"
#include "platform/messages.h"

#include <QFile>
#include <QFileInfo>

namespace vx {
namespace {

class ClsDataPathTest : public test::DataPathTest {
  protected:
    ClsDataPathTest() { dp.setAppLabel(kJovSettings); }
    clsDataPath dp;
};

TEST_F(ClsDataPathTest, ReadTakesStoredFlagsAndDefaults) {
    // NETWORK as stored (nullptr: absent), read with the defaults, the flag read
    const std::tuple<const char*, bool, bool> cases[] = {{nullptr, false, false},
                                                         {"true", false, true},
                                                         {"-1", false, true},
                                                         {nullptr, true, true},
                                                         {"False", true, false}};
    for (const auto& [network, withDefaults, expected] : cases) {
        DeleteSetting(kJovSettings, QStringLiteral("DATABASE"), QStringLiteral("NETWORK"));
        if (network)
            store("NETWORK", QLatin1String(network));
        dp.setDefaultNetwork(true);
        dp.setNetwork(!expected);
        dp.Read(!withDefaults);
        EXPECT_EQ(dp.Network(), expected) << (network ? network : "(absent)") << withDefaults;
    }
    // Station, station path, data path, training flag: without defaults missing keys read empty
    // and TESTDATA is read; with them, the defaults stand in and the training flag is left alone.
    const auto read = [](const clsDataPath& d) {
        return QStringList{d.Station(), d.StationPath(), d.DataPath(), d.TestPath()}.join(u'|');
    };
    store("DATAPATH", QStringLiteral("  C:\\TK  "));
    store("TESTDATA", QStringLiteral("Y"));
    dp.setDefaultStation(QStringLiteral("3"));
    dp.setDefaultStationPath(QStringLiteral("C:\\DEF"));
    dp.Read(true);
    EXPECT_EQ(read(dp), "||C:\\TK|Y");
    store("TESTDATA", QString());
    dp.Read();
    EXPECT_EQ(read(dp), "3|C:\\DEF|C:\\TK|Y");
    store("STATION", QStringLiteral("2"));
    gpDataPathRead(); // the shared object, with its defaults
    EXPECT_EQ(read(gDataPath()), "2||C:\\TK|");
}

// The dialog's accept walk checks the saved settings; here the station label, the ini, Delete.
TEST_F(ClsDataPathTest, SaveWritesTheIniTooAndDeleteRemovesOnlyItsKeys) {
    const QString ini = homePath(QStringLiteral("TK/JOV.INI"));
    test::TestEnv::writeFile(ini, "[MISCELLANEOUS]\r\nOther=1\r\n");
    gIni().File_Name(ini);
    ASSERT_TRUE(gIni().FileOpen());
    dp.setStation(QStringLiteral("3"));
    dp.setMaxStations(50);
    dp.setDataPath(QStringLiteral("C:\\TK"));
    EXPECT_TRUE(dp.Save());
    EXPECT_EQ(dp.StationLabel(), "Station 3 of 50");
    EXPECT_EQ(stored("NETWORK"), "False");
    EXPECT_EQ(gIni().getvalue("MISCELLANEOUS", "Datapath"), "C:\\TK");
    EXPECT_EQ(gIni().getvalue("MISCELLANEOUS", "Other"), "1");

    store("Server", QStringLiteral("sqlite:"));
    dp.Delete();
    for (const char* key : {"NETWORK", "STATION", "STATIONPATH", "DATAPATH", "TESTDATA"})
        EXPECT_EQ(stored(key), "<none>") << key;
    EXPECT_EQ(stored("Server"), "sqlite:");
}

#define BROWSE "\r\rUse the Browse method to find a valid path."

enum : unsigned { None, StationPathOn = 1, Supress = 2, Create = 4, AnswerNo = 8, AsUser = 16 };

// clang-format off
// existing: what is in the case's folder, folders end in "/"; then expected afterwards: the field
// key, the message (empty: valid) and the station.
const struct ValidateCase {
    const char *name, *station;
    unsigned options;
    const char *existing, *checkFile, *fieldKey, *message, *stationAfter;
} kValidateCases[] = {
    {"station above maximum corrected", "60abc", None, "TK/", "", "STATION", "", "1"},
    {"correction undone by a failure", "60", None, "", "", "DATAPATH",
     "Data Path Not Found." BROWSE, "60"},
    {"missing station path comes first", "2", StationPathOn, "", "", "STATIONPATH",
     "Station Path Not Found." BROWSE, "2"},
    {"station file missing", "2", StationPathOn, "ST/STA1.JOV TK/", "", "STATIONPATH",
     "Station 2 not in Station Path.\r\rSelect another Station or change the Station Path.", "2"},
    {"file of the corrected station", "60", StationPathOn, "ST/STA1.JOV TK/", "", "STATION", "",
     "1"},
    {"station file not looked for", "2", StationPathOn | Supress, "ST/ TK/", "", "", "", "2"},
    {"primary file missing", "2", None, "TK/OTHER.DAT", "JOVDATA.DAT", "DATAPATH",
     "Primary Data File Not Found.\r\rThere is no 'JOVDATA.DAT' file in the specified data path.",
     "2"},
    {"primary file by pattern", "2", None, "TK/jovdata.dat", "*.DAT", "", "", "2"},
    {"primary file not looked for", "2", Supress, "TK/", "JOVDATA.DAT", "", "", "2"},
};
// clang-format on

TEST_F(ClsDataPathTest, ValidateChecksStationPathsAndFiles) {
    int n = 0;
    for (const bool quiet : {false, true}) {
        for (const ValidateCase& c : kValidateCases) {
            SCOPED_TRACE(std::string(c.name) + (quiet ? " (quiet)" : ""));
            msgs.clear();
            const QString folder = QStringLiteral("case%1").arg(++n);
            for (const QString& item :
                 QString::fromLatin1(c.existing).split(u' ', Qt::SkipEmptyParts)) {
                if (item.endsWith(u'/'))
                    winDir(folder + u'/' + item);
                else
                    test::TestEnv::writeFile(homePath(folder + u'/' + item), "");
            }
            const QString stationPath = QStringLiteral("C:\\%1\\ST").arg(folder);
            const QString dataPath = QStringLiteral("C:\\%1\\TK").arg(folder);
            dp = clsDataPath();
            dp.setMaxStations(50);
            dp.setStation(QLatin1String(c.station));
            dp.setStationPathEnabled(c.options & StationPathOn);
            dp.setSupressFileCheck(c.options & Supress);
            dp.setStationPath(stationPath);
            dp.setDataPath(dataPath);
            dp.setCheckFile(QLatin1String(c.checkFile));

            const bool valid = *c.message == 0;
            EXPECT_EQ(dp.Validate(quiet), valid);
            EXPECT_EQ(dp.Valid(), valid);
            EXPECT_EQ(dp.FieldKey(), QLatin1String(c.fieldKey));
            EXPECT_EQ(dp.Station(), QLatin1String(c.stationAfter));
            if (valid || quiet) {
                EXPECT_TRUE(msgs.boxes().isEmpty());
            } else {
                ASSERT_EQ(msgs.boxes().size(), 1);
                EXPECT_EQ(msgs.boxes()[0].text, QLatin1String(c.message));
                EXPECT_EQ(msgs.boxes()[0].title, "Validation");
            }
        }
    }
}

TEST_F(ClsDataPathTest, MissingFoldersAreOfferedForCreationOthersAreRefused) {
    const QString ask = QStringLiteral("\rData Path Does Not Exist\rDo you want to create it?");
    const QString notFound = QStringLiteral("Data Path Not Found." BROWSE);
    const QString cannot = QStringLiteral("Unable To Create Path\r");
    test::TestEnv::writeFile(homePath(QStringLiteral("afile")), "not a folder");
    // Readable, not writable: the report could read the store but not write its files.
    QFile::setPermissions(env.mkdir(QStringLiteral("home/ReadOnly")),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                              QFileDevice::ExeOther);
    // clang-format off
    const struct {
        const char* path; // the folder checked, the Windows way
        unsigned options;
        const char* fieldKey; // "": valid
        QStringList texts;    // the boxes shown, each by its beginning
    } cases[] = {
        {"C:\\NewData\\", Create, "", {"C:\\NewData\\" + ask}},
        {"C:\\NewData", Create | AnswerNo, "DATAPATH", {"C:\\NewData" + ask, notFound}},
        {"C:\\No\\Such", Create, "DATAPATH", {"C:\\No\\Such" + ask, cannot, cannot, notFound}},
        {"TK", Create, "DATAPATH", {"Data Path Not Found.\r\r\"TK\" is not a full path"}},
        {"C:\\afile", Create, "DATAPATH", {"Data Path Not Found.\r\rC:\\afile is a file, not a folder."}},
        {"C:\\ReadOnly", Create | AsUser, "DATAPATH", {"Data Path cannot be used.\r\rYou may not read"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.options));
        msgs.clear();
        QDir(homePath(QStringLiteral("NewData"))).removeRecursively();
        dp = clsDataPath();
        dp.setCreatePath(c.options & Create);
        dp.setDataPath(QLatin1String(c.path));
        msgs.answer(c.options & AnswerNo ? MsgAnswer::No : MsgAnswer::Yes);
        bool valid = false;
        if (c.options & AsUser)
            test::asOrdinaryUser(env, [&] { valid = dp.Validate(false); });
        else
            valid = dp.Validate(false);
        EXPECT_EQ(valid, !*c.fieldKey);
        EXPECT_EQ(dp.FieldKey(), QLatin1String(c.fieldKey));
        EXPECT_EQ(QFileInfo(homePath(QStringLiteral("NewData"))).isDir(), valid);
        ASSERT_EQ(msgs.texts().size(), c.texts.size()) << msgs.texts().join(" / ").toStdString();
        for (qsizetype i = 0; i < c.texts.size(); ++i)
            EXPECT_TRUE(msgs.texts()[i].startsWith(c.texts[i])) << msgs.texts()[i].toStdString();
    }
}

// Each of station and data path alone is a change; the data path compares with its case.
TEST_F(ClsDataPathTest, ChangeReportsOnlyStationAndPathChanges) {
    const std::pair<std::function<void(clsDataPath&)>, bool> cases[] = {
        {[](clsDataPath&) {}, false},
        {[](clsDataPath& d) { d.setStation(QStringLiteral("2")); }, true},
        {[](clsDataPath& d) { d.setDataPath(QStringLiteral("c:\\tk")); }, true}};
    for (const auto& [edit, changed] : cases) {
        dp.setAppLabel(QStringLiteral("Other"));
        dp.setStation(QStringLiteral("1"));
        dp.setDataPath(QStringLiteral("C:\\TK"));
        test::FakeDataPathDialog dialog(edit);
        EXPECT_EQ(dp.gfbJOV_DataPath_change(true), changed);
        EXPECT_EQ(dialog.shown, 1);
        EXPECT_TRUE(dialog.sawCreatePath);
        EXPECT_EQ(dp.AppLabel(), kJovSettings);
    }
}

} // namespace
} // namespace vx
