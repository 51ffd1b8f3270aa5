#pragma once
// What the record manager needs from the table modules: per table id, moving data between the
// table's record buffer and the current row, the VALUES text of an INSERT, and the key values of
// a numbered key. The table dispatch installs its implementation at start-up.

#include <QString>
#include <cstdint>

namespace vx::db {

class TableHooks {
  public:
    virtual ~TableHooks() = default;
    // Every field of the table's record from the table's current row.
    virtual void gpFillRecord(std::int16_t table) = 0;
    // Every field of the record into the current row (the caller then updates the row).
    virtual void gpStoreRecord(std::int16_t table) = 0;
    // The comma-separated value list of the record for "INSERT INTO T VALUES(...)".
    virtual QString gsRecordValues(std::int16_t table) = 0;
    // The columns and current values of key number `key` into the key slots (gpDB_SetKey).
    virtual void gpLoadKey(std::int16_t table, std::int16_t key) = 0;
};

// Installs the hooks (the caller keeps them alive); nullptr: no table does anything.
void setTableHooks(TableHooks* hooks);
TableHooks* tableHooks();

} // namespace vx::db
