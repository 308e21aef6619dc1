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

TBalanceRun RunBalances(const TPlanBook& book, int32_t startBalance, TDate start, int32_t days, TPlanCursors& cursors) {
    // The same sums as DaySum for each day in turn, gathered plan by plan so
    // that a long span costs the occurrences in it rather than days x plans;
    // every cursor ends where the day-by-day walk leaves it.
    std::vector<int64_t> dayTotals(static_cast<std::size_t>(std::max(days, 0)));
    const TDate last = start + static_cast<double>(dayTotals.size()) - 1;
    const int32_t first = DayOf(start);
    for (int i = 0; i < book.Count() && static_cast<std::size_t>(i) < cursors.size(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        TPlanCursor& cursor = cursors[static_cast<std::size_t>(i)];
        if (cursor.NextDate == 0 || cursor.NextDate > last) continue;
        ForPlan(i, [&] { AimCursor(plan, cursor, plan.AddAmountsByDay(cursor.NextPeriod, first, dayTotals)); });
    }
    TBalanceRun run;
    run.Points.reserve(dayTotals.size());
    int64_t balance = startBalance;
    for (std::size_t j = 0; j < dayTotals.size(); ++j) {
        balance += dayTotals[j];
        const TDate day = start + static_cast<double>(j);
        if (dayTotals[j] != static_cast<int32_t>(dayTotals[j]) || balance != static_cast<int32_t>(balance)) {
            run.OutOfRangeFrom = day;
            break;
        }
        run.Points.push_back({day, static_cast<int32_t>(balance)});
    }
    return run;
}

TTrendLine::TTrendLine(const TPlanBook& book, int32_t openingBalance, TDate start, int32_t days, TDate today)
    : ChartStartDate_(start), DayCount_(days > 0 ? days : 0) {
    Cursors_ = StartPlanCursors(book, start);
    StartBalance_ = ComputeStartBalance(book, openingBalance, start, today);
    const TBalanceRun run = RunBalances(book, StartBalance_, start, DayCount_, Cursors_);
    if (run.OutOfRangeFrom != 0) throw EAmountRange();
    Points_.assign(run.Points.begin(), run.Points.end());
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
