// Opening a large file a slice at a time.
#include "editor/slicedopen.h"

#include <algorithm>

namespace orvane {

std::unique_ptr<TSlicedOpen> TSlicedOpen::Start(const std::string& Path, TDocumentEncoding Request,
                                                TEditorScreenStrings& Document, const TReadOptions& Options,
                                                std::uint64_t MinSize, std::size_t PieceSize) {
    if (Request != deAuto) return nullptr;
    auto reader = std::make_unique<TDocumentFileReader>(Path, Options, PieceSize);
    if (!reader->InPieces() || reader->FileSize() < MinSize) return nullptr;
    std::unique_ptr<TSlicedOpen> open(new TSlicedOpen(std::move(reader), Document, PieceSize));
    open->FLoader.AdoptPiece(open->FReader->Next(PieceSize));  // the head
    open->FLoader.Flush(open->FReader->FileSize());
    return open;
}

TSlicedOpen::TSlicedOpen(std::unique_ptr<TDocumentFileReader> Reader, TEditorScreenStrings& Document,
                         std::size_t PieceSize)
    : FReader(std::move(Reader)), FLoader(Document), FPieceSize(PieceSize) {}

bool TSlicedOpen::Step(std::chrono::steady_clock::duration Budget) {
    if (FDone) return true;
    const auto until = std::chrono::steady_clock::now() + Budget;
    do {
        if (FReader->AtEnd()) {
            FLoader.Finish();
            FResult = FReader->Result(FConfirmed);
            FDone = true;
            return true;
        }
        FLoader.AdoptPiece(FReader->Next(FPieceSize));
    } while (std::chrono::steady_clock::now() < until);
    FLoader.Flush(FReader->FileSize());
    return false;
}

double TSlicedOpen::Progress() const noexcept {
    if (FDone || FReader->FileSize() == 0) return 1.0;
    return std::min(1.0, double(FReader->BytesGiven()) / double(FReader->FileSize()));
}

}  // namespace orvane
