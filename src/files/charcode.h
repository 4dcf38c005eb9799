// Japanese byte encodings: the quick classifier, Shift_JIS / EUC-JP / JIS converters by
// arithmetic, and line ends. Text inside the program is Shift_JIS (code page 932).
#pragma once

#include "files/charmap.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

enum TCodeKind : std::uint8_t {
    ckAscii = 0,      // no byte decided anything
    ckBinary = 1,     // control bytes 0x00-0x07 or 0xFF
    ckJis = 2,        // ESC $ B
    ckJisOld = 3,     // ESC $ @
    ckEuc = 4,
    ckSjis = 5,
    ckEucOrSjis = 6,  // eight-bit bytes that fit both
};

enum TLineEndKind : std::uint8_t { leNone = 0, leCrLf = 1, leCr = 2, leLf = 3 };

// What a conversion could not carry over faithfully.
struct TCodeCounts {
    std::size_t Invalid = 0;  // bytes that are no character of the source encoding (shown as 〓)
    std::size_t Kept = 0;     // characters held in the user-defined area through a TCharMap
    std::size_t Lost = 0;     // characters the target cannot hold (written as 〓 or '?')
    TCodeCounts& operator+=(const TCodeCounts& O) {
        Invalid += O.Invalid, Kept += O.Kept, Lost += O.Lost;
        return *this;
    }
};

// The escapes a JIS text uses: ESC $ B or ESC $ @ for two-byte runs, ESC ( B or ESC ( J for the
// return to one byte, and whether half-width kana are written in ESC ( I runs (otherwise they
// become full-width kana, since plain JIS has none). A text read from JIS keeps the escapes it
// used; every other text is written with ESC $ B and ESC ( B, which every reader takes as ASCII
// (after ESC ( J a strict reader shows a backslash as the yen sign and '~' as the overline).
struct TJisDesignation {
    char Kanji = 'B';
    char Return = 'B';
    bool HalfKana = false;
    bool operator==(const TJisDesignation&) const = default;
};

// The quick classifier: stops at the first byte that decides (see DetectEncoding for the
// detection documents use). Never looks at the last byte as the start of a character.
TCodeKind DetectCode(std::string_view Text) noexcept;
// Classifies Text, then converts it from the detected code to Target (ckJis, ckEuc, ckSjis);
// undecided, binary and plain texts, and other targets, come back unchanged.
std::string ConvertCode(std::string_view Text, TCodeKind Target);

// One JIS X 0208 character (two 7-bit bytes) to Shift_JIS and back; exact inverses.
constexpr std::array<std::uint8_t, 2> JisToSjisChar(std::uint8_t C1, std::uint8_t C2) noexcept {
    std::uint8_t b1 = std::uint8_t(((C1 + 1) >> 1) + (C1 < 0x5F ? 0x70 : 0xB0));
    std::uint8_t b2 = (C1 & 1) == 0 ? std::uint8_t(C2 + 0x7E) : std::uint8_t(C2 < 0x60 ? C2 + 0x1F : C2 + 0x20);
    return {b1, b2};
}
constexpr std::array<std::uint8_t, 2> SjisToJisChar(std::uint8_t C1, std::uint8_t C2) noexcept {
    std::uint8_t t = std::uint8_t((C1 - (C1 < 0xA0 ? 0x70 : 0xB0)) * 2);
    if (C2 < 0x9F) return {std::uint8_t(t - 1), std::uint8_t(C2 <= 0x7F ? C2 - 0x1F : C2 - 0x20)};
    return {t, std::uint8_t(C2 - 0x7E)};
}

// A half-width kana of Text at Pos (1-based, in/out) as one full-width JIS character; a
// following voiced or semi-voiced mark that combines with it is consumed too.
std::array<std::uint8_t, 2> SjisHalfKanaToJis(std::string_view Text, std::size_t& Pos) noexcept;
// The same for EUC-JP, Pos (1-based, in/out) at the 0x8E prefix.
std::array<std::uint8_t, 2> EucHalfKanaToJis(std::string_view Text, std::size_t& Pos) noexcept;

// Whole-text converters. Counts, when given, receive what could not be carried over; a Map,
// when given, keeps characters the code page cannot hold (readers) or gives them back
// (writers). Seen receives the escapes a JIS text used.
std::string JisToSjis(std::string_view Text, TCodeCounts* Counts = nullptr, TJisDesignation* Seen = nullptr);
std::string JisToEuc(std::string_view Text, TCodeCounts* Counts = nullptr);
std::string EucToSjis(std::string_view Text, TCodeCounts* Counts = nullptr, TCharMap* Map = nullptr);
std::string EucToJis(std::string_view Text, const TJisDesignation& Jis = {}, TCodeCounts* Counts = nullptr);
std::string SjisToJis(std::string_view Text, const TJisDesignation& Jis = {}, TCodeCounts* Counts = nullptr);
std::string SjisToEuc(std::string_view Text, TCodeCounts* Counts = nullptr, const TCharMap* Map = nullptr);

// Kind of the first line end of Text.
TLineEndKind DetectLineEnd(std::string_view Text) noexcept;
// Replaces every line end of the kind of the first one by Target; others stay as they are.
std::string ConvertLineEnd(std::string_view Text, TLineEndKind Target);
// Replaces every line end (CR LF, CR or LF) by Target (leNone keeps them).
std::string NormalizeLineEnds(std::string_view Text, TLineEndKind Target);

}  // namespace orvane
