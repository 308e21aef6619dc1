// The daily ledger: what the calendar shows for one month (each day's income,
// expense and end-of-day balance from today on, the month's totals and
// average balance) and which plans fall due on a day. Days before today are
// never computed from the plans: the opening balance already holds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CalendarMonth.h"
#include "Dates.h"
#include "PlanBook.h"

namespace tamber {

struct TMonthTotals {
    int64_t Income = 0;   // sum of the shown days' incomes (of the days before OutOfRangeFrom)
    int64_t Expense = 0;  // sum of the shown days' expenses (zero or negative)
    // The first day from today on whose income, expense or end-of-day balance
    // leaves 32 bits, when it lies in or before the month; 0 when there is none.
    TDate OutOfRangeFrom = 0;
};

// First day of Year-Month that the ledger fills: CurrentDay in the current
// month (State's CurrentYear and CurrentMonth), else 1.
int FirstLedgerDay(const TPlanBookState& state, int year, int month) noexcept;

// Fills Calendar for Year-Month (laying it out first when it shows another
// month): every cell's Income, Expense, Balance and BalanceColor, and
// MonthAverageBalance; sets State.MonthCarryIn. Occurrences from Today on
// (a whole day) are entered; balances start from State.OpeningBalance plus
// the carry-in and run from FirstLedgerDay to the month's end.
// From OutOfRangeFrom on, when the balance leaves 32 bits in or before the
// month, the cells keep no figure and the month has no average
// (MonthAverageKnown false); the days before it are filled.
// Throws EPlanError naming the plan whose date or amount cannot be computed,
// EInvalidDate for an impossible month. On failure every amount of Calendar
// is 0, it has no average and MonthCarryIn is 0.
TMonthTotals ComputeMonth(const TPlanBook& book, TPlanBookState& state, int year, int month, TDate today,
                          TCalendarMonth& calendar);

// The day list of Day: one entry per plan that falls due on it, in book
// order, the plan index in format "%4d" followed by the period number in
// format "%8d". EPlanError as ComputeMonth.
std::vector<std::string> BuildDayItems(const TPlanBook& book, TDate day);

struct TDayItem {
    int PlanIndex = 0;
    int32_t Period = 0;
    friend bool operator==(const TDayItem&, const TDayItem&) = default;
};

// Reads a day list entry: characters 1..4 and 5..12 as decimal numbers
// after leading blanks. Nothing for an entry of another form.
std::optional<TDayItem> ParseDayItem(std::string_view entry);

// A month total as the labels show it: thousands grouped with commas, "0"
// for zero, a leading minus sign for negative values.
std::string FormatMonthTotal(int64_t value);

}  // namespace tamber
