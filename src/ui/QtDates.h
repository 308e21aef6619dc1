// Dates and plan texts between the plan model and the widgets.
#pragma once

#include <QDate>
#include <QString>

#include <string_view>

#include "model/Big5.h"
#include "model/Dates.h"
#include "model/Errors.h"

namespace tamber::ui {

// The calendar date of a day number; an invalid QDate when it is no date.
inline QDate ToQDate(TDate date) {
    try {
        const TYearMonthDay ymd = DecodeDate(date);
        return QDate(ymd.Year, ymd.Month, ymd.Day);
    } catch (const ETamberError&) {
        return {};
    }
}

// The day number of a calendar date (EInvalidDate outside years 1..9999).
inline TDate FromQDate(QDate date) {
    return EncodeDate(date.year(), date.month(), date.day());
}

// Code page 950 text as Unicode.
inline QString FromBig5(std::string_view bytes) {
    return QString::fromStdString(Big5ToUtf8(bytes));
}

}  // namespace tamber::ui
