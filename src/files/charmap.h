// Characters that code page 932 cannot hold, kept in the user-defined area F040-F9FC.
#pragma once

#include "files/cp932.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace orvane {

// The seven codes on which the JIS X 0208 table and code page 932 give different characters:
// EUC-JP and JIS files mean the JIS one (A1C1 is 〜 U+301C), Shift_JIS files the code page's
// (8160 is ～ U+FF5E). Written to a byte encoding, either character goes to the code. 815C is
// read as ― U+2015 from every file, as iconv reads it from EUC-JP and JIS too; only the writers
// take — U+2014 to it.
struct TJisTableChar {
    std::uint16_t Code;
    char32_t Jis, CodePage;
    bool Read;  // EUC-JP and JIS texts give Jis for Code
};
inline constexpr TJisTableChar kJisTableChars[] = {
    {0x815C, U'\u2014', U'\u2015', false},  // — ―
    {0x8160, U'\u301C', U'\uFF5E', true},   // 〜 ～
    {0x8161, U'\u2016', U'\u2225', true},   // ‖ ∥
    {0x817C, U'\u2212', U'\uFF0D', true},   // − －
    {0x8191, U'\u00A2', U'\uFFE0', true},   // ¢ ￠
    {0x8192, U'\u00A3', U'\uFFE1', true},   // £ ￡
    {0x81CA, U'\u00AC', U'\uFFE2', true},   // ¬ ￢
};
// The character a text read from EUC-JP or JIS means by Code where that is not the code page's,
// or 0.
constexpr char32_t JisTableChar(std::uint16_t Code) noexcept {
    for (const TJisTableChar& c : kJisTableChars)
        if (c.Code == Code && c.Read) return c.Jis;
    return 0;
}
// The code of a character only the JIS table has, or 0.
constexpr std::uint16_t JisTableCode(char32_t C) noexcept {
    for (const TJisTableChar& c : kJisTableChars)
        if (c.Jis == C) return c.Code;
    return 0;
}

// Each distinct character a reader could not hold gets one code of the user-defined area that
// the text itself does not use; writers in UTF-8 or UTF-16 give the character back.
// Invariant: a slot is either free, used by the text, or holds exactly one character.
class TCharMap {
public:
    TCharMap();

    // The code standing for C (assigned on first use), or 0 when the area is full.
    std::uint16_t CodeFor(char32_t C);
    // The character Code stands for, or 0 when Code is not one of this map's codes.
    char32_t CharOf(std::uint16_t Code) const noexcept {
        return IsUserAreaCode(Code) ? FChars[UserAreaSlot(Code)] : 0;
    }
    // Records that the text itself uses Code. Sets Conflict() when Code was already handed out,
    // in which case the reader starts again with ResetKeepingUsed().
    void MarkUsed(std::uint16_t Code);
    bool Conflict() const noexcept { return FConflict; }
    void ResetKeepingUsed();

    // The text was read from EUC-JP or JIS: its codes of kJisTableChars stand for the JIS
    // table's characters, which UTF-8 and UTF-16 writers give.
    bool JisTable() const noexcept { return FJisTable; }
    void SetJisTable(bool On) noexcept { FJisTable = On; }
    // Some code of the map stands for a character of the JIS table (read from a Unicode file).
    bool HoldsJisTableChars() const noexcept;

    bool Empty() const noexcept { return FCodes.empty(); }
    std::size_t Size() const noexcept { return FCodes.size(); }
    bool Full() const noexcept { return FFull; }

private:
    std::vector<char32_t> FChars;     // per slot: the character kept there, 0 when none
    std::vector<std::uint8_t> FUsed;  // per slot: the text itself uses the code
    std::unordered_map<char32_t, std::uint16_t> FCodes;
    int FNext = 0;
    bool FConflict = false;
    bool FFull = false;
    bool FJisTable = false;
};

}  // namespace orvane
