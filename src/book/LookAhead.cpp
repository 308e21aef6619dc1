#include "LookAhead.h"

#include <algorithm>

namespace tamber {

TDate LookAheadEnd(TDate today) {
    return EncodeDate(std::min(DecodeDate(today).Year + 35, 9999), 12, 31);
}

TLookAhead LookAhead(const TPlanBook& book, int32_t openingBalance, TDate today) {
    today = DayOf(today);
    TPlanCursors cursors = StartPlanCursors(book, today);
    const auto days = static_cast<int32_t>(LookAheadEnd(today) - today + 1);
    const TBalanceRun run = RunBalances(book, openingBalance, today, days, cursors);
    TLookAhead ahead;
    ahead.Lowest = LowestPoint(run.Points);
    const auto below = std::find_if(run.Points.begin(), run.Points.end(), [](const TBalancePoint& p) { return p.Balance < 0; });
    if (below != run.Points.end()) ahead.FirstBelowZero = *below;
    ahead.OutOfRangeFrom = run.OutOfRangeFrom;
    return ahead;
}

}  // namespace tamber
