// tamber98-report: prints a plan file's figures as CSV, computed by the same
// plan book, ledger, catch-up and trend code as the program, and its
// occurrences as an iCalendar file or a plain-text accounting journal.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tamber::report {

// Exit codes of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // unreadable file, or an amount that cannot be computed
inline constexpr int kExitUsage = 2;   // bad command line

// Runs the tool on Args (the arguments after the program name): the report goes to
// Out, messages and the usage after a usage error to Err. Returns the exit code.
// Nothing is written to Out unless the whole report could be computed.
int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The text --help prints.
std::string UsageText();

// Field as one CSV field: quoted, with quotes doubled, only when it holds a
// comma, a quote or a line break.
std::string CsvField(const std::string& field);

}  // namespace tamber::report
