#include "About.h"

#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

namespace tamber::ui {
namespace {

// Runs the event loop until Done holds or two seconds have passed: a window
// is shown and painted only after the window system has answered.
template <class F>
void RunEventsUntil(F&& done) {
    const QDeadlineTimer deadline(2000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(5);
    }
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("關於"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(kProductName, this);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("版本 ") + kVersion, this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(buttons);
    setFixedSize(300, 160);
}

TSplashForm::TSplashForm() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("SplashForm"));
    resize(360, 200);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TSplashForm::ShowPainted() {
    show();
    raise();
    RunEventsUntil([this] { return Painted_; });
}

void TSplashForm::Finish(const QWidget& main) {
    RunEventsUntil([&main] { return main.windowHandle() && main.windowHandle()->isExposed(); });
    close();
}

void TSplashForm::paintEvent(QPaintEvent*) {
    Painted_ = true;
    // The picture: a calendar page over a rising balance line.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0, 64, 128));
    sky.setColorAt(1, QColor(0, 128, 160));
    p.fillRect(rect(), sky);
    p.setPen(QPen(QColor(255, 255, 0), 4));
    const QPointF line[] = {{20, 170}, {90, 140}, {150, 150}, {220, 100}, {280, 110}, {340, 50}};
    p.drawPolyline(line, 6);
    p.setPen(Qt::white);
    QFont title = font();
    title.setPixelSize(36);
    title.setBold(true);
    title.setItalic(true);
    p.setFont(title);
    p.drawText(QRect(0, 30, width(), 50), Qt::AlignCenter, kProductName);
    QFont text = font();
    text.setPixelSize(16);
    p.setFont(text);
    p.drawText(QRect(0, 150, width() - 16, 40), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("載入中..."));
}

}  // namespace tamber::ui
