// The month calendar as a control: layout, date setters and when OnChange
// fires, mouse and keys with the veto on blank cells, cell texts. The cell
// arithmetic of a month is pinned by the book's CalendarMonthTest.
#include <QAccessible>
#include <QSignalSpy>
#include <QtTest>

#include <climits>

#include "ui/DrawCalendar.h"

using namespace tamber;
using namespace tamber::ui;

namespace {

// Qt Test rows from a literal table, each named after what it pins, and the row being run.
template <class T, std::size_t N>
void Rows(const T (&cases)[N]) {
    QTest::addColumn<int>("i");
    for (std::size_t i = 0; i < N; ++i) QTest::newRow(cases[i].Name) << int(i);
}
template <class T, std::size_t N>
const T& Case(const T (&cases)[N]) {
    QFETCH(int, i);
    return cases[i];
}

// 1 April 2001 was a Sunday: April 2001 fills rows 1..5 from column 0, day 10
// sits at row 2, column 2, and 29 and 30 leave row 5 blank from column 2 on.
const QDate kToday(2001, 4, 10);

const struct { const char* Name; QDate Today; int StartOfWeek, FirstCellDay, Days; } kLayouts[] = {
    {"1st on Sunday sits in column 0", {2001, 4, 3}, 0, 1, 30},
    {"1st on Saturday sits in column 6", {2001, 12, 3}, 0, -5, 31},
    {"1st on Sunday, week from Monday, in column 6", {2001, 7, 3}, 1, -5, 31},
    {"February 2000 has 29 days", {2000, 2, 3}, 0, -1, 29},
};

// SetYear (Y), SetMonth (M) or SetDay (D) with Value: the date held afterwards.
const struct { const char* Name; QDate Start; char Element; int Value; QDate Held; } kSetters[] = {
    {"31 January, month 2 in a leap year", {2000, 1, 31}, 'M', 2, {2000, 2, 29}},
    {"29 February, next year", {2000, 2, 29}, 'Y', 2001, {2001, 2, 28}},
    {"another day of the month", kToday, 'D', 30, {2001, 4, 30}},
    {"day 31 of a 30-day month is ignored", kToday, 'D', 31, kToday},
    {"the held day is ignored", kToday, 'D', 10, kToday},
    {"day 0 is ignored", kToday, 'D', 0, kToday},
    {"month 13 is ignored", kToday, 'M', 13, kToday},
    {"month 0 is ignored", kToday, 'M', 0, kToday},
    {"the held year is ignored", kToday, 'Y', 2001, kToday},
    {"negative year is ignored", kToday, 'Y', -1, kToday},
    {"year 10000 is ignored", kToday, 'Y', 10000, kToday},
};

const struct { const char* Name; QSize Size; int HeaderHeight, ColWidth, RowHeight; } kResizes[] = {
    {"main window, client 468 x 348", {472, 352}, 22, 66, 53},
    {"leftover pixels stay at the edges", {478, 363}, 22, 66, 55},
    {"taller header, shorter weeks", {472, 352}, 30, 66, 52},
    {"too small for any cell", {10, 10}, 22, 0, 0},
};

// A click on a cell of April 2001 with day 10 selected: the day held afterwards, OnClick count.
const struct { const char* Name; int Column, Row; bool ReadOnly; int Day, Clicks; } kClicks[] = {
    {"another day", 3, 3, false, 18, 1},
    {"the selected day", 2, 2, false, 10, 1},
    {"blank cell after the month", 2, 5, false, 10, 1},
    {"summary cell", 6, 6, false, 10, 1},
    {"header row", 3, 0, false, 10, 0},
    {"read-only", 3, 3, true, 10, 1},
};

const struct { const char* Name; int Start; Qt::Key Key; bool ReadOnly; int Day; } kKeys[] = {
    {"right", 10, Qt::Key_Right, false, 11},
    {"left", 10, Qt::Key_Left, false, 9},
    {"down", 10, Qt::Key_Down, false, 17},
    {"up", 10, Qt::Key_Up, false, 3},
    {"home goes to the 1st", 10, Qt::Key_Home, false, 1},
    {"end goes to the last day", 10, Qt::Key_End, false, 30},
    {"up from the first week stays", 3, Qt::Key_Up, false, 3},
    {"down onto a blank cell stays", 30, Qt::Key_Down, false, 30},
    {"left from column 0 stays", 1, Qt::Key_Left, false, 1},
    {"read-only stays", 10, Qt::Key_Right, true, 10},
};

// A day of April 2001 (or May) with income, expense and balance 3,000; the 20th is selected.
// Lines: income, expense, balance; none when no amount lines are drawn. Speech: what a screen reader says.
const struct {
    const char* Name;
    int Day, Month;
    bool ShowBalance;
    int Income, Expense;
    QStringList Lines;
    const char* Speech;
} kAmountLines[] = {
    {"income only", 12, 4, false, 12000, 0, {"12,000", "", "3,000"}, "4月12日 收入 12,000 結存 3,000"},
    {"expense only", 12, 4, false, 0, -1234567, {"", "-1,234,567", "3,000"}, "4月12日 支出 1,234,567 結存 3,000"},
    {"quiet day", 12, 4, false, 0, 0, {}, "4月12日"},
    {"quiet day, whole-month balance", 12, 4, true, 0, 0, {"", "", "3,000"}, "4月12日 結存 3,000"},
    {"quiet 1st", 1, 4, false, 0, 0, {"", "", "3,000"}, "4月1日 結存 3,000"},
    {"quiet today", 10, 4, false, 0, 0, {"", "", "3,000"}, "4月10日 結存 3,000"},
    {"quiet selected day", 20, 4, false, 0, 0, {"", "", "3,000"}, "4月20日 結存 3,000"},
    {"today's number in another month", 10, 5, false, 0, 0, {}, "5月10日"},
};

// FormatAmount of Value, and the summary cell's average text and colour.
const struct { const char* Name; int Value; const char *Amount, *Average; TColor Colour; bool Known = true; } kAverages[] = {
    {"zero", 0, "", "0", clBlue},
    {"below a thousand", 999, "999", "999", clBlue},
    {"a thousand", 1000, "1,000", "1,000", clBlue},
    {"negative", -1500, "-1,500", "-1,500", clRed},
    {"smallest", INT_MIN, "-2,147,483,648", "-2,147,483,648", clRed},
    {"a month without an average shows none", 0, "", "", clBlue, false},
};

QDate HeldDate(const TDrawCalendar& calendar) { return QDate(calendar.Year(), calendar.Month(), calendar.Day()); }

// A calendar as the main window shows it: 468 x 348 client area, header 22.
void ShowLikeMainWindow(TDrawCalendar& calendar) {
    ConfigureForMainWindow(calendar);
    calendar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&calendar));
}

void SendMouse(TDrawCalendar& calendar, QEvent::Type type, TCellPos cell, Qt::MouseButtons buttons) {
    const QPointF pos = calendar.CellRect(cell.Column, cell.Row).center();
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, calendar.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&calendar, &event);
}

}  // namespace

class DrawCalendarTest : public QObject {
    Q_OBJECT
private slots:
    void monthsAreLaidOutFromTheStartOfWeek_data() { Rows(kLayouts); }
    void monthsAreLaidOutFromTheStartOfWeek() {
        const auto& c = Case(kLayouts);
        TDrawCalendar calendar(c.Today);
        calendar.SetStartOfWeek(c.StartOfWeek);
        QCOMPARE(calendar.FirstCellDay(), c.FirstCellDay);
        QCOMPARE(calendar.DaysThisMonth(), c.Days);
        const TCellPos last = calendar.DayToCell(c.Days);
        QCOMPARE(calendar.CellText(last.Column, last.Row), QString::number(c.Days));
        const int after = c.Days + 1 - c.FirstCellDay;  // cell index just past the last day
        QCOMPARE(calendar.CellText(after % 7, after / 7 + 1), QString());
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(3));
    }

    void headerNamesFollowTheStartOfWeek() {
        TDrawCalendar calendar(kToday);
        QCOMPARE(calendar.CellText(0, 0) + calendar.CellText(6, 0), QStringLiteral("週日週六"));
        calendar.SetStartOfWeek(1);
        QCOMPARE(calendar.CellText(0, 0) + calendar.CellText(6, 0), QStringLiteral("週一週日"));
        calendar.SetUseLongDayNames(true);
        QCOMPARE(calendar.CellText(6, 0), QStringLiteral("星期日"));
    }

    void settersChangeTheHeldDate_data() { Rows(kSetters); }
    void settersChangeTheHeldDate() {
        const auto& c = Case(kSetters);
        TDrawCalendar calendar(c.Start);
        calendar.SetReadOnly(true);  // the program's own settings are never vetoed
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        if (c.Element == 'Y') calendar.SetYear(c.Value);
        if (c.Element == 'M') calendar.SetMonth(c.Value);
        if (c.Element == 'D') calendar.SetDay(c.Value);
        const bool changed = c.Held != c.Start;
        QCOMPARE(HeldDate(calendar), c.Held);
        QCOMPARE(calendar.SelectedDate(), EncodeDate(c.Held.year(), c.Held.month(), c.Held.day()));
        QCOMPARE(changes.count(), changed ? 1 : 0);
        QCOMPARE(calendar.UseCurrentDate(), !changed);
        const TCellPos current = calendar.CurrentCell();
        QCOMPARE(calendar.CellText(current.Column, current.Row), QString::number(c.Held.day()));
    }

    void layoutChangesRaiseNoEvent() {
        TDrawCalendar calendar(kToday);
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        calendar.SetStartOfWeek(3);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(10));
        calendar.SetMonth(9);
        calendar.SetDay(5);
        QCOMPARE(changes.count(), 2);
        calendar.SetUseCurrentDate(true);  // back to today without an event
        QCOMPARE(HeldDate(calendar), kToday);
        QCOMPARE(calendar.FirstCellDay(), -3);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(10));
        QCOMPARE(changes.count(), 2);
    }

    void resizeSharesTheClientArea_data() { Rows(kResizes); }
    void resizeSharesTheClientArea() {
        const auto& c = Case(kResizes);
        TDrawCalendar calendar(kToday);
        calendar.SetHeaderHeight(c.HeaderHeight);
        calendar.resize(c.Size);
        calendar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&calendar));
        QCOMPARE(calendar.DefaultColWidth(), c.ColWidth);
        QCOMPARE(calendar.DefaultRowHeight(), c.RowHeight);
        QCOMPARE(calendar.RowHeight(0), c.HeaderHeight);
        QCOMPARE(calendar.CellRect(6, 6).left(), 2 + 6 * (c.ColWidth + 1));
        QCOMPARE(calendar.CellRect(0, 1).top(), 2 + c.HeaderHeight + 1);
    }

    void mouseChoosesADay_data() { Rows(kClicks); }
    void mouseChoosesADay() {
        const auto& c = Case(kClicks);
        TDrawCalendar calendar(kToday);
        ShowLikeMainWindow(calendar);
        calendar.SetReadOnly(c.ReadOnly);
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        QSignalSpy clicked(&calendar, &TDrawCalendar::OnClick);
        QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.CellRect(c.Column, c.Row).center());
        QCOMPARE(calendar.Day(), c.Day);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(c.Day));
        QCOMPARE(changes.count(), c.Day == 10 ? 0 : 1);
        QCOMPARE(clicked.count(), c.Clicks);
    }

    void dragMovesTheHighlightAndTheDateAtRelease() {
        TDrawCalendar calendar(kToday);
        ShowLikeMainWindow(calendar);
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        SendMouse(calendar, QEvent::MouseButtonPress, {1, 4}, Qt::LeftButton);  // day 5
        SendMouse(calendar, QEvent::MouseMove, {4, 1}, Qt::LeftButton);         // day 23
        SendMouse(calendar, QEvent::MouseMove, {6, 6}, Qt::LeftButton);         // blank: refused
        QCOMPARE(calendar.CurrentCell(), (TCellPos{4, 1}));
        QCOMPARE(calendar.Day(), 10);
        QCOMPARE(changes.count(), 0);
        SendMouse(calendar, QEvent::MouseButtonRelease, {6, 6}, Qt::NoButton);
        QCOMPARE(calendar.Day(), 23);
        QCOMPARE(changes.count(), 1);
    }

    void keysMoveTheSelection_data() { Rows(kKeys); }
    void keysMoveTheSelection() {
        const auto& c = Case(kKeys);
        TDrawCalendar calendar(kToday);
        calendar.SetDay(c.Start);
        calendar.SetReadOnly(c.ReadOnly);
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        QTest::keyClick(&calendar, c.Key);
        QCOMPARE(calendar.Day(), c.Day);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(c.Day));
        QCOMPARE(changes.count(), c.Day == c.Start ? 0 : 1);
    }

    void amountLinesAppearWhereNeeded_data() { Rows(kAmountLines); }
    void amountLinesAppearWhereNeeded() {
        const auto& c = Case(kAmountLines);
        TDrawCalendar calendar(kToday);
        calendar.SetMonth(c.Month);
        calendar.SetDay(20);
        calendar.SetShowBalance(c.ShowBalance);
        const TCellPos pos = calendar.DayToCell(c.Day);
        TDayCell& cell = calendar.MonthData().Cell(pos);
        cell.Income = c.Income;
        cell.Expense = c.Expense;
        cell.Balance = 3000;
        cell.BalanceColor = clBlue;
        const TCellTexts shown = calendar.CellTexts(pos.Column, pos.Row);
        const bool lines = !c.Lines.isEmpty();
        QCOMPARE(shown.Text, QString::number(c.Day));
        QCOMPARE(shown.AmountLines, lines);
        const QStringList texts{shown.Income, shown.Expense, shown.Balance};
        QCOMPARE(texts, lines ? c.Lines : (QStringList{"", "", ""}));
        QCOMPARE(shown.BalanceColor, lines ? clBlue : clNone);
        QVERIFY(!shown.Summary);
        QCOMPARE(calendar.CellSpeech(pos.Column, pos.Row), QString::fromUtf8(c.Speech));
    }

    void amountsAndAverageFormat_data() { Rows(kAverages); }
    void amountsAndAverageFormat() {
        const auto& c = Case(kAverages);
        QCOMPARE(FormatAmount(c.Value), QString::fromLatin1(c.Amount));
        TDrawCalendar calendar(kToday);
        calendar.MonthData().MonthAverageBalance = c.Value;
        calendar.MonthData().MonthAverageKnown = c.Known;
        const TCellTexts summary = calendar.CellTexts(6, 6);
        QVERIFY(summary.Summary);
        QCOMPARE(summary.Text, QString());
        QCOMPARE(summary.Average, QString::fromLatin1(c.Average));
        QCOMPARE(summary.AverageColor, c.Colour);
        QCOMPARE(calendar.CellSpeech(6, 6), QStringLiteral("本月平均 收支平衡: %1").arg(c.Average).trimmed());
    }

    void assistiveTechnologyReadsATableOfDaysWithTheSelectedOneFocused() {
        TDrawCalendar calendar(kToday);
        ShowLikeMainWindow(calendar);
        calendar.MonthData().Cell(calendar.DayToCell(18)).Balance = 76800;
        calendar.setFocus();
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&calendar);
        QCOMPARE(table->role(), QAccessible::Table);
        QAccessibleTableInterface* cells = table->tableInterface();
        QCOMPARE(std::pair(cells->rowCount(), cells->columnCount()), std::pair(6, 7));
        QCOMPARE(table->child(0)->text(QAccessible::Name), QStringLiteral("星期日"));
        QAccessibleInterface* day18 = cells->cellAt(2, 3);  // row 3, column 3 of the grid
        QCOMPARE(day18->text(QAccessible::Name), QStringLiteral("4月18日"));
        calendar.SetDay(18);
        QCOMPARE(day18->text(QAccessible::Name), QStringLiteral("4月18日 結存 76,800"));
        QCOMPARE(table->focusChild(), day18);
        QVERIFY(day18->state().focused && day18->tableCellInterface()->isSelected());
        QCOMPARE(table->indexOfChild(day18), 3 * 7 + 3);
        QCOMPARE(table->childAt(day18->rect().center().x(), day18->rect().center().y()), day18);
    }
};

QTEST_MAIN(DrawCalendarTest)
#include "DrawCalendarTest.moc"