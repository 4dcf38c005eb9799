// The editor's logic without a window: the document it shows, its display settings, the cell
// grid, the scroll position, the caret and the selection, editing, row marks and the messages.
// It reaches the screen only through an IEditorSurface; the Qt control TEditor derives from it
// and adds events and painting.
#pragma once

#include "base/font.h"
#include "document/document.h"
#include "document/documentview.h"
#include "editor/editorsettings.h"
#include "editor/findtext.h"
#include "editor/lines.h"
#include "editor/rowplan.h"
#include "editor/searchtext.h"
#include "editor/surface.h"
#include "files/charmap.h"
#include "modes/parser.h"
#include "platform/messages.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// The selection state of an editor.
enum TEditorSelectState : std::uint8_t { ssNoSelection = 0, ssAnchored = 1, ssSelected = 2, ssHit = 3 };
enum TEditorSelectionMode : std::uint8_t { smStream = 0, smBox = 1 };
// Dragging a selection with the mouse: pressed inside it, then moved far enough to drag it.
enum TEditorDragState : std::uint8_t { dsNone = 0, dsPressed = 1, dsDragging = 2 };
// The four block-indent commands.
enum class TBlockIndent : std::uint8_t { AddSpace, RemoveSpace, AddTab, RemoveTab };

class TEditorController : public IDocumentView {
public:
    // Surface null: a surface of no size that shows nothing (tests set their own).
    explicit TEditorController(IEditorSurface* Surface = nullptr);
    ~TEditorController() override;
    TEditorController(const TEditorController&) = delete;
    TEditorController& operator=(const TEditorController&) = delete;

    void SetSurface(IEditorSurface* Surface);
    IEditorSurface& Surface() const noexcept { return *FSurface; }

    // ---- the document
    TEditorScreenStrings& Document() const noexcept { return *FDocument; }
    // Shows Other's document from now on (this editor's own document goes when no other shows it).
    void AttachTo(TEditorController& Other);
    int RowCount() const { return FDocument->GetCount(); }
    bool Modified() const noexcept { return FModified; }
    // False: the text as it is now is the saved one (undo or redo coming back to it clears the
    // mark again); true: it differs from any saved text.
    void SetModified(bool Value) {
        FModified = Value;
        if (Value)
            FDocument->UndoEngine().ForgetSaved();
        else
            FDocument->UndoEngine().MarkSaved();
    }
    // The document's logical lines as a string list.
    TEditorStrings& Lines() noexcept { return FLines; }
    // Setting Lines: one line per string; undo emptied, rows laid out and tokenized again.
    void SetLines(const TStrings& Value) { FLines.SetTextStr(Value.GetTextStr()); }
    // Also while a sliced load is still adding rows to the document.
    bool ReadOnly() const noexcept { return FReadOnly || FDocument->LayingOut(); }
    // Not while a selection is dragged.
    void SetReadOnly(bool Value) {
        if (FDragState == dsNone) FReadOnly = Value;
    }

    // ---- settings; setting an object copies it
    TEditorCaret& Caret() noexcept { return FCaret; }
    void SetCaret(const TEditorCaret& Value) { FCaret.Assign(Value); }
    TEditorMargin& Margin() noexcept { return FMargin; }
    void SetMargin(const TEditorMargin& Value) { FMargin.Assign(Value); }
    TEditorMarks& Marks() noexcept { return FMarks; }
    void SetMarks(const TEditorMarks& Value) { FMarks.Assign(Value); }
    TEditorViewInfo& View() noexcept { return FView; }
    void SetView(const TEditorViewInfo& Value) { FView.Assign(Value); }
    TEditorRuler& Ruler() noexcept { return FRuler; }
    void SetRuler(const TEditorRuler& Value) { FRuler.Assign(Value); }
    TEditorLeftbar& Leftbar() noexcept { return FLeftbar; }
    void SetLeftbar(const TEditorLeftbar& Value) { FLeftbar.Assign(Value); }
    TEditorImagebar& Imagebar() noexcept { return FImagebar; }
    void SetImagebar(const TEditorImagebar& Value) { FImagebar.Assign(Value); }
    TEditorSpeed& Speed() noexcept { return FSpeed; }
    void SetSpeed(const TEditorSpeed& Value) { FSpeed.Assign(Value); }
    TFont& Font() noexcept { return FFont; }
    void SetFont(const TFont& Value) { FFont.Assign(Value); }
    TColor Color() const noexcept { return FColor; }
    void SetColor(TColor Value);
    TEditorHitStyle HitStyle() const noexcept { return FHitStyle; }
    void SetHitStyle(TEditorHitStyle Value);
    TScrollStyle ScrollBars() const noexcept { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // The syntax mode; null draws with the View's default mode. The editor follows its changes.
    TFountain* Fountain() const noexcept { return FFountain; }
    void SetFountain(TFountain* Value);
    bool WordWrap() const noexcept { return FDocument->WordWrap(); }
    void SetWordWrap(bool Value) { FDocument->SetWordWrap(Value); }
    TEditorWrapOption& WrapOption() noexcept { return FDocument->WrapOption(); }
    void SetWrapOption(const TEditorWrapOption& Value) { FDocument->WrapOption().Assign(Value); }
    // Copies a complete set of settings; word wrap is applied so that the text is wrapped once.
    void AssignProp(TEditorProp& Prop);
    void CopyToProp(TEditorProp& Prop);

    // ---- the cell grid (pixels)
    int CharWidth() const noexcept { return FCharWidth; }
    int FontHeight() const noexcept { return FFontHeight; }
    int RowHeight() const override { return FRowHeight; }
    int TextTop() const noexcept { return FMargin.Top() + RulerHeight(); }
    int TextLeft() const noexcept { return FMargin.Left() + ImagebarWidth() + LeftbarWidth(); }
    int RulerHeight() const noexcept { return FRuler.Visible() ? (FRuler.Edge() ? 11 : 10) : 0; }
    int ImagebarWidth() const noexcept { return FImagebar.Width(); }
    int LeftbarWidth() const noexcept;
    int LeftbarDigits() const noexcept { return FLeftbarDigits; }
    int VisibleRowCount() const noexcept { return FVisibleRowCount; }
    int VisibleColCount() const noexcept { return FVisibleColCount; }
    // Recomputes the metrics from the font and the settings.
    void InitDrawInfo();
    // Tests and benchmarks: a fixed cell instead of the font's (0 to go back to the font's).
    void SetFixedMetrics(int CharWidth, int FontHeight);

    // ---- caret and scrolling
    int Row() const noexcept { return FRow; }
    int Col() const noexcept { return FCol; }
    // Moves the caret to a row (clamped to the rows a caret may stand on) and corrects the
    // column for that row as the caret settings say.
    void SetRow(int Value);
    // Moves the caret to a column (0..1001), stepping off the second byte of a two-byte
    // character and out of a tab in the direction of the move.
    void SetCol(int Value);
    // Row, then column, stepping back off a trail byte and out of a tab; the caret is shown once.
    void SetRowCol(int Row, int Col);
    int TopRow() const override { return FTopRow; }
    void SetTopRow(int Value) override;
    int TopCol() const noexcept { return FTopCol; }
    void SetTopCol(int Value);
    // Scrolls by N rows keeping the caret's place on the screen (Page Up and Down).
    void ScrollByRows(int N);
    // Brings the caret into view.
    void ScrollCaret();
    // The scroll bars were moved to these positions (by the user).
    void ScrollBarsMoved(int TopRow, int TopCol);
    // The word move of Ctrl+Left and Ctrl+Right from (Row, Col); true when the position changed.
    bool WordMove(int& Row, int& Col, int Dir);
    // Puts the caret Offset character offsets (line breaks count 2) after the start of row
    // FromRow, at the display width of the bytes before that point; past the text, at its end.
    void MoveCaretByOffset(int FromRow, int Offset);
    // The character offset of (Row, Col) counted from the start of row FromRow.
    int OffsetOf(int FromRow, int Row, int Col) const;
    bool OverwriteMode() const noexcept { return FOverwriteMode; }
    void SetOverwriteMode(bool Value);
    // The caret's place and shape in pixels (a search hit shown by the caret: the hit's block).
    TRect CaretRect() const;
    bool CaretBlinkOn() const noexcept { return FCaretBlinkOn; }
    // The blink phase of the caret, as the surface's timer moves it.
    void SetCaretBlinkOn(bool Value);

    // ---- selection
    TEditorSelectState SelectionState() const noexcept { return FSelectionState; }
    bool Selected() const noexcept { return FSelectionState == ssSelected; }
    TEditorSelectionMode SelectionMode() const noexcept { return FSelectionMode; }
    void SetSelectionMode(TEditorSelectionMode Value);
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    int HitLength() const noexcept { return FHitLength; }
    void SetHitLength(int Value);
    void SelectAll();
    // Starts a selection at the caret / follows the caret with the selection.
    void StartSelection();
    void UpdateSelection();
    // The selection in rows and byte indexes (the end byte is the last selected one).
    int SelStartRow() const noexcept { return FSelStartRow; }
    int SelStartCol() const noexcept { return FSelStartByte; }
    int SelEndRow() const noexcept { return FSelEndRow; }
    int SelEndCol() const noexcept { return FSelEndByte; }
    // Sets the selection as drawn directly (tests of painting).
    void SetSelectionDraw(TEditorSelectState State, TEditorSelectionMode Mode, int StartRow, int StartCol, int EndRow,
                          int EndCol);

    // ---- editing: each operation is one change of the document, one undo step
    // Types S at the caret (over the selection when there is one); nothing when ReadOnly.
    void InsertText(std::string_view S);
    // Replaces the selection by S, or inserts S at the caret; never overwrites.
    void SetSelText(std::string_view S);
    // Pastes the lines of S as a rectangle at the caret or over the selection.
    void InsertBoxText(std::string_view S);
    void DeleteSelection();
    void DeleteRow(int Row);
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void IndentBlock();
    void UnindentBlock();
    void TabIndentBlock();
    void TabUnindentBlock();
    // Enter, Tab, Backspace and Delete as the keys give them.
    void KeyEnter(bool Shift);
    void KeyTab(TKeyModifiers Modifiers);
    void KeyBackspace();
    void KeyDelete();
    // A typed character as WM_CHAR delivers it (one byte; a lead byte waits for its trail).
    void KeyChar(unsigned char Byte);
    // Text typed or committed by the input method, as UTF-8.
    void InputUtf8(std::string_view Text);
    virtual void Undo();
    virtual void Redo();
    bool CanUndo() const { return FDocument->UndoEngine().CanUndo(); }
    bool CanRedo() const { return FDocument->UndoEngine().CanRedo(); }
    int UndoListMax() const { return FDocument->UndoEngine().Max(); }
    void SetUndoListMax(int Value) { FDocument->UndoEngine().SetMax(Value); }
    bool WantTabs() const noexcept { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WantReturns() const noexcept { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // Characters the code page cannot hold, kept for the document (null: they become 〓). By
    // default the editor keeps its own map, shared with the editors attached to its document, so
    // that copy and paste keep every character.
    void SetCharMap(TCharMap* Map) { FCharMap = Map; }
    TCharMap* CharMap() const noexcept { return FCharMap; }

    // ---- search
    // Finds S after the selection or hit (before it, searching up) or from the caret, and shows
    // the hit as HitStyle says, scrolled into view; false when there is none, the caret and the
    // selection staying as they were.
    virtual bool FindText(std::string_view S, TSearchOptions Options);
    // Finds S inside the selection: the first hit (searching up: the last), which then becomes
    // the selection, scrolled into view; false, the selection staying, when there is none. The
    // rows of a box selection are searched each on its own.
    bool FindInSelection(std::string_view S, TSearchOptions Options);
    // The find of the search commands: the next hit after the selection or hit (before it,
    // searching up) or from the caret, going on from the other end of the text when there is
    // none that way. The hit becomes the selection, scrolled into view. Nothing changes when the
    // text holds no hit at all.
    enum class TFindResult : std::uint8_t { NotFound, Found, Wrapped };
    TFindResult FindNextHit(std::string_view S, TSearchOptions Options);

    // ---- replace. Each call changes the document once: one undo step. A read-only editor
    // replaces nothing.
    // Replaces the shown hit or the selection by R; the caret goes after the new text, or before
    // it when Options searches upwards, so that the next FindText never looks inside it. False
    // when nothing is shown or selected (a box selection counts as none).
    bool ReplaceHit(std::string_view R, TSearchOptions Options);
    // Replaces by R every hit of S from the caret towards the end (upwards: towards the start),
    // starting with the shown hit or the selection; with InSelection, every hit inside the
    // selection, which then covers the replaced text. The hits are those of the text before any
    // replacement, so text this call inserts is never searched: it always ends. Returns the count.
    int ReplaceAll(std::string_view S, std::string_view R, TSearchOptions Options, bool InSelection = false);
    // Replaces by R every hit of S in the whole text, as one change; the caret goes after the
    // last replacement. Returns the count.
    int ReplaceAllInText(std::string_view S, std::string_view R, TSearchOptions Options);
    // Replacing one hit after another, each first shown and, with soReplaceConfirm, asked for:
    // Yes replaces it, No leaves it, Cancel stops, All replaces it and the rest without asking
    // (as one undo step). Without soReplaceAll only the first hit is handled. Without
    // soReplaceConfirm and with soReplaceAll it is ReplaceAll.
    enum TReplaceAnswer : std::uint8_t { raYes, raNo, raCancel, raAll };
    struct TReplaceResult {
        int Count = 0;       // hits replaced
        bool Found = false;  // at least one hit was found
        bool All = false;    // All was answered: confirming is over
        bool Cancelled = false;
    };
    template <class TAsk>  // TReplaceAnswer Ask()
    TReplaceResult Replace(std::string_view S, std::string_view R, TSearchOptions Options, TAsk&& Ask);

    // ---- row marks and edit-control messages
    virtual void AddRowMark(int Row, int Mark);
    virtual void RemoveRowMark(int Row, int Mark);
    virtual void JumpToRowMark(int Mark);
    // The marks of a row; the empty set outside the document.
    TRowMarkSet RowMarkSet(int Row) const;
    void SetRowMarkSet(int Row, TRowMarkSet Value);
    // Answers the edit-control messages; Handled tells whether Msg was one of them.
    TMessageLong EditControlMessage(unsigned Msg, TMessageParam WParam, TMessageLong LParam, bool& Handled);
    TMessageLong Perform(unsigned Msg, TMessageParam WParam = 0, TMessageLong LParam = 0);

    // ---- keyboard and mouse
    void KeyDown(unsigned Key, TKeyModifiers Modifiers, bool Repeat);
    void MouseDown(TMouseButtons Button, TKeyModifiers Modifiers, TPoint Position);
    void MouseMove(TMouseButtons Buttons, TKeyModifiers Modifiers, TPoint Position);
    void MouseUp(TMouseButtons Button, TKeyModifiers Modifiers, TPoint Position);
    // A turn of the wheel, in eighths of a degree (120 a notch).
    void Wheel(int AngleDelta);
    // The Ctrl key went up while a selection is dragged: moving, not copying.
    void CtrlReleased();
    // While the mouse holds a selection nothing is typed.
    bool MouseHoldsSelection() const noexcept { return FDragState != dsNone || (FButtons & mbLeft); }
    // The row and column under a point of the surface; Nearest picks the nearer cell boundary.
    void PixelToRowCol(int X, int Y, bool Nearest, int& Row, int& Col) const;
    // The row and byte index under a point; false (Index -1) beyond the row's end or the text.
    bool PointToRowCol(TPoint Position, int& Row, int& Index) const;
    // The token of the active mode under a point: its text and kind; false when not over text.
    bool TokenAtPos(TPoint Position, std::string& Token, TTokenKind& Kind);
    // Selects the token of the active mode / the run of one character class under a point.
    void SelectTokenAtPos(TPoint Position);
    void SelectWordAtPos(TPoint Position);
    // The modifier keys that messages sent through Perform see (tests set them).
    void SetMessageKeyState(TKeyModifiers Modifiers) { FMessageModifiers = Modifiers; }
    TEditorDragState DragState() const noexcept { return FDragState; }

    // ---- what is drawn
    TRowPlan PlanRow(int Row);
    // What the line-number bar shows on a row (empty for none).
    std::string LeftbarText(int Row);
    TRowPaintSettings PaintSettings();
    TSelectionDraw SelectionDraw() const;
    // Rows of the view from their first to last visible row.
    void InvalidateRow(int Row) override;
    void InvalidateRows(int From, int To);
    void InvalidateLeftbar(int From, int To);

    // ---- what the document asks of its editors
    int TabSpaceCount() const override;
    const TCharSet& WordDelimiters() const override { return FDelimiters; }
    bool Loading() const override { return FLoading > 0; }
    bool Destroying() const override { return FDestroying; }
    TFountain* ActiveFountain() const override;
    int ScreenHeight() const override;
    bool InitBracketsFull() const override { return FSpeed.InitBracketsFull(); }
    bool Focused() const override { return FSurface->HasFocus(); }
    int CaretRow() const override { return FRow; }
    int CaretCol() const override { return FCol; }
    void SetCaretRowCol(int Row, int Col) override { SetRowCol(Row, Col); }
    void LockCaret() override;
    void UnlockCaret() override;
    int CaretLocks() const noexcept { return FCaretLocks; }
    void DropSelection() override;
    void RememberPlaces() override;
    void RestorePlaces() override;
    void RefreshView() override;
    void DocumentChanged() override;

    // Form loading: while it lasts the document neither wraps nor tokenizes; its end lays out
    // and tokenizes what was loaded and clears the modified flag.
    void BeginLoad() { ++FLoading; }
    void EndLoad();

    // The surface changed size.
    void Resized();

protected:
    // The word delimiters of new editors; a subclass may choose others.
    virtual const TCharSet& GetDefaultDelimiters() const { return DefaultDelimiters(); }
    // A selection dragged with the mouse was released at the caret: moved, or copied with Ctrl.
    void DropDraggedSelection(bool Copy);
    // Ends a destroyed control's ties to its mode and settings before its members go.
    void Detach();

    void Invalidate(const TRect& Area);
    void ScrollArea(const TRect& Area, int Dx, int Dy);
    void UpdateScrollBars();

    // Where FindText and FindNextHit start: after (upwards: before) the shown hit or selection,
    // else at the caret.
    TDocumentSearchFrom SearchStart(TSearchOptions Options) const;

    // Replace: the text byte offsets the caret, the selection or a shown hit take, the hits of S
    // from there, and one document change that puts R in place of each.
    struct TByteRange {
        std::size_t Start = 0, End = 0;
    };
    // Drops a shown hit or selection, the caret going to its start (upwards: its end).
    void StartReplaceAtShown(TSearchOptions Options);
    bool ShownRange(const std::vector<std::size_t>& Starts, TByteRange& Range) const;
    enum class TReplaceScope : std::uint8_t { FromCaret, Selection, Text };
    int ReplaceIn(TReplaceScope Scope, std::string_view S, std::string_view R, TSearchOptions Options);
    void ReplaceRanges(const std::string& Text, const std::vector<std::size_t>& Starts, std::vector<TByteRange> Hits,
                       std::string_view R);

    // Rows, columns and bytes.
    void AdjustCol(bool RowChanged, int Dir);
    void UpdateCaret();
    void Remember(bool RowChanged, int Col);
    std::string RowClasses(int Row) const;
    int RowLength(int Row) const;
    // Display columns of a row's whole text (it may run past the last shown column).
    int RowWidth(int Row) const;
    // The byte index of display column Col in Row (at most the row's length) and back.
    int ByteOfCol(int Row, int Col) const;
    int ColOfByte(int Row, int Byte) const;
    // The first column of the character (a tab, a two-byte character) that covers Col.
    int CharStartCol(int Row, int Col) const;
    // The byte the caret stands before: past the last shown column the column cannot tell it.
    int CaretByte() const;
    // Puts the caret before a byte of a row.
    void PlaceCaretAtByte(int Row, int Byte);
    // The character offset of byte Byte of Row counted from the start of row FromRow.
    int OffsetOfByte(int FromRow, int Row, int Byte) const;
    // The length a row counts for in character offsets: text, plus 2 for a line break (plus 1
    // for the end of the text when Eot is set).
    int OffsetLength(int Row, bool Eot) const;

    std::shared_ptr<TEditorScreenStrings> FDocument;
    TEditorViewInfo FView;
    TEditorCaret FCaret;
    TEditorMarks FMarks;
    TEditorMargin FMargin;
    TEditorImagebar FImagebar;
    TEditorLeftbar FLeftbar;
    TEditorRuler FRuler;
    TEditorSpeed FSpeed;
    TFont FFont;
    TColor FColor = clWhite;
    TEditorHitStyle FHitStyle = hsSelect;
    TScrollStyle FScrollBars = ssBoth;
    TFountain* FFountain = nullptr;
    TCharSet FDelimiters;

    // The cell grid.
    int FFixedCharWidth = 0, FFixedFontHeight = 0;
    int FCharWidth = 8, FFontHeight = 16, FRowHeight = 16;
    int FVisibleRowCount = 1, FVisibleColCount = 1;
    int FLeftbarDigits = 4;

    // Caret, scrolling and selection.
    int FRow = 0, FCol = 0;
    int FTopRow = 0, FTopCol = 0;
    int FCaretLocks = 0;
    bool FCaretBlinkOn = true;
    TEditorSelectState FSelectionState = ssNoSelection;
    TEditorSelectionMode FSelectionMode = smStream;
    int FDispStartRow = 0, FDispStartCol = 0, FDispEndRow = 0, FDispEndCol = 0;  // columns, as drawn

private:
    void Attach(std::shared_ptr<TEditorScreenStrings> Document);
    void SettingsChanged(TObject* Sender);
    void FountainChanged(TObject* Sender);
    void FountainFreed(TObject* Sender);
    void RepaintChange();
    void Notify(TEditorNews What, bool Selected = false) { FSurface->News(What, Selected); }
    int ComputeLeftbarDigits() const;
    TRect RulerArea() const;
    void SetCursorKind(int Kind);
    // The bytes [Begin, End) of a row inside the display columns [FromCol, ToCol): the
    // characters whose first column lies there.
    void BoxBytes(int Row, int FromCol, int ToCol, int& Begin, int& End) const;
    // Rows of the selection with the selected part cut out; each row's data slot holds the cut's
    // byte index.
    void RowsWithoutSelection(TEditorStringList& Rows) const;
    // The row from which an edit at Row places the caret by offset (unchanged by the edit).
    int EditBase(int Row) const;
    // Display width of a row's leading blanks (spaces, full-width spaces, tabs); 0 when empty.
    int IndentWidth(std::string_view Text) const;
    void ChangeBlockIndent(TBlockIndent Kind);
    // Finds the token under a point, scanning its whole line; false when not over text.
    bool FindTokenAt(TPoint Position, bool Words, int& FirstRow, int& Start, int& Length, TTokenKind& Kind,
                     std::string& Token);
    void RepaintSelectionChange(int OldFrom, int OldTo);
    // Box selection while Alt is held with a drag or with Shift and the arrows (Held); when it
    // goes, the stream mode comes back unless the box mode was chosen as a mode.
    void UseBoxWhile(bool Held);

    IEditorSurface* FSurface;
    // The last edit of a run of typing, Backspace or Delete presses: the next one of the same
    // kind with the caret where that one left it joins its undo step.
    friend class TTypingRun;
    enum class TTypingKind : std::uint8_t { None, Chars, Backspace, Delete };
    struct TTyping {
        TTypingKind Kind = TTypingKind::None;
        int Row = 0, Col = 0;
        std::uint64_t State = 0;  // the undo state the edit left
    } FTyping;
    // The caret, the selection and the top row by line and byte while the rows are laid out again.
    struct TPlaces {
        bool Kept = false;
        bool CaretInView = false;
        TEditorSelectState State = ssNoSelection;
        TEditorScreenStrings::TLinePlace Caret, Top, Anchor, SelStart, SelEnd;
        int AnchorCol = 0, DispStartCol = 0, DispEndCol = 0;
    } FPlaces;
    // The caret's byte where its column cannot tell it (Byte -1: none).
    struct TExactCaret {
        int Row = 0, Col = 0, Byte = -1;
    } FExact;
    bool FOverwriteMode = false;
    int FSelStartRow = 0, FSelStartByte = 0, FSelEndRow = 0, FSelEndByte = 0;  // bytes; the end is inclusive
    int FAnchorRow = 0, FAnchorByte = 0, FAnchorCol = 0;
    bool FHitFlag = false;
    int FHitLength = 0;
    int FRememberedCol = 0;
    bool FRemembered = false;
    int FDeferCaret = 0;
    bool FKeyRepeat = false;
    TKeyModifiers FMessageModifiers = kmNone;
    TMouseButtons FButtons = mbNone;
    // Mouse: the drag state, the press point, and the left-margin row selection.
    TEditorDragState FDragState = dsNone;
    TPoint FPressPoint;
    bool FRowSelecting = false;
    bool FBoxByModifier = false;  // the box mode came with Alt, not as the chosen mode
    int FRowSelectAnchor = 0;
    int FCursorKind = -1;
    int FWheelDelta = 0;
    int FLastTabWidth = 8;

    bool FModified = false;
    bool FReadOnly = false;
    bool FWantTabs = true;
    bool FWantReturns = true;
    std::shared_ptr<TCharMap> FOwnCharMap;
    TCharMap* FCharMap = nullptr;
    TEditorStrings FLines{*this};
    int FPendingLead = -1;  // a lead byte typed, waiting for its trail
    int FImeSkip = 0;       // bytes of an input-method result that come again as characters
    int FLoading = 0;
    bool FDestroying = false;
};

// Holds an editor's caret lock for one operation, released on every exit.
template <class TAsk>
TEditorController::TReplaceResult TEditorController::Replace(std::string_view S, std::string_view R,
                                                             TSearchOptions Options, TAsk&& Ask) {
    TReplaceResult result;
    if (S.empty() || FReadOnly) return result;
    if (!(Options & soReplaceConfirm)) {
        if (Options & soReplaceAll) {
            result.Count = ReplaceAll(S, R, Options);
            result.Found = result.Count > 0;
            return result;
        }
    }
    // A shown hit or selection is looked at first: the search starts at its start (its end,
    // upwards).
    StartReplaceAtShown(Options);
    while (FindText(S, Options)) {
        result.Found = true;
        const TReplaceAnswer answer = (Options & soReplaceConfirm) ? Ask() : raYes;
        if (answer == raCancel) {
            result.Cancelled = true;
            break;
        }
        if (answer == raAll) {
            result.All = true;
            result.Count += ReplaceAll(S, R, Options);
            break;
        }
        if (answer == raYes) result.Count += ReplaceHit(R, Options);
        if (!(Options & soReplaceAll)) break;
    }
    return result;
}

class TEditorCaretLock {
public:
    explicit TEditorCaretLock(TEditorController& Editor) : FEditor(Editor) { FEditor.LockCaret(); }
    ~TEditorCaretLock() { FEditor.UnlockCaret(); }
    TEditorCaretLock(const TEditorCaretLock&) = delete;
    TEditorCaretLock& operator=(const TEditorCaretLock&) = delete;

private:
    TEditorController& FEditor;
};

}  // namespace orvane
