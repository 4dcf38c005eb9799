// The Perl mode: variables, strings and quote-like operators with any delimiter, patterns,
// substitutions and transliterations, here-documents (with HTML tags coloured inside them), POD
// blocks and comments.
#pragma once

#include "modes/fountain.h"
#include "modes/parser.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace orvane {

// The name of a kind the Perl mode produces, base kinds included ("tokScalarVar"); empty when
// unknown.
std::string_view PerlTokenKindName(TTokenKind Kind) noexcept;

class TPerlFountain : public TFountain {
public:
    // The mode's own colours, in the order of the table of their names.
    enum TPerlColor {
        pcAmpersand, pcAnk, pcBackQuotation, pcComment, pcDBCS, pcDoubleQuotation, pcHere, pcInt,
        pcLiteralQuotation, pcPattern, pcPerlVar, pcSingleQuotation, pcSymbol, pcTagAttribute,
        pcTagAttributeValue, pcTagColor, pcTagElement, pcColorCount
    };
    static std::string_view ColorName(TPerlColor Index) noexcept;

    using TFountain::TFountain;
    ~TPerlFountain() override;

    // Setting a colour copies BkColor, Color and Style of the given one.
    TFountainColor& PerlColor(TPerlColor Index) noexcept { return *FColors[Index]; }
    void SetPerlColor(TPerlColor Index, const TFountainColor& V) { FColors[Index]->Assign(V); }
    TFountainColor& Ampersand() noexcept { return PerlColor(pcAmpersand); }
    TFountainColor& Ank() noexcept { return PerlColor(pcAnk); }
    TFountainColor& BackQuotation() noexcept { return PerlColor(pcBackQuotation); }
    TFountainColor& Comment() noexcept { return PerlColor(pcComment); }
    TFountainColor& DBCS() noexcept { return PerlColor(pcDBCS); }
    TFountainColor& DoubleQuotation() noexcept { return PerlColor(pcDoubleQuotation); }
    TFountainColor& Here() noexcept { return PerlColor(pcHere); }
    TFountainColor& Int() noexcept { return PerlColor(pcInt); }
    TFountainColor& LiteralQuotation() noexcept { return PerlColor(pcLiteralQuotation); }
    TFountainColor& Pattern() noexcept { return PerlColor(pcPattern); }
    TFountainColor& PerlVar() noexcept { return PerlColor(pcPerlVar); }
    TFountainColor& SingleQuotation() noexcept { return PerlColor(pcSingleQuotation); }
    TFountainColor& Symbol() noexcept { return PerlColor(pcSymbol); }
    TFountainColor& TagAttribute() noexcept { return PerlColor(pcTagAttribute); }
    TFountainColor& TagAttributeValue() noexcept { return PerlColor(pcTagAttributeValue); }
    TFountainColor& TagColor() noexcept { return PerlColor(pcTagColor); }
    TFountainColor& TagElement() noexcept { return PerlColor(pcTagElement); }

    // HTML tags and entities inside here-documents are coloured as such (default on).
    bool HereHtml() const noexcept { return FHereHtml; }
    void SetHereHtml(bool V);

    // Copies the settings of another Perl mode, notifying once.
    void Assign(const TPersistent& Source) override;
    void ForEachColor(const TColorVisitor& Visit) override;

protected:
    void AddDefaultExts() override;
    void AddDefaultReservedWords() override;
    void NewColorSet() override;
    TParserClass ParserClass() override;

private:
    std::array<std::unique_ptr<TFountainColor>, pcColorCount> FColors;
    bool FHereHtml = true;
};

// The scanner of the Perl mode. Its row state: ModeState is 0 in code, 2 between the bracketed
// parts of s or tr/y, 3 in a here-document, 4 in POD, else the byte that closes the open string
// or quote-like part; ModeCounter counts the open brackets of that part (in a here-document: 1
// inside an HTML tag); CarryText is the terminator of the open here-document ("~" first when
// the terminator may be indented).
class TPerlFountainParser : public TFountainParser {
public:
    // HTML kinds, used inside here-documents.
    static constexpr TTokenKind tokTagOpen = 50;
    static constexpr TTokenKind tokTagClose = 51;
    static constexpr TTokenKind tokTagName = 52;
    static constexpr TTokenKind tokAttrName = 53;
    static constexpr TTokenKind tokAttrEquals = 54;
    static constexpr TTokenKind tokAttrValue = 55;
    static constexpr TTokenKind tokEntity = 56;
    // Perl kinds.
    static constexpr TTokenKind tokScalarVar = 60;
    static constexpr TTokenKind tokArrayVar = 61;
    static constexpr TTokenKind tokHashVar = 62;
    static constexpr TTokenKind tokBackQuoted = 63;
    static constexpr TTokenKind tokEscape = 64;
    static constexpr TTokenKind tokLiteralQuoted = 65;
    static constexpr TTokenKind tokPattern = 66;
    static constexpr TTokenKind tokSubstPattern = 67;
    static constexpr TTokenKind tokSubstReplacement = 68;
    static constexpr TTokenKind tokTransFrom = 69;
    static constexpr TTokenKind tokTransTo = 70;
    static constexpr TTokenKind tokHereDoc = 71;

    // ModeState values that are not delimiters.
    static constexpr int msCode = 0;
    static constexpr int msAwaitSecondPart = 2;
    static constexpr int msHereDoc = 3;
    static constexpr int msPod = 4;

    // A here-document terminator longer than this is not taken as one.
    static constexpr std::size_t kMaxTerminator = 255;

    // Kinds of the tokens of strings that run over several tokens: every token inside one takes
    // the kind of the string.
    static constexpr bool IsQuoteKind(TTokenKind K) noexcept {
        return K == tokDoubleQuoted || (K >= tokLiteralQuoted && K <= tokTransTo);
    }

    explicit TPerlFountainParser(TFountain* Fountain);

    void BeginRow(std::string_view Text, const TRowAttributeData& Data) override;
    void NextRowData(int Row, const TRowAttributeStringList& Rows, TRowAttributeData& Data) override;
    TTokenKind NextToken() override;
    TFountainColor* ColorForToken() override;
    bool IsReservedWord() override;

protected:
    void BuildScanTables() override;
    void ScanNormalToken() override;
    void ScanComment() override;
    void ScanNumber() override;
    void ScanSymbol() override;
    void ScanSingleQuoted() override;
    void ScanDoubleQuoted() override;
    TTokenKinds ScanWrappedKinds() const override;

    // Gives a token its kind from the construct it lies in.
    virtual void ClassifyPerl();
    virtual void ScanScalarVar();
    virtual void ScanArrayVar();
    virtual void ScanHashVar();
    virtual void ScanEntity();
    virtual void ScanEscape();
    virtual void ScanBackQuoted();
    virtual void ScanQ();
    virtual void ScanMatch();
    virtual void ScanSubstitute();
    virtual void ScanTr();
    virtual void ScanY();
    virtual void ScanSlash();
    virtual void ScanEquals();
    virtual void ScanLessThan();
    virtual void ScanTagClose();
    virtual void ScanTagName();
    virtual void ScanAttrName();
    virtual void ScanAttrValue();

    bool InCode() const noexcept { return FElementIndex == msCode; }
    bool InQuoteLike() const noexcept { return FElementIndex == msAwaitSecondPart || FElementIndex >= '!'; }
    bool InHereDoc() const noexcept { return FElementIndex == msHereDoc; }
    bool InPod() const noexcept { return FElementIndex == msPod; }
    bool IsInHtmlTag() const noexcept { return FElementIndex == msHereDoc && FNestLevel == 1; }
    bool HereHtml() const noexcept { return !FPerlFountain || FPerlFountain->HereHtml(); }

private:
    void ClassifyInTag() noexcept;
    // The state at the start of the next row, as for every mode, with the nesting and the
    // here-document terminator of the tokens that start in the row.
    void ScanRowState(int Row, const TRowAttributeStringList& Rows, TRowAttributeData& Data);
    // Takes the name of a variable at the scan position: digits, or word characters.
    void TakeName() noexcept;
    // Takes a string up to and including the next Quote of the scanned text, or to its end.
    void TakeToQuote(Byte Quote, TTokenKind Kind) noexcept;
    void TakeModifiers(std::string_view Letters) noexcept;
    // The byte at p may open a quote-like operator's string.
    bool OpensQuote(const Byte* p) const noexcept;
    // Takes Letters operator letters and the delimiter after them, opening the construct.
    void OpenQuote(int Letters, TTokenKind Kind) noexcept;
    void RaiseNesting() noexcept;
    // Ends the part of a construct that the byte at the scan position closes.
    void CloseQuotePart(Byte Delimiter);
    // The end of the scanned text (its first CR or LF, or its end) and the ';' that ends it
    // (blanks may follow), or null; found once a row.
    const Byte* LineEnd() noexcept;
    const Byte* EndingSemicolon() noexcept;
    // The terminator of a here-document whose "<<" is followed by p, or false when there is none.
    bool HereTerminator(const Byte* p, const Byte* Limit, std::string& Terminator) const;

    TPerlFountain* FPerlFountain;  // null when the fountain is of another class
    const Byte* FLineEnd = nullptr;
    const Byte* FSemicolon = nullptr;
    bool FLineEndKnown = false;
    const Byte* FNamelessDollarsEnd = nullptr;  // a run of '$' up to here is followed by no name
    bool FHereOpened = false;  // the last token opened a here-document (its terminator is FDataStr)
    std::string FJoinedRows;   // a wrapped row followed by the next one, reused from row to row
};

}  // namespace orvane
