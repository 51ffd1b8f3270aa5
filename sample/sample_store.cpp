#include "sample/sample_store.h"

#include "db/hooks.h"
#include "db/state.h"
#include "platform/err.h"
#include "platform/settings.h"
#include "platform/textfile.h"
#include "sample/sample_data.h"
#include "sample/sample_records.h"
#include "sample/store_setup.h"
#include "tables/dispatch.h"

#include <QDir>
#include <QFile>

namespace vx::sample {

namespace {

const QString kSettingsApp = QStringLiteral("JOV Settings");
const QString kSettingsSection = QStringLiteral("DATABASE");

bool failWith(SampleStoreResult& result, const QString& error) {
    result.error = error;
    return false;
}

// The suite's settings: the data path, the server and database, the login of a server.
bool saveSettings(const SampleStoreOptions& o, const QString& dataPath, SampleStoreResult& result) {
    const bool embedded =
        o.server.trimmed().startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive);
    const std::pair<const char*, QString> settings[] = {
        {"Server", o.server.trimmed()},
        {"DBName", o.database},
        {"DATAPATH", dataPath},
        {"UserName", embedded ? QString() : o.user},
        {"Password", embedded ? QString() : o.password},
    };
    for (const auto& [key, value] : settings) {
        if (value.isEmpty()) {
            DeleteSetting(kSettingsApp, kSettingsSection, QLatin1String(key));
        } else if (!SaveSetting(kSettingsApp, kSettingsSection, QLatin1String(key), value)) {
            return failWith(result, QStringLiteral("The settings cannot be written: ") +
                                        settingsFile(kSettingsApp));
        }
    }
    return true;
}

bool createDatabase(const SampleStoreOptions& o, const QString& dataPath,
                    SampleStoreResult& result) {
    const QString why = createStoreDatabase({o.server, o.database, o.user, o.password}, dataPath,
                                            o.replace, &result.location);
    return why.isEmpty() || failWith(result, why);
}

// JOV.INI with the daily-report option and WINREGS.INI with the company name of the heading.
bool writeIniFiles(const QString& dataPath, SampleStoreResult& result) {
    const QString why =
        sample::writeStoreIniFiles(dataPath, QStringLiteral("Adventure Works Cycles"));
    return why.isEmpty() || failWith(result, why);
}

// Opens the report's table set as start-up does, from a fresh database layer.
bool openTables(SampleStoreResult& result) {
    const QString why = sample::openStoreTables();
    return why.isEmpty() || failWith(result, why);
}

// Runs a statement of the open connection; false when there is none or it fails.
bool runStatement(const char* sql) {
    auto& connection = db::dbState().gcnDatabase;
    return connection && connection->execute(QLatin1String(sql)).has_value();
}

bool fillStore(const SampleData& data, const SampleStoreOptions& options,
               SampleStoreResult& result) {
    // The first opening creates the shared tables; the store's own tables follow once the
    // company record names the store.
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

    const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
    // One transaction: a thousand single-row commits would each wait for the disk.
    const bool inTransaction = runStatement("BEGIN TRANSACTION");
    const bool ok = insertSampleRecords(data, recentShiftDays(data, today), result);
    if (inTransaction && !runStatement(ok ? "COMMIT TRANSACTION" : "ROLLBACK TRANSACTION") && ok)
        return failWith(result, QStringLiteral("The sample cannot be saved: ") +
                                    db::dbState().gcnDatabase->lastError().description);
    return ok;
}

} // namespace

QString sampleDatabaseFile(const QString& dataPath) {
    return QDir(dataPath).filePath(QStringLiteral("JOV.sqlite"));
}

QString defaultSampleFolder(const QString& executablePath) {
    const QString path = QDir::cleanPath(executablePath);
    if (path.startsWith(QLatin1String("/usr/")))
        return QStringLiteral("/usr/share/vantrex-report/sample");
    return QStringLiteral(VANTREX_SAMPLE_DATA_DIR);
}

SampleStoreResult createSampleStore(const SampleStoreOptions& options) {
    SampleStoreResult result;
    QString why;
    const auto data = loadSampleData(options.sampleFolder, &why);
    if (!data) {
        result.error = QStringLiteral("The sample cannot be read: ") + why;
        return result;
    }
    const QString dataPath = startStoreDataPath(options.dataPath, &result.error);
    if (dataPath.isEmpty())
        return result;
    result.ok = createDatabase(options, dataPath, result) &&
                saveSettings(options, dataPath, result) && writeIniFiles(dataPath, result) &&
                fillStore(*data, options, result);

    // Closes the database: the report opens it next.
    db::setTableHooks(nullptr);
    db::resetDbState();
    return result;
}

} // namespace vx::sample
