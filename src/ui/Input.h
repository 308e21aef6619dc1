// TForm2: the plan editor. The fields of one plan on the left, a grid of every plan of the plan book on the right,
// two hint lines at the bottom. Adds, changes and removes plans; reading and checking the fields and the commands'
// effect on the plan book live in PlanFields.h.
#pragma once

#include <QDate>
#include <QDialog>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>

#include "PlanBook.h"
#include "PlanFields.h"
#include "PlanPreview.h"

class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QRadioButton;
class QStackedWidget;
class QTableWidget;
class QTimer;
class QToolButton;

namespace tamber::ui {

class TFriendlyStatusBar;
class TPrompts;
class TRFilterEdit;

// The six grid texts of a plan: kind ("固定收入" or "固定支出" for a fixed flow), description, start day in the
// locale's short date format, period, amount and number of periods.
QStringList PlanGridTexts(const TCustomPlan& plan, const QLocale& locale);

// The preview pane's texts for a plan's schedule: four per row (period, date,
// amount, running total), and the lines under the grid (what a deposit or a
// loan brings in and costs in all; how many periods are not listed).
struct TPreviewTexts {
    std::vector<QStringList> Rows;
    QString Notes;
};
TPreviewTexts PreviewTexts(const TPlanPreview& preview, int kind, const QLocale& locale);

// The desktop calculator to start, or an empty text when none is installed.
QString FindCalculator();

class TForm2 : public QDialog {
    Q_OBJECT
public:
    struct TOptions {
        TPrompts* Prompts = nullptr;   // the real dialogs when null
        std::function<QDate()> Today;  // the main window's today; Remove outdated needs it
    };

    // Edits Book; sets State.Modified whenever a command changes it. Both must outlive the window.
    TForm2(TPlanBook& book, TPlanBookState& state, TOptions options, QWidget* parent = nullptr);
    ~TForm2() override;

    // The date picker's date before the window is shown; a date outside years 1..9999 is ignored.
    void SetStartDate(TDate date);

    // The plan book index the commands Modify and Delete act on; -1 when none.
    int SelectedPlan() const noexcept { return SelectedPlan_; }

    // What the controls hold, and putting field values into the controls.
    TPlanFields Fields() const;
    void SetFields(const TPlanFields& fields);

    // Each time the window is shown: maximised, blank fields, the plans listed, the opening hints.
    void FormActivate();
    // Kind chosen: its page, and "每月" for deposits and loans.
    void ComboBox2Change();
    // Period chosen: the period visibility rule.
    void ComboBox1Change();
    // The total above the base bid is shown while outer bidding is checked.
    void RadioButton6Click();
    // A click on a grid row selects its plan and shows it in the fields; blank rows do nothing.
    void StringGrid1Click();
    void Button1Click();      // Add
    void Button5Click();      // Modify
    void Button2Click();      // Delete
    void Button6Click();      // Remove outdated
    void Button3Click();      // Clear
    void Button4Click();      // back to the main window
    void SpeedButton1Click(); // calculator

    // Lists the plans: at least 4 data rows, blank ones below the plans.
    void RefreshPlanGrid();
    // Copies the selected plan into the fields; nothing when none is selected.
    void ShowPlanInFields();
    // The preview pane from the fields now (a change of a field asks for it a moment later).
    void UpdatePreview();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildFixAccountPage();
    QWidget* BuildCollectPage();
    QWidget* BuildSavingPage();
    QWidget* BuildCompoundPage();
    QWidget* BuildLoanPage();
    QWidget* BuildPreview();
    TRFilterEdit* MakeEdit(QWidget* parent, const QString& name, const QString& validChars);
    void ApplyPeriodVisibility();
    void SetHints(const QString& line1, const QString& line2);
    void SetHint1(const QString& line1);
    // Runs a command; an error it throws is shown and the command ends there.
    template <class F>
    void Run(F&& command);
    int KindIndex() const;
    int PeriodIndex() const;

    TPlanBook& Book_;
    TPlanBookState& State_;
    TOptions Options_;
    TPrompts* Prompts_;
    int SelectedPlan_ = -1;
    bool Refreshing_ = false;

    QComboBox* ComboBox2_ = nullptr;
    QToolButton* SpeedButton1_ = nullptr;
    TRFilterEdit* RFilterEdit12_ = nullptr;
    QDateEdit* DateEdit1_ = nullptr;
    QComboBox* ComboBox1_ = nullptr;
    QFrame* Panel2_ = nullptr;
    QFrame* Panel3_ = nullptr;
    TRFilterEdit* RFilterEdit2_ = nullptr;
    TRFilterEdit* RFilterEdit3_ = nullptr;
    TRFilterEdit* RFilterEdit4_ = nullptr;
    TRFilterEdit* RFilterEdit5_ = nullptr;
    QLabel* Label2_ = nullptr;
    TRFilterEdit* RFilterEdit1_ = nullptr;
    QLabel* Label16_ = nullptr;
    QStackedWidget* Notebook1_ = nullptr;
    QRadioButton* RadioButton2_ = nullptr;
    QRadioButton* RadioButton3_ = nullptr;
    TRFilterEdit* RFilterEdit6_ = nullptr;
    QRadioButton* RadioButton5_ = nullptr;
    QRadioButton* RadioButton6_ = nullptr;
    TRFilterEdit* RFilterEdit7_ = nullptr;
    TRFilterEdit* RFilterEdit8_ = nullptr;
    TRFilterEdit* RFilterEdit9_ = nullptr;
    TRFilterEdit* RFilterEdit10_ = nullptr;
    QLabel* Label17_ = nullptr;
    TRFilterEdit* RFilterEdit11_ = nullptr;
    QRadioButton* RadioButton1_ = nullptr;
    QRadioButton* RadioButton4_ = nullptr;
    TRFilterEdit* RFilterEdit14_ = nullptr;
    TRFilterEdit* RFilterEdit13_ = nullptr;
    QRadioButton* RadioButton7_ = nullptr;
    QRadioButton* RadioButton8_ = nullptr;
    QRadioButton* RadioButton9_ = nullptr;
    TRFilterEdit* RFilterEdit16_ = nullptr;
    TRFilterEdit* RFilterEdit15_ = nullptr;
    QRadioButton* RadioButton10_ = nullptr;
    QRadioButton* RadioButton11_ = nullptr;
    TRFilterEdit* RFilterEdit18_ = nullptr;
    TRFilterEdit* RFilterEdit17_ = nullptr;
    QTableWidget* StringGrid1_ = nullptr;
    QTableWidget* PreviewGrid_ = nullptr;
    QLabel* PreviewNotes_ = nullptr;
    QTimer* PreviewTimer_ = nullptr;
    TFriendlyStatusBar* FriendlyStatusBar1_ = nullptr;
    QLabel* Label8_ = nullptr;
    QLabel* Label18_ = nullptr;
};

}  // namespace tamber::ui
