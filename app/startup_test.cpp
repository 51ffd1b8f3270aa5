#include "app/startup.h"
#include "datapath/clsdatapath.h"
#include "platform/scripted_messages.h"
#include "platform/settings.h"
#include "runstate/runstate.h"
#include "testsupport/test_env.h"
#include "util/ini_services.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace vx {
namespace {

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetRunState();
        resetDataPath();
        resetIni();
        env.setEnv("LC_ALL", QStringLiteral("C"));
        dataPath = env.mkdir(QStringLiteral("data"));
        gDataPath().setDataPath(dataPath);
    }
    test::TestEnv env;
    QString dataPath;
};

TEST_F(StartupTest, CompanyNameComesFromWinregsAndAMissingFileIsNoError) {
    ScopedScriptedMessages boxes;
    gpReadCompanyInfo();
    EXPECT_TRUE(runState().gsCompanyName.isEmpty());
    test::TestEnv::writeFile(dataPath + "/WINREGS.INI", "[jovurm]\r\ncompany = Corner Shop \r\n");
    gpReadCompanyInfo();
    EXPECT_EQ(runState().gsCompanyName, QStringLiteral("Corner Shop"));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(StartupTest, DailyReportOption) {
    struct Case {
        QByteArray ini;
        bool shown;
    };
    const Case cases[] = {
        {"[DAILY REPORTS]\r\nShow Store Number for Store 1 on Reports=Yes\r\n", true},
        {"[daily reports]\r\nshow store number for store 1 on reports = Yes\r\n", true},
        {"[DAILY REPORTS]\r\nShow Store Number for Store 1 on Reports=yes\r\n", false},
        {"[DAILY REPORTS]\r\n", false},
    };
    for (const Case& c : cases) {
        test::TestEnv::writeFile(dataPath + "/JOV.INI", c.ini);
        runState().gbShowStore1Number = !c.shown;
        ScopedScriptedMessages boxes;
        gfsReadDailyReportOptions();
        EXPECT_EQ(runState().gbShowStore1Number, c.shown) << c.ini.constData();
        EXPECT_TRUE(boxes.boxes().isEmpty());
    }
}

// The executable itself, run as a scheduler would run it.
class ProgramRun : public ::testing::Test {
  protected:
    struct Result {
        int status;
        QString err;
    };
    Result run(const QStringList& args,
               const QString& program = test::binDir() + QStringLiteral("/vantrex-report")) {
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.remove(QStringLiteral("DISPLAY"));
        e.remove(QStringLiteral("WAYLAND_DISPLAY"));
        e.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        p.setProcessEnvironment(e);
        p.start(program, args);
        p.waitForFinished(60000);
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    }
    void store(const QString& key, const QString& value) {
        SaveSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"), key, value);
    }
    // A data path with an (empty) embedded database "JOV" configured.
    QString prepareStore() {
        const QString data = env.mkdir(QStringLiteral("data"));
        store(QStringLiteral("DATAPATH"), data);
        store(QStringLiteral("Server"), QStringLiteral("sqlite:"));
        store(QStringLiteral("DBName"), QStringLiteral("JOV"));
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(data + "/JOV.sqlite").constData(), &db);
        sqlite3_exec(db, "CREATE TABLE t (a INTEGER)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return data;
    }
    test::TestEnv env;
    const QStringList range{QStringLiteral("--batch"),
                            QStringLiteral("START=03/01/2024|END=03/31/2024")};
};

TEST_F(ProgramRun, EmptySettingsAskForADataPathAndEnd) {
    const Result r = run(range);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(
        QStringLiteral("Vantrex Report: A path to the JOV Data Files has not been defined\n\n"
                       "Do you want to define it now?\n-> No\n")))
        << r.err.toStdString();
}

TEST_F(ProgramRun, NetworkStationWithMissingPathReportsTheNetwork) {
    store(QStringLiteral("NETWORK"), QStringLiteral("True"));
    store(QStringLiteral("DATAPATH"), env.root() + QStringLiteral("/gone"));
    const Result r = run(range);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral(
        "Network Not Found: The network is currently down or is not set up properly. Please "
        "contact your network administrator for help.")))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("-> No")));
}

TEST_F(ProgramRun, ValidDataPathCopiesUpperAltAndReportsMissingJovIni) {
    const QString data = prepareStore();
    store(QStringLiteral("DATAPATH"), data + QStringLiteral("/"));
    test::TestEnv::writeFile(env.programDir() + "/upper.alt", "UPPER");
    test::TestEnv::writeFile(data + "/WINREGS.INI", "[JOVURM]\r\nCompany=Corner Shop\r\n");
    const Result r = run(range);
    EXPECT_EQ(r.status, 1) << "an empty store has nothing to show";
    EXPECT_EQ(test::TestEnv::readFile(data + "/upper.alt"), QByteArray("UPPER"));
    EXPECT_TRUE(r.err.contains(
        QStringLiteral("Error: Unable to open JOV Configuration Settings File, JOV.INI.\n")))
        << r.err.toStdString();
}

TEST_F(ProgramRun, AProgramFolderThatCannotBeMadeEndsStartUp) {
    test::TestEnv::writeFile(env.root() + "/plainfile", "x");
    env.setEnv("JOV_PROGRAM_DIR", env.root() + "/plainfile/program");
    const Result r = run(range);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.count(QStringLiteral("could not be created")), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(env.root() + "/plainfile/program")) << r.err.toStdString();
}

TEST_F(ProgramRun, BatchRunWithoutStartDateIsBadUsage) {
    const QString data = prepareStore();
    test::TestEnv::writeFile(data + "/JOV.INI", "[DAILY REPORTS]\r\n");
    const Result r = run({QStringLiteral("--batch"), QStringLiteral("END=03/31/2024")});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.contains(QStringLiteral("START="))) << r.err.toStdString();
}

TEST_F(ProgramRun, MissingDatabaseEndsStartUp) {
    const QString data = prepareStore();
    QFile::remove(data + "/JOV.sqlite");
    const Result r = run(range);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Vantrex Report: Database not found.\nIf you are "
                                              "trying to connect to an existing database")))
        << r.err.toStdString();
}

TEST_F(ProgramRun, AnUnreachableServerIsReportedOnceAndEndsStartUp) {
    prepareStore();
    store(QStringLiteral("Password"), QStringLiteral("s3cret"));
    const struct {
        QString server;
        QString says; // what the one message must name
    } cases[] = {
        {QStringLiteral("postgresql://localhost:1?host=") + env.root(), env.root()},
        {QStringLiteral("127.0.0.1,1"), QStringLiteral("127.0.0.1 refused the connection")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server.toStdString());
        store(QStringLiteral("Server"), c.server);
        const Result r = run(range);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.count(QStringLiteral("JOV MSDE: ")), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("Database"))) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("s3cret")));
    }
    EXPECT_FALSE(test::TestEnv::readFile(env.programDir() + "/52.txt").contains("s3cret"));
}

TEST_F(ProgramRun, BlankServerRunsTheConfigurationProgramFromWhereItIs) {
    const QString data = prepareStore();
    test::TestEnv::writeFile(data + "/JOV.INI", "[DAILY REPORTS]\r\n");
    // A copy of the program in a folder of its own has no configuration program beside it.
    const QString lonely = env.mkdir(QStringLiteral("lonely")) + "/vantrex-report";
    ASSERT_TRUE(QFile::copy(test::binDir() + "/vantrex-report", lonely));
    const struct {
        const char* name;
        bool inProgramFolder;
        QString program;
        int status;
    } cases[] = {
        {"in the program folder", true, lonely, 1},
        {"beside the program", false, test::binDir() + "/vantrex-report", 1},
        {"nowhere", false, lonely, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        store(QStringLiteral("Server"), QString());
        QFile::remove(env.programDir() + "/JOVDataConfiguration");
        if (c.inProgramFolder)
            QFile::link(test::binDir() + "/JOVDataConfiguration",
                        env.programDir() + "/JOVDataConfiguration");
        const Result r = run(range, c.program);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        const QString server = GetSetting(QStringLiteral("JOV Settings"),
                                          QStringLiteral("DATABASE"), QStringLiteral("Server"));
        if (c.status == 1) {
            EXPECT_EQ(server, QStringLiteral("sqlite:"));
            EXPECT_FALSE(r.err.contains(QStringLiteral("JOV MSDE"))) << r.err.toStdString();
            EXPECT_FALSE(r.err.contains(QStringLiteral("Database not found")));
        } else {
            EXPECT_TRUE(server.isEmpty());
            // Says what is missing and where it looked.
            EXPECT_TRUE(r.err.contains(QStringLiteral("JOVDataConfiguration")))
                << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(env.programDir())) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(env.root() + "/lonely")) << r.err.toStdString();
        }
    }
}

TEST_F(ProgramRun, DirectRunWritesThePdf) {
    const QString data = prepareStore();
    test::TestEnv::writeFile(data + "/JOV.INI", "[DAILY REPORTS]\r\n");
    test::TestEnv::writeFile(data + "/WINREGS.INI", "[JOVURM]\r\nCompany=Corner Shop\r\n");
    auto sql = [&](std::initializer_list<const char*> statements) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(data + "/JOV.sqlite").constData(), &db);
        for (const char* s : statements)
            EXPECT_EQ(sqlite3_exec(db, s, nullptr, nullptr, nullptr), SQLITE_OK) << s;
        sqlite3_close(db);
    };
    // The first start creates the shared tables, the second (with a company record) the store's.
    EXPECT_EQ(run(range).status, 1);
    sql({"INSERT INTO COMMON (DupID, StoreNumber, USEurope) VALUES('1', 1, 'A')",
         "INSERT INTO VENDOR (VendorID, VENDCODE, BUSINESS) VALUES(1, 'ACME', 'Acme Supply')"});
    EXPECT_EQ(run(range).status, 1);
    sql({"INSERT INTO invt1 (SL, ItemID, RecordNum, Price) VALUES('1', 'W1', 7, 3.5)",
         "INSERT INTO POHistory1 VALUES('20240305', 'P100', 7, 0, 4, 2.25, 1, 'ACME', 'R', 'N', "
         "'', '', 1, '20240301', '')"});

    const QString pdf = env.root() + "/out.pdf";
    const Result r = run({QStringLiteral("--pdf"), pdf, range.last()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(pdf));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.waitForFinished(30000);
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected :
         {"Corner Shop", "Purchase Orders Received", "03/01/2024 to 03/31/2024", "Acme Supply",
          "P100", "03/05/2024", "9.00", "14.00", "Final Total:"})
        EXPECT_TRUE(page.contains(QLatin1String(expected))) << expected << "\n"
                                                            << page.toStdString();
}

TEST_F(ProgramRun, UsageAndVersion) {
    EXPECT_EQ(run({QStringLiteral("--frobnicate")}).status, 3);
    EXPECT_EQ(run({QStringLiteral("--help")}).status, 0);
    EXPECT_EQ(run({QStringLiteral("--version")}).status, 0);
}

} // namespace
} // namespace vx
