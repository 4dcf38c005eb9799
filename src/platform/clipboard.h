// The clipboard: text, and the private mark of a rectangular (box) copy, for the editor control.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

class TCharMap;

// The MIME type of the private box mark; its data are the copied Shift_JIS bytes themselves.
inline constexpr const char* kBoxClipboardType = "application/x-teditor-box-type";

// Puts Shift_JIS text on the clipboard (as Unicode text for other programs), with the box mark
// when Box is set. Map gives back characters kept in the user-defined area.
void SetClipboardText(std::string_view Sjis, bool Box, const TCharMap* Map = nullptr);
bool ClipboardHasText();
bool ClipboardHasBox();
// The clipboard's text in Shift_JIS: a box copy of this program byte for byte, other text
// converted (characters the code page cannot hold go into Map, or become 〓 without one).
std::string ClipboardText(TCharMap* Map = nullptr);

}  // namespace orvane
