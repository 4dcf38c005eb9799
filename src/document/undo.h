// The undo and redo lists of a document: one step per edit, or one for a run of typing that its
// editor asks to merge; and which state of the text was saved.
#pragma once

#include "document/rowlist.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

class TEditorScreenStrings;

// The limits of the application's documents: steps bounded by the memory they hold, not by
// their count.
inline constexpr int kUndoStepLimit = 1 << 30;
inline constexpr std::size_t kUndoMemoryLimit = std::size_t(256) << 20;

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
    // The state of the text this step leads back to (undo) or on to (redo): the same for a step
    // and the inverse step that undoing or redoing it records.
    std::uint64_t Id = 0;
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
    // AddStep for an edit that replaced OldRows rows at Step's first row. While MergeNext is set
    // and the edit replaced exactly the rows the newest step made (and that step is not the saved
    // state), the newest step takes the edit in: one undo puts back the text before both.
    void AddStep(std::unique_ptr<TUndoData> Step, int OldRows);
    bool MergeNext = false;
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
    // The most bytes the undo steps may hold (the newest step is always kept).
    std::size_t MaxBytes() const noexcept { return FMaxBytes; }
    void SetMaxBytes(std::size_t Value);
    std::size_t Bytes() const noexcept { return FBytes; }

    // The saved state: the text as it is now was saved (MarkSaved) or is known to differ from
    // any saved text (ForgetSaved). AtSaved: undo or redo reached the saved text again.
    void MarkSaved() noexcept;
    void ForgetSaved() noexcept { FSavedKnown = false; }
    bool AtSaved() const noexcept { return FSavedKnown && StateId() == FSavedId; }
    // The id of the newest step: the state of the text (the base state when there is none).
    std::uint64_t StateId() const noexcept { return UndoList.empty() ? FBaseId : UndoList.back()->Id; }
    // Clear for a new layout of the same text: a saved state stays saved.
    void ClearKeepingSaved();

    TUndoDataList UndoList;
    TUndoDataList RedoList;
    bool Redoing = false;

private:
    // Undo (from the undo list to the redo list) or redo (the other way).
    void Restore(bool Redo);
    void Trim() noexcept;
    void PushUndo(std::unique_ptr<TUndoData> Step);
    static std::size_t SizeOf(const TUndoData& Step) noexcept;

    TEditorScreenStrings& FDocument;
    int FMax = 64;
    std::size_t FMaxBytes = std::size_t(-1);
    std::size_t FBytes = 0;  // held by the steps of UndoList
    std::uint64_t FNextId = 1;
    std::uint64_t FBaseId = 0;  // the state before the oldest step kept
    std::uint64_t FSavedId = 0;
    bool FSavedKnown = true;  // an empty new document is the saved state
};

}  // namespace orvane
