// Looking ahead as far as the calendar reaches: the lowest balance to come
// and the first day that ends below zero, taken from the same balance line
// as the calendar's cells and the chart.
#pragma once

#include <cstdint>
#include <optional>

#include "Dates.h"
#include "PlanBook.h"
#include "Trend.h"

namespace tamber {

struct TLookAhead {
    // The lowest end-of-day balance and the earliest day it is reached; none
    // only when already today's balance leaves 32 bits.
    std::optional<TBalancePoint> Lowest;
    // The first day whose end-of-day balance is below zero; none in the span.
    std::optional<TBalancePoint> FirstBelowZero;
    // The first day whose balance (or whose day's total) leaves 32 bits, 0
    // when none: the look stops there, and the figures above cover the days
    // before it.
    TDate OutOfRangeFrom = 0;
};

// The last day the calendar reaches: 31 December of Today's year + 35, at
// most 31 December 9999. EInvalidDate as DecodeDate.
TDate LookAheadEnd(TDate today);

// The balances at the end of every day from Today to LookAheadEnd (Today),
// from OpeningBalance at the start of Today, as the calendar shows them.
// EPlanError naming a plan whose date or amount cannot be computed.
TLookAhead LookAhead(const TPlanBook& book, int32_t openingBalance, TDate today);

}  // namespace tamber
