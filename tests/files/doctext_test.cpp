// Document files: golden round trips, what reads report, and saves that fail.
#include "files/doctext.h"

#include "base/exceptions.h"
#include "document/document.h"
#include "files/mappedfile.h"
#include "files/safesave.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::sj;

std::string Data(const std::string& Name) { return ReadFileBytes(std::string(ORVANE_FILES_DATA) + "/" + Name); }

// A fresh folder per test, removed afterwards.
class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/orvane-files-XXXXXX";
        FPath = ::mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(FPath); }
    std::string operator/(const std::string& Name) const { return (FPath / Name).string(); }
    std::size_t Count() const { return std::size_t(std::distance(fs::directory_iterator(FPath), fs::directory_iterator())); }

private:
    fs::path FPath;
};

void Put(const std::string& Path, std::string_view Bytes) {
    std::ofstream(Path, std::ios::binary).write(Bytes.data(), std::streamsize(Bytes.size()));
}

TEST(GoldenFiles, ReadAndWrittenBackByteForByte) {
    struct Case {
        const char* File;
        TDocumentEncoding Encoding;
        TDocumentLineEnd LineEnd;
        bool Bom, BigEndian;
        bool Kept;  // holds characters outside the code page
        bool Base = false;  // the common sample text, whatever its encoding
    } cases[] = {
        {"sjis-crlf.txt", deShiftJis, dlCrLf, false, false, false, true},
        {"sjis-lf-nofinal.txt", deShiftJis, dlLf, false, false, false, true},
        {"sjis-cr.txt", deShiftJis, dlCr, false, false, false, true},
        {"sjis-ibm-first.txt", deShiftJis, dlCrLf, false, false, false},
        {"euc-lf.txt", deEuc, dlLf, false, false, true},
        {"jis-b-crlf.txt", deJis, dlCrLf, false, false, false},
        {"jis-j-lf-nofinal.txt", deJis, dlLf, false, false, false},
        {"jis-kana-lf.txt", deJis, dlLf, false, false, false},
        {"utf8-bom-crlf.txt", deUtf8, dlCrLf, true, false, true},
        {"utf8-lf.txt", deUtf8, dlLf, false, false, true},
        {"utf8-cr-nofinal.txt", deUtf8, dlCr, false, false, false, true},
        {"utf16le-bom-crlf.txt", deUtf16, dlCrLf, true, false, true},
        {"utf16be-bom-lf.txt", deUtf16, dlLf, true, true, true},
        {"utf16le-lf.txt", deUtf16, dlLf, false, false, false, true},
        {"utf16be-nul.txt", deUtf16, dlLf, true, true, false},
    };
    const std::string base = NormalizeLineEnds(Data("sjis-crlf.txt"), leCrLf);
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        const std::string bytes = Data(c.File);
        for (TDocumentEncoding request : {deAuto, c.Encoding}) {
            TDocumentText d = DecodeDocument(bytes, request);
            EXPECT_EQ(d.Format.Encoding, c.Encoding);
            EXPECT_EQ(d.Format.LineEnd, c.LineEnd);
            EXPECT_EQ(d.Format.Bom, c.Bom);
            EXPECT_EQ(d.Format.BigEndian, c.BigEndian);
            EXPECT_EQ(d.Report.Kept > 0, c.Kept);
            EXPECT_EQ(d.Report.Warning().empty(), !c.Kept) << d.Report.Warning();
            EXPECT_FALSE(d.Report.NotRoundTrip);
            EXPECT_EQ(EncodeDocument(d.Text, d.Format, &d.Map).Bytes, bytes);
        }
        // Through the editor's document and a save to disk.
        TEditorScreenStrings doc;
        const std::string path = dir / c.File;
        Put(path, bytes);
        TDocumentText d = ReadDocumentText(path, doc, deAuto);
        if (c.Base) {
            std::string text = NormalizeLineEnds(doc.GetText(), leCrLf);
            if (!text.ends_with("\r\n")) text += "\r\n";
            EXPECT_EQ(text, base);
        }
        WriteDocumentText(path, doc, d.Format, &d.Map);
        EXPECT_EQ(ReadFileBytes(path), bytes);
    }
}

TEST(ReadDocument, NeverEmptiesOrSilentlyChangesAFile) {
    struct Case {
        std::string Name, Bytes;
        TDocumentEncoding Request;
        std::string Text;
        bool ReadOnly, NotRoundTrip;
    } cases[] = {
        // An invalid byte keeps what decoded around it; the document is write-protected.
        {"invalid utf-8", "\xEF\xBB\xBF" "a\xFF\xE3\x81\x82", deAuto, "", true, true},
        {"emoji in utf-8", "\xE3\x81\x82\xF0\x9F\x98\x80\xE3\x81\x84", deUtf8, "", false, false},
        {"utf-16 without bom, explicit", "\x42\x30\x44\x30", deUtf16, sj("あい"), false, false},
        {"binary", std::string("ab\0\r\ncd", 7), deAuto, std::string("ab\0\r\ncd", 7), true, false},
        {"mixed line ends", "a\nb\r\nc\rd", deAuto, "a\nb\r\nc\rd", false, true},
        {"jis with a line end inside a two-byte run", "\x1B$B\x24\x22\n\x1B(B", deAuto, sj("あ") + "\n", false,
         true},
        // A stray zero byte in Shift_JIS text is no reason to read it as UTF-16.
        {"sjis with a stray zero byte", sj("日本語") + std::string("\0\n", 2), deAuto, sj("日本語") + std::string("\0\n", 2),
         true, false},
        {"utf-8 bom with a zero byte", std::string("\xEF\xBB\xBF" "a\0b", 6), deAuto, std::string("a\0b", 3), true, false},
        {"utf-8 cut off at the end", "\xE3\x81\x82\xE3\x81\x84\xE3\x81", deAuto, "", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TDocumentText d = DecodeDocument(c.Bytes, c.Request);
        EXPECT_FALSE(d.Text.empty());
        if (!c.Text.empty()) {
            EXPECT_EQ(d.Text, c.Text);
        }
        EXPECT_EQ(d.Report.ReadOnly(), c.ReadOnly) << d.Report.Warning();
        EXPECT_EQ(d.Report.NotRoundTrip, c.NotRoundTrip);
        EXPECT_EQ(d.Report.Warning().empty(), !c.ReadOnly && !c.NotRoundTrip && !d.Report.Kept);
    }
    // The cut-off character is the one invalid sequence; what came before reads as it was.
    TDocumentText cut = DecodeDocument("\xE3\x81\x82\xE3\x81\x84\xE3\x81", deAuto);
    EXPECT_EQ(cut.Format.Encoding, deUtf8);
    EXPECT_EQ(cut.Report.Invalid, 1u);
    EXPECT_EQ(cut.Text.substr(0, 4), sj("あい"));
    // A file without a line end takes the line end of new documents.
    EXPECT_EQ(DecodeDocument("abc", deAuto, {deShiftJis, dlLf}).Format.LineEnd, dlLf);
    EXPECT_EQ(DecodeDocument("abc", deAuto).Format.LineEnd, dlCrLf);
}

TEST(ReadDocument, EucUserDefinedFormsAreWrittenBackAsTheyWere) {
    // Three-byte user-defined forms (0x8F 0xF5A1-0xFEFE), a two-byte one, a JIS X 0212 kanji that
    // code page 932 cannot hold (kept in the user-defined area beside the text's own), and あ.
    const std::string bytes = "\x8F\xF5\xA1\x8F\xFE\xFE\xF5\xA1\x8F\xB0\xA1\xA4\xA2\n";
    for (TDocumentEncoding request : {deAuto, deEuc}) {
        TDocumentText d = DecodeDocument(bytes, request);
        EXPECT_EQ(d.Format.Encoding, deEuc);
        EXPECT_FALSE(d.Report.ReadOnly()) << d.Report.Warning();
        EXPECT_FALSE(d.Report.NotRoundTrip) << d.Report.Warning();
        EXPECT_EQ(EncodeDocument(d.Text, d.Format, &d.Map).Bytes, bytes);
        // In UTF-8 the three-byte forms are the characters iconv reads them as.
        EXPECT_EQ(EncodeDocument(d.Text, FormatForEncoding(deUtf8, dlLf), &d.Map).Bytes.substr(0, 6),
                  "\xEE\x8E\xAC\xEE\x9D\x97");
    }
}

// The seven characters on which the JIS table and code page 932 differ: a byte encoding writes
// either form at the JIS position; a Unicode writer gives the JIS table's character for a text
// read from EUC-JP or JIS, the code page's for one read from Shift_JIS.
TEST(WriteDocument, TheJisTablesSevenCharactersGoWhereOtherToolsPutThem) {
    // — is read back as ― from every file, as iconv reads it.
    const std::string jisChars = "〜‖−¢£¬—\n", codePageChars = "～∥－￠￡￢―\n", jisRead = "〜‖−¢£¬―\n";
    const std::string sjis = "\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x5C\n";
    const std::string euc = "\xA1\xC1\xA1\xC2\xA1\xDD\xA1\xF1\xA1\xF2\xA2\xCC\xA1\xBD\n";
    const std::string jis = "\x1B$B\x21\x41\x21\x42\x21\x5D\x21\x71\x21\x72\x22\x4C\x21\x3D\x1B(B\n";
    const TDocumentFormat utf8 = FormatForEncoding(deUtf8, dlLf);
    struct Case {
        std::string Name, Bytes;
        TDocumentEncoding Encoding;
        std::string Unicode;  // the same text written in UTF-8
    } cases[] = {
        {"Shift_JIS", sjis, deShiftJis, codePageChars},
        {"EUC-JP", euc, deEuc, jisRead},
        {"JIS", jis, deJis, jisRead},
        {"UTF-8, JIS forms", jisChars, deUtf8, jisChars},
        {"UTF-8, code page forms", codePageChars, deUtf8, codePageChars},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDocumentText d = DecodeDocument(c.Bytes, c.Encoding);
        EXPECT_EQ(EncodeDocument(d.Text, d.Format, &d.Map).Bytes, c.Bytes) << "written back as it was read";
        EXPECT_EQ(EncodeDocument(d.Text, utf8, &d.Map).Bytes, c.Unicode);
        for (const auto& [e, bytes] : {std::pair{deShiftJis, sjis}, {deEuc, euc}, {deJis, jis}}) {
            const TEncoded out = EncodeDocument(d.Text, FormatForEncoding(e, dlLf), &d.Map);
            EXPECT_EQ(out.Bytes, bytes) << EncodingName(e).Stored;
            EXPECT_EQ(out.Lost, 0u);
        }
    }
    // Nothing of this needs asking before a save in a byte encoding.
    const TDocumentText fromUtf8 = DecodeDocument(jisChars, deUtf8);
    EXPECT_EQ(CountUnwritable([&](const auto& Piece) { Piece(fromUtf8.Text); }, FormatForEncoding(deShiftJis, dlLf),
                              &fromUtf8.Map),
              0u);
}

TEST(WriteDocument, AsksBeforeLosingCharactersTheEncodingCannotHold) {
    TempDir dir;
    TDocumentText d = DecodeDocument("\xE3\x81\x82\xF0\x9F\x98\x80\n", deAuto);  // あ😀
    ASSERT_EQ(d.Report.Kept, 1u);
    // The kept character goes to UTF-16 as it was.
    EXPECT_EQ(EncodeDocument(d.Text, FormatForEncoding(deUtf16, dlLf), &d.Map).Bytes,
              std::string("\xFF\xFE\x42\x30\x3D\xD8\x00\xDE\x0A\x00", 10));
    // Shift_JIS, EUC-JP and JIS cannot hold it: nothing is written unless allowed.
    for (TDocumentEncoding e : {deShiftJis, deEuc, deJis}) {
        const std::string path = dir / "out.txt";
        TDocumentFormat f = FormatForEncoding(e, dlLf);
        EXPECT_EQ(EncodeDocument(d.Text, f, &d.Map).Lost, 1u);
        try {
            WriteDocumentFile(path, d.Text, f, &d.Map);
            ADD_FAILURE() << "written without asking";
        } catch (const Exception& x) {
            EXPECT_NE(x.Message().find("1 文字"), std::string::npos) << x.Message();
        }
        EXPECT_FALSE(fs::exists(path));
        WriteDocumentFile(path, d.Text, f, &d.Map, {true, nullptr});
        EXPECT_EQ(DecodeDocument(ReadFileBytes(path), e).Text, sj("あ〓\n"));
        fs::remove(path);
    }
    // The writer converts the text it knows is Shift_JIS, however that text would classify.
    EXPECT_EQ(EncodeDocument(sj("ｱｲ"), FormatForEncoding(deEuc, dlCrLf), nullptr).Bytes, "\x8E\xB1\x8E\xB2");
    EXPECT_EQ(EncodeDocument(sj("髙橋"), FormatForEncoding(deEuc, dlCrLf), nullptr).Bytes, "\x8F\xF4\xFB\xB6\xB6");
    // UTF-8 chosen for a document has no byte-order mark unless asked for; UTF-16 has one.
    EXPECT_EQ(EncodeDocument("a\r\nb", FormatForEncoding(deUtf8, dlLf), nullptr).Bytes, "a\nb");
    TDocumentFormat marked = FormatForEncoding(deUtf8, dlLf);
    marked.Bom = true;
    EXPECT_EQ(EncodeDocument("a", marked, nullptr).Bytes, "\xEF\xBB\xBF" "a");
    EXPECT_EQ(FormatShortName(marked), "UTF-8 BOM");
    EXPECT_EQ(FormatShortName(FormatForEncoding(deUtf8, dlLf)), "UTF8");
    EXPECT_EQ(EncodeDocument("a", FormatForEncoding(deUtf16, dlLf), nullptr).Bytes, std::string("\xFF\xFE" "a\0", 4));
}

// Writes FailAfter bytes, then fails as a full disk does.
class FailingWriter : public TFileWriter {
public:
    explicit FailingWriter(std::size_t FailAfter) : FLeft(FailAfter) {}
    ssize_t Write(int Fd, const char* Data, std::size_t Size) const override {
        if (FLeft == 0) {
            errno = ENOSPC;
            return -1;
        }
        std::size_t n = std::min(Size, FLeft);
        FLeft -= n;
        return TFileWriter::Write(Fd, Data, n);
    }

private:
    mutable std::size_t FLeft;
};

TEST(WriteDocument, AFailedSaveLeavesTheOldFileAsItWas) {
    TempDir dir;
    const std::string path = dir / "doc.txt";
    const std::string old = sj("元のテキスト\r\n");
    Put(path, old);
    ::chmod(path.c_str(), 0640);
    const std::string text = sj("新しいテキスト") + std::string(100000, 'x');
    FailingWriter writer(4096);
    try {
        WriteDocumentFile(path, text, FormatForEncoding(deUtf8, dlCrLf), nullptr, {false, &writer});
        ADD_FAILURE() << "a failed write reported success";
    } catch (const Exception& x) {
        EXPECT_NE(x.Message().find(path), std::string::npos);
        EXPECT_NE(x.Message().find(std::strerror(ENOSPC)), std::string::npos);
    }
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(dir.Count(), 1u);  // no temporary file left behind

    // A folder that does not exist, and a folder in place of the file.
    EXPECT_THROW(WriteDocumentFile(dir / "missing/doc.txt", "x", {}, nullptr), Exception);
    EXPECT_THROW(WriteDocumentFile(dir.operator/(""), "x", {}, nullptr), Exception);

    // A good save keeps the permission bits and writes through a symbolic link.
    const std::string link = dir / "link.txt";
    fs::create_symlink(path, link);
    WriteDocumentFile(link, text, {}, nullptr);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(path), text);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.Count(), 2u);
}

TEST(WriteDocument, LargeTextsAreWrittenInPiecesAsTheyWouldBeWhole) {
    // Texts longer than the pieces a save is encoded in: line ends of every kind (a CR LF pair
    // may sit at a piece boundary), a line far longer than a piece, a character the encoding
    // cannot hold near the end. The file must equal the whole text encoded at once.
    std::string text;
    for (int i = 0; text.size() < 3'000'000; ++i) text += sj("行") + std::to_string(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    text += std::string(2'500'000, 'w') + sj("末尾") + "\r";
    TDocumentText d = DecodeDocument("\xF0\x9F\x98\x80", deUtf8);  // a character kept in the user area
    ASSERT_EQ(d.Report.Kept, 1u);
    d.Text = text + d.Text;
    TempDir dir;
    const std::string path = dir / "big.txt";
    for (TDocumentEncoding e : {deUtf8, deUtf16, deEuc, deShiftJis}) {
        SCOPED_TRACE(int(e));
        const TDocumentFormat f = FormatForEncoding(e, dlCrLf);
        const TEncoded whole = EncodeDocument(d.Text, f, &d.Map);
        if (whole.Lost) {
            // Not written unless allowed, and the count covers the whole text.
            EXPECT_THROW(WriteDocumentFile(path, d.Text, f, &d.Map), Exception);
            EXPECT_FALSE(fs::exists(path));
            WriteDocumentFile(path, d.Text, f, &d.Map, {true, nullptr});
        } else {
            WriteDocumentFile(path, d.Text, f, &d.Map);
        }
        EXPECT_TRUE(ReadFileBytes(path) == whole.Bytes);
        fs::remove(path);
    }
}

TEST(ReadDocument, AFileReadInPiecesIsDetectedAsItWouldBeWhole) {
    // Pieces of every small size put every character and line end across a boundary.
    std::vector<std::string> samples;
    for (const auto& entry : fs::directory_iterator(ORVANE_FILES_DATA))
        if (entry.path().extension() == ".txt") samples.push_back(Data(entry.path().filename().string()));
    samples.push_back(sj("ｱｲｳｴｵ、あいうえお\r\n髙橋\r"));
    samples.push_back("\x8F\xF5\xA1\xA4\xA2\x8E\xB1\r\n\x8E\xB2");  // EUC-JP, three-byte forms
    samples.push_back("\xE3\x81\x82\xF0\x9F\x98\x80\xE3\x81");   // UTF-8 cut off at the end
    samples.push_back("\x1B$B\x24\x22\x1B(B\n\x1B$");              // JIS, an escape cut off
    samples.push_back(std::string("\x42\x30\0\x30\x0D\0\x0A\0", 8));     // UTF-16 without a mark
    samples.push_back(sj("日本語") + std::string("\0\r", 2));            // binary
    TempDir dir;
    const std::string path = dir / "sample";
    for (const std::string& bytes : samples) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 24)));
        Put(path, bytes);
        const TDetection whole = DetectEncoding(bytes);
        const TDocumentText read = ReadDocumentFile(path, deAuto);
        for (std::size_t piece : {1, 2, 3, 4, 5, 7, 64, 1 << 20}) {
            const TFileDetection d = DetectFileEncoding(path, deShiftJis, piece);
            EXPECT_EQ(d.Detection.Format, whole.Format) << piece;
            EXPECT_EQ(d.Detection.Binary, whole.Binary) << piece;
            EXPECT_EQ(d.Detection.Reason, whole.Reason) << piece;
            EXPECT_EQ(d.Size, bytes.size());
            if (whole.Format.Encoding == deShiftJis) {
                EXPECT_EQ(d.LineEnds.Kinds() > 1, read.Report.MixedLineEnds) << piece;
            }
        }
        const TDocumentText inspected = InspectDocumentFile(path);
        EXPECT_EQ(inspected.Format, read.Format);
        EXPECT_EQ(inspected.Report.Warning(), read.Report.Warning());
        EXPECT_TRUE(inspected.Text.empty());
    }
}

TEST(ReadDocument, AFileDecodedAsItIsReadGivesWhatTheWholeBytesGive) {
    // Pieces of every small size cut each sequence, surrogate pair and broken sequence somewhere.
    const std::string utf8 = "\xE3\x81\x82\xC3\xA9\xF0\x9F\x98\x80\x61\r\n\xE6\xBC\xA2\r\n";  // あé😀a 漢
    const std::string broken = "\xE3\x81\x62\x80\xC0\xAF\xF0\x9F\x98\r\n";  // read as 〓 (a mark says UTF-8)
    const std::string euc = "\xA4\xA2\x8F\xAB\xB1\x8E\xB1\x61\xA4\xA2\xA4\xA2\xA4\xA2\r\n";
    std::string utf16le, utf16be;
    for (char16_t u :
         {u'あ', u'é', char16_t(0xD83D), char16_t(0xDE00), u'a', u'\r', u'\n', u'漢', char16_t(0xD800), u'b'}) {
        utf16le += char(u & 0xFF), utf16le += char(u >> 8);
        utf16be += char(u >> 8), utf16be += char(u & 0xFF);
    }
    const std::vector<std::string> samples = {utf8 + utf8,
                                              "\xEF\xBB\xBF" + utf8 + broken + utf8,
                                              "\xFF\xFE" + utf16le + utf16le,
                                              "\xFE\xFF" + utf16be,
                                              "\xFF\xFE" + utf16le + "x",           // an odd byte at the end
                                              "\xEF\xBB\xBF" + utf8.substr(0, 8),  // cut inside a character at the end
        // EUC-JP: あ, é (three bytes, kept), ｱ, a form written back differently (～), lines without
        // a line feed for many pieces.
        euc + euc, euc + "\x8F\xA2\xB7\r\n" + euc, euc + std::string(40, 'a') + "\xA4\xA2\xA4\xA2\r" + euc};
    TempDir dir;
    const std::string path = dir / "unicode";
    for (const std::string& bytes : samples) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 24)));
        Put(path, bytes);
        const TDocumentText whole = DecodeDocument(bytes, deAuto);
        ASSERT_TRUE(whole.Format.Encoding == deUtf8 || whole.Format.Encoding == deUtf16 ||
                    whole.Format.Encoding == deEuc);
        for (std::size_t piece = 8; piece < 24; ++piece) {
            const TDocumentText read = ReadDocumentFile(path, deAuto, {}, piece);
            EXPECT_TRUE(read.Text == whole.Text) << piece;
            EXPECT_EQ(read.Format, whole.Format) << piece;
            EXPECT_EQ(read.Report.Warning(), whole.Report.Warning()) << piece;
        }
        // Asked for as UTF-8 or EUC-JP (whatever the bytes are): the same as decoding them whole.
        for (TDocumentEncoding request : {deUtf8, deEuc}) {
            const TDocumentText asked = DecodeDocument(bytes, request);
            for (std::size_t piece : {8, 13, 1 << 20}) {
                const TDocumentText read = ReadDocumentFile(path, request, {}, piece);
                EXPECT_TRUE(read.Text == asked.Text) << piece << " " << int(request);
                EXPECT_EQ(read.Format, asked.Format) << piece;
                EXPECT_EQ(read.Report.Warning(), asked.Report.Warning()) << piece;
            }
        }
    }
}

TEST(ReadDocument, ALargeFileIsDetectedWhereItLiesAsInPieces) {
    // Over a megabyte: a CR LF pair across the first megabyte's end, each kind of line end, a
    // character across a piece's end, and a lone CR at the very end.
    std::string bytes(std::size_t(1 << 20) - 1, 'a');
    bytes += "\r\n";
    while (bytes.size() < 3u << 20) bytes += sj("あいう漢字ｱｲ、。カナabc\r\n ねこ\n 犬\r");
    bytes += sj("終わり\r");
    TempDir dir;
    const std::string path = dir / "large";
    Put(path, bytes);
    for (std::size_t piece : {std::size_t(1) << 20, std::size_t(4099)}) {
        SCOPED_TRACE(piece);
        const TFileDetection mapped = DetectFileEncoding(path, deShiftJis, piece);
        const TFileDetection read = DetectEncodingInPieces(bytes, deShiftJis, piece);
        EXPECT_EQ(mapped.Detection.Format, read.Detection.Format);
        EXPECT_EQ(mapped.Detection.Reason, "score");
        EXPECT_EQ(mapped.Size, bytes.size());
        const std::size_t lines = (bytes.size() - (1 << 20) - 1) / sj("あいう漢字ｱｲ、。カナabc\r\n ねこ\n 犬\r").size();
        EXPECT_EQ(mapped.LineEnds.CrLf, lines + 1);
        EXPECT_EQ(mapped.LineEnds.Lf, lines);
        EXPECT_EQ(mapped.LineEnds.Cr, lines + 1);
        EXPECT_EQ(read.LineEnds.CrLf, mapped.LineEnds.CrLf);
        EXPECT_EQ(read.LineEnds.Cr, mapped.LineEnds.Cr);
        EXPECT_EQ(read.LineEnds.Lf, mapped.LineEnds.Lf);
    }
}

TEST(ReadDocument, AFileCutShortWhileMappedIsAnErrorNotACrash) {
    TempDir dir;
    const std::string path = dir / "shrinking";
    Put(path, std::string(3 << 20, 'a'));
    for (int round = 0; round < 2; ++round) {  // the second time after a caught fault
        Put(path, std::string(3 << 20, 'a'));
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        const TMappedFile mapped(fd, 3 << 20, path);
        ::close(fd);
        std::size_t seen = 0;
        try {
            mapped.Read([&](std::string_view Bytes) {
                ASSERT_EQ(::truncate(path.c_str(), 4096), 0);
                for (std::size_t i = 0; i < Bytes.size(); i += 4096) seen += Bytes[i] == 'a';
            });
            ADD_FAILURE() << "read past the end";
        } catch (const Exception& x) {
            EXPECT_NE(std::string(x.what()).find(path), std::string::npos);
        }
        EXPECT_EQ(seen, 1u);
    }
    // A file that keeps its size reads whole.
    Put(path, std::string(2 << 20, 'b'));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const TMappedFile mapped(fd, 2 << 20, path);
    ::close(fd);
    std::size_t bs = 0;
    mapped.Read([&](std::string_view Bytes) { bs = std::size_t(std::count(Bytes.begin(), Bytes.end(), 'b')); });
    EXPECT_EQ(bs, 2u << 20);
}

TEST(ReadDocument, ReportsFilesThatCannotBeRead) {
    EXPECT_THROW(ReadDocumentFile("/nonexistent/orvane.txt", deAuto), Exception);
    EXPECT_THROW(ReadDocumentFile("/tmp", deAuto), Exception);
    // Not regular files: refused at once, neither waiting for a FIFO's writer nor reading a
    // device that never ends.
    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        try {
            ReadDocumentFile(path, deAuto);
            ADD_FAILURE() << "read";
        } catch (const Exception& x) {
            EXPECT_NE(x.Message().find(path), std::string::npos) << x.Message();
        }
    }
}

// Runs Body as an ordinary user (nobody) in a child process, since root passes every permission
// check; Body answers 0 for success. Skips when running as root and the user cannot be changed.
void AsOrdinaryUser(const std::vector<std::string>& Chown, const std::function<int()>& Body) {
    if (::geteuid() != 0) {
        ASSERT_EQ(Body(), 0);
        return;
    }
    const uid_t nobody = 65534;
    for (const std::string& path : Chown) ASSERT_EQ(::chown(path.c_str(), nobody, nobody), 0) << path;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(77);
        ::_exit(Body());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot run as an ordinary user";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "step " << WEXITSTATUS(status) << " failed";
}

// A state folder of the test's own for the copies made before a save in place.
class StateHome {
public:
    explicit StateHome(const std::string& Path) : FOld(std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "") {
        fs::create_directory(Path);
        ::setenv("XDG_STATE_HOME", Path.c_str(), 1);
    }
    ~StateHome() {
        if (FOld.empty()) ::unsetenv("XDG_STATE_HOME");
        else ::setenv("XDG_STATE_HOME", FOld.c_str(), 1);
    }

private:
    std::string FOld;
};

TEST(WriteDocument, AFileTheUserMayNotWriteIsNotReplaced) {
    TempDir dir;
    ::chmod(dir.operator/("").c_str(), 0755);
    const std::string path = dir / "ro.txt";
    Put(path, "old\n");
    ::chmod(path.c_str(), 0444);
    AsOrdinaryUser({dir.operator/(""), path}, [&] {
        try {
            WriteDocumentFile(path, "new\n", {}, nullptr);
            return 1;
        } catch (const Exception& x) {
            if (x.Message().find("を作成できません") == std::string::npos) return 2;
        }
        if (ReadFileBytes(path) != "old\n") return 3;
        return 0;
    });
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_EQ(dir.Count(), 1u);
}

TEST(WriteDocument, HardLinksAndUnwritableFoldersAreWrittenInPlace) {
    TempDir dir;
    StateHome state(dir / "state");
    const std::string path = dir / "doc.txt", link = dir / "other-name.txt";
    Put(path, "old contents\n");
    fs::create_hard_link(path, link);
    auto copies = [&] { return std::distance(fs::directory_iterator(dir / "state/orvane"), fs::directory_iterator()); };

    // A failed write puts the old contents back; both names still share one file.
    FailingWriter writer(20);
    const std::string text = std::string(100000, 'x') + "\r\n";
    EXPECT_THROW(WriteDocumentFile(path, text, {}, nullptr, {false, &writer}), Exception);
    EXPECT_TRUE(ReadFileBytes(link) == "old contents\n");
    EXPECT_EQ(copies(), 0);
    // Characters the encoding cannot hold: nothing changes either.
    TDocumentText kept = DecodeDocument("\xF0\x9F\x98\x80\n", deUtf8);
    EXPECT_THROW(WriteDocumentFile(path, std::string(70000, 'y') + kept.Text, {}, &kept.Map), Exception);
    EXPECT_TRUE(ReadFileBytes(link) == "old contents\n");

    WriteDocumentFile(path, text, {}, nullptr);
    EXPECT_TRUE(ReadFileBytes(link) == text);
    WriteDocumentFile(link, "short\r\n", {}, nullptr);  // shorter than before: the rest is cut off
    EXPECT_EQ(ReadFileBytes(path), "short\r\n");
    EXPECT_EQ(fs::hard_link_count(path), 2u);
    EXPECT_EQ(copies(), 0);

    // A writable file in a folder the user may not write.
    const std::string locked = dir / "locked", inside = dir / "locked/doc.txt";
    fs::create_directory(locked);
    Put(inside, "old\n");
    ::chmod(dir.operator/("").c_str(), 0755);
    ::chmod((dir / "state").c_str(), 0777);
    ::chmod((dir / "state/orvane").c_str(), 0777);
    AsOrdinaryUser({inside, locked}, [&] {
        if (::chmod(locked.c_str(), 0555) != 0) return 1;
        try {
            WriteDocumentFile(inside, "new\r\n", {}, nullptr);
        } catch (const Exception&) {
            return 2;
        }
        if (ReadFileBytes(inside) != "new\r\n") return 3;
        return 0;
    });
    ::chmod(locked.c_str(), 0755);
    EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
    EXPECT_EQ(copies(), 0);
}

}  // namespace
}  // namespace orvane
