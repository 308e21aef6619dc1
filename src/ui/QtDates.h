// Dates and plan texts between the plan model and the widgets.
#pragma once

#include <QDate>
#include <QLocale>
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

// A day in Locale's short date format; empty when it is no date.
inline QString ShortDateText(TDate date, const QLocale& locale) {
    const QDate d = ToQDate(date);
    return d.isValid() ? locale.toString(d, QLocale::ShortFormat) : QString();
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
