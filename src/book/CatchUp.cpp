#include "CatchUp.h"

#include <limits>

#include "Big5.h"
#include "BookErrors.h"
#include "PlanFields.h"

namespace tamber {

TPendingList BuildPendingList(const TPlanBook& book, TDate balanceDate, TDate today) {
    TPendingList pending;
    for (int i = 0; i < book.Count(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        ForPlan(i, [&] {
            const TDate d = plan.NextOccurrence(balanceDate);
            if (d == 0 || d >= today) return;
            const std::string description = Big5ToUtf8(DescriptionBytes(plan.Rec()));
            // Walking by period number lists both occurrences of a day onto
            // which two listed month days are shortened. The walk ends at the
            // last period falling before today, as the ledger counts them: a
            // once-only record from a damaged file may claim any number of
            // periods, all on its one day, and would otherwise list them all.
            const int32_t last = plan.LastPeriodNumber(plan.PrevOccurrence(today));
            for (int32_t k = plan.PeriodNumber(d); k <= last; ++k) {
                const TDate e = plan.DateOfPeriod(k);
                if (e >= today) break;
                pending.push_back({i, k, e, std::to_string(plan.PeriodAmount(k)), description});
            }
        });
    }
    return pending;
}

int PendingPageCount(std::size_t pendingCount) noexcept {
    return static_cast<int>((pendingCount + kPendingRowsPerPage - 1) / kPendingRowsPerPage);
}

std::optional<int32_t> ParseAmountText(std::string_view text) {
    return ParseInteger(text);  // the same rule as every amount the editor reads
}

namespace {

EInvalid ItemError(std::size_t index) {
    return EInvalid("第 " + std::to_string(index + 1) + " 項金額輸入錯誤");
}

}  // namespace

int64_t SumAmountTexts(const TPendingList& pending) {
    int64_t sum = 0;
    for (std::size_t j = 0; j < pending.size(); ++j) {
        const auto amount = ParseAmountText(pending[j].AmountText);
        if (!amount) throw ItemError(j);
        sum += *amount;  // 64 bits would need over 2^32 items to overflow
    }
    return sum;
}

int32_t CaughtUpBalance(int32_t loadedBalance, const TPendingList& pending) {
    const int64_t balance = int64_t{loadedBalance} + SumAmountTexts(pending);
    if (FitsAmount(balance)) return static_cast<int32_t>(balance);
    // A balance outside 32 bits would wrap into a wrong amount. Only the end
    // result counts (an income and an expense may pass the limit in between);
    // walking back from it finds the item that took the balance out for good.
    int64_t running = balance;
    std::size_t j = pending.size();
    while (j > 0) {
        const int64_t before = running - *ParseAmountText(pending[j - 1].AmountText);
        if (FitsAmount(before)) break;
        running = before;
        --j;
    }
    // The loaded balance fits, so the walk stops at an item: j >= 1.
    throw ItemError(j - 1);
}

}  // namespace tamber
