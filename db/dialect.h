#pragma once
// Rewrites a statement of the suite's SQL dialect for the engine that runs it. Statements are
// built everywhere else exactly in the suite's dialect; only the backends call this, just before
// executing. Text inside string literals is never touched.

#include "db/column_fit.h"

#include <QString>
#include <functional>

namespace vx::db {

enum class Dialect { SQLite, PostgreSQL };

struct Translated {
    enum class Kind {
        Statement,   // `sql` is ready to run
        AlterColumn, // "ALTER TABLE t ALTER COLUMN c type" that the engine cannot run as one
                     // statement: the backend rebuilds the table (SQLite); `table`, `column`,
                     // `type` (translated) say what to change
    };
    Kind kind = Kind::Statement;
    QString sql;
    QString table, column, type;
};

// The rewrites (keywords and names match ignoring case; literals, quoted names and comments are
// copied unchanged):
//  - "SELECT TOP n ..." (also "TOP (n)") → "SELECT ... LIMIT n", LIMIT closing the query the TOP
//    belongs to: at the end of the statement, before a trailing ";";
//  - the schema prefix "jov." before a table name is dropped;
//  - "CLUSTERED" is dropped from CREATE INDEX;
//  - index names are made unique per table: "Create Index idx_0 On invt2 (...)" names the index
//    "invt2_idx_0"; "Drop index invt2.idx_0" (or "DROP INDEX idx_0 ON invt2") drops
//    "invt2_idx_0";
//  - "sp_RENAME 'T.c', 'n ', 'COLUMN'" → "ALTER TABLE T RENAME COLUMN c TO n" (names trimmed);
//    "sp_RENAME 'T', 'n'" → "ALTER TABLE T RENAME TO n";
//  - "ALTER TABLE T ALTER COLUMN c type" → PostgreSQL "... ALTER COLUMN c TYPE type USING
//    c::type" (a trailing "NOT NULL" / "NULL" becomes ", ALTER COLUMN c SET / DROP NOT NULL");
//    SQLite: Kind::AlterColumn, `sql` keeping the statement for messages;
//  - a bare DECIMAL (or NUMERIC) type → DECIMAL(18,0);
//  - a trailing comma before the closing parenthesis of CREATE TABLE is dropped;
//  - SQLite: CHAR(n) column types in CREATE TABLE and ALTER TABLE ... ADD get COLLATE RTRIM, and
//    "ltrim(ItemID)" (any column) compares as "(ltrim(ItemID) COLLATE RTRIM)"; PostgreSQL:
//    "ltrim(ItemID)" → "CAST(ltrim(ItemID) AS bpchar)", so trailing blanks do not count in
//    either;
//  - SQLite: in queries (also an INSERT's query) and in the conditions of UPDATE and DELETE,
//    every string literal compared with =, ==, <>, !=, <, <=, > or >= and every ORDER BY term
//    (before ASC / DESC, unless it names a collation) gets COLLATE RTRIM, so trailing blanks do
//    not count on tables made by other tools either. SET assignments, VALUES lists and
//    definitions are left alone; number columns still compare and sort as numbers, and an
//    ORDER BY term that is a plain number column (`isNumberColumn`) gets no collation, so its
//    index can give the order.
//    A literal compared with a plain column name that `isNumberColumn` reports as a number
//    column gets none: the column converts the literal and compares numbers, where collation
//    never counts, and a collation on the comparison would keep SQLite from using the
//    column's index.
//  - SQLite, with `tableFit`: the values INSERT ... VALUES rows and UPDATE ... SET assignments
//    write into CHAR(n) and DECIMAL(p,s) columns fit them as the file is to hold them: literals
//    cut to n characters or rounded to s decimals (half away from zero, exactly), any other
//    expression wrapped in substr(..., 1, n) or the DECIMAL function (db/column_fit.h).
// Any other statement comes back with only these rewrites applied.
using IsNumberColumn = std::function<bool(const QString& name)>;
Translated translate(const QString& sql, Dialect dialect, const IsNumberColumn& isNumberColumn = {},
                     const TableFitOf& tableFit = {});

// The SQLite type text of a column type ("CHAR(8)" → "CHAR(8) COLLATE RTRIM", "DECIMAL" →
// "DECIMAL(18,0)"), used when a backend rebuilds a table. A type that names its collation
// already keeps it.
QString sqliteColumnType(const QString& type);

} // namespace vx::db
