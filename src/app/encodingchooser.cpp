// The encoding chooser and the file dialogs that host it.
#include "app/encodingchooser.h"

#include "files/doctext.h"
#include "files/filewrite.h"
#include "files/unicode.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <unistd.h>

namespace orvane {
namespace {

QString Caption(std::string_view S) { return QString::fromUtf8(S.data(), qsizetype(S.size())); }

// Saving offers UTF-8 twice: without a byte-order mark (the entry of the encoding's own name) and
// with one.
constexpr std::string_view kUtf8BomCaption = "UTF-8 (BOM付き)";

// At most the first Size bytes of a regular file; empty for anything else.
std::string ReadStart(const QString& FileName, std::size_t Size) {
    std::string bytes;
    try {
        const int fd = OpenRegularFile(FileName.toStdString());
        bytes.resize(Size);
        std::size_t got = 0;
        while (got < Size) {
            const ssize_t n = ::read(fd, bytes.data() + got, Size - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += std::size_t(n);
        }
        ::close(fd);
        bytes.resize(got);
    } catch (const std::exception&) {
        bytes.clear();
    }
    return bytes;
}

}  // namespace

TfrmForDialog::TfrmForDialog(TEncodingChoice& Choice, QWidget* Parent) : QWidget(Parent), FChoice(Choice) {
    setObjectName(QStringLiteral("EncodingChooser"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* encodingLabel = new QLabel(QStringLiteral("文字コード(&C):"), this);
    FEncoding = new QComboBox(this);
    FEncoding->setObjectName(QStringLiteral("cmbCharacterCode"));
    encodingLabel->setBuddy(FEncoding);
    FLineEndLabel = new QLabel(QStringLiteral("改行コード(&R):"), this);
    FLineEnd = new QComboBox(this);
    FLineEnd->setObjectName(QStringLiteral("cmbReturnCode"));
    for (const TDocumentLineEndName& n : kDocumentLineEndNames) FLineEnd->addItem(Caption(n.Caption));
    FLineEndLabel->setBuddy(FLineEnd);
    FPreviewBox = new QCheckBox(QStringLiteral("内容をプレビューする(&P)"), this);
    FPreviewBox->setChecked(FChoice.Preview);
    FPreview = new QPlainTextEdit(this);
    FPreview->setObjectName(QStringLiteral("memPreview"));
    FPreview->setReadOnly(true);
    FPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    grid->addWidget(encodingLabel, 0, 0);
    grid->addWidget(FEncoding, 0, 1);
    grid->addWidget(FPreviewBox, 0, 2);
    grid->addWidget(FLineEndLabel, 1, 0);
    grid->addWidget(FLineEnd, 1, 1);
    grid->addWidget(FPreview, 2, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    connect(FEncoding, &QComboBox::currentTextChanged, this, [this] {
        Remember();
        ShowPreview(FPreviewName);
    });
    connect(FLineEnd, &QComboBox::currentIndexChanged, this, [this] { Remember(); });
    connect(FPreviewBox, &QCheckBox::toggled, this, [this](bool On) {
        FChoice.Preview = On;
        ShowPreview(FPreviewName);
    });
}

void TfrmForDialog::Remember() {
    if (!FEncoding->currentText().isEmpty()) FChoice.EncodingCaption = FEncoding->currentText();
    if (FForSave) FChoice.LineEnd = ChosenLineEnd();
}

void TfrmForDialog::PrepareForOpen() {
    FForSave = false;
    const QString previous = FChoice.EncodingCaption;
    const QSignalBlocker block(FEncoding);
    FEncoding->clear();
    for (const TDocumentEncodingName& n : kDocumentEncodingNames) FEncoding->addItem(Caption(n.Caption));
    const int i = FEncoding->findText(previous);
    FEncoding->setCurrentIndex(i >= 0 ? i : 0);
    FLineEndLabel->hide();
    FLineEnd->hide();
    FPreview->setMinimumHeight(105);
    FPreview->show();
    FPreviewBox->show();
}

void TfrmForDialog::PrepareForSave() {
    FForSave = true;
    const QString previous = FChoice.EncodingCaption;
    const QSignalBlocker block(FEncoding);
    FEncoding->clear();
    for (const TDocumentEncodingName& n : kDocumentEncodingNames) {
        if (n.Value != deAuto) FEncoding->addItem(Caption(n.Caption));
        if (n.Value == deUtf8) FEncoding->addItem(Caption(kUtf8BomCaption));
    }
    const int i = FEncoding->findText(previous);
    FEncoding->setCurrentIndex(i >= 0 ? i : 0);
    FLineEndLabel->show();
    FLineEnd->show();
    FLineEnd->setCurrentIndex(int(FChoice.LineEnd));
    // Saving previews nothing: the file is about to be replaced.
    FPreview->hide();
    FPreviewBox->hide();
}

TDocumentEncoding TfrmForDialog::ChosenEncoding() const {
    const QString text = FEncoding->currentText();
    if (text == Caption(kUtf8BomCaption)) return deUtf8;
    for (const TDocumentEncodingName& n : kDocumentEncodingNames)
        if (Caption(n.Caption) == text) return n.Value;
    return deAuto;
}

TDocumentLineEnd TfrmForDialog::ChosenLineEnd() const {
    switch (FLineEnd->currentIndex()) {
        case 1: return dlCr;
        case 2: return dlLf;
        default: return dlCrLf;
    }
}

bool TfrmForDialog::ChosenBom() const {
    return FEncoding->currentText() == Caption(kUtf8BomCaption) || ChosenEncoding() == deUtf16;
}

void TfrmForDialog::SelectEncoding(TDocumentEncoding Encoding, bool Bom) {
    const int i = FEncoding->findText(Encoding == deUtf8 && Bom ? Caption(kUtf8BomCaption)
                                                                : Caption(EncodingName(Encoding).Caption));
    if (i >= 0) FEncoding->setCurrentIndex(i);
    Remember();
}

void TfrmForDialog::SelectLineEnd(TDocumentLineEnd LineEnd) {
    FLineEnd->setCurrentIndex(int(LineEndName(LineEnd).Value));
    Remember();
}

void TfrmForDialog::ShowPreview(const QString& FileName) {
    FPreviewName = FileName;
    FPreview->clear();
    if (!FPreviewBox->isChecked() || FileName.isEmpty() || FForSave) return;
    const QFileInfo info(FileName);
    if (!info.isFile()) return;  // folders, FIFOs and devices are never read
    std::string bytes = ReadStart(FileName, 1024);
    if (bytes.empty()) return;
    try {
        const TDocumentText d = DecodeDocument(std::move(bytes), ChosenEncoding());
        FPreview->setPlainText(QString::fromStdString(SjisToUtf8(d.Text, &d.Map, nullptr)));
    } catch (const std::exception&) {
    }
}

QString TfrmForDialog::PreviewText() const { return FPreview->toPlainText(); }

QStringList FileDialogFilters(const std::string& Filter) {
    QStringList parts = QString::fromStdString(Filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        if (patterns.isEmpty()) continue;
        filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(QLatin1Char(' ')));
    }
    if (filters.isEmpty()) filters << QStringLiteral("すべてのファイル (*)");
    return filters;
}

QFileDialog* CreateFileDialog(QWidget* Parent, const TFileDialogSetup& Setup, TEncodingChoice& Choice) {
    auto* dialog = new QFileDialog(Parent, Setup.Caption, Setup.Folder);
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setOption(QFileDialog::HideNameFilterDetails, true);
    dialog->setNameFilters(FileDialogFilters(Setup.Filter));
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    dialog->setAcceptMode(Setup.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(Setup.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!Setup.FileName.isEmpty()) dialog->selectFile(Setup.FileName);
    auto* chooser = new TfrmForDialog(Choice, dialog);
    if (Setup.Save) {
        chooser->PrepareForSave();
        chooser->SelectEncoding(Setup.Encoding, Setup.Bom);
        chooser->SelectLineEnd(Setup.LineEnd);
    } else {
        chooser->PrepareForOpen();
        QObject::connect(dialog, &QFileDialog::currentChanged, chooser, &TfrmForDialog::ShowPreview);
    }
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
        grid->addWidget(chooser, grid->rowCount(), 0, 1, grid->columnCount());
    else
        dialog->layout()->addWidget(chooser);
    return dialog;
}

TfrmForDialog* ChooserOf(QFileDialog* Dialog) {
    return Dialog ? Dialog->findChild<TfrmForDialog*>(QStringLiteral("EncodingChooser")) : nullptr;
}

std::optional<TFileDialogResult> RunFileDialog(QWidget* Parent, const TFileDialogSetup& Setup, TEncodingChoice& Choice) {
    std::unique_ptr<QFileDialog> dialog(CreateFileDialog(Parent, Setup, Choice));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
    TfrmForDialog* chooser = ChooserOf(dialog.get());
    TFileDialogResult r;
    r.FileName = dialog->selectedFiles().first();
    r.Encoding = chooser->ChosenEncoding();
    r.Bom = chooser->ChosenBom();
    r.LineEnd = chooser->ChosenLineEnd();
    return r;
}

}  // namespace orvane
