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
#include <initializer_list>

#include "book/PlanBook.h"
#include "book/PlanFields.h"
#include "book/PlanPreview.h"

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
    void Button1Click();       // Add
    void Button5Click();       // Modify
    void Button2Click();       // Delete
    void Button6Click();       // Remove outdated
    void Button3Click();       // Clear
    void Button4Click();       // back to the main window
    void SpeedButton1Click();  // calculator

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
    // A deposit's or loan's page: its methods' radio buttons in a column, the
    // first one checked, then the amount and the annual rate; each control is
    // made into the member its entry names.
    struct TMethodRadio {
        QRadioButton*& Radio;
        QString Name;
        int Method;
    };
    struct TNamedEdit {
        TRFilterEdit*& Edit;
        QString Name;
    };
    QWidget* BuildRatePage(int kind, const QString& name, std::initializer_list<TMethodRadio> methods, TNamedEdit amount,
                           TNamedEdit rate);
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

    // The controls, under the object names the tests find them by.
    // Fields every plan has:
    QComboBox* ComboBox2_ = nullptr;         // the plan kind, in kind order
    QToolButton* SpeedButton1_ = nullptr;    // starts the desktop calculator
    TRFilterEdit* RFilterEdit12_ = nullptr;  // the description (敘述／用途)
    QDateEdit* DateEdit1_ = nullptr;         // the start date
    QComboBox* ComboBox1_ = nullptr;         // the period kind
    QFrame* Panel2_ = nullptr;               // holds RFilterEdit2_, shown for "every N days"
    QFrame* Panel3_ = nullptr;               // holds RFilterEdit3_..5_, shown for twice or thrice a month
    TRFilterEdit* RFilterEdit2_ = nullptr;   // the interval in days
    TRFilterEdit* RFilterEdit3_ = nullptr;   // the first day of the month
    TRFilterEdit* RFilterEdit4_ = nullptr;   // the second day of the month
    TRFilterEdit* RFilterEdit5_ = nullptr;   // the third day of the month (thrice a month)
    QLabel* Label2_ = nullptr;               // the caption of the number of periods
    TRFilterEdit* RFilterEdit1_ = nullptr;   // the number of periods
    QLabel* Label16_ = nullptr;              // "(含首尾)" beside the number of periods
    QStackedWidget* Notebook1_ = nullptr;    // the kind's own page, one per kind in kind order
    // Fixed income or expense:
    QRadioButton* RadioButton2_ = nullptr;  // income (收入)
    QRadioButton* RadioButton3_ = nullptr;  // expense (支出)
    TRFilterEdit* RFilterEdit6_ = nullptr;  // the amount
    // Savings club:
    QRadioButton* RadioButton5_ = nullptr;   // inner bidding (內標)
    QRadioButton* RadioButton6_ = nullptr;   // outer bidding (外標)
    TRFilterEdit* RFilterEdit7_ = nullptr;   // the amount of one share
    TRFilterEdit* RFilterEdit8_ = nullptr;   // the base bid (底標)
    TRFilterEdit* RFilterEdit9_ = nullptr;   // the estimated (actual) winning bid
    TRFilterEdit* RFilterEdit10_ = nullptr;  // the estimated (actual) period won
    QLabel* Label17_ = nullptr;              // the caption of RFilterEdit11_
    TRFilterEdit* RFilterEdit11_ = nullptr;  // the total above the base bid, for outer bidding
    // Simple deposit:
    QRadioButton* RadioButton1_ = nullptr;   // interest every month
    QRadioButton* RadioButton4_ = nullptr;   // interest at the end
    TRFilterEdit* RFilterEdit14_ = nullptr;  // the amount
    TRFilterEdit* RFilterEdit13_ = nullptr;  // the annual rate
    // Compound deposit:
    QRadioButton* RadioButton7_ = nullptr;   // a lump sum in and out
    QRadioButton* RadioButton8_ = nullptr;   // instalments in
    QRadioButton* RadioButton9_ = nullptr;   // interest every month
    TRFilterEdit* RFilterEdit16_ = nullptr;  // the amount
    TRFilterEdit* RFilterEdit15_ = nullptr;  // the annual rate
    // Loan:
    QRadioButton* RadioButton10_ = nullptr;  // equal instalments
    QRadioButton* RadioButton11_ = nullptr;  // equal principal
    TRFilterEdit* RFilterEdit18_ = nullptr;  // the amount borrowed
    TRFilterEdit* RFilterEdit17_ = nullptr;  // the annual rate
    // The plans and the preview on the right, the hints at the bottom:
    QTableWidget* StringGrid1_ = nullptr;  // every plan of the book
    QTableWidget* PreviewGrid_ = nullptr;  // the schedule of the plan in the fields
    QLabel* PreviewNotes_ = nullptr;       // the lines under the preview
    QTimer* PreviewTimer_ = nullptr;       // redraws the preview once the typing pauses
    // The status bar that holds the two hint lines.
    TFriendlyStatusBar* FriendlyStatusBar1_ = nullptr;
    QLabel* Label8_ = nullptr;   // the first hint line
    QLabel* Label18_ = nullptr;  // the second hint line
};

}  // namespace tamber::ui
