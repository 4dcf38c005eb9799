// The undo and redo lists.
#include "document/undo.h"

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

TUndoData& TEditorUndoObj::NewStep() {
    auto step = std::make_unique<TUndoData>();
    CaretOf(FDocument, *step);
    UndoList.push_back(std::move(step));
    Trim();
    if (!Redoing) RedoList.clear();
    return *UndoList.back();
}

void TEditorUndoObj::Trim() {
    while (int(UndoList.size()) > FMax) UndoList.pop_front();
}

void TEditorUndoObj::SetMax(int Value) {
    FMax = Value < 64 ? 64 : Value;
    Trim();
}

void TEditorUndoObj::AddRedo(const TUndoData& Step) {
    auto redo = std::make_unique<TUndoData>();
    redo->FirstRow = Step.FirstRow;
    redo->RowCount = Step.RowCount;
    redo->RowEnd = Step.RowEnd;
    redo->Text = Step.Text;
    redo->RowLengths = Step.RowLengths;
    CaretOf(FDocument, *redo);
    RedoList.push_back(std::move(redo));
}

void TEditorUndoObj::Clear() {
    UndoList.clear();
    RedoList.clear();
}

void TEditorUndoObj::Restore(const TUndoData& Step, TUndoData& Current) {
    int curRows = 0;
    Current.Text.clear();
    Current.RowLengths.clear();
    Current.RowEnd = reNoRows;
    if (Step.RowCount > 0)
        FDocument.GetRowsText(Step.FirstRow, Step.RowCount, Current.RowEnd, curRows, Current.Text, &Current.RowLengths);
    if (Step.RowEnd == reNoRows) {
        // The step had only inserted rows: they go, and their marks stay with the text after.
        const TRowMarkSet marks = FDocument.DeleteRows(Step.FirstRow, curRows);
        if (FDocument.GetCount() == 0) {
            FDocument.ExcludeMarks(marks);
        } else if (marks) {
            const int to = std::min(Step.FirstRow, FDocument.GetCount() - 1);
            FDocument.SetRowMarkSet(to, FDocument.RowMarkSet(to) | marks);
        }
        Current.RowCount = 0;
    } else {
        TEditorStringList list;
        if (!Step.RowLengths.empty() && FDocument.WordWrap()) {
            TEditorScreenStrings::RowsFromLayout(Step.Text, Step.RowLengths, Step.RowEnd, list);
        } else {
            FDocument.WrapTextToList(Step.Text, list);
            if (Step.RowEnd == reWrapped && list.GetCount() > 1 && list.RowView(list.GetCount() - 1).empty())
                list.Delete(list.GetCount() - 1);
            list.SetRowEndKind(list.GetCount() - 1, Step.RowEnd);
        }
        Current.RowCount = list.GetCount();
        FDocument.ReplaceRowsFromList(Step.FirstRow, curRows, list);
    }
    const int last = FDocument.GetCount() - 1;
    if (last >= 0 && FDocument.RowEndKind(last) == reWrapped) FDocument.SetRowEndKind(last, reEndOfText);
    const int tokenCount = FDocument.RetokenizeRows(Step.FirstRow, true);
    FDocument.SetChange(Step.FirstRow, curRows, tokenCount, Current.RowCount);
}

void TEditorUndoObj::Undo() {
    if (UndoList.empty()) return;
    TUndoData& step = *UndoList.back();
    TRestoreBracket bracket(FDocument);
    TUndoData current;
    Restore(step, current);
    // The step turns into its inverse on the redo list.
    step.RowCount = current.RowCount;
    step.RowEnd = current.RowEnd;
    step.Text = std::move(current.Text);
    step.RowLengths = std::move(current.RowLengths);
    AddRedo(step);
    const int row = step.Row, col = step.Col;
    UndoList.pop_back();
    bracket.EndUpdate();
    bracket.PlaceCaret(row, col);
}

void TEditorUndoObj::Redo() {
    if (RedoList.empty()) return;
    TUndoData& step = *RedoList.back();
    TRestoreBracket bracket(FDocument);
    TUndoData current;
    Restore(step, current);
    Redoing = true;
    TUndoData& inverse = NewStep();
    Redoing = false;
    inverse.FirstRow = step.FirstRow;
    inverse.RowCount = current.RowCount;
    inverse.RowEnd = current.RowEnd;
    inverse.Text = std::move(current.Text);
    inverse.RowLengths = std::move(current.RowLengths);
    const int row = step.Row, col = step.Col;
    RedoList.pop_back();
    bracket.EndUpdate();
    bracket.PlaceCaret(row, col);
}

}  // namespace orvane
