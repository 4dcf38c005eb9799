// How likely characters are in Japanese text, as costs for choosing between readings of a text.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvane {

// A cost is roughly the negative logarithm of how often the character occurs in Japanese text
// (hiragana 5, common kanji 7, rare kanji 13, characters of the user-defined area 16). A run of
// half-width kana costs kHalfKanaFirst for its first and kHalfKanaNext for each further one, so
// that a word in half-width kana stays likely while the same bytes as one kanji can win.
inline constexpr unsigned kBadCost = 255;  // no character of the encoding
inline constexpr unsigned kNotLead = 255;
inline constexpr unsigned kHalfKanaFirst = 6;
inline constexpr unsigned kHalfKanaNext = 4;

constexpr bool IsEuc94(std::uint8_t B) noexcept { return B >= 0xA1 && B <= 0xFE; }
constexpr bool IsHalfKana(std::uint8_t B) noexcept { return B >= 0xA1 && B <= 0xDF; }

// Two bytes of Shift_JIS read as one little-endian word (first byte lowest) in SjisPair: the
// cost of what they start with (kPairCost bits), kPairOneByte when only the first byte is a
// character (ASCII followed by a byte that is not), or kPairStop when the word needs a closer
// look (a half-width kana, a lead byte without a valid trail byte, a byte of no character).
// Two ASCII bytes are one step of cost 0.
inline constexpr unsigned kPairCost = 0x3F;
inline constexpr unsigned kPairOneByte = 0x40;
inline constexpr unsigned kPairStop = 0x80;

struct TTextCosts {
    std::uint8_t SjisLead[256];  // row of Sjis for a Shift_JIS lead byte, else kNotLead
    std::uint8_t Sjis[60][256];  // cost per lead row and trail byte (kBadCost: no character)
    std::uint8_t SjisPair[65536];
    std::uint8_t Euc[94 * 94];   // two-byte EUC-JP characters, index (b1 - 0xA1) * 94 + (b2 - 0xA1)
};
// Built on first use (thread-safe).
const TTextCosts& TextCosts();

// An EUC-JP three-byte form 0x8F B1 B2 (both in 0xA1-0xFE).
unsigned EucExtraCost(std::uint8_t B1, std::uint8_t B2);
// A character read from UTF-8 or UTF-16 (controls and U+0000 cost most).
unsigned UnicodeCost(char32_t C);

// Costs of whole texts that may hold zero bytes, ASCII included. Utf16TextCost reads the units
// in the given order; ByteTextCost takes the likeliest of Shift_JIS, EUC-JP and UTF-8, where a
// byte that is no character (a zero byte, a broken sequence) costs as noise.
std::uint64_t Utf16TextCost(std::string_view Bytes, bool BigEndian);
std::uint64_t ByteTextCost(std::string_view Bytes);

}  // namespace orvane
