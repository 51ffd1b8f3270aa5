// The program itself, run with --pdf and --text on a prepared store of each engine: every report's
// pages compared whole (the PDF's text line by line), the export file byte for byte.
#include "app/testing/e2e_fixture.h"

namespace vx::report::test {
namespace {

// Each report's pages and the export file; a run that finds nothing says so and prints nothing.
TEST_P(EndToEnd, EveryReportPrintsItsPages) {
    struct Case {
        const char* name; // of the expected pages; none for an empty run
        const char* commandLine;
        int status = 0;
        const char* message = "";
        bool yes = false;
    };
    const Case cases[] = {
        {"received", "START=01/01/2024|END=01/31/2024"},
        {"two-pages", "START=03/01/2024|END=03/31/2024"},
        {"vat-detail", "START=01/01/2024|END=01/31/2024|TAX=Y"},
        {"vat-summary", "START=01/01/2024|END=01/31/2024|TAX=Y", 0, "", true},
        {"deleted", "START=01/01/2024|END=01/31/2024|DELETED=D"},
        {"export", "START=01/01/2024|END=01/31/2024|EXPORT=Y"},
        {"", "START=01/01/2020|END=01/31/2020", 1,
         "Vantrex Report Summary: No PO's found in selected Range. Please select a new range."},
        {"", "START=01/01/2020|END=01/31/2020|TAX=Y", 1, "Vantrex Report: No Matching PO's Found"},
        {"", "START=02/01/2024|END=02/28/2024|DELETED=D", 1, "Vantrex Report: Nothing to report"},
    };
    const QString folder = env_.mkdir(QStringLiteral("data/export"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const ProgramRun r = run(QString::fromLatin1(c.commandLine), c.yes);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << r.err.toStdString();
        expectPages(c.name, r);
        if (QLatin1String(c.name) == QLatin1String("export")) {
            EXPECT_EQ(env_.readFile(folder + "/Vantrex20240131.txt"),
                      QByteArray("V1|VP-200      |01/06/2024|3.00\r\n"
                                 "V1|150       |01/31/2024|1,234.50\r\n"
                                 "V2|100       |01/01/2024|5.50\r\n"
                                 "V2|100       |01/07/2024|.50\r\n"
                                 "V9|300       |01/08/2024|.00\r\n"));
        }
    }
    // What only one engine can show; a server that goes away comes last, as it spoils the store.
    if (GetParam() == dbtest::BackendKind::SQLite)
        return fullDisk(); // disks fill alike under every engine
    if (GetParam() == dbtest::BackendKind::PostgreSQL)
        readOnly();
    else
        asSqlServer();
    frozenServer();
    serverGone();
}

INSTANTIATE_TEST_SUITE_P(Engines, EndToEnd, ::testing::ValuesIn(dbtest::allBackends()),
                         dbtest::backendName);

} // namespace
} // namespace vx::report::test
