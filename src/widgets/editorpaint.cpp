// Painting of the editor control: corner, ruler, image bar, line numbers, text rows with their
// marks, the caret and the caret-row underline, all on the cell grid.
#include "widgets/editor.h"
#include "widgets/editorglyphs.h"

#include "base/dbcs.h"
#include "files/cp932.h"
#include "modes/fountain.h"
#include "modes/parser.h"
#include "platform/fonts.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace orvane {
namespace {

int StyleIndex(TFontStyles Style) { return ((Style & fsBold) ? 1 : 0) | ((Style & fsItalic) ? 2 : 0); }

// The character a code stands for: two-byte codes and one-byte ones through code page 932;
// a lead byte without its trail and undefined codes show as U+FFFD.
char16_t CharOfCode(unsigned Code, bool Lone) {
    if (Lone) return u'\uFFFD';
    const std::uint16_t c = Cp932().Decode[Code];
    return c == kNoChar ? u'\uFFFD' : char16_t(c);
}

}  // namespace

void TEditor::ResetGlyphCache() {
    if (!FGlyphs) FGlyphs = std::make_unique<TGlyphCache>();
    const QFont fallback = ResolveEditorFont(QStringLiteral("IPAGothic"), FQFont.pointSize());
    for (int style = 0; style < 4; ++style) {
        QFont font = FQFont;
        font.setBold(style & 1);
        font.setItalic(style & 2);
        font.setPixelSize(std::max(1, QFontInfo(FQFont).pixelSize()));
        FGlyphs->Fonts[std::size_t(style)] = QRawFont::fromFont(font);
        QFont fb = fallback;
        fb.setPixelSize(font.pixelSize());
        fb.setBold(style & 1);
        fb.setItalic(style & 2);
        FGlyphs->Fallbacks[std::size_t(style)] = QRawFont::fromFont(fb);
        FGlyphs->Glyphs[std::size_t(style)].assign(0, 0);
    }
    FGlyphs->Ascent = FGlyphs->Fonts[0].ascent();
}

void TEditor::DrawCells(QPainter& P, int X, int Y, std::string_view Text, const QColor& Fg, const QColor* Bg,
                        TFontStyles Style) {
    if (Text.empty()) return;
    const int width = int(Text.size()) * FCharWidth;
    if (Bg) P.fillRect(QRect(X, Y, width, FFontHeight), *Bg);
    TGlyphCache& cache = *FGlyphs;
    const int style = StyleIndex(Style);
    std::vector<quint32>& glyphOf = cache.Glyphs[std::size_t(style)];
    if (glyphOf.empty()) glyphOf.assign(65536, TGlyphCache::kUnknown);
    const QRawFont& font = cache.Fonts[std::size_t(style)];
    const QRawFont& fallback = cache.Fallbacks[std::size_t(style)];

    QVector<quint32> glyphs, fallbackGlyphs;
    QVector<QPointF> positions, fallbackPositions;
    glyphs.reserve(int(Text.size()));
    positions.reserve(int(Text.size()));
    // Glyphs sit on the baseline of the cell, raised when the font is shorter than the row.
    const qreal baseline = std::min<qreal>(cache.Ascent, FFontHeight - font.descent());
    P.setPen(Fg);
    for (std::size_t i = 0; i < Text.size();) {
        const std::size_t length = CharLenAt(Text, i);
        const unsigned char b = static_cast<unsigned char>(Text[i]);
        const int x = X + int(i) * FCharWidth;
        if (length == 1 && (b < 0x20 || b == 0x7F)) {
            // A control character (a zero byte, say) shows as a small box: it is text, not nothing.
            P.drawRect(QRect(x + 1, Y + FFontHeight / 4, std::max(FCharWidth - 3, 1), FFontHeight / 2));
            i += 1;
            continue;
        }
        const bool lone = length == 1 && IsLeadByte(b);
        const unsigned code = length == 2 ? (unsigned(b) << 8) | static_cast<unsigned char>(Text[i + 1]) : b;
        if (const char32_t kept = length == 2 && CharMap() ? CharMap()->CharOf(std::uint16_t(code)) : 0) {
            // A character the code page cannot hold, kept in the user-defined area: drawn as
            // itself, with the fonts the system offers for it (an emoji, say).
            const QString text = QString::fromUcs4(&kept, 1);
            QFont styled = FQFont;
            styled.setPixelSize(std::max(1, QFontInfo(FQFont).pixelSize()));
            styled.setBold(Style & fsBold);
            styled.setItalic(Style & fsItalic);
            P.setFont(styled);
            P.drawText(QPointF(x, Y + baseline), text);
            i += length;
            continue;
        }
        quint32 glyph = lone ? TGlyphCache::kUnknown : glyphOf[code];
        if (glyph == TGlyphCache::kUnknown) {
            const QChar ch(CharOfCode(code, lone));
            quint32 index = 0;
            int count = 1;
            font.glyphIndexesForChars(&ch, 1, &index, &count);
            if (index == 0) {
                fallback.glyphIndexesForChars(&ch, 1, &index, &count);
                index |= TGlyphCache::kFallback;
            }
            glyph = index;
            if (!lone) glyphOf[code] = glyph;
        }
        if (glyph & TGlyphCache::kFallback) {
            fallbackGlyphs.push_back(glyph & ~TGlyphCache::kFallback);
            fallbackPositions.push_back(QPointF(x, Y + baseline));
        } else {
            glyphs.push_back(glyph);
            positions.push_back(QPointF(x, Y + baseline));
        }
        i += length;
    }
    auto draw = [&](const QRawFont& raw, const QVector<quint32>& g, const QVector<QPointF>& pos) {
        if (g.isEmpty()) return;
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(g);
        run.setPositions(pos);
        P.drawGlyphRun(QPointF(0, 0), run);
    };
    draw(font, glyphs, positions);
    draw(fallback, fallbackGlyphs, fallbackPositions);
    if (Style & fsUnderline) {
        // A dotted underline: every other pixel of the text colour.
        const int y = Y + FFontHeight - 1;
        for (int x = X; x < X + width; x += 2) P.drawPoint(x, y);
    }
    if (Style & fsStrikeOut) P.drawLine(X, Y + FFontHeight / 2, X + width - 1, Y + FFontHeight / 2);
}

void TEditor::paintEvent(QPaintEvent* Event) {
    QPainter painter(viewport());
    try {
        PaintRect(painter, Event->rect());
    } catch (const std::exception& e) {
        // A failed paint must not take the program down; the next paint tries again.
        qWarning("painting failed: %s", e.what());
    }
}

void TEditor::PaintRect(QPainter& P, const QRect& Rect) {
    const int width = viewport()->width();
    P.fillRect(Rect, ToQColor(FColor));
    if (Rect.intersects(QRect(0, 0, TextLeft(), TextTop()))) PaintCorner(P);
    if (FRuler.Visible() && Rect.intersects(QRect(TextLeft(), 0, width, RulerHeight()))) PaintRuler(P);
    if (Rect.bottom() < TextTop()) return;
    const int first = FTopRow + std::max(0, Rect.top() - TextTop()) / FRowHeight;
    const int last = FTopRow + std::max(0, Rect.bottom() - TextTop()) / FRowHeight;
    if (FImagebar.Visible() && Rect.left() < ImagebarWidth()) PaintImagebar(P, first, last);
    if (FLeftbar.Visible() && Rect.left() < ImagebarWidth() + LeftbarWidth() && Rect.right() >= ImagebarWidth())
        PaintLeftbar(P, first, last);
    if (Rect.right() >= TextLeft()) {
        std::unique_ptr<TFountainParser> parser = ActiveFountain()->NewParser();
        const TRowPaintSettings settings = PaintSettings();
        const TSelectionDraw selection = SelectionDraw();
        for (int row = first; row <= last; ++row) {
            const int y = TextTop() + (row - FTopRow) * FRowHeight;
            const TRowPlan plan = orvane::PlanRow(*FDocument, row, parser.get(), settings, selection);
            PaintTextRow(P, plan, y, Rect);
        }
    }
    P.setClipping(false);
    if (hasFocus() && FCaretBlinkOn && FCaretLocks == 0 && FRow >= FTopRow && !Composing()) {
        const QRect caret = ToQRect(CaretRect()).intersected(QRect(TextLeft(), TextTop(), width, viewport()->height()));
        if (!caret.isEmpty()) {
            P.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            P.fillRect(caret, Qt::white);
            P.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }
    if (FMarks.Underline().Visible()) {
        const int y = TextTop() + (FRow - FTopRow) * FRowHeight + FFontHeight;
        if (y > TextTop() && y < viewport()->height()) DrawUnderline(P, y);
    }
    PaintPreedit(P);
}

void TEditor::DrawUnderline(QPainter& P, int Y) {
    P.setPen(ToQColor(FMarks.Underline().Color()));
    P.drawLine(TextLeft(), Y, viewport()->width(), Y);
}

void TEditor::DoDrawLine(QPainter&, const TRowPlan& Plan, int OriginX, int Y, const QRect& PartRect, bool Selected) {
    if (!OnDrawLine) return;
    QRect rect = PartRect;
    OnDrawLine(*this, Plan.Text, OriginX, Y, Plan.Row, rect, Selected);
}

void TEditor::PaintTextRow(QPainter& P, const TRowPlan& Plan, int Y, const QRect& Clip) {
    const int width = viewport()->width();
    const QRect rowRect = QRect(TextLeft(), Y, width - TextLeft(), FFontHeight).intersected(Clip);
    if (rowRect.isEmpty()) return;
    const int originX = TextLeft() - FTopCol * FCharWidth;
    if (Plan.Beyond) {
        P.setClipRect(rowRect);
        if (Plan.Mark == TEndMark::Eof) PaintEndMark(P, Plan, originX, Y);
        return;
    }
    for (const TRowPart& part : Plan.Parts) {
        const int left = std::max<long long>(rowRect.left(), originX + (long long)part.FromCol * FCharWidth);
        const int right = part.ToCol == INT_MAX ? rowRect.right() + 1
                                                : int(std::min<long long>(rowRect.right() + 1,
                                                                          originX + (long long)part.ToCol * FCharWidth));
        if (left >= right) continue;
        QRect partRect(left, rowRect.top(), right - left, rowRect.height());
        P.setClipRect(partRect);
        P.fillRect(partRect, ToQColor(part.FillColor));
        for (const TTextRun& run : part.Runs) {
            const QColor bg = ToQColor(run.BkColor);
            DrawCells(P, originX + run.Col * FCharWidth, Y, run.Text, ToQColor(run.Color), run.Opaque ? &bg : nullptr,
                      run.Style);
        }
        DoDrawLine(P, Plan, originX, Y, partRect, part.Selected);
    }
    if (Plan.Mark != TEndMark::None) {
        P.setClipRect(rowRect);
        PaintEndMark(P, Plan, originX + Plan.MarkCol * FCharWidth, Y);
    }
}

void TEditor::PaintEndMark(QPainter& P, const TRowPlan& Plan, int X, int Y) {
    const QColor color = ToQColor(Plan.MarkColor);
    P.setPen(QPen(color, 1));
    const int cw = FCharWidth, fh = FFontHeight;
    switch (Plan.Mark) {
        case TEndMark::Eof: {
            const QColor bg = ToQColor(FColor);
            P.save();
            P.setClipRect(QRect(X, Y, 6 * cw, fh), Qt::IntersectClip);
            DrawCells(P, X, Y, "[EOF]", color, &bg, 0);
            P.restore();
            break;
        }
        case TEndMark::Ret: {
            const int d = std::max(1, fh / 8), h = std::max(d, 3), cx = X + cw / 2;
            const int top = Y + 2 * d, bottom = Y + fh - 2 * d;
            P.drawLine(cx, top, cx, bottom);
            P.drawLine(cx, bottom, cx + h, bottom - h);
            P.drawLine(cx, bottom, cx - h, bottom - h);
            break;
        }
        case TEndMark::Wrap: {
            const int e = std::max(2, cw * 3 / 5), cy = Y + fh / 2;
            P.drawLine(X + cw, cy - e, X + cw - e, cy);
            P.drawLine(X + cw - e, cy, X + cw + 1, cy + e + 1);
            break;
        }
        case TEndMark::Hide: {
            const int e = std::max(2, cw * 3 / 5), cy = Y + fh / 2;
            P.drawLine(X + cw - e, cy - e, X + cw, cy);
            P.drawLine(X + cw, cy, X + cw - e - 1, cy + e + 1);
            break;
        }
        case TEndMark::None: break;
    }
}

void TEditor::PaintCorner(QPainter& P) {
    P.setClipping(false);
    P.fillRect(QRect(0, 0, TextLeft(), TextTop()), ToQColor(FColor));
    const int barsWidth = ImagebarWidth() + LeftbarWidth();
    if (FLeftbar.Visible()) {
        const TColor bk = FLeftbar.BkColor() == clNone ? FColor : FLeftbar.BkColor();
        P.fillRect(QRect(ImagebarWidth(), 0, LeftbarWidth(), TextTop()), ToQColor(bk));
        if (FLeftbar.Edge()) {
            P.fillRect(QRect(barsWidth - 2, 0, 1, TextTop()), Qt::white);
            P.fillRect(QRect(barsWidth - 1, 0, 1, TextTop()), QColor(0x80, 0x80, 0x80));
        }
    }
    if (FRuler.Visible() && FRuler.Edge()) {
        const TColor bk = FRuler.BkColor() == clNone ? FColor : FRuler.BkColor();
        P.fillRect(QRect(barsWidth, 0, TextLeft() - barsWidth, RulerHeight()), ToQColor(bk));
        P.fillRect(QRect(barsWidth, RulerHeight() - 2, TextLeft() - barsWidth, 1), Qt::white);
        P.fillRect(QRect(barsWidth, RulerHeight() - 1, TextLeft() - barsWidth, 1), QColor(0x80, 0x80, 0x80));
    }
}

void TEditor::PaintRuler(QPainter& P) {
    const int width = viewport()->width(), height = RulerHeight();
    const QRect area(TextLeft(), 0, width - TextLeft(), height);
    P.setClipRect(area);
    const QColor bk = ToQColor(FRuler.BkColor() == clNone ? FColor : FRuler.BkColor());
    const QColor fg = ToQColor(FRuler.Color() == clNone ? FFont.Color() : FRuler.Color());
    P.fillRect(area, bk);
    const int gauge = FRuler.GaugeRange();
    const int scaleBottom = height - (FRuler.Edge() ? 2 : 1);
    // The caret's column shows as a block in the mark colour.
    const int caretX = TextLeft() + (FCol - FTopCol) * FCharWidth;
    P.fillRect(QRect(caretX + 1, 0, FCharWidth - 1, scaleBottom), ToQColor(FRuler.MarkColor()));
    QFont digits = FQFont;
    digits.setPixelSize(std::max(6, height - 3));
    P.setFont(digits);
    for (int col = FTopCol - FTopCol % gauge; col <= FTopCol + FVisibleColCount + gauge && col <= kMaxDisplayCol; ++col) {
        const int x = TextLeft() + (col - FTopCol) * FCharWidth;
        const int inGauge = col % gauge;
        const int top = inGauge == 0 ? 0 : inGauge == gauge / 2 ? 3 : 6;
        P.setPen(fg);
        P.drawLine(x, top, x, scaleBottom - 1);
        if (inGauge == 0 && col > 0) {
            P.setPen(col == FCol ? bk : fg);
            P.drawText(QPoint(x + 2, height - 3), QString::number(col));
        }
    }
    if (FRuler.Edge()) {
        P.fillRect(QRect(TextLeft(), height - 2, width, 1), Qt::white);
        P.fillRect(QRect(TextLeft(), height - 1, width, 1), QColor(0x80, 0x80, 0x80));
    } else {
        P.setPen(fg);
        P.drawLine(TextLeft(), height - 1, width, height - 1);
    }
    P.setClipping(false);
}

void TEditor::PaintImagebar(QPainter& P, int FirstRow, int LastRow) {
    const TColor bkColor = FLeftbar.Visible() && FLeftbar.BkColor() != clNone ? FLeftbar.BkColor() : FColor;
    const QColor bk = ToQColor(bkColor);
    P.setClipping(false);
    const int count = RowCount();
    for (int row = FirstRow; row <= LastRow; ++row) {
        const int y = TextTop() + (row - FTopRow) * FRowHeight;
        P.fillRect(QRect(0, y, ImagebarWidth(), FRowHeight), bk);
        if (row >= count) continue;
        const TRowMarkSet marks = FDocument->RowMarkSet(row);
        if (!marks) continue;
        const int x = FImagebar.LeftMargin();
        for (int m = 0; m < 10; ++m) {
            if (!(marks & (1u << m))) continue;
            // A numbered bookmark: its digit on a small blue tab.
            const QRect tab(x, y + 2, 8, std::min(11, FRowHeight - 2));
            P.fillRect(tab, QColor(0x20, 0x40, 0xC0));
            QFont font = FQFont;
            font.setPixelSize(std::max(6, tab.height() - 1));
            font.setBold(true);
            P.setFont(font);
            P.setPen(Qt::white);
            P.drawText(tab, Qt::AlignCenter, QString::number(m));
            break;
        }
        for (int m = 10; m < 16; ++m) {
            if (!(marks & (1u << m))) continue;
            static const QColor kMarkColors[] = {QColor(0xD0, 0x20, 0x20), QColor(0x20, 0xA0, 0x20), QColor(0xE0, 0xA0, 0x00),
                                                 QColor(0x80, 0x20, 0xC0), QColor(0x00, 0x90, 0xC0), QColor(0x60, 0x60, 0x60)};
            P.setRenderHint(QPainter::Antialiasing, true);
            P.setBrush(kMarkColors[m - 10]);
            P.setPen(Qt::NoPen);
            P.drawEllipse(QRect(x + FImagebar.DigitWidth(), y + 2, 10, 10));
            P.setBrush(Qt::NoBrush);
            P.setRenderHint(QPainter::Antialiasing, false);
            break;
        }
    }
}

void TEditor::PaintLeftbar(QPainter& P, int FirstRow, int LastRow) {
    const int x0 = ImagebarWidth(), width = LeftbarWidth();
    const QColor bk = ToQColor(FLeftbar.BkColor() == clNone ? FColor : FLeftbar.BkColor());
    const QColor fg = ToQColor(FLeftbar.Color() == clNone ? FFont.Color() : FLeftbar.Color());
    P.setClipping(false);
    for (int row = FirstRow; row <= LastRow; ++row) {
        const int y = TextTop() + (row - FTopRow) * FRowHeight;
        P.fillRect(QRect(x0, y, width, FRowHeight), bk);
        DrawCells(P, x0 + FLeftbar.LeftMargin(), y, LeftbarText(row), fg, &bk, 0);
    }
    const int top = TextTop() + (FirstRow - FTopRow) * FRowHeight;
    const int bottom = TextTop() + (LastRow - FTopRow + 1) * FRowHeight;
    P.fillRect(QRect(x0 + width - 2, top, 1, bottom - top), FLeftbar.Edge() ? QColor(Qt::white) : bk);
    P.fillRect(QRect(x0 + width - 1, top, 1, bottom - top), FLeftbar.Edge() ? QColor(0x80, 0x80, 0x80) : fg);
}

}  // namespace orvane
