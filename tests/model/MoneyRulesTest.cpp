#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Errors.h"
#include "Fincalc.h"
#include "TestSupport.h"

namespace tamber {
namespace {

using test::RecordBuilder;

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
    const struct { const char* what; TPlanRecord rec; std::vector<int32_t> amounts; } cases[] = {
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
        {"compound, code 5 is lump sum in, equal draws", Monthly(pkCompound, 13, 100000).Rate(12).Method(5),
         Runs({{1, -100000}, {12, 8885}})},
        {"loan, equal instalments", loan(mtEqualInstalments, 12), Runs({{1, 120000}, {12, -10662}})},
        {"loan, rate typed as a fraction", loan(mtEqualInstalments, 0.12), Runs({{1, 120000}, {12, -10662}})},
        {"loan, equal principal", loan(mtEqualPrincipal, 12),
         {120000, -11300, -11200, -11100, -11000, -10900, -10800, -10700, -10600, -10500, -10400, -10300, -10200}},
        {"loan, code 0 is equal principal", loan(0, 12).Amount(12000),
         {12000, -1130, -1120, -1110, -1100, -1090, -1080, -1070, -1060, -1050, -1040, -1030, -1020}},
        {"club, outer bidding, collects 4th", club(4, false), Runs({{3, -5000}, {1, 46300}, {6, -5800}})},
        {"club, inner bidding, collects 4th", club(4, true), Runs({{3, -4500}, {1, 40200}, {6, -5000}})},
        {"club head, outer", club(1, false), Runs({{1, 45000}, {9, -5000}})},
        {"club head, inner", club(1, true), Runs({{1, 45000}, {9, -5000}})},
        {"club, outer, collects 2nd", club(2, false), Runs({{1, -5000}, {1, 45300}, {8, -5800}})},
        {"club, inner, collects last", club(10, true), Runs({{9, -4500}, {1, 45000}})},
        {"club, outer, meeting beyond the last", club(11, false), Runs({{10, -5000}})},
        {"club, inner, no winning meeting", club(0, true), Runs({{10, -4500}})},
        {"single fixed income", Monthly(pkFixAccount, 1, 700), {700}},
        {"single simple deposit", Monthly(pkSaving, 1, 1000).Rate(12).Method(mtInterestAtEnd), {-1000}},
        {"single compound lump sum", Monthly(pkCompound, 1, 1000).Rate(12).Method(mtLumpSumInOut), {-1000}},
        {"single compound draw", Monthly(pkCompound, 1, 1000).Rate(12).Method(mtMonthlyInterest), {-1000}},
        {"single equal deposit: the last column", Monthly(pkCompound, 1, 1000).Rate(12).Method(mtInstalmentsIn), {0}},
        {"single loan", Monthly(pkLoan, 1, 1000).Rate(12).Method(mtEqualPrincipal), {1000}},
        {"zero rate: equal principal needs no division", Monthly(pkLoan, 5, 1000).Rate(0).Method(mtEqualPrincipal),
         Runs({{1, 1000}, {4, -250}})},
        {"zero rate: lump sum in and out", Monthly(pkCompound, 3, 1000).Rate(0).Method(mtLumpSumInOut), {-1000, 0, 1000}},
    };
    for (const auto& c : cases) {
        const auto plan = CreateFrom(c.rec);
        std::vector<int32_t> amounts;
        for (int32_t k = 1; k <= c.rec.PeriodCount; ++k) amounts.push_back(plan->PeriodAmount(k));
        EXPECT_EQ(amounts, c.amounts) << c.what;
        EXPECT_EQ(plan->PeriodAmount(0), 0) << c.what;
        EXPECT_EQ(plan->PeriodAmount(c.rec.PeriodCount + 1), 0) << c.what;
        int64_t total = 0;
        for (int32_t a : c.amounts) total += a;
        EXPECT_EQ(plan->AmountBetween(plan->FirstDate() - 1, plan->LastDate() + 1), total) << c.what;
    }
}

// Amounts that cannot be computed fail when asked for, not when the plan is made.
TEST(MoneyRules, AmountsThatCannotBeComputedFailWhenAsked) {
    const int32_t big = 2000000000;
    const struct { const char* what; TPlanRecord rec; int32_t period; std::string error; } cases[] = {
        {"zero rate, equal instalments divide zero by zero", Monthly(pkLoan, 13, 120000).Rate(0).Method(mtEqualInstalments), 2, "invalid"},
        {"zero rate, equal draws", Monthly(pkCompound, 5, 1000).Rate(0).Method(mtMonthlyInterest), 5, "invalid"},
        {"zero rate, equal deposits' payout", Monthly(pkCompound, 5, 1000).Rate(0).Method(mtInstalmentsIn), 5, "invalid"},
        {"8.25 percent a month for 1200 months", Monthly(pkCompound, 1201, 1000).Rate(99).Method(mtLumpSumInOut), 1201, "overflow"},
        {"a club pot beyond 32 bits", Monthly(pkCollect, 10, big).Club(0, 0, 1, false, 0), 1, "range"},
        {"a deposit's last payout beyond 32 bits", Monthly(pkSaving, 3, INT32_MAX).Rate(6).Method(mtMonthlyInterest), 3, "range"},
        {"compound interest beyond 32 bits", Monthly(pkCompound, 400, big).Rate(24).Method(mtLumpSumInOut), 400, "range"},
        {"equal principal instalments beyond 32 bits", Monthly(pkLoan, 3, INT32_MAX).Rate(1e6).Method(mtEqualPrincipal), 2, "range"},
        {"the smallest amount as an expense", test::Broken(1), 1, "range"},
    };
    for (const auto& c : cases) {
        const auto plan = CreateFrom(c.rec);
        std::string error = "none";
        try {
            (void)plan->PeriodAmount(c.period);
        } catch (const EFloatInvalid&) {
            error = "invalid";
        } catch (const EFloatOverflow&) {
            error = "overflow";
        } catch (const EAmountRange&) {
            error = "range";
        }
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_ANY_THROW(plan->AmountBetween(plan->FirstDate() - 1, plan->LastDate() + 1)) << c.what;
    }
    EXPECT_EQ(CreateFrom(Monthly(pkCollect, 10, big).Club(0, 0, 1, false, 0))->PeriodAmount(2), -big);
    // Sums beyond 32 bits, of equal amounts and of amounts added one by one.
    EXPECT_THROW(CreateFrom(Monthly(pkFixAccount, 10, INT32_MAX))->AmountBetween(0, 1e6), EAmountRange);
    EXPECT_THROW(CreateFrom(Monthly(pkCollect, 10, big).Club(0, 0, 11, false, 0))->AmountBetween(0, 1e6), EAmountRange);
}

TEST(MoneyRules, PowersRatesAndRounding) {
    const struct { double base, exponent, result; } powers[] = {
        {0, 0, 1}, {0, -3, 0}, {-2, 3, -8}, {-2, 2, 4}, {4, 0.5, 2}, {2, -2, 0.25}, {std::exp(1.0), 87.4, std::exp(87.4)},
    };
    for (const auto& p : powers) EXPECT_NEAR(RealPower(p.base, p.exponent), p.result, 1e-9 * std::fabs(p.result)) << p.base << "^" << p.exponent;
    EXPECT_THROW(RealPower(-2.0, 0.5), EFloatInvalid);
    EXPECT_THROW(RealPower(std::exp(1.0), 87.6), EFloatOverflow);
    EXPECT_THROW(RealPower(std::exp(1.0), -87.6), EFloatOverflow);
    EXPECT_THROW(RealPower(std::nan(""), 2.0), EFloatInvalid);
    EXPECT_EQ(MonthlyRate(1.0), RoundThroughSixByteReal(1.0L / 12));
    EXPECT_EQ(MonthlyRate(12.0), MonthlyRate(0.12));
    EXPECT_NEAR(static_cast<double>(MonthlyRate(12.0)), 0.01, 1e-12);
    const struct { long double value; int32_t rounded; } ties[] = {
        {2.5L, 2}, {3.5L, 4}, {-2.5L, -2}, {2147483647.0L, INT32_MAX}, {-2147483648.5L, INT32_MIN}, {-2147483648.0L, INT32_MIN},
    };
    for (const auto& t : ties) EXPECT_EQ(RoundAmount(t.value), t.rounded) << static_cast<double>(t.value);
    EXPECT_THROW(RoundAmount(2147483647.5L), EAmountRange);
    EXPECT_THROW(RoundAmount(-2147483649.0L), EAmountRange);
    EXPECT_THROW(RoundAmount(std::nanl("")), EFloatInvalid);
}

TEST(MoneyRules, EqualInstalmentsRepayTheLoanAtItsRate) {
    const struct { int32_t amount; double rate; int periods; } cases[] = {{3000000, 2.1, 241}, {500000, 0.05, 61}, {1000000, 7.5, 361}};
    for (const auto& c : cases) {
        const auto loan = CreateFrom(Monthly(pkLoan, c.periods, c.amount).Rate(c.rate).Method(mtEqualInstalments));
        const long double i = MonthlyRate(c.rate);
        long double presentValue = 0;
        for (int k = 2; k <= c.periods; ++k) presentValue += -loan->PeriodAmount(k) / std::pow(1 + i, k - 1);
        // Each instalment is rounded to the unit: at most half a unit off each.
        EXPECT_NEAR(static_cast<double>(presentValue), c.amount, 0.5 * (c.periods - 1)) << c.amount << " at " << c.rate;
    }
}

}  // namespace
}  // namespace tamber
