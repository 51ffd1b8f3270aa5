#pragma once
// What the table tests share: a fixture that runs each test on every backend with the record
// manager connected to the test database and the report's dispatch behind its hooks, the
// engine's catalogue read in one engine-neutral text, and the key walks of Get First/Next and
// Get Last/Previous.

#include "db/operations.h"
#include "db/testing/backends.h"
#include "platform/scripted_messages.h"
#include "tables/dispatch.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <type_traits>

namespace vx::dbtest {

// The table's columns as "NAME TYPE[ NOT NULL][ DEFAULT d]" joined by '|', in column order, the
// same text on both engines (CHAR(n), DECIMAL(p,s), INTEGER, SMALLINT, REAL).
QString columnsOf(TestDatabase& db, const QString& table);
// The table's indexes as "name[ UNIQUE] (COLUMNS)" joined by '|', by name.
QString indexesOf(TestDatabase& db, const QString& table);

// The report's dispatch, keeping the last VALUES text it made.
class RecordingDispatch : public tables::PO_ReportDBSM_Interface {
  public:
    QString gsRecordValues(std::int16_t table) override;
    QString lastValues;
};

// The rows met walking `key` of `table` from Get First (or, backwards, from Get Last), each as
// `id()` reads it from the record buffer; at most `limit` rows, so a walk that never ends shows.
template <class Id>
auto walkKey(std::int16_t table, std::int16_t key, bool forward, Id id, qsizetype limit = 20) {
    QList<std::invoke_result_t<Id>> seen;
    bool found = db::gfbDB_Operation(table, forward ? db::kOpGetFirst : db::kOpGetLast, key);
    while (found && seen.size() < limit) {
        seen << id();
        found = db::gfbDB_Operation(table, forward ? db::kOpGetNext : db::kOpGetPrevious, key);
    }
    return seen;
}

// A table test on every backend. SetUp clears the database layer, the error and all six record
// buffers, installs `hooks` and connects the record manager (gcnDatabase, gsDBName, goDBServer)
// to the test database; a fixture whose code under test starts the database layer itself passes
// `connect = false`. TearDown removes the hooks and clears the database layer.
class TableTest : public BackendTest {
  protected:
    explicit TableTest(bool connect = true) : connect_(connect) {}
    void SetUp() override;
    void TearDown() override;
    bool pg() const { return onPostgresServer(GetParam()); }
    // Opens a prepared table; a failure stops the test with the error's description.
    void openTable(std::int16_t table);
    bool insert(std::int16_t table) { return db::gfbDB_Operation(table, db::kOpInsert, 0); }

    RecordingDispatch hooks;
    ScopedScriptedMessages boxes;

  private:
    bool connect_;
};

} // namespace vx::dbtest
