// The toggle state of Caps Lock and Num Lock, where the platform can tell.
#pragma once

#include <optional>

namespace orvane {

struct TLockKeys {
    bool Caps = false;
    bool Num = false;
};

// The lock keys' state on X11; nothing on platforms that cannot tell (offscreen, Wayland).
std::optional<TLockKeys> QueryLockKeys();

}  // namespace orvane
