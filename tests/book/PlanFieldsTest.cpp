#include "PlanFields.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Big5.h"
#include "BookErrors.h"
#include "BookTestSupport.h"

using namespace tamber;
using namespace tamber::test;

namespace {

// A monthly fixed expense of 500 from 15 January 2001, twelve times; every other field holds a valid entry too.
TPlanFields ValidFields() {
    TPlanFields f;
    f.KindIndex = pkFixAccount;
    f.PeriodIndex = prMonthly;
    f.PeriodCount = "12";
    f.Description = "rent";
    f.StartDate = Ymd(2001, 1, 15);
    f.IntervalDays = "10";
    f.MonthDays = {"10", "20", "25"};
    f.FixAmount = "500";
    f.Income = false;
    f.ClubAmount = "10000";
    f.BaseBid = "500";
    f.WinningBid = "1200";
    f.WinningPeriod = "5";
    f.AboveBaseTotal = "2100";
    f.SavingAmount = f.CompoundAmount = f.LoanAmount = "100000";
    f.SavingRate = f.CompoundRate = f.LoanRate = "6";
    return f;
}

using TEdit = std::function<void(TPlanFields&)>;

struct TRefusal {
    const char* Name;
    TEdit Edit;
    const char* Message;
    bool MissOrder;  // EMissOrder rather than EInt
};

class ReadPlanFieldsRefuses : public ::testing::TestWithParam<TRefusal> {};

TEST_P(ReadPlanFieldsRefuses, WithTheFieldsMessage) {
    TPlanFields fields = ValidFields();
    GetParam().Edit(fields);
    try {
        (void)ReadPlanFields(fields);
        FAIL() << "no error";
    } catch (const EMissOrder& e) {
        EXPECT_TRUE(GetParam().MissOrder);
        EXPECT_EQ(std::string(e.what()), GetParam().Message);
    } catch (const EInt& e) {
        EXPECT_FALSE(GetParam().MissOrder);
        EXPECT_EQ(std::string(e.what()), GetParam().Message);
    }
}

TPlanFields& Twice(TPlanFields& f, const char* a, const char* b) {
    f.PeriodIndex = prTwiceMonthly;
    f.MonthDays[0] = a;
    f.MonthDays[1] = b;
    return f;
}
TPlanFields& Thrice(TPlanFields& f, const char* a, const char* b, const char* c) {
    Twice(f, a, b).PeriodIndex = prThriceMonthly;
    f.MonthDays[2] = c;
    return f;
}

const TRefusal kRefusals[] = {
    {"EmptyCountComesBeforeEveryOtherField",
     [](TPlanFields& f) {
         f = TPlanFields{};
         f.KindIndex = pkCollect;
         f.PeriodIndex = prTwiceMonthly;
     },
     "期數輸入錯誤", false},
    {"ZeroCount", [](TPlanFields& f) { f.PeriodCount = "0"; }, "期數輸入錯誤", false},
    {"NegativeCount", [](TPlanFields& f) { f.PeriodCount = "-3"; }, "期數輸入錯誤", false},
    {"CountWithSpace", [](TPlanFields& f) { f.PeriodCount = "1 2"; }, "期數輸入錯誤", false},
    {"CountBeyond32Bits", [](TPlanFields& f) { f.PeriodCount = "2147483648"; }, "期數輸入錯誤", false},
    {"EmptyInterval", [](TPlanFields& f) { f.PeriodIndex = prEveryNDays; f.IntervalDays = ""; }, "間隔天數輸入錯誤", false},
    {"ZeroInterval", [](TPlanFields& f) { f.PeriodIndex = prEveryNDays; f.IntervalDays = "0"; }, "間隔天數輸入錯誤", false},
    {"TwiceDescending", [](TPlanFields& f) { Twice(f, "20", "10"); }, "日期請由小至大輸入", true},
    {"TwiceSameDay", [](TPlanFields& f) { Twice(f, "10", "10"); }, "日期請由小至大輸入", true},
    {"TwiceFirstAfter21", [](TPlanFields& f) { Twice(f, "22", "25"); }, "日期超過範圍", true},
    {"TwiceSecondAfter31", [](TPlanFields& f) { Twice(f, "5", "32"); }, "日期超過範圍", true},
    {"TwiceSecondEmpty", [](TPlanFields& f) { Twice(f, "5", ""); }, "日期輸入錯誤", false},
    {"TwiceDayZero", [](TPlanFields& f) { Twice(f, "0", "5"); }, "日期輸入錯誤", false},
    {"TwiceBothConvertedBeforeOrder", [](TPlanFields& f) { Twice(f, "20", "x"); }, "日期輸入錯誤", false},
    {"TwiceDayBeyond16Bits", [](TPlanFields& f) { Twice(f, "10", "65556"); }, "日期超過範圍", true},
    {"ThriceThirdAfter31", [](TPlanFields& f) { Thrice(f, "5", "15", "32"); }, "日期超過範圍", true},
    {"ThriceOutOfOrder", [](TPlanFields& f) { Thrice(f, "10", "20", "15"); }, "日期請由小至大輸入", true},
    {"ThriceOrderBeforeRange", [](TPlanFields& f) { Thrice(f, "25", "24", "40"); }, "日期請由小至大輸入", true},
    {"ThriceThirdEmpty", [](TPlanFields& f) { Thrice(f, "1", "11", ""); }, "日期輸入錯誤", false},
    {"PeriodBeforeKind", [](TPlanFields& f) { f.FixAmount = ""; Twice(f, "20", "10"); }, "日期請由小至大輸入", true},
    {"FixedAmountEmpty", [](TPlanFields& f) { f.FixAmount = ""; }, "金額輸入錯誤", false},
    {"ClubAmount", [](TPlanFields& f) { f.KindIndex = pkCollect; f.ClubAmount = "1-"; }, "金額輸入錯誤", false},
    {"ClubBaseBid", [](TPlanFields& f) { f.KindIndex = pkCollect; f.BaseBid = ""; }, "底標金額輸入錯誤", false},
    {"ClubWinningBid",
     [](TPlanFields& f) { f.KindIndex = pkCollect; f.WinningBid = ""; f.WinningPeriod = ""; },
     "預估（實際）得標金額輸入錯誤", false},
    {"ClubWinningPeriod", [](TPlanFields& f) { f.KindIndex = pkCollect; f.WinningPeriod = "x"; },
     "預估（實際）得標期次輸入錯誤", false},
    {"ClubAboveBaseWithOuterBidding", [](TPlanFields& f) { f.KindIndex = pkCollect; f.AboveBaseTotal = ""; },
     "超過底標總金額輸入錯誤", false},
    {"DepositRateEmpty", [](TPlanFields& f) { f.KindIndex = pkSaving; f.SavingRate = ""; }, "年利率輸入錯誤", false},
    {"DepositAmountBeforeRate", [](TPlanFields& f) { f.KindIndex = pkSaving; f.SavingAmount = ""; f.SavingRate = ""; },
     "金額輸入錯誤", false},
    {"CompoundRateTwoPoints", [](TPlanFields& f) { f.KindIndex = pkCompound; f.CompoundRate = "5.5.5"; },
     "年利率輸入錯誤", false},
    {"LoanRateOnlyAPoint", [](TPlanFields& f) { f.KindIndex = pkLoan; f.LoanRate = "."; }, "年利率輸入錯誤", false},
    {"LoanRateBeyondTheStoredReal",
     [](TPlanFields& f) { f.KindIndex = pkLoan; f.LoanRate = "1" + std::string(40, '0'); }, "年利率輸入錯誤", false},
    {"RateWithAnotherSeparator", [](TPlanFields& f) { f.KindIndex = pkLoan; f.LoanRate = "5,5"; }, "年利率輸入錯誤",
     false},
};

INSTANTIATE_TEST_SUITE_P(Messages, ReadPlanFieldsRefuses, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(ReadPlanFields, StoresWhatTheFieldsSay) {
    TPlanFields f = ValidFields();
    f.PeriodCount = "+7";
    TPlanRecord rec = ReadPlanFields(f);
    EXPECT_EQ(rec.PeriodCount, 7);
    EXPECT_EQ(rec.PeriodKind, prMonthly);
    EXPECT_EQ(rec.Amount, 500);
    EXPECT_EQ(rec.Direction, -1);
    EXPECT_EQ(rec.StartDate, Ymd(2001, 1, 15));
    EXPECT_EQ(rec.PlanKind, 0);
    EXPECT_EQ(DescriptionBytes(rec), "rent");
    EXPECT_EQ(rec.IntervalDays, 0) << "fields of other periods are not read";
    EXPECT_EQ(rec.MonthDays[0], 0);

    // Once only: the count field may hold anything and 1 is stored.
    f.PeriodIndex = prOnce;
    f.PeriodCount = "not a number";
    EXPECT_EQ(ReadPlanFields(f).PeriodCount, 1);

    Thrice(f, "1", "11", "21");
    f.PeriodCount = "3";
    rec = ReadPlanFields(f);
    EXPECT_EQ(rec.PeriodKind, prThriceMonthly);
    EXPECT_EQ(rec.MonthDays, (std::array<uint16_t, 3>{1, 11, 21}));
    Twice(f, "21", "31");
    EXPECT_EQ(ReadPlanFields(f).MonthDays, (std::array<uint16_t, 3>{21, 31, 0}));
}

TEST(ReadPlanFields, SavingsClubWithInnerBiddingStoresNothingAboveBase) {
    TPlanFields f = ValidFields();
    f.KindIndex = pkCollect;
    f.InnerBidding = true;
    f.AboveBaseTotal = "not read";
    const TPlanRecord inner = ReadPlanFields(f);
    EXPECT_EQ(inner.AboveBaseTotal, 0);
    EXPECT_EQ(inner.InnerBidding, 1);
    EXPECT_EQ(inner.Amount, 10000);
    EXPECT_EQ(inner.BaseBid, 500);
    EXPECT_EQ(inner.WinningBid, 1200);
    EXPECT_EQ(inner.WinningPeriod, 5);

    f.InnerBidding = false;
    f.AboveBaseTotal = "2100";
    const TPlanRecord outer = ReadPlanFields(f);
    EXPECT_EQ(outer.AboveBaseTotal, 2100);
    EXPECT_EQ(outer.InnerBidding, 0);
}

TEST(ReadPlanFields, RatesAndMethods) {
    struct Row {
        const char* Name;
        TEdit Edit;
        double Rate;
        int Method;
    } rows[] = {
        {"5.5 is stored as 5.5 percent", [](TPlanFields& f) { f.KindIndex = pkSaving; f.SavingRate = "5.5"; }, 5.5,
         mtMonthlyInterest},
        {"deposit paid out at maturity",
         [](TPlanFields& f) { f.KindIndex = pkSaving; f.MonthlyInterest = false; f.SavingRate = " 2 "; }, 2,
         mtInterestAtEnd},
        {"a comma is the point where the user's locale says so",
         [](TPlanFields& f) { f.KindIndex = pkSaving; f.DecimalSeparator = ','; f.SavingRate = "5,5"; }, 5.5,
         mtMonthlyInterest},
        {"compound lump sum in and out wins over instalments",
         [](TPlanFields& f) { f.KindIndex = pkCompound; f.InstalmentsIn = true; f.CompoundRate = ".5"; }, 0.5,
         mtLumpSumInOut},
        {"compound instalments in",
         [](TPlanFields& f) { f.KindIndex = pkCompound; f.LumpSumInOut = false; f.InstalmentsIn = true; }, 6,
         mtInstalmentsIn},
        {"compound instalments out",
         [](TPlanFields& f) { f.KindIndex = pkCompound; f.LumpSumInOut = false; f.CompoundRate = "+1e1"; }, 10,
         mtMonthlyInterest},
        {"loan equal instalments", [](TPlanFields& f) { f.KindIndex = pkLoan; f.LoanRate = "-3"; }, -3,
         mtEqualInstalments},
        {"loan equal principal", [](TPlanFields& f) { f.KindIndex = pkLoan; f.EqualInstalments = false; }, 6,
         mtEqualPrincipal},
    };
    for (const Row& row : rows) {
        TPlanFields f = ValidFields();
        row.Edit(f);
        const TPlanRecord rec = ReadPlanFields(f);
        EXPECT_EQ(AnnualRateOf(rec), row.Rate) << row.Name;
        EXPECT_EQ(rec.Method, row.Method) << row.Name;
        EXPECT_EQ(rec.Amount, 100000) << row.Name;
        EXPECT_EQ(rec.StartDate, f.StartDate) << row.Name;
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

TEST(ReadPlanFields, NoKindChosenWritesNoDateAndNoAmount) {
    TPlanFields f = ValidFields();
    f.KindIndex = -1;
    const TPlanRecord rec = ReadPlanFields(f);
    EXPECT_EQ(rec.StartDate, 0);
    EXPECT_EQ(rec.Amount, 0);
    EXPECT_EQ(rec.PeriodCount, 12);
    // ... and no plan is made from it.
    EXPECT_THROW((void)MakeEnteredPlan(f, rec), EPlanEntry);
}

struct TUnmakeable {
    const char* Name;
    TEdit Edit;
    const char* Message;
};

class MakeEnteredPlanRefuses : public ::testing::TestWithParam<TUnmakeable> {};

TEST_P(MakeEnteredPlanRefuses, NamingTheField) {
    TPlanFields f = ValidFields();
    GetParam().Edit(f);
    const TPlanRecord rec = ReadPlanFields(f);
    try {
        (void)MakeEnteredPlan(f, rec);
        FAIL() << "a plan was made";
    } catch (const EPlanEntry& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().Message);
    }
}

const TUnmakeable kUnmakeable[] = {
    {"NoKind", [](TPlanFields& f) { f.KindIndex = -1; }, "請選擇計劃類別"},
    {"NoPeriod", [](TPlanFields& f) { f.PeriodIndex = -1; }, "請選擇期別"},
    {"ListedDayTheFirstMonthLacks",
     [](TPlanFields& f) { Twice(f, "15", "31"); f.StartDate = Ymd(2001, 4, 20); }, "日期輸入錯誤, 第一期的日期不存在"},
    {"LastOccurrenceAfter9999", [](TPlanFields& f) { f.PeriodIndex = prYearly; f.PeriodCount = "9000"; },
     "期數輸入錯誤, 最後一期的日期超過 9999 年"},
    {"LastOccurrenceAfter9999EveryNDays",
     [](TPlanFields& f) { f.PeriodIndex = prEveryNDays; f.IntervalDays = "2000000000"; f.PeriodCount = "2"; },
     "期數或間隔天數輸入錯誤, 最後一期的日期超過 9999 年"},
    {"FixedAmountsSumBeyond32Bits", [](TPlanFields& f) { f.FixAmount = "2000000000"; f.PeriodCount = "2"; },
     "金額輸入錯誤, 算出的金額超出範圍"},
    {"ClubPotBeyond32Bits", [](TPlanFields& f) { f.KindIndex = pkCollect; f.ClubAmount = "100000000"; f.PeriodCount = "30"; },
     "金額輸入錯誤, 算出的金額超出範圍"},
    {"ZeroRateForInstalmentsIn",
     [](TPlanFields& f) { f.KindIndex = pkCompound; f.LumpSumInOut = false; f.InstalmentsIn = true; f.CompoundRate = "0"; },
     "年利率輸入錯誤, 以此年利率及期數無法算出金額"},
    {"ZeroRateForEqualLoanInstalments", [](TPlanFields& f) { f.KindIndex = pkLoan; f.LoanRate = "0"; },
     "年利率輸入錯誤, 以此年利率及期數無法算出金額"},
    {"PowerOverflow",
     [](TPlanFields& f) { f.KindIndex = pkCompound; f.CompoundRate = "100"; f.PeriodCount = "2000"; },
     "年利率輸入錯誤, 以此年利率及期數無法算出金額"},
    {"EqualPrincipalInstalmentBeyond32Bits",
     [](TPlanFields& f) { f.KindIndex = pkLoan; f.EqualInstalments = false; f.LoanAmount = "2000000000"; f.LoanRate = "90000"; },
     "金額或年利率輸入錯誤, 算出的金額超出範圍"},
    {"InterestBeyond32Bits", [](TPlanFields& f) { f.KindIndex = pkSaving; f.SavingRate = "1e30"; },
     "金額或年利率輸入錯誤, 算出的金額超出範圍"},
};

INSTANTIATE_TEST_SUITE_P(Entries, MakeEnteredPlanRefuses, ::testing::ValuesIn(kUnmakeable),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(MakeEnteredPlan, MakesThePlanOfTheChosenKind) {
    for (int kind = 0; kind < kPlanKindCount; ++kind) {
        TPlanFields f = ValidFields();
        f.KindIndex = kind;
        const auto plan = MakeEnteredPlan(f, ReadPlanFields(f));
        ASSERT_NE(plan, nullptr);
        EXPECT_EQ(plan->Rec().PlanKind, kind);
        EXPECT_EQ(plan->FirstDate(), Ymd(2001, 1, 15));
        EXPECT_EQ(plan->LastDate(), Ymd(2001, 12, 15));
    }
}

// What the editor shows of a plan reads back into the same record, for every kind and the separators in use.
TEST(PlanIntoFields, ReadsBackIntoTheSameRecord) {
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
            TPlanRecord back = ReadPlanFields(f);
            back.PlanKind = rec.PlanKind;  // the plan's class writes it
            EXPECT_EQ(RecordToBytes(back), RecordToBytes(rec))
                << "kind " << int(rec.PlanKind) << " period " << int(rec.PeriodKind) << " separator " << separator;
        }
    }
}

TEST(PlanIntoFields, ShowsRatesAsTheEditorDoesAndKeepsOtherFields) {
    TPlanFields f;
    f.DecimalSeparator = ',';
    PlanIntoFields(RecordBuilder(prMonthly, 0, 2).Kind(pkLoan).Rate(5.5), f);
    EXPECT_EQ(f.LoanRate, "5,50");
    PlanIntoFields(RecordBuilder(prMonthly, 0, 2).Kind(pkCompound).Rate(2.126), f);
    EXPECT_EQ(f.CompoundRate, "2,13") << "two decimals, rounded";
    PlanIntoFields(RecordBuilder(prMonthly, 0, 2).Kind(pkSaving).Rate(2.1), f);
    EXPECT_EQ(f.SavingRate, "2,1") << "no trailing zeros, and the 6-byte real's noise is not shown";
    PlanIntoFields(RecordBuilder(prMonthly, 0, 2).Kind(pkSaving).Rate(1.0 / 3), f);
    EXPECT_EQ(f.SavingRate, "0,3333333333335") << "as many digits as the stored rate needs";
    // Fields of the other kinds and periods keep what they held.
    EXPECT_EQ(f.LoanRate, "5,50");
    EXPECT_EQ(f.KindIndex, pkSaving);
    f.MonthDays = {"10", "20", "25"};
    f.IntervalDays = "10";
    PlanIntoFields(RecordBuilder(prTwiceMonthly, Ymd(2001, 1, 1), 4).Days(3, 9).Kind(pkFixAccount).Amount(5, 1), f);
    EXPECT_EQ(f.MonthDays, (std::array<std::string, 3>{"3", "9", "25"}));
    EXPECT_EQ(f.IntervalDays, "10");
    EXPECT_EQ(f.SavingRate, "0,3333333333335");
    EXPECT_TRUE(f.Income);
}

TEST(PlanBookCommands, AddRefusesThePlanTheDayListCannotAddress) {
    TPlanBook book;
    const TPlanRecord rec = Once(Ymd(2001, 1, 1), 1);
    for (int i = 0; i < TPlanBook::kMaxPlans; ++i) book.Append(CreateFrom(rec));
    TPlanFields f = ValidFields();
    f.PeriodCount = "";  // the full book is told first
    EXPECT_THROW(AddPlan(book, f), EPlanBookFull);
    EXPECT_EQ(book.Count(), TPlanBook::kMaxPlans);
}

}  // namespace
