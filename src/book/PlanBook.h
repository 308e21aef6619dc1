// The plan book: the one ordered, index-addressed list of plans, owning them,
// and the file and ledger state that the main window keeps beside it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "book/FileStamp.h"
#include "model/Dates.h"
#include "model/cplanunit.h"

namespace tamber {

class TPlanBook {
public:
    // The day list writes a plan index in four digits, so no book holds more.
    static constexpr int kMaxPlans = 9999;

    TPlanBook() = default;
    TPlanBook(TPlanBook&&) noexcept = default;
    TPlanBook& operator=(TPlanBook&&) noexcept = default;

    int Count() const noexcept { return static_cast<int>(Plans_.size()); }
    bool Empty() const noexcept { return Plans_.empty(); }

    // The plan at index I (0..Count - 1); std::out_of_range otherwise.
    const TCustomPlan& Plan(int i) const;

    // Adds Plan at the end. EPlanBookFull when kMaxPlans plans are held;
    // std::invalid_argument for a null plan. The book is unchanged on failure.
    void Append(std::unique_ptr<TCustomPlan> plan);

    // Inserts Plan before index I (0..Count; Count appends). Fails as Append,
    // and std::out_of_range for any other I.
    void Insert(int i, std::unique_ptr<TCustomPlan> plan);

    // Destroys the plan at I (0..Count - 1) and closes the gap; std::out_of_range otherwise.
    void Remove(int i);

    // Destroys every plan.
    void Clear() noexcept { Plans_.clear(); }

private:
    void CheckRoom(const std::unique_ptr<TCustomPlan>& plan) const;

    std::vector<std::unique_ptr<TCustomPlan>> Plans_;
};

// What the main window keeps about the loaded file and the shown month.
struct TPlanBookState {
    std::string PlanFileName;      // path of the current plan file; empty when none
    bool Modified = false;         // the book changed since the last load or save
    int32_t OpeningBalance = 0;    // balance at the start of today
    int32_t LoadedBalance = 0;     // the balance as read from the file header
    TDate BalanceDate = 0;         // the header's balance date as read
    bool CatchUpAccepted = false;  // the last catch-up was accepted
    int32_t MonthCarryIn = 0;      // occurrences from today to the day before the shown month
    uint16_t CurrentYear = 0;      // today's date as the window took it at creation
    uint16_t CurrentMonth = 0;
    uint16_t CurrentDay = 0;
    std::vector<std::string> DayItems;    // the selected day's occurrences, "%4d%8d" each
    std::optional<TFileStamp> FileStamp;  // the plan file as last loaded or saved

    // Sets CurrentYear, CurrentMonth and CurrentDay from a date (EInvalidDate as DecodeDate).
    void SetCurrentDate(TDate today);
};

// Empties the book and forgets the file: OpeningBalance 0, no file name, no
// day items, no stamp. Modified, BalanceDate and LoadedBalance keep their values.
void ClearPlanBook(TPlanBook& book, TPlanBookState& state) noexcept;

}  // namespace tamber
