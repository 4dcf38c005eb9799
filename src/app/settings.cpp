// Reading and writing the main settings file's keys.
#include "app/settings.h"

#include "app/commands.h"

#include <algorithm>
#include <cstdio>

namespace orvane {
namespace {

constexpr const char* kMain = "Orvane";

int Clamp(int V, int Lo, int Hi) { return std::min(std::max(V, Lo), Hi); }

std::string TwoDigits(int I) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2d", I);
    return buf;
}

}  // namespace

TMainSettings::TMainSettings() : ToolBarItems(DefaultToolBarItems()), PopupMenuItems(DefaultPopupMenuItems()) {
    Config.Filter = kDefaultFilter;
}

TRectEdges ClampToScreen(TRectEdges W, TRectEdges Screen, TRectEdges Fallback) {
    if (W.Width() <= 0 || W.Height() <= 0) W = Fallback;
    const int width = std::min(W.Width(), Screen.Width());
    const int height = std::min(W.Height(), Screen.Height());
    const int left = Clamp(W.Left, Screen.Left, Screen.Right - width);
    const int top = Clamp(W.Top, Screen.Top, Screen.Bottom - height);
    return {left, top, left + width, top + height};
}

TMainSettings ReadMainSettings(const TIniFile& Ini) {
    TMainSettings s;
    s.Version = Ini.ReadInteger("IniFile", "Version", 0);

    TWindowPlacement& p = s.Placement;
    p.Stored = Ini.ValueExists(kMain, "Form.X") && Ini.ValueExists(kMain, "Form.XSize");
    p.Flags = Ini.ReadInteger(kMain, "Form.Flags", 0);
    p.Show = Ini.ReadInteger(kMain, "Form.Show", 1);
    p.MaxX = Ini.ReadInteger(kMain, "Form.MaxX", -1);
    p.MaxY = Ini.ReadInteger(kMain, "Form.MaxY", -1);
    p.Normal = {Ini.ReadInteger(kMain, "Form.X", 0), Ini.ReadInteger(kMain, "Form.Y", 0),
                Ini.ReadInteger(kMain, "Form.XSize", 0), Ini.ReadInteger(kMain, "Form.YSize", 0)};

    TTabOptions& t = s.Tab;
    t.ShowIcon = Ini.ReadBool(kMain, "Tab.ShowIcon", t.ShowIcon);
    t.HidePath = Ini.ReadBool(kMain, "Tab.HidePath", t.HidePath);
    t.HideExt = Ini.ReadBool(kMain, "Tab.HideExt", t.HideExt);
    t.MaxTabLength = Ini.ReadInteger(kMain, "MaxTabLength", t.MaxTabLength);
    t.TabPath = Clamp(Ini.ReadInteger(kMain, "Tab.Path", t.TabPath), 0, 2);

    TOrvaneConfig& c = s.Config;
    c.QuoteMark = Ini.ReadString(kMain, "QuoteMark", c.QuoteMark);
    c.DateTimeFormat = Ini.ReadString(kMain, "DateTimeFormat", c.DateTimeFormat);
    c.Backup = Ini.ReadBool(kMain, "Backup", c.Backup);
    c.BackupPath = Ini.ReadString(kMain, "BackupPath", c.BackupPath);
    c.BackupBackupMode = Clamp(Ini.ReadInteger(kMain, "BackupBackupMode", c.BackupBackupMode), 0, 2);
    c.CanUndoAfterSave = Ini.ReadBool(kMain, "CanUndoAfterSave", c.CanUndoAfterSave);
    c.SearchSelection = Ini.ReadBool(kMain, "SearchSelection", c.SearchSelection);
    c.Filter = Ini.ReadString(kMain, "Filter", c.Filter);
    c.HistoryNum = Ini.ReadInteger(kMain, "HistoryNum", c.HistoryNum);
    c.ToolBarFlat = Ini.ReadBool(kMain, "ToolBar.Flat", c.ToolBarFlat);
    s.ToolBar = Ini.ReadBool(kMain, "ToolBar", s.ToolBar);
    s.StatusBar = Ini.ReadBool(kMain, "StatusBar", s.StatusBar);

    ReadItemList(Ini, "Toolbar", s.ToolBarItems);
    ReadItemList(Ini, "PopupMenu", s.PopupMenuItems);
    return s;
}

void WriteExitSettings(TIniFile& Ini, const TWindowPlacement& P, bool ToolBar, bool ToolBarFlat, bool StatusBar) {
    Ini.WriteInteger("IniFile", "Version", 1);
    Ini.WriteInteger(kMain, "Form.Flags", P.Flags);
    Ini.WriteInteger(kMain, "Form.Show", P.Show);
    Ini.WriteInteger(kMain, "Form.MaxX", P.MaxX);
    Ini.WriteInteger(kMain, "Form.MaxY", P.MaxY);
    Ini.WriteInteger(kMain, "Form.X", P.Normal.Left);
    Ini.WriteInteger(kMain, "Form.Y", P.Normal.Top);
    Ini.WriteInteger(kMain, "Form.XSize", P.Normal.Right);
    Ini.WriteInteger(kMain, "Form.YSize", P.Normal.Bottom);
    Ini.WriteBool(kMain, "ToolBar", ToolBar);
    Ini.WriteBool(kMain, "ToolBar.Flat", ToolBarFlat);
    Ini.WriteBool(kMain, "StatusBar", StatusBar);
}

void WriteOptions(TIniFile& Ini, const TOrvaneConfig& C, const TTabOptions& T,
                  const std::vector<std::string>& ToolBarItems, const std::vector<std::string>& PopupMenuItems) {
    Ini.WriteBool(kMain, "Tab.ShowIcon", T.ShowIcon);
    Ini.WriteBool(kMain, "Tab.HidePath", T.HidePath);
    Ini.WriteBool(kMain, "Tab.HideExt", T.HideExt);
    Ini.WriteInteger(kMain, "MaxTabLength", T.MaxTabLength);
    Ini.WriteInteger(kMain, "Tab.Path", T.TabPath);
    Ini.WriteString(kMain, "QuoteMark", C.QuoteMark);
    Ini.WriteString(kMain, "DateTimeFormat", C.DateTimeFormat);
    Ini.WriteBool(kMain, "Backup", C.Backup);
    Ini.WriteString(kMain, "BackupPath", C.BackupPath);
    Ini.WriteInteger(kMain, "BackupBackupMode", C.BackupBackupMode);
    Ini.WriteBool(kMain, "CanUndoAfterSave", C.CanUndoAfterSave);
    Ini.WriteBool(kMain, "SearchSelection", C.SearchSelection);
    Ini.WriteString(kMain, "Filter", C.Filter);
    Ini.WriteInteger(kMain, "HistoryNum", C.HistoryNum);
    WriteItemList(Ini, "Toolbar", ToolBarItems);
    WriteItemList(Ini, "PopupMenu", PopupMenuItems);
}

void ReadItemList(const TIniFile& Ini, std::string_view Section, std::vector<std::string>& List) {
    if (!Ini.SectionExists(Section)) return;
    // A damaged count must not make a list of millions of entries.
    const int n = Clamp(Ini.ReadInteger(Section, "Items.Count", int(List.size())), 0, 1000);
    std::vector<std::string> items;
    for (int i = 0; i < n; ++i) {
        const std::string fallback = i < int(List.size()) ? List[std::size_t(i)] : std::string();
        items.push_back(Ini.ReadString(Section, "Items." + std::to_string(i), fallback));
    }
    List = std::move(items);
}

void WriteItemList(TIniFile& Ini, std::string_view Section, const std::vector<std::string>& List) {
    Ini.WriteInteger(Section, "Items.Count", int(List.size()));
    for (std::size_t i = 0; i < List.size(); ++i) Ini.WriteString(Section, "Items." + std::to_string(i), List[i]);
}

void ReadShortCuts(const TIniFile& Ini, int Version, std::span<TShortCut> ShortCuts) {
    const auto table = CommandTable();
    for (std::size_t i = 0; i < ShortCuts.size() && i < table.size(); ++i) {
        const std::string key = Version == 1 ? "Actions[" + std::string(table[i].Name) + "].ShortCut"
                                             : "Actions[" + std::to_string(i) + "].ShortCut";
        if (Ini.ValueExists(kMain, key)) ShortCuts[i] = TextToShortCut(Ini.ReadString(kMain, key, ""));
    }
}

void WriteShortCuts(TIniFile& Ini, std::span<const TShortCut> ShortCuts) {
    const auto table = CommandTable();
    for (std::size_t i = 0; i < ShortCuts.size() && i < table.size(); ++i)
        Ini.WriteString(kMain, "Actions[" + std::string(table[i].Name) + "].ShortCut", ShortCutToText(ShortCuts[i]));
}

void WriteEditingFiles(TIniFile& Ini, const std::vector<std::string>& Files) {
    Ini.WriteInteger("EditingFiles", "Count", int(Files.size()));
    for (std::size_t i = 0; i < Files.size(); ++i) Ini.WriteString("EditingFiles", TwoDigits(int(i)), Files[i]);
}

std::vector<std::string> ReadEditingFiles(const TIniFile& Ini) {
    std::vector<std::string> files;
    const int n = Clamp(Ini.ReadInteger("EditingFiles", "Count", 0), 0, 1000);
    for (int i = 0; i < n; ++i) {
        const std::string key = TwoDigits(i);
        if (Ini.ValueExists("EditingFiles", key)) files.push_back(Ini.ReadString("EditingFiles", key, ""));
    }
    return files;
}

}  // namespace orvane
