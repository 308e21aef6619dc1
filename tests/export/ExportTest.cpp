// The iCalendar file and the journal, run through the report tool and read
// back by libical and by hledger.
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

#include "BookGenerator.h"
#include "ICalendar.h"
#include "Journal.h"
#include "PlanFile.h"
#include "RecordBuilder.h"
#include "ReportTool.h"

namespace tamber {
namespace {

using namespace test;

const TDate kToday = Ymd(2025, 6, 15);
const std::string kFrom = "2025-06-15", kTo = "2026-08-31";

TPlanRecord Once(TDate date, int32_t amount, const std::string& description) {
    TPlanRecord rec = RecordBuilder(prOnce, date, 1).Amount(amount < 0 ? -amount : amount, amount < 0 ? -1 : 1);
    SetDescriptionBytes(rec, description);  // raw bytes, so that control characters get in
    return rec;
}

// A temporary folder holding the plan file of a generated book with extra plans, balance 7,000.
struct PlanFile {
    std::filesystem::path Dir, Path;
    explicit PlanFile(const std::vector<TPlanRecord>& extra) {
        char name[] = "/tmp/tamber-export-XXXXXX";
        Dir = ::mkdtemp(name);
        Path = Dir / "plans.tbr";
        TPlanBook book = support::GeneratePlanBook(40, kToday);
        for (const TPlanRecord& rec : extra) book.Append(CreateFrom(rec));
        TPlanBookState state;
        state.OpeningBalance = 7000;
        SavePlanFile(Path, book, state, kToday);
    }
    ~PlanFile() { std::filesystem::remove_all(Dir); }
    std::string Report(const std::string& args) const {
        std::istringstream words(args);
        std::vector<std::string> argv{std::istream_iterator<std::string>(words), {}};
        argv.insert(argv.begin() + 1, Path.string());
        std::ostringstream out, err;
        EXPECT_EQ(report::RunReport(argv, out, err), 0) << err.str();
        return out.str();
    }
};

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
        rows.push_back(fields);
    }
    rows.erase(rows.begin());  // the heading
    return rows;
}

std::string WithoutCommas(std::string text) {
    std::erase(text, ',');
    return text;
}

// The trend's balance at the end of each day from --from to --to.
std::map<std::string, std::string> TrendBalances(const PlanFile& file) {
    std::map<std::string, std::string> balances;
    for (const auto& row : CsvRows(file.Report("trend --today " + kFrom + " --start " + kFrom + " --days 443"))) {
        balances[row[0]] = row[1];
    }
    return balances;
}

std::string IsoText(icaltimetype t) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
    return text;
}

const std::string kNamed = "房租; 水電, 管理費（一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十）";

TEST(ICalendar, OneEventPerScheduleRowReadBackByLibical) {
    const PlanFile file({Once(Ymd(2025, 7, 1), -12000, Utf8ToBig5(kNamed).Bytes), Once(Ymd(2025, 7, 2), 3000, ""),
                         Once(Ymd(2025, 7, 2), 3000, "")});
    const std::string args = "ics --from " + kFrom + " --to " + kTo;
    const std::string ics = file.Report(args);
    ASSERT_EQ(file.Report(args), ics) << "a second export gives the same file, the same UIDs";
    const auto schedule = CsvRows(file.Report("schedule --from " + kFrom + " --to " + kTo));
    const auto balances = TrendBalances(file);

    icalcomponent* calendar = icalparser_parse_string(ics.c_str());
    ASSERT_NE(calendar, nullptr);
    std::set<std::string> uids, summaries;
    std::size_t row = 0;
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT), ++row) {
        ASSERT_LT(row, schedule.size());
        const auto& expected = schedule[row];  // date, plan, period, amount
        const icaltimetype start = icalcomponent_get_dtstart(event);
        EXPECT_TRUE(start.is_date);
        EXPECT_EQ(IsoText(start), expected[0]);
        const std::string uid = icalcomponent_get_uid(event), summary = icalcomponent_get_summary(event);
        EXPECT_TRUE(uid.ends_with("-" + expected[2] + "@tamber98")) << uid;
        uids.insert(uid);
        summaries.insert(summary);
        const int32_t amount = std::stoi(expected[3]);
        EXPECT_TRUE(WithoutCommas(summary).ends_with(std::string(amount > 0 ? " +" : " ") + expected[3])) << summary;
        const std::string description = icalcomponent_get_description(event);
        EXPECT_TRUE(description.starts_with("計劃類別: ")) << description;
        EXPECT_TRUE(WithoutCommas(description).ends_with("\n當日結餘: " + balances.at(expected[0]))) << description;
    }
    icalcomponent_free(calendar);
    EXPECT_EQ(row, schedule.size());
    EXPECT_EQ(uids.size(), row) << "unique UIDs, byte-identical plans included";
    EXPECT_TRUE(summaries.contains(kNamed + " -12,000"));
    EXPECT_TRUE(summaries.contains("固定收入／支出 +3,000")) << "the kind's caption for an empty description";
}

TEST(ICalendar, UidIsTheRecordsHashThenThePeriod) {
    const TPlanRecord zero = ZeroPlanRecord();
    EXPECT_EQ(OccurrenceUid(zero, 0, 7), "e0eebbae2419d655-7@tamber98");
    EXPECT_EQ(OccurrenceUid(zero, 1, 7), "0b117a1f036c1594-7@tamber98");
}

// Runs Command, giving its standard output; Status gets its exit status.
std::string RunCommand(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    status = ::pclose(pipe);
    return out;
}

TEST(Journal, ReadByHledgerWithTheTrendsBalancesAndTheDescriptionsAsWritten) {
    if (std::system("command -v hledger >/dev/null 2>&1") != 0) GTEST_SKIP() << "hledger is not installed";
    struct Case { const char* what; std::string description; std::string readBack; };
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
    for (const Case& c : cases) extra.push_back(Once(Ymd(2025, 7, 1), -100, Utf8ToBig5(c.description).Bytes));
    const PlanFile file(extra);
    const std::filesystem::path journal = file.Dir / "plans.journal";
    std::ofstream(journal) << file.Report("journal --today " + kFrom + " --to " + kTo);

    int status = 0;
    const std::string hledger = "hledger -f '" + journal.string() + "' ";
    const std::string printed = RunCommand(hledger + "print -O csv", status);
    ASSERT_EQ(status, 0);
    for (const Case& c : cases) {
        EXPECT_NE(printed.find(",\"" + c.readBack + "\","), std::string::npos) << c.what;
    }

    // The running total after each day's last posting is the trend's balance of that day.
    const std::string registered = RunCommand(hledger + "register assets:tamber98 -O csv", status);
    ASSERT_EQ(status, 0);
    std::map<std::string, std::string> endOfDay;
    std::istringstream lines(registered);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        const std::size_t dateAt = line.find(",\"") + 2, totalAt = line.rfind(",\"") + 2;
        endOfDay[line.substr(dateAt, 10)] = line.substr(totalAt, line.size() - totalAt - 1);
    }
    std::string balance = "7000";
    for (const auto& [day, trend] : TrendBalances(file)) {
        if (endOfDay.contains(day)) balance = endOfDay[day];
        ASSERT_EQ(balance, trend) << day;
    }
}

}  // namespace
}  // namespace tamber
