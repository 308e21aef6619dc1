// Code page 950 (Big5) text: the encoding of every string a plan file stores. Converts it to and from Unicode and
// finds where a string may be cut to fit a fixed-size field. Bytes 0x00..0x7F are ASCII; a lead byte 0x81..0xFE
// followed by a trail byte 0x40..0x7E or 0xA1..0xFE is one two-byte character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tamber {

// Code page 950 bytes to Unicode. Each bad unit becomes one U+FFFD: a pair of lead and trail byte with no character
// (2 bytes), a lead byte not followed by a trail byte (1 byte; the next byte is decoded afresh, so an ASCII byte
// after it stays itself), or a byte 0x80 or 0xFF (1 byte).
std::u32string Big5Decode(std::string_view bytes);

// Big5Decode written as UTF-8.
std::string Big5ToUtf8(std::string_view bytes);

// Code page 950 bytes of a text, and the characters that it cannot hold (each distinct character once, in order of
// first appearance); each of those is written as '?'.
struct TBig5Encoded {
    std::string Bytes;
    std::u32string Unmappable;
};

// Unicode to code page 950. Where two codes decode to one character, the code page's usual one is written (U+5341 as
// A4 51, not A2 CC); a few characters such as U+00A2 are written as a look-alike full-width one (A2 46, U+FFE0).
TBig5Encoded Big5Encode(std::u32string_view text);

// Big5Encode of UTF-8 text; each malformed sequence (see U32FromUtf8) counts as an unmappable U+FFFD.
TBig5Encoded Utf8ToBig5(std::string_view utf8);

// The largest length <= maxBytes at which `bytes` can be cut without splitting a two-byte character, pairing bytes
// as Big5Decode does (so the cut part decodes to a prefix of what the whole decodes to).
std::size_t Big5CutLength(std::string_view bytes, std::size_t maxBytes);

// UTF-32 to UTF-8; a surrogate or a value above U+10FFFF is written as U+FFFD.
std::string Utf8FromU32(std::u32string_view text);

// UTF-8 to UTF-32. Each malformed sequence becomes one U+FFFD: the longest start of a well-formed sequence found
// (at least one byte), so overlong forms, surrogates and truncated sequences never swallow a following character.
std::u32string U32FromUtf8(std::string_view utf8);

}  // namespace tamber
