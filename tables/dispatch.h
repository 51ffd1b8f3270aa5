#pragma once
// PO_ReportDBSM_Interface: ties the six table modules to the record manager (the hooks it calls
// per table id) and opens the report's table set at start-up, settling the store.

#include "db/hooks.h"

#include <cstdint>

namespace vx::tables {

enum TableId : std::int16_t {
    kCommon = 0,
    kVendors = 1,
    kPOHistory = 2,
    kInventory = 3,
    kPOHeader = 4,
    kPOLine = 5,
};
constexpr std::int16_t kTableCount = 6;

// Selects the table module by id; ids outside 0 to 5 do nothing (gsRecordValues: empty text).
class PO_ReportDBSM_Interface : public db::TableHooks {
  public:
    void gpFillRecord(std::int16_t table) override;
    void gpStoreRecord(std::int16_t table) override;
    QString gsRecordValues(std::int16_t table) override;
    void gpLoadKey(std::int16_t table, std::int16_t key) override;
};

// Installs the dispatch as the record manager's hooks.
void installTableHooks();

// Starts the database layer, prepares the tables (creating or upgrading them), reads the company
// record and settles gsStore and the store's tables. False when the database layer cannot start
// or the company table cannot be opened.
bool gfbOpenReportTables();
// Opens the recordsets of tables 1 to 5; false at the first failure.
bool gfbOpenReportRecordsets();
// Closes the open tables (recordsets and descriptors stay as they are).
void gpCloseReportTables();

} // namespace vx::tables
