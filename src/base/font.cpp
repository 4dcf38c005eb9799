// A font description with change notification.
#include "base/font.h"

#include <algorithm>

namespace orvane {

void TFont::SetName(std::string_view V) {
    if (FName == V) return;
    FName = V;
    Changed();
}

void TFont::SetSize(int V) {
    V = std::clamp(V, kMinSize, kMaxSize);
    if (FSize == V) return;
    FSize = V;
    Changed();
}

int TFont::Height() const noexcept {
    return -((FSize * kFontPixelsPerInch + 36) / 72);
}

void TFont::SetColor(TColor V) {
    if (FColor == V) return;
    FColor = V;
    Changed();
}

void TFont::SetStyle(TFontStyles V) {
    if (FStyle == V) return;
    FStyle = V;
    Changed();
}

void TFont::SetCharset(int V) {
    if (FCharset == V) return;
    FCharset = V;
    Changed();
}

void TFont::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TFont*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    FName = src->FName;
    FSize = src->FSize;
    FColor = src->FColor;
    FStyle = src->FStyle;
    FCharset = src->FCharset;
    Changed();
}

}  // namespace orvane
