// The search panel offscreen: find with its not-found box, replace with scripted confirmation,
// the search over open documents and over a folder, and a hit opened with the caret on it.
#include "search/searchpanel.h"
#include "search/replaceselection.h"

#include "files/doctext.h"
#include "files/unicode.h"
#include "platform/questions.h"
#include "support/sj.h"
#include "widgets/editor.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::sj;

// A window with documents: each an editor, a file name and an id; opening a file adds one.
struct TFakeHost : ISearchHost {
    std::vector<std::unique_ptr<TEditor>> Editors;
    std::vector<TOpenDocument> Documents;
    std::size_t Active = 0;
    std::vector<std::string> Opened;

    TEditor& Add(const QString& FileName, const std::string& Text) {
        Editors.push_back(std::make_unique<TEditor>());
        Editors.back()->Document().SetText(Text);
        Documents.push_back({Documents.size() + 1, FileName, Editors.back().get()});
        Active = Documents.size() - 1;
        return *Editors.back();
    }
    TOpenDocument ActiveDocument() override { return Documents.empty() ? TOpenDocument{} : Documents[Active]; }
    std::vector<TOpenDocument> OpenDocuments() override { return Documents; }
    TEditor* ShowDocument(std::uint64_t Id, const QString& FileName) override {
        for (std::size_t i = 0; i < Documents.size(); ++i)
            if ((Id && Documents[i].Id == Id) || (!Id && !FileName.isEmpty() && Documents[i].FileName == FileName)) {
                Active = i;
                return Documents[i].Editor;
            }
        if (!fs::is_regular_file(FileName.toStdString())) return nullptr;
        Opened.push_back(FileName.toStdString());
        TEditor& e = Add(FileName, "");
        ReadDocumentText(FileName.toStdString(), e.Document(), deAuto);
        return &e;
    }
};

struct SearchPanel : testing::Test {
    TFakeHost Host;
    TSearchProperties Properties;
    std::unique_ptr<TSearchResultsForm> Panel;
    std::vector<std::string> Boxes;  // the messages shown

    SearchPanel() {
        Properties.SetDefaults();
        Panel = std::make_unique<TSearchResultsForm>(Host, Properties);
        SetQuestionHook([this](const std::string& Message, TQuestion) {
            Boxes.push_back(Message);
            return TAnswer::Ok;
        });
    }
    ~SearchPanel() override { SetQuestionHook(nullptr); }
    void Type(QComboBox* Box, const QString& Text) { Box->setEditText(Text); }
};

TEST_F(SearchPanel, FindNextPreviousGoOnFromTheOtherEndAndSelectTheHit) {
    TEditor& e = Host.Add("a.txt", sj("一 検索 二 検索"));
    e.SetHitStyle(hsDraw);
    std::vector<QString> status;
    QObject::connect(Panel.get(), &TSearchResultsForm::StatusMessage, [&](const QString& Text) { status.push_back(Text); });
    Type(Panel->SearchBox(), QStringLiteral("検索"));
    Properties.FromCursor = true;
    ASSERT_TRUE(Panel->FindNext(true));
    EXPECT_EQ(e.SelStart(), 3);
    EXPECT_TRUE(e.Selected());  // the hit is the selection: Copy works, typing replaces it
    EXPECT_EQ(e.SelText(), sj("検索"));
    ASSERT_TRUE(Panel->FindNext(true));
    EXPECT_EQ(e.SelStart(), 11);
    EXPECT_TRUE(status.empty());
    ASSERT_TRUE(Panel->FindNext(true));  // from the start again, and the status line says so
    EXPECT_EQ(e.SelStart(), 3);
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0], QStringLiteral("末尾まで検索したので、先頭から検索しました"));
    ASSERT_TRUE(Panel->FindNext(false));
    EXPECT_EQ(e.SelStart(), 11);
    EXPECT_EQ(status.back(), QStringLiteral("先頭まで検索したので、末尾から検索しました"));
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Properties.SearchHistory().Strings(0), sj("検索"));
    // F3 and Shift+F3 the same way, and the typed text replaces the hit.
    e.SetSelStart(0);
    ASSERT_TRUE(Panel->FindAgain(true));
    EXPECT_EQ(e.SelText(), sj("検索"));
    e.InsertText("x");
    EXPECT_EQ(e.Document().GetText(), sj("一 x 二 検索"));
    ASSERT_TRUE(Panel->FindAgain(false));
    EXPECT_EQ(e.SelStart(), 8);
    // The box only when the document holds no hit at all.
    Type(Panel->SearchBox(), QStringLiteral("無い"));
    EXPECT_FALSE(Panel->FindNext(true));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "検索文字列 \"無い\" は見つかりましぇん。");
    EXPECT_EQ(e.SelStart(), 8);
}

TEST_F(SearchPanel, SelectedOnlyFindsInsideTheSelectionWhateverFromTheStartSays) {
    TEditor& e = Host.Add("a.txt", sj("検索 一 検索 二 検索"));
    Type(Panel->SearchBox(), QStringLiteral("検索"));
    Properties.SelectedOnly = true;
    Properties.FromCursor = false;  // would start over at the top, dropping the selection
    e.SetSelStart(5);
    e.SetSelLength(10);  // "一 検索 二"
    ASSERT_TRUE(Panel->FindNext(true));
    EXPECT_EQ(e.SelStart(), 8);
    EXPECT_EQ(e.SelLength(), 4);
    e.SetSelStart(12);
    e.SetSelLength(3);  // " 二": no hit inside, the selection stays
    EXPECT_FALSE(Panel->FindNext(true));
    EXPECT_EQ(e.SelStart(), 12);
    EXPECT_EQ(e.SelLength(), 3);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "選択範囲内に、検索文字列 \"検索\" は見つかりましぇん。");
}

TEST_F(SearchPanel, ReplaceInsideTheSelectionThroughItsDialog) {
    TEditor& e = Host.Add("a.txt", "x x x x x");
    Type(Panel->SearchBox(), "x");
    Type(Panel->ReplaceBox(), "yy");
    Properties.SelectedOnly = true;
    auto select = [&] {
        e.Document().SetText("x x x x x");
        e.SetSelStart(2);
        e.SetSelLength(5);  // the middle three
    };
    using TClicks = std::vector<QPushButton* (TReplaceSelectionDialog::*)() const>;
    auto answer = [&](TClicks Clicks) {
        Panel->SetAskSelection([Clicks](TReplaceSelectionDialog& D) {
            EXPECT_EQ(D.Editor().Document().GetText(), "x x x");
            for (auto button : Clicks) (D.*button)()->click();
            return D.result();
        });
    };
    const struct {
        const char* Name;
        bool Confirm, All;
        TClicks Clicks;
        const char* Text;
    } cases[] = {
        // "終了" after two replacements keeps those two.
        {"replace, replace, finish", true, false,
         {&TReplaceSelectionDialog::ReplaceButton, &TReplaceSelectionDialog::ReplaceButton,
          &TReplaceSelectionDialog::FinishButton},
         "x yy yy x x"},
        {"skip, replace to the end", true, false,
         {&TReplaceSelectionDialog::SkipButton, &TReplaceSelectionDialog::ReplaceButton,
          &TReplaceSelectionDialog::ReplaceButton},
         "x x yy yy x"},
        {"replace, then all", true, false,
         {&TReplaceSelectionDialog::ReplaceButton, &TReplaceSelectionDialog::AllButton}, "x yy yy yy x"},
        {"replace, then cancel: nothing changes", true, false,
         {&TReplaceSelectionDialog::ReplaceButton, &TReplaceSelectionDialog::CancelButton}, "x x x x x"},
        {"unasked, the first hit only", false, false, {}, "x yy x x x"},
        {"unasked, every hit", false, true, {}, "x yy yy yy x"},
    };
    std::size_t counted = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        select();
        e.Document().UndoEngine().Clear();
        Properties.SetOption(OptionBit(soReplaceConfirm), c.Confirm);
        Properties.SetOption(OptionBit(soReplaceAll), c.All);
        answer(c.Clicks);
        Panel->Replace();
        EXPECT_EQ(e.Document().GetText(), c.Text);
        if (std::string(c.Text) != "x x x x x") {
            EXPECT_EQ(e.SelText(), std::string(c.Text).substr(2, std::string(c.Text).size() - 4));  // stays selected
            e.Undo();  // one step
            EXPECT_EQ(e.Document().GetText(), "x x x x x");
        }
        if (c.All) {
            // Replacing all tells the count.
            ASSERT_EQ(Boxes.size(), ++counted);
            EXPECT_EQ(Boxes.back(), "3 件置換しました");
        }
    }
    ASSERT_EQ(Boxes.size(), counted);
    Boxes.clear();
    // A selection that ends with the text's last line break.
    e.Document().SetText("a\r\nb\r\na\r\n");
    e.SelectAll();
    Type(Panel->SearchBox(), "a\r\n");
    Properties.SetOption(OptionBit(soReplaceConfirm), false);
    Properties.SetOption(OptionBit(soReplaceAll), true);
    Panel->Replace();
    EXPECT_EQ(e.Document().GetText(), "yyb\r\nyy");
    Boxes.clear();
    Type(Panel->SearchBox(), "x");
    // Nothing to replace inside the selection: said so, no dialog.
    select();
    Type(Panel->SearchBox(), "z");
    answer({});
    Panel->Replace();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "選択範囲内に、検索文字列 'z' は見つかりません");
}

TEST_F(SearchPanel, ReplaceAskedHitByHitThenAll) {
    TEditor& e = Host.Add("a.txt", "x x x x");
    Properties.FromCursor = true;
    Properties.SetOption(OptionBit(soDown), true);
    Properties.SetOption(OptionBit(soReplaceConfirm), true);
    Properties.SetOption(OptionBit(soReplaceAll), true);
    std::vector<TEditorController::TReplaceAnswer> answers = {TEditorController::raNo, TEditorController::raYes,
                                                             TEditorController::raAll};
    std::size_t asked = 0;
    Panel->SetAskReplace([&](TEditor&) { return answers[asked++]; });
    Type(Panel->SearchBox(), "x");
    Type(Panel->ReplaceBox(), QStringLiteral("yx"));
    Panel->Replace();
    EXPECT_EQ(e.Document().GetText(), "x yx yx yx");
    EXPECT_EQ(asked, 3u);
    EXPECT_FALSE(Properties.Options & soReplaceConfirm);  // "All" turned confirming off
    e.Undo();  // the hits replaced after "All" went in one step
    EXPECT_EQ(e.Document().GetText(), "x yx x x");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "3 件置換しました");
    Boxes.clear();

    Type(Panel->SearchBox(), "z");
    Panel->Replace();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "検索文字列 'z' は見つかりません");
}

TEST_F(SearchPanel, ReplaceAllCoversTheWholeDocumentAsOneStepAndTellsTheCount) {
    TEditor& e = Host.Add("a.txt", "x a x a x\r\nx");
    e.SetSelStart(6);  // after two of the hits
    Properties.FromCursor = true;
    Properties.SetOption(OptionBit(soDown), true);
    Properties.SetOption(OptionBit(soReplaceConfirm), false);
    std::vector<QString> status;
    QObject::connect(Panel.get(), &TSearchResultsForm::StatusMessage, [&](const QString& Text) { status.push_back(Text); });
    Type(Panel->SearchBox(), "x");
    Type(Panel->ReplaceBox(), "yz");
    Properties.SetOption(OptionBit(soReplaceAll), true);
    Panel->Replace();
    EXPECT_EQ(e.Document().GetText(), "yz a yz a yz\r\nyz");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "4 件置換しました");
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0], QStringLiteral("4 件置換しました"));
    e.Undo();
    EXPECT_EQ(e.Document().GetText(), "x a x a x\r\nx");
    // One replacement with no hit after the caret: the first one from the start.
    Boxes.clear();
    Properties.SetOption(OptionBit(soReplaceAll), false);
    e.SetSelStart(14);
    Panel->Replace();
    EXPECT_EQ(e.Document().GetText(), "yz a x a x\r\nx");
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SearchPanel, TheBoxesGoThroughTheDocumentsCharacterMap) {
    TEditor& e = Host.Add("a.txt", "");
    e.InputUtf8("caf\u00e9 caf");  // é is kept in the document's map
    TEditor& sjis = Host.Add("b.txt", sj("caf〓"));
    auto utf8 = [](TEditor& E) { return SjisToUtf8(E.Document().GetText(), E.CharMap(), nullptr); };
    Properties.FromCursor = false;
    Type(Panel->SearchBox(), QStringLiteral("caf\u00e9"));
    EXPECT_FALSE(Panel->FindNext(true));  // not the 〓 of the other file
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "検索文字列 \"caf\u00e9\" は見つかりましぇん。");
    EXPECT_EQ(Panel->SearchBox()->currentText(), QStringLiteral("caf\u00e9"));  // the box keeps é
    Host.Active = 0;
    ASSERT_TRUE(Panel->FindNext(true));
    EXPECT_EQ(SjisToUtf8(e.SelText(), e.CharMap(), nullptr), "caf\u00e9");
    // A new character of the replacement joins the map and stays itself.
    Type(Panel->ReplaceBox(), QStringLiteral("na\u00efve \u301c"));
    Properties.SetOption(OptionBit(soReplaceConfirm), false);
    Properties.SetOption(OptionBit(soReplaceAll), true);
    Panel->Replace();
    EXPECT_EQ(utf8(e), "na\u00efve \u301c caf");
    EXPECT_EQ(utf8(sjis), "caf\u3013");
    // An editor without a map cannot hold é: the search is refused with a message.
    Boxes.clear();
    e.SetCharMap(nullptr);
    Type(Panel->SearchBox(), QStringLiteral("\u00ef"));
    EXPECT_FALSE(Panel->FindNext(true));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "\"\u00ef\" には、この文書で扱えない文字が含まれています。");
}

TEST(SearchPanelKeys, TheBoxesTakeThePanelsKeysTheWindowsCommandsTheRest) {
    TFakeHost host;
    TSearchProperties properties;
    properties.SetDefaults();
    QMainWindow window;
    auto* panel = new TSearchResultsForm(host, properties, &window);
    auto* elsewhere = new QLineEdit(&window);
    window.setCentralWidget(elsewhere);
    window.addDockWidget(Qt::BottomDockWidgetArea, panel);
    int saved = 0, lineDeleted = 0;
    QAction* save = window.addAction(QStringLiteral("上書き保存"));
    save->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    QObject::connect(save, &QAction::triggered, [&] { ++saved; });
    QAction* deleteLine = window.addAction(QStringLiteral("一行削除"));
    deleteLine->setShortcut(QKeySequence(QStringLiteral("Ctrl+K")));
    QObject::connect(deleteLine, &QAction::triggered, [&] { ++lineDeleted; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (QComboBox* box : {panel->SearchBox(), panel->ReplaceBox()}) {
        box->setFocus();
        const TSearchOptions before = properties.Options;
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(properties.Options ^ before, soIncludeSpace);
        QTest::keyClick(box, Qt::Key_K, Qt::ControlModifier);
        EXPECT_EQ(properties.Options ^ before, soIncludeSpace | soNoMatchZenkaku);
        QTest::keyClick(box, Qt::Key_M, Qt::ControlModifier);
        EXPECT_EQ(properties.Options ^ before, soIncludeSpace | soNoMatchZenkaku | soMatchCase);
    }
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(lineDeleted, 0);
    panel->SearchBox()->setFocus();
    QTest::keyClick(panel->SearchBox(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), panel->ReplaceBox());
    elsewhere->setFocus();
    QTest::keyClick(elsewhere, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(elsewhere, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(lineDeleted, 1);
}

TEST_F(SearchPanel, OpenDocumentsListedAndAHitOpened) {
    Host.Add("a.txt", "one\r\nab ab\r\n");
    Host.Add("", "xx ab");  // untitled: kept apart by its id
    Host.Add("c.txt", "none");
    Properties.Target = stOpenFiles;
    Type(Panel->SearchBox(), "ab");
    Panel->SearchFiles();
    TSearchResultsModel& m = Panel->Model();
    ASSERT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.rowCount(m.index(0, 0)), 2);
    EXPECT_TRUE(Panel->Tree()->isExpanded(m.index(0, 0)));   // two hits
    EXPECT_FALSE(Panel->Tree()->isExpanded(m.index(1, 0)));  // one hit
    EXPECT_EQ(m.index(1, 0, m.index(0, 0)).data().toString(), QStringLiteral("2: ab ab"));
    EXPECT_EQ(m.index(0, 0, m.index(1, 0)).data(TSearchResultsModel::HitRole).toString(), QStringLiteral("ab"));

    Host.Active = 2;
    ASSERT_TRUE(Panel->OpenHit(m.index(0, 0, m.index(1, 0))));
    EXPECT_EQ(Host.Active, 1u);
    EXPECT_EQ(Host.Editors[1]->SelStart(), 3);
    EXPECT_EQ(Host.Editors[1]->SelText(), "ab");
    EXPECT_FALSE(Panel->OpenHit(m.index(0, 0)));  // a file row only folds

    // Nothing found: the box, and the previous results stay.
    Type(Panel->SearchBox(), "zz");
    Panel->SearchFiles();
    EXPECT_EQ(m.rowCount(), 2);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "検索文字列 'zz' は見つかりません");
}

TEST_F(SearchPanel, FolderSearchOpensTheHitsFileWithTheHitSelected) {
    const fs::path root = fs::path(testing::TempDir()) / ("panel_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "sub");
    std::ofstream(root / "a.txt", std::ios::binary) << "nothing here\n";
    std::ofstream(root / "sub" / "b.txt", std::ios::binary) << "first\n二行目に検索語\n";  // UTF-8, LF
    std::ofstream(root / "c.dat", std::ios::binary) << "検索語";
    Properties.Target = stFolder;
    Properties.Folder = root.string();
    Properties.Mask = "*.txt";
    Properties.SubFolder = true;
    Panel->RefreshFromSettings();
    Type(Panel->SearchBox(), QStringLiteral("検索語"));
    Panel->SearchFiles();
    Panel->WaitForSearch();
    TSearchResultsModel& m = Panel->Model();
    ASSERT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.index(0, 0).data().toString().toStdString(), (root / "sub" / "b.txt").string());
    ASSERT_TRUE(Panel->OpenHit(m.index(0, 0, m.index(0, 0))));
    ASSERT_EQ(Host.Opened.size(), 1u);
    TEditor& e = *Host.Editors.back();
    EXPECT_EQ(e.SelText(), sj("検索語"));
    EXPECT_EQ(e.SelStartRow(), 1);
    EXPECT_TRUE(Boxes.empty());

    // A missing folder and a mask without files are told.
    Properties.Mask = "*.none";
    Panel->SearchFiles();
    Properties.Folder = (root / "missing").string();
    Panel->SearchFiles();
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[0], "マスク '*.none' に一致するファイルは見あたりません");
    EXPECT_EQ(Boxes[1], "フォルダ '" + (root / "missing").string() + "' は見つかりません");
    fs::remove_all(root);
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// The keys of the search box as a user presses them: Enter finds, Ctrl+Enter searches the files.
TEST_F(SearchPanel, KeysOfTheSearchBox) {
    TEditor& e = Host.Add("a.txt", "ab ab");
    Properties.FromCursor = true;
    Properties.Target = stEditedFile;
    Panel->RefreshFromSettings();
    Panel->show();
    Panel->SearchBox()->setEditText("ab");
    QTest::keyClick(Panel->SearchBox(), Qt::Key_Return);
    EXPECT_EQ(e.SelStart(), 0);
    QTest::keyClick(Panel->SearchBox(), Qt::Key_Return);
    EXPECT_EQ(e.SelStart(), 3);
    QTest::keyClick(Panel->SearchBox(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(e.SelStart(), 0);
    QTest::keyClick(Panel->SearchBox(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Panel->Model().HitCount(), 2u);
}

}  // namespace
}  // namespace orvane
