// A seam for tests of failure paths: operations that can fail pass named points, and a test can
// arm a countdown so that the Nth pass throws std::bad_alloc. Unarmed it costs one relaxed load.
#pragma once

#include <atomic>
#include <new>

namespace orvane {

namespace faults {
inline std::atomic<int> gCountdown{0};
}  // namespace faults

// Makes the Passes-th following pass through FaultPoint throw (0 disarms).
inline void ArmFault(int Passes) noexcept { faults::gCountdown.store(Passes, std::memory_order_relaxed); }
// Passes left before the armed failure; 0 once it fired or when none is armed.
inline int ArmedFault() noexcept { return faults::gCountdown.load(std::memory_order_relaxed); }

// A place where the surrounding operation can fail (it allocates there or calls code that does).
inline void FaultPoint() {
    if (faults::gCountdown.load(std::memory_order_relaxed) > 0 &&
        faults::gCountdown.fetch_sub(1, std::memory_order_relaxed) == 1)
        throw std::bad_alloc();
}

}  // namespace orvane
