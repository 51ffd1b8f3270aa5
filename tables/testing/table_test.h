#pragma once
// What the table tests share: a fixture on every backend and the key walks.

#include "db/operations.h"
#include "db/testing/backends.h"
#include "tables/dispatch.h"
#include "testsupport/scripted_messages.h"

#include <QList>
#include <type_traits>

namespace vx::dbtest {

// The report's dispatch, keeping the last VALUES text it made.
class RecordingDispatch : public tables::PO_ReportDBSM_Interface {
  public:
    QString gsRecordValues(std::int16_t table) override;
    QString lastValues;
};

// `id()` of each row met walking `key` from Get First (backwards: Get Last); at most `limit`.
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

// SetUp clears the database layer, the error and the record buffers, installs `hooks` and, unless
// `connect` is false (the code under test starts the layer), connects the record manager.
class TableTest : public BackendTest {
  protected:
    explicit TableTest(bool connect = true) : connect_(connect) {}
    void SetUp() override;
    void TearDown() override;
    bool pg() const { return onPostgresServer(GetParam()); }
    void openTable(std::int16_t table);
    bool insert(std::int16_t table) { return db::gfbDB_Operation(table, db::kOpInsert, 0); }

    RecordingDispatch hooks;
    ScopedScriptedMessages boxes;

  private:
    bool connect_;
};

} // namespace vx::dbtest
