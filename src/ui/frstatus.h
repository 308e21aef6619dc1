// frstatus: the status bar at the bottom of the plan editor. It holds child controls; the editor places its two
// word-wrapped hint lines in it.
#pragma once

#include <QStatusBar>
#include <QString>

namespace tamber::ui {

class TFriendlyStatusBar : public QStatusBar {
    Q_OBJECT
    Q_PROPERTY(QString About READ About WRITE SetAbout)

public:
    explicit TFriendlyStatusBar(QWidget* parent = nullptr);

    // A note carried for whoever lays out the window; the bar neither shows nor uses it.
    QString About() const { return About_; }
    void SetAbout(const QString& about) { About_ = about; }

private:
    QString About_;
};

}  // namespace tamber::ui
