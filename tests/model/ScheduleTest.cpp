#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "model/Errors.h"
#include "RecordBuilder.h"
#include "model/cplanunit.h"

namespace tamber {
namespace {

using test::RecordBuilder;
using test::Ymd;

std::vector<TDate> Occurrences(const TCustomPlan& plan) {
    std::vector<TDate> dates;
    for (int32_t k = 1; k <= plan.Rec().PeriodCount; ++k) dates.push_back(plan.DateOfPeriod(k));
    return dates;
}

TEST(Schedule, MonthEndStartsReturnToTheirDayAfterShortMonths) {
    struct Case { const char* what; TPlanRecord rec; std::vector<TDate> dates; };
    const Case cases[] = {
        {"monthly from 31 January 2001", RecordBuilder(prMonthly, Ymd(2001, 1, 31), 4),
         {Ymd(2001, 1, 31), Ymd(2001, 2, 28), Ymd(2001, 3, 31), Ymd(2001, 4, 30)}},
        {"yearly from 29 February 2000", RecordBuilder(prYearly, Ymd(2000, 2, 29), 5),
         {Ymd(2000, 2, 29), Ymd(2001, 2, 28), Ymd(2002, 2, 28), Ymd(2003, 2, 28), Ymd(2004, 2, 29)}},
        {"quarterly from 31 August", RecordBuilder(prQuarterly, Ymd(2001, 8, 31), 3),
         {Ymd(2001, 8, 31), Ymd(2001, 11, 30), Ymd(2002, 2, 28)}},
        {"half-yearly across a year end", RecordBuilder(prHalfYearly, Ymd(2001, 12, 31), 3),
         {Ymd(2001, 12, 31), Ymd(2002, 6, 30), Ymd(2002, 12, 31)}},
        {"every two months", RecordBuilder(prEveryTwoMonths, Ymd(2001, 12, 30), 2), {Ymd(2001, 12, 30), Ymd(2002, 2, 28)}},
        {"every two years from a leap day", RecordBuilder(prEveryTwoYears, Ymd(2000, 2, 29), 3),
         {Ymd(2000, 2, 29), Ymd(2002, 2, 28), Ymd(2004, 2, 29)}},
        {"every three years", RecordBuilder(prEveryThreeYears, Ymd(2001, 5, 5), 2), {Ymd(2001, 5, 5), Ymd(2004, 5, 5)}},
        {"every 10 days from day 100", RecordBuilder(prEveryNDays, 100.75, 3).Interval(10), {100, 110, 120}},
        {"three times a month from the 11th", RecordBuilder(prThriceMonthly, Ymd(2001, 1, 11), 4).Days(1, 11, 21),
         {Ymd(2001, 1, 11), Ymd(2001, 1, 21), Ymd(2001, 2, 1), Ymd(2001, 2, 11)}},
        {"twice a month, the 31st shortened in April", RecordBuilder(prTwiceMonthly, Ymd(2001, 3, 1), 4).Days(15, 31),
         {Ymd(2001, 3, 15), Ymd(2001, 3, 31), Ymd(2001, 4, 15), Ymd(2001, 4, 30)}},
        {"once", RecordBuilder(prOnce, Ymd(2001, 7, 4), 1), {Ymd(2001, 7, 4)}},
    };
    for (const Case& c : cases) {
        const TFixAccount plan(c.rec);
        EXPECT_EQ(Occurrences(plan), c.dates) << c.what;
        EXPECT_EQ(plan.FirstDate(), c.dates.front()) << c.what;
        EXPECT_EQ(plan.LastDate(), c.dates.back()) << c.what;
        for (std::size_t k = 1; k <= c.dates.size(); ++k) {
            EXPECT_EQ(plan.PeriodNumber(c.dates[k - 1]), static_cast<int32_t>(k)) << c.what << " period " << k;
        }
    }
}

TEST(Schedule, FirstOccurrenceOfListedDays) {
    struct Case { const char* what; TDate start; uint16_t a, b; TDate first; };
    const Case cases[] = {
        {"start before the first listed day", Ymd(2001, 3, 5), 10, 25, Ymd(2001, 3, 10)},
        {"start on a listed day", Ymd(2001, 3, 25), 10, 25, Ymd(2001, 3, 25)},
        {"start after the last listed day", Ymd(2001, 3, 26), 10, 25, Ymd(2001, 4, 10)},
        {"start after the last listed day of December", Ymd(2001, 12, 26), 10, 25, Ymd(2002, 1, 10)},
    };
    for (const Case& c : cases) {
        const TFixAccount plan(RecordBuilder(prTwiceMonthly, c.start, 6).Days(c.a, c.b));
        EXPECT_EQ(plan.FirstDate(), c.first) << c.what;
    }
}

TEST(Schedule, ListedDayThatTheFirstMonthLacksMakesNoPlan) {
    EXPECT_THROW(TFixAccount(RecordBuilder(prTwiceMonthly, Ymd(2001, 4, 20), 4).Days(15, 31)), EInvalidDate);
    EXPECT_THROW(TFixAccount(RecordBuilder(prThriceMonthly, Ymd(2001, 2, 20), 4).Days(1, 15, 30)), EInvalidDate);
    EXPECT_NE(PlanRecordProblem(RecordBuilder(prTwiceMonthly, Ymd(2001, 4, 20), 4).Days(15, 31)), "");
}

TEST(Schedule, NextAndPreviousOccurrence) {
    const TFixAccount tenDays(RecordBuilder(prEveryNDays, 100, 3).Interval(10));
    const TFixAccount everyTwoYears(RecordBuilder(prEveryTwoYears, Ymd(2001, 3, 10), 5));
    const TFixAccount once(RecordBuilder(prOnce, Ymd(2001, 7, 4), 1));
    const TFixAccount monthly(RecordBuilder(prMonthly, Ymd(2001, 1, 31), 12));
    struct Case { const char* what; const TCustomPlan& plan; TDate day; TDate next, prev; };
    const Case cases[] = {
        {"between occurrences", tenDays, 115, 120, 110},
        {"on the last occurrence", tenDays, 120, 0, 110},
        {"after the last occurrence", tenDays, 121, 0, 120},
        {"on the first occurrence", tenDays, 100, 110, 0},
        {"many periods before the first", tenDays, -5000, 100, 0},
        {"a day with a time of day", tenDays, 109.5, 110, 100},
        {"every two years, a day in the off year", everyTwoYears, Ymd(2002, 6, 1), Ymd(2003, 3, 10), Ymd(2001, 3, 10)},
        {"every two years, the day before", everyTwoYears, Ymd(2003, 3, 9), Ymd(2003, 3, 10), Ymd(2001, 3, 10)},
        {"once, a day before", once, Ymd(2001, 1, 1), Ymd(2001, 7, 4), 0},
        {"once, the day itself", once, Ymd(2001, 7, 4), 0, 0},
        {"once, a day after", once, Ymd(2002, 1, 1), 0, Ymd(2001, 7, 4)},
        {"monthly, after a shortened day", monthly, Ymd(2001, 2, 28), Ymd(2001, 3, 31), Ymd(2001, 1, 31)},
        {"monthly, in a month before its day", monthly, Ymd(2001, 4, 10), Ymd(2001, 4, 30), Ymd(2001, 3, 31)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.plan.NextOccurrence(c.day), c.next) << c.what;
        EXPECT_EQ(c.plan.PrevOccurrence(c.day), c.prev) << c.what;
    }
    EXPECT_THROW(tenDays.NextOccurrence(std::nan("")), EInvalidDate);
}

TEST(Schedule, PeriodNumbersCountCalendarMonthsAndIgnoreTheDay) {
    const TFixAccount monthly(RecordBuilder(prMonthly, Ymd(2001, 1, 31), 12));
    const TFixAccount monthly15(RecordBuilder(prMonthly, Ymd(2001, 1, 15), 12));
    const TFixAccount once(RecordBuilder(prOnce, Ymd(2001, 7, 4), 1));
    const TFixAccount thrice(RecordBuilder(prThriceMonthly, Ymd(2001, 1, 11), 9).Days(1, 11, 21));
    EXPECT_EQ(monthly.PeriodNumber(Ymd(2001, 2, 10)), 2);
    EXPECT_EQ(monthly15.PeriodNumber(Ymd(2001, 3, 1)), 3);
    EXPECT_EQ(once.PeriodNumber(Ymd(1990, 1, 1)), 1);
    EXPECT_EQ(once.PeriodNumber(Ymd(2030, 1, 1)), 1);
    EXPECT_EQ(thrice.DateOfPeriod(4), Ymd(2001, 2, 11));
    EXPECT_EQ(thrice.DateOfPeriod(0), 0);
    EXPECT_EQ(thrice.DateOfPeriod(10), 0);
}

TEST(Schedule, ListedDaysShortenedOntoOneMonthEndAreBothCounted) {
    // The 30th and the 31st both fall on 30 April; both occurrences are owed.
    const TFixAccount plan(RecordBuilder(prThriceMonthly, Ymd(2001, 3, 1), 6).Days(1, 30, 31).Amount(100, -1));
    EXPECT_EQ(plan.DateOfPeriod(5), Ymd(2001, 4, 30));
    EXPECT_EQ(plan.DateOfPeriod(6), Ymd(2001, 4, 30));
    EXPECT_EQ(plan.PeriodNumber(Ymd(2001, 4, 30)), 5);
    EXPECT_EQ(plan.LastPeriodNumber(Ymd(2001, 4, 30)), 6);
    EXPECT_EQ(plan.AmountBetween(Ymd(2001, 4, 1), Ymd(2001, 5, 1)), -200);
    const test::SummingPlan generic(plan.Rec());
    EXPECT_EQ(generic.AmountBetween(Ymd(2001, 3, 31), Ymd(2001, 5, 1)), -300);
}

TEST(Schedule, AmountBetweenSumsOccurrencesStrictlyInside) {
    const TPlanRecord rent = RecordBuilder(prMonthly, Ymd(2001, 1, 15), 12).Amount(500, -1);
    const TFixAccount fix(rent);
    const test::SummingPlan generic(rent);
    struct Case { const char* what; TDate after, before; int32_t sum; };
    const Case cases[] = {
        {"15 February and 15 March", Ymd(2001, 1, 31), Ymd(2001, 4, 1), -1000},
        {"bounds on occurrences are excluded", Ymd(2001, 2, 15), Ymd(2001, 4, 15), -500},
        {"no occurrence inside", Ymd(2001, 2, 16), Ymd(2001, 3, 15), 0},
        {"before the first to after the last", Ymd(2000, 1, 1), Ymd(2003, 1, 1), -6000},
        {"reversed bounds", Ymd(2001, 6, 1), Ymd(2001, 2, 1), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fix.AmountBetween(c.after, c.before), c.sum) << c.what;
        EXPECT_EQ(generic.AmountBetween(c.after, c.before), c.sum) << c.what;
    }
    EXPECT_EQ(fix.AmountBeforeMonth(2001, 4, Ymd(2001, 1, 31)), -1000);
}

TEST(Schedule, SumsBeyond32BitsAreErrorsNotWrappedFigures) {
    const TFixAccount big(RecordBuilder(prEveryNDays, 1000, 10).Interval(1).Amount(std::numeric_limits<int32_t>::max()));
    EXPECT_THROW(big.AmountBetween(999, 2000), EAmountRange);
    const test::SummingPlan bigSummed(big.Rec());
    EXPECT_THROW(bigSummed.AmountBetween(999, 2000), EAmountRange);
    const TFixAccount lowest(RecordBuilder(prOnce, 1000, 1).Amount(std::numeric_limits<int32_t>::min(), -1));
    EXPECT_THROW(lowest.PeriodAmount(1), EAmountRange);
}

TEST(Schedule, RecordsBreakingThePlanRulesAreRefusedWithAReason) {
    struct Case { const char* what; TPlanRecord rec; const char* reason; };
    const Case cases[] = {
        {"no periods", RecordBuilder(prMonthly, Ymd(2001, 1, 1), 0), "期數必須至少為 1"},
        {"negative period count", RecordBuilder(prMonthly, Ymd(2001, 1, 1), -3), "期數必須至少為 1"},
        {"zero interval", RecordBuilder(prEveryNDays, Ymd(2001, 1, 1), 3).Interval(0), "間隔天數必須至少為 1"},
        {"negative interval", RecordBuilder(prEveryNDays, Ymd(2001, 1, 1), 3).Interval(-7), "間隔天數必須至少為 1"},
        {"period kind 11", RecordBuilder(11, Ymd(2001, 1, 1), 3), "週期種類無效"},
        {"listed day 0", RecordBuilder(prTwiceMonthly, Ymd(2001, 1, 1), 3).Days(0, 10), "日期超過範圍"},
        {"listed day 32", RecordBuilder(prThriceMonthly, Ymd(2001, 1, 1), 3).Days(1, 10, 32), "日期超過範圍"},
        {"listed days out of order", RecordBuilder(prTwiceMonthly, Ymd(2001, 1, 1), 3).Days(20, 10), "日期請由小至大輸入"},
        {"listed days repeated", RecordBuilder(prThriceMonthly, Ymd(2001, 1, 1), 3).Days(5, 10, 10), "日期請由小至大輸入"},
        {"start date not a number", RecordBuilder(prMonthly, std::nan(""), 3), "開始日期無效"},
        {"start date after year 9999", RecordBuilder(prMonthly, 3e6, 3), "開始日期無效"},
        {"last occurrence after year 9999", RecordBuilder(prYearly, Ymd(2001, 1, 1), 9000), "最後一期的日期超過 9999 年"},
        {"last of a huge interval plan", RecordBuilder(prEveryNDays, Ymd(2001, 1, 1), 2147483647).Interval(2147483647),
         "最後一期的日期超過 9999 年"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlanRecordProblem(c.rec), c.reason) << c.what;
        EXPECT_THROW(CreateFrom(pkLoan, c.rec), ETamberError) << c.what;
    }
    // Fields other kinds never read are not checked.
    EXPECT_EQ(PlanRecordProblem(RecordBuilder(prMonthly, Ymd(2001, 1, 1), 3).Interval(0).Days(0, 0)), "");
}

}  // namespace
}  // namespace tamber
