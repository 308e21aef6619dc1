#include "Prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>

#include "Exports.h"
#include "Updated.h"

namespace tamber::ui {
namespace {

// The extension of a filter entry "名稱 (*.ext)", without the dot.
QString FilterExtension(const QString& entry) {
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(entry);
    return match.hasMatch() ? match.captured(1) : QString();
}

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

    QString SaveExportFileName(QWidget* parent, const QString& filter) override {
        QFileDialog dialog(parent, QString(), QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(FilterExtension(filter.section(QStringLiteral(";;"), 0, 0)));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& entry) { dialog.setDefaultSuffix(FilterExtension(entry)); });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().first();
    }

    std::optional<TDateSpan> AskExportSpan(QWidget* parent, const TDateSpan& proposed, QDate earliest,
                                           QDate latest) override {
        TExportSpanDialog dialog(proposed, earliest, latest, parent);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Span();
    }

    void PreviewPrint(QWidget* parent, const std::function<void(QPagedPaintDevice&)>& paint) override {
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewDialog preview(&printer, parent);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&paint](QPrinter* shown) { paint(*shown); });
        preview.exec();
    }
};

}  // namespace

QString TPrompts::SaveExportFileName(QWidget*, const QString&) {
    return {};
}

std::optional<TDateSpan> TPrompts::AskExportSpan(QWidget*, const TDateSpan&, QDate, QDate) {
    return std::nullopt;
}

void TPrompts::PreviewPrint(QWidget*, const std::function<void(QPagedPaintDevice&)>&) {}

TPrompts& SystemPrompts() {
    static TSystemPrompts prompts;
    return prompts;
}

}  // namespace tamber::ui
