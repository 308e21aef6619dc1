#include "CalendarMonth.h"

#include <gtest/gtest.h>

namespace tamber {
namespace {

TEST(CalendarMonth, FirstCellDependsOnTheWeekdayOfTheFirst) {
    struct Case { const char* what; int y, m, startOfWeek, firstCellDay; };
    const Case cases[] = {
        {"April 2001 begins on a Sunday", 2001, 4, 0, 1},
        {"July 2001 begins on a Sunday, week from Monday", 2001, 7, 1, -5},
        {"September 2001 begins on a Saturday", 2001, 9, 0, -5},
        {"February 2001 begins on a Thursday", 2001, 2, 0, -3},
        {"October 2001 begins on a Monday, week from Monday", 2001, 10, 1, 1},
        {"December 2026 begins on a Tuesday", 2026, 12, 0, -1},
    };
    for (const Case& c : cases) {
        TCalendarMonth month;
        month.Layout(c.y, c.m, c.startOfWeek);
        EXPECT_EQ(month.FirstCellDay(), c.firstCellDay) << c.what;
        EXPECT_EQ(month.DayToCell(1), (TCellPos{1, 1 - c.firstCellDay})) << c.what;
    }
}

TEST(CalendarMonth, ThirtyFirstOfAMonthBeginningInTheLastColumnSitsInRowSix) {
    TCalendarMonth month;
    month.Layout(2001, 12, 0);  // 1 December 2001 was a Saturday
    EXPECT_EQ(month.DayToCell(31), (TCellPos{6, 1}));
    EXPECT_EQ(month.CellDay(6, 1), 31);
    EXPECT_EQ(month.CellDay(6, 6), 0);  // the summary cell is always blank
    EXPECT_EQ(month.CellDay(1, 5), 0);
    EXPECT_EQ(month.CellDay(0, 3), 0);
}

TEST(CalendarMonth, EveryDayOfEveryMonthHasItsOwnCellAndBackAgain) {
    for (int startOfWeek = 0; startOfWeek < 7; ++startOfWeek) {
        for (int m = 1; m <= 12; ++m) {
            TCalendarMonth month;
            month.Layout(2024, m, startOfWeek);
            int days = 0;
            for (int r = 1; r < 7; ++r) {
                for (int c = 0; c < 7; ++c) {
                    if (const int d = month.CellDay(r, c)) {
                        ++days;
                        EXPECT_EQ(month.DayToCell(d), (TCellPos{r, c}));
                        EXPECT_EQ(month.Cell({r, c}).DayNumber, d);
                        EXPECT_EQ(WeekdayOf(2024, m, d), month.ColumnWeekday(c));
                    }
                }
            }
            EXPECT_EQ(days, month.DaysThisMonth());
        }
    }
}

}  // namespace
}  // namespace tamber
