#include "ReportTool.h"

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "Big5.h"
#include "BookTestSupport.h"
#include "PlanFile.h"

namespace tamber {
namespace {

using test::Bytes;
using test::Once;
using test::Ymd;

// Balance 1000 valid up to 7 April 2025; a record of kind 7 between plans 1 and 2.
Bytes SampleFile() {
    TPlanRecord bonus = Once(Ymd(2025, 4, 9), 300);
    SetDescriptionBytes(bonus, Utf8ToBig5("年終, \"獎金\"").Bytes);
    TPlanRecord rent = test::Flow(prMonthly, Ymd(2025, 4, 15) + 0.5, 3, -500);
    SetDescriptionBytes(rent, Utf8ToBig5("房租").Bytes);
    TPlanRecord unknown = bonus;
    unknown.PlanKind = 7;
    const TPlanRecord club = test::RecordBuilder(prThriceMonthly, Ymd(2025, 4, 1), 4).Days(15, 30, 31).Amount(100);
    Bytes bytes;
    test::Append(bytes, HeaderToBytes({Ymd(2025, 4, 7), 1000}));
    for (const TPlanRecord& rec : {bonus, rent, unknown, club}) test::Append(bytes, RecordToBytes(rec));
    return bytes;
}

struct ReportTest : ::testing::Test {
    test::ScratchDir dir;
    std::string file = (dir / "plans.tbr").string();
    void SetUp() override { test::WriteBytes(file, SampleFile()); }

    std::string Csv(std::vector<std::string> args) {
        args.insert(args.begin() + 1, file);
        std::ostringstream out, err;
        EXPECT_EQ(report::RunReport(args, out, err), report::kExitOk) << err.str();
        return out.str();
    }
};

TEST_F(ReportTest, CommandsPrintTheProgramsFigures) {
    struct Case { const char* what; std::vector<std::string> args; const char* csv; };
    const Case cases[] = {
        {"plans, the kind 7 record left out", {"plans"},
         "index,kind,description,start,first,last,period_kind,period_count,amount\n"
         "0,0,\"年終, \"\"獎金\"\"\",2025-04-09,2025-04-09,2025-04-09,8,1,300\n"
         "1,0,房租,2025-04-15,2025-04-15,2025-06-15,5,3,500\n"
         "2,0,,2025-04-01,2025-04-15,2025-05-15,7,4,100\n"},
        {"schedule by date then plan, two periods on 30 April", {"schedule", "--from", "2025-04-09", "--to=2025-05-15"},
         "date,plan,period,amount\n"
         "2025-04-09,0,1,300\n2025-04-15,1,1,-500\n2025-04-15,2,1,100\n2025-04-30,2,2,100\n"
         "2025-04-30,2,3,100\n2025-05-15,1,2,-500\n2025-05-15,2,4,100\n"},
        {"month from today's day, average 3200 / 3", {"month", "--today", "2025-04-28", "--month", "2025-04"},
         "date,income,expense,balance\n"
         "2025-04-28,0,0,1000\n2025-04-29,0,0,1000\n2025-04-30,200,0,1200\ntotal,200,0,1067\n"},
        {"trend with an occurrence on its second day", {"trend", "--today", "2025-04-10", "--start", "2025-04-14", "--days", "3"},
         "date,balance\n2025-04-14,1000\n2025-04-15,600\n2025-04-16,600\n"},
        {"catchup from the header's balance date", {"catchup", "--today", "2025-05-01"},
         "plan,period,date,amount\n"
         "0,1,2025-04-09,300\n1,1,2025-04-15,-500\n2,1,2025-04-15,100\n2,2,2025-04-30,100\n2,3,2025-04-30,100\n"
         "balance,,,1100\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Csv(c.args), c.csv) << c.what;
}

// Runs the built tool; stdout and stderr go to files in the scratch folder.
struct ToolRun {
    int code = -1;
    std::string out, err;
};

ToolRun RunTool(const test::ScratchDir& dir, const std::string& args) {
    const std::string cmd = std::string("'") + TAMBER98_REPORT + "' " + args + " >'" + (dir / "out").string() +
                            "' 2>'" + (dir / "err").string() + "'";
    const int status = std::system(cmd.c_str());
    const auto text = [&](const char* name) {
        const Bytes bytes = test::ReadBytes(dir / name);
        return std::string(bytes.begin(), bytes.end());
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text("out"), text("err")};
}

TEST_F(ReportTest, ToolReportsErrorsByExitCodeAndNeverWritesTheFile) {
    const auto lastWrite = std::filesystem::last_write_time(file);
    const ToolRun plans = RunTool(dir, "plans '" + file + "'");
    EXPECT_EQ(plans.code, 0);
    EXPECT_EQ(plans.out, Csv({"plans"}));
    EXPECT_EQ(plans.err, "");

    const ToolRun help = RunTool(dir, "--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out, report::UsageText());

    struct Case { const char* what; std::string args; };
    const Case usage[] = {
        {"no arguments", ""},
        {"an unknown command", "totals " + file},
        {"no FILE", "plans"},
        {"a missing --to", "schedule " + file + " --from 2024-01-01"},
        {"30 February", "catchup " + file + " --today 2024-02-30"},
        {"month 13", "month " + file + " --today 2024-01-01 --month 2024-13"},
        {"a count that is no number", "trend " + file + " --today 2024-01-01 --start 2024-01-01 --days x"},
        {"another command's option", "plans " + file + " --today 2024-01-01"},
    };
    for (const Case& c : usage) {
        const ToolRun run = RunTool(dir, c.args);
        EXPECT_EQ(run.code, 2) << c.what;
        EXPECT_EQ(run.out, "") << c.what;
        EXPECT_NE(run.err.find("Usage:"), std::string::npos) << c.what;
    }

    const ToolRun missing = RunTool(dir, "plans '" + (dir / "missing.tbr").string() + "'");
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("讀檔錯誤"), std::string::npos) << missing.err;

    Bytes broken;
    test::Append(broken, HeaderToBytes({Ymd(2025, 4, 7), 0}));
    test::Append(broken, RecordToBytes(Once(Ymd(2025, 4, 9), 1)));
    test::Append(broken, RecordToBytes(test::Broken(Ymd(2025, 4, 9))));
    test::WriteBytes(dir / "broken.tbr", broken);
    const ToolRun failed = RunTool(dir, "schedule '" + (dir / "broken.tbr").string() + "' --from 2025-04-01 --to 2025-04-30");
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_NE(failed.err.find("plan 1"), std::string::npos) << failed.err;

    EXPECT_EQ(test::ReadBytes(file), SampleFile());
    EXPECT_EQ(std::filesystem::last_write_time(file), lastWrite);
}

}  // namespace
}  // namespace tamber
