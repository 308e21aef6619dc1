// The printout of one month on A4 portrait pages: the calendar as the main
// window draws it, the month's totals and average, the month's occurrences
// as a table continued on further pages as needed, and a footer with the plan
// file's name, the page and the printing date on every page.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include "Dates.h"
#include "PlanBook.h"

class QPagedPaintDevice;

namespace tamber::ui {

struct TMonthPrintout {
    TDate SelectedDate = 0;    // the calendar's held date: its month is printed, its day shown selected
    TDate Today = 0;           // today, as the ledger and the calendar take it
    bool ShowBalance = false;  // the whole-month balance view ("全月平衡")
    QString FileName;          // the footer's file name ("空白" when none)
    QDate PrintDate;           // the footer's date
};

// Paints the month of What for Book on Device, set to A4 portrait, with the
// ledger's figures from State (which is not changed). The table lists the
// occurrences the month's totals hold: from today in today's month, else from
// the 1st. Returns the number of pages, 0 when the device could not be
// painted on. Throws ETamberError (EPlanError naming a plan) as ComputeMonth
// when an amount cannot be computed, before anything is painted.
int PrintMonth(QPagedPaintDevice& device, const TPlanBook& book, const TPlanBookState& state, const TMonthPrintout& what);

// PrintMonth as the bytes of a PDF file. Throws as PrintMonth.
QByteArray MonthPdf(const TPlanBook& book, const TPlanBookState& state, const TMonthPrintout& what);

}  // namespace tamber::ui
