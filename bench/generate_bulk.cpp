#include "bench/generate_bulk.h"

#include "db/hooks.h"
#include "db/operations.h"
#include "db/state.h"
#include "platform/err.h"

namespace vx::bench {

namespace {

// A statement is sent when it holds this many rows or this much text, whichever comes first:
// large enough that the engine's per-statement cost vanishes, small enough to stay cheap.
constexpr int kRowsPerStatement = 1000;
constexpr qsizetype kTextPerStatement = 512 * 1024;

} // namespace

bool runStatement(const QString& sql, QString* error) {
    auto& connection = db::dbState().gcnDatabase;
    if (!connection) {
        if (error)
            *error = QStringLiteral("The database is not connected.");
        return false;
    }
    if (connection->execute(sql))
        return true;
    if (error)
        *error = connection->lastError().description;
    return false;
}

BulkInserter::BulkInserter(std::int16_t table, InsertMode mode)
    : table_(table), mode_(mode),
      head_(QStringLiteral("INSERT INTO ") + db::tableInfo(table).TableName +
            QStringLiteral(" VALUES")) {}

bool BulkInserter::fail(const QString& what) {
    error_ = QStringLiteral("%1: %2").arg(db::tableInfo(table_).TableName, what);
    return false;
}

bool BulkInserter::add() {
    if (mode_ == InsertMode::RecordManager) {
        Err().Clear();
        if (!db::gfbDB_Operation(table_, db::kOpInsert, 0))
            return fail(Err().Description);
        ++rows_;
        return true;
    }
    db::TableHooks* hooks = db::tableHooks();
    if (!hooks)
        return fail(QStringLiteral("no table hooks are installed"));
    statement_ += pending_ == 0 ? head_ + u'(' : QStringLiteral(",(");
    statement_ += hooks->gsRecordValues(table_);
    statement_ += u')';
    ++pending_;
    if (pending_ >= kRowsPerStatement || statement_.size() >= kTextPerStatement)
        return flush();
    return true;
}

bool BulkInserter::flush() {
    if (pending_ == 0)
        return true;
    QString why;
    const bool ok = runStatement(statement_, &why);
    if (ok)
        rows_ += pending_;
    pending_ = 0;
    statement_.clear();
    return ok || fail(why);
}

} // namespace vx::bench
