#include "book/Ledger.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "BookTestSupport.h"

namespace tamber {
namespace {

using namespace test;

const TDate kToday = Ymd(2025, 4, 10);  // April has 30 days

const TDayCell& Day(const TCalendarMonth& calendar, int d) { return calendar.Cell(calendar.DayToCell(d)); }

TEST(Ledger, MonthFromTodayOrTheCarryIn) {
    const std::vector<TPlanRecord> monthly = {Flow(prMonthly, Ymd(2025, 3, 15), 12, 100), Once(Ymd(2025, 4, 5), 999),
                                              Once(kToday, 5), Once(Ymd(2025, 12, 31), 70), Once(Ymd(2026, 1, 1), 80)};
    const TPlanRecord club = RecordBuilder(prThriceMonthly, Ymd(2025, 4, 1), 6).Days(15, 30, 31).Amount(100, -1);
    struct Case {
        const char* what;
        std::vector<TPlanRecord> plans;
        int32_t opening;
        TDate today;
        int month;  // of 2025
        int32_t carryIn, income, expense, average;
        std::vector<std::array<int32_t, 4>> days;  // day, income, expense, balance (red below zero)
    };
    const Case cases[] = {
        {"empty book: the opening balance from today on", {}, 5000, kToday, 4, 0, 0, 0, 5000,
         {{9, 0, 0, 0}, {10, 0, 0, 5000}, {30, 0, 0, 5000}}},
        {"today's and tomorrow's flows; a zero amount is an expense; the 5th is in the opening balance",
         {Once(kToday, 1200), Once(kToday + 1, -500), Once(kToday + 1, -300), Once(kToday + 1, 0), Once(Ymd(2025, 4, 5), 50)},
         1000, kToday, 4, 0, 1200, -800, 1438,  // (2200 + 20 x 1400) / 21 = 1438.1
         {{5, 0, 0, 0}, {10, 1200, 0, 2200}, {11, 0, -800, 1400}, {30, 0, 0, 1400}}},
        {"a later month carries in today, 15 April and 15 May", monthly, 1000, kToday, 6, 205, 100, 0, 1258,
         {{1, 0, 0, 1205}, {15, 100, 0, 1305}, {30, 0, 0, 1305}}},
        {"a past month: no flows, no carry-in", monthly, 1000, kToday, 3, 0, 0, 0, 1000,
         {{1, 0, 0, 1000}, {15, 0, 0, 1000}, {31, 0, 0, 1000}}},
        {"December up to the 31st, not 1 January", monthly, 1000, kToday, 12, 805, 170, 0, 1862,
         {{1, 0, 0, 1805}, {15, 100, 0, 1905}, {31, 70, 0, 1975}}},
        {"red while below zero, not at zero", {Once(Ymd(2025, 4, 12), -300), Once(Ymd(2025, 4, 14), 200)}, 100, kToday, 4,
         0, 200, -300, -10, {{11, 0, 0, 100}, {12, 0, -300, -200}, {13, 0, 0, -200}, {14, 200, 0, 0}}},
        {"two listed days shortened onto 30 April are both owed", {club}, 0, kToday, 4, 0, 0, -300, -86,
         {{15, 0, -100, -100}, {30, 0, -200, -300}}},
        {"1 and 2 average 1.5, which goes to 2", {Once(Ymd(2025, 4, 30), 1)}, 1, Ymd(2025, 4, 29), 4, 0, 1, 0, 2, {}},
        {"2 and 3 average 2.5, which goes to 2", {Once(Ymd(2025, 4, 30), 1)}, 2, Ymd(2025, 4, 29), 4, 0, 1, 0, 2, {}},
        {"-1 and -2 average -1.5, which goes to -2", {Once(Ymd(2025, 4, 30), -1)}, -1, Ymd(2025, 4, 29), 4, 0, 0, -1, -2, {}},
        {"-2 and -3 average -2.5, which goes to -2", {Once(Ymd(2025, 4, 30), -1)}, -2, Ymd(2025, 4, 29), 4, 0, 0, -1, -2, {}},
    };
    for (const Case& c : cases) {
        TPlanBook book;
        for (const TPlanRecord& rec : c.plans) book.Append(CreateFrom(rec));
        TPlanBookState state;
        state.SetCurrentDate(c.today);
        state.OpeningBalance = c.opening;
        TCalendarMonth calendar;
        const TMonthTotals totals = ComputeMonth(book, state, 2025, c.month, c.today, calendar);
        EXPECT_EQ(state.MonthCarryIn, c.carryIn) << c.what;
        EXPECT_EQ(totals.Income, c.income) << c.what;
        EXPECT_EQ(totals.Expense, c.expense) << c.what;
        EXPECT_EQ(calendar.MonthAverageBalance, c.average) << c.what;
        for (const auto& [d, income, expense, balance] : c.days) {
            EXPECT_EQ(Day(calendar, d).Income, income) << c.what << ", day " << d;
            EXPECT_EQ(Day(calendar, d).Expense, expense) << c.what << ", day " << d;
            EXPECT_EQ(Day(calendar, d).Balance, balance) << c.what << ", day " << d;
            EXPECT_EQ(Day(calendar, d).BalanceColor, balance < 0 ? clRed : clBlue) << c.what << ", day " << d;
        }
    }
}

TEST(Ledger, BalanceLeavingThirtyTwoBitsEndsTheFiguresOnItsDay) {
    constexpr int32_t kNearTop = 2'047'483'647;  // 100,000,000 below the largest amount
    const std::vector<TPlanRecord> twoIncomes = {Once(Ymd(2025, 4, 12), 50'000'000), Once(Ymd(2025, 4, 20), 60'000'000)};
    struct Case {
        const char* what;
        std::vector<TPlanRecord> plans;
        int32_t opening;
        int month;  // of 2025
        TDate outOfRangeFrom;
        int lastDay;  // the last day with a figure, 0 for none
        int32_t lastBalance;
    };
    const Case cases[] = {
        {"the days before the one leaving keep their figures", twoIncomes, kNearTop, 4, Ymd(2025, 4, 20), 19, 2'097'483'647},
        {"a later month has none and names the earlier day", twoIncomes, kNearTop, 5, Ymd(2025, 4, 20), 0, 0},
        {"a day's income alone leaving 32 bits", {Once(Ymd(2025, 4, 15), 2'000'000'000), Once(Ymd(2025, 4, 15), 2'000'000'000)},
         -2'000'000'000, 4, Ymd(2025, 4, 15), 14, -2'000'000'000},
        {"one plan's carry-in beyond 32 bits on a balance that stays within them",
         {Flow(prMonthly, Ymd(2025, 4, 11), 3, 1'000'000'000)}, -2'100'000'000, 7, 0, 31, 900'000'000},
        {"within 32 bits all month", twoIncomes, 0, 4, 0, 30, 110'000'000},
    };
    for (const Case& c : cases) {
        TPlanBook book;
        for (const TPlanRecord& rec : c.plans) book.Append(CreateFrom(rec));
        TPlanBookState state;
        state.SetCurrentDate(kToday);
        state.OpeningBalance = c.opening;
        TCalendarMonth calendar;
        const TMonthTotals totals = ComputeMonth(book, state, 2025, c.month, kToday, calendar);
        EXPECT_EQ(totals.OutOfRangeFrom, c.outOfRangeFrom) << c.what;
        EXPECT_EQ(calendar.MonthAverageKnown, c.outOfRangeFrom == 0) << c.what;
        if (c.lastDay > 0) {
            EXPECT_EQ(Day(calendar, c.lastDay).Balance, c.lastBalance) << c.what;
        }
        if (c.lastDay < calendar.DaysThisMonth()) {
            const TDayCell& after = Day(calendar, c.lastDay + 1);
            EXPECT_EQ(std::tuple(after.Income, after.Expense, after.Balance), std::tuple(0, 0, 0)) << c.what;
        }
    }
}

TEST(Ledger, MonthTotalsAreGroupedInThousands) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {-1234567, "-1,234,567"}, {2147483647, "2,147,483,647"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatMonthTotal(value), text);
}

TEST(Ledger, DayItemsListPlanIndexAndFirstPeriodOfTheDay) {
    const TDate d = Ymd(2025, 4, 30);
    const TPlanBook book = MakeBook({Once(d, 5), Once(d + 1, 5), Once(d - 1, 5), Flow(prMonthly, Ymd(2024, 5, 30), 24, 9),
                                     RecordBuilder(prThriceMonthly, Ymd(2025, 4, 1), 6).Days(15, 30, 31).Amount(100)});
    const std::vector<std::string> items = BuildDayItems(book, d);
    EXPECT_EQ(items, (std::vector<std::string>{"   0       1", "   3      12", "   4       2"}));
    EXPECT_EQ(ParseDayItem(items[1]), (TDayItem{3, 12}));
    EXPECT_EQ(ParseDayItem("9999 1234567"), (TDayItem{9999, 1234567}));
    EXPECT_FALSE(ParseDayItem("   x       1"));
    EXPECT_FALSE(ParseDayItem("   3      1"));
}

TEST(Ledger, PlanThatCannotBeComputedIsNamedAndLeavesAnEmptyMonth) {
    TPlanBookState state;
    state.SetCurrentDate(kToday);
    state.OpeningBalance = 10;
    TCalendarMonth calendar;
    ComputeMonth(TPlanBook(), state, 2025, 4, kToday, calendar);
    try {
        ComputeMonth(MakeBook({Once(kToday, 5), Broken(kToday)}), state, 2025, 4, kToday, calendar);
        FAIL() << "no error";
    } catch (const EPlanError& e) {
        EXPECT_EQ(e.PlanIndex(), 1);
        EXPECT_THROW(std::rethrow_if_nested(e), EAmountRange);
    }
    EXPECT_EQ(Day(calendar, 10).Balance, 0);
    EXPECT_EQ(calendar.MonthAverageBalance, 0);
}

}  // namespace
}  // namespace tamber
