// The trend chart's figures: the projected balance at the end of each day of
// an interval, walked day by day with one cursor per plan, the one-day step of
// the scrolling display, and the texts the chart shows for plans and dates.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "Dates.h"
#include "PlanBook.h"

namespace tamber {

// One plan's next occurrence not yet counted.
struct TPlanCursor {
    TDate NextDate = 0;      // 0 when the plan has no further occurrence
    int32_t NextAmount = 0;  // what the plan moves on NextDate (every period falling on it)
    int32_t NextPeriod = 0;  // period number of the first occurrence on NextDate
};
using TPlanCursors = std::vector<TPlanCursor>;

struct TBalancePoint {
    TDate Date = 0;
    int32_t Balance = 0;  // balance at the end of Date
    friend bool operator==(const TBalancePoint&, const TBalancePoint&) = default;
};

struct TPlanBar {
    int PlanIndex = 0;
    TDate Date = 0;
    int32_t Amount = 0;
    friend bool operator==(const TPlanBar&, const TPlanBar&) = default;
};

// The unit of the chart's count: days, months of 30 days, years of 365 days.
enum class TChartUnit { Days, Months, Years };

// The longest counts the chart takes in each unit; a longer count is lowered
// to these. 30 years is also the most days the chart takes.
inline constexpr int32_t kMaxChartMonths = 360;
inline constexpr int32_t kMaxChartYears = 30;
inline constexpr int32_t kMaxChartDays = kMaxChartYears * 365;

// What a count of units charts.
struct TChartInterval {
    int32_t Count = 1;      // the count charted, as the count field shows it afterwards
    int32_t DayCount = 1;   // days charted: Count units
    int32_t LabelStep = 1;  // days between the date labels: the length of one unit
    friend bool operator==(const TChartInterval&, const TChartInterval&) = default;
};

// The interval of Count units. A count below 1 is raised to 1 and one above
// the unit's longest (kMaxChartDays, kMaxChartMonths, kMaxChartYears) lowered
// to it, so that DayCount is always Count whole units of a non-empty interval.
TChartInterval ChartInterval(int64_t count, TChartUnit unit) noexcept;

// Balance at the start of Start (whole days) given OpeningBalance at the
// start of Today: plus every occurrence from Today to Start - 1 for a later
// start; OpeningBalance itself for Today or an earlier start, from which the
// line then adds the occurrences from Start on.
// EPlanError naming a failing plan; EAmountRange when the result leaves 32 bits.
int32_t ComputeStartBalance(const TPlanBook& book, int32_t openingBalance, TDate start, TDate today);

// One cursor per plan, in book order, at its first occurrence on or after Start.
TPlanCursors StartPlanCursors(const TPlanBook& book, TDate start);

// The total of every plan's occurrences on Day, moving the cursors standing on
// Day to their next occurrence. Visit days in increasing order; a cursor left
// behind Day (a skipped day) is moved up to Day without counting what it passes.
// EPlanError, EAmountRange as ComputeStartBalance.
int32_t DaySum(const TPlanBook& book, TPlanCursors& cursors, TDate day);

// The balance at the end of each day of a span, up to the first day whose
// total or balance leaves 32 bits.
struct TBalanceRun {
    std::vector<TBalancePoint> Points;  // one per day from the span's first, none from OutOfRangeFrom on
    TDate OutOfRangeFrom = 0;           // that first day out of range; 0 when there is none
};

// The balances of Days days (none when Days <= 0) from StartBalance at the
// start of Start, every plan's occurrences from its cursor on walked once.
// Cursors (as StartPlanCursors gives them for Start) end where DaySum would
// leave them after the last day. EPlanError naming a failing plan.
TBalanceRun RunBalances(const TPlanBook& book, int32_t startBalance, TDate start, int32_t days, TPlanCursors& cursors);

// The lowest balance of Points and the earliest day it is reached; nothing
// when there are no points.
template <class Points>
std::optional<TBalancePoint> LowestPoint(const Points& points) {
    const auto lowest = std::min_element(points.begin(), points.end(),
                                         [](const TBalancePoint& a, const TBalancePoint& b) { return a.Balance < b.Balance; });
    if (lowest == points.end()) return std::nullopt;
    return *lowest;
}

// The bars of Plan (index PlanIndex) from Start to Start + Days - 1: one per
// occurrence day in date order, with what the plan moves that day (the same
// bar the one-day step adds).
std::vector<TPlanBar> PlanBars(const TCustomPlan& plan, int planIndex, TDate start, int32_t days);

// The chart's balance line: one point per day from ChartStartDate, DayCount
// points, always including every plan.
class TTrendLine {
public:
    // Builds the line for Days days (none when Days <= 0) from Start; throws as
    // ComputeStartBalance and DaySum.
    TTrendLine(const TPlanBook& book, int32_t openingBalance, TDate start, int32_t days, TDate today);

    TDate ChartStartDate() const noexcept { return ChartStartDate_; }
    int32_t StartBalance() const noexcept { return StartBalance_; }
    int32_t DayCount() const noexcept { return DayCount_; }
    const std::deque<TBalancePoint>& Points() const noexcept { return Points_; }
    const TPlanCursors& Cursors() const noexcept { return Cursors_; }

    // Moves the interval one day on: the first point drops off and the new
    // last day is added. Returns one bar per plan falling due on that new
    // last day, in book order. With no points only the start date moves.
    // On an error (as DaySum) the line stays as it was.
    std::vector<TPlanBar> StepOneDay(const TPlanBook& book);

private:
    TDate ChartStartDate_ = 0;
    int32_t StartBalance_ = 0;
    int32_t DayCount_ = 0;
    std::deque<TBalancePoint> Points_;
    TPlanCursors Cursors_;
};

// A plan's title in the chart's legend and readout, in code page 950: the
// first 10 bytes of its description, one byte fewer where the tenth byte would
// split a two-byte character; "(" Amount ")" when the description is empty.
std::string PlanChartTitle(const TPlanRecord& rec);

// A plan's line in the chart's list of plans, in code page 950: its
// description, two blanks and "(" Amount ")".
std::string PlanChartItem(const TPlanRecord& rec);

// A date as the chart's date axis labels it, "yy/M/d": two-digit year, month
// and day without leading zeros. EInvalidDate as DecodeDate.
std::string AxisDateLabel(TDate date);

}  // namespace tamber
