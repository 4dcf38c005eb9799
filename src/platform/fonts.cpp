// Font fallback for the editor.
#include "platform/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace orvane {

bool FontFamilyInstalled(const QString& Family) {
    return !Family.isEmpty() && QFontDatabase::families().contains(Family, Qt::CaseInsensitive);
}

QFont ResolveEditorFont(const QString& Family, int PointSize, bool Bold, bool Italic) {
    QFont font;
    if (FontFamilyInstalled(Family)) {
        font = QFont(Family);
    } else if (FontFamilyInstalled(QStringLiteral("IPAGothic"))) {
        font = QFont(QStringLiteral("IPAGothic"));
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    font.setPointSize(PointSize > 0 ? PointSize : 10);
    font.setBold(Bold);
    font.setItalic(Italic);
    font.setStyleHint(QFont::TypeWriter);
    font.setKerning(false);
    return font;
}

}  // namespace orvane
