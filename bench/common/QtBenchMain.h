// The main of a benchmark program that paints through Qt: offscreen unless the
// caller chose a platform, the program's fonts installed, then the benchmarks.
#pragma once

#include "platform/ui/qt/QtBackend.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace kv::bench {

// prepare runs once the application exists, before the first benchmark.
template <class Prepare>
int runQtBenchmarks(int argc, char** argv, Prepare prepare) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ui::installFonts();
    prepare();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

inline int runQtBenchmarks(int argc, char** argv) {
    return runQtBenchmarks(argc, argv, [] {});
}

} // namespace kv::bench
