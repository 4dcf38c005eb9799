// The main window: start-up, settings, status bar, title, shutdown.
#include "app/mainwindow.h"

#include "app/paths.h"
#include "app/recovery.h"
#include "app/tabsheet.h"
#include "files/doctext.h"
#include "platform/clipboard.h"
#include "platform/errordisplay.h"
#include "platform/lockkeys.h"
#include "platform/questions.h"
#include "app/searchwiring.h"
#include "styles/orvaneeditor.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include <filesystem>

namespace orvane {
namespace {

constexpr const char* kAppTitle = kProgramName;
constexpr const char* kUntitled = kUntitledName;

QRect ToQRect(const TRectEdges& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }
TRectEdges ToEdges(const QRect& R) { return {R.x(), R.y(), R.x() + R.width(), R.y() + R.height()}; }

}  // namespace

TForm1::TForm1(TStartOptions Options, QWidget* Parent) : QMainWindow(Parent), FOptions(std::move(Options)) {
    setWindowTitle(QString::fromUtf8(kAppTitle));
    FShortCuts = DefaultShortCuts();
    CreateCommands();
    BindHandlers();
    CreateSearchPanel();
    BuildMainMenu();
    FToolBar = addToolBar(QStringLiteral("ツールバー"));
    FToolBar->setObjectName(QStringLiteral("ToolBar"));
    FToolBar->setMovable(false);
    FEditorMenu = new QMenu(this);
    CreateStatusBar();
    // The styles before any document: every document takes the style of its extension.
    CreateStyles();
    CreateDocumentArea();

    // The clipboard is asked once and then followed, never polled: an X11 query waits for the
    // program that owns it.
    FClipboardText = ClipboardHasText();
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { FClipboardText = ClipboardHasText(); });

    FSessionTimer = new QTimer(this);
    FSessionTimer->setSingleShot(true);
    FSessionTimer->setInterval(300);
    connect(FSessionTimer, &QTimer::timeout, this, [this] { GuardedEvent(this, [this] { WriteSession(); }); });
    LoadSettings();
    StartRecovery(FOptions.RecoveryFolder);
    // A window always starts with a document; the first show may put files in its place.
    FStartDocument = NewDocument(QString(), false, deAuto);
    setAcceptDrops(true);
    LayoutStatusPanels();
    RefreshWindowState();

    // A lock key pressed anywhere in the program is shown at the next idle point.
    qApp->installEventFilter(this);
    // The enabling rules run when the event loop has nothing left to do, as idle handling does.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TForm1::UpdateCommands);
}

TForm1::~TForm1() {
    // The panel goes first: it searches and opens through this window's documents.
    delete FSearchPanel;
    FSearchPanel = nullptr;
    // The editors' events must not reach a window that is half destroyed.
    for (const auto& tab : FSheets) {
        if (TOrvaneEditor* editor = tab->Editor()) {
            editor->OnCaretMoved = nullptr;
            editor->OnChange = nullptr;
            editor->OnSelectionChange = nullptr;
        }
        if (tab->Form()) {
            tab->Form()->OnStateChange = nullptr;
            tab->Form()->OnLoadProgress = nullptr;
        }
    }
    FActive = nullptr;
    FSheets.clear();
    // Not ended normally when the window went without being closed: the snapshots stay.
    FRecoveryWriter.reset();
}

std::string TForm1::SettingsFileName() const {
    if (FOptions.SettingsFolder.empty()) return {};
    return (std::filesystem::path(FOptions.SettingsFolder) / kMainSettingsFile).string();
}

// ---- settings

void TForm1::LoadSettings() {
    TIniFile ini;
    if (!SettingsFileName().empty()) {
        try {
            ini = TIniFile(SettingsFileName());
        } catch (const std::exception& e) {
            ShowErrorMessage(this, e.what());
        }
    }
    FSettings = ReadMainSettings(ini);
    FHistory.Load(ini);
    RebuildHistoryMenu();

    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QSize size(std::min(960, work.width()), std::min(640, work.height()));
    const QRect fallback(work.x() + (work.width() - size.width()) / 2,
                         work.y() + (work.height() - size.height()) / 2, size.width(), size.height());
    if (FSettings.Placement.Stored) {
        setGeometry(ToQRect(ClampToScreen(FSettings.Placement.Normal, ToEdges(work), ToEdges(fallback))));
        if (FSettings.Placement.Show == 3) setWindowState(Qt::WindowMaximized);
    } else {
        setGeometry(fallback);
    }

    std::vector<TShortCut> shortcuts = DefaultShortCuts();
    ReadShortCuts(ini, FSettings.Version, shortcuts);
    SetShortCuts(std::move(shortcuts));
    FToolBar->setVisible(FSettings.ToolBar);
    statusBar()->setVisible(FSettings.StatusBar);
    BuildToolBar(FSettings.ToolBarItems);
    BuildEditorMenu(FSettings.PopupMenuItems);
}

template <class Fn>
void TForm1::ChangeSettings(Fn&& Change) {
    if (SettingsFileName().empty()) return;
    try {
        std::filesystem::create_directories(FOptions.SettingsFolder);
        TIniFile ini(SettingsFileName());
        Change(ini);
        ini.UpdateFile();
    } catch (const std::exception& e) {
        // Reported once a run, and never in the way of closing the window.
        if (!FSettingsErrorShown) {
            FSettingsErrorShown = true;
            ShowErrorMessage(this, std::string("設定を保存できませんでした。\n") + e.what());
        }
    }
}

// ---- start

void TForm1::showEvent(QShowEvent* Event) {
    QMainWindow::showEvent(Event);
    if (FShownOnce) return;
    FShownOnce = true;
    GuardedEvent(this, [this] { FirstShow(); });
}

void TForm1::FirstShow() {
    // Said once, after the window is up: a damaged style file never holds up the start.
    if (!FStyleList->LoadWarning().empty())
        QTimer::singleShot(0, this, [this] { Inform(this, FStyleList->LoadWarning()); });
    const TCommandLine& cl = FOptions.CommandLine;
    // When nothing on the command line could be opened, the last session comes back as at a
    // plain start.
    if (OpenRequests(cl) == 0 && !SettingsFileName().empty()) {
        try {
            const TIniFile ini(SettingsFileName());
            for (const std::string& name : ReadEditingFiles(ini)) {
                const QString path = QString::fromStdString(name);
                // Relative names (a new document's "無題") never name a file of the last run.
                if (QFileInfo(path).isAbsolute() && QFileInfo(path).isFile()) OpenFile(path, deAuto);
            }
        } catch (const std::exception& e) {
            ShowErrorMessage(this, e.what());
        }
    }
    OfferRecovery();
    // The empty document of the start goes when files came in its place.
    if (FStartDocument && FSheets.size() > 1 && FStartDocument->Form()->Untitled() && !FStartDocument->Form()->Modified()) {
        TOrvaneTabSheet* active = FActive == FStartDocument ? nullptr : FActive;
        CloseDocument(FStartDocument);
        if (active) ActivateDocument(active);
    }
    FStartDocument = nullptr;
    if (FSheets.empty()) NewDocument(QString(), false, deAuto);
    if (ActiveEditor()) ActiveEditor()->setFocus();
    FSessionReady = true;
    ScheduleSessionWrite();
}

void TForm1::GotoLinePosition(int Line, int Offset) {
    if (!ActiveEditor()) return;
    TEditorScreenStrings& doc = ActiveEditor()->Document();
    Line = std::clamp(Line, 0, std::max(0, doc.LineCount() - 1));
    int row = doc.LineCount() > 0 ? doc.LineToRow(Line) : 0;
    if (doc.GetCount() > 0) {
        // Walk the rows of the line; an offset beyond the line stops at its last row's end.
        const int last = doc.LastRowOfLine(row);
        Offset = std::max(0, Offset);
        for (int len; row < last && Offset > (len = int(doc.Get(row).size()));) {
            Offset -= len;
            ++row;
        }
        Offset = std::min(Offset, int(doc.Get(row).size()));
    }
    ActiveEditor()->SetRowCol(row, Offset);
    const int visible = ActiveEditor()->VisibleRowCount();
    const int d = ActiveEditor()->Row() - ActiveEditor()->TopRow();
    if (d < visible / 5 || d > visible * 4 / 5) ActiveEditor()->SetTopRow(std::max(0, ActiveEditor()->Row() - visible / 3));
    ActiveEditor()->setFocus();
}

// ---- title and status bar

void TForm1::RefreshWindowState() {
    const TOrvaneSheetForm* sheet = ActiveSheet();
    if (!sheet) {
        setWindowTitle(QString::fromUtf8(kAppTitle));
        for (int i : {0, 1, 2, 3, kEncodingPanel}) SetPanelText(i, QString());
        FPanels[kReadOnlyPanel]->hide();
        LayoutStatusPanels();
        return;
    }
    const QString name = QFileInfo(sheet->FileName()).fileName();
    setWindowTitle(name + QStringLiteral(" - ") + QString::fromUtf8(kAppTitle));
    RefreshModifiedPanel();
    RefreshModePanel();
    RefreshCaretPanel();
    RefreshHintPanel();
    RefreshFilePanels();
    if (ActiveEditor()->isVisible() && !ActiveEditor()->hasFocus()) ActiveEditor()->setFocus();
}

void TForm1::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    const QFontMetrics fm(bar->font());
    const char* samples[kPanelCount] = {"99999/ 99999行: 999桁", "変更あり", "書込禁止", nullptr, "CAP", "NUM",
                                        "Unicode CRLF", "読み取り専用"};
    // Shown from left to right: the read-only mark beside the edit mode, the encoding before
    // the lock keys.
    for (int i : {0, 1, 2, kReadOnlyPanel, 3, kEncodingPanel, 4, 5}) {
        auto* label = new QLabel(bar);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        if (samples[i]) {
            FPanelMinWidths[i] = fm.horizontalAdvance(QString::fromUtf8(samples[i]));
            label->setAlignment(Qt::AlignCenter);
        }
        bar->addPermanentWidget(label, samples[i] ? 0 : 1);
        FPanels[i] = label;
    }
    FPanels[kReadOnlyPanel]->setText(QStringLiteral("読み取り専用"));
    FPanels[kReadOnlyPanel]->setToolTip(QStringLiteral("このファイルには書き込めません。保存するときは名前を付けて保存します"));
    FPanels[kReadOnlyPanel]->hide();
    FPanels[kEncodingPanel]->setToolTip(QStringLiteral("クリックすると文字コードを指定して開き直します"));
    for (int i = 0; i < kPanelCount; ++i)
        if (samples[i]) FitPanel(i);
}

void TForm1::SetPanelText(int Index, const QString& Text) {
    if (FPanels[Index]->text() == Text) return;
    FPanels[Index]->setText(Text);
    if (Index != 3) FitPanel(Index);  // the hint takes the room the others leave
}

void TForm1::FitPanel(int Index) {
    QLabel* label = FPanels[Index];
    const int width = std::max(FPanelMinWidths[Index], label->fontMetrics().horizontalAdvance(label->text())) + 8 +
                      2 * label->frameWidth();
    if (label->minimumWidth() == width && label->maximumWidth() == width) return;
    label->setFixedWidth(width);
    LayoutStatusPanels();
}

void TForm1::LayoutStatusPanels() {
    FFixedPanelsWidth = 0;
    for (int i = 0; i < kPanelCount; ++i)
        if (i != 3 && !FPanels[i]->isHidden()) FFixedPanelsWidth += FPanels[i]->maximumWidth();
    // The hint panel takes what the others leave; on a bar too narrow for them it goes.
    const bool room = statusBar()->width() >= FFixedPanelsWidth + 10;
    FPanels[3]->setVisible(room);
}

void TForm1::resizeEvent(QResizeEvent* Event) {
    QMainWindow::resizeEvent(Event);
    LayoutStatusPanels();
}

QString TForm1::PanelText(int Index) const {
    return Index >= 0 && Index < kPanelCount ? FPanels[Index]->text() : QString();
}

bool TForm1::PanelVisible(int Index) const {
    return Index >= 0 && Index < kPanelCount && statusBar()->isVisible() && FPanels[Index]->isVisible();
}

int TForm1::PanelWidth(int Index) const { return Index >= 0 && Index < kPanelCount ? FPanels[Index]->width() : 0; }

void TForm1::RefreshCaretPanel() {
    if (!ActiveEditor()) return;
    const TEditorScreenStrings& doc = ActiveEditor()->Document();
    SetPanelText(0, QStringLiteral("%1/ %2行: %3桁")
                        .arg(doc.RowToLineCount(ActiveEditor()->Row()) + 1)
                        .arg(doc.LineCount())
                        .arg(ActiveEditor()->Col() + 1));
}

void TForm1::RefreshModifiedPanel() {
    if (!ActiveEditor()) return;
    SetPanelText(1, ActiveEditor()->Modified() ? QStringLiteral("変更あり") : QString());
}

void TForm1::RefreshModePanel() {
    if (!ActiveEditor()) {
        SetPanelText(2, QString());
        return;
    }
    SetPanelText(2, ActiveEditor()->ReadOnly()        ? QStringLiteral("書込禁止")
                    : ActiveEditor()->OverwriteMode() ? QStringLiteral("上書き")
                                                      : QStringLiteral("挿入"));
}

void TForm1::RefreshFilePanels() {
    const TOrvaneSheetForm* sheet = ActiveSheet();
    if (!sheet) return;
    SetPanelText(kEncodingPanel, sheet->FormatText());
    const bool readOnly = sheet->FileReadOnly();
    if (FPanels[kReadOnlyPanel]->isHidden() == readOnly) {
        FPanels[kReadOnlyPanel]->setVisible(readOnly);
        LayoutStatusPanels();
    }
}

void TForm1::RefreshHintPanel() {
    if (!ActiveEditor()) return;
    if (ActiveEditor()->Selected())
        FPanels[3]->setText(QStringLiteral("選択範囲のサイズ: %1 bytes").arg(ActiveEditor()->SelLength()));
    else if (ActiveSheet()->LoadingInSlices())
        FPanels[3]->setText(LoadProgressText(*ActiveSheet()));
    else
        FPanels[3]->setText(ActiveSheet()->StatusText());
}

void TForm1::SetHint(const QString& Text) {
    if (statusBar()->isVisible() && !Text.isEmpty()) FPanels[3]->setText(Text);
}

bool TForm1::eventFilter(QObject* Watched, QEvent* Event) {
    if (FDocumentArea && Watched == FDocumentArea->TabBar() && Event->type() == QEvent::MouseButtonRelease &&
        TabBarClicked(static_cast<QMouseEvent*>(Event)))
        return true;
    if (Watched == FPanels[kEncodingPanel] && Event->type() == QEvent::MouseButtonRelease) {
        GuardedEvent(this, [this] { ShowReopenMenu(FPanels[kEncodingPanel]); });
        return true;
    }
    if (Event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(Event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock) FLockKeysAsked.invalidate();
    }
    return QMainWindow::eventFilter(Watched, Event);
}

bool TForm1::event(QEvent* Event) {
    if (Event->type() == QEvent::StatusTip) {
        // Qt would show status tips as a temporary message over the panels: they go to panel 3.
        const QString tip = static_cast<QStatusTipEvent*>(Event)->tip();
        if (tip.isEmpty())
            RefreshHintPanel();
        else
            SetHint(tip);
        return true;
    }
    return QMainWindow::event(Event);
}

void TForm1::UpdateCommands() {
    ApplyCommandState(CommandState());
    if (FReopenMenu && FReopenMenu->menuAction()->isEnabled() != CanReopen()) FReopenMenu->menuAction()->setEnabled(CanReopen());
    RefreshModePanel();
    // Asking the X server is a round trip: at most five times a second, however busy the loop.
    if (FLockKeysAsked.isValid() && FLockKeysAsked.elapsed() < 200) return;
    FLockKeysAsked.start();
    if (const auto keys = QueryLockKeys()) {
        const QString caps = keys->Caps ? QStringLiteral("CAP") : QString();
        const QString num = keys->Num ? QStringLiteral("NUM") : QString();
        SetPanelText(4, caps);
        SetPanelText(5, num);
    }
}

TCommandState TForm1::CommandState() const {
    TCommandState s;
    s.Document = ActiveEditor() != nullptr;
    if (s.Document) {
        s.CanUndo = ActiveEditor()->CanUndo();
        s.CanRedo = ActiveEditor()->CanRedo();
        s.Selected = ActiveEditor()->Selected();
        s.MultiRow = ActiveEditor()->Selected() && ActiveEditor()->SelStartRow() != ActiveEditor()->SelEndRow();
        s.HasLines = ActiveEditor()->Lines().Count() > 0;
        s.ReadOnly = ActiveEditor()->ReadOnly();
        s.BoxMode = ActiveEditor()->SelectionMode() == smBox;
    }
    s.ClipboardText = FClipboardText;
    s.ToolBar = FToolBar && !FToolBar->isHidden();
    s.StatusBar = !statusBar()->isHidden();
    s.MessagePanel = FSearchPanel && FSearchPanel->isVisible();
    return s;
}

void TForm1::SetToolBarVisible(bool Visible) { FToolBar->setVisible(Visible); }

void TForm1::SetStatusBarVisible(bool Visible) {
    statusBar()->setVisible(Visible);
    if (Visible) LayoutStatusPanels();
}

// ---- drops

void TForm1::dragEnterEvent(QDragEnterEvent* Event) {
    if (Event->mimeData()->hasUrls()) Event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* Event) {
    QStringList files;
    for (const QUrl& url : Event->mimeData()->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    Event->acceptProposedAction();
    // Opened after the drop has returned: the drop may come through a widget that goes with a tab.
    QTimer::singleShot(0, this, [this, files] {
        GuardedEvent(this, [&] {
            for (const QString& file : files) OpenFile(file, deAuto);
        });
    });
}

// ---- shutdown

std::vector<std::string> TForm1::EditingFileNames() const {
    std::vector<std::string> files;
    for (const auto& tab : FSheets)
        files.push_back(tab->Form()->Untitled() ? std::string(kUntitled) : tab->Form()->FileName().toStdString());
    return files;
}

void TForm1::ScheduleSessionWrite() {
    if (FSessionReady && !FSessionTimer->isActive()) FSessionTimer->start();
}

void TForm1::WriteSession() {
    const std::vector<std::string> files = EditingFileNames();
    ChangeSettings([&](TIniFile& Ini) {
        WriteEditingFiles(Ini, files);
        FHistory.Save(Ini);
    });
}

bool TForm1::CloseQuery() {
    // The files open as the close begins stay the list, whatever closing them does to it.
    FSessionReady = false;
    FSessionTimer->stop();
    const std::vector<std::string> files = EditingFileNames();
    ChangeSettings([&](TIniFile& Ini) { WriteEditingFiles(Ini, files); });
    if (CloseAll()) return true;
    // A close that was cancelled leaves the files that are still open.
    FSessionReady = true;
    ScheduleSessionWrite();
    return false;
}

void TForm1::SaveExitSettings() {
    TWindowPlacement p;
    p.Stored = true;
    p.Show = isMaximized() ? 3 : 1;
    p.Normal = ToEdges(normalGeometry().isValid() ? normalGeometry() : geometry());
    ChangeSettings([&](TIniFile& Ini) {
        WriteExitSettings(Ini, p, !FToolBar->isHidden(), FSettings.Config.ToolBarFlat, !statusBar()->isHidden());
        FHistory.Save(Ini);
    });
    SaveSearchSettings();
}

void TForm1::closeEvent(QCloseEvent* Event) {
    bool accept = false;
    GuardedEvent(this, [&] {
        if (!CloseQuery()) return;
        SaveExitSettings();
        EndRecovery();
        accept = true;
    });
    if (accept)
        Event->accept();
    else
        Event->ignore();
}

}  // namespace orvane
