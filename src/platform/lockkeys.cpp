// Caps Lock and Num Lock from the X keyboard extension. Xlib is loaded when first needed, so the
// program neither links it nor needs it off X11.
#include "platform/lockkeys.h"

#include <QGuiApplication>
#include <dlfcn.h>

namespace orvane {
namespace {

// XkbGetIndicatorState(Display*, unsigned device, unsigned* state); XkbUseCoreKbd is 0x0100.
using TGetIndicatorState = int (*)(void*, unsigned, unsigned*);

TGetIndicatorState IndicatorFunction() {
    static TGetIndicatorState fn = [] {
        void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        return lib ? reinterpret_cast<TGetIndicatorState>(dlsym(lib, "XkbGetIndicatorState")) : nullptr;
    }();
    return fn;
}

}  // namespace

std::optional<TLockKeys> QueryLockKeys() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display()) return std::nullopt;
    const TGetIndicatorState get = IndicatorFunction();
    unsigned state = 0;
    if (!get || get(x11->display(), 0x0100, &state) != 0) return std::nullopt;
    // The core keyboard's standard indicators: bit 0 Caps Lock, bit 1 Num Lock.
    return TLockKeys{(state & 1u) != 0, (state & 2u) != 0};
}

}  // namespace orvane
