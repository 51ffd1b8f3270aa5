#pragma once
// What every prepared store needs besides its rows: the data path's INI files and the report's
// tables opened as start-up opens them. Shared by the sample store and the benchmark store.

#include "db/engine.h"

#include <QString>

namespace vx::sample {

// Makes the data path folder (absolute) and points a fresh run state and station settings at
// it; the absolute path, or empty with the reason in `error` when it cannot be made.
QString startStoreDataPath(const QString& dataPath, QString* error);

// Writes JOV.INI (the daily-report option) and WINREGS.INI (`company`, the heading's name) into
// the data path; the reason when a file cannot be written, else empty.
QString writeStoreIniFiles(const QString& dataPath, const QString& company);

// Creates the store's empty database `login.database` where `login.server` (a "Server" setting;
// "sqlite:" alone stands for `dataPath`) keeps its databases: the suite's programs never create
// one themselves. An existing one is an error unless `replace`, which drops it first. The reason
// when it fails, else empty; `location` names the database made (a file, or a database on a
// server, never with a password).
QString createStoreDatabase(const db::Login& login, const QString& dataPath, bool replace,
                            QString* location);

// Adds the company record of a prepared store: `name`, store `storeNumber`, dates in the
// locale's own style. False with the reason in `error` when the insert fails.
bool insertStoreCompany(const QString& name, int storeNumber, QString* error);

// Opens the report's table set from a fresh database layer; the reason when it fails, else empty.
QString openStoreTables();

} // namespace vx::sample
