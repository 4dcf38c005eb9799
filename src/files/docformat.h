// The per-document encoding and line end, their name tables, and everything a document must
// remember to write its file back byte for byte.
#pragma once

#include "files/charcode.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace orvane {

enum TDocumentEncoding : std::uint8_t {
    deAuto = 0,  // a request only: detect on reading
    deShiftJis = 1,
    deUtf16 = 2,
    deEuc = 3,
    deJis = 4,
    deUtf8 = 5,
};

enum TDocumentLineEnd : std::uint8_t { dlCrLf = 0, dlCr = 1, dlLf = 2 };

struct TDocumentEncodingName {
    TDocumentEncoding Value;
    std::string_view Stored;   // command line and settings ("sjis", "utf-8", ...)
    std::string_view Short;    // status text
    std::string_view Caption;  // the encoding chooser
};
struct TDocumentLineEndName {
    TDocumentLineEnd Value;
    std::string_view Stored;
    std::string_view Short;
    std::string_view Caption;
};

// Indexed by value; lookups use the low seven bits of the value.
inline constexpr TDocumentEncodingName kDocumentEncodingNames[] = {
    {deAuto, "auto", "", "自動判別"},
    {deShiftJis, "sjis", "S-JIS", "SHIFT-JIS"},
    {deUtf16, "utf-16", "Unicode", "Unicode (UTF-16)"},
    {deEuc, "euc-jp", "EUC", "EUC"},
    {deJis, "jis", "JIS", "JIS (iso-2022-jp)"},
    {deUtf8, "utf-8", "UTF8", "UTF-8"},
};
inline constexpr TDocumentLineEndName kDocumentLineEndNames[] = {
    {dlCrLf, "crlf", "CRLF", "CRLF (Windows)"},
    {dlCr, "cr", "CR", "CR (Macintosh)"},
    {dlLf, "lf", "LF", "LF (Unix)"},
};

inline const TDocumentEncodingName& EncodingName(TDocumentEncoding E) {
    unsigned i = E & 0x7F;
    return kDocumentEncodingNames[i < 6 ? i : 0];
}
inline const TDocumentLineEndName& LineEndName(TDocumentLineEnd L) {
    unsigned i = L & 0x7F;
    return kDocumentLineEndNames[i < 3 ? i : 0];
}
inline constexpr TLineEndKind ToLineEndKind(TDocumentLineEnd L) {
    return L == dlCr ? leCr : L == dlLf ? leLf : leCrLf;
}

// Encoding from a name as users type it (case-insensitive; common aliases accepted).
std::optional<TDocumentEncoding> ParseEncodingName(std::string_view Name);
std::optional<TDocumentLineEnd> ParseLineEndName(std::string_view Name);

// How a document's file is written: encoding, line end, and the details that make an unchanged
// save give back the bytes that were read. New documents: Shift_JIS, CR LF; a new UTF-8 or
// UTF-16 document gets a byte-order mark, UTF-16 little-endian.
struct TDocumentFormat {
    TDocumentEncoding Encoding = deShiftJis;
    TDocumentLineEnd LineEnd = dlCrLf;
    bool Bom = false;        // UTF-8 / UTF-16: the file starts with a byte-order mark
    bool BigEndian = false;  // UTF-16 byte order
    TJisDesignation Jis;     // JIS escapes
    bool operator==(const TDocumentFormat&) const = default;
};

// The format a document gets when the user chooses Encoding for it (keeps the line end): UTF-16
// little-endian with a byte-order mark, UTF-8 without one.
TDocumentFormat FormatForEncoding(TDocumentEncoding Encoding, TDocumentLineEnd LineEnd);
// The encoding as the status bar shows it ("UTF-8 BOM" for UTF-8 with a byte-order mark).
std::string_view FormatShortName(const TDocumentFormat& Format);

}  // namespace orvane
