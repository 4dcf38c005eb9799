// Code page 932 and EUC-JP three-byte tables, read once from glibc iconv.
#include "files/cp932.h"

#include "base/exceptions.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <vector>

namespace orvane {

namespace {

class TIconv {
public:
    TIconv(const char* To, const char* From) : FCd(iconv_open(To, From)) {
        if (FCd == reinterpret_cast<iconv_t>(-1))
            throw Exception(std::string("文字コード変換表を作れません: ") + From + " -> " + To);
    }
    ~TIconv() { iconv_close(FCd); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // Converts In completely; false when iconv refuses any of it.
    bool Convert(const char* In, std::size_t InLen, std::string& Out) {
        iconv(FCd, nullptr, nullptr, nullptr, nullptr);
        char buf[32];
        char* inp = const_cast<char*>(In);
        char* outp = buf;
        std::size_t inLeft = InLen, outLeft = sizeof buf;
        if (iconv(FCd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) return false;
        if (iconv(FCd, nullptr, nullptr, &outp, &outLeft) == static_cast<std::size_t>(-1)) return false;
        Out.assign(buf, outp);
        return inLeft == 0;
    }

private:
    iconv_t FCd;
};

// One BMP character from UTF-16LE bytes, or kNoChar when the bytes are not exactly one unit.
std::uint16_t OneUnit(const std::string& U16) {
    if (U16.size() != 2) return kNoChar;
    std::uint16_t u = std::uint16_t(std::uint8_t(U16[0]) | (std::uint8_t(U16[1]) << 8));
    return (u >= 0xD800 && u <= 0xDFFF) ? kNoChar : u;
}

std::string Utf16Le(std::uint16_t U) { return std::string{char(U & 0xFF), char(U >> 8)}; }

int TwinRank(std::uint16_t Code) {
    unsigned lead = Code >> 8;
    if (lead == 0xED || lead == 0xEE) return 2;
    if (lead == 0x87) return 1;
    return 0;
}

void BuildCp932(TCp932Table& T) {
    TIconv dec("UTF-16LE", "CP932");
    TIconv enc("CP932", "UTF-16LE");
    std::string out;
    for (int i = 0; i < 65536; ++i) T.Decode[i] = kNoChar;
    for (int b = 0; b < 256; ++b) {
        char c = char(b);
        if (dec.Convert(&c, 1, out)) T.Decode[b] = OneUnit(out);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead < 0xE0) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            char pair[2] = {char(lead), char(trail)};
            if (dec.Convert(pair, 2, out)) T.Decode[(lead << 8) | trail] = OneUnit(out);
        }
    }
    // Encode: the inverse of Decode; where several codes share a character, iconv's choice.
    std::vector<std::uint8_t> seen(65536, 0);
    for (int i = 0; i < 65536; ++i) T.Encode[i] = kNoCode;
    for (int code = 0; code < 65536; ++code) {
        std::uint16_t u = T.Decode[code];
        if (u == kNoChar) continue;
        if (seen[u]++ == 0) T.Encode[u] = std::uint16_t(code);
    }
    for (int u = 0; u < 65536; ++u) {
        if (seen[u] < 2) continue;
        std::string in = Utf16Le(std::uint16_t(u));
        if (!enc.Convert(in.data(), in.size(), out) || out.empty() || out.size() > 2) continue;
        std::uint16_t code = out.size() == 1 ? std::uint8_t(out[0])
                                             : std::uint16_t((std::uint8_t(out[0]) << 8) | std::uint8_t(out[1]));
        if (T.Decode[code] == u) T.Encode[u] = code;
    }
    for (int code = 0; code < 65536; ++code) {
        T.IbmTwin[code] = 0;
        std::uint16_t u = T.Decode[code];
        if (u == kNoChar) {
            T.Utf8[code] = 0;
            continue;
        }
        std::string s;
        AppendUtf8(s, u);
        std::uint32_t packed = std::uint32_t(s.size()) << 24;
        for (std::size_t k = 0; k < s.size(); ++k) packed |= std::uint32_t(std::uint8_t(s[k])) << (8 * k);
        T.Utf8[code] = packed;
    }
    // The twin of an IBM extension code: the same character elsewhere, JIS X 0208 first.
    std::vector<std::uint16_t> bestOf(65536, 0);
    for (int other = 0x8140; other < 0xFA40; ++other) {
        std::uint16_t u = T.Decode[other];
        if (u == kNoChar) continue;
        if (bestOf[u] == 0 || TwinRank(std::uint16_t(other)) < TwinRank(bestOf[u])) bestOf[u] = std::uint16_t(other);
    }
    for (int code = 0xFA40; code <= 0xFC4B; ++code)
        if (T.Decode[code] != kNoChar) T.IbmTwin[code] = bestOf[T.Decode[code]];
}

void BuildEucExtra(TEucExtraTable& T) {
    TIconv dec("UTF-16LE", "EUC-JP-MS");
    TIconv enc("EUC-JP-MS", "UTF-16LE");
    std::string out;
    for (int i = 0; i < 65536; ++i) T.Encode[i] = 0;
    for (int b1 = 0xA1; b1 <= 0xFE; ++b1) {
        for (int b2 = 0xA1; b2 <= 0xFE; ++b2) {
            int index = (b1 - 0xA1) * 94 + (b2 - 0xA1);
            T.Decode[index] = kNoChar;
            char form[3] = {char(0x8F), char(b1), char(b2)};
            if (!dec.Convert(form, 3, out)) continue;
            std::uint16_t u = OneUnit(out);
            if (u == kNoChar) continue;
            T.Decode[index] = u;
            // Only forms that iconv also writes for the character are used for writing.
            std::string in = Utf16Le(u);
            if (enc.Convert(in.data(), in.size(), out) && out == std::string(form, 3))
                T.Encode[u] = std::uint16_t((b1 << 8) | b2);
        }
    }
}

std::atomic<const TCp932Table*> gCp932{nullptr};  // the table Cp932 built, once it is there

}  // namespace

const TCp932Table& Cp932() {
    static std::once_flag once;
    static std::unique_ptr<TCp932Table> table;
    std::call_once(once, [] {
        auto t = std::make_unique<TCp932Table>();
        BuildCp932(*t);
        table = std::move(t);
        gCp932 = table.get();
    });
    return *table;
}

void WithCp932(const std::function<void(const TCp932Table&)>& Fn) {
    if (const TCp932Table* built = gCp932.load()) {
        Fn(*built);
        return;
    }
    auto t = std::make_unique<TCp932Table>();
    BuildCp932(*t);
    Fn(*t);
}

const TEucExtraTable& EucExtra() {
    static std::once_flag once;
    static std::unique_ptr<TEucExtraTable> table;
    std::call_once(once, [] {
        auto t = std::make_unique<TEucExtraTable>();
        BuildEucExtra(*t);
        table = std::move(t);
    });
    return *table;
}

void AppendUtf8(std::string& Out, char32_t C) {
    if (C < 0x80) {
        Out += char(C);
    } else if (C < 0x800) {
        Out += char(0xC0 | (C >> 6));
        Out += char(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += char(0xE0 | (C >> 12));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    } else {
        Out += char(0xF0 | (C >> 18));
        Out += char(0x80 | ((C >> 12) & 0x3F));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    }
}

}  // namespace orvane
