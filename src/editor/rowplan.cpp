// Row plans: the runs and marks of a text row.
#include "editor/rowplan.h"

#include "base/dbcs.h"
#include "document/document.h"
#include "modes/fountain.h"
#include "modes/parser.h"

#include <algorithm>
#include <iomanip>
#include <sstream>

namespace orvane {
namespace {

struct TToken {
    int Pos;
    int Length;
    TColorLook Look;
};

// Bytes of Text that are drawn: 1000, or 1001 when the 1000th starts a two-byte character.
int DrawLength(std::string_view Text) {
    if (int(Text.size()) <= kMaxDrawBytes) return int(Text.size());
    return CharLenAt(Text, std::size_t(kMaxDrawBytes - 1)) == 2 && CharStartOf(Text, kMaxDrawBytes - 1) == kMaxDrawBytes - 1
               ? kMaxDrawBytes + 1
               : kMaxDrawBytes;
}

TColor Or(TColor Value, TColor Default) { return Value == clNone ? Default : Value; }

// Moves a column off the second cell of a two-byte character: back for a start, on for an end.
int WholeCharacterCol(std::string_view Text, int Col, bool Start) {
    if (Col <= 0 || Col >= int(Text.size())) return Col;
    const std::size_t start = CharStartOf(Text, std::size_t(Col));
    if (int(start) == Col) return Col;
    return Start ? int(start) : int(start) + 2;
}

std::vector<TToken> ScanTokens(TEditorScreenStrings& Document, int Row, TFountainParser& Parser,
                               const std::string& Text, const TRowPaintSettings& Settings, int RightCol) {
    std::vector<TToken> tokens;
    if (Document.OpenBracket(Row) == -2) Document.RetokenizeRows(Row, false);
    TRowAttributeData data;
    Document.GetRowAttributeData(Row, data);
    // A token cut by the wrap is scanned whole, with the next row's raw text after this one.
    std::string joined;
    std::string_view scan = Text;
    if (Settings.Layout.WordWrap && Document.RowEndKind(Row) == reWrapped && Row + 1 < Document.GetCount()) {
        joined = Text;
        joined += Document.RowView(Row + 1);
        scan = joined;
    }
    const int own = int(Text.size());
    Parser.BeginRow(scan, data);
    while (Parser.NextToken() != 0) {
        const int pos = Parser.TokenPos();
        if (pos >= own || pos > RightCol) break;
        TToken token{pos, std::min(Parser.TokenLength(), own - pos), {}};
        if (const TFountainColor* color = Parser.ColorForToken())
            token.Look = {color->BkColor(), color->Color(), color->Style()};
        else
            token.Look = {clNone, clNone, Settings.FontStyle};
        tokens.push_back(token);
    }
    return tokens;
}

void AddPart(TRowPlan& Plan, int From, int To, bool Selected) {
    if (From >= To) return;
    TRowPart part;
    part.FromCol = From;
    part.ToCol = To;
    part.Selected = Selected;
    Plan.Parts.push_back(std::move(part));
}

// Splits the row into parts by the selection.
void SplitBySelection(TRowPlan& Plan, const TSelectionDraw& Sel) {
    const int row = Plan.Row;
    if (!Sel.Active || row < Sel.StartRow || row > Sel.EndRow) {
        AddPart(Plan, 0, INT_MAX, false);
        return;
    }
    const std::string& text = Plan.Text;
    if (Sel.Box) {
        const int from = WholeCharacterCol(text, Sel.StartCol, true);
        const int to = std::max(from, WholeCharacterCol(text, Sel.EndCol, false));
        AddPart(Plan, 0, from, false);
        AddPart(Plan, from, to, true);
        AddPart(Plan, to, INT_MAX, false);
        return;
    }
    const int from = row == Sel.StartRow ? Sel.StartCol : 0;
    const int to = row == Sel.EndRow ? Sel.EndCol : INT_MAX;
    AddPart(Plan, 0, from, false);
    AddPart(Plan, from, to, true);
    AddPart(Plan, std::max(from, to), INT_MAX, false);
}

void FillPart(TRowPart& Part, const std::string& Text, int Drawn, const std::vector<TToken>& Tokens,
              const TRowPaintSettings& S, const TSelectionDraw& Sel) {
    const std::string shown = Text.substr(0, std::size_t(Drawn));
    if (Part.Selected) {
        // clNone in the selection colours inverts the defaults.
        const TColorLook& look = Sel.Hit ? S.Hit : S.Select;
        const TColor bk = Or(look.BkColor, S.FontColor);
        const TColor fg = Or(look.Color, S.Color);
        Part.FillColor = bk;
        if (!shown.empty()) Part.Runs.push_back({0, shown, fg, bk, S.FontStyle, true});
        for (const TToken& t : Tokens) {
            if (!S.Italic && t.Look.Style == S.FontStyle) continue;
            Part.Runs.push_back({t.Pos, Text.substr(std::size_t(t.Pos), std::size_t(t.Length)), fg, bk, t.Look.Style,
                                 !S.Italic});
        }
        return;
    }
    Part.FillColor = S.Color;
    if (!S.Italic && !shown.empty()) Part.Runs.push_back({0, shown, S.FontColor, S.Color, S.FontStyle, true});
    for (const TToken& t : Tokens) {
        const TColor bk = Or(t.Look.BkColor, S.Color);
        const TColor fg = Or(t.Look.Color, S.FontColor);
        if (!S.Italic && bk == S.Color && fg == S.FontColor && t.Look.Style == S.FontStyle) continue;
        Part.Runs.push_back(
            {t.Pos, Text.substr(std::size_t(t.Pos), std::size_t(t.Length)), fg, bk, t.Look.Style, !S.Italic || bk != S.Color});
    }
}

void PlaceEndMark(TRowPlan& Plan, TEditorScreenStrings& Document, int Drawn, const TRowPaintSettings& S,
                  const TSelectionDraw& Sel) {
    const int row = Plan.Row;
    const TRowEndKind end = Document.RowEndKind(row);
    const bool whole = int(Plan.Text.size()) <= kMaxDrawBytes;
    const TMarkLook* look = nullptr;
    if (whole) {
        if (S.EofMark.Visible && row == Document.GetCount() - 1 && end == reEndOfText) {
            Plan.Mark = TEndMark::Eof;
            look = &S.EofMark;
        } else if (S.RetMark.Visible && end == reLineBreak) {
            Plan.Mark = TEndMark::Ret;
            look = &S.RetMark;
        } else if (S.WrapMark.Visible && end == reWrapped) {
            Plan.Mark = TEndMark::Wrap;
            look = &S.WrapMark;
        }
    } else if (S.HideMark.Visible) {
        Plan.Mark = TEndMark::Hide;
        look = &S.HideMark;
    }
    if (!look) return;
    Plan.MarkCol = Drawn;
    Plan.MarkColor = Or(look->Color, S.FontColor);
    if (Plan.Mark == TEndMark::Eof) return;  // the end-of-text mark keeps its colour
    for (const TRowPart& part : Plan.Parts)
        if (part.Selected && Plan.MarkCol >= part.FromCol && Plan.MarkCol < part.ToCol)
            Plan.MarkColor = Or((Sel.Hit ? S.Hit : S.Select).Color, S.Color);
}

}  // namespace

TRowPlan PlanRow(TEditorScreenStrings& Document, int Row, TFountainParser* Parser, const TRowPaintSettings& Settings,
                 const TSelectionDraw& Selection) {
    TRowPlan plan;
    plan.Row = Row;
    const int count = Document.GetCount();
    if (Row < 0 || Row >= count) {
        plan.Beyond = true;
        if (Settings.EofMark.Visible && Row == count && (count == 0 || Document.RowEndKind(count - 1) == reLineBreak)) {
            plan.Mark = TEndMark::Eof;
            plan.MarkColor = Or(Settings.EofMark.Color, Settings.FontColor);
        }
        return plan;
    }
    plan.Text = TabsToSpaces(Document.RowView(Row), Settings.Layout);
    SplitBySelection(plan, Selection);
    const int drawn = DrawLength(plan.Text);
    // A row entirely left of the view draws its background only.
    const bool leftOfView = int(plan.Text.size()) + 5 < Settings.TopCol;
    std::vector<TToken> tokens;
    if (Parser && !plan.Text.empty() && !leftOfView) {
        const int rightCol = std::min(Settings.TopCol + Settings.VisibleCols + 1, kMaxDrawBytes + 1);
        tokens = ScanTokens(Document, Row, *Parser, plan.Text, Settings, rightCol);
    }
    for (TRowPart& part : plan.Parts) FillPart(part, plan.Text, drawn, tokens, Settings, Selection);
    if (!leftOfView) PlaceEndMark(plan, Document, drawn, Settings, Selection);
    return plan;
}

std::string DescribePlan(const TRowPlan& Plan) {
    std::ostringstream out;
    out << std::hex << std::uppercase << std::setfill('0');
    bool first = true;
    if (Plan.Beyond) {
        out << "beyond";
        first = false;
    }
    for (const TRowPart& part : Plan.Parts) {
        if (!first) out << " | ";
        first = false;
        if (part.Selected) out << "sel ";
        out << std::dec << part.FromCol << "-";
        if (part.ToCol != INT_MAX) out << part.ToCol;
        out << ":";
        for (const TTextRun& run : part.Runs) {
            out << " " << std::dec << run.Col << "'" << run.Text << "'" << std::hex << std::setw(6)
                << (unsigned(run.Color) & 0xFFFFFFu) << "/" << std::setw(6) << (unsigned(run.BkColor) & 0xFFFFFFu);
            if (run.Style) out << "+" << std::dec << int(run.Style);
            if (!run.Opaque) out << "~";
        }
    }
    static const char* const names[] = {"", "eof", "ret", "wrap", "hide"};
    if (Plan.Mark != TEndMark::None) out << " [" << names[int(Plan.Mark)] << "@" << std::dec << Plan.MarkCol << "]";
    return out.str();
}

}  // namespace orvane
