// The generated plan books the benchmark programs share, each made once, and
// the files they are saved in.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "BookGenerator.h"
#include "book/PlanBook.h"
#include "book/PlanFile.h"

namespace tamber::bench {

// The opening balance every benchmark starts from.
inline constexpr int32_t kOpening = 250000;

inline const TPlanBook& GeneratedBook(int size) {
    static std::map<int, std::unique_ptr<TPlanBook>> books;
    auto& book = books[size];
    if (!book) book = std::make_unique<TPlanBook>(support::GeneratePlanBook(size, support::GeneratedBookToday()));
    return *book;
}

// A folder of the process's own under the system's temporary folder, removed at exit.
inline const std::filesystem::path& ScratchFolder() {
    struct TFolder {
        std::filesystem::path Path;
        TFolder() {
            std::string pattern = (std::filesystem::temp_directory_path() / "tamber-bench-XXXXXX").string();
            if (!mkdtemp(pattern.data())) {
                std::perror("mkdtemp");
                std::exit(1);
            }
            Path = pattern;
        }
        ~TFolder() {
            std::error_code ignored;
            std::filesystem::remove_all(Path, ignored);
        }
    };
    static const TFolder folder;
    return folder.Path;
}

// The generated book of Size plans saved as a plan file whose balance date is
// yesterday, so that loading it needs no catch-up.
inline std::filesystem::path GeneratedBookFile(int size) {
    const std::filesystem::path name = ScratchFolder() / ("book-" + std::to_string(size) + ".tbr");
    if (!std::filesystem::exists(name)) {
        TPlanBookState state;
        state.OpeningBalance = kOpening;
        SavePlanFile(name, GeneratedBook(size), state, support::GeneratedBookToday());
    }
    return name;
}

// The resident set of this process now and at its peak, in kilobytes, from
// the kernel's status file (0 where it does not say).
struct TResidentSize {
    long Now = 0;
    long Peak = 0;
};
inline TResidentSize ResidentSize() {
    TResidentSize size;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) size.Now = std::atol(line.c_str() + 6);
        if (line.rfind("VmHWM:", 0) == 0) size.Peak = std::atol(line.c_str() + 6);
    }
    return size;
}

}  // namespace tamber::bench
