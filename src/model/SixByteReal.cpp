#include "model/SixByteReal.h"

#include <cmath>

#include "model/Errors.h"

namespace tamber {
namespace {
constexpr int kBias = 129;
constexpr int kFractionBits = 39;
constexpr uint64_t kFractionMask = (uint64_t{1} << kFractionBits) - 1;
}  // namespace

double SixByteRealToDouble(const TSixByteReal& value) noexcept {
    const auto& b = value.Bytes;
    if (b[0] == 0) return 0.0;
    uint64_t bits = 0;
    for (int i = 5; i >= 1; --i) bits = (bits << 8) | b[static_cast<std::size_t>(i)];
    const bool negative = (bits >> kFractionBits) & 1U;
    const double mantissa = 1.0 + std::ldexp(static_cast<double>(bits & kFractionMask), -kFractionBits);
    const double magnitude = std::ldexp(mantissa, b[0] - kBias);
    return negative ? -magnitude : magnitude;
}

TSixByteReal LongDoubleToSixByteReal(long double value) {
    if (std::isnan(value)) throw EFloatInvalid();
    if (std::isinf(value)) throw EFloatOverflow();
    TSixByteReal result;
    if (value == 0.0L) return result;

    int exp2 = 0;
    const long double fr = std::frexp(std::fabs(value), &exp2);  // |value| = fr * 2^exp2, fr in [0.5, 1)
    // |value| = (2 fr) * 2^(exp2 - 1), and 2 fr = 1.fraction.
    int exponent = exp2 - 1 + kBias;
    // Keep 39 fraction bits, rounding to nearest, ties to even. The scaled
    // value is exact: at most 63 fraction bits shifted left by 39.
    const long double scaled = std::ldexp(2.0L * fr - 1.0L, kFractionBits);
    long double fraction = std::rint(scaled);  // default rounding mode: ties to even (as RoundAmount)
    if (fraction >= std::ldexp(1.0L, kFractionBits)) {
        fraction = 0.0L;
        ++exponent;
    }
    if (exponent > 255) throw EFloatOverflow();
    if (exponent < 1) return result;  // below the smallest 6-byte real: 0

    uint64_t bits = static_cast<uint64_t>(fraction);
    if (value < 0) bits |= uint64_t{1} << kFractionBits;
    result.Bytes[0] = static_cast<uint8_t>(exponent);
    for (std::size_t i = 1; i <= 5; ++i) {
        result.Bytes[i] = static_cast<uint8_t>(bits & 0xFF);
        bits >>= 8;
    }
    return result;
}

TSixByteReal DoubleToSixByteReal(double value) {
    return LongDoubleToSixByteReal(value);  // every double is exact as an extended value
}

double RoundThroughSixByteReal(double value) {
    return SixByteRealToDouble(DoubleToSixByteReal(value));
}

double RoundThroughSixByteReal(long double value) {
    return SixByteRealToDouble(LongDoubleToSixByteReal(value));
}

}  // namespace tamber
