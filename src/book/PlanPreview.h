// The schedule of the plan the editor's fields describe, before it is added:
// every period's date and amount with the running total, and for the whole
// plan what it brings in and what it costs.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Dates.h"
#include "PlanFields.h"

namespace tamber {

struct TPreviewRow {
    int32_t Period = 0;
    TDate Date = 0;
    int32_t Amount = 0;
    int64_t RunningTotal = 0;  // the amounts of periods 1..Period
    friend bool operator==(const TPreviewRow&, const TPreviewRow&) = default;
};

struct TPlanPreview {
    std::vector<TPreviewRow> Rows;  // the first periods, at most as many as asked for
    int32_t PeriodCount = 0;        // every period of the plan
    int64_t Received = 0;           // the sum of the positive amounts of every period
    int64_t Paid = 0;               // the sum of the negative amounts of every period
};

// The schedule of the plan Fields describe, with at most MaxRows rows;
// nothing (and no error) while the fields make no plan the editor would add.
std::optional<TPlanPreview> PreviewPlan(const TPlanFields& fields, int32_t maxRows);

}  // namespace tamber
