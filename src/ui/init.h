// TForm3: the balance adjustment dialog "調整本日結存". The user overwrites the
// opening balance; when a plan file is open, its header record takes the new
// balance with yesterday as the balance date at once.
#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>

#include "PlanBook.h"

namespace tamber::ui {

class TPrompts;
class TRFilterEdit;

// The message of a balance text that is not a signed 32-bit whole number.
QString NotAnAmountMessage(const QString& text);

class TForm3 : public QDialog {
    Q_OBJECT
public:
    // State is the main window's: OpeningBalance is shown and set, PlanFileName
    // says which file's header to rewrite. Today (required) gives the main
    // window's date; Prompts tells conversion and file errors.
    TForm3(TPlanBookState& state, std::function<QDate()> today, TPrompts& prompts, QWidget* parent = nullptr);

    // Shows OpeningBalance in the edit; runs every time the dialog is shown.
    void FormActivate();

    // Saves the whole book as the save command does (asking the user what to
    // do with a file someone else changed); false when nothing was written.
    std::function<bool()> SaveBook;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // "確定": a text that is no amount is reported and changes nothing. Else
    // OpeningBalance takes the value and the open file's header is rewritten;
    // when that fails the error is shown (the file keeps its header), the
    // state is marked modified so that closing offers to save, and the
    // dialog stays open. A file someone else changed since it was loaded or
    // saved gets no header of ours: the book is marked modified and SaveBook
    // runs.
    void Button1Click();

    TPlanBookState& State_;
    std::function<QDate()> Today_;
    TPrompts& Prompts_;
    TRFilterEdit* Edit_ = nullptr;
};

}  // namespace tamber::ui
