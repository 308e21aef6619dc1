#include "model/cplanunit.h"

#include <algorithm>
#include <cmath>

#include "model/Errors.h"
#include "model/Fincalc.h"
#include "model/Numbers.h"

namespace tamber {
namespace {

constexpr int64_t kFirstMonthIndex = MonthIndex(1, 1);
constexpr int64_t kLastMonthIndex = MonthIndex(9999, 12);

// Day Day of the month with index M (year x 12 + month - 1), shortened to
// the month's end. Throws EInvalidDate when the month lies outside 1..9999.
int32_t ClampedDayAt(int64_t m, int day) {
    if (m < kFirstMonthIndex || m > kLastMonthIndex) throw EInvalidDate();
    return ClampedDay(static_cast<int>(m / 12), static_cast<int>(m % 12) + 1, day);
}

int32_t ClampedDayOfYear(int64_t year, int month, int day) {
    return ClampedDayAt(year * 12 + month - 1, day);
}

// The first day and the length of one month, moved on month by month: a
// walk through consecutive periods needs no date worked out from scratch.
class TMonthWalk {
public:
    // Month M (year x 12 + month - 1) of years 1..9999; EInvalidDate otherwise.
    explicit TMonthWalk(int64_t m) : Year_(static_cast<int>(m / 12)), Month_(static_cast<int>(m % 12) + 1) {
        if (m < kFirstMonthIndex || m > kLastMonthIndex) throw EInvalidDate();
        FirstDay_ = EncodeDay(Year_, Month_, 1);
        Length_ = DaysInMonth(Year_, Month_);
    }
    // Moves Months months on; the caller stays within year 9999.
    void Advance(int months) noexcept {
        for (; months > 0; --months) {
            FirstDay_ += Length_;
            if (++Month_ > 12) {
                Month_ = 1;
                ++Year_;
            }
            Length_ = DaysInMonth(Year_, Month_);
        }
    }
    // Day Day of the month, shortened to the month's end.
    int32_t Day(int day) const noexcept { return FirstDay_ + std::min(day, Length_) - 1; }

private:
    int Year_, Month_;
    int32_t FirstDay_ = 0;
    int Length_ = 0;
};

// Step of a month-based period kind in months; 0 for other kinds.
int MonthStep(int periodKind) noexcept {
    switch (periodKind) {
        case prHalfYearly: return 6;
        case prQuarterly: return 3;
        case prEveryTwoMonths: return 2;
        case prMonthly: return 1;
        default: return 0;
    }
}

// Step of a year-based period kind in years; 0 for other kinds.
int YearStep(int periodKind) noexcept {
    switch (periodKind) {
        case prYearly: return 1;
        case prEveryTwoYears: return 2;
        case prEveryThreeYears: return 3;
        default: return 0;
    }
}

// The structural rules; the dates are checked by making the plan.
std::string StructureProblem(const TPlanRecord& rec) {
    if (rec.PeriodKind >= kPeriodKindCount) return "週期種類無效";
    if (rec.PeriodCount < 1) return "期數必須至少為 1";
    if (rec.PeriodKind == prEveryNDays && rec.IntervalDays < 1) return "間隔天數必須至少為 1";
    if (rec.PeriodKind == prTwiceMonthly || rec.PeriodKind == prThriceMonthly) {
        const int n = rec.PeriodKind == prTwiceMonthly ? 2 : 3;
        for (int i = 0; i < n; ++i) {
            const int day = rec.MonthDays[static_cast<std::size_t>(i)];
            if (day < 1 || day > 31) return "日期超過範圍";
            if (i > 0 && day <= rec.MonthDays[static_cast<std::size_t>(i - 1)]) return "日期請由小至大輸入";
        }
    }
    if (!std::isfinite(rec.StartDate) || std::trunc(rec.StartDate) < kMinDay || std::trunc(rec.StartDate) > kMaxDay) {
        return "開始日期無效";
    }
    return {};
}

}  // namespace

std::string PlanRecordProblem(const TPlanRecord& rec) {
    try {
        TFixAccount plan(rec);
    } catch (const ETamberError& e) {
        return e.what();
    }
    return {};
}

TCustomPlan::TCustomPlan(const TPlanRecord& rec, TPlanKindCode kind) : Rec_(rec) {
    Rec_.PlanKind = kind;
    if (std::string problem = StructureProblem(Rec_); !problem.empty()) throw EInvalidPlan(problem);
    SetStartDate(Rec_.StartDate);
    try {
        LastDay_ = DayOfPeriod(Rec_.PeriodCount);
    } catch (const EInvalidDate&) {
        throw EInvalidDate("最後一期的日期超過 9999 年");
    }
}

void TCustomPlan::SetStartDate(TDate D) {
    FirstDay_ = DayOf(D);
    TYearMonthDay first = DecodeDay(FirstDay_);
    const int n = ListedDayCount();
    if (n > 0) {
        const auto entry = [&](int i) { return static_cast<int>(Rec_.MonthDays[static_cast<std::size_t>(i - 1)]); };
        if (entry(n) < first.Day) {
            first.Day = entry(1);
            if (++first.Month > 12) {
                first.Month = 1;
                ++first.Year;
            }
        } else {
            int i = 1;
            while (entry(i) < first.Day) ++i;
            first.Day = entry(i);
        }
        // No shortening here: a first listed day that its month lacks makes no plan.
        try {
            FirstDay_ = EncodeDay(first.Year, first.Month, first.Day);
        } catch (const EInvalidDate&) {
            throw EInvalidDate("第一期的日期不存在");
        }
    }
    FirstYear_ = static_cast<uint16_t>(first.Year);
    FirstMonth_ = static_cast<uint16_t>(first.Month);
    FirstDayOfMonth_ = static_cast<uint16_t>(first.Day);
}

int TCustomPlan::ListedDayCount() const noexcept {
    switch (Rec_.PeriodKind) {
        case prTwiceMonthly: return 2;
        case prThriceMonthly: return 3;
        default: return 0;
    }
}

int TCustomPlan::DayListPos(int Day) const noexcept {
    const int n = ListedDayCount();
    for (int i = 1; i <= n; ++i) {
        if (Rec_.MonthDays[static_cast<std::size_t>(i - 1)] == Day) return i;
    }
    return 0;
}

// Position of the listed day that falls on the given day once shortened to
// the month's end: the first such position, or the last when `last`; 0 when
// no listed day falls on it. For days that are not shortened this is DayListPos.
int TCustomPlan::ListedPosOnDay(const TYearMonthDay& ymd, bool last) const noexcept {
    const int n = ListedDayCount();
    const int monthLength = DaysInMonth(ymd.Year, ymd.Month);
    int found = 0;
    for (int i = 1; i <= n; ++i) {
        const int listed = Rec_.MonthDays[static_cast<std::size_t>(i - 1)];
        if ((listed < monthLength ? listed : monthLength) == ymd.Day) {
            found = i;
            if (!last) break;
        }
    }
    return found;
}

int32_t TCustomPlan::DayOfPeriod(int64_t K) const {
    const int kind = Rec_.PeriodKind;
    const int64_t firstMonth = MonthIndex(FirstYear_, FirstMonth_);
    if (kind == prEveryNDays) {
        const int64_t day = FirstDay_ + (K - 1) * int64_t{Rec_.IntervalDays};
        if (day > kMaxDay) throw EInvalidDate();
        return static_cast<int32_t>(day);
    }
    if (const int s = YearStep(kind)) return ClampedDayOfYear(FirstYear_ + s * (K - 1), FirstMonth_, FirstDayOfMonth_);
    if (const int s = MonthStep(kind)) return ClampedDayAt(firstMonth + (K - 1) * s, FirstDayOfMonth_);
    if (const int n = ListedDayCount()) {
        const int64_t p = DayListPos(FirstDayOfMonth_);
        const int day = Rec_.MonthDays[static_cast<std::size_t>((K + p - 2) % n)];
        const int64_t c = K + p - 1;
        const int64_t months = c / n + (c % n > 0 ? 1 : 0);
        return ClampedDayAt(firstMonth + months - 1, day);
    }
    return FirstDay_;  // once only
}

TDate TCustomPlan::DateOfPeriod(int32_t K) const {
    if (K < 1 || K > Rec_.PeriodCount) return 0;
    return DayOfPeriod(K);
}

int32_t TCustomPlan::AddAmountsByDay(int32_t K, int32_t First, std::span<int64_t> Totals) const {
    const int kind = Rec_.PeriodKind;
    // A once-only plan occurs once, whatever period count its record claims.
    const int32_t count = kind == prOnce ? 1 : Rec_.PeriodCount;
    if (K < 1 || K > count) return 0;
    const int64_t last = int64_t{First} + static_cast<int64_t>(Totals.size()) - 1;
    if (kind == prEveryNDays) {
        // A day holds one period at most: each run of one amount goes in at a stride.
        const int64_t interval = Rec_.IntervalDays;
        while (K <= count) {
            const int64_t day = FirstDay_ + int64_t{K - 1} * interval;
            if (day > last) return static_cast<int32_t>(day);
            const int32_t amount = PeriodAmount(K);
            const int64_t through = std::min<int64_t>({SameAmountThrough(K), count, K + (last - day) / interval});
            for (int64_t d = day - First; K <= through; ++K, d += interval) Totals[static_cast<std::size_t>(d)] += amount;
        }
        return 0;
    }
    // Period K falls on listed day J of a month for twice or thrice a month,
    // on the first occurrence's day of a month for month and year steps.
    // Stepping the month and J from period to period gives DayOfPeriod's days
    // without working each one out from the first occurrence again.
    const int n = ListedDayCount();
    const int monthStep = YearStep(kind) ? 12 * YearStep(kind) : MonthStep(kind);
    int64_t m = MonthIndex(FirstYear_, FirstMonth_);
    int j = 0;
    if (n > 0) {
        const int64_t before =
            int64_t{K} + DayListPos(FirstDayOfMonth_) - 2;  // listed days before K's, from the first month's first
        m += before / n;
        j = static_cast<int>(before % n);
    } else {
        m += int64_t{K - 1} * monthStep;
    }
    const bool byMonth = n > 0 || monthStep > 0;
    TMonthWalk month(byMonth ? m : kFirstMonthIndex);
    const auto dayOfK = [&]() -> int32_t {
        if (n > 0) return month.Day(Rec_.MonthDays[static_cast<std::size_t>(j)]);
        if (monthStep > 0) return month.Day(FirstDayOfMonth_);
        return FirstDay_;
    };
    int32_t amountOfK = 0;
    int32_t sameThrough = 0;  // the amount of K is asked again after this period
    int32_t day = dayOfK();
    while (day <= last) {
        int64_t amount = 0;
        int32_t next = 0;
        do {
            if (K > sameThrough) {
                amountOfK = PeriodAmount(K);
                sameThrough = SameAmountThrough(K);
            }
            amount += amountOfK;
            if (++K > count) {
                next = 0;
                break;
            }
            if (n > 0 && ++j == n) {
                j = 0;
                month.Advance(1);
            } else if (n == 0) {
                month.Advance(monthStep);
            }
            next = dayOfK();
        } while (next == day);
        if (!FitsAmount(amount)) throw EAmountRange();
        if (day >= First) Totals[static_cast<std::size_t>(day - First)] += amount;
        if (next == 0) return 0;
        day = next;
    }
    return day;
}

int32_t TCustomPlan::PeriodIndexOf(int32_t refDay, int32_t day, bool lastOnDay) const {
    // From the first occurrence, whose date is known, only the day needs decoding.
    if (refDay == FirstDay_) {
        return PeriodIndexFrom(refDay, {FirstYear_, FirstMonth_, FirstDayOfMonth_}, day, lastOnDay);
    }
    const int kind = Rec_.PeriodKind;
    const bool dayBased = kind == prEveryNDays || kind == prOnce || kind >= kPeriodKindCount;
    return PeriodIndexFrom(refDay, dayBased ? TYearMonthDay{} : DecodeDay(refDay), day, lastOnDay);
}

int32_t TCustomPlan::PeriodIndexFrom(int32_t refDay, const TYearMonthDay& ref, int32_t day, bool lastOnDay) const {
    const int kind = Rec_.PeriodKind;
    if (kind == prEveryNDays) {
        return static_cast<int32_t>((int64_t{day} - refDay) / Rec_.IntervalDays + 1);
    }
    if (kind == prOnce) return 1;
    if (kind >= kPeriodKindCount) return 0;
    const TYearMonthDay at = DecodeDay(day);
    const int years = at.Year - ref.Year;
    const int months = (at.Year * 12 + at.Month) - (ref.Year * 12 + ref.Month);
    if (const int s = YearStep(kind)) return years / s + 1;
    if (const int s = MonthStep(kind)) return months / s + 1;
    const int n = ListedDayCount();
    return n * months + ListedPosOnDay(at, lastOnDay) - ListedPosOnDay(ref, false) + 1;
}

int32_t TCustomPlan::PeriodIndex(TDate Ref, TDate D) const {
    return PeriodIndexOf(DayOf(Ref), DayOf(D), false);
}

int32_t TCustomPlan::PeriodNumber(TDate D) const {
    return PeriodIndexOf(FirstDay_, DayOf(D), false);
}

int32_t TCustomPlan::LastPeriodNumber(TDate D) const {
    // The last occurrence may share its day with listed days the plan never reaches.
    return std::min(PeriodIndexOf(FirstDay_, DayOf(D), true), Rec_.PeriodCount);
}

// First occurrence after day d, for FirstDay_ <= d < LastDay_.
int32_t TCustomPlan::NextDay(int32_t d) const {
    const int kind = Rec_.PeriodKind;
    const int32_t next = d + 1;
    if (kind == prEveryNDays) {
        const int32_t r = static_cast<int32_t>((int64_t{next} - FirstDay_) % Rec_.IntervalDays);
        return r == 0 ? next : next + Rec_.IntervalDays - r;
    }
    if (kind == prOnce) return FirstDay_;
    const TYearMonthDay ymd = DecodeDay(next);
    const int64_t t = MonthIndex(ymd.Year, ymd.Month);  // month of d + 1
    if (const int s = YearStep(kind)) {
        const int r = (ymd.Year - FirstYear_) % s;
        if (r != 0) return ClampedDayOfYear(ymd.Year + s - r, FirstMonth_, FirstDayOfMonth_);
        const int32_t c = ClampedDayOfYear(ymd.Year, FirstMonth_, FirstDayOfMonth_);
        return c > d ? c : ClampedDayOfYear(ymd.Year + s, FirstMonth_, FirstDayOfMonth_);
    }
    if (const int s = MonthStep(kind)) {
        const int64_t r = (t - MonthIndex(FirstYear_, FirstMonth_)) % s;
        if (r != 0) return ClampedDayAt(t + s - r, FirstDayOfMonth_);
        const int32_t c = ClampedDayAt(t, FirstDayOfMonth_);
        return c > d ? c : ClampedDayAt(t + s, FirstDayOfMonth_);
    }
    if (const int n = ListedDayCount()) {
        for (int i = 0; i < n; ++i) {
            const int32_t c = ClampedDayAt(t, Rec_.MonthDays[static_cast<std::size_t>(i)]);
            if (c > d) return c;
        }
        return ClampedDayAt(t + 1, Rec_.MonthDays[0]);
    }
    return 0;
}

// Last occurrence before day d, for FirstDay_ < d <= LastDay_.
int32_t TCustomPlan::PrevDay(int32_t d) const {
    const int kind = Rec_.PeriodKind;
    const int32_t prev = d - 1;
    if (kind == prEveryNDays) {
        const int32_t r = static_cast<int32_t>((int64_t{prev} - FirstDay_) % Rec_.IntervalDays);
        return prev - r;
    }
    if (kind == prOnce) return LastDay_;
    const TYearMonthDay ymd = DecodeDay(prev);
    const int64_t t = MonthIndex(ymd.Year, ymd.Month);  // month of d - 1
    if (const int s = YearStep(kind)) {
        const int r = (ymd.Year - FirstYear_) % s;
        if (r != 0) return ClampedDayOfYear(ymd.Year - r, FirstMonth_, FirstDayOfMonth_);
        const int32_t c = ClampedDayOfYear(ymd.Year, FirstMonth_, FirstDayOfMonth_);
        return c < d ? c : ClampedDayOfYear(ymd.Year - s, FirstMonth_, FirstDayOfMonth_);
    }
    if (const int s = MonthStep(kind)) {
        const int64_t r = (t - MonthIndex(FirstYear_, FirstMonth_)) % s;
        if (r != 0) return ClampedDayAt(t - r, FirstDayOfMonth_);
        const int32_t c = ClampedDayAt(t, FirstDayOfMonth_);
        return c < d ? c : ClampedDayAt(t - s, FirstDayOfMonth_);
    }
    if (const int n = ListedDayCount()) {
        for (int i = n - 1; i >= 0; --i) {
            const int32_t c = ClampedDayAt(t, Rec_.MonthDays[static_cast<std::size_t>(i)]);
            if (c < d) return c;
        }
        return ClampedDayAt(t - 1, Rec_.MonthDays[static_cast<std::size_t>(n - 1)]);
    }
    return 0;
}

TDate TCustomPlan::NextOccurrence(TDate D) const {
    if (std::isnan(D)) throw EInvalidDate();
    if (D < FirstDay_) return FirstDay_;
    if (D >= LastDay_) return 0;
    // Occurrences are whole days: the first one after D is the first after floor (D).
    return NextDay(static_cast<int32_t>(std::floor(D)));
}

TDate TCustomPlan::PrevOccurrence(TDate D) const {
    if (std::isnan(D)) throw EInvalidDate();
    if (D > LastDay_) return LastDay_;
    if (D <= FirstDay_) return 0;
    return PrevDay(static_cast<int32_t>(std::ceil(D)));
}

int32_t TCustomPlan::PeriodAmount(int32_t K) const {
    if (K < 1 || K > Rec_.PeriodCount) return 0;
    return CheckedAmount(int64_t{Rec_.Amount} * Rec_.Direction);
}

int64_t TCustomPlan::SumOfPeriods(int32_t K1, int32_t K2) const {
    int64_t sum = 0;
    for (int32_t k = K1; k <= K2; ++k) sum += PeriodAmount(k);
    return sum;
}

int32_t TCustomPlan::SameAmountThrough(int32_t) const {
    return Rec_.PeriodCount;
}

int32_t TCustomPlan::AmountBetween(TDate After, TDate Before) const {
    const TDate s = NextOccurrence(After);
    if (s == 0) return 0;
    const TDate e = PrevOccurrence(Before);
    if (e == 0 || s > e) return 0;
    return CheckedAmount(SumOfPeriods(PeriodNumber(s), LastPeriodNumber(e)));
}

int32_t TCustomPlan::AmountBeforeMonth(uint16_t Year, uint16_t Month, TDate After) const {
    return AmountBetween(After, EncodeDate(Year, Month, 1));
}

TFixAccount::TFixAccount(const TPlanRecord& rec) : TCustomPlan(rec, pkFixAccount) {}

int32_t TFixAccount::AmountBetween(TDate After, TDate Before) const {
    // Every occurrence moves the same amount: count them instead of adding up.
    const TDate s = NextOccurrence(After);
    if (s == 0) return 0;
    const TDate e = PrevOccurrence(Before);
    if (e == 0 || s > e) return 0;
    const int64_t count = int64_t{LastPeriodNumber(e)} - PeriodNumber(s) + 1;
    return CheckedAmount(count * PeriodAmount(1));
}

int32_t TCustomPlan::AmountOfThree(const TThreeAmounts& amounts, int32_t K, bool lastWhenSingle) const {
    const int32_t P = Rec_.PeriodCount;
    if (K < 1 || K > P) return 0;
    if (P == 1) return lastWhenSingle ? amounts.Last.Get() : amounts.First.Get();
    if (K == 1) return amounts.First.Get();
    if (K == P) return amounts.Last.Get();
    return amounts.Middle.Get();
}

int64_t TCustomPlan::SumOfThree(const TThreeAmounts& amounts, int32_t K1, int32_t K2, bool lastWhenSingle) const {
    const int32_t P = Rec_.PeriodCount;
    K1 = std::max(K1, 1);
    K2 = std::min(K2, P);
    if (K1 > K2) return 0;
    if (P == 1) return AmountOfThree(amounts, 1, lastWhenSingle);
    int64_t sum = 0;
    if (K1 == 1) sum += amounts.First.Get();
    if (K2 == P) sum += amounts.Last.Get();
    const int64_t middles = int64_t{std::min(K2, P - 1)} - std::max(K1, 2) + 1;
    if (middles > 0) sum += middles * amounts.Middle.Get();
    return sum;
}

int32_t TCustomPlan::SameAmountOfThree(int32_t K) const noexcept {
    const int32_t P = Rec_.PeriodCount;
    if (K <= 1) return 1;
    return K < P ? P - 1 : P;
}

// ---- Savings club --------------------------------------------------------

TCollect::TCollect(const TPlanRecord& rec) : TCustomPlan(rec, pkCollect) {}

int32_t TCollect::PeriodAmount(int32_t K) const {
    const TPlanRecord& r = Rec();
    const int64_t P = r.PeriodCount, A = r.Amount, B = r.BaseBid, X = r.WinningBid, T = r.AboveBaseTotal;
    if (K < 1 || K > P) return 0;
    // A winning meeting below 1 is one that never arrives, like one beyond
    // the last meeting: the member only pays in.
    const int64_t W = r.WinningPeriod >= 1 ? r.WinningPeriod : P + 1;
    if (r.InnerBidding != 0) {
        if (K < W) return CheckedAmount(-(A - B));
        if (K == W) return CheckedAmount(W == 1 ? (P - 1) * A : (A - X) * (P - W) + (W - 1) * A);
        return CheckedAmount(-A);
    }
    if (K < W) return CheckedAmount(-A);
    if (K == W) return CheckedAmount(W == 1 ? (P - 1) * A : (P - 1) * A + T + (W - 2) * B);
    return CheckedAmount(W == 1 ? -A : -(A + X));
}

int64_t TCollect::SumOfPeriods(int32_t K1, int32_t K2) const {
    // Meetings before the member's own, the own one, and those after it
    // each move one amount.
    const int32_t P = Rec().PeriodCount;
    K1 = std::max(K1, 1);
    K2 = std::min(K2, P);
    const int64_t W = Rec().WinningPeriod >= 1 ? Rec().WinningPeriod : int64_t{P} + 1;
    int64_t sum = 0;
    const auto addRun = [&](int64_t lo, int64_t hi) {
        if (lo <= hi) sum += (hi - lo + 1) * PeriodAmount(static_cast<int32_t>(lo));
    };
    addRun(K1, std::min<int64_t>(K2, W - 1));
    if (W >= K1 && W <= K2) sum += PeriodAmount(static_cast<int32_t>(W));
    addRun(std::max<int64_t>(K1, W + 1), K2);
    return sum;
}

int32_t TCollect::SameAmountThrough(int32_t K) const {
    const int32_t P = Rec().PeriodCount;
    const int64_t W = Rec().WinningPeriod >= 1 ? Rec().WinningPeriod : int64_t{P} + 1;
    if (K < W) return static_cast<int32_t>(std::min<int64_t>(W - 1, P));
    return K == W ? K : P;
}

// ---- Simple-interest deposit ---------------------------------------------

TSaving::TSaving(const TPlanRecord& rec) : TCustomPlan(rec, pkSaving) {
    const int64_t A = Rec().Amount;
    const int32_t P = Rec().PeriodCount;
    // The rate is always a percentage here, and one period earns a twelfth
    // of the yearly interest whatever the period kind.
    const long double yearly = static_cast<long double>(AnnualRateOf(Rec())) * static_cast<long double>(A);
    Amounts_.First = TCachedAmount::Of([&] { return CheckedAmount(-A); });
    if (EffectiveMethod(pkSaving, Rec().Method) == mtMonthlyInterest) {
        Amounts_.Middle = TCachedAmount::Of([&] { return RoundAmount(MonthlyShareOfPercent(yearly)); });
        Amounts_.Last = TCachedAmount::Of([&] { return CheckedAmount(int64_t{Amounts_.Middle.Get()} + A); });
    } else {
        Amounts_.Middle = TCachedAmount::Of([] { return 0; });
        Amounts_.Last =
            TCachedAmount::Of([&] { return CheckedAmount(int64_t{RoundAmount(MonthlyShareOfPercent(yearly) * (P - 1))} + A); });
    }
}

int32_t TSaving::PeriodAmount(int32_t K) const {
    return AmountOfThree(Amounts_, K);
}

int64_t TSaving::SumOfPeriods(int32_t K1, int32_t K2) const {
    return SumOfThree(Amounts_, K1, K2);
}

int32_t TSaving::SameAmountThrough(int32_t K) const {
    return SameAmountOfThree(K);
}

// ---- Compound-interest deposit -------------------------------------------

TCompound::TCompound(const TPlanRecord& rec) : TCustomPlan(rec, pkCompound) {
    const int32_t A = Rec().Amount;
    const int32_t P = Rec().PeriodCount;
    const double r = AnnualRateOf(Rec());
    Amounts_.First = TCachedAmount::Of([&] { return CheckedAmount(-int64_t{A}); });
    switch (EffectiveMethod(pkCompound, Rec().Method)) {
        case mtInstalmentsIn:
            Amounts_.Middle = Amounts_.First;
            Amounts_.Last = TCachedAmount::Of([&] { return RoundAmount(static_cast<long double>(AnnuityValue(P, A, r)) - A); });
            break;
        case mtLumpSumInOut:
            Amounts_.Middle = TCachedAmount::Of([] { return 0; });
            Amounts_.Last = TCachedAmount::Of([&] { return RoundAmount(CompoundValue(P - 1, A, r)); });
            break;
        default:  // lump sum in, equal draws out
            Amounts_.Middle = TCachedAmount::Of([&] { return RoundAmount(AnnuityPayment(P - 1, A, r)); });
            Amounts_.Last = Amounts_.Middle;
            break;
    }
}

bool TCompound::LastWhenSingle() const noexcept {
    // Equal deposits with one occurrence: that occurrence is the final one.
    return EffectiveMethod(pkCompound, Rec().Method) == mtInstalmentsIn;
}

int32_t TCompound::PeriodAmount(int32_t K) const {
    return AmountOfThree(Amounts_, K, LastWhenSingle());
}

int64_t TCompound::SumOfPeriods(int32_t K1, int32_t K2) const {
    return SumOfThree(Amounts_, K1, K2, LastWhenSingle());
}

int32_t TCompound::SameAmountThrough(int32_t K) const {
    return SameAmountOfThree(K);
}

// ---- Loan ----------------------------------------------------------------

TLoan::TLoan(const TPlanRecord& rec) : TCustomPlan(rec, pkLoan) {
    const int32_t A = Rec().Amount;
    const int32_t P = Rec().PeriodCount;
    const double r = AnnualRateOf(Rec());
    Amounts_.First = TCachedAmount::Of([&] { return A; });
    if (!EqualPrincipal()) {
        Amounts_.Middle = TCachedAmount::Of([&] { return CheckedAmount(-int64_t{RoundAmount(AnnuityPayment(P - 1, A, r))}); });
        Amounts_.Last = Amounts_.Middle;
        return;
    }
    MonthlyRate_ = MonthlyRate(r);
    if (P > 1) Share_ = static_cast<long double>(A) / (P - 1);
    constexpr int32_t kLongestPrefix = 100000;
    if (P > kLongestPrefix) return;
    try {
        Prefix_.resize(static_cast<std::size_t>(P) + 1);
        Prefix_[1] = A;
        for (int32_t k = 2; k <= P; ++k)
            Prefix_[static_cast<std::size_t>(k)] = Prefix_[static_cast<std::size_t>(k - 1)] + EqualPrincipalAmount(k);
    } catch (const ETamberError&) {
        Prefix_.clear();
    }
}

bool TLoan::EqualPrincipal() const noexcept {
    return EffectiveMethod(pkLoan, Rec().Method) == mtEqualPrincipal;
}

int32_t TLoan::EqualPrincipalAmount(int32_t K) const {
    // The principal share times one plus the interest term, evaluated as written.
    const int32_t P = Rec().PeriodCount;
    return CheckedAmount(-int64_t{RoundAmount(Share_ * (1 + MonthlyRate_ * (P - K + 2)))});
}

int32_t TLoan::PeriodAmount(int32_t K) const {
    const int32_t P = Rec().PeriodCount;
    if (!EqualPrincipal() || K <= 1 || K > P) return AmountOfThree(Amounts_, K);
    if (!Prefix_.empty()) {
        return static_cast<int32_t>(Prefix_[static_cast<std::size_t>(K)] - Prefix_[static_cast<std::size_t>(K - 1)]);
    }
    return EqualPrincipalAmount(K);
}

int64_t TLoan::SumOfPeriods(int32_t K1, int32_t K2) const {
    if (!EqualPrincipal()) return SumOfThree(Amounts_, K1, K2);
    if (Prefix_.empty()) return TCustomPlan::SumOfPeriods(K1, K2);
    K1 = std::max(K1, 1);
    K2 = std::min(K2, Rec().PeriodCount);
    if (K1 > K2) return 0;
    return Prefix_[static_cast<std::size_t>(K2)] - Prefix_[static_cast<std::size_t>(K1 - 1)];
}

int32_t TLoan::SameAmountThrough(int32_t K) const {
    // Equal principal instalments shrink from period to period.
    return EqualPrincipal() && K > 1 ? K : SameAmountOfThree(K);
}

int EffectiveMethod(int planKind, int method) noexcept {
    switch (planKind) {
        case pkSaving: return method == mtMonthlyInterest ? mtMonthlyInterest : mtInterestAtEnd;
        case pkCompound: return method == mtInstalmentsIn || method == mtLumpSumInOut ? method : mtMonthlyInterest;
        case pkLoan: return method == mtEqualInstalments ? mtEqualInstalments : mtEqualPrincipal;
        default: return method;
    }
}

std::unique_ptr<TCustomPlan> CreateFrom(int kind, const TPlanRecord& rec) {
    switch (kind) {
        case pkFixAccount: return std::make_unique<TFixAccount>(rec);
        case pkCollect: return std::make_unique<TCollect>(rec);
        case pkSaving: return std::make_unique<TSaving>(rec);
        case pkCompound: return std::make_unique<TCompound>(rec);
        case pkLoan: return std::make_unique<TLoan>(rec);
        default: return nullptr;
    }
}

std::unique_ptr<TCustomPlan> CreateFrom(const TPlanRecord& rec) {
    return CreateFrom(rec.PlanKind, rec);
}

}  // namespace tamber
