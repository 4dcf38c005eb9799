#include "editor/fakesurface.h"

#include "files/unicode.h"

#include <algorithm>

namespace orvane::test {

void TFakeClipboard::SetForeignText(std::string_view Text) {
    HasText = true;
    Utf8 = std::string(Text);
    Box = false;
    BoxBytes.clear();
}

std::vector<TRect> TFakeSurface::Invalidated() const {
    std::vector<TRect> out;
    for (const TSurfaceArea& a : Areas)
        if (a.Dx == 0 && a.Dy == 0) out.push_back(a.Area);
    return out;
}

int TFakeSurface::NewsCount(TEditorNews What) const {
    return int(std::count_if(NewsReceived.begin(), NewsReceived.end(), [&](const auto& n) { return n.first == What; }));
}

void TFakeSurface::ClearRecords() {
    Areas.clear();
    WholeInvalidations = ImmediateRepaints = 0;
    NewsReceived.clear();
}

void TFakeSurface::SetRedraw(bool On) {
    RedrawOn = On;
    if (On) ++WholeInvalidations;
}

void TFakeSurface::TakeFocus() {
    ++FocusRequests;
    Focus = true;
}

void TFakeSurface::ShowScrollBars(bool Vertical, bool Horizontal) {
    VerticalBar = Vertical;
    HorizontalBar = Horizontal;
}

void TFakeSurface::SetScrollBars(int RowMax, int RowPage, int TopRow, int ColMax, int ColPage, int TopCol) {
    Bars = {RowMax, RowPage, TopRow, ColMax, ColPage, TopCol};
}

void TFakeSurface::MeasureFont(const TFont&, int& CharWidth, int& Height) {
    CharWidth = FontCharWidth;
    Height = FontHeight;
}

// As the real clipboard: the text for other programs goes through Unicode (the map gives back
// the characters it keeps); a box keeps its bytes as they are.
void TFakeSurface::SetClipboard(std::string_view Sjis, bool Box, const TCharMap* Map) {
    TFakeClipboard& c = *Clipboard;
    c.HasText = true;
    c.Utf8 = SjisToUtf8(Sjis, Map, nullptr);
    c.Box = Box;
    c.BoxBytes = Box ? std::string(Sjis) : std::string();
}

std::string TFakeSurface::ClipboardText(TCharMap* Map) {
    const TFakeClipboard& c = *Clipboard;
    if (c.Box) return c.BoxBytes;
    if (!c.HasText) return {};
    return Utf8ToSjis(c.Utf8, Map, nullptr);
}

void ShowEditor(TEditorController& Editor, TFakeSurface& Surface, int Cols, int Rows, bool Focus) {
    Editor.SetFixedMetrics(8, 16);
    Editor.SetScrollBars(ssNone);
    Editor.Imagebar().SetVisible(false);
    Surface.Focus = Focus;
    ResizeSurface(Editor, Surface, Editor.TextLeft() + Cols * 8 + 4, Editor.TextTop() + Rows * 16 + 5);
}

void ResizeSurface(TEditorController& Editor, TFakeSurface& Surface, int Width, int Height) {
    Surface.SurfaceWidth = Width;
    Surface.SurfaceHeight = Height;
    Editor.Resized();
}

}  // namespace orvane::test
