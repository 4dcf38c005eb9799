// Replacing inside the selection only.
#include "search/replaceselection.h"

#include "widgets/editor.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace orvane {

TReplaceSelectionDialog::TReplaceSelectionDialog(const TSearchProperties& Settings, QWidget* Parent)
    : QDialog(Parent), FEditor(new TEditor(this)) {
    setWindowTitle(QStringLiteral("選択範囲のみ置換する"));
    FSettings.Assign(Settings);
    FSettings.SelectedOnly = false;
    // From the start of the selected text to its end, whatever way the panel searches.
    FSettings.Options = TSearchOptions(FSettings.Options | soDown);
    // Shown, not typed into: the buttons make every change.
    FEditor->setFocusPolicy(Qt::NoFocus);
    FEditor->viewport()->setAttribute(Qt::WA_TransparentForMouseEvents);
    FReplace = new QPushButton(QStringLiteral("置換して次へ(&Y)"), this);
    FSkip = new QPushButton(QStringLiteral("置換しないで次へ(&N)"), this);
    FAll = new QPushButton(QStringLiteral("すべて置換(&A)"), this);
    FFinish = new QPushButton(QStringLiteral("終了(&X)"), this);
    FCancel = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    FReplace->setDefault(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {FReplace, FSkip, FAll, FFinish, FCancel}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FEditor, 1);
    layout->addLayout(buttons);
    resize(640, 400);
    connect(FReplace, &QPushButton::clicked, this, &TReplaceSelectionDialog::ReplaceAndNext);
    connect(FSkip, &QPushButton::clicked, this, &TReplaceSelectionDialog::SkipToNext);
    connect(FAll, &QPushButton::clicked, this, &TReplaceSelectionDialog::ReplaceAll);
    connect(FFinish, &QPushButton::clicked, this, &QDialog::accept);
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TReplaceSelectionDialog::FindNext() { return FEditor->FindText(FSettings.SearchValue, FSettings.Options); }

bool TReplaceSelectionDialog::FindFirst() {
    FEditor->SetRowCol(0, 0);
    return FindNext();
}

void TReplaceSelectionDialog::ReplaceAndNext() {
    if (FEditor->ReplaceHit(FSettings.ReplaceValue, FSettings.Options)) ++FReplaced;
    SkipToNext();
}

void TReplaceSelectionDialog::SkipToNext() {
    if (!FindNext()) accept();
}

void TReplaceSelectionDialog::ReplaceAll() {
    FReplaced += FEditor->ReplaceAll(FSettings.SearchValue, FSettings.ReplaceValue, FSettings.Options);
    accept();
}

int ReplaceInSelection(TEditor& Editor, const TSearchProperties& Settings, QWidget* Owner,
                       const std::function<void(TEditorController&)>& Style,
                       const std::function<int(TReplaceSelectionDialog&)>& Run) {
    if (!Editor.Selected() || Editor.SelectionMode() == smBox || Settings.SearchValue.empty() || Editor.ReadOnly())
        return 0;
    TReplaceSelectionDialog dialog(Settings, Owner);
    TEditor& text = dialog.Editor();
    if (Style) Style(text);
    text.Leftbar().SetVisible(false);
    text.Ruler().SetVisible(false);
    text.Document().SetText(Editor.SelText());
    if (!dialog.FindFirst()) return -1;
    if (Settings.Options & soReplaceConfirm) {
        const int result = Run ? Run(dialog) : dialog.exec();
        // "終了" keeps what was replaced before it; "キャンセル" keeps nothing.
        if (result != QDialog::Accepted || dialog.Replaced() == 0) return 0;
    } else if (Settings.Options & soReplaceAll) {
        dialog.ReplaceAll();
    } else {
        dialog.ReplaceAndNext();
    }
    if (dialog.Replaced() == 0) return 0;
    // One edit, and the new text stays selected, so that it can be searched again.
    const int start = Editor.SelStart();
    const std::string result = text.Document().GetText();
    Editor.SetSelText(result);
    Editor.SetSelStart(start);
    Editor.SetSelLength(int(std::min<std::size_t>(result.size(), 0x7FFFFFFF)));
    return dialog.Replaced();
}

}  // namespace orvane
