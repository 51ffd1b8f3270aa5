#pragma once
// Creates a large store to time the report against: the suite's settings point at the data path
// and the chosen database engine, the data path gets its JOV.INI and WINREGS.INI, the report's
// tables are created through the table modules (so their layout is the suite's own), and the
// vendors, items, purchase orders and a long receiving history are written in bulk.

#include "bench/generate_bulk.h"
#include "bench/generate_plan.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vx::bench {

struct BenchStoreOptions {
    QString dataPath; // created when missing
    // "sqlite:" (the data path) or "sqlite:<folder>", or "postgresql://host[:port][?host=/dir]".
    QString server = QStringLiteral("sqlite:");
    QString database = QStringLiteral("JOV");
    QString user;         // the login of a database server
    QString password;     // never printed
    StoreShape shape;     // an invalid first/last: the year that ends yesterday
    bool replace = false; // an existing database of that name is replaced
    InsertMode insertMode = InsertMode::MultiRow;
    std::function<void(const QString&)> progress; // told what is being written (may be empty)
};

struct PhaseTime {
    QString name;
    std::int64_t rows = 0;
    double seconds = 0;
};

struct BenchStoreResult {
    bool ok = false;
    QString error;    // what went wrong when not ok
    QString location; // the database file, or the database on its server
    std::int64_t vendors = 0;
    std::int64_t items = 0;
    std::int64_t orders = 0;
    std::int64_t lines = 0;
    std::int64_t rows = 0;           // receiving-history rows
    std::int64_t unposted = 0;       // of them with status "U" (the rest "R")
    std::int64_t deliveries = 0;     // runs of consecutive rows of one order
    std::int64_t missingItems = 0;   // rows of items not on file
    std::int64_t missingVendors = 0; // rows of vendors not on file
    QDate first;                     // the receipts' first and last day
    QDate last;
    std::vector<PhaseTime> phases;
};

// Fills in the range (the year that ends the day before `today`) and checks the counts; the
// reason when they make no store.
std::optional<QString> completeShape(StoreShape& shape, const QDate& today);

bool isSqliteServer(const QString& server);

BenchStoreResult createBenchStore(const BenchStoreOptions& options);

} // namespace vx::bench
