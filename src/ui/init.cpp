#include "ui/init.h"

#include <QFont>
#include <QGroupBox>
#include <QPushButton>

#include <filesystem>

#include "book/BookErrors.h"
#include "book/CatchUp.h"
#include "book/PlanFile.h"
#include "ui/Prompts.h"
#include "ui/RFEdit.h"
#include "ui/Screens.h"

namespace tamber::ui {

QString NotAnAmountMessage(const QString& text) {
    return QStringLiteral("'%1' 不是有效的整數值").arg(text);
}

TForm3::TForm3(TPlanBookState& state, std::function<QDate()> today, TPrompts& prompts, QWidget* parent)
    : QDialog(parent), State_(state), Today_(std::move(today)), Prompts_(prompts) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("調整本日結存"));
    setModal(true);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(242, 140);

    auto* group = new QGroupBox(QStringLiteral("結算至本日結存"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setGeometry(10, 6, 222, 78);
    Edit_ = new TRFilterEdit(group);
    Edit_->setObjectName(QStringLiteral("RFilterEdit1"));
    Edit_->SetValidChars(QStringLiteral("[0..9,-]"));
    QFont bold = Edit_->font();
    bold.setPixelSize(16);
    bold.setBold(true);
    Edit_->setFont(bold);
    Edit_->setGeometry(14, 30, 194, 30);
    Edit_->setAccessibleName(group->title());

    auto* ok = new QPushButton(QStringLiteral("確定"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(36, 98, 78, 28);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(128, 98, 78, 28);
    connect(ok, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    CentreOnScreen(*this, parent);
}

void TForm3::FormActivate() {
    Edit_->setText(QString::number(State_.OpeningBalance));
    Edit_->selectAll();
    Edit_->setFocus();
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TForm3::Button1Click() {
    const QString text = Edit_->text();
    const std::optional<int32_t> balance = ParseAmountText(text.toStdString());
    if (!balance) {
        Prompts_.ShowError(this, NotAnAmountMessage(text));
        return;
    }
    State_.OpeningBalance = *balance;
    if (ChangedOnDisk(State_)) {
        // Our header on someone else's plans would mix two books.
        State_.Modified = true;
        emit SaveRequested();
    } else if (!State_.PlanFileName.empty()) {
        const QDate today = Today_();
        try {
            RewritePlanFileHeader(std::filesystem::path(State_.PlanFileName), *balance,
                                  EncodeDate(today.year(), today.month(), today.day()));
            State_.FileStamp = StampFile(State_.PlanFileName);
        } catch (const ETamberError& e) {
            // The new balance lives only in the window now: closing offers to
            // save it, instead of losing it with the header left behind.
            State_.Modified = true;
            Prompts_.ShowError(this, QString::fromUtf8(e.what()));
            return;
        }
    }
    accept();
}

}  // namespace tamber::ui
