// Writes the fuzz target's first inputs into a folder: plan files as the
// program saves them, from the generated household books, with balance dates
// a few days old so that the catch-up has something to list.
#include <cstdio>
#include <filesystem>
#include <string>

#include "BookGenerator.h"
#include "book/PlanFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: plan_seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const tamber::TDate today = tamber::support::GeneratedBookToday();
    for (const int count : {0, 1, 2, 3, 5, 8, 13, 20}) {
        for (uint64_t seed = 1; seed <= 3; ++seed) {
            const tamber::TPlanBook book = tamber::support::GeneratePlanBook(count, today, seed);
            tamber::TPlanBookState state;
            state.OpeningBalance = static_cast<int32_t>(seed * 10007 * static_cast<uint64_t>(count)) - 50000;
            // Saved some days before today: the header's date is then the day before that.
            const tamber::TDate savedOn = today - static_cast<double>(seed * 3);
            const std::string name = "seed-" + std::to_string(count) + "-" + std::to_string(seed) + ".tbr";
            tamber::SavePlanFile(folder / name, book, state, savedOn);
        }
    }
    return 0;
}
