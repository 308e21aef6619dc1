// Deterministic plan books of any size with the mix of plans a large
// household book holds: fixed monthly flows, flows every N days, flows on two
// or three days of the month, savings clubs, simple and compound deposits
// and loans, starting anywhere from ten years before to ten years after a
// given day. The same count, day and seed always give the same records, on
// every machine: the generator uses its own integer random numbers.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "book/PlanBook.h"
#include "model/Big5.h"
#include "model/PlanRecord.h"
#include "model/cplanunit.h"

namespace tamber::support {

// A 64-bit split-mix sequence: small, fast and the same everywhere.
class TBookRandom {
public:
    explicit TBookRandom(uint64_t seed) : State_(seed) {}

    uint64_t Next() noexcept {
        uint64_t z = (State_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A whole number in Lo..Hi (inclusive, Lo <= Hi).
    int32_t Between(int32_t lo, int32_t hi) noexcept {
        const auto span = static_cast<uint64_t>(int64_t{hi} - lo + 1);
        return static_cast<int32_t>(lo + static_cast<int64_t>(Next() % span));
    }

    // True with a chance of Percent in a hundred.
    bool Chance(int percent) noexcept { return Between(0, 99) < percent; }

    // One of the values of Choices.
    template <class T, std::size_t N>
    T Pick(const std::array<T, N>& choices) noexcept {
        return choices[static_cast<std::size_t>(Between(0, static_cast<int32_t>(N) - 1))];
    }

private:
    uint64_t State_;
};

// The kinds of plan the generator makes, and how many of every twenty plans
// have each: 8 fixed monthly (40 %), 3 every N days (15 %), 2 on listed
// month days (10 %), 2 savings clubs, 2 simple deposits, 2 compound
// deposits (10 % each) and 1 loan (5 %).
enum class TGeneratedKind { Monthly, EveryNDays, ListedDays, Club, Simple, Compound, Loan };

inline TGeneratedKind GeneratedKindAt(int index) noexcept {
    static constexpr std::array<TGeneratedKind, 20> kCycle = {
        TGeneratedKind::Monthly,    TGeneratedKind::EveryNDays, TGeneratedKind::Monthly, TGeneratedKind::ListedDays,
        TGeneratedKind::Club,       TGeneratedKind::Monthly,    TGeneratedKind::Simple,  TGeneratedKind::Compound,
        TGeneratedKind::Monthly,    TGeneratedKind::EveryNDays, TGeneratedKind::Loan,    TGeneratedKind::Monthly,
        TGeneratedKind::ListedDays, TGeneratedKind::Club,       TGeneratedKind::Monthly, TGeneratedKind::Simple,
        TGeneratedKind::Compound,   TGeneratedKind::EveryNDays, TGeneratedKind::Monthly, TGeneratedKind::Monthly,
    };
    return kCycle[static_cast<std::size_t>(index % 20)];
}

namespace detail {

inline std::string GeneratedDescription(TBookRandom& random, int index) {
    static constexpr std::array<const char*, 12> kWords = {
        "房租", "薪水", "水電費", "保險費", "學費", "電話費", "管理費", "零用金", "紅利", "會錢", "定存", "房貸",
    };
    return std::string(random.Pick(kWords)) + " " + std::to_string(index + 1);
}

// Rates typed as percentages with two decimals, 1.01 .. Top / 100 a year
// (a rate up to 1 would be read as a fraction).
inline double GeneratedRate(TBookRandom& random, int top) {
    return random.Between(101, top) / 100.0;
}

// One record of Kind, before its validity is checked.
inline TPlanRecord GeneratedRecord(TBookRandom& random, TGeneratedKind kind, TDate today) {
    TPlanRecord rec = ZeroPlanRecord();
    rec.StartDate = today + random.Between(-3652, 3652);
    rec.PeriodKind = prMonthly;
    rec.Direction = 1;
    const auto flow = [&](int32_t lo, int32_t hi) {
        rec.PlanKind = pkFixAccount;
        rec.Amount = random.Between(lo, hi);
        rec.Direction = random.Chance(50) ? 1 : -1;
    };
    switch (kind) {
        case TGeneratedKind::Monthly:
            flow(100, 30000);
            rec.PeriodCount = random.Between(6, 480);
            break;
        case TGeneratedKind::EveryNDays: {
            flow(50, 5000);
            rec.PeriodKind = prEveryNDays;
            rec.IntervalDays = random.Pick(std::array<int32_t, 10>{1, 2, 7, 10, 14, 15, 28, 30, 45, 91});
            // At most about 40 years of occurrences.
            rec.PeriodCount = random.Between(10, std::min(3000, 14600 / rec.IntervalDays));
            break;
        }
        case TGeneratedKind::ListedDays: {
            flow(100, 20000);
            const bool thrice = random.Chance(40);
            rec.PeriodKind = thrice ? prThriceMonthly : prTwiceMonthly;
            const int n = thrice ? 3 : 2;
            std::array<uint16_t, 3> days{};
            // Increasing days, each at most 15 after the one before, leaving
            // room for the days still to come.
            days[0] = static_cast<uint16_t>(random.Between(1, 31 - (n - 1)));
            for (int i = 1; i < n; ++i) {
                const int prev = days[static_cast<std::size_t>(i - 1)];
                days[static_cast<std::size_t>(i)] =
                    static_cast<uint16_t>(random.Between(prev + 1, std::min(31 - (n - 1 - i), prev + 15)));
            }
            rec.MonthDays = days;
            rec.PeriodCount = random.Between(2 * n, n * 12 * 30);
            break;
        }
        case TGeneratedKind::Club: {
            rec.PlanKind = pkCollect;
            rec.PeriodCount = random.Between(6, 60);
            rec.Amount = random.Between(10, 200) * 100;
            rec.BaseBid = random.Between(0, rec.Amount / 100) * 10;
            rec.WinningBid = rec.BaseBid + random.Between(0, rec.Amount / 100) * 10;
            rec.WinningPeriod = random.Between(0, rec.PeriodCount);
            rec.InnerBidding = random.Chance(50) ? 1 : 0;
            rec.AboveBaseTotal = random.Between(0, std::max(0, rec.WinningPeriod - 2)) * (rec.Amount / 20);
            break;
        }
        case TGeneratedKind::Simple:
            rec.PlanKind = pkSaving;
            rec.PeriodKind = random.Chance(75) ? prMonthly : prQuarterly;
            rec.PeriodCount = random.Between(2, 121);
            rec.Amount = random.Between(10, 1000) * 1000;
            rec.Method = random.Chance(50) ? mtMonthlyInterest : mtInterestAtEnd;
            SetAnnualRate(rec, GeneratedRate(random, 600));
            break;
        case TGeneratedKind::Compound: {
            rec.PlanKind = pkCompound;
            rec.PeriodCount = random.Between(2, 121);
            rec.Method = random.Pick(std::array<uint8_t, 3>{mtMonthlyInterest, mtInstalmentsIn, mtLumpSumInOut});
            rec.Amount = rec.Method == mtInstalmentsIn ? random.Between(10, 300) * 100 : random.Between(10, 1000) * 1000;
            SetAnnualRate(rec, GeneratedRate(random, 600));
            break;
        }
        case TGeneratedKind::Loan:
            rec.PlanKind = pkLoan;
            rec.PeriodCount = random.Between(13, 361);
            rec.Amount = random.Between(50, 2000) * 1000;
            rec.Method = random.Chance(50) ? mtEqualInstalments : mtEqualPrincipal;
            SetAnnualRate(rec, GeneratedRate(random, 900));
            break;
    }
    return rec;
}

}  // namespace detail

// Count plan records (Count >= 0) in the generator's mix, every one of which
// makes a sound plan, their start dates within ten years either side of
// Today. Seed picks another book of the same mix.
inline std::vector<TPlanRecord> GeneratePlanRecords(int count, TDate today, uint64_t seed = 1) {
    TBookRandom random(seed);
    std::vector<TPlanRecord> records;
    records.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const TGeneratedKind kind = GeneratedKindAt(i);
        TPlanRecord rec;
        // A draw that makes no plan (a listed day its first month lacks, a
        // date past 9999) is drawn again; the sequence stays deterministic.
        do {
            rec = detail::GeneratedRecord(random, kind, today);
        } while (!PlanRecordProblem(rec).empty());
        SetDescriptionBytes(rec, Utf8ToBig5(detail::GeneratedDescription(random, i)).Bytes);
        records.push_back(rec);
    }
    return records;
}

// The book of GeneratePlanRecords (Count <= TPlanBook::kMaxPlans).
inline TPlanBook GeneratePlanBook(int count, TDate today, uint64_t seed = 1) {
    TPlanBook book;
    for (const TPlanRecord& rec : GeneratePlanRecords(count, today, seed)) book.Append(CreateFrom(rec));
    return book;
}

// The book sizes the benchmarks use.
inline constexpr std::array<int, 4> kGeneratedBookSizes = {10, 100, 1000, 9999};

// The day the benchmarks and the fuzz seeds take as today (fixed, so
// that every run computes the same months).
inline TDate GeneratedBookToday() {
    return EncodeDate(2025, 6, 15);
}

}  // namespace tamber::support
