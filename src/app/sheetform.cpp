// The document holder.
#include "app/sheetform.h"

#include "editor/slicedopen.h"
#include "platform/fileaccess.h"
#include "styles/orvaneeditor.h"

#include <QFileInfo>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace orvane {
namespace {

// Why Path is no file a person meant to open as a document, or empty.
std::string RefusalOf(const std::string& Path) {
    struct stat st;
    if (::stat(Path.c_str(), &st) != 0) {
        if (errno == ENOENT) return "ファイル " + Path + " は見つかりません";
        return "ファイル " + Path + " が開けないニャ: " + std::strerror(errno);
    }
    if (S_ISDIR(st.st_mode)) return Path + " はフォルダなので開けません";
    if (!S_ISREG(st.st_mode)) return Path + " は通常のファイルではない (デバイスや FIFO) ので開けません";
    if (st.st_size > kMaxDocumentFileSize)
        return "ファイル " + Path + " は大きすぎるので開けません (" + std::to_string(st.st_size / (1024 * 1024)) +
               " MB; 2 GB まで)";
    return {};
}

}  // namespace

TOrvaneSheetForm::TOrvaneSheetForm(QWidget* Parent) : QWidget(Parent), FFileName(QString::fromUtf8(kUntitledName)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FEditor = new TOrvaneEditor(this);
    FEditor->setFrameShape(QFrame::NoFrame);
    FEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(FEditor);
    setFocusProxy(FEditor);
    FEditor->setStatusTip(StatusText());
    FSliceTimer = new QTimer(this);
    FSliceTimer->setInterval(0);
    connect(FSliceTimer, &QTimer::timeout, this, [this] { LoadNextSlice(); });
}

TOrvaneSheetForm::~TOrvaneSheetForm() = default;

void TOrvaneSheetForm::showEvent(QShowEvent* Event) {
    QWidget::showEvent(Event);
    FEditor->setFocus();
}

void TOrvaneSheetForm::StateChanged() {
    FEditor->setStatusTip(StatusText());
    if (OnStateChange) OnStateChange(*this);
}

void TOrvaneSheetForm::SetFileName(const QString& Name, bool Untitled) {
    FFileName = Name;
    FUntitled = Untitled;
    FFileReadOnly = !Untitled && !UserCanWrite(Name.toStdString());
    StateChanged();
}

void TOrvaneSheetForm::SetFormat(const TDocumentFormat& Format) {
    FFormat = Format;
    StateChanged();
}

void TOrvaneSheetForm::SetEncoding(TDocumentEncoding Encoding) {
    if (Encoding == deAuto || Encoding == FFormat.Encoding) return;
    SetFormat(FormatForEncoding(Encoding, FFormat.LineEnd));
}

void TOrvaneSheetForm::SetLineEnd(TDocumentLineEnd LineEnd) {
    FFormat.LineEnd = LineEnd;
    StateChanged();
}

QString TOrvaneSheetForm::FormatText() const {
    const std::string_view encoding = FormatShortName(FFormat);
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(encoding.data(), qsizetype(encoding.size())),
                                       QString::fromUtf8(LineEndName(FFormat.LineEnd).Short.data()));
}

QString TOrvaneSheetForm::StatusText() const {
    return QStringLiteral("%1 (%2, %3)")
        .arg(FFileName, QString::fromUtf8(FormatShortName(FFormat).data()),
             QString::fromUtf8(LineEndName(FFormat.LineEnd).Short.data()));
}

bool TOrvaneSheetForm::Modified() const { return FEditor->Modified(); }

void TOrvaneSheetForm::SetModified(bool Value) {
    FEditor->SetModified(Value);
    StateChanged();
}

TLoadResult TOrvaneSheetForm::LoadFile(const QString& Name, TDocumentEncoding Request) {
    TLoadResult result;
    const std::string path = QFileInfo(Name).absoluteFilePath().toStdString();
    if (std::string refusal = RefusalOf(path); !refusal.empty()) {
        result.Error = std::move(refusal);
        return result;
    }
    std::unique_ptr<TSlicedOpen> sliced;
    try {
        // Reads the head first: a failure leaves the document as it was.
        sliced = TSlicedOpen::Start(path, Request, FEditor->Document());
    } catch (const std::exception& e) {
        result.Error = "ファイル " + path + " が開けないニャ\n" + e.what();
        return result;
    }
    if (!sliced) return LoadWhole(path, Request);
    FSlicedOpen = std::move(sliced);
    if (TCharMap* map = FEditor->CharMap()) *map = FSlicedOpen->CharMap();  // grows with the slices
    FLoadError.clear();
    FLoadReport = {};
    FLoadProtected = false;
    FEditor->SetReadOnly(false);  // the document itself is read-only until the end
    FEditor->SetModified(false);
    FEditor->SetRowCol(0, 0);
    FFormat = FormatForEncoding(FSlicedOpen->HeadFormat().Encoding, dlCrLf);  // until the whole file is read
    FFormat.Bom = FSlicedOpen->HeadFormat().Bom;
    FFileName = QString::fromStdString(path);
    FUntitled = false;
    FNewFile = false;
    FFileReadOnly = !UserCanWrite(path);
    result.Ok = true;
    StateChanged();
    FSliceTimer->start();
    return result;
}

double TOrvaneSheetForm::LoadProgress() const noexcept { return FSlicedOpen ? FSlicedOpen->Progress() : 1.0; }

void TOrvaneSheetForm::LoadNextSlice() {
    if (!FSlicedOpen) {
        FSliceTimer->stop();
        return;
    }
    std::string failure;
    try {
        const bool done = FSlicedOpen->Step(std::chrono::milliseconds(20));
        // Characters kept in the new rows are drawn (and copied) as themselves at once.
        TCharMap* map = FEditor->CharMap();
        if (map && map->Size() != FSlicedOpen->CharMap().Size()) *map = FSlicedOpen->CharMap();
        if (!done) {
            if (OnLoadProgress) OnLoadProgress(*this);
            return;
        }
    } catch (const std::exception& e) {
        failure = e.what();
    }
    FSliceTimer->stop();
    const std::unique_ptr<TSlicedOpen> open = std::move(FSlicedOpen);
    if (!failure.empty()) {
        // What was read stays, write-protected: saving it would cut the file short.
        FLoadError = "ファイル " + FFileName.toStdString() + " を最後まで読めませんでした\n" + failure;
        FLoadProtected = true;
        FEditor->SetReadOnly(true);
        StateChanged();
        if (OnLoadProgress) OnLoadProgress(*this);
        return;
    }
    if (!open->Confirmed()) {
        // The rest of the file is not in the head's encoding: read it whole in its own.
        if (const TLoadResult whole = LoadWhole(FFileName.toStdString(), deAuto); !whole) {
            FLoadError = whole.Error;
            FLoadProtected = true;
            FEditor->SetReadOnly(true);
            StateChanged();
        }
        if (OnLoadProgress) OnLoadProgress(*this);
        return;
    }
    const TDocumentText& read = open->Result();
    if (TCharMap* map = FEditor->CharMap()) *map = read.Map;  // copy and paste keep its characters
    FLoadReport = read.Report;
    FLoadProtected = read.Report.ReadOnly();
    FEditor->SetReadOnly(FLoadProtected);
    FEditor->SetModified(false);
    FFormat = read.Format;
    StateChanged();
    if (OnLoadProgress) OnLoadProgress(*this);
}

TLoadResult TOrvaneSheetForm::LoadWhole(const std::string& Path, TDocumentEncoding Request) {
    TLoadResult result;
    TDocumentText read;
    try {
        // Read whole before the document changes: a failure leaves it as it was.
        read = ReadDocumentFile(Path, Request);
    } catch (const std::exception& e) {
        result.Error = "ファイル " + Path + " が開けないニャ\n" + e.what();
        return result;
    }
    try {
        FSlicedOpen.reset();
        FSliceTimer->stop();
        FEditor->Document().AdoptText(std::move(read.Text));
    } catch (const std::exception& e) {
        result.Error = "ファイル " + Path + " が開けないニャ\n" + e.what();
        return result;
    }
    if (TCharMap* map = FEditor->CharMap()) *map = read.Map;  // copy and paste keep its characters
    FEditor->Document().UndoEngine().Clear();
    FLoadReport = read.Report;
    FLoadProtected = read.Report.ReadOnly();
    FEditor->SetReadOnly(FLoadProtected);
    FEditor->SetModified(false);
    FEditor->SetRowCol(0, 0);
    FFormat = read.Format;
    FFileName = QString::fromStdString(Path);
    FUntitled = false;
    FNewFile = false;
    FFileReadOnly = !UserCanWrite(Path);
    result.Ok = true;
    result.Warning = read.Report.Warning();
    StateChanged();
    return result;
}

TTextPieces TOrvaneSheetForm::TextPieces() const {
    const TEditorScreenStrings* doc = &FEditor->Document();
    return [doc](const std::function<void(std::string_view)>& Piece) {
        constexpr std::size_t kPiece = 1 << 20;
        std::string buffer;
        buffer.reserve(kPiece + 4096);
        const int count = doc->GetCount();
        for (int r = 0; r < count; ++r) {
            buffer += doc->RowView(r);
            if (doc->RowEndKind(r) == reLineBreak) {
                buffer += "\r\n";
                if (buffer.size() >= kPiece) {
                    Piece(buffer);
                    buffer.clear();
                }
            }
        }
        if (!buffer.empty()) Piece(buffer);
    };
}

std::size_t TOrvaneSheetForm::UnwritableCount(const TDocumentFormat& Format) const {
    // Only characters kept from a Unicode file can be beyond an encoding, and only beyond the
    // Japanese byte encodings: anything else needs no pass over the text.
    const TCharMap* map = FEditor->CharMap();
    if (!map || map->Empty() || Format.Encoding == deUtf8 || Format.Encoding == deUtf16) return 0;
    return CountUnwritable(TextPieces(), Format, map);
}

TSaveResult TOrvaneSheetForm::SaveFile(const QString& Name, const TDocumentFormat& Format, const TSaveRequest& Request) {
    TSaveResult result;
    if (FSlicedOpen) {
        result.Reason = "ファイルを読み込み中です。読み終わってから保存してください: " + FFileName.toStdString();
        return result;
    }
    if (FLoadProtected && !Request.SaveProtected) {
        result.Status = TSaveStatus::Protected;
        result.Reason = "この文書は読み込めなかった部分があるため書き込み禁止です: " + FLoadReport.Warning();
        return result;
    }
    const std::string path = QFileInfo(Name).absoluteFilePath().toStdString();
    try {
        if (!Request.AllowLoss) {
            if (const std::size_t n = UnwritableCount(Format)) {
                result.Status = TSaveStatus::Unwritable;
                result.Unwritable = n;
                result.Reason = std::to_string(n) + " 文字を " + std::string(EncodingName(Format.Encoding).Caption) +
                                " で書き込めません";
                return result;
            }
        }
        TSaveOptions options;
        options.Backup = Request.Backup;
        options.AllowLoss = Request.AllowLoss;
        options.Writer = Request.Writer;
        SaveDocumentFile(path, TextPieces(), Format, FEditor->CharMap(), options);
    } catch (const EBackupError& e) {
        result.Status = TSaveStatus::NoBackup;
        result.Reason = e.what();
        return result;
    } catch (const std::exception& e) {
        result.Status = TSaveStatus::Failed;
        result.Reason = e.what();
        return result;
    }
    FFileName = QString::fromStdString(path);
    FUntitled = false;
    FNewFile = false;
    FFileReadOnly = !UserCanWrite(path);
    FFormat = Format;
    if (FLoadProtected) {
        FLoadProtected = false;
        FEditor->SetReadOnly(false);
    }
    FEditor->SetModified(false);
    if (Request.ClearUndo) FEditor->Document().UndoEngine().ClearKeepingSaved();  // the text as it is stays the saved one
    result.Status = TSaveStatus::Saved;
    StateChanged();
    return result;
}

TLoadResult TOrvaneSheetForm::InsertFile(const QString& Name, TDocumentEncoding Request) {
    TLoadResult result;
    if (FSlicedOpen) {
        result.Error = "ファイルを読み込み中です: " + FFileName.toStdString();
        return result;
    }
    const std::string path = QFileInfo(Name).absoluteFilePath().toStdString();
    if (std::string refusal = RefusalOf(path); !refusal.empty()) {
        result.Error = std::move(refusal);
        return result;
    }
    if (FEditor->ReadOnly()) {
        result.Error = "書き込み禁止の文書にはファイルを挿入できません";
        return result;
    }
    try {
        TDocumentText read = ReadDocumentFile(path, Request);
        // Characters the code page cannot hold keep their place in this document's own map.
        if (!read.Map.Empty()) {
            result.Error = "ファイル " + path + " には Shift_JIS で表せない文字があるので挿入できません";
            return result;
        }
        std::string text = std::move(read.Text);
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += "\r\n";
        FEditor->SetSelText(text);
        result.Ok = true;
        result.Warning = read.Report.Warning();
    } catch (const std::exception& e) {
        result.Error = "ファイル " + path + " が開けません\n" + e.what();
    }
    StateChanged();
    return result;
}

void TOrvaneSheetForm::CopyFrom(const TOrvaneSheetForm& Other) {
    FEditor->Document().SetText(Other.FEditor->Document().GetText());
    if (TCharMap* map = FEditor->CharMap(); map && Other.FEditor->CharMap()) *map = *Other.FEditor->CharMap();
    FFormat = Other.FFormat;
    StateChanged();
}

}  // namespace orvane
