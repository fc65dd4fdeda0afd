#pragma once
// Counters kept as text in the setup file: read back as whole numbers that
// saturate instead of wrapping, however large or garbled the stored text.

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "support/text.h"

namespace gleanery {

inline constexpr std::int64_t kCounterMax = std::numeric_limits<std::int64_t>::max();

inline std::int64_t counterValue(std::string_view text) {
    const double value = numericValue(text);
    if (!(value > 0)) return 0;
    // 2^63 itself does not fit; every double below it does.
    if (value >= 9.2233720368547758e18) return kCounterMax;
    return static_cast<std::int64_t>(std::floor(value));
}

inline std::int64_t addSaturated(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) return b > 0 ? kCounterMax : std::numeric_limits<std::int64_t>::min();
    return sum;
}

}  // namespace gleanery
