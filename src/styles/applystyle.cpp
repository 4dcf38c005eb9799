// Applying a style to an editor.
#include "styles/applystyle.h"

namespace orvane {

void ApplyStyle(TOrvaneStyle& Style, TEditorController& Editor, TOrvaneEditorMarks* Marks) {
    Editor.AssignProp(Style.Prop());
    Editor.SetScrollBars(Editor.WordWrap() ? ssVertical : ssBoth);
    if (Marks) Marks->Assign(Style.Marks());
    Editor.SetFountain(Style.FountainObject());
}

void TakeStyleFrom(TOrvaneStyle& Style, TEditorController& Editor, const TOrvaneEditorMarks* Marks) {
    Editor.CopyToProp(Style.Prop());
    if (Marks) Style.Marks().Assign(*Marks);
}

std::vector<int> DocumentsOfStyle(const TOrvaneStyleList& List, int StyleIndex, std::span<const std::string> FileNames) {
    std::vector<int> documents;
    for (std::size_t i = 0; i < FileNames.size(); ++i)
        if (List.StyleIndexOfFile(FileNames[i]) == StyleIndex) documents.push_back(int(i));
    return documents;
}

}  // namespace orvane
