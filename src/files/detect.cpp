// Encoding detection: byte-order marks, escapes, strict validation and a likelihood of Japanese
// text for the candidates that validate.
#include "files/detect.h"

#include "files/bytescan.h"
#include "files/textcost.h"
#include "files/unicode.h"

#include <algorithm>
#include <cstring>

namespace orvane {

namespace {

using u8 = std::uint8_t;

// What a strict scan found: whether every character is one of the encoding, and the cost of the
// text's characters outside ASCII (lower: likelier Japanese text).
struct TScan {
    bool Valid = true;
    std::uint64_t Cost = 0;
};

TScan ScanSjis(std::string_view B) {
    const TTextCosts& t = TextCosts();
    const u8* s = reinterpret_cast<const u8*>(B.data());
    const std::size_t n = B.size();
    std::uint64_t cost = 0;
    bool half = false;  // the character before was a half-width kana
    for (std::size_t i = 0; i < n;) {
        const u8 c = s[i];
        if (c < 0x80) {
            i = SkipAscii(B.data(), i + 1, n);
            half = false;
            continue;
        }
        if (const unsigned row = t.SjisLead[c]; row != kNotLead) {
            if (i + 1 >= n) return {false, 0};
            const unsigned k = t.Sjis[row][s[i + 1]];
            if (k == kBadCost) return {false, 0};
            cost += k;
            half = false;
            i += 2;
            continue;
        }
        if (!IsHalfKana(c)) return {false, 0};
        cost += half ? kHalfKanaNext : kHalfKanaFirst;
        half = true;
        ++i;
    }
    return {true, cost};
}

TScan ScanEuc(std::string_view B) {
    const TTextCosts& t = TextCosts();
    const u8* s = reinterpret_cast<const u8*>(B.data());
    const std::size_t n = B.size();
    std::uint64_t cost = 0;
    bool half = false;
    for (std::size_t i = 0;;) {
        const std::size_t j = SkipAscii(B.data(), i, n);
        if (j != i) half = false, i = j;
        if (i >= n) break;
        const u8 c = s[i];
        if (IsEuc94(c)) {
            if (i + 1 >= n || !IsEuc94(s[i + 1])) return {false, 0};
            cost += t.Euc[(c - 0xA1) * 94 + (s[i + 1] - 0xA1)];
            half = false;
            i += 2;
        } else if (c == 0x8E) {
            if (i + 1 >= n || !IsHalfKana(s[i + 1])) return {false, 0};
            cost += half ? kHalfKanaNext : kHalfKanaFirst;
            half = true;
            i += 2;
        } else if (c == 0x8F) {
            if (i + 2 >= n || !IsEuc94(s[i + 1]) || !IsEuc94(s[i + 2])) return {false, 0};
            cost += EucExtraCost(s[i + 1], s[i + 2]);
            half = false;
            i += 3;
        } else {
            return {false, 0};
        }
    }
    return {true, cost};
}

enum class TUtf8Result { Valid, CutAtEnd, Invalid };

// Strict UTF-8 with at least one multibyte sequence; CutAtEnd when all is valid but the last
// character, which the end of the text cuts off.
TUtf8Result ScanUtf8(std::string_view B) {
    const char* s = B.data();
    const std::size_t n = B.size();
    bool multibyte = false;
    for (std::size_t i = 0;;) {
        i = SkipAscii(s, i, n);
        if (i >= n) return multibyte ? TUtf8Result::Valid : TUtf8Result::Invalid;
        const std::size_t len = Utf8SequenceLength(B, i);
        if (!len) {
            const bool cut = multibyte && i + BrokenUtf8Length(B, i) == n && n - i < Utf8LengthOfLead(u8(s[i]));
            return cut ? TUtf8Result::CutAtEnd : TUtf8Result::Invalid;
        }
        multibyte = true;
        i += len;
    }
}

// UTF-16 without a mark and without zero bytes: valid surrogates and nothing but kana, kanji and
// full-width forms, kana making up at least half.
bool KanaKanjiUtf16(std::string_view B, bool BigEndian) {
    if (B.size() < 2 || B.size() % 2) return false;
    const std::size_t units = B.size() / 2;
    std::size_t kana = 0;
    for (std::size_t k = 0; k < units; ++k) {
        const unsigned u = Utf16Unit(B, k, BigEndian);
        if (u >= 0x3000 && u <= 0x30FF) ++kana;
        else if (!((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF01 && u <= 0xFF9F))) return false;
    }
    return kana * 2 >= units;
}

// A text with zero bytes is read as UTF-16 when that reading is likelier text than the likeliest
// reading of its bytes one by one (Shift_JIS, EUC-JP or UTF-8, zero bytes counting as noise).
// Judged on the first kZeroSample bytes: a likelihood, not a validation.
constexpr std::size_t kZeroSample = 4 << 20;

int Utf16Order(std::string_view B) {
    const std::string_view sample = B.substr(0, kZeroSample & ~std::size_t(1));
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
    const char* s = B.data();
    const std::size_t n = B.size();
    if (StartsWith(B, "\xEF\xBB\xBF")) {
        d.Format.Bom = true;
        d.Binary = std::memchr(s, 0, n) != nullptr;
        return with(deUtf8, "bom");
    }
    if (StartsWith(B, "\xFF\xFE") || StartsWith(B, "\xFE\xFF")) {
        d.Format.Bom = true;
        d.Format.BigEndian = B[0] == '\xFE';
        return with(deUtf16, "bom");
    }
    const bool zeros = std::memchr(s, 0, n) != nullptr;
    if (zeros) {
        const int order = Utf16Order(B);
        if (order >= 0) {
            d.Format.BigEndian = order == 1;
            return with(deUtf16, "utf-16");
        }
        d.Binary = true;
    }
    if (SkipAscii(s, 0, n) == n) {
        for (const char* p = s; (p = static_cast<const char*>(std::memchr(p, 0x1B, n - std::size_t(p - s))));
             ++p) {
            std::string_view esc(p, std::min<std::size_t>(3, n - std::size_t(p - s)));
            if (esc == "\x1B$B" || esc == "\x1B$@" || esc == "\x1B(I") return with(deJis, "escapes");
        }
        // Plain 7-bit text reads the same in every byte encoding; UTF-16 would not.
        if (Default == deEuc || Default == deUtf8 || Default == deJis) return with(Default, "ascii");
        return with(deShiftJis, "ascii");
    }
    if (ScanUtf8(B) != TUtf8Result::Invalid) return with(deUtf8, "utf-8");
    if (!zeros) {
        if (KanaKanjiUtf16(B, false)) return with(deUtf16, "utf-16");
        if (KanaKanjiUtf16(B, true)) {
            d.Format.BigEndian = true;
            return with(deUtf16, "utf-16");
        }
    }
    const TScan euc = ScanEuc(B);
    const TScan sjis = ScanSjis(B);
    if (euc.Valid && sjis.Valid) {
        TDocumentEncoding declared = DeclaredEncoding(B);
        if (declared == deEuc || declared == deShiftJis) return with(declared, "declared");
        if (euc.Cost != sjis.Cost) return with(euc.Cost < sjis.Cost ? deEuc : deShiftJis, "score");
        return with(Default == deEuc ? deEuc : deShiftJis, "score");
    }
    if (euc.Valid) return with(deEuc, "score");
    if (sjis.Valid) return with(deShiftJis, "score");
    return with(deShiftJis, "fallback");
}

}  // namespace orvane
