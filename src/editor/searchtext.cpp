// The text search engine: pattern preparation, the fixed tables, and the candidate loops.
#include "editor/searchtext.h"

#include "base/dbcs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace orvane {

namespace {

constexpr std::size_t npos = std::string_view::npos;

constexpr std::array<bool, 256> MakeDelimiters() {
    std::array<bool, 256> d{};
    auto range = [&d](int From, int To) {
        for (int b = From; b <= To; ++b) d[std::size_t(b)] = true;
    };
    range(0x00, 0x2F);
    range(0x3A, 0x40);
    range(0x5B, 0x60);
    range(0x7B, 0x80);
    range(0xA0, 0xA5);
    range(0xFD, 0xFF);
    return d;
}
constexpr std::array<bool, 256> kDelimiters = MakeDelimiters();

// The full-width counterpart of each one-byte character (lead << 8 | trail), 0 where it has none.
constexpr std::array<std::uint16_t, 256> MakeFullWidth() {
    std::array<std::uint16_t, 256> f{};
    const std::uint16_t punctuation[] = {0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166,
                                         0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E};
    for (int i = 0; i < 16; ++i) f[std::size_t(0x20 + i)] = punctuation[i];
    for (int i = 0; i < 10; ++i) f[std::size_t(0x30 + i)] = std::uint16_t(0x824F + i);
    const std::uint16_t colonToAt[] = {0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197};
    for (int i = 0; i < 7; ++i) f[std::size_t(0x3A + i)] = colonToAt[i];
    for (int i = 0; i < 26; ++i) f[std::size_t(0x41 + i)] = std::uint16_t(0x8260 + i);
    const std::uint16_t brackets[] = {0x816D, 0x818F, 0x816E, 0x814F, 0x8151, 0x814D};
    for (int i = 0; i < 6; ++i) f[std::size_t(0x5B + i)] = brackets[i];
    for (int i = 0; i < 26; ++i) f[std::size_t(0x61 + i)] = std::uint16_t(0x8281 + i);
    const std::uint16_t braces[] = {0x816F, 0x8162, 0x8170, 0x8150};
    for (int i = 0; i < 4; ++i) f[std::size_t(0x7B + i)] = braces[i];
    // Half-width punctuation and katakana 0xA1-0xDF.
    const std::uint16_t kana[] = {
        0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,  // A1-AB
        0x8383, 0x8385, 0x8387, 0x8362, 0x815B,                                                  // AC-B0
        0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E, 0x8350, 0x8352,          // B1-BA
        0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367,          // BB-C4
        0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A,          // C5-CE
        0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838A,          // CF-D8
        0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,                                  // D9-DF
    };
    for (int i = 0; i < 63; ++i) f[std::size_t(0xA1 + i)] = kana[i];
    return f;
}
constexpr std::array<std::uint16_t, 256> kFullWidth = MakeFullWidth();

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// The one voiced (or semi-voiced) kana that half-width Kana followed by Mark stands for, else 0:
// カ-ト and ハ-ホ with the voiced mark, ウ with it as ヴ, ハ-ホ with the semi-voiced mark.
constexpr std::uint16_t VoicedPair(unsigned char Kana, unsigned char Mark) noexcept {
    if (Mark == kVoicedMark) {
        if ((Kana >= 0xB6 && Kana <= 0xC4) || (Kana >= 0xCA && Kana <= 0xCE)) return std::uint16_t(kFullWidth[Kana] + 1);
        if (Kana == 0xB3) return 0x8394;
    } else if (Mark == kSemiVoicedMark && Kana >= 0xCA && Kana <= 0xCE) {
        return std::uint16_t(kFullWidth[Kana] + 2);
    }
    return 0;
}
constexpr bool CanBeVoiced(unsigned char B) noexcept { return B == 0xB3 || (B >= 0xB6 && B <= 0xC4) || (B >= 0xCA && B <= 0xCE); }

constexpr unsigned char UpperByte(unsigned char B) noexcept { return (B >= 'a' && B <= 'z') ? B - 0x20 : B; }

// The full-width lower-case Latin letters ａ-ｚ (0x8281-0x829A) fold to Ａ-Ｚ (0x8260-0x8279); no
// other two-byte character folds.
constexpr std::uint16_t FoldWide(std::uint16_t Code) noexcept {
    return (Code >= 0x8281 && Code <= 0x829A) ? std::uint16_t(Code - 0x21) : Code;
}

// Upper-cases the ASCII and full-width Latin letters of S, character by character, so that trail
// bytes are never touched.
std::string UpperCase(std::string_view S) {
    std::string out(S);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t len = CharLenAt(out, i);
        if (len == 1) {
            out[i] = char(UpperByte(static_cast<unsigned char>(out[i])));
        } else {
            const std::uint16_t code = std::uint16_t(static_cast<unsigned char>(out[i]) << 8 | static_cast<unsigned char>(out[i + 1]));
            out[i + 1] = char(FoldWide(code) & 0xFF);
        }
        i += len;
    }
    return out;
}

}  // namespace

bool IsSearchDelimiter(unsigned char B) noexcept { return kDelimiters[B]; }

std::string ToFullWidth(std::string_view S) {
    std::string out;
    out.reserve(S.size() * 2);
    auto put = [&out](std::uint16_t Code) {
        out += char(Code >> 8);
        out += char(Code & 0xFF);
    };
    for (std::size_t i = 0; i < S.size();) {
        const std::size_t len = CharLenAt(S, i);
        const auto b = static_cast<unsigned char>(S[i]);
        if (len == 2) {
            out.append(S.substr(i, 2));
        } else if (i + 1 < S.size() && VoicedPair(b, static_cast<unsigned char>(S[i + 1]))) {
            put(VoicedPair(b, static_cast<unsigned char>(S[i + 1])));
            ++i;
        } else if (kFullWidth[b]) {
            put(kFullWidth[b]);
        } else {
            out += S[i];
        }
        i += len;
    }
    return out;
}

// Which characters of a text are character starts: a lead byte and the byte after it are one
// character. Remembers the last run of lead-range bytes it looked at, so that queries moving in
// one direction cost O(text) in all. Position 0 must be a character start.
class TSearchPattern::TBoundaries {
public:
    explicit TBoundaries(std::string_view T) : FText(T) {}
    bool IsCharStart(std::size_t I) {
        if (I >= FRunStart && I <= FRunEnd) return (I - FRunStart) % 2 == 0;
        // Back over lead-range bytes: the byte before a non-lead byte (or the text start) is a
        // character start, and so is every second byte of the run after it.
        std::size_t j = I;
        while (j > 0 && IsLeadByte(FText[j - 1])) {
            --j;
            if (j == FRunEnd && j >= FRunStart) {
                j = FRunStart;
                break;
            }
        }
        FRunStart = j;
        FRunEnd = I;
        return (I - j) % 2 == 0;
    }

private:
    std::string_view FText;
    std::size_t FRunStart = 0;  // a character start; bytes [FRunStart, FRunEnd) are lead-range
    std::size_t FRunEnd = 0;
};

TSearchPattern::TSearchPattern(std::string_view Pattern, TSearchOptions Options) : FOptions(Options) {
    const bool fold = !(Options & soMatchCase);
    const bool wide = Options & soNoMatchZenkaku;
    FPattern = fold ? UpperCase(Pattern) : std::string(Pattern);
    if (wide) FPattern = ToFullWidth(FPattern);
    for (std::size_t i = 0; i < FPattern.size();) {
        const std::size_t len = CharLenAt(FPattern, i);
        const auto b = static_cast<unsigned char>(FPattern[i]);
        FCodes.push_back(len == 2 ? std::uint16_t(b << 8 | static_cast<unsigned char>(FPattern[i + 1])) : b);
        FLengths.push_back(std::uint8_t(len));
        i += len;
    }

    // A one-byte text character compares as itself, upper-cased when case is folded, or as its
    // full-width form (folded likewise) when half-width matches full-width.
    for (int b = 0; b < 256; ++b) {
        std::uint16_t code = std::uint16_t(b);
        if (wide && kFullWidth[std::size_t(b)]) code = kFullWidth[std::size_t(b)];
        if (fold) code = code < 0x100 ? UpperByte(std::uint8_t(code)) : FoldWide(code);
        FSingle[b] = code;
    }
    if (FCodes.empty()) return;

    // The bytes a hit can begin with, and for each pattern character whether only its own bytes
    // can match it in the text (then those bytes are part of every hit, at a fixed place).
    auto formsOf = [&](std::uint16_t Code, bool* First) {
        int forms = 0;
        for (int b = 0; b < 256; ++b) {
            const auto u = std::uint8_t(b);
            bool matches = false;
            if (IsLeadByte(u)) {
                // A two-byte character; or a lone lead byte at the end of the text.
                matches = (Code >> 8) == b || Code == b;
                if (Code >> 8 == b) forms += (fold && Code >= 0x8260 && Code <= 0x8279) ? 2 : 1;
                if (Code == b) ++forms;
            } else {
                if (FSingle[b] == Code) matches = true, ++forms;
                if (wide && CanBeVoiced(u) && (VoicedPair(u, kVoicedMark) == Code || VoicedPair(u, kSemiVoicedMark) == Code))
                    matches = true, ++forms;
            }
            if (First && matches) First[b] = true;
        }
        return forms;
    };
    formsOf(FCodes[0], FFirst);
    const bool passes = Options & (soIncludeCRLF | soIncludeSpace);

    // A character is matched only by its own bytes when it has one form and that is itself (a
    // two-byte pattern character is folded already).
    auto unique = [&](std::size_t I) {
        const std::uint16_t code = FCodes[I];
        return (code >= 0x100 || FSingle[code] == code) && formsOf(code, nullptr) == 1;
    };
    std::size_t anchor = 0;
    // Blanks and line breaks may be passed over after the first character.
    for (std::size_t i = 0; i < (passes ? 1 : FCodes.size()) && unique(i); ++i) anchor += FLengths[i];
    FAnchor = FPattern.substr(0, anchor);

    // Without such a prefix: the longest run of such characters further on, and how many bytes
    // the characters before it can take in the text.
    if (!anchor && !passes) {
        std::size_t bestAt = 0, bestBytes = 0, at = 0, runStart = 0, runBytes = 0;
        for (std::size_t i = 0; i < FCodes.size(); ++i) {
            if (unique(i)) {
                if (!runBytes) runStart = at;
                runBytes += FLengths[i];
                if (runBytes > bestBytes) bestAt = runStart, bestBytes = runBytes;
            } else {
                runBytes = 0;
            }
            at += FLengths[i];
        }
        if (bestBytes) {
            FInner = FPattern.substr(bestAt, bestBytes);
            for (std::size_t i = 0, b = 0; b < bestAt; b += FLengths[i++]) {
                const std::uint16_t code = FCodes[i];
                bool one = code < 0x100, two = code >= 0x100;
                for (int x = 0; x < 256 && code >= 0x100; ++x)
                    if (!IsLeadByte(std::uint8_t(x)) && FSingle[x] == code) one = true;
                FInnerMin += one ? 1 : 2;
                FInnerMax += two ? 2 : 1;
            }
        }
    }

    if (!FAnchor.empty()) return;

    // The first two bytes of a hit: the first character's two bytes, or its one byte followed by
    // a byte that can begin the second character (any byte when blanks may come between).
    bool second[256];
    std::fill(std::begin(second), std::end(second), true);
    if (FCodes.size() > 1 && !passes) {
        std::fill(std::begin(second), std::end(second), false);
        formsOf(FCodes[1], second);
    }
    FPairs.assign(65536 / 64, 0);
    for (int x = 0; x < 256; ++x) {
        if (!FFirst[x]) continue;
        for (int y = 0; y < 256; ++y) {
            const auto ux = std::uint8_t(x), uy = std::uint8_t(y);
            bool can;
            if (IsLeadByte(ux)) {
                const std::uint16_t code = std::uint16_t(x << 8 | y);
                can = (fold ? FoldWide(code) : code) == FCodes[0];
            } else if (const std::uint16_t pair = wide && CanBeVoiced(ux) ? VoicedPair(ux, uy) : 0) {
                can = pair == FCodes[0];
            } else {
                can = FSingle[x] == FCodes[0] && second[y];
            }
            if (can) FPairs[std::size_t(x << 8 | y) / 64] |= std::uint64_t(1) << ((x << 8 | y) % 64);
        }
    }
}

// Compares the pattern with the text at At. Bytes from Limit on may be looked at but never
// become part of the hit.
TSearchPattern::TCompare TSearchPattern::Compare(const TSearchWindow& W, std::size_t At, std::size_t Limit,
                                                 std::size_t& End) const {
    const std::string_view T = W.Text;
    const std::size_t n = T.size();
    const bool fold = !(FOptions & soMatchCase);
    const bool wide = FOptions & soNoMatchZenkaku;
    const bool breaks = FOptions & soIncludeCRLF;
    const bool blanks = FOptions & soIncludeSpace;
    std::size_t t = At;
    bool matched = false;
    for (std::size_t p = 0; p < FCodes.size();) {
        if (t >= Limit) return cmMiss;
        if (t >= n) return W.AtTextEnd ? cmMiss : cmNeedMore;
        const auto b0 = static_cast<unsigned char>(T[t]);
        std::size_t bytes = 1;
        std::uint16_t code;
        if (IsLeadByte(b0) && t + 1 < n) {
            bytes = 2;
            code = std::uint16_t(b0 << 8 | static_cast<unsigned char>(T[t + 1]));
            if (fold) code = FoldWide(code);
        } else if (IsLeadByte(b0) && !W.AtTextEnd) {
            return cmNeedMore;
        } else {
            code = FSingle[b0];
            if (wide && CanBeVoiced(b0)) {
                if (t + 1 >= n && !W.AtTextEnd) return cmNeedMore;
                if (t + 1 < n) {
                    if (const std::uint16_t pair = VoicedPair(b0, static_cast<unsigned char>(T[t + 1]))) {
                        code = pair;
                        bytes = 2;
                    }
                }
            }
        }
        if (code == FCodes[p]) {
            if (t + bytes > Limit) return cmMiss;
            t += bytes;
            ++p;
            matched = true;
            continue;
        }
        if (matched) {
            // Line breaks and blanks inside a hit are passed over when the options say so.
            if (breaks && bytes == 1 && (b0 == '\r' || b0 == '\n')) {
                ++t;
                continue;
            }
            if (blanks && bytes == 1 && (b0 == ' ' || b0 == '\t')) {
                ++t;
                continue;
            }
            if (blanks && bytes == 2 && b0 == 0x81 && static_cast<unsigned char>(T[t + 1]) == 0x40) {
                t += 2;
                continue;
            }
        }
        return cmMiss;
    }
    if (FOptions & soWholeWord) {
        // The byte after a whole word is a delimiter; the end of the text counts as one.
        if (t < n) {
            if (!kDelimiters[static_cast<unsigned char>(T[t])]) return cmMiss;
        } else if (!W.AtTextEnd) {
            return cmNeedMore;
        }
    }
    End = t;
    return cmHit;
}

// A word starts with a word character at the text start or after a one-byte delimiter (two-byte
// characters are word characters).
bool TSearchPattern::WordStartAt(const TSearchWindow& W, TBoundaries& B, std::size_t At) const {
    const std::string_view T = W.Text;
    if (kDelimiters[static_cast<unsigned char>(T[At])]) return false;
    if (At == 0) return W.AtTextStart || W.PrevDelimiter;
    return B.IsCharStart(At - 1) && kDelimiters[static_cast<unsigned char>(T[At - 1])];
}

TSearchPattern::TCompare TSearchPattern::Try(const TSearchWindow& W, TBoundaries& B, std::size_t At, std::size_t Limit,
                                             std::size_t& End) const {
    if (!B.IsCharStart(At)) return cmMiss;
    if ((FOptions & soWholeWord) && !WordStartAt(W, B, At)) return cmMiss;
    return Compare(W, At, Limit, End);
}

std::size_t TSearchPattern::NextCandidate(std::string_view T, std::size_t From) const {
    if (From >= T.size()) return npos;
    if (!FAnchor.empty()) {
        const void* at = ::memmem(T.data() + From, T.size() - From, FAnchor.data(), FAnchor.size());
        return at ? std::size_t(static_cast<const char*>(at) - T.data()) : npos;
    }
    const auto* t = reinterpret_cast<const unsigned char*>(T.data());
    const std::size_t n = T.size();
    for (std::size_t i = From; i + 1 < n; ++i)
        if (PairCanStart(t[i], t[i + 1])) return i;
    // The last byte has no second byte to look at.
    return FFirst[t[n - 1]] && From < n ? n - 1 : npos;
}

std::size_t TSearchPattern::PrevCandidate(std::string_view T, std::size_t From) const {
    const std::size_t m = FAnchor.size();
    if (m) {
        // Look for the anchor's last byte, then compare the rest.
        const char last = FAnchor.back();
        std::size_t c = From;
        for (;;) {
            const void* at = ::memrchr(T.data() + (m - 1), last, c + 1);
            if (!at) return npos;
            c = std::size_t(static_cast<const char*>(at) - T.data()) - (m - 1);
            if (std::memcmp(T.data() + c, FAnchor.data(), m - 1) == 0) return c;
            if (c == 0) return npos;
            --c;
        }
    }
    const auto* t = reinterpret_cast<const unsigned char*>(T.data());
    std::size_t i = From;
    if (i + 1 >= T.size()) {
        if (FFirst[t[i]]) return i;
        if (i-- == 0) return npos;
    }
    for (;; --i) {
        if (PairCanStart(t[i], t[i + 1])) return i;
        if (i == 0) return npos;
    }
}

TWindowResult TSearchPattern::Forward(const TSearchWindow& W, std::size_t From) const {
    TWindowResult result;
    if (FCodes.empty()) return result;
    const std::string_view T = W.Text;
    const std::size_t n = T.size();
    TBoundaries bounds(T);
    std::size_t end = 0;
    std::size_t pos = From;
    auto decided = [&](std::size_t At, TCompare C) {
        if (C == cmMiss) return false;
        result.Kind = C == cmHit ? TWindowResult::Hit : TWindowResult::NeedMore;
        result.Start = At;
        result.End = end;
        return true;
    };
    if (!FInner.empty()) {
        // Each place of the inner run gives the few candidates that could reach it.
        const std::size_t k = FInner.size();
        // Candidates below tail have the run inside the window wherever it lies for them.
        const std::size_t tail = W.AtTextEnd ? n : (n >= FInnerMax + k ? n - FInnerMax - k + 1 : 0);
        while (pos < tail && pos + FInnerMin < n) {
            const std::size_t from = pos + FInnerMin;
            const void* at = ::memmem(T.data() + from, n - from, FInner.data(), k);
            if (!at) break;
            const std::size_t q = std::size_t(static_cast<const char*>(at) - T.data());
            const std::size_t lo = std::max(pos, q >= FInnerMax ? q - FInnerMax : 0);
            if (lo >= tail) break;
            const std::size_t hi = std::min(q - FInnerMin, tail - 1);
            for (std::size_t c = lo; c <= hi; ++c) {
                const bool can = c + 1 < n ? PairCanStart(static_cast<unsigned char>(T[c]), static_cast<unsigned char>(T[c + 1]))
                                           : FFirst[static_cast<unsigned char>(T[c])];
                if (can && decided(c, Try(W, bounds, c, npos, end))) return result;
            }
            pos = hi + 1;
        }
        // The candidates whose run may lie past the end of the window wait for the text after it.
        for (std::size_t c = std::max(pos, tail); c < n; ++c)
            if (FFirst[static_cast<unsigned char>(T[c])] && decided(c, Try(W, bounds, c, npos, end))) return result;
        return result;
    }
    for (;;) {
        const std::size_t c = NextCandidate(T, pos);
        if (c == npos) break;
        if (decided(c, Try(W, bounds, c, npos, end))) return result;
        pos = c + 1;
    }
    // Candidates whose anchor runs past the end of the window wait for the text after it.
    const std::size_t m = FAnchor.size();
    if (!W.AtTextEnd && m > 1) {
        for (std::size_t c = std::max(pos, n >= m ? n - m + 1 : 0); c < n; ++c)
            if (FFirst[static_cast<unsigned char>(T[c])] && decided(c, Try(W, bounds, c, npos, end))) return result;
    }
    return result;
}

TWindowResult TSearchPattern::Backward(const TSearchWindow& W, std::size_t Before, std::size_t Limit) const {
    TWindowResult result;
    if (FCodes.empty()) return result;
    const std::string_view T = W.Text;
    const std::size_t n = T.size();
    const std::size_t m = FAnchor.size();
    TBoundaries bounds(T);
    std::size_t end = 0;
    auto decided = [&](std::size_t At, TCompare C) {
        if (C == cmMiss) return false;
        result.Kind = C == cmHit ? TWindowResult::Hit : TWindowResult::NeedMore;
        result.Start = At;
        result.End = end;
        return true;
    };
    std::size_t top = std::min(Before, n);  // candidates lie below top
    if (top == 0) return result;
    // The last candidates first: those whose anchor runs past the end of the window.
    const std::size_t whole = n >= m ? n - m + 1 : 0;  // anchors fit below this
    if (m > 1 && top > whole) {
        if (!W.AtTextEnd && Limit > n) {
            for (std::size_t c = top; c-- > whole;)
                if (FFirst[static_cast<unsigned char>(T[c])] && decided(c, Try(W, bounds, c, Limit, end))) return result;
        }
        top = whole;
    }
    for (std::size_t from = top; from > 0;) {
        const std::size_t c = PrevCandidate(T, from - 1);
        if (c == npos) break;
        if (decided(c, Try(W, bounds, c, Limit, end))) return result;
        from = c;
    }
    return result;
}

bool SearchText(std::string_view Text, TSearchPos& Pos, std::string_view Pattern, TSearchOptions Options) {
    if (Pattern.empty() || Text.empty()) return false;
    const auto length = std::int64_t(Text.size());
    if (Pos.Start < 0 || Pos.Length < 0 || Pos.Start > length) return false;
    const TSearchPattern pattern(Pattern, Options);
    const TSearchWindow whole{Text, true, true, true};
    TWindowResult r;
    if (Options & soDown) {
        if (Pos.Length > length - Pos.Start) return false;
        r = pattern.Forward(whole, std::size_t(Pos.Start + Pos.Length));
    } else {
        r = pattern.Backward(whole, std::size_t(Pos.Start), std::size_t(Pos.Start));
    }
    if (r.Kind != TWindowResult::Hit) return false;
    Pos.Start = std::int64_t(r.Start);
    Pos.Length = std::int64_t(r.End - r.Start);
    return true;
}

}  // namespace orvane
