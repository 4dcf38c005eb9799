// The main settings model, the settings folder and the data folders.
#include "app/commands.h"
#include "app/paths.h"
#include "app/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;

TIniFile Ini(std::string_view Text) {
    TIniFile ini;
    ini.SetText(Text);
    return ini;
}

TEST(MainSettings, MissingFileGivesEveryDefault) {
    const TMainSettings s = ReadMainSettings(TIniFile());
    EXPECT_EQ(s.Version, 0);
    EXPECT_FALSE(s.Placement.Stored);
    TOrvaneConfig c;
    c.Filter = kDefaultFilter;
    EXPECT_EQ(s.Config, c);
    EXPECT_EQ(s.Config.QuoteMark, ">>");
    EXPECT_EQ(s.Config.DateTimeFormat, "hh:nn yy/mm/dd");
    EXPECT_EQ(s.Config.BackupBackupMode, 2);
    EXPECT_EQ(s.Config.HistoryNum, 8);
    EXPECT_EQ(s.Tab, (TTabOptions{true, true, true, 64, 0}));
    EXPECT_TRUE(s.ToolBar);
    EXPECT_TRUE(s.StatusBar);
    EXPECT_EQ(s.ToolBarItems, DefaultToolBarItems());
    EXPECT_EQ(s.PopupMenuItems, DefaultPopupMenuItems());
}

TEST(MainSettings, OptionsAndExitKeysRoundTrip) {
    TOrvaneConfig c;
    c.QuoteMark = "> ";
    c.DateTimeFormat = "yyyy/mm/dd";
    c.Backup = false;
    c.BackupPath = "DESKTOP";
    c.BackupBackupMode = 1;
    c.CanUndoAfterSave = false;
    c.SearchSelection = true;
    c.Filter = "テキスト|*.txt";
    c.HistoryNum = 12;
    c.ToolBarFlat = false;
    const TTabOptions t{false, false, true, 20, 2};
    const std::vector<std::string> toolbar{"save", "-", "Bogus"}, popup{"copy"};
    TWindowPlacement p;
    p.Stored = true;
    p.Show = 3;
    p.Normal = {100, 50, 700, 550};

    TIniFile ini;
    WriteOptions(ini, c, t, toolbar, popup);
    WriteExitSettings(ini, p, false, c.ToolBarFlat, false);
    const TMainSettings s = ReadMainSettings(Ini(ini.Text()));
    EXPECT_EQ(s.Version, 1);
    EXPECT_EQ(s.Config, c);
    EXPECT_EQ(s.Tab, t);
    EXPECT_EQ(s.Placement, p);
    EXPECT_FALSE(s.ToolBar);
    EXPECT_FALSE(s.StatusBar);
    EXPECT_EQ(s.ToolBarItems, toolbar);
    EXPECT_EQ(s.PopupMenuItems, popup);
    EXPECT_EQ(ini.ReadString("Orvane", "Backup", ""), "0");  // booleans as 1 and 0
}

TEST(MainSettings, PlacementIsEdgesAndIsClampedToTheScreen) {
    const TMainSettings s = ReadMainSettings(Ini("[Orvane]\nForm.X=100\nForm.Y=50\nForm.XSize=700\nForm.YSize=550\n"));
    ASSERT_TRUE(s.Placement.Stored);
    EXPECT_EQ(s.Placement.Normal.Width(), 600);
    EXPECT_EQ(s.Placement.Normal.Height(), 500);

    const TRectEdges screen{0, 0, 1280, 800}, fallback{160, 80, 1120, 720};
    struct {
        TRectEdges In, Out;
    } cases[] = {
        {{100, 50, 700, 550}, {100, 50, 700, 550}},       // inside: unchanged
        {{1000, 600, 1600, 1100}, {680, 300, 1280, 800}}, // off the bottom right: moved in
        {{-300, -40, 300, 460}, {0, 0, 600, 500}},        // off the top left
        {{0, 0, 3000, 2000}, {0, 0, 1280, 800}},          // larger than the screen: shrunk
        {{500, 500, 400, 400}, fallback},                 // no area: the fallback
    };
    for (const auto& c : cases) EXPECT_EQ(ClampToScreen(c.In, screen, fallback), c.Out);
}

TEST(MainSettings, ItemListsFallBackEntryByEntry) {
    std::vector<std::string> list{"new", "open"};
    ReadItemList(Ini("[Other]\n"), "Toolbar", list);
    EXPECT_EQ(list, (std::vector<std::string>{"new", "open"}));  // no section: kept
    ReadItemList(Ini("[Toolbar]\nItems.1=save\n"), "Toolbar", list);
    EXPECT_EQ(list, (std::vector<std::string>{"new", "save"}));  // count defaults to the length
    ReadItemList(Ini("[Toolbar]\nItems.Count=3\nItems.0=-\n"), "Toolbar", list);
    EXPECT_EQ(list, (std::vector<std::string>{"-", "save", ""}));
    ReadItemList(Ini("[Toolbar]\nItems.Count=-5\n"), "Toolbar", list);
    EXPECT_TRUE(list.empty());
}

TEST(MainSettings, ShortCutsByNameOrByOldIndex) {
    std::vector<TShortCut> s = DefaultShortCuts();
    const int bookmark0 = FindCommand("actBookmark0"), save = FindCommand("actSave"), undo = FindCommand("actUndo");
    ASSERT_EQ(bookmark0, 11);
    // Files of an older version keyed shortcuts by table position.
    ReadShortCuts(Ini("[Orvane]\nActions[11].ShortCut=Ctrl+U\nActions[actSave].ShortCut=F2\n"), 0, s);
    EXPECT_EQ(s[11], scCtrl | 'U');
    EXPECT_EQ(s[std::size_t(save)], TextToShortCut("Ctrl+S"));

    s = DefaultShortCuts();
    ReadShortCuts(Ini("[Orvane]\nActions[11].ShortCut=Ctrl+U\nactions[ACTSAVE].shortcut=\n"
                      "Actions[actUndo].ShortCut=Nonsense\n"),
                  1, s);
    EXPECT_EQ(s[11], scCtrl | '0');
    EXPECT_EQ(s[std::size_t(save)], scNone);  // an empty value removes the shortcut
    EXPECT_EQ(s[std::size_t(undo)], scNone);  // so does one that does not parse

    TIniFile out;
    WriteShortCuts(out, s);
    EXPECT_EQ(out.ReadString("Orvane", "Actions[actSave].ShortCut", "?"), "");
    EXPECT_EQ(out.ReadString("Orvane", "Actions[actBookmarkPut3].ShortCut", "?"), "Shift+Ctrl+3");
    std::vector<TShortCut> back(kCommandCount, scNone);
    ReadShortCuts(out, 1, back);
    EXPECT_EQ(back, s);
}

TEST(MainSettings, EditingFilesKeysBeyondTheCountStay) {
    TIniFile ini = Ini("[EditingFiles]\nCount=3\n00=/a\n01=/b\n02=/c\n");
    WriteEditingFiles(ini, {"/x", "無題"});
    EXPECT_EQ(ReadEditingFiles(ini), (std::vector<std::string>{"/x", "無題"}));
    EXPECT_EQ(ini.ReadString("EditingFiles", "02", ""), "/c");
    EXPECT_TRUE(ReadEditingFiles(Ini("[EditingFiles]\nCount=2\n01=/b\n")) == std::vector<std::string>{"/b"});
}

class SettingsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("orvane-paths-" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir / "bin");
    }
    void TearDown() override { fs::remove_all(Dir); }
    fs::path Dir;
};

TEST_F(SettingsFolder, ResolutionOrder) {
    const std::string bin = (Dir / "bin").string();
    TPathInputs in{"", "/xdg", "/home/u", bin, "/work"};
    EXPECT_EQ(ResolveSettingsFolder(in), "/xdg/orvane");
    in.XdgConfigHome = "relative/xdg";  // only an absolute XDG_CONFIG_HOME counts
    EXPECT_EQ(ResolveSettingsFolder(in), "/home/u/.config/orvane");
    in.XdgConfigHome.clear();
    EXPECT_EQ(ResolveSettingsFolder(in), "/home/u/.config/orvane");

    std::ofstream(Dir / "bin" / "orvane.ini") << "[IniFile]\n";  // portable mode
    EXPECT_EQ(ResolveSettingsFolder(in), bin);
    if (::geteuid() != 0) {  // root may write anywhere
        ::chmod(bin.c_str(), 0555);
        EXPECT_EQ(ResolveSettingsFolder(in), "/home/u/.config/orvane");
        ::chmod(bin.c_str(), 0755);
    }

    in.SettingsOverride = "/elsewhere/conf/";
    EXPECT_EQ(ResolveSettingsFolder(in), "/elsewhere/conf/");
    in.SettingsOverride = "conf";
    EXPECT_EQ(ResolveSettingsFolder(in), "/work/conf");
}

TEST_F(SettingsFolder, DataIsLookedUpInTheSettingsTheProgramThenTheShareFolder) {
    const std::string settings = (Dir / "settings").string(), bin = (Dir / "bin").string();
    const std::string share = (Dir / "share" / "orvane").string();
    const auto folders = DataFolders(settings, bin, share);
    EXPECT_EQ(folders, (std::vector<std::string>{settings, bin, share}));  // ../share/orvane is the same folder
    EXPECT_EQ(DataFolders(bin, bin, "").size(), 2u);

    fs::create_directories(Dir / "share" / "orvane" / "help");
    std::ofstream(Dir / "share" / "orvane" / "help" / "index.html") << "share";
    EXPECT_EQ(FindDataFile(folders, "help/index.html"), share + "/help/index.html");
    fs::create_directories(Dir / "settings" / "help");
    std::ofstream(Dir / "settings" / "help" / "index.html") << "own";
    EXPECT_EQ(FindDataFile(folders, "help/index.html"), settings + "/help/index.html");
    EXPECT_EQ(FindDataFile(folders, "help"), "");  // a folder is no data file
}

}  // namespace
}  // namespace orvane
