#pragma once
// Pieces every backend shares: recognising a query on one table (so that its rows can be updated
// and deleted through a hidden row locator), the value rules of CHAR and DECIMAL columns, and the
// error of a missing table.

#include "db/engine.h"

#include <QString>
#include <optional>

namespace vx::db {

// The name of the hidden column that carries a row's locator (rowid, ctid).
inline constexpr char kRowLocator[] = "vx_row_locator";

// "SELECT * FROM T ..." or "SELECT a, b FROM T ..." where T is one plain table name followed by
// the end, WHERE, ORDER BY or LIMIT: the table, and where the select list ends (the place to add
// the hidden locator column).
struct SingleTable {
    QString table;
    qsizetype listEnd = 0;
};
std::optional<SingleTable> singleTableQuery(const QString& sql);

// `sql` with ", <locator> AS vx_row_locator" added to the select list of `query`.
QString withRowLocator(const QString& sql, const SingleTable& query, const QString& locator);

// True when the statement's first word is INSERT, UPDATE, DELETE or REPLACE (statements whose
// rows-affected count means something).
bool changesRows(const QString& sql);

// A CHAR(n) value: text padded with blanks to n characters.
DbValue paddedChar(const DbValue& v, int size);
// The same for UTF-8 text as an engine delivers it, made in one allocation.
QString paddedUtf8(const char* utf8, qsizetype bytes, int size);
// A DECIMAL(p, s) value: whole numbers, reals, decimals and numeric texts with s decimals.
DbValue scaledDecimal(const DbValue& v, int scale);

// `text` with `password` masked, for messages that quote an engine's words. Very short
// passwords are left alone: they would match inside ordinary words.
QString withoutPassword(QString text, const QString& password);

// Error 3078 for a missing table.
DbError invalidObject(const QString& table);
// An engine's failure as the interface reports it.
DbError engineError(const QString& description);
// The error of a move or read past the last (or before the first) row.
DbError noCurrentRecord();

} // namespace vx::db
