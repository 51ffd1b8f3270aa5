#pragma once
// Look-ups of one table by one key during a report run (vendor names, item prices, vendor PO
// numbers). Each key is read once with the record manager's "=" and remembered. When the run
// has asked for more than an eighth of the table's rows one by one, the rest of the table is
// read in one query instead: a year's report touches most items and orders, and one query
// saves a hundred thousand reads (and, on a server, as many round trips). A short range keeps
// reading row by row.
//
// The values are the ones the row-by-row reads give: the whole table is read through the same
// record buffer fill, and a text key is matched as the engine compares the key literal the
// record manager builds (quotes and blanks handled by its quoting rule, trailing blanks not
// counted). VANTREX_LOOKUPS=keyed turns the whole-table read off.

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
    // Reads every row of the table into the record buffer in turn and calls `row` after each;
    // false when the table could not be read (the look-ups then stay row by row).
    bool readWholeTable(const std::function<void()>& row);

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
    // `readOne`: the row-by-row read of a key (nullopt: no such row). `fromBuffer`: the compared
    // key and the value of the row last filled into the record buffer.
    TableLookup(std::int16_t table, std::function<std::optional<Value>(const QString&)> readOne,
                std::function<std::pair<QString, Value>()> fromBuffer)
        : TableLookupBase(table), readOne_(std::move(readOne)), fromBuffer_(std::move(fromBuffer)) {
    }

    // `key` as the caller would put it into the record buffer; `compared` its comparedKey.
    std::optional<Value> get(const QString& key, const QString& compared) {
        if (const auto it = known_.find(compared); it != known_.end())
            return it->second;
        if (!whole_ && timeForWholeTable())
            whole_ = readWholeTable([this] {
                auto [k, v] = fromBuffer_();
                known_.try_emplace(std::move(k), std::move(v));
            });
        if (whole_)
            return known_.try_emplace(compared, std::nullopt).first->second;
        return known_.emplace(compared, readOne_(key)).first->second;
    }

  private:
    std::function<std::optional<Value>(const QString&)> readOne_;
    std::function<std::pair<QString, Value>()> fromBuffer_;
    std::unordered_map<QString, std::optional<Value>> known_;
};

} // namespace vx::report
