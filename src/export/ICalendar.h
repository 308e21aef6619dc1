// The book's occurrences as an iCalendar file (RFC 5545), written with
// libical: one all-day event per occurrence, whose UID stays the same when
// the same plans are exported again, so that a calendar program importing
// the new file updates its events instead of adding them twice.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "book/PlanBook.h"
#include "model/Dates.h"
#include "model/PlanRecord.h"

namespace tamber {

// The UID of period Period of a plan with record Rec, the Twin-th (from 0)
// of the book's plans whose records are byte for byte the same:
// "<16 hex digits>-<Period>@tamber98", the digits a 64-bit FNV-1a hash of
// the record's 188 bytes, followed by Twin's four bytes when Twin > 0.
std::string OccurrenceUid(const TPlanRecord& rec, int twin, int32_t period);

// Writes to Out the iCalendar file of every occurrence from From to To
// (whole days, both included; days before Today are left out, as the balance
// already holds them), in the order ForEachOccurrence gives: an all-day event
// each, summary "<PlanTitle> <signed amount, thousands grouped>", description
// the plan kind's caption and the balance at the end of the day, the trend
// line's figure from OpeningBalance at the start of Today. Stamped Today at
// midnight UTC. Throws EPlanError and EAmountRange as TTrendLine does; Out
// may then hold the start of the file.
void WriteICalendar(std::ostream& out, const TPlanBook& book, int32_t openingBalance, TDate today, TDate from, TDate to);

}  // namespace tamber
