// The undo and redo lists.
#include "engine/undo.h"

#include "engine/document.h"

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
    CaretOf(FDocument, *redo);
    RedoList.push_back(std::move(redo));
}

void TEditorUndoObj::Clear() {
    UndoList.clear();
    RedoList.clear();
}

void TEditorUndoObj::Restore(const TUndoData& Step, std::string& CurText, int& NewRows, TRowEndKind& CurEnd) {
    int curRows = 0;
    CurText.clear();
    CurEnd = reNoRows;
    if (Step.RowCount > 0) FDocument.GetRowsText(Step.FirstRow, Step.RowCount, CurEnd, curRows, CurText);
    if (Step.RowEnd == reNoRows) {
        // The step had only inserted rows: they go, and their marks stay with the text after.
        const TRowMarkSet marks = FDocument.DeleteRows(Step.FirstRow, curRows);
        if (FDocument.GetCount() == 0) {
            FDocument.ExcludeMarks(marks);
        } else if (marks) {
            const int to = std::min(Step.FirstRow, FDocument.GetCount() - 1);
            FDocument.SetRowMarkSet(to, FDocument.RowMarkSet(to) | marks);
        }
        NewRows = 0;
    } else {
        TEditorStringList list;
        FDocument.WrapTextToList(Step.Text, list);
        if (Step.RowEnd == reWrapped && list.GetCount() > 1 && list.RowView(list.GetCount() - 1).empty())
            list.Delete(list.GetCount() - 1);
        list.SetRowEndKind(list.GetCount() - 1, Step.RowEnd);
        NewRows = list.GetCount();
        FDocument.ReplaceRowsFromList(Step.FirstRow, curRows, list);
    }
    const int last = FDocument.GetCount() - 1;
    if (last >= 0 && FDocument.RowEndKind(last) == reWrapped) FDocument.SetRowEndKind(last, reEndOfText);
    const int tokenCount = FDocument.RetokenizeRows(Step.FirstRow, true);
    FDocument.SetChange(Step.FirstRow, curRows, tokenCount, NewRows);
}

void TEditorUndoObj::Undo() {
    if (UndoList.empty()) return;
    TUndoData& step = *UndoList.back();
    TRestoreBracket bracket(FDocument);
    std::string curText;
    int newRows = 0;
    TRowEndKind curEnd = reNoRows;
    Restore(step, curText, newRows, curEnd);
    step.RowCount = newRows;
    step.RowEnd = curEnd;
    step.Text = std::move(curText);
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
    std::string curText;
    int newRows = 0;
    TRowEndKind curEnd = reNoRows;
    Restore(step, curText, newRows, curEnd);
    Redoing = true;
    TUndoData& inverse = NewStep();
    Redoing = false;
    inverse.FirstRow = step.FirstRow;
    inverse.RowCount = newRows;
    inverse.RowEnd = curEnd;
    inverse.Text = std::move(curText);
    const int row = step.Row, col = step.Col;
    RedoList.pop_back();
    bracket.EndUpdate();
    bracket.PlaceCaret(row, col);
}

}  // namespace orvane
