// Counting line breaks sixty-four bytes at a time.
#include "base/linebreak.h"

#include <bit>

namespace orvane {

// Newer processors get their own copy, with a population-count instruction.
[[gnu::target_clones("arch=x86-64-v3", "default")]] TLineBreakBytes CountLineBreakBytes(const char* P,
                                                                                        std::size_t N) noexcept {
    TLineBreakBytes t;
    std::size_t i = 0;
    bool afterCr = false;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    std::uint64_t carry = 0;  // a CR at the last byte of the block before
    for (; i + 64 <= N; i += 64) {
        std::uint64_t crs = 0, lfs = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P + i + 16 * k));
            crs |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)))) << (16 * k);
            lfs |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))) << (16 * k);
        }
        t.Cr += unsigned(std::popcount(crs));
        t.Lf += unsigned(std::popcount(lfs));
        t.CrLf += unsigned(std::popcount(lfs & (crs << 1 | carry)));
        carry = crs >> 63;
    }
    afterCr = carry;
#endif
    for (; i < N; ++i) {
        if (P[i] == '\r') {
            ++t.Cr;
            afterCr = true;
            continue;
        }
        if (P[i] == '\n') {
            ++t.Lf;
            t.CrLf += afterCr;
        }
        afterCr = false;
    }
    return t;
}

}  // namespace orvane
