// What the editor draws, worked out without a window: the look of a row, its plan, and the
// text of the line-number bar.
#include "editor/controller.h"

#include "modes/fountain.h"
#include "modes/parser.h"

namespace orvane {

TRowPaintSettings TEditorController::PaintSettings() {
    TRowPaintSettings s;
    s.Color = FColor;
    s.FontColor = FFont.Color();
    s.FontStyle = FFont.Style();
    s.Italic = (FFont.Style() & fsItalic) || ActiveFountain()->UsesItalic(*ActiveFountain());
    auto mark = [](TEditorMark& m) { return TMarkLook{m.Visible(), m.Color()}; };
    s.EofMark = mark(FMarks.EofMark());
    s.RetMark = mark(FMarks.RetMark());
    s.WrapMark = mark(FMarks.WrapMark());
    s.HideMark = mark(FMarks.HideMark());
    TEditorColors& colors = FView.Colors();
    s.Select = {colors.Select().BkColor(), colors.Select().Color(), colors.Select().Style()};
    s.Hit = {colors.Hit().BkColor(), colors.Hit().Color(), colors.Hit().Style()};
    s.Layout = FDocument->Layout();
    s.TopCol = FTopCol;
    s.VisibleCols = FVisibleColCount;
    return s;
}

TRowPlan TEditorController::PlanRow(int Row) {
    std::unique_ptr<TFountainParser> parser = ActiveFountain()->NewParser();
    return orvane::PlanRow(*FDocument, Row, parser.get(), PaintSettings(), SelectionDraw());
}

std::string TEditorController::LeftbarText(int Row) {
    if (!FLeftbar.ShowNumber()) return {};
    const int count = RowCount();
    const bool endsWithBreak = count == 0 || FDocument->RowEndKind(count - 1) == reLineBreak;
    const int base = FLeftbar.ZeroBase() ? 0 : 1;
    int number = -1;
    if (FLeftbar.ShowNumberMode() == nmRow) {
        if (Row < count || (Row == count && endsWithBreak)) number = Row + base;
    } else if (Row <= count && (Row == 0 || FDocument->RowEndKind(Row - 1) != reWrapped)) {
        // Only the first row of a line is numbered, and the empty row after a final line break.
        if (Row < count || endsWithBreak) number = FDocument->RowToLineCount(Row) + base;
    }
    if (number < 0) return {};
    std::string text = std::to_string(number);
    if (int(text.size()) < FLeftbarDigits)
        text.insert(0, std::size_t(FLeftbarDigits) - text.size(), FLeftbar.ZeroLead() ? '0' : ' ');
    return text;
}

}  // namespace orvane
