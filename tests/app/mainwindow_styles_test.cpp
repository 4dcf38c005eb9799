// The main window's styles offscreen: documents take the style of their extension when opened
// and when saved under another one, the style commands restyle and save, a damaged style file.
#include "app/mainwindow.h"

#include "app/tabsheet.h"
#include "files/filewrite.h"
#include "platform/errordisplay.h"
#include "platform/fonts.h"
#include "platform/questions.h"
#include "platform/translations.h"
#include "support/dialogs.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace orvane {
namespace {

namespace fs = std::filesystem;

class MainWindowStyles : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("orvane-mwstyles-" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir / "settings");
        Options.SettingsFolder = (Dir / "settings").string();
        StyleFile = (Dir / "settings" / kStyleSettingsFile).string();
        SetErrorDisplayHook([this](const std::string& M) { Errors.push_back(M); });
        SetQuestionHook([this](const std::string& M, TQuestion) {
            Questions.push_back(M);
            return TAnswer::No;
        });
        for (const char* name : {"a.pl", "b.html", "c.txt"}) std::ofstream(Dir / name) << "text\n";
    }
    void TearDown() override {
        Window.reset();
        SetErrorDisplayHook(nullptr);
        SetQuestionHook(nullptr);
        fs::remove_all(Dir);
    }
    // A style file with an HTML, a text, a Perl and a C++ style.
    void WriteStyles() {
        TOrvaneStyleList list(StyleFile);
        const std::pair<TStyleTemplate, const char*> styles[] = {{TStyleTemplate::HTML, "html"},
                                                                 {TStyleTemplate::Text, "txt"},
                                                                 {TStyleTemplate::Perl, "pl"},
                                                                 {TStyleTemplate::Cpp, "cpp"}};
        for (const auto& [t, ext] : styles) {
            const int i = list.AddStyle(StyleTemplateInfo(t).DefaultName);
            list.Styles(i).ApplyTemplate(t);
            list.SetExtStyle(ext, i);
        }
        list.Save(sscAll);
    }
    TForm1& Start() {
        Window = std::make_unique<TForm1>(Options);
        Window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
        QApplication::processEvents();
        return *Window;
    }
    QString PathOf(const char* Name) const { return QString::fromStdString((Dir / Name).string()); }

    fs::path Dir;
    std::string StyleFile;
    TStartOptions Options;
    std::unique_ptr<TForm1> Window;
    std::vector<std::string> Errors, Questions;
};

TEST_F(MainWindowStyles, AFirstStartGivesScriptsAndPagesTheirModesAndWritesNothing) {
    TForm1& w = Start();
    ASSERT_TRUE(w.OpenFile(PathOf("a.pl"), deAuto));
    EXPECT_EQ(w.ActiveEditor()->Fountain(), &w.StyleList().PerlMode());
    ASSERT_TRUE(w.OpenFile(PathOf("b.html"), deAuto));
    EXPECT_EQ(w.ActiveEditor()->Fountain(), &w.StyleList().HtmlMode());
    ASSERT_TRUE(w.OpenFile(PathOf("c.txt"), deAuto));
    EXPECT_EQ(w.ActiveEditor()->Fountain(), nullptr);
    Window.reset();
    EXPECT_FALSE(fs::exists(StyleFile));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindowStyles, DocumentsTakeTheStyleOfTheirExtension) {
    WriteStyles();
    TForm1& w = Start();
    EXPECT_TRUE(Questions.empty());
    if (TOrvaneEditor* untitled = w.ActiveEditor()) {
        EXPECT_EQ(untitled->Fountain(), nullptr);  // the default style
    }

    ASSERT_TRUE(w.OpenFile(PathOf("a.pl"), deAuto));
    TOrvaneEditor& pl = *w.ActiveEditor();
    ASSERT_TRUE(w.OpenFile(PathOf("b.html"), deAuto));
    TOrvaneEditor& html = *w.ActiveEditor();
    ASSERT_TRUE(w.OpenFile(PathOf("c.txt"), deAuto));
    TOrvaneEditor& txt = *w.ActiveEditor();
    EXPECT_EQ(pl.Fountain(), &w.StyleList().PerlMode());
    EXPECT_TRUE(pl.MarksOrvane().DByteSpace().Visible());
    EXPECT_EQ(html.Fountain(), &w.StyleList().HtmlMode());
    EXPECT_FALSE(html.MarksOrvane().DByteSpace().Visible());
    EXPECT_EQ(txt.Fountain(), nullptr);
    EXPECT_TRUE(txt.Ruler().Visible());
    EXPECT_TRUE(txt.View().Url());

    // Saved under another extension, the document switches to that style's mode.
    ASSERT_TRUE(w.ActiveSheet()->SaveFile(PathOf("c.cpp"), TSaveRequest{}));
    EXPECT_EQ(txt.Fountain(), &w.StyleList().CppMode());
    EXPECT_FALSE(txt.Ruler().Visible());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindowStyles, ChangingTheHtmlStyleRestylesOnlyHtmlDocuments) {
    WriteStyles();
    std::ofstream(Dir / "d.htm") << "<p>\n";
    TForm1& w = Start();
    w.StyleList().SetExtStyle("htm", 1);
    for (const char* name : {"a.pl", "d.htm", "c.txt", "b.html"}) ASSERT_TRUE(w.OpenFile(PathOf(name), deAuto));
    TOrvaneEditor& html = *w.ActiveEditor();
    std::vector<TOrvaneEditor*> editors;
    for (const auto& tab : w.Sheets()) editors.push_back(tab->Editor());
    const TColor background = html.Color();
    w.StyleList().Styles(1).Prop().SetColor(0x00E0F0FF);
    w.StyleList().Styles(1).Prop().View().Colors().Str().SetColor(clRed);
    w.RestyleDocuments();
    for (TOrvaneEditor* e : editors) {
        const bool isHtml = e->Fountain() == &w.StyleList().HtmlMode();
        EXPECT_EQ(e->Color(), isHtml ? 0x00E0F0FF : background);
        if (isHtml) {
            EXPECT_EQ(e->View().Colors().Str().Color(), clRed);
        }
    }
    EXPECT_EQ(std::count_if(editors.begin(), editors.end(), [](TOrvaneEditor* e) { return e->Color() == 0x00E0F0FF; }), 2);
}

TEST_F(MainWindowStyles, AStyleCommandRestylesAndSavesItsKeyOnly) {
    WriteStyles();
    TForm1& w = Start();
    ASSERT_TRUE(w.OpenFile(PathOf("b.html"), deAuto));
    const std::string before = ReadFileBytes(StyleFile);
    EXPECT_FALSE(w.ActiveEditor()->WordWrap());
    w.UpdateCommands();
    w.Action("actStyleWordWrap")->trigger();
    EXPECT_TRUE(w.ActiveEditor()->WordWrap());
    EXPECT_EQ(w.ActiveEditor()->ScrollBars(), ssVertical);
    const TIniFile after(StyleFile);
    EXPECT_TRUE(after.ReadBool("Style_1", "WordWrap", false));
    EXPECT_FALSE(after.ReadBool("Style_2", "WordWrap", true));
    EXPECT_EQ(after.Text().size(), before.size());  // one "0" became "1"

    w.Action("actStyleRuler")->trigger();
    EXPECT_TRUE(w.ActiveEditor()->Ruler().Visible());
    EXPECT_TRUE(TIniFile(StyleFile).ReadString("Style_1", "Ruler", "").ends_with(",1"));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindowStyles, ADamagedStyleFileStartsWithOneWarningAndStaysAsItWas) {
    const std::string damaged = "[Style]\nStyleCount=2\nExt.Count=1\nExt0=html\n[Style_1]\nCaret=x\nFountain=1\n";
    std::ofstream(StyleFile) << damaged;
    TForm1& w = Start();
    QTest::qWait(10);
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_NE(Questions[0].find("スタイルファイル"), std::string::npos);
    EXPECT_EQ(w.StyleList().Styles(1).Fountain(), smHTML);
    Window.reset();
    EXPECT_EQ(ReadFileBytes(StyleFile), damaged);
}

TEST_F(MainWindowStyles, TheFontDialogStartsWithTheFontTheTextIsDrawnWith) {
    TForm1& w = Start();
    const TFont& font = w.StyleList().Styles(0).Prop().Font();
    const QFont drawn = ResolveEditorFont(QString::fromStdString(font.Name()), font.Size());
    QFont shown;
    OnNextDialog<QFontDialog>([&](QFontDialog& D) {
        shown = D.currentFont();
        D.reject();
    });
    w.UpdateCommands();
    w.Action("actStyleFont")->trigger();
    EXPECT_EQ(shown.family().toStdString(), drawn.family().toStdString());
    EXPECT_EQ(shown.pointSize(), drawn.pointSize());
}

// Qt's own dialogs and buttons in Japanese, as the program starts them.
TEST(QtTranslations, DialogsAndButtonsSpeakJapanese) {
    QTranslator* translator = LoadQtTranslations(*QCoreApplication::instance());
    ASSERT_TRUE(translator) << "Qt's Japanese translations (qt6-translations-l10n) are not installed";
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    const QLabel* name = files.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    ASSERT_TRUE(name);
    EXPECT_FALSE(name->text().contains(QStringLiteral("File"))) << name->text().toStdString();
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

}  // namespace
}  // namespace orvane
