#include "Ledger.h"

#include <gtest/gtest.h>

#include "BookErrors.h"
#include "BookTestSupport.h"

namespace tamber {
namespace {

using test::Flow;
using test::MakeBook;
using test::Once;
using test::Ymd;

struct LedgerTest : ::testing::Test {
    TDate today = Ymd(2025, 4, 10);  // a Thursday; April has 30 days
    TPlanBookState state;
    TCalendarMonth calendar;

    void SetToday(TDate t) {
        today = t;
        state.SetCurrentDate(t);
    }
    void SetUp() override { SetToday(today); }
    TMonthTotals Compute(const TPlanBook& book, int year, int month) {
        return ComputeMonth(book, state, year, month, today, calendar);
    }
    const TDayCell& Day(int d) const { return calendar.Cell(calendar.DayToCell(d)); }
};

TEST_F(LedgerTest, EmptyBookShowsTheOpeningBalanceFromTodayOnly) {
    state.OpeningBalance = 5000;
    const TMonthTotals totals = Compute(TPlanBook(), 2025, 4);
    for (int d = 1; d <= 30; ++d) {
        EXPECT_EQ(Day(d).Balance, d < 10 ? 0 : 5000) << "day " << d;
        EXPECT_EQ(Day(d).BalanceColor, clBlue) << "day " << d;
    }
    EXPECT_EQ(FormatMonthTotal(totals.Income), "0");
    EXPECT_EQ(FormatMonthTotal(totals.Expense), "0");
    EXPECT_EQ(calendar.MonthAverageBalance, 5000);
    EXPECT_EQ(state.MonthCarryIn, 0);
}

TEST_F(LedgerTest, TodaysAndTomorrowsFlowsRunIntoTheBalance) {
    state.OpeningBalance = 1000;
    const TPlanBook book = MakeBook({Once(today, 1200), Once(today + 1, -500), Once(today + 1, -300),
                                     Once(today + 1, 0), Once(Ymd(2025, 4, 5), 50)});
    const TMonthTotals totals = Compute(book, 2025, 4);
    EXPECT_EQ(Day(10).Income, 1200);
    EXPECT_EQ(Day(10).Balance, 2200);
    EXPECT_EQ(Day(11).Income, 0);  // a zero amount counts as an expense of 0
    EXPECT_EQ(Day(11).Expense, -800);
    EXPECT_EQ(Day(11).Balance, 1400);
    EXPECT_EQ(Day(30).Balance, 1400);
    EXPECT_EQ(Day(5).Income, 0) << "occurrences before today are in the opening balance";
    EXPECT_EQ(totals.Income, 1200);
    EXPECT_EQ(totals.Expense, -800);
    EXPECT_EQ(calendar.MonthAverageBalance, 1438);  // (2200 + 20 x 1400) / 21 = 1438.1
}

TEST_F(LedgerTest, LaterMonthStartsFromTheCarryInAndPastMonthsStayFlat) {
    state.OpeningBalance = 1000;
    const TPlanBook book = MakeBook({Flow(prMonthly, Ymd(2025, 3, 15), 12, 100), Once(Ymd(2025, 4, 5), 999),
                                     Once(Ymd(2025, 12, 31), 70), Once(Ymd(2026, 1, 1), 80)});
    Compute(book, 2025, 6);
    EXPECT_EQ(state.MonthCarryIn, 200);  // 15 April and 15 May; 15 March and 5 April are past
    EXPECT_EQ(Day(1).Balance, 1200);
    EXPECT_EQ(Day(15).Income, 100);
    EXPECT_EQ(Day(30).Balance, 1300);

    Compute(book, 2025, 3);  // a past month: no flows, no carry-in, every day the opening balance
    EXPECT_EQ(state.MonthCarryIn, 0);
    for (int d = 1; d <= 31; ++d) EXPECT_EQ(Day(d).Balance, 1000) << "day " << d;
    EXPECT_EQ(Day(15).Income, 0);

    const TMonthTotals december = Compute(book, 2025, 12);  // up to 31 December, not 1 January
    EXPECT_EQ(Day(31).Income, 70);
    EXPECT_EQ(december.Income, 170);
    EXPECT_EQ(state.MonthCarryIn, 800);  // 15 April to 15 November
}

TEST_F(LedgerTest, AverageRoundsHalvesToEven) {
    struct Case { const char* what; int32_t opening, lastDay, average; };
    const Case cases[] = {
        {"1 and 2 average 1.5, which goes to 2", 1, 1, 2},
        {"2 and 3 average 2.5, which goes to 2", 2, 1, 2},
        {"3 and 4 average 3.5, which goes to 4", 3, 1, 4},
        {"-1 and -2 average -1.5, which goes to -2", -1, -1, -2},
        {"-2 and -3 average -2.5, which goes to -2", -2, -1, -2},
    };
    SetToday(Ymd(2025, 4, 29));  // two days left in April
    for (const Case& c : cases) {
        state.OpeningBalance = c.opening;
        Compute(MakeBook({Once(Ymd(2025, 4, 30), c.lastDay)}), 2025, 4);
        EXPECT_EQ(calendar.MonthAverageBalance, c.average) << c.what;
    }
}

TEST_F(LedgerTest, BalanceIsRedWhileBelowZero) {
    state.OpeningBalance = 100;
    Compute(MakeBook({Once(Ymd(2025, 4, 12), -300), Once(Ymd(2025, 4, 14), 500)}), 2025, 4);
    const TColor expected[] = {clBlue, clRed, clRed, clBlue};
    for (int d = 11; d <= 14; ++d) EXPECT_EQ(Day(d).BalanceColor, expected[d - 11]) << "day " << d;
    EXPECT_EQ(Day(13).Balance, -200);
}

TEST_F(LedgerTest, MonthTotalsAreGroupedInThousands) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {-1234567, "-1,234,567"}, {2147483647, "2,147,483,647"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatMonthTotal(value), text);
}

TEST_F(LedgerTest, TwoListedDaysOnOneMonthEndAreBothOwed) {
    // The 30th and the 31st both fall on 30 April: periods 2 and 3 share the day.
    const TPlanBook book = MakeBook({test::RecordBuilder(prThriceMonthly, Ymd(2025, 4, 1), 6).Days(15, 30, 31).Amount(100, -1)});
    Compute(book, 2025, 4);
    EXPECT_EQ(Day(15).Expense, -100);
    EXPECT_EQ(Day(30).Expense, -200);
    EXPECT_EQ(BuildDayItems(book, Ymd(2025, 4, 30)), std::vector<std::string>{"   0       2"});
}

TEST_F(LedgerTest, DayItemsListPlanIndexAndPeriod) {
    const TDate d = Ymd(2025, 4, 10);
    const TPlanBook book = MakeBook({Once(d, 5), Once(d + 1, 5), Once(d - 1, 5), Flow(prMonthly, Ymd(2024, 5, 10), 24, 9)});
    const std::vector<std::string> items = BuildDayItems(book, d);
    EXPECT_EQ(items, (std::vector<std::string>{"   0       1", "   3      12"}));
    EXPECT_EQ(ParseDayItem(items[1]), (TDayItem{3, 12}));
    EXPECT_EQ(ParseDayItem("9999 1234567"), (TDayItem{9999, 1234567}));
    EXPECT_FALSE(ParseDayItem("   x       1"));
    EXPECT_FALSE(ParseDayItem("   3      1"));
}

TEST_F(LedgerTest, PlanThatCannotBeComputedIsNamedAndLeavesAnEmptyMonth) {
    state.OpeningBalance = 10;
    Compute(TPlanBook(), 2025, 4);
    const TPlanBook book = MakeBook({Once(today, 5), test::Broken(today)});
    try {
        Compute(book, 2025, 4);
        FAIL() << "no error";
    } catch (const EPlanError& e) {
        EXPECT_EQ(e.PlanIndex(), 1);
        EXPECT_THROW(std::rethrow_if_nested(e), EAmountRange);
    }
    EXPECT_EQ(Day(10).Balance, 0);
    EXPECT_EQ(calendar.MonthAverageBalance, 0);
}

}  // namespace
}  // namespace tamber
