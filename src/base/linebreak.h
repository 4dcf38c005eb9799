// Finding line breaks in byte text sixteen bytes at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvane {

// The first CR or LF in [P, End), or End.
inline const char* FindLineBreak(const char* P, const char* End) noexcept {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    while (End - P >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (mask) return P + __builtin_ctz(unsigned(mask));
        P += 16;
    }
#endif
    while (P < End && *P != '\r' && *P != '\n') ++P;
    return P;
}

// The line-break bytes of a text: its CRs, its LFs and the CR LF pairs among them. A CR LF pair is
// one line break, so a text has CrLf pairs, Cr - CrLf lone CRs and Lf - CrLf lone LFs.
struct TLineBreakBytes {
    std::uint64_t Cr = 0, Lf = 0, CrLf = 0;
};
// Counts them in [P, P + N), sixty-four bytes a step (pairs only within the range).
TLineBreakBytes CountLineBreakBytes(const char* P, std::size_t N) noexcept;

}  // namespace orvane
