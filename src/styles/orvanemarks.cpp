// The application editor's extra marks.
#include "styles/orvanemarks.h"

#include "base/dbcs.h"

#include <algorithm>

namespace orvane {

TOrvaneEditorMarks::TOrvaneEditorMarks() {
    for (TEditorMark* mark : {&FDByteSpace, &FTabMark, &FVertLine})
        mark->OnChange = [this](TObject* Sender) { ChildChanged(Sender); };
}

void TOrvaneEditorMarks::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TOrvaneEditorMarks*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    BeginUpdate();
    try {
        FDByteSpace.Assign(src->FDByteSpace);
        FTabMark.Assign(src->FTabMark);
        FVertLine.Assign(src->FVertLine);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::vector<TExtraMarkPos> ExtraMarkColumns(std::string_view RowText, const TColumnLayout& Layout) {
    std::vector<TExtraMarkPos> marks;
    int col = 0;
    for (std::size_t i = 0; i < RowText.size() && col <= kMaxDisplayCol;) {
        const std::size_t length = CharLenAt(RowText, i);
        if (RowText[i] == '\t') {
            marks.push_back({col, true});
            col += Layout.TabWidthAt(col);
        } else {
            if (length == 2 && RowText[i] == '\x81' && RowText[i + 1] == '\x40') marks.push_back({col, false});
            col += int(length);
        }
        i += length;
    }
    return marks;
}

THitRange LimitHitRange(int Start, int Length, int TextLength) {
    TextLength = std::max(0, TextLength);
    if (Length < 0) {
        Start += Length;
        Length = -Length;
    }
    Start = std::clamp(Start, 0, TextLength);
    Length = std::clamp(Length, 0, TextLength - Start);
    return {Start, Length};
}

}  // namespace orvane
