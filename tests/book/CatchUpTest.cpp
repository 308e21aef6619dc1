#include "CatchUp.h"

#include <gtest/gtest.h>

#include "Big5.h"
#include "BookErrors.h"
#include "BookTestSupport.h"

namespace tamber {
namespace {

using test::Flow;
using test::Once;
using test::Ymd;

struct Pending {
    int32_t plan, period;
    TDate date;
    std::string amount;
    friend bool operator==(const Pending&, const Pending&) = default;
};

std::vector<Pending> Summary(const TPendingList& list) {
    std::vector<Pending> rows;
    for (const TPassRecord& p : list) rows.push_back({p.PlanIndex, p.Occurrence, p.Date, p.AmountText});
    return rows;
}

TEST(CatchUp, ListsOccurrencesAfterTheBalanceDateAndBeforeToday) {
    TPlanRecord bonus = Once(Ymd(2025, 4, 9), 500);
    SetDescriptionBytes(bonus, Utf8ToBig5("獎金").Bytes);
    const TPlanBook book = test::MakeBook({
        Flow(prEveryNDays, Ymd(2025, 4, 1), 100, -20).Interval(1),
        Once(Ymd(2025, 4, 5), 1),   // on the balance date: already counted
        Once(Ymd(2025, 4, 10), 1),  // today: not yet due
        bonus,
    });
    const TPendingList list = BuildPendingList(book, Ymd(2025, 4, 5), Ymd(2025, 4, 10));
    EXPECT_EQ(Summary(list), (std::vector<Pending>{
                                 {0, 6, Ymd(2025, 4, 6), "-20"},
                                 {0, 7, Ymd(2025, 4, 7), "-20"},
                                 {0, 8, Ymd(2025, 4, 8), "-20"},
                                 {0, 9, Ymd(2025, 4, 9), "-20"},
                                 {3, 1, Ymd(2025, 4, 9), "500"},
                             }));
    EXPECT_EQ(list.back().Description, "獎金");
}

TEST(CatchUp, BothOccurrencesOnAShortenedMonthEndAreListed) {
    const TPlanBook book = test::MakeBook({test::RecordBuilder(prThriceMonthly, Ymd(2025, 4, 1), 6).Days(15, 30, 31).Amount(100, -1)});
    EXPECT_EQ(Summary(BuildPendingList(book, Ymd(2025, 4, 20), Ymd(2025, 5, 1))),
              (std::vector<Pending>{{0, 2, Ymd(2025, 4, 30), "-100"}, {0, 3, Ymd(2025, 4, 30), "-100"}}));
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

TEST(CatchUp, ConfirmedAmountsAreAddedToTheLoadedBalance) {
    TPendingList list(6);
    for (TPassRecord& p : list) p.AmountText = "0";
    list[0].AmountText = "500";
    list[1].AmountText = "-200";
    EXPECT_EQ(CaughtUpBalance(1000, list), 1300);

    list[4].AmountText = "";
    try {
        CaughtUpBalance(1000, list);
        FAIL() << "no error";
    } catch (const EInvalid& e) {
        EXPECT_STREQ(e.what(), "第 5 項金額輸入錯誤");
    }
}

// A balance that leaves 32 bits is refused with the item that took it out
// for good, rather than wrapped into a wrong amount.
TEST(CatchUp, BalanceBeyond32BitsNamesTheItemThatLeftTheRange) {
    struct Case {
        const char* name;
        int32_t loaded;
        std::vector<std::string> amounts;
        std::optional<int32_t> balance;  // nothing: refused
        const char* message = "";
    };
    const Case cases[] = {
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
            const int32_t balance = CaughtUpBalance(c.loaded, list);
            EXPECT_EQ(std::optional<int32_t>(balance), c.balance) << c.name;
        } catch (const EInvalid& e) {
            EXPECT_FALSE(c.balance) << c.name;
            EXPECT_STREQ(e.what(), c.message) << c.name;
        }
    }
}

}  // namespace
}  // namespace tamber
