// Finding line breaks in byte text sixteen bytes at a time.
#pragma once

#include <cstddef>

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

}  // namespace orvane
