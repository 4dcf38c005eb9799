// Window, edit-control and scroll messages with the values other programs send them, for
// TEditor::Perform: the control's one entry for messages, used in-process only.
#pragma once

#include <cstdint>

namespace orvane {

using TMessageParam = std::uintptr_t;  // the word parameter
using TMessageLong = std::intptr_t;    // the long parameter and the result

// Window messages.
inline constexpr unsigned WM_SIZE = 0x0005;
inline constexpr unsigned WM_SETFOCUS = 0x0007;
inline constexpr unsigned WM_KILLFOCUS = 0x0008;
inline constexpr unsigned WM_SETREDRAW = 0x000B;
inline constexpr unsigned WM_SETTEXT = 0x000C;
inline constexpr unsigned WM_GETTEXT = 0x000D;
inline constexpr unsigned WM_GETTEXTLENGTH = 0x000E;
inline constexpr unsigned WM_PAINT = 0x000F;
inline constexpr unsigned WM_SETCURSOR = 0x0020;
inline constexpr unsigned WM_CONTEXTMENU = 0x007B;
inline constexpr unsigned WM_GETDLGCODE = 0x0087;
inline constexpr unsigned WM_KEYDOWN = 0x0100;
inline constexpr unsigned WM_KEYUP = 0x0101;
inline constexpr unsigned WM_CHAR = 0x0102;
inline constexpr unsigned WM_SYSKEYDOWN = 0x0104;
inline constexpr unsigned WM_IME_STARTCOMPOSITION = 0x010D;
inline constexpr unsigned WM_IME_ENDCOMPOSITION = 0x010E;
inline constexpr unsigned WM_IME_COMPOSITION = 0x010F;
inline constexpr unsigned WM_HSCROLL = 0x0114;
inline constexpr unsigned WM_VSCROLL = 0x0115;
inline constexpr unsigned WM_MOUSEMOVE = 0x0200;
inline constexpr unsigned WM_LBUTTONDOWN = 0x0201;
inline constexpr unsigned WM_LBUTTONUP = 0x0202;
inline constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
inline constexpr unsigned WM_RBUTTONDOWN = 0x0204;
inline constexpr unsigned WM_RBUTTONUP = 0x0205;
inline constexpr unsigned WM_MOUSEWHEEL = 0x020A;
inline constexpr unsigned WM_CUT = 0x0300;
inline constexpr unsigned WM_COPY = 0x0301;
inline constexpr unsigned WM_PASTE = 0x0302;
inline constexpr unsigned WM_CLEAR = 0x0303;
inline constexpr unsigned WM_UNDO = 0x0304;

// Edit-control messages.
inline constexpr unsigned EM_GETSEL = 0x00B0;
inline constexpr unsigned EM_SETSEL = 0x00B1;
inline constexpr unsigned EM_GETRECT = 0x00B2;
inline constexpr unsigned EM_SCROLL = 0x00B5;
inline constexpr unsigned EM_LINESCROLL = 0x00B6;
inline constexpr unsigned EM_SCROLLCARET = 0x00B7;
inline constexpr unsigned EM_GETMODIFY = 0x00B8;
inline constexpr unsigned EM_SETMODIFY = 0x00B9;
inline constexpr unsigned EM_GETLINECOUNT = 0x00BA;
inline constexpr unsigned EM_LINEINDEX = 0x00BB;
inline constexpr unsigned EM_LINELENGTH = 0x00C1;
inline constexpr unsigned EM_REPLACESEL = 0x00C2;
inline constexpr unsigned EM_GETLINE = 0x00C4;
inline constexpr unsigned EM_CANUNDO = 0x00C6;
inline constexpr unsigned EM_UNDO = 0x00C7;
inline constexpr unsigned EM_LINEFROMCHAR = 0x00C9;
inline constexpr unsigned EM_EMPTYUNDOBUFFER = 0x00CD;
inline constexpr unsigned EM_GETFIRSTVISIBLELINE = 0x00CE;
inline constexpr unsigned EM_SETREADONLY = 0x00CF;
inline constexpr unsigned EM_POSFROMCHAR = 0x00D6;
inline constexpr unsigned EM_CHARFROMPOS = 0x00D7;

// Scroll-bar codes of WM_VSCROLL and WM_HSCROLL (low word of the word parameter).
inline constexpr unsigned SB_LINEUP = 0, SB_LINELEFT = 0;
inline constexpr unsigned SB_LINEDOWN = 1, SB_LINERIGHT = 1;
inline constexpr unsigned SB_PAGEUP = 2, SB_PAGELEFT = 2;
inline constexpr unsigned SB_PAGEDOWN = 3, SB_PAGERIGHT = 3;
inline constexpr unsigned SB_THUMBPOSITION = 4;
inline constexpr unsigned SB_THUMBTRACK = 5;
inline constexpr unsigned SB_TOP = 6, SB_LEFT = 6;
inline constexpr unsigned SB_BOTTOM = 7, SB_RIGHT = 7;
inline constexpr unsigned SB_ENDSCROLL = 8;

// WM_GETDLGCODE answers.
inline constexpr TMessageLong DLGC_WANTARROWS = 0x0001;
inline constexpr TMessageLong DLGC_WANTTAB = 0x0002;
inline constexpr TMessageLong DLGC_WANTALLKEYS = 0x0004;
inline constexpr TMessageLong DLGC_HASSETSEL = 0x0008;
inline constexpr TMessageLong DLGC_WANTCHARS = 0x0080;

// Virtual keys.
inline constexpr unsigned VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10,
                          VK_CONTROL = 0x11, VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
                          VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25,
                          VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E;

// Mouse button and key states in mouse messages.
inline constexpr unsigned MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008;

constexpr unsigned LoWord(TMessageLong V) noexcept { return unsigned(std::uintptr_t(V) & 0xFFFF); }
constexpr unsigned HiWord(TMessageLong V) noexcept { return unsigned((std::uintptr_t(V) >> 16) & 0xFFFF); }
constexpr TMessageLong MakeLong(unsigned Lo, unsigned Hi) noexcept {
    return TMessageLong(std::uint32_t((Lo & 0xFFFF) | ((Hi & 0xFFFF) << 16)));
}

}  // namespace orvane
