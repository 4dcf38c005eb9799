// The lines of an editor's document as a string list, loading a file, and the window-text messages.
#include "editor/lines.h"

#include "document/document.h"
#include "editor/controller.h"
#include "files/filewrite.h"

#include <algorithm>
#include <cstring>

namespace orvane {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr char kEndOfFile = 0x1A;  // Ctrl+Z: the text of a file ends before it

}  // namespace

int TextOffsetLength(std::string_view Text) noexcept {
    std::size_t length = Text.size();
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r' && (i + 1 == Text.size() || Text[i + 1] != '\n'))
            ++length;
        else if (Text[i] == '\n' && (i == 0 || Text[i - 1] != '\r'))
            ++length;
    }
    return int(std::min<std::size_t>(length, 0x7FFFFFFF));
}


TEditorScreenStrings& TEditorStrings::Document() const { return FEditor.Document(); }

void TEditorStrings::CheckLine(int Index, int Limit) const {
    if (Index < 0 || Index > Limit) ThrowListIndexError();
}

// ---- reading

int TEditorStrings::GetCount() const { return Document().LineCount(); }

std::string TEditorStrings::Get(int Index) const {
    const TEditorScreenStrings& doc = Document();
    CheckLine(Index, doc.LineCount() - 1);
    const int first = doc.LineToRow(Index);
    const int last = doc.LastRowOfLine(first);
    if (first == last) return std::string(doc.RowView(first));
    std::size_t total = 0;
    for (int r = first; r <= last; ++r) total += doc.RowView(r).size();
    std::string line;
    line.reserve(total);
    for (int r = first; r <= last; ++r) line += doc.RowView(r);
    return line;
}

std::string TEditorStrings::GetTextStr() const { return Document().GetText(); }

// ---- editing

void TEditorStrings::Replace(int Row, int Count, std::string_view Text) {
    TEditorCaretLock lock(FEditor);
    FEditor.DropSelection();
    Document().ReplaceRows(Row, Count, Text);
    FEditor.MoveCaretByOffset(Row, TextOffsetLength(Text));
}

void TEditorStrings::Put(int Index, std::string_view S) {
    TEditorScreenStrings& doc = Document();
    CheckLine(Index, doc.LineCount() - 1);
    const int first = doc.LineToRow(Index);
    const int last = doc.LastRowOfLine(first);
    std::string text(S);
    if (doc.RowEndKind(last) == reLineBreak) text += kLineBreak;
    Replace(first, last - first + 1, text);
}

void TEditorStrings::Insert(int Index, std::string_view S) {
    TEditorScreenStrings& doc = Document();
    CheckLine(Index, doc.LineCount());
    const int row = doc.LineToRow(Index);
    if (row == doc.GetCount()) {
        Add(S);
        return;
    }
    std::string text(S);
    text += kLineBreak;
    Replace(row, 0, text);
}

int TEditorStrings::Add(std::string_view S) {
    TEditorScreenStrings& doc = Document();
    const int lines = doc.LineCount();
    const int count = doc.GetCount();
    std::string text;
    if (count == 0 || doc.RowEndKind(count - 1) == reLineBreak) {
        text.reserve(S.size() + 2);
        text += S;
        text += kLineBreak;
        Replace(count, 0, text);
    } else {
        // The old last line gets its line break; S becomes the last line, without one.
        const std::string_view last = doc.RowView(count - 1);
        text.reserve(last.size() + 2 + S.size());
        text += last;
        text += kLineBreak;
        text += S;
        Replace(count - 1, 1, text);
    }
    return lines;
}

void TEditorStrings::Delete(int Index) {
    TEditorScreenStrings& doc = Document();
    CheckLine(Index, doc.LineCount() - 1);
    const int first = doc.LineToRow(Index);
    Replace(first, doc.LastRowOfLine(first) - first + 1, {});
}

void TEditorStrings::Clear() { Document().Clear(); }

void TEditorStrings::SetTextStr(std::string_view Value) {
    BeginUpdate();
    try {
        Document().SetText(Value);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TEditorStrings::Assign(const TPersistent& Source) {
    const auto* strings = dynamic_cast<const TStrings*>(&Source);
    if (!strings) {
        TStrings::Assign(Source);  // the conversion error
        return;
    }
    if (strings == this) return;
    SetTextStr(strings->GetTextStr());
    FEditor.SetRowCol(Document().GetCount(), 0);
}

void TEditorStrings::LoadFromFile(const std::string& FileName) {
    // The file is read whole before the document changes: a failure leaves the text as it was.
    std::string bytes;
    try {
        bytes = ReadFileBytes(FileName);
    } catch (const Exception& e) {
        throw EFOpenError(e.what());
    }
    const std::size_t end = bytes.find(kEndOfFile);
    if (end != std::string::npos) bytes.resize(end);
    TDocumentTextLoader loader(Document());
    loader.Adopt(std::move(bytes));
    BeginUpdate();
    try {
        loader.Finish();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---- update brackets

void TEditorStrings::SetUpdateState(bool Updating) {
    TEditorScreenStrings& doc = Document();
    if (Updating) {
        ++FUpdateCount;
        doc.BeginUpdate();
        FEditor.LockCaret();
    } else {
        --FUpdateCount;
        doc.EndUpdate();
        FEditor.UnlockCaret();
    }
    if (FEditor.Surface().Visible()) FEditor.Perform(WM_SETREDRAW, Updating ? 0 : 1, 0);
    if (Updating || FUpdateCount > 0) return;
    doc.RefreshAllEditors();
    // The end of the outermost bracket brings the caret into view.
    if (FEditor.Surface().HasFocus()) FEditor.ScrollCaret();
}

// ---- window-text messages

TMessageLong TEditorStrings::WindowTextMessage(unsigned Msg, TMessageParam WParam, TMessageLong LParam,
                                               bool& Handled) {
    Handled = true;
    switch (Msg) {
        case WM_SETTEXT: {
            if (FEditor.ReadOnly()) return 0;
            const char* text = reinterpret_cast<const char*>(LParam);
            SetTextStr(text ? std::string_view(text) : std::string_view());
            return 1;
        }
        case WM_GETTEXT: {
            // At most size - 1 bytes and a zero byte; a missing or empty buffer gets nothing.
            char* buffer = reinterpret_cast<char*>(LParam);
            if (!buffer || WParam == 0) return 0;
            const TEditorScreenStrings& doc = Document();
            std::size_t room = std::size_t(WParam) - 1;
            std::size_t copied = 0;
            auto put = [&](std::string_view bytes) {
                const std::size_t n = std::min(bytes.size(), room);
                if (n) std::memcpy(buffer + copied, bytes.data(), n);
                copied += n;
                room -= n;
            };
            const int count = doc.GetCount();
            for (int r = 0; r < count && room > 0; ++r) {
                put(doc.RowView(r));
                if (doc.RowEndKind(r) == reLineBreak) put(kLineBreak);
            }
            buffer[copied] = '\0';
            return TMessageLong(copied);
        }
        case WM_GETTEXTLENGTH:
            return TMessageLong(Document().GetTextLen());
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS | (FEditor.WantTabs() ? DLGC_WANTTAB : 0) |
                   (FEditor.WantReturns() ? DLGC_WANTALLKEYS : 0);
        default:
            Handled = false;
            return 0;
    }
}

}  // namespace orvane
