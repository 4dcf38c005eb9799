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

// The tokens of one row, e.g. "Word:abc Symbol:= Integer:12" (kinds without their "tok"), with
// token texts shown through Readable. Fails on a token that is empty, overlaps or runs outside
// the row, or when scanning does not end.
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
