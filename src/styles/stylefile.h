// The value forms of the style file: integers, number lists and booleans packed into one integer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// At most this many booleans fit one packed integer.
inline constexpr int kMaxPackedBools = 32;

// A signed decimal integer, or hexadecimal after "0x"/"0X"; blanks around it are allowed.
// Values up to 0xFFFFFFFF are taken and wrap to negative, as system colours are stored. Nothing
// for anything else.
std::optional<std::int32_t> ParseStyleInteger(std::string_view Text) noexcept;

// The numbers of a list joined by ",". A part that is not a number reads as 0 and sets Damaged.
std::vector<std::int32_t> SplitNumberList(std::string_view Text, bool* Damaged = nullptr);
std::string JoinNumberList(std::span<const std::int32_t> Numbers);

// Boolean i becomes bit i. More than 32 booleans raise orvane::Exception ("DWORDに変換可能な
// Bool値は32個までです"); taking more than 32 out raises "DWORDから取得可能なBool値は32個までです".
std::uint32_t PackBools(std::span<const bool> Bools);
void UnpackBools(std::uint32_t Packed, std::span<bool> Bools);

}  // namespace orvane
