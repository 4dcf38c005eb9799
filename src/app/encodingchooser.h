// The encoding chooser shown inside the open and save dialogs: encoding, line end (saving) and a
// preview of the file chosen (opening). What was chosen stays for the next dialog of the run.
#pragma once

#include "files/docformat.h"

#include <QString>
#include <QWidget>

#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QPlainTextEdit;

namespace orvane {

// What the chooser remembers between dialogs.
struct TEncodingChoice {
    QString EncodingCaption = QStringLiteral("自動判別");
    TDocumentLineEnd LineEnd = dlCrLf;
    bool Preview = true;
};

class TfrmForDialog : public QWidget {
    Q_OBJECT

public:
    TfrmForDialog(TEncodingChoice& Choice, QWidget* Parent = nullptr);

    // The lists as the open dialog shows them (six encodings, no line end, a taller preview) or
    // the save dialog (five encodings without "自動判別", the line end).
    void PrepareForOpen();
    void PrepareForSave();
    TDocumentEncoding ChosenEncoding() const;
    // Saving: the chosen encoding is written with a byte-order mark ("UTF-8 (BOM付き)", UTF-16).
    bool ChosenBom() const;
    TDocumentLineEnd ChosenLineEnd() const;
    void SelectEncoding(TDocumentEncoding Encoding, bool Bom = false);
    void SelectLineEnd(TDocumentLineEnd LineEnd);
    // Shows the start of FileName (a regular file only: a FIFO or device is never read) decoded
    // as chosen; empty: clears the preview.
    void ShowPreview(const QString& FileName);
    QString PreviewText() const;

    QComboBox* EncodingList() const noexcept { return FEncoding; }
    QComboBox* LineEndList() const noexcept { return FLineEnd; }
    QCheckBox* PreviewBox() const noexcept { return FPreviewBox; }

private:
    void Remember();

    TEncodingChoice& FChoice;
    QComboBox* FEncoding = nullptr;
    QLabel* FLineEndLabel = nullptr;
    QComboBox* FLineEnd = nullptr;
    QPlainTextEdit* FPreview = nullptr;
    QCheckBox* FPreviewBox = nullptr;
    QString FPreviewName;
    bool FForSave = false;
};

// The file dialog filter of the settings ("desc|pats|desc|pats") as Qt's name filters; "*.*"
// becomes "*", which matches names without a dot too.
QStringList FileDialogFilters(const std::string& Filter);

// An open or save dialog (not the desktop's own: it hosts the chooser) with the chooser inside.
struct TFileDialogSetup {
    QString Caption;
    QString Folder;
    QString FileName;  // proposed (saving)
    std::string Filter;
    bool Save = false;
    TDocumentEncoding Encoding = deShiftJis;  // saving: selected at the start
    bool Bom = false;                         // saving: UTF-8 with a byte-order mark
    TDocumentLineEnd LineEnd = dlCrLf;
};
QFileDialog* CreateFileDialog(QWidget* Parent, const TFileDialogSetup& Setup, TEncodingChoice& Choice);
// The chooser inside a dialog made by CreateFileDialog.
TfrmForDialog* ChooserOf(QFileDialog* Dialog);

struct TFileDialogResult {
    QString FileName;
    TDocumentEncoding Encoding = deAuto;
    bool Bom = false;
    TDocumentLineEnd LineEnd = dlCrLf;
};
// Runs the dialog; nothing when it was cancelled.
std::optional<TFileDialogResult> RunFileDialog(QWidget* Parent, const TFileDialogSetup& Setup, TEncodingChoice& Choice);

}  // namespace orvane
