#include "app/report/summary_lookups.h"

#include "app/report/received_summary.h"
#include "db/operations.h"
#include "db/table_ops.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/vendors.h"

namespace vx::report {

using namespace vx::tables;

namespace {

// The key and the value field of a whole-table read ("Key, Value"), filled into `rec` from the
// row's two columns as the record manager fills them.
template <class Rec> class KeyValueFields {
  public:
    KeyValueFields(const TableDef<Rec>& def, const char* key, const char* value)
        : def_(def), key_(fieldIndex(def, key)), value_(fieldIndex(def, value)) {}
    void fill(Rec& rec, const db::RowView& row) const {
        fillRecordField(def_, rec, key_, row.value(0));
        fillRecordField(def_, rec, value_, row.value(1));
    }

  private:
    const TableDef<Rec>& def_;
    int key_, value_;
};

// Record numbers below this index the flat table (4 M numbers: 36 MB at the very most).
constexpr std::int32_t kFlatLimit = 1 << 22;

} // namespace

ItemPrices::ItemPrices() : TableLookupBase(kInventory) {}

void ItemPrices::remember(std::int32_t recordNum, std::optional<std::int64_t> price) {
    if (recordNum >= 0 && recordNum < kFlatLimit) {
        const auto at = static_cast<size_t>(recordNum);
        if (at >= known_.size()) {
            const size_t size = std::min<size_t>(kFlatLimit, std::max(at + 1, known_.size() * 2));
            known_.resize(size, kUnknown);
            price_.resize(size, 0);
        }
        if (known_[at] == kUnknown) {
            known_[at] = price ? kPriced : kAbsent;
            price_[at] = price.value_or(0);
        }
        return;
    }
    others_.try_emplace(recordNum, price);
}

std::optional<std::int64_t> ItemPrices::get(std::int32_t recordNum) {
    if (const auto known = find(recordNum))
        return *known;
    if (!whole_ && timeForWholeTable()) {
        whole_ = readWholeTable(QStringLiteral("RecordNum, Price"), [this](const db::RowView& row) {
            static const KeyValueFields fields(jovDBSM_Inventory::definition(), "RecordNum",
                                               "Price");
            fields.fill(inventory(), row);
            remember(inventory().RecordNum, inventory().Price);
        });
        if (const auto known = find(recordNum))
            return *known;
    }
    std::optional<std::int64_t> price;
    if (!whole_) { // a table read whole answers a number it did not hold with "no such item"
        inventory().RecordNum = recordNum;
        if (db::gfbDB_Operation(kInventory, db::kOpEqual, 0))
            price = inventory().Price;
    }
    remember(recordNum, price);
    return price;
}

std::optional<std::optional<std::int64_t>> ItemPrices::find(std::int32_t recordNum) const {
    if (recordNum >= 0 && static_cast<size_t>(recordNum) < known_.size()) {
        const auto at = static_cast<size_t>(recordNum);
        if (known_[at] == kPriced)
            return std::optional<std::int64_t>(price_[at]);
        if (known_[at] == kAbsent)
            return std::optional<std::int64_t>();
    } else if (const auto it = others_.find(recordNum); it != others_.end()) {
        return it->second;
    }
    return std::nullopt;
}

LookupCache::LookupCache()
    : vendors_{kVendors,
               [](const QString& code) -> std::optional<QString> {
                   vendor().VENDCODE = code;
                   if (db::gfbDB_Operation(kVendors, db::kOpEqual, 1))
                       return vendor().BUSINESS.trimmed();
                   return std::nullopt;
               },
               QStringLiteral("VENDCODE, BUSINESS"),
               [](const db::RowView& row) {
                   static const KeyValueFields fields(jovDBSM_Vendors::definition(), "VENDCODE",
                                                      "BUSINESS");
                   fields.fill(vendor(), row);
                   return std::pair{comparedStored(vendor().VENDCODE.str()),
                                    vendor().BUSINESS.trimmed()};
               }} {}

QString LookupCache::vendorName(const QString& vendorCode) {
    vendor().VENDCODE = vendorCode;
    return vendors_.get(vendorCode, comparedKey(vendor().VENDCODE.str())).value_or(QString());
}

VendorPONumbers::VendorPONumbers()
    : numbers_{
          kPOHeader,
          [](const QString& po) -> std::optional<QString> { return gsVendorPONumber(po); },
          QStringLiteral("PO, VendorPONum"),
          [](const db::RowView& row) {
              static const KeyValueFields fields(jovDBSM_POHeader::definition(), "PO",
                                                 "VendorPONum");
              fields.fill(poHeader(), row);
              return std::pair{comparedStored(poHeader().PO.str()), poHeader().VendorPONum.str()};
          }} {}

QString VendorPONumbers::of(const QString& poNumber) {
    poHeader().PO = poNumber;
    return numbers_.get(poNumber, comparedKey(poHeader().PO.str())).value_or(poNumber);
}

} // namespace vx::report
