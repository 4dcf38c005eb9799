// The document's tokenizer.
#include "modes/documenttokenizer.h"

#include "modes/fountain.h"
#include "modes/tokenize.h"

#include <algorithm>

namespace orvane {

namespace {

TTokenizeView ViewOf(TEditorScreenStrings& Document, const IDocumentView& Main) {
    TTokenizeView view;
    view.ScreenRows = Main.ScreenHeight() / std::max(Main.RowHeight(), 1);
    view.TopRow = Main.TopRow();
    view.InitBracketsFull = Main.InitBracketsFull();
    view.InvalidateRow = [&Document](int Row) {
        for (IDocumentView* editor : Document.Editors()) editor->InvalidateRow(Row);
    };
    return view;
}

}  // namespace

int TFountainDocumentTokenizer::RetokenizeRows(TEditorScreenStrings& Document, int FirstRow, bool Invalidate) {
    IDocumentView* main = Document.MainEditor();
    TFountain* fountain = main ? main->ActiveFountain() : nullptr;
    if (!fountain) return 0;
    return orvane::RetokenizeRows(*fountain, Rows(Document), FirstRow, Invalidate, ViewOf(Document, *main));
}

void TFountainDocumentTokenizer::TokenizeAllRows(TEditorScreenStrings& Document) {
    IDocumentView* main = Document.MainEditor();
    TFountain* fountain = main ? main->ActiveFountain() : nullptr;
    if (!fountain) {
        InvalidateRowsFrom(Rows(Document), 0);
        return;
    }
    orvane::TokenizeAllRows(*fountain, Rows(Document), ViewOf(Document, *main));
}

std::unique_ptr<TDocumentTokenizer> NewDocumentTokenizer() { return std::make_unique<TFountainDocumentTokenizer>(); }

}  // namespace orvane
