// What the windows compute on generated books of 10 to 9,999 plans: the
// calendar month (and the straightforward per-occurrence computation beside
// it), the chart's balance line and one dynamic step, loading and saving the
// plan file, and the catch-up list after a year away. Run by bench/run.
#include <benchmark/benchmark.h>

#include "BenchBooks.h"
#include "CatchUp.h"
#include "Ledger.h"
#include "Oracle.h"
#include "PlanFile.h"
#include "Trend.h"

namespace {

using namespace tamber;
using bench::GeneratedBook;
using bench::kOpening;
using support::GeneratedBookToday;

// The months the calendar is asked for: this month, the next, 10 and 35 years on.
constexpr int kMonthsOn[] = {0, 1, 120, 420};

template <class Compute>
void RunComputeMonth(benchmark::State& state, Compute compute) {
    const TPlanBook& book = GeneratedBook(static_cast<int>(state.range(0)));
    const TDate today = GeneratedBookToday();
    const TYearMonthDay now = DecodeDate(today);
    const int64_t m = MonthIndex(now.Year, now.Month) + state.range(1);
    const int year = static_cast<int>(m / 12);
    const int month = static_cast<int>(m % 12) + 1;
    TPlanBookState bookState;
    bookState.SetCurrentDate(today);
    bookState.OpeningBalance = kOpening;
    TCalendarMonth calendar;
    for (auto _ : state) {
        const TMonthTotals totals = compute(book, bookState, year, month, today, calendar);
        benchmark::DoNotOptimize(totals);
        benchmark::DoNotOptimize(calendar.MonthAverageBalance);
    }
}

void MonthArguments(benchmark::internal::Benchmark* b) {
    for (const int size : support::kGeneratedBookSizes) {
        for (const int monthsOn : kMonthsOn) b->Args({size, monthsOn});
    }
    b->Unit(benchmark::kMillisecond);
}

void BM_ComputeMonth(benchmark::State& state) {
    RunComputeMonth(state, [](auto&&... args) { return ComputeMonth(args...); });
}
BENCHMARK(BM_ComputeMonth)->Apply(MonthArguments);

void BM_ComputeMonthStraightforward(benchmark::State& state) {
    RunComputeMonth(state, [](auto&&... args) { return support::OracleComputeMonth(args...); });
}
BENCHMARK(BM_ComputeMonthStraightforward)->Apply(MonthArguments);

void SizeArguments(benchmark::internal::Benchmark* b) {
    for (const int size : support::kGeneratedBookSizes) b->Arg(size);
    b->Unit(benchmark::kMillisecond);
}

// The chart's balance line of Days days from today.
void BM_BalanceLine(benchmark::State& state) {
    const TPlanBook& book = GeneratedBook(static_cast<int>(state.range(0)));
    const auto days = static_cast<int32_t>(state.range(1));
    const TDate today = GeneratedBookToday();
    for (auto _ : state) {
        TTrendLine line(book, kOpening, today, days, today);
        benchmark::DoNotOptimize(line.Points().back());
    }
}
BENCHMARK(BM_BalanceLine)->ArgsProduct({{10, 100, 1000, 9999}, {365, kMaxChartDays}})->Unit(benchmark::kMillisecond);

// One step of the dynamic display of the 30-year line: the line moves a day on.
void BM_DynamicStep(benchmark::State& state) {
    const TPlanBook& book = GeneratedBook(static_cast<int>(state.range(0)));
    const TDate today = GeneratedBookToday();
    TTrendLine line(book, kOpening, today, kMaxChartDays, today);
    for (auto _ : state) {
        auto bars = line.StepOneDay(book);
        benchmark::DoNotOptimize(bars.data());
    }
}
BENCHMARK(BM_DynamicStep)->Apply(SizeArguments);

void BM_Load(benchmark::State& state) {
    const auto name = bench::GeneratedBookFile(static_cast<int>(state.range(0)));
    const TDate today = GeneratedBookToday();
    TPlanBook book;
    TPlanBookState bookState;
    for (auto _ : state) {
        const TLoadOutcome outcome = LoadPlanFile(name, book, bookState, today, {});
        if (outcome != TLoadOutcome::Loaded || book.Count() != state.range(0)) state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_Load)->Apply(SizeArguments)->UseRealTime();

void BM_Save(benchmark::State& state) {
    const TPlanBook& book = GeneratedBook(static_cast<int>(state.range(0)));
    const auto name = bench::ScratchFolder() / "saved.tbr";
    TPlanBookState bookState;
    bookState.OpeningBalance = kOpening;
    for (auto _ : state) SavePlanFile(name, book, bookState, GeneratedBookToday());
}
BENCHMARK(BM_Save)->Apply(SizeArguments)->UseRealTime();

// The occurrences since a balance date a year before yesterday.
void BM_CatchUpList(benchmark::State& state) {
    const TPlanBook& book = GeneratedBook(static_cast<int>(state.range(0)));
    const TDate today = GeneratedBookToday();
    std::size_t rows = 0;
    for (auto _ : state) {
        const TPendingList pending = BuildPendingList(book, today - 366, today);
        rows = pending.size();
        benchmark::DoNotOptimize(pending.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_CatchUpList)->Apply(SizeArguments);

}  // namespace
