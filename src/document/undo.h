// The undo and redo lists of a document: one step per edit, never merged.
#pragma once

#include "document/rowlist.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

class TEditorScreenStrings;

// One step: the old text of a block of whole lines and how many rows replaced it.
struct TUndoData {
    std::int32_t Row = 0;        // caret row of the focused editor when the step was made
    std::int32_t Col = 0;        // caret column then
    std::int32_t FirstRow = -1;  // first row of the replaced block
    std::int32_t RowCount = 0;   // rows the block holds after the change (0: pure deletion)
    TRowEndKind RowEnd = reNoRows;  // end kind of the old block's last row; reNoRows: no old rows
    std::string Text;            // the old rows joined, CR LF after each row that ended a line
    // With word wrap on, the byte length of each old row (and whether it was wrapped), so that
    // undo puts the rows back as
    // they were cut: a row may have been cut at another place than a fresh wrap would choose
    // (its line changed after it), and later steps name rows of that layout.
    std::vector<std::uint32_t> RowLengths;
};

// Owns its steps, newest last.
using TUndoDataList = std::deque<std::unique_ptr<TUndoData>>;

// Undo and Redo either complete (text, both lists, caret) or, when they fail, leave all as it was.
class TEditorUndoObj {
public:
    explicit TEditorUndoObj(TEditorScreenStrings& Document) : FDocument(Document) {}
    virtual ~TEditorUndoObj() = default;

    // A new step holding the focused editor's caret, not yet recorded: the caller fills the
    // block fields, then records it with AddStep.
    std::unique_ptr<TUndoData> NewStep() const;
    // Appends Step to the undo list, trims the list to Max and, unless redoing, empties the redo
    // list. When it fails, the lists are as they were.
    virtual void AddStep(std::unique_ptr<TUndoData> Step);
    virtual bool CanRedo() const { return !RedoList.empty(); }
    virtual bool CanUndo() const { return !UndoList.empty(); }
    virtual void Redo();
    virtual void Undo();
    // Appends Step to the redo list. When it fails, the list is as it was.
    virtual void AddRedo(std::unique_ptr<TUndoData> Step);
    virtual void Clear();

    int Max() const noexcept { return FMax; }
    // Never below 64; lowering it drops the oldest steps at once.
    void SetMax(int Value);

    TUndoDataList UndoList;
    TUndoDataList RedoList;
    bool Redoing = false;

private:
    // Undo (from the undo list to the redo list) or redo (the other way).
    void Restore(bool Redo);
    void Trim() noexcept;

    TEditorScreenStrings& FDocument;
    int FMax = 64;
};

}  // namespace orvane
