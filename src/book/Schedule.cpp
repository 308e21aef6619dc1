#include "Schedule.h"

#include <queue>
#include <utility>
#include <vector>

#include "Big5.h"
#include "BookErrors.h"

namespace tamber {

void ForEachOccurrence(const TPlanBook& book, TDate from, TDate to, const std::function<void(const TOccurrence&)>& visit) {
    // The plans' occurrence walks merged by date, then plan index.
    using TNext = std::pair<TDate, int>;
    std::priority_queue<TNext, std::vector<TNext>, std::greater<>> queue;
    for (int i = 0; i < book.Count(); ++i) {
        const TDate d = ForPlan(i, [&] { return book.Plan(i).NextOccurrence(from - 1); });
        if (d != 0 && d <= to) queue.emplace(d, i);
    }
    std::vector<TOccurrence> day;
    while (!queue.empty()) {
        const auto [d, i] = queue.top();
        queue.pop();
        const TCustomPlan& plan = book.Plan(i);
        day.clear();
        const TDate next = ForPlan(i, [&] {
            for (int32_t k = plan.PeriodNumber(d), last = plan.LastPeriodNumber(d); k <= last; ++k) {
                day.push_back({d, i, k, plan.PeriodAmount(k)});
            }
            return plan.NextOccurrence(d);
        });
        // Visited outside ForPlan, so that the visitor's own errors keep their class.
        for (const TOccurrence& occurrence : day) visit(occurrence);
        if (next != 0 && next <= to) queue.emplace(next, i);
    }
}

std::string PlanTitle(const TCustomPlan& plan) {
    const std::string_view description = DescriptionBytes(plan.Rec());
    if (description.empty()) return std::string(PlanKindName(plan.Rec().PlanKind));
    return Big5ToUtf8(description);
}

}  // namespace tamber
