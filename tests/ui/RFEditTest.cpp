// The filtered edit field: the ValidChars syntax, what reaches the text by each route, Enter and the
// arrows moving the focus, and the required-field warning.
#include <QtTest>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/RFEdit.h"

using namespace tamber::ui;

namespace {

TCharSet SetOf(const QString& members) {
    TCharSet set;
    for (const char32_t c : members.toStdU32String()) set.set(c);
    return set;
}

// Types text key by key: ASCII with the key codes of a real keyboard, any other character (Chinese, a
// surrogate pair) as a key event carrying it, as a keyboard layout sends it; or commits it from an input method.
void Enter(TRFilterEdit& edit, const QString& text, bool inputMethod = false) {
    if (inputMethod) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(&edit, &commit);
        return;
    }
    for (const char32_t c : text.toStdU32String()) {
        if (c < 0x80) {
            QTest::keyClick(&edit, static_cast<char>(c));
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUcs4(&c, 1));
            QApplication::sendEvent(&edit, &press);
        }
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

class RFEditTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { TRFilterEdit::SetRequiredFieldPrompt({}); }

    void parsesValidChars_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bracketed");
        QTest::addColumn<QString>("members");
        QString upToPoint;
        for (char16_t c = 0; c <= u'.'; ++c) upToPoint += QChar(c);
        QTest::newRow("empty brackets admit everything") << "[]" << true << "";
        QTest::newRow("digits") << "[0..9]" << true << "0123456789";
        QTest::newRow("digits and minus") << "[0..9,-]" << true << "0123456789-";
        QTest::newRow("a lone point ranges from code 0") << "[0..9,.]" << true << upToPoint + "0123456789";
        QTest::newRow("quoted point and comma") << "[a..c,'.',',']" << true << "abc.,";
        QTest::newRow("quoted bracket and quote") << "[']',''']" << true << "]'";
        QTest::newRow("a quote before the end reads no further") << "[a,']" << true << "a";
        QTest::newRow("a reversed range is empty") << "[9..0,x]" << true << "x";
        QTest::newRow("codes above 255 join nothing") << "[中,\u00FE..中]" << true << "\u00FE\u00FF";
        QTest::newRow("no brackets") << "0..9" << false << "";
        QTest::newRow("no closing bracket") << "[0..9" << false << "";
        QTest::newRow("a lone bracket") << "[" << false << "";
    }
    void parsesValidChars() {
        QFETCH(QString, text);
        QFETCH(bool, bracketed);
        QFETCH(QString, members);
        const std::optional<TCharSet> set = ParseValidChars(text.toStdU32String());
        QCOMPARE(set.has_value(), bracketed);
        if (set) QCOMPARE(*set, SetOf(members));
    }

    void invalidFormatKeepsTheSet() {
        TRFilterEdit edit;
        edit.SetValidChars(QStringLiteral("[0..9]"));
        edit.SetValidChars(QStringLiteral("0..9"));
        QCOMPARE(edit.ValidChars(), QStringLiteral("Invalid Format 0..9"));
        QCOMPARE(edit.ValidSet(), SetOf(QStringLiteral("0123456789")));
        edit.SetValidChars(QStringLiteral("Invalid Format 0..9"));  // not wrapped a second time
        QCOMPARE(edit.ValidChars(), QStringLiteral("Invalid Format 0..9"));
        edit.SetValidChars(QStringLiteral("[a..c]"));  // a new set replaces the old one
        QCOMPARE(edit.ValidSet(), SetOf(QStringLiteral("abc")));
    }

    // What each field admits from real fields' input is pinned by BadInputTest (typed and pasted);
    // here: the routes no field test takes.
    void keepsOnlyAdmittedCharacters_data() {
        QTest::addColumn<QString>("validChars");
        QTest::addColumn<bool>("inputMethod");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits refuse letters, minus and point") << "[0..9]" << false << "1a-2.3" << "123";
        QTest::newRow("description takes typed Chinese and any printable") << "[]" << false << "薪水 Pay-1,000!" << "薪水 Pay-1,000!";
        QTest::newRow("description refuses what code page 950 lacks") << "[]" << false << "a\U0001F600b" << "ab";
        QTest::newRow("input method commit is filtered") << "[0..9]" << true << "1中2" << "12";
        QTest::newRow("input method commits Chinese to the description") << "[]" << true << "薪水" << "薪水";
    }
    void keepsOnlyAdmittedCharacters() {
        QFETCH(QString, validChars);
        QFETCH(bool, inputMethod);
        QFETCH(QString, entered);
        QFETCH(QString, shown);
        TRFilterEdit edit;
        edit.SetValidChars(validChars);
        Enter(edit, entered, inputMethod);
        QCOMPARE(edit.text(), shown);
    }

    void editingKeysAndPasteWorkInAFilteredField() {
        TRFilterEdit edit;
        edit.SetValidChars(QStringLiteral("[0..9]"));
        Enter(edit, QStringLiteral("123"));
        for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Home, Qt::Key_Delete}) QTest::keyClick(&edit, key);
        QCOMPARE(edit.text(), QStringLiteral("2"));
        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
        Enter(edit, QStringLiteral("7"));
        QCOMPARE(edit.text(), QStringLiteral("7"));

        // Pasting with Ctrl+V and from the context menu goes through the filter, line breaks too.
        QApplication::clipboard()->setText(QStringLiteral("4x\n2"));
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.text(), QStringLiteral("742"));
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QApplication::clipboard()->setText(QStringLiteral("-5"));
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&edit, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        for (QAction* action : menu->actions())
            if (action->text().startsWith(QStringLiteral("&Paste"))) action->trigger();
        menu->close();
        QCOMPARE(edit.text(), QStringLiteral("7425"));
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
        QVERIFY(form.Window.isVisible());  // Enter never reaches the default button
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
