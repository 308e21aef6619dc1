#include "PlanFile.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "Big5.h"
#include "BookErrors.h"
#include "BookTestSupport.h"

namespace tamber {
namespace {

using test::Bytes;
using test::Flow;
using test::Once;
using test::Ymd;

const TDate kToday = Ymd(2025, 4, 10);

Bytes FileBytes(TDate balanceDate, int32_t balance, const std::vector<TPlanRecord>& records) {
    Bytes bytes;
    test::Append(bytes, HeaderToBytes({balanceDate, balance}));
    for (const TPlanRecord& rec : records) test::Append(bytes, RecordToBytes(rec));
    return bytes;
}

std::optional<int32_t> NeverAsked(TPendingList&, const TPlanBookState&) {
    ADD_FAILURE() << "the catch-up was not expected";
    return std::nullopt;
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

TEST(PlanFile, SaveAndLoadKeepEveryRecordByteForByte) {
    TPlanRecord rent = Flow(prMonthly, Ymd(2025, 1, 31) + 0.75, 24, -18000);
    SetDescriptionBytes(rent, Utf8ToBig5("房租, \"五樓\"").Bytes);
    rent.Pad17 = {1, 2, 3};
    rent.Pad185 = {7, 8, 9};
    rent.Description.Chars[119] = 'x';  // beyond the text's length, still kept
    TPlanRecord club = test::RecordBuilder(prThriceMonthly, Ymd(2025, 2, 1), 9).Days(5, 15, 31).Amount(500);
    club.BaseBid = 77;
    const std::vector<TPlanRecord> records = {rent, club, Flow(prEveryNDays, Ymd(2025, 3, 3), 5, 1).Interval(10)};

    test::ScratchDir dir;
    test::WriteBytes(dir / "in.tbr", FileBytes(kToday - 1, -5, records));
    TPlanBook book;
    TPlanBookState state;
    state.Modified = true;
    EXPECT_EQ(LoadPlanFile(dir / "in.tbr", book, state, kToday, NeverAsked), TLoadOutcome::Loaded);
    EXPECT_EQ(state.PlanFileName, (dir / "in.tbr").string());
    EXPECT_FALSE(state.Modified);
    ASSERT_EQ(book.Count(), 3);
    state.Modified = true;
    SavePlanFile(dir / "out.tbr", book, state, kToday + 5);
    EXPECT_FALSE(state.Modified);
    EXPECT_EQ(test::ReadBytes(dir / "out.tbr"), FileBytes(kToday + 4, -5, records)) << "only the header date moves";

    // An empty book is the header alone; its old balance date asks for no catch-up.
    book.Clear();
    SavePlanFile(dir / "empty.tbr", book, state, kToday);
    EXPECT_EQ(test::ReadBytes(dir / "empty.tbr"), FileBytes(kToday - 1, -5, {}));
    EXPECT_EQ(LoadPlanFile(dir / "empty.tbr", book, state, kToday + 30, NeverAsked), TLoadOutcome::Loaded);
    EXPECT_EQ(state.OpeningBalance, -5);
}

TEST(PlanFile, DamagedFilesFailOrLoseOnlyTheUnreadableParts) {
    const TPlanRecord good = Once(Ymd(2025, 5, 1), 100);
    TPlanRecord kind7 = good;
    kind7.PlanKind = 7;
    TPlanRecord noPeriods = good;
    noPeriods.PeriodCount = 0;
    const TPlanRecord day40 = test::RecordBuilder(prThriceMonthly, Ymd(2025, 5, 1), 3).Days(5, 15, 40);
    Bytes trailing = FileBytes(kToday - 1, 9, {good});
    trailing.resize(trailing.size() + 100, 0xEE);
    struct Case { const char* what; Bytes bytes; int plans; /* -1: read error */ };
    const Case cases[] = {
        {"an empty file", {}, -1},
        {"a file shorter than one record", Bytes(100, 0), -1},
        {"100 bytes after the last record are ignored", trailing, 1},
        {"a kind byte 7 is skipped silently", FileBytes(kToday - 1, 9, {good, kind7, good}), 2},
        {"a period count of 0 makes no plan", FileBytes(kToday - 1, 9, {good, noPeriods}), -1},
        {"a listed month day of 40 makes no plan", FileBytes(kToday - 1, 9, {day40}), -1},
        {"a header date that is no number", FileBytes(std::numeric_limits<double>::quiet_NaN(), 9, {good}), -1},
    };
    test::ScratchDir dir;
    for (const Case& c : cases) {
        test::WriteBytes(dir / "f.tbr", c.bytes);
        TPlanBook book = test::MakeBook({good});
        TPlanBookState state;
        state.OpeningBalance = 3;
        if (c.plans < 0) {
            try {
                LoadPlanFile(dir / "f.tbr", book, state, kToday, NeverAsked);
                ADD_FAILURE() << c.what << ": loaded";
            } catch (const EReadError& e) {
                EXPECT_STREQ(e.what(), "讀檔錯誤") << c.what;
            }
            EXPECT_EQ(book.Count(), 0) << c.what;
            EXPECT_EQ(state.PlanFileName, "") << c.what;
            EXPECT_EQ(state.OpeningBalance, 0) << c.what;
            EXPECT_EQ(test::ReadBytes(dir / "f.tbr"), c.bytes) << c.what;
        } else {
            LoadPlanFile(dir / "f.tbr", book, state, kToday, NeverAsked);
            EXPECT_EQ(book.Count(), c.plans) << c.what;
            EXPECT_EQ(state.OpeningBalance, 9) << c.what;
        }
    }
    TPlanBook book;
    TPlanBookState state;
    EXPECT_THROW(LoadPlanFile(dir / "missing.tbr", book, state, kToday, NeverAsked), EReadError);
}

TEST(PlanFile, MoreThan9999PlansAreAReadError) {
    std::vector<TPlanRecord> records(TPlanBook::kMaxPlans, Once(Ymd(2025, 5, 1), 1));
    TPlanRecord kind9 = records[0];
    kind9.PlanKind = 9;
    records.push_back(kind9);
    test::ScratchDir dir;
    test::WriteBytes(dir / "f.tbr", FileBytes(kToday - 1, 0, records));
    TPlanBook book;
    EXPECT_EQ(ReadPlanFile(dir / "f.tbr", book).Balance, 0);
    EXPECT_EQ(book.Count(), TPlanBook::kMaxPlans);

    records.back() = records[0];  // a 10,000th plan
    test::WriteBytes(dir / "f.tbr", FileBytes(kToday - 1, 0, records));
    EXPECT_THROW(ReadPlanFile(dir / "f.tbr", book), EReadError);
    EXPECT_EQ(book.Count(), 0);
}

TEST(PlanFile, InterruptedSaveLeavesThePreviousFile) {
    test::ScratchDir dir;
    const Bytes before = FileBytes(kToday - 1, 1, {Once(Ymd(2025, 5, 1), 1)});
    test::WriteBytes(dir / "f.tbr", before);
    const TPlanBook book = test::MakeBook({Once(Ymd(2025, 6, 1), 2), Once(Ymd(2025, 6, 2), 3)});
    TPlanBookState state;
    state.Modified = true;
    for (const std::size_t limit : {0u, 100u, 188u, 200u, 3u * 188u - 1u}) {
        const auto failing = [limit](const std::filesystem::path& p) { return std::make_unique<FailingSink>(p, limit); };
        EXPECT_THROW(SavePlanFile(dir / "f.tbr", book, state, kToday, failing), EWriteError) << limit;
        EXPECT_EQ(test::ReadBytes(dir / "f.tbr"), before) << limit;
        EXPECT_EQ(dir.FileCount(), 1u) << "the unfinished new file is removed";
        EXPECT_TRUE(state.Modified);
    }
    EXPECT_THROW(SavePlanFile(dir / "no-such-folder" / "f.tbr", book, state, kToday), EWriteError);
    SavePlanFile(dir / "f.tbr", book, state, kToday);
    EXPECT_EQ(test::ReadBytes(dir / "f.tbr").size(), 3 * 188u);
}

struct CatchUpAtLoad : ::testing::Test {
    test::ScratchDir dir;
    TPlanBook book;
    TPlanBookState state;
    int asked = 0;
    Bytes before;

    // A daily +10 plan; the file's balance 1000 is valid up to BalanceDate.
    TLoadOutcome Load(TDate balanceDate, std::optional<int32_t> answer, TPlanRecord plan = Flow(prEveryNDays, Ymd(2025, 4, 1), 100, 10).Interval(1)) {
        before = FileBytes(balanceDate, 1000, {plan});
        test::WriteBytes(dir / "f.tbr", before);
        return LoadPlanFile(dir / "f.tbr", book, state, kToday, [&](TPendingList& pending, const TPlanBookState& s) {
            ++asked;
            EXPECT_EQ(s.LoadedBalance, 1000);
            EXPECT_EQ(s.BalanceDate, balanceDate);
            EXPECT_EQ(pending.size(), 2u) << "8 and 9 April; today is not listed";
            return answer;
        });
    }
};

TEST_F(CatchUpAtLoad, AcceptedRewritesOnlyTheHeader) {
    EXPECT_EQ(Load(kToday - 3, 1020), TLoadOutcome::CaughtUp);
    EXPECT_EQ(state.OpeningBalance, 1020);
    EXPECT_TRUE(state.CatchUpAccepted);
    EXPECT_EQ(book.Count(), 1);
    Bytes after = test::ReadBytes(dir / "f.tbr");
    EXPECT_EQ(Bytes(after.begin() + 188, after.end()), Bytes(before.begin() + 188, before.end()));
    after.resize(188);
    EXPECT_EQ(after, FileBytes(kToday - 1, 1020, {}));
}

TEST_F(CatchUpAtLoad, DeclinedUndoesTheLoadAndLeavesTheFile) {
    state.Modified = true;
    EXPECT_EQ(Load(kToday - 3, std::nullopt), TLoadOutcome::Declined);
    EXPECT_EQ(book.Count(), 0);
    EXPECT_EQ(state.PlanFileName, "");
    EXPECT_EQ(state.OpeningBalance, 0);
    EXPECT_FALSE(state.Modified);
    EXPECT_EQ(test::ReadBytes(dir / "f.tbr"), before);
}

TEST_F(CatchUpAtLoad, NotOfferedWithoutPendingOccurrences) {
    EXPECT_EQ(Load(kToday - 1, 5), TLoadOutcome::Loaded) << "written yesterday";
    EXPECT_EQ(Load(kToday - 3, 5, Once(kToday + 1, 50)), TLoadOutcome::Loaded) << "nothing fell due";
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(state.BalanceDate, kToday - 3);
    EXPECT_EQ(state.OpeningBalance, 1000);
    EXPECT_EQ(test::ReadBytes(dir / "f.tbr"), before);
}

TEST_F(CatchUpAtLoad, PlanThatCannotBeComputedUndoesTheLoad) {
    EXPECT_THROW(Load(kToday - 3, 5, test::Broken(kToday - 2)), EPlanError);
    EXPECT_EQ(book.Count(), 0);
    EXPECT_EQ(state.PlanFileName, "");
}

TEST(PlanFile, HeaderRewriteTouchesOnlyRecordZero) {
    test::ScratchDir dir;
    const Bytes before = FileBytes(kToday - 9, 1, {Once(Ymd(2025, 5, 1), 1)});
    test::WriteBytes(dir / "f.tbr", before);
    RewritePlanFileHeader(dir / "f.tbr", -77, kToday);
    Bytes expected = FileBytes(kToday - 1, -77, {});
    expected.insert(expected.end(), before.begin() + 188, before.end());
    EXPECT_EQ(test::ReadBytes(dir / "f.tbr"), expected);
    EXPECT_THROW(RewritePlanFileHeader(dir / "missing.tbr", 1, kToday), EWriteError);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.tbr"));
}

TEST(PlanFile, HeaderRewriteThatCannotWriteLeavesTheFile) {
    test::ScratchDir dir;
    // Shorter than one record: no plan file, so no header is written into it.
    for (const std::size_t size : {0u, 100u, 187u}) {
        const Bytes before(size, 0x5a);
        test::WriteBytes(dir / "short.tbr", before);
        EXPECT_THROW(RewritePlanFileHeader(dir / "short.tbr", 1, kToday), EWriteError) << size;
        EXPECT_EQ(test::ReadBytes(dir / "short.tbr"), before) << size;
    }
    // A device that takes no bytes: the failed write is reported.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_THROW(RewritePlanFileHeader("/dev/full", 1, kToday), EWriteError);
    }
}

}  // namespace
}  // namespace tamber
