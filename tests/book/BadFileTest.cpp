// Plan files as a user meets them when something is wrong: missing, a folder,
// cut short, damaged in the middle, read-only, on a full disk, in a folder
// without write permission. Each case gives the program's message and leaves
// the folder as it was. The tests run as root, who may write whatever the file
// modes say: every case runs in a child process as the unprivileged user
// "nobody", who owns the folder and its file.
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <functional>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "book/BookErrors.h"
#include "BookTestSupport.h"
#include "book/PlanFile.h"

namespace tamber {
namespace {

using namespace test;
using std::filesystem::path;
using std::filesystem::perms;

const TDate kToday = Ymd(2026, 3, 10);
constexpr uid_t kNobody = 65534;

// Three plans written yesterday, so that a load asks for no catch-up.
Bytes ThreePlans(int32_t secondPlanPeriods = 12) {
    return FileBytes(kToday - 1, 500,
                     {Once(kToday + 3, 100), Flow(prMonthly, kToday + 5, secondPlanPeriods, -40), Once(kToday + 9, 7)});
}
// The second plan overwritten with 0xFF, but for its plan kind byte when Kind is given.
Bytes SecondPlanOverwritten(std::optional<uint8_t> kind) {
    Bytes bytes = ThreePlans();
    std::fill(bytes.begin() + 2 * 188, bytes.begin() + 3 * 188, 0xFF);
    if (kind) bytes[2 * 188 + 56] = *kind;
    return bytes;
}

enum TAction { Load, Save, SaveToFullDisk, Rewrite };

// What Action on Path gives: the plans loaded, "saved", "rewritten", or the error's message.
std::string Outcome(TAction action, const path& file) {
    TPlanBook book = action == Load ? TPlanBook() : MakeBook({Once(kToday + 2, 11), Once(kToday + 4, 22)});
    TPlanBookState state;
    state.Modified = true;
    const auto toFullDisk = [](const path&) { return CreateFileSink("/dev/full"); };
    try {
        if (action == Rewrite) {
            RewritePlanFileHeader(file, 9, kToday);
            return "rewritten";
        }
        if (action != Load) {
            SavePlanFile(file, book, state, kToday, action == Save ? TSinkFactory(CreateFileSink) : toFullDisk);
            return state.Modified ? "saved but still modified" : "saved";
        }
        // No hook: a catch-up, which none of these files asks for, would be declined and load no plans.
        LoadPlanFile(file, book, state, kToday, nullptr);
        return std::to_string(book.Count()) + " plans";
    } catch (const ETamberError& e) {
        if (action == Load && (!book.Empty() || !state.PlanFileName.empty())) return "a failed load left plans or a name";
        if (action != Load && !state.Modified) return "failed but no longer modified";
        return e.what();
    }
}

// Runs Work as nobody in a child process when the tests run as root, directly
// otherwise, and gives back what it returned (or the exception that escaped).
std::string AsNobody(const std::function<std::string()>& work) {
    if (geteuid() != 0) return work();
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    if (fork() == 0) {
        std::string out = "cannot become nobody";
        try {
            if (setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0) out = work();
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

using TPrepare = std::function<void(const path&)>;
// Writes Bytes, or their first Size bytes.
TPrepare Writes(Bytes bytes, std::size_t size = SIZE_MAX) {
    bytes.resize(std::min(size, bytes.size()));
    return [bytes](const path& p) { WriteBytes(p, bytes); };
}
const TPrepare kNothing = [](const path&) {};
const TPrepare kAFolder = [](const path& p) { std::filesystem::create_directory(p); };

constexpr perms kReadWrite = perms::owner_read | perms::owner_write | perms::group_read | perms::others_read;
constexpr perms kReadOnly = perms::owner_read | perms::group_read | perms::others_read;
constexpr perms kOpenFolder = perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec;
constexpr perms kClosedFolder = kOpenFolder & ~perms::owner_write;

struct TCase {
    const char* Name;
    TAction Action;
    TPrepare Prepare;  // makes what lies at the file's path
    const char* Outcome;  // as Outcome gives it; "@" stands for the file's path
    perms File = kReadWrite;
    perms Folder = kOpenFolder;
    const char* At = "plans.tbr";  // the file, in the user's folder
};

void PrintTo(const TCase& c, std::ostream* out) { *out << c.Name; }

const TCase kCases[] = {
    {"load a missing file", Load, kNothing, "讀檔錯誤"},
    {"load a folder", Load, kAFolder, "讀檔錯誤"},
    {"load an empty file", Load, Writes({}), "讀檔錯誤"},
    {"load a header cut short", Load, Writes(ThreePlans(), 100), "讀檔錯誤"},
    {"load a file cut inside its third plan: two load", Load, Writes(ThreePlans(), 3 * 188 + 60), "2 plans"},
    {"load a header date that is no number", Load, Writes(FileBytes(std::nan(""), 500, {Once(kToday, 1)})), "讀檔錯誤"},
    {"load a plan overwritten with 0xFF: no plan kind, skipped", Load, Writes(SecondPlanOverwritten({})), "2 plans"},
    {"load a plan overwritten with 0xFF but for its kind byte", Load, Writes(SecondPlanOverwritten(pkCollect)), "讀檔錯誤"},
    {"load a plan ending after the year 9999", Load, Writes(ThreePlans(200000)), "讀檔錯誤"},
    {"load a read-only file", Load, Writes(ThreePlans()), "讀檔錯誤", kReadOnly},
    {"load a writable file in a closed folder", Load, Writes(ThreePlans()), "3 plans", kReadWrite, kClosedFolder},
    {"save over a writable file", Save, Writes(ThreePlans()), "saved"},
    {"save to a full disk", SaveToFullDisk, Writes(ThreePlans()), "寫檔錯誤: /dev/full (磁碟空間不足)"},
    {"save into a missing folder", Save, kNothing, "寫檔錯誤: @ (找不到檔案或資料夾)", kReadWrite, kOpenFolder, "gone/plans.tbr"},
    {"save over a folder", Save, kAFolder, "寫檔錯誤: @ (這是資料夾, 不是檔案)"},
    {"save over a read-only file", Save, Writes(ThreePlans()), "寫檔錯誤: @ (沒有寫入的權限)", kReadOnly},
    {"save into a folder without write permission", Save, Writes(ThreePlans()), "寫檔錯誤: @ (沒有寫入的權限)", kReadWrite,
     kClosedFolder},
    {"rewrite the header of a read-only file", Rewrite, Writes(ThreePlans()), "寫檔錯誤: @ (沒有寫入的權限)", kReadOnly},
};

std::set<path> Listing(const path& folder) {
    std::set<path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path());
    return names;
}

class BadPlanFile : public testing::TestWithParam<TCase> {};

TEST_P(BadPlanFile, GivesItsMessageAndLeavesTheFolderAsItWas) {
    const TCase& c = GetParam();
    if (c.Action == SaveToFullDisk && !std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    ScratchDir dir;
    const path folder = dir / "user";
    const path file = folder / c.At;
    std::filesystem::create_directory(folder);
    c.Prepare(file);
    for (const path& p : {folder, file}) {
        if (geteuid() == 0 && std::filesystem::exists(p)) {
            ASSERT_EQ(chown(p.c_str(), kNobody, kNobody), 0);
        }
    }
    if (std::filesystem::is_regular_file(file)) std::filesystem::permissions(file, c.File);
    std::filesystem::permissions(folder, c.Folder);
    const Bytes before = std::filesystem::is_regular_file(file) ? ReadBytes(file) : Bytes{};
    const std::set<path> listing = Listing(folder);

    const std::string outcome = AsNobody([&] { return Outcome(c.Action, file); });
    std::filesystem::permissions(folder, perms::owner_all);
    std::string expected = c.Outcome;
    if (const auto at = expected.find('@'); at != std::string::npos) expected.replace(at, 1, file.string());
    EXPECT_EQ(outcome, expected);
    if (outcome != "saved" && std::filesystem::is_regular_file(file)) {
        EXPECT_EQ(ReadBytes(file), before);
    }
    EXPECT_EQ(Listing(folder), listing) << "no file is left behind or lost";
}

INSTANTIATE_TEST_SUITE_P(Cases, BadPlanFile, testing::ValuesIn(kCases), [](const auto& row) {
    std::string name = row.param.Name;
    for (char& ch : name) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

}  // namespace
}  // namespace tamber
