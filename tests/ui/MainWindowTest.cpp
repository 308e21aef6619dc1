// The main window as a user sees it: the month and its figures, the bars that pick the month, the plans of a day,
// the look-ahead line, the file commands, recent files and the unsaved-changes question.
#include "UiTestSupport.h"
#include "ui/Wiring.h"
#include "ui/init.h"

using namespace tamber;
using namespace tamber::ui;
using namespace tamber::test;

// A command that could lose unsaved changes (none: a close with new plans only), and whether the user is asked.
const struct {
    const char* Name;
    bool WithFile;
    const char* Command;
    int Asked;
} kLosing[] = {
    {"close with new plans and no file", false, "Exit1", 1},
    {"clear with a file", true, "Clear1", 1},
    {"a recent file", true, "Recent1", 1},
    {"nothing to lose", false, "", 0},
};

// What would write over a plan file another copy saved meanwhile, the answer, and the plans then in the file (1:
// ours, 2: theirs) and in the other file saved to (-1: none).
const struct {
    const char* Name;
    char Via;
    TOverwriteAnswer Answer;
    int InFile, InOther;
} kOverwrites[] = {
    {"save: overwrite", 's', TOverwriteAnswer::Overwrite, 1, -1},
    {"save: under another name", 's', TOverwriteAnswer::SaveAs, 2, 1},
    {"balance: cancel", 'b', TOverwriteAnswer::Cancel, 2, -1},
};

// The look-ahead line for an opening balance and plans, and the part pressed (Enter when red) to go to its day.
const struct {
    const char* Name;
    int32_t Opening;
    std::vector<TPlanRecord> Plans;
    const char *Lowest, *Overdraft;
    bool Red;
    const char* Press;
    QDate Day;
} kLookAhead[] = {
    {"below zero in 2030, lowest in 2036", 5000, {Once(Ymd(2030, 1, 1), -6000), Once(Ymd(2030, 2, 1), 1000), Once(Ymd(2036, 7, 20), -12345)}, "最低結存 -12,345 (2036/7/20)", "首次透支 2030/1/1", true, "OverdraftButton", {2030, 1, 1}},
    {"never below zero", 0, {Flow(prMonthly, Ymd(2026, 4, 1), 12, 100)}, "最低結存 0 (2026/3/10)", "35 年內不會透支", false, "LowestButton", {2026, 3, 10}},
    {"a balance leaving 32 bits", 2147483000, {Once(Ymd(2027, 1, 5), 9000)}, "結存超出範圍: 2027/1/5 起", "", true, "LowestButton", {2027, 1, 5}},
};

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TScriptedPrompts prompts_;
    const TDate today_ = Ymd(2026, 3, 10);

    std::unique_ptr<TForm1> MakeWindow() {
        return std::make_unique<TForm1>(TForm1::TOptions{Path("Tamber98.ini").toStdString(), &prompts_, [] { return QDate(2026, 3, 10); }});
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    // A plan file with the given plans, written DaysAgo.
    QString WriteFile(const QString& name, const std::vector<TPlanRecord>& records = {}, int daysAgo = 1) {
        WriteBytes(Path(name).toStdString(), FileBytes(today_ - daysAgo, 1000, records));
        return Path(name);
    }
    static QStringList Recent(TForm1& w) {
        QStringList items;
        for (QAction* a : Get<QMenu>(&w, "File1")->actions()) {
            if (a->objectName().startsWith(QStringLiteral("Recent"))) items << a->text();
        }
        return items;
    }
    static QStringList Grid(TForm1& w, const char* name, int row) {
        auto* grid = Get<QTableWidget>(&w, name);
        QStringList texts;
        for (int c = 0; c < grid->columnCount(); ++c) texts << (grid->item(row, c) ? grid->item(row, c)->text() : QString());
        return texts;
    }
    static int Balance(TForm1& w, int day) { return w.Calendar().MonthData().Cell(w.Calendar().DayToCell(day)).Balance; }
    static QScrollBar* Bar(TForm1& w, int n) { return Get<QScrollBar>(&w, QStringLiteral("ScrollBar%1").arg(n)); }
    static QString Bars(TForm1& w) {
        return QStringLiteral("%1 %2 %3 %4-%5 %6-%7").arg(Bar(w, 1)->value()).arg(Bar(w, 2)->value()).arg(Bar(w, 3)->value()).arg(Text(&w, "YearLabel"), Text(&w, "MonthLabel")).arg(w.Calendar().Year()).arg(w.Calendar().Month());
    }

private slots:
    void init() {
        QFile::remove(Path("Tamber98.ini"));
        prompts_ = TScriptedPrompts();
    }

    // The window opens on the current month; the year bar follows the month slider and the other way round.
    void startsOnTheCurrentMonthAndTheBarsPickAnother() {
        auto w = MakeWindow();
        QCOMPARE(std::tuple(w->windowTitle(), Bar(*w, 1)->maximum(), Bars(*w), Recent(*w)),
                 std::tuple(QStringLiteral("Tamber 98"), 369, QStringLiteral("0 0 2 2026-3 2026-3"), QStringList()));
        Bar(*w, 1)->setValue(14);
        Bar(*w, 3)->setValue(7);
        QCOMPARE(Bars(*w), QStringLiteral("17 1 7 2027-8 2027-8"));
        Bar(*w, 2)->setValue(0);
        QCOMPARE(Bars(*w), QStringLiteral("0 0 2 2026-3 2026-3"));
    }

    void theMonthShowsItsFiguresAndReportsAPlanThatCannotBeComputed() {
        auto w = MakeWindow();
        w->Book() = MakeBook({Once(today_, 1200), Once(today_ + 2, -800)});
        w->State().OpeningBalance = 5;
        Trigger(w.get(), "WholeMonth1");
        w->FormActivate();  // what every return to the window does
        QCOMPARE(std::tuple(Balance(*w, 10), Balance(*w, 31), Text(w.get(), "IncomeLabel"), Text(w.get(), "ExpenseLabel"), w->Calendar().ShowBalance(), Grid(*w, "StringGrid1", 0)),
                 std::tuple(1205, 405, QStringLiteral("1,200"), QStringLiteral("-800"), true, QStringList{"", "1200"}));         // the day selected: today
        w->Book().Append(CreateFrom(Flow(prMonthly, Ymd(2026, 2, 15), 13, 0, "車貸").Kind(pkLoan).Method(mtEqualInstalments)));  // rate 0
        for (int i = 0; i < 3; ++i) w->ComputeMonth(2026, 3);
        QTRY_COMPARE(prompts_.Errors.size(), 1);  // told once, after the event that found it
        QCOMPARE(std::pair(prompts_.Errors[0].startsWith(QStringLiteral("第 3 項計劃「車貸」的金額無法計算")), Text(w.get(), "IncomeLabel") + Text(w.get(), "ExpenseLabel")),
                 std::pair(true, QString()));  // no totals that are not the plans'
    }

    void aBalanceLeavingThirtyTwoBitsIsToldOnceAndShowsNoFigureFromItsDay() {
        auto w = MakeWindow();
        w->State().OpeningBalance = 2'000'000'000;  // 15 March ends at 2,100,000,000, 15 April beyond 32 bits
        w->Book().Append(CreateFrom(Flow(prMonthly, Ymd(2026, 3, 15), 12, 100'000'000)));
        w->ShowDay(Ymd(2026, 4, 1));
        for (int i = 0; i < 2; ++i) w->FormActivate();
        const auto figures = [&](int day) { const TCellPos p = w->Calendar().DayToCell(day); return w->Calendar().CellTexts(p.Column, p.Row).Balance; };
        QCOMPARE(std::tuple(figures(1), figures(15), w->Calendar().CellTexts(6, 6).Average, Text(w.get(), "IncomeLabel")),
                 std::tuple(QStringLiteral("2,100,000,000"), QString(), QString(), QString()));
        QTRY_COMPARE(prompts_.Errors, QStringList{QStringLiteral("結存超出範圍: %1 起").arg(ShortDate(Ymd(2026, 4, 15)))});
    }

    // The confirmed amounts of a file cut short meanwhile stay loaded, nothing is written over it unasked, and
    // closing offers to save them.
    void aCatchUpOfAFileCutShortMeanwhileStaysLoadedUntilSaved() {
        const std::vector<TPlanRecord> plans = {Flow(prEveryNDays, today_ - 2, 10, 10), Once(today_ + 5, 1)};
        const QString file = WriteFile("away.tbr", plans, 3);
        auto w = MakeWindow();
        w->CatchUp = [&](TPendingList&, const TPlanBookState&) { return QFile::resize(file, 100) ? std::optional<int32_t>(1020) : std::nullopt; };
        prompts_.OverwriteAnswers = {TOverwriteAnswer::Cancel, TOverwriteAnswer::Overwrite};
        QVERIFY(w->LoadPlanFile(file));
        QCOMPARE(std::tuple(w->Book().Count(), w->State().OpeningBalance, w->windowTitle(), prompts_.OverwritesAsked, QFileInfo(file).size()),
                 std::tuple(2, 1020, QStringLiteral("Tamber 98 - away.tbr"), 1, qint64(100)));
        prompts_.SavesFromThePrompt = 1;
        w->close();
        QCOMPARE(std::pair(prompts_.SaveChangesAsked, ReadBytes(file.toStdString())), std::pair(1, FileBytes(today_ - 1, 1020, plans)));
    }

    // Written by another copy after the load: a save or a balance asks before writing over it (a catch-up: below).
    void aFileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo_data() { Rows(kOverwrites); }
    void aFileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo() {
        const auto& c = Row(kOverwrites);
        const TPlanRecord plan = Flow(prMonthly, Ymd(2026, 1, 5), 12, 100);
        const auto anotherCopySaves = [&] { WriteFile("plans.tbr", {plan, plan}); };
        const QString file = WriteFile("plans.tbr", {plan});
        QFile::remove(Path("other.tbr"));
        auto w = MakeWindow();
        const TWiredWindows windows = WireWindows(*w, prompts_);
        prompts_.OverwriteAnswers = {c.Answer};
        prompts_.SaveNames = {Path("other.tbr")};
        QVERIFY(w->LoadPlanFile(file));
        anotherCopySaves();
        if (c.Via == 'b') Type(windows.Balance, "RFilterEdit1", "777");
        if (c.Via == 'b') Click(windows.Balance, "Button1");
        const bool written = c.InFile == 1 || c.InOther == 1;  // closing offers to save what was not
        QCOMPARE(c.Via == 's' ? w->SaveCommand() : !w->State().Modified, written);
        QCOMPARE(std::tuple(prompts_.OverwritesAsked, QFileInfo(file).size(), QFileInfo(Path("other.tbr")).size()),
                 std::tuple(1, (c.InFile + 1) * 188, (c.InOther + 1) * 188));
        if (!written) return;
        Click(windows.Balance, "Button1");  // the window's own writes are no change by someone else
        QVERIFY(w->SaveCommand() && prompts_.OverwritesAsked == 1);
    }

    void aFileOpenInAnotherCopyIsLoadedOnlyWhenTheUserSaysSo() {
        const QString file = WriteFile("shared.tbr", {Flow(prMonthly, Ymd(2026, 1, 5), 12, 100)});
        const QString lock = PlanFileLockName(file);
        auto first = MakeWindow();
        QVERIFY(first->LoadPlanFile(file) && QFile::exists(lock) && first->LoadPlanFile(file));  // its own file again: no question
        auto second = MakeWindow();
        prompts_.OpenInUseAnswers = {false, true};
        QVERIFY(!second->LoadPlanFile(file) && second->windowTitle() == QStringLiteral("Tamber 98"));  // nothing happened
        QVERIFY(second->LoadPlanFile(file) && second->Book().Count() == 1);
        first->ClearCommand();
        QVERIFY(!QFile::exists(lock) && prompts_.InUseAsked == 2);
    }

    void aDayListsItsPlansAndTheDetailsOfTheSelectedOne() {
        auto w = MakeWindow();
        for (int i = 0; i < 6; ++i) w->Book().Append(CreateFrom(Flow(prMonthly, Ymd(2026, 1, 12), 12, -100 * (i + 1), "房租")));
        w->Book().Append(CreateFrom(Flow(prMonthly, Ymd(2026, 1, 13), 4, 100, "會").Kind(pkCollect).Club(30, 0, 2, true, 0)));
        w->Book().Append(CreateFrom(Flow(prOnce, Ymd(2026, 3, 13), 1, 120000).Kind(pkLoan).Rate(6).Method(mtEqualPrincipal)));
        w->Book().Append(CreateFrom(Broken(Ymd(2026, 3, 14))));
        auto* plans = Get<QTableWidget>(w.get(), "StringGrid1");
        w->Calendar().SetDay(12);  // choosing a day lists its plans: period 3 of six monthly plans, 4 to 12 remain
        QCOMPARE(std::tuple(plans->rowCount(), Get<QTableWidget>(w.get(), "StringGrid2")->rowCount(), Grid(*w, "StringGrid2", 0) + Grid(*w, "StringGrid2", 8)),
                 std::tuple(6, 9, QStringList{"4", ShortDate(Ymd(2026, 4, 12)), "-100", "12", ShortDate(Ymd(2026, 12, 12)), "-100"}));
        plans->setCurrentCell(1, 0);  // the details follow the selected row
        QCOMPARE(std::tuple(Text(w.get(), "KindLabel"), Text(w.get(), "DescriptionLabel"), Text(w.get(), "StartDateLabel"),
                            Text(w.get(), "PeriodCountLabel"), Text(w.get(), "DirectionLabel"), Text(w.get(), "FixAmountLabel")),
                 std::tuple(QStringLiteral("固定收入／支出"), QStringLiteral("房租"), ShortDate(Ymd(2026, 1, 12)), QStringLiteral("12"),
                            QStringLiteral("支出"), QStringLiteral("200")));
        w->ShowDayPlans(Ymd(2026, 3, 12));  // the same day again, as every activation shows it: the row stays
        QCOMPARE(Grid(*w, "StringGrid2", 8), (QStringList{"12", ShortDate(Ymd(2026, 12, 12)), "-200"}));
        w->ShowDayPlans(Ymd(2026, 3, 13));  // another day starts at its first plan: the club
        QCOMPARE(std::tuple(plans->currentRow(), Get<QStackedWidget>(w.get(), "Notebook1")->currentIndex(), Text(w.get(), "BidKindLabel"), Text(w.get(), "CollectAmountLabel"), Text(w.get(), "BaseBidLabel"), Grid(*w, "StringGrid2", 0)),
                 std::tuple(0, 1, QStringLiteral("內標"), QStringLiteral("100"), QStringLiteral("30"), QStringList{"4", ShortDate(Ymd(2026, 4, 13)), "-100"}));
        plans->setCurrentCell(1, 0);  // the loan, its one period: none remain
        QCOMPARE(std::tuple(Get<QStackedWidget>(w.get(), "Notebook1")->currentIndex(), Text(w.get(), "LoanAmountLabel"), Text(w.get(), "LoanRateLabel"), Text(w.get(), "LoanMethodLabel"), Get<QTableWidget>(w.get(), "StringGrid2")->rowCount(), Grid(*w, "StringGrid2", 0)),
                 std::tuple(4, QStringLiteral("120000"), QStringLiteral("6.00"), QStringLiteral("本金定額攤還法"), 4, QStringList{"", "", ""}));
        w->ShowDayPlans(Ymd(2026, 3, 14));  // an amount that cannot be computed
        QCOMPARE(Grid(*w, "StringGrid1", 0) + Grid(*w, "StringGrid2", 0), (QStringList{"", "?", "2", ShortDate(Ymd(2026, 3, 15)), "?"}));
        plans->setCurrentCell(2, 0);  // below the listed plans: the blank page
        QCOMPARE(std::pair(Get<QStackedWidget>(w.get(), "Notebook1")->currentIndex(), Get(w.get(), "KindLabel")->isVisibleTo(w.get())), std::pair(5, false));
    }

    void theLookAheadLineShowsAndMovesToItsDays_data() { Rows(kLookAhead); }
    void theLookAheadLineShowsAndMovesToItsDays() {
        const auto& c = Row(kLookAhead);
        auto w = MakeWindow();
        for (const TPlanRecord& rec : c.Plans) w->Book().Append(CreateFrom(rec));
        w->State().OpeningBalance = c.Opening;
        w->FormActivate();  // recomputed on every activation
        auto* lowest = Get<QPushButton>(w.get(), "LowestButton");
        QCOMPARE(std::tuple(lowest->accessibleName(), Text(w.get(), "OverdraftButton"), lowest->palette().color(QPalette::ButtonText) == QColor(Qt::red)),
                 std::tuple(QString::fromUtf8(c.Lowest), QString::fromUtf8(c.Overdraft), c.Red));
        QTest::keyClick(Get(w.get(), c.Press), c.Red ? Qt::Key_Return : Qt::Key_Space);
        QCOMPARE(std::pair(w->Calendar().SelectedDate(), Bar(*w, 3)->value()), std::pair(FromQDate(c.Day), c.Day.month() - 1));
    }

    void fileCommandsCaptionsAndRecentFiles() {
        const QString a = WriteFile("a.tbr", {Once(today_ + 1, 7)}), b = WriteFile("b.tbr"), c = WriteFile("c.tbr"), d = WriteFile("d.tbr");
        WriteSettings(Path("Tamber98.ini").toStdString(), {a.toStdString(), b.toStdString(), d.toStdString()});
        auto w = MakeWindow();
        QCOMPARE(Recent(*w), (QStringList{a, b, d}));
        prompts_.OpenNames = {c};
        Trigger(w.get(), "Load1");
        Trigger(w.get(), "Recent2");  // a.tbr, from the recent files
        QCOMPARE(std::tuple(Recent(*w), w->windowTitle(), Balance(*w, 11)),
                 std::tuple(QStringList{a, c, b}, QStringLiteral("Tamber 98 - a.tbr"), 1007));
        prompts_.SaveNames = {Path("other.tbr"), Path("gone/x.tbr")};
        Trigger(w.get(), "SaveAs1");   // saving adds nothing to the recent files
        QVERIFY(!w->SaveAsCommand());  // nothing written: the window keeps the file it had
        QCOMPARE(std::tuple(Recent(*w), w->windowTitle(), w->State().PlanFileName, QFileInfo(Path("other.tbr")).size()),
                 std::tuple(QStringList{a, c, b}, QStringLiteral("Tamber 98 - other.tbr"), Path("other.tbr").toStdString(), qint64(2 * 188)));
        QCOMPARE(prompts_.Errors, QStringList{QStringLiteral("寫檔錯誤: %1 (找不到檔案或資料夾)").arg(Path("gone/x.tbr"))});
        Trigger(w.get(), "Clear1");
        prompts_.OpenNames = {Path("missing.tbr")};
        Trigger(w.get(), "Load1");
        QCOMPARE(std::tuple(w->windowTitle(), w->Book().Count(), prompts_.Errors.last(), w->State().PlanFileName, Recent(*w)),
                 std::tuple(QStringLiteral("Tamber 98 - 空白"), 0, QStringLiteral("讀檔錯誤"), std::string(), QStringList{a, c, b}));
        w->close();
        QCOMPARE(ReadSettings(Path("Tamber98.ini").toStdString()), (std::array{a.toStdString(), c.toStdString(), b.toStdString()}));
    }

    void unsavedChangesAreOfferedBeforeTheyWouldBeLost_data() { Rows(kLosing); }
    void unsavedChangesAreOfferedBeforeTheyWouldBeLost() {
        const auto& [name, withFile, command, asked] = Row(kLosing);
        const QString file = WriteFile("plans.tbr", {Flow(prMonthly, Ymd(2026, 1, 5), 12, 100)});
        auto w = MakeWindow();
        if (withFile) QVERIFY(w->LoadPlanFile(file));
        if (*command) w->Book().Append(CreateFrom(Once(Ymd(2026, 4, 1), 50)));
        w->State().Modified = true;
        prompts_.SavesFromThePrompt = 1;
        prompts_.SaveNames = {Path("saved.tbr")};
        prompts_.OpenNames = {file};
        w->AddToRecentFiles(file);
        Trigger(w.get(), QString::fromLatin1(*command ? command : "Exit1"));
        QCOMPARE(prompts_.SaveChangesAsked, asked);
        if (command == std::string_view("Exit1")) QCOMPARE(w->Book().Count(), 0);  // closing frees every plan
        if (asked) QCOMPARE(QFileInfo(withFile ? file : Path("saved.tbr")).size(), (withFile ? 3 : 2) * 188);
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<MainWindowTest>();
#include "MainWindowTest.moc"
