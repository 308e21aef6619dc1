// The calendar month computed the straightforward way, which bench_book times
// beside ComputeMonth: every occurrence is found with NextOccurrence and its
// amount added with PeriodAmount, one by one, however many there are.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "book/CalendarMonth.h"
#include "book/Ledger.h"
#include "book/PlanBook.h"
#include "model/Dates.h"
#include "model/cplanunit.h"

namespace tamber::support {

// Calls Visit (date, period, amount) for every occurrence of Plan strictly
// after After and strictly before Before, in date order; two periods
// shortened onto one day are visited one after the other.
template <class Visit>
void ForEachOccurrence(const TCustomPlan& plan, TDate after, TDate before, Visit&& visit) {
    for (TDate d = plan.NextOccurrence(after); d != 0 && d < before; d = plan.NextOccurrence(d)) {
        for (int32_t k = plan.PeriodNumber(d), last = plan.LastPeriodNumber(d); k <= last; ++k) {
            visit(d, k, plan.PeriodAmount(k));
        }
    }
}

// The sum of Plan's occurrences strictly between After and Before, in 64 bits.
inline int64_t OracleAmountBetween(const TCustomPlan& plan, TDate after, TDate before) {
    int64_t sum = 0;
    ForEachOccurrence(plan, after, before, [&](TDate, int32_t, int32_t amount) { sum += amount; });
    return sum;
}

// What ComputeMonth does: the carry-in adds every occurrence from Today to the
// month's start one by one. Amounts are assumed to fit.
inline TMonthTotals OracleComputeMonth(const TPlanBook& book, TPlanBookState& state, int year, int month, TDate today,
                                       TCalendarMonth& calendar) {
    const TDate first = EncodeDate(year, month, 1);
    const int days = DaysInMonth(year, month);
    if (calendar.Year() != year || calendar.Month() != month) calendar.Layout(year, month, calendar.StartOfWeek());
    calendar.ClearAmounts(clBlue);
    int64_t carryIn = 0;
    std::array<int64_t, 32> income{};
    std::array<int64_t, 32> expense{};
    for (int i = 0; i < book.Count(); ++i) {
        if (today < first) carryIn += OracleAmountBetween(book.Plan(i), today - 1, first);
        ForEachOccurrence(book.Plan(i), std::max(today, first) - 1, first + days, [&](TDate d, int32_t, int32_t amount) {
            (amount > 0 ? income : expense)[static_cast<std::size_t>(d - first + 1)] += amount;
        });
    }
    const int firstDay = year == state.CurrentYear && month == state.CurrentMonth ? state.CurrentDay : 1;
    int64_t balance = int64_t{state.OpeningBalance} + carryIn;
    TMonthTotals totals;
    int64_t balanceSum = 0;
    for (int d = firstDay; d <= days; ++d) {
        const auto day = static_cast<std::size_t>(d);
        balance += income[day] + expense[day];
        TDayCell& cell = calendar.Cell(calendar.DayToCell(d));
        cell.Income = static_cast<int32_t>(income[day]);
        cell.Expense = static_cast<int32_t>(expense[day]);
        cell.Balance = static_cast<int32_t>(balance);
        cell.BalanceColor = balance < 0 ? clRed : clBlue;
        totals.Income += cell.Income;
        totals.Expense += cell.Expense;
        balanceSum += balance;
    }
    // Halves of the mean go to the even neighbour: the default rounding mode.
    const int dayCount = days - firstDay + 1;
    calendar.MonthAverageBalance =
        dayCount > 0 ? static_cast<int32_t>(std::nearbyint(static_cast<long double>(balanceSum) / dayCount)) : 0;
    state.MonthCarryIn = static_cast<int32_t>(carryIn);
    return totals;
}

}  // namespace tamber::support
