// One user's first days with the program, offscreen, with the clock set by
// the test. Tuesday 10 March 2026: the user enters one plan of each kind,
// looks at March, saves and quits. Friday 13 March: the file is loaded, the
// salary that came in lower than planned is corrected in the catch-up.
// Monday 16 March: the file comes from the recent files, the catch-up is
// accepted, the chart shows a year, the balance is adjusted, the salary is
// raised, and the closing prompt saves it all. Every figure is worked out by
// hand from the plans below, not by the program's own code.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <deque>
#include <functional>
#include <memory>

#include "ChartUnit.h"
#include "DrawCalendar.h"
#include "Input.h"
#include "Main.h"
#include "PlanFile.h"
#include "Prompts.h"
#include "RFEdit.h"
#include "Settings.h"
#include "Wiring.h"
#include "catchup.h"
#include "init.h"

using namespace tamber;
using namespace tamber::ui;

namespace {

class TScriptedPrompts : public TPrompts {
public:
    std::deque<QString> OpenNames, SaveNames;
    QStringList Errors;
    int SaveChangesAsked = 0;

    QString OpenPlanFileName(QWidget*) override { return Next(OpenNames); }
    QString SavePlanFileName(QWidget*) override { return Next(SaveNames); }
    void ShowError(QWidget*, const QString& message) override { Errors << message; }
    void AskToSaveChanges(QWidget*, const std::function<bool()>& save) override {
        ++SaveChangesAsked;
        save();  // "存檔"
    }

private:
    static QString Next(std::deque<QString>& names) {
        if (names.empty()) return {};
        QString name = names.front();
        names.pop_front();
        return name;
    }
};

TDate Day(int y, int m, int d) {
    return EncodeDate(y, m, d);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The header a plan file starts with: the balance date and the balance.
TPlanFileHeader HeaderOf(const QByteArray& bytes) {
    TRecordBytes record{};
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), 188), reinterpret_cast<char*>(record.data()));
    return HeaderFromBytes(record);
}

}  // namespace

class JourneyTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TScriptedPrompts prompts_;
    QDate today_;
    std::unique_ptr<TForm1> window_;
    int modalsHandled_ = 0;

    QString PathOf(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    QString PlanFile() const { return PathOf(QStringLiteral("journey.tbr")); }

    // The program starting on Day: the main window with every other window wired as the program wires them.
    void Start(QDate day) {
        today_ = day;
        TForm1::TOptions options;
        options.SettingsFile = PathOf(QStringLiteral("Tamber98.ini")).toStdString();
        options.Prompts = &prompts_;
        options.Today = [this] { return today_; };
        window_ = std::make_unique<TForm1>(options);
        WireWindows(*window_, prompts_);
        window_->show();
        QApplication::setActiveWindow(window_.get());
        QCoreApplication::processEvents();
    }
    void Quit() {
        window_->close();
        window_.reset();
    }

    QAction* Command(const char* name) const {
        auto* action = window_->findChild<QAction*>(QString::fromLatin1(name));
        if (!action) qFatal("no command %s", name);
        return action;
    }
    // Runs a menu command that shows a modal window of type T, and does in it
    // what Act says once it is shown; the window is closed should Act leave it open.
    template <class T>
    void RunModal(const char* command, const std::function<void(T&)>& act) {
        const int before = modalsHandled_;
        QTimer::singleShot(0, this, [this, act] {
            auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
            QVERIFY2(modal, "the expected window is not shown");
            ++modalsHandled_;
            act(*modal);
            if (modal->isVisible()) modal->reject();
        });
        Command(command)->trigger();
        QCOMPARE(modalsHandled_, before + 1);
    }

    template <class T = QWidget>
    static T* Get(QWidget* window, const char* name) {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    static void Type(QWidget* window, const char* field, const QString& text) {
        auto* edit = Get<QLineEdit>(window, field);
        edit->setFocus();
        edit->selectAll();
        edit->del();
        bool ascii = true;
        for (const QChar c : text) ascii = ascii && c.unicode() < 0x80;
        if (ascii) {
            QTest::keyClicks(edit, text);
        } else {
            QInputMethodEvent commit;  // Chinese arrives committed by the input method
            commit.setCommitString(text);
            QCoreApplication::sendEvent(edit, &commit);
        }
    }
    static void Click(QWidget* window, const char* button) { Get<QAbstractButton>(window, button)->click(); }

    const TDayCell& Cell(int day) const {
        const TCalendarMonth& month = window_->Calendar().MonthData();
        return month.Cell(month.DayToCell(day));
    }
    QString Label(const char* name) const { return Get<QLabel>(window_.get(), name)->text(); }
    QString DayGridText(int row, int column) const {
        const QTableWidgetItem* item = Get<QTableWidget>(window_.get(), "StringGrid1")->item(row, column);
        return item ? item->text() : QString();
    }

    // One plan typed into the editor's blank fields and added.
    struct TEntry {
        int Kind;
        QDate Start;  // invalid: the date the editor opened with
        QString Description, Count;
        std::vector<std::pair<const char*, QString>> Fields;
        const char* Method = nullptr;  // the radio button to choose, if not the first
    };
    static void AddPlan(TForm2& editor, const TEntry& e) {
        Click(&editor, "Button3");  // "清成空白"
        Get<QComboBox>(&editor, "ComboBox2")->setCurrentIndex(e.Kind);
        Get<QComboBox>(&editor, "ComboBox1")->setCurrentIndex(prMonthly);
        if (e.Start.isValid()) Get<QDateEdit>(&editor, "DateEdit1")->setDate(e.Start);
        Type(&editor, "RFilterEdit12", e.Description);
        Type(&editor, "RFilterEdit1", e.Count);
        for (const auto& [field, text] : e.Fields) Type(&editor, field, text);
        if (e.Method) Click(&editor, e.Method);
        Click(&editor, "Button1");  // "新增"
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::Taiwan)); }

    void aUsersFirstWeek() {
        // ---- Tuesday 10 March 2026: the plans are entered -------------------------
        Start(QDate(2026, 3, 10));
        QCOMPARE(window_->windowTitle(), QStringLiteral("Tamber 98"));
        // The salary starts on the day picked in the calendar.
        window_->Calendar().SetDay(12);
        RunModal<TForm2>("Plans1", [](TForm2& editor) {
            // 薪水: +30000 on the 12th, March 2026 to February 2027.
            AddPlan(editor, {pkFixAccount, {}, QStringLiteral("薪水"), QStringLiteral("12"), {{"RFilterEdit6", "30000"}}});
            // 互助會: 10 meetings on the 15th from January, 5000 each, base bid 300;
            // the member collects at meeting 6 with a bid of 800, outer bidding,
            // 4400 bid above the base before that.
            AddPlan(editor, {pkCollect, QDate(2026, 1, 15), QStringLiteral("互助會"), QStringLiteral("10"),
                             {{"RFilterEdit7", "5000"}, {"RFilterEdit8", "300"}, {"RFilterEdit9", "800"},
                              {"RFilterEdit10", "6"}, {"RFilterEdit11", "4400"}}});
            // 定存: 120000 deposited on 20 March at 1.5 %, interest paid monthly, 13 periods.
            AddPlan(editor, {pkSaving, QDate(2026, 3, 20), QStringLiteral("定存"), QStringLiteral("13"),
                             {{"RFilterEdit14", "120000"}, {"RFilterEdit13", "1.5"}}});
            // 零存整付: 1000 a month from 25 March at 12 %, 13 periods, paid out at the end.
            AddPlan(editor, {pkCompound, QDate(2026, 3, 25), QStringLiteral("零存整付"), QStringLiteral("13"),
                             {{"RFilterEdit16", "1000"}, {"RFilterEdit15", "12"}}, "RadioButton8"});
            // 車貸: 120000 borrowed on 28 March at 6 %, equal instalments over 12 months.
            AddPlan(editor, {pkLoan, QDate(2026, 3, 28), QStringLiteral("車貸"), QStringLiteral("13"),
                             {{"RFilterEdit18", "120000"}, {"RFilterEdit17", "6"}}});
            auto* grid = Get<QTableWidget>(&editor, "StringGrid1");
            QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("固定收入"));
            QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("互助會"));
            QCOMPARE(grid->item(4, 4)->text(), QStringLiteral("120000"));
            Click(&editor, "Button4");  // "回主畫面"
        });
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
        QCOMPARE(window_->Book().Count(), 5);
        QVERIFY(window_->State().Modified);

        // March from today, balance 0: +30000 on the 12th, -5000 (meeting 3) on
        // the 15th, -120000 deposited on the 20th, -1000 on the 25th, +120000
        // borrowed on the 28th.
        QCOMPARE(Cell(10).Balance, 0);
        QCOMPARE(Cell(12).Income, 30000);
        QCOMPARE(Cell(12).Balance, 30000);
        QCOMPARE(Cell(15).Expense, -5000);
        QCOMPARE(Cell(15).Balance, 25000);
        QCOMPARE(Cell(20).Balance, -95000);
        QCOMPARE(Cell(20).BalanceColor, clRed);
        QCOMPARE(Cell(25).Balance, -96000);
        QCOMPARE(Cell(28).Balance, 24000);
        QCOMPARE(Cell(28).BalanceColor, clBlue);
        QCOMPARE(Cell(31).Balance, 24000);
        QCOMPARE(Label("IncomeLabel"), QStringLiteral("150,000"));
        QCOMPARE(Label("ExpenseLabel"), QStringLiteral("-126,000"));
        // 22 days: 2 x 0 + 3 x 30000 + 5 x 25000 - 5 x 95000 - 3 x 96000 + 4 x 24000 = -452000; / 22 = -20545.45.
        QCOMPARE(window_->Calendar().MonthData().MonthAverageBalance, -20545);
        // The 12th is selected: the salary is listed with its remaining periods 2 to 12.
        QCOMPARE(DayGridText(0, 0), QStringLiteral("薪水"));
        QCOMPARE(DayGridText(0, 1), QStringLiteral("30000"));
        QCOMPARE(Get<QTableWidget>(window_.get(), "StringGrid2")->rowCount(), 11);

        // April: +30000, -5000, +150 interest, -1000, -10328 instalment (120000
        // at 0.5 % a month over 12 months) on top of 24000.
        Get<QScrollBar>(window_.get(), "ScrollBar3")->setValue(3);
        QCOMPARE(window_->Calendar().Month(), 4);
        QCOMPARE(Cell(28).Expense, -10328);
        QCOMPARE(Cell(30).Balance, 37822);
        Get<QScrollBar>(window_.get(), "ScrollBar3")->setValue(2);

        prompts_.SaveNames = {PlanFile()};
        Command("Save1")->trigger();
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
        const QByteArray firstSave = ReadAll(PlanFile());
        QCOMPARE(firstSave.size(), 6 * 188);
        QCOMPARE(HeaderOf(firstSave).BalanceDate, Day(2026, 3, 9));
        QCOMPARE(HeaderOf(firstSave).Balance, 0);
        QVERIFY(!window_->State().Modified);
        Quit();
        QCOMPARE(prompts_.SaveChangesAsked, 0);
        // Saving adds nothing to the recent files: only loads do.
        QCOMPARE(ReadSettings(PathOf(QStringLiteral("Tamber98.ini")).toStdString())[0], std::string());

        // ---- Friday 13 March: the salary came in 500 short --------------------------
        Start(QDate(2026, 3, 13));
        prompts_.OpenNames = {PlanFile()};
        int catchUps = 0;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<TForm5*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ++catchUps;
            QCOMPARE(Get<QLabel>(dialog, "PageLabel")->text(), QStringLiteral("1 頁之 1"));
            QCOMPARE(Get<QLabel>(dialog, "PlanLabel1")->text(), QStringLiteral("薪水"));
            QCOMPARE(Get<QLabel>(dialog, "LoadedBalanceLabel")->text(), QStringLiteral("0"));
            QCOMPARE(Get<QLineEdit>(dialog, "RFilterEdit1")->text(), QStringLiteral("30000"));
            QVERIFY(Get<QLineEdit>(dialog, "RFilterEdit2")->isHidden());
            Type(dialog, "RFilterEdit1", QStringLiteral("29500"));
            Click(dialog, "Button3");  // "確定"
            if (dialog->isVisible()) dialog->reject();
        });
        Command("Load1")->trigger();
        QCOMPARE(catchUps, 1);
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
        QCOMPARE(window_->windowTitle(), QStringLiteral("Tamber 98 - journey.tbr"));
        QCOMPARE(window_->State().OpeningBalance, 29500);
        const QByteArray caughtUp = ReadAll(PlanFile());
        QCOMPARE(HeaderOf(caughtUp).BalanceDate, Day(2026, 3, 12));
        QCOMPARE(HeaderOf(caughtUp).Balance, 29500);
        QCOMPARE(caughtUp.mid(188), firstSave.mid(188));
        // March from the 13th: 29500, -5000, -120000, -1000, +120000.
        QCOMPARE(Cell(13).Balance, 29500);
        QCOMPARE(Cell(15).Balance, 24500);
        QCOMPARE(Cell(31).Balance, 23500);
        QCOMPARE(Label("IncomeLabel"), QStringLiteral("120,000"));
        QCOMPARE(Label("ExpenseLabel"), QStringLiteral("-126,000"));
        Quit();
        QCOMPARE(prompts_.SaveChangesAsked, 0);

        // ---- Monday 16 March: from the recent files ------------------------------------
        Start(QDate(2026, 3, 16));
        QAction* recent = Command("Recent1");
        QCOMPARE(recent->text(), PlanFile());
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<TForm5*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ++catchUps;
            // Meeting 3 of the club on the 15th, as planned.
            QCOMPARE(Get<QLabel>(dialog, "PlanLabel1")->text(), QStringLiteral("互助會"));
            QCOMPARE(Get<QLineEdit>(dialog, "RFilterEdit1")->text(), QStringLiteral("-5000"));
            QCOMPARE(Get<QLabel>(dialog, "LoadedBalanceLabel")->text(), QStringLiteral("29500"));
            Click(dialog, "Button3");
            if (dialog->isVisible()) dialog->reject();
        });
        recent->trigger();
        QCOMPARE(catchUps, 2);
        QCOMPARE(window_->State().OpeningBalance, 24500);
        QCOMPARE(HeaderOf(ReadAll(PlanFile())).BalanceDate, Day(2026, 3, 15));
        QCOMPARE(HeaderOf(ReadAll(PlanFile())).Balance, 24500);

        // A year of the chart from today.
        RunModal<TForm4>("Chart1", [this](TForm4& chart) {
            Get<QDateEdit>(&chart, "DateEdit1")->setDate(today_);
            Type(&chart, "RFilterEdit1", QStringLiteral("1"));
            auto* unit = Get<QComboBox>(&chart, "ComboBox1");
            unit->setCurrentIndex(unit->findText(QStringLiteral("年")));
            Click(&chart, "Button1");  // "顯示圖表"
            QVERIFY(chart.Line().has_value());
            const auto& points = chart.Line()->Points();
            QCOMPARE(points.size(), std::size_t{365});
            QCOMPARE(points.front(), (TBalancePoint{Day(2026, 3, 16), 24500}));
            QCOMPARE(points[4], (TBalancePoint{Day(2026, 3, 20), -95500}));
            QCOMPARE(points[12], (TBalancePoint{Day(2026, 3, 28), 23500}));
            // To 15 March 2027: salary 11 x 30000; club -5000 - 5000 + 50600 (meeting 6:
            // 9 x 5000 + 4400 + 4 x 300) - 4 x 5800; deposit -120000 + 11 x 150; savings
            // -12 x 1000; loan 120000 - 11 x 10328: +223442 in all.
            QCOMPARE(points.back(), (TBalancePoint{Day(2027, 3, 15), 247942}));
            Click(&chart, "Button2");  // "離開"
        });

        // The balance counted at home is 25000.
        RunModal<TForm3>("Balance1", [](TForm3& balance) {
            QCOMPARE(Get<QLineEdit>(&balance, "RFilterEdit1")->text(), QStringLiteral("24500"));
            Type(&balance, "RFilterEdit1", QStringLiteral("25000"));
            Click(&balance, "Button1");  // "確定"
        });
        QCOMPARE(window_->State().OpeningBalance, 25000);
        QCOMPARE(HeaderOf(ReadAll(PlanFile())).Balance, 25000);
        QCOMPARE(HeaderOf(ReadAll(PlanFile())).BalanceDate, Day(2026, 3, 15));
        QCOMPARE(Cell(16).Balance, 25000);
        QVERIFY(!window_->State().Modified);

        // The salary rises to 31000 from April.
        RunModal<TForm2>("Plans1", [](TForm2& editor) {
            auto* grid = Get<QTableWidget>(&editor, "StringGrid1");
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 0)).center());
            QCOMPARE(editor.SelectedPlan(), 0);
            QCOMPARE(Get<QLineEdit>(&editor, "RFilterEdit6")->text(), QStringLiteral("30000"));
            Type(&editor, "RFilterEdit6", QStringLiteral("31000"));
            Click(&editor, "Button5");  // "異動"
            Click(&editor, "Button4");
        });
        QVERIFY(window_->State().Modified);
        // April: 25000 - 120000 - 1000 + 120000 to the end of March, then +31000 - 5000 + 150 - 1000 - 10328.
        Get<QScrollBar>(window_.get(), "ScrollBar3")->setValue(3);
        QCOMPARE(window_->State().MonthCarryIn, -1000);
        QCOMPARE(Cell(30).Balance, 38822);

        Quit();
        QCOMPARE(prompts_.SaveChangesAsked, 1);
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
        const QByteArray lastSave = ReadAll(PlanFile());
        QCOMPARE(lastSave.size(), 6 * 188);
        QCOMPARE(HeaderOf(lastSave).BalanceDate, Day(2026, 3, 15));
        QCOMPARE(HeaderOf(lastSave).Balance, 25000);
        TPlanBook saved;
        ReadPlanFile(PlanFile().toStdString(), saved);
        QCOMPARE(saved.Plan(0).Rec().Amount, 31000);
        QCOMPARE(lastSave.mid(2 * 188), firstSave.mid(2 * 188));  // the other four plans as entered
        QCOMPARE(ReadSettings(PathOf(QStringLiteral("Tamber98.ini")).toStdString())[0], PlanFile().toStdString());
    }
};

QTEST_MAIN(JourneyTest)
#include "JourneyTest.moc"
