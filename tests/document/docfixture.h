// Test fixtures for documents: a recording view, a compact notation for rows, and the invariant
// checker run after every operation.
#pragma once

#include "document/document.h"
#include "document/wrap.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace orvane::test {

// A view that records what the document asks of it.
class FakeView : public IDocumentView {
public:
    int Tab = 8;
    bool IsLoading = false;
    bool HasFocus = false;
    int Row = 0, Col = 0, Top = 0;
    int Locks = 0;
    int Changes = 0, TextChanges = 0, Refreshes = 0, Drops = 0;
    // The last change record seen with a text change: row, old count, new count.
    int SeenRow = -1, SeenOld = -1, SeenNew = -1;

    int TabSpaceCount() const override { return Tab; }
    const TCharSet& WordDelimiters() const override { return DefaultDelimiters(); }
    bool Loading() const override { return IsLoading; }
    bool Destroying() const override { return false; }
    TFountain* ActiveFountain() const override { return nullptr; }
    int RowHeight() const override { return 16; }
    int ScreenHeight() const override { return 400; }
    bool InitBracketsFull() const override { return false; }
    bool Focused() const override { return HasFocus; }
    int CaretRow() const override { return Row; }
    int CaretCol() const override { return Col; }
    void SetCaretRowCol(int R, int C) override {
        Row = R;
        Col = C;
    }
    void LockCaret() override { ++Locks; }
    void UnlockCaret() override { --Locks; }
    int TopRow() const override { return Top; }
    void SetTopRow(int R) override { Top = R; }
    void DropSelection() override { ++Drops; }
    void RefreshView() override { ++Refreshes; }
    void DocumentChanged() override;
    void InvalidateRow(int) override {}

    TEditorScreenStrings* Document = nullptr;
};

// Rows as text: each row's bytes, its marks as {n,m} when it has any, then '|' (line break),
// '>' (wrapped) or '$' (end of text).
std::string Dump(const TEditorScreenStrings& Doc);
// Builds rows from the same notation (texts must not contain the notation's characters).
void Load(TEditorScreenStrings& Doc, std::string_view Notation);

// Checks the document's invariants; reports through gtest.
void CheckDoc(const TEditorScreenStrings& Doc);

// A document with one attached view.
struct DocFixture {
    std::shared_ptr<TEditorScreenStrings> Doc = std::make_shared<TEditorScreenStrings>();
    FakeView View;
    DocFixture() {
        View.Document = Doc.get();
        Doc->AttachEditor(&View);
    }
    ~DocFixture() { Doc->DetachEditor(&View); }
    void Wrap(int WrapByte, bool Rules = false) {
        auto& o = Doc->WrapOption();
        o.BeginUpdate();
        o.SetWrapByte(WrapByte);
        o.SetWordBreak(Rules);
        o.SetLeading(Rules);
        o.SetFollowPunctuation(Rules);
        o.EndUpdate();
        Doc->SetWordWrap(true);
    }
};

}  // namespace orvane::test
