// The Java, C++ and Delphi modes.
#include "modes/sourcemodes.h"

namespace orvane {

namespace {

constexpr bool IsDigit(unsigned char b) noexcept { return b >= '0' && b <= '9'; }
constexpr bool IsHexDigit(unsigned char b) noexcept {
    return IsDigit(b) || (b >= 'A' && b <= 'F') || (b >= 'a' && b <= 'f');
}

}  // namespace

std::string_view JavaTokenKindName(TTokenKind Kind) noexcept {
    return Kind == tokHexNumber ? "tokHexNumber" : BaseTokenKindName(Kind);
}

std::string_view CppTokenKindName(TTokenKind Kind) noexcept {
    return Kind == tokPreprocessor ? "tokPreprocessor" : JavaTokenKindName(Kind);
}

std::string_view DelphiTokenKindName(TTokenKind Kind) noexcept {
    switch (Kind) {
    case tokCharCode: return "tokCharCode";
    case tokHexCharCode: return "tokHexCharCode";
    case tokAsm: return "tokAsm";
    default: return BaseTokenKindName(Kind);
    }
}

// ---- TSourceFountain

TSourceFountain::~TSourceFountain() = default;

void TSourceFountain::NewColorSet() {
    TFountain::NewColorSet();
    for (auto* c : {&FAnk, &FComment, &FDBCS, &FInt, &FStr, &FSymbol}) *c = NewColor();
}

void TSourceFountain::AddWords(std::initializer_list<const char*> Words) {
    for (const char* w : Words) MutableReserveWordList().Add(w);
}

void TSourceFountain::AddExts(std::initializer_list<const char*> Exts) {
    for (const char* e : Exts) FileExtList().Add(e);
}

void TSourceFountain::AddBracket(std::string_view Left, std::string_view Right) {
    auto* item = Brackets().Add();
    item->SetLeftBracket(Left);
    item->SetRightBracket(Right);
}

void TSourceFountain::ForEachColor(const TColorVisitor& Visit) {
    TFountain::ForEachColor(Visit);
    Visit("Ank", *FAnk);
    Visit("Comment", *FComment);
    Visit("DBCS", *FDBCS);
    Visit("Int", *FInt);
    Visit("Str", *FStr);
    Visit("Symbol", *FSymbol);
}

void TSourceFountain::Assign(const TPersistent& Source) {
    auto* src = dynamic_cast<const TSourceFountain*>(&Source);
    if (!src) return TFountain::Assign(Source);
    if (src == this) return;
    auto& source = const_cast<TSourceFountain&>(*src);
    NotifyEventList().BeginUpdate();
    try {
        SetBrackets(source.Brackets());
        SetReserveWordList(source.ReserveWordList());
        SetFileExtList(source.FileExtList());
        SetReserve(source.Reserve());
        SetAnk(*src->FAnk);
        SetComment(*src->FComment);
        SetDBCS(*src->FDBCS);
        SetInt(*src->FInt);
        SetStr(*src->FStr);
        SetSymbol(*src->FSymbol);
        AssignOwnColors(*src);
    } catch (...) {
        NotifyEventList().EndUpdate();
        throw;
    }
    NotifyEventList().EndUpdate();
}

// ---- the three modes' defaults

void TJavaFountain::AddDefaultExts() { AddExts({".java", ".class"}); }
void TJavaFountain::AddDefaultBrackets() { AddBracket("/*", "*/"); }
void TJavaFountain::AddDefaultReservedWords() {
    AddWords({"abstract", "boolean", "break", "byte", "case", "catch", "char", "class", "const", "continue",
              "default", "do", "double", "else", "extends", "final", "finally", "float", "for", "goto", "if",
              "implements", "import", "instanceof", "int", "interface", "long", "native", "new", "package",
              "private", "protected", "public", "return", "short", "static", "super", "switch", "synchronized",
              "this", "throw", "throws", "transient", "try", "void", "volatile", "while"});
}
TFountain::TParserClass TJavaFountain::ParserClass() {
    return [](TFountain* F) -> std::unique_ptr<TFountainParser> { return std::make_unique<TJavaFountainParser>(F); };
}

TCppFountain::~TCppFountain() = default;
void TCppFountain::AddDefaultExts() { AddExts({".cpp", ".c", ".hpp", ".h"}); }
void TCppFountain::AddDefaultBrackets() { AddBracket("/*", "*/"); }
void TCppFountain::AddDefaultReservedWords() {
    AddWords({"asm", "auto", "break", "case", "catch", "char", "class", "const", "continue", "default", "delete",
              "do", "double", "else", "enum", "extern", "float", "for", "friend", "goto", "if", "inline", "int",
              "long", "new", "operator", "private", "protected", "public", "register", "return", "short",
              "signed", "sizeof", "static", "struct", "switch", "template", "this", "throw", "try", "typedef",
              "union", "unsigned", "virtual", "void", "volatile", "while"});
}
void TCppFountain::NewColorSet() {
    TSourceFountain::NewColorSet();
    FPreProcessor = NewColor();
}
void TCppFountain::ForEachColor(const TColorVisitor& Visit) {
    TSourceFountain::ForEachColor(Visit);
    Visit("PreProcessor", *FPreProcessor);
}
void TCppFountain::AssignOwnColors(const TSourceFountain& Source) {
    if (auto* src = dynamic_cast<const TCppFountain*>(&Source)) SetPreProcessor(*src->FPreProcessor);
}
TFountain::TParserClass TCppFountain::ParserClass() {
    return [](TFountain* F) -> std::unique_ptr<TFountainParser> { return std::make_unique<TCppFountainParser>(F); };
}

TDelphiFountain::~TDelphiFountain() = default;
void TDelphiFountain::AddDefaultExts() { AddExts({".pas", ".dpr", ".inc"}); }
void TDelphiFountain::AddDefaultBrackets() {
    AddBracket("{", "}");
    AddBracket("(*", "*)");
}
void TDelphiFountain::AddDefaultReservedWords() {
    AddWords({"absolute", "abstract", "and", "array", "as", "asm", "assembler", "automated", "begin", "case",
              "cdecl", "class", "const", "constructor", "default", "destructor", "dispid", "dispinterface", "div",
              "do", "downto", "dynamic", "else", "end", "except", "export", "exports", "external", "far", "file",
              "finalization", "finally", "for", "forward", "function", "goto", "if", "implementation", "in",
              "inherited", "initialization", "inline", "interface", "is", "label", "library", "message", "mod",
              "near", "nil", "nodefault", "not", "object", "of", "or", "out", "overload", "override", "packed",
              "pascal", "private", "procedure", "program", "property", "protected", "public", "published", "raise",
              "readonly", "record", "register", "repeat", "resident", "resourcestring", "safecall", "set", "shl",
              "shr", "stdcall", "stored", "string", "then", "threadvar", "to", "try", "type", "unit", "until",
              "uses", "var", "virtual", "while", "with", "writeonly", "xor"});
}
void TDelphiFountain::NewColorSet() {
    TSourceFountain::NewColorSet();
    FAsmBlock = NewColor();
}
void TDelphiFountain::ForEachColor(const TColorVisitor& Visit) {
    TSourceFountain::ForEachColor(Visit);
    Visit("AsmBlock", *FAsmBlock);
}
void TDelphiFountain::AssignOwnColors(const TSourceFountain& Source) {
    if (auto* src = dynamic_cast<const TDelphiFountain*>(&Source)) SetAsmBlock(*src->FAsmBlock);
}
TFountain::TParserClass TDelphiFountain::ParserClass() {
    return [](TFountain* F) -> std::unique_ptr<TFountainParser> { return std::make_unique<TDelphiFountainParser>(F); };
}

// ---- TSourceParser

TSourceParser::TSourceParser(TFountain* Fountain)
    : TFountainParser(Fountain), FSourceFountain(dynamic_cast<TSourceFountain*>(Fountain)) {}

bool TSourceParser::WordIs(const Byte* Start, std::string_view Word) const noexcept {
    if (static_cast<std::size_t>(FP - Start) != Word.size()) return false;
    for (std::size_t i = 0; i < Word.size(); ++i)
        if (UpperByte(Start[i]) != UpperByte(static_cast<Byte>(Word[i]))) return false;
    return true;
}

void TSourceParser::ScanSlash() {
    if (Peek(FP + 1) == '/') ScanComment();
    else ScanSymbol();
}

TFountainColor* TSourceParser::ColorForToken() {
    TSourceFountain* f = FSourceFountain;
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
    default: return ColorForModeToken();
    }
}

// ---- Java

void TJavaFountainParser::BuildScanTables() {
    TSourceParser::BuildScanTables();
    FCharTable['0'] = static_cast<TScanProc>(&TJavaFountainParser::ScanZero);
    FCharTable['\''] = static_cast<TScanProc>(&TJavaFountainParser::ScanSingleQuoted);
    FCharTable['"'] = static_cast<TScanProc>(&TJavaFountainParser::ScanDoubleQuoted);
    FCharTable['/'] = static_cast<TScanProc>(&TJavaFountainParser::ScanSlash);
    FContinueTable[tokHexNumber] = static_cast<TScanProc>(&TJavaFountainParser::ScanHexNumber);
}

void TJavaFountainParser::ScanZero() {
    ++FP;
    const Byte b = Peek(FP);
    if (b == 'x' || b == 'X') {
        ++FP;
        ScanHexNumber();
    } else {
        ScanNumber();  // the token keeps its '0'
    }
}

void TJavaFountainParser::ScanHexNumber() {
    FToken = tokHexNumber;
    while (IsHexDigit(Peek(FP))) ++FP;
}

TFountainColor* TJavaFountainParser::ColorForModeToken() {
    switch (FToken) {
    case tokSingleQuoted: case tokDoubleQuoted: return &SourceFountain()->Str();
    case tokHexNumber: return &SourceFountain()->Int();
    default: return nullptr;
    }
}

// ---- C++

void TCppFountainParser::BuildScanTables() {
    TJavaFountainParser::BuildScanTables();
    FCharTable[';'] = static_cast<TScanProc>(&TCppFountainParser::ScanSemicolon);
    FCharTable['#'] = static_cast<TScanProc>(&TCppFountainParser::ScanPreprocessor);
    FContinueTable[tokPreprocessor] = static_cast<TScanProc>(&TCppFountainParser::ScanPreprocessor);
}

void TCppFountainParser::ScanWord() {
    const Byte* start = FP;
    TJavaFountainParser::ScanWord();
    if (FContinuing) return;  // the rest of a cut word: its start was looked at before
    if (FElementIndex == kInProperty) {
        if (WordIs(start, "index") || WordIs(start, "read") || WordIs(start, "write"))
            FToken = tokReserved;
        else if (WordIs(start, "private") || WordIs(start, "protected") || WordIs(start, "public") ||
                 WordIs(start, "published"))
            FElementIndex = kInCode;
    } else if (WordIs(start, "property")) {
        FElementIndex = kInProperty;
    }
}

void TCppFountainParser::ScanSemicolon() {
    if (FElementIndex == kInProperty) FElementIndex = kInCode;
    ScanSymbol();
}

void TCppFountainParser::ScanPreprocessor() {
    FToken = tokPreprocessor;
    while (!AtEnd(FP)) ++FP;
}

TTokenKinds TCppFountainParser::ScanWrappedKinds() const {
    return TJavaFountainParser::ScanWrappedKinds().set(tokPreprocessor);
}

TTokenKinds TCppFountainParser::LineEndKinds() const {
    return TJavaFountainParser::LineEndKinds().set(tokPreprocessor);
}

TCppFountainParser::TCppFountainParser(TFountain* Fountain)
    : TJavaFountainParser(Fountain), FCppFountain(dynamic_cast<TCppFountain*>(Fountain)) {}

TFountainColor* TCppFountainParser::ColorForModeToken() {
    if (FToken == tokPreprocessor) return FCppFountain ? &FCppFountain->PreProcessor() : nullptr;
    return TJavaFountainParser::ColorForModeToken();
}

// ---- Delphi

TDelphiFountainParser::TDelphiFountainParser(TFountain* Fountain)
    : TSourceParser(Fountain), FDelphiFountain(dynamic_cast<TDelphiFountain*>(Fountain)) {}

void TDelphiFountainParser::BuildScanTables() {
    TSourceParser::BuildScanTables();
    FCharTable['#'] = static_cast<TScanProc>(&TDelphiFountainParser::ScanSharp);
    FCharTable['$'] = static_cast<TScanProc>(&TDelphiFountainParser::ScanDollar);
    FCharTable[';'] = static_cast<TScanProc>(&TDelphiFountainParser::ScanSemicolon);
    FCharTable['\''] = static_cast<TScanProc>(&TDelphiFountainParser::ScanSingleQuoted);
    FCharTable['/'] = static_cast<TScanProc>(&TDelphiFountainParser::ScanSlash);
    FContinueTable[tokCharCode] = static_cast<TScanProc>(&TDelphiFountainParser::ScanCharCode);
    FContinueTable[tokHexCharCode] = static_cast<TScanProc>(&TDelphiFountainParser::ScanHexCharCode);
    FContinueTable[tokAsm] = static_cast<TScanProc>(&TDelphiFountainParser::ScanWord);
}

bool TDelphiFountainParser::IsReservedWord() { return FToken != tokAsm && TSourceParser::IsReservedWord(); }

void TDelphiFountainParser::ScanWord() {
    const Byte* start = FP;
    TSourceParser::ScanWord();
    if (FContinuing) {  // the rest of a cut word: its start was looked at before
        if (InAsm()) FToken = tokAsm;
        return;
    }
    switch (FElementIndex) {
    case kInAsm:
        if (WordIs(start, "end")) FElementIndex = kInCode;
        else FToken = tokAsm;
        break;
    case kInProperty:
        if (WordIs(start, "index") || WordIs(start, "read") || WordIs(start, "write"))
            FToken = tokReserved;
        else if (WordIs(start, "end") || WordIs(start, "function") || WordIs(start, "private") ||
                 WordIs(start, "procedure") || WordIs(start, "protected") || WordIs(start, "public") ||
                 WordIs(start, "published"))
            FElementIndex = kInCode;
        break;
    default:
        if (WordIs(start, "asm")) FElementIndex = kInAsm;
        else if (WordIs(start, "property")) FElementIndex = kInProperty;
        break;
    }
}

void TDelphiFountainParser::ScanNumber() {
    TSourceParser::ScanNumber();
    if (InAsm()) FToken = tokAsm;
}

void TDelphiFountainParser::ScanSymbol() {
    TSourceParser::ScanSymbol();
    if (InAsm()) FToken = tokAsm;
}

void TDelphiFountainParser::ScanSharp() {
    ++FP;
    if (Peek(FP) == '$') {
        ++FP;
        ScanHexCharCode();
    } else {
        ScanCharCode();
    }
}

void TDelphiFountainParser::ScanHexCharCode() {
    FToken = tokHexCharCode;
    while (IsHexDigit(Peek(FP))) ++FP;
}

void TDelphiFountainParser::ScanCharCode() {
    FToken = tokCharCode;
    while (IsDigit(Peek(FP))) ++FP;
}

void TDelphiFountainParser::ScanDollar() {
    ++FP;
    ScanHex();
    if (InAsm()) FToken = tokAsm;  // "$FF" in an asm block is part of the block
}

void TDelphiFountainParser::ScanSemicolon() {
    if (FElementIndex == kInProperty) FElementIndex = kInCode;
    ScanSymbol();
}

TFountainColor* TDelphiFountainParser::ColorForModeToken() {
    TSourceFountain* f = SourceFountain();
    switch (FToken) {
    case tokSingleQuoted: case tokCharCode: case tokHexCharCode: return &f->Str();
    case tokAsm: return FDelphiFountain ? &FDelphiFountain->AsmBlock() : nullptr;
    default: return nullptr;
    }
}

}  // namespace orvane
