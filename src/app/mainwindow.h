// The main window TForm1: start-up, settings, commands with their menus and toolbar, the status
// bar, the window title and the shutdown order; the documents, one tab each (mainwindow_tabs.cpp).
#pragma once

#include "app/cmdline.h"
#include "app/commands.h"
#include "app/docnames.h"
#include "app/encodingchooser.h"
#include "app/settings.h"
#include "app/sheetform.h"
#include "styles/orvaneeditor.h"
#include "styles/stylelist.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QTimer;
class QLabel;
class QMenu;
class QMouseEvent;
class QToolBar;

namespace orvane {

class TDocumentArea;
class TMainSearchHost;
class TOrvaneTabSheet;
class TRecoveryRun;
class TRecoveryWriter;
class TSearchProperties;
class TSearchResultsForm;
struct TRecoverySnapshot;


// Where the window keeps its settings and finds its data, and what the command line asked for.
struct TStartOptions {
    std::string SettingsFolder;
    std::vector<std::string> DataFolders;
    // Where snapshots of unsaved text go (a run's folder is made below it); empty: none.
    std::string RecoveryFolder;
    TCommandLine CommandLine;
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(TStartOptions Options, QWidget* Parent = nullptr);
    ~TForm1() override;

    // ---- what other parts of the program use
    // The documents in the order of their tabs (the order they were made).
    const std::vector<std::unique_ptr<TOrvaneTabSheet>>& Sheets() const noexcept { return FSheets; }
    TOrvaneTabSheet* ActiveTab() const noexcept;
    TOrvaneSheetForm* ActiveSheet() const noexcept;
    // The active document's editor; null when no document is open.
    TOrvaneEditor* ActiveEditor() const noexcept;
    // FileName of the active document, empty for an untitled one or none.
    QString ActiveFileName() const;
    // Opens FileName in a new tab, or activates the tab that has it (matched by the file, however
    // reached: links resolved, letter case kept); false after showing why it could not.
    bool OpenFile(const QString& FileName, TDocumentEncoding Encoding);
    // OpenFile, then the editor of the file's tab (null when it could not be opened).
    TOrvaneEditor* OpenOrActivate(const QString& FileName, TDocumentEncoding Encoding = deAuto);
    // Opens each file of CommandLine (and shows its line): a start, or a second start's files.
    // A name of no file in a folder that exists opens as a new document under that name; a
    // folder, a device, a file that may not be read or a missing folder is reported. The number
    // of names that now have a tab.
    int OpenRequests(const TCommandLine& CommandLine);
    // A new, empty document named FileName (a file that is not there yet), or the tab that
    // already has that name.
    bool OpenNewFile(const QString& FileName, TDocumentEncoding Encoding);
    // A new tab: an untitled document when Name is empty, else Name, read when Load is set (a
    // failed read leaves the tab empty and untitled). The tab becomes active.
    TOrvaneTabSheet* NewDocument(const QString& Name, bool Load, TDocumentEncoding Encoding);
    // Closes Tab, asking about unsaved changes (Yes saves; No drops; Cancel keeps it open);
    // the tab at its place, else the last, becomes active. False when it stays open.
    bool CloseDocument(TOrvaneTabSheet* Tab);
    // Brings Tab (null: none) to the front and refreshes the title and the status bar.
    void ActivateDocument(TOrvaneTabSheet* Tab);
    // Rebuilds one tab's caption (and its icon).
    void RefreshTabCaption(TOrvaneTabSheet* Tab, bool WithIcon);
    // The tab of the file FileName names (compared as CanonicalFileName does), or null.
    TOrvaneTabSheet* FindSheetByName(const QString& FileName) const;
    int IndexOf(const TOrvaneTabSheet* Tab) const noexcept;
    // The caption of tab Index as shown (its "&" once).
    QString TabCaptionText(int Index) const;
    TDocumentArea* DocumentArea() const noexcept { return FDocumentArea; }
    // The tab menu, made ready for Tab (null: the menu was not asked for on a tab).
    QMenu* TabMenu() const noexcept { return FTabMenu; }
    void PrepareTabMenu(TOrvaneTabSheet* Tab);
    QMenu* HistoryMenu() const noexcept { return FHistoryMenu; }
    const THistoryList& History() const noexcept { return FHistory; }
    // Saves every modified document; the number of saves that were cancelled or failed.
    int SaveAll();
    // Closes every document but Keep, from the last to the first.
    void CloseOthers(TOrvaneTabSheet* Keep);
    // Closes the active document while one is open; false when one stayed.
    bool CloseAll();
    // Activates the document Step tabs further (wrapping around).
    void NextDocument(int Step);
    // Reads Tab's file again in Encoding (deAuto: detected), asking first when its text is
    // modified; false when it stays as it was.
    bool ReopenWithEncoding(TOrvaneTabSheet& Tab, TDocumentEncoding Encoding);
    // The encodings the active file can be read again in: the file menu's submenu, which a
    // click on the status bar's encoding shows too.
    QMenu* ReopenMenu() const noexcept { return FReopenMenu; }
    // Looks for files that other programs changed or deleted (done when the window comes back).
    void CheckExternalChanges();
    // Snapshots of unsaved text are written this long after the last change.
    void SetRecoveryDelay(int Milliseconds) noexcept { FRecoveryDelayMs = Milliseconds; }
    // Writes the snapshots that are due at once and waits until they are on disk.
    void WriteSnapshotsNow();
    // Saves Sheet: asks for a name (Title as the dialog's caption) when AskName is set or the
    // document is untitled; asks before writing characters the encoding cannot hold and before
    // writing a write-protected document; makes the backup the settings ask for. False when it
    // was cancelled or failed (after showing why); the document then stays modified.
    bool SaveDocument(TOrvaneSheetForm& Sheet, bool AskName, const QString& Title);
    // Before Sheet is saved as FileName: the other tab that has that file is closed, when the
    // user agrees (and its own unsaved changes are settled). False when it stays.
    bool CloseOtherTabOf(const QString& FileName, const TOrvaneSheetForm& Sheet);
    // The open dialog with the encoding chooser; the chosen file and encoding.
    std::optional<TFileDialogResult> ChooseFileToOpen(const QString& Caption);
    // What the encoding chooser remembers between dialogs.
    TEncodingChoice& EncodingChoice() noexcept { return FEncodingChoice; }
    const TMainSettings& Settings() const noexcept { return FSettings; }
    // The backup settings for the file FileName, with the folder resolved (DESKTOP, APPLICATION,
    // a folder of its own; a relative one against the file's folder).
    TBackupOptions BackupOptions(const QString& FileName) const;
    // Shows Line (0-based) at character offset Offset of the active editor and focuses it.
    void GotoLinePosition(int Line, int Offset);
    std::string SettingsFileName() const;
    const std::string& SettingsFolder() const noexcept { return FOptions.SettingsFolder; }
    // The title, the modified, edit-mode and caret panels, and the focus.
    void RefreshWindowState();

    // ---- file-type styles
    TOrvaneStyleList& StyleList() const noexcept { return *FStyleList; }
    // Sheet's editor takes the style of its file's extension (an untitled document: the default
    // style), and remembers the name it was styled for.
    void ApplyStyleOf(TOrvaneSheetForm& Sheet);
    // Editor takes the style of the active document (a dialog showing part of its text).
    void StyleLikeActive(TEditorController& Editor);
    // Every open document whose extension gives the active document's style takes it again.
    void RestyleDocuments();

    // ---- commands
    QAction* Action(std::string_view Name) const;
    // The state the enabling rules look at, as it is now.
    TCommandState CommandState() const;
    // Applies the enabling rules and the lock-key panels (runs whenever the event loop is about
    // to wait).
    void UpdateCommands();
    // The shortcuts in table order (as loaded or assigned); binding them keeps a key with the
    // first command in table order that has it.
    const std::vector<TShortCut>& ShortCuts() const noexcept { return FShortCuts; }
    void SetShortCuts(std::vector<TShortCut> ShortCuts);
    // The toolbar and editor menu as the item lists say.
    void BuildToolBar(const std::vector<std::string>& Items);
    void BuildEditorMenu(const std::vector<std::string>& Items);
    QMenu* EditorMenu() const noexcept { return FEditorMenu; }
    // The search panel "検索結果" (hidden until a find command or a search shows it).
    TSearchResultsForm* SearchPanel() const noexcept { return FSearchPanel; }
    QToolBar* ToolBar() const noexcept { return FToolBar; }

    // ---- the status bar panels: 0 caret, 1 modified, 2 edit mode, 3 hint, 4 CAP, 5 NUM, then
    // the file's encoding and line end (a click offers to reopen it in another encoding), and
    // "読み取り専用" while the file is one the user cannot write
    static constexpr int kEncodingPanel = 6;
    static constexpr int kReadOnlyPanel = 7;
    static constexpr int kPanelCount = 8;
    QString PanelText(int Index) const;
    bool PanelVisible(int Index) const;
    // The panel's width, which fits its text.
    int PanelWidth(int Index) const;

protected:
    void closeEvent(QCloseEvent* Event) override;
    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;
    // No menu of Qt's own for the toolbar: its visibility is a command.
    QMenu* createPopupMenu() override { return nullptr; }

private:
    struct TCommand {
        QAction* Action = nullptr;
        std::function<void()> Handler;  // empty: the command's part is not built yet
    };
    void CreateCommands();
    void BindHandlers();
    void BuildMainMenu();
    void CreateStatusBar();
    void LoadSettings();
    void FirstShow();
    void LayoutStatusPanels();
    // Status panels: a panel other than the hint grows and shrinks with its text (never below
    // its sample's width).
    void SetPanelText(int Index, const QString& Text);
    void FitPanel(int Index);
    void RefreshCaretPanel();
    void RefreshFilePanels();
    void RefreshModifiedPanel();
    void RefreshModePanel();
    // The status bar during a sliced load (progress, read-only) and after it (its warning).
    void ShowLoadProgress(TOrvaneSheetForm& Sheet, bool Active);
    static QString LoadProgressText(const TOrvaneSheetForm& Sheet);
    void RefreshHintPanel();
    void SetHint(const QString& Text);
    // Shutdown: the close query (files open, unsaved changes) and the close (settings).
    bool CloseQuery();
    void SaveExitSettings();
    // The files open and the recent files are written soon after they change (several changes
    // in one write), so that a crash or a power cut keeps them.
    void ScheduleSessionWrite();
    void WriteSession();
    std::vector<std::string> EditingFileNames() const;
    // Opens the settings file for one operation, changes it, writes it; a failure is shown once.
    template <class Fn>
    void ChangeSettings(Fn&& Change);
    // The search panel, its settings and the find commands (searchwiring.cpp).
    void CreateSearchPanel();
    void SaveSearchSettings();
    void ShowHelp();
    void ShowAbout();
    void SetToolBarVisible(bool Visible);
    void SetStatusBarVisible(bool Visible);
    void CommandNotAvailable();
    void ApplyCommandState(const TCommandState& State);
    // Styles: the list read from the style file; a document takes its style again when its
    // name changed since it was styled (opened, saved under another name, new).
    void CreateStyles();
    void StyleIfRenamed(TOrvaneSheetForm& Sheet);
    // A style command: changes the active document's style, restyles, saves with Scope.
    void ChangeStyle(TStyleSaveScope Scope, const std::function<void(TOrvaneStyle&)>& Change);
    void ChooseStyleFont();
    // The file commands.
    void NewDocument();
    void OpenCommand();
    void OpenToCaret();

    // Documents and tabs (mainwindow_tabs.cpp).
    void CreateDocumentArea();
    void ConnectEditor(TOrvaneTabSheet& Tab);
    void ShowTabMenu(TOrvaneTabSheet* Tab, const QPoint& GlobalPos);
    // A tab dragged from From to To: the document list and the tab menu follow.
    void TabMoved(int From, int To);
    // A middle click on a tab closes it; true when the click was one.
    bool TabBarClicked(QMouseEvent* Event);
    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp switch tabs unless a command has the key.
    void BindTabKeys();
    void ToggleReadOnly(TOrvaneTabSheet* Tab);
    bool SaveTab(TOrvaneTabSheet& Tab, bool AskName, const QString& Title);
    void CloneDocument();
    void DeleteAndExit();
    void SaveAndExit();
    void CloseCommand();
    void TabOptionsCommand();
    void RebuildHistoryMenu();
    bool ReloadDocument(TOrvaneTabSheet& Tab, TDocumentEncoding Encoding);
    QMenu* CreateReopenMenu();
    bool CanReopen() const;
    void ShowReopenMenu(QWidget* Anchor);
    void StartRecovery(const std::string& Folder);
    void WriteSnapshot(TOrvaneTabSheet& Tab);
    void DropSnapshot(TOrvaneTabSheet& Tab);
    void OfferRecovery();
    void RestoreSnapshot(const TRecoverySnapshot& Snapshot);
    void EndRecovery();

    TStartOptions FOptions;
    std::vector<std::unique_ptr<TOrvaneTabSheet>> FSheets;
    TOrvaneTabSheet* FActive = nullptr;
    TOrvaneTabSheet* FMenuTab = nullptr;  // the tab whose menu was last asked for
    QPointer<TOrvaneTabSheet> FStartDocument;  // the document a window starts with, until shown
    TDocumentArea* FDocumentArea = nullptr;
    QMenu* FTabMenu = nullptr;
    QAction* FTabClose = nullptr;
    QAction* FTabCloseOther = nullptr;
    QAction* FTabReadOnly = nullptr;
    QAction* FTabConfig = nullptr;
    QMenu* FHistoryMenu = nullptr;
    QMenu* FReopenMenu = nullptr;
    std::vector<QAction*> FTabKeys;
    THistoryList FHistory;
    int FLastDocumentId = 0;
    bool FChangingTabs = false;
    bool FCheckingFiles = false;
    std::string FLastLoadError, FLastLoadWarning;
    std::unique_ptr<TRecoveryRun> FRecoveryRun;
    std::unique_ptr<TRecoveryWriter> FRecoveryWriter;
    int FRecoveryDelayMs = 2000;
    bool FRecoveryErrorShown = false;
    std::unique_ptr<TOrvaneStyleList> FStyleList;
    TEncodingChoice FEncodingChoice;
    std::vector<std::unique_ptr<TCommand>> FCommands;
    std::vector<TShortCut> FShortCuts;
    // Menu entries shown under another caption: (entry, command index).
    std::vector<std::pair<QAction*, int>> FProxies;
    QToolBar* FToolBar = nullptr;
    QMenu* FEditorMenu = nullptr;
    QLabel* FPanels[kPanelCount] = {};
    int FPanelMinWidths[kPanelCount] = {};  // of the sample each panel is at least as wide as
    int FFixedPanelsWidth = 0;
    TMainSettings FSettings;
    bool FClipboardText = false;
    bool FShownOnce = false;
    bool FSettingsErrorShown = false;
    bool FClosing = false;
    QTimer* FSessionTimer = nullptr;
    bool FSessionReady = false;  // from the end of the first show until the close
    QElapsedTimer FLockKeysAsked;
    std::unique_ptr<TSearchProperties> FSearchProperties;
    std::unique_ptr<TMainSearchHost> FSearchHost;
    TSearchResultsForm* FSearchPanel = nullptr;
};

}  // namespace orvane
