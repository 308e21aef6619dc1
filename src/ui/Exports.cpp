#include "ui/Exports.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

#include <sstream>

#include "book/PlanFile.h"
#include "export/ICalendar.h"
#include "ui/Accessible.h"
#include "ui/DrawCalendar.h"
#include "ui/Main.h"
#include "ui/MonthPrint.h"
#include "ui/QtDates.h"

namespace tamber::ui {
namespace {

TMonthPrintout ShownMonth(TForm1& mainWindow) {
    const std::string& file = mainWindow.State().PlanFileName;
    return {.SelectedDate = mainWindow.Calendar().SelectedDate(),
            .Today = FromQDate(mainWindow.Today()),
            .ShowBalance = mainWindow.Calendar().ShowBalance(),
            .FileName = file.empty() ? QStringLiteral("空白") : FileNamePart(QString::fromStdString(file)),
            .PrintDate = mainWindow.Today()};
}

// Runs Work, showing the message of an error it meets.
template <class F>
void Reporting(TForm1& mainWindow, TPrompts& prompts, F&& work) {
    try {
        work();
    } catch (const ETamberError& e) {
        prompts.ShowError(&mainWindow, BookErrorText(mainWindow.Book(), e));
    }
}

}  // namespace

void PrintCommand(TForm1& mainWindow, TPrompts& prompts) {
    const TMonthPrintout what = ShownMonth(mainWindow);
    prompts.PreviewPrint(&mainWindow, [&](QPagedPaintDevice& printer) {
        Reporting(mainWindow, prompts, [&] {
            if (PrintMonth(printer, mainWindow.Book(), mainWindow.State(), what) == 0) {
                prompts.ShowError(&mainWindow, QStringLiteral("無法列印"));
            }
        });
    });
}

void ExportPdfCommand(TForm1& mainWindow, TPrompts& prompts) {
    const QString name = prompts.SaveExportFileName(&mainWindow, kPdfFilter);
    if (name.isEmpty()) return;
    Reporting(mainWindow, prompts, [&] {
        const QByteArray pdf = MonthPdf(mainWindow.Book(), mainWindow.State(), ShownMonth(mainWindow));
        WriteWholeFile(name.toStdString(), std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    });
}

void ExportCalendarCommand(TForm1& mainWindow, TPrompts& prompts) {
    const QDate today = mainWindow.Today();
    // As far ahead as the calendar reaches.
    const QDate latest(today.year() + 35, 12, 31);
    const auto span = prompts.AskExportSpan(&mainWindow, {today, today.addMonths(12).addDays(-1)}, today, latest);
    if (!span) return;
    const QString name = prompts.SaveExportFileName(&mainWindow, kCalendarFilter);
    if (name.isEmpty()) return;
    Reporting(mainWindow, prompts, [&] {
        std::ostringstream text;
        WriteICalendar(text, mainWindow.Book(), mainWindow.State().OpeningBalance, FromQDate(today), FromQDate(span->first),
                       FromQDate(span->second));
        WriteWholeFile(name.toStdString(), text.str());
    });
}

TExportSpanDialog::TExportSpanDialog(const TDateSpan& proposed, QDate earliest, QDate latest, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("匯出行事曆"));
    const auto picker = [&](const QString& name, QDate date) {
        auto* edit = new QDateEdit(this);
        edit->setObjectName(name);
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        edit->setDateRange(earliest, latest);
        edit->setDate(date);
        return edit;
    };
    From_ = picker(QStringLiteral("FromDate"), proposed.first);
    To_ = picker(QStringLiteral("ToDate"), proposed.second);
    To_->setMinimumDate(From_->date());
    connect(From_, &QDateEdit::dateChanged, To_, &QDateEdit::setMinimumDate);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("確定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    for (QDateEdit* edit : {From_, To_}) {
        auto* label = new QLabel(edit == From_ ? QStringLiteral("從") : QStringLiteral("到"), this);
        NameAfterLabel(edit, label);
        form->addRow(label, edit);
    }
    form->addRow(buttons);
}

TDateSpan TExportSpanDialog::Span() const {
    return {From_->date(), To_->date()};
}

}  // namespace tamber::ui
