// The search settings: histories, the settings file as written and read, refused and damaged files.
#include "search/searchproperties.h"

#include "base/exceptions.h"
#include "files/filewrite.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::sj;

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/orvane-search-XXXXXX";
        FPath = ::mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(FPath); }
    std::string operator/(const std::string& Name) const { return (FPath / Name).string(); }
    std::string Path() const { return FPath.string(); }

private:
    fs::path FPath;
};

void Put(const std::string& Path, std::string_view Bytes) {
    std::ofstream(Path, std::ios::binary).write(Bytes.data(), std::streamsize(Bytes.size()));
}

std::vector<std::string> Items(const TStrings& List) {
    std::vector<std::string> out;
    for (int i = 0; i < List.Count(); ++i) out.push_back(List.Strings(i));
    return out;
}

void SetItems(TStrings& List, const std::vector<std::string>& Items) {
    List.Clear();
    for (const auto& s : Items) List.Add(s);
}

// Every field, for comparing two objects.
std::string Fields(const TSearchProperties& P) {
    std::string out = P.SearchValue + "|" + P.ReplaceValue + "|" + std::to_string(P.Options) + "|" +
                      std::to_string(P.SelectedOnly) + std::to_string(P.FromCursor) + std::to_string(P.Target) +
                      std::to_string(P.SubFolder) + "|" + P.Folder + "|" + P.Mask;
    for (const auto& s : Items(P.SearchHistory())) out += "|s:" + s;
    for (const auto& s : Items(P.ReplaceHistory())) out += "|r:" + s;
    return out;
}

TEST(SearchProperties, FreshObjectAndFileDefaults) {
    TSearchProperties p;
    EXPECT_EQ(Fields(p), "||0|0000||");
    p.SearchHistory().Add("x");
    p.SetOption(OptionBit(soMatchCase), true);
    p.SetOption(16, true);  // ignored
    p.SetOption(-1, true);
    EXPECT_EQ(p.Options, 2);
    p.SetDefaults();
    EXPECT_EQ(Fields(p), "||0|0110||*.txt");

    // A missing file: the error of the file system, and the defaults hold.
    TempDir dir;
    p.SearchValue = "kept?";
    EXPECT_THROW(p.LoadFromFile(SearchSettingsFile(dir.Path())), Exception);
    EXPECT_EQ(Fields(p), "||0|0110||*.txt");
    EXPECT_EQ(SearchSettingsFile("/a/b/"), "/a/b/orvane_search.xml");
}

TEST(SearchProperties, HistoryOrderAndLimit) {
    struct Case {
        std::vector<std::string> Before;
        std::string Value;
        std::vector<std::string> After;
    } cases[] = {
        {{"ABC", "x", "y"}, "abc", {"ABC", "x", "y"}},  // found first: swapped with itself
        {{"ABC", "x", "y"}, "y", {"y", "x", "ABC"}},    // found: swapped with the first
        {{"ABC", "x", "y"}, "", {"ABC", "x", "y"}},     // empty: not recorded
        {{"ABC", "x"}, "z", {"z", "ABC", "x"}},
        {{"x", sj("ＡＢＣ")}, sj("ａｂｃ"), {sj("ＡＢＣ"), "x"}},  // full-width letters fold too
        // ャ (83 61) and ア (83 41) differ only in a trail byte that looks like a letter.
        {{sj("ア")}, sj("ャ"), {sj("ャ"), sj("ア")}},
    };
    for (const Case& c : cases) {
        TSearchProperties p;
        SetItems(p.SearchHistory(), c.Before);
        SetItems(p.ReplaceHistory(), c.Before);
        p.SearchValue = p.ReplaceValue = c.Value;
        p.AddSearchHistory();
        p.AddReplaceHistory();
        EXPECT_EQ(Items(p.SearchHistory()), c.After) << c.Value;
        EXPECT_EQ(Items(p.ReplaceHistory()), c.After) << c.Value;
    }

    TSearchProperties p;
    for (int i = 0; i < 33; ++i) {
        p.SearchValue = 's' + std::to_string(i);
        p.AddSearchHistory();
    }
    ASSERT_EQ(p.SearchHistory().Count(), 32);
    EXPECT_EQ(p.SearchHistory().Strings(0), "s32");
    EXPECT_EQ(p.SearchHistory().Strings(31), "s1");  // s0, the oldest, went out

    // A file may bring more than the limit: kept as loaded, cut at the next add.
    TempDir dir;
    const std::string path = dir / "s.xml";
    std::string values;
    for (int i = 0; i < 40; ++i) {
        values += "<value>v";
        values += std::to_string(i);
        values += "</value>";
    }
    Put(path, "<orvane><searchproperties version=\"1.0\"><searchhistory>" + values + "</searchhistory></searchproperties></orvane>");
    p.LoadFromFile(path);
    EXPECT_EQ(p.SearchHistory().Count(), 40);
    p.SearchValue = "new";
    p.AddSearchHistory();
    ASSERT_EQ(p.SearchHistory().Count(), 32);
    EXPECT_EQ(p.SearchHistory().Strings(31), "v30");
}

TEST(SearchProperties, GoldenFileWrittenAndReadBack) {
    TSearchProperties p;
    p.SetDefaults();
    p.SearchValue = "find";
    p.ReplaceValue = "";
    p.SetOption(OptionBit(soDown), true);
    p.SetOption(OptionBit(soMatchCase), true);
    p.SetOption(OptionBit(soWholeFile), true);
    p.SelectedOnly = true;
    SetItems(p.SearchHistory(), {"find", "b"});
    p.Target = stFolder;
    p.Folder = "/home/user";
    p.Mask = "*.txt;*.html";
    p.SubFolder = true;
    TempDir dir;
    const std::string path = SearchSettingsFile(dir.Path());
    p.SaveToFile(path);
    const std::string items = sj("個のアイテム");
    EXPECT_EQ(ReadFileBytes(path),
              "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><orvane><searchproperties version=\"1.0\">"
              "<searchvalue>find</searchvalue><replacevalue/>"
              "<flag selectedonly=\"true\" fromcursor=\"true\"/>"
              "<options><matchcase/><down/><wholefile/></options>"
              "<searchhistory><!--2" + items + "--><value>find</value><value>b</value></searchhistory>"
              "<replacehistory><!--0" + items + "--></replacehistory>"
              "<filesearch target=\"2\" subfolder=\"true\"><folder>/home/user</folder><mask>*.txt;*.html</mask></filesearch>"
              "</searchproperties></orvane>\r\n");
    TSearchProperties q;
    q.LoadFromFile(path);
    EXPECT_EQ(Fields(q), Fields(p));
    TSearchProperties copy;
    copy.Assign(q);
    EXPECT_EQ(Fields(copy), Fields(p));
    TStringList other;
    EXPECT_THROW(copy.Assign(other), EConvertError);
}

// Strings with every character XML must escape, line breaks and Shift_JIS trail bytes come back
// as they were; so do paths outside code page 932.
TEST(SearchProperties, EveryCharacterRoundTrips) {
    const std::vector<std::string> values = {
        "href=\"", "<a title=\"x > y\">", "a & b &amp; &lt;", "'", "line\r\nbreak", "]]>", "-->",
        sj("ソ表能\\"), "  spaces  ", "\t",
    };
    TSearchProperties p;
    p.SearchValue = values[0];
    p.ReplaceValue = values[1];
    SetItems(p.SearchHistory(), values);
    SetItems(p.ReplaceHistory(), {values.rbegin(), values.rend()});
    p.Folder = "/tmp/検索/ñ😀";  // UTF-8, partly outside code page 932
    p.Mask = "*.txt;\xFF\xFE*";  // not even UTF-8: kept as bytes
    TempDir dir;
    const std::string path = dir / "s.xml";
    p.SaveToFile(path);
    TSearchProperties q;
    q.LoadFromFile(path);
    EXPECT_EQ(Fields(q), Fields(p));

    // A path that code page 932 holds is written in it.
    p.Folder = "/tmp/検索";
    p.SaveToFile(path);
    EXPECT_NE(ReadFileBytes(path).find("<folder>/tmp/" + sj("検索") + "</folder>"), std::string::npos);
    q.LoadFromFile(path);
    EXPECT_EQ(q.Folder, p.Folder);
}

TEST(SearchProperties, RefusedFilesAreKeptAside) {
    struct Case {
        std::string Text;
        const char* Reason;
    } cases[] = {
        {"<other><searchproperties version=\"1.0\"/></other>", "Orvane のファイルではありません"},
        {std::string("\x89PNG\r\n\x1A\n\0\0<", 12), "Orvane のファイルではありません"},
        {"<orvane><searchproperties><searchvalue>x</searchvalue></searchproperties></orvane>",
         "version1.0以外のファイルは読み込めません"},
        {"<orvane><searchproperties version=\"1.1\"/></orvane>", "version1.0以外のファイルは読み込めません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TempDir dir;
        const std::string path = dir / "orvane_search.xml";
        Put(dir / "orvane_search.xml.bak", "an older backup");
        Put(path, c.Text);
        TSearchProperties p;
        p.SearchValue = "before";
        try {
            p.LoadFromFile(path);
            ADD_FAILURE();
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), path + "\r" + c.Reason + "\r元のファイルは orvane_search.xml.bak2 という名前で残しました");
        }
        EXPECT_EQ(Fields(p), "||0|0110||*.txt");
        EXPECT_EQ(ReadFileBytes(path + ".bak2"), c.Text);
        EXPECT_EQ(ReadFileBytes(path + ".bak"), "an older backup");
        EXPECT_FALSE(fs::exists(path));
        // The save at exit makes a new file and leaves the refused one alone.
        p.SaveToFile(path);
        TSearchProperties q;
        q.LoadFromFile(path);
        EXPECT_EQ(Fields(q), Fields(p));
        EXPECT_EQ(ReadFileBytes(path + ".bak2"), c.Text);
    }
}

TEST(SearchProperties, ASaveNeverOverwritesWhatItWouldRefuse) {
    TempDir dir;
    const std::string path = dir / "s.xml";
    const std::string foreign = "<orvane><searchproperties version=\"2.0\"><new/></searchproperties></orvane>";
    Put(path, foreign);
    TSearchProperties p;
    p.SetDefaults();
    EXPECT_THROW(p.SaveToFile(path), Exception);
    EXPECT_EQ(ReadFileBytes(path), foreign);
    // Nor a file it cannot read.
    fs::remove(path);
    fs::create_directory(path);
    EXPECT_THROW(p.SaveToFile(path), Exception);
    EXPECT_TRUE(fs::is_directory(path));
    // A blank file is no settings at all: read as none, written over.
    fs::remove(path);
    Put(path, "\r\n  ");
    p.LoadFromFile(path);
    p.SaveToFile(path);
    EXPECT_NE(ReadFileBytes(path).find("<searchproperties version=\"1.0\">"), std::string::npos);
}

TEST(SearchProperties, OtherContentOfTheFileStays) {
    TempDir dir;
    const std::string path = dir / "s.xml";
    const std::string head = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<!-- mine -->\r\n<orvane>\r\n  <Other a='1'>x</Other>\r\n  ";
    const std::string tail = "\r\n  <more/>\r\n</orvane>\r\n";
    Put(path, head + "<searchproperties version=\"1.0\"><searchvalue>old</searchvalue></searchproperties>" + tail);
    TSearchProperties p;
    p.LoadFromFile(path);
    EXPECT_EQ(p.SearchValue, "old");
    p.SearchValue = "new";
    p.SaveToFile(path);
    const std::string saved = ReadFileBytes(path);
    EXPECT_EQ(saved.substr(0, head.size()), "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<!-- mine -->\r\n<orvane>\r\n  <Other a=\"1\">x</Other>\r\n  ");
    EXPECT_EQ(saved.substr(saved.size() - tail.size()), tail);
    EXPECT_NE(saved.find("<searchvalue>new</searchvalue>"), std::string::npos);
}

TEST(SearchProperties, DamagedFilesReadAsFarAsTheyGo) {
    struct Case {
        std::string Text;
        std::string Expected;  // Fields after loading
    } cases[] = {
        // Cut off in the middle of the histories.
        {"<orvane><searchproperties version=\"1.0\"><searchvalue>a</searchvalue><flag selectedonly=\"true\"/>"
         "<searchhistory><value>h1</value><value>h2",
         "a||0|1110||*.txt|s:h1|s:h2\r\n"},
        // Values that are not what they should be keep the defaults; unknown options are ignored.
        {"<orvane><searchproperties version=\"1.0\"><flag fromcursor=\"TRUE\"/><options><down/><bogus/></options>"
         "<filesearch target=\"x\" subfolder=\"yes\"/></searchproperties></orvane>",
         "||1|0010||*.txt"},
        {"<orvane><searchproperties version=\"1.0\"><filesearch target=\"7\"/></searchproperties></orvane>",
         "||0|0110||*.txt"},
        {"<orvane><searchproperties version=\"1.0\"><filesearch target=\"0\"><folder/></filesearch></searchproperties></orvane>",
         "||0|0100||*.txt"},
        // No searchproperties: the defaults.
        {"<orvane/>", "||0|0110||*.txt"},
    };
    TempDir dir;
    const std::string path = dir / "s.xml";
    for (const Case& c : cases) {
        Put(path, c.Text);
        TSearchProperties p;
        p.LoadFromFile(path);
        EXPECT_EQ(Fields(p), c.Expected) << c.Text;
    }
}

}  // namespace
}  // namespace orvane
