#include "util/currency.h"

#include <cmath>

namespace vx {

std::int64_t gcyTimes(std::int64_t amount, float quantity) {
    // nearbyint rounds in the default mode: to nearest, a half to the even neighbour.
    return static_cast<std::int64_t>(
        std::nearbyint(static_cast<double>(amount) * static_cast<double>(quantity)));
}

std::int64_t gcyFromNumber(double value) {
    return static_cast<std::int64_t>(std::nearbyint(value * 10000.0));
}

} // namespace vx
