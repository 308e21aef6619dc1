// The two controls of every window: the month calendar (its layout, setters, mouse and keys, what each cell shows)
// and the filtered edit field (the ValidChars syntax, what reaches the text by each way of entering it).
#include <climits>

#include "UiTestSupport.h"
#include "model/Errors.h"

using namespace tamber;
using namespace tamber::ui;
using namespace tamber::test;

namespace {

// 1 April 2001 was a Sunday: April 2001 fills rows 1..5 from column 0, day 10 sits at row 2, column 2, and 29 and
// 30 leave row 5 blank from column 2 on.
const QDate kToday(2001, 4, 10);

QDate Held(const TDrawCalendar& c) {
    return QDate(c.Year(), c.Month(), c.Day());
}

// SetYear (Y), SetMonth (M) or SetDay (D) with Value: the date held afterwards.
const struct {
    const char* Name;
    QDate Start;
    char Element;
    int Value;
    QDate Held;
} kSetters[] = {
    {"31 January, month 2 in a leap year", {2000, 1, 31}, 'M', 2, {2000, 2, 29}},
    {"29 February, next year", {2000, 2, 29}, 'Y', 2001, {2001, 2, 28}},
    {"another day of the month", kToday, 'D', 30, {2001, 4, 30}},
    {"the last year", kToday, 'Y', 9999, {9999, 4, 10}},
    {"day 31 of a 30-day month is ignored", kToday, 'D', 31, kToday},
    {"day 0 is ignored", kToday, 'D', 0, kToday},
    {"month 13 is ignored", kToday, 'M', 13, kToday},
    {"year 10000 is ignored", kToday, 'Y', 10000, kToday},
    {"the held day is ignored", kToday, 'D', 10, kToday},
    {"the held month is ignored", kToday, 'M', 4, kToday},
    {"the held year is ignored", kToday, 'Y', 2001, kToday},
};

// A key pressed, or without a key a left click on a cell, with day Start of April 2001 selected: the day held
// afterwards and how often OnClick fires.
const struct {
    const char* Name;
    int Start;
    Qt::Key Key;
    int Column, Row;
    bool ReadOnly;
    int Day, Clicks;
} kChoices[] = {
    {"click another day", 10, {}, 3, 3, false, 18, 1},
    {"click the selected day", 10, {}, 2, 2, false, 10, 1},
    {"click a blank cell after the month", 10, {}, 2, 5, false, 10, 1},
    {"click the header row", 10, {}, 3, 0, false, 10, 0},
    {"click read-only", 10, {}, 3, 3, true, 10, 1},
    {"right", 10, Qt::Key_Right, 0, 0, false, 11, 1},
    {"left", 10, Qt::Key_Left, 0, 0, false, 9, 1},
    {"down", 10, Qt::Key_Down, 0, 0, false, 17, 1},
    {"up", 10, Qt::Key_Up, 0, 0, false, 3, 1},
    {"home goes to the 1st", 10, Qt::Key_Home, 0, 0, false, 1, 1},
    {"end goes to the last day", 10, Qt::Key_End, 0, 0, false, 30, 1},
    {"up from the first week stays", 3, Qt::Key_Up, 0, 0, false, 3, 0},
    {"down onto a blank cell stays", 30, Qt::Key_Down, 0, 0, false, 30, 0},
    {"left from column 0 stays", 1, Qt::Key_Left, 0, 0, false, 1, 0},
    {"right from column 6 stays", 7, Qt::Key_Right, 0, 0, false, 7, 0},
    {"read-only stays", 10, Qt::Key_Right, 0, 0, true, 10, 0},
    {"another key changes nothing", 10, Qt::Key_A, 0, 0, false, 10, 0},
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
    {"quiet 1st", 1, 4, false, 0, 0, {"", "", "3,000"}, "4月1日 結存 3,000"},
    {"quiet today", 10, 4, false, 0, 0, {"", "", "3,000"}, "4月10日 結存 3,000"},
    {"quiet selected day", 20, 4, false, 0, 0, {"", "", "3,000"}, "4月20日 結存 3,000"},
    {"today's number in another month", 10, 5, false, 0, 0, {}, "5月10日"},
};

TCharSet SetOf(const QString& members) {
    TCharSet set;
    for (const char32_t c : members.toStdU32String()) set.set(c);
    return set;
}

enum TRoute { Keys,
              KeyText,
              InputMethod,
              CtrlV,
              MenuPaste,
              Drop };

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

// Text entered into a field admitting ValidChars by way of Route, and what the field then holds.
const struct {
    const char* Name;
    const char* ValidChars;
    TRoute Route;
    const char *Entered, *Shown;
} kEntered[] = {
    {"digits refuse letters, minus and point", "[0..9]", Keys, "1a-2.3", "123"},
    {"a key carrying several characters", "[0..9]", KeyText, "1a2", "12"},
    {"description takes Chinese and any printable", "[]", Keys, "薪水 Pay-1,000!", "薪水 Pay-1,000!"},
    {"description refuses what code page 950 lacks", "[]", Keys, "a\U0001F600b", "ab"},
    {"input method commit is filtered", "[0..9]", InputMethod, "1中2", "12"},
    {"Ctrl+V pastes through the filter, line breaks too", "[0..9]", CtrlV, "4x\n2", "42"},
    {"a paste with nothing admitted changes nothing", "[0..9]", CtrlV, "xy", ""},
    {"the menu's paste goes through the filter", "[0..9,-]", MenuPaste, "-5 kg", "-5"},
    {"a drop goes through the filter", "[0..9]", Drop, "7 a 8", "78"},
    {"a drop of an admitted text", "[0..9]", Drop, "78", "78"},
    {"a drop with nothing admitted", "[0..9]", Drop, "ab", ""},
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
        TDrawCalendar calendar(kToday);
        calendar.SetStartOfWeek(1);
        calendar.SetStartOfWeek(7);  // ignored
        QCOMPARE(calendar.CellText(0, 0) + calendar.CellText(6, 0) + calendar.CellText(7, 0) + calendar.CellText(0, 7),
                 QStringLiteral("週一週日"));
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
        QCOMPARE(std::tuple(Held(calendar), calendar.SelectedDate(), int(changes.count()), calendar.UseCurrentDate()),
                 std::tuple(c.Held, FromQDate(c.Held), changed ? 1 : 0, !changed));
        QVERIFY(calendar.CurrentCell() == calendar.DayToCell(c.Held.day()));
        QCOMPARE(calendar.FirstCellDay(), TDrawCalendar(c.Held).FirstCellDay());
        calendar.SetUseCurrentDate(true);  // back to today, without an event
        QCOMPARE(std::pair(Held(calendar), int(changes.count())), std::pair(c.Start, changed ? 1 : 0));
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
        QTest::mouseClick(&calendar, Qt::RightButton, {}, calendar.CellRect(4, 4).center());  // only the left button chooses
        QVERIFY(calendar.CurrentCell() == calendar.DayToCell(calendar.Day()));
        QCOMPARE(std::tuple(calendar.Day(), int(changes.count()), int(clicked.count())),
                 std::tuple(c.Day, c.Day == c.Start ? 0 : 1, c.Clicks));
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
        QCOMPARE(std::tuple(shown.Text, shown.AmountLines, QStringList{shown.Income, shown.Expense, shown.Balance}, shown.BalanceColor),
                 std::tuple(QString::number(c.Day), lines, lines ? c.Lines : QStringList{"", "", ""}, lines ? clRed : clNone));
        QVERIFY(!shown.Summary && calendar.CellTexts(3, 0).Text == WeekdayName(3, false) && !calendar.CellTexts(3, 0).AmountLines);
        QCOMPARE(calendar.CellSpeech(pos.Column, pos.Row), QString::fromUtf8(c.Speech));
    }

    void summaryCellShowsTheMonthAverage() {
        const struct {
            int Value;
            const char *Amount, *Average;
            TColor Colour;
            bool Known = true;
        } cases[] = {
            {0, "", "0", clBlue}, {1000, "1,000", "1,000", clBlue}, {-1, "-1", "-1", clRed}, {INT_MIN, "-2,147,483,648", "-2,147,483,648", clRed}, {0, "", "", clBlue, false} /* a month without an average */};
        for (const auto& c : cases) {
            TDrawCalendar calendar(kToday);
            calendar.MonthData().MonthAverageBalance = c.Value;
            calendar.MonthData().MonthAverageKnown = c.Known;
            const TCellTexts summary = calendar.CellTexts(6, 6);
            QCOMPARE(std::tuple(FormatAmount(c.Value), summary.Summary, summary.Text, summary.Average, summary.AverageColor),
                     std::tuple(QString::fromLatin1(c.Amount), true, QString(), QString::fromLatin1(c.Average), c.Colour));
            QCOMPARE(calendar.CellSpeech(6, 6), QStringLiteral("本月平均 收支平衡: %1").arg(c.Average).trimmed());
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
        QAccessibleTableInterface* cells = table->tableInterface();
        QAccessibleInterface* day18 = cells->cellAt(2, 3);  // below the heading row
        QCOMPARE(std::tuple(table->role(), cells->rowCount(), cells->columnCount(), table->child(0)->text(QAccessible::Name),
                            day18->text(QAccessible::Name)),
                 std::tuple(QAccessible::Table, 6, 7, QStringLiteral("星期日"), QStringLiteral("4月18日")));
        calendar.SetDay(18);
        QCOMPARE(std::tuple(day18->text(QAccessible::Name), table->focusChild(), table->indexOfChild(day18)),
                 std::tuple(QStringLiteral("4月18日 結存 76,800"), day18, 3 * 7 + 3));
        QVERIFY(day18->state().focused && day18->tableCellInterface()->isSelected() && !table->child(0)->state().focusable);
        QCOMPARE(table->childAt(day18->rect().center().x(), day18->rect().center().y()), day18);
    }

    void parsesValidCharsAndKeepsTheSetOnInvalidFormat() {
        QString upToPoint;
        for (char16_t c = 0; c <= u'.'; ++c) upToPoint += QChar(c);
        const std::pair<const char*, QString> rows[] = {
            // the text and the set it gives; "none" when it is no set
            {"[]", ""},
            {"[0..9,-]", "0123456789-"},
            {"[0..9,.]", upToPoint + "0123456789"},
            {"[a..c,'.',',']", "abc.,"},
            {"[']',''']", "]'"},
            {"[a,']", "a"},
            {"[9..0,x]", "x"},
            {"[中,\u00FE..中]", "\u00FE\u00FF"},
            {"0..9", "none"},
            {"[0..9", "none"},
            {"[", "none"},
        };
        for (const auto& [text, members] : rows) {
            const std::optional<TCharSet> set = ParseValidChars(QString::fromUtf8(text).toStdU32String());
            QCOMPARE(set ? *set : SetOf(QStringLiteral("none")), SetOf(members));
        }
        TRFilterEdit edit;  // a text that is no set is marked and keeps the set there was
        for (const char* text : {"[0..9]", "0..9", "Invalid Format 0..9"}) edit.SetValidChars(QString::fromLatin1(text));
        QCOMPARE(std::pair(edit.ValidChars(), edit.ValidSet()),
                 std::pair(QStringLiteral("Invalid Format 0..9"), SetOf(QStringLiteral("0123456789"))));
        edit.SetValidChars(QStringLiteral("[a..c]"));  // a new set replaces the old one
        QCOMPARE(edit.ValidSet(), SetOf(QStringLiteral("abc")));
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
        Enter(edit, QStringLiteral("9"), CtrlV);
        QCOMPARE(edit.text(), QString::fromUtf8(c.Shown));  // a read-only field takes no paste
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
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<ControlsTest>();
#include "ControlsTest.moc"
