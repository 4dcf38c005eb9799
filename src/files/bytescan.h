// Fast scans over byte strings, shared by detection and the converters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orvane {

// The index of the first byte at or after i that is not ASCII (or n), eight bytes at a time.
inline std::size_t SkipAscii(const char* s, std::size_t i, std::size_t n) noexcept {
    while (i + 8 <= n) {
        std::uint64_t v;
        std::memcpy(&v, s + i, 8);
        if (v & 0x8080808080808080ull) break;
        i += 8;
    }
    while (i < n && static_cast<std::uint8_t>(s[i]) < 0x80) ++i;
    return i;
}

// The same, stopping at a zero byte too.
inline std::size_t SkipAsciiNotZero(const char* s, std::size_t i, std::size_t n) noexcept {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    while (i + 8 <= n) {
        std::uint64_t v;
        std::memcpy(&v, s + i, 8);
        if ((v | ((v - kOnes) & ~v)) & kHigh) break;  // a byte >= 0x80, or a zero byte
        i += 8;
    }
    while (i < n && static_cast<std::uint8_t>(s[i] - 1) < 0x7F) ++i;
    return i;
}

}  // namespace orvane
