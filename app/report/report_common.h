#pragma once
// Helpers the report bodies share: currency arithmetic and formatting, the table-text formats of
// the received-order summary, the quoting of date values placed in statements, and reading every
// row of a multi-row query into a list of records.

#include "db/hooks.h"
#include "db/state.h"
#include "util/currency.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace vx::report {

// The column format of the received-order rows, totals and blank rows.
inline constexpr char16_t kSummaryFormat[] = u"<2700|<2700|<1300|^1400|>1400|>1400;";

using vx::gcyFromNumber;
using vx::gcyTimes;
// The numeric value at the start of a text, as the suite's "Val" reads it: blanks are skipped,
// reading stops at the first character that cannot continue the number, no number gives 0.
double gdLeadingNumber(const QString& text);
// A currency amount with the pattern "#,###.00" (".00" for zero).
QString gsMoney(std::int64_t amount);

// A date value for the inside of a quoted literal in a statement. A valid date passes unchanged;
// any quote in a value that is no date becomes a blank, so the value cannot end the literal
// early and change the statement.
QString gsDateLiteral(const QString& value);

// True once the database server failed the run: it stopped answering, or the connection was
// lost. The run then ends without a document, with one message that says so.
bool gfbServerLost();
// Shows that message, once.
void gpSayServerLost();

// Every row of the table's current recordset from the current row on, each filled into the
// table's record buffer through the table hooks and copied into the list.
template <class Rec> std::vector<Rec> readRemainingRows(std::int16_t table, const Rec& buffer) {
    std::vector<Rec> rows;
    db::TableHooks* hooks = db::tableHooks();
    auto& rs = db::currentRecordset(table);
    while (rs && hooks && !rs->eof()) {
        hooks->gpFillRecord(table);
        rows.push_back(buffer);
        if (!rs->moveNext())
            break;
    }
    return rows;
}

} // namespace vx::report
