// Keeps the tokenizer states stored with rows current.
#include "modes/tokenize.h"

#include "modes/parser.h"

#include <algorithm>

namespace orvane {

int RetokenizeRows(TFountain& Fountain, TRowAttributeStringList& Rows, int FirstRow, bool Invalidate,
                   const TTokenizeView& View) {
    const int count = Rows.Count();
    if (FirstRow < 0 || FirstRow >= count) return 0;
    auto parser = Fountain.NewParser();

    // Start after the nearest row before FirstRow that holds a state, else at the top.
    TRowAttributeData data = InitialRowAttributeData();
    int start = FirstRow - 1;
    while (start >= 0 && Rows.OpenBracket(start) == -2) --start;
    if (start >= 0) {
        Rows.GetRowAttributeData(start, data);
        parser->NextRowData(start, Rows, data);
        data.PrevRowEndKind = Rows.RowEndKind(start);
    }
    ++start;

    const int last = static_cast<int>(std::min<long long>(FirstRow + 2LL * std::max(View.ScreenRows, 0), count - 1));
    int changed = 0;
    TRowAttributeData stored;
    for (int row = start; row <= last; ++row) {
        data.RowEndKind = Rows.RowEndKind(row);
        Rows.GetRowAttributeData(row, stored);
        if (stored == data) return changed;  // the rest of the rows is unaffected
        Rows.SetRowAttributeData(row, data);
        if (Invalidate) {
            ++changed;
            if (View.InvalidateRow) View.InvalidateRow(row);
        }
        parser->NextRowData(row, Rows, data);
        data.PrevRowEndKind = Rows.RowEndKind(row);
    }
    InvalidateRowsFrom(Rows, last + 1);
    return changed;
}

void TokenizeAllRows(TFountain& Fountain, TRowAttributeStringList& Rows, const TTokenizeView& View) {
    const int count = Rows.Count();
    if (count == 0) return;
    const int last = View.InitBracketsFull
                         ? count - 1
                         : static_cast<int>(std::min<long long>(
                               count - 1, std::max(View.TopRow, 0) + 2LL * std::max(View.ScreenRows, 0)));
    InvalidateRowsFrom(Rows, last + 1);
    auto parser = Fountain.NewParser();
    TRowAttributeData data = InitialRowAttributeData();
    for (int row = 0; row <= last; ++row) {
        data.RowEndKind = Rows.RowEndKind(row);
        Rows.SetRowAttributeData(row, data);
        parser->NextRowData(row, Rows, data);
        data.PrevRowEndKind = Rows.RowEndKind(row);
    }
}

}  // namespace orvane
