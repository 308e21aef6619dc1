#include <QtTest>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "RFEdit.h"
#include "frstatus.h"

using namespace tamber::ui;

namespace {

TCharSet SetOf(const QString& members) {
    TCharSet set;
    for (const char32_t c : members.toStdU32String()) set.set(c);
    return set;
}

// Every code from 0 up to and including last.
QString CodesUpTo(char16_t last) {
    QString codes;
    for (char16_t c = 0; c <= last; ++c) codes += QChar(c);
    return codes;
}

// Types text into the edit one character at a time; ASCII through the key codes of a real keyboard, anything
// else (Chinese, a surrogate pair) as a key event that carries the character, as a keyboard layout sends it.
void Type(QWidget* edit, const QString& text) {
    for (const char32_t c : text.toStdU32String()) {
        if (c < 0x80) {
            QTest::keyClick(edit, static_cast<char>(c));
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUcs4(&c, 1));
            QApplication::sendEvent(edit, &press);
        }
    }
}

// A shown, active window holding three edits, in tab order.
struct TThreeFields {
    QWidget Window;
    TRFilterEdit* Edits[3];
    TThreeFields() {
        auto* layout = new QVBoxLayout(&Window);
        for (TRFilterEdit*& edit : Edits) layout->addWidget(edit = new TRFilterEdit);
        Window.show();
        Window.activateWindow();
    }
};

}  // namespace

class RFEditTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { TRFilterEdit::SetRequiredFieldPrompt({}); }

    void parsesValidChars_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("members");
        const QString digits = QStringLiteral("0123456789");
        QTest::newRow("empty brackets admit everything") << "[]" << "";
        QTest::newRow("items without a character add nothing") << "[,,]" << "";
        QTest::newRow("digits") << "[0..9]" << digits;
        QTest::newRow("a single point also makes a range") << "[0.9]" << digits;
        QTest::newRow("digits and minus") << "[0..9,-]" << digits + "-";
        QTest::newRow("a lone point ranges from code 0 to the point") << "[0..9,.]" << CodesUpTo(u'.') + digits;
        QTest::newRow("quoted point and comma") << "[a..c,'.',',']" << "abc.,";
        QTest::newRow("quoted bracket and quote") << "[']',''']" << "]'";
        QTest::newRow("a quote before the end reads no further") << "[a,']" << "a";
        QTest::newRow("a reversed range is empty") << "[9..0,x]" << "x";
        QTest::newRow("codes above 255 join nothing") << "[中,\u00FE..中]" << "\u00FE\u00FF";
    }
    void parsesValidChars() {
        QFETCH(QString, text);
        QFETCH(QString, members);
        const std::optional<TCharSet> set = ParseValidChars(text.toStdU32String());
        QVERIFY(set.has_value());
        QCOMPARE(*set, SetOf(members));
    }

    void unbracketedTextIsRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("no brackets") << "0..9";
        QTest::newRow("no closing bracket") << "[0..9";
        QTest::newRow("a lone bracket") << "[";
        QTest::newRow("empty") << "";
    }
    void unbracketedTextIsRefused() {
        QFETCH(QString, text);
        QVERIFY(!ParseValidChars(text.toStdU32String()).has_value());
    }

    void invalidFormatKeepsTheSet() {
        TRFilterEdit edit;
        QVERIFY(edit.setProperty("ValidChars", QStringLiteral("[0..9]")));
        edit.SetValidChars(QStringLiteral("0..9"));
        QCOMPARE(edit.ValidChars(), QStringLiteral("Invalid Format 0..9"));
        QCOMPARE(edit.ValidSet(), SetOf(QStringLiteral("0123456789")));
        // The stored text set again is left alone rather than wrapped a second time.
        edit.SetValidChars(QStringLiteral("Invalid Format 0..9"));
        QCOMPARE(edit.ValidChars(), QStringLiteral("Invalid Format 0..9"));
        // A new set replaces the old one instead of adding to it.
        edit.SetValidChars(QStringLiteral("[a..c]"));
        QCOMPARE(edit.ValidSet(), SetOf(QStringLiteral("abc")));
    }

    void designedPropertiesExist() {
        TRFilterEdit edit;
        QCOMPARE(edit.ValidChars(), QStringLiteral("[]"));
        QVERIFY(edit.setProperty("RequiredField", true));
        QVERIFY(edit.RequiredField());
        TFriendlyStatusBar bar;
        QVERIFY(bar.setProperty("About", QStringLiteral("x")));
    }

    void typingKeepsOnlyAdmittedCharacters_data() {
        QTest::addColumn<QString>("validChars");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits refuse letters, minus and point") << "[0..9]" << "1a-2.3" << "123";
        QTest::newRow("signed amount takes -12") << "[0..9,-]" << "-12" << "-12";
        QTest::newRow("rate takes 5.5, comma, plus and space, not x") << "[0..9,.]" << "5.5,+ x" << "5.5,+ ";
        QTest::newRow("quoted set") << "[a..c,'.',',']" << "abcd.,;" << "abc.,";
        QTest::newRow("description takes Chinese and any printable") << "[]" << "薪水 Pay-1,000!" << "薪水 Pay-1,000!";
        QTest::newRow("digits refuse Chinese") << "[0..9]" << "1中2" << "12";
        QTest::newRow("description refuses what code page 950 lacks") << "[]" << "a\U0001F600b" << "ab";
    }
    void typingKeepsOnlyAdmittedCharacters() {
        QFETCH(QString, validChars);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TRFilterEdit edit;
        edit.SetValidChars(validChars);
        Type(&edit, typed);
        QCOMPARE(edit.text(), shown);
    }

    void editingKeysWorkInAFilteredField() {
        TRFilterEdit edit;
        edit.SetValidChars(QStringLiteral("[0..9]"));
        Type(&edit, QStringLiteral("123"));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClick(&edit, Qt::Key_Home);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.text(), QStringLiteral("2"));
        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
        Type(&edit, QStringLiteral("7"));
        QCOMPARE(edit.text(), QStringLiteral("7"));
    }

    void keysMoveTheFocus_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("Return moves to the next field") << 0 << int(Qt::Key_Return) << 1;
        QTest::newRow("keypad Enter moves to the next field") << 1 << int(Qt::Key_Enter) << 2;
        QTest::newRow("Down moves to the next field") << 1 << int(Qt::Key_Down) << 2;
        QTest::newRow("Up moves to the previous field") << 1 << int(Qt::Key_Up) << 0;
    }
    void keysMoveTheFocus() {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        TThreeFields form;
        QVERIFY(QTest::qWaitForWindowActive(&form.Window));
        form.Edits[from]->setFocus();
        form.Edits[from]->setText(QStringLiteral("5"));
        QTest::keyClick(form.Edits[from], static_cast<Qt::Key>(key));
        QVERIFY(form.Edits[to]->hasFocus());
        QCOMPARE(form.Edits[from]->text(), QStringLiteral("5"));
    }

    void enterDoesNotPressTheDefaultButton() {
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        auto* edit = new TRFilterEdit;
        auto* ok = new QPushButton(QStringLiteral("OK"));
        layout->addWidget(edit);
        layout->addWidget(ok);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY(ok->hasFocus());
    }

    void pasteIsFiltered() {
        TRFilterEdit edit;
        edit.SetValidChars(QStringLiteral("[0..9,-]"));
        QApplication::clipboard()->setText(QStringLiteral("-1 2a3\n"));
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.text(), QStringLiteral("-123"));
        // A paste that brings nothing admitted leaves the selected text in place.
        edit.selectAll();
        QApplication::clipboard()->setText(QStringLiteral("abc"));
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.text(), QStringLiteral("-123"));
    }

    void contextMenuPasteIsFiltered() {
        TRFilterEdit edit;
        edit.SetValidChars(QStringLiteral("[0..9]"));
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QApplication::clipboard()->setText(QStringLiteral("4x2"));
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&edit, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QAction* paste = nullptr;
        for (QAction* action : menu->actions())
            if (action->text().startsWith(QStringLiteral("&Paste"))) paste = action;
        QVERIFY(paste != nullptr);
        paste->trigger();
        menu->close();
        QCOMPARE(edit.text(), QStringLiteral("42"));
    }

    void inputMethodCommitIsFiltered() {
        TRFilterEdit edit;
        edit.SetValidChars(QStringLiteral("[0..9]"));
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("1中2"));
        QApplication::sendEvent(&edit, &commit);
        QCOMPARE(edit.text(), QStringLiteral("12"));
    }

    void leavingAnEmptyRequiredField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("nextRequired");
        QTest::addColumn<int>("prompts");
        QTest::newRow("empty: one warning, focus comes back") << "" << false << 1;
        QTest::newRow("filled: leaves quietly") << "7" << false << 0;
        QTest::newRow("next field also required and empty: still one warning") << "" << true << 1;
    }
    void leavingAnEmptyRequiredField() {
        QFETCH(QString, text);
        QFETCH(bool, nextRequired);
        QFETCH(int, prompts);
        QStringList shown;
        TRFilterEdit::SetRequiredFieldPrompt([&shown](QWidget*, const QString& message) { shown << message; });
        TThreeFields form;
        QVERIFY(QTest::qWaitForWindowActive(&form.Window));
        form.Edits[0]->SetRequiredField(true);
        form.Edits[1]->SetRequiredField(nextRequired);
        form.Edits[0]->setText(text);
        form.Edits[0]->setFocus();
        QTest::keyClick(form.Edits[0], Qt::Key_Tab);
        QTest::qWait(50);
        QCOMPARE(shown.size(), prompts);
        if (prompts > 0) QCOMPARE(shown.front(), QStringLiteral(" Field is required! "));
        QVERIFY(form.Edits[prompts > 0 ? 0 : 1]->hasFocus());
    }
};

QTEST_MAIN(RFEditTest)
#include "RFEditTest.moc"
