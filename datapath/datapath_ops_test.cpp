#include "datapath/datapath_ops.h"

#include "datapath/testing/datapath_testing.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/runtime.h"

#include <QFile>
#include <vector>

namespace vx {
namespace {

const QString kDefine =
    QStringLiteral("A path to the JOV Data Files has not been defined\r\rDo you want to define it "
                   "now?");
const QString kNetworkDown =
    QStringLiteral("The network is currently down or is not set up properly. Please contact your "
                   "network administrator for help.");
const QString kRetry =
    QStringLiteral("Server not found. Check Server and Network Connections.\r\n Retry?");

class OpenerTest : public test::DataPathTest {
  protected:
    OpenerTest() {
        setBatchRetryPause([this](int ms) {
            pauses.push_back(ms);
            if (onPause)
                onPause();
        });
    }
    ~OpenerTest() override {
        setBatchRetryPause({});
        runtimeOptions() = saved_;
    }
    std::vector<int> pauses;
    std::function<void()> onPause;

  private:
    RuntimeOptions saved_ = runtimeOptions();
};

TEST_F(OpenerTest, AUsableStoredPathIsTakenAsStored) {
    winDir(QStringLiteral("TK"));
    const QString upperAlt = homePath(QStringLiteral("TK/upper.alt"));
    test::TestEnv::writeFile(env.programDir() + QStringLiteral("/upper.alt"), "program");
    // clang-format off
    // ownUpperAlt: the data path's own upper.alt, kept; nullptr: the program's is copied
    const struct {
        QString stored;
        int maxStations;
        const char* station;
        QString dataPath;
        int maxAfter;
        const char *stationAfter, *fieldKey, *ownUpperAlt;
    } cases[] = {
        {"C:\\TK", 0, "2", "C:\\TK", 50, "2", "", "data"},
        {"C:/TK/", 51, "", "C:/TK", 51, "", "", nullptr},
        {"  C:\\TK\\ ", 0, "60", "C:\\TK", 50, "1", "STATION", nullptr}, // the correction is kept
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        resetDataPath();
        QFile::remove(upperAlt);
        if (c.ownUpperAlt)
            test::TestEnv::writeFile(upperAlt, c.ownUpperAlt);
        store("DATAPATH", c.stored);
        store("STATION", QLatin1String(c.station));
        EXPECT_TRUE(gfbJOV_DataPath_startup(true, c.maxStations));
        EXPECT_EQ(gDataPath().DataPath(), c.dataPath);
        EXPECT_EQ(gDataPath().MaxStations(), c.maxAfter);
        EXPECT_EQ(gDataPath().Station(), QLatin1String(c.stationAfter));
        EXPECT_EQ(gDataPath().FieldKey(), QLatin1String(c.fieldKey));
        EXPECT_EQ(test::TestEnv::readFile(upperAlt), c.ownUpperAlt ? c.ownUpperAlt : "program");
        EXPECT_TRUE(msgs.boxes().isEmpty());
    }
}

TEST_F(OpenerTest, WithoutAUsablePathTheUserIsAskedOrTold) {
    winDir(QStringLiteral("TK"));
    const struct {
        const char *name, *network, *stored;
        bool jovsafe;
        std::vector<MsgAnswer> answers;
        int dialog; // 0: none installed, 1: sets a path, -1: cancelled
        bool result;
        QStringList texts;
    } cases[] = {
        {"nothing stored, No", "", "", false, {MsgAnswer::No}, -1, false, {kDefine}},
        {"dialog sets a path", "", "", false, {MsgAnswer::Yes}, 1, true, {kDefine}},
        {"dialog cancelled", "", "", false, {MsgAnswer::Yes}, -1, false, {kDefine}},
        {"gone, quietly dropped", "", "C:\\Gone", false, {}, 0, false, {kDefine}},
        {"network, nothing stored", "True", "", false, {}, 1, false, {kNetworkDown}},
        {"marker, server gone", "", "C:\\Server\\TK", true, {}, 0, false, {kRetry, kDefine}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetDataPath();
        msgs.clear();
        QDir(homePath(QStringLiteral("jovsafe"))).removeRecursively();
        if (c.jovsafe)
            winDir(QStringLiteral("jovsafe"));
        store("NETWORK", QLatin1String(c.network));
        store("DATAPATH", QLatin1String(c.stored));
        for (MsgAnswer a : c.answers)
            msgs.answer(a);
        std::optional<test::FakeDataPathDialog> dialog;
        if (c.dialog)
            dialog.emplace([set = c.dialog > 0](clsDataPath& d) {
                set ? d.setDataPath(QStringLiteral("C:\\TK")) : d.setCancelled(true);
            });
        EXPECT_EQ(gfbJOV_DataPath_startup(true), c.result);
        EXPECT_EQ(msgs.texts(), c.texts);
        EXPECT_EQ(gDataPath().DataPath(), c.result ? "C:\\TK" : "");
        if (dialog) {
            const bool asked = c.answers == std::vector{MsgAnswer::Yes};
            EXPECT_EQ(dialog->shown, asked ? 1 : 0);
            EXPECT_EQ(dialog->sawCreatePath, asked);
            EXPECT_EQ(dialog->sawStationNumberEnabled, asked);
        }
    }
}

// The object form: the station path is enabled with its file check off, the defaults follow
// the alternative path, no upper.alt is copied.
TEST_F(OpenerTest, ObjectFormDifferences) {
    winDir(QStringLiteral("TK"));
    winDir(QStringLiteral("ST"));
    test::TestEnv::writeFile(env.programDir() + QStringLiteral("/upper.alt"), "program");
    store("DATAPATH", QStringLiteral("C:\\TK\\"));
    store("STATIONPATH", QStringLiteral("C:\\ST\\"));
    for (const bool station : {true, false}) {
        clsDataPath dp;
        EXPECT_TRUE(dp.gfbJOV_DataPath_open(station, 10, station ? "" : "D:\\ALT", !station));
        EXPECT_EQ(dp.StationPath(), "C:\\ST");
        EXPECT_EQ(dp.SupressFileCheck(), station);
        EXPECT_EQ(dp.StationNumberEnabled(), !station);
        EXPECT_EQ(dp.DefaultDataPath(), station ? "C:\\TK" : "D:\\ALT");
    }
    EXPECT_FALSE(QFile::exists(homePath(QStringLiteral("TK/upper.alt"))));
}

TEST_F(OpenerTest, NetworkCheckAsksUntilTheFolderIsBackOrTheUserGivesUp) {
    // clang-format off
    // yes: "Yes" answers queued, the next question is answered No; backAtPause: the folder comes
    // back at the first pause; then the result, the questions, the pauses of 2 s, local mode.
    const struct {
        const char *name, *path;
        bool batch;
        int yes;
        bool backAtPause, result;
        int questions, pauses;
        bool localMode;
    } cases[] = {
        {"user gives up", "Server\\TK", false, 6, false, false, 7, 0, false},
        {"batch gives up", "Server\\TK", true, 6, false, false, 4, 3, false},
        {"batch finds it back", "Server\\TK", true, 6, true, true, 1, 1, false},
        {"safe copy missing", "jovsafe", false, 0, false, true, 0, 0, true},
        {"below the safe copy", "jovsafe\\sub", false, 0, false, false, 1, 0, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetSafeStubState();
        msgs.clear();
        pauses.clear();
        QDir(homePath(QStringLiteral("Server"))).removeRecursively();
        onPause = [&] {
            if (c.backAtPause)
                winDir(QStringLiteral("Server/TK"));
        };
        runtimeOptions().batch = c.batch;
        for (int i = 0; i < c.yes; ++i)
            msgs.answer(MsgAnswer::Yes);
        gDataPath().setDataPath(QStringLiteral("C:\\") + QLatin1String(c.path));
        EXPECT_EQ(gfbNetworkCheck(), c.result);
        EXPECT_EQ(msgs.texts(), QStringList(c.questions, kRetry));
        EXPECT_EQ(pauses, std::vector<int>(c.pauses, 2000));
        EXPECT_EQ(safeStubState().gbLocalMode, c.localMode);
    }
    // Local mode stays on: an unreachable path is no longer checked.
    gDataPath().setDataPath(QStringLiteral("C:\\jovsafe"));
    EXPECT_TRUE(gfbNetworkCheck());
    msgs.clear();
    gDataPath().setDataPath(QStringLiteral("C:\\Server\\TK"));
    EXPECT_TRUE(gfbNetworkCheck());
    EXPECT_TRUE(msgs.boxes().isEmpty());
}

} // namespace
} // namespace vx
