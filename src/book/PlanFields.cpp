#include "book/PlanFields.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "book/BookErrors.h"
#include "model/Big5.h"
#include "model/Numbers.h"

namespace tamber {
namespace {

// Messages the user sees: the caption of a field's label followed by "輸入錯誤", or the rule an entry broke.
constexpr const char* kPeriodCountError = "期數輸入錯誤";
constexpr const char* kIntervalError = "間隔天數輸入錯誤";
constexpr const char* kDayError = "日期輸入錯誤";
constexpr const char* kDayOrderError = "日期請由小至大輸入";
constexpr const char* kDayRangeError = "日期超過範圍";
constexpr const char* kAmountError = "金額輸入錯誤";
constexpr const char* kBaseBidError = "底標金額輸入錯誤";
constexpr const char* kWinningBidError = "預估（實際）得標金額輸入錯誤";
constexpr const char* kWinningPeriodError = "預估（實際）得標期次輸入錯誤";
constexpr const char* kAboveBaseError = "超過底標總金額輸入錯誤";
constexpr const char* kRateError = "年利率輸入錯誤";
constexpr const char* kNoKind = "請選擇計劃類別";
constexpr const char* kNoPeriod = "請選擇期別";
constexpr const char* kNoSelection = "請先點選右側計劃";
constexpr const char* kNoFirstDate = "日期輸入錯誤, 第一期的日期不存在";
constexpr const char* kStartDateError = "起始日期輸入錯誤";
constexpr const char* kLastDateError = "期數輸入錯誤, 最後一期的日期超過 9999 年";
constexpr const char* kLastDateErrorEveryNDays = "期數或間隔天數輸入錯誤, 最後一期的日期超過 9999 年";
constexpr const char* kAmountRangeError = "金額輸入錯誤, 算出的金額超出範圍";
constexpr const char* kAmountOrRateRangeError = "金額或年利率輸入錯誤, 算出的金額超出範圍";
constexpr const char* kRateComputeError = "年利率輸入錯誤, 以此年利率及期數無法算出金額";

bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

int32_t ReadInteger(const std::string& text, const char* message) {
    const std::optional<int32_t> value = ParseInteger(text);
    if (!value) throw EInt(message);
    return *value;
}

// A number of periods, an interval or a listed day: the schedule needs each to be at least 1.
int32_t ReadPositive(const std::string& text, const char* message) {
    const int32_t value = ReadInteger(text, message);
    if (value < 1) throw EInt(message);
    return value;
}

void ReadRate(TPlanRecord& rec, const std::string& text, char separator) {
    const std::optional<double> rate = ParseDecimal(text, separator);
    if (!rate) throw EInt(kRateError);
    try {
        SetAnnualRate(rec, *rate);
    } catch (const ETamberError&) {
        throw EInt(kRateError);  // beyond what the 6-byte real holds
    }
}

// A deposit's or loan's amount and annual rate, in that order, and its start.
void ReadRatePlan(TPlanRecord& rec, const std::string& amount, const std::string& rate, const TPlanFields& fields) {
    rec.Amount = ReadInteger(amount, kAmountError);
    ReadRate(rec, rate, fields.DecimalSeparator);
    rec.StartDate = fields.StartDate;
}

// The listed days of a twice- or three-times-a-month plan: all converted before any check, then their order, then
// their range (the first may be at most 21, so that a month always has the later ones).
void ReadMonthDays(TPlanRecord& rec, const TPlanFields& fields, std::size_t count) {
    std::array<int32_t, 3> days{};
    for (std::size_t i = 0; i < count; ++i) days[i] = ReadPositive(fields.MonthDays[i], kDayError);
    for (std::size_t i = 1; i < count; ++i) {
        if (days[i - 1] >= days[i]) throw EMissOrder(kDayOrderError);
    }
    if (days[0] > 21) throw EMissOrder(kDayRangeError);
    for (std::size_t i = 1; i < count; ++i) {
        if (days[i] > 31) throw EMissOrder(kDayRangeError);
    }
    for (std::size_t i = 0; i < count; ++i) rec.MonthDays[i] = static_cast<uint16_t>(days[i]);
}

std::string WithSeparator(std::string text, char separator) {
    for (char& c : text) {
        if (c == '.') c = separator;
    }
    return text;
}

// "%.2f": two decimals, rounded.
std::string FormatFixed2(double value, char separator) {
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return ec == std::errc{} ? WithSeparator(std::string(buffer, end), separator) : std::string();
}

// A stored rate with up to 15 significant digits and no trailing zeros: the fewest digits that read back as the same
// 6-byte real, so 2.1 shows as "2.1" rather than the 6-byte real's "2.09999999999854".
std::string FormatGeneral15(const TSixByteReal& stored, char separator) {
    const double value = SixByteRealToDouble(stored);
    char buffer[64];
    std::string text;
    for (int digits = 1; digits <= 15; ++digits) {
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
        if (ec != std::errc{}) return {};
        text.assign(buffer, end);
        double back = 0;
        std::from_chars(buffer, end, back);
        try {
            if (DoubleToSixByteReal(back) == stored) break;
        } catch (const ETamberError&) {
            // rounded up beyond the largest 6-byte real: take more digits
        }
    }
    return WithSeparator(text, separator);
}

bool HasRate(int kind) noexcept {
    return kind == pkSaving || kind == pkCompound || kind == pkLoan;
}

// Which field made the plan's first or last occurrence impossible.
std::string DateProblem(int kind, const TPlanRecord& rec) {
    TPlanRecord first = rec;
    first.PeriodCount = 1;
    try {
        (void)CreateFrom(kind, first);
    } catch (const EInvalidDate&) {
        const bool listedDays = rec.PeriodKind == prTwiceMonthly || rec.PeriodKind == prThriceMonthly;
        return listedDays ? kNoFirstDate : kStartDateError;
    } catch (const ETamberError& e) {
        return e.what();
    }
    return rec.PeriodKind == prEveryNDays ? kLastDateErrorEveryNDays : kLastDateError;
}

}  // namespace

std::optional<int32_t> ParseInteger(std::string_view text) {
    // A "+" may stand where a "-" may.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    return ParseInt32(text);
}

std::optional<double> ParseDecimal(std::string_view text, char decimalSeparator) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    // Rewritten in the one form std::from_chars reads, whatever the separator.
    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) plain += text[i];
    if (i < text.size() && text[i] == decimalSeparator) {
        plain += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) plain += text[i];
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            if (text[i] == '-') plain += '-';
            ++i;
        }
        std::size_t exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) plain += text[i];
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc{} || end != plain.data() + plain.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

TPlanRecord ReadPlanFields(const TPlanFields& fields) {
    TPlanRecord rec = ZeroPlanRecord();
    const int p = fields.PeriodIndex;

    if (p != prOnce) rec.PeriodCount = ReadPositive(fields.PeriodCount, kPeriodCountError);

    SetDescriptionBytes(rec, Utf8ToBig5(fields.Description).Bytes);

    switch (p) {
        case prEveryNDays:
            rec.PeriodKind = prEveryNDays;
            rec.IntervalDays = ReadPositive(fields.IntervalDays, kIntervalError);
            break;
        case prYearly:
        case prHalfYearly:
        case prQuarterly:
        case prEveryTwoMonths:
        case prMonthly:
        case prEveryTwoYears:
        case prEveryThreeYears: rec.PeriodKind = static_cast<uint8_t>(p); break;
        case prTwiceMonthly:
            rec.PeriodKind = prTwiceMonthly;
            ReadMonthDays(rec, fields, 2);
            break;
        case prThriceMonthly:
            rec.PeriodKind = prThriceMonthly;
            ReadMonthDays(rec, fields, 3);
            break;
        case prOnce:
            rec.PeriodKind = prOnce;
            rec.PeriodCount = 1;
            break;
        default: break;  // nothing chosen: the record stays at period kind 0
    }

    switch (fields.KindIndex) {
        case pkFixAccount:
            rec.Amount = ReadInteger(fields.FixAmount, kAmountError);
            rec.Direction = fields.Income ? 1 : -1;
            rec.StartDate = fields.StartDate;
            break;
        case pkCollect:
            rec.Amount = ReadInteger(fields.ClubAmount, kAmountError);
            rec.BaseBid = ReadInteger(fields.BaseBid, kBaseBidError);
            rec.WinningBid = ReadInteger(fields.WinningBid, kWinningBidError);
            rec.WinningPeriod = ReadInteger(fields.WinningPeriod, kWinningPeriodError);
            // With inner bidding the total above the base bid plays no part and is not read.
            if (!fields.InnerBidding) rec.AboveBaseTotal = ReadInteger(fields.AboveBaseTotal, kAboveBaseError);
            rec.StartDate = fields.StartDate;
            rec.InnerBidding = fields.InnerBidding ? 1 : 0;
            break;
        case pkSaving:
            ReadRatePlan(rec, fields.SavingAmount, fields.SavingRate, fields);
            rec.Method = fields.MonthlyInterest ? mtMonthlyInterest : mtInterestAtEnd;
            break;
        case pkCompound:
            ReadRatePlan(rec, fields.CompoundAmount, fields.CompoundRate, fields);
            rec.Method = fields.LumpSumInOut ? mtLumpSumInOut : fields.InstalmentsIn ? mtInstalmentsIn : mtMonthlyInterest;
            break;
        case pkLoan:
            ReadRatePlan(rec, fields.LoanAmount, fields.LoanRate, fields);
            rec.Method = fields.EqualInstalments ? mtEqualInstalments : mtEqualPrincipal;
            break;
        default: break;
    }
    return rec;
}

std::unique_ptr<TCustomPlan> MakeEnteredPlan(const TPlanFields& fields, const TPlanRecord& rec) {
    const int kind = fields.KindIndex;
    if (kind < 0 || kind >= kPlanKindCount) throw EPlanEntry(kNoKind);
    if (fields.PeriodIndex < 0 || fields.PeriodIndex >= kPeriodKindCount) throw EPlanEntry(kNoPeriod);

    std::unique_ptr<TCustomPlan> plan;
    try {
        plan = CreateFrom(kind, rec);
    } catch (const EInvalidDate&) {
        throw EPlanEntry(DateProblem(kind, rec));
    } catch (const ETamberError& e) {
        throw EPlanEntry(e.what());
    }

    // Every amount the views will ask for, and their sum, which the ledger carries from month to month.
    try {
        (void)plan->AmountBetween(plan->FirstDate() - 1, plan->LastDate() + 1);
    } catch (const EAmountRange&) {
        throw EPlanEntry(HasRate(kind) ? kAmountOrRateRangeError : kAmountRangeError);
    } catch (const ETamberError&) {
        throw EPlanEntry(HasRate(kind) ? kRateComputeError : kAmountRangeError);
    }
    return plan;
}

void PlanIntoFields(const TPlanRecord& rec, TPlanFields& fields) {
    fields.Description = Big5ToUtf8(DescriptionBytes(rec));
    fields.StartDate = rec.StartDate;
    fields.PeriodIndex = rec.PeriodKind < kPeriodKindCount ? rec.PeriodKind : -1;
    fields.PeriodCount = std::to_string(rec.PeriodCount);
    switch (rec.PeriodKind) {
        case prEveryNDays: fields.IntervalDays = std::to_string(rec.IntervalDays); break;
        case prTwiceMonthly:
        case prThriceMonthly: {
            const std::size_t n = rec.PeriodKind == prTwiceMonthly ? 2 : 3;
            for (std::size_t i = 0; i < n; ++i) fields.MonthDays[i] = std::to_string(rec.MonthDays[i]);
            break;
        }
        default: break;
    }

    const std::string amount = std::to_string(rec.Amount);
    const double rate = AnnualRateOf(rec);
    // A method code no choice sets shows as the method the amounts are computed with.
    const int method = EffectiveMethod(rec.PlanKind, rec.Method);
    switch (rec.PlanKind) {
        case pkLoan:
            fields.LoanAmount = amount;
            fields.LoanRate = FormatFixed2(rate, fields.DecimalSeparator);
            fields.EqualInstalments = method == mtEqualInstalments;
            break;
        case pkCompound:
            fields.CompoundAmount = amount;
            fields.CompoundRate = FormatFixed2(rate, fields.DecimalSeparator);
            fields.LumpSumInOut = method == mtLumpSumInOut;
            fields.InstalmentsIn = method == mtInstalmentsIn;
            break;
        case pkSaving:
            fields.SavingAmount = amount;
            fields.SavingRate = FormatGeneral15(rec.AnnualRate, fields.DecimalSeparator);
            fields.MonthlyInterest = method == mtMonthlyInterest;
            break;
        case pkFixAccount:
            fields.FixAmount = amount;
            fields.Income = rec.Direction >= 1;
            break;
        case pkCollect:
            fields.ClubAmount = amount;
            fields.BaseBid = std::to_string(rec.BaseBid);
            fields.WinningBid = std::to_string(rec.WinningBid);
            fields.WinningPeriod = std::to_string(rec.WinningPeriod);
            fields.AboveBaseTotal = std::to_string(rec.AboveBaseTotal);
            fields.InnerBidding = rec.InnerBidding != 0;
            break;
        default: return;  // not a plan kind: the kind fields stay as they were
    }
    fields.KindIndex = rec.PlanKind;
}

int AddPlan(TPlanBook& book, const TPlanFields& fields) {
    // The day list cannot address another plan: say so before the user's entry is looked at.
    if (book.Count() >= TPlanBook::kMaxPlans) throw EPlanBookFull();
    const TPlanRecord rec = ReadPlanFields(fields);
    book.Append(MakeEnteredPlan(fields, rec));
    return book.Count() - 1;
}

void ModifyPlan(TPlanBook& book, int selected, const TPlanFields& fields) {
    if (selected < 0 || selected >= book.Count()) throw EPlanEntry(kNoSelection);
    const TPlanRecord rec = ReadPlanFields(fields);
    std::unique_ptr<TCustomPlan> plan = MakeEnteredPlan(fields, rec);
    // The new plan is made before the old one goes, so a failure leaves the book as it was.
    book.Remove(selected);
    book.Insert(selected, std::move(plan));
}

int RemoveOutdatedPlans(TPlanBook& book, TDate today) {
    const TDate day = std::floor(today);
    int removed = 0;
    for (int i = book.Count() - 1; i >= 0; --i) {
        if (book.Plan(i).LastDate() < day) {
            book.Remove(i);
            ++removed;
        }
    }
    return removed;
}

}  // namespace tamber
