// The main window TForm1: start-up, settings, commands with their menus and toolbar, the status
// bar, the window title and the shutdown order. Until documents have tabs it holds one document.
#pragma once

#include "app/cmdline.h"
#include "app/commands.h"
#include "app/encodingchooser.h"
#include "app/settings.h"
#include "app/sheetform.h"
#include "styles/orvaneeditor.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace orvane {


// Where the window keeps its settings and finds its data, and what the command line asked for.
struct TStartOptions {
    std::string SettingsFolder;
    std::vector<std::string> DataFolders;
    TCommandLine CommandLine;
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(TStartOptions Options, QWidget* Parent = nullptr);
    ~TForm1() override;

    // ---- what other parts of the program use
    TOrvaneSheetForm* ActiveSheet() const noexcept { return FSheet; }
    TOrvaneEditor* ActiveEditor() const noexcept;
    // FileName of the active document, empty for an untitled one.
    QString ActiveFileName() const;
    // Reads a file into the document (the one document, until documents have tabs); false after
    // showing why it could not, the document staying as it was.
    bool OpenFile(const QString& FileName, TDocumentEncoding Encoding);
    // Saves Sheet: asks for a name (Title as the dialog's caption) when AskName is set or the
    // document is untitled; asks before writing characters the encoding cannot hold and before
    // writing a write-protected document; makes the backup the settings ask for. False when it
    // was cancelled or failed (after showing why); the document then stays modified.
    bool SaveDocument(TOrvaneSheetForm& Sheet, bool AskName, const QString& Title);
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
    QToolBar* ToolBar() const noexcept { return FToolBar; }

    // ---- the status bar panels 0 … 5
    QString PanelText(int Index) const;
    bool PanelVisible(int Index) const;

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
    // Status panels.
    void RefreshCaretPanel();
    void RefreshModifiedPanel();
    void RefreshModePanel();
    // The status bar during a sliced load (progress, read-only) and after it (its warning).
    void ShowLoadProgress(TOrvaneSheetForm& Sheet);
    void RefreshHintPanel();
    void SetHint(const QString& Text);
    // Shutdown: the close query (files open, unsaved changes) and the close (settings).
    bool CloseQuery();
    void SaveExitSettings();
    // Opens the settings file for one operation, changes it, writes it; a failure is shown once.
    template <class Fn>
    void ChangeSettings(Fn&& Change);
    void ShowHelp();
    void ShowAbout();
    void SetToolBarVisible(bool Visible);
    void SetStatusBarVisible(bool Visible);
    void CommandNotAvailable();
    void ApplyCommandState(const TCommandState& State);
    // Asks about unsaved changes; true when the document's text may go.
    bool MayDiscardChanges();
    // The file commands.
    void NewDocument();
    void OpenCommand();
    void OpenToCaret();

    TStartOptions FOptions;
    TOrvaneSheetForm* FSheet = nullptr;
    TEncodingChoice FEncodingChoice;
    std::vector<std::unique_ptr<TCommand>> FCommands;
    std::vector<TShortCut> FShortCuts;
    // Menu entries shown under another caption: (entry, command index).
    std::vector<std::pair<QAction*, int>> FProxies;
    QToolBar* FToolBar = nullptr;
    QMenu* FEditorMenu = nullptr;
    QLabel* FPanels[6] = {};
    int FFixedPanelsWidth = 0;
    TMainSettings FSettings;
    bool FClipboardText = false;
    bool FShownOnce = false;
    bool FSettingsErrorShown = false;
    bool FClosing = false;
    bool FLoadShownAsLoading = false;
    QElapsedTimer FLockKeysAsked;
};

}  // namespace orvane
