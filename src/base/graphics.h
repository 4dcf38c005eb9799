// Colour and font-style values of settings objects, as the class library gives them.
#pragma once

#include <cstdint>

namespace orvane {

// A colour as 0x00BBGGRR; clNone (and other values above 0xFFFFFF) mean "the default colour".
// A system colour has the high bit set (so it is negative) and holds the index of a palette
// role in its low byte; it is stored as is and resolved only when drawing.
using TColor = std::int32_t;

inline constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor clWindow = clSystemColor | 0x05;
inline constexpr TColor clWindowText = clSystemColor | 0x08;
inline constexpr TColor clBtnFace = clSystemColor | 0x0F;

// A set of font styles, one bit each.
using TFontStyles = std::uint8_t;

inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;

}  // namespace orvane
