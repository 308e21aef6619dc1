// Every computation on what plan files load, as the fuzz target drives it: the
// files it once found faulty (tests/book/planfile-corpus/), and generated books
// of every plan and period kind opened on days the header chooses, each
// figure against an independent computation of it.
#include <gtest/gtest.h>

#include <cstring>

#include "FuzzDriver.h"
#include "TestSupport.h"

namespace tamber {
namespace {

void Drive(const test::Bytes& bytes) {
    support::DrivePlanBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

TEST(GeneratedBooks, TheCorpusFilesEndInFiguresOrReportedErrors) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TAMBER_PLANFILE_CORPUS)) {
        ++files;
        EXPECT_NO_THROW(Drive(test::ReadBytes(entry.path()))) << entry.path().filename();
    }
    EXPECT_GT(files, 0);
}

TEST(GeneratedBooks, EveryFigureAgreesWithItsIndependentComputation) {
    std::mt19937 random(14);
    const TDate today = test::Ymd(2025, 6, 15);
    for (int book = 1; book <= 8; ++book) {
        std::vector<TPlanRecord> records;
        while (records.size() < 60) {
            const TPlanRecord rec = test::RandomRecord(random, int(random() % kPeriodKindCount), today - 1100, today + 400);
            if (PlanRecordProblem(rec).empty()) records.push_back(rec);
        }
        test::Bytes bytes = test::FileBytes(today - 30 * book, book * 7919 - 20000, records);
        // Opened 2..1025 days after the balance date; charted over the unit, count and start the book's number chooses.
        const uint8_t chooser[] = {uint8_t(book * 37), uint8_t(book), 0, 0, 0, 0, 0, 0, uint8_t(book % 3), uint8_t(book * 11),
                                   uint8_t(book * 53), uint8_t(book % 2 ? 0 : 0xFF)};
        std::memcpy(bytes.data() + 8, chooser, sizeof chooser);
        SCOPED_TRACE(::testing::Message() << "book " << book);
        EXPECT_NO_THROW(Drive(bytes));
    }
}

}  // namespace
}  // namespace tamber
