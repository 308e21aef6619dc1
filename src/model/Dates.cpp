#include "Dates.h"

#include <cmath>

#include "Errors.h"

namespace tamber {
namespace {

// Days from 1 March of year 0 style civil arithmetic: exact integer formulas
// over 400-year eras (146097 days). All intermediates stay far inside 32 bits
// for years 1..9999.
constexpr int32_t DaysFromCivil(int y, int m, int d) noexcept {
    y -= m <= 2;
    const int era = y / 400;                                   // y >= 0 here
    const int yoe = y - era * 400;                             // [0, 399]
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;  // [0, 365]
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;     // [0, 146096]
    return era * 146097 + doe - 719468;                        // days since 1970-01-01
}

// Day 0 of the plan model is 30 December 1899, 25569 days before 1970-01-01.
constexpr int32_t kUnixEpochDay = 25569;

static_assert(DaysFromCivil(1899, 12, 30) + kUnixEpochDay == 0);
static_assert(DaysFromCivil(1, 1, 1) + kUnixEpochDay == kMinDay);
static_assert(DaysFromCivil(9999, 12, 31) + kUnixEpochDay == kMaxDay);

}  // namespace

int32_t DayOf(TDate date) {
    if (!std::isfinite(date)) throw EInvalidDate();
    const double whole = std::trunc(date);
    if (whole < kMinDay || whole > kMaxDay) throw EInvalidDate();
    return static_cast<int32_t>(whole);
}

int32_t EncodeDay(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month)) {
        throw EInvalidDate();
    }
    return DaysFromCivil(year, month, day) + kUnixEpochDay;
}

TDate EncodeDate(int year, int month, int day) {
    return EncodeDay(year, month, day);
}

TYearMonthDay DecodeDay(int32_t day) {
    if (day < kMinDay || day > kMaxDay) throw EInvalidDate();
    const int z = day - kUnixEpochDay + 719468;               // days since 0000-03-01, >= 306
    const int era = z / 146097;
    const int doe = z - era * 146097;                          // [0, 146096]
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);   // [0, 365]
    const int mp = (5 * doy + 2) / 153;                        // [0, 11], March based
    const int d = doy - (153 * mp + 2) / 5 + 1;
    const int m = mp < 10 ? mp + 3 : mp - 9;
    const int y = yoe + era * 400 + (m <= 2);
    return {y, m, d};
}

TYearMonthDay DecodeDate(TDate date) {
    return DecodeDay(DayOf(date));
}

int32_t ClampedDay(int year, int month, int day) {
    if (month >= 1 && month <= 12 && day > DaysInMonth(year, month)) {
        day = DaysInMonth(year, month);
    }
    return EncodeDay(year, month, day);
}

TDate ClampedDate(int year, int month, int day) {
    return ClampedDay(year, month, day);
}

}  // namespace tamber
