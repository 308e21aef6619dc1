#include "book/PlanFields.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model/Big5.h"
#include "book/BookErrors.h"
#include "BookTestSupport.h"

using namespace tamber;
using namespace tamber::test;

namespace {

// A monthly fixed expense of 500 from 15 January 2001, twelve times; every other field holds a valid entry too.
TPlanFields ValidFields() {
    return {.KindIndex = pkFixAccount, .PeriodIndex = prMonthly, .PeriodCount = "12", .Description = "rent",
            .StartDate = Ymd(2001, 1, 15), .IntervalDays = "10", .MonthDays = {"10", "20", "25"}, .FixAmount = "500",
            .Income = false, .ClubAmount = "10000", .BaseBid = "500", .WinningBid = "1200", .WinningPeriod = "5",
            .AboveBaseTotal = "2100", .SavingAmount = "100000", .SavingRate = "6", .CompoundAmount = "100000",
            .CompoundRate = "6", .LoanAmount = "100000", .LoanRate = "6"};
}

using TEdit = std::function<void(TPlanFields&)>;

TPlanFields& Days(TPlanFields& f, const char* a, const char* b, const char* c = nullptr) {
    f.PeriodIndex = c ? prThriceMonthly : prTwiceMonthly;
    f.MonthDays = {a, b, c ? c : ""};
    return f;
}

// The message of the first field that fails, and whether it is an EMissOrder rather than an EInt.
TEST(ReadPlanFields, RefusesWithTheFirstFailingFieldsMessage) {
    const struct { const char* Name; TEdit Edit; const char* Message; bool MissOrder; } rows[] = {
        {"empty count before every other field",
         [](TPlanFields& f) { f = TPlanFields{}; f.KindIndex = pkCollect; f.PeriodIndex = prTwiceMonthly; },
         "期數輸入錯誤", false},
        {"count 0", [](TPlanFields& f) { f.PeriodCount = "0"; }, "期數輸入錯誤", false},
        {"interval 0", [](TPlanFields& f) { f.PeriodIndex = prEveryNDays; f.IntervalDays = "0"; }, "間隔天數輸入錯誤", false},
        {"twice, descending", [](TPlanFields& f) { Days(f, "20", "10"); }, "日期請由小至大輸入", true},
        {"twice, the same day", [](TPlanFields& f) { Days(f, "10", "10"); }, "日期請由小至大輸入", true},
        {"twice, first after the 21st", [](TPlanFields& f) { Days(f, "22", "25"); }, "日期超過範圍", true},
        {"twice, both converted before the order", [](TPlanFields& f) { Days(f, "20", "x"); }, "日期輸入錯誤", false},
        {"twice, a day beyond 16 bits", [](TPlanFields& f) { Days(f, "10", "65556"); }, "日期超過範圍", true},
        {"thrice, third after the 31st", [](TPlanFields& f) { Days(f, "5", "15", "32"); }, "日期超過範圍", true},
        {"thrice, out of order", [](TPlanFields& f) { Days(f, "10", "20", "15"); }, "日期請由小至大輸入", true},
        {"thrice, order before range", [](TPlanFields& f) { Days(f, "25", "24", "40"); }, "日期請由小至大輸入", true},
        {"period before kind", [](TPlanFields& f) { f.FixAmount = ""; Days(f, "20", "10"); }, "日期請由小至大輸入", true},
        {"fixed amount", [](TPlanFields& f) { f.FixAmount = ""; }, "金額輸入錯誤", false},
        {"club amount", [](TPlanFields& f) { f.KindIndex = pkCollect; f.ClubAmount = "1-"; }, "金額輸入錯誤", false},
        {"base bid", [](TPlanFields& f) { f.KindIndex = pkCollect; f.BaseBid = ""; }, "底標金額輸入錯誤", false},
        {"winning bid before winning period",
         [](TPlanFields& f) { f.KindIndex = pkCollect; f.WinningBid = ""; f.WinningPeriod = ""; },
         "預估（實際）得標金額輸入錯誤", false},
        {"winning period", [](TPlanFields& f) { f.KindIndex = pkCollect; f.WinningPeriod = "x"; },
         "預估（實際）得標期次輸入錯誤", false},
        {"above base with outer bidding", [](TPlanFields& f) { f.KindIndex = pkCollect; f.AboveBaseTotal = ""; },
         "超過底標總金額輸入錯誤", false},
        {"deposit amount before rate",
         [](TPlanFields& f) { f.KindIndex = pkSaving; f.SavingAmount = ""; f.SavingRate = ""; }, "金額輸入錯誤", false},
        {"rate with two points", [](TPlanFields& f) { f.KindIndex = pkCompound; f.CompoundRate = "5.5.5"; },
         "年利率輸入錯誤", false},
        {"rate only a point", [](TPlanFields& f) { f.KindIndex = pkLoan; f.LoanRate = "."; }, "年利率輸入錯誤", false},
        {"rate beyond the stored real",
         [](TPlanFields& f) { f.KindIndex = pkLoan; f.LoanRate = "1" + std::string(40, '0'); }, "年利率輸入錯誤", false},
    };
    for (const auto& row : rows) {
        TPlanFields f = ValidFields();
        row.Edit(f);
        try {
            (void)ReadPlanFields(f);
            ADD_FAILURE() << row.Name << ": no error";
        } catch (const ETamberError& e) {
            EXPECT_EQ(std::string(e.what()), row.Message) << row.Name;
            EXPECT_TRUE(row.MissOrder ? dynamic_cast<const EMissOrder*>(&e) != nullptr : dynamic_cast<const EInt*>(&e) != nullptr)
                << row.Name;
        }
    }
}

TEST(ReadPlanFields, StoresOnlyWhatThePeriodAndKindRead) {
    TPlanFields f = ValidFields();
    f.PeriodIndex = prOnce;
    f.PeriodCount = "not a number";
    EXPECT_EQ(ReadPlanFields(f).PeriodCount, 1) << "once only: the count is not read and 1 is stored";
    f.KindIndex = pkCollect;
    f.InnerBidding = true;
    f.AboveBaseTotal = "not read";
    const TPlanRecord rec = ReadPlanFields(f);
    EXPECT_EQ(rec.AboveBaseTotal, 0) << "inner bidding stores nothing above the base bid";
    EXPECT_EQ(rec.InnerBidding, 1);
}

TEST(ReadPlanFields, RatesAsTyped) {
    const std::pair<const char*, double> rates[] = {{"5.5", 5.5}, {" 2 ", 2}, {".5", 0.5}, {"+1e1", 10}, {"-3", -3}};
    for (const auto& [text, rate] : rates) {
        TPlanFields f = ValidFields();
        f.KindIndex = pkLoan;
        f.LoanRate = text;
        EXPECT_EQ(AnnualRateOf(ReadPlanFields(f)), rate) << text;
    }
}

TEST(ReadPlanFields, DescriptionIsCutAt120BytesWithoutSplittingACharacter) {
    TPlanFields f = ValidFields();
    f.Description = std::string(130, 'x');
    EXPECT_EQ(DescriptionBytes(ReadPlanFields(f)), std::string(120, 'x'));

    std::string chinese;
    for (int i = 0; i < 61; ++i) chinese += "錢";
    f.Description = "a" + chinese;  // 1 + 122 bytes: the 60th character would straddle the end
    const TPlanRecord rec = ReadPlanFields(f);
    EXPECT_EQ(rec.Description.Length, 119);
    EXPECT_EQ(Big5ToUtf8(DescriptionBytes(rec)), "a" + chinese.substr(0, 59 * std::string("錢").size()));
}

// Entries that read well but make no plan, refused with a message naming the field.
TEST(MakeEnteredPlan, RefusesPlansThatCannotBeMadeOrComputed) {
    const struct { const char* Name; TEdit Edit; const char* Message; } rows[] = {
        {"no kind", [](TPlanFields& f) { f.KindIndex = -1; }, "請選擇計劃類別"},
        {"no period", [](TPlanFields& f) { f.PeriodIndex = -1; }, "請選擇期別"},
        {"a listed day the first month lacks", [](TPlanFields& f) { Days(f, "15", "31"); f.StartDate = Ymd(2001, 4, 20); },
         "日期輸入錯誤, 第一期的日期不存在"},
        {"last occurrence after 9999", [](TPlanFields& f) { f.PeriodIndex = prYearly; f.PeriodCount = "9000"; },
         "期數輸入錯誤, 最後一期的日期超過 9999 年"},
        {"last occurrence after 9999, every n days",
         [](TPlanFields& f) { f.PeriodIndex = prEveryNDays; f.IntervalDays = "2000000000"; f.PeriodCount = "2"; },
         "期數或間隔天數輸入錯誤, 最後一期的日期超過 9999 年"},
        {"fixed amounts summing beyond 32 bits", [](TPlanFields& f) { f.FixAmount = "2000000000"; f.PeriodCount = "2"; },
         "金額輸入錯誤, 算出的金額超出範圍"},
        {"zero rate for equal loan instalments", [](TPlanFields& f) { f.KindIndex = pkLoan; f.LoanRate = "0"; },
         "年利率輸入錯誤, 以此年利率及期數無法算出金額"},
        {"interest beyond 32 bits", [](TPlanFields& f) { f.KindIndex = pkSaving; f.SavingRate = "1e30"; },
         "金額或年利率輸入錯誤, 算出的金額超出範圍"},
    };
    for (const auto& row : rows) {
        TPlanFields f = ValidFields();
        row.Edit(f);
        try {
            (void)MakeEnteredPlan(f, ReadPlanFields(f));
            ADD_FAILURE() << row.Name << ": a plan was made";
        } catch (const EPlanEntry& e) {
            EXPECT_EQ(std::string(e.what()), row.Message) << row.Name;
        }
    }
}

// What the editor shows of a plan makes the same plan again, for every kind, method and separator in use.
TEST(PlanIntoFields, ReadsBackIntoTheSamePlan) {
    const TPlanRecord records[] = {
        RecordBuilder(prEveryNDays, Ymd(2001, 3, 4), 9).Interval(14).Amount(700, -1).Kind(pkFixAccount),
        RecordBuilder(prTwiceMonthly, Ymd(2001, 3, 4), 24).Days(10, 25).Kind(pkCollect).Amount(5000).Club(300, 800, 4, false, 900),
        RecordBuilder(prThriceMonthly, Ymd(2001, 3, 4), 6).Days(1, 11, 21).Kind(pkCollect).Amount(5000).Club(300, 800, 1, true, 0),
        RecordBuilder(prMonthly, Ymd(2001, 3, 4), 13).Kind(pkSaving).Amount(100000).Method(mtInterestAtEnd).Rate(2.1),
        RecordBuilder(prMonthly, Ymd(2001, 3, 4), 13).Kind(pkSaving).Amount(-100).Method(mtMonthlyInterest).Rate(0.125),
        RecordBuilder(prQuarterly, Ymd(2001, 3, 4), 8).Kind(pkCompound).Amount(3000).Method(mtInstalmentsIn).Rate(5.25),
        RecordBuilder(prMonthly, Ymd(2001, 3, 4), 8).Kind(pkCompound).Amount(3000).Method(mtMonthlyInterest).Rate(4),
        RecordBuilder(prMonthly, Ymd(2001, 3, 4), 8).Kind(pkCompound).Amount(3000).Method(mtLumpSumInOut).Rate(4.5),
        RecordBuilder(prMonthly, Ymd(2001, 3, 4), 61).Kind(pkLoan).Amount(900000).Method(mtEqualPrincipal).Rate(7.75),
        RecordBuilder(prOnce, Ymd(2001, 3, 4), 1).Kind(pkLoan).Amount(900000).Method(mtEqualInstalments).Rate(7.75),
    };
    for (const char separator : {'.', ','}) {
        for (const TPlanRecord& original : records) {
            TPlanRecord rec = original;
            if (rec.PlanKind != pkFixAccount) rec.Direction = 0;  // read for fixed flows only
            SetDescriptionBytes(rec, Utf8ToBig5("定存 no. " + std::to_string(rec.PlanKind)).Bytes);
            TPlanFields f;
            f.DecimalSeparator = separator;
            PlanIntoFields(rec, f);
            EXPECT_EQ(RecordToBytes(MakeEnteredPlan(f, ReadPlanFields(f))->Rec()), RecordToBytes(rec))
                << "kind " << int(rec.PlanKind) << " period " << int(rec.PeriodKind) << " separator " << separator;
        }
    }
}

TEST(PlanIntoFields, ShowsRatesAsTheEditorDoesAndKeepsOtherFields) {
    TPlanFields f;
    f.DecimalSeparator = ',';
    f.IntervalDays = "10";
    f.MonthDays = {"10", "20", "25"};
    const struct { int Kind; double Rate; std::string TPlanFields::*Field; const char* Shown; } rows[] = {
        {pkLoan, 5.5, &TPlanFields::LoanRate, "5,50"},
        {pkCompound, 2.126, &TPlanFields::CompoundRate, "2,13"},               // two decimals, rounded
        {pkSaving, 2.1, &TPlanFields::SavingRate, "2,1"},                      // not the 6-byte real's noise
        {pkSaving, 1.0 / 3, &TPlanFields::SavingRate, "0,3333333333335"},  // as many digits as the stored rate needs
    };
    for (const auto& row : rows) {
        PlanIntoFields(RecordBuilder(prMonthly, 0, 2).Kind(row.Kind).Rate(row.Rate), f);
        EXPECT_EQ(f.*row.Field, row.Shown);
    }
    PlanIntoFields(RecordBuilder(prTwiceMonthly, Ymd(2001, 1, 1), 4).Days(3, 9).Kind(pkFixAccount).Amount(5, 1), f);
    EXPECT_EQ(f.MonthDays, (std::array<std::string, 3>{"3", "9", "25"}));
    EXPECT_EQ(f.IntervalDays, "10");
    EXPECT_TRUE(f.Income);
    EXPECT_EQ(f.SavingRate, "0,3333333333335");
}

TEST(PlanBookCommands, AddRefusesThePlanTheDayListCannotAddressBeforeReadingTheFields) {
    TPlanBook book;
    for (int i = 0; i < TPlanBook::kMaxPlans; ++i) book.Append(CreateFrom(Once(Ymd(2001, 1, 1), 1)));
    TPlanFields f = ValidFields();
    f.PeriodCount = "";
    EXPECT_THROW(AddPlan(book, f), EPlanBookFull);
    EXPECT_EQ(book.Count(), TPlanBook::kMaxPlans);
}

}  // namespace
