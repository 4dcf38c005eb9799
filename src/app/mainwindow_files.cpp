// The main window's file commands: new, open, save, save as, insert a file at the caret.
#include "app/mainwindow.h"

#include "app/tabsheet.h"
#include "platform/errordisplay.h"
#include "platform/fileaccess.h"
#include "platform/questions.h"
#include "styles/orvaneeditor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>

namespace orvane {
namespace {

// Moves Path to the desktop's trash. Qt reports success and leaves the file under the working
// folder when the data folder is missing: the folder is made first and the result checked.
bool MoveToTrash(const std::string& Path, std::string& Error) {
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(QString::fromStdString(Path));
    if (!file.moveToTrash()) {
        Error = file.errorString().toStdString();
        return false;
    }
    const QString where = file.fileName();
    if (!QFileInfo(where).isAbsolute() || !where.contains(QStringLiteral("/Trash/"))) {
        Error = "ごみ箱が見つかりません";
        return false;
    }
    return true;
}

}  // namespace

TBackupOptions TForm1::BackupOptions(const QString& FileName) const {
    TBackupOptions o;
    const TOrvaneConfig& c = FSettings.Config;
    o.Backup = c.Backup;
    o.Mode = c.BackupBackupMode;
    o.MoveToTrash = MoveToTrash;
    const QString path = QString::fromStdString(c.BackupPath);
    QString folder;
    if (path.isEmpty()) {
        folder.clear();
    } else if (path.compare(QStringLiteral("DESKTOP"), Qt::CaseInsensitive) == 0) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QDir().mkpath(folder);
    } else if (path.compare(QStringLiteral("APPLICATION"), Qt::CaseInsensitive) == 0) {
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(folder);
    } else if (QFileInfo(path).isRelative()) {
        folder = QFileInfo(FileName).absoluteDir().absoluteFilePath(path);
    } else {
        folder = path;
    }
    o.Folder = folder.toStdString();
    return o;
}

bool TForm1::SaveDocument(TOrvaneSheetForm& Sheet, bool AskName, const QString& Title) {
    QString name = Sheet.FileName();
    QString title = Title;
    TDocumentFormat format = Sheet.Format();
    // A file the user may not write is saved under another name, rather than failing.
    if (!AskName && !Sheet.Untitled() && QFileInfo(name).isFile() && !UserCanWrite(name.toStdString())) {
        if (Ask(this, name.toStdString() + " には書き込めません (読み取り専用のファイルです)。\r名前を付けて保存しますか？",
                TQuestion::OkCancel) != TAnswer::Ok)
            return false;
        AskName = true;
        title = QStringLiteral("名前を付けて保存");
    }
    // An untitled document, or one whose file went away, is saved under a name the user gives;
    // a new file named when it was opened is made under that name.
    if (AskName || Sheet.Untitled() || (!QFileInfo(name).isFile() && !Sheet.NewFile())) {
        TFileDialogSetup setup;
        setup.Caption = title;
        setup.Save = true;
        setup.Filter = FSettings.Config.Filter;
        setup.Folder = Sheet.Untitled() ? QDir::currentPath() : QFileInfo(name).absolutePath();
        setup.FileName = QFileInfo(name).fileName();
        setup.Encoding = format.Encoding;
        setup.Bom = format.Bom;
        setup.LineEnd = format.LineEnd;
        const std::optional<TFileDialogResult> chosen = RunFileDialog(this, setup, FEncodingChoice);
        if (!chosen) return false;
        name = chosen->FileName;
        if (chosen->Encoding != format.Encoding && chosen->Encoding != deAuto)
            format = FormatForEncoding(chosen->Encoding, chosen->LineEnd);
        if (format.Encoding == deUtf8) format.Bom = chosen->Bom;
        format.LineEnd = chosen->LineEnd;
        if (!CloseOtherTabOf(name, Sheet)) return false;
    }
    TSaveRequest request;
    request.Backup = BackupOptions(name);
    request.ClearUndo = !FSettings.Config.CanUndoAfterSave;
    for (;;) {
        const TSaveResult r = Sheet.SaveFile(name, format, request);
        switch (r.Status) {
            case TSaveStatus::Saved: RefreshWindowState(); return true;
            case TSaveStatus::Protected:
                if (Ask(this, r.Reason + "\rそれでも保存しますか？", TQuestion::OkCancelDefaultCancel) != TAnswer::Ok)
                    return false;
                request.SaveProtected = true;
                continue;
            case TSaveStatus::Unwritable:
                if (Ask(this,
                        std::to_string(r.Unwritable) + " 文字を " + std::string(EncodingName(format.Encoding).Caption) +
                            " で書き込めません。\r〓 に置き換えて保存しますか？",
                        TQuestion::OkCancelDefaultCancel) != TAnswer::Ok)
                    return false;
                request.AllowLoss = true;
                continue;
            case TSaveStatus::NoBackup:
                if (Ask(this, "バックアップを作成できません。バックアップせずに保存しますか？\r" + r.Reason,
                        TQuestion::YesNoDefaultNo) != TAnswer::Yes)
                    return false;
                request.Backup.Backup = false;
                continue;
            case TSaveStatus::Failed:
                ShowErrorMessage(this, "保存できませんでした。\n" + r.Reason);
                return false;
        }
    }
}

bool TForm1::CloseOtherTabOf(const QString& FileName, const TOrvaneSheetForm& Sheet) {
    TOrvaneTabSheet* other = FindSheetByName(FileName);
    if (!other || other->Form() == &Sheet) return true;
    if (Ask(this, FileName.toStdString() + " はほかのタブで開いています。\rそのタブを閉じて上書きしますか？",
            TQuestion::OkCancelDefaultCancel) != TAnswer::Ok)
        return false;
    TOrvaneTabSheet* self = nullptr;
    for (const auto& tab : FSheets)
        if (tab->Form() == &Sheet) self = tab.get();
    if (!CloseDocument(other)) return false;  // its own unsaved changes said no
    if (self) ActivateDocument(self);
    return true;
}

std::optional<TFileDialogResult> TForm1::ChooseFileToOpen(const QString& Caption) {
    TFileDialogSetup setup;
    setup.Caption = Caption;
    setup.Filter = FSettings.Config.Filter;
    const TOrvaneSheetForm* sheet = ActiveSheet();
    setup.Folder = !sheet || sheet->Untitled() ? QDir::currentPath() : QFileInfo(sheet->FileName()).absolutePath();
    return RunFileDialog(this, setup, FEncodingChoice);
}

QMenu* TForm1::CreateReopenMenu() {
    FReopenMenu = new QMenu(QStringLiteral("文字コードを指定して開き直す(&K)"), this);
    FReopenMenu->menuAction()->setStatusTip(QStringLiteral("編集中のファイルを、指定した文字コードで読み込み直します"));
    for (const TDocumentEncodingName& n : kDocumentEncodingNames) {
        QAction* a = FReopenMenu->addAction(QString::fromUtf8(n.Caption.data(), qsizetype(n.Caption.size())));
        a->setCheckable(true);
        const TDocumentEncoding encoding = n.Value;
        connect(a, &QAction::triggered, this, [this, encoding] {
            GuardedEvent(this, [&] {
                if (FActive) ReopenWithEncoding(*FActive, encoding);
            });
        });
    }
    // The encoding the file has now is checked.
    connect(FReopenMenu, &QMenu::aboutToShow, this, [this] {
        const TDocumentEncoding current = ActiveSheet() ? ActiveSheet()->Encoding() : deAuto;
        const QList<QAction*> items = FReopenMenu->actions();
        for (qsizetype i = 0; i < items.size() && i < qsizetype(std::size(kDocumentEncodingNames)); ++i)
            items[i]->setChecked(kDocumentEncodingNames[i].Value == current);
    });
    return FReopenMenu;
}

bool TForm1::CanReopen() const {
    const TOrvaneSheetForm* sheet = ActiveSheet();
    return sheet && !sheet->Untitled() && !sheet->NewFile() && !sheet->LoadingInSlices();
}

void TForm1::ShowReopenMenu(QWidget* Anchor) {
    if (!CanReopen()) return;
    const QSize size = FReopenMenu->sizeHint();
    FReopenMenu->popup(Anchor->mapToGlobal(QPoint(Anchor->width() - size.width(), -size.height())));
}

void TForm1::NewDocument() { NewDocument(QString(), false, deAuto); }

void TForm1::OpenCommand() {
    const std::optional<TFileDialogResult> chosen = ChooseFileToOpen(QString());
    if (!chosen) return;
    OpenFile(chosen->FileName, chosen->Encoding);
}

void TForm1::OpenToCaret() {
    const std::optional<TFileDialogResult> chosen = ChooseFileToOpen(QStringLiteral("カーソル位置への読み込み"));
    if (!chosen) return;
    if (!QFileInfo::exists(chosen->FileName)) {
        ShowErrorMessage(this, "ファイル " + chosen->FileName.toStdString() + " は見つかりません");
        return;
    }
    if (!ActiveSheet()) return;
    const TLoadResult r = ActiveSheet()->InsertFile(chosen->FileName, chosen->Encoding);
    if (!r) ShowErrorMessage(this, r.Error);
    RefreshWindowState();
}

}  // namespace orvane
