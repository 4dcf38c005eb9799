// The main window's commands: one QAction per command of the table, the handlers of the commands
// built so far, the main menu, toolbar and editor menu, and the enabling rules applied to them.
#include "app/mainwindow.h"

#include "app/paths.h"
#include "app/tabsheet.h"
#include "platform/desktop.h"
#include "platform/errordisplay.h"
#include "platform/questions.h"
#include "styles/orvaneeditor.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <functional>

#ifndef ORVANE_VERSION
#define ORVANE_VERSION "0.0.0"
#endif

namespace orvane {

namespace {

constexpr const char* kHomepage = "https://orvane.example.org/";
constexpr const char* kMail = "mailto:orvane@example.org";

// The Qt key of a virtual key; 0 when Qt has none.
int QtKeyOf(std::uint8_t Vk) {
    if ((Vk >= '0' && Vk <= '9') || (Vk >= 'A' && Vk <= 'Z')) return Vk;  // Qt uses the same codes
    if (Vk >= 0x70 && Vk <= 0x87) return Qt::Key_F1 + (Vk - 0x70);
    switch (Vk) {
    case 0x08: return Qt::Key_Backspace;
    case 0x09: return Qt::Key_Tab;
    case 0x0D: return Qt::Key_Return;
    case 0x1B: return Qt::Key_Escape;
    case 0x20: return Qt::Key_Space;
    case 0x21: return Qt::Key_PageUp;
    case 0x22: return Qt::Key_PageDown;
    case 0x23: return Qt::Key_End;
    case 0x24: return Qt::Key_Home;
    case 0x25: return Qt::Key_Left;
    case 0x26: return Qt::Key_Up;
    case 0x27: return Qt::Key_Right;
    case 0x28: return Qt::Key_Down;
    case 0x2D: return Qt::Key_Insert;
    case 0x2E: return Qt::Key_Delete;
    // The punctuation keys by the character they carry on the Japanese layout.
    case 0xBA: return Qt::Key_Colon;
    case 0xBB: return Qt::Key_Semicolon;
    case 0xBC: return Qt::Key_Comma;
    case 0xBD: return Qt::Key_Minus;
    case 0xBE: return Qt::Key_Period;
    case 0xBF: return Qt::Key_Slash;
    case 0xC0: return Qt::Key_At;
    case 0xDB: return Qt::Key_BracketLeft;
    case 0xDC: return Qt::Key_Backslash;
    case 0xDD: return Qt::Key_BracketRight;
    case 0xDE: return Qt::Key_AsciiCircum;
    default: return 0;
    }
}

QKeySequence ToKeySequence(TShortCut S) {
    const int key = QtKeyOf(ShortCutKey(S));
    if (S == scNone || key == 0) return {};
    Qt::KeyboardModifiers mods;
    if (S & scShift) mods |= Qt::ShiftModifier;
    if (S & scCtrl) mods |= Qt::ControlModifier;
    if (S & scAlt) mods |= Qt::AltModifier;
    return QKeySequence(QKeyCombination(mods, Qt::Key(key)));
}

// A theme icon, else one of the style's own where it has a fitting one.
QIcon CommandIcon(std::string_view Name) {
    if (Name.empty()) return {};
    const QString name = QString::fromUtf8(Name.data(), qsizetype(Name.size()));
    static const std::pair<const char*, QStyle::StandardPixmap> kFallbacks[] = {
        {"document-new", QStyle::SP_FileIcon},         {"document-open", QStyle::SP_DialogOpenButton},
        {"document-save", QStyle::SP_DialogSaveButton}, {"edit-undo", QStyle::SP_ArrowBack},
        {"edit-redo", QStyle::SP_ArrowForward},         {"help-contents", QStyle::SP_DialogHelpButton},
        {"go-down", QStyle::SP_ArrowDown},              {"go-up", QStyle::SP_ArrowUp},
        {"edit-delete", QStyle::SP_TrashIcon},          {"document-close", QStyle::SP_DialogCloseButton},
        {"application-exit", QStyle::SP_DialogCloseButton}, {"help-about", QStyle::SP_MessageBoxInformation},
        {"edit-find", QStyle::SP_FileDialogContentsView}};
    for (const auto& [theme, pixmap] : kFallbacks)
        if (name == QLatin1String(theme)) return QIcon::fromTheme(name, QApplication::style()->standardIcon(pixmap));
    return QIcon::fromTheme(name);
}

QString Text(std::string_view S) { return QString::fromUtf8(S.data(), qsizetype(S.size())); }

}  // namespace

void TForm1::CreateCommands() {
    for (const TCommandDef& def : CommandTable()) {
        auto command = std::make_unique<TCommand>();
        QAction* a = new QAction(Text(def.Caption), this);
        a->setObjectName(Text(def.Name));
        // A toolbar button without an icon shows its caption without accelerator and dots.
        QString iconText = QString::fromStdString(CaptionWithoutAccelerator(def.Caption));
        if (iconText.endsWith(QStringLiteral("..."))) iconText.chop(3);
        a->setIconText(iconText);
        a->setToolTip(Text(HintShort(def.Hint)));
        a->setStatusTip(Text(HintLong(def.Hint)));
        a->setIcon(CommandIcon(def.Icon));
        a->setCheckable(CommandCheckable(def));
        a->setShortcutContext(Qt::WindowShortcut);
        a->setEnabled(false);
        // Added to the window, so that a shortcut works without a menu showing its command.
        addAction(a);
        TCommand* c = command.get();
        connect(a, &QAction::triggered, this, [this, c] {
            GuardedEvent(this, [&] {
                if (c->Handler) c->Handler();
            });
        });
        command->Action = a;
        FCommands.push_back(std::move(command));
    }
}

void TForm1::BindHandlers() {
    auto on = [this](std::string_view Name, std::function<void()> Handler) {
        const int i = FindCommand(Name);
        if (i >= 0) FCommands[std::size_t(i)]->Handler = std::move(Handler);
    };
    // Commands on the active editor do nothing while no document is open.
    auto onEditor = [this, &on](std::string_view Name, std::function<void(TOrvaneEditor&)> Handler) {
        on(Name, [this, Handler] {
            if (TOrvaneEditor* editor = ActiveEditor()) Handler(*editor);
        });
    };
    for (const TCommandDef& def : CommandTable()) {
        if (def.Tag < 0) continue;
        const int tag = def.Tag;
        if (def.Name.starts_with("actBookmarkPut"))
            onEditor(def.Name, [tag](TOrvaneEditor& E) { E.AddRowMark(E.Row(), tag); });
        else
            onEditor(def.Name, [tag](TOrvaneEditor& E) { E.JumpToRowMark(tag); });
    }
    onEditor("actUndo", [](TOrvaneEditor& E) { E.Undo(); });
    onEditor("actRedo", [](TOrvaneEditor& E) { E.Redo(); });
    onEditor("actCut", [](TOrvaneEditor& E) { E.CutToClipboard(); });
    onEditor("actCopy", [](TOrvaneEditor& E) { E.CopyToClipboard(); });
    onEditor("actPaste", [](TOrvaneEditor& E) { E.PasteFromClipboard(); });
    onEditor("actDelete", [](TOrvaneEditor& E) { E.DeleteSelection(); });
    onEditor("actSelectAll", [](TOrvaneEditor& E) {
        E.SelectAll();
        E.OfferPrimarySelection();
    });
    onEditor("actBoxSelect", [](TOrvaneEditor& E) { E.SetSelectionMode(E.SelectionMode() == smBox ? smStream : smBox); });
    on("actNew", [this] { NewDocument(); });
    on("actOpen", [this] { OpenCommand(); });
    on("actOpenToCaret", [this] { OpenToCaret(); });
    on("actSave", [this] {
        if (FActive) SaveTab(*FActive, false, QString());
    });
    on("actSaveAs", [this] {
        if (FActive) SaveTab(*FActive, true, QStringLiteral("名前を付けて保存"));
    });
    on("actSaveAll", [this] { SaveAll(); });
    on("actSaveAndExit", [this] { SaveAndExit(); });
    on("actClose", [this] { CloseCommand(); });
    on("actCloseOther", [this] { CloseOthers(FActive); });
    on("actCloseAll", [this] { CloseAll(); });
    on("actDeleteAndExit", [this] { DeleteAndExit(); });
    on("actClone", [this] { CloneDocument(); });
    on("actPrev", [this] { NextDocument(-1); });
    on("actNext", [this] { NextDocument(1); });
    on("actStyleFont", [this] { ChooseStyleFont(); });
    on("actStyleWordWrap", [this] {
        ChangeStyle(sscWordWrap, [](TOrvaneStyle& S) { S.Prop().SetWordWrap(!S.Prop().WordWrap()); });
    });
    on("actStyleLeftbar", [this] {
        ChangeStyle(sscLeftbar, [](TOrvaneStyle& S) { S.Prop().Leftbar().SetVisible(!S.Prop().Leftbar().Visible()); });
    });
    on("actStyleRuler", [this] {
        ChangeStyle(sscRuler, [](TOrvaneStyle& S) { S.Prop().Ruler().SetVisible(!S.Prop().Ruler().Visible()); });
    });
    on("actToolBar", [this] { SetToolBarVisible(FToolBar->isHidden()); });
    on("actStatusBar", [this] { SetStatusBarVisible(statusBar()->isHidden()); });
    on("actExit", [this] { close(); });
    on("actHelp", [this] { ShowHelp(); });
    on("actHomepage", [this] {
        if (!OpenUrl(kHomepage)) ShowErrorMessage(this, std::string("ホームページを開けません: ") + kHomepage);
    });
    on("actMail", [this] {
        if (!OpenUrl(kMail)) ShowErrorMessage(this, "メールを作成するプログラムを起動できません");
    });
    on("actAbout", [this] { ShowAbout(); });
}

QAction* TForm1::Action(std::string_view Name) const {
    const int i = FindCommand(Name);
    return i < 0 ? nullptr : FCommands[std::size_t(i)]->Action;
}

void TForm1::ApplyCommandState(const TCommandState& State) {
    const auto table = CommandTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        QAction* a = FCommands[i]->Action;
        const bool enabled = FCommands[i]->Handler && CommandEnabled(table[i], State);
        if (a->isEnabled() != enabled) a->setEnabled(enabled);
        if (a->isCheckable() && a->isChecked() != CommandChecked(table[i], State))
            a->setChecked(CommandChecked(table[i], State));
    }
    for (auto& [proxy, index] : FProxies) {
        QAction* a = FCommands[std::size_t(index)]->Action;
        if (proxy->isEnabled() != a->isEnabled()) proxy->setEnabled(a->isEnabled());
    }
}

void TForm1::SetShortCuts(std::vector<TShortCut> ShortCuts) {
    ShortCuts.resize(kCommandCount, scNone);
    FShortCuts = std::move(ShortCuts);
    const std::vector<TShortCut> bound = BindShortCuts(FShortCuts);
    for (std::size_t i = 0; i < FCommands.size(); ++i) FCommands[i]->Action->setShortcut(ToKeySequence(bound[i]));
    BindTabKeys();
}

void TForm1::BuildMainMenu() {
    for (const TMenuDef& m : MainMenu()) {
        QMenu* menu = menuBar()->addMenu(Text(m.Caption));
        if (m.Items.empty()) menu->setEnabled(false);  // the recent files come with the document list
        for (const TMenuItemDef& item : m.Items) {
            if (item.Command == "-") {
                menu->addSeparator();
                continue;
            }
            const int i = FindCommand(item.Command);
            if (i < 0) continue;
            QAction* command = FCommands[std::size_t(i)]->Action;
            if (item.Caption.empty() || Text(item.Caption) == command->text()) {
                menu->addAction(command);
            } else {
                // Another caption in this menu: an entry that runs the command and follows its state.
                QAction* proxy = menu->addAction(command->icon(), Text(item.Caption));
                proxy->setStatusTip(command->statusTip());
                proxy->setEnabled(command->isEnabled());
                connect(proxy, &QAction::triggered, command, &QAction::trigger);
                FProxies.emplace_back(proxy, i);
            }
            // Reading the file again in another encoding comes after reading one in.
            if (item.Command == "actOpenToCaret") menu->addMenu(CreateReopenMenu());
        }
    }
}

void TForm1::BuildToolBar(const std::vector<std::string>& Items) {
    FToolBar->clear();
    for (const std::string& item : Items) {
        if (item == "-") {
            FToolBar->addSeparator();
            continue;
        }
        const int i = FindItemCommand(item);
        QAction* a = nullptr;
        if (i >= 0) {
            a = FCommands[std::size_t(i)]->Action;
        } else {
            // A name that names no command: a blank button that does nothing.
            a = new QAction(FToolBar);
            a->setEnabled(false);
        }
        FToolBar->addAction(a);
        if (auto* button = qobject_cast<QToolButton*>(FToolBar->widgetForAction(a)))
            button->setAutoRaise(FSettings.Config.ToolBarFlat);
    }
}

void TForm1::BuildEditorMenu(const std::vector<std::string>& Items) {
    FEditorMenu->clear();
    for (const std::string& item : Items) {
        if (item == "-") {
            FEditorMenu->addSeparator();
            continue;
        }
        const int i = FindItemCommand(item);
        if (i >= 0) {
            FEditorMenu->addAction(FCommands[std::size_t(i)]->Action);
        } else {
            FEditorMenu->addAction(QString::fromStdString(item))->setEnabled(false);
        }
    }
    FEditorMenu->addSeparator();
    QMenu* put = FEditorMenu->addMenu(QStringLiteral("しおりの設定"));
    QMenu* jump = FEditorMenu->addMenu(QStringLiteral("しおりに移動"));
    for (int n = 0; n < 10; ++n) {
        put->addAction(Action("actBookmarkPut" + std::to_string(n)));
        jump->addAction(Action("actBookmark" + std::to_string(n)));
    }
}

void TForm1::ShowHelp() {
    const std::string page = FindDataFile(FOptions.DataFolders, "help/index.html");
    if (page.empty()) {
        ShowErrorMessage(this, "ヘルプファイル help/index.html が見つかりません");
        return;
    }
    if (!OpenLocalFile(page)) ShowErrorMessage(this, "ヘルプを表示するプログラムを起動できません: " + page);
}

void TForm1::ShowAbout() {
    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("バージョン情報"));
    box.setIconPixmap(windowIcon().pixmap(64, 64));
    box.setTextFormat(Qt::RichText);
    box.setText(QStringLiteral("<p><b>Orvane</b> %1</p><p>日本語のテキストファイルのためのエディタ</p>")
                    .arg(QStringLiteral(ORVANE_VERSION)));
    box.setInformativeText(QStringLiteral("設定フォルダ: %1<br>Qt %2")
                               .arg(QString::fromStdString(FOptions.SettingsFolder).toHtmlEscaped(),
                                    QString::fromLatin1(qVersion())));
    box.exec();
}

void TForm1::CommandNotAvailable() { Inform(this, "この機能はまだ使えません。"); }

}  // namespace orvane
