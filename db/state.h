#pragma once
// The database layer's process-wide state: the one connection, the server settings, the table
// descriptors, each table's current recordset and the key slots.

#include "db/engine.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace vx::db {

// One table slot.
struct DBTableInfo {
    QString TableKey;    // the table module's own name for the table
    QString FilePath;    // legacy data file path, kept for the record
    QString TableName;   // SQL table name, possibly with a store suffix
    QString Description; // display name
    bool IsOpen = false; // result of the last table open
    std::int16_t Reserved18 = 0;
    std::int16_t KeySegments = 0; // segments of the key last set
    std::int16_t PositionFlag = 0;
    QString CreateSQL; // the CREATE TABLE statement
    QString IndexSQL;  // further statements separated by ";"
};

struct DbState {
    std::unique_ptr<Engine> engine; // the backend of gsDBServer
    std::unique_ptr<Connection> gcnDatabase;
    QString gsDBName;
    QString gsDBServer;
    QString gsDBUserName;
    QString gsDBPassword;
    bool gbDBConnected = false;
    std::unique_ptr<Server> goDBServer;
    std::int16_t gnDBTables = 0;
    std::vector<DBTableInfo> gDBTables;
    std::vector<std::unique_ptr<Recordset>> gDBRecordsets;
    // Key slots 1..9 (index 0 unused): column ordinals and values (text already made literal).
    std::array<std::int16_t, 10> giDBKeyCol{};
    std::array<DbValue, 10> gvDBKeyVal{};
};

DbState& dbState();
void resetDbState();

// The descriptor and current recordset of a slot, growing the arrays when needed.
DBTableInfo& tableInfo(std::int16_t table);
std::unique_ptr<Recordset>& currentRecordset(std::int16_t table);

} // namespace vx::db
