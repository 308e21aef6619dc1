#include "ui/Updated.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamber::ui {

TForm6::TForm6(std::function<bool()> save, QWidget* parent) : QDialog(parent), Save_(std::move(save)) {
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("警訊"));
    setModal(true);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* text = new QLabel(QStringLiteral("計劃已異動, 是否要存檔 ?"), panel);
    text->setAlignment(Qt::AlignCenter);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addWidget(text);

    auto* saveButton = new QPushButton(QStringLiteral("存檔"), this);
    saveButton->setObjectName(QStringLiteral("Button1"));
    saveButton->setDefault(true);
    auto* leave = new QPushButton(QStringLiteral("離開"), this);
    leave->setObjectName(QStringLiteral("Button2"));
    connect(saveButton, &QPushButton::clicked, this, &TForm6::Button1Click);
    connect(leave, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(leave);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    setFixedSize(330, 98);
}

void TForm6::Button1Click() {
    if (!Save_ || Save_()) accept();
}

}  // namespace tamber::ui
