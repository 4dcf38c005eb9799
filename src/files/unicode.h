// UTF-8 and UTF-16 against the program's Shift_JIS text.
#pragma once

#include "files/charcode.h"
#include "files/bytewriter.h"
#include "files/charmap.h"

#include <string>
#include <string_view>

namespace orvane {

// Strict UTF-8 (one to four bytes, no overlong forms, no surrogates) to Shift_JIS. A character
// the code page cannot hold goes into Map (counted as Kept) or, without a Map or when the area
// is full, becomes 〓 (Lost). Each invalid sequence counts as Invalid and reads as U+FFFD
// (through the Map like any other such character). Nothing is dropped.
std::string Utf8ToSjis(std::string_view Utf8, TCharMap* Map, TCodeCounts* Counts);
// UTF-16 units (no byte-order mark expected: the caller strips it) to Shift_JIS, as above. An
// unpaired surrogate or an odd last byte counts as Invalid. U+0000 is an ordinary character.
std::string Utf16ToSjis(std::string_view Bytes, bool BigEndian, TCharMap* Map, TCodeCounts* Counts);
// The same, appended to Out: a text read a piece at a time (pieces cut between characters).
void AppendUtf8AsSjis(TByteWriter& Out, std::string_view Utf8, TCharMap* Map, TCodeCounts* Counts);
void AppendUtf16AsSjis(TByteWriter& Out, std::string_view Bytes, bool BigEndian, TCharMap* Map, TCodeCounts* Counts);

// Shift_JIS to UTF-8 / UTF-16: codes of Map give back their characters; bytes that are no
// character of the code page become U+FFFD and count as Lost.
std::string SjisToUtf8(std::string_view Sjis, const TCharMap* Map, TCodeCounts* Counts);
// The same with Prefix (a byte-order mark) written first.
std::string SjisToUtf8(std::string_view Sjis, const TCharMap* Map, TCodeCounts* Counts, std::string_view Prefix);
std::string SjisToUtf16(std::string_view Sjis, bool BigEndian, const TCharMap* Map, TCodeCounts* Counts);

// Length of the valid UTF-8 sequence at Text[i], or 0 when none starts there.
inline std::size_t Utf8SequenceLength(std::string_view Text, std::size_t i) noexcept {
    auto b = [&](std::size_t k) -> unsigned { return i + k < Text.size() ? std::uint8_t(Text[i + k]) : 0x100; };
    unsigned c = b(0);
    auto cont = [](unsigned x) { return x >= 0x80 && x <= 0xBF; };
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return cont(b(1)) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        unsigned lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
        return (b(1) >= lo && b(1) <= hi && cont(b(2))) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        unsigned lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
        return (b(1) >= lo && b(1) <= hi && cont(b(2)) && cont(b(3))) ? 4 : 0;
    }
    return 0;
}

// The length a sequence with lead byte C has (1 for a byte that leads none).
constexpr std::size_t Utf8LengthOfLead(unsigned C) noexcept {
    return (C >= 0xC2 && C <= 0xDF) ? 2 : (C >= 0xE0 && C <= 0xEF) ? 3 : (C >= 0xF0 && C <= 0xF4) ? 4 : 1;
}

// Maximal prefix of a broken UTF-8 sequence at Text[i] (at least 1 byte): replaced as one unit.
inline std::size_t BrokenUtf8Length(std::string_view Text, std::size_t i) noexcept {
    const unsigned c = std::uint8_t(Text[i]);
    const std::size_t need = Utf8LengthOfLead(c);
    std::size_t k = 1;
    for (; k < need && i + k < Text.size(); ++k) {
        const unsigned d = std::uint8_t(Text[i + k]);
        unsigned lo = 0x80, hi = 0xBF;
        if (k == 1) {
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        }
        if (d < lo || d > hi) break;
    }
    return k;
}

// Unit K of UTF-16 text in the given byte order.
inline unsigned Utf16Unit(std::string_view Bytes, std::size_t K, bool BigEndian) noexcept {
    const unsigned a = std::uint8_t(Bytes[2 * K]), b = std::uint8_t(Bytes[2 * K + 1]);
    return BigEndian ? (a << 8 | b) : (b << 8 | a);
}

}  // namespace orvane
