#pragma once
// The database-server backend: a PostgreSQL server named by a "postgresql://host[:port]" address
// (with "?host=/socket/dir" for a local socket).

#include "db/engine.h"

namespace vx::db {

std::unique_ptr<Engine> makePostgresEngine(const QString& serverSetting);

} // namespace vx::db
