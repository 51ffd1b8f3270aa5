#include "bench/generate_plan.h"

#include <algorithm>
#include <unordered_set>

namespace vx::bench {

namespace {

// Lines per order: the line number is a 16-bit column.
constexpr std::int64_t kMaxLines = 32767;
// Per thousand: orders from vendors no longer on file, orders received in two deliveries,
// lines of items no longer on file.
constexpr int kMissingVendor = 5;
constexpr int kSplitOrder = 50;
constexpr int kMissingItem = 5;
constexpr std::int32_t kFirstOrderNumber = 100001;

std::uint64_t mix(std::uint64_t seed, std::uint64_t a, std::uint64_t b = 0) {
    Random r(seed ^ (a * 0x9E3779B97F4A7C15ull) ^ (b * 0xC2B2AE3D27D4EB4Full));
    r.next();
    return r.next();
}

// `count` distinct values of 1..n in rising order (Floyd's sampling).
std::vector<std::int64_t> distinctSorted(Random& random, std::int64_t n, std::int64_t count) {
    std::unordered_set<std::int64_t> chosen;
    chosen.reserve(static_cast<size_t>(count));
    for (std::int64_t j = n - count + 1; j <= n; ++j) {
        const std::int64_t t = random.between(1, j);
        chosen.insert(chosen.count(t) ? j : t);
    }
    std::vector<std::int64_t> out(chosen.begin(), chosen.end());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

std::uint64_t Random::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::int64_t Random::between(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(below(static_cast<std::uint64_t>(hi - lo + 1)));
}

StorePlan planStore(const StoreShape& shape) {
    StorePlan plan;
    Random random(mix(shape.seed, 1));
    const std::int64_t orders = std::clamp<std::int64_t>(shape.orders, 1, shape.rows);
    // Cutting the rows at orders - 1 distinct places gives every order at least one row and
    // the uneven sizes of real orders around the mean.
    const std::vector<std::int64_t> cuts = distinctSorted(random, shape.rows - 1, orders - 1);
    const std::int64_t span = shape.first.daysTo(shape.last);

    plan.orders.reserve(static_cast<size_t>(orders));
    std::int64_t previousCut = 0;
    for (std::int64_t k = 0; k < orders; ++k) {
        const std::int64_t cut = k < orders - 1 ? cuts[static_cast<size_t>(k)] : shape.rows;
        OrderPlan o;
        o.number = kFirstOrderNumber + static_cast<std::int32_t>(k);
        o.rows = static_cast<std::int32_t>(cut - previousCut);
        previousCut = cut;
        o.vendorOnFile = !random.chance(kMissingVendor);
        const auto vendor = static_cast<std::int32_t>(random.between(1, shape.vendors));
        o.vendorCode = o.vendorOnFile ? vendorCode(vendor) : missingVendorCode(vendor);
        // Spread evenly, the first order on the first day and the last on the last.
        o.received = shape.first.addDays(orders > 1 ? k * span / (orders - 1) : 0);
        o.ordered = o.received.addDays(-random.between(2, 30));
        o.firstDelivery = o.rows;
        if (o.rows >= 2 && random.chance(kSplitOrder)) {
            o.firstDelivery = static_cast<std::int32_t>(random.between(1, o.rows - 1));
            o.receivedLater = std::min(o.received.addDays(random.between(1, 14)), shape.last);
        }
        plan.orders.push_back(o);
    }

    for (size_t k = 0; k < plan.orders.size(); ++k) {
        const OrderPlan& o = plan.orders[k];
        const auto index = static_cast<std::int32_t>(k);
        plan.deliveries.push_back({index, 0, o.firstDelivery, o.received});
        if (o.firstDelivery < o.rows)
            plan.deliveries.push_back(
                {index, o.firstDelivery, o.rows - o.firstDelivery, o.receivedLater});
    }
    // Receipts are booked day by day; a later delivery comes after the orders of its day.
    std::stable_sort(plan.deliveries.begin(), plan.deliveries.end(),
                     [](const Delivery& a, const Delivery& b) { return a.day < b.day; });
    return plan;
}

std::vector<LinePlan> orderLines(const StoreShape& shape, const OrderPlan& order) {
    Random random(mix(shape.seed, 2, static_cast<std::uint64_t>(order.number)));
    const std::int64_t count = std::min<std::int64_t>({order.rows, kMaxLines, shape.items});
    std::vector<LinePlan> lines;
    lines.reserve(static_cast<size_t>(count));
    std::unordered_set<std::int32_t> used;
    while (static_cast<std::int64_t>(lines.size()) < count) {
        LinePlan l;
        l.itemOnFile = !random.chance(kMissingItem);
        l.invUid = static_cast<std::int32_t>(l.itemOnFile ? random.between(1, shape.items)
                                                          : shape.items + random.between(1, 1000));
        if (!used.insert(l.invUid).second)
            continue;
        l.quantity = static_cast<float>(random.between(1, 48));
        l.unitCost = itemCost(shape, l.invUid);
        lines.push_back(l);
    }
    return lines;
}

float receivedQuantity(const StoreShape& shape, const OrderPlan& order, std::int32_t row,
                       const LinePlan& line) {
    // The first receipt of a line brings what was ordered; further ones bring a part of it.
    const std::int64_t lines = std::min<std::int64_t>({order.rows, kMaxLines, shape.items});
    if (row < lines)
        return line.quantity;
    return static_cast<float>(
        1 + mix(shape.seed, 3,
                static_cast<std::uint64_t>(order.number) << 32 | static_cast<std::uint64_t>(row)) %
                static_cast<std::uint64_t>(line.quantity));
}

std::int64_t itemCost(const StoreShape& shape, std::int32_t invUid) {
    const std::uint64_t h = mix(shape.seed, 4, static_cast<std::uint64_t>(invUid));
    const auto cents = static_cast<std::int64_t>(50 + h % 20000);
    return cents * 100;
}

std::int64_t itemPrice(const StoreShape& shape, std::int32_t invUid) {
    const std::uint64_t h = mix(shape.seed, 5, static_cast<std::uint64_t>(invUid));
    const std::int64_t costCents = itemCost(shape, invUid) / 100;
    const auto markup = static_cast<std::int64_t>(130 + h % 71); // 1.30 to 2.00 times the cost
    return costCents * markup / 100 * 100;
}

QString vendorCode(std::int32_t n) {
    return QStringLiteral("V%1").arg(n, 6, 10, QLatin1Char('0'));
}

QString missingVendorCode(std::int32_t n) {
    return QStringLiteral("GONE%1").arg(n, 6, 10, QLatin1Char('0'));
}

} // namespace vx::bench
