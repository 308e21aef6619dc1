// What a plan record holds: dates, the six-byte real of its rate, its description and its 188 bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "Errors.h"
#include "TestSupport.h"

namespace tamber {
namespace {

using test::RecordBuilder;

TEST(Dates, EveryDayOfYears1To9999RoundTripsAndFollowsTheDayBefore) {
    TYearMonthDay prev = DecodeDay(kMinDay);
    ASSERT_EQ(prev, (TYearMonthDay{1, 1, 1}));
    for (int32_t day = kMinDay + 1; day <= kMaxDay; ++day) {
        const TYearMonthDay ymd = DecodeDay(day);
        const bool nextInMonth = ymd.Year == prev.Year && ymd.Month == prev.Month && ymd.Day == prev.Day + 1;
        const bool firstOfNextMonth = ymd.Day == 1 && prev.Day == DaysInMonth(prev.Year, prev.Month) &&
                                      (ymd.Month == prev.Month + 1 || (ymd.Month == 1 && prev.Month == 12 && ymd.Year == prev.Year + 1));
        ASSERT_TRUE(nextInMonth || firstOfNextMonth) << "day " << day;
        ASSERT_EQ(EncodeDay(ymd.Year, ymd.Month, ymd.Day), day);
        prev = ymd;
    }
    EXPECT_EQ(prev, (TYearMonthDay{9999, 12, 31}));
}

TEST(Dates, KnownDaysImpossibleDatesAndMonthEnds) {
    const struct { int y, m, d; int32_t day; } known[] = {
        {1899, 12, 30, 0}, {1900, 1, 1, 2}, {1900, 3, 1, 61} /* 1900 is no leap year */, {2000, 2, 29, 36585}, {1, 1, 1, kMinDay},
        {9999, 12, 31, kMaxDay},
    };
    for (const auto& c : known) {
        EXPECT_EQ(EncodeDay(c.y, c.m, c.d), c.day);
        EXPECT_EQ(DecodeDate(c.day + std::copysign(0.75, c.day)), (TYearMonthDay{c.y, c.m, c.d}));  // the time of day dropped
    }
    const struct { int y, m, d; } impossible[] = {{0, 1, 1}, {10000, 1, 1}, {2000, 0, 1}, {2000, 13, 1}, {2000, 1, 0}, {2001, 4, 31},
                                                  {1900, 2, 29}, {2000, 2, 30}};
    for (const auto& c : impossible) EXPECT_THROW(EncodeDay(c.y, c.m, c.d), EInvalidDate) << c.y << '-' << c.m << '-' << c.d;
    for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity(), double{kMaxDay} + 1, double{kMinDay} - 1}) {
        EXPECT_THROW(DayOf(bad), EInvalidDate) << bad;
    }
    EXPECT_EQ(DayOf(kMinDay) + DayOf(kMaxDay + 0.5), kMinDay + kMaxDay);
    EXPECT_THROW(DecodeDay(kMaxDay + 1), EInvalidDate);
    EXPECT_THROW(DecodeDay(kMinDay - 1), EInvalidDate);
    const struct { int y, m, d; TYearMonthDay shown; } clamped[] = {
        {2001, 2, 31, {2001, 2, 28}}, {2004, 2, 31, {2004, 2, 29}}, {2001, 4, 31, {2001, 4, 30}}, {2001, 4, 30, {2001, 4, 30}},
        {2001, 4, 15, {2001, 4, 15}},
    };
    for (const auto& c : clamped) EXPECT_EQ(DecodeDate(ClampedDate(c.y, c.m, c.d)), c.shown) << c.y << '-' << c.m << '-' << c.d;
    EXPECT_THROW(ClampedDate(2001, 4, 0), EInvalidDate);
    EXPECT_THROW(ClampedDate(2001, 13, 1), EInvalidDate);
}

TSixByteReal Bytes(uint8_t b0, uint8_t b5, uint8_t b1 = 0) { return TSixByteReal{{b0, b1, 0, 0, 0, b5}}; }

TEST(SixByteReal, KnownValuesRoundingAndRange) {
    const struct { double value; TSixByteReal bytes; } known[] = {
        {1.0, Bytes(0x81, 0)}, {12.0, Bytes(0x84, 0x40)} /* 1.5 x 2^3 */, {-12.0, Bytes(0x84, 0xC0)} /* the sign in byte 5 */,
        {0.5, Bytes(0x80, 0)}, {0.0, Bytes(0, 0)}, {1.0 + std::ldexp(1.0, -39), Bytes(0x81, 0, 1)} /* the lowest bit in byte 1 */,
        {std::ldexp(1.0, -128), Bytes(1, 0)} /* the smallest */,
    };
    for (const auto& c : known) {
        EXPECT_EQ(DoubleToSixByteReal(c.value), c.bytes) << c.value;
        EXPECT_EQ(SixByteRealToDouble(c.bytes), c.value) << c.value;
    }
    EXPECT_EQ(SixByteRealToDouble(TSixByteReal{{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}), 0.0) << "exponent 0 is zero";
    const double largest = std::ldexp(2.0 - std::ldexp(1.0, -39), 126);
    EXPECT_EQ(SixByteRealToDouble(TSixByteReal{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}}), largest);
    EXPECT_EQ(RoundThroughSixByteReal(largest), largest);
    const double ulp = std::ldexp(1.0, -39);  // one unit of the fraction at exponent 0
    const struct { const char* what; long double value; double rounded; } ties[] = {
        {"half a unit above an even fraction stays", 1.0 + ulp / 2, 1.0},
        {"half a unit above an odd fraction goes up", 1.0 + 1.5 * ulp, 1.0 + 2 * ulp},
        {"a carry into the exponent", 2.0 - ulp / 4, 2.0},
        {"an extended value rounded once", 1.0L + ulp / 2 + ulp / 1e6L, 1.0 + ulp},
    };
    for (const auto& c : ties) EXPECT_EQ(RoundThroughSixByteReal(c.value), c.rounded) << c.what;
    EXPECT_THROW(DoubleToSixByteReal(1e39), EFloatOverflow);
    EXPECT_THROW(DoubleToSixByteReal(-std::numeric_limits<double>::infinity()), EFloatOverflow);
    EXPECT_THROW(DoubleToSixByteReal(std::nan("")), EFloatInvalid);
    EXPECT_EQ(DoubleToSixByteReal(1e-40), Bytes(0, 0));
    std::mt19937_64 random(48);
    for (int i = 0; i < 100000; ++i) {  // every six-byte real is a double and comes back unchanged
        TSixByteReal r;
        for (auto& b : r.Bytes) b = static_cast<uint8_t>(random());
        ASSERT_TRUE(r.Bytes[0] == 0 || DoubleToSixByteReal(SixByteRealToDouble(r)) == r);
    }
}

TEST(PlanRecord, DescriptionIsCutAt120BytesWithoutSplittingACharacter) {
    const std::string han = "\xA9\xD0";  // one two-byte character
    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += han;
    const struct { std::string text; std::size_t stored; } cases[] = {{sixty, 120}, {sixty + han, 120}, {std::string(130, 'a'), 120},
                                                                       {"x" + sixty, 119}, {"rent", 4}};
    for (const auto& c : cases) {
        TPlanRecord rec = ZeroPlanRecord();
        rec.Description.Chars.fill('z');
        SetDescriptionBytes(rec, c.text);
        EXPECT_EQ(DescriptionBytes(rec), std::string_view(c.text).substr(0, c.stored)) << c.stored;
        EXPECT_EQ(rec.Description.Chars[119], c.stored == 120 ? c.text[119] : '\0') << c.stored << ": unused bytes zeroed";
    }
    TPlanRecord damaged = ZeroPlanRecord();
    damaged.Description.Length = 200;
    EXPECT_EQ(DescriptionBytes(damaged).size(), 120u) << "a damaged length byte reads as the full field";
}

// Any 188 bytes read and written again are the same; each kind byte makes its class, which keeps every other byte.
TEST(PlanRecord, EachKindByteMakesItsClassKeepingEveryOtherByte) {
    std::mt19937 random(9);
    TRecordBytes bytes;
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    EXPECT_EQ(RecordToBytes(RecordFromBytes(bytes)), bytes);
    EXPECT_EQ(RecordToBytes(ZeroPlanRecord()), TRecordBytes{});
    TPlanRecord rec = RecordFromBytes(bytes);
    const TPlanRecord sound = RecordBuilder(prMonthly, test::Ymd(2001, 1, 31), 12);
    std::tie(rec.StartDate, rec.PeriodCount, rec.PeriodKind) = std::tie(sound.StartDate, sound.PeriodCount, sound.PeriodKind);
    for (int kind = 0; kind < 256; ++kind) {
        rec.PlanKind = static_cast<uint8_t>(kind);
        const auto plan = CreateFrom(rec);
        ASSERT_EQ(plan != nullptr, kind < kPlanKindCount) << kind;
        EXPECT_TRUE(!plan || RecordToBytes(plan->Rec()) == RecordToBytes(rec)) << kind;
    }
    EXPECT_NE(dynamic_cast<const TCollect*>(CreateFrom(pkCollect, rec).get()), nullptr);
    EXPECT_NE(dynamic_cast<const TSaving*>(CreateFrom(pkSaving, rec).get()), nullptr);
    EXPECT_NE(dynamic_cast<const TCompound*>(CreateFrom(pkCompound, rec).get()), nullptr);
    EXPECT_NE(dynamic_cast<const TLoan*>(CreateFrom(pkLoan, rec).get()), nullptr);
    EXPECT_EQ(TSaving(rec).Rec().PlanKind, pkSaving) << "the class writes its own kind";
    EXPECT_EQ(AnnualRateOf(RecordBuilder(prOnce, 0, 1).Rate(5.5)), 5.5);
}

}  // namespace
}  // namespace tamber
