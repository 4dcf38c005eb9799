// Keeps the tokenizer states stored with rows current: after an edit and after loading.
#pragma once

#include "document/rowlist.h"

#include <functional>

namespace orvane {

class TFountain;

// What a walk over the rows needs of the editors that show them.
struct TTokenizeView {
    int ScreenRows = 0;             // screen height div row height: the horizon is two of these
    int TopRow = 0;                 // first visible row of the main editor
    bool InitBracketsFull = false;  // TokenizeAllRows computes every row, not just the horizon
    std::function<void(int Row)> InvalidateRow;  // repaints Row in every editor showing it
};

// Recomputes the stored states from FirstRow on, stopping at the first row whose stored state
// is unchanged or two screens past FirstRow, whichever comes first; when it stops at the
// horizon, every computed row after it is marked not computed. Returns the number of rows
// whose state it stored (counted, and repainted, only when Invalidate is set).
int RetokenizeRows(TFountain& Fountain, TRowAttributeStringList& Rows, int FirstRow, bool Invalidate,
                   const TTokenizeView& View);

// Marks every row not computed and computes the rows from the top to the horizon after TopRow
// (or to the last row with InitBracketsFull).
void TokenizeAllRows(TFountain& Fountain, TRowAttributeStringList& Rows, const TTokenizeView& View);

}  // namespace orvane
