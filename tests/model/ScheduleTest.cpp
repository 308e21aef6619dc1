#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "Errors.h"
#include "TestSupport.h"

namespace tamber {
namespace {

using test::RecordBuilder;
using test::Ymd;

// A plan that sums its amounts one occurrence at a time with the base rule, against the closed forms.
struct SummingPlan : TCustomPlan {
    explicit SummingPlan(const TPlanRecord& rec) : TCustomPlan(rec, pkCollect) {}
    int32_t PeriodAmount(int32_t K) const override { return K >= 1 && K <= Rec().PeriodCount ? K * 10 - 3 : 0; }
};

TEST(Schedule, OccurrencesReturnToTheirDayAfterShortMonths) {
    const struct { const char* what; TPlanRecord rec; std::vector<TDate> dates; } cases[] = {
        {"monthly from 31 January 2001", RecordBuilder(prMonthly, Ymd(2001, 1, 31), 4),
         {Ymd(2001, 1, 31), Ymd(2001, 2, 28), Ymd(2001, 3, 31), Ymd(2001, 4, 30)}},
        {"yearly from 29 February 2000", RecordBuilder(prYearly, Ymd(2000, 2, 29), 5),
         {Ymd(2000, 2, 29), Ymd(2001, 2, 28), Ymd(2002, 2, 28), Ymd(2003, 2, 28), Ymd(2004, 2, 29)}},
        {"quarterly from 31 August", RecordBuilder(prQuarterly, Ymd(2001, 8, 31), 3),
         {Ymd(2001, 8, 31), Ymd(2001, 11, 30), Ymd(2002, 2, 28)}},
        {"half-yearly across a year end", RecordBuilder(prHalfYearly, Ymd(2001, 12, 31), 3),
         {Ymd(2001, 12, 31), Ymd(2002, 6, 30), Ymd(2002, 12, 31)}},
        {"every two months", RecordBuilder(prEveryTwoMonths, Ymd(2001, 12, 30), 2), {Ymd(2001, 12, 30), Ymd(2002, 2, 28)}},
        {"every two years", RecordBuilder(prEveryTwoYears, Ymd(2000, 2, 29), 3), {Ymd(2000, 2, 29), Ymd(2002, 2, 28), Ymd(2004, 2, 29)}},
        {"every three years", RecordBuilder(prEveryThreeYears, Ymd(2001, 5, 5), 2), {Ymd(2001, 5, 5), Ymd(2004, 5, 5)}},
        {"every 10 days from day 100", RecordBuilder(prEveryNDays, 100.75, 3).Interval(10), {100, 110, 120}},
        {"three times a month from the 11th", RecordBuilder(prThriceMonthly, Ymd(2001, 1, 11), 4).Days(1, 11, 21),
         {Ymd(2001, 1, 11), Ymd(2001, 1, 21), Ymd(2001, 2, 1), Ymd(2001, 2, 11)}},
        {"twice a month, the 31st shortened in April", RecordBuilder(prTwiceMonthly, Ymd(2001, 3, 1), 4).Days(15, 31),
         {Ymd(2001, 3, 15), Ymd(2001, 3, 31), Ymd(2001, 4, 15), Ymd(2001, 4, 30)}},
        {"twice a month from after the last listed day of December", RecordBuilder(prTwiceMonthly, Ymd(2001, 12, 26), 2).Days(10, 25),
         {Ymd(2002, 1, 10), Ymd(2002, 1, 25)}},
        {"twice a month from a listed day", RecordBuilder(prTwiceMonthly, Ymd(2001, 3, 25), 2).Days(10, 25),
         {Ymd(2001, 3, 25), Ymd(2001, 4, 10)}},
        {"once, the count not read", RecordBuilder(prOnce, Ymd(2001, 7, 4), 1), {Ymd(2001, 7, 4)}},
    };
    for (const auto& c : cases) {
        const TFixAccount plan(c.rec);
        std::vector<TDate> dates;
        for (int32_t k = 1; k <= c.rec.PeriodCount; ++k) dates.push_back(plan.DateOfPeriod(k));
        EXPECT_EQ(dates, c.dates) << c.what;
        EXPECT_EQ(plan.FirstDate(), c.dates.front()) << c.what;
        EXPECT_EQ(plan.LastDate(), c.dates.back()) << c.what;
        EXPECT_EQ(plan.DateOfPeriod(0), 0) << c.what;
        EXPECT_EQ(plan.DateOfPeriod(c.rec.PeriodCount + 1), 0) << c.what;
    }
}

TEST(Schedule, PeriodNumbersCountCalendarMonthsAndNaNIsNoDay) {
    const TFixAccount monthly(RecordBuilder(prMonthly, Ymd(2001, 1, 15), 12).Amount(-500));
    EXPECT_EQ(monthly.PeriodNumber(Ymd(2001, 3, 1)), 3) << "the days before the 15th are in the month's period";
    EXPECT_EQ(monthly.PeriodIndex(Ymd(2001, 2, 28), Ymd(2001, 5, 1)), 4);
    EXPECT_EQ(TFixAccount(RecordBuilder(prOnce, Ymd(2001, 7, 4), 1)).PeriodNumber(Ymd(2030, 1, 1)), 1);
    EXPECT_EQ(monthly.AmountBeforeMonth(2001, 4, Ymd(2001, 1, 31)), -1000) << "15 February and 15 March";
    EXPECT_THROW(monthly.NextOccurrence(std::nan("")), EInvalidDate);
    EXPECT_THROW(monthly.PrevOccurrence(std::nan("")), EInvalidDate);
    EXPECT_EQ(monthly.FirstYear() * 10000 + monthly.FirstMonth() * 100 + monthly.FirstDay(), 20010115);
}

TEST(Schedule, RecordsBreakingThePlanRulesAreRefusedWithAReason) {
    const struct { const char* what; TPlanRecord rec; const char* reason; } cases[] = {
        {"no periods", RecordBuilder(prMonthly, Ymd(2001, 1, 1), 0), "期數必須至少為 1"},
        {"zero interval", RecordBuilder(prEveryNDays, Ymd(2001, 1, 1), 3).Interval(0), "間隔天數必須至少為 1"},
        {"period kind 11", RecordBuilder(11, Ymd(2001, 1, 1), 3), "週期種類無效"},
        {"listed day 0", RecordBuilder(prTwiceMonthly, Ymd(2001, 1, 1), 3).Days(0, 10), "日期超過範圍"},
        {"listed day 32", RecordBuilder(prThriceMonthly, Ymd(2001, 1, 1), 3).Days(1, 10, 32), "日期超過範圍"},
        {"listed days repeated", RecordBuilder(prThriceMonthly, Ymd(2001, 1, 1), 3).Days(5, 10, 10), "日期請由小至大輸入"},
        {"start date not a number", RecordBuilder(prMonthly, std::nan(""), 3), "開始日期無效"},
        {"start date after year 9999", RecordBuilder(prMonthly, kMaxDay + 1, 3), "開始日期無效"},
        {"start date before year 1", RecordBuilder(prMonthly, kMinDay - 1, 3), "開始日期無效"},
        {"a listed day the first month lacks", RecordBuilder(prTwiceMonthly, Ymd(2001, 4, 20), 4).Days(15, 31), "第一期的日期不存在"},
        {"last occurrence after year 9999", RecordBuilder(prYearly, Ymd(2001, 1, 1), 9000), "最後一期的日期超過 9999 年"},
        {"last of a huge interval plan", RecordBuilder(prEveryNDays, Ymd(2001, 1, 1), INT32_MAX).Interval(INT32_MAX),
         "最後一期的日期超過 9999 年"},
        {"fields another period never reads are not checked", RecordBuilder(prMonthly, Ymd(2001, 1, 1), 1).Interval(0).Days(0, 0), ""},
        {"the last day there is", RecordBuilder(prMonthly, Ymd(9999, 12, 31), 1), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(PlanRecordProblem(c.rec), c.reason) << c.what;
    EXPECT_THROW(TLoan(RecordBuilder(prMonthly, Ymd(2001, 1, 1), 0)), EInvalidPlan);
}

// Generated plans of every period and plan kind against brute force over their own listed occurrences: the
// next and previous occurrence, the period numbers of a day and the sums over a span, of the closed forms and of
// a plan adding its occurrences one by one.
TEST(Schedule, EveryKindAgreesWithItsOccurrencesWalkedOneByOne) {
    std::mt19937 random(1000);
    const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    int made = 0;
    for (int round = 0; round < 4400; ++round) {
        const TPlanRecord rec = test::RandomRecord(random, round % kPeriodKindCount, EncodeDay(1950, 1, 1), EncodeDay(2080, 12, 31));
        const int32_t count = rec.PeriodCount;
        if (!PlanRecordProblem(rec).empty()) continue;  // a first listed day its month lacks
        ++made;
        const auto plan = CreateFrom(rec);
        const SummingPlan summing(rec);
        std::vector<TDate> dates;
        for (int32_t k = 1; k <= count; ++k) dates.push_back(plan->DateOfPeriod(k));
        SCOPED_TRACE(::testing::Message() << "round " << round << " start " << rec.StartDate << " count " << count);
        ASSERT_TRUE(std::is_sorted(dates.begin(), dates.end()));
        ASSERT_EQ(plan->LastDate(), dates.back());
        const auto next = [&](TDate d) { const auto it = std::upper_bound(dates.begin(), dates.end(), d); return it == dates.end() ? 0 : *it; };
        const auto prev = [&](TDate d) { const auto it = std::lower_bound(dates.begin(), dates.end(), d); return it == dates.begin() ? 0 : *(it - 1); };
        const auto sum = [&](const TCustomPlan& p, TDate after, TDate before) {
            int64_t s = 0;
            for (std::size_t k = 0; k < dates.size(); ++k) {
                if (dates[k] > after && dates[k] < before) s += p.PeriodAmount(static_cast<int32_t>(k + 1));
            }
            return s;
        };
        for (const TDate d : dates) {
            ASSERT_EQ(plan->PeriodNumber(d), std::lower_bound(dates.begin(), dates.end(), d) - dates.begin() + 1);
            ASSERT_EQ(plan->LastPeriodNumber(d), std::upper_bound(dates.begin(), dates.end(), d) - dates.begin());
            ASSERT_EQ(plan->NextOccurrence(d), next(d));
            ASSERT_EQ(plan->PrevOccurrence(d), prev(d));
        }
        const int lo = static_cast<int>(plan->FirstDate()) - 40, hi = static_cast<int>(plan->LastDate()) + 40;
        for (int probe = 0; probe < 30; ++probe) {
            const TDate d = uniform(lo, hi) + (probe % 3 == 0 ? 0.5 : 0.0);
            ASSERT_EQ(plan->NextOccurrence(d), next(d)) << "day " << d;
            ASSERT_EQ(plan->PrevOccurrence(d), prev(d)) << "day " << d;
            const TDate before = uniform(lo, hi);
            ASSERT_EQ(plan->AmountBetween(d, before), sum(*plan, d, before)) << "after " << d << " before " << before;
            ASSERT_EQ(summing.AmountBetween(d, before), sum(summing, d, before)) << "after " << d << " before " << before;
        }
    }
    EXPECT_GT(made, 3800);
}

}  // namespace
}  // namespace tamber
