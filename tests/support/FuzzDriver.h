// Everything the program computes on a plan file, driven from its raw bytes, for the fuzz target and its corpus test. A
// failure reported to the user (ETamberError) is a proper outcome; a std::logic_error says two computations disagree.
#pragma once

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string_view>

#include "book/BookErrors.h"
#include "book/CatchUp.h"
#include "book/Ledger.h"
#include "book/LookAhead.h"
#include "book/PlanFields.h"
#include "book/PlanFile.h"
#include "book/Trend.h"
#include "model/Big5.h"

namespace tamber::support {

inline void Check(bool ok, const char* rule) {
    if (!ok) throw std::logic_error(rule);
}
inline bool IsDay(TDate d) {
    return std::isfinite(d) && d == std::trunc(d) && d >= kMinDay && d <= kMaxDay;
}
inline TDate ClampDay(double d) {
    return std::clamp(std::trunc(d), double{kMinDay}, double{kMaxDay});
}

template <class T>
T ReadAt(std::string_view bytes, std::size_t offset) {
    T value{};
    if (bytes.size() >= offset + sizeof value) std::copy_n(bytes.data() + offset, sizeof value, reinterpret_cast<char*>(&value));
    return value;
}

// Runs Work; false when it failed with an error reported to the user.
template <class F>
bool Reported(F&& work) try {
    work();
    return true;
} catch (const ETamberError&) {
    return false;
}

// Up to 48 occurrences after Start against their numbers, dates and neighbours, then their sum against AmountBetween.
inline void WalkFrom(const TCustomPlan& plan, const TDate start) {
    TDate from = start;
    int64_t walked = 0;
    const bool whole = Reported([&] {
        TDate d = plan.NextOccurrence(from);
        for (int step = 0; d != 0 && step < 48; ++step, from = d, d = plan.NextOccurrence(d)) {
            const int32_t k = plan.PeriodNumber(d), last = plan.LastPeriodNumber(d);
            const TDate next = plan.NextOccurrence(d);
            Check(IsDay(d) && d > from && d >= plan.FirstDate() && d <= plan.LastDate() && plan.NextOccurrence(d - 1) == d &&
                      k >= 1 && k <= last && last <= plan.Rec().PeriodCount && plan.DateOfPeriod(k) == d && plan.DateOfPeriod(last) == d &&
                      (next == 0 ? d == plan.LastDate() : plan.PrevOccurrence(next) == d && plan.PeriodNumber(next) == last + 1),
                  "an occurrence out of place or misnumbered");
            for (int32_t p = k; p <= last; ++p) walked += plan.PeriodAmount(p);
        }
    });
    int32_t between = 0;
    if (!whole) return;
    const bool computed = Reported([&] { between = plan.AmountBetween(start, from + 1); });
    Check(walked == int32_t(walked) ? computed && between == walked : !computed, "a span's sum differs from its occurrences");
}

// Balance against the chart's start balance of Day (the balance at the end of the day before), where that is computed.
inline void CheckChartBalance(const TPlanBook& book, int32_t opening, TDate day, TDate today, int32_t balance, const char* rule) {
    int32_t chart = 0;
    if (Reported([&] { chart = ComputeStartBalance(book, opening, day, today); })) Check(chart == balance, rule);
}

// The calendar's month of Day: its last balance against the chart's start balance of the day after.
inline void DriveMonth(const TPlanBook& book, int32_t opening, TDate today, TDate day) {
    const TYearMonthDay ymd = DecodeDate(day);
    TPlanBookState state;
    state.OpeningBalance = opening;
    state.SetCurrentDate(today);
    TCalendarMonth calendar;
    if (!Reported([&] { ComputeMonth(book, state, ymd.Year, ymd.Month, today, calendar); })) return;
    const TDate end = EncodeDate(ymd.Year, ymd.Month, 1) + calendar.DaysThisMonth();
    const int32_t last = calendar.Cell(calendar.DayToCell(calendar.DaysThisMonth())).Balance;
    if (end > today) CheckChartBalance(book, opening, end, today, last, "a calendar balance differs from the chart's");
}

// Loads Bytes as a plan file and drives every computation on what loaded. Header bytes the file format leaves
// without meaning choose the days: bytes 8..9 how long after the balance date the file is opened, bytes 12..15
// another today for the calendar and the chart (0: the same day), bytes 16..19 the chart's unit, count and start.
inline void DrivePlanBytes(std::string_view bytes) {
    TPlanBook book;
    TPlanFileHeader header;
    if (!Reported([&] { header = ReadPlanBytes(bytes, book); })) return Check(book.Empty(), "a refused file left plans behind");
    Check(IsDay(std::trunc(header.BalanceDate)), "a header date accepted outside the calendar");

    // The catch-up accepted unchanged: the loaded balance plus every plan's occurrences in between (today: day 1 on).
    const TDate catchUpToday = ClampDay(header.BalanceDate + 2 + ReadAt<uint16_t>(bytes, 8) % 1024);
    int32_t opening = header.Balance;
    if (catchUpToday >= 1 && !book.Empty()) Reported([&] {
        const TPendingList pending = BuildPendingList(book, header.BalanceDate, catchUpToday);
        int64_t expected = header.Balance;
        const bool summed = Reported([&] {
            for (int i = 0; i < book.Count(); ++i) expected += book.Plan(i).AmountBetween(header.BalanceDate, catchUpToday);
        });
        const bool fits = Reported([&] { opening = CaughtUpBalance(header.Balance, pending); });
        if (summed) Check(fits ? opening == expected : expected != int32_t(expected), "the caught-up balance differs from the plans' sums");
    });
    const auto viewDay = ReadAt<uint32_t>(bytes, 12);
    const TDate today = viewDay == 0 && catchUpToday >= 1 ? catchUpToday : 1 + double(viewDay % uint32_t{kMaxDay});

    for (int i = 0; i < book.Count(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        const int32_t count = plan.Rec().PeriodCount;
        Check(count >= 1 && IsDay(plan.FirstDate()) && IsDay(plan.LastDate()) && plan.NextOccurrence(plan.FirstDate() - 0.5) == plan.FirstDate() &&
                  plan.PrevOccurrence(plan.LastDate() + 1) == plan.LastDate() && plan.DateOfPeriod(count) == plan.LastDate() &&
                  plan.PeriodAmount(0) == 0 && plan.PeriodAmount(INT32_MIN) == 0 && (count == INT32_MAX || plan.PeriodAmount(count + 1) == 0),
              "the first or last occurrence");
        // Day 0 also means "no occurrence": walks start there at the earliest, as the program's start from today.
        for (const TDate from : {plan.FirstDate() - 1, today - 1, plan.LastDate() - 40}) WalkFrom(plan, std::max(from, 0.0));
        Reported([&] {  // the plan in the chart's list and in the editor, entered again
            (void)Big5ToUtf8(PlanChartTitle(plan.Rec()) + PlanChartItem(plan.Rec()));
            TPlanFields fields;
            PlanIntoFields(plan.Rec(), fields);
            (void)MakeEnteredPlan(fields, ReadPlanFields(fields));
        });
    }
    // Today's month, the next, a year on, the last, the months of the first plans' next occurrences (December 1899 if none).
    for (const TDate day : {today, ClampDay(today + 31), ClampDay(today + 366), TDate{kMaxDay}}) DriveMonth(book, opening, today, day);
    for (int i = 0; i < std::min(book.Count(), 3); ++i) Reported([&] { DriveMonth(book, opening, today, book.Plan(i).NextOccurrence(today + 31)); });
    // The chart the bytes choose, stepped three days on; only a line from today on holds the calendar's balances.
    const TChartInterval interval = ChartInterval(ReadAt<uint8_t>(bytes, 17), static_cast<TChartUnit>(ReadAt<uint8_t>(bytes, 16) % 3));
    const TDate start = std::max(ClampDay(today + ReadAt<int16_t>(bytes, 18)), 1.0);
    Reported([&] {
        TTrendLine line(book, opening, start, interval.DayCount, today);
        for (int step = 0; step < 3; ++step) {
            const TBalancePoint last = line.Points().back();
            Check(line.Points().size() == std::size_t(interval.DayCount) && last.Date == line.ChartStartDate() + interval.DayCount - 1,
                  "trend points");
            if (start >= today) CheckChartBalance(book, opening, last.Date + 1, today, last.Balance, "a trend balance differs");
            for (const TPlanBar& bar : line.StepOneDay(book)) {
                Check(bar.Date == line.Points().back().Date && book.Plan(bar.PlanIndex).NextOccurrence(bar.Date - 1) == bar.Date,
                      "a bar of a plan not due");
            }
        }
    });
    Reported([&] {  // the lowest balance ahead is the chart's balance of its day
        const TLookAhead ahead = LookAhead(book, opening, today);
        if (ahead.Lowest) CheckChartBalance(book, opening, ahead.Lowest->Date + 1, today, ahead.Lowest->Balance, "lowest balance");
    });
    struct : TByteSink {
        std::string Bytes;
        void Write(const uint8_t* data, std::size_t size) override { Bytes.append(reinterpret_cast<const char*>(data), size); }
        void Finish() override {}
    } sink;
    WritePlanFile(sink, book, header);
    TPlanBook again;
    Check(Reported([&] { (void)ReadPlanBytes(sink.Bytes, again); }) && again.Count() == book.Count(), "a written book does not read back");
    for (int i = 0; i < book.Count(); ++i) Check(RecordToBytes(again.Plan(i).Rec()) == RecordToBytes(book.Plan(i).Rec()), "a record changed");
}

}  // namespace tamber::support
