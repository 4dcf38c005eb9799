// A shown editor control for widget tests: a fixed 8 x 16 cell, no bars or frame, a view of
// Cols x Rows cells, offscreen.
#pragma once

#include "widgets/editor.h"

#include <QApplication>

namespace orvane::test {

inline void ShowEditor(TEditor& Editor, int Cols, int Rows, bool Focus) {
    Editor.SetFixedMetrics(8, 16);
    Editor.SetScrollBars(ssNone);
    Editor.setFrameShape(QFrame::NoFrame);
    Editor.Imagebar().SetVisible(false);
    Editor.resize(Editor.TextLeft() + Cols * 8 + 4, Editor.TextTop() + Rows * 16 + 5);
    Editor.show();
    if (Focus) {
        Editor.activateWindow();
        Editor.setFocus();
    }
    QApplication::processEvents();
}

}  // namespace orvane::test
