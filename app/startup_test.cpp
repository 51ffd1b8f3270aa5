// Start-up, mostly through the executable itself as a scheduler runs it: each step's failure ends
// the run with its own message before any later step could speak.
#include "platform/settings.h"
#include "testsupport/test_env.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace vx {
namespace {

class ProgramRun : public ::testing::Test {
  protected:
    // The exit status and what the run wrote to stderr.
    std::pair<int, QString> run(const QStringList& args,
                                const QString& program = test::binDir() + "/vantrex-report") {
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
    void sql(std::initializer_list<const char*> statements) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(data + "/JOV.sqlite").constData(), &db);
        for (const char* s : statements)
            EXPECT_EQ(sqlite3_exec(db, s, nullptr, nullptr, nullptr), SQLITE_OK) << s;
        sqlite3_close(db);
    }
    // A data path with an (empty) embedded database "JOV" configured.
    void prepareStore() {
        store(QStringLiteral("DATAPATH"), data);
        store(QStringLiteral("Server"), QStringLiteral("sqlite:"));
        store(QStringLiteral("DBName"), QStringLiteral("JOV"));
        sql({"CREATE TABLE t (a INTEGER)"});
    }
    test::TestEnv env;
    const QString data = env.mkdir(QStringLiteral("data"));
    const QString range = QStringLiteral("START=03/01/2024|END=03/31/2024");
};

// Each message once, in order; mending a step lets the run reach the next.
TEST_F(ProgramRun, StartUpStopsAtTheFirstStepThatFails) {
    auto expectRun = [&](int line, const QStringList& args, int status, const QStringList& says,
                         const QStringList& saysNot,
                         const QString& program = test::binDir() + "/vantrex-report") {
        SCOPED_TRACE(line);
        const auto [code, err] = run(args, program);
        EXPECT_EQ(code, status) << err.toStdString();
        for (qsizetype i = 0, at = 0; i < says.size(); at = err.indexOf(says[i++]))
            EXPECT_TRUE(err.count(says[i]) == 1 && err.indexOf(says[i]) >= at)
                << says[i].toStdString() << "\n"
                << err.toStdString();
        for (const QString& text : saysNot)
            EXPECT_FALSE(err.contains(text)) << text.toStdString() << "\n" << err.toStdString();
    };
    const QStringList ranged{"--batch", range}, undated{"--batch", "END=03/31/2024"};
    const QString question =
        QStringLiteral("Vantrex Report: A path to the JOV Data Files has not been defined\n\n"
                       "Do you want to define it now?\n-> No\n");
    const QString noJovIni =
        QStringLiteral("Error: Unable to open JOV Configuration Settings File, JOV.INI.\n");

    // 0. The program folder, before the data path is looked for.
    const QString blocked = env.root() + "/plainfile/program";
    test::TestEnv::writeFile(env.root() + "/plainfile", "x");
    env.setEnv("JOV_PROGRAM_DIR", blocked);
    expectRun(__LINE__, ranged, 2, {blocked, "could not be created"}, {question});
    env.setEnv("JOV_PROGRAM_DIR", env.programDir());
    // 2. The data path (no settings at all), before the start date is missed.
    expectRun(__LINE__, undated, 2, {question}, {"START="});
    // 4. The database, before the daily-report option and the start date.
    prepareStore();
    QFile::remove(data + "/JOV.sqlite");
    expectRun(__LINE__, undated, 2,
              {"Vantrex Report: Database not found.\nIf you are trying to connect to an existing "
               "database"},
              {noJovIni, "START="});
    store(QStringLiteral("Password"), QStringLiteral("s3cret"));
    store(QStringLiteral("Server"), QStringLiteral("127.0.0.1,1"));
    expectRun(__LINE__, ranged, 2, {"JOV MSDE: ", "127.0.0.1 refused the connection"},
              {"Database", "s3cret", noJovIni});
    EXPECT_FALSE(test::TestEnv::readFile(env.programDir() + "/52.txt").contains("s3cret"));
    // 5. No server set, and the program that sets one neither in the program folder nor beside.
    const QString lonely = env.mkdir(QStringLiteral("lonely"));
    ASSERT_TRUE(QFile::copy(test::binDir() + "/vantrex-report", lonely + "/vantrex-report"));
    store(QStringLiteral("Server"), QString());
    expectRun(__LINE__, ranged, 2,
              {"JOVDataConfiguration, is not in " + env.programDir() + " or " + lonely}, {noJovIni},
              lonely + "/vantrex-report");
    // 6 and 7. No daily-report option, no start date; the data path gets "upper.alt".
    store(QStringLiteral("Password"), QString());
    prepareStore();
    store(QStringLiteral("DATAPATH"), data + u'/');
    test::TestEnv::writeFile(env.programDir() + "/upper.alt", "UPPER");
    expectRun(__LINE__, undated, 3, {noJovIni, "Batch runs need \"START=\""}, {"WINREGS"});
    EXPECT_EQ(test::TestEnv::readFile(data + "/upper.alt"), QByteArray("UPPER"));
    // 8. The store the program set up itself has nothing to show; the program beside sets a server.
    store(QStringLiteral("Server"), QString());
    expectRun(__LINE__, ranged, 1, {noJovIni, "No PO's found in selected Range"},
              {"START=", "JOV MSDE", "could not be read"});
    EXPECT_EQ(GetSetting("JOV Settings", "DATABASE", "Server"), QStringLiteral("sqlite:"));
    // 9. With a company record the next run makes the store's tables, and what is put in them is
    // reported. The store-number option is on for an exact "Yes".
    test::TestEnv::writeFile(
        data + "/JOV.INI", "[daily reports]\r\nshow store number for store 1 on reports = Yes\r\n");
    test::TestEnv::writeFile(data + "/WINREGS.INI", "[JOVURM]\r\nCompany=Corner Shop\r\n");
    sql({"INSERT INTO COMMON (DupID, StoreNumber, USEurope) VALUES('1', 1, 'A')",
         "INSERT INTO VENDOR (VendorID, VENDCODE, BUSINESS) VALUES(1, 'ACME', 'Acme Supply')"});
    EXPECT_EQ(run(ranged).first, 1);
    sql({"INSERT INTO invt1 (SL, ItemID, RecordNum, Price) VALUES('1', 'W1', 7, 3.5)",
         "INSERT INTO POHistory1 VALUES('20240305', 'P100', 7, 0, 4, 2.25, 1, 'ACME', 'R', 'N', "
         "'', '', 1, '20240301', '')"});
    const QString text = env.root() + "/out.txt", pdf = env.root() + "/out.pdf";
    const auto [status, err] = run({"--pdf", pdf, "--text", text, range});
    ASSERT_EQ(status, 0) << err.toStdString();
    EXPECT_TRUE(err.contains(pdf)) << err.toStdString(); // where the document went
    const QString page = QString::fromUtf8(test::TestEnv::readFile(text));
    for (const char* expected :
         {"Corner Shop #1", "Acme Supply", "P100", "03/05/2024", "9.00", "14.00", "Final Total:"})
        EXPECT_TRUE(page.contains(QLatin1String(expected))) << expected << "\n"
                                                            << page.toStdString();
    EXPECT_EQ(run({"--frobnicate"}).first, 3);
    EXPECT_EQ(run({"--help"}).first, 0);
    EXPECT_EQ(run({"--version"}).first, 0);
}

} // namespace
} // namespace vx
