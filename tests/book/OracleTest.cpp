// The fast ledger, catch-up list and balance line against the straightforward
// per-occurrence computations on generated books of the benchmarks' mix.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <memory>

#include "BookGenerator.h"
#include "CatchUp.h"
#include "Ledger.h"
#include "Oracle.h"
#include "RecordBuilder.h"
#include "Trend.h"

namespace tamber {
namespace {

using support::GeneratedBookToday;
using support::TGeneratedKind;

constexpr int32_t kOpening = 1234567;

// Each generated book is made once for the whole run.
const TPlanBook& Book(int size) {
    static std::map<int, std::unique_ptr<TPlanBook>> books;
    auto& book = books[size];
    if (!book) book = std::make_unique<TPlanBook>(support::GeneratePlanBook(size, GeneratedBookToday()));
    return *book;
}

TDate MonthsOn(TDate from, int months) {
    const TYearMonthDay ymd = DecodeDate(from);
    const int64_t m = MonthIndex(ymd.Year, ymd.Month) + months;
    return EncodeDate(static_cast<int>(m / 12), static_cast<int>(m % 12) + 1, 1);
}

TEST(BookGenerator, SameArgumentsGiveTheSameRecordsAndTheMixAsked) {
    const TDate today = GeneratedBookToday();
    const auto records = support::GeneratePlanRecords(9999, today);
    const auto again = support::GeneratePlanRecords(9999, today);
    ASSERT_EQ(records.size(), 9999u);
    EXPECT_EQ(std::memcmp(records.data(), again.data(), records.size() * sizeof(TPlanRecord)), 0);
    const auto other = support::GeneratePlanRecords(10, today, 2);
    EXPECT_NE(std::memcmp(records.data(), other.data(), other.size() * sizeof(TPlanRecord)), 0) << "another seed";

    std::map<TGeneratedKind, int> kinds;
    for (int i = 0; i < 9999; ++i) {
        const TPlanRecord& rec = records[static_cast<std::size_t>(i)];
        const TGeneratedKind kind = support::GeneratedKindAt(i);
        ++kinds[kind];
        EXPECT_EQ(PlanRecordProblem(rec), "") << "plan " << i;
        EXPECT_LE(std::abs(rec.StartDate - today), 3653) << "plan " << i;
        EXPECT_GT(rec.Description.Length, 0) << "plan " << i;
        const int32_t longest = kind == TGeneratedKind::Club       ? 60
                                : kind == TGeneratedKind::Compound ? 121
                                : kind == TGeneratedKind::Loan     ? 361
                                                                   : INT32_MAX;
        EXPECT_LE(rec.PeriodCount, longest) << "plan " << i;
    }
    // 40 % fixed monthly, 15 % every N days, 10 % each of listed days, clubs,
    // simple and compound deposits, 5 % loans.
    EXPECT_EQ(kinds[TGeneratedKind::Monthly], 3999);
    EXPECT_EQ(kinds[TGeneratedKind::EveryNDays], 1500);
    EXPECT_EQ(kinds[TGeneratedKind::ListedDays], 1000);
    EXPECT_EQ(kinds[TGeneratedKind::Club], 1000);
    EXPECT_EQ(kinds[TGeneratedKind::Simple], 1000);
    EXPECT_EQ(kinds[TGeneratedKind::Compound], 1000);
    EXPECT_EQ(kinds[TGeneratedKind::Loan], 500);
}

// Every plan's closed-form span sums against the occurrences walked one by
// one, over spans of every length around and across its first and last day.
TEST(OracleComparison, SpanSumsOfEveryPlanMatchTheOccurrencesAddedOneByOne) {
    const TPlanBook& book = Book(1000);
    support::TBookRandom random(7);
    for (int i = 0; i < book.Count(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        const int32_t lo = static_cast<int32_t>(plan.FirstDate()) - 400;
        const int32_t hi = static_cast<int32_t>(plan.LastDate()) + 400;
        for (int n = 0; n < 12; ++n) {
            const TDate after = random.Between(lo, hi);
            const TDate before = n % 4 == 0 ? after + 1 : random.Between(static_cast<int32_t>(after), hi);
            ASSERT_EQ(plan.AmountBetween(after, before), support::OracleAmountBetween(plan, after, before))
                << "plan " << i << " after " << after << " before " << before;
            const TYearMonthDay month = DecodeDate(before);
            ASSERT_EQ(plan.AmountBeforeMonth(static_cast<uint16_t>(month.Year), static_cast<uint16_t>(month.Month), after),
                      support::OracleAmountBetween(plan, after, EncodeDate(month.Year, month.Month, 1)))
                << "plan " << i << " after " << after << " month " << month.Year << "-" << month.Month;
        }
    }
}

struct MonthCase {
    const char* what;
    int size;
    TDate today;
    int monthsOn;  // the month computed, counted from today's
};

void ExpectSameMonth(const MonthCase& c) {
    SCOPED_TRACE(c.what);
    const TPlanBook& book = Book(c.size);
    TPlanBookState fast;
    fast.SetCurrentDate(c.today);
    fast.OpeningBalance = kOpening;
    TPlanBookState slow = fast;
    const TYearMonthDay month = DecodeDate(MonthsOn(c.today, c.monthsOn));
    TCalendarMonth fastCalendar;
    TCalendarMonth slowCalendar;
    TMonthTotals fastTotals;
    ASSERT_NO_THROW(fastTotals = ComputeMonth(book, fast, month.Year, month.Month, c.today, fastCalendar));
    const TMonthTotals slowTotals = support::OracleComputeMonth(book, slow, month.Year, month.Month, c.today, slowCalendar);
    EXPECT_EQ(fast.MonthCarryIn, slow.MonthCarryIn);
    EXPECT_EQ(fastTotals.Income, slowTotals.Income);
    EXPECT_EQ(fastTotals.Expense, slowTotals.Expense);
    EXPECT_EQ(fastCalendar.MonthAverageBalance, slowCalendar.MonthAverageBalance);
    for (int d = 1; d <= fastCalendar.DaysThisMonth(); ++d) {
        const TDayCell& a = fastCalendar.Cell(fastCalendar.DayToCell(d));
        const TDayCell& b = slowCalendar.Cell(slowCalendar.DayToCell(d));
        EXPECT_EQ(a.Income, b.Income) << "day " << d;
        EXPECT_EQ(a.Expense, b.Expense) << "day " << d;
        EXPECT_EQ(a.Balance, b.Balance) << "day " << d;
        EXPECT_EQ(a.BalanceColor, b.BalanceColor) << "day " << d;
    }
}

TEST(OracleComparison, ComputeMonthMatchesTheOccurrencesAddedOneByOne) {
    const TDate today = GeneratedBookToday();
    const MonthCase cases[] = {
        {"largest book, this month", 9999, today, 0},
        {"largest book, next month", 9999, today, 1},
        {"largest book, 10 years on", 9999, today, 120},
        {"largest book, 35 years on", 9999, today, 420},
        {"largest book, December of the calendar's last year", 9999, today, 426},
        {"largest book, a month already past", 9999, today, -3},
        {"today on 29 February, 35 years on", 1000, EncodeDate(2028, 2, 29), 420},
        {"today on the 31st, a 31-day month 7 years on", 1000, EncodeDate(2025, 12, 31), 84},
        {"today on the 1st, next month", 1000, EncodeDate(2026, 1, 1), 1},
        {"small book, 35 years on", 10, today, 420},
    };
    for (const MonthCase& c : cases) ExpectSameMonth(c);
    // Every fifth month of the calendar's 35 years on the 1,000-plan book.
    for (int m = 2; m <= 426; m += 5) ExpectSameMonth({"every fifth month", 1000, today, m});
}

void ExpectSamePending(const TPendingList& fast, const TPendingList& slow) {
    ASSERT_EQ(fast.size(), slow.size());
    for (std::size_t j = 0; j < fast.size(); ++j) {
        const TPassRecord& a = fast[j];
        const TPassRecord& b = slow[j];
        ASSERT_TRUE(a.PlanIndex == b.PlanIndex && a.Occurrence == b.Occurrence && a.Date == b.Date &&
                    a.AmountText == b.AmountText && a.Description == b.Description)
            << "row " << j << ": plan " << a.PlanIndex << " period " << a.Occurrence << " vs plan " << b.PlanIndex
            << " period " << b.Occurrence;
    }
}

TEST(OracleComparison, CatchUpListMatchesTheOccurrencesWalkedOneByOne) {
    const TDate today = GeneratedBookToday();
    struct Case { const char* what; int size; TDate balanceDate; };
    const Case cases[] = {
        {"largest book, a year away", 9999, today - 366},
        {"largest book, away since the day before yesterday", 9999, today - 2},
        {"1,000 plans, ten years away", 1000, today - 3653},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TPendingList fast = BuildPendingList(Book(c.size), c.balanceDate, today);
        ExpectSamePending(fast, support::OraclePendingList(Book(c.size), c.balanceDate, today));
    }
}

TEST(OracleComparison, BalanceLineAndItsStepsMatchTheOccurrencesAddedOneByOne) {
    const TDate today = GeneratedBookToday();
    const TPlanBook& book = Book(9999);
    struct Case { const char* what; TDate start; int32_t days; };
    const Case cases[] = {
        {"30 years from today", today, kMaxChartDays},
        {"one year from 400 days on", today + 400, 365},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTrendLine line(book, kOpening, c.start, c.days, today);
        const auto expected = support::OracleBalanceLine(book, kOpening, c.start, c.days, today);
        ASSERT_EQ(std::vector<TBalancePoint>(line.Points().begin(), line.Points().end()), expected);
        // Forty steps pass at least one month's end; each adds the new last day's bars.
        for (int step = 1; step <= 40; ++step) {
            const std::vector<TPlanBar> bars = line.StepOneDay(book);
            ASSERT_EQ(bars, support::OracleDayBars(book, c.start + step + c.days - 1)) << "step " << step;
        }
        EXPECT_EQ(std::vector<TBalancePoint>(line.Points().begin(), line.Points().end()),
                  support::OracleBalanceLine(book, kOpening, c.start + 40, c.days, today));
    }
}

// Books the generator does not make: a once-only plan whose record claims
// more periods, and listed days that several months shorten onto their end.
TEST(OracleComparison, BalanceLineOfShortenedListedDaysAndOnceOnlyPlansMatches) {
    const TDate today = EncodeDate(2024, 1, 20);
    TPlanBook book;
    book.Append(CreateFrom(test::RecordBuilder(prOnce, EncodeDate(2024, 3, 3), 3).Amount(500, -1)));
    book.Append(CreateFrom(test::RecordBuilder(prThriceMonthly, EncodeDate(2024, 1, 29), 30).Days(29, 30, 31).Amount(7)));
    book.Append(CreateFrom(test::RecordBuilder(prTwiceMonthly, EncodeDate(2024, 1, 30), 20).Days(30, 31).Amount(11, -1)));
    book.Append(CreateFrom(test::RecordBuilder(prMonthly, EncodeDate(2024, 1, 31), 12).Amount(13)));
    for (const TDate start : {today, today + 30}) {
        const TTrendLine line(book, kOpening, start, 400, today);
        EXPECT_EQ(std::vector<TBalancePoint>(line.Points().begin(), line.Points().end()),
                  support::OracleBalanceLine(book, kOpening, start, 400, today))
            << "from " << start;
    }
}

}  // namespace
}  // namespace tamber
