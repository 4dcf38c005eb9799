// Documents take the style of their extension; a changed style reaches its documents only.
#include "styles/applystyle.h"

#include "editor/fakesurface.h"

#include <gtest/gtest.h>

#include <memory>

namespace orvane {
namespace {

using test::TFakeSurface;

// Open documents on recording surfaces, each with its file name.
struct TOpenDocuments {
    struct TDoc {
        std::string FileName;
        std::unique_ptr<TFakeSurface> Surface = std::make_unique<TFakeSurface>();
        std::unique_ptr<TEditorController> Editor;
    };
    std::vector<TDoc> Docs;

    TEditorController& Open(TOrvaneStyleList& List, std::string FileName, std::string_view Text) {
        TDoc& doc = Docs.emplace_back();
        doc.FileName = std::move(FileName);
        doc.Editor = std::make_unique<TEditorController>(doc.Surface.get());
        test::ShowEditor(*doc.Editor, *doc.Surface, 40, 10, false);
        doc.Editor->Lines().SetTextStr(Text);
        ApplyStyle(List.Styles(List.StyleIndexOfFile(doc.FileName)), *doc.Editor);
        return *doc.Editor;
    }
    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (const TDoc& d : Docs) names.push_back(d.FileName);
        return names;
    }
    // Applies style StyleIndex to every document of it; returns how many it restyled.
    int Restyle(TOrvaneStyleList& List, int StyleIndex) {
        const std::vector<std::string> names = FileNames();
        const std::vector<int> docs = DocumentsOfStyle(List, StyleIndex, names);
        for (int i : docs) ApplyStyle(List.Styles(StyleIndex), *Docs[std::size_t(i)].Editor);
        return int(docs.size());
    }
    void ClearRecords() {
        for (TDoc& d : Docs) d.Surface->ClearRecords();
    }
    // True when the surface of document I was asked to repaint anything.
    bool Repainted(int I) const {
        const TFakeSurface& s = *Docs[std::size_t(I)].Surface;
        return !s.Areas.empty() || s.WholeInvalidations > 0;
    }
};

class Restyle : public ::testing::Test {
protected:
    void SetUp() override {
        auto add = [this](TStyleTemplate T, const char* Ext) {
            const int index = List.AddStyle(StyleTemplateInfo(T).DefaultName);
            List.Styles(index).ApplyTemplate(T);
            List.SetExtStyle(Ext, index);
            return index;
        };
        Html = add(TStyleTemplate::HTML, "html");
        Perl = add(TStyleTemplate::Perl, "pl");
        Text = add(TStyleTemplate::Text, "txt");
        Cpp = add(TStyleTemplate::Cpp, "cpp");
        List.SetExtStyle("htm", Html);
    }

    TOrvaneStyleList List;
    int Html = 0, Perl = 0, Text = 0, Cpp = 0;
    TOpenDocuments Open;
};

TEST_F(Restyle, EachDocumentTakesTheModeAndLookOfItsExtension) {
    TEditorController& pl = Open.Open(List, "/w/a.pl", "my $x = 1;\n");
    TEditorController& html = Open.Open(List, "/w/b.html", "<p>x</p>\n");
    TEditorController& txt = Open.Open(List, "/w/c.txt", "see http://example.com\n");
    TEditorController& none = Open.Open(List, "/w/README", "plain\n");

    EXPECT_EQ(pl.Fountain(), &List.PerlMode());
    EXPECT_EQ(html.Fountain(), &List.HtmlMode());
    EXPECT_EQ(txt.Fountain(), nullptr);  // the editor's own default text mode
    EXPECT_EQ(none.Fountain(), nullptr);
    EXPECT_TRUE(pl.Caret().AutoIndent());
    EXPECT_TRUE(html.Caret().AutoIndent());
    EXPECT_FALSE(txt.Caret().AutoIndent());
    EXPECT_TRUE(txt.Ruler().Visible());
    EXPECT_TRUE(txt.View().Url());
    EXPECT_EQ(txt.View().Colors().Url().Color(), 0x800080);
    EXPECT_FALSE(html.Ruler().Visible());
    EXPECT_EQ(html.Caret().Style(), csBrief);
    // Scroll bars follow word wrap, whatever the style stored.
    EXPECT_EQ(txt.ScrollBars(), ssBoth);
    List.Styles(Text).Prop().SetWordWrap(true);
    Open.Restyle(List, Text);
    EXPECT_TRUE(txt.WordWrap());
    EXPECT_EQ(txt.ScrollBars(), ssVertical);
}

TEST_F(Restyle, ChangingTheHtmlStyleRepaintsOnlyItsDocuments) {
    Open.Open(List, "a.pl", "my $x;\n");
    TEditorController& b = Open.Open(List, "b.html", "<p>x</p>\n");
    Open.Open(List, "c.txt", "text\n");
    TEditorController& d = Open.Open(List, "d.HTM", "<b>y</b>\n");
    Open.ClearRecords();

    TEditorProp& prop = List.Styles(Html).Prop();
    prop.SetColor(0x00F0F0F0);
    prop.View().Colors().DBCS().SetColor(clRed);
    EXPECT_EQ(Open.Restyle(List, List.StyleIndexOfFile("b.html")), 2);

    EXPECT_EQ(b.Color(), 0x00F0F0F0);
    EXPECT_EQ(d.View().Colors().DBCS().Color(), clRed);
    EXPECT_FALSE(Open.Repainted(0));
    EXPECT_TRUE(Open.Repainted(1));
    EXPECT_FALSE(Open.Repainted(2));
    EXPECT_TRUE(Open.Repainted(3));
    EXPECT_EQ(Open.Docs[0].Editor->Color(), clWindow);
}

TEST_F(Restyle, TheSharedModesColoursShowInEveryDocumentOfThatMode) {
    List.SetExtStyle("h", Cpp);
    Open.Open(List, "a.cpp", "int x;\n");
    Open.Open(List, "a.h", "int y;\n");
    Open.Open(List, "b.html", "<p>\n");
    Open.ClearRecords();
    List.CppMode().Reserve().SetColor(clRed);
    EXPECT_TRUE(Open.Repainted(0));
    EXPECT_TRUE(Open.Repainted(1));
    EXPECT_FALSE(Open.Repainted(2));
}

TEST_F(Restyle, SavedUnderAnotherExtensionADocumentSwitchesItsMode) {
    TEditorController& c = Open.Open(List, "c.txt", "int main() { return 0; }\n");
    EXPECT_EQ(c.Fountain(), nullptr);
    Open.Docs[0].FileName = "c.cpp";
    TOrvaneEditorMarks marks;  // the application editor's extra marks
    ApplyStyle(List.Styles(List.StyleIndexOfFile("c.cpp")), c, &marks);
    EXPECT_EQ(c.Fountain(), &List.CppMode());
    EXPECT_TRUE(marks.DByteSpace().Visible());
    EXPECT_FALSE(c.Ruler().Visible());
    EXPECT_TRUE(c.Caret().TabIndent());

    // A style taken from an editor keeps its mode number.
    c.Ruler().SetVisible(true);
    marks.TabMark().SetVisible(false);
    TakeStyleFrom(List.Styles(Text), c, &marks);
    EXPECT_TRUE(List.Styles(Text).Prop().Caret().TabIndent());
    EXPECT_FALSE(List.Styles(Text).Marks().TabMark().Visible());
    EXPECT_EQ(List.Styles(Text).Fountain(), smNone);

    // A style deleted while a document shows its mode: the document goes on with the default.
    List.DeleteStyle(Cpp);
    ApplyStyle(List.Styles(List.StyleIndexOfFile("c.cpp")), c);
    EXPECT_EQ(c.Fountain(), nullptr);
}

}  // namespace
}  // namespace orvane
