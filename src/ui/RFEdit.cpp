#include "ui/RFEdit.h"

#include "model/Big5.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QScopedValueRollback>

namespace tamber::ui {

namespace {

TRFilterEdit::TPrompt& PromptHook() {
    static TRFilterEdit::TPrompt prompt;
    return prompt;
}

void ShowRequiredWarning(QWidget* field, const QString& message) {
    QMessageBox::warning(field, QStringLiteral("Tamber 98"), message, QMessageBox::Ok);
}

// Set while a field takes the focus back after its warning. The field that loses the focus then is not checked,
// so two empty required fields cannot pass the focus and the warning back and forth for ever.
bool ReturningFocus = false;

// Whether the edit would put the event's text into the field: a text that does not begin with a control
// character (those are editing keys such as backspace and delete), typed without Ctrl or Ctrl+Shift, which
// make it a shortcut such as Ctrl+A or Ctrl+C; a formatting character is typed even with them.
bool TypesText(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty()) return false;
    const QChar::Category first = text.front().category();
    if (first == QChar::Other_Control) return false;
    if (first == QChar::Other_Format) return true;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return modifiers != Qt::ControlModifier && modifiers != (Qt::ControlModifier | Qt::ShiftModifier);
}

}  // namespace

std::optional<TCharSet> ParseValidChars(std::u32string_view text) {
    if (text.size() < 2 || text.front() != U'[' || text.back() != U']') return std::nullopt;
    TCharSet set;
    const auto add = [&set](char32_t code) {
        if (code < set.size()) set.set(code);
    };
    char32_t low = 0, high = 0;
    bool inRange = false;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c == U',' || c == U']') {
            if (inRange) {
                for (char32_t code = low; code <= high && code < set.size(); ++code) add(code);
            } else if (low != 0) {  // an item without a character adds nothing: "[]" must stay empty
                add(low);
            }
            low = high = c = 0;
            inRange = false;
        }
        // Any point starts the range and is then overwritten by the high end, so "0..9" and "0.9" are the same
        // range, and a lone "." is the range from code 0 to "." itself. Forms rely on "[0..9,.]" admitting
        // the minus sign, comma and space this way.
        if (c == U'.') inRange = true;
        if (c == U'\'') {
            // The quoted character and the closing quote are consumed; a quote just before the end takes code 0.
            c = i + 1 < text.size() ? text[i + 1] : 0;
            i += 2;
        }
        (inRange ? high : low) = c;
    }
    return set;
}

const QString TRFilterEdit::RequiredMessage = QStringLiteral(" Field is required! ");

TRFilterEdit::TPrompt TRFilterEdit::SetRequiredFieldPrompt(TPrompt prompt) {
    return std::exchange(PromptHook(), std::move(prompt));
}

TRFilterEdit::TRFilterEdit(QWidget* parent) : QLineEdit(parent), ValidChars_(QStringLiteral("[]")) {}

void TRFilterEdit::SetValidChars(const QString& text) {
    if (text == ValidChars_) return;
    if (const std::optional<TCharSet> set = ParseValidChars(text.toStdU32String())) {
        ValidChars_ = text;
        ValidSet_ = *set;
    } else {
        ValidChars_ = QStringLiteral("Invalid Format ") + text;
    }
}

bool TRFilterEdit::Admits(char32_t c) const {
    if (QChar::category(c) == QChar::Other_Control) return false;
    if (ValidSet_.any() && (c >= ValidSet_.size() || !ValidSet_.test(c))) return false;
    // A character the code page cannot hold would be stored as "?", unlike what the user sees.
    return Big5Encode(std::u32string_view(&c, 1)).Unmappable.empty();
}

QString TRFilterEdit::FilterText(QStringView text) const {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = 1;
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        if (Admits(c)) kept += text.mid(i, length);
        i += length;
    }
    return kept;
}

void TRFilterEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Up || key == Qt::Key_Down) {
        // Enter and Down act as Tab, Up as Shift+Tab; none of them reaches the edit (nor a dialog's default
        // button). A field that is a window of its own has no other control to go to.
        event->accept();
        if (!isWindow()) focusNextPrevChild(key != Qt::Key_Up);
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        PasteFiltered(QClipboard::Clipboard);
        return;
    }
    if (TypesText(*event)) {
        const QString kept = FilterText(event->text());
        if (kept.isEmpty()) {
            event->accept();
            return;
        }
        if (kept != event->text()) {
            QKeyEvent filtered(event->type(), key, event->modifiers(), kept, event->isAutoRepeat(),
                               static_cast<quint16>(event->count()));
            QLineEdit::keyPressEvent(&filtered);
            event->setAccepted(filtered.isAccepted());
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TRFilterEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString kept = FilterText(event->commitString());
    if (kept == event->commitString()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

void TRFilterEdit::dropEvent(QDropEvent* event) {
    const QMimeData* dropped = event->mimeData();
    const QString text = dropped != nullptr ? dropped->text() : QString();
    const QString kept = FilterText(text);
    if (kept == text) {
        QLineEdit::dropEvent(event);
        return;
    }
    if (kept.isEmpty()) {
        // Nothing to insert: end the drag as if it had left, so the source keeps its text.
        QDragLeaveEvent leave;
        QLineEdit::dragLeaveEvent(&leave);
        event->ignore();
        return;
    }
    QMimeData filteredData;
    filteredData.setText(kept);
    QDropEvent filtered(event->position(), event->possibleActions(), &filteredData, event->buttons(), event->modifiers());
    QLineEdit::dropEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
    // Only part of the text arrived, so a move would lose the rest at the source: make it a copy.
    if (filtered.isAccepted())
        event->setDropAction(event->possibleActions() & Qt::CopyAction ? Qt::CopyAction : filtered.dropAction());
}

void TRFilterEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    if (menu == nullptr) return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's Paste is wired straight to the edit's own paste; send it through the filter like Ctrl+V.
    for (QAction* action : menu->actions()) {
        if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
            disconnect(action, &QAction::triggered, this, &QLineEdit::paste))
            connect(action, &QAction::triggered, this, [this] { PasteFiltered(QClipboard::Clipboard); });
    }
    menu->popup(event->globalPos());
}

void TRFilterEdit::mouseReleaseEvent(QMouseEvent* event) {
    // Where the desktop pastes its selection with the middle button, that text goes through the filter too.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection() && !isReadOnly()) {
        deselect();
        PasteFiltered(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TRFilterEdit::PasteFiltered(QClipboard::Mode mode) {
    if (isReadOnly()) return;
    // A paste that brings no admitted character changes nothing, not even the selection.
    const QString kept = FilterText(QGuiApplication::clipboard()->text(mode));
    if (!kept.isEmpty()) insert(kept);
}

void TRFilterEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!RequiredField_ || !text().isEmpty() || RequiredCheckPending_ || ReturningFocus) return;
    // Only moving to another control of this window leaves the field; switching to another window or program,
    // opening a menu or the warning box itself taking the focus do not.
    const QWidget* next = QApplication::focusWidget();
    if (next == nullptr || next == this || next->window() != window()) return;
    // The warning is modal: show it once the focus change has finished, not in the middle of it.
    RequiredCheckPending_ = true;
    QMetaObject::invokeMethod(this, &TRFilterEdit::CheckRequired, Qt::QueuedConnection);
}

void TRFilterEdit::CheckRequired() {
    const auto done = qScopeGuard([this] { RequiredCheckPending_ = false; });
    // The text may have been filled, or the window closed, since the focus left.
    if (!RequiredField_ || !text().isEmpty() || !isVisible() || !isEnabled()) return;
    if (const TPrompt& prompt = PromptHook()) prompt(this, RequiredMessage);
    else ShowRequiredWarning(this, RequiredMessage);
    const QScopedValueRollback<bool> returning(ReturningFocus, true);
    setFocus(Qt::OtherFocusReason);
}

}  // namespace tamber::ui
