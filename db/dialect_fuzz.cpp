// Fuzz target: the translator from the suite's SQL dialect into each engine's.
#include "db/dialect.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString sql = vx::fuzz::text(data, size);
    for (const auto dialect : {vx::db::Dialect::SQLite, vx::db::Dialect::PostgreSQL})
        vx::db::translate(sql, dialect);
    return 0;
}
