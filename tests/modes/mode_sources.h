// Generated sources in the languages of the syntax modes, for the tests and the benchmarks: a
// few typical lines of each language repeated, in code page 932 with CR LF line ends.
#pragma once

#include "modes/fountain.h"
#include "modes/htmlfountain.h"
#include "modes/sourcemodes.h"

#include <iconv.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::test {

enum class TModeLang { Html, Java, Cpp, Delphi };

inline constexpr TModeLang kModeLangs[] = {TModeLang::Html, TModeLang::Java, TModeLang::Cpp, TModeLang::Delphi};

inline const char* ModeLangName(TModeLang Lang) {
    switch (Lang) {
    case TModeLang::Html: return "Html";
    case TModeLang::Java: return "Java";
    case TModeLang::Cpp: return "Cpp";
    default: return "Delphi";
    }
}

inline std::unique_ptr<TFountain> NewModeFountain(TModeLang Lang) {
    switch (Lang) {
    case TModeLang::Html: return TStoreComponent::Create<THTMLFountain>();
    case TModeLang::Java: return TStoreComponent::Create<TJavaFountain>();
    case TModeLang::Cpp: return TStoreComponent::Create<TCppFountain>();
    default: return TStoreComponent::Create<TDelphiFountain>();
    }
}

// The opener of the mode's block comments.
inline const char* CommentOpener(TModeLang Lang) {
    switch (Lang) {
    case TModeLang::Html: return "<!--";
    case TModeLang::Delphi: return "{";
    default: return "/*";
    }
}

inline std::string Utf8ToSjis(std::string_view Utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
    std::string out(Utf8.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(Utf8.data());
    std::size_t inLeft = Utf8.size(), outLeft = out.size();
    char* o = out.data();
    const bool ok = iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    iconv_close(cd);
    if (!ok) throw std::runtime_error("not convertible to CP932");
    out.resize(out.size() - outLeft);
    return out;
}

inline std::vector<std::string> SourceLines(TModeLang Lang) {
    switch (Lang) {
    case TModeLang::Html:
        return {
            "<!DOCTYPE html>",
            "<html lang=\"ja\"><head><meta charset=\"Shift_JIS\"><title>日本語のページ</title></head>",
            "<body class=\"main\" onload=\"init()\">",
            "<!-- ナビゲーション",
            "     ここまで -->",
            "<p>本文 &amp; <a href=\"http://example.jp/index.html\" target=_blank>リンク</a> info@example.jp</p>",
            "<table width=100% border=0 cellpadding=\"2\"><tr><td nowrap>セル</td><td align='right'>1,280円</td></tr>",
            "<img src=\"images/logo.png\" alt=\"ロゴ\"",
            "     width=120 height=40>",
            "<div id=footer>&copy; 2024 &#x3042; テスト</div></body></html>",
        };
    case TModeLang::Java:
        return {
            "package jp.example.app;",
            "import java.util.List;",
            "/** 説明のコメント",
            " *  二行目 */",
            "public class Main extends Base implements Runnable {",
            "    private static final int MAX = 0x1F; // 最大値",
            "    public void run() { String s = \"文字列\" + 'c' + 1.5e3; }",
            "    for (int i = 0; i < MAX; i++) { list.add(i * 007); }",
            "}",
        };
    case TModeLang::Cpp:
        return {
            "#include <stdio.h>",
            "#define MAX(a, b) ((a) > (b) ? (a) : (b))",
            "/* 複数行の",
            "   コメント */",
            "class Widget : public Base {",
            "public:",
            "    property int Width = {read=FWidth, write=SetWidth};",
            "    virtual ~Widget() { delete[] buffer; }  // 破棄",
            "    int Area() const { return width * height + 0xFF; }",
            "};",
        };
    default:
        return {
            "unit Main;",
            "{ 複数行の",
            "  コメント }",
            "procedure TForm1.Button1Click(Sender: TObject);",
            "var s: string; i: Integer;",
            "begin",
            "  s := 'it''s ' + #13#10 + IntToStr($FF); (* note *)",
            "  for i := 0 to 10 do Inc(i); // 日本語",
            "end;",
            "property Caption: string read FCaption write SetCaption;",
            "function Add(a, b: Integer): Integer; asm",
            "  mov eax, a",
            "  add eax, b",
            "end;",
        };
    }
}

// Lines of the language's typical lines, repeated, as one code page 932 text with CR LF ends.
inline std::string GeneratedSource(TModeLang Lang, int Lines) {
    std::vector<std::string> lines = SourceLines(Lang);
    for (std::string& l : lines) l = Utf8ToSjis(l) + "\r\n";
    std::string text;
    text.reserve(static_cast<std::size_t>(Lines) * 50);
    for (int i = 0; i < Lines; ++i) text += lines[static_cast<std::size_t>(i) % lines.size()];
    return text;
}

}  // namespace orvane::test
