// What the model, book and window tests share: plan records written the short way, books, plan files, scratch folders.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "book/BookErrors.h"
#include "book/PlanBook.h"
#include "book/PlanFile.h"
#include "model/Big5.h"
#include "model/cplanunit.h"

namespace tamber::test {

inline TDate Ymd(int y, int m, int d) {
    return EncodeDate(y, m, d);
}

// A plan record built field by field from a zero record: an income of 0 until Amount (below 0: an expense) sets it.
struct RecordBuilder {
    TPlanRecord rec = ZeroPlanRecord();
    RecordBuilder(int periodKind, TDate start, int periodCount) {
        Set(&TPlanRecord::PeriodKind, periodKind).Set(&TPlanRecord::StartDate, start).Set(&TPlanRecord::PeriodCount, periodCount);
        rec.IntervalDays = rec.Direction = 1;
    }
    template <class T>
    RecordBuilder& Set(T TPlanRecord::*field, auto value) {
        rec.*field = static_cast<T>(value);
        return *this;
    }
    RecordBuilder& Interval(int days) { return Set(&TPlanRecord::IntervalDays, days); }
    RecordBuilder& Days(uint16_t a, uint16_t b, uint16_t c = 0) { return Set(&TPlanRecord::MonthDays, std::array{a, b, c}); }
    RecordBuilder& Amount(int32_t amount) {
        rec.Amount = amount < 0 ? -amount : amount;
        rec.Direction = amount < 0 ? -1 : 1;
        return *this;
    }
    RecordBuilder& Kind(int planKind) { return Set(&TPlanRecord::PlanKind, planKind); }
    RecordBuilder& Method(int method) { return Set(&TPlanRecord::Method, method); }
    RecordBuilder& Rate(double rate) { return Set(&TPlanRecord::AnnualRate, DoubleToSixByteReal(rate)); }
    RecordBuilder& Club(int32_t baseBid, int32_t winningBid, int32_t winningPeriod, bool inner, int32_t aboveBase) {
        std::tie(rec.BaseBid, rec.WinningBid, rec.WinningPeriod, rec.AboveBaseTotal) = std::tie(baseBid, winningBid, winningPeriod, aboveBase);
        return Set(&TPlanRecord::InnerBidding, inner ? 1 : 0);
    }
    operator TPlanRecord() const { return rec; }
};

// A fixed flow of a signed amount per occurrence (every IntervalDays 1 day for period kind 0), its text in code page 950.
inline RecordBuilder Flow(int periodKind, TDate start, int count, int32_t amount, const std::string& text = "") {
    RecordBuilder b(periodKind, start, count);
    SetDescriptionBytes(b.rec, Utf8ToBig5(text).Bytes);
    return b.Amount(amount);
}
inline RecordBuilder Once(TDate date, int32_t amount) {
    return Flow(prOnce, date, 1, amount);
}

// Plans made by the class their record's kind byte names.
inline TPlanBook MakeBook(const std::vector<TPlanRecord>& records) {
    TPlanBook book;
    for (const TPlanRecord& rec : records) book.Append(CreateFrom(rec));
    return book;
}

// A plan whose amounts cannot be computed: its amount times its direction leaves 32 bits.
inline TPlanRecord Broken(TDate start) {
    return Flow(prEveryNDays, start, 100, -1).Set(&TPlanRecord::Amount, INT32_MIN);
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

using Bytes = std::vector<uint8_t>;

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
inline Bytes ReadBytes(const std::filesystem::path& path) {
    const std::string text = ReadText(path);
    return Bytes(text.begin(), text.end());
}
inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A plan file's bytes: the header, then the records.
inline Bytes FileBytes(TDate balanceDate, int32_t balance, const std::vector<TPlanRecord>& records) {
    std::vector<TRecordBytes> parts = {HeaderToBytes({balanceDate, balance})};
    for (const TPlanRecord& rec : records) parts.push_back(RecordToBytes(rec));
    Bytes bytes;
    for (const TRecordBytes& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

// A folder of its own under the system's temporary folder, removed afterwards.
struct ScratchDir {
    std::filesystem::path Path =
        std::filesystem::temp_directory_path() / ("tamber-test-" + std::to_string(std::random_device()()));
    ScratchDir() { std::filesystem::create_directories(Path); }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    std::filesystem::path operator/(const std::string& name) const { return Path / name; }
};

}  // namespace tamber::test
