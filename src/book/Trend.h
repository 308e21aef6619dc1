// The trend chart's figures: the projected balance at the end of each day of
// an interval, walked day by day with one cursor per plan, and the one-day
// step of the scrolling display.
#pragma once

#include <cstdint>
#include <deque>
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

// Balance at the start of Start (whole days) given OpeningBalance at the
// start of Today: plus every occurrence from Today to Start - 1 for a later
// start, minus every occurrence from Start to Today - 1 for an earlier one.
// EPlanError naming a failing plan; EAmountRange when the result leaves 32 bits.
int32_t ComputeStartBalance(const TPlanBook& book, int32_t openingBalance, TDate start, TDate today);

// One cursor per plan, in book order, at its first occurrence on or after Start.
TPlanCursors StartPlanCursors(const TPlanBook& book, TDate start);

// The total of every plan's occurrences on Day, moving the cursors standing on
// Day to their next occurrence. Visit days in increasing order; a cursor left
// behind Day (a skipped day) is moved up to Day without counting what it passes.
// EPlanError, EAmountRange as ComputeStartBalance.
int32_t DaySum(const TPlanBook& book, TPlanCursors& cursors, TDate day);

// The bars of Plan (index PlanIndex) from Start to Start + Days - 1: one per
// occurrence day in date order, with what the plan moves that day (the same
// bar the one-day step adds).
std::vector<TPlanBar> PlanBars(const TCustomPlan& plan, int planIndex, TDate start, int32_t days);

// The chart's balance line: one point per day from ChartStartDate, DayCount
// points, always including every plan.
class TTrendLine {
public:
    // Builds the line for Days days (none when Days <= 0) from Start.
    TTrendLine(const TPlanBook& book, int32_t openingBalance, TDate start, int32_t days, TDate today);

    TDate ChartStartDate() const noexcept { return ChartStartDate_; }
    int32_t StartBalance() const noexcept { return StartBalance_; }
    int32_t DayCount() const noexcept { return DayCount_; }
    const std::deque<TBalancePoint>& Points() const noexcept { return Points_; }
    const TPlanCursors& Cursors() const noexcept { return Cursors_; }

    // Moves the interval one day on: the first point drops off and the new
    // last day is added. Returns one bar per plan falling due on that new
    // last day, in book order. With no points only the start date moves.
    std::vector<TPlanBar> StepOneDay(const TPlanBook& book);

private:
    TDate ChartStartDate_ = 0;
    int32_t StartBalance_ = 0;
    int32_t DayCount_ = 0;
    std::deque<TBalancePoint> Points_;
    TPlanCursors Cursors_;
};

}  // namespace tamber
