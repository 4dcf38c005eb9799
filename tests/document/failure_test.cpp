// Edits, undo, redo, loading and word wrap switches made to fail at every step in turn: the
// document is left as it was or with the change complete, and it stays usable.
#include "base/faults.h"
#include "document/docfixture.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <tuple>

namespace orvane {
namespace {

using test::CheckDoc;
using test::DocFixture;
using test::Dump;
using test::sj;

// Stores a state made from the row index in every row from the first one asked for to the end,
// passing a fault point before each row, so a failure leaves the states half written.
class StampTokenizer : public TDocumentTokenizer {
public:
    static int Stamp(int Row) { return Row % 5; }

    int RetokenizeRows(TEditorScreenStrings& Document, int FirstRow, bool) override {
        TRowAttributeStringList& rows = Rows(Document);
        for (int r = FirstRow; r < rows.GetCount(); ++r) {
            FaultPoint();
            TRowAttributeData data;
            data.RowEndKind = rows.RowEndKind(r);
            data.OpenBracket = -1;
            data.ModeState = Stamp(r);
            rows.SetRowAttributeData(r, data);
        }
        return rows.GetCount() - FirstRow;
    }
    void TokenizeAllRows(TEditorScreenStrings& Document) override {
        InvalidateRowsFrom(Rows(Document), 0);
        RetokenizeRows(Document, 0, false);
    }
};

// What must be all before or all after an operation.
struct Snapshot {
    std::string Rows;  // texts, end kinds and marks
    std::size_t Undo = 0, Redo = 0;
    bool WordWrap = false;
    int Changes = 0, TextChanges = 0, Refreshes = 0;  // what the view was told

    bool operator==(const Snapshot&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Snapshot& s) {
    return out << s.Rows << " undo " << s.Undo << " redo " << s.Redo << " wrap " << s.WordWrap << " changes "
               << s.Changes << "/" << s.TextChanges << " refreshes " << s.Refreshes;
}

Snapshot Take(const DocFixture& f) {
    return {Dump(*f.Doc), f.Doc->UndoEngine().UndoList.size(), f.Doc->UndoEngine().RedoList.size(),
            f.Doc->WordWrap(), f.View.Changes, f.View.TextChanges, f.View.Refreshes};
}

// Every row holds the state the tokenizer gives it, or none.
void CheckStates(const TEditorScreenStrings& Doc) {
    for (int r = 0; r < Doc.GetCount(); ++r) {
        if (Doc.OpenBracket(r) == -2) continue;
        ASSERT_EQ(Doc.ModeState(r), StampTokenizer::Stamp(r)) << "row " << r;
    }
}

struct Operation {
    const char* name;
    int wrapByte;  // 0: word wrap off
    std::string text;
    std::function<void(TEditorScreenStrings&)> prepare;  // run before the failures are armed
    std::function<void(TEditorScreenStrings&)> run;
};

void Start(DocFixture& f, const Operation& op) {
    f.Doc->SetTokenizer(std::make_unique<StampTokenizer>());
    if (op.wrapByte) f.Wrap(op.wrapByte, true);
    f.Doc->SetText(op.text);
    f.View.Col = 1;
    if (op.prepare) op.prepare(*f.Doc);
}

// Runs the operation once to learn its outcome, then once for every step at which it can fail:
// the Nth run fails at the Nth fault point passed, until a run passes them all.
void FailAtEveryStep(const Operation& op) {
    SCOPED_TRACE(op.name);
    Snapshot before, after;
    {
        DocFixture f;
        Start(f, op);
        before = Take(f);
        op.run(*f.Doc);
        after = Take(f);
        ASSERT_NE(std::tie(before.Rows, before.Undo, before.Redo, before.WordWrap),
                  std::tie(after.Rows, after.Undo, after.Redo, after.WordWrap))
            << "the operation changes nothing";
    }
    int failures = 0;
    for (int pass = 1;; ++pass) {
        SCOPED_TRACE("failing at fault point " + std::to_string(pass));
        DocFixture f;
        Start(f, op);
        ArmFault(pass);
        bool failed = false;
        try {
            op.run(*f.Doc);
        } catch (const std::bad_alloc&) {
            failed = true;
        }
        ArmFault(0);
        const Snapshot now = Take(f);
        if (!failed) {
            EXPECT_EQ(now, after);
            break;
        }
        ++failures;
        EXPECT_EQ(f.Doc->UpdateCount(), 0) << "an update bracket stayed open";
        EXPECT_FALSE(f.Doc->ChangeFlag());
        ASSERT_NO_FATAL_FAILURE(CheckDoc(*f.Doc));
        ASSERT_NO_FATAL_FAILURE(CheckStates(*f.Doc));
        EXPECT_TRUE(now == before || now == after) << "before: " << before << "\nafter:  " << after
                                                    << "\nnow:    " << now;

        // Still sound: an edit is seen by the view and undoes to the text before it.
        const std::string text = f.Doc->GetText();
        const int seen = f.View.TextChanges;
        f.Doc->ReplaceRows(0, 0, "new\r\n");
        EXPECT_EQ(f.View.TextChanges, seen + 1);
        f.Doc->Undo();
        EXPECT_EQ(f.Doc->GetText(), text);
        ASSERT_NO_FATAL_FAILURE(CheckDoc(*f.Doc));
    }
    EXPECT_GT(failures, 0) << "the operation passed no fault point";
}

TEST(Failure, EditsChangeAllOrNothing) {
    const std::string text = "abc\r\ndef\r\n" + sj("日本語の文章です。") + "\r\nlast line";
    auto edit = [](int row, int count, std::string with) {
        return [=](TEditorScreenStrings& d) { d.ReplaceRows(row, count, with); };
    };
    const Operation ops[] = {
        {"typing into a row", 0, text, nullptr, edit(1, 1, "dxef")},
        {"typing into a wrapped row", 6, text, nullptr, edit(2, 1, sj("日本語の") + "x")},
        {"a line break in a wrapped line", 6, text, nullptr, edit(3, 1, sj("文章") + "\r\n" + sj("です。"))},
        {"joining lines", 0, text, nullptr, edit(0, 2, "abcdef\r\n")},
        {"whole lines go", 0, text, nullptr, edit(0, 2, "")},
        {"appending after the last row", 8, text, nullptr,
         [](TEditorScreenStrings& d) { d.ReplaceRows(d.GetCount(), 0, "more"); }},
        {"the whole text", 5, text, nullptr, [](TEditorScreenStrings& d) { d.ReplaceRows(0, d.GetCount(), "x\r\ny"); }},
    };
    for (const Operation& op : ops) FailAtEveryStep(op);
}

TEST(Failure, UndoAndRedoChangeAllOrNothing) {
    const std::string text = "abc\r\ndef\r\nghi\r\n";
    auto undo = [](TEditorScreenStrings& d) { d.Undo(); };
    auto redo = [](TEditorScreenStrings& d) { d.Redo(); };
    auto edits = [](TEditorScreenStrings& d) {
        d.ReplaceRows(0, 2, "abc\r\nd-long-row-e-f\r\n");
        d.ReplaceRows(2, 1, "");
    };
    auto editsUndone = [=](TEditorScreenStrings& d) {
        edits(d);
        d.Undo();
        d.Undo();
    };
    const Operation ops[] = {
        {"undo of a change", 0, text, edits, undo},
        {"undo of a deletion", 6, text, edits, undo},
        {"redo of a change", 6, text, editsUndone, redo},
        {"redo of a deletion", 0, text,
         [=](TEditorScreenStrings& d) {
             edits(d);
             d.Undo();
         },
         redo},
    };
    for (const Operation& op : ops) FailAtEveryStep(op);
}

TEST(Failure, LoadingAndLayoutChangeAllOrNothing) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + " of some words " + sj("と日本語") + "\r\n";
    const Operation ops[] = {
        {"loading a text", 0, "old\r\ntext", nullptr, [&](TEditorScreenStrings& d) { d.SetText(text); }},
        {"loading wrapped", 12, "old\r\ntext", nullptr, [&](TEditorScreenStrings& d) { d.AdoptText(std::string(text)); }},
        {"word wrap on", 0, text, [](TEditorScreenStrings& d) { d.WrapOption().SetWrapByte(20); },
         [](TEditorScreenStrings& d) { d.SetWordWrap(true); }},
        {"word wrap off", 10, text, nullptr, [](TEditorScreenStrings& d) { d.SetWordWrap(false); }},
    };
    for (const Operation& op : ops) FailAtEveryStep(op);
}

// The case that showed the fault: a failure in the re-wrap step of an edit left an undo step
// recorded for a change that never happened, and undo then doubled the text.
TEST(Failure, AFailedRewrapRecordsNoUndoStep) {
    struct FailingWrap : TEditorScreenStrings {
        bool Fail = false;
        void WrapTextToList(std::string_view Text, TEditorStringList& List) override {
            if (Fail) throw std::bad_alloc();
            TEditorScreenStrings::WrapTextToList(Text, List);
        }
    };
    FailingWrap doc;
    doc.SetText("abc\r\ndef\r\n");
    doc.Fail = true;
    EXPECT_THROW(doc.ReplaceRows(0, 1, "abcx"), std::bad_alloc);
    doc.Fail = false;
    EXPECT_FALSE(doc.UndoEngine().CanUndo());
    doc.Undo();
    EXPECT_EQ(Dump(doc), "abc|def|");
}

}  // namespace
}  // namespace orvane
