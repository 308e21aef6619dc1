#include "Prompts.h"

#include <QFileDialog>
#include <QMessageBox>

#include "Updated.h"

namespace tamber::ui {
namespace {

class TSystemPrompts final : public TPrompts {
public:
    QString OpenPlanFileName(QWidget* parent) override {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), kPlanFileFilter);
    }

    QString SavePlanFileName(QWidget* parent) override {
        QFileDialog dialog(parent, QString(), QString(), kPlanFileFilter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(kPlanFileExtension);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().first();
    }

    void ShowError(QWidget* parent, const QString& message) override {
        QMessageBox::critical(parent, QStringLiteral("Tamber 98"), message);
    }

    void AskToSaveChanges(QWidget* parent, const std::function<bool()>& save) override {
        TForm6 prompt(save, parent);
        prompt.exec();
    }
};

}  // namespace

TPrompts& SystemPrompts() {
    static TSystemPrompts prompts;
    return prompts;
}

}  // namespace tamber::ui
