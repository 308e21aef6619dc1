// What a user sees: figures and grid texts shown whole, the editor's buttons in place, the toolkit's texts in Chinese.
#include "UiTestSupport.h"
#include "ui/UiTexts.h"
#include "ui/catchup.h"

using namespace tamber;
using namespace tamber::ui;

namespace {

// The pixels Text needs in Control (a grid's Column; a calendar's amount line, or with Column 1 its month average;
// a label) and the pixels it gets there.
std::pair<int, int> NeedAndRoom(QWidget* control, int column, const QString& text) {
    if (auto* calendar = qobject_cast<TDrawCalendar*>(control)) {
        // Right-aligned 2 pixels (the average 4) from the cell's right edge, 1 (2) from its left.
        const QFont font = calendar->FigureFont(text, column == 1);
        return {QFontMetrics(font).horizontalAdvance(text) + (column == 1 ? 6 : 3), calendar->DefaultColWidth()};
    }
    if (auto* grid = qobject_cast<QTableWidget*>(control)) {
        // Inside the focus frame margin plus one pixel on each side; the grid line takes one.
        const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
        return {QFontMetrics(grid->font()).horizontalAdvance(text) + 2 * margin + 1, grid->columnWidth(column)};
    }
    auto* label = qobject_cast<QLabel*>(control);
    return {QFontMetrics(label->font()).horizontalAdvance(text) + label->indent(), label->contentsRect().width()};
}

// Each command button of the editor with its place and size in the editor.
QStringList ButtonPlaces(TForm2& editor) {
    QStringList places;
    for (QPushButton* b : editor.findChildren<QPushButton*>())
        places << b->objectName() + QVariant(QRect(b->mapTo(&editor, QPoint()), b->size())).toString();
    return places;
}

template <class... T>
bool IsAny(const QObject* o) {
    return (qobject_cast<const T*>(o) || ...);
}

// The fields, lists and grids of Window without a name for a screen reader. The parts of a spin box, a list or a grid
// (its edit, its headings) speak through it; an editable combo box's edit holds the focus and is read itself.
QStringList Nameless(QWidget* window) {
    QStringList nameless;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        QWidget* up = w->parentWidget();
        while (up != window && !IsAny<QAbstractSpinBox, QAbstractItemView>(up) && !(IsAny<QComboBox>(up) && !IsAny<QLineEdit>(w))) up = up->parentWidget();
        if (up == window && IsAny<QLineEdit, QComboBox, QAbstractSpinBox, QAbstractItemView>(w) && w->accessibleName().isEmpty()) nameless << window->objectName() + '/' + w->objectName();
    }
    return nameless;
}

}  // namespace

class LooksTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    test::TScriptedPrompts prompts_;
    const QDate today_{2026, 12, 6};
    std::unique_ptr<TForm1> main_;
    std::unique_ptr<TForm2> editor_;

private slots:
    void initTestCase() {
        const auto today = [this] { return today_; };
        main_ = std::make_unique<TForm1>(TForm1::TOptions{dir_.filePath("Tamber98.ini").toStdString(), &prompts_, today});
        main_->resize(1024, 768);
        main_->show();
        editor_ = std::make_unique<TForm2>(main_->Book(), main_->State(), TForm2::TOptions{&prompts_, today});
        editor_->show();
        QCoreApplication::processEvents();
    }

    void figuresAndGridTextsShowWhole() {
        const struct {
            const char* What;
            QWidget* Window;
            const char* Control;
            int Column;
            QString Text;
        } fits[] = {
            {"a calendar balance of 2,000,001,000", main_.get(), "DrawCalendar1", 0, QStringLiteral("2,000,001,000")},
            {"the smallest month average", main_.get(), "DrawCalendar1", 1, QStringLiteral("-2,147,483,648")},
            {"the largest month total", main_.get(), "IncomeLabel", -1, QStringLiteral("66,571,993,057")},
            {"a day's amount", main_.get(), "StringGrid1", 1, QStringLiteral("-2147483648")},
            {"the longest kind", editor_.get(), "StringGrid1", 0, QStringLiteral("定存／存本取息(單利)")},
            {"a previewed running total", editor_.get(), "PreviewGrid", 3, QStringLiteral("-2,147,483,648,000")},
        };
        for (const auto& fit : fits) {
            const auto [need, room] = NeedAndRoom(fit.Window->findChild<QWidget*>(fit.Control), fit.Column, fit.Text);
            QVERIFY2(need <= room, qPrintable(QStringLiteral("%1: needs %2, gets %3").arg(fit.What).arg(need).arg(room)));
        }
        // A figure that fits keeps the normal size; the wide ones above are drawn smaller.
        QCOMPARE(main_->Calendar().FigureFont(QStringLiteral("76,800"), false), main_->Calendar().TextFont());
    }

    // A click meant for "新增" must never land on "清過時計劃", whatever page the kind, the club's bidding or the
    // period shows.
    void editorButtonsStayWhereTheyAreOnEveryPage() {
        const QStringList first = ButtonPlaces(*editor_);
        QCOMPARE(first.size(), 6);
        const auto same = [&](const QString& after) {
            QCoreApplication::processEvents();
            QVERIFY2(ButtonPlaces(*editor_) == first, qPrintable(after));
        };
        for (int kind = 0; kind < kPlanKindCount; ++kind) {
            editor_->findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setCurrentIndex(kind);
            same(PlanKindCaption(kind));
        }
        editor_->findChild<QRadioButton*>(QStringLiteral("RadioButton5"))->click();
        same(QStringLiteral("內標"));
        for (int period : {prOnce, prEveryNDays, prTwiceMonthly, prThriceMonthly, prMonthly}) {
            editor_->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(period);
            same(PeriodKindCaption(period));
        }
    }

    void everyFieldListAndGridOfEveryWindowHasAName() {
        TPendingList pending = {{0, 1, EncodeDate(2026, 12, 1), "100", "房租"}};
        TForm5 catchUp(pending, EncodeDate(2026, 11, 30), 0, prompts_);
        TForm4 chart(
            main_->Book(), 0, [this] { return today_; }, &prompts_);
        QStringList nameless;
        for (QWidget* window : std::initializer_list<QWidget*>{main_.get(), editor_.get(), &catchUp, &chart}) nameless << Nameless(window);
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QStringLiteral(", "))));
    }

    void toolkitTextsAreInTraditionalChinese() {
        QVERIFY(LoadToolkitTranslations(*qApp));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
        qDeleteAll(qApp->findChildren<QTranslator*>());  // the other window tests read the toolkit's own texts
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<LooksTest>();
#include "LooksTest.moc"
