#include "model/PlanRecord.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "model/Errors.h"
#include "RecordBuilder.h"
#include "model/cplanunit.h"

namespace tamber {
namespace {

using test::RecordBuilder;
using test::Ymd;

TRecordBytes RandomBytes(unsigned seed) {
    std::mt19937 random(seed);
    TRecordBytes bytes;
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

TEST(PlanRecord, AnyRecordReadAndWrittenAgainKeepsAll188Bytes) {
    for (unsigned seed = 0; seed < 50; ++seed) {
        const TRecordBytes bytes = RandomBytes(seed);
        EXPECT_EQ(RecordToBytes(RecordFromBytes(bytes)), bytes);
    }
}

TEST(PlanRecord, DescriptionIsCutAt120BytesWithoutSplittingACharacter) {
    struct Case { const char* what; std::string text; std::size_t stored; };
    const std::string han = "\xA9\xD0";  // one two-byte character
    std::string sixty, sixtyOne, oddStart = "x";
    for (int i = 0; i < 60; ++i) sixty += han;
    sixtyOne = sixty + han;
    for (int i = 0; i < 60; ++i) oddStart += han;
    const Case cases[] = {
        {"60 Chinese characters fill the field", sixty, 120},
        {"a 61st character is dropped", sixtyOne, 120},
        {"130 Latin letters keep the first 120", std::string(130, 'a'), 120},
        {"a character across the limit is dropped whole", oddStart, 119},
        {"short text kept", "rent", 4},
    };
    for (const Case& c : cases) {
        TPlanRecord rec = ZeroPlanRecord();
        SetDescriptionBytes(rec, c.text);
        EXPECT_EQ(rec.Description.Length, c.stored) << c.what;
        EXPECT_EQ(DescriptionBytes(rec), std::string_view(c.text).substr(0, c.stored)) << c.what;
    }
}

TEST(PlanRecord, DamagedLengthByteReadsAsTheFullField) {
    TPlanRecord rec = ZeroPlanRecord();
    rec.Description.Length = 200;
    EXPECT_EQ(DescriptionBytes(rec).size(), 120u);
}

TEST(PlanRecord, PlanKeepsEveryByteOfItsRecordButThePlanKind) {
    TRecordBytes bytes = RandomBytes(7);
    TPlanRecord rec = RecordFromBytes(bytes);
    const TPlanRecord sound = RecordBuilder(prMonthly, Ymd(2001, 1, 31), 12).Amount(500, -1);
    rec.StartDate = sound.StartDate;
    rec.PeriodCount = sound.PeriodCount;
    rec.PeriodKind = sound.PeriodKind;
    rec.PlanKind = pkCompound;
    bytes = RecordToBytes(rec);

    const auto plan = CreateFrom(rec);
    ASSERT_NE(plan, nullptr);
    EXPECT_NE(dynamic_cast<const TCompound*>(plan.get()), nullptr);
    EXPECT_EQ(RecordToBytes(plan->Rec()), bytes);

    TSaving saving(rec);
    bytes[56] = pkSaving;
    EXPECT_EQ(RecordToBytes(saving.Rec()), bytes);
}

TEST(PlanRecord, EachKindByteMakesItsClassAndOtherBytesMakeNone) {
    TPlanRecord rec = RecordBuilder(prOnce, Ymd(2001, 1, 1), 1);
    for (int kind = 0; kind < 256; ++kind) {
        rec.PlanKind = static_cast<uint8_t>(kind);
        const auto plan = CreateFrom(rec);
        if (kind < kPlanKindCount) {
            ASSERT_NE(plan, nullptr) << kind;
            EXPECT_EQ(plan->Rec().PlanKind, kind);
        } else {
            EXPECT_EQ(plan, nullptr) << kind;
        }
    }
    EXPECT_NE(dynamic_cast<const TCollect*>(CreateFrom(pkCollect, rec).get()), nullptr);
    EXPECT_NE(dynamic_cast<const TLoan*>(CreateFrom(pkLoan, rec).get()), nullptr);
}

}  // namespace
}  // namespace tamber
