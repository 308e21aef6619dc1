// What a user sees and a screen reader reads: figures and grid texts shown
// whole, the editor's buttons in one place whatever page is shown, the top
// band's scroll bars in the system's colours, the splash window painted
// until the main window is there, the toolkit's own texts in Chinese, and a
// name on every field. The calendar's accessible cells are pinned by
// DrawCalendarTest, the names read through AT-SPI by a11y-check.py.
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "About.h"
#include "ChartUnit.h"
#include "DrawCalendar.h"
#include "Exports.h"
#include "Input.h"
#include "Main.h"
#include "RFEdit.h"
#include "UiTestSupport.h"
#include "UiTexts.h"
#include "catchup.h"
#include "init.h"

using namespace tamber;
using namespace tamber::ui;

namespace {

QString ShortDate(int y, int m, int d) { return QLocale().toString(QDate(y, m, d), QLocale::ShortFormat); }

// A text and the control that shows it: a grid's column, a calendar figure
// (column 0 an amount line, 1 the month average) or a label (column -1).
struct TFit {
    const char* What;
    bool InEditor;
    const char* Control;
    int Column;
    QString Text;
};

// The pixels Fit's text needs where it is shown, and the pixels it gets there.
std::pair<int, int> NeedAndRoom(QWidget* window, const TFit& fit) {
    QWidget* control = window->findChild<QWidget*>(QString::fromLatin1(fit.Control));
    if (!control) qFatal("no control %s", fit.Control);
    if (auto* calendar = qobject_cast<TDrawCalendar*>(control)) {
        // Drawn right-aligned 2 pixels (the average 4) from the right edge, kept 1 (2) from the left.
        const bool average = fit.Column == 1;
        const QFont font = calendar->FigureFont(fit.Text, average);
        return {QFontMetrics(font).horizontalAdvance(fit.Text) + (average ? 6 : 3), calendar->DefaultColWidth()};
    }
    if (auto* grid = qobject_cast<QTableWidget*>(control)) {
        // The item's text lies inside the focus frame margin plus one pixel on each side; the grid line takes one.
        const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
        return {QFontMetrics(grid->font()).horizontalAdvance(fit.Text) + 2 * margin + 1, grid->columnWidth(fit.Column)};
    }
    auto* label = qobject_cast<QLabel*>(control);
    return {QFontMetrics(label->font()).horizontalAdvance(fit.Text) + std::max(label->indent(), 0), label->contentsRect().width()};
}

// Where each command button of the editor is, in the editor's coordinates.
QStringList ButtonPlaces(TForm2& editor) {
    QStringList places;
    for (QPushButton* button : editor.findChildren<QPushButton*>()) {
        const QPoint at = button->mapTo(&editor, QPoint());
        places << QStringLiteral("%1 %2,%3 %4x%5").arg(button->objectName()).arg(at.x()).arg(at.y()).arg(button->width()).arg(button->height());
    }
    return places;
}

// Entry fields, combo boxes, spin boxes and grids of Window without an
// accessible name. The edit of a spin box, the list of a combo box and a
// grid's headings speak through the control they are part of; the edit of
// an editable combo box has the focus and is read on its own.
QStringList Nameless(QWidget* window) {
    QStringList nameless;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w) && !qobject_cast<QAbstractSpinBox*>(w) &&
            !qobject_cast<QAbstractItemView*>(w)) {
            continue;
        }
        bool part = false;
        for (QWidget* up = w->parentWidget(); up && up != window; up = up->parentWidget()) {
            part = part || qobject_cast<QAbstractSpinBox*>(up) || qobject_cast<QAbstractItemView*>(up) ||
                   (qobject_cast<QComboBox*>(up) && !qobject_cast<QLineEdit*>(w));
        }
        if (!part && w->accessibleName().isEmpty()) nameless << window->objectName() + QLatin1Char('/') + w->objectName();
    }
    return nameless;
}

}  // namespace

class LooksTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    test::TScriptedPrompts prompts_;
    const QDate today_{2026, 12, 6};

    std::unique_ptr<TForm1> MakeMainWindow() {
        TForm1::TOptions options;
        options.SettingsFile = (dir_.path() + QStringLiteral("/Tamber98.ini")).toStdString();
        options.Prompts = &prompts_;
        options.Today = [this] { return today_; };
        auto w = std::make_unique<TForm1>(options);
        w->resize(1024, 768);
        w->show();
        return w;
    }
    std::unique_ptr<TForm2> MakeEditor(TForm1& main) {
        auto editor = std::make_unique<TForm2>(main.Book(), main.State(), TForm2::TOptions{&prompts_, [this] { return today_; }});
        editor->show();
        return editor;
    }

private slots:
    void figuresAndGridTextsShowWhole() {
        auto main = MakeMainWindow();
        auto editor = MakeEditor(*main);
        QCoreApplication::processEvents();
        const TFit fits[] = {
            {"a calendar balance of 2,000,001,000", false, "DrawCalendar1", 0, QStringLiteral("2,000,001,000")},
            {"the smallest calendar amount", false, "DrawCalendar1", 0, QStringLiteral("-2,147,483,648")},
            {"the smallest month average", false, "DrawCalendar1", 1, QStringLiteral("-2,147,483,648")},
            {"the largest month total", false, "IncomeLabel", -1, QStringLiteral("66,571,993,057")},
            {"a day's amount", false, "StringGrid1", 1, QStringLiteral("-2147483648")},
            {"a remaining period", false, "StringGrid2", 0, QStringLiteral("3652059")},
            {"a remaining period's date", false, "StringGrid2", 1, ShortDate(2027, 12, 28)},
            {"a remaining period's amount", false, "StringGrid2", 2, QStringLiteral("-2147483648")},
            {"the longest kind", true, "StringGrid1", 0, QStringLiteral("定存／存本取息(單利)")},
            {"a start date in January", true, "StringGrid1", 2, ShortDate(2026, 1, 10)},
            {"a start date in December", true, "StringGrid1", 2, ShortDate(2026, 12, 10)},
            {"the longest period", true, "StringGrid1", 3, QStringLiteral("每兩個月一次")},
            {"a plan's amount", true, "StringGrid1", 4, QStringLiteral("-2147483648")},
            {"a plan's periods", true, "StringGrid1", 5, QStringLiteral("3652059")},
            {"a previewed date", true, "PreviewGrid", 1, ShortDate(2026, 12, 28)},
            {"a previewed amount", true, "PreviewGrid", 2, QStringLiteral("-2,147,483,648")},
            {"a previewed running total", true, "PreviewGrid", 3, QStringLiteral("-2,147,483,648,000")},
        };
        for (const TFit& fit : fits) {
            const auto [need, room] = NeedAndRoom(fit.InEditor ? static_cast<QWidget*>(editor.get()) : main.get(), fit);
            QVERIFY2(need <= room, qPrintable(QStringLiteral("%1: needs %2, gets %3").arg(fit.What).arg(need).arg(room)));
        }
        // A figure that fits keeps the normal size; one that does not is drawn
        // smaller, not cut: below the day number's box the cell's first
        // column of pixels stays bare.
        TDrawCalendar& calendar = main->Calendar();
        QCOMPARE(calendar.FigureFont(QStringLiteral("76,800"), false), calendar.TextFont());
        const TCellPos day12 = calendar.DayToCell(12);
        calendar.MonthData().Cell(day12).Balance = -2'000'001'000;
        calendar.SetShowBalance(true);
        const QImage drawn = calendar.grab(calendar.CellRect(day12.Column, day12.Row)).toImage();
        for (int y = drawn.height() / 2; y < drawn.height(); ++y) QCOMPARE(drawn.pixel(0, y), drawn.pixel(0, drawn.height() - 1));
    }

    void editorButtonsStayWhereTheyAreOnEveryPage() {
        auto main = MakeMainWindow();
        auto editor = MakeEditor(*main);
        TForm2& e = *editor;
        const auto kind = [&e](int k) { e.findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setCurrentIndex(k); };
        const auto period = [&e](int p) { e.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(p); };
        const std::pair<const char*, std::function<void()>> steps[] = {
            {"fixed flow", [&] { kind(pkFixAccount); }},
            {"savings club, outer bidding", [&] { kind(pkCollect); }},
            {"savings club, inner bidding", [&] { e.findChild<QRadioButton*>(QStringLiteral("RadioButton5"))->click(); }},
            {"simple deposit", [&] { kind(pkSaving); }},
            {"compound deposit", [&] { kind(pkCompound); }},
            {"loan", [&] { kind(pkLoan); }},
            {"once only", [&] { period(prOnce); }},
            {"every few days", [&] { period(prEveryNDays); }},
            {"twice a month", [&] { period(prTwiceMonthly); }},
            {"three times a month", [&] { period(prThriceMonthly); }},
            {"a schedule in the preview",
             [&] {
                 kind(pkFixAccount);
                 period(prMonthly);
                 e.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit1"))->setText(QStringLiteral("12"));
                 e.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit6"))->setText(QStringLiteral("100"));
                 e.UpdatePreview();
             }},
            {"cleared", [&] { e.Button3Click(); }},
        };
        QCoreApplication::processEvents();
        const QStringList first = ButtonPlaces(e);
        QCOMPARE(first.size(), 6);
        for (const auto& [what, step] : steps) {
            step();
            QCoreApplication::processEvents();
            QVERIFY2(ButtonPlaces(e) == first, what);
        }
        QCOMPARE(e.findChild<QTableWidget*>(QStringLiteral("PreviewGrid"))->rowCount(), 12);
    }

    void bandScrollBarsLookLikeEveryOther() {
        auto main = MakeMainWindow();
        for (const char* name : {"ScrollBar1", "ScrollBar2", "ScrollBar3"}) {
            auto* bar = main->findChild<QScrollBar*>(QString::fromLatin1(name));
            QVERIFY2(bar->palette() == QApplication::palette(bar), name);
        }
    }

    void splashIsPaintedAndStaysUntilTheMainWindowShows() {
        TSplashForm splash;
        splash.ShowPainted();
        QVERIFY(splash.Painted());
        QWidget main;
        main.show();
        QVERIFY(splash.isVisible());
        splash.Finish(main);
        QVERIFY(main.windowHandle()->isExposed());
        QVERIFY(!splash.isVisible());
    }

    void everyFieldGridAndListHasANameFromItsLabel() {
        auto main = MakeMainWindow();
        auto editor = MakeEditor(*main);
        TPlanBookState state;
        TForm3 balance(state, [this] { return today_; }, prompts_);
        TPendingList pending = {{0, 1, EncodeDate(2026, 12, 1), "100", "房租"}};
        TForm5 catchUp(pending, EncodeDate(2026, 11, 30), 0, prompts_);
        TForm4 chart(main->Book(), 0, [this] { return today_; }, &prompts_);
        TExportSpanDialog span({today_, today_.addYears(1)}, today_, today_.addYears(35));
        span.setObjectName(QStringLiteral("ExportSpan"));
        QStringList nameless;
        for (QWidget* window : std::initializer_list<QWidget*>{main.get(), editor.get(), &balance, &catchUp, &chart, &span}) {
            nameless << Nameless(window);
        }
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QStringLiteral(", "))));
        // Read without the blanks that spread a caption over its label.
        QStringList names;
        for (const char* field : {"ComboBox2", "ComboBox1", "RFilterEdit1", "RFilterEdit7", "RFilterEdit13"}) {
            names << editor->findChild<QWidget*>(QString::fromLatin1(field))->accessibleName();
        }
        QCOMPARE(names, (QStringList{"計劃類別", "期別", "期數", "金額", "年利率"}));
        QCOMPARE(catchUp.findChild<QWidget*>(QStringLiteral("RFilterEdit1"))->accessibleName(), QStringLiteral("第 1 項金額"));
    }

    // Last: the translations stay installed for the rest of the run.
    void toolkitTextsAreInTraditionalChinese() {
        QVERIFY(LoadToolkitTranslations(*qApp));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    }
};

QTEST_MAIN(LooksTest)
#include "LooksTest.moc"
