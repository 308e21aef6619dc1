// The filtered edit field: the ValidChars syntax, what reaches the text by each way of entering it, Enter and the
// arrows moving the focus, and the required-field warning.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "RFEdit.h"
#include "UiTestSupport.h"

using namespace tamber::ui;

namespace {

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

class FilterEditTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { TRFilterEdit::SetRequiredFieldPrompt({}); }

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

    // An empty required field warns once and takes the focus back, also when the next field is required and empty.
    void leavingAnEmptyRequiredField() {
        const struct { const char* Text; bool NextRequired; int Prompts; } rows[] = {{"", false, 1}, {"7", false, 0}, {"", true, 1}};
        for (const auto& r : rows) {
            QStringList shown;
            TRFilterEdit::SetRequiredFieldPrompt([&shown](QWidget*, const QString& message) { shown << message; });
            TThreeFields form;
            QVERIFY(QTest::qWaitForWindowActive(&form.Window));
            form.Edits[0]->SetRequiredField(true);
            form.Edits[1]->SetRequiredField(r.NextRequired);
            form.Edits[0]->setText(QString::fromLatin1(r.Text));
            form.Edits[0]->setFocus();
            QTest::keyClick(form.Edits[0], Qt::Key_Tab);
            QTest::qWait(50);
            QCOMPARE(shown, QStringList(r.Prompts, QStringLiteral(" Field is required! ")));
            QVERIFY(form.Edits[r.Prompts > 0 ? 0 : 1]->hasFocus() && form.Edits[0]->RequiredField());
        }
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<FilterEditTest>();
#include "FilterEditTest.moc"
