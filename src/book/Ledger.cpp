#include "Ledger.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "BookErrors.h"
#include "Trend.h"

namespace tamber {
namespace {

// Mean of Count values summing to Sum, rounded to the nearest whole number
// with halves going to the even neighbour. Count > 0.
int64_t RoundedMean(int64_t sum, int64_t count) {
    int64_t q = sum / count;
    int64_t r = sum % count;
    if (r < 0) {  // make q the floor and r the non-negative remainder
        q -= 1;
        r += count;
    }
    if (2 * r > count || (2 * r == count && q % 2 != 0)) q += 1;
    return q;
}

// A decimal number in Text after leading blanks, with nothing else around it.
std::optional<int32_t> BlankPaddedNumber(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::nullopt;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last) return std::nullopt;
    return value;
}

// The occurrences of every plan from Today up to the last day before
// Year-Month; nothing when one plan's sum leaves 32 bits.
std::optional<int64_t> CarryIn(const TPlanBook& book, int year, int month, TDate today) {
    int64_t sum = 0;
    for (int i = 0; i < book.Count(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        try {
            sum += plan.AmountBeforeMonth(static_cast<uint16_t>(year), static_cast<uint16_t>(month), today - 1);
        } catch (const EAmountRange&) {
            return std::nullopt;
        } catch (const ETamberError& e) {
            std::throw_with_nested(EPlanError(i, e.what()));
        }
    }
    return sum;
}

}  // namespace

int FirstLedgerDay(const TPlanBookState& state, int year, int month) noexcept {
    return year == state.CurrentYear && month == state.CurrentMonth ? state.CurrentDay : 1;
}

TMonthTotals ComputeMonth(const TPlanBook& book, TPlanBookState& state, int year, int month, TDate today,
                          TCalendarMonth& calendar) {
    const int32_t first = EncodeDay(year, month, 1);
    const int days = DaysInMonth(year, month);
    const int32_t next = first + days;  // may be the day after 31 December 9999: it is only compared

    if (calendar.Year() != year || calendar.Month() != month) calendar.Layout(year, month, calendar.StartOfWeek());
    calendar.ClearAmounts(clBlue);
    calendar.MonthAverageBalance = 0;
    calendar.MonthAverageKnown = false;
    state.MonthCarryIn = 0;

    // Everything is summed in 64 bits first and written only when the whole
    // month could be computed, so a failure leaves no half-filled month.
    TMonthTotals totals;
    int64_t running = state.OpeningBalance;  // the balance at the start of the month's first ledger day
    if (today < first) {
        const std::optional<int64_t> carryIn = CarryIn(book, year, month, today);
        if (carryIn && FitsAmount(*carryIn) && FitsAmount(running + *carryIn)) {
            running += *carryIn;
        } else {
            // Only a balance that leaves 32 bits before the month gets here:
            // walked day by day, it tells from which day on nothing is known.
            TPlanCursors cursors = StartPlanCursors(book, today);
            const TBalanceRun run = RunBalances(book, state.OpeningBalance, today, static_cast<int32_t>(first - today), cursors);
            totals.OutOfRangeFrom = run.OutOfRangeFrom;
            if (totals.OutOfRangeFrom != 0) return totals;
            if (!run.Points.empty()) running = run.Points.back().Balance;
        }
    }
    const int64_t monthCarryIn = running - state.OpeningBalance;

    std::array<int64_t, 32> income{};
    std::array<int64_t, 32> expense{};
    const TDate from = today >= first ? today - 1 : TDate(first - 1);
    for (int i = 0; i < book.Count(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        ForPlan(i, [&] {
            for (TDate d = plan.NextOccurrence(from); d != 0 && d < next; d = plan.NextOccurrence(d)) {
                const auto day = static_cast<std::size_t>(DayOf(d) - first + 1);
                // Two listed days shortened onto one month end are two
                // occurrences on one day: both amounts are owed.
                for (int32_t k = plan.PeriodNumber(d), last = plan.LastPeriodNumber(d); k <= last; ++k) {
                    const int32_t a = plan.PeriodAmount(k);
                    (a > 0 ? income : expense)[day] += a;
                }
            }
        });
    }

    const int firstDay = FirstLedgerDay(state, year, month);
    int lastDay = days;  // the last day with figures
    std::array<TDayCell, 32> cells{};
    int64_t balanceSum = 0;
    for (int d = firstDay; d <= days; ++d) {
        const auto day = static_cast<std::size_t>(d);
        running += income[day] + expense[day];
        if (!FitsAmount(income[day]) || !FitsAmount(expense[day]) || !FitsAmount(running)) {
            totals.OutOfRangeFrom = first + d - 1;
            lastDay = d - 1;
            break;
        }
        TDayCell& cell = cells[day];
        cell.Income = static_cast<int32_t>(income[day]);
        cell.Expense = static_cast<int32_t>(expense[day]);
        cell.Balance = static_cast<int32_t>(running);
        cell.BalanceColor = cell.Balance < 0 ? clRed : clBlue;
        totals.Income += cell.Income;
        totals.Expense += cell.Expense;
        balanceSum += cell.Balance;
    }

    // Occurrences on days before firstDay (another "today" than the window's
    // creation date) stay out of the cells, as they stay out of the totals.
    for (int d = firstDay; d <= lastDay; ++d) {
        const TDayCell& computed = cells[static_cast<std::size_t>(d)];
        TDayCell& cell = calendar.Cell(calendar.DayToCell(d));
        cell.Income = computed.Income;
        cell.Expense = computed.Expense;
        cell.Balance = computed.Balance;
        cell.BalanceColor = computed.BalanceColor;
    }
    const int dayCount = days - firstDay + 1;
    calendar.MonthAverageKnown = totals.OutOfRangeFrom == 0;
    if (calendar.MonthAverageKnown && dayCount > 0) {
        calendar.MonthAverageBalance = static_cast<int32_t>(RoundedMean(balanceSum, dayCount));
    }
    state.MonthCarryIn = FitsAmount(monthCarryIn) ? static_cast<int32_t>(monthCarryIn) : 0;
    return totals;
}

std::vector<std::string> BuildDayItems(const TPlanBook& book, TDate day) {
    std::vector<std::string> items;
    for (int i = 0; i < book.Count(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        ForPlan(i, [&] {
            if (plan.NextOccurrence(day - 1) != day) return;
            char entry[32];
            std::snprintf(entry, sizeof entry, "%4d%8d", i, static_cast<int>(plan.PeriodNumber(day)));
            items.emplace_back(entry);
        });
    }
    return items;
}

std::optional<TDayItem> ParseDayItem(std::string_view entry) {
    if (entry.size() != 12) return std::nullopt;
    const auto index = BlankPaddedNumber(entry.substr(0, 4));
    const auto period = BlankPaddedNumber(entry.substr(4, 8));
    if (!index || !period) return std::nullopt;
    return TDayItem{*index, *period};
}

std::string FormatMonthTotal(int64_t value) {
    const bool negative = value < 0;
    // Work on the magnitude as unsigned so the smallest 64-bit value has one.
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits;
    int n = 0;
    do {
        if (n > 0 && n % 3 == 0) digits.insert(digits.begin(), ',');
        digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
        ++n;
    } while (magnitude != 0);
    return negative ? "-" + digits : digits;
}

}  // namespace tamber
