// Logical lines of a document: the line <-> row mapping with word wrap on and off, checked
// against a plain walk over the rows, also while edits, undo and re-wraps change the rows.
#include "document/docfixture.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane {
namespace {

using test::DocFixture;
using test::Load;

// The mapping as a walk from row 0, without any remembered place.
int WalkLineToRow(const TEditorScreenStrings& Doc, int Line) {
    if (!Doc.WordWrap()) return Line;
    const int count = Doc.GetCount();
    int row = 0;
    for (int ended = 0; ended < Line; ++row)
        if (Doc.RowEndKind(row) != reWrapped || row == count - 1) ++ended;
    return row;
}

int WalkRowToLineCount(const TEditorScreenStrings& Doc, int Rows) {
    if (!Doc.WordWrap()) return Rows;
    int lines = 0;
    for (int r = 0; r < Rows; ++r)
        if (Doc.RowEndKind(r) == reLineBreak) ++lines;
    return lines;
}

int WalkLineCount(const TEditorScreenStrings& Doc) {
    const int count = Doc.GetCount();
    int lines = 0;
    for (int r = 0; r < count; ++r)
        if (Doc.RowEndKind(r) != reWrapped || r == count - 1) ++lines;
    return lines;
}

// Asks for lines and rows in an order that comes from every side of the remembered place.
void CheckMapping(const TEditorScreenStrings& Doc, std::mt19937& Random, int Queries) {
    const int lines = Doc.LineCount();
    const int rows = Doc.GetCount();
    ASSERT_EQ(lines, WalkLineCount(Doc)) << test::Dump(Doc);
    ASSERT_EQ(Doc.LineToRow(lines), rows);
    for (int q = 0; q < Queries; ++q) {
        const int line = std::uniform_int_distribution<int>(0, lines)(Random);
        ASSERT_EQ(Doc.LineToRow(line), WalkLineToRow(Doc, line)) << "line " << line << " of " << test::Dump(Doc);
        const int row = std::uniform_int_distribution<int>(0, rows)(Random);
        ASSERT_EQ(Doc.RowToLineCount(row), WalkRowToLineCount(Doc, row)) << "row " << row << " of " << test::Dump(Doc);
    }
}

TEST(Lines, MappingOfSmallDocuments) {
    struct Case {
        const char* Rows;
        bool Wrap;
        std::vector<int> LineRows;  // LineToRow(0..LineCount)
        std::vector<int> RowLines;  // RowToLineCount(0..row count)
    };
    const Case cases[] = {
        {"", false, {0}, {0}},
        {"", true, {0}, {0}},
        {"a$", true, {0, 1}, {0, 0}},
        {"a|", true, {0, 1}, {0, 1}},
        {"ab>cd>ef|gh$", true, {0, 3, 4}, {0, 0, 0, 1, 1}},
        {"ab>cd|ef>gh|", true, {0, 2, 4}, {0, 0, 1, 1, 2}},
        {"|||", true, {0, 1, 2, 3}, {0, 1, 2, 3}},
        {"a|b|c$", false, {0, 1, 2, 3}, {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        DocFixture f;
        f.Doc->SetWordWrap(c.Wrap);
        Load(*f.Doc, c.Rows);
        SCOPED_TRACE(c.Rows);
        EXPECT_EQ(f.Doc->LineCount(), int(c.LineRows.size()) - 1);
        // Both directions, so each answer is also reached from a place remembered after it.
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < int(c.LineRows.size()); ++i) {
                const int line = pass ? int(c.LineRows.size()) - 1 - i : i;
                EXPECT_EQ(f.Doc->LineToRow(line), c.LineRows[std::size_t(line)]) << "line " << line;
            }
            for (int i = 0; i < int(c.RowLines.size()); ++i) {
                const int row = pass ? int(c.RowLines.size()) - 1 - i : i;
                EXPECT_EQ(f.Doc->RowToLineCount(row), c.RowLines[std::size_t(row)]) << "row " << row;
            }
        }
        EXPECT_THROW(f.Doc->LineToRow(-1), EStringListError);
        EXPECT_THROW(f.Doc->LineToRow(f.Doc->LineCount() + 1), EStringListError);
        // Row counts outside the rows are clamped.
        EXPECT_EQ(f.Doc->RowToLineCount(-5), 0);
        EXPECT_EQ(f.Doc->RowToLineCount(f.Doc->GetCount() + 5), c.RowLines.back());
    }
}

TEST(Lines, MappingMatchesAWalkOnRandomDocuments) {
    std::mt19937 random(7);
    for (int doc = 0; doc < 200; ++doc) {
        DocFixture f;
        f.Doc->SetWordWrap(doc % 4 != 0);
        std::string notation;
        const int rows = std::uniform_int_distribution<int>(0, 40)(random);
        for (int r = 0; r < rows; ++r) {
            notation += char('a' + r % 26);
            if (r == rows - 1)
                notation += random() % 2 ? '$' : '|';
            else
                notation += f.Doc->WordWrap() && random() % 3 != 0 ? '>' : '|';
        }
        Load(*f.Doc, notation);
        CheckMapping(*f.Doc, random, 60);
    }
}

TEST(Lines, RememberedPlaceFollowsEditsUndoAndRewraps) {
    std::mt19937 random(11);
    DocFixture f;
    f.Wrap(20);
    std::string text;
    for (int i = 0; i < 60; ++i) text += std::string(std::size_t(i * 7 % 50), char('a' + i % 26)) + "\r\n";
    f.Doc->SetText(text);
    const char* pieces[] = {"", "x", "\r\n", "0123456789012345678901234567890", "y\r\nz", "\r\n\r\n",
                            "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz\r\n"};
    for (int step = 0; step < 400; ++step) {
        // Every edit follows a query, so a place is remembered near, before or after it.
        CheckMapping(*f.Doc, random, 3);
        const int count = f.Doc->GetCount();
        switch (random() % 8) {
            case 0: f.Doc->Undo(); break;
            case 1: f.Doc->Redo(); break;
            case 2: f.Doc->WrapOption().SetWrapByte(20 + int(random() % 3) * 10); break;
            case 3: {
                // Whole lines go, as deleting a line does.
                if (f.Doc->LineCount() == 0) break;
                const int line = int(random() % unsigned(f.Doc->LineCount()));
                const int first = f.Doc->LineToRow(line);
                f.Doc->ReplaceRows(first, f.Doc->LastRowOfLine(first) - first + 1, "");
                break;
            }
            default: {
                const int row = count ? int(random() % unsigned(count + 1)) : 0;
                const int n = std::min(int(random() % 4), count - row);
                f.Doc->ReplaceRows(row, n, pieces[random() % std::size(pieces)]);
            }
        }
        test::CheckDoc(*f.Doc);
        if (f.Doc->GetCount() == 0) f.Doc->SetText(text);
    }
    CheckMapping(*f.Doc, random, 50);
    f.Doc->SetWordWrap(false);
    CheckMapping(*f.Doc, random, 50);
}

}  // namespace
}  // namespace orvane
