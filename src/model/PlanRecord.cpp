#include "PlanRecord.h"

#include <algorithm>
#include <cstring>

#include "Big5.h"

namespace tamber {

std::string_view PlanKindName(int kind) noexcept {
    static constexpr std::string_view kNames[kPlanKindCount] = {
        "固定收入／支出", "跟會", "定存／存本取息(單利)", "儲蓄存款(複利)", "貸款",
    };
    return kind >= 0 && kind < kPlanKindCount ? kNames[kind] : std::string_view();
}

TPlanRecord ZeroPlanRecord() noexcept {
    // Every byte belongs to a named field (padding included), so value
    // initialisation zeroes all 188 of them.
    return TPlanRecord{};
}

TRecordBytes RecordToBytes(const TPlanRecord& rec) noexcept {
    TRecordBytes bytes;
    std::memcpy(bytes.data(), &rec, kPlanRecordSize);
    return bytes;
}

TPlanRecord RecordFromBytes(const TRecordBytes& bytes) noexcept {
    TPlanRecord rec;
    std::memcpy(&rec, bytes.data(), kPlanRecordSize);
    return rec;
}

std::string_view DescriptionBytes(const TPlanRecord& rec) noexcept {
    const std::size_t length = std::min<std::size_t>(rec.Description.Length, kDescriptionCapacity);
    return {rec.Description.Chars.data(), length};
}

void SetDescriptionBytes(TPlanRecord& rec, std::string_view big5) noexcept {
    const std::size_t length = Big5CutLength(big5, kDescriptionCapacity);
    rec.Description.Chars.fill('\0');
    std::copy_n(big5.data(), length, rec.Description.Chars.data());
    rec.Description.Length = static_cast<uint8_t>(length);
}

double AnnualRateOf(const TPlanRecord& rec) noexcept {
    return SixByteRealToDouble(rec.AnnualRate);
}

void SetAnnualRate(TPlanRecord& rec, double rate) {
    rec.AnnualRate = DoubleToSixByteReal(rate);
}

}  // namespace tamber
