#include "PlanRecord.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TestSupport.h"

namespace tamber {
namespace {

using test::RecordBuilder;
using test::Ymd;

TEST(PlanRecord, AnyRecordReadAndWrittenAgainKeepsAll188Bytes) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        TRecordBytes bytes;
        for (auto& b : bytes) b = static_cast<uint8_t>(random());
        EXPECT_EQ(RecordToBytes(RecordFromBytes(bytes)), bytes);
    }
    EXPECT_EQ(RecordToBytes(ZeroPlanRecord()), TRecordBytes{});
}

TEST(PlanRecord, DescriptionIsCutAt120BytesWithoutSplittingACharacter) {
    const std::string han = "\xA9\xD0";  // one two-byte character
    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += han;
    const struct { const char* what; std::string text; std::size_t stored; } cases[] = {
        {"60 Chinese characters fill the field", sixty, 120},
        {"a 61st character is dropped", sixty + han, 120},
        {"130 Latin letters keep the first 120", std::string(130, 'a'), 120},
        {"a character across the limit is dropped whole", "x" + sixty, 119},
        {"short text kept", "rent", 4},
    };
    for (const auto& c : cases) {
        TPlanRecord rec = ZeroPlanRecord();
        rec.Description.Chars.fill('z');
        SetDescriptionBytes(rec, c.text);
        EXPECT_EQ(rec.Description.Length, c.stored) << c.what;
        EXPECT_EQ(DescriptionBytes(rec), std::string_view(c.text).substr(0, c.stored)) << c.what;
        EXPECT_EQ(rec.Description.Chars[119], c.stored == 120 ? c.text[119] : '\0') << c.what << ": unused bytes zeroed";
    }
    TPlanRecord damaged = ZeroPlanRecord();
    damaged.Description.Length = 200;
    EXPECT_EQ(DescriptionBytes(damaged).size(), 120u) << "a damaged length byte reads as the full field";
}

TEST(PlanRecord, EachKindByteMakesItsClassKeepingEveryOtherByte) {
    std::mt19937 random(9);
    TRecordBytes bytes;
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    TPlanRecord rec = RecordFromBytes(bytes);
    const TPlanRecord sound = RecordBuilder(prMonthly, Ymd(2001, 1, 31), 12);
    rec.StartDate = sound.StartDate;
    rec.PeriodCount = sound.PeriodCount;
    rec.PeriodKind = sound.PeriodKind;
    for (int kind = 0; kind < 256; ++kind) {
        rec.PlanKind = static_cast<uint8_t>(kind);
        const auto plan = CreateFrom(rec);
        ASSERT_EQ(plan != nullptr, kind < kPlanKindCount) << kind;
        if (plan) {
            EXPECT_EQ(RecordToBytes(plan->Rec()), RecordToBytes(rec)) << kind;
        }
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
