// The editor's settings objects and the named settings set.
#include "editor/editorsettings.h"

#include "base/dbcs.h"

#include <exception>
#include <iostream>
#include <mutex>

namespace orvane {
namespace {

// Runs Copy between BeginUpdate and EndUpdate of Self, so that the listeners hear of it once.
template <class Fn>
void Bracketed(TNotifyPersistent& Self, Fn&& Copy) {
    Self.BeginUpdate();
    try {
        Copy();
    } catch (...) {
        Self.EndUpdate();
        throw;
    }
    Self.EndUpdate();
}

struct TEditorCursorIds {
    TCursor DragSelCopy;
    TCursor RightArrow;
};

const TEditorCursorIds& EditorCursorIds() {
    static const TEditorCursorIds ids = [] {
        TEditorCursorIds r;
        r.DragSelCopy = RegisterCursor("DragSelCopy");
        r.RightArrow = RegisterCursor("RightArrow");
        return r;
    }();
    return ids;
}

}  // namespace

TCursor DragSelCopyCursorId() { return EditorCursorIds().DragSelCopy; }
TCursor RightArrowCursorId() { return EditorCursorIds().RightArrow; }

// ---- TEditorCursors

TEditorCursors::TEditorCursors()
    : FDragSelCopyCursor(DragSelCopyCursorId()), FLeftMarginCursor(RightArrowCursorId()) {}

void TEditorCursors::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorCursors*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    FDefaultCursor = src->FDefaultCursor;
    FDragSelCursor = src->FDragSelCursor;
    FDragSelCopyCursor = src->FDragSelCopyCursor;
    FInSelCursor = src->FInSelCursor;
    FLeftMarginCursor = src->FLeftMarginCursor;
    FTopMarginCursor = src->FTopMarginCursor;
    Changed();
}

// ---- TEditorCaret

void TEditorCaret::SetTabSpaceCount(int V) {
    V = std::clamp(V, kMinTabSpaceCount, kMaxTabSpaceCount) & ~1;
    settings_detail::Store(*this, FTabSpaceCount, V);
}

void TEditorCaret::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorCaret*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    Bracketed(*this, [&] {
        FAutoCursor = src->FAutoCursor;
        FAutoIndent = src->FAutoIndent;
        FBackSpaceUnIndent = src->FBackSpaceUnIndent;
        FCursors.Assign(src->FCursors);
        FFreeCaret = src->FFreeCaret;
        FFreeRow = src->FFreeRow;
        FInTab = src->FInTab;
        FKeepCaret = src->FKeepCaret;
        FLockScroll = src->FLockScroll;
        FNextLine = src->FNextLine;
        FPrevSpaceIndent = src->FPrevSpaceIndent;
        FRowSelect = src->FRowSelect;
        FSelDragMode = src->FSelDragMode;
        FSelMove = src->FSelMove;
        FSoftTab = src->FSoftTab;
        SetStyle(src->FStyle);
        FTabIndent = src->FTabIndent;
        SetTabSpaceCount(src->FTabSpaceCount);
    });
}

// ---- TEditorMargin

void TEditorMargin::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorMargin*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    Bracketed(*this, [&] {
        SetCharacter(src->FCharacter);
        SetLeft(src->FLeft);
        SetLine(src->FLine);
        SetTop(src->FTop);
        FUnderlineSpace = src->FUnderlineSpace;
    });
}

// ---- TEditorMark, TEditorMarks

void TEditorMark::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorMark*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    FColor = src->FColor;
    FVisible = src->FVisible;
    Changed();
}

TEditorMarks::TEditorMarks() {
    for (TEditorMark* mark : {&FEofMark, &FRetMark, &FWrapMark, &FHideMark, &FUnderline})
        mark->OnChange = [this](TObject* Sender) { ChildChanged(Sender); };
}

void TEditorMarks::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorMarks*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    Bracketed(*this, [&] {
        FEofMark.Assign(src->FEofMark);
        FRetMark.Assign(src->FRetMark);
        FWrapMark.Assign(src->FWrapMark);
        FHideMark.Assign(src->FHideMark);
        FUnderline.Assign(src->FUnderline);
    });
}

// ---- TEditorViewInfo

TEditorViewInfo::TEditorViewInfo(TPersistent* Owner)
    : FOwner(Owner), FFountain(TStoreComponent::Create<TEditorFountain>()) {
    FSubscription = MakeMethod<TNotifyPersistent>(this, &TNotifyPersistent::ChildChanged);
    FFountain->NotifyEventList().Add(FSubscription);
}

TEditorViewInfo::~TEditorViewInfo() { FFountain->NotifyEventList().Remove(FSubscription); }

TEditorBracketCollection& TEditorViewInfo::Brackets() noexcept {
    // The default mode makes its bracket list as a TEditorBracketCollection.
    return static_cast<TEditorBracketCollection&>(FFountain->Brackets());
}

const TEditorBracketCollection& TEditorViewInfo::Brackets() const noexcept {
    return static_cast<const TEditorBracketCollection&>(FFountain->Brackets());
}

void TEditorViewInfo::SetQuotation(std::string_view V) {
    FFountain->SetQuotation(V.substr(0, V.empty() ? 0 : CharLenAt(V, 0)));
}

void TEditorViewInfo::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorViewInfo*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    if (src == this) {
        Changed();
        return;
    }
    // The fountain's own subscribers hear of the copy once as well.
    Bracketed(*this, [&] {
        Bracketed(FFountain->NotifyEventList(), [&] {
            SetBrackets(src->Brackets());
            SetColors(src->Colors());
            SetCommenter(src->Commenter());
            SetControlCode(src->ControlCode());
            SetHexPrefix(src->HexPrefix());
            SetMail(src->Mail());
            SetQuotation(src->Quotation());
            SetUrl(src->Url());
        });
    });
}

// ---- TEditorRuler

void TEditorRuler::SetGaugeRange(int V) {
    V = std::clamp(V, 8, 10) & ~1;
    settings_detail::Store(*this, FGaugeRange, V);
}

void TEditorRuler::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorRuler*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    FBkColor = src->FBkColor;
    FColor = src->FColor;
    FEdge = src->FEdge;
    FGaugeRange = src->FGaugeRange;
    FMarkColor = src->FMarkColor;
    FVisible = src->FVisible;
    Changed();
}

// ---- TEditorLeftbar

void TEditorLeftbar::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorLeftbar*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    FBkColor = src->FBkColor;
    FColor = src->FColor;
    FColumn = src->FColumn;
    FEdge = src->FEdge;
    FLeftMargin = src->FLeftMargin;
    FRightMargin = src->FRightMargin;
    FShowNumber = src->FShowNumber;
    FShowNumberMode = src->FShowNumberMode;
    FVisible = src->FVisible;
    FZeroBase = src->FZeroBase;
    FZeroLead = src->FZeroLead;
    Changed();
}

// ---- TEditorImagebar

void TEditorImagebar::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorImagebar*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    FDigitWidth = src->FDigitWidth;
    FLeftMargin = src->FLeftMargin;
    FMarkWidth = src->FMarkWidth;
    FRightMargin = src->FRightMargin;
    FVisible = src->FVisible;
    Changed();
}

// ---- TEditorSpeed

void TEditorSpeed::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorSpeed*>(&Source);
    if (!src) return TPersistent::Assign(Source);
    FCaretVerticalAc = src->FCaretVerticalAc;
    FPageVerticalRange = src->FPageVerticalRange;
    FPageVerticalRangeAc = src->FPageVerticalRangeAc;
    FInitBracketsFull = src->FInitBracketsFull;
}

// ---- the settings log

namespace {

struct TSettingsLogSink {
    std::mutex Lock;
    TSettingsLog Log;
};

TSettingsLogSink& LogSink() {
    static TSettingsLogSink sink;
    return sink;
}

void WriteSettingsLog(std::string_view Message) noexcept {
    try {
        TSettingsLog log;
        {
            TSettingsLogSink& sink = LogSink();
            std::lock_guard<std::mutex> guard(sink.Lock);
            log = sink.Log;
        }
        if (log)
            log(Message);
        else
            std::cerr << Message << '\n';
    } catch (...) {
        // A failing sink must not turn a reported failure into a new one.
    }
}

void ReportCopyFailure(std::string_view Property, const char* Reason) noexcept {
    try {
        WriteSettingsLog(std::string("settings: ").append(Property).append(" not copied: ").append(Reason));
    } catch (...) {
    }
}

}  // namespace

TSettingsLog SetSettingsLog(TSettingsLog Log) {
    TSettingsLogSink& sink = LogSink();
    std::lock_guard<std::mutex> guard(sink.Lock);
    std::swap(sink.Log, Log);
    return Log;
}

bool CopySettingsProperty(std::string_view Property, const std::function<void()>& Copy) noexcept {
    try {
        Copy();
        return true;
    } catch (const std::exception& e) {
        ReportCopyFailure(Property, e.what());
    } catch (...) {
        ReportCopyFailure(Property, "unknown error");
    }
    return false;
}

// ---- TEditorProp

TEditorProp::TEditorProp(TCreateKey Key) : TFileExtComponent(Key), FView(this) {
    FFont.SetColor(clWindowText);
}

void TEditorProp::AfterConstruction() {
    TFileExtComponent::AfterConstruction();
    FReserveWordList = NewExtList();
}

void TEditorProp::SetColor(TColor V) {
    if (FColor == V) return;
    FColor = V;
    if (OnColorChange) OnColorChange(this);
}

void TEditorProp::SetHitStyle(TEditorHitStyle V) {
    if (FHitStyle == V) return;
    FHitStyle = V;
    if (OnHitStyleChange) OnHitStyleChange(this);
}

void TEditorProp::SetScrollBars(TScrollStyle V) {
    if (FScrollBars == V) return;
    FScrollBars = V;
    if (OnScrollBarsChange) OnScrollBarsChange(this);
}

void TEditorProp::SetWordWrap(bool V) {
    if (FWordWrap == V) return;
    FWordWrap = V;
    if (OnWordWrapChange) OnWordWrapChange(this);
}

void TEditorProp::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorProp*>(&Source);
    if (!src) return TFileExtComponent::Assign(Source);
    if (src == this) return;
    CopySettingsProperty("Color", [&] { SetColor(src->Color()); });
    CopySettingsProperty("Caret", [&] { SetCaret(src->Caret()); });
    CopySettingsProperty("Font", [&] { SetFont(src->Font()); });
    CopySettingsProperty("HitStyle", [&] { SetHitStyle(src->HitStyle()); });
    CopySettingsProperty("Imagebar", [&] { SetImagebar(src->Imagebar()); });
    CopySettingsProperty("Leftbar", [&] { SetLeftbar(src->Leftbar()); });
    CopySettingsProperty("Margin", [&] { SetMargin(src->Margin()); });
    CopySettingsProperty("Marks", [&] { SetMarks(src->Marks()); });
    CopySettingsProperty("ReserveWordList", [&] { SetReserveWordList(src->ReserveWordList()); });
    CopySettingsProperty("Ruler", [&] { SetRuler(src->Ruler()); });
    CopySettingsProperty("ScrollBars", [&] { SetScrollBars(src->ScrollBars()); });
    CopySettingsProperty("Speed", [&] { SetSpeed(src->Speed()); });
    CopySettingsProperty("View", [&] { SetView(src->View()); });
    // Wrap options before turning word wrap on, and after turning it off, so that a listener
    // that rewraps does so once.
    auto wrapOption = [&] { CopySettingsProperty("WrapOption", [&] { SetWrapOption(src->WrapOption()); }); };
    auto wordWrap = [&] { CopySettingsProperty("WordWrap", [&] { SetWordWrap(src->WordWrap()); }); };
    if (src->WordWrap()) {
        wrapOption();
        wordWrap();
    } else {
        wordWrap();
        wrapOption();
    }
    CopySettingsProperty("FileExtList", [&] {
        SetFileExtList(const_cast<TEditorProp*>(src)->FileExtList());
    });
}

}  // namespace orvane
