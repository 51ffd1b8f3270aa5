#pragma once
// The look-ups of the received summary: vendor names, item prices and the vendors' own PO
// numbers, each read once per key during a run (and a long range reads the tables whole, see
// lookups.h).

#include "app/report/lookups.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vx::report {

// Item prices by record number. A year's range asks for a price a million times: the record
// numbers a store gives its items are small whole numbers, so they index a flat table; any other
// number goes to a hash map.
class ItemPrices : private TableLookupBase {
  public:
    ItemPrices();
    // The item's price, nothing when the item does not exist.
    std::optional<std::int64_t> get(std::int32_t recordNum);

  private:
    enum Known : std::uint8_t { kUnknown, kAbsent, kPriced };
    // The answer known for `recordNum`; nothing when it has not been asked yet.
    std::optional<std::optional<std::int64_t>> find(std::int32_t recordNum) const;
    // Remembers the answer for `recordNum` unless one is known already (the first row of a
    // record number counts, as a keyed read finds it).
    void remember(std::int32_t recordNum, std::optional<std::int64_t> price);

    std::vector<std::int64_t> price_; // by record number, where known_ says kPriced
    std::vector<Known> known_;
    std::unordered_map<std::int32_t, std::optional<std::int64_t>> others_;
};

// Vendor names and item prices looked up while the history rows are walked.
class LookupCache {
  public:
    LookupCache();
    // The vendor's trimmed name, empty when there is no such vendor.
    QString vendorName(const QString& vendorCode);
    std::optional<std::int64_t> itemPrice(std::int32_t invUid) { return prices_.get(invUid); }

  private:
    TableLookup<QString> vendors_;
    ItemPrices prices_;
};

// The vendors' PO numbers of the printed orders: gsVendorPONumber's answers, remembered (a PO
// not on file keeps its own number).
class VendorPONumbers {
  public:
    VendorPONumbers();
    QString of(const QString& poNumber);

  private:
    TableLookup<QString> numbers_;
};

} // namespace vx::report
