// A growing output buffer for the converters: one capacity check per write, no per-byte
// bookkeeping of std::string.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace orvane {

static_assert(std::endian::native == std::endian::little, "PutPacked assumes a little-endian machine");

class TByteWriter {
public:
    // Room for Expected bytes is reserved, not touched: a large guess costs no memory until
    // it is written.
    explicit TByteWriter(std::size_t Expected) { FBuf.reserve(Expected + 16); }

    void Put(std::uint8_t B) {
        Need(1);
        FBuf[FLen++] = char(B);
    }
    void Put2(std::uint8_t B1, std::uint8_t B2) {
        Need(2);
        FBuf[FLen] = char(B1);
        FBuf[FLen + 1] = char(B2);
        FLen += 2;
    }
    void Put3(std::uint8_t B1, std::uint8_t B2, std::uint8_t B3) {
        Need(3);
        FBuf[FLen] = char(B1);
        FBuf[FLen + 1] = char(B2);
        FBuf[FLen + 2] = char(B3);
        FLen += 3;
    }
    // Up to four bytes packed lowest first; Count of them are written.
    void PutPacked(std::uint32_t Bytes, unsigned Count) {
        Need(4);
        std::memcpy(&FBuf[FLen], &Bytes, 4);  // little-endian machine: lowest byte first
        FLen += Count;
    }
    void Append(std::string_view S) {
        if (S.empty()) return;  // its data() may be null
        Need(S.size());
        std::memcpy(&FBuf[FLen], S.data(), S.size());
        FLen += S.size();
    }
    // Room for N bytes written straight through the pointer; Commit says how many were.
    char* Reserve(std::size_t N) {
        Need(N);
        return FBuf.data() + FLen;
    }
    void Commit(std::size_t Used) noexcept { FLen += Used; }
    std::size_t Size() const noexcept { return FLen; }
    // The bytes written. Room left over is given back when the text is small; in a large one
    // it was never touched, and copying the text to give it back would cost more.
    std::string Take() {
        const bool slack = FBuf.capacity() - FLen > FLen / 4 + 64;
        FBuf.resize(FLen);
        if (slack && FLen < kStep * 16) FBuf.shrink_to_fit();
        return std::move(FBuf);
    }

private:
    static constexpr std::size_t kStep = 64 << 10;
    void Need(std::size_t N) {
        if (FLen + N > FBuf.size()) Grow(N);
    }
    // The string's size runs ahead of what is written by a step at a time (resize fills what
    // it adds), its capacity doubles when the room runs out.
    void Grow(std::size_t N) {
        const std::size_t need = FLen + N;
        if (need > FBuf.capacity()) FBuf.reserve(std::max(need, FBuf.capacity() * 2));
        FBuf.resize(std::min(FBuf.capacity(), std::max(need, FBuf.size() + kStep)));
    }
    std::string FBuf;
    std::size_t FLen = 0;
};

}  // namespace orvane
