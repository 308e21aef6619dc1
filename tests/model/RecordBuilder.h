// Builds plan records for tests, field by field, from a zero record.
#pragma once

#include "model/Dates.h"
#include "model/PlanRecord.h"
#include "model/cplanunit.h"

namespace tamber::test {

struct RecordBuilder {
    TPlanRecord rec = ZeroPlanRecord();

    RecordBuilder(int periodKind, TDate start, int periodCount) {
        rec.PeriodKind = static_cast<uint8_t>(periodKind);
        rec.StartDate = start;
        rec.PeriodCount = periodCount;
        rec.Direction = 1;
    }
    RecordBuilder& Interval(int days) { rec.IntervalDays = days; return *this; }
    RecordBuilder& Days(uint16_t a, uint16_t b, uint16_t c = 0) { rec.MonthDays = {a, b, c}; return *this; }
    RecordBuilder& Amount(int32_t amount, int32_t direction = 1) {
        rec.Amount = amount;
        rec.Direction = direction;
        return *this;
    }
    RecordBuilder& Kind(int planKind) { rec.PlanKind = static_cast<uint8_t>(planKind); return *this; }
    RecordBuilder& Method(int method) { rec.Method = static_cast<uint8_t>(method); return *this; }
    RecordBuilder& Rate(double rate) { SetAnnualRate(rec, rate); return *this; }
    RecordBuilder& Club(int32_t baseBid, int32_t winningBid, int32_t winningPeriod, bool inner, int32_t aboveBase) {
        rec.BaseBid = baseBid;
        rec.WinningBid = winningBid;
        rec.WinningPeriod = winningPeriod;
        rec.InnerBidding = inner ? 1 : 0;
        rec.AboveBaseTotal = aboveBase;
        return *this;
    }
    operator TPlanRecord() const { return rec; }
};

// A plan that sums its amounts one occurrence at a time with the base
// amount rule, to check the summing form against the counting one.
struct SummingPlan : TCustomPlan {
    explicit SummingPlan(const TPlanRecord& rec) : TCustomPlan(rec, pkCollect) {}
};

inline TDate Ymd(int y, int m, int d) { return EncodeDate(y, m, d); }

}  // namespace tamber::test
