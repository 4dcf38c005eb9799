// Row marks: numbered bookmarks on one row at most, other marks on any number of rows, and the
// document's set of marks in use.
#include "editor/controller.h"

namespace orvane {
namespace {

constexpr int kMarkCount = 16;

constexpr TRowMarkSet MarkBit(int Mark) noexcept { return TRowMarkSet(1u << Mark); }

// Those of Marks that a row other than Row carries. The search goes outward from Row, so a mark
// on many rows is found after a few of them and clearing it row by row stays linear.
TRowMarkSet MarksOnOtherRows(const TEditorScreenStrings& Doc, int Row, TRowMarkSet Marks) {
    const int count = Doc.GetCount();
    TRowMarkSet found = 0;
    for (int d = 1; (found & Marks) != Marks && (Row - d >= 0 || Row + d < count); ++d) {
        if (Row - d >= 0) found |= Doc.RowMarkSet(Row - d);
        if (Row + d < count) found |= Doc.RowMarkSet(Row + d);
    }
    return TRowMarkSet(found & Marks);
}

}  // namespace

void TEditorController::AddRowMark(int Row, int Mark) {
    if (Mark < 0 || Mark >= kMarkCount) return;
    const TRowMarkSet bit = MarkBit(Mark);
    if (Mark < 10) {
        // A numbered bookmark is on one row at most: it leaves the row that had it.
        for (int r = 0; r < RowCount(); ++r) {
            if (FDocument->RowMarkSet(r) & bit) {
                SetRowMarkSet(r, TRowMarkSet(FDocument->RowMarkSet(r) & ~bit));
                break;
            }
        }
    }
    if (Row >= 0 && Row < RowCount()) SetRowMarkSet(Row, TRowMarkSet(FDocument->RowMarkSet(Row) | bit));
}

void TEditorController::RemoveRowMark(int Row, int Mark) {
    if (Mark < 0 || Mark >= kMarkCount || Row < 0 || Row >= RowCount()) return;
    SetRowMarkSet(Row, TRowMarkSet(FDocument->RowMarkSet(Row) & ~MarkBit(Mark)));
}

void TEditorController::JumpToRowMark(int Mark) {
    if (Mark < 0 || Mark >= kMarkCount) return;
    const int count = RowCount();
    for (int r = 0; r < count; ++r) {
        if (!(FDocument->RowMarkSet(r) & MarkBit(Mark))) continue;
        if (r < FTopRow || r > FTopRow + FVisibleRowCount - 1) SetTopRow(r - FVisibleRowCount / 2);
        SetRow(r);
        return;
    }
}

TRowMarkSet TEditorController::RowMarkSet(int Row) const {
    return Row >= 0 && Row < RowCount() ? FDocument->RowMarkSet(Row) : TRowMarkSet(0);
}

void TEditorController::SetRowMarkSet(int Row, TRowMarkSet Value) {
    if (Row < 0 || Row >= RowCount()) return;
    const TRowMarkSet old = FDocument->RowMarkSet(Row);
    if (old == Value) return;
    FDocument->IncludeMarks(TRowMarkSet(Value & ~old));
    FDocument->SetRowMarkSet(Row, Value);
    // A mark still on another row stays in use (marks 10..15 may be on several rows).
    const TRowMarkSet removed = TRowMarkSet(old & ~Value);
    if (removed) FDocument->ExcludeMarks(TRowMarkSet(removed & ~MarksOnOtherRows(*FDocument, Row, removed)));
    if (FImagebar.Visible() && Row >= FTopRow && Row <= FTopRow + FVisibleRowCount)
        Invalidate({0, TextTop() + (Row - FTopRow) * FRowHeight, ImagebarWidth(), FRowHeight});
}

}  // namespace orvane
