#pragma once
// Field codecs between a table's current row and its record buffer, the key slots, and the one
// rule by which text becomes the content of an SQL string literal.

#include "db/value.h"

#include <QString>
#include <array>
#include <cstdint>

namespace vx::db {

// The value of a column of the table's current row (NULL when the table has no current row or
// no such column), by ordinal or by name.
DbValue gvDB_FieldValue(std::int16_t table, int field);
DbValue gvDB_FieldValue(std::int16_t table, const QString& field);
// The column's name.
QString gvDB_FieldName(std::int16_t table, int field);

// Writes a value into the current row's buffer (sent by a later "Update"): nothing when the
// table's current recordset holds no rows, an empty text for a blank text (never NULL), and
// otherwise only when the column is NULL or holds another value.
void gpDB_PutField(std::int16_t table, int field, const DbValue& value);

// One key segment: a column ordinal and its value; `missing` marks the unused slots.
struct KeyPart {
    std::int16_t col = 0;
    DbValue value;
    bool missing = true;
};
KeyPart keyPart(std::int16_t col, const DbValue& value);
KeyPart keyPart(std::int16_t col, const QString& text);

// Fills the key slots: the segment count into the table's descriptor, the nine ordinals, and the
// values, text made literal with gsDB_SQLText (quotes doubled for segments 1 to 3, turned into
// blanks for segments 4 to 9).
void gpDB_SetKey(std::int16_t table, std::int16_t segments, const std::array<KeyPart, 9>& parts);

// The text to place between single quotes in a statement: NULs become blanks; a text that holds
// "''" already, or no quote, is returned as it is; otherwise quotes become blanks
// (doubleQuotes false) or are doubled and the result trimmed (true), and then, when the result
// is longer than maxLen, ", " becomes ",", "  " becomes " " and one trailing "," goes.
QString gsDB_SQLText(const QString& value, bool doubleQuotes, int maxLen);

} // namespace vx::db
