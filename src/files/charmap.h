// Characters that code page 932 cannot hold, kept in the user-defined area F040-F9FC.
#pragma once

#include "files/cp932.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace orvane {

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
};

}  // namespace orvane
