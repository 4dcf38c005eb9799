// The document's tokenizer: keeps the row states of a document current with the syntax mode
// of its main editor.
#pragma once

#include "document/document.h"

#include <memory>

namespace orvane {

// Takes the mode from the main editor's ActiveFountain(). Without an editor or a mode it leaves
// the rows not tokenized.
class TFountainDocumentTokenizer : public TDocumentTokenizer {
public:
    int RetokenizeRows(TEditorScreenStrings& Document, int FirstRow, bool Invalidate) override;
    void TokenizeAllRows(TEditorScreenStrings& Document) override;
};

// The tokenizer new documents use.
std::unique_ptr<TDocumentTokenizer> NewDocumentTokenizer();

}  // namespace orvane
