// The main settings file's model: options, tab options, window placement, toolbar and editor-menu
// item lists, shortcuts and the files open at exit, read from and written to a TIniFile.
#pragma once

#include "app/shortcut.h"
#include "files/inifile.h"

#include <span>
#include <string>
#include <vector>

namespace orvane {

// The options the options dialog edits.
struct TOrvaneConfig {
    std::string QuoteMark = ">>";
    std::string DateTimeFormat = "hh:nn yy/mm/dd";
    bool Backup = true;
    std::string BackupPath;  // empty, "DESKTOP", "APPLICATION" or a folder
    int BackupBackupMode = 2;
    bool CanUndoAfterSave = true;
    bool SearchSelection = false;
    std::string Filter;  // the file dialog filter: descriptions and patterns alternating, "|" between
    int HistoryNum = 8;
    bool ToolBarFlat = true;
    bool ClearHistory = false;  // a request from the dialog only, never stored
    bool operator==(const TOrvaneConfig&) const = default;
};

// The tab caption options.
struct TTabOptions {
    bool ShowIcon = true;
    bool HidePath = true;
    bool HideExt = true;
    int MaxTabLength = 64;
    int TabPath = 0;  // 0..2
    bool operator==(const TTabOptions&) const = default;
};

// A rectangle by its edges; Right and Bottom are exclusive.
struct TRectEdges {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const noexcept { return Right - Left; }
    int Height() const noexcept { return Bottom - Top; }
    bool operator==(const TRectEdges&) const = default;
};

// The window placement record: the restored rectangle by its edges, and how it is shown.
struct TWindowPlacement {
    bool Stored = false;  // the settings had one
    int Flags = 0;
    int Show = 1;  // 1 normal, 3 maximized
    int MaxX = -1, MaxY = -1;
    TRectEdges Normal;
    bool operator==(const TWindowPlacement&) const = default;
};

// The restored rectangle moved and shrunk so that it lies inside the screen's work area; a
// rectangle with no area becomes Fallback (also moved inside).
TRectEdges ClampToScreen(TRectEdges Window, TRectEdges Screen, TRectEdges Fallback);

inline constexpr const char* kDefaultFilter =
    "使用可能ファイル|*.txt;*.jis;*.htm;*.html;*.xml;*.xsl;*.css;*.cgi;*.pl;*.php;*.php3;*.js;*.ini;*.pas;*.cpp;*.c;"
    "*.java;*.bat;*.rc;*.m3u|テキスト文書 (*.txt)|*.txt|Orvane 辞書ファイル (*.jis)|*.jis|HTML ファイル (*.html, "
    "*.htm)|*.html;*.htm|XMLファイル (*.xml, *.xsl)|*.xml;*.xsl|スタイルシート (*.css)|*.css|CGI / Perl (*.cgi, "
    "*.pl)|*.cgi;*.pl|PHP (*.php, *.php3)|*.php;*.php3|javaスクリプト (*.js)|*.js|設定ファイル (*.ini)|*.ini|Pascal "
    "ユニット (*.pas)|*.pas|C 言語 (*.cpp, *.c)|*.cpp;*.c|Java 言語 (*.java)|*.java|バッチ ファイル (*.bat)|*.bat|"
    "K-Jofol リソース (*.rc)|*.rc|Winamp プレイリスト (*.m3u)|*.m3u|すべてのファイル|*.*";

// Everything the main window reads at start.
struct TMainSettings {
    int Version = 0;
    TWindowPlacement Placement;
    TOrvaneConfig Config;
    TTabOptions Tab;
    bool ToolBar = true;
    bool StatusBar = true;
    std::vector<std::string> ToolBarItems;
    std::vector<std::string> PopupMenuItems;
    TMainSettings();
};

// Reads every key of the main settings; missing keys keep the defaults.
TMainSettings ReadMainSettings(const TIniFile& Ini);
// What the exit writes: Version 1, the placement, toolbar and status bar visibility, flat buttons.
void WriteExitSettings(TIniFile& Ini, const TWindowPlacement& Placement, bool ToolBar, bool ToolBarFlat,
                       bool StatusBar);
// What the options dialog writes: the options, the tab options and the two item lists.
void WriteOptions(TIniFile& Ini, const TOrvaneConfig& Config, const TTabOptions& Tab,
                  const std::vector<std::string>& ToolBarItems, const std::vector<std::string>& PopupMenuItems);

// An item list ("Items.Count", "Items.0" …); entries missing from the file keep List's entry at
// that place (or empty), and Count defaults to List's length.
void ReadItemList(const TIniFile& Ini, std::string_view Section, std::vector<std::string>& List);
void WriteItemList(TIniFile& Ini, std::string_view Section, const std::vector<std::string>& List);

// Shortcuts in table order: keys "Actions[Name].ShortCut" when Version is 1, else the old
// "Actions[index].ShortCut"; a key present replaces the shortcut (empty value: none).
void ReadShortCuts(const TIniFile& Ini, int Version, std::span<TShortCut> ShortCuts);
void WriteShortCuts(TIniFile& Ini, std::span<const TShortCut> ShortCuts);

// The files open at exit ("EditingFiles": "Count", "00", "01", …); keys beyond the count stay.
void WriteEditingFiles(TIniFile& Ini, const std::vector<std::string>& Files);
std::vector<std::string> ReadEditingFiles(const TIniFile& Ini);

}  // namespace orvane
