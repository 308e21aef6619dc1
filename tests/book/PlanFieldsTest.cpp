// The plan editor's fields read into a plan, and its commands on the plan book.
#include "book/PlanFields.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

namespace tamber {
namespace {

using namespace test;

// A monthly fixed expense of 500 from 15 January 2001, twelve times; every other field holds a valid entry too.
TPlanFields ValidFields() {
    return {.KindIndex = pkFixAccount, .PeriodIndex = prMonthly, .PeriodCount = "12", .Description = "rent", .StartDate = Ymd(2001, 1, 15), .IntervalDays = "10", .MonthDays = {"10", "20", "25"}, .FixAmount = "500", .Income = false, .ClubAmount = "10000", .BaseBid = "500", .WinningBid = "1200", .WinningPeriod = "5", .AboveBaseTotal = "2100", .SavingAmount = "100000", .SavingRate = "6", .CompoundAmount = "100000", .CompoundRate = "6", .LoanAmount = "100000", .LoanRate = "6"};
}

TPlanFields& Days(TPlanFields& f, const char* a, const char* b, const char* c = nullptr) {
    f.PeriodIndex = c ? prThriceMonthly : prTwiceMonthly;
    f.MonthDays = {a, b, c ? c : ""};
    return f;
}

// The message of the first entry refused, after "EMissOrder: " or "EPlanEntry: " for those; "" when a plan is made.
std::string Refusal(const TPlanFields& f) try {
    (void)MakeEnteredPlan(f, ReadPlanFields(f));
    return "";
} catch (const ETamberError& e) {
    return (dynamic_cast<const EMissOrder*>(&e) ? "EMissOrder: " : dynamic_cast<const EPlanEntry*>(&e) ? "EPlanEntry: "
                                                                                                       : "") +
           std::string(e.what());
}

TEST(PlanFields, EntriesAreRefusedWithTheFirstFailingFieldsMessage) {
    const std::tuple<const char*, void (*)(TPlanFields&), const char*> rows[] = {
        // what, the edit, the message
        {"empty count before every other field", [](TPlanFields& f) { f = TPlanFields{}; Days(f, "x", "y"); }, "期數輸入錯誤"},
        {"interval 0", [](TPlanFields& f) { f.PeriodIndex = prEveryNDays; f.IntervalDays = "0"; }, "間隔天數輸入錯誤"},
        {"twice, the same day", [](TPlanFields& f) { Days(f, "10", "10"); }, "EMissOrder: 日期請由小至大輸入"},
        {"twice, first after the 21st", [](TPlanFields& f) { Days(f, "22", "25"); }, "EMissOrder: 日期超過範圍"},
        {"twice, both converted before the order", [](TPlanFields& f) { Days(f, "20", "x"); }, "日期輸入錯誤"},
        {"twice, a day beyond 16 bits", [](TPlanFields& f) { Days(f, "10", "65556"); }, "EMissOrder: 日期超過範圍"},
        {"thrice, order before range", [](TPlanFields& f) { Days(f, "25", "24", "40"); }, "EMissOrder: 日期請由小至大輸入"},
        {"period before kind", [](TPlanFields& f) { f.FixAmount = ""; Days(f, "20", "10"); }, "EMissOrder: 日期請由小至大輸入"},
        {"fixed amount", [](TPlanFields& f) { f.FixAmount = "+"; }, "金額輸入錯誤"},
        {"base bid", [](TPlanFields& f) { f.KindIndex = pkCollect; f.BaseBid = ""; }, "底標金額輸入錯誤"},
        {"winning bid before winning period", [](TPlanFields& f) { f.KindIndex = pkCollect; f.WinningBid = f.WinningPeriod = ""; },
         "預估（實際）得標金額輸入錯誤"},
        {"winning period", [](TPlanFields& f) { f.KindIndex = pkCollect; f.WinningPeriod = "x"; }, "預估（實際）得標期次輸入錯誤"},
        {"above base with outer bidding", [](TPlanFields& f) { f.KindIndex = pkCollect; f.AboveBaseTotal = ""; }, "超過底標總金額輸入錯誤"},
        {"deposit amount before rate", [](TPlanFields& f) { f.KindIndex = pkSaving; f.SavingAmount = f.SavingRate = ""; }, "金額輸入錯誤"},
        {"rate with a comma where the point is", [](TPlanFields& f) { f.KindIndex = pkSaving; f.SavingRate = "5,5"; }, "年利率輸入錯誤"},
        {"rate beyond the stored real", [](TPlanFields& f) { f.KindIndex = pkLoan; f.LoanRate = "1e40"; }, "年利率輸入錯誤"},
        {"no kind", [](TPlanFields& f) { f.KindIndex = -1; }, "EPlanEntry: 請選擇計劃類別"},
        {"a listed day the first month lacks", [](TPlanFields& f) { Days(f, "15", "31"); f.StartDate = Ymd(2001, 4, 20); },
         "EPlanEntry: 日期輸入錯誤, 第一期的日期不存在"},
        {"last occurrence after 9999", [](TPlanFields& f) { f.PeriodIndex = prYearly; f.PeriodCount = "9000"; },
         "EPlanEntry: 期數輸入錯誤, 最後一期的日期超過 9999 年"},
        {"last occurrence after 9999, every n days",
         [](TPlanFields& f) { f.PeriodIndex = prEveryNDays; f.IntervalDays = "2000000000"; f.PeriodCount = "2"; },
         "EPlanEntry: 期數或間隔天數輸入錯誤, 最後一期的日期超過 9999 年"},
        {"fixed amounts summing beyond 32 bits", [](TPlanFields& f) { f.FixAmount = "2000000000"; f.PeriodCount = "2"; },
         "EPlanEntry: 金額輸入錯誤, 算出的金額超出範圍"},
        {"zero rate for equal loan instalments", [](TPlanFields& f) { f.KindIndex = pkLoan; f.LoanRate = "0"; },
         "EPlanEntry: 年利率輸入錯誤, 以此年利率及期數無法算出金額"},
        {"interest beyond 32 bits", [](TPlanFields& f) { f.KindIndex = pkSaving; f.SavingRate = "1e30"; },
         "EPlanEntry: 金額或年利率輸入錯誤, 算出的金額超出範圍"},
        {"once only: the count is not read", [](TPlanFields& f) { f.PeriodIndex = prOnce; f.PeriodCount = "x"; }, ""},
        {"inner bidding: the total above the base bid is not read",
         [](TPlanFields& f) { f.KindIndex = pkCollect; f.InnerBidding = true; f.AboveBaseTotal = "x"; }, ""},
        {"twice, the largest days", [](TPlanFields& f) { Days(f, "21", "31"); }, ""},
    };
    for (const auto& [what, edit, message] : rows) {
        TPlanFields f = ValidFields();
        edit(f);
        EXPECT_EQ(Refusal(f), message) << what;
    }
}

TEST(PlanFields, RatesAsTyped) {
    const std::pair<const char*, std::optional<double>> rates[] = {{"5.5", 5.5}, {" 2 ", 2}, {".5", 0.5}, {"+1e1", 10}, {"-3", -3}, {"1E-1", 0.1}, {"5.5.5", {}}, {".", {}}, {"5e+", {}}, {"1e999", {}}};
    for (const auto& [text, rate] : rates) EXPECT_EQ(ParseDecimal(text, '.'), rate) << text;
}

// What the editor shows of a plan makes the same plan again where the decimal separator is a comma (every kind and
// method with a point: the editor's tests).
TEST(PlanFields, APlanShownInTheFieldsReadsBackIntoTheSamePlan) {
    const TPlanRecord records[] = {
        Flow(prEveryNDays, Ymd(2001, 3, 4), 9, -700, "定存 no. 1").Interval(14),
        RecordBuilder(prTwiceMonthly, Ymd(2001, 3, 4), 24).Days(10, 25).Kind(pkCollect).Amount(5000).Club(300, 800, 4, false, 900),
        RecordBuilder(prOnce, Ymd(2001, 3, 4), 1).Kind(pkLoan).Amount(900000).Method(mtEqualPrincipal).Rate(7.75),
    };
    for (TPlanRecord rec : records) {
        if (rec.PlanKind != pkFixAccount) rec.Direction = 0;  // read for fixed flows only
        if (rec.PeriodKind != prEveryNDays) rec.IntervalDays = 0;
        TPlanFields f;
        f.DecimalSeparator = ',';
        PlanIntoFields(rec, f);
        EXPECT_EQ(RecordToBytes(MakeEnteredPlan(f, ReadPlanFields(f))->Rec()), RecordToBytes(rec)) << "kind " << int(rec.PlanKind);
    }
}

// Adding, changing and removing plans as typed: the editor's tests. Here what the commands refuse.
TEST(PlanFields, CommandsOnThePlanBookRefuse) {
    TPlanBook book = MakeBook({Once(Ymd(2001, 1, 10), 1), Once(Ymd(2001, 1, 20), 2)});
    TPlanFields f = ValidFields();
    f.FixAmount = "";
    EXPECT_THROW(ModifyPlan(book, 1, f), EInt);
    EXPECT_THROW(ModifyPlan(book, 2, ValidFields()), EPlanEntry);
    EXPECT_THROW(ModifyPlan(book, -1, ValidFields()), EPlanEntry);
    EXPECT_THROW(book.Remove(-1), std::out_of_range);
    book.Insert(2, CreateFrom(Once(0, 9)));
    while (book.Count() < TPlanBook::kMaxPlans) book.Append(CreateFrom(Once(0, 1)));
    f.PeriodCount = "";
    EXPECT_THROW(AddPlan(book, f), EPlanBookFull) << "said before the fields are read";
    EXPECT_THROW(book.Insert(0, CreateFrom(Once(0, 1))), EPlanBookFull);
    EXPECT_EQ(book.Plan(1).Rec().Amount + book.Plan(2).Rec().Amount, 2 + 9);
}

}  // namespace
}  // namespace tamber
