// The style list: templates, the extension table, deleting styles, the shared modes' defaults.
#include "styles/stylelist.h"

#include "base/exceptions.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(StyleTemplates, EachTemplateSetsItsModeMarksAndSwitches) {
    struct Case {
        TStyleTemplate Template;
        int Mode;
        bool DByteSpace, AutoIndent, Ruler, Mail;
    };
    const Case cases[] = {
        {TStyleTemplate::Standard, smNone, false, false, false, false},
        {TStyleTemplate::Text, smNone, false, false, true, true},
        {TStyleTemplate::Dictionary, smNone, false, false, false, false},
        {TStyleTemplate::HTML, smHTML, false, true, false, false},
        {TStyleTemplate::Delphi, smDelphi, true, true, false, false},
        {TStyleTemplate::Cpp, smCpp, true, true, false, false},
        {TStyleTemplate::Perl, smPerl, true, true, false, false},
        {TStyleTemplate::Java, smJava, true, true, false, false},
    };
    TOrvaneStyleList list;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(StyleTemplateInfo(c.Template).DefaultName));
        TOrvaneStyle& style = list.Styles(list.AddStyle(StyleTemplateInfo(c.Template).DefaultName));
        style.Prop().Font().SetName("IPAGothic");
        style.ApplyTemplate(TStyleTemplate::Cpp);  // a template replaces what another one set
        style.ApplyTemplate(c.Template);
        EXPECT_EQ(style.Fountain(), c.Mode);
        EXPECT_EQ(style.FountainObject(), list.FountainOfMode(c.Mode));
        EXPECT_EQ(style.Marks().DByteSpace().Visible(), c.DByteSpace);
        EXPECT_TRUE(style.Marks().TabMark().Visible());
        EXPECT_EQ(style.Prop().Caret().AutoIndent(), c.AutoIndent);
        EXPECT_EQ(style.Prop().Caret().PrevSpaceIndent(), c.AutoIndent);
        EXPECT_EQ(style.Prop().Ruler().Visible(), c.Ruler);
        EXPECT_EQ(style.Prop().View().Mail(), c.Mail);
        EXPECT_EQ(style.Prop().Caret().Style(), csBrief);
        EXPECT_EQ(style.Prop().ScrollBars(), ssVertical);
        EXPECT_EQ(style.Prop().Font().Name(), "IPAGothic");  // templates leave the font's face alone
    }
    TOrvaneStyle& dict = list.Styles(list.IndexOfStyleName("辞書ファイル"));
    EXPECT_EQ(dict.Prop().ReserveWordList().Count(), 2);
    EXPECT_EQ(dict.Prop().View().Commenter(), "//");
    EXPECT_EQ(dict.Prop().View().Colors().Reserve().Color(), clBlue);
}

TEST(StyleList, DeletingAStyleRenumbersTheExtensions) {
    TOrvaneStyleList list;
    for (const char* name : {"a", "b", "c"}) list.AddStyle(name);
    list.SetExtStyle("txt", 0);
    list.SetExtStyle("html", 1);
    list.SetExtStyle("pl", 2);
    list.SetExtStyle("cpp", 3);
    list.SetExtStyle("cpp", 9);  // out of range: ignored
    list.DeleteStyle(2);
    ASSERT_EQ(list.StyleCount(), 3);
    EXPECT_EQ(list.StyleNames(2), "c");
    const int expected[] = {0, 1, 0, 2};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list.ExtStyleIndexes(i), expected[i]) << list.Exts(i);
    EXPECT_THROW(list.DeleteStyle(0), EListError);
    EXPECT_THROW(list.DeleteStyle(3), EListError);
    EXPECT_EQ(list.DefaultStyle().Prop().Caret().TabSpaceCount(), 8);
    EXPECT_EQ(list.StyleNames(0), "標準");
    EXPECT_EQ(list.IndexOfStyleName("C"), 2);
    EXPECT_EQ(list.IndexOfStyleName("d"), -1);
}

TEST(StyleList, StyleOfAFileByItsExtension) {
    TOrvaneStyleList list;
    list.AddStyle("html");
    list.AddStyle("text");
    list.SetExtStyle("html", 1);
    list.SetExtStyle("HTM", 1);
    list.SetExtStyle("txt", 2);
    const std::pair<const char*, int> cases[] = {
        {"/home/u/a.html", 1}, {"a.HTML", 1}, {"page.htm", 1}, {"notes.txt", 2}, {"notes.txt.bak", 0},
        {"/home/u.txt/readme", 0}, {"Makefile", 0}, {"a.", 0}, {"", 0}, {"無題", 0}, {"/x/.txt", 2},
    };
    for (const auto& [name, style] : cases) EXPECT_EQ(list.StyleIndexOfFile(name), style) << name;
}

TEST(StyleList, StarterStylesGiveScriptsAndPagesTheirModes) {
    TOrvaneStyleList list;
    list.AddStarterStyles();
    const std::pair<const char*, int> cases[] = {
        {"index.html", smHTML}, {"a.HTM", smHTML}, {"form.cgi", smPerl}, {"Lib.pm", smPerl},
        {"main.cpp", smCpp},    {"x.h", smCpp},    {"App.java", smJava}, {"unit1.pas", smDelphi},
        {"notes.txt", 0},       {"Makefile", 0},
    };
    for (const auto& [name, mode] : cases)
        EXPECT_EQ(list.Styles(list.StyleIndexOfFile(name)).Fountain(), mode) << name;
}

TEST(StyleList, ResetGivesTheModesTheirDefaultColoursAndPerlItsWords) {
    TOrvaneStyleList list;
    THTMLFountain& html = list.HtmlMode();
    EXPECT_EQ(html.TagElement().Color(), clBlue);
    EXPECT_EQ(html.TagElement().Style(), fsBold);
    EXPECT_EQ(html.Url().Style(), fsUnderline);
    EXPECT_EQ(list.CppMode().PreProcessor().Color(), 0x008080);
    EXPECT_EQ(list.DelphiMode().Brackets().Items(1)->ItemColor().Color(), 0xFF00FF);
    EXPECT_EQ(list.JavaMode().DBCS().BkColor(), clRed);
    const TStringList& words = list.PerlMode().ReserveWordList();
    for (const char* word : {"my", "undef", "foreach", "cmp"}) EXPECT_GE(words.IndexOf(word), 0) << word;

    html.TagElement().SetColor(clRed);
    list.ResetStyles();
    EXPECT_EQ(html.TagElement().Color(), clBlue);  // the same object, reset in place
    EXPECT_EQ(&list.HtmlMode(), &html);
    EXPECT_EQ(list.FountainOfMode(0x80 | smHTML), &html);  // only the low seven bits count
    EXPECT_EQ(list.FountainOfMode(6), nullptr);
}

}  // namespace
}  // namespace orvane
