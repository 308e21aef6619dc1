#include "Trend.h"

#include <gtest/gtest.h>

#include "Big5.h"
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
        {"tomorrow: plus today's 20", kToday + 1, kOpening + 20},
        {"earlier: the opening balance, nothing taken back", Ymd(2025, 4, 1), kOpening},
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

TEST(Trend, PastStartBeginsAtTheOpeningBalanceAndAddsFromTheStartOn) {
    const TTrendLine line(SampleBook(), kOpening, Ymd(2025, 4, 1), 10, kToday);
    EXPECT_EQ(line.StartBalance(), kOpening);
    EXPECT_EQ(line.Points()[3].Balance, kOpening) << "3 April";
    EXPECT_EQ(line.Points()[4].Balance, kOpening + 100) << "5 April's 100 counted again";
    EXPECT_EQ(line.Points()[9].Balance, kOpening + 100 + 20) << "today";
}

TEST(Trend, LineFromTodayOnAgreesWithTheCalendar) {
    const TPlanBook book = SampleBook();
    for (const TDate start : {kToday, kToday + 3}) {
        const TTrendLine line(book, kOpening, start, 90, kToday);
        TPlanBookState state;
        state.OpeningBalance = kOpening;
        state.SetCurrentDate(kToday);
        TCalendarMonth calendar;
        for (const TBalancePoint& p : line.Points()) {
            const TYearMonthDay ymd = DecodeDate(p.Date);
            if (calendar.Year() != ymd.Year || calendar.Month() != ymd.Month) {
                ComputeMonth(book, state, ymd.Year, ymd.Month, kToday, calendar);
            }
            EXPECT_EQ(p.Balance, calendar.Cell(calendar.DayToCell(ymd.Day)).Balance) << ymd.Month << "/" << ymd.Day;
        }
    }
}

TEST(Trend, LineIsTheRunningDaySumOfEveryPlan) {
    const TPlanBook book = test::MakeBook({
        Once(kToday, 20),
        Flow(prMonthly, Ymd(2024, 1, 31), 40, -30),  // 31st, clamped to each month's end
        test::RecordBuilder(prEveryNDays, Ymd(2025, 2, 1), 500).Interval(3).Amount(2),
        test::RecordBuilder(prThriceMonthly, Ymd(2025, 1, 1), 60).Days(10, 30, 31).Amount(5, -1),
        Flow(prYearly, Ymd(2020, 2, 29), 12, 1000),
    });
    for (const TDate start : {Ymd(2025, 1, 20), kToday, Ymd(2026, 2, 25)}) {
        for (const int32_t days : {1, 31, 400, 3000}) {
            const TTrendLine line(book, kOpening, start, days, kToday);
            TPlanCursors cursors = StartPlanCursors(book, start);
            int32_t balance = ComputeStartBalance(book, kOpening, start, kToday);
            for (int32_t j = 0; j < days; ++j) {
                balance += DaySum(book, cursors, start + j);
                ASSERT_EQ(line.Points()[static_cast<std::size_t>(j)].Balance, balance) << "day " << j;
            }
            for (std::size_t i = 0; i < cursors.size(); ++i) {
                EXPECT_EQ(line.Cursors()[i].NextDate, cursors[i].NextDate) << "plan " << i;
                EXPECT_EQ(line.Cursors()[i].NextAmount, cursors[i].NextAmount) << "plan " << i;
            }
        }
    }
}

TEST(Trend, EmptyBookGivesAFlatLineAtTheOpeningBalance) {
    const TTrendLine line(TPlanBook{}, kOpening, kToday + 100, 30, kToday);
    ASSERT_EQ(line.Points().size(), 30u);
    for (const TBalancePoint& p : line.Points()) EXPECT_EQ(p.Balance, kOpening);
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

TEST(Trend, CountOfUnitsGivesTheDaysCharted) {
    struct Case { const char* what; int64_t count; TChartUnit unit; TChartInterval interval; };
    const Case cases[] = {
        {"1 month is 30 days", 1, TChartUnit::Months, {1, 30, 30}},
        {"2 years are 730 days", 2, TChartUnit::Years, {2, 730, 365}},
        {"45 days", 45, TChartUnit::Days, {45, 45, 1}},
        {"360 months still convert", 360, TChartUnit::Months, {360, 10800, 30}},
        {"361 months are lowered to 360", 361, TChartUnit::Months, {360, 10800, 30}},
        {"31 years are lowered to 30", 31, TChartUnit::Years, {30, 10950, 365}},
        {"days beyond 30 years are lowered", 20000, TChartUnit::Days, {kMaxChartDays, kMaxChartDays, 1}},
        {"a count beyond 32 bits is lowered", int64_t{1} << 40, TChartUnit::Months, {360, 10800, 30}},
        {"0 is raised to one unit", 0, TChartUnit::Years, {1, 365, 365}},
    };
    for (const Case& c : cases) EXPECT_EQ(ChartInterval(c.count, c.unit), c.interval) << c.what;
}

TEST(Trend, PlanTitlesAndListItems) {
    auto plan = [](const char* description, int32_t amount) {
        TPlanRecord rec = Once(kToday, amount);
        SetDescriptionBytes(rec, Utf8ToBig5(description).Bytes);
        return rec;
    };
    struct Case { const char* what; TPlanRecord rec; const char* title; const char* item; };
    const Case cases[] = {
        {"empty description: the amount", plan("", 1500), "(1500)", "  (1500)"},
        {"short description whole", plan("Rent", 800), "Rent", "Rent  (800)"},
        {"five characters of a long one", plan("每月房屋貸款繳款", 9), "每月房屋貸", "每月房屋貸款繳款  (9)"},
        {"a character the tenth byte would split is left out", plan("A每月房屋貸款", 9), "A每月房屋", "A每月房屋貸款  (9)"},
        {"ten ASCII bytes", plan("Salary 2025 May", 9), "Salary 202", "Salary 2025 May  (9)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Big5ToUtf8(PlanChartTitle(c.rec)), c.title) << c.what;
        EXPECT_EQ(Big5ToUtf8(PlanChartItem(c.rec)), c.item) << c.what;
    }
}

TEST(Trend, AxisDatesReadTwoDigitYearMonthDay) {
    EXPECT_EQ(AxisDateLabel(Ymd(1997, 11, 1)), "97/11/1");
    EXPECT_EQ(AxisDateLabel(Ymd(2005, 1, 2)), "05/1/2");
    EXPECT_EQ(AxisDateLabel(Ymd(2000, 12, 31)), "00/12/31");
}

}  // namespace
}  // namespace tamber
