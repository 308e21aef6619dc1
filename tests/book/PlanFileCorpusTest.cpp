// Replays the plan files of tests/book/planfile-corpus/ (inputs the fuzz
// target once found faulty, and damaged files made by hand) through the same
// driver: every computation on what they load must end in a figure or a
// reported error. Each file is also loaded through the file loader itself,
// which must agree with the driver and keep the plan records as they were.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "BookErrors.h"
#include "BookTestSupport.h"
#include "FuzzDriver.h"
#include "PlanFile.h"

namespace tamber {
namespace {

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(TAMBER_PLANFILE_CORPUS)) {
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string TestNameOf(const testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

class PlanFileCorpus : public testing::TestWithParam<std::string> {};

TEST_P(PlanFileCorpus, EveryComputationEndsInAFigureOrAReportedError) {
    const std::filesystem::path source = std::filesystem::path(TAMBER_PLANFILE_CORPUS) / GetParam();
    const test::Bytes bytes = test::ReadBytes(source);
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    support::TDriveSummary summary;
    try {
        summary = support::DrivePlanBytes(view);
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }

    // The file loader reads as the memory reader does, and a catch-up accepted
    // unchanged rewrites the header alone.
    test::ScratchDir dir;
    test::WriteBytes(dir / "plans.tbr", bytes);
    TPlanBook book;
    TPlanBookState state;
    bool asked = false;
    const auto accept = [&](TPendingList& pending, const TPlanBookState& s) -> std::optional<int32_t> {
        asked = true;
        if (summary.CatchUpToday >= 1) {
            EXPECT_EQ(pending.size(), summary.Pending);
        }
        return CaughtUpBalance(s.LoadedBalance, pending);
    };
    try {
        LoadPlanFile(dir / "plans.tbr", book, state, std::max(summary.CatchUpToday, 1.0), accept);
        EXPECT_TRUE(summary.Loaded);
        EXPECT_EQ(book.Count(), summary.Plans);
    } catch (const EReadError&) {
        EXPECT_FALSE(summary.Loaded);
        EXPECT_TRUE(book.Empty());
    } catch (const ETamberError&) {
        // A plan that cannot be listed, or a catch-up sum that does not fit: reported, the load undone.
        EXPECT_TRUE(book.Empty());
    }
    const test::Bytes after = test::ReadBytes(dir / "plans.tbr");
    ASSERT_EQ(after.size(), bytes.size());
    const std::size_t header = asked && !book.Empty() ? kPlanRecordSize : 0;
    EXPECT_TRUE(std::equal(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(header, bytes.size())), bytes.end(),
                           after.begin() + static_cast<std::ptrdiff_t>(std::min(header, bytes.size()))))
        << "the plan records changed";
}

INSTANTIATE_TEST_SUITE_P(Files, PlanFileCorpus, testing::ValuesIn(CorpusFiles()), TestNameOf);

}  // namespace
}  // namespace tamber
