// The Java, C++ and Delphi modes: reserved words, block comments as brackets, "//" line
// comments, strings, numbers; C++ preprocessor lines and Delphi character codes and asm blocks.
// C++ and Delphi note a property declaration in ModeState (1), Delphi an asm block (2).
#pragma once

#include "modes/fountain.h"
#include "modes/parser.h"

#include <memory>
#include <string_view>

namespace orvane {

inline constexpr TTokenKind tokHexNumber = 50;     // Java, C++: "0x" and hexadecimal digits
inline constexpr TTokenKind tokPreprocessor = 51;  // C++: '#' to the end of the line
inline constexpr TTokenKind tokCharCode = 50;      // Delphi: '#' and decimal digits
inline constexpr TTokenKind tokHexCharCode = 51;   // Delphi: "#$" and hexadecimal digits
inline constexpr TTokenKind tokAsm = 52;           // Delphi: a word, number or symbol in an asm block

// ModeState values of the C++ and Delphi parsers.
inline constexpr int kInCode = 0;
inline constexpr int kInProperty = 1;
inline constexpr int kInAsm = 2;

// The names of the kinds of each mode, base kinds included; empty when unknown.
std::string_view JavaTokenKindName(TTokenKind Kind) noexcept;
std::string_view CppTokenKindName(TTokenKind Kind) noexcept;
std::string_view DelphiTokenKindName(TTokenKind Kind) noexcept;

// The colours the three modes share.
class TSourceFountain : public TFountain {
public:
    using TFountain::TFountain;
    ~TSourceFountain() override;

    TFountainColor& Ank() noexcept { return *FAnk; }
    TFountainColor& Comment() noexcept { return *FComment; }
    TFountainColor& DBCS() noexcept { return *FDBCS; }
    TFountainColor& Int() noexcept { return *FInt; }
    TFountainColor& Str() noexcept { return *FStr; }
    TFountainColor& Symbol() noexcept { return *FSymbol; }
    // Setting a colour copies BkColor, Color and Style of the given one.
    void SetAnk(const TFountainColor& V) { FAnk->Assign(V); }
    void SetComment(const TFountainColor& V) { FComment->Assign(V); }
    void SetDBCS(const TFountainColor& V) { FDBCS->Assign(V); }
    void SetInt(const TFountainColor& V) { FInt->Assign(V); }
    void SetStr(const TFountainColor& V) { FStr->Assign(V); }
    void SetSymbol(const TFountainColor& V) { FSymbol->Assign(V); }

    // Copies the settings of another mode of the same class, notifying once.
    void Assign(const TPersistent& Source) override;
    void ForEachColor(const TColorVisitor& Visit) override;

protected:
    void NewColorSet() override;
    // Copies the colours a mode adds to the shared ones.
    virtual void AssignOwnColors(const TSourceFountain&) {}
    void AddWords(std::initializer_list<const char*> Words);
    void AddExts(std::initializer_list<const char*> Exts);
    void AddBracket(std::string_view Left, std::string_view Right);

private:
    std::unique_ptr<TFountainColor> FAnk, FComment, FDBCS, FInt, FStr, FSymbol;
};

class TJavaFountain : public TSourceFountain {
public:
    using TSourceFountain::TSourceFountain;

protected:
    void AddDefaultExts() override;
    void AddDefaultBrackets() override;
    void AddDefaultReservedWords() override;
    TParserClass ParserClass() override;
};

class TCppFountain : public TSourceFountain {
public:
    using TSourceFountain::TSourceFountain;
    ~TCppFountain() override;

    TFountainColor& PreProcessor() noexcept { return *FPreProcessor; }
    void SetPreProcessor(const TFountainColor& V) { FPreProcessor->Assign(V); }
    void ForEachColor(const TColorVisitor& Visit) override;

protected:
    void AddDefaultExts() override;
    void AddDefaultBrackets() override;
    void AddDefaultReservedWords() override;
    void NewColorSet() override;
    void AssignOwnColors(const TSourceFountain& Source) override;
    TParserClass ParserClass() override;

private:
    std::unique_ptr<TFountainColor> FPreProcessor;
};

class TDelphiFountain : public TSourceFountain {
public:
    using TSourceFountain::TSourceFountain;
    ~TDelphiFountain() override;

    TFountainColor& AsmBlock() noexcept { return *FAsmBlock; }
    void SetAsmBlock(const TFountainColor& V) { FAsmBlock->Assign(V); }
    void ForEachColor(const TColorVisitor& Visit) override;

protected:
    void AddDefaultExts() override;
    void AddDefaultBrackets() override;
    void AddDefaultReservedWords() override;
    void NewColorSet() override;
    void AssignOwnColors(const TSourceFountain& Source) override;
    TParserClass ParserClass() override;

private:
    std::unique_ptr<TFountainColor> FAsmBlock;
};

// What the three parsers share: the colours of the common kinds and "//" line comments.
class TSourceParser : public TFountainParser {
public:
    explicit TSourceParser(TFountain* Fountain);
    TFountainColor* ColorForToken() override;

protected:
    virtual void ScanSlash();
    // The colour of a kind of the mode's own, or null.
    virtual TFountainColor* ColorForModeToken() { return nullptr; }
    // The word [Start, FP) equals Word, without regard to a-z/A-Z case.
    bool WordIs(const Byte* Start, std::string_view Word) const noexcept;

    TSourceFountain* SourceFountain() const noexcept { return FSourceFountain; }

private:
    TSourceFountain* FSourceFountain;  // null when the fountain is of another class
};

class TJavaFountainParser : public TSourceParser {
public:
    using TSourceParser::TSourceParser;

protected:
    void BuildScanTables() override;
    TFountainColor* ColorForModeToken() override;
    virtual void ScanZero();
    virtual void ScanHexNumber();
};

class TCppFountainParser : public TJavaFountainParser {
public:
    explicit TCppFountainParser(TFountain* Fountain);

protected:
    void BuildScanTables() override;
    void ScanWord() override;
    TFountainColor* ColorForModeToken() override;
    // A preprocessor line runs to the end of the line over wrapped rows, as a line comment does.
    TTokenKinds ScanWrappedKinds() const override;
    TTokenKinds LineEndKinds() const override;
    virtual void ScanSemicolon();
    virtual void ScanPreprocessor();

private:
    TCppFountain* FCppFountain;  // null when the fountain is of another class
};

class TDelphiFountainParser : public TSourceParser {
public:
    explicit TDelphiFountainParser(TFountain* Fountain);
    bool IsReservedWord() override;

protected:
    void BuildScanTables() override;
    void ScanNumber() override;
    void ScanWord() override;
    void ScanSymbol() override;
    TFountainColor* ColorForModeToken() override;
    virtual void ScanSharp();
    virtual void ScanHexCharCode();
    virtual void ScanCharCode();
    virtual void ScanDollar();
    virtual void ScanSemicolon();

    bool InAsm() const noexcept { return FElementIndex == kInAsm; }

private:
    TDelphiFountain* FDelphiFountain;  // null when the fountain is of another class
};

}  // namespace orvane
