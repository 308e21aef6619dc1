#include "Trend.h"

#include <gtest/gtest.h>

#include "BookErrors.h"
#include "BookTestSupport.h"
#include "Ledger.h"

namespace tamber {
namespace {

using test::Flow;
using test::Once;
using test::Ymd;

const TDate kToday = Ymd(2025, 4, 10);
constexpr int32_t kOpening = 1000;

TPlanBook SampleBook() {
    return test::MakeBook({
        Once(Ymd(2025, 4, 5), 100),                     // before today: in the opening balance
        Once(kToday, 20),                               // today
        Once(Ymd(2025, 4, 15), -50),                    //
        Flow(prMonthly, Ymd(2025, 4, 20), 3, 7),        // 20 April, May and June
        test::RecordBuilder(prThriceMonthly, Ymd(2025, 4, 1), 9).Days(15, 30, 31).Amount(100, -1),  // two on 30 April
    });
}

TEST(Trend, StartBalanceCountsWhatLiesBetweenTodayAndTheStart) {
    const TPlanBook book = SampleBook();
    struct Case { const char* what; TDate start; int32_t balance; };
    const Case cases[] = {
        {"today: the opening balance", kToday, kOpening},
        {"later: plus today's 20, 15 April's -50 and -100", Ymd(2025, 4, 16), kOpening + 20 - 50 - 100},
        {"earlier: minus 5 April's 100, already in the opening balance", Ymd(2025, 4, 1), kOpening - 100},
    };
    for (const Case& c : cases) EXPECT_EQ(ComputeStartBalance(book, kOpening, c.start, kToday), c.balance) << c.what;
}

TEST(Trend, OccurrencesOnTheFirstAndLastChartedDayAreCounted) {
    const TTrendLine line(SampleBook(), kOpening, Ymd(2025, 4, 15), 6, kToday);
    const int32_t start = kOpening + 20;
    EXPECT_EQ(line.StartBalance(), start);
    ASSERT_EQ(line.Points().size(), 6u);
    EXPECT_EQ(line.Points().front(), (TBalancePoint{Ymd(2025, 4, 15), start - 150}));
    EXPECT_EQ(line.Points().back(), (TBalancePoint{Ymd(2025, 4, 20), start - 150 + 7}));
}

TEST(Trend, LineAgreesWithTheCalendarFromTodayWhateverTheStart) {
    const TPlanBook book = SampleBook();
    for (const TDate start : {Ymd(2025, 3, 20), kToday}) {
        const TTrendLine line(book, kOpening, start, 90, kToday);
        TPlanBookState state;
        state.OpeningBalance = kOpening;
        state.SetCurrentDate(kToday);
        TCalendarMonth calendar;
        for (const TBalancePoint& p : line.Points()) {
            if (p.Date < kToday) continue;
            const TYearMonthDay ymd = DecodeDate(p.Date);
            if (calendar.Year() != ymd.Year || calendar.Month() != ymd.Month) {
                ComputeMonth(book, state, ymd.Year, ymd.Month, kToday, calendar);
            }
            EXPECT_EQ(p.Balance, calendar.Cell(calendar.DayToCell(ymd.Day)).Balance) << ymd.Month << "/" << ymd.Day;
        }
        if (start < kToday) {
            EXPECT_EQ(line.Points()[static_cast<std::size_t>(kToday - 1 - start)].Balance, kOpening);
        }
    }
}

TEST(Trend, CursorCountsEveryPeriodOnItsDayAndStepsByDate) {
    const TPlanBook book = SampleBook();
    TPlanCursors cursors = StartPlanCursors(book, Ymd(2025, 4, 30));
    EXPECT_EQ(cursors[4].NextDate, Ymd(2025, 4, 30));
    EXPECT_EQ(cursors[4].NextPeriod, 2);
    EXPECT_EQ(cursors[4].NextAmount, -200);
    EXPECT_EQ(cursors[2].NextDate, 0) << "15 April is behind the start";
    EXPECT_EQ(DaySum(book, cursors, Ymd(2025, 4, 30)), -200);
    EXPECT_EQ(cursors[4].NextDate, Ymd(2025, 5, 15));
    EXPECT_EQ(cursors[4].NextPeriod, 4);
    EXPECT_EQ(DaySum(book, cursors, Ymd(2025, 5, 20)), 7) << "a skipped day is passed without counting";
    EXPECT_EQ(cursors[4].NextDate, Ymd(2025, 5, 30));
}

TEST(Trend, OneDayStepMatchesTheLineDrawnFromTheNextDay) {
    const TPlanBook book = SampleBook();
    TTrendLine line(book, kOpening, Ymd(2025, 4, 8), 7, kToday);
    std::vector<TPlanBar> bars;
    for (int step = 1; step <= 60; ++step) {
        for (const TPlanBar& bar : line.StepOneDay(book)) bars.push_back(bar);
        const TTrendLine fresh(book, kOpening, Ymd(2025, 4, 8) + step, 7, kToday);
        ASSERT_EQ(line.ChartStartDate(), fresh.ChartStartDate());
        ASSERT_EQ(line.Points(), fresh.Points()) << "step " << step;
    }
    // Bars entering at the right edge, from 15 April to 13 June.
    EXPECT_EQ(bars, (std::vector<TPlanBar>{{2, Ymd(2025, 4, 15), -50}, {4, Ymd(2025, 4, 15), -100},
                                           {3, Ymd(2025, 4, 20), 7}, {4, Ymd(2025, 4, 30), -200},
                                           {4, Ymd(2025, 5, 15), -100}, {3, Ymd(2025, 5, 20), 7},
                                           {4, Ymd(2025, 5, 30), -100}, {4, Ymd(2025, 5, 31), -100}}));
    EXPECT_EQ(PlanBars(book.Plan(4), 4, Ymd(2025, 4, 15), 17),
              (std::vector<TPlanBar>{{4, Ymd(2025, 4, 15), -100}, {4, Ymd(2025, 4, 30), -200}}));

    TTrendLine empty(book, kOpening, kToday, 0, kToday);
    EXPECT_TRUE(empty.StepOneDay(book).empty());
    EXPECT_EQ(empty.ChartStartDate(), kToday + 1);
    EXPECT_TRUE(empty.Points().empty());
}

TEST(Trend, PlanThatCannotBeComputedIsNamed) {
    const TPlanBook book = test::MakeBook({Once(kToday, 1), test::Broken(kToday + 3)});
    try {
        TTrendLine(book, 0, kToday, 10, kToday);
        FAIL() << "no error";
    } catch (const EPlanError& e) {
        EXPECT_EQ(e.PlanIndex(), 1);
    }
}

}  // namespace
}  // namespace tamber
