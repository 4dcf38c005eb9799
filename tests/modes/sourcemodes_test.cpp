// The Java, C++ and Delphi modes: tokens, colours, property declarations and asm blocks carried
// over rows, their default settings, and incremental tokenizing under random edits.
#include "modes/mode_harness.h"
#include "modes/modes_support.h"
#include "modes/sourcemodes.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

enum class Lang { Java, Cpp, Delphi };

std::unique_ptr<TSourceFountain> NewMode(Lang L) {
    switch (L) {
    case Lang::Java: return TStoreComponent::Create<TJavaFountain>();
    case Lang::Cpp: return TStoreComponent::Create<TCppFountain>();
    default: return TStoreComponent::Create<TDelphiFountain>();
    }
}

TKindName NamesOf(Lang L) {
    switch (L) {
    case Lang::Java: return JavaTokenKindName;
    case Lang::Cpp: return CppTokenKindName;
    default: return DelphiTokenKindName;
    }
}

struct SourceCase {
    Lang lang;
    std::string row;  // UTF-8
    std::string expected;
};

class SourceTable : public ::testing::TestWithParam<SourceCase> {};

TEST_P(SourceTable, ScansRow) {
    const SourceCase& c = GetParam();
    auto f = NewMode(c.lang);
    auto parser = f->NewParser();
    EXPECT_EQ(DumpTokens(*parser, Sjis(c.row), NamesOf(c.lang)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Java, SourceTable,
    ::testing::Values(
        SourceCase{Lang::Java, "0x1F 007 0X 0.5 0 12L 1.5e3",
                   "HexNumber:0x1F Integer:007 HexNumber:0X Float:0.5 Integer:0 Integer:12 Word:L Float:1.5e3"},
        SourceCase{Lang::Java, "s = \"a//b\"; // c", "Word:s Symbol:= DoubleQuoted:\"a//b\" Symbol:; Comment:// c"},
        SourceCase{Lang::Java, "'x' \"a\"\"b\" a/b", "SingleQuoted:'x' DoubleQuoted:\"a\"\"b\" Word:a Symbol:/ Word:b"},
        // a backslash does not escape a quote: the string ends at it and a new one runs to the row end
        SourceCase{Lang::Java, "\"a\\\"b\" x", "DoubleQuoted:\"a\\\" Word:b DoubleQuoted:\" x"},
        SourceCase{Lang::Java, "/* c */ int 漢字 #x", "Bracket:/* c */ Word:int Kanji:漢字 Symbol:# Word:x"},
        SourceCase{Lang::Java, "\"unclosed", "DoubleQuoted:\"unclosed"}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Cpp, SourceTable,
    ::testing::Values(
        SourceCase{Lang::Cpp, "#include <stdio.h>", "Preprocessor:#include <stdio.h>"},
        SourceCase{Lang::Cpp, "a # b", "Word:a Preprocessor:# b"},
        SourceCase{Lang::Cpp, "x = 0xFF; // y", "Word:x Symbol:= HexNumber:0xFF Symbol:; Comment:// y"},
        // inside a property declaration read and write are reserved; the ';' ends it
        SourceCase{Lang::Cpp, "property int X = {read=FX, write=SetX}; read",
                   "Word:property Word:int Word:X Symbol:= Symbol:{ Reserved:read Symbol:= Word:FX Symbol:, "
                   "Reserved:write Symbol:= Word:SetX Symbol:} Symbol:; Word:read"},
        SourceCase{Lang::Cpp, "PROPERTY index public index", "Word:PROPERTY Reserved:index Word:public Word:index"},
        SourceCase{Lang::Cpp, "properties read", "Word:properties Word:read"},
        // raw strings are not known: R"(a"b)" is the word R, a string up to the second quote, and
        // a string from the last quote to the end of the row; each row of a raw string spanning
        // lines is scanned as code
        SourceCase{Lang::Cpp, "R\"(a\"b)\";", "Word:R DoubleQuoted:\"(a\" Word:b Symbol:) DoubleQuoted:\";"}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Delphi, SourceTable,
    ::testing::Values(
        SourceCase{Lang::Delphi, "#13#10 #$0D $FF #", "CharCode:#13 CharCode:#10 HexCharCode:#$0D Hex:$FF CharCode:#"},
        SourceCase{Lang::Delphi, "s := 'it''s'; \"x\"",
                   "Word:s Symbol:: Symbol:= SingleQuoted:'it''s' Symbol:; Symbol:\" Word:x Symbol:\""},
        SourceCase{Lang::Delphi, "{ c } (* d *) // e", "Bracket:{ c } Bracket:(* d *) Comment:// e"},
        SourceCase{Lang::Delphi, "asm mov eax, 1 end;", "Word:asm Asm:mov Asm:eax Asm:, Asm:1 Word:end Symbol:;"},
        SourceCase{Lang::Delphi, "ASM db $FF, 'x', #0 { c } End",
                   "Word:ASM Asm:db Asm:$FF Asm:, SingleQuoted:'x' Asm:, CharCode:#0 Bracket:{ c } Word:End"},
        SourceCase{Lang::Delphi, "property X: Integer read FX write SetX; read",
                   "Word:property Word:X Symbol:: Word:Integer Reserved:read Word:FX Reserved:write Word:SetX "
                   "Symbol:; Word:read"},
        SourceCase{Lang::Delphi, "property A index 1 procedure read",
                   "Word:property Word:A Reserved:index Integer:1 Word:procedure Word:read"},
        SourceCase{Lang::Delphi, "asmx property2 x", "Word:asmx Word:property2 Word:x"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(SourceModes, ColourOfEachKind) {
    auto java = NewMode(Lang::Java);
    EXPECT_EQ(DumpColors(*java, Sjis("int x = 0x1F + 'c' /* a */ 1.5 漢 \"s\"; // d")),
              "int=Reserve x=Ank ==Symbol 0x1F=Int +=Symbol 'c'=Str /* a */=Brackets[0].ItemColor 1.5=Int 漢=DBCS "
              "\"s\"=Str ;=Symbol // d=Comment");
    auto cpp = NewMode(Lang::Cpp);
    EXPECT_EQ(DumpColors(*cpp, "property p {read=x}; #if"),
              "property=Ank p=Ank {=Symbol read=Reserve ==Symbol x=Ank }=Symbol ;=Symbol #if=PreProcessor");
    auto delphi = NewMode(Lang::Delphi);
    EXPECT_EQ(DumpColors(*delphi, "asm mov eax, 1 end; s := #13'a' (*c*) \"q\" $1"),
              "asm=Reserve mov=AsmBlock eax=AsmBlock ,=AsmBlock 1=AsmBlock end=Reserve ;=Symbol s=Ank :=Symbol "
              "==Symbol #13=Str 'a'=Str (*c*)=Brackets[1].ItemColor \"=Symbol q=Ank \"=Symbol $1=Int");
}

TEST(SourceModes, StatesCarryOverRows) {
    auto delphi = NewMode(Lang::Delphi);
    // an asm block and a property declaration over lines; a comment bracket over lines
    EXPECT_EQ(RowStates(*delphi, {"asm", "  mov eax, 1", "end;", "property P: Integer", "read F;", "{ a", "b } x"},
                        DelphiTokenKindName),
              (std::vector<std::string>{"ob=-1", "ob=-1 ms=2", "ob=-1 ms=2", "ob=-1", "ob=-1 ms=1", "ob=-1", "ob=0"}));
    auto parser = delphi->NewParser();
    TRowAttributeData inAsm;
    inAsm.ModeState = kInAsm;
    EXPECT_EQ(DumpTokens(*parser, "  mov eax, 1", DelphiTokenKindName, inAsm), "Asm:mov Asm:eax Asm:, Asm:1");

    auto cpp = NewMode(Lang::Cpp);
    // a preprocessor line over wrapped rows: the rows after the first lie inside it, as in a
    // line comment, and the row after the line is code again
    EXPECT_EQ(RowStates(*cpp, {"#defi|", "ne X|", "(a) 1", "property a", "{read=b};", "x /* y", "*/"}, CppTokenKindName),
              (std::vector<std::string>{"ob=-1", "ob=-1 carry=Preprocessor/0", "ob=-1 carry=Preprocessor/0", "ob=-1",
                                        "ob=-1 ms=1", "ob=-1", "ob=0"}));
    auto cppParser = cpp->NewParser();
    TRowAttributeData inLine;
    inLine.CarryToken = tokPreprocessor;
    EXPECT_EQ(DumpTokens(*cppParser, "(a) 1", CppTokenKindName, inLine), "Preprocessor:(a) 1");

    auto java = NewMode(Lang::Java);
    // a hexadecimal number cut by the wrap keeps its kind on the next row
    EXPECT_EQ(RowStates(*java, {"x = 0x1|", "F;"}, JavaTokenKindName),
              (std::vector<std::string>{"ob=-1", "ob=-1 carry=HexNumber/1"}));
}

TEST(SourceModes, DefaultSettings) {
    const struct {
        Lang lang;
        int words;
        std::vector<std::string> exts;
        std::vector<std::string> brackets;
        std::vector<std::string> reserved;  // written in other cases than the list's
    } cases[] = {
        {Lang::Java, 47, {".java", ".CLASS"}, {"/* */"}, {"Class", "SYNCHRONIZED", "while"}},
        {Lang::Cpp, 48, {".cpp", ".c", ".hpp", ".H"}, {"/* */"}, {"TYPEDEF", "Asm", "volatile"}},
        {Lang::Delphi, 95, {".pas", ".DPR", ".inc"}, {"{ }", "(* *)"}, {"BEGIN", "ResourceString", "xor"}},
    };
    for (const auto& c : cases) {
        auto f = NewMode(c.lang);
        EXPECT_EQ(f->ReserveWordList().Count(), c.words);
        EXPECT_EQ(f->FileExtList().Count(), static_cast<int>(c.exts.size()));
        for (const std::string& e : c.exts) EXPECT_TRUE(f->HandlesExt(e)) << e;
        std::vector<std::string> brackets;
        for (int i = 0; i < f->Brackets().Count(); ++i)
            brackets.push_back(f->Brackets().Items(i)->LeftBracket() + " " + f->Brackets().Items(i)->RightBracket());
        EXPECT_EQ(brackets, c.brackets);
        auto parser = f->NewParser();
        for (const std::string& w : c.reserved) {
            parser->BeginRow(w, {});
            ASSERT_EQ(parser->NextToken(), tokWord);
            EXPECT_TRUE(parser->IsReservedWord()) << w;
        }
        parser->BeginRow("integer", {});
        parser->NextToken();
        EXPECT_FALSE(parser->IsReservedWord());
    }
}

TEST(SourceModes, AssignCopiesColoursOfTheSameMode) {
    auto a = TStoreComponent::Create<TDelphiFountain>();
    a->AsmBlock().SetColor(clRed);
    a->Str().SetColor(clGreen);
    auto b = TStoreComponent::Create<TDelphiFountain>();
    int notified = 0;
    TMethod m;
    m.Call = [&](TObject*) { ++notified; };
    b->NotifyEventList().Add(m);
    b->Assign(*a);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(b->AsmBlock().Color(), clRed);
    EXPECT_EQ(b->Str().Color(), clGreen);
    EXPECT_EQ(b->Brackets().Count(), 2);
}

struct EditCase {
    Lang lang;
    RandomEdits plan;
};

RandomEdits JavaEdits() {
    RandomEdits p;
    p.StartText = Sjis("class A {\r\n  /* 説明\r\n  */ int x = 0x1F; // c\r\n  String s = \"a\"\"b\";\r\n"
                       "  char c = 'q';\r\n}\r\nend");
    p.Pieces = {"/*", "*/", "//", "\"", "'", "0x", "0", "1.5e3", "int ", "class", "\r\n", "\r\n", " ", "\t", "abcdefgh",
                Sjis("日本語"), "\x88", std::string(1, '\0'), "/", "*"};
    p.Seed = 21;
    return p;
}

RandomEdits CppEdits() {
    RandomEdits p;
    p.StartText = "#include <a.h>\r\n#define X(a) \\\r\nproperty int P = {read=F, write=G};\r\n"
                  "/* c\r\n */ int main() { return 0x0; }\r\nend";
    p.Pieces = {"/*", "*/", "//", "\"", "'", "0x", "#", "#define ", "property ", "read", "write", "public", ";",
                "\r\n", "\r\n", " ", "\t", "abcdefgh", Sjis("日本語"), "\x88", std::string(1, '\0'), "*"};
    p.Seed = 22;
    return p;
}

RandomEdits DelphiEdits() {
    RandomEdits p;
    p.StartText = "unit U;\r\n{ comment\r\n}\r\nprocedure P;\r\nasm\r\n  mov eax, $FF\r\nend;\r\n"
                  "property X: Integer read FX write SetX;\r\n(* c *) s := #13#$0A + 'it''s';\r\nend.";
    p.Pieces = {"{", "}", "(*", "*)", "//", "'", "#", "#$", "$", "asm ", "end", "property ", "read", "procedure",
                ";", "\r\n", "\r\n", " ", "\t", "abcdefgh", Sjis("日本語"), "\x88", std::string(1, '\0'), "*"};
    p.Seed = 23;
    return p;
}

TEST(SourceModes, RandomEditsMatchTokenizingFromScratch) {
    for (const auto& [lang, plan] : {EditCase{Lang::Java, JavaEdits()}, EditCase{Lang::Cpp, CppEdits()},
                                     EditCase{Lang::Delphi, DelphiEdits()}}) {
        SCOPED_TRACE(static_cast<int>(lang));
        auto f = NewMode(lang);
        RunRandomEdits(*f, plan);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace orvane::test
