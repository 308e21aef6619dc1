#include "PlanBook.h"

#include <stdexcept>

#include "BookErrors.h"

namespace tamber {

const TCustomPlan& TPlanBook::Plan(int i) const {
    if (i < 0 || i >= Count()) throw std::out_of_range("plan index out of range");
    return *Plans_[static_cast<std::size_t>(i)];
}

void TPlanBook::CheckRoom(const std::unique_ptr<TCustomPlan>& plan) const {
    if (!plan) throw std::invalid_argument("null plan");
    if (Count() >= kMaxPlans) throw EPlanBookFull();
}

void TPlanBook::Append(std::unique_ptr<TCustomPlan> plan) {
    CheckRoom(plan);
    Plans_.push_back(std::move(plan));
}

void TPlanBook::Insert(int i, std::unique_ptr<TCustomPlan> plan) {
    if (i < 0 || i > Count()) throw std::out_of_range("plan index out of range");
    CheckRoom(plan);
    Plans_.insert(Plans_.begin() + i, std::move(plan));
}

void TPlanBook::Remove(int i) {
    if (i < 0 || i >= Count()) throw std::out_of_range("plan index out of range");
    Plans_.erase(Plans_.begin() + i);
}

void TPlanBookState::SetCurrentDate(TDate today) {
    const TYearMonthDay ymd = DecodeDate(today);
    CurrentYear = static_cast<uint16_t>(ymd.Year);
    CurrentMonth = static_cast<uint16_t>(ymd.Month);
    CurrentDay = static_cast<uint16_t>(ymd.Day);
}

void ClearPlanBook(TPlanBook& book, TPlanBookState& state) noexcept {
    book.Clear();
    state.OpeningBalance = 0;
    state.PlanFileName.clear();
    state.DayItems.clear();
    state.FileStamp.reset();
}

}  // namespace tamber
