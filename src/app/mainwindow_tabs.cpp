// The main window's documents: one tab per document, the tab bar and its menu, captions, the
// document list with its commands, the recent files, dropped files, files changed by other
// programs, and the recovery snapshots of unsaved text.
#include "app/mainwindow.h"

#include "app/application.h"
#include "app/docnames.h"
#include "app/recovery.h"
#include "app/tabsheet.h"
#include "modes/parser.h"
#include "platform/errordisplay.h"
#include "platform/questions.h"
#include "styles/orvaneeditor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace orvane {
namespace {

QString Q(const std::string& S) { return QString::fromStdString(S); }

// Selects the URL or mail address under a double click, else the word (after the editor has
// taken the click as a press).
class TDoubleClickFilter : public QObject {
public:
    TDoubleClickFilter(TOrvaneEditor* Editor) : QObject(Editor), FEditor(Editor) {}

protected:
    bool eventFilter(QObject*, QEvent* Event) override {
        if (Event->type() != QEvent::MouseButtonDblClick) return false;
        auto* mouse = static_cast<QMouseEvent*>(Event);
        if (mouse->button() != Qt::LeftButton) return false;
        const QPoint at = mouse->position().toPoint();
        QPointer<TOrvaneEditor> editor(FEditor);
        QTimer::singleShot(0, FEditor, [editor, at] {
            if (!editor) return;
            GuardedEvent(editor, [&] {
                std::string token;
                TTokenKind kind = 0;
                if (editor->TokenAtPos(at, token, kind) && (kind == tokUrl || kind == tokMail))
                    editor->SelectTokenAtPos(at);
                else
                    editor->SelectWordAtPos(at);
                editor->OfferPrimarySelection();
            });
        });
        return false;
    }

private:
    TOrvaneEditor* FEditor;
};

}  // namespace

// ---- the document area

void TForm1::CreateDocumentArea() {
    FDocumentArea = new TDocumentArea(this);
    setCentralWidget(FDocumentArea);
    QTabBar* bar = FDocumentArea->TabBar();
    connect(bar, &QTabBar::tabBarClicked, this, [this](int Index) {
        if (Index >= 0 && Index < int(FSheets.size())) GuardedEvent(this, [&] { ActivateDocument(FSheets[std::size_t(Index)].get()); });
    });
    connect(bar, &QTabBar::currentChanged, this, [this](int Index) {
        if (FChangingTabs || Index < 0 || Index >= int(FSheets.size())) return;
        GuardedEvent(this, [&] { ActivateDocument(FSheets[std::size_t(Index)].get()); });
    });
    connect(bar, &QTabBar::tabBarDoubleClicked, this, [this](int) { GuardedEvent(this, [&] { TabOptionsCommand(); }); });
    connect(bar, &QTabBar::tabCloseRequested, this, [this](int Index) {
        if (Index >= 0 && Index < int(FSheets.size())) GuardedEvent(this, [&] { CloseDocument(FSheets[std::size_t(Index)].get()); });
    });
    connect(bar, &QTabBar::tabMoved, this, [this](int From, int To) { GuardedEvent(this, [&] { TabMoved(From, To); }); });
    // A middle click on a tab closes it (the window's filter sees every event of the program).
    connect(bar, &QWidget::customContextMenuRequested, this, [this](const QPoint& Pos) {
        GuardedEvent(this, [&] {
            const int index = FDocumentArea->TabBar()->tabAt(Pos);
            ShowTabMenu(index >= 0 ? FSheets[std::size_t(index)].get() : nullptr,
                        FDocumentArea->TabBar()->mapToGlobal(Pos));
        });
    });

    FTabMenu = new QMenu(this);
    FTabClose = FTabMenu->addAction(QStringLiteral("閉じる(&C)"), this, [this] {
        GuardedEvent(this, [&] {
            if (TOrvaneTabSheet* tab = FMenuTab) CloseDocument(tab);
        });
    });
    FTabClose->setStatusTip(QStringLiteral("このタブを閉じます"));
    FTabCloseOther = FTabMenu->addAction(QStringLiteral("これ以外を閉じる(&W)"), this, [this] {
        GuardedEvent(this, [&] {
            if (TOrvaneTabSheet* tab = FMenuTab) CloseOthers(tab);
        });
    });
    if (QAction* all = Action("actCloseAll")) FTabMenu->addAction(all);
    FTabMenu->addSeparator();
    if (QAction* window = Action("actNewWindow")) FTabMenu->addAction(window);
    FTabMenu->addSeparator();
    FTabReadOnly = FTabMenu->addAction(QStringLiteral("書き込み禁止(&O)"), this, [this] {
        GuardedEvent(this, [&] { ToggleReadOnly(FMenuTab); });
    });
    FTabReadOnly->setCheckable(true);
    FTabMenu->addSeparator();
    FTabConfig = FTabMenu->addAction(QStringLiteral("プロパティ(&P)..."), this, [this] {
        GuardedEvent(this, [&] { TabOptionsCommand(); });
    });
    FTabMenu->addSeparator();

    // The side toolbar shows icons only: a command the icon theme has none for gets the style's.
    QToolBar* side = FDocumentArea->SideBar();
    const std::pair<const char*, QStyle::StandardPixmap> sideItems[] = {{"actPrev", QStyle::SP_ArrowLeft},
                                                                        {"actNext", QStyle::SP_ArrowRight},
                                                                        {"-", QStyle::SP_CustomBase},
                                                                        {"actClose", QStyle::SP_DialogCloseButton},
                                                                        {"actCloseAll", QStyle::SP_DialogDiscardButton}};
    for (const auto& [name, pixmap] : sideItems) {
        if (name[0] == '-') {
            side->addSeparator();
        } else if (QAction* a = Action(name)) {
            if (a->icon().isNull()) a->setIcon(style()->standardIcon(pixmap));
            side->addAction(a);
        }
    }

    // The recent files: the main menu's own item.
    for (QAction* item : menuBar()->actions()) {
        if (item->menu() && item->text() == QStringLiteral("最近開いたファイル(&R)")) {
            FHistoryMenu = item->menu();
            break;
        }
    }

    // Another program may have changed a file while the window was away.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState State) {
        if (State == Qt::ApplicationActive) QTimer::singleShot(0, this, [this] { CheckExternalChanges(); });
    });
}

void TForm1::TabMoved(int From, int To) {
    const int n = int(FSheets.size());
    if (From < 0 || From >= n || To < 0 || To >= n || From == To) return;
    std::unique_ptr<TOrvaneTabSheet> moved = std::move(FSheets[std::size_t(From)]);
    FSheets.erase(FSheets.begin() + From);
    FSheets.insert(FSheets.begin() + To, std::move(moved));
    // The tab menu lists the documents in the new order, numbered by it.
    for (std::size_t i = 0; i < FSheets.size(); ++i) {
        QAction* entry = FSheets[i]->MenuEntry;
        if (!entry) continue;
        const QString text = entry->text();
        FTabMenu->removeAction(entry);
        entry->setText(QStringLiteral("&%1 %2").arg(i).arg(text.mid(text.indexOf(QLatin1Char(' ')) + 1)));
        FTabMenu->addAction(entry);
    }
    ScheduleSessionWrite();
}

bool TForm1::TabBarClicked(QMouseEvent* Event) {
    if (Event->button() != Qt::MiddleButton) return false;
    const int index = FDocumentArea->TabBar()->tabAt(Event->position().toPoint());
    if (index < 0 || index >= int(FSheets.size())) return false;
    GuardedEvent(this, [&] { CloseDocument(FSheets[std::size_t(index)].get()); });
    return true;
}

void TForm1::BindTabKeys() {
    // Next and previous tab on the keys the desktop's programs use, while no command has them.
    const std::vector<TShortCut> bound = BindShortCuts(FShortCuts);
    // Shift+Tab comes as Backtab from some keyboards and as Shift with Tab from others.
    const struct {
        const char* ShortCut;
        QList<QKeySequence> Keys;
        int Step;
    } keys[] = {{"Ctrl+Tab", {QKeySequence(Qt::CTRL | Qt::Key_Tab)}, 1},
                {"Shift+Ctrl+Tab",
                 {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
                 -1},
                {"Ctrl+PgDn", {QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1},
                {"Ctrl+PgUp", {QKeySequence(Qt::CTRL | Qt::Key_PageUp)}, -1}};
    if (FTabKeys.empty()) {
        for (const auto& k : keys) {
            auto* a = new QAction(this);
            a->setShortcuts(k.Keys);
            a->setShortcutContext(Qt::WindowShortcut);
            const int step = k.Step;
            connect(a, &QAction::triggered, this, [this, step] { GuardedEvent(this, [&] { NextDocument(step); }); });
            addAction(a);
            FTabKeys.push_back(a);
        }
    }
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        const bool taken = std::find(bound.begin(), bound.end(), TextToShortCut(keys[i].ShortCut)) != bound.end();
        FTabKeys[i]->setEnabled(!taken);
    }
}

void TForm1::ShowTabMenu(TOrvaneTabSheet* Tab, const QPoint& GlobalPos) {
    PrepareTabMenu(Tab);
    FTabMenu->exec(GlobalPos);
}

void TForm1::PrepareTabMenu(TOrvaneTabSheet* Tab) {
    FMenuTab = Tab;
    const bool has = Tab != nullptr;
    FTabClose->setEnabled(has);
    FTabCloseOther->setEnabled(has);
    FTabReadOnly->setEnabled(has);
    FTabReadOnly->setChecked(has && Tab->Editor() && Tab->Editor()->ReadOnly());
}

void TForm1::ToggleReadOnly(TOrvaneTabSheet* Tab) {
    // The menu's tab, which is the one its check mark shows (not always the active one).
    if (!Tab || !Tab->Editor()) return;
    Tab->Editor()->SetReadOnly(!Tab->Editor()->ReadOnly());
    if (Tab == FActive) RefreshWindowState();
}

// ---- the document list

TOrvaneTabSheet* TForm1::ActiveTab() const noexcept { return FActive; }

TOrvaneSheetForm* TForm1::ActiveSheet() const noexcept { return FActive ? FActive->Form() : nullptr; }

TOrvaneEditor* TForm1::ActiveEditor() const noexcept { return FActive ? FActive->Editor() : nullptr; }

QString TForm1::ActiveFileName() const {
    const TOrvaneSheetForm* sheet = ActiveSheet();
    return sheet && !sheet->Untitled() ? sheet->FileName() : QString();
}

int TForm1::IndexOf(const TOrvaneTabSheet* Tab) const noexcept {
    for (std::size_t i = 0; i < FSheets.size(); ++i)
        if (FSheets[i].get() == Tab) return int(i);
    return -1;
}

TOrvaneTabSheet* TForm1::FindSheetByName(const QString& FileName) const {
    if (FileName.isEmpty()) return nullptr;
    const std::string wanted = CanonicalFileName(FileName.toStdString());
    for (const auto& tab : FSheets) {
        const TOrvaneSheetForm* form = tab->Form();
        if (form && !form->Untitled() && CanonicalFileName(form->FileName().toStdString()) == wanted)
            return tab.get();
    }
    return nullptr;
}

TOrvaneTabSheet* TForm1::NewDocument(const QString& Name, bool Load, TDocumentEncoding Encoding) {
    auto* form = new TOrvaneSheetForm(FDocumentArea->Stack());
    const bool untitled = Name.isEmpty() || Name == QString::fromUtf8(kUntitledName);
    form->SetFileName(untitled ? QString::fromUtf8(kUntitledName) : QFileInfo(Name).absoluteFilePath(), untitled);
    auto owned = std::make_unique<TOrvaneTabSheet>(form, ++FLastDocumentId, this);
    TOrvaneTabSheet* tab = owned.get();
    if (Load) {
        const TLoadResult r = form->LoadFile(form->FileName(), Encoding);
        if (!r) {
            // The tab stays, empty; it no longer stands for the file, so saving it asks for a name.
            form->SetFileName(form->FileName(), true);
            FLastLoadError = r.Error;
        } else {
            tab->Stamp = StampOf(form->FileName().toStdString());
            if (!r.Warning.empty()) FLastLoadWarning = r.Warning;
        }
    }
    ConnectEditor(*tab);
    FDocumentArea->Stack()->addWidget(form);

    {
        const QSignalBlocker block(FDocumentArea->TabBar());
        FChangingTabs = true;
        FDocumentArea->TabBar()->addTab(QString());
        FChangingTabs = false;
    }
    FDocumentArea->TabBar()->setTabToolTip(int(FSheets.size()), form->FileName());

    // The tab menu's entry holds its tab: after Save As, and for two untitled ones, it still finds it.
    const QString entryName = QFileInfo(form->FileName()).fileName();
    tab->MenuEntry = FTabMenu->addAction(QStringLiteral("&%1 %2").arg(FSheets.size()).arg(Q(EscapeMnemonic(entryName.toStdString()))));
    tab->MenuEntry->setStatusTip(form->FileName());
    QPointer<TOrvaneTabSheet> guard(tab);
    connect(tab->MenuEntry, &QAction::triggered, this, [this, guard] {
        if (guard) GuardedEvent(this, [&] { ActivateDocument(guard); });
    });

    FSheets.push_back(std::move(owned));
    RefreshTabCaption(tab, true);
    form->show();
    ActivateDocument(tab);
    ScheduleSessionWrite();
    return tab;
}

void TForm1::ConnectEditor(TOrvaneTabSheet& Tab) {
    TOrvaneEditor* editor = Tab.Editor();
    TOrvaneSheetForm* form = Tab.Form();
    ApplyStyleOf(*form);
    editor->SetUndoListMax(kUndoStepLimit);
    editor->Document().UndoEngine().SetMaxBytes(kUndoMemoryLimit);
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor, &QWidget::customContextMenuRequested, this, [this, editor](const QPoint& Pos) {
        if (FEditorMenu) FEditorMenu->exec(editor->viewport()->mapToGlobal(Pos));
    });
    editor->viewport()->installEventFilter(new TDoubleClickFilter(editor));
    QPointer<TOrvaneTabSheet> guard(&Tab);
    editor->OnCaretMoved = [this, guard](TEditor&) {
        if (guard && guard == FActive) RefreshCaretPanel();
    };
    editor->OnChange = [this, guard](TEditor&) {
        if (!guard) return;
        if (guard == FActive) {
            RefreshModifiedPanel();
            RefreshCaretPanel();
        }
        // The "* " comes with the first change; the caption is rebuilt after a save.
        const int index = IndexOf(guard);
        if (guard->Form()->Modified() && index >= 0 && !FDocumentArea->TabBar()->tabText(index).startsWith(QStringLiteral("* ")))
            RefreshTabCaption(guard, false);
        // Only a timer restart here: the snapshot is taken once typing stops.
        if (FRecoveryWriter) guard->SnapshotTimer->start(FRecoveryDelayMs);
    };
    editor->OnSelectionChange = [this, guard](TEditor&, bool) {
        if (guard && guard == FActive) RefreshHintPanel();
    };
    form->OnStateChange = [this, guard](TOrvaneSheetForm& Sheet) {
        if (!guard) return;
        StyleIfRenamed(Sheet);  // saved under another name: the style of its new extension
        RefreshTabCaption(guard, true);
        if (guard == FActive) RefreshWindowState();
    };
    form->OnLoadProgress = [this, guard](TOrvaneSheetForm& Sheet) {
        if (guard) ShowLoadProgress(Sheet, guard == FActive);
    };
    connect(Tab.SnapshotTimer, &QTimer::timeout, this, [this, guard] {
        if (guard) WriteSnapshot(*guard);
    });
}

QString TForm1::LoadProgressText(const TOrvaneSheetForm& Sheet) {
    return QStringLiteral("読み込み中… %1%").arg(int(Sheet.LoadProgress() * 100));
}

void TForm1::ShowLoadProgress(TOrvaneSheetForm& Sheet, bool Active) {
    if (Sheet.LoadingInSlices()) {
        if (!Active) return;
        SetHint(LoadProgressText(Sheet));
        RefreshModePanel();
        return;
    }
    // The sliced load ended.
    if (Active) RefreshWindowState();
    if (!Sheet.LoadError().empty())
        ShowErrorMessage(this, Sheet.LoadError());
    else if (const std::string warning = Sheet.LoadReport().Warning(); Active && !warning.empty())
        SetHint(Q(warning));
}

bool TForm1::OpenFile(const QString& FileName, TDocumentEncoding Encoding) {
    const QString path = QFileInfo(FileName).absoluteFilePath();
    if (!QFileInfo::exists(path)) {
        ShowErrorMessage(this, "ファイル " + path.toStdString() + " は見つかりません");
        return false;
    }
    if (TOrvaneTabSheet* open = FindSheetByName(path)) {
        ActivateDocument(open);
        // Asked for in another encoding than it has: read again in that one; else no reload.
        if (Encoding != deAuto && Encoding != open->Form()->Encoding()) ReopenWithEncoding(*open, Encoding);
        return true;
    }
    FLastLoadError.clear();
    FLastLoadWarning.clear();
    TOrvaneTabSheet* tab = NewDocument(path, true, Encoding);
    if (!FLastLoadError.empty()) {
        // The tab stays, empty and untitled: saving it asks for a name, never writes over the file.
        ShowErrorMessage(this, FLastLoadError);
        if (tab) RefreshTabCaption(tab, true);
        return false;
    }
    if (!FLastLoadWarning.empty()) SetHint(Q(FLastLoadWarning));
    if (tab && tab->Form()->LoadingInSlices()) ShowLoadProgress(*tab->Form(), tab == FActive);
    FHistory.Add(CanonicalFileName(path.toStdString()));
    RebuildHistoryMenu();
    return true;
}

TOrvaneEditor* TForm1::OpenOrActivate(const QString& FileName, TDocumentEncoding Encoding) {
    if (!OpenFile(FileName, Encoding)) return nullptr;
    return ActiveEditor();
}

int TForm1::OpenRequests(const TCommandLine& CommandLine) {
    int opened = 0;
    for (const TOpenRequest& file : CommandLine.Files) {
        const QString path = Q(file.Path);
        const TOpenTarget target = ClassifyOpenName(file.Path);
        bool ok = false;
        switch (target.Kind) {
            case TOpenTarget::Open: ok = OpenFile(path, CommandLine.Encoding); break;
            case TOpenTarget::New: ok = OpenNewFile(path, CommandLine.Encoding); break;
            case TOpenTarget::Refused: ShowErrorMessage(this, target.Message); break;
        }
        if (!ok) continue;
        ++opened;
        if (file.Line > 0) GotoLinePosition(file.Line - 1, 0);
    }
    return opened;
}

bool TForm1::OpenNewFile(const QString& FileName, TDocumentEncoding Encoding) {
    const QString path = QFileInfo(FileName).absoluteFilePath();
    if (TOrvaneTabSheet* open = FindSheetByName(path)) {
        ActivateDocument(open);
        return true;
    }
    TOrvaneTabSheet* tab = NewDocument(path, false, deAuto);
    tab->Form()->SetNewFile(true);
    if (Encoding != deAuto) tab->Form()->SetEncoding(Encoding);
    return true;
}

void TForm1::ActivateDocument(TOrvaneTabSheet* Tab) {
    if (Tab && IndexOf(Tab) < 0) Tab = nullptr;
    FActive = Tab;
    if (Tab) {
        const int index = IndexOf(Tab);
        FChangingTabs = true;
        FDocumentArea->TabBar()->setCurrentIndex(index);
        FChangingTabs = false;
        FDocumentArea->Stack()->setCurrentWidget(Tab->Form());
    }
    // A caption relative to the active document's folder follows the activation.
    if (FSettings.Tab.TabPath == 1 && !FSettings.Tab.HidePath)
        for (const auto& t : FSheets) RefreshTabCaption(t.get(), false);
    RefreshWindowState();
}

bool TForm1::CloseDocument(TOrvaneTabSheet* Tab) {
    const int index = IndexOf(Tab);
    if (index < 0) return false;
    TOrvaneSheetForm* form = Tab->Form();
    if (form->Modified()) {
        const std::string name = form->FileName().toStdString();
        switch (Ask(this, name + " の内容が変更されています。\r変更を保存しますか？", TQuestion::YesNoCancel)) {
        case TAnswer::Yes:
            if (!SaveDocument(*form, false, QString())) return false;
            break;
        case TAnswer::No: break;
        default: return false;
        }
    }
    DropSnapshot(*Tab);
    if (FMenuTab == Tab) FMenuTab = nullptr;
    {
        FChangingTabs = true;
        const QSignalBlocker block(FDocumentArea->TabBar());
        FDocumentArea->TabBar()->removeTab(index);
        FChangingTabs = false;
    }
    FDocumentArea->Stack()->removeWidget(form);
    form->hide();
    // The tab may be closed from one of its own events: its widgets go once they return.
    std::unique_ptr<TOrvaneTabSheet> gone = std::move(FSheets[std::size_t(index)]);
    FSheets.erase(FSheets.begin() + index);
    if (FActive == Tab) FActive = nullptr;
    gone.release()->deleteLater();
    TOrvaneTabSheet* next = FSheets.empty() ? nullptr : FSheets[std::min<std::size_t>(std::size_t(index), FSheets.size() - 1)].get();
    ActivateDocument(next);
    ScheduleSessionWrite();
    return true;
}

void TForm1::RefreshTabCaption(TOrvaneTabSheet* Tab, bool WithIcon) {
    const int index = IndexOf(Tab);
    if (index < 0) return;
    const TOrvaneSheetForm* form = Tab->Form();
    const TOrvaneSheetForm* active = ActiveSheet();
    const std::string activeFolder =
        active && !active->Untitled() ? QFileInfo(active->FileName()).absolutePath().toStdString() : std::string();
    const std::string name = form->Untitled() ? QFileInfo(form->FileName()).fileName().toStdString() : form->FileName().toStdString();
    std::string caption = TabCaption(name, FSettings.Tab, form->Modified(), activeFolder, QDir::currentPath().toStdString());
    QTabBar* bar = FDocumentArea->TabBar();
    // "&" in a name is shown as itself, never as a mnemonic.
    const QString text = Q(EscapeMnemonic(caption));
    if (bar->tabText(index) != text) bar->setTabText(index, text);
    bar->setTabToolTip(index, form->FileName());
    if (WithIcon) {
        QIcon icon;
        if (form->FileReadOnly()) {
            icon = ReadOnlyIcon();  // shown whatever the options say: saving it asks for a name
        } else if (FSettings.Tab.ShowIcon && !form->Untitled() && QFileInfo(form->FileName()).isFile()) {
            static QFileIconProvider provider;
            icon = provider.icon(QFileInfo(form->FileName()));
        }
        bar->setTabIcon(index, icon);
    }
    // A file another program changed or deleted shows it.
    bar->setTabTextColor(index, Tab->ExternalChange == TFileChange::Unchanged ? QColor() : QColor(Qt::red));
}

QString TForm1::TabCaptionText(int Index) const {
    QString text = FDocumentArea->TabBar()->tabText(Index);
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

// ---- commands

void TForm1::NextDocument(int Step) {
    if (!FActive || FSheets.empty()) return;
    const int n = int(FSheets.size());
    ActivateDocument(FSheets[std::size_t(((IndexOf(FActive) + Step) % n + n) % n)].get());
}

bool TForm1::SaveTab(TOrvaneTabSheet& Tab, bool AskName, const QString& Title) {
    if (!SaveDocument(*Tab.Form(), AskName, Title)) return false;
    Tab.Stamp = StampOf(Tab.Form()->FileName().toStdString());
    Tab.ExternalChange = TFileChange::Unchanged;
    DropSnapshot(Tab);
    FHistory.Add(CanonicalFileName(Tab.Form()->FileName().toStdString()));
    RebuildHistoryMenu();
    RefreshTabCaption(&Tab, true);
    if (Tab.MenuEntry) Tab.MenuEntry->setStatusTip(Tab.Form()->FileName());
    RefreshWindowState();
    return true;
}

int TForm1::SaveAll() {
    // Only modified documents: an unchanged file is never rewritten. A save that is cancelled
    // or fails does not stop the others.
    int failed = 0;
    std::vector<QPointer<TOrvaneTabSheet>> tabs;
    for (const auto& t : FSheets) tabs.emplace_back(t.get());
    for (const auto& t : tabs)
        if (t && t->Form()->Modified() && !SaveTab(*t, false, QString())) ++failed;
    return failed;
}

void TForm1::CloseOthers(TOrvaneTabSheet* Keep) {
    std::vector<QPointer<TOrvaneTabSheet>> tabs;
    for (const auto& t : FSheets) tabs.emplace_back(t.get());
    for (auto it = tabs.rbegin(); it != tabs.rend(); ++it)
        if (*it && *it != Keep) CloseDocument(*it);  // a cancelled close does not stop the others
}

bool TForm1::CloseAll() {
    while (FActive)
        if (!CloseDocument(FActive)) return false;
    return FSheets.empty();
}

void TForm1::CloneDocument() {
    TOrvaneTabSheet* source = FActive;
    if (!source) return;
    const QString name = Q(CloneFileName(source->Form()->FileName().toStdString()));
    TOrvaneTabSheet* clone = NewDocument(QString(), false, deAuto);
    clone->Form()->CopyFrom(*source->Form());
    // A clone has no file: saving asks for a name, proposing this one.
    clone->Form()->SetFileName(name, true);
    if (clone->MenuEntry)
        clone->MenuEntry->setText(QStringLiteral("&%1 %2").arg(IndexOf(clone)).arg(Q(EscapeMnemonic(QFileInfo(name).fileName().toStdString()))));
    RefreshTabCaption(clone, true);
    RefreshWindowState();
}

void TForm1::DeleteAndExit() {
    TOrvaneTabSheet* tab = FActive;
    if (!tab) return;
    const QString name = tab->Form()->FileName();
    if (tab->Form()->Untitled() || !QFileInfo::exists(name)) {
        ShowErrorMessage(this, "ファイル " + name.toStdString() + " は見つかりません");
        return;
    }
    if (Ask(this, name.toStdString() + " をごみ箱に移動してから閉じるます。\rよろしいですか？", TQuestion::OkCancel) !=
        TAnswer::Ok)
        return;
    std::string error;
    const TBackupOptions trash = BackupOptions(name);
    if (!trash.MoveToTrash || !trash.MoveToTrash(name.toStdString(), error)) {
        ShowErrorMessage(this, "ファイル " + name.toStdString() + " をごみ箱に移動できませんでした。\n" + error);
        return;
    }
    tab->Stamp = StampOf(name.toStdString());  // gone on purpose: nothing to report
    CloseDocument(tab);
}

void TForm1::SaveAndExit() {
    if (FActive && SaveTab(*FActive, false, QStringLiteral("保存して閉じる"))) CloseDocument(FActive);
}

void TForm1::CloseCommand() {
    if (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier)
        CloseOthers(FActive);
    else if (FActive)
        CloseDocument(FActive);
}

void TForm1::TabOptionsCommand() { CommandNotAvailable(); }

// ---- recent files

void TForm1::RebuildHistoryMenu() {
    if (!FHistoryMenu) return;
    FHistoryMenu->clear();
    const std::vector<std::string> captions = HistoryMenuCaptions(FHistory, FSettings.Config.HistoryNum);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const QString name = Q(FHistory.Items()[i]);
        QAction* a = FHistoryMenu->addAction(Q(captions[i]));
        a->setStatusTip(name);
        connect(a, &QAction::triggered, this, [this, name] {
            GuardedEvent(this, [&] {
                FHistory.Add(name.toStdString());
                RebuildHistoryMenu();
                OpenFile(name, deAuto);
            });
        });
    }
    FHistoryMenu->setEnabled(!captions.empty());
    if (QAction* item = FHistoryMenu->menuAction()) item->setEnabled(!captions.empty());
    ScheduleSessionWrite();  // the list changed, or its length did
}


// ---- files changed by other programs

void TForm1::CheckExternalChanges() {
    if (FCheckingFiles || QApplication::activeModalWidget()) return;
    FCheckingFiles = true;
    std::vector<QPointer<TOrvaneTabSheet>> tabs;
    for (const auto& t : FSheets) tabs.emplace_back(t.get());
    for (const auto& tab : tabs) {
        if (!tab || tab->Form()->Untitled()) continue;
        const std::string name = tab->Form()->FileName().toStdString();
        const TFileChange change = CheckFileChange(name, tab->Stamp);
        if (change == TFileChange::Unchanged) continue;
        tab->ExternalChange = change;
        // Asked once per change: the stamp now is what the user has seen.
        tab->Stamp = StampOf(name);
        RefreshTabCaption(tab, true);
        if (change == TFileChange::Deleted) {
            // The text is all that is left of the file: closing must not lose it silently.
            tab->Form()->SetModified(true);
            RefreshTabCaption(tab, false);
            Inform(this, name + " はほかのプログラムによって削除されました。\r編集中のテキストは保存するまで残ります。");
            continue;
        }
        const bool modified = tab->Form()->Modified();
        const std::string question =
            modified ? name + " はほかのプログラムによって変更されました。\r編集中の内容を捨てて、読み込み直しますか？"
                     : name + " はほかのプログラムによって変更されました。\r読み込み直しますか？";
        if (Ask(this, question, modified ? TQuestion::OkCancelDefaultCancel : TQuestion::OkCancel) != TAnswer::Ok)
            continue;  // the text in the editor stays; the tab keeps saying the file changed
        if (!tab) continue;
        ReloadDocument(*tab, tab->Form()->Encoding());
    }
    FCheckingFiles = false;
}

bool TForm1::ReloadDocument(TOrvaneTabSheet& Tab, TDocumentEncoding Encoding) {
    TOrvaneSheetForm* form = Tab.Form();
    TOrvaneEditor* editor = Tab.Editor();
    const int row = editor->Row(), col = editor->Col();
    const TLoadResult r = form->LoadFile(form->FileName(), Encoding);
    if (!r) {
        ShowErrorMessage(this, r.Error);
        return false;
    }
    Tab.Stamp = StampOf(form->FileName().toStdString());
    Tab.ExternalChange = TFileChange::Unchanged;
    DropSnapshot(Tab);
    editor->SetRowCol(std::min(row, std::max(0, editor->RowCount() - 1)), col);
    RefreshTabCaption(&Tab, true);
    if (&Tab == FActive) RefreshWindowState();
    if (form->LoadingInSlices())
        ShowLoadProgress(*form, &Tab == FActive);
    else if (!r.Warning.empty() && &Tab == FActive)
        SetHint(Q(r.Warning));
    return true;
}

bool TForm1::ReopenWithEncoding(TOrvaneTabSheet& Tab, TDocumentEncoding Encoding) {
    TOrvaneSheetForm* form = Tab.Form();
    if (form->Untitled() || form->NewFile() || form->LoadingInSlices()) return false;  // nothing to read again
    if (form->Modified() &&
        Ask(this,
            form->FileName().toStdString() + " の内容が変更されています。\r変更を捨てて、文字コード「" +
                std::string(EncodingName(Encoding).Caption) + "」で読み込み直しますか？",
            TQuestion::OkCancelDefaultCancel) != TAnswer::Ok)
        return false;
    return ReloadDocument(Tab, Encoding);
}

// ---- crash recovery

void TForm1::StartRecovery(const std::string& Folder) {
    if (Folder.empty()) return;
    try {
        FRecoveryRun = std::make_unique<TRecoveryRun>(Folder);
        FRecoveryWriter = std::make_unique<TRecoveryWriter>(*FRecoveryRun);
    } catch (const std::exception& e) {
        FRecoveryRun.reset();
        ShowErrorMessage(this, std::string("編集中のテキストの控えを保存できません。\n") + e.what());
    }
}

void TForm1::WriteSnapshot(TOrvaneTabSheet& Tab) {
    if (!FRecoveryWriter) return;
    TOrvaneSheetForm* form = Tab.Form();
    if (!form->Modified()) {
        DropSnapshot(Tab);
        return;
    }
    auto s = std::make_shared<TRecoverySnapshot>();
    s->FileName = form->FileName().toStdString();
    s->Untitled = form->Untitled();
    s->Format = form->Format();
    if (const TCharMap* map = Tab.Editor()->CharMap()) s->Kept = KeptCharacters(*map);
    s->Text = Tab.Editor()->Document().GetText();
    FRecoveryWriter->Write(Tab.Id(), std::move(s));
    Tab.SnapshotWritten = true;
    if (const std::string error = FRecoveryWriter->TakeError(); !error.empty() && !FRecoveryErrorShown) {
        FRecoveryErrorShown = true;  // once a run: the editing goes on without
        ShowErrorMessage(this, "編集中のテキストの控えを保存できませんでした。\n" + error);
    }
}

void TForm1::DropSnapshot(TOrvaneTabSheet& Tab) {
    Tab.SnapshotTimer->stop();
    if (FRecoveryWriter && Tab.SnapshotWritten) FRecoveryWriter->Remove(Tab.Id());
    Tab.SnapshotWritten = false;
}

void TForm1::WriteSnapshotsNow() {
    for (const auto& t : FSheets)
        if (t->SnapshotTimer->isActive()) {
            t->SnapshotTimer->stop();
            WriteSnapshot(*t);
        }
    if (FRecoveryWriter) FRecoveryWriter->Flush();
}

void TForm1::EndRecovery() {
    FRecoveryWriter.reset();  // finishes what is queued
    if (FRecoveryRun) FRecoveryRun->EndNormally();
    FRecoveryRun.reset();
}

void TForm1::OfferRecovery() {
    if (!FRecoveryRun) return;
    const std::string folder = std::filesystem::path(FRecoveryRun->Folder()).parent_path().string();
    std::vector<TAbandonedRun> runs;
    try {
        runs = TRecoveryRun::FindAbandoned(folder);
    } catch (const std::exception&) {
        return;
    }
    std::size_t count = 0;
    for (const TAbandonedRun& run : runs) count += run.Snapshots.size();
    if (runs.empty()) return;
    if (count == 0) {
        for (const TAbandonedRun& run : runs) TRecoveryRun::Discard(run.Folder);
        return;
    }
    const TAnswer answer = Ask(this,
                               "前回、保存されないまま終了したテキストが " + std::to_string(count) +
                                   " 件あります。\r復元しますか？\r(いいえ: 捨てる、キャンセル: 次の起動まで残す)",
                               TQuestion::YesNoCancel);
    if (answer == TAnswer::Cancel) return;
    for (const TAbandonedRun& run : runs) {
        if (answer == TAnswer::Yes)
            for (const TRecoverySnapshot& s : run.Snapshots) RestoreSnapshot(s);
        // What was restored is in this run's snapshots before the old ones go.
        WriteSnapshotsNow();
        TRecoveryRun::Discard(run.Folder);
    }
}

void TForm1::RestoreSnapshot(const TRecoverySnapshot& S) {
    const QString name = Q(S.FileName);
    TOrvaneTabSheet* tab = S.Untitled ? nullptr : FindSheetByName(name);
    if (tab && tab->Form()->Modified()) tab = nullptr;  // never over text typed in this run
    if (!tab) tab = NewDocument(S.Untitled ? QString() : name, false, deAuto);
    TOrvaneSheetForm* form = tab->Form();
    form->SetFileName(S.Untitled ? (name.isEmpty() ? QString::fromUtf8(kUntitledName) : name) : QFileInfo(name).absoluteFilePath(),
                      S.Untitled);
    form->SetFormat(S.Format);
    if (TCharMap* map = tab->Editor()->CharMap()) {
        *map = TCharMap();
        RestoreKeptCharacters(S.Kept, *map);
        // A text from an EUC-JP or JIS file means the JIS table's 〜 and its companions.
        map->SetJisTable(S.Format.Encoding == deEuc || S.Format.Encoding == deJis);
    }
    tab->Editor()->Document().SetText(S.Text);
    tab->Editor()->Document().UndoEngine().Clear();
    form->SetModified(true);
    // The file on disk stays as it is until the user saves.
    tab->Stamp = S.Untitled ? TFileStamp{} : StampOf(S.FileName);
    RefreshTabCaption(tab, true);
    if (FRecoveryWriter) {
        tab->SnapshotTimer->stop();
        WriteSnapshot(*tab);
    }
    ActivateDocument(tab);
}

}  // namespace orvane
