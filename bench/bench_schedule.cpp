// How fast plans answer the schedule questions the calendar asks on every
// repaint: the occurrences of one month and the sum before a later month.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "model/Dates.h"
#include "model/PlanRecord.h"
#include "model/cplanunit.h"

namespace {

using namespace tamber;

std::vector<std::unique_ptr<TCustomPlan>> MakeBook(int count) {
    std::vector<std::unique_ptr<TCustomPlan>> book;
    for (int i = 0; i < count; ++i) {
        TPlanRecord rec = ZeroPlanRecord();
        rec.PeriodKind = static_cast<uint8_t>(i % kPeriodKindCount);
        rec.StartDate = EncodeDate(2020, 1 + i % 12, 1 + i % 28);
        rec.PeriodCount = rec.PeriodKind == prOnce ? 1 : 420;
        rec.IntervalDays = 7;
        rec.MonthDays = {5, 20, 28};
        rec.Amount = 1000 + i;
        rec.Direction = i % 2 ? 1 : -1;
        book.push_back(CreateFrom(pkFixAccount, rec));
    }
    return book;
}

void BM_MonthOccurrences(benchmark::State& state) {
    const auto book = MakeBook(static_cast<int>(state.range(0)));
    const TDate first = EncodeDate(2040, 6, 1), next = EncodeDate(2040, 7, 1);
    for (auto _ : state) {
        int64_t sum = 0;
        for (const auto& plan : book) {
            for (TDate d = plan->NextOccurrence(first - 1); d > 0 && d < next; d = plan->NextOccurrence(d)) {
                sum += plan->PeriodAmount(plan->PeriodNumber(d));
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MonthOccurrences)->Arg(100)->Arg(9999);

void BM_AmountBeforeMonth(benchmark::State& state) {
    const auto book = MakeBook(static_cast<int>(state.range(0)));
    const TDate yesterday = EncodeDate(2026, 12, 5);
    for (auto _ : state) {
        int64_t sum = 0;
        for (const auto& plan : book) sum += plan->AmountBeforeMonth(2060, 12, yesterday);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AmountBeforeMonth)->Arg(100)->Arg(9999);

}  // namespace
