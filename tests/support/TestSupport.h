// What the model, book and window tests share: plan records written the short way, books, plan files, scratch folders.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
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

// A plan record built field by field from a zero record: an income of 0 until Amount says otherwise.
struct RecordBuilder {
    TPlanRecord rec = ZeroPlanRecord();
    RecordBuilder(int periodKind, TDate start, int periodCount) {
        rec.PeriodKind = static_cast<uint8_t>(periodKind);
        rec.StartDate = start;
        rec.PeriodCount = periodCount;
        rec.IntervalDays = 1;
        rec.Direction = 1;
    }
    RecordBuilder& Interval(int days) {
        rec.IntervalDays = days;
        return *this;
    }
    RecordBuilder& Days(uint16_t a, uint16_t b, uint16_t c = 0) {
        rec.MonthDays = {a, b, c};
        return *this;
    }
    // A signed amount: negative for an expense.
    RecordBuilder& Amount(int32_t amount) {
        rec.Amount = amount < 0 ? -amount : amount;
        rec.Direction = amount < 0 ? -1 : 1;
        return *this;
    }
    RecordBuilder& Kind(int planKind) {
        rec.PlanKind = static_cast<uint8_t>(planKind);
        return *this;
    }
    RecordBuilder& Method(int method) {
        rec.Method = static_cast<uint8_t>(method);
        return *this;
    }
    RecordBuilder& Rate(double rate) {
        SetAnnualRate(rec, rate);
        return *this;
    }
    RecordBuilder& Club(int32_t baseBid, int32_t winningBid, int32_t winningPeriod, bool inner, int32_t aboveBase) {
        rec.BaseBid = baseBid;
        rec.WinningBid = winningBid;
        rec.WinningPeriod = winningPeriod;
        rec.InnerBidding = inner ? 1 : 0;
        rec.AboveBaseTotal = aboveBase;
        return *this;
    }
    RecordBuilder& Text(const std::string& utf8) {
        SetDescriptionBytes(rec, Utf8ToBig5(utf8).Bytes);
        return *this;
    }
    operator TPlanRecord() const { return rec; }
};

// A fixed flow of a signed amount per occurrence (every IntervalDays 1 day for period kind 0).
inline RecordBuilder Flow(int periodKind, TDate start, int count, int32_t amount, const std::string& text = "") {
    return RecordBuilder(periodKind, start, count).Amount(amount).Text(text);
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
    TPlanRecord rec = Flow(prEveryNDays, start, 100, -1);
    rec.Amount = INT32_MIN;
    return rec;
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

inline Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
inline std::string ReadText(const std::filesystem::path& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}
inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A plan file's bytes: the header, then the records.
inline Bytes FileBytes(TDate balanceDate, int32_t balance, const std::vector<TPlanRecord>& records) {
    const TRecordBytes head = HeaderToBytes({balanceDate, balance});
    Bytes bytes(head.begin(), head.end());
    for (const TPlanRecord& rec : records) {
        const TRecordBytes r = RecordToBytes(rec);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
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
