// Everything the program computes on a plan file, driven from the file's raw
// bytes: the loader, every plan's occurrences and amounts, the calendar's
// months, the catch-up list, the trend line, the day lists, the editor's view
// of each plan and writing the book back. Shared by the fuzz target
// (fuzz/fuzz_planfile.cpp) and the test that replays the files it found.
//
// A failure the program reports to the user (an ETamberError) is a proper
// outcome and is counted. Anything else escapes: another exception, or a
// TDriverFault when a figure breaks a rule every view relies on (an occurrence
// that is no occurrence, a span whose sum differs from its occurrences added
// one by one, a calendar balance that differs from the chart's).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "Big5.h"
#include "BookErrors.h"
#include "CalendarMonth.h"
#include "CatchUp.h"
#include "Dates.h"
#include "Ledger.h"
#include "PlanBook.h"
#include "PlanFields.h"
#include "PlanFile.h"
#include "Trend.h"
#include "cplanunit.h"

namespace tamber::support {

// A figure that breaks a rule of the plan model: a fault of the program.
class TDriverFault : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

struct TDriveSummary {
    bool Loaded = false;         // the bytes made a plan book
    int Plans = 0;
    TDate CatchUpToday = 0;      // the day the catch-up was listed for
    TDate ViewToday = 0;         // the day the calendar and the chart were computed for
    std::size_t Pending = 0;     // occurrences the catch-up listed
    int ReportedErrors = 0;      // failures reported as ETamberError
};

namespace fuzz_detail {

// Occurrences visited per walk, and the longest span summed both ways; they
// keep one input's work small whatever the plans hold.
inline constexpr int kWalkSteps = 48;
inline constexpr int kSpanOccurrences = 256;
inline constexpr int32_t kAllAmountsUpTo = 2048;

inline void Check(bool ok, const char* rule, int plan = -1) {
    if (!ok) throw TDriverFault(std::string(rule) + (plan >= 0 ? " (plan " + std::to_string(plan) + ")" : ""));
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

// Runs Work; a reported failure counts and gives false.
template <class F>
bool Reported(TDriveSummary& summary, F&& work) {
    try {
        work();
        return true;
    } catch (const ETamberError&) {
        ++summary.ReportedErrors;
        return false;
    }
}

// The occurrences after From, each checked against its period numbers, its
// neighbours and DateOfPeriod.
inline void WalkFrom(const TCustomPlan& plan, int index, TDate from, TDriveSummary& summary) {
    const int32_t count = plan.Rec().PeriodCount;
    Reported(summary, [&] {
        TDate d = plan.NextOccurrence(from);
        for (int step = 0; d != 0 && step < kWalkSteps; ++step) {
            Check(IsDay(d) && d > from && d >= plan.FirstDate() && d <= plan.LastDate(), "occurrence out of place", index);
            const int32_t k = plan.PeriodNumber(d);
            const int32_t last = plan.LastPeriodNumber(d);
            Check(k >= 1 && k <= last && last <= count, "period numbers of an occurrence", index);
            Check(plan.DateOfPeriod(k) == d && plan.DateOfPeriod(last) == d, "date of an occurrence's period", index);
            Check(plan.NextOccurrence(d - 1) == d, "occurrence day not found from the day before", index);
            const TDate next = plan.NextOccurrence(d);
            if (next == 0) {
                Check(d == plan.LastDate(), "occurrences end before the last date", index);
            } else {
                Check(plan.PrevOccurrence(next) == d, "previous occurrence skips one", index);
                Check(plan.PeriodNumber(next) == last + 1, "period numbers not consecutive", index);
            }
            from = d;
            d = next;
        }
    });
}

// Sum of the occurrences strictly between After and Before, one by one; false
// when there are too many to add up here.
inline bool SumOneByOne(const TCustomPlan& plan, TDate after, TDate before, int64_t& sum) {
    sum = 0;
    int visited = 0;
    for (TDate d = plan.NextOccurrence(after); d != 0 && d < before; d = plan.NextOccurrence(d)) {
        if (++visited > kSpanOccurrences) return false;
        for (int32_t k = plan.PeriodNumber(d), last = plan.LastPeriodNumber(d); k <= last; ++k) sum += plan.PeriodAmount(k);
    }
    return true;
}

inline bool FitsAmount(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

// AmountBetween against the same occurrences added one by one.
inline void CheckSpan(const TCustomPlan& plan, int index, TDate after, TDate before, TDriveSummary& summary) {
    int64_t walked = 0;
    bool complete = false;
    if (!Reported(summary, [&] { complete = SumOneByOne(plan, after, before, walked); }) || !complete) return;
    int32_t between = 0;
    const bool computed = Reported(summary, [&] { between = plan.AmountBetween(after, before); });
    if (FitsAmount(walked)) {
        Check(computed && between == walked, "span sum differs from its occurrences", index);
    } else {
        Check(!computed, "span sum beyond 32 bits not reported", index);
    }
}

inline void DrivePlan(const TCustomPlan& plan, int index, TDate today, TDriveSummary& summary) {
    const int32_t count = plan.Rec().PeriodCount;
    Check(count >= 1, "plan without periods", index);
    Check(IsDay(plan.FirstDate()) && IsDay(plan.LastDate()) && plan.FirstDate() <= plan.LastDate(), "first or last date",
          index);
    Check(plan.NextOccurrence(plan.FirstDate() - 0.5) == plan.FirstDate(), "first occurrence", index);
    Check(plan.PrevOccurrence(plan.LastDate() + 1) == plan.LastDate(), "last occurrence", index);
    Check(plan.DateOfPeriod(1) == plan.FirstDate() && plan.DateOfPeriod(count) == plan.LastDate(), "end dates", index);
    Check(plan.DateOfPeriod(0) == 0, "date of period 0", index);

    // Walks start on day 0 at the earliest: day 0 (30 December 1899) also
    // means "no occurrence", so an occurrence on it ends every walk that meets
    // it, and the program's walks all start from today or a picked date.
    const auto walkStart = [](TDate d) { return std::max(d, 0.0); };
    WalkFrom(plan, index, walkStart(plan.FirstDate() - 1), summary);
    WalkFrom(plan, index, today - 1, summary);
    WalkFrom(plan, index, walkStart(plan.LastDate() - 62), summary);

    // Every amount of a short plan; of a long one, both ends and the middle.
    std::vector<int64_t> periods;
    if (count <= kAllAmountsUpTo) {
        for (int64_t k = 0; k <= int64_t{count} + 1; ++k) periods.push_back(k);
    } else {
        for (int64_t k : {int64_t{0}, int64_t{1}, int64_t{2}, int64_t{3}, int64_t{count} / 2, int64_t{count} - 2,
                          int64_t{count} - 1, int64_t{count}, int64_t{count} + 1}) {
            periods.push_back(k);
        }
    }
    for (int64_t k : periods) {
        if (k > std::numeric_limits<int32_t>::max()) continue;
        const auto period = static_cast<int32_t>(k);
        int32_t amount = 0;
        if (!Reported(summary, [&] { amount = plan.PeriodAmount(period); })) continue;
        if (period < 1 || period > count) Check(amount == 0, "amount outside the periods", index);
    }
    Check(plan.PeriodAmount(-1) == 0 && plan.PeriodAmount(std::numeric_limits<int32_t>::min()) == 0,
          "amount of a negative period", index);

    CheckSpan(plan, index, walkStart(plan.FirstDate() - 1), plan.FirstDate() + 400, summary);
    CheckSpan(plan, index, today - 1, today + 200, summary);
    CheckSpan(plan, index, walkStart(plan.LastDate() - 100), plan.LastDate() + 1, summary);

    // What the main window and the chart show for the plan.
    Reported(summary, [&] {
        const std::string utf8 = Big5ToUtf8(DescriptionBytes(plan.Rec()));
        (void)Utf8ToBig5(utf8);
        (void)Big5ToUtf8(PlanChartTitle(plan.Rec()));
        (void)Big5ToUtf8(PlanChartItem(plan.Rec()));
    });

    // The plan shown in the editor and entered again unchanged.
    Reported(summary, [&] {
        TPlanFields fields;
        PlanIntoFields(plan.Rec(), fields);
        const TPlanRecord rec = ReadPlanFields(fields);
        (void)MakeEnteredPlan(fields, rec);
    });
}

// The calendar's month: its last balance is the opening balance plus every
// occurrence from today to the month's end, which the chart computes its own way.
inline void DriveMonth(const TPlanBook& book, int32_t opening, TDate today, int year, int month,
                       TDriveSummary& summary) {
    TPlanBookState state;
    state.OpeningBalance = opening;
    state.SetCurrentDate(today);
    TCalendarMonth calendar;
    TMonthTotals totals;
    if (!Reported(summary, [&] { totals = ComputeMonth(book, state, year, month, today, calendar); })) return;
    Check(totals.Income >= 0 && totals.Expense <= 0, "month totals of the wrong sign");
    (void)FormatMonthTotal(totals.Income);
    (void)FormatMonthTotal(totals.Expense);
    const int days = DaysInMonth(year, month);
    const TDate first = EncodeDate(year, month, 1);
    if (first + days <= today) return;  // a month before today shows the opening balance only
    const int32_t shown = calendar.Cell(calendar.DayToCell(days)).Balance;
    int32_t expected = 0;
    if (Reported(summary, [&] { expected = ComputeStartBalance(book, opening, first + days, today); })) {
        Check(shown == expected, "calendar balance differs from the chart's start balance");
    }
}

inline void DriveTrend(const TPlanBook& book, int32_t opening, TDate today, std::string_view bytes,
                       TDriveSummary& summary) {
    const auto unit = static_cast<TChartUnit>(ReadAt<uint8_t>(bytes, 16) % 3);
    const TChartInterval interval = ChartInterval(ReadAt<uint8_t>(bytes, 17), unit);
    const TDate start = std::max(ClampDay(today + ReadAt<int16_t>(bytes, 18)), 1.0);
    Reported(summary, [&] {
        TTrendLine line(book, opening, start, interval.DayCount, today);
        Check(line.Points().size() == static_cast<std::size_t>(interval.DayCount), "trend points");
        for (int step = 0; step < 3; ++step) {
            const auto& points = line.Points();
            for (std::size_t j = 0; j < points.size(); ++j) {
                Check(points[j].Date == line.ChartStartDate() + static_cast<double>(j), "trend dates");
            }
            // A line started before today runs from the opening balance and
            // adds the days before today as well: only one started on today or
            // later holds the calendar's balances.
            if (start >= today && !points.empty()) {
                int32_t expected = 0;
                if (Reported(summary, [&] { expected = ComputeStartBalance(book, opening, points.back().Date + 1, today); })) {
                    Check(points.back().Balance == expected, "trend balance differs from the start balance");
                }
            }
            Reported(summary, [&] { (void)AxisDateLabel(points.front().Date); });
            std::vector<TPlanBar> bars;
            if (!Reported(summary, [&] { bars = line.StepOneDay(book); })) break;
            for (const TPlanBar& bar : bars) {
                Check(bar.PlanIndex >= 0 && bar.PlanIndex < book.Count(), "bar of no plan");
                Check(bar.Date == line.Points().back().Date, "bar off the new day");
            }
        }
    });
    for (int i = 0; i < book.Count(); ++i) {
        Reported(summary, [&] {
            const std::vector<TPlanBar> bars = PlanBars(book.Plan(i), i, start, std::min(interval.DayCount, 731));
            for (std::size_t j = 0; j < bars.size(); ++j) {
                Check(bars[j].Date >= start && (j == 0 || bars[j].Date > bars[j - 1].Date), "plan bars out of order", i);
            }
        });
    }
}

inline void DriveCatchUp(const TPlanBook& book, const TPlanFileHeader& header, TDate today, int32_t& opening,
                         TDriveSummary& summary) {
    if (book.Empty() || !(today - 1 > header.BalanceDate)) return;
    TPendingList pending;
    if (!Reported(summary, [&] { pending = BuildPendingList(book, header.BalanceDate, today); })) return;
    summary.Pending = pending.size();
    for (const TPassRecord& item : pending) {
        Check(item.PlanIndex >= 0 && item.PlanIndex < book.Count(), "pending item of no plan");
        const TCustomPlan& plan = book.Plan(item.PlanIndex);
        Check(item.Date > header.BalanceDate && item.Date < today, "pending item outside the days caught up");
        Check(item.Occurrence >= 1 && item.Occurrence <= plan.Rec().PeriodCount, "pending item of no period");
        Check(plan.DateOfPeriod(item.Occurrence) == item.Date, "pending item's date");
        Check(ParseAmountText(item.AmountText).has_value(), "pending amount that does not read back");
    }
    (void)PendingPageCount(pending.size());
    // Accepted unchanged: the loaded balance plus each plan's occurrences in between.
    int64_t expected = header.Balance;
    bool summed = true;
    for (int i = 0; i < book.Count() && summed; ++i) {
        summed = Reported(summary, [&] { expected += book.Plan(i).AmountBetween(header.BalanceDate, today); });
    }
    int32_t accepted = 0;
    if (Reported(summary, [&] { accepted = CaughtUpBalance(header.Balance, pending); })) {
        if (summed) Check(accepted == expected, "caught-up balance differs from the plans' sums");
        opening = accepted;
    } else {
        Check(!summed || !FitsAmount(expected), "caught-up balance refused although it fits");
    }
    if (!pending.empty()) {
        TPendingList typo = pending;
        typo.back().AmountText += "x";
        bool refused = false;
        try {
            (void)CaughtUpBalance(header.Balance, typo);
        } catch (const EInvalid& e) {
            refused = std::string(e.what()).find("項金額輸入錯誤") != std::string::npos;
        }
        Check(refused, "a mistyped amount is not named");
    }
}

// Writes the book back and reads it again: the same plans, byte for byte.
class TMemorySink final : public TByteSink {
public:
    std::string Bytes;
    void Write(const uint8_t* data, std::size_t size) override { Bytes.append(reinterpret_cast<const char*>(data), size); }
    void Finish() override {}
};

inline void DriveRoundTrip(const TPlanBook& book, const TPlanFileHeader& header, TDriveSummary& summary) {
    TMemorySink sink;
    WritePlanFile(sink, book, header);
    Check(sink.Bytes.size() == kPlanRecordSize * static_cast<std::size_t>(book.Count() + 1), "written size");
    TPlanBook again;
    if (!Reported(summary, [&] { (void)ReadPlanBytes(sink.Bytes, again); })) {
        throw TDriverFault("a written book does not read back");
    }
    Check(again.Count() == book.Count(), "plans lost writing back");
    for (int i = 0; i < book.Count(); ++i) {
        Check(RecordToBytes(again.Plan(i).Rec()) == RecordToBytes(book.Plan(i).Rec()), "record changed writing back", i);
    }
}

}  // namespace fuzz_detail

// Loads Bytes as a plan file and drives every computation on what loaded.
// Header bytes the file format leaves without meaning choose the days: bytes
// 8..9 how long after the balance date the file is opened (no catch-up when
// that is before day 1), bytes 12..15 another today for the calendar and the
// chart (0: the same day), bytes 16..19 the chart's unit, count and start.
inline TDriveSummary DrivePlanBytes(std::string_view bytes) {
    using namespace fuzz_detail;
    TDriveSummary summary;
    TPlanBook book;
    TPlanFileHeader header;
    if (!Reported(summary, [&] { header = ReadPlanBytes(bytes, book); })) {
        Check(book.Empty(), "a refused file left plans behind");
        return summary;
    }
    summary.Loaded = true;
    summary.Plans = book.Count();
    Check(IsDay(std::trunc(header.BalanceDate)), "header date accepted outside the calendar");

    // Today comes from the system clock: never before day 1 (31 December 1899),
    // so no walk ever meets day 0, which also stands for "no occurrence".
    summary.CatchUpToday = ClampDay(header.BalanceDate + 2 + ReadAt<uint16_t>(bytes, 8) % 1024);
    const auto viewDay = ReadAt<uint32_t>(bytes, 12);
    summary.ViewToday = viewDay == 0 && summary.CatchUpToday >= 1
                            ? summary.CatchUpToday
                            : 1 + static_cast<double>(viewDay % static_cast<uint32_t>(kMaxDay));
    int32_t opening = header.Balance;
    if (summary.CatchUpToday >= 1) DriveCatchUp(book, header, summary.CatchUpToday, opening, summary);

    const TDate today = summary.ViewToday;
    for (int i = 0; i < book.Count(); ++i) DrivePlan(book.Plan(i), i, today, summary);

    // Today's month and the next, a year on, the months of the next plans' occurrences, the last month there is.
    const TYearMonthDay now = DecodeDate(today);
    std::vector<std::pair<int, int>> months = {{now.Year, now.Month}};
    if (now.Year < 9999 || now.Month < 12) months.push_back(now.Month == 12 ? std::pair{now.Year + 1, 1} : std::pair{now.Year, now.Month + 1});
    if (now.Year < 9999) months.push_back({now.Year + 1, now.Month});
    for (int i = 0; i < book.Count() && months.size() < 6; ++i) {
        Reported(summary, [&] {
            const TDate next = book.Plan(i).NextOccurrence(today + 31);
            if (next == 0) return;
            const TYearMonthDay ymd = DecodeDate(next);
            months.push_back({ymd.Year, ymd.Month});
        });
    }
    months.push_back({9999, 12});
    for (const auto& [year, month] : months) DriveMonth(book, opening, today, year, month, summary);

    // The day lists of today and of the plans' first occurrences.
    std::vector<TDate> days = {today};
    for (int i = 0; i < book.Count() && days.size() < 4; ++i) days.push_back(book.Plan(i).FirstDate());
    for (TDate day : days) {
        std::vector<std::string> items;
        if (!Reported(summary, [&] { items = BuildDayItems(book, day); })) continue;
        for (const std::string& entry : items) {
            const std::optional<TDayItem> item = ParseDayItem(entry);
            Check(item && item->PlanIndex >= 0 && item->PlanIndex < book.Count(), "day list entry does not read back");
            Check(book.Plan(item->PlanIndex).PeriodNumber(day) == item->Period, "day list entry's period");
        }
    }

    DriveTrend(book, opening, today, bytes, summary);
    DriveRoundTrip(book, header, summary);
    return summary;
}

}  // namespace tamber::support
