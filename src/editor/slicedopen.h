// Opening a large file a slice at a time: the first screen of rows is there at once, the rest
// is read and laid out in slices between which the window goes on answering.
#pragma once

#include "document/document.h"
#include "files/doctext.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace orvane {

class TSlicedOpen {
public:
    // Files smaller than this are read whole.
    static constexpr std::uint64_t kMinSize = 8 << 20;

    // Starts reading Path into Document and lays out its first piece, replacing the document's
    // text (undo emptied); the document is then LayingOut until the last step. Null, with the
    // document untouched, when the file is not one to open in slices: smaller than MinSize, an
    // encoding requested, or a head that is not Shift_JIS, UTF-8 or EUC-JP (read it whole then). Throws
    // orvane::Exception when the file cannot be read.
    static std::unique_ptr<TSlicedOpen> Start(const std::string& Path, TDocumentEncoding Request,
                                              TEditorScreenStrings& Document, const TReadOptions& Options = {},
                                              std::uint64_t MinSize = kMinSize, std::size_t PieceSize = 1 << 20);

    // Reads and lays out pieces for about Budget (at least one piece); true when the whole file
    // is in (the document is then no longer LayingOut). Throws orvane::Exception on a read error,
    // leaving the rows read so far.
    bool Step(std::chrono::steady_clock::duration Budget);
    bool Done() const noexcept { return FDone; }
    // The share of the file laid out, 0 to 1.
    double Progress() const noexcept;
    // The format the head shows, until the result is there.
    const TDocumentFormat& HeadFormat() const noexcept { return FReader->HeadFormat(); }
    // The characters kept in the rows laid out so far.
    const TCharMap& CharMap() const noexcept { return FReader->Map(); }
    // After the last step: the format, report and kept characters (Text empty). Confirmed false:
    // the whole file is not in the head's encoding after all; read it whole.
    const TDocumentText& Result() const noexcept { return FResult; }
    bool Confirmed() const noexcept { return FConfirmed; }

private:
    TSlicedOpen(std::unique_ptr<TDocumentFileReader> Reader, TEditorScreenStrings& Document, std::size_t PieceSize);

    std::unique_ptr<TDocumentFileReader> FReader;
    TDocumentTextLoader FLoader;
    std::size_t FPieceSize;
    bool FDone = false;
    bool FConfirmed = false;
    TDocumentText FResult;
};

}  // namespace orvane
