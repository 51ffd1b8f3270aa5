#include "sample/store_setup.h"

#include "db/state.h"
#include "platform/err.h"
#include "platform/textfile.h"
#include "tables/dispatch.h"

#include <QDir>
#include <QStringList>
#include <utility>

namespace vx::sample {

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

QString openStoreTables() {
    db::resetDbState();
    Err().Clear();
    if (!tables::gfbOpenReportTables())
        return QStringLiteral("The tables cannot be opened: ") + Err().Description;
    return QString();
}

} // namespace vx::sample
