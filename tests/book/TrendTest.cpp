#include "Trend.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace tamber {
namespace {

using namespace test;

const TDate kToday = Ymd(2025, 4, 10);
constexpr int32_t kOpening = 1000;

TPlanBook SampleBook() {
    return MakeBook({
        Once(Ymd(2025, 4, 5), 100),                                        // before today: in the opening balance
        Once(kToday, 20),                                                  // today
        Once(Ymd(2025, 4, 15), -50),
        Flow(prMonthly, Ymd(2025, 4, 20), 3, 7),                           // 20 April, May and June
        Flow(prThriceMonthly, Ymd(2025, 4, 1), 9, -100).Days(15, 30, 31),  // two on 30 April
    });
}

// The start balance counts what lies between today and a later start; the line then adds every occurrence from its
// first to its last day.
TEST(Trend, LineFromAStartBeforeAtOrAfterToday) {
    const struct { const char* what; TDate start; int32_t days, startBalance; std::vector<std::pair<int, int32_t>> points; } cases[] = {
        {"today: the opening balance, then today's 20", kToday, 1, kOpening, {{0, kOpening + 20}}},
        {"tomorrow: plus today's 20", kToday + 1, 1, kOpening + 20, {{0, kOpening + 20}}},
        {"occurrences on the first and the last charted day", Ymd(2025, 4, 15), 6, kOpening + 20,
         {{0, kOpening + 20 - 150}, {5, kOpening + 20 - 150 + 7}}},
        {"two periods on one day", Ymd(2025, 4, 16), 15, kOpening - 130, {{13, kOpening - 123}, {14, kOpening - 323}}},
        {"a past start: the opening balance, 5 April's 100 again", Ymd(2025, 4, 1), 10, kOpening,
         {{3, kOpening}, {4, kOpening + 100}, {9, kOpening + 120}}},
        {"no days", kToday, 0, kOpening, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComputeStartBalance(SampleBook(), kOpening, c.start, kToday), c.startBalance) << c.what;
        const TTrendLine line(SampleBook(), kOpening, c.start, c.days, kToday);
        EXPECT_EQ(std::tuple(line.StartBalance(), line.ChartStartDate(), line.DayCount(), line.Points().size()),
                  std::tuple(c.startBalance, c.start, c.days, std::size_t(c.days))) << c.what;
        for (const auto& [j, balance] : c.points) {
            EXPECT_EQ(line.Points().at(std::size_t(j)), (TBalancePoint{c.start + j, balance})) << c.what;
        }
    }
    EXPECT_EQ(TTrendLine(TPlanBook{}, kOpening, kToday + 100, 30, kToday).Points().back(), (TBalancePoint{kToday + 129, kOpening}));
    EXPECT_EQ(FailingPlan([] { TTrendLine(MakeBook({Once(kToday, 1), Broken(kToday + 3)}), 0, kToday, 10, kToday); }), 1);
    EXPECT_EQ(FailingPlan([] { ComputeStartBalance(MakeBook({Once(kToday, 1), Broken(kToday + 3)}), 0, kToday + 9, kToday); }), 1);
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
    ASSERT_EQ(bars.size(), 8u) << "from 15 April to 13 June";
    EXPECT_EQ(bars[3], (TPlanBar{4, Ymd(2025, 4, 30), -200})) << "two periods on one day make one bar";
    EXPECT_EQ(PlanBars(book.Plan(4), 4, Ymd(2025, 4, 15), 17),
              (std::vector<TPlanBar>{{4, Ymd(2025, 4, 15), -100}, {4, Ymd(2025, 4, 30), -200}}));
    TPlanCursors cursors = StartPlanCursors(book, Ymd(2025, 4, 12));
    EXPECT_EQ(DaySum(book, cursors, Ymd(2025, 5, 20)), 7) << "cursors left behind catch up with the day";
    TTrendLine empty(book, kOpening, kToday, 0, kToday);
    EXPECT_TRUE(empty.StepOneDay(book).empty());
    EXPECT_EQ(empty.ChartStartDate(), kToday + 1);
}

TEST(Trend, CountOfUnitsGivesTheDaysCharted) {
    const struct { const char* what; int64_t count; TChartUnit unit; TChartInterval interval; } cases[] = {
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
    for (const auto& c : cases) EXPECT_EQ(ChartInterval(c.count, c.unit), c.interval) << c.what;
}

TEST(Trend, PlanTitlesListItemsAndAxisDates) {
    const struct { const char* what; const char* description; const char* title; const char* item; } cases[] = {
        {"empty description: the amount", "", "(1500)", "  (1500)"},
        {"short description whole", "Rent", "Rent", "Rent  (1500)"},
        {"five characters of a long one", "每月房屋貸款繳款", "每月房屋貸", "每月房屋貸款繳款  (1500)"},
        {"a character the tenth byte would split is left out", "A每月房屋貸款", "A每月房屋", "A每月房屋貸款  (1500)"},
    };
    for (const auto& c : cases) {
        const TPlanRecord rec = Flow(prOnce, kToday, 1, -1500, c.description);
        EXPECT_EQ(Big5ToUtf8(PlanChartTitle(rec)) + "|" + Big5ToUtf8(PlanChartItem(rec)), std::string(c.title) + "|" + c.item) << c.what;
    }
    EXPECT_EQ(AxisDateLabel(Ymd(1997, 11, 1)) + " " + AxisDateLabel(Ymd(2005, 1, 2)), "97/11/1 05/1/2");
}

}  // namespace
}  // namespace tamber
