#pragma once
// The ODBC backend: the store's SQL Server named as the suite writes it ("machine\instance",
// "machine", "machine,port"), reached through the FreeTDS driver, or any ODBC data source named
// "odbc:" + a DSN or a connection string.

#include "db/engine.h"

namespace vx::db {

// nullptr when the setting is neither form.
std::unique_ptr<Engine> makeOdbcEngine(const QString& serverSetting);

// The names of the ODBC data sources (DSNs) the driver manager knows, the user's and the
// system's, sorted, without duplicates.
QStringList odbcDataSources();

} // namespace vx::db
