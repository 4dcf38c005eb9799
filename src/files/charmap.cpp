// The user-defined-area map of characters code page 932 cannot hold.
#include "files/charmap.h"

namespace orvane {

TCharMap::TCharMap() : FChars(kUserAreaSize, 0), FUsed(kUserAreaSize, 0) {}

std::uint16_t TCharMap::CodeFor(char32_t C) {
    if (auto it = FCodes.find(C); it != FCodes.end()) return it->second;
    while (FNext < kUserAreaSize && (FUsed[FNext] || FChars[FNext])) ++FNext;
    if (FNext >= kUserAreaSize) {
        FFull = true;
        return 0;
    }
    FChars[FNext] = C;
    std::uint16_t code = UserAreaCode(FNext);
    FCodes.emplace(C, code);
    return code;
}

bool TCharMap::HoldsJisTableChars() const noexcept {
    for (const TJisTableChar& c : kJisTableChars)
        if (FCodes.count(c.Jis)) return true;
    return false;
}

void TCharMap::MarkUsed(std::uint16_t Code) {
    if (!IsUserAreaCode(Code)) return;
    int slot = UserAreaSlot(Code);
    if (FChars[slot]) FConflict = true;
    FUsed[slot] = 1;
}

void TCharMap::ResetKeepingUsed() {
    std::fill(FChars.begin(), FChars.end(), 0);
    FCodes.clear();
    FNext = 0;
    FConflict = false;
    FFull = false;
}

}  // namespace orvane
