// The document: rows after word wrap, the edit primitive, marks, and the attached editors.
#include "document/document.h"

#include "base/faults.h"
#include "base/scope.h"
#include "document/bytestrings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace orvane {
namespace {

// Closes an update bracket on every exit.
class TUpdateGuard {
public:
    explicit TUpdateGuard(TStrings& Strings) : FStrings(Strings) { FStrings.BeginUpdate(); }
    ~TUpdateGuard() { FStrings.EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    TStrings& FStrings;
};

// Without a syntax mode rows hold no tokenizer state: changed rows are left not computed.
class TPlainTokenizer : public TDocumentTokenizer {
public:
    int RetokenizeRows(TEditorScreenStrings&, int, bool) override { return 0; }
    void TokenizeAllRows(TEditorScreenStrings& Document) override { InvalidateRowsFrom(Rows(Document), 0); }
};

// Texts this long are wrapped into arena chunks rather than one heap block per row.
constexpr std::size_t kBulkText = 64 * 1024;

}  // namespace

TEditorScreenStrings::TEditorScreenStrings()
    : FUndoEngine(std::make_unique<TEditorUndoObj>(*this)),
      FWrapOption(std::make_unique<TEditorWrapOption>()),
      FTokenizer(std::make_unique<TPlainTokenizer>()) {
    FWrapOption->OnChange = [this](TObject* Sender) { WrapOptionChanged(Sender); };
    OnChange = [this](TObject*) { NotifyEditors(); };
}

TEditorScreenStrings::~TEditorScreenStrings() {
    OnChange = nullptr;
    OnChanging = nullptr;
    FWrapOption->OnChange = nullptr;
}

TRowAttributeStringList& TDocumentTokenizer::Rows(TEditorScreenStrings& Document) noexcept { return Document; }

// ---- editors

void TEditorScreenStrings::AttachEditor(IDocumentView* Editor) { FEditors.push_back(Editor); }

void TEditorScreenStrings::DetachEditor(IDocumentView* Editor) {
    auto it = std::find(FEditors.begin(), FEditors.end(), Editor);
    if (it != FEditors.end()) FEditors.erase(it);
}

IDocumentView* TEditorScreenStrings::FocusedEditor() const noexcept {
    for (IDocumentView* editor : FEditors)
        if (editor->Focused()) return editor;
    return MainEditor();
}

TColumnLayout TEditorScreenStrings::Layout() const {
    TColumnLayout layout;
    if (const IDocumentView* main = MainEditor()) {
        layout.TabSpaceCount = main->TabSpaceCount();
        layout.Delimiters = &main->WordDelimiters();
    }
    layout.WordWrap = FWordWrap;
    layout.WrapByte = FWrapOption->WrapByte();
    return layout;
}

bool TEditorScreenStrings::Loading() const {
    const IDocumentView* main = MainEditor();
    return main && main->Loading();
}

// ---- change record and update brackets

void TEditorScreenStrings::SetChange(int Row, int OldCount, int TokenCount, int NewCount) {
    DropLineHintFrom(Row);
    FChangeRow = Row;
    FChangeOldCount = OldCount;
    FChangeTokenCount = TokenCount;
    FChangeNewCount = NewCount;
    FChangeFlag = true;
}

void TEditorScreenStrings::SetUpdateState(bool Updating) {
    TEditorStringList::SetUpdateState(Updating);
    if (!Updating && UpdateCount() == 0) {
        // The views have seen the record through OnChange; it ends with the bracket.
        FChangeRow = FChangeOldCount = FChangeNewCount = FChangeTokenCount = 0;
        FChangeFlag = false;
        ClampAllCarets();
#ifndef NDEBUG
        // While a sliced load appends rows, the whole is checked once, when it ends.
        const std::string fault = FLayingOut ? std::string() : InvariantFault();
        if (!fault.empty()) {
            std::fprintf(stderr, "document invariant broken: %s\n", fault.c_str());
            std::abort();
        }
#endif
    }
}

std::string TEditorScreenStrings::InvariantFault() const {
    const int count = GetCount();
    int lineEnds = 0;
    for (int r = 0; r < count; ++r) {
        const TRowEndKind end = RowEndKind(r);
        if (end == reNoRows || (end == reEndOfText && r != count - 1))
            return "row " + std::to_string(r) + " of " + std::to_string(count) + " has end kind " +
                   std::to_string(int(end));
        if (end != reWrapped) ++lineEnds;
    }
    if (count > 0 && RowEndKind(count - 1) == reWrapped) return "the last row is wrapped";
    if (lineEnds != LineEndCount())
        return "LineEndCount " + std::to_string(LineEndCount()) + " for " + std::to_string(lineEnds) + " line ends";
    for (int r = ComputedEnd(); r < count; ++r)
        if (OpenBracket(r) != -2)
            return "row " + std::to_string(r) + " holds a state after ComputedEnd " + std::to_string(ComputedEnd());
    if (FHintRow != 0 || FHintLine != 0) {
        if (FHintRow < 0 || FHintRow >= count || (FHintRow > 0 && RowEndKind(FHintRow - 1) == reWrapped))
            return "the line hint row " + std::to_string(FHintRow) + " is not a line start";
        int line = 0;
        for (int r = 0; r < FHintRow; ++r)
            if (RowEndKind(r) != reWrapped) ++line;
        if (line != FHintLine)
            return "the line hint names line " + std::to_string(FHintLine) + " for row " + std::to_string(FHintRow) +
                   " of line " + std::to_string(line);
    }
    return {};
}

// ---- navigation

int TEditorScreenStrings::FirstRowOfLine(int Row) const {
    if (Row > GetCount()) return Row;
    while (Row > 0 && RowEndKind(Row - 1) == reWrapped) --Row;
    return Row;
}

int TEditorScreenStrings::LastRowOfLine(int Row) const {
    const int count = GetCount();
    if (Row < 0 || Row >= count) return Row;
    while (Row < count - 1 && RowEndKind(Row) == reWrapped) ++Row;
    return Row;
}

void TEditorScreenStrings::GetRowsText(int Row, int Count, TRowEndKind& EndKind, int& Rows, std::string& Text,
                                       std::vector<std::uint32_t>* RowLengths) const {
    Text.clear();
    Rows = 0;
    EndKind = reNoRows;
    if (RowLengths) RowLengths->clear();
    const int count = GetCount();
    if (Row < 0 || Row >= count) return;
    const int last = Count < 0 ? LastRowOfLine(Row) : std::min(Row + Count, count) - 1;
    std::size_t total = 0;
    for (int r = Row; r <= last; ++r) total += RowView(r).size() + 2;
    Text.reserve(total);
    const bool layout = RowLengths && FWordWrap;
    for (int r = Row; r <= last; ++r) {
        const std::string_view row = RowView(r);
        Text += row;
        EndKind = RowEndKind(r);
        if (EndKind == reLineBreak) Text += "\r\n";
        if (layout) RowLengths->push_back(std::uint32_t(row.size()) | (EndKind == reWrapped ? kWrappedRowBit : 0));
    }
    Rows = last - Row + 1;
}

void TEditorScreenStrings::RowsFromLayout(std::string_view Text, const std::vector<std::uint32_t>& RowLengths,
                                          TRowEndKind EndKind, TEditorStringList& List) {
    List.Clear();
    std::size_t at = 0;
    for (const std::uint32_t entry : RowLengths) {
        const std::string_view row = Text.substr(std::min(at, Text.size()), entry & ~kWrappedRowBit);
        at += row.size();
        TRowEndKind end = reWrapped;
        if (!(entry & kWrappedRowBit)) {
            end = reLineBreak;
            if (Text.compare(std::min(at, Text.size()), 2, "\r\n") == 0) at += 2;
        }
        List.AppendRow(row, end, 0, nullptr);
    }
    if (List.GetCount() > 0) List.SetRowEndKind(List.GetCount() - 1, EndKind);
}

std::string TEditorScreenStrings::RowTextWithBreak(int Row) const {
    std::string text(RowView(Row));
    if (RowEndKind(Row) == reLineBreak) text += "\r\n";
    return text;
}

int TEditorScreenStrings::LastAllowedRow() const {
    const int count = GetCount();
    if (count == 0) return 0;
    return RowEndKind(count - 1) == reEndOfText ? count - 1 : count;
}

// ---- logical lines

namespace {

// How far back a line hint is walked to keep it before a change; further away it is reset.
constexpr int kHintWalkBack = 256;

}  // namespace

void TEditorScreenStrings::CheckLineHint() const {
    // A cheap guard in every build; debug builds check the hint in full (InvariantFault).
    if (FHintRow < 0 || FHintRow >= GetCount() || FHintLine < 0 || FHintLine >= LineCount() ||
        (FHintRow > 0 && RowEndKind(FHintRow - 1) == reWrapped))
        FHintRow = FHintLine = 0;
}

void TEditorScreenStrings::ForgetLinesFrom(int Row) const {
    if (FHintRow < Row) return;
    if (FHintRow - Row > kHintWalkBack || Row <= 0) {
        FHintRow = FHintLine = 0;
        return;
    }
    CheckLineHint();
    while (FHintRow >= Row && FHintRow > 0) {
        FHintRow = FirstRowOfLine(FHintRow - 1);
        --FHintLine;
    }
}

int TEditorScreenStrings::LineToRow(int Line) const {
    const int lines = LineCount();
    if (Line < 0 || Line > lines) ThrowListIndexError();
    if (Line == lines) return GetCount();
    // Without word wrap a row is a line (but while word wrap goes off, rows are still wrapped).
    if (!FWordWrap && lines == GetCount()) return Line;
    CheckLineHint();
    int row = 0, line = 0;
    const int fromHint = std::abs(Line - FHintLine);
    if (fromHint <= Line && fromHint <= lines - Line) {
        row = FHintRow;
        line = FHintLine;
    } else if (Line > lines - Line) {
        row = GetCount();
        line = lines;
    }
    for (; line < Line; ++line) row = LastRowOfLine(row) + 1;
    for (; line > Line; --line) row = FirstRowOfLine(row - 1);
    FHintRow = row;
    FHintLine = line;
    return row;
}

int TEditorScreenStrings::RowToLineCount(int Rows) const {
    const int count = GetCount();
    Rows = std::clamp(Rows, 0, count);
    if (!FWordWrap && LineEndCount() == count) return Rows;
    if (Rows == count) return LineCount() - (count > 0 && RowEndKind(count - 1) != reLineBreak ? 1 : 0);
    CheckLineHint();
    // Find the start of the line that holds row Rows; the lines before it all end with a break.
    int row = 0, line = 0;
    const int fromHint = std::abs(Rows - FHintRow);
    if (fromHint <= Rows && fromHint <= count - Rows) {
        row = FHintRow;
        line = FHintLine;
    } else if (Rows > count - Rows) {
        row = count;
        line = LineCount();
    }
    while (row > Rows) {
        row = FirstRowOfLine(row - 1);
        --line;
    }
    for (int next = LastRowOfLine(row) + 1; next <= Rows; next = LastRowOfLine(row) + 1) {
        row = next;
        ++line;
    }
    FHintRow = row;
    FHintLine = line;
    return line;
}

// ---- editing

void TEditorScreenStrings::ReplaceRows(int Row, int Count, std::string_view Text) {
    if (FLayingOut) return;
    const int count = GetCount();
    if (Row < 0 || Count < 0 || Row + Count > count || (Count == 0 && Text.empty())) return;
    if (Row == count && count > 0 && RowEndKind(count - 1) != reLineBreak) {
        // Appending after a last row without a line break: that row gets the break first.
        std::string joined(RowView(count - 1));
        joined += "\r\n";
        joined += Text;
        ReplaceRows(count - 1, 1, joined);
        return;
    }
    // Everything that can fail comes first: the undo step, the new rows, room for them. Then the
    // step is recorded and the rows swapped in, which cannot fail.
    const int first = std::max(FirstRowOfLine(Row), Row - 1);
    const int lastOld = Row + Count - 1;
    int last = LastRowOfLine(lastOld);
    std::unique_ptr<TUndoData> step = FUndoEngine->NewStep();

    if (first == Row && last == lastOld && Text.empty() && Count > 0) {
        // Whole lines go.
        step->FirstRow = Row;
        int rows = 0;
        GetRowsText(Row, Count, step->RowEnd, rows, step->Text, &step->RowLengths);
        step->RowCount = 0;
        FaultPoint();
        FUndoEngine->AddStep(std::move(step));
        TUpdateGuard update(*this);
        RemoveLines(Row, Count);
        FinishChange(Row, Count, 0);
        return;
    }

    TRowEndKind endKind;
    if (lastOld < last) {
        endKind = RowEndKind(last);  // the change ends inside a wrapped line
    } else if (last != count - 1) {
        last = LastRowOfLine(last + 1);  // the following line is rebuilt too
        endKind = RowEndKind(last);
    } else {
        endKind = EndsWithLineBreak(Text) ? reLineBreak : reEndOfText;
    }
    step->FirstRow = first;
    int oldRows = 0;
    GetRowsText(first, last - first + 1, step->RowEnd, oldRows, step->Text, &step->RowLengths);
    FaultPoint();

    std::string text;
    for (int r = first; r < Row; ++r) text += RowTextWithBreak(r);
    text += Text;
    for (int r = lastOld + 1; r <= last; ++r) text += RowTextWithBreak(r);
    FaultPoint();

    TEditorStringList list;
    WrapTextToList(text, list);
    list.SetRowEndKind(list.GetCount() - 1, endKind);
    const int newCount = list.GetCount();
    step->RowCount = newCount;
    const TRowSwap swap = PrepareRowsFromList(first, oldRows, list);

    FUndoEngine->AddStep(std::move(step), oldRows);
    TUpdateGuard update(*this);
    ReplaceRowsFromList(swap);
    NormalizeLastRow();
    FinishChange(first, oldRows, newCount);
}

void TEditorScreenStrings::FinishChange(int Row, int OldCount, int NewCount) {
    // The record first: the views hear of the change even when the tokenizer fails.
    SetChange(Row, OldCount, 0, NewCount);
    FChangeTokenCount = RetokenizeRows(Row, true);
}

TEditorScreenStrings::TRowSwap TEditorScreenStrings::PrepareRowsFromList(int Row, int OldCount,
                                                                         const TEditorStringList& List) {
    TRowSwap swap;
    swap.Row = Row;
    swap.OldCount = OldCount;
    swap.List = &List;
    const int newCount = List.GetCount();
    swap.Marks.assign(std::size_t(std::max(newCount, 0)), 0);
    std::vector<TRowMarkSet>& carried = swap.Marks;
    if (newCount < OldCount) {
        // The first old rows go; the remaining ones hand their marks to the new rows in order.
        const int gone = OldCount - newCount;
        TRowMarkSet removed = 0;
        for (int r = Row; r < Row + gone; ++r) removed |= RowMarkSet(r);
        for (int i = 0; i < newCount; ++i) carried[std::size_t(i)] = RowMarkSet(Row + gone + i);
        if (newCount == 0)
            swap.Dropped = removed;
        else
            carried[0] |= removed;
    } else if (newCount > OldCount) {
        const int grow = newCount - OldCount;
        // Old rows after the first keep their distance from the end of the block.
        for (int k = 1; k < OldCount; ++k) carried[std::size_t(k + grow)] = RowMarkSet(Row + k);
        if (OldCount > 0) {
            // A line break typed at column 0 pushes the first row's marks down with its text.
            const IDocumentView* focused = FocusedEditor();
            const bool atColumn0 = focused && focused->CaretCol() == 0;
            carried[std::size_t(atColumn0 ? grow : 0)] |= RowMarkSet(Row);
        }
        Reserve(GetCount() + grow);
    } else {
        for (int i = 0; i < newCount; ++i) carried[std::size_t(i)] = RowMarkSet(Row + i);
    }
    for (int i = 0; i < newCount; ++i) carried[std::size_t(i)] |= List.RowMarkSet(i);
    FaultPoint();
    return swap;
}

void TEditorScreenStrings::ReplaceRowsFromList(const TRowSwap& Swap) noexcept {
    const int Row = Swap.Row;
    const int newCount = Swap.List->GetCount();
    ForgetLinesFrom(Row);
    if (newCount < Swap.OldCount)
        DeleteItems(Row, Swap.OldCount - newCount);
    else if (newCount > Swap.OldCount)
        InsertItems(Row + Swap.OldCount, newCount - Swap.OldCount);  // room was reserved
    for (int i = 0; i < newCount; ++i) {
        CopyRow(Row + i, *Swap.List, i);
        SetRowMarkSet(Row + i, Swap.Marks[std::size_t(i)]);
    }
    if (newCount == 0) ExcludeMarks(Swap.Dropped);
}

TRowMarkSet TEditorScreenStrings::DeleteRows(int Row, int Count) noexcept {
    const int count = GetCount();
    if (Row < 0 || Row > count - 1 || Count <= 0) return 0;
    ForgetLinesFrom(Row);
    Count = std::min(Count, count - Row);
    TRowMarkSet marks = 0;
    for (int r = Row; r < Row + Count; ++r) marks |= RowMarkSet(r);
    DeleteItems(Row, Count);
    return marks;
}

void TEditorScreenStrings::RemoveLines(int Row, int Count) noexcept {
    const TRowMarkSet marks = DeleteRows(Row, Count);
    if (GetCount() == 0) {
        ExcludeMarks(marks);
    } else if (marks) {
        const int to = std::min(Row, GetCount() - 1);
        SetRowMarkSet(to, RowMarkSet(to) | marks);
    }
    NormalizeLastRow();
}

void TEditorScreenStrings::NormalizeLastRow() noexcept {
    const int count = GetCount();
    if (count > 0 && RowEndKind(count - 1) == reWrapped) SetRowEndKind(count - 1, reEndOfText);
}

void TEditorScreenStrings::Insert(int Index, std::string_view S) {
    ForgetLinesFrom(Index);
    TEditorStringList::Insert(Index, S);
}

void TEditorScreenStrings::Delete(int Index) {
    ForgetLinesFrom(Index);
    TEditorStringList::Delete(Index);
}

void TEditorScreenStrings::Exchange(int Index1, int Index2) {
    ForgetLinesFrom(std::min(Index1, Index2));
    TEditorStringList::Exchange(Index1, Index2);
}

void TEditorScreenStrings::Clear() {
    FLayingOut = false;  // a sliced load of the old text adds no more rows
    ++FTextGeneration;
    FHintRow = FHintLine = 0;
    DropAllSelections();
    FUndoEngine->Clear();
    SetChange(0, GetCount(), 0, 0);
    TEditorStringList::Clear();
    FChangeRow = FChangeOldCount = FChangeNewCount = FChangeTokenCount = 0;
    FChangeFlag = false;
    for (IDocumentView* editor : FEditors) editor->SetCaretRowCol(0, 0);
    FMarksInUse = 0;
}

void TEditorScreenStrings::SetText(std::string_view Text) {
    TDocumentTextLoader loader(*this);
    loader.Append(Text);
    loader.Finish();
}

void TEditorScreenStrings::AdoptText(std::string&& Text) {
    TDocumentTextLoader loader(*this);
    loader.Adopt(std::move(Text));
    loader.Finish();
}

void TEditorScreenStrings::SetRows(TEditorStringList& List) {
    List.ShrinkToFit();  // the last step that can fail: the document is still as it was
    TUpdateGuard update(*this);
    const int oldCount = GetCount();
    Clear();
    FHintRow = FHintLine = 0;
    SwapRows(List);
    NormalizeLastRow();
    SetChange(0, oldCount, 0, GetCount());
    TScopeExit refresh([this] { RefreshAllEditors(); });
    TokenizeAllRows();
}

std::uint64_t TEditorScreenStrings::AppendLaidOutRows(TEditorStringList& List, std::uint64_t Generation,
                                                     int ExpectedRows) {
    if (Generation == 0) {
        SetRows(List);
        FLayingOut = true;
        return FTextGeneration;
    }
    if (Generation != FTextGeneration || !FLayingOut) {
        List.Clear();
        return Generation;
    }
    const int at = GetCount(), n = List.GetCount();
    if (n == 0) return Generation;
    Reserve(std::max(ExpectedRows, at + n));
    {
        TUpdateGuard update(*this);  // the views' scroll ranges follow; no change of text is recorded
        InsertItems(at, n);
        for (int i = 0; i < n; ++i) CopyRow(at + i, List, i);
    }
    List.Clear();
    for (IDocumentView* editor : FEditors) {
        const int rowHeight = editor->RowHeight();
        const int shownEnd = rowHeight > 0 ? editor->TopRow() + editor->ScreenHeight() / rowHeight + 1 : at + 1;
        if (at < shownEnd) editor->RefreshView();
    }
    return Generation;
}

void TEditorScreenStrings::EndLayout(std::uint64_t Generation, bool EndsWithBreak) {
    if (Generation != FTextGeneration || !FLayingOut) return;
    FLayingOut = false;
    const int count = GetCount();
    const bool endOfText = !EndsWithBreak && count > 0 && RowEndKind(count - 1) != reEndOfText;
    {
        TUpdateGuard update(*this);  // checks the whole in debug builds
        if (endOfText) SetRowEndKind(count - 1, reEndOfText);
    }
    if (endOfText) RefreshAllEditors();
}

// ---- TDocumentTextLoader

TDocumentTextLoader::TDocumentTextLoader(TEditorScreenStrings& Document) : FDocument(Document) { UseDocumentLayout(); }

TDocumentTextLoader::~TDocumentTextLoader() {
    if (!FSliced || FFinished) return;
    // Abandoned: the rows handed over stay, every one ending its line.
    try {
        FDocument.EndLayout(FGeneration, true);
    } catch (...) {
    }
}

void TDocumentTextLoader::UseDocumentLayout() {
    FLayout = FDocument.Layout();
    if (FDocument.WordWrap() && !FDocument.Loading())
        FWrapper = std::make_unique<TLineWrapper>(FDocument.WrapOption(), FLayout);
    else
        FWrapper.reset();
}

void TDocumentTextLoader::AdoptPiece(std::string&& Piece) {
    UseDocumentLayout();  // word wrap may have been switched meanwhile
    FBytes += Piece.size();
    FBuffer = std::make_unique<TRowTextBuffer>(std::move(Piece));
    Append(FBuffer->Text());
}

void TDocumentTextLoader::Flush(std::uint64_t ExpectedSize) {
    if (FFinished) return;
    int expected = 0;
    if (ExpectedSize > FBytes && FBytes > 0) {
        // As many rows per byte as so far, and a little more.
        const double rows = double((FSliced ? FDocument.GetCount() : 0) + FRows.GetCount());
        expected = int(std::min(rows * double(ExpectedSize) / double(FBytes) * 1.05, double(0x7FFFFFFF)));
    }
    FGeneration = FDocument.AppendLaidOutRows(FRows, FSliced ? FGeneration : 0, expected);
    FSliced = true;
}

void TDocumentTextLoader::AddLine(std::string_view Line) {
    // Lines of an adopted text are slices of it; others are packed into the arena.
    const bool adopted = FBuffer && !Line.empty() && Line.data() >= FBuffer->Text().data() &&
                         Line.data() + Line.size() <= FBuffer->Text().data() + FBuffer->Text().size();
    auto add = [&](std::string_view text, TRowEndKind end) {
        if (adopted)
            FRows.AppendRow(text, end, 0, *FBuffer);
        else
            FRows.AppendRow(text, end, 0, &FArena);
    };
    if (!FWrapper) {
        add(Line, reLineBreak);
        return;
    }
    FWrapper->Wrap(Line, FCuts);
    for (const auto& cut : FCuts) add(Line.substr(cut.Offset, cut.Length), cut.Wrapped ? reWrapped : reLineBreak);
}

void TDocumentTextLoader::Adopt(std::string&& Text) {
    FBuffer = std::make_unique<TRowTextBuffer>(std::move(Text));
    const std::string_view text = FBuffer->Text();
    FRows.SetCapacity(FRows.GetCount() + int(std::min<std::size_t>(CountLines(text), 0x7FFFFFFF)));
    Append(text);
}

void TDocumentTextLoader::Append(std::string_view Piece) {
    if (Piece.empty()) return;
    std::size_t at = 0;
    if (FAfterCR && Piece[0] == '\n') at = 1;
    FAfterCR = false;
    while (at < Piece.size()) {
        std::size_t end = std::size_t(FindLineBreak(Piece.data() + at, Piece.data() + Piece.size()) - Piece.data());
        if (end == Piece.size()) {
            FPending.append(Piece.substr(at));
            FEndsWithBreak = false;
            return;
        }
        if (FPending.empty()) {
            AddLine(Piece.substr(at, end - at));
        } else {
            FPending.append(Piece.substr(at, end - at));
            AddLine(FPending);
            FPending.clear();
        }
        FEndsWithBreak = true;
        if (Piece[end] == '\r') {
            ++end;
            if (end == Piece.size()) FAfterCR = true;
            else if (Piece[end] == '\n') ++end;
        } else {
            ++end;
        }
        at = end;
    }
}

void TDocumentTextLoader::Finish() {
    if (FFinished) return;
    if (!FPending.empty()) {
        AddLine(FPending);
        FPending.clear();
    }
    if (FSliced) {
        Flush();
        FFinished = true;
        FDocument.EndLayout(FGeneration, FEndsWithBreak);
        return;
    }
    FFinished = true;
    if (FRows.GetCount() > 0 && !FEndsWithBreak) FRows.SetRowEndKind(FRows.GetCount() - 1, reEndOfText);
    FDocument.SetRows(FRows);
}

std::size_t TEditorScreenStrings::GetTextLen() const {
    std::size_t total = 0;
    const int count = GetCount();
    for (int r = 0; r < count; ++r) total += RowView(r).size() + (RowEndKind(r) == reLineBreak ? 2 : 0);
    return total;
}

std::string TEditorScreenStrings::GetText() const {
    std::string text;
    text.reserve(GetTextLen());
    const int count = GetCount();
    for (int r = 0; r < count; ++r) {
        text += RowView(r);
        if (RowEndKind(r) == reLineBreak) text += "\r\n";
    }
    return text;
}

// ---- word wrap

void TEditorScreenStrings::WrapTextToList(std::string_view Text, TEditorStringList& List) {
    List.BeginUpdate();
    List.Clear();
    if (Text.empty()) {
        List.AppendRow({}, reLineBreak, 0, nullptr);
    } else if (!FWordWrap) {
        List.AssignLines(Text);
    } else {
        TRowTextArena arena;
        TRowTextArena* bulk = Text.size() >= kBulkText ? &arena : nullptr;
        const TColumnLayout layout = Layout();
        TLineWrapper wrapper(*FWrapOption, layout);
        std::vector<TLineWrapper::Row> cuts;
        ForEachLine(Text, [&](std::string_view line) {
            wrapper.Wrap(line, cuts);
            for (const auto& cut : cuts)
                List.AppendRow(line.substr(cut.Offset, cut.Length), cut.Wrapped ? reWrapped : reLineBreak, 0, bulk);
        });
    }
    List.EndUpdate();
}

int TEditorScreenStrings::WrappedRowCount(std::string_view Line) {
    if (!FWordWrap) return 1;
    TLineWrapper wrapper(*FWrapOption, Layout());
    return wrapper.RowCount(Line);
}

void TEditorScreenStrings::RewrapAll() {
    if (GetCount() == 0 || Loading()) return;
    // The new rows are built aside; the document changes only when they are swapped in.
    const TRowEndKind lastEnd = RowEndKind(GetCount() - 1);
    TEditorStringList rows;
    TRowTextArena arena;
    TLineWrapper wrapper(*FWrapOption, Layout());
    std::vector<TLineWrapper::Row> cuts;
    std::vector<TRowMarkSet> oldMarks;
    std::string line;
    const int count = GetCount();
    for (int row = 0; row < count;) {
        const int lastRow = LastRowOfLine(row);
        if (lastRow == row && wrapper.FitsOneRow(RowView(row))) {
            // A short line stays one row; its text is shared, not copied.
            rows.AppendSharedRow(*this, row);
            rows.SetRowEndKind(rows.GetCount() - 1, reLineBreak);
            rows.InvalidateRowAttributes(rows.GetCount() - 1);
            row = lastRow + 1;
            continue;
        }
        line.clear();
        oldMarks.clear();
        for (int r = row; r <= lastRow; ++r) {
            line += RowView(r);
            oldMarks.push_back(RowMarkSet(r));
        }
        wrapper.Wrap(line, cuts);
        const int firstNew = rows.GetCount();
        for (const auto& cut : cuts)
            rows.AppendRow(std::string_view(line).substr(cut.Offset, cut.Length), cut.Wrapped ? reWrapped : reLineBreak,
                           0, &arena);
        // New row i takes the marks of old row i; surplus old rows give theirs to the last.
        const int newRows = rows.GetCount() - firstNew;
        for (std::size_t i = 0; i < oldMarks.size(); ++i) {
            const int to = firstNew + std::min(int(i), newRows - 1);
            rows.SetRowMarkSet(to, rows.RowMarkSet(to) | oldMarks[i]);
        }
        row = lastRow + 1;
    }
    rows.SetRowEndKind(rows.GetCount() - 1, lastEnd == reWrapped ? reEndOfText : lastEnd);
    rows.ShrinkToFit();
    SwapInLayout(rows);
}

void TEditorScreenStrings::UnwrapAll() {
    if (GetCount() == 0) return;
    const TRowEndKind lastEnd = RowEndKind(GetCount() - 1) == reWrapped ? reEndOfText : RowEndKind(GetCount() - 1);
    TEditorStringList rows;
    TRowTextArena arena;
    std::string line;
    const int count = GetCount();
    for (int row = 0; row < count;) {
        const int lastRow = LastRowOfLine(row);
        TRowMarkSet marks = 0;
        if (lastRow == row) {
            rows.AppendSharedRow(*this, row);
            rows.InvalidateRowAttributes(rows.GetCount() - 1);
            marks = RowMarkSet(row);
        } else {
            line.clear();
            for (int r = row; r <= lastRow; ++r) {
                line += RowView(r);
                marks |= RowMarkSet(r);
            }
            rows.AppendRow(line, reLineBreak, 0, &arena);
        }
        rows.SetRowEndKind(rows.GetCount() - 1, reLineBreak);
        rows.SetRowMarkSet(rows.GetCount() - 1, marks);
        row = lastRow + 1;
    }
    rows.SetRowEndKind(rows.GetCount() - 1, lastEnd);
    rows.ShrinkToFit();
    SwapInLayout(rows);
}

void TEditorScreenStrings::SwapInLayout(TEditorStringList& Rows) {
    for (IDocumentView* editor : FEditors) editor->RememberPlaces();
    DropAllSelections();
    {
        // The text stays the same: the views are refreshed by the caller, not told of a change.
        TNotifyEvent onChange = std::move(OnChange);
        OnChange = nullptr;
        TScopeExit restore([this, &onChange] { OnChange = std::move(onChange); });
        TUpdateGuard update(*this);
        FHintRow = FHintLine = 0;
        SwapRows(Rows);
    }
    for (IDocumentView* editor : FEditors) editor->RestorePlaces();
}

TEditorScreenStrings::TLinePlace TEditorScreenStrings::PlaceOf(int Row, int Byte) const {
    const int count = GetCount();
    if (count == 0) return {};
    if (Row >= count) return {LineCount(), 0};
    Row = std::max(Row, 0);
    const int first = FirstRowOfLine(Row);
    std::size_t byte = std::size_t(std::max(Byte, 0));
    for (int r = first; r < Row; ++r) byte += RowView(r).size();
    return {RowToLineCount(first), int(std::min<std::size_t>(byte, 0x7FFFFFFF))};
}

std::pair<int, int> TEditorScreenStrings::RowOfPlace(const TLinePlace& Place) const {
    const int count = GetCount();
    if (count == 0) return {0, 0};
    if (Place.Line >= LineCount()) {
        const int last = LastAllowedRow();
        return {last, last < count ? int(RowView(last).size()) : 0};
    }
    int row = LineToRow(std::max(Place.Line, 0));
    std::size_t byte = std::size_t(std::max(Place.Byte, 0));
    while (RowEndKind(row) == reWrapped && row + 1 < count && byte >= RowView(row).size()) byte -= RowView(row++).size();
    return {row, int(std::min(byte, RowView(row).size()))};
}

void TEditorScreenStrings::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    if (Loading()) return;  // EndLoad lays the rows out
    {
        TScopeExit restore([this, Value] { FWordWrap = !Value; });
        if (Value)
            RewrapAll();
        else
            UnwrapAll();
        restore.Dismiss();
    }
    FUndoEngine->ClearKeepingSaved();
    FinishRelayout();
}

void TEditorScreenStrings::Relayout() {
    RewrapAll();
    // Row cuts changed: old undo steps would name rows of the old layout.
    FUndoEngine->ClearKeepingSaved();
    FinishRelayout();
}

void TEditorScreenStrings::FinishRelayout() {
    // The views put their carets back at their places in the text as the rows were swapped.
    TScopeExit refresh([this] {
        RefreshAllEditors();
        ClampAllCarets();
    });
    TokenizeAllRows();
}

void TEditorScreenStrings::WrapOptionChanged(TObject*) {
    if (Loading() || !FWordWrap) return;
    Relayout();
}

void TEditorScreenStrings::TabWidthChanged() {
    // Row cuts depend on tab widths.
    if (Loading() || !FWordWrap) return;
    Relayout();
}

void TEditorScreenStrings::EndLoad() {
    if (FWordWrap)
        RewrapAll();
    else if (LineEndCount() != GetCount())
        UnwrapAll();  // word wrap went off while loading
    TScopeExit refresh([this] { RefreshAllEditors(); });
    TokenizeAllRows();
}

// ---- tokenizer

int TEditorScreenStrings::RetokenizeRows(int FirstRow, bool Invalidate) {
    if (FirstRow < 0 || FirstRow >= GetCount()) return 0;
    // A tokenizer that fails leaves the rows it did not reach not tokenized.
    TScopeExit forget([this, FirstRow] { ForgetStatesFrom(FirstRow); });
    const int changed = FTokenizer->RetokenizeRows(*this, FirstRow, Invalidate);
    forget.Dismiss();
    return changed;
}

void TEditorScreenStrings::TokenizeAllRows() {
    const IDocumentView* main = MainEditor();
    if (main && (main->Loading() || main->Destroying())) return;
    TScopeExit forget([this] { ForgetStatesFrom(0); });
    FTokenizer->TokenizeAllRows(*this);
    forget.Dismiss();
}

void TEditorScreenStrings::SetTokenizer(std::unique_ptr<TDocumentTokenizer> Tokenizer) {
    FTokenizer = Tokenizer ? std::move(Tokenizer) : std::make_unique<TPlainTokenizer>();
}

// ---- broadcasts

void TEditorScreenStrings::NotifyEditors() {
    // A view may detach itself while it reacts; walk a copy.
    const std::vector<IDocumentView*> editors = FEditors;
    for (IDocumentView* editor : editors) editor->DocumentChanged();
}

void TEditorScreenStrings::DropAllSelections() {
    for (IDocumentView* editor : FEditors) editor->DropSelection();
}

void TEditorScreenStrings::ResetAllCols() {
    for (IDocumentView* editor : FEditors) editor->SetCaretRowCol(editor->CaretRow(), 0);
}

void TEditorScreenStrings::RefreshAllEditors() {
    for (IDocumentView* editor : FEditors) editor->RefreshView();
}

void TEditorScreenStrings::ClampAllCarets() {
    const int last = LastAllowedRow();
    for (IDocumentView* editor : FEditors) {
        if (editor->CaretRow() > last) editor->SetCaretRowCol(last, editor->CaretCol());
        if (editor->TopRow() > last) editor->SetTopRow(last);
    }
}

}  // namespace orvane
