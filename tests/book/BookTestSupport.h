// Plans, books, plan file bytes and scratch folders for the book tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "book/BookErrors.h"
#include "book/PlanBook.h"
#include "book/PlanFile.h"
#include "RecordBuilder.h"

namespace tamber::test {

// A fixed flow of a signed amount per occurrence.
inline RecordBuilder Flow(int periodKind, TDate start, int count, int32_t amount) {
    return RecordBuilder(periodKind, start, count).Amount(amount < 0 ? -amount : amount, amount < 0 ? -1 : 1);
}
inline TPlanRecord Once(TDate date, int32_t amount) { return Flow(prOnce, date, 1, amount); }

inline TPlanBook MakeBook(std::initializer_list<TPlanRecord> records) {
    TPlanBook book;
    for (const TPlanRecord& rec : records) book.Append(CreateFrom(rec));
    return book;
}

// A plan whose amounts cannot be computed: its amount times its direction leaves 32 bits.
inline TPlanRecord Broken(TDate start) {
    return RecordBuilder(prEveryNDays, start, 100).Interval(1).Amount(INT32_MIN, -1);
}

// The index of the plan named by the EPlanError Work throws; -1 when it throws none.
template <class F>
int FailingPlan(F&& work) {
    try {
        work();
    } catch (const EPlanError& e) {
        return e.PlanIndex();
    }
    return -1;
}

// A folder of its own under the system's temporary folder, removed afterwards.
struct ScratchDir {
    std::filesystem::path Path;
    ScratchDir() {
        std::random_device random;
        Path = std::filesystem::temp_directory_path() / ("tamber-book-" + std::to_string(random()));
        std::filesystem::create_directories(Path);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    std::filesystem::path operator/(const std::string& name) const { return Path / name; }
    std::size_t FileCount() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(Path), {}));
    }
};

using Bytes = std::vector<uint8_t>;

inline Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
inline std::string ReadText(const std::filesystem::path& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

template <class Container>
void Append(Bytes& bytes, const Container& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

// A plan file's bytes: the header, then the records.
inline Bytes FileBytes(TDate balanceDate, int32_t balance, const std::vector<TPlanRecord>& records) {
    Bytes bytes;
    Append(bytes, HeaderToBytes({balanceDate, balance}));
    for (const TPlanRecord& rec : records) Append(bytes, RecordToBytes(rec));
    return bytes;
}

}  // namespace tamber::test
