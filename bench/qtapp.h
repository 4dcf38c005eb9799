// Benchmarks of widget code run inside one QApplication, offscreen unless a platform is set.
#pragma once

#include <QApplication>

#include <cstdlib>

namespace orvane {

inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "orvane_bench";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(argc, argv);
}

}  // namespace orvane
