// Reading a document file into the editor's Shift_JIS text and writing it back.
#pragma once

#include "files/charcode.h"
#include "files/charmap.h"
#include "files/detect.h"
#include "files/docformat.h"
#include "files/filewrite.h"

#include <string>
#include <string_view>

namespace orvane {

struct TReadOptions {
    TDocumentEncoding DefaultEncoding = deShiftJis;  // for plain 7-bit text and ties
    TDocumentLineEnd DefaultLineEnd = dlCrLf;        // for a file without any line end
};

// What a read could not carry over as it was. A document with Invalid, Lost or Binary opens
// write-protected; NotRoundTrip and Kept are warnings.
struct TReadReport {
    std::size_t Kept = 0;     // characters code page 932 cannot hold, kept in the user-defined area
    std::size_t Invalid = 0;  // byte sequences that are no character of the encoding
    std::size_t Lost = 0;     // characters shown as 〓 (the user-defined area ran out)
    bool Binary = false;      // zero bytes in a file that is not UTF-16
    bool MixedLineEnds = false;
    bool NotRoundTrip = false;  // an unchanged save would not give the same bytes back
    bool ReadOnly() const noexcept { return Binary || Invalid || Lost; }
    // One line naming every problem, empty when there is none.
    std::string Warning() const;
};

struct TDocumentText {
    std::string Text;  // Shift_JIS, with the file's own line ends
    TDocumentFormat Format;
    TCharMap Map;
    TReadReport Report;
    std::string_view DetectedBy;  // how the encoding was chosen ("request" for an explicit one)
};

// Decodes a file's bytes. Request deAuto detects; any other encoding is taken as given (a
// UTF-16 or UTF-8 byte-order mark is still recognised and remembered).
TDocumentText DecodeDocument(std::string Bytes, TDocumentEncoding Request, const TReadOptions& Options = {});
TDocumentText ReadDocumentFile(const std::string& Path, TDocumentEncoding Request, const TReadOptions& Options = {});
// The same, reading a UTF-8 or UTF-16 file PieceSize bytes at a time (for tests).
TDocumentText ReadDocumentFile(const std::string& Path, TDocumentEncoding Request, const TReadOptions& Options,
                               std::size_t PieceSize);
// What ReadDocumentFile(Path, deAuto) would report, without the text (Text stays empty). A file
// in Shift_JIS or plain 7-bit text is read a piece at a time and never held whole; the others
// are decoded, since only decoding tells what they hold.
TDocumentText InspectDocumentFile(const std::string& Path, const TReadOptions& Options = {});

// Reads a document file a piece at a time, for opening a large file while its first lines are
// shown already. Only a file that its head (the first piece) shows to be Shift_JIS, 7-bit text,
// UTF-8 or EUC-JP can be read so (the last two are decoded a piece at a time). Every piece is checked by the
// detection as it passes; at the end Result tells whether the whole file confirmed the head.
class TDocumentFileReader {
public:
    // Opens Path and reads its head of about HeadSize bytes (whole lines). Throws
    // orvane::Exception when the file cannot be read or is not a regular file.
    explicit TDocumentFileReader(const std::string& Path, const TReadOptions& Options = {},
                                 std::size_t HeadSize = 1 << 20);
    ~TDocumentFileReader();
    TDocumentFileReader(const TDocumentFileReader&) = delete;
    TDocumentFileReader& operator=(const TDocumentFileReader&) = delete;

    // The head reads as Shift_JIS (or 7-bit text taken as Shift_JIS), UTF-8 or EUC-JP, without
    // zero bytes.
    bool InPieces() const noexcept { return FInPieces; }
    // The format the head shows (line end left at its default).
    const TDocumentFormat& HeadFormat() const noexcept { return FFormat; }
    // The characters kept so far (UTF-8 and EUC-JP), for showing the pieces given.
    const TCharMap& Map() const noexcept { return FMap; }
    // The next piece of text: the head first, then whole lines of about Size bytes (a piece
    // ends after a line break, or at the end of the file); empty once everything was given.
    std::string Next(std::size_t Size);
    bool AtEnd() const noexcept { return FAtEnd && FRest.empty() && FHeadGiven; }
    std::uint64_t FileSize() const noexcept { return FFileSize; }
    std::uint64_t BytesGiven() const noexcept { return FGiven; }
    // After the end: the file's format, report and kept characters as ReadDocumentFile(Path,
    // deAuto) gives them, without the text. Confirmed: the whole file is in the head's encoding
    // too (else read it whole).
    TDocumentText Result(bool& Confirmed) const;

private:
    // Reads until FRest holds Size bytes or the file ends.
    void Fill(std::size_t Size);
    std::string Cut(std::size_t Size);
    std::string Decoded(std::string Piece);

    int FFd = -1;
    TReadOptions FOptions;
    TEncodingDetector FDetector;
    std::string FRest;  // read, not given yet
    std::string FHead;
    TDocumentFormat FFormat;
    TCharMap FMap;
    TCodeCounts FCounts;
    bool FSame = true;  // every EUC-JP piece encodes back to its bytes
    bool FHeadGiven = false;
    bool FAtEnd = false;
    bool FInPieces = false;
    std::uint64_t FFileSize = 0, FGiven = 0;
    std::string FPath;
};

struct TEncoded {
    std::string Bytes;
    std::size_t Lost = 0;  // characters the encoding cannot hold (written as 〓, or U+FFFD)
};
// Encodes a Shift_JIS text with any line ends (CR LF, CR, LF: all become Format's) in Format.
TEncoded EncodeDocument(std::string_view Text, const TDocumentFormat& Format, const TCharMap* Map);

struct TWriteOptions {
    bool AllowLoss = false;                 // write even when characters cannot be held
    const TFileWriter* Writer = nullptr;    // the system calls (tests make them fail)
};
// Encodes and saves atomically. Throws orvane::Exception, leaving the file untouched, when the
// encoding cannot hold some characters (unless allowed; the message names how many) or the
// file cannot be written.
void WriteDocumentFile(const std::string& Path, std::string_view Text, const TDocumentFormat& Format,
                       const TCharMap* Map, const TWriteOptions& Options = {});

// The same for a document (anything with SetText(string_view) / GetText()).
template <class TLines>
TDocumentText ReadDocumentText(const std::string& Path, TLines& Lines, TDocumentEncoding Request,
                               const TReadOptions& Options = {}) {
    TDocumentText d = ReadDocumentFile(Path, Request, Options);
    if constexpr (requires { Lines.AdoptText(std::move(d.Text)); })
        Lines.AdoptText(std::move(d.Text));  // the rows keep the text itself: no second copy
    else
        Lines.SetText(d.Text);
    std::string().swap(d.Text);
    return d;
}
template <class TLines>
void WriteDocumentText(const std::string& Path, const TLines& Lines, const TDocumentFormat& Format,
                       const TCharMap* Map, const TWriteOptions& Options = {}) {
    WriteDocumentFile(Path, Lines.GetText(), Format, Map, Options);
}

}  // namespace orvane
