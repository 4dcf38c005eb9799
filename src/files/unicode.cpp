// UTF-8 and UTF-16 against Shift_JIS through the code page 932 table.
#include "files/unicode.h"

#include "files/bytescan.h"

#include "base/dbcs.h"
#include "files/bytewriter.h"
#include "files/cp932.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace orvane {

namespace {

using u8 = std::uint8_t;

// Writes one character read from a Unicode file into Shift_JIS.
struct TSjisSink {
    TByteWriter& W;
    const TCp932Table& T;
    TCharMap* Map;
    TCodeCounts& Counts;

    void Char(char32_t C) {
        std::uint16_t code = C <= 0xFFFF ? T.Encode[C] : kNoCode;
        if (code != kNoCode) {
            if (code <= 0xFF) {
                W.Put(u8(code));
            } else {
                W.Put2(u8(code >> 8), u8(code));
                if (Map && IsUserAreaCode(code)) Map->MarkUsed(code);
            }
            return;
        }
        code = Map ? Map->CodeFor(C) : 0;
        if (code) {
            W.Put2(u8(code >> 8), u8(code));
            ++Counts.Kept;
        } else {
            W.Put2(kGetaCode >> 8, kGetaCode & 0xFF);
            ++Counts.Lost;
        }
    }
    void Invalid() {
        ++Counts.Invalid;
        std::uint16_t code = Map ? Map->CodeFor(0xFFFD) : 0;
        if (code) W.Put2(u8(code >> 8), u8(code));
        else W.Put2(kGetaCode >> 8, kGetaCode & 0xFF);
    }
};

}  // namespace

std::string Utf8ToSjis(std::string_view Utf8, TCharMap* Map, TCodeCounts* Counts) {
    TByteWriter w(Utf8.size());
    AppendUtf8AsSjis(w, Utf8, Map, Counts);
    return w.Take();
}

void AppendUtf8AsSjis(TByteWriter& w, std::string_view Utf8, TCharMap* Map, TCodeCounts* Counts) {
    const TCp932Table& t = Cp932();
    TCodeCounts counts;
    TSjisSink sink{w, t, Map, counts};
    const std::size_t n = Utf8.size();
    const char* s = Utf8.data();
    std::size_t i = 0;
    while (i < n) {
        // A run of ASCII, eight bytes at a time.
        std::size_t start = i;
        i = SkipAscii(s, i, n);
        if (i > start) w.Append(Utf8.substr(start, i - start));
        if (i >= n) break;
        // A run of three-byte sequences for two-byte codes (kana and kanji), straight through.
        while (i + 3 <= n) {
            const unsigned c0 = u8(s[i]), c1 = u8(s[i + 1]), c2 = u8(s[i + 2]);
            if ((c0 & 0xF0) != 0xE0 || (c1 & 0xC0) != 0x80 || (c2 & 0xC0) != 0x80) break;
            const char32_t ch = char32_t(c0 & 0x0F) << 12 | char32_t(c1 & 0x3F) << 6 | (c2 & 0x3F);
            if (ch < 0x800 || (ch >= 0xD800 && ch <= 0xDFFF)) break;  // overlong or a surrogate
            const std::uint16_t code = t.Encode[ch];
            if (code == kNoCode || code <= 0xFF || IsUserAreaCode(code)) break;
            w.Put2(u8(code >> 8), u8(code));
            i += 3;
        }
        if (i >= n) break;
        if (u8(s[i]) < 0x80) continue;
        std::size_t len = Utf8SequenceLength(Utf8, i);
        u8 c = u8(s[i]);
        char32_t ch;
        switch (len) {
            case 2: ch = char32_t(c & 0x1F) << 6 | (u8(s[i + 1]) & 0x3F); break;
            case 3: ch = char32_t(c & 0x0F) << 12 | char32_t(u8(s[i + 1]) & 0x3F) << 6 | (u8(s[i + 2]) & 0x3F); break;
            case 4:
                ch = char32_t(c & 0x07) << 18 | char32_t(u8(s[i + 1]) & 0x3F) << 12 | char32_t(u8(s[i + 2]) & 0x3F) << 6 |
                     (u8(s[i + 3]) & 0x3F);
                break;
            default:
                sink.Invalid();
                i += BrokenUtf8Length(Utf8, i);
                continue;
        }
        sink.Char(ch);
        i += len;
    }
    if (Counts) *Counts += counts;
}

std::string Utf16ToSjis(std::string_view Bytes, bool BigEndian, TCharMap* Map, TCodeCounts* Counts) {
    TByteWriter w(Bytes.size());
    AppendUtf16AsSjis(w, Bytes, BigEndian, Map, Counts);
    return w.Take();
}

void AppendUtf16AsSjis(TByteWriter& w, std::string_view Bytes, bool BigEndian, TCharMap* Map, TCodeCounts* Counts) {
    const TCp932Table& t = Cp932();
    TCodeCounts counts;
    TSjisSink sink{w, t, Map, counts};
    const std::size_t units = Bytes.size() / 2;
    auto unit = [&](std::size_t k) -> char32_t {
        u8 a = u8(Bytes[2 * k]), b = u8(Bytes[2 * k + 1]);
        return BigEndian ? char32_t(a) << 8 | b : char32_t(b) << 8 | a;
    };
    for (std::size_t k = 0; k < units; ++k) {
        char32_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
            char32_t v = unit(k + 1);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                sink.Char(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                ++k;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) sink.Invalid();
        else sink.Char(u);
    }
    if (Bytes.size() % 2) sink.Invalid();
    if (Counts) *Counts += counts;
}

namespace {

// Calls Out(char32_t) for every character of a Shift_JIS text; U+FFFD (counted Lost) for bytes
// that are no character of the code page.
template <class F>
void ForEachSjisChar(std::string_view Sjis, const TCharMap* Map, TCodeCounts& Counts, F&& Out) {
    const TCp932Table& t = Cp932();
    const std::size_t n = Sjis.size();
    for (std::size_t i = 0; i < n;) {
        u8 c = u8(Sjis[i]);
        if (IsLeadByte(char(c)) && i + 1 < n) {
            std::uint16_t code = std::uint16_t(c << 8 | u8(Sjis[i + 1]));
            char32_t ch = Map ? Map->CharOf(code) : 0;
            if (!ch && Map && Map->JisTable()) ch = JisTableChar(code);
            if (!ch) ch = t.Decode[code] == kNoChar ? 0 : t.Decode[code];
            if (ch) {
                Out(ch);
                i += 2;
                continue;
            }
            // An undefined pair: the lead byte alone is lost; the next byte starts afresh.
        } else if (t.Decode[c] != kNoChar) {
            Out(char32_t(t.Decode[c]));
            ++i;
            continue;
        }
        ++Counts.Lost;
        Out(0xFFFD);
        ++i;
    }
}

}  // namespace

std::string SjisToUtf8(std::string_view Sjis, const TCharMap* Map, TCodeCounts* Counts) {
    return SjisToUtf8(Sjis, Map, Counts, {});
}

std::string SjisToUtf8(std::string_view Sjis, const TCharMap* Map, TCodeCounts* Counts, std::string_view Prefix) {
    const TCp932Table& t = Cp932();
    // Room for the text as mostly two-byte characters, and for the longest output of one block;
    // no more, so that converting a short line does not clear a large buffer.
    TByteWriter w(Prefix.size() + Sjis.size() + Sjis.size() / 2 + 3 * std::min<std::size_t>(Sjis.size(), 65536) + 8);
    w.Append(Prefix);
    TCodeCounts counts;
    const std::size_t n = Sjis.size();
    const char* s = Sjis.data();
    const bool checkMap = Map && (!Map->Empty() || Map->JisTable());
    const bool jisTable = Map && Map->JisTable();
    std::size_t i = 0;
    // Fast path, a block at a time with room for the longest output: table lookups straight into
    // UTF-8. It stops at the first code that is a map code or no character.
    constexpr std::size_t kBlock = 65536;
    bool slow = false;
    while (i < n && !slow) {
        const std::size_t end = std::min(n, i + kBlock);
        char* const out0 = w.Reserve((end - i) * 3 + 8);
        char* out = out0;
#if defined(__SSE2__)
        // Blocks of 64 bytes with their character starts found at once, so that no character's
        // look-up waits for the one before; a block of ASCII is a copy. A block with a code
        // that is no character (or a map code) is left to the steps below.
        const std::uint8_t* const b = reinterpret_cast<const std::uint8_t*>(s);
        while (!checkMap && i + 64 < end) {
            const TBlockMasks m = BlockMasks(b + i);
            if (!m.High) {
                std::memcpy(out, s + i, 64);
                out += 64;
                i += 64;
                continue;
            }
            const std::uint64_t starts = ~SecondBytes(m.Lead), leads = m.Lead & starts;
            char* const blockOut = out;
            bool bad = false;
            for (std::uint64_t left = starts; left; left &= left - 1) {
                const unsigned k = unsigned(std::countr_zero(left));
                // Arithmetic, not a branch, on whether a pair starts here: ASCII and pairs mix.
                const unsigned pair = unsigned(leads >> k) & 1, first = b[i + k], second = b[i + k + 1];
                const std::uint32_t packed = t.Utf8[first << (8 * pair) | (second & (0u - pair))];
                bad |= !packed;
                std::memcpy(out, &packed, 4);  // little-endian: the first byte lowest
                out += packed >> 24;
            }
            if (bad) {
                out = blockOut;
                break;
            }
            i += 64 + (leads >> 63);  // a pair at the last byte ends in the next block
        }
#endif
        // One step for ASCII and two-byte codes alike, without a branch on which it is: the
        // table has the UTF-8 of single bytes too.
        while (i < end) {
            const unsigned c = u8(s[i]);
            const unsigned next = u8(s[std::min(i + 1, n - 1)]);
            const bool pair = IsLeadByte(char(c)) && i + 1 < n;
            const std::uint16_t code = std::uint16_t(pair ? c << 8 | next : c);
            std::uint32_t packed = t.Utf8[code];
            // Map codes and the JIS table's characters are left to the steps below.
            if (checkMap && pair && ((IsUserAreaCode(code) && Map->CharOf(code)) || (jisTable && JisTableChar(code))))
                packed = 0;
            if (!packed) {
                slow = true;
                break;
            }
            std::memcpy(out, &packed, 4);  // little-endian: the first byte lowest
            out += packed >> 24;
            i += 1 + pair;
        }
        w.Commit(std::size_t(out - out0));
    }
    if (slow) {
        std::string tail;
        ForEachSjisChar(Sjis.substr(i), Map, counts, [&](char32_t ch) {
            if (ch < 0x80) {
                w.Put(u8(ch));
            } else {
                tail.clear();
                AppendUtf8(tail, ch);
                w.Append(tail);
            }
        });
    }
    if (Counts) *Counts += counts;
    return w.Take();
}

std::string SjisToUtf16(std::string_view Sjis, bool BigEndian, const TCharMap* Map, TCodeCounts* Counts) {
    TByteWriter w(Sjis.size() * 2);
    TCodeCounts counts;
    auto unit = [&](char32_t u) {
        if (BigEndian) w.Put2(u8(u >> 8), u8(u));
        else w.Put2(u8(u), u8(u >> 8));
    };
    ForEachSjisChar(Sjis, Map, counts, [&](char32_t ch) {
        if (ch >= 0x10000) {
            unit(0xD800 + ((ch - 0x10000) >> 10));
            unit(0xDC00 + ((ch - 0x10000) & 0x3FF));
        } else {
            unit(ch);
        }
    });
    if (Counts) *Counts += counts;
    return w.Take();
}

}  // namespace orvane
