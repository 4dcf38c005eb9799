// Document names: canonical names, tab captions, clone names and the recent-files list.
#include "app/docnames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvane {
namespace {

namespace fs = std::filesystem;

TEST(DocNames, CanonicalNamesResolveLinksAndKeepCase) {
    const fs::path dir = fs::temp_directory_path() / ("orvane-names-" + std::to_string(::getpid()));
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "Readme.txt") << "a";
    std::ofstream(dir / "README.txt") << "b";
    fs::create_symlink(dir / "Readme.txt", dir / "sub" / "link.txt");
    const std::string real = CanonicalFileName((dir / "Readme.txt").string());
    EXPECT_EQ(CanonicalFileName((dir / "sub" / "link.txt").string()), real);
    EXPECT_EQ(CanonicalFileName((dir / "sub" / ".." / "Readme.txt").string()), real);
    EXPECT_NE(CanonicalFileName((dir / "README.txt").string()), real);
    // A file that does not exist yet keeps its name, with the existing part resolved.
    EXPECT_EQ(CanonicalFileName((dir / "sub" / ".." / "new.txt").string()), (dir / "new.txt").string());
    fs::remove_all(dir);
}

TEST(DocNames, TabCaptions) {
    const std::string longName = "/home/user/documents/projects/readme.txt";
    struct {
        std::string File;
        TTabOptions Options;
        bool Modified;
        std::string Expected;
    } cases[] = {
        {"/a/b/readme.txt", {true, true, true, 64, 0}, false, "readme"},
        {"/a/b/readme.txt", {true, true, false, 64, 0}, true, "* readme.txt"},
        {"/a/b/.bashrc", {true, true, true, 64, 0}, false, ".bashrc"},
        {"/a/b.d/noext", {true, true, true, 64, 0}, false, "noext"},
        {"", {true, true, true, 64, 0}, true, "* 無題"},
        {"/a/b&c.txt", {true, true, false, 64, 0}, false, "b&c.txt"},
        // The path kept, cut to about 20: its beginning, "...", and its file name.
        {longName, {true, false, false, 20, 0}, false, "/hom...ts/readme.txt"},
        {longName, {true, false, false, 0, 0}, false, longName},
        // Relative to the active document's folder.
        {"/home/user/x/y.txt", {true, false, false, 0, 1}, false, "x/y.txt"},
        // A short file name part with a wide folder: two-byte characters are one step each.
        {"/フォルダ名前長い/フォルダ/a.txt", {true, false, false, 12, 0}, false, "/フ.../a.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TabCaption(c.File, c.Options, c.Modified, "/home/user", "/"), c.Expected) << c.File;
}

TEST(DocNames, CloneNamesAndCompression) {
    EXPECT_EQ(CloneFileName("/d/a.txt"), "/d/a のコピー.txt");
    EXPECT_EQ(CloneFileName("/d/a"), "/d/a のコピー");
    EXPECT_EQ(CloneFileName("/d.x/a"), "/d.x/a のコピー");
    EXPECT_EQ(CompressFileName("/short/name.txt"), "/short/name.txt");
    EXPECT_EQ(CompressFileName("/home/user/very/long/path/to/file.txt"), "/.../very/long/path/to/file.txt");
    EXPECT_EQ(CompressFileName("/a-very-long-folder-name-indeed/file.txt"), "/a-very-long-folder-name-indeed/file.txt");
    EXPECT_EQ(EscapeMnemonic("a&b&&"), "a&&b&&&&");
}

TEST(DocNames, RecentFilesKeepTheirLimitAndOrder) {
    THistoryList list;
    for (int i = 0; i < 33; ++i) list.Add("/f" + std::to_string(i));
    ASSERT_EQ(list.Items().size(), 32u);
    EXPECT_EQ(list.Items().front(), "/f32");
    EXPECT_EQ(list.Items().back(), "/f1");  // the oldest went
    list.Add("/f5");                        // present: moved to the top, nothing dropped
    EXPECT_EQ(list.Items().front(), "/f5");
    EXPECT_EQ(list.Items().size(), 32u);
    list.Add("/F5");  // another file
    EXPECT_EQ(list.Items()[1], "/f5");

    EXPECT_EQ(HistoryMenuCaptions(list, 8).size(), 8u);
    const auto twelve = HistoryMenuCaptions(list, 12);
    EXPECT_EQ(twelve[0], " &0 /F5");
    EXPECT_EQ(twelve[11], "&11 /f23");
    EXPECT_EQ(HistoryMenuCaptions(list, 100).size(), 32u);

    // Stored with H0 on top; a missing key is skipped, never shown as a name.
    TIniFile ini;
    ini.SetText("[History]\nCount=4\nH0=/new\nH1=/mid\nH3=/old&name\n");
    THistoryList loaded;
    loaded.Load(ini);
    EXPECT_EQ(loaded.Items(), (std::vector<std::string>{"/new", "/mid", "/old&name"}));
    EXPECT_EQ(HistoryMenuCaptions(loaded, 8)[2], "&2 /old&&name");
    TIniFile out;
    loaded.Save(out);
    THistoryList again;
    again.Load(out);
    EXPECT_EQ(again.Items(), loaded.Items());
}

}  // namespace
}  // namespace orvane
