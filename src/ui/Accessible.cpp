#include "ui/Accessible.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QWindow>

#include <array>

#include "ui/DrawCalendar.h"

namespace tamber::ui {
namespace {

constexpr int kRows = TCalendarMonth::kRows;
constexpr int kColumns = TCalendarMonth::kColumns;
constexpr int kCells = kRows * kColumns;

// One cell of the calendar: a weekday heading in row 0, a day, a blank cell
// or the summary cell in the week rows 1..6.
class TCalendarCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    TCalendarCell(TDrawCalendar* calendar, int row, int column) : Calendar_(calendar), Row_(row), Column_(column) {}

    bool isValid() const override { return !Calendar_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return Calendar_ ? Calendar_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(Calendar_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return Calendar_ && t == QAccessible::Name ? Calendar_->CellSpeech(Column_, Row_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!Calendar_) return {};
        const QRect cell = Calendar_->CellRect(Column_, Row_);
        return {Calendar_->mapToGlobal(cell.topLeft()), cell.size()};
    }
    QAccessible::Role role() const override { return Row_ == 0 ? QAccessible::ColumnHeader : QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!Calendar_) {
            state.invalid = true;
            return state;
        }
        state.invisible = !Calendar_->isVisible();
        state.selectable = state.focusable = Row_ > 0 && !Calendar_->CellText(Column_, Row_).isEmpty();
        state.selected = isSelected();
        state.focused = state.selected && Calendar_->hasFocus();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface && Row_ > 0 ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    bool isSelected() const override { return Calendar_ && Calendar_->CurrentCell() == TCellPos{Row_, Column_}; }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        QAccessibleInterface* calendar = parent();
        return calendar ? QList<QAccessibleInterface*>{calendar->child(Column_)} : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return Column_; }
    int rowIndex() const override { return Row_ - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    int Index() const { return Row_ * kColumns + Column_; }

private:
    QPointer<TDrawCalendar> Calendar_;
    int Row_;
    int Column_;
};

// The calendar as a table of six weeks by seven days, its children the 49
// cells row by row with the weekday headings first; the current cell is the
// focused one.
class TCalendarTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TCalendarTable(TDrawCalendar* calendar) : QAccessibleWidget(calendar, QAccessible::Table) {}
    ~TCalendarTable() override {
        for (QAccessible::Id id : Cells_) {
            if (id != 0) QAccessible::deleteAccessibleInterface(id);
        }
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return QAccessibleWidget::text(t);
        return QStringLiteral("月曆 %1年%2月").arg(Calendar()->Year()).arg(Calendar()->Month());
    }
    int childCount() const override { return kCells; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= kCells) return nullptr;
        QAccessible::Id& id = Cells_[static_cast<std::size_t>(index)];
        if (id == 0)
            id = QAccessible::registerAccessibleInterface(new TCalendarCell(Calendar(), index / kColumns, index % kColumns));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = dynamic_cast<const TCalendarCell*>(child);
        return cell && cell->table() == this ? cell->Index() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = Calendar()->mapFromGlobal(QPoint(x, y));
        for (int index = 0; index < kCells; ++index) {
            if (Calendar()->CellRect(index % kColumns, index / kColumns).contains(at)) return child(index);
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override { return Calendar()->hasFocus() ? child(CurrentIndex()) : nullptr; }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || row >= kRows - 1 || column < 0 || column >= kColumns) return nullptr;
        return child((row + 1) * kColumns + column);
    }
    int selectedCellCount() const override { return 1; }
    QList<QAccessibleInterface*> selectedCells() const override { return {child(CurrentIndex())}; }
    QString columnDescription(int column) const override { return Calendar()->CellSpeech(column, 0); }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return kColumns; }
    int rowCount() const override { return kRows - 1; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    TDrawCalendar* Calendar() const { return static_cast<TDrawCalendar*>(widget()); }
    int CurrentIndex() const { return Calendar()->CurrentCell().Row * kColumns + Calendar()->CurrentCell().Column; }

    mutable std::array<QAccessible::Id, kCells> Cells_{};
};

QAccessibleInterface* CalendarFactory(const QString&, QObject* object) {
    auto* calendar = qobject_cast<TDrawCalendar*>(object);
    return calendar ? new TCalendarTable(calendar) : nullptr;
}

}  // namespace

QString SpokenCaption(const QString& caption) {
    QString spoken = caption;
    spoken.remove(QLatin1Char(' '));
    spoken.remove(QChar(0x3000));  // the full-width blank
    return spoken;
}

void NameAfterLabel(QWidget* field, QLabel* label) {
    label->setBuddy(field);
    const QString name = SpokenCaption(label->text());
    field->setAccessibleName(name);
    // An editable combo box takes the focus in its edit, which is read on its own.
    if (auto* box = qobject_cast<QComboBox*>(field); box && box->lineEdit()) box->lineEdit()->setAccessibleName(name);
}

void InstallCalendarAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(CalendarFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace tamber::ui
