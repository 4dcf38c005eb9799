// Helpers of the Perl-mode tests.
#include "modes/perl_support.h"

#include "modes/modes_support.h"
#include "modes/tokenize.h"

#include <gtest/gtest.h>

namespace orvane::test {

std::unique_ptr<TPerlFountain> NewPerlFountain() { return TStoreComponent::Create<TPerlFountain>(); }

void SetPerlRows(TEditorStringList& Rows, std::string_view Source) {
    Rows.Clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(Source.find('\n', start), Source.size());
        std::string text(Source.substr(start, end - start));
        const bool wrapped = !text.empty() && text.back() == '|';
        if (wrapped) text.pop_back();
        const int i = Rows.Add(Sjis(text));
        Rows.SetRowEndKind(i, wrapped ? reWrapped : reLineBreak);
        if (end == Source.size()) break;
        start = end + 1;
    }
    Rows.SetRowEndKind(Rows.Count() - 1, reEndOfText);
}

std::string PerlDump(TFountainParser& Parser, std::string_view Row, const TRowAttributeData& State,
                     std::string_view NextRow) {
    // As the painter does, a wrapped row is scanned with the next row after it, and the tokens
    // that start in the row itself are shown, cut at its end.
    const std::string text = std::string(Row) + std::string(NextRow);
    Parser.BeginRow(text, State);
    std::string out;
    int lastEnd = 0;
    const int own = static_cast<int>(Row.size());
    for (std::size_t guard = 0; guard <= text.size() + 1; ++guard) {
        const TTokenKind kind = Parser.NextToken();
        if (kind == tokEnd) return out;
        const int pos = Parser.TokenPos(), len = Parser.TokenLength();
        EXPECT_GE(pos, lastEnd) << "token overlaps the previous one in " << Readable(text);
        EXPECT_GT(len, 0) << "empty token in " << Readable(text);
        EXPECT_LE(pos + len, static_cast<int>(text.size())) << "token runs past the text in " << Readable(text);
        lastEnd = pos + len;
        if (pos >= own) return out;
        std::string_view name = Parser.IsReservedWord() ? "tokReserved" : PerlTokenKindName(kind);
        if (name.substr(0, 3) == "tok") name.remove_prefix(3);
        if (!out.empty()) out += ' ';
        out += name.empty() ? std::to_string(kind) : std::string(name);
        out += ':';
        out += Readable(Parser.TokenView().substr(0, static_cast<std::size_t>(std::min(len, own - pos))));
    }
    ADD_FAILURE() << "scanning does not end in " << Readable(text);
    return out;
}

std::string DumpSource(TPerlFountain& Mode, std::string_view Source) {
    TEditorStringList rows;
    SetPerlRows(rows, Source);
    TTokenizeView view;
    view.InitBracketsFull = true;
    TokenizeAllRows(Mode, rows, view);
    auto parser = Mode.NewParser();
    std::string out;
    TRowAttributeData state;
    for (int r = 0; r < rows.Count(); ++r) {
        rows.GetRowAttributeData(r, state);
        if (r > 0) out += " / ";
        const bool wrapped = rows.RowEndKind(r) == reWrapped && r + 1 < rows.Count();
        out += PerlDump(*parser, rows.RowView(r), state, wrapped ? rows.RowView(r + 1) : std::string_view());
    }
    return out;
}

}  // namespace orvane::test
