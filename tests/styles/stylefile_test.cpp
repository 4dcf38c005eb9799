// The style file: its value forms, round trips of every key form, older and damaged files, and
// partial saves after the list changed.
#include "styles/stylefile.h"

#include "base/exceptions.h"
#include "files/filewrite.h"
#include "styles/stylelist.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::sj;

class StyleFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvane-styles-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        Dir = pattern;
        Path = (Dir / kStyleSettingsFile).string();
    }
    void TearDown() override { fs::remove_all(Dir); }

    void Write(const std::string& Text) { std::ofstream(Path, std::ios::binary) << Text; }
    std::string Read() const { return ReadFileBytes(Path); }

    fs::path Dir;
    std::string Path;
};

// The lines of After that differ from those of Before at the same place; "(lines added)" when
// the two have not the same number of lines.
std::vector<std::string> ChangedLines(const std::string& Before, const std::string& After) {
    std::vector<std::string> a, b, out;
    std::istringstream sa(Before), sb(After);
    for (std::string l; std::getline(sa, l);) a.push_back(l);
    for (std::string l; std::getline(sb, l);) b.push_back(l);
    if (a.size() != b.size()) return {"(lines added)"};
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) out.push_back(b[i]);
    return out;
}

TEST(StyleValueForms, IntegersListsAndPackedBooleans) {
    const std::pair<const char*, std::optional<std::int32_t>> ints[] = {
        {"12", 12},
        {" -7 ", -7},
        {"+3", 3},
        {"-2147483643", std::int32_t(0x80000005u)},
        {"0x80000005", std::int32_t(0x80000005u)},
        {"0X1f", 31},
        {"4294967295", -1},
        {"4294967296", std::nullopt},
        {"0x100000000", std::nullopt},
        {"0x", std::nullopt},
        {"", std::nullopt},
        {"12a", std::nullopt},
        {"abc", std::nullopt},
    };
    for (const auto& [text, value] : ints) EXPECT_EQ(ParseStyleInteger(text), value) << text;

    bool damaged = false;
    EXPECT_EQ(SplitNumberList("16777215,0,1", &damaged), (std::vector<std::int32_t>{16777215, 0, 1}));
    EXPECT_FALSE(damaged);
    EXPECT_EQ(SplitNumberList("1,,x,0x10", &damaged), (std::vector<std::int32_t>{1, 0, 0, 16}));
    EXPECT_TRUE(damaged);
    const std::int32_t numbers[] = {536870911, 8388608, 4};
    EXPECT_EQ(JoinNumberList(numbers), "536870911,8388608,4");

    bool bits[32] = {};
    bits[0] = bits[13] = bits[31] = true;
    EXPECT_EQ(PackBools(bits), 0x80002001u);
    bool back[32];
    UnpackBools(0x80002001u, back);
    EXPECT_TRUE(std::equal(std::begin(bits), std::end(bits), std::begin(back)));

    bool tooMany[33] = {};
    try {
        PackBools(tooMany);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "DWORDに変換可能なBool値は32個までです");
    }
    try {
        UnpackBools(0, tooMany);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "DWORDから取得可能なBool値は32個までです");
    }
}

// A list with a value other than the default in every key form.
void FillEveryKeyForm(TOrvaneStyleList& List) {
    TOrvaneStyle& style = List.Styles(List.AddStyle("HTMLファイル"));
    style.ApplyTemplate(TStyleTemplate::HTML);
    TEditorProp& p = style.Prop();
    p.Caret().SetSoftTab(true);
    p.Caret().SetStyle(csDefault);
    p.Caret().SetTabSpaceCount(4);
    p.SetColor(0x00FFEEDD);
    p.Font().SetName("ＭＳ ゴシック");  // not installed here: kept as written
    p.Font().SetSize(11);
    p.Font().SetStyle(fsBold | fsStrikeOut);
    p.Leftbar().SetVisible(true);
    p.Leftbar().SetShowNumberMode(nmLine);
    p.Leftbar().SetZeroLead(true);
    p.Margin().SetLeft(7);
    p.Marks().Underline().SetVisible(true);
    p.Marks().RetMark().SetColor(clRed);
    TStringList words;
    words.Add(sj("表"));
    words.Add("begin");
    p.SetReserveWordList(words);
    p.Ruler().SetVisible(true);
    p.Ruler().SetGaugeRange(8);
    TFountainBracketItem* bracket = p.View().Brackets().Add();
    bracket->SetLeftBracket(" <b ");
    bracket->SetRightBracket(sj("」"));
    bracket->ItemColor().SetColor(clGreen);
    TFountainColor& mail = p.View().Colors().Mail();
    mail.SetBkColor(clNone);
    mail.SetColor(clNavy);
    mail.SetStyle(fsUnderline);
    p.View().SetUrl(true);
    p.View().SetHexPrefix("$");
    p.View().SetCommenter(sj("＃"));
    p.View().SetQuotation("'");
    p.SetWordWrap(true);
    p.WrapOption().SetWordBreak(true);
    p.WrapOption().SetWrapByte(72);
    p.WrapOption().SetFollowStr(sj("。、"));
    p.WrapOption().SetPunctuationStr(sj("，"));
    style.Marks().VertLine().SetVisible(false);
    style.Marks().DByteSpace().SetColor(clBlue);
    List.AddStyle("Perl言語ソース");
    List.Styles(2).ApplyTemplate(TStyleTemplate::Perl);
    List.SetExtStyle("html", 1);
    List.SetExtStyle("pl", 2);
    List.HtmlMode().TagElement().SetColor(clRed);
    List.DelphiMode().Brackets().Items(1)->ItemColor().SetStyle(fsItalic);
}

TEST_F(StyleFile, EveryKeyFormIsWrittenAsStoredFilesHaveItAndReadBack) {
    {
        TOrvaneStyleList list(Path);
        FillEveryKeyForm(list);
        list.Save(sscAll);
    }
    const TIniFile ini(Path);
    struct Key {
        const char *Section, *Name, *Value;
    };
    const Key keys[] = {
        {"Style", "StyleCount", "3"},
        {"Style", "Names[1]", "HTMLファイル"},
        {"Style", "Ext.Count", "2"},
        {"Style", "Ext0", "html,1"},
        {"Style", "Ext1", "pl,2"},
        {"Style_0", "Color", "-2147483643"},  // clWindow
        {"Style_0", "Caret", "9553,1,8"},     // the base template's switches, csBrief
        {"Style_0", "Fountain", "0"},
        {"Style_1", "Caret", "14167,0,4"},
        {"Style_1", "Color", "16772829"},
        {"Style_1", "Font", "-2147483640,11,9"},
        {"Style_1", "Font.Name", "ＭＳ ゴシック"},
        {"Style_1", "Leftbar", "-2147483633,-2147483630,1,1,1,1,0,1"},
        {"Style_1", "Margin", "0,7,0,2"},
        {"Style_1", "Marks.EofMark", "-2147483631,1"},
        {"Style_1", "Marks.RetMark", "255,0"},
        {"Style_1", "Marks.Underline", "-2147483640,1"},
        {"Style_1", "ReserveWordList.Count", "2"},
        {"Style_1", "Ruler", "-2147483643,-2147483631,0,8,-2147483640,1"},
        {"Style_1", "ViewInfo.Brackets.Count", "1"},
        {"Style_1", "ViewInfo.Brackets[0].LeftBracket", " <b "},
        {"Style_1", "ViewInfo.Brackets[0].RightBracket", "」"},
        {"Style_1", "ViewInfo.Brackets[0].ItemColor", "536870911,32768,0"},
        {"Style_1", "ViewInfo.Colors.Mail", "536870911,8388608,4"},
        {"Style_1", "ViewInfo.Colors.Select", "-2147483635,-2147483634,0"},
        {"Style_1", "ViewInfo.Flags", "4"},
        {"Style_1", "ViewInfo.HexPrefix", "$"},
        {"Style_1", "ViewInfo.Commenter", "＃"},
        {"Style_1", "WordWrap", "1"},
        {"Style_1", "WrapOption", "10,72"},
        {"Style_1", "WrapOption.FollowStr", "。、"},
        {"Style_1", "WrapOption.LeadStr", "。、"},  // the follow string again, as stored files have it
        {"Style_1", "WrapOption.PunctuationStr", "，"},
        {"Style_1", "OrvaneMarks.DByteSpace", "16711680,0"},
        {"Style_1", "OrvaneMarks.VertLine", "-2147483631,0"},
        {"Style_1", "Fountain", "1"},
        {"Style_2", "Fountain", "2"},
        {"Style_HTML", "TagElement", "536870911,255,1"},
        {"Style_HTML", "Brackets[0].ItemColor", "536870911,16711935,0"},
        {"Style_Delphi", "Brackets[1].ItemColor", "536870911,16711935,2"},
        {"Style_Cpp", "PreProcessor", "536870911,32896,0"},
    };
    for (const Key& k : keys) EXPECT_EQ(ini.ReadString(k.Section, k.Name, "(none)"), k.Value) << k.Section << " " << k.Name;
    EXPECT_FALSE(ini.ValueExists("Style", "Names[0]"));
    EXPECT_FALSE(ini.ValueExists("Style_Perl", "Brackets[0].ItemColor"));

    TOrvaneStyleList back(Path);
    EXPECT_EQ(back.LoadWarning(), "");
    ASSERT_EQ(back.StyleCount(), 3);
    EXPECT_EQ(back.StyleNames(2), "Perl言語ソース");
    EXPECT_EQ(back.StyleIndexOfFile("x.pl"), 2);
    const TOrvaneStyle& s = back.Styles(1);
    const TEditorProp& p = s.Prop();
    EXPECT_TRUE(p.Caret().SoftTab());
    EXPECT_TRUE(p.Caret().AutoIndent());
    EXPECT_EQ(p.Caret().Style(), csDefault);
    EXPECT_EQ(p.Font().Name(), "ＭＳ ゴシック");
    EXPECT_EQ(p.Font().Charset(), 1);
    EXPECT_EQ(p.Font().Style(), fsBold | fsStrikeOut);
    EXPECT_EQ(p.Leftbar().ShowNumberMode(), nmLine);
    EXPECT_EQ(p.ReserveWordList().IndexOf(sj("表")) >= 0, true);
    EXPECT_EQ(p.Ruler().GaugeRange(), 8);
    ASSERT_EQ(const_cast<TEditorProp&>(p).View().Brackets().Count(), 1);
    EXPECT_EQ(const_cast<TEditorProp&>(p).View().Brackets().Items(0)->LeftBracket(), " <b ");
    EXPECT_EQ(const_cast<TEditorProp&>(p).View().Brackets().Items(0)->RightBracket(), sj("」"));
    EXPECT_EQ(const_cast<TEditorProp&>(p).View().Colors().Mail().Color(), clNavy);
    EXPECT_TRUE(p.View().Url());
    EXPECT_FALSE(p.View().Mail());
    EXPECT_EQ(p.View().Commenter(), sj("＃"));
    EXPECT_TRUE(p.WordWrap());
    EXPECT_TRUE(p.WrapOption().WordBreak());
    EXPECT_TRUE(p.WrapOption().FollowRetMark());
    EXPECT_EQ(p.WrapOption().WrapByte(), 72);
    EXPECT_EQ(p.WrapOption().FollowStr(), sj("。、"));
    EXPECT_EQ(p.WrapOption().LeadStr(), TEditorWrapOption::DefaultLeadStr());  // not kept by the file
    EXPECT_FALSE(s.Marks().VertLine().Visible());
    EXPECT_EQ(s.Marks().DByteSpace().Color(), clBlue);
    EXPECT_EQ(s.Fountain(), smHTML);
    EXPECT_EQ(back.HtmlMode().TagElement().Color(), clRed);
    EXPECT_EQ(back.DelphiMode().Brackets().Items(1)->ItemColor().Style(), fsItalic);

    // Written again, the file does not change.
    const std::string first = Read();
    back.Save(sscAll);
    EXPECT_EQ(Read(), first);
}

TEST_F(StyleFile, AFileOfAnEarlierKeySetTakesTheDefaultsForWhatItLacks) {
    Write("[Style]\r\nStyleCount=3\r\nNames[1]=Text\r\nExt.Count=1\r\nExt0=txt,1\r\n"
          "[Style_1]\r\nFont=0,12,0\r\nFont.Name=FixedSys\r\nWordWrap=1\r\nReserveWordList[0]=orphan\r\n"
          "[Style_HTML]\r\nUrl=0,255,0\r\n");
    TOrvaneStyleList list(Path);
    EXPECT_EQ(list.LoadWarning(), "");
    ASSERT_EQ(list.StyleCount(), 3);
    EXPECT_EQ(list.StyleNames(2), "2");  // no name: its number
    const TOrvaneStyle& text = list.Styles(1);
    EXPECT_TRUE(text.Prop().WordWrap());
    EXPECT_EQ(text.Prop().Font().Color(), clBlack);
    EXPECT_EQ(text.Prop().Caret().Style(), csBrief);        // base template
    EXPECT_TRUE(text.Marks().TabMark().Visible());           // base template
    EXPECT_EQ(text.Prop().ReserveWordList().Count(), 0);    // no count: no words
    EXPECT_EQ(text.Fountain(), smNone);
    EXPECT_EQ(list.StyleIndexOfFile("a.TXT"), 1);
    EXPECT_EQ(list.HtmlMode().Url().Color(), 255);
    EXPECT_EQ(list.HtmlMode().Url().Style(), 0);
    EXPECT_EQ(list.HtmlMode().TagElement().Style(), fsBold);  // default colour kept
}

TEST_F(StyleFile, ListKeysTheReaderSkipsOrLimits) {
    Write("[Style]\nStyleCount=1\nNames[1]=ignored\nExt.Count=6\nExt0=html\nExt1=,2\nExt2=htm,-1\nExt3=HTM,0\n"
          "Ext4=php,7\nExt5=htm,0\n[Style_0]\nColor=0x80000005\n[Style_1]\nWordWrap=1\n");
    TOrvaneStyleList list(Path);
    EXPECT_EQ(list.StyleCount(), 1);
    ASSERT_EQ(list.ExtCount(), 2);
    EXPECT_EQ(list.Exts(0), "HTM");  // as written; look-ups ignore case
    EXPECT_EQ(list.StyleIndexOfFile("a.htm"), 0);
    EXPECT_EQ(list.ExtStyleIndexes(1), 7);
    EXPECT_EQ(list.StyleIndexOfFile("a.php"), 0);  // beyond the list: the default style
    EXPECT_EQ(list.DefaultStyle().Prop().Color(), clWindow);
    EXPECT_NE(list.LoadWarning().find("2 か所"), std::string::npos) << list.LoadWarning();
}

TEST_F(StyleFile, PartialSavesWriteTheirKeysOnlyUntilTheListChanges) {
    {
        TOrvaneStyleList list(Path);
        FillEveryKeyForm(list);
        for (const char* name : {"three", "four"}) list.AddStyle(name);
        list.Styles(3).ApplyTemplate(TStyleTemplate::Java);
        list.Styles(4).ApplyTemplate(TStyleTemplate::Delphi);
        list.SetExtStyle("java", 3);
        list.SetExtStyle("pas", 4);
        list.Save(sscAll);
    }
    const std::string full = Read();

    // A toggle writes that key of every style and nothing else.
    {
        TOrvaneStyleList list(Path);
        list.Styles(2).Prop().SetWordWrap(true);
        list.Styles(2).Prop().Ruler().SetVisible(true);  // changed, but not in the scope
        list.Save(sscWordWrap);
    }
    EXPECT_EQ(ChangedLines(full, Read()), (std::vector<std::string>{"WordWrap=1"}));
    EXPECT_EQ(TOrvaneStyleList(Path).Styles(2).Prop().Ruler().Visible(), false);

    // After a style was deleted, a partial save rewrites every style, so that section 2 holds
    // the former style 3 whole, not its font over the deleted style's other keys.
    {
        TOrvaneStyleList list(Path);
        list.DeleteStyle(2);
        list.Save(sscFont);
        list.Styles(1).Prop().SetWordWrap(false);
        list.Save(sscWordWrap);  // the file now holds the list in full: this one writes WordWrap only
    }
    {
        const TIniFile ini(Path);
        EXPECT_EQ(ini.ReadInteger("Style", "StyleCount", 0), 4);
        EXPECT_EQ(ini.ReadInteger("Style_4", "Fountain", -1), smDelphi);  // stays in the file, unread
        TOrvaneStyleList list(Path);
        ASSERT_EQ(list.StyleCount(), 4);
        EXPECT_EQ(list.StyleNames(2), "three");
        EXPECT_EQ(list.Styles(2).Fountain(), smJava);
        EXPECT_FALSE(list.Styles(2).Prop().WordWrap());
        EXPECT_EQ(list.Styles(3).Fountain(), smDelphi);
        EXPECT_EQ(list.StyleIndexOfFile("a.pl"), 0);
        EXPECT_EQ(list.StyleIndexOfFile("a.java"), 2);
        EXPECT_EQ(list.StyleIndexOfFile("a.pas"), 3);
        EXPECT_FALSE(list.Styles(1).Prop().WordWrap());
    }

    // A new style saved with a partial scope arrives whole.
    {
        TOrvaneStyleList list(Path);
        list.Styles(list.AddStyle("new")).ApplyTemplate(TStyleTemplate::Cpp);
        list.Save(sscRuler);
    }
    TOrvaneStyleList list(Path);
    ASSERT_EQ(list.StyleCount(), 5);
    EXPECT_EQ(list.Styles(4).Fountain(), smCpp);
    EXPECT_TRUE(list.Styles(4).Marks().DByteSpace().Visible());

    // The mode colours alone touch no style key.
    const std::string before = Read();
    list.CppMode().Int().SetColor(clBlue);
    list.Styles(1).Prop().SetWordWrap(true);
    list.Save(sscModeColors);
    EXPECT_EQ(ChangedLines(before, Read()), (std::vector<std::string>{"Int=536870911,16711680,0"}));
}

TEST_F(StyleFile, ADamagedFileLoadsAsFarAsItCanWithOneWarningAndIsNotRewrittenUnasked) {
    const std::string damaged =
        "\xFF\xFE garbage \x01\n[broken\n[Style]\nStyleCount=99999999\nNames[1]=ok\n[Style_0]\nCaret=abc,1\nFont=0x00FF00,14\n"
        "Color=blue\nLeftbar=1,2,3\nWordWrap=1\nViewInfo.Brackets.Count=500\nViewInfo.Brackets[0].LeftBracket=<<\n"
        "ReserveWordList.Count=-3\nFountain=-9\n=no key\njust text\n[Style_1]\nMarks.EofMark=,\nWrapOption=x\n"
        "[Style_Perl]\nComment=1,2,3,4,5\n";
    Write(damaged);
    TOrvaneStyleList list(Path);
    const std::string& warning = list.LoadWarning();
    EXPECT_NE(warning.find("スタイルファイル"), std::string::npos);
    EXPECT_EQ(warning.find('\n'), std::string::npos) << "one message: " << warning;
    // What could be read was taken.
    EXPECT_EQ(list.DefaultStyle().Prop().Font().Color(), 0x00FF00);
    EXPECT_EQ(list.DefaultStyle().Prop().Font().Size(), 14);
    EXPECT_TRUE(list.DefaultStyle().Prop().WordWrap());
    EXPECT_EQ(list.DefaultStyle().Prop().Leftbar().Color(), 2);
    EXPECT_EQ(list.DefaultStyle().Prop().Caret().TabSpaceCount(), 8);  // a field the list lacks keeps its value
    EXPECT_EQ(list.DefaultStyle().Prop().Color(), clWindow);
    EXPECT_EQ(const_cast<TEditorProp&>(list.DefaultStyle().Prop()).View().Brackets().Count(),
              TFountainBracketCollection::kMaxBrackets);
    EXPECT_EQ(list.DefaultStyle().Fountain(), smNone);
    EXPECT_EQ(list.PerlMode().Comment().Style(), 3);
    EXPECT_EQ(list.StyleCount(), TOrvaneStyleList::kMaxStyles);
    EXPECT_EQ(Read(), damaged);  // reading changes nothing

    // The user's change is saved; what could not be understood stays in the file as it was.
    list.Save(sscWordWrap);
    const std::string saved = Read();
    for (const char* kept : {"just text", "Color=blue", "Caret=abc,1", "Comment=1,2,3,4,5"})
        EXPECT_NE(saved.find(kept), std::string::npos) << kept;
}

TEST_F(StyleFile, AFileThatCannotBeReadIsNeverOverwritten) {
    fs::create_directory(Path);  // a folder where the file should be
    TOrvaneStyleList list(Path);
    EXPECT_NE(list.LoadWarning().find("読めません"), std::string::npos) << list.LoadWarning();
    EXPECT_EQ(list.StyleCount(), 1);
    list.DefaultStyle().Prop().SetWordWrap(true);
    EXPECT_THROW(list.Save(sscWordWrap), Exception);
    EXPECT_TRUE(fs::is_directory(Path));

    // A missing file reads as empty, without a warning, and is made by the first save.
    const std::string fresh = (Dir / "sub" / kStyleSettingsFile).string();
    TOrvaneStyleList empty(fresh);
    EXPECT_EQ(empty.LoadWarning(), "");
    EXPECT_FALSE(fs::exists(fresh));
    empty.Save(sscWordWrap);
    EXPECT_TRUE(TIniFile(fresh).ValueExists("Style_0", "WordWrap"));
}

}  // namespace
}  // namespace orvane
