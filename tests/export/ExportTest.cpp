// The report tool's iCalendar file and journal, read back by libical and by hledger.
#include <libical/ical.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

const std::string kSpan = " 2025-06-15 --to 2026-08-31";  // 443 days

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

// Rent, a club meeting on the 10th, 20th and 31st (two periods on short months' last days), a loan and Extra plans
// with balance 7,000 in a plan file of its own folder.
struct PlanFile {
    ScratchDir Dir;
    std::filesystem::path Path = Dir / "plans.tbr";
    explicit PlanFile(std::vector<TPlanRecord> plans) {
        plans.push_back(Flow(prMonthly, Ymd(2025, 6, 5), 20, -12000, "房租"));
        plans.push_back(Flow(prThriceMonthly, Ymd(2025, 6, 15), 30, 1000).Days(10, 20, 31).Kind(pkCollect).Club(0, 0, 9, false, 0));
        plans.push_back(RecordBuilder(prMonthly, Ymd(2025, 7, 1), 13).Kind(pkLoan).Method(mtEqualPrincipal).Rate(6).Amount(120000));
        TPlanBookState state;
        state.OpeningBalance = 7000;
        SavePlanFile(Path, MakeBook(plans), state, Ymd(2025, 6, 15));
    }
    // The report tool's output for "COMMAND OPTIONS..." on the file.
    std::string Report(const std::string& args) const {
        std::istringstream words(args);
        std::vector<std::string> argv{std::istream_iterator<std::string>(words), {}};
        argv.insert(argv.begin() + 1, Path.string());
        std::ostringstream out, err;
        EXPECT_EQ(report::RunReport(argv, out, err), 0) << err.str();
        return out.str();
    }
    std::map<std::string, std::string> TrendBalances() const {
        std::map<std::string, std::string> balances;
        for (const auto& row : Rows(Report("trend --today 2025-06-15 --start 2025-06-15 --days 443"))) balances[row[0]] = row[1];
        return balances;
    }
};

TEST(ICalendar, OneAllDayEventPerScheduleRowWithTheTrendsBalance) {
    const std::string named = "房租; 水電, 管理費（一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十）";
    const PlanFile file({Flow(prOnce, Ymd(2025, 7, 1), 1, -12000, named), Once(Ymd(2025, 7, 2), 50000), Once(Ymd(2025, 7, 2), 50000)});
    const std::string ics = file.Report("ics --from" + kSpan);
    ASSERT_EQ(file.Report("ics --from" + kSpan), ics) << "a second export gives the same UIDs";
    const auto schedule = Rows(file.Report("schedule --from" + kSpan));  // date, plan, period, amount
    const auto balances = file.TrendBalances();

    icalcomponent* calendar = icalparser_parse_string(ics.c_str());
    std::size_t events = 0;
    std::set<std::string> uids, summaries;
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT), ++events) {
        ASSERT_LT(events, schedule.size());
        const auto& row = schedule[events];
        EXPECT_EQ(icaltime_as_ical_string(icalcomponent_get_dtstart(e)), Without(row[0], '-'));
        const std::string uid = icalcomponent_get_uid(e);
        EXPECT_TRUE(uid.ends_with("-" + row[2] + "@tamber98")) << uid;
        EXPECT_TRUE(Without(icalcomponent_get_description(e), ',').ends_with("當日結餘: " + balances.at(row[0])));
        uids.insert(uid);
        summaries.insert(icalcomponent_get_summary(e));
    }
    icalcomponent_free(calendar);
    EXPECT_EQ(events, schedule.size());
    EXPECT_EQ(uids.size(), events) << "unique UIDs, byte-identical plans included";
    EXPECT_TRUE(summaries.contains(named + " -12,000"));
    EXPECT_TRUE(summaries.contains("固定收入／支出 +50,000")) << "the kind for an empty description";
}

TEST(ICalendar, UidIsTheRecordsHashThenThePeriod) {
    EXPECT_EQ(OccurrenceUid(ZeroPlanRecord(), 0, 7), "e0eebbae2419d655-7@tamber98");
    EXPECT_EQ(OccurrenceUid(ZeroPlanRecord(), 1, 7), "0b117a1f036c1594-7@tamber98");
}

// What Command prints; false when it fails.
bool Shell(const std::string& command, std::string& out) {
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    return ::pclose(pipe) == 0;
}

TEST(Journal, HledgerReadsTheDescriptionsAsWrittenAndTheTrendsBalances) {
    if (std::system("command -v hledger >/dev/null 2>&1") != 0) GTEST_SKIP() << "hledger is not installed";
    struct Case {
        const char* what;
        const char* description;
        const char* readBack;
    };
    const Case cases[] = {
        {"a semicolon would start a comment", "水電; 瓦斯", "水電； 瓦斯"},
        {"a leading star would be the status", "*紅利", "*紅利"},
        {"a leading bang would be the status", "!急用", "!急用"},
        {"leading parentheses would be the code", "(年終) 獎金", "(年終) 獎金"},
        {"a bar, a hash and two blanks stay", "甲 | 乙  # 丙", "甲 | 乙  # 丙"},
        {"blanks at the ends are dropped", "  學費  ", "學費"},
        {"control characters become blanks", "a\tb\nc", "a b c"},
        {"an empty description gives the kind", "", "固定收入／支出"},
    };
    std::vector<TPlanRecord> extra;
    for (const Case& c : cases) extra.push_back(Flow(prOnce, Ymd(2025, 7, 1), 1, -100, c.description));
    const PlanFile file(extra);
    std::ofstream(file.Dir / "j") << file.Report("journal --today 2025-06-15 --to 2026-08-31");
    const std::string hledger = "hledger -f " + (file.Dir / "j").string() + " ";

    std::string printed, registered;
    ASSERT_TRUE(Shell(hledger + "print -O csv", printed));
    for (const Case& c : cases) EXPECT_NE(printed.find(",\"" + std::string(c.readBack) + "\","), std::string::npos) << c.what;

    // The running total after each day's last posting is the trend's balance of that day.
    ASSERT_TRUE(Shell(hledger + "register assets:tamber98 -O csv", registered));
    std::map<std::string, std::string> endOfDay;
    for (const auto& row : Rows(Without(registered, '"'))) endOfDay[row[1]] = row.back();
    std::string balance = "7000";
    for (const auto& [day, trend] : file.TrendBalances()) {
        if (endOfDay.contains(day)) balance = endOfDay[day];
        ASSERT_EQ(balance, trend) << day;
    }
}

}  // namespace
}  // namespace tamber
