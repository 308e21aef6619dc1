// The plan editor's fields as plain values, and what the editor's commands do with them: reading the fields into a
// checked plan record, making the plan, and adding, changing and clearing out plans of the plan book. The window
// only copies its controls into a TPlanFields and shows what comes back.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "book/PlanBook.h"
#include "model/Dates.h"
#include "model/Errors.h"
#include "model/PlanRecord.h"
#include "model/cplanunit.h"

namespace tamber {

// A field whose text is not a number of the required form; the message names the field.
class EInt : public ETamberError {
public:
    explicit EInt(const std::string& message) : ETamberError(message) {}
};

// Days of the month of a twice- or three-times-a-month plan that are out of order or out of range.
class EMissOrder : public ETamberError {
public:
    explicit EMissOrder(const std::string& message) : ETamberError(message) {}
};

// An entry that reads well but makes no plan: no kind or period chosen, a first or last occurrence without a date,
// or an amount that cannot be computed. The message names the field to change.
class EPlanEntry : public ETamberError {
public:
    explicit EPlanEntry(const std::string& message) : ETamberError(message) {}
};

// What the plan editor's controls hold. Texts are UTF-8, exactly as typed.
struct TPlanFields {
    int KindIndex = -1;       // plan kind selector: 0..4, -1 when nothing is chosen
    int PeriodIndex = -1;     // period selector: 0..10, -1 when nothing is chosen
    std::string PeriodCount;  // number of periods
    std::string Description;
    TDate StartDate = 0;                   // the date picker
    std::string IntervalDays;              // period kind 0
    std::array<std::string, 3> MonthDays;  // period kinds 6 (first two) and 7
    char DecimalSeparator = '.';           // the user's decimal separator, for the rate fields

    // Fixed income or expense.
    std::string FixAmount;
    bool Income = true;  // "收入" checked, else "支出"

    // Savings club.
    std::string ClubAmount, BaseBid, WinningBid, WinningPeriod, AboveBaseTotal;
    bool InnerBidding = false;  // "內標" checked, else "外標"

    // Simple-interest deposit.
    std::string SavingAmount, SavingRate;
    bool MonthlyInterest = true;  // "按月付息" checked, else "到期一次提領"

    // Compound deposit: the first checked of lump sum in and out, instalments in; else lump sum in, instalments out.
    std::string CompoundAmount, CompoundRate;
    bool LumpSumInOut = true;
    bool InstalmentsIn = false;

    // Loan.
    std::string LoanAmount, LoanRate;
    bool EqualInstalments = true;  // "本息定額攤還法" checked, else "本金定額攤還法"
};

// The whole text as a signed 32-bit decimal integer: one optional leading sign and at least one digit, nothing
// else; nullopt otherwise or beyond the 32-bit range.
std::optional<int32_t> ParseInteger(std::string_view text);

// The text as a decimal number with the given decimal separator: spaces around it, an optional sign, digits with
// at most one separator and an optional exponent ("1e-05"); nullopt when malformed or beyond a double.
std::optional<double> ParseDecimal(std::string_view text, char decimalSeparator);

// The record the fields describe, from a zero record; throws EInt or EMissOrder with the message of the first field
// that does not convert or pass its check, in this order: number of periods (not read for "僅只一次", which stores
// 1), description (cut to 120 bytes of code page 950, never split inside a character), the period's own fields,
// then the fields of the chosen kind. A number of periods, interval or listed day below 1 is refused with that
// field's message. PlanKind is left 0 (the plan's class writes it); with no kind chosen neither StartDate nor any
// kind field is written.
TPlanRecord ReadPlanFields(const TPlanFields& fields);

// The plan of the chosen kind made from Rec (as ReadPlanFields gave it for Fields). Throws EPlanEntry when no kind
// or no period is chosen, when the first or the last occurrence has no date, or when an amount of an occurrence or
// the sum of all of them cannot be computed (a zero rate for equal instalments, a power too large, an amount
// beyond 32 bits), so the plan book never holds a plan that fails when shown.
std::unique_ptr<TCustomPlan> MakeEnteredPlan(const TPlanFields& fields, const TPlanRecord& rec);

// Copies a plan into the fields as the editor shows it: the common fields, the period's own fields and the fields
// of the plan's kind; fields of other kinds and periods keep what they held. Rates read "%.2f" for compound
// deposits and loans and with up to 15 significant digits for simple deposits, with the fields' separator.
void PlanIntoFields(const TPlanRecord& rec, TPlanFields& fields);

// Add: appends the plan the fields describe and returns its index. EPlanBookFull when the book is full (checked
// first), then as ReadPlanFields and MakeEnteredPlan; the book is unchanged on failure.
int AddPlan(TPlanBook& book, const TPlanFields& fields);

// Modify: puts the plan the fields describe in place of plan Selected. EPlanEntry when Selected is no plan of the
// book (checked first), then as ReadPlanFields and MakeEnteredPlan; the old plan stays on failure.
void ModifyPlan(TPlanBook& book, int selected, const TPlanFields& fields);

// Remove outdated: removes every plan whose last occurrence is before Today (a plan ending today stays) and
// returns how many went.
int RemoveOutdatedPlans(TPlanBook& book, TDate today);

}  // namespace tamber
