// The Perl mode: small Perl sources and the tokens of each of their rows, the states carried over
// wrapped rows, the mode's colours and settings.
#include "modes/modes_support.h"
#include "modes/perl_support.h"
#include "modes/perlfountain.h"
#include "modes/tokenize.h"

#include <gtest/gtest.h>

#include <map>

namespace orvane::test {
namespace {

using P = TPerlFountainParser;

struct SourceCase {
    std::string source;    // UTF-8; rows end at '\n', and a row ending in '|' is wrapped
    std::string expected;  // the rows' tokens, rows joined by " / "
};

void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.source; }

class PerlSources : public ::testing::TestWithParam<SourceCase> {};

TEST_P(PerlSources, GiveTokens) {
    const SourceCase& c = GetParam();
    auto mode = NewPerlFountain();
    EXPECT_EQ(DumpSource(*mode, c.source), c.expected) << c.source;
}

INSTANTIATE_TEST_SUITE_P(
    Variables, PerlSources,
    ::testing::Values(
        SourceCase{"$x = @list + %hash;", "ScalarVar:$x Symbol:= ArrayVar:@list Symbol:+ HashVar:%hash Symbol:;"},
        SourceCase{"$_ $0 $12a $$ $$name $$$x", "ScalarVar:$_ ScalarVar:$0 ScalarVar:$12 Word:a ScalarVar:$$ ScalarVar:$$name ScalarVar:$$$x"},
        // punctuation variables, so that "$#" is no comment, "$'" no string and "$/" no pattern
        SourceCase{"$#a $' $/ $; $& $\\ $!", "ScalarVar:$# Word:a ScalarVar:$' ScalarVar:$/ ScalarVar:$; ScalarVar:$& ScalarVar:$\\ ScalarVar:$!"},
        // "$$" before a byte that cannot start a name, also at the end of the row
        SourceCase{"kill $$;", "Word:kill ScalarVar:$$ Symbol:;"},
        SourceCase{"$$", "ScalarVar:$$"},
        SourceCase{"$$$$; $$$", "ScalarVar:$$ ScalarVar:$$ Symbol:; ScalarVar:$$ Symbol:$"},
        SourceCase{"$", "Symbol:$"},
        SourceCase{"${x} $ x @$r %$r @_", "Symbol:$ Symbol:{ Word:x Symbol:} Symbol:$ Word:x Symbol:@ ScalarVar:$r Symbol:% ScalarVar:$r ArrayVar:@_"},
        SourceCase{"&foo(1) && &$f", "Word:&foo Symbol:( Integer:1 Symbol:) Symbol:& Symbol:& Symbol:& ScalarVar:$f"},
        SourceCase{"\\n \\0177 \\x1F \\\\ \\ x", "Escape:\\n Escape:\\0177 Escape:\\x1F Escape:\\\\ Symbol:\\ Word:x"},
        SourceCase{"0x1F 0xg 12 3.5 1e3 7.", "Hex:0x1F Integer:0 Word:xg Integer:12 Float:3.5 Float:1e3 Float:7 Symbol:."},
        SourceCase{"if ($a eq 'x') { return }", "Reserved:if Symbol:( ScalarVar:$a Reserved:eq SingleQuoted:'x' Symbol:) Symbol:{ Reserved:return Symbol:}"}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Strings, PerlSources,
    ::testing::Values(
        SourceCase{"'it''s' 'a\\'b'", "SingleQuoted:'it' SingleQuoted:'s' SingleQuoted:'a\\' Word:b SingleQuoted:'"},
        SourceCase{"`ls -l` 'open", "BackQuoted:`ls -l` SingleQuoted:'open"},
        // a double-quoted string is scanned token by token: an escaped quote does not close it
        SourceCase{"print \"a \\\"b\\\" $x # if\";", "Word:print DoubleQuoted:\" DoubleQuoted:a DoubleQuoted:\\\" DoubleQuoted:b DoubleQuoted:\\\" DoubleQuoted:$ DoubleQuoted:x DoubleQuoted:# DoubleQuoted:if DoubleQuoted:\" Symbol:;"},
        // closed at the end of its line
        SourceCase{"$s = \"abc\nif", "ScalarVar:$s Symbol:= DoubleQuoted:\" DoubleQuoted:abc / Reserved:if"},
        SourceCase{"\"漢字かな\"", "DoubleQuoted:\" DoubleQuoted:漢字 DoubleQuoted:かな DoubleQuoted:\""},
        SourceCase{"q(a(b)c) x", "LiteralQuoted:q( LiteralQuoted:a LiteralQuoted:( LiteralQuoted:b LiteralQuoted:) LiteralQuoted:c LiteralQuoted:) Word:x"},
        SourceCase{"qq{a\nif { b } }\nc", "LiteralQuoted:qq{ LiteralQuoted:a / LiteralQuoted:if LiteralQuoted:{ LiteralQuoted:b LiteralQuoted:} LiteralQuoted:} / Word:c"},
        SourceCase{"qw/a b/; qx!ls!; q#x#;", "LiteralQuoted:qw/ LiteralQuoted:a LiteralQuoted:b LiteralQuoted:/ Symbol:; LiteralQuoted:qx! LiteralQuoted:ls LiteralQuoted:! Symbol:; LiteralQuoted:q# LiteralQuoted:x LiteralQuoted:# Symbol:;"},
        SourceCase{"q<a<b>>;", "LiteralQuoted:q< LiteralQuoted:a LiteralQuoted:< LiteralQuoted:b LiteralQuoted:> LiteralQuoted:> Symbol:;"},
        // an escaped delimiter stays inside; a backslash delimiter closes
        SourceCase{"q(a\\)b) q\\a\\ x", "LiteralQuoted:q( LiteralQuoted:a LiteralQuoted:\\) LiteralQuoted:b LiteralQuoted:) LiteralQuoted:q\\ LiteralQuoted:a LiteralQuoted:\\ Word:x"},
        // the letters alone, or before a blank, a closing bracket or "=>", are words
        SourceCase{"quit qq q => 1, $h{s} $h{y} $a[q] (m) y=>2 sub", "Word:quit Word:qq Word:q Symbol:= Symbol:> Integer:1 Symbol:, ScalarVar:$h Symbol:{ Word:s Symbol:} ScalarVar:$h Symbol:{ Word:y Symbol:} ScalarVar:$a Symbol:[ Word:q Symbol:] Symbol:( Word:m Symbol:) Word:y Symbol:= Symbol:> Integer:2 Reserved:sub"}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Patterns, PerlSources,
    ::testing::Values(
        SourceCase{"a/2", "Word:a Pattern:/ Pattern:2"},
        SourceCase{"a / 2", "Word:a Symbol:/ Integer:2"},
        SourceCase{"$x =~ /a.b/ix; $y /\n2", "ScalarVar:$x Symbol:= Symbol:~ Pattern:/ Pattern:a Pattern:. Pattern:b Pattern:/ix Symbol:; ScalarVar:$y Symbol:/ / Integer:2"},
        SourceCase{"m{a}g qr/x/i", "Pattern:m{ Pattern:a Pattern:} Word:g Pattern:qr/ Pattern:x Pattern:/i"},
        SourceCase{"s/a/b/gi;", "SubstPattern:s/ SubstPattern:a SubstReplacement:/ SubstReplacement:b SubstReplacement:/gi Symbol:;"},
        SourceCase{"$x = s{a}{b}g;", "ScalarVar:$x Symbol:= SubstPattern:s{ SubstPattern:a SubstReplacement:} SubstReplacement:{ SubstReplacement:b SubstReplacement:}g Symbol:;"},
        // the parts of s{}{} over rows, the second one with a delimiter of its own
        SourceCase{"s{a{1}\n}\n  {b}e; s(x)/y/;", "SubstPattern:s{ SubstPattern:a SubstPattern:{ SubstPattern:1 SubstPattern:} / SubstReplacement:} / SubstReplacement:{ SubstReplacement:b SubstReplacement:}e Symbol:; SubstPattern:s( SubstPattern:x SubstReplacement:) SubstReplacement:/ SubstReplacement:y SubstReplacement:/ Symbol:;"},
        SourceCase{"tr/a-z/A-Z/cd; y///;", "TransFrom:tr/ TransFrom:a TransFrom:- TransFrom:z TransTo:/ TransTo:A TransTo:- TransTo:Z TransTo:/cd Symbol:; TransFrom:y/ TransTo:/ TransTo:/ Symbol:;"},
        SourceCase{"tr[a]\n[b]s;", "TransFrom:tr[ TransFrom:a TransTo:] / TransTo:[ TransTo:b TransTo:]s Symbol:;"}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    CommentsAndPod, PerlSources,
    ::testing::Values(
        SourceCase{"$a; # if 'x' \"y", "ScalarVar:$a Symbol:; Comment:# if 'x' \"y"},
        SourceCase{"=head1 NAME if\n\ntext while\n=cut if\nwhile",
                   "Comment:=head1 Comment:NAME Comment:if /  / Comment:text Comment:while / Comment:=cut if / Reserved:while"},
        // only at the start of a line, and only the POD commands
        SourceCase{"x =head1 y\n=cutter\n=Pod", "Word:x Symbol:= Word:head1 Word:y / Symbol:= Word:cutter / Comment:=Pod"},
        // POD that never ends
        SourceCase{"=pod\nsub x {\n\"", "Comment:=pod / Comment:sub Comment:x Comment:{ / Comment:\""}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    HereDocuments, PerlSources,
    ::testing::Values(
        SourceCase{"print <<EOF;\nif <b>x</b> &amp; &\nEOF\nif",
                   "Word:print HereDoc:<<EOF; / HereDoc:if TagOpen:< TagName:b TagClose:> HereDoc:x TagOpen:< TagName:/b TagClose:> Entity:&amp; Entity:& / HereDoc:EOF / Reserved:if"},
        SourceCase{"print <<\"EOF\";\n<a href=\"x.html\" class=big\nid='y'>\n\"EOF\"\nEOF",
                   "Word:print HereDoc:<<\"EOF\"; / TagOpen:< TagName:a AttrName:href AttrEquals:= DoubleQuoted:\"x.html\" AttrName:class AttrEquals:= AttrValue:big / AttrName:id AttrEquals:= SingleQuoted:'y' TagClose:> / HereDoc:\" HereDoc:EOF HereDoc:\" / HereDoc:EOF"},
        // without a ';' ending the line "<<" is no here-document; nor before a blank or a digit
        SourceCase{"print <<EOF\n$x << 2;\n1<<2;", "Word:print Symbol:< Symbol:< Word:EOF / ScalarVar:$x Symbol:< Symbol:< Integer:2 Symbol:; / Integer:1 Symbol:< Symbol:< Integer:2 Symbol:;"},
        // a quoted terminator with a blank, an indented one, blanks after the ';'
        SourceCase{"f(<<'END IT');\nEND\nEND IT\nx", "Word:f Symbol:( HereDoc:<<'END IT'); / HereDoc:END / HereDoc:END HereDoc:IT / Word:x"},
        SourceCase{"$a = <<~EOT;  \n  x\n  EOT\nx", "ScalarVar:$a Symbol:= HereDoc:<<~EOT;   / HereDoc:x / HereDoc:EOT / Word:x"},
        // an empty terminator ends at the first empty line
        SourceCase{"print <<\"\";\na\n\nb", "Word:print HereDoc:<<\"\"; / HereDoc:a /  / Word:b"},
        // a terminator that never comes
        SourceCase{"print <<EOT;\nEOT \n EOT\n=pod", "Word:print HereDoc:<<EOT; / HereDoc:EOT / HereDoc:EOT / HereDoc:= HereDoc:pod"}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    WrappedRows, PerlSources,
    ::testing::Values(
        // an opener cut by the wrap; the nesting counted in the cut token goes on
        SourceCase{"x = q|\n(a)b", "Word:x Symbol:= LiteralQuoted:q / LiteralQuoted:( LiteralQuoted:a LiteralQuoted:) Word:b"},
        SourceCase{"print <<E|\nOT;\nEOT\nx", "Word:print HereDoc:<<E / HereDoc:OT; / HereDoc:EOT / Word:x"},
        // a terminator or a POD command in a row that continues a line does not count
        SourceCase{"print <<EOT;\nab|\nEOT\nEOT|\n=pod\nEOT\n=pod",
                   "Word:print HereDoc:<<EOT; / HereDoc:ab / HereDoc:EOT / HereDoc:EOT / HereDoc:= HereDoc:pod / HereDoc:EOT / Comment:=pod"},
        // a double-quoted string goes on over a wrap, not over a line break
        SourceCase{"\"ab|\ncd\nx", "DoubleQuoted:\" DoubleQuoted:ab / DoubleQuoted:cd / Word:x"},
        // a cut word in a here-document's tag, a cut comment
        SourceCase{"<<E;\n<ta|\nble bo|\nrder=1>\nE\n# a|\nb\nx",
                   "HereDoc:<<E; / TagOpen:< TagName:ta / TagName:ble AttrName:bo / AttrName:rder AttrEquals:= AttrValue:1 TagClose:> / HereDoc:E / Comment:# a / Comment:b / Word:x"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(PerlMode, HereHtmlOffLeavesTagsAsText) {
    auto mode = NewPerlFountain();
    mode->SetHereHtml(false);
    EXPECT_EQ(DumpSource(*mode, "print <<EOF;\n<b>&amp;</b>\nEOF"),
              "Word:print HereDoc:<<EOF; / HereDoc:< HereDoc:b HereDoc:> HereDoc:& HereDoc:amp HereDoc:; HereDoc:< "
              "HereDoc:/ HereDoc:b HereDoc:> / HereDoc:EOF");
}

// The states stored with the rows of a source, "ms/counter/carry text" where they are not zero.
std::vector<std::string> States(TPerlFountain& Mode, const std::string& Source) {
    TEditorStringList rows;
    SetPerlRows(rows, Source);
    TTokenizeView view;
    view.InitBracketsFull = true;
    TokenizeAllRows(Mode, rows, view);
    std::vector<std::string> out;
    TRowAttributeData d;
    for (int r = 0; r < rows.Count(); ++r) {
        rows.GetRowAttributeData(r, d);
        std::string s = std::to_string(d.ModeState);
        if (d.ModeState >= '!') s = std::string(1, static_cast<char>(d.ModeState));
        if (d.ModeCounter) s.append("/").append(std::to_string(d.ModeCounter));
        if (!d.CarryText.empty()) s.append(" ").append(d.CarryText);
        out.push_back(s);
    }
    return out;
}

TEST(PerlMode, RowStatesHoldTheOpenConstruct) {
    auto mode = NewPerlFountain();
    using V = std::vector<std::string>;
    EXPECT_EQ(States(*mode, "q{a{\nb}\n}\nx"), (V{"0", "}/2", "}/1", "0"}));
    EXPECT_EQ(States(*mode, "s{a}\n{b\n}\nx"), (V{"0", "2/1", "}/1", "0"}));
    EXPECT_EQ(States(*mode, "<<~EOT;\n<a\nb>\nEOT\nx"), (V{"0", "3 ~EOT", "3/1 ~EOT", "3 ~EOT", "0"}));
    EXPECT_EQ(States(*mode, "=pod\n\n=cut\nx"), (V{"0", "4", "4", "0"}));
    // the nesting count saturates at what the row keeps
    EXPECT_EQ(States(*mode, "q(" + std::string(300, '(') + "\nx"), (V{"0", ")/255"}));
}

TEST(PerlMode, VeryLongTerminatorOpensNoHereDocument) {
    auto mode = NewPerlFountain();
    const std::string word(P::kMaxTerminator + 1, 'E');
    EXPECT_EQ(States(*mode, "<<" + word + ";\nx"), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(States(*mode, "<<\"" + word + "\";\nx"), (std::vector<std::string>{"0", "0"}));
    const std::string longest(P::kMaxTerminator, 'E');
    EXPECT_EQ(States(*mode, "<<" + longest + ";\nx"), (std::vector<std::string>{"0", "3 " + longest}));
}

TEST(PerlMode, ColoursByKind) {
    auto mode = NewPerlFountain();
    auto parser = mode->NewParser();
    // Each colour set apart, so the token's colour can be told by its value.
    std::map<const TFountainColor*, std::string> names;
    mode->ForEachColor([&](std::string_view Name, TFountainColor& Color) { names[&Color] = std::string(Name); });
    std::string out;
    const std::string row = Sjis("if $x @y %z &f `c` 'a' \"b\" q(l) m/p/ s/a/b/ tr/c/d/ 12 ; x # c");
    parser->BeginRow(row, {});
    while (parser->NextToken() != tokEnd) {
        const TFountainColor* c = parser->ColorForToken();
        out += (c ? names[c] : "-") + " ";
    }
    EXPECT_EQ(out,
              "Reserve PerlVar PerlVar PerlVar Ank BackQuotation SingleQuotation DoubleQuotation DoubleQuotation "
              "DoubleQuotation LiteralQuotation LiteralQuotation LiteralQuotation Pattern Pattern Pattern Pattern Pattern "
              "Pattern Pattern Pattern Pattern Pattern Pattern Pattern Pattern Int Symbol Ank Comment ");
    parser->BeginRow("\\n\t", {});
    parser->NextToken();
    EXPECT_EQ(parser->ColorForToken(), nullptr);  // escapes take the default colours
}

TEST(PerlMode, Settings) {
    auto mode = NewPerlFountain();
    for (const char* ext : {".cgi", ".pl", ".PM", ".pod"}) EXPECT_TRUE(mode->HandlesExt(ext)) << ext;
    EXPECT_FALSE(mode->HandlesExt(".py"));
    EXPECT_EQ(mode->ReserveWordList().Count(), 21);
    EXPECT_EQ(mode->Brackets().Count(), 0);
    EXPECT_TRUE(mode->HereHtml());

    int notified = 0;
    struct Listener {
        int* Count;
        void Changed(TObject*) { ++*Count; }
    } listener{&notified};
    mode->NotifyEventList().Add(MakeMethod(&listener, &Listener::Changed));
    mode->SetHereHtml(false);
    mode->SetHereHtml(false);
    mode->Pattern().SetColor(clRed);
    EXPECT_EQ(notified, 2);

    mode->Comment().SetStyle(fsItalic);
    EXPECT_TRUE(mode->UsesItalic(*mode));
    auto copy = NewPerlFountain();
    copy->Assign(*mode);
    EXPECT_FALSE(copy->HereHtml());
    EXPECT_EQ(copy->Pattern().Color(), clRed);
    EXPECT_TRUE(copy->UsesItalic(*copy));
    mode->NotifyEventList().Remove(MakeMethod(&listener, &Listener::Changed));
}

}  // namespace
}  // namespace orvane::test
