// What a document needs of the editors that show it, as an interface the editor control
// implements, so the document builds, tests and benchmarks without a window.
#pragma once

#include "document/wrap.h"

namespace orvane {

class TFountain;

class IDocumentView {
public:
    virtual ~IDocumentView() = default;

    // Layout: the document wraps with its main editor's tab width and word delimiters.
    virtual int TabSpaceCount() const = 0;
    virtual const TCharSet& WordDelimiters() const = 0;

    // Component state: while loading (between BeginLoad and EndLoad) the document neither
    // rewraps nor tokenizes; while destroying it does not tokenize.
    virtual bool Loading() const = 0;
    virtual bool Destroying() const = 0;

    // Tokenizer inputs: the active syntax mode (the editor's own, else its default mode; may be
    // null) and the horizon of two screen heights past a change.
    virtual TFountain* ActiveFountain() const = 0;
    virtual int RowHeight() const = 0;
    virtual int ScreenHeight() const = 0;
    virtual bool InitBracketsFull() const = 0;

    // Focus, caret and scrolling.
    virtual bool Focused() const = 0;
    virtual int CaretRow() const = 0;
    virtual int CaretCol() const = 0;
    virtual void SetCaretRowCol(int Row, int Col) = 0;
    virtual void LockCaret() = 0;
    virtual void UnlockCaret() = 0;
    virtual int TopRow() const = 0;
    virtual void SetTopRow(int Row) = 0;

    // Reactions to the document.
    virtual void DropSelection() = 0;   // drops a selection or search hit when there is one
    virtual void RefreshView() = 0;     // metrics, scroll ranges, margin pictures, full repaint
    virtual void DocumentChanged() = 0; // repaint from the change record, fire OnChange
    virtual void InvalidateRow(int Row) = 0;
    // The rows of the same text are laid out again (word wrap, its width, the tab width): the
    // view notes its caret, selection and top row by line and byte before, and puts them back at
    // the same places of the text after.
    virtual void RememberPlaces() {}
    virtual void RestorePlaces() {}
};

}  // namespace orvane
