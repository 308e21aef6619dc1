// The main window's commands that take the plans out of the program: the
// shown month printed or written as PDF, and the occurrences of a span of
// days as an iCalendar file; and the dialog that asks for that span.
#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

#include "Prompts.h"

class QDateEdit;

namespace tamber::ui {

class TForm1;

// Save dialog filters of the exports.
inline const QString kPdfFilter = QStringLiteral("PDF 文件 (*.pdf)");
inline const QString kCalendarFilter = QStringLiteral("行事曆 (*.ics)");

// "列印...": the print preview of the calendar's month, printed from there.
void PrintCommand(TForm1& mainWindow, TPrompts& prompts);
// "匯出 PDF...": the same pages as a PDF file of the name asked for.
void ExportPdfCommand(TForm1& mainWindow, TPrompts& prompts);
// "匯出行事曆...": asks for the span (from today, 12 months) and a file name,
// then writes the span's occurrences as an iCalendar file.
// Errors of each command are shown through Prompts; a file is written whole or not at all.
void ExportCalendarCommand(TForm1& mainWindow, TPrompts& prompts);

// The span dialog: "從" and "到" date pickers limited to Earliest..Latest, the
// second never before the first.
class TExportSpanDialog : public QDialog {
    Q_OBJECT
public:
    TExportSpanDialog(const TDateSpan& proposed, QDate earliest, QDate latest, QWidget* parent = nullptr);
    TDateSpan Span() const;

private:
    QDateEdit* From_ = nullptr;
    QDateEdit* To_ = nullptr;
};

}  // namespace tamber::ui
