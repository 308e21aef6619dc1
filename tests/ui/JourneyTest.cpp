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
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include "ui/ChartUnit.h"
#include "ui/DrawCalendar.h"
#include "ui/Input.h"
#include "ui/Main.h"
#include "book/PlanFile.h"
#include "book/Settings.h"
#include "UiTestSupport.h"
#include "ui/Wiring.h"
#include "ui/catchup.h"
#include "ui/init.h"

using namespace tamber;
using namespace tamber::ui;
using tamber::test::Day;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <class T = QWidget>
T* Get(QWidget* window, const char* name) {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
}
QString Text(QWidget* window, const char* name) {
    auto* label = qobject_cast<QLabel*>(Get(window, name));
    return label ? label->text() : Get<QLineEdit>(window, name)->text();
}
void Click(QWidget* window, const char* button) { Get<QAbstractButton>(window, button)->click(); }
void Type(QWidget* window, int field, const QString& text) {
    auto* edit = Get<QLineEdit>(window, qPrintable(QStringLiteral("RFilterEdit%1").arg(field)));
    edit->setFocus();
    edit->selectAll();
    edit->del();
    QInputMethodEvent commit;  // Chinese arrives committed by the input method, the rest key by key
    commit.setCommitString(text);
    if (text.toUtf8().size() == text.size()) QTest::keyClicks(edit, text); else QCoreApplication::sendEvent(edit, &commit);
}

// One plan typed into the editor's blank fields and added: its kind, its start (invalid: the date the editor opened
// with), the fields by number, and the radio button of its method if not the first.
void AddPlan(TForm2& editor, int kind, QDate start, const std::vector<std::pair<int, QString>>& fields,
             const char* method = nullptr) {
    Click(&editor, "Button3");  // "清成空白"
    Get<QComboBox>(&editor, "ComboBox2")->setCurrentIndex(kind);
    Get<QComboBox>(&editor, "ComboBox1")->setCurrentIndex(prMonthly);
    if (start.isValid()) Get<QDateEdit>(&editor, "DateEdit1")->setDate(start);
    for (const auto& [field, text] : fields) Type(&editor, field, text);
    if (method) Click(&editor, method);
    Click(&editor, "Button1");  // "新增"
}

}  // namespace

class JourneyTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    test::TScriptedPrompts prompts_;
    QDate today_;
    std::unique_ptr<TForm1> window_;
    int modalsHandled_ = 0;

    QString Settings() const { return dir_.path() + QStringLiteral("/Tamber98.ini"); }
    QString PlanFile() const { return dir_.path() + QStringLiteral("/journey.tbr"); }
    // The header the plan file starts with: the balance date and the balance.
    std::pair<TDate, int32_t> Header() const {
        TPlanBook book;
        const TPlanFileHeader header = ReadPlanFile(PlanFile().toStdString(), book);
        return {header.BalanceDate, header.Balance};
    }

    // The program starting on Day: the main window with every other window wired as the program wires them.
    void Start(QDate day) {
        today_ = day;
        TForm1::TOptions options;
        options.SettingsFile = Settings().toStdString();
        options.Prompts = &prompts_;
        options.Today = [this] { return today_; };
        window_ = std::make_unique<TForm1>(options);
        WireWindows(*window_, prompts_);
        window_->show();
        QApplication::setActiveWindow(window_.get());
        QCoreApplication::processEvents();
    }
    // Closes the window, which saves from the unsaved-changes prompt should it ask; the number of times it asked.
    int Quit() {
        const int before = prompts_.SaveChangesAsked;
        window_->close();
        window_.reset();
        return prompts_.SaveChangesAsked - before;
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
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
    }

    const TDayCell& Cell(int day) const {
        const TCalendarMonth& month = window_->Calendar().MonthData();
        return month.Cell(month.DayToCell(day));
    }
    QList<int> Balances(std::initializer_list<int> days) const {
        QList<int> balances;
        for (const int day : days) balances << Cell(day).Balance;
        return balances;
    }
    void ShowMonth(int month) { Get<QScrollBar>(window_.get(), "ScrollBar3")->setValue(month - 1); }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::Taiwan));
        prompts_.SavesFromThePrompt = 1;
    }

    void aUsersFirstWeek() {
        // ---- Tuesday 10 March 2026: the plans are entered -------------------------
        Start(QDate(2026, 3, 10));
        window_->Calendar().SetDay(12);  // the salary starts on the day picked in the calendar
        RunModal<TForm2>("Plans1", [](TForm2& editor) {
            // 薪水: +30000 on the 12th, March 2026 to February 2027.
            AddPlan(editor, pkFixAccount, {}, {{12, "薪水"}, {1, "12"}, {6, "30000"}});
            // 互助會: 10 meetings on the 15th from January, 5000 each, base bid 300;
            // the member collects at meeting 6 with a bid of 800, outer bidding,
            // 4400 bid above the base before that.
            AddPlan(editor, pkCollect, QDate(2026, 1, 15),
                    {{12, "互助會"}, {1, "10"}, {7, "5000"}, {8, "300"}, {9, "800"}, {10, "6"}, {11, "4400"}});
            // 定存: 120000 deposited on 20 March at 1.5 %, interest paid monthly, 13 periods.
            AddPlan(editor, pkSaving, QDate(2026, 3, 20), {{12, "定存"}, {1, "13"}, {14, "120000"}, {13, "1.5"}});
            // 零存整付: 1000 a month from 25 March at 12 %, 13 periods, paid out at the end.
            AddPlan(editor, pkCompound, QDate(2026, 3, 25), {{12, "零存整付"}, {1, "13"}, {16, "1000"}, {15, "12"}}, "RadioButton8");
            // 車貸: 120000 borrowed on 28 March at 6 %, equal instalments over 12 months.
            AddPlan(editor, pkLoan, QDate(2026, 3, 28), {{12, "車貸"}, {1, "13"}, {18, "120000"}, {17, "6"}});
            Click(&editor, "Button4");  // "回主畫面"
        });
        QCOMPARE(window_->Book().Count(), 5);
        QVERIFY(window_->State().Modified);

        // March from today, balance 0: +30000 on the 12th, -5000 (meeting 3) on
        // the 15th, -120000 deposited on the 20th, -1000 on the 25th, +120000
        // borrowed on the 28th.
        QCOMPARE(Balances({10, 12, 15, 20, 25, 28, 31}), (QList<int>{0, 30000, 25000, -95000, -96000, 24000, 24000}));
        QCOMPARE(Cell(12).Income, 30000);
        QCOMPARE(Cell(15).Expense, -5000);
        QCOMPARE(Text(window_.get(), "IncomeLabel"), QStringLiteral("150,000"));
        QCOMPARE(Text(window_.get(), "ExpenseLabel"), QStringLiteral("-126,000"));
        // 22 days: 2 x 0 + 3 x 30000 + 5 x 25000 - 5 x 95000 - 3 x 96000 + 4 x 24000 = -452000; / 22 = -20545.45.
        QCOMPARE(window_->Calendar().MonthData().MonthAverageBalance, -20545);
        // The 12th is selected: the salary is listed with its remaining periods 2 to 12.
        QCOMPARE(Get<QTableWidget>(window_.get(), "StringGrid1")->item(0, 1)->text(), QStringLiteral("30000"));
        QCOMPARE(Get<QTableWidget>(window_.get(), "StringGrid2")->rowCount(), 11);

        // April: +30000, -5000, +150 interest, -1000, -10328 instalment (120000
        // at 0.5 % a month over 12 months) on top of 24000.
        ShowMonth(4);
        QCOMPARE(Cell(28).Expense, -10328);
        QCOMPARE(Cell(30).Balance, 37822);
        ShowMonth(3);

        prompts_.SaveNames = {PlanFile()};
        Command("Save1")->trigger();
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
        const QByteArray firstSave = ReadAll(PlanFile());
        QCOMPARE(firstSave.size(), 6 * 188);
        QCOMPARE(Header(), std::pair(Day(2026, 3, 9), 0));
        QCOMPARE(Quit(), 0);
        // Saving adds nothing to the recent files: only loads do.
        QCOMPARE(ReadSettings(Settings().toStdString())[0], std::string());

        // ---- Friday 13 March: the salary came in 500 short --------------------------
        Start(QDate(2026, 3, 13));
        prompts_.OpenNames = {PlanFile()};
        RunModal<TForm5>("Load1", [](TForm5& dialog) {
            // One item: the salary of the 12th, from the balance of 0 saved on Tuesday.
            QCOMPARE((QStringList{Text(&dialog, "PlanLabel1"), Text(&dialog, "LoadedBalanceLabel"),
                                  Text(&dialog, "RFilterEdit1")}),
                     (QStringList{"薪水", "0", "30000"}));
            QVERIFY(Get(&dialog, "RFilterEdit2")->isHidden());
            Type(&dialog, 1, QStringLiteral("29500"));
            Click(&dialog, "Button3");  // "確定"
        });
        QCOMPARE(window_->windowTitle(), QStringLiteral("Tamber 98 - journey.tbr"));
        QCOMPARE(window_->State().OpeningBalance, 29500);
        const QByteArray caughtUp = ReadAll(PlanFile());
        QCOMPARE(Header(), std::pair(Day(2026, 3, 12), 29500));
        QCOMPARE(caughtUp.mid(188), firstSave.mid(188));
        // March from the 13th: 29500, -5000, -120000, -1000, +120000.
        QCOMPARE(Balances({13, 15, 31}), (QList<int>{29500, 24500, 23500}));
        QCOMPARE(Text(window_.get(), "IncomeLabel"), QStringLiteral("120,000"));
        QCOMPARE(Text(window_.get(), "ExpenseLabel"), QStringLiteral("-126,000"));
        QCOMPARE(Quit(), 0);

        // ---- Monday 16 March: from the recent files ------------------------------------
        Start(QDate(2026, 3, 16));
        QCOMPARE(Command("Recent1")->text(), PlanFile());
        RunModal<TForm5>("Recent1", [](TForm5& dialog) {
            // Meeting 3 of the club on the 15th, as planned.
            QCOMPARE((QStringList{Text(&dialog, "PlanLabel1"), Text(&dialog, "LoadedBalanceLabel"),
                                  Text(&dialog, "RFilterEdit1")}),
                     (QStringList{"互助會", "29500", "-5000"}));
            Click(&dialog, "Button3");
        });
        QCOMPARE(window_->State().OpeningBalance, 24500);
        QCOMPARE(Header(), std::pair(Day(2026, 3, 15), 24500));

        // A year of the chart from today.
        RunModal<TForm4>("Chart1", [this](TForm4& chart) {
            Get<QDateEdit>(&chart, "DateEdit1")->setDate(today_);
            Type(&chart, 1, QStringLiteral("1"));
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
            QCOMPARE(Text(&balance, "RFilterEdit1"), QStringLiteral("24500"));
            Type(&balance, 1, QStringLiteral("25000"));
            Click(&balance, "Button1");  // "確定"
        });
        QCOMPARE(window_->State().OpeningBalance, 25000);
        QCOMPARE(Header(), std::pair(Day(2026, 3, 15), 25000));
        QCOMPARE(Cell(16).Balance, 25000);
        QVERIFY(!window_->State().Modified);

        // The salary rises to 31000 from April.
        RunModal<TForm2>("Plans1", [](TForm2& editor) {
            auto* grid = Get<QTableWidget>(&editor, "StringGrid1");
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 0)).center());
            QCOMPARE(Text(&editor, "RFilterEdit6"), QStringLiteral("30000"));
            Type(&editor, 6, QStringLiteral("31000"));
            Click(&editor, "Button5");  // "異動"
            Click(&editor, "Button4");
        });
        QVERIFY(window_->State().Modified);
        // April: 25000 - 120000 - 1000 + 120000 to the end of March, then +31000 - 5000 + 150 - 1000 - 10328.
        ShowMonth(4);
        QCOMPARE(window_->State().MonthCarryIn, -1000);
        QCOMPARE(Cell(30).Balance, 38822);

        QCOMPARE(Quit(), 1);
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
        const QByteArray lastSave = ReadAll(PlanFile());
        QCOMPARE(lastSave.size(), 6 * 188);
        QCOMPARE(Header(), std::pair(Day(2026, 3, 15), 25000));
        TPlanBook saved;
        ReadPlanFile(PlanFile().toStdString(), saved);
        QCOMPARE(saved.Plan(0).Rec().Amount, 31000);
        QCOMPARE(lastSave.mid(2 * 188), firstSave.mid(2 * 188));  // the other four plans as entered
        QCOMPARE(ReadSettings(Settings().toStdString())[0], PlanFile().toStdString());
    }
};

QTEST_MAIN(JourneyTest)
#include "JourneyTest.moc"
