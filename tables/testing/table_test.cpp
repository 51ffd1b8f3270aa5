#include "tables/testing/table_test.h"

#include "db/hooks.h"
#include "db/state.h"
#include "platform/err.h"
#include "tables/common.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/po_line.h"
#include "tables/vendors.h"

namespace vx::dbtest {

QString columnsOf(TestDatabase& db, const QString& table) {
    const QString sql =
        onPostgresServer(db.kind())
            ? QStringLiteral("SELECT string_agg(upper(column_name) || ' ' || CASE data_type WHEN "
                             "'character' THEN 'CHAR(' || character_maximum_length || ')' WHEN "
                             "'numeric' THEN 'DECIMAL(' || numeric_precision || ',' || "
                             "numeric_scale || ')' ELSE upper(data_type) END || CASE WHEN "
                             "is_nullable = 'NO' THEN ' NOT NULL' ELSE '' END || coalesce(' "
                             "DEFAULT ' || replace(column_default, '::bpchar', ''), ''), '|' "
                             "ORDER BY ordinal_position) FROM information_schema.columns WHERE "
                             "table_name = lower('%1')")
            : QStringLiteral("SELECT group_concat(upper(name) || ' ' || "
                             "replace(replace(upper(type), ' COLLATE RTRIM', ''), ' ', '') "
                             "|| CASE WHEN \"notnull\" THEN ' NOT NULL' ELSE '' END || "
                             "coalesce(' DEFAULT ' || dflt_value, ''), '|') FROM "
                             "(SELECT * FROM pragma_table_info('%1') ORDER BY cid)");
    return db.rawValue(sql.arg(table)).value_or(QString());
}

QString indexesOf(TestDatabase& db, const QString& table) {
    const QString sql =
        onPostgresServer(db.kind())
            ? QStringLiteral("SELECT string_agg(indexname || CASE WHEN indexdef LIKE "
                             "'CREATE UNIQUE%' THEN ' UNIQUE' ELSE '' END || ' ' || "
                             "upper(substring(indexdef from '\\(.*\\)$')), '|' ORDER "
                             "BY indexname) FROM pg_indexes WHERE tablename = "
                             "lower('%1')")
            : QStringLiteral("SELECT group_concat(x, '|') FROM (SELECT lower(il.name) || "
                             "CASE WHEN il.\"unique\" THEN ' UNIQUE' ELSE '' END || ' (' "
                             "|| (SELECT group_concat(upper(name), ', ') FROM (SELECT name "
                             "FROM pragma_index_info(il.name) ORDER BY seqno)) || ')' AS x "
                             "FROM pragma_index_list('%1') il ORDER BY il.name)");
    return db.rawValue(sql.arg(table)).value_or(QString());
}

QString RecordingDispatch::gsRecordValues(std::int16_t table) {
    return lastValues = PO_ReportDBSM_Interface::gsRecordValues(table);
}

void TableTest::SetUp() {
    BackendTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    db::resetDbState();
    Err().Clear();
    tables::common() = tables::CommonRec{};
    tables::vendor() = tables::VendorRec{};
    tables::poHistory() = tables::POHistoryRec{};
    tables::inventory() = tables::InventoryRec{};
    tables::poHeader() = tables::POHeaderRec{};
    tables::poLine() = tables::POLineRec{};
    db::setTableHooks(&hooks);
    if (!connect_)
        return;
    db::DbState& s = db::dbState();
    s.gcnDatabase = connect();
    s.gbDBConnected = true;
    s.gsDBName = db().login().database;
    s.goDBServer = db().engine().server();
    ASSERT_EQ(s.goDBServer->connect(db().login()), 1);
}

void TableTest::TearDown() {
    db::setTableHooks(nullptr);
    db::resetDbState();
    BackendTest::TearDown();
}

void TableTest::openTable(std::int16_t table) {
    ASSERT_TRUE(db::gfbDB_OpenTable(table)) << Err().Description.toStdString();
}

} // namespace vx::dbtest
