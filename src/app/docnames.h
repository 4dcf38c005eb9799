// How documents are named and shown: the name a file is known by, tab captions, clone names, and
// the recent-files list with its menu captions.
#pragma once

#include "app/settings.h"
#include "files/inifile.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// The name of a new document that has no file yet.
inline constexpr const char* kUntitledCaption = "無題";

// The name one file is known by, whatever path reached it: absolute, with ".", ".." and symbolic
// links resolved as far as the path exists. Compared byte for byte: "Readme.txt" and
// "README.txt" are two files.
std::string CanonicalFileName(const std::string& Path);

// The width of a caption: an ASCII character counts 1, any other character 2 (the bytes it takes
// in code page 932). Text is UTF-8.
int CaptionWidth(std::string_view Text);

// Text cut to about MaxWidth: a head and a tail joined by "...". The tail first takes at least
// the last TailAtLeast of the text (the file name), then head and tail grow by one character in
// turn until the result is MaxWidth wide. Text no wider than MaxWidth, or MaxWidth <= 0, stays.
std::string ShortenCaption(std::string_view Text, int TailAtLeast, int MaxWidth);

// What a document's tab says. FileName is empty for a new document (shown as kUntitledCaption);
// ActiveFolder is the active document's folder (empty: none), CurrentFolder the working folder.
std::string TabCaption(const std::string& FileName, const TTabOptions& Options, bool Modified,
                       const std::string& ActiveFolder = {}, const std::string& CurrentFolder = {});

// The name a clone of FileName proposes: " のコピー" before the extension, or at the end.
std::string CloneFileName(const std::string& FileName);

// A long path cut to about MaxWidth: its first folder ("/"), "...", and as many of its last
// components as reach MaxWidth.
std::string CompressFileName(std::string_view Name, int MaxWidth = 30);

// A caption that Qt shows with "&" as itself rather than as a mnemonic.
std::string EscapeMnemonic(std::string_view Text);

// The recent files, most recent first, at most kCapacity names, compared byte for byte.
class THistoryList {
public:
    static constexpr int kCapacity = 32;

    const std::vector<std::string>& Items() const noexcept { return FItems; }
    // Puts Name on top (moving it there when present), dropping the oldest beyond the capacity.
    void Add(const std::string& Name);
    void Remove(const std::string& Name);
    void Clear() { FItems.clear(); }

    // Section "History": "Count" and "H0" (most recent) … ; keys that are missing are skipped.
    void Load(const TIniFile& Ini);
    void Save(TIniFile& Ini) const;

private:
    std::vector<std::string> FItems;
};

// The captions of the recent-files menu: the newest min(size, HistoryNum) names, numbered from
// "&0" with the numbers right-aligned, each name compressed and its "&" escaped.
std::vector<std::string> HistoryMenuCaptions(const THistoryList& List, int HistoryNum);

}  // namespace orvane
