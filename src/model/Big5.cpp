#include "model/Big5.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace tamber {
namespace {

#include "model/Big5Table.inc"

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::size_t kTrailPositions = 157;

constexpr bool IsLead(uint8_t b) {
    return b >= 0x81 && b <= 0xFE;
}

// Column of a trail byte in a lead byte's row of the decode table, or -1 when the byte cannot follow a lead byte.
constexpr int TrailColumn(uint8_t b) {
    if (b >= 0x40 && b <= 0x7E) return b - 0x40;
    if (b >= 0xA1 && b <= 0xFE) return b - 0xA1 + 63;
    return -1;
}

// The generated tables must agree with their own count and be sorted for the binary search in AppendBig5.
constexpr bool TablesConsistent() {
    std::size_t mapped = 0;
    for (const uint16_t cp : kBig5DecodeTable) mapped += cp != 0;
    return mapped == kBig5MappedPairCount && std::is_sorted(std::begin(kBig5EncodeTable), std::end(kBig5EncodeTable));
}
static_assert(TablesConsistent());

inline uint8_t ByteAt(std::string_view bytes, std::size_t i) {
    return static_cast<uint8_t>(bytes[i]);
}

// One character read from text: its code point and how many bytes it took.
struct TStep {
    char32_t Char;
    std::size_t Length;
};

// The code page 950 unit starting at bytes[i] (i < size): a character, or U+FFFD for a bad unit.
TStep NextBig5(std::string_view bytes, std::size_t i) {
    const uint8_t lead = ByteAt(bytes, i);
    if (lead < 0x80) return {lead, 1};
    if (!IsLead(lead) || i + 1 == bytes.size()) return {kReplacement, 1};
    const int column = TrailColumn(ByteAt(bytes, i + 1));
    if (column < 0) return {kReplacement, 1};  // the next byte starts a unit of its own
    const uint16_t cp = kBig5DecodeTable[(lead - 0x81u) * kTrailPositions + static_cast<std::size_t>(column)];
    return {cp != 0 ? cp : kReplacement, 2};
}

// The UTF-8 sequence starting at utf8[i] (i < size). A malformed sequence gives U+FFFD for the bytes that could
// still begin a well-formed one (at least one), so the byte that broke it is read again as a new start.
TStep NextUtf8(std::string_view utf8, std::size_t i) {
    const uint8_t first = ByteAt(utf8, i);
    if (first < 0x80) return {first, 1};
    std::size_t length = 0;
    char32_t cp = 0;
    uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte; it excludes overlong forms and surrogates
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
        cp = first & 0x1Fu;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        cp = first & 0x0Fu;
        if (first == 0xE0) low = 0xA0;
        if (first == 0xED) high = 0x9F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        cp = first & 0x07u;
        if (first == 0xF0) low = 0x90;
        if (first == 0xF4) high = 0x8F;
    } else {
        return {kReplacement, 1};
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (i + k == utf8.size()) return {kReplacement, k};
        const uint8_t b = ByteAt(utf8, i + k);
        if (b < low || b > high) return {kReplacement, k};
        low = 0x80;
        high = 0xBF;
        cp = (cp << 6) | (b & 0x3Fu);
    }
    return {cp, length};
}

void AppendUtf8(std::string& out, char32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacement;
    const auto put = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | cp >> 6);
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | cp >> 12);
        put(0x80 | (cp >> 6 & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | cp >> 18);
        put(0x80 | (cp >> 12 & 0x3F));
        put(0x80 | (cp >> 6 & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

// Appends the code page 950 form of cp to result.Bytes, or '?' and a note in result.Unmappable when it has none.
void AppendBig5(TBig5Encoded& result, char32_t cp) {
    if (cp < 0x80) {
        result.Bytes += static_cast<char>(cp);
        return;
    }
    if (cp <= 0xFFFF) {
        const uint32_t key = static_cast<uint32_t>(cp) << 16;
        const auto* found = std::lower_bound(std::begin(kBig5EncodeTable), std::end(kBig5EncodeTable), key);
        if (found != std::end(kBig5EncodeTable) && (*found >> 16) == cp) {
            result.Bytes += static_cast<char>(*found >> 8 & 0xFF);
            result.Bytes += static_cast<char>(*found & 0xFF);
            return;
        }
    }
    result.Bytes += '?';
    // A text rarely holds more than a few distinct unmappable characters, so a linear look is enough.
    if (result.Unmappable.find(cp) == std::u32string::npos) result.Unmappable += cp;
}

// Calls Take with every character of Text in turn, as Next reads them.
template <class Next, class Take>
void ForEachChar(std::string_view text, Next next, Take take) {
    for (std::size_t i = 0; i < text.size();) {
        const TStep step = next(text, i);
        take(step.Char);
        i += step.Length;
    }
}

}  // namespace

std::u32string Big5Decode(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    ForEachChar(bytes, NextBig5, [&text](char32_t c) { text += c; });
    return text;
}

std::string Big5ToUtf8(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size() + bytes.size() / 2);  // a two-byte character is three bytes of UTF-8
    ForEachChar(bytes, NextBig5, [&utf8](char32_t c) { AppendUtf8(utf8, c); });
    return utf8;
}

TBig5Encoded Big5Encode(std::u32string_view text) {
    TBig5Encoded result;
    result.Bytes.reserve(2 * text.size());
    for (const char32_t cp : text) AppendBig5(result, cp);
    return result;
}

TBig5Encoded Utf8ToBig5(std::string_view utf8) {
    TBig5Encoded result;
    result.Bytes.reserve(utf8.size());  // never more bytes than the UTF-8 form
    ForEachChar(utf8, NextUtf8, [&result](char32_t c) { AppendBig5(result, c); });
    return result;
}

std::size_t Big5CutLength(std::string_view bytes, std::size_t maxBytes) {
    if (maxBytes >= bytes.size()) return bytes.size();
    // Units can only be found from the start: a trail byte 0xA1..0xFE looks like a lead byte.
    std::size_t cut = 0;
    for (;;) {
        const std::size_t next = cut + NextBig5(bytes, cut).Length;  // cut <= maxBytes < size
        if (next > maxBytes) return cut;
        cut = next;
    }
}

std::string Utf8FromU32(std::u32string_view text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (const char32_t cp : text) AppendUtf8(utf8, cp);
    return utf8;
}

std::u32string U32FromUtf8(std::string_view utf8) {
    std::u32string text;
    text.reserve(utf8.size());
    ForEachChar(utf8, NextUtf8, [&text](char32_t c) { text += c; });
    return text;
}

}  // namespace tamber
