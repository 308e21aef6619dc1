// What the windows compute on generated books of 10 to 9,999 plans: the
// calendar month (and the straightforward per-occurrence computation beside
// it), the chart's balance line and one dynamic step, the look ahead to the
// calendar's end, loading and saving the plan file, and the catch-up list
// after a year away. Run by bench/run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>

#include "BenchBooks.h"
#include "StraightforwardMonth.h"
#include "book/CatchUp.h"
#include "book/Ledger.h"
#include "book/LookAhead.h"
#include "book/PlanFile.h"
#include "book/Trend.h"

namespace {

using namespace tamber;
using bench::GeneratedBook;
using bench::kOpening;
using support::GeneratedBookToday;

// The months the calendar is asked for: this month, the next, 10 and 35 years on.
constexpr int kMonthsOn[] = {0, 1, 120, 420};

// Times Compute for the month MonthsOn months after today's, on the book of
// the first argument's size.
template <class Compute>
void RunComputeMonth(benchmark::State& state, int64_t monthsOn, Compute compute) {
    const TPlanBook& book = GeneratedBook(static_cast<int>(state.range(0)));
    const TDate today = GeneratedBookToday();
    const TYearMonthDay now = DecodeDate(today);
    const int64_t m = MonthIndex(now.Year, now.Month) + monthsOn;
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
    RunComputeMonth(state, state.range(1), [](auto&&... args) { return ComputeMonth(args...); });
}
BENCHMARK(BM_ComputeMonth)->Apply(MonthArguments);

void BM_ComputeMonthStraightforward(benchmark::State& state) {
    RunComputeMonth(state, state.range(1), [](auto&&... args) { return support::OracleComputeMonth(args...); });
}
BENCHMARK(BM_ComputeMonthStraightforward)->Apply(MonthArguments);

// The month of the calendar's range (this month to December 35 years on)
// that takes ComputeMonth longest for the book of Size plans: each month's
// fastest of five runs, found once per size.
int SlowestMonthOn(int size) {
    static std::map<int, int> found;
    if (const auto it = found.find(size); it != found.end()) return it->second;
    const TPlanBook& book = GeneratedBook(size);
    const TDate today = GeneratedBookToday();
    const TYearMonthDay now = DecodeDate(today);
    TPlanBookState bookState;
    bookState.SetCurrentDate(today);
    TCalendarMonth calendar;
    int slowest = 0;
    auto longest = std::chrono::steady_clock::duration::zero();
    for (int monthsOn = 0; monthsOn <= 35 * 12 + 12 - now.Month; ++monthsOn) {
        const int64_t m = MonthIndex(now.Year, now.Month) + monthsOn;
        auto fastest = std::chrono::steady_clock::duration::max();
        for (int run = 0; run < 5; ++run) {
            const auto start = std::chrono::steady_clock::now();
            ComputeMonth(book, bookState, static_cast<int>(m / 12), static_cast<int>(m % 12) + 1, today, calendar);
            fastest = std::min(fastest, std::chrono::steady_clock::now() - start);
        }
        if (fastest > longest) {
            longest = fastest;
            slowest = monthsOn;
        }
    }
    return found[size] = slowest;
}

void BM_ComputeMonthSlowest(benchmark::State& state) {
    const int monthsOn = SlowestMonthOn(static_cast<int>(state.range(0)));
    state.counters["months_on"] = monthsOn;
    RunComputeMonth(state, monthsOn, [](auto&&... args) { return ComputeMonth(args...); });
}
BENCHMARK(BM_ComputeMonthSlowest)->Arg(10)->Arg(100)->Arg(1000)->Arg(9999)->Unit(benchmark::kMillisecond);

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

// The lowest balance and the first day below zero from today to the end of
// the calendar's reach.
void BM_LookAhead(benchmark::State& state) {
    const TPlanBook& book = GeneratedBook(static_cast<int>(state.range(0)));
    const TDate today = GeneratedBookToday();
    for (auto _ : state) {
        const TLookAhead ahead = LookAhead(book, kOpening, today);
        benchmark::DoNotOptimize(ahead.Lowest);
    }
}
BENCHMARK(BM_LookAhead)->Apply(SizeArguments);

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
