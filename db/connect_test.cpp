// Start-up of the database layer on the embedded engine: settings, server check and its trace,
// database existence, the configuration program, local mode.
#include "datapath/clsdatapath.h"
#include "datapath/network_check.h"
#include "db/connect.h"
#include "db/state.h"
#include "platform/paths.h"
#include "platform/runtime.h"
#include "platform/scripted_messages.h"
#include "platform/settings.h"
#include "testsupport/test_env.h"
#include "util/ini_services.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace vx::db {
namespace {

struct ProgramEnded {
    int status;
};

class DbStartup : public ::testing::Test {
  protected:
    void SetUp() override {
        resetDbState();
        resetDataPath();
        resetSafeStubState();
        resetIni();
        data = env.mkdir(QStringLiteral("data"));
        gDataPath().setDataPath(data);
        setEndHandler([](int status) { throw ProgramEnded{status}; });
    }
    void TearDown() override {
        setEndHandler(nullptr);
        resetDbState();
    }
    void store(const QString& key, const QString& value) {
        SaveSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"), key, value);
    }
    static void createDatabase(const QString& file) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(file).constData(), &db);
        sqlite3_exec(db, "CREATE TABLE t (a INTEGER)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    QStringList trace() const {
        const QString text = QString::fromUtf8(test::TestEnv::readFile(traceFile()));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }

    test::TestEnv env;
    QString data;
    ScopedScriptedMessages boxes;
};

TEST_F(DbStartup, ServerCheckTracesEveryStepWithoutThePassword) {
    store(QStringLiteral("Server"), QStringLiteral("sqlite:"));
    store(QStringLiteral("DBName"), QStringLiteral("Shop"));
    store(QStringLiteral("Password"), QStringLiteral(" s3cret "));
    createDatabase(data + "/Shop.sqlite");

    EXPECT_TRUE(gfbDB_ServerCheck());
    EXPECT_EQ(dbState().gsDBUserName, QStringLiteral("sa"));
    EXPECT_EQ(dbState().gsDBPassword, QStringLiteral("s3cret"));
    EXPECT_EQ(trace(), QStringList({"Shop", "Servername = sqlite:", "set Server ", "Server set ",
                                    "Connect now sqlite: sa ****", "Server Status = 1",
                                    "Server Name = " + computerName(), "Time verified"}));
    EXPECT_FALSE(test::TestEnv::readFile(traceFile()).contains("s3cret"));
    EXPECT_TRUE(boxes.boxes().isEmpty());
    EXPECT_TRUE(gfbDB_DatabaseExists());
    dbState().gsDBName = QStringLiteral("  shop ");
    EXPECT_TRUE(gfbDB_DatabaseExists()) << "names compare ignoring case and blanks";
    // ...and the open then finds the database the check found.
    EXPECT_EQ(dbState().gsDBName, QStringLiteral("Shop"));
    QString name;
    gpDB_Connect(name);
    EXPECT_TRUE(dbState().gbDBConnected);
    // Where the exact name exists too, it is that one.
    createDatabase(data + "/shop.sqlite");
    dbState().gsDBName = QStringLiteral("shop");
    EXPECT_TRUE(gfbDB_DatabaseExists());
    EXPECT_EQ(dbState().gsDBName, QStringLiteral("shop"));
}

TEST_F(DbStartup, MissingDatabaseEndsTheProgram) {
    store(QStringLiteral("Server"), QStringLiteral("sqlite:"));
    store(QStringLiteral("DBName"), QStringLiteral("Shop"));
    dbState().gnDBTables = 6;
    try {
        gfbDB_Startup();
        FAIL() << "the program should have ended";
    } catch (const ProgramEnded& e) {
        EXPECT_EQ(e.status, 2);
    }
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].text,
              QStringLiteral("Database not found.\r\nIf you are trying to connect to an existing "
                             "database then run the Database Configuration.\r\nTo create a new "
                             "database or convert files from Pervasive run Tillmark"));
    EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(trace().last(), QStringLiteral("Database Create"));
    EXPECT_EQ(dbState().gDBTables.size(), 8u);
}

TEST_F(DbStartup, UnreachableServersAreReported) {
    const QString servers[] = {QStringLiteral("postgresql://localhost:1?host=") + env.root(),
                               QStringLiteral("SHOPPC\\JOVSERVER")};
    for (const QString& server : servers) {
        boxes.clear();
        store(QStringLiteral("Server"), server);
        EXPECT_FALSE(gfbDB_ServerCheck()) << server.toStdString();
        ASSERT_EQ(boxes.boxes().size(), 1);
        EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("JOV MSDE"));
        EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Critical);
    }
}

TEST_F(DbStartup, BlankServerRunsTheConfigurationProgram) {
    QFile::link(test::binDir() + "/JOVDataConfiguration",
                env.programDir() + "/JOVDataConfiguration");
    store(QStringLiteral("Server"), QStringLiteral("  "));
    store(QStringLiteral("DBName"), QStringLiteral(""));
    EXPECT_TRUE(gfbDB_ServerCheck());
    EXPECT_EQ(dbState().gsDBServer, QStringLiteral("sqlite:"));
    EXPECT_EQ(GetSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"),
                         QStringLiteral("DBName")),
              QStringLiteral("JOV"));
}

TEST_F(DbStartup, NoConfigurationProgramAndNoServerEndsTheProgram) {
    try {
        gfbDB_ServerCheck();
        FAIL() << "the program should have ended";
    } catch (const ProgramEnded& e) {
        EXPECT_EQ(e.status, 2);
    }
    // Says what it looked for and could not find.
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("JOVDataConfiguration")));
}

TEST_F(DbStartup, LocalModeUsesTheSafeCopy) {
    const QString safe = env.home() + "/jovsafe";
    QDir().mkpath(safe);
    test::TestEnv::writeFile(data + "/JOV.INI", "[DATABASE]\r\n");
    gIni().File_Name(data + "/JOV.INI");
    safeStubState().gbLocalMode = true;
    store(QStringLiteral("Server"), QStringLiteral("SHOPPC\\JOVSERVER"));
    store(QStringLiteral("DBName"), QStringLiteral("Shop"));

    EXPECT_FALSE(gfbDB_DatabaseExists());
    createDatabase(safe + "/JOVRemote.sqlite");
    EXPECT_TRUE(gfbDB_ServerCheck());
    EXPECT_EQ(dbState().gsDBName, QStringLiteral("JOVRemote"));
    EXPECT_EQ(dbState().gsDBServer, computerName() + QStringLiteral("\\JOVSERVER"));
    EXPECT_EQ(gIni().getvalue(QStringLiteral("DATABASE"), QStringLiteral("SERVERNAME")),
              dbState().gsDBServer);
    EXPECT_TRUE(gfbDB_DatabaseExists());
    QString name;
    gpDB_Connect(name);
    EXPECT_EQ(name, QStringLiteral("JOVRemote"));
    EXPECT_TRUE(dbState().gbDBConnected);
}

} // namespace
} // namespace vx::db
