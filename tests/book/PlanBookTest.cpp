#include "book/PlanBook.h"

#include <gtest/gtest.h>

#include "BookTestSupport.h"

namespace tamber {
namespace {

TEST(PlanBook, KeepsItsOrderAndHoldsNoMorePlansThanTheDayListCanNumber) {
    const auto plan = [](int32_t amount) { return CreateFrom(test::Once(test::Ymd(2025, 1, 1), amount)); };
    const auto amounts = [](const TPlanBook& book) {
        std::vector<int32_t> a;
        for (int i = 0; i < book.Count(); ++i) a.push_back(book.Plan(i).Rec().Amount);
        return a;
    };
    TPlanBook book;
    book.Append(plan(1));
    book.Append(plan(2));
    book.Insert(1, plan(3));
    book.Insert(3, plan(4));
    book.Remove(0);  // the editor's change: remove at i, insert the new plan at i
    book.Insert(0, plan(5));
    EXPECT_EQ(amounts(book), (std::vector<int32_t>{5, 3, 2, 4}));
    EXPECT_THROW(book.Plan(4), std::out_of_range);
    EXPECT_THROW(book.Remove(-1), std::out_of_range);
    EXPECT_THROW(book.Insert(5, plan(6)), std::out_of_range);

    while (book.Count() < TPlanBook::kMaxPlans) book.Append(plan(0));
    EXPECT_THROW(book.Append(plan(1)), EPlanBookFull);
    EXPECT_THROW(book.Insert(0, plan(1)), EPlanBookFull);
    EXPECT_EQ(book.Count(), TPlanBook::kMaxPlans);
    EXPECT_EQ(book.Plan(0).Rec().Amount, 5);
    book.Clear();
    EXPECT_EQ(book.Count(), 0);
}

}  // namespace
}  // namespace tamber
