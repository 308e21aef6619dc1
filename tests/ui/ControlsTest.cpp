// The month calendar (layout, mouse and keys, what each cell shows and says) and the filtered edit field.
#include <climits>

#include "UiTestSupport.h"
#include "model/Errors.h"

using namespace tamber;
using namespace tamber::ui;
using namespace tamber::test;

namespace {

// 1 April 2001 was a Sunday: April 2001 fills rows 1..5 from column 0, day 10 sits at row 2, column 2.
const QDate kToday(2001, 4, 10);

// A key, or without one a left click on a cell, from day Start of April 2001: the day held and OnClick's count.
const struct {
    const char* Name;
    int Start;
    Qt::Key Key;
    int Column, Row;
    bool ReadOnly;
    int Day, Clicks;
} kChoices[] = {
    {"click another day", 10, {}, 3, 3, false, 18, 1},
    {"click the header row", 10, {}, 3, 0, false, 10, 0},
    {"right", 10, Qt::Key_Right, 0, 0, false, 11, 1},
    {"up from the first week stays", 3, Qt::Key_Up, 0, 0, false, 3, 0},
    {"left from column 0 stays", 1, Qt::Key_Left, 0, 0, false, 1, 0},
    {"read-only stays", 10, Qt::Key_Right, 0, 0, true, 10, 0},
};

// A day of April 2001 (or May) with income, expense and balance 3,000; the 20th is selected. Lines: income,
// expense, balance; none when no amount lines are drawn. Speech: what a screen reader says of the day.
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
    {"quiet today", 10, 4, false, 0, 0, {"", "", "3,000"}, "4月10日 結存 3,000"},
    {"today's number in another month", 10, 5, false, 0, 0, {}, "5月10日"},
};

TCharSet SetOf(const QString& members) {
    TCharSet set;
    for (const char32_t c : members.toStdU32String()) set.set(c);
    return set;
}

// The field with its drop handling reachable: a drop needs a drag, which the offscreen platform does not make.
struct TEdit : TRFilterEdit {
    using TRFilterEdit::dropEvent;
};

// Enters Text into Edit the way Route says: ASCII key by key (K), as one key event carrying it all (T), committed by
// an input method (I), pasted with Ctrl+V (V) or from the menu (M), or dropped (D).
void Enter(TEdit& edit, const QString& text, char route) {
    QApplication::clipboard()->setText(text);
    if (route == 'K') {
        QTest::keyClicks(&edit, text);
    } else if (route == 'T') {
        QTest::sendKeyEvent(QTest::KeyAction::Press, &edit, Qt::Key_unknown, text, {});
    } else if (route == 'I') {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(&edit, &commit);
    } else if (route == 'V') {
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    } else if (route == 'M') {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&edit, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
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

// Text entered into a field admitting ValidChars by way of Route, and what the field then holds.
const struct {
    const char* Name;
    const char* ValidChars;
    char Route;
    const char *Entered, *Shown;
} kEntered[] = {
    {"digits refuse letters, minus and point", "[0..9]", 'K', "1a-2.3", "123"},
    {"editing keys still edit", "[0..9]", 'K', "12\b3", "13"},
    {"description takes Chinese and any printable", "[]", 'T', "薪水 Pay-1,000!", "薪水 Pay-1,000!"},
    {"description refuses what code page 950 lacks", "[]", 'T', "a\U0001F600b", "ab"},
    {"input method commit is filtered", "[0..9]", 'I', "1中2", "12"},
    {"Ctrl+V pastes through the filter, line breaks too", "[0..9]", 'V', "4x\n2", "42"},
    {"a paste with nothing admitted changes nothing", "[0..9]", 'V', "xy", ""},
    {"the menu's paste goes through the filter", "[0..9,-]", 'M', "-5 kg", "-5"},
    {"a drop goes through the filter", "[0..9]", 'D', "7 a 8", "78"},
    {"a drop with nothing admitted", "[0..9]", 'D', "ab", ""},
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
                const int column = (QDate(2024, m, 1).dayOfWeek() % 7 - start + 7) % 7;  // Sunday is start 0
                QVERIFY(first == 1 - column && calendar.CurrentCell() == calendar.DayToCell(1));
                for (int cell = 0; cell < 42; ++cell) {
                    const int day = first + cell;
                    const bool shown = day >= 1 && day <= calendar.DaysThisMonth() && cell != 41;
                    QCOMPARE(calendar.CellText(cell % 7, cell / 7 + 1), shown ? QString::number(day) : QString());
                }
                QCOMPARE(calendar.CellText(0, 0), WeekdayName(start, false));
            }
        }
        QVERIFY_THROWS_EXCEPTION(EInvalidDate, TDrawCalendar(QDate(10000, 1, 1)));
        TDrawCalendar leap(QDate(2000, 1, 31));  // a month's last day moves to the last day of the month set
        leap.SetMonth(2);
        for (const int day : {31, 0}) leap.SetDay(day);  // no such day: ignored
        leap.SetYear(10000);
        leap.SetStartOfWeek(1);
        leap.SetStartOfWeek(7);  // no such weekday: ignored
        QCOMPARE(std::pair(QDate(leap.Year(), leap.Month(), leap.Day()), leap.CellText(0, 0) + leap.CellText(6, 0) + leap.CellText(7, 0) + leap.CellText(0, 7)),
                 std::pair(QDate(2000, 2, 29), QStringLiteral("週一週日")));
        leap.SetUseCurrentDate(true);  // back to the day it was made with
        QCOMPARE(QDate(leap.Year(), leap.Month(), leap.Day()), QDate(2000, 1, 31));
    }

    void mouseAndKeysChooseADay_data() { Rows(kChoices); }
    void mouseAndKeysChooseADay() {
        const auto& c = Row(kChoices);
        TDrawCalendar calendar(kToday);
        ConfigureForMainWindow(calendar);
        calendar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&calendar));
        calendar.SetDay(c.Start);
        calendar.SetReadOnly(c.ReadOnly);
        QSignalSpy changes(&calendar, &TDrawCalendar::OnChange);
        QSignalSpy clicked(&calendar, &TDrawCalendar::OnClick);
        if (c.Key) QTest::keyClick(&calendar, c.Key);
        if (!c.Key) QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.CellRect(c.Column, c.Row).center());
        QCOMPARE(std::tuple(calendar.Day(), int(changes.count()), int(clicked.count()), calendar.CurrentCell() == calendar.DayToCell(c.Day)),
                 std::tuple(c.Day, c.Day == c.Start ? 0 : 1, c.Clicks, true));
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
        const bool lines = !c.Lines.isEmpty();
        QCOMPARE(std::tuple(shown.Text, shown.AmountLines, QStringList{shown.Income, shown.Expense, shown.Balance}, shown.BalanceColor, calendar.CellSpeech(pos.Column, pos.Row)),
                 std::tuple(QString::number(c.Day), lines, lines ? c.Lines : QStringList{"", "", ""}, lines ? clRed : clNone, QString::fromUtf8(c.Speech)));
    }

    void summaryCellShowsTheMonthAverage() {
        TDrawCalendar calendar(kToday);
        for (const auto& [value, average, colour] : {std::tuple(0, "0", clBlue), {INT_MIN, "-2,147,483,648", clRed}}) {
            calendar.MonthData().MonthAverageBalance = value;
            const TCellTexts summary = calendar.CellTexts(6, 6);
            QCOMPARE(std::tuple(summary.Summary, summary.Text, summary.Average, summary.AverageColor, calendar.CellSpeech(6, 6)),
                     std::tuple(true, QString(), QString::fromLatin1(average), colour, QStringLiteral("本月平均 收支平衡: ") + average));
        }
    }

    void aScreenReaderReadsATableOfDaysWithTheSelectedOneFocused() {
        TDrawCalendar calendar(kToday);
        ConfigureForMainWindow(calendar);
        calendar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&calendar));
        calendar.MonthData().Cell(calendar.DayToCell(18)).Balance = 76800;
        calendar.setFocus();
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&calendar);
        QAccessibleInterface* day18 = table->tableInterface()->cellAt(2, 3);  // below the heading row
        QCOMPARE(std::tuple(table->role(), table->tableInterface()->rowCount(), table->child(0)->text(QAccessible::Name), day18->text(QAccessible::Name)),
                 std::tuple(QAccessible::Table, 6, QStringLiteral("星期日"), QStringLiteral("4月18日")));
        calendar.SetDay(18);
        QCOMPARE(std::tuple(day18->text(QAccessible::Name), table->focusChild(), table->childAt(day18->rect().center().x(), day18->rect().center().y())),
                 std::tuple(QStringLiteral("4月18日 結存 76,800"), day18, day18));
        QVERIFY(day18->state().focused && day18->tableCellInterface()->isSelected() && !table->child(0)->state().focusable);
    }

    void parsesValidCharsAndKeepsTheSetOnInvalidFormat() {
        QString upToPoint;
        for (char16_t c = 0; c <= u'.'; ++c) upToPoint += QChar(c);
        const std::pair<const char*, QString> rows[] = {
            // the text and the set it gives; "none" when it is no set
            {"[]", ""},
            {"[0..9,.]", upToPoint + "0123456789"},
            {"[']',''']", "]'"},
            {"[中,\u00FE..中]", "\u00FE\u00FF"},
            {"0..9", "none"},
        };
        for (const auto& [text, members] : rows) {
            const std::optional<TCharSet> set = ParseValidChars(QString::fromUtf8(text).toStdU32String());
            QCOMPARE(set ? *set : SetOf(QStringLiteral("none")), SetOf(members));
        }
        TRFilterEdit edit;  // a text that is no set is marked and keeps the set there was
        for (const char* text : {"[a..c]", "[0..9]", "0..9", "Invalid Format 0..9"}) edit.SetValidChars(QString::fromLatin1(text));
        QCOMPARE(std::pair(edit.ValidChars(), edit.ValidSet()), std::pair(QStringLiteral("Invalid Format 0..9"), SetOf(QStringLiteral("0123456789"))));
    }

    void keepsOnlyAdmittedCharacters_data() { Rows(kEntered); }
    void keepsOnlyAdmittedCharacters() {
        const auto& c = Row(kEntered);
        TEdit edit;
        edit.SetValidChars(QString::fromUtf8(c.ValidChars));
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        Enter(edit, QString::fromUtf8(c.Entered), c.Route);
        QCOMPARE(edit.text(), QString::fromUtf8(c.Shown));
        edit.setReadOnly(true);
        Enter(edit, QStringLiteral("9"), 'V');
        QCOMPARE(edit.text(), QString::fromUtf8(c.Shown));  // a read-only field takes no paste
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<ControlsTest>();
#include "ControlsTest.moc"
