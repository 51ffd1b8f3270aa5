#pragma once
// SQLite keeps any value in any column; these make the file hold what the declared types say
// (db/column_fit.h): the column fits of the tables statements write into, read once per schema
// version, and the SQL function that rounds the DECIMAL values that are not literals.

#include "db/column_fit.h"
#include "db/sqlite/sqlite_internal.h"

#include <QHash>
#include <memory>

namespace vx::db::sqlite {

// Makes the DECIMAL function (kDecimalFitFunction) known on `db`.
void registerFitFunctions(sqlite3* db);

// What a column's read rule makes of the values written into it: CHAR and DECIMAL fit them.
ColumnFit fitOf(const ColumnRule& rule);
// The fit of a column type as a definition writes it ("DECIMAL(18,4) NOT NULL",
// "CHAR (25) COLLATE RTRIM").
ColumnFit fitOfType(const QString& type);

// The column fits of the tables statements write into: a table's columns are read from the
// catalogue when a statement first names it and kept until the schema changes.
class TableFits {
  public:
    // Forgets every table when `schemaVersion` differs from the one they were read at; -1
    // (unknown) forgets them at every call.
    void refresh(int schemaVersion);
    // The fits of `table` in `db`; nullptr when there is no such table.
    const TableFit* find(sqlite3* db, const QString& table);

  private:
    int version_ = -1;
    QHash<QString, std::shared_ptr<const TableFit>> tables_; // by upper-case name; null: none
};

} // namespace vx::db::sqlite
