#include "ui/Prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>

#include "ui/Exports.h"
#include "ui/Updated.h"

namespace tamber::ui {
namespace {

// The extension of a filter entry "名稱 (*.ext)", without the dot.
QString FilterExtension(const QString& entry) {
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(entry);
    return match.hasMatch() ? match.captured(1) : QString();
}

// A warning box "警訊" with Text and Buttons, the last of which cancels (so
// does Escape); the index of the button pressed.
int Warn(QWidget* parent, const QString& text, const QStringList& buttons) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("警訊"), text, QMessageBox::NoButton, parent);
    QList<QPushButton*> added;
    for (const QString& caption : buttons) {
        added << box.addButton(caption, added.size() + 1 < buttons.size() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    }
    box.setDefaultButton(added.last());
    box.exec();
    return static_cast<int>(added.indexOf(box.clickedButton()));
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
        const int pressed = Warn(parent,
                                 QStringLiteral("計劃檔在載入或存檔後已被其他程式修改:\n%1\n\n"
                                                "覆蓋會使對方的修改遺失, 是否要覆蓋 ?")
                                     .arg(path),
                                 {QStringLiteral("覆蓋"), QStringLiteral("另存新檔"), QStringLiteral("取消")});
        return pressed == 0 ? TOverwriteAnswer::Overwrite : pressed == 1 ? TOverwriteAnswer::SaveAs : TOverwriteAnswer::Cancel;
    }

    bool AskOpenFileInUse(QWidget* parent, const QString& path) override {
        return Warn(parent,
                    QStringLiteral("計劃檔已在另一個 Tamber 98 中開啟:\n%1\n\n"
                                   "兩邊都存檔時, 後存的會蓋掉先存的, 是否仍要開啟 ?")
                        .arg(path),
                    {QStringLiteral("開啟"), QStringLiteral("取消")}) == 0;
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

    std::optional<TDateSpan> AskExportSpan(QWidget* parent, const TDateSpan& proposed, QDate earliest, QDate latest) override {
        TExportSpanDialog dialog(proposed, earliest, latest, parent);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Span();
    }

    void PreviewPrint(QWidget* parent, const std::function<void(QPagedPaintDevice&)>& paint) override {
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewDialog preview(&printer, parent);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&paint](QPrinter* shown) { paint(*shown); });
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
