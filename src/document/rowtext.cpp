// Reference-counted row text blocks and the bulk arena.
#include "document/rowtext.h"

#include "base/faults.h"

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <new>
#include <stdexcept>

namespace orvane {
namespace {

// A heap block: header, then text, then carry text.
struct HeapHeader {
    std::uint32_t Refs;
    std::uint32_t CarryLen;
};
static_assert(sizeof(HeapHeader) == 8);

// Arena chunks are aligned to their size, so a text pointer finds its chunk by masking.
constexpr std::size_t kChunkSize = std::size_t{1} << 20;
constexpr std::size_t kArenaMaxText = kChunkSize / 16;

std::size_t gLiveBytes = 0;

HeapHeader* HeaderOf(const TheStringItem& item) {
    return reinterpret_cast<HeapHeader*>(const_cast<char*>(item.TextPtr) - sizeof(HeapHeader));
}

bool InArena(const TheStringItem& item) { return (item.TextLen & rowtext::kArenaBit) != 0; }
bool InAdopted(const TheStringItem& item) { return (item.TextLen & rowtext::kAdoptedBit) != 0; }

}  // namespace

// A loaded text that rows point into, found from a row's text pointer through a registry of the
// address ranges of all adopted texts (one per loaded document, so the search is short).
struct TAdoptedText {
    std::string Bytes;
    std::size_t Refs = 1;

    static std::map<std::uintptr_t, TAdoptedText*>& Registry() {
        static std::map<std::uintptr_t, TAdoptedText*> registry;
        return registry;
    }
    static TAdoptedText* Of(const char* p) {
        auto& registry = Registry();
        auto it = registry.upper_bound(reinterpret_cast<std::uintptr_t>(p));
        return std::prev(it)->second;
    }
    void Unref() {
        if (--Refs == 0) {
            gLiveBytes -= Bytes.capacity();
            Registry().erase(reinterpret_cast<std::uintptr_t>(Bytes.data()));
            delete this;
        }
    }
};

struct TRowTextChunk {
    std::uint32_t Refs;
    std::uint32_t Used;  // bytes used after the header
    static constexpr std::size_t kCapacity = kChunkSize - 16;
    char* Bytes() { return reinterpret_cast<char*>(this) + 16; }
    static TRowTextChunk* Of(const char* p) {
        return reinterpret_cast<TRowTextChunk*>(reinterpret_cast<std::uintptr_t>(p) & ~(kChunkSize - 1));
    }
    static TRowTextChunk* New() {
        FaultPoint();
        void* memory = std::aligned_alloc(kChunkSize, kChunkSize);
        if (!memory) throw std::bad_alloc();
        gLiveBytes += kChunkSize;
        return new (memory) TRowTextChunk{1, 0};
    }
    void Unref() {
        if (--Refs == 0) {
            gLiveBytes -= kChunkSize;
            std::free(this);
        }
    }
};

namespace rowtext {

std::string_view Carry(const TheStringItem& item) noexcept {
    if (!item.TextPtr || InArena(item) || InAdopted(item)) return {};
    const HeapHeader* header = HeaderOf(item);
    return {item.TextPtr + item.TextLen, header->CarryLen};
}

void Retain(const TheStringItem& item) noexcept {
    if (!item.TextPtr) return;
    if (InArena(item))
        ++TRowTextChunk::Of(item.TextPtr)->Refs;
    else if (InAdopted(item))
        ++TAdoptedText::Of(item.TextPtr)->Refs;
    else
        ++HeaderOf(item)->Refs;
}

void Release(TheStringItem& item) noexcept {
    if (item.TextPtr) {
        if (InArena(item)) {
            TRowTextChunk::Of(item.TextPtr)->Unref();
        } else if (InAdopted(item)) {
            TAdoptedText::Of(item.TextPtr)->Unref();
        } else {
            HeapHeader* header = HeaderOf(item);
            if (--header->Refs == 0) {
                gLiveBytes -= sizeof(HeapHeader) + item.TextLen + header->CarryLen;
                std::free(header);
            }
        }
    }
    item.TextPtr = nullptr;
    item.TextLen = 0;
}

namespace {

void SetBlock(TheStringItem& item, std::string_view text, std::string_view carry) {
    if (text.size() > kMaxRowBytes) throw std::length_error("row too long");
    if (text.empty() && carry.empty()) {
        Release(item);
        return;
    }
    const std::size_t size = sizeof(HeapHeader) + text.size() + carry.size();
    FaultPoint();
    auto* header = static_cast<HeapHeader*>(std::malloc(size));
    if (!header) throw std::bad_alloc();
    gLiveBytes += size;
    header->Refs = 1;
    header->CarryLen = static_cast<std::uint32_t>(carry.size());
    char* bytes = reinterpret_cast<char*>(header + 1);
    if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
    if (!carry.empty()) std::memcpy(bytes + text.size(), carry.data(), carry.size());
    Release(item);
    item.TextPtr = bytes;
    item.TextLen = static_cast<std::uint32_t>(text.size());
}

}  // namespace

void SetText(TheStringItem& item, std::string_view text) {
    // The old block stays alive until the new one is made: text may point into it.
    SetBlock(item, text, Carry(item));
}

void SetCarry(TheStringItem& item, std::string_view carry) {
    if (carry.empty() && Carry(item).empty()) return;
    SetBlock(item, Text(item), carry);
}

std::size_t LiveBlockBytes() noexcept { return gLiveBytes; }

}  // namespace rowtext

TRowTextArena::~TRowTextArena() {
    if (FChunk) FChunk->Unref();
}

void TRowTextArena::SetText(TheStringItem& item, std::string_view text) {
    if (text.empty() || text.size() > kArenaMaxText || !rowtext::Carry(item).empty()) {
        rowtext::SetText(item, text);
        return;
    }
    if (!FChunk || FChunk->Used + text.size() > TRowTextChunk::kCapacity) {
        if (FChunk) FChunk->Unref();
        FChunk = TRowTextChunk::New();
    }
    char* bytes = FChunk->Bytes() + FChunk->Used;
    std::memcpy(bytes, text.data(), text.size());
    FChunk->Used += static_cast<std::uint32_t>(text.size());
    ++FChunk->Refs;
    rowtext::Release(item);
    item.TextPtr = bytes;
    item.TextLen = static_cast<std::uint32_t>(text.size()) | rowtext::kArenaBit;
}

}  // namespace orvane

namespace orvane {

TRowTextBuffer::TRowTextBuffer(std::string&& Text) : FText(new TAdoptedText{std::move(Text)}) {
    if (FText->Bytes.empty()) FText->Bytes.reserve(1);  // a real address for the registry
    gLiveBytes += FText->Bytes.capacity();
    TAdoptedText::Registry()[reinterpret_cast<std::uintptr_t>(FText->Bytes.data())] = FText;
}

TRowTextBuffer::~TRowTextBuffer() { FText->Unref(); }

std::string_view TRowTextBuffer::Text() const noexcept { return FText->Bytes; }

void TRowTextBuffer::SetText(TheStringItem& item, std::string_view Slice) {
    if (Slice.empty() || Slice.size() > rowtext::kMaxRowBytes || !rowtext::Carry(item).empty()) {
        rowtext::SetText(item, Slice);
        return;
    }
    ++FText->Refs;
    rowtext::Release(item);
    item.TextPtr = Slice.data();
    item.TextLen = static_cast<std::uint32_t>(Slice.size()) | rowtext::kAdoptedBit;
}

}  // namespace orvane
