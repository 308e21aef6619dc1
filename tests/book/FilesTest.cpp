// The plan file (byte for byte, damaged, the fuzz corpus, the catch-up a load asks for, files and folders that will
// not do) and the settings file. The tests run as root, who may write whatever the file modes say: those cases run
// in a child process as the user "nobody", who owns the folder and its file.
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

TEST(PlanFile, DamagedFilesFailOrLoseOnlyTheUnreadableParts) {
    const TPlanRecord good = Once(Ymd(2025, 5, 1), 100);
    TPlanRecord kind7 = good, kind255 = good, overwritten = RecordFromBytes([] { TRecordBytes b; b.fill(0xFF); return b; }());
    kind7.PlanKind = 7;
    kind255.PlanKind = 255;
    overwritten.PlanKind = pkCollect;
    Bytes trailing = FileBytes(kToday - 1, 9, {good});
    trailing.resize(trailing.size() + 187, 0xEE);
    std::vector<TPlanRecord> tooMany(10000, good), mostAndKind9 = tooMany;
    mostAndKind9.back().PlanKind = 9;
    const struct {
        const char* what;
        Bytes bytes;
        int plans; /* -1: read error */
    } cases[] = {
        {"an empty file", {}, -1},
        {"a header cut short", Bytes(187, 0), -1},
        {"187 bytes after the last record are ignored", trailing, 1},
        {"a header date that is no number", FileBytes(std::nan(""), 9, {good}), -1},
        {"a header date after the year 9999", FileBytes(kMaxDay + 1, 9, {good}), -1},
        {"plan kinds 7 and 255 are skipped silently", FileBytes(kToday - 1, 9, {good, kind7, kind255, good}), 2},
        {"a plan overwritten with 0xFF but for its kind byte", FileBytes(kToday - 1, 9, {good, overwritten}), -1},
        {"a plan ending after the year 9999", FileBytes(kToday - 1, 9, {Flow(prYearly, kToday, 9000, 1)}), -1},
        {"9,999 plans and a skipped record", FileBytes(kToday - 1, 9, mostAndKind9), 9999},
        {"10,000 plans: more than the day list numbers", FileBytes(kToday - 1, 9, tooMany), -1},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        WriteBytes(dir / "f.tbr", c.bytes);
        TPlanBook book = MakeBook({good});
        TPlanBookState state;
        state.OpeningBalance = 3;
        try {
            LoadPlanFile(dir / "f.tbr", book, state, kToday, nullptr);
            EXPECT_EQ(std::pair(book.Count(), state.OpeningBalance), std::pair(c.plans, 9)) << c.what;
        } catch (const EReadError& e) {
            EXPECT_EQ(std::tuple(c.plans, std::string(e.what()), book.Count(), state.PlanFileName, state.OpeningBalance),
                      std::tuple(-1, std::string("讀檔錯誤"), 0, std::string(), 0))
                << c.what;
        }
        EXPECT_EQ(ReadBytes(dir / "f.tbr"), c.bytes) << c.what;
    }
}

// The files the fuzz target once found faulty, driven through every computation as it drives them.
TEST(PlanFile, TheFuzzCorpusEndsInFiguresOrReportedErrors) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TAMBER_PLANFILE_CORPUS)) {
        const Bytes bytes = ReadBytes(entry.path());
        const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        EXPECT_NO_THROW(support::DrivePlanBytes(view)) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
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
        bool asked;
    } cases[] = {
        {"accepted: only the header is rewritten", kToday - 3, {daily}, 1020, TLoadOutcome::CaughtUp, 1020, true},
        {"declined: the load is undone", kToday - 3, {daily}, std::nullopt, TLoadOutcome::Declined, 0, true},
        {"written yesterday", kToday - 1, {daily}, 5, TLoadOutcome::Loaded, 1000, false},
        {"written the day before yesterday", kToday - 2, {daily}, 1010, TLoadOutcome::CaughtUp, 1010, true},
        {"nothing fell due", kToday - 3, {Once(kToday + 1, 50)}, 5, TLoadOutcome::Loaded, 1000, false},
        {"no plans", kToday - 3, {}, 5, TLoadOutcome::Loaded, 1000, false},
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
                  std::tuple(c.outcome, c.asked, c.opening, rewritten, declined ? 0 : int(c.plans.size()), declined, declined, false))
            << c.what;
        EXPECT_EQ(ReadBytes(dir / "f.tbr"), rewritten ? FileBytes(kToday - 1, c.opening, c.plans) : before) << c.what;
        EXPECT_FALSE(ChangedOnDisk(state)) << c.what << ": a header of ours is no change by someone else";
    }
    ScratchDir dir;  // a plan that cannot be computed undoes the load
    WriteBytes(dir / "f.tbr", FileBytes(kToday - 3, 1000, {Once(kToday - 1, 1), Broken(kToday - 2)}));
    TPlanBook book;
    TPlanBookState state;
    EXPECT_EQ(FailingPlan([&] { LoadPlanFile(dir / "f.tbr", book, state, kToday, nullptr); }), 1);
    EXPECT_EQ(std::pair(book.Count(), state.PlanFileName), std::pair(0, std::string()));
}

TEST(PlanFile, ChangesOnDiskSinceTheLoadOrSaveAreSeen) {
    const TPlanRecord plan = Once(Ymd(2025, 5, 1), 1);
    const Bytes mine = FileBytes(kToday - 1, 5, {plan});
    const struct {
        const char* what;
        std::function<void(const path&)> change;
        bool changed;
    } cases[] = {
        {"untouched", [](const path&) {}, false},
        {"another balance in the same size and time, as a sync tool writes it",
         [&](const path& f) {
             const auto time = std::filesystem::last_write_time(f);
             WriteBytes(f, FileBytes(kToday - 1, 6, {plan}));
             std::filesystem::last_write_time(f, time);
         },
         true},
        {"a plan added", [&](const path& f) { WriteBytes(f, FileBytes(kToday - 1, 5, {plan, plan})); }, true},
        {"only touched", [](const path& f) { std::filesystem::last_write_time(f, std::filesystem::last_write_time(f) + std::chrono::hours(1)); }, true},
        {"removed: nobody's changes to lose", [](const path& f) { std::filesystem::remove(f); }, false},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        WriteBytes(dir / "f.tbr", mine);
        TPlanBook book;
        TPlanBookState state;
        LoadPlanFile(dir / "f.tbr", book, state, kToday, nullptr);
        c.change(dir / "f.tbr");
        EXPECT_EQ(ChangedOnDisk(state), c.changed) << c.what;
        WriteBytes(dir / "other.tbr", mine);
        state.PlanFileName = (dir / "other.tbr").string();
        EXPECT_FALSE(ChangedOnDisk(state)) << c.what << ": the stamp is another file's";
        SavePlanFile(dir / "f.tbr", book, state, kToday);
        state.PlanFileName = (dir / "f.tbr").string();
        EXPECT_FALSE(ChangedOnDisk(state)) << c.what << ": saved since";
    }
}

TEST(PlanFile, ACatchUpWritesNothingIntoAFileChangedWhileItWasShown) {
    const TPlanRecord daily = Flow(prEveryNDays, Ymd(2025, 4, 1), 100, 10);
    const Bytes theirs = FileBytes(kToday - 1, 7, {daily, daily});
    for (const bool removed : {false, true}) {
        ScratchDir dir;
        const path file = dir / "f.tbr";
        WriteBytes(file, FileBytes(kToday - 3, 1000, {daily}));
        const auto changeThenAccept = [&](TPendingList&, const TPlanBookState&) {
            removed ? (void)std::filesystem::remove(file) : WriteBytes(file, theirs);
            return std::optional<int32_t>(1020);
        };
        TPlanBook book;
        TPlanBookState state;
        EXPECT_EQ(LoadPlanFile(file, book, state, kToday, changeThenAccept), TLoadOutcome::CaughtUpNotWritten);
        EXPECT_EQ(ReadBytes(file), removed ? Bytes{} : theirs);
        EXPECT_EQ(std::tuple(state.OpeningBalance, state.Modified, book.Count(), state.PlanFileName),
                  std::tuple(1020, true, 1, file.string()))
            << "the caught-up book stays, to be saved as the user decides";
    }
}

// A writer whose file holds no bytes a disk could keep (/dev/null takes no flush) replaces nothing.
TEST(PlanFile, ANewFileReplacesTheOldOnlyOnceItIsOnTheDisk) {
    ScratchDir dir;
    const Bytes before = FileBytes(kToday - 1, 1, {});
    WriteBytes(dir / "f.tbr", before);
    EXPECT_THROW(ReplaceFile(dir / "f.tbr", [](const path& temp) { std::filesystem::create_symlink("/dev/null", temp); }), EWriteError);
    EXPECT_EQ(ReadBytes(dir / "f.tbr"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 1);
}

// ---- Files and folders that will not do ----------------------------------------------

enum TAction { Load,
               Save,
               SaveToFullDisk,
               Rewrite };

// What Action on File gives: the plans loaded, "saved", "rewritten", or the error's message.
std::string Outcome(TAction action, const path& file) {
    TPlanBook book = action == Load ? TPlanBook() : MakeBook({Once(kToday + 2, 11), Once(kToday + 4, 22)});
    TPlanBookState state;
    state.Modified = true;
    const auto toFullDisk = [](const path&) { return CreateFileSink("/dev/full"); };
    try {
        if (action == Rewrite) return RewritePlanFileHeader(file, 9, kToday), "rewritten";
        if (action == Load) return LoadPlanFile(file, book, state, kToday, nullptr), std::to_string(book.Count()) + " plans";
        SavePlanFile(file, book, state, kToday, action == Save ? TSinkFactory(CreateFileSink) : toFullDisk);
        return state.Modified ? "saved but still modified" : "saved";
    } catch (const ETamberError& e) {
        if (action == Load && (!book.Empty() || !state.PlanFileName.empty())) return "a failed load left plans or a name";
        if (action != Load && !state.Modified) return "failed but no longer modified";
        return e.what();
    }
}

// Runs Work in a child process and gives back what it returned (or the exception that escaped).
std::string InChild(const std::function<std::string()>& work) {
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    if (fork() == 0) {
        std::string out;
        try {
            out = work();
        } catch (const std::exception& e) {
            out = std::string("escaped: ") + e.what();
        }
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
    if (geteuid() != 0) return work();
    return InChild([&] {
        return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0 ? work() : "cannot become nobody";
    });
}

// A disk that fills up while the caught-up header is written: the child process may write nothing beyond 100 bytes.
TEST(PlanFile, ACatchUpWhoseHeaderCannotBeWrittenSaysSoAndKeepsTheFile) {
    ScratchDir dir;
    const Bytes before = FileBytes(kToday - 3, 1000, {Flow(prEveryNDays, Ymd(2025, 4, 1), 100, 10)});
    WriteBytes(dir / "f.tbr", before);
    const std::string outcome = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        TPlanBook book;
        TPlanBookState state;
        try {
            LoadPlanFile(dir / "f.tbr", book, state, kToday, [](TPendingList&, const TPlanBookState&) { return std::optional<int32_t>(1020); });
        } catch (const ECatchUpNotWritten&) {
            return std::string(state.Modified && state.OpeningBalance == 1020 ? "not written, kept" : "not written, lost");
        }
        return std::string("written");
    });
    EXPECT_EQ(outcome, "not written, kept");
    EXPECT_EQ(ReadBytes(dir / "f.tbr"), before);
}

constexpr perms kReadWrite = perms::owner_read | perms::owner_write | perms::group_read;  // not what a new file gets
constexpr perms kReadOnly = perms::owner_read | perms::group_read | perms::others_read;
constexpr perms kOpenFolder = perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec;
constexpr perms kClosedFolder = kOpenFolder & ~perms::owner_write;

// What lies at the file's path ('f' a plan file, 's' a file shorter than a record, 'd' a folder, '-' nothing), what
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
    {"load a folder", Load, 'd', "讀檔錯誤"},
    {"load a read-only file", Load, 'f', "讀檔錯誤", kReadOnly},
    {"load a writable file in a closed folder", Load, 'f', "1 plans", kReadWrite, kClosedFolder},
    {"save over a writable file", Save, 'f', "saved"},
    {"save to a full disk", SaveToFullDisk, 'f', "寫檔錯誤: /dev/full (磁碟空間不足)"},
    {"save into a missing folder", Save, '-', "寫檔錯誤: @ (找不到檔案或資料夾)", kReadWrite, kOpenFolder, "gone/plans.tbr"},
    {"save over a folder", Save, 'd', "寫檔錯誤: @ (這是資料夾, 不是檔案)"},
    {"save over a read-only file", Save, 'f', "寫檔錯誤: @ (沒有寫入的權限)", kReadOnly},
    {"save into a folder without write permission", Save, 'f', "寫檔錯誤: @ (沒有寫入的權限)", kReadWrite, kClosedFolder},
    {"save where a file stands for a folder", Save, '-', "寫檔錯誤: @ (路徑中有不是資料夾的名稱)", kReadWrite, kOpenFolder, "x/plans.tbr"},
    {"rewrite the header of a read-only file", Rewrite, 'f', "寫檔錯誤: @ (沒有寫入的權限)", kReadOnly},
    {"rewrite the header of a missing file", Rewrite, '-', "寫檔錯誤: @ (找不到檔案或資料夾)"},
    {"rewrite the header of a file shorter than a record", Rewrite, 's', "寫檔錯誤: @ (不是計劃檔)"},
};

TEST(PlanFile, BadFilesGiveTheirMessageAndLeaveTheFolderAsItWas) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.Name);
        ScratchDir dir;
        const path folder = dir / "user", file = folder / c.At;
        std::filesystem::create_directory(folder);
        WriteBytes(folder / "x", {});  // a file, not a folder
        if (c.Lies == 'f') WriteBytes(file, FileBytes(kToday - 1, 500, {Once(kToday + 3, 100)}));
        if (c.Lies == 's') WriteBytes(file, Bytes(187, 0x5a));
        if (c.Lies == 'd') std::filesystem::create_directory(file);
        for (const path& p : {folder, file}) {
            if (geteuid() == 0 && std::filesystem::exists(p) && chown(p.c_str(), kNobody, kNobody) != 0) FAIL() << "chown";
        }
        if (c.Lies == 'f' || c.Lies == 's') std::filesystem::permissions(file, c.File);
        std::filesystem::permissions(folder, c.Folder);
        const auto contents = [&] { return std::filesystem::is_regular_file(file) ? ReadBytes(file) : Bytes{}; };
        const Bytes before = contents();
        const auto listing = [&] { return std::set(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()); };
        const auto entries = listing();
        const std::string outcome = AsNobody([&] { return Outcome(c.Action, file); });
        std::filesystem::permissions(folder, perms::owner_all);
        std::string expected = c.Outcome;
        if (const auto at = expected.find('@'); at != std::string::npos) expected.replace(at, 1, file.string());
        EXPECT_EQ(outcome, expected);
        EXPECT_EQ(contents() == before, outcome != "saved") << "the file as it was, or the saved book";
        if (c.Lies == 'f') {
            EXPECT_EQ(std::filesystem::status(file).permissions(), c.File) << "a saved file keeps its access rights";
        }
        EXPECT_EQ(listing(), entries) << "no file is left behind or lost";
    }
}

using Values = std::array<std::string, 3>;

TEST(Settings, ReadAndWriteTheHistoryKeysOnly) {
    ScratchDir dir;
    const auto file = dir / kSettingsFileName;
    const auto write = [&](const std::string& text) { std::ofstream(file, std::ios::binary) << text; };
    EXPECT_EQ(ReadSettings(file), Values{}) << "first run";
    EXPECT_EQ(ReadText(file), "[Tamber98]\r\nHistory1=\r\nHistory2=\r\nHistory3=\r\n");

    write(
        "[Other]\nHistory1=/elsewhere.tbr\n[ tamber98 ]\r\nHistory2 = /b.tbr \r\nhistory1=/a.tbr\r\n"
        "History1=/later.tbr\r\n[]\r\nHistory3=/c.tbr\r\n");
    EXPECT_EQ(ReadSettings(file), (Values{"/a.tbr", "/b.tbr", ""})) << "keys by name, in their own section, the first one counts";

    write(
        "; my notes\r\n[Tamber98]\r\nHistory1=/old1.tbr\r\nHistory2=/old2.tbr\r\nHistory3=/old3.tbr\r\n"
        "Extra=1\r\n\r\n[Later]\r\nX=2\r\n");
    ASSERT_TRUE(WriteSettings(file, {"/c.tbr"}));
    EXPECT_EQ(ReadText(file),
              "; my notes\r\n[Tamber98]\r\nHistory1=/c.tbr\r\nHistory2=/old2.tbr\r\nHistory3=/old3.tbr\r\n"
              "Extra=1\r\n\r\n[Later]\r\nX=2\r\n");
    write("[Tamber98]\r\nHistory2=/x\r\n\r\n[Later]\r\nHistory3=/y\r\n");  // missing keys go after the section's last line
    ASSERT_TRUE(WriteSettings(file, {"/c.tbr", "/a.tbr", "/b.tbr", "/d.tbr"}));
    EXPECT_EQ(ReadText(file), "[Tamber98]\r\nHistory2=/a.tbr\r\nHistory1=/c.tbr\r\nHistory3=/b.tbr\r\n\r\n[Later]\r\nHistory3=/y\r\n");
    write("[Other]\r\nY=1\r\n");  // a missing section is added
    ASSERT_TRUE(WriteSettings(file, {"/a b/計劃.tbr", "/b.tbr"}));
    EXPECT_EQ(ReadText(file), "[Other]\r\nY=1\r\n[Tamber98]\r\nHistory1=/a b/計劃.tbr\r\nHistory2=/b.tbr\r\n");
    EXPECT_EQ(ReadSettings(file)[0], "/a b/計劃.tbr");
}

// A disk that fills up while the file is written: the child process may write no file beyond 16 bytes.
TEST(Settings, AFileThatCannotBeWrittenWholeNeverReplacesTheGoodOne) {
    ScratchDir dir;
    const auto file = dir / kSettingsFileName;
    const std::string good = "[Tamber98]\r\nHistory1=/a.tbr\r\n";
    std::ofstream(file, std::ios::binary) << good;
    const std::string written = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        return WriteSettings(file, {"/a-name-longer-than-the-disk-has-room-for.tbr", "/b.tbr"}) ? "written" : "refused";
    });
    EXPECT_EQ(written, "refused") << "the failed write is reported";
    EXPECT_EQ(ReadText(file), good);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 1) << "no unfinished file is left";
    EXPECT_FALSE(WriteSettings(dir / "no" / kSettingsFileName, {"/a.tbr"})) << "a missing folder";
    std::filesystem::create_directories(dir / "folder" / "inside");
    EXPECT_FALSE(WriteSettings(dir / "folder", {"/a.tbr"})) << "a folder where the file should be";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 2) << "the new file is removed again";
}

TEST(Settings, UnwritableProgramFolderFallsBackToTheUserFolder) {
    ScratchDir dir;
    EXPECT_EQ(ChooseSettingsFile(dir.Path, dir / "config"), dir / kSettingsFileName);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path)) << "the probe is removed";
    std::ofstream(dir / kSettingsFileName) << "[Tamber98]\r\n";
    EXPECT_EQ(ChooseSettingsFile(dir.Path, dir / "config"), dir / kSettingsFileName);
    const auto config = dir / "config" / "Tamber98";
    EXPECT_EQ(ChooseSettingsFile(dir / "no" / "such", config), config / kSettingsFileName);
    EXPECT_TRUE(std::filesystem::is_directory(config));
}

}  // namespace
}  // namespace tamber
