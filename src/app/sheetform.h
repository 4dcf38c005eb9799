// The document holder: one text file (or a new document) with its name, encoding and line end,
// and the editor that shows it. Loading and saving never throw: they say whether they worked
// and why not, and a failure leaves the holder as it was.
#pragma once

#include "files/doctext.h"
#include "files/safesave.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QTimer;

namespace orvane {

class TOrvaneEditor;
class TSlicedOpen;

// The name of a new document.
inline constexpr const char* kUntitledName = "無題";
// Files larger than this are not opened as documents.
inline constexpr long long kMaxDocumentFileSize = 2LL * 1024 * 1024 * 1024;

struct TLoadResult {
    bool Ok = false;
    std::string Error;    // why it failed (Ok false)
    std::string Warning;  // what the read could not carry over as it was (Ok true)
    explicit operator bool() const noexcept { return Ok; }
};

enum class TSaveStatus {
    Saved,
    Failed,       // the file could not be written (Reason); it is as it was
    Unwritable,   // the encoding cannot hold Unwritable characters; nothing was written
    Protected,    // the document opened with invalid bytes or as binary; nothing was written
    NoBackup,     // the backup the settings ask for could not be made (Reason); nothing was written
};

struct TSaveResult {
    TSaveStatus Status = TSaveStatus::Failed;
    std::string Reason;
    std::size_t Unwritable = 0;
    explicit operator bool() const noexcept { return Status == TSaveStatus::Saved; }
};

struct TSaveRequest {
    TBackupOptions Backup;
    bool ClearUndo = false;      // the undo history goes with the save
    bool AllowLoss = false;      // write characters the encoding cannot hold as 〓
    bool SaveProtected = false;  // the user chose to save a write-protected document anyway
    const TFileWriter* Writer = nullptr;
};

class TOrvaneSheetForm : public QWidget {
    Q_OBJECT

public:
    explicit TOrvaneSheetForm(QWidget* Parent = nullptr);
    ~TOrvaneSheetForm() override;

    TOrvaneEditor* Editor() const noexcept { return FEditor; }

    // The full path of the file; for an untitled document the name proposed when it is saved
    // ("無題", or a clone's name).
    const QString& FileName() const noexcept { return FFileName; }
    // Untitled documents (new ones, clones) have no file yet: saving always asks for a name.
    bool Untitled() const noexcept { return FUntitled; }
    void SetFileName(const QString& Name, bool Untitled = false);
    // Named, but its file is not there yet (a name of no file given to open): the first save
    // writes it under that name without asking for one.
    bool NewFile() const noexcept { return FNewFile; }
    void SetNewFile(bool Value) noexcept { FNewFile = Value; }

    // How the file is written: encoding, line end, byte-order mark and the like.
    const TDocumentFormat& Format() const noexcept { return FFormat; }
    void SetFormat(const TDocumentFormat& Format);
    TDocumentEncoding Encoding() const noexcept { return FFormat.Encoding; }
    // Another encoding (a new byte-order mark state as FormatForEncoding gives; the same
    // encoding keeps the format).
    void SetEncoding(TDocumentEncoding Encoding);
    TDocumentLineEnd LineEnd() const noexcept { return FFormat.LineEnd; }
    void SetLineEnd(TDocumentLineEnd LineEnd);

    // "name (S-JIS, CRLF)": shown in the status bar while the mouse is over the editor.
    QString StatusText() const;
    // "S-JIS CRLF": the status bar's encoding panel.
    QString FormatText() const;
    // The file is one the user may not write (as found when it was read or written).
    bool FileReadOnly() const noexcept { return FFileReadOnly; }

    bool Modified() const;
    void SetModified(bool Value);
    // The document opened with invalid bytes, as binary, or with characters lost: it stays
    // write-protected and saving it needs the user's word (TSaveRequest::SaveProtected).
    bool LoadProtected() const noexcept { return FLoadProtected; }
    const TReadReport& LoadReport() const noexcept { return FLoadReport; }

    // Reads Name (deAuto: detected) into the editor. A folder, a device, a FIFO, a file over
    // 2 GB or one that cannot be read: Error says why, and the holder is unchanged. A large
    // Shift_JIS file shows its first lines at once and is read on in slices from the event
    // loop: the document stays read-only (and cannot be saved) until LoadingInSlices ends;
    // OnLoadProgress follows it, and the load's warning comes at the end in LoadReport.
    TLoadResult LoadFile(const QString& Name, TDocumentEncoding Request);
    bool LoadingInSlices() const noexcept { return FSlicedOpen != nullptr; }
    double LoadProgress() const noexcept;
    // Why the last sliced load could not read the whole file (the part read stays, protected).
    const std::string& LoadError() const noexcept { return FLoadError; }
    // Characters of the text that Format cannot hold.
    std::size_t UnwritableCount(const TDocumentFormat& Format) const;
    // Backs up and writes the text to Name in Format. On success the holder takes Name and
    // Format, is no longer untitled, modified or load-protected; on failure nothing changes.
    TSaveResult SaveFile(const QString& Name, const TDocumentFormat& Format, const TSaveRequest& Request);
    TSaveResult SaveFile(const QString& Name, const TSaveRequest& Request) { return SaveFile(Name, FFormat, Request); }
    // Reads Name with Request and puts its text, every line followed by a line break, in place
    // of the selection (or at the caret) as one undo step. Encoding and line end stay.
    TLoadResult InsertFile(const QString& Name, TDocumentEncoding Request);
    // Takes the text, encoding and line end of Other.
    void CopyFrom(const TOrvaneSheetForm& Other);

    // The text in pieces for the writer, straight from the rows (no copy of the whole text).
    TTextPieces TextPieces() const;

    // Name, format, modified state or protection changed.
    std::function<void(TOrvaneSheetForm& Sender)> OnStateChange;
    // A slice of a sliced load was laid out, or the load ended.
    std::function<void(TOrvaneSheetForm& Sender)> OnLoadProgress;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void StateChanged();
    TLoadResult LoadWhole(const std::string& Path, TDocumentEncoding Request);
    void LoadNextSlice();

    TOrvaneEditor* FEditor = nullptr;
    QString FFileName;
    bool FUntitled = true;
    bool FNewFile = false;
    bool FFileReadOnly = false;
    TDocumentFormat FFormat;
    TReadReport FLoadReport;
    bool FLoadProtected = false;
    std::unique_ptr<TSlicedOpen> FSlicedOpen;  // destroyed before the editor's document
    QTimer* FSliceTimer = nullptr;
    std::string FLoadError;
};

}  // namespace orvane
