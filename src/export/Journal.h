// The book as a plain-text accounting journal that hledger reads: the
// balance as an opening transaction, then one transaction per occurrence.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "Dates.h"
#include "PlanBook.h"

namespace tamber {

// Text (UTF-8) as a transaction's description, written so that hledger reads
// it back as it is: control characters become blanks; ";", which would start
// a comment, becomes the full-width "；" (nothing in the format carries it);
// blanks at either end, which hledger drops, are dropped; and an empty code
// "() " goes before a leading "*", "!" or "(", which would otherwise be read
// as the transaction's status or code.
std::string JournalDescription(std::string_view text);

// Writes to Out the journal from Today to To (whole days, both included): an
// opening transaction on Today moving OpeningBalance from "equity:opening
// balances" to "assets:tamber98", then one transaction per occurrence in the
// order ForEachOccurrence gives, described by JournalDescription of its
// PlanTitle, its amount on "assets:tamber98" and the opposite on
// "income:<kind caption>" (amounts above 0) or "expenses:<kind caption>".
// The balance of "assets:tamber98" at the end of each day is then the trend
// line's figure from OpeningBalance. Amounts are plain whole numbers.
// Throws EPlanError and EAmountRange as ForEachOccurrence; Out may then hold
// the start of the journal.
void WriteJournal(std::ostream& out, const TPlanBook& book, int32_t openingBalance, TDate today, TDate to);

}  // namespace tamber
