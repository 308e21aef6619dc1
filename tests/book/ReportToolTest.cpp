#include "app/report/ReportTool.h"

#include <sys/wait.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace tamber {
namespace {

using namespace test;

// The tool run on a file with the balance 1000 up to 7 April 2025 and a record of kind 7 between plans 1 and 2.
TEST(ReportTool, PrintsTheProgramsFiguresAndReportsErrorsByExitCode) {
    ScratchDir dir;
    const Bytes sample = FileBytes(Ymd(2025, 4, 7), 1000, {Flow(prOnce, Ymd(2025, 4, 9), 1, 300, "年終, \"獎金\""), Flow(prMonthly, Ymd(2025, 4, 15) + 0.5, 3, -500, "房租"), Once(Ymd(2025, 4, 9), 1).Kind(7), Flow(prThriceMonthly, Ymd(2025, 4, 1), 4, 100).Days(15, 30, 31)});
    WriteBytes(dir / "plans.tbr", sample);
    WriteBytes(dir / "large.tbr", FileBytes(Ymd(2025, 4, 7), 2147483000, {Once(Ymd(2031, 5, 6), 9000)}));
    WriteBytes(dir / "broken.tbr", FileBytes(Ymd(2025, 4, 7), 0, {Once(Ymd(2025, 4, 9), 1), Broken(Ymd(2025, 4, 9))}));
    const auto lastWrite = std::filesystem::last_write_time(dir / "plans.tbr");
    const std::string file = "'" + (dir / "plans.tbr").string() + "' ";
    const std::tuple<std::string, int, std::string, const char*> cases[] = {
        // arguments, exit status, output, in stderr
        {"plans " + file, 0,
         "index,kind,description,start,first,last,period_kind,period_count,amount\n0,0,\"年終, \"\"獎金\"\"\",2025-04-09,2025-04-09,"
         "2025-04-09,8,1,300\n1,0,房租,2025-04-15,2025-04-15,2025-06-15,5,3,500\n2,0,,2025-04-01,2025-04-15,2025-05-15,7,4,100\n",
         ""},
        {"schedule " + file + "--from 2025-04-09 --to=2025-05-15", 0,  // by date, then plan; two periods on 30 April
         "date,plan,period,amount\n2025-04-09,0,1,300\n2025-04-15,1,1,-500\n2025-04-15,2,1,100\n2025-04-30,2,2,100\n"
         "2025-04-30,2,3,100\n2025-05-15,1,2,-500\n2025-05-15,2,4,100\n",
         ""},
        {"trend " + file + "--today 2025-04-10 --start 2025-04-14 --days 3", 0,
         "date,balance\n2025-04-14,1000\n2025-04-15,600\n2025-04-16,600\n", ""},
        {"month " + file + "--today 2025-04-28 --month 2025-04", 0,  // from today's day; the average 3200 / 3
         "date,income,expense,balance\n2025-04-28,0,0,1000\n2025-04-29,0,0,1000\n2025-04-30,200,0,1200\ntotal,200,0,1067\n", ""},
        {"catchup " + file + "--today 2025-05-01", 0,
         "plan,period,date,amount\n0,1,2025-04-09,300\n1,1,2025-04-15,-500\n2,1,2025-04-15,100\n2,2,2025-04-30,100\n2,3,2025-04-30,100\nbalance,,,1100\n", ""},
        {"lowest " + file + "--today 2025-04-10", 0, "what,date,balance\nlowest,2025-06-15,-100\nfirst_below_zero,2025-06-15,-100\n", ""},
        {"lowest '" + (dir / "large.tbr").string() + "' --today 2025-04-10", 1, "", "結存超出範圍: 2031-05-06 起"},
        {"", 2, "", "no command given"},
        {"totals " + file, 2, "", "unknown command 'totals'"},
        {"plans", 2, "", "no FILE given"},
        {"schedule " + file + "--from 2024-01-01", 2, "", "option --to is missing"},
        {"catchup " + file + "--today 2024-02-30", 2, "", "--today '2024-02-30' is not a date"},
        {"month " + file + "--today 2024-01-01 --month 2024-13", 2, "", "--month '2024-13' is not a month"},
        {"month " + file + "--today 2024-01-01 --month 2024/04", 2, "", "--month '2024/04' is not a month"},
        {"trend " + file + "--today 2024-01-01 --start 9999-12-30 --days 3", 2, "", "runs past 9999-12-31"},
        {"plans '" + (dir / "missing.tbr").string() + "'", 1, "", "missing.tbr: 讀檔錯誤"},
        {"schedule '" + (dir / "broken.tbr").string() + "' --from 2025-04-01 --to 2025-04-30", 1, "", "plan 1: 金額超出範圍"},
    };
    for (const auto& [args, code, out, err] : cases) {
        const std::string cmd = "'" TAMBER98_REPORT "' " + args + " >'" + (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
        const int status = std::system(cmd.c_str());
        const std::string said = ReadText(dir / "err");
        EXPECT_EQ(std::tuple(WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir / "out"), *err ? said.find(err) != std::string::npos : said.empty()),
                  std::tuple(code, out, true))
            << args << ": " << said;
    }
    EXPECT_EQ(std::pair(ReadBytes(dir / "plans.tbr"), std::filesystem::last_write_time(dir / "plans.tbr")), std::pair(sample, lastWrite));
    EXPECT_EQ(report::CsvField("a\rb") + report::CsvField("x\ny"), "\"a\rb\"\"x\ny\"");
}

}  // namespace
}  // namespace tamber
