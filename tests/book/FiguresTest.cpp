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
    EXPECT_EQ(TMonthBars(2026, 12).SliderMax(), 360);  // December 30 years on
    const struct {
        const char* what;
        void (*act)(TMonthBars&);
        Bars after;
    } steps[] = {
        {"month bar before the current month snaps back", [](TMonthBars& b) { b.MonthBarMoved(0); }, {0, 0, 2, 2026, 3}},
        {"month bar to a later month", [](TMonthBars& b) { b.MonthBarMoved(7); }, {5, 0, 7, 2026, 8}},
        {"page back from 5 stops at 0", [](TMonthBars& b) { b.SliderPaged(-1); }, {0, 0, 2, 2026, 3}},
        {"slider to 20", [](TMonthBars& b) { b.SliderMoved(20); }, {20, 1, 10, 2027, 11}},
        {"page back from 20 gives 8", [](TMonthBars& b) { b.SliderPaged(-1); }, {8, 0, 10, 2026, 11}},
        {"page forward", [](TMonthBars& b) { b.SliderPaged(1); }, {20, 1, 10, 2027, 11}},
        {"month bar beyond December stops there", [](TMonthBars& b) { b.MonthBarMoved(14); }, {21, 1, 11, 2027, 12}},
        {"slider to its end", [](TMonthBars& b) { b.SliderMoved(10000); }, {369, 30, 11, 2056, 12}},
        {"year bar beyond the slider's end holds the slider there", [](TMonthBars& b) { b.YearBarMoved(99); }, {369, 35, 11, 2061, 12}},
    };
    TMonthBars bars(2026, 3);
    EXPECT_EQ(bars.SliderMax(), 369);
    EXPECT_EQ(of(bars), (Bars{0, 0, 2, 2026, 3}));
    for (const auto& s : steps) {
        s.act(bars);
        EXPECT_EQ(of(bars), s.after) << s.what;
    }
    EXPECT_EQ(bars.ShownYear() * 100 + bars.ShownMonth(), 206112);
}

TEST(Ledger, MonthFromTodayOrTheCarryIn) {
    const std::vector<TPlanRecord> twoIncomes = {Once(Ymd(2025, 4, 12), 50'000'000), Once(Ymd(2025, 4, 20), 60'000'000)};
    const int32_t nearTop = 2'047'483'647;
    const std::vector<TPlanRecord> year = {Flow(prMonthly, Ymd(2025, 3, 15), 12, 100), Once(Ymd(2025, 4, 5), 999),
                                           Once(kToday, 5), Once(Ymd(2025, 12, 31), 70), Once(Ymd(2026, 1, 1), 80)};
    // The month of 2025 shown; Days: day, income, expense, balance (red below zero). From the day the balance leaves
    // 32 bits (OutOfRangeFrom) on, the days show no figures and the month no average.
    const struct {
        const char* what;
        std::vector<TPlanRecord> plans;
        int32_t opening;
        TDate today;
        int month;
        int32_t carryIn, income, expense, average;
        std::vector<std::array<int32_t, 4>> days;
        TDate outOfRangeFrom = 0;
    } cases[] = {
        {"empty book: the opening balance from today on", {}, 5000, kToday, 4, 0, 0, 0, 5000, {{9, 0, 0, 0}, {10, 0, 0, 5000}, {30, 0, 0, 5000}}},
        {"today's and tomorrow's flows; a zero amount is an expense; the 5th is in the opening balance; (2200 + 20 x 1400) / 21", {Once(kToday, 1200), Once(kToday + 1, -500), Once(kToday + 1, -300), Once(kToday + 1, 0), Once(Ymd(2025, 4, 5), 50)}, 1000, kToday, 4, 0, 1200, -800, 1438, {{5, 0, 0, 0}, {10, 1200, 0, 2200}, {11, 0, -800, 1400}, {30, 0, 0, 1400}}},
        {"a later month carries in today, 15 April and 15 May", year, 1000, kToday, 6, 205, 100, 0, 1258, {{1, 0, 0, 1205}, {15, 100, 0, 1305}, {30, 0, 0, 1305}}},
        {"a later month's 1st is its own, not carried in", {Once(Ymd(2025, 6, 1), 40)}, 1000, kToday, 6, 0, 40, 0, 1040, {{1, 40, 0, 1040}}},
        {"a past month: no flows, no carry-in", year, 1000, kToday, 3, 0, 0, 0, 1000, {{1, 0, 0, 1000}, {31, 0, 0, 1000}}},
        {"December up to the 31st, not 1 January", year, 1000, kToday, 12, 805, 170, 0, 1862, {{1, 0, 0, 1805}, {15, 100, 0, 1905}, {31, 70, 0, 1975}}},
        {"red while below zero, not at zero", {Once(Ymd(2025, 4, 12), -300), Once(Ymd(2025, 4, 14), 200)}, 100, kToday, 4, 0, 200, -300, -10, {{11, 0, 0, 100}, {12, 0, -300, -200}, {13, 0, 0, -200}, {14, 200, 0, 0}}},
        {"two listed days shortened onto 30 April are both owed", {Flow(prThriceMonthly, Ymd(2025, 4, 1), 6, -100).Days(15, 30, 31)}, 0, kToday, 4, 0, 0, -300, -86, {{15, 0, -100, -100}, {30, 0, -200, -300}}},
        {"1 and 2 average 1.5, which goes to 2", {Once(Ymd(2025, 4, 30), 1)}, 1, Ymd(2025, 4, 29), 4, 0, 1, 0, 2, {}},
        {"2 and 3 average 2.5, which goes to 2", {Once(Ymd(2025, 4, 30), 1)}, 2, Ymd(2025, 4, 29), 4, 0, 1, 0, 2, {}},
        {"-2 and -3 average -2.5, which goes to -2", {Once(Ymd(2025, 4, 30), -1)}, -2, Ymd(2025, 4, 29), 4, 0, 0, -1, -2, {}},
        {"-1 and -2 average -1.5, which goes to -2", {Once(Ymd(2025, 4, 30), -1)}, -1, Ymd(2025, 4, 29), 4, 0, 0, -1, -2, {}},
        {"leaving 32 bits: the days before keep their figures", twoIncomes, nearTop, kToday, 4, 0, 50'000'000, 0, 0, {{19, 0, 0, 2'097'483'647}, {20, 0, 0, 0}}, Ymd(2025, 4, 20)},
        {"leaving 32 bits: a later month has none and names the earlier day", twoIncomes, nearTop, kToday, 5, 0, 0, 0, 0, {{1, 0, 0, 0}}, Ymd(2025, 4, 20)},
        {"leaving 32 bits: a day's income alone", {Once(Ymd(2025, 4, 15), 2'000'000'000), Once(Ymd(2025, 4, 15), 2'000'000'000)}, -2'000'000'000, kToday, 4, 0, 0, 0, 0, {{14, 0, 0, -2'000'000'000}, {15, 0, 0, 0}}, Ymd(2025, 4, 15)},
        {"a carry-in beyond 32 bits on a balance that stays within them", {Flow(prMonthly, Ymd(2025, 4, 11), 3, 1'000'000'000)}, -2'100'000'000, kToday, 7, 0, 0, 0, 900'000'000, {{31, 0, 0, 900'000'000}}},
        {"large figures within 32 bits all month", twoIncomes, 0, kToday, 4, 0, 110'000'000, 0, 76'666'667, {{30, 0, 0, 110'000'000}}},
    };
    for (const auto& c : cases) {
        TPlanBookState state;
        state.SetCurrentDate(c.today);
        state.OpeningBalance = c.opening;
        TCalendarMonth calendar;
        calendar.Layout(2025, 4, 0);
        calendar.Cell(calendar.DayToCell(9)).Balance = 77;  // whatever the month showed before
        const TMonthTotals totals = ComputeMonth(MakeBook(c.plans), state, 2025, c.month, c.today, calendar);
        EXPECT_EQ(std::tuple(state.MonthCarryIn, totals.Income, totals.Expense, calendar.MonthAverageBalance, totals.OutOfRangeFrom, calendar.MonthAverageKnown),
                  std::tuple(c.carryIn, int64_t{c.income}, int64_t{c.expense}, c.average, c.outOfRangeFrom, c.outOfRangeFrom == 0))
            << c.what;
        for (const auto& [d, income, expense, balance] : c.days) {
            const TDayCell& cell = calendar.Cell(calendar.DayToCell(d));
            EXPECT_EQ((std::array{cell.Income, cell.Expense, cell.Balance, cell.BalanceColor}),
                      (std::array{income, expense, balance, balance < 0 ? clRed : clBlue}))
                << c.what << ", day " << d;
        }
    }
    TPlanBookState state;
    state.SetCurrentDate(kToday);
    state.OpeningBalance = 10;
    TCalendarMonth calendar;
    calendar.Layout(2025, 5, 0);
    calendar.Cell(calendar.DayToCell(10)).Balance = calendar.MonthAverageBalance = state.MonthCarryIn = 9;
    EXPECT_EQ(FailingPlan([&] { ComputeMonth(MakeBook({Once(kToday, 5), Broken(kToday)}), state, 2025, 5, kToday, calendar); }), 1);
    EXPECT_EQ((std::array{calendar.Cell(calendar.DayToCell(10)).Balance, calendar.MonthAverageBalance, state.MonthCarryIn}),
              (std::array{0, 0, 0}))
        << "a failed month shows no half-computed figures";
}

TEST(Ledger, DayItemsAndMonthTotalsAsShown) {
    const TDate d = Ymd(2025, 4, 30);
    const TPlanBook book = MakeBook({Once(d, 5), Once(d + 1, 5), Once(d - 1, 5), Flow(prMonthly, Ymd(2024, 5, 30), 24, 9),
                                     Flow(prThriceMonthly, Ymd(2025, 4, 1), 6, 100).Days(15, 30, 31)});
    const std::vector<std::string> items = BuildDayItems(book, d);
    EXPECT_EQ(items, (std::vector<std::string>{"   0       1", "   3      12", "   4       2"}));
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
        Once(Ymd(2025, 5, 1), 1),
        Flow(prOnce, Ymd(2025, 4, 9), 1, 500, "獎金"),
        Flow(prThriceMonthly, Ymd(2025, 4, 1), 6, -100).Days(15, 30, 31),  // two on 30 April
        Flow(prMonthly, Ymd(2025, 3, 30), 2, 7),                           // its last before today
    });
    std::vector<std::tuple<int32_t, int32_t, TDate, std::string, std::string>> rows;
    for (const TPassRecord& p : BuildPendingList(book, Ymd(2025, 4, 5), Ymd(2025, 5, 1))) {
        rows.emplace_back(p.PlanIndex, p.Occurrence, p.Date, p.AmountText, p.Description);
    }
    EXPECT_EQ(rows, (decltype(rows){{0, 2, Ymd(2025, 4, 11), "-20", ""}, {0, 3, Ymd(2025, 4, 21), "-20", ""}, {3, 1, Ymd(2025, 4, 9), "500", "獎金"}, {4, 1, Ymd(2025, 4, 15), "-100", ""}, {4, 2, Ymd(2025, 4, 30), "-100", ""}, {4, 3, Ymd(2025, 4, 30), "-100", ""}, {5, 2, Ymd(2025, 4, 30), "7", ""}}));
}

TEST(CatchUp, AmountTextsAreSignedWholeNumbers) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"500", 500},
        {"-200", -200},
        {"+7", 7},
        {"0", 0},
        {"-2147483648", INT32_MIN},
        {"2147483647", INT32_MAX},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"1-2", std::nullopt},
        {"12a", std::nullopt},
        {" 5", std::nullopt},
        {"+-1", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseAmountText(text), value) << '"' << text << '"';
}

// A balance that leaves 32 bits is refused with the item that took it out for good, rather than wrapped.
TEST(CatchUp, ConfirmedAmountsAreAddedToTheLoadedBalanceOrTheBadItemIsNamed) {
    const struct {
        const char* what;
        int32_t loaded;
        std::vector<std::string> amounts;
        std::string result;
    } cases[] = {
        {"amounts added", 1000, {"500", "-200", "0"}, "1300"},
        {"an emptied amount in item 5", 1000, {"500", "-200", "0", "0", "", "x"}, "第 5 項金額輸入錯誤"},
        {"a mistyped income in item 2", 1000, {"5", "2147483000", "-3"}, "第 2 項金額輸入錯誤"},
        {"expenses below the bottom", INT32_MIN + 10, {"-5", "-5", "-1", "-4"}, "第 3 項金額輸入錯誤"},
        {"out and back in again", 2147483000, {"1000", "-1000"}, "2147483000"},
        {"out, back in and out again", 2147483000, {"1000", "-1000", "700", "-1"}, "第 3 項金額輸入錯誤"},
        {"exactly the top", INT32_MAX - 1, {"1"}, "2147483647"},
        {"exactly the bottom", INT32_MIN + 1, {"-1"}, "-2147483648"},
    };
    for (const auto& c : cases) {
        TPendingList list;
        for (const std::string& amount : c.amounts) list.push_back({0, 0, 0, amount, ""});
        try {
            EXPECT_EQ(std::to_string(CaughtUpBalance(c.loaded, list)), c.result) << c.what;
        } catch (const EInvalid& e) {
            EXPECT_EQ(e.what(), c.result) << c.what;
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

// The start balance counts what lies between today and a later start; the line then adds every occurrence from its
// first to its last day.
TEST(Trend, LineFromAStartBeforeAtOrAfterToday) {
    const struct {
        const char* what;
        TDate start;
        int32_t days, startBalance;
        std::vector<std::pair<int, int32_t>> points;
    } cases[] = {
        {"today: the opening balance, then today's 20", kToday, 1, kOpening, {{0, kOpening + 20}}},
        {"tomorrow: plus today's 20", kToday + 1, 1, kOpening + 20, {{0, kOpening + 20}}},
        {"occurrences on the first and the last charted day", Ymd(2025, 4, 15), 6, kOpening + 20, {{0, kOpening + 20 - 150}, {5, kOpening + 20 - 150 + 7}}},
        {"two periods on one day", Ymd(2025, 4, 16), 15, kOpening - 130, {{13, kOpening - 123}, {14, kOpening - 323}}},
        {"a past start: the opening balance, 5 April's 100 again", Ymd(2025, 4, 1), 10, kOpening, {{3, kOpening}, {4, kOpening + 100}, {9, kOpening + 120}}},
        {"no days", kToday, 0, kOpening, {}},
    };
    for (const auto& c : cases) {
        const TTrendLine line(SampleBook(), kOpening, c.start, c.days, kToday);
        EXPECT_EQ(std::tuple(line.StartBalance(), line.ChartStartDate(), line.DayCount(), line.Points().size()),
                  std::tuple(c.startBalance, c.start, c.days, std::size_t(c.days)))
            << c.what;
        for (const auto& [j, balance] : c.points) {
            EXPECT_EQ(line.Points().at(std::size_t(j)), (TBalancePoint{c.start + j, balance})) << c.what;
        }
    }
    EXPECT_EQ(AxisDateLabel(Ymd(2005, 1, 2)), "05/1/2");
    const TPlanBook broken = MakeBook({Once(kToday, 1), Broken(kToday + 3)});
    EXPECT_EQ(FailingPlan([&] { TTrendLine(broken, 0, kToday, 10, kToday); }), 1);
    EXPECT_EQ(FailingPlan([&] { ComputeStartBalance(broken, 0, kToday + 9, kToday); }), 1);
}

// A count the unit does not take is brought within it (1 month, 2 years, 45 days and others: the chart window's tests).
TEST(Trend, CountOfUnitsGivesTheDaysCharted) {
    const struct {
        int64_t count;
        TChartUnit unit;
        TChartInterval interval;
    } cases[] = {
        {360, TChartUnit::Months, {360, 10800, 30}},
        {31, TChartUnit::Years, {30, 10950, 365}},
        {30, TChartUnit::Years, {30, 10950, 365}},
        {20000, TChartUnit::Days, {kMaxChartDays, kMaxChartDays, 1}},
        {int64_t{1} << 40, TChartUnit::Months, {360, 10800, 30}},
    };
    for (const auto& c : cases) EXPECT_EQ(ChartInterval(c.count, c.unit), c.interval) << c.count;
}

const TDate kEnd = Ymd(2060, 12, 31);  // the last day looked at from kToday

TEST(LookAhead, LowestBalanceAndFirstDayBelowZeroInTheYearsAhead) {
    const TPlanRecord loan = RecordBuilder(prMonthly, kToday, 241).Kind(pkLoan).Method(mtEqualPrincipal).Amount(240000);
    using TPoint = std::optional<TBalancePoint>;
    const struct {
        const char* what;
        int32_t opening;
        std::vector<TPlanRecord> plans;
        TPoint lowest, belowZero;
        TDate outOfRangeFrom;
    } cases[] = {
        {"a dip then a recovery", 1000, {Once(kToday + 10, -1500), Once(kToday + 20, 2000)}, TBalancePoint{kToday + 10, -500}, TBalancePoint{kToday + 10, -500}, 0},
        {"lowest on two days: the earlier", 1000, {Once(kToday + 5, -300), Once(kToday + 6, 300), Once(kToday + 8, -300)}, TBalancePoint{kToday + 5, 700}, std::nullopt, 0},
        {"never below zero: today is the lowest", 0, {Flow(prMonthly, kToday + 1, 12, 100)}, TBalancePoint{kToday, 0}, std::nullopt, 0},
        {"below zero today", -50, {Once(kToday, 20), Once(kToday + 3, 100)}, TBalancePoint{kToday, -30}, TBalancePoint{kToday, -30}, 0},
        // 240,000 in, then 1,000 a month back; 10 a month out from today: -390 after 238 months.
        {"a loan pushes it below zero in year 20", 0, {loan, Flow(prMonthly, kToday, 241, -10)}, TBalancePoint{Ymd(2045, 4, 10), -2410}, TBalancePoint{Ymd(2045, 2, 10), -390}, 0},
        {"the span's last day counts, the day after does not", 0, {Once(kEnd, -1), Once(kEnd + 1, -1000)}, TBalancePoint{kEnd, -1}, TBalancePoint{kEnd, -1}, 0},
        {"a balance leaving 32 bits stops the look there", 2147483000, {Once(kToday + 2, -5000), Once(kToday + 3, 9000)}, TBalancePoint{kToday + 2, 2147478000}, std::nullopt, kToday + 3},
        {"a day's total leaving 32 bits though the balance fits", -2147483000, {Once(kToday + 1, -600), Once(kToday + 4, 2000000000), Once(kToday + 4, 2000000000)}, TBalancePoint{kToday + 1, -2147483600}, TBalancePoint{kToday, -2147483000}, kToday + 4},
        {"already today's balance out of range", 2147483000, {Once(kToday, 9000)}, std::nullopt, std::nullopt, kToday},
    };
    for (const auto& c : cases) {
        const TLookAhead ahead = LookAhead(MakeBook(c.plans), c.opening, kToday);
        EXPECT_EQ(std::tuple(ahead.Lowest, ahead.FirstBelowZero, ahead.OutOfRangeFrom), std::tuple(c.lowest, c.belowZero, c.outOfRangeFrom)) << c.what;
    }
    EXPECT_EQ(LookAheadEnd(Ymd(9970, 6, 1)), Ymd(9999, 12, 31)) << "the span ends with the calendar's last year";
    EXPECT_EQ(FailingPlan([] { LookAhead(MakeBook({Once(kToday, 1), Broken(kToday + 3)}), 0, kToday); }), 1);
}

}  // namespace
}  // namespace tamber
