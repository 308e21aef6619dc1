#include "Dates.h"

#include <cstdio>

#include "Errors.h"

namespace tamber {

void dates_detail::ThrowInvalidDate() {
    throw EInvalidDate();
}

TDate EncodeDate(int year, int month, int day) {
    return EncodeDay(year, month, day);
}

TYearMonthDay DecodeDate(TDate date) {
    return DecodeDay(DayOf(date));
}

TDate ClampedDate(int year, int month, int day) {
    return ClampedDay(year, month, day);
}

std::string IsoDate(TDate date) {
    const TYearMonthDay ymd = DecodeDate(date);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", ymd.Year, ymd.Month, ymd.Day);
    return text;
}

}  // namespace tamber
