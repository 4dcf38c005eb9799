// Helpers of the syntax-mode tests.
#include "modes/modes_support.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <stdexcept>

namespace orvane::test {

namespace {

// Converts with iconv; false when some byte sequence does not convert.
bool Convert(const char* To, const char* From, std::string_view In, std::string& Out) {
    iconv_t cd = iconv_open(To, From);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    Out.assign(In.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(In.data());
    std::size_t inLeft = In.size();
    char* out = Out.data();
    std::size_t outLeft = Out.size();
    const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    iconv_close(cd);
    Out.resize(Out.size() - outLeft);
    return ok;
}

}  // namespace

std::string Sjis(std::string_view Utf8) {
    std::string out;
    if (!Convert("CP932", "UTF-8", Utf8, out)) throw std::runtime_error("not convertible to CP932: " + std::string(Utf8));
    return out;
}

std::string Readable(std::string_view Bytes) {
    std::string out;
    bool plain = true;
    for (unsigned char c : Bytes)
        if (c < 0x20 || c == 0x7F) plain = false;
    if (plain && Convert("UTF-8", "CP932", Bytes, out)) return out;
    out.clear();
    for (unsigned char c : Bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

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

std::string Dump(TFountainParser& Parser, std::string_view Row, const TRowAttributeData& State) {
    return DumpTokens(Parser, Row, EditorTokenKindName, State);
}

std::unique_ptr<TEditorFountain> NewEditorFountain() { return TStoreComponent::Create<TEditorFountain>(); }

}  // namespace orvane::test

namespace orvane::test {

std::vector<TRowAttributeData> ReferenceStates(TFountain& Fountain, const TRowAttributeStringList& Rows) {
    std::vector<TRowAttributeData> states;
    auto parser = Fountain.NewParser();
    TRowAttributeData data = InitialRowAttributeData();
    for (int row = 0; row < Rows.Count(); ++row) {
        data.RowEndKind = Rows.RowEndKind(row);
        states.push_back(data);
        parser->NextRowData(row, Rows, data);
        data.PrevRowEndKind = Rows.RowEndKind(row);
    }
    return states;
}

std::string StateString(const TRowAttributeData& Data) {
    std::string s = "ob=" + std::to_string(Data.OpenBracket);
    if (Data.CarryToken != 0 || Data.CarryLength != 0) {
        std::string_view name = EditorTokenKindName(Data.CarryToken);
        if (name.substr(0, 3) == "tok") name.remove_prefix(3);
        s += " carry=" + std::string(name) + "/" + std::to_string(Data.CarryLength);
    }
    if (Data.ModeState != 0) s += " ms=" + std::to_string(Data.ModeState);
    if (Data.PrevRowEndKind != reLineBreak) s += " prev=" + std::to_string(Data.PrevRowEndKind);
    return s;
}

}  // namespace orvane::test
