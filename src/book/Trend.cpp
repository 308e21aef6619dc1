#include "Trend.h"

#include <algorithm>
#include <cstdio>

#include "Big5.h"
#include "BookErrors.h"

namespace tamber {
namespace {

// Points Cursor at Date (0 for none) with what Plan moves on that day.
void AimCursor(const TCustomPlan& plan, TPlanCursor& cursor, TDate date) {
    cursor.NextDate = date;
    cursor.NextPeriod = 0;
    cursor.NextAmount = 0;
    if (date == 0) return;
    // Period numbers come from the date itself, and every period on the day
    // is counted: two listed days shortened onto one month end are two
    // occurrences on one day, and counting on by one would shift every later
    // amount by a period.
    cursor.NextPeriod = plan.PeriodNumber(date);
    int64_t amount = 0;
    for (int32_t k = cursor.NextPeriod, last = plan.LastPeriodNumber(date); k <= last; ++k) {
        amount += plan.PeriodAmount(k);
    }
    cursor.NextAmount = CheckedSum(amount);
}

}  // namespace

TChartInterval ChartInterval(int64_t count, TChartUnit unit) noexcept {
    int32_t unitDays = 1;
    int32_t maxCount = kMaxChartDays;
    if (unit == TChartUnit::Months) {
        unitDays = 30;
        maxCount = kMaxChartMonths;
    } else if (unit == TChartUnit::Years) {
        unitDays = 365;
        maxCount = kMaxChartYears;
    }
    const auto charted = static_cast<int32_t>(std::clamp<int64_t>(count, 1, maxCount));
    return {charted, charted * unitDays, unitDays};
}

int32_t ComputeStartBalance(const TPlanBook& book, int32_t openingBalance, TDate start, TDate today) {
    // From today or earlier the line starts at today's opening balance; a later
    // start first adds what falls due from today up to the day before it.
    int64_t balance = openingBalance;
    if (start > today) {
        for (int i = 0; i < book.Count(); ++i) {
            const TCustomPlan& plan = book.Plan(i);
            balance += ForPlan(i, [&] { return plan.AmountBetween(today - 1, start); });
        }
    }
    return CheckedSum(balance);
}

TPlanCursors StartPlanCursors(const TPlanBook& book, TDate start) {
    TPlanCursors cursors(static_cast<std::size_t>(book.Count()));
    for (int i = 0; i < book.Count(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        ForPlan(i, [&] { AimCursor(plan, cursors[static_cast<std::size_t>(i)], plan.NextOccurrence(start - 1)); });
    }
    return cursors;
}

int32_t DaySum(const TPlanBook& book, TPlanCursors& cursors, TDate day) {
    int64_t total = 0;
    for (int i = 0; i < book.Count() && static_cast<std::size_t>(i) < cursors.size(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        TPlanCursor& cursor = cursors[static_cast<std::size_t>(i)];
        ForPlan(i, [&] {
            if (cursor.NextDate != 0 && cursor.NextDate < day) AimCursor(plan, cursor, plan.NextOccurrence(day - 1));
            if (cursor.NextDate == 0 || cursor.NextDate != day) return;
            total += cursor.NextAmount;
            AimCursor(plan, cursor, plan.NextOccurrence(day));
        });
    }
    return CheckedSum(total);
}

std::vector<TPlanBar> PlanBars(const TCustomPlan& plan, int planIndex, TDate start, int32_t days) {
    std::vector<TPlanBar> bars;
    const TDate end = start + days - 1;
    ForPlan(planIndex, [&] {
        TPlanCursor cursor;
        for (AimCursor(plan, cursor, plan.NextOccurrence(start - 1)); cursor.NextDate != 0 && cursor.NextDate <= end;
             AimCursor(plan, cursor, plan.NextOccurrence(cursor.NextDate))) {
            bars.push_back({planIndex, cursor.NextDate, cursor.NextAmount});
        }
    });
    return bars;
}

TTrendLine::TTrendLine(const TPlanBook& book, int32_t openingBalance, TDate start, int32_t days, TDate today)
    : ChartStartDate_(start), DayCount_(days > 0 ? days : 0) {
    Cursors_ = StartPlanCursors(book, start);
    StartBalance_ = ComputeStartBalance(book, openingBalance, start, today);
    // The same sums as DaySum for each day in turn, gathered plan by plan so
    // that a long interval costs the occurrences in it rather than days x plans;
    // every cursor ends where the day-by-day walk leaves it.
    std::vector<int64_t> dayTotals(static_cast<std::size_t>(DayCount_));
    const TDate last = start + DayCount_ - 1;
    for (int i = 0; i < book.Count(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        TPlanCursor& cursor = Cursors_[static_cast<std::size_t>(i)];
        ForPlan(i, [&] {
            if (plan.Rec().PeriodKind == prOnce) {
                // One occurrence, whatever the period count says.
                for (; cursor.NextDate != 0 && cursor.NextDate <= last; AimCursor(plan, cursor, plan.NextOccurrence(cursor.NextDate))) {
                    dayTotals[static_cast<std::size_t>(cursor.NextDate - start)] += cursor.NextAmount;
                }
                return;
            }
            // From day to day by period number: each date comes in closed form
            // from the first occurrence, with no day to decode, and the periods
            // sharing a day (listed days shortened onto one month end) are
            // added up as AimCursor adds them.
            TDate day = cursor.NextDate;
            int32_t k = cursor.NextPeriod;  // the first period on Day
            while (day != 0 && day <= last) {
                int64_t amount = 0;
                TDate next = day;
                for (; next == day; next = plan.DateOfPeriod(++k)) amount += plan.PeriodAmount(k);
                dayTotals[static_cast<std::size_t>(day - start)] += CheckedSum(amount);
                day = next;  // 0 after the last period
            }
            AimCursor(plan, cursor, day);
        });
    }
    int64_t balance = StartBalance_;
    for (int32_t j = 0; j < DayCount_; ++j) {
        balance += CheckedSum(dayTotals[static_cast<std::size_t>(j)]);
        Points_.push_back({start + j, CheckedSum(balance)});
    }
}

std::vector<TPlanBar> TTrendLine::StepOneDay(const TPlanBook& book) {
    const TDate start = ChartStartDate_ + 1;
    std::vector<TPlanBar> bars;
    if (Points_.empty()) {
        ChartStartDate_ = start;
        return bars;
    }
    const TDate last = start + DayCount_ - 1;
    for (int i = 0; i < book.Count() && static_cast<std::size_t>(i) < Cursors_.size(); ++i) {
        const TPlanCursor& cursor = Cursors_[static_cast<std::size_t>(i)];
        if (cursor.NextDate != 0 && cursor.NextDate == last) bars.push_back({i, last, cursor.NextAmount});
    }
    // Worked on copies so that a failure leaves the line as it was.
    TPlanCursors cursors = Cursors_;
    const int32_t balance = CheckedSum(int64_t{Points_.back().Balance} + DaySum(book, cursors, last));
    Cursors_ = std::move(cursors);
    ChartStartDate_ = start;
    Points_.pop_front();
    Points_.push_back({last, balance});
    return bars;
}

std::string PlanChartTitle(const TPlanRecord& rec) {
    const std::string_view description = DescriptionBytes(rec);
    if (description.empty()) return "(" + std::to_string(rec.Amount) + ")";
    return std::string(description.substr(0, Big5CutLength(description, 10)));
}

std::string PlanChartItem(const TPlanRecord& rec) {
    return std::string(DescriptionBytes(rec)) + "  (" + std::to_string(rec.Amount) + ")";
}

std::string AxisDateLabel(TDate date) {
    const TYearMonthDay ymd = DecodeDate(date);
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%d/%d", ymd.Year % 100, ymd.Month, ymd.Day);
    return text;
}

}  // namespace tamber
