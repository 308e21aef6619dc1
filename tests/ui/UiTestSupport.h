// What the window tests share: a scripted stand-in for every dialog, and
// plan records written the short way.
#pragma once

#include <QStringList>

#include <deque>
#include <functional>

#include "model/Big5.h"
#include "model/Dates.h"
#include "model/PlanRecord.h"
#include "ui/Prompts.h"

namespace tamber::test {

// Answers every question from a script and remembers what was asked.
class TScriptedPrompts : public ui::TPrompts {
public:
    std::deque<QString> OpenNames, SaveNames;  // answers of the file dialogs; empty = cancelled
    QStringList Errors;                         // every error box, in order
    int SaveNamesAsked = 0;
    int SaveChangesAsked = 0;
    int SavesFromThePrompt = 0;  // how often "存檔" is pressed in the unsaved-changes prompt before "離開"
    std::deque<ui::TOverwriteAnswer> OverwriteAnswers;  // a file changed on disk; empty = cancelled
    std::deque<bool> OpenInUseAnswers;                  // a file another copy has open; empty = not opened
    int OverwritesAsked = 0, InUseAsked = 0;

    QString OpenPlanFileName(QWidget*) override { return Next(OpenNames); }
    QString SavePlanFileName(QWidget*) override {
        ++SaveNamesAsked;
        return Next(SaveNames);
    }
    void ShowError(QWidget*, const QString& message) override { Errors << message; }
    ui::TOverwriteAnswer AskOverwriteChangedFile(QWidget*, const QString&) override {
        ++OverwritesAsked;
        return Next(OverwriteAnswers, ui::TOverwriteAnswer::Cancel);
    }
    bool AskOpenFileInUse(QWidget*, const QString&) override {
        ++InUseAsked;
        return Next(OpenInUseAnswers, false);
    }
    void AskToSaveChanges(QWidget*, const std::function<bool()>& save) override {
        ++SaveChangesAsked;
        for (int i = 0; i < SavesFromThePrompt; ++i) {
            if (save()) return;
        }
    }

private:
    template <class T>
    static T Next(std::deque<T>& answers, T none = T()) {
        if (answers.empty()) return none;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

inline TDate Day(int y, int m, int d) { return EncodeDate(y, m, d); }

// A fixed flow of Amount (negative for an expense) on PeriodCount
// occurrences: every day for period kind 0, otherwise by the kind's rule.
inline TPlanRecord Flow(int periodKind, TDate start, int periodCount, int32_t amount, const char* description = "") {
    TPlanRecord rec = ZeroPlanRecord();
    rec.PeriodKind = static_cast<uint8_t>(periodKind);
    rec.StartDate = start;
    rec.PeriodCount = periodCount;
    rec.IntervalDays = 1;
    rec.Amount = amount < 0 ? -amount : amount;
    rec.Direction = amount < 0 ? -1 : 1;
    SetDescriptionBytes(rec, Utf8ToBig5(description).Bytes);
    return rec;
}

}  // namespace tamber::test
