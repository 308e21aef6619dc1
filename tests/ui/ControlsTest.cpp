// The two controls of every window: the month calendar (its layout, the date setters and when OnChange fires, the
// mouse and keys with the veto on blank cells, what each cell shows) and the filtered edit field (the ValidChars
// syntax, what reaches the text by each way of entering it, Enter and the arrows moving the focus, the required-field
// warning).
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

#include <climits>

#include "DrawCalendar.h"
#include "Errors.h"
#include "RFEdit.h"
#include "UiTestSupport.h"

using namespace tamber;
using namespace tamber::ui;

namespace {

// 1 April 2001 was a Sunday: April 2001 fills rows 1..5 from column 0, day 10 sits at row 2, column 2, and 29 and
// 30 leave row 5 blank from column 2 on.
const QDate kToday(2001, 4, 10);

QDate Held(const TDrawCalendar& c) { return QDate(c.Year(), c.Month(), c.Day()); }

// Qt Test rows from a literal table, each named after what it pins, and the row being run.
template <class T, std::size_t N>
void Rows(const T (&cases)[N]) {
    QTest::addColumn<int>("i");
    for (std::size_t i = 0; i < N; ++i) QTest::newRow(cases[i].Name) << int(i);
}
template <class T, std::size_t N>
const T& Row(const T (&cases)[N]) {
    QFETCH(int, i);
    return cases[i];
}

// SetYear (Y), SetMonth (M) or SetDay (D) with Value: the date held afterwards.
const struct { const char* Name; QDate Start; char Element; int Value; QDate Held; } kSetters[] = {
    {"31 January, month 2 in a leap year", {2000, 1, 31}, 'M', 2, {2000, 2, 29}},
    {"29 February, next year", {2000, 2, 29}, 'Y', 2001, {2001, 2, 28}},
    {"another day of the month", kToday, 'D', 30, {2001, 4, 30}},
    {"the last year", kToday, 'Y', 9999, {9999, 4, 10}},
    {"day 31 of a 30-day month is ignored", kToday, 'D', 31, kToday},
    {"the held day is ignored", kToday, 'D', 10, kToday},
    {"day 0 is ignored", kToday, 'D', 0, kToday},
    {"month 13 is ignored", kToday, 'M', 13, kToday},
    {"month 0 is ignored", kToday, 'M', 0, kToday},
    {"the held month is ignored", kToday, 'M', 4, kToday},
    {"the held year is ignored", kToday, 'Y', 2001, kToday},
    {"year 0 is ignored", kToday, 'Y', 0, kToday},
    {"year 10000 is ignored", kToday, 'Y', 10000, kToday},
};

// A click on a cell of April 2001 with day 10 selected: the day held afterwards, OnClick count.
const struct { const char* Name; int Column, Row; bool ReadOnly; int Day, Clicks; } kClicks[] = {
    {"another day", 3, 3, false, 18, 1},          {"the selected day", 2, 2, false, 10, 1},
    {"blank cell after the month", 2, 5, false, 10, 1}, {"summary cell", 6, 6, false, 10, 1},
    {"header row", 3, 0, false, 10, 0},           {"read-only", 3, 3, true, 10, 1},
};

const struct { const char* Name; int Start; Qt::Key Key; bool ReadOnly; int Day; } kKeys[] = {
    {"right", 10, Qt::Key_Right, false, 11},      {"left", 10, Qt::Key_Left, false, 9},
    {"down", 10, Qt::Key_Down, false, 17},        {"up", 10, Qt::Key_Up, false, 3},
    {"home goes to the 1st", 10, Qt::Key_Home, false, 1}, {"end goes to the last day", 10, Qt::Key_End, false, 30},
    {"up from the first week stays", 3, Qt::Key_Up, false, 3}, {"down onto a blank cell stays", 30, Qt::Key_Down, false, 30},
    {"left from column 0 stays", 1, Qt::Key_Left, false, 1}, {"right from column 6 stays", 7, Qt::Key_Right, false, 7},
    {"read-only stays", 10, Qt::Key_Right, true, 10},
    {"another key changes nothing", 10, Qt::Key_A, false, 10},
};

// A day of April 2001 (or May) with income, expense and balance 3,000; the 20th is selected. Lines: income,
// expense, balance; none when no amount lines are drawn.
const struct { const char* Name; int Day, Month; bool ShowBalance; int Income, Expense; QStringList Lines; } kAmountLines[] = {
    {"income only", 12, 4, false, 12000, 0, {"12,000", "", "3,000"}},
    {"expense only", 12, 4, false, 0, -1234567, {"", "-1,234,567", "3,000"}},
    {"quiet day", 12, 4, false, 0, 0, {}},
    {"quiet day, whole-month balance", 12, 4, true, 0, 0, {"", "", "3,000"}},
    {"quiet 1st", 1, 4, false, 0, 0, {"", "", "3,000"}},
    {"quiet today", 10, 4, false, 0, 0, {"", "", "3,000"}},
    {"quiet selected day", 20, 4, false, 0, 0, {"", "", "3,000"}},
    {"today's number in another month", 10, 5, false, 0, 0, {}},
};

TCharSet SetOf(const QString& members) {
    TCharSet set;
    for (const char32_t c : members.toStdU32String()) set.set(c);
    return set;
}

enum TRoute { Keys, KeyText, InputMethod, CtrlV, MenuPaste, Drop };

// The field with its drop handling reachable: a drop needs a drag, which the offscreen platform does not make.
struct TEdit : TRFilterEdit {
    using TRFilterEdit::dropEvent;
};

// Enters Text into Edit the way Route says: key by key (ASCII with the key codes of a real keyboard, any other
// character as a key event carrying it), as one key event carrying the whole text, committed by an input method,
// pasted with Ctrl+V or from the context menu, or dropped.
void Enter(TEdit& edit, const QString& text, TRoute route) {
    if (route == Keys) {
        for (const char32_t c : text.toStdU32String()) {
            if (c < 0x80) QTest::keyClick(&edit, static_cast<char>(c));
            if (c >= 0x80) QTest::sendKeyEvent(QTest::KeyAction::Press, &edit, Qt::Key_unknown, QString::fromUcs4(&c, 1), {});
        }
    } else if (route == KeyText) {
        QTest::sendKeyEvent(QTest::KeyAction::Press, &edit, Qt::Key_unknown, text, {});
    } else if (route == InputMethod) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(&edit, &commit);
    } else if (route == CtrlV) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    } else if (route == MenuPaste) {
        QApplication::clipboard()->setText(text);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&edit, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QStringLiteral("&Paste"))) action->trigger();
        }
        menu->close();
    } else {
        QMimeData data;
        data.setText(text);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        edit.dropEvent(&drop);
        QCOMPARE(drop.isAccepted(), !edit.FilterText(text).isEmpty());
    }
}

// A shown, active dialog holding three edits, in tab order, and a default button that closes it.
struct TThreeFields {
    QDialog Window;
    TRFilterEdit* Edits[3];
    TThreeFields() {
        auto* layout = new QVBoxLayout(&Window);
        for (TRFilterEdit*& edit : Edits) layout->addWidget(edit = new TRFilterEdit);
        auto* ok = new QPushButton(QStringLiteral("OK"));
        layout->addWidget(ok);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &Window, &QDialog::accept);
        Window.show();
        Window.activateWindow();
    }
};

}  // namespace

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void monthsAreLaidOutFromTheStartOfWeek() {
        for (int start = 0; start < 7; ++start) {
            for (int m = 1; m <= 12; ++m) {
                TDrawCalendar calendar(QDate(2024, m, 1));
                calendar.SetStartOfWeek(start);
                const int first = calendar.FirstCellDay();
                QVERIFY(first >= -5 && first <= 1 && calendar.CurrentCell() == calendar.DayToCell(1));
                for (int cell = 0; cell < 42; ++cell) {
                    const int day = first + cell;
                    const bool shown = day >= 1 && day <= calendar.DaysThisMonth() && cell != 41;
                    QCOMPARE(calendar.CellText(cell % 7, cell / 7 + 1), shown ? QString::number(day) : QString());
                }
                QCOMPARE(calendar.CellText(0, 0), WeekdayName(start, false));
            }
        }
        const struct { QDate Today; int Start, FirstCellDay; } firsts[] = {{{2001, 12, 3}, 0, -5}, {{2001, 7, 3}, 1, -5}, {{2000, 2, 3}, 0, -1}};
        for (const auto& f : firsts) {
            TDrawCalendar calendar(f.Today);
            calendar.SetStartOfWeek(f.Start);
            QCOMPARE(calendar.FirstCellDay(), f.FirstCellDay);
        }
        TDrawCalendar calendar(kToday);
        calendar.SetStartOfWeek(1);
        calendar.SetStartOfWeek(7);  // ignored
        QCOMPARE(calendar.CellText(0, 0) + calendar.CellText(6, 0) + calendar.CellText(7, 0) + calendar.CellText(0, 7), QStringLiteral("週一週日"));
        calendar.SetUseLongDayNames(true);
        QCOMPARE(calendar.CellText(6, 0), QStringLiteral("星期日"));
        QVERIFY_THROWS_EXCEPTION(EInvalidDate, TDrawCalendar(QDate(10000, 1, 1)));
    }

    void settersChangeTheHeldDate_data() { Rows(kSetters); }
    void settersChangeTheHeldDate() {
        const auto& c = Row(kSetters);
        TDrawCalendar calendar(c.Start);
        calendar.SetReadOnly(true);  // the program's own settings are never vetoed
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        if (c.Element == 'Y') calendar.SetYear(c.Value);
        if (c.Element == 'M') calendar.SetMonth(c.Value);
        if (c.Element == 'D') calendar.SetDay(c.Value);
        const bool changed = c.Held != c.Start;
        QCOMPARE(Held(calendar), c.Held);
        QCOMPARE(calendar.SelectedDate(), FromQDate(c.Held));
        QCOMPARE(int(changes.count()), changed ? 1 : 0);
        QCOMPARE(calendar.UseCurrentDate(), !changed);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(c.Held.day()));
        QCOMPARE(calendar.FirstCellDay(), TDrawCalendar(c.Held).FirstCellDay());
        calendar.SetUseCurrentDate(true);  // back to today, without an event
        QCOMPARE(std::pair(Held(calendar), int(changes.count())), std::pair(c.Start, changed ? 1 : 0));
    }

    void mouseChoosesADay_data() { Rows(kClicks); }
    void mouseChoosesADay() {
        const auto& c = Row(kClicks);
        TDrawCalendar calendar(kToday);
        ConfigureForMainWindow(calendar);
        calendar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&calendar));
        calendar.SetReadOnly(c.ReadOnly);
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        QSignalSpy clicked(&calendar, &TDrawCalendar::OnClick);
        QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.CellRect(c.Column, c.Row).center());
        QTest::mouseClick(&calendar, Qt::RightButton, {}, calendar.CellRect(4, 4).center());  // only the left button chooses
        QCOMPARE(calendar.Day(), c.Day);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(c.Day));
        QCOMPARE(int(changes.count()), c.Day == 10 ? 0 : 1);
        QCOMPARE(int(clicked.count()), c.Clicks);
    }

    void keysMoveTheSelection_data() { Rows(kKeys); }
    void keysMoveTheSelection() {
        const auto& c = Row(kKeys);
        TDrawCalendar calendar(kToday);
        calendar.SetDay(c.Start);
        calendar.SetReadOnly(c.ReadOnly);
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        QSignalSpy clicked(&calendar, &TDrawCalendar::OnClick);
        QTest::keyClick(&calendar, c.Key);
        QCOMPARE(calendar.Day(), c.Day);
        QCOMPARE(calendar.CurrentCell(), calendar.DayToCell(c.Day));
        QCOMPARE(int(changes.count()) + int(clicked.count()), c.Day == c.Start ? 0 : 2);
    }

    void amountLinesAppearWhereNeeded_data() { Rows(kAmountLines); }
    void amountLinesAppearWhereNeeded() {
        const auto& c = Row(kAmountLines);
        TDrawCalendar calendar(kToday);
        calendar.SetMonth(c.Month);
        calendar.SetDay(20);
        calendar.SetShowBalance(c.ShowBalance);
        const TCellPos pos = calendar.DayToCell(c.Day);
        calendar.MonthData().Cell(pos) = {c.Income, c.Expense, 3000, clRed, c.Day};
        const TCellTexts shown = calendar.CellTexts(pos.Column, pos.Row);
        QCOMPARE(std::pair(shown.Text, shown.AmountLines), std::pair(QString::number(c.Day), !c.Lines.isEmpty()));
        QCOMPARE((QStringList{shown.Income, shown.Expense, shown.Balance}), (c.Lines.isEmpty() ? QStringList{"", "", ""} : c.Lines));
        QCOMPARE(shown.BalanceColor, c.Lines.isEmpty() ? clNone : clRed);
        QVERIFY(!shown.Summary && calendar.CellTexts(3, 0).Text == WeekdayName(3, false) && !calendar.CellTexts(3, 0).AmountLines);
    }

    void summaryCellShowsTheMonthAverage() {
        const struct { int Value; const char *Amount, *Average; TColor Colour; } cases[] = {
            {0, "", "0", clBlue}, {1000, "1,000", "1,000", clBlue}, {-1, "-1", "-1", clRed}, {INT_MIN, "-2,147,483,648", "-2,147,483,648", clRed}};
        for (const auto& c : cases) {
            TDrawCalendar calendar(kToday);
            calendar.MonthData().MonthAverageBalance = c.Value;
            const TCellTexts summary = calendar.CellTexts(6, 6);
            QCOMPARE(std::tuple(FormatAmount(c.Value), summary.Summary, summary.Text, summary.Average, summary.AverageColor),
                     std::tuple(QString::fromLatin1(c.Amount), true, QString(), QString::fromLatin1(c.Average), c.Colour));
        }
    }

    void parsesValidChars() {
        QString upToPoint;
        for (char16_t c = 0; c <= u'.'; ++c) upToPoint += QChar(c);
        const std::pair<const char*, QString> rows[] = {  // the text and the set it gives; "none" when it is no set
            {"[]", ""}, {"[0..9,-]", "0123456789-"}, {"[0..9,.]", upToPoint + "0123456789"}, {"[a..c,'.',',']", "abc.,"},
            {"[']',''']", "]'"}, {"[a,']", "a"}, {"[9..0,x]", "x"}, {"[中,\u00FE..中]", "\u00FE\u00FF"},
            {"0..9", "none"}, {"[0..9", "none"}, {"[", "none"},
        };
        for (const auto& [text, members] : rows) {
            const std::optional<TCharSet> set = ParseValidChars(QString::fromUtf8(text).toStdU32String());
            QCOMPARE(set ? *set : SetOf(QStringLiteral("none")), SetOf(members));
        }
    }

    void invalidFormatKeepsTheSet() {
        TRFilterEdit edit;
        QCOMPARE(std::pair(edit.ValidChars(), edit.ValidSet().any()), std::pair(QStringLiteral("[]"), false));
        edit.SetValidChars(QStringLiteral("[0..9]"));
        edit.SetValidChars(QStringLiteral("0..9"));
        QCOMPARE(edit.ValidChars(), QStringLiteral("Invalid Format 0..9"));
        QCOMPARE(edit.ValidSet(), SetOf(QStringLiteral("0123456789")));
        edit.SetValidChars(QStringLiteral("Invalid Format 0..9"));  // not wrapped a second time
        QCOMPARE(edit.ValidChars(), QStringLiteral("Invalid Format 0..9"));
        edit.SetValidChars(QStringLiteral("[a..c]"));  // a new set replaces the old one
        QCOMPARE(edit.ValidSet(), SetOf(QStringLiteral("abc")));
    }

    void keepsOnlyAdmittedCharacters_data() {
        QTest::addColumn<QString>("validChars");
        QTest::addColumn<int>("route");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits refuse letters, minus and point") << "[0..9]" << int(Keys) << "1a-2.3" << "123";
        QTest::newRow("a key carrying several characters") << "[0..9]" << int(KeyText) << "1a2" << "12";
        QTest::newRow("a key carrying none of them") << "[0..9]" << int(KeyText) << "ab" << "";
        QTest::newRow("description takes Chinese and any printable") << "[]" << int(Keys) << "薪水 Pay-1,000!" << "薪水 Pay-1,000!";
        QTest::newRow("description refuses what code page 950 lacks") << "[]" << int(Keys) << "a\U0001F600b" << "ab";
        QTest::newRow("input method commit is filtered") << "[0..9]" << int(InputMethod) << "1中2" << "12";
        QTest::newRow("input method commits Chinese to the description") << "[]" << int(InputMethod) << "薪水" << "薪水";
        QTest::newRow("Ctrl+V pastes through the filter, line breaks too") << "[0..9]" << int(CtrlV) << "4x\n2" << "42";
        QTest::newRow("a paste with nothing admitted changes nothing") << "[0..9]" << int(CtrlV) << "xy" << "";
        QTest::newRow("the menu's paste goes through the filter") << "[0..9,-]" << int(MenuPaste) << "-5 kg" << "-5";
        QTest::newRow("a drop goes through the filter") << "[0..9]" << int(Drop) << "7 a 8" << "78";
        QTest::newRow("a drop of an admitted text") << "[0..9]" << int(Drop) << "78" << "78";
        QTest::newRow("a drop with nothing admitted") << "[0..9]" << int(Drop) << "ab" << "";
    }
    void keepsOnlyAdmittedCharacters() {
        QFETCH(QString, validChars);
        QFETCH(int, route);
        QFETCH(QString, entered);
        QFETCH(QString, shown);
        TEdit edit;
        edit.SetValidChars(validChars);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        Enter(edit, entered, TRoute(route));
        QCOMPARE(edit.text(), shown);
        edit.setReadOnly(true);
        Enter(edit, QStringLiteral("9"), CtrlV);
        QCOMPARE(edit.text(), shown);  // a read-only field takes no paste
    }

    void editingKeysWorkInAFilteredField() {
        TEdit edit;
        edit.SetValidChars(QStringLiteral("[0..9]"));
        Enter(edit, QStringLiteral("123"), Keys);
        for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Home, Qt::Key_Delete}) QTest::keyClick(&edit, key);
        QCOMPARE(edit.text(), QStringLiteral("2"));
        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);  // select all, not the letter
        Enter(edit, QStringLiteral("7"), Keys);
        QCOMPARE(edit.text(), QStringLiteral("7"));
        QTest::keyClick(&edit, Qt::Key_Return);  // a field that is a window of its own goes nowhere
        QCOMPARE(edit.text(), QStringLiteral("7"));
    }

    // Return, keypad Enter and Down move to the next field, Up to the previous; none reaches the default button.
    void keysMoveTheFocus() {
        const struct { int From; Qt::Key Key; int To; } moves[] = {{0, Qt::Key_Return, 1}, {1, Qt::Key_Enter, 2}, {1, Qt::Key_Down, 2}, {1, Qt::Key_Up, 0}};
        for (const auto& m : moves) {
            TThreeFields form;
            QVERIFY(QTest::qWaitForWindowActive(&form.Window));
            form.Edits[m.From]->setFocus();
            form.Edits[m.From]->setText(QStringLiteral("5"));
            QTest::keyClick(form.Edits[m.From], m.Key);
            QVERIFY(form.Edits[m.To]->hasFocus() && form.Edits[m.From]->text() == QStringLiteral("5") && form.Window.isVisible());
        }
    }

};

static const bool kRegistered = tamber::test::RegisterUiTest<ControlsTest>();
#include "ControlsTest.moc"
