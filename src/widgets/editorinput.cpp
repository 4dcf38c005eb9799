// Keyboard, mouse and input method of the editor control: Qt's events translated into the
// editor's handlers, the mouse cursors, and the context menu.
#include "widgets/editor.h"

#include "base/cursors.h"
#include "platform/clipboard.h"
#include "platform/errordisplay.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>

namespace orvane {
namespace {

unsigned VirtualKeyOf(int Key) {
    switch (Key) {
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_End: return VK_END;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Control: return VK_CONTROL;
        case Qt::Key_Shift: return VK_SHIFT;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Tab: return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter: return VK_RETURN;
        default: return 0;
    }
}

bool IsNavigationKey(unsigned Key) { return Key >= VK_PRIOR && Key <= VK_DOWN; }

// A right-pointing arrow for the left margin, drawn here.
QCursor RightArrowCursor() {
    static const QCursor cursor = [] {
        QPixmap picture(16, 16);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF arrow[] = {{14, 1}, {14, 13}, {11, 10}, {8, 15}, {6, 14}, {9, 9}, {4, 9}};
        p.setBrush(Qt::black);
        p.setPen(QPen(Qt::white, 1));
        p.drawPolygon(arrow, 7);
        p.end();
        return QCursor(picture, 14, 1);
    }();
    return cursor;
}

}  // namespace

QCursor QtCursorOf(TCursor Id) {
    if (Id == RightArrowCursorId()) return RightArrowCursor();
    if (Id == DragSelCopyCursorId()) return QCursor(Qt::DragCopyCursor);
    switch (Id) {
        case crIBeam: return QCursor(Qt::IBeamCursor);
        case crDrag:
        case crMultiDrag: return QCursor(Qt::DragMoveCursor);
        case crCross: return QCursor(Qt::CrossCursor);
        case crSizeWE: return QCursor(Qt::SizeHorCursor);
        case crSizeNS: return QCursor(Qt::SizeVerCursor);
        case crUpArrow: return QCursor(Qt::UpArrowCursor);
        case crHourGlass:
        case crSQLWait: return QCursor(Qt::WaitCursor);
        case crNo:
        case crNoDrop: return QCursor(Qt::ForbiddenCursor);
        case crHandPoint: return QCursor(Qt::PointingHandCursor);
        case crHelp: return QCursor(Qt::WhatsThisCursor);
        case crNone: return QCursor(Qt::BlankCursor);
        default: return QCursor(Qt::ArrowCursor);
    }
}


// ---- keyboard

void TEditor::keyPressEvent(QKeyEvent* Event) {
    GuardedEvent(this, [&] { HandleKeyPress(Event); });
}

void TEditor::HandleKeyPress(QKeyEvent* Event) {
    const unsigned key = VirtualKeyOf(Event->key());
    const Qt::KeyboardModifiers mods = Event->modifiers();
    if (IsNavigationKey(key) || key == VK_ESCAPE || key == VK_CONTROL) {
        KeyDown(key, mods, Event->isAutoRepeat());
    } else if (MouseHoldsSelection()) {
        // nothing is typed while the mouse holds a selection
    } else if (key == VK_RETURN) {
        if (WantReturns()) KeyEnter(mods & Qt::ShiftModifier);
    } else if (key == VK_TAB) {
        KeyTab(mods);
    } else if (key == VK_BACK) {
        KeyBackspace();
    } else if (key == VK_DELETE) {
        KeyDelete();
    } else if (key == VK_INSERT && !(mods & (Qt::ShiftModifier | Qt::ControlModifier))) {
        SetOverwriteMode(!OverwriteMode());
    } else if (Event->matches(QKeySequence::Copy)) {
        CopyToClipboard();
    } else if (Event->matches(QKeySequence::Cut)) {
        CutToClipboard();
    } else if (Event->matches(QKeySequence::Paste)) {
        PasteFromClipboard();
    } else if (Event->matches(QKeySequence::Undo)) {
        if (!ReadOnly()) Undo();
    } else if (Event->matches(QKeySequence::Redo)) {
        if (!ReadOnly()) Redo();
    } else if (Event->matches(QKeySequence::SelectAll)) {
        SelectAll();
        OfferPrimarySelection();
    } else if (!Event->text().isEmpty() && Event->text().at(0).isPrint() && !(mods & Qt::ControlModifier)) {
        // A typed character arrives as Unicode text: one whole character in code page 932.
        InputMethodResult(Event->text());
    } else {
        QAbstractScrollArea::keyPressEvent(Event);
        return;
    }
    Event->accept();
}

void TEditor::keyReleaseEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Control) CtrlReleased();
    if (Event->key() == Qt::Key_Shift) GuardedEvent(this, [&] { OfferPrimarySelection(); });
    QAbstractScrollArea::keyReleaseEvent(Event);
}

void TEditor::mousePressEvent(QMouseEvent* Event) {
    GuardedEvent(this, [&] {
        if (Event->button() == Qt::MiddleButton) {
            PastePrimarySelection(Event->position().toPoint());
            return;
        }
        MouseDown(Event->button(), Event->modifiers(), Event->position().toPoint());
    });
}

void TEditor::mouseMoveEvent(QMouseEvent* Event) {
    GuardedEvent(this, [&] { MouseMove(Event->buttons(), Event->modifiers(), Event->position().toPoint()); });
}

void TEditor::mouseReleaseEvent(QMouseEvent* Event) {
    GuardedEvent(this, [&] {
        MouseUp(Event->button(), Event->modifiers(), Event->position().toPoint());
        OfferPrimarySelection();
    });
}

void TEditor::mouseDoubleClickEvent(QMouseEvent* Event) {
    // A double click is a press for the control itself; the application adds word selection.
    GuardedEvent(this, [&] { MouseDown(Event->button(), Event->modifiers(), Event->position().toPoint()); });
}

void TEditor::wheelEvent(QWheelEvent* Event) {
    GuardedEvent(this, [&] { Wheel(Event->angleDelta().y()); });
    Event->accept();
}


// ---- context menu

void TEditor::contextMenuEvent(QContextMenuEvent* Event) {
    QMenu menu(this);
    QMenu* setMark = menu.addMenu(QStringLiteral("マーク設定"));
    QMenu* jumpMark = menu.addMenu(QStringLiteral("マークジャンプ"));
    const TRowMarkSet inUse = FDocument->GetMarksInUse();
    for (int m = 0; m < 10; ++m) {
        QAction* set = setMark->addAction(QString::number(m), [this, m] {
            if (RowMarkSet(Row()) & (1u << m))
                RemoveRowMark(Row(), m);
            else
                AddRowMark(Row(), m);
        });
        set->setShortcut(QKeySequence(QStringLiteral("Shift+Ctrl+%1").arg(m)));
        set->setCheckable(true);
        set->setChecked(inUse & (1u << m));
        QAction* jump = jumpMark->addAction(QString::number(m), [this, m] { JumpToRowMark(m); });
        jump->setShortcut(QKeySequence(QStringLiteral("Ctrl+%1").arg(m)));
        jump->setCheckable(true);
        jump->setChecked(inUse & (1u << m));
    }
    menu.addSeparator();
    auto add = [&](const char* caption, const char* shortcut, bool enabled, auto&& action) {
        QAction* a = menu.addAction(QString::fromUtf8(caption), [this, action] { GuardedEvent(this, action); });
        if (shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        a->setEnabled(enabled);
        return a;
    };
    add("元に戻す(&U)", "Ctrl+Z", CanUndo() && !ReadOnly(), [this] { Undo(); });
    add("やり直し(&R)", "Ctrl+A", CanRedo() && !ReadOnly(), [this] { Redo(); });
    menu.addSeparator();
    const bool selection = SelLength() > 0;
    const bool text = ClipboardHasText();
    add("切り取り(&T)", "Ctrl+X", selection && !ReadOnly(), [this] { CutToClipboard(); });
    add("コピー(&C)", "Ctrl+C", selection, [this] { CopyToClipboard(); });
    add("貼り付け(&P)", "Ctrl+V", text && !ReadOnly(), [this] { PasteFromClipboard(); });
    add("Box貼り付け(&B)", "Ctrl+B", text && !ReadOnly(), [this] { InsertBoxText(ClipboardText(CharMap())); });
    add("削除(&D)", nullptr, selection && !ReadOnly(), [this] { DeleteSelection(); });
    menu.addSeparator();
    add("すべて選択(&A)", nullptr, FDocument->GetTextLen() > 0, [this] { SelectAll(); });
    menu.addSeparator();
    QAction* box = add("Box選択モード(&K)", "Ctrl+K", true, [this] {
        SetSelectionMode(SelectionMode() == smBox ? smStream : smBox);
    });
    box->setCheckable(true);
    box->setChecked(SelectionMode() == smBox);
    menu.exec(Event->globalPos());
}

}  // namespace orvane
