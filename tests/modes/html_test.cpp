// The HTML mode: tokens inside and outside tags, their colours, the tag state carried over rows,
// and incremental tokenizing under random edits.
#include "modes/htmlfountain.h"
#include "modes/mode_harness.h"
#include "modes/modes_support.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

std::unique_ptr<THTMLFountain> NewHtml() { return TStoreComponent::Create<THTMLFountain>(); }

struct HtmlCase {
    std::string row;  // UTF-8
    std::string expected;
};

class HtmlTable : public ::testing::TestWithParam<HtmlCase> {};

TEST_P(HtmlTable, ScansRow) {
    auto f = NewHtml();
    auto parser = f->NewParser();
    EXPECT_EQ(DumpTokens(*parser, Sjis(GetParam().row), HtmlTokenKindName), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, HtmlTable,
    ::testing::Values(
        HtmlCase{"<a href='x.html'>", "TagOpen:< TagName:a AttrName:href AttrEquals:= SingleQuoted:'x.html' TagClose:>"},
        HtmlCase{"</p>", "TagOpen:< TagName:/p TagClose:>"},
        HtmlCase{"<td width=50 nowrap>",
                 "TagOpen:< TagName:td AttrName:width AttrEquals:= AttrValue:50 AttrName:nowrap TagClose:>"},
        HtmlCase{"<p class=\"a b\" id=x>t",
                 "TagOpen:< TagName:p AttrName:class AttrEquals:= DoubleQuoted:\"a b\" AttrName:id AttrEquals:= "
                 "AttrValue:x TagClose:> Word:t"},
        // a value with a URL prefix is a URL; the next word of the tag is then not classified
        HtmlCase{"<a href=http://x.jp/?a=1 title=t>",
                 "TagOpen:< TagName:a AttrName:href AttrEquals:= Url:http://x.jp/?a=1 Word:title Symbol:= Word:t "
                 "TagClose:>"},
        HtmlCase{"<p title=日本語>テキスト", "TagOpen:< TagName:p AttrName:title AttrEquals:= AttrValue:日本語 TagClose:> "
                                            "Katakana:テキスト"},
        // an empty value still lets '>' close the tag
        HtmlCase{"<a href=>x", "TagOpen:< TagName:a AttrName:href AttrEquals:= TagClose:> Word:x"},
        // a tab separates the parts of a tag like a space
        HtmlCase{"<td\twidth=\t5>", "TagOpen:< TagName:td Tab:\\x09 AttrName:width AttrEquals:= Tab:\\x09 AttrValue:5 "
                                   "TagClose:>"},
        // a '<' inside an unclosed tag starts a new tag
        HtmlCase{"<a <b>", "TagOpen:< TagName:a TagOpen:< TagName:b TagClose:>"},
        HtmlCase{"<a title=\"abc", "TagOpen:< TagName:a AttrName:title AttrEquals:= DoubleQuoted:\"abc"},
        HtmlCase{"<a title='x>y'>", "TagOpen:< TagName:a AttrName:title AttrEquals:= SingleQuoted:'x>y' TagClose:>"}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Text, HtmlTable,
    ::testing::Values(
        // a lone '<', a '>' outside a tag and a lone '&' are text
        HtmlCase{"a < b > c", "Word:a Symbol:< Word:b Symbol:> Word:c"},
        HtmlCase{"a <b", "Word:a TagOpen:< TagName:b"},
        HtmlCase{"x & y &amp; &#38; &amp &#x26;", "Word:x Symbol:& Word:y Entity:&amp; Entity:&#38; Entity:&amp "
                                                 "Entity:&#x26;"},
        HtmlCase{"\"q\" 'r'", "Symbol:\" Word:q Symbol:\" Symbol:' Word:r Symbol:'"},
        HtmlCase{"<!-- <b> --> x", "Bracket:<!-- <b> --> Word:x"},
        HtmlCase{"mail a@b.jp www.x.jp/a", "Word:mail Mail:a@b.jp Url:www.x.jp/a"},
        HtmlCase{"<!DOCTYPE html>", "TagOpen:< Symbol:! Word:DOCTYPE Word:html TagClose:>"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(HtmlMode, ColourOfEachKind) {
    auto f = NewHtml();
    EXPECT_EQ(DumpColors(*f, "<a href=x title='t'>&amp; http://a a@b.c <!--c--> w"),
              "<=TagColor a=TagElement href=TagAttribute ==TagColor x=TagAttributeValue title=TagAttribute "
              "==TagColor 't'=Str >=TagColor &amp;=Ampersand http://a=Url a@b.c=Mail "
              "<!--c-->=Brackets[0].ItemColor w=-");
    TStringList words;
    words.Add("table");
    f->SetReserveWordList(words);
    EXPECT_EQ(DumpColors(*f, "<TABLE> table"), "<=TagColor TABLE=Reserve >=TagColor table=Reserve");
}

TEST(HtmlMode, TagAndCommentStatesCarryOverRows) {
    auto f = NewHtml();
    // a tag over two lines keeps its state; a comment runs over rows as a bracket
    EXPECT_EQ(RowStates(*f, {"<a href=\"x\"", "title=y>", "<!-- <b>", "-->", "z"}, HtmlTokenKindName),
              (std::vector<std::string>{"ob=-1", "ob=-1 ms=1 last=DoubleQuoted", "ob=-1 last=TagClose",
                                        "ob=0 last=Bracket", "ob=-1 last=Bracket"}));
    auto parser = f->NewParser();
    TRowAttributeData inTag;
    inTag.ModeState = 1;
    inTag.LastTokenKind = tokDoubleQuoted;
    EXPECT_EQ(DumpTokens(*parser, "title=y>", HtmlTokenKindName, inTag),
              "AttrName:title AttrEquals:= AttrValue:y TagClose:>");
    // a lone '<' at the end of a line does not open a tag for the lines below
    EXPECT_EQ(RowStates(*f, {"a <", "b"}, HtmlTokenKindName), (std::vector<std::string>{"ob=-1", "ob=-1 last=Symbol"}));
}

TEST(HtmlMode, TokensCutByTheWrapKeepTheirKinds) {
    auto f = NewHtml();
    // an element name, a quoted value and an entity cut by the wrap
    const std::vector<std::string> texts = {"<tab|", "le x=\"a |", "b\">&am|", "p; c"};
    EXPECT_EQ(RowStates(*f, texts, HtmlTokenKindName),
              (std::vector<std::string>{"ob=-1", "ob=-1 carry=TagName/2 ms=1 last=TagOpen",
                                        "ob=-1 carry=DoubleQuoted/0 ms=1 last=AttrEquals",
                                        "ob=-1 carry=Entity/2 last=TagClose"}));
    TEditorStringList rows;
    SetRowsOf(rows, texts);
    const auto states = ReferenceStates(*f, rows);
    auto parser = f->NewParser();
    EXPECT_EQ(DumpTokens(*parser, rows.Get(1), HtmlTokenKindName, states[1]),
              "TagName:le AttrName:x AttrEquals:= DoubleQuoted:\"a ");
    EXPECT_EQ(DumpTokens(*parser, rows.Get(2), HtmlTokenKindName, states[2]), "DoubleQuoted:b\" TagClose:> Entity:&am");
    EXPECT_EQ(DumpTokens(*parser, rows.Get(3), HtmlTokenKindName, states[3]), "Entity:p; Word:c");
}

TEST(HtmlMode, DefaultsAndAssign) {
    auto f = NewHtml();
    EXPECT_TRUE(f->HandlesExt(".HTML"));
    EXPECT_TRUE(f->HandlesExt(".htm"));
    EXPECT_FALSE(f->HandlesExt(".xml"));
    ASSERT_EQ(f->Brackets().Count(), 1);
    EXPECT_EQ(f->Brackets().Items(0)->LeftBracket(), "<!--");
    EXPECT_EQ(f->Brackets().Items(0)->RightBracket(), "-->");
    EXPECT_EQ(f->ReserveWordList().Count(), 0);

    f->TagElement().SetColor(clBlue);
    auto g = NewHtml();
    int notified = 0;
    TMethod m;
    m.Call = [&](TObject*) { ++notified; };
    g->NotifyEventList().Add(m);
    g->Assign(*f);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(g->TagElement().Color(), clBlue);
    g->Ampersand().SetStyle(fsItalic);
    EXPECT_EQ(notified, 2);
    EXPECT_TRUE(g->UsesItalic(*g));
}

TEST(HtmlMode, RandomEditsMatchTokenizingFromScratch) {
    auto f = NewHtml();
    RandomEdits plan;
    plan.StartText = Sjis("<html><body>\r\n<p class=\"a\">本文 &amp; <a href=http://x.jp/>link</a>\r\n"
                          "<!-- comment\r\n<b>still</b> -->\r\n<td width=50 nowrap>x</td>\r\nend");
    plan.Pieces = {"<", ">", "<a ", "</p>", "=", "\"", "'", " x=\"y\" ", "<!--", "-->", "&amp;", "&", "&#",
                   "http://a.jp/ ", "a@b.jp ", "\r\n", "\r\n", " ", "\t", Sjis("日本"), "\x88", std::string(1, '\0'),
                   "href=", "abcdefgh"};
    plan.Seed = 15;
    RunRandomEdits(*f, plan);
}

}  // namespace
}  // namespace orvane::test
