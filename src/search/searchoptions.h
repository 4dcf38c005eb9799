// The search options: one bit each, shared by the search in the editor and the search settings.
#pragma once

#include <cstdint>

namespace orvane {

// Bit numbers of TSearchOptions. Down, MatchCase, WholeWord, NoMatchZenkaku, IncludeCRLF and
// IncludeSpace steer the search itself; the others only the search panel.
enum TSearchOption : int {
    soDown = 0,            // towards the end of the text (clear: towards the start)
    soMatchCase = 1,       // 大文字と小文字を区別する
    soWholeWord = 2,       // 単語単位で探す
    soNoMatchZenkaku = 3,  // 全角／半角を区別しない
    soReplace = 4,         // stored and read only
    soReplaceAll = 5,      // replacing goes on with the next hit
    soReplaceConfirm = 6,  // 置き換えの確認
    soIncludeCRLF = 7,     // 改行を無視する: line breaks inside a hit are passed over
    soIncludeSpace = 8,    // 半角スペースを無視する: half-width spaces inside a hit are passed over
    soWholeFile = 9,       // stored and read only
};

// A 16-bit set of TSearchOption.
struct TSearchOptions {
    std::uint16_t Bits = 0;

    constexpr bool Contains(TSearchOption Option) const noexcept { return (Bits >> Option) & 1u; }
    constexpr void Set(TSearchOption Option, bool On) noexcept {
        if (On) Bits = static_cast<std::uint16_t>(Bits | (1u << Option));
        else Bits = static_cast<std::uint16_t>(Bits & ~(1u << Option));
    }
    friend constexpr bool operator==(TSearchOptions, TSearchOptions) = default;
};

// Each option with the name of its element in the settings file, in the order they are written.
struct TSearchOptionName {
    TSearchOption Option;
    const char* Element;
};
inline constexpr TSearchOptionName kSearchOptionNames[] = {
    {soMatchCase, "matchcase"},         {soWholeWord, "wholeword"},   {soNoMatchZenkaku, "nomatchzenkaku"},
    {soIncludeCRLF, "includecrlf"},     {soIncludeSpace, "includespace"}, {soDown, "down"},
    {soReplace, "replace"},             {soReplaceAll, "replaceall"}, {soReplaceConfirm, "replaceconfirm"},
    {soWholeFile, "wholefile"},
};

}  // namespace orvane
