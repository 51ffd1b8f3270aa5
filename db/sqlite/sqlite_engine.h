#pragma once
// The embedded backend: every database is one SQLite file "<folder>/<name>.sqlite".

#include "db/engine.h"

namespace vx::db {

std::unique_ptr<Engine> makeSqliteEngine(const QString& folder);

} // namespace vx::db
