// The font the editor draws with: the named family when installed, else a Japanese-capable
// monospace fallback; the setting keeps the name as written.
#pragma once

#include <QFont>
#include <QString>

namespace orvane {

// The font for a family name and a point size (names such as "FixedSys" or "ＭＳ ゴシック" that are
// not installed fall back to IPAGothic, then to the system fixed font).
QFont ResolveEditorFont(const QString& Family, int PointSize, bool Bold = false, bool Italic = false);

// True when the family is installed here.
bool FontFamilyInstalled(const QString& Family);

}  // namespace orvane
