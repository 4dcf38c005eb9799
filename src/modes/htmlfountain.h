// The HTML mode: tag delimiters, element names, attribute names and values, quoted values,
// character entities, comments, URLs and mail addresses. Its parser carries one bit across tokens
// and rows (inside a tag or not) and the kind of the previous token.
#pragma once

#include "modes/fountain.h"
#include "modes/htmlscan.h"
#include "modes/parser.h"

#include <memory>

namespace orvane {

class THTMLFountain : public TFountain {
public:
    using TFountain::TFountain;
    ~THTMLFountain() override;

    TFountainColor& Ampersand() noexcept { return *FAmpersand; }
    TFountainColor& Mail() noexcept { return *FMail; }
    TFountainColor& Str() noexcept { return *FStr; }
    TFountainColor& TagAttribute() noexcept { return *FTagAttribute; }
    TFountainColor& TagAttributeValue() noexcept { return *FTagAttributeValue; }
    TFountainColor& TagColor() noexcept { return *FTagColor; }
    TFountainColor& TagElement() noexcept { return *FTagElement; }
    TFountainColor& Url() noexcept { return *FUrl; }
    // Setting a colour copies BkColor, Color and Style of the given one.
    void SetAmpersand(const TFountainColor& V) { FAmpersand->Assign(V); }
    void SetMail(const TFountainColor& V) { FMail->Assign(V); }
    void SetStr(const TFountainColor& V) { FStr->Assign(V); }
    void SetTagAttribute(const TFountainColor& V) { FTagAttribute->Assign(V); }
    void SetTagAttributeValue(const TFountainColor& V) { FTagAttributeValue->Assign(V); }
    void SetTagColor(const TFountainColor& V) { FTagColor->Assign(V); }
    void SetTagElement(const TFountainColor& V) { FTagElement->Assign(V); }
    void SetUrl(const TFountainColor& V) { FUrl->Assign(V); }

    // Copies the settings of another HTML mode, notifying once.
    void Assign(const TPersistent& Source) override;
    void ForEachColor(const TColorVisitor& Visit) override;

protected:
    void AddDefaultExts() override;
    void AddDefaultBrackets() override;
    void NewColorSet() override;
    TParserClass ParserClass() override;

private:
    std::unique_ptr<TFountainColor> FAmpersand, FMail, FStr, FTagAttribute, FTagAttributeValue, FTagColor,
        FTagElement, FUrl;
};

// The scanner of the HTML mode. ModeState is 1 inside a tag and 0 outside; LastTokenKind is the
// kind of the last token other than a tab.
class THTMLFountainParser : public TFountainParser {
public:
    explicit THTMLFountainParser(TFountain* Fountain);
    void BeginRow(std::string_view Text, const TRowAttributeData& Data) override;
    TTokenKind NextToken() override;
    TFountainColor* ColorForToken() override;

protected:
    void BuildScanTables() override;
    void ScanSingleQuoted() override;
    void ScanDoubleQuoted() override;
    void ScanNormalToken() override;
    virtual void ScanEntity();
    virtual void ScanSlash();
    virtual void ScanAttrName();
    virtual void ScanEquals();
    virtual void ScanAttrValue();
    virtual void ScanTagName();
    virtual void ScanTagClose();
    virtual void ScanTagOpen();
    virtual void ClassifyInTag();

    bool InTag() const noexcept { return FElementIndex == 1; }

private:
    void TakeQuotedInTag(Byte Quote, TTokenKind Kind);
    // An '@' follows the scan position in the text: without one no mail address can start.
    bool AtSignAhead() noexcept;

    const Byte* FAtSign = nullptr;  // the first '@' at or after some earlier scan position, or FEnd

    THTMLFountain* FHTMLFountain;  // null when the fountain is of another class
};

}  // namespace orvane
