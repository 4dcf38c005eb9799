// What a text row draws, worked out without a window: the parts of the row (selected or not),
// the runs of text in their colours on the cell grid, and the mark after the text. The editor
// control paints a plan with QPainter; tests read plans directly.
#pragma once

#include "base/graphics.h"
#include "document/wrap.h"

#include <climits>
#include <string>
#include <vector>

namespace orvane {

class TEditorScreenStrings;
class TFountainParser;

// The look of one optional mark.
struct TMarkLook {
    bool Visible = false;
    TColor Color = 0x808080;
};

// A colour set (background, text, style) as given by a setting; clNone means "the default".
struct TColorLook {
    TColor BkColor = clNone;
    TColor Color = clNone;
    TFontStyles Style = 0;
};

// The settings a row plan depends on, already taken from the editor's settings objects.
struct TRowPaintSettings {
    TColor Color = clWhite;      // the editor's background
    TColor FontColor = clBlack;  // the editor's text colour
    TFontStyles FontStyle = 0;
    bool Italic = false;         // draw every token on its own (italic overhang)
    TMarkLook EofMark, RetMark, WrapMark, HideMark;
    TColorLook Select, Hit;      // the selection and search-hit colours of the view
    TColumnLayout Layout;        // tab width and wrap state
    int TopCol = 0;              // first visible column
    int VisibleCols = 80;        // columns that fit
};

// The selection as drawn, in display columns (end exclusive).
struct TSelectionDraw {
    bool Active = false;  // selected or hit
    bool Hit = false;     // the colours of a search hit
    bool Box = false;
    int StartRow = 0, StartCol = 0, EndRow = 0, EndCol = 0;
};

// A piece of text drawn at a column in one look. One byte takes one cell.
struct TTextRun {
    int Col = 0;
    std::string Text;
    TColor Color = clBlack;
    TColor BkColor = clWhite;
    TFontStyles Style = 0;
    bool Opaque = true;  // the background is filled behind the text

    bool operator==(const TTextRun&) const = default;
};

// The columns [FromCol, ToCol) of a row, drawn in its runs, in order, clipped to the columns.
struct TRowPart {
    int FromCol = 0;
    int ToCol = INT_MAX;
    bool Selected = false;
    TColor FillColor = clWhite;  // what the part shows where no text is
    std::vector<TTextRun> Runs;
};

enum class TEndMark { None, Eof, Ret, Wrap, Hide };

struct TRowPlan {
    int Row = 0;
    bool Beyond = false;  // no such row: the band is filled with the editor's colour
    std::string Text;     // the row's text with tabs expanded
    std::vector<TRowPart> Parts;
    TEndMark Mark = TEndMark::None;
    int MarkCol = 0;
    TColor MarkColor = clBlack;
};

// The column cap: at most this many bytes of a row are drawn (one more when the last starts a
// two-byte character).
inline constexpr int kMaxDrawBytes = 1000;

// Plans row Row of Document. Parser is the active mode's parser (null: no syntax colours). A
// row whose syntax state is not computed yet is tokenized first.
TRowPlan PlanRow(TEditorScreenStrings& Document, int Row, TFountainParser* Parser, const TRowPaintSettings& Settings,
                 const TSelectionDraw& Selection);

// A readable form of a plan for tests: "0:'text' 3:'tok'#fg/#bg+style | sel ... [ret@5]".
std::string DescribePlan(const TRowPlan& Plan);

}  // namespace orvane
