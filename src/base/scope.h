// Scope guards: work that must run when a block is left, by return or by exception.
#pragma once

#include <utility>

namespace orvane {

// Runs Fn when the scope ends, unless dismissed. Fn must not throw (it runs while unwinding).
template <class Fn>
class TScopeExit {
public:
    explicit TScopeExit(Fn F) : FFn(std::move(F)) {}
    ~TScopeExit() {
        if (FArmed) FFn();
    }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

    // The work is no longer needed (the guarded operation completed).
    void Dismiss() noexcept { FArmed = false; }

private:
    Fn FFn;
    bool FArmed = true;
};

}  // namespace orvane
