// The fast ledger, catch-up list and balance line against the straightforward
// per-occurrence computations on generated books of the benchmarks' mix.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <tuple>

#include "BookGenerator.h"
#include "Oracle.h"
#include "RecordBuilder.h"

namespace tamber {
namespace {

using support::GeneratedBookToday;

constexpr int32_t kOpening = 1234567;

// Each generated book is made once for the whole run.
const TPlanBook& Book(int size) {
    static std::map<int, std::unique_ptr<TPlanBook>> books;
    auto& book = books[size];
    if (!book) book = std::make_unique<TPlanBook>(support::GeneratePlanBook(size, GeneratedBookToday()));
    return *book;
}

std::vector<TBalancePoint> Points(const TTrendLine& line) { return {line.Points().begin(), line.Points().end()}; }

// Row 0: carry-in, income, expense, average; row d: day d's income, expense, balance and colour.
template <class Compute>
std::vector<std::array<int64_t, 4>> MonthFigures(TDate today, int monthsOn, Compute&& compute) {
    const TYearMonthDay ymd = DecodeDate(today);
    const int64_t m = MonthIndex(ymd.Year, ymd.Month) + monthsOn;
    TPlanBookState state;
    state.SetCurrentDate(today);
    state.OpeningBalance = kOpening;
    TCalendarMonth calendar;
    const TMonthTotals totals = compute(state, static_cast<int>(m / 12), static_cast<int>(m % 12) + 1, calendar);
    std::vector<std::array<int64_t, 4>> rows = {{state.MonthCarryIn, totals.Income, totals.Expense, calendar.MonthAverageBalance}};
    for (int d = 1; d <= calendar.DaysThisMonth(); ++d) {
        const TDayCell& cell = calendar.Cell(calendar.DayToCell(d));
        rows.push_back({cell.Income, cell.Expense, cell.Balance, cell.BalanceColor});
    }
    return rows;
}

TEST(OracleComparison, ComputeMonthMatchesTheOccurrencesAddedOneByOne) {
    const TDate today = GeneratedBookToday();
    struct Case { const char* what; int size; TDate today; int monthsOn; };
    std::vector<Case> cases = {
        {"largest book, this month", 9999, today, 0},
        {"largest book, 35 years on", 9999, today, 420},
        {"largest book, December of the calendar's last year", 9999, today, 426},
        {"largest book, a month already past", 9999, today, -3},
        {"today on 29 February, 35 years on", 1000, EncodeDate(2028, 2, 29), 420},
        {"today on the 31st, a 31-day month 7 years on", 1000, EncodeDate(2025, 12, 31), 84},
        {"today on the 1st, next month", 1000, EncodeDate(2026, 1, 1), 1},
    };
    for (int m = 2; m <= 426; m += 5) cases.push_back({"every fifth month", 1000, today, m});
    for (const Case& c : cases) {
        const TPlanBook& book = Book(c.size);
        const auto fast = MonthFigures(c.today, c.monthsOn, [&](TPlanBookState& s, int y, int m, TCalendarMonth& cal) {
            return ComputeMonth(book, s, y, m, c.today, cal);
        });
        const auto slow = MonthFigures(c.today, c.monthsOn, [&](TPlanBookState& s, int y, int m, TCalendarMonth& cal) {
            return support::OracleComputeMonth(book, s, y, m, c.today, cal);
        });
        EXPECT_EQ(fast, slow) << c.what << ", " << c.monthsOn << " months on";
    }
}

TEST(OracleComparison, CatchUpListMatchesTheOccurrencesWalkedOneByOne) {
    const TDate today = GeneratedBookToday();
    const auto rows = [](const TPendingList& list) {
        std::vector<std::tuple<int32_t, int32_t, TDate, std::string, std::string>> r;
        for (const TPassRecord& p : list) r.emplace_back(p.PlanIndex, p.Occurrence, p.Date, p.AmountText, p.Description);
        return r;
    };
    struct Case { const char* what; int size; TDate balanceDate; };
    const Case cases[] = {
        {"largest book, a year away", 9999, today - 366},
        {"largest book, away since the day before yesterday", 9999, today - 2},
        {"1,000 plans, ten years away", 1000, today - 3653},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(rows(BuildPendingList(Book(c.size), c.balanceDate, today)) ==
                    rows(support::OraclePendingList(Book(c.size), c.balanceDate, today)))
            << c.what;
    }
}

// The line, then forty steps (past at least one month's end) each adding the new last day's bars.
void ExpectSameLineAndSteps(const TPlanBook& book, TDate start, int32_t days, TDate today) {
    TTrendLine line(book, kOpening, start, days, today);
    ASSERT_EQ(Points(line), support::OracleBalanceLine(book, kOpening, start, days, today));
    for (int step = 1; step <= 40; ++step) {
        ASSERT_EQ(line.StepOneDay(book), support::OracleDayBars(book, start + step + days - 1)) << "step " << step;
    }
    EXPECT_EQ(Points(line), support::OracleBalanceLine(book, kOpening, start + 40, days, today));
}

TEST(OracleComparison, BalanceLineAndItsStepsMatchTheOccurrencesAddedOneByOne) {
    const TDate today = GeneratedBookToday();
    {
        SCOPED_TRACE("30 years from today");
        ExpectSameLineAndSteps(Book(9999), today, kMaxChartDays, today);
    }
    SCOPED_TRACE("one year from 400 days on");
    ExpectSameLineAndSteps(Book(9999), today + 400, 365, today);
}

// Books the generator does not make: a once-only plan whose record claims
// more periods, listed days that several months shorten onto their end, a
// monthly 31st, a yearly 29 February.
TEST(OracleComparison, BalanceLineOfShortenedDaysAndOnceOnlyPlansMatches) {
    const TDate today = EncodeDate(2024, 1, 20);
    TPlanBook book;
    book.Append(CreateFrom(test::RecordBuilder(prOnce, EncodeDate(2024, 3, 3), 3).Amount(500, -1)));
    book.Append(CreateFrom(test::RecordBuilder(prThriceMonthly, EncodeDate(2024, 1, 29), 30).Days(29, 30, 31).Amount(7)));
    book.Append(CreateFrom(test::RecordBuilder(prTwiceMonthly, EncodeDate(2024, 1, 30), 20).Days(30, 31).Amount(11, -1)));
    book.Append(CreateFrom(test::RecordBuilder(prMonthly, EncodeDate(2024, 1, 31), 12).Amount(13)));
    book.Append(CreateFrom(test::RecordBuilder(prYearly, EncodeDate(2020, 2, 29), 12).Amount(1000)));
    for (const TDate start : {today, today + 30, EncodeDate(2025, 2, 1)}) {
        SCOPED_TRACE(start);
        ExpectSameLineAndSteps(book, start, 400, today);
    }
}

}  // namespace
}  // namespace tamber
