// Fast scans over byte strings, shared by detection and the converters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// Bytes of 16 in [Lo, Hi] as a bit mask.
inline unsigned InRange16(__m128i X, std::uint8_t Lo, std::uint8_t Hi) noexcept {
    const __m128i clamped = _mm_min_epu8(_mm_max_epu8(X, _mm_set1_epi8(char(Lo))), _mm_set1_epi8(char(Hi)));
    return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(clamped, X)));
}

// Masks of 64 bytes, bit k for byte k: bytes >= 0x80, bytes that may lead a Shift_JIS pair, and
// half-width kana.
struct TBlockMasks {
    std::uint64_t High = 0, Lead = 0, Half = 0;
};

inline TBlockMasks BlockMasks(const std::uint8_t* S) noexcept {
    TBlockMasks m;
    for (int k = 0; k < 4; ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + 16 * k));
        const int shift = 16 * k;
        m.High |= std::uint64_t(unsigned(_mm_movemask_epi8(x))) << shift;
        m.Lead |= std::uint64_t(InRange16(x, 0x81, 0x9F) | InRange16(x, 0xE0, 0xFC)) << shift;
        m.Half |= std::uint64_t(InRange16(x, 0xA1, 0xDF)) << shift;
    }
    return m;
}
#endif

// The second bytes of pairs among 64 bytes that begin at a character start, given the bytes that
// may begin a pair: a lead-range byte starts a pair unless it is itself a second byte. Runs of
// lead-range bytes alternate, counted from their first byte.
inline std::uint64_t SecondBytes(std::uint64_t Lead) noexcept {
    constexpr std::uint64_t kEven = 0x5555555555555555ull;
    const std::uint64_t follows = Lead << 1;
    const std::uint64_t oddStarts = Lead & ~kEven & ~follows;
    const std::uint64_t evenRuns = oddStarts + Lead;  // carries clear the runs that start on odd bits
    return (kEven ^ (evenRuns << 1)) & follows;
}

}  // namespace orvane
