// The editor control's display and behaviour settings: one small object per group (caret,
// margins, marks, default syntax mode, ruler, line-number bar, image bar, scrolling speed) and
// TEditorProp, a named set of all of them for files of some extensions.
//
// Every object but TEditorSpeed tells its OnChange when a value really changes; clamped values
// are clamped before the comparison, and the properties marked "direct" never notify. Assign
// from an object of the same class copies every value and notifies exactly once; from any other
// class it raises EConvertError.
#pragma once

#include "base/cursors.h"
#include "base/font.h"
#include "base/graphics.h"
#include "base/notify.h"
#include "base/strings.h"
#include "document/wrap.h"
#include "modes/editorfountain.h"
#include "modes/notifylist.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace orvane {

namespace settings_detail {
// Stores Value into Field and notifies Self when they differ.
template <class T, class V>
void Store(TNotifyPersistent& Self, T& Field, V&& Value) {
    if (Field == Value) return;
    Field = std::forward<V>(Value);
    Self.Changed();
}
}  // namespace settings_detail

enum TEditorCaretStyle : std::uint8_t { csDefault, csBrief };
enum TDragMode : std::uint8_t { dmManual, dmAutomatic };
enum TEditorShowNumberMode : std::uint8_t { nmRow, nmLine };
enum TEditorHitStyle : std::uint8_t { hsSelect, hsDraw, hsCaret };
enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// The two cursors drawn by the editor itself, registered in the cursor table on first use (in
// this order, so they take the first free slots).
TCursor DragSelCopyCursorId();  // resource "DragSelCopy"
TCursor RightArrowCursorId();   // resource "RightArrow"

// Mouse cursors of the editor. All direct.
class TEditorCursors : public TNotifyPersistent {
public:
    TEditorCursors();

    TCursor DefaultCursor() const noexcept { return FDefaultCursor; }
    void SetDefaultCursor(TCursor V) { FDefaultCursor = V; }
    TCursor DragSelCursor() const noexcept { return FDragSelCursor; }
    void SetDragSelCursor(TCursor V) { FDragSelCursor = V; }
    TCursor DragSelCopyCursor() const noexcept { return FDragSelCopyCursor; }
    void SetDragSelCopyCursor(TCursor V) { FDragSelCopyCursor = V; }
    TCursor InSelCursor() const noexcept { return FInSelCursor; }
    void SetInSelCursor(TCursor V) { FInSelCursor = V; }
    TCursor LeftMarginCursor() const noexcept { return FLeftMarginCursor; }
    void SetLeftMarginCursor(TCursor V) { FLeftMarginCursor = V; }
    TCursor TopMarginCursor() const noexcept { return FTopMarginCursor; }
    void SetTopMarginCursor(TCursor V) { FTopMarginCursor = V; }

    void Assign(const TPersistent& Source) override;

private:
    TCursor FDefaultCursor = crIBeam;
    TCursor FDragSelCursor = crDrag;
    TCursor FDragSelCopyCursor;
    TCursor FInSelCursor = crDefault;
    TCursor FLeftMarginCursor;
    TCursor FTopMarginCursor = crDefault;
};

// Caret and editing behaviour. Everything is direct except Style and TabSpaceCount; changes
// inside Cursors do not reach the caret's listeners.
class TEditorCaret : public TNotifyPersistent {
public:
    static constexpr int kMinTabSpaceCount = 2;
    static constexpr int kMaxTabSpaceCount = 8;

    bool AutoCursor() const noexcept { return FAutoCursor; }
    void SetAutoCursor(bool V) { FAutoCursor = V; }
    bool AutoIndent() const noexcept { return FAutoIndent; }
    void SetAutoIndent(bool V) { FAutoIndent = V; }
    bool BackSpaceUnIndent() const noexcept { return FBackSpaceUnIndent; }
    void SetBackSpaceUnIndent(bool V) { FBackSpaceUnIndent = V; }
    TEditorCursors& Cursors() noexcept { return FCursors; }
    const TEditorCursors& Cursors() const noexcept { return FCursors; }
    void SetCursors(const TEditorCursors& V) { FCursors.Assign(V); }
    bool FreeCaret() const noexcept { return FFreeCaret; }
    void SetFreeCaret(bool V) { FFreeCaret = V; }
    bool FreeRow() const noexcept { return FFreeRow; }
    void SetFreeRow(bool V) { FFreeRow = V; }
    bool InTab() const noexcept { return FInTab; }
    void SetInTab(bool V) { FInTab = V; }
    bool KeepCaret() const noexcept { return FKeepCaret; }
    void SetKeepCaret(bool V) { FKeepCaret = V; }
    bool LockScroll() const noexcept { return FLockScroll; }
    void SetLockScroll(bool V) { FLockScroll = V; }
    bool NextLine() const noexcept { return FNextLine; }
    void SetNextLine(bool V) { FNextLine = V; }
    bool PrevSpaceIndent() const noexcept { return FPrevSpaceIndent; }
    void SetPrevSpaceIndent(bool V) { FPrevSpaceIndent = V; }
    bool RowSelect() const noexcept { return FRowSelect; }
    void SetRowSelect(bool V) { FRowSelect = V; }
    TDragMode SelDragMode() const noexcept { return FSelDragMode; }
    void SetSelDragMode(TDragMode V) { FSelDragMode = V; }
    bool SelMove() const noexcept { return FSelMove; }
    void SetSelMove(bool V) { FSelMove = V; }
    bool SoftTab() const noexcept { return FSoftTab; }
    void SetSoftTab(bool V) { FSoftTab = V; }
    TEditorCaretStyle Style() const noexcept { return FStyle; }
    void SetStyle(TEditorCaretStyle V) { settings_detail::Store(*this, FStyle, V); }
    bool TabIndent() const noexcept { return FTabIndent; }
    void SetTabIndent(bool V) { FTabIndent = V; }
    int TabSpaceCount() const noexcept { return FTabSpaceCount; }
    // Clamped to 2..8, then rounded down to an even number.
    void SetTabSpaceCount(int V);

    // Copies every value, Cursors included, inside one update bracket.
    void Assign(const TPersistent& Source) override;

private:
    bool FAutoCursor = true;
    bool FAutoIndent = true;
    bool FBackSpaceUnIndent = true;
    TEditorCursors FCursors;
    bool FFreeCaret = true;
    bool FFreeRow = false;
    bool FInTab = false;
    bool FKeepCaret = false;
    bool FLockScroll = false;
    bool FNextLine = false;
    bool FPrevSpaceIndent = false;
    bool FRowSelect = true;
    TDragMode FSelDragMode = dmAutomatic;
    bool FSelMove = true;
    bool FSoftTab = false;
    TEditorCaretStyle FStyle = csDefault;
    bool FTabIndent = false;
    int FTabSpaceCount = 8;
};

// Pixel spacing around the text; each value clamped to 0..100.
class TEditorMargin : public TNotifyPersistent {
public:
    static constexpr int kMaxMargin = 100;

    // Added to the font's average character width to form the cell width.
    int Character() const noexcept { return FCharacter; }
    void SetCharacter(int V) { SetMargin(FCharacter, V); }
    // Between the line-number bar (or the edge) and column 0.
    int Left() const noexcept { return FLeft; }
    void SetLeft(int V) { SetMargin(FLeft, V); }
    // Between rows.
    int Line() const noexcept { return FLine; }
    void SetLine(int V) { SetMargin(FLine, V); }
    // Between the ruler (or the top) and the first row.
    int Top() const noexcept { return FTop; }
    void SetTop(int V) { SetMargin(FTop, V); }
    // Every row is one pixel taller to leave room for the caret-row underline. The editor sets it
    // from Marks.Underline.Visible while it handles that change, so it is direct.
    bool UnderlineSpace() const noexcept { return FUnderlineSpace; }
    void SetUnderlineSpace(bool V) { FUnderlineSpace = V; }

    // Copies the four margins and the underline space inside one update bracket.
    void Assign(const TPersistent& Source) override;

private:
    void SetMargin(int& Field, int V) { settings_detail::Store(*this, Field, std::clamp(V, 0, kMaxMargin)); }

    int FCharacter = 0;
    int FLeft = 19;
    int FLine = 0;
    int FTop = 2;
    bool FUnderlineSpace = false;
};

// One optional mark drawn by the editor.
class TEditorMark : public TNotifyPersistent {
public:
    TColor Color() const noexcept { return FColor; }
    void SetColor(TColor V) { settings_detail::Store(*this, FColor, V); }
    bool Visible() const noexcept { return FVisible; }
    void SetVisible(bool V) { settings_detail::Store(*this, FVisible, V); }

    void Assign(const TPersistent& Source) override;

private:
    TColor FColor = clGray;
    bool FVisible = false;
};

// The five marks; a change of any of them is a change of the set.
class TEditorMarks : public TNotifyPersistent {
public:
    TEditorMarks();
    TEditorMarks(const TEditorMarks&) = delete;
    TEditorMarks& operator=(const TEditorMarks&) = delete;

    // End of the text.
    TEditorMark& EofMark() noexcept { return FEofMark; }
    const TEditorMark& EofMark() const noexcept { return FEofMark; }
    void SetEofMark(const TEditorMark& V) { FEofMark.Assign(V); }
    // A line break.
    TEditorMark& RetMark() noexcept { return FRetMark; }
    const TEditorMark& RetMark() const noexcept { return FRetMark; }
    void SetRetMark(const TEditorMark& V) { FRetMark.Assign(V); }
    // A row ended by word wrap.
    TEditorMark& WrapMark() noexcept { return FWrapMark; }
    const TEditorMark& WrapMark() const noexcept { return FWrapMark; }
    void SetWrapMark(const TEditorMark& V) { FWrapMark.Assign(V); }
    // A row whose text runs past the last displayable column.
    TEditorMark& HideMark() noexcept { return FHideMark; }
    const TEditorMark& HideMark() const noexcept { return FHideMark; }
    void SetHideMark(const TEditorMark& V) { FHideMark.Assign(V); }
    // A line under the caret row.
    TEditorMark& Underline() noexcept { return FUnderline; }
    const TEditorMark& Underline() const noexcept { return FUnderline; }
    void SetUnderline(const TEditorMark& V) { FUnderline.Assign(V); }

    // Copies the five marks inside one update bracket.
    void Assign(const TPersistent& Source) override;

private:
    TEditorMark FEofMark, FRetMark, FWrapMark, FHideMark, FUnderline;
};

// The editor's default syntax mode. It owns a TEditorFountain and its properties are views onto
// it; any change of the fountain (its colours and brackets included) is a change of the view.
class TEditorViewInfo : public TNotifyPersistent {
public:
    // Owner is the object the view belongs to (the editor, or a TEditorProp); it may be null.
    explicit TEditorViewInfo(TPersistent* Owner = nullptr);
    ~TEditorViewInfo() override;
    TEditorViewInfo(const TEditorViewInfo&) = delete;
    TEditorViewInfo& operator=(const TEditorViewInfo&) = delete;

    TPersistent* Owner() const noexcept { return FOwner; }
    TEditorFountain& Fountain() noexcept { return *FFountain; }
    const TEditorFountain& Fountain() const noexcept { return *FFountain; }

    TEditorBracketCollection& Brackets() noexcept;
    const TEditorBracketCollection& Brackets() const noexcept;
    void SetBrackets(const TFountainBracketCollection& V) { FFountain->SetBrackets(V); }
    TEditorColors& Colors() noexcept { return FFountain->Colors(); }
    const TEditorColors& Colors() const noexcept { return FFountain->Colors(); }
    void SetColors(const TEditorColors& V) { FFountain->SetColors(V); }
    const std::string& Commenter() const noexcept { return FFountain->Commenter(); }
    void SetCommenter(std::string_view V) { FFountain->SetCommenter(V); }
    bool ControlCode() const noexcept { return FFountain->ControlCode(); }
    void SetControlCode(bool V) { FFountain->SetControlCode(V); }
    const std::string& HexPrefix() const noexcept { return FFountain->HexPrefix(); }
    void SetHexPrefix(std::string_view V) { FFountain->SetHexPrefix(V); }
    bool Mail() const noexcept { return FFountain->Mail(); }
    void SetMail(bool V) { FFountain->SetMail(V); }
    const std::string& Quotation() const noexcept { return FFountain->Quotation(); }
    // Keeps only the first character of V (one or two bytes of code page 932); "" clears it.
    void SetQuotation(std::string_view V);
    bool Url() const noexcept { return FFountain->Url(); }
    void SetUrl(bool V) { FFountain->SetUrl(V); }

    // Copies every property inside one update bracket.
    void Assign(const TPersistent& Source) override;

private:
    TPersistent* FOwner;
    std::unique_ptr<TEditorFountain> FFountain;
    TMethod FSubscription;
};

// The column ruler above the text.
class TEditorRuler : public TNotifyPersistent {
public:
    // clNone means the editor's Color.
    TColor BkColor() const noexcept { return FBkColor; }
    void SetBkColor(TColor V) { settings_detail::Store(*this, FBkColor, V); }
    // The scale and the digits.
    TColor Color() const noexcept { return FColor; }
    void SetColor(TColor V) { settings_detail::Store(*this, FColor, V); }
    bool Edge() const noexcept { return FEdge; }
    void SetEdge(bool V) { settings_detail::Store(*this, FEdge, V); }
    // Clamped to 8..10 and rounded down to even: only 8 and 10 occur.
    int GaugeRange() const noexcept { return FGaugeRange; }
    void SetGaugeRange(int V);
    // The caret-column mark.
    TColor MarkColor() const noexcept { return FMarkColor; }
    void SetMarkColor(TColor V) { settings_detail::Store(*this, FMarkColor, V); }
    bool Visible() const noexcept { return FVisible; }
    void SetVisible(bool V) { settings_detail::Store(*this, FVisible, V); }

    void Assign(const TPersistent& Source) override;

private:
    TColor FBkColor = clSilver;
    TColor FColor = clBlack;
    bool FEdge = true;
    int FGaugeRange = 10;
    TColor FMarkColor = clBlack;
    bool FVisible = false;
};

// The line-number bar at the left.
class TEditorLeftbar : public TNotifyPersistent {
public:
    static constexpr int kMinColumn = 1;
    static constexpr int kMaxColumn = 8;
    static constexpr int kMaxMargin = 100;

    // clNone means the editor's Color.
    TColor BkColor() const noexcept { return FBkColor; }
    void SetBkColor(TColor V) { settings_detail::Store(*this, FBkColor, V); }
    // The digits.
    TColor Color() const noexcept { return FColor; }
    void SetColor(TColor V) { settings_detail::Store(*this, FColor, V); }
    // Number of digits; clamped to 1..8.
    int Column() const noexcept { return FColumn; }
    void SetColumn(int V) { settings_detail::Store(*this, FColumn, std::clamp(V, kMinColumn, kMaxColumn)); }
    bool Edge() const noexcept { return FEdge; }
    void SetEdge(bool V) { settings_detail::Store(*this, FEdge, V); }
    // Pixels; clamped to 0..100.
    int LeftMargin() const noexcept { return FLeftMargin; }
    void SetLeftMargin(int V) { settings_detail::Store(*this, FLeftMargin, std::clamp(V, 0, kMaxMargin)); }
    int RightMargin() const noexcept { return FRightMargin; }
    void SetRightMargin(int V) { settings_detail::Store(*this, FRightMargin, std::clamp(V, 0, kMaxMargin)); }
    bool ShowNumber() const noexcept { return FShowNumber; }
    void SetShowNumber(bool V) { settings_detail::Store(*this, FShowNumber, V); }
    TEditorShowNumberMode ShowNumberMode() const noexcept { return FShowNumberMode; }
    void SetShowNumberMode(TEditorShowNumberMode V) { settings_detail::Store(*this, FShowNumberMode, V); }
    bool Visible() const noexcept { return FVisible; }
    void SetVisible(bool V) { settings_detail::Store(*this, FVisible, V); }
    // Count from 0 instead of 1.
    bool ZeroBase() const noexcept { return FZeroBase; }
    void SetZeroBase(bool V) { settings_detail::Store(*this, FZeroBase, V); }
    // Pad numbers with zeros to Column digits.
    bool ZeroLead() const noexcept { return FZeroLead; }
    void SetZeroLead(bool V) { settings_detail::Store(*this, FZeroLead, V); }

    void Assign(const TPersistent& Source) override;

private:
    TColor FBkColor = clSilver;
    TColor FColor = clBlack;
    int FColumn = 4;
    bool FEdge = true;
    int FLeftMargin = 8;
    int FRightMargin = 4;
    bool FShowNumber = true;
    TEditorShowNumberMode FShowNumberMode = nmRow;
    bool FVisible = false;
    bool FZeroBase = false;
    bool FZeroLead = false;
};

// The bar at the far left that shows row marks. Widths and margins clamped to 0..100.
class TEditorImagebar : public TNotifyPersistent {
public:
    static constexpr int kMaxWidth = 100;

    // Reserved for the digit marks 0..9.
    int DigitWidth() const noexcept { return FDigitWidth; }
    void SetDigitWidth(int V) { SetWidth(FDigitWidth, V); }
    int LeftMargin() const noexcept { return FLeftMargin; }
    void SetLeftMargin(int V) { SetWidth(FLeftMargin, V); }
    // Reserved for the marks 10..15.
    int MarkWidth() const noexcept { return FMarkWidth; }
    void SetMarkWidth(int V) { SetWidth(FMarkWidth, V); }
    int RightMargin() const noexcept { return FRightMargin; }
    void SetRightMargin(int V) { SetWidth(FRightMargin, V); }
    bool Visible() const noexcept { return FVisible; }
    void SetVisible(bool V) { settings_detail::Store(*this, FVisible, V); }

    // The bar's width in pixels: the margins and both widths when visible, else 0.
    int Width() const noexcept { return FVisible ? FLeftMargin + FDigitWidth + FMarkWidth + FRightMargin : 0; }

    void Assign(const TPersistent& Source) override;

private:
    void SetWidth(int& Field, int V) { settings_detail::Store(*this, Field, std::clamp(V, 0, kMaxWidth)); }

    int FDigitWidth = 8;
    int FLeftMargin = 2;
    int FMarkWidth = 0;
    int FRightMargin = 2;
    bool FVisible = true;
};

// 1..4; values outside are clamped.
using TEditorSpeedRange = int;

// Scrolling acceleration. A plain persistent: it has no change event.
class TEditorSpeed : public TPersistent {
public:
    static constexpr TEditorSpeedRange kMinSpeed = 1;
    static constexpr TEditorSpeedRange kMaxSpeed = 4;

    TEditorSpeedRange CaretVerticalAc() const noexcept { return FCaretVerticalAc; }
    void SetCaretVerticalAc(TEditorSpeedRange V) { FCaretVerticalAc = std::clamp(V, kMinSpeed, kMaxSpeed); }
    TEditorSpeedRange PageVerticalRange() const noexcept { return FPageVerticalRange; }
    void SetPageVerticalRange(TEditorSpeedRange V) { FPageVerticalRange = std::clamp(V, kMinSpeed, kMaxSpeed); }
    TEditorSpeedRange PageVerticalRangeAc() const noexcept { return FPageVerticalRangeAc; }
    void SetPageVerticalRangeAc(TEditorSpeedRange V) { FPageVerticalRangeAc = std::clamp(V, kMinSpeed, kMaxSpeed); }
    // Compute the syntax state of every row after loading, not only of the first screens.
    bool InitBracketsFull() const noexcept { return FInitBracketsFull; }
    void SetInitBracketsFull(bool V) { FInitBracketsFull = V; }

    void Assign(const TPersistent& Source) override;

private:
    TEditorSpeedRange FCaretVerticalAc = 2;
    TEditorSpeedRange FPageVerticalRange = 2;
    TEditorSpeedRange FPageVerticalRangeAc = 2;
    bool FInitBracketsFull = false;
};

// Where a failed step of a settings copy is reported. The default sink writes one line to
// std::cerr. SetSettingsLog returns the sink it replaces; an empty function restores the default.
using TSettingsLog = std::function<void(std::string_view Message)>;
TSettingsLog SetSettingsLog(TSettingsLog Log);

// Runs Copy, the copy of one property named Property. An error it raises is reported to the
// settings log and swallowed, so that a copy of many properties goes on with the next one.
// Returns false when Copy failed.
bool CopySettingsProperty(std::string_view Property, const std::function<void()>& Copy) noexcept;

// A named set of editor settings for files with the extensions in FileExtList. Make it with
// TStoreComponent::Create<TEditorProp>(). Setting an owned object copies it.
class TEditorProp : public TFileExtComponent {
public:
    explicit TEditorProp(TCreateKey Key);

    // Each fires when its setter changes the value.
    TNotifyEvent OnColorChange;
    TNotifyEvent OnHitStyleChange;
    TNotifyEvent OnScrollBarsChange;
    TNotifyEvent OnWordWrapChange;

    TColor Color() const noexcept { return FColor; }
    void SetColor(TColor V);
    TEditorCaret& Caret() noexcept { return FCaret; }
    const TEditorCaret& Caret() const noexcept { return FCaret; }
    void SetCaret(const TEditorCaret& V) { FCaret.Assign(V); }
    TFont& Font() noexcept { return FFont; }
    const TFont& Font() const noexcept { return FFont; }
    void SetFont(const TFont& V) { FFont.Assign(V); }
    TEditorHitStyle HitStyle() const noexcept { return FHitStyle; }
    void SetHitStyle(TEditorHitStyle V);
    TEditorImagebar& Imagebar() noexcept { return FImagebar; }
    const TEditorImagebar& Imagebar() const noexcept { return FImagebar; }
    void SetImagebar(const TEditorImagebar& V) { FImagebar.Assign(V); }
    TEditorLeftbar& Leftbar() noexcept { return FLeftbar; }
    const TEditorLeftbar& Leftbar() const noexcept { return FLeftbar; }
    void SetLeftbar(const TEditorLeftbar& V) { FLeftbar.Assign(V); }
    TEditorMargin& Margin() noexcept { return FMargin; }
    const TEditorMargin& Margin() const noexcept { return FMargin; }
    void SetMargin(const TEditorMargin& V) { FMargin.Assign(V); }
    TEditorMarks& Marks() noexcept { return FMarks; }
    const TEditorMarks& Marks() const noexcept { return FMarks; }
    void SetMarks(const TEditorMarks& V) { FMarks.Assign(V); }
    // Sorted; duplicates (compared without regard to ASCII case) are ignored.
    TStringList& ReserveWordList() noexcept { return *FReserveWordList; }
    const TStringList& ReserveWordList() const noexcept { return *FReserveWordList; }
    void SetReserveWordList(const TStrings& V) { FReserveWordList->Assign(V); }
    TEditorRuler& Ruler() noexcept { return FRuler; }
    const TEditorRuler& Ruler() const noexcept { return FRuler; }
    void SetRuler(const TEditorRuler& V) { FRuler.Assign(V); }
    TScrollStyle ScrollBars() const noexcept { return FScrollBars; }
    void SetScrollBars(TScrollStyle V);
    TEditorSpeed& Speed() noexcept { return FSpeed; }
    const TEditorSpeed& Speed() const noexcept { return FSpeed; }
    void SetSpeed(const TEditorSpeed& V) { FSpeed.Assign(V); }
    TEditorViewInfo& View() noexcept { return FView; }
    const TEditorViewInfo& View() const noexcept { return FView; }
    void SetView(const TEditorViewInfo& V) { FView.Assign(V); }
    bool WordWrap() const noexcept { return FWordWrap; }
    void SetWordWrap(bool V);
    TEditorWrapOption& WrapOption() noexcept { return FWrapOption; }
    const TEditorWrapOption& WrapOption() const noexcept { return FWrapOption; }
    void SetWrapOption(const TEditorWrapOption& V) { FWrapOption.Assign(V); }

    // From another TEditorProp: copies every property and FileExtList, each on its own. A
    // property that fails to copy is logged (see CopySettingsProperty) and the copy goes on.
    void Assign(const TPersistent& Source) override;

protected:
    void AfterConstruction() override;

private:
    TColor FColor = clWindow;
    TEditorCaret FCaret;
    TFont FFont;
    TEditorHitStyle FHitStyle = hsSelect;
    TEditorImagebar FImagebar;
    TEditorLeftbar FLeftbar;
    TEditorMargin FMargin;
    TEditorMarks FMarks;
    std::unique_ptr<TStringList> FReserveWordList;
    TEditorRuler FRuler;
    TScrollStyle FScrollBars = ssNone;
    TEditorSpeed FSpeed;
    TEditorViewInfo FView;
    bool FWordWrap = false;
    TEditorWrapOption FWrapOption;
};

}  // namespace orvane
