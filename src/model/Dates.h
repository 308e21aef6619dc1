// Calendar dates. A date is a double counting days since 30 December 1899
// (day 0); the plan model produces whole days only. Conversions follow the
// Gregorian calendar for years 1 to 9999 and raise EInvalidDate outside it.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

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
inline int32_t DayOf(TDate date);

// Day number of Year-Month-Day. Throws EInvalidDate when the year is outside
// 1..9999, the month outside 1..12 or the day outside 1..DaysInMonth.
inline int32_t EncodeDay(int year, int month, int day);
TDate EncodeDate(int year, int month, int day);

// Year, month and day of a day number in kMinDay..kMaxDay (EInvalidDate outside).
inline TYearMonthDay DecodeDay(int32_t day);
// Year, month and day of a date (time of day dropped); EInvalidDate as DayOf.
TYearMonthDay DecodeDate(TDate date);

// Date of Year-Month-Day with Day first lowered to the month's length when it
// is larger. Year outside 1..9999, month outside 1..12 or Day < 1 throw.
TDate ClampedDate(int year, int month, int day);

// A date written YYYY-MM-DD; EInvalidDate as DecodeDate.
std::string IsoDate(TDate date);
inline int32_t ClampedDay(int year, int month, int day);

// A month counted as year x 12 + month - 1, the form month arithmetic uses.
constexpr int64_t MonthIndex(int year, int month) noexcept {
    return int64_t{year} * 12 + month - 1;
}

// ---- The conversions every schedule question runs, inline so that their
// callers keep the fields in registers ----------------------------------

namespace dates_detail {

[[noreturn]] void ThrowInvalidDate();

// Day 0 of the plan model is 30 December 1899, 25569 days before 1970-01-01.
inline constexpr int32_t kUnixEpochDay = 25569;

// Days from 1 March of year 0 style civil arithmetic: exact integer formulas
// over 400-year eras (146097 days). All intermediates stay far inside 32 bits
// for years 1..9999.
constexpr int32_t DaysFromCivil(int y, int m, int d) noexcept {
    y -= m <= 2;
    const int era = y / 400;                                         // y >= 0 here
    const int yoe = y - era * 400;                                   // [0, 399]
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;  // [0, 365]
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;           // [0, 146096]
    return era * 146097 + doe - 719468;                              // days since 1970-01-01
}

static_assert(DaysFromCivil(1899, 12, 30) + kUnixEpochDay == 0);
static_assert(DaysFromCivil(1, 1, 1) + kUnixEpochDay == kMinDay);
static_assert(DaysFromCivil(9999, 12, 31) + kUnixEpochDay == kMaxDay);

}  // namespace dates_detail

inline int32_t DayOf(TDate date) {
    if (!std::isfinite(date)) dates_detail::ThrowInvalidDate();
    const double whole = std::trunc(date);
    if (whole < kMinDay || whole > kMaxDay) dates_detail::ThrowInvalidDate();
    return static_cast<int32_t>(whole);
}

inline int32_t EncodeDay(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        dates_detail::ThrowInvalidDate();
    }
    return dates_detail::DaysFromCivil(year, month, day) + dates_detail::kUnixEpochDay;
}

inline TYearMonthDay DecodeDay(int32_t day) {
    if (day < kMinDay || day > kMaxDay) dates_detail::ThrowInvalidDate();
    // Counted from 1 March of year 0 so that the leap day ends a year. Every
    // division is by a constant, and the year and the day of the year come
    // out of one 64-bit product, which keeps the chain of dependent
    // operations short: the ledger decodes a day for every occurrence.
    const auto n = static_cast<uint32_t>(day - dates_detail::kUnixEpochDay + 719468);  // [306, 3652364]
    const uint32_t n1 = 4 * n + 3;
    const uint32_t century = n1 / 146097;
    const uint32_t inCentury = n1 % 146097 / 4;                  // days into the century
    const uint64_t p = uint64_t{2939745} * (4 * inCentury + 3);  // 2939745 / 2^32 is 1 / 1461
    const auto yearOfCentury = static_cast<uint32_t>(p >> 32);
    const uint32_t dayOfYear = static_cast<uint32_t>(p) / 2939745 / 4;  // [0, 365], from 1 March
    const uint32_t n3 = 2141 * dayOfYear + 197913;                      // month in the high half, day in the low
    const uint32_t m = n3 >> 16;                                        // [3, 14]
    const uint32_t d = (n3 & 0xFFFF) / 2141 + 1;
    const bool nextYear = dayOfYear >= 306;  // January or February
    const uint32_t y = 100 * century + yearOfCentury + (nextYear ? 1 : 0);
    return {static_cast<int>(y), static_cast<int>(nextYear ? m - 12 : m), static_cast<int>(d)};
}

inline int32_t ClampedDay(int year, int month, int day) {
    const int length = DaysInMonth(year, month);  // 0 for an impossible month, which EncodeDay refuses
    return EncodeDay(year, month, length > 0 && day > length ? length : day);
}

}  // namespace tamber
