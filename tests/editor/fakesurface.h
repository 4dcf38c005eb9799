// A surface that records what the editor's logic asks of its window, so that the controller is
// tested without a display, and a shown editor on it: a fixed 8 x 16 cell, no bars, a view of
// Cols x Rows cells.
#pragma once

#include "editor/controller.h"
#include "editor/surface.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane::test {

// The clipboard as the real one keeps it: the text other programs see (UTF-8), and the copied
// Shift_JIS bytes beside it when a box was copied. Surfaces may share one.
struct TFakeClipboard {
    bool HasText = false;  // text was put, possibly empty
    std::string Utf8;
    bool Box = false;
    std::string BoxBytes;

    // Text put by another program.
    void SetForeignText(std::string_view Text);
};

// An area invalidated (Dx = Dy = 0) or scrolled by (Dx, Dy).
struct TSurfaceArea {
    TRect Area;
    int Dx = 0, Dy = 0;
    friend bool operator==(const TSurfaceArea&, const TSurfaceArea&) = default;
};

struct TScrollBarState {
    int RowMax = 0, RowPage = 0, TopRow = 0, ColMax = 0, ColPage = 0, TopCol = 0;
};

class TFakeSurface final : public IEditorSurface {
public:
    // The state the editor reads; tests set it.
    int SurfaceWidth = 0, SurfaceHeight = 0;
    bool Focus = false;
    bool Shown = true;
    int FontCharWidth = 8, FontHeight = 16;  // what measuring any font gives

    // What the editor did to it.
    std::vector<TSurfaceArea> Areas;
    int WholeInvalidations = 0, ImmediateRepaints = 0, FocusRequests = 0;
    bool RedrawOn = true;
    bool VerticalBar = false, HorizontalBar = false;
    TScrollBarState Bars;
    TCursor Cursor = crDefault;
    std::vector<std::pair<TEditorNews, bool>> NewsReceived;
    std::vector<std::string> Errors;
    std::shared_ptr<TFakeClipboard> Clipboard = std::make_shared<TFakeClipboard>();

    // The invalidated areas only, without the scrolled ones.
    std::vector<TRect> Invalidated() const;
    int NewsCount(TEditorNews What) const;
    // Forgets what was recorded (areas, repaints and news).
    void ClearRecords();
    TRect Rect() const { return {0, 0, SurfaceWidth, SurfaceHeight}; }

    int Width() const override { return SurfaceWidth; }
    int Height() const override { return SurfaceHeight; }
    void Invalidate(const TRect& Area) override { Areas.push_back({Area, 0, 0}); }
    void InvalidateAll() override { ++WholeInvalidations; }
    void RepaintNow() override { ++ImmediateRepaints; }
    void Scroll(const TRect& Area, int Dx, int Dy) override { Areas.push_back({Area, Dx, Dy}); }
    void SetRedraw(bool On) override;
    bool Visible() const override { return Shown; }
    bool HasFocus() const override { return Focus; }
    void TakeFocus() override;
    void ShowScrollBars(bool Vertical, bool Horizontal) override;
    void SetScrollBars(int RowMax, int RowPage, int TopRow, int ColMax, int ColPage, int TopCol) override;
    void SetCursorShape(TCursor Shape) override { Cursor = Shape; }
    void MeasureFont(const TFont& Font, int& CharWidth, int& Height) override;
    void SetClipboard(std::string_view Sjis, bool Box, const TCharMap* Map) override;
    bool ClipboardHasText() const override { return Clipboard->HasText || Clipboard->Box; }
    bool ClipboardHasBox() const override { return Clipboard->Box; }
    std::string ClipboardText(TCharMap* Map) override;
    void ShowError(const std::string& Message) override { Errors.push_back(Message); }
    void News(TEditorNews What, bool Selected) override { NewsReceived.emplace_back(What, Selected); }
};

// Shows Editor on Surface with a fixed 8 x 16 cell, no scroll bars and no image bar, on a view of
// Cols x Rows cells, with the focus or without.
void ShowEditor(TEditorController& Editor, TFakeSurface& Surface, int Cols, int Rows, bool Focus);
// The surface takes a new size and the editor hears of it.
void ResizeSurface(TEditorController& Editor, TFakeSurface& Surface, int Width, int Height);

}  // namespace orvane::test
