#include "app/report/ReportTool.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "book/BookErrors.h"
#include "book/CalendarMonth.h"
#include "book/CatchUp.h"
#include "book/Ledger.h"
#include "book/LookAhead.h"
#include "book/PlanBook.h"
#include "book/PlanFile.h"
#include "book/Schedule.h"
#include "book/Trend.h"
#include "export/ICalendar.h"
#include "export/Journal.h"
#include "model/Big5.h"
#include "model/Dates.h"
#include "model/Numbers.h"

namespace tamber::report {
namespace {

constexpr const char* kProgram = "tamber98-report";

// A command line that the tool cannot run; the message says why.
struct TUsageError {
    std::string Message;
};

struct TCommandLine {
    std::string Command;
    std::string File;
    std::map<std::string, std::string, std::less<>> Options;  // name without "--" -> value
};

// Options each command requires; a command takes no others.
const std::map<std::string, std::vector<std::string>, std::less<>>& CommandOptions() {
    static const std::map<std::string, std::vector<std::string>, std::less<>> options = {
        {"plans", {}},
        {"schedule", {"from", "to"}},
        {"month", {"today", "month"}},
        {"trend", {"today", "start", "days"}},
        {"catchup", {"today"}},
        {"ics", {"from", "to"}},
        {"journal", {"today", "to"}},
        {"lowest", {"today"}},
    };
    return options;
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) throw TUsageError{"no command given"};
    TCommandLine line;
    line.Command = args[0];
    const auto command = CommandOptions().find(line.Command);
    if (command == CommandOptions().end()) throw TUsageError{"unknown command '" + line.Command + "'"};
    const std::vector<std::string>& allowed = command->second;
    bool haveFile = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 2 && arg.starts_with("--")) {
            std::string name = arg.substr(2);
            std::string value;
            if (const std::size_t eq = name.find('='); eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.resize(eq);
            } else {
                if (i + 1 >= args.size()) throw TUsageError{"option --" + name + " needs a value"};
                value = args[++i];
            }
            if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
                throw TUsageError{"'" + line.Command + "' takes no option --" + name};
            }
            line.Options[name] = value;
        } else {
            if (haveFile) throw TUsageError{"more than one FILE given"};
            line.File = arg;
            haveFile = true;
        }
    }
    if (!haveFile) throw TUsageError{"no FILE given"};
    for (const std::string& name : allowed) {
        if (!line.Options.contains(name)) throw TUsageError{"option --" + name + " is missing"};
    }
    return line;
}

// Digits only, at least one; the value must fit 32 bits.
std::optional<int32_t> Digits(std::string_view text) {
    if (text.empty() || text.front() == '-') return std::nullopt;
    return ParseInt32(text);
}

// YYYY-MM-DD, a day that exists in years 1..9999.
TDate ParseDate(const std::string& name, const std::string& text) {
    const TUsageError bad{"--" + name + " '" + text + "' is not a date YYYY-MM-DD"};
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') throw bad;
    const auto year = Digits(std::string_view(text).substr(0, 4));
    const auto month = Digits(std::string_view(text).substr(5, 2));
    const auto day = Digits(std::string_view(text).substr(8, 2));
    if (!year || !month || !day) throw bad;
    try {
        return EncodeDate(*year, *month, *day);
    } catch (const EInvalidDate&) {
        throw bad;
    }
}

// YYYY-MM, a month of years 1..9999.
std::pair<int, int> ParseMonth(const std::string& text) {
    const TUsageError bad{"--month '" + text + "' is not a month YYYY-MM"};
    if (text.size() != 7 || text[4] != '-') throw bad;
    const auto year = Digits(std::string_view(text).substr(0, 4));
    const auto month = Digits(std::string_view(text).substr(5, 2));
    if (!year || !month || *year < 1 || *month < 1 || *month > 12) throw bad;
    return {*year, *month};
}

// One CSV row from already formatted fields.
void Row(std::ostream& out, std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& field : fields) {
        if (!first) out << ',';
        out << CsvField(field);
        first = false;
    }
    out << '\n';
}

// The balance leaves 32 bits on Day: nothing from that day on is known.
std::string OutOfRangeMessage(TDate day) {
    return "結存超出範圍: " + IsoDate(day) + " 起";
}

std::string Num(int64_t value) {
    return std::to_string(value);
}

TPlanBook ReadBook(const std::string& file, TPlanFileHeader& header) {
    TPlanBook book;
    header = ReadPlanFile(file, book);
    return book;
}

void ReportPlans(const TPlanBook& book, std::ostream& out) {
    out << "index,kind,description,start,first,last,period_kind,period_count,amount\n";
    for (int i = 0; i < book.Count(); ++i) {
        const TCustomPlan& plan = book.Plan(i);
        const TPlanRecord& rec = plan.Rec();
        Row(out, {Num(i), Num(rec.PlanKind), Big5ToUtf8(DescriptionBytes(rec)), IsoDate(rec.StartDate), IsoDate(plan.FirstDate()),
                  IsoDate(plan.LastDate()), Num(rec.PeriodKind), Num(rec.PeriodCount), Num(rec.Amount)});
    }
}

void ReportSchedule(const TPlanBook& book, TDate from, TDate to, std::ostream& out) {
    out << "date,plan,period,amount\n";
    ForEachOccurrence(book, from, to, [&](const TOccurrence& o) {
        Row(out, {IsoDate(o.Date), Num(o.PlanIndex), Num(o.Period), Num(o.Amount)});
    });
}

void ReportMonth(const TPlanBook& book, int32_t openingBalance, TDate today, int year, int month, std::ostream& out) {
    TPlanBookState state;
    state.OpeningBalance = openingBalance;
    state.SetCurrentDate(today);
    TCalendarMonth calendar;
    calendar.Layout(year, month, 0);
    const TMonthTotals totals = ComputeMonth(book, state, year, month, today, calendar);
    if (totals.OutOfRangeFrom != 0) throw std::runtime_error(OutOfRangeMessage(totals.OutOfRangeFrom));
    out << "date,income,expense,balance\n";
    for (int d = FirstLedgerDay(state, year, month); d <= calendar.DaysThisMonth(); ++d) {
        const TDayCell& cell = calendar.Cell(calendar.DayToCell(d));
        Row(out, {IsoDate(EncodeDate(year, month, d)), Num(cell.Income), Num(cell.Expense), Num(cell.Balance)});
    }
    Row(out, {"total", Num(totals.Income), Num(totals.Expense), Num(calendar.MonthAverageBalance)});
}

void ReportTrend(const TPlanBook& book, int32_t openingBalance, TDate today, TDate start, int32_t days, std::ostream& out) {
    const TTrendLine line(book, openingBalance, start, days, today);
    out << "date,balance\n";
    for (const TBalancePoint& point : line.Points()) Row(out, {IsoDate(point.Date), Num(point.Balance)});
}

void ReportCatchUp(const TPlanBook& book, const TPlanFileHeader& header, TDate today, std::ostream& out) {
    const TPendingList pending = BuildPendingList(book, header.BalanceDate, today);
    const int32_t balance = CaughtUpBalance(header.Balance, pending);
    out << "plan,period,date,amount\n";
    for (const TPassRecord& item : pending) {
        Row(out, {Num(item.PlanIndex), Num(item.Occurrence), IsoDate(item.Date), item.AmountText});
    }
    Row(out, {"balance", "", "", Num(balance)});
}

void ReportLowest(const TPlanBook& book, int32_t openingBalance, TDate today, std::ostream& out) {
    const TLookAhead ahead = LookAhead(book, openingBalance, today);
    if (ahead.OutOfRangeFrom != 0) throw std::runtime_error(OutOfRangeMessage(ahead.OutOfRangeFrom));
    out << "what,date,balance\n";
    Row(out, {"lowest", IsoDate(ahead.Lowest->Date), Num(ahead.Lowest->Balance)});
    if (ahead.FirstBelowZero) {
        Row(out, {"first_below_zero", IsoDate(ahead.FirstBelowZero->Date), Num(ahead.FirstBelowZero->Balance)});
    } else {
        Row(out, {"first_below_zero", "", ""});
    }
}

void RunCommand(const TCommandLine& line, std::ostream& out) {
    // Every argument is checked before the file is read.
    const auto& o = line.Options;
    std::optional<TDate> today, from, to, start;
    std::pair<int, int> month{0, 0};
    int32_t days = 0;
    if (o.contains("today")) today = ParseDate("today", o.at("today"));
    if (o.contains("from")) from = ParseDate("from", o.at("from"));
    if (o.contains("to")) to = ParseDate("to", o.at("to"));
    if (o.contains("start")) start = ParseDate("start", o.at("start"));
    if (o.contains("month")) month = ParseMonth(o.at("month"));
    if (o.contains("days")) {
        const auto n = Digits(o.at("days"));
        if (!n) throw TUsageError{"--days '" + o.at("days") + "' is not a count of days"};
        if (*start + *n - 1 > kMaxDay) throw TUsageError{"--days runs past 9999-12-31"};
        days = *n;
    }

    TPlanFileHeader header;
    const TPlanBook book = ReadBook(line.File, header);
    if (line.Command == "plans") ReportPlans(book, out);
    if (line.Command == "schedule") ReportSchedule(book, *from, *to, out);
    if (line.Command == "month") ReportMonth(book, header.Balance, *today, month.first, month.second, out);
    if (line.Command == "trend") ReportTrend(book, header.Balance, *today, *start, days, out);
    if (line.Command == "catchup") ReportCatchUp(book, header, *today, out);
    if (line.Command == "ics") WriteICalendar(out, book, header.Balance, *from, *from, *to);
    if (line.Command == "journal") WriteJournal(out, book, header.Balance, *today, *to);
    if (line.Command == "lowest") ReportLowest(book, header.Balance, *today, out);
}

}  // namespace

std::string CsvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string UsageText() {
    return R"(Usage:
  tamber98-report plans    FILE
  tamber98-report schedule FILE --from DATE --to DATE
  tamber98-report month    FILE --today DATE --month YYYY-MM
  tamber98-report trend    FILE --today DATE --start DATE --days N
  tamber98-report catchup  FILE --today DATE
  tamber98-report ics      FILE --from DATE --to DATE
  tamber98-report journal  FILE --today DATE --to DATE
  tamber98-report lowest   FILE --today DATE
  tamber98-report --help

Reads the plan file FILE (never writes to it) and prints CSV on standard
output: UTF-8, comma separated, a header row first, every row ending in a
line feed, fields quoted only when they hold a comma, a quote or a line
break. Dates are YYYY-MM-DD, amounts whole signed numbers. Options may
also be written --name=value. ics and journal print other formats, told
with them below.

  plans     every plan in file order:
              index,kind,description,start,first,last,period_kind,period_count,amount
            index counts from 0; kind and period_kind are the stored codes;
            start is the start date without its time of day; first and last
            are the first and last occurrence; period_count and amount are
            the stored values (the direction of a fixed flow not applied).
  schedule  every occurrence from --from to --to, both included, by date
            and then plan index:
              date,plan,period,amount
  month     the calendar's figures for --month, with today = --today and the
            file's balance as today's opening balance (no catch-up):
              date,income,expense,balance
            from today (in today's month) or the 1st to the month's end, then
              total,<income total>,<expense total>,<average balance>
  trend     the projected balance at the end of each of N days from --start,
            with today = --today:
              date,balance
  catchup   the occurrences after the file's balance date and before --today
            that loading the file would ask to confirm:
              plan,period,date,amount
            then balance,,,<file balance + the sum of those amounts>
  ics       an iCalendar file (RFC 5545) of the occurrences schedule lists
            from --from to --to: one all-day event each, summary
            "<description, or the kind when empty> <signed amount>", the kind
            and the balance at the end of the day (the file's balance taken
            as the balance at the start of --from) in its description. Each
            UID comes from the plan's record and the period, so a calendar
            importing a later export updates its events instead of adding
            them again.
  journal   a plain-text accounting journal that hledger reads: an opening
            transaction on --today moving the file's balance from
            "equity:opening balances" to assets:tamber98, then one
            transaction per occurrence from --today to --to in schedule's
            order, described by the plan's description (or kind), its amount
            on assets:tamber98 and the opposite on income:<kind> (amounts
            above 0) or expenses:<kind>. The balance of assets:tamber98 at
            the end of each day is trend's figure for that day. A ";" in a
            description is written as the full-width "；", as hledger would
            read it as the start of a comment.
  lowest    looking ahead from --today to 31 December 35 years on (the
            calendar's reach), with the file's balance as today's opening
            balance (no catch-up):
              what,date,balance
              lowest,<date>,<balance>
              first_below_zero,<date>,<balance>
            the lowest end-of-day balance and the earliest day it is
            reached, then the first day ending below zero (date and balance
            empty when there is none). A balance that leaves 32 bits on the
            way ends the report with status 1, naming that day.

Exit status: 0 done; 1 the file cannot be read (讀檔錯誤), an amount cannot
be computed (the message names the plan by its 0-based index) or a balance
leaves 32 bits (month, lowest: the message names the day); 2 bad usage
(missing or unknown argument, impossible date or month, N not a count).
)";
}

int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << UsageText();
            return kExitOk;
        }
    }
    std::ostringstream csv;
    TCommandLine line;
    try {
        line = ParseCommandLine(args);
        RunCommand(line, csv);
    } catch (const TUsageError& e) {
        err << kProgram << ": " << e.Message << "\n\n" << UsageText();
        return kExitUsage;
    } catch (const EReadError& e) {
        err << kProgram << ": " << line.File << ": " << e.what() << '\n';
        return kExitFailed;
    } catch (const EPlanError& e) {
        err << kProgram << ": plan " << e.PlanIndex() << ": " << e.what() << '\n';
        return kExitFailed;
    } catch (const std::exception& e) {
        err << kProgram << ": " << e.what() << '\n';
        return kExitFailed;
    }
    out << csv.str();
    return out ? kExitOk : kExitFailed;
}

}  // namespace tamber::report
