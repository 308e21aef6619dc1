// Calendar dates. A date is a double counting days since 30 December 1899
// (day 0); the plan model produces whole days only. Conversions follow the
// Gregorian calendar for years 1 to 9999 and raise EInvalidDate outside it.
#pragma once

#include <cstdint>

namespace tamber {

using TDate = double;

struct TYearMonthDay {
    int Year = 0;   // 1..9999
    int Month = 0;  // 1..12
    int Day = 0;    // 1..31
    friend bool operator==(const TYearMonthDay&, const TYearMonthDay&) = default;
};

// Day numbers of 1 January 0001 and 31 December 9999.
inline constexpr int32_t kMinDay = -693593;
inline constexpr int32_t kMaxDay = 2958465;

// True when Year is divisible by 4 and either not by 100 or by 400.
constexpr bool IsLeap(int year) noexcept {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// 28..31 days of Month (1..12) in Year; 0 for a month outside 1..12.
constexpr int DaysInMonth(int year, int month) noexcept {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Whole day number of a date, its time of day dropped (truncated toward zero,
// as stored dates count it). Throws EInvalidDate for NaN, infinities and
// days outside 1 January 0001 .. 31 December 9999.
int32_t DayOf(TDate date);

// Day number of Year-Month-Day. Throws EInvalidDate when the year is outside
// 1..9999, the month outside 1..12 or the day outside 1..DaysInMonth.
int32_t EncodeDay(int year, int month, int day);
TDate EncodeDate(int year, int month, int day);

// Year, month and day of a day number in kMinDay..kMaxDay (EInvalidDate outside).
TYearMonthDay DecodeDay(int32_t day);
// Year, month and day of a date (time of day dropped); EInvalidDate as DayOf.
TYearMonthDay DecodeDate(TDate date);

// Date of Year-Month-Day with Day first lowered to the month's length when it
// is larger. Year outside 1..9999, month outside 1..12 or Day < 1 throw.
TDate ClampedDate(int year, int month, int day);
int32_t ClampedDay(int year, int month, int day);

// A month counted as year x 12 + month - 1, the form month arithmetic uses.
constexpr int64_t MonthIndex(int year, int month) noexcept {
    return int64_t{year} * 12 + month - 1;
}

}  // namespace tamber
