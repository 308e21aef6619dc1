// Bad input as a new user tries it, field by field and window by window:
// empty fields, letters, a pasted mix, 0, the largest 32-bit value and one
// beyond it, a rate "1.2.3", start dates at the ends of the date range, and
// saves that cannot be written. Every case ends with the program's own
// message, or with a value the field visibly holds, and nothing entered or
// saved before is lost.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>
#include <memory>

#include "Big5.h"
#include "ChartUnit.h"
#include "Input.h"
#include "Main.h"
#include "PlanFile.h"
#include "Prompts.h"
#include "RFEdit.h"
#include "catchup.h"
#include "init.h"

using namespace tamber;
using namespace tamber::ui;

namespace {

class TScriptedPrompts : public TPrompts {
public:
    QStringList Errors;
    std::deque<QString> SaveNames;
    int SaveChangesAsked = 0;
    int SavesFromThePrompt = 1;  // how often the user presses "存檔" in the unsaved-changes prompt

    QString OpenPlanFileName(QWidget*) override { return {}; }
    QString SavePlanFileName(QWidget*) override {
        if (SaveNames.empty()) return {};
        const QString name = SaveNames.front();
        SaveNames.pop_front();
        return name;
    }
    void ShowError(QWidget*, const QString& message) override { Errors << message; }
    void AskToSaveChanges(QWidget*, const std::function<bool()>& save) override {
        ++SaveChangesAsked;
        for (int i = 0; i < SavesFromThePrompt; ++i) {
            if (save()) return;
        }
    }
};

TDate Day(int y, int m, int d) {
    return EncodeDate(y, m, d);
}

TPlanRecord Flow(int periodKind, TDate start, int count, int32_t amount) {
    TPlanRecord rec = ZeroPlanRecord();
    rec.PeriodKind = static_cast<uint8_t>(periodKind);
    rec.StartDate = start;
    rec.PeriodCount = count;
    rec.IntervalDays = 1;
    rec.Amount = amount < 0 ? -amount : amount;
    rec.Direction = amount < 0 ? -1 : 1;
    SetDescriptionBytes(rec, Utf8ToBig5("舊計劃").Bytes);
    return rec;
}

// How text reaches a field: typed key by key, or pasted from the clipboard.
enum TRoute { Typed, Pasted };

void Enter(QLineEdit* edit, const QString& text, int route) {
    edit->setFocus();
    edit->clear();
    if (route == Pasted) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        return;
    }
    // Key by key: ASCII with a real keyboard's key codes, anything else as a key carrying its character.
    for (const char32_t c : text.toStdU32String()) {
        if (c < 0x80) {
            QTest::keyClick(edit, static_cast<char>(c));
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUcs4(&c, 1));
            QApplication::sendEvent(edit, &press);
        }
    }
}

const QString kMax = QStringLiteral("2147483647");
const QString kBeyond = QStringLiteral("2147483648");

}  // namespace

class BadInputTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TScriptedPrompts prompts_;
    const QDate today_{2026, 3, 10};

    QString PathOf(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    template <class T = QWidget>
    static T* Get(QWidget* window, const QString& name) {
        T* widget = window->findChild<T*>(name);
        if (widget == nullptr) qFatal("no control %s", qPrintable(name));
        return widget;
    }

    // Every text, choice and date of a window's fields, to see that nothing the user entered is lost.
    static QStringList Snapshot(QWidget* window) {
        QStringList texts;
        for (const QLineEdit* edit : window->findChildren<QLineEdit*>()) texts << edit->objectName() + '=' + edit->text();
        for (const QComboBox* box : window->findChildren<QComboBox*>()) texts << box->objectName() + '#' + box->currentText();
        for (const QRadioButton* radio : window->findChildren<QRadioButton*>()) {
            texts << radio->objectName() + (radio->isChecked() ? "*" : "");
        }
        for (const QDateEdit* date : window->findChildren<QDateEdit*>()) texts << date->date().toString(Qt::ISODate);
        return texts;
    }

    // The plan editor over a book holding one plan, the fields filled with a
    // sound plan of Kind and Period that Add would accept.
    struct TEditor {
        TPlanBook Book;
        TPlanBookState State;
        std::unique_ptr<TForm2> Form;
    };
    std::unique_ptr<TEditor> OpenEditor(int kind, int period, QDate start = QDate(2026, 3, 20)) {
        auto e = std::make_unique<TEditor>();
        e->Book.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 1, 5), 12, -500)));
        e->Form = std::make_unique<TForm2>(e->Book, e->State, TForm2::TOptions{&prompts_, [this] { return today_; }});
        e->Form->show();
        QWidget* f = e->Form.get();
        Get<QComboBox>(f, "ComboBox2")->setCurrentIndex(kind);
        Get<QComboBox>(f, "ComboBox1")->setCurrentIndex(period);
        Get<QDateEdit>(f, "DateEdit1")->setDate(start);
        const auto type = [f](const char* field, const char* text) {
            Enter(Get<QLineEdit>(f, QString::fromLatin1(field)), QString::fromUtf8(text), Typed);
        };
        type("RFilterEdit12", "測試");
        type("RFilterEdit1", kind == pkFixAccount ? "12" : kind == pkCollect ? "10" : "13");
        if (period == prEveryNDays) type("RFilterEdit2", "7");
        if (period == prTwiceMonthly) {
            type("RFilterEdit3", "10");
            type("RFilterEdit4", "25");
        }
        if (period == prThriceMonthly) {
            type("RFilterEdit3", "5");
            type("RFilterEdit4", "15");
            type("RFilterEdit5", "25");
        }
        switch (kind) {
            case pkFixAccount: type("RFilterEdit6", "900"); break;
            case pkCollect:
                type("RFilterEdit7", "5000");
                type("RFilterEdit8", "300");
                type("RFilterEdit9", "800");
                type("RFilterEdit10", "6");
                type("RFilterEdit11", "4400");
                break;
            case pkSaving:
                type("RFilterEdit14", "100000");
                type("RFilterEdit13", "1.5");
                break;
            case pkCompound:
                type("RFilterEdit16", "10000");
                type("RFilterEdit15", "2");
                break;
            default:
                type("RFilterEdit18", "120000");
                type("RFilterEdit17", "3.5");
                break;
        }
        return e;
    }

    // Add with the fields as they are: the message shown, or "" when the plan was added.
    QString Add(TEditor& e) {
        prompts_.Errors.clear();
        const QStringList before = Snapshot(e.Form.get());
        Get<QPushButton>(e.Form.get(), "Button1")->click();
        if (prompts_.Errors.isEmpty()) {
            if (e.Book.Count() != 2 || !e.State.Modified) return QStringLiteral("added nothing, said nothing");
            return {};
        }
        // Refused: the book, its first plan and every field stay as they were.
        if (e.Book.Count() != 1 || e.Book.Plan(0).Rec().Amount != 500 || e.State.Modified) return QStringLiteral("book changed");
        if (Snapshot(e.Form.get()) != before) return QStringLiteral("fields changed");
        return prompts_.Errors.join('\n');
    }

    std::unique_ptr<TForm1> MakeMainWindow(QDate today) {
        TForm1::TOptions options;
        options.SettingsFile = PathOf(QStringLiteral("Tamber98.ini")).toStdString();
        options.Prompts = &prompts_;
        options.Today = [today] { return today; };
        return std::make_unique<TForm1>(options);
    }

private slots:
    void initTestCase() {
        // A decimal point, whatever the machine's language.
        QLocale::setDefault(QLocale::c());
    }
    void init() { prompts_ = TScriptedPrompts(); }

    void editorFields_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("route");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shown");    // what the field holds afterwards
        QTest::addColumn<QString>("message");  // "" when the plan is added
        const auto row = [](const char* name, int kind, int period, const char* field, int route, const QString& input,
                            const QString& shown, const char* message) {
            QTest::newRow(name) << kind << period << QString::fromLatin1(field) << route << input << shown
                                << QString::fromUtf8(message);
        };
        const QString none;
        // Number of periods.
        row("count empty", pkFixAccount, prMonthly, "RFilterEdit1", Typed, none, none, "期數輸入錯誤");
        row("count letters stay out", pkFixAccount, prMonthly, "RFilterEdit1", Typed, "abc", none, "期數輸入錯誤");
        row("count pasted mix keeps its digits", pkFixAccount, prMonthly, "RFilterEdit1", Pasted, "1a2 b", "12", "");
        row("count 0", pkFixAccount, prMonthly, "RFilterEdit1", Typed, "0", "0", "期數輸入錯誤");
        row("count largest", pkFixAccount, prMonthly, "RFilterEdit1", Typed, kMax, kMax, "期數輸入錯誤, 最後一期的日期超過 9999 年");
        row("count beyond", pkFixAccount, prMonthly, "RFilterEdit1", Typed, kBeyond, kBeyond, "期數輸入錯誤");
        row("count of a loan beyond", pkLoan, prMonthly, "RFilterEdit1", Typed, kBeyond, kBeyond, "期數輸入錯誤");
        // Description: any text code page 950 holds.
        row("description empty", pkFixAccount, prMonthly, "RFilterEdit12", Typed, none, none, "");
        row("description pasted mix", pkFixAccount, prMonthly, "RFilterEdit12", Pasted, "房租 rent 😀\t0",
            "房租 rent 0", "");
        // Interval.
        row("interval empty", pkFixAccount, prEveryNDays, "RFilterEdit2", Typed, none, none, "間隔天數輸入錯誤");
        row("interval letters", pkFixAccount, prEveryNDays, "RFilterEdit2", Typed, "x", none, "間隔天數輸入錯誤");
        row("interval 0", pkFixAccount, prEveryNDays, "RFilterEdit2", Typed, "0", "0", "間隔天數輸入錯誤");
        row("interval largest", pkFixAccount, prEveryNDays, "RFilterEdit2", Typed, kMax, kMax,
            "期數或間隔天數輸入錯誤, 最後一期的日期超過 9999 年");
        row("interval beyond", pkFixAccount, prEveryNDays, "RFilterEdit2", Typed, kBeyond, kBeyond, "間隔天數輸入錯誤");
        row("interval pasted mix", pkFixAccount, prEveryNDays, "RFilterEdit2", Pasted, "1 4 days", "14", "");
        // Days of the month: two characters at most.
        row("first day empty", pkFixAccount, prTwiceMonthly, "RFilterEdit3", Typed, none, none, "日期輸入錯誤");
        row("first day 0", pkFixAccount, prTwiceMonthly, "RFilterEdit3", Typed, "0", "0", "日期輸入錯誤");
        row("first day largest keeps two digits", pkFixAccount, prTwiceMonthly, "RFilterEdit3", Typed, kMax, "21", "");
        row("first day pasted after the second", pkFixAccount, prTwiceMonthly, "RFilterEdit3", Pasted, "3a1", "31",
            "日期請由小至大輸入");
        row("second day 32", pkFixAccount, prTwiceMonthly, "RFilterEdit4", Typed, "32", "32", "日期超過範圍");
        row("third day empty", pkFixAccount, prThriceMonthly, "RFilterEdit5", Typed, none, none, "日期輸入錯誤");
        // Fixed amount: digits only.
        row("amount empty", pkFixAccount, prMonthly, "RFilterEdit6", Typed, none, none, "金額輸入錯誤");
        row("amount letters", pkFixAccount, prMonthly, "RFilterEdit6", Typed, "abc", none, "金額輸入錯誤");
        row("amount minus sign stays out", pkFixAccount, prMonthly, "RFilterEdit6", Typed, "-5", "5", "");
        row("amount pasted mix", pkFixAccount, prMonthly, "RFilterEdit6", Pasted, "NT$9,000", "9000", "");
        row("amount 0", pkFixAccount, prMonthly, "RFilterEdit6", Typed, "0", "0", "");
        row("amount largest, twelve times", pkFixAccount, prMonthly, "RFilterEdit6", Typed, kMax, kMax,
            "金額輸入錯誤, 算出的金額超出範圍");
        row("amount beyond", pkFixAccount, prMonthly, "RFilterEdit6", Typed, kBeyond, kBeyond, "金額輸入錯誤");
        // Savings club.
        row("club amount empty", pkCollect, prMonthly, "RFilterEdit7", Typed, none, none, "金額輸入錯誤");
        row("club amount 0", pkCollect, prMonthly, "RFilterEdit7", Typed, "0", "0", "");
        row("club amount largest", pkCollect, prMonthly, "RFilterEdit7", Typed, kMax, kMax, "金額輸入錯誤, 算出的金額超出範圍");
        row("club amount beyond", pkCollect, prMonthly, "RFilterEdit7", Typed, kBeyond, kBeyond, "金額輸入錯誤");
        row("base bid letters", pkCollect, prMonthly, "RFilterEdit8", Typed, "abc", none, "底標金額輸入錯誤");
        row("base bid largest", pkCollect, prMonthly, "RFilterEdit8", Typed, kMax, kMax, "金額輸入錯誤, 算出的金額超出範圍");
        row("base bid beyond", pkCollect, prMonthly, "RFilterEdit8", Typed, kBeyond, kBeyond, "底標金額輸入錯誤");
        row("winning bid empty", pkCollect, prMonthly, "RFilterEdit9", Typed, none, none, "預估（實際）得標金額輸入錯誤");
        row("winning bid largest", pkCollect, prMonthly, "RFilterEdit9", Typed, kMax, kMax, "金額輸入錯誤, 算出的金額超出範圍");
        row("winning period empty", pkCollect, prMonthly, "RFilterEdit10", Typed, none, none, "預估（實際）得標期次輸入錯誤");
        row("winning period 0: never collects", pkCollect, prMonthly, "RFilterEdit10", Typed, "0", "0", "");
        row("winning period largest: never collects", pkCollect, prMonthly, "RFilterEdit10", Typed, kMax, kMax, "");
        row("winning period beyond", pkCollect, prMonthly, "RFilterEdit10", Typed, kBeyond, kBeyond, "預估（實際）得標期次輸入錯誤");
        row("above base empty", pkCollect, prMonthly, "RFilterEdit11", Typed, none, none, "超過底標總金額輸入錯誤");
        row("above base largest", pkCollect, prMonthly, "RFilterEdit11", Typed, kMax, kMax, "金額輸入錯誤, 算出的金額超出範圍");
        // Simple-interest deposit: a signed amount and a rate.
        row("deposit amount empty", pkSaving, prMonthly, "RFilterEdit14", Typed, none, none, "金額輸入錯誤");
        row("deposit amount pasted mix", pkSaving, prMonthly, "RFilterEdit14", Pasted, "-1a0", "-10", "");
        row("deposit amount 0", pkSaving, prMonthly, "RFilterEdit14", Typed, "0", "0", "");
        row("deposit amount largest", pkSaving, prMonthly, "RFilterEdit14", Typed, kMax, kMax,
            "金額或年利率輸入錯誤, 算出的金額超出範圍");
        row("deposit amount beyond", pkSaving, prMonthly, "RFilterEdit14", Typed, kBeyond, kBeyond, "金額輸入錯誤");
        row("deposit rate empty", pkSaving, prMonthly, "RFilterEdit13", Typed, none, none, "年利率輸入錯誤");
        row("deposit rate letters", pkSaving, prMonthly, "RFilterEdit13", Typed, "abc", none, "年利率輸入錯誤");
        row("deposit rate 1.2.3", pkSaving, prMonthly, "RFilterEdit13", Typed, "1.2.3", "1.2.3", "年利率輸入錯誤");
        row("deposit rate pasted mix", pkSaving, prMonthly, "RFilterEdit13", Pasted, "1a.5", "1.5", "");
        // The rate field's character set runs from code 0 up to ".", which takes "," and "%" too.
        row("deposit rate with a comma", pkSaving, prMonthly, "RFilterEdit13", Pasted, "1,5%", "1,5%", "年利率輸入錯誤");
        row("deposit rate 0", pkSaving, prMonthly, "RFilterEdit13", Typed, "0", "0", "");
        row("deposit rate largest", pkSaving, prMonthly, "RFilterEdit13", Typed, kMax, kMax,
            "金額或年利率輸入錯誤, 算出的金額超出範圍");
        // Compound deposit.
        row("compound amount largest", pkCompound, prMonthly, "RFilterEdit16", Typed, kMax, kMax,
            "金額或年利率輸入錯誤, 算出的金額超出範圍");
        row("compound amount beyond", pkCompound, prMonthly, "RFilterEdit16", Typed, kBeyond, kBeyond, "金額輸入錯誤");
        row("compound rate 1.2.3", pkCompound, prMonthly, "RFilterEdit15", Typed, "1.2.3", "1.2.3", "年利率輸入錯誤");
        row("compound rate 0", pkCompound, prMonthly, "RFilterEdit15", Typed, "0", "0", "");
        row("compound rate largest", pkCompound, prMonthly, "RFilterEdit15", Typed, kMax, kMax,
            "年利率輸入錯誤, 以此年利率及期數無法算出金額");
        // Loan.
        row("loan amount empty", pkLoan, prMonthly, "RFilterEdit18", Typed, none, none, "金額輸入錯誤");
        row("loan amount largest", pkLoan, prMonthly, "RFilterEdit18", Typed, kMax, kMax, "");
        row("loan amount beyond", pkLoan, prMonthly, "RFilterEdit18", Typed, kBeyond, kBeyond, "金額輸入錯誤");
        row("loan rate 0", pkLoan, prMonthly, "RFilterEdit17", Typed, "0", "0", "年利率輸入錯誤, 以此年利率及期數無法算出金額");
        row("loan rate 1.2.3", pkLoan, prMonthly, "RFilterEdit17", Typed, "1.2.3", "1.2.3", "年利率輸入錯誤");
        row("loan rate largest", pkLoan, prMonthly, "RFilterEdit17", Typed, kMax, kMax,
            "年利率輸入錯誤, 以此年利率及期數無法算出金額");
    }
    void editorFields() {
        QFETCH(int, kind);
        QFETCH(int, period);
        QFETCH(QString, field);
        QFETCH(int, route);
        QFETCH(QString, input);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        auto e = OpenEditor(kind, period);
        auto* edit = Get<QLineEdit>(e->Form.get(), field);
        Enter(edit, input, route);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(Add(*e), message);
    }

    void startDatesAtTheEndsOfTheRange_data() {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("message");
        const QDate last(9999, 12, 31);
        QTest::newRow("once on the last day") << last << int(prOnce) << "" << "";
        QTest::newRow("monthly reaching into the year 10000")
            << last << int(prMonthly) << "2" << "期數輸入錯誤, 最後一期的日期超過 9999 年";
        QTest::newRow("monthly ending in December 9999") << QDate(9999, 1, 31) << int(prMonthly) << "12" << "";
        QTest::newRow("daily reaching into the year 10000")
            << last << int(prEveryNDays) << "2" << "期數或間隔天數輸入錯誤, 最後一期的日期超過 9999 年";
        QTest::newRow("every three years from 9998")
            << QDate(9998, 6, 1) << int(prEveryThreeYears) << "2" << "期數輸入錯誤, 最後一期的日期超過 9999 年";
        QTest::newRow("twice a month, first day in the year 10000")
            << last << int(prTwiceMonthly) << "1" << "日期輸入錯誤, 第一期的日期不存在";
        QTest::newRow("the picker's first day") << QDate() << int(prMonthly) << "12" << "";
    }
    void startDatesAtTheEndsOfTheRange() {
        QFETCH(QDate, start);
        QFETCH(int, period);
        QFETCH(QString, count);
        QFETCH(QString, message);
        auto e = OpenEditor(pkFixAccount, period);
        auto* picker = Get<QDateEdit>(e->Form.get(), "DateEdit1");
        picker->setDate(start.isValid() ? start : picker->minimumDate());
        QCOMPARE(picker->date(), start.isValid() ? start : picker->minimumDate());
        if (period == prEveryNDays) Enter(Get<QLineEdit>(e->Form.get(), "RFilterEdit2"), QStringLiteral("1"), Typed);
        Enter(Get<QLineEdit>(e->Form.get(), "RFilterEdit1"), count, Typed);
        QCOMPARE(Add(*e), message);
        if (!message.isEmpty()) return;
        // An accepted plan shows in the main window's month and day lists without a complaint.
        auto w = MakeMainWindow(today_);
        w->Book().Append(CreateFrom(e->Book.Plan(1).Rec()));
        w->ComputeMonth(2026, 3);
        w->ShowDayPlans(e->Book.Plan(1).FirstDate());
        QCoreApplication::processEvents();
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
    }

    void catchUpAmounts_data() {
        QTest::addColumn<int>("route");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("outcome");  // the new balance, or the message
        // Loaded balance 1000; item 1 (+500) is the one changed, item 2 is -200.
        QTest::newRow("empty") << int(Typed) << "" << "" << "第 1 項金額輸入錯誤";
        QTest::newRow("letters stay out") << int(Typed) << "abc" << "" << "第 1 項金額輸入錯誤";
        QTest::newRow("pasted mix keeps digits and sign") << int(Pasted) << "-1a2 b" << "-12" << "788";
        QTest::newRow("0") << int(Typed) << "0" << "0" << "800";
        QTest::newRow("largest takes the balance beyond") << int(Typed) << kMax << kMax << "第 1 項金額輸入錯誤";
        QTest::newRow("beyond") << int(Typed) << kBeyond << kBeyond << "第 1 項金額輸入錯誤";
        QTest::newRow("smallest") << int(Pasted) << "-2147483648" << "-2147483648" << "-2147482848";
    }
    void catchUpAmounts() {
        QFETCH(int, route);
        QFETCH(QString, input);
        QFETCH(QString, shown);
        QFETCH(QString, outcome);
        TPlanBook book;
        book.Append(CreateFrom(pkFixAccount, Flow(prOnce, Day(2026, 3, 7), 1, 500)));
        book.Append(CreateFrom(pkFixAccount, Flow(prOnce, Day(2026, 3, 8), 1, -200)));
        TPendingList pending = BuildPendingList(book, Day(2026, 3, 5), Day(2026, 3, 10));
        QCOMPARE(pending.size(), std::size_t{2});
        TForm5 dialog(pending, Day(2026, 3, 5), 1000, prompts_);
        dialog.show();
        auto* edit = Get<QLineEdit>(&dialog, QStringLiteral("RFilterEdit1"));
        Enter(edit, input, route);
        QCOMPARE(edit->text(), shown);
        Get<QPushButton>(&dialog, QStringLiteral("Button3"))->click();
        if (outcome.startsWith(QStringLiteral("第"))) {
            QCOMPARE(prompts_.Errors, QStringList{outcome});
            QVERIFY(dialog.isVisible());
            QVERIFY(!dialog.NewBalance());
        } else {
            QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
            QCOMPARE(dialog.NewBalance(), std::optional<int32_t>(outcome.toInt()));
        }
        // What the user typed is kept, on the row and in the list.
        QCOMPARE(QString::fromStdString(pending[0].AmountText), shown);
        QCOMPARE(pending[1].AmountText, std::string("-200"));
    }

    void balanceAdjustment_data() {
        QTest::addColumn<int>("route");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("outcome");  // the new opening balance, or the message
        QTest::newRow("empty") << int(Typed) << "" << "" << "'' 不是有效的整數值";
        QTest::newRow("letters stay out") << int(Typed) << "abc" << "" << "'' 不是有效的整數值";
        QTest::newRow("pasted mix") << int(Pasted) << "-1,234 元" << "-1234" << "-1234";
        QTest::newRow("two minus signs") << int(Typed) << "--5" << "--5" << "'--5' 不是有效的整數值";
        QTest::newRow("0") << int(Typed) << "0" << "0" << "0";
        QTest::newRow("largest") << int(Typed) << kMax << kMax << kMax;
        QTest::newRow("beyond") << int(Typed) << kBeyond << kBeyond << "'2147483648' 不是有效的整數值";
    }
    void balanceAdjustment() {
        QFETCH(int, route);
        QFETCH(QString, input);
        QFETCH(QString, shown);
        QFETCH(QString, outcome);
        TPlanBookState state;
        state.OpeningBalance = 777;
        TForm3 dialog(state, [this] { return today_; }, prompts_);
        dialog.show();
        auto* edit = Get<QLineEdit>(&dialog, QStringLiteral("RFilterEdit1"));
        Enter(edit, input, route);
        QCOMPARE(edit->text(), shown);
        Get<QPushButton>(&dialog, QStringLiteral("Button1"))->click();
        if (outcome.startsWith(QLatin1Char('\''))) {
            QCOMPARE(prompts_.Errors, QStringList{outcome});
            QCOMPARE(state.OpeningBalance, 777);
            QVERIFY(dialog.isVisible());
        } else {
            QVERIFY(prompts_.Errors.isEmpty());
            QCOMPARE(state.OpeningBalance, outcome.toInt());
        }
    }

    void chartCount_data() {
        QTest::addColumn<int>("route");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("after");  // the count field after the chart is shown
        QTest::addColumn<int>("points");     // 0: refused with the message
        QTest::newRow("empty") << int(Typed) << "" << "月" << "" << 0;
        QTest::newRow("letters stay out") << int(Typed) << "abc" << "日" << "" << 0;
        QTest::newRow("pasted mix") << int(Pasted) << "1 2 days" << "日" << "12" << 12;
        QTest::newRow("0 is raised to 1") << int(Typed) << "0" << "月" << "1" << 30;
        QTest::newRow("largest years are lowered to 30") << int(Typed) << kMax << "年" << "30" << 30 * 365;
        QTest::newRow("beyond in months is lowered to 360") << int(Typed) << kBeyond << "月" << "360" << 360 * 30;
        QTest::newRow("beyond in days is lowered to 30 years") << int(Typed) << kBeyond << "日" << "10950" << 10950;
    }
    void chartCount() {
        QFETCH(int, route);
        QFETCH(QString, input);
        QFETCH(QString, unit);
        QFETCH(QString, after);
        QFETCH(int, points);
        TPlanBook book;
        book.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 1, 5), 12, -500)));
        TForm4 chart(book, 1000, [this] { return today_; }, &prompts_);
        chart.show();
        auto* units = Get<QComboBox>(&chart, QStringLiteral("ComboBox1"));
        units->setCurrentIndex(units->findText(unit));
        auto* count = Get<QLineEdit>(&chart, QStringLiteral("RFilterEdit1"));
        Enter(count, input, route);
        chart.Button1Click();
        QCOMPARE(count->text(), after);
        QCOMPARE(chart.Line() ? int(chart.Line()->Points().size()) : 0, points);
        // The chart window's text for a count that is no number.
        QCOMPARE(prompts_.Errors, points == 0 ? QStringList{QStringLiteral("'' is not a valid integer value")} : QStringList{});
    }

    void chartAtTheEndsOfItsDateRange() {
        TPlanBook book;
        book.Append(CreateFrom(pkFixAccount, Flow(prEveryNDays, Day(2026, 1, 5), 2000000, -1)));
        TForm4 chart(book, 1000, [this] { return today_; }, &prompts_);
        chart.show();
        auto* picker = Get<QDateEdit>(&chart, QStringLiteral("DateEdit1"));
        auto* units = Get<QComboBox>(&chart, QStringLiteral("ComboBox1"));
        units->setCurrentIndex(units->findText(QStringLiteral("年")));
        Enter(Get<QLineEdit>(&chart, QStringLiteral("RFilterEdit1")), QStringLiteral("30"), Typed);
        for (const QDate start : {picker->minimumDate(), picker->maximumDate()}) {
            picker->setDate(start);
            chart.Button1Click();
            QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
            QVERIFY(chart.Line());
            QCOMPARE(int(chart.Line()->Points().size()), 30 * 365);
            // The last charted day is still a day of the calendar.
            QVERIFY(chart.Line()->Points().back().Date <= Day(9999, 12, 31));
        }
    }

    // ---- Saves that cannot be written ------------------------------------------

    void failedSaveAsKeepsTheFileTheWindowHad() {
        auto w = MakeMainWindow(today_);
        prompts_.SaveNames = {PathOf(QStringLiteral("home.tbr"))};
        w->Book().Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 3, 15), 12, 100)));
        w->State().Modified = true;
        QVERIFY(w->SaveAsCommand());
        const QByteArray saved = [&] {
            QFile f(PathOf(QStringLiteral("home.tbr")));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QCOMPARE(saved.size(), 2 * 188);
        w->Book().Append(CreateFrom(pkFixAccount, Flow(prOnce, Day(2026, 4, 1), 1, 7)));
        w->State().Modified = true;

        const QString unwritable = PathOf(QStringLiteral("no-such-folder/away.tbr"));
        prompts_.SaveNames = {unwritable};
        QVERIFY(!w->SaveAsCommand());
        QCOMPARE(prompts_.Errors, QStringList{QStringLiteral("寫檔錯誤: %1 (找不到檔案或資料夾)").arg(unwritable)});
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - home.tbr"));
        QCOMPARE(QString::fromStdString(w->State().PlanFileName), PathOf(QStringLiteral("home.tbr")));
        QVERIFY(w->State().Modified);
        // Closing saves into the file the window still has.
        prompts_.Errors.clear();
        w->close();
        QCOMPARE(prompts_.SaveChangesAsked, 1);
        QVERIFY(prompts_.Errors.isEmpty());
        QCOMPARE(QFileInfo(PathOf(QStringLiteral("home.tbr"))).size(), 3 * 188);
    }

    void closingPromptAsksForANameWhenTheFileCannotBeWritten() {
        // The loaded file's folder is gone when the window closes.
        QTemporaryDir away;
        const QString file = away.path() + QStringLiteral("/plans.tbr");
        {
            TPlanBook book;
            book.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 3, 15), 12, 100)));
            TPlanBookState state;
            SavePlanFile(file.toStdString(), book, state, Day(2026, 3, 10));
        }
        auto w = MakeMainWindow(today_);
        QVERIFY(w->LoadPlanFile(file));
        w->Book().Append(CreateFrom(pkFixAccount, Flow(prOnce, Day(2026, 4, 1), 1, 7)));
        w->State().Modified = true;
        QVERIFY(away.remove());
        prompts_.SavesFromThePrompt = 2;
        prompts_.SaveNames = {PathOf(QStringLiteral("rescued.tbr"))};
        w->close();
        QCOMPARE(prompts_.SaveChangesAsked, 1);
        QCOMPARE(prompts_.Errors, QStringList{QStringLiteral("寫檔錯誤: %1 (找不到檔案或資料夾)").arg(file)});
        QCOMPARE(QFileInfo(PathOf(QStringLiteral("rescued.tbr"))).size(), 3 * 188);
    }

    void failedHeaderRewriteIsOfferedForSavingAtClose() {
        QTemporaryDir away;
        const QString file = away.path() + QStringLiteral("/plans.tbr");
        {
            TPlanBook book;
            book.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 3, 15), 12, 100)));
            TPlanBookState state;
            SavePlanFile(file.toStdString(), book, state, Day(2026, 3, 10));
        }
        auto w = MakeMainWindow(today_);
        QVERIFY(w->LoadPlanFile(file));
        QVERIFY(away.remove());
        TForm3 dialog(w->State(), [this] { return today_; }, prompts_, w.get());
        dialog.show();
        Enter(Get<QLineEdit>(&dialog, QStringLiteral("RFilterEdit1")), QStringLiteral("4321"), Typed);
        Get<QPushButton>(&dialog, QStringLiteral("Button1"))->click();
        QCOMPARE(prompts_.Errors, QStringList{QStringLiteral("寫檔錯誤: %1 (找不到檔案或資料夾)").arg(file)});
        QCOMPARE(w->State().OpeningBalance, 4321);
        dialog.reject();
        prompts_.SavesFromThePrompt = 2;
        prompts_.SaveNames = {PathOf(QStringLiteral("balance.tbr"))};
        w->close();
        QCOMPARE(prompts_.SaveChangesAsked, 1);
        TPlanBook again;
        const TPlanFileHeader header = ReadPlanFile(PathOf(QStringLiteral("balance.tbr")).toStdString(), again);
        QCOMPARE(header.Balance, 4321);
        QCOMPARE(again.Count(), 1);
    }

    // ---- Plans that claim more periods than the views can list ----------------------

    void remainingPeriodsOfAOnceOnlyRecordClaimingMany() {
        TPlanRecord rec = Flow(prOnce, Day(2026, 3, 12), 1, 50);
        rec.PeriodCount = 2147483647;  // as a damaged file may hold it
        const TFixAccount plan(rec);
        QVERIFY(RemainingPeriodRows(plan, 1, QLocale::c()).empty());
        const TFixAccount monthly(Flow(prMonthly, Day(2026, 1, 12), 12, 50));
        QCOMPARE(RemainingPeriodRows(monthly, 3, QLocale::c()).size(), std::size_t{9});
    }

    void dayOfAPlanWithAMillionPeriodsShowsPromptly() {
        // The largest daily plan a user may well type: its remaining periods fill the grid.
        TPlanRecord rec = Flow(prEveryNDays, Day(2026, 3, 12), 1000000, 3);
        auto w = MakeMainWindow(today_);
        w->Book().Append(CreateFrom(pkFixAccount, rec));
        QElapsedTimer timer;
        timer.start();
        w->ShowDayPlans(Day(2026, 3, 12));
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(w->findChild<QTableWidget*>(QStringLiteral("StringGrid2"))->rowCount(), 999999);
        QVERIFY2(elapsed < 60000, qPrintable(QString::number(elapsed)));
        qInfo("a day of a plan with a million periods: %lld ms", static_cast<long long>(elapsed));
    }
};

QTEST_MAIN(BadInputTest)
#include "BadInputTest.moc"
