// The month the calendar shows, as data: which day sits in which of the 7 x 7
// cells (row 0 is the weekday header, rows 1..6 the weeks), and the amounts
// the daily ledger writes into each cell. The calendar control draws it; the
// ledger fills it; neither needs the other to be tested.
#pragma once

#include <array>
#include <cstdint>

namespace tamber {

// An RGB colour as 0xRRGGBB, or clNone for no colour.
using TColor = int32_t;
inline constexpr TColor clNone = -1;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0xFF0000;
inline constexpr TColor clBlue = 0x0000FF;
inline constexpr TColor clMaroon = 0x800000;
inline constexpr TColor clPurple = 0x800080;

struct TDayCell {
    int32_t Income = 0;           // sum of the day's positive amounts
    int32_t Expense = 0;          // sum of the day's zero or negative amounts
    int32_t Balance = 0;          // balance at the end of the day
    TColor BalanceColor = clRed;  // blue when Balance >= 0, red when negative
    int32_t DayNumber = 0;        // day of month; cells outside the month keep their old value
};

struct TCellPos {
    int Row = 0;
    int Column = 0;
    friend bool operator==(const TCellPos&, const TCellPos&) = default;
};

class TCalendarMonth {
public:
    static constexpr int kRows = 7;
    static constexpr int kColumns = 7;

    // Lays out Year-Month (1..9999, 1..12) with column 0 on weekday
    // StartOfWeek (0 = Sunday .. 6 = Saturday) and writes the DayNumber of
    // every day of the month. Amounts are left as they are.
    void Layout(int year, int month, int startOfWeek);

    int Year() const noexcept { return Year_; }
    int Month() const noexcept { return Month_; }
    int StartOfWeek() const noexcept { return StartOfWeek_; }

    // Virtual day number of the cell in row 1, column 0: always -5..1.
    int FirstCellDay() const noexcept { return FirstCellDay_; }

    // Days of the shown month.
    int DaysThisMonth() const noexcept;

    // Cell of a day 1..DaysThisMonth of the shown month.
    TCellPos DayToCell(int day) const noexcept;

    // Day of the month shown in a week cell (row 1..6), or 0 for a blank cell
    // (outside the month, the header row, or the summary cell at row 6, column 6).
    int CellDay(int row, int column) const noexcept;

    // Weekday (0 = Sunday) of a column.
    int ColumnWeekday(int column) const noexcept { return (StartOfWeek_ + column) % 7; }

    // Zeroes Income, Expense and Balance of all 49 cells and sets every
    // BalanceColor to Color; DayNumber is left alone.
    void ClearAmounts(TColor color);

    TDayCell& Cell(TCellPos pos) noexcept {
        return DayCells[static_cast<std::size_t>(pos.Row)][static_cast<std::size_t>(pos.Column)];
    }
    const TDayCell& Cell(TCellPos pos) const noexcept {
        return DayCells[static_cast<std::size_t>(pos.Row)][static_cast<std::size_t>(pos.Column)];
    }

    std::array<std::array<TDayCell, kColumns>, kRows> DayCells{};
    int32_t MonthAverageBalance = 0;
    // False when the month has no average to show: a balance of it left 32
    // bits, or the month could not be computed.
    bool MonthAverageKnown = true;

private:
    int Year_ = 2000;
    int Month_ = 1;
    int StartOfWeek_ = 0;
    int FirstCellDay_ = -5;  // 1 January 2000 was a Saturday
};

// Weekday of a date, 0 = Sunday .. 6 = Saturday (years 1..9999).
int WeekdayOf(int year, int month, int day);

}  // namespace tamber
