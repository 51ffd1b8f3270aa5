#pragma once
// Currency amounts as the suite keeps them: fixed point, ten-thousandths of the unit.

#include <cstdint>

namespace vx {

// A currency amount (ten-thousandths) times a single-precision quantity: the product is taken
// in double precision and rounded to the nearest ten-thousandth, a half to the even one.
std::int64_t gcyTimes(std::int64_t amount, float quantity);
// A number as a currency amount (ten-thousandths, a half to the even one).
std::int64_t gcyFromNumber(double value);

} // namespace vx
