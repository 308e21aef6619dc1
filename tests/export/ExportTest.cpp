// The report tool's iCalendar file and journal, read back by libical and by hledger.
#include <libical/ical.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/report/ReportTool.h"
#include "export/ICalendar.h"

namespace tamber {
namespace {

using namespace test;

std::string Without(std::string text, char c) {
    std::erase(text, c);
    return text;
}

// The CSV rows after the heading, split at every comma.
std::vector<std::vector<std::string>> Rows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(csv);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream cells(line);
        rows.emplace_back();
        for (std::string cell; std::getline(cells, cell, ',');) rows.back().push_back(cell);
    }
    rows.erase(rows.begin());
    return rows;
}

// What Command prints; false when it fails.
bool Shell(const std::string& command, std::string& out) {
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    return ::pclose(pipe) == 0;
}

// One all-day event per schedule row with the trend's balance, its UID the record's hash and the period (the same on
// every export); the journal as hledger reads it, its running total the trend's balance.
TEST(Export, ICalendarAndJournalReadBackWithTheTrendsBalances) {
    EXPECT_EQ(OccurrenceUid(ZeroPlanRecord(), 0, 7) + OccurrenceUid(ZeroPlanRecord(), 1, 7),
              "e0eebbae2419d655-7@tamber98"
              "0b117a1f036c1594-7@tamber98");
    const std::string named = "房租; 水電, 管理費（一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十）";
    // Descriptions and what hledger reads back: a semicolon would start a comment, a leading star the status; control
    // characters become blanks; an empty description gives the kind.
    const std::pair<std::string, const char*> cases[] = {
        {named, "房租； 水電, 管理費（一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十）"},
        {"*紅利", "*紅利"},
        {"  學費 | a\tb\nc  ", "學費 | a b c"},
        {"", "固定收入／支出"},
    };
    ScratchDir dir;
    std::vector<TPlanRecord> plans = {
        Flow(prMonthly, Ymd(2025, 6, 5), 20, -12000, "房租"),
        Flow(prThriceMonthly, Ymd(2025, 6, 15), 30, 1000).Days(10, 20, 31).Kind(pkCollect).Club(0, 0, 9, false, 0),  // two on short months' last days
        RecordBuilder(prMonthly, Ymd(2025, 7, 1), 13).Kind(pkLoan).Method(mtEqualPrincipal).Rate(6).Amount(120000),
        Once(Ymd(2025, 7, 2), 50000),
        Once(Ymd(2025, 7, 2), 50000),
    };
    for (const auto& [description, readBack] : cases) plans.push_back(Flow(prOnce, Ymd(2025, 7, 1), 1, -12000, description));
    WriteBytes(dir / "plans.tbr", FileBytes(Ymd(2025, 6, 14), 7000, plans));  // the balance 7,000 up to 14 June 2025
    const auto report = [&](std::vector<std::string> args) {                  // the tool's output for a command and its options
        args.insert(args.begin() + 1, (dir / "plans.tbr").string());
        std::ostringstream out, err;
        EXPECT_EQ(report::RunReport(args, out, err), 0) << err.str();
        return out.str();
    };
    const auto schedule = Rows(report({"schedule", "--from", "2025-06-15", "--to", "2026-08-31"}));  // date, plan, period, amount
    std::map<std::string, std::string> balances;
    for (const auto& row : Rows(report({"trend", "--today", "2025-06-15", "--start", "2025-06-15", "--days", "443"}))) balances[row[0]] = row[1];
    icalcomponent* calendar = icalparser_parse_string(report({"ics", "--from", "2025-06-15", "--to", "2026-08-31"}).c_str());
    std::size_t events = 0;
    std::set<std::string> uids, summaries;
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT), ++events) {
        const auto& row = schedule.at(events);
        const std::string uid = icalcomponent_get_uid(e);
        EXPECT_EQ(std::tuple(std::string(icaltime_as_ical_string(icalcomponent_get_dtstart(e))), uid.ends_with("-" + row[2] + "@tamber98"),
                             Without(icalcomponent_get_description(e), ',').ends_with("當日結餘: " + balances.at(row[0]))),
                  std::tuple(Without(row[0], '-'), true, true))
            << uid;
        uids.insert(uid);
        summaries.insert(icalcomponent_get_summary(e));
    }
    icalcomponent_free(calendar);
    EXPECT_EQ(std::pair(events, uids.size()), std::pair(schedule.size(), schedule.size())) << "unique UIDs, byte-identical plans included";
    EXPECT_TRUE(summaries.contains(named + " -12,000") && summaries.contains("固定收入／支出 +50,000")) << "the kind for an empty description";

    if (std::system("command -v hledger >/dev/null 2>&1") != 0) GTEST_SKIP() << "hledger is not installed";
    std::ofstream(dir / "j") << report({"journal", "--today", "2025-06-15", "--to", "2026-08-31"});
    const std::string hledger = "hledger -f " + (dir / "j").string() + " ";
    std::string printed, registered;
    ASSERT_TRUE(Shell(hledger + "print -O csv", printed));
    for (const auto& [description, readBack] : cases) EXPECT_NE(printed.find(",\"" + std::string(readBack) + "\","), std::string::npos) << readBack;
    ASSERT_TRUE(Shell(hledger + "register assets:tamber98 -O csv", registered));
    std::map<std::string, std::string> endOfDay;
    for (const auto& row : Rows(Without(registered, '"'))) endOfDay[row[1]] = row.back();
    std::string balance = "7000";
    for (const auto& [day, trend] : balances) {
        if (endOfDay.contains(day)) balance = endOfDay[day];
        ASSERT_EQ(balance, trend) << day;
    }
}

}  // namespace
}  // namespace tamber
