// What the main window's calendar shows: the cells of a month, the bars that
// pick it, each day's figures and the plans due on a day.
#include "Ledger.h"

#include <gtest/gtest.h>

#include <array>

#include "MonthBars.h"
#include "TestSupport.h"

namespace tamber {
namespace {

using namespace test;

TEST(CalendarMonth, EveryDayOfEveryMonthHasItsOwnCellFromTheStartOfWeek) {
    const struct { int month, startOfWeek, firstCellDay; } firsts[] = {{4, 0, 1}, {7, 1, -5}, {9, 0, -5}, {10, 1, 1}};  // 2001
    for (const auto& f : firsts) {
        TCalendarMonth month;
        month.Layout(2001, f.month, f.startOfWeek);
        EXPECT_EQ(month.FirstCellDay(), f.firstCellDay) << f.month;
    }
    for (int startOfWeek = 0; startOfWeek < 7; ++startOfWeek) {
        for (int m = 1; m <= 12; ++m) {
            TCalendarMonth month;
            month.Layout(2024, m, startOfWeek);
            int days = 0;
            for (int r = 0; r < 8; ++r) {  // row 0 holds the weekday names, cell (6, 6) the summary
                for (int c = -1; c < 8; ++c) {
                    if (const int d = month.CellDay(r, c)) {
                        ++days;
                        EXPECT_EQ(month.DayToCell(d), (TCellPos{r, c}));
                        EXPECT_EQ(month.Cell({r, c}).DayNumber, d);
                        EXPECT_EQ(WeekdayOf(2024, m, d), month.ColumnWeekday(c));
                    }
                }
            }
            EXPECT_EQ(days, month.DaysThisMonth());
        }
    }
}

TEST(MonthBars, CouplingRulesFromAStartInMarch) {
    using Bars = std::array<int, 5>;  // slider, year bar, month bar, year label, month label
    const auto of = [](const TMonthBars& b) { return Bars{b.Slider(), b.YearBar(), b.MonthBar(), b.YearLabel(), b.MonthLabel()}; };
    EXPECT_EQ(TMonthBars(2026, 12).SliderMax(), 360);  // December 30 years on
    const struct { const char* what; void (*act)(TMonthBars&); Bars after; } steps[] = {
        {"year bar to 2 moves the slider two years", [](TMonthBars& b) { b.YearBarMoved(2); }, {24, 2, 2, 2028, 3}},
        {"month bar to July in that year", [](TMonthBars& b) { b.MonthBarMoved(6); }, {28, 2, 6, 2028, 7}},
        {"year bar back to 0 returns to the current month", [](TMonthBars& b) { b.YearBarMoved(0); }, {0, 0, 2, 2026, 3}},
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
    const TDate today = Ymd(2025, 4, 10);  // April has 30 days
    const std::vector<TPlanRecord> year = {Flow(prMonthly, Ymd(2025, 3, 15), 12, 100), Once(Ymd(2025, 4, 5), 999),
                                           Once(today, 5), Once(Ymd(2025, 12, 31), 70), Once(Ymd(2026, 1, 1), 80)};
    const struct {
        const char* what;
        std::vector<TPlanRecord> plans;
        int32_t opening;
        TDate today;
        int month;  // of 2025
        int32_t carryIn, income, expense, average;
        std::vector<std::array<int32_t, 4>> days;  // day, income, expense, balance (red below zero)
    } cases[] = {
        {"empty book: the opening balance from today on", {}, 5000, today, 4, 0, 0, 0, 5000, {{9, 0, 0, 0}, {10, 0, 0, 5000}, {30, 0, 0, 5000}}},
        {"today's and tomorrow's flows; a zero amount is an expense; the 5th is in the opening balance",
         {Once(today, 1200), Once(today + 1, -500), Once(today + 1, -300), Once(today + 1, 0), Once(Ymd(2025, 4, 5), 50)},
         1000, today, 4, 0, 1200, -800, 1438,  // (2200 + 20 x 1400) / 21 = 1438.1
         {{5, 0, 0, 0}, {10, 1200, 0, 2200}, {11, 0, -800, 1400}, {30, 0, 0, 1400}}},
        {"a later month carries in today, 15 April and 15 May", year, 1000, today, 6, 205, 100, 0, 1258,
         {{1, 0, 0, 1205}, {15, 100, 0, 1305}, {30, 0, 0, 1305}}},
        {"a past month: no flows, no carry-in", year, 1000, today, 3, 0, 0, 0, 1000, {{1, 0, 0, 1000}, {31, 0, 0, 1000}}},
        {"December up to the 31st, not 1 January", year, 1000, today, 12, 805, 170, 0, 1862,
         {{1, 0, 0, 1805}, {15, 100, 0, 1905}, {31, 70, 0, 1975}}},
        {"red while below zero, not at zero", {Once(Ymd(2025, 4, 12), -300), Once(Ymd(2025, 4, 14), 200)}, 100, today, 4,
         0, 200, -300, -10, {{11, 0, 0, 100}, {12, 0, -300, -200}, {13, 0, 0, -200}, {14, 200, 0, 0}}},
        {"two listed days shortened onto 30 April are both owed", {Flow(prThriceMonthly, Ymd(2025, 4, 1), 6, -100).Days(15, 30, 31)},
         0, today, 4, 0, 0, -300, -86, {{15, 0, -100, -100}, {30, 0, -200, -300}}},
        {"1 and 2 average 1.5, which goes to 2", {Once(Ymd(2025, 4, 30), 1)}, 1, Ymd(2025, 4, 29), 4, 0, 1, 0, 2, {}},
        {"2 and 3 average 2.5, which goes to 2", {Once(Ymd(2025, 4, 30), 1)}, 2, Ymd(2025, 4, 29), 4, 0, 1, 0, 2, {}},
        {"-2 and -3 average -2.5, which goes to -2", {Once(Ymd(2025, 4, 30), -1)}, -2, Ymd(2025, 4, 29), 4, 0, 0, -1, -2, {}},
        {"-1 and -2 average -1.5, which goes to -2", {Once(Ymd(2025, 4, 30), -1)}, -1, Ymd(2025, 4, 29), 4, 0, 0, -1, -2, {}},
    };
    for (const auto& c : cases) {
        TPlanBookState state;
        state.SetCurrentDate(c.today);
        state.OpeningBalance = c.opening;
        TCalendarMonth calendar;
        calendar.Layout(2025, 4, 0);
        calendar.Cell(calendar.DayToCell(9)).Balance = 77;  // whatever the month showed before
        const TMonthTotals totals = ComputeMonth(MakeBook(c.plans), state, 2025, c.month, c.today, calendar);
        EXPECT_EQ((std::array{state.MonthCarryIn, totals.Income, totals.Expense, calendar.MonthAverageBalance}),
                  (std::array{c.carryIn, c.income, c.expense, c.average})) << c.what;
        for (const auto& [d, income, expense, balance] : c.days) {
            const TDayCell& cell = calendar.Cell(calendar.DayToCell(d));
            EXPECT_EQ((std::array{cell.Income, cell.Expense, cell.Balance, cell.BalanceColor}),
                      (std::array{income, expense, balance, balance < 0 ? clRed : clBlue})) << c.what << ", day " << d;
        }
    }
    TPlanBookState state;
    state.SetCurrentDate(today);
    state.OpeningBalance = 10;
    TCalendarMonth calendar;
    calendar.Layout(2025, 5, 0);
    calendar.Cell(calendar.DayToCell(10)).Balance = calendar.MonthAverageBalance = state.MonthCarryIn = 9;
    EXPECT_EQ(FailingPlan([&] { ComputeMonth(MakeBook({Once(today, 5), Broken(today)}), state, 2025, 5, today, calendar); }), 1);
    EXPECT_THROW(ComputeMonth(MakeBook({Once(today, 2000000000), Once(today, 2000000000)}), state, 2025, 4, today, calendar), EAmountRange)
        << "a day's sum beyond 32 bits";
    EXPECT_EQ((std::array{calendar.Cell(calendar.DayToCell(10)).Balance, calendar.MonthAverageBalance, state.MonthCarryIn}),
              (std::array{0, 0, 0})) << "a failed month shows no half-computed figures";
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

}  // namespace
}  // namespace tamber
