// Whole numbers at the edges of 32 bits: whether a wider result fits, and a
// number read from text.
#pragma once

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "model/Errors.h"

namespace tamber {

// Whether Value is a signed 32-bit amount.
inline bool FitsAmount(int64_t value) noexcept {
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

// Value as a signed 32-bit amount; EAmountRange when it does not fit.
inline int32_t CheckedAmount(int64_t value) {
    if (!FitsAmount(value)) throw EAmountRange();
    return static_cast<int32_t>(value);
}

// Text whole as a decimal number of 32 bits: ASCII digits, at least one,
// after an optional "-"; nothing when anything else is there or the number
// does not fit.
inline std::optional<int32_t> ParseInt32(std::string_view text) noexcept {
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace tamber
