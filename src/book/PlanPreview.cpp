#include "PlanPreview.h"

#include <algorithm>
#include <memory>

namespace tamber {

std::optional<TPlanPreview> PreviewPlan(const TPlanFields& fields, int32_t maxRows) {
    try {
        // The same reading and checks as Add, whose messages are not shown here.
        const std::unique_ptr<TCustomPlan> plan = MakeEnteredPlan(fields, ReadPlanFields(fields));
        TPlanPreview preview;
        preview.PeriodCount = plan->Rec().PeriodCount;
        preview.Rows.reserve(static_cast<std::size_t>(std::clamp(maxRows, 0, preview.PeriodCount)));
        int64_t total = 0;
        for (int32_t k = 1; k <= preview.PeriodCount; ++k) {
            const int32_t amount = plan->PeriodAmount(k);
            (amount > 0 ? preview.Received : preview.Paid) += amount;
            total += amount;
            if (k <= maxRows) preview.Rows.push_back({k, plan->DateOfPeriod(k), amount, total});
        }
        return preview;
    } catch (const ETamberError&) {
        return std::nullopt;
    }
}

}  // namespace tamber
