// The extra marks of the application's editor (full-width space, tab, wrap-column line) and
// where a row's tab and full-width-space marks stand.
#pragma once

#include "document/wrap.h"
#include "editor/editorsettings.h"

#include <string_view>
#include <vector>

namespace orvane {

class TOrvaneEditorMarks : public TNotifyPersistent {
public:
    TOrvaneEditorMarks();
    TOrvaneEditorMarks(const TOrvaneEditorMarks&) = delete;
    TOrvaneEditorMarks& operator=(const TOrvaneEditorMarks&) = delete;

    // A box under every full-width space.
    TEditorMark& DByteSpace() noexcept { return FDByteSpace; }
    const TEditorMark& DByteSpace() const noexcept { return FDByteSpace; }
    void SetDByteSpace(const TEditorMark& V) { FDByteSpace.Assign(V); }
    // A ">" on every tab.
    TEditorMark& TabMark() noexcept { return FTabMark; }
    const TEditorMark& TabMark() const noexcept { return FTabMark; }
    void SetTabMark(const TEditorMark& V) { FTabMark.Assign(V); }
    // A dotted line at the wrap column, while word wrap is on.
    TEditorMark& VertLine() noexcept { return FVertLine; }
    const TEditorMark& VertLine() const noexcept { return FVertLine; }
    void SetVertLine(const TEditorMark& V) { FVertLine.Assign(V); }

    // Copies the three marks inside one update bracket: one change notification.
    void Assign(const TPersistent& Source) override;

private:
    TEditorMark FDByteSpace, FTabMark, FVertLine;
};

// A tab or a full-width space of a row, at its display column.
struct TExtraMarkPos {
    int Col = 0;
    bool Tab = false;  // else a full-width space (two columns)
    bool operator==(const TExtraMarkPos&) const = default;
};
// The tabs and full-width spaces of a row's text, at the columns the row shows them (tabs run to
// their stops as Layout lays them out, so marks after a tab cut at the wrap column stay in place).
std::vector<TExtraMarkPos> ExtraMarkColumns(std::string_view RowText, const TColumnLayout& Layout);

// The range a hit highlight covers, in character offsets (0-based; every line break counts 2),
// limited to a text of TextLength characters. A negative Length moves Start back by as much.
struct THitRange {
    int Start = 0;
    int Length = 0;
    bool operator==(const THitRange&) const = default;
};
THitRange LimitHitRange(int Start, int Length, int TextLength);

}  // namespace orvane
