#include "Dates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Errors.h"

namespace tamber {
namespace {

TEST(Dates, EveryDayOfYears1To9999RoundTripsAndFollowsTheDayBefore) {
    TYearMonthDay prev = DecodeDay(kMinDay);
    ASSERT_EQ(prev, (TYearMonthDay{1, 1, 1}));
    for (int32_t day = kMinDay + 1; day <= kMaxDay; ++day) {
        const TYearMonthDay ymd = DecodeDay(day);
        const bool nextInMonth = ymd.Year == prev.Year && ymd.Month == prev.Month && ymd.Day == prev.Day + 1;
        const bool firstOfNextMonth = ymd.Day == 1 && prev.Day == DaysInMonth(prev.Year, prev.Month) &&
                                      (ymd.Month == prev.Month + 1 || (ymd.Month == 1 && prev.Month == 12 && ymd.Year == prev.Year + 1));
        ASSERT_TRUE(nextInMonth || firstOfNextMonth) << "day " << day;
        ASSERT_EQ(EncodeDay(ymd.Year, ymd.Month, ymd.Day), day);
        prev = ymd;
    }
    EXPECT_EQ(prev, (TYearMonthDay{9999, 12, 31}));
}

TEST(Dates, KnownDayNumbersAndImpossibleDates) {
    const struct { const char* what; int y, m, d; int32_t day; } known[] = {
        {"day zero", 1899, 12, 30, 0},          {"first of 1900", 1900, 1, 1, 2},
        {"1900 is no leap year", 1900, 3, 1, 61}, {"29 February 2000", 2000, 2, 29, 36585},
        {"first day of year 1", 1, 1, 1, kMinDay}, {"last day of year 9999", 9999, 12, 31, kMaxDay},
    };
    for (const auto& c : known) {
        EXPECT_EQ(EncodeDay(c.y, c.m, c.d), c.day) << c.what;
        EXPECT_EQ(DecodeDate(c.day + std::copysign(0.75, c.day)), (TYearMonthDay{c.y, c.m, c.d})) << c.what;
    }
    const struct { const char* what; int y, m, d; } impossible[] = {
        {"year 0", 0, 1, 1},   {"year 10000", 10000, 1, 1},  {"month 0", 2000, 0, 1},          {"month 13", 2000, 13, 1},
        {"day 0", 2000, 1, 0}, {"31 April", 2001, 4, 31},    {"29 February 1900", 1900, 2, 29}, {"30 February 2000", 2000, 2, 30},
    };
    for (const auto& c : impossible) EXPECT_THROW(EncodeDay(c.y, c.m, c.d), EInvalidDate) << c.what;
    EXPECT_THROW(DecodeDay(kMaxDay + 1), EInvalidDate);
    EXPECT_THROW(DecodeDay(kMinDay - 1), EInvalidDate);
}

TEST(Dates, DayOfDropsTheTimeOfDayAndRefusesWhatIsNoDate) {
    EXPECT_EQ(DayOf(36526.75), 36526);
    EXPECT_EQ(DayOf(-1.5), -1);  // stored dates count the time of day away from day 0
    EXPECT_EQ(DayOf(kMinDay), kMinDay);
    EXPECT_EQ(DayOf(kMaxDay + 0.5), kMaxDay);
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                       double{kMaxDay} + 1, double{kMinDay} - 1}) {
        EXPECT_THROW(DayOf(bad), EInvalidDate) << bad;
    }
}

TEST(Dates, ClampedDateShortensDaysBeyondTheMonthEnd) {
    const struct { const char* what; int y, m, d; TYearMonthDay expected; } cases[] = {
        {"31st in February of a common year", 2001, 2, 31, {2001, 2, 28}},
        {"31st in February of a leap year", 2004, 2, 31, {2004, 2, 29}},
        {"31st in April", 2001, 4, 31, {2001, 4, 30}},
        {"the last day itself", 2001, 4, 30, {2001, 4, 30}},
        {"a day inside the month kept", 2001, 4, 15, {2001, 4, 15}},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeDate(ClampedDate(c.y, c.m, c.d)), c.expected) << c.what;
    EXPECT_THROW(ClampedDate(2001, 4, 0), EInvalidDate);
    EXPECT_THROW(ClampedDate(2001, 13, 1), EInvalidDate);
    EXPECT_EQ(MonthIndex(2001, 3), 2001 * 12 + 2);
}

}  // namespace
}  // namespace tamber
