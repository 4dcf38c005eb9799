// The undo and redo lists.
#include "document/undo.h"

#include "base/faults.h"
#include "base/scope.h"
#include "document/document.h"

#include <algorithm>

namespace orvane {
namespace {

// Locks the focused editor's caret and brackets the document for one undo or redo; both are
// closed on every exit.
class TRestoreBracket {
public:
    explicit TRestoreBracket(TEditorScreenStrings& Document) : FDocument(Document), FEditor(Document.FocusedEditor()) {
        if (FEditor) FEditor->LockCaret();
        FDocument.BeginUpdate();
    }
    ~TRestoreBracket() {
        if (FOpen) FDocument.EndUpdate();
        if (FEditor) FEditor->UnlockCaret();
    }
    // Ends the document bracket early (before the caret is placed), keeping the caret lock.
    void EndUpdate() {
        FOpen = false;
        FDocument.EndUpdate();
    }
    void PlaceCaret(int Row, int Col) {
        if (FEditor) FEditor->SetCaretRowCol(Row, Col);
    }
    TRestoreBracket(const TRestoreBracket&) = delete;
    TRestoreBracket& operator=(const TRestoreBracket&) = delete;

private:
    TEditorScreenStrings& FDocument;
    IDocumentView* FEditor;
    bool FOpen = true;
};

void CaretOf(const TEditorScreenStrings& Document, TUndoData& Step) {
    if (const IDocumentView* editor = Document.FocusedEditor()) {
        Step.Row = editor->CaretRow();
        Step.Col = editor->CaretCol();
    }
}

}  // namespace

std::unique_ptr<TUndoData> TEditorUndoObj::NewStep() const {
    auto step = std::make_unique<TUndoData>();
    CaretOf(FDocument, *step);
    return step;
}

std::size_t TEditorUndoObj::SizeOf(const TUndoData& Step) noexcept {
    return sizeof(TUndoData) + Step.Text.size() + Step.RowLengths.size() * sizeof(std::uint32_t);
}

void TEditorUndoObj::PushUndo(std::unique_ptr<TUndoData> Step) {
    const std::size_t size = SizeOf(*Step);
    UndoList.push_back(std::move(Step));
    FBytes += size;
}

void TEditorUndoObj::AddStep(std::unique_ptr<TUndoData> Step) {
    FaultPoint();
    if (!Redoing) Step->Id = FNextId++;  // a redone step brings back the state it had
    PushUndo(std::move(Step));
    Trim();
    if (!Redoing) RedoList.clear();
}

void TEditorUndoObj::AddStep(std::unique_ptr<TUndoData> Step, int OldRows) {
    if (MergeNext && !Redoing && !UndoList.empty()) {
        TUndoData& newest = *UndoList.back();
        const bool saved = FSavedKnown && newest.Id == FSavedId;
        if (!saved && newest.RowCount > 0 && newest.FirstRow == Step->FirstRow && newest.RowCount == OldRows &&
            Step->RowEnd != reNoRows) {
            FaultPoint();
            // The newest step's old text stays; it now stands for the rows this edit made.
            newest.RowCount = Step->RowCount;
            newest.Id = FNextId++;
            RedoList.clear();
            return;
        }
    }
    AddStep(std::move(Step));
}

void TEditorUndoObj::MarkSaved() noexcept {
    FSavedId = StateId();
    FSavedKnown = true;
}

void TEditorUndoObj::SetMaxBytes(std::size_t Value) {
    FMaxBytes = Value;
    Trim();
}

void TEditorUndoObj::AddRedo(std::unique_ptr<TUndoData> Step) {
    FaultPoint();
    RedoList.push_back(std::move(Step));
}

void TEditorUndoObj::Trim() noexcept {
    while (int(UndoList.size()) > FMax || (FBytes > FMaxBytes && UndoList.size() > 1)) {
        FBytes -= SizeOf(*UndoList.front());
        FBaseId = UndoList.front()->Id;
        UndoList.pop_front();
    }
}

void TEditorUndoObj::SetMax(int Value) {
    FMax = Value < 64 ? 64 : Value;
    Trim();
}

void TEditorUndoObj::Clear() {
    UndoList.clear();
    RedoList.clear();
    FBytes = 0;
    FBaseId = FNextId++;
    FSavedKnown = false;
}

void TEditorUndoObj::ClearKeepingSaved() {
    const bool saved = AtSaved();
    Clear();
    if (saved) MarkSaved();
}

void TEditorUndoObj::Undo() { Restore(false); }

void TEditorUndoObj::Redo() { Restore(true); }

void TEditorUndoObj::Restore(bool Redo) {
    TUndoDataList& from = Redo ? RedoList : UndoList;
    if (from.empty()) return;
    const TUndoData& step = *from.back();

    // Everything that can fail comes first: the inverse step (the text the restore replaces)
    // and the rows to put back.
    std::unique_ptr<TUndoData> inverse = NewStep();
    inverse->FirstRow = step.FirstRow;
    inverse->Id = step.Id;
    int curRows = 0;
    if (step.RowCount > 0)
        FDocument.GetRowsText(step.FirstRow, step.RowCount, inverse->RowEnd, curRows, inverse->Text,
                              &inverse->RowLengths);
    FaultPoint();
    TEditorStringList list;
    TEditorScreenStrings::TRowSwap swap;
    const bool onlyInserted = step.RowEnd == reNoRows;  // the step only inserted rows: they go
    if (!onlyInserted) {
        if (!step.RowLengths.empty() && FDocument.WordWrap()) {
            TEditorScreenStrings::RowsFromLayout(step.Text, step.RowLengths, step.RowEnd, list);
        } else {
            FDocument.WrapTextToList(step.Text, list);
            if (step.RowEnd == reWrapped && list.GetCount() > 1 && list.RowView(list.GetCount() - 1).empty())
                list.Delete(list.GetCount() - 1);
            list.SetRowEndKind(list.GetCount() - 1, step.RowEnd);
        }
        swap = FDocument.PrepareRowsFromList(step.FirstRow, curRows, list);
    }
    inverse->RowCount = list.GetCount();
    const int firstRow = step.FirstRow, newRows = inverse->RowCount, row = step.Row, col = step.Col;

    // Then the inverse step is recorded, the step leaves its list and the rows change: none of
    // that can fail.
    if (Redo) {
        Redoing = true;
        TScopeExit endRedo([this] { Redoing = false; });
        AddStep(std::move(inverse));
    } else {
        AddRedo(std::move(inverse));
    }
    if (!Redo) FBytes -= SizeOf(*from.back());
    from.pop_back();
    TRestoreBracket bracket(FDocument);
    if (onlyInserted)
        FDocument.RemoveLines(firstRow, curRows);
    else
        FDocument.ReplaceRowsFromList(swap);
    FDocument.NormalizeLastRow();
    FDocument.FinishChange(firstRow, curRows, newRows);
    bracket.EndUpdate();
    bracket.PlaceCaret(row, col);
}

}  // namespace orvane
