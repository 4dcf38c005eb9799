// The code page 932 byte rules: which bytes lead a two-byte character and how long a character is.
// Every cursor step, wrap, search and scanner goes through these.
#pragma once

#include <cstddef>
#include <string_view>

namespace orvane {

// 0x81-0x9F and 0xE0-0xFC lead a two-byte character.
constexpr bool IsLeadByte(unsigned char B) noexcept {
    return (B >= 0x81 && B <= 0x9F) || (B >= 0xE0 && B <= 0xFC);
}
constexpr bool IsLeadByte(char B) noexcept { return IsLeadByte(static_cast<unsigned char>(B)); }

// 0x40-0x7E and 0x80-0xFC may follow a lead byte as the second byte of its character.
constexpr bool IsTrailByte(unsigned char B) noexcept { return (B >= 0x40 && B <= 0x7E) || (B >= 0x80 && B <= 0xFC); }

// Length in bytes of the character that starts at byte index i (0-based) of s: 2 for a lead byte
// with a byte after it, else 1. A lead byte that ends s is a one-byte character of its own, so no
// step ever runs past the end. Zero bytes are ordinary one-byte characters.
constexpr std::size_t CharLenAt(std::string_view s, std::size_t i) noexcept {
    return (i + 1 < s.size() && IsLeadByte(s[i])) ? 2 : 1;
}

// Byte index of the start of the character that contains byte index i (0-based) of s, found by
// scanning back over the run of bytes in the lead range before i: its parity tells whether byte
// i - 1 leads a character that covers i. O(run length), identical to a walk from the start.
constexpr std::size_t CharStartOf(std::string_view s, std::size_t i) noexcept {
    if (i == 0 || i >= s.size()) return i;
    std::size_t j = i;
    while (j > 0 && IsLeadByte(s[j - 1])) --j;
    // Bytes j .. i-1 are all in the lead range and byte j starts a character.
    return ((i - j) % 2 == 1) ? i - 1 : i;
}

// True when the character at byte index i (0-based, a character start) of s is the full-width
// space 0x81 0x40.
constexpr bool IsFullWidthSpaceAt(std::string_view s, std::size_t i) noexcept {
    return i + 1 < s.size() && s[i] == '\x81' && s[i + 1] == '\x40';
}

}  // namespace orvane
