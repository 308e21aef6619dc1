// RFEdit: the single-line edit field of every data-entry window. It takes from the user only the characters of a
// set described by a short text (ValidChars), moves to the next or previous field on Enter and the Up and Down
// arrows, and can refuse to be left empty (RequiredField).
#pragma once

#include <QClipboard>
#include <QLineEdit>
#include <QString>
#include <QStringView>

#include <bitset>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

namespace tamber::ui {

// A set over the 256 single-byte character codes; an empty set admits every character.
using TCharSet = std::bitset<256>;

// The set that a ValidChars text describes, or nullopt when the text does not begin with "[" and end with "]".
// Between the brackets, items separated by "," are single characters or ranges "low..high" (both ends
// included); a character in single quotes is taken literally, which admits ",", "]", "." and "'" themselves.
// A "." makes the item a range, so "[.]" or "[0..9,.]" also admit every code from 0 up to ".". An item
// without a character ("[]", "[,]") adds nothing; codes above 255 join no set.
std::optional<TCharSet> ParseValidChars(std::u32string_view text);

class TRFilterEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString ValidChars READ ValidChars WRITE SetValidChars)
    Q_PROPERTY(bool RequiredField READ RequiredField WRITE SetRequiredField)

public:
    // The text " Field is required! " of the warning shown when an empty required field is left.
    static const QString RequiredMessage;

    // Shows the required-field warning for `field` and returns once the user has dismissed it.
    using TPrompt = std::function<void(QWidget* field, const QString& message)>;
    // Replaces the warning (tests script it instead of showing a modal box) and returns the previous one; an
    // empty function puts back the modal warning box with its single OK button.
    static TPrompt SetRequiredFieldPrompt(TPrompt prompt);

    // ValidChars "[]" (not parsed, so the set is empty and every character is admitted), not required.
    explicit TRFilterEdit(QWidget* parent = nullptr);

    QString ValidChars() const { return ValidChars_; }
    // Nothing happens when text equals ValidChars. Otherwise a bracketed text is stored and its set replaces
    // the field's set; any other text is stored as "Invalid Format " + text and the set stays as it was.
    // The text already in the field is left as it is.
    void SetValidChars(const QString& text);

    bool RequiredField() const { return RequiredField_; }
    // When set, moving the focus to another control of the window while the field is empty shows the warning
    // and puts the focus back into the field.
    void SetRequiredField(bool required) { RequiredField_ = required; }

    const TCharSet& ValidSet() const { return ValidSet_; }

    // Whether the user may enter c here: not a control character, one that code page 950 can hold (the
    // code page every text is stored in), and, when the set is not empty, a code below 256 in the set.
    bool Admits(char32_t c) const;
    // text without the characters that Admits refuses.
    QString FilterText(QStringView text) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Inserts the admitted part of the clipboard's text in place of the selection.
    void PasteFiltered(QClipboard::Mode mode);
    // Runs after the focus has left the field: warns and takes the focus back while the field is empty.
    void CheckRequired();

    QString ValidChars_;
    TCharSet ValidSet_;
    bool RequiredField_ = false;
    bool RequiredCheckPending_ = false;
};

}  // namespace tamber::ui
