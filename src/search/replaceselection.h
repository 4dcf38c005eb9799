// Replacing inside the selection only: the selected text in a dialog of its own, its hits
// replaced one by one or all at once, and the result put back over the selection as one edit.
#pragma once

#include "search/searchproperties.h"

#include <QDialog>

#include <functional>

class QPushButton;

namespace orvane {

class TEditor;
class TEditorController;

// "選択範囲のみ置換する": the selected text in a read-only editor, the current hit selected.
class TReplaceSelectionDialog : public QDialog {
    Q_OBJECT

public:
    TReplaceSelectionDialog(const TSearchProperties& Settings, QWidget* Parent = nullptr);

    TEditor& Editor() noexcept { return *FEditor; }
    // The first hit; false when the text has none.
    bool FindFirst();
    // "置換して次へ", "置換しないで次へ", "すべて置換": the dialog closes as accepted when no hit
    // is left. "終了" accepts, "キャンセル" rejects.
    void ReplaceAndNext();
    void SkipToNext();
    void ReplaceAll();
    int Replaced() const noexcept { return FReplaced; }
    QPushButton* ReplaceButton() const noexcept { return FReplace; }
    QPushButton* SkipButton() const noexcept { return FSkip; }
    QPushButton* AllButton() const noexcept { return FAll; }
    QPushButton* FinishButton() const noexcept { return FFinish; }
    QPushButton* CancelButton() const noexcept { return FCancel; }

private:
    bool FindNext();

    TSearchProperties FSettings;  // a copy: selection-only off, searching down
    TEditor* FEditor;
    QPushButton *FReplace, *FSkip, *FAll, *FFinish, *FCancel;
    int FReplaced = 0;
};

// Replaces hits of Settings' search value inside Editor's selection. With confirmation the
// dialog is shown (Run shows it; tests answer it instead) when there is a first hit, and its
// text replaces the selection once it is accepted; without, the hits are replaced at once (all
// of them, or only the first unless Settings asks to replace all). Style gives the dialog's
// editor the document's look. The new text is left selected. Answers how many hits were replaced
// in the document, -1 when the selection holds none (0 for a box selection, whose rows are no
// one text).
int ReplaceInSelection(TEditor& Editor, const TSearchProperties& Settings, QWidget* Owner,
                       const std::function<void(TEditorController&)>& Style = {},
                       const std::function<int(TReplaceSelectionDialog&)>& Run = {});

}  // namespace orvane
