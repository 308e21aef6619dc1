#include "Settings.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace tamber {
namespace {

using Values = std::array<std::string, 3>;

TEST(Settings, ReadAndWriteTheHistoryKeysOnly) {
    test::ScratchDir dir;
    const auto file = dir / kSettingsFileName;
    const auto write = [&](const std::string& text) { std::ofstream(file, std::ios::binary) << text; };
    EXPECT_EQ(ReadSettings(file), Values{}) << "first run";
    EXPECT_EQ(test::ReadText(file), "[Tamber98]\r\nHistory1=\r\nHistory2=\r\nHistory3=\r\n");

    write("[Other]\nHistory1=/elsewhere.tbr\n[ tamber98 ]\r\nHistory2 = /b.tbr \r\nhistory1=/a.tbr\r\nHistory1=/later.tbr\r\n[]\r\nHistory3=/c.tbr\r\n");
    EXPECT_EQ(ReadSettings(file), (Values{"/a.tbr", "/b.tbr", ""})) << "keys by name, in their own section, the first one counts";

    write("; my notes\r\n[Tamber98]\r\nHistory1=/old1.tbr\r\nHistory2=/old2.tbr\r\nHistory3=/old3.tbr\r\nExtra=1\r\n\r\n[Later]\r\nX=2\r\n");
    ASSERT_TRUE(WriteSettings(file, {"/c.tbr"}));
    EXPECT_EQ(test::ReadText(file),
              "; my notes\r\n[Tamber98]\r\nHistory1=/c.tbr\r\nHistory2=/old2.tbr\r\nHistory3=/old3.tbr\r\nExtra=1\r\n\r\n[Later]\r\nX=2\r\n");
    write("[Tamber98]\r\nHistory2=/x\r\n\r\n[Later]\r\nHistory3=/y\r\n");  // missing keys go after the section's last line
    ASSERT_TRUE(WriteSettings(file, {"/c.tbr", "/a.tbr", "/b.tbr", "/d.tbr"}));
    EXPECT_EQ(test::ReadText(file), "[Tamber98]\r\nHistory2=/a.tbr\r\nHistory1=/c.tbr\r\nHistory3=/b.tbr\r\n\r\n[Later]\r\nHistory3=/y\r\n");
    write("[Other]\r\nY=1\r\n");  // a missing section is added
    ASSERT_TRUE(WriteSettings(file, {"/a b/計劃.tbr", "/b.tbr"}));
    EXPECT_EQ(test::ReadText(file), "[Other]\r\nY=1\r\n[Tamber98]\r\nHistory1=/a b/計劃.tbr\r\nHistory2=/b.tbr\r\n");
    EXPECT_EQ(ReadSettings(file)[0], "/a b/計劃.tbr");
}

// A disk that fills up while the file is written: the child process may write no file beyond 16 bytes.
TEST(Settings, AFileThatCannotBeWrittenWholeNeverReplacesTheGoodOne) {
    test::ScratchDir dir;
    const auto file = dir / kSettingsFileName;
    const std::string good = "[Tamber98]\r\nHistory1=/a.tbr\r\n";
    std::ofstream(file, std::ios::binary) << good;
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WriteSettings(file, {"/a-name-longer-than-the-disk-has-room-for.tbr", "/b.tbr"}) ? 1 : 0);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0) << "the failed write is reported";
    EXPECT_EQ(test::ReadText(file), good);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 1) << "no unfinished file is left";
    EXPECT_FALSE(WriteSettings(dir / "no" / kSettingsFileName, {"/a.tbr"})) << "a missing folder";
    std::filesystem::create_directories(dir / "folder" / "inside");
    EXPECT_FALSE(WriteSettings(dir / "folder", {"/a.tbr"})) << "a folder where the file should be";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 2) << "the new file is removed again";
}

TEST(Settings, UnwritableProgramFolderFallsBackToTheUserFolder) {
    test::ScratchDir dir;
    EXPECT_EQ(ChooseSettingsFile(dir.Path, dir / "config"), dir / kSettingsFileName);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path)) << "the probe is removed";
    std::ofstream(dir / kSettingsFileName) << "[Tamber98]\r\n";
    EXPECT_EQ(ChooseSettingsFile(dir.Path, dir / "config"), dir / kSettingsFileName);
    const auto config = dir / "config" / "Tamber98";
    EXPECT_EQ(ChooseSettingsFile(dir / "no" / "such", config), config / kSettingsFileName);
    EXPECT_TRUE(std::filesystem::is_directory(config));
}

TEST(RecentFiles, NewestFirstAtMostThreeNoRepeats) {
    const struct { const char* what; TRecentFiles before; std::string path; TRecentFiles after; } cases[] = {
        {"a new file pushes the oldest out", {"A", "B", "D"}, "C", {"C", "A", "B"}},
        {"a listed file moves to the top", {"A", "B", "D"}, "B", {"B", "A", "D"}},
        {"letter case makes another entry", {"/p/a.tbr"}, "/p/A.tbr", {"/p/A.tbr", "/p/a.tbr"}},
        {"an empty path changes nothing", {"A"}, "", {"A"}},
    };
    for (auto c : cases) {
        AddToRecentFiles(c.before, c.path);
        EXPECT_EQ(c.before, c.after) << c.what;
    }
}

}  // namespace
}  // namespace tamber
