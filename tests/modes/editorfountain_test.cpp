// The default text mode: its optional token kinds, their order, colours and bulk colour setters.
#include "modes/modes_support.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

struct ModeCase {
    std::string row;  // UTF-8
    std::string expected;
    bool url = false, mail = false, controlCode = false;
    std::string commenter, quotation, hexPrefix;  // UTF-8

    ModeCase(std::string Row, std::string Expected) : row(std::move(Row)), expected(std::move(Expected)) {}
    ModeCase& Url() { return url = true, *this; }
    ModeCase& Mail() { return mail = true, *this; }
    ModeCase& ControlCode() { return controlCode = true, *this; }
    ModeCase& Commenter(std::string V) { return commenter = std::move(V), *this; }
    ModeCase& Quotation(std::string V) { return quotation = std::move(V), *this; }
    ModeCase& HexPrefix(std::string V) { return hexPrefix = std::move(V), *this; }
};

class DefaultModeTable : public ::testing::TestWithParam<ModeCase> {};

TEST_P(DefaultModeTable, ScansRow) {
    const ModeCase& c = GetParam();
    auto f = NewEditorFountain();
    f->SetUrl(c.url);
    f->SetMail(c.mail);
    f->SetControlCode(c.controlCode);
    f->SetCommenter(Sjis(c.commenter));
    f->SetQuotation(Sjis(c.quotation));
    f->SetHexPrefix(Sjis(c.hexPrefix));
    auto parser = f->NewParser();
    EXPECT_EQ(Dump(*parser, Sjis(c.row)), c.expected);
}

ModeCase Url(std::string row, std::string expected) { return ModeCase(row, expected).Url(); }
ModeCase Mail(std::string row, std::string expected) { return ModeCase(row, expected).Mail(); }

INSTANTIATE_TEST_SUITE_P(
    UrlsAndMail, DefaultModeTable,
    ::testing::Values(
        Url("https://a.jp/x?y=1&z=~2 ok", "Url:https://a.jp/x?y=1&z=~2 Word:ok"),
        Url("ftp:x http:y", "Url:ftp:x Url:http:y"),
        Url("HTTP://a", "Word:HTTP Symbol:: Symbol:/ Symbol:/ Word:a"),  // prefixes are case-sensitive
        Url("www.a.jp web.a", "Url:www.a.jp Word:web Symbol:. Word:a"),
        Url("http://日本", "Url:http:// Kanji:日本"),
        Mail("ab@cd", "Word:ab Symbol:@ Word:cd"),
        Mail("ab@cd.jp,", "Mail:ab@cd.jp,"),
        Mail("@cd.jp", "Symbol:@ Word:cd Symbol:. Word:jp"),
        Mail("a.b@c ", "Word:a Symbol:. Word:b Symbol:@ Word:c"),
        // the '@' of a katakana's second byte is no part of an address
        Mail("xァ.jp", "Word:x Katakana:ァ Symbol:. Word:jp"),
        Mail("名前ab@c.d", "Kanji:名前 Mail:ab@c.d"),
        ModeCase("http.x@y.z", "Mail:http.x@y.z").Url().Mail()),  // mail addresses are tested first
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Options, DefaultModeTable,
    ::testing::Values(
        ModeCase("a // b", "Word:a Comment:// b").Commenter("//"),
        ModeCase("http://a//b", "Url:http://a//b").Url().Commenter("//"),
        ModeCase("http://a//b", "Word:http Symbol:: Comment://a//b").Commenter("//"),
        ModeCase("漢字；コメント", "Kanji:漢字 Comment:；コメント").Commenter("；"),
        ModeCase("x\"a\"\"b\"y", "Word:x Quoted:\"a\"\"b\" Word:y").Quotation("\""),
        ModeCase("\"ab", "Quoted:\"ab").Quotation("\""),
        ModeCase("\"表\"", "Quoted:\"表\"").Quotation("\""),
        // a quotation character whose byte appears as a second byte
        ModeCase("|ポ| x", "Quoted:|ポ| Word:x").Quotation("|"),
        // a two-byte quotation character is compared whole: "、" shares its lead byte
        ModeCase("、「あ「い", "WideSymbol:、 Quoted:「あ「 Hiragana:い").Quotation("「」"),
        ModeCase("#13#10", "ControlCode:#13 ControlCode:#10").ControlCode(),
        ModeCase("#$1F#", "HexControlCode:#$1F ControlCode:#").ControlCode(),
        ModeCase("#13", "Symbol:# Integer:13"),
        ModeCase("0X1f 0xg", "Hex:0X1f Hex:0x Word:g").HexPrefix("0x")),
    [](const auto& info) { return std::to_string(info.index); });

TEST(DefaultMode, ColourOfEachKind) {
    auto f = NewEditorFountain();
    f->SetUrl(true);
    f->SetMail(true);
    f->SetQuotation("'");
    f->SetControlCode(true);
    f->SetCommenter(";");
    f->Brackets().Add()->SetLeftBracket("{");
    f->Brackets().Items(0)->SetRightBracket("}");
    TStringList words;
    words.Add("begin");
    f->SetReserveWordList(words);
    TEditorColors& c = f->Colors();
    const struct {
        std::string text;
        TFountainColor* color;
    } cases[] = {
        {"+", &c.Symbol()},   {"12", &c.Int()},      {"1.5", &c.Int()},   {"{x}", &f->Brackets().Items(0)->ItemColor()},
        {"; c", &c.Comment()}, {"abc", &c.Ank()},     {"BEGIN", &f->Reserve()}, {Sjis("漢"), &c.DBCS()},
        {Sjis("ｱ"), &c.DBCS()}, {"www.x", &c.Url()}, {"a@b.c", &c.Mail()},  {"'s'", &c.Str()},
        {"#9", &c.Str()},     {"#$9", &c.Str()},     {"\t", nullptr},
    };
    auto parser = f->NewParser();
    for (const auto& k : cases) {
        parser->BeginRow(k.text, {});
        ASSERT_NE(parser->NextToken(), tokEnd) << k.text;
        EXPECT_EQ(parser->ColorForToken(), k.color) << k.text;
    }
}

TEST(DefaultMode, ReservedWordInsideBracketIsNotReserved) {
    auto f = NewEditorFountain();
    f->Brackets().Add()->SetLeftBracket("(*");
    f->Brackets().Items(0)->SetRightBracket("*)");
    TStringList words;
    words.Add("end");
    f->SetReserveWordList(words);
    auto parser = f->NewParser();
    parser->BeginRow("(*end*) end", {});
    ASSERT_EQ(parser->NextToken(), tokBracket);
    EXPECT_FALSE(parser->IsReservedWord());
    ASSERT_EQ(parser->NextToken(), tokWord);
    EXPECT_EQ(parser->ColorForToken(), &f->Reserve());
}

TEST(DefaultMode, SetAllLeavesSelectAndHitAndNotifiesOnce) {
    auto f = NewEditorFountain();
    int notified = 0;
    TObject* sender = nullptr;
    TMethod m;
    m.Call = [&](TObject* s) { ++notified, sender = s; };
    f->NotifyEventList().Add(m);
    f->Colors().Hit().SetBkColor(clRed);
    ASSERT_EQ(notified, 1);
    EXPECT_EQ(sender, f.get());

    notified = 0;
    f->SetAllBkColor(clGreen);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(f->Colors().Ank().BkColor(), clGreen);
    EXPECT_EQ(f->Colors().Url().BkColor(), clGreen);
    EXPECT_EQ(f->Reserve().BkColor(), clGreen);
    EXPECT_EQ(f->Colors().Select().BkColor(), clNavy);
    EXPECT_EQ(f->Colors().Hit().BkColor(), clRed);
    EXPECT_EQ(f->Colors().Ank().Color(), clNone);  // only the one attribute

    f->SetAllStyle(fsItalic);
    EXPECT_TRUE(f->UsesItalic(*f));
    EXPECT_FALSE(f->Colors().Select().Style() & fsItalic);

    notified = 0;
    f->Colors().Select().SetColor(clBlack);  // selection changes reach the editors too
    EXPECT_EQ(notified, 1);
}

TEST(DefaultMode, AssignCopiesSettingsWithOneNotification) {
    auto a = NewEditorFountain();
    a->SetUrl(true);
    a->SetCommenter("//");
    a->Colors().Int().SetColor(clBlue);
    a->Brackets().Add()->SetLeftBracket("/*");
    auto b = NewEditorFountain();
    int notified = 0;
    TMethod m;
    m.Call = [&](TObject*) { ++notified; };
    b->NotifyEventList().Add(m);
    b->Assign(*a);
    EXPECT_EQ(notified, 1);
    EXPECT_TRUE(b->Url());
    EXPECT_EQ(b->Commenter(), "//");
    EXPECT_EQ(b->Colors().Int().Color(), clBlue);
    ASSERT_EQ(b->Brackets().Count(), 1);
    EXPECT_EQ(b->Brackets().Items(0)->LeftBracket(), "/*");
    EXPECT_NE(&b->Colors(), &a->Colors());
}

}  // namespace
}  // namespace orvane::test
