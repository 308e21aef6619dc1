// The 188-byte plan record: the persisted part of a plan, laid out byte for
// byte as the plan file stores it (little-endian). Padding is kept in named
// fields so that a record read and written again keeps every byte.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Dates.h"
#include "model/SixByteReal.h"

namespace tamber {

static_assert(std::endian::native == std::endian::little, "plan records are stored little-endian and copied as bytes");

inline constexpr std::size_t kPlanRecordSize = 188;
inline constexpr std::size_t kDescriptionCapacity = 120;

// Plan kind codes (PlanKind), in the order of the editor's kind list.
enum TPlanKindCode : uint8_t {
    pkFixAccount = 0,  // fixed income or expense
    pkCollect = 1,     // rotating savings club
    pkSaving = 2,      // simple-interest time deposit
    pkCompound = 3,    // compound-interest savings deposit
    pkLoan = 4,        // loan
};
inline constexpr int kPlanKindCount = 5;

// Caption of a plan kind 0..4 in UTF-8, as every window shows it; empty for
// any other code.
std::string_view PlanKindName(int kind) noexcept;

// Period kind codes (PeriodKind): the index of the editor's period list.
enum TPeriodKindCode : uint8_t {
    prEveryNDays = 0,
    prYearly = 1,
    prHalfYearly = 2,
    prQuarterly = 3,
    prEveryTwoMonths = 4,
    prMonthly = 5,
    prTwiceMonthly = 6,
    prThriceMonthly = 7,
    prOnce = 8,
    prEveryTwoYears = 9,
    prEveryThreeYears = 10,
};
inline constexpr int kPeriodKindCount = 11;

// Method codes (Method) of deposits and loans.
enum TMethodCode : uint8_t {
    mtMonthlyInterest = 0,   // simple deposit: interest every period; compound: lump sum in, equal draws out
    mtInterestAtEnd = 1,     // simple deposit: interest and principal at the end
    mtInstalmentsIn = 2,     // compound: equal deposits in, lump sum out
    mtLumpSumInOut = 3,      // compound: lump sum in, lump sum out
    mtEqualInstalments = 4,  // loan: equal instalments
    mtEqualPrincipal = 5,    // loan: equal principal shares plus interest
};

// A string of at most 120 bytes of code page 950 text behind a length byte.
struct TShortString120 {
    uint8_t Length = 0;
    std::array<char, kDescriptionCapacity> Chars{};
};

#pragma pack(push, 4)
struct TPlanRecord {
    TDate StartDate;                    //   0  start date, may carry a time of day
    int32_t PeriodCount;                //   8  occurrences, first and last counted
    int32_t IntervalDays;               //  12  days between occurrences (period kind 0)
    uint8_t PeriodKind;                 //  16  TPeriodKindCode
    std::array<uint8_t, 3> Pad17;       //  17
    int32_t Direction;                  //  20  +1 income, -1 expense (fixed flows)
    int32_t Amount;                     //  24  the plan's amount, whole units
    std::array<uint16_t, 3> MonthDays;  //  28  listed days of the month (period kinds 6, 7)
    std::array<uint8_t, 2> Pad34;       //  34
    int32_t BaseBid;                    //  36  savings club: base bid
    int32_t WinningBid;                 //  40  savings club: own winning bid
    int32_t WinningPeriod;              //  44  savings club: meeting the member collects at
    uint8_t InnerBidding;               //  48  savings club: 1 inner, 0 outer bidding
    std::array<uint8_t, 3> Pad49;       //  49
    int32_t AboveBaseTotal;             //  52  savings club: earlier bids above the base bid
    uint8_t PlanKind;                   //  56  TPlanKindCode
    uint8_t Method;                     //  57  TMethodCode
    TSixByteReal AnnualRate;            //  58  annual rate as typed
    TShortString120 Description;        //  64  length byte + Big5 text
    std::array<uint8_t, 3> Pad185;      // 185
};
#pragma pack(pop)

static_assert(sizeof(TPlanRecord) == kPlanRecordSize);
static_assert(offsetof(TPlanRecord, StartDate) == 0);
static_assert(offsetof(TPlanRecord, PeriodCount) == 8);
static_assert(offsetof(TPlanRecord, IntervalDays) == 12);
static_assert(offsetof(TPlanRecord, PeriodKind) == 16);
static_assert(offsetof(TPlanRecord, Direction) == 20);
static_assert(offsetof(TPlanRecord, Amount) == 24);
static_assert(offsetof(TPlanRecord, MonthDays) == 28);
static_assert(offsetof(TPlanRecord, BaseBid) == 36);
static_assert(offsetof(TPlanRecord, WinningBid) == 40);
static_assert(offsetof(TPlanRecord, WinningPeriod) == 44);
static_assert(offsetof(TPlanRecord, InnerBidding) == 48);
static_assert(offsetof(TPlanRecord, AboveBaseTotal) == 52);
static_assert(offsetof(TPlanRecord, PlanKind) == 56);
static_assert(offsetof(TPlanRecord, Method) == 57);
static_assert(offsetof(TPlanRecord, AnnualRate) == 58);
static_assert(offsetof(TPlanRecord, Description) == 64);
static_assert(offsetof(TPlanRecord, Pad185) == 185);
static_assert(std::is_trivially_copyable_v<TPlanRecord>);

using TRecordBytes = std::array<uint8_t, kPlanRecordSize>;

// A record of zero bytes, the start of every record the editor builds.
TPlanRecord ZeroPlanRecord() noexcept;

// The record's 188 bytes, and a record made from 188 bytes (every byte kept).
TRecordBytes RecordToBytes(const TPlanRecord& rec) noexcept;
TPlanRecord RecordFromBytes(const TRecordBytes& bytes) noexcept;

// The stored description bytes (code page 950); a length byte above 120 reads as 120.
std::string_view DescriptionBytes(const TPlanRecord& rec) noexcept;

// Stores code page 950 bytes as the description, cut to at most 120 bytes
// without splitting a two-byte character; unused bytes become zero.
void SetDescriptionBytes(TPlanRecord& rec, std::string_view big5) noexcept;

// The annual rate as a double; SetAnnualRate throws as DoubleToSixByteReal.
double AnnualRateOf(const TPlanRecord& rec) noexcept;
void SetAnnualRate(TPlanRecord& rec, double rate);

}  // namespace tamber
