// The program's INI files, held whole in memory: read, changed, written back at once.
#pragma once

#include "files/filewrite.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// An INI file as a list of lines. Section and key names are found without regard to ASCII case;
// every line (comments, blank lines, unknown keys, lines that are no key at all) is written back
// as it was read, in its place, and a value is kept byte for byte after its first "=". Text is
// UTF-8 inside; a file that is not valid UTF-8 is read as code page 932. Booleans are 1 and 0,
// integers decimal. Reading never fails on damaged text: what cannot be understood is kept and
// ignored.
class TIniFile {
public:
    TIniFile() = default;
    // Reads FileName when it exists (a missing file gives an empty store). Throws
    // orvane::Exception when it exists but cannot be read.
    explicit TIniFile(std::string FileName);

    const std::string& FileName() const noexcept { return FFileName; }
    // True when the file existed when it was read.
    bool Existed() const noexcept { return FExisted; }

    // Replaces the content by Bytes (UTF-8, or code page 932 when not valid UTF-8).
    void SetText(std::string_view Bytes);
    // The content as it is written (UTF-8, the line end of the file read, else LF).
    std::string Text() const;
    // Writes the content to FileName atomically (a temporary file renamed over it): a failure
    // leaves the old file as it was and throws orvane::Exception.
    void UpdateFile(const TFileWriter* Writer = nullptr) const;

    bool SectionExists(std::string_view Section) const;
    bool ValueExists(std::string_view Section, std::string_view Key) const;
    // The key names of a section in file order, and the section names.
    std::vector<std::string> ReadSection(std::string_view Section) const;
    std::vector<std::string> ReadSections() const;

    std::string ReadString(std::string_view Section, std::string_view Key, std::string_view Default) const;
    // Decimal, blanks around it allowed; anything else (or out of range) gives Default.
    int ReadInteger(std::string_view Section, std::string_view Key, int Default) const;
    // "0" is false, any other integer true; anything else gives Default.
    bool ReadBool(std::string_view Section, std::string_view Key, bool Default) const;

    // Changes the first line of the key in place, or adds the key at the end of its section
    // (the section at the end of the file when it is new). Line breaks in a value are dropped:
    // a value is one line.
    void WriteString(std::string_view Section, std::string_view Key, std::string_view Value);
    void WriteInteger(std::string_view Section, std::string_view Key, int Value);
    void WriteBool(std::string_view Section, std::string_view Key, bool Value);
    void DeleteKey(std::string_view Section, std::string_view Key);
    void EraseSection(std::string_view Section);

private:
    struct TLine {
        std::string Raw;      // the line as read or written
        std::string Section;  // a header line: its name; empty otherwise
        std::string Key;      // a key line: its name (trimmed); empty otherwise
        std::size_t ValueAt = 0;  // a key line: where its value starts in Raw
        bool Header = false;
    };
    static TLine ParseLine(std::string Raw);
    // Index of the header of Section (npos when none), and the end of its lines.
    std::size_t FindSection(std::string_view Section) const;
    std::size_t SectionEnd(std::size_t Header) const;
    std::size_t FindKey(std::string_view Section, std::string_view Key) const;

    std::string FFileName;
    std::vector<TLine> FLines;
    bool FCrLf = false;  // the file read had CR LF line ends
    bool FExisted = false;
};

// ASCII case-insensitive equality, as INI names and command names are compared.
bool SameText(std::string_view A, std::string_view B) noexcept;

}  // namespace orvane
