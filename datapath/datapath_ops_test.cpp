#include "datapath/datapath_ops.h"

#include "datapath/testing/datapath_testing.h"
#include "platform/messages.h"
#include "platform/paths.h"

#include <vector>

namespace vx {
namespace {

const QString kDefineQuestion =
    QStringLiteral("A path to the JOV Data Files has not been defined\r\rDo you want to define it "
                   "now?");
const QString kNetworkDown =
    QStringLiteral("The network is currently down or is not set up properly. Please contact your "
                   "network administrator for help.");
const QString kServerNotFound =
    QStringLiteral("Server not found. Check Server and Network Connections.\r\n Retry?");

using OpenerTest = test::DataPathTest;

TEST_F(OpenerTest, MaxStationsIsAtLeastFifty) {
    for (const auto& [given, expected] :
         std::vector<std::pair<int, int>>{{0, 50}, {10, 50}, {50, 50}, {51, 51}}) {
        SCOPED_TRACE(given);
        gfbJOV_DataPath_startup(true, given);
        EXPECT_EQ(gDataPath().MaxStations(), expected);
    }
}

TEST_F(OpenerTest, NoSettingsAsksAndNoEnds) {
    test::FakeDataPathDialog dialog;
    EXPECT_FALSE(gfbJOV_DataPath_startup(true, 0, QString(), false));
    ASSERT_EQ(msgs.boxes().size(), 1);
    const RecordedBox& box = msgs.boxes().front();
    EXPECT_EQ(box.text, kDefineQuestion);
    EXPECT_EQ(box.buttons, MsgButtons::YesNo);
    EXPECT_EQ(box.icon, MsgIcon::Question);
    EXPECT_EQ(box.title, productName());
    EXPECT_EQ(dialog.shown, 0);
    EXPECT_EQ(gDataPath().AppLabel(), kJovSettings);
}

TEST_F(OpenerTest, YesShowsTheDialog) {
    struct Case {
        const char* name;
        bool installDialog;
        const char* pathFromDialog;
        bool result;
    };
    for (const Case& c : {Case{"dialog sets a path", true, "C:\\TK", true},
                          Case{"dialog cancelled", true, nullptr, false},
                          Case{"no dialog", false, nullptr, false}}) {
        SCOPED_TRACE(c.name);
        resetDataPath();
        msgs.clear();
        msgs.answer(MsgAnswer::Yes);
        std::unique_ptr<test::FakeDataPathDialog> dialog;
        if (c.installDialog)
            dialog = std::make_unique<test::FakeDataPathDialog>([&](clsDataPath& d) {
                if (c.pathFromDialog)
                    d.setDataPath(QLatin1String(c.pathFromDialog));
                else
                    d.setCancelled(true);
            });
        EXPECT_EQ(gfbJOV_DataPath_startup(true), c.result);
        EXPECT_EQ(msgs.texts(), QStringList{kDefineQuestion});
        if (dialog) {
            EXPECT_EQ(dialog->shown, 1);
            EXPECT_TRUE(dialog->sawCreatePath);
            EXPECT_TRUE(dialog->sawStationNumberEnabled);
        }
    }
}

TEST_F(OpenerTest, NetworkStationWithoutPathIsTold) {
    for (const char* path : {"", "C:\\Gone"}) {
        SCOPED_TRACE(path);
        msgs.clear();
        store("NETWORK", QStringLiteral("True"));
        store("DATAPATH", QLatin1String(path));
        EXPECT_FALSE(gfbJOV_DataPath_startup(true));
        ASSERT_EQ(msgs.boxes().size(), 1);
        EXPECT_EQ(msgs.boxes().front().text, kNetworkDown);
        EXPECT_EQ(msgs.boxes().front().title, "Network Not Found");
        EXPECT_EQ(msgs.boxes().front().buttons, MsgButtons::Ok);
        EXPECT_EQ(gDataPath().DataPath(), "");
    }
}

TEST_F(OpenerTest, InvalidStoredPathIsDropped) {
    store("DATAPATH", QStringLiteral("C:\\Gone"));
    EXPECT_FALSE(gfbJOV_DataPath_startup(true));
    EXPECT_EQ(msgs.texts(), QStringList{kDefineQuestion}); // quiet validation: no message of it
    EXPECT_EQ(gDataPath().DataPath(), "");
}

TEST_F(OpenerTest, TrailingSeparatorDroppedOnce) {
    winDir(QStringLiteral("TK"));
    for (const auto& [storedPath, expected] :
         std::vector<std::pair<QString, QString>>{{"C:\\TK", "C:\\TK"},
                                                  {"C:\\TK\\", "C:\\TK"},
                                                  {"C:\\TK\\\\", "C:\\TK\\"},
                                                  {"C:/TK/", "C:/TK"},
                                                  {"  C:\\TK\\ ", "C:\\TK"}}) {
        SCOPED_TRACE(storedPath.toStdString());
        msgs.clear();
        store("DATAPATH", storedPath);
        EXPECT_TRUE(gfbJOV_DataPath_startup(true));
        EXPECT_EQ(gDataPath().DataPath(), expected);
        EXPECT_TRUE(msgs.boxes().isEmpty());
    }
}

TEST_F(OpenerTest, UpperAltCopiedOnlyWhenMissing) {
    struct Case {
        const char* name;
        const char* inProgram; // content, nullptr when absent
        const char* inData;
        const char* expected; // content in the data path afterwards, nullptr when absent
    };
    const QString target = homePath(QStringLiteral("TK/upper.alt"));
    const QString source = env.programDir() + QStringLiteral("/upper.alt");
    for (const Case& c :
         {Case{"copied", "program", nullptr, "program"}, Case{"kept", "program", "data", "data"},
          Case{"none to copy", nullptr, nullptr, nullptr}}) {
        SCOPED_TRACE(c.name);
        QFile::remove(target);
        QFile::remove(source);
        winDir(QStringLiteral("TK"));
        if (c.inProgram)
            test::TestEnv::writeFile(source, c.inProgram);
        if (c.inData)
            test::TestEnv::writeFile(target, c.inData);
        store("DATAPATH", QStringLiteral("C:\\TK\\"));
        EXPECT_TRUE(gfbJOV_DataPath_startup(true));
        EXPECT_EQ(QFile::exists(target), c.expected != nullptr);
        if (c.expected) {
            EXPECT_EQ(test::TestEnv::readFile(target), c.expected);
        }
    }
}

TEST_F(OpenerTest, StationCorrectionKeptAtStartup) {
    winDir(QStringLiteral("TK"));
    store("DATAPATH", QStringLiteral("C:\\TK"));
    store("STATION", QStringLiteral("60"));
    EXPECT_TRUE(gfbJOV_DataPath_startup(true, 0));
    EXPECT_EQ(gDataPath().Station(), "1");
    EXPECT_EQ(gDataPath().FieldKey(), "STATION");
}

TEST_F(OpenerTest, MarkerFolderRunsTheNetworkCheck) {
    winDir(QStringLiteral("jovsafe"));
    winDir(QStringLiteral("TK"));
    store("DATAPATH", QStringLiteral("C:\\TK"));
    EXPECT_TRUE(gfbJOV_DataPath_startup(true));
    EXPECT_TRUE(msgs.boxes().isEmpty());

    // The network folder is gone: the retry question, then, after No, the path is undefined.
    msgs.clear();
    store("DATAPATH", QStringLiteral("C:\\Server\\TK"));
    EXPECT_FALSE(gfbJOV_DataPath_startup(true));
    EXPECT_EQ(msgs.texts(), (QStringList{kServerNotFound, kDefineQuestion}));
}

TEST_F(OpenerTest, ObjectFormDifferences) {
    winDir(QStringLiteral("TK"));
    winDir(QStringLiteral("ST"));
    test::TestEnv::writeFile(env.programDir() + QStringLiteral("/upper.alt"), "program");
    store("DATAPATH", QStringLiteral("C:\\TK\\"));
    store("STATIONPATH", QStringLiteral("C:\\ST\\"));
    clsDataPath dp;

    // The station path is enabled but its station file is not looked for.
    EXPECT_TRUE(dp.gfbJOV_DataPath_open(true, 10, QString(), false));
    EXPECT_EQ(dp.StationPath(), "C:\\ST");
    EXPECT_EQ(dp.DataPath(), "C:\\TK");
    EXPECT_TRUE(dp.StationPathEnabled());
    EXPECT_TRUE(dp.SupressFileCheck());
    EXPECT_FALSE(dp.StationNumberEnabled());
    EXPECT_EQ(dp.MaxStations(), 50);
    EXPECT_EQ(dp.DefaultDataPath(), "C:\\TK");
    EXPECT_EQ(dp.DefaultStationPath(), "C:\\TK");
    EXPECT_FALSE(QFile::exists(homePath(QStringLiteral("TK/upper.alt"))));
    EXPECT_TRUE(msgs.boxes().isEmpty());

    EXPECT_TRUE(dp.gfbJOV_DataPath_open(false, 0, QStringLiteral("D:\\ALT"), true));
    EXPECT_EQ(dp.DefaultDataPath(), "D:\\ALT");
    EXPECT_TRUE(dp.StationNumberEnabled());
    EXPECT_FALSE(dp.SupressFileCheck());

    // Before the dialog only CreatePath is set.
    store("DATAPATH", QString());
    msgs.answer(MsgAnswer::Yes);
    test::FakeDataPathDialog dialog;
    EXPECT_FALSE(dp.gfbJOV_DataPath_open(false, 0, QString(), false));
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_TRUE(dialog.sawCreatePath);
    EXPECT_FALSE(dialog.sawStationNumberEnabled);
}

} // namespace
} // namespace vx
