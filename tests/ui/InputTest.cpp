#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "Big5.h"
#include "DrawCalendar.h"
#include "Input.h"
#include "Main.h"
#include "PlanFields.h"
#include "Prompts.h"
#include "RFEdit.h"

using namespace tamber;
using namespace tamber::ui;

namespace {

// Collects the errors the editor shows instead of showing them.
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

// A monthly fixed flow of a signed amount.
std::unique_ptr<TCustomPlan> Flow(TDate start, int count, int32_t amount, const char* description = "") {
    TPlanRecord rec = ZeroPlanRecord();
    rec.PeriodKind = prMonthly;
    rec.StartDate = start;
    rec.PeriodCount = count;
    rec.Amount = amount < 0 ? -amount : amount;
    rec.Direction = amount < 0 ? -1 : 1;
    SetDescriptionBytes(rec, Utf8ToBig5(description).Bytes);
    return CreateFrom(pkFixAccount, rec);
}

}  // namespace

class InputTest : public QObject {
    Q_OBJECT

    TScriptedPrompts prompts_;
    TPlanBook book_;
    TPlanBookState state_;
    QDate today_{2001, 6, 15};
    std::unique_ptr<TForm2> form_;

    template <class T = QWidget>
    T* Get(const char* name) const {
        T* widget = form_->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr) qFatal("no control %s", name);
        return widget;
    }
    // Types into a field as the user would, replacing what it held.
    void Type(const char* field, const QString& text) {
        auto* edit = Get<TRFilterEdit>(field);
        edit->clear();
        TypeInto(edit, text);
    }
    // Keys for ASCII text; Chinese arrives committed by the input method.
    static void TypeInto(QWidget* edit, const QString& text) {
        bool ascii = true;
        for (const QChar c : text) ascii = ascii && c.unicode() < 0x80;
        if (ascii) {
            QTest::keyClicks(edit, text);
            return;
        }
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(edit, &event);
    }
    QString TextOf(const char* field) const { return Get<QLineEdit>(field)->text(); }
    void Choose(const char* selector, int index) { Get<QComboBox>(selector)->setCurrentIndex(index); }
    void Click(const char* button) { Get<QAbstractButton>(button)->click(); }
    void ClickRow(int row) {
        auto* grid = Get<QTableWidget>("StringGrid1");
        const QRect cell = grid->visualRect(grid->model()->index(row, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = Get<QTableWidget>("StringGrid1")->item(row, column);
        return item ? item->text() : QString();
    }
    QString PageShown() const { return Get<QStackedWidget>("Notebook1")->currentWidget()->objectName(); }
    bool Shown(const char* name) const { return Get(name)->isVisibleTo(form_.get()); }
    // A monthly fixed expense entered in the blank fields.
    void EnterFixedExpense(const QString& amount, const QString& count = QStringLiteral("12")) {
        Choose("ComboBox2", pkFixAccount);
        Type("RFilterEdit12", QStringLiteral("房租"));
        Choose("ComboBox1", prMonthly);
        Type("RFilterEdit1", count);
        Get<QRadioButton>("RadioButton3")->setChecked(true);
        Type("RFilterEdit6", amount);
    }
    void Open() {
        form_ = std::make_unique<TForm2>(book_, state_, TForm2::TOptions{&prompts_, [this] { return today_; }});
        form_->SetStartDate(Day(2001, 6, 20));
        form_->show();
    }

private slots:
    void init() {
        prompts_ = TScriptedPrompts();
        book_.Clear();
        state_ = TPlanBookState();
        Open();
    }
    void cleanup() { form_.reset(); }

    void controlTexts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, const QString& text) { QTest::newRow(name) << QString::fromLatin1(name) << text; };
        row("Label7", QStringLiteral("計 劃 類 別"));
        row("Label5", QStringLiteral("敘述／用途"));
        row("Label3", QStringLiteral("起始日期"));
        row("Label1", QStringLiteral("期        別"));
        row("Label6", QStringLiteral("間隔天數"));
        row("Label2", QStringLiteral("期        數"));
        row("Label16", QStringLiteral("(含首尾)"));
        row("Label17", QStringLiteral("超過底標總金額"));
        row("Button3", QStringLiteral("清成空白"));
        row("Button1", QStringLiteral("新增"));
        row("Button2", QStringLiteral("刪除"));
        row("Button5", QStringLiteral("異動"));
        row("Button6", QStringLiteral("清過時計劃"));
        row("Button4", QStringLiteral("回主畫面"));
        row("RadioButton3", QStringLiteral("支出"));
        row("RadioButton5", QStringLiteral("內標"));
        row("RadioButton7", QStringLiteral("\"整\"存整付"));
        row("RadioButton10", QStringLiteral("本息定額攤還法"));
    }
    void controlTexts() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QWidget* control = form_->findChild<QWidget*>(name);
        QVERIFY2(control != nullptr, qPrintable(name));
        if (auto* label = qobject_cast<QLabel*>(control)) QCOMPARE(label->text(), text);
        else QCOMPARE(qobject_cast<QAbstractButton*>(control)->text(), text);
    }

    void windowAndLists() {
        QCOMPARE(form_->windowTitle(), QStringLiteral("計劃編輯"));
        QCOMPARE(form_->objectName(), QStringLiteral("TForm2"));
        QVERIFY(form_->windowState() & Qt::WindowMaximized);
        QCOMPARE(Get("Panel1")->width(), 329);
        QCOMPARE(Get("FriendlyStatusBar1")->height(), 37);
        auto* kinds = Get<QComboBox>("ComboBox2");
        QVERIFY(kinds->isEditable());
        QCOMPARE(kinds->count(), 5);
        QCOMPARE(kinds->itemText(2), QStringLiteral("定存／存本取息(單利)"));
        QCOMPARE(form_->focusWidget(), kinds);
        auto* periods = Get<QComboBox>("ComboBox1");
        QCOMPARE(periods->count(), 11);
        QCOMPARE(periods->itemText(10), QStringLiteral("每隔三年"));
        QCOMPARE(periods->maxVisibleItems(), 10);
        QStringList pages;
        auto* notebook = Get<QStackedWidget>("Notebook1");
        for (int i = 0; i < notebook->count(); ++i) pages << notebook->widget(i)->objectName();
        QCOMPARE(pages, QStringList({"FixAccount", "Collect", "Saving", "Compound", "Loan"}));
        QCOMPARE(Get("Button2")->toolTip(), QStringLiteral("請先點選右側計劃"));
        QCOMPARE(Get<TRFilterEdit>("RFilterEdit12")->ValidChars(), QStringLiteral("[]"));
        QCOMPARE(Get<TRFilterEdit>("RFilterEdit11")->ValidChars(), QStringLiteral("[0..9]"));
        QCOMPARE(Get<TRFilterEdit>("RFilterEdit16")->ValidChars(), QStringLiteral("[0..9,-]"));
        QCOMPARE(Get<TRFilterEdit>("RFilterEdit17")->ValidChars(), QStringLiteral("[0..9,.]"));
        QVERIFY(Get<QRadioButton>("RadioButton2")->isChecked());
        QVERIFY(Get<QRadioButton>("RadioButton6")->isChecked());

        auto* grid = Get<QTableWidget>("StringGrid1");
        QStringList headings;
        QList<int> widths;
        for (int c = 0; c < grid->columnCount(); ++c) {
            headings << grid->horizontalHeaderItem(c)->text();
            widths << grid->columnWidth(c);
        }
        QCOMPARE(headings, QStringList({"類別", "敘述", "起始日", "週期", "金額", "期數"}));
        QCOMPARE(widths, QList<int>({56, 64, 64, 58, 64, 30}));
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(grid->horizontalHeader()->sectionsMovable());

        QCOMPARE(Get<QLabel>("Label8")->text(), QStringLiteral("請於空白計劃各欄位輸入後, 按下「新增」按鈕, 即新增完成"));
        QCOMPARE(Get<QLabel>("Label18")->text(),
                 QStringLiteral("欲更改某計劃時, 請先於右邊列出的計劃勾選, 更改完, 別忘了按下「異動」按鈕"));
        QCOMPARE(Get<QDateEdit>("DateEdit1")->date(), QDate(2001, 6, 20));
    }

    void kindChoosesPageAndPeriod_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("period");
        QTest::newRow("fixed flow keeps the period") << 0 << "FixAccount" << int(prYearly);
        QTest::newRow("savings club keeps the period") << 1 << "Collect" << int(prYearly);
        QTest::newRow("deposit is monthly") << 2 << "Saving" << int(prMonthly);
        QTest::newRow("compound deposit is monthly") << 3 << "Compound" << int(prMonthly);
        QTest::newRow("loan is monthly") << 4 << "Loan" << int(prMonthly);
    }
    void kindChoosesPageAndPeriod() {
        QFETCH(int, kind);
        QFETCH(QString, page);
        QFETCH(int, period);
        Choose("ComboBox1", prYearly);
        Choose("ComboBox2", kind);
        QCOMPARE(PageShown(), page);
        QCOMPARE(Get<QComboBox>("ComboBox1")->currentIndex(), period);
    }

    void periodVisibility_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<bool>("interval");
        QTest::addColumn<bool>("days");
        QTest::addColumn<bool>("thirdDay");
        QTest::addColumn<bool>("count");
        QTest::newRow("every n days") << 0 << true << false << false << true;
        QTest::newRow("monthly") << 5 << false << false << false << true;
        QTest::newRow("twice a month") << 6 << false << true << false << true;
        QTest::newRow("three times a month") << 7 << false << true << true << true;
        QTest::newRow("once only") << 8 << false << false << false << false;
        QTest::newRow("every three years") << 10 << false << false << false << true;
    }
    void periodVisibility() {
        QFETCH(int, period);
        QFETCH(bool, interval);
        QFETCH(bool, days);
        QFETCH(bool, thirdDay);
        QFETCH(bool, count);
        Choose("ComboBox1", period);
        QCOMPARE(Shown("Panel2"), interval);
        QCOMPARE(Shown("Panel3"), days);
        QCOMPARE(Shown("RFilterEdit5"), thirdDay);
        QCOMPARE(Shown("RFilterEdit1"), count);
        QCOMPARE(Shown("Label2"), count);
        // A deposit chosen afterwards makes it monthly, and the period's boxes follow.
        Choose("ComboBox2", pkLoan);
        QVERIFY(!Shown("Panel2") && !Shown("Panel3") && Shown("RFilterEdit1"));
    }

    void outerBiddingShowsTheTotalAboveBase() {
        Choose("ComboBox2", pkCollect);
        QVERIFY(Shown("Label17") && Shown("RFilterEdit11"));
        Click("RadioButton5");
        QVERIFY(!Shown("Label17") && !Shown("RFilterEdit11"));
        Click("RadioButton6");
        QVERIFY(Shown("Label17") && Shown("RFilterEdit11"));
    }

    void gridListsPlansOverAtLeastFourRows() {
        auto* grid = Get<QTableWidget>("StringGrid1");
        QCOMPARE(grid->rowCount(), 4);
        book_.Append(Flow(Day(2001, 1, 15), 12, -500, "房租"));
        book_.Append(Flow(Day(2001, 2, 1), 3, 800));
        form_->RefreshPlanGrid();
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(Cell(0, 0), QStringLiteral("固定支出"));
        QCOMPARE(Cell(0, 1), QStringLiteral("房租"));
        QCOMPARE(Cell(0, 2), QLocale().toString(QDate(2001, 1, 15), QLocale::ShortFormat));
        QCOMPARE(Cell(0, 3), QStringLiteral("每月"));
        QCOMPARE(Cell(0, 4), QStringLiteral("500"));
        QCOMPARE(Cell(0, 5), QStringLiteral("12"));
        QCOMPARE(Cell(1, 0), QStringLiteral("固定收入"));
        QCOMPARE(Cell(2, 0), QString());
        // A blank filler row selects nothing.
        ClickRow(3);
        QCOMPARE(form_->SelectedPlan(), -1);
        ClickRow(1);
        QCOMPARE(form_->SelectedPlan(), 1);
        for (int i = 0; i < 4; ++i) book_.Append(Flow(Day(2001, 3, 1), 2, i));
        form_->RefreshPlanGrid();
        QCOMPARE(grid->rowCount(), 6);
        QCOMPARE(Cell(5, 4), QStringLiteral("3"));
    }

    void selectingAPlanShowsItsFields() {
        book_.Append(Flow(Day(2001, 1, 15), 12, -500, "房租"));
        TPlanRecord loan = ZeroPlanRecord();
        loan.PeriodKind = prTwiceMonthly;
        loan.MonthDays = {5, 20, 0};
        loan.StartDate = Day(2001, 3, 1);
        loan.PeriodCount = 24;
        loan.Amount = 300000;
        loan.Method = mtEqualPrincipal;
        SetAnnualRate(loan, 7.5);
        book_.Append(CreateFrom(pkLoan, loan));
        form_->RefreshPlanGrid();
        Type("RFilterEdit6", QStringLiteral("1"));  // the fixed amount is not the loan's: it stays

        ClickRow(1);
        QCOMPARE(PageShown(), QStringLiteral("Loan"));
        QCOMPARE(Get<QComboBox>("ComboBox2")->currentIndex(), int(pkLoan));
        QCOMPARE(Get<QComboBox>("ComboBox1")->currentIndex(), int(prTwiceMonthly));
        QVERIFY(Shown("Panel3") && !Shown("RFilterEdit5"));
        QCOMPARE(TextOf("RFilterEdit3") + "," + TextOf("RFilterEdit4"), QStringLiteral("5,20"));
        QCOMPARE(TextOf("RFilterEdit1"), QStringLiteral("24"));
        QCOMPARE(TextOf("RFilterEdit18"), QStringLiteral("300000"));
        QCOMPARE(TextOf("RFilterEdit17"), QStringLiteral("7") + QLocale().decimalPoint() + QStringLiteral("50"));
        QVERIFY(Get<QRadioButton>("RadioButton11")->isChecked());
        QCOMPARE(Get<QDateEdit>("DateEdit1")->date(), QDate(2001, 3, 1));
        QCOMPARE(TextOf("RFilterEdit6"), QStringLiteral("1"));

        ClickRow(0);
        QCOMPARE(PageShown(), QStringLiteral("FixAccount"));
        QVERIFY(Get<QRadioButton>("RadioButton3")->isChecked());
        QCOMPARE(TextOf("RFilterEdit6"), QStringLiteral("500"));
        QCOMPARE(TextOf("RFilterEdit12"), QStringLiteral("房租"));
        QCOMPARE(Get<QComboBox>("ComboBox1")->currentIndex(), int(prMonthly));
        QVERIFY(!Shown("Panel3"));
    }

    void addSelectsTheNewPlan() {
        book_.Append(Flow(Day(2001, 1, 1), 2, 1));
        form_->RefreshPlanGrid();
        EnterFixedExpense(QStringLiteral("500"));
        Click("Button1");
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
        QCOMPARE(book_.Count(), 2);
        QCOMPARE(form_->SelectedPlan(), 1);
        QVERIFY(state_.Modified);
        const TPlanRecord& rec = book_.Plan(1).Rec();
        QCOMPARE(rec.Amount, 500);
        QCOMPARE(rec.Direction, -1);
        QCOMPARE(rec.StartDate, Day(2001, 6, 20));
        QCOMPARE(Cell(1, 0), QStringLiteral("固定支出"));
        QCOMPARE(Get<QTableWidget>("StringGrid1")->currentRow(), 1);

        // Modify and Delete act on it without a click in the grid.
        Type("RFilterEdit6", QStringLiteral("650"));
        Click("Button5");
        QCOMPARE(book_.Count(), 2);
        QCOMPARE(book_.Plan(1).Rec().Amount, 650);
        Click("Button2");
        QCOMPARE(book_.Count(), 1);
        QCOMPARE(book_.Plan(0).Rec().Amount, 1);
        QCOMPARE(form_->SelectedPlan(), -1);
    }

    void modifyKeepsThePosition() {
        for (int i = 1; i <= 3; ++i) book_.Append(Flow(Day(2001, 1, i), 2, i));
        form_->RefreshPlanGrid();
        ClickRow(1);
        Type("RFilterEdit6", QStringLiteral("777"));
        Click("Button5");
        QCOMPARE(book_.Count(), 3);
        QCOMPARE(book_.Plan(1).Rec().Amount, 777);
        QCOMPARE(book_.Plan(1).Rec().StartDate, Day(2001, 1, 2));
        QCOMPARE(book_.Plan(2).Rec().Amount, 3);
        QCOMPARE(form_->SelectedPlan(), 1);
        QCOMPARE(Cell(1, 4), QStringLiteral("777"));
        QVERIFY(state_.Modified);
    }

    // Refused commands show one message and change neither the book nor Modified.
    void refusedCommandsChangeNothing_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("select");
        QTest::addColumn<QString>("kindText");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty count first") << "Button1" << false << "" << "" << "期數輸入錯誤";
        QTest::newRow("add without a kind") << "Button1" << false << "" << "12" << "請選擇計劃類別";
        QTest::newRow("modify without a selected plan") << "Button5" << false << "固定收入／支出" << "12" << "請先點選右側計劃";
        QTest::newRow("modify after typing into the kind") << "Button5" << true << "其他" << "12" << "請選擇計劃類別";
        QTest::newRow("modify with a count of 0") << "Button5" << true << "固定收入／支出" << "0" << "期數輸入錯誤";
    }
    void refusedCommandsChangeNothing() {
        QFETCH(QString, button);
        QFETCH(bool, select);
        QFETCH(QString, kindText);
        QFETCH(QString, count);
        QFETCH(QString, message);
        book_.Append(Flow(Day(2001, 1, 15), 12, -500));
        form_->RefreshPlanGrid();
        if (select) ClickRow(0);
        EnterFixedExpense(QStringLiteral("900"), count);
        // Typing into the kind selector leaves no kind chosen unless the text is one of its items.
        auto* kinds = Get<QComboBox>("ComboBox2");
        kinds->setFocus();
        kinds->lineEdit()->selectAll();
        kinds->lineEdit()->del();
        TypeInto(kinds->lineEdit(), kindText);
        Click(button.toLatin1().constData());
        QCOMPARE(prompts_.Errors, QStringList{message});
        QCOMPARE(book_.Count(), 1);
        QCOMPARE(book_.Plan(0).Rec().Amount, 500);
        QVERIFY(!state_.Modified);
        QCOMPARE(form_->SelectedPlan(), select ? 0 : -1);
    }

    void entriesAreStoredAsTyped() {
        // Inner bidding stores nothing above the base bid, whatever the field holds.
        Choose("ComboBox2", pkCollect);
        Choose("ComboBox1", prMonthly);
        Type("RFilterEdit1", QStringLiteral("20"));
        Type("RFilterEdit7", QStringLiteral("5000"));
        Type("RFilterEdit8", QStringLiteral("300"));
        Type("RFilterEdit9", QStringLiteral("800"));
        Type("RFilterEdit10", QStringLiteral("6"));
        Type("RFilterEdit11", QStringLiteral("4400"));
        Click("RadioButton5");
        const QString letters(130, QLatin1Char('z'));
        Type("RFilterEdit12", letters);
        Click("Button1");
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
        QCOMPARE(book_.Plan(0).Rec().AboveBaseTotal, 0);
        QCOMPARE(book_.Plan(0).Rec().InnerBidding, 1);
        QCOMPARE(QByteArray::fromStdString(std::string(DescriptionBytes(book_.Plan(0).Rec()))), letters.left(120).toLatin1());

        // A rate of "5.5" typed in the user's decimal separator is 5.5 percent.
        Choose("ComboBox2", pkSaving);
        Type("RFilterEdit14", QStringLiteral("-100000"));
        Type("RFilterEdit13", QStringLiteral("5") + QLocale().decimalPoint() + QStringLiteral("5"));
        Click("RadioButton4");
        Click("Button1");
        QVERIFY2(prompts_.Errors.isEmpty(), qPrintable(prompts_.Errors.join('\n')));
        QCOMPARE(AnnualRateOf(book_.Plan(1).Rec()), 5.5);
        QCOMPARE(book_.Plan(1).Rec().Amount, -100000);
        QCOMPARE(int(book_.Plan(1).Rec().Method), int(mtInterestAtEnd));
        QCOMPARE(Cell(1, 0), QStringLiteral("定存／存本取息(單利)"));

        // A plan whose amounts cannot be computed never enters the book.
        Choose("ComboBox2", pkLoan);
        Type("RFilterEdit18", QStringLiteral("100000"));
        Type("RFilterEdit17", QStringLiteral("0"));
        Click("Button1");
        QCOMPARE(prompts_.Errors, QStringList{"年利率輸入錯誤, 以此年利率及期數無法算出金額"});
        QCOMPARE(book_.Count(), 2);
    }

    void removeOutdatedKeepsAPlanEndingToday() {
        book_.Append(Flow(Day(2001, 1, 14), 6, 1));  // last 14 June: yesterday
        book_.Append(Flow(Day(2001, 1, 15), 6, 2));  // last 15 June: today
        book_.Append(Flow(Day(2001, 1, 16), 6, 3));
        form_->RefreshPlanGrid();
        ClickRow(2);
        Click("Button6");
        QCOMPARE(book_.Count(), 2);
        QCOMPARE(book_.Plan(0).Rec().Amount, 2);
        QCOMPARE(book_.Plan(1).Rec().Amount, 3);
        QVERIFY(state_.Modified);
        QCOMPARE(form_->SelectedPlan(), -1);
        QCOMPARE(Cell(0, 4), QStringLiteral("2"));
        QCOMPARE(Cell(2, 4), QString());
    }

    void clearLeavesDepositFieldsAlone() {
        Choose("ComboBox2", pkCollect);
        Choose("ComboBox1", prThriceMonthly);
        for (const char* field : {"RFilterEdit1", "RFilterEdit2", "RFilterEdit3", "RFilterEdit4", "RFilterEdit5",
                                  "RFilterEdit6", "RFilterEdit7", "RFilterEdit8", "RFilterEdit9", "RFilterEdit10",
                                  "RFilterEdit11", "RFilterEdit12", "RFilterEdit13", "RFilterEdit14", "RFilterEdit15",
                                  "RFilterEdit16", "RFilterEdit17", "RFilterEdit18"})
            Type(field, QStringLiteral("12"));
        Click("RadioButton3");
        Click("RadioButton5");
        Click("RadioButton4");
        Click("RadioButton9");
        Click("RadioButton11");
        Get<QDateEdit>("DateEdit1")->setDate(QDate(2002, 2, 2));

        Click("Button3");
        for (const char* field : {"RFilterEdit1", "RFilterEdit2", "RFilterEdit3", "RFilterEdit4", "RFilterEdit5",
                                  "RFilterEdit6", "RFilterEdit7", "RFilterEdit8", "RFilterEdit9", "RFilterEdit10",
                                  "RFilterEdit11", "RFilterEdit12"})
            QVERIFY2(TextOf(field).isEmpty(), field);
        for (const char* field : {"RFilterEdit13", "RFilterEdit14", "RFilterEdit15", "RFilterEdit16", "RFilterEdit17",
                                  "RFilterEdit18"})
            QVERIFY2(TextOf(field) == QStringLiteral("12"), field);
        QCOMPARE(Get<QComboBox>("ComboBox2")->currentIndex(), -1);
        QVERIFY(Get<QComboBox>("ComboBox1")->currentText().isEmpty());
        QCOMPARE(PageShown(), QStringLiteral("FixAccount"));
        QVERIFY(Shown("RFilterEdit1") && !Shown("Panel2") && !Shown("Panel3"));
        QVERIFY(Get<QRadioButton>("RadioButton1")->isChecked());
        QVERIFY(Get<QRadioButton>("RadioButton7")->isChecked());
        QVERIFY(Get<QRadioButton>("RadioButton10")->isChecked());
        QVERIFY(Get<QRadioButton>("RadioButton3")->isChecked());
        QVERIFY(Get<QRadioButton>("RadioButton5")->isChecked());
        QCOMPARE(Get<QDateEdit>("DateEdit1")->date(), QDate(2002, 2, 2));
        QCOMPARE(form_->SelectedPlan(), -1);
    }

    void fieldHints() {
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        auto* line1 = Get<QLabel>("Label8");
        auto* line2 = Get<QLabel>("Label18");
        Get("RFilterEdit1")->setFocus(Qt::TabFocusReason);
        QCOMPARE(line1->text(), QStringLiteral("若設定為標會時, 此欄代表會期( 含起會 )。當設定為定存時, 頭尾都算一期"));
        QCOMPARE(line2->text(), QStringLiteral("例如定存九個月, 期數為 10"));
        Choose("ComboBox1", prTwiceMonthly);
        Get("RFilterEdit3")->setFocus(Qt::TabFocusReason);
        QCOMPARE(line1->text(), QStringLiteral("輸入日期, 例如 10, 20"));
        QCOMPARE(line2->text(), QString());  // leaving the number of periods emptied both lines

        Choose("ComboBox2", pkCompound);
        Get("RFilterEdit16")->setFocus(Qt::TabFocusReason);
        QCOMPARE(line1->text(), QStringLiteral("零存金額或是整存金額"));
        Choose("ComboBox2", pkLoan);
        Get("RFilterEdit18")->setFocus(Qt::TabFocusReason);
        QCOMPARE(line1->text(), QStringLiteral("貸款金額"));

        Choose("ComboBox2", pkCollect);
        Get("RFilterEdit11")->setFocus(Qt::TabFocusReason);
        QCOMPARE(line1->text(), QStringLiteral("請累加得標以前之會期，超過底標的部份"));
        Get("ComboBox2")->setFocus(Qt::TabFocusReason);
        QCOMPARE(line1->text(), QString());
        Get("RFilterEdit12")->setFocus(Qt::TabFocusReason);
        QCOMPARE(line1->text(), QStringLiteral("會首的設定方式: 預估(實際)得標期次=1"));
    }

    // Wired as the program wires it: "編輯" / "計劃" opens the editor on the calendar's day, and the main window
    // lists the new plan on that day once the editor is closed.
    void openedFromTheMainWindow() {
        form_.reset();
        QTemporaryDir dir;
        TForm1::TOptions options;
        options.SettingsFile = (dir.path() + QStringLiteral("/Tamber98.ini")).toStdString();
        options.Prompts = &prompts_;
        options.Today = [this] { return today_; };
        TForm1 main(options);
        TForm2 editor(main.Book(), main.State(), {&prompts_, [&main] { return main.Today(); }}, &main);
        main.EditPlans = [&main, &editor] {
            editor.SetStartDate(main.Calendar().SelectedDate());
            editor.exec();
        };
        main.Calendar().SetDay(20);
        bool edited = false;
        QTimer::singleShot(0, &editor, [&] {
            QVERIFY(editor.isVisible());
            QCOMPARE(editor.findChild<QDateEdit*>(QStringLiteral("DateEdit1"))->date(), QDate(2001, 6, 20));
            editor.findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setCurrentIndex(pkFixAccount);
            editor.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(prOnce);
            editor.findChild<QLineEdit*>(QStringLiteral("RFilterEdit6"))->setText(QStringLiteral("2500"));
            editor.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
            editor.findChild<QPushButton*>(QStringLiteral("Button4"))->click();
            edited = true;
        });
        main.findChild<QAction*>(QStringLiteral("Plans1"))->trigger();
        QVERIFY(edited);
        QVERIFY(prompts_.Errors.isEmpty());
        QCOMPARE(main.Book().Count(), 1);
        QVERIFY(main.State().Modified);
        QCOMPARE(main.State().DayItems.size(), std::size_t{1});
    }

    // Pictures of the editor with each kind's page, for a person to look at; written only when asked for.
    void screenshots() {
        const QString dir = qEnvironmentVariable("TAMBER_SCREENSHOT_DIR");
        if (dir.isEmpty()) QSKIP("TAMBER_SCREENSHOT_DIR not set");
        book_.Append(Flow(Day(2001, 1, 15), 12, -15000, "房租"));
        book_.Append(Flow(Day(2001, 1, 5), 24, 42000, "薪水"));
        form_->RefreshPlanGrid();
        form_->resize(900, 560);
        const struct {
            int Kind, Period;
        } shots[] = {{0, prEveryNDays}, {1, prThriceMonthly}, {2, prMonthly}, {3, prTwiceMonthly}, {4, prOnce}};
        for (const auto& shot : shots) {
            Choose("ComboBox2", shot.Kind);
            Choose("ComboBox1", shot.Period);
            QVERIFY(form_->grab().save(QDir(dir).filePath(QStringLiteral("editor-%1.png").arg(PageShown()))));
        }
    }
};

QTEST_MAIN(InputTest)
#include "InputTest.moc"
