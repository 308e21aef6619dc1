#include "book/CatchUp.h"

#include <gtest/gtest.h>

#include "model/Big5.h"
#include "BookTestSupport.h"

namespace tamber {
namespace {

using namespace test;

struct Row {
    int32_t plan, period;
    TDate date;
    std::string amount;
    friend bool operator==(const Row&, const Row&) = default;
};

TEST(CatchUp, ListsOccurrencesAfterTheBalanceDateAndBeforeTodayPlanByPlan) {
    TPlanRecord bonus = Once(Ymd(2025, 4, 9), 500);
    SetDescriptionBytes(bonus, Utf8ToBig5("獎金").Bytes);
    const TPlanBook book = MakeBook({
        Flow(prEveryNDays, Ymd(2025, 4, 1), 100, -20).Interval(10),  // 1 May is today: not yet due
        Once(Ymd(2025, 4, 5), 1),                                           // on the balance date: already counted
        Once(Ymd(2025, 5, 1), 1),
        bonus,
        RecordBuilder(prThriceMonthly, Ymd(2025, 4, 1), 6).Days(15, 30, 31).Amount(100, -1),  // two on 30 April
    });
    const TPendingList list = BuildPendingList(book, Ymd(2025, 4, 5), Ymd(2025, 5, 1));
    std::vector<Row> rows;
    for (const TPassRecord& p : list) rows.push_back({p.PlanIndex, p.Occurrence, p.Date, p.AmountText});
    EXPECT_EQ(rows, (std::vector<Row>{{0, 2, Ymd(2025, 4, 11), "-20"},
                                      {0, 3, Ymd(2025, 4, 21), "-20"},
                                      {3, 1, Ymd(2025, 4, 9), "500"},
                                      {4, 1, Ymd(2025, 4, 15), "-100"},
                                      {4, 2, Ymd(2025, 4, 30), "-100"},
                                      {4, 3, Ymd(2025, 4, 30), "-100"}}));
    EXPECT_EQ(list[2].Description, "獎金");
}

TEST(CatchUp, EightRowsMakeAPage) {
    const std::pair<std::size_t, int> cases[] = {{0, 0}, {1, 1}, {8, 1}, {9, 2}, {17, 3}};
    for (const auto& [count, pages] : cases) EXPECT_EQ(PendingPageCount(count), pages) << count << " occurrences";
}

TEST(CatchUp, AmountTextsAreSignedWholeNumbers) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"500", 500}, {"-200", -200}, {"+7", 7}, {"0", 0}, {"-2147483648", INT32_MIN},
        {"", std::nullopt}, {"-", std::nullopt}, {"1-2", std::nullopt}, {"12a", std::nullopt},
        {" 5", std::nullopt}, {"+-1", std::nullopt}, {"2147483648", std::nullopt},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseAmountText(text), value) << '"' << text << '"';
}

// A balance that leaves 32 bits is refused with the item that took it out
// for good, rather than wrapped into a wrong amount.
TEST(CatchUp, ConfirmedAmountsAreAddedToTheLoadedBalanceOrTheBadItemIsNamed) {
    struct Case {
        const char* what;
        int32_t loaded;
        std::vector<std::string> amounts;
        std::optional<int32_t> balance;  // nothing: refused with Message
        const char* message = "";
    };
    const Case cases[] = {
        {"amounts added", 1000, {"500", "-200", "0"}, 1300},
        {"an emptied amount in item 5", 1000, {"500", "-200", "0", "0", "", "x"}, std::nullopt, "第 5 項金額輸入錯誤"},
        {"a mistyped income in item 2", 1000, {"5", "2147483000", "-3"}, std::nullopt, "第 2 項金額輸入錯誤"},
        {"the loaded balance near the top", INT32_MAX - 300, {"100", "200", "1"}, std::nullopt, "第 3 項金額輸入錯誤"},
        {"expenses below the bottom", INT32_MIN + 10, {"-5", "-5", "-1", "-4"}, std::nullopt, "第 3 項金額輸入錯誤"},
        {"out and back in again", 2147483000, {"1000", "-1000"}, 2147483000},
        {"out, back in and out again", 2147483000, {"1000", "-1000", "700", "-1"}, std::nullopt, "第 3 項金額輸入錯誤"},
        {"exactly the top", INT32_MAX - 1, {"1"}, INT32_MAX},
        {"exactly the bottom", INT32_MIN + 1, {"-1"}, INT32_MIN},
    };
    for (const Case& c : cases) {
        TPendingList list;
        for (const std::string& amount : c.amounts) list.push_back({0, 0, 0, amount, ""});
        try {
            EXPECT_EQ(std::optional<int32_t>(CaughtUpBalance(c.loaded, list)), c.balance) << c.what;
        } catch (const EInvalid& e) {
            EXPECT_FALSE(c.balance) << c.what;
            EXPECT_STREQ(e.what(), c.message) << c.what;
        }
    }
}

}  // namespace
}  // namespace tamber
