// Everything the program computes on a plan file, driven from its raw bytes
// (the loader, every plan's occurrences and amounts, the catch-up list, the
// calendar's months, the day lists, the trend line and its one-day step, the
// chart's and the editor's view of each plan, writing the book back) for the
// fuzz target and the test replaying the files it found. A failure reported to
// the user (an ETamberError) is a proper outcome; anything else escapes: another
// exception, or a TDriverFault when an occurrence breaks its plan's numbering
// or two independent computations of one figure differ.
#pragma once

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "book/BookErrors.h"
#include "book/LookAhead.h"
#include "Oracle.h"
#include "book/PlanFields.h"
#include "book/PlanFile.h"

namespace tamber::support {

// A figure that breaks a rule of the plan model: a fault of the program.
class TDriverFault : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

namespace fuzz_detail {

inline void Check(bool ok, const char* rule) {
    if (!ok) throw TDriverFault(rule);
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
    if (bytes.size() >= offset + sizeof value) std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// Runs Work; false when it failed with an error reported to the user.
template <class F>
bool Reported(F&& work) {
    try {
        work();
        return true;
    } catch (const ETamberError&) {
        return false;
    }
}

// Up to 48 occurrences after From, each against its period numbers, DateOfPeriod and its neighbours.
inline void WalkFrom(const TCustomPlan& plan, TDate from) {
    Reported([&] {
        TDate d = plan.NextOccurrence(from);
        for (int step = 0; d != 0 && step < 48; ++step) {
            const int32_t k = plan.PeriodNumber(d);
            const int32_t last = plan.LastPeriodNumber(d);
            Check(IsDay(d) && d > from && d >= plan.FirstDate() && d <= plan.LastDate() && plan.NextOccurrence(d - 1) == d,
                  "occurrence out of place");
            Check(k >= 1 && k <= last && last <= plan.Rec().PeriodCount && plan.DateOfPeriod(k) == d &&
                      plan.DateOfPeriod(last) == d,
                  "period numbers of an occurrence");
            const TDate next = plan.NextOccurrence(d);
            Check(next == 0 ? d == plan.LastDate() : plan.PrevOccurrence(next) == d && plan.PeriodNumber(next) == last + 1,
                  "neighbouring occurrences");
            from = d;
            d = next;
        }
    });
}

inline void DrivePlan(const TCustomPlan& plan, TDate today) {
    const int32_t count = plan.Rec().PeriodCount;
    const TDate first = plan.FirstDate();
    const TDate last = plan.LastDate();
    Check(count >= 1 && IsDay(first) && IsDay(last) && first <= last, "periods or end dates");
    Check(plan.NextOccurrence(first - 0.5) == first && plan.PrevOccurrence(last + 1) == last &&
              plan.DateOfPeriod(0) == 0 && plan.DateOfPeriod(1) == first && plan.DateOfPeriod(count) == last,
          "first or last occurrence");

    // Walks and sums start on day 0 at the earliest: day 0 (30 December 1899)
    // also means "no occurrence", so an occurrence on it ends every walk that
    // meets it, and the program's walks all start from today or a picked date.
    const TDate head = std::max(first - 1, 0.0);
    const TDate tail = std::max(last - 40, 0.0);
    for (const TDate from : {head, today - 1, tail}) WalkFrom(plan, from);
    // AmountBetween against the same occurrences added one by one.
    for (const auto& span : {std::pair{head, first + 400}, {today - 1, today + 200}, {tail, last + 1}}) {
        int64_t walked = 0;
        int32_t between = 0;
        if (!Reported([&] { walked = OracleAmountBetween(plan, span.first, span.second); })) continue;
        const bool computed = Reported([&] { between = plan.AmountBetween(span.first, span.second); });
        Check(FitsAmount(walked) ? computed && between == walked : !computed, "span sum differs from its occurrences");
    }

    // Every amount of a short plan; of a long one, both ends and the middle.
    std::vector<int64_t> periods = {0, 1, 2, count / 2, int64_t{count} - 1, count, int64_t{count} + 1};
    for (int64_t k = 3; count <= 2048 && k < count - 1; ++k) periods.push_back(k);
    for (const int64_t k : periods) {
        int32_t amount = 0;
        if (k <= std::numeric_limits<int32_t>::max() &&
            Reported([&] { amount = plan.PeriodAmount(static_cast<int32_t>(k)); })) {
            Check(amount == 0 || (k >= 1 && k <= count), "amount outside the periods");
        }
    }
    Check(plan.PeriodAmount(-1) == 0 && plan.PeriodAmount(std::numeric_limits<int32_t>::min()) == 0,
          "amount of a negative period");

    // What the chart shows for the plan, and the plan shown in the editor and entered again unchanged.
    Reported([&] {
        (void)Utf8ToBig5(Big5ToUtf8(DescriptionBytes(plan.Rec())));
        (void)Big5ToUtf8(PlanChartTitle(plan.Rec()));
        (void)Big5ToUtf8(PlanChartItem(plan.Rec()));
        TPlanFields fields;
        PlanIntoFields(plan.Rec(), fields);
        (void)MakeEnteredPlan(fields, ReadPlanFields(fields));
    });
}

// The catch-up list accepted unchanged: the loaded balance plus each plan's
// occurrences in between, as AmountBetween sums them. Gives the new opening balance.
inline int32_t DriveCatchUp(const TPlanBook& book, const TPlanFileHeader& header, TDate today) {
    TPendingList pending;
    if (book.Empty() || !(today - 1 > header.BalanceDate) ||
        !Reported([&] { pending = BuildPendingList(book, header.BalanceDate, today); })) {
        return header.Balance;
    }
    int64_t expected = header.Balance;
    bool summed = true;
    for (int i = 0; i < book.Count() && summed; ++i) {
        summed = Reported([&] { expected += book.Plan(i).AmountBetween(header.BalanceDate, today); });
    }
    int32_t accepted = header.Balance;
    const bool fits = Reported([&] { accepted = CaughtUpBalance(header.Balance, pending); });
    if (summed) Check(fits ? accepted == expected : !FitsAmount(expected), "caught-up balance differs from the plans' sums");
    return accepted;
}

// The calendar's month of Day: its last balance is the opening balance plus
// every occurrence from today to the month's end, which the chart computes its own way.
inline void DriveMonth(const TPlanBook& book, int32_t opening, TDate today, TDate day) {
    const TYearMonthDay ymd = DecodeDate(day);
    TPlanBookState state;
    state.OpeningBalance = opening;
    state.SetCurrentDate(today);
    TCalendarMonth calendar;
    TMonthTotals totals;
    if (!Reported([&] { totals = ComputeMonth(book, state, ymd.Year, ymd.Month, today, calendar); })) return;
    Check(totals.Income >= 0 && totals.Expense <= 0, "month totals of the wrong sign");
    const int days = DaysInMonth(ymd.Year, ymd.Month);
    const TDate end = EncodeDate(ymd.Year, ymd.Month, 1) + days;
    int32_t expected = 0;
    // A month before today shows the opening balance only.
    if (end > today && Reported([&] { expected = ComputeStartBalance(book, opening, end, today); })) {
        Check(calendar.Cell(calendar.DayToCell(days)).Balance == expected, "calendar balance differs from the chart's");
    }
}

// The chart of a unit, count and start the bytes choose: every plan's bars,
// then the line and three one-day steps, each adding the bars of the plans due
// on the new last day.
inline void DriveTrend(const TPlanBook& book, int32_t opening, TDate today, std::string_view bytes) {
    const TChartInterval interval =
        ChartInterval(ReadAt<uint8_t>(bytes, 17), static_cast<TChartUnit>(ReadAt<uint8_t>(bytes, 16) % 3));
    const TDate start = std::max(ClampDay(today + ReadAt<int16_t>(bytes, 18)), 1.0);
    for (int i = 0; i < book.Count(); ++i) {
        Reported([&] {
            const std::vector<TPlanBar> bars = PlanBars(book.Plan(i), i, start, std::min(interval.DayCount, 731));
            const auto unordered = [](const TPlanBar& a, const TPlanBar& b) { return a.Date >= b.Date; };
            Check((bars.empty() || bars[0].Date >= start) && std::adjacent_find(bars.begin(), bars.end(), unordered) == bars.end(),
                  "plan bars out of order");
        });
    }
    Reported([&] {
        TTrendLine line(book, opening, start, interval.DayCount, today);
        for (int step = 0; step < 3; ++step) {
            const auto& points = line.Points();
            Check(points.size() == static_cast<std::size_t>(interval.DayCount), "trend points");
            for (std::size_t j = 0; j < points.size(); ++j) {
                Check(points[j].Date == line.ChartStartDate() + static_cast<double>(j), "trend dates");
            }
            // A line started before today runs from the opening balance and
            // adds the days before today as well: only one started on today or
            // later holds the calendar's balances.
            int32_t expected = 0;
            if (start >= today &&
                Reported([&] { expected = ComputeStartBalance(book, opening, points.back().Date + 1, today); })) {
                Check(points.back().Balance == expected, "trend balance differs from the start balance");
            }
            Reported([&] { (void)AxisDateLabel(points.front().Date); });
            std::vector<TPlanBar> bars;
            std::vector<TPlanBar> due;
            if (!Reported([&] { bars = line.StepOneDay(book); })) break;
            if (Reported([&] { due = OracleDayBars(book, line.Points().back().Date); })) {
                Check(bars == due, "step bars differ from the plans due that day");
            }
        }
    });
}

// Writes the book back and reads it again: the same plans, byte for byte.
inline void DriveRoundTrip(const TPlanBook& book, const TPlanFileHeader& header) {
    struct : TByteSink {
        std::string Bytes;
        void Write(const uint8_t* data, std::size_t size) override { Bytes.append(reinterpret_cast<const char*>(data), size); }
        void Finish() override {}
    } sink;
    WritePlanFile(sink, book, header);
    TPlanBook again;
    Check(Reported([&] { (void)ReadPlanBytes(sink.Bytes, again); }) && again.Count() == book.Count(),
          "a written book does not read back");
    for (int i = 0; i < book.Count(); ++i) {
        Check(RecordToBytes(again.Plan(i).Rec()) == RecordToBytes(book.Plan(i).Rec()), "record changed writing back");
    }
}

}  // namespace fuzz_detail

// Loads Bytes as a plan file and drives every computation on what loaded.
// Header bytes the file format leaves without meaning choose the days: bytes
// 8..9 how long after the balance date the file is opened (no catch-up when
// that is before day 1), bytes 12..15 another today for the calendar and the
// chart (0: the same day), bytes 16..19 the chart's unit, count and start.
inline void DrivePlanBytes(std::string_view bytes) {
    using namespace fuzz_detail;
    TPlanBook book;
    TPlanFileHeader header;
    if (!Reported([&] { header = ReadPlanBytes(bytes, book); })) {
        Check(book.Empty(), "a refused file left plans behind");
        return;
    }
    Check(IsDay(std::trunc(header.BalanceDate)), "header date accepted outside the calendar");

    // Today comes from the system clock: never before day 1 (31 December 1899),
    // so no walk ever meets day 0, which also stands for "no occurrence".
    const TDate catchUpToday = ClampDay(header.BalanceDate + 2 + ReadAt<uint16_t>(bytes, 8) % 1024);
    const auto viewDay = ReadAt<uint32_t>(bytes, 12);
    const TDate today = viewDay == 0 && catchUpToday >= 1 ? catchUpToday
                                                          : 1 + static_cast<double>(viewDay % static_cast<uint32_t>(kMaxDay));
    const int32_t opening = catchUpToday >= 1 ? DriveCatchUp(book, header, catchUpToday) : header.Balance;

    for (int i = 0; i < book.Count(); ++i) DrivePlan(book.Plan(i), today);

    // Today's month, the next, a year on, the last month there is, the months of the first plans' next occurrences.
    const TDate monthStart = today - (DecodeDate(today).Day - 1);
    std::vector<TDate> months = {today, ClampDay(monthStart + 31), ClampDay(today + 366), kMaxDay};
    for (int i = 0; i < std::min(book.Count(), 3); ++i) {
        Reported([&] { months.push_back(book.Plan(i).NextOccurrence(today + 31)); });
    }
    for (const TDate day : months) {
        if (day != 0) DriveMonth(book, opening, today, day);
    }

    // The day lists of today and of the first plan's first day: each entry reads back to a plan due that day.
    for (const TDate day : {today, book.Empty() ? today : book.Plan(0).FirstDate()}) {
        std::vector<std::string> items;
        if (!Reported([&] { items = BuildDayItems(book, day); })) continue;
        for (const std::string& entry : items) {
            const std::optional<TDayItem> item = ParseDayItem(entry);
            Check(item && item->PlanIndex >= 0 && item->PlanIndex < book.Count() &&
                      book.Plan(item->PlanIndex).PeriodNumber(day) == item->Period,
                  "day list entry does not read back");
        }
    }

    DriveTrend(book, opening, today, bytes);
    Reported([&] {  // the lowest balance ahead is the chart's balance of its day
        const TLookAhead ahead = LookAhead(book, opening, today);
        const TDate after = ahead.Lowest ? ahead.Lowest->Date + 1 : today;
        Check(!ahead.Lowest || ComputeStartBalance(book, opening, after, today) == ahead.Lowest->Balance, "lowest balance");
    });
    DriveRoundTrip(book, header);
}

}  // namespace tamber::support
