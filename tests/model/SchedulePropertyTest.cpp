// Generated plans of every period kind checked against brute force over
// their listed occurrences.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "RecordBuilder.h"
#include "model/cplanunit.h"

namespace tamber {
namespace {

using test::RecordBuilder;

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    TPlanRecord Record(int periodKind) {
        const TDate start = Uniform(EncodeDay(1950, 1, 1), EncodeDay(2080, 12, 31)) + (Uniform(0, 3) == 0 ? 0.5 : 0.0);
        const int count = periodKind == prOnce ? 1 : Uniform(1, 40);
        RecordBuilder b(periodKind, start, count);
        b.Interval(Uniform(1, 400)).Amount(Uniform(-5000, 5000), Uniform(0, 1) ? 1 : -1);
        if (periodKind == prTwiceMonthly || periodKind == prThriceMonthly) {
            std::set<uint16_t> days;
            const std::size_t n = periodKind == prTwiceMonthly ? 2 : 3;
            // Mostly late days, so that shortened and coinciding month ends are common.
            while (days.size() < n) days.insert(static_cast<uint16_t>(Uniform(0, 1) ? Uniform(1, 31) : Uniform(26, 31)));
            std::vector<uint16_t> v(days.begin(), days.end());
            v.resize(3, 0);
            b.Days(v[0], v[1], v[2]);
        }
        return b;
    }

private:
    std::mt19937 random_;
};

// First index (0-based) whose date is greater than day, in a non-decreasing list.
TDate BruteNext(const std::vector<TDate>& dates, TDate day) {
    const auto it = std::upper_bound(dates.begin(), dates.end(), day);
    return it == dates.end() ? 0 : *it;
}

TDate BrutePrev(const std::vector<TDate>& dates, TDate day) {
    const auto it = std::lower_bound(dates.begin(), dates.end(), day);
    return it == dates.begin() ? 0 : *(it - 1);
}

int64_t BruteSum(const TCustomPlan& plan, const std::vector<TDate>& dates, TDate after, TDate before) {
    int64_t sum = 0;
    for (std::size_t k = 0; k < dates.size(); ++k) {
        if (dates[k] > after && dates[k] < before) sum += plan.PeriodAmount(static_cast<int32_t>(k + 1));
    }
    return sum;
}

class ScheduleProperties : public ::testing::TestWithParam<int> {};

TEST_P(ScheduleProperties, OccurrencesAgreeWithBruteForce) {
    const int kind = GetParam();
    Generator gen(1000u + static_cast<unsigned>(kind));
    int made = 0;
    for (int round = 0; round < 400; ++round) {
        const TPlanRecord rec = gen.Record(kind);
        if (!PlanRecordProblem(rec).empty()) continue;  // a first listed day its month lacks
        ++made;
        const TFixAccount plan(rec);
        const test::SummingPlan summing(rec);
        const int32_t count = rec.PeriodCount;
        std::vector<TDate> dates;
        for (int32_t k = 1; k <= count; ++k) dates.push_back(plan.DateOfPeriod(k));

        SCOPED_TRACE(::testing::Message() << "kind " << kind << " round " << round << " start " << rec.StartDate
                                          << " count " << count);
        ASSERT_EQ(plan.FirstDate(), dates.front());
        ASSERT_EQ(plan.LastDate(), dates.back());
        for (std::size_t i = 1; i < dates.size(); ++i) {
            // Only listed days shortened onto one month end may share a day.
            if (kind == prTwiceMonthly || kind == prThriceMonthly) {
                ASSERT_LE(dates[i - 1], dates[i]);
            } else {
                ASSERT_LT(dates[i - 1], dates[i]);
            }
        }
        for (int32_t k = 1; k <= count; ++k) {
            const TDate d = dates[static_cast<std::size_t>(k - 1)];
            const auto first = std::lower_bound(dates.begin(), dates.end(), d) - dates.begin() + 1;
            const auto last = std::upper_bound(dates.begin(), dates.end(), d) - dates.begin();
            ASSERT_EQ(plan.PeriodNumber(d), first) << "period " << k;
            ASSERT_EQ(plan.LastPeriodNumber(d), last) << "period " << k;
            ASSERT_EQ(plan.NextOccurrence(d), BruteNext(dates, d)) << "period " << k;
            ASSERT_EQ(plan.PrevOccurrence(d), BrutePrev(dates, d)) << "period " << k;
        }
        const int lo = static_cast<int>(plan.FirstDate()) - 40;
        const int hi = static_cast<int>(plan.LastDate()) + 40;
        for (int probe = 0; probe < 30; ++probe) {
            const TDate d = gen.Uniform(lo, hi);
            ASSERT_EQ(plan.NextOccurrence(d), BruteNext(dates, d)) << "day " << d;
            ASSERT_EQ(plan.PrevOccurrence(d), BrutePrev(dates, d)) << "day " << d;
            const TDate before = gen.Uniform(lo, hi);
            const int64_t sum = BruteSum(plan, dates, d, before);
            ASSERT_EQ(plan.AmountBetween(d, before), sum) << "after " << d << " before " << before;
            ASSERT_EQ(summing.AmountBetween(d, before), sum) << "after " << d << " before " << before;
        }
    }
    EXPECT_GT(made, 300);
}

INSTANTIATE_TEST_SUITE_P(EveryPeriodKind, ScheduleProperties, ::testing::Range(0, kPeriodKindCount));

}  // namespace
}  // namespace tamber
