// Storage of row texts: reference-counted byte blocks shared between row lists without copying.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvane {

// One row of a row list. A plain record so that the lists move rows as blocks of memory; the
// text handle is reference-counted by the list code through the functions below.
//
// The text lives either in its own heap block (a header of reference count and carry length,
// then the text, then the carry text) or, for rows built in bulk, in a shared arena chunk whose
// reference count covers all its rows, or in a whole text adopted from a loader (rows are then
// slices of the loaded text, which costs no copy at all). An empty text without carry text has
// no block at all, so an empty CarryText costs nothing; a carry text always lives in a heap block.
struct TheStringItem {
    const char* TextPtr = nullptr;  // first byte of the text (nullptr: empty and no block)
    std::uint32_t TextLen = 0;      // length; the top two bits say where the text lives
    std::int32_t Data = 0;          // a free integer slot
    std::uint32_t Attr = 0;         // packed attributes (see rowfield in rowlist.h)
    std::uint32_t Attr2 = 0;        // packed attributes and marks
};
static_assert(sizeof(TheStringItem) == 24, "rows stay compact");

namespace rowtext {

inline constexpr std::uint32_t kArenaBit = 0x80000000u;
inline constexpr std::uint32_t kAdoptedBit = 0x40000000u;
inline constexpr std::uint32_t kLengthMask = 0x3FFFFFFFu;
inline constexpr std::size_t kMaxRowBytes = kLengthMask;

inline std::string_view Text(const TheStringItem& item) noexcept {
    return {item.TextPtr, item.TextLen & kLengthMask};
}
std::string_view Carry(const TheStringItem& item) noexcept;

// Adds a reference for a copy of item's handle / drops item's reference and empties the handle.
void Retain(const TheStringItem& item) noexcept;
void Release(TheStringItem& item) noexcept;

// Gives item a new heap block holding Text (and its current carry text); the old one is released.
void SetText(TheStringItem& item, std::string_view text);
void SetCarry(TheStringItem& item, std::string_view carry);

// Bytes held by arena chunks and heap blocks now alive (for memory figures).
std::size_t LiveBlockBytes() noexcept;

}  // namespace rowtext

// Packs the texts of many new rows into large shared chunks: one allocation per megabyte instead
// of one per row. Used where lists are built in bulk (loading, wrapping a whole document).
class TRowTextArena {
public:
    TRowTextArena() = default;
    TRowTextArena(const TRowTextArena&) = delete;
    TRowTextArena& operator=(const TRowTextArena&) = delete;
    ~TRowTextArena();

    // Replaces item's text by a copy of text kept in the arena (long texts get a heap block).
    void SetText(TheStringItem& item, std::string_view text);

private:
    struct TRowTextChunk* FChunk = nullptr;
};

// Keeps a whole loaded text alive as the storage of the rows cut from it: each row is a slice of
// it, and the text is freed with the last row that uses it.
class TRowTextBuffer {
public:
    explicit TRowTextBuffer(std::string&& Text);
    TRowTextBuffer(const TRowTextBuffer&) = delete;
    TRowTextBuffer& operator=(const TRowTextBuffer&) = delete;
    ~TRowTextBuffer();

    std::string_view Text() const noexcept;
    // Makes item's text the slice Slice of this buffer (long slices get a heap block).
    void SetText(TheStringItem& item, std::string_view Slice);

private:
    struct TAdoptedText* FText;
};

}  // namespace orvane
