// Which encoding a file's bytes are in.
#pragma once

#include "files/docformat.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace orvane {

struct TDetection {
    TDocumentFormat Format;  // encoding, BOM and byte order (line end is left at its default)
    bool Binary = false;     // zero bytes in a text that is not UTF-16
    // "bom", "escapes", "utf-8", "utf-16", "ascii", "declared", "score", "damaged-utf-8", "fallback"
    std::string_view Reason;
};

// Byte-order marks first. A text with zero bytes is UTF-16 without a mark when that reading
// (in the likelier byte order) is likelier text than its bytes read one by one; otherwise it is
// binary, and the rest decides its encoding. Then ISO-2022-JP escapes in 7-bit text; strict
// UTF-8 with at least one multibyte sequence (the last character may be cut off); UTF-16 made
// of kana and kanji only; then Shift_JIS against EUC-JP, each validated over the whole text,
// where a declared charset decides between candidates that both validate, else the likelier
// Japanese text (see textcost.h); a tie, or plain 7-bit text, takes Default. Text that is valid
// in neither is UTF-8 when it is valid UTF-8 but for a few broken sequences among many valid
// characters ("damaged-utf-8"), else Shift_JIS, which keeps every byte.
TDetection DetectEncoding(std::string_view Bytes, TDocumentEncoding Default = deShiftJis);

// Line ends of a text by kind.
struct TLineEndCount {
    std::size_t CrLf = 0, Cr = 0, Lf = 0;
    int Kinds() const noexcept { return (CrLf > 0) + (Cr > 0) + (Lf > 0); }
};

struct TFileDetection {
    TDetection Detection;
    TLineEndCount LineEnds;  // of the bytes as they are (meaningful for the byte encodings)
    std::size_t Size = 0;
};
// The same for a file, read a piece of PieceSize bytes at a time so that it is never held whole,
// with the line ends counted on the way. Throws orvane::Exception when the file cannot be read
// or is not a regular file.
TFileDetection DetectFileEncoding(const std::string& Path, TDocumentEncoding Default = deShiftJis,
                                  std::size_t PieceSize = 1 << 20);

// The same over a text in memory given a piece at a time (what DetectFileEncoding does with a
// file; for tests).
TFileDetection DetectEncodingInPieces(std::string_view Bytes, TDocumentEncoding Default, std::size_t PieceSize);

// Detection over a text that arrives a piece at a time, cut anywhere: what DetectFileEncoding
// does, for a reader that keeps the pieces. Result may be asked at any time: before the last
// piece it answers for the text so far, leaving out a character the last piece cut off.
class TEncodingDetector {
public:
    explicit TEncodingDetector(TDocumentEncoding Default = deShiftJis);
    ~TEncodingDetector();
    TEncodingDetector(const TEncodingDetector&) = delete;
    TEncodingDetector& operator=(const TEncodingDetector&) = delete;

    // Piece follows the pieces fed before; Last: it ends the text.
    void Feed(std::string_view Piece, bool Last = false);
    TFileDetection Result() const;

private:
    struct TState;
    std::unique_ptr<TState> FState;
};

// The charset a text declares in its first bytes (HTML meta charset, XML encoding
// declaration, an editor coding cookie), deAuto when none is recognised.
TDocumentEncoding DeclaredEncoding(std::string_view Bytes);

}  // namespace orvane
