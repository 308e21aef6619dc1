// Bad input as a new user tries it: empty fields, letters, a pasted mix, 0, the largest 32-bit value and one beyond
// it, a rate "1.2.3", start dates at the ends of the date range, and saves that cannot be written. Every case ends with
// the program's own message, or with a value the field visibly holds, and nothing entered or saved before is lost.
// One row per field and per way its entry is read: the plan entry's rules are pinned by the book's plan field tests.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "ui/ChartUnit.h"
#include "ui/Input.h"
#include "ui/Main.h"
#include "book/PlanFile.h"
#include "UiTestSupport.h"
#include "ui/catchup.h"
#include "ui/init.h"

using namespace tamber;
using namespace tamber::ui;
using tamber::test::Day;
using tamber::test::Flow;

namespace {

// How text reaches a field: typed key by key, or pasted from the clipboard.
enum TRoute { Typed, Pasted };

void Enter(QLineEdit* edit, const QString& text, int route = Typed) {
    edit->setFocus();
    edit->clear();
    if (route == Typed) return QTest::keyClicks(edit, text);  // key by key, ASCII only
    QApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

template <class T = QWidget>
T* Get(QWidget* window, const QString& name) {
    T* widget = window->findChild<T*>(name);
    if (widget == nullptr) qFatal("no control %s", qPrintable(name));
    return widget;
}
QLineEdit* Edit(QWidget* window, int n) { return Get<QLineEdit>(window, QStringLiteral("RFilterEdit%1").arg(n)); }

// Every text, choice and date of a window's fields, to see that nothing the user entered is lost.
QStringList Snapshot(QWidget* window) {
    QStringList texts;
    for (const QLineEdit* edit : window->findChildren<QLineEdit*>()) texts << edit->objectName() + '=' + edit->text();
    for (const QComboBox* box : window->findChildren<QComboBox*>()) texts << box->objectName() + '#' + box->currentText();
    for (const QRadioButton* radio : window->findChildren<QRadioButton*>())
        texts << radio->objectName() + (radio->isChecked() ? "*" : "");
    for (const QDateEdit* date : window->findChildren<QDateEdit*>()) texts << date->date().toString(Qt::ISODate);
    return texts;
}

// A sound entry of each plan kind, and the interval and listed days, read only by the periods that show them: field
// number and text.
using TEntries = std::vector<std::pair<int, const char*>>;
const TEntries kSoundKinds[] = {
    {{1, "12"}, {6, "900"}},
    {{1, "10"}, {7, "5000"}, {8, "300"}, {9, "800"}, {10, "6"}, {11, "4400"}},
    {{1, "13"}, {14, "100000"}, {13, "1.5"}},
    {{1, "13"}, {16, "10000"}, {15, "2"}},
    {{1, "13"}, {18, "120000"}, {17, "3.5"}},
};
const TEntries kSoundPeriods = {{2, "7"}, {3, "5"}, {4, "25"}, {5, "28"}};

const QString kMax = QStringLiteral("2147483647");
const QString kBeyond = QStringLiteral("2147483648");
const QString kNone;

// A row of the editor's table: the plan's kind, period and start (invalid: the picker's first day), the field, what is
// entered there and what it then holds, and the message ("" when the plan is added).
struct TEditorCase {
    int Kind, Period;
    QDate Start;
    int Field, Route;
    QString Input, Shown, Message;
};
// A row of the other windows' table: the window, what is entered and then held, the message and the window's figure.
struct TWindowCase {
    QString Window;
    int Route;
    QString Input, Shown, Message, Figure;
};

}  // namespace

Q_DECLARE_METATYPE(TEditorCase)
Q_DECLARE_METATYPE(TWindowCase)

class BadInputTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    test::TScriptedPrompts prompts_;
    const QDate today_{2026, 3, 10};

    QString PathOf(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    QString WriteError(const QString& file) const { return QStringLiteral("寫檔錯誤: %1 (找不到檔案或資料夾)").arg(file); }

    std::unique_ptr<TForm1> MakeMainWindow() {
        TForm1::TOptions options;
        options.SettingsFile = PathOf(QStringLiteral("Tamber98.ini")).toStdString();
        options.Prompts = &prompts_;
        options.Today = [this] { return today_; };
        return std::make_unique<TForm1>(options);
    }

    // The plan editor over a book holding one monthly -500, its fields filled with a sound plan of Kind and Period
    // that has no description.
    TPlanBook book_;
    TPlanBookState state_;
    std::unique_ptr<TForm2> editor_;
    void OpenEditor(int kind, int period) {
        book_.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 1, 5), 12, -500)));
        editor_ = std::make_unique<TForm2>(book_, state_, TForm2::TOptions{&prompts_, [this] { return today_; }});
        editor_->show();
        Get<QComboBox>(editor_.get(), "ComboBox2")->setCurrentIndex(kind);
        Get<QComboBox>(editor_.get(), "ComboBox1")->setCurrentIndex(period);
        for (const TEntries& fields : {kSoundKinds[kind], kSoundPeriods})
            for (const auto& [n, text] : fields) Edit(editor_.get(), n)->setText(QString::fromLatin1(text));
    }
    // Add with the fields as they are: the message shown, or "" when the plan was added.
    QString Add() {
        const QStringList before = Snapshot(editor_.get());
        Get<QPushButton>(editor_.get(), "Button1")->click();
        if (prompts_.Errors.isEmpty()) return book_.Count() == 2 && state_.Modified ? QString() : QStringLiteral("added nothing");
        // Refused: the book, its first plan and every field stay as they were.
        if (book_.Count() != 1 || book_.Plan(0).Rec().Amount != 500 || state_.Modified) return QStringLiteral("book changed");
        if (Snapshot(editor_.get()) != before) return QStringLiteral("fields changed");
        return prompts_.Errors.join('\n');
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale::c());  // a decimal point, whatever the machine's language
    }
    void init() {
        prompts_ = test::TScriptedPrompts();
        prompts_.SavesFromThePrompt = 1;
    }
    void cleanup() {
        editor_.reset();
        book_.Clear();
        state_ = TPlanBookState();
    }

    void editorFields_data() {
        QTest::addColumn<TEditorCase>("c");
        const auto row = [](const char* name, int kind, int period, int field, const QString& input, const QString& shown,
                            const char* message, int route = Typed, QDate start = QDate(2026, 3, 20)) {
            QTest::newRow(name) << TEditorCase{kind, period, start, field, route, input, shown, QString::fromUtf8(message)};
        };
        const int fix = pkFixAccount, club = pkCollect, monthly = prMonthly;
        // Number of periods: digits only, at least 1, and the last one in the year 9999 at the latest.
        row("count letters stay out", fix, monthly, 1, "abc", kNone, "期數輸入錯誤");
        row("count pasted mix keeps its digits", fix, monthly, 1, "1a2 b", "12", "", Pasted);
        row("count 0", fix, monthly, 1, "0", "0", "期數輸入錯誤");
        row("count largest", fix, monthly, 1, kMax, kMax, "期數輸入錯誤, 最後一期的日期超過 9999 年");
        row("count beyond", fix, monthly, 1, kBeyond, kBeyond, "期數輸入錯誤");
        // Description: any text code page 950 holds (every other row leaves it empty).
        row("description pasted mix", fix, monthly, 12, "房租 rent 😀\t0", "房租 rent 0", "", Pasted);
        // Interval and days of the month, the days two characters at most.
        row("interval empty", fix, prEveryNDays, 2, kNone, kNone, "間隔天數輸入錯誤");
        row("first day largest keeps two digits", fix, prTwiceMonthly, 3, kMax, "21", "");
        row("first day pasted after the second", fix, prTwiceMonthly, 3, "3a1", "31", "日期請由小至大輸入", Pasted);
        row("second day 32", fix, prTwiceMonthly, 4, "32", "32", "日期超過範圍");
        row("third day empty", fix, prThriceMonthly, 5, kNone, kNone, "日期輸入錯誤");
        // Amounts: 0 is a plan, the sum of every period must stay within 32 bits.
        row("amount letters stay out", fix, monthly, 6, "abc", kNone, "金額輸入錯誤");
        row("amount 0", fix, monthly, 6, "0", "0", "");
        row("amount largest, twelve times", fix, monthly, 6, kMax, kMax, "金額輸入錯誤, 算出的金額超出範圍");
        row("amount beyond", fix, monthly, 6, kBeyond, kBeyond, "金額輸入錯誤");  // a count beyond reads as below 1 too
        // Savings club: each field its own message; a winning period the club never reaches never collects.
        row("club amount empty", club, monthly, 7, kNone, kNone, "金額輸入錯誤");
        row("club amount largest", club, monthly, 7, kMax, kMax, "金額輸入錯誤, 算出的金額超出範圍");
        row("base bid letters", club, monthly, 8, "abc", kNone, "底標金額輸入錯誤");
        row("winning bid empty", club, monthly, 9, kNone, kNone, "預估（實際）得標金額輸入錯誤");
        row("winning period empty", club, monthly, 10, kNone, kNone, "預估（實際）得標期次輸入錯誤");
        row("winning period 0: never collects", club, monthly, 10, "0", "0", "");
        row("winning period largest: never collects", club, monthly, 10, kMax, kMax, "");
        row("above base empty", club, monthly, 11, kNone, kNone, "超過底標總金額輸入錯誤");
        // Deposits and loans: a signed amount and a rate.
        row("deposit amount pasted mix", pkSaving, monthly, 14, "-1a0", "-10", "", Pasted);
        row("deposit rate 1.2.3", pkSaving, monthly, 13, "1.2.3", "1.2.3", "年利率輸入錯誤");
        // The rate field's character set runs from code 0 up to ".", which takes "," and "%" too.
        row("deposit rate with a comma", pkSaving, monthly, 13, "1,5%", "1,5%", "年利率輸入錯誤", Pasted);
        row("deposit rate largest", pkSaving, monthly, 13, kMax, kMax, "金額或年利率輸入錯誤, 算出的金額超出範圍");
        row("compound rate 0", pkCompound, monthly, 15, "0", "0", "");
        row("compound rate largest", pkCompound, monthly, 15, kMax, kMax, "年利率輸入錯誤, 以此年利率及期數無法算出金額");
        row("loan amount largest", pkLoan, monthly, 18, kMax, kMax, "");
        row("loan rate 0", pkLoan, monthly, 17, "0", "0", "年利率輸入錯誤, 以此年利率及期數無法算出金額");
        // Start dates at the ends of the picker's range; the field is the number of periods.
        const QDate last(9999, 12, 31);
        row("once on the last day", fix, prOnce, 1, kNone, kNone, "", Typed, last);
        row("monthly reaching into the year 10000", fix, monthly, 1, "2", "2", "期數輸入錯誤, 最後一期的日期超過 9999 年", Typed, last);
        row("monthly ending in December 9999", fix, monthly, 1, "12", "12", "", Typed, QDate(9999, 1, 31));
        row("daily reaching into the year 10000", fix, prEveryNDays, 1, "2", "2",
            "期數或間隔天數輸入錯誤, 最後一期的日期超過 9999 年", Typed, last);
        row("twice a month, first day in the year 10000", fix, prTwiceMonthly, 1, "1", "1", "日期輸入錯誤, 第一期的日期不存在",
            Typed, last);
        row("the picker's first day", fix, monthly, 1, "12", "12", "", Typed, QDate());
    }
    void editorFields() {
        QFETCH(TEditorCase, c);
        OpenEditor(c.Kind, c.Period);
        auto* picker = Get<QDateEdit>(editor_.get(), "DateEdit1");
        const QDate start = c.Start.isValid() ? c.Start : picker->minimumDate();
        picker->setDate(start);
        QCOMPARE(picker->date(), start);
        QLineEdit* edit = Edit(editor_.get(), c.Field);
        Enter(edit, c.Input, c.Route);
        QCOMPARE(edit->text(), c.Shown);
        QCOMPARE(Add(), c.Message);
        if (!c.Message.isEmpty()) return;
        // An accepted plan shows in the main window's month and day lists without a complaint.
        auto w = MakeMainWindow();
        w->Book().Append(CreateFrom(book_.Plan(1).Rec()));
        w->ComputeMonth(2026, 3);
        w->ShowDayPlans(book_.Plan(1).FirstDate());
        QCoreApplication::processEvents();
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
    }

    // The catch-up's amounts, the balance adjustment and the chart's count: text entered, then the window's OK.
    void otherWindowFields_data() {
        QTest::addColumn<TWindowCase>("c");
        const auto row = [](const char* name, const char* window, const QString& input, const QString& shown,
                            const char* message, const QString& figure, int route = Typed) {
            QTest::newRow(name) << TWindowCase{QString::fromUtf8(window), route, input, shown, QString::fromUtf8(message), figure};
        };
        // The catch-up from a loaded balance of 1000: item 1 (+500) is typed over, item 2 is -200.
        // The figure: the new balance.
        const char* item1 = "第 1 項金額輸入錯誤";
        row("catch-up letters stay out", "catch-up", "abc", kNone, item1, "none");
        row("catch-up pasted mix keeps digits and sign", "catch-up", "-1a2 b", "-12", "", "788", Pasted);
        row("catch-up largest takes the balance beyond", "catch-up", kMax, kMax, item1, "none");
        row("catch-up beyond", "catch-up", kBeyond, kBeyond, item1, "none");
        row("catch-up smallest", "catch-up", "-2147483648", "-2147483648", "", "-2147482848", Pasted);
        // The balance adjustment over an opening balance of 777. The figure: the opening balance.
        row("balance letters stay out", "balance", "abc", kNone, "'' 不是有效的整數值", "777");
        row("balance pasted mix", "balance", "-1,234 元", "-1234", "", "-1234", Pasted);
        row("balance two minus signs", "balance", "--5", "--5", "'--5' 不是有效的整數值", "777");
        row("balance largest", "balance", kMax, kMax, "", kMax);
        row("balance beyond", "balance", kBeyond, kBeyond, "'2147483648' 不是有效的整數值", "777");
        // The chart's count in the unit named. The figure: the count field after the chart is shown, and the
        // days charted.
        row("chart letters stay out", "chart 日", "abc", kNone, "'' is not a valid integer value", " 0");
        row("chart pasted mix", "chart 日", "1 2 days", "12", "", "12 12", Pasted);
        row("chart 0 is raised to 1", "chart 月", "0", "0", "", "1 30");
        row("chart largest years are lowered to 30", "chart 年", kMax, kMax, "", "30 10950");
        row("chart beyond in months is lowered to 360", "chart 月", kBeyond, kBeyond, "", "360 10800");
        row("chart beyond in days is lowered to 30 years", "chart 日", kBeyond, kBeyond, "", "10950 10950");
    }
    void otherWindowFields() {
        QFETCH(TWindowCase, c);
        TPlanBook book;
        book.Append(CreateFrom(pkFixAccount, Flow(prOnce, Day(2026, 3, 7), 1, 500)));
        book.Append(CreateFrom(pkFixAccount, Flow(prOnce, Day(2026, 3, 8), 1, -200)));
        TPendingList pending = BuildPendingList(book, Day(2026, 3, 5), Day(2026, 3, 10));
        TPlanBookState state;
        state.OpeningBalance = 777;
        std::unique_ptr<QWidget> window;
        if (c.Window == QLatin1String("catch-up")) window = std::make_unique<TForm5>(pending, Day(2026, 3, 5), 1000, prompts_);
        if (c.Window == QLatin1String("balance")) window = std::make_unique<TForm3>(state, [this] { return today_; }, prompts_);
        if (c.Window.startsWith(QLatin1String("chart"))) {
            window = std::make_unique<TForm4>(book, 1000, [this] { return today_; }, &prompts_);
            auto* units = Get<QComboBox>(window.get(), "ComboBox1");
            units->setCurrentIndex(units->findText(c.Window.section(' ', 1)));
        }
        window->show();
        QLineEdit* edit = Edit(window.get(), 1);
        Enter(edit, c.Input, c.Route);
        QCOMPARE(edit->text(), c.Shown);

        QString figure;
        if (auto* catchUp = qobject_cast<TForm5*>(window.get())) {
            Get<QPushButton>(catchUp, "Button3")->click();
            figure = catchUp->NewBalance() ? QString::number(*catchUp->NewBalance()) : QStringLiteral("none");
            // What the user typed is kept, on the row and in the list.
            QCOMPARE(QString::fromStdString(pending[0].AmountText), c.Shown);
            QCOMPARE(pending[1].AmountText, std::string("-200"));
        } else if (auto* chart = qobject_cast<TForm4*>(window.get())) {
            chart->Button1Click();
            figure = edit->text() + ' ' + QString::number(chart->Line() ? chart->Line()->Points().size() : 0);
        } else {
            Get<QPushButton>(window.get(), "Button1")->click();
            figure = QString::number(state.OpeningBalance);
        }
        QCOMPARE(prompts_.Errors.join('\n'), c.Message);
        QCOMPARE(figure, c.Figure);
        if (!c.Message.isEmpty()) QVERIFY(window->isVisible());
    }

    void chartAtTheEndsOfItsDateRange() {
        TPlanBook book;
        book.Append(CreateFrom(pkFixAccount, Flow(prEveryNDays, Day(2026, 1, 5), 2000000, -1)));
        TForm4 chart(book, 1000, [this] { return today_; }, &prompts_);
        chart.show();
        auto* picker = Get<QDateEdit>(&chart, "DateEdit1");
        auto* units = Get<QComboBox>(&chart, "ComboBox1");
        units->setCurrentIndex(units->findText(QStringLiteral("年")));
        Enter(Edit(&chart, 1), QStringLiteral("30"));
        for (const QDate start : {picker->minimumDate(), picker->maximumDate()}) {
            picker->setDate(start);
            chart.Button1Click();
            QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
            QVERIFY(chart.Line());
            QCOMPARE(int(chart.Line()->Points().size()), 30 * 365);
            QVERIFY(chart.Line()->Points().back().Date <= Day(9999, 12, 31));  // still a day of the calendar
        }
    }

    // A loaded file with one plan is changed, and a write fails: a save as into a missing folder, or the file's
    // own folder has gone. The window keeps the file it had; at close the change is saved into it, or, when its
    // first save fails too, into the file the prompt's second save asks a name for.
    void failedSavesLoseNothing_data() {
        QTest::addColumn<bool>("folderGone");     // else a save as fails
        QTest::addColumn<bool>("adjustBalance");  // else a plan is added
        QTest::addColumn<int>("plans");
        QTest::addColumn<int>("balance");
        QTest::newRow("save as into a missing folder") << false << false << 2 << 0;
        QTest::newRow("folder gone, a plan added") << true << false << 2 << 0;
        QTest::newRow("folder gone, the balance adjusted: its header rewrite fails") << true << true << 1 << 4321;
    }
    void failedSavesLoseNothing() {
        QFETCH(bool, folderGone);
        QFETCH(bool, adjustBalance);
        QFETCH(int, plans);
        QFETCH(int, balance);
        QTemporaryDir away;
        const QString file = away.path() + QStringLiteral("/plans.tbr");
        {
            TPlanBook book;
            book.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 3, 15), 12, 100)));
            TPlanBookState state;
            SavePlanFile(file.toStdString(), book, state, Day(2026, 3, 10));
        }
        auto w = MakeMainWindow();
        QVERIFY(w->LoadPlanFile(file));
        if (folderGone) QVERIFY(away.remove());
        if (adjustBalance) {
            TForm3 dialog(w->State(), [this] { return today_; }, prompts_, w.get());
            dialog.show();
            Enter(Edit(&dialog, 1), QStringLiteral("4321"));
            Get<QPushButton>(&dialog, "Button1")->click();
            QCOMPARE(prompts_.Errors, QStringList{WriteError(file)});  // said at once, not only at close
            QCOMPARE(w->State().OpeningBalance, 4321);
        } else {
            w->Book().Append(CreateFrom(pkFixAccount, Flow(prOnce, Day(2026, 4, 1), 1, 7)));
            w->State().Modified = true;
        }
        if (!folderGone) {
            const QString unwritable = PathOf(QStringLiteral("no-such-folder/away.tbr"));
            prompts_.SaveNames = {unwritable};
            QVERIFY(!w->SaveAsCommand());
            QCOMPARE(prompts_.Errors, QStringList{WriteError(unwritable)});
            QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - plans.tbr"));
            QCOMPARE(QString::fromStdString(w->State().PlanFileName), file);
            QVERIFY(w->State().Modified);
        }
        prompts_.Errors.clear();
        prompts_.SavesFromThePrompt = 2;
        const QString rescued = PathOf(QStringLiteral("rescued.tbr"));
        prompts_.SaveNames = {rescued};
        w->close();
        QCOMPARE(prompts_.SaveChangesAsked, 1);
        QCOMPARE(prompts_.Errors, folderGone ? QStringList{WriteError(file)} : QStringList{});
        TPlanBook again;
        const TPlanFileHeader header = ReadPlanFile((folderGone ? rescued : file).toStdString(), again);
        QCOMPARE(again.Count(), plans);
        QCOMPARE(header.Balance, balance);
    }

    // ---- Plans that claim more periods than the views can list ----------------------

    void remainingPeriodsOfAOnceOnlyRecordClaimingMany() {
        TPlanRecord rec = Flow(prOnce, Day(2026, 3, 12), 1, 50);
        rec.PeriodCount = 2147483647;  // as a damaged file may hold it
        QVERIFY(RemainingPeriodRows(TFixAccount(rec), 1, QLocale::c()).empty());
    }

    void dayOfAPlanWithAMillionPeriodsShowsPromptly() {
        // The largest daily plan a user may well type: its remaining periods fill the grid.
        auto w = MakeMainWindow();
        w->Book().Append(CreateFrom(pkFixAccount, Flow(prEveryNDays, Day(2026, 3, 12), 1000000, 3)));
        QElapsedTimer timer;
        timer.start();
        w->ShowDayPlans(Day(2026, 3, 12));
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(w->findChild<QTableWidget*>(QStringLiteral("StringGrid2"))->rowCount(), 999999);
        QVERIFY2(elapsed < 60000, qPrintable(QString::number(elapsed)));
    }
};

QTEST_MAIN(BadInputTest)
#include "BadInputTest.moc"
