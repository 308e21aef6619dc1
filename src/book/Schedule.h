// The book's occurrences over a span of days, one by one in the order every
// listing of them uses: by date, then by plan, then by period.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Dates.h"
#include "PlanBook.h"

namespace tamber {

struct TOccurrence {
    TDate Date = 0;
    int PlanIndex = 0;
    int32_t Period = 0;
    int32_t Amount = 0;  // PeriodAmount of Period
};

// Calls Visit for every occurrence from From to To (whole days, both
// included) by date, then plan index, then period: periods sharing a day
// (listed days shortened onto one month end) each come on their own. Holds
// one pending occurrence per plan, however long the span. EPlanError naming a
// plan whose date or amount cannot be computed; what Visit throws passes through.
void ForEachOccurrence(const TPlanBook& book, TDate from, TDate to, const std::function<void(const TOccurrence&)>& visit);

// What names a plan in a listing, in UTF-8: its description, or its kind's
// caption when the description is empty.
std::string PlanTitle(const TCustomPlan& plan);

}  // namespace tamber
