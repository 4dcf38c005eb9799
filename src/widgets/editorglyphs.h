// The glyphs an editor draws with (shared by its two source files only).
#pragma once

#include "widgets/editor.h"

#include <QRawFont>

#include <array>
#include <vector>

namespace orvane {

// A glyph index per code page 932 code and font style, looked up on first use. The top bit marks a
// glyph of the fallback font, for characters the editor's font lacks.
struct TEditor::TGlyphCache {
    static constexpr quint32 kUnknown = 0xFFFFFFFFu;
    static constexpr quint32 kFallback = 0x80000000u;
    std::array<QRawFont, 4> Fonts;     // by style: regular, bold, italic, bold italic
    std::array<QRawFont, 4> Fallbacks;
    std::array<std::vector<quint32>, 4> Glyphs;
    qreal Ascent = 0;
};

}  // namespace orvane
