// The shortcut text codec.
#include "app/shortcut.h"

#include "files/inifile.h"

#include <array>

namespace orvane {
namespace {

struct TKeyNameEntry {
    std::uint8_t Key;
    std::string_view Name;
};

// Keys named by a word; letters, digits and function keys are computed.
constexpr TKeyNameEntry kNamedKeys[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},   {0x20, "Space"}, {0x21, "PgUp"},
    {0x22, "PgDn"}, {0x23, "End"},   {0x24, "Home"},  {0x25, "Left"},  {0x26, "Up"},    {0x27, "Right"},
    {0x28, "Down"}, {0x2D, "Ins"},   {0x2E, "Del"},
    // The punctuation keys as the Japanese layout names them.
    {0xBA, ":"},    {0xBB, ";"},     {0xBC, ","},     {0xBD, "-"},     {0xBE, "."},     {0xBF, "/"},
    {0xC0, "@"},    {0xDB, "["},     {0xDC, "\\"},    {0xDD, "]"},     {0xDE, "^"},
};

constexpr std::array<std::string_view, 24> kFunctionKeys = {
    "F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",  "F9",  "F10", "F11", "F12",
    "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};

constexpr std::string_view kLettersAndDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::string_view TrimBlanks(std::string_view S) noexcept {
    while (!S.empty() && S.front() == ' ') S.remove_prefix(1);
    while (!S.empty() && S.back() == ' ') S.remove_suffix(1);
    return S;
}

// Strips a leading "Shift+", "Ctrl+" or "Alt+" (any case, blanks before the "+"); the flag or 0.
TShortCut TakeModifier(std::string_view& Text) noexcept {
    static constexpr std::pair<std::string_view, TShortCut> kModifiers[] = {
        {"Shift", scShift}, {"Ctrl", scCtrl}, {"Alt", scAlt}};
    const std::string_view t = TrimBlanks(Text);
    for (const auto& [word, flag] : kModifiers) {
        if (t.size() <= word.size() || !SameText(t.substr(0, word.size()), word)) continue;
        std::string_view rest = t.substr(word.size());
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        if (rest.size() < 2 || rest.front() != '+') continue;  // "Ctrl+" alone is no shortcut
        Text = rest.substr(1);
        return flag;
    }
    return 0;
}

}  // namespace

std::string_view KeyName(std::uint8_t VirtualKey) noexcept {
    if ((VirtualKey >= '0' && VirtualKey <= '9') || (VirtualKey >= 'A' && VirtualKey <= 'Z')) {
        const std::size_t i = kLettersAndDigits.find(char(VirtualKey));
        return kLettersAndDigits.substr(i, 1);
    }
    if (VirtualKey >= 0x70 && VirtualKey < 0x70 + kFunctionKeys.size()) return kFunctionKeys[VirtualKey - 0x70];
    for (const TKeyNameEntry& e : kNamedKeys)
        if (e.Key == VirtualKey) return e.Name;
    return {};
}

std::string ShortCutToText(TShortCut ShortCut) {
    const std::string_view name = KeyName(ShortCutKey(ShortCut));
    if (name.empty()) return {};
    std::string text;
    if (ShortCut & scShift) text += "Shift+";
    if (ShortCut & scCtrl) text += "Ctrl+";
    if (ShortCut & scAlt) text += "Alt+";
    text += name;
    return text;
}

TShortCut TextToShortCut(std::string_view Text) noexcept {
    TShortCut modifiers = 0;
    for (TShortCut m; (m = TakeModifier(Text)) != 0;) modifiers |= m;
    const std::string_view name = TrimBlanks(Text);
    if (name.empty()) return scNone;
    for (unsigned key = 1; key < 0x100; ++key) {
        const std::string_view n = KeyName(std::uint8_t(key));
        if (!n.empty() && SameText(n, name)) return TShortCut(modifiers | key);
    }
    return scNone;
}

}  // namespace orvane
