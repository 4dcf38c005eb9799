// A growing output buffer for the converters: one capacity check per write, no per-byte
// bookkeeping of std::string.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace orvane {

static_assert(std::endian::native == std::endian::little, "PutPacked assumes a little-endian machine");

class TByteWriter {
public:
    explicit TByteWriter(std::size_t Expected) { FBuf.resize(Expected + 16); }

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
    std::string Take() {
        bool slack = FBuf.size() - FLen > FLen / 4 + 64;
        FBuf.resize(FLen);
        if (slack) FBuf.shrink_to_fit();
        return std::move(FBuf);
    }

private:
    void Need(std::size_t N) {
        if (FLen + N > FBuf.size()) FBuf.resize((FBuf.size() + N) * 2);
    }
    std::string FBuf;
    std::size_t FLen = 0;
};

}  // namespace orvane
