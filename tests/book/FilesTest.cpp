// The plan file (byte for byte, damaged, the fuzz corpus, the catch-up, files and folders that will not do) and the
// settings file. Root may write whatever the file modes say: those cases run in a child process as the user "nobody".
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "FuzzDriver.h"
#include "TestSupport.h"
#include "book/Settings.h"

namespace tamber {
namespace {

using namespace test;
using std::filesystem::path;
using std::filesystem::perms;

const TDate kToday = Ymd(2025, 4, 10);
constexpr uid_t kNobody = 65534;

TEST(PlanFile, SaveLoadAndHeaderRewriteKeepEveryRecordByteForByte) {
    TPlanRecord rent = Flow(prMonthly, Ymd(2025, 1, 31) + 0.75, 24, -18000, "房租, \"五樓\"");
    rent.Pad17 = {1, 2, 3};
    rent.Pad185 = {7, 8, 9};
    rent.Description.Chars[119] = 'x';  // beyond the text's length, still kept
    const std::vector<TPlanRecord> records = {rent, Flow(prThriceMonthly, Ymd(2025, 2, 1), 9, 500).Days(5, 15, 31).Kind(pkCollect)};
    ScratchDir dir;
    WriteBytes(dir / "in.tbr", FileBytes(kToday - 1, -5, records));
    TPlanBook book;
    TPlanBookState state;
    state.Modified = true;
    EXPECT_EQ(LoadPlanFile(dir / "in.tbr", book, state, kToday, nullptr), TLoadOutcome::Loaded);
    EXPECT_EQ(std::tuple(state.PlanFileName, state.BalanceDate, state.LoadedBalance, state.Modified),
              std::tuple((dir / "in.tbr").string(), kToday - 1, -5, false));
    state.Modified = true;
    SavePlanFile(dir / "out.tbr", book, state, kToday + 5);
    EXPECT_EQ(std::pair(ReadBytes(dir / "out.tbr"), state.Modified), std::pair(FileBytes(kToday + 4, -5, records), false));
    RewritePlanFileHeader(dir / "out.tbr", -77, kToday + 9);
    EXPECT_EQ(ReadBytes(dir / "out.tbr"), FileBytes(kToday + 8, -77, records)) << "only the header is written";
}

enum TAction { Load,
               Save,
               SaveToFullDisk };

// What Action on File gives: the plans loaded, "saved", or the error's message; a failed load must leave
// an empty book, and a failed write a modified one.
std::string Outcome(TAction action, const path& file) {
    TPlanBook book = MakeBook({Once(kToday + 2, 11), Once(kToday + 4, 22)});
    TPlanBookState state;
    state.Modified = true;
    state.OpeningBalance = 3;
    try {
        if (action == Load) return LoadPlanFile(file, book, state, kToday, nullptr), std::to_string(book.Count()) + " plans";
        SavePlanFile(file, book, state, kToday, action == Save ? CreateFileSink : TSinkFactory([](const path&) { return CreateFileSink("/dev/full"); }));
        return state.Modified ? "saved but still modified" : "saved";
    } catch (const ETamberError& e) {
        if (action == Load && (!book.Empty() || !state.PlanFileName.empty() || state.OpeningBalance != 0)) return "a failed load left something";
        if (action != Load && !state.Modified) return "failed but no longer modified";
        return e.what();
    }
}

TEST(PlanFile, DamagedFilesFailOrLoseOnlyTheUnreadableParts) {
    const TPlanRecord good = Once(Ymd(2025, 5, 1), 100);
    Bytes trailing = FileBytes(kToday - 1, 9, {good});
    trailing.resize(trailing.size() + 187, 0xEE);
    std::vector<TPlanRecord> tooMany(10000, good), mostAndKind9 = tooMany;
    mostAndKind9.back() = Once(Ymd(2025, 5, 1), 100).Kind(9);
    const std::tuple<const char*, Bytes, const char*> cases[] = {
        // what, the file, what loading it gives
        {"a header cut short", Bytes(187, 0), "讀檔錯誤"},
        {"187 bytes after the last record are ignored", trailing, "1 plans"},
        {"a header date after the year 9999", FileBytes(kMaxDay + 1, 9, {good}), "讀檔錯誤"},
        {"plan kinds 7 and 255 are skipped silently", FileBytes(kToday - 1, 9, {good, Once(kToday, 1).Kind(7), Once(kToday, 1).Kind(255), good}), "2 plans"},
        {"a plan ending after the year 9999", FileBytes(kToday - 1, 9, {Flow(prYearly, kToday, 9000, 1)}), "讀檔錯誤"},
        {"a plan that cannot be computed", FileBytes(kToday - 3, 9, {Once(kToday - 1, 1), Broken(kToday - 2)}), "金額超出範圍"},
        {"9,999 plans and a skipped record", FileBytes(kToday - 1, 9, mostAndKind9), "9999 plans"},
        {"10,000 plans: more than the day list numbers", FileBytes(kToday - 1, 9, tooMany), "讀檔錯誤"},
    };
    ScratchDir dir;
    for (const auto& [what, bytes, outcome] : cases) {
        WriteBytes(dir / "f.tbr", bytes);
        EXPECT_EQ(std::pair(Outcome(Load, dir / "f.tbr"), ReadBytes(dir / "f.tbr")), std::pair(std::string(outcome), bytes)) << what;
    }
}

// The files the fuzz target once found faulty, driven through every computation as it drives them.
TEST(PlanFile, TheFuzzCorpusEndsInFiguresOrReportedErrors) {
    for (const auto& entry : std::filesystem::directory_iterator(TAMBER_PLANFILE_CORPUS)) {
        EXPECT_NO_THROW(support::DrivePlanBytes(ReadText(entry.path()))) << entry.path();
    }
    EXPECT_GT(std::distance(std::filesystem::directory_iterator(TAMBER_PLANFILE_CORPUS), {}), 0);
}

TEST(PlanFile, LoadAsksForTheCatchUpOnlyWhenOccurrencesFellDue) {
    const TPlanRecord daily = Flow(prEveryNDays, Ymd(2025, 4, 1), 100, 10);
    // The file holds the balance 1000 as of balanceDate; answer is what the catch-up gives.
    const struct {
        const char* what;
        TDate balanceDate;
        std::vector<TPlanRecord> plans;
        std::optional<int32_t> answer;
        TLoadOutcome outcome;
        int32_t opening;
    } cases[] = {
        {"declined: the load is undone", kToday - 3, {daily}, std::nullopt, TLoadOutcome::Declined, 0},
        {"written yesterday", kToday - 1, {daily}, 5, TLoadOutcome::Loaded, 1000},
        {"written the day before yesterday: only the header is rewritten", kToday - 2, {daily}, 1010, TLoadOutcome::CaughtUp, 1010},
        {"nothing fell due", kToday - 3, {Once(kToday + 1, 50)}, 5, TLoadOutcome::Loaded, 1000},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const Bytes before = FileBytes(c.balanceDate, 1000, c.plans);
        WriteBytes(dir / "f.tbr", before);
        TPlanBook book;
        TPlanBookState state;
        state.Modified = true;
        state.DayItems = {"   0       1"};
        bool asked = false;
        const auto catchUp = [&](TPendingList& pending, const TPlanBookState& s) {
            asked = true;
            EXPECT_EQ(std::tuple(s.LoadedBalance, s.BalanceDate, pending.size(), pending.back().Date),
                      std::tuple(1000, c.balanceDate, std::size_t(kToday - c.balanceDate - 1), kToday - 1))
                << "today is not listed";
            return c.answer;
        };
        const TLoadOutcome outcome = LoadPlanFile(dir / "f.tbr", book, state, kToday, catchUp);
        const bool declined = c.outcome == TLoadOutcome::Declined, rewritten = c.outcome == TLoadOutcome::CaughtUp;
        EXPECT_EQ(std::tuple(outcome, asked, state.OpeningBalance, state.CatchUpAccepted, book.Count(), state.PlanFileName.empty(),
                             state.DayItems.empty(), state.Modified),
                  std::tuple(c.outcome, c.outcome != TLoadOutcome::Loaded, c.opening, rewritten, declined ? 0 : int(c.plans.size()), declined, declined, false))
            << c.what;
        EXPECT_EQ(ReadBytes(dir / "f.tbr"), rewritten ? FileBytes(kToday - 1, c.opening, c.plans) : before) << c.what;
        EXPECT_FALSE(ChangedOnDisk(state)) << c.what << ": a header of ours is no change by someone else";
    }
}

// A stamp of the file loaded or saved tells a change by someone else (a sync tool keeps size and time) from none.
TEST(PlanFile, ChangesOnDiskSinceTheLoadOrSaveAreSeen) {
    ScratchDir dir;
    const path file = dir / "f.tbr";
    WriteBytes(file, FileBytes(kToday - 1, 5, {}));
    TPlanBook book;
    TPlanBookState state;
    LoadPlanFile(file, book, state, kToday, nullptr);
    EXPECT_FALSE(ChangedOnDisk(state)) << "untouched";
    const auto time = std::filesystem::last_write_time(file);
    WriteBytes(file, FileBytes(std::nextafter(kToday - 1, kMaxDay), 5, {}));  // its first byte only
    std::filesystem::last_write_time(file, time);
    EXPECT_TRUE(ChangedOnDisk(state)) << "the least change in the same size and time";
    WriteBytes(dir / "other.tbr", {});
    state.PlanFileName = (dir / "other.tbr").string();
    EXPECT_FALSE(ChangedOnDisk(state)) << "the stamp is another file's";
    SavePlanFile(file, book, state, kToday);
    state.PlanFileName = file.string();
    EXPECT_FALSE(ChangedOnDisk(state)) << "saved since";
    std::filesystem::last_write_time(file, time + std::chrono::hours(1));
    EXPECT_TRUE(ChangedOnDisk(state)) << "only touched";
    std::filesystem::remove(file);
    EXPECT_FALSE(ChangedOnDisk(state)) << "removed: nobody's changes to lose";
}

// A writer whose file holds no bytes a disk could keep (/dev/null takes no flush) replaces nothing.
TEST(PlanFile, ANewFileReplacesTheOldOnlyOnceItIsOnTheDisk) {
    ScratchDir dir;
    const Bytes before = FileBytes(kToday - 1, 1, {});
    WriteBytes(dir / "f.tbr", before);
    EXPECT_THROW(ReplaceFile(dir / "f.tbr", [](const path& temp) { std::filesystem::create_symlink("/dev/null", temp); }), EWriteError);
    EXPECT_EQ(std::pair(ReadBytes(dir / "f.tbr"), std::distance(std::filesystem::directory_iterator(dir.Path), {})), std::pair(before, 1L));
}

// Runs Work in a child process and gives back what it returned (or the exception that escaped).
std::string InChild(const std::function<std::string()>& work) {
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    if (fork() == 0) {  // an exception escaping Work ends the child with nothing said
        const std::string out = work();
        (void)!write(channel[1], out.data(), out.size());
        _exit(0);
    }
    close(channel[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
    close(channel[0]);
    wait(nullptr);
    return out;
}

// Work run as nobody when the tests run as root, directly otherwise.
std::string AsNobody(const std::function<std::string()>& work) {
    return geteuid() != 0 ? work() : InChild([&] {
        return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0 ? work() : "cannot become nobody";
    });
}

// Work run in a child process that may write no file beyond Bytes, as on a disk that fills up.
std::string OnAFullDisk(rlim_t bytes, const std::function<std::string()>& work) {
    return InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        return work();
    });
}

// A caught-up header not written (a disk filling up; someone else's file written while the list was shown) leaves the
// file on the disk as it is and the caught-up book loaded, to be saved as the user decides.
TEST(PlanFile, ACatchUpNotWrittenKeepsTheFileAndTheCaughtUpBook) {
    const TPlanRecord daily = Flow(prEveryNDays, Ymd(2025, 4, 1), 100, 10);
    const Bytes before = FileBytes(kToday - 3, 1000, {daily}), theirs = FileBytes(kToday - 1, 7, {daily, daily});
    ScratchDir dir;
    const path file = dir / "f.tbr";
    WriteBytes(file, before);
    const auto accept = [](TPendingList&, const TPlanBookState&) { return std::optional<int32_t>(1020); };
    const std::string outcome = OnAFullDisk(100, [&] {
        TPlanBook book;
        TPlanBookState state;
        try {
            LoadPlanFile(file, book, state, kToday, accept);
        } catch (const ECatchUpNotWritten&) {
            return std::string(state.Modified && state.OpeningBalance == 1020 ? "not written, kept" : "not written, lost");
        }
        return std::string("written");
    });
    EXPECT_EQ(std::pair(outcome, ReadBytes(file)), std::pair(std::string("not written, kept"), before));
    TPlanBook book;
    TPlanBookState state;
    const auto changeThenAccept = [&](TPendingList& pending, const TPlanBookState& s) {
        WriteBytes(file, theirs);
        return accept(pending, s);
    };
    EXPECT_EQ(LoadPlanFile(file, book, state, kToday, changeThenAccept), TLoadOutcome::CaughtUpNotWritten);
    EXPECT_EQ(std::tuple(ReadBytes(file), state.OpeningBalance, state.Modified, book.Count(), state.PlanFileName),
              std::tuple(theirs, 1020, true, 1, file.string()));
}

constexpr perms kReadWrite = perms::owner_read | perms::owner_write | perms::group_read;  // not what a new file gets
constexpr perms kReadOnly = perms::owner_read | perms::group_read | perms::others_read;
constexpr perms kOpenFolder = perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec;
constexpr perms kClosedFolder = kOpenFolder & ~perms::owner_write;

// What lies at the file's path ('f' a plan file, 'd' a folder, '-' nothing), what
// is done with it, and what it gives; "@" stands for the file's path.
const struct {
    const char* Name;
    TAction Action;
    char Lies;
    const char* Outcome;
    perms File = kReadWrite, Folder = kOpenFolder;
    const char* At = "plans.tbr";
} kCases[] = {
    {"load a missing file", Load, '-', "讀檔錯誤"},
    {"load a read-only file", Load, 'f', "讀檔錯誤", kReadOnly},
    {"load a writable file in a closed folder", Load, 'f', "1 plans", kReadWrite, kClosedFolder},
    {"save over a writable file", Save, 'f', "saved"},
    {"save to a full disk", SaveToFullDisk, 'f', "寫檔錯誤: /dev/full (磁碟空間不足)"},
    {"save into a missing folder", Save, '-', "寫檔錯誤: @ (找不到檔案或資料夾)", kReadWrite, kOpenFolder, "gone/plans.tbr"},
    {"save over a folder", Save, 'd', "寫檔錯誤: @ (這是資料夾, 不是檔案)"},
    {"save over a read-only file", Save, 'f', "寫檔錯誤: @ (沒有寫入的權限)", kReadOnly},
    {"save into a folder without write permission", Save, 'f', "寫檔錯誤: @ (沒有寫入的權限)", kReadWrite, kClosedFolder},
    {"save where a file stands for a folder", Save, '-', "寫檔錯誤: @ (路徑中有不是資料夾的名稱)", kReadWrite, kOpenFolder, "x/plans.tbr"},
};

TEST(PlanFile, BadFilesGiveTheirMessageAndLeaveTheFolderAsItWas) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.Name);
        ScratchDir dir;
        const path folder = dir / "user", file = folder / c.At;
        std::filesystem::create_directory(folder);
        WriteBytes(folder / "x", {});  // a file, not a folder
        if (c.Lies == 'f') WriteBytes(file, FileBytes(kToday - 1, 500, {Once(kToday + 3, 100)}));
        if (c.Lies == 'd') std::filesystem::create_directory(file);
        for (const path& p : {folder, file}) (void)!chown(p.c_str(), kNobody, kNobody);  // as root: see AsNobody
        if (c.Lies == 'f') std::filesystem::permissions(file, c.File);
        std::filesystem::permissions(folder, c.Folder);
        const auto contents = [&] { return c.Lies == 'd' ? Bytes{} : ReadBytes(file); };
        const Bytes before = contents();
        const auto listing = [&] { return std::set(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()); };
        const auto entries = listing();
        const std::string outcome = AsNobody([&] { return Outcome(c.Action, file); });
        std::filesystem::permissions(folder, perms::owner_all);
        std::string expected = c.Outcome;
        EXPECT_EQ(outcome, expected.find('@') == std::string::npos ? expected : expected.replace(expected.find('@'), 1, file.string()));
        EXPECT_EQ(contents() == before, outcome != "saved") << "the file as it was, or the saved book";
        if (c.Lies == 'f') {
            EXPECT_EQ(std::filesystem::status(file).permissions(), c.File) << "a saved file keeps its access rights";
        }
        EXPECT_EQ(listing(), entries) << "no file is left behind or lost";
    }
}

TEST(Settings, ReadAndWriteTheHistoryKeysOnly) {
    ScratchDir dir;
    const auto file = dir / kSettingsFileName;
    EXPECT_EQ(ReadSettings(file), (std::array<std::string, 3>{})) << "first run";
    EXPECT_EQ(ReadText(file), "[Tamber98]\r\nHistory1=\r\nHistory2=\r\nHistory3=\r\n");
    // Text before, the names written, the text after; then what the file reads as.
    const std::tuple<const char*, TRecentFiles, const char*, std::array<std::string, 3>> cases[] = {
        {"[Other]\nHistory1=/e.tbr\n[ tamber98 ]\r\nHistory2 = /b.tbr \r\nhistory1=/a.tbr\r\nHistory1=/x.tbr\r\n[]\r\nHistory3=/c.tbr\r\n", {}, nullptr, {"/a.tbr", "/b.tbr", ""}},
        {"; notes\r\n[Tamber98]\r\nHistory1=/1\r\nHistory2=/2\r\nHistory3=/3\r\nExtra=1\r\n\r\n[Later]\r\nX=2\r\n", {"/c"}, "; notes\r\n[Tamber98]\r\nHistory1=/c\r\nHistory2=/2\r\nHistory3=/3\r\nExtra=1\r\n\r\n[Later]\r\nX=2\r\n", {"/c", "/2", "/3"}},
        {"[Tamber98]\r\nHistory2=/x\r\n\r\n[Later]\r\nHistory3=/y\r\n", {"/c", "/a", "/b", "/d"}, "[Tamber98]\r\nHistory2=/a\r\nHistory1=/c\r\nHistory3=/b\r\n\r\n[Later]\r\nHistory3=/y\r\n", {"/c", "/a", "/b"}},
        {"[Other]\r\nY=1\r\n", {"/a b/計劃.tbr", "/b"}, "[Other]\r\nY=1\r\n[Tamber98]\r\nHistory1=/a b/計劃.tbr\r\nHistory2=/b\r\n", {"/a b/計劃.tbr", "/b", ""}},
    };
    for (const auto& [before, names, after, read] : cases) {
        std::ofstream(file, std::ios::binary) << before;
        if (after) {
            EXPECT_TRUE(WriteSettings(file, names) && ReadText(file) == after) << ReadText(file);
        }
        EXPECT_EQ(ReadSettings(file), read) << before;
    }
}

TEST(Settings, AFileThatCannotBeWrittenWholeNeverReplacesTheGoodOne) {
    ScratchDir dir;
    const auto file = dir / kSettingsFileName;
    const std::string good = "[Tamber98]\r\nHistory1=/a.tbr\r\n";
    std::ofstream(file, std::ios::binary) << good;
    const std::string written = OnAFullDisk(16, [&] { return WriteSettings(file, {"/a-name-longer-than-the-disk-has-room-for.tbr"}) ? "written" : "refused"; });
    EXPECT_EQ(std::tuple(written, ReadText(file), std::distance(std::filesystem::directory_iterator(dir.Path), {})), std::tuple("refused", good, 1));
}

TEST(Settings, UnwritableFoldersFallBackToTheUserFolderOrFail) {
    ScratchDir dir;
    EXPECT_EQ(ChooseSettingsFile(dir.Path, dir / "config"), dir / kSettingsFileName);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path)) << "the probe is removed";
    const auto config = dir / "config" / "Tamber98";
    EXPECT_EQ(ChooseSettingsFile(dir / "no" / "such", config), config / kSettingsFileName);
    EXPECT_TRUE(std::filesystem::is_directory(config));
    EXPECT_FALSE(WriteSettings(dir / "no" / kSettingsFileName, {"/a.tbr"})) << "a settings file that cannot be written";
}

}  // namespace
}  // namespace tamber
