#include "Prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
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

    TOverwriteAnswer AskOverwriteChangedFile(QWidget* parent, const QString& path) override {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("警訊"),
                        QStringLiteral("計劃檔在載入或存檔後已被其他程式修改:\n%1\n\n"
                                       "覆蓋會使對方的修改遺失, 是否要覆蓋 ?")
                            .arg(path),
                        QMessageBox::NoButton, parent);
        QPushButton* overwrite = box.addButton(QStringLiteral("覆蓋"), QMessageBox::DestructiveRole);
        QPushButton* saveAs = box.addButton(QStringLiteral("另存新檔"), QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
        box.exec();
        if (box.clickedButton() == overwrite) return TOverwriteAnswer::Overwrite;
        if (box.clickedButton() == saveAs) return TOverwriteAnswer::SaveAs;
        return TOverwriteAnswer::Cancel;
    }

    bool AskOpenFileInUse(QWidget* parent, const QString& path) override {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("警訊"),
                        QStringLiteral("計劃檔已在另一個 Tamber 98 中開啟:\n%1\n\n"
                                       "兩邊都存檔時, 後存的會蓋掉先存的, 是否仍要開啟 ?")
                            .arg(path),
                        QMessageBox::NoButton, parent);
        QPushButton* open = box.addButton(QStringLiteral("開啟"), QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
        box.exec();
        return box.clickedButton() == open;
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

TOverwriteAnswer TPrompts::AskOverwriteChangedFile(QWidget*, const QString&) {
    return TOverwriteAnswer::Cancel;
}

bool TPrompts::AskOpenFileInUse(QWidget*, const QString&) {
    return false;
}

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
