// Test support for any syntax mode.
#include "modes/mode_harness.h"

#include "base/dbcs.h"
#include "modes/documenttokenizer.h"
#include "modes/modes_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>

namespace orvane::test {

std::string DumpTokens(TFountainParser& Parser, std::string_view Row, TKindName Name, const TRowAttributeData& State) {
    Parser.BeginRow(Row, State);
    std::string out;
    int lastEnd = 0;
    for (std::size_t guard = 0; guard <= Row.size() + 1; ++guard) {
        const TTokenKind kind = Parser.NextToken();
        if (kind == tokEnd) return out;
        const int pos = Parser.TokenPos(), len = Parser.TokenLength();
        EXPECT_GE(pos, lastEnd) << "token overlaps the previous one in " << Readable(Row);
        EXPECT_GT(len, 0) << "empty token in " << Readable(Row);
        EXPECT_LE(pos + len, static_cast<int>(Row.size())) << "token runs past the row in " << Readable(Row);
        lastEnd = pos + len;
        std::string_view name = Name(kind);
        if (name.substr(0, 3) == "tok") name.remove_prefix(3);
        if (!out.empty()) out += ' ';
        out += name.empty() ? std::to_string(kind) : std::string(name);
        out += ':';
        out += Readable(Parser.TokenView());
    }
    ADD_FAILURE() << "scanning does not end in " << Readable(Row);
    return out;
}

std::string DumpColors(TFountain& Fountain, std::string_view Row, const TRowAttributeData& State) {
    std::map<const TFountainColor*, std::string> names;
    Fountain.ForEachColor([&names](std::string_view Name, TFountainColor& Color) { names[&Color] = Name; });
    auto parser = Fountain.NewParser();
    parser->BeginRow(Row, State);
    std::string out;
    for (std::size_t guard = 0; guard <= Row.size() && parser->NextToken() != tokEnd; ++guard) {
        const TFountainColor* color = parser->ColorForToken();
        if (!out.empty()) out += ' ';
        out += Readable(parser->TokenView());
        out += '=';
        if (!color) out += '-';
        else if (auto it = names.find(color); it != names.end()) out += it->second;
        else out += '?';
    }
    return out;
}

namespace {

std::string ShortName(TKindName Name, TTokenKind Kind) {
    std::string_view name = Name(Kind);
    if (name.substr(0, 3) == "tok") name.remove_prefix(3);
    return name.empty() ? std::to_string(Kind) : std::string(name);
}

}  // namespace

std::string StateText(const TRowAttributeData& Data, TKindName Name) {
    std::string s = "ob=" + std::to_string(Data.OpenBracket);
    if (Data.CarryToken != 0 || Data.CarryLength != 0)
        s += " carry=" + ShortName(Name, Data.CarryToken) + "/" + std::to_string(Data.CarryLength);
    if (Data.ModeState != 0) s += " ms=" + std::to_string(Data.ModeState);
    if (Data.LastTokenKind != 0) s += " last=" + ShortName(Name, Data.LastTokenKind);
    if (Data.ModeCounter != 0) s += " mc=" + std::to_string(Data.ModeCounter);
    if (!Data.CarryText.empty()) s += " text=" + Readable(Data.CarryText);
    return s;
}

void SetRowsOf(TEditorStringList& Rows, const std::vector<std::string>& Texts) {
    Rows.Clear();
    for (const std::string& t : Texts) {
        const bool wrapped = !t.empty() && t.back() == '|';
        const int i = Rows.Add(Sjis(wrapped ? t.substr(0, t.size() - 1) : t));
        Rows.SetRowEndKind(i, wrapped ? reWrapped : reLineBreak);
    }
    if (Rows.Count() > 0) Rows.SetRowEndKind(Rows.Count() - 1, reEndOfText);
}

std::vector<std::string> RowStates(TFountain& Mode, const std::vector<std::string>& Texts, TKindName Name) {
    TEditorStringList rows;
    SetRowsOf(rows, Texts);
    std::vector<std::string> out;
    for (const TRowAttributeData& d : ReferenceStates(Mode, rows)) out.push_back(StateText(d, Name));
    return out;
}

ModeDocument::ModeDocument(TFountain& Mode) : Mode(Mode) {
    View.Fountain = &Mode;
    Doc.SetTokenizer(NewDocumentTokenizer());
    Doc.AttachEditor(&View);
}

ModeDocument::~ModeDocument() { Doc.DetachEditor(&View); }

void ExpectStatesMatchFromScratch(ModeDocument& M, const std::string& Context) {
    const auto reference = ReferenceStates(M.Mode, M.Doc);
    TRowAttributeData d;
    for (int r = 0; r < M.Doc.Count(); ++r) {
        M.Doc.GetRowAttributeData(r, d);
        if (r >= M.Doc.ComputedEnd()) {
            ASSERT_EQ(d.OpenBracket, -2) << "row " << r << " past the computed end after " << Context;
        }
        if (d.OpenBracket == -2) continue;
        ASSERT_EQ(d, reference[r]) << "row " << r << " after " << Context << ": " << StateString(d) << " vs "
                                   << StateString(reference[r]) << " ms=" << d.ModeState << "/"
                                   << reference[r].ModeState << " last=" << int(d.LastTokenKind) << "/"
                                   << int(reference[r].LastTokenKind);
    }
}

namespace {

// The tokens the painter draws on Row: it scans a wrapped row with the next row's text after it
// and keeps the tokens that start in the row, cut at its end.
std::string PaintedTokens(TFountainParser& Parser, const TEditorScreenStrings& Doc, int Row, const TRowAttributeData& State) {
    std::string text(Doc.RowView(Row));
    const int own = static_cast<int>(text.size());
    if (Doc.RowEndKind(Row) == reWrapped && Row + 1 < Doc.Count()) text += Doc.RowView(Row + 1);
    Parser.BeginRow(text, State);
    std::string out;
    for (std::size_t guard = 0; guard <= text.size() && Parser.NextToken() != tokEnd; ++guard) {
        const int pos = Parser.TokenPos();
        if (pos >= own) break;
        // kind@position+length=colour
        char token[80];
        std::snprintf(token, sizeof token, "%d@%d+%d=%p ", Parser.Token(), pos, std::min(Parser.TokenLength(), own - pos),
                      static_cast<const void*>(Parser.ColorForToken()));
        out += token;
    }
    return out;
}

}  // namespace

void ExpectTokensMatchFromScratch(ModeDocument& M, const std::string& Context) {
    for (int r = 0; r < M.Doc.Count(); ++r)
        if (M.Doc.OpenBracket(r) == -2) M.Doc.RetokenizeRows(r, false);
    const auto reference = ReferenceStates(M.Mode, M.Doc);
    auto painter = M.Mode.NewParser();  // one parser for the whole pass, as painting uses
    TRowAttributeData d;
    for (int r = 0; r < M.Doc.Count(); ++r) {
        M.Doc.GetRowAttributeData(r, d);
        ASSERT_EQ(d, reference[r]) << "row " << r << " brought up to date after " << Context;
        auto fresh = M.Mode.NewParser();
        ASSERT_EQ(PaintedTokens(*painter, M.Doc, r, d), PaintedTokens(*fresh, M.Doc, r, reference[r]))
            << "tokens of row " << r << " (" << Readable(M.Doc.RowView(r)) << ") after " << Context;
    }
}

void RunRandomEdits(TFountain& Mode, const RandomEdits& Plan) {
    for (const bool wrap : {false, true}) {
        for (const bool full : {false, true}) {
            ModeDocument m(Mode);
            m.View.Full = full;
            m.View.ScreenRows = Plan.ScreenRows;
            m.Doc.WrapOption().SetWrapByte(Plan.WrapWidth);
            m.Doc.SetWordWrap(wrap);
            m.Doc.SetText(Plan.StartText);
            std::mt19937 rng(Plan.Seed + (wrap ? 2 : 0) + (full ? 1 : 0));
            const std::string setting = std::string(wrap ? "wrap on" : "wrap off") + (full ? ", full" : ", horizon");
            for (int step = 0; step < Plan.Steps; ++step) {
                if (m.Doc.Count() == 0) m.Doc.SetText(Plan.StartText);
                const int row = static_cast<int>(rng() % m.Doc.Count());
                const int count = (rng() % 8 == 0 && row + 1 < m.Doc.Count()) ? 2 : 1;
                std::string text;
                for (int r = row; r < row + count; ++r) text += m.Doc.RowTextWithBreak(r);
                std::string context;
                const int what = static_cast<int>(rng() % 10);
                if (what < 3 && !text.empty()) {
                    // delete up to six characters, line breaks included
                    std::size_t at = CharStartOf(text, rng() % text.size());
                    std::size_t end = at;
                    for (int n = 1 + static_cast<int>(rng() % 6); n > 0 && end < text.size(); --n)
                        end += CharLenAt(text, end);
                    context = "deleting " + Readable(text.substr(at, end - at)) + " at " + std::to_string(row) + ":" +
                              std::to_string(at);
                    text.erase(at, end - at);
                } else {
                    const std::size_t body = m.Doc.RowView(row).size();
                    std::size_t at = body ? rng() % (body + 1) : 0;
                    if (at < body) at = CharStartOf(text, at);
                    const std::string& piece = Plan.Pieces[rng() % Plan.Pieces.size()];
                    context = "typing " + Readable(piece) + " at " + std::to_string(row) + ":" + std::to_string(at);
                    text.insert(at, piece);
                }
                m.Doc.ReplaceRows(row, count, text);
                context += " (step " + std::to_string(step) + ", " + setting + ")";
                ExpectStatesMatchFromScratch(m, context);
                if (::testing::Test::HasFatalFailure()) return;
                if (Plan.TokenCheckEvery > 0 && step % Plan.TokenCheckEvery == 0) {
                    ExpectTokensMatchFromScratch(m, context);
                    if (::testing::Test::HasFatalFailure()) return;
                }
            }
            EXPECT_GT(m.Doc.Count(), 10) << setting;  // the text grew enough to reach past the horizon
        }
    }
}

}  // namespace orvane::test
