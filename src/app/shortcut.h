// Shortcut words and their text: "Shift+Ctrl+Alt+C", "BkSp", "Ctrl+,", as settings store them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// A shortcut: the low byte a virtual key code, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt; 0 is none.
using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

inline constexpr std::uint8_t ShortCutKey(TShortCut S) noexcept { return std::uint8_t(S & 0xFF); }

// The virtual keys with a name: letters and digits as themselves, F1 … F24, the named keys
// ("BkSp", "Tab", "Enter", "Esc", "Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right",
// "Down", "Ins", "Del") and the punctuation keys by their names on the Japanese 106/109-key
// layout (";" "-" "," "." "@" "[" "\" "]" ":" "/" "^"). Empty for any other key.
std::string_view KeyName(std::uint8_t VirtualKey) noexcept;

// "Shift+", "Ctrl+" and "Alt+" in this order, then the key's name; empty for none and for a key
// without a name.
std::string ShortCutToText(TShortCut ShortCut);
// The modifiers in any order and any case, then a key name (any case); blanks around the parts
// are allowed. Empty text, and text that does not parse, give scNone.
TShortCut TextToShortCut(std::string_view Text) noexcept;

}  // namespace orvane
