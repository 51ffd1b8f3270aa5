// The benchmark store: its plan keeps the counts and the range whatever the shape, and a small
// store made both ways (multi-row statements, record manager) holds the same rows, which the
// report's table set opens and reads as it stands.
#include "bench/generate_store.h"
#include "datapath/clsdatapath.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "db/testing/backends.h"
#include "platform/scripted_messages.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/vendors.h"
#include "testsupport/test_env.h"

#include <QCoreApplication>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace vx::bench {
namespace {

using namespace vx::tables;

TEST(BenchPlan, EveryShapeKeepsItsCountsRangeAndDistinctLines) {
    const QDate jan1(2024, 1, 1);
    struct Case {
        const char* what;
        StoreShape shape;
        std::int64_t orders; // as planned
    };
    const Case cases[] = {
        {"typical", {5000, 800, 40, 250, jan1, QDate(2024, 12, 31), 3}, 250},
        {"one row per order", {300, 50, 5, 300, jan1, QDate(2024, 3, 1), 4}, 300},
        {"more orders than rows", {20, 50, 5, 90, jan1, QDate(2024, 3, 1), 5}, 20},
        {"one day", {400, 50, 5, 30, jan1, jan1, 6}, 30},
        {"fewer items than rows per order", {600, 3, 2, 4, jan1, QDate(2024, 1, 9), 7}, 4},
        {"one order", {50, 10, 1, 1, jan1, QDate(2024, 2, 1), 8}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const StorePlan plan = planStore(c.shape);
        ASSERT_EQ(static_cast<std::int64_t>(plan.orders.size()), c.orders);
        EXPECT_EQ(plan.orders.front().received, c.shape.first);
        EXPECT_EQ(plan.orders.back().received, c.orders > 1 ? c.shape.last : c.shape.first);

        // Every row of every order is delivered exactly once, in date order, in the range.
        std::vector<std::int64_t> delivered(plan.orders.size());
        QDate previous = c.shape.first;
        for (const Delivery& d : plan.deliveries) {
            EXPECT_EQ(d.firstRow, delivered[static_cast<size_t>(d.order)]);
            delivered[static_cast<size_t>(d.order)] += d.rowCount;
            EXPECT_GE(d.day, previous);
            EXPECT_LE(d.day, c.shape.last);
            previous = d.day;
        }
        std::int64_t rows = 0;
        for (size_t k = 0; k < plan.orders.size(); ++k) {
            const OrderPlan& o = plan.orders[k];
            EXPECT_GE(o.rows, 1);
            EXPECT_EQ(delivered[k], o.rows);
            rows += o.rows;
            // One line per item: the line table allows an item once per order.
            const std::vector<LinePlan> lines = orderLines(c.shape, o);
            std::set<std::int32_t> items;
            for (const LinePlan& l : lines) {
                items.insert(l.invUid);
                EXPECT_EQ(l.itemOnFile, l.invUid <= c.shape.items);
                EXPECT_GE(receivedQuantity(c.shape, o, o.rows - 1, l), 1.0f);
            }
            EXPECT_EQ(items.size(), lines.size());
            EXPECT_EQ(lines.size(), std::min<size_t>(o.rows, c.shape.items));
        }
        EXPECT_EQ(rows, c.shape.rows);
    }
}

// The rows of a table, in key order, as text.
QStringList tableRows(std::int16_t table, const char* orderBy) {
    QStringList out;
    const auto rs = db::dbState().gcnDatabase->openRecordset(
        QStringLiteral("SELECT * FROM %1 ORDER BY %2")
            .arg(db::tableInfo(table).TableName, QLatin1String(orderBy)));
    for (; rs && !rs->eof(); rs->moveNext()) {
        QStringList row;
        for (int i = 0; i < rs->fieldCount(); ++i)
            row << rs->value(i).toString().trimmed(); // CHAR padding is the engine's
        out << row.join(u'|');
    }
    return out;
}

long count(const QString& from) {
    return db::glDB_Count(kPOHistory, from);
}

// The database server of the tests, as scripts/pg-test-server.sh prints it; empty when none.
QString testServer() {
    return qEnvironmentVariable("VANTREX_PG_SERVER");
}

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

TEST(BenchStore, ASmallStoreOpensAsTheReportOpensItAndPrintsAlikeOnEveryEngine) {
    struct Case {
        const char* what;
        InsertMode mode;
        dbtest::BackendKind engine;
    };
    QStringList firstDump;
    QString firstPages;
    for (const Case& c :
         {Case{"SQLite, multi-row", InsertMode::MultiRow, dbtest::BackendKind::SQLite},
          Case{"SQLite, record manager", InsertMode::RecordManager, dbtest::BackendKind::SQLite},
          Case{"PostgreSQL, multi-row", InsertMode::MultiRow, dbtest::BackendKind::PostgreSQL},
          Case{"ODBC, multi-row", InsertMode::MultiRow, dbtest::BackendKind::ODBC}}) {
        SCOPED_TRACE(c.what);
        const bool server = c.engine != dbtest::BackendKind::SQLite;
        if (server && testServer().isEmpty())
            continue; // no test server here
        test::TestEnv env;
        ScopedScriptedMessages messages;
        BenchStoreOptions o;
        o.dataPath = env.mkdir(QStringLiteral("data"));
        o.shape = {1500, 60, 8, 300, QDate(2024, 2, 1), QDate(2024, 2, 29), 11};
        o.insertMode = c.mode;
        ServerDatabase dropped;
        if (server) {
            o.server = dbtest::testServerSetting(c.engine);
            o.database = QStringLiteral("BenchTest%1").arg(QCoreApplication::applicationPid());
            o.user = qEnvironmentVariable("VANTREX_PG_USER");
            o.password = qEnvironmentVariable("VANTREX_PG_PASSWORD");
            dropped.o = o;
        }
        const BenchStoreResult r = createBenchStore(o);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(std::vector<std::int64_t>({r.rows, r.orders, r.items, r.vendors}),
                  std::vector<std::int64_t>({1500, 300, 60, 8}));
        EXPECT_EQ(r.first, o.shape.first);
        EXPECT_EQ(r.last, o.shape.last);
        EXPECT_GT(r.deliveries, r.orders); // some orders come in two deliveries
        EXPECT_GT(r.unposted, 0);
        EXPECT_GT(r.missingItems, 0);
        EXPECT_GT(r.missingVendors, 0);
        EXPECT_FALSE(createBenchStore(o).ok); // an existing store is kept without --replace

        // The report's start-up: the tables open as they are, no upgrade, no message.
        resetDataPath();
        gDataPath().setDataPath(o.dataPath);
        db::resetDbState();
        ASSERT_TRUE(tables::gfbOpenReportTables());
        ASSERT_TRUE(tables::gfbOpenReportRecordsets());
        EXPECT_TRUE(messages.boxes().isEmpty()) << messages.texts().join(u'\n').toStdString();

        const QString history = db::tableInfo(kPOHistory).TableName;
        EXPECT_EQ(count(history + QStringLiteral(" WHERE (Status = 'R' OR Status = 'U') AND "
                                                 "DateReceived >= '20240201' AND "
                                                 "DateReceived <= '20240229'")),
                  1500);
        EXPECT_EQ(count(history + QStringLiteral(" WHERE Status = 'U'")), r.unposted);
        EXPECT_EQ(count(history + QStringLiteral(" h WHERE NOT EXISTS (SELECT 1 FROM ") +
                        db::tableInfo(kInventory).TableName +
                        QStringLiteral(" i WHERE i.RecordNum = h.InvUID)")),
                  r.missingItems);
        EXPECT_EQ(count(history + QStringLiteral(" h WHERE NOT EXISTS (SELECT 1 FROM VENDOR v "
                                                 "WHERE v.VENDCODE = h.VendorCode)")),
                  r.missingVendors);

        // Keyed reads of the record manager find what the summary looks up.
        vendor().VENDCODE = vendorCode(3);
        EXPECT_TRUE(db::gfbDB_Operation(kVendors, db::kOpEqual, 1));
        EXPECT_EQ(vendor().VendorID, 3);
        inventory().RecordNum = 7;
        EXPECT_TRUE(db::gfbDB_Operation(kInventory, db::kOpEqual, 0));
        EXPECT_EQ(inventory().Price, itemPrice(o.shape, 7));
        poHeader().PO = QStringLiteral("100001");
        EXPECT_TRUE(db::gfbDB_Operation(kPOHeader, db::kOpEqual, 0));
        EXPECT_EQ(poHeader().VendorPONum.trimmed(), QStringLiteral("VP100001"));

        QStringList dump;
        const std::pair<std::int16_t, const char*> tables[] = {
            {kCommon, "DupID"}, {kVendors, "VendorID"},   {kInventory, "RecordNum"},
            {kPOHeader, "PO"},  {kPOLine, "PO, LineNum"}, {kPOHistory, "UniqueID"},
        };
        for (const auto& [table, order] : tables)
            dump += tableRows(table, order);
        EXPECT_EQ(dump.size(), 1 + 8 + 60 + 300 + r.lines + 1500);
        if (firstDump.isEmpty())
            firstDump = dump;
        // Every way writes the same rows (the first difference, if any, is shown).
        const auto [mine, first] =
            std::mismatch(dump.begin(), dump.end(), firstDump.begin(), firstDump.end());
        EXPECT_TRUE(mine == dump.end() && first == firstDump.end())
            << (mine == dump.end() ? "(end)" : mine->toStdString()) << "\n"
            << (first == firstDump.end() ? "(end)" : first->toStdString());
        db::setTableHooks(nullptr);
        db::resetDbState();

        // The same rows make the same document on every engine, page for page.
        env.setEnv("LC_ALL", QStringLiteral("C"));
        const QString pages = test::reportTextPages(QStringLiteral("START=2/1/2024|END=2/29/2024"),
                                                    env.root() + QStringLiteral("/pages.txt"));
        EXPECT_GT(pages.count(u'\f'), 3);
        if (firstPages.isEmpty())
            firstPages = pages;
        // Whole tables read for the look-ups (this store's range touches all its rows) or every
        // key read on its own: the same document.
        env.setEnv("VANTREX_LOOKUPS", QStringLiteral("keyed"));
        EXPECT_EQ(test::reportTextPages(QStringLiteral("START=2/1/2024|END=2/29/2024"),
                                        env.root() + QStringLiteral("/keyed.txt")),
                  pages);
        const QStringList lines = pages.split(u'\n'), firstLines = firstPages.split(u'\n');
        const auto [line, firstLine] =
            std::mismatch(lines.begin(), lines.end(), firstLines.begin(), firstLines.end());
        EXPECT_TRUE(line == lines.end() && firstLine == firstLines.end())
            << "line " << (line - lines.begin()) << ":\n"
            << (line == lines.end() ? "(end)" : line->toStdString()) << "\n"
            << (firstLine == firstLines.end() ? "(end)" : firstLine->toStdString());
    }
}

} // namespace
} // namespace vx::bench
