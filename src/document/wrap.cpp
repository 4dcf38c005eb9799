// Display columns, character classes and word wrap.
#include "document/wrap.h"

#include "base/dbcs.h"
#include "document/bytestrings.h"

#include <cstring>

namespace orvane {

const TCharSet& DefaultDelimiters() {
    static const TCharSet set = [] {
        TCharSet s;
        auto range = [&](int from, int to) {
            for (int b = from; b <= to; ++b) s.set(std::size_t(b));
        };
        range(0x00, 0x2F);
        range(0x3A, 0x40);
        range(0x5B, 0x5E);
        range(0x60, 0x60);
        range(0x7B, 0x80);
        range(0xA0, 0xA5);
        range(0xFD, 0xFF);
        return s;
    }();
    return set;
}

// ---- TEditorWrapOption

// 、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ
const std::string& TEditorWrapOption::DefaultFollowStr() {
    static const std::string s =
        "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4a\x81\x4b\x81\x52\x81\x53"
        "\x81\x54\x81\x55\x81\x58\x81\x5b\x81\x6a\x81\x6e\x81\x70\x81\x76\x81\x78"
        "!),.:;?]}\xa1\xa3\xa4\xa5\xb0\xde\xdf";
    return s;
}

// （［｛「『([{｢
const std::string& TEditorWrapOption::DefaultLeadStr() {
    static const std::string s = "\x81\x69\x81\x6d\x81\x6f\x81\x75\x81\x77([{\xa2";
    return s;
}

// 、。，．,.｡､
const std::string& TEditorWrapOption::DefaultPunctuationStr() {
    static const std::string s = "\x81\x41\x81\x42\x81\x43\x81\x44,.\xa1\xa4";
    return s;
}

TEditorWrapOption::TEditorWrapOption()
    : FFollowStr(DefaultFollowStr()), FLeadStr(DefaultLeadStr()), FPunctuationStr(DefaultPunctuationStr()) {}

void TEditorWrapOption::SetWrapByte(int V) {
    if (V < 20) V = 20;
    if (V > 250) V = 250;
    SetField(FWrapByte, V);
}

void TEditorWrapOption::Assign(const TPersistent& Source) {
    const auto* other = dynamic_cast<const TEditorWrapOption*>(&Source);
    if (!other) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    FFollowRetMark = other->FFollowRetMark;
    FFollowPunctuation = other->FFollowPunctuation;
    FFollowStr = other->FFollowStr;
    FLeading = other->FLeading;
    FLeadStr = other->FLeadStr;
    FPunctuationStr = other->FPunctuationStr;
    FWordBreak = other->FWordBreak;
    FWrapByte = other->FWrapByte;
    Changed();
}

// ---- columns and classes

void CharClassString(std::string_view S, const TColumnLayout& Layout, std::string& Out) {
    Out.clear();
    const std::size_t limit = std::size_t(Layout.ClassLimit());
    const TCharSet& delimiters = *Layout.Delimiters;
    for (std::size_t i = 0; i < S.size() && Out.size() < limit;) {
        const unsigned char b = static_cast<unsigned char>(S[i]);
        if (CharLenAt(S, i) == 2) {
            Out += "45";
            i += 2;
        } else if (b == '\t') {
            const int width = Layout.TabWidthAt(int(Out.size()));
            Out += ccDelimiter;
            Out.append(std::size_t(width - 1), ccTab);
            ++i;
        } else {
            Out += delimiters.test(b) ? ccDelimiter : ccWord;
            ++i;
        }
    }
}

std::string CharClassString(std::string_view S, const TColumnLayout& Layout) {
    std::string out;
    CharClassString(S, Layout, out);
    return out;
}

int DisplayWidth(std::string_view S, const TColumnLayout& Layout) {
    if (S.find('\t') == std::string_view::npos) return int(S.size());
    int col = 0;
    for (std::size_t i = 0; i < S.size(); ++i) col += S[i] == '\t' ? Layout.TabWidthAt(col) : 1;
    return col;
}

std::string TabsToSpaces(std::string_view S, const TColumnLayout& Layout) {
    std::string out;
    out.reserve(S.size());
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '\t')
            out.append(std::size_t(Layout.TabWidthAt(int(out.size()))), ' ');
        else
            out += S[i];
    }
    return out;
}

// ---- TEditorAttributeArray

void TEditorAttributeArray::Reset(std::string_view AText, std::string_view AClasses) {
    Text = AText;
    Classes.assign(AClasses);
    Classes += ccEnd;
    Pos = 0;
    ByteCount = 0;
    Ch = ccWord;
    Next();
}

void TEditorAttributeArray::Next() {
    if (Ch == ccEnd) return;
    ++Pos;
    Ch = Classes[std::size_t(Pos - 1)];
    if (Ch != ccTab) ++ByteCount;
}

void TEditorAttributeArray::Prev() {
    if (Pos <= 1) return;
    const char left = Classes[std::size_t(Pos - 1)];
    --Pos;
    Ch = Classes[std::size_t(Pos - 1)];
    if (left != ccTab) --ByteCount;
}

void TEditorAttributeArray::PrevChar() {
    Prev();
    if (Ch == ccLead) Prev();
}

void TEditorAttributeArray::MoveTo(int N) {
    while (Ch != ccEnd && Pos < N) Next();
    while (Pos > 1 && Pos > N) Prev();
}

std::string_view TEditorAttributeArray::CurrentChar() const {
    const std::size_t at = std::size_t(ByteCount);
    switch (Ch) {
        case ccEnd: return {};
        case ccTrail: return Text.substr(at - 2, 2);
        case ccLead: return Text.substr(at - 1, 2);
        default: return Text.substr(at - 1, 1);
    }
}

std::string_view TEditorAttributeArray::NextChar() {
    if (Ch == ccEnd) return {};
    const int pos = Pos, bytes = ByteCount;
    const char ch = Ch;
    Next();
    const std::string_view next = CurrentChar();
    Pos = pos;
    ByteCount = bytes;
    Ch = ch;
    return next;
}

// ---- TLineWrapper

TLineWrapper::TLineWrapper(const TEditorWrapOption& Option, const TColumnLayout& Layout)
    : FOption(Option), FLayout(Layout) {
    FLayout.WordWrap = true;
    FLayout.WrapByte = Option.WrapByte();
}

bool TLineWrapper::FitsOneRow(std::string_view Line) {
    // Every byte takes at least one column; without tabs the width is the byte count.
    if (int(Line.size()) >= FLayout.WrapByte) return false;
    if (Line.find('\t') == std::string_view::npos) return true;
    return DisplayWidth(Line, FLayout) < FLayout.WrapByte;
}

template <class Emit>
void TLineWrapper::Cut(std::string_view Line, Emit&& emit) {
    const int wrapByte = FLayout.WrapByte;
    const int bracketLimit = (wrapByte / 5) * 4;
    std::size_t offset = 0;
    auto reset = [&] {
        CharClassString(Line.substr(offset), FLayout, FClasses);
        FCursor.Reset(Line.substr(offset), FClasses);
        FCursor.MoveTo(wrapByte);
    };
    reset();
    TEditorAttributeArray& c = FCursor;
    for (;;) {
        if (c.Ch == ccEnd) {
            // The rest fits and ends the line. An empty rest takes a row of its own for the line
            // break, unless the break may follow the last cut row.
            const std::size_t rest = Line.size() - offset;
            if (rest > 0 || !FOption.FollowRetMark())
                emit(offset, rest, TPiece::Last);
            else
                emit(offset, rest, TPiece::BreakOnPrevious);
            return;
        }
        if (c.Ch == ccLead) {
            c.Prev();  // a two-byte character straddles the wrap column: it moves whole
        } else if (FOption.WordBreak() && c.Length() > wrapByte) {
            while (c.Ch != ccDelimiter && c.Ch != ccTab && c.Ch != ccTrail && c.Pos > wrapByte / 3) c.PrevChar();
        }
        if (FOption.FollowPunctuation()) {
            // Punctuation hangs on the row, at most two columns past the width: a two-byte mark
            // after a one-byte one that already hangs goes to the next row.
            for (;;) {
                const std::string_view next = c.NextChar();
                if (next.empty() || c.Pos + int(next.size()) > wrapByte + 2 ||
                    !CharInStr(next, FOption.PunctuationStr()))
                    break;
                c.Next();
                if (c.Ch == ccLead) c.Next();
            }
        }
        if (FOption.Leading() && c.Pos < c.Length()) {
            while (c.Pos > bracketLimit && CharInStr(c.CurrentChar(), FOption.LeadStr())) c.PrevChar();
            if (c.Pos + 1 < c.Length()) {
                std::string_view next = c.NextChar();
                std::string_view current = c.CurrentChar();
                if (CharInStr(next, FOption.FollowStr())) {
                    while (c.Pos > bracketLimit &&
                           (CharInStr(current, FOption.LeadStr()) || CharInStr(next, FOption.FollowStr()))) {
                        c.PrevChar();
                        next = current;
                        current = c.CurrentChar();
                    }
                }
            }
        }
        const std::size_t length = std::size_t(c.ByteCount);
        emit(offset, length, TPiece::Cut);
        offset += length;
        reset();
    }
}

int TLineWrapper::RowCount(std::string_view Line) {
    if (FitsOneRow(Line)) return 1;
    int rows = 0;
    Cut(Line, [&](std::size_t, std::size_t, TPiece piece) {
        if (piece != TPiece::BreakOnPrevious) ++rows;
    });
    return rows;
}

void TLineWrapper::Wrap(std::string_view Line, std::vector<Row>& Rows) {
    Rows.clear();
    if (FitsOneRow(Line)) {
        Rows.push_back({0, Line.size(), false});
        return;
    }
    Cut(Line, [&](std::size_t offset, std::size_t length, TPiece piece) {
        if (piece == TPiece::BreakOnPrevious)
            Rows.back().Wrapped = false;
        else
            Rows.push_back({offset, length, piece == TPiece::Cut});
    });
}

}  // namespace orvane
