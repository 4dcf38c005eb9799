// Helpers of the syntax-mode tests: Shift_JIS literals and readable token dumps.
#pragma once

#include "modes/editorfountain.h"
#include "modes/parser.h"

#include <memory>
#include <string>
#include <string_view>

namespace orvane::test {

// UTF-8 text converted to code page 932; fails the test program on characters it cannot hold.
std::string Sjis(std::string_view Utf8);

// Code page 932 bytes as UTF-8 for messages; bytes that do not convert appear as \xNN.
std::string Readable(std::string_view Bytes);

// The name of a token kind ("tokWord"), as the modes give it.
using TKindName = std::string_view (*)(TTokenKind Kind);

// The tokens of one row, e.g. "TagOpen:< TagName:a" (kinds without their "tok"; a kind without
// a name as its number), texts shown as UTF-8. Fails on a token that is empty, overlaps the one
// before or runs outside the row, and when scanning does not end.
std::string DumpTokens(TFountainParser& Parser, std::string_view Row, TKindName Name,
                       const TRowAttributeData& State = {});

// The same with the default mode's kind names, e.g. "Word:abc Symbol:= Integer:12".
std::string Dump(TFountainParser& Parser, std::string_view Row, const TRowAttributeData& State = {});

// A default mode made the way the editor makes it.
std::unique_ptr<TEditorFountain> NewEditorFountain();

}  // namespace orvane::test

#include "document/rowlist.h"

#include <vector>

namespace orvane::test {

// The state at the start of every row, computed from the top without storing anything.
std::vector<TRowAttributeData> ReferenceStates(TFountain& Fountain, const TRowAttributeStringList& Rows);

// A short form of a state for test messages: "ob=0 carry=Word/2 ms=1".
std::string StateString(const TRowAttributeData& Data);

}  // namespace orvane::test
