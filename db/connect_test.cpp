// Start-up of the database layer on SQLite (its failures are the start-up tests of app/).
#include "datapath/clsdatapath.h"
#include "datapath/network_check.h"
#include "db/connect.h"
#include "db/state.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "testsupport/scripted_messages.h"
#include "testsupport/test_env.h"
#include "util/ini_services.h"

#include <gtest/gtest.h>

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
    QStringList trace() const {
        return QString::fromUtf8(test::TestEnv::readFile(traceFile()))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    test::TestEnv env;
    QString data;
    ScopedScriptedMessages boxes;
};

TEST_F(DbStartup, ServerCheckTracesEveryStepWithoutThePassword) {
    for (const auto& [key, value] : {std::pair{"Server", "sqlite:"}, std::pair{"DBName", "Shop"},
                                     std::pair{"Password", " s3cret "}})
        SaveSetting("JOV Settings", "DATABASE", key, value);
    test::TestEnv::writeFile(data + "/Shop.sqlite", {}); // an empty database

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
    test::TestEnv::writeFile(data + "/shop.sqlite", {});
    dbState().gsDBName = QStringLiteral("shop");
    EXPECT_TRUE(gfbDB_DatabaseExists());
    EXPECT_EQ(dbState().gsDBName, QStringLiteral("shop"));
}

} // namespace
} // namespace vx::db
