// Conversions between every pair of encodings agree with iconv wherever both define the
// character.
#include "files/charmap.h"
#include "files/cp932.h"
#include "files/doctext.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <vector>

namespace orvane {
namespace {

struct Encoding {
    const char* Iconv;
    TDocumentFormat Format;
};

std::vector<Encoding> Encodings() {
    auto f = [](TDocumentEncoding E, bool BigEndian = false) {
        TDocumentFormat r;
        r.Encoding = E;
        r.LineEnd = dlLf;
        r.BigEndian = BigEndian;
        r.Jis.Return = 'B';
        return r;
    };
    return {{"CP932", f(deShiftJis)}, {"EUC-JP-MS", f(deEuc)},  {"ISO-2022-JP", f(deJis)},
            {"UTF-8", f(deUtf8)},     {"UTF-16LE", f(deUtf16)}, {"UTF-16BE", f(deUtf16, true)}};
}

// iconv over a whole text; empty optional when it refuses any of it.
std::optional<std::string> Iconv(const char* To, const char* From, std::string_view In) {
    iconv_t cd = iconv_open(To, From);
    if (cd == iconv_t(-1)) return std::nullopt;
    std::string out(In.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(In.data());
    char* o = out.data();
    std::size_t inLeft = In.size(), outLeft = out.size();
    bool ok = iconv(cd, &in, &inLeft, &o, &outLeft) != std::size_t(-1) &&
              iconv(cd, nullptr, nullptr, &o, &outLeft) != std::size_t(-1);
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::string Utf8Of(char32_t C) {
    std::string s;
    AppendUtf8(s, C);
    return s;
}

// Characters our side converts without loss in this encoding (Unicode forms hold everything;
// the byte encodings hold what code page 932 holds, and EUC-JP its three-byte forms too; the
// user-defined area has no agreed EUC-JP form).
bool OursDefines(TDocumentEncoding E, char32_t C) {
    if (E == deUtf8 || E == deUtf16) return true;
    if (C > 0xFFFF) return false;
    std::uint16_t code = Cp932().Encode[C];
    if (code != kNoCode && IsUserAreaCode(code)) return E != deEuc;
    if (E == deEuc) return code != kNoCode || EucExtra().Encode[C];
    return code != kNoCode;
}

bool IsByteEncodingFromJis(TDocumentEncoding E) { return E == deEuc || E == deJis; }
bool IsUnicode(TDocumentEncoding E) { return E == deUtf8 || E == deUtf16; }
bool IsCodePageForm(char32_t C) {
    for (const TJisTableChar& t : kJisTableChars)
        if (t.Read && t.CodePage == C) return true;
    return false;
}

TEST(IconvAgreement, EveryPairOfEncodings) {
    std::vector<char32_t> repertoire;
    for (char32_t c = 0x20; c < 0x10000; ++c)
        if (c != 0x7F && (c < 0xD800 || c > 0xDFFF)) repertoire.push_back(c);
    for (char32_t c : {U'😀', U'𠮷', U'\U0010FFFD'}) repertoire.push_back(c);

    const auto encodings = Encodings();
    // Which characters iconv takes to each encoding and back unchanged.
    std::vector<std::vector<bool>> iconvDefines(encodings.size(), std::vector<bool>(repertoire.size()));
    for (std::size_t e = 0; e < encodings.size(); ++e)
        for (std::size_t k = 0; k < repertoire.size(); ++k) {
            std::string u = Utf8Of(repertoire[k]);
            auto there = Iconv(encodings[e].Iconv, "UTF-8", u);
            iconvDefines[e][k] = there && !there->empty() && Iconv("UTF-8", encodings[e].Iconv, *there) == u;
        }

    for (std::size_t a = 0; a < encodings.size(); ++a)
        for (std::size_t b = 0; b < encodings.size(); ++b) {
            const Encoding &from = encodings[a], &to = encodings[b];
            SCOPED_TRACE(std::string(from.Iconv) + " -> " + to.Iconv);
            std::string text;
            std::size_t count = 0, kept = 0;
            for (std::size_t k = 0; k < repertoire.size(); ++k) {
                char32_t c = repertoire[k];
                if (!iconvDefines[a][k] || !iconvDefines[b][k] || !OursDefines(from.Format.Encoding, c) ||
                    !OursDefines(to.Format.Encoding, c))
                    continue;
                // EUC-JP and JIS files mean the JIS table's 〜 where iconv's EUC-JP-MS reads ～,
                // and so on (checked on their own elsewhere).
                if (IsByteEncodingFromJis(from.Format.Encoding) && IsUnicode(to.Format.Encoding) && IsCodePageForm(c))
                    continue;
                // The user-defined area holds at most 1,880 characters, the text's own and those
                // kept from outside the code page together: take a spread of both.
                if (c > 0xFFFF || Cp932().Encode[c] == kNoCode || IsUserAreaCode(Cp932().Encode[c]))
                    if (kept++ % 37 != 0) continue;
                text += Utf8Of(c);
                if (++count % 32 == 0) text += '\n';
            }
            text += '\n';
            EXPECT_GT(count, 6000u);
            auto source = Iconv(from.Iconv, "UTF-8", text);
            auto expected = Iconv(to.Iconv, "UTF-8", text);
            ASSERT_TRUE(source && expected);
            TDocumentText d = DecodeDocument(*source, from.Format.Encoding);
            EXPECT_EQ(d.Report.Invalid + d.Report.Lost, 0u);
            TEncoded ours = EncodeDocument(d.Text, to.Format, &d.Map);
            EXPECT_EQ(ours.Lost, 0u);
            if (ours.Bytes != *expected) {
                // Name the first character that differs.
                std::size_t i = 0;
                while (i < ours.Bytes.size() && i < expected->size() && ours.Bytes[i] == (*expected)[i]) ++i;
                ADD_FAILURE() << "differs at byte " << i << " of " << expected->size() << ": ours "
                              << testing::PrintToString(ours.Bytes.substr(i > 4 ? i - 4 : 0, 12)) << ", iconv "
                              << testing::PrintToString(expected->substr(i > 4 ? i - 4 : 0, 12));
            }
        }
}

}  // namespace
}  // namespace orvane
