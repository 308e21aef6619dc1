#include "model/Dates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/Errors.h"

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

TEST(Dates, KnownDayNumbers) {
    struct Case { const char* what; int y, m, d; int32_t day; };
    const Case cases[] = {
        {"day zero", 1899, 12, 30, 0},
        {"first of 1900", 1900, 1, 1, 2},
        {"day before 1900 leap rule matters", 1900, 3, 1, 61},
        {"first of 1970", 1970, 1, 1, 25569},
        {"first of 2000", 2000, 1, 1, 36526},
        {"29 February 2000", 2000, 2, 29, 36585},
        {"first day of year 1", 1, 1, 1, kMinDay},
        {"last day of year 9999", 9999, 12, 31, kMaxDay},
        {"day before day zero", 1899, 12, 29, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeDay(c.y, c.m, c.d), c.day) << c.what;
        EXPECT_EQ(DecodeDay(c.day), (TYearMonthDay{c.y, c.m, c.d})) << c.what;
    }
}

TEST(Dates, ImpossibleDatesAreRefused) {
    struct Case { const char* what; int y, m, d; };
    const Case cases[] = {
        {"year 0", 0, 1, 1},          {"year 10000", 10000, 1, 1},  {"month 0", 2000, 0, 1},
        {"month 13", 2000, 13, 1},    {"day 0", 2000, 1, 0},        {"31 April", 2001, 4, 31},
        {"29 February 2001", 2001, 2, 29}, {"29 February 1900", 1900, 2, 29}, {"30 February 2000", 2000, 2, 30},
    };
    for (const Case& c : cases) EXPECT_THROW(EncodeDay(c.y, c.m, c.d), EInvalidDate) << c.what;
}

TEST(Dates, DayOfDropsTheTimeOfDayAndRefusesWhatIsNoDate) {
    EXPECT_EQ(DayOf(36526.75), 36526);
    EXPECT_EQ(DayOf(-1.5), -1);  // stored dates count the time of day away from day 0
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                       double{kMaxDay} + 1, double{kMinDay} - 1, 1e300}) {
        EXPECT_THROW(DayOf(bad), EInvalidDate) << bad;
    }
    EXPECT_THROW(DecodeDay(kMaxDay + 1), EInvalidDate);
}

TEST(Dates, ClampedDateShortensDaysBeyondTheMonthEnd) {
    struct Case { const char* what; int y, m, d; TYearMonthDay expected; };
    const Case cases[] = {
        {"31st in February of a common year", 2001, 2, 31, {2001, 2, 28}},
        {"31st in February of a leap year", 2004, 2, 31, {2004, 2, 29}},
        {"31st in April", 2001, 4, 31, {2001, 4, 30}},
        {"day inside the month kept", 2001, 4, 15, {2001, 4, 15}},
        {"day 40 in December", 2001, 12, 40, {2001, 12, 31}},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeDate(ClampedDate(c.y, c.m, c.d)), c.expected) << c.what;
    EXPECT_THROW(ClampedDate(2001, 4, 0), EInvalidDate);
    EXPECT_THROW(ClampedDate(10000, 1, 1), EInvalidDate);
}

}  // namespace
}  // namespace tamber
