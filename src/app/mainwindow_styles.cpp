// The main window's file-type styles: the style list, styling documents by their extension, and
// the style commands.
#include "app/mainwindow.h"

#include "app/tabsheet.h"
#include "platform/errordisplay.h"
#include "platform/fonts.h"
#include "styles/applystyle.h"

#include <QApplication>
#include <QFontDialog>
#include <QVariant>

#include <filesystem>

namespace orvane {
namespace {

// The sheet property holding the file name its editor was last styled for.
constexpr const char* kStyledName = "orvaneStyledName";

// The style of a document by its name; an untitled one goes by the name proposed for it ("無題"
// has no extension: the default style; a clone: its original's). No document: the default style.
int StyleIndexOf(const TOrvaneStyleList& List, const TOrvaneSheetForm* Sheet) {
    return Sheet ? List.StyleIndexOfFile(Sheet->FileName().toStdString()) : 0;
}

// Restores the normal cursor when a style command ends, also by an exception.
struct TBusyCursor {
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace

void TForm1::CreateStyles() {
    if (FOptions.SettingsFolder.empty()) {
        FStyleList = std::make_unique<TOrvaneStyleList>();
        FStyleList->AddStarterStyles();
        return;
    }
    // Never fails: a damaged or unreadable file gives a warning, shown once the window is up.
    const std::string fileName = (std::filesystem::path(FOptions.SettingsFolder) / kStyleSettingsFile).string();
    std::error_code error;
    const bool firstStart =
        std::filesystem::symlink_status(fileName, error).type() == std::filesystem::file_type::not_found;
    FStyleList = std::make_unique<TOrvaneStyleList>(fileName);
    // Nothing is written until the user changes a style.
    if (firstStart) FStyleList->AddStarterStyles();
}

void TForm1::ApplyStyleOf(TOrvaneSheetForm& Sheet) {
    TOrvaneEditor& editor = *Sheet.Editor();
    ApplyStyle(FStyleList->Styles(StyleIndexOf(*FStyleList, &Sheet)), editor, &editor.MarksOrvane());
    Sheet.setProperty(kStyledName, Sheet.FileName());
}

void TForm1::StyleLikeActive(TEditorController& Editor) {
    if (FStyleList) ApplyStyle(FStyleList->Styles(StyleIndexOf(*FStyleList, ActiveSheet())), Editor);
}

void TForm1::StyleIfRenamed(TOrvaneSheetForm& Sheet) {
    if (FStyleList && Sheet.property(kStyledName).toString() != Sheet.FileName()) ApplyStyleOf(Sheet);
}

void TForm1::RestyleDocuments() {
    const int style = StyleIndexOf(*FStyleList, ActiveSheet());
    for (const auto& tab : FSheets) {
        TOrvaneSheetForm* sheet = tab->Form();
        if (sheet && StyleIndexOf(*FStyleList, sheet) == style) ApplyStyleOf(*sheet);
    }
}

void TForm1::ChangeStyle(TStyleSaveScope Scope, const std::function<void(TOrvaneStyle&)>& Change) {
    TBusyCursor busy;
    Change(FStyleList->Styles(StyleIndexOf(*FStyleList, ActiveSheet())));
    RestyleDocuments();
    try {
        FStyleList->Save(Scope);
    } catch (const std::exception& e) {
        ShowErrorMessage(this, std::string("スタイルファイルを保存できませんでした。\n") + e.what());
    }
}

void TForm1::ChooseStyleFont() {
    TOrvaneStyle& style = FStyleList->Styles(StyleIndexOf(*FStyleList, ActiveSheet()));
    const TFont& font = style.Prop().Font();
    // The font the text is drawn with, which a name that is not installed here is not.
    QFont initial = ResolveEditorFont(QString::fromStdString(font.Name()), font.Size(), font.Style() & fsBold,
                                      font.Style() & fsItalic);
    initial.setUnderline(font.Style() & fsUnderline);
    initial.setStrikeOut(font.Style() & fsStrikeOut);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, this);
    // Restyled and saved also when cancelled.
    ChangeStyle(sscFont, [&](TOrvaneStyle& Style) {
        if (!ok) return;
        TFont& f = Style.Prop().Font();
        f.BeginUpdate();
        f.SetName(chosen.family().toStdString());
        if (chosen.pointSize() > 0) f.SetSize(chosen.pointSize());
        f.SetStyle(TFontStyles((chosen.bold() ? fsBold : 0) | (chosen.italic() ? fsItalic : 0) |
                               (chosen.underline() ? fsUnderline : 0) | (chosen.strikeOut() ? fsStrikeOut : 0)));
        f.EndUpdate();
    });
}

}  // namespace orvane
