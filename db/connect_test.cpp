// Start-up of the database layer on the embedded engine: settings, server check and its trace,
// database existence. (Its failures are the program's start-up tests, app/.)
#include "datapath/clsdatapath.h"
#include "datapath/network_check.h"
#include "db/connect.h"
#include "db/state.h"
#include "platform/paths.h"
#include "platform/scripted_messages.h"
#include "platform/settings.h"
#include "testsupport/test_env.h"
#include "util/ini_services.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace vx::db {
namespace {

class DbStartup : public ::testing::Test {
  protected:
    void SetUp() override {
        resetDbState();
        resetDataPath();
        resetSafeStubState();
        resetIni();
        data = env.mkdir(QStringLiteral("data"));
        gDataPath().setDataPath(data);
    }
    void TearDown() override { resetDbState(); }
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
        return QString::fromUtf8(test::TestEnv::readFile(traceFile()))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
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
    EXPECT_TRUE(trace().contains("Connect now sqlite: sa ****"));
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

} // namespace
} // namespace vx::db
