#include "Settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tamber {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tamber-settings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = dir_ / kSettingsFileName;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Contents() const {
        std::ifstream in(file_, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void Write(const std::string& text) const { std::ofstream(file_, std::ios::binary) << text; }

    fs::path dir_, file_;
};

TEST_F(SettingsTest, FirstRunCreatesTheFileWithFourEmptyLines) {
    const auto values = ReadSettings(file_);
    EXPECT_EQ(values, (std::array<std::string, 3>{}));
    EXPECT_EQ(Contents(), "[Tamber98]\r\nHistory1=\r\nHistory2=\r\nHistory3=\r\n");
}

TEST_F(SettingsTest, KeysAreFoundByNameInTheirSectionOnly) {
    Write("[Other]\nHistory1=/elsewhere.tbr\n[Tamber98]\r\nHistory2=/b.tbr\r\nhistory1=/a.tbr\r\nHistory3=\r\n");
    EXPECT_EQ(ReadSettings(file_), (std::array<std::string, 3>{"/a.tbr", "/b.tbr", ""}));
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
    for (const Case& c : cases) {
        TRecentFiles files = c.before;
        AddToRecentFiles(files, c.path);
        EXPECT_EQ(files, c.after) << c.what;
    }
}

TEST_F(SettingsTest, WritingKeepsEveryOtherLineAndUnlistedRanks) {
    Write("; my notes\r\n[Tamber98]\r\nHistory1=/old1.tbr\r\nHistory2=/old2.tbr\r\nHistory3=/old3.tbr\r\nExtra=1\r\n\r\n[Later]\r\nX=2\r\n");
    ASSERT_TRUE(WriteSettings(file_, {"/c.tbr"}));
    EXPECT_EQ(Contents(),
              "; my notes\r\n[Tamber98]\r\nHistory1=/c.tbr\r\nHistory2=/old2.tbr\r\nHistory3=/old3.tbr\r\nExtra=1\r\n\r\n[Later]\r\nX=2\r\n");
    ASSERT_TRUE(WriteSettings(file_, {"/c.tbr", "/a.tbr", "/b.tbr"}));
    EXPECT_EQ(ReadSettings(file_), (std::array<std::string, 3>{"/c.tbr", "/a.tbr", "/b.tbr"}));
}

TEST_F(SettingsTest, MissingSectionOrKeysAreAdded) {
    Write("[Other]\r\nY=1\r\n");
    ASSERT_TRUE(WriteSettings(file_, {"/a b/計劃.tbr", "/b.tbr"}));
    EXPECT_EQ(Contents(), "[Other]\r\nY=1\r\n[Tamber98]\r\nHistory1=/a b/計劃.tbr\r\nHistory2=/b.tbr\r\n");
    EXPECT_EQ(ReadSettings(file_)[0], "/a b/計劃.tbr");
}

TEST_F(SettingsTest, UnwritableProgramFolderFallsBackToTheUserFolder) {
    EXPECT_EQ(ChooseSettingsFile(dir_, dir_ / "config"), file_);
    const fs::path config = dir_ / "config" / "Tamber98";
    EXPECT_EQ(ChooseSettingsFile(dir_ / "no" / "such" / "folder", config), config / kSettingsFileName);
    EXPECT_TRUE(fs::is_directory(config));
    EXPECT_FALSE(WriteSettings(dir_ / "no" / "such" / "folder" / kSettingsFileName, {"/a.tbr"}));
}

}  // namespace
}  // namespace tamber
