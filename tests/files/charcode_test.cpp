// Shift_JIS / EUC-JP / JIS arithmetic, the quick classifier and line ends.
#include "files/charcode.h"
#include "files/cp932.h"
#include "files/unicode.h"
#include "support/sj.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using test::sj;

TEST(CharFormulas, AreExactInversesOverTheJisSquareAndEveryCodePageCode) {
    for (int c1 = 0x21; c1 <= 0x7E; ++c1)
        for (int c2 = 0x21; c2 <= 0x7E; ++c2) {
            auto s = JisToSjisChar(std::uint8_t(c1), std::uint8_t(c2));
            auto j = SjisToJisChar(s[0], s[1]);
            ASSERT_EQ(j[0], c1);
            ASSERT_EQ(j[1], c2);
        }
    const TCp932Table& t = Cp932();
    for (int code = 0x8140; code <= 0xEFFC; ++code) {
        if (t.Decode[code] == kNoChar) continue;
        auto j = SjisToJisChar(std::uint8_t(code >> 8), std::uint8_t(code));
        auto s = JisToSjisChar(j[0], j[1]);
        ASSERT_EQ((s[0] << 8) | s[1], code);
    }
    EXPECT_EQ(SjisToJisChar(0x82, 0xA0), (std::array<std::uint8_t, 2>{0x24, 0x22}));
}

TEST(DetectCode, ClassifiesByTheFirstDecisiveByte) {
    struct Case {
        std::string Text;
        TCodeKind Kind;
    } cases[] = {
        {std::string(1, '\0'), ckAscii},  // the last byte is never examined
        {"a", ckAscii},
        {std::string("a\0b", 3), ckBinary},
        {std::string(600, 'a') + "\x82\xA0" + std::string("\0b", 2), ckSjis},  // past the pre-scan, not reached
        {"ab\x1B$Bxx", ckJis},
        {"ab\x1B$@xx", ckJisOld},
        {"\x82\xA0\x1B$Bxx", ckSjis},  // escape after a decisive byte
        {"\xB1\x41", ckSjis},
        {"\xB1\xB2", ckEucOrSjis},
        {"\xB1\xF0", ckEuc},
        {"\xA4\xA2\xA4\xA4x", ckEucOrSjis},
        {"\xF0\x40x", ckEuc},
        {"\xB1\xE0\x82x", ckSjis},  // look-ahead finds a Shift_JIS lead
        {"\xB1\xE0\xFDx", ckEuc},
    };
    for (const Case& c : cases) EXPECT_EQ(DetectCode(c.Text), c.Kind) << testing::PrintToString(c.Text);
}

TEST(JisWriters, EscapeAndCombineHalfWidthKana) {
    struct Case {
        std::string In, Out;
    } sjis[] = {
        {"\xB6\xDE", "\x1B$B\x25\x2C\x1B(B"},                       // ｶﾞ -> ガ
        {"\xCA\xDF", "\x1B$B\x25\x51\x1B(B"},                       // ﾊﾟ -> パ
        {"\xDE", "\x1B$B\x21\x2B\x1B(B"},                           // lone ﾞ -> ゛
        {"\xB3\xDE\xB1\xDE", "\x1B$B\x25\x74\x25\x22\x21\x2B\x1B(B"},  // ｳﾞ, then ｱ with a mark that does not combine
        {"A\x82\xA0\r\nB", "A\x1B$B\x24\x22\x1B(B\r\nB"},
        {"\x82\xA0", "\x1B$B\x24\x22\x1B(B"},                       // ends in one-byte mode
        {"\\\x82\xA0~", "\\\x1B$B\x24\x22\x1B(B~"},                // ASCII again: a backslash stays one
    };
    for (const Case& c : sjis) EXPECT_EQ(SjisToJis(c.In), c.Out) << testing::PrintToString(c.In);
    EXPECT_EQ(EucToJis("\x41\xA4\xA2\x0D\x0A"), "\x41\x1B$B\x24\x22\x1B(B\x0D\x0A");
    EXPECT_EQ(EucToJis("\x8E\xB6\x8E\xDE"), "\x1B$B\x25\x2C\x1B(B");  // EUC ｶﾞ
    EXPECT_EQ(SjisToJis("\x82\xA0 ", TJisDesignation{'@', 'B', false}), "\x1B$@\x24\x22\x1B(B ");
    EXPECT_EQ(SjisToJis("\xB1" "a", TJisDesignation{'B', 'B', true}), "\x1B(I\x31\x1B(Ba");
}

TEST(Converters, KeepEveryCharacterTheTargetCanHold) {
    TCodeCounts counts;
    // 髙 (IBM extension) has a three-byte EUC form and an NEC-selected twin for JIS.
    EXPECT_EQ(SjisToEuc(sj("髙橋"), &counts), "\x8F\xF4\xFB\xB6\xB6");
    EXPECT_EQ(SjisToJis(sj("髙"), {}, &counts), "\x1B$B\x7C\x62\x1B(B");
    EXPECT_EQ(JisToSjis("\x1B$B\x7C\x62\x1B(J"), "\xEE\xE0");  // read back as the twin
    EXPECT_EQ(counts.Lost, 0u);
    // One three-byte character does not throw the rest of the text out of step.
    EXPECT_EQ(EucToSjis("\xA4\xF3\x8F\xF4\xFB\xA4\xA2\xA4\xA4"), sj("ん髙あい"));
    // Half-width kana stay half-width in EUC-JP, whatever the text would classify as.
    EXPECT_EQ(SjisToEuc("\xB1\xB2"), "\x8E\xB1\x8E\xB2");
    // The user-defined area and broken bytes cannot go to EUC-JP or JIS: 〓, counted.
    counts = {};
    EXPECT_EQ(SjisToEuc("\xF0\x40\x80", &counts), "\xA2\xAE\xA2\xAE");
    EXPECT_EQ(SjisToJis("\xF0\x40", {}, &counts), "\x1B$B\x22\x2E\x1B(B");
    EXPECT_EQ(counts.Lost, 3u);
    // A JIS X 0212 character without a code page 932 code is kept through the map.
    TCharMap map;
    counts = {};
    std::string sjis = EucToSjis("\x8F\xB0\xA1", &counts, &map);
    EXPECT_EQ(counts.Kept, 1u);
    EXPECT_EQ(map.CharOf(std::uint16_t(std::uint8_t(sjis[0]) << 8 | std::uint8_t(sjis[1]))), U'丂');
    EXPECT_EQ(SjisToEuc(sjis, nullptr, &map), "\x8F\xB0\xA1");
}

// The converters work a block of 64 KiB at a time: a character may start at any byte before a
// block's end and run past it.
TEST(Converters, CharactersStraddlingEveryBlockEndComeThrough) {
    const std::string unit = sj("日本語ｶﾅa");  // two-, one- and one-byte characters: every alignment
    std::string body;
    while (body.size() < 3 * 65536 + 64) body += unit;
    for (std::size_t lead = 0; lead < unit.size(); ++lead) {
        const std::string sjis = std::string(lead, 'x') + body;
        TCodeCounts counts;
        const std::string euc = SjisToEuc(sjis, &counts);
        const std::string back = EucToSjis(euc, &counts);
        ASSERT_EQ(back.size(), sjis.size()) << lead;
        EXPECT_TRUE(back == sjis) << "shifted by " << lead;
        EXPECT_EQ(counts.Lost + counts.Invalid, 0u) << lead;
        EXPECT_TRUE(SjisToEuc(back) == euc) << lead;
        const std::string utf8 = SjisToUtf8(sjis, nullptr, &counts);
        EXPECT_TRUE(Utf8ToSjis(utf8, nullptr, &counts) == sjis) << lead;
        EXPECT_EQ(counts.Lost + counts.Invalid, 0u) << lead;
    }
}

TEST(JisReader, ParsesEveryEscapeAndKeepsLineEndsInsideTwoByteRuns) {
    struct Case {
        std::string In, Out;
    } cases[] = {
        {"\x1B$B\x24\x22\r\n\x24\x24\x1B(B", sj("あ\r\nい")},       // CR LF inside a two-byte run
        {"\x1B$B\x1B(Ba", "a"},                                    // an escape right after an escape
        {"\x1B(I\x31\x32\x1B(B1", "\xB1\xB2" "1"},                  // ESC ( I kana
        {"\x1B$B\x24", "\x81\xAC"},                                // a cut character: 〓
        {"a\x1BZb", "a\x1BZb"},                                    // unknown escapes are data
    };
    for (const Case& c : cases) EXPECT_EQ(JisToSjis(c.In), c.Out) << testing::PrintToString(c.In);
    TJisDesignation seen;
    JisToSjis("\x1B$@\x24\x22\x1B(Ja\x1B(B", nullptr, &seen);
    EXPECT_EQ(seen, (TJisDesignation{'@', 'J', false}));
    EXPECT_EQ(JisToEuc("\x1B$B\x24\x22\x1B(I\x31\x1B(B"), "\xA4\xA2\x8E\xB1");
}

TEST(ConvertCode, FollowsTheClassification) {
    EXPECT_EQ(ConvertCode("\x82\xA0", ckEuc), "\xA4\xA2");
    EXPECT_EQ(ConvertCode("\x82\xA0", ckJis), "\x1B$B\x24\x22\x1B(B");
    EXPECT_EQ(ConvertCode("\x1B$B\x24\x22\x1B(B", ckSjis), "\x82\xA0");
    EXPECT_EQ(ConvertCode("\xA4\xA2\xF0\xA1", ckSjis), std::string("\x82\xA0") + "\xE8\x9F");
    EXPECT_EQ(ConvertCode("\xB1\xB2", ckEuc), "\xB1\xB2");  // undecided: unchanged
    EXPECT_EQ(ConvertCode("\x82\xA0", ckAscii), "\x82\xA0");
}

TEST(LineEnds, DetectAndConvert) {
    struct Case {
        std::string In;
        TLineEndKind First;
        TLineEndKind Target;
        std::string Converted;
        std::string Normalized;
    } cases[] = {
        {"a\r\nb\r\n", leCrLf, leLf, "a\nb\n", "a\nb\n"},
        {"a\nb\r\n", leLf, leLf, "a\nb\r\n", "a\nb\n"},   // only the first kind is looked at
        {"a\nb\r\nc", leLf, leCr, "a\rb\r\rc", "a\rb\rc"},
        {"a\r", leCr, leCrLf, "a\r\n", "a\r\n"},
        {"a\rb\r\n", leCr, leLf, "a\nb\n\n", "a\nb\n"},
        {"abc", leNone, leCrLf, "abc", "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.In));
        EXPECT_EQ(DetectLineEnd(c.In), c.First);
        EXPECT_EQ(ConvertLineEnd(c.In, c.Target), c.Converted);
        EXPECT_EQ(NormalizeLineEnds(c.In, c.Target), c.Normalized);
    }
}

}  // namespace
}  // namespace orvane
