// The command table: every user command of the main window with its caption, category, built-in
// shortcut, enabling rule and hint; the main menu and the default item lists; the rules as
// functions of a small state, so that menus, toolbar and tests agree without a window.
#pragma once

#include "app/shortcut.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// When a command is enabled (and, for ToolBar to BoxMode, checked).
enum class TCommandRule : std::uint8_t {
    Always,        // enabled; without a document it does nothing where it needs one
    CanUndo,       // U: an editor is active and can undo
    CanRedo,       // R: an editor is active and can redo
    Selected,      // S: an editor is active with a selection
    Clipboard,     // P: an editor is active and the clipboard holds text
    MultiRow,      // M: the selection spans more than one row
    HasLines,      // L: the active editor has at least one line
    Document,      // D: a document is active
    Editor,        // E: an editor is active
    ToolBar,       // c1 … c5: enabled, checked while that part of the window is shown
    StatusBar,
    FileList,
    CodeExplorer,
    MessagePanel,
    BoxMode,       // an editor is active; checked while it selects boxes
    Never,         // no handler: always disabled
};

struct TCommandDef {
    std::string_view Name;      // "actSave": settings keys and item lists use it
    std::string_view Category;  // empty for the bookmark commands and actNewWindow
    std::string_view Caption;   // "&" marks the accelerator
    std::string_view ShortCut;  // built-in shortcut text, empty for none
    TCommandRule Rule;
    bool Edits;                 // changes the text: disabled while the editor is write-protected
    std::string_view Hint;      // "short|long"
    std::string_view Icon;      // freedesktop icon name, empty for none
    int Tag;                    // the bookmark number, else -1
};

// The 100 commands in table order (the order of the dialogs and of the old index-keyed settings).
std::span<const TCommandDef> CommandTable() noexcept;
inline constexpr std::size_t kCommandCount = 100;
// Index of the command named Name (without regard to case), or -1.
int FindCommand(std::string_view Name) noexcept;
// Index of the command an item list names ("new" → actNew), or -1; "-" and unknown names give -1.
int FindItemCommand(std::string_view Item) noexcept;

// What the rules look at, gathered when the event loop is about to wait.
struct TCommandState {
    bool Document = false;   // a document (and so an editor) is active
    bool CanUndo = false;
    bool CanRedo = false;
    bool Selected = false;
    bool MultiRow = false;   // SelStartRow != SelEndRow
    bool HasLines = false;   // Lines.Count > 0
    bool ReadOnly = false;   // the active editor is write-protected
    bool ClipboardText = false;
    bool ToolBar = false, StatusBar = false, FileList = false, CodeExplorer = false, MessagePanel = false;
    bool BoxMode = false;  // the active editor selects boxes
};

// Enabled by the rule alone; commands that edit are also disabled while write-protected.
bool CommandEnabled(const TCommandDef& Command, const TCommandState& State) noexcept;
// Checked: only the c1 … c5 rules have a check mark.
bool CommandCheckable(const TCommandDef& Command) noexcept;
bool CommandChecked(const TCommandDef& Command, const TCommandState& State) noexcept;

// A caption without its accelerator part: the first "(&" with the character after it and a
// ")" after that ("開く(&O)..." → "開く..."); an "&" elsewhere is only dropped.
std::string CaptionWithoutAccelerator(std::string_view Caption);

// The short and the long part of a hint ("short|long"; no "|": both are the whole hint).
std::string_view HintShort(std::string_view Hint) noexcept;
std::string_view HintLong(std::string_view Hint) noexcept;

// The key each command is bound to in a window: the shortcuts given, except that a key already
// taken by an earlier command in table order stays with that one (two equal shortcuts in one
// window would fire neither).
std::vector<TShortCut> BindShortCuts(std::span<const TShortCut> ShortCuts);

// The built-in shortcuts in table order.
std::vector<TShortCut> DefaultShortCuts();
// The default shortcut list: "Name=text" per command, in table order.
std::vector<std::string> DefaultShortCutList();

// The main menu: top-level menus with their items ("-" a separator); Caption, when not empty,
// replaces the command's own caption in that menu.
struct TMenuItemDef {
    std::string_view Command;
    std::string_view Caption;
};
struct TMenuDef {
    std::string_view Caption;
    std::span<const TMenuItemDef> Items;
};
std::span<const TMenuDef> MainMenu() noexcept;

// The toolbar and editor-menu items when the settings have none.
std::vector<std::string> DefaultToolBarItems();
std::vector<std::string> DefaultPopupMenuItems();

}  // namespace orvane
