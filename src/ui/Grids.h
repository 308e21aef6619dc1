// The grids of the main window and the plan editor: fixed-height rows under a
// heading row, one whole row selected at a time, and every column wide enough
// for the longest text it can hold, the last one taking the width left.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QTableWidget;
class QWidget;

namespace tamber::ui {

// The longest texts a column of each kind can hold, as the grids write them.
QStringList ShortDateSamples(const QLocale& locale);  // short dates with two-digit months and days
QStringList KindNameSamples();                        // plan kind names and "固定收入", "固定支出"
QString PlainAmountSample();                          // -2147483648
QString GroupedAmountSample(int64_t factor = 1);      // -2,147,483,648 times Factor
QString PeriodNumberSample();                         // the most periods a plan can have
QString DescriptionSample();                          // ten characters; longer descriptions are cut

// The pixels a column of Grid needs to show Text whole in the grid's font,
// with the margins the style keeps around it and the grid line.
int CellWidthFor(const QTableWidget& grid, const QString& text);

// A grid of Rows data rows under Headings, each column as wide as the widest
// of its heading and its Samples; columns can be resized by the user, and the
// last one stretches to the grid's width.
QTableWidget* MakeGrid(QWidget* parent, const QString& name, int rows, const QStringList& headings,
                       const std::vector<QStringList>& samples);

}  // namespace tamber::ui
