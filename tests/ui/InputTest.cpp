#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QtTest>

#include <memory>

#include "ui/Input.h"
#include "ui/RFEdit.h"
#include "UiTestSupport.h"

using namespace tamber;
using namespace tamber::ui;
using namespace tamber::test;

class InputTest : public QObject {
    Q_OBJECT

    TScriptedPrompts prompts_;
    TPlanBook book_;
    TPlanBookState state_;
    std::unique_ptr<TForm2> form_;

    template <class T = QWidget>
    T* Get(const QString& name) const {
        T* widget = form_->findChild<T*>(name);
        if (widget == nullptr) qFatal("no control %s", qPrintable(name));
        return widget;
    }
    static QString Edit(int n) { return QStringLiteral("RFilterEdit%1").arg(n); }
    // Types ASCII into a field key by key, replacing what it held.
    void Type(const QString& field, const QString& text) {
        Get<QLineEdit>(field)->clear();
        QTest::keyClicks(Get(field), text);
    }
    QString TextOf(const QString& field) const { return Get<QLineEdit>(field)->text(); }
    void Choose(const char* selector, int index) { Get<QComboBox>(selector)->setCurrentIndex(index); }
    void Click(const char* button) { Get<QAbstractButton>(button)->click(); }
    bool Checked(const char* radio) const { return Get<QRadioButton>(radio)->isChecked(); }
    void ClickRow(int row) {
        auto* grid = Get<QTableWidget>("StringGrid1");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 0)).center());
    }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = Get<QTableWidget>("StringGrid1")->item(row, column);
        return item ? item->text() : QString();
    }
    QList<int> Amounts() const {  // the book's signed amounts, in order
        QList<int> amounts;
        for (int i = 0; i < book_.Count(); ++i) amounts << book_.Plan(i).Rec().Amount * book_.Plan(i).Rec().Direction;
        return amounts;
    }
    QString PageShown() const { return Get<QStackedWidget>("Notebook1")->currentWidget()->objectName(); }
    bool Shown(const char* name) const { return Get(name)->isVisibleTo(form_.get()); }
    // A monthly fixed flow in the book, listed in the grid.
    void AddFlow(TDate start, int count, int32_t amount, const char* description = "") {
        book_.Append(CreateFrom(Flow(prMonthly, start, count, amount, description)));
        form_->RefreshPlanGrid();
    }
    // A monthly fixed expense entered in the blank fields.
    void EnterFixedExpense(const QString& amount, const QString& count = QStringLiteral("12")) {
        Choose("ComboBox2", pkFixAccount);
        Choose("ComboBox1", prMonthly);
        Type(Edit(1), count);
        Click("RadioButton3");
        Type(Edit(6), amount);
    }

private slots:
    void init() {
        prompts_ = TScriptedPrompts();
        book_.Clear();
        state_ = TPlanBookState();
        form_ = std::make_unique<TForm2>(book_, state_, TForm2::TOptions{&prompts_, [] { return QDate(2001, 6, 15); }});
        form_->SetStartDate(Day(2001, 6, 20));
        form_->show();
    }
    void cleanup() { form_.reset(); }

    void controlsAsOpened() {
        QVERIFY(form_->windowState() & Qt::WindowMaximized);
        // Each command and choice on the control the tests drive by name, and the opening hints.
        const std::pair<const char*, const char*> captions[] = {{"Button1", "新增"}, {"Button2", "刪除"}, {"Button3", "清成空白"},
            {"Button4", "回主畫面"}, {"Button5", "異動"}, {"Button6", "清過時計劃"}, {"RadioButton3", "支出"}, {"RadioButton5", "內標"},
            {"Label8", "請於空白計劃各欄位輸入後, 按下「新增」按鈕, 即新增完成"},
            {"Label18", "欲更改某計劃時, 請先於右邊列出的計劃勾選, 更改完, 別忘了按下「異動」按鈕"}};
        for (const auto& [name, caption] : captions) {
            auto* label = qobject_cast<QLabel*>(Get(name));
            QCOMPARE(label ? label->text() : Get<QAbstractButton>(name)->text(), QString::fromUtf8(caption));
        }
        QStringList filters;
        for (int i = 1; i <= 18; ++i) filters << Get<TRFilterEdit>(Edit(i))->ValidChars();
        const QString digits = QStringLiteral("[0..9]"), rate = QStringLiteral("[0..9,.]"), amount = QStringLiteral("[0..9,-]");
        QCOMPARE(filters, QStringList({digits, digits, digits, digits, digits, digits, digits, digits, digits, digits,
                                       digits, QStringLiteral("[]"), rate, amount, rate, amount, rate, amount}));
        QCOMPARE(form_->focusWidget(), Get("ComboBox2"));
        QVERIFY(Checked("RadioButton2") && Checked("RadioButton6"));  // income, outer bidding
        QCOMPARE(Get<QTableWidget>("StringGrid1")->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(Get<QDateEdit>("DateEdit1")->date(), QDate(2001, 6, 20));
    }

    void kindsAndPeriodsShowTheirFields() {
        const std::pair<const char*, const char*> kinds[] = {
            {"FixAccount", "每隔一年"}, {"Collect", "每隔一年"}, {"Saving", "每月"}, {"Compound", "每月"}, {"Loan", "每月"}};
        for (int kind = 4; kind >= 0; --kind) {  // ends on a fixed flow, which leaves the period as it is
            Choose("ComboBox1", prYearly);
            Choose("ComboBox2", kind);
            QCOMPARE(PageShown(), QString::fromUtf8(kinds[kind].first));
            QCOMPARE(Get<QComboBox>("ComboBox1")->currentText(), QString::fromUtf8(kinds[kind].second));
        }
        // Shown or not: interval panel, listed days panel, third listed day, number of periods and its label.
        const auto shown = [this] {
            QString flags;
            for (const char* name : {"Panel2", "Panel3", "RFilterEdit5", "RFilterEdit1", "Label2"}) flags += Shown(name) ? '1' : '0';
            return flags;
        };
        const std::pair<int, const char*> periods[] = {{prEveryNDays, "10011"}, {prMonthly, "00011"}, {prTwiceMonthly, "01011"},
                                                       {prThriceMonthly, "01111"}, {prOnce, "00000"}};
        for (const auto& [period, fields] : periods) {
            Choose("ComboBox1", period);
            QCOMPARE(shown(), QString::fromLatin1(fields));
        }
        Choose("ComboBox2", pkLoan);  // made monthly: the period's fields follow
        QCOMPARE(shown(), QStringLiteral("00011"));

        Choose("ComboBox2", pkCollect);
        QVERIFY(Shown("Label17") && Shown("RFilterEdit11"));
        Click("RadioButton5");
        QVERIFY(!Shown("Label17") && !Shown("RFilterEdit11"));
        Click("RadioButton6");
        QVERIFY(Shown("Label17") && Shown("RFilterEdit11"));
    }

    void gridListsPlansOverAtLeastFourRows() {
        AddFlow(Day(2001, 1, 15), 12, -500, "房租");
        AddFlow(Day(2001, 2, 1), 3, 800);
        QCOMPARE(Get<QTableWidget>("StringGrid1")->rowCount(), 4);
        QCOMPARE(QStringList({Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(0, 3), Cell(0, 4), Cell(0, 5), Cell(1, 0)}),
                 QStringList({"固定支出", "房租", QLocale().toString(QDate(2001, 1, 15), QLocale::ShortFormat), "每月", "500", "12",
                              "固定收入"}));
        ClickRow(3);  // a blank filler row selects nothing
        QCOMPARE(form_->SelectedPlan(), -1);
        for (int i = 0; i < 4; ++i) AddFlow(Day(2001, 3, 1), 2, i);
        QCOMPARE(Get<QTableWidget>("StringGrid1")->rowCount(), 6);
        QCOMPARE(Cell(5, 4), QStringLiteral("3"));
    }

    void selectingAPlanShowsItsFields() {
        AddFlow(Day(2001, 1, 15), 12, -500);
        TPlanRecord loan = Flow(prTwiceMonthly, Day(2001, 3, 1), 24, 300000);
        loan.MonthDays = {5, 20, 0};
        loan.Method = mtEqualPrincipal;
        SetAnnualRate(loan, 7.5);
        book_.Append(CreateFrom(pkLoan, loan));
        form_->RefreshPlanGrid();
        Type(Edit(6), QStringLiteral("1"));  // the fixed amount is not the loan's: it stays

        ClickRow(1);
        QCOMPARE(PageShown(), QStringLiteral("Loan"));
        QCOMPARE(Get<QComboBox>("ComboBox1")->currentIndex(), int(prTwiceMonthly));
        QVERIFY(Shown("Panel3") && !Shown("RFilterEdit5") && Checked("RadioButton11"));
        QCOMPARE(QStringList({TextOf(Edit(3)), TextOf(Edit(4)), TextOf(Edit(1)), TextOf(Edit(18)), TextOf(Edit(17)), TextOf(Edit(6))}),
                 QStringList({"5", "20", "24", "300000", "7" + QLocale().decimalPoint() + "50", "1"}));
        QCOMPARE(Get<QDateEdit>("DateEdit1")->date(), QDate(2001, 3, 1));
    }

    // Add selects the new plan, which Modify and Delete then act on without a click; Modify keeps the plan's place.
    void addModifyAndDelete() {
        for (int i = 1; i <= 3; ++i) AddFlow(Day(2001, 1, i), 2, i);
        EnterFixedExpense(QStringLiteral("500"));
        Click("Button1");
        QCOMPARE(Amounts(), QList<int>({1, 2, 3, -500}));
        QCOMPARE(form_->SelectedPlan(), 3);
        QCOMPARE(Get<QTableWidget>("StringGrid1")->currentRow(), 3);
        QCOMPARE(book_.Plan(3).Rec().StartDate, Day(2001, 6, 20));
        QVERIFY(state_.Modified);
        Type(Edit(6), QStringLiteral("650"));
        Click("Button5");
        QCOMPARE(Amounts(), QList<int>({1, 2, 3, -650}));
        Click("Button2");
        QCOMPARE(Amounts(), QList<int>({1, 2, 3}));
        QCOMPARE(form_->SelectedPlan(), -1);

        ClickRow(1);
        Type(Edit(6), QStringLiteral("777"));
        Click("Button5");
        QCOMPARE(Amounts(), QList<int>({1, 777, 3}));
        QCOMPARE(form_->SelectedPlan(), 1);
        QCOMPARE(Cell(1, 4), QStringLiteral("777"));
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
    }

    // Refused commands show one message and change neither the book nor Modified.
    void refusedCommandsChangeNothing() {
        // KindText is typed into the kind selector: no kind is chosen unless it is one of its items.
        const struct { const char *Name, *Button; bool Select; const char *KindText, *Count, *Message; } rows[] = {
            {"empty count first", "Button1", false, "", "", "期數輸入錯誤"},
            {"add without a kind", "Button1", false, "", "12", "請選擇計劃類別"},
            {"modify without a selected plan", "Button5", false, "固定收入／支出", "12", "請先點選右側計劃"},
            {"modify after typing into the kind", "Button5", true, "其他", "12", "請選擇計劃類別"},
            {"modify with a count of 0", "Button5", true, "固定收入／支出", "0", "期數輸入錯誤"},
        };
        for (const auto& row : rows) {
            init();
            AddFlow(Day(2001, 1, 15), 12, -500);
            if (row.Select) ClickRow(0);
            EnterFixedExpense(QStringLiteral("900"), QString::fromLatin1(row.Count));
            Get<QComboBox>("ComboBox2")->lineEdit()->setText(QString::fromUtf8(row.KindText));
            Click(row.Button);
            QVERIFY2(prompts_.Errors == QStringList{QString::fromUtf8(row.Message)}, row.Name);
            QVERIFY2(Amounts() == QList<int>{-500} && !state_.Modified, row.Name);
            QVERIFY2(form_->SelectedPlan() == (row.Select ? 0 : -1), row.Name);
        }
    }

    // The controls reach the plan: inner bidding stores nothing above the base bid; a rate in the locale's point.
    void entriesAreStoredAsTyped() {
        Choose("ComboBox2", pkCollect);
        Choose("ComboBox1", prMonthly);
        const std::pair<int, const char*> clubFields[] = {{1, "20"}, {7, "5000"}, {8, "300"}, {9, "800"}, {10, "6"}, {11, "4400"}};
        for (const auto& [field, text] : clubFields) Type(Edit(field), QString::fromLatin1(text));
        Click("RadioButton5");
        Click("Button1");
        Choose("ComboBox2", pkSaving);
        Type(Edit(14), QStringLiteral("100000"));
        Type(Edit(13), "5" + QLocale().decimalPoint() + "5");
        Click("RadioButton4");
        Click("Button1");
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
        QVERIFY(book_.Plan(0).Rec().AboveBaseTotal == 0 && book_.Plan(0).Rec().InnerBidding == 1);
        QVERIFY(AnnualRateOf(book_.Plan(1).Rec()) == 5.5 && book_.Plan(1).Rec().Method == mtInterestAtEnd);
    }

    void removeOutdatedKeepsAPlanEndingToday() {
        AddFlow(Day(2001, 1, 14), 6, 1);  // last 14 June: yesterday
        AddFlow(Day(2001, 1, 15), 6, 2);  // last 15 June: today
        AddFlow(Day(2001, 1, 16), 6, 3);
        ClickRow(2);
        Click("Button6");
        QCOMPARE(Amounts(), QList<int>({2, 3}));
        QVERIFY(state_.Modified);
        QCOMPARE(form_->SelectedPlan(), -1);
        QCOMPARE(QStringList({Cell(0, 4), Cell(2, 4)}), QStringList({"2", ""}));
    }

    void clearLeavesDepositFieldsAlone() {
        Choose("ComboBox2", pkCollect);
        Choose("ComboBox1", prThriceMonthly);
        for (int i = 1; i <= 18; ++i) Type(Edit(i), QStringLiteral("12"));
        for (const char* radio : {"RadioButton3", "RadioButton5", "RadioButton4", "RadioButton9", "RadioButton11"}) Click(radio);
        Click("Button3");
        QString texts;
        for (int i = 1; i <= 18; ++i) texts += TextOf(Edit(i)) + '|';
        QCOMPARE(texts, QStringLiteral("||||||||||||12|12|12|12|12|12|"));  // 1..12 cleared, 13..18 kept
        QVERIFY(Get<QComboBox>("ComboBox2")->currentIndex() == -1 && Get<QComboBox>("ComboBox1")->currentText().isEmpty());
        QCOMPARE(PageShown(), QStringLiteral("FixAccount"));
        QVERIFY(Shown("RFilterEdit1") && !Shown("Panel2") && !Shown("Panel3"));
        // The deposit and loan methods go back to their first; expense and inner bidding stay.
        for (const char* radio : {"RadioButton1", "RadioButton7", "RadioButton10", "RadioButton3", "RadioButton5"})
            QVERIFY2(Checked(radio), radio);
        QCOMPARE(Get<QDateEdit>("DateEdit1")->date(), QDate(2001, 6, 20));
    }

    void fieldHints() {
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        const auto focus = [this](const char* field) {
            Get(field)->setFocus(Qt::TabFocusReason);
            return Get<QLabel>("Label8")->text() + '|' + Get<QLabel>("Label18")->text();
        };
        QCOMPARE(focus("RFilterEdit1"), QStringLiteral("若設定為標會時, 此欄代表會期( 含起會 )。當設定為定存時, 頭尾都算一期|例如定存九個月, 期數為 10"));
        Choose("ComboBox1", prTwiceMonthly);
        QCOMPARE(focus("RFilterEdit3"), QStringLiteral("輸入日期, 例如 10, 20|"));  // leaving the count emptied both
        Choose("ComboBox2", pkCompound);
        QCOMPARE(focus("RFilterEdit16"), QStringLiteral("零存金額或是整存金額|"));
        Choose("ComboBox2", pkLoan);
        QCOMPARE(focus("RFilterEdit18"), QStringLiteral("貸款金額|"));
        Choose("ComboBox2", pkCollect);
        QCOMPARE(focus("RFilterEdit11"), QStringLiteral("請累加得標以前之會期，超過底標的部份|"));
        QCOMPARE(focus("ComboBox2"), QStringLiteral("|"));
        QCOMPARE(focus("RFilterEdit12"), QStringLiteral("會首的設定方式: 預估(實際)得標期次=1|"));
    }

    // Pictures of the editor with each kind's page, for a person to look at; written only when asked for.
    void screenshots() {
        const QString dir = qEnvironmentVariable("TAMBER_SCREENSHOT_DIR");
        if (dir.isEmpty()) QSKIP("TAMBER_SCREENSHOT_DIR not set");
        AddFlow(Day(2001, 1, 15), 12, -15000, "房租");
        AddFlow(Day(2001, 1, 5), 24, 42000, "薪水");
        form_->resize(900, 560);
        const int periods[] = {prEveryNDays, prThriceMonthly, prMonthly, prTwiceMonthly, prOnce};
        for (int kind = 0; kind < 5; ++kind) {
            Choose("ComboBox2", kind);
            Choose("ComboBox1", periods[kind]);
            QVERIFY(form_->grab().save(QDir(dir).filePath(QStringLiteral("editor-%1.png").arg(PageShown()))));
        }
    }
};

QTEST_MAIN(InputTest)
#include "InputTest.moc"
