// Rounding to the nearest whole number with halves going to the even neighbour,
// clamped to the 32-bit range (NaN gives 0), so that sizes computed from
// outlandish job fields never overflow.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace tabulon::render {

template <typename Float>
std::int32_t roundHalfEven(Float value)
{
    if (std::isnan(value)) return 0;
    // The default rounding mode rounds to the nearest, halves to even.
    Float rounded = std::nearbyint(value);
    constexpr auto kMin = static_cast<double>(std::numeric_limits<std::int32_t>::min());
    constexpr auto kMax = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    double wide = static_cast<double>(rounded);
    if (wide <= kMin) return std::numeric_limits<std::int32_t>::min();
    if (wide >= kMax) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(wide);
}

}  // namespace tabulon::render
