// Japanese byte encodings by arithmetic: classifier, Shift_JIS / EUC-JP / JIS, line ends.
#include "files/charcode.h"

#include "base/dbcs.h"
#include "base/linebreak.h"
#include "files/bytescan.h"
#include "files/bytewriter.h"
#include "files/cp932.h"

#include <algorithm>
#include <cstring>

namespace orvane {

namespace {

using u8 = std::uint8_t;

// JIS X 0208 cell of each half-width kana 0xA1-0xDF: row in the high byte, cell in the low.
constexpr std::uint16_t kHalfKana[63] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126,                                  // A1-A5 ｡｢｣､･
    0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529, 0x2563, 0x2565, 0x2567, 0x2543,  // A6-AF
    0x213C,                                                                  // B0 ｰ
    0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B, 0x252D, 0x252F, 0x2531, 0x2533,  // B1-BA
    0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541, 0x2544, 0x2546, 0x2548,  // BB-C4
    0x254A, 0x254B, 0x254C, 0x254D, 0x254E, 0x254F, 0x2552, 0x2555, 0x2558, 0x255B,  // C5-CE
    0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569, 0x256A,  // CF-D8
    0x256B, 0x256C, 0x256D, 0x256F, 0x2573,                                  // D9-DD
    0x212B, 0x212C,                                                          // DE ﾞ, DF ﾟ
};

// Full-width JIS cell of kana K followed by the byte Next (0xDE ﾞ, 0xDF ﾟ or anything else);
// Combined tells whether Next was taken into the character.
std::uint16_t HalfKanaCell(u8 K, u8 Next, bool& Combined) {
    Combined = false;
    if (K < 0xA1 || K > 0xDF) return 0x222E;  // not a kana: 〓
    std::uint16_t cell = kHalfKana[K - 0xA1];
    if (Next == 0xDE) {
        if (K == 0xB3) cell = 0x2574, Combined = true;
        else if ((K >= 0xB6 && K <= 0xC4) || (K >= 0xCA && K <= 0xCE)) cell += 1, Combined = true;
    } else if (Next == 0xDF && K >= 0xCA && K <= 0xCE) {
        cell += 2, Combined = true;
    }
    return cell;
}

constexpr bool IsSjisTrail(u8 B) { return B >= 0x40 && B <= 0xFC && B != 0x7F; }
constexpr bool IsJis94(u8 B) { return B >= 0x21 && B <= 0x7E; }
constexpr bool IsEuc94(u8 B) { return B >= 0xA1 && B <= 0xFE; }

// The byte at 1-based position P of T; the byte after the text reads as 0.
inline u8 At(std::string_view T, std::size_t P) { return P >= 1 && P <= T.size() ? u8(T[P - 1]) : 0; }

enum class TJisMode { OneByte, Kanji, Kana };

void WriteEsc(TByteWriter& W, char A, char B) { W.Put3(0x1B, u8(A), u8(B)); }

// Steps over Text from I, straight into room made in W for a block of up to Block bytes (Room
// bytes for each byte of the text), while Step takes the characters: Step(I, Out) writes one at
// Out and answers the bytes it read, or 0 for a character the caller handles itself. Answers
// whether the text ended. The last character may start in the block and end past it: the room
// covers its bytes after the block too (a character has at most kMaxCharBytes).
constexpr std::size_t kMaxCharBytes = 4;
template <class TStep>
bool RunBlock(TByteWriter& W, std::string_view Text, std::size_t& I, std::size_t Room, TStep&& Step) {
    const std::size_t end = std::min(Text.size(), I + 65536);
    char* const out0 = W.Reserve(Room * (end - I + kMaxCharBytes - 1));
    char* out = out0;
    while (I < end) {
        const std::size_t used = Step(I, out);
        if (!used) break;
        I += used;
    }
    W.Commit(std::size_t(out - out0));
    return I >= Text.size();
}

}  // namespace

// ---------------------------------------------------------------- classifier

TCodeKind DetectCode(std::string_view Text) noexcept {
    const std::size_t L = Text.size();
    for (std::size_t p = 1; p <= std::min<std::size_t>(512, L == 0 ? 0 : L - 1); ++p) {
        u8 c = At(Text, p);
        if (c < 0x08 || c == 0xFF) return ckBinary;
    }
    TCodeKind kind = ckAscii;
    std::size_t p = 1;
    while ((kind == ckAscii || kind == ckEucOrSjis) && p < L) {
        u8 c = At(Text, p);
        if (c == 0x1B) {
            if (At(Text, p + 1) == 0x24) {
                u8 e = At(Text, p + 2);
                if (e == 0x42) kind = ckJis;
                else if (e == 0x40) kind = ckJisOld;
                p += 2;
            } else {
                p += 1;
            }
        } else if (c < 0x08 || c == 0xFF) {
            kind = ckBinary;
        } else if (c <= 0x7F) {
        } else if ((c >= 0x81 && c <= 0x8D) || (c >= 0x8F && c <= 0x9F)) {
            kind = ckSjis;
        } else if (c == 0x8E) {
            u8 d = At(Text, ++p);
            if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0) || (d >= 0xE0 && d <= 0xFC)) kind = ckSjis;
            else if (d >= 0xA1 && d <= 0xDF) kind = ckEucOrSjis;
        } else if (c >= 0xA1 && c <= 0xDF) {
            u8 d = At(Text, ++p);
            if (d >= 0xF0 && d <= 0xFE) {
                kind = ckEuc;
            } else if (d >= 0xA1 && d <= 0xDF) {
                kind = ckEucOrSjis;
            } else if (d >= 0xE0 && d <= 0xEF) {
                kind = ckEucOrSjis;
                while (p <= L && At(Text, p) >= 0x40) {
                    u8 e = At(Text, p);
                    if ((e >= 0x81 && e <= 0x8D) || (e >= 0x8F && e <= 0x9C)) {
                        kind = ckSjis;
                        break;
                    }
                    if (e == 0xFD || e == 0xFE) {
                        kind = ckEuc;
                        break;
                    }
                    ++p;
                }
            } else if (d <= 0x9F) {
                kind = ckSjis;
            }
        } else if (c >= 0xF0 && c <= 0xFE) {
            kind = ckEuc;
        } else if (c >= 0xE0 && c <= 0xEF) {
            u8 d = At(Text, ++p);
            if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0)) kind = ckSjis;
            else if (d == 0xFD || d == 0xFE) kind = ckEuc;
            else if (d >= 0xA1 && d <= 0xFC) kind = ckEucOrSjis;
        }
        ++p;
    }
    return kind;
}

std::string ConvertCode(std::string_view Text, TCodeKind Target) {
    TCodeKind source = DetectCode(Text);
    if (source == ckAscii || source == ckBinary || source == ckEucOrSjis || source == Target) return std::string(Text);
    if (source == ckJisOld) source = ckJis;
    if (source == Target) return std::string(Text);
    switch (Target) {
        case ckJis: return source == ckEuc ? EucToJis(Text) : SjisToJis(Text);
        case ckEuc: return source == ckJis ? JisToEuc(Text) : SjisToEuc(Text);
        case ckSjis: return source == ckJis ? JisToSjis(Text) : EucToSjis(Text);
        default: return std::string(Text);
    }
}

// ---------------------------------------------------------------- half-width kana

std::array<std::uint8_t, 2> SjisHalfKanaToJis(std::string_view Text, std::size_t& Pos) noexcept {
    bool combined;
    std::uint16_t cell = HalfKanaCell(At(Text, Pos), At(Text, Pos + 1), combined);
    Pos += combined ? 2 : 1;
    return {u8(cell >> 8), u8(cell)};
}

std::array<std::uint8_t, 2> EucHalfKanaToJis(std::string_view Text, std::size_t& Pos) noexcept {
    u8 k = At(Text, Pos + 1);
    if (k < 0xA1 || k > 0xDF) {  // a prefix without a kana: 〓, the prefix alone consumed
        Pos += 1;
        return {0x22, 0x2E};
    }
    u8 next = At(Text, Pos + 2) == 0x8E ? At(Text, Pos + 3) : 0;
    bool combined;
    std::uint16_t cell = HalfKanaCell(k, next, combined);
    Pos += combined ? 4 : 2;
    return {u8(cell >> 8), u8(cell)};
}

// ---------------------------------------------------------------- JIS readers

std::string JisToSjis(std::string_view Text, TCodeCounts* Counts, TJisDesignation* Seen) {
    TByteWriter w(Text.size());
    TCodeCounts counts;
    TJisDesignation seen;
    bool kanjiSeen = false, returnSeen = false;
    TJisMode mode = TJisMode::OneByte;
    const std::size_t n = Text.size();
    for (std::size_t i = 0; i < n;) {
        u8 c = u8(Text[i]);
        if (c == 0x1B && i + 2 < n) {
            u8 a = u8(Text[i + 1]), b = u8(Text[i + 2]);
            if (a == '$' && (b == 'B' || b == '@')) {
                mode = TJisMode::Kanji;
                if (!kanjiSeen) seen.Kanji = char(b), kanjiSeen = true;
                i += 3;
                continue;
            }
            if (a == '(' && (b == 'B' || b == 'J')) {
                mode = TJisMode::OneByte;
                if (!returnSeen) seen.Return = char(b), returnSeen = true;
                i += 3;
                continue;
            }
            if (a == '(' && b == 'I') {
                mode = TJisMode::Kana;
                seen.HalfKana = true;
                i += 3;
                continue;
            }
        }
        if (mode == TJisMode::Kanji && IsJis94(c)) {
            if (i + 1 < n && IsJis94(u8(Text[i + 1]))) {
                auto s = JisToSjisChar(c, u8(Text[i + 1]));
                w.Put2(s[0], s[1]);
                i += 2;
            } else {
                w.Put2(kGetaCode >> 8, kGetaCode & 0xFF);
                ++counts.Invalid;
                ++i;
            }
            continue;
        }
        if (mode == TJisMode::Kana && c >= 0x21 && c <= 0x5F) {
            w.Put(u8(c + 0x80));
            ++i;
            continue;
        }
        w.Put(c);  // one-byte mode, and controls and spaces inside any run
        ++i;
    }
    if (Counts) *Counts += counts;
    if (Seen) *Seen = seen;
    return w.Take();
}

std::string JisToEuc(std::string_view Text, TCodeCounts* Counts) {
    return SjisToEuc(JisToSjis(Text, Counts), Counts);
}

// ---------------------------------------------------------------- EUC-JP reader

std::string EucToSjis(std::string_view Text, TCodeCounts* Counts, TCharMap* Map) {
    TByteWriter w(Text.size());
    TCodeCounts counts;
    const TCp932Table* cp = nullptr;
    const std::size_t n = Text.size();
    const char* t = Text.data();
    auto invalid = [&] {
        w.Put2(kGetaCode >> 8, kGetaCode & 0xFF);
        ++counts.Invalid;
    };
    for (std::size_t i = 0; i < n;) {
        // ASCII and two-byte characters, the bulk of a text, straight into room made for a block.
        const bool ended = RunBlock(w, Text, i, 1, [&](std::size_t At, char*& Out) -> std::size_t {
            const u8 b = u8(t[At]);
            if (b < 0x80) {
                *Out++ = char(b);
                return 1;
            }
            if (!IsEuc94(b) || At + 1 >= n || !IsEuc94(u8(t[At + 1]))) return 0;
            const auto s = JisToSjisChar(b & 0x7F, u8(t[At + 1]) & 0x7F);
            Out[0] = char(s[0]);
            Out[1] = char(s[1]);
            Out += 2;
            return 2;
        });
        if (ended) break;
        u8 c = u8(t[i]);
        if (c < 0x80) {
            const std::size_t end = SkipAscii(t, i, n);
            w.Append(Text.substr(i, end - i));
            i = end;
        } else if (IsEuc94(c) && i + 1 < n && IsEuc94(u8(t[i + 1]))) {
            auto s = JisToSjisChar(c & 0x7F, u8(t[i + 1]) & 0x7F);
            w.Put2(s[0], s[1]);
            i += 2;
        } else if (c == 0x8E && i + 1 < n && u8(t[i + 1]) >= 0xA1 && u8(t[i + 1]) <= 0xDF) {
            w.Put(u8(t[i + 1]));
            i += 2;
        } else if (c == 0x8F && i + 2 < n && IsEuc94(u8(t[i + 1])) && IsEuc94(u8(t[i + 2]))) {
            // Three-byte form: the code page 932 character where it has one, else kept in the map.
            if (!cp) cp = &Cp932();
            std::uint16_t u = EucExtra().Decode[(u8(t[i + 1]) - 0xA1) * 94 + (u8(t[i + 2]) - 0xA1)];
            std::uint16_t code = u == kNoChar ? kNoCode : cp->Encode[u];
            if (code != kNoCode && code > 0xFF) {
                w.Put2(u8(code >> 8), u8(code));
                if (Map && IsUserAreaCode(code)) Map->MarkUsed(code);  // the text's own user-defined character
            } else if (u != kNoChar && Map && (code = Map->CodeFor(u)) != 0) {
                w.Put2(u8(code >> 8), u8(code));
                ++counts.Kept;
            } else {
                w.Put2(kGetaCode >> 8, kGetaCode & 0xFF);
                ++counts.Lost;
            }
            i += 3;
        } else {
            invalid();
            ++i;
        }
    }
    if (Counts) *Counts += counts;
    return w.Take();
}

std::string EucToJis(std::string_view Text, const TJisDesignation& Jis, TCodeCounts* Counts) {
    return SjisToJis(EucToSjis(Text, Counts), Jis, Counts);
}

// ---------------------------------------------------------------- Shift_JIS writers

std::string SjisToEuc(std::string_view Text, TCodeCounts* Counts, const TCharMap* Map) {
    TByteWriter w(Text.size() + Text.size() / 8);
    TCodeCounts counts;
    const TCp932Table* cp = nullptr;
    const std::size_t n = Text.size();
    const char* t = Text.data();
    auto lost = [&] {
        w.Put2(0xA2, 0xAE);  // 〓
        ++counts.Lost;
    };
    for (std::size_t i = 0; i < n;) {
        // ASCII, half-width kana and the JIS X 0208 square, the bulk of a text, straight into room
        // made for a block (at most two bytes for each).
        const bool ended = RunBlock(w, Text, i, 2, [&](std::size_t At, char*& Out) -> std::size_t {
            const u8 b = u8(t[At]);
            if (b < 0x80) {
                *Out++ = char(b);
                return 1;
            }
            if (b >= 0xA1 && b <= 0xDF) {
                Out[0] = char(0x8E);
                Out[1] = char(b);
                Out += 2;
                return 1;
            }
            if (!IsLeadByte(char(b)) || b > 0xEF || At + 1 >= n || !IsSjisTrail(u8(t[At + 1]))) return 0;
            const auto j = SjisToJisChar(b, u8(t[At + 1]));
            Out[0] = char(j[0] | 0x80);
            Out[1] = char(j[1] | 0x80);
            Out += 2;
            return 2;
        });
        if (ended) break;
        u8 c = u8(t[i]);
        if (c < 0x80) {
            w.Put(c);
            ++i;
            continue;
        }
        if (c >= 0xA1 && c <= 0xDF) {
            w.Put2(0x8E, c);
            ++i;
            continue;
        }
        if (!IsLeadByte(char(c)) || i + 1 >= n || !IsSjisTrail(u8(t[i + 1]))) {
            lost();
            ++i;
            continue;
        }
        u8 d = u8(t[i + 1]);
        i += 2;
        if (c <= 0xEF) {  // the JIS X 0208 square, NEC row 13 and the NEC-selected rows
            auto j = SjisToJisChar(c, d);
            w.Put2(j[0] | 0x80, j[1] | 0x80);
            continue;
        }
        // 0xF0-0xFC: user-defined area and IBM extensions lie outside the JIS square.
        if (!cp) cp = &Cp932();
        std::uint16_t code = std::uint16_t((c << 8) | d);
        char32_t u = Map ? Map->CharOf(code) : 0;
        // A user-defined code the map does not hold is the text's own: the second half of the
        // area has the three-byte forms 0x8F 0xF5A1-0xFEFE.
        if (!u && cp->Decode[code] != kNoChar) u = cp->Decode[code];
        std::uint16_t form = (u && u <= 0xFFFF) ? EucExtra().Encode[u] : 0;
        if (form) {
            w.Put3(0x8F, u8(form >> 8), u8(form));
        } else if (!IsUserAreaCode(code) && cp->IbmTwin[code]) {
            std::uint16_t twin = cp->IbmTwin[code];
            auto j = SjisToJisChar(u8(twin >> 8), u8(twin));
            w.Put2(j[0] | 0x80, j[1] | 0x80);
        } else {
            lost();
        }
    }
    if (Counts) *Counts += counts;
    return w.Take();
}

std::string SjisToJis(std::string_view Text, const TJisDesignation& Jis, TCodeCounts* Counts) {
    TByteWriter w(Text.size() + Text.size() / 4 + 8);
    TCodeCounts counts;
    const TCp932Table* cp = nullptr;
    TJisMode mode = TJisMode::OneByte;
    auto enter = [&](TJisMode m) {
        if (mode == m) return;
        if (m == TJisMode::Kanji) WriteEsc(w, '$', Jis.Kanji);
        else if (m == TJisMode::Kana) WriteEsc(w, '(', 'I');
        else WriteEsc(w, '(', Jis.Return);
        mode = m;
    };
    auto put2 = [&](u8 a, u8 b) {
        enter(TJisMode::Kanji);
        w.Put2(a, b);
    };
    const std::size_t n = Text.size();
    for (std::size_t i = 0; i < n;) {
        u8 c = u8(Text[i]);
        if (c < 0x80) {
            enter(TJisMode::OneByte);
            w.Put(c);
            ++i;
        } else if (c >= 0xA1 && c <= 0xDF) {
            if (Jis.HalfKana) {
                enter(TJisMode::Kana);
                w.Put(u8(c - 0x80));
                ++i;
            } else {
                std::size_t pos = i + 1;
                auto j = SjisHalfKanaToJis(Text, pos);
                put2(j[0], j[1]);
                i = pos - 1;
            }
        } else if (IsLeadByte(char(c)) && i + 1 < n && IsSjisTrail(u8(Text[i + 1]))) {
            std::uint16_t code = std::uint16_t((c << 8) | u8(Text[i + 1]));
            i += 2;
            if (c >= 0xF0) {
                if (!cp) cp = &Cp932();
                code = IsUserAreaCode(code) ? 0 : cp->IbmTwin[code];
                if (!code) {
                    put2(0x22, 0x2E);
                    ++counts.Lost;
                    continue;
                }
            }
            auto j = SjisToJisChar(u8(code >> 8), u8(code));
            put2(j[0], j[1]);
        } else {
            put2(0x22, 0x2E);
            ++counts.Lost;
            ++i;
        }
    }
    enter(TJisMode::OneByte);  // the text always ends in one-byte mode
    if (Counts) *Counts += counts;
    return w.Take();
}

// ---------------------------------------------------------------- line ends

TLineEndKind DetectLineEnd(std::string_view Text) noexcept {
    std::size_t p = Text.find_first_of("\r\n");
    if (p == std::string_view::npos) return leNone;
    if (Text[p] == '\n') return leLf;
    return (p + 1 < Text.size() && Text[p + 1] == '\n') ? leCrLf : leCr;
}

namespace {
std::string_view LineEndBytes(TLineEndKind K) {
    switch (K) {
        case leCrLf: return "\r\n";
        case leCr: return "\r";
        case leLf: return "\n";
        default: return "";
    }
}
}  // namespace

std::string ConvertLineEnd(std::string_view Text, TLineEndKind Target) {
    TLineEndKind source = DetectLineEnd(Text);
    if (source == leNone || source == Target) return std::string(Text);
    std::string_view from = LineEndBytes(source), to = LineEndBytes(Target);
    std::string out;
    out.reserve(Text.size() + Text.size() / 16);
    std::size_t start = 0;
    for (std::size_t p; (p = Text.find(from, start)) != std::string_view::npos; start = p + from.size()) {
        out.append(Text.substr(start, p - start));
        out.append(to);
    }
    out.append(Text.substr(start));
    return out;
}

std::string NormalizeLineEnds(std::string_view Text, TLineEndKind Target) {
    if (Target == leNone) return std::string(Text);
    const std::string_view to = LineEndBytes(Target);
    const char* p = Text.data();
    const char* const end = p + Text.size();
    TByteWriter w(Text.size() + Text.size() / 16);
    while (p < end) {
        const char* q = FindLineBreak(p, end);
        w.Append(std::string_view(p, std::size_t(q - p)));
        if (q == end) break;
        w.Append(to);
        p = q + ((*q == '\r' && q + 1 < end && q[1] == '\n') ? 2 : 1);
    }
    return w.Take();
}

}  // namespace orvane
