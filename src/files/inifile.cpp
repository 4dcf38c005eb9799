// The INI store: parsing lines, finding names without case, changing values in place.
#include "files/inifile.h"

#include "base/exceptions.h"
#include "files/unicode.h"

#include <charconv>
#include <climits>
#include <filesystem>

namespace orvane {
namespace {

constexpr std::size_t npos = std::string::npos;

unsigned char Lower(unsigned char C) noexcept { return C >= 'A' && C <= 'Z' ? C + 32 : C; }

std::string_view Trim(std::string_view S) noexcept {
    while (!S.empty() && (S.front() == ' ' || S.front() == '\t')) S.remove_prefix(1);
    while (!S.empty() && (S.back() == ' ' || S.back() == '\t')) S.remove_suffix(1);
    return S;
}

bool ValidUtf8(std::string_view Text) noexcept {
    for (std::size_t i = 0; i < Text.size();) {
        const std::size_t n = Utf8SequenceLength(Text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string OneLine(std::string_view Value) {
    std::string out;
    out.reserve(Value.size());
    for (char c : Value)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

}  // namespace

bool SameText(std::string_view A, std::string_view B) noexcept {
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i)
        if (Lower(A[i]) != Lower(B[i])) return false;
    return true;
}

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName)) {
    std::error_code ec;
    if (!std::filesystem::exists(FFileName, ec)) return;
    SetText(ReadFileBytes(FFileName));
    FExisted = true;
}

TIniFile::TLine TIniFile::ParseLine(std::string Raw) {
    TLine line;
    const std::string_view t = Trim(Raw);
    if (!t.empty() && t.front() == '[') {
        const std::size_t close = t.rfind(']');
        if (close != npos) {
            line.Header = true;
            line.Section = std::string(Trim(t.substr(1, close - 1)));
        }
    } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
        const std::size_t eq = Raw.find('=');
        if (eq != npos) {
            line.Key = std::string(Trim(std::string_view(Raw).substr(0, eq)));
            line.ValueAt = eq + 1;
        }
    }
    line.Raw = std::move(Raw);
    return line;
}

void TIniFile::SetText(std::string_view Bytes) {
    if (Bytes.substr(0, 3) == "\xEF\xBB\xBF") Bytes.remove_prefix(3);
    // Each line is UTF-8 when it is valid UTF-8, else code page 932: one line written by an older
    // program does not turn the UTF-8 of the others into mojibake. Neither encoding has a line
    // break byte inside a character, so the lines are found in the bytes.
    const std::string_view text = Bytes;
    auto lineText = [](std::string_view Line) {
        return ValidUtf8(Line) ? std::string(Line) : SjisToUtf8(Line, nullptr, nullptr);
    };
    FLines.clear();
    FCrLf = false;
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        std::size_t next = end;
        if (end == npos) {
            end = next = text.size();
        } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            next = end + 2;
            if (first) FCrLf = true;
        } else {
            next = end + 1;
        }
        first = false;
        FLines.push_back(ParseLine(lineText(text.substr(start, end - start))));
        start = next;
    }
}

std::string TIniFile::Text() const {
    std::string out;
    for (const TLine& line : FLines) {
        out += line.Raw;
        if (FCrLf) out += '\r';
        out += '\n';
    }
    return out;
}

void TIniFile::UpdateFile(const TFileWriter* Writer) const { WriteFileAtomically(FFileName, Text(), Writer); }

std::size_t TIniFile::FindSection(std::string_view Section) const {
    for (std::size_t i = 0; i < FLines.size(); ++i)
        if (FLines[i].Header && SameText(FLines[i].Section, Section)) return i;
    return npos;
}

std::size_t TIniFile::SectionEnd(std::size_t Header) const {
    std::size_t i = Header + 1;
    while (i < FLines.size() && !FLines[i].Header) ++i;
    return i;
}

std::size_t TIniFile::FindKey(std::string_view Section, std::string_view Key) const {
    // A section may appear twice in a hand-edited file: every part of it counts, the first key wins.
    for (std::size_t h = 0; h < FLines.size(); ++h) {
        if (!FLines[h].Header || !SameText(FLines[h].Section, Section)) continue;
        const std::size_t end = SectionEnd(h);
        for (std::size_t i = h + 1; i < end; ++i)
            if (!FLines[i].Key.empty() && SameText(FLines[i].Key, Key)) return i;
    }
    return npos;
}

bool TIniFile::SectionExists(std::string_view Section) const { return FindSection(Section) != npos; }

bool TIniFile::ValueExists(std::string_view Section, std::string_view Key) const {
    return FindKey(Section, Key) != npos;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view Section) const {
    std::vector<std::string> keys;
    for (std::size_t h = 0; h < FLines.size(); ++h) {
        if (!FLines[h].Header || !SameText(FLines[h].Section, Section)) continue;
        const std::size_t end = SectionEnd(h);
        for (std::size_t i = h + 1; i < end; ++i)
            if (!FLines[i].Key.empty()) keys.push_back(FLines[i].Key);
    }
    return keys;
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const TLine& line : FLines) {
        if (!line.Header) continue;
        bool seen = false;
        for (const std::string& n : names) seen = seen || SameText(n, line.Section);
        if (!seen) names.push_back(line.Section);
    }
    return names;
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Key, std::string_view Default) const {
    const std::size_t i = FindKey(Section, Key);
    if (i == npos) return std::string(Default);
    return FLines[i].Raw.substr(FLines[i].ValueAt);
}

int TIniFile::ReadInteger(std::string_view Section, std::string_view Key, int Default) const {
    const std::size_t i = FindKey(Section, Key);
    if (i == npos) return Default;
    std::string_view v = Trim(std::string_view(FLines[i].Raw).substr(FLines[i].ValueAt));
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (ec != std::errc() || end != v.data() + v.size() || v.empty()) return Default;
    return value;
}

bool TIniFile::ReadBool(std::string_view Section, std::string_view Key, bool Default) const {
    const int sentinel = INT_MIN;
    const int v = ReadInteger(Section, Key, sentinel);
    return v == sentinel ? Default : v != 0;
}

void TIniFile::WriteString(std::string_view Section, std::string_view Key, std::string_view Value) {
    const std::string value = OneLine(Value);
    const std::size_t i = FindKey(Section, Key);
    if (i != npos) {
        TLine& line = FLines[i];
        line.Raw = line.Raw.substr(0, line.ValueAt) + value;
        return;
    }
    std::size_t h = FindSection(Section);
    if (h == npos) {
        if (!FLines.empty() && !Trim(FLines.back().Raw).empty()) FLines.push_back(ParseLine(""));
        std::string header(1, '[');
        header.append(Section).push_back(']');
        FLines.push_back(ParseLine(std::move(header)));
        h = FLines.size() - 1;
    }
    // After the section's last non-blank line, so that a blank line before the next section stays.
    std::size_t at = SectionEnd(h);
    while (at > h + 1 && Trim(FLines[at - 1].Raw).empty()) --at;
    FLines.insert(FLines.begin() + std::ptrdiff_t(at), ParseLine(std::string(Key) + "=" + value));
}

void TIniFile::WriteInteger(std::string_view Section, std::string_view Key, int Value) {
    WriteString(Section, Key, std::to_string(Value));
}

void TIniFile::WriteBool(std::string_view Section, std::string_view Key, bool Value) {
    WriteString(Section, Key, Value ? "1" : "0");
}

void TIniFile::DeleteKey(std::string_view Section, std::string_view Key) {
    for (std::size_t i; (i = FindKey(Section, Key)) != npos;) FLines.erase(FLines.begin() + std::ptrdiff_t(i));
}

void TIniFile::EraseSection(std::string_view Section) {
    for (std::size_t h; (h = FindSection(Section)) != npos;)
        FLines.erase(FLines.begin() + std::ptrdiff_t(h), FLines.begin() + std::ptrdiff_t(SectionEnd(h)));
}

}  // namespace orvane
