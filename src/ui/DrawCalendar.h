// TDrawCalendar: the month calendar of the main window. A painted 7 x 7 grid:
// row 0 holds the weekday names, rows 1..6 the weeks, and the bottom-right
// cell the month's average balance. The control lays out the month, draws the
// amounts its owner writes into MonthData(), keeps the selected day and
// reports date changes; it never computes an amount itself.
#pragma once

#include <QDate>
#include <QFont>
#include <QFrame>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>

#include "book/CalendarMonth.h"
#include "model/Dates.h"

class QPainter;

namespace tamber::ui {

// Calendar amount: thousands grouped with commas, a leading minus sign for a
// negative value, and an empty text for 0.
QString FormatAmount(int32_t value);
// Month average: as FormatAmount, except that 0 reads "0".
QString FormatAverage(int32_t value);
// Colour of the month average: red when negative, blue otherwise.
TColor AverageColor(int32_t value);
// Weekday name (0 = Sunday .. 6 = Saturday) in Traditional Chinese, whatever
// the system locale: abbreviated ("週日") or full ("星期日").
QString WeekdayName(int weekday, bool longName);

// The labels of the summary cell.
inline const QString kSummaryCaption = QStringLiteral("本月平均");
inline const QString kSummaryLabel = QStringLiteral("收支平衡:");

// What one cell shows, worked out without painting.
struct TCellTexts {
    QString Text;              // CellText: weekday name, day number, or empty
    bool AmountLines = false;  // the three amount lines are drawn (week rows only)
    QString Income;            // line 1, empty for 0
    QString Expense;           // line 2, empty for 0
    QString Balance;           // line 3, empty for 0
    TColor BalanceColor = clNone;
    bool Summary = false;  // the bottom-right cell with the month average
    QString Average;       // FormatAverage of MonthAverageBalance (summary cell only)
    TColor AverageColor = clNone;
};

// What a screen reader says for day Day of Month: "12月10日", then the
// figures the cell shows, e.g. "收入 12,000", "支出 3,200" (without its
// minus sign) and "結存 76,800", each left out when the cell shows none.
QString DaySpeech(int month, int day, const TCellTexts& texts);

// Font, or a smaller size of it, in which Text is at most Width pixels wide;
// Font itself when Text fits. One pixel is the smallest size tried.
QFont FontToFit(const QFont& font, const QString& text, int width);

class TDrawCalendar : public QFrame {
    Q_OBJECT
public:
    // Today is handed in (the main window passes QDate::currentDate()) and is
    // kept for the control's lifetime; the month of today is shown with today
    // selected. Throws EInvalidDate for a date outside years 1..9999.
    explicit TDrawCalendar(QDate today, QWidget* parent = nullptr);
    ~TDrawCalendar() override;

    // The cells and the month average, for the owner (the daily ledger) to
    // fill; call update() afterwards. The layout is the control's: do not call
    // Layout on it.
    TCalendarMonth& MonthData() noexcept { return Cells_; }
    const TCalendarMonth& MonthData() const noexcept { return Cells_; }

    // The held date: its year and month are the month shown, its day the selected cell.
    TDate SelectedDate() const;
    int Year() const noexcept { return SelYear_; }
    int Month() const noexcept { return SelMonth_; }
    int Day() const noexcept { return SelDay_; }
    // Set one element of the held date. Ignored without an event when the value
    // is 0 or less, equal to the held one, a year above 9999, a month above 12
    // or a day beyond the shown month. Otherwise the day is lowered to the new
    // month's length, a new month is laid out, the selected cell follows and
    // OnChange is raised once.
    void SetYear(int value);
    void SetMonth(int value);
    void SetDay(int value);

    int TodayYear() const noexcept { return TodayYear_; }
    int TodayMonth() const noexcept { return TodayMonth_; }
    int TodayDay() const noexcept { return TodayDay_; }

    // Virtual day number of the cell in row 1, column 0 (-5..1).
    int FirstCellDay() const noexcept { return Cells_.FirstCellDay(); }
    // Cell of a day 1..DaysThisMonth() of the shown month.
    TCellPos DayToCell(int day) const noexcept { return Cells_.DayToCell(day); }
    // Weekday name in row 0, the day number in a day cell, empty for a blank
    // cell (outside the month, the summary cell, or outside the grid).
    QString CellText(int column, int row) const;
    // Everything a cell shows, as drawn.
    TCellTexts CellTexts(int column, int row) const;
    // What assistive technology reads for a cell: the full weekday name in
    // row 0, DaySpeech for a day, the caption and the average for the summary
    // cell, empty for a blank cell.
    QString CellSpeech(int column, int row) const;
    // The font a figure is drawn in: TextFont for an amount line, the
    // control's own font for the month average (Summary); a smaller size of
    // it where the figure is wider than the cell leaves it, so that no digit
    // is ever cut.
    QFont FigureFont(const QString& figure, bool summary) const;

    static bool IsLeapYear(int year) noexcept { return IsLeap(year); }
    static int DaysPerMonth(int year, int month) noexcept { return DaysInMonth(year, month); }
    int DaysThisMonth() const noexcept { return Cells_.DaysThisMonth(); }

    // Lays out the held month again and moves the selected cell to the held
    // day. Raises no event.
    void RebuildMonth();
    // Raises OnChange.
    void Change();

    // The grid's current cell, drawn as selected; always a day of the shown month.
    TCellPos CurrentCell() const noexcept { return Current_; }
    // Rectangle of a cell in widget coordinates (empty outside 0..6).
    QRect CellRect(int column, int row) const;
    int DefaultColWidth() const noexcept { return ColWidth_; }
    int DefaultRowHeight() const noexcept { return RowHeight_; }
    // Height of a row: HeaderHeight for row 0, DefaultRowHeight for the weeks.
    int RowHeight(int row) const noexcept { return row == 0 ? HeaderHeight_ : RowHeight_; }
    static constexpr int GridLineWidth() noexcept { return 1; }

    // Header row height in pixels (negative values count as 0). Takes effect at
    // once; the week rows follow at the next resize.
    int HeaderHeight() const noexcept { return HeaderHeight_; }
    void SetHeaderHeight(int pixels);
    // Weekday of column 0, 0 = Sunday .. 6 = Saturday; other values are ignored.
    // A change lays the month out again without OnChange.
    int StartOfWeek() const noexcept { return StartOfWeek_; }
    void SetStartOfWeek(int weekday);
    // True until a date element is set. Setting it back to true returns to
    // today's date and month without OnChange.
    bool UseCurrentDate() const noexcept { return UseCurrentDate_; }
    void SetUseCurrentDate(bool value);
    // When true the user cannot move the selection; the setters still can.
    bool ReadOnly() const noexcept { return ReadOnly_; }
    void SetReadOnly(bool value) noexcept { ReadOnly_ = value; }
    // Box corner drawn around each day number.
    bool DateBox() const noexcept { return DateBox_; }
    void SetDateBox(bool value);
    // Full weekday names in the header instead of abbreviated ones.
    bool UseLongDayNames() const noexcept { return UseLongDayNames_; }
    void SetUseLongDayNames(bool value);
    // Amount lines in every week cell, not only the days that need them.
    bool ShowBalance() const noexcept { return ShowBalance_; }
    void SetShowBalance(bool value);
    // Background of the selected day.
    TColor SelectedColor() const noexcept { return SelectedColor_; }
    void SetSelectedColor(TColor color);
    // Background of the week rows of a column 0..6, or clNone.
    TColor ColumnColor(int column) const noexcept;
    void SetColumnColor(int column, TColor color);

    // The three fonts with their text colours: weekday names, amounts, day numbers.
    const QFont& HeaderFont() const noexcept { return HeaderFont_; }
    TColor HeaderFontColor() const noexcept { return HeaderFontColor_; }
    void SetHeaderFont(const QFont& font, TColor color);
    const QFont& TextFont() const noexcept { return TextFont_; }
    TColor TextFontColor() const noexcept { return TextFontColor_; }
    void SetTextFont(const QFont& font, TColor color);
    const QFont& DateFont() const noexcept { return DateFont_; }
    TColor DateFontColor() const noexcept { return DateFontColor_; }
    void SetDateFont(const QFont& font, TColor color);

    QSize sizeHint() const override;

signals:
    // The held date changed through a date element or the user's choice of a day.
    void OnChange();
    // The user released the mouse on the grid or moved the current cell with a key.
    void OnClick();
    // After the control has drawn a cell; the painter may draw more.
    void OnDrawCell(QPainter* painter, int column, int row, const QRect& rect, bool selected);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void SetDateElement(int year, int month, int day);
    // The veto: a cell may become current unless it is blank (the header, a
    // day outside the month, the summary cell), or the user moves it while
    // ReadOnly.
    bool CanSelectCell(TCellPos cell, bool byUser) const;
    // Moves the current cell when the veto allows it; true when it moved.
    bool MoveCurrent(TCellPos to, bool byUser);
    // The user's choice: OnClick, then the day of the current cell becomes the held day.
    void Click();
    // Cell under a widget position, or row -1 on a grid line or beyond the grid.
    TCellPos CellAt(QPoint pos) const;
    void DrawCell(QPainter& painter, int column, int row, const QRect& rect);
    // Tells assistive technology that the current cell has the focus.
    void AnnounceCurrent();

    TCalendarMonth Cells_;  // laid out for the held year and month
    int SelYear_ = 2000;    // the held date
    int SelMonth_ = 1;
    int SelDay_ = 1;
    int TodayYear_ = 0;
    int TodayMonth_ = 0;
    int TodayDay_ = 0;
    TCellPos Current_{1, 0};
    int StartOfWeek_ = 0;
    bool ReadOnly_ = false;
    bool UseCurrentDate_ = true;
    bool DateBox_ = true;
    bool UseLongDayNames_ = false;
    bool ShowBalance_ = false;
    bool Tracking_ = false;  // a mouse press on a week cell is being followed
    QFont HeaderFont_;
    QFont TextFont_;
    QFont DateFont_;
    TColor HeaderFontColor_ = clBlack;
    TColor TextFontColor_ = clBlue;
    TColor DateFontColor_ = clRed;
    std::array<TColor, 7> ColumnColors_{clNone, clNone, clNone, clNone, clNone, clNone, clNone};
    int HeaderHeight_ = 30;
    TColor SelectedColor_ = clMaroon;
    int ColWidth_ = 84;
    int RowHeight_ = 50;
};

// The main window's set-up of its calendar: header row 22 pixels, Ming-style
// header font 12 px, serif amounts 11 px, serif day numbers 12 px, in the
// calendar colours of Theme.h, 472 x 352 pixels.
void ConfigureForMainWindow(TDrawCalendar& calendar);

}  // namespace tamber::ui
