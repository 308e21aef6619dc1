// TForm5: the catch-up dialog "初始金額調整". When a plan file is loaded some
// days after its balance date, it lists the occurrences that fell due in
// between, eight to a page, lets the user correct the amount actually
// received or paid for each, and on OK gives the loaded balance plus their sum.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <optional>

#include "book/CatchUp.h"
#include "book/PlanBook.h"
#include "model/Dates.h"

class QLabel;
class QPushButton;

namespace tamber::ui {

class TPrompts;
class TRFilterEdit;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    // Pending is the list to confirm; every change of an amount edit is
    // written back into its amount text, so the caller sees what was
    // confirmed. BalanceDate and LoadedBalance are shown in the right column;
    // Prompts tells the user about an amount that is not one. Shows page 1.
    TForm5(TPendingList& pending, TDate balanceDate, int32_t loadedBalance, TPrompts& prompts, QWidget* parent = nullptr);

    // The new opening balance once OK has been accepted; nothing otherwise.
    std::optional<int32_t> NewBalance() const { return NewBalance_; }

    int PageCount() const { return PageCount_; }
    int CurrentPage() const { return CurrentPage_; }  // 1-based; 0 when nothing is pending

    // Shows page Page (1..PageCount): its page label, the paging buttons that
    // lead somewhere, and its rows; the rows past the list are hidden.
    void ShowPendingPage(int page);

private:
    struct TRow {
        QLabel* Number = nullptr;
        QLabel* Plan = nullptr;
        QLabel* Date = nullptr;
        TRFilterEdit* Amount = nullptr;
        int Item = -1;  // index in the list of the occurrence the row shows; -1 while hidden
    };

    void FormActivate(TDate balanceDate, int32_t loadedBalance);
    void Button1Click();  // "上頁"
    void Button2Click();  // "下頁"
    void Button3Click();  // "確定"
    void Button4Click();  // "取消"
    void RFilterEdit1Change(int row);

    TPendingList& Pending_;
    const int32_t LoadedBalance_;
    TPrompts& Prompts_;
    int PageCount_ = 0;
    int CurrentPage_ = 0;
    std::optional<int32_t> NewBalance_;

    TRow Rows_[kPendingRowsPerPage];
    QLabel* PageLabel_ = nullptr;
    QLabel* BalanceDateLabel_ = nullptr;
    QLabel* LoadedBalanceLabel_ = nullptr;
    QPushButton* Button1_ = nullptr;
    QPushButton* Button2_ = nullptr;
};

// The catch-up of a load (a TCatchUpHook with its window parts): creates
// TForm5 over Parent with State's BalanceDate and LoadedBalance, shows it
// modally and destroys it. The new opening balance when the user accepted.
std::optional<int32_t> ShowCatchUp(TPendingList& pending, const TPlanBookState& state, TPrompts& prompts, QWidget* parent);

}  // namespace tamber::ui
