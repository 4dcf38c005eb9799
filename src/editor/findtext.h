// The search in a document: its rows fed to the search engine in blocks, forward or backward,
// with hits that run over any number of rows found across block boundaries.
#pragma once

#include "editor/searchtext.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace orvane {

class TEditorScreenStrings;

// Where a document search starts: the previous hit (or a plain position, Length 0) as the row of
// its first byte, the byte index in that row (0-based) and the bytes it covers. A forward search
// looks after it, a backward one before its start. Row may be the row count (the end of the
// text) and Byte may point into the row's line break; Row and Byte beyond the text are clamped.
struct TDocumentSearchFrom {
    int Row = 0;
    int Byte = 0;
    std::int64_t Length = 0;
};

// A hit in the document. Offsets count the text as the document holds it: each row followed by
// CR LF when it ends a line.
struct TDocumentHit {
    int Row = 0;   // the row of the hit's first byte
    int Byte = 0;  // its byte index in the row; past the row's text only for a hit that starts at
                   // the LF of the row's line break
    int EndRow = 0;   // the position after the hit; EndByte is at most the row's length
    int EndByte = 0;  // (a hit ending between CR and LF ends at the end of the row's text)
    std::int64_t Length = 0;  // bytes covered: line breaks (CR LF) and passed-over blanks included
    bool operator==(const TDocumentHit&) const = default;
};

// The rows a block holds are added until it has at least this many bytes.
inline constexpr std::size_t kFindBlockBytes = 8192;

// Finds Pattern in Document from From with Options (soDown: forward). The hit is the one
// SearchText gives on the document's whole text from the same position; the text is never joined
// whole, only in blocks of rows of about BlockBytes (a parameter so that tests reach block
// boundaries with small documents). Empty when Pattern or the document is empty, From has a
// negative field, or nothing is found.
std::optional<TDocumentHit> SearchDocument(const TEditorScreenStrings& Document, const TDocumentSearchFrom& From,
                                           std::string_view Pattern, TSearchOptions Options,
                                           std::size_t BlockBytes = kFindBlockBytes);

}  // namespace orvane
