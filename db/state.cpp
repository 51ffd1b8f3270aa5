#include "db/state.h"

#include "db/hooks.h"

namespace vx::db {

namespace {
TableHooks* g_hooks = nullptr;

void ensureSlot(std::int16_t table) {
    DbState& s = dbState();
    const size_t need = static_cast<size_t>(table < 0 ? 0 : table) + 1;
    if (s.gDBTables.size() < need)
        s.gDBTables.resize(need);
    if (s.gDBRecordsets.size() < need)
        s.gDBRecordsets.resize(need);
}
} // namespace

void setTableHooks(TableHooks* hooks) {
    g_hooks = hooks;
}
TableHooks* tableHooks() {
    return g_hooks;
}

DbState& dbState() {
    static DbState state;
    return state;
}

void resetDbState() {
    DbState& s = dbState();
    s.gDBRecordsets.clear(); // recordsets go before the connection they stream from
    s.gcnDatabase.reset();
    s.goDBServer.reset();
    s = DbState{};
}

DBTableInfo& tableInfo(std::int16_t table) {
    ensureSlot(table);
    return dbState().gDBTables[static_cast<size_t>(table < 0 ? 0 : table)];
}

std::unique_ptr<Recordset>& currentRecordset(std::int16_t table) {
    ensureSlot(table);
    return dbState().gDBRecordsets[static_cast<size_t>(table < 0 ? 0 : table)];
}

} // namespace vx::db
