// The one seam through which windows ask the user something or tell an
// error: file dialogs, error boxes and the unsaved-changes prompt. The
// program uses the real dialogs; tests put a scripted TPrompts in place.
#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class QPagedPaintDevice;
class QWidget;

namespace tamber::ui {

// Filter and default extension of the plan file dialogs.
inline const QString kPlanFileFilter = QStringLiteral("計劃檔 (*.tbr);;所有檔案 (*.*)");
inline const QString kPlanFileExtension = QStringLiteral("tbr");

// A span of days, both ends included.
using TDateSpan = std::pair<QDate, QDate>;

// What to do with a plan file that someone else changed since it was loaded or saved.
enum class TOverwriteAnswer { Overwrite, SaveAs, Cancel };

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

    // The plan file Path was changed by someone else (another copy of the
    // program, a sync tool) since it was loaded or saved: overwrite it, save
    // under another name, or cancel. Unless overridden, cancelled.
    virtual TOverwriteAnswer AskOverwriteChangedFile(QWidget* parent, const QString& path);
    // Another copy of the program has the plan file Path open: true to open
    // it all the same. Unless overridden, not opened.
    virtual bool AskOpenFileInUse(QWidget* parent, const QString& path);

    // The export commands' questions. Unless overridden they are answered as
    // by a user who cancels.
    // A file to export to, from a save dialog listing Filter ("名稱 (*.ext)"
    // entries separated by ";;"); the chosen entry's extension is added to a
    // name without one. Empty when cancelled.
    virtual QString SaveExportFileName(QWidget* parent, const QString& filter);
    // The days to export, Proposed first shown, each end within Earliest..Latest
    // and the first never after the last; nothing when cancelled.
    virtual std::optional<TDateSpan> AskExportSpan(QWidget* parent, const TDateSpan& proposed, QDate earliest, QDate latest);
    // The print preview of what Paint draws on a printer, from which the user prints.
    virtual void PreviewPrint(QWidget* parent, const std::function<void(QPagedPaintDevice&)>& paint);
};

// The real dialogs.
TPrompts& SystemPrompts();

}  // namespace tamber::ui
