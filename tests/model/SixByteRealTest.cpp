#include "SixByteReal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "Errors.h"

namespace tamber {
namespace {

TSixByteReal Bytes(uint8_t b0, uint8_t b5, uint8_t b1 = 0) { return TSixByteReal{{b0, b1, 0, 0, 0, b5}}; }

TEST(SixByteReal, KnownValuesAndTheirBytes) {
    const struct { double value; TSixByteReal bytes; } cases[] = {
        {1.0, Bytes(0x81, 0)},    {12.0, Bytes(0x84, 0x40)},  // 1.5 x 2^3
        {-12.0, Bytes(0x84, 0xC0)},                           // sign in the top bit of byte 5
        {5.5, Bytes(0x83, 0x30)}, {0.5, Bytes(0x80, 0)},      {0.0, Bytes(0, 0)},
        {1.0 + std::ldexp(1.0, -39), Bytes(0x81, 0, 1)},      // the lowest fraction bit in byte 1
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DoubleToSixByteReal(c.value), c.bytes) << c.value;
        EXPECT_EQ(SixByteRealToDouble(c.bytes), c.value) << c.value;
    }
    EXPECT_EQ(SixByteRealToDouble(TSixByteReal{{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}), 0.0) << "exponent 0 is zero";
    EXPECT_EQ(DoubleToSixByteReal(-0.0), Bytes(0, 0));
}

TEST(SixByteReal, EverySixByteRealIsADoubleAndComesBackUnchanged) {
    std::mt19937_64 random(48);
    for (int i = 0; i < 100000; ++i) {
        uint64_t bits = random();
        TSixByteReal r;
        for (auto& b : r.Bytes) {
            b = static_cast<uint8_t>(bits & 0xFF);
            bits >>= 8;
        }
        if (r.Bytes[0] == 0) continue;
        ASSERT_EQ(DoubleToSixByteReal(SixByteRealToDouble(r)), r);
    }
}

TEST(SixByteReal, RoundsToNearestWithTiesToAnEvenFraction) {
    const double ulp = std::ldexp(1.0, -39);  // one unit of the fraction at exponent 0
    const struct { const char* what; long double value; double expected; } cases[] = {
        {"half a unit above an even fraction stays", 1.0 + ulp / 2, 1.0},
        {"half a unit above an odd fraction goes up", 1.0 + 1.5 * ulp, 1.0 + 2 * ulp},
        {"just above half a unit goes up", 1.0 + ulp / 2 + ulp / 1024, 1.0 + ulp},
        {"a carry into the exponent", 2.0 - ulp / 4, 2.0},
        {"an extended value rounded once", 1.0L + ulp / 2 + ulp / 1e6L, 1.0 + ulp},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundThroughSixByteReal(c.value), c.expected) << c.what;
}

TEST(SixByteReal, ValuesBeyondRangeAreErrorsAndTinyValuesBecomeZero) {
    EXPECT_THROW(DoubleToSixByteReal(1e39), EFloatOverflow);
    EXPECT_THROW(DoubleToSixByteReal(-std::numeric_limits<double>::infinity()), EFloatOverflow);
    EXPECT_THROW(DoubleToSixByteReal(std::nan("")), EFloatInvalid);
    EXPECT_EQ(DoubleToSixByteReal(1e-40), Bytes(0, 0));
    const double largest = std::ldexp(2.0 - std::ldexp(1.0, -39), 126);
    EXPECT_EQ(SixByteRealToDouble(TSixByteReal{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}}), largest);
    EXPECT_EQ(RoundThroughSixByteReal(largest), largest);
    const double smallest = std::ldexp(1.0, -128);
    EXPECT_EQ(DoubleToSixByteReal(smallest), Bytes(1, 0));
}

}  // namespace
}  // namespace tamber
