// The HTML, Java, C++ and Delphi modes on any bytes: random rows in random states stay inside
// their rows, very long rows and unclosed constructs at the end of the text are scanned to their
// end, and an opener typed near the top of a long text re-tokenizes a bounded number of rows.
#include "modes/mode_harness.h"
#include "modes/mode_sources.h"
#include "modes/modes_support.h"
#include "modes/tokenize.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane::test {
namespace {

TKindName NamesOf(TModeLang Lang) {
    switch (Lang) {
    case TModeLang::Html: return HtmlTokenKindName;
    case TModeLang::Java: return JavaTokenKindName;
    case TModeLang::Cpp: return CppTokenKindName;
    default: return DelphiTokenKindName;
    }
}

// Bytes drawn mostly from those the modes treat specially, lead and trail bytes among them.
std::string RandomRow(std::mt19937& Rng, int MaxLen) {
    static const std::string pool = std::string("<>&=\"'/#$;{}()*!-ax0 \t\0", 24) + "13.@:\x81\x82\x83\x88\x9F\xE0\xFC\x40\x5C\x7C\xA0\xB1\xDF\xFD\xFF";
    std::string s(Rng() % (MaxLen + 1), ' ');
    for (char& c : s) c = Rng() % 10 == 0 ? static_cast<char>(Rng()) : pool[Rng() % pool.size()];
    return s;
}

class EveryMode : public ::testing::TestWithParam<TModeLang> {};

TEST_P(EveryMode, RandomRowsInRandomStatesStayInsideTheRow) {
    auto f = NewModeFountain(GetParam());
    auto parser = f->NewParser();
    std::mt19937 rng(31 + static_cast<int>(GetParam()));
    for (int i = 0; i < 3000; ++i) {
        const std::string row = RandomRow(rng, 40);
        // An exact-size heap copy, so that a read past the end is caught by the address checker.
        std::unique_ptr<char[]> exact(new char[row.size() + 1]);
        std::copy(row.begin(), row.end(), exact.get());
        TRowAttributeData state;
        state.OpenBracket = static_cast<int>(rng() % 4) - 1;
        state.ModeState = static_cast<int>(rng() % 4);
        state.LastTokenKind = static_cast<TTokenKind>(rng() % 60);
        state.CarryToken = static_cast<TTokenKind>(rng() % 60);
        state.CarryLength = static_cast<int>(rng() % 5);
        DumpTokens(*parser, std::string_view(exact.get(), row.size()), NamesOf(GetParam()), state);
        for (parser->BeginRow(std::string_view(exact.get(), row.size()), state); parser->NextToken() != tokEnd;)
            parser->ColorForToken();
        if (HasFailure()) {
            ADD_FAILURE() << "row " << Readable(row);
            return;
        }
    }
}

TEST_P(EveryMode, LongRowsAreScannedToTheirEnd) {
    // 320 KB rows of constructs that never close, and of runs the scanners look ahead in
    static const std::string kUnits[] = {"<a ", "&amp", "a@b", "x=\"", "/*", "(*", "#", "asm ", "\x82",
                                         std::string(1, '\0')};
    auto f = NewModeFountain(GetParam());
    auto parser = f->NewParser();
    for (const std::string& unit : kUnits) {
        std::string row;
        while (row.size() < 320 * 1024) row += unit;
        // every byte is scanned: the tokens cover the row up to blanks
        parser->BeginRow(row, {});
        int end = 0, tokens = 0;
        while (parser->NextToken() != tokEnd) {
            ASSERT_GE(parser->TokenPos(), end);
            end = parser->TokenPos() + parser->TokenLength();
            ++tokens;
        }
        EXPECT_GT(tokens, 0) << Readable(unit);
        EXPECT_GE(end, static_cast<int>(row.size()) - 1) << Readable(unit);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, EveryMode, ::testing::ValuesIn(kModeLangs),
                         [](const auto& info) { return std::string(ModeLangName(info.param)); });

struct EndCase {
    TModeLang lang;
    std::string text;      // the whole text; its last row is unclosed
    std::string lastRow;   // the tokens of the last row in its computed state
};

class UnclosedAtTheEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(UnclosedAtTheEnd, LastRowRunsToTheEnd) {
    const EndCase& c = GetParam();
    auto f = NewModeFountain(c.lang);
    for (const bool wrap : {false, true}) {
        ModeDocument m(*f);
        m.View.Full = true;
        m.Doc.WrapOption().SetWrapByte(8);
        m.Doc.SetWordWrap(wrap);
        m.Doc.SetText(c.text);
        ExpectStatesMatchFromScratch(m, wrap ? "wrap on" : "wrap off");
        if (!wrap) {
            const int last = m.Doc.Count() - 1;
            TRowAttributeData d;
            m.Doc.GetRowAttributeData(last, d);
            auto parser = f->NewParser();
            EXPECT_EQ(DumpTokens(*parser, m.Doc.RowView(last), NamesOf(c.lang), d), c.lastRow);
        } else {
            ExpectTokensMatchFromScratch(m, "wrap on");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnclosedAtTheEnd,
    ::testing::Values(EndCase{TModeLang::Html, "<p>\r\n<!-- open\r\nx \x88", "Bracket:x \\x88"},
                      EndCase{TModeLang::Html, "<a href=\"x\r\ny \x82", "AttrName:y AttrName:\\x82"},
                      EndCase{TModeLang::Html, "<a\r\ntitle='abc\x88", "AttrName:title AttrEquals:= SingleQuoted:'abc\\x88"},
                      EndCase{TModeLang::Java, "/* a\r\nb \"c", "Bracket:b \"c"},
                      EndCase{TModeLang::Java, "x\r\n\"abc\x81", "DoubleQuoted:\"abc\\x81"},
                      EndCase{TModeLang::Cpp, "int a;\r\n#define X \x9F", "Preprocessor:#define X \\x9F"},
                      EndCase{TModeLang::Cpp, "/*\r\n*", "Bracket:*"},
                      EndCase{TModeLang::Delphi, "(* a\r\n*", "Bracket:*"},
                      EndCase{TModeLang::Delphi, "asm\r\nmov '\xE0", "Asm:mov SingleQuoted:'\\xE0"},
                      EndCase{TModeLang::Delphi, std::string("{\r\n\0}", 5), "Bracket:\\x00}"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST_P(EveryMode, CommentOpenerNearTheTopRetokenizesABoundedNumberOfRows) {
    constexpr int kRows = 30000, kScreen = 50, kAt = 10;
    auto f = NewModeFountain(GetParam());
    // in the generated source the comment closes a few lines below; in plain rows it never does
    for (const bool plain : {false, true}) {
        TEditorStringList rows;
        if (plain) {
            std::string text;
            for (int i = 0; i < kRows; ++i) text += "x y 12\r\n";
            rows.AssignLines(text);
        } else {
            rows.AssignLines(GeneratedSource(GetParam(), kRows));
        }
        TTokenizeView full;
        full.InitBracketsFull = true;
        TokenizeAllRows(*f, rows, full);
        TTokenizeView view;
        view.ScreenRows = kScreen;
        const std::string original = rows.Get(kAt);
        for (const std::string& text : {std::string(CommentOpener(GetParam())) + original, original}) {
            rows.Put(kAt, text);
            rows.InvalidateRowAttributes(kAt);
            EXPECT_LE(RetokenizeRows(*f, rows, kAt, true, view), 2 * kScreen + 1);
            // an unclosed opener leaves the rows past the horizon to be computed when drawn
            if (plain) {
                EXPECT_LE(rows.ComputedEnd(), kAt + 2 * kScreen + 1);
            }
        }
        // every row that holds a state holds the right one, and rows drawn later catch up
        RetokenizeRows(*f, rows, kRows / 2, false, view);
        const auto reference = ReferenceStates(*f, rows);
        TRowAttributeData d;
        for (int r = 0; r < kRows; ++r) {
            rows.GetRowAttributeData(r, d);
            if (d.OpenBracket != -2) {
                ASSERT_EQ(d, reference[r]) << "row " << r;
            }
        }
        EXPECT_NE(rows.OpenBracket(kRows / 2), -2);
    }
}

}  // namespace
}  // namespace orvane::test
