// The document's tokenizer: after every edit of a wrapped document the stored states of all
// computed rows equal those of a full tokenizing from the top.
#include "modes/documenttokenizer.h"
#include "modes/modes_support.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane::test {
namespace {

// An editor showing the document with a syntax mode and a screen of ScreenRows rows.
class ModeView : public IDocumentView {
public:
    TFountain* Fountain = nullptr;
    int ScreenRows = 5;
    bool Full = false;
    std::vector<int> Invalidated;

    int TabSpaceCount() const override { return 8; }
    const TCharSet& WordDelimiters() const override { return DefaultDelimiters(); }
    bool Loading() const override { return false; }
    bool Destroying() const override { return false; }
    TFountain* ActiveFountain() const override { return Fountain; }
    int RowHeight() const override { return 10; }
    int ScreenHeight() const override { return ScreenRows * 10 + 9; }
    bool InitBracketsFull() const override { return Full; }
    bool Focused() const override { return false; }
    int CaretRow() const override { return 0; }
    int CaretCol() const override { return 0; }
    void SetCaretRowCol(int, int) override {}
    void LockCaret() override {}
    void UnlockCaret() override {}
    int TopRow() const override { return 0; }
    void SetTopRow(int) override {}
    void DropSelection() override {}
    void RefreshView() override {}
    void DocumentChanged() override {}
    void InvalidateRow(int Row) override { Invalidated.push_back(Row); }
};

std::unique_ptr<TEditorFountain> SourceMode() {
    auto f = NewEditorFountain();
    auto* c = f->Brackets().Add();
    c->SetLeftBracket("/*");
    c->SetRightBracket("*/");
    auto* p = f->Brackets().Add();
    p->SetLeftBracket("(");
    p->SetRightBracket(")");
    TStringList words;
    words.Add("while");
    f->SetReserveWordList(words);
    f->SetQuotation("\"");
    f->SetCommenter("//");
    f->SetUrl(true);
    f->SetMail(true);
    return f;
}

struct DocumentWithMode {
    std::unique_ptr<TEditorFountain> Mode = SourceMode();
    ModeView View;
    TEditorScreenStrings Doc;
    DocumentWithMode() {
        View.Fountain = Mode.get();
        Doc.SetTokenizer(NewDocumentTokenizer());
        Doc.AttachEditor(&View);
    }
    ~DocumentWithMode() { Doc.DetachEditor(&View); }

    // Fails at the first computed row whose state differs from a full tokenizing.
    void ExpectComputedRowsMatch(const std::string& Context) {
        const auto reference = ReferenceStates(*Mode, Doc);
        TRowAttributeData d;
        for (int r = 0; r < Doc.Count(); ++r) {
            Doc.GetRowAttributeData(r, d);
            if (r >= Doc.ComputedEnd()) {
                ASSERT_EQ(d.OpenBracket, -2) << "row " << r << " past the computed end";
            }
            if (d.OpenBracket == -2) continue;
            ASSERT_EQ(StateString(d), StateString(reference[r])) << "row " << r << " after " << Context;
            ASSERT_EQ(d, reference[r]) << "row " << r << " after " << Context;
        }
    }
};

TEST(DocumentTokenizer, TypingAnOpenerColoursTheRowsBelow) {
    DocumentWithMode m;
    m.View.Full = true;
    m.Doc.SetText("a\r\nb\r\nc\r\nd");
    EXPECT_EQ(m.Doc.OpenBracket(3), -1);
    m.View.Invalidated.clear();
    m.Doc.ReplaceRows(0, 1, "a /*\r\n");
    EXPECT_EQ(m.Doc.OpenBracket(1), 0);
    EXPECT_EQ(m.Doc.OpenBracket(3), 0);
    EXPECT_EQ(m.View.Invalidated, (std::vector<int>{0, 1, 2, 3}));
    m.Doc.ReplaceRows(2, 1, "*/c\r\n");
    EXPECT_EQ(m.Doc.OpenBracket(3), -1);
}

TEST(DocumentTokenizer, WithoutAModeRowsStayNotTokenized) {
    DocumentWithMode m;
    m.View.Fountain = nullptr;
    m.Doc.SetText("a /*\r\nb");
    EXPECT_EQ(m.Doc.OpenBracket(0), -2);
    EXPECT_EQ(m.Doc.OpenBracket(1), -2);
    TEditorScreenStrings alone;  // no editor at all
    alone.SetTokenizer(NewDocumentTokenizer());
    alone.SetText("a /*\r\nb");
    EXPECT_EQ(alone.OpenBracket(1), -2);
}

TEST(DocumentTokenizer, RandomEditsOfAWrappedDocumentKeepEveryComputedRowExact) {
    static const char* const kPieces[] = {"/*", "*/", "\"", "(", ")", "\r\n", "\r\n", "while ", "whi", "le",
                                          "abc ", "//", "x", " ", "12.5", "http://a.jp/x ", "a@b.jp ",
                                          "\x8A\xBF\x8E\x9A", "\x82\xA0\x82\xA2\x82\xA4", "\xB1\xB2"};
    for (const bool full : {false, true}) {
        DocumentWithMode m;
        m.View.Full = full;
        m.Doc.WrapOption().SetWrapByte(20);
        m.Doc.SetWordWrap(true);
        m.Doc.SetText("int main /* start\r\nwhile (x) \"text\"\r\nend */ done\r\n"
                      "a long line that wraps over several rows of twenty bytes each\r\nlast");
        std::mt19937 rng(full ? 99 : 42);
        for (int step = 0; step < 600; ++step) {
            const int row = static_cast<int>(rng() % m.Doc.Count());
            std::string text = m.Doc.RowTextWithBreak(row);
            const std::size_t body = m.Doc.RowView(row).size();
            std::string context;
            if (rng() % 5 == 0 && body > 0) {
                // delete one character
                std::size_t at = rng() % body;
                at = CharStartOf(text, at);
                context = "deleting at " + std::to_string(row) + ":" + std::to_string(at);
                text.erase(at, CharLenAt(text, at));
            } else {
                std::size_t at = body ? rng() % (body + 1) : 0;
                if (at < body) at = CharStartOf(text, at);
                const char* piece = kPieces[rng() % std::size(kPieces)];
                context = "typing " + Readable(piece) + " at " + std::to_string(row) + ":" + std::to_string(at);
                text.insert(at, piece);
            }
            m.Doc.ReplaceRows(row, 1, text);
            m.ExpectComputedRowsMatch(context + " (step " + std::to_string(step) + ")");
            if (HasFatalFailure()) return;
        }
        EXPECT_GT(m.Doc.Count(), 20);  // the document grew enough to wrap and scroll
    }
}

}  // namespace
}  // namespace orvane::test
