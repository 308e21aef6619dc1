#include "Real48.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "Errors.h"

namespace tamber {
namespace {

TReal48 Bytes(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4, uint8_t b5) {
    return TReal48{{b0, b1, b2, b3, b4, b5}};
}

TEST(Real48, ExactlyRepresentableValuesHaveKnownBytes) {
    struct Case { double value; TReal48 bytes; };
    const Case cases[] = {
        {1.0, Bytes(0x81, 0, 0, 0, 0, 0)},
        {12.0, Bytes(0x84, 0, 0, 0, 0, 0x40)},     // 1.5 x 2^3
        {-12.0, Bytes(0x84, 0, 0, 0, 0, 0xC0)},    // sign in the top bit of byte 5
        {5.5, Bytes(0x83, 0, 0, 0, 0, 0x30)},      // 1.375 x 2^2
        {0.5, Bytes(0x80, 0, 0, 0, 0, 0)},
        {0.0, Bytes(0, 0, 0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DoubleToReal48(c.value), c.bytes) << c.value;
        EXPECT_EQ(Real48ToDouble(c.bytes), c.value) << c.value;
    }
}

TEST(Real48, ZeroExponentByteMeansZeroWhateverTheFraction) {
    EXPECT_EQ(Real48ToDouble(Bytes(0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF)), 0.0);
    EXPECT_EQ(DoubleToReal48(-0.0), Bytes(0, 0, 0, 0, 0, 0));
}

TEST(Real48, TypedRatesSurviveTheRoundTripToTheNearestSixByteReal) {
    for (double rate : {0.12, 1.0, 5.5, 12.0, 99.99, 2.125, 0.01, 1e-30, 1.7e38, -7.75}) {
        const TReal48 stored = DoubleToReal48(rate);
        const double back = Real48ToDouble(stored);
        EXPECT_LE(std::fabs(back - rate), std::fabs(rate) * std::ldexp(1.0, -40)) << rate;
        EXPECT_EQ(DoubleToReal48(back), stored) << rate;  // stable once rounded
    }
}

TEST(Real48, EverySixByteRealIsADoubleAndComesBackUnchanged) {
    std::mt19937_64 random(48);
    for (int i = 0; i < 100000; ++i) {
        uint64_t bits = random();
        TReal48 r;
        for (auto& b : r.Bytes) {
            b = static_cast<uint8_t>(bits & 0xFF);
            bits >>= 8;
        }
        if (r.Bytes[0] == 0) continue;
        ASSERT_EQ(DoubleToReal48(Real48ToDouble(r)), r);
    }
}

TEST(Real48, RoundsToNearestWithTiesToAnEvenFraction) {
    const double ulp = std::ldexp(1.0, -39);  // one unit of the fraction at exponent 0
    struct Case { const char* what; double value; double expected; };
    const Case cases[] = {
        {"half a unit above an even fraction stays", 1.0 + ulp / 2, 1.0},
        {"half a unit above an odd fraction goes up", 1.0 + 1.5 * ulp, 1.0 + 2 * ulp},
        {"just above half a unit goes up", 1.0 + ulp / 2 + ulp / 1024, 1.0 + ulp},
        {"a carry into the exponent", 2.0 - ulp / 4, 2.0},
    };
    for (const Case& c : cases) EXPECT_EQ(RoundThroughReal48(c.value), c.expected) << c.what;
}

TEST(Real48, ValuesBeyondRangeAreErrorsAndTinyValuesBecomeZero) {
    EXPECT_THROW(DoubleToReal48(1e39), EFloatOverflow);
    EXPECT_THROW(DoubleToReal48(-1e39), EFloatOverflow);
    EXPECT_THROW(DoubleToReal48(std::numeric_limits<double>::infinity()), EFloatOverflow);
    EXPECT_THROW(DoubleToReal48(std::nan("")), EFloatInvalid);
    EXPECT_EQ(DoubleToReal48(1e-40), Bytes(0, 0, 0, 0, 0, 0));
    EXPECT_EQ(Real48ToDouble(Bytes(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F)), std::ldexp(2.0 - std::ldexp(1.0, -39), 126));
}

}  // namespace
}  // namespace tamber
