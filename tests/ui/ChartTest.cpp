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

#include "Big5.h"
#include "ChartUnit.h"
#include "Prompts.h"
#include "RFEdit.h"

using namespace tamber;
using namespace tamber::ui;

namespace {

class TScriptedPrompts : public TPrompts {
public:
    QStringList Errors;
    QString OpenPlanFileName(QWidget*) override { return {}; }
    QString SavePlanFileName(QWidget*) override { return {}; }
    void ShowError(QWidget*, const QString& message) override { Errors << message; }
    void AskToSaveChanges(QWidget*, const std::function<bool()>&) override {}
};

TDate Day(int y, int m, int d) {
    return EncodeDate(y, m, d);
}

TPlanRecord Record(int periodKind, TDate start, int count, int32_t amount, int direction, const char* description) {
    TPlanRecord rec = ZeroPlanRecord();
    rec.PeriodKind = static_cast<uint8_t>(periodKind);
    rec.StartDate = start;
    rec.PeriodCount = count;
    rec.IntervalDays = 1;
    rec.Amount = amount;
    rec.Direction = direction;
    SetDescriptionBytes(rec, Utf8ToBig5(description).Bytes);
    return rec;
}

struct TPoint {
    double Key, Value;
};

template <class Series>
QList<TPoint> PointsOf(Series* series) {
    QList<TPoint> points;
    for (auto it = series->data()->constBegin(); it != series->data()->constEnd(); ++it) points.append({it->key, it->value});
    return points;
}

}  // namespace

class ChartTest : public QObject {
    Q_OBJECT

    const QDate today_{2026, 3, 10};
    static constexpr int32_t kOpening = 1000;
    TScriptedPrompts prompts_;
    TPlanBook book_;

    // Today 10 March 2026. Plan 0: salary on the 12th of every month from
    // January; plan 1: rent on the 1st, no description; plan 2: once on 20 March.
    void FillBook() {
        book_.Clear();
        book_.Append(CreateFrom(pkFixAccount, Record(prMonthly, Day(2026, 1, 12), 24, 500, 1, "薪水")));
        book_.Append(CreateFrom(pkFixAccount, Record(prMonthly, Day(2026, 1, 1), 24, 300, -1, "")));
        book_.Append(CreateFrom(pkFixAccount, Record(prOnce, Day(2026, 3, 20), 1, 70, -1, "每月房屋貸款繳款")));
    }

    std::unique_ptr<TForm4> MakeWindow() {
        return std::make_unique<TForm4>(book_, kOpening, [this] { return today_; }, &prompts_);
    }

    static void Set(TForm4& w, QDate start, const QString& count, const QString& unit) {
        w.findChild<QDateEdit*>(QStringLiteral("DateEdit1"))->setDate(start);
        w.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit1"))->setText(count);
        auto* units = w.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        units->setCurrentIndex(units->findText(unit));
    }
    static void Tick(TForm4& w, int plan, bool ticked = true) {
        w.findChild<QListWidget*>(QStringLiteral("CheckListBox1"))->item(plan)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
    static QString Caption(TForm4& w) { return w.findChild<QPushButton*>(QStringLiteral("Button1"))->text(); }
    static QString Text(TForm4& w, const char* label) { return w.findChild<QLabel*>(QString::fromLatin1(label))->text(); }
    static QStringList LegendTitles(TForm4& w) {
        QStringList titles;
        for (int i = 0; i < w.Chart()->legend->itemCount(); ++i) {
            titles << qobject_cast<QCPPlottableLegendItem*>(w.Chart()->legend->item(i))->plottable()->name();
        }
        return titles;
    }
    static QPointF PixelOf(TForm4& w, double key, double value) {
        return {w.Chart()->xAxis->coordToPixel(key), w.Chart()->yAxis->coordToPixel(value)};
    }

private slots:
    void init() {
        prompts_.Errors.clear();
        FillBook();
    }

    void openingState() {
        auto w = MakeWindow();
        QCOMPARE(w->objectName(), QStringLiteral("TForm4"));
        QCOMPARE(w->windowTitle(), QStringLiteral("圖表"));
        for (const char* name : {"GroupBox1", "GroupBox2", "CheckListBox1", "DateEdit1", "RFilterEdit1", "UpDown1", "ComboBox1",
                                 "CheckBox1", "Button1", "Button2", "Label3", "Label4", "Label5", "Shape1", "Timer1"}) {
            QVERIFY2(w->findChild<QObject*>(QString::fromLatin1(name)), name);
        }
        auto* list = w->findChild<QListWidget*>(QStringLiteral("CheckListBox1"));
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text(), QStringLiteral("薪水  (500)"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("  (300)"));
        for (int i = 0; i < 3; ++i) QCOMPARE(list->item(i)->checkState(), Qt::Unchecked);
        // The balance line, the template and one bar series per plan, titled for the legend.
        QCOMPARE(w->Chart()->plottableCount(), 5);
        QCOMPARE(w->BalanceSeries()->name(), QStringLiteral("Balance"));
        QCOMPARE(w->PlanSeries(0)->name(), QStringLiteral("薪水"));
        QCOMPARE(w->PlanSeries(1)->name(), QStringLiteral("(300)"));
        QCOMPARE(w->PlanSeries(2)->name(), QStringLiteral("每月房屋貸"));
        const QList<QColor> taken{w->BalanceSeries()->pen().color(), w->TemplateSeries()->brush().color(),
                                  w->PlanSeries(0)->brush().color(), w->PlanSeries(1)->brush().color(),
                                  w->PlanSeries(2)->brush().color()};
        for (int i = 0; i < taken.size(); ++i) QCOMPARE(taken.count(taken[i]), 1);
        QCOMPARE(w->Chart()->legend->itemCount(), 0);

        QCOMPARE(w->findChild<QDateEdit*>(QStringLiteral("DateEdit1"))->date(), QDate(1997, 11, 1));
        QCOMPARE(w->findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit1"))->text(), QStringLiteral("1"));
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentText(), QStringLiteral("月"));
        QVERIFY(!w->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->isChecked());
        QCOMPARE(Caption(*w), QStringLiteral("顯示圖表"));
        QCOMPARE(Text(*w, "Label3"), QString());
        QVERIFY(w->findChild<QFrame*>(QStringLiteral("Shape1"))->isHidden());
        QVERIFY(!w->Line());
        QVERIFY(!w->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
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
        auto* count = w->findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit1"));
        count->setText(field);
        QTest::mouseClick(w->findChild<TUpDown*>(QStringLiteral("UpDown1"))->findChild<QToolButton*>(button), Qt::LeftButton);
        QCOMPARE(count->text(), after);
    }

    void countAndUnit_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("countAfter");
        QTest::newRow("1 month charts 30 days") << "1" << "月" << 30 << "1";
        QTest::newRow("2 years chart 730 days") << "2" << "年" << 730 << "2";
        QTest::newRow("45 days") << "45" << "日" << 45 << "45";
        QTest::newRow("400 months are lowered to 360 in the field too") << "400" << "月" << 10800 << "360";
        QTest::newRow("31 years are lowered to 30") << "31" << "年" << 10950 << "30";
        QTest::newRow("0 is raised to one unit") << "0" << "年" << 365 << "1";
    }
    void countAndUnit() {
        QFETCH(QString, count);
        QFETCH(QString, unit);
        QFETCH(int, points);
        QFETCH(QString, countAfter);
        auto w = MakeWindow();
        Set(*w, QDate(2026, 3, 10), count, unit);
        w->Button1Click();
        QCOMPARE(w->BalanceSeries()->data()->size(), points);
        QCOMPARE(w->BalanceSeries()->data()->constBegin()->key, Day(2026, 3, 10));
        QCOMPARE(w->findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit1"))->text(), countAfter);
        QVERIFY(prompts_.Errors.isEmpty());
    }

    void emptyCountIsReportedAndLeavesAnEmptyChart() {
        auto w = MakeWindow();
        w->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
        w->Button1Click();
        QVERIFY(!w->BalanceSeries()->data()->isEmpty());
        Set(*w, QDate(2026, 3, 10), QString(), QStringLiteral("月"));
        w->Pause();
        w->Button1Click();
        QCOMPARE(prompts_.Errors, QStringList{QStringLiteral("'' is not a valid integer value")});
        QVERIFY(w->BalanceSeries()->data()->isEmpty());
        QVERIFY(!w->Running());
        QCOMPARE(Caption(*w), QStringLiteral("顯示圖表"));
    }

    void lineStartsFromTheBalanceAtTheStart_data() {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<double>("firstBalance");
        QTest::newRow("before today: today's opening balance, plus 1 March's rent") << QDate(2026, 3, 1) << 700.0;
        QTest::newRow("today") << QDate(2026, 3, 10) << 1000.0;
        QTest::newRow("after today: the 12th's salary and 20th's payment first") << QDate(2026, 3, 25) << 1430.0;
        QTest::newRow("on a salary day: counted on the first point") << QDate(2026, 4, 12) << 1430.0 - 300 + 500;
    }
    void lineStartsFromTheBalanceAtTheStart() {
        QFETCH(QDate, start);
        QFETCH(double, firstBalance);
        auto w = MakeWindow();
        Set(*w, start, QStringLiteral("10"), QStringLiteral("日"));
        w->Button1Click();
        QCOMPARE(w->BalanceSeries()->data()->constBegin()->value, firstBalance);
    }

    void tickedPlansAddSignedBarsAndUntickedOnesStillMoveTheLine() {
        auto w = MakeWindow();
        Tick(*w, 1);
        Tick(*w, 2);
        Set(*w, QDate(2026, 3, 1), QStringLiteral("20"), QStringLiteral("日"));  // 1 to 20 March
        w->Button1Click();
        QCOMPARE(LegendTitles(*w), (QStringList{QStringLiteral("(300)"), QStringLiteral("每月房屋貸")}));
        QVERIFY(w->PlanSeries(0)->data()->isEmpty());
        const QList<TPoint> rent = PointsOf(w->PlanSeries(1));
        QCOMPARE(rent.size(), 1);
        QCOMPARE(rent[0].Key, Day(2026, 3, 1));  // the first charted day
        QCOMPARE(rent[0].Value, -300.0);
        const QList<TPoint> once = PointsOf(w->PlanSeries(2));
        QCOMPARE(once.size(), 1);
        QCOMPARE(once[0].Key, Day(2026, 3, 20));  // the last charted day
        QCOMPARE(once[0].Value, -70.0);
        const QList<TPoint> line = PointsOf(w->BalanceSeries());
        QCOMPARE(line[0].Value, 700.0);
        QCOMPARE(line[11].Value, 1200.0);  // 12 March: the unticked salary
        QCOMPARE(line.last().Value, 1130.0);
        QCOMPARE(w->TemplateSeries()->data()->size(), 0);

        // Unticking takes the plan out at the next chart.
        Tick(*w, 1, false);
        w->Button1Click();
        QCOMPARE(LegendTitles(*w), QStringList{QStringLiteral("每月房屋貸")});
        QVERIFY(w->PlanSeries(1)->data()->isEmpty());
    }

    void emptyBookGivesAFlatLine() {
        book_.Clear();
        auto w = MakeWindow();
        QCOMPARE(w->findChild<QListWidget*>(QStringLiteral("CheckListBox1"))->count(), 0);
        QCOMPARE(w->Chart()->plottableCount(), 2);
        Set(*w, QDate(2027, 1, 1), QStringLiteral("1"), QStringLiteral("年"));
        w->Button1Click();
        const QList<TPoint> line = PointsOf(w->BalanceSeries());
        QCOMPARE(line.size(), 365);
        for (const TPoint& p : line) QCOMPARE(p.Value, double(kOpening));
    }

    void dynamicStepMovesOneDayOn() {
        auto w = MakeWindow();
        Tick(*w, 0);
        Tick(*w, 1);
        w->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
        Set(*w, QDate(2026, 3, 1), QStringLiteral("11"), QStringLiteral("日"));  // 1 to 11 March
        w->Button1Click();
        QVERIFY(w->Running());
        QCOMPARE(Caption(*w), QStringLiteral("暫停"));
        const QList<TPoint> before = PointsOf(w->BalanceSeries());

        w->Timer1Timer();  // now 2 to 12 March: salary on the new last day, rent's bar drops off
        QCOMPARE(w->findChild<QDateEdit*>(QStringLiteral("DateEdit1"))->date(), QDate(2026, 3, 2));
        const QList<TPoint> after = PointsOf(w->BalanceSeries());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.first().Key, before[1].Key);
        QCOMPARE(after.last().Key, Day(2026, 3, 12));
        QCOMPARE(after.last().Value, before.last().Value + 500);
        QCOMPARE(PointsOf(w->PlanSeries(0)).size(), 1);
        QCOMPARE(PointsOf(w->PlanSeries(0))[0].Key, Day(2026, 3, 12));
        QVERIFY(w->PlanSeries(1)->data()->isEmpty());

        // An unticked plan's bars are left as they are.
        Tick(*w, 0, false);
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
    }

    void timerStepsEverySecondUntilExit() {
        auto w = MakeWindow();
        w->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
        Set(*w, QDate(2026, 3, 1), QStringLiteral("1"), QStringLiteral("月"));
        w->show();
        w->Button1Click();
        auto* picker = w->findChild<QDateEdit*>(QStringLiteral("DateEdit1"));
        QTRY_COMPARE_WITH_TIMEOUT(picker->date(), QDate(2026, 3, 2), 2500);
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
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

        w->ChartMouseMove(PixelOf(*w, Day(2026, 3, 12), 250));  // inside the salary bar (0 to 500)
        QCOMPARE(Text(*w, "Label3"), w->locale().toString(QDate(2026, 3, 12), QLocale::ShortFormat));
        QCOMPARE(Text(*w, "Label4"), QStringLiteral("500"));
        QCOMPARE(Text(*w, "Label5"), QStringLiteral("薪水"));
        auto* swatch = w->findChild<QFrame*>(QStringLiteral("Shape1"));
        QVERIFY(swatch->isVisible());
        QCOMPARE(swatch->palette().color(QPalette::Window), PlanSeriesColor(0));

        w->ChartMouseMove(PixelOf(*w, Day(2026, 3, 5), 700) + QPointF(1, 2));  // near a line point
        QCOMPARE(Text(*w, "Label4"), QStringLiteral("700"));
        QCOMPARE(Text(*w, "Label5"), QStringLiteral("Balance"));
        QCOMPARE(swatch->palette().color(QPalette::Window), QColor(Qt::red));

        // A real mouse move over empty chart space clears the readout.
        QTest::mouseMove(w->Chart(), PixelOf(*w, Day(2026, 3, 5), 300).toPoint());
        QTRY_COMPARE(Text(*w, "Label5"), QString());
        QCOMPARE(Text(*w, "Label3"), QString());
        QVERIFY(swatch->isHidden());
    }

    void planThatCannotBeComputedIsReported() {
        book_.Append(CreateFrom(pkFixAccount, Record(prEveryNDays, Day(2026, 3, 12), 10, INT32_MIN, -1, "壞")));
        auto w = MakeWindow();
        w->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
        Set(*w, QDate(2026, 3, 1), QStringLiteral("1"), QStringLiteral("月"));
        w->Button1Click();
        QCOMPARE(prompts_.Errors.size(), 1);
        QVERIFY(!w->Running());
        QVERIFY(w->BalanceSeries()->data()->isEmpty());
    }
};

QTEST_MAIN(ChartTest)
#include "ChartTest.moc"
