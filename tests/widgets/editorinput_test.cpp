// What the editor control adds to the editor's logic: Qt's key, mouse, wheel and input-method
// events translated into its handlers, the clipboard's MIME types, the context menu, and errors
// of an event handler kept from the event loop. Offscreen, with a fixed 8 x 16 cell.
#include "platform/clipboard.h"
#include "platform/errordisplay.h"
#include "modes/documenttokenizer.h"
#include "widgets/editor.h"
#include "widgets/editorfixture.h"
#include "support/sj.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>

namespace orvane {
namespace {

using test::sj;

struct InputFixture : testing::Test {
    TEditor Editor;

    InputFixture() { test::ShowEditor(Editor, 40, 10, true); }
    TEditorScreenStrings& Doc() { return Editor.Document(); }
    QPoint CellPoint(int Row, int Col) const {
        return QPoint(Editor.TextLeft() + (Col - Editor.TopCol()) * 8 + 1, Editor.TextTop() + (Row - Editor.TopRow()) * 16 + 4);
    }
    std::pair<int, int> Caret() const { return {Editor.Row(), Editor.Col()}; }
    void Select(int Row1, int Col1, int Row2, int Col2) {
        Editor.SetRowCol(Row1, Col1);
        Editor.StartSelection();
        Editor.SetRowCol(Row2, Col2);
        Editor.UpdateSelection();
    }
};

TEST_F(InputFixture, QtNavigationKeysReachTheKeyHandler) {
    Doc().SetText("abc def");
    Editor.SetRowCol(0, 0);
    QTest::keyClick(&Editor, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&Editor, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(Editor.SelText(), "ab");
    QTest::keyClick(&Editor, Qt::Key_End);
    EXPECT_EQ(Caret(), std::make_pair(0, 7));
    QTest::keyClick(&Editor, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(Caret(), std::make_pair(0, 4));
}

TEST_F(InputFixture, QtEditingKeysReachTheirHandlers) {
    struct Case {
        const char* Name;
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        std::string Expected;
        std::pair<int, int> Caret;
    };
    // Each from "abcd" with the caret after "ab".
    const Case cases[] = {
        {"return", Qt::Key_Return, Qt::NoModifier, "ab\r\ncd", {1, 0}},
        {"enter of the keypad", Qt::Key_Enter, Qt::KeypadModifier, "ab\r\ncd", {1, 0}},
        {"shift+return opens a line above", Qt::Key_Return, Qt::ShiftModifier, "\r\nabcd", {0, 0}},
        {"tab", Qt::Key_Tab, Qt::NoModifier, "ab\tcd", {0, 8}},
        {"backspace", Qt::Key_Backspace, Qt::NoModifier, "acd", {0, 1}},
        {"delete", Qt::Key_Delete, Qt::NoModifier, "abd", {0, 2}},
        {"a printable character", Qt::Key_X, Qt::NoModifier, "abxcd", {0, 3}},
        {"ctrl with a letter types nothing", Qt::Key_Q, Qt::ControlModifier, "abcd", {0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Doc().SetText("abcd");
        Editor.SetRowCol(0, 2);
        QTest::keyClick(&Editor, c.Key, c.Modifiers);
        EXPECT_EQ(Doc().GetText(), c.Expected);
        EXPECT_EQ(Caret(), c.Caret);
    }
    // Insert switches overwrite; the standard shortcuts reach undo, select all and the clipboard.
    Doc().SetText("abcd");
    Editor.SetRowCol(0, 0);
    QTest::keyClick(&Editor, Qt::Key_Insert);
    EXPECT_TRUE(Editor.OverwriteMode());
    QTest::keyClick(&Editor, Qt::Key_Z);
    EXPECT_EQ(Doc().GetText(), "zbcd");
    QTest::keyClick(&Editor, Qt::Key_Insert);
    EXPECT_FALSE(Editor.OverwriteMode());
    QTest::keyClick(&Editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Doc().GetText(), "abcd");
    QTest::keyClick(&Editor, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Editor.SelText(), "abcd");
    QTest::keyClick(&Editor, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Doc().GetText(), "");
    QTest::keyClick(&Editor, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&Editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Doc().GetText(), "abcdabcd");
}

TEST_F(InputFixture, QtMouseEventsReachTheMouseHandlers) {
    Doc().SetText("hello world\r\nsecond row\r\nlast");
    // Press on "w", drag to "row", release.
    QTest::mousePress(Editor.viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(0, 6));
    QTest::mouseMove(Editor.viewport(), CellPoint(1, 10));
    QTest::mouseRelease(Editor.viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(1, 10));
    EXPECT_EQ(Editor.SelText(), "world\r\nsecond row");
    // Pressing inside the selection and releasing there again only drops it.
    QTest::mousePress(Editor.viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(0, 8));
    EXPECT_EQ(Editor.DragState(), dsPressed);
    QTest::mouseRelease(Editor.viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(0, 8));
    EXPECT_FALSE(Editor.Selected());
    EXPECT_EQ(Editor.DragState(), dsNone);
    // Shift+click extends from the caret; the right button moves nothing.
    Editor.SetRowCol(0, 0);
    QTest::mouseClick(Editor.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellPoint(0, 5));
    EXPECT_EQ(Editor.SelText(), "hello");
    QTest::mouseClick(Editor.viewport(), Qt::RightButton, Qt::NoModifier, CellPoint(1, 3));
    EXPECT_EQ(Caret(), std::make_pair(0, 5));
}

TEST_F(InputFixture, QtWheelEventsScrollTheView) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "row " + std::to_string(i) + "\r\n";
    Doc().SetText(text);
    auto turn = [&](int Delta) {
        QWheelEvent wheel(QPointF(20, 20), Editor.viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, Delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Editor.viewport(), &wheel);
    };
    turn(-120);
    EXPECT_EQ(Editor.TopRow(), 3);
    turn(120);
    EXPECT_EQ(Editor.TopRow(), 0);
}

TEST_F(InputFixture, TheInputMethodCommitsOnce) {
    Doc().SetText("");
    // The commit string comes once and nothing is skipped after it.
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("日本語"));
    QApplication::sendEvent(&Editor, &commit);
    QTest::keyClick(&Editor, Qt::Key_B);
    EXPECT_EQ(Doc().GetText(), sj("日本語") + "b");
    // A read-only editor tells the input method that it takes no input.
    auto enabled = [&] {
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QApplication::sendEvent(&Editor, &query);
        return query.value(Qt::ImEnabled).toBool();
    };
    EXPECT_TRUE(enabled());
    Editor.SetReadOnly(true);
    EXPECT_FALSE(enabled());
}

TEST_F(InputFixture, TheClipboardCarriesUnicodeTextAndTheBoxMark) {
    const QString boxType = QString::fromLatin1(kBoxClipboardType);
    // A box copy: Unicode text with LF line ends for other programs, the Shift_JIS bytes (with
    // CR LF) under the private type.
    Doc().SetText(sj("日本語") + "\r\nabcdef\r\n");
    Editor.SetSelectionMode(smBox);
    Select(0, 2, 1, 4);
    Editor.CopyToClipboard();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("本\ncd\n"));
    const std::string box = sj("本") + "\r\ncd\r\n";
    EXPECT_EQ(data->data(boxType), QByteArray(box.data(), qsizetype(box.size())));
    // Pasted into another control it keeps its shape.
    TEditor other;
    other.Document().SetText("1234\r\n5678\r\n");
    other.SetRowCol(0, 2);
    other.PasteFromClipboard();
    EXPECT_EQ(other.Document().GetText(), "12" + sj("本") + "34\r\n56cd78\r\n");
    // A stream copy has no box mark; text from another program arrives as Shift_JIS.
    Editor.SetSelectionMode(smStream);
    Select(1, 0, 1, 2);
    Editor.CopyToClipboard();
    EXPECT_FALSE(QApplication::clipboard()->mimeData()->hasFormat(boxType));
    QApplication::clipboard()->setText(QStringLiteral("テキスト"));
    other.Document().SetText("");
    other.PasteFromClipboard();
    EXPECT_EQ(other.Document().GetText(), sj("テキスト"));
}

// Opens the context menu at a point and hands it to Use while it is shown; Use picks an action
// or closes it.
void WithContextMenu(TEditor& Editor, QPoint At, const std::function<void(QMenu&)>& Use) {
    bool used = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu) {
            used = true;
            Use(*menu);
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, At, Editor.viewport()->mapToGlobal(At));
    QApplication::sendEvent(Editor.viewport(), &event);
    EXPECT_TRUE(used) << "the context menu did not show";
}

QAction* ActionOf(QMenu& Menu, const char* Text) {
    for (QAction* a : Menu.actions())
        if (a->text() == QString::fromUtf8(Text)) return a;
    ADD_FAILURE() << "no action " << Text;
    static QAction none;
    return &none;
}

TEST_F(InputFixture, TheContextMenuOffersWhatCanBeDone) {
    Doc().SetText("abc");
    Select(0, 0, 0, 2);
    WithContextMenu(Editor, CellPoint(0, 1), [](QMenu& m) {
        EXPECT_FALSE(ActionOf(m, "元に戻す(&U)")->isEnabled());
        EXPECT_TRUE(ActionOf(m, "コピー(&C)")->isEnabled());
        EXPECT_TRUE(ActionOf(m, "削除(&D)")->isEnabled());
        EXPECT_TRUE(ActionOf(m, "すべて選択(&A)")->isEnabled());
        EXPECT_FALSE(ActionOf(m, "Box選択モード(&K)")->isChecked());
        ActionOf(m, "切り取り(&T)")->trigger();
    });
    EXPECT_EQ(Doc().GetText(), "c");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ab"));
    // The marks submenu sets a mark on the caret row; read-only disables editing.
    Editor.SetReadOnly(true);
    WithContextMenu(Editor, CellPoint(0, 1), [](QMenu& m) {
        EXPECT_FALSE(ActionOf(m, "貼り付け(&P)")->isEnabled());
        EXPECT_FALSE(ActionOf(m, "Box貼り付け(&B)")->isEnabled());
        QMenu* marks = ActionOf(m, "マーク設定")->menu();
        ASSERT_NE(marks, nullptr);
        ASSERT_EQ(marks->actions().size(), 10);
        marks->actions()[3]->trigger();
    });
    EXPECT_EQ(Editor.RowMarkSet(0), 1u << 3);
}

// A tokenizer that fails, as a damaged syntax mode might.
class FailingTokenizer : public TDocumentTokenizer {
public:
    int RetokenizeRows(TEditorScreenStrings&, int, bool) override { throw Exception("tokenizer failed"); }
    void TokenizeAllRows(TEditorScreenStrings&) override {}
};

TEST_F(InputFixture, AFailingEditIsShownAndAbandonedWithoutCrossingTheEventLoop) {
    std::vector<std::string> shown;
    SetErrorDisplayHook([&](const std::string& Message) { shown.push_back(Message); });
    Doc().SetText("abc");
    Doc().SetTokenizer(std::make_unique<FailingTokenizer>());
    Editor.SetRowCol(0, 3);
    QTest::keyClick(&Editor, Qt::Key_X);
    ASSERT_EQ(shown, std::vector<std::string>{"tokenizer failed"});
    EXPECT_EQ(Doc().GetText(), "abcx");
    // The control still works.
    Doc().SetTokenizer(NewDocumentTokenizer());
    QTest::keyClick(&Editor, Qt::Key_Y);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(Doc().GetText(), "abcyx");
    SetErrorDisplayHook(nullptr);
}

}  // namespace
}  // namespace orvane
