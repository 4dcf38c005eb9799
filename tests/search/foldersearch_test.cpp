// The folder search over a generated tree: one Japanese sentence in every encoding and line end
// the editor reads, trail-byte traps, and the entries a walk must not hang on (a FIFO, a link
// loop, a 2 GB sparse file, a dangling link, an unreadable file).
#include "search/foldersearch.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::sj;

std::string Convert(const std::string& Utf8, const char* To) {
    iconv_t cd = iconv_open(To, "UTF-8");
    if (cd == iconv_t(-1)) throw std::runtime_error(std::string("iconv: ") + To);
    std::string out(Utf8.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(Utf8.data());
    std::size_t inLeft = Utf8.size(), outLeft = out.size();
    char* o = out.data();
    const std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    if (r != std::size_t(-1)) iconv(cd, nullptr, nullptr, &o, &outLeft);  // JIS: back to ASCII
    iconv_close(cd);
    if (r == std::size_t(-1)) throw std::runtime_error(std::string("not convertible to ") + To);
    out.resize(out.size() - outLeft);
    return out;
}

void Write(const fs::path& P, const std::string& Bytes) {
    std::ofstream(P, std::ios::binary) << Bytes;
}

// The sentence holds ソ and 表, whose second bytes are a backslash in Shift_JIS.
const std::string kSentence = "日本語の検索テスト：表示ソフト";

struct TFolderSearch : testing::Test {
    fs::path Root = fs::path(testing::TempDir()) / ("foldersearch_" + std::to_string(::getpid()));
    // File name -> the line (0-based) and byte column (1-based) of the sentence in the editor's text.
    std::map<std::string, std::pair<int, int>> Expected;

    void SetUp() override {
        fs::remove_all(Root);
        fs::create_directories(Root / "sub" / "deeper");
        const std::string lines[] = {"first line", "xy " + kSentence + " z", "last"};
        const struct {
            const char* Name;
            const char* Code;
            const char* Eol;
            const char* Bom;
        } files[] = {
            {"sjis-crlf.txt", "CP932", "\r\n", ""},       {"sjis-lf.txt", "CP932", "\n", ""},
            {"sjis-cr.txt", "CP932", "\r", ""},           {"euc-lf.txt", "EUC-JP", "\n", ""},
            {"euc-crlf.txt", "EUC-JP", "\r\n", ""},       {"jis-crlf.txt", "ISO-2022-JP", "\r\n", ""},
            {"utf8-lf.txt", "UTF-8", "\n", ""},           {"utf8-bom-crlf.txt", "UTF-8", "\r\n", "\xEF\xBB\xBF"},
            {"utf16le-crlf.txt", "UTF-16LE", "\r\n", "\xFF\xFE"}, {"utf16be-lf.txt", "UTF-16BE", "\n", "\xFE\xFF"},
            {"sub/deeper/utf8-cr.txt", "UTF-8", "\r", ""},
        };
        for (const auto& f : files) {
            std::string text;
            for (const std::string& l : lines) text += l + f.Eol;
            Write(Root / f.Name, f.Bom + Convert(text, f.Code));
            Expected[(Root / f.Name).string()] = {1, 4};
        }
        // Traps: a backslash byte that is the second byte of ソ or 表 followed by "n", in Shift_JIS and
        // in UTF-8 (as characters), and the sentence's Shift_JIS bytes inside an EUC-JP text.
        Write(Root / "trap-sjis.txt", sj("ソn 表n\r\n"));
        Write(Root / "trap-utf8.txt", "ソn 表n\n");
        Write(Root / "real-backslash.txt", sj("表\\n ソ\r\n"));
        Write(Root / "not-a-text.dat", sj(kSentence));  // outside the mask
        // Entries the walk must pass by.
        ASSERT_EQ(::mkfifo((Root / "pipe.txt").c_str(), 0600), 0);
        fs::create_directory_symlink("..", Root / "sub" / "up");
        fs::create_directory_symlink(".", Root / "sub" / "deeper" / "self");
        fs::create_symlink("missing.txt", Root / "dangling.txt");
        const int fd = ::open((Root / "big.txt").c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, kMaxSearchFileSize), 0);  // sparse: takes no room
        ::close(fd);
    }
    void TearDown() override { fs::remove_all(Root); }

    struct TResult {
        std::vector<TTextHits> Texts;
        std::vector<TSkippedFile> Skipped;
    };
    TResult Search(const std::string& Utf8Pattern, TSearchOptions Options, unsigned Threads = 0) {
        TFileList list = EnumFiles(Root.string(), "*.txt", true);
        TFileSearch search(list.Files, sj(Utf8Pattern), Options);
        TResult r;
        search.Run([&](TTextHits& h) { r.Texts.push_back(std::move(h)); }, Threads);
        r.Skipped = list.Skipped;
        for (TSkippedFile& s : search.TakeSkipped()) r.Skipped.push_back(std::move(s));
        return r;
    }
};

TEST_F(TFolderSearch, EveryEncodingAndLineEndFoundOnItsLine) {
    for (unsigned threads : {1u, 4u}) {
        SCOPED_TRACE(threads);
        const TResult r = Search(kSentence, 0, threads);
        std::map<std::string, std::pair<int, int>> found;
        for (const TTextHits& t : r.Texts) {
            ASSERT_EQ(t.Hits.size(), 1u) << t.Path;
            const TSearchHit& h = t.Hits[0];
            found[t.Path] = {h.Line, h.Column};
            EXPECT_EQ(h.Offset, 12 + 3) << t.Path;  // "first line" and CR LF, then "xy "
            EXPECT_EQ(h.Length, std::int32_t(sj(kSentence).size())) << t.Path;
            EXPECT_EQ(t.LineText(h), sj("xy " + kSentence + " z")) << t.Path;
        }
        EXPECT_EQ(found, Expected);  // every real hit, no false one, nothing twice across the links
        // Results arrive in the order of the walk whatever the threads.
        for (std::size_t i = 1; i < r.Texts.size(); ++i)
            EXPECT_TRUE(r.Texts[i - 1].Path.find("/sub/") == std::string::npos ||
                        r.Texts[i].Path.find("/sub/") != std::string::npos);
        std::map<std::string, std::string> skipped;
        for (const TSkippedFile& s : r.Skipped) skipped[fs::path(s.Path).filename().string()] = s.Reason;
        EXPECT_EQ(skipped.size(), 3u);
        EXPECT_EQ(skipped["pipe.txt"], "通常のファイルではありません");
        EXPECT_EQ(skipped["big.txt"], "2 GB 以上のファイルは検索しません");
        EXPECT_EQ(skipped["dangling.txt"], "リンク先がありません");
    }
}

TEST_F(TFolderSearch, NoHitOnASecondByte) {
    const TResult r = Search("\\n", soMatchCase);
    ASSERT_EQ(r.Texts.size(), 1u);
    EXPECT_EQ(fs::path(r.Texts[0].Path).filename(), "real-backslash.txt");
    ASSERT_EQ(r.Texts[0].Hits.size(), 1u);
    EXPECT_EQ(r.Texts[0].Hits[0].Column, 3);
}

TEST_F(TFolderSearch, AFileGoneBeforeItsReadIsListedAndTheOtherHitsStay) {
    TFileList list = EnumFiles(Root.string(), "*.txt", true);
    fs::remove(Root / "sjis-lf.txt");
    TFileSearch search(list.Files, sj(kSentence), 0);
    std::size_t texts = 0;
    search.Run([&](TTextHits&) { ++texts; });
    EXPECT_EQ(texts, Expected.size() - 1);
    const std::vector<TSkippedFile> skipped = search.TakeSkipped();
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_TRUE(skipped[0].Path.ends_with("sjis-lf.txt"));
    EXPECT_NE(skipped[0].Reason.find("開けません"), std::string::npos) << skipped[0].Reason;
}

TEST_F(TFolderSearch, AnUnreadableFileIsListedAndTheOtherHitsStay) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: a file with mode 000 is still readable";
    Write(Root / "secret.txt", sj(kSentence));
    fs::permissions(Root / "secret.txt", fs::perms::none);
    const TResult r = Search(kSentence, 0);
    EXPECT_EQ(r.Texts.size(), Expected.size());
    bool listed = false;
    for (const TSkippedFile& s : r.Skipped) listed |= s.Path.ends_with("secret.txt");
    EXPECT_TRUE(listed);
}

TEST(EnumFiles, MasksInOrderEachFileOnceAndUntrimmed) {
    const fs::path root = fs::path(testing::TempDir()) / ("enumfiles_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "Sub");
    for (const char* name : {"b.html", "a.TXT", "c.txt", "Sub/d.txt", "noext"}) Write(root / name, "x");
    auto names = [&](std::string_view masks, bool recurse) {
        std::string out;
        for (const std::string& f : EnumFiles(root.string() + "  ", masks, recurse).Files)
            out += f.substr(root.string().size() + 1) + " ";
        return out;
    };
    EXPECT_EQ(names("*.txt;*.html", true), "a.TXT c.txt Sub/d.txt b.html ");
    EXPECT_EQ(names("*.txt; *.html", false), "a.TXT c.txt ");
    EXPECT_EQ(names("*.txt;*.TXT;c*", false), "a.TXT c.txt ");
    EXPECT_EQ(names("*", false), "a.TXT b.html c.txt noext ");
    EXPECT_EQ(names("*.*", false), "a.TXT b.html c.txt noext ");
    EXPECT_EQ(names("?.txt", false), "a.TXT c.txt ");
    EXPECT_TRUE(EnumFiles((root / "missing").string(), "*", true).Files.empty());
    fs::remove_all(root);
}

TEST(CollectHits, LinesOffsetsAndOneCopyOfEachLine) {
    TTextHits h;
    const TSearchPattern p("ab", soDown);
    std::string scratch;
    CollectHits(WithCrLf("ab ab\nx\rab\r\n\nab", scratch), p, h);
    ASSERT_EQ(h.Hits.size(), 4u);
    const int lines[] = {0, 0, 2, 4}, columns[] = {1, 4, 1, 1};
    const std::int64_t offsets[] = {0, 3, 10, 16};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(h.Hits[i].Line, lines[i]);
        EXPECT_EQ(h.Hits[i].Column, columns[i]);
        EXPECT_EQ(h.Hits[i].Offset, offsets[i]);
    }
    EXPECT_EQ(h.LineTexts, "ab abab" "ab");  // the first line once for its two hits
    EXPECT_EQ(h.LineText(h.Hits[1]), "ab ab");
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// The look at the bytes before decoding never turns away a file that holds a hit.
TEST(RawFilter, TurnsAwayOnlyFilesWithoutAHit) {
    struct TCase {
        const char* Pattern;  // UTF-8
        TSearchOptions Options;
        std::string Bytes;
        bool MayHold;
    };
    const TCase cases[] = {
        {"表needle", 0, sj("x表NEEDLE"), true},
        {"表needle", soMatchCase, sj("x表NEEDLE"), false},
        {"表needle", 0, Convert("表needle", "EUC-JP"), true},
        {"表needle", 0, "表needle", true},  // UTF-8
        {"表 needle", 0, sj("表\tneedle"), true},  // "needle" is the longest literal part
        {"表 needle", 0, sj("表\tneedl"), false},
        {"ソフト", soNoMatchZenkaku, sj("ｿﾌﾄ"), true},  // half-width forms match
        {"abc", soNoMatchZenkaku, sj("ＡＢＣ"), true},
        {"検索", soIncludeSpace, sj("検 索"), true},
        {"検索", 0, sj("検 索"), false},
        {"検索", 0, Convert("検索", "UTF-16LE"), true},
        {"検索", 0, Convert("x 検索", "ISO-2022-JP"), true},
        {"：", 0, "", true},  // nothing literal: no look at the bytes
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Pattern);
        const TRawFilter filter(sj(c.Pattern), c.Options);
        EXPECT_EQ(filter.MayHold(c.Bytes), c.MayHold);
    }
}

}  // namespace
}  // namespace orvane
