// The application's editor: the editor control with marks on full-width spaces and tabs, a
// dotted line at the wrap column, the caret-row underline ending at the wrap column, and a
// highlighted hit range.
#pragma once

#include "styles/orvanemarks.h"
#include "widgets/editor.h"

namespace orvane {

class TOrvaneEditor : public TEditor {
    Q_OBJECT

public:
    explicit TOrvaneEditor(QWidget* Parent = nullptr);
    ~TOrvaneEditor() override;

    // The three extra marks; setting them copies.
    TOrvaneEditorMarks& MarksOrvane() noexcept { return FMarksOrvane; }
    const TOrvaneEditorMarks& MarksOrvane() const noexcept { return FMarksOrvane; }
    void SetMarksOrvane(const TOrvaneEditorMarks& Value) { FMarksOrvane.Assign(Value); }

    // A range drawn red on yellow, in character offsets as SelStart counts them (0-based, a
    // line break counts 2). Setting either limits the range to the text; a negative length
    // moves the start back by as much. Length 0: nothing is highlighted.
    int HitStart() const noexcept { return FHit.Start; }
    void SetHitStart(int Value);
    int HitLength() const noexcept { return FHit.Length; }
    void SetHitLength(int Value);

    // The extra marks changed: the control is drawn again.
    virtual void MarksChanged();

protected:
    void paintEvent(QPaintEvent* Event) override;
    void DoDrawLine(QPainter& P, const TRowPlan& Plan, int OriginX, int Y, const QRect& PartRect,
                    bool Selected) override;
    void DrawUnderline(QPainter& P, int Y) override;

private:
    void SetHit(int Start, int Length);
    void DrawTabMark(QPainter& P, int X, int Y, const QColor& Color);
    void DrawDByteSpaceMark(QPainter& P, int X, int Y, const QColor& Color);
    void DrawHitRange(QPainter& P, const TRowPlan& Plan, int OriginX, int Y);

    TOrvaneEditorMarks FMarksOrvane;
    THitRange FHit;
};

}  // namespace orvane
