// The document of the editor control: rows after word wrap, the single edit operation
// ReplaceRows, undo, marks, and the editors that show it.
#pragma once

#include "document/documentview.h"
#include "document/rowlist.h"
#include "document/undo.h"
#include "document/wrap.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

class TEditorScreenStrings;

// Keeps the stored tokenizer states of a document's rows current. The syntax modes provide the
// real one; the default only leaves changed rows marked as not yet tokenized.
class TDocumentTokenizer {
public:
    virtual ~TDocumentTokenizer() = default;
    // Brings the states from FirstRow on up to date; returns the number of rows whose state
    // changed (counted only when Invalidate is set, which also repaints those rows).
    virtual int RetokenizeRows(TEditorScreenStrings& Document, int FirstRow, bool Invalidate) = 0;
    // Marks every row not tokenized and tokenizes from the top up to the horizon.
    virtual void TokenizeAllRows(TEditorScreenStrings& Document) = 0;

protected:
    // The rows whose states a tokenizer stores; the document gives them to tokenizers only.
    static TRowAttributeStringList& Rows(TEditorScreenStrings& Document) noexcept;
};

// Rows of a document. Shared by the editors attached to it (each holds it by shared_ptr; the
// first attached editor is the main editor). Every change of text is one ReplaceRows call.
// Invariants at the end of every outermost update bracket (checked there in debug builds, see
// InvariantFault): only the last row may be reEndOfText, the last row is never reWrapped,
// LineEndCount counts the rows that end a line, no row at or after ComputedEnd holds a tokenizer
// state, and the line hint names a line start. Outside loading, with word wrap off no row is
// reWrapped, and with it on no row is wider than the wrap width (plus hanging marks).
// An operation that fails (an exception) changes nothing, or completes its change of text and
// undo and leaves the rows it could not tokenize marked not tokenized; the views hear of every
// change of text.
class TEditorScreenStrings : public TEditorStringList {
public:
    static constexpr std::uint32_t kWrappedRowBit = 0x80000000u;

    TEditorScreenStrings();
    ~TEditorScreenStrings() override;

    // ---- editors
    void AttachEditor(IDocumentView* Editor);
    void DetachEditor(IDocumentView* Editor);
    const std::vector<IDocumentView*>& Editors() const noexcept { return FEditors; }
    IDocumentView* MainEditor() const noexcept { return FEditors.empty() ? nullptr : FEditors.front(); }
    // The first attached editor that has the focus, else the main editor (null when none).
    IDocumentView* FocusedEditor() const noexcept;
    // Column rules of the main editor (tab width 8 and the default delimiters without one).
    TColumnLayout Layout() const;
    bool Loading() const;

    // ---- change record: valid between a change and the end of the outermost update bracket
    int ChangeRow() const noexcept { return FChangeRow; }
    int ChangeOldCount() const noexcept { return FChangeOldCount; }
    int ChangeNewCount() const noexcept { return FChangeNewCount; }
    int ChangeTokenCount() const noexcept { return FChangeTokenCount; }
    bool ChangeFlag() const noexcept { return FChangeFlag; }

    // ---- marks
    TRowMarkSet GetMarksInUse() const noexcept { return FMarksInUse; }
    virtual void IncludeMarks(TRowMarkSet Set) { FMarksInUse |= Set; }
    virtual void ExcludeMarks(TRowMarkSet Set) { FMarksInUse &= TRowMarkSet(~Set); }

    // ---- navigation (rows are 0-based)
    int FirstRowOfLine(int Row) const;
    int LastRowOfLine(int Row) const;
    // Rows Row .. Row+Count-1 joined (Count -1: to the end of Row's line), CR LF after each row
    // that ends a line. Row outside the list: empty text, 0 rows, reNoRows.
    // With RowLengths given and word wrap on, it receives the byte length of every row taken,
    // with kWrappedRowBit set for the rows that do not end their line.
    void GetRowsText(int Row, int Count, TRowEndKind& EndKind, int& Rows, std::string& Text,
                     std::vector<std::uint32_t>* RowLengths = nullptr) const;
    // Rows of Text cut at the given row lengths (as GetRowsText reported them), the last row
    // ending with EndKind.
    static void RowsFromLayout(std::string_view Text, const std::vector<std::uint32_t>& RowLengths,
                               TRowEndKind EndKind, TEditorStringList& List);
    std::string RowTextWithBreak(int Row) const;
    // The last row a caret may stand on: count - 1 when the text ends without a line break (or
    // is empty), else count (the row after the last line break).
    int LastAllowedRow() const;

    // ---- logical lines (a line ends at a row that is not reWrapped; lines are 0-based)
    // The number of lines: rows that end a line (the last row always does); 0 when empty.
    int LineCount() const noexcept { return LineEndCount(); }
    // The first row of Line; LineToRow(LineCount()) is the row count. Line outside
    // 0..LineCount() raises the list index error.
    int LineToRow(int Line) const;
    // The number of rows ending with a line break among the first Rows rows (Rows clamped to
    // 0..row count): the line of row Rows. With word wrap off, Rows itself.
    int RowToLineCount(int Rows) const;

    // A place in the text by line and byte in that line, which a new layout of the rows keeps.
    struct TLinePlace {
        int Line = 0;
        int Byte = 0;
    };
    // The place of byte Byte of Row (Row at the row count: the start of the line after the text).
    TLinePlace PlaceOf(int Row, int Byte) const;
    // The row and byte of a place, clamped to the text; the end of a wrapped row is the start of
    // the next.
    std::pair<int, int> RowOfPlace(const TLinePlace& Place) const;

    // ---- editing
    // Replaces rows Row .. Row+Count-1 with their line breaks by Text (breaks as CR LF, CR or
    // LF), re-wraps the touched lines, records one undo step, carries marks and re-tokenizes.
    // Does nothing for a bad range or when there is nothing to do.
    void ReplaceRows(int Row, int Count, std::string_view Text);
    void Clear() override;
    // Replaces the whole text: no undo step, all rows re-wrapped and re-tokenized.
    void SetText(std::string_view Text);
    // SetText that keeps Text itself as the storage of the rows, without copying it.
    void AdoptText(std::string&& Text);
    // Replaces all rows by those of List as SetText does (List is left empty; on failure the
    // document is as it was).
    void SetRows(TEditorStringList& List);
    // A sliced load is still adding rows at the end (TDocumentTextLoader::Flush): until it
    // finishes the text is read-only (ReplaceRows, Undo and Redo do nothing).
    bool LayingOut() const noexcept { return FLayingOut; }
    // The whole text, CR LF after each row that ends a line, and its length.
    std::string GetText() const;
    std::size_t GetTextLen() const;

    // ---- word wrap
    bool WordWrap() const noexcept { return FWordWrap; }
    void SetWordWrap(bool Value);
    TEditorWrapOption& WrapOption() noexcept { return *FWrapOption; }
    virtual void WrapTextToList(std::string_view Text, TEditorStringList& List);
    virtual int WrappedRowCount(std::string_view Line);
    // Lay every line out again as rows of the wrap width / as one row each. The text, marks and
    // undo lists stay; on failure so do the rows.
    void RewrapAll();
    void UnwrapAll();
    // The main editor's tab width changed: with word wrap on the rows are laid out again.
    void TabWidthChanged();
    // The main editor finished loading: re-wrap and re-tokenize what was loaded meanwhile.
    void EndLoad();

    // ---- undo
    TEditorUndoObj& UndoEngine() noexcept { return *FUndoEngine; }
    const TEditorUndoObj& UndoEngine() const noexcept { return *FUndoEngine; }
    virtual void Undo() {
        if (!FLayingOut) FUndoEngine->Undo();
    }
    virtual void Redo() {
        if (!FLayingOut) FUndoEngine->Redo();
    }

    // ---- tokenizer
    int RetokenizeRows(int FirstRow, bool Invalidate);
    void TokenizeAllRows();
    void SetTokenizer(std::unique_ptr<TDocumentTokenizer> Tokenizer);

    // ---- broadcasts to every attached editor
    void NotifyEditors();
    void DropAllSelections();
    void ResetAllCols();
    void RefreshAllEditors();
    void ClampAllCarets();

    // ---- checks
    // The first broken invariant (see the class comment), empty when all hold. Reads every row.
    std::string InvariantFault() const;
    // The remembered line start (row, line) that walks over lines start from.
    std::pair<int, int> LineHint() const noexcept { return {FHintRow, FHintLine}; }

protected:
    void SetUpdateState(bool Updating) override;
    void WrapOptionChanged(TObject* Sender);

private:
    friend class TDocumentTokenizer;
    friend class TEditorUndoObj;
    friend class TDocumentTextLoader;

    // The row-list mutators bypass undo, the change record and the line hint: only the
    // document itself, its undo engine and the tokenizers (through TDocumentTokenizer::Rows)
    // change rows directly. Loaders build a separate list and hand it to SetRows.
    using TEditorStringList::Add;
    using TEditorStringList::AddStrings;
    using TEditorStringList::AppendRow;
    using TEditorStringList::AppendSharedRow;
    using TEditorStringList::AssignLines;
    using TEditorStringList::CopyRow;
    using TEditorStringList::DeleteItems;
    using TEditorStringList::InsertItems;
    using TEditorStringList::InvalidateRowAttributes;
    using TEditorStringList::LowerComputedEnd;
    using TEditorStringList::OnChange;
    using TEditorStringList::OnChanging;
    using TEditorStringList::SetCapacity;
    using TEditorStringList::SetCarryLength;
    using TEditorStringList::SetCarryTexts;
    using TEditorStringList::SetCarryToken;
    using TEditorStringList::SetLastTokenKind;
    using TEditorStringList::SetModeCounter;
    using TEditorStringList::SetModeState;
    using TEditorStringList::SetOpenBracket;
    using TEditorStringList::SetPrevRowEndKind;
    using TEditorStringList::SetRowAttributeData;
    using TEditorStringList::SetRowEndKind;
    using TEditorStringList::SetTextStr;
    using TEditorStringList::ShrinkToFit;
    using TEditorStringList::Put;
    using TEditorStringList::SwapRows;
    // The string-list edits keep the line hint but bypass undo and the change record.
    void Insert(int Index, std::string_view S) override;
    void Delete(int Index) override;
    void Exchange(int Index1, int Index2) override;

    // A replacement of rows with everything that can fail done: committing it cannot fail.
    struct TRowSwap {
        int Row = 0;
        int OldCount = 0;
        const TEditorStringList* List = nullptr;
        std::vector<TRowMarkSet> Marks;  // the marks of each new row, carried ones included
        TRowMarkSet Dropped = 0;         // marks of the old rows when no new row takes them
    };
    // Prepares the replacement of rows Row .. Row+OldCount-1 by the rows of List (which must
    // outlive the commit): the old rows' marks travel to the new ones.
    TRowSwap PrepareRowsFromList(int Row, int OldCount, const TEditorStringList& List);
    void ReplaceRowsFromList(const TRowSwap& Swap) noexcept;
    // Removes Count rows at Row and returns the union of their marks.
    TRowMarkSet DeleteRows(int Row, int Count) noexcept;
    // Removes whole lines; their marks go to the row that follows (or the new last row).
    void RemoveLines(int Row, int Count) noexcept;
    // Sliced loading: appends the rows of List (left empty) after the document's, room made for
    // about ExpectedRows in all; a text that a SetRows replaced meanwhile takes no more rows.
    // The views' scroll ranges grow; rows that come into view are painted. Nothing is modified.
    // Generation 0: the first rows, which replace the text; answers the generation of the text
    // that the next calls name.
    std::uint64_t AppendLaidOutRows(TEditorStringList& List, std::uint64_t Generation, int ExpectedRows);
    // The sliced load of Generation is complete: the last row ends the text (with or without a
    // line break) and the text may be edited again.
    void EndLayout(std::uint64_t Generation, bool EndsWithBreak);
    // The change record the views read when the outermost update bracket ends.
    void SetChange(int Row, int OldCount, int TokenCount, int NewCount);
    // Records a change of text for the views and re-tokenizes from its first row.
    void FinishChange(int Row, int OldCount, int NewCount);
    // Puts the rows of a new layout of the same text in place of the document's.
    void SwapInLayout(TEditorStringList& Rows);
    // After the rows were laid out again: every state from the top, every view refreshed.
    void FinishRelayout();
    void Relayout();
    void NormalizeLastRow() noexcept;
    // Rows from Row on are about to change: the line hint moves back before Row (or is reset).
    void ForgetLinesFrom(int Row) const;
    // Rows Row.. changed already: a line hint at or after Row is reset.
    void DropLineHintFrom(int Row) const noexcept {
        if (FHintRow >= Row) FHintRow = FHintLine = 0;
    }
    // Starts a walk from the nearest known line start to a line or row: row 0, the hint, or the end.
    void CheckLineHint() const;

    std::vector<IDocumentView*> FEditors;
    int FChangeRow = 0;
    int FChangeOldCount = 0;
    int FChangeNewCount = 0;
    int FChangeTokenCount = 0;
    bool FChangeFlag = false;
    TRowMarkSet FMarksInUse = 0;
    std::unique_ptr<TEditorUndoObj> FUndoEngine;
    bool FWordWrap = false;
    std::unique_ptr<TEditorWrapOption> FWrapOption;
    std::unique_ptr<TDocumentTokenizer> FTokenizer;
    // A remembered line start: line FHintLine begins at row FHintRow (always FHintRow < count,
    // or (0, 0)). Walks of LineToRow and RowToLineCount start from it and leave it where they end.
    mutable int FHintRow = 0;
    mutable int FHintLine = 0;
    bool FLayingOut = false;
    std::uint64_t FTextGeneration = 0;  // counts the texts SetRows put in place
};

// Builds the rows of a whole text that arrives in pieces (a file read block by block), so that a
// large file never has to be held whole beside its rows. Line breaks are CR LF, CR or LF, also
// when a CR LF pair is split between two pieces; lines are wrapped as they complete when the
// document has word wrap on.
class TDocumentTextLoader {
public:
    explicit TDocumentTextLoader(TEditorScreenStrings& Document);
    TDocumentTextLoader(const TDocumentTextLoader&) = delete;
    TDocumentTextLoader& operator=(const TDocumentTextLoader&) = delete;

    void Append(std::string_view Piece);
    // Appends a whole text (the only piece) and keeps it as the storage of its rows.
    void Adopt(std::string&& Text);
    // Replaces the document's text by what was appended (see TEditorScreenStrings::SetText).
    void Finish();

    // Sliced loading of a text too large to lay out at once, so that its first rows are shown
    // before the rest is read. AdoptPiece appends a piece and keeps it as the storage of its
    // rows (lines are wrapped with the document's settings of that moment); Flush hands the rows
    // built so far to the document, after those handed before; the first Flush replaces the
    // document's text. From then until Finish (or the loader's end) the document is LayingOut.
    // ExpectedSize, the whole text's size when known, lets the document make room once.
    void AdoptPiece(std::string&& Piece);
    void Flush(std::uint64_t ExpectedSize = 0);
    ~TDocumentTextLoader();

private:
    void AddLine(std::string_view Line);
    void UseDocumentLayout();

    TEditorScreenStrings& FDocument;
    TEditorStringList FRows;
    TRowTextArena FArena;
    std::unique_ptr<TRowTextBuffer> FBuffer;
    std::unique_ptr<TLineWrapper> FWrapper;
    std::vector<TLineWrapper::Row> FCuts;
    std::string FPending;     // the start of a line that the next piece continues
    bool FAfterCR = false;    // the last piece ended with CR: a LF at the start of the next is its pair
    bool FEndsWithBreak = false;
    TColumnLayout FLayout;
    bool FSliced = false;        // rows were handed to the document already
    bool FFinished = false;
    std::uint64_t FGeneration = 0;  // of the document's text the first Flush put in place
    std::uint64_t FBytes = 0;       // appended so far
};

}  // namespace orvane
