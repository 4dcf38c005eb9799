// The style objects, their templates, the style list and the default colours of the shared modes.
#include "styles/stylelist.h"

#include "base/exceptions.h"
#include "base/scope.h"

#include <algorithm>

namespace orvane {
namespace {

// Colours of the templates beyond those of base/graphics.h (system colours keep their numbers).
constexpr TColor kGrayText = clSystemColor | 0x11;
constexpr TColor kBtnText = clSystemColor | 0x12;
constexpr TColor kHighlight = clSystemColor | 0x0D;
constexpr TColor kHighlightText = clSystemColor | 0x0E;
constexpr TColor kPurple = 0x800080;
constexpr TColor kTeal = 0x808000;
constexpr TColor kOlive = 0x008080;
constexpr TColor kFuchsia = 0xFF00FF;

void SetColor(TFountainColor& C, TColor Color, TColor BkColor, TFontStyles Style) {
    C.BeginUpdate();
    C.SetColor(Color);
    C.SetBkColor(BkColor);
    C.SetStyle(Style);
    C.EndUpdate();
}

void SetMark(TEditorMark& M, bool Visible, TColor Color) {
    M.SetVisible(Visible);
    M.SetColor(Color);
}

constexpr TStyleTemplateInfo kTemplates[kStyleTemplateCount] = {
    {TStyleTemplate::Standard, "標準スタイル(&B)", "標準スタイル"},
    {TStyleTemplate::Text, "テキストファイル用(&T)", "テキストファイル"},
    {TStyleTemplate::Dictionary, "Orvane 辞書ファイル用(&I)", "辞書ファイル"},
    {TStyleTemplate::HTML, "HTMLファイル用(&H)", "HTMLファイル"},
    {TStyleTemplate::Delphi, "Delphiソース用(&D)", "Pascal言語ソース"},
    {TStyleTemplate::Cpp, "Cソース用(&C)", "C言語ソース"},
    {TStyleTemplate::Perl, "Perlソース用(&P)", "Perl言語ソース"},
    {TStyleTemplate::Java, "Javaソース用(&J)", "Java言語ソース"},
};

void ApplyBaseTemplate(TEditorProp& P, TOrvaneEditorMarks& Marks) {
    TEditorCaret& c = P.Caret();
    c.BeginUpdate();
    c.SetAutoCursor(true);
    c.SetAutoIndent(false);
    c.SetBackSpaceUnIndent(false);
    c.SetFreeCaret(false);
    c.SetFreeRow(true);
    c.SetInTab(false);
    c.SetKeepCaret(true);
    c.SetLockScroll(false);
    c.SetNextLine(true);
    c.SetPrevSpaceIndent(false);
    c.SetRowSelect(true);
    c.SetSelDragMode(dmAutomatic);
    c.SetSelMove(false);
    c.SetSoftTab(false);
    c.SetStyle(csBrief);
    c.SetTabIndent(true);
    c.SetTabSpaceCount(8);
    c.EndUpdate();

    P.SetColor(clWindow);
    P.Font().SetColor(clWindowText);
    P.SetHitStyle(hsDraw);
    P.Leftbar().SetBkColor(clBtnFace);
    P.Leftbar().SetColor(kBtnText);

    TEditorMarks& m = P.Marks();
    m.BeginUpdate();
    SetMark(m.EofMark(), true, kGrayText);
    SetMark(m.HideMark(), false, clWindowText);
    SetMark(m.RetMark(), false, clWindowText);
    SetMark(m.Underline(), false, clWindowText);
    SetMark(m.WrapMark(), true, kGrayText);
    m.EndUpdate();

    P.ReserveWordList().Clear();

    TEditorRuler& r = P.Ruler();
    r.BeginUpdate();
    r.SetBkColor(clWindow);
    r.SetColor(kGrayText);
    r.SetEdge(false);
    r.SetGaugeRange(10);
    r.SetMarkColor(clWindowText);
    r.SetVisible(false);
    r.EndUpdate();

    P.SetScrollBars(ssVertical);

    TEditorViewInfo& v = P.View();
    v.BeginUpdate();
    v.Brackets().Clear();
    TEditorColors& colors = v.Colors();
    for (TFountainColor* color : {static_cast<TFountainColor*>(&colors.Ank()), static_cast<TFountainColor*>(&colors.Comment()),
                                  static_cast<TFountainColor*>(&colors.DBCS()), static_cast<TFountainColor*>(&colors.Int()),
                                  static_cast<TFountainColor*>(&colors.Mail()), &colors.Reserve(),
                                  static_cast<TFountainColor*>(&colors.Str()), static_cast<TFountainColor*>(&colors.Symbol()),
                                  static_cast<TFountainColor*>(&colors.Url())})
        SetColor(*color, clWindowText, clWindow, 0);
    SetColor(colors.Hit(), clWindow, clWindowText, 0);
    SetColor(colors.Select(), kHighlightText, kHighlight, 0);
    v.SetCommenter("");
    v.SetHexPrefix("");
    v.SetQuotation("");
    v.SetControlCode(false);
    v.SetMail(false);
    v.SetUrl(false);
    v.EndUpdate();

    P.SetWordWrap(false);
    TEditorWrapOption& w = P.WrapOption();
    w.BeginUpdate();
    w.SetFollowPunctuation(false);
    w.SetFollowRetMark(true);
    w.SetFollowStr(TEditorWrapOption::DefaultFollowStr());
    w.SetLeading(false);
    w.SetLeadStr(TEditorWrapOption::DefaultLeadStr());
    w.SetPunctuationStr(TEditorWrapOption::DefaultPunctuationStr());
    w.SetWordBreak(false);
    w.SetWrapByte(80);
    w.EndUpdate();

    Marks.BeginUpdate();
    SetMark(Marks.DByteSpace(), false, kGrayText);
    SetMark(Marks.TabMark(), true, kGrayText);
    SetMark(Marks.VertLine(), true, kGrayText);
    Marks.EndUpdate();
}

// The four caret switches of the source templates.
void SourceCaret(TEditorCaret& C) {
    C.SetAutoIndent(true);
    C.SetPrevSpaceIndent(true);
    C.SetBackSpaceUnIndent(true);
    C.SetTabIndent(true);
}

// Perl's own words beyond those of a fresh Perl mode.
constexpr const char* kPerlExtraWords[] = {"local", "my", "last", "next", "redo", "and", "xor", "or", "not", "undef"};

}  // namespace

std::string_view StyleModeCaption(int Mode) noexcept {
    static constexpr std::string_view captions[kStyleModeCount] = {"（なし）", "HTML", "Perl", "Java", "Cpp",
                                                                   "Pascal/Delphi"};
    return Mode >= 0 && Mode < kStyleModeCount ? captions[Mode] : std::string_view();
}

const TStyleTemplateInfo& StyleTemplateInfo(TStyleTemplate Template) noexcept {
    return kTemplates[std::clamp(int(Template), 0, kStyleTemplateCount - 1)];
}

// ---- TOrvaneStyle

TOrvaneStyle::TOrvaneStyle(TOrvaneStyleList* Owner) : FOwner(Owner), FProp(TStoreComponent::Create<TEditorProp>()) {
    ApplyTemplate(TStyleTemplate::Standard);
}

TFountain* TOrvaneStyle::FountainObject() const { return FOwner ? FOwner->FountainOfMode(FFountain) : nullptr; }

void TOrvaneStyle::ApplyTemplate(TStyleTemplate Template) {
    TEditorProp& p = *FProp;
    ApplyBaseTemplate(p, FMarks);
    FFountain = smNone;
    TEditorColors& colors = p.View().Colors();
    switch (Template) {
        case TStyleTemplate::Standard:
            break;
        case TStyleTemplate::Text:
            p.Ruler().SetVisible(true);
            SetColor(colors.Mail(), clNavy, colors.Mail().BkColor(), fsUnderline);
            SetColor(colors.Url(), kPurple, colors.Url().BkColor(), fsUnderline);
            p.View().SetMail(true);
            p.View().SetUrl(true);
            break;
        case TStyleTemplate::Dictionary: {
            TStringList words;
            words.Add("||");
            words.Add("|");
            p.SetReserveWordList(words);
            SetColor(colors.Reserve(), clBlue, clNone, colors.Reserve().Style());
            SetColor(colors.Comment(), kFuchsia, clNone, colors.Comment().Style());
            p.View().SetCommenter("//");
            break;
        }
        case TStyleTemplate::HTML:
            FFountain = smHTML;
            SourceCaret(p.Caret());
            break;
        case TStyleTemplate::Delphi:
        case TStyleTemplate::Cpp:
        case TStyleTemplate::Perl:
        case TStyleTemplate::Java:
            FFountain = Template == TStyleTemplate::Delphi ? smDelphi
                        : Template == TStyleTemplate::Cpp  ? smCpp
                        : Template == TStyleTemplate::Perl ? smPerl
                                                           : smJava;
            SourceCaret(p.Caret());
            FMarks.DByteSpace().SetVisible(true);
            break;
    }
}

void TOrvaneStyle::Assign(const TPersistent& Source) {
    if (const auto* src = dynamic_cast<const TOrvaneStyle*>(&Source)) {
        if (src == this) return;
        FProp->Assign(*src->FProp);
        FMarks.Assign(src->FMarks);
        FFountain = src->FFountain;
        return;
    }
    if (const auto* prop = dynamic_cast<const TEditorProp*>(&Source)) {
        FProp->Assign(*prop);
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TOrvaneStyleList

TOrvaneStyleList::TOrvaneStyleList()
    : FHtmlMode(TStoreComponent::Create<THTMLFountain>()),
      FPerlMode(TStoreComponent::Create<TPerlFountain>()),
      FJavaMode(TStoreComponent::Create<TJavaFountain>()),
      FCppMode(TStoreComponent::Create<TCppFountain>()),
      FDelphiMode(TStoreComponent::Create<TDelphiFountain>()) {
    ResetStyles();
}

TOrvaneStyleList::~TOrvaneStyleList() = default;

void TOrvaneStyleList::ClearStyles() {
    FStyles.clear();
    FNames.clear();
    FExts.clear();
    FExtStyles.clear();
}

void TOrvaneStyleList::ResetStyles() {
    ClearStyles();
    FStyles.push_back(std::make_unique<TOrvaneStyle>(this));
    FNames.emplace_back(kDefaultStyleName);
    for (int mode = smHTML; mode <= smDelphi; ++mode) ResetMode(mode);
}

void TOrvaneStyleList::ResetMode(int Mode) {
    switch (Mode) {
        case smHTML: {
            THTMLFountain& m = *FHtmlMode;
            m.NotifyEventList().BeginUpdate();
            TScopeExit end([&m] { m.NotifyEventList().EndUpdate(); });
            SetColor(m.Ampersand(), clGreen, clNone, 0);
            if (m.Brackets().Count() > 0) SetColor(m.Brackets().Items(0)->ItemColor(), kFuchsia, clNone, 0);
            SetColor(m.Mail(), kPurple, clNone, fsUnderline);
            SetColor(m.Reserve(), clNone, clNone, 0);
            SetColor(m.Str(), clNone, clNone, 0);
            SetColor(m.TagAttribute(), clBlue, clNone, 0);
            SetColor(m.TagColor(), clBlue, clNone, 0);
            SetColor(m.TagAttributeValue(), clMaroon, clNone, 0);
            SetColor(m.TagElement(), clBlue, clNone, fsBold);
            SetColor(m.Url(), kTeal, clNone, fsUnderline);
            break;
        }
        case smPerl: {
            TPerlFountain& m = *FPerlMode;
            m.NotifyEventList().BeginUpdate();
            TScopeExit end([&m] { m.NotifyEventList().EndUpdate(); });
            for (TFountainColor* c : {&m.Ank(), &m.BackQuotation(), &m.PerlVar(), &m.Symbol()}) SetColor(*c, clNone, clNone, 0);
            SetColor(m.Comment(), kFuchsia, clNone, 0);
            SetColor(m.DBCS(), clBlack, clRed, 0);
            for (TFountainColor* c : {&m.DoubleQuotation(), &m.Here(), &m.LiteralQuotation(), &m.SingleQuotation()})
                SetColor(*c, clRed, clNone, 0);
            SetColor(m.Int(), clGreen, clNone, 0);
            SetColor(m.Ampersand(), clGreen, clNone, 0);
            SetColor(m.Pattern(), kTeal, clNone, 0);
            SetColor(m.Reserve(), clBlue, clNone, fsBold);
            SetColor(m.TagAttribute(), clBlue, clNone, 0);
            SetColor(m.TagColor(), clBlue, clNone, 0);
            SetColor(m.TagAttributeValue(), clMaroon, clNone, 0);
            SetColor(m.TagElement(), clBlue, clNone, fsBold);
            const auto fresh = TStoreComponent::Create<TPerlFountain>();
            TStringList words;
            words.Assign(fresh->ReserveWordList());
            for (const char* word : kPerlExtraWords) words.Add(word);
            m.SetReserveWordList(words);
            break;
        }
        case smJava:
        case smCpp:
        case smDelphi: {
            TSourceFountain& m = Mode == smJava  ? static_cast<TSourceFountain&>(*FJavaMode)
                                 : Mode == smCpp ? static_cast<TSourceFountain&>(*FCppMode)
                                                 : static_cast<TSourceFountain&>(*FDelphiMode);
            m.NotifyEventList().BeginUpdate();
            TScopeExit end([&m] { m.NotifyEventList().EndUpdate(); });
            SetColor(m.Ank(), clNone, clNone, 0);
            SetColor(m.Symbol(), clNone, clNone, 0);
            const int pairs = Mode == smDelphi ? 2 : 1;
            for (int i = 0; i < pairs && i < m.Brackets().Count(); ++i)
                SetColor(m.Brackets().Items(i)->ItemColor(), kFuchsia, clNone, 0);
            SetColor(m.Comment(), kFuchsia, clNone, 0);
            SetColor(m.DBCS(), clBlack, clRed, 0);
            SetColor(m.Int(), clGreen, clNone, 0);
            SetColor(m.Reserve(), clBlue, clNone, fsBold);
            SetColor(m.Str(), clRed, clNone, 0);
            if (Mode == smCpp) SetColor(FCppMode->PreProcessor(), kOlive, clNone, 0);
            if (Mode == smDelphi) SetColor(FDelphiMode->AsmBlock(), clNone, clNone, 0);
            break;
        }
        default:
            break;
    }
}

int TOrvaneStyleList::AddStyle(std::string_view Name) {
    FStyles.push_back(std::make_unique<TOrvaneStyle>(this));
    FNames.emplace_back(Name);
    ListChanged();
    return StyleCount() - 1;
}

void TOrvaneStyleList::AddStarterStyles() {
    struct TStarter {
        TStyleTemplate Template;
        std::vector<std::string_view> Exts;
    };
    static const TStarter starters[] = {
        {TStyleTemplate::HTML, {"htm", "html", "shtml", "xhtml"}},
        {TStyleTemplate::Perl, {"pl", "pm", "cgi"}},
        {TStyleTemplate::Cpp, {"c", "cc", "cpp", "cxx", "h", "hh", "hpp"}},
        {TStyleTemplate::Java, {"java"}},
        {TStyleTemplate::Delphi, {"pas", "dpr"}},
    };
    for (const TStarter& starter : starters) {
        const int index = AddStyle(StyleTemplateInfo(starter.Template).DefaultName);
        Styles(index).ApplyTemplate(starter.Template);
        for (std::string_view ext : starter.Exts) SetExtStyle(ext, index);
    }
}

void TOrvaneStyleList::DeleteStyle(int Index) {
    if (Index <= 0 || Index >= StyleCount()) throw EListError(kListIndexError);
    const int oldCount = StyleCount();
    FStyles.erase(FStyles.begin() + Index);
    FNames.erase(FNames.begin() + Index);
    // Entries that pointed beyond the list (read from a hand-edited file) stay as they were.
    for (int& style : FExtStyles) {
        if (style >= oldCount) continue;
        if (style == Index)
            style = 0;
        else if (style > Index)
            --style;
    }
    ListChanged();
}

void TOrvaneStyleList::RenameStyle(int Index, std::string_view Name) {
    if (Index < 0 || Index >= StyleCount()) throw EListError(kListIndexError);
    if (Index == 0) return;  // the default style keeps its name: the file stores none for it
    FNames[std::size_t(Index)] = std::string(Name);
    ListChanged();
}

int TOrvaneStyleList::IndexOfStyleName(std::string_view Name) const {
    for (std::size_t i = 0; i < FNames.size(); ++i)
        if (SameText(FNames[i], Name)) return int(i);
    return -1;
}

const std::string& TOrvaneStyleList::StyleNames(int Index) const {
    if (Index < 0 || Index >= StyleCount()) throw EListError(kListIndexError);
    return FNames[std::size_t(Index)];
}

TOrvaneStyle& TOrvaneStyleList::Styles(int Index) const {
    if (Index < 0 || Index >= StyleCount()) throw EListError(kListIndexError);
    return *FStyles[std::size_t(Index)];
}

const std::string& TOrvaneStyleList::Exts(int Index) const {
    if (Index < 0 || Index >= ExtCount()) throw EListError(kListIndexError);
    return FExts[std::size_t(Index)];
}

int TOrvaneStyleList::ExtStyleIndexes(int Index) const {
    if (Index < 0 || Index >= ExtCount()) throw EListError(kListIndexError);
    return FExtStyles[std::size_t(Index)];
}

void TOrvaneStyleList::SetExtStyle(std::string_view Ext, int Index) {
    // A file without an extension always has the default style; an entry for "" would be lost
    // on reading anyway.
    if (Index < 0 || Index >= StyleCount() || Ext.empty()) return;
    for (std::size_t i = 0; i < FExts.size(); ++i) {
        if (!SameText(FExts[i], Ext)) continue;
        if (FExtStyles[i] != Index) {
            FExtStyles[i] = Index;
            ListChanged();
        }
        return;
    }
    FExts.emplace_back(Ext);
    FExtStyles.push_back(Index);
    ListChanged();
}

int TOrvaneStyleList::StyleIndexOfFile(std::string_view FileName) const {
    const std::size_t slash = FileName.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? FileName : FileName.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == name.size()) return 0;
    const std::string_view ext = name.substr(dot + 1);
    for (std::size_t i = 0; i < FExts.size(); ++i) {
        if (!SameText(FExts[i], ext)) continue;
        const int style = FExtStyles[i];
        return style >= 0 && style < StyleCount() ? style : 0;
    }
    return 0;
}

TFountain* TOrvaneStyleList::FountainOfMode(int Mode) const {
    switch (Mode & 0x7F) {
        case smHTML: return FHtmlMode.get();
        case smPerl: return FPerlMode.get();
        case smJava: return FJavaMode.get();
        case smCpp: return FCppMode.get();
        case smDelphi: return FDelphiMode.get();
        default: return nullptr;
    }
}

}  // namespace orvane
