// The search in a document, block by block of rows.
#include "editor/findtext.h"

#include "base/dbcs.h"
#include "document/document.h"

#include <algorithm>
#include <string>
#include <vector>

namespace orvane {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Bytes row Row takes in the document's text: its own and CR LF when it ends a line.
std::size_t RowBytes(const TEditorScreenStrings& D, int Row) {
    return D.RowView(Row).size() + (D.RowEndKind(Row) == reLineBreak ? 2 : 0);
}

// True when the character before row Row is a one-byte search delimiter (or Row starts the text).
bool DelimiterBefore(const TEditorScreenStrings& D, int Row) {
    for (int r = Row - 1; r >= 0; --r) {
        if (D.RowEndKind(r) != reWrapped) return true;  // the LF of a line break
        const std::string_view s = D.RowView(r);
        if (s.empty()) continue;
        // Rows start on character boundaries, so the row alone tells how its last character ends.
        return CharStartOf(s, s.size() - 1) == s.size() - 1 && IsSearchDelimiter(static_cast<unsigned char>(s.back()));
    }
    return true;
}

// Rows First..Last of a document joined as its whole text holds them. Invariant: Starts has one
// entry per row, the offset of its first byte in Text, and then Text's size.
struct TRowBlock {
    explicit TRowBlock(const TEditorScreenStrings& D) : Doc(D) {}

    const TEditorScreenStrings& Doc;
    int First = 0;
    int Last = -1;
    std::string Text;
    std::vector<std::size_t> Starts;

    void Fill(int From, int To) {
        First = From;
        Last = To;
        Text.clear();
        Starts.clear();
        for (int r = From; r <= To; ++r) {
            Starts.push_back(Text.size());
            Text += Doc.RowView(r);
            if (Doc.RowEndKind(r) == reLineBreak) Text += "\r\n";
        }
        Starts.push_back(Text.size());
    }
    std::size_t StartOf(int Row) const { return Starts[std::size_t(Row - First)]; }
    // The row that holds byte At (At < Text.size()).
    int RowAt(std::size_t At) const {
        return First + int(std::upper_bound(Starts.begin(), Starts.end(), At) - Starts.begin()) - 1;
    }
    TSearchWindow Window() const {
        return {Text, First == 0, First == 0 || DelimiterBefore(Doc, First), Last == Doc.GetCount() - 1};
    }
    TDocumentHit Hit(const TWindowResult& R) const {
        TDocumentHit hit;
        hit.Row = RowAt(R.Start);
        hit.Byte = int(R.Start - StartOf(hit.Row));
        hit.Length = std::int64_t(R.End - R.Start);
        if (R.End < Text.size()) {
            hit.EndRow = RowAt(R.End);
            hit.EndByte = int(std::min(R.End - StartOf(hit.EndRow), Doc.RowView(hit.EndRow).size()));
        } else if (Doc.RowEndKind(Last) == reEndOfText) {
            hit.EndRow = Last;
            hit.EndByte = int(Doc.RowView(Last).size());
        } else {
            hit.EndRow = Last + 1;  // the row after a line break or a wrap (or the row after the text)
            hit.EndByte = 0;
        }
        return hit;
    }
};

std::optional<TDocumentHit> Forward(const TEditorScreenStrings& D, const TSearchPattern& Pattern,
                                    const TDocumentSearchFrom& From, std::size_t BlockBytes) {
    const int count = D.GetCount();
    // The first candidate lies after the previous hit, which may run over several rows.
    int first = std::min(From.Row, count);
    if (first == count) return {};
    std::int64_t from = std::min<std::int64_t>(From.Byte, std::int64_t(RowBytes(D, first))) + From.Length;
    for (std::int64_t bytes; from >= (bytes = std::int64_t(RowBytes(D, first)));) {
        from -= bytes;
        if (++first == count) return {};
    }
    TRowBlock block(D);
    std::size_t budget = BlockBytes;
    int mustReach = first;  // the block ends at this row or later
    for (;;) {
        int last = first;
        std::size_t size = RowBytes(D, first);
        while (last + 1 < count && (size < budget || last < mustReach)) size += RowBytes(D, ++last);
        block.Fill(first, last);
        const TWindowResult r = Pattern.Forward(block.Window(), std::size_t(from));
        if (r.Kind == TWindowResult::Hit) return block.Hit(r);
        if (r.Kind == TWindowResult::None) {
            if (last == count - 1) return {};
            first = mustReach = last + 1;
            from = 0;
            budget = BlockBytes;
            continue;
        }
        // A candidate runs past the block: the next block starts at its row and reaches further,
        // growing with the candidate's reach so that a hit over many rows costs linear time.
        const int row = block.RowAt(r.Start);
        from = std::int64_t(r.Start - block.StartOf(row));
        budget = std::max(BlockBytes, 2 * (block.Text.size() - block.StartOf(row)));
        mustReach = last + 1;
        first = row;
    }
}

std::optional<TDocumentHit> Backward(const TEditorScreenStrings& D, const TSearchPattern& Pattern,
                                     const TDocumentSearchFrom& From, std::size_t BlockBytes) {
    const int count = D.GetCount();
    // Hits end at or before the start position (row, byte); candidates lie before (beforeRow,
    // beforeByte), which moves back as blocks are searched.
    int row = std::min(From.Row, count);
    std::size_t byte;
    if (row == count) {
        row = count - 1;
        byte = RowBytes(D, row);  // the end of the text
    } else {
        byte = std::min<std::size_t>(std::size_t(From.Byte), RowBytes(D, row));
    }
    int beforeRow = row;
    std::size_t beforeByte = byte;
    int last = row;
    int first = row;
    for (std::size_t size = RowBytes(D, first); first > 0 && size < BlockBytes;) size += RowBytes(D, --first);
    TRowBlock block(D);
    for (;;) {
        block.Fill(first, last);
        const std::size_t limit = row <= last ? block.StartOf(row) + byte : npos;
        const TWindowResult r = Pattern.Backward(block.Window(), block.StartOf(beforeRow) + beforeByte, limit);
        if (r.Kind == TWindowResult::Hit) return block.Hit(r);
        if (r.Kind == TWindowResult::None) {
            if (first == 0) return {};
            // The next block ends with this block's first row, so that hits running into it are
            // mostly decided without growing the block.
            beforeRow = last = first;
            beforeByte = 0;
            std::size_t size = RowBytes(D, last);
            do size += RowBytes(D, --first);
            while (first > 0 && size < BlockBytes);
            continue;
        }
        // A candidate runs past the block's end: the block grows forward (doubling) and the
        // search goes on from that candidate.
        beforeRow = block.RowAt(r.Start);
        beforeByte = r.Start - block.StartOf(beforeRow) + 1;
        const std::size_t target = 2 * block.Text.size();
        std::size_t size = block.Text.size() + RowBytes(D, ++last);
        while (last + 1 < count && size < target) size += RowBytes(D, ++last);
    }
}

}  // namespace

std::optional<TDocumentHit> SearchDocument(const TEditorScreenStrings& Document, const TDocumentSearchFrom& From,
                                           std::string_view Pattern, TSearchOptions Options, std::size_t BlockBytes) {
    if (Pattern.empty() || Document.GetCount() == 0 || From.Row < 0 || From.Byte < 0 || From.Length < 0) return {};
    const TSearchPattern pattern(Pattern, Options);
    BlockBytes = std::max<std::size_t>(BlockBytes, 1);
    return (Options & soDown) ? Forward(Document, pattern, From, BlockBytes) : Backward(Document, pattern, From, BlockBytes);
}

}  // namespace orvane
