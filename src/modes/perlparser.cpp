// The scanner of the Perl mode and the row-to-row state it computes.
#include "modes/perlfountain.h"

#include <algorithm>
#include <cstring>

namespace orvane {

using P = TPerlFountainParser;

namespace {

using Byte = unsigned char;

constexpr bool IsDigit(Byte b) noexcept { return b >= '0' && b <= '9'; }
constexpr bool IsHexDigit(Byte b) noexcept { return IsDigit(b) || (b >= 'A' && b <= 'F') || (b >= 'a' && b <= 'f'); }
constexpr bool IsAlnum(Byte b) noexcept { return IsDigit(b) || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); }
constexpr bool IsBlank(Byte b) noexcept { return b == ' ' || b == '\t'; }

// Bytes that may delimit a quote-like operator's string (never a blank, a letter or a digit).
constexpr TByteSet kQuoteDelimiters = TByteSet("`").Range('!', '/').Range(':', '@').Range('[', '^').Range('{', '~');
// Punctuation that makes a two-byte special variable after '$' ("$_" and "$$" are names).
constexpr TByteSet kSpecialVarChars = TByteSet("`|~").Range('!', '#').Range('%', '/').Range(':', '@').Range('[', '^');
// Letters and quotes that may follow "<<" to open a here-document; a digit or a blank there makes
// "<<" a shift.
constexpr TByteSet kHereDocStarts = TByteSet("\"'`~_").Range('A', 'Z').Range('a', 'z');

constexpr bool IsClosingBracket(Byte b) noexcept { return b == ')' || b == '>' || b == ']' || b == '}'; }

// The byte that closes a string opened by b.
constexpr Byte PairedDelimiter(Byte b) noexcept {
    switch (b) {
    case '(': return ')';
    case '<': return '>';
    case '[': return ']';
    case '{': return '}';
    default: return b;
    }
}

// The opening bracket whose partner is the closing bracket b.
constexpr Byte OpeningBracket(Byte b) noexcept {
    switch (b) {
    case ')': return '(';
    case '>': return '<';
    case ']': return '[';
    case '}': return '{';
    default: return 0;
    }
}

constexpr std::string_view kPodCommands[] = {"head1", "head2", "over", "item", "back", "for", "begin", "end", "pod"};

constexpr std::pair<TTokenKind, std::string_view> kPerlKindNames[] = {
    {P::tokTagOpen, "tokTagOpen"},       {P::tokTagClose, "tokTagClose"},
    {P::tokTagName, "tokTagName"},       {P::tokAttrName, "tokAttrName"},
    {P::tokAttrEquals, "tokAttrEquals"}, {P::tokAttrValue, "tokAttrValue"},
    {P::tokEntity, "tokEntity"},         {P::tokScalarVar, "tokScalarVar"},
    {P::tokArrayVar, "tokArrayVar"},     {P::tokHashVar, "tokHashVar"},
    {P::tokBackQuoted, "tokBackQuoted"}, {P::tokEscape, "tokEscape"},
    {P::tokLiteralQuoted, "tokLiteralQuoted"}, {P::tokPattern, "tokPattern"},
    {P::tokSubstPattern, "tokSubstPattern"},   {P::tokSubstReplacement, "tokSubstReplacement"},
    {P::tokTransFrom, "tokTransFrom"},   {P::tokTransTo, "tokTransTo"},
    {P::tokHereDoc, "tokHereDoc"},
};

// The row ends a here-document whose terminator is Terminator ("~" first: it may be indented).
bool IsTerminatorRow(std::string_view Row, std::string_view Terminator) noexcept {
    if (!Terminator.empty() && Terminator[0] == '~') {
        Terminator.remove_prefix(1);
        while (!Row.empty() && IsBlank(static_cast<Byte>(Row[0]))) Row.remove_prefix(1);
    }
    return Row == Terminator;
}

}  // namespace

std::string_view PerlTokenKindName(TTokenKind Kind) noexcept {
    for (const auto& [kind, name] : kPerlKindNames)
        if (kind == Kind) return name;
    return BaseTokenKindName(Kind);
}

TPerlFountainParser::TPerlFountainParser(TFountain* Fountain)
    : TFountainParser(Fountain), FPerlFountain(dynamic_cast<TPerlFountain*>(Fountain)) {}

void TPerlFountainParser::BuildScanTables() {
    TFountainParser::BuildScanTables();
    auto set = [this](Byte b, void (P::*Proc)()) { FCharTable[b] = static_cast<TScanProc>(Proc); };
    set('"', &P::ScanDoubleQuoted);
    set('#', &P::ScanComment);
    set('$', &P::ScanScalarVar);
    set('%', &P::ScanHashVar);
    set('&', &P::ScanEntity);
    set('\'', &P::ScanSingleQuoted);
    set('/', &P::ScanSlash);
    set('<', &P::ScanLessThan);
    set('=', &P::ScanEquals);
    set('>', &P::ScanTagClose);
    set('@', &P::ScanArrayVar);
    set('\\', &P::ScanEscape);
    set('`', &P::ScanBackQuoted);
    set('m', &P::ScanMatch);
    set('q', &P::ScanQ);
    set('s', &P::ScanSubstitute);
    set('t', &P::ScanTr);
    set('y', &P::ScanY);
    FContinueTable[tokTagName] = static_cast<TScanProc>(&P::ScanTagName);
    FContinueTable[tokAttrName] = static_cast<TScanProc>(&P::ScanAttrName);
    FContinueTable[tokAttrValue] = static_cast<TScanProc>(&P::ScanAttrValue);
    FContinueTable[tokEntity] = static_cast<TScanProc>(&P::ScanEntity);
    FContinueTable[tokBackQuoted] = static_cast<TScanProc>(&P::ScanBackQuoted);
}

// ---- scanning a row

void TPerlFountainParser::BeginRow(std::string_view Text, const TRowAttributeData& Data) {
    TFountainParser::BeginRow(Text, Data);
    FLineEndKnown = false;
    FHereOpened = false;
    FNamelessDollarsEnd = nullptr;
}

TTokenKind TPerlFountainParser::NextToken() {
    FHereOpened = false;
    TFountainParser::NextToken();
    ClassifyPerl();
    if (FToken != tokEnd) FPrevToken = FToken;
    return FToken;
}

void TPerlFountainParser::ClassifyPerl() {
    if (FToken == tokEnd) return;
    if (InQuoteLike()) {
        // Every token inside a string is coloured as the string.
        if (!IsQuoteKind(FToken) && IsQuoteKind(FPrevToken)) FToken = FPrevToken;
    } else if (IsInHtmlTag()) {
        ClassifyInTag();
    } else if (InHereDoc()) {
        if (FToken != tokTagClose && FToken != tokEntity) FToken = tokHereDoc;
    } else if (InPod()) {
        FToken = tokComment;
    }
}

void TPerlFountainParser::ClassifyInTag() noexcept {
    switch (FPrevToken) {
    case tokTagOpen:
        if (FToken == tokWord) FToken = tokTagName;
        break;
    case tokTagName: case tokSingleQuoted: case tokDoubleQuoted: case tokAttrValue:
        FToken = tokAttrName;
        break;
    case tokAttrName:
        if (FToken != tokAttrEquals) FToken = tokAttrName;
        break;
    default: break;
    }
}

void TPerlFountainParser::ScanNormalToken() {
    if (FBracketIndex == -1 && IsBracket()) ScanBracket();
    else if (IsInHtmlTag() && FPrevToken == tokAttrEquals) ScanAttrValue();
    else (this->*FCharTable[*FP])();
}

bool TPerlFountainParser::IsReservedWord() { return InCode() && TFountainParser::IsReservedWord(); }

// ---- variables, words and numbers

void TPerlFountainParser::TakeName() noexcept {
    if (IsDigit(Peek(FP))) {
        while (IsDigit(Peek(FP))) ++FP;
    } else {
        while (FP < FEnd && kWordChars[*FP]) ++FP;
    }
}

void TPerlFountainParser::ScanScalarVar() {
    if (!InCode()) return ScanSymbol();
    const Byte next = Peek(FP + 1);
    if (next == '$' || kWordChars[next]) {
        FToken = tokScalarVar;
        // A run of '$' known to end without a name gives "$$" at once, keeping long runs linear.
        const Byte* p = FP + 1;
        if (p >= FNamelessDollarsEnd) {
            while (p < FEnd && *p == '$') ++p;
            if (p < FEnd && kWordChars[*p]) {
                FP = p;
                TakeName();
                return;
            }
            FNamelessDollarsEnd = p;
        }
        FP += 2;  // "$$" before a byte that cannot start a name: the process id
    } else if (kSpecialVarChars[next]) {
        FToken = tokScalarVar;
        FP += 2;
    } else {
        ScanSymbol();
    }
}

void TPerlFountainParser::ScanArrayVar() {
    if (!InCode() || !kWordChars[Peek(FP + 1)]) return ScanSymbol();
    FToken = tokArrayVar;
    ++FP;
    TakeName();
}

void TPerlFountainParser::ScanHashVar() {
    if (!InCode() || !kWordChars[Peek(FP + 1)]) return ScanSymbol();
    FToken = tokHashVar;
    ++FP;
    TakeName();
}

void TPerlFountainParser::ScanEntity() {
    if (InHereDoc() && HereHtml()) {
        FToken = tokEntity;
        if (!FContinuing && Peek(FP) == '&') ++FP;
        while (FP < FEnd && (IsAlnum(*FP) || *FP == '#')) ++FP;
        if (Peek(FP) == ';') ++FP;
    } else if (InCode() && kWordChars[Peek(FP + 1)]) {
        // A sub called as "&name" (or "&name'" in the old package syntax).
        FToken = tokWord;
        ++FP;
        while (FP < FEnd && kWordChars[*FP]) ++FP;
        if (Peek(FP) == '\'') ++FP;
    } else {
        ScanSymbol();
    }
}

void TPerlFountainParser::ScanEscape() {
    const Byte next = Peek(FP + 1);
    // A backslash that delimits the open string, or may open its second part, is no escape.
    if (FElementIndex == '\\' || FElementIndex == msAwaitSecondPart || next < 0x21 || next > 0x7E) return ScanSymbol();
    FToken = tokEscape;
    FP += 2;
    if (next == '0') {
        while (Peek(FP) >= '0' && Peek(FP) <= '7') ++FP;
    } else if (next == 'x') {
        while (IsHexDigit(Peek(FP))) ++FP;
    }
}

void TPerlFountainParser::ScanNumber() {
    if (Peek(FP) == '0' && (Peek(FP + 1) == 'x' || Peek(FP + 1) == 'X') && IsHexDigit(Peek(FP + 2))) {
        FToken = tokHex;
        FP += 2;
        while (IsHexDigit(Peek(FP))) ++FP;
        return;
    }
    TFountainParser::ScanNumber();
}

void TPerlFountainParser::ScanComment() {
    if (InCode()) TFountainParser::ScanComment();
    else ScanSymbol();
}

// ---- strings

void TPerlFountainParser::TakeToQuote(Byte Quote, TTokenKind Kind) noexcept {
    FToken = Kind;
    if (!FContinuing && Peek(FP) == Quote) ++FP;
    while (!AtEnd(FP)) {
        if (*FP == Quote) {
            ++FP;
            return;
        }
        FP += CharLen(FP);
    }
}

void TPerlFountainParser::ScanSingleQuoted() {
    if (InCode() || IsInHtmlTag()) TakeToQuote('\'', tokSingleQuoted);
    else ScanSymbol();
}

void TPerlFountainParser::ScanBackQuoted() {
    if (InCode()) TakeToQuote('`', tokBackQuoted);
    else ScanSymbol();
}

void TPerlFountainParser::ScanDoubleQuoted() {
    if (InCode() && !FContinuing) {
        // The quote alone; the string's content follows token by token until the closing quote
        // or the end of the line.
        FToken = tokDoubleQuoted;
        ++FP;
        FElementIndex = '"';
        FNestLevel = 1;
    } else if (IsInHtmlTag()) {
        TakeToQuote('"', tokDoubleQuoted);
    } else {
        ScanSymbol();
    }
}

// ---- quote-like operators

bool TPerlFountainParser::OpensQuote(const Byte* p) const noexcept {
    const Byte b = Peek(p);
    if (!kQuoteDelimiters[b]) return false;
    // "{s}", "(q)", "y=>": a hash key or a word quoted by "=>", never an operator.
    if (IsClosingBracket(b)) return false;
    return !(b == '=' && Peek(p + 1) == '>');
}

void TPerlFountainParser::OpenQuote(int Letters, TTokenKind Kind) noexcept {
    FToken = Kind;
    FP += Letters;
    FElementIndex = PairedDelimiter(*FP);
    FNestLevel = 1;
    ++FP;
}

void TPerlFountainParser::ScanQ() {
    if (InCode()) {
        const Byte second = Peek(FP + 1);
        if (OpensQuote(FP + 1)) return OpenQuote(1, tokLiteralQuoted);
        if ((second == 'q' || second == 'w' || second == 'x') && OpensQuote(FP + 2)) return OpenQuote(2, tokLiteralQuoted);
        if (second == 'r' && OpensQuote(FP + 2)) return OpenQuote(2, tokPattern);
    }
    ScanWord();
}

void TPerlFountainParser::ScanMatch() {
    if (InCode() && OpensQuote(FP + 1)) return OpenQuote(1, tokPattern);
    ScanWord();
}

void TPerlFountainParser::ScanSubstitute() {
    if (InCode() && OpensQuote(FP + 1)) return OpenQuote(1, tokSubstPattern);
    ScanWord();
}

void TPerlFountainParser::ScanTr() {
    if (InCode() && Peek(FP + 1) == 'r' && OpensQuote(FP + 2)) return OpenQuote(2, tokTransFrom);
    ScanWord();
}

void TPerlFountainParser::ScanY() {
    if (InCode() && OpensQuote(FP + 1)) return OpenQuote(1, tokTransFrom);
    ScanWord();
}

void TPerlFountainParser::ScanSlash() {
    if (InCode()) {
        // "a/b" starts a pattern; "a / b", and a '/' that ends the line, divide.
        const Byte next = Peek(FP + 1);
        if (AtEnd(FP + 1) || IsBlank(next)) return ScanSymbol();
        FToken = tokPattern;
        ++FP;
        FElementIndex = '/';
        FNestLevel = 1;
    } else if (IsInHtmlTag() && FPrevToken == tokTagOpen) {
        FToken = tokTagName;
        ++FP;
        while (FP < FEnd && IsAlnum(*FP)) ++FP;
    } else {
        ScanSymbol();
    }
}

void TPerlFountainParser::RaiseNesting() noexcept {
    if (FNestLevel < 255) ++FNestLevel;  // the row state keeps eight bits
}

void TPerlFountainParser::TakeModifiers(std::string_view Letters) noexcept {
    while (FP < FEnd && Letters.find(static_cast<char>(*FP)) != std::string_view::npos) ++FP;
}

void TPerlFountainParser::CloseQuotePart(Byte Delimiter) {
    ++FP;
    switch (FPrevToken) {
    case tokSubstPattern:
    case tokTransFrom:
        // The first part ends; a bracketed one awaits its second part's own opener.
        FToken = FPrevToken == tokSubstPattern ? tokSubstReplacement : tokTransTo;
        FElementIndex = IsClosingBracket(Delimiter) ? msAwaitSecondPart : Delimiter;
        FNestLevel = 1;
        break;
    case tokSubstReplacement:
        FToken = tokSubstReplacement;
        FElementIndex = msCode;
        FNestLevel = 0;
        TakeModifiers("egimosx");
        break;
    case tokTransTo:
        FToken = tokTransTo;
        FElementIndex = msCode;
        FNestLevel = 0;
        TakeModifiers("cds");
        break;
    default:
        FToken = FPrevToken != tokEnd ? FPrevToken : tokSymbol;
        FElementIndex = msCode;
        FNestLevel = 0;
        if (FToken == tokPattern) TakeModifiers("imosx");
        break;
    }
}

void TPerlFountainParser::ScanSymbol() {
    if (AtEnd(FP)) return TFountainParser::ScanSymbol();
    const Byte b = *FP;
    if (FElementIndex == msAwaitSecondPart) {
        if (kQuoteDelimiters[b] && !IsClosingBracket(b)) {
            // The opener of the second part of s{..}{..} or tr[..][..].
            FToken = FPrevToken != tokEnd ? FPrevToken : tokSymbol;
            FElementIndex = PairedDelimiter(b);
            FNestLevel = 1;
            ++FP;
            return;
        }
    } else if (FElementIndex >= '!') {
        const Byte delimiter = static_cast<Byte>(FElementIndex);
        if (b == delimiter) {
            if (FNestLevel <= 1) return CloseQuotePart(delimiter);
            --FNestLevel;
        } else if (const Byte opener = OpeningBracket(delimiter); opener && b == opener) {
            RaiseNesting();
        }
    }
    TFountainParser::ScanSymbol();
}

// ---- POD, here-documents and the HTML inside them

void TPerlFountainParser::ScanEquals() {
    if (IsInHtmlTag() && FPrevToken == tokAttrName) {
        FToken = tokAttrEquals;
        ++FP;
        return;
    }
    // Only an '=' that starts a line can start or end POD.
    if (FP != FBuffer || FPrevRowAttr == reWrapped || !(InCode() || InPod())) return ScanSymbol();
    const Byte* start = FP;
    ++FP;
    if (InCode()) {
        for (std::string_view command : kPodCommands) {
            if (MatchWord(command)) {
                FToken = tokComment;
                FElementIndex = msPod;
                return;
            }
        }
    } else if (MatchWord("cut")) {
        // The "=cut" row is the last of the POD block, a comment as a whole.
        FToken = tokComment;
        FElementIndex = msCode;
        while (!AtEnd(FP)) ++FP;
        return;
    }
    FP = start;
    ScanSymbol();
}

const TPerlFountainParser::Byte* TPerlFountainParser::LineEnd() noexcept {
    if (!FLineEndKnown) {
        FLineEndKnown = true;
        const Byte* e = FBuffer;
        while (e < FEnd && *e != '\r' && *e != '\n') ++e;
        FLineEnd = e;
        while (e > FBuffer && IsBlank(e[-1])) --e;
        FSemicolon = (e > FBuffer && e[-1] == ';') ? e - 1 : nullptr;
    }
    return FLineEnd;
}

const TPerlFountainParser::Byte* TPerlFountainParser::EndingSemicolon() noexcept {
    LineEnd();
    return FSemicolon;
}

bool TPerlFountainParser::HereTerminator(const Byte* p, const Byte* Limit, std::string& Terminator) const {
    Terminator.clear();
    if (p < Limit && *p == '~') {  // an indented here-document
        Terminator = '~';
        ++p;
    }
    const Byte* word = p;
    const Byte* wordEnd = nullptr;
    if (p < Limit && (*p == '"' || *p == '\'' || *p == '`')) {
        // A quoted terminator runs to the same quote, whatever it holds.
        const std::size_t room = std::min(static_cast<std::size_t>(Limit - (p + 1)), kMaxTerminator + 1);
        if (const void* close = std::memchr(p + 1, *p, room)) {
            word = p + 1;
            wordEnd = static_cast<const Byte*>(close);
        } else {
            while (word < Limit && (*word == '"' || *word == '\'' || *word == '`')) ++word;
        }
    }
    if (!wordEnd) {
        wordEnd = word;
        while (wordEnd < Limit && kWordChars[*wordEnd] && static_cast<std::size_t>(wordEnd - word) <= kMaxTerminator)
            ++wordEnd;
    }
    if (static_cast<std::size_t>(wordEnd - word) > kMaxTerminator) return false;
    Terminator.append(reinterpret_cast<const char*>(word), static_cast<std::size_t>(wordEnd - word));
    return true;
}

void TPerlFountainParser::ScanLessThan() {
    if (InCode()) {
        // "<<EOT;" (the line ending in ';') opens a here-document that starts on the next line.
        if (Peek(FP + 1) == '<' && kHereDocStarts[Peek(FP + 2)]) {
            const Byte* semicolon = EndingSemicolon();
            if (semicolon && semicolon > FP + 1 && HereTerminator(FP + 2, semicolon, FDataStr)) {
                FToken = tokHereDoc;
                FP = LineEnd();
                FElementIndex = msHereDoc;
                FNestLevel = 0;
                FHereOpened = true;
                return;
            }
        }
    } else if (InHereDoc() && HereHtml()) {
        FToken = tokTagOpen;
        ++FP;
        FNestLevel = 1;
        return;
    }
    ScanSymbol();
}

void TPerlFountainParser::ScanTagClose() {
    if (!IsInHtmlTag()) return ScanSymbol();
    FToken = tokTagClose;
    ++FP;
    FNestLevel = 0;
}

void TPerlFountainParser::ScanTagName() {
    ScanWord();
    FToken = tokTagName;
}

void TPerlFountainParser::ScanAttrName() {
    ScanWord();
    FToken = tokAttrName;
}

void TPerlFountainParser::ScanAttrValue() {
    const Byte b = Peek(FP);
    if (b == '"') return ScanDoubleQuoted();
    if (b == '\'') return ScanSingleQuoted();
    FToken = tokAttrValue;
    while (!AtEnd(FP) && *FP != '\t' && *FP != ' ' && *FP != '>') FP += CharLen(FP);
}

// ---- colours

TFountainColor* TPerlFountainParser::ColorForToken() {
    TPerlFountain* f = FPerlFountain;
    if (!f) return nullptr;
    if (IsReservedWord()) return &f->Reserve();
    switch (FToken) {
    case tokSymbol: return &f->Symbol();
    case tokInteger: case tokFloat: case tokHex: return &f->Int();
    case tokBracket:
        if (FTokenBracket >= 0 && FTokenBracket < f->Brackets().Count())
            return &f->Brackets().Items(FTokenBracket)->ItemColor();
        return nullptr;
    case tokComment: return &f->Comment();
    case tokReserved: return &f->Reserve();
    case tokWord: return &f->Ank();
    case tokWideSymbol: case tokWideDigit: case tokWideLetter: case tokHiragana: case tokKatakana:
    case tokKanji: case tokHalfKanaSymbol: case tokHalfKana:
        return &f->DBCS();
    case tokSingleQuoted: return &f->SingleQuotation();
    case tokDoubleQuoted: return &f->DoubleQuotation();
    case tokTagOpen: case tokTagClose: case tokAttrEquals: return &f->TagColor();
    case tokTagName: return &f->TagElement();
    case tokAttrName: return &f->TagAttribute();
    case tokAttrValue: return &f->TagAttributeValue();
    case tokEntity: return &f->Ampersand();
    case tokScalarVar: case tokArrayVar: case tokHashVar: return &f->PerlVar();
    case tokBackQuoted: return &f->BackQuotation();
    case tokLiteralQuoted: return &f->LiteralQuotation();
    case tokPattern: case tokSubstPattern: case tokSubstReplacement: case tokTransFrom: case tokTransTo:
        return &f->Pattern();
    case tokHereDoc: return &f->Here();
    default: return nullptr;
    }
}

// ---- the state at the start of the next row

TTokenKinds TPerlFountainParser::ScanWrappedKinds() const {
    TTokenKinds kinds;
    kinds.set(tokComment).set(tokSingleQuoted).set(tokBackQuoted);
    if (IsInHtmlTag()) kinds.set(tokDoubleQuoted);  // a quoted attribute value is one token
    return kinds;
}

void TPerlFountainParser::NextRowData(int Row, const TRowAttributeStringList& Rows, TRowAttributeData& Data) {
    const bool wholeLine = Data.PrevRowEndKind != reWrapped && Data.RowEndKind != reWrapped;
    if (Data.ModeState == msHereDoc && wholeLine && IsTerminatorRow(Rows.RowView(Row), Data.CarryText)) {
        // The terminator row, still here-document text itself, ends it.
        Data.ModeState = msCode;
        Data.ModeCounter = 0;
        Data.CarryText.clear();
        Data.CarryToken = 0;
        Data.CarryLength = 0;
        return;
    }
    ScanRowState(Row, Rows, Data);
    if (Data.RowEndKind != reWrapped && Data.ModeState == '"' && Data.LastTokenKind == tokDoubleQuoted) {
        // A double-quoted string ends with its line.
        Data.ModeState = msCode;
        Data.ModeCounter = 0;
    }
}

void TPerlFountainParser::ScanRowState(int Row, const TRowAttributeStringList& Rows, TRowAttributeData& Data) {
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
        if (!wrapped || Data.CarryLength > 0) {
            Data.CarryToken = 0;
            Data.CarryLength = 0;
        }
        return;
    }
    std::string_view text = row;
    if (wrapped && Row + 1 < Rows.Count()) {
        // The next row is scanned too, so that a token cut by the wrap is scanned whole.
        FJoinedRows.assign(row);
        FJoinedRows.append(Rows.RowView(Row + 1));
        text = FJoinedRows;
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
        if (static_cast<std::size_t>(TokenPos()) < len) {
            // The nesting and a here-document opened by every token that starts in this row.
            Data.ModeCounter = FNestLevel;
            if (FHereOpened) Data.CarryText = FDataStr;
        }
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
            Data.OpenBracket = savedBracket;
            if (FFountain && savedBracket >= 0 && savedBracket < FFountain->Brackets().Count() &&
                FFountain->Brackets().Items(savedBracket)->RightBracket().size() > end - len) {
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
