#include "Dates.h"

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

}  // namespace tamber
