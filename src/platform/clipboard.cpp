// The clipboard through QClipboard.
#include "platform/clipboard.h"

#include "files/unicode.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace orvane {

void SetClipboardText(std::string_view Sjis, bool Box, const TCharMap* Map) {
    auto* data = new QMimeData;
    const std::string utf8 = SjisToUtf8(Sjis, Map, nullptr);
    // Other programs here expect lines ended by LF alone; pasting turns them back into CR LF.
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    data->setText(text);
    if (Box) data->setData(QString::fromLatin1(kBoxClipboardType), QByteArray(Sjis.data(), qsizetype(Sjis.size())));
    QApplication::clipboard()->setMimeData(data);
}

bool ClipboardHasText() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && (data->hasText() || data->hasFormat(QString::fromLatin1(kBoxClipboardType)));
}

bool ClipboardHasBox() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasFormat(QString::fromLatin1(kBoxClipboardType));
}

std::string ClipboardText(TCharMap* Map) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data) return {};
    if (data->hasFormat(QString::fromLatin1(kBoxClipboardType))) {
        const QByteArray bytes = data->data(QString::fromLatin1(kBoxClipboardType));
        return std::string(bytes.constData(), std::size_t(bytes.size()));
    }
    const QByteArray utf8 = data->text().toUtf8();
    return Utf8ToSjis(std::string_view(utf8.constData(), std::size_t(utf8.size())), Map, nullptr);
}

}  // namespace orvane
