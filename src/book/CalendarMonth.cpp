#include "book/CalendarMonth.h"

#include "model/Dates.h"

namespace tamber {

int WeekdayOf(int year, int month, int day) {
    // Day 0 (30 December 1899) was a Saturday.
    const int32_t n = EncodeDay(year, month, day);
    return static_cast<int>(((n % 7) + 7 + 6) % 7);
}

void TCalendarMonth::Layout(int year, int month, int startOfWeek) {
    const int firstWeekday = WeekdayOf(year, month, 1);  // throws for an impossible month
    Year_ = year;
    Month_ = month;
    StartOfWeek_ = ((startOfWeek % 7) + 7) % 7;
    // The 1st lands in row 1, column k; a week starting on the 1st's weekday puts it in column 0.
    const int k = (firstWeekday - StartOfWeek_ + 7) % 7;
    FirstCellDay_ = 1 - k;
    for (int d = 1, n = DaysThisMonth(); d <= n; ++d) Cell(DayToCell(d)).DayNumber = d;
}

int TCalendarMonth::DaysThisMonth() const noexcept {
    return DaysInMonth(Year_, Month_);
}

TCellPos TCalendarMonth::DayToCell(int day) const noexcept {
    const int offset = day - FirstCellDay_;
    return {offset / 7 + 1, offset % 7};
}

int TCalendarMonth::CellDay(int row, int column) const noexcept {
    if (row < 1 || row >= kRows || column < 0 || column >= kColumns) return 0;
    const int n = FirstCellDay_ + column + 7 * (row - 1);
    return n >= 1 && n <= DaysThisMonth() ? n : 0;
}

void TCalendarMonth::ClearAmounts(TColor color) {
    for (auto& row : DayCells) {
        for (TDayCell& cell : row) {
            cell.Income = 0;
            cell.Expense = 0;
            cell.Balance = 0;
            cell.BalanceColor = color;
        }
    }
}

}  // namespace tamber
