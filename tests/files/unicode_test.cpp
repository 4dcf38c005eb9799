// UTF-8 and UTF-16 against Shift_JIS: strictness, replacement and the user-defined-area map.
#include "files/unicode.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace orvane {
namespace {

using test::sj;

TEST(Utf8ToSjis, DecodesStrictlyAndNeverDropsText) {
    struct Case {
        std::string In;
        std::string Out;  // with 〓 where no map is given
        std::size_t Invalid, Lost;
    } cases[] = {
        {"a\xC3\xA9\xE3\x81\x82", "a\x81\xAC\x82\xA0", 0, 1},     // é has no code: 〓
        {"\xF0\x9F\x98\x80\xE3\x81\x84", "\x81\xAC\x82\xA2", 0, 1},  // a four-byte character
        {"\xE3\x81\x41", "\x81\xAC" "A", 1, 0},                      // cut sequence: one replacement
        {"\xC0\xAF", "\x81\xAC\x81\xAC", 2, 0},                      // overlong form
        {"\xED\xA0\x80", "\x81\xAC\x81\xAC\x81\xAC", 3, 0},          // encoded surrogate
        {"\xE3\x81", "\x81\xAC", 1, 0},                              // cut by the end
        {"\xFF" "a", "\x81\xAC" "a", 1, 0},
        {"\xEF\xBD\x9E\xE2\x88\xA5", "\x81\x60\x81\x61", 0, 0},     // ～ ∥ as the code page has them
        {"\xE3\x80\x9C", "\x81\xAC", 0, 1},                          // 〜 U+301C maps one way only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.In));
        TCodeCounts counts;
        EXPECT_EQ(Utf8ToSjis(c.In, nullptr, &counts), c.Out);
        EXPECT_EQ(counts.Invalid, c.Invalid);
        EXPECT_EQ(counts.Lost, c.Lost);
    }
}

TEST(CharMap, KeepsCharactersOutsideTheCodePageAndGivesThemBack) {
    // 😀 twice, 〜 (one way), U+FFFD for the broken byte, and a real U+E000 in the text.
    const std::string utf8 = "\xF0\x9F\x98\x80" "a\xE3\x80\x9C\xF0\x9F\x98\x80\xFF\xEE\x80\x80";
    TCharMap map;
    TCodeCounts counts;
    std::string sjis = Utf8ToSjis(utf8, &map, &counts);
    ASSERT_TRUE(map.Conflict());  // U+E000 turned up after F040 was handed out
    map.ResetKeepingUsed();
    counts = {};
    sjis = Utf8ToSjis(utf8, &map, &counts);
    EXPECT_FALSE(map.Conflict());
    EXPECT_EQ(counts.Kept, 3u);
    EXPECT_EQ(counts.Invalid, 1u);
    EXPECT_EQ(map.Size(), 3u);
    // F040 is the text's own U+E000; the kept characters take the next free codes.
    EXPECT_EQ(sjis, "\xF0\x41" "a\xF0\x42\xF0\x41\xF0\x43\xF0\x40");
    TCodeCounts back;
    EXPECT_EQ(SjisToUtf8(sjis, &map, &back), "\xF0\x9F\x98\x80" "a\xE3\x80\x9C\xF0\x9F\x98\x80\xEF\xBF\xBD\xEE\x80\x80");
    EXPECT_EQ(back.Lost, 0u);
    EXPECT_EQ(SjisToUtf16(sjis, true, &map, &back).substr(0, 4), std::string("\xD8\x3D\xDE\x00", 4));
}

TEST(Utf16, KeepsNulAndTheFirstCharacterAndReportsBrokenUnits) {
    TCodeCounts counts;
    EXPECT_EQ(Utf16ToSjis(std::string("\x42\x30\x00\x00\x61\x00", 6), false, nullptr, &counts),
              std::string("\x82\xA0\0a", 4));
    EXPECT_EQ(counts.Invalid, 0u);
    EXPECT_EQ(Utf16ToSjis(std::string("\xD8\x3D\x00\x61\x00", 5), true, nullptr, &counts), "\x81\xAC" "a\x81\xAC");
    EXPECT_EQ(counts.Invalid, 2u);  // the unpaired surrogate and the odd last byte
}

TEST(SjisToUnicode, ReplacesBytesThatAreNoCharacter) {
    TCodeCounts counts;
    EXPECT_EQ(SjisToUtf8(sj("あ") + "\x80" + "\x85\x40" + "\x82", nullptr, &counts),
              "\xE3\x81\x82\xEF\xBF\xBD\xEF\xBF\xBD@\xEF\xBF\xBD");
    EXPECT_EQ(counts.Lost, 3u);
}

TEST(SjisToUnicode, ALongTextConvertsAsItsCharactersDoOneByOne) {
    // Long texts go 64 bytes at a time: a byte that is no character, a pair the code page lacks
    // or a lead at the end of a block must come out as they do alone.
    const std::vector<std::string> units = {"a", "\r\n", "\x82\xA0", "\x88\x9F", "\xEA\xA4", "\xB1", "\x83\x40",
                                            "\x80", "\xA0", "\xFD", "\x85\x40", "\x82\x0A", std::string(1, '\0')};
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string text, expected;
        TCodeCounts alone;
        while (text.size() < 300) {
            // Mostly kana and ASCII, with trouble now and then.
            const std::size_t k = random() % 8 ? random() % 7 : random() % units.size();
            text += units[k];
            expected += SjisToUtf8(units[k], nullptr, &alone);
        }
        TCodeCounts counts;
        ASSERT_EQ(SjisToUtf8(text, nullptr, &counts), expected) << testing::PrintToString(text);
        EXPECT_EQ(counts.Lost, alone.Lost);
    }
}

}  // namespace
}  // namespace orvane
