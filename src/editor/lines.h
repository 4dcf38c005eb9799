// The lines of an editor's document as a string list, and the window-text messages of the editor.
#pragma once

#include "base/exceptions.h"
#include "base/strings.h"
#include "platform/messages.h"

#include <string>
#include <string_view>

namespace orvane {

class TEditorController;
class TEditorScreenStrings;

// The length of Text in character offsets once it is in a document, where every line break (CR
// LF, a lone CR or a lone LF) is stored as CR LF and counts 2.
int TextOffsetLength(std::string_view Text) noexcept;

// Raised when a file cannot be opened or read.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

// A TStrings whose items are the logical lines of the editor's current document. It keeps no
// text: each change is one ReplaceRows on the document (one undo step, re-wrapped and
// re-tokenized like typing) and puts the caret after the new text. Line breaks handed in may be
// CR LF, CR or LF; those handed out are CR LF.
class TEditorStrings : public TStrings {
public:
    explicit TEditorStrings(TEditorController& Editor) noexcept : FEditor(Editor) {}

    std::string Get(int Index) const override;
    int GetCount() const override;
    void Put(int Index, std::string_view S) override;
    void Insert(int Index, std::string_view S) override;
    // Appends a line and returns the line count before the call. A last line without a line
    // break gets one first.
    int Add(std::string_view S) override;
    void Delete(int Index) override;
    // Empties the document and its undo lists; every caret goes to row 0, column 0.
    void Clear() override;
    // The whole text, CR LF after every row that ends with a line break.
    std::string GetTextStr() const override;
    // Replaces the whole text without an undo step (the undo lists are emptied); a text that
    // does not end with a line break leaves its last row without one.
    void SetTextStr(std::string_view Value) override;
    // From another string list: its text, then the caret after the last row.
    void Assign(const TPersistent& Source) override;

    // Replaces the text by the bytes of a file, taken as Shift_JIS without conversion. A byte
    // 26 (Ctrl+Z) ends the text; zero bytes are ordinary text. The file is read whole before the
    // document changes, so a file that cannot be opened or read leaves it as it was
    // (EFOpenError is raised).
    void LoadFromFile(const std::string& FileName);

    // WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH and WM_GETDLGCODE, as the editor answers them;
    // Handled is false for any other message.
    TMessageLong WindowTextMessage(unsigned Msg, TMessageParam WParam, TMessageLong LParam, bool& Handled);


protected:
    // The outermost update bracket: the document's bracket and the caret lock; at its end every
    // editor of the document lays out and repaints again.
    void SetUpdateState(bool Updating) override;

private:
    TEditorScreenStrings& Document() const;
    // Range check of a line index: 0..Limit, else the list index error.
    void CheckLine(int Index, int Limit) const;
    // One edit: the selection goes, rows Row .. Row+Count-1 become Text, and the caret goes
    // after it, all inside one caret bracket.
    void Replace(int Row, int Count, std::string_view Text);

    TEditorController& FEditor;
    int FUpdateCount = 0;
};

}  // namespace orvane
