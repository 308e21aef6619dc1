// The catch-up list: the occurrences that fell due between the plan file's
// balance date and today, which the user confirms (or corrects) before their
// sum is added to the balance read from the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "book/PlanBook.h"
#include "model/Dates.h"

namespace tamber {

// One occurrence awaiting catch-up.
struct TPassRecord {
    int32_t PlanIndex = 0;    // index of the plan in the book
    int32_t Occurrence = 0;   // its period number
    TDate Date = 0;           // its date
    std::string AmountText;   // the amount as the user confirms it; starts as the scheduled amount in decimal
    std::string Description;  // the plan's description as UTF-8
};
using TPendingList = std::vector<TPassRecord>;

inline constexpr int kPendingRowsPerPage = 8;

// Every occurrence strictly after BalanceDate and strictly before Today, plan
// by plan in book order and by period within a plan. Throws EPlanError
// naming the plan whose date or amount cannot be computed.
TPendingList BuildPendingList(const TPlanBook& book, TDate balanceDate, TDate today);

// Pages of eight rows that PendingCount occurrences fill (0 for none).
int PendingPageCount(std::size_t pendingCount) noexcept;

// An amount text as a signed 32-bit integer: an optional sign and decimal
// digits, nothing else. Nothing when it is not one.
std::optional<int32_t> ParseAmountText(std::string_view text);

// The sum of the amount texts in list order. At the first text that is not an
// amount, throws EInvalid "第 n 項金額輸入錯誤" with n its 1-based row number.
int64_t SumAmountTexts(const TPendingList& pending);

// LoadedBalance plus the sum of the amount texts: the opening balance an
// accepted catch-up gives. EInvalid as SumAmountTexts, and also when the
// result leaves 32 bits: the message then names the item after which the
// running balance, taken in list order, stays outside the range to the end
// (the item that most likely holds a mistyped amount).
int32_t CaughtUpBalance(int32_t loadedBalance, const TPendingList& pending);

}  // namespace tamber
