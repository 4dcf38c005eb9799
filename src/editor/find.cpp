// Finding text in the editor: the document searched from the caret or the shown hit, and the
// hit shown as the hit style says.
#include "editor/controller.h"

namespace orvane {

TDocumentSearchFrom TEditorController::SearchStart(TSearchOptions Options) const {
    const int count = RowCount();
    const bool shown = FSelectionState == ssSelected || FSelectionState == ssHit;
    // After the selection or hit: the byte after its last one; before it: its first byte.
    if (shown) return (Options & soDown) ? TDocumentSearchFrom{FSelEndRow, FSelEndByte + 1, 0}
                                         : TDocumentSearchFrom{FSelStartRow, FSelStartByte, 0};
    return {FRow, FRow < count ? CaretByte() : 0, 0};
}

bool TEditorController::FindText(std::string_view S, TSearchOptions Options) {
    if (RowCount() == 0 || S.empty()) return false;
    const std::optional<TDocumentHit> hit = SearchDocument(*FDocument, SearchStart(Options), S, Options);
    if (!hit) return false;
    TEditorCaretLock lock(*this);
    DropSelection();
    MoveCaretByOffset(hit->Row, hit->Byte);
    SetHitLength(int(std::min<std::int64_t>(hit->Length, 0x7FFFFFFF)));
    Perform(EM_SCROLLCARET);
    return true;
}

TEditorController::TFindResult TEditorController::FindNextHit(std::string_view S, TSearchOptions Options) {
    if (RowCount() == 0 || S.empty()) return TFindResult::NotFound;
    std::optional<TDocumentHit> hit = SearchDocument(*FDocument, SearchStart(Options), S, Options);
    bool wrapped = false;
    if (!hit) {
        // From the start of the text (searching up: from its end).
        const TDocumentSearchFrom end = (Options & soDown) ? TDocumentSearchFrom{0, 0, 0} : TDocumentSearchFrom{RowCount(), 0, 0};
        hit = SearchDocument(*FDocument, end, S, Options);
        wrapped = true;
    }
    if (!hit) return TFindResult::NotFound;
    TEditorCaretLock lock(*this);
    DropSelection();
    MoveCaretByOffset(hit->Row, hit->Byte);
    SetSelLength(int(std::min<std::int64_t>(hit->Length, 0x7FFFFFFF)));
    Perform(EM_SCROLLCARET);
    return wrapped ? TFindResult::Wrapped : TFindResult::Found;
}

bool TEditorController::FindInSelection(std::string_view S, TSearchOptions Options) {
    if (!Selected() || S.empty()) return false;
    const bool down = Options & soDown;
    auto select = [&](int Offset, std::int64_t Length) {
        TEditorCaretLock lock(*this);
        SetSelStart(Offset);
        SetSelLength(int(std::min<std::int64_t>(Length, 0x7FFFFFFF)));
        Perform(EM_SCROLLCARET);
        return true;
    };
    if (FSelectionMode != smBox) {
        const std::string text = SelText();
        TSearchPos pos{down ? 0 : std::int64_t(text.size()), 0};
        if (!SearchText(text, pos, S, Options)) return false;
        return select(SelStart() + int(pos.Start), pos.Length);
    }
    const int first = FSelStartRow, last = std::min(FSelEndRow, RowCount() - 1);
    for (int k = 0; k <= last - first; ++k) {
        const int row = down ? first + k : last - k;
        int begin = 0, end = 0;
        BoxBytes(row, FDispStartCol, FDispEndCol, begin, end);
        const std::string_view part = FDocument->RowView(row).substr(std::size_t(begin), std::size_t(end - begin));
        TSearchPos pos{down ? 0 : std::int64_t(part.size()), 0};
        if (SearchText(part, pos, S, Options)) return select(OffsetOfByte(0, row, begin + int(pos.Start)), pos.Length);
    }
    return false;
}

}  // namespace orvane
