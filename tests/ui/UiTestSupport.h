// What the window tests share: a scripted stand-in for every dialog, controls found and driven by name, table rows,
// and the test classes that UiTestMain.cpp runs in one program.
#pragma once

#include <QtTest>
#include <QtWidgets>

#include "TestSupport.h"
#include "ui/ChartUnit.h"
#include "ui/DrawCalendar.h"
#include "ui/Input.h"
#include "ui/Main.h"
#include "ui/Prompts.h"
#include "ui/QtDates.h"
#include "ui/RFEdit.h"

namespace tamber::test {

// Answers every question from a script and remembers what was asked.
class TScriptedPrompts : public ui::TPrompts {
public:
    QStringList OpenNames, SaveNames;              // answers of the file dialogs; none left = cancelled
    QStringList Errors;                            // every error box, in order
    int SavesFromThePrompt = 0;                    // how often "存檔" is pressed in the unsaved-changes prompt before "離開"
    QList<ui::TOverwriteAnswer> OverwriteAnswers;  // a file changed on disk; empty = cancelled
    QList<bool> OpenInUseAnswers;                  // a file another copy has open; empty = not opened
    int OverwritesAsked = 0, InUseAsked = 0, SaveChangesAsked = 0;

    QString OpenPlanFileName(QWidget*) override { return Next(OpenNames); }
    QString SavePlanFileName(QWidget*) override { return Next(SaveNames); }
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
        for (int i = 0; i < SavesFromThePrompt && !save(); ++i) continue;
    }

private:
    template <class T>
    static T Next(QList<T>& answers, T none = T()) { return answers.isEmpty() ? none : answers.takeFirst(); }
};

template <class T = QWidget>
T* Get(const QWidget* window, const QString& name) {
    T* widget = window->findChild<T*>(name);
    if (widget == nullptr) qFatal("no control %s", qPrintable(name));
    return widget;
}
inline QString Text(const QWidget* window, const QString& name) {
    const QWidget* w = Get(window, name);
    return w->property(w->property("currentText").isValid() ? "currentText" : "text").toString();
}
inline void Click(const QWidget* window, const QString& name) {
    Get<QAbstractButton>(window, name)->click();
}
// Runs a menu command; commands a menu has replaced (the recent files) are gone first.
inline void Trigger(const QWidget* window, const QString& name) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Get<QAction>(window, name)->trigger();
}
inline void Type(const QWidget* window, const QString& name, const QString& text) {
    auto* edit = Get<QLineEdit>(window, name);
    edit->clear();
    QTest::keyClicks(edit, text);
}
// Qt Test rows from a literal table, each named after what it pins, and the row being run.
template <class T, std::size_t N>
void Rows(const T (&cases)[N]) {
    QTest::addColumn<int>("i");
    for (std::size_t i = 0; i < N; ++i) QTest::newRow(cases[i].Name) << int(i);
}
template <class T, std::size_t N>
const T& Row(const T (&cases)[N]) {
    QFETCH(int, i);
    return cases[i];
}
inline QString ShortDate(TDate date) {
    return QLocale().toString(ui::ToQDate(date), QLocale::ShortFormat);
}

// The test classes of the window tests, each made and run once by the test program.
inline std::vector<std::function<std::unique_ptr<QObject>()>>& UiTests() {
    static std::vector<std::function<std::unique_ptr<QObject>()>> tests;
    return tests;
}
template <class T>
bool RegisterUiTest() {
    UiTests().push_back([] { return std::make_unique<T>(); });
    return true;
}

}  // namespace tamber::test
