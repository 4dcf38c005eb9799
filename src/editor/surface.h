// What the editor's logic needs of the window that shows it: a small abstract surface. The Qt
// control implements it; tests implement it with a recorder and run without a display.
#pragma once

#include "base/cursors.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace orvane {

class TCharMap;
class TFont;

// A point and a rectangle in surface pixels.
struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool Empty() const noexcept { return Width <= 0 || Height <= 0; }
    int Right() const noexcept { return Left + Width; }    // one past the last column
    int Bottom() const noexcept { return Top + Height; }   // one past the last row
    bool Contains(int X, int Y) const noexcept { return X >= Left && X < Right() && Y >= Top && Y < Bottom(); }
    TRect Intersected(const TRect& Other) const noexcept {
        const int l = std::max(Left, Other.Left), t = std::max(Top, Other.Top);
        const int r = std::min(Right(), Other.Right()), b = std::min(Bottom(), Other.Bottom());
        return r > l && b > t ? TRect{l, t, r - l, b - t} : TRect{};
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Modifier keys and mouse buttons, as sets of bits.
using TKeyModifiers = unsigned;
inline constexpr TKeyModifiers kmNone = 0, kmShift = 1, kmCtrl = 2, kmAlt = 4;
using TMouseButtons = unsigned;
inline constexpr TMouseButtons mbNone = 0, mbLeft = 1, mbRight = 2, mbMiddle = 4;

// What the editor tells the outside world; the control turns each into its event.
enum class TEditorNews { Change, CaretMoved, TopRowChange, TopColChange, SelectionChange, SelectionModeChange };

class IEditorSurface {
public:
    virtual ~IEditorSurface() = default;

    // Size of the drawing area in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Repaint an area later / the whole area later / now; move the pixels of an area by (Dx, Dy)
    // and repaint what is uncovered.
    virtual void Invalidate(const TRect& Area) = 0;
    virtual void InvalidateAll() = 0;
    virtual void RepaintNow() = 0;
    virtual void Scroll(const TRect& Area, int Dx, int Dy) = 0;
    // Painting on or off (a bracket of many changes); on again repaints everything.
    virtual void SetRedraw(bool On) = 0;
    virtual bool Visible() const = 0;

    virtual bool HasFocus() const = 0;
    virtual void TakeFocus() = 0;

    // Scroll bars: which ones show, and their ranges and positions.
    virtual void ShowScrollBars(bool Vertical, bool Horizontal) = 0;
    virtual void SetScrollBars(int RowMax, int RowPage, int TopRow, int ColMax, int ColPage, int TopCol) = 0;

    virtual void SetCursorShape(TCursor Cursor) = 0;

    // The cell of a font: the advance of one half-width character and the line height. The
    // surface also drops whatever it cached for the old font.
    virtual void MeasureFont(const TFont& Font, int& CharWidth, int& FontHeight) = 0;

    // The clipboard, in Shift_JIS; Map keeps characters outside the code page.
    virtual void SetClipboard(std::string_view Sjis, bool Box, const TCharMap* Map) = 0;
    virtual bool ClipboardHasText() const = 0;
    virtual bool ClipboardHasBox() const = 0;
    virtual std::string ClipboardText(TCharMap* Map) = 0;

    // The default error display: shows the message of an operation that failed.
    virtual void ShowError(const std::string& Message) = 0;

    // Caret moved, text changed, view scrolled, selection changed (Selected tells whether there
    // is one now).
    virtual void News(TEditorNews What, bool Selected) = 0;
};

}  // namespace orvane
