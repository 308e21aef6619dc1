#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <qcustomplot.h>

#include "UiTestSupport.h"
#include "ui/ChartUnit.h"
#include "ui/DrawCalendar.h"
#include "ui/Input.h"
#include "ui/Main.h"
#include "ui/QtDates.h"
#include "ui/RFEdit.h"

using namespace tamber;
using namespace tamber::ui;
using test::Flow;
using test::Ymd;

// The look-ahead line of the main window, the chart's lowest point and the plan editor's preview.
class LookAheadUiTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    test::TScriptedPrompts prompts_;
    const QDate today_{2026, 3, 10};

private slots:
    void mainWindowLineShowsAndMovesToItsDays() {
        // Each case presses one part (Enter or Space) and finds its day selected on the calendar.
        struct Case {
            const char* what;
            int32_t opening;
            std::vector<TPlanRecord> plans;
            QString lowest, overdraft;
            bool red;
            const char* press;
            QDate day;
        };
        const Case cases[] = {
            {"below zero in 2030, lowest in 2036", 5000, {Flow(8, Ymd(2030, 1, 1), 1, -6000), Flow(8, Ymd(2030, 2, 1), 1, 1000), Flow(8, Ymd(2036, 7, 20), 1, -12345)}, QStringLiteral("最低結存 -12,345 (2036/7/20)"), QStringLiteral("首次透支 2030/1/1"), true, "OverdraftButton", {2030, 1, 1}},
            {"never below zero", 0, {Flow(5, Ymd(2026, 4, 1), 12, 100)}, QStringLiteral("最低結存 0 (2026/3/10)"), QStringLiteral("35 年內不會透支"), false, "LowestButton", {2026, 3, 10}},
            {"a balance leaving 32 bits", 2147483000, {Flow(8, Ymd(2027, 1, 5), 1, 9000)}, QStringLiteral("結存超出範圍: 2027/1/5 起"), QString(), true, "LowestButton", {2027, 1, 5}},
        };
        for (const Case& c : cases) {
            TForm1 w({(dir_.path() + QStringLiteral("/Tamber98.ini")).toStdString(), &prompts_, [this] { return today_; }});
            for (const TPlanRecord& rec : c.plans) w.Book().Append(CreateFrom(pkFixAccount, rec));
            w.State().OpeningBalance = c.opening;
            w.FormActivate();  // recomputed on every activation
            auto* lowest = w.findChild<QPushButton*>(QStringLiteral("LowestButton"));
            QCOMPARE(lowest->accessibleName(), c.lowest);
            QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("OverdraftButton"))->text(), c.overdraft);
            QCOMPARE(lowest->palette().color(QPalette::ButtonText) == QColor(Qt::red), c.red);
            auto* pressed = w.findChild<QPushButton*>(QString::fromLatin1(c.press));
            pressed->setFocus();
            QTest::keyClick(pressed, c.red ? Qt::Key_Return : Qt::Key_Space);
            QCOMPARE(w.Calendar().SelectedDate(), FromQDate(c.day));
            QCOMPARE(w.findChild<QScrollBar*>(QStringLiteral("ScrollBar3"))->value(), c.day.month() - 1);
        }
    }

    void chartMarksTheLowestPointOfTheInterval() {
        TPlanBook book;
        book.Append(CreateFrom(pkFixAccount, Flow(8, Ymd(2026, 3, 12), 1, -1500)));
        book.Append(CreateFrom(pkFixAccount, Flow(8, Ymd(2026, 3, 14), 1, 3000)));
        TForm4 w(
            book, 1000, [this] { return today_; }, &prompts_);
        w.findChild<QDateEdit*>(QStringLiteral("DateEdit1"))->setDate(today_);
        w.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit1"))->setText(QStringLiteral("5"));
        w.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(0);  // days
        w.ShowChart();
        auto* mark = w.Chart()->findChild<QCPItemTracer*>(QStringLiteral("LowestMark"));
        auto* label = w.Chart()->findChild<QCPItemText*>(QStringLiteral("LowestLabel"));
        QVERIFY(mark->visible());
        QCOMPARE(mark->position->coords(), QPointF(Ymd(2026, 3, 12), -500));
        QCOMPARE(label->text(), QStringLiteral("最低 -500"));
        // Four steps on, 12 and 13 March have scrolled off: the first of equal days.
        for (int step = 0; step < 4; ++step) w.Timer1Timer();
        QCOMPARE(mark->position->coords(), QPointF(Ymd(2026, 3, 14), 2500));
        QCOMPARE(label->text(), QStringLiteral("最低 2,500"));
    }

    void editorPreviewListsEachKindsSchedule() {
        TPlanBook book;
        TPlanBookState state;
        TForm2 w(book, state, {&prompts_, [this] { return today_; }});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
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
            QStringList last;
            QString notes;
        };
        const Case cases[] = {
            {"a fixed expense", fields(pkFixAccount, "3", [](TPlanFields& f) { f.FixAmount = "500"; f.Income = false; }), 3, {"3", "2026/5/10", "-500", "-1,500"}, ""},
            {"a savings club won at the third meeting", fields(pkCollect, "5", [](TPlanFields& f) { f.ClubAmount = "1000", f.BaseBid = f.WinningBid = f.AboveBaseTotal = "0", f.WinningPeriod = "3"; }), 5, {"5", "2026/7/10", "-1,000", "0"}, ""},
            {"a deposit paying interest monthly", fields(pkSaving, "3", [](TPlanFields& f) { f.SavingAmount = "12000", f.SavingRate = "10"; }), 3, {"3", "2026/5/10", "12,100", "200"}, "總收入 12,200　總支出 -12,000"},
            {"a compound deposit in and out in one sum",
             fields(pkCompound, "2", [](TPlanFields& f) { f.CompoundAmount = "10000", f.CompoundRate = "12"; }),
             2,
             {"2", "2026/4/10", "10,100", "100"},
             "總收入 10,100　總支出 -10,000"},
            {"a loan of equal principal instalments", fields(pkLoan, "4", [](TPlanFields& f) { f.LoanAmount = "30000", f.LoanRate = "12", f.EqualInstalments = false; }), 4, {"4", "2026/6/10", "-10,200", "-900"}, "總收入 30,000　總支出 -30,900"},
            {"more periods than the preview lists", fields(pkFixAccount, "1500", [](TPlanFields& f) { f.PeriodIndex = prEveryNDays, f.IntervalDays = "1", f.FixAmount = "1"; }), 1000, {"1000", "2028/12/3", "1", "1,000"}, "只列出前 1,000 期, 共 1,500 期"},
            {"no rate yet: nothing", fields(pkLoan, "4", [](TPlanFields& f) { f.LoanAmount = "30000"; }), 0, {}, ""},
        };
        auto* grid = w.findChild<QTableWidget*>(QStringLiteral("PreviewGrid"));
        for (const Case& c : cases) {
            w.SetFields(c.fields);
            w.UpdatePreview();
            QCOMPARE(grid->rowCount(), c.rows);
            QStringList last;
            for (int col = 0; c.rows > 0 && col < grid->columnCount(); ++col) last << grid->item(c.rows - 1, col)->text();
            QCOMPARE(last, c.last);
            QCOMPARE(w.findChild<QLabel*>(QStringLiteral("PreviewNotes"))->text(), c.notes);
        }
        // A field's change redraws the preview a moment later.
        w.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit17"))->setText(QStringLiteral("12"));
        QTRY_COMPARE(grid->rowCount(), 4);
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<LookAheadUiTest>();
#include "LookAheadUiTest.moc"
