#include "bench/generate_store.h"

#include "bench/generate_load.h"
#include "datapath/clsdatapath.h"
#include "db/hooks.h"
#include "db/state.h"
#include "platform/err.h"
#include "platform/settings.h"
#include "platform/textfile.h"
#include "sample/store_setup.h"
#include "tables/dispatch.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

namespace vx::bench {

namespace {

const QString kSection = QStringLiteral("DATABASE");

bool failWith(BenchStoreResult& result, const QString& error) {
    result.error = error;
    return false;
}

// The suite's settings: the data path, the engine and the database, and the login of a server.
bool saveSettings(const BenchStoreOptions& o, const QString& dataPath, BenchStoreResult& result) {
    const bool server = !isSqliteServer(o.server);
    const std::pair<const char*, QString> settings[] = {
        {"Server", o.server},
        {"DBName", o.database},
        {"DATAPATH", dataPath},
        {"UserName", server ? o.user : QString()},
        {"Password", server ? o.password : QString()},
    };
    for (const auto& [key, value] : settings) {
        if (value.isEmpty()) {
            DeleteSetting(kJovSettings, kSection, QLatin1String(key));
        } else if (!SaveSetting(kJovSettings, kSection, QLatin1String(key), value)) {
            return failWith(result, QStringLiteral("The settings cannot be written: ") +
                                        settingsFile(kJovSettings));
        }
    }
    return true;
}

// The store's empty database: the programs of the suite never create one themselves.
bool createDatabase(const BenchStoreOptions& o, const QString& dataPath, BenchStoreResult& result) {
    const QString why = sample::createStoreDatabase({o.server, o.database, o.user, o.password},
                                                    dataPath, o.replace, &result.location);
    return why.isEmpty() || failWith(result, why);
}

// JOV.INI with the daily-report option, WINREGS.INI with the company name of the heading, and
// the "export" folder a store's data path has (the report writes its export file there but does
// not create the folder).
bool writeDataPathFiles(const QString& dataPath, BenchStoreResult& result) {
    if (!QDir(dataPath).mkpath(QStringLiteral("export")))
        return failWith(result, dataPath + QStringLiteral("/export cannot be created."));
    const QString why =
        sample::writeStoreIniFiles(dataPath, QStringLiteral("Vantrex Benchmark Store"));
    return why.isEmpty() || failWith(result, why);
}

// Opens the report's table set as start-up does, from a fresh database layer.
bool openTables(BenchStoreResult& result) {
    const QString why = sample::openStoreTables();
    return why.isEmpty() || failWith(result, why);
}

bool fillStore(const BenchStoreOptions& options, BenchStoreResult& result) {
    // The first opening creates the shared tables; the store's own tables follow once the
    // company record names the store.
    QElapsedTimer timer;
    timer.start();
    if (!openTables(result))
        return false;
    QString why;
    if (!insertCompany(&why))
        return failWith(result, why);
    if (!openTables(result))
        return false;
    if (!tables::gfbOpenReportRecordsets())
        return failWith(result,
                        QStringLiteral("The tables cannot be opened: ") + Err().Description);
    result.phases.push_back({QStringLiteral("tables and company"), 1, timer.elapsed() / 1000.0});

    timer.restart();
    const StorePlan plan = planStore(options.shape);
    result.phases.push_back({QStringLiteral("plan"), static_cast<std::int64_t>(plan.orders.size()),
                             timer.elapsed() / 1000.0});
    return loadStore(options, plan, result);
}

} // namespace

bool isSqliteServer(const QString& server) {
    return server.trimmed().startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive);
}

std::optional<QString> completeShape(StoreShape& shape, const QDate& today) {
    if (!shape.last.isValid())
        shape.last = today.addDays(-1);
    if (!shape.first.isValid())
        shape.first = shape.last.addYears(-1).addDays(1);
    if (shape.first > shape.last)
        return QStringLiteral("the range ends before it starts");
    if (shape.rows < 1 || shape.rows > 100'000'000)
        return QStringLiteral("the rows must be 1 to 100000000");
    if (shape.items < 1 || shape.items > 10'000'000)
        return QStringLiteral("the items must be 1 to 10000000");
    if (shape.vendors < 1 || shape.vendors > 999'999)
        return QStringLiteral("the vendors must be 1 to 999999");
    if (shape.orders < 1 || shape.orders > 9'000'000)
        return QStringLiteral("the orders must be 1 to 9000000");
    return std::nullopt;
}

BenchStoreResult createBenchStore(const BenchStoreOptions& given) {
    BenchStoreResult result;
    BenchStoreOptions options = given;
    if (const auto problem = completeShape(options.shape, QDate::currentDate())) {
        result.error = QStringLiteral("The store cannot be made: ") + *problem + u'.';
        return result;
    }
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!plainName.match(options.database).hasMatch()) {
        result.error = QStringLiteral("The database name must be letters, digits and '_'.");
        return result;
    }
    const QString dataPath = sample::startStoreDataPath(options.dataPath, &result.error);
    if (dataPath.isEmpty())
        return result;
    result.ok = createDatabase(options, dataPath, result) &&
                saveSettings(options, dataPath, result) && writeDataPathFiles(dataPath, result) &&
                fillStore(options, result);

    // Closes the database: the report opens it next.
    db::setTableHooks(nullptr);
    db::resetDbState();
    return result;
}

} // namespace vx::bench
