// The plans: the dates of their occurrences, their numbering and sums, and the money each occurrence moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/Errors.h"
#include "model/Fincalc.h"

namespace tamber {
namespace {

using test::RecordBuilder;
using test::Ymd;

// A plan that sums its amounts one occurrence at a time with the base rule, against the closed forms.
struct SummingPlan : TCustomPlan {
    explicit SummingPlan(const TPlanRecord& rec)
        : TCustomPlan(rec, pkCollect) {}
    int32_t PeriodAmount(int32_t K) const override { return K >= 1 && K <= Rec().PeriodCount ? K * 10 - 3 : 0; }
};

TEST(Schedule, OccurrencesReturnToTheirDayAfterShortMonths) {
    const std::tuple<const char*, TPlanRecord, std::vector<TDate>> cases[] = {
        {"monthly from 31 January 2001", RecordBuilder(prMonthly, Ymd(2001, 1, 31), 4), {Ymd(2001, 1, 31), Ymd(2001, 2, 28), Ymd(2001, 3, 31), Ymd(2001, 4, 30)}},
        {"yearly from 29 February 2000", RecordBuilder(prYearly, Ymd(2000, 2, 29), 5), {Ymd(2000, 2, 29), Ymd(2001, 2, 28), Ymd(2002, 2, 28), Ymd(2003, 2, 28), Ymd(2004, 2, 29)}},
        {"every two years", RecordBuilder(prEveryTwoYears, Ymd(2000, 2, 29), 3), {Ymd(2000, 2, 29), Ymd(2002, 2, 28), Ymd(2004, 2, 29)}},
        {"every 10 days from day 100", RecordBuilder(prEveryNDays, 100.75, 3).Interval(10), {100, 110, 120}},
        {"twice a month, the 31st shortened in April", RecordBuilder(prTwiceMonthly, Ymd(2001, 3, 1), 4).Days(15, 31), {Ymd(2001, 3, 15), Ymd(2001, 3, 31), Ymd(2001, 4, 15), Ymd(2001, 4, 30)}},
        {"twice a month from after the last listed day of December", RecordBuilder(prTwiceMonthly, Ymd(2001, 12, 26), 2).Days(10, 25), {Ymd(2002, 1, 10), Ymd(2002, 1, 25)}},
    };
    for (const auto& [what, rec, expected] : cases) {
        const TFixAccount plan(rec);
        std::vector<TDate> dates;
        for (int32_t k = 0; k <= rec.PeriodCount + 1; ++k) dates.push_back(plan.DateOfPeriod(k));
        EXPECT_EQ(std::tuple(dates.front(), std::vector(dates.begin() + 1, dates.end() - 1), dates.back(), plan.FirstDate(), plan.LastDate()),
                  std::tuple(0.0, expected, 0.0, expected.front(), expected.back()))
            << what;
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
    const std::tuple<const char*, TPlanRecord, const char*> cases[] = {
        {"no periods", RecordBuilder(prMonthly, Ymd(2001, 1, 1), 0), "期數必須至少為 1"},
        {"zero interval", RecordBuilder(prEveryNDays, Ymd(2001, 1, 1), 3).Interval(0), "間隔天數必須至少為 1"},
        {"period kind 11", RecordBuilder(11, Ymd(2001, 1, 1), 3), "週期種類無效"},
        {"listed day 0", RecordBuilder(prTwiceMonthly, Ymd(2001, 1, 1), 3).Days(0, 10), "日期超過範圍"},
        {"listed day 32", RecordBuilder(prThriceMonthly, Ymd(2001, 1, 1), 3).Days(1, 10, 32), "日期超過範圍"},
        {"listed days repeated", RecordBuilder(prThriceMonthly, Ymd(2001, 1, 1), 3).Days(5, 10, 10), "日期請由小至大輸入"},
        {"start date not a number", RecordBuilder(prMonthly, std::nan(""), 3), "開始日期無效"},
        {"start date after year 9999", RecordBuilder(prMonthly, kMaxDay + 1, 3), "開始日期無效"},
        {"a listed day the first month lacks", RecordBuilder(prTwiceMonthly, Ymd(2001, 4, 20), 4).Days(15, 31), "第一期的日期不存在"},
        {"last occurrence after year 9999", RecordBuilder(prYearly, Ymd(2001, 1, 1), 9000), "最後一期的日期超過 9999 年"},
        {"last of a huge interval plan", RecordBuilder(prEveryNDays, Ymd(2001, 1, 1), INT32_MAX).Interval(INT32_MAX),
         "最後一期的日期超過 9999 年"},
        {"fields another period never reads are not checked", RecordBuilder(prMonthly, Ymd(2001, 1, 1), 1).Interval(0).Days(0, 0), ""},
        {"the last day there is", RecordBuilder(prMonthly, Ymd(9999, 12, 31), 1), ""},
    };
    for (const auto& [what, rec, reason] : cases) EXPECT_EQ(PlanRecordProblem(rec), reason) << what;
    EXPECT_THROW(TLoan(RecordBuilder(prMonthly, Ymd(2001, 1, 1), 0)), EInvalidPlan);
}

// A record of any plan kind with Period Kind from between From and To (a quarter at noon), 1..40 periods, amounts that
// fit, listed days mostly late ones (shortened month ends are common). It may make no plan (a first day its month lacks).
TPlanRecord RandomRecord(std::mt19937& random, int periodKind, TDate from, TDate to) {
    const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const int count = periodKind == prOnce ? 1 : uniform(1, 40);
    RecordBuilder b(periodKind, uniform(int(from), int(to)) + (uniform(0, 3) == 0 ? 0.5 : 0), count);
    b.Interval(uniform(1, 400)).Amount(uniform(-5000, 5000)).Kind(uniform(0, 4)).Method(uniform(0, 5)).Rate(uniform(101, 2400) / 100.0);
    b.Club(uniform(0, 500), uniform(0, 900), uniform(-1, count + 1), uniform(0, 1), uniform(0, 300));
    std::set<uint16_t> days;
    while (days.size() < (periodKind == prThriceMonthly ? 3u : 2u)) days.insert(uint16_t(uniform(0, 1) ? uniform(1, 31) : uniform(26, 31)));
    std::vector<uint16_t> v(days.begin(), days.end());
    return b.Days(v[0], v[1], v.size() > 2 ? v[2] : 0);
}

// Generated plans of every kind against brute force over their own occurrences: next and previous, period numbers and
// sums over a span, of the closed forms and of a plan adding its occurrences one by one.
TEST(Schedule, EveryKindAgreesWithItsOccurrencesWalkedOneByOne) {
    std::mt19937 random(1000);
    const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    int made = 0;
    for (int round = 0; round < 4400; ++round) {
        const TPlanRecord rec = RandomRecord(random, round % kPeriodKindCount, EncodeDay(1950, 1, 1), EncodeDay(2080, 12, 31));
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
        const auto next = [&](TDate d) {
            const auto it = std::upper_bound(dates.begin(), dates.end(), d);
            return it == dates.end() ? 0 : *it;
        };
        const auto prev = [&](TDate d) {
            const auto it = std::lower_bound(dates.begin(), dates.end(), d);
            return it == dates.begin() ? 0 : *(it - 1);
        };
        const auto sum = [&](const TCustomPlan& p, TDate after, TDate before) {
            int64_t s = 0;
            for (std::size_t k = 0; k < dates.size(); ++k) s += dates[k] > after && dates[k] < before ? p.PeriodAmount(int32_t(k + 1)) : 0;
            return s;
        };
        for (const TDate d : dates) {
            ASSERT_EQ(std::tuple(plan->PeriodNumber(d), plan->LastPeriodNumber(d), plan->NextOccurrence(d), plan->PrevOccurrence(d)),
                      std::tuple(std::lower_bound(dates.begin(), dates.end(), d) - dates.begin() + 1, std::upper_bound(dates.begin(), dates.end(), d) - dates.begin(), next(d), prev(d)));
        }
        const int lo = static_cast<int>(plan->FirstDate()) - 40, hi = static_cast<int>(plan->LastDate()) + 40;
        for (int probe = 0; probe < 30; ++probe) {
            const TDate d = uniform(lo, hi) + (probe % 3 == 0 ? 0.5 : 0.0);
            const TDate before = uniform(lo, hi);
            ASSERT_EQ(std::tuple(plan->NextOccurrence(d), plan->PrevOccurrence(d), plan->AmountBetween(d, before), summing.AmountBetween(d, before)),
                      std::tuple(next(d), prev(d), sum(*plan, d, before), sum(summing, d, before)))
                << "day " << d << ", before " << before;
        }
    }
    EXPECT_GT(made, 3800);
}

RecordBuilder Monthly(int kind, int periodCount, int32_t amount) {
    return RecordBuilder(prMonthly, test::Ymd(2001, 1, 15), periodCount).Kind(kind).Amount(amount);
}

// The amounts of occurrences 1..P, written as runs: {count, amount}.
std::vector<int32_t> Runs(std::initializer_list<std::pair<int, int32_t>> runs) {
    std::vector<int32_t> amounts;
    for (const auto& [count, amount] : runs) amounts.insert(amounts.end(), static_cast<std::size_t>(count), amount);
    return amounts;
}

TEST(MoneyRules, EveryOccurrenceComesOutToTheUnit) {
    const auto club = [](int w, bool inner) { return Monthly(pkCollect, 10, 5000).Club(500, 800, w, inner, 300); };
    const auto loan = [](int method, double rate) { return Monthly(pkLoan, 13, 120000).Rate(rate).Method(method); };
    const std::tuple<const char*, TPlanRecord, std::vector<int32_t>> cases[] = {
        {"fixed expense", Monthly(pkFixAccount, 3, -3000), Runs({{3, -3000}})},
        {"simple deposit, monthly interest", Monthly(pkSaving, 13, 100000).Rate(6).Method(mtMonthlyInterest),
         Runs({{1, -100000}, {11, 500}, {1, 100500}})},
        {"simple deposit, interest at the end", Monthly(pkSaving, 13, 100000).Rate(6).Method(mtInterestAtEnd),
         Runs({{1, -100000}, {11, 0}, {1, 106000}})},
        {"simple deposit, a rate of 1 is 1 percent", Monthly(pkSaving, 3, 120000).Rate(1), Runs({{1, -120000}, {1, 100}, {1, 120100}})},
        {"simple deposit, ties to the even unit", Monthly(pkSaving, 3, 500).Rate(6), Runs({{1, -500}, {1, 2}, {1, 502}})},
        {"simple deposit, odd ties go up", Monthly(pkSaving, 3, 700).Rate(6), Runs({{1, -700}, {1, 4}, {1, 704}})},
        {"simple deposit, any other code is interest at the end", Monthly(pkSaving, 3, 1200).Rate(10).Method(7),
         Runs({{1, -1200}, {1, 0}, {1, 1220}})},
        {"compound, lump sum in and out", Monthly(pkCompound, 13, 100000).Rate(12).Method(mtLumpSumInOut),
         Runs({{1, -100000}, {11, 0}, {1, 112683}})},
        {"compound, a rate of 1 is 100 percent a year", Monthly(pkCompound, 2, 1200).Rate(1).Method(mtLumpSumInOut), {-1200, 1300}},
        {"compound, equal deposits in", Monthly(pkCompound, 12, 1000).Rate(12).Method(mtInstalmentsIn), Runs({{11, -1000}, {1, 11683}})},
        {"compound, lump sum in, equal draws", Monthly(pkCompound, 13, 100000).Rate(12).Method(mtMonthlyInterest),
         Runs({{1, -100000}, {12, 8885}})},
        {"loan, equal instalments", loan(mtEqualInstalments, 12), Runs({{1, 120000}, {12, -10662}})},
        {"loan, equal principal", loan(mtEqualPrincipal, 12), {120000, -11300, -11200, -11100, -11000, -10900, -10800, -10700, -10600, -10500, -10400, -10300, -10200}},
        {"club, outer bidding, collects 4th", club(4, false), Runs({{3, -5000}, {1, 46300}, {6, -5800}})},
        {"club, inner bidding, collects 4th", club(4, true), Runs({{3, -4500}, {1, 40200}, {6, -5000}})},
        {"club head, outer", club(1, false), Runs({{1, 45000}, {9, -5000}})},
        {"club, inner, collects last", club(10, true), Runs({{9, -4500}, {1, 45000}})},
        {"club, outer, meeting beyond the last", club(11, false), Runs({{10, -5000}})},
        {"single equal deposit: the last column", Monthly(pkCompound, 1, 1000).Rate(12).Method(mtInstalmentsIn), {0}},
        {"zero rate: equal principal needs no division", Monthly(pkLoan, 5, 1000).Rate(0).Method(mtEqualPrincipal),
         Runs({{1, 1000}, {4, -250}})},
    };
    for (const auto& [what, rec, expected] : cases) {
        const auto plan = CreateFrom(rec);
        std::vector<int32_t> amounts;
        for (int32_t k = 0; k <= rec.PeriodCount + 1; ++k) amounts.push_back(plan->PeriodAmount(k));
        EXPECT_EQ(std::tuple(amounts.front(), std::vector(amounts.begin() + 1, amounts.end() - 1), amounts.back()), std::tuple(0, expected, 0)) << what;
    }
}

// Amounts that cannot be computed fail when asked for, not when the plan is made.
TEST(MoneyRules, AmountsThatCannotBeComputedFailWhenAsked) {
    const int32_t big = 2000000000;
    const std::tuple<const char*, TPlanRecord, int32_t, std::string> cases[] = {
        // what, the plan, the period, the error
        {"zero rate, equal instalments divide zero by zero", Monthly(pkLoan, 13, 120000).Rate(0).Method(mtEqualInstalments), 2, "invalid"},
        {"zero rate, equal draws", Monthly(pkCompound, 5, 1000).Rate(0).Method(mtMonthlyInterest), 5, "invalid"},
        {"8.25 percent a month for 1200 months", Monthly(pkCompound, 1201, 1000).Rate(99).Method(mtLumpSumInOut), 1201, "overflow"},
        {"a club pot beyond 32 bits", Monthly(pkCollect, 10, big).Club(0, 0, 1, false, 0), 1, "range"},
        {"a deposit's last payout beyond 32 bits", Monthly(pkSaving, 3, INT32_MAX).Rate(6).Method(mtMonthlyInterest), 3, "range"},
        {"compound interest beyond 32 bits", Monthly(pkCompound, 400, big).Rate(24).Method(mtLumpSumInOut), 400, "range"},
        {"equal principal instalments beyond 32 bits", Monthly(pkLoan, 3, INT32_MAX).Rate(1e6).Method(mtEqualPrincipal), 2, "range"},
        {"the smallest amount as an expense", test::Broken(1), 1, "range"},
    };
    for (const auto& [what, rec, period, expected] : cases) {
        const auto plan = CreateFrom(rec);
        std::string error = "none";
        try {
            (void)plan->PeriodAmount(period);
        } catch (const EFloatInvalid&) {
            error = "invalid";
        } catch (const EFloatOverflow&) {
            error = "overflow";
        } catch (const EAmountRange&) {
            error = "range";
        }
        EXPECT_EQ(error, expected) << what;
        EXPECT_ANY_THROW(plan->AmountBetween(plan->FirstDate() - 1, plan->LastDate() + 1)) << what;
    }
    EXPECT_EQ(CreateFrom(Monthly(pkCollect, 10, big).Club(0, 0, 1, false, 0))->PeriodAmount(2), -big);
    // Sums beyond 32 bits, of equal amounts and of amounts added one by one.
    EXPECT_THROW(CreateFrom(Monthly(pkFixAccount, 10, INT32_MAX))->AmountBetween(0, 1e6), EAmountRange);
    EXPECT_THROW(CreateFrom(Monthly(pkCollect, 10, big).Club(0, 0, 11, false, 0))->AmountBetween(0, 1e6), EAmountRange);
}

TEST(MoneyRules, PowersRatesAndRounding) {
    const struct { double base, exponent, result; } powers[] = {
        {0, 0, 1},
        {0, -3, 0},
        {-2, 3, -8},
        {4, 0.5, 2},
        {std::exp(1.0), 87.4, std::exp(87.4)},
    };
    for (const auto& [base, exponent, result] : powers) EXPECT_NEAR(RealPower(base, exponent), result, 1e-9 * std::fabs(result)) << base << "^" << exponent;
    EXPECT_THROW(RealPower(-2.0, 0.5), EFloatInvalid);
    EXPECT_THROW(RealPower(std::exp(1.0), 87.6), EFloatOverflow);
    EXPECT_THROW(RealPower(std::exp(1.0), -87.6), EFloatOverflow);
    EXPECT_THROW(RealPower(std::nan(""), 2.0), EFloatInvalid);
    EXPECT_EQ(MonthlyRate(1.0), RoundThroughSixByteReal(1.0L / 12));
    EXPECT_EQ(MonthlyRate(12.0), MonthlyRate(0.12));
    EXPECT_NEAR(static_cast<double>(MonthlyRate(12.0)), 0.01, 1e-12);
    const std::pair<long double, int32_t> ties[] = {
        {2.5L, 2},
        {3.5L, 4},
        {-2.5L, -2},
        {2147483647.0L, INT32_MAX},
        {-2147483648.5L, INT32_MIN},
    };
    for (const auto& [value, rounded] : ties) EXPECT_EQ(RoundAmount(value), rounded) << static_cast<double>(value);
    EXPECT_THROW(RoundAmount(2147483647.5L), EAmountRange);
    EXPECT_THROW(RoundAmount(-2147483649.0L), EAmountRange);
    EXPECT_THROW(RoundAmount(std::nanl("")), EFloatInvalid);
}

}  // namespace
}  // namespace tamber
