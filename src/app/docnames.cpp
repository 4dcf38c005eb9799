// Document names, tab captions and the recent-files list.
#include "app/docnames.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace orvane {
namespace {

namespace fs = std::filesystem;

// Prefix followed by N in decimal (built in place: GCC 12 warns wrongly about "x" + to_string).
std::string Numbered(std::string Prefix, std::size_t N) {
    Prefix += std::to_string(N);
    return Prefix;
}

bool IsContinuation(unsigned char C) { return (C & 0xC0) == 0x80; }

// The byte offsets where the characters of Text start (UTF-8; a stray byte is a character).
std::vector<std::size_t> CharStarts(std::string_view Text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < Text.size(); ++i)
        if (!IsContinuation(static_cast<unsigned char>(Text[i])) || i == 0) starts.push_back(i);
    return starts;
}

}  // namespace

std::string CanonicalFileName(const std::string& Path) {
    if (Path.empty()) return {};
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(Path), ec);
    if (ec) p = fs::path(Path);
    fs::path canonical = fs::weakly_canonical(p, ec);
    return (ec ? p.lexically_normal() : canonical).string();
}

int CaptionWidth(std::string_view Text) {
    int width = 0;
    for (char c : Text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            width += 1;
        else if (!IsContinuation(b))
            width += 2;
    }
    return width;
}

std::string ShortenCaption(std::string_view Text, int TailAtLeast, int MaxWidth) {
    if (MaxWidth <= 0 || CaptionWidth(Text) <= MaxWidth) return std::string(Text);
    const std::vector<std::size_t> starts = CharStarts(Text);
    const std::size_t count = starts.size();
    std::size_t head = 0, tail = 0;  // characters taken from the front and from the back
    auto tailWidth = [&] { return tail == 0 ? 0 : CaptionWidth(Text.substr(starts[count - tail])); };
    auto candidate = [&] {
        if (head + tail >= count) return std::string(Text);
        std::string s(Text.substr(0, head < count ? starts[head] : Text.size()));
        s += "...";
        if (tail > 0) s += Text.substr(starts[count - tail]);
        return s;
    };
    std::string result = candidate();
    // The tail first covers the file name.
    while (tail < count && tailWidth() < TailAtLeast) {
        ++tail;
        result = candidate();
        if (CaptionWidth(result) >= MaxWidth) return result;
    }
    for (bool toHead = true; head + tail < count; toHead = !toHead) {
        if (toHead)
            ++head;
        else
            ++tail;
        result = candidate();
        if (CaptionWidth(result) >= MaxWidth) break;
    }
    return result;
}

std::string TabCaption(const std::string& FileName, const TTabOptions& Options, bool Modified,
                       const std::string& ActiveFolder, const std::string& CurrentFolder) {
    const fs::path path(FileName.empty() ? std::string(kUntitledCaption) : FileName);
    std::string text;
    if (Options.HidePath || FileName.empty()) {
        text = path.filename().string();
    } else {
        // 1: relative to the active document's folder; 2: relative to the working folder.
        const std::string& base = Options.TabPath == 1 ? ActiveFolder : Options.TabPath == 2 ? CurrentFolder : "";
        text = FileName;
        if (!base.empty()) {
            const fs::path relative = path.lexically_relative(fs::path(base));
            if (!relative.empty()) text = relative.string();
        }
    }
    if (Options.HideExt) {
        const std::size_t slash = text.rfind('/');
        const std::size_t dot = text.rfind('.');
        // A leading dot (".bashrc") names the file; it is no extension.
        const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
        if (dot != std::string::npos && dot > nameStart) text.erase(dot);
    }
    const std::size_t slash = text.rfind('/');
    const int nameWidth = CaptionWidth(slash == std::string::npos ? text : std::string_view(text).substr(slash + 1));
    text = ShortenCaption(text, nameWidth, Options.MaxTabLength);
    if (Modified) text.insert(0, "* ");
    return text;
}

std::string CloneFileName(const std::string& FileName) {
    const std::size_t slash = FileName.rfind('/');
    const std::size_t dot = FileName.rfind('.');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (dot == std::string::npos || dot <= nameStart) return FileName + " のコピー";
    return FileName.substr(0, dot) + " のコピー" + FileName.substr(dot);
}

std::string CompressFileName(std::string_view Name, int MaxWidth) {
    if (CaptionWidth(Name) <= MaxWidth) return std::string(Name);
    const std::size_t first = Name.find('/');
    if (first == std::string_view::npos) return std::string(Name);
    const std::string_view head = Name.substr(0, first + 1);
    std::size_t tailStart = Name.size();
    std::string candidate;
    while (tailStart > first + 1) {
        const std::size_t slash = Name.rfind('/', tailStart - 1);
        // The next component would leave nothing to leave out: the name as it is.
        if (slash == std::string_view::npos || slash <= first) return std::string(Name);
        tailStart = slash;
        candidate = std::string(head) + "..." + std::string(Name.substr(tailStart));
        if (CaptionWidth(candidate) >= MaxWidth) return candidate;
    }
    return std::string(Name);
}

std::string EscapeMnemonic(std::string_view Text) {
    std::string s;
    s.reserve(Text.size());
    for (char c : Text) {
        if (c == '&') s += '&';
        s += c;
    }
    return s;
}

void THistoryList::Add(const std::string& Name) {
    if (Name.empty()) return;
    Remove(Name);
    FItems.insert(FItems.begin(), Name);
    if (FItems.size() > std::size_t(kCapacity)) FItems.resize(kCapacity);
}

void THistoryList::Remove(const std::string& Name) { std::erase(FItems, Name); }

void THistoryList::Load(const TIniFile& Ini) {
    FItems.clear();
    const int count = std::clamp(Ini.ReadInteger("History", "Count", 0), 0, 4096);
    for (int i = count - 1; i >= 0; --i) {
        const std::string key = Numbered("H", std::size_t(i));
        if (!Ini.ValueExists("History", key)) continue;
        Add(Ini.ReadString("History", key, ""));
    }
}

void THistoryList::Save(TIniFile& Ini) const {
    Ini.EraseSection("History");
    Ini.WriteInteger("History", "Count", int(FItems.size()));
    for (std::size_t i = 0; i < FItems.size(); ++i) Ini.WriteString("History", Numbered("H", i), FItems[i]);
}

std::vector<std::string> HistoryMenuCaptions(const THistoryList& List, int HistoryNum) {
    const int shown = std::min<int>(int(List.Items().size()), std::clamp(HistoryNum, 0, THistoryList::kCapacity));
    std::vector<std::string> captions;
    if (shown == 0) return captions;
    const int width = int(std::to_string(shown - 1).size()) + 2;
    for (int i = 0; i < shown; ++i) {
        std::string number = Numbered("&", std::size_t(i)) + " ";
        if (int(number.size()) < width) number.insert(0, std::size_t(width) - number.size(), ' ');
        captions.push_back(number + EscapeMnemonic(CompressFileName(List.Items()[std::size_t(i)])));
    }
    return captions;
}

}  // namespace orvane
