// The search engine: a table of cases per option and direction, the trail-byte traps against a
// slow reference over random Shift_JIS text in every option combination, and the document search
// against a whole-text search at block sizes small enough to put hits across block boundaries.
#include "document/document.h"
#include "editor/findtext.h"
#include "editor/searchtext.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace orvane {

void PrintTo(const TSearchPos& P, std::ostream* Out) { *Out << "{" << P.Start << ", " << P.Length << "}"; }
void PrintTo(const TDocumentHit& H, std::ostream* Out) {
    *Out << "{" << H.Row << ":" << H.Byte << " to " << H.EndRow << ":" << H.EndByte << ", " << H.Length << "}";
}

namespace {

using test::sj;
using namespace std::string_literals;

constexpr TSearchOptions D = soDown, C = soMatchCase, W = soWholeWord, Z = soNoMatchZenkaku, L = soIncludeCRLF,
                         S = soIncludeSpace;
constexpr TSearchOptions kEngineBits[] = {D, C, W, Z, L, S};

std::string Describe(TSearchOptions O) {
    std::string s;
    const char* names[] = {"Down ", "MatchCase ", "WholeWord ", "Zenkaku ", "CRLF ", "Space "};
    for (int i = 0; i < 6; ++i)
        if (O & kEngineBits[i]) s += names[i];
    return s.empty() ? "Up" : s;
}

// ---- the table

struct Case {
    std::string Text, Pattern;
    TSearchOptions Options;
    TSearchPos From;
    std::int64_t Start;  // -1: nothing found
    std::int64_t Length;
};

void Check(const Case& c) {
    TSearchPos pos = c.From;
    const bool found = SearchText(c.Text, pos, c.Pattern, c.Options);
    const std::string what = "pattern [" + c.Pattern + "] in [" + c.Text + "] " + Describe(c.Options) + " from " +
                             std::to_string(c.From.Start) + "+" + std::to_string(c.From.Length);
    if (c.Start < 0) {
        EXPECT_FALSE(found) << what << " found at " << pos.Start;
        EXPECT_EQ(pos, c.From) << what << ": a failed search keeps the position";
    } else {
        EXPECT_TRUE(found) << what;
        EXPECT_EQ(pos, (TSearchPos{c.Start, c.Length})) << what;
    }
}

TEST(SearchText, DirectionsAndPositions) {
    const Case cases[] = {
        {"abcabc", "bc", D, {0, 0}, 1, 2},
        {"abcabc", "bc", D, {1, 2}, 4, 2},  // continues after the previous hit
        {"abcabc", "bc", D, {4, 2}, -1, 0},
        {"abcabc", "bc", D, {1, 0}, 1, 2},  // a hit at the start position itself
        {"abcabc", "bc", 0, {6, 0}, 4, 2},
        {"abcabc", "bc", 0, {4, 2}, 1, 2},  // backward: before the previous hit's start
        {"abcabc", "bc", 0, {2, 0}, -1, 0},  // "bc" at 1 would end after the start
        {"aaaa", "aa", D, {0, 2}, 2, 2},
        {"aaaa", "aa", 0, {2, 2}, 0, 2},
        // Bad positions and empty inputs.
        {"abc", "b", D, {-1, 0}, -1, 0},
        {"abc", "b", D, {4, 0}, -1, 0},
        {"abc", "b", D, {0, -1}, -1, 0},
        {"abc", "b", D, {1, 5}, -1, 0},
        {"abc", "", D, {0, 0}, -1, 0},
        {"", "a", D, {0, 0}, -1, 0},
        // Zero bytes are characters: the text is searched to its end.
        {"a\0b\0abc"s, "abc", D, {0, 0}, 4, 3},
        {"a\0b\0abc"s, "\0a"s, D, {0, 0}, 3, 2},
        {"a\0b\0abc"s, "b", 0, {7, 0}, 5, 1},
    };
    for (const Case& c : cases) Check(c);
}

TEST(SearchText, CaseAndFullWidthFolding) {
    const Case cases[] = {
        {"xABC", "abc", D, {0, 0}, 1, 3},
        {"xABC", "abc", D | C, {0, 0}, -1, 0},
        {sj("xＡＢＣ"), sj("ａｂｃ"), D, {0, 0}, 1, 6},
        {sj("xａｂｃ"), sj("ＡＢＣ"), D, {0, 0}, 1, 6},
        {sj("xＡＢＣ"), sj("ａｂｃ"), D | C, {0, 0}, -1, 0},
        // Only full-width Latin letters fold: メ (83 81) is not チ (83 60), 堰 (89 81) is not 荏 (89 60).
        {sj("メ"), sj("チ"), D, {0, 0}, -1, 0},
        {sj("チ"), sj("メ"), D, {0, 0}, -1, 0},
        {sj("堰"), sj("荏"), 0, {2, 0}, -1, 0},
        {sj("荏堰"), sj("堰"), 0, {4, 0}, 2, 2},
        {sj("ｶﾞガ"), sj("ガ"), D, {0, 0}, 2, 2},  // no width folding without the option
        // Half-width matches full-width.
        {sj("xガ"), sj("ｶﾞ"), D | Z, {0, 0}, 1, 2},
        {sj("xｶﾞ"), sj("ガ"), D | Z, {0, 0}, 1, 2},
        {sj("xｶﾞ"), sj("カ"), D | Z, {0, 0}, -1, 0},  // the voiced pair is one character
        {sj("ｶﾞｶ"), sj("カ"), 0 | Z, {3, 0}, 2, 1},
        {sj("xパ"), sj("ﾊﾟ"), D | Z, {0, 0}, 1, 2},
        {sj("ﾎﾟ"), sj("ポ"), D | Z, {0, 0}, 0, 2},
        {sj("ヴ"), sj("ｳﾞ"), D | Z, {0, 0}, 0, 2},
        // Only ハ-ホ have a semi-voiced form: ｶﾟ is カ and ゜.
        {sj("ガ"), sj("ｶﾟ"), D | Z, {0, 0}, -1, 0},
        {sj("カ゜"), sj("ｶﾟ"), D | Z, {0, 0}, 0, 4},
        {sj("ｶﾟ"), sj("カ゜"), D | Z, {0, 0}, 0, 2},
        {sj("ｶﾟ"), sj("゜"), D | Z, {0, 0}, 1, 1},
        // A full-width capital finds the half-width small letter when case is ignored.
        {"xa", sj("Ａ"), D | Z, {0, 0}, 1, 1},
        {"xa", sj("Ａ"), D | Z | C, {0, 0}, -1, 0},
        {"xA", sj("Ａ"), D | Z | C, {0, 0}, 1, 1},
        {sj("ａbｃ"), "ABC", D | Z, {0, 0}, 0, 5},
        {sj("１２３ｱｲｳ"), sj("123アイウ"), D | Z, {0, 0}, 0, 9},
        {sj("「ｱ」"), sj("｢ア｣"), D | Z, {0, 0}, 0, 5},
        // The half-width middle dot pairs with the full-width one, not with the full stop.
        {sj("x･"), sj("・"), D | Z, {0, 0}, 1, 1},
        {sj("x・"), sj("･"), D | Z, {0, 0}, 1, 2},
        {sj("．"), sj("･"), D | Z, {0, 0}, -1, 0},
        {"a\tb", "a\tb", D | Z, {0, 0}, 0, 3},  // bytes without a full-width form stay
    };
    for (const Case& c : cases) Check(c);
}

TEST(SearchText, PassingOverBreaksAndBlanks) {
    const Case cases[] = {
        {"xa\r\nb", "ab", D | L, {0, 0}, 1, 4},
        {"xa\r\nb", "ab", D, {0, 0}, -1, 0},
        {"x\r\nab", "ab", D | L, {0, 0}, 3, 2},  // a break before the first letter is not in the hit
        {"ab\r\n", "ab", D | L, {0, 0}, 0, 2},   // nor one after the last
        {"a\r\n\r\n\nb", "ab", D | L, {0, 0}, 0, 7},
        {"a b", "ab", D | S, {0, 0}, 0, 3},
        {sj("a　b"), "ab", D | S, {0, 0}, 0, 4},
        {"a\t \tb", "ab", D | S, {0, 0}, 0, 5},
        {"a b", "ab", D, {0, 0}, -1, 0},
        {"a \r\n b", "ab", D | S, {0, 0}, -1, 0},
        {"a \r\n b", "ab", D | S | L, {0, 0}, 0, 6},
        {sj("ガ ｶﾞ"), sj("ガガ"), D | S | Z, {0, 0}, 0, 5},
        {"a b a b", "ab", 0 | S, {7, 0}, 4, 3},
        {"a b", "ab", 0 | S, {2, 0}, -1, 0},  // the hit would end after the start
        {"a b", "a b", D | S, {0, 0}, 0, 3},   // a blank in the pattern matches a blank
    };
    for (const Case& c : cases) Check(c);
}

TEST(SearchText, WholeWords) {
    const Case cases[] = {
        {"abc_def", "abc", D | W, {0, 0}, 0, 3},  // the underscore ends a word
        {"abcdef", "abc", D | W, {0, 0}, -1, 0},
        {"abcdef abc", "abc", D | W, {0, 0}, 7, 3},
        // The last candidate is tested too, in both directions.
        {"abcdef", "abc", 0 | W, {6, 0}, -1, 0},
        {"xabc", "abc", D | W, {0, 0}, -1, 0},
        {"x abc", "abc", D | W, {0, 0}, 2, 3},
        {"abc", "abc", 0 | W, {3, 0}, 0, 3},
        {"(abc)", "abc", D | W, {0, 0}, 1, 3},
        // Two-byte characters are word characters, also when a trail byte is a delimiter byte.
        {sj("日abc"), "abc", D | W, {0, 0}, -1, 0},
        {sj("ソabc"), "abc", D | W, {0, 0}, -1, 0},
        {sj("abcソ"), "abc", D | W, {0, 0}, -1, 0},
        {sj("abc ソ"), "abc", D | W, {0, 0}, 0, 3},
        {sj("\x1b" "ｱｲ ｱ"), sj("ｱ"), 0 | W, {5, 0}, 4, 1},
        // A pattern that starts with a delimiter never matches as a whole word.
        {"x _abc", "_abc", D | W, {0, 0}, -1, 0},
        {"x _abc", "_abc", D, {0, 0}, 2, 4},
        {"ABC abc", "abc", D | W | C, {0, 0}, 4, 3},
    };
    for (const Case& c : cases) Check(c);
}

// Trail bytes of ソ 表 能 十 are '\', of ア and ゼ 'A' and '[', of ァ '@'.
TEST(SearchText, NeverStartsOnATrailByte) {
    const std::string traps = sj("ソ表能十アゼァ");
    for (int bits = 0; bits < 64; ++bits) {
        TSearchOptions o = 0;
        for (int i = 0; i < 6; ++i)
            if (bits & (1 << i)) o |= kEngineBits[i];
        for (const std::string& needle : {"\\"s, "A"s, "a"s, "["s, "@"s, "\\\\"s, "A\\"s}) {
            const std::string text = traps + " " + needle + " " + traps;
            TSearchPos pos{(o & D) ? 0 : std::int64_t(text.size()), 0};
            const bool found = SearchText(text, pos, needle, o);
            // A whole word cannot start with a delimiter.
            if ((o & W) && IsSearchDelimiter(static_cast<unsigned char>(needle[0]))) {
                EXPECT_FALSE(found) << needle << " " << Describe(o);
                continue;
            }
            ASSERT_TRUE(found) << needle << " " << Describe(o);
            EXPECT_EQ(pos, (TSearchPos{std::int64_t(traps.size()) + 1, std::int64_t(needle.size())}))
                << needle << " " << Describe(o);
        }
    }
    // A pattern ending in a lead byte never matches the first half of a character.
    const Case cases[] = {
        {sj("aア"), "a\x83", D, {0, 0}, -1, 0},
        {"a\x83", "a\x83", D, {0, 0}, 0, 2},  // a lead byte that ends the text is a character
        {sj("ア"), "\x83", D | Z, {0, 0}, -1, 0},
        {sj("アA"), "\x41", D | C, {0, 0}, 2, 1},
    };
    for (const Case& c : cases) Check(c);
}

TEST(SearchText, ToFullWidth) {
    EXPECT_EQ(ToFullWidth(sj("aZ09 ~ｶﾞﾊﾟｳﾞｶﾟｱ漢字")), sj("ａＺ０９　￣ガパヴカ゜ア漢字"));
    EXPECT_EQ(ToFullWidth("\t\x7f\x80\xa0\xfd"), "\t\x7f\x80\xa0\xfd");
    EXPECT_EQ(ToFullWidth("\\"), sj("￥"));
    EXPECT_EQ(ToFullWidth(sj("ｰ｡ﾞ")), sj("ー。゛"));
    EXPECT_EQ(ToFullWidth(sj("･.")), sj("・．"));
}

// ---- a slow reference: every character start tried in turn, with the rules spelled out

struct Reference {
    std::string_view Text;
    std::string Pattern;  // prepared
    TSearchOptions O;

    static bool Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
    static bool Delim(unsigned char b) {
        return b <= 0x2F || (b >= 0x3A && b <= 0x40) || (b >= 0x5B && b <= 0x60) || (b >= 0x7B && b <= 0x80) ||
               (b >= 0xA0 && b <= 0xA5) || b >= 0xFD;
    }
    static std::size_t Len(std::string_view s, std::size_t i) { return i + 1 < s.size() && Lead(s[i]) ? 2 : 1; }
    static std::string Upper(std::string_view s) {
        std::string out;
        for (std::size_t i = 0; i < s.size(); i += Len(s, i)) {
            std::string ch(s.substr(i, Len(s, i)));
            if (ch.size() == 1 && ch[0] >= 'a' && ch[0] <= 'z') ch[0] = char(ch[0] - 32);
            if (ch.size() == 2 && ch[0] == '\x82' && (unsigned char)ch[1] >= 0x81 && (unsigned char)ch[1] <= 0x9A)
                ch[1] = char(ch[1] - 0x21);
            out += ch;
        }
        return out;
    }

    Reference(std::string_view T, std::string_view P, TSearchOptions Options) : Text(T), O(Options) {
        Pattern = (O & C) ? std::string(P) : Upper(P);
        if (O & Z) Pattern = ToFullWidth(Pattern);
    }

    // The text character at t as compared (folded) and the bytes it takes.
    std::string Unit(std::size_t t, std::size_t& bytes) const {
        bytes = Len(Text, t);
        std::string u(Text.substr(t, bytes));
        if ((O & Z) && bytes == 1) {
            const std::string two(Text.substr(t, 2));
            if (two.size() == 2 && ((unsigned char)two[1] == 0xDE || (unsigned char)two[1] == 0xDF) &&
                ToFullWidth(two).size() == 2)
                u = ToFullWidth(two), bytes = 2;
            else
                u = ToFullWidth(u);
        }
        return (O & C) ? u : Upper(u);
    }
    std::vector<std::size_t> Starts() const {
        std::vector<std::size_t> s;
        for (std::size_t i = 0; i < Text.size(); i += Len(Text, i)) s.push_back(i);
        return s;
    }
    // The end of a hit at c, or npos.
    std::size_t HitAt(std::size_t c, std::size_t prevStart) const {
        constexpr std::size_t none = std::string::npos;
        if (O & W) {
            if (Delim(Text[c])) return none;
            if (c > 0 && !(prevStart == c - 1 && Delim(Text[c - 1]))) return none;
        }
        std::size_t t = c, p = 0;
        while (p < Pattern.size()) {
            if (t >= Text.size()) return none;
            std::size_t bytes;
            const std::string u = Unit(t, bytes);
            const std::size_t pl = Len(Pattern, p);
            if (u == Pattern.substr(p, pl)) {
                t += bytes, p += pl;
                continue;
            }
            if (p > 0) {
                const char b = Text[t];
                if ((O & L) && bytes == 1 && (b == '\r' || b == '\n')) { ++t; continue; }
                if ((O & S) && bytes == 1 && (b == ' ' || b == '\t')) { ++t; continue; }
                if ((O & S) && Text.substr(t, 2) == "\x81\x40" && Len(Text, t) == 2) { t += 2; continue; }
            }
            return none;
        }
        if ((O & W) && t < Text.size() && !Delim(Text[t])) return none;
        return t;
    }
    bool Search(TSearchPos& Pos) const {
        if (Pattern.empty() || Text.empty() || Pos.Start < 0 || Pos.Length < 0 || Pos.Start > std::int64_t(Text.size()))
            return false;
        const std::vector<std::size_t> starts = Starts();
        for (std::size_t k = 0; k < starts.size(); ++k) {
            const std::size_t i = (O & D) ? k : starts.size() - 1 - k;
            const std::size_t c = starts[i];
            const std::size_t prev = i ? starts[i - 1] : std::string::npos;
            if ((O & D) && std::int64_t(c) < Pos.Start + Pos.Length) continue;
            if (!(O & D) && std::int64_t(c) >= Pos.Start) continue;
            const std::size_t end = HitAt(c, prev);
            if (end == std::string::npos || (!(O & D) && std::int64_t(end) > Pos.Start)) continue;
            Pos = {std::int64_t(c), std::int64_t(end - c)};
            return true;
        }
        return false;
    }
};

// Random text from pieces chosen to meet: trail bytes that look like ASCII, full-/half-width and
// voiced forms, blanks, line breaks, zero bytes and lone lead bytes.
const std::vector<std::string>& Pieces() {
    static const std::vector<std::string> pieces = [] {
        std::vector<std::string> p = {"a", "A", "b", "B", "\\", "@", "[", "_", " ", "\t", "\r\n", "\n", "\r",
                                      "\0"s, "\x81", "\xfd", "1"};
        for (const char* u : {"ソ", "表", "ア", "ァ", "ゼ", "ａ", "Ａ", "ｂ", "メ", "チ", "ガ", "カ", "ｶ", "ﾞ", "ﾟ",
                              "ﾊ", "パ", "ｳ", "ヴ", "　", "ｱ", "日"})
            p.push_back(sj(u));
        return p;
    }();
    return pieces;
}

std::string RandomText(std::mt19937& Rng, int Pieces_) {
    std::string s;
    const auto& p = Pieces();
    for (int i = 0; i < Pieces_; ++i) s += p[Rng() % p.size()];
    return s;
}

TSearchOptions RandomOptions(std::mt19937& Rng) {
    TSearchOptions o = 0;
    const unsigned bits = Rng();
    for (int i = 0; i < 6; ++i)
        if (bits & (1u << i)) o |= kEngineBits[i];
    return o;
}

std::string RandomPattern(std::mt19937& Rng, std::string_view Text) {
    if (Rng() % 3 == 0 || Text.empty()) return RandomText(Rng, 1 + int(Rng() % 3));
    const std::size_t at = Rng() % Text.size();
    return std::string(Text.substr(at, 1 + Rng() % 4));
}

// Hits start on a character start and end on a character boundary of the text.
void ExpectOnBoundaries(std::string_view Text, const TSearchPos& Pos) {
    std::vector<bool> start(Text.size() + 1, false);
    for (std::size_t i = 0; i < Text.size(); i += Reference::Len(Text, i)) start[i] = true;
    start[Text.size()] = true;
    EXPECT_TRUE(start[std::size_t(Pos.Start)]) << "hit starts inside a character at " << Pos.Start;
    EXPECT_TRUE(start[std::size_t(Pos.Start + Pos.Length)]) << "hit ends inside a character";
}

TEST(SearchText, AgreesWithTheReferenceOnRandomText) {
    std::mt19937 rng(7);
    int hits = 0;
    for (int round = 0; round < 30000; ++round) {
        const std::string text = RandomText(rng, int(rng() % 24));
        const std::string pattern = RandomPattern(rng, text);
        const TSearchOptions o = RandomOptions(rng);
        const TSearchPos from{std::int64_t(rng() % (text.size() + 2)) - 1, std::int64_t(rng() % 3)};
        TSearchPos got = from, want = from;
        const bool found = SearchText(text, got, pattern, o);
        ASSERT_EQ(found, Reference(text, pattern, o).Search(want))
            << "pattern [" << pattern << "] in [" << text << "] " << Describe(o) << " from " << from.Start;
        ASSERT_EQ(got, want) << "pattern [" << pattern << "] in [" << text << "] " << Describe(o);
        if (found) ExpectOnBoundaries(text, got), ++hits;
    }
    EXPECT_GT(hits, 1500);  // the generator does reach hits
}

// ---- the document search against a search of the whole text

struct DocOracle {
    TEditorScreenStrings Doc;
    std::string Text;
    std::vector<std::int64_t> RowStart;  // offset of each row in Text, and Text's size

    void Load(const std::string& T, int WrapByte) {
        if (WrapByte) {
            Doc.WrapOption().SetWrapByte(WrapByte);
            Doc.SetWordWrap(true);
        }
        Doc.SetText(T);
        Text = Doc.GetText();
        RowStart.clear();
        std::int64_t at = 0;
        for (int r = 0; r < Doc.GetCount(); ++r) {
            RowStart.push_back(at);
            at += std::int64_t(Doc.RowView(r).size()) + (Doc.RowEndKind(r) == reLineBreak ? 2 : 0);
        }
        RowStart.push_back(at);
        ASSERT_EQ(at, std::int64_t(Text.size()));
    }
    std::int64_t Offset(int Row, int Byte) const { return RowStart[std::size_t(Row)] + Byte; }
    // The document hit as whole-text offsets, checked for consistency.
    TSearchPos ToPos(const TDocumentHit& H) const {
        const std::int64_t start = Offset(H.Row, H.Byte), end = start + H.Length;
        EXPECT_LE(H.EndByte, int(H.EndRow < Doc.GetCount() ? Doc.RowView(H.EndRow).size() : 0));
        const std::int64_t endAt = Offset(H.EndRow, H.EndByte);
        EXPECT_TRUE(endAt == end || (endAt < end && end - endAt < 2)) << "end position " << endAt << " for " << end;
        return {start, H.Length};
    }
};

// Every hit from the start (forward) or the end (backward), each search continuing from the last
// hit, in the document and in its whole text.
void CompareSequences(const DocOracle& O, const std::string& Pattern, TSearchOptions Options, std::size_t Block) {
    const int count = O.Doc.GetCount();
    TDocumentSearchFrom from{(Options & D) ? 0 : count, 0, 0};
    TSearchPos pos{(Options & D) ? 0 : std::int64_t(O.Text.size()), 0};
    for (int n = 0;; ++n) {
        ASSERT_LT(n, 100000);
        const std::optional<TDocumentHit> hit = SearchDocument(O.Doc, from, Pattern, Options, Block);
        const bool found = SearchText(O.Text, pos, Pattern, Options);
        ASSERT_EQ(hit.has_value(), found) << "hit " << n << " of [" << Pattern << "] " << Describe(Options)
                                          << " block " << Block;
        if (!found) break;
        ASSERT_EQ(O.ToPos(*hit), pos) << "hit " << n << " of [" << Pattern << "] " << Describe(Options) << " block "
                                      << Block;
        from = {hit->Row, hit->Byte, (Options & D) ? hit->Length : 0};
    }
}

class SearchDocumentBlocks : public ::testing::TestWithParam<std::size_t> {};

TEST_P(SearchDocumentBlocks, HitSequencesEqualTheWholeTextSearch) {
    const std::size_t block = GetParam();
    std::mt19937 rng(11 + unsigned(block));
    for (int wrap : {0, 20}) {
        for (int doc = 0; doc < 6; ++doc) {
            DocOracle o;
            std::string text;
            const int lines = 1 + int(rng() % 60);
            for (int i = 0; i < lines; ++i) text += RandomText(rng, int(rng() % 20)) + (rng() % 3 ? "\r\n" : "\n");
            if (rng() % 2) text += RandomText(rng, 3);
            o.Load(text, wrap);
            for (int k = 0; k < 12; ++k) {
                const std::string pattern = RandomPattern(rng, o.Text);
                CompareSequences(o, pattern, RandomOptions(rng) | D, block);
                CompareSequences(o, pattern, RandomOptions(rng) & ~D, block);
            }
        }
    }
}

TEST_P(SearchDocumentBlocks, StartsAnywhereLikeTheWholeTextSearch) {
    const std::size_t block = GetParam();
    std::mt19937 rng(5 + unsigned(block));
    for (int wrap : {0, 12}) {
        DocOracle o;
        std::string text;
        for (int i = 0; i < 40; ++i) text += RandomText(rng, int(rng() % 16)) + "\r\n";
        o.Load(text, wrap);
        for (int k = 0; k < 400; ++k) {
            const std::string pattern = RandomPattern(rng, o.Text);
            const TSearchOptions opt = RandomOptions(rng);
            const int row = int(rng() % unsigned(o.Doc.GetCount() + 1));
            const int rowLength = row < o.Doc.GetCount() ? int(o.Doc.RowView(row).size()) : 0;
            const int byte = int(rng() % unsigned(rowLength + 1));
            const std::int64_t length = (opt & D) ? std::int64_t(rng() % 8) : 0;
            const std::optional<TDocumentHit> hit = SearchDocument(o.Doc, {row, byte, length}, pattern, opt, block);
            TSearchPos pos{o.Offset(row, byte), length};
            const bool found = SearchText(o.Text, pos, pattern, opt);
            ASSERT_EQ(hit.has_value(), found) << "[" << pattern << "] " << Describe(opt) << " from " << row << ":" << byte;
            if (found) {
                ASSERT_EQ(o.ToPos(*hit), pos) << "[" << pattern << "] " << Describe(opt);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BlockBytes, SearchDocumentBlocks, ::testing::Values(1, 2, 5, 16, 64, kFindBlockBytes));

// A document of a few thousand rows of words, blanks and breaks, wrapped and not: every hit
// sequence, over blocks of the real size and of a few rows.
TEST(SearchDocument, ThousandsOfRows) {
    std::mt19937 rng(99);
    const std::vector<std::string> words = {"ab ", "ａｂ", "AB", sj("ｱﾌﾞ"), sj("アブ"), "x_y ", sj("表ソ"), "\t", sj("　"), "abab"};
    std::string text;
    for (int line = 0; line < 2000; ++line) {
        const int n = int(rng() % 12);
        for (int i = 0; i < n; ++i) text += words[rng() % words.size()];
        text += "\r\n";
    }
    for (int wrap : {0, 24}) {
        DocOracle o;
        o.Load(text, wrap);
        ASSERT_GE(o.Doc.GetCount(), 2000);
        for (std::size_t block : {std::size_t(40), kFindBlockBytes}) {
            for (int opt : {D | 0, D | Z | S | L | W, Z | S | L})
                for (const std::string& pattern : {sj("アブ"), "b\r\na"s}) CompareSequences(o, pattern, TSearchOptions(opt), block);
        }
    }
}

// Hits over many rows: a blank run longer than many blocks, and a hit over three short rows at a
// block boundary, both directions.
TEST(SearchDocument, HitsOverManyRowsAcrossBlocks) {
    DocOracle o;
    std::string text = "x\r\n";
    for (int i = 0; i < 300; ++i) text += "     \r\n";
    text += "b\r\na\r\n\r\nb\r\n";
    o.Load(text, 0);
    for (std::size_t block : {1, 3, 64, 8192}) {
        auto down = SearchDocument(o.Doc, {0, 0, 0}, "xb", D | S | L, block);
        ASSERT_TRUE(down) << block;
        EXPECT_EQ(*down, (TDocumentHit{0, 0, 301, 1, 3 + 300 * 7 + 1})) << block;
        auto up = SearchDocument(o.Doc, {o.Doc.GetCount(), 0, 0}, "ab", 0 | L, block);
        ASSERT_TRUE(up) << block;
        EXPECT_EQ(*up, (TDocumentHit{302, 0, 304, 1, 6})) << block;
        CompareSequences(o, "b", D | S | L, block);
        CompareSequences(o, "xb", S | L, block);
    }
}

TEST(SearchDocument, EndPositionsAndEmptyInputs) {
    DocOracle o;
    o.Load("abc\r\ndef", 0);
    EXPECT_EQ(SearchDocument(o.Doc, {0, 0, 0}, "c", D), (TDocumentHit{0, 2, 0, 3, 1}));
    EXPECT_EQ(SearchDocument(o.Doc, {0, 0, 0}, "cd", D | L), (TDocumentHit{0, 2, 1, 1, 4}));
    EXPECT_EQ(SearchDocument(o.Doc, {0, 0, 0}, "f", D), (TDocumentHit{1, 2, 1, 3, 1}));
    EXPECT_EQ(SearchDocument(o.Doc, {2, 0, 0}, "a", 0), (TDocumentHit{0, 0, 0, 1, 1}));  // from past the end
    EXPECT_EQ(SearchDocument(o.Doc, {0, 99, 0}, "d", D), (TDocumentHit{1, 0, 1, 1, 1}));  // byte clamped
    EXPECT_FALSE(SearchDocument(o.Doc, {0, 0, 0}, "", D));
    EXPECT_FALSE(SearchDocument(o.Doc, {0, -1, 0}, "a", D));
    EXPECT_FALSE(SearchDocument(o.Doc, {1, 3, 0}, "a", D));
    DocOracle broken;
    broken.Load("ab\r\n", 0);
    EXPECT_EQ(SearchDocument(broken.Doc, {0, 0, 0}, "b", D), (TDocumentHit{0, 1, 0, 2, 1}));
    EXPECT_EQ(SearchDocument(broken.Doc, {0, 0, 0}, "b\r\n", D | C), (TDocumentHit{0, 1, 1, 0, 3}));
    DocOracle empty;
    empty.Load("", 0);
    EXPECT_FALSE(SearchDocument(empty.Doc, {0, 0, 0}, "a", D));
}

// With word wrap on, a row's last character decides whether the next row starts a word.
TEST(SearchDocument, WholeWordsAtWrappedRowStarts) {
    DocOracle o;
    o.Load("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaabc aaaaaaaaaaaaaaaaaaaaaaaaaa(bc)", 20);
    ASSERT_GT(o.Doc.GetCount(), 2);
    for (std::size_t block : {1, 8192}) {
        CompareSequences(o, "bc", D | W, block);
        CompareSequences(o, "bc", W, block);
    }
}

}  // namespace
}  // namespace orvane
