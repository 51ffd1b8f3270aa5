#pragma once
// How a value written into a column is made to fit the column's declared type, for an engine
// that stores whatever it is given (SQLite): a CHAR(n) column keeps the first n characters, a
// DECIMAL(p,s) column s decimals, rounded half away from zero. The dialect translator fits the
// values INSERT and UPDATE statements write; a backend fits the values it binds itself.

#include "db/value.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

namespace vx::db {

struct ColumnFit {
    enum class Kind : std::uint8_t { Keep, Char, Decimal };
    Kind kind = Kind::Keep;
    int size = 0; // CHAR length or DECIMAL scale
};

// The columns of one table, in their order.
struct TableFit {
    QStringList names;
    std::vector<ColumnFit> columns;
    // The fit of the column `name` (ignoring case); Keep for a name the table does not have.
    ColumnFit of(const QString& name) const;
};

// The columns of the table a statement names; nullptr when there is no such table.
using TableFitOf = std::function<const TableFit*(const QString& table)>;

// The SQL function a SQLite connection provides for DECIMAL values that are not literals:
// vx_decimal(x, s) is x rounded to s decimals; NULL and text that is no number stay as they are.
inline constexpr char kDecimalFitFunction[] = "vx_decimal";

// The first `n` characters of `text` (characters, not UTF-16 units).
QString firstCharacters(const QString& text, int n);

// `v` as a column of `fit` is to store it: text cut to the CHAR length (a number into a CHAR
// column as its text), a number or numeric text rounded to the DECIMAL scale. NULL, text that is
// no number in a DECIMAL column and every value of a Keep column stay as they are.
DbValue fitted(const DbValue& v, const ColumnFit& fit);

// The SQL around an expression that makes its value fit: "substr(" and ", 1, n)" for CHAR(n),
// the DECIMAL function for DECIMAL; both empty for Keep.
struct FitWrap {
    QString before, after;
};
FitWrap fitWrap(const ColumnFit& fit);

} // namespace vx::db
