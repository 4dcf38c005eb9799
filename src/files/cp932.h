// Code page 932 against Unicode: tables built once at run time from glibc iconv ("CP932").
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace orvane {

// Code page 932 codes are 0x00-0xFF for one byte and (lead << 8) | trail for two bytes.
inline constexpr std::uint16_t kNoChar = 0xFFFF;  // "this code decodes to nothing"
inline constexpr std::uint16_t kNoCode = 0xFFFF;  // "this character has no code"
inline constexpr std::uint16_t kGetaCode = 0x81AC;  // 〓, written where a character cannot be

struct TCp932Table {
    // Code -> Unicode (BMP; kNoChar where undefined). Index: the code itself.
    std::uint16_t Decode[65536];
    // Unicode -> code, only where decoding the code gives the character back (the one-way
    // best-fit mappings such as U+301C -> 0x8160 are left out, so such characters count as
    // not representable and are kept by the caller). kNoCode where none.
    std::uint16_t Encode[65536];
    // UTF-8 form of each code's character: length in the top byte, bytes in the low three
    // (first byte lowest). 0 where the code decodes to nothing.
    std::uint32_t Utf8[65536];
    // For an IBM extension code (0xFA40-0xFC4B): the code with the same character outside the
    // IBM extension rows (NEC-selected rows, NEC row 13 or JIS X 0208), else 0.
    std::uint16_t IbmTwin[65536];
};

// The table, built on first use (thread-safe). Throws orvane::Exception when iconv lacks CP932.
const TCp932Table& Cp932();
// Calls Fn with the table: the one built already, else one built for the call alone and freed
// after it. For work that needs the table once (building smaller tables from it), so that a
// program that never converts to Unicode does not keep it.
void WithCp932(const std::function<void(const TCp932Table&)>& Fn);

// EUC-JP three-byte forms (0x8F, b1, b2) against Unicode, from iconv ("EUC-JP-MS"), built on
// first use. Index of a form: (b1 - 0xA1) * 94 + (b2 - 0xA1).
struct TEucExtraTable {
    std::uint16_t Decode[94 * 94];   // form -> Unicode, kNoChar where undefined
    std::uint16_t Encode[65536];     // Unicode -> (b1 << 8) | b2, 0 where none
};
const TEucExtraTable& EucExtra();

// The user-defined area F040-F9FC (1,880 codes) numbered 0..1879 in code order.
inline constexpr int kUserAreaSize = 1880;
constexpr bool IsUserAreaCode(std::uint16_t Code) noexcept {
    unsigned lead = Code >> 8, trail = Code & 0xFF;
    return lead >= 0xF0 && lead <= 0xF9 && trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
}
constexpr int UserAreaSlot(std::uint16_t Code) noexcept {
    unsigned trail = Code & 0xFF;
    return int((Code >> 8) - 0xF0) * 188 + int(trail - 0x40) - (trail > 0x7F ? 1 : 0);
}
constexpr std::uint16_t UserAreaCode(int Slot) noexcept {
    unsigned trail = 0x40 + unsigned(Slot % 188);
    if (trail >= 0x7F) ++trail;
    return std::uint16_t(((0xF0u + unsigned(Slot / 188)) << 8) | trail);
}

// Appends the UTF-8 form of a code point (U+0000..U+10FFFF, not a surrogate).
void AppendUtf8(std::string& Out, char32_t C);

}  // namespace orvane
