#include "Big5.h"

#include <gtest/gtest.h>

#include <string>

namespace tamber {
namespace {

TEST(Big5, DecodesToUnicode) {
    const struct {
        const char* Name;
        std::string Bytes, Utf8;
    } cases[] = {
        {"Rent", "\xA9\xD0\xAF\xB2", "房租"},
        {"SalaryTrail7E", "\xC1\x7E\xA4\xF4", "薪水"},
        {"RotatingSavingsClub", "\xB8\xF2\xB7\x7C", "跟會"},
        {"FixedDepositFullWidthSlash", "\xA9\x77\xA6\x73\xA1\xFE\xA6\x73\xA5\xBB\xA8\xFA\xAE\xA7(\xB3\xE6\xA7\x51)",
         "定存／存本取息(單利)"},
        {"FullWidthParentheses", "\xA1\x5D\xB3\xE6\xA7\x51\xA1\x5E", "（單利）"},
        {"Trail5CIsNotBackslash", "\xB3\x5C\xA5\x5C\xBB\x5C", "許功蓋"},
        {"AsciiMixed", "Rent \xA9\xD0\xAF\xB2 NT$12,000", "Rent 房租 NT$12,000"},
        {"EuroAndSecondBoxDrawingCode", "\xA3\xE1\xF9\xF9", "€═"},
        {"LoneLeadAtEnd", "\xA9\xD0\xA4", "房\uFFFD"},
        {"Byte80", "A\x80" "B", "A\uFFFDB"},
        {"ByteFFKeepsNextPair", "\xFF\xA4\x40", "\uFFFD一"},
        {"LeadThenLetterIsAPair", "\xA4" "A", "乙"},
        {"LeadThenAsciiDigitKeepsDigit", "\xA4" "1", "\uFFFD" "1"},
        {"LeadThenNewlineKeepsNewline", "\xA4\n\xA4\x40", "\uFFFD\n一"},
        {"LeadThenByte80IsTwoUnits", "\xA4\x80", "\uFFFD\uFFFD"},
        {"LeadThenLeadOnlyByteStartsNewPair", "\xA4\x81\xA4\x40", "\uFFFD\uFFFD" "@"},
        {"UnmappedPairIsOneUnit", "\xC8\x40" "A\x81\xFE", "\uFFFD" "A\uFFFD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Big5ToUtf8(c.Bytes), c.Utf8);
        EXPECT_EQ(Big5Decode(c.Bytes), U32FromUtf8(c.Utf8));
    }
}

TEST(Big5, EncodesFromUnicode) {
    const struct {
        const char* Name;
        std::string Utf8, Bytes, UnmappableUtf8;
    } cases[] = {
        {"Rent", "房租", "\xA9\xD0\xAF\xB2", ""},
        {"FixedDepositFullWidthSlash", "定存／存本取息(單利)",
         "\xA9\x77\xA6\x73\xA1\xFE\xA6\x73\xA5\xBB\xA8\xFA\xAE\xA7(\xB3\xE6\xA7\x51)", ""},
        {"FullWidthParentheses", "（跟會）", "\xA1\x5D\xB8\xF2\xB7\x7C\xA1\x5E", ""},
        {"DuplicatesTakeUsualCode", "十═", "\xA4\x51\xA2\xA4", ""},
        {"CentSignAsFullWidthCent", "¢", "\xA2\x46", ""},
        {"Emoji", "房租💰", "\xA9\xD0\xAF\xB2?", "💰"},
        {"SimplifiedOnlyListedOnce", "我们们", "\xA7\xDA??", "们"},
        {"UnmappableInFirstAppearanceOrder", "们é💰é们", "?????", "们é💰"},
        {"MalformedUtf8IsReplacement", "\xC3(", "?(", "\uFFFD"},
        {"TruncatedSequenceIsOneUnit", "\xE6\x88" "A", "?A", "\uFFFD"},
        {"EncodedSurrogateIsThreeUnits", "\xED\xA0\x80", "???", "\uFFFD"},
        {"FourBytesOutsideTheFirstPlane", "\xF1\x80\x80\x80", "?", "\xF1\x80\x80\x80"},
        {"OverlongFourBytesAreFourUnits", "\xF0\x8F\xBF\xBF", "????", "\uFFFD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TBig5Encoded fromUtf8 = Utf8ToBig5(c.Utf8);
        EXPECT_EQ(fromUtf8.Bytes, c.Bytes);
        EXPECT_EQ(Utf8FromU32(fromUtf8.Unmappable), c.UnmappableUtf8);
        const TBig5Encoded fromU32 = Big5Encode(U32FromUtf8(c.Utf8));
        EXPECT_EQ(fromU32.Bytes, fromUtf8.Bytes);
        EXPECT_EQ(fromU32.Unmappable, fromUtf8.Unmappable);
    }
}

TEST(Big5, EveryMappedCodeRoundTripsToItsCharacter) {
    int mapped = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) trail = 0xA1;
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u32string text = Big5Decode(code);
            ASSERT_EQ(text.size(), 1u) << std::hex << lead << ' ' << trail;
            if (text[0] == 0xFFFD) continue;
            ++mapped;
            const TBig5Encoded back = Big5Encode(text);
            ASSERT_EQ(back.Bytes.size(), 2u) << std::hex << lead << ' ' << trail;
            ASSERT_EQ(Big5Decode(back.Bytes), text) << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_EQ(mapped, 13752);
}

TEST(Big5, CutLengthNeverSplitsAPair) {
    const std::string rent = "\xA9\xD0\xAF\xB2";  // 房租: both trail bytes look like lead bytes
    std::string sixty;
    for (int i = 0; i < 30; ++i) sixty += rent;
    const struct {
        const char* Name;
        std::string Bytes;
        std::size_t MaxBytes, Expected;
    } cases[] = {
        {"SixtyCharactersFitExactly", sixty, 120, 120},
        {"OddLimitBacksOffOne", sixty, 119, 118},
        {"TrailLikeLeadAtCutIsKept", rent, 2, 2},
        {"InsidePairAfterAscii", "A" + rent, 2, 1},
        {"PairAfterAsciiFits", "A" + rent, 3, 3},
        {"Trail5CIsNotAscii", "\xB3\x5C\xA5\x5C", 3, 2},
        {"LoneLeadBeforeDigitIsItsOwnUnit", "\xA4" "1" + rent, 1, 1},
        {"LimitBeyondLength", rent, 10, 4},
        {"ZeroLimit", rent, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Big5CutLength(c.Bytes, c.MaxBytes), c.Expected);
    }
}

}  // namespace
}  // namespace tamber
