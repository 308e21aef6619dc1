// The straightforward computations of the ledger, the catch-up list and the
// balance line: every occurrence is found with NextOccurrence and its amount
// added with PeriodAmount, one by one, however many there are. The fast code
// must give exactly what these give; the tests compare both on generated
// books and the benchmarks time both side by side.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "model/Big5.h"
#include "book/CalendarMonth.h"
#include "book/CatchUp.h"
#include "model/Dates.h"
#include "book/Ledger.h"
#include "book/PlanBook.h"
#include "book/Trend.h"
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

// What ComputeMonth does, the straightforward way: the carry-in adds every
// occurrence from Today to the month's start one by one. Amounts are assumed
// to fit (the comparison tests check that the fast code did not throw).
inline TMonthTotals OracleComputeMonth(const TPlanBook& book, TPlanBookState& state, int year, int month, TDate today,
                                       TCalendarMonth& calendar) {
    const TDate first = EncodeDate(year, month, 1);
    const int days = DaysInMonth(year, month);
    const TDate next = first + days;
    if (calendar.Year() != year || calendar.Month() != month) calendar.Layout(year, month, calendar.StartOfWeek());
    calendar.ClearAmounts(clBlue);

    int64_t carryIn = 0;
    if (today < first) {
        for (int i = 0; i < book.Count(); ++i) carryIn += OracleAmountBetween(book.Plan(i), today - 1, first);
    }
    std::array<int64_t, 32> income{};
    std::array<int64_t, 32> expense{};
    for (int i = 0; i < book.Count(); ++i) {
        ForEachOccurrence(book.Plan(i), std::max(today, first) - 1, next, [&](TDate d, int32_t, int32_t amount) {
            const auto day = static_cast<std::size_t>(d - first + 1);
            (amount > 0 ? income : expense)[day] += amount;
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

// What BuildPendingList lists, the straightforward way.
inline TPendingList OraclePendingList(const TPlanBook& book, TDate balanceDate, TDate today) {
    TPendingList pending;
    for (int i = 0; i < book.Count(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        const std::string description = Big5ToUtf8(DescriptionBytes(plan.Rec()));
        ForEachOccurrence(plan, balanceDate, today, [&](TDate d, int32_t k, int32_t amount) {
            pending.push_back({i, k, d, std::to_string(amount), description});
        });
    }
    return pending;
}

// The balance at the end of each of Days days from Start, given
// OpeningBalance at the start of Today: what TTrendLine's points hold.
inline std::vector<TBalancePoint> OracleBalanceLine(const TPlanBook& book, int32_t openingBalance, TDate start,
                                                    int32_t days, TDate today) {
    int64_t balance = openingBalance;
    if (start > today) {
        for (int i = 0; i < book.Count(); ++i) balance += OracleAmountBetween(book.Plan(i), today - 1, start);
    }
    std::vector<int64_t> moved(static_cast<std::size_t>(std::max(days, 0)));
    for (int i = 0; i < book.Count(); ++i) {
        ForEachOccurrence(book.Plan(i), start - 1, start + days, [&](TDate d, int32_t, int32_t amount) {
            moved[static_cast<std::size_t>(d - start)] += amount;
        });
    }
    std::vector<TBalancePoint> points;
    for (int32_t j = 0; j < days; ++j) {
        balance += moved[static_cast<std::size_t>(j)];
        points.push_back({start + j, static_cast<int32_t>(balance)});
    }
    return points;
}

// One bar per plan falling due on Day, in book order, with all it moves that day.
inline std::vector<TPlanBar> OracleDayBars(const TPlanBook& book, TDate day) {
    std::vector<TPlanBar> bars;
    for (int i = 0; i < book.Count(); ++i) {
        int64_t sum = 0;
        bool due = false;
        ForEachOccurrence(book.Plan(i), day - 1, day + 1, [&](TDate, int32_t, int32_t amount) {
            sum += amount;
            due = true;
        });
        if (due) bars.push_back({i, day, static_cast<int32_t>(sum)});
    }
    return bars;
}

}  // namespace tamber::support
