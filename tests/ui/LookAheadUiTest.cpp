#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <qcustomplot.h>

#include "ChartUnit.h"
#include "DrawCalendar.h"
#include "Input.h"
#include "Main.h"
#include "QtDates.h"
#include "RFEdit.h"
#include "UiTestSupport.h"

using namespace tamber;
using namespace tamber::ui;
using test::Day;
using test::Flow;

// The look-ahead line of the main window, the lowest point of the chart and
// the plan editor's preview of a schedule.
class LookAheadUiTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    test::TScriptedPrompts prompts_;
    const QDate today_{2026, 3, 10};

    std::unique_ptr<TForm1> MainWindow(int32_t opening, const std::vector<TPlanRecord>& plans) {
        TForm1::TOptions options;
        options.SettingsFile = (dir_.path() + QStringLiteral("/Tamber98.ini")).toStdString();
        options.Prompts = &prompts_;
        options.Today = [this] { return today_; };
        auto w = std::make_unique<TForm1>(options);
        for (const TPlanRecord& rec : plans) w->Book().Append(CreateFrom(pkFixAccount, rec));
        w->State().OpeningBalance = opening;
        w->FormActivate();
        return w;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::Taiwan)); }

    void mainWindowLineShowsAndMovesToItsDays() {
        struct Case {
            const char* what;
            int32_t opening;
            std::vector<TPlanRecord> plans;
            QString lowest, overdraft;
            bool lowestRed;
            QDate lowestDay;
        };
        const Case cases[] = {
            {"a dip below zero in ten years", 5000, {Flow(8, Day(2036, 7, 20), 1, -17345), Flow(8, Day(2036, 8, 1), 1, 20000)},
             QStringLiteral("最低結存 -12,345 (2036/7/20)"), QStringLiteral("首次透支 2036/7/20"), true, {2036, 7, 20}},
            {"never below zero", 0, {Flow(5, Day(2026, 4, 1), 12, 100)},
             QStringLiteral("最低結存 0 (2026/3/10)"), QStringLiteral("35 年內不會透支"), false, {2026, 3, 10}},
            {"a balance leaving 32 bits", 2147483000, {Flow(8, Day(2027, 1, 5), 1, 9000)},
             QStringLiteral("結存超出範圍: 2027/1/5 起"), QString(), true, {2027, 1, 5}},
        };
        for (const Case& c : cases) {
            auto w = MainWindow(c.opening, c.plans);
            auto* lowest = w->findChild<QPushButton*>(QStringLiteral("LowestButton"));
            auto* overdraft = w->findChild<QPushButton*>(QStringLiteral("OverdraftButton"));
            QVERIFY2(lowest->text() == c.lowest, qPrintable(lowest->text()));
            QCOMPARE(lowest->accessibleName(), c.lowest);
            QCOMPARE(overdraft->text(), c.overdraft);
            QCOMPARE(overdraft->isVisibleTo(w.get()), !c.overdraft.isEmpty());
            QCOMPARE(lowest->palette().color(QPalette::ButtonText) == QColor(Qt::red), c.lowestRed);
            // Space on the focused part, as a keyboard user reaches it.
            lowest->setFocus();
            QTest::keyClick(lowest, Qt::Key_Space);
            QCOMPARE(w->Calendar().SelectedDate(), FromQDate(c.lowestDay));
            QCOMPARE(w->findChild<QLabel*>(QStringLiteral("YearLabel"))->text().toInt(), c.lowestDay.year());
            QCOMPARE(w->findChild<QScrollBar*>(QStringLiteral("ScrollBar3"))->value(), c.lowestDay.month() - 1);
        }
        // Enter on the overdraft part moves the calendar to its day as well.
        auto w = MainWindow(0, {Flow(8, Day(2030, 2, 3), 1, -1), Flow(8, Day(2031, 1, 1), 1, -5)});
        auto* overdraft = w->findChild<QPushButton*>(QStringLiteral("OverdraftButton"));
        overdraft->setFocus();
        QTest::keyClick(overdraft, Qt::Key_Return);
        QCOMPARE(w->Calendar().SelectedDate(), Day(2030, 2, 3));
        // A plan added later is counted at the next activation.
        w->Book().Append(CreateFrom(pkFixAccount, Flow(8, Day(2026, 3, 20), 1, -2)));
        w->FormActivate();
        QCOMPARE(overdraft->text(), QStringLiteral("首次透支 2026/3/20"));
    }

    void chartMarksTheLowestPointOfTheInterval() {
        TPlanBook book;
        book.Append(CreateFrom(pkFixAccount, Flow(8, Day(2026, 3, 12), 1, -1500)));
        book.Append(CreateFrom(pkFixAccount, Flow(8, Day(2026, 3, 14), 1, 3000)));
        TForm4 w(book, 1000, [this] { return today_; }, &prompts_);
        w.findChild<QDateEdit*>(QStringLiteral("DateEdit1"))->setDate(QDate(2026, 3, 10));
        w.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit1"))->setText(QStringLiteral("5"));
        w.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(0);  // days
        w.ShowChart();
        auto* mark = w.Chart()->findChild<QCPItemTracer*>(QStringLiteral("LowestMark"));
        auto* label = w.Chart()->findChild<QCPItemText*>(QStringLiteral("LowestLabel"));
        QVERIFY(mark->visible());
        QCOMPARE(mark->position->coords(), QPointF(Day(2026, 3, 12), -500));
        QCOMPARE(label->text(), QStringLiteral("最低 -500"));
        // Four steps on, 12 and 13 March have scrolled off: the lowest is the first of equal days.
        for (int step = 0; step < 4; ++step) w.Timer1Timer();
        QCOMPARE(mark->position->coords(), QPointF(Day(2026, 3, 14), 2500));
        QCOMPARE(label->text(), QStringLiteral("最低 2,500"));
    }

    void editorPreviewListsEachKindsSchedule() {
        TPlanBook book;
        TPlanBookState state;
        TForm2 w(book, state, {&prompts_, [this] { return today_; }});
        w.resize(1000, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect buttonsAt = w.findChild<QPushButton*>(QStringLiteral("Button1"))->geometry();
        const QSize size = w.size();
        const auto fields = [&](int kind, const char* count, auto&& set) {
            TPlanFields f;
            f.KindIndex = kind;
            f.PeriodIndex = prMonthly;
            f.PeriodCount = count;
            f.StartDate = FromQDate(today_);
            set(f);
            return f;
        };
        struct Case {
            const char* what;
            TPlanFields fields;
            int rows;
            QStringList first, last;
            QString notes;
        };
        const Case cases[] = {
            {"a fixed expense", fields(pkFixAccount, "3", [](TPlanFields& f) { f.FixAmount = "500"; f.Income = false; }), 3,
             {"1", "2026/3/10", "-500", "-500"}, {"3", "2026/5/10", "-500", "-1,500"}, ""},
            {"a savings club won at the third meeting",
             fields(pkCollect, "5", [](TPlanFields& f) { f.ClubAmount = "1000"; f.BaseBid = "0"; f.WinningBid = "0"; f.WinningPeriod = "3"; f.AboveBaseTotal = "0"; }),
             5, {"1", "2026/3/10", "-1,000", "-1,000"}, {"5", "2026/7/10", "-1,000", "0"}, ""},
            {"a deposit paying interest monthly",
             fields(pkSaving, "3", [](TPlanFields& f) { f.SavingAmount = "12000"; f.SavingRate = "10"; }), 3,
             {"1", "2026/3/10", "-12,000", "-12,000"}, {"3", "2026/5/10", "12,100", "200"}, "總收入 12,200　總支出 -12,000"},
            {"a compound deposit in and out in one sum",
             fields(pkCompound, "2", [](TPlanFields& f) { f.CompoundAmount = "10000"; f.CompoundRate = "12"; }), 2,
             {"1", "2026/3/10", "-10,000", "-10,000"}, {"2", "2026/4/10", "10,100", "100"}, "總收入 10,100　總支出 -10,000"},
            {"a loan of equal principal instalments",
             fields(pkLoan, "4", [](TPlanFields& f) { f.LoanAmount = "30000"; f.LoanRate = "12"; f.EqualInstalments = false; }), 4,
             {"1", "2026/3/10", "30,000", "30,000"}, {"4", "2026/6/10", "-10,200", "-900"}, "總收入 30,000　總支出 -30,900"},
            {"more periods than the preview lists",
             fields(pkFixAccount, "1500", [](TPlanFields& f) { f.PeriodIndex = prEveryNDays; f.IntervalDays = "1"; f.FixAmount = "1"; }),
             1000, {"1", "2026/3/10", "1", "1"}, {"1000", "2028/12/3", "1", "1,000"}, "只列出前 1,000 期, 共 1,500 期"},
            {"fields that make no plan yet: nothing", fields(pkLoan, "4", [](TPlanFields& f) { f.LoanAmount = "30000"; }), 0, {}, {},
             ""},
        };
        auto* grid = w.findChild<QTableWidget*>(QStringLiteral("PreviewGrid"));
        const auto row = [&](int r) {
            QStringList texts;
            for (int c = 0; c < grid->columnCount(); ++c) texts << grid->item(r, c)->text();
            return texts;
        };
        for (const Case& c : cases) {
            w.SetFields(c.fields);
            w.UpdatePreview();
            QCOMPARE(grid->rowCount(), c.rows);
            if (c.rows > 0) {
                QCOMPARE(row(0), c.first);
                QCOMPARE(row(c.rows - 1), c.last);
            }
            QCOMPARE(w.findChild<QLabel*>(QStringLiteral("PreviewNotes"))->text(), c.notes);
            QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("Button1"))->geometry(), buttonsAt);
            QCOMPARE(w.size(), size);
        }
        // A change of a field redraws the preview shortly after.
        w.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit17"))->setText(QStringLiteral("12"));
        QTRY_COMPARE(grid->rowCount(), 4);
    }
};

QTEST_MAIN(LookAheadUiTest)
#include "LookAheadUiTest.moc"
