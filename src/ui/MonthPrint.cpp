#include "ui/MonthPrint.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <vector>

#include "book/Ledger.h"
#include "book/Schedule.h"
#include "ui/DrawCalendar.h"
#include "ui/QtDates.h"
#include "ui/Theme.h"

namespace tamber::ui {
namespace {

struct TTableRow {
    QString Date, Plan, Amount;
};

}  // namespace

int PrintMonth(QPagedPaintDevice& device, const TPlanBook& book, const TPlanBookState& state, const TMonthPrintout& what) {
    // Everything is computed before the first page, so that a failure paints nothing.
    const QDate shown = ToQDate(what.SelectedDate);
    const int year = shown.year(), month = shown.month();
    TDrawCalendar calendar(ToQDate(what.Today));
    ConfigureForMainWindow(calendar);
    calendar.SetShowBalance(what.ShowBalance);
    calendar.SetYear(year);
    calendar.SetMonth(month);
    calendar.SetDay(shown.day());
    TPlanBookState ledger = state;
    const TMonthTotals totals = ComputeMonth(book, ledger, year, month, what.Today, calendar.MonthData());

    const QLocale locale;
    const TDate first = EncodeDate(year, month, 1);
    std::vector<TTableRow> rows;
    ForEachOccurrence(book, std::max(first, what.Today), first + DaysInMonth(year, month) - 1, [&](const TOccurrence& o) {
        rows.push_back({locale.toString(ToQDate(o.Date), QLocale::ShortFormat),
                        QString::fromStdString(PlanTitle(book.Plan(o.PlanIndex))), FormatAverage(o.Amount)});
    });

    device.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    const double width = device.width();
    const double mm = device.logicalDpiY() / 25.4;
    const QFont titleFont = PrintMingFont(16, true), textFont = PrintMingFont(10), headingFont = PrintMingFont(10, true),
                footerFont = PrintMingFont(8);
    const double rowHeight = QFontMetricsF(textFont, &device).height() * 1.4;
    const double footerHeight = QFontMetricsF(footerFont, &device).height();
    const double footerTop = device.height() - footerHeight - 2 * mm;
    const double amountLeft = width * 0.72, planLeft = width * 0.24;

    const auto text = [&](double left, double top, double w, double h, int flags, const QString& s) {
        painter.drawText(QRectF(left, top, w, h), flags | Qt::AlignVCenter, s);
    };
    int page = 1;
    const auto footer = [&] {
        painter.setFont(footerFont);
        painter.drawLine(QPointF(0, footerTop), QPointF(width, footerTop));
        const double top = footerTop + mm;
        text(0, top, width, footerHeight, Qt::AlignLeft, what.FileName);
        text(0, top, width, footerHeight, Qt::AlignHCenter, QStringLiteral("第 %1 頁").arg(page));
        text(0, top, width, footerHeight, Qt::AlignRight,
             QStringLiteral("列印日期 ") + locale.toString(what.PrintDate, QLocale::ShortFormat));
    };
    const auto heading = [&](double& y) {
        painter.setFont(headingFont);
        text(0, y, planLeft, rowHeight, Qt::AlignLeft, QStringLiteral("日期"));
        text(planLeft, y, amountLeft - planLeft, rowHeight, Qt::AlignLeft, QStringLiteral("計劃"));
        text(amountLeft, y, width - amountLeft, rowHeight, Qt::AlignRight, QStringLiteral("金額"));
        y += rowHeight;
        painter.drawLine(QPointF(0, y), QPointF(width, y));
        painter.setFont(textFont);
    };

    double y = 0;
    painter.setFont(titleFont);
    const double titleHeight = painter.fontMetrics().height();
    text(0, y, width, titleHeight, Qt::AlignLeft, QStringLiteral("%1 年 %2 月").arg(year).arg(month));
    y += titleHeight + 3 * mm;

    // The calendar control paints itself, at its on-screen size scaled to the page's width.
    const double scale = width / calendar.width();
    painter.save();
    painter.translate(0, y);
    painter.scale(scale, scale);
    calendar.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.restore();
    y += calendar.height() * scale + 4 * mm;

    painter.setFont(textFont);
    text(0, y, width, rowHeight, Qt::AlignLeft,
         QStringLiteral("本月收入 %1　　本月支出 %2　　本月平均 %3")
             .arg(QString::fromStdString(FormatMonthTotal(totals.Income)),
                  QString::fromStdString(FormatMonthTotal(totals.Expense)),
                  FormatAverage(calendar.MonthData().MonthAverageBalance)));
    y += rowHeight + 3 * mm;

    footer();
    heading(y);
    if (rows.empty()) text(planLeft, y, width - planLeft, rowHeight, Qt::AlignLeft, QStringLiteral("本月沒有收支"));
    const QFontMetricsF metrics(textFont, &device);
    for (const TTableRow& row : rows) {
        if (y + rowHeight > footerTop) {
            device.newPage();
            ++page;
            footer();
            y = 0;
            heading(y);
        }
        text(0, y, planLeft, rowHeight, Qt::AlignLeft, row.Date);
        const double planWidth = amountLeft - planLeft - 2 * mm;
        text(planLeft, y, planWidth, rowHeight, Qt::AlignLeft, metrics.elidedText(row.Plan, Qt::ElideRight, planWidth));
        text(amountLeft, y, width - amountLeft, rowHeight, Qt::AlignRight, row.Amount);
        y += rowHeight;
    }
    painter.end();
    return page;
}

QByteArray MonthPdf(const TPlanBook& book, const TPlanBookState& state, const TMonthPrintout& what) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Tamber 98"));
        pdf.setTitle(QStringLiteral("Tamber 98"));
        PrintMonth(pdf, book, state, what);
    }
    return bytes;
}

}  // namespace tamber::ui
