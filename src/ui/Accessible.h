// What assistive technology (a screen reader) is told about the windows: the
// names of entry fields after their labels, and the month calendar as a
// table of cells that read as the date and its figures.
#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace tamber::ui {

// A caption as a name to be read out: without the blanks that spread it
// over the label's width ("計 劃 類 別" reads "計劃類別").
QString SpokenCaption(const QString& caption);

// Makes Label the label of Field: its buddy, and the field's accessible name
// (also of the edit of an editable combo box).
void NameAfterLabel(QWidget* field, QLabel* label);

// Lets assistive technology see the calendar control's cells; installed once,
// on the first call.
void InstallCalendarAccessibility();

}  // namespace tamber::ui
