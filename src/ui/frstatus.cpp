#include "ui/frstatus.h"

namespace tamber::ui {

TFriendlyStatusBar::TFriendlyStatusBar(QWidget* parent) : QStatusBar(parent) {}

}  // namespace tamber::ui
