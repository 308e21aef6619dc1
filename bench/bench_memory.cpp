// Peak memory of a process that loads a plan file and computes this month's
// calendar, as the program does on opening a file. Run by bench/run in two
// steps, so that generating the book counts in no measured process:
//   bench_memory --write SIZE FILE   saves the generated book of SIZE plans
//   bench_memory FILE                prints "PLANS PEAK_KB" after loading FILE
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BenchBooks.h"
#include "book/Ledger.h"

int main(int argc, char* argv[]) {
    using namespace tamber;
    const TDate today = support::GeneratedBookToday();
    try {
        if (argc == 4 && std::strcmp(argv[1], "--write") == 0) {
            TPlanBookState state;
            state.OpeningBalance = bench::kOpening;
            SavePlanFile(argv[3], support::GeneratePlanBook(std::atoi(argv[2]), today), state, today);
            return 0;
        }
        if (argc == 2) {
            TPlanBook book;
            TPlanBookState state;
            state.SetCurrentDate(today);
            TCalendarMonth calendar;
            LoadPlanFile(argv[1], book, state, today, {});
            ComputeMonth(book, state, state.CurrentYear, state.CurrentMonth, today, calendar);
            std::printf("%d %ld\n", book.Count(), bench::ResidentSize().Peak);
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_memory: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: bench_memory --write SIZE FILE | bench_memory FILE\n");
    return 2;
}
