// The search panel in the main window: what it searches and opens (the window's documents), the
// search settings kept in the settings folder, and the find commands.
#include "app/searchwiring.h"

#include "app/mainwindow.h"

#include "base/exceptions.h"
#include "platform/errordisplay.h"
#include "search/searchpanel.h"
#include "widgets/editor.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

namespace orvane {

TOpenDocument TMainSearchHost::ActiveDocument() {
    return FForm.FEditor ? TOpenDocument{1, FForm.FFileName, FForm.FEditor} : TOpenDocument{};
}

std::vector<TOpenDocument> TMainSearchHost::OpenDocuments() {
    std::vector<TOpenDocument> documents;
    if (FForm.FEditor) documents.push_back(ActiveDocument());
    return documents;
}

TEditor* TMainSearchHost::ShowDocument(std::uint64_t Id, const QString& FileName) {
    if (!FForm.FEditor) return nullptr;
    const QString path = FileName.isEmpty() ? QString() : QFileInfo(FileName).absoluteFilePath();
    if (Id == 1 || (!path.isEmpty() && path == QFileInfo(FForm.FFileName).absoluteFilePath())) return FForm.FEditor;
    // Another file: opened when it is there and the text shown may go.
    if (path.isEmpty() || !QFileInfo(path).isFile()) return nullptr;
    if (!FForm.MayDiscardChanges() || !FForm.OpenFile(path, deAuto)) return nullptr;
    return FForm.FEditor;
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
        if (FEditor) {
            if (FSettings.Config.SearchSelection) {
                if (FEditor->Selected()) p.SearchValue = FEditor->SelText();
                p.SelectedOnly = false;
            } else {
                p.SelectedOnly = FEditor->Selected() && FEditor->SelStartRow() != FEditor->SelEndRow();
            }
        }
        FSearchPanel->RefreshFromSettings();
        FSearchPanel->SearchBox()->setFocus();
        FSearchPanel->SearchBox()->lineEdit()->selectAll();
    });
    auto again = [this](bool Down) {
        TSearchProperties& p = *FSearchProperties;
        if (p.SearchValue.empty() || !FEditor) return;
        p.SelectedOnly = false;
        p.FromCursor = true;
        p.SetOption(OptionBit(soDown), Down);
        FEditor->FindText(p.SearchValue, p.Options);
    };
    on("actFindNext", [again] { again(true); });
    on("actFindBefore", [again] { again(false); });
    on("actMessagePanel", [this] { FSearchPanel->setVisible(!FSearchPanel->isVisible()); });
}

void TForm1::SaveSearchSettings() {
    if (!FSearchProperties || FOptions.SettingsFolder.empty()) return;
    try {
        FSearchProperties->SaveToFile(SearchSettingsFile(FOptions.SettingsFolder));
    } catch (const std::exception& e) {
        ShowErrorMessage(this, e.what());
    }
}

}  // namespace orvane
