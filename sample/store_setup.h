#pragma once
// What every prepared store needs besides its rows: the data path's INI files and the report's
// tables opened as start-up opens them. Shared by the sample store and the benchmark store.

#include <QString>

namespace vx::sample {

// Writes JOV.INI (the daily-report option) and WINREGS.INI (`company`, the heading's name) into
// the data path; the reason when a file cannot be written, else empty.
QString writeStoreIniFiles(const QString& dataPath, const QString& company);

// Creates the empty SQLite database `file` (the suite's programs never create one themselves);
// an existing one is an error unless `replace`, which removes it and its journal files first.
// The reason when it fails, else empty.
QString createEmptyDatabaseFile(const QString& file, bool replace);

// Opens the report's table set from a fresh database layer; the reason when it fails, else empty.
QString openStoreTables();

} // namespace vx::sample
