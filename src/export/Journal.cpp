#include "export/Journal.h"

#include "book/Schedule.h"

namespace tamber {
namespace {

constexpr const char* kAssets = "assets:tamber98";

// One transaction of two postings; the second takes the opposite amount.
void Transaction(std::ostream& out, TDate date, const std::string& description, int32_t amount, std::string_view otherAccount) {
    out << IsoDate(date) << ' ' << description << '\n'
        << "    " << kAssets << "  " << amount << '\n'
        << "    " << otherAccount << "  " << -int64_t{amount} << "\n\n";
}

}  // namespace

std::string JournalDescription(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            result += ' ';
        } else if (c == ';') {
            result += "；";
        } else {
            result += c;
        }
    }
    const std::size_t first = result.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    result = result.substr(first, result.find_last_not_of(' ') - first + 1);
    if (result.front() == '*' || result.front() == '!' || result.front() == '(') result.insert(0, "() ");
    return result;
}

void WriteJournal(std::ostream& out, const TPlanBook& book, int32_t openingBalance, TDate today, TDate to) {
    Transaction(out, today, "期初餘額", openingBalance, "equity:opening balances");
    ForEachOccurrence(book, today, to, [&](const TOccurrence& o) {
        const TCustomPlan& plan = book.Plan(o.PlanIndex);
        const std::string kind(PlanKindName(plan.Rec().PlanKind));
        Transaction(out, o.Date, JournalDescription(PlanTitle(plan)), o.Amount, (o.Amount > 0 ? "income:" : "expenses:") + kind);
    });
}

}  // namespace tamber
