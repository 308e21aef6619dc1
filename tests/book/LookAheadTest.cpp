#include "LookAhead.h"

#include <sys/wait.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "BookTestSupport.h"
#include "Ledger.h"

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
    struct Case {
        const char* what;
        int32_t opening;
        std::vector<TPlanRecord> plans;
        TBalancePoint lowest;
        std::optional<TBalancePoint> belowZero;
        TDate outOfRangeFrom = 0;
    };
    const std::vector<Case> cases = {
        {"a dip then a recovery", 1000, {Once(kToday + 10, -1500), Once(kToday + 20, 2000)},
         {kToday + 10, -500}, TBalancePoint{kToday + 10, -500}},
        {"lowest on two days: the earlier", 1000, {Once(kToday + 5, -300), Once(kToday + 6, 300), Once(kToday + 8, -300)},
         {kToday + 5, 700}, std::nullopt},
        {"never below zero: today's balance is the lowest", 0, {Flow(prMonthly, kToday + 1, 12, 100)},
         {kToday, 0}, std::nullopt},
        {"below zero today", -50, {Once(kToday, 20), Once(kToday + 3, 100)}, {kToday, -30}, TBalancePoint{kToday, -30}},
        // 240,000 in, then 1,000 a month back; 10 a month out from today: -390 after 238 months.
        {"a loan pushes it below zero in year 20", 0, {loan, Flow(prMonthly, kToday, 241, -10)},
         {Ymd(2045, 4, 10), -2410}, TBalancePoint{Ymd(2045, 2, 10), -390}},
        {"the span's last day counts, the day after does not", 0, {Once(kEnd, -1), Once(kEnd + 1, -1000)},
         {kEnd, -1}, TBalancePoint{kEnd, -1}},
        {"a balance leaving 32 bits stops the look there", 2147483000, {Once(kToday + 2, -5000), Once(kToday + 3, 9000)},
         {kToday + 2, 2147478000}, std::nullopt, kToday + 3},
        {"a day's total leaving 32 bits though the balance fits", -2147483000,
         {Once(kToday + 1, -600), Once(kToday + 4, 2000000000), Once(kToday + 4, 2000000000)},
         {kToday + 1, -2147483600}, TBalancePoint{kToday, -2147483000}, kToday + 4},
    };
    for (const Case& c : cases) {
        TPlanBook book;
        for (const TPlanRecord& rec : c.plans) book.Append(CreateFrom(rec));
        const TLookAhead ahead = LookAhead(book, c.opening, kToday);
        EXPECT_EQ(ahead.Lowest, c.lowest) << c.what;
        EXPECT_EQ(ahead.FirstBelowZero, c.belowZero) << c.what;
        EXPECT_EQ(ahead.OutOfRangeFrom, c.outOfRangeFrom) << c.what;
        if (c.outOfRangeFrom != 0) continue;
        EXPECT_EQ(CalendarBalance(book, c.opening, c.lowest.Date), c.lowest.Balance) << c.what;
        if (c.belowZero) {
            EXPECT_EQ(CalendarBalance(book, c.opening, c.belowZero->Date), c.belowZero->Balance) << c.what;
            EXPECT_GE(CalendarBalance(book, c.opening, c.belowZero->Date - 1), 0) << c.what << ": the day before";
        }
    }
    EXPECT_EQ(LookAheadEnd(Ymd(9970, 6, 1)), Ymd(9999, 12, 31)) << "the span ends with the calendar's last year";
    EXPECT_EQ(FailingPlan([] { LookAhead(MakeBook({Once(kToday, 1), Broken(kToday + 3)}), 0, kToday); }), 1);
}

TEST(LookAhead, ReportToolPrintsTheLowestAndTheFirstDayBelowZero) {
    ScratchDir dir;
    WriteBytes(dir / "dip.tbr", FileBytes(kToday - 1, 1000, {Once(kToday + 10, -1500), Once(kToday + 20, 2000)}));
    WriteBytes(dir / "never.tbr", FileBytes(kToday - 1, 0, {Once(kToday + 10, 1500)}));
    WriteBytes(dir / "beyond.tbr", FileBytes(kToday - 1, 2147483000, {Once(Ymd(2031, 5, 6), 9000)}));
    struct Case { const char* what; std::string args; int code; std::string out; const char* err; };
    const Case cases[] = {
        {"a dip", "dip.tbr --today 2025-04-10", 0,
         "what,date,balance\nlowest,2025-04-20,-500\nfirst_below_zero,2025-04-20,-500\n", ""},
        {"never below zero: empty fields", "never.tbr --today=2025-04-10", 0,
         "what,date,balance\nlowest,2025-04-10,0\nfirst_below_zero,,\n", ""},
        {"a balance leaving 32 bits names the day", "beyond.tbr --today 2025-04-10", 1, "", "結存超出範圍: 2031-05-06 起"},
        {"no --today", "dip.tbr", 2, "", "Usage:"},
    };
    for (const Case& c : cases) {
        const std::string cmd = std::string("cd '") + dir.Path.string() + "' && '" + TAMBER98_REPORT + "' lowest " + c.args +
                                " >out 2>err";
        const int status = std::system(cmd.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.code) << c.what;
        EXPECT_EQ(ReadText(dir / "out"), c.out) << c.what;
        const std::string err = ReadText(dir / "err");
        EXPECT_TRUE(*c.err ? err.find(c.err) != std::string::npos : err.empty()) << c.what << ": " << err;
    }
}

}  // namespace
}  // namespace tamber
