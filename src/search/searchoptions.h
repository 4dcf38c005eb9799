// The search options: one bit each, shared by the search in the editor and the search settings.
#pragma once

#include "editor/searchtext.h"

#include <bit>

namespace orvane {

// The options themselves (TSearchOptions, one bit each: soDown, soMatchCase, soWholeWord,
// soNoMatchZenkaku, soReplace, soReplaceAll, soReplaceConfirm, soIncludeCRLF, soIncludeSpace,
// soWholeFile) are the search engine's, so that the settings and the editor share one type.

// The bit number of a one-bit option (what TSearchProperties::SetOption takes).
constexpr int OptionBit(TSearchOptions Option) noexcept { return std::countr_zero(unsigned(Option)); }

// Each option with the name of its element in the settings file, in the order they are written.
struct TSearchOptionName {
    TSearchOptions Option;
    const char* Element;
};
inline constexpr TSearchOptionName kSearchOptionNames[] = {
    {soMatchCase, "matchcase"},         {soWholeWord, "wholeword"},   {soNoMatchZenkaku, "nomatchzenkaku"},
    {soIncludeCRLF, "includecrlf"},     {soIncludeSpace, "includespace"}, {soDown, "down"},
    {soReplace, "replace"},             {soReplaceAll, "replaceall"}, {soReplaceConfirm, "replaceconfirm"},
    {soWholeFile, "wholefile"},
};

}  // namespace orvane
