// The About window (product name, version, OK) and the splash window shown
// while the program starts ("載入中...").
#pragma once

#include <QDialog>
#include <QWidget>

namespace tamber::ui {

inline const QString kProductName = QStringLiteral("Tamber 98");
inline const QString kVersion = QStringLiteral(TAMBER98_VERSION);  // the project version

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

class TSplashForm : public QWidget {
    Q_OBJECT
public:
    TSplashForm();

    // Shows the window and returns once it is painted on the screen (or
    // after two seconds, when the window system never shows it).
    void ShowPainted();
    // Closes the window once Main is on the screen (two seconds at most).
    void Finish(const QWidget& main);
    bool Painted() const noexcept { return Painted_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool Painted_ = false;
};

}  // namespace tamber::ui
