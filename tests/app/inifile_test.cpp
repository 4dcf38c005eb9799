// The INI store: names without case, lines kept in place, values verbatim, code page 932 files,
// damaged text, and writes that fail leaving the old file.
#include "files/inifile.h"

#include "base/exceptions.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>

namespace orvane {
namespace {

namespace fs = std::filesystem;

struct TEditCase {
    const char* Name;
    std::string Before;
    std::function<void(TIniFile&)> Change;
    std::string After;
};

TEST(IniFile, ChangesKeepEveryOtherLineInPlace) {
    const TEditCase cases[] = {
        {"existing key changed in place, spelling of the file kept",
         "; head\n[Orvane]\nQuoteMark=>>\n# note\nBackup=1\n\n[Other]\nx=1\n",
         [](TIniFile& I) { I.WriteString("orvane", "QUOTEMARK", "> "); },
         "; head\n[Orvane]\nQuoteMark=> \n# note\nBackup=1\n\n[Other]\nx=1\n"},
        {"new key after the section's last key, before its blank line",
         "[A]\nx=1\n\n[B]\ny=2\n", [](TIniFile& I) { I.WriteInteger("a", "z", -3); },
         "[A]\nx=1\nz=-3\n\n[B]\ny=2\n"},
        {"new section at the end after a blank line", "[A]\nx=1\n", [](TIniFile& I) { I.WriteBool("B", "k", true); },
         "[A]\nx=1\n\n[B]\nk=1\n"},
        {"CR LF files stay CR LF", "[A]\r\nx=1\r\n", [](TIniFile& I) { I.WriteBool("A", "x", false); },
         "[A]\r\nx=0\r\n"},
        {"line breaks in a value are dropped", "", [](TIniFile& I) { I.WriteString("A", "x", "a\r\nb"); },
         "[A]\nx=ab\n"},
        {"a key of a repeated section is changed where it is first", "[A]\nx=1\n[a]\nx=2\n",
         [](TIniFile& I) { I.WriteString("A", "X", "9"); }, "[A]\nx=9\n[a]\nx=2\n"},
        {"delete a key, erase a section", "[A]\nx=1\ny=2\n[B]\nz=3\n[C]\n",
         [](TIniFile& I) {
             I.DeleteKey("a", "X");
             I.EraseSection("b");
         },
         "[A]\ny=2\n[C]\n"},
    };
    for (const TEditCase& c : cases) {
        TIniFile ini;
        ini.SetText(c.Before);
        c.Change(ini);
        EXPECT_EQ(ini.Text(), c.After) << c.Name;
    }
}

TEST(IniFile, ReadsNamesWithoutCaseAndValuesVerbatim) {
    TIniFile ini;
    ini.SetText(
        "\xEF\xBB\xBF[Orvane]\n"
        "  QuoteMark => \n"
        "Filter=a|*.txt;*.c|b=c\n"
        "Actions[actUndo].ShortCut=Ctrl+Z\n"
        "Number= 42 \n"
        "Bad=4x\n"
        "Huge=99999999999\n"
        "Flag=2\n"
        "Empty=\n"
        "; Hidden=1\n"
        "[orvane]\n"
        "Later=5\n"
        "QuoteMark=second\n");
    EXPECT_TRUE(ini.SectionExists("ORVANE"));
    EXPECT_EQ(ini.ReadString("orvane", "quotemark", "?"), "> ");  // the first of two wins
    EXPECT_EQ(ini.ReadString("Orvane", "filter", "?"), "a|*.txt;*.c|b=c");
    EXPECT_EQ(ini.ReadString("Orvane", "actions[ACTUNDO].shortcut", "?"), "Ctrl+Z");
    EXPECT_EQ(ini.ReadInteger("Orvane", "Number", 0), 42);
    EXPECT_EQ(ini.ReadInteger("Orvane", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Orvane", "Huge", 7), 7);
    EXPECT_TRUE(ini.ReadBool("Orvane", "Flag", false));
    EXPECT_TRUE(ini.ReadBool("Orvane", "Empty", true));
    EXPECT_EQ(ini.ReadString("Orvane", "Empty", "?"), "");
    EXPECT_FALSE(ini.ValueExists("Orvane", "Hidden"));
    EXPECT_EQ(ini.ReadInteger("Orvane", "Later", 0), 5);  // a repeated section counts as the same one
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Orvane"}));
    EXPECT_EQ(ini.ReadSection("orvane").size(), 10u);
}

TEST(IniFile, CodePage932FileIsReadAndWrittenBackAsUtf8) {
    TIniFile ini;
    // "[Orvane]", QuoteMark=＞ and a comment in katakana, in code page 932.
    ini.SetText("[Orvane]\r\nQuoteMark=\x81\x84\r\n; \x83\x52\x83\x81\x83\x93\x83\x67\r\n");
    EXPECT_EQ(ini.ReadString("Orvane", "QuoteMark", ""), "＞");
    EXPECT_EQ(ini.Text(), "[Orvane]\r\nQuoteMark=＞\r\n; コメント\r\n");
}

TEST(IniFile, OneCodePage932LineLeavesTheUtf8OfTheOthersAlone) {
    TIniFile ini;
    // A recent-file path in UTF-8 and a quote mark written by an older program in code page 932.
    ini.SetText("[History]\nFile0=/home/u/日本語.txt\n[Orvane]\nQuoteMark=\x81\x84\n");
    EXPECT_EQ(ini.ReadString("History", "File0", ""), "/home/u/日本語.txt");
    EXPECT_EQ(ini.ReadString("Orvane", "QuoteMark", ""), "＞");
    EXPECT_EQ(ini.Text(), "[History]\nFile0=/home/u/日本語.txt\n[Orvane]\nQuoteMark=＞\n");
}

TEST(IniFile, DamagedTextIsReadAsFarAsItGoes) {
    TIniFile ini;
    using namespace std::string_literals;
    const std::string damaged =
        "[Orvane\nnoequals\n=novalue\n[Orvane]\nBackup=0\n\0\xFF\xFE=\x80\nStatusBar=0\n[unterminated\nToolBar=0"s;
    ini.SetText(damaged);
    EXPECT_FALSE(ini.ReadBool("Orvane", "Backup", true));
    EXPECT_FALSE(ini.ReadBool("Orvane", "StatusBar", true));
    EXPECT_FALSE(ini.ReadBool("Orvane", "ToolBar", true));  // the unclosed header is not a section
    EXPECT_FALSE(ini.ValueExists("Orvane", ""));
    // Written back, nothing that was read is lost.
    TIniFile again;
    again.SetText(ini.Text());
    EXPECT_EQ(again.Text(), ini.Text());
}

class IniFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("orvane-ini-" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }
    static std::string Read(const fs::path& P) {
        std::ifstream in(P, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path Dir;
};

TEST_F(IniFileOnDisk, MissingFileIsEmptyAndAWriteCreatesIt) {
    TIniFile ini((Dir / "orvane.ini").string());
    EXPECT_FALSE(ini.Existed());
    ini.WriteInteger("IniFile", "Version", 1);
    ini.UpdateFile();
    EXPECT_EQ(Read(Dir / "orvane.ini"), "[IniFile]\nVersion=1\n");
    EXPECT_TRUE(TIniFile((Dir / "orvane.ini").string()).Existed());
}

// A write that fails half-way.
class TFailingWriter : public TFileWriter {
public:
    ssize_t Write(int, const char*, std::size_t) const override {
        errno = ENOSPC;
        return -1;
    }
};

TEST_F(IniFileOnDisk, FailedWriteLeavesTheOldFile) {
    const fs::path file = Dir / "orvane.ini";
    std::ofstream(file) << "[Orvane]\nBackup=1\n";
    TIniFile ini(file.string());
    ini.WriteBool("Orvane", "Backup", false);
    const TFailingWriter failing;
    EXPECT_THROW(ini.UpdateFile(&failing), Exception);
    EXPECT_EQ(Read(file), "[Orvane]\nBackup=1\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);  // no temporary left

    // A folder where the file should be, and a folder that does not exist.
    TIniFile taken((Dir / "taken.ini").string());
    fs::create_directories(Dir / "taken.ini");
    EXPECT_THROW(TIniFile((Dir / "taken.ini").string()), Exception);  // reading it fails too
    taken.WriteBool("A", "x", true);
    EXPECT_THROW(taken.UpdateFile(), Exception);
    EXPECT_TRUE(fs::is_directory(Dir / "taken.ini"));
    TIniFile nowhere((Dir / "missing" / "orvane.ini").string());
    nowhere.WriteBool("A", "x", true);
    EXPECT_THROW(nowhere.UpdateFile(), Exception);
}

}  // namespace
}  // namespace orvane
