#include "book/CalendarMonth.h"

#include <gtest/gtest.h>

namespace tamber {
namespace {

TEST(CalendarMonth, FirstCellDependsOnTheWeekdayOfTheFirst) {
    struct Case { const char* what; int y, m, startOfWeek, firstCellDay; };
    const Case cases[] = {
        {"April 2001 begins on a Sunday", 2001, 4, 0, 1},
        {"July 2001 begins on a Sunday, week from Monday", 2001, 7, 1, -5},
        {"September 2001 begins on a Saturday", 2001, 9, 0, -5},
        {"October 2001 begins on a Monday, week from Monday", 2001, 10, 1, 1},
    };
    for (const Case& c : cases) {
        TCalendarMonth month;
        month.Layout(c.y, c.m, c.startOfWeek);
        EXPECT_EQ(month.FirstCellDay(), c.firstCellDay) << c.what;
        EXPECT_EQ(month.DayToCell(1), (TCellPos{1, 1 - c.firstCellDay})) << c.what;
    }
}

TEST(CalendarMonth, EveryDayOfEveryMonthHasItsOwnCellAndBackAgain) {
    for (int startOfWeek = 0; startOfWeek < 7; ++startOfWeek) {
        for (int m = 1; m <= 12; ++m) {
            TCalendarMonth month;
            month.Layout(2024, m, startOfWeek);
            int days = 0;
            for (int r = 0; r < 7; ++r) {  // row 0 holds the weekday names, cell (6, 6) the summary
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
