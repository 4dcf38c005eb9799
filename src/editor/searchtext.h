// The text search engine: a pattern found in code page 932 bytes with folding of case and of
// half-/full-width forms, whole words, and line breaks and blanks passed over inside a hit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// The search options, one bit each (the bits are those of the search settings file). The engine
// reads soDown, soMatchCase, soWholeWord, soNoMatchZenkaku, soIncludeCRLF and soIncludeSpace.
using TSearchOptions = std::uint16_t;

inline constexpr TSearchOptions soDown = 1 << 0;            // towards the end of the text
inline constexpr TSearchOptions soMatchCase = 1 << 1;       // letters compare with their case
inline constexpr TSearchOptions soWholeWord = 1 << 2;       // a hit is a whole word
inline constexpr TSearchOptions soNoMatchZenkaku = 1 << 3;  // half-width matches full-width
inline constexpr TSearchOptions soReplace = 1 << 4;
inline constexpr TSearchOptions soReplaceAll = 1 << 5;
inline constexpr TSearchOptions soReplaceConfirm = 1 << 6;
inline constexpr TSearchOptions soIncludeCRLF = 1 << 7;   // CR and LF are passed over inside a hit
inline constexpr TSearchOptions soIncludeSpace = 1 << 8;  // tab, space, full-width space likewise
inline constexpr TSearchOptions soWholeFile = 1 << 9;

// A hit: byte offset into the text (0-based) and the bytes it covers, passed-over bytes included.
// On entry to a search it is the previous hit, or a position with Length 0.
struct TSearchPos {
    std::int64_t Start = 0;
    std::int64_t Length = 0;
    bool operator==(const TSearchPos&) const = default;
};

// Finds Pattern in Text (explicit length: zero bytes are ordinary one-byte characters).
// Forward (soDown): the first hit that starts at or after Pos.Start + Pos.Length. Backward: the
// hit with the greatest start that ends at or before Pos.Start. Hits start and end on character
// boundaries of Text (a lead byte and the byte after it are one character). False, with Pos
// unchanged, when Pattern or Text is empty, Pos is outside the text or nothing is found.
// With soWholeWord a hit starts with a word character at the text start or after a one-byte
// search delimiter and is followed by a delimiter or the text end; a pattern that starts with a
// delimiter therefore never matches.
bool SearchText(std::string_view Text, TSearchPos& Pos, std::string_view Pattern, TSearchOptions Options);

// S with every one-byte character that has a full-width form replaced by it, half-width kana
// with a voiced (semi-voiced) mark joined into one voiced kana, two-byte characters kept.
std::string ToFullWidth(std::string_view S);

// True for the bytes that end a word in a search: 0x00-0x2F, 0x3A-0x40, 0x5B-0x60, 0x7B-0x80,
// 0xA0-0xA5 and 0xFD-0xFF (so the underscore ends a word; two-byte characters never do).
bool IsSearchDelimiter(unsigned char B) noexcept;

// ---- the engine, for searches over a text that arrives in pieces (the document search)

// A piece of a longer text, given to TSearchPattern::Forward / Backward. Offsets are relative to
// the start of Text, which must be a character boundary of the whole text.
struct TSearchWindow {
    std::string_view Text;
    bool AtTextStart = true;     // Text starts the whole text
    bool PrevDelimiter = true;   // (not AtTextStart) the character before Text is a one-byte delimiter
    bool AtTextEnd = true;       // Text ends the whole text
};

// The outcome of a search in a window: a hit, nothing in the window, or a candidate that could
// only be decided with text after the window (every earlier candidate was no hit).
struct TWindowResult {
    enum TKind : std::uint8_t { None, Hit, NeedMore } Kind = None;
    std::size_t Start = 0;  // Hit: the hit; NeedMore: the undecided candidate
    std::size_t End = 0;    // Hit: the byte after the hit
};

// A pattern prepared for its options: upper-cased and made full-width as the options ask, with a
// filter that finds candidates without comparing at every byte.
class TSearchPattern {
public:
    TSearchPattern(std::string_view Pattern, TSearchOptions Options);

    bool Empty() const noexcept { return FPattern.empty(); }
    TSearchOptions Options() const noexcept { return FOptions; }
    // The prepared pattern.
    const std::string& Prepared() const noexcept { return FPattern; }

    // The first hit starting at a character boundary at or after From.
    TWindowResult Forward(const TSearchWindow& W, std::size_t From) const;
    // The hit with the greatest start before Before that ends at or before Limit (both may lie
    // beyond the window; bytes from Limit on are never part of a hit).
    TWindowResult Backward(const TSearchWindow& W, std::size_t Before, std::size_t Limit) const;

private:
    enum TCompare : std::uint8_t { cmMiss, cmHit, cmNeedMore };
    class TBoundaries;

    TCompare Compare(const TSearchWindow& W, std::size_t At, std::size_t Limit, std::size_t& End) const;
    bool WordStartAt(const TSearchWindow& W, TBoundaries& B, std::size_t At) const;
    // Candidate check shared by both directions: boundary, word start, then the comparison.
    TCompare Try(const TSearchWindow& W, TBoundaries& B, std::size_t At, std::size_t Limit, std::size_t& End) const;
    // The first / last position at or after / at or before From where a hit may start: the
    // anchor lies there whole inside T, or (without an anchor) a byte that can begin a hit.
    std::size_t NextCandidate(std::string_view T, std::size_t From) const;
    std::size_t PrevCandidate(std::string_view T, std::size_t From) const;
    bool PairCanStart(unsigned char A, unsigned char B) const noexcept {
        const unsigned i = unsigned(A) << 8 | B;
        return (FPairs[i / 64] >> (i % 64)) & 1;
    }

    std::string FPattern;
    // The characters of FPattern as codes (a byte, or lead << 8 | trail) and their byte lengths.
    std::vector<std::uint16_t> FCodes;
    std::vector<std::uint8_t> FLengths;
    TSearchOptions FOptions;
    // What a one-byte text character compares as under these options (see UnitCode).
    std::uint16_t FSingle[256] = {};
    // Bytes that can begin a hit, and the pairs of bytes that can (a bit per first << 8 | second).
    bool FFirst[256] = {};
    std::vector<std::uint64_t> FPairs;
    // Every hit begins with exactly these bytes (a prefix of FPattern; may be empty).
    std::string FAnchor;
    // Without an anchor: a later part of the pattern matched only by its own bytes (forward
    // searches look for it first), and the least and most bytes the characters before it take.
    std::string FInner;
    std::size_t FInnerMin = 0;
    std::size_t FInnerMax = 0;
};

}  // namespace orvane
