// A small benchmark store made every way (multi-row statements, record manager; every engine)
// holds the same rows, whose counts and range are the ones reported, and prints the same document.
#include "bench/generate_store.h"
#include "datapath/clsdatapath.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "db/testing/backends.h"
#include "tables/dispatch.h"
#include "testsupport/scripted_messages.h"
#include "testsupport/test_env.h"

#include <QCoreApplication>
#include <algorithm>
#include <gtest/gtest.h>

namespace vx::bench {
namespace {

using namespace vx::tables;

// Drops the store's database on the test server when the test ends.
struct ServerDatabase {
    BenchStoreOptions o;
    ~ServerDatabase() {
        if (o.server.isEmpty())
            return;
        const auto connection = db::engineFor(o.server, QString())->connection();
        if (connection->open({o.server, QStringLiteral("postgres"), o.user, o.password}))
            connection->execute(
                QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(o.database));
    }
};

// The first line where two texts differ, if any.
void expectSame(const QStringList& a, const QStringList& b) {
    const auto [x, y] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    EXPECT_TRUE(x == a.end() && y == b.end())
        << "line " << (x - a.begin()) << ": " << (x == a.end() ? "" : x->toStdString());
}

TEST(BenchStore, ASmallStoreOpensAsTheReportOpensItAndPrintsAlikeEveryWay) {
    QStringList firstDump;
    QString firstPages;
    for (const auto& [mode, engine] : {std::pair{InsertMode::MultiRow, dbtest::BackendKind::SQLite},
                                       {InsertMode::RecordManager, dbtest::BackendKind::SQLite},
                                       {InsertMode::MultiRow, dbtest::BackendKind::PostgreSQL},
                                       {InsertMode::MultiRow, dbtest::BackendKind::ODBC}}) {
        SCOPED_TRACE(std::string(dbtest::backendLabel(engine)) +
                     (mode == InsertMode::MultiRow ? ", multi-row" : ", record manager"));
        const bool server = engine != dbtest::BackendKind::SQLite;
        if (server && qEnvironmentVariable("VANTREX_PG_SERVER").isEmpty())
            continue; // no test server here
        test::TestEnv env;
        ScopedScriptedMessages messages;
        BenchStoreOptions o{.dataPath = env.mkdir(QStringLiteral("data")),
                            .shape = {1500, 60, 8, 300, QDate(2024, 2, 1), QDate(2024, 2, 29), 11},
                            .insertMode = mode};
        ServerDatabase dropped;
        if (server) {
            o.server = dbtest::testServerSetting(engine);
            o.database = QStringLiteral("BenchTest%1").arg(QCoreApplication::applicationPid());
            o.user = qEnvironmentVariable("VANTREX_PG_USER");
            o.password = qEnvironmentVariable("VANTREX_PG_PASSWORD");
            dropped.o = o;
        }
        const BenchStoreResult r = createBenchStore(o);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(std::vector<std::int64_t>({r.rows, r.orders, r.items, r.vendors}),
                  std::vector<std::int64_t>({1500, 300, 60, 8}));
        EXPECT_TRUE(r.first == o.shape.first && r.last == o.shape.last);
        EXPECT_GT(r.deliveries, r.orders); // some orders come in two deliveries
        EXPECT_TRUE(r.unposted > 0 && r.missingItems > 0 && r.missingVendors > 0);
        EXPECT_FALSE(createBenchStore(o).ok); // an existing store is kept without --replace

        // The report's start-up: the tables open as they are, no upgrade, no message.
        resetDataPath();
        gDataPath().setDataPath(o.dataPath);
        db::resetDbState();
        ASSERT_TRUE(gfbOpenReportTables());
        ASSERT_TRUE(gfbOpenReportRecordsets());
        EXPECT_TRUE(messages.boxes().isEmpty()) << messages.texts().join(u'\n').toStdString();

        // The rows agree with the counts reported.
        const QString history = db::tableInfo(kPOHistory).TableName;
        for (const auto& [where, count] :
             {std::pair{QStringLiteral("(Status = 'R' OR Status = 'U') AND DateReceived >= "
                                       "'20240201' AND DateReceived <= '20240229'"),
                        r.rows},
              {"Status = 'U'", r.unposted},
              {"NOT EXISTS (SELECT 1 FROM " + db::tableInfo(kInventory).TableName +
                   " i WHERE i.RecordNum = h.InvUID)",
               r.missingItems},
              {"NOT EXISTS (SELECT 1 FROM VENDOR v WHERE v.VENDCODE = h.VendorCode)",
               r.missingVendors}})
            EXPECT_EQ(db::glDB_Count(kPOHistory, history + " h WHERE " + where), count)
                << where.toStdString();

        // Every way writes the same rows (CHAR padding is the engine's).
        QStringList dump;
        for (const auto& [table, order] : {std::pair{kCommon, "DupID"},
                                           {kVendors, "VendorID"},
                                           {kInventory, "RecordNum"},
                                           {kPOHeader, "PO"},
                                           {kPOLine, "PO, LineNum"},
                                           {kPOHistory, "UniqueID"}}) {
            const auto rs = db::dbState().gcnDatabase->openRecordset(
                QStringLiteral("SELECT * FROM %1 ORDER BY %2")
                    .arg(db::tableInfo(table).TableName, QLatin1String(order)));
            for (; rs && !rs->eof(); rs->moveNext()) {
                QStringList row;
                for (int i = 0; i < rs->fieldCount(); ++i)
                    row << rs->value(i).toString().trimmed();
                dump << row.join(u'|');
            }
        }
        EXPECT_EQ(dump.size(), 1 + 8 + 60 + 300 + r.lines + 1500);
        if (firstDump.isEmpty())
            firstDump = dump;
        expectSame(dump, firstDump);
        db::setTableHooks(nullptr);
        db::resetDbState();

        // The same rows make the same document, page for page, whether the look-ups read whole
        // tables (this store's range touches all its rows) or every key on its own.
        env.setEnv("LC_ALL", QStringLiteral("C"));
        const QString range = QStringLiteral("START=2/1/2024|END=2/29/2024");
        const QString pages = test::reportTextPages(range, env.root() + "/pages.txt");
        EXPECT_GT(pages.count(u'\f'), 3);
        if (firstPages.isEmpty())
            firstPages = pages;
        env.setEnv("VANTREX_LOOKUPS", QStringLiteral("keyed"));
        const QString keyed = test::reportTextPages(range, env.root() + "/keyed.txt");
        expectSame(keyed.split(u'\n'), pages.split(u'\n'));
        expectSame(pages.split(u'\n'), firstPages.split(u'\n'));
    }
}

} // namespace
} // namespace vx::bench
