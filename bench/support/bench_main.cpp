// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>

// Benchmarks that register cases at run time (for example one per file found)
// define this; the weak default registers nothing.
__attribute__((weak)) void RegisterRuntimeBenchmarks() {}

int main(int argc, char** argv)
{
    // Rendering needs a Qt application but never a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    RegisterRuntimeBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
