#include "model/SixByteReal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "model/Errors.h"

namespace tamber {
namespace {

TSixByteReal Bytes(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4, uint8_t b5) {
    return TSixByteReal{{b0, b1, b2, b3, b4, b5}};
}

TEST(SixByteReal, ExactlyRepresentableValuesHaveKnownBytes) {
    struct Case { double value; TSixByteReal bytes; };
    const Case cases[] = {
        {1.0, Bytes(0x81, 0, 0, 0, 0, 0)},
        {12.0, Bytes(0x84, 0, 0, 0, 0, 0x40)},     // 1.5 x 2^3
        {-12.0, Bytes(0x84, 0, 0, 0, 0, 0xC0)},    // sign in the top bit of byte 5
        {5.5, Bytes(0x83, 0, 0, 0, 0, 0x30)},      // 1.375 x 2^2
        {0.5, Bytes(0x80, 0, 0, 0, 0, 0)},
        {0.0, Bytes(0, 0, 0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DoubleToSixByteReal(c.value), c.bytes) << c.value;
        EXPECT_EQ(SixByteRealToDouble(c.bytes), c.value) << c.value;
    }
}

TEST(SixByteReal, ZeroExponentByteMeansZeroWhateverTheFraction) {
    EXPECT_EQ(SixByteRealToDouble(Bytes(0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF)), 0.0);
    EXPECT_EQ(DoubleToSixByteReal(-0.0), Bytes(0, 0, 0, 0, 0, 0));
}

TEST(SixByteReal, TypedRatesSurviveTheRoundTripToTheNearestSixByteReal) {
    for (double rate : {0.12, 1.0, 5.5, 12.0, 99.99, 2.125, 0.01, 1e-30, 1.7e38, -7.75}) {
        const TSixByteReal stored = DoubleToSixByteReal(rate);
        const double back = SixByteRealToDouble(stored);
        EXPECT_LE(std::fabs(back - rate), std::fabs(rate) * std::ldexp(1.0, -40)) << rate;
        EXPECT_EQ(DoubleToSixByteReal(back), stored) << rate;  // stable once rounded
    }
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
    struct Case { const char* what; double value; double expected; };
    const Case cases[] = {
        {"half a unit above an even fraction stays", 1.0 + ulp / 2, 1.0},
        {"half a unit above an odd fraction goes up", 1.0 + 1.5 * ulp, 1.0 + 2 * ulp},
        {"just above half a unit goes up", 1.0 + ulp / 2 + ulp / 1024, 1.0 + ulp},
        {"a carry into the exponent", 2.0 - ulp / 4, 2.0},
    };
    for (const Case& c : cases) EXPECT_EQ(RoundThroughSixByteReal(c.value), c.expected) << c.what;
}

TEST(SixByteReal, ValuesBeyondRangeAreErrorsAndTinyValuesBecomeZero) {
    EXPECT_THROW(DoubleToSixByteReal(1e39), EFloatOverflow);
    EXPECT_THROW(DoubleToSixByteReal(-1e39), EFloatOverflow);
    EXPECT_THROW(DoubleToSixByteReal(std::numeric_limits<double>::infinity()), EFloatOverflow);
    EXPECT_THROW(DoubleToSixByteReal(std::nan("")), EFloatInvalid);
    EXPECT_EQ(DoubleToSixByteReal(1e-40), Bytes(0, 0, 0, 0, 0, 0));
    EXPECT_EQ(SixByteRealToDouble(Bytes(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F)), std::ldexp(2.0 - std::ldexp(1.0, -39), 126));
}

}  // namespace
}  // namespace tamber
