#pragma once
// The shape of a benchmark store, worked out before anything is written: which vendor each
// purchase order is from, how many receipt rows it has and on which days they arrive, and the
// items on its lines. Everything follows from the counts and the seed, so a store can be made
// again row for row, and an order's lines can be worked out again when its receipts are written.

#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

namespace vx::bench {

struct StoreShape {
    std::int64_t rows = 1'000'000; // receipt (history) rows
    std::int32_t items = 100'000;
    std::int32_t vendors = 2'000;
    std::int32_t orders = 50'000; // at most one per row
    QDate first;                  // receipts fall on first..last
    QDate last;
    std::uint64_t seed = 1;
};

// A small, fast, seedable random stream (splitmix64).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, n); 0 when n is 0.
    std::uint64_t below(std::uint64_t n) { return n ? next() % n : 0; }
    // Uniform in [lo, hi].
    std::int64_t between(std::int64_t lo, std::int64_t hi);
    // True `perThousand` times in a thousand.
    bool chance(int perThousand) { return below(1000) < static_cast<std::uint64_t>(perThousand); }

  private:
    std::uint64_t state_;
};

struct OrderPlan {
    std::int32_t number = 0; // purchase-order number
    QString vendorCode;
    bool vendorOnFile = true;
    std::int32_t rows = 0;          // receipt rows
    std::int32_t firstDelivery = 0; // rows of the first delivery; the rest come later
    QDate ordered;
    QDate received;      // the first delivery
    QDate receivedLater; // the second one, when there is one
};

// Consecutive receipt rows of one order, received on one day.
struct Delivery {
    std::int32_t order = 0; // index into StorePlan::orders
    std::int32_t firstRow = 0;
    std::int32_t rowCount = 0;
    QDate day;
};

struct StorePlan {
    std::vector<OrderPlan> orders;
    std::vector<Delivery> deliveries; // in the order the receipts are booked
};

StorePlan planStore(const StoreShape& shape);

struct LinePlan {
    std::int32_t invUid = 0;
    bool itemOnFile = true;
    float quantity = 0;
    std::int64_t unitCost = 0; // currency (ten-thousandths)
};

// The lines of an order: one per item, distinct items. Receipt row r of the order books line
// r % lines.size().
std::vector<LinePlan> orderLines(const StoreShape& shape, const OrderPlan& order);

// The quantity booked by receipt row `row` of an order's line.
float receivedQuantity(const StoreShape& shape, const OrderPlan& order, std::int32_t row,
                       const LinePlan& line);

// An item's cost and shelf price (currency), the same wherever the item appears.
std::int64_t itemCost(const StoreShape& shape, std::int32_t invUid);
std::int64_t itemPrice(const StoreShape& shape, std::int32_t invUid);

// Vendor number n (1-based) as the store knows it.
QString vendorCode(std::int32_t n);
QString missingVendorCode(std::int32_t n);

} // namespace vx::bench
