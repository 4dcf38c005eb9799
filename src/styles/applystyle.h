// Giving an editor the look and behaviour of a style, and finding the documents a style covers.
#pragma once

#include "editor/controller.h"
#include "styles/stylelist.h"

#include <span>
#include <string>
#include <vector>

namespace orvane {

// The editor takes every setting of the style, vertical scroll bars only while it wraps words
// (both otherwise), the style's extra marks into Marks (the application editor's MarksOrvane;
// null for a plain editor), and the style's shared mode (none: its own default text mode).
void ApplyStyle(TOrvaneStyle& Style, TEditorController& Editor, TOrvaneEditorMarks* Marks = nullptr);

// The other way: the style takes the editor's settings and, when given, its extra marks; the
// mode number stays.
void TakeStyleFrom(TOrvaneStyle& Style, TEditorController& Editor, const TOrvaneEditorMarks* Marks = nullptr);

// The positions in FileNames of the documents whose extension gives style StyleIndex.
std::vector<int> DocumentsOfStyle(const TOrvaneStyleList& List, int StyleIndex, std::span<const std::string> FileNames);

}  // namespace orvane
