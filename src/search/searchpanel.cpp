// The search panel.
#include "search/searchpanel.h"

#include "search/replaceselection.h"

#include "files/unicode.h"
#include "platform/questions.h"
#include "widgets/editor.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <optional>

namespace orvane {

namespace {

QString FromSjis(const std::string& S) { return QString::fromStdString(SjisToUtf8(S, nullptr, nullptr)); }
std::string ToSjis(const QString& S) { return Utf8ToSjis(S.toStdString(), nullptr, nullptr); }

void Fill(QComboBox* Box, const TStringList& History, const QString& Value) {
    Box->blockSignals(true);
    Box->clear();
    for (int i = 0; i < History.Count(); ++i) Box->addItem(FromSjis(History.Strings(i)));
    Box->setEditText(Value);
    Box->blockSignals(false);
}

// The status line of a search that went on from the other end of the text.
QString WrappedText(bool Down) {
    return Down ? QStringLiteral("末尾まで検索したので、先頭から検索しました")
                : QStringLiteral("先頭まで検索したので、末尾から検索しました");
}

constexpr const char* kTargetCaptions[] = {"編集中のファイル(&E)", "開いているファイル(&O)", "指定フォルダ内(&F)"};
constexpr const char* kTargetHints[] = {"現在編集中のひとつのファイルから検索します", "開いているすべてのファイルから検索します",
                                        "指定フォルダ内のファイルから検索します"};

}  // namespace

TSearchResultsForm::TSearchResultsForm(ISearchHost& Host, TSearchProperties& Properties, QWidget* Parent)
    : QDockWidget(QStringLiteral("検索結果"), Parent), FHost(Host), FProperties(Properties) {
    setObjectName(QStringLiteral("SearchResultsForm"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QToolBar(body);
    auto* bar2 = new QToolBar(body);
    bar->setIconSize(QSize(16, 16));
    bar2->setIconSize(QSize(16, 16));
    layout->addWidget(bar);
    layout->addWidget(bar2);
    FModel = new TSearchResultsModel(this);
    FTree = new QTreeView(body);
    FTree->setModel(FModel);
    FTree->setItemDelegate(new THitDelegate(FTree));
    FTree->setHeaderHidden(true);
    FTree->setRootIsDecorated(false);
    FTree->setUniformRowHeights(true);  // rows of one height: a million rows stay quick
    FTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTree->setSelectionBehavior(QAbstractItemView::SelectRows);
    FTree->setExpandsOnDoubleClick(true);
    FTree->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(FTree, 1);
    FTree->installEventFilter(this);
    setWidget(body);
    CreateToolBar(bar, bar2);

    connect(FTree, &QTreeView::doubleClicked, this, [this](const QModelIndex& Index) { OpenHit(Index); });
    connect(FTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& At) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("検索結果の消去(&C)"), this, [this] { ClearResults(); });
        menu.addAction(QStringLiteral("すべて折り畳む(&O)"), FTree, &QTreeView::collapseAll);
        menu.addSeparator();
        menu.addAction(isFloating() ? QStringLiteral("メインフォームにドック(&D)") : QStringLiteral("フロート(&D)"), this,
                       [this] { setFloating(!isFloating()); });
        menu.addAction(QStringLiteral("閉じる(&L)"), this, &QWidget::close);
        menu.exec(FTree->viewport()->mapToGlobal(At));
    });
    // A text with one hit shows collapsed, one with more expanded.
    connect(FModel, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& Parent, int First, int Last) {
        if (Parent.isValid()) return;
        for (int r = First; r <= Last; ++r)
            if (FModel->Text(std::size_t(r)).Hits.size() > 1) FTree->setExpanded(FModel->index(r, 0), true);
    });
    FDrainTimer = new QTimer(this);
    FDrainTimer->setInterval(50);
    connect(FDrainTimer, &QTimer::timeout, this, &TSearchResultsForm::DrainResults);
    RefreshFromSettings();
}

TSearchResultsForm::~TSearchResultsForm() {
    if (FSearch) FSearch->Cancel();
    if (FWorker) FWorker->join();
}

QAction* TSearchResultsForm::Toggle(QToolBar* Bar, const QString& Caption, TSearchOptions Option, const QString& Key) {
    QAction* a = Bar->addAction(Caption);
    a->setCheckable(true);
    a->setToolTip(Caption + (Key.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(Key)));
    // No shortcut of the action: the window has commands on the same keys (Ctrl+S, Ctrl+K), and
    // two shortcuts on one key fire neither. The panel's own widgets claim the key instead.
    if (!Key.isEmpty()) FToggleKeys.emplace_back(QKeySequence(Key), a);
    connect(a, &QAction::toggled, this, [this, Option](bool On) { FProperties.SetOption(OptionBit(Option), On); });
    FOptionToggles.emplace_back(a, Option);
    return a;
}

void TSearchResultsForm::CreateToolBar(QToolBar* Bar, QToolBar* Bar2) {
    FSearchBox = new QComboBox(Bar);
    FSearchBox->setEditable(true);
    FSearchBox->setMinimumWidth(200);
    FSearchBox->setInsertPolicy(QComboBox::NoInsert);
    FSearchBox->setToolTip(QStringLiteral("検索する文字列 (Enter: 次を検索, Shift+Enter: 前を検索, Ctrl+Enter: ファイル検索)"));
    Bar->addWidget(FSearchBox);
    FSearchBox->installEventFilter(this);  // the box has the focus and hands keys to its line edit
    Bar->addAction(QStringLiteral("次を検索"), this, [this] { FindNext(true); });
    Bar->addAction(QStringLiteral("前を検索"), this, [this] { FindNext(false); });
    Bar->addAction(QStringLiteral("ファイル検索"), this, [this] { SearchFiles(); });
    Bar->addSeparator();
    FFromStart = Bar->addAction(QStringLiteral("先頭から"));
    FFromStart->setCheckable(true);
    FFromStart->setToolTip(QStringLiteral("検索範囲の先頭から検索する"));
    connect(FFromStart, &QAction::toggled, this, [this](bool On) { FProperties.FromCursor = !On; });
    FSelectedOnly = Bar->addAction(QStringLiteral("選択範囲のみ"));
    FSelectedOnly->setCheckable(true);
    FSelectedOnly->setToolTip(QStringLiteral("選択範囲のみ検索する"));
    connect(FSelectedOnly, &QAction::toggled, this, [this](bool On) { FProperties.SelectedOnly = On; });
    Toggle(Bar, QStringLiteral("単語単位で探す"), soWholeWord, QStringLiteral("Ctrl+W"));
    Toggle(Bar, QStringLiteral("大文字と小文字を区別する"), soMatchCase, QStringLiteral("Ctrl+M"));
    Toggle(Bar, QStringLiteral("改行を無視する"), soIncludeCRLF, QStringLiteral("Ctrl+R"));
    Toggle(Bar, QStringLiteral("半角スペースを無視する"), soIncludeSpace, QStringLiteral("Ctrl+S"));
    Toggle(Bar, QStringLiteral("全角／半角を区別しない"), soNoMatchZenkaku, QStringLiteral("Ctrl+K"));

    FReplaceBox = new QComboBox(Bar2);
    FReplaceBox->setEditable(true);
    FReplaceBox->setMinimumWidth(200);
    FReplaceBox->setInsertPolicy(QComboBox::NoInsert);
    FReplaceBox->setToolTip(QStringLiteral("置き換える文字列 (Enter: 置換)"));
    Bar2->addWidget(FReplaceBox);
    FReplaceBox->installEventFilter(this);
    QWidget::setTabOrder(FSearchBox, FReplaceBox);  // Tab goes from the search to the replace box
    Bar2->addAction(QStringLiteral("置換"), this, [this] {
        FProperties.SetOption(OptionBit(soReplaceAll), false);
        Replace();
    });
    Bar2->addAction(QStringLiteral("すべて置換"), this, [this] {
        FProperties.SetOption(OptionBit(soReplaceAll), true);
        Replace();
    });
    Toggle(Bar2, QStringLiteral("置き換えの確認"), soReplaceConfirm, QString());
    Bar2->addSeparator();

    auto* targets = new QMenu(this);
    auto* group = new QActionGroup(this);
    for (int t = 0; t < 3; ++t) {
        FTargets[t] = targets->addAction(QString::fromUtf8(kTargetCaptions[t]));
        FTargets[t]->setCheckable(true);
        FTargets[t]->setToolTip(QString::fromUtf8(kTargetHints[t]));
        group->addAction(FTargets[t]);
        connect(FTargets[t], &QAction::triggered, this, [this, t] {
            FProperties.Target = TSearchTarget(t);
            RefreshFromSettings();
        });
    }
    FTargetButton = new QToolButton(Bar2);
    FTargetButton->setMenu(targets);
    FTargetButton->setPopupMode(QToolButton::MenuButtonPopup);
    FTargetButton->setToolTip(QStringLiteral("検索対象|ファイル検索の対象を変更します"));
    connect(FTargetButton, &QToolButton::clicked, this, [this] {
        FProperties.Target = TSearchTarget((int(FProperties.Target) + 1) % 3);
        RefreshFromSettings();
    });
    Bar2->addWidget(FTargetButton);

    auto* folders = new QMenu(this);
    folders->addAction(QStringLiteral("編集中のファイルのフォルダ(&E)"), this, [this] {
        const QString name = FHost.ActiveDocument().FileName;
        if (name.isEmpty()) return;
        FProperties.Folder = QFileInfo(name).absolutePath().toStdString() + "/";
        RefreshFromSettings();
    });
    QAction* other = folders->addAction(QStringLiteral("その他のフォルダ(&O)..."), this, [this] { ChooseFolder(); });
    FFolderButton = new QToolButton(Bar2);
    FFolderButton->setMenu(folders);
    FFolderButton->setDefaultAction(other);
    FFolderButton->setText(QStringLiteral("検索フォルダ"));
    FFolderButton->setPopupMode(QToolButton::MenuButtonPopup);
    Bar2->addWidget(FFolderButton);
    Bar2->addAction(QStringLiteral("フィルタ"), this, [this] { ChooseFilter(); })
        ->setToolTip(QStringLiteral("フィルタ|検索対象とするファイルのフィルタを指定します"));
    FSubFolder = Bar2->addAction(QStringLiteral("サブフォルダを含める"));
    FSubFolder->setCheckable(true);
    FSubFolder->setToolTip(QStringLiteral("サブフォルダを含める|検索対象のフォルダにサブフォルダを含めます"));
    connect(FSubFolder, &QAction::toggled, this, [this](bool On) { FProperties.SubFolder = On; });
}

void TSearchResultsForm::RefreshFromSettings() {
    // The boxes keep the typed text while it is the value: the settings' code page 932 cannot
    // hold every character of it.
    if (ToSjis(FSearchText) != FProperties.SearchValue) FSearchText = FromSjis(FProperties.SearchValue);
    if (ToSjis(FReplaceText) != FProperties.ReplaceValue) FReplaceText = FromSjis(FProperties.ReplaceValue);
    Fill(FSearchBox, FProperties.SearchHistory(), FSearchText);
    Fill(FReplaceBox, FProperties.ReplaceHistory(), FReplaceText);
    const QSignalBlocker b1(FFromStart), b2(FSelectedOnly), b3(FSubFolder);
    FFromStart->setChecked(!FProperties.FromCursor);
    FSelectedOnly->setChecked(FProperties.SelectedOnly);
    for (auto& [action, option] : FOptionToggles) {
        const QSignalBlocker block(action);
        action->setChecked(FProperties.Options & option);
    }
    const int target = std::clamp(int(FProperties.Target), 0, 2);
    FTargets[target]->setChecked(true);
    FTargetButton->setText(FTargets[target]->text().remove(QLatin1Char('&')));
    QString hint = QStringLiteral("検索フォルダ|ファイル検索の対象となるフォルダを指定します");
    if (!FProperties.Folder.empty()) hint += QStringLiteral("|") + QString::fromStdString(FProperties.Folder);
    FFolderButton->setToolTip(hint);
    FSubFolder->setChecked(FProperties.SubFolder);
}

void TSearchResultsForm::ClearResults() {
    FModel->Clear();
}

void TSearchResultsForm::TakeSearchValue() {
    FSearchText = FSearchBox->currentText();
    FProperties.SearchValue = ToSjis(FSearchText);
    FProperties.AddSearchHistory();
    Fill(FSearchBox, FProperties.SearchHistory(), FSearchText);
}

void TSearchResultsForm::TakeReplaceValue() {
    FReplaceText = FReplaceBox->currentText();
    FProperties.ReplaceValue = ToSjis(FReplaceText);
    FProperties.AddReplaceHistory();
    Fill(FReplaceBox, FProperties.ReplaceHistory(), FReplaceText);
}

void TSearchResultsForm::SetSearchText(const QString& Text) {
    FSearchText = Text;
    FProperties.SearchValue = ToSjis(Text);
    RefreshFromSettings();
}

std::string TSearchResultsForm::SearchValueUtf8() const { return FSearchText.toStdString(); }

bool TSearchResultsForm::InDocument(TEditor& Editor, const QString& Text, bool Keep, std::string& Out) {
    // Characters outside the code page go through the document's map: the pattern through a
    // copy (it never needs new codes: the text has none of them), the replacement through the
    // map itself, so that its new characters are saved as themselves.
    TCharMap* map = Editor.CharMap();
    std::optional<TCharMap> copy;
    if (map && !Keep) map = &copy.emplace(*map);
    TCodeCounts counts;
    Out = Utf8ToSjis(Text.toStdString(), map, &counts);
    if (counts.Invalid == 0 && counts.Lost == 0) return true;
    std::string message(1, '"');
    message += Text.toStdString();
    message += "\" には、この文書で扱えない文字が含まれています。";
    Inform(this, message);
    return false;
}

bool TSearchResultsForm::FindNext(bool Down) {
    TakeSearchValue();
    FProperties.SetOption(OptionBit(soDown), Down);
    TEditor* editor = FHost.ActiveDocument().Editor;
    std::string pattern;
    if (!editor || FProperties.SearchValue.empty() || !InDocument(*editor, FSearchText, false, pattern)) return false;
    if (FProperties.SelectedOnly && editor->Selected()) {
        // Inside the selection, which becomes the hit; from the caret or the start plays no part.
        if (editor->FindInSelection(pattern, FProperties.Options)) return true;
        Inform(this, "選択範囲内に、検索文字列 \"" + SearchValueUtf8() + "\" は見つかりましぇん。");
        return false;
    }
    if (!FProperties.FromCursor) {
        // From the start of the text (searching up: its end), once.
        editor->DropSelection();
        editor->SetSelStart(Down ? 0 : int(std::min<std::size_t>(editor->Document().GetTextLen(), 0x7FFFFFFF)));
        FProperties.FromCursor = true;
        RefreshFromSettings();
    }
    const bool found = FindInEditor(*editor, pattern);
    if (!found) Inform(this, "検索文字列 \"" + SearchValueUtf8() + "\" は見つかりましぇん。");
    return found;
}

bool TSearchResultsForm::FindAgain(bool Down) {
    TEditor* editor = FHost.ActiveDocument().Editor;
    std::string pattern;
    if (FProperties.SearchValue.empty() || !editor || !InDocument(*editor, FSearchText, false, pattern)) return false;
    FProperties.SelectedOnly = false;
    FProperties.FromCursor = true;
    FProperties.SetOption(OptionBit(soDown), Down);
    return FindInEditor(*editor, pattern);
}

bool TSearchResultsForm::FindInEditor(TEditor& Editor, const std::string& Pattern) {
    const bool down = FProperties.Options & soDown;
    switch (Editor.FindNextHit(Pattern, FProperties.Options)) {
        case TEditorController::TFindResult::NotFound: return false;
        case TEditorController::TFindResult::Wrapped:
            emit StatusMessage(WrappedText(down));
            break;
        case TEditorController::TFindResult::Found: break;
    }
    return true;
}

TEditorController::TReplaceAnswer TSearchResultsForm::AskAtCaret(TEditor& Editor) {
    if (FAskReplace) return FAskReplace(Editor);
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"),
                    QStringLiteral("\"%1\" を \"%2\" に置き換えますかぁ？")
                        .arg(FSearchText, FReplaceText),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll, this);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    box.button(QMessageBox::YesToAll)->setText(QStringLiteral("すべて(&A)"));
    // Beside the caret: above its row, or below when there is no room above.
    box.adjustSize();
    const QRect caret = ToQRect(Editor.CaretRect());
    const QPoint at = Editor.viewport()->mapToGlobal(caret.topLeft());
    const int h = Editor.RowHeight();
    int top = at.y() - box.height() - h;
    if (top < 0) top = at.y() + h;
    int left = at.x() + 2;
    const QRect screen = Editor.screen() ? Editor.screen()->geometry() : QRect(0, 0, 1 << 16, 1 << 16);
    if (left + box.width() > screen.right()) left = screen.right() - box.width() - 4;
    box.move(left, top);
    switch (box.exec()) {
        case QMessageBox::Yes: return TEditorController::raYes;
        case QMessageBox::No: return TEditorController::raNo;
        case QMessageBox::YesToAll: return TEditorController::raAll;
        default: return TEditorController::raCancel;
    }
}

void TSearchResultsForm::Replace() {
    TakeSearchValue();
    TakeReplaceValue();
    TEditor* editor = FHost.ActiveDocument().Editor;
    if (!editor || FProperties.SearchValue.empty()) return;
    std::string pattern, replacement;
    if (!InDocument(*editor, FSearchText, false, pattern) || !InDocument(*editor, FReplaceText, true, replacement)) return;
    const std::string notFound = "検索文字列 '" + SearchValueUtf8() + "' は見つかりません";
    const TSearchOptions options = FProperties.Options;
    const bool all = options & soReplaceAll, confirm = options & soReplaceConfirm;
    auto tellCount = [this](int Count) {
        const std::string text = std::to_string(Count) + " 件置換しました";
        emit StatusMessage(QString::fromStdString(text));
        Inform(this, text);
    };
    if (FProperties.SelectedOnly && editor->Selected()) {
        TSearchProperties settings;
        settings.Assign(FProperties);
        settings.SearchValue = pattern;
        settings.ReplaceValue = replacement;
        const int count = ReplaceInSelection(*editor, settings, this, FHost.StyleOfActive(), FAskSelection);
        if (count < 0)
            Inform(this, "選択範囲内に、" + notFound);
        else if (all && count > 0)
            tellCount(count);
        return;
    }
    if (all && !confirm) {
        // Every hit of the document, as one edit.
        const int count = editor->ReplaceAllInText(pattern, replacement, options);
        FProperties.FromCursor = true;
        RefreshFromSettings();
        if (count == 0)
            Inform(this, notFound);
        else
            tellCount(count);
        return;
    }
    auto ask = [&] { return AskAtCaret(*editor); };
    auto result = editor->Replace(pattern, replacement, options, ask);
    if (!result.Found && !all) {
        // No hit from the caret on: the next one from the other end of the text.
        const int caret = editor->SelStart();
        editor->SetSelStart((options & soDown) ? 0 : int(std::min<std::size_t>(editor->Document().GetTextLen(), 0x7FFFFFFF)));
        result = editor->Replace(pattern, replacement, options, ask);
        if (result.Found)
            emit StatusMessage(WrappedText(options & soDown));
        else
            editor->SetSelStart(caret);
    }
    if (result.All) FProperties.SetOption(OptionBit(soReplaceConfirm), false);
    FProperties.FromCursor = true;
    RefreshFromSettings();
    if (!result.Found)
        Inform(this, notFound);
    else if (all && result.Count > 0)
        tellCount(result.Count);
}

void TSearchResultsForm::SearchFiles() {
    if (Searching()) return;
    TakeSearchValue();
    if (FProperties.SearchValue.empty()) return;
    FSearchedValue = FSearchBox->currentText();
    switch (FProperties.Target) {
        case stEditedFile: {
            const TOpenDocument d = FHost.ActiveDocument();
            if (d.Editor) SearchDocuments({d});
            break;
        }
        case stOpenFiles: SearchDocuments(FHost.OpenDocuments()); break;
        default: StartFolderSearch(); break;
    }
}

void TSearchResultsForm::SearchDocuments(const std::vector<TOpenDocument>& Documents) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<TTextHits> texts;
    for (const TOpenDocument& d : Documents) {
        if (!d.Editor) continue;
        // Each document with its own characters outside the code page.
        std::optional<TCharMap> copy;
        if (d.Editor->CharMap()) copy.emplace(*d.Editor->CharMap());
        TCodeCounts counts;
        const std::string value = Utf8ToSjis(FSearchText.toStdString(), copy ? &*copy : nullptr, &counts);
        if (counts.Invalid || counts.Lost) continue;
        const TSearchPattern pattern(value, TSearchOptions(FProperties.Options | soDown));
        TTextHits t;
        if (d.Editor->CharMap()) t.Map = std::make_shared<const TCharMap>(*d.Editor->CharMap());
        t.Path = d.FileName.toStdString();
        t.DocumentId = d.Id;
        CollectHits(d.Editor->Document().GetText(), pattern, t);
        if (!t.Hits.empty()) texts.push_back(std::move(t));
    }
    QApplication::restoreOverrideCursor();
    if (texts.empty()) {
        Inform(this, "検索文字列 '" + SearchValueUtf8() + "' は見つかりません");
        return;
    }
    ShowResults(std::move(texts));
}

void TSearchResultsForm::ShowResults(std::vector<TTextHits>&& Texts) {
    show();
    ClearResults();
    FModel->AddTexts(std::move(Texts));
}

void TSearchResultsForm::StartFolderSearch() {
    const QString folder = QString::fromStdString(FProperties.Folder);
    if (!QFileInfo(folder).isDir()) {
        Inform(this, "フォルダ '" + FProperties.Folder + "' は見つかりません");
        return;
    }
    TFileList list = EnumFiles(FProperties.Folder, FProperties.Mask, FProperties.SubFolder);
    FSkipped = std::move(list.Skipped);
    if (list.Files.empty()) {
        Inform(this, "マスク '" + FProperties.Mask + "' に一致するファイルは見あたりません");
        return;
    }
    FSearch = std::make_unique<TFileSearch>(std::move(list.Files), FProperties.SearchValue, FProperties.Options);
    FResultsCleared = false;
    FWorkerDone = false;
    FProgress = new QProgressDialog(QStringLiteral("検索しています..."), QStringLiteral("キャンセル"), 0,
                                    int(FSearch->Progress().Files), this);
    FProgress->setWindowTitle(QStringLiteral("検索"));
    FProgress->setWindowModality(Qt::NonModal);
    FProgress->setMinimumDuration(400);
    FProgress->setAutoClose(false);
    FProgress->setAutoReset(false);
    connect(FProgress, &QProgressDialog::canceled, this, &TSearchResultsForm::CancelSearch);
    TFileSearch* search = FSearch.get();
    FWorker = std::make_unique<std::thread>([this, search] {
        search->Run([this](TTextHits& Text) {
            std::lock_guard<std::mutex> guard(FPendingLock);
            FPending.push_back(std::move(Text));
        });
        FWorkerDone = true;
    });
    FDrainTimer->start();
}

void TSearchResultsForm::DrainResults() {
    std::vector<TTextHits> texts;
    {
        std::lock_guard<std::mutex> guard(FPendingLock);
        texts.swap(FPending);
    }
    if (!texts.empty()) {
        // The previous results go when the first hits arrive.
        if (!FResultsCleared) {
            show();
            ClearResults();
            FResultsCleared = true;
        }
        FModel->AddTexts(std::move(texts));
    }
    if (FSearch && FProgress) {
        const TSearchProgress p = FSearch->Progress();
        FProgress->setValue(int(p.FilesDone));
        FProgress->setLabelText(QStringLiteral("検索しています... %1 / %2 ファイル、%3 件").arg(p.FilesDone).arg(p.Files).arg(p.Hits));
    }
    if (FWorkerDone) FinishFolderSearch();
}

void TSearchResultsForm::CancelSearch() {
    if (FSearch) FSearch->Cancel();
}

void TSearchResultsForm::FinishFolderSearch() {
    FDrainTimer->stop();
    FWorker->join();
    FWorker.reset();
    {
        std::lock_guard<std::mutex> guard(FPendingLock);
        if (!FPending.empty()) {
            if (!FResultsCleared) {
                show();
                ClearResults();
                FResultsCleared = true;
            }
            FModel->AddTexts(std::move(FPending));
            FPending.clear();
        }
    }
    for (TSkippedFile& s : FSearch->TakeSkipped()) FSkipped.push_back(std::move(s));
    const bool cancelled = FSearch->Cancelled();
    FSearch.reset();
    if (FProgress) {
        FProgress->deleteLater();
        FProgress = nullptr;
    }
    if (!FSkipped.empty()) {
        std::string list;
        const std::size_t shown = std::min<std::size_t>(FSkipped.size(), 20);
        for (std::size_t i = 0; i < shown; ++i) list += "\r" + FSkipped[i].Path + ": " + FSkipped[i].Reason;
        if (shown < FSkipped.size()) list += "\r... ほか " + std::to_string(FSkipped.size() - shown) + " 個";
        Inform(this, "検索しなかったファイルがあります:" + list);
    }
    if (!FResultsCleared && !cancelled) Inform(this, "検索文字列 '" + SearchValueUtf8() + "' は見つかりません");
}

void TSearchResultsForm::WaitForSearch() {
    while (Searching()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (FWorkerDone) DrainResults();
    }
}

bool TSearchResultsForm::OpenHit(const QModelIndex& Index) {
    const TTextHits* text;
    const TSearchHit* hit;
    if (!FModel->HitAt(Index, text, hit)) return false;
    TEditor* editor = FHost.ShowDocument(text->DocumentId, QString::fromStdString(text->Path));
    if (!editor) return false;
    editor->SetSelStart(int(std::min<std::int64_t>(hit->Offset, 0x7FFFFFFF)));
    editor->SetSelLength(hit->Length);
    editor->ScrollCaret();
    editor->setFocus();
    return true;
}

void TSearchResultsForm::ChooseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("検索を開始するフォルダを選んで下さい"),
                                                             QString::fromStdString(FProperties.Folder));
    if (folder.isEmpty()) return;
    FProperties.Folder = folder.toStdString() + "/";
    RefreshFromSettings();
}

void TSearchResultsForm::ChooseFilter() {
    bool ok = false;
    const QString mask = QInputDialog::getText(this, QStringLiteral("検索対象ファイルのフィルタ"),
                                               QStringLiteral("検索対象とするファイルのフィルタを入力して下さい。"),
                                               QLineEdit::Normal, QString::fromStdString(FProperties.Mask), &ok);
    if (ok) FProperties.Mask = mask.toStdString();
}

void TSearchResultsForm::FocusEditor() {
    if (TEditor* e = FHost.ActiveDocument().Editor) e->setFocus();
}

QAction* TSearchResultsForm::ToggleOfKey(const QKeyEvent& Key) const {
    const QKeySequence pressed(Key.keyCombination());
    for (const auto& [sequence, action] : FToggleKeys)
        if (sequence == pressed) return action;
    return nullptr;
}

bool TSearchResultsForm::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::ShortcutOverride || Event->type() == QEvent::KeyPress) {
        // The panel's option keys belong to it while one of its boxes or its list has the
        // focus: claimed before the window's shortcuts, toggled on the key press.
        if (QAction* toggle = ToggleOfKey(*static_cast<QKeyEvent*>(Event))) {
            Event->accept();
            if (Event->type() == QEvent::KeyPress) toggle->toggle();
            return true;
        }
    }
    if (Event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(Event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool inSearch = Watched == FSearchBox;
        if (key->key() == Qt::Key_Escape) {
            FocusEditor();
            return true;
        }
        if (enter && inSearch) {
            if (key->modifiers() & Qt::ControlModifier) SearchFiles();
            else FindNext(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
        if (enter && Watched == FReplaceBox) {
            FProperties.SetOption(OptionBit(soReplaceAll), true);
            Replace();
            return true;
        }
    }
    return QDockWidget::eventFilter(Watched, Event);
}

}  // namespace orvane
