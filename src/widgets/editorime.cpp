// The input method on the editor control: the composition drawn over the text at the caret
// (the document is untouched until the commit), the queries an input method asks (where the
// candidate window goes, the text around the caret for reconversion), reconversion's replacement
// range, and the X11 primary selection.
#include "widgets/editor.h"

#include "base/dbcs.h"
#include "files/cp932.h"
#include "files/unicode.h"
#include "platform/clipboard.h"
#include "platform/errordisplay.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPainter>
#include <QTextCharFormat>

namespace orvane {
namespace {

// Cells a character takes on the grid: ASCII and half-width katakana one, every other two.
int CellsOf(char32_t C) { return C < 0x80 || (C >= 0xFF61 && C <= 0xFF9F) ? 1 : 2; }

// UTF-16 units the character of code page 932 code Code stands for (the map may hold characters
// outside the Basic Multilingual Plane in the user-defined area).
int Utf16Units(std::uint16_t Code, const TCharMap* Map) {
    if (Map && IsUserAreaCode(Code)) {
        const char32_t c = Map->CharOf(Code);
        if (c > 0xFFFF) return 2;
    }
    return 1;
}

QString ToQString(std::string_view Sjis, const TCharMap* Map) {
    const std::string utf8 = SjisToUtf8(Sjis, Map, nullptr);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

std::string ToSjis(const QString& Text, TCharMap* Map) {
    const QByteArray utf8 = Text.toUtf8();
    return Utf8ToSjis(std::string_view(utf8.constData(), std::size_t(utf8.size())), Map, nullptr);
}

// The byte index in Sjis of the character boundary at UTF-16 index Index (clamped to the text).
int ByteOfUtf16(std::string_view Sjis, int Index, const TCharMap* Map) {
    int units = 0;
    std::size_t i = 0;
    while (i < Sjis.size() && units < Index) {
        const std::size_t len = CharLenAt(Sjis, i);
        const auto b0 = static_cast<unsigned char>(Sjis[i]);
        const std::uint16_t code = len == 2 ? std::uint16_t(b0 << 8 | static_cast<unsigned char>(Sjis[i + 1])) : b0;
        units += Utf16Units(code, Map);
        i += len;
    }
    return int(i);
}

int Utf16OfByte(std::string_view Sjis, int Byte, const TCharMap* Map) {
    int units = 0;
    for (std::size_t i = 0; i < Sjis.size() && int(i) < Byte;) {
        const std::size_t len = CharLenAt(Sjis, i);
        const auto b0 = static_cast<unsigned char>(Sjis[i]);
        const std::uint16_t code = len == 2 ? std::uint16_t(b0 << 8 | static_cast<unsigned char>(Sjis[i + 1])) : b0;
        units += Utf16Units(code, Map);
        i += len;
    }
    return units;
}

}  // namespace

// ---- the composition

std::vector<QRect> TEditor::PreeditCells() const {
    std::vector<QRect> cells;
    const QString& text = FPreedit.Text;
    int row = FRow - FTopRow, col = FCol;
    const bool wrap = WordWrap();
    const int wrapCol = const_cast<TEditor*>(this)->WrapOption().WrapByte();
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        int units = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            units = 2;
        }
        const int cells_ = CellsOf(c);
        // With word wrap on, a composition that reaches the wrap column goes on in the next row.
        if (wrap && col > 0 && col + cells_ > wrapCol) {
            ++row;
            col = 0;
        }
        const QRect cell(TextLeft() + (col - FTopCol) * FCharWidth, TextTop() + row * FRowHeight, cells_ * FCharWidth,
                         FFontHeight);
        for (int u = 0; u < units; ++u) cells.push_back(cell);
        col += cells_;
        i += units;
    }
    return cells;
}

QRect TEditor::PreeditCursorRect() const {
    if (!Composing()) return ToQRect(CaretRect());
    const std::vector<QRect> cells = PreeditCells();
    const int at = std::clamp(FPreedit.Cursor, 0, int(cells.size()));
    if (at < int(cells.size())) return QRect(cells[std::size_t(at)].left(), cells[std::size_t(at)].top(), 2, FFontHeight);
    const QRect& last = cells.back();
    return QRect(last.right() + 1, last.top(), 2, FFontHeight);
}

void TEditor::PaintPreedit(QPainter& P) {
    if (!Composing()) return;
    const std::vector<QRect> cells = PreeditCells();
    TEditorColors& colors = View().Colors();
    const QColor bg = ToQColor(Color());
    const QColor fg = ToQColor(Font().Color() == clNone ? clBlack : Font().Color());
    const QColor targetBg = colors.Select().BkColor() == clNone ? palette().color(QPalette::Highlight)
                                                                 : ToQColor(colors.Select().BkColor());
    const QColor targetFg = colors.Select().Color() == clNone ? palette().color(QPalette::HighlightedText)
                                                               : ToQColor(colors.Select().Color());
    auto isTarget = [&](int i) {
        for (const TPreedit::TSpan& span : FPreedit.Spans)
            if (span.Target && i >= span.Start && i < span.Start + span.Length) return true;
        return false;
    };
    P.setClipRect(QRect(TextLeft(), TextTop(), viewport()->width() - TextLeft(), viewport()->height() - TextTop()));
    P.setFont(FQFont);
    const QString& text = FPreedit.Text;
    for (qsizetype i = 0; i < text.size();) {
        const int units = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QRect& cell = cells[std::size_t(i)];
        const bool target = isTarget(int(i));
        // Over the text that follows the caret: the cell is cleared first.
        P.fillRect(cell, target ? targetBg : bg);
        P.setPen(target ? targetFg : fg);
        P.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, text.mid(i, units));
        // The whole composition underlined, the segment being converted with a thicker line.
        P.fillRect(QRect(cell.left(), cell.bottom() - (target ? 1 : 0), cell.width(), target ? 2 : 1), fg);
        i += units;
    }
    if (FPreedit.CursorVisible && hasFocus()) P.fillRect(PreeditCursorRect(), fg);
    P.setClipping(false);
}

void TEditor::inputMethodEvent(QInputMethodEvent* Event) {
    GuardedEvent(this, [&] { HandleInputMethod(Event); });
    Event->accept();
}

void TEditor::HandleInputMethod(QInputMethodEvent* Event) {
    QRect before;
    for (const QRect& cell : PreeditCells()) before |= cell;
    viewport()->update(before.adjusted(0, 0, 2, 0));
    FPreedit = {};
    if (ReadOnly()) return;  // nothing is composed or committed into a read-only text
    const QString commit = Event->commitString();
    if (Event->replacementLength() > 0) {
        // Reconversion: the input method replaces characters around the caret; one undo step.
        int cursor = 0;
        SurroundingText(&cursor, nullptr);
        ReplaceInLine(cursor + Event->replacementStart(), Event->replacementLength(), commit);
    } else if (!commit.isEmpty()) {
        InputMethodResult(commit);
    }
    FPreedit.Text = Event->preeditString();
    for (const QInputMethodEvent::Attribute& a : Event->attributes()) {
        if (a.type == QInputMethodEvent::Cursor) {
            FPreedit.Cursor = a.start;
            FPreedit.CursorVisible = a.length != 0;
        } else if (a.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = a.value.value<QTextFormat>().toCharFormat();
            FPreedit.Spans.push_back({a.start, a.length, format.background().style() != Qt::NoBrush});
        }
    }
    if (!Composing()) return;
    // The view follows the composition: its end, then its cursor, in view.
    const std::vector<QRect> cells = PreeditCells();
    const int right = viewport()->width() - FCharWidth;
    const QRect& last = cells.back();
    if (last.right() > right) SetTopCol(TopCol() + (last.right() - right) / FCharWidth + 1);
    if (last.bottom() > viewport()->height()) SetTopRow(TopRow() + (last.bottom() - viewport()->height()) / FRowHeight + 1);
    QRect area;
    for (const QRect& cell : PreeditCells()) area |= cell;
    viewport()->update(area.adjusted(0, 0, 2, 0));
    QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImAnchorRectangle);
}

// ---- what the input method asks

QString TEditor::SurroundingText(int* CursorIndex, int* AnchorIndex) const {
    if (CursorIndex) *CursorIndex = 0;
    if (AnchorIndex) *AnchorIndex = 0;
    if (FRow >= RowCount()) return {};
    const TEditorScreenStrings& doc = *FDocument;
    const int first = doc.FirstRowOfLine(FRow), last = doc.LastRowOfLine(FRow);
    std::string line;
    int caretByte = 0;
    for (int r = first; r <= last; ++r) {
        if (r == FRow) caretByte = int(line.size()) + ByteOfCol(FRow, FCol);
        line += doc.RowView(r);
    }
    const int cursor = Utf16OfByte(line, caretByte, CharMap());
    if (CursorIndex) *CursorIndex = cursor;
    if (AnchorIndex) *AnchorIndex = cursor;
    return ToQString(line, CharMap());
}

void TEditor::ReplaceInLine(int From, int Length, const QString& Text) {
    if (FRow >= RowCount()) {
        InputMethodResult(Text);
        return;
    }
    const int first = FDocument->FirstRowOfLine(FRow), last = FDocument->LastRowOfLine(FRow);
    std::string line;
    for (int r = first; r <= last; ++r) line += FDocument->RowView(r);
    const int from = ByteOfUtf16(line, std::max(From, 0), CharMap());
    const int to = ByteOfUtf16(line, std::max(From, 0) + Length, CharMap());
    // Wrapped rows hold no line breaks, so bytes of the line are character offsets from its start.
    const int lineStart = OffsetOf(0, first, 0);
    Perform(EM_SETSEL, lineStart + from, lineStart + to);
    SetSelText(ToSjis(Text, CharMap()));
}

QVariant TEditor::inputMethodQuery(Qt::InputMethodQuery Query) const {
    switch (Query) {
        case Qt::ImCursorRectangle:
        case Qt::ImAnchorRectangle: return PreeditCursorRect();
        case Qt::ImFont: return FQFont;
        case Qt::ImEnabled: return !ReadOnly();
        case Qt::ImSurroundingText: return SurroundingText(nullptr, nullptr);
        case Qt::ImCursorPosition:
        case Qt::ImAnchorPosition: {
            int cursor = 0;
            SurroundingText(&cursor, nullptr);
            return cursor;
        }
        case Qt::ImCurrentSelection:
            return Selected() ? ToQString(SelText(), CharMap()) : QString();
        case Qt::ImMaximumTextLength: return QVariant();  // no limit
        case Qt::ImHints: return int(Qt::ImhMultiLine);
        default: return QAbstractScrollArea::inputMethodQuery(Query);
    }
}

// ---- the primary selection

void TEditor::OfferPrimarySelection() {
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection() || !Selected()) return;
    auto* data = new QMimeData;
    const std::string text = SelText();
    data->setText(ToQString(text, CharMap()));
    if (SelectionMode() == smBox)
        data->setData(QString::fromLatin1(kBoxClipboardType), QByteArray(text.data(), qsizetype(text.size())));
    clipboard->setMimeData(data, QClipboard::Selection);
}

void TEditor::PastePrimarySelection(QPoint Position) {
    QClipboard* clipboard = QApplication::clipboard();
    if (ReadOnly() || !clipboard->supportsSelection()) return;
    const QMimeData* data = clipboard->mimeData(QClipboard::Selection);
    if (!data) return;
    int row = 0, col = 0;
    PixelToRowCol(Position.x(), Position.y(), true, row, col);
    DropSelection();
    SetRowCol(std::max(row, 0), col);
    if (data->hasFormat(QString::fromLatin1(kBoxClipboardType))) {
        const QByteArray box = data->data(QString::fromLatin1(kBoxClipboardType));
        InsertBoxText(std::string_view(box.constData(), std::size_t(box.size())));
    } else if (data->hasText()) {
        InsertText(ToSjis(data->text(), CharMap()));
    }
}

void TEditor::InputMethodResult(const QString& Text) {
    const QByteArray utf8 = Text.toUtf8();
    InputUtf8(std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

}  // namespace orvane
