// The Perl mode under random editing and random bytes: after every edit of a document, wrapped
// or not, the stored state of every computed row equals that of a full tokenizing from the top;
// no row of any bytes, started in any state, makes the scanner read outside it or stall.
#include "document/document.h"
#include "modes/documenttokenizer.h"
#include "modes/modes_support.h"
#include "modes/perl_support.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane::test {
namespace {

// An editor showing the document with the Perl mode and a screen of five rows.
class PerlView : public IDocumentView {
public:
    TFountain* Fountain = nullptr;
    bool Full = false;

    int TabSpaceCount() const override { return 8; }
    const TCharSet& WordDelimiters() const override { return DefaultDelimiters(); }
    bool Loading() const override { return false; }
    bool Destroying() const override { return false; }
    TFountain* ActiveFountain() const override { return Fountain; }
    int RowHeight() const override { return 10; }
    int ScreenHeight() const override { return 59; }
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
    void InvalidateRow(int) override {}
};

// Fails at the first computed row whose state differs from a full tokenizing.
void ExpectComputedRowsMatch(TFountain& Mode, const TEditorScreenStrings& Doc, const std::string& Context) {
    const auto reference = ReferenceStates(Mode, Doc);
    TRowAttributeData d;
    for (int r = 0; r < Doc.Count(); ++r) {
        Doc.GetRowAttributeData(r, d);
        if (d.OpenBracket == -2) continue;
        ASSERT_EQ(d, reference[r]) << "row " << r << " (" << Readable(Doc.RowView(r)) << ") after " << Context
                                   << ": ms " << d.ModeState << "/" << reference[r].ModeState << ", counter "
                                   << d.ModeCounter << "/" << reference[r].ModeCounter << ", carry text '"
                                   << d.CarryText << "'/'" << reference[r].CarryText << "'";
    }
}

TEST(PerlEditing, RandomEditsKeepEveryComputedRowExact) {
    static const char* const kPieces[] = {
        "<<EOT;", "\r\nEOT\r\n", "EOT", "<<'EOT';", "<<~EOT;", "  EOT", "=pod", "=head1 x", "=cut", "\r\n",
        "\r\n", "\r\n", "q(", "qq{", "qw/", "(", ")", "{", "}", "s{", "}{", "s/", "tr/", "y/", "/", " / ",
        "m<", ">", "<", "<b ", "a=", "\"", "'", "`", "\\", "$$", "$x", "@a", "%h", "&f", "&amp;", "# c",
        "while ", "x", " ", ";", "0x1F", "\x8A\xBF\x8E\x9A", "\x82\xA0\x82\xA2", "\xB1\xB2", "\x81"};
    for (const bool wrap : {false, true}) {
        for (const bool full : {false, true}) {
            auto mode = NewPerlFountain();
            PerlView view;
            view.Fountain = mode.get();
            view.Full = full;
            TEditorScreenStrings doc;
            doc.SetTokenizer(NewDocumentTokenizer());
            doc.AttachEditor(&view);
            if (wrap) {
                doc.WrapOption().SetWrapByte(20);
                doc.SetWordWrap(true);
            }
            doc.SetText("#!/usr/bin/perl\r\nprint <<EOT;\r\n<b>text</b>\r\nEOT\r\n$x =~ s{a}{b}g;\r\n"
                        "=pod\r\n\r\n=cut\r\nmy @list = qw(a b c);\r\nprint \"done\\n\";\r\nlast");
            std::mt19937 rng(wrap * 2 + full + 7);
            for (int step = 0; step < 800; ++step) {
                const int row = static_cast<int>(rng() % doc.Count());
                std::string text = doc.RowTextWithBreak(row);
                const std::size_t body = doc.RowView(row).size();
                std::string context;
                if (rng() % 4 == 0 && body > 0) {
                    std::size_t at = CharStartOf(text, rng() % body);
                    const std::size_t count = std::min<std::size_t>(body - at, 1 + rng() % 3);
                    context = "deleting at " + std::to_string(row) + ":" + std::to_string(at);
                    text.erase(at, count);
                    while (at < text.size() && CharStartOf(text, at) != at) text.erase(at, 1);
                } else {
                    std::size_t at = body ? rng() % (body + 1) : 0;
                    if (at < body) at = CharStartOf(text, at);
                    const char* piece = kPieces[rng() % std::size(kPieces)];
                    context = "typing " + Readable(piece) + " at " + std::to_string(row) + ":" + std::to_string(at);
                    text.insert(at, piece);
                }
                doc.ReplaceRows(row, 1, text);
                ExpectComputedRowsMatch(*mode, doc, context + " (step " + std::to_string(step) + ")");
                if (HasFatalFailure()) {
                    doc.DetachEditor(&view);
                    return;
                }
            }
            EXPECT_GT(doc.Count(), 30);  // the document grew enough to scroll past the horizon
            doc.DetachEditor(&view);
        }
    }
}

// Bytes drawn mostly from those the Perl scanner treats specially, and two-byte text.
std::string RandomRow(std::mt19937& Rng, int MaxLen) {
    static const char kAscii[] = "$@%&#'\"`/\\<>=;:{}()[]~!qmstrywx_ab19 \t\0";
    static const std::string pool = std::string(kAscii, sizeof kAscii - 1) +
                                    "\x81\x82\x83\x88\x9F\xE0\xFC\x40\x5C\x7C\x7B\x60\xA0\xA1\xB1\xDF\x80\xFD\xFF";
    std::uniform_int_distribution<int> len(0, MaxLen), pick(0, static_cast<int>(pool.size()) - 1), any(0, 255), coin(0, 9);
    std::string s(len(Rng), ' ');
    for (char& c : s) c = coin(Rng) == 0 ? static_cast<char>(any(Rng)) : pool[pick(Rng)];
    return s;
}

TEST(PerlEditing, RandomRowsInAnyStateStayInsideTheRow) {
    auto mode = NewPerlFountain();
    auto parser = mode->NewParser();
    std::mt19937 rng(4242);
    for (int i = 0; i < 5000; ++i) {
        const std::string row = RandomRow(rng, 48);
        // An exact-size heap copy, so that a read past the end is caught by the address checker.
        std::unique_ptr<char[]> exact(new char[row.size() + (row.empty() ? 1 : 0)]);
        std::copy(row.begin(), row.end(), exact.get());
        TRowAttributeData state;
        static const int kStates[] = {0, 2, 3, 4, '"', '/', ')', '}', '\\', '#', '=', 1, 127, 200};
        state.ModeState = kStates[rng() % std::size(kStates)];
        state.ModeCounter = static_cast<int>(rng() % 4);
        state.PrevRowEndKind = static_cast<TRowEndKind>(rng() % 3);
        state.LastTokenKind = static_cast<TTokenKind>(rng() % 80);
        state.CarryToken = rng() % 3 ? 0 : static_cast<TTokenKind>(rng() % 80);
        state.CarryLength = static_cast<int>(rng() % 4);
        state.CarryText = rng() % 2 ? "EOT" : "";
        PerlDump(*parser, std::string_view(exact.get(), row.size()), state);  // checks extents and progress
        if (HasFailure()) {
            ADD_FAILURE() << "row " << Readable(row) << " in state " << state.ModeState;
            return;
        }
    }
}

}  // namespace
}  // namespace orvane::test
