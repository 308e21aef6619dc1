#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>
#include <fstream>

#include "ui/DrawCalendar.h"
#include "ui/Main.h"
#include "book/PlanFile.h"
#include "ui/Prompts.h"
#include "UiTestSupport.h"
#include "ui/Wiring.h"
#include "ui/init.h"

using namespace tamber;
using namespace tamber::ui;

using test::Day;
using test::Flow;
using test::TScriptedPrompts;

class MainTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TScriptedPrompts prompts_;
    QDate today_{2026, 3, 10};

    std::unique_ptr<TForm1> MakeWindow() {
        TForm1::TOptions options;
        options.SettingsFile = (dir_.path() + QStringLiteral("/Tamber98.ini")).toStdString();
        options.Prompts = &prompts_;
        options.Today = [this] { return today_; };
        return std::make_unique<TForm1>(options);
    }
    QString PathOf(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    // A plan file with the given plans, written as if yesterday or DaysAgo days before.
    QString WriteFile(const QString& name, const std::vector<TPlanRecord>& records, int32_t balance = 1000,
                      int daysAgo = 0) {
        TPlanBook book;
        for (const TPlanRecord& rec : records) book.Append(CreateFrom(pkFixAccount, rec));
        TPlanBookState state;
        state.OpeningBalance = balance;
        SavePlanFile(PathOf(name).toStdString(), book, state,
                     EncodeDate(today_.year(), today_.month(), today_.day()) - daysAgo);
        return PathOf(name);
    }
    static QStringList RecentItems(TForm1& w) {
        QStringList items;
        for (QAction* a : w.findChild<QMenu*>(QStringLiteral("File1"))->actions()) {
            if (a->objectName().startsWith(QStringLiteral("Recent"))) items << a->text();
        }
        return items;
    }
    static QString GridText(QTableWidget* grid, int row, int column) {
        const QTableWidgetItem* item = grid->item(row, column);
        return item ? item->text() : QString();
    }

private slots:
    void init() {
        QFile::remove(PathOf(QStringLiteral("Tamber98.ini")));
        prompts_ = TScriptedPrompts();
    }

    void startUpInMarch() {
        auto w = MakeWindow();
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98"));
        auto* slider = w->findChild<QScrollBar*>(QStringLiteral("ScrollBar1"));
        QCOMPARE(slider->maximum(), 369);
        QCOMPARE(w->findChild<QScrollBar*>(QStringLiteral("ScrollBar2"))->value(), 0);
        QCOMPARE(w->findChild<QScrollBar*>(QStringLiteral("ScrollBar3"))->value(), 2);
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("YearLabel"))->text(), QStringLiteral("2026"));
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("MonthLabel"))->text(), QStringLiteral("3"));
        // First run: the settings file is created and no recent file is listed.
        QFile ini(PathOf(QStringLiteral("Tamber98.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray("[Tamber98]\r\nHistory1=\r\nHistory2=\r\nHistory3=\r\n"));
        QVERIFY(RecentItems(*w).isEmpty());
    }

    void calendarFollowsTheBars() {
        auto w = MakeWindow();
        w->findChild<QScrollBar*>(QStringLiteral("ScrollBar2"))->setValue(2);
        QCOMPARE(w->findChild<QScrollBar*>(QStringLiteral("ScrollBar1"))->value(), 24);
        QCOMPARE(w->Calendar().Year(), 2028);
        QCOMPARE(w->Calendar().Month(), 3);
        w->findChild<QScrollBar*>(QStringLiteral("ScrollBar2"))->setValue(0);
        QCOMPARE(w->Calendar().Year(), 2026);
    }

    void dayGridAndDetails() {
        std::vector<TPlanRecord> records;
        for (int i = 0; i < 6; ++i) records.push_back(Flow(prMonthly, Day(2026, 1, 12), 12, -100 * (i + 1), "房租"));
        records.push_back(Flow(prOnce, Day(2026, 3, 13), 1, 5000, "獎金"));
        const QString file = WriteFile(QStringLiteral("six.tbr"), records);
        auto w = MakeWindow();
        QVERIFY(w->LoadPlanFile(file));
        auto* dayGrid = w->findChild<QTableWidget*>(QStringLiteral("StringGrid1"));
        auto* remaining = w->findChild<QTableWidget*>(QStringLiteral("StringGrid2"));

        w->ShowDayPlans(Day(2026, 3, 12));  // period 3 of six monthly plans
        QCOMPARE(dayGrid->rowCount(), 6);
        QCOMPARE(GridText(dayGrid, 0, 0), QStringLiteral("房租"));
        QCOMPARE(GridText(dayGrid, 5, 1), QStringLiteral("-600"));
        QCOMPARE(remaining->rowCount(), 9);  // periods 4 to 12
        QCOMPARE(GridText(remaining, 0, 0), QStringLiteral("4"));
        QCOMPARE(GridText(remaining, 8, 0), QStringLiteral("12"));
        QCOMPARE(GridText(remaining, 8, 2), QStringLiteral("-100"));
        QCOMPARE(w->findChild<QStackedWidget*>(QStringLiteral("Notebook1"))->currentIndex(), 0);
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("DirectionLabel"))->text(), QStringLiteral("支出"));
        dayGrid->setCurrentCell(4, 0);
        w->ShowDayPlans(Day(2026, 3, 12));  // the same day again, as every activation shows it: the row stays
        QCOMPARE(dayGrid->currentRow(), 4);
        QCOMPARE(GridText(remaining, 8, 2), QStringLiteral("-500"));

        w->ShowDayPlans(Day(2026, 3, 13));  // one plan: four rows, three of them empty
        QCOMPARE(dayGrid->currentRow(), 0);
        QCOMPARE(dayGrid->rowCount(), 4);
        QCOMPARE(GridText(dayGrid, 0, 0), QStringLiteral("獎金"));
        QCOMPARE(GridText(dayGrid, 1, 0), QString());
        dayGrid->setCurrentCell(2, 0);  // below the listed occurrences: the blank page
        QCOMPARE(w->findChild<QStackedWidget*>(QStringLiteral("Notebook1"))->currentIndex(), 5);
    }

    void compoundMethodShownWithItsQuoteMarks() {
        TPlanRecord rec = Flow(prMonthly, Day(2026, 3, 1), 13, 100000, "定存");
        rec.Method = mtLumpSumInOut;
        SetAnnualRate(rec, 12);
        const TCompound plan(rec);
        const TPlanDetailTexts t = PlanDetailTexts(plan, QLocale::c());
        QCOMPARE(t.Page, 3);
        QCOMPARE(t.Method, QStringLiteral("\"整\"存整付"));
        QCOMPARE(t.Rate, QStringLiteral("12.00"));
        QCOMPARE(t.Kind, QStringLiteral("儲蓄存款(複利)"));
    }

    void captionsFollowTheFile() {
        const QString file = WriteFile(QStringLiteral("home.tbr"), {Flow(prMonthly, Day(2026, 1, 5), 12, 100, "x")});
        auto w = MakeWindow();
        QVERIFY(w->LoadPlanFile(file));
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - home.tbr"));
        prompts_.SaveNames = {PathOf(QStringLiteral("other.tbr"))};
        QVERIFY(w->SaveAsCommand());
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - other.tbr"));
        QVERIFY(QFile::exists(PathOf(QStringLiteral("other.tbr"))));
        w->ClearCommand();
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - 空白"));
        QCOMPARE(w->Book().Count(), 0);
        QVERIFY(!w->LoadPlanFile(PathOf(QStringLiteral("missing.tbr"))));
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - 空白"));
        QCOMPARE(prompts_.Errors, QStringList{QStringLiteral("讀檔錯誤")});
        QVERIFY(w->State().PlanFileName.empty());
    }

    void firstSaveAsksForANameAndKeepsTheCaption() {
        auto w = MakeWindow();
        prompts_.SaveNames = {PathOf(QStringLiteral("new.tbr"))};
        QVERIFY(w->SaveCommand());
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98"));
        QCOMPARE(QFileInfo(PathOf(QStringLiteral("new.tbr"))).size(), 188);
        QVERIFY(!w->SaveAsCommand());  // cancelled: nothing happens
    }

    void recentFilesNewestFirst() {
        const QString a = WriteFile(QStringLiteral("a.tbr"), {}), b = WriteFile(QStringLiteral("b.tbr"), {}),
                      c = WriteFile(QStringLiteral("c.tbr"), {}), d = WriteFile(QStringLiteral("d.tbr"), {});
        {
            std::ofstream ini(PathOf(QStringLiteral("Tamber98.ini")).toStdString(), std::ios::binary);
            ini << "[Tamber98]\r\nHistory1=" << a.toStdString() << "\r\nHistory2=" << b.toStdString()
                << "\r\nHistory3=" << d.toStdString() << "\r\n";
        }
        auto w = MakeWindow();
        QCOMPARE(RecentItems(*w), (QStringList{a, b, d}));
        prompts_.OpenNames = {c};
        w->LoadCommand();
        QCOMPARE(RecentItems(*w), (QStringList{c, a, b}));
        prompts_.OpenNames = {b};
        w->LoadCommand();
        QCOMPARE(RecentItems(*w), (QStringList{b, c, a}));
        w->close();
        QCOMPARE(ReadSettings(PathOf(QStringLiteral("Tamber98.ini")).toStdString()),
                 (std::array<std::string, 3>{b.toStdString(), c.toStdString(), a.toStdString()}));
    }

    void unsavedChangesAreOfferedBeforeTheyWouldBeLost_data() {
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<QString>("command");
        QTest::newRow("close with a file") << true << "close";
        QTest::newRow("close without a file name") << false << "close";
        QTest::newRow("clear with a file") << true << "clear";
        QTest::newRow("load another file without a file name") << false << "load";
    }
    void unsavedChangesAreOfferedBeforeTheyWouldBeLost() {
        QFETCH(bool, withFile);
        QFETCH(QString, command);
        const QString file = WriteFile(QStringLiteral("plans.tbr"), {Flow(prMonthly, Day(2026, 1, 5), 12, 100, "x")});
        auto w = MakeWindow();
        if (withFile) {
            QVERIFY(w->LoadPlanFile(file));
        } else {
            w->Book().Append(CreateFrom(pkFixAccount, Flow(prOnce, Day(2026, 4, 1), 1, 50, "typed")));
        }
        w->State().Modified = true;
        prompts_.SavesFromThePrompt = 1;
        prompts_.SaveNames = {PathOf(QStringLiteral("saved.tbr"))};
        if (command == QLatin1String("close")) w->close();
        if (command == QLatin1String("clear")) w->ClearCommand();
        if (command == QLatin1String("load")) {
            prompts_.OpenNames = {file};
            w->LoadCommand();
        }
        QCOMPARE(prompts_.SaveChangesAsked, 1);
        const QString written = withFile ? file : PathOf(QStringLiteral("saved.tbr"));
        QCOMPARE(QFileInfo(written).size(), 2 * 188);
    }

    void nothingToSaveAsksNothing() {
        auto w = MakeWindow();
        w->State().Modified = true;  // an empty book without a file holds nothing to lose
        w->close();
        QCOMPARE(prompts_.SaveChangesAsked, 0);
    }

    void anAmountThatCannotBeComputedIsReportedOnce() {
        TPlanRecord rec = Flow(prMonthly, Day(2026, 3, 20), 13, 120000, "車貸");
        rec.Method = mtEqualInstalments;  // a zero rate: the instalment divides zero by zero
        auto w = MakeWindow();
        w->Book().Append(CreateFrom(pkLoan, rec));
        w->Calendar().SetMonth(4);
        for (int i = 0; i < 3; ++i) {
            w->ComputeMonth(2026, 4);
            QCoreApplication::processEvents();
        }
        QCOMPARE(prompts_.Errors.size(), 1);
        QVERIFY(prompts_.Errors[0].contains(QStringLiteral("車貸")));
    }

    void balanceLeavingThirtyTwoBitsIsToldOnceAndShowsNoFigureFromItsDay() {
        auto w = MakeWindow();
        w->State().OpeningBalance = 2'000'000'000;
        // 15 March ends at 2,100,000,000; 15 April would end beyond 32 bits.
        w->Book().Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 3, 15), 12, 100'000'000, "大額")));
        w->ShowDay(Day(2026, 4, 1));
        for (int i = 0; i < 2; ++i) {
            w->FormActivate();
            QCoreApplication::processEvents();
        }
        const auto figures = [&](int day) {
            const TCellPos cell = w->Calendar().DayToCell(day);
            const TCellTexts texts = w->Calendar().CellTexts(cell.Column, cell.Row);
            return texts.Income + QLatin1Char('|') + texts.Balance;
        };
        QCOMPARE(figures(1), QStringLiteral("|2,100,000,000"));
        QCOMPARE(figures(15), QStringLiteral("|"));
        QCOMPARE(w->Calendar().CellTexts(6, 6).Average, QString());
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("IncomeLabel"))->text(), QString());
        const QString day = QLocale().toString(QDate(2026, 4, 15), QLocale::ShortFormat);
        QCOMPARE(prompts_.Errors, QStringList{QStringLiteral("結存超出範圍: %1 起").arg(day)});
        w->ShowDay(Day(2026, 3, 1));  // before it, the figures are all there
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("IncomeLabel"))->text(), QStringLiteral("100,000,000"));
    }

    void aFileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo_data() {
        QTest::addColumn<QString>("via");  // what would write the file
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("plansInFile");  // 1: ours, 2: theirs
        QTest::addColumn<int>("plansInOther");
        QTest::newRow("save: overwrite") << "save" << int(TOverwriteAnswer::Overwrite) << 1 << -1;
        QTest::newRow("save: under another name") << "save" << int(TOverwriteAnswer::SaveAs) << 2 << 1;
        QTest::newRow("save: cancel") << "save" << int(TOverwriteAnswer::Cancel) << 2 << -1;
        QTest::newRow("balance: the whole book overwrites") << "balance" << int(TOverwriteAnswer::Overwrite) << 1 << -1;
        QTest::newRow("balance: cancel") << "balance" << int(TOverwriteAnswer::Cancel) << 2 << -1;
        QTest::newRow("catch-up: the whole book overwrites") << "catch-up" << int(TOverwriteAnswer::Overwrite) << 1 << -1;
        QTest::newRow("catch-up: cancel") << "catch-up" << int(TOverwriteAnswer::Cancel) << 2 << -1;
    }
    void aFileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo() {
        QFETCH(QString, via);
        QFETCH(int, answer);
        QFETCH(int, plansInFile);
        QFETCH(int, plansInOther);
        const TPlanRecord plan = Flow(prMonthly, Day(2026, 1, 5), 12, 100, "x");
        const auto anotherCopySaves = [&] { WriteFile(QStringLiteral("plans.tbr"), {plan, plan}, 9); };
        // Written five days ago for the catch-up: the 5 March payment awaits it.
        const QString file = WriteFile(QStringLiteral("plans.tbr"), {plan}, 1000, via == "catch-up" ? 5 : 0);
        QFile::remove(PathOf(QStringLiteral("other.tbr")));
        auto w = MakeWindow();
        const TWiredWindows windows = WireWindows(*w, prompts_);
        w->CatchUp = [&](TPendingList&, const TPlanBookState&) {
            anotherCopySaves();
            return std::optional<int32_t>(1100);
        };
        prompts_.OverwriteAnswers = {TOverwriteAnswer(answer)};
        prompts_.SaveNames = {PathOf(QStringLiteral("other.tbr"))};
        QVERIFY(w->LoadPlanFile(file));
        if (via == "balance") {
            anotherCopySaves();
            windows.Balance->findChild<QLineEdit*>(QStringLiteral("RFilterEdit1"))->setText(QStringLiteral("777"));
            windows.Balance->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        }
        const bool written = plansInFile == 1 || plansInOther == 1;
        if (via == "save") {
            anotherCopySaves();
            QCOMPARE(w->SaveCommand(), written);
        } else {
            QCOMPARE(w->State().Modified, !written);  // closing offers to save what was not written
        }
        QCOMPARE(prompts_.OverwritesAsked, 1);
        QCOMPARE(QFileInfo(file).size(), (plansInFile + 1) * 188);
        QCOMPARE(QFileInfo(PathOf(QStringLiteral("other.tbr"))).size(), (plansInOther + 1) * 188);
        if (!written) return;
        // The window's own writes are no change by someone else.
        windows.Balance->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        QVERIFY(w->SaveCommand());
        QCOMPARE(prompts_.OverwritesAsked, 1);
    }

    void aFileOpenInAnotherCopyIsLoadedOnlyWhenTheUserSaysSo() {
        const QString file = WriteFile(QStringLiteral("shared.tbr"), {Flow(prMonthly, Day(2026, 1, 5), 12, 100, "x")});
        const QString lock = PlanFileLockName(file);
        auto first = MakeWindow();
        QVERIFY(first->LoadPlanFile(file));
        QVERIFY(QFile::exists(lock));
        auto second = MakeWindow();
        prompts_.OpenInUseAnswers = {false, true};
        QVERIFY(!second->LoadPlanFile(file));
        QCOMPARE(second->windowTitle(), QStringLiteral("Tamber 98"));  // nothing happened
        QVERIFY(second->LoadPlanFile(file));
        QCOMPARE(second->Book().Count(), 1);
        first->ClearCommand();
        QVERIFY(!QFile::exists(lock));
        // A lock left by a copy that is no longer running is taken over without a question.
        QFile stale(lock);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("2147483000\ntamber98\n\n");
        stale.close();
        auto third = MakeWindow();
        QVERIFY(third->LoadPlanFile(file));
        QCOMPARE(prompts_.InUseAsked, 2);
        third->close();
        QVERIFY(!QFile::exists(lock));
    }

    void exitHasCtrlX() {
        auto w = MakeWindow();
        QCOMPARE(w->findChild<QAction*>(QStringLiteral("Exit1"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    }
};

QTEST_MAIN(MainTest)
#include "MainTest.moc"
