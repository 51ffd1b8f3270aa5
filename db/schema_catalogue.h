#pragma once
// What the engine's catalogue says about a table: its columns with their types, and the objects
// (views, rules) that stop a change of a column's type. The table modules' upgrade steps look
// here first, so a column that is already as wanted is left alone and a change that the engine
// would refuse half-way is refused before anything is touched.

#include "db/engine.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vx::db {

// A column type taken apart, spelled the suite's way or the engine's ("Decimal(18,4)",
// "numeric(18,4)", "CHAR (25)", "character(25)", "bpchar", "SMALLINT ", "int2", "INTEGER",
// "int4", "REAL", "float4"). Synonyms compare equal; a type it does not know is Other and equals
// only the same text.
struct ColumnType {
    enum class Kind { Other, Char, VarChar, Decimal, SmallInt, Integer, BigInt, Real, Float };
    Kind kind = Kind::Other;
    int size = 0;  // CHAR / VARCHAR length, DECIMAL precision
    int scale = 0; // DECIMAL scale
    QString other; // the text of an Other type, upper-cased without blanks
    bool operator==(const ColumnType&) const = default;
};
ColumnType parseColumnType(const QString& text);

struct CatalogueColumn {
    QString name;
    QString type; // as the catalogue spells it
};

// The table's columns in order. nullopt when the connection's catalogue is unknown or cannot be
// read, or when it lists no such table; `error` then says why.
std::optional<std::vector<CatalogueColumn>> catalogueColumns(Connection& connection,
                                                             const QString& table, DbError& error);

// The objects that depend on the column and keep the engine from changing its type (views and
// rules on PostgreSQL, schema-bound objects on SQL Server), as "view NAME"; empty when nothing
// does (SQLite rebuilds the table and keeps its views). nullopt when the catalogue cannot say.
std::optional<QStringList> typeChangeBlockers(Connection& connection, const QString& table,
                                              const QString& column, DbError& error);

} // namespace vx::db
