#pragma once
// Look-ups of one table by one key during a report run (vendor names, item prices, vendor PO
// numbers). Each key is read once with the record manager's "=" and remembered. When the run
// has asked for more than a thousandth of the table's rows one by one, the key and value columns
// of the whole table are read in one query instead: reading them costs about what a few hundred
// keyed reads cost (on a server, a few hundred round trips), which a run that has already made
// a thousandth of the table's reads is likely to need many times over. A year's report, which
// touches most items and orders, saves a hundred thousand reads; the worst case, a short range
// that reads a whole table for a few keys, costs a fraction of a second.
//
// The values are the ones the row-by-row reads give: the columns are filled into the record
// buffer by the table module's own conversion, and a text key is matched as the engine compares
// the key literal the record manager builds (quotes and blanks handled by its quoting rule,
// trailing blanks not counted). VANTREX_LOOKUPS=keyed turns the whole-table read off.

#include "db/engine.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>

namespace vx::report {

// A text key as the engine compares the literal the record manager makes of it.
QString comparedKey(const QString& keyText);
// A stored text as the engine compares it with such a literal.
QString comparedStored(const QString& stored);

// Whether look-ups may read whole tables (not when VANTREX_LOOKUPS is "keyed").
bool readAheadAllowed();

class TableLookupBase {
  protected:
    explicit TableLookupBase(std::int16_t table) : table_(table), allowed_(readAheadAllowed()) {}
    // True when the misses so far call for reading the whole table.
    bool timeForWholeTable();
    // Reads `columns` ("Key, Value") of every row of the table and calls `row` for each (its
    // columns 0 and 1 are the key and the value); false when the table could not be read (the
    // look-ups then stay row by row). Afterwards the table's own recordset is current again, for
    // the keyed reads of others.
    bool readWholeTable(const QString& columns, const std::function<void(const db::RowView&)>& row);

    std::int16_t table_;
    bool whole_ = false; // every row is known

  private:
    bool allowed_; // read once: the switch does not change during a run
    long misses_ = 0;
    long rows_ = -1;     // the table's row count, once asked
    bool tried_ = false; // the whole table is read at most once
};

template <class Value> class TableLookup : public TableLookupBase {
  public:
    // `readOne`: the row-by-row read of a key (nullopt: no such row). `columns`: the key and
    // value columns ("Key, Value"). `fromRow`: fills those columns of a row into the record
    // buffer and gives the compared key and the value.
    using FromRow = std::function<std::pair<QString, Value>(const db::RowView&)>;
    TableLookup(std::int16_t table, std::function<std::optional<Value>(const QString&)> readOne,
                QString columns, FromRow fromRow)
        : TableLookupBase(table), readOne_(std::move(readOne)), columns_(std::move(columns)),
          fromRow_(std::move(fromRow)) {}

    // `key` as the caller would put it into the record buffer; `compared` its comparedKey.
    std::optional<Value> get(const QString& key, const QString& compared) {
        if (const auto it = known_.find(compared); it != known_.end())
            return it->second;
        if (!whole_ && timeForWholeTable())
            whole_ = readWholeTable(columns_, [this](const db::RowView& row) {
                auto [k, v] = fromRow_(row);
                known_.try_emplace(std::move(k), std::move(v));
            });
        if (whole_)
            return known_.try_emplace(compared, std::nullopt).first->second;
        return known_.emplace(compared, readOne_(key)).first->second;
    }

  private:
    std::function<std::optional<Value>(const QString&)> readOne_;
    QString columns_;
    FromRow fromRow_;
    std::unordered_map<QString, std::optional<Value>> known_;
};

} // namespace vx::report
