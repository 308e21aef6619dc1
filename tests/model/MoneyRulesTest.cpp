#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "model/Errors.h"
#include "model/Fincalc.h"
#include "RecordBuilder.h"
#include "model/cplanunit.h"

namespace tamber {
namespace {

using test::RecordBuilder;
using test::Ymd;

RecordBuilder Monthly(int periodCount) { return RecordBuilder(prMonthly, Ymd(2001, 1, 15), periodCount); }

std::unique_ptr<TCustomPlan> Plan(int kind, const TPlanRecord& rec) { return CreateFrom(kind, rec); }

// The amounts of occurrences 1..P, written as runs: {count, amount}.
std::vector<int32_t> Runs(std::initializer_list<std::pair<int, int32_t>> runs) {
    std::vector<int32_t> amounts;
    for (const auto& [count, amount] : runs) amounts.insert(amounts.end(), static_cast<std::size_t>(count), amount);
    return amounts;
}

std::vector<int32_t> AllAmounts(const TCustomPlan& plan) {
    std::vector<int32_t> amounts;
    for (int32_t k = 1; k <= plan.Rec().PeriodCount; ++k) amounts.push_back(plan.PeriodAmount(k));
    return amounts;
}

TEST(MoneyRules, EveryOccurrenceComesOutToTheUnit) {
    const auto club = [](int w, bool inner) { return Monthly(10).Amount(5000).Club(500, 800, w, inner, 300); };
    struct Case { const char* what; int kind; TPlanRecord rec; std::vector<int32_t> amounts; };
    const Case cases[] = {
        {"fixed expense", pkFixAccount, Monthly(3).Amount(3000, -1), Runs({{3, -3000}})},
        {"simple deposit, monthly interest", pkSaving, Monthly(13).Amount(100000).Rate(6).Method(mtMonthlyInterest),
         Runs({{1, -100000}, {11, 500}, {1, 100500}})},
        {"simple deposit, interest at the end", pkSaving, Monthly(13).Amount(100000).Rate(6).Method(mtInterestAtEnd),
         Runs({{1, -100000}, {11, 0}, {1, 106000}})},
        {"compound, lump sum in and out", pkCompound, Monthly(13).Amount(100000).Rate(12).Method(mtLumpSumInOut),
         Runs({{1, -100000}, {11, 0}, {1, 112683}})},
        {"compound, equal deposits in", pkCompound, Monthly(12).Amount(1000).Rate(12).Method(mtInstalmentsIn),
         Runs({{11, -1000}, {1, 11683}})},
        {"compound, lump sum in, equal draws", pkCompound, Monthly(13).Amount(100000).Rate(12).Method(mtMonthlyInterest),
         Runs({{1, -100000}, {12, 8885}})},
        {"loan, equal instalments", pkLoan, Monthly(13).Amount(120000).Rate(12).Method(mtEqualInstalments),
         Runs({{1, 120000}, {12, -10662}})},
        {"loan, rate typed as a fraction", pkLoan, Monthly(13).Amount(120000).Rate(0.12).Method(mtEqualInstalments),
         Runs({{1, 120000}, {12, -10662}})},
        {"loan, equal principal", pkLoan, Monthly(13).Amount(120000).Rate(12).Method(mtEqualPrincipal),
         {120000, -11300, -11200, -11100, -11000, -10900, -10800, -10700, -10600, -10500, -10400, -10300, -10200}},
        {"club, outer bidding, collects 4th", pkCollect, club(4, false), Runs({{3, -5000}, {1, 46300}, {6, -5800}})},
        {"club, inner bidding, collects 4th", pkCollect, club(4, true), Runs({{3, -4500}, {1, 40200}, {6, -5000}})},
        {"club head, outer", pkCollect, club(1, false), Runs({{1, 45000}, {9, -5000}})},
        {"club head, inner", pkCollect, club(1, true), Runs({{1, 45000}, {9, -5000}})},
        {"club, outer, collects 2nd", pkCollect, club(2, false), Runs({{1, -5000}, {1, 45300}, {8, -5800}})},
        {"club, inner, collects last", pkCollect, club(10, true), Runs({{9, -4500}, {1, 45000}})},
        {"club, outer, meeting beyond the last", pkCollect, club(11, false), Runs({{10, -5000}})},
        {"club, inner, meeting beyond the last", pkCollect, club(11, true), Runs({{10, -4500}})},
        {"club, outer, no winning meeting", pkCollect, club(0, false), Runs({{10, -5000}})},
        {"club, inner, negative winning meeting", pkCollect, club(-3, true), Runs({{10, -4500}})},
    };
    for (const Case& c : cases) {
        const auto plan = Plan(c.kind, c.rec);
        EXPECT_EQ(AllAmounts(*plan), c.amounts) << c.what;
        EXPECT_EQ(plan->PeriodAmount(0), 0) << c.what;
        EXPECT_EQ(plan->PeriodAmount(c.rec.PeriodCount + 1), 0) << c.what;
        int64_t total = 0;
        for (int32_t a : c.amounts) total += a;
        EXPECT_EQ(plan->AmountBetween(plan->FirstDate() - 1, plan->LastDate() + 1), total) << c.what;
    }
}

TEST(MoneyRules, TiesRoundToTheEvenNeighbour) {
    // Monthly interest of a simple deposit at 6 percent is Amount / 200.
    struct Case { int32_t amount; int32_t interest; };
    const Case cases[] = {{100, 0}, {300, 2}, {500, 2}, {700, 4}, {2500, 12}, {100500, 502}, {101, 1}};
    for (const Case& c : cases) {
        const TSaving plan(Monthly(3).Amount(c.amount).Rate(6).Method(mtMonthlyInterest));
        EXPECT_EQ(plan.PeriodAmount(2), c.interest) << c.amount;
        EXPECT_EQ(plan.PeriodAmount(3), c.interest + c.amount) << c.amount;
    }
    EXPECT_EQ(RoundAmount(-2.5L), -2);
    EXPECT_EQ(RoundAmount(3.5L), 4);
}

TEST(MoneyRules, ASingleOccurrence) {
    struct Case { const char* what; int kind; int method; int32_t amount; };
    const Case cases[] = {
        {"fixed income", pkFixAccount, 0, 700},
        {"simple deposit", pkSaving, mtInterestAtEnd, -1000},
        {"compound, lump sum in and out", pkCompound, mtLumpSumInOut, -1000},
        {"compound, lump sum in, draws out", pkCompound, mtMonthlyInterest, -1000},
        {"compound, equal deposits: the last column", pkCompound, mtInstalmentsIn, 0},
        {"loan", pkLoan, mtEqualPrincipal, 1000},
        {"club head", pkCollect, 0, 0},
    };
    for (const Case& c : cases) {
        TPlanRecord rec = Monthly(1).Amount(c.kind == pkFixAccount ? 700 : 1000).Rate(12).Method(c.method).Club(0, 0, 1, false, 0);
        EXPECT_EQ(Plan(c.kind, rec)->PeriodAmount(1), c.amount) << c.what;
    }
}

TEST(MoneyRules, RateOfExactlyOne) {
    EXPECT_EQ(MonthlyRate(1.0), RoundThroughSixByteReal(1.0L / 12));
    EXPECT_NEAR(static_cast<double>(MonthlyRate(1.0)), 1.0 / 12, 1e-12);  // a fraction: 100 percent a year
    EXPECT_NEAR(static_cast<double>(MonthlyRate(12.0)), 0.01, 1e-12);
    EXPECT_EQ(MonthlyRate(12.0), MonthlyRate(0.12));
    const TSaving saving(Monthly(3).Amount(120000).Rate(1).Method(mtMonthlyInterest));
    EXPECT_EQ(saving.PeriodAmount(2), 100);  // a percentage: 1 percent a year
    const TCompound compound(Monthly(2).Amount(1200).Rate(1).Method(mtLumpSumInOut));
    EXPECT_EQ(compound.PeriodAmount(2), 1300);  // one month at 100 percent a year
}

TEST(MoneyRules, UnlistedMethodsFollowWhatTheEditorWouldSave) {
    struct Case { const char* what; int kind; int unlisted; int listed; };
    const Case cases[] = {
        {"simple deposit reads any other code as interest at the end", pkSaving, 7, mtInterestAtEnd},
        {"compound reads code 1 as lump sum in, draws out", pkCompound, 1, mtMonthlyInterest},
        {"compound reads code 5 as lump sum in, draws out", pkCompound, 5, mtMonthlyInterest},
        {"loan reads code 0 as equal principal", pkLoan, 0, mtEqualPrincipal},
    };
    for (const Case& c : cases) {
        const auto odd = Plan(c.kind, Monthly(13).Amount(120000).Rate(12).Method(c.unlisted));
        const auto known = Plan(c.kind, Monthly(13).Amount(120000).Rate(12).Method(c.listed));
        EXPECT_EQ(AllAmounts(*odd), AllAmounts(*known)) << c.what;
    }
}

TEST(MoneyRules, ZeroRateAnnuitiesFailWhenAskedNotWhenMade) {
    const TLoan loan(Monthly(13).Amount(120000).Rate(0).Method(mtEqualInstalments));
    EXPECT_EQ(loan.PeriodAmount(1), 120000);
    EXPECT_THROW(loan.PeriodAmount(2), EFloatInvalid);
    EXPECT_THROW(loan.AmountBetween(0, 1e6), EFloatInvalid);
    const TCompound draws(Monthly(5).Amount(1000).Rate(0).Method(mtMonthlyInterest));
    EXPECT_THROW(draws.PeriodAmount(5), EFloatInvalid);
    const TCompound deposits(Monthly(5).Amount(1000).Rate(0).Method(mtInstalmentsIn));
    EXPECT_EQ(deposits.PeriodAmount(4), -1000);
    EXPECT_THROW(deposits.PeriodAmount(5), EFloatInvalid);
    // A lump sum and the simple deposits need no division by the rate.
    EXPECT_EQ(TCompound(Monthly(5).Amount(1000).Rate(0).Method(mtLumpSumInOut)).PeriodAmount(5), 1000);
    EXPECT_EQ(TSaving(Monthly(5).Amount(1000).Rate(0).Method(mtInterestAtEnd)).PeriodAmount(5), 1000);
    EXPECT_EQ(TLoan(Monthly(5).Amount(1000).Rate(0).Method(mtEqualPrincipal)).PeriodAmount(5), -250);
}

TEST(MoneyRules, PowersAndTheirFailures) {
    struct Case { const char* what; double base, exponent, result; };
    const Case cases[] = {
        {"zero exponent", 0.0, 0.0, 1.0},     {"zero base", 0.0, -3.0, 0.0},
        {"odd power of a negative", -2.0, 3.0, -8.0}, {"even power of a negative", -2.0, 2.0, 4.0},
        {"square root", 4.0, 0.5, 2.0},       {"negative exponent", 2.0, -2.0, 0.25},
    };
    for (const Case& c : cases) EXPECT_NEAR(RealPower(c.base, c.exponent), c.result, 1e-9) << c.what;
    EXPECT_THROW(RealPower(-2.0, 0.5), EFloatInvalid);
    EXPECT_THROW(RealPower(std::exp(1.0), 87.6), EFloatOverflow);
    EXPECT_NO_THROW(RealPower(std::exp(1.0), 87.4));
    // 8.25 percent a month for 1200 months is beyond what the power routine takes.
    const TCompound huge(Monthly(1201).Amount(1000).Rate(99).Method(mtLumpSumInOut));
    EXPECT_THROW(huge.PeriodAmount(1201), EFloatOverflow);
}

TEST(MoneyRules, AmountsBeyond32BitsAreErrors) {
    const TCollect club(Monthly(10).Amount(2000000000).Club(0, 0, 1, false, 0));
    EXPECT_THROW(club.PeriodAmount(1), EAmountRange);
    EXPECT_EQ(club.PeriodAmount(2), -2000000000);
    EXPECT_THROW(club.AmountBetween(0, 1e6), EAmountRange);
    const TSaving saving(Monthly(3).Amount(2147483647).Rate(6).Method(mtMonthlyInterest));
    EXPECT_THROW(saving.PeriodAmount(3), EAmountRange);
    const TCompound compound(Monthly(400).Amount(2000000000).Rate(24).Method(mtLumpSumInOut));
    EXPECT_THROW(compound.PeriodAmount(400), EAmountRange);
}

TEST(MoneyRules, EqualInstalmentsRepayTheLoanAtItsRate) {
    struct Case { int32_t amount; double rate; int periods; };
    const Case cases[] = {{120000, 12, 13}, {3000000, 2.1, 241}, {500000, 0.05, 61}, {80000, 18, 25}, {1000000, 7.5, 361}};
    for (const Case& c : cases) {
        const TLoan loan(Monthly(c.periods).Amount(c.amount).Rate(c.rate).Method(mtEqualInstalments));
        const long double i = MonthlyRate(c.rate);
        long double presentValue = 0;
        for (int k = 2; k <= c.periods; ++k) presentValue += -loan.PeriodAmount(k) / std::pow(1 + i, k - 1);
        // Each instalment is rounded to the unit: at most half a unit off each.
        EXPECT_NEAR(static_cast<double>(presentValue), c.amount, 0.5 * (c.periods - 1)) << c.amount << " at " << c.rate;
    }
}

TEST(MoneyRules, SumsOverAnyRangeMatchOccurrenceByOccurrence) {
    std::mt19937 random(77);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 300; ++round) {
        const int kind = pick(1, 4);
        const int P = pick(1, 30);
        const int methods[] = {0, 1, 2, 3, 4, 5};
        TPlanRecord rec = RecordBuilder(prEveryNDays, Ymd(2020, 1, 1), P)
                              .Interval(pick(1, 9))
                              .Amount(pick(1, 90000))
                              .Rate(pick(1, 2400) / 100.0)
                              .Method(methods[pick(0, 5)])
                              .Club(pick(0, 500), pick(0, 900), pick(-1, P + 1), pick(0, 1) == 1, pick(0, 300));
        const auto plan = Plan(kind, rec);
        for (int probe = 0; probe < 10; ++probe) {
            const TDate after = plan->FirstDate() + pick(-5, static_cast<int>(plan->LastDate() - plan->FirstDate()) + 5);
            const TDate before = after + pick(0, 120);
            int64_t expected = 0;
            for (int32_t k = 1; k <= P; ++k) {
                const TDate d = plan->DateOfPeriod(k);
                if (d > after && d < before) expected += plan->PeriodAmount(k);
            }
            ASSERT_EQ(plan->AmountBetween(after, before), expected) << "kind " << kind << " round " << round;
        }
    }
}

}  // namespace
}  // namespace tamber
