// The default text mode: colours plain text by character class, with optional URLs, mail
// addresses, a line-comment marker, a quotation character, a hexadecimal prefix and character
// codes. It also carries the editor-wide selection and search-hit colours.
#pragma once

#include "modes/fountain.h"
#include "modes/parser.h"

#include <memory>
#include <string>
#include <string_view>

namespace orvane {

class TEditorFountain;

inline constexpr TTokenKind tokQuoted = 26;
inline constexpr TTokenKind tokControlCode = 27;
inline constexpr TTokenKind tokHexControlCode = 28;

// The name of a kind of the default mode, base kinds included ("tokQuoted"); empty when unknown.
std::string_view EditorTokenKindName(TTokenKind Kind) noexcept;

class TEditorColor : public TFountainColor {};

// The colour set of the default mode. Reserve is the fountain's own Reserve colour.
class TEditorColors : public TNotifyPersistent, public TColorHolder {
public:
    explicit TEditorColors(TEditorFountain* Fountain);

    TEditorColor& Ank() noexcept { return FAnk; }
    TEditorColor& Comment() noexcept { return FComment; }
    TEditorColor& DBCS() noexcept { return FDBCS; }
    TEditorColor& Hit() noexcept { return FHit; }
    TEditorColor& Int() noexcept { return FInt; }
    TEditorColor& Mail() noexcept { return FMail; }
    TFountainColor& Reserve();
    TEditorColor& Select() noexcept { return FSelect; }
    TEditorColor& Str() noexcept { return FStr; }
    TEditorColor& Symbol() noexcept { return FSymbol; }
    TEditorColor& Url() noexcept { return FUrl; }
    // Setting a colour copies BkColor, Color and Style of the given one.
    void SetAnk(const TFountainColor& V) { FAnk.Assign(V); }
    void SetComment(const TFountainColor& V) { FComment.Assign(V); }
    void SetDBCS(const TFountainColor& V) { FDBCS.Assign(V); }
    void SetHit(const TFountainColor& V) { FHit.Assign(V); }
    void SetInt(const TFountainColor& V) { FInt.Assign(V); }
    void SetMail(const TFountainColor& V) { FMail.Assign(V); }
    void SetReserve(const TFountainColor& V) { Reserve().Assign(V); }
    void SetSelect(const TFountainColor& V) { FSelect.Assign(V); }
    void SetStr(const TFountainColor& V) { FStr.Assign(V); }
    void SetSymbol(const TFountainColor& V) { FSymbol.Assign(V); }
    void SetUrl(const TFountainColor& V) { FUrl.Assign(V); }

    // Copies every colour of another set, notifying once.
    void Assign(const TPersistent& Source) override;
    void ForEachColor(const TColorVisitor& Visit) override;

private:
    TEditorColor FAnk, FComment, FDBCS, FHit, FInt, FMail, FSelect, FStr, FSymbol, FUrl;
    TEditorFountain* FFountain;
};

// Delimiter pairs with bulk colour setters, each telling listeners once.
class TEditorBracketCollection : public TFountainBracketCollection {
public:
    using TFountainBracketCollection::TFountainBracketCollection;
    virtual void SetAllBkColor(TColor V);
    virtual void SetAllColor(TColor V);
    virtual void SetAllStyle(TFontStyles V);
};

class TEditorFountain : public TFountain {
public:
    using TFountain::TFountain;
    ~TEditorFountain() override;

    TEditorColors& Colors() noexcept { return *FColors; }
    void SetColors(const TEditorColors& V) { FColors->Assign(V); }
    const std::string& Commenter() const noexcept { return FCommenter; }
    void SetCommenter(std::string_view V);
    bool ControlCode() const noexcept { return FControlCode; }
    void SetControlCode(bool V);
    const std::string& HexPrefix() const noexcept { return FHexPrefix; }
    void SetHexPrefix(std::string_view V);
    bool Mail() const noexcept { return FMail; }
    void SetMail(bool V);
    // The first character (one or two bytes) is the quotation character.
    const std::string& Quotation() const noexcept { return FQuotation; }
    void SetQuotation(std::string_view V);
    bool Url() const noexcept { return FUrl; }
    void SetUrl(bool V);

    // Set one attribute of every colour in Colors but Select and Hit, notifying once.
    virtual void SetAllBkColor(TColor V);
    virtual void SetAllColor(TColor V);
    virtual void SetAllStyle(TFontStyles V);

    // Copies the settings of another default mode.
    void Assign(const TPersistent& Source) override;
    void ForEachColor(const TColorVisitor& Visit) override;

protected:
    void AfterConstruction() override;
    std::unique_ptr<TFountainBracketCollection> NewBracketList() override;
    TParserClass ParserClass() override;
    virtual std::unique_ptr<TEditorColors> CreateEditorColors();
    void SetAllColorsVisitor(std::string_view Name, TFountainColor& Color) override;

private:
    void SetAll(const TFountainColor& Value, int Flags);
    void PropertyChanged() { NotifyEventList().ChildChanged(this); }

    std::unique_ptr<TEditorColors> FColors;
    std::string FCommenter;
    bool FControlCode = false;
    std::string FHexPrefix;
    bool FMail = false;
    std::string FQuotation;
    bool FUrl = false;
};

// The scanner of the default mode.
class TEditorParser : public TFountainParser {
public:
    explicit TEditorParser(TFountain* Fountain);
    TFountainColor* ColorForToken() override;

protected:
    void BuildScanTables() override;
    void ScanNormalToken() override;
    virtual bool IsQuotation();
    virtual void ScanQuoted();
    virtual bool IsCommenter();
    virtual bool IsHexPrefix();
    virtual bool IsHexControlCode();
    virtual void ScanHexControlCode();
    virtual bool IsControlCode();
    virtual void ScanControlCode();

    TEditorFountain* EditorFountain() const noexcept { return FEditorFountain; }

private:
    TEditorFountain* FEditorFountain;  // null when the fountain is of another class
};

}  // namespace orvane
