// The base scanner, one row at a time: token kinds, two-byte text and malformed bytes.
#include "modes/modes_support.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

struct RowCase {
    std::string row;       // UTF-8, converted to code page 932 (or raw bytes when raw is set)
    std::string expected;  // the dump of the row's tokens
    bool raw = false;
};

class ScannerTable : public ::testing::TestWithParam<RowCase> {};

TEST_P(ScannerTable, SplitsRowIntoKinds) {
    const RowCase& c = GetParam();
    auto fountain = NewEditorFountain();  // every option off: the character table decides
    auto parser = fountain->NewParser();
    const std::string row = c.raw ? c.row : Sjis(c.row);
    EXPECT_EQ(Dump(*parser, row), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ScannerTable,
    ::testing::Values(
        RowCase{"abc_1 = x9", "Word:abc_1 Symbol:= Word:x9"},
        RowCase{"12 3.14 1.5e+3 1e 1e+ 2E-7", "Integer:12 Float:3.14 Float:1.5e+3 Float:1e Float:1e Symbol:+ Float:2E-7"},
        // a '.' not followed by a digit or an exponent stays out of the number
        RowCase{"123.a 7.e2", "Float:123 Symbol:. Word:a Float:7.e2"},
        RowCase{"\tx", "Tab:\\x09 Word:x"},
        RowCase{"  (a)", "Symbol:( Word:a Symbol:)"},
        RowCase{"あいうーい", "Hiragana:あいうーい"},
        RowCase{"カタカナー漢字かな", "Katakana:カタカナー Kanji:漢字 Hiragana:かな"},
        RowCase{"１２，３．４５", "WideDigit:１２，３．４５"},
        RowCase{"ＡＢｃｄ１", "WideLetter:ＡＢｃｄ WideDigit:１"},
        RowCase{"、①　＜", "WideSymbol:、 WideSymbol:① WideSymbol:　 WideSymbol:＜"},
        RowCase{"ｱｲｳｰ｡ｶ", "HalfKana:ｱｲｳｰ HalfKanaSymbol:｡ HalfKana:ｶ"},
        // second bytes that look like ASCII stay inside their character
        RowCase{"表\\ソ|ポ@ァ", "Kanji:表 Symbol:\\ Katakana:ソ Symbol:| Katakana:ポ Symbol:@ Katakana:ァ"},
        RowCase{"漢ｱ", "Kanji:漢 HalfKana:ｱ"},
        // a second byte in the half-width kana range belongs to its kanji
        RowCase{"鯵ｱ", "Kanji:鯵 HalfKana:ｱ"}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    MalformedBytes, ScannerTable,
    ::testing::Values(
        // a lead byte that ends the row is one character of its own
        RowCase{"ab\x88", "Word:ab Symbol:\\x88", true},
        RowCase{"\x82\xA0\x82", "Hiragana:あ Symbol:\\x82", true},
        RowCase{"\x81", "Symbol:\\x81", true},
        RowCase{"\x83", "Symbol:\\x83", true},
        RowCase{"\xE0", "Symbol:\\xE0", true},
        // a lead byte with a second byte outside every range is still one character
        RowCase{"\x82\x01x", "Symbol:\\x82\\x01 Word:x", true},
        RowCase{"\x83\xFC\x83", "Symbol:\\x83\\xFC Symbol:\\x83", true},
        // zero bytes are ordinary characters; bytes that lead nothing are symbols
        RowCase{std::string("a\0b", 3), "Word:a Symbol:\\x00 Word:b", true},
        RowCase{"\x80\xA0\xFD\xFF", "Symbol:\\x80 Symbol:\\xA0 Symbol:\\xFD Symbol:\\xFF", true}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(Scanner, EmptyAndBlankRowsHaveNoTokens) {
    auto fountain = NewEditorFountain();
    auto parser = fountain->NewParser();
    EXPECT_EQ(Dump(*parser, ""), "");
    EXPECT_EQ(Dump(*parser, "  \x01 "), "");
}

TEST(Scanner, ParserNeedsAFountain) {
    try {
        TEditorParser parser(nullptr);
        FAIL() << "no error";
    } catch (const EFountainError& e) {
        EXPECT_STREQ(e.what(), "TFountainParser.Create need instance of TFountain");
    }
}

TEST(Scanner, TokenParserSplitsWithoutAMode) {
    TTokenParser parser;
    TRowAttributeData state;
    state.OpenBracket = -2;
    EXPECT_EQ(Dump(parser, Sjis("ab/*漢字 12"), state), "Word:ab Symbol:/ Symbol:* Kanji:漢字 Integer:12");
    EXPECT_EQ(parser.ColorForToken(), nullptr);
}

}  // namespace
}  // namespace orvane::test
