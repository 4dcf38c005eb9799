// Opening a file a slice at a time: the rows come in pieces while the document stays read-only,
// and the rows, line ends and report at the end are those of reading the file whole.
#include "editor/controller.h"
#include "editor/slicedopen.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace orvane {
namespace {

class TTempFile {
public:
    explicit TTempFile(const std::string& Bytes) {
        FPath = testing::TempDir() + "sliced-" + std::to_string(::getpid()) + "-" + std::to_string(++FCount) + ".txt";
        std::ofstream(FPath, std::ios::binary) << Bytes;
    }
    ~TTempFile() { std::remove(FPath.c_str()); }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
    static inline int FCount = 0;
};

// Japanese lines of 0 to 90 bytes (some wrap at 20 columns), with the given line break.
std::string Lines(int Count, const std::string& Break) {
    std::string t;
    for (int i = 0; i < Count; ++i) {
        for (int k = 0; k < i % 46; ++k) t += k % 3 ? "\x82\xA0" : "a";  // あ and a
        t += Break;
    }
    return t;
}

// Rows as "text|end" lines, for comparing two layouts.
std::string Layout(const TEditorScreenStrings& Doc) {
    std::string s;
    for (int r = 0; r < Doc.GetCount(); ++r) s += std::string(Doc.RowView(r)) + "|" + char('0' + Doc.RowEndKind(r)) + "\n";
    return s;
}

void Wrap(TEditorController& Editor) {
    Editor.Document().WrapOption().SetWrapByte(20);
    Editor.SetWordWrap(true);
}

constexpr auto kNoTime = std::chrono::steady_clock::duration::zero();

TEST(SlicedOpen, RowsComeInPiecesReadOnlyAndEndAsAWholeRead) {
    const TTempFile file(Lines(3000, "\r\n") + "last line");
    TEditorController editor;
    Wrap(editor);
    editor.Document().SetText("old text");
    auto open = TSlicedOpen::Start(file.Path(), deAuto, editor.Document(), {}, 0, 4096);
    ASSERT_TRUE(open);
    TEditorScreenStrings& doc = editor.Document();
    const int firstRows = doc.GetCount();
    EXPECT_GT(firstRows, 0);
    EXPECT_TRUE(doc.LayingOut());
    EXPECT_TRUE(editor.ReadOnly());
    const std::string before = doc.GetText();
    EXPECT_EQ(before.substr(0, 10), "\r\na\r\na\x82\xA0\r\n");
    doc.ReplaceRows(0, 1, "typed\r\n");
    editor.KeyChar('x');
    editor.SetModified(false);  // as after reading a file
    EXPECT_EQ(doc.GetText(), before);
    EXPECT_TRUE(doc.InvariantFault().empty()) << doc.InvariantFault();

    int steps = 0, rows = firstRows;
    double progress = open->Progress();
    while (!open->Step(kNoTime)) {
        ++steps;
        EXPECT_GE(doc.GetCount(), rows);
        EXPECT_GE(open->Progress(), progress);
        rows = doc.GetCount();
        progress = open->Progress();
        EXPECT_TRUE(editor.ReadOnly());
    }
    EXPECT_GT(steps, 3);
    EXPECT_FALSE(doc.LayingOut());
    EXPECT_FALSE(editor.ReadOnly());
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(open->Progress(), 1.0);
    EXPECT_TRUE(open->Confirmed());
    EXPECT_EQ(open->Result().Format.Encoding, deShiftJis);
    EXPECT_EQ(open->Result().Format.LineEnd, dlCrLf);
    EXPECT_FALSE(open->Result().Report.MixedLineEnds);
    EXPECT_TRUE(doc.InvariantFault().empty()) << doc.InvariantFault();

    TEditorController whole;
    Wrap(whole);
    ReadDocumentText(file.Path(), whole.Document(), deAuto);
    EXPECT_EQ(Layout(doc), Layout(whole.Document()));
    EXPECT_FALSE(doc.UndoEngine().CanUndo());
    doc.ReplaceRows(0, 0, "typed\r\n");  // editable again
    EXPECT_EQ(doc.RowView(0), "typed");
}

TEST(SlicedOpen, LineEndsAndLinesLongerThanAPieceComeOutAsReadWhole) {
    const std::string longLine(10000, 'x');
    const struct {
        const char* Name;
        std::string Text;
    } cases[] = {
        {"LF, ending with a break", Lines(800, "\n")},
        {"CR only", Lines(800, "\r")},
        {"mixed", Lines(300, "\r\n") + Lines(300, "\n") + Lines(300, "\r")},
        {"lines longer than a piece", "a\r\n" + longLine + "\r\n" + longLine + longLine + "\r\nend"},
        {"one line, no break", longLine + "\x82\xA0" + longLine},
        {"ending in a lone CR", Lines(500, "\r\n") + "\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TTempFile file(c.Text);
        for (bool wrap : {false, true}) {
            TEditorController sliced, whole;
            if (wrap) {
                Wrap(sliced);
                Wrap(whole);
            }
            auto open = TSlicedOpen::Start(file.Path(), deAuto, sliced.Document(), {}, 0, 1000);
            ASSERT_TRUE(open);
            while (!open->Step(kNoTime)) {
            }
            const TDocumentText read = ReadDocumentText(file.Path(), whole.Document(), deAuto);
            EXPECT_EQ(Layout(sliced.Document()), Layout(whole.Document()));
            EXPECT_EQ(open->Result().Format.LineEnd, read.Format.LineEnd);
            EXPECT_EQ(open->Result().Report.MixedLineEnds, read.Report.MixedLineEnds);
            EXPECT_TRUE(sliced.Document().InvariantFault().empty()) << sliced.Document().InvariantFault();
        }
    }
}

TEST(SlicedOpen, OnlyFilesWhoseHeadIsShiftJisUtf8OrEucAndLargeEnough) {
    TEditorController editor;
    editor.Document().SetText("keep");
    std::string utf16 = "\xFF\xFE";
    for (int i = 0; i < 200; ++i) utf16 += std::string("a\0b\0\x42\x30\r\0\n\0", 10);  // abあ in UTF-16
    const TTempFile utf16File(utf16);
    EXPECT_FALSE(TSlicedOpen::Start(utf16File.Path(), deAuto, editor.Document(), {}, 0, 1000));
    const TTempFile small(Lines(100, "\r\n"));
    EXPECT_FALSE(TSlicedOpen::Start(small.Path(), deAuto, editor.Document(), {}, 1 << 20, 1000));
    EXPECT_FALSE(TSlicedOpen::Start(small.Path(), deShiftJis, editor.Document(), {}, 0, 1000));
    EXPECT_EQ(editor.Document().GetText(), "keep");
    EXPECT_THROW(TSlicedOpen::Start(testing::TempDir() + "no such file", deAuto, editor.Document()), Exception);
}

TEST(SlicedOpen, AFileThatTurnsOutNotShiftJisIsNotConfirmed) {
    // 7-bit text in the head, UTF-8 further on: the whole file must be read as UTF-8.
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + "\n";
    const TTempFile file(text + "\xE3\x81\x82\n");
    TEditorController editor;
    auto open = TSlicedOpen::Start(file.Path(), deAuto, editor.Document(), {}, 0, 1000);
    ASSERT_TRUE(open);
    while (!open->Step(kNoTime)) {
    }
    EXPECT_FALSE(open->Confirmed());
    EXPECT_EQ(open->Result().Format.Encoding, deUtf8);
}

TEST(SlicedOpen, AUtf8OrEucFileIsDecodedAPieceAtATimeAsItWouldBeWhole) {
    // あ, a and é (which code page 932 lacks: kept in the user-defined area), lines longer than a
    // piece cut between characters, with and without a byte-order mark; in EUC-JP also a form
    // that is written back differently (～ as 0x8F 0xA2 0xB7).
    auto lines = [](const std::string& A, const std::string& E, bool Mixed) {
        std::string t;
        for (int i = 0; i < 600; ++i) {
            for (int k = 0; k < i % 40; ++k) t += k % 3 ? A : k % 7 ? "a" : E;
            t += i % 5 || !Mixed ? "\r\n" : "\n";
        }
        return t;
    };
    const std::string utf8 = lines("\xE3\x81\x82", "\xC3\xA9", true), euc = lines("\xA4\xA2", "\x8F\xAB\xB1", false);
    auto longLine = [](const std::string& Unit) {
        std::string t;
        while (t.size() < 5000) t += Unit;
        return t;
    };
    const std::string utf8Long = longLine("\xE3\x81\x82\xF0\x9F\x98\x80"), eucLong = longLine("\xA4\xA2\x8F\xAB\xB1\x61");
    const struct {
        const char* Name;
        std::string Text;
        TDocumentEncoding Encoding;
        bool WrittenBackSame = true;
    } cases[] = {
        {"UTF-8 lines", utf8, deUtf8},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + utf8, deUtf8},
        {"UTF-8 lines longer than a piece", utf8 + utf8Long + "\r\n" + utf8Long, deUtf8},
        {"EUC-JP lines", euc, deEuc},
        {"EUC-JP lines longer than a piece", euc + eucLong + "\r\n" + eucLong, deEuc},
        {"EUC-JP written back differently", euc + "\x8F\xA2\xB7\r\n" + euc, deEuc, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TTempFile file(c.Text);
        TEditorController sliced, whole;
        auto open = TSlicedOpen::Start(file.Path(), deAuto, sliced.Document(), {}, 0, 1000);
        ASSERT_TRUE(open);
        EXPECT_EQ(open->HeadFormat().Encoding, c.Encoding);
        while (!open->Step(kNoTime)) {}
        const TDocumentText read = ReadDocumentText(file.Path(), whole.Document(), deAuto);
        EXPECT_TRUE(open->Confirmed());
        EXPECT_EQ(Layout(sliced.Document()), Layout(whole.Document()));
        const TDocumentText& result = open->Result();
        EXPECT_EQ(result.Format, read.Format);
        EXPECT_EQ(result.Report.Warning(), read.Report.Warning());
        EXPECT_EQ(result.Report.NotRoundTrip, !c.WrittenBackSame || read.Report.MixedLineEnds);
        EXPECT_GT(read.Report.Kept, 0u);
        for (int slot = 0; slot < 4; ++slot)
            EXPECT_EQ(result.Map.CharOf(UserAreaCode(slot)), read.Map.CharOf(UserAreaCode(slot)));
    }
    // UTF-8 in the head, then bytes further on that no UTF-8 text holds: one broken byte leaves
    // it UTF-8 (reported, and write-protected); many make it another encoding, read whole.
    for (const auto& [tail, confirmed] : {std::pair{std::string("\xFF"), true}, {std::string(9, '\xFF'), false}}) {
        const TTempFile broken(utf8 + tail + "\r\n");
        TEditorController editor;
        auto open = TSlicedOpen::Start(broken.Path(), deAuto, editor.Document(), {}, 0, 1000);
        ASSERT_TRUE(open);
        while (!open->Step(kNoTime)) {}
        EXPECT_EQ(open->Confirmed(), confirmed);
        if (confirmed) {
            EXPECT_TRUE(open->Result().Report.ReadOnly());
        }
    }
}

TEST(SlicedOpen, ANewTextOrAnAbandonedOpenEndsTheLayout) {
    const TTempFile file(Lines(2000, "\r\n"));
    TEditorController editor;
    TEditorScreenStrings& doc = editor.Document();
    {
        auto open = TSlicedOpen::Start(file.Path(), deAuto, doc, {}, 0, 1000);
        ASSERT_TRUE(open && doc.LayingOut());
        open->Step(kNoTime);
    }
    EXPECT_FALSE(doc.LayingOut());
    EXPECT_TRUE(doc.InvariantFault().empty()) << doc.InvariantFault();

    auto open = TSlicedOpen::Start(file.Path(), deAuto, doc, {}, 0, 1000);
    ASSERT_TRUE(open);
    doc.SetText("new\r\ntext");
    EXPECT_FALSE(doc.LayingOut());
    while (!open->Step(kNoTime)) {
    }
    EXPECT_EQ(doc.GetText(), "new\r\ntext");
}

}  // namespace
}  // namespace orvane
