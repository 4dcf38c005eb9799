// The search settings: strings, options, histories and the multi-file target, kept between runs
// in the settings folder's "orvane_search.xml".
#pragma once

#include "base/notify.h"
#include "base/strings.h"
#include "search/searchoptions.h"

#include <cstdint>
#include <string>

namespace orvane {

// The file's name inside the settings folder.
inline constexpr const char* kSearchSettingsFileName = "orvane_search.xml";

// What a multi-file search searches.
enum TSearchTarget : std::uint8_t { stEditedFile = 0, stOpenFiles = 1, stFolder = 2 };

class TSearchProperties : public TPersistent {
public:
    static constexpr int kHistoryLimit = 32;

    // A fresh object: every field zero or empty.
    TSearchProperties() = default;

    // Earlier strings, most recent first; at most kHistoryLimit after an add (a file may bring
    // more, which are kept until the next add).
    TStringList& SearchHistory() noexcept { return FSearchHistory; }
    const TStringList& SearchHistory() const noexcept { return FSearchHistory; }
    TStringList& ReplaceHistory() noexcept { return FReplaceHistory; }
    const TStringList& ReplaceHistory() const noexcept { return FReplaceHistory; }

    // Code page 932 text.
    std::string SearchValue;
    std::string ReplaceValue;
    TSearchOptions Options = 0;
    bool SelectedOnly = false;
    bool FromCursor = false;
    TSearchTarget Target = stEditedFile;
    // The folder and the masks (separated by ";") of a folder search. These are paths, so they
    // are UTF-8 like every path of the program, not code page 932.
    std::string Folder;
    std::string Mask;
    bool SubFolder = false;

    // Copies every field and both histories from another TSearchProperties.
    void Assign(const TPersistent& Source) override;
    // What holds before a file is read: from the caret, all open files, "*.txt"; all else empty.
    void SetDefaults();
    // Sets or clears one bit of Options; bits outside 0..15 are ignored.
    void SetOption(int Bit, bool On);
    // Records SearchValue / ReplaceValue at the front of its history (not when empty): an entry
    // equal but for letter case is swapped with the first entry; a new one is inserted first and
    // the list cut to kHistoryLimit.
    void AddSearchHistory();
    void AddReplaceHistory();

    // SetDefaults, then reads the file. A file that cannot be read raises orvane::Exception and
    // is left alone; a blank one reads as no settings. A file that is not of this program, or of another version, is refused: the
    // defaults stay, the file is renamed aside ("<name>.bak", "<name>.bak2", ...) so that the
    // next save cannot overwrite it, and an exception names the file, the reason and where the
    // file went.
    void LoadFromFile(const std::string& FileName);
    // Writes the settings into the file, keeping everything of it outside "searchproperties"; the
    // write is atomic. Raises orvane::Exception, writing nothing, when the file cannot be read or
    // holds what LoadFromFile would refuse.
    void SaveToFile(const std::string& FileName) const;

private:
    TStringList FSearchHistory;
    TStringList FReplaceHistory;
};

// The settings file inside Folder.
std::string SearchSettingsFile(const std::string& Folder);

}  // namespace orvane
