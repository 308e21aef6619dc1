// The chart window: the balance line, ticked plans' bars, the lowest point, the dynamic display, the mouse readout.
#include <qcustomplot.h>

#include "UiTestSupport.h"

using namespace tamber;
using namespace tamber::ui;
using namespace tamber::test;

class ChartTest : public QObject {
    Q_OBJECT

    static constexpr int32_t kOpening = 1000;
    // A series as "day:value" pairs.
    template <class Series>
    static QStringList Points(Series* series) {
        QStringList points;
        for (const auto& point : *series->data()) points << QStringLiteral("%1:%2").arg(ToQDate(point.key).day()).arg(point.value, 0, 'f', 0);
        return points;
    }
    TScriptedPrompts prompts_;
    TPlanBook book_;

    // Today 10 March 2026; plans: +500 on the 12th monthly, -300 on the 1st (no description), -70 once on 20 March.
    std::unique_ptr<TForm4> MakeWindow(const std::vector<TPlanRecord>& plans = {Flow(prMonthly, Ymd(2026, 1, 12), 24, 500, "薪水"), Flow(prMonthly, Ymd(2026, 1, 1), 24, -300),
                                                                                Flow(prOnce, Ymd(2026, 3, 20), 1, -70, "A每月房屋貸款繳款")}) {
        book_ = MakeBook(plans);
        return std::make_unique<TForm4>(
            book_, kOpening, [] { return QDate(2026, 3, 10); }, &prompts_);
    }
    static void Set(TForm4& w, QDate start, const QString& count, const QString& unit, std::initializer_list<int> ticked = {}) {
        Get<QDateEdit>(&w, "DateEdit1")->setDate(start);
        Get<TRFilterEdit>(&w, "RFilterEdit1")->setText(count);
        Get<QComboBox>(&w, "ComboBox1")->setCurrentText(unit);
        for (const int plan : ticked) Get<QListWidget>(&w, "CheckListBox1")->item(plan)->setCheckState(Qt::Checked);
    }

private slots:
    void init() { prompts_ = TScriptedPrompts(); }

    void opensWithEveryPlanListedAndNothingCharted() {
        auto w = MakeWindow();
        auto* list = Get<QListWidget>(w.get(), "CheckListBox1");
        QCOMPARE(std::tuple(w->windowTitle(), list->count(), list->item(1)->text() + list->item(2)->text(), list->item(0)->checkState()),
                 std::tuple(QStringLiteral("圖表"), 3, QStringLiteral("  (300)A每月房屋貸款繳款  (70)"), Qt::Unchecked));
        // A plan's name leaves out the character its tenth byte would split.
        QCOMPARE(std::tuple(w->Chart()->plottableCount(), w->PlanSeries(2)->name(), w->Chart()->legend->visible()), std::tuple(5, QStringLiteral("A每月房屋"), false));
        const QString fields = Text(w.get(), "RFilterEdit1") + Text(w.get(), "ComboBox1") + Text(w.get(), "Button1");
        const bool running = Get<QCheckBox>(w.get(), "CheckBox1")->isChecked() || w->Running();
        QCOMPARE(std::tuple(Get<QDateEdit>(w.get(), "DateEdit1")->date(), fields, running), std::tuple(QDate(1997, 11, 1), QStringLiteral("1月顯示圖表"), false));
    }

    // The line starts at today's opening balance and adds every occurrence up to each day; ticked plans add bars.
    void theCountAndUnitGiveTheDaysCharted() {
        auto w = MakeWindow();
        Set(*w, QDate(2026, 3, 1), QStringLiteral("361"), QStringLiteral("月"));  // at most 360 months
        Click(w.get(), "Button1");
        QCOMPARE(std::tuple(Points(w->BalanceSeries()).size(), Points(w->BalanceSeries()).front(), Text(w.get(), "RFilterEdit1")),
                 std::tuple(10800, QStringLiteral("1:700"), QStringLiteral("360")));     // before today: the opening balance, then that day's rent
        Set(*w, QDate(2026, 3, 1), QStringLiteral("20"), QStringLiteral("日"), {1, 2});  // 1 to 20 March
        Click(w.get(), "Button1");
        QCOMPARE(std::tuple(w->Chart()->legend->itemCount(), w->PlanSeries(1)->name(), Points(w->PlanSeries(0)) + Points(w->PlanSeries(1)) + Points(w->PlanSeries(2))),
                 std::tuple(2, QStringLiteral("(300)"), QStringList{"1:-300", "20:-70"}));
        QCOMPARE(Points(w->BalanceSeries()).mid(10, 2) + Points(w->BalanceSeries()).mid(19), (QStringList{"11:700", "12:1200", "20:1130"}));
        QCOMPARE(std::tuple(w->Chart()->xAxis->range().lower, w->Chart()->xAxis->range().upper, w->Chart()->yAxis->range().contains(-300) && w->Chart()->yAxis->range().contains(1200)),
                 std::tuple(Ymd(2026, 3, 1) - 0.5, Ymd(2026, 3, 20) + 0.5, true));
        Set(*w, QDate(2026, 3, 1), QString(), QStringLiteral("日"));
        Click(w.get(), "Button1");  // no count: said so, and nothing charted, no empty legend frame
        QCOMPARE(std::tuple(prompts_.Errors, w->BalanceSeries()->data()->size(), w->Chart()->legend->visible()),
                 std::tuple(QStringList{"'' is not a valid integer value"}, 0, false));
    }

    // The lowest point of the charted days is marked with its value; after a step the first of equal days.
    void theLowestPointIsMarked() {
        auto w = MakeWindow({Once(Ymd(2026, 3, 12), -1500), Once(Ymd(2026, 3, 14), 3000)});
        Set(*w, QDate(2026, 3, 10), QStringLiteral("5"), QStringLiteral("日"));
        w->ShowChart();
        auto* mark = w->Chart()->findChild<QCPItemTracer*>(QStringLiteral("LowestMark"));
        const auto lowest = [&] { return std::tuple(mark->position->coords(), w->Chart()->findChild<QCPItemText*>(QStringLiteral("LowestLabel"))->text(), mark->visible()); };
        QCOMPARE(lowest(), std::tuple(QPointF(Ymd(2026, 3, 12), -500), QStringLiteral("最低 -500"), true));
        for (int step = 0; step < 4; ++step) w->Timer1Timer();  // 12 and 13 March have scrolled off
        QCOMPARE(lowest(), std::tuple(QPointF(Ymd(2026, 3, 14), 2500), QStringLiteral("最低 2,500"), true));
    }

    void theDynamicDisplayMovesADayAtATime() {
        auto w = MakeWindow();
        Get<QCheckBox>(w.get(), "CheckBox1")->setChecked(true);
        Set(*w, QDate(2026, 3, 1), QStringLiteral("11"), QStringLiteral("日"), {0, 1});  // 1 to 11 March
        Click(w.get(), "Button1");
        w->Timer1Timer();  // now 2 to 12 March: the salary on the new last day, the rent's bar drops off
        QCOMPARE(std::tuple(w->Running(), Text(w.get(), "Button1"), Points(w->BalanceSeries()).size(), Points(w->BalanceSeries()).mid(9), Points(w->PlanSeries(0)) + Points(w->PlanSeries(1))),
                 std::tuple(true, QStringLiteral("暫停"), 11, QStringList{"11:700", "12:1200"}, QStringList{"12:500"}));
        Get<QListWidget>(w.get(), "CheckListBox1")->item(0)->setCheckState(Qt::Unchecked);
        for (int i = 0; i < 3; ++i) w->Timer1Timer();
        Click(w.get(), "Button1");  // pause keeps the chart
        QCOMPARE(std::tuple(w->Running(), Text(w.get(), "Button1"), Points(w->BalanceSeries()).first()),
                 std::tuple(false, QStringLiteral("顯示圖表"), QStringLiteral("5:700")));
        Click(w.get(), "Button1");  // showing again draws from the advanced date
        QCOMPARE(std::tuple(w->Running(), w->Line()->ChartStartDate(), Points(w->PlanSeries(0)).size()),
                 std::tuple(true, Ymd(2026, 3, 5), qsizetype(0)));
        QTRY_COMPARE_WITH_TIMEOUT(Get<QDateEdit>(w.get(), "DateEdit1")->date(), QDate(2026, 3, 6), 2500);  // once a second
        w->show();
        Click(w.get(), "Button2");
        QVERIFY(!w->isVisible() && !w->Running() && !w->Line());
        book_.Append(CreateFrom(Broken(Ymd(2026, 3, 12))));  // a plan that cannot be computed is told, and stops the display
        w = std::make_unique<TForm4>(
            book_, kOpening, [] { return QDate(2026, 3, 10); }, &prompts_);
        Get<QCheckBox>(w.get(), "CheckBox1")->setChecked(true);
        Set(*w, QDate(2026, 3, 1), QStringLiteral("1"), QStringLiteral("月"));
        Click(w.get(), "Button1");
        QCOMPARE(std::tuple(prompts_.Errors.size(), w->Running(), w->BalanceSeries()->data()->size()), std::tuple(qsizetype(1), false, 0));
    }

    void theMouseReadsThePointUnderIt() {
        auto w = MakeWindow();
        Set(*w, QDate(2026, 3, 1), QStringLiteral("20"), QStringLiteral("日"), {0});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        Click(w.get(), "Button1");
        auto* swatch = Get<QFrame>(w.get(), "Shape1");
        const auto at = [&](TDate day, double value) { return QPointF(w->Chart()->xAxis->coordToPixel(day), w->Chart()->yAxis->coordToPixel(value)); };
        const auto readout = [&] { return QStringList{Text(w.get(), "Label3"), Text(w.get(), "Label4"), Text(w.get(), "Label5")}; };
        w->ChartMouseMove(at(Ymd(2026, 3, 12), 250));  // inside the salary bar (0 to 500)
        QCOMPARE(readout(), (QStringList{w->locale().toString(QDate(2026, 3, 12), QLocale::ShortFormat), "500", "薪水"}));
        QCOMPARE(std::pair(swatch->isVisible(), swatch->palette().color(QPalette::Window)), std::pair(true, PlanSeriesColor(0)));
        w->ChartMouseMove(at(Ymd(2026, 3, 5), 700) + QPointF(1, 2));  // near a point of the line
        QCOMPARE(std::pair(readout().mid(1), swatch->palette().color(QPalette::Window)), std::pair(QStringList{"700", "Balance"}, QColor(Qt::red)));
        QTest::mouseMove(w->Chart(), at(Ymd(2026, 3, 5), 300).toPoint());  // empty chart space clears the readout
        QTRY_COMPARE(std::pair(readout(), swatch->isHidden()), std::pair(QStringList{"", "", ""}, true));
        Set(*w, QDate(2026, 3, 1), QStringLiteral("1"), QStringLiteral("年"));
        Click(w.get(), "Button1");
        w->ChartMouseMove(at(Ymd(2026, 3, 16), 1200) + QPointF(0, 3));  // a year's points a pixel or two apart: the nearest
        QCOMPARE(readout().first(), w->locale().toString(QDate(2026, 3, 16), QLocale::ShortFormat));
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<ChartTest>();
#include "ChartTest.moc"
