// vantrex-bench-store: creates a large store to time the report against.
#include "bench/generate_store.h"
#include "platform/messages.h"
#include "platform/regional.h"
#include "platform/terminal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

namespace {

const char kUsage[] =
    "Usage: vantrex-bench-store [options] DATAPATH\n"
    "\n"
    "Creates a large store in DATAPATH: its JOV.INI and WINREGS.INI, the suite's settings\n"
    "pointing at it, the report's tables, and vendors, items, purchase orders and a long\n"
    "receiving history whose rows fall in one date range.\n"
    "\n"
    "  --rows N          receiving-history rows (default 1000000)\n"
    "  --items N         inventory items (default 100000)\n"
    "  --vendors N       vendors (default 2000)\n"
    "  --orders N        purchase orders (default 50000)\n"
    "  --first DATE      first day of the receipts, YYYY-MM-DD (default: a year before --last)\n"
    "  --last DATE       last day of the receipts (default: yesterday)\n"
    "  --seed N          the random seed (default 1): the same seed makes the same store\n"
    "  --replace         replace an existing database of that name\n"
    "  --server S        sqlite: (default: DATAPATH/<database>.sqlite), sqlite:DIR,\n"
    "                    postgresql://host[:port] (also ?host=/socket/dir), a SQL Server\n"
    "                    (SHOPPC\\JOVSERVER, SHOPPC,1433) or odbc:<DSN or connection string>\n"
    "  --database D      the database name (default JOV)\n"
    "  --user U          the server login\n"
    "  --password P      its password; '-' reads it from the first line of standard input\n"
    "  --record-manager  insert one row at a time through the record manager (slow; to\n"
    "                    compare with the multi-row inserts used otherwise)\n"
    "\n"
    "The last line printed is the report's range: START=<first>|END=<last>.\n";

int usage(const QString& error) {
    if (!error.isEmpty())
        std::fprintf(stderr, "vantrex-bench-store: %s\n\n", qPrintable(error));
    std::fputs(kUsage, error.isEmpty() ? stdout : stderr);
    return error.isEmpty() ? 0 : 3;
}

template <class Int> bool parseCount(const QString& text, Int& out) {
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    out = static_cast<Int>(v);
    return ok && v >= 0;
}

bool parseDate(const QString& text, QDate& out) {
    out = QDate::fromString(text, Qt::ISODate);
    return out.isValid();
}

void printResult(const vx::bench::BenchStoreResult& r, double totalSeconds) {
    const QString first = vx::formatDate(r.first, QStringLiteral("Short Date"));
    const QString last = vx::formatDate(r.last, QStringLiteral("Short Date"));
    std::printf("Benchmark store created in %s\n"
                "  %lld vendors, %lld items, %lld purchase orders with %lld lines\n"
                "  %lld receiving-history rows (%lld R, %lld U) in %lld deliveries\n"
                "  %lld rows of items not on file, %lld rows of vendors not on file\n",
                qPrintable(r.location), static_cast<long long>(r.vendors),
                static_cast<long long>(r.items), static_cast<long long>(r.orders),
                static_cast<long long>(r.lines), static_cast<long long>(r.rows),
                static_cast<long long>(r.rows - r.unposted), static_cast<long long>(r.unposted),
                static_cast<long long>(r.deliveries), static_cast<long long>(r.missingItems),
                static_cast<long long>(r.missingVendors));
    std::printf("Times:\n");
    for (const auto& p : r.phases)
        std::printf("  %-20s %10lld rows %8.1f s\n", qPrintable(p.name),
                    static_cast<long long>(p.rows), p.seconds);
    std::printf("  %-20s %15s %8.1f s\n", "total", "", totalSeconds);
    std::printf("History rows are dated %s to %s\nSTART=%s|END=%s\n", qPrintable(first),
                qPrintable(last), qPrintable(first), qPrintable(last));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    vx::bench::BenchStoreOptions options;
    const QStringList args = app.arguments().mid(1);
    bool passwordFromInput = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        const QString value = hasValue ? args[i + 1] : QString();
        bool ok = true;
        if (a == QLatin1String("--help"))
            return usage({});
        if (a == QLatin1String("--replace")) {
            options.replace = true;
            continue;
        }
        if (a == QLatin1String("--record-manager")) {
            options.insertMode = vx::bench::InsertMode::RecordManager;
            continue;
        }
        if (a.startsWith(QLatin1String("--")) && !hasValue)
            return usage(a + QStringLiteral(" needs a value"));
        if (a == QLatin1String("--rows"))
            ok = parseCount(value, options.shape.rows);
        else if (a == QLatin1String("--items"))
            ok = parseCount(value, options.shape.items);
        else if (a == QLatin1String("--vendors"))
            ok = parseCount(value, options.shape.vendors);
        else if (a == QLatin1String("--orders"))
            ok = parseCount(value, options.shape.orders);
        else if (a == QLatin1String("--seed"))
            ok = parseCount(value, options.shape.seed);
        else if (a == QLatin1String("--first"))
            ok = parseDate(value, options.shape.first);
        else if (a == QLatin1String("--last"))
            ok = parseDate(value, options.shape.last);
        else if (a == QLatin1String("--server"))
            options.server = value;
        else if (a == QLatin1String("--database"))
            options.database = value;
        else if (a == QLatin1String("--user"))
            options.user = value;
        else if (a == QLatin1String("--password")) {
            passwordFromInput = value == QLatin1String("-");
            options.password = value;
        } else if (a.startsWith(QLatin1String("--")) || !options.dataPath.isEmpty())
            return usage(QStringLiteral("unexpected argument ") + a);
        else {
            options.dataPath = a;
            continue;
        }
        if (!ok)
            return usage(QStringLiteral("bad value for ") + a + QStringLiteral(": ") + value);
        ++i;
    }
    if (options.dataPath.isEmpty())
        return usage(QStringLiteral("the data path is missing"));
    if (passwordFromInput) {
        const auto password = vx::readSecretLine(stdin, stderr, QStringLiteral("Password: "));
        if (!password)
            return usage(QStringLiteral("no password on standard input"));
        options.password = *password;
    }
    options.progress = [](const QString& what) { std::fprintf(stderr, "%s\n", qPrintable(what)); };

    // Whatever the database layer has to say goes to standard error.
    vx::BatchMessageService messages;
    vx::setMessageService(&messages);
    QElapsedTimer timer;
    timer.start();
    const vx::bench::BenchStoreResult r = vx::bench::createBenchStore(options);
    vx::setMessageService(nullptr);
    if (!r.ok) {
        std::fprintf(stderr, "vantrex-bench-store: %s\n", qPrintable(r.error));
        return 1;
    }
    printResult(r, timer.elapsed() / 1000.0);
    return 0;
}
