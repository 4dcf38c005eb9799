// Replacing hits in the editor: one hit, or all of them (from the caret or inside the selection)
// as one change of the document.
#include "editor/controller.h"

#include <algorithm>

namespace orvane {

namespace {

// The document's text as the search sees it (each row, CR LF after a row that ends a line) and
// the offset of each row's start in it, then the text's size.
std::string JoinedRows(const TEditorScreenStrings& D, std::vector<std::size_t>& Starts) {
    std::string text;
    text.reserve(D.GetTextLen());
    Starts.clear();
    Starts.reserve(std::size_t(D.GetCount()) + 1);
    for (int r = 0; r < D.GetCount(); ++r) {
        Starts.push_back(text.size());
        text += D.RowView(r);
        if (D.RowEndKind(r) == reLineBreak) text += "\r\n";
    }
    Starts.push_back(text.size());
    return text;
}

// The row that holds byte At (the last row for the text's end).
int RowOf(const std::vector<std::size_t>& Starts, std::size_t At) {
    const auto it = std::upper_bound(Starts.begin(), Starts.end() - 1, At);
    return std::max(int(it - Starts.begin()) - 1, 0);
}

}  // namespace

bool TEditorController::ShownRange(const std::vector<std::size_t>& Starts, TByteRange& Range) const {
    if (FSelectionState != ssSelected && FSelectionState != ssHit) return false;
    const int count = RowCount();
    if (FSelectionMode == smBox || FSelStartRow >= count) return false;
    Range.Start = Starts[std::size_t(FSelStartRow)] + std::size_t(FSelStartByte);
    // The end byte is the last one covered (-1: the range ends where its end row starts, which
    // is the text's end for the row after its last line break); one that stands on the CR of a
    // line break covers the LF too.
    const int endRow = std::min(FSelEndRow, count);
    std::size_t end = Starts[std::size_t(endRow)] + std::size_t(std::max(FSelEndByte + 1, 0));
    if (endRow < count) {
        const std::size_t rowEnd = Starts[std::size_t(endRow) + 1];
        if (FDocument->RowEndKind(endRow) == reLineBreak && end == rowEnd - 1) end = rowEnd;
        end = std::min(end, rowEnd);
    }
    Range.End = std::min(end, Starts.back());
    return Range.End > Range.Start;
}

void TEditorController::StartReplaceAtShown(TSearchOptions Options) {
    std::vector<std::size_t> starts;
    const std::string text = JoinedRows(*FDocument, starts);
    TByteRange shown;
    if (!ShownRange(starts, shown)) return;
    const std::size_t at = (Options & soDown) ? shown.Start : shown.End;
    const int row = RowOf(starts, at);
    TEditorCaretLock lock(*this);
    DropSelection();
    MoveCaretByOffset(row, int(at - starts[std::size_t(row)]));
}

void TEditorController::ReplaceRanges(const std::string& Text, const std::vector<std::size_t>& Starts,
                                             std::vector<TByteRange> Hits, std::string_view R) {
    std::sort(Hits.begin(), Hits.end(), [](const TByteRange& A, const TByteRange& B) { return A.Start < B.Start; });
    const int first = RowOf(Starts, Hits.front().Start);
    const int last = RowOf(Starts, Hits.back().End - 1);
    const std::size_t from = Starts[std::size_t(first)];
    std::string text;
    std::size_t at = from;
    for (const TByteRange& h : Hits) {
        text.append(Text, at, h.Start - at);
        text += R;
        at = h.End;
    }
    text.append(Text, at, Starts[std::size_t(last) + 1] - at);
    TEditorCaretLock lock(*this);
    DropSelection();
    FDocument->ReplaceRows(first, last - first + 1, text);
}

bool TEditorController::ReplaceHit(std::string_view R, TSearchOptions Options) {
    if (FReadOnly) return false;
    std::vector<std::size_t> starts;
    const std::string text = JoinedRows(*FDocument, starts);
    TByteRange shown;
    if (!ShownRange(starts, shown)) return false;
    const int base = EditBase(RowOf(starts, shown.Start));
    const std::size_t caret = shown.Start - starts[std::size_t(base)] + ((Options & soDown) ? R.size() : 0);
    ReplaceRanges(text, starts, {shown}, R);
    TEditorCaretLock lock(*this);
    MoveCaretByOffset(base, int(caret));
    return true;
}

int TEditorController::ReplaceAll(std::string_view S, std::string_view R, TSearchOptions Options, bool InSelection) {
    return ReplaceIn(InSelection ? TReplaceScope::Selection : TReplaceScope::FromCaret, S, R, Options);
}

int TEditorController::ReplaceAllInText(std::string_view S, std::string_view R, TSearchOptions Options) {
    return ReplaceIn(TReplaceScope::Text, S, R, TSearchOptions(Options | soDown));
}

int TEditorController::ReplaceIn(TReplaceScope Scope, std::string_view S, std::string_view R, TSearchOptions Options) {
    if (S.empty() || FReadOnly || RowCount() == 0) return 0;
    const bool InSelection = Scope == TReplaceScope::Selection;
    std::vector<std::size_t> starts;
    const std::string text = JoinedRows(*FDocument, starts);
    TByteRange scope{0, text.size()};
    TByteRange shown;
    const bool hasShown = ShownRange(starts, shown);
    if (Scope == TReplaceScope::Text) {
        // the whole text
    } else if (InSelection) {
        if (!hasShown) return 0;
        scope = shown;
    } else if (hasShown) {
        if (Options & soDown) scope.Start = shown.Start;
        else scope.End = shown.End;
    } else {
        const std::size_t caret = FRow < RowCount() ? starts[std::size_t(FRow)] + std::size_t(CaretByte()) : text.size();
        if (Options & soDown) scope.Start = caret;
        else scope.End = caret;
    }
    const TSearchPattern pattern(S, Options);
    const TSearchWindow window{text, true, true, true};
    std::vector<TByteRange> hits;
    if (InSelection || (Options & soDown)) {
        for (std::size_t from = scope.Start; from < scope.End;) {
            const TWindowResult r = pattern.Forward(window, from);
            if (r.Kind != TWindowResult::Hit || r.End > scope.End) break;
            hits.push_back({r.Start, r.End});
            from = std::max(r.End, r.Start + 1);
        }
    } else {
        // Each search looks before the start of the previous hit, in the text as it was.
        for (std::size_t before = scope.End; before > scope.Start;) {
            const TWindowResult r = pattern.Backward(window, before, before);
            if (r.Kind != TWindowResult::Hit || r.Start < scope.Start) break;
            hits.push_back({r.Start, r.End});
            before = r.Start;
        }
    }
    if (hits.empty()) return 0;
    const int count = int(hits.size());
    // Where the caret goes: after the last replacement, before the topmost one upwards, and the
    // selection over the whole replaced scope.
    std::size_t growth = 0;
    for (const TByteRange& h : hits) growth += R.size() - (h.End - h.Start);  // modular: may shrink
    const TByteRange lastHit = hits.back();  // the last one found: the bottom one, upwards the top one
    const int firstRow = RowOf(starts, std::min(hits.front().Start, hits.back().Start));
    const int base = EditBase(firstRow);
    const std::size_t baseStart = starts[std::size_t(base)];
    std::size_t caret;  // bytes after the start of row `base`, in the new text
    if (InSelection) {
        caret = scope.Start - baseStart;
    } else if (Options & soDown) {
        caret = lastHit.End + growth - baseStart;  // after the last replacement
    } else {
        caret = lastHit.Start - baseStart;  // the topmost hit: nothing before it changed
    }
    ReplaceRanges(text, starts, std::move(hits), R);
    TEditorCaretLock lock(*this);
    MoveCaretByOffset(base, int(caret));
    if (InSelection) {
        SetSelStart(int(scope.Start));
        SetSelLength(int(scope.End - scope.Start + growth));
    }
    return count;
}

}  // namespace orvane
