#include <QSignalSpy>
#include <QtTest>

#include <climits>

#include "DrawCalendar.h"

using namespace tamber;
using namespace tamber::ui;

namespace {

// 1 April 2001 was a Sunday: April 2001 fills rows 1..5 from column 0, day 10
// sits at row 2, column 2, and 29 and 30 leave row 5 blank from column 2 on.
const QDate kToday(2001, 4, 10);

QDate HeldDate(const TDrawCalendar& calendar) {
    return QDate(calendar.Year(), calendar.Month(), calendar.Day());
}

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
    void monthsAreLaidOutFromTheStartOfWeek_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("startOfWeek");
        QTest::addColumn<int>("firstCellDay");
        QTest::addColumn<int>("days");
        QTest::newRow("1st on Sunday sits in column 0") << QDate(2001, 4, 3) << 0 << 1 << 30;
        QTest::newRow("1st on Saturday sits in column 6") << QDate(2001, 12, 3) << 0 << -5 << 31;
        QTest::newRow("1st on Sunday, week from Monday, in column 6") << QDate(2001, 7, 3) << 1 << -5 << 31;
        QTest::newRow("February 2000 has 29 days") << QDate(2000, 2, 3) << 0 << -1 << 29;
        QTest::newRow("February 2004 has 29 days") << QDate(2004, 2, 3) << 0 << 1 << 29;
        QTest::newRow("February 1900 has 28 days") << QDate(1900, 2, 3) << 0 << -3 << 28;
        QTest::newRow("February 2001 has 28 days") << QDate(2001, 2, 3) << 0 << -3 << 28;
    }
    void monthsAreLaidOutFromTheStartOfWeek() {
        QFETCH(QDate, today);
        QFETCH(int, startOfWeek);
        QFETCH(int, firstCellDay);
        QFETCH(int, days);
        TDrawCalendar calendar(today);
        calendar.SetStartOfWeek(startOfWeek);
        QCOMPARE(calendar.FirstCellDay(), firstCellDay);
        QCOMPARE(calendar.DaysThisMonth(), days);
        QCOMPARE(calendar.DayToCell(1), (TCellPos{1, 1 - firstCellDay}));
        const TCellPos last = calendar.DayToCell(days);
        QCOMPARE(calendar.CellText(last.Column, last.Row), QString::number(days));
        const int after = days + 1 - firstCellDay;  // cell index just past the last day
        QCOMPARE(calendar.CellText(after % 7, after / 7 + 1), QString());
        QCOMPARE(calendar.CellText(6, 6), QString());
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(3));
    }

    void headerNamesFollowTheStartOfWeek() {
        TDrawCalendar calendar(kToday);
        QCOMPARE(calendar.CellText(0, 0), QStringLiteral("週日"));
        QCOMPARE(calendar.CellText(6, 0), QStringLiteral("週六"));
        calendar.SetStartOfWeek(1);
        QCOMPARE(calendar.CellText(0, 0), QStringLiteral("週一"));
        QCOMPARE(calendar.CellText(6, 0), QStringLiteral("週日"));
        QCOMPARE(calendar.DayToCell(1), (TCellPos{1, 6}));
        calendar.SetUseLongDayNames(true);
        QCOMPARE(calendar.CellText(6, 0), QStringLiteral("星期日"));
    }

    void dateElementsChangeTheHeldDate_data() {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<char>("element");
        QTest::addColumn<int>("value");
        QTest::addColumn<QDate>("held");
        QTest::newRow("31 January, month 2 in a leap year") << QDate(2000, 1, 31) << 'M' << 2 << QDate(2000, 2, 29);
        QTest::newRow("31 January, month 2") << QDate(2001, 1, 31) << 'M' << 2 << QDate(2001, 2, 28);
        QTest::newRow("29 February, next year") << QDate(2000, 2, 29) << 'Y' << 2001 << QDate(2001, 2, 28);
        QTest::newRow("another day of the month") << kToday << 'D' << 30 << QDate(2001, 4, 30);
        QTest::newRow("day 31 of a 30-day month is ignored") << kToday << 'D' << 31 << kToday;
        QTest::newRow("the held day is ignored") << kToday << 'D' << 10 << kToday;
        QTest::newRow("day 0 is ignored") << kToday << 'D' << 0 << kToday;
        QTest::newRow("month 13 is ignored") << kToday << 'M' << 13 << kToday;
        QTest::newRow("month 0 is ignored") << kToday << 'M' << 0 << kToday;
        QTest::newRow("the held year is ignored") << kToday << 'Y' << 2001 << kToday;
        QTest::newRow("negative year is ignored") << kToday << 'Y' << -1 << kToday;
        QTest::newRow("year 10000 is ignored") << kToday << 'Y' << 10000 << kToday;
    }
    void dateElementsChangeTheHeldDate() {
        QFETCH(QDate, start);
        QFETCH(char, element);
        QFETCH(int, value);
        QFETCH(QDate, held);
        TDrawCalendar calendar(start);
        calendar.SetReadOnly(true);  // the program's own settings are never vetoed
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        if (element == 'Y') calendar.SetYear(value);
        if (element == 'M') calendar.SetMonth(value);
        if (element == 'D') calendar.SetDay(value);
        const bool changed = held != start;
        QCOMPARE(HeldDate(calendar), held);
        QCOMPARE(calendar.SelectedDate(), EncodeDate(held.year(), held.month(), held.day()));
        QCOMPARE(changes.count(), changed ? 1 : 0);
        QCOMPARE(calendar.UseCurrentDate(), !changed);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(held.day()));
        QCOMPARE(calendar.CellText(calendar.CurrentCell().Column, calendar.CurrentCell().Row), QString::number(held.day()));
    }

    void layoutChangesRaiseNoEvent() {
        TDrawCalendar calendar(kToday);
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        calendar.SetStartOfWeek(3);
        QCOMPARE(calendar.FirstCellDay(), -3);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(10));
        calendar.SetMonth(9);
        calendar.SetDay(5);
        QCOMPARE(changes.count(), 2);
        calendar.SetUseCurrentDate(true);
        QCOMPARE(HeldDate(calendar), kToday);
        QCOMPARE(calendar.FirstCellDay(), -3);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(10));
        QCOMPARE(changes.count(), 2);
    }

    void resizeSharesTheClientArea_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("headerHeight");
        QTest::addColumn<int>("colWidth");
        QTest::addColumn<int>("rowHeight");
        QTest::newRow("main window, client 468 x 348") << QSize(472, 352) << 22 << 66 << 53;
        QTest::newRow("leftover pixels stay at the edges") << QSize(478, 363) << 22 << 66 << 55;
        QTest::newRow("taller header, shorter weeks") << QSize(472, 352) << 30 << 66 << 52;
        QTest::newRow("too small for any cell") << QSize(10, 10) << 22 << 0 << 0;
    }
    void resizeSharesTheClientArea() {
        QFETCH(QSize, size);
        QFETCH(int, headerHeight);
        QFETCH(int, colWidth);
        QFETCH(int, rowHeight);
        TDrawCalendar calendar(kToday);
        calendar.SetHeaderHeight(headerHeight);
        calendar.resize(size);
        calendar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&calendar));
        QCOMPARE(calendar.DefaultColWidth(), colWidth);
        QCOMPARE(calendar.DefaultRowHeight(), rowHeight);
        QCOMPARE(calendar.RowHeight(0), headerHeight);
        QCOMPARE(calendar.CellRect(6, 6).left(), 2 + 6 * (colWidth + 1));
        QCOMPARE(calendar.CellRect(0, 1).top(), 2 + headerHeight + 1);
    }

    void mouseChoosesADay_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("clicks");
        QTest::newRow("another day") << 3 << 3 << false << 18 << 1;
        QTest::newRow("the selected day") << 2 << 2 << false << 10 << 1;
        QTest::newRow("blank cell after the month") << 2 << 5 << false << 10 << 1;
        QTest::newRow("summary cell") << 6 << 6 << false << 10 << 1;
        QTest::newRow("header row") << 3 << 0 << false << 10 << 0;
        QTest::newRow("read-only") << 3 << 3 << true << 10 << 1;
    }
    void mouseChoosesADay() {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(bool, readOnly);
        QFETCH(int, day);
        QFETCH(int, clicks);
        TDrawCalendar calendar(kToday);
        ShowLikeMainWindow(calendar);
        calendar.SetReadOnly(readOnly);
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        QSignalSpy clicked(&calendar, &TDrawCalendar::OnClick);
        QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.CellRect(column, row).center());
        QCOMPARE(calendar.Day(), day);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(day));
        QCOMPARE(changes.count(), day == 10 ? 0 : 1);
        QCOMPARE(clicked.count(), clicks);
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

    void keysMoveTheSelection_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("day");
        QTest::newRow("right") << 10 << Qt::Key_Right << false << 11;
        QTest::newRow("left") << 10 << Qt::Key_Left << false << 9;
        QTest::newRow("down") << 10 << Qt::Key_Down << false << 17;
        QTest::newRow("up") << 10 << Qt::Key_Up << false << 3;
        QTest::newRow("home goes to the 1st") << 10 << Qt::Key_Home << false << 1;
        QTest::newRow("end goes to the last day") << 10 << Qt::Key_End << false << 30;
        QTest::newRow("up from the first week stays") << 3 << Qt::Key_Up << false << 3;
        QTest::newRow("down onto a blank cell stays") << 30 << Qt::Key_Down << false << 30;
        QTest::newRow("left from column 0 stays") << 1 << Qt::Key_Left << false << 1;
        QTest::newRow("read-only stays") << 10 << Qt::Key_Right << true << 10;
    }
    void keysMoveTheSelection() {
        QFETCH(int, start);
        QFETCH(Qt::Key, key);
        QFETCH(bool, readOnly);
        QFETCH(int, day);
        TDrawCalendar calendar(kToday);
        calendar.SetDay(start);
        calendar.SetReadOnly(readOnly);
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        QTest::keyClick(&calendar, key);
        QCOMPARE(calendar.Day(), day);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(day));
        QCOMPARE(changes.count(), day == start ? 0 : 1);
    }

    void amountLinesAppearWhereNeeded_data() {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("month");
        QTest::addColumn<bool>("showBalance");
        QTest::addColumn<int>("income");
        QTest::addColumn<int>("expense");
        QTest::addColumn<bool>("lines");
        QTest::addColumn<QStringList>("texts");
        const QStringList none{QString(), QString(), QString()};
        QTest::newRow("income only") << 12 << 4 << false << 12000 << 0 << true << QStringList{"12,000", "", "3,000"};
        QTest::newRow("expense only") << 12 << 4 << false << 0 << -1234567 << true << QStringList{"", "-1,234,567", "3,000"};
        QTest::newRow("quiet day") << 12 << 4 << false << 0 << 0 << false << none;
        QTest::newRow("quiet day, whole-month balance") << 12 << 4 << true << 0 << 0 << true << QStringList{"", "", "3,000"};
        QTest::newRow("quiet 1st") << 1 << 4 << false << 0 << 0 << true << QStringList{"", "", "3,000"};
        QTest::newRow("quiet today") << 10 << 4 << false << 0 << 0 << true << QStringList{"", "", "3,000"};
        QTest::newRow("quiet selected day") << 20 << 4 << false << 0 << 0 << true << QStringList{"", "", "3,000"};
        QTest::newRow("today's number in another month") << 10 << 5 << false << 0 << 0 << false << none;
    }
    void amountLinesAppearWhereNeeded() {
        QFETCH(int, day);
        QFETCH(int, month);
        QFETCH(bool, showBalance);
        QFETCH(int, income);
        QFETCH(int, expense);
        QFETCH(bool, lines);
        QFETCH(QStringList, texts);
        TDrawCalendar calendar(kToday);
        calendar.SetMonth(month);
        calendar.SetDay(20);
        calendar.SetShowBalance(showBalance);
        TDayCell& cell = calendar.MonthData().Cell(calendar.DayToCell(day));
        cell.Income = income;
        cell.Expense = expense;
        cell.Balance = 3000;
        cell.BalanceColor = clBlue;
        const TCellPos pos = calendar.DayToCell(day);
        const TCellTexts shown = calendar.CellTexts(pos.Column, pos.Row);
        QCOMPARE(shown.Text, QString::number(day));
        QCOMPARE(shown.AmountLines, lines);
        QCOMPARE((QStringList{shown.Income, shown.Expense, shown.Balance}), texts);
        QCOMPARE(shown.BalanceColor, lines ? clBlue : clNone);
        QVERIFY(!shown.Summary);
    }

    void amountsAndAverageFormat_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("average");
        QTest::addColumn<int>("colour");
        QTest::newRow("zero") << 0 << "" << "0" << clBlue;
        QTest::newRow("below a thousand") << 999 << "999" << "999" << clBlue;
        QTest::newRow("a thousand") << 1000 << "1,000" << "1,000" << clBlue;
        QTest::newRow("negative") << -1500 << "-1,500" << "-1,500" << clRed;
        QTest::newRow("largest") << INT_MAX << "2,147,483,647" << "2,147,483,647" << clBlue;
        QTest::newRow("smallest") << INT_MIN << "-2,147,483,648" << "-2,147,483,648" << clRed;
    }
    void amountsAndAverageFormat() {
        QFETCH(int, value);
        QFETCH(QString, amount);
        QFETCH(QString, average);
        QFETCH(int, colour);
        QCOMPARE(FormatAmount(value), amount);
        TDrawCalendar calendar(kToday);
        calendar.MonthData().MonthAverageBalance = value;
        const TCellTexts summary = calendar.CellTexts(6, 6);
        QVERIFY(summary.Summary);
        QCOMPARE(summary.Text, QString());
        QCOMPARE(summary.Average, average);
        QCOMPARE(summary.AverageColor, colour);
    }
};

QTEST_MAIN(DrawCalendarTest)
#include "DrawCalendarTest.moc"
