// The main window's documents (its tabs) as the search panel sees them, each known by its tab's id.
#pragma once

#include "search/searchpanel.h"

namespace orvane {

class TForm1;

class TMainSearchHost : public ISearchHost {
public:
    explicit TMainSearchHost(TForm1& Form) : FForm(Form) {}
    TOpenDocument ActiveDocument() override;
    std::vector<TOpenDocument> OpenDocuments() override;
    TEditor* ShowDocument(std::uint64_t Id, const QString& FileName) override;
    std::function<void(TEditorController&)> StyleOfActive() override;

private:
    TForm1& FForm;
};

}  // namespace orvane
