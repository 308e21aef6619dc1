// The figures the windows show: the month bars, each day's amounts and balance, a catch-up's list, the chart's line,
// the lowest balance ahead.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "TestSupport.h"
#include "book/CatchUp.h"
#include "book/Ledger.h"
#include "book/LookAhead.h"
#include "book/MonthBars.h"
#include "book/Trend.h"

namespace tamber {
namespace {

using namespace test;

const TDate kToday = Ymd(2025, 4, 10);  // April has 30 days

TEST(MonthBars, CouplingRulesFromAStartInMarch) {
    using Bars = std::array<int, 5>;  // slider, year bar, month bar, year label, month label
    const auto of = [](const TMonthBars& b) { return Bars{b.Slider(), b.YearBar(), b.MonthBar(), b.YearLabel(), b.MonthLabel()}; };
    TMonthBars bars(2026, 3);
    EXPECT_EQ(std::pair(TMonthBars(2026, 12).SliderMax(), bars.SliderMax()), std::pair(360, 369));  // December 30 years on, or March
    const std::tuple<const char*, void (*)(TMonthBars&), Bars> steps[] = {
        {"month bar before the current month snaps back", [](TMonthBars& b) { b.MonthBarMoved(0); }, {0, 0, 2, 2026, 3}},
        {"slider to 20", [](TMonthBars& b) { b.SliderMoved(20); }, {20, 1, 10, 2027, 11}},
        {"page back from 20 gives 8", [](TMonthBars& b) { b.SliderPaged(-1); }, {8, 0, 10, 2026, 11}},
        {"month bar beyond December stops there", [](TMonthBars& b) { b.MonthBarMoved(14); }, {9, 0, 11, 2026, 12}},
        {"slider to its end", [](TMonthBars& b) { b.SliderMoved(10000); }, {369, 30, 11, 2056, 12}},
        {"year bar beyond the slider's end holds the slider there", [](TMonthBars& b) { b.YearBarMoved(99); }, {369, 35, 11, 2061, 12}},
    };
    for (const auto& [what, act, after] : steps) {
        act(bars);
        EXPECT_EQ(of(bars), after) << what;
    }
    EXPECT_EQ(bars.ShownYear() * 100 + bars.ShownMonth(), 206112);
}

TEST(Ledger, MonthFromTodayOrTheCarryInAndItsDayItems) {
    const std::vector<TPlanRecord> twoIncomes = {Once(Ymd(2025, 4, 12), 50'000'000), Once(Ymd(2025, 4, 20), 60'000'000)};
    const int32_t nearTop = 2'047'483'647;
    const std::vector<TPlanRecord> year = {Flow(prMonthly, Ymd(2025, 3, 15), 12, 100), Once(Ymd(2025, 4, 5), 999),
                                           Once(kToday, 5), Once(Ymd(2025, 12, 31), 70), Once(Ymd(2026, 1, 1), 80)};
    // The month of 2025 shown; Days: day, income, expense, balance (red below zero). From the day the balance leaves
    // 32 bits (OutOfRangeFrom) on, the days show no figures and the month no average.
    // What, plans, opening balance, today, month, carry-in, income, expense, average, days, out of range from.
    const std::tuple<const char*, std::vector<TPlanRecord>, int32_t, TDate, int, int32_t, int32_t, int32_t, int32_t, std::vector<std::array<int32_t, 4>>, TDate> cases[] = {
        {"today's and tomorrow's flows; a zero amount is an expense; the 5th is in the opening balance; (2200 + 20 x 1400) / 21", {Once(kToday, 1200), Once(kToday + 1, -500), Once(kToday + 1, -300), Once(kToday + 1, 0), Once(Ymd(2025, 4, 5), 50)}, 1000, kToday, 4, 0, 1200, -800, 1438, {{5, 0, 0, 0}, {10, 1200, 0, 2200}, {11, 0, -800, 1400}, {30, 0, 0, 1400}}, 0},
        {"a later month carries in today, 15 April and 15 May", year, 1000, kToday, 6, 205, 100, 0, 1258, {{1, 0, 0, 1205}, {15, 100, 0, 1305}, {30, 0, 0, 1305}}, 0},
        {"a later month's 1st is its own, not carried in", {Once(Ymd(2025, 6, 1), 40)}, 1000, kToday, 6, 0, 40, 0, 1040, {{1, 40, 0, 1040}}, 0},
        {"a past month: no flows, no carry-in", year, 1000, kToday, 3, 0, 0, 0, 1000, {{1, 0, 0, 1000}, {31, 0, 0, 1000}}, 0},
        {"December up to the 31st, not 1 January", year, 1000, kToday, 12, 805, 170, 0, 1862, {{1, 0, 0, 1805}, {15, 100, 0, 1905}, {31, 70, 0, 1975}}, 0},
        {"two listed days shortened onto 30 April are both owed", {Flow(prThriceMonthly, Ymd(2025, 4, 1), 6, -100).Days(15, 30, 31)}, 0, kToday, 4, 0, 0, -300, -86, {{15, 0, -100, -100}, {30, 0, -200, -300}}, 0},
        {"1 and 2 average 1.5, which goes to 2", {Once(Ymd(2025, 4, 30), 1)}, 1, Ymd(2025, 4, 29), 4, 0, 1, 0, 2, {}, 0},
        {"2 and 3 average 2.5, which goes to 2", {Once(Ymd(2025, 4, 30), 1)}, 2, Ymd(2025, 4, 29), 4, 0, 1, 0, 2, {}, 0},
        {"leaving 32 bits: the days before keep their figures", twoIncomes, nearTop, kToday, 4, 0, 50'000'000, 0, 0, {{19, 0, 0, 2'097'483'647}, {20, 0, 0, 0}}, Ymd(2025, 4, 20)},
        {"leaving 32 bits: a later month has none and names the earlier day", twoIncomes, nearTop, kToday, 5, 0, 0, 0, 0, {{1, 0, 0, 0}}, Ymd(2025, 4, 20)},
        {"leaving 32 bits: a day's income alone", {Once(Ymd(2025, 4, 15), 2'000'000'000), Once(Ymd(2025, 4, 15), 2'000'000'000)}, -2'000'000'000, kToday, 4, 0, 0, 0, 0, {{14, 0, 0, -2'000'000'000}, {15, 0, 0, 0}}, Ymd(2025, 4, 15)},
        {"a carry-in beyond 32 bits on a balance that stays within them", {Flow(prMonthly, Ymd(2025, 4, 11), 3, 1'000'000'000)}, -2'100'000'000, kToday, 7, 0, 0, 0, 900'000'000, {{31, 0, 0, 900'000'000}}, 0},
        {"large figures within 32 bits all month", twoIncomes, 0, kToday, 4, 0, 110'000'000, 0, 76'666'667, {{30, 0, 0, 110'000'000}}, 0},
    };
    for (const auto& [what, plans, opening, today, month, carryIn, income, expense, average, days, outOfRangeFrom] : cases) {
        TPlanBookState state;
        state.SetCurrentDate(today);
        state.OpeningBalance = opening;
        TCalendarMonth calendar;
        calendar.Layout(2025, 4, 0);
        calendar.Cell(calendar.DayToCell(9)).Balance = 77;  // whatever the month showed before
        const TMonthTotals totals = ComputeMonth(MakeBook(plans), state, 2025, month, today, calendar);
        EXPECT_EQ(std::tuple(calendar.Month(), state.MonthCarryIn, totals.Income, totals.Expense, calendar.MonthAverageBalance, totals.OutOfRangeFrom, calendar.MonthAverageKnown),
                  std::tuple(month, carryIn, int64_t{income}, int64_t{expense}, average, outOfRangeFrom, outOfRangeFrom == 0))
            << what;
        for (const auto& [d, in, out, balance] : days) {
            const TDayCell& cell = calendar.Cell(calendar.DayToCell(d));
            EXPECT_EQ((std::array{cell.Income, cell.Expense, cell.Balance, cell.BalanceColor}), (std::array{in, out, balance, balance < 0 ? clRed : clBlue}))
                << what << ", day " << d;
        }
    }
    TPlanBookState state;
    state.SetCurrentDate(kToday);
    TCalendarMonth calendar;
    calendar.Layout(2025, 5, 0);
    calendar.Cell(calendar.DayToCell(10)).Balance = calendar.MonthAverageBalance = state.MonthCarryIn = 9;
    EXPECT_EQ(FailingPlan([&] { ComputeMonth(MakeBook({Once(kToday, 5), Broken(kToday)}), state, 2025, 5, kToday, calendar); }), 1);
    EXPECT_EQ((std::array{calendar.Cell(calendar.DayToCell(10)).Balance, calendar.MonthAverageBalance, state.MonthCarryIn}),
              (std::array{0, 0, 0}))
        << "a failed month shows no half-computed figures";
    const TDate d = Ymd(2025, 4, 30);
    const TPlanBook book = MakeBook({Once(d, 5), Once(d + 1, 5), Once(d - 1, 5), Flow(prMonthly, Ymd(2024, 5, 30), 24, 9),
                                     Flow(prThriceMonthly, Ymd(2025, 4, 1), 6, 100).Days(15, 30, 31)});
    EXPECT_EQ(BuildDayItems(book, d), (std::vector<std::string>{"   0       1", "   3      12", "   4       2"}));
    EXPECT_EQ(ParseDayItem("9999 1234567"), (TDayItem{9999, 1234567}));
    for (const char* bad : {"   x       1", "   3      1", "           1", "   3    12 x"}) EXPECT_FALSE(ParseDayItem(bad)) << bad;
    const std::pair<int64_t, const char*> totals[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {-1234567, "-1,234,567"}, {INT64_MIN, "-9,223,372,036,854,775,808"}};
    for (const auto& [value, text] : totals) EXPECT_EQ(FormatMonthTotal(value), text);
}

TEST(CatchUp, ListsOccurrencesAfterTheBalanceDateAndBeforeTodayPlanByPlan) {
    const TPlanBook book = MakeBook({
        Flow(prEveryNDays, Ymd(2025, 4, 1), 100, -20).Interval(10),  // 1 May is today: not yet due
        Once(Ymd(2025, 4, 5), 1),                                    // on the balance date: already counted
        Flow(prOnce, Ymd(2025, 4, 9), 1, 500, "獎金"),
        Flow(prThriceMonthly, Ymd(2025, 4, 1), 6, -100).Days(15, 30, 31),  // two on 30 April
        Flow(prMonthly, Ymd(2025, 3, 30), 2, 7),                           // its last before today
    });
    std::vector<std::tuple<int32_t, int32_t, TDate, std::string, std::string>> rows;
    for (const TPassRecord& p : BuildPendingList(book, Ymd(2025, 4, 5), Ymd(2025, 5, 1))) rows.emplace_back(p.PlanIndex, p.Occurrence, p.Date, p.AmountText, p.Description);
    EXPECT_EQ(rows, (decltype(rows){
                        {0, 2, Ymd(2025, 4, 11), "-20", ""},
                        {0, 3, Ymd(2025, 4, 21), "-20", ""},
                        {2, 1, Ymd(2025, 4, 9), "500", "獎金"},
                        {3, 1, Ymd(2025, 4, 15), "-100", ""},
                        {3, 2, Ymd(2025, 4, 30), "-100", ""},
                        {3, 3, Ymd(2025, 4, 30), "-100", ""},
                        {4, 2, Ymd(2025, 4, 30), "7", ""},
                    }));
}

TEST(CatchUp, ConfirmedAmountsAreSignedWholeNumbersAddedToTheLoadedBalance) {
    const std::pair<const char*, std::optional<int32_t>> texts[] = {
        {"-200", -200},
        {"+7", 7},
        {"-2147483648", INT32_MIN},
        {"", std::nullopt},
        {"-", std::nullopt},
        {" 5", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
    };
    for (const auto& [text, value] : texts) EXPECT_EQ(ParseAmountText(text), value) << '"' << text << '"';
    // A balance that leaves 32 bits is refused with the item that took it out for good, rather than wrapped.
    const std::tuple<int32_t, std::vector<std::string>, std::string> cases[] = {
        // the loaded balance, the amounts, the result
        {1000, {"500", "-200", "0", "0", "", "x"}, "第 5 項金額輸入錯誤"},
        {INT32_MIN + 10, {"-5", "-5", "-1", "-4"}, "第 3 項金額輸入錯誤"},
        {2147483000, {"1000", "-1000"}, "2147483000"},  // out and back in again
        {2147483000, {"1000", "-1000", "700", "-1"}, "第 3 項金額輸入錯誤"},
        {INT32_MAX - 1, {"1"}, "2147483647"},
    };
    for (const auto& [loaded, amounts, result] : cases) {
        TPendingList list;
        for (const std::string& amount : amounts) list.push_back({0, 0, 0, amount, ""});
        try {
            EXPECT_EQ(std::to_string(CaughtUpBalance(loaded, list)), result);
        } catch (const EInvalid& e) {
            EXPECT_EQ(e.what(), result);
        }
    }
}

constexpr int32_t kOpening = 1000;

TPlanBook SampleBook() {
    return MakeBook({
        Once(Ymd(2025, 4, 5), 100),  // before today: in the opening balance
        Once(kToday, 20),            // today
        Once(Ymd(2025, 4, 15), -50),
        Flow(prMonthly, Ymd(2025, 4, 20), 3, 7),                           // 20 April, May and June
        Flow(prThriceMonthly, Ymd(2025, 4, 1), 9, -100).Days(15, 30, 31),  // two on 30 April
    });
}

// The start balance counts what lies between today and a later start; the line adds every occurrence from there on.
TEST(Trend, LineFromAStartBeforeAtOrAfterToday) {
    // What, the start, the days, the start balance, balances on days counted from the start.
    const std::tuple<const char*, TDate, int32_t, int32_t, std::vector<std::pair<int, int32_t>>> cases[] = {
        {"today: the opening balance, then today's 20", kToday, 1, kOpening, {{0, kOpening + 20}}},
        {"occurrences on the first and the last charted day", Ymd(2025, 4, 15), 6, kOpening + 20, {{0, kOpening + 20 - 150}, {5, kOpening + 20 - 150 + 7}}},
        {"two periods on one day", Ymd(2025, 4, 16), 15, kOpening - 130, {{13, kOpening - 123}, {14, kOpening - 323}}},
        {"a past start: the opening balance, 5 April's 100 again", Ymd(2025, 4, 1), 10, kOpening, {{3, kOpening}, {4, kOpening + 100}, {9, kOpening + 120}}},
    };
    for (const auto& [what, start, days, startBalance, points] : cases) {
        const TTrendLine line(SampleBook(), kOpening, start, days, kToday);
        EXPECT_EQ(std::tuple(line.StartBalance(), line.ChartStartDate(), line.DayCount(), line.Points().size()),
                  std::tuple(startBalance, start, days, std::size_t(days)))
            << what;
        for (const auto& [j, balance] : points) EXPECT_EQ(line.Points().at(std::size_t(j)), (TBalancePoint{start + j, balance})) << what;
    }
    EXPECT_EQ(AxisDateLabel(Ymd(2005, 1, 2)), "05/1/2");
    const TPlanBook broken = MakeBook({Once(kToday, 1), Broken(kToday + 3)});
    EXPECT_EQ(FailingPlan([&] { TTrendLine(broken, 0, kToday, 10, kToday); }), 1);
    EXPECT_EQ(FailingPlan([&] { ComputeStartBalance(broken, 0, kToday + 9, kToday); }), 1);
    const std::tuple<int64_t, TChartUnit, TChartInterval> counts[] = {
        // a count the unit does not take is brought within it
        {31, TChartUnit::Years, {30, 10950, 365}},
        {20000, TChartUnit::Days, {kMaxChartDays, kMaxChartDays, 1}},
        {int64_t{1} << 40, TChartUnit::Months, {360, 10800, 30}},
    };
    for (const auto& [count, unit, interval] : counts) EXPECT_EQ(ChartInterval(count, unit), interval) << count;
}

const TDate kEnd = Ymd(2060, 12, 31);  // the last day looked at from kToday

TEST(LookAhead, LowestBalanceAndFirstDayBelowZeroInTheYearsAhead) {
    const TPlanRecord loan = RecordBuilder(prMonthly, kToday, 241).Kind(pkLoan).Method(mtEqualPrincipal).Amount(240000);
    using TPoint = std::optional<TBalancePoint>;
    const std::tuple<const char*, int32_t, std::vector<TPlanRecord>, TPoint, TPoint, TDate> cases[] = {
        // what, opening, plans, lowest, first below 0, out of range from
        {"a dip then a recovery", 1000, {Once(kToday + 10, -1500), Once(kToday + 20, 2000)}, TBalancePoint{kToday + 10, -500}, TBalancePoint{kToday + 10, -500}, 0},
        {"lowest on two days: the earlier", 1000, {Once(kToday + 5, -300), Once(kToday + 6, 300), Once(kToday + 8, -300)}, TBalancePoint{kToday + 5, 700}, std::nullopt, 0},
        // 240,000 in, then 1,000 a month back; 10 a month out from today: -390 after 238 months.
        {"a loan pushes it below zero in year 20", 0, {loan, Flow(prMonthly, kToday, 241, -10)}, TBalancePoint{Ymd(2045, 4, 10), -2410}, TBalancePoint{Ymd(2045, 2, 10), -390}, 0},
        {"the span's last day counts, the day after does not", 0, {Once(kEnd, -1), Once(kEnd + 1, -1000)}, TBalancePoint{kEnd, -1}, TBalancePoint{kEnd, -1}, 0},
        {"a balance leaving 32 bits stops the look there", 2147483000, {Once(kToday + 2, -5000), Once(kToday + 3, 9000)}, TBalancePoint{kToday + 2, 2147478000}, std::nullopt, kToday + 3},
        {"a day's total leaving 32 bits though the balance fits", -2147483000, {Once(kToday + 1, -600), Once(kToday + 4, 2000000000), Once(kToday + 4, 2000000000)}, TBalancePoint{kToday + 1, -2147483600}, TBalancePoint{kToday, -2147483000}, kToday + 4},
        {"already today's balance out of range", 2147483000, {Once(kToday, 9000)}, std::nullopt, std::nullopt, kToday},
    };
    for (const auto& [what, opening, plans, lowest, belowZero, outOfRangeFrom] : cases) {
        const TLookAhead ahead = LookAhead(MakeBook(plans), opening, kToday);
        EXPECT_EQ(std::tuple(ahead.Lowest, ahead.FirstBelowZero, ahead.OutOfRangeFrom), std::tuple(lowest, belowZero, outOfRangeFrom)) << what;
    }
    EXPECT_EQ(LookAheadEnd(Ymd(9970, 6, 1)), Ymd(9999, 12, 31)) << "the span ends with the calendar's last year";
    EXPECT_EQ(FailingPlan([] { LookAhead(MakeBook({Once(kToday, 1), Broken(kToday + 3)}), 0, kToday); }), 1);
}

}  // namespace
}  // namespace tamber
