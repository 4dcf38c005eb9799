// Encoding detection over short and long samples of every encoding.
#include "files/detect.h"
#include "base/dbcs.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <vector>

namespace orvane {
namespace {

using test::sj;

std::string To(const char* Code, std::string_view Utf8) {
    iconv_t cd = iconv_open(Code, "UTF-8");
    std::string out(Utf8.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(Utf8.data());
    char* o = out.data();
    std::size_t inLeft = Utf8.size(), outLeft = out.size();
    std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    if (r != std::size_t(-1)) iconv(cd, nullptr, nullptr, &o, &outLeft);
    iconv_close(cd);
    if (r == std::size_t(-1)) throw std::runtime_error("iconv refused the sample");
    out.resize(out.size() - outLeft);
    return out;
}

std::string Repeat(std::string_view S, int N) {
    std::string r;
    for (int i = 0; i < N; ++i) r += S;
    return r;
}

const std::string kShort = "あいうえお";
const std::string kLong = Repeat("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。\n", 20);

TEST(DetectEncoding, RecognisesEverySampleOfEveryEncoding) {
    struct Case {
        std::string Name;
        std::string Bytes;
        TDocumentEncoding Encoding;
        bool Bom = false, BigEndian = false, Binary = false;
    } cases[] = {
        {"sjis short", To("CP932", kShort), deShiftJis},
        {"sjis long", To("CP932", kLong), deShiftJis},
        {"sjis one kanji", To("CP932", "漢"), deShiftJis},
        {"sjis half-width kana only", "\xB1\xB2\xB3\xB4\xB5", deShiftJis},
        {"sjis half-width kana pair", "\xB1\xB2", deShiftJis},
        {"sjis leading IBM kanji", To("CP932", "髙橋です"), deShiftJis},
        {"sjis leading IBM kanji alone", To("CP932", "髙"), deShiftJis},
        {"euc short", To("EUC-JP-MS", kShort), deEuc},
        {"euc two characters", To("EUC-JP-MS", "あい"), deEuc},
        {"euc long", To("EUC-JP-MS", kLong), deEuc},
        {"euc with a JIS X 0212 character", To("EUC-JP-MS", "丂です"), deEuc},
        {"jis short", To("ISO-2022-JP", kShort), deJis},
        {"jis long", To("ISO-2022-JP", kLong), deJis},
        {"utf-8 without bom, short", kShort, deUtf8},
        {"utf-8 without bom, one Latin letter", "caf\xC3\xA9", deUtf8},
        {"utf-8 without bom, long", kLong, deUtf8},
        {"utf-8 bom", "\xEF\xBB\xBF" + kShort, deUtf8, true},
        {"utf-8 bom, four-byte character first", "\xEF\xBB\xBF\xF0\x9F\x98\x80\xFF", deUtf8, true},
        {"utf-16le bom", "\xFF\xFE" + To("UTF-16LE", kShort), deUtf16, true},
        {"utf-16be bom", "\xFE\xFF" + To("UTF-16BE", kLong), deUtf16, true, true},
        {"empty utf-16be", "\xFE\xFF", deUtf16, true, true},
        {"utf-16le without bom, with ASCII", To("UTF-16LE", "テスト\r\n"), deUtf16},
        {"utf-16be without bom, long", To("UTF-16BE", kLong), deUtf16, false, true},
        {"utf-16le without bom, kana only", To("UTF-16LE", "テスト"), deUtf16},
        {"plain ASCII", "hello\n", deShiftJis},
        {"binary", std::string("\x7F" "ELF\x02\x01\x01\0\0\0\x82\xA0", 12), deShiftJis, false, false, true},
        // Zero bytes: UTF-16 only where that reading is likelier text than the bytes one by one.
        {"sjis with a stray zero byte", To("CP932", "日本語のテキスト") + std::string("\0a", 2), deShiftJis, false,
         false, true},
        {"log line with a stray zero byte", std::string("2024-05-01 12:00:07 disk error\0\n", 32), deShiftJis, false,
         false, true},
        {"jis with a stray zero byte", To("ISO-2022-JP", kShort) + std::string("\0\n", 2), deJis, false, false, true},
        {"utf-16le without bom, zero bytes on both sides", To("UTF-16LE", "一　二、三\r\n" + kLong), deUtf16},
        {"utf-16be without bom, zero bytes on both sides", To("UTF-16BE", "一　あ\n"), deUtf16, false, true},
        {"utf-8 bom with a zero byte", std::string("\xEF\xBB\xBF" "a\0b", 6), deUtf8, true, false, true},
        // Zero units and code points no text has make a UTF-16 reading unlikely.
        {"small binary file", std::string("\0a\0\r\n\0\0b\r\n\0\0", 12), deShiftJis, false, false, true},
        {"zeros between ASCII pairs", std::string("ab\0\0cd\0\0ef\0\0", 12), deShiftJis, false, false, true},
        // Valid both as Shift_JIS and as EUC-JP: the likelier Japanese text wins.
        {"euc ASCII and two kanji", To("EUC-JP-MS", "abc学校"), deEuc},
        {"euc one kanji after ASCII", To("EUC-JP-MS", "3人"), deEuc},
        {"euc half-width kana only", To("EUC-JP-MS", "ｱｲｳｴｵ\n"), deEuc},
        {"euc one half-width kana", To("EUC-JP-MS", "ﾃ"), deEuc},
        {"sjis half-width kana word", To("CP932", "ﾃｽﾄ ﾃﾞｰﾀ\r\n"), deShiftJis},
        // The last character cut off: still UTF-8 (the reader reports the broken end).
        {"utf-8 cut off at the end", kShort + "\xE3\x81", deUtf8},
        {"utf-8 cut off after a long text", kLong + "\xF0\x9F\x98", deUtf8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TDetection d = DetectEncoding(c.Bytes);
        EXPECT_EQ(EncodingName(d.Format.Encoding).Stored, EncodingName(c.Encoding).Stored) << d.Reason;
        EXPECT_EQ(d.Format.Bom, c.Bom);
        EXPECT_EQ(d.Format.BigEndian, c.BigEndian);
        EXPECT_EQ(d.Binary, c.Binary);
    }
}

TEST(DetectEncoding, DeclaredCharsetAndDefaultDecideTies) {
    // "ｱｲ" in Shift_JIS is also valid EUC-JP: the declaration decides.
    const std::string meta = "<meta charset=\"EUC-JP\">\xB1\xB2\xB3\xB4";
    EXPECT_EQ(DetectEncoding(meta).Format.Encoding, deEuc);
    EXPECT_EQ(DetectEncoding("<?xml version=\"1.0\" encoding='Shift_JIS'?>\xA4\xA2").Format.Encoding, deShiftJis);
    // A declaration cannot make an invalid reading win.
    EXPECT_EQ(DetectEncoding("charset=euc-jp " + sj("ソース")).Format.Encoding, deShiftJis);
    EXPECT_EQ(DetectEncoding("plain", deEuc).Format.Encoding, deEuc);
    // The default decides a tie, and only a tie: 髙 costs the same as its EUC-JP reading.
    EXPECT_EQ(DetectEncoding(To("CP932", "髙"), deEuc).Format.Encoding, deEuc);
    EXPECT_EQ(DetectEncoding(To("CP932", "髙"), deShiftJis).Format.Encoding, deShiftJis);
    EXPECT_EQ(DetectEncoding(To("EUC-JP-MS", "abc学校"), deShiftJis).Format.Encoding, deEuc);
    EXPECT_EQ(DetectEncoding("\xB1\xB2", deEuc).Format.Encoding, deShiftJis);  // ｱｲ, not 渦
    EXPECT_EQ(DetectEncoding("plain", deUtf16).Format.Encoding, deShiftJis);  // 7-bit text is never UTF-16
}

TEST(DetectEncoding, LongTextsReadWholeAndInSmallPiecesAgree) {
    // Whole, long runs are checked 64 bytes at a time; pieces of 7 bytes go byte by byte.
    auto same = [](const std::string& Text) {
        const TDetection whole = DetectEncoding(Text);
        const TDetection pieces = DetectEncodingInPieces(Text, deShiftJis, 7).Detection;
        EXPECT_EQ(whole.Format.Encoding, pieces.Format.Encoding);
        EXPECT_EQ(whole.Reason, pieces.Reason);
        return whole;
    };
    const std::string sjis = To("CP932", kLong);
    EXPECT_EQ(same(sjis).Format.Encoding, deShiftJis);
    EXPECT_EQ(same(To("EUC-JP-MS", kLong)).Format.Encoding, deEuc);
    EXPECT_EQ(same(Repeat("\xB1\xB2", 200)).Format.Encoding, deShiftJis);  // ｱｲ, both valid: by cost
    EXPECT_EQ(same(Repeat(To("CP932", "ｶﾞｷﾞ髙漢字abc"), 40)).Format.Encoding, deShiftJis);
    // A byte that starts no Shift_JIS character, put before each character of the first blocks.
    for (std::size_t at = 0; at < 200; at += IsLeadByte(sjis[at]) ? 2 : 1) {
        SCOPED_TRACE(at);
        for (const char* bad : {"\xFD", "\x80", "\x82\x0A"}) {
            const std::string text = sjis.substr(0, at) + bad + sjis.substr(at);
            EXPECT_EQ(same(text).Reason, "fallback");
        }
    }
}

TEST(DetectEncoding, UTF8WithAFewBrokenBytesIsStillUTF8) {
    const std::string text = kLong + "é 😀\n";
    struct Case {
        std::string Name, Bytes;
        std::string_view Reason;
    } cases[] = {
        {"one invalid byte", text.substr(0, 30) + "\xFF" + text.substr(30), "damaged-utf-8"},
        {"a cut character inside", text.substr(0, 31) + text.substr(32), "damaged-utf-8"},
        {"a Shift_JIS word pasted in", text.substr(0, 30) + sj("漢字") + text.substr(30), "damaged-utf-8"},
        {"eight broken places", Repeat(text.substr(0, 60) + "\x80", 8) + text, "damaged-utf-8"},
        {"nine broken places", Repeat(text.substr(0, 60) + "\x80", 9) + text, "fallback"},
        {"a short Shift_JIS text with a stray byte", sj("日本語です") + "\x80", "fallback"},
        {"few valid characters around a broken one", "\xC3\xA9\xFF" "abc", "fallback"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDetection whole = DetectEncoding(c.Bytes);
        EXPECT_EQ(whole.Reason, c.Reason);
        EXPECT_EQ(whole.Format.Encoding, c.Reason == "fallback" ? deShiftJis : deUtf8);
        for (std::size_t piece : {1, 3, 7, 64}) {
            const TDetection pieces = DetectEncodingInPieces(c.Bytes, deShiftJis, piece).Detection;
            EXPECT_EQ(pieces.Reason, whole.Reason) << piece;
        }
    }
}

// Whole texts are validated a block of 32 bytes at a time; in small pieces byte by byte. A lead
// byte cut off by the end right after a block of ASCII is no multibyte character either way.
TEST(DetectEncoding, ACutLeadByteAfterABlockReadsTheSameInPieces) {
    using namespace std::string_literals;
    const std::string cases[] = {
        "\x01\0\0"s + std::string(26, 'D') + "\0\0\0\0\0\0\xE0"s,  // found by fuzzing
        std::string(31, 'a') + "\xE0",
        std::string(63, 'a') + "\xF0\x9F",
        std::string(40, 'a') + "\xC3\xA9" + std::string(21, 'b') + "\xE3\x81",
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(testing::PrintToString(text));
        const TDetection whole = DetectEncoding(text);
        for (std::size_t piece : {1, 2, 3, 5, 32, 33}) {
            const TDetection pieces = DetectEncodingInPieces(text, deShiftJis, piece).Detection;
            EXPECT_EQ(pieces.Format, whole.Format) << piece;
            EXPECT_EQ(pieces.Reason, whole.Reason) << piece;
            EXPECT_EQ(pieces.Binary, whole.Binary) << piece;
        }
    }
}

TEST(DetectEncoding, UTF8IsValidatedExactlyAtEveryPlaceInALongText) {
    // Long texts are checked a block at a time: each form at each place across block ends.
    // clang-format off
    const std::vector<std::pair<std::string, bool>> forms = {
        {"\xC3\xA9", true}, {"\xE3\x81\x82", true}, {"\xF0\x9F\x98\x80", true}, {"\xE0\xA0\x80", true},
        {"\xED\x9F\xBF", true}, {"\xEF\xBF\xBF", true}, {"\xF4\x8F\xBF\xBF", true}, {"\xC2\x80", true},
        {"\xC0\x80", false}, {"\xC1\xBF", false}, {"\xE0\x9F\xBF", false}, {"\xED\xA0\x80", false},
        {"\xF0\x8F\xBF\xBF", false}, {"\xF4\x90\x80\x80", false}, {"\xF5\x80\x80\x80", false},
        {"\x80", false}, {"\xBF", false}, {"\xFF", false}, {"\xE3\x81\x61", false}, {"\xE3\x61", false},
        {"\xF0\x9F\x98\x61", false}, {"\xC3\xA9\xA9", false}, {"\xE3\x81\x82\x82", false}};
    // clang-format on
    const std::string rest = Repeat("ねこ cat 猫\r\n", 12);
    for (const auto& [form, valid] : forms) {
        for (std::size_t at = 0; at < 80; ++at) {
            SCOPED_TRACE(testing::PrintToString(form) + " at " + std::to_string(at));
            const std::string before =
                at % 2 ? std::string(at, 'a') : Repeat("\xE3\x81\x82", int(at / 3)) + std::string(at % 3, 'b');
            const TDetection d = DetectEncoding(before + form + rest);
            EXPECT_EQ(d.Reason == "utf-8", valid);
        }
    }
}

TEST(DetectEncoding, ATwoByteCodeInALongTextIsShiftJisExactlyWhenCodePage932HasIt) {
    // Long runs of common kana and kanji skip the table: none may pass that the code page lacks.
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    ASSERT_NE(cd, iconv_t(-1));
    const std::string before = "\x82\xA0" + std::string(31, 'a');  // あ: no EUC-JP text
    const std::string after(100, 'a');
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(char(lead))) continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            char pair[2] = {char(lead), char(trail)}, out[8];
            char* in = pair;
            char* o = out;
            std::size_t inLeft = 2, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool held = iconv(cd, &in, &inLeft, &o, &outLeft) != std::size_t(-1) && inLeft == 0 && outLeft == 6;
            const TDetection d = DetectEncoding(before + std::string(pair, 2) + after);
            ASSERT_EQ(d.Reason, held ? "score" : "fallback") << std::hex << lead << " " << trail;
        }
    }
    iconv_close(cd);
}

}  // namespace
}  // namespace orvane
