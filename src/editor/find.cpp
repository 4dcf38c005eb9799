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

}  // namespace orvane
