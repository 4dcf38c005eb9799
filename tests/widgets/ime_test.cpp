// The input method's composition on the editor control: drawn over the text at the caret with its
// segments and cursor, the document untouched until the commit, the rectangles reported to the
// input method, reconversion as one undo step, and the primary selection.
#include "widgets/editorfixture.h"
#include "support/sj.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <QTextCharFormat>

#include <gtest/gtest.h>

#include <cstdlib>

namespace orvane {
namespace {

using test::sj;

struct ImeFixture : testing::Test {
    TEditor Editor;
    ImeFixture() {
        QApplication::setCursorFlashTime(0);  // a steady caret, so that pictures compare
        test::ShowEditor(Editor, 40, 10, true);
    }

    // A composition: Text with the segment [TargetFrom, TargetTo) being converted and the
    // cursor at Cursor; Commit committed first.
    void Compose(const QString& Text, int Cursor, int TargetFrom = 0, int TargetTo = 0, const QString& Commit = {}) {
        QList<QInputMethodEvent::Attribute> attributes;
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, 0, int(Text.size()), underline);
        if (TargetTo > TargetFrom) {
            QTextCharFormat target;
            target.setBackground(Qt::darkBlue);
            attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, TargetFrom, TargetTo - TargetFrom,
                                                       target);
        }
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, Cursor, 1, QVariant());
        QInputMethodEvent event(Text, attributes);
        if (!Commit.isEmpty()) event.setCommitString(Commit);
        QApplication::sendEvent(&Editor, &event);
        QApplication::processEvents();
    }
    void Commit(const QString& Text, int ReplaceFrom = 0, int ReplaceLength = 0) {
        QInputMethodEvent event;
        event.setCommitString(Text, ReplaceFrom, ReplaceLength);
        QApplication::sendEvent(&Editor, &event);
        QApplication::processEvents();
    }
    QImage Picture() { return Editor.viewport()->grab().toImage(); }
    QRect Cells(int Col, int Count) const {
        return QRect(Editor.TextLeft() + Col * 8, Editor.TextTop(), Count * 8, 16);
    }
};

TEST_F(ImeFixture, TheCompositionIsDrawnAtTheCaretAndTheDocumentWaitsForTheCommit) {
    Editor.Document().SetText("abcdef");
    Editor.SetModified(false);
    Editor.SetRowCol(0, 2);
    const QImage before = Picture();

    Compose(QString::fromUtf8("にほん"), 3);
    EXPECT_TRUE(Editor.Composing());
    const QImage during = Picture();
    EXPECT_NE(during.copy(Cells(2, 6)), before.copy(Cells(2, 6)));  // over "cdef" and beyond
    EXPECT_EQ(during.copy(Cells(0, 2)), before.copy(Cells(0, 2)));  // "ab" stays
    EXPECT_EQ(Editor.Document().GetText(), "abcdef");
    EXPECT_FALSE(Editor.CanUndo());
    EXPECT_FALSE(Editor.Modified());
    // The candidate window goes to the composition's cursor: after three two-cell characters.
    const QRect cursor = Editor.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_EQ(cursor.left(), Editor.TextLeft() + (2 + 6) * 8);

    Compose({}, 0);  // cancelled
    EXPECT_FALSE(Editor.Composing());
    EXPECT_EQ(Picture().copy(Cells(0, 10)), before.copy(Cells(0, 10)));

    Compose(QString::fromUtf8("にほん"), 3);
    Commit(QString::fromUtf8("日本"));
    EXPECT_FALSE(Editor.Composing());
    EXPECT_EQ(Editor.Document().GetText(), "ab" + sj("日本") + "cdef");
    Editor.Undo();
    EXPECT_EQ(Editor.Document().GetText(), "abcdef");
}

TEST_F(ImeFixture, TheSegmentBeingConvertedIsHighlightedAndTheCursorFollowsIt) {
    Editor.Document().SetText(sj("これはです。\r\n二行目"));
    Editor.SetRowCol(0, 6);
    Compose(QString::fromUtf8("にほんご"), 2, 2, 4);
    const QImage during = Picture();
    // The README's picture of a composition: ORVANE_IME_PICTURE=docs/composition.png
    if (const char* out = std::getenv("ORVANE_IME_PICTURE")) Editor.grab().save(QString::fromLocal8Bit(out));
    const QColor plain = during.pixelColor(Cells(6, 1).left() + 1, Cells(6, 1).top() + 1);
    const QColor target = during.pixelColor(Cells(10, 1).left() + 1, Cells(10, 1).top() + 1);
    EXPECT_NE(plain, target);
    EXPECT_EQ(Editor.inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), Editor.TextLeft() + 10 * 8);
}

TEST_F(ImeFixture, ACompositionThatReachesTheWrapColumnGoesOnInTheNextRow) {
    Editor.WrapOption().SetWrapByte(30);
    Editor.SetWordWrap(true);
    const int wrap = Editor.WrapOption().WrapByte();
    Editor.Document().SetText(std::string(std::size_t(wrap - 2), 'x'));
    Editor.SetRowCol(0, wrap - 2);
    Compose(QString::fromUtf8("あい"), 2);
    const std::vector<QRect> cells = Editor.PreeditCells();
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].topLeft(), QPoint(Editor.TextLeft() + (wrap - 2) * 8, Editor.TextTop()));
    EXPECT_EQ(cells[1].topLeft(), QPoint(Editor.TextLeft(), Editor.TextTop() + Editor.RowHeight()));
}

TEST_F(ImeFixture, AReadOnlyTextRefusesTheComposition) {
    Editor.Document().SetText("abc");
    Editor.SetReadOnly(true);
    Compose(QString::fromUtf8("にほん"), 3, 0, 0, QString::fromUtf8("日"));
    EXPECT_FALSE(Editor.Composing());
    EXPECT_EQ(Editor.Document().GetText(), "abc");
}

TEST_F(ImeFixture, ReconversionReplacesTheCharactersBeforeTheCaretInOneStep) {
    Editor.Document().SetText(sj("日本語"));
    Editor.SetRowCol(0, 6);
    EXPECT_EQ(Editor.inputMethodQuery(Qt::ImSurroundingText).toString(), QString::fromUtf8("日本語"));
    EXPECT_EQ(Editor.inputMethodQuery(Qt::ImCursorPosition).toInt(), 3);
    Commit(QString::fromUtf8("本後"), -2, 2);
    EXPECT_EQ(Editor.Document().GetText(), sj("日本後"));
    Editor.Undo();
    EXPECT_EQ(Editor.Document().GetText(), sj("日本語"));
    EXPECT_FALSE(Editor.CanUndo());
}

TEST_F(ImeFixture, AMiddleClickPastesThePrimarySelection) {
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection()) GTEST_SKIP() << "no primary selection on this platform";
    Editor.Document().SetText("abc def");
    Editor.Perform(EM_SETSEL, 4, 7);
    QTest::keyRelease(&Editor, Qt::Key_Shift);
    EXPECT_EQ(clipboard->text(QClipboard::Selection), QStringLiteral("def"));
    QTest::mouseClick(Editor.viewport(), Qt::MiddleButton, {}, QPoint(Editor.TextLeft() + 1, Editor.TextTop() + 4));
    EXPECT_EQ(Editor.Document().GetText(), "defabc def");
}

}  // namespace
}  // namespace orvane
