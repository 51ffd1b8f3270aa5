// vantrex-sample-store: creates a store from the purchasing sample, to try the report with.
#include "platform/messages.h"
#include "platform/regional.h"
#include "platform/terminal.h"
#include "sample/sample_store.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

const char kUsage[] =
    "Usage: vantrex-sample-store [--replace] [--sample DIR] [--today YYYY-MM-DD]\n"
    "                            [--server S [--database D] [--user U] [--password P|-]]\n"
    "                            DATAPATH\n"
    "\n"
    "Creates the store's database (by default the embedded one, DATAPATH/JOV.sqlite), the\n"
    "data path's JOV.INI and WINREGS.INI, points the suite's settings at them and loads the\n"
    "purchasing sample: vendors, items, purchase orders and the receipts of completed orders,\n"
    "moved to recent dates.\n"
    "\n"
    "  --replace        replace an existing database of that name\n"
    "  --sample DIR     the folder of the sample's files (default: the bundled sample,\n"
    "                   /usr/share/vantrex-report/sample once installed)\n"
    "  --today DATE     receipts end shortly before this day (default: today)\n"
    "  --server S       where the database is made: sqlite: (default), sqlite:DIR,\n"
    "                   postgresql://host[:port][?host=/socket/dir], a SQL Server\n"
    "                   (SHOPPC\\JOVSERVER, SHOPPC,1433) or odbc:<DSN or connection string>\n"
    "  --database D     the database name (default JOV)\n"
    "  --user U         the server login\n"
    "  --password P     its password; '-' reads it from standard input\n"
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
    options.sampleFolder = vx::sample::defaultSampleFolder(QCoreApplication::applicationFilePath());
    const QStringList args = app.arguments().mid(1);
    bool passwordFromInput = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--help"))
            return usage(nullptr);
        if (a == QLatin1String("--replace")) {
            options.replace = true;
        } else if (a == QLatin1String("--sample") && hasValue) {
            options.sampleFolder = args[++i];
        } else if (a == QLatin1String("--server") && hasValue) {
            options.server = args[++i];
        } else if (a == QLatin1String("--database") && hasValue) {
            options.database = args[++i];
        } else if (a == QLatin1String("--user") && hasValue) {
            options.user = args[++i];
        } else if (a == QLatin1String("--password") && hasValue) {
            options.password = args[++i];
            passwordFromInput = options.password == QLatin1String("-");
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
    if (passwordFromInput) {
        const auto password = vx::readSecretLine(stdin, stderr, QStringLiteral("Password: "));
        if (!password)
            return usage("no password on standard input");
        options.password = *password;
    }

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
                qPrintable(r.location), r.vendors, r.items, r.orders, r.lines, r.receipts,
                qPrintable(first), qPrintable(last), qPrintable(first), qPrintable(last));
    return 0;
}
