// The lowest balance to come and the first day below zero, against the calendar's figures.
#include "book/LookAhead.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "book/Ledger.h"

namespace tamber {
namespace {

using namespace test;

const TDate kToday = Ymd(2025, 4, 10);
const TDate kEnd = Ymd(2060, 12, 31);

// The calendar's balance at the end of Day, computed for its month as the main window does.
int32_t CalendarBalance(const TPlanBook& book, int32_t opening, TDate day) {
    TPlanBookState state;
    state.SetCurrentDate(kToday);
    state.OpeningBalance = opening;
    TCalendarMonth calendar;
    const TYearMonthDay ymd = DecodeDate(day);
    ComputeMonth(book, state, ymd.Year, ymd.Month, kToday, calendar);
    return calendar.Cell(calendar.DayToCell(ymd.Day)).Balance;
}

TEST(LookAhead, LowestAndFirstBelowZeroAreTheCalendarsFigures) {
    const TPlanRecord loan = RecordBuilder(prMonthly, kToday, 241).Kind(pkLoan).Method(mtEqualPrincipal).Amount(240000);
    using TPoint = std::optional<TBalancePoint>;
    struct Case {
        const char* what;
        int32_t opening;
        std::vector<TPlanRecord> plans;
        TPoint lowest, belowZero;
        TDate outOfRangeFrom;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const TPlanBook book = MakeBook(c.plans);
        const TLookAhead ahead = LookAhead(book, c.opening, kToday);
        EXPECT_EQ(ahead.Lowest, c.lowest) << c.what;
        EXPECT_EQ(ahead.FirstBelowZero, c.belowZero) << c.what;
        EXPECT_EQ(ahead.OutOfRangeFrom, c.outOfRangeFrom) << c.what;
        for (const TPoint& p : {c.lowest, c.belowZero}) {
            if (!p || c.outOfRangeFrom != 0) continue;
            EXPECT_EQ(CalendarBalance(book, c.opening, p->Date), p->Balance) << c.what;
        }
    }
    EXPECT_EQ(LookAheadEnd(Ymd(9970, 6, 1)), Ymd(9999, 12, 31)) << "the span ends with the calendar's last year";
    EXPECT_EQ(FailingPlan([] { LookAhead(MakeBook({Once(kToday, 1), Broken(kToday + 3)}), 0, kToday); }), 1);
}

}  // namespace
}  // namespace tamber
