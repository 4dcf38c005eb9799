// The search panel in the main window: what it searches and opens (the window's documents), the
// search settings kept in the settings folder, and the find commands.
#include "app/searchwiring.h"

#include "app/mainwindow.h"

#include "base/exceptions.h"
#include "files/unicode.h"
#include "platform/errordisplay.h"
#include "search/searchpanel.h"
#include "app/sheetform.h"
#include "app/tabsheet.h"
#include "styles/orvaneeditor.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

namespace orvane {

namespace {

TOpenDocument DocumentOf(const TOrvaneTabSheet* Tab) {
    if (!Tab || !Tab->Form() || !Tab->Editor()) return {};
    const TOrvaneSheetForm& form = *Tab->Form();
    // An untitled document has a caption for a name, never a file: its hits go by its id.
    return {std::uint64_t(Tab->Id()) + 1, form.Untitled() ? QString() : form.FileName(), Tab->Editor()};
}

}  // namespace

TOpenDocument TMainSearchHost::ActiveDocument() { return DocumentOf(FForm.ActiveTab()); }

std::vector<TOpenDocument> TMainSearchHost::OpenDocuments() {
    std::vector<TOpenDocument> documents;
    for (const auto& tab : FForm.Sheets())
        if (TOpenDocument d = DocumentOf(tab.get()); d.Editor) documents.push_back(d);
    return documents;
}

TEditor* TMainSearchHost::ShowDocument(std::uint64_t Id, const QString& FileName) {
    // The document the hit was found in while it is open, else the file's tab, else the file
    // opened in a new tab.
    if (Id != 0) {
        for (const auto& tab : FForm.Sheets()) {
            if (std::uint64_t(tab->Id()) + 1 == Id && tab->Editor()) {
                FForm.ActivateDocument(tab.get());
                return tab->Editor();
            }
        }
    }
    if (FileName.isEmpty() || !QFileInfo(FileName).isFile()) return nullptr;
    return FForm.OpenOrActivate(FileName, deAuto);
}

std::function<void(TEditorController&)> TMainSearchHost::StyleOfActive() {
    return [this](TEditorController& Editor) { FForm.StyleLikeActive(Editor); };
}

void TForm1::CreateSearchPanel() {
    FSearchProperties = std::make_unique<TSearchProperties>();
    FSearchProperties->SetDefaults();
    if (!FOptions.SettingsFolder.empty()) {
        try {
            FSearchProperties->LoadFromFile(SearchSettingsFile(FOptions.SettingsFolder));
        } catch (const std::exception& e) {
            // A missing file is the first start; any other problem is told.
            if (QFileInfo::exists(QString::fromStdString(SearchSettingsFile(FOptions.SettingsFolder))))
                ShowErrorMessage(this, e.what());
        }
    }
    FSearchHost = std::make_unique<TMainSearchHost>(*this);
    FSearchPanel = new TSearchResultsForm(*FSearchHost, *FSearchProperties, this);
    addDockWidget(Qt::BottomDockWidgetArea, FSearchPanel);
    FSearchPanel->hide();

    auto on = [this](std::string_view Name, std::function<void()> Handler) {
        const int i = FindCommand(Name);
        if (i >= 0) FCommands[std::size_t(i)]->Handler = std::move(Handler);
    };
    on("actFind", [this] {
        TSearchProperties& p = *FSearchProperties;
        FSearchPanel->show();
        if (TEditor* editor = ActiveEditor()) {
            if (FSettings.Config.SearchSelection) {
                if (editor->Selected())
                    FSearchPanel->SetSearchText(QString::fromStdString(SjisToUtf8(editor->SelText(), editor->CharMap(), nullptr)));
                p.SelectedOnly = false;
            } else {
                p.SelectedOnly = editor->Selected() && editor->SelStartRow() != editor->SelEndRow();
            }
        }
        FSearchPanel->RefreshFromSettings();
        FSearchPanel->SearchBox()->setFocus();
        FSearchPanel->SearchBox()->lineEdit()->selectAll();
    });
    connect(FSearchPanel, &TSearchResultsForm::StatusMessage, this, [this](const QString& Text) { SetHint(Text); });
    on("actFindNext", [this] { FSearchPanel->FindAgain(true); });
    on("actFindBefore", [this] { FSearchPanel->FindAgain(false); });
    on("actMessagePanel", [this] { FSearchPanel->setVisible(!FSearchPanel->isVisible()); });
}

void TForm1::SaveSearchSettings() {
    if (!FSearchProperties || FOptions.SettingsFolder.empty()) return;
    try {
        FSearchProperties->SaveToFile(SearchSettingsFile(FOptions.SettingsFolder));
    } catch (const std::exception& e) {
        // Like the main settings: told once a run, never in the way of closing.
        if (!FSettingsErrorShown) {
            FSettingsErrorShown = true;
            ShowErrorMessage(this, std::string("設定を保存できませんでした。\n") + e.what());
        }
    }
}

}  // namespace orvane
