// File-type styles: a named set of editor settings with its extra marks and syntax mode, the list
// of them with the table that maps file extensions to styles, and the mode objects they share.
#pragma once

#include "editor/editorsettings.h"
#include "files/inifile.h"
#include "modes/htmlfountain.h"
#include "modes/perlfountain.h"
#include "modes/sourcemodes.h"
#include "styles/orvanemarks.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class TOrvaneStyleList;

// Mode numbers of a style: 0 is the editor's own default text mode.
enum TStyleMode : int { smNone = 0, smHTML = 1, smPerl = 2, smJava = 3, smCpp = 4, smDelphi = 5 };
inline constexpr int kStyleModeCount = 6;
// The captions the style dialog offers for the mode numbers 0..5.
std::string_view StyleModeCaption(int Mode) noexcept;

// The templates a new style can start from, in menu order.
enum class TStyleTemplate { Standard, Text, Dictionary, HTML, Delphi, Cpp, Perl, Java };
inline constexpr int kStyleTemplateCount = 8;
struct TStyleTemplateInfo {
    TStyleTemplate Template;
    std::string_view MenuCaption;  // "Cソース用(&C)"
    std::string_view DefaultName;  // "C言語ソース"
};
const TStyleTemplateInfo& StyleTemplateInfo(TStyleTemplate Template) noexcept;

// One style: every display and caret setting, the extra marks and the mode number.
class TOrvaneStyle : public TPersistent {
public:
    // Starts from the base template.
    explicit TOrvaneStyle(TOrvaneStyleList* Owner);
    TOrvaneStyle(const TOrvaneStyle&) = delete;
    TOrvaneStyle& operator=(const TOrvaneStyle&) = delete;

    TOrvaneStyleList* Owner() const noexcept { return FOwner; }
    TEditorProp& Prop() noexcept { return *FProp; }
    const TEditorProp& Prop() const noexcept { return *FProp; }
    TOrvaneEditorMarks& Marks() noexcept { return FMarks; }
    const TOrvaneEditorMarks& Marks() const noexcept { return FMarks; }
    // Only the low seven bits count; a number outside 1..5 means the default text mode.
    int Fountain() const noexcept { return FFountain; }
    void SetFountain(int Mode) noexcept { FFountain = std::uint8_t(Mode); }
    // The shared mode object of the style's mode number, or null for the default text mode.
    TFountain* FountainObject() const;

    // Sets the values the template names; the font's name and size and the settings no template
    // names (line-number digits, image bar, scrolling speed) keep theirs.
    void ApplyTemplate(TStyleTemplate Template);

    // From another style: Prop, Marks and Fountain. From a TEditorProp: Prop only.
    void Assign(const TPersistent& Source) override;

private:
    TOrvaneStyleList* FOwner;
    std::unique_ptr<TEditorProp> FProp;
    TOrvaneEditorMarks FMarks;
    std::uint8_t FFountain = smNone;
};

// What a save writes (the list keys are written by every scope but the mode colours).
enum TStyleSaveScope : int {
    sscAll = 0,         // every key of every style, and the mode colours
    sscStyles = 1,      // every key of every style
    sscFont = 2,        // Font and Font.Name of every style
    sscWordWrap = 3,    // WordWrap of every style
    sscLeftbar = 4,     // Leftbar of every style
    sscRuler = 5,       // Ruler of every style
    sscModeColors = 6,  // the mode colours only
};

// The styles, the extension table and the shared modes. Style 0, "標準", always exists.
// Invariants: Exts and their style indexes have the same length and no extension occurs twice
// (without regard to ASCII case). An index read from the file may lie beyond the list: it is
// kept for the file, and a file of that extension gets the default style.
class TOrvaneStyleList {
public:
    static constexpr const char* kDefaultStyleName = "標準";
    static constexpr const char* kSection = "Style";
    // Beyond these a style file is taken as damaged and read only this far.
    static constexpr int kMaxStyles = 256;
    static constexpr int kMaxExts = 4096;
    static constexpr int kMaxReserveWords = 10000;
    static constexpr std::uintmax_t kMaxFileSize = 16 * 1024 * 1024;

    // No file: the default style and the default mode colours, saved nowhere.
    TOrvaneStyleList();
    // Reads FileName (a missing file reads as empty). A file that cannot be read or holds
    // values that cannot be understood never fails: what can be read is taken, the rest keeps
    // its defaults, and LoadWarning says so.
    explicit TOrvaneStyleList(std::string FileName);
    ~TOrvaneStyleList();
    TOrvaneStyleList(const TOrvaneStyleList&) = delete;
    TOrvaneStyleList& operator=(const TOrvaneStyleList&) = delete;

    const std::string& FileName() const noexcept { return FFileName; }
    // One message about everything the last load could not take (empty when all was read).
    const std::string& LoadWarning() const noexcept { return FLoadWarning; }
    // The in-memory style file.
    TIniFile& IniFile() noexcept { return FIniFile; }
    const TIniFile& IniFile() const noexcept { return FIniFile; }

    // One default style with the base template, no extensions, the modes' default colours.
    void ResetStyles();
    // Resets the colours of one shared mode (1..5) in place; for Perl also its reserved words.
    void ResetMode(int Mode);

    // The styles a first start offers before any style file exists: one per source template,
    // with the usual extensions of its files, so that scripts and pages show their syntax.
    void AddStarterStyles();
    // Appends a style with the base template and mode 0; returns its index.
    int AddStyle(std::string_view Name);
    // Removes style Index (never style 0: refused with EListError); extensions of it fall back
    // to style 0, those of later styles move down by one.
    void DeleteStyle(int Index);
    void RenameStyle(int Index, std::string_view Name);
    // The index of the style named Name without regard to ASCII case, or -1.
    int IndexOfStyleName(std::string_view Name) const;

    int StyleCount() const noexcept { return int(FStyles.size()); }
    const std::string& StyleNames(int Index) const;
    TOrvaneStyle& Styles(int Index) const;
    TOrvaneStyle& DefaultStyle() const { return Styles(0); }

    int ExtCount() const noexcept { return int(FExts.size()); }
    const std::string& Exts(int Index) const;
    int ExtStyleIndexes(int Index) const;
    // Maps Ext (without dot) to style Index, adding it when new; an empty extension or an index
    // out of range is ignored.
    void SetExtStyle(std::string_view Ext, int Index);
    // The style of a file by its extension; 0 for no extension, an unknown one, or no name.
    int StyleIndexOfFile(std::string_view FileName) const;

    // The shared mode of a mode number (low seven bits), or null for the default text mode.
    TFountain* FountainOfMode(int Mode) const;
    THTMLFountain& HtmlMode() const noexcept { return *FHtmlMode; }
    TPerlFountain& PerlMode() const noexcept { return *FPerlMode; }
    TJavaFountain& JavaMode() const noexcept { return *FJavaMode; }
    TCppFountain& CppMode() const noexcept { return *FCppMode; }
    TDelphiFountain& DelphiMode() const noexcept { return *FDelphiMode; }

    // Replaces the whole list by what the in-memory file holds under Section (the style
    // sections are Section + "_" + index or mode name). Returns the warning text, empty when
    // everything could be read.
    std::string LoadStyles(const TIniFile& Ini, std::string_view Section);
    // Writes the keys of Scope into Ini. After styles were added, deleted or renamed, or the
    // extension table changed, the partial scopes write every key of every style, so that no
    // section is left with another style's values.
    void SaveStyles(TIniFile& Ini, std::string_view Section, TStyleSaveScope Scope);
    // SaveStyles into the in-memory file, then the file written atomically. Throws
    // orvane::Exception when it cannot be written, or when the file was there but could not
    // be read at start (it is never overwritten with what was not read from it).
    void Save(TStyleSaveScope Scope);

private:
    void ClearStyles();
    void ListChanged() noexcept { FListChanged = true; }

    std::string FFileName;
    TIniFile FIniFile;
    bool FUnreadable = false;  // the file exists but could not be read
    bool FListChanged = false;  // styles or extensions changed since the list keys were last written in full
    std::string FLoadWarning;
    std::vector<std::string> FNames;
    std::vector<std::unique_ptr<TOrvaneStyle>> FStyles;
    std::vector<std::string> FExts;
    std::vector<int> FExtStyles;
    std::unique_ptr<THTMLFountain> FHtmlMode;
    std::unique_ptr<TPerlFountain> FPerlMode;
    std::unique_ptr<TJavaFountain> FJavaMode;
    std::unique_ptr<TCppFountain> FCppMode;
    std::unique_ptr<TDelphiFountain> FDelphiMode;
};

// Where the style file lies in a settings folder.
inline constexpr const char* kStyleSettingsFile = "orvane_style.ini";

}  // namespace orvane
