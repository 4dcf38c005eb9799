// Test support for any syntax mode: token dumps with the mode's kind names, the colour property
// of each token, and a random-edit run that checks incremental tokenizing against a tokenizing
// from scratch after every edit.
#pragma once

#include "document/document.h"
#include "modes/fountain.h"
#include "modes/parser.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::test {

// The name of a token kind ("tokWord"), as the modes give it.
using TKindName = std::string_view (*)(TTokenKind Kind);

// The tokens of one row, e.g. "TagOpen:< TagName:a" (kinds without their "tok"; a kind without
// a name as its number), texts shown as UTF-8. Fails on a token that is empty, overlaps the one
// before or runs outside the row, and when scanning does not end.
std::string DumpTokens(TFountainParser& Parser, std::string_view Row, TKindName Name,
                       const TRowAttributeData& State = {});

// The colour of each token of a row as the property of Fountain that holds it, e.g.
// "<=TagColor a=TagElement" ("-" for the editor's default colours).
std::string DumpColors(TFountain& Fountain, std::string_view Row, const TRowAttributeData& State = {});

// A short form of a row state: "ob=0 carry=TagName/2 ms=1 last=DoubleQuoted" (parts at their
// initial values left out).
std::string StateText(const TRowAttributeData& Data, TKindName Name);

// Rows given as UTF-8 text, converted to code page 932; a row ending in '|' is wrapped (the '|'
// is not part of it); the last row ends the text.
void SetRowsOf(TEditorStringList& Rows, const std::vector<std::string>& Texts);

// The state at the start of every row after tokenizing all rows from the top, as StateText.
std::vector<std::string> RowStates(TFountain& Mode, const std::vector<std::string>& Texts, TKindName Name);

// An editor that shows a document with a syntax mode and a screen of ScreenRows rows.
class HarnessView : public IDocumentView {
public:
    TFountain* Fountain = nullptr;
    int ScreenRows = 5;
    bool Full = false;

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
    void InvalidateRow(int) override {}
};

// A document tokenized by Mode through the tokenizer the editor installs.
struct ModeDocument {
    explicit ModeDocument(TFountain& Mode);
    ~ModeDocument();

    TFountain& Mode;
    HarnessView View;
    TEditorScreenStrings Doc;
};

// Fails at the first row whose stored state differs from a tokenizing from scratch (rows not
// yet computed are skipped; none may lie past the computed end).
void ExpectStatesMatchFromScratch(ModeDocument& M, const std::string& Context);

// Brings every row up to date as painting does, then fails at the first row whose tokens (the
// painter's scan: a wrapped row with the next row's text after it) differ from those scanned in
// the states of a tokenizing from scratch.
void ExpectTokensMatchFromScratch(ModeDocument& M, const std::string& Context);

struct RandomEdits {
    std::string StartText;            // code page 932, lines ending in CR LF
    std::vector<std::string> Pieces;  // typed at random places
    int Steps = 500;
    unsigned Seed = 1;
    int WrapWidth = 20;   // bytes per row with word wrap on
    int ScreenRows = 4;   // the horizon is two screens past the edited row
    int TokenCheckEvery = 5;
};

// Types pieces and deletes characters at random places, with word wrap on and off and with the
// states computed to the horizon or in full; after every edit the stored states, and every few
// edits the tokens of every row, must equal a tokenizing from scratch.
void RunRandomEdits(TFountain& Mode, const RandomEdits& Plan);

}  // namespace orvane::test
