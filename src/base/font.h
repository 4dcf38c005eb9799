// A font as the settings objects describe it: face name, point size, colour, style and charset.
#pragma once

#include "base/graphics.h"
#include "base/notify.h"

#include <string>
#include <string_view>

namespace orvane {

// Fonts are measured at this resolution wherever a pixel height is derived from a point size.
inline constexpr int kFontPixelsPerInch = 96;
// The charset number of Japanese (Shift_JIS) fonts.
inline constexpr int kShiftJisCharset = 128;

// The description of a font; nothing here loads one. A face name that is not installed is kept
// as written: whoever draws picks a fallback, so the setting survives a trip to another machine.
class TFont : public TNotifyPersistent {
public:
    static constexpr int kMinSize = 1;
    static constexpr int kMaxSize = 1638;

    // UTF-8.
    const std::string& Name() const noexcept { return FName; }
    void SetName(std::string_view V);
    // In points; clamped to kMinSize..kMaxSize, so a derived height is never zero.
    int Size() const noexcept { return FSize; }
    void SetSize(int V);
    // The character height in pixels at kFontPixelsPerInch, negative as it is derived from the
    // point size (rounded to the nearest pixel): 12 points give -16.
    int Height() const noexcept;
    TColor Color() const noexcept { return FColor; }
    void SetColor(TColor V);
    TFontStyles Style() const noexcept { return FStyle; }
    void SetStyle(TFontStyles V);
    int Charset() const noexcept { return FCharset; }
    void SetCharset(int V);

    // Copies every value of another font, notifying once.
    void Assign(const TPersistent& Source) override;

private:
    std::string FName = "FixedSys";
    int FSize = 12;
    TColor FColor = clBlack;
    TFontStyles FStyle = 0;
    int FCharset = kShiftJisCharset;
};

}  // namespace orvane
