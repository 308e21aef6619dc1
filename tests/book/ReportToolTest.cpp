#include "app/report/ReportTool.h"

#include <sys/wait.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace tamber {
namespace {

using namespace test;

// The tool run as a user runs it on a file with the balance 1000 valid up to 7 April 2025 and a record of kind 7
// between plans 1 and 2: the exit status, what it prints, and what standard error says.
TEST(ReportTool, PrintsTheProgramsFiguresAndReportsErrorsByExitCode) {
    ScratchDir dir;
    TPlanRecord unknown = Once(Ymd(2025, 4, 9), 1);
    unknown.PlanKind = 7;
    const Bytes sample = FileBytes(Ymd(2025, 4, 7), 1000, {Flow(prOnce, Ymd(2025, 4, 9), 1, 300, "年終, \"獎金\""), Flow(prMonthly, Ymd(2025, 4, 15) + 0.5, 3, -500, "房租"), unknown, Flow(prThriceMonthly, Ymd(2025, 4, 1), 4, 100).Days(15, 30, 31)});
    WriteBytes(dir / "plans.tbr", sample);
    WriteBytes(dir / "large.tbr", FileBytes(Ymd(2025, 4, 7), 2147483000, {Once(Ymd(2031, 5, 6), 9000)}));
    WriteBytes(dir / "broken.tbr", FileBytes(Ymd(2025, 4, 7), 0, {Once(Ymd(2025, 4, 9), 1), Broken(Ymd(2025, 4, 9))}));
    const auto lastWrite = std::filesystem::last_write_time(dir / "plans.tbr");
    const std::string file = "'" + (dir / "plans.tbr").string() + "' ";
    const struct {
        std::string args;
        int code;
        std::string out;
        const char* err; /* found in stderr */
    } cases[] = {
        {"plans " + file, 0,
         "index,kind,description,start,first,last,period_kind,period_count,amount\n0,0,\"年終, \"\"獎金\"\"\",2025-04-09,2025-04-09,"
         "2025-04-09,8,1,300\n1,0,房租,2025-04-15,2025-04-15,2025-06-15,5,3,500\n2,0,,2025-04-01,2025-04-15,2025-05-15,7,4,100\n",
         ""},
        {"schedule " + file + "--from 2025-04-09 --to=2025-05-15", 0,  // by date, then plan; two periods on 30 April
         "date,plan,period,amount\n2025-04-09,0,1,300\n2025-04-15,1,1,-500\n2025-04-15,2,1,100\n2025-04-30,2,2,100\n"
         "2025-04-30,2,3,100\n2025-05-15,1,2,-500\n2025-05-15,2,4,100\n",
         ""},
        {"month " + file + "--today 2025-04-28 --month 2025-04", 0,  // from today's day; the average 3200 / 3
         "date,income,expense,balance\n2025-04-28,0,0,1000\n2025-04-29,0,0,1000\n2025-04-30,200,0,1200\ntotal,200,0,1067\n", ""},
        {"trend " + file + "--today 2025-04-10 --start 2025-04-14 --days 3", 0,
         "date,balance\n2025-04-14,1000\n2025-04-15,600\n2025-04-16,600\n", ""},
        {"catchup " + file + "--today 2025-05-01", 0,
         "plan,period,date,amount\n0,1,2025-04-09,300\n1,1,2025-04-15,-500\n2,1,2025-04-15,100\n2,2,2025-04-30,100\n"
         "2,3,2025-04-30,100\nbalance,,,1100\n",
         ""},
        {"lowest " + file + "--today 2025-04-10", 0, "what,date,balance\nlowest,2025-06-15,-100\nfirst_below_zero,2025-06-15,-100\n", ""},
        {"lowest " + file + "--today 2025-06-16", 0, "what,date,balance\nlowest,2025-06-16,1000\nfirst_below_zero,,\n", ""},
        {"lowest '" + (dir / "large.tbr").string() + "' --today 2025-04-10", 1, "", "結存超出範圍: 2031-05-06 起"},
        {"month '" + (dir / "large.tbr").string() + "' --today 2025-04-10 --month 2031-06", 1, "", "結存超出範圍: 2031-05-06 起"},
        {"plans --help", 0, report::UsageText(), ""},
        {"", 2, "", "no command given"},
        {"totals " + file, 2, "", "unknown command 'totals'"},
        {"plans", 2, "", "no FILE given"},
        {"plans " + file + file, 2, "", "more than one FILE"},
        {"schedule " + file + "--from 2024-01-01", 2, "", "option --to is missing"},
        {"schedule " + file + "--from", 2, "", "option --from needs a value"},
        {"catchup " + file + "--today 2024-02-30", 2, "", "--today '2024-02-30' is not a date"},
        {"catchup " + file + "--today 2024-02--3", 2, "", "is not a date"},
        {"month " + file + "--today 2024-01-01 --month 2024-13", 2, "", "--month '2024-13' is not a month"},
        {"trend " + file + "--today 2024-01-01 --start 2024-01-01 --days x", 2, "", "not a count"},
        {"trend " + file + "--today 2024-01-01 --start 9999-12-30 --days 3", 2, "", "runs past 9999-12-31"},
        {"plans " + file + "--today 2024-01-01", 2, "", "'plans' takes no option --today"},
        {"plans '" + (dir / "missing.tbr").string() + "'", 1, "", "missing.tbr: 讀檔錯誤"},
        {"schedule '" + (dir / "broken.tbr").string() + "' --from 2025-04-01 --to 2025-04-30", 1, "", "plan 1: 金額超出範圍"},
    };
    for (const auto& c : cases) {
        const std::string cmd = "'" TAMBER98_REPORT "' " + c.args + " >'" + (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
        const int status = std::system(cmd.c_str());
        EXPECT_EQ(std::pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir / "out")), std::pair(c.code, c.out)) << c.args;
        const std::string err = ReadText(dir / "err");
        EXPECT_TRUE(*c.err ? err.find(c.err) != std::string::npos : err.empty()) << c.args << ": " << err;
    }
    EXPECT_EQ(std::pair(ReadBytes(dir / "plans.tbr"), std::filesystem::last_write_time(dir / "plans.tbr")), std::pair(sample, lastWrite));
    EXPECT_EQ(report::CsvField("a\rb") + report::CsvField("x\ny"), "\"a\rb\"\"x\ny\"");
}

}  // namespace
}  // namespace tamber
