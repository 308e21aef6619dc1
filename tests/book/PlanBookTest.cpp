#include "PlanBook.h"

#include <gtest/gtest.h>

#include "BookErrors.h"
#include "BookTestSupport.h"

namespace tamber {
namespace {

using test::Once;
using test::Ymd;

std::vector<int32_t> Amounts(const TPlanBook& book) {
    std::vector<int32_t> amounts;
    for (int i = 0; i < book.Count(); ++i) amounts.push_back(book.Plan(i).Rec().Amount);
    return amounts;
}

TEST(PlanBook, KeepsItsOrderThroughInsertAndRemove) {
    TPlanBook book = test::MakeBook({Once(Ymd(2025, 1, 1), 1), Once(Ymd(2025, 1, 1), 2)});
    book.Insert(1, CreateFrom(Once(Ymd(2025, 1, 1), 3)));
    book.Insert(3, CreateFrom(Once(Ymd(2025, 1, 1), 4)));
    EXPECT_EQ(Amounts(book), (std::vector<int32_t>{1, 3, 2, 4}));
    book.Remove(0);  // the editor's change: remove at i, insert the new plan at i
    book.Insert(0, CreateFrom(Once(Ymd(2025, 1, 1), 5)));
    EXPECT_EQ(Amounts(book), (std::vector<int32_t>{5, 3, 2, 4}));
    EXPECT_THROW(book.Plan(4), std::out_of_range);
    EXPECT_THROW(book.Remove(-1), std::out_of_range);
    EXPECT_THROW(book.Insert(5, CreateFrom(Once(Ymd(2025, 1, 1), 6))), std::out_of_range);
    book.Clear();
    EXPECT_EQ(book.Count(), 0);
}

TEST(PlanBook, HoldsNoMorePlansThanTheDayListCanNumber) {
    TPlanBook book;
    for (int i = 0; i < TPlanBook::kMaxPlans; ++i) book.Append(CreateFrom(Once(Ymd(2025, 1, 1), i)));
    EXPECT_THROW(book.Append(CreateFrom(Once(Ymd(2025, 1, 1), 1))), EPlanBookFull);
    EXPECT_THROW(book.Insert(0, CreateFrom(Once(Ymd(2025, 1, 1), 1))), EPlanBookFull);
    EXPECT_EQ(book.Count(), TPlanBook::kMaxPlans);
    EXPECT_EQ(book.Plan(0).Rec().Amount, 0);
}

}  // namespace
}  // namespace tamber
