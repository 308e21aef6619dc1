// The plan classes: one money arrangement each, made from a plan record and
// never changed afterwards. Every schedule operation is computed in closed
// form from the first occurrence, so month-end clamping never drifts and the
// views may ask any plan anything on every repaint.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "model/Dates.h"
#include "model/PlanRecord.h"

namespace tamber {

// Says why a record cannot be made into a plan, or "" when it can: the period
// count, the interval, the listed month days, the period kind and the dates
// of the first and the last occurrence are checked. The plan constructors run
// the same check and throw with the same text.
std::string PlanRecordProblem(const TPlanRecord& rec);

class TCustomPlan {
public:
    virtual ~TCustomPlan() = default;
    TCustomPlan(const TCustomPlan&) = delete;
    TCustomPlan& operator=(const TCustomPlan&) = delete;

    const TPlanRecord& Rec() const noexcept { return Rec_; }
    TDate FirstDate() const noexcept { return FirstDay_; }
    TDate LastDate() const noexcept { return LastDay_; }
    uint16_t FirstYear() const noexcept { return FirstYear_; }
    uint16_t FirstMonth() const noexcept { return FirstMonth_; }
    uint16_t FirstDay() const noexcept { return FirstDayOfMonth_; }

    // Signed amount of occurrence K (positive comes in, zero or negative goes
    // out); 0 for K outside 1..PeriodCount. Throws EAmountRange when the
    // amount leaves the signed 32-bit range.
    virtual int32_t PeriodAmount(int32_t K) const;

    // The last occurrence strictly before D; LastDate when D is after it,
    // 0 when D is on or before FirstDate. EInvalidDate for a NaN D.
    virtual TDate PrevOccurrence(TDate D) const;

    // The first occurrence strictly after D; FirstDate when D is before it,
    // 0 when D is on or after LastDate. EInvalidDate for a NaN D.
    virtual TDate NextOccurrence(TDate D) const;

    // Sum of the amounts of the occurrences after day After and before the
    // first day of Year-Month (both exclusive). EAmountRange beyond 32 bits.
    virtual int32_t AmountBeforeMonth(uint16_t Year, uint16_t Month, TDate After) const;

    // Sum of the amounts of all occurrences strictly between After and Before.
    // EAmountRange when the sum leaves the signed 32-bit range.
    virtual int32_t AmountBetween(TDate After, TDate Before) const;

    // Position 1..n of the first listed month day equal to Day, 0 when none
    // (period kinds 6 and 7 only; 0 for every other kind).
    int DayListPos(int Day) const noexcept;

    // Number of listed month days the plan falls on: 2 or 3 for period kinds
    // 6 and 7, 0 otherwise.
    int ListedDayCount() const noexcept;

    // Date of occurrence K (1..PeriodCount); 0 for any other K.
    TDate DateOfPeriod(int32_t K) const;

    // Number of the period containing day D when day Ref counts as period 1;
    // month- and year-based kinds count calendar months or years and ignore
    // the day. EInvalidDate when Ref or D is not a date in years 1..9999.
    int32_t PeriodIndex(TDate Ref, TDate D) const;

    // PeriodIndex (FirstDate, D): on an occurrence day, the number of that
    // occurrence (the first one when two listed days fall on one month-end).
    int32_t PeriodNumber(TDate D) const;

    // On an occurrence day, the number of the last occurrence on that day.
    // It differs from PeriodNumber only when listed days beyond a month's end
    // are shortened onto the same day (the 30th and 31st in April).
    int32_t LastPeriodNumber(TDate D) const;

    // Adds what the plan moves on each day from First to First + Totals.size()
    // - 1 to Totals[day - First], walking the periods once from K (whose day
    // must be First or later): the days of DateOfPeriod, the amounts of
    // PeriodAmount, the periods sharing a day summed first. Returns the day of
    // the first period after the span, 0 when there is none. EAmountRange when
    // a day's amount leaves 32 bits.
    int32_t AddAmountsByDay(int32_t K, int32_t First, std::span<int64_t> Totals) const;

protected:
    // Makes a plan of the given kind from a copy of Rec (its PlanKind byte is
    // overwritten). Throws EInvalidPlan or EInvalidDate as PlanRecordProblem says.
    TCustomPlan(const TPlanRecord& rec, TPlanKindCode kind);

    // Sum of PeriodAmount (K) for K1 <= K <= K2 (K1 <= K2), in 64 bits.
    virtual int64_t SumOfPeriods(int32_t K1, int32_t K2) const;

    // The last period from K (1..PeriodCount) on that moves the same amount
    // as K, so that a walk asks the amount once per run: every period of a
    // fixed flow moves one amount.
    virtual int32_t SameAmountThrough(int32_t K) const;

    // An amount worked out once when the plan is made, or the error that
    // working it out met (handed to whoever asks for the amount).
    class TCachedAmount {
    public:
        template <class Compute>
        static TCachedAmount Of(Compute compute) {
            TCachedAmount cached;
            try {
                cached.Value_ = compute();
            } catch (...) {
                cached.Error_ = std::current_exception();
            }
            return cached;
        }
        int32_t Get() const {
            if (Error_) std::rethrow_exception(Error_);
            return Value_;
        }

    private:
        int32_t Value_ = 0;
        std::exception_ptr Error_;
    };

    // The amounts of a plan whose first occurrence, every occurrence in
    // between and its last occurrence each move one amount.
    struct TThreeAmounts {
        TCachedAmount First, Middle, Last;
    };
    // Occurrence K's amount of such a plan (0 outside 1..PeriodCount); with
    // one occurrence only, LastWhenSingle says whether it moves Last or First.
    int32_t AmountOfThree(const TThreeAmounts& amounts, int32_t K, bool lastWhenSingle = false) const;
    // Their sum over K1..K2 without visiting every occurrence.
    int64_t SumOfThree(const TThreeAmounts& amounts, int32_t K1, int32_t K2, bool lastWhenSingle = false) const;
    // SameAmountThrough for such a plan: the first, the middle run, the last.
    int32_t SameAmountOfThree(int32_t K) const noexcept;

private:
    void SetStartDate(TDate D);
    int32_t DayOfPeriod(int64_t K) const;
    int ListedPosOnDay(const TYearMonthDay& ymd, bool last) const noexcept;
    int32_t PeriodIndexOf(int32_t refDay, int32_t day, bool lastOnDay) const;
    // PeriodIndexOf with Ref the decoded RefDay (left empty for day-based kinds).
    int32_t PeriodIndexFrom(int32_t refDay, const TYearMonthDay& ref, int32_t day, bool lastOnDay) const;
    int32_t NextDay(int32_t d) const;
    int32_t PrevDay(int32_t d) const;

    TPlanRecord Rec_;
    int32_t FirstDay_ = 0;
    int32_t LastDay_ = 0;
    uint16_t FirstYear_ = 0;
    uint16_t FirstMonth_ = 0;
    uint16_t FirstDayOfMonth_ = 0;
};

class TFixAccount : public TCustomPlan {
public:
    explicit TFixAccount(const TPlanRecord& rec);
    int32_t AmountBetween(TDate After, TDate Before) const override;
};

// Membership of a rotating savings club: pays in at every meeting, collects
// the pot at its own meeting.
class TCollect : public TCustomPlan {
public:
    explicit TCollect(const TPlanRecord& rec);
    int32_t PeriodAmount(int32_t K) const override;

protected:
    int64_t SumOfPeriods(int32_t K1, int32_t K2) const override;
    int32_t SameAmountThrough(int32_t K) const override;
};

// Simple-interest time deposit.
class TSaving : public TCustomPlan {
public:
    explicit TSaving(const TPlanRecord& rec);
    int32_t PeriodAmount(int32_t K) const override;

protected:
    int64_t SumOfPeriods(int32_t K1, int32_t K2) const override;
    int32_t SameAmountThrough(int32_t K) const override;

private:
    TThreeAmounts Amounts_;
};

// Compound-interest savings deposit.
class TCompound : public TCustomPlan {
public:
    explicit TCompound(const TPlanRecord& rec);
    int32_t PeriodAmount(int32_t K) const override;

protected:
    int64_t SumOfPeriods(int32_t K1, int32_t K2) const override;
    int32_t SameAmountThrough(int32_t K) const override;

private:
    bool LastWhenSingle() const noexcept;
    TThreeAmounts Amounts_;
};

// Loan: the amount comes in first and is repaid over the later occurrences.
class TLoan : public TCustomPlan {
public:
    explicit TLoan(const TPlanRecord& rec);
    int32_t PeriodAmount(int32_t K) const override;

protected:
    int64_t SumOfPeriods(int32_t K1, int32_t K2) const override;
    int32_t SameAmountThrough(int32_t K) const override;

private:
    bool EqualPrincipal() const noexcept;
    int32_t EqualPrincipalAmount(int32_t K) const;
    TThreeAmounts Amounts_;        // equal instalments only
    long double MonthlyRate_ = 0;  // equal principal: the monthly rate
    long double Share_ = 0;        // equal principal: the principal share
    // Equal principal: sums of the amounts of periods 1..K, so that a sum
    // over any span is one subtraction; empty when an amount cannot be
    // computed (the failure then reaches whoever asks) or for very long loans.
    std::vector<int64_t> Prefix_;
};

// The method a deposit or loan computes with: the code itself when listed
// for the plan kind, otherwise the one the editor saves for it (simple
// deposit: interest at the end; compound: lump sum in, equal draws out; loan:
// equal principal). Other plan kinds give their code unchanged.
int EffectiveMethod(int planKind, int method) noexcept;

// Makes the plan of the class that kind (0..4) names from Rec; nullptr for
// any other kind. Throws as the constructors do.
std::unique_ptr<TCustomPlan> CreateFrom(int kind, const TPlanRecord& rec);

// Makes the plan of the class named by the record's own PlanKind byte, or
// nullptr when that byte is not a plan kind (such records are skipped).
std::unique_ptr<TCustomPlan> CreateFrom(const TPlanRecord& rec);

}  // namespace tamber
