// TForm1: the main window. The month calendar with the daily amounts, the
// bars that pick the month, the month's totals, the plans due on the chosen
// day with the details and remaining periods of one of them, and the menus
// that reach the plan file, the recent files, the editor, the balance
// adjustment, the chart and the About window.
#pragma once

#include <QDate>
#include <QLocale>
#include <QMainWindow>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "book/Ledger.h"
#include "book/LookAhead.h"
#include "book/MonthBars.h"
#include "book/PlanBook.h"
#include "book/PlanFile.h"
#include "book/Settings.h"

class QAction;
class QLabel;
class QLockFile;
class QMenu;
class QPushButton;
class QScrollBar;
class QStackedWidget;
class QTabWidget;
class QTableWidget;

namespace tamber::ui {

class TDrawCalendar;
class TPrompts;

// The detail area's pages: one per plan kind in kind order, then a blank one.
inline constexpr int kBlankDetailPage = kPlanKindCount;

// Everything the details tab shows for one plan.
struct TPlanDetailTexts {
    int Page = kBlankDetailPage;  // page of the detail area: the plan kind, or the blank page
    QString Kind;                 // kind name
    QString Description;
    QString StartDate;  // short date
    QString PeriodCount;
    QString Direction;  // fixed flows: "收入" or "支出"
    QString BidKind;    // savings club: "內標" or "外標"
    QString Amount;
    QString BaseBid;  // savings club
    QString Rate;     // deposits and loans: "%.2f"
    QString Method;   // deposits and loans: the method the amounts are computed with
};
TPlanDetailTexts PlanDetailTexts(const TCustomPlan& plan, const QLocale& locale);

// One row of the remaining-periods list: the period, its date and amount
// (an amount that cannot be computed reads "?").
struct TRemainingRow {
    QString Period, Date, Amount;
};
// The periods after Period up to the plan's last.
std::vector<TRemainingRow> RemainingPeriodRows(const TCustomPlan& plan, int32_t period, const QLocale& locale);

// The two parts of the top band's look-ahead line: the lowest balance to come
// (or the day the balance leaves 32 bits) and the first day below zero (or
// that there is none), each with the day a click shows (0 for none); an
// empty text hides its part.
struct TLookAheadTexts {
    QString Lowest;
    bool LowestRed = false;
    TDate LowestDay = 0;
    QString Overdraft;
    bool OverdraftRed = false;
    TDate OverdraftDay = 0;
};
TLookAheadTexts LookAheadTexts(const TLookAhead& ahead, const QLocale& locale);

// What the window says when the balance leaves 32 bits on Day: "結存超出範圍:
// <short date> 起".
QString OutOfRangeText(TDate day, const QLocale& locale);

// The file-name part of a path, as the window caption shows it.
QString FileNamePart(const QString& path);

// The lock file that tells other copies of the program that the plan file
// Path is open: a hidden file beside it.
QString PlanFileLockName(const QString& path);

// A plan's description as Unicode text.
QString DescriptionText(const TCustomPlan& plan);

// The message of an error met computing Book's figures or writing them out;
// an EPlanError names the plan by its number and description.
QString BookErrorText(const TPlanBook& book, const ETamberError& error);

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    struct TOptions {
        std::filesystem::path SettingsFile;  // where the recent files are kept
        TPrompts* Prompts = nullptr;         // dialogs; the real ones when null
        std::function<QDate()> Today;        // the system date when empty
    };

    explicit TForm1(TOptions options, QWidget* parent = nullptr);
    ~TForm1() override;

    // The plan book and the file and ledger state other windows read and write.
    TPlanBook& Book() noexcept { return Book_; }
    TPlanBookState& State() noexcept { return State_; }
    TDrawCalendar& Calendar() noexcept { return *Calendar_; }
    const TRecentFiles& RecentFiles() const noexcept { return Recent_; }
    const TMonthBars& Bars() const noexcept { return Bars_; }
    QDate Today() const;

    // File commands. Each reports its own errors in a message box.
    void LoadCommand();  // "載入"
    // "存檔"; false when nothing was written. A file someone else changed
    // since it was loaded or saved is overwritten only when the user says so.
    bool SaveCommand();
    bool SaveAsCommand();  // "另存新檔"
    void ClearCommand();   // "清除載入的計劃"
    // Loads Name as the load command does once its dialog is answered (also
    // the recent files and a file named on the command line): the file then
    // heads the recent files and the selected day's plans are shown. False
    // when the load failed (its error shown).
    bool OpenPlanFile(const QString& name);
    // Loads a file into the book and the calendar; false when it failed or
    // when the user chose not to open a file another copy has open.
    bool LoadPlanFile(const QString& name);
    void ClearPlanBook();
    void AddToRecentFiles(const QString& path);

    // After the plans or the balance changed: the month computed again, the
    // calendar repainted, the selected day's plans and the look-ahead line
    // shown again.
    void RefreshFigures();

    // The calendar's month from the ledger; an amount that cannot be computed
    // is reported once (not again while the same error recurs), a balance
    // leaving 32 bits once per day it does so.
    void ComputeMonth(int year, int month);
    // What activation does: labels, the shown month, the day's plans.
    void FormActivate();
    // The plans due on a day, and the details of the one selected in the day
    // grid; the same day shown again keeps the selected row.
    void ShowDayPlans(TDate date);
    void ShowPlanDetail();
    void SelectDetailPage(int page);
    // The calendar follows the bars (the end of a scroll gesture).
    void ApplyScrolledMonth();
    // The look-ahead line from the plan book and the opening balance; hidden
    // while a plan cannot be computed (the month reports it).
    void ShowLookAhead();
    // The bars and the calendar move to Day's month and the calendar selects Day.
    void ShowDay(TDate day);

    // Asks the catch-up question of a load (TForm5 in the program) and
    // returns the user's answer; without it a load that has occurrences to
    // confirm is declined.
    TCatchUpHook CatchUp;

signals:
    // The commands whose windows are not the main window's own (see
    // Wiring.h): each shows its window and returns when it is closed, after
    // which the main window shows the figures again where they may have
    // changed. A command whose signal nothing receives is shown disabled.
    void EditPlansRequested();      // "計劃": the plan editor
    void AdjustBalanceRequested();  // "初始平衡": the balance adjustment
    void ChartRequested();          // "圖表": the trend chart
    void AboutRequested();          // "關於...": the About window

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    void BuildTopBand(QWidget* band);
    void BuildBody(QWidget* body);
    QWidget* BuildDetailsTab();
    void RebuildRecentMenu();
    void UpdateCaption(const QString& caption);
    void SyncBars();
    void SliderChanged(int value);
    void YearBarChanged(int value);
    void MonthBarChanged(int value);
    void CalendarChanged();
    // Asks to save unsaved changes before they would be lost; true to go on.
    void OfferToSaveChanges();
    bool HasChangesToSave() const;
    void ReportError(const QString& message);
    TDate TodayDate() const;
    // True when Name may be loaded: no other copy has it open, or the user
    // opens it all the same.
    bool MayOpen(const QString& name);
    // Holds the lock of the plan file the window has now (when no other copy
    // holds it) and releases any other.
    void FollowFileLock();

    TOptions Options_;
    TPrompts* Prompts_;
    TPlanBook Book_;
    TPlanBookState State_;
    TMonthBars Bars_;
    TRecentFiles Recent_;
    QString ReportedComputeError_;
    TDate ReportedOutOfRange_ = 0;  // the day of the last "結存超出範圍" message
    bool SyncingBars_ = false;
    bool Closing_ = false;
    std::unique_ptr<QLockFile> Lock_;  // of the plan file, while this window has it open

    TDrawCalendar* Calendar_ = nullptr;
    QMenu* FileMenu_ = nullptr;
    QAction* RecentSeparator_ = nullptr;
    std::vector<QAction*> RecentActions_;
    QAction* WholeMonthBalance_ = nullptr;
    QLabel* YearLabel_ = nullptr;
    QLabel* MonthLabel_ = nullptr;
    QScrollBar* MonthSlider_ = nullptr;
    QScrollBar* YearBar_ = nullptr;
    QScrollBar* MonthBar_ = nullptr;
    QLabel* MonthIncome_ = nullptr;
    QLabel* MonthExpense_ = nullptr;
    QPushButton* LowestButton_ = nullptr;  // the look-ahead line's two parts
    QPushButton* OverdraftButton_ = nullptr;
    TDate DayShown_ = 0;  // the day whose plans the day grid lists
    TDate LowestDay_ = 0;
    TDate OverdraftDay_ = 0;
    QTableWidget* DayGrid_ = nullptr;
    QTableWidget* RemainingGrid_ = nullptr;
    QTabWidget* PageControl_ = nullptr;
    QStackedWidget* Notebook_ = nullptr;
    std::vector<QWidget*> HeadingWidgets_;  // shown only for a plan's page
    QLabel* KindLabel_ = nullptr;
    QLabel* DescriptionLabel_ = nullptr;
    QLabel* StartDateLabel_ = nullptr;
    QLabel* PeriodCountLabel_ = nullptr;
    QLabel* DirectionLabel_ = nullptr;
    QLabel* FixAmountLabel_ = nullptr;
    QLabel* BidKindLabel_ = nullptr;
    QLabel* CollectAmountLabel_ = nullptr;
    QLabel* BaseBidLabel_ = nullptr;
    struct TRatePage {
        QLabel* Amount = nullptr;
        QLabel* Rate = nullptr;
        QLabel* Method = nullptr;
    };
    TRatePage RatePages_[3];  // simple deposit, compound deposit, loan
};

}  // namespace tamber::ui
