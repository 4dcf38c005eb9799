// Painting of the application editor's extra marks and hit range.
#include "styles/orvaneeditor.h"

#include "base/dbcs.h"

#include <QPaintEvent>
#include <QPainter>

namespace orvane {

TOrvaneEditor::TOrvaneEditor(QWidget* Parent) : TEditor(Parent) {
    FMarksOrvane.OnChange = [this](TObject*) { MarksChanged(); };
}

TOrvaneEditor::~TOrvaneEditor() { FMarksOrvane.OnChange = nullptr; }

void TOrvaneEditor::MarksChanged() { viewport()->update(); }

void TOrvaneEditor::SetHitStart(int Value) { SetHit(Value, FHit.Length); }
void TOrvaneEditor::SetHitLength(int Value) { SetHit(FHit.Start, Value); }

void TOrvaneEditor::SetHit(int Start, int Length) {
    const std::size_t len = Document().GetTextLen();
    FHit = LimitHitRange(Start, Length, len > std::size_t(INT_MAX) ? INT_MAX : int(len));
    viewport()->update();
}

void TOrvaneEditor::paintEvent(QPaintEvent* Event) {
    TEditor::paintEvent(Event);
    const TEditorMark& line = FMarksOrvane.VertLine();
    if (!WordWrap() || !line.Visible()) return;
    const int x = TextLeft() + (WrapOption().WrapByte() - TopCol()) * CharWidth();
    if (x < TextLeft()) return;
    QPainter p(viewport());
    QPen pen(ToQColor(line.Color()), 1, Qt::DotLine);
    p.setPen(pen);
    p.drawLine(x, TextTop(), x, viewport()->height());
}

void TOrvaneEditor::DrawUnderline(QPainter& P, int Y) {
    if (!WordWrap()) return TEditor::DrawUnderline(P, Y);
    const int wrap = WrapOption().WrapByte();
    if (wrap < TopCol()) return;  // the wrap column is scrolled out to the left
    P.setPen(ToQColor(Marks().Underline().Color()));
    P.drawLine(TextLeft(), Y, TextLeft() + (wrap - TopCol()) * CharWidth(), Y);
}

void TOrvaneEditor::DoDrawLine(QPainter& P, const TRowPlan& Plan, int OriginX, int Y, const QRect& PartRect,
                               bool Selected) {
    const TEditorMark& tab = FMarksOrvane.TabMark();
    const TEditorMark& space = FMarksOrvane.DByteSpace();
    if ((tab.Visible() || space.Visible()) && Plan.Row < RowCount()) {
        const std::string_view text = Document().RowView(Plan.Row);
        if (text.find('\t') != std::string_view::npos || text.find("\x81\x40") != std::string_view::npos) {
            const TColumnLayout layout = PaintSettings().Layout;
            const TColor selected = View().Colors().Select().Color();
            const int w = CharWidth();
            for (const TExtraMarkPos& m : ExtraMarkColumns(text, layout)) {
                const int x = OriginX + m.Col * w;
                if (m.Tab && tab.Visible() && x >= PartRect.left() && x <= PartRect.right() + 1 - w)
                    DrawTabMark(P, x, Y, ToQColor(Selected && selected != clNone ? selected : tab.Color()));
                else if (!m.Tab && space.Visible() && x >= PartRect.left())
                    DrawDByteSpaceMark(P, x, Y, ToQColor(Selected && selected != clNone ? selected : space.Color()));
            }
        }
    }
    if (FHit.Length > 0) DrawHitRange(P, Plan, OriginX, Y);
    TEditor::DoDrawLine(P, Plan, OriginX, Y, PartRect, Selected);
}

void TOrvaneEditor::DrawTabMark(QPainter& P, int X, int Y, const QColor& Color) {
    const bool wide = CharWidth() >= 14;
    const int arm = wide ? 5 : 3;
    P.setPen(QPen(Color, wide ? 2 : 1));
    const int x = X + 2, y = Y + (RowHeight() - Margin().Line()) / 2;
    P.drawLine(x, y - arm, x + arm, y);
    P.drawLine(x, y + arm, x + arm, y);
}

void TOrvaneEditor::DrawDByteSpaceMark(QPainter& P, int X, int Y, const QColor& Color) {
    P.setPen(QPen(Color, 1));
    const int b = Y + RowHeight() - Margin().Line() - 1;
    const int right = X + 2 * CharWidth() - 1;
    P.drawLine(X + 1, b - 3, X + 1, b);
    P.drawLine(X + 1, b, right, b);
    P.drawLine(right, b, right, b - 4);
}

void TOrvaneEditor::DrawHitRange(QPainter& P, const TRowPlan& Plan, int OriginX, int Y) {
    if (Plan.Row >= RowCount()) return;
    const int start = OffsetOf(0, Plan.Row, 0);
    const int end = FHit.Start + FHit.Length;
    if (start >= end) return;
    const std::string_view text = Document().RowView(Plan.Row);
    if (start + int(text.size()) <= FHit.Start) return;
    const TColumnLayout layout = PaintSettings().Layout;
    const QColor bg(0xFF, 0, 0), fg(0xFF, 0xFF, 0);
    int col = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = CharLenAt(text, i);
        const int width = text[i] == '\t' ? layout.TabWidthAt(col) : int(length);
        const int o = start + int(i);
        if (o + int(length) > FHit.Start && o < end) {
            const std::string cell = text[i] == '\t' ? std::string(std::size_t(width), ' ') : std::string(text.substr(i, length));
            DrawCells(P, OriginX + col * CharWidth(), Y, cell, fg, &bg, 0);
        }
        col += width;
        i += length;
    }
}

}  // namespace orvane
