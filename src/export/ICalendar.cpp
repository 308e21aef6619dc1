#include "export/ICalendar.h"

#include <libical/ical.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "book/Ledger.h"
#include "book/Schedule.h"
#include "book/Trend.h"

namespace tamber {
namespace {

struct TCalendarPartFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using TCalendarPart = std::unique_ptr<icalcomponent, TCalendarPartFree>;

TCalendarPart NewPart(icalcomponent_kind kind) {
    TCalendarPart component(icalcomponent_new(kind));
    if (!component) throw std::bad_alloc();
    return component;
}

void Add(icalcomponent* component, icalproperty* property) {
    if (!property) throw std::bad_alloc();
    icalcomponent_add_property(component, property);
}

// The component in iCalendar text, lines folded and texts escaped by libical.
std::string AsText(icalcomponent* component) {
    char* text = icalcomponent_as_ical_string_r(component);
    if (!text) throw std::bad_alloc();
    std::string result(text);
    icalmemory_free_buffer(text);
    return result;
}

icaltimetype IcalDate(TDate date) {
    const TYearMonthDay ymd = DecodeDate(date);
    icaltimetype t = icaltime_null_date();
    t.year = ymd.Year;
    t.month = ymd.Month;
    t.day = ymd.Day;
    return t;
}

icaltimetype MidnightUtc(TDate date) {
    icaltimetype t = IcalDate(date);
    t.is_date = 0;
    t.hour = t.minute = t.second = 0;
    t.zone = icaltimezone_get_utc_timezone();
    return t;
}

// "+50,000", "-12,000", "0".
std::string SignedAmount(int32_t amount) {
    return (amount > 0 ? "+" : "") + FormatMonthTotal(amount);
}

}  // namespace

std::string OccurrenceUid(const TPlanRecord& rec, int twin, int32_t period) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    const auto mix = [&hash](uint8_t byte) {
        hash ^= byte;
        hash *= 0x100000001b3ULL;
    };
    for (const uint8_t byte : RecordToBytes(rec)) mix(byte);
    if (twin > 0) {
        for (int shift = 0; shift < 32; shift += 8) mix(static_cast<uint8_t>(static_cast<uint32_t>(twin) >> shift));
    }
    char text[48];
    std::snprintf(text, sizeof text, "%016llx-%d@tamber98", static_cast<unsigned long long>(hash), static_cast<int>(period));
    return text;
}

void WriteICalendar(std::ostream& out, const TPlanBook& book, int32_t openingBalance, TDate today, TDate from, TDate to) {
    const TDate start = std::max(from, today);
    const int32_t days = to >= start ? static_cast<int32_t>(to - start + 1) : 0;
    const TTrendLine line(book, openingBalance, start, days, today);

    // Which of its byte-identical twins each plan is, so that each keeps its own UIDs.
    std::vector<int> twins(static_cast<std::size_t>(book.Count()));
    std::map<TRecordBytes, int> seen;
    for (int i = 0; i < book.Count(); ++i) twins[static_cast<std::size_t>(i)] = seen[RecordToBytes(book.Plan(i).Rec())]++;

    TCalendarPart calendar = NewPart(ICAL_VCALENDAR_COMPONENT);
    Add(calendar.get(), icalproperty_new_version("2.0"));
    Add(calendar.get(), icalproperty_new_prodid("-//Tamber 98//Tamber 98//ZH"));
    Add(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    // The events go between the calendar's own lines one at a time, so that a
    // long span never holds every event in memory at once.
    const std::string shell = AsText(calendar.get());
    const std::size_t end = shell.rfind("END:VCALENDAR");
    out << shell.substr(0, end);

    const icaltimetype stamp = MidnightUtc(today);
    ForEachOccurrence(book, start, to, [&](const TOccurrence& o) {
        const TCustomPlan& plan = book.Plan(o.PlanIndex);
        const int32_t balance = line.Points()[static_cast<std::size_t>(o.Date - start)].Balance;
        const std::string summary = PlanTitle(plan) + " " + SignedAmount(o.Amount);
        const std::string description =
            "計劃類別: " + std::string(PlanKindName(plan.Rec().PlanKind)) + "\n當日結餘: " + FormatMonthTotal(balance);
        TCalendarPart event = NewPart(ICAL_VEVENT_COMPONENT);
        Add(event.get(),
            icalproperty_new_uid(OccurrenceUid(plan.Rec(), twins[static_cast<std::size_t>(o.PlanIndex)], o.Period).c_str()));
        Add(event.get(), icalproperty_new_dtstamp(stamp));
        Add(event.get(), icalproperty_new_dtstart(IcalDate(o.Date)));
        Add(event.get(), icalproperty_new_summary(summary.c_str()));
        Add(event.get(), icalproperty_new_description(description.c_str()));
        out << AsText(event.get());
    });
    out << shell.substr(end);
}

}  // namespace tamber
