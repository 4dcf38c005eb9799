// Finding text in the editor: the document searched from the caret or the shown hit, and the
// hit shown as the hit style says.
#include "editor/controller.h"
#include "editor/findtext.h"

namespace orvane {

bool TEditorController::FindText(std::string_view S, TSearchOptions Options) {
    const int count = RowCount();
    if (count == 0 || S.empty()) return false;
    const bool shown = FSelectionState == ssSelected || FSelectionState == ssHit;
    TDocumentSearchFrom from;
    if (Options & soDown) {
        // After the selection or hit: the byte after its last one.
        from = shown ? TDocumentSearchFrom{FSelEndRow, FSelEndByte + 1, 0}
                     : TDocumentSearchFrom{FRow, FRow < count ? CaretByte() : 0, 0};
    } else {
        from = shown ? TDocumentSearchFrom{FSelStartRow, FSelStartByte, 0}
                     : TDocumentSearchFrom{FRow, FRow < count ? CaretByte() : 0, 0};
    }
    const std::optional<TDocumentHit> hit = SearchDocument(*FDocument, from, S, Options);
    if (!hit) return false;
    TEditorCaretLock lock(*this);
    DropSelection();
    MoveCaretByOffset(hit->Row, hit->Byte);
    SetHitLength(int(std::min<std::int64_t>(hit->Length, 0x7FFFFFFF)));
    Perform(EM_SCROLLCARET);
    return true;
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
