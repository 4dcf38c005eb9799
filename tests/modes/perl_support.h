// Helpers of the Perl-mode tests: sources split into rows and their tokens as text.
#pragma once

#include "document/rowlist.h"
#include "modes/perlfountain.h"

#include <memory>
#include <string>
#include <string_view>

namespace orvane::test {

// A Perl mode made the way the editor makes it.
std::unique_ptr<TPerlFountain> NewPerlFountain();

// Rows of Source (UTF-8, converted to code page 932): rows end at '\n'; a row that ends in '|'
// is wrapped (the '|' is not part of it).
void SetPerlRows(TEditorStringList& Rows, std::string_view Source);

// The tokens of one row scanned in State, e.g. "ScalarVar:$x Symbol:=" (kinds without their
// "tok"; "Reserved" for a word the mode colours as reserved); NextRow is the row after a wrapped
// one. Fails on a token that is empty, overlaps or runs outside the text, or when scanning does
// not end.
std::string PerlDump(TFountainParser& Parser, std::string_view Row, const TRowAttributeData& State,
                     std::string_view NextRow = {});

// The tokens of every row of Source, each scanned in the state a full tokenizing stored with
// it; rows joined by " / ".
std::string DumpSource(TPerlFountain& Mode, std::string_view Source);

}  // namespace orvane::test
