#include "ui/DrawCalendar.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStringList>

#include <algorithm>
#include <string>

#include "book/Ledger.h"
#include "model/Errors.h"
#include "ui/Accessible.h"
#include "ui/Theme.h"

namespace tamber::ui {
namespace {

constexpr int kRows = TCalendarMonth::kRows;
constexpr int kColumns = TCalendarMonth::kColumns;
constexpr TCellPos kSummaryCell{6, 6};
// Pixels an amount line keeps free at the cell's left and right edges, and the
// month average in the summary cell.
constexpr int kLineMargins = 1 + 2;
constexpr int kAverageMargins = 2 + 4;

// Draws Text with its top-left corner at (X, Top), the way the cell layout
// measures positions (by the top of the text, not its baseline).
void TextOut(QPainter& painter, int x, int top, const QString& text) {
    painter.drawText(x, top + painter.fontMetrics().ascent(), text);
}

int TextWidth(const QPainter& painter, const QString& text) {
    return painter.fontMetrics().horizontalAdvance(text);
}

int TextHeight(const QPainter& painter) {
    return painter.fontMetrics().height();
}

}  // namespace

QString FormatAverage(int32_t value) {
    // The same grouping as the month totals: commas, "0" for zero, a leading minus.
    return QString::fromStdString(FormatMonthTotal(value));
}

QString FormatAmount(int32_t value) {
    return value == 0 ? QString() : FormatAverage(value);
}

TColor AverageColor(int32_t value) {
    return value < 0 ? clRed : clBlue;
}

QString WeekdayName(int weekday, bool longName) {
    static const QLocale locale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    const int w = ((weekday % 7) + 7) % 7;
    // QLocale counts Monday = 1 .. Sunday = 7.
    return locale.dayName(w == 0 ? 7 : w, longName ? QLocale::LongFormat : QLocale::ShortFormat);
}

QString DaySpeech(int month, int day, const TCellTexts& texts) {
    QString speech = QStringLiteral("%1月%2日").arg(month).arg(day);
    if (!texts.Income.isEmpty()) speech += QStringLiteral(" 收入 ") + texts.Income;
    if (!texts.Expense.isEmpty()) {
        QString expense = texts.Expense;
        if (expense.startsWith(QLatin1Char('-'))) expense.remove(0, 1);
        speech += QStringLiteral(" 支出 ") + expense;
    }
    if (!texts.Balance.isEmpty()) speech += QStringLiteral(" 結存 ") + texts.Balance;
    return speech;
}

QFont FontToFit(const QFont& font, const QString& text, int width) {
    QFont fitted = font;
    // Whole pixels when the font is sized in pixels, half points otherwise.
    const bool pixels = font.pixelSize() > 0;
    while (QFontMetrics(fitted).horizontalAdvance(text) > width) {
        if (pixels) {
            if (fitted.pixelSize() <= 1) break;
            fitted.setPixelSize(fitted.pixelSize() - 1);
        } else {
            if (fitted.pointSizeF() <= 1) break;
            fitted.setPointSizeF(std::max(1.0, fitted.pointSizeF() - 0.5));
        }
    }
    return fitted;
}

TDrawCalendar::TDrawCalendar(QDate today, QWidget* parent) : QFrame(parent) {
    if (!today.isValid() || today.year() < 1 || today.year() > 9999) throw EInvalidDate();
    setObjectName(QStringLiteral("DrawCalendar1"));
    // A 2-pixel sunken border: the main window's 472 x 352 leaves a client area of 468 x 348.
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    InstallCalendarAccessibility();

    HeaderFont_ = font();
    HeaderFont_.setPointSize(12);
    TextFont_ = font();
    DateFont_ = font();
    DateFont_.setFamily(QStringLiteral("Times New Roman"));

    TodayYear_ = SelYear_ = today.year();
    TodayMonth_ = SelMonth_ = today.month();
    TodayDay_ = SelDay_ = today.day();
    RebuildMonth();
}

TDrawCalendar::~TDrawCalendar() = default;

TDate TDrawCalendar::SelectedDate() const {
    return EncodeDate(SelYear_, SelMonth_, SelDay_);
}

void TDrawCalendar::SetYear(int value) {
    // Years beyond 9999 cannot be encoded as a date; they are refused like the
    // other impossible elements instead of failing half-way.
    if (value <= 0 || value > 9999 || value == SelYear_) return;
    SetDateElement(value, SelMonth_, SelDay_);
}

void TDrawCalendar::SetMonth(int value) {
    if (value <= 0 || value > 12 || value == SelMonth_) return;
    SetDateElement(SelYear_, value, SelDay_);
}

void TDrawCalendar::SetDay(int value) {
    if (value <= 0 || value > DaysThisMonth() || value == SelDay_) return;
    SetDateElement(SelYear_, SelMonth_, value);
}

void TDrawCalendar::SetDateElement(int year, int month, int day) {
    // 31 January moved to February becomes its last day.
    day = std::min(day, DaysPerMonth(year, month));
    const bool otherMonth = year != SelYear_ || month != SelMonth_;
    SelYear_ = year;
    SelMonth_ = month;
    SelDay_ = day;
    UseCurrentDate_ = false;
    if (otherMonth) {
        RebuildMonth();
    } else {
        // The highlighted cell always shows the held day, also when the day is
        // set by the program rather than chosen with the mouse or a key.
        MoveCurrent(DayToCell(SelDay_), false);
    }
    Change();
}

void TDrawCalendar::RebuildMonth() {
    Cells_.Layout(SelYear_, SelMonth_, StartOfWeek_);
    MoveCurrent(DayToCell(SelDay_), false);
    update();
}

void TDrawCalendar::Change() {
    emit OnChange();
}

QString TDrawCalendar::CellText(int column, int row) const {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return {};
    if (row == 0) return WeekdayName(StartOfWeek_ + column, UseLongDayNames_);
    const int day = Cells_.CellDay(row, column);
    return day == 0 ? QString() : QString::number(day);
}

TCellTexts TDrawCalendar::CellTexts(int column, int row) const {
    TCellTexts texts;
    texts.Text = CellText(column, row);
    if (column < 0 || column >= kColumns || row < 1 || row >= kRows) return texts;
    const TDayCell& cell = Cells_.Cell({row, column});
    const bool today = Cells_.Year() == TodayYear_ && Cells_.Month() == TodayMonth_ && cell.DayNumber == TodayDay_;
    const bool selected = Current_ == TCellPos{row, column};
    texts.AmountLines = cell.Income != 0 || cell.Expense != 0 || cell.DayNumber == 1 || ShowBalance_ || today || selected;
    if (texts.AmountLines) {
        texts.Income = FormatAmount(cell.Income);
        texts.Expense = FormatAmount(cell.Expense);
        texts.Balance = FormatAmount(cell.Balance);
        texts.BalanceColor = cell.BalanceColor;
    }
    if (TCellPos{row, column} == kSummaryCell) {
        texts.Summary = true;
        if (Cells_.MonthAverageKnown) texts.Average = FormatAverage(Cells_.MonthAverageBalance);
        texts.AverageColor = AverageColor(Cells_.MonthAverageBalance);
    }
    return texts;
}

QString TDrawCalendar::CellSpeech(int column, int row) const {
    if (row == 0) return column >= 0 && column < kColumns ? WeekdayName(StartOfWeek_ + column, true) : QString();
    const TCellTexts texts = CellTexts(column, row);
    if (texts.Summary) return QStringList{kSummaryCaption, kSummaryLabel, texts.Average}.join(QLatin1Char(' ')).trimmed();
    if (texts.Text.isEmpty()) return {};
    return DaySpeech(Cells_.Month(), texts.Text.toInt(), texts);
}

QFont TDrawCalendar::FigureFont(const QString& figure, bool summary) const {
    return summary ? FontToFit(font(), figure, ColWidth_ - kAverageMargins)
                   : FontToFit(TextFont_, figure, ColWidth_ - kLineMargins);
}

bool TDrawCalendar::CanSelectCell(TCellPos cell, bool byUser) const {
    if (cell.Row < 1) return false;  // the header row never becomes current
    if (byUser && ReadOnly_) return false;
    return !CellText(cell.Column, cell.Row).isEmpty();
}

bool TDrawCalendar::MoveCurrent(TCellPos to, bool byUser) {
    if (to == Current_ || !CanSelectCell(to, byUser)) return false;
    Current_ = to;
    update();
    AnnounceCurrent();
    return true;
}

void TDrawCalendar::AnnounceCurrent() {
    if (!QAccessible::isActive()) return;
    // The accessible table lists its cells row by row, the weekday row first.
    const int child = Current_.Row * kColumns + Current_.Column;
    QAccessibleEvent selection(this, QAccessible::Selection);
    selection.setChild(child);
    QAccessible::updateAccessibility(&selection);
    if (!hasFocus()) return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(child);
    QAccessible::updateAccessibility(&focus);
}

void TDrawCalendar::focusInEvent(QFocusEvent* event) {
    QFrame::focusInEvent(event);
    AnnounceCurrent();
}

void TDrawCalendar::Click() {
    emit OnClick();
    const QString text = CellText(Current_.Column, Current_.Row);
    if (!text.isEmpty()) SetDay(text.toInt());
}

QRect TDrawCalendar::CellRect(int column, int row) const {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return {};
    const QRect client = contentsRect();
    const int g = GridLineWidth();
    const int x = client.left() + column * (ColWidth_ + g);
    if (row == 0) return {x, client.top(), ColWidth_, HeaderHeight_};
    const int y = client.top() + HeaderHeight_ + g + (row - 1) * (RowHeight_ + g);
    return {x, y, ColWidth_, RowHeight_};
}

TCellPos TDrawCalendar::CellAt(QPoint pos) const {
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (CellRect(column, row).contains(pos)) return {row, column};
        }
    }
    return {-1, -1};
}

void TDrawCalendar::SetHeaderHeight(int pixels) {
    HeaderHeight_ = std::max(0, pixels);
    update();
}

void TDrawCalendar::SetStartOfWeek(int weekday) {
    if (weekday < 0 || weekday > 6 || weekday == StartOfWeek_) return;
    StartOfWeek_ = weekday;
    RebuildMonth();
}

void TDrawCalendar::SetUseCurrentDate(bool value) {
    if (value == UseCurrentDate_) return;
    UseCurrentDate_ = value;
    if (!value) return;
    SelYear_ = TodayYear_;
    SelMonth_ = TodayMonth_;
    SelDay_ = TodayDay_;
    RebuildMonth();
}

void TDrawCalendar::SetDateBox(bool value) {
    if (value == DateBox_) return;
    DateBox_ = value;
    update();
}

void TDrawCalendar::SetUseLongDayNames(bool value) {
    if (value == UseLongDayNames_) return;
    UseLongDayNames_ = value;
    update();
}

void TDrawCalendar::SetShowBalance(bool value) {
    ShowBalance_ = value;
    update();
}

void TDrawCalendar::SetSelectedColor(TColor color) {
    SelectedColor_ = color;
    update();
}

TColor TDrawCalendar::ColumnColor(int column) const noexcept {
    return column >= 0 && column < kColumns ? ColumnColors_[static_cast<std::size_t>(column)] : clNone;
}

void TDrawCalendar::SetColumnColor(int column, TColor color) {
    if (column < 0 || column >= kColumns) return;
    ColumnColors_[static_cast<std::size_t>(column)] = color;
    update();
}

void TDrawCalendar::SetHeaderFont(const QFont& font, TColor color) {
    HeaderFont_ = font;
    HeaderFontColor_ = color;
    update();
}

void TDrawCalendar::SetTextFont(const QFont& font, TColor color) {
    TextFont_ = font;
    TextFontColor_ = color;
    update();
}

void TDrawCalendar::SetDateFont(const QFont& font, TColor color) {
    DateFont_ = font;
    DateFontColor_ = color;
    update();
}

QSize TDrawCalendar::sizeHint() const {
    return {472, 352};
}

void TDrawCalendar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    // Seven columns and six week rows share the client area; the leftover
    // pixels stay at the right and bottom edge.
    const QSize client = contentsRect().size();
    const int g = GridLineWidth();
    ColWidth_ = std::max(0, (client.width() - 6 * g) / 7);
    RowHeight_ = std::max(0, (client.height() - 6 * g - HeaderHeight_) / 6);
}

void TDrawCalendar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    const TCellPos cell = CellAt(event->position().toPoint());
    // Only a press on a week cell starts a choice; the header and the grid
    // lines take no part.
    Tracking_ = cell.Row >= 1;
    if (Tracking_) MoveCurrent(cell, true);
}

void TDrawCalendar::mouseMoveEvent(QMouseEvent* event) {
    if (!Tracking_ || !(event->buttons() & Qt::LeftButton)) return;
    const TCellPos cell = CellAt(event->position().toPoint());
    if (cell.Row >= 1) MoveCurrent(cell, true);
}

void TDrawCalendar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !Tracking_) {
        QFrame::mouseReleaseEvent(event);
        return;
    }
    Tracking_ = false;
    Click();
}

void TDrawCalendar::keyPressEvent(QKeyEvent* event) {
    // Arrows move one cell and stop at the grid's edges; a move onto a blank
    // cell is refused. Home and End go to the first and last day of the month.
    // Every accepted move is a choice of that day.
    TCellPos to = Current_;
    switch (event->key()) {
        case Qt::Key_Left: --to.Column; break;
        case Qt::Key_Right: ++to.Column; break;
        case Qt::Key_Up: --to.Row; break;
        case Qt::Key_Down: ++to.Row; break;
        case Qt::Key_Home: to = DayToCell(1); break;
        case Qt::Key_End: to = DayToCell(DaysThisMonth()); break;
        default: QFrame::keyPressEvent(event); return;
    }
    event->accept();
    if (to.Column < 0 || to.Column >= kColumns || to.Row < 1 || to.Row >= kRows) return;
    if (MoveCurrent(to, true)) Click();
}

void TDrawCalendar::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.setClipRect(client);
    painter.fillRect(client, palette().base());
    // The grid lines are what shows between the cells.
    const QRect last = CellRect(kColumns - 1, kRows - 1);
    const QRect grid(client.topLeft(), last.bottomRight());
    painter.fillRect(grid, ToQColor(kCalendarGridLine));
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const QRect rect = CellRect(column, row);
            if (rect.isEmpty() || !rect.intersects(event->rect())) continue;
            painter.save();
            painter.setClipRect(rect.intersected(client));
            DrawCell(painter, column, row, rect);
            painter.restore();
            emit OnDrawCell(&painter, column, row, rect, Current_ == TCellPos{row, column});
        }
    }
    if (hasFocus()) {
        QRect focus = CellRect(Current_.Column, Current_.Row).adjusted(0, 0, -1, -1);
        QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(focus);
    }
}

void TDrawCalendar::DrawCell(QPainter& painter, int column, int row, const QRect& rect) {
    const bool selected = Current_ == TCellPos{row, column};
    // Edges as the layout counts them: Right and Bottom lie just outside the cell.
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.left() + rect.width();
    const int bottom = rect.top() + rect.height();

    // Background: header face, column colour, the selected colour winning over both.
    QColor brush = row == 0 ? palette().color(QPalette::Button) : palette().color(QPalette::Base);
    if (row != 0 && ColumnColor(column) != clNone) brush = ToQColor(ColumnColor(column));
    if (selected) brush = ToQColor(SelectedColor_);
    painter.fillRect(rect, brush);

    const TCellTexts texts = CellTexts(column, row);
    int h = 15;  // height taken by the day number above the amount lines

    if (row == 0) {
        painter.setFont(HeaderFont_);
        painter.setPen(ToQColor(HeaderFontColor_));
        const int x = left + (right - left - TextWidth(painter, texts.Text)) / 2;
        const int y = top + (bottom - top - TextHeight(painter)) / 2;
        TextOut(painter, x, y, texts.Text);
        // Raised edge of a heading cell.
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(left, bottom - 1, left, top);
        painter.drawLine(left, top, right - 1, top);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(right - 1, top, right - 1, bottom - 1);
        painter.drawLine(left, bottom - 1, right - 1, bottom - 1);
        return;
    }

    // Amounts of a day cell use the text font; a blank cell keeps the control's own font.
    QFont lineFont = font();
    QColor lineColor = palette().color(QPalette::WindowText);
    if (!texts.Text.isEmpty()) {
        painter.setFont(DateFont_);
        painter.setPen(ToQColor(DateFontColor_));
        TextOut(painter, left + 3, top, texts.Text);
        if (DateBox_) {
            const int hN = TextHeight(painter);
            const int wN = TextWidth(painter, QStringLiteral("N"));
            h = hN + 2;
            painter.setPen(Qt::black);
            painter.drawLine(left, top + hN, left + 2 * wN, top + hN);
            painter.drawLine(left + 2 * wN, top + hN, left + 2 * wN, top);
        }
        lineFont = TextFont_;
        lineColor = ToQColor(TextFontColor_);
    }
    painter.setFont(lineFont);
    painter.setPen(lineColor);

    if (texts.AmountLines) {
        const int s = (bottom - top - h - 1) / 3;
        const auto rightAligned = [&](const QString& text, int y) {
            if (text.isEmpty()) return;
            painter.setFont(FigureFont(text, false));
            TextOut(painter, right - TextWidth(painter, text) - 2, y, text);
        };
        rightAligned(texts.Income, top + h - 3);
        rightAligned(texts.Expense, top + h + s - 2);
        if (texts.BalanceColor != clNone) painter.setPen(ToQColor(texts.BalanceColor));
        rightAligned(texts.Balance, top + h + 2 * s - 1);
        painter.setPen(lineColor);
    }

    if (texts.Summary) {
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        const int hN = TextHeight(painter);
        TextOut(painter, left + 2, top + 2, kSummaryCaption);
        TextOut(painter, left + 2, top + hN + 4, kSummaryLabel);
        painter.setPen(ToQColor(texts.AverageColor));
        painter.setFont(FigureFont(texts.Average, true));
        TextOut(painter, right - TextWidth(painter, texts.Average) - 4, bottom - hN - 2, texts.Average);
    }
}

void ConfigureForMainWindow(TDrawCalendar& calendar) {
    calendar.SetHeaderHeight(22);
    calendar.SetStartOfWeek(0);
    calendar.SetShowBalance(false);
    calendar.SetHeaderFont(MingFont(12), kCalendarHeadings);
    calendar.SetTextFont(SerifFont(11), kCalendarAmounts);
    calendar.SetDateFont(SerifFont(12), kCalendarDayNumbers);
    calendar.SetSelectedColor(kCalendarSelection);
    calendar.SetColumnColor(0, kCalendarFirstColumn);
    calendar.resize(472, 352);
}

}  // namespace tamber::ui
