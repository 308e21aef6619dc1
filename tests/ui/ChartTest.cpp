// The chart window: what its controls feed into the trend line, the bars of
// ticked plans, the dynamic display, pause and the mouse readout. The trend
// figures and plan titles themselves are pinned by the book's trend tests,
// the count field's bad input by BadInputTest.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <qcustomplot.h>

#include "ui/ChartUnit.h"
#include "ui/RFEdit.h"
#include "UiTestSupport.h"

using namespace tamber;
using namespace tamber::ui;
using tamber::test::Day;
using tamber::test::Flow;

namespace {

template <class T = QWidget>
T* Get(QWidget* window, const char* name) {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
}

// A series as "key:value" pairs, keys as day numbers.
template <class Series>
QStringList PointsOf(Series* series) {
    QStringList points;
    for (auto it = series->data()->constBegin(); it != series->data()->constEnd(); ++it)
        points << QStringLiteral("%1:%2").arg(it->key, 0, 'f', 0).arg(it->value, 0, 'f', 0);
    return points;
}
QString Point(TDate day, double value) { return QStringLiteral("%1:%2").arg(day, 0, 'f', 0).arg(value, 0, 'f', 0); }

}  // namespace

class ChartTest : public QObject {
    Q_OBJECT

    const QDate today_{2026, 3, 10};
    static constexpr int32_t kOpening = 1000;
    test::TScriptedPrompts prompts_;
    TPlanBook book_;

    std::unique_ptr<TForm4> MakeWindow() {
        return std::make_unique<TForm4>(book_, kOpening, [this] { return today_; }, &prompts_);
    }
    static void Set(TForm4& w, QDate start, const QString& count, const QString& unit) {
        Get<QDateEdit>(&w, "DateEdit1")->setDate(start);
        Get<TRFilterEdit>(&w, "RFilterEdit1")->setText(count);
        auto* units = Get<QComboBox>(&w, "ComboBox1");
        units->setCurrentIndex(units->findText(unit));
    }
    static void Tick(TForm4& w, int plan, bool ticked = true) {
        Get<QListWidget>(&w, "CheckListBox1")->item(plan)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
    static QString Caption(TForm4& w) { return Get<QPushButton>(&w, "Button1")->text(); }
    static QString Text(TForm4& w, const char* label) { return Get<QLabel>(&w, label)->text(); }
    static QStringList LegendTitles(TForm4& w) {
        QStringList titles;
        for (int i = 0; i < w.Chart()->legend->itemCount(); ++i)
            titles << qobject_cast<QCPPlottableLegendItem*>(w.Chart()->legend->item(i))->plottable()->name();
        return titles;
    }
    static QPointF PixelOf(TForm4& w, double key, double value) {
        return {w.Chart()->xAxis->coordToPixel(key), w.Chart()->yAxis->coordToPixel(value)};
    }

private slots:
    // Today 10 March 2026. Plan 0: +500 on the 12th of every month from
    // January; plan 1: -300 on the 1st, no description; plan 2: -70 once on 20 March.
    void init() {
        prompts_.Errors.clear();
        book_.Clear();
        book_.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 1, 12), 24, 500, "薪水")));
        book_.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 1, 1), 24, -300)));
        book_.Append(CreateFrom(pkFixAccount, Flow(prOnce, Day(2026, 3, 20), 1, -70, "每月房屋貸款繳款")));
    }

    void openingState() {
        auto w = MakeWindow();
        QCOMPARE(w->windowTitle(), QStringLiteral("圖表"));
        auto* list = Get<QListWidget>(w.get(), "CheckListBox1");
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text() + "|" + list->item(1)->text(), QStringLiteral("薪水  (500)|  (300)"));
        // The balance line, the template and one bar series per plan, each in its own colour; no legend yet.
        QCOMPARE(w->Chart()->plottableCount(), 5);
        const QList<QColor> taken{w->BalanceSeries()->pen().color(), w->TemplateSeries()->brush().color(), w->PlanSeries(0)->brush().color(),
                                  w->PlanSeries(1)->brush().color(), w->PlanSeries(2)->brush().color()};
        for (const QColor& c : taken) QCOMPARE(taken.count(c), 1);
        QCOMPARE(w->Chart()->legend->itemCount(), 0);
        // Start 1 November 1997, one month, not dynamic.
        QCOMPARE(Get<QDateEdit>(w.get(), "DateEdit1")->date(), QDate(1997, 11, 1));
        QCOMPARE(Get<TRFilterEdit>(w.get(), "RFilterEdit1")->text() + Get<QComboBox>(w.get(), "ComboBox1")->currentText(), QStringLiteral("1月"));
        QVERIFY(!Get<QCheckBox>(w.get(), "CheckBox1")->isChecked());
        QCOMPARE(Caption(*w), QStringLiteral("顯示圖表"));
    }

    void upDownStepsTheNumberInTheField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after");
        QTest::newRow("up from the number typed") << "5" << "Up" << "6";
        QTest::newRow("down from the number typed") << "5" << "Down" << "4";
        QTest::newRow("no wrap at the top") << "7300" << "Up" << "7300";
        QTest::newRow("no wrap at the bottom") << "1" << "Down" << "1";
        QTest::newRow("a number above the range comes back into it") << "9000" << "Down" << "7299";
        QTest::newRow("an empty field steps from the position") << "" << "Up" << "2";
    }
    void upDownStepsTheNumberInTheField() {
        QFETCH(QString, field);
        QFETCH(QString, button);
        QFETCH(QString, after);
        auto w = MakeWindow();
        Get<TRFilterEdit>(w.get(), "RFilterEdit1")->setText(field);
        QTest::mouseClick(Get<TUpDown>(w.get(), "UpDown1")->findChild<QToolButton*>(button), Qt::LeftButton);
        QCOMPARE(Get<TRFilterEdit>(w.get(), "RFilterEdit1")->text(), after);
    }

    void startCountAndUnitShapeTheLine_data() {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("firstBalance");
        QTest::newRow("1 month charts 30 days") << QDate(2026, 3, 10) << "1" << "月" << 30 << 1000.0;
        QTest::newRow("2 years chart 730 days") << QDate(2026, 3, 10) << "2" << "年" << 730 << 1000.0;
        QTest::newRow("45 days") << QDate(2026, 3, 10) << "45" << "日" << 45 << 1000.0;
        QTest::newRow("after today: the 12th's salary and 20th's payment first") << QDate(2026, 3, 25) << "10" << "日" << 10 << 1430.0;
    }
    void startCountAndUnitShapeTheLine() {
        QFETCH(QDate, start);
        QFETCH(QString, count);
        QFETCH(QString, unit);
        QFETCH(int, points);
        QFETCH(double, firstBalance);
        auto w = MakeWindow();
        Set(*w, start, count, unit);
        w->Button1Click();
        QCOMPARE(w->BalanceSeries()->data()->size(), points);
        QCOMPARE(w->BalanceSeries()->data()->constBegin()->key, Day(start.year(), start.month(), start.day()));
        QCOMPARE(w->BalanceSeries()->data()->constBegin()->value, firstBalance);
        QVERIFY(prompts_.Errors.isEmpty());
    }

    void tickedPlansAddSignedBarsAndUntickedOnesStillMoveTheLine() {
        auto w = MakeWindow();
        Tick(*w, 1);
        Tick(*w, 2);
        Set(*w, QDate(2026, 3, 1), QStringLiteral("20"), QStringLiteral("日"));  // 1 to 20 March
        w->Button1Click();
        QCOMPARE(LegendTitles(*w), (QStringList{"(300)", "每月房屋貸"}));
        QVERIFY(w->Chart()->legend->visible());
        QCOMPARE(PointsOf(w->PlanSeries(0)), QStringList());
        QCOMPARE(PointsOf(w->PlanSeries(1)), QStringList{Point(Day(2026, 3, 1), -300)});   // the first charted day
        QCOMPARE(PointsOf(w->PlanSeries(2)), QStringList{Point(Day(2026, 3, 20), -70)});   // the last charted day
        const QStringList line = PointsOf(w->BalanceSeries());
        QCOMPARE(line[0], Point(Day(2026, 3, 1), 700));  // before today: the opening balance, then that day's rent
        QCOMPARE(line[11], Point(Day(2026, 3, 12), 1200));  // the unticked salary
        QCOMPARE(line.last(), Point(Day(2026, 3, 20), 1130));
        QCOMPARE(w->TemplateSeries()->data()->size(), 0);

        Tick(*w, 1, false);  // unticking takes the plan out at the next chart
        w->Button1Click();
        QCOMPARE(LegendTitles(*w), QStringList{"每月房屋貸"});
        QVERIFY(w->PlanSeries(1)->data()->isEmpty());

        Get<TRFilterEdit>(w.get(), "RFilterEdit1")->clear();  // no count: nothing charted, no empty legend frame
        w->Button1Click();
        QVERIFY(!w->Chart()->legend->visible());
    }

    void emptyBookGivesAFlatLine() {
        book_.Clear();
        auto w = MakeWindow();
        QCOMPARE(Get<QListWidget>(w.get(), "CheckListBox1")->count(), 0);
        QCOMPARE(w->Chart()->plottableCount(), 2);
        Set(*w, QDate(2027, 1, 1), QStringLiteral("1"), QStringLiteral("年"));
        w->Button1Click();
        QCOMPARE(w->BalanceSeries()->data()->size(), 365);
        for (auto it = w->BalanceSeries()->data()->constBegin(); it != w->BalanceSeries()->data()->constEnd(); ++it)
            QCOMPARE(it->value, double(kOpening));
    }

    void dynamicStepThenPauseThenShowThenExit() {
        auto w = MakeWindow();
        Tick(*w, 0);
        Tick(*w, 1);
        Get<QCheckBox>(w.get(), "CheckBox1")->setChecked(true);
        Set(*w, QDate(2026, 3, 1), QStringLiteral("11"), QStringLiteral("日"));  // 1 to 11 March
        w->Button1Click();
        QVERIFY(w->Running());
        QCOMPARE(Caption(*w), QStringLiteral("暫停"));
        const QStringList before = PointsOf(w->BalanceSeries());

        w->Timer1Timer();  // now 2 to 12 March: salary on the new last day, rent's bar drops off
        QCOMPARE(Get<QDateEdit>(w.get(), "DateEdit1")->date(), QDate(2026, 3, 2));
        const QStringList after = PointsOf(w->BalanceSeries());
        QCOMPARE(after.mid(0, 10), before.mid(1));
        QCOMPARE(after.last(), Point(Day(2026, 3, 12), before.last().section(':', 1).toDouble() + 500));
        QCOMPARE(PointsOf(w->PlanSeries(0)), QStringList{Point(Day(2026, 3, 12), 500)});
        QVERIFY(w->PlanSeries(1)->data()->isEmpty());

        Tick(*w, 0, false);  // an unticked plan's bars are left as they are
        for (int i = 0; i < 3; ++i) w->Timer1Timer();
        QCOMPARE(PointsOf(w->PlanSeries(0)).size(), 1);

        // Pause keeps the chart; showing again draws from the advanced date.
        w->Button1Click();
        QVERIFY(!w->Running());
        QCOMPARE(Caption(*w), QStringLiteral("顯示圖表"));
        QCOMPARE(w->BalanceSeries()->data()->constBegin()->key, Day(2026, 3, 5));
        w->Button1Click();
        QVERIFY(w->Running());
        QCOMPARE(w->Line()->ChartStartDate(), Day(2026, 3, 5));
        QCOMPARE(w->BalanceSeries()->data()->size(), 11);
        QVERIFY(w->PlanSeries(0)->data()->isEmpty());

        // The timer steps once a second until "離開" ends it.
        QTRY_COMPARE_WITH_TIMEOUT(Get<QDateEdit>(w.get(), "DateEdit1")->date(), QDate(2026, 3, 6), 2500);
        w->show();
        QTest::mouseClick(Get<QPushButton>(w.get(), "Button2"), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QVERIFY(!w->Running());
        QVERIFY(!w->Line());
    }

    void mouseReadout() {
        auto w = MakeWindow();
        Tick(*w, 0);
        Set(*w, QDate(2026, 3, 1), QStringLiteral("20"), QStringLiteral("日"));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->Button1Click();
        auto* swatch = Get<QFrame>(w.get(), "Shape1");
        const auto readout = [&] { return QStringList{Text(*w, "Label3"), Text(*w, "Label4"), Text(*w, "Label5")}; };

        w->ChartMouseMove(PixelOf(*w, Day(2026, 3, 12), 250));  // inside the salary bar (0 to 500)
        QCOMPARE(readout(), (QStringList{w->locale().toString(QDate(2026, 3, 12), QLocale::ShortFormat), "500", "薪水"}));
        QVERIFY(swatch->isVisible());
        QCOMPARE(swatch->palette().color(QPalette::Window), PlanSeriesColor(0));

        w->ChartMouseMove(PixelOf(*w, Day(2026, 3, 5), 700) + QPointF(1, 2));  // near a line point
        QCOMPARE(readout().mid(1), (QStringList{"700", "Balance"}));
        QCOMPARE(swatch->palette().color(QPalette::Window), QColor(Qt::red));

        // A real mouse move over empty chart space clears the readout.
        QTest::mouseMove(w->Chart(), PixelOf(*w, Day(2026, 3, 5), 300).toPoint());
        QTRY_COMPARE(Text(*w, "Label5"), QString());
        QCOMPARE(Text(*w, "Label3"), QString());
        QVERIFY(swatch->isHidden());
    }

    void planThatCannotBeComputedIsReported() {
        TPlanRecord bad = Flow(prEveryNDays, Day(2026, 3, 12), 10, -1, "壞");
        bad.Amount = INT32_MIN;
        book_.Append(CreateFrom(pkFixAccount, bad));
        auto w = MakeWindow();
        Get<QCheckBox>(w.get(), "CheckBox1")->setChecked(true);
        Set(*w, QDate(2026, 3, 1), QStringLiteral("1"), QStringLiteral("月"));
        w->Button1Click();
        QCOMPARE(prompts_.Errors.size(), 1);
        QVERIFY(!w->Running());
        QVERIFY(w->BalanceSeries()->data()->isEmpty());
    }
};

QTEST_MAIN(ChartTest)
#include "ChartTest.moc"