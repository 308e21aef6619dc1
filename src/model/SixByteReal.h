// The 6-byte real in which a plan stores its annual rate: byte 0 is the
// exponent with bias 129 (0 means the value 0), bytes 1..5 a 39-bit fraction
// from least to most significant byte with an implied leading 1, and the top
// bit of byte 5 the sign.
#pragma once

#include <array>
#include <cstdint>

namespace tamber {

struct TSixByteReal {
    std::array<uint8_t, 6> Bytes{};
    friend bool operator==(const TSixByteReal&, const TSixByteReal&) = default;
};
static_assert(sizeof(TSixByteReal) == 6 && alignof(TSixByteReal) == 1);

// Exact value of a 6-byte real (every 6-byte real is a double).
double SixByteRealToDouble(const TSixByteReal& value) noexcept;

// The 6-byte real nearest to Value, ties to an even fraction. Zero (of either
// sign) and magnitudes below the smallest 6-byte real give 0. Throws
// EFloatOverflow beyond the largest 6-byte real (about 1.7e38) and for
// infinities, EFloatInvalid for NaN.
TSixByteReal DoubleToSixByteReal(double value);

// The same for an extended-precision value, rounded once (no detour through double).
TSixByteReal LongDoubleToSixByteReal(long double value);

// Value rounded through a 6-byte real and back.
double RoundThroughSixByteReal(double value);
double RoundThroughSixByteReal(long double value);

}  // namespace tamber
