// Where a window opens on the screen.
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tamber::ui {

// Centres Window on the available part of the screen Owner is on (the primary
// screen without an owner), not on the owner itself.
inline void CentreOnScreen(QWidget& window, const QWidget* owner) {
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) window.move(screen->availableGeometry().center() - window.rect().center());
}

}  // namespace tamber::ui
