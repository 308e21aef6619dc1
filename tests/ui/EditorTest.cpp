// The plan editor: the fields shown, plans stored as typed and shown again, the commands, the schedule's preview.
#include "UiTestSupport.h"

using namespace tamber;
using namespace tamber::ui;
using namespace tamber::test;

namespace {

// A plan's stored fields in the order of the record, with the rate per year (the start date: the grid's).
QString Stored(const TPlanRecord& r) {
    const auto n = [](long long v) { return QString::number(v); };
    return QStringList{n(r.PeriodKind), n(r.PeriodCount), n(r.IntervalDays),
                       n(r.MonthDays[0]) + '/' + n(r.MonthDays[1]) + '/' + n(r.MonthDays[2]), n(r.Direction), n(r.Amount),
                       n(r.BaseBid), n(r.WinningBid), n(r.WinningPeriod), n(r.InnerBidding), n(r.AboveBaseTotal), n(r.PlanKind),
                       n(r.Method), QString::number(AnnualRateOf(r)), FromBig5(DescriptionBytes(r))}
        .join(' ');
}

// A plan as typed: its kind and period, the fields by number and text ("number=text"), the radio buttons clicked.
struct TEntry {
    const char* Name;
    int Kind, Period;
    QStringList Fields, Radios;
    const char* Stored;
};
const TEntry kEntries[] = {
    {"fixed expense, letters typed into the numbers", 0, 5, {"1=1x2", "6=5-0.0", "12=rent"}, {"RadioButton3"}, "5 12 0 0/0/0 -1 500 0 0 0 0 0 0 0 0 rent"},
    {"fixed income every 10 days", 0, 0, {"1=3", "2=10", "6=70"}, {"RadioButton2"}, "0 3 10 0/0/0 1 70 0 0 0 0 0 0 0 0 "},
    {"club, inner bidding, twice a month", 1, 6, {"1=20", "3=5", "4=21", "7=5000", "8=300", "9=800", "10=6", "11=4400"}, {"RadioButton5"}, "6 20 0 5/21/0 0 5000 300 800 6 1 0 1 0 0 "},
    {"club, outer bidding, three times a month", 1, 7, {"1=9", "3=1", "4=11", "5=21", "7=50", "8=3", "9=8", "10=2", "11=44"}, {"RadioButton5", "RadioButton6"}, "7 9 0 1/11/21 0 50 3 8 2 0 44 1 0 0 "},
    {"deposit, interest at the end", 2, 5, {"1=13", "14=1000x00", "13=5.5x"}, {"RadioButton4"}, "5 13 0 0/0/0 0 100000 0 0 0 0 0 2 1 5.5 "},
    {"compound, draws out", 3, 9, {"1=5", "16=1000", "15=2"}, {"RadioButton9"}, "9 5 0 0/0/0 0 1000 0 0 0 0 0 3 0 2 "},
    {"loan, equal principal (本金定額攤還法)", 4, 5, {"1=13", "18=120000", "17=6"}, {"RadioButton11"}, "5 13 0 0/0/0 0 120000 0 0 0 0 0 4 5 6 "},
};

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // what a designated initialiser leaves out is default
// Monthly fields from 10 March 2026, and the preview's rows, its last row and its notes.
const TDate kStart = Ymd(2026, 3, 10);
const struct {
    const char* Name;
    TPlanFields Fields;
    int Rows;
    QStringList Last;
    const char* Notes;
} kPreviews[] = {
    {"a fixed expense", {.KindIndex = pkFixAccount, .PeriodIndex = prMonthly, .PeriodCount = "3", .StartDate = kStart, .FixAmount = "500", .Income = false}, 3, {"3", "2026/5/10", "-500", "-1,500"}, ""},
    {"a loan of equal principal instalments", {.KindIndex = pkLoan, .PeriodIndex = prMonthly, .PeriodCount = "4", .StartDate = kStart, .LoanAmount = "30000", .LoanRate = "12", .EqualInstalments = false}, 4, {"4", "2026/6/10", "-10,200", "-900"}, "總收入 30,000　總支出 -30,900"},
    {"more periods than the preview lists", {.KindIndex = pkFixAccount, .PeriodIndex = prEveryNDays, .PeriodCount = "1500", .StartDate = kStart, .IntervalDays = "1", .FixAmount = "1"}, 1000, {"1000", "2028/12/3", "1", "1,000"}, "只列出前 1,000 期, 共 1,500 期"},
    {"no rate yet: nothing", {.KindIndex = pkLoan, .PeriodIndex = prMonthly, .PeriodCount = "4", .StartDate = kStart, .LoanAmount = "30000"}, 0, {}, ""},
};

}  // namespace

class EditorTest : public QObject {
    Q_OBJECT

    TScriptedPrompts prompts_;
    TPlanBook book_;
    TPlanBookState state_;
    std::unique_ptr<TForm2> form_;

    QString Edit(int n) const { return QStringLiteral("RFilterEdit%1").arg(n); }
    void Choose(const char* selector, int index) { Get<QComboBox>(form_.get(), selector)->setCurrentIndex(index); }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = Get<QTableWidget>(form_.get(), "StringGrid1")->item(row, column);
        return item ? item->text() : QString();
    }
    void ClickRow(int row) {
        auto* grid = Get<QTableWidget>(form_.get(), "StringGrid1");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 0)).center());
    }
    QList<int> Amounts() const {  // the book's signed amounts, in order
        QList<int> amounts;
        for (int i = 0; i < book_.Count(); ++i) amounts << book_.Plan(i).Rec().Amount * book_.Plan(i).Rec().Direction;
        return amounts;
    }
    void Enter(const TEntry& e) {
        Click(form_.get(), "Button3");
        Choose("ComboBox2", e.Kind);
        Choose("ComboBox1", e.Period);
        for (const QString& radio : e.Radios) Click(form_.get(), radio);
        for (const QString& field : e.Fields) Type(form_.get(), Edit(field.section('=', 0, 0).toInt()), field.section('=', 1));
        if (e.Period >= 6) Get<QDateEdit>(form_.get(), "DateEdit1")->setDate(QDate(2001, 6, 20));
    }

private slots:
    void init() {
        prompts_ = TScriptedPrompts();
        book_.Clear();
        state_ = TPlanBookState();
        form_ = std::make_unique<TForm2>(book_, state_, TForm2::TOptions{&prompts_, [] { return QDate(2001, 6, 15); }});
        form_->SetStartDate(Ymd(2001, 6, 20));
        form_->show();
    }

    void eachKindShowsItsPageAndMonthlyDepositsAndLoans() {
        const char* pages[] = {"FixAccount", "Collect", "Saving", "Compound", "Loan"};
        for (int kind = 4; kind >= 0; --kind) {  // deposits and loans are monthly; the others leave the period as it is
            Choose("ComboBox1", prYearly);
            Choose("ComboBox2", kind);
            QCOMPARE(std::pair(Get<QStackedWidget>(form_.get(), "Notebook1")->currentWidget()->objectName(), Get<QComboBox>(form_.get(), "ComboBox1")->currentIndex()),
                     std::pair(QString::fromLatin1(pages[kind]), kind >= pkSaving ? int(prMonthly) : int(prYearly)));
        }
        // Shown or not: the interval, the listed days, the third listed day, the number of periods; 清除 (-1) shows a monthly plan's.
        const std::pair<int, const char*> periods[] = {{prEveryNDays, "1001"}, {prTwiceMonthly, "0101"}, {prThriceMonthly, "0111"}, {-1, "0001"}, {prOnce, "0000"}};
        for (const auto& [period, fields] : periods) {
            period < 0 ? Click(form_.get(), "Button3") : Choose("ComboBox1", period);
            QString flags;
            for (const char* name : {"Panel2", "Panel3", "RFilterEdit5", "RFilterEdit1"}) flags += Get(form_.get(), name)->isVisibleTo(form_.get()) ? '1' : '0';
            QCOMPARE(flags, QString::fromLatin1(fields));
        }
    }

    // Each plan is stored as typed and chosen, listed in the grid, and shown again in the fields when its row is
    // clicked: "異動" then stores it unchanged.
    void plansAreStoredAsEnteredAndShownAgain() {
        for (const TEntry& e : kEntries) {
            Enter(e);
            Click(form_.get(), "Button1");
            QVERIFY2(prompts_.Errors.isEmpty() && Stored(book_.Plan(book_.Count() - 1).Rec()) == QString::fromUtf8(e.Stored), e.Name);
        }
        QCOMPARE(QStringList({Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(0, 3), Cell(0, 4), Cell(0, 5), Cell(1, 0), Cell(2, 0), Cell(5, 3)}),
                 QStringList({"固定支出", "rent", ShortDate(Ymd(2001, 6, 20)), "每月", "500", "12", "固定收入", "跟會", "每隔二年"}));
        for (int i = 0; i < book_.Count(); ++i) {
            const TRecordBytes before = RecordToBytes(book_.Plan(i).Rec());
            Click(form_.get(), "Button3");
            ClickRow(i);
            Click(form_.get(), "Button5");
            QVERIFY2(form_->SelectedPlan() == i && RecordToBytes(book_.Plan(i).Rec()) == before && prompts_.Errors.isEmpty(), kEntries[i].Name);
        }
    }

    // Refused commands say why and change nothing (a kind typed in is no kind). Add selects the new plan, which Modify
    // and Delete act on without a click; Modify keeps the plan's place; Remove outdated keeps a plan ending today.
    void commandsChangeTheBookAndTheGridOrSayWhyNot() {
        for (const int day : {14, 15, 16}) book_.Append(CreateFrom(Flow(prMonthly, Ymd(2001, 1, day), 6, day - 13)));
        form_->RefreshPlanGrid();
        ClickRow(3);  // a blank filler row selects nothing
        Enter(kEntries[0]);
        Click(form_.get(), "Button5");
        Get<QComboBox>(form_.get(), "ComboBox2")->lineEdit()->setText(QStringLiteral("其他"));
        Click(form_.get(), "Button1");
        QCOMPARE(std::tuple(prompts_.Errors, Amounts(), state_.Modified, Get<QTableWidget>(form_.get(), "StringGrid1")->rowCount(), form_->SelectedPlan()),
                 std::tuple(QStringList{"請先點選右側計劃", "請選擇計劃類別"}, QList<int>{1, 2, 3}, false, 4, -1));
        Get<QComboBox>(form_.get(), "ComboBox2")->lineEdit()->setText(QStringLiteral("固定收入／支出"));
        Click(form_.get(), "Button1");
        QCOMPARE(std::tuple(Amounts(), form_->SelectedPlan(), Get<QTableWidget>(form_.get(), "StringGrid1")->currentRow(), state_.Modified),
                 std::tuple(QList<int>{1, 2, 3, -500}, 3, 3, true));
        Type(form_.get(), Edit(6), "650");
        Click(form_.get(), "Button5");
        QCOMPARE(Amounts(), (QList<int>{1, 2, 3, -650}));
        Click(form_.get(), "Button2");
        QCOMPARE(std::tuple(Amounts(), form_->SelectedPlan(), Text(form_.get(), Edit(6))), std::tuple(QList<int>{1, 2, 3}, -1, QString()));
        ClickRow(2);
        Click(form_.get(), "Button6");
        QCOMPARE(std::tuple(Amounts(), form_->SelectedPlan(), Cell(2, 4)), std::tuple(QList<int>{2, 3}, -1, QString()));
    }

    void thePreviewListsEachKindsSchedule_data() { Rows(kPreviews); }
    void thePreviewListsEachKindsSchedule() {
        const auto& c = Row(kPreviews);
        form_->SetFields(c.Fields);
        form_->UpdatePreview();
        auto* grid = Get<QTableWidget>(form_.get(), "PreviewGrid");
        QStringList last;
        for (int column = 0; c.Rows > 0 && column < grid->columnCount(); ++column) last << grid->item(c.Rows - 1, column)->text();
        QCOMPARE(std::tuple(grid->rowCount(), last, Text(form_.get(), "PreviewNotes")), std::tuple(c.Rows, c.Last, QString::fromUtf8(c.Notes)));
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<EditorTest>();
#include "EditorTest.moc"
