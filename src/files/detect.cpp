// Encoding detection: byte-order marks, escapes, strict validation and a Japanese score.
#include "files/detect.h"

#include "base/dbcs.h"
#include "files/bytescan.h"
#include "files/cp932.h"
#include "files/unicode.h"

#include <cstring>
#include <memory>
#include <mutex>

namespace orvane {

namespace {

using u8 = std::uint8_t;

constexpr std::int8_t kInvalid = -128;

// Score of each Shift_JIS code as Japanese text; kInvalid where the code page has no character.
// Kana weigh most, kanji a little, rare areas count against.
const std::int8_t* SjisWeights() {
    static std::once_flag once;
    static std::unique_ptr<std::int8_t[]> table;
    std::call_once(once, [] {
        const TCp932Table& t = Cp932();
        auto w = std::make_unique<std::int8_t[]>(65536);
        for (int code = 0; code < 65536; ++code) {
            std::int8_t v = kInvalid;
            if (t.Decode[code] != kNoChar) {
                int lead = code >> 8;
                v = 0;
                if (code >= 0x829F && code <= 0x82F1) v = 3;                 // hiragana
                else if (code >= 0x8340 && code <= 0x8396) v = 2;            // katakana
                else if (code == 0x8141 || code == 0x8142 || code == 0x8175 || code == 0x8176 || code == 0x815B)
                    v = 2;                                                   // 、。「」ー
                else if ((code >= 0x889F && code <= 0x9FFC) || (code >= 0xE040 && code <= 0xEAA4)) v = 1;  // kanji
                else if (lead >= 0xF0 && lead <= 0xF9) v = -4;               // user-defined
                else if (lead == 0x87) v = -1;                               // NEC row 13
                else if (code >= 0xFA5C && code <= 0xFC4B) v = 1;            // IBM extension kanji
                else if (lead == 0xED || lead == 0xEE || lead >= 0xFA) v = -2;  // NEC-selected, IBM
                else if (code >= 0xA1 && code <= 0xDF) v = -1;               // half-width kana
            }
            w[code] = v;
        }
        table = std::move(w);
    });
    return table.get();
}

struct TScan {
    bool Valid = true;
    long long Score = 0;
    std::size_t Special = 0;  // Shift_JIS: two-byte characters; EUC-JP: kana
};


TScan ScanSjis(std::string_view B, bool WantScore) {
    const std::int8_t* w = SjisWeights();
    const char* s = B.data();
    const std::size_t n = B.size();
    long long score = 0;
    std::size_t twoByte = 0;
    for (std::size_t i = 0; i < n;) {
        u8 c = u8(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::int8_t v;
        if (IsLeadByte(char(c))) {
            if (i + 1 >= n) return {false, 0};
            v = w[(c << 8) | u8(s[i + 1])];
            ++twoByte;
            i += 2;
        } else {
            v = w[c];
            ++i;
        }
        if (v == kInvalid) return {false, 0};
        if (WantScore) score += v;
    }
    return {true, score, twoByte};
}

TScan ScanEuc(std::string_view B) {
    const std::int8_t* w = SjisWeights();
    const char* s = B.data();
    const std::size_t n = B.size();
    long long score = 0;
    std::size_t kana = 0;
    auto in94 = [](u8 x) { return x >= 0xA1 && x <= 0xFE; };
    for (std::size_t i = 0;;) {
        i = SkipAscii(s, i, n);
        if (i >= n) break;
        u8 c = u8(s[i]);
        if (in94(c)) {
            if (i + 1 >= n || !in94(u8(s[i + 1]))) return {false, 0};
            // Score through the Shift_JIS code of the same JIS cell.
            unsigned j1 = c & 0x7F, j2 = u8(s[i + 1]) & 0x7F;
            unsigned b1 = ((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0);
            unsigned b2 = (j1 & 1) == 0 ? j2 + 0x7E : (j2 < 0x60 ? j2 + 0x1F : j2 + 0x20);
            std::int8_t v = w[(b1 << 8) | b2];
            score += v == kInvalid ? -4 : v;  // an empty cell: possible, but unlikely text
            if (c == 0xA4 || c == 0xA5) ++kana;
            i += 2;
        } else if (c == 0x8E) {
            if (i + 1 >= n || u8(s[i + 1]) < 0xA1 || u8(s[i + 1]) > 0xDF) return {false, 0};
            score -= 1;
            i += 2;
        } else if (c == 0x8F) {
            if (i + 2 >= n || !in94(u8(s[i + 1])) || !in94(u8(s[i + 2]))) return {false, 0};
            score -= 2;
            i += 3;
        } else {
            return {false, 0};
        }
    }
    return {true, score, kana};
}

bool ValidUtf8(std::string_view B) {
    const char* s = B.data();
    const std::size_t n = B.size();
    for (std::size_t i = 0;;) {
        i = SkipAscii(s, i, n);
        if (i >= n) return true;
        std::size_t len = Utf8SequenceLength(B, i);
        if (!len) return false;
        i += len;
    }
}

// UTF-16 without a mark: valid surrogates and either zero bytes on one side only, or nothing but
// kana, kanji and full-width forms with kana making up at least half.
bool LooksUtf16(std::string_view B, bool BigEndian, bool ZeroPattern) {
    if (B.size() < 2 || B.size() % 2) return false;
    std::size_t units = B.size() / 2, kana = 0;
    for (std::size_t k = 0; k < units; ++k) {
        u8 a = u8(B[2 * k]), b = u8(B[2 * k + 1]);
        unsigned u = BigEndian ? (a << 8 | b) : (b << 8 | a);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (k + 1 >= units) return false;
            u8 c = u8(B[2 * k + 2]), d = u8(B[2 * k + 3]);
            unsigned v = BigEndian ? (c << 8 | d) : (d << 8 | c);
            if (v < 0xDC00 || v > 0xDFFF) return false;
            ++k;
            continue;
        }
        if (u >= 0xDC00 && u <= 0xDFFF) return false;
        if (ZeroPattern) continue;
        if (u >= 0x3000 && u <= 0x30FF) ++kana;
        else if (!((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF01 && u <= 0xFF9F))) return false;
    }
    return ZeroPattern || kana * 2 >= units;
}

bool StartsWith(std::string_view B, std::string_view P) { return B.substr(0, P.size()) == P; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
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
    TDetection d;
    auto with = [&](TDocumentEncoding E, std::string_view Reason) {
        d.Format.Encoding = E;
        d.Reason = Reason;
        return d;
    };
    if (StartsWith(B, "\xEF\xBB\xBF")) {
        d.Format.Bom = true;
        return with(deUtf8, "bom");
    }
    if (StartsWith(B, "\xFF\xFE") || StartsWith(B, "\xFE\xFF")) {
        d.Format.Bom = true;
        d.Format.BigEndian = B[0] == '\xFE';
        return with(deUtf16, "bom");
    }
    const char* s = B.data();
    const std::size_t n = B.size();
    bool eightBit = SkipAscii(s, 0, n) < n;
    const void* firstZero = std::memchr(s, 0, n);
    if (firstZero) {
        std::size_t zeros[2] = {0, 0};
        for (std::size_t i = std::size_t(static_cast<const char*>(firstZero) - s); i < n; ++i)
            if (s[i] == 0) ++zeros[i & 1];
        std::size_t all = zeros[0] + zeros[1];
        // Little-endian text puts the zero high bytes of ASCII at odd positions.
        if (zeros[1] * 10 >= all * 9 && LooksUtf16(B, false, true)) return with(deUtf16, "utf-16");
        if (zeros[0] * 10 >= all * 9 && LooksUtf16(B, true, true)) {
            d.Format.BigEndian = true;
            return with(deUtf16, "utf-16");
        }
        d.Binary = true;
    }
    if (!eightBit) {
        for (const char* p = s; (p = static_cast<const char*>(std::memchr(p, 0x1B, n - std::size_t(p - s))));
             ++p) {
            std::string_view esc(p, std::min<std::size_t>(3, n - std::size_t(p - s)));
            if (esc == "\x1B$B" || esc == "\x1B$@" || esc == "\x1B(I") return with(deJis, "escapes");
        }
        // Plain 7-bit text reads the same in every byte encoding; UTF-16 would not.
        if (Default == deEuc || Default == deUtf8 || Default == deJis) return with(Default, "ascii");
        return with(deShiftJis, "ascii");
    }
    if (ValidUtf8(B)) return with(deUtf8, "utf-8");
    if (!firstZero) {
        if (LooksUtf16(B, false, false)) return with(deUtf16, "utf-16");
        if (LooksUtf16(B, true, false)) {
            d.Format.BigEndian = true;
            return with(deUtf16, "utf-16");
        }
    }
    TScan euc = ScanEuc(B);
    TScan sjis = ScanSjis(B, euc.Valid);
    if (euc.Valid && sjis.Valid) {
        TDocumentEncoding declared = DeclaredEncoding(B);
        if (declared == deEuc || declared == deShiftJis) return with(declared, "declared");
        // Half-width kana alone read as EUC-JP give kanji without a single kana: Shift_JIS.
        if (sjis.Special == 0 && euc.Special == 0) return with(deShiftJis, "score");
        if (euc.Score != sjis.Score) return with(euc.Score > sjis.Score ? deEuc : deShiftJis, "score");
        return with(Default == deEuc ? deEuc : deShiftJis, "score");
    }
    if (euc.Valid) return with(deEuc, "score");
    if (sjis.Valid) return with(deShiftJis, "score");
    return with(deShiftJis, "fallback");
}

}  // namespace orvane
