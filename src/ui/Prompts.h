// The one seam through which windows ask the user something or tell an
// error: file dialogs, error boxes and the unsaved-changes prompt. The
// program uses the real dialogs; tests put a scripted TPrompts in place.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tamber::ui {

// Filter and default extension of the plan file dialogs.
inline const QString kPlanFileFilter = QStringLiteral("計劃檔 (*.tbr);;所有檔案 (*.*)");
inline const QString kPlanFileExtension = QStringLiteral("tbr");

class TPrompts {
public:
    virtual ~TPrompts() = default;
    // A plan file to open or to save to; empty when the user cancelled.
    virtual QString OpenPlanFileName(QWidget* parent) = 0;
    virtual QString SavePlanFileName(QWidget* parent) = 0;
    // A modal error box with the message.
    virtual void ShowError(QWidget* parent, const QString& message) = 0;
    // The unsaved-changes prompt: "存檔" calls Save, which returns false when
    // the save failed (the prompt then stays open); "離開" leaves.
    virtual void AskToSaveChanges(QWidget* parent, const std::function<bool()>& save) = 0;
};

// The real dialogs.
TPrompts& SystemPrompts();

}  // namespace tamber::ui
