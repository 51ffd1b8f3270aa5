#pragma once
// Opening, creating and changing tables, and the statements that change data: one executor for
// all of them, which keeps a recall log of deletions from the inventory table.

#include <QString>
#include <cstdint>

namespace vx::db {

// Opens the table's base recordset ("SELECT TOP 1 * FROM T"), creating the table from its
// descriptor when it is missing. The result is also kept in the descriptor's IsOpen.
bool gfbDB_OpenTable(std::int16_t table);
// Runs the descriptor's CREATE TABLE statement, then each non-blank statement of IndexSQL.
bool gfbDB_CreateTable(std::int16_t table);
// True when the database has a table of that name (letter case ignored).
bool gfbDB_TableExists(const QString& tableName);
// Runs a statement; the rows it affected, -1 for one that affects none (CREATE, ALTER), 0 after
// an error. A DELETE on an inventory table is first written to the recall log. A change of
// columns is checked against the catalogue first: one already made is not sent (-1), an ADD of
// a column that exists or a change other objects block fails without being sent.
long glDB_Execute(const QString& sql);
bool gfbDB_AddColumn(std::int16_t table, const QString& column, const QString& type);
void gpDB_RenameColumn(const QString& tableName, const QString& oldName, const QString& newName);
// False, after a message naming what stands in the way, when other objects keep the engine from
// changing the column to `type`; true when it can be changed or already has that type. Changes
// that drop things first (indexes) ask this before they start.
bool gfbDB_CanChangeColumn(std::int16_t table, const QString& column, const QString& type);
// "SELECT COUNT(*) FROM " + fromClause.
long glDB_Count(std::int16_t table, const QString& fromClause);
// A multi-row read: the result, when it has rows, becomes the table's current recordset at its
// first row. With noCheck the statement runs but nothing is kept and the result is false.
bool gfbDB_Query(const QString& sql, std::int16_t table, bool noCheck = false);
// Appends the recall entry of the table's record buffer to "DeleteRecall.txt" in the data path.
void gpDB_LogDelete(std::int16_t table, const QString& sql);

// The folder of the recall log (the data path); set at start-up.
void setRecallFolder(const QString& folder);

} // namespace vx::db
