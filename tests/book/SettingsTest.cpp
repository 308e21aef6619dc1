#include "book/Settings.h"

#include <gtest/gtest.h>

#include "BookTestSupport.h"

namespace tamber {
namespace {

using Values = std::array<std::string, 3>;

TEST(Settings, ReadAndWriteTheHistoryKeysOnly) {
    test::ScratchDir dir;
    const auto file = dir / kSettingsFileName;
    const auto write = [&](const std::string& text) { std::ofstream(file, std::ios::binary) << text; };
    EXPECT_EQ(ReadSettings(file), Values{}) << "first run";
    EXPECT_EQ(test::ReadText(file), "[Tamber98]\r\nHistory1=\r\nHistory2=\r\nHistory3=\r\n");

    write("[Other]\nHistory1=/elsewhere.tbr\n[Tamber98]\r\nHistory2=/b.tbr\r\nhistory1=/a.tbr\r\nHistory3=\r\n");
    EXPECT_EQ(ReadSettings(file), (Values{"/a.tbr", "/b.tbr", ""})) << "keys by name, in their own section";

    write("; my notes\r\n[Tamber98]\r\nHistory1=/old1.tbr\r\nHistory2=/old2.tbr\r\nHistory3=/old3.tbr\r\nExtra=1\r\n\r\n[Later]\r\nX=2\r\n");
    ASSERT_TRUE(WriteSettings(file, {"/c.tbr"}));
    EXPECT_EQ(test::ReadText(file),
              "; my notes\r\n[Tamber98]\r\nHistory1=/c.tbr\r\nHistory2=/old2.tbr\r\nHistory3=/old3.tbr\r\nExtra=1\r\n\r\n[Later]\r\nX=2\r\n");
    ASSERT_TRUE(WriteSettings(file, {"/c.tbr", "/a.tbr", "/b.tbr"}));
    EXPECT_EQ(ReadSettings(file), (Values{"/c.tbr", "/a.tbr", "/b.tbr"}));

    write("[Other]\r\nY=1\r\n");  // a missing section and keys are added
    ASSERT_TRUE(WriteSettings(file, {"/a b/計劃.tbr", "/b.tbr"}));
    EXPECT_EQ(test::ReadText(file), "[Other]\r\nY=1\r\n[Tamber98]\r\nHistory1=/a b/計劃.tbr\r\nHistory2=/b.tbr\r\n");
    EXPECT_EQ(ReadSettings(file)[0], "/a b/計劃.tbr");
}

TEST(Settings, UnwritableProgramFolderFallsBackToTheUserFolder) {
    test::ScratchDir dir;
    EXPECT_EQ(ChooseSettingsFile(dir.Path, dir / "config"), dir / kSettingsFileName);
    const auto config = dir / "config" / "Tamber98";
    EXPECT_EQ(ChooseSettingsFile(dir / "no" / "such", config), config / kSettingsFileName);
    EXPECT_TRUE(std::filesystem::is_directory(config));
    EXPECT_FALSE(WriteSettings(dir / "no" / "such" / kSettingsFileName, {"/a.tbr"}));
}

TEST(RecentFiles, NewestFirstAtMostThreeNoRepeats) {
    struct Case { const char* what; TRecentFiles before; std::string path; TRecentFiles after; };
    const Case cases[] = {
        {"a new file pushes the oldest out", {"A", "B", "D"}, "C", {"C", "A", "B"}},
        {"a listed file moves to the top", {"A", "B", "D"}, "B", {"B", "A", "D"}},
        {"letter case makes another entry", {"/p/a.tbr"}, "/p/A.tbr", {"/p/A.tbr", "/p/a.tbr"}},
        {"an empty path changes nothing", {"A"}, "", {"A"}},
        {"the first file", {}, "A", {"A"}},
    };
    for (Case c : cases) {
        AddToRecentFiles(c.before, c.path);
        EXPECT_EQ(c.before, c.after) << c.what;
    }
}

}  // namespace
}  // namespace tamber
