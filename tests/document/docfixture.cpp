// Test fixtures for documents.
#include "document/docfixture.h"

#include "base/dbcs.h"

namespace orvane::test {

void FakeView::DocumentChanged() {
    ++Changes;
    if (Document && Document->ChangeFlag()) {
        ++TextChanges;
        SeenRow = Document->ChangeRow();
        SeenOld = Document->ChangeOldCount();
        SeenNew = Document->ChangeNewCount();
    }
}

std::string Dump(const TEditorScreenStrings& Doc) {
    std::string out;
    for (int r = 0; r < Doc.GetCount(); ++r) {
        out += Doc.RowView(r);
        if (const TRowMarkSet marks = Doc.RowMarkSet(r)) {
            out += '{';
            bool first = true;
            for (int m = 0; m < 16; ++m) {
                if (!(marks & (1u << m))) continue;
                if (!first) out += ',';
                out += std::to_string(m);
                first = false;
            }
            out += '}';
        }
        const TRowEndKind end = Doc.RowEndKind(r);
        out += end == reLineBreak ? '|' : end == reWrapped ? '>' : end == reEndOfText ? '$' : '?';
    }
    return out;
}

void Load(TEditorScreenStrings& Doc, std::string_view Notation) {
    TEditorStringList rows;
    TRowMarkSet used = 0;
    std::size_t i = 0;
    while (i < Notation.size()) {
        std::size_t j = Notation.find_first_of("|>${", i);
        if (j == std::string_view::npos) break;
        const std::string_view text = Notation.substr(i, j - i);
        TRowMarkSet marks = 0;
        if (Notation[j] == '{') {
            int value = 0;
            for (++j; j < Notation.size() && Notation[j] != '}'; ++j) {
                if (Notation[j] == ',') {
                    marks |= TRowMarkSet(1u << value);
                    value = 0;
                } else {
                    value = value * 10 + (Notation[j] - '0');
                }
            }
            marks |= TRowMarkSet(1u << value);
            ++j;
        }
        const TRowEndKind end = Notation[j] == '|' ? reLineBreak : Notation[j] == '>' ? reWrapped : reEndOfText;
        rows.AppendRow(text, end, 0, nullptr);
        rows.SetRowMarkSet(rows.GetCount() - 1, marks);
        used |= marks;
        i = j + 1;
    }
    Doc.Clear();
    Doc.SetRows(rows);
    Doc.IncludeMarks(used);
}

void CheckDoc(const TEditorScreenStrings& Doc) {
    const int count = Doc.GetCount();
    TRowMarkSet marks = 0;
    const TColumnLayout layout = Doc.Layout();
    const auto& option = const_cast<TEditorScreenStrings&>(Doc).WrapOption();
    const int widest = option.WrapByte() + (option.FollowPunctuation() ? 2 : 0);
    for (int r = 0; r < count; ++r) {
        const TRowEndKind end = Doc.RowEndKind(r);
        ASSERT_LE(int(end), 2) << "row " << r;
        if (r < count - 1) {
            ASSERT_NE(end, reEndOfText) << "row " << r << " of " << count;
        }
        if (Doc.WordWrap()) {
            ASSERT_LE(DisplayWidth(Doc.RowView(r), layout), widest) << "row " << r;
            if (end == reWrapped) {
                ASSERT_FALSE(Doc.RowView(r).empty()) << "row " << r;
            }
        } else {
            ASSERT_NE(end, reWrapped) << "row " << r;
        }
        marks |= Doc.RowMarkSet(r);
    }
    if (count > 0) {
        ASSERT_NE(Doc.RowEndKind(count - 1), reWrapped);
    }
    ASSERT_EQ(marks & ~Doc.GetMarksInUse(), 0) << "marks on rows outside MarksInUse";

    // The counts and marks the document keeps as rows change, recounted here.
    int lineEnds = 0;
    for (int r = 0; r < count; ++r) lineEnds += Doc.RowEndKind(r) != reWrapped;
    ASSERT_EQ(Doc.LineEndCount(), lineEnds);
    ASSERT_EQ(Doc.LineCount(), lineEnds);
    for (int r = Doc.ComputedEnd(); r < count; ++r) {
        ASSERT_EQ(Doc.OpenBracket(r), -2) << "row " << r << " holds a state after ComputedEnd " << Doc.ComputedEnd();
    }
    const auto [hintRow, hintLine] = Doc.LineHint();
    if (hintRow != 0 || hintLine != 0) {
        ASSERT_LT(hintRow, count);
        ASSERT_TRUE(hintRow == 0 || Doc.RowEndKind(hintRow - 1) != reWrapped) << "line hint at row " << hintRow;
        int line = 0;
        for (int r = 0; r < hintRow; ++r) line += Doc.RowEndKind(r) != reWrapped;
        ASSERT_EQ(hintLine, line) << "line hint at row " << hintRow;
    }
    ASSERT_EQ(Doc.InvariantFault(), "");
    for (const IDocumentView* view : Doc.Editors()) {
        ASSERT_GE(view->CaretRow(), 0);
        ASSERT_LE(view->CaretRow(), Doc.LastAllowedRow());
    }
}

}  // namespace orvane::test
