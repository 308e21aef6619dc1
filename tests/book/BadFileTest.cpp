// Plan files as a user meets them when something is wrong: missing, a folder,
// cut short, damaged in the middle, read-only, on a full disk, in a folder
// without write permission. Each case gives the program's message and leaves
// the file on disk as it was. The tests run as root, who may write whatever
// the file modes say: the permission cases run in a child process as the
// unprivileged user "nobody".
#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "BookErrors.h"
#include "BookTestSupport.h"
#include "PlanFile.h"

namespace tamber {
namespace {

using test::Bytes;
using test::Flow;
using test::Once;
using test::Ymd;

const TDate kToday = Ymd(2026, 3, 10);

Bytes FileOf(TDate balanceDate, int32_t balance, const std::vector<TPlanRecord>& records) {
    Bytes bytes;
    test::Append(bytes, HeaderToBytes({balanceDate, balance}));
    for (const TPlanRecord& rec : records) test::Append(bytes, RecordToBytes(rec));
    return bytes;
}

// Three sound plans written yesterday, so that a load asks for no catch-up.
Bytes ThreePlans() {
    return FileOf(kToday - 1, 500, {Once(kToday + 3, 100), Flow(prMonthly, kToday + 5, 12, -40), Once(kToday + 9, 7)});
}

std::optional<int32_t> NoCatchUp(TPendingList&, const TPlanBookState&) {
    ADD_FAILURE() << "no catch-up was expected";
    return std::nullopt;
}

// What a load of Path gives: the plan count, or the error's message.
std::string LoadOutcome(const std::filesystem::path& path) {
    TPlanBook book;
    TPlanBookState state;
    try {
        LoadPlanFile(path, book, state, kToday, NoCatchUp);
        return std::to_string(book.Count()) + " plans";
    } catch (const ETamberError& e) {
        if (!book.Empty() || !state.PlanFileName.empty()) return "a failed load left plans or a file name";
        return e.what();
    }
}

// Runs Work as the unprivileged user nobody in a child process when the
// tests run as root, directly otherwise, and gives back what Work returned
// (or the exception that escaped it).
std::string AsUnprivilegedUser(const std::function<std::string()>& work) {
    const auto guarded = [&]() -> std::string {
        try {
            return work();
        } catch (const std::exception& e) {
            return std::string("escaped: ") + e.what();
        }
    };
    if (geteuid() != 0) return guarded();
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        constexpr uid_t kNobody = 65534;
        const std::string out = setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0
                                    ? guarded()
                                    : std::string("cannot become nobody");
        (void)!write(channel[1], out.data(), out.size());
        _exit(0);
    }
    close(channel[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return out;
}

// A test name from a case's Name: letters and digits, the rest "_".
template <class T>
std::string CaseName(const testing::TestParamInfo<T>& info) {
    std::string name = info.param.Name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

// ---- Loading ----------------------------------------------------------------

struct TLoadCase {
    const char* Name;
    std::function<void(const std::filesystem::path&)> Prepare;  // makes the file at the path
    const char* Outcome;                                        // "N plans" or the message
};

void Write(const std::filesystem::path& path, Bytes bytes) {
    test::WriteBytes(path, bytes);
}

Bytes Cut(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

Bytes WithRecord(Bytes bytes, int record, const std::function<void(TPlanRecord&)>& damage) {
    TRecordBytes raw;
    std::copy_n(bytes.begin() + record * 188, 188, raw.begin());
    TPlanRecord rec = RecordFromBytes(raw);
    damage(rec);
    raw = RecordToBytes(rec);
    std::copy(raw.begin(), raw.end(), bytes.begin() + record * 188);
    return bytes;
}

const TLoadCase kLoadCases[] = {
    {"missing file", [](const auto&) {}, "讀檔錯誤"},
    {"a folder", [](const auto& p) { std::filesystem::create_directory(p); }, "讀檔錯誤"},
    {"empty file", [](const auto& p) { Write(p, {}); }, "讀檔錯誤"},
    {"header cut short", [](const auto& p) { Write(p, Cut(ThreePlans(), 100)); }, "讀檔錯誤"},
    {"cut inside the third plan: two load", [](const auto& p) { Write(p, Cut(ThreePlans(), 3 * 188 + 60)); }, "2 plans"},
    {"header date that is no number",
     [](const auto& p) {
         Bytes b = ThreePlans();
         const double nan = std::numeric_limits<double>::quiet_NaN();
         std::memcpy(b.data(), &nan, sizeof nan);
         Write(p, b);
     },
     "讀檔錯誤"},
    {"second plan of an unknown kind is skipped",
     [](const auto& p) { Write(p, WithRecord(ThreePlans(), 2, [](TPlanRecord& r) { r.PlanKind = 7; })); }, "2 plans"},
    {"second plan with an unknown period kind",
     [](const auto& p) { Write(p, WithRecord(ThreePlans(), 2, [](TPlanRecord& r) { r.PeriodKind = 200; })); }, "讀檔錯誤"},
    {"second plan without periods",
     [](const auto& p) { Write(p, WithRecord(ThreePlans(), 2, [](TPlanRecord& r) { r.PeriodCount = 0; })); }, "讀檔錯誤"},
    {"second plan ending after the year 9999",
     [](const auto& p) { Write(p, WithRecord(ThreePlans(), 2, [](TPlanRecord& r) { r.PeriodCount = 200000; })); },
     "讀檔錯誤"},
    {"second plan overwritten with 0xFF: no plan kind, skipped",
     [](const auto& p) {
         Bytes b = ThreePlans();
         std::fill(b.begin() + 2 * 188, b.begin() + 3 * 188, 0xFF);
         Write(p, b);
     },
     "2 plans"},
    {"second plan overwritten with 0xFF but for its kind byte",
     [](const auto& p) {
         Bytes b = ThreePlans();
         std::fill(b.begin() + 2 * 188, b.begin() + 3 * 188, 0xFF);
         b[2 * 188 + 56] = pkCollect;
         Write(p, b);
     },
     "讀檔錯誤"},
};

// Cases print as their names in the test listing.
void PrintTo(const TLoadCase& c, std::ostream* out) {
    *out << c.Name;
}

class BadPlanFile : public testing::TestWithParam<TLoadCase> {};

TEST_P(BadPlanFile, LoadsWhatItCanOrSaysReadErrorAndLeavesTheFile) {
    test::ScratchDir dir;
    const std::filesystem::path path = dir / "plans.tbr";
    GetParam().Prepare(path);
    const Bytes before = std::filesystem::is_regular_file(path) ? test::ReadBytes(path) : Bytes{};
    EXPECT_EQ(LoadOutcome(path), GetParam().Outcome);
    if (std::filesystem::is_regular_file(path)) {
        EXPECT_EQ(test::ReadBytes(path), before);
    }
    EXPECT_EQ(std::filesystem::exists(path), GetParam().Name != std::string("missing file"));
}

INSTANTIATE_TEST_SUITE_P(Cases, BadPlanFile, testing::ValuesIn(kLoadCases), CaseName<TLoadCase>);

// ---- Saving and rewriting the header ------------------------------------------

TPlanBook TwoPlans() {
    return test::MakeBook({Once(kToday + 2, 11), Once(kToday + 4, 22)});
}

// Saves Book over Path; "saved", or the message of the error.
std::string SaveOutcome(const std::filesystem::path& path, const TSinkFactory& sink = CreateFileSink) {
    const TPlanBook book = TwoPlans();
    TPlanBookState state;
    state.Modified = true;
    try {
        SavePlanFile(path, book, state, kToday, sink);
        return state.Modified ? "saved but still modified" : "saved";
    } catch (const EWriteError& e) {
        return state.Modified ? e.what() : "failed but no longer modified";
    }
}

TEST(BadPlanFileSave, FullDiskKeepsThePreviousFile) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    test::ScratchDir dir;
    const Bytes before = ThreePlans();
    test::WriteBytes(dir / "plans.tbr", before);
    // The new file's bytes go to a device that is always full.
    const auto toFullDisk = [](const std::filesystem::path&) { return CreateFileSink("/dev/full"); };
    EXPECT_EQ(SaveOutcome(dir / "plans.tbr", toFullDisk), "寫檔錯誤: /dev/full (磁碟空間不足)");
    EXPECT_EQ(test::ReadBytes(dir / "plans.tbr"), before);
    EXPECT_EQ(dir.FileCount(), 1u);
}

TEST(BadPlanFileSave, MissingFolderOrAFolderInTheWay) {
    test::ScratchDir dir;
    const std::string missing = (dir / "no-such-folder" / "plans.tbr").string();
    EXPECT_EQ(SaveOutcome(missing), "寫檔錯誤: " + missing + " (找不到檔案或資料夾)");
    std::filesystem::create_directory(dir / "folder.tbr");
    EXPECT_EQ(SaveOutcome(dir / "folder.tbr"), "寫檔錯誤: " + (dir / "folder.tbr").string() + " (這是資料夾, 不是檔案)");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.tbr"));
    EXPECT_EQ(dir.FileCount(), 1u) << "no new file is left behind";
}

// ---- As a user without root's rights ---------------------------------------------

struct TPermissionCase {
    const char* Name;
    std::filesystem::perms Folder;  // the folder holding plans.tbr, owned by the user
    std::filesystem::perms File;    // plans.tbr, owned by the user
    const char* Action;             // "save", "load" or "rewrite"
    const char* Outcome;            // "saved", "3 plans", "rewritten", or the message after the path
};

using std::filesystem::perms;
constexpr perms kReadWrite = perms::owner_read | perms::owner_write | perms::group_read | perms::others_read;
constexpr perms kReadOnly = perms::owner_read | perms::group_read | perms::others_read;
constexpr perms kOpenFolder = perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec;
constexpr perms kClosedFolder = perms::owner_read | perms::owner_exec | perms::group_read | perms::group_exec |
                                perms::others_read | perms::others_exec;

const TPermissionCase kPermissionCases[] = {
    {"save into a folder without write permission", kClosedFolder, kReadWrite, "save", " (沒有寫入的權限)"},
    {"save over a read-only file", kOpenFolder, kReadOnly, "save", " (沒有寫入的權限)"},
    {"save over a writable file", kOpenFolder, kReadWrite, "save", "saved"},
    {"load a read-only file", kOpenFolder, kReadOnly, "load", "讀檔錯誤"},
    {"load a writable file in a closed folder", kClosedFolder, kReadWrite, "load", "3 plans"},
    {"rewrite the header of a read-only file", kOpenFolder, kReadOnly, "rewrite", " (沒有寫入的權限)"},
};

void PrintTo(const TPermissionCase& c, std::ostream* out) {
    *out << c.Name;
}

class FilePermissions : public testing::TestWithParam<TPermissionCase> {};

TEST_P(FilePermissions, AreHonouredAndTheFileStaysAsItWas) {
    const TPermissionCase& c = GetParam();
    test::ScratchDir dir;
    const std::filesystem::path folder = dir / "user";
    const std::filesystem::path path = folder / "plans.tbr";
    std::filesystem::create_directory(folder);
    const Bytes before = ThreePlans();
    test::WriteBytes(path, before);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
        ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    }
    std::filesystem::permissions(path, c.File);
    std::filesystem::permissions(folder, c.Folder);

    const std::string action = c.Action;
    const std::string outcome = AsUnprivilegedUser([&]() -> std::string {
        if (action == "load") return LoadOutcome(path);
        if (action == "save") return SaveOutcome(path);
        try {
            RewritePlanFileHeader(path, 9, kToday);
            return "rewritten";
        } catch (const EWriteError& e) {
            return e.what();
        }
    });
    std::filesystem::permissions(folder, perms::owner_all);
    const std::string expected = c.Outcome[0] == ' ' ? "寫檔錯誤: " + path.string() + c.Outcome : c.Outcome;
    EXPECT_EQ(outcome, expected);
    if (outcome != "saved") {
        EXPECT_EQ(test::ReadBytes(path), before);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no new file is left behind";
}

INSTANTIATE_TEST_SUITE_P(Cases, FilePermissions, testing::ValuesIn(kPermissionCases), CaseName<TPermissionCase>);

}  // namespace
}  // namespace tamber
