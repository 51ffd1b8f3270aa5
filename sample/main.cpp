// vantrex-sample-store: creates a store from the purchasing sample, to try the report with.
#include "platform/messages.h"
#include "platform/regional.h"
#include "sample/sample_store.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

const char kUsage[] =
    "Usage: vantrex-sample-store [--replace] [--sample DIR] [--today YYYY-MM-DD] DATAPATH\n"
    "\n"
    "Creates the store's embedded database in DATAPATH (JOV.sqlite), its JOV.INI and\n"
    "WINREGS.INI, points the suite's settings at it and loads the purchasing sample: vendors,\n"
    "items, purchase orders and the receipts of completed orders, moved to recent dates.\n"
    "\n"
    "  --replace        replace an existing JOV.sqlite of DATAPATH\n"
    "  --sample DIR     the folder of the sample's files (default: the bundled sample)\n"
    "  --today DATE     receipts end shortly before this day (default: today)\n"
    "\n"
    "The last line printed is the report's range: START=<first>|END=<last>.\n";

int usage(const char* error) {
    if (error)
        std::fprintf(stderr, "vantrex-sample-store: %s\n\n", error);
    std::fputs(kUsage, error ? stderr : stdout);
    return error ? 3 : 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    vx::sample::SampleStoreOptions options;
    options.sampleFolder = QStringLiteral(VANTREX_SAMPLE_DATA_DIR);
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--help"))
            return usage(nullptr);
        if (a == QLatin1String("--replace")) {
            options.replace = true;
        } else if (a == QLatin1String("--sample") && hasValue) {
            options.sampleFolder = args[++i];
        } else if (a == QLatin1String("--today") && hasValue) {
            options.today = QDate::fromString(args[++i], Qt::ISODate);
            if (!options.today.isValid())
                return usage("--today needs a date written YYYY-MM-DD");
        } else if (a.startsWith(QLatin1String("--")) || !options.dataPath.isEmpty()) {
            return usage("unexpected argument");
        } else {
            options.dataPath = a;
        }
    }
    if (options.dataPath.isEmpty())
        return usage("the data path is missing");

    // Whatever the database layer has to say goes to standard error.
    vx::BatchMessageService messages;
    vx::setMessageService(&messages);
    const vx::sample::SampleStoreResult r = vx::sample::createSampleStore(options);
    vx::setMessageService(nullptr);
    if (!r.ok) {
        std::fprintf(stderr, "vantrex-sample-store: %s\n", r.error.toUtf8().constData());
        return 1;
    }

    const QString first = vx::formatDate(r.firstReceipt, QStringLiteral("Short Date"));
    const QString last = vx::formatDate(r.lastReceipt, QStringLiteral("Short Date"));
    std::printf("Sample store created in %s\n"
                "  %d vendors, %d items, %d purchase orders with %d lines, %d receipts\n"
                "Receipts are dated %s to %s\n"
                "START=%s|END=%s\n",
                qPrintable(vx::sample::sampleDatabaseFile(options.dataPath)), r.vendors, r.items,
                r.orders, r.lines, r.receipts, qPrintable(first), qPrintable(last),
                qPrintable(first), qPrintable(last));
    return 0;
}
