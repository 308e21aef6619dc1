#include "ui/catchup.h"

#include <QDate>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

#include "book/BookErrors.h"
#include "ui/Prompts.h"
#include "ui/QtDates.h"
#include "ui/RFEdit.h"
#include "ui/Screens.h"

namespace tamber::ui {
namespace {

constexpr int kClientWidth = 408;
constexpr int kClientHeight = 270;
constexpr int kRowTop = 52;  // first row, in the group
constexpr int kRowHeight = 22;
constexpr int kPlanLeft = 32;  // columns of the rows and their headings, in the group
constexpr int kPlanWidth = 110;
constexpr int kDateLeft = 146;
constexpr int kDateWidth = 72;
constexpr int kAmountLeft = 222;
constexpr int kAmountWidth = 78;

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& where,
                  Qt::Alignment align = Qt::AlignLeft) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, int top) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(320, top, 78, 26);
    return button;
}

// The accessible name of the amount of item Index (from 0): "第 n 項金額".
QString AmountName(int index) {
    return QStringLiteral("第 %1 項金額").arg(index + 1);
}

}  // namespace

TForm5::TForm5(TPendingList& pending, TDate balanceDate, int32_t loadedBalance, TPrompts& prompts, QWidget* parent)
    : QDialog(parent), Pending_(pending), LoadedBalance_(loadedBalance), Prompts_(prompts) {
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("初始金額調整"));
    setModal(true);
    // A title bar without the system menu and close box: the dialog ends by
    // "確定" or "取消" only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);

    auto* group = new QGroupBox(QStringLiteral("尚未累算的計劃"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setGeometry(6, 4, 306, 240);
    PageLabel_ = MakeLabel(group, QStringLiteral("PageLabel"), {}, QRect(200, 16, 100, 16), Qt::AlignRight);
    MakeLabel(group, QStringLiteral("PlanHeading"), QStringLiteral("計劃"), QRect(kPlanLeft, 34, kPlanWidth, 16));
    MakeLabel(group, QStringLiteral("DateHeading"), QStringLiteral("日期"), QRect(kDateLeft, 34, kDateWidth, 16));
    // The amount heading is wider than its column: it ends where the edits end.
    MakeLabel(group, QStringLiteral("AmountHeading"), QStringLiteral("已收入/支出金額"),
              QRect(kAmountLeft + kAmountWidth - 112, 34, 112, 16), Qt::AlignRight);

    for (int r = 0; r < kPendingRowsPerPage; ++r) {
        const int top = kRowTop + r * kRowHeight;
        const QString n = QString::number(r + 1);
        TRow& row = Rows_[r];
        row.Number = MakeLabel(group, QStringLiteral("NumberLabel") + n, {}, QRect(4, top, 24, 20), Qt::AlignRight);
        row.Plan = MakeLabel(group, QStringLiteral("PlanLabel") + n, {}, QRect(kPlanLeft, top, kPlanWidth, 20));
        row.Date = MakeLabel(group, QStringLiteral("DateLabel") + n, {}, QRect(kDateLeft, top, kDateWidth, 20));
        row.Amount = new TRFilterEdit(group);
        row.Amount->setObjectName(QStringLiteral("RFilterEdit") + n);
        row.Amount->SetValidChars(QStringLiteral("[0..9,-]"));
        row.Amount->setGeometry(kAmountLeft, top, kAmountWidth, 20);
        row.Amount->setAccessibleName(AmountName(r));
        connect(row.Amount, &QLineEdit::textChanged, this, [this, r] { RFilterEdit1Change(r); });
    }

    MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("上次累算到"), QRect(320, 10, 84, 18));
    BalanceDateLabel_ = MakeLabel(this, QStringLiteral("BalanceDateLabel"), {}, QRect(320, 28, 84, 18));
    MakeLabel(this, QStringLiteral("Label2"), QStringLiteral("已累算金額"), QRect(320, 54, 84, 18));
    LoadedBalanceLabel_ = MakeLabel(this, QStringLiteral("LoadedBalanceLabel"), {}, QRect(320, 72, 84, 18));
    Button1_ = MakeButton(this, QStringLiteral("Button1"), QStringLiteral("上頁"), 116);
    Button2_ = MakeButton(this, QStringLiteral("Button2"), QStringLiteral("下頁"), 146);
    QPushButton* ok = MakeButton(this, QStringLiteral("Button3"), QStringLiteral("確定"), 184);
    QPushButton* cancel = MakeButton(this, QStringLiteral("Button4"), QStringLiteral("取消"), 214);
    connect(Button1_, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(Button2_, &QPushButton::clicked, this, &TForm5::Button2Click);
    connect(ok, &QPushButton::clicked, this, &TForm5::Button3Click);
    connect(cancel, &QPushButton::clicked, this, &TForm5::Button4Click);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    status->setGeometry(0, kClientHeight - 22, kClientWidth, 22);
    status->addWidget(new QLabel(QStringLiteral("以上金額確定後, 將累加到初始金額"), status), 1);

    CentreOnScreen(*this, parent);

    FormActivate(balanceDate, loadedBalance);
}

void TForm5::FormActivate(TDate balanceDate, int32_t loadedBalance) {
    BalanceDateLabel_->setText(ShortDateText(balanceDate, QLocale()));
    LoadedBalanceLabel_->setText(QString::number(loadedBalance));
    PageCount_ = PendingPageCount(Pending_.size());
    ShowPendingPage(1);
}

void TForm5::ShowPendingPage(int page) {
    CurrentPage_ = PageCount_ == 0 ? 0 : std::clamp(page, 1, PageCount_);
    PageLabel_->setText(QStringLiteral("%1 頁之 %2").arg(PageCount_).arg(CurrentPage_));
    Button1_->setEnabled(CurrentPage_ > 1);
    Button2_->setEnabled(CurrentPage_ < PageCount_);
    const QFontMetrics metrics(Rows_[0].Plan->font());
    for (int r = 0; r < kPendingRowsPerPage; ++r) {
        TRow& row = Rows_[r];
        const int j = (CurrentPage_ - 1) * kPendingRowsPerPage + r;
        const bool shown = CurrentPage_ > 0 && j < static_cast<int>(Pending_.size());
        // The row takes its item before its edit is filled: filling the edit
        // runs the change handler, which writes into the row's item.
        row.Item = shown ? j : -1;
        for (QWidget* w : {static_cast<QWidget*>(row.Number), static_cast<QWidget*>(row.Plan), static_cast<QWidget*>(row.Date),
                           static_cast<QWidget*>(row.Amount)}) {
            w->setHidden(!shown);
        }
        if (!shown) continue;
        const TPassRecord& item = Pending_[static_cast<std::size_t>(j)];
        const QString description = QString::fromStdString(item.Description);
        row.Number->setText(QString::number(j + 1));
        row.Plan->setText(metrics.elidedText(description, Qt::ElideRight, row.Plan->width()));
        row.Plan->setToolTip(description);
        row.Date->setText(ShortDateText(item.Date, QLocale()));
        row.Amount->setAccessibleName(AmountName(j));
        row.Amount->setText(QString::fromStdString(item.AmountText));
    }
}

void TForm5::Button1Click() {
    ShowPendingPage(CurrentPage_ - 1);
}

void TForm5::Button2Click() {
    ShowPendingPage(CurrentPage_ + 1);
}

void TForm5::Button3Click() {
    try {
        NewBalance_ = CaughtUpBalance(LoadedBalance_, Pending_);
    } catch (const EInvalid& e) {
        // The dialog stays open for the user to correct the item.
        Prompts_.ShowError(this, QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

void TForm5::Button4Click() {
    NewBalance_.reset();
    reject();
}

void TForm5::RFilterEdit1Change(int row) {
    const int item = Rows_[row].Item;
    if (item < 0) return;
    Pending_[static_cast<std::size_t>(item)].AmountText = Rows_[row].Amount->text().toStdString();
}

std::optional<int32_t> ShowCatchUp(TPendingList& pending, const TPlanBookState& state, TPrompts& prompts, QWidget* parent) {
    TForm5 dialog(pending, state.BalanceDate, state.LoadedBalance, prompts, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.NewBalance();
}

}  // namespace tamber::ui
