// What a plan record holds: dates, the six-byte real of its rate, its description in code page 950 and its 188 bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "TestSupport.h"
#include "model/Big5.h"
#include "model/Errors.h"

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

TEST(Dates, KnownDaysAndImpossibleDates) {
    const std::tuple<int, int, int, int32_t> known[] = {
        // read back from the day with a time of day
        {1899, 12, 30, 0},
        {1900, 3, 1, 61} /* 1900 is no leap year */,
        {2000, 2, 29, 36585},
        {1, 1, 1, kMinDay},
        {9999, 12, 31, kMaxDay},
    };
    for (const auto& [y, m, d, day] : known) EXPECT_EQ(std::pair(EncodeDay(y, m, d), DecodeDate(day + std::copysign(0.75, day))), std::pair(day, TYearMonthDay{y, m, d}));
    const struct { int y, m, d; } impossible[] = {{0, 1, 1}, {10000, 1, 1}, {2000, 0, 1}, {2000, 13, 1}, {2000, 1, 0}, {2001, 4, 31}, {1900, 2, 29}, {2000, 2, 30}};
    for (const auto& c : impossible) EXPECT_THROW(EncodeDay(c.y, c.m, c.d), EInvalidDate) << c.y << '-' << c.m << '-' << c.d;
    for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity(), kMaxDay + 1.0, kMinDay - 1.0}) EXPECT_THROW(DayOf(bad), EInvalidDate) << bad;
    EXPECT_EQ(DayOf(kMinDay) + DayOf(kMaxDay + 0.5), kMinDay + kMaxDay);
    for (const int32_t bad : {kMaxDay + 1, kMinDay - 1}) EXPECT_THROW(DecodeDay(bad), EInvalidDate) << bad;
    EXPECT_THROW(ClampedDate(2001, 4, 0), EInvalidDate);
    EXPECT_EQ(DaysInMonth(2000, 0) + DaysInMonth(2000, 13), 0) << "no such month";
}

TSixByteReal Bytes(uint8_t b0, uint8_t b5, uint8_t b1 = 0) {
    return TSixByteReal{{b0, b1, 0, 0, 0, b5}};
}

TEST(SixByteReal, KnownValuesRoundingAndRange) {
    const std::pair<double, TSixByteReal> known[] = {
        {1.0, Bytes(0x81, 0)},
        {12.0, Bytes(0x84, 0x40)} /* 1.5 x 2^3 */,
        {-12.0, Bytes(0x84, 0xC0)} /* the sign in byte 5 */,
        {0.0, Bytes(0, 0)},
        {1.0 + std::ldexp(1.0, -39), Bytes(0x81, 0, 1)} /* the lowest bit in byte 1 */,
        {std::ldexp(1.0, -128), Bytes(1, 0)} /* the smallest */,
    };
    for (const auto& [value, bytes] : known) EXPECT_EQ(std::pair(DoubleToSixByteReal(value), SixByteRealToDouble(bytes)), std::pair(bytes, value)) << value;
    EXPECT_EQ(SixByteRealToDouble(TSixByteReal{{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}), 0.0) << "exponent 0 is zero";
    const double largest = std::ldexp(2.0 - std::ldexp(1.0, -39), 126);
    EXPECT_EQ(SixByteRealToDouble(TSixByteReal{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}}), largest);
    const double ulp = std::ldexp(1.0, -39);  // one unit of the fraction at exponent 0
    const std::tuple<const char*, long double, double> ties[] = {
        {"half a unit above an even fraction stays", 1.0 + ulp / 2, 1.0},
        {"half a unit above an odd fraction goes up", 1.0 + 1.5 * ulp, 1.0 + 2 * ulp},
        {"a carry into the exponent", 2.0 - ulp / 4, 2.0},
        {"an extended value rounded once", 1.0L + ulp / 2 + ulp / 1e6L, 1.0 + ulp},
    };
    for (const auto& [what, value, rounded] : ties) EXPECT_EQ(RoundThroughSixByteReal(value), rounded) << what;
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
    const std::pair<std::string, std::size_t> cases[] = {{sixty, 120}, {sixty + han, 120}, {std::string(130, 'a'), 120}, {"x" + sixty, 119}, {"rent", 4}};
    for (const auto& [text, stored] : cases) {
        TPlanRecord rec = ZeroPlanRecord();
        rec.Description.Chars.fill('z');
        SetDescriptionBytes(rec, text);
        EXPECT_EQ(std::pair(DescriptionBytes(rec), rec.Description.Chars[119]), std::pair(std::string_view(text).substr(0, stored), stored == 120 ? text[119] : '\0'))
            << stored << ": unused bytes zeroed";
    }
    TPlanRecord damaged = ZeroPlanRecord();
    damaged.Description.Length = 200;
    EXPECT_EQ(DescriptionBytes(damaged).size(), 120u) << "a damaged length byte reads as the full field";
}

// Any 188 bytes read and written again are the same; each kind byte makes a plan (its rules: the money tests), which
// keeps every other byte.
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
    EXPECT_EQ(TSaving(rec).Rec().PlanKind, pkSaving) << "the class writes its own kind";
}

// Bytes followed by a letter or digit are written in octal ("\244" is 0xA4): a hex escape would take the letter in.
TEST(Big5, DecodesToUnicode) {
    const std::tuple<const char*, std::string, std::string> cases[] = {
        // what, the bytes, the text
        {"SalaryTrail7E", "\xC1\x7E\xA4\xF4", "薪水"},
        {"FullWidthParentheses", "\xA1\x5D\xB3\xE6\xA7\x51\xA1\x5E", "（單利）"},
        {"Trail5CIsNotBackslash", "\xB3\x5C\xA5\x5C\xBB\x5C", "許功蓋"},
        {"EuroAndSecondBoxDrawingCode", "\xA3\xE1\xF9\xF9", "€═"},
        {"LoneLeadAtEnd", "\xA9\xD0\xA4", "房\uFFFD"},
        {"ByteFFKeepsNextPair", "\xFF\xA4\x40", "\uFFFD一"},
        {"LeadThenAsciiDigitKeepsDigit", "\2441", "\uFFFD1"},
        {"UnmappedPairIsOneUnit", "\xC8@A\x81\xFE", "\uFFFDA\uFFFD"},
    };
    for (const auto& [what, bytes, utf8] : cases) EXPECT_EQ(std::pair(Big5ToUtf8(bytes), Big5Decode(bytes)), std::pair(utf8, U32FromUtf8(utf8))) << what;
}

TEST(Big5, EncodesFromUnicode) {
    const std::tuple<const char*, std::string, std::string, std::string> cases[] = {
        // what, the text, the bytes, what did not map
        {"FullWidthParentheses", "（跟會）", "\xA1\x5D\xB8\xF2\xB7\x7C\xA1\x5E", ""},
        {"DuplicatesTakeUsualCode", "十═", "\xA4\x51\xA2\xA4", ""},
        {"CentSignAsFullWidthCent", "¢", "\xA2\x46", ""},
        {"Emoji", "房租💰", "\xA9\xD0\xAF\xB2?", "💰"},
        {"SimplifiedOnlyListedOnce", "我们们", "\xA7\xDA??", "们"},
        {"UnmappableInFirstAppearanceOrder", "们é💰é们", "?????", "们é💰"},
        {"MalformedUtf8IsReplacement", "\xC3(", "?(", "\uFFFD"},
        {"EncodedSurrogateIsThreeUnits", "\xED\xA0\x80", "???", "\uFFFD"},
        {"FourBytesOutsideTheFirstPlane", "\xF1\x80\x80\x80", "?", "\xF1\x80\x80\x80"},
    };
    for (const auto& [what, utf8, bytes, unmappable] : cases) {
        const TBig5Encoded fromUtf8 = Utf8ToBig5(utf8), fromU32 = Big5Encode(U32FromUtf8(utf8));
        EXPECT_EQ(std::tuple(fromUtf8.Bytes, Utf8FromU32(fromUtf8.Unmappable), fromU32.Bytes, fromU32.Unmappable), std::tuple(bytes, unmappable, bytes, fromUtf8.Unmappable))
            << what;
    }
}

TEST(Big5, CutLengthNeverSplitsAPair) {
    const std::string rent = "\xA9\xD0\xAF\xB2";  // 房租: both trail bytes look like lead bytes
    std::string sixty;
    for (int i = 0; i < 30; ++i) sixty += rent;
    const std::tuple<const char*, std::string, std::size_t, std::size_t> cases[] = {
        // what, the bytes, the most to keep, how many are
        {"SixtyCharactersFitExactly", sixty, 120, 120},
        {"OddLimitBacksOffOne", sixty, 119, 118},
        {"TrailLikeLeadAtCutIsKept", rent, 2, 2},
        {"InsidePairAfterAscii", "A" + rent, 2, 1},
        {"Trail5CIsNotAscii", "\xB3\x5C\xA5\x5C", 3, 2},
        {"LoneLeadBeforeDigitIsItsOwnUnit", "\2441" + rent, 1, 1},
        {"ZeroLimit", rent, 0, 0},
    };
    for (const auto& [what, bytes, most, kept] : cases) EXPECT_EQ(Big5CutLength(bytes, most), kept) << what;
}

}  // namespace
}  // namespace tamber
