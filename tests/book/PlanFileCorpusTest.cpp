// Replays the plan files of tests/book/planfile-corpus/ (inputs the fuzz
// target once found faulty) through its driver: every computation on what
// they load must end in a figure or a reported error.
#include <filesystem>
#include <string_view>

#include <gtest/gtest.h>

#include "BookTestSupport.h"
#include "FuzzDriver.h"

namespace tamber {
namespace {

TEST(PlanFileCorpus, EveryComputationEndsInAFigureOrAReportedError) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TAMBER_PLANFILE_CORPUS)) {
        const test::Bytes bytes = test::ReadBytes(entry.path());
        ++files;
        try {
            support::DrivePlanBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        } catch (const std::exception& e) {
            ADD_FAILURE() << entry.path().filename() << ": " << e.what();
        }
    }
    EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace tamber
