#include "sample/store_setup.h"

#include "datapath/clsdatapath.h"
#include "db/operations.h"
#include "db/state.h"
#include "platform/err.h"
#include "platform/textfile.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/dispatch.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <sqlite3.h>
#include <utility>

namespace vx::sample {

QString startStoreDataPath(const QString& dataPath, QString* error) {
    const QString path = QDir(dataPath).absolutePath();
    if (!QDir().mkpath(path)) {
        *error = path + QStringLiteral(" cannot be created.");
        return {};
    }
    resetRunState();
    resetDataPath();
    gDataPath().setDataPath(path);
    return path;
}

QString writeStoreIniFiles(const QString& dataPath, const QString& company) {
    const std::pair<const char*, QStringList> files[] = {
        {"JOV.INI",
         {QStringLiteral("[DAILY REPORTS]"),
          QStringLiteral("Show Store Number for Store 1 on Reports=No")}},
        {"WINREGS.INI", {QStringLiteral("[JOVURM]"), QStringLiteral("Company=") + company}},
    };
    for (const auto& [name, lines] : files) {
        QString why;
        if (!writeLines(QDir(dataPath).filePath(QLatin1String(name)), lines, &why))
            return why;
    }
    return QString();
}

QString createEmptyDatabaseFile(const QString& file, bool replace) {
    if (QFile::exists(file)) {
        if (!replace)
            return file + QStringLiteral(" already exists (use --replace to replace it).");
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(file + QLatin1String(suffix));
        if (QFile::exists(file))
            return file + QStringLiteral(" cannot be removed.");
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const QString why = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    sqlite3_close(db);
    if (rc != SQLITE_OK || !QFile::exists(file))
        return file + QStringLiteral(" cannot be created: ") + why;
    return {};
}

bool insertStoreCompany(const QString& name, int storeNumber, QString* error) {
    tables::CommonRec& c = tables::common();
    c = tables::CommonRec{};
    c.DupID = QStringLiteral("1");
    c.Cname = name;
    c.StoreNumber = static_cast<std::int16_t>(storeNumber);
    c.USEurope = QStringLiteral(" ");
    // A SMALLINT column kept as text: its first character is written as it is, so it needs one.
    c.FullBackTime = QStringLiteral("0");
    Err().Clear();
    if (db::gfbDB_Operation(tables::kCommon, db::kOpInsert, 0))
        return true;
    if (error)
        *error = QStringLiteral("The company record cannot be added: ") + Err().Description;
    return false;
}

QString openStoreTables() {
    db::resetDbState();
    Err().Clear();
    if (!tables::gfbOpenReportTables())
        return QStringLiteral("The tables cannot be opened: ") + Err().Description;
    return QString();
}

} // namespace vx::sample
