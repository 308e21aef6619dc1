#include "book/PlanFile.h"

#include <gtest/gtest.h>

#include "model/Big5.h"
#include "BookTestSupport.h"

namespace tamber {
namespace {

using namespace test;

const TDate kToday = Ymd(2025, 4, 10);

std::optional<int32_t> NeverAsked(TPendingList&, const TPlanBookState&) {
    ADD_FAILURE() << "the catch-up was not expected";
    return std::nullopt;
}

TEST(PlanFile, SaveAndLoadKeepEveryRecordByteForByte) {
    TPlanRecord rent = Flow(prMonthly, Ymd(2025, 1, 31) + 0.75, 24, -18000);
    SetDescriptionBytes(rent, Utf8ToBig5("房租, \"五樓\"").Bytes);
    rent.Pad17 = {1, 2, 3};
    rent.Pad185 = {7, 8, 9};
    rent.Description.Chars[119] = 'x';  // beyond the text's length, still kept
    TPlanRecord club = RecordBuilder(prThriceMonthly, Ymd(2025, 2, 1), 9).Days(5, 15, 31).Amount(500);
    club.BaseBid = 77;
    const std::vector<TPlanRecord> records = {rent, club, Flow(prEveryNDays, Ymd(2025, 3, 3), 5, 1).Interval(10)};

    ScratchDir dir;
    WriteBytes(dir / "in.tbr", FileBytes(kToday - 1, -5, records));
    TPlanBook book;
    TPlanBookState state;
    EXPECT_EQ(LoadPlanFile(dir / "in.tbr", book, state, kToday, NeverAsked), TLoadOutcome::Loaded);
    EXPECT_EQ(state.PlanFileName, (dir / "in.tbr").string());
    SavePlanFile(dir / "out.tbr", book, state, kToday + 5);
    EXPECT_EQ(ReadBytes(dir / "out.tbr"), FileBytes(kToday + 4, -5, records)) << "only the header date moves";

    // An empty book is the header alone; its old balance date asks for no catch-up.
    book.Clear();
    SavePlanFile(dir / "empty.tbr", book, state, kToday);
    EXPECT_EQ(ReadBytes(dir / "empty.tbr"), FileBytes(kToday - 1, -5, {}));
    EXPECT_EQ(LoadPlanFile(dir / "empty.tbr", book, state, kToday + 30, NeverAsked), TLoadOutcome::Loaded);
    EXPECT_EQ(state.OpeningBalance, -5);
}

// More damaged files, and the message a user meets, are in BadFileTest.
TEST(PlanFile, DamagedFilesFailOrLoseOnlyTheUnreadableParts) {
    const TPlanRecord good = Once(Ymd(2025, 5, 1), 100);
    TPlanRecord kind7 = good;
    kind7.PlanKind = 7;
    Bytes trailing = FileBytes(kToday - 1, 9, {good});
    trailing.resize(trailing.size() + 100, 0xEE);
    std::vector<TPlanRecord> tooMany(TPlanBook::kMaxPlans + 1, good);
    std::vector<TPlanRecord> mostWithKind9 = tooMany;
    mostWithKind9.back().PlanKind = 9;
    struct Case { const char* what; Bytes bytes; int plans; /* -1: read error */ };
    const Case cases[] = {
        {"an empty file", {}, -1},
        {"a file shorter than one record", Bytes(100, 0), -1},
        {"100 bytes after the last record are ignored", trailing, 1},
        {"a kind byte 7 is skipped silently", FileBytes(kToday - 1, 9, {good, kind7, good}), 2},
        {"9,999 plans and a skipped record", FileBytes(kToday - 1, 9, mostWithKind9), TPlanBook::kMaxPlans},
        {"10,000 plans: more than the day list numbers", FileBytes(kToday - 1, 9, tooMany), -1},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        WriteBytes(dir / "f.tbr", c.bytes);
        TPlanBook book = MakeBook({good});
        TPlanBookState state;
        state.OpeningBalance = 3;
        try {
            LoadPlanFile(dir / "f.tbr", book, state, kToday, NeverAsked);
            EXPECT_EQ(book.Count(), c.plans) << c.what;
            EXPECT_EQ(state.OpeningBalance, 9) << c.what;
        } catch (const EReadError& e) {
            EXPECT_EQ(c.plans, -1) << c.what;
            EXPECT_STREQ(e.what(), "讀檔錯誤") << c.what;
            EXPECT_EQ(book.Count(), 0) << c.what;
            EXPECT_EQ(state.PlanFileName, "") << c.what;
            EXPECT_EQ(state.OpeningBalance, 0) << c.what;
        }
        EXPECT_EQ(ReadBytes(dir / "f.tbr"), c.bytes) << c.what;
    }
}

// Fails once Limit bytes have gone through, after writing the part that fits.
struct FailingSink : TByteSink {
    std::unique_ptr<TByteSink> File;
    std::size_t Left;
    FailingSink(const std::filesystem::path& path, std::size_t limit) : File(CreateFileSink(path)), Left(limit) {}
    void Write(const uint8_t* data, std::size_t size) override {
        File->Write(data, std::min(size, Left));
        if (size > Left) throw EWriteError("disk full");
        Left -= size;
    }
    void Finish() override { File->Finish(); }
};

TEST(PlanFile, InterruptedSaveLeavesThePreviousFile) {
    ScratchDir dir;
    const Bytes before = FileBytes(kToday - 1, 1, {Once(Ymd(2025, 5, 1), 1)});
    WriteBytes(dir / "f.tbr", before);
    const TPlanBook book = MakeBook({Once(Ymd(2025, 6, 1), 2), Once(Ymd(2025, 6, 2), 3)});
    TPlanBookState state;
    state.Modified = true;
    for (const std::size_t limit : {0u, 100u, 188u, 200u, 3u * 188u - 1u}) {
        const auto failing = [limit](const std::filesystem::path& p) { return std::make_unique<FailingSink>(p, limit); };
        EXPECT_THROW(SavePlanFile(dir / "f.tbr", book, state, kToday, failing), EWriteError) << limit;
        EXPECT_EQ(ReadBytes(dir / "f.tbr"), before) << limit;
        EXPECT_EQ(dir.FileCount(), 1u) << "the unfinished new file is removed";
        EXPECT_TRUE(state.Modified);
    }
    SavePlanFile(dir / "f.tbr", book, state, kToday);
    EXPECT_EQ(ReadBytes(dir / "f.tbr").size(), 3 * 188u);
}

TEST(PlanFile, ANewFileReplacesTheOldOnlyOnceItIsOnTheDisk) {
    ScratchDir dir;
    const Bytes before = FileBytes(kToday - 1, 1, {});
    WriteBytes(dir / "f.tbr", before);
    // What the writer made holds no bytes a disk could keep: /dev/null takes no flush.
    const auto nothingToFlush = [](const std::filesystem::path& temp) { std::filesystem::create_symlink("/dev/null", temp); };
    EXPECT_THROW(ReplaceFile(dir / "f.tbr", nothingToFlush), EWriteError);
    EXPECT_EQ(ReadBytes(dir / "f.tbr"), before);
    EXPECT_EQ(dir.FileCount(), 1u);
}

TEST(PlanFile, LoadAsksForTheCatchUpOnlyWhenOccurrencesFellDue) {
    const TPlanRecord daily = Flow(prEveryNDays, Ymd(2025, 4, 1), 100, 10).Interval(1);
    struct Case {
        const char* what;
        TDate balanceDate;  // of the file's balance 1000
        TPlanRecord plan;
        std::optional<int32_t> answer;
        TLoadOutcome outcome;
        int32_t opening;
        bool asked, headerRewritten;
    };
    const Case cases[] = {
        {"accepted: only the header is rewritten", kToday - 3, daily, 1020, TLoadOutcome::CaughtUp, 1020, true, true},
        {"declined: the load is undone", kToday - 3, daily, std::nullopt, TLoadOutcome::Declined, 0, true, false},
        {"written yesterday", kToday - 1, daily, 5, TLoadOutcome::Loaded, 1000, false, false},
        {"nothing fell due", kToday - 3, Once(kToday + 1, 50), 5, TLoadOutcome::Loaded, 1000, false, false},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const Bytes before = FileBytes(c.balanceDate, 1000, {c.plan});
        WriteBytes(dir / "f.tbr", before);
        TPlanBook book;
        TPlanBookState state;
        state.Modified = true;
        bool asked = false;
        const auto catchUp = [&](TPendingList& pending, const TPlanBookState& s) {
            asked = true;
            EXPECT_EQ(s.LoadedBalance, 1000);
            EXPECT_EQ(s.BalanceDate, c.balanceDate);
            EXPECT_EQ(pending.size(), 2u) << "8 and 9 April; today is not listed";
            return c.answer;
        };
        const TLoadOutcome outcome = LoadPlanFile(dir / "f.tbr", book, state, kToday, catchUp);
        const bool declined = c.outcome == TLoadOutcome::Declined;  // the load undone
        EXPECT_EQ(std::tuple(outcome, asked, state.OpeningBalance, state.CatchUpAccepted, book.Count(),
                             state.PlanFileName.empty(), state.Modified),
                  std::tuple(c.outcome, c.asked, c.opening, c.headerRewritten, declined ? 0 : 1, declined, false))
            << c.what;
        EXPECT_EQ(ReadBytes(dir / "f.tbr"), c.headerRewritten ? FileBytes(kToday - 1, 1020, {c.plan}) : before) << c.what;
        EXPECT_FALSE(ChangedOnDisk(state)) << c.what << ": a header of ours is no change by someone else";
    }
    // A plan that cannot be computed undoes the load.
    ScratchDir dir;
    WriteBytes(dir / "f.tbr", FileBytes(kToday - 3, 1000, {Once(kToday - 1, 1), Broken(kToday - 2)}));
    TPlanBook book;
    TPlanBookState state;
    EXPECT_EQ(FailingPlan([&] { LoadPlanFile(dir / "f.tbr", book, state, kToday, NeverAsked); }), 1);
    EXPECT_EQ(book.Count(), 0);
    EXPECT_EQ(state.PlanFileName, "");
}

TEST(PlanFile, ChangesOnDiskSinceTheLoadOrSaveAreSeen) {
    using std::filesystem::path;
    const TPlanRecord plan = Once(Ymd(2025, 5, 1), 1);
    const Bytes mine = FileBytes(kToday - 1, 5, {plan});
    struct Case { const char* what; std::function<void(const path&)> change; bool changed; };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        ScratchDir dir;
        WriteBytes(dir / "f.tbr", mine);
        TPlanBook book;
        TPlanBookState state;
        LoadPlanFile(dir / "f.tbr", book, state, kToday, NeverAsked);
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
    const TPlanRecord daily = Flow(prEveryNDays, Ymd(2025, 4, 1), 100, 10).Interval(1);
    const Bytes theirs = FileBytes(kToday - 1, 7, {daily, daily});
    for (const bool removed : {false, true}) {
        ScratchDir dir;
        const auto file = dir / "f.tbr";
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

TEST(PlanFile, HeaderRewriteTouchesOnlyRecordZeroOfAPlanFile) {
    ScratchDir dir;
    const TPlanRecord plan = Once(Ymd(2025, 5, 1), 1);
    WriteBytes(dir / "f.tbr", FileBytes(kToday - 9, 1, {plan}));
    RewritePlanFileHeader(dir / "f.tbr", -77, kToday);
    EXPECT_EQ(ReadBytes(dir / "f.tbr"), FileBytes(kToday - 1, -77, {plan}));
    EXPECT_THROW(RewritePlanFileHeader(dir / "missing.tbr", 1, kToday), EWriteError);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.tbr"));
    for (const std::size_t size : {0u, 100u, 187u}) {  // shorter than one record: no plan file to write into
        const Bytes before(size, 0x5a);
        WriteBytes(dir / "short.tbr", before);
        EXPECT_THROW(RewritePlanFileHeader(dir / "short.tbr", 1, kToday), EWriteError) << size;
        EXPECT_EQ(ReadBytes(dir / "short.tbr"), before) << size;
    }
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_THROW(RewritePlanFileHeader("/dev/full", 1, kToday), EWriteError);
    }
}

}  // namespace
}  // namespace tamber
