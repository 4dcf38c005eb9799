// The scanner of syntax modes and the row-to-row state it computes.
#include "modes/parser.h"

#include <algorithm>
#include <cstring>

namespace orvane {

namespace {

constexpr bool IsDigit(unsigned char b) noexcept { return b >= '0' && b <= '9'; }
constexpr bool IsHexDigit(unsigned char b) noexcept {
    return IsDigit(b) || (b >= 'A' && b <= 'F') || (b >= 'a' && b <= 'f');
}

constexpr std::pair<TTokenKind, std::string_view> kBaseKindNames[] = {
    {tokEnd, "tokEnd"},           {tokSymbol, "tokSymbol"},
    {tokInteger, "tokInteger"},   {tokFloat, "tokFloat"},
    {tokBracket, "tokBracket"},   {tokComment, "tokComment"},
    {tokReserved, "tokReserved"}, {tokTab, "tokTab"},
    {tokWord, "tokWord"},         {tokWideSymbol, "tokWideSymbol"},
    {tokWideDigit, "tokWideDigit"}, {tokWideLetter, "tokWideLetter"},
    {tokHiragana, "tokHiragana"}, {tokKatakana, "tokKatakana"},
    {tokKanji, "tokKanji"},       {tokHalfKanaSymbol, "tokHalfKanaSymbol"},
    {tokHalfKana, "tokHalfKana"}, {tokUrl, "tokUrl"},
    {tokMail, "tokMail"},         {tokHex, "tokHex"},
    {tokSingleQuoted, "tokSingleQuoted"}, {tokDoubleQuoted, "tokDoubleQuoted"},
};

// Two-byte codes of the kana runs: the prolonged-sound mark and the full-width minus join them.
constexpr bool IsHiraganaCode(unsigned c) noexcept { return (c >= 0x829F && c <= 0x82F1) || c == 0x815B || c == 0x817C; }
constexpr bool IsKatakanaCode(unsigned c) noexcept { return (c >= 0x8340 && c <= 0x8396) || c == 0x815B || c == 0x817C; }
constexpr bool IsWideDigitCode(unsigned c) noexcept { return (c >= 0x824F && c <= 0x8258) || c == 0x8143 || c == 0x8144; }
constexpr bool IsWideLetterCode(unsigned c) noexcept { return (c >= 0x8260 && c <= 0x8279) || (c >= 0x8281 && c <= 0x829A); }
constexpr bool IsKanjiLead(unsigned char b) noexcept { return (b >= 0x88 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

std::string_view BaseTokenKindName(TTokenKind Kind) noexcept {
    for (const auto& [kind, name] : kBaseKindNames)
        if (kind == Kind) return name;
    return {};
}

// ---- construction

TFountainParser::TFountainParser(TFountain* Fountain) : FFountain(Fountain) {
    if (!Fountain) throw EFountainError("TFountainParser.Create need instance of TFountain");
}

TFountainParser::TFountainParser(TNoFountain) {}

TFountainParser::~TFountainParser() = default;

void TFountainParser::BuildScanTables() {
    for (int b = 0; b < 256; ++b) {
        TScanProc proc = &TFountainParser::ScanSymbol;
        if (b == 0x00) proc = &TFountainParser::ScanNull;
        else if (b == 0x09) proc = &TFountainParser::ScanTab;
        else if (b == 0x0A) proc = &TFountainParser::ScanLineFeed;
        else if (b == 0x0D) proc = &TFountainParser::ScanReturn;
        else if (IsDigit(b)) proc = &TFountainParser::ScanNumber;
        else if (kWordChars[b]) proc = &TFountainParser::ScanWord;
        else if (b == 0x81 || (b >= 0x84 && b <= 0x87)) proc = &TFountainParser::ScanWideSymbol;
        else if (b == 0x82 || b == 0x83) proc = &TFountainParser::ScanWide;
        else if (IsKanjiLead(b)) proc = &TFountainParser::ScanKanji;
        else if (b >= 0xA1 && b <= 0xA5) proc = &TFountainParser::ScanHalfKanaSymbol;
        else if (b >= 0xA6 && b <= 0xDF) proc = &TFountainParser::ScanHalfKana;
        FCharTable[b] = proc;
    }
    for (int k = 0; k < 256; ++k) {
        TScanProc proc = &TFountainParser::ScanSymbol;
        switch (k) {
        case tokInteger: case tokFloat: proc = &TFountainParser::ScanNumber; break;
        case tokBracket: proc = &TFountainParser::ScanBracket; break;
        case tokComment: proc = &TFountainParser::ScanComment; break;
        case tokReserved: proc = &TFountainParser::ScanReservedWord; break;
        case tokWord: proc = &TFountainParser::ScanWord; break;
        case tokWideSymbol: proc = &TFountainParser::ScanWideSymbol; break;
        case tokWideDigit: case tokWideLetter: case tokHiragana: case tokKatakana:
            proc = &TFountainParser::ScanWide; break;
        case tokKanji: proc = &TFountainParser::ScanKanji; break;
        case tokHalfKanaSymbol: proc = &TFountainParser::ScanHalfKanaSymbol; break;
        case tokHalfKana: proc = &TFountainParser::ScanHalfKana; break;
        case tokUrl: proc = &TFountainParser::ScanUrl; break;
        case tokMail: proc = &TFountainParser::ScanMail; break;
        case tokHex: proc = &TFountainParser::ScanHex; break;
        case tokSingleQuoted: proc = &TFountainParser::ScanSingleQuoted; break;
        case tokDoubleQuoted: proc = &TFountainParser::ScanDoubleQuoted; break;
        default: break;
        }
        FContinueTable[k] = proc;
    }
}

// ---- scanning a row

void TFountainParser::BeginRow(std::string_view Text, const TRowAttributeData& Data) {
    if (!FTablesBuilt) {
        BuildScanTables();  // here, not in the constructor, so that a mode's override runs
        // The first bytes of the opening delimiters: most token starts need no comparison.
        FBracketFirst.fill(false);
        if (FFountain) {
            const auto& brackets = FFountain->Brackets();
            for (int i = 0; i < brackets.Count(); ++i) {
                const std::string& left = brackets.Items(i)->LeftBracket();
                if (!left.empty()) FBracketFirst[static_cast<unsigned char>(left[0])] = true;
            }
        }
        FTablesBuilt = true;
    }
    FBuffer = reinterpret_cast<const Byte*>(Text.data());
    FEnd = FBuffer + Text.size();
    FRowLimit = FEnd;
    FP = FTokenStart = FTokenEnd = FBuffer;
    FToken = tokEnd;
    FTokenBracket = -2;
    FContinuing = false;
    FRowAttr = Data.RowEndKind;
    FPrevRowAttr = Data.PrevRowEndKind;
    FBracketIndex = Data.OpenBracket;
    FElementIndex = Data.ModeState;
    FWrappedByte = Data.CarryLength;
    FNestLevel = Data.ModeCounter;
    FWrappedToken = Data.CarryToken;
    FPrevToken = Data.LastTokenKind;
    FDataStr = Data.CarryText;
    FMailFailFrom = FMailFailEnd = nullptr;
}

TTokenKind TFountainParser::NextToken() {
    // A token cut by the wrap starts at the very start of the row, blanks included.
    if (FWrappedToken == 0) SkipBlanks();
    FP = FTokenStart = FTokenEnd;
    FContinuing = FWrappedToken != 0;
    if (AtEnd(FP)) {
        FToken = tokEnd;
    } else if (FWrappedToken != 0) {
        ScanCarriedToken();
        if (FP == FTokenStart) {
            // Nothing of the cut token is left here: scan a new token instead.
            FContinuing = false;
            if (FBracketIndex >= 0) ScanBracket();
            else ScanNormalToken();
        }
    } else if (FBracketIndex >= 0) {
        ScanBracket();
    } else {
        ScanNormalToken();
    }
    if (FP == FTokenStart && FToken != tokEnd) {
        // Every token but the end takes at least one character.
        FP += CharLen(FP);
        FToken = tokSymbol;
    }
    FTokenEnd = FP;
    return FToken;
}

void TFountainParser::SkipBlanks() {
    while (FTokenEnd < FEnd && ((*FTokenEnd >= 0x01 && *FTokenEnd <= 0x08) || (*FTokenEnd >= 0x0A && *FTokenEnd <= 0x20)))
        ++FTokenEnd;
}

void TFountainParser::ScanCarriedToken() {
    if (FWrappedByte > 0) {
        FToken = FWrappedToken;
        // A stale or inconsistent carry never takes more than the text has.
        FP += std::min<std::ptrdiff_t>(FWrappedByte, FEnd - FP);
        if (FToken == tokBracket) {
            FTokenBracket = FBracketIndex;
            FBracketIndex = -1;
        }
    } else {
        (this->*FContinueTable[FWrappedToken])();
    }
    FWrappedToken = 0;
    FWrappedByte = 0;
}

void TFountainParser::ScanNormalToken() {
    if (FBracketIndex == -1 && IsBracket()) ScanBracket();
    else (this->*FCharTable[*FP])();
}

// ---- tests and procedures

bool TFountainParser::BytesAt(const Byte* p, std::string_view S) const noexcept {
    return !S.empty() && static_cast<std::size_t>(FEnd - p) >= S.size() && std::memcmp(p, S.data(), S.size()) == 0;
}

bool TFountainParser::TextAt(const Byte* p, std::string_view S) const noexcept {
    if (S.empty() || static_cast<std::size_t>(FEnd - p) < S.size()) return false;
    std::size_t i = 0;
    while (i < S.size()) {
        const Byte s = static_cast<Byte>(S[i]);
        if (IsLeadByte(s) && i + 1 < S.size()) {  // a two-byte character: compared as is
            if (p[i] != s || p[i + 1] != static_cast<Byte>(S[i + 1])) return false;
            i += 2;
            continue;
        }
        if (UpperByte(p[i]) != UpperByte(s)) return false;
        ++i;
    }
    return true;
}

bool TFountainParser::MatchWord(std::string_view S) {
    if (!TextAt(FP, S)) return false;
    if (kWordChars[Peek(FP + S.size())]) return false;
    FP += S.size();
    return true;
}

bool TFountainParser::IsReservedWord() {
    if (!FFountain || FContinuing || FToken == tokEnd || FToken == tokBracket || FToken == tokComment) return false;
    int index = 0;
    return FFountain->ReserveWordList().Find(TokenView(), index);
}

bool TFountainParser::IsBracket() {
    if (!FFountain || FP >= FEnd || !FBracketFirst[*FP]) return false;
    const auto& brackets = FFountain->Brackets();
    for (int i = 0; i < brackets.Count(); ++i) {
        const std::string& left = brackets.Items(i)->LeftBracket();
        if (BytesAt(FP, left)) {
            FBracketIndex = i;
            FP += left.size();
            return true;
        }
    }
    return false;
}

void TFountainParser::ScanBracket() {
    const TFountainBracketItem* item = nullptr;
    if (FFountain && FBracketIndex >= 0 && FBracketIndex < FFountain->Brackets().Count())
        item = FFountain->Brackets().Items(FBracketIndex);
    if (!item || item->RightBracket().empty()) {
        FToken = tokEnd;
        return;
    }
    FToken = tokBracket;
    FTokenBracket = FBracketIndex;
    const std::string& right = item->RightBracket();
    while (!AtEnd(FP)) {
        if (BytesAt(FP, right)) {
            FP += right.size();
            FBracketIndex = -1;
            return;
        }
        FP += CharLen(FP);
    }
}

bool TFountainParser::IsMail() {
    const Byte* p = FP;
    if (p >= FEnd || !kMailChars[*p] || *p == '@') return false;
    if (p >= FMailFailFrom && p < FMailFailEnd) return false;
    bool at = false;
    const Byte* q = p + 1;
    for (; q < FEnd && kMailChars[*q]; ++q) {
        if (*q == '@') {
            at = true;
        } else if (*q == '.' && at) {
            FP = q + 1;
            return true;
        }
    }
    FMailFailFrom = p;
    FMailFailEnd = q;
    return false;
}

void TFountainParser::ScanMail() {
    FToken = tokMail;
    while (FP < FEnd && kMailChars[*FP]) ++FP;
}

bool TFountainParser::IsUrl() {
    static constexpr std::string_view kPrefixes[] = {"ftp:", "http:", "https:", "www."};
    if (FP >= FEnd) return false;
    const Byte b = *FP;
    if (b != 'f' && b != 'h' && b != 'w') return false;
    for (std::string_view prefix : kPrefixes) {
        if (static_cast<Byte>(prefix[0]) == b && BytesAt(FP, prefix)) {
            FP += prefix.size();
            return true;
        }
    }
    return false;
}

void TFountainParser::ScanUrl() {
    FToken = tokUrl;
    while (FP < FEnd && kUrlChars[*FP]) ++FP;
}

void TFountainParser::ScanReservedWord() {
    if (!AtEnd(FP)) (this->*FCharTable[*FP])();
    FToken = tokReserved;
}

void TFountainParser::ScanNull() {
    // A zero byte inside a row is an ordinary character.
    FToken = tokSymbol;
    ++FP;
}

void TFountainParser::ScanTab() {
    FToken = tokTab;
    ++FP;
}

void TFountainParser::ScanLineFeed() {
    FToken = tokEnd;
    if (Peek(FP) == '\n') ++FP;
}

void TFountainParser::ScanReturn() {
    FToken = tokEnd;
    if (Peek(FP) == '\r') ++FP;
    if (Peek(FP) == '\n') ++FP;
}

void TFountainParser::ScanComment() {
    FToken = tokComment;
    while (!AtEnd(FP)) ++FP;
}

void TFountainParser::ScanHex() {
    FToken = tokHex;
    while (IsHexDigit(Peek(FP))) ++FP;
}

void TFountainParser::TakeExponent() {
    // At 'E' or 'e': take it, then a sign followed by digits, or digits.
    ++FP;
    const Byte b = Peek(FP);
    if ((b == '+' || b == '-') && IsDigit(Peek(FP + 1))) FP += 1;
    while (IsDigit(Peek(FP))) ++FP;
}

void TFountainParser::ScanNumber() {
    FToken = tokInteger;
    while (IsDigit(Peek(FP))) ++FP;
    const Byte b = Peek(FP);
    if (b == '.') {
        FToken = tokFloat;
        const Byte after = Peek(FP + 1);
        if (IsDigit(after)) {
            ++FP;
            while (IsDigit(Peek(FP))) ++FP;
            if (Peek(FP) == 'E' || Peek(FP) == 'e') TakeExponent();
        } else if (after == 'E' || after == 'e') {
            ++FP;
            TakeExponent();
        }
        // otherwise the '.' is not part of the number
    } else if (b == 'E' || b == 'e') {
        FToken = tokFloat;
        TakeExponent();
    }
}

void TFountainParser::ScanWord() {
    FToken = tokWord;
    while (FP < FEnd && kWordChars[*FP]) ++FP;
}

// A lead byte that ends its row is a one-byte symbol of its own.
static bool TakeLoneLead(const unsigned char*& P, TTokenKind& Token) {
    if (!IsLeadByte(*P)) return false;
    Token = tokSymbol;
    ++P;
    return true;
}

void TFountainParser::ScanWideSymbol() {
    if (FP >= FEnd) return;
    const unsigned code = WideCode(FP);
    if (!code) {
        TakeLoneLead(FP, FToken);
        return;
    }
    const unsigned lead = code >> 8, trail = code & 0xFF;
    const bool wide = lead == 0x81 || (lead >= 0x84 && lead <= 0x87) || (lead == 0x83 && trail >= 0x97 && trail <= 0xF0) ||
                      (lead == 0x82 && ((trail >= 0x40 && trail <= 0x4E) || (trail >= 0x59 && trail <= 0x5F) ||
                                        (trail >= 0x7A && trail <= 0x80) || (trail >= 0x9B && trail <= 0x9E) || trail >= 0xF2));
    if (wide) {
        FToken = tokWideSymbol;
        FP += 2;
    }
}

void TFountainParser::ScanWide() {
    if (FP >= FEnd) return;
    const unsigned code = WideCode(FP);
    if (!code) {
        TakeLoneLead(FP, FToken);
        return;
    }
    if (IsWideDigitCode(code) && code >= 0x824F) {
        FToken = tokWideDigit;
        TakeWideRun(IsWideDigitCode);
    } else if (IsWideLetterCode(code)) {
        FToken = tokWideLetter;
        TakeWideRun(IsWideLetterCode);
    } else if (code >= 0x829F && code <= 0x82F1) {
        FToken = tokHiragana;
        TakeWideRun(IsHiraganaCode);
    } else if (code >= 0x8340 && code <= 0x8396) {
        FToken = tokKatakana;
        TakeWideRun(IsKatakanaCode);
    } else if ((code >= 0x8240 && code <= 0x82FF) || (code >= 0x8397 && code <= 0x83F0)) {
        FToken = tokWideSymbol;
        FP += 2;
    } else {
        // A lead byte with a second byte outside every range: one character of its own.
        FToken = tokSymbol;
        FP += 2;
    }
}

void TFountainParser::ScanKanji() {
    if (FP < FEnd && IsKanjiLead(*FP) && CharLen(FP) == 1) {  // a lead byte that ends its row
        FToken = tokSymbol;
        ++FP;
        return;
    }
    FToken = tokKanji;
    while (FP < FEnd && IsKanjiLead(*FP) && CharLen(FP) == 2) FP += 2;
}

void TFountainParser::ScanHalfKanaSymbol() {
    FToken = tokHalfKanaSymbol;
    if (FP < FEnd && *FP >= 0xA1 && *FP <= 0xA5) ++FP;
}

void TFountainParser::ScanHalfKana() {
    FToken = tokHalfKana;
    while (FP < FEnd && *FP >= 0xA6 && *FP <= 0xDF) ++FP;
}

void TFountainParser::ScanSymbol() {
    FToken = tokSymbol;
    if (!AtEnd(FP)) ++FP;
}

void TFountainParser::TakeQuoted(Byte Quote, TTokenKind Kind) {
    FToken = Kind;
    if (!FContinuing && Peek(FP) == Quote) ++FP;
    while (!AtEnd(FP)) {
        if (*FP == Quote) {
            if (Peek(FP + 1) == Quote) {  // a doubled quote belongs to the string
                FP += 2;
                continue;
            }
            ++FP;
            return;
        }
        FP += CharLen(FP);
    }
}

void TFountainParser::ScanSingleQuoted() { TakeQuoted('\'', tokSingleQuoted); }
void TFountainParser::ScanDoubleQuoted() { TakeQuoted('"', tokDoubleQuoted); }

void TFountainParser::CarriedTokenKind(TTokenKind& Kind) {
    if (IsReservedWord()) Kind = tokReserved;
}

TTokenKinds TFountainParser::ScanWrappedKinds() const {
    TTokenKinds kinds;
    kinds.set(tokComment).set(tokSingleQuoted).set(tokDoubleQuoted);
    return kinds;
}

TTokenKinds TFountainParser::LineEndKinds() const {
    TTokenKinds kinds;
    kinds.set(tokComment);
    return kinds;
}

// ---- the state at the start of the next row

void TFountainParser::NextRowData(int Row, const TRowAttributeStringList& Rows, TRowAttributeData& Data) {
    const bool wrapped = Data.RowEndKind == reWrapped;
    if (Data.CarryToken != 0 && LineEndKinds().test(Data.CarryToken)) {
        // The row lies inside a token that runs to the end of the line.
        if (!wrapped) Data.CarryToken = 0;
        Data.CarryLength = 0;
        return;
    }
    const std::string_view row = Rows.RowView(Row);
    const std::size_t len = row.size();
    if (row.find_first_not_of(' ') == std::string_view::npos) {
        // Nothing to scan: the state passes on. A cut token that this row finishes by its byte
        // count, or that would run past the end of the line, ends here.
        if (!wrapped || Data.CarryLength > 0) {
            Data.CarryToken = 0;
            Data.CarryLength = 0;
        }
        return;
    }
    std::string_view text = row;
    const bool joined = wrapped && Row + 1 < Rows.Count();
    if (joined) {
        // The next row is scanned too, so that a token cut by the wrap is scanned whole.
        FJoined.assign(row);
        FJoined.append(Rows.RowView(Row + 1));
        text = FJoined;
    }
    int savedBracket = Data.OpenBracket;
    int savedElement = Data.ModeState;
    TTokenKind lastKind = tokEnd;
    BeginRow(text, Data);
    FRowLimit = FBuffer + len;
    TTokenKind kind;
    while ((kind = NextToken()) != tokEnd) {
        lastKind = kind;
        Data.OpenBracket = FBracketIndex;
        if (kind == tokBracket) savedBracket = FTokenBracket;
        savedElement = FElementIndex;
        if (static_cast<std::size_t>(TokenPos() + TokenLength()) > len) break;
        Data.ModeState = FElementIndex;
        Data.LastTokenKind = FPrevToken;
    }
    Data.CarryLength = 0;
    Data.CarryToken = 0;
    const std::size_t pos = TokenPos();
    const std::size_t end = pos + TokenLength();
    if (kind != tokEnd && pos >= len) {
        // The loop stopped on a token that lies wholly in the next row.
        Data.OpenBracket = -1;
        return;
    }
    if (pos >= len || end <= len) return;
    // The last token starts in this row and ends in the next.
    const int carry = static_cast<int>(std::min<std::size_t>(end - len, 255));  // stored in 8 bits
    Data.ModeState = savedElement;
    if (lastKind == tokBracket) {
        if (Data.OpenBracket == -1) {
            // The bracket closed in the next row: it is still open at that row's start.
            Data.OpenBracket = savedBracket;
            if (FFountain && savedBracket >= 0 && savedBracket < FFountain->Brackets().Count() &&
                FFountain->Brackets().Items(savedBracket)->RightBracket().size() > end - len) {
                // The closing delimiter itself is cut by the wrap.
                Data.CarryToken = tokBracket;
                Data.CarryLength = carry;
            }
        }
        return;
    }
    TTokenKind carried = lastKind;
    CarriedTokenKind(carried);
    Data.CarryToken = carried;
    if (ScanWrappedKinds().test(carried)) return;
    if (end == text.size() && Row + 1 < Rows.Count() && Rows.RowEndKind(Row + 1) == reWrapped) return;
    Data.CarryLength = carry;
}

}  // namespace orvane
