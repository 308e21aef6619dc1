#include "Grids.h"

#include <QDate>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>
#include <limits>

#include "Ledger.h"
#include "UiTexts.h"

namespace tamber::ui {

QStringList ShortDateSamples(const QLocale& locale) {
    QStringList dates;
    for (const int year : {2000, 8888}) {
        for (int month = 1; month <= 12; ++month) dates << locale.toString(QDate(year, month, 28), QLocale::ShortFormat);
    }
    return dates;
}

QStringList KindNameSamples() {
    return PlanKindCaptions() + QStringList{QStringLiteral("固定收入"), QStringLiteral("固定支出")};
}

QString PlainAmountSample() {
    return QString::number(std::numeric_limits<int32_t>::min());
}

QString GroupedAmountSample(int64_t factor) {
    return QString::fromStdString(FormatMonthTotal(int64_t{std::numeric_limits<int32_t>::min()} * factor));
}

QString PeriodNumberSample() {
    // A plan falling due every day from 1 January of the year 1 to 31 December 9999.
    return QString::number(QDate(1, 1, 1).daysTo(QDate(9999, 12, 31)) + 1);
}

QString DescriptionSample() {
    return QString(10, QChar(0x570B));
}

int CellWidthFor(const QTableWidget& grid, const QString& text) {
    // The item view draws its text inside the style's focus frame margin plus
    // one pixel on each side; the grid line takes one pixel of the column.
    const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    return QFontMetrics(grid.font()).horizontalAdvance(text) + 2 * margin + (grid.showGrid() ? 1 : 0);
}

QTableWidget* MakeGrid(QWidget* parent, const QString& name, int rows, const QStringList& headings,
                       const std::vector<QStringList>& samples) {
    auto* grid = new QTableWidget(rows, static_cast<int>(headings.size()), parent);
    grid->setObjectName(name);
    grid->setHorizontalHeaderLabels(headings);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(20);
    QHeaderView* header = grid->horizontalHeader();
    header->setFixedHeight(20);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    for (int c = 0; c < grid->columnCount(); ++c) {
        int width = header->sectionSizeHint(c);
        if (static_cast<std::size_t>(c) < samples.size()) {
            for (const QString& text : samples[static_cast<std::size_t>(c)]) width = std::max(width, CellWidthFor(*grid, text));
        }
        grid->setColumnWidth(c, width);
    }
    header->setStretchLastSection(true);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return grid;
}

}  // namespace tamber::ui
