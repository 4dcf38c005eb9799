// The command table, its enabling rules and the shortcut text, without a window.
#include "app/cmdline.h"
#include "app/commands.h"
#include "app/settings.h"

#include <gtest/gtest.h>

#include <set>

namespace orvane {
namespace {

TEST(CommandTable, OrderNamesAndLayout) {
    const auto table = CommandTable();
    ASSERT_EQ(table.size(), 100u);
    std::set<std::string, std::less<>> names;
    for (const TCommandDef& c : table) EXPECT_TRUE(names.insert(std::string(c.Name)).second) << c.Name;
    // Old settings keyed shortcuts by position: the positions are fixed.
    EXPECT_EQ(table[0].Name, "actBookmarkPut0");
    EXPECT_EQ(table[10].Name, "actUndo");
    EXPECT_EQ(table[11].Name, "actBookmark0");
    EXPECT_EQ(table[19].Name, "actRedo");
    EXPECT_EQ(table[87].Name, "actExit");
    EXPECT_EQ(table[96].Name, "actBookmark8");
    EXPECT_EQ(table[98].Name, "actNewWindow");
    EXPECT_EQ(table[99].Name, "actBoxSelect");  // new commands come last

    // Categories in table order, and how many commands each has.
    std::vector<std::pair<std::string_view, int>> categories;
    for (const TCommandDef& c : table) {
        auto it = std::find_if(categories.begin(), categories.end(), [&](auto& p) { return p.first == c.Category; });
        if (it == categories.end())
            categories.emplace_back(c.Category, 1);
        else
            ++it->second;
    }
    const std::vector<std::pair<std::string_view, int>> expected{
        {"", 21}, {"編集", 13}, {"ファイル", 15}, {"特殊", 14}, {"設定", 14}, {"検索", 9}, {"ヘルプ", 4}, {"変換", 10}};
    EXPECT_EQ(categories, expected);

    // Menus and the default item lists name only commands of the table; the bookmark commands
    // and actNewWindow are in no main menu.
    std::set<std::string_view> inMenus;
    for (const TMenuDef& m : MainMenu())
        for (const TMenuItemDef& item : m.Items)
            if (item.Command != "-") {
                EXPECT_GE(FindCommand(item.Command), 0) << item.Command;
                inMenus.insert(item.Command);
            }
    for (const TCommandDef& c : table) EXPECT_EQ(inMenus.count(c.Name) == 0, c.Category.empty()) << c.Name;
    for (const auto& list : {DefaultToolBarItems(), DefaultPopupMenuItems()})
        for (const std::string& item : list)
            if (item != "-") {
                EXPECT_GE(FindItemCommand(item), 0) << item;
            }
    EXPECT_EQ(FindItemCommand("FindBefore"), FindCommand("actFindBefore"));
    EXPECT_EQ(FindItemCommand("nothing"), -1);
}

TEST(CommandTable, EveryBuiltInShortCutReadsAndWritesBack) {
    int count = 0;
    for (const TCommandDef& c : CommandTable()) {
        if (c.ShortCut.empty()) continue;
        ++count;
        const TShortCut s = TextToShortCut(c.ShortCut);
        EXPECT_NE(s, scNone) << c.Name;
        EXPECT_EQ(ShortCutToText(s), c.ShortCut) << c.Name;
    }
    EXPECT_EQ(count, 54);
    EXPECT_EQ(DefaultShortCutList()[FindCommand("actCopyAll")], "actCopyAll=Shift+Ctrl+Alt+C");
    EXPECT_EQ(DefaultShortCutList()[FindCommand("actAbout")], "actAbout=");
}

TEST(ShortCutText, RoundTripsAndNormalForm) {
    struct {
        std::string_view Text;
        TShortCut Value;
        std::string_view Written;
    } cases[] = {
        {"Shift+Ctrl+Alt+C", scShift | scCtrl | scAlt | 'C', "Shift+Ctrl+Alt+C"},
        {"alt+ctrl+shift+c", scShift | scCtrl | scAlt | 'C', "Shift+Ctrl+Alt+C"},  // any order, any case
        {"Ctrl + Shift + 3", scShift | scCtrl | '3', "Shift+Ctrl+3"},
        {"BkSp", 0x08, "BkSp"},
        {"Shift+Enter", scShift | 0x0D, "Shift+Enter"},
        {"Ctrl+F4", scCtrl | 0x73, "Ctrl+F4"},
        {"F24", 0x87, "F24"},
        {"Alt+PgDn", scAlt | 0x22, "Alt+PgDn"},
        {"del", 0x2E, "Del"},
        // The punctuation keys by their Japanese-layout names.
        {"Ctrl+,", scCtrl | 0xBC, "Ctrl+,"},
        {"Ctrl+.", scCtrl | 0xBE, "Ctrl+."},
        {"Ctrl+;", scCtrl | 0xBB, "Ctrl+;"},
        {"Ctrl+-", scCtrl | 0xBD, "Ctrl+-"},
        {"Ctrl+@", scCtrl | 0xC0, "Ctrl+@"},
        {"Ctrl+[", scCtrl | 0xDB, "Ctrl+["},
        {"Ctrl+\\", scCtrl | 0xDC, "Ctrl+\\"},
        {"Ctrl+]", scCtrl | 0xDD, "Ctrl+]"},
        {"Ctrl+:", scCtrl | 0xBA, "Ctrl+:"},
        {"Ctrl+/", scCtrl | 0xBF, "Ctrl+/"},
        {"Ctrl+^", scCtrl | 0xDE, "Ctrl+^"},
        // Text that does not parse is no shortcut.
        {"", scNone, ""},
        {"Ctrl+", scNone, ""},
        {"Ctrl", scNone, ""},
        {"Ctrl+Foo", scNone, ""},
        {"+A", scNone, ""},
        {"Ctrl++", scNone, ""},
        {"Ctrl+AB", scNone, ""},
        {"Return", scNone, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToShortCut(c.Text), c.Value) << c.Text;
        EXPECT_EQ(ShortCutToText(c.Value), c.Written) << c.Text;
    }
    EXPECT_EQ(ShortCutToText(scCtrl | 0x07), "");  // a key without a name
}

TEST(ShortCutBinding, TheFirstInTableOrderKeepsAKey) {
    std::vector<TShortCut> s = DefaultShortCuts();
    const auto at = [](std::string_view Name) { return std::size_t(FindCommand(Name)); };
    s[at("actSaveAll")] = s[at("actSave")];   // Ctrl+S twice: actSave comes first
    s[at("actBookmarkPut0")] = s[at("actUndo")];  // Ctrl+Z: the bookmark comes first
    const std::vector<TShortCut> bound = BindShortCuts(s);
    EXPECT_EQ(bound[at("actSave")], scCtrl | 'S');
    EXPECT_EQ(bound[at("actSaveAll")], scNone);
    EXPECT_EQ(bound[at("actBookmarkPut0")], scCtrl | 'Z');
    EXPECT_EQ(bound[at("actUndo")], scNone);
    std::set<TShortCut> seen;
    for (TShortCut k : bound)
        if (k != scNone) {
            EXPECT_TRUE(seen.insert(k).second);
        }
    EXPECT_EQ(BindShortCuts(DefaultShortCuts()), DefaultShortCuts());  // the built-in keys never clash
}

TEST(CommandRules, EnablingAgainstEditorStates) {
    TCommandState none;
    TCommandState empty;
    empty.Document = true;
    TCommandState typed = empty;
    typed.HasLines = typed.CanUndo = true;
    TCommandState rowSelection = typed;
    rowSelection.Selected = true;
    TCommandState multiRow = rowSelection;
    multiRow.MultiRow = true;
    multiRow.CanRedo = true;
    multiRow.ClipboardText = true;
    TCommandState protectedText = multiRow;
    protectedText.ReadOnly = true;

    struct {
        std::string_view Command;
        bool None, Empty, Typed, Selection, MultiRow, ReadOnly;
    } cases[] = {
        {"actUndo", false, false, true, true, true, false},
        {"actRedo", false, false, false, false, true, false},
        {"actCut", false, false, false, true, true, false},
        {"actCopy", false, false, false, true, true, true},  // copying does not change the text
        {"actPaste", false, false, false, false, true, false},
        {"actSort", false, false, false, false, true, false},
        {"actSelectAll", false, false, true, true, true, true},
        {"actDouble", false, false, true, true, true, false},
        {"actSave", false, true, true, true, true, true},
        {"actCount", false, true, true, true, true, true},
        {"actOpen", true, true, true, true, true, true},
        {"actConvert", true, true, true, true, true, false},
        {"actBookmark3", true, true, true, true, true, true},
        {"actStatusBar", true, true, true, true, true, true},
        {"actNewWindow", false, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        const TCommandDef& def = CommandTable()[std::size_t(FindCommand(c.Command))];
        EXPECT_EQ(CommandEnabled(def, none), c.None) << c.Command;
        EXPECT_EQ(CommandEnabled(def, empty), c.Empty) << c.Command;
        EXPECT_EQ(CommandEnabled(def, typed), c.Typed) << c.Command;
        EXPECT_EQ(CommandEnabled(def, rowSelection), c.Selection) << c.Command;
        EXPECT_EQ(CommandEnabled(def, multiRow), c.MultiRow) << c.Command;
        EXPECT_EQ(CommandEnabled(def, protectedText), c.ReadOnly) << c.Command;
    }

    TCommandState shown;
    shown.StatusBar = true;
    const auto& statusBar = CommandTable()[std::size_t(FindCommand("actStatusBar"))];
    const auto& toolBar = CommandTable()[std::size_t(FindCommand("actToolBar"))];
    EXPECT_TRUE(CommandCheckable(statusBar));
    EXPECT_TRUE(CommandChecked(statusBar, shown));
    EXPECT_FALSE(CommandChecked(toolBar, shown));
    EXPECT_FALSE(CommandCheckable(CommandTable()[0]));
    const auto& box = CommandTable()[std::size_t(FindCommand("actBoxSelect"))];
    EXPECT_TRUE(CommandCheckable(box));
    EXPECT_FALSE(CommandEnabled(box, TCommandState{}));
    shown.Document = true;
    EXPECT_TRUE(CommandEnabled(box, shown));
    EXPECT_FALSE(CommandChecked(box, shown));
    shown.BoxMode = true;
    EXPECT_TRUE(CommandChecked(box, shown));
}

TEST(CommandTable, HintsSplitIntoShortAndLong) {
    const auto& exit = CommandTable()[std::size_t(FindCommand("actExit"))];
    EXPECT_EQ(HintShort(exit.Hint), "終了");
    EXPECT_EQ(HintLong(exit.Hint), "え～、もう終わっちゃうのですかぁ。");
    EXPECT_EQ(HintLong("no bar"), "no bar");
    EXPECT_EQ(HintShort(""), "");

    EXPECT_EQ(CaptionWithoutAccelerator("開く(&O)..."), "開く...");
    EXPECT_EQ(CaptionWithoutAccelerator("HTML - <br>(&R)"), "HTML - <br>");
    EXPECT_EQ(CaptionWithoutAccelerator("しおり &3"), "しおり 3");
    EXPECT_EQ(CaptionWithoutAccelerator("(&"), "(");
}

TEST(CommandTable, TextsNameTheProgramOrvane) {
    auto def = [](std::string_view Name) -> const TCommandDef& { return CommandTable()[std::size_t(FindCommand(Name))]; };
    const struct {
        std::string_view Got, Expected;
    } cases[] = {
        {def("actExit").Caption, "Orvane の終了(&X)"},
        {def("actHelp").Caption, "Orvane ヘルプ(&H)"},
        {def("actHelp").Hint, "ヘルプ|Orvane のヘルプを表示します"},
        {def("actConfig").Hint, "設定|Orvane の各種設定を変更します"},
        {def("actAbout").Hint, "バージョン情報|Orvane のバージョン情報を表示します"},
        {def("actConvert").Hint, "辞書変換|Orvane の目玉っ、辞書つかって変換ですぅ。"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.Got, c.Expected);
    // The file menu shows the exit command under its own caption.
    const TMenuDef& file = MainMenu()[0];
    EXPECT_EQ(file.Items.back().Command, "actExit");
    EXPECT_EQ(file.Items.back().Caption, "Orvane の終了(&X)");
    EXPECT_NE(std::string_view(kDefaultFilter).find("|Orvane 辞書ファイル (*.jis)|*.jis|"), std::string_view::npos);
    EXPECT_NE(UsageText().find("動いている Orvane に渡さず"), std::string::npos);
}

}  // namespace
}  // namespace orvane
