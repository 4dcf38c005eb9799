// Encoding detection: byte-order marks, escapes, strict validation and a likelihood of Japanese
// text for the candidates that validate, all candidates in one pass over the bytes.
#include "files/detect.h"

#include "base/exceptions.h"
#include "base/linebreak.h"
#include "files/bytescan.h"
#include "files/filewrite.h"
#include "files/mappedfile.h"
#include "files/textcost.h"
#include "files/unicode.h"

#include <algorithm>
#include <bit>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvane {

namespace {

using u8 = std::uint8_t;

static_assert(std::endian::native == std::endian::little, "the Shift_JIS scan reads pairs as little-endian words");

// Each scanner takes the text a piece at a time: Scan(S, N, Last) reads the bytes S[0..N) and
// answers how many it used. Without Last it stops before a character the piece cuts off (at
// most 3 bytes), which the next call gets again in front of the next piece. A scanner that has
// decided (an invalid byte) is not called again.

#if defined(__SSE2__)
// Pairs among 16 that the table surely holds, whatever it says of the others: bit k when S[k]
// S[k + 1] is a kanji of a full row, a hiragana, a katakana or a mark of the first rows. These
// make up most Japanese text, and need no look-up.
inline unsigned PlainPairs16(const u8* S) noexcept {
    const __m128i lead = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S));
    const __m128i trail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + 1));
    const auto in = [](__m128i X, std::uint8_t Lo, std::uint8_t Hi) {
        return _mm_cmpeq_epi8(_mm_min_epu8(_mm_max_epu8(X, _mm_set1_epi8(char(Lo))), _mm_set1_epi8(char(Hi))), X);
    };
    const auto is = [](__m128i X, std::uint8_t B) { return _mm_cmpeq_epi8(X, _mm_set1_epi8(char(B))); };
    // Trail bytes counted from 0x40 (those below wrap round to large values).
    const __m128i t = _mm_sub_epi8(trail, _mm_set1_epi8(0x40));
    const auto upTo = [&](std::uint8_t Hi) {
        return _mm_cmpeq_epi8(_mm_min_epu8(t, _mm_set1_epi8(char(Hi - 0x40))), t);
    };
    const __m128i kanjiRow =
        _mm_or_si128(_mm_or_si128(in(lead, 0x89, 0x97), in(lead, 0x99, 0x9F)), in(lead, 0xE0, 0xE9));
    __m128i plain = _mm_and_si128(kanjiRow, upTo(0xFC));                                // kanji
    plain = _mm_or_si128(plain, _mm_and_si128(is(lead, 0x81), upTo(0xAC)));             // marks
    plain = _mm_or_si128(plain, _mm_and_si128(is(lead, 0x82), in(trail, 0x9F, 0xF1)));  // hiragana
    plain = _mm_or_si128(plain, _mm_and_si128(is(lead, 0x83), upTo(0x96)));             // katakana
    return unsigned(_mm_movemask_epi8(_mm_andnot_si128(is(trail, 0x7F), plain)));
}

inline std::uint64_t PlainPairs(const u8* S) noexcept {
    return std::uint64_t(PlainPairs16(S)) | std::uint64_t(PlainPairs16(S + 16)) << 16 |
           std::uint64_t(PlainPairs16(S + 32)) << 32 | std::uint64_t(PlainPairs16(S + 48)) << 48;
}

#endif

// Strict Shift_JIS (code page 932), with the cost of its characters outside ASCII.
struct TSjisScan {
    bool Valid = true;
    std::uint64_t Cost = 0;
    bool Half = false;  // the character before was a half-width kana
    bool NeedCost = true;  // else only validate: Cost is left out where that is quicker

    [[gnu::always_inline]] std::size_t Scan(const u8* s, std::size_t n, bool Last) {
        std::size_t i = 0;
        for (;;) {
            i = ScanBlocks(s, i, n);
            // A block that is not plain pairs, ASCII and half-width kana, and the end: one by one.
            const std::size_t stop = std::min(n, i + 64);
            bool more = false;
            i = ScanBytes(s, i, n, stop, Last, more);
            if (!Valid) return 0;
            if (more || i >= n) return i;
        }
    }

    // Whole blocks of 64 bytes from I, a character start, while each holds nothing but valid
    // pairs, ASCII and half-width kana; answers the character start where it stopped.
    [[gnu::always_inline]] std::size_t ScanBlocks(const u8* s, std::size_t i, std::size_t n) {
#if defined(__SSE2__)
        const std::uint8_t* pair = TextCosts().SjisPair;
        std::uint64_t cost = Cost;
        bool half = Half;
        while (i + 64 < n) {  // the pair at the last byte reads one byte more
            const TBlockMasks m = BlockMasks(s + i);
            const std::uint64_t starts = ~SecondBytes(m.Lead);
            const std::uint64_t leads = m.Lead & starts, halves = m.Half & starts;
            if (starts & m.High & ~m.Lead & ~m.Half) break;  // a byte that starts no character
            // The look-ups of the pairs depend on no one before them: they overlap.
            std::uint64_t pairCost = 0;
            unsigned bad = 0;
            const std::uint64_t lookUp = NeedCost ? leads : leads & ~PlainPairs(s + i);
            for (std::uint64_t b = lookUp; b; b &= b - 1) {
                std::uint16_t word;
                std::memcpy(&word, s + i + unsigned(std::countr_zero(b)), 2);
                const unsigned v = pair[word];
                bad |= v;
                pairCost += v;
            }
            if (bad >= kPairOneByte) break;  // a pair the table refuses
            if (halves) {
                const std::uint64_t runStarts = halves & ~(halves << 1 | std::uint64_t(half));
                const int first = std::popcount(runStarts);
                pairCost += std::uint64_t(first) * kHalfKanaFirst +
                            std::uint64_t(std::popcount(halves) - first) * kHalfKanaNext;
            }
            cost += pairCost;
            half = halves >> 63;
            i += 64 + (leads >> 63);
        }
        Cost = cost;
        Half = half;
#else
        (void)s, (void)n;
#endif
        return i;
    }

    // Characters from I up to at least Stop (or the end): answers where it stopped. More: a
    // character at the end of a piece that is not the last continues in the next.
    [[gnu::always_inline]] std::size_t ScanBytes(const u8* s, std::size_t i, std::size_t n, std::size_t Stop, bool Last,
                                                 bool& More) {
        const std::uint8_t* pair = TextCosts().SjisPair;
        const std::uint8_t* lead = TextCosts().SjisLead;
        std::uint64_t cost = Cost;
        bool half = Half;
        while (i < Stop) {
            // Two-byte characters and ASCII, the bulk of Japanese text: one table look-up a step.
            while (i + 1 < n && i < Stop) {
                std::uint16_t word;
                std::memcpy(&word, s + i, 2);  // little-endian: the first byte lowest
                const unsigned v = pair[word];
                // Branches, not arithmetic, on the kind: predicted, they let the loop run ahead
                // of the table look-ups.
                if (v < kPairOneByte) {
                    cost += v;
                    i += 2;
                } else if (v == kPairOneByte) {
                    i += 1;
                } else {
                    break;
                }
                half = false;
            }
            if (i >= Stop) break;
            const u8 c = s[i];
            if (c < 0x80) {
                i = SkipAscii(reinterpret_cast<const char*>(s), i, n);
                half = false;
            } else if (lead[c] != kNotLead) {
                if (i + 1 < n || Last) return Fail();  // a pair the table refused, or a lone lead at the end
                More = true;
                break;
            } else if (IsHalfKana(c)) {
                cost += half ? kHalfKanaNext : kHalfKanaFirst;
                half = true;
                ++i;
            } else {
                return Fail();
            }
        }
        Cost = cost;
        Half = half;
        return i;
    }
    std::size_t Fail() {
        Valid = false;
        return 0;
    }
};

// Strict EUC-JP, with the cost of its characters outside ASCII.
struct TEucScan {
    bool Valid = true;
    std::uint64_t Cost = 0;
    bool Half = false;

    [[gnu::always_inline]] std::size_t Scan(const u8* s, std::size_t n, bool Last) {
        const TTextCosts& t = TextCosts();
        std::size_t i = 0;
        while (i < n) {
            const u8 c = s[i];
            if (c < 0x80) {
                i = SkipAscii(reinterpret_cast<const char*>(s), i, n);
                Half = false;
                continue;
            }
            const std::size_t need = c == 0x8F ? 3 : 2;
            if (i + need > n) {
                if (Last) return Fail();
                // A piece may end inside a character, but not after a byte that starts none.
                if (!IsEuc94(c) && c != 0x8E && c != 0x8F) return Fail();
                break;
            }
            if (IsEuc94(c) && IsEuc94(s[i + 1])) {
                Cost += t.Euc[(c - 0xA1) * 94 + (s[i + 1] - 0xA1)];
                Half = false;
            } else if (c == 0x8E && IsHalfKana(s[i + 1])) {
                Cost += Half ? kHalfKanaNext : kHalfKanaFirst;
                Half = true;
            } else if (c == 0x8F && IsEuc94(s[i + 1]) && IsEuc94(s[i + 2])) {
                Cost += EucExtraCost(s[i + 1], s[i + 2]);
                Half = false;
            } else {
                return Fail();
            }
            i += need;
        }
        return i;
    }
    std::size_t Fail() {
        Valid = false;
        return 0;
    }
};

#if defined(__x86_64__)
// Strict UTF-8 thirty-two bytes at a time by table look-ups: three look-ups on the high and low
// halves of each byte and the one before it name every error a pair of bytes can show; third and fourth bytes are
// checked against the bytes two and three before. Answers a character start P such that [S, S + P) is valid and whole,
// for the byte-wise scan to take over there, a block before the end or before the first block that shows an error.
// Multibyte: a byte >= 0x80 was passed; HighBytes grows by the bytes >= 0x80 before P.
[[gnu::target("avx2")]] std::size_t ValidUtf8Blocks(const u8* S, std::size_t N, bool& Multibyte, std::uint64_t& HighBytes) {
    constexpr char kTooShort = 1, kTooLong = 2, kOverlong3 = 4, kTooLarge = 8, kSurrogate = 16, kOverlong2 = 32,
                   kTooLarge1000 = 64, kOverlong4 = 64;
    constexpr char kTwoConts = char(128), kCarry = char(kTooShort | kTooLong | kTwoConts);
    constexpr char kLarge = kCarry | kTooLarge | kTooLarge1000;
    constexpr char kCont8 = char(kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 | kOverlong4);
    constexpr char kCont9 = char(kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge);
    constexpr char kContAB = char(kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge);
    // By the high half of the byte before, its low half, and the high half of the byte itself.
    // clang-format off
    alignas(16) static constexpr char kFirstHigh[16] = {
        kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTwoConts, kTwoConts,
        kTwoConts, kTwoConts, kTooShort | kOverlong2, kTooShort, kTooShort | kOverlong3 | kSurrogate,
        kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};
    alignas(16) static constexpr char kFirstLow[16] = {
        char(kCarry | kOverlong3 | kOverlong2 | kOverlong4), char(kCarry | kOverlong2), kCarry, kCarry,
        char(kCarry | kTooLarge), kLarge, kLarge, kLarge, kLarge, kLarge, kLarge, kLarge, kLarge,
        char(kLarge | kSurrogate), kLarge, kLarge};
    alignas(16) static constexpr char kSecondHigh[16] = {kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
                                                         kTooShort, kTooShort, kTooShort, kCont8, kCont9, kContAB,
                                                         kContAB, kTooShort, kTooShort, kTooShort, kTooShort};
    // clang-format on
    const __m256i firstHigh = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(kFirstHigh)));
    const __m256i firstLow = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(kFirstLow)));
    const __m256i secondHigh =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(kSecondHigh)));
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    // Bytes that start a sequence the block's end cuts off: the next block must continue it.
    const __m256i lastMax =
        _mm256_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                         -1, -1, -1, -1, -1, char(0xEF), char(0xDF), char(0xBF));
    __m256i prev = _mm256_setzero_si256(), prevCut = _mm256_setzero_si256();
    bool high = false, highBefore = false;  // high bytes in the blocks passed; in those before the last
    std::uint64_t count = 0, countBefore = 0;
    std::size_t i = 0;
    for (; i + 32 <= N; i += 32) {
        const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(S + i));
        __m256i error;
        if (_mm256_movemask_epi8(in) == 0) {
            error = prevCut;  // ASCII cannot continue what the block before cut off
            prevCut = _mm256_setzero_si256();
        } else {
            const __m256i joined = _mm256_permute2x128_si256(prev, in, 0x21);  // prev's high half, in's low half
            const __m256i prev1 = _mm256_alignr_epi8(in, joined, 15);
            const __m256i prev2 = _mm256_alignr_epi8(in, joined, 14);
            const __m256i prev3 = _mm256_alignr_epi8(in, joined, 13);
            const __m256i special = _mm256_and_si256(
                _mm256_and_si256(_mm256_shuffle_epi8(firstHigh, _mm256_and_si256(_mm256_srli_epi16(prev1, 4), nibble)),
                                 _mm256_shuffle_epi8(firstLow, _mm256_and_si256(prev1, nibble))),
                _mm256_shuffle_epi8(secondHigh, _mm256_and_si256(_mm256_srli_epi16(in, 4), nibble)));
            const __m256i third = _mm256_subs_epu8(prev2, _mm256_set1_epi8(char(0xE0 - 0x80)));
            const __m256i fourth = _mm256_subs_epu8(prev3, _mm256_set1_epi8(char(0xF0 - 0x80)));
            const __m256i must23 = _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(char(0x80)));
            error = _mm256_xor_si256(must23, special);
            prevCut = _mm256_subs_epu8(in, lastMax);
        }
        if (!_mm256_testz_si256(error, error)) break;
        highBefore = high;
        countBefore = count;
        const unsigned highMask = unsigned(_mm256_movemask_epi8(in));
        high |= highMask != 0;
        count += unsigned(std::popcount(highMask));
        prev = in;
    }
    // A byte is judged with the bytes after it, so the last block passed may hold a byte that
    // is wrong by itself or a character the stop cuts off: the byte-wise scan takes over at the
    // start of the character that block starts in, and judges that block's bytes itself (a lead
    // byte cut off at the end is no multibyte character).
    std::size_t p = i >= 32 ? i - 32 : 0;
    for (int k = 0; k < 3 && p > 0 && (S[p] & 0xC0) == 0x80; ++k) --p;
    for (std::size_t k = p; k < (i >= 32 ? i - 32 : 0); ++k) countBefore -= S[k] >= 0x80;  // scanned again
    Multibyte = Multibyte || highBefore;
    HighBytes += countBefore;
    return p;
}

const bool kHasAvx2 = __builtin_cpu_supports("avx2");
#endif

// UTF-8, with up to kToleratedErrors broken sequences before it gives up. CutAtEnd: the last
// character is cut off by the end of the text. Bytes: the bytes of the valid multibyte
// characters, for telling a UTF-8 text with a few broken bytes from a text in another encoding.
struct TUtf8Scan {
    static constexpr unsigned kToleratedErrors = 8;
    bool Multibyte = false;
    bool CutAtEnd = false;
    bool GaveUp = false;
    unsigned Errors = 0;
    std::uint64_t Bytes = 0;

    bool Valid() const noexcept { return !GaveUp && Errors == 0; }
    // Valid UTF-8 but for a few broken sequences, each among many valid characters.
    bool MostlyValid() const noexcept { return !GaveUp && Errors > 0 && Bytes >= 16 * std::uint64_t(Errors); }

    [[gnu::always_inline]] std::size_t Scan(const u8* s, std::size_t n, bool Last) {
        const std::string_view b(reinterpret_cast<const char*>(s), n);
        std::size_t i = 0;
#if defined(__x86_64__)
        if (kHasAvx2) i = ValidUtf8Blocks(s, n, Multibyte, Bytes);
#endif
        for (;;) {
            i = SkipAscii(b.data(), i, n);
            if (i >= n) return i;
            i = SkipThreeByteRun(s, i, n);
            if (i >= n) return i;
            if (s[i] < 0x80) continue;
            const std::size_t len = Utf8SequenceLength(b, i);
            if (len) {
                Multibyte = true;
                Bytes += len;
                i += len;
                continue;
            }
            const std::size_t broken = BrokenUtf8Length(b, i);
            const bool cut = i + broken == n && n - i < Utf8LengthOfLead(s[i]);
            if (cut && !Last) return i;
            if (cut && Multibyte) {
                CutAtEnd = true;
                return n;
            }
            if (++Errors > kToleratedErrors) {
                GaveUp = true;
                return n;
            }
            i += broken;
        }
    }

    // Past a run of three-byte sequences (kana and kanji, most of Japanese text) from I, with
    // the bytes after them; answers where the run stopped.
    [[gnu::always_inline]] std::size_t SkipThreeByteRun(const u8* s, std::size_t i, std::size_t n) {
        const std::size_t start = i;
        while (i + 4 <= n) {
            std::uint32_t w;
            std::memcpy(&w, s + i, 4);  // little-endian: the first byte lowest
            if ((w & 0xC0C0F0) != 0x8080E0) break;
            // E0 needs a second byte from A0 (else overlong), ED one below A0 (else a surrogate).
            const unsigned lead = w & 0xFF, second = (w >> 8) & 0xFF;
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F)) break;
            i += 3;
        }
        if (i > start) Multibyte = true;
        Bytes += i - start;
        return i;
    }
};

// UTF-16 without a mark whose units are nothing but kana, kanji and full-width forms, kana
// making up at least half: such a text need hold no zero byte.
struct TKanaUtf16Scan {
    bool BigEndian = false;
    bool Valid = true;
    std::uint64_t Units = 0, Kana = 0;

    std::size_t Scan(const u8* s, std::size_t n, bool Last) {
        std::size_t i = 0;
        for (; i + 1 < n; i += 2) {
            const unsigned u = BigEndian ? unsigned(s[i]) << 8 | s[i + 1] : unsigned(s[i + 1]) << 8 | s[i];
            if (u >= 0x3000 && u <= 0x30FF) ++Kana;
            else if (!((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF01 && u <= 0xFF9F))) return Fail();
            ++Units;
        }
        if (i < n && Last) return Fail();  // an odd length
        return i;
    }
    bool Matches() const noexcept { return Valid && Units > 0 && Kana * 2 >= Units; }
    std::size_t Fail() {
        Valid = false;
        return 0;
    }
};

// The escapes that make 7-bit text ISO-2022-JP.
struct TEscapeScan {
    bool Found = false;

    std::size_t Scan(const u8* s, std::size_t n, bool Last) {
        for (const u8* p = s; (p = static_cast<const u8*>(std::memchr(p, 0x1B, n - std::size_t(p - s)))); ++p) {
            if (p + 3 > s + n) {
                if (Last) return n;
                return std::size_t(p - s);
            }
            if ((p[1] == '$' && (p[2] == 'B' || p[2] == '@')) || (p[1] == '(' && p[2] == 'I')) {
                Found = true;
                return n;
            }
        }
        return n;
    }
};

struct TLineEndScan {
    TLineEndCount Count;
    bool AfterCr = false;  // the text so far ends with a CR, counted alone until an LF follows

    std::size_t Scan(const u8* s, std::size_t n, bool) {
        if (n == 0) return 0;
        const TLineBreakBytes b = CountLineBreakBytes(reinterpret_cast<const char*>(s), n);
        std::uint64_t pairs = b.CrLf;
        if (AfterCr && s[0] == '\n') {
            --Count.Cr;
            ++pairs;
        }
        Count.CrLf += pairs;
        Count.Cr += b.Cr - b.CrLf;
        Count.Lf += b.Lf - pairs;
        AfterCr = s[n - 1] == '\r';
        return n;
    }
};

// A text with zero bytes is read as UTF-16 when that reading is likelier text than the likeliest
// reading of its bytes one by one (Shift_JIS, EUC-JP or UTF-8, zero bytes counting as noise).
// Judged on the first kHeadSize bytes: a likelihood, not a validation.
constexpr std::size_t kHeadSize = 4 << 20;

int Utf16Order(std::string_view Head) {
    const std::string_view sample = Head.substr(0, Head.size() & ~std::size_t(1));
    const std::uint64_t le = Utf16TextCost(sample, false), be = Utf16TextCost(sample, true);
    const std::uint64_t bytewise = ByteTextCost(sample);
    if (std::min(le, be) >= bytewise) return -1;
    return le <= be ? 0 : 1;
}

bool StartsWith(std::string_view B, std::string_view P) { return B.substr(0, P.size()) == P; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// Every candidate at once over the pieces of a text. Head holds its first kHeadSize bytes (the
// byte-order mark, a declared charset, the sample for UTF-16).
class TDetector {
public:
    TDetector(TDocumentEncoding Default, bool CountLineEnds) : FDefault(Default), FCountLineEnds(CountLineEnds) {
        FUtf16Be.BigEndian = true;
    }

    // Bytes S[0..N) follow the bytes given before; S[-3..0) must hold the last three of those.
    // Newer processors get their own copy of the scanners (which are inlined for that), with
    // population counts and three-operand vector instructions.
    [[gnu::target_clones("arch=x86-64-v3", "default")]] void Feed(const u8* S, std::size_t N, bool Last) {
        if (!FZeros && N) FZeros = std::memchr(S, 0, N) != nullptr;
        if (!FEightBit && N) FEightBit = SkipAscii(reinterpret_cast<const char*>(S), 0, N) < N;
        Run(FEuc, FEuc.Valid, FEucLeft, S, N, Last);
        // The cost of Shift_JIS only decides against EUC-JP.
        FSjis.NeedCost = FEuc.Valid;
        Run(FSjis, FSjis.Valid, FSjisLeft, S, N, Last);
        Run(FUtf8, !FUtf8.GaveUp, FUtf8Left, S, N, Last);
        Run(FUtf16Le, FUtf16Le.Valid, FUtf16LeLeft, S, N, Last);
        Run(FUtf16Be, FUtf16Be.Valid, FUtf16BeLeft, S, N, Last);
        Run(FEscape, !FEscape.Found && !FEightBit, FEscapeLeft, S, N, Last);
        Run(FLineEnds, FCountLineEnds, FLineEndsLeft, S, N, Last);
    }

    TDetection Result(std::string_view Head) const;
    TLineEndCount LineEnds() const noexcept { return FLineEnds.Count; }

private:
    template <class TScanner>
    [[gnu::always_inline]] static void Run(TScanner& Scanner, bool Active, std::size_t& Left, const u8* S,
                                           std::size_t N, bool Last) {
        if (!Active) return;
        const std::size_t avail = Left + N;
        Left = avail - Scanner.Scan(S - Left, avail, Last);
    }

    TDocumentEncoding FDefault;
    bool FCountLineEnds;
    bool FZeros = false, FEightBit = false;
    TSjisScan FSjis;
    TEucScan FEuc;
    TUtf8Scan FUtf8;
    TKanaUtf16Scan FUtf16Le, FUtf16Be;
    TEscapeScan FEscape;
    TLineEndScan FLineEnds;
    std::size_t FSjisLeft = 0, FEucLeft = 0, FUtf8Left = 0, FUtf16LeLeft = 0, FUtf16BeLeft = 0, FEscapeLeft = 0,
                FLineEndsLeft = 0;
};

TDetection TDetector::Result(std::string_view Head) const {
    TDetection d;
    auto with = [&](TDocumentEncoding E, std::string_view Reason) {
        d.Format.Encoding = E;
        d.Reason = Reason;
        return d;
    };
    if (StartsWith(Head, "\xEF\xBB\xBF")) {
        d.Format.Bom = true;
        d.Binary = FZeros;
        return with(deUtf8, "bom");
    }
    if (StartsWith(Head, "\xFF\xFE") || StartsWith(Head, "\xFE\xFF")) {
        d.Format.Bom = true;
        d.Format.BigEndian = Head[0] == '\xFE';
        return with(deUtf16, "bom");
    }
    if (FZeros) {
        // UTF-16 when that reading is likelier text; otherwise binary content in the encoding its
        // other bytes are in.
        const int order = Utf16Order(Head);
        if (order >= 0) {
            d.Format.BigEndian = order == 1;
            return with(deUtf16, "utf-16");
        }
        d.Binary = true;
    }
    if (!FEightBit) {
        if (FEscape.Found) return with(deJis, "escapes");
        // Plain 7-bit text reads the same in every byte encoding; UTF-16 would not.
        if (FDefault == deEuc || FDefault == deUtf8 || FDefault == deJis) return with(FDefault, "ascii");
        return with(deShiftJis, "ascii");
    }
    if (FUtf8.Valid() && (FUtf8.Multibyte || FUtf8.CutAtEnd)) return with(deUtf8, "utf-8");
    if (!FZeros) {
        if (FUtf16Le.Matches()) return with(deUtf16, "utf-16");
        if (FUtf16Be.Matches()) {
            d.Format.BigEndian = true;
            return with(deUtf16, "utf-16");
        }
    }
    if (FEuc.Valid && FSjis.Valid) {
        const TDocumentEncoding declared = DeclaredEncoding(Head);
        if (declared == deEuc || declared == deShiftJis) return with(declared, "declared");
        if (FEuc.Cost != FSjis.Cost) return with(FEuc.Cost < FSjis.Cost ? deEuc : deShiftJis, "score");
        return with(FDefault == deEuc ? deEuc : deShiftJis, "score");
    }
    if (FEuc.Valid) return with(deEuc, "score");
    if (FSjis.Valid) return with(deShiftJis, "score");
    // UTF-8 but for a few broken bytes, and neither of the byte encodings: opened as UTF-8 (with
    // a warning and write protection), not as mojibake that typing would mix with Shift_JIS.
    if (FUtf8.MostlyValid()) return with(deUtf8, "damaged-utf-8");
    return with(deShiftJis, "fallback");
}

}  // namespace

TDocumentEncoding DeclaredEncoding(std::string_view Bytes) {
    std::string_view head = Bytes.substr(0, 4096);
    std::string lower(head.size(), ' ');
    for (std::size_t i = 0; i < head.size(); ++i) lower[i] = Lower(head[i]);
    for (std::string_view key : {"charset=", "encoding=", "coding:", "coding="}) {
        for (std::size_t p = lower.find(key); p != std::string::npos; p = lower.find(key, p + 1)) {
            std::size_t i = p + key.size();
            while (i < lower.size() && (lower[i] == ' ' || lower[i] == '"' || lower[i] == '\'')) ++i;
            std::size_t j = i;
            while (j < lower.size() && IsNameChar(lower[j])) ++j;
            if (auto e = ParseEncodingName(std::string_view(lower).substr(i, j - i))) return *e;
        }
    }
    return deAuto;
}

TDetection DetectEncoding(std::string_view B, TDocumentEncoding Default) {
    TDetector detector(Default, false);
    detector.Feed(reinterpret_cast<const u8*>(B.data()), B.size(), true);
    return detector.Result(B.substr(0, kHeadSize));
}

namespace {

// Detection over the pieces Read gives: Read(Into, Max) stores up to Max bytes and answers how
// many (fewer only at the end).
template <class TRead>
TFileDetection DetectInPieces(TRead&& Read, TDocumentEncoding Default, std::size_t PieceSize) {
    PieceSize = std::max<std::size_t>(PieceSize, 1);
    // Three bytes of room in front of each piece for the end of the one before.
    constexpr std::size_t kCarry = 3;
    std::vector<u8> buf(kCarry + PieceSize);
    std::string head;
    TDetector detector(Default, true);
    TFileDetection r;
    std::size_t carried = 0;  // bytes before buf[kCarry] that hold the text's last bytes so far
    for (;;) {
        u8* const piece = buf.data() + kCarry;
        const std::size_t got = Read(piece, PieceSize);
        const bool last = got < PieceSize;
        if (head.size() < kHeadSize)
            head.append(reinterpret_cast<const char*>(piece), std::min(got, kHeadSize - head.size()));
        detector.Feed(piece, got, last);
        r.Size += got;
        if (last) break;
        // The last three bytes of the text so far go in front of the next piece.
        const std::size_t keep = std::min(kCarry, carried + got);
        std::memmove(buf.data() + kCarry - keep, piece + got - keep, keep);
        carried = keep;
    }
    r.Detection = detector.Result(head);
    r.LineEnds = detector.LineEnds();
    return r;
}

}  // namespace

struct TEncodingDetector::TState {
    static constexpr std::size_t kCarry = 3;
    static constexpr std::size_t kPiece = 256 << 10;
    explicit TState(TDocumentEncoding Default) : Detector(Default, true), Buffer(kCarry + kPiece) {}
    TDetector Detector;
    std::vector<u8> Buffer;  // three bytes of the text before each piece, then the piece
    std::size_t Carried = 0;
    std::string Head;
    std::size_t Size = 0;
};

TEncodingDetector::TEncodingDetector(TDocumentEncoding Default) : FState(std::make_unique<TState>(Default)) {}
TEncodingDetector::~TEncodingDetector() = default;

void TEncodingDetector::Feed(std::string_view Piece, bool Last) {
    TState& s = *FState;
    if (s.Head.size() < kHeadSize) s.Head.append(Piece.substr(0, kHeadSize - s.Head.size()));
    s.Size += Piece.size();
    // The scanners read up to three bytes before each piece: pieces pass through the buffer.
    do {
        const std::size_t n = std::min(Piece.size(), TState::kPiece);
        u8* const at = s.Buffer.data() + TState::kCarry;
        if (n) std::memcpy(at, Piece.data(), n);
        Piece.remove_prefix(n);
        s.Detector.Feed(at, n, Last && Piece.empty());
        const std::size_t keep = std::min(TState::kCarry, s.Carried + n);
        std::memmove(at - keep, at + n - keep, keep);
        s.Carried = keep;
    } while (!Piece.empty());
}

TFileDetection TEncodingDetector::Result() const {
    TFileDetection r;
    r.Detection = FState->Detector.Result(FState->Head);
    r.LineEnds = FState->Detector.LineEnds();
    r.Size = FState->Size;
    return r;
}

TFileDetection DetectEncodingInPieces(std::string_view B, TDocumentEncoding Default, std::size_t PieceSize) {
    std::size_t at = 0;
    return DetectInPieces(
        [&](u8* Into, std::size_t Max) {
            const std::size_t n = std::min(Max, B.size() - at);
            if (n) std::memcpy(Into, B.data() + at, n);
            at += n;
            return n;
        },
        Default, PieceSize);
}

TFileDetection DetectFileEncoding(const std::string& Path, TDocumentEncoding Default, std::size_t PieceSize) {
    TFd fd(OpenRegularFile(Path));
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0) throw Exception("ファイルを読めません: " + Path + ": " + std::strerror(errno));
    // A large file is read where it lies, in the page cache, rather than copied a piece at a time.
    constexpr std::size_t kMapFrom = 1 << 20;
    const std::size_t size = std::size_t(st.st_size);
    const TMappedFile mapped(fd.Get(), size >= kMapFrom ? size : 0, Path);
    if (size >= kMapFrom && mapped.Mapped()) {
        PieceSize = std::max<std::size_t>(PieceSize, 1);
        std::string head(std::min(size, kHeadSize), '\0');
        TDetector detector(Default, true);
        mapped.Read([&](std::string_view Bytes) {
            std::memcpy(head.data(), Bytes.data(), head.size());
            // Each piece has the bytes before it right in front, as Feed wants.
            const u8* const b = reinterpret_cast<const u8*>(Bytes.data());
            std::size_t forgotten = 0;
            for (std::size_t at = 0; at < Bytes.size(); at += PieceSize) {
                const std::size_t n = std::min(PieceSize, Bytes.size() - at);
                detector.Feed(b + at, n, at + n == Bytes.size());
                // Pages before this piece go; the bytes right before the next one stay.
                if (at - forgotten >= 8 << 20) mapped.Forget(forgotten = at);
            }
        });
        TFileDetection r;
        r.Detection = detector.Result(head);
        r.LineEnds = detector.LineEnds();
        r.Size = size;
        return r;
    }
    return DetectInPieces(
        [&](u8* Into, std::size_t Max) {
            std::size_t got = 0;
            while (got < Max) {
                const ssize_t n = ::read(fd.Get(), Into + got, Max - got);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) throw Exception("ファイルを読めません: " + Path + ": " + std::strerror(errno));
                if (n == 0) break;
                got += std::size_t(n);
            }
            return got;
        },
        Default, PieceSize);
}

}  // namespace orvane
