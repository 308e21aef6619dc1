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

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tamber::ui
