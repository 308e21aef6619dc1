// tamber98-report: a plan file's figures as CSV on standard output.
#include <iostream>
#include <string>
#include <vector>

#include "app/report/ReportTool.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return tamber::report::RunReport(args, std::cout, std::cerr);
}
