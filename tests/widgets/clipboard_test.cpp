// The clipboard keeps every character: text from other programs with characters outside code
// page 932, and copies of such characters kept in the document's user-defined area.
#include "widgets/editorfixture.h"
#include "files/doctext.h"

#include <QApplication>
#include <QClipboard>

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(Clipboard, CharactersOutsideTheCodePageSurviveAPasteAndACopy) {
    TEditor editor;
    const QString outside = QString::fromUtf8("a😀𠮷한b日本");
    QApplication::clipboard()->setText(outside);
    editor.PasteFromClipboard();
    // Stored in the document's user-defined area, not as placeholders.
    EXPECT_EQ(editor.Document().GetText().find("\x81\xAC"), std::string::npos);
    editor.SelectAll();
    QApplication::clipboard()->clear();
    editor.CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), outside);
    // Saved as UTF-8 they come back as well.
    TDocumentFormat utf8;
    utf8.Encoding = deUtf8;
    const TEncoded encoded = EncodeDocument(editor.Document().GetText(), utf8, editor.CharMap());
    EXPECT_EQ(QString::fromUtf8(encoded.Bytes.data(), qsizetype(encoded.Bytes.size())), outside);
}

TEST(Clipboard, LinesGoOutWithLfAndComeBackWithCrLf) {
    TEditor editor;
    editor.Document().SetText("one\r\ntwo\r\n");
    editor.SelectAll();
    editor.CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("one\ntwo\n"));
    editor.Document().SetText("");
    editor.PasteFromClipboard();
    EXPECT_EQ(editor.Document().GetText(), "one\r\ntwo\r\n");
}

}  // namespace
}  // namespace orvane
