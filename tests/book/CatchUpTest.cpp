#include "CatchUp.h"

#include <gtest/gtest.h>

#include <tuple>
#include <variant>

#include "TestSupport.h"

namespace tamber {
namespace {

using namespace test;

TEST(CatchUp, ListsOccurrencesAfterTheBalanceDateAndBeforeTodayPlanByPlan) {
    const TPlanBook book = MakeBook({
        Flow(prEveryNDays, Ymd(2025, 4, 1), 100, -20).Interval(10),  // 1 May is today: not yet due
        Once(Ymd(2025, 4, 5), 1),                                    // on the balance date: already counted
        Once(Ymd(2025, 5, 1), 1),
        Flow(prOnce, Ymd(2025, 4, 9), 1, 500, "獎金"),
        Flow(prThriceMonthly, Ymd(2025, 4, 1), 6, -100).Days(15, 30, 31),  // two on 30 April
        Flow(prMonthly, Ymd(2025, 3, 30), 2, 7),                           // its last before today
    });
    std::vector<std::tuple<int32_t, int32_t, TDate, std::string, std::string>> rows;
    for (const TPassRecord& p : BuildPendingList(book, Ymd(2025, 4, 5), Ymd(2025, 5, 1))) {
        rows.emplace_back(p.PlanIndex, p.Occurrence, p.Date, p.AmountText, p.Description);
    }
    EXPECT_EQ(rows, (decltype(rows){{0, 2, Ymd(2025, 4, 11), "-20", ""}, {0, 3, Ymd(2025, 4, 21), "-20", ""},
                                    {3, 1, Ymd(2025, 4, 9), "500", "獎金"}, {4, 1, Ymd(2025, 4, 15), "-100", ""},
                                    {4, 2, Ymd(2025, 4, 30), "-100", ""}, {4, 3, Ymd(2025, 4, 30), "-100", ""},
                                    {5, 2, Ymd(2025, 4, 30), "7", ""}}));
    const std::pair<std::size_t, int> pages[] = {{0, 0}, {1, 1}, {8, 1}, {9, 2}, {17, 3}};
    for (const auto& [count, n] : pages) EXPECT_EQ(PendingPageCount(count), n) << count << " occurrences";
}

TEST(CatchUp, AmountTextsAreSignedWholeNumbers) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"500", 500}, {"-200", -200}, {"+7", 7}, {"0", 0}, {"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX},
        {"", std::nullopt}, {"-", std::nullopt}, {"1-2", std::nullopt}, {"12a", std::nullopt}, {" 5", std::nullopt},
        {"+-1", std::nullopt}, {"2147483648", std::nullopt}, {"-2147483649", std::nullopt}, {"99999999999", std::nullopt},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseAmountText(text), value) << '"' << text << '"';
}

// A balance that leaves 32 bits is refused with the item that took it out for good, rather than wrapped.
TEST(CatchUp, ConfirmedAmountsAreAddedToTheLoadedBalanceOrTheBadItemIsNamed) {
    const struct {
        const char* what;
        int32_t loaded;
        std::vector<std::string> amounts;
        std::variant<int32_t, const char*> result;  // the balance, or the message refusing it
    } cases[] = {
        {"amounts added", 1000, {"500", "-200", "0"}, 1300},
        {"an emptied amount in item 5", 1000, {"500", "-200", "0", "0", "", "x"}, "第 5 項金額輸入錯誤"},
        {"a mistyped income in item 2", 1000, {"5", "2147483000", "-3"}, "第 2 項金額輸入錯誤"},
        {"expenses below the bottom", INT32_MIN + 10, {"-5", "-5", "-1", "-4"}, "第 3 項金額輸入錯誤"},
        {"out and back in again", 2147483000, {"1000", "-1000"}, 2147483000},
        {"out, back in and out again", 2147483000, {"1000", "-1000", "700", "-1"}, "第 3 項金額輸入錯誤"},
        {"exactly the top", INT32_MAX - 1, {"1"}, INT32_MAX},
        {"exactly the bottom", INT32_MIN + 1, {"-1"}, INT32_MIN},
    };
    for (const auto& c : cases) {
        TPendingList list;
        for (const std::string& amount : c.amounts) list.push_back({0, 0, 0, amount, ""});
        std::variant<int32_t, const char*> result;
        std::string message;
        try {
            result = CaughtUpBalance(c.loaded, list);
        } catch (const EInvalid& e) {
            message = e.what();
            result = "";
        }
        if (std::holds_alternative<int32_t>(c.result)) EXPECT_EQ(result, c.result) << c.what;
        else EXPECT_EQ(message, std::get<const char*>(c.result)) << c.what;
    }
}

}  // namespace
}  // namespace tamber
