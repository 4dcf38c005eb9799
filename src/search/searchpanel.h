// The search panel "検索結果": find next and previous, replace (one by one with confirmation, all,
// in the selection), and the search over the edited file, the open files or a folder tree, whose
// hits are listed in a tree and opened by a double-click.
#pragma once

#include "editor/controller.h"
#include "search/searchproperties.h"
#include "search/searchresults.h"

#include <QDockWidget>
#include <QKeySequence>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QAction;
class QKeyEvent;
class QComboBox;
class QProgressDialog;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeView;

namespace orvane {

class TReplaceSelectionDialog;

class TEditor;
class TFileSearch;

// An open document as the panel sees it.
struct TOpenDocument {
    std::uint64_t Id = 0;  // unique while the document is open
    QString FileName;      // empty for an untitled document
    TEditor* Editor = nullptr;
};

// What the panel needs of the main window.
class ISearchHost {
public:
    virtual ~ISearchHost() = default;
    // The active document (Editor null when none).
    virtual TOpenDocument ActiveDocument() = 0;
    // Every open document in the window's order.
    virtual std::vector<TOpenDocument> OpenDocuments() = 0;
    // Activates the open document Id, or the one of FileName, opening the file when no document
    // has it; its editor, or null when there is none (nothing is moved then).
    virtual TEditor* ShowDocument(std::uint64_t Id, const QString& FileName) = 0;
    // What gives an editor the look of the active document (the replace-in-selection dialog's);
    // empty by default.
    virtual std::function<void(TEditorController&)> StyleOfActive() { return {}; }
};

class TSearchResultsForm : public QDockWidget {
    Q_OBJECT

public:
    TSearchResultsForm(ISearchHost& Host, TSearchProperties& Properties, QWidget* Parent = nullptr);
    ~TSearchResultsForm() override;

    // Loads every control from the settings.
    void RefreshFromSettings();
    // The search value as text (actFind takes the selection).
    void SetSearchText(const QString& Text);
    void ClearResults();

    // actSearch / actSearchBefore: the search box's text found in the active document, going on
    // from its other end when there is no hit that way (the status line tells); the hit becomes
    // the selection.
    bool FindNext(bool Down);
    // actFindNext / actFindBefore: the last search value found again from the caret, the same
    // way; nothing is told when the document holds no hit.
    bool FindAgain(bool Down);
    // actReplace: one hit after another (with confirmation when asked for) or every hit.
    void Replace();
    // actSearchFile: the search over the target (the edited file, the open files, a folder).
    void SearchFiles();

    // While a folder search runs; Cancel keeps the hits found so far.
    bool Searching() const noexcept { return FWorker != nullptr; }
    void CancelSearch();
    // Tests: runs the event loop until the folder search has ended.
    void WaitForSearch();

    // Opens the hit of a row: activates or opens its document and selects the hit.
    bool OpenHit(const QModelIndex& Index);

    // The confirmation of each replacement (tests answer it).
    using TAskReplace = std::function<TEditorController::TReplaceAnswer(TEditor& Editor)>;
    void SetAskReplace(TAskReplace Ask) { FAskReplace = std::move(Ask); }
    // Answers the replace-in-selection dialog instead of showing it (tests).
    void SetAskSelection(std::function<int(TReplaceSelectionDialog&)> Ask) { FAskSelection = std::move(Ask); }

    QComboBox* SearchBox() const noexcept { return FSearchBox; }
    QComboBox* ReplaceBox() const noexcept { return FReplaceBox; }
    QTreeView* Tree() const noexcept { return FTree; }
    TSearchResultsModel& Model() noexcept { return *FModel; }
    // The files the last folder search passed by, and why.
    const std::vector<TSkippedFile>& Skipped() const noexcept { return FSkipped; }

signals:
    // A line for the window's status bar (the search went on from the other end, a count).
    void StatusMessage(const QString& Text);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateToolBar(QToolBar* Bar, QToolBar* Bar2);
    QAction* Toggle(QToolBar* Bar, const QString& Caption, TSearchOptions Option, const QString& Key);
    void TakeSearchValue();
    void TakeReplaceValue();
    // One find in Editor with the settings from the caret; false when the text holds no hit.
    bool FindInEditor(TEditor& Editor, const std::string& Pattern);
    // Text of a box in the code page of Editor's document (Keep: new characters join the
    // document's map); false, told, when the document cannot hold some character of it.
    bool InDocument(TEditor& Editor, const QString& Text, bool Keep, std::string& Out);
    std::string SearchValueUtf8() const;
    void SearchDocuments(const std::vector<TOpenDocument>& Documents);
    void StartFolderSearch();
    void DrainResults();
    void FinishFolderSearch();
    void ShowResults(std::vector<TTextHits>&& Texts);
    TEditorController::TReplaceAnswer AskAtCaret(TEditor& Editor);
    void ChooseFolder();
    void ChooseFilter();
    void FocusEditor();

    ISearchHost& FHost;
    TSearchProperties& FProperties;
    QComboBox* FSearchBox = nullptr;
    QComboBox* FReplaceBox = nullptr;
    QAction* FFromStart = nullptr;
    QAction* FSelectedOnly = nullptr;
    std::vector<std::pair<QAction*, TSearchOptions>> FOptionToggles;
    std::vector<std::pair<QKeySequence, QAction*>> FToggleKeys;  // the option keys of the panel's widgets
    QAction* ToggleOfKey(const QKeyEvent& Key) const;
    QAction* FTargets[3] = {};
    QToolButton* FTargetButton = nullptr;
    QToolButton* FFolderButton = nullptr;
    QAction* FSubFolder = nullptr;
    QTreeView* FTree = nullptr;
    TSearchResultsModel* FModel = nullptr;
    TAskReplace FAskReplace;
    std::function<int(TReplaceSelectionDialog&)> FAskSelection;

    // The folder search running on its own thread; its results wait in FPending for the timer.
    std::unique_ptr<TFileSearch> FSearch;
    std::unique_ptr<std::thread> FWorker;
    std::atomic<bool> FWorkerDone{false};
    std::mutex FPendingLock;
    std::vector<TTextHits> FPending;
    bool FResultsCleared = false;
    QTimer* FDrainTimer = nullptr;
    QProgressDialog* FProgress = nullptr;
    std::vector<TSkippedFile> FSkipped;
    QString FSearchedValue;
    // The search and replace values as typed: code page 932 cannot hold every character.
    QString FSearchText, FReplaceText;
};

}  // namespace orvane
